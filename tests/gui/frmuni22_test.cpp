// The input window of section 2.2 driven as the user drives it: open from the task folder,
// the four sheets, the delay grid and its rebuild after LTAU changes, "Ввод" and reading back.
#include "models/section22/frmUni_22.h"
#include "support/form_test_host.h"

using namespace velta;
using velta::test::bytesOf;
namespace fs = std::filesystem;

namespace {

const char* const kSample[] = {
    "1) Параметры модели",
    "-------",
    "ALFA = 10",
    "BETA = 1.5",
    "GAMA = 3",
    "2) Уравнения с запаздываниями",
    "-------",
    "MDIM = 2",
    "LTAU = 6",
    "PTAU = 5",
    "TAUm(I):",
    "0.1,0.25,0.4,0.55,0.7,1",
    "3) Метод",
    "-------",
    "TMAX = 40",
    "NDEL = 250",
    "4) Начальные данные",
    "-------",
    "IND = 0",
    "Z_1 = 0.001",
    "5) Компоненты",
    "-------",
    "IC(I):",
    "1,2",
    "6) Таблица",
    "-------",
    "NSC = 10",
    "7) Границы",
    "-------",
    "Dlx = 0",
    "Drx = 0.4",
    "Sclt = 0",
};

std::string sampleBytes() {
    std::string s;
    for (const char* l : kSample) s += utf8ToCp1251(l) + "\r\n";
    return s;
}

class FrmUni22 : public test::FormTest<frmUni_22> {
protected:
    FrmUni22() : FormTest(22, &frmUni_22::IshDanGenZ, {}, "Mtr/Tau0/osc.mtzd") {}
    // The sample in its task folder, the task chosen before the window is built.
    void SetUp() override {
        app.write("User/Mtr/Tau0/osc.mtzd", sampleBytes());
        host.shell().Sect_Select(22);
        host.shell().Combo1_Click("Tau0");
        win = std::make_unique<frmUni_22>(host);
    }
    using FormTest::grid;
    FormGrid* grid() { return FormTest::grid("grdTable1"); }
};

}  // namespace

TEST_F(FrmUni22, OpenFillsEveryFieldAndTheDelayGrid) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.mtzd)|*.mtzd|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.path("User/Mtr/Tau0")));
    const std::pair<const char*, const char*> expected[] = {
        {"txtAlfa", "10"}, {"txtBeta", "1.5"}, {"txtGama", "3"},   {"txtMDIM", "2"},  {"txtLTAU", "6"},
        {"txtPTAU", "5"},  {"txtTmax", "40"},  {"txtNDEL", "250"}, {"txtIND", "0"},   {"txtZ_1", "0.001"},
        {"txtI1G", "1,2"}, {"txtNsc", "10"},   {"txtDlx", "0"},    {"txtDrx", "0.4"}, {"txtSCLT", "0"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    FormGrid* g = grid();
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->rowCount(), 9);
    ASSERT_EQ(g->columnCount(), 4);
    EXPECT_EQ(g->cell(0, 2).toStdString(), "Значения TAU(I)");
    const char* taus[] = {"0.1", "0.25", "0.4", "0.55", "0.7", "1"};
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(g->cell(k + 1, 0).toStdString(), "TAU(" + std::to_string(k) + ")");
        EXPECT_EQ(g->cell(k + 1, 2).toStdString(), taus[k - 1]);
    }
    EXPECT_GT(g->columnWidth(2), g->columnWidth(1));
    EXPECT_TRUE(g->isValueCell(2, 2));
    EXPECT_FALSE(g->isValueCell(2, 1));
    EXPECT_EQ(win->windowTitle().toStdString(), "ГГС общего вида\\Система уравнений с запаздываниями");
    EXPECT_TRUE(win->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_EQ(core().shownName, "osc.mtzd");
    EXPECT_EQ(mdl.L, 0);
}

TEST_F(FrmUni22, SheetsCarryTheirLabels) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели ГГС классов 1-4",
         " ALFA =", " BETA =", " GAMA =", "2) Параметры уравнений с запаздываниями",
         "Число уравнений,  MDIM =", "Число запаздываний,  LTAU =", "Период автоколебаний,  PTAU ="},
        {"Значения запаздываний (доли периода) в порядке возрастания"},
        {"3) Параметры численного метода интегрирования", "    системы уравнений с запаздываниями",
         "    с постоянным шагом  H = TAU(LTAU) / NDEL", "    на отрезке  [0,TMAX]",
         "TMAX =", "NDEL =", "4) Начальные данные:  Z(i) = 0, i = 1,...,NDEL+1",
         "    Варианты задания начальных данных:", "    IND = 0 - \"возмущенное\" стационарное решение,",
         "    IND = 1 - нулевые начальные данные.", "IND =", "\"Возмущение\" компоненты  Z(1) =",
         "5) Номера компонент, выводимых на график:", "    (число компонент <= min(12,MDIM))"},
        {"6) Плотность выдачи результатов в таблицу",
         "NSC =", "7) Границы интервалов для графиков (в долях ALFA):", "DLX =", "DRX =", "SCLT =",
         "           ALFA * DLX <= X(i) <= ALFA * DRX", "                 SCLT <=  t   <= TMAX"}};
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
}

