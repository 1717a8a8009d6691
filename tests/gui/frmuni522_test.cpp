// The input window of section 5.2.2 driven as the user drives it: the combined fields of
// the two elements, the delay grid and its rebuild after LTAU changes, "Ввод" and reading
// back, and a run of what was saved.
#include "support/form_test_host.h"
#include "synthesis/section522/frmUni_522.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

using namespace velta;
using velta::test::bytesOf;
namespace fs = std::filesystem;

namespace {

class FrmUni522 : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        sample = bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/Sy2z/Tau0/Oscill.syzd");
        ASSERT_FALSE(sample.empty());
        app.write("User/Sy2z/Tau0/Oscill.syzd", sample);
        host.shell().Sect_Select(522);
        host.shell().Combo1_Click("Tau0");
        win = std::make_unique<frmUni_522>(host);
    }
    QLineEdit* field(const char* name) { return win->findChild<QLineEdit*>(name); }
    FormGrid* grid() { return win->findChild<FormGrid*>("grdTable1"); }
    QPushButton* button(const char* name) { return win->findChild<QPushButton*>(name); }
    SectionCore& core() { return *host.shell().core(522); }
    void openSample() {
        host.ui.openFiles.push_back(app.path("User/Sy2z/Tau0/Oscill.syzd"));
        win->IshDanSy2z();
    }
    void clickCell(int r, int c) {
        FormGrid* g = grid();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(r, c)).center());
    }

    std::string sample;
    test::TempApp app;
    test::FormTestHost host{mdl, app.root()};
    std::unique_ptr<frmUni_522> win;
};

}  // namespace

TEST_F(FrmUni522, OpenFillsEveryFieldAndTheDelayGrid) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.syzd)|*.syzd|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.path("User/Sy2z/Tau0")));
    const std::pair<const char*, const char*> expected[] = {
        {"txtAlfa_Alfa1_Alfa2", "1,5,5"},
        {"txtBeta1_Beta2", "1,1"},
        {"txtGama1_Gama2", "4,4"},
        {"txtTeta", "1"},
        {"txtMDIM", "1"},
        {"txtLTAU", "2"},
        {"txtTmax", "60"},
        {"txtNDEL", "300"},
        {"txtIND", "0"},
        {"txtZ_1", "0.1"},
        {"txtI1G", "1"},
        {"txtNsc", "10"},
        {"txtDlx", "0"},
        {"txtDrx", "8"},
        {"txtSCLT", "0"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    FormGrid* g = grid();
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->rowCount(), 5);
    EXPECT_EQ(g->cell(0, 2).toStdString(), "Значения TAU(I)");
    EXPECT_EQ(g->cell(2, 0).toStdString(), "TAU(1)");
    EXPECT_EQ(g->cell(3, 0).toStdString(), "TAU(2)");
    EXPECT_EQ(g->cell(2, 2).toStdString(), "2");
    EXPECT_EQ(g->cell(3, 2).toStdString(), "3");
    EXPECT_EQ(win->windowTitle().toStdString(), "Синтез\\Кодирование двумя ГЭ\\Уравнение с запаздыванием");
    EXPECT_FALSE(win->edited());
}

TEST_F(FrmUni522, SheetsCarryTheirLabels) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели", " ALFA, ALFA1, ALFA2 =", " BETA1, BETA2 =", " GAMA1, GAMA2 =", "TETA(1) =",
         "2) Параметры уравнений с запаздываниями",
         "Число уравнений,  MDIM =", "Число запаздываний,  LTAU ="},
        {"Значения запаздываний в порядке возрастания"},
        {"3) Параметры численного метода интегрирования", "    системы уравнений с запаздываниями",
         "    с постоянным шагом  H = TAU(LTAU) / NDEL", "    на отрезке  [0,TMAX]",
         "TMAX =", "NDEL =", "4) Начальные данные:  Z(i) = 0, i = 1,...,NDEL+1",
         "    Варианты задания начальных данных:", "    IND = 0 - \"возмущенное\" стационарное решение,",
         "    IND = 1 - нулевые начальные данные.", "IND =", "\"Возмущение\" компоненты  Z(1) =",
         "5) Номера компонент, выводимых на график:", "    (число компонент <= min(12,MDIM))"},
        {"6) Плотность выдачи результатов в таблицу",
         "NSC =", "7) Границы интервалов для графиков (в долях ALFA):", "DLX =", "DRX =", "SCLT =",
         "           ALFA * DLX <= X(i) <= ALFA * DRX", "                 SCLT <=  t   <= TMAX"}};
    ASSERT_EQ(win->sheetCount(), 4);
    for (int sheet = 1; sheet <= 4; ++sheet) {
        std::vector<std::string> got, want;
        const QRect inside(QPoint(0, 0), win->frame(sheet)->size());
        for (const QLabel* l : win->frame(sheet)->findChildren<QLabel*>()) {
            if (l->text().isEmpty()) continue;
            got.push_back(l->text().toStdString());
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
            EXPECT_TRUE(inside.contains(l->geometry())) << l->text().toStdString();
        }
        for (const QLineEdit* e : win->frame(sheet)->findChildren<QLineEdit*>())
            EXPECT_TRUE(inside.contains(e->geometry())) << e->objectName().toStdString();
        for (const char* t : labels[static_cast<std::size_t>(sheet - 1)]) want.push_back(t);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "sheet " << sheet;
    }
}

