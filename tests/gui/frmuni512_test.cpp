// The input window of section 5.1.2 driven as the user drives it: open the shipped sample
// from the task folder, the four sheets, the delay grid and its rebuild after LTAU changes,
// "Ввод" and reading back.
#include "support/form_test_host.h"
#include "synthesis/section512/frmUni_512.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

using namespace velta;
using velta::test::bytesOf;
namespace fs = std::filesystem;

namespace {

class FrmUni512 : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        sample = bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/Sy1z/Tau0/Oscill.syzd");
        ASSERT_FALSE(sample.empty());
        app.write("User/Sy1z/Tau0/Oscill.syzd", sample);
        host.shell().Sect_Select(512);
        host.shell().Combo1_Click("Tau0");
        win = std::make_unique<frmUni_512>(host);
    }
    QLineEdit* field(const char* name) { return win->findChild<QLineEdit*>(name); }
    FormGrid* grid() { return win->findChild<FormGrid*>("grdTable1"); }
    QPushButton* button(const char* name) { return win->findChild<QPushButton*>(name); }
    SectionCore& core() { return *host.shell().core(512); }
    void openSample() {
        host.ui.openFiles.push_back(app.path("User/Sy1z/Tau0/Oscill.syzd"));
        win->IshDanSy1z();
    }
    void clickCell(int r, int c) {
        FormGrid* g = grid();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(r, c)).center());
    }
    void readBack(const std::string& path) {
        core().dataPath = path;
        NullSurface surf;
        Ctx ctx{surf, host.ui, host.paths(), mdl};
        core().InputPar(ctx);
    }

    std::string sample;
    test::TempApp app;
    test::FormTestHost host{mdl, app.root()};
    std::unique_ptr<frmUni_512> win;
};

}  // namespace

TEST_F(FrmUni512, OpenFillsEveryFieldAndTheDelayGrid) {
    mdl.L = 3;
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.syzd)|*.syzd|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.path("User/Sy1z/Tau0")));
    const std::pair<const char*, const char*> expected[] = {
        {"txtAlfa", "10"}, {"txtBeta", "1"},  {"txtGama", "4"},   {"txtTeta", "1"}, {"txtMDIM", "1"},
        {"txtLTAU", "1"},  {"txtTmax", "40"}, {"txtNDEL", "200"}, {"txtIND", "0"},  {"txtZ_1", "0.1"},
        {"txtI1G", "1"},   {"txtNsc", "10"},  {"txtDlx", "0"},    {"txtDrx", "1"},  {"txtSCLT", "0"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    FormGrid* g = grid();
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->rowCount(), 4);
    ASSERT_EQ(g->columnCount(), 4);
    EXPECT_EQ(g->cell(0, 2).toStdString(), "Значения TAU(I)");
    EXPECT_EQ(g->cell(2, 0).toStdString(), "TAU(1)");
    EXPECT_EQ(g->cell(2, 2).toStdString(), "2");
    EXPECT_TRUE(g->isValueCell(2, 2));
    EXPECT_FALSE(g->isValueCell(2, 0));
    EXPECT_GT(g->columnWidth(2), g->columnWidth(1));
    EXPECT_EQ(win->windowTitle().toStdString(), "Синтез\\Кодирование одним ГЭ\\Уравнение с запаздыванием");
    EXPECT_TRUE(win->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_EQ(mdl.L, 0) << "opening reads the file: the portions restart";
}

TEST_F(FrmUni512, SheetsCarryTheirLabels) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели",
         " ALFA =", " BETA =", " GAMA =", "TETA =", "2) Параметры уравнений с запаздываниями",
         "Число уравнений,  MDIM =", "Число запаздываний,  LTAU ="},
        {"Значения запаздываний в порядке возрастания"},
        {"3) Параметры численного метода интегрирования", "    с постоянным шагом  H = TAU(LTAU) / NDEL",
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
    EXPECT_NE(win->frame(2)->findChild<FormGrid*>("grdTable1"), nullptr);
    EXPECT_NE(win->frame(1)->findChild<QLineEdit*>("txtTeta"), nullptr);
}