TEST_F(FrmUni22, LtauReminderAndGridRebuiltWithZerosAfterTheChange) {
    openSample();
    QTest::mouseClick(field("txtLTAU"), Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text,
              "После изменения  LTAU  не забудьте\nскорректировать таблицу на Листе #2");

    field("txtLTAU")->setText("3");
    EXPECT_TRUE(win->dimensionChanged());
    EXPECT_EQ(grid()->rowCount(), 9) << "nothing is rebuilt before the sheet switch";
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdl.LTAU, 3);
    ASSERT_EQ(grid()->rowCount(), 6);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(grid()->cell(k + 1, 0).toStdString(), "TAU(" + std::to_string(k) + ")");
        EXPECT_EQ(grid()->cell(k + 1, 2).toStdString(), "0");
    }
    EXPECT_TRUE(win->frame(2)->isVisible());

    // A long list fits the sheet by scrolling.
    field("txtLTAU")->setText("20");
    win->tabStrip()->setCurrentIndex(0);
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_EQ(grid()->rowCount(), 23);
    EXPECT_LE(grid()->geometry().bottom(), win->frame(2)->height());
}

TEST_F(FrmUni22, EditedDelaysAreSavedAndReadBack) {
    openSample();
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* g = grid();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(3, 2)).center());
    EXPECT_EQ(g->cell(3, 2).toStdString(), "");
    QTest::keyClicks(g, "0.3");
    field("txtPTAU")->setText("4.5");
    EXPECT_TRUE(win->edited());
    host.ui.saveFiles.push_back(app.path("User/Mtr/Tau0/edited.mtzd"));
    button("cmdINput1")->click();
    ASSERT_TRUE(app.exists("User/Mtr/Tau0/edited.mtzd"));
    EXPECT_EQ(host.shell().status2, "edited.mtzd");
    EXPECT_EQ(fs::path(host.ui.dialogs.back().folder), fs::path(app.path("User/Mtr/Tau0")));

    mdl.reset();
    readBack(app.path("User/Mtr/Tau0/edited.mtzd"));
    EXPECT_EQ(mdl.LTAU, 6);
    EXPECT_DOUBLE_EQ(mdl.TAU(2), 0.3);
    EXPECT_DOUBLE_EQ(mdl.TAU(6), 1);
    EXPECT_DOUBLE_EQ(mdl.PTAU, 4.5);
    EXPECT_EQ(mdl.NDEL, 250);
    EXPECT_DOUBLE_EQ(mdl.DRX, 0.4);
    const std::string text = cp1251ToUtf8(bytesOf(app.path("User/Mtr/Tau0/edited.mtzd")));
    EXPECT_NE(text.find("TAUm(I):\r\n0.1,0.3,0.4,0.55,0.7,1\r\n"), std::string::npos);
}

// "Ввод" checks the texts as the computation does: zero delays, and LTAU = 2 where the model
// of task Tau0 needs 6, are refused with their messages and nothing is written.
TEST_F(FrmUni22, ChangedLtauTheTaskRefusesIsNotWritten) {
    openSample();
    field("txtLTAU")->setText("2");
    host.ui.saveFiles.push_back(app.path("User/Mtr/Tau0/two.mtzd"));
    button("cmdINput1")->click();
    grid()->item(2, 2)->setText("1");
    grid()->item(3, 2)->setText("2");
    host.ui.saveFiles.push_back(app.path("User/Mtr/Tau0/two.mtzd"));
    button("cmdINput1")->click();
    ASSERT_EQ(host.ui.messages.size(), 2u);
    EXPECT_NE(host.ui.messages[1].text.find("LTAU = 6"), std::string::npos) << host.ui.messages[1].text;
    EXPECT_FALSE(app.exists("User/Mtr/Tau0/two.mtzd"));
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(mdl.LTAU, 2);  // the grids follow the field; the store is not the file's
}

TEST_F(FrmUni22, AcceptWithoutEditsKeepsTheFile) {
    openSample();
    const std::string before = bytesOf(app.path("User/Mtr/Tau0/osc.mtzd"));
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(bytesOf(app.path("User/Mtr/Tau0/osc.mtzd")), before);
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
}

// Screenshots of the four sheets for a look by eye (VELTA_SHOTS=folder).
TEST_F(FrmUni22, Screenshots) {
    const char* dir = std::getenv("VELTA_SHOTS");
    if (!dir) GTEST_SKIP() << "VELTA_SHOTS not set";
    openSample();
    for (int i = 0; i < 4; ++i) {
        win->tabStrip()->setCurrentIndex(i);
        QApplication::processEvents();
        EXPECT_TRUE(win->grab().save(
            QString::fromStdString(std::string(dir) + "/frm22_sheet" + std::to_string(i + 1) + ".png")));
    }
}