TEST_F(FrmUni522, LtauChangesRebuildTheDelayGridAtTheNextSheet) {
    openSample();
    QTest::mouseClick(field("txtLTAU"), Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text,
              "После изменения  LTAU  не забудьте\nскорректировать таблицу на Листе #2");

    field("txtLTAU")->setText("1");
    EXPECT_EQ(grid()->rowCount(), 5);
    win->tabStrip()->setCurrentIndex(1);
    ASSERT_EQ(grid()->rowCount(), 4);
    EXPECT_EQ(grid()->cell(2, 2).toStdString(), "0");
    EXPECT_EQ(mdl.LTAU, 1);

    // Back to two delays: both cells "0"; the old delays are not brought back.
    field("txtLTAU")->setText("2");
    win->tabStrip()->setCurrentIndex(3);
    ASSERT_EQ(grid()->rowCount(), 5);
    EXPECT_EQ(grid()->cell(2, 2).toStdString(), "0");
    EXPECT_EQ(grid()->cell(3, 2).toStdString(), "0");
    EXPECT_TRUE(win->frame(4)->isVisible());
    EXPECT_FALSE(win->frame(2)->isVisible());

    // A value that is not a dimension is refused with a message and rebuilds nothing.
    const std::size_t before = host.ui.messages.size();
    field("txtLTAU")->setText("abc");
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_GT(host.ui.messages.size(), before);
    EXPECT_EQ(grid()->rowCount(), 5);
}

TEST_F(FrmUni522, EditedFieldsAreSavedReadBackAndRun) {
    openSample();
    field("txtAlfa_Alfa1_Alfa2")->setText("2,5,2.5");
    field("txtGama1_Gama2")->setText("4,3");
    field("txtTmax")->setText("6");
    win->tabStrip()->setCurrentIndex(1);
    clickCell(2, 2);
    QTest::keyClicks(grid(), "3");  // the delays entered the wrong way round
    clickCell(3, 2);
    QTest::keyClicks(grid(), "1");
    host.ui.saveFiles.push_back(app.path("User/Sy2z/Tau0/edited.syzd"));
    button("cmdINput1")->click();
    ASSERT_TRUE(app.exists("User/Sy2z/Tau0/edited.syzd"));
    const std::string text = cp1251ToUtf8(bytesOf(app.path("User/Sy2z/Tau0/edited.syzd")));
    EXPECT_NE(text.find("ALFA,ALFA1,ALFA2:\r\n2,5,2.5\r\nBETA1,BETA2:\r\n1,1\r\nGAMA1,GAMA2:\r\n4,3\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("TAUm(I):\r\n3,1\r\nTETAm(1):\r\n1\r\n"), std::string::npos);

    // "&Ввод исходных данных" and "С&чёт [и графика]" on the saved file.
    NullSurface surf;
    Ctx ctx{surf, host.ui, host.paths(), mdl};
    ASSERT_TRUE(host.shell().mnuInput(ctx));
    const auto& g = mdl;
    EXPECT_EQ(g.ALFA, 2.0);
    EXPECT_EQ(g.ALFA2, 2.5);
    EXPECT_EQ(g.GAMA2, 3.0);
    EXPECT_EQ(g.TAU(1), 3.0);
    ASSERT_TRUE(host.shell().mnuIntegr(ctx)) << host.ui.messages.back().text;
    EXPECT_EQ(g.TAU(1), 1.0);
    EXPECT_EQ(g.TAU(2), 3.0);
    EXPECT_EQ(g.L, 1);
    const auto res = readAllLines(host.paths().userFile("Results.s2z"));
    ASSERT_GT(res.size(), 10u);
    EXPECT_EQ(res[9], "TAU1  = 1.00000E+00");
}

TEST_F(FrmUni522, AcceptWithoutEditsKeepsTheFile) {
    openSample();
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(bytesOf(app.path("User/Sy2z/Tau0/Oscill.syzd")), sample);
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
    auto w = makeSectionWindow(522, host);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<frmUni_522*>(w.get()), nullptr);
}

// Screenshots of the four sheets for a look by eye (VELTA_SHOTS=folder).
TEST_F(FrmUni522, Screenshots) {
    const char* dir = std::getenv("VELTA_SHOTS");
    if (!dir) GTEST_SKIP() << "VELTA_SHOTS not set";
    openSample();
    for (int i = 0; i < 4; ++i) {
        win->tabStrip()->setCurrentIndex(i);
        QApplication::processEvents();
        EXPECT_TRUE(win->grab().save(
            QString::fromStdString(std::string(dir) + "/frm522_sheet" + std::to_string(i + 1) + ".png")));
    }
}