TEST_F(FrmUni512, LtauReminderAndGridRebuiltWithZerosAfterTheChange) {
    openSample();
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(field("txtLTAU"), Qt::LeftButton);
        QApplication::processEvents();
    }
    ASSERT_EQ(host.ui.messages.size(), 2u) << "every click shows the reminder";
    EXPECT_EQ(host.ui.messages[0].text,
              "После изменения  LTAU  не забудьте\nскорректировать таблицу на Листе #2");
    EXPECT_EQ(host.ui.messages[0].title, "   VELTA");

    field("txtLTAU")->setText("3");
    EXPECT_TRUE(win->dimensionChanged());
    EXPECT_EQ(grid()->rowCount(), 4) << "nothing is rebuilt before the sheet switch";
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdl.LTAU, 3);
    ASSERT_EQ(grid()->rowCount(), 6);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(grid()->cell(k + 1, 0).toStdString(), "TAU(" + std::to_string(k) + ")");
        EXPECT_EQ(grid()->cell(k + 1, 2).toStdString(), "0");
    }
    EXPECT_TRUE(win->frame(2)->isVisible());

    // Back to one delay: the old value is gone too.
    field("txtLTAU")->setText("1");
    win->tabStrip()->setCurrentIndex(2);
    win->tabStrip()->setCurrentIndex(1);
    ASSERT_EQ(grid()->rowCount(), 4);
    EXPECT_EQ(grid()->cell(2, 2).toStdString(), "0");

    // A long list fits the sheet by scrolling.
    field("txtLTAU")->setText("20");
    win->tabStrip()->setCurrentIndex(0);
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_EQ(grid()->rowCount(), 23);
    EXPECT_LE(grid()->geometry().bottom(), win->frame(2)->height());
}

TEST_F(FrmUni512, EditedValuesAreSavedAndReadBack) {
    openSample();
    field("txtLTAU")->setText("2");
    win->tabStrip()->setCurrentIndex(1);
    clickCell(2, 2);
    QTest::keyClicks(grid(), "0.5");
    clickCell(3, 2);
    QTest::keyClicks(grid(), "1.5");
    field("txtTeta")->setText("0.8");
    EXPECT_TRUE(win->edited());
    host.ui.saveFiles.push_back(app.path("User/Sy1z/Tau0/edited.syzd"));
    button("cmdINput1")->click();
    ASSERT_TRUE(app.exists("User/Sy1z/Tau0/edited.syzd"));
    EXPECT_EQ(fs::path(host.ui.dialogs.back().folder), fs::path(app.path("User/Sy1z/Tau0")));
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
    EXPECT_FALSE(win->isVisible());

    mdl.reset();
    readBack(app.path("User/Sy1z/Tau0/edited.syzd"));
    const auto& g = mdl;
    EXPECT_EQ(g.LTAU, 2);
    EXPECT_EQ(g.TAU(1), 0.5);
    EXPECT_EQ(g.TAU(2), 1.5);
    EXPECT_EQ(g.TETAm(1), 0.8);
    EXPECT_EQ(g.ALFA, 10.0);
    EXPECT_EQ(g.NDEL, 200);
    EXPECT_EQ(g.DRX, 1.0);
    // Only the edited lines differ; the header lines are the file's own.
    std::string want = cp1251ToUtf8(sample);
    auto swap = [&](const std::string& a, const std::string& b) {
        const auto at = want.find(a);
        ASSERT_NE(at, std::string::npos) << a;
        want.replace(at, a.size(), b);
    };
    swap("LTAU = 1\r\nTAUm(I):\r\n2\r\nTETAm(1):\r\n1\r\n",
         "LTAU = 2\r\nTAUm(I):\r\n0.5,1.5\r\nTETAm(1):\r\n0.8\r\n");
    EXPECT_EQ(cp1251ToUtf8(bytesOf(app.path("User/Sy1z/Tau0/edited.syzd"))), want);
}

TEST_F(FrmUni512, AcceptWithoutEditsKeepsTheFileAndTheButtonsWork) {
    openSample();
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u) << "no save dialog";
    EXPECT_EQ(bytesOf(app.path("User/Sy1z/Tau0/Oscill.syzd")), sample);
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});

    openSample();
    field("txtAlfa")->setText("99");
    button("cmdCancel1")->click();
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(mdl.ALFA, 10.0);
    openSample();
    EXPECT_EQ(field("txtAlfa")->text().toStdString(), "10");
}

TEST_F(FrmUni512, TheRegistryMakesThisWindow) {
    auto w = makeSectionWindow(512, host);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<frmUni_512*>(w.get()), nullptr);
}

// Screenshots of the four sheets for a look by eye (VELTA_SHOTS=folder).
TEST_F(FrmUni512, Screenshots) {
    const char* dir = std::getenv("VELTA_SHOTS");
    if (!dir) GTEST_SKIP() << "VELTA_SHOTS not set";
    openSample();
    for (int i = 0; i < 4; ++i) {
        win->tabStrip()->setCurrentIndex(i);
        QApplication::processEvents();
        EXPECT_TRUE(win->grab().save(
            QString::fromStdString(std::string(dir) + "/frm512_sheet" + std::to_string(i + 1) + ".png")));
    }
}
