// The input window of section 1.2 driven as the user drives it: a shipped sample opened
// from its task folder, the four sheets, the delay grid and its rebuild after LTAU
// changes, refused texts, "Ввод" and reading back.
#include "models/section12/frmUni_12.h"
#include "support/form_test_host.h"

using namespace velta;
using velta::test::bytesOf;
namespace fs = std::filesystem;

namespace {

class FrmUni12 : public test::FormTest<frmUni_12> {
protected:
    FrmUni12() : FormTest(12, &frmUni_12::IshDanSymZ, {}, "Mnk/Tau0/osc.mnzd") {}
    // The sample in its task folder, the task chosen before the window is built.
    void SetUp() override {
        for (const char* t : {"Tau0", "Tau1", "Tau2", "Tau3"}) app.mkdir(std::string("User/Mnk/") + t);
        fs::copy_file(fs::path(VELTA_SOURCE_DIR) / "User/Mnk/Tau0/Tau0_Oscill.mnzd",
                      fs::path(app.path("User/Mnk/Tau0/osc.mnzd")));
        host.shell().Sect_Select(12);
        host.shell().Combo1_Click("Tau0");
        win = std::make_unique<frmUni_12>(host);
    }
    using FormTest::grid;
    FormGrid* grid() { return FormTest::grid("grdTable1"); }
};

}  // namespace

TEST_F(FrmUni12, OpenFillsEveryFieldAndTheDelayGrid) {
    EXPECT_EQ(host.shell().taskItems, (std::vector<std::string>{"Tau0", "Tau1", "Tau2", "Tau3"}));
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.mnzd)|*.mnzd|");
    EXPECT_EQ(fs::path(host.ui.dialogs[0].folder), fs::path(app.path("User/Mnk/Tau0")));
    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "1"}, {"txtNdim", "32"}, {"txtKmod", "4"},     {"txtAlfa", "10"}, {"txtBeta", "1"},
        {"txtGama", "3"},   {"txtMDIM", "2"},  {"txtLTAU", "3"},     {"txtPTAU", "3"},  {"txtTmax", "60"},
        {"txtNDEL", "300"}, {"txtIND", "0"},   {"txtZ_1", "0.0001"}, {"txtI1G", "1,2"}, {"txtNsc", "10"},
        {"txtDlx", "0"},    {"txtDrx", "0.6"}, {"txtSCLT", "0"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    FormGrid* g = grid();
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->rowCount(), 6);
    ASSERT_EQ(g->columnCount(), 4);
    EXPECT_EQ(g->cell(0, 2).toStdString(), "Значения TAU(I)");
    const char* taus[] = {"0.5", "0.75", "1"};
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(g->cell(k + 1, 0).toStdString(), "TAU(" + std::to_string(k) + ")");
        EXPECT_EQ(g->cell(k + 1, 2).toStdString(), taus[k - 1]);
    }
    EXPECT_GT(g->columnWidth(2), g->columnWidth(1));
    EXPECT_TRUE(g->isValueCell(4, 2));
    EXPECT_FALSE(g->isValueCell(5, 2));
    EXPECT_EQ(win->windowTitle().toStdString(), "Симметричные ГГС\\Система уравнений с запаздываниями");
    EXPECT_EQ(win->sheetCount(), 4);
    EXPECT_TRUE(win->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_EQ(core().shownName, "osc.mnzd");
    EXPECT_EQ(mdl.L, 0);
    // This section's check file has no blank third line.
    EXPECT_EQ(readAllLines(app.path("User/Input.chk")).at(2), "1) Параметры модели M(NDIM,KMOD) классов 1-4");
}

TEST_F(FrmUni12, SheetsCarryTheirLabels) {
    openSample();
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели  M(NDIM,KMOD) классов 1-4", "Номер класса,  MCLASS =",
         "Число элементов ГГС,  NDIM =", "Число элементов, объединенных регуляторными связями,  KMOD =",
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
        for (const QLabel* l : win->frame(sheet)->findChildren<QLabel*>())
            if (!l->text().isEmpty()) got.push_back(l->text().toStdString());
        for (const char* t : labels[static_cast<std::size_t>(sheet - 1)]) want.push_back(t);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "sheet " << sheet;
    }
    EXPECT_NE(win->frame(2)->findChild<FormGrid*>("grdTable1"), nullptr);
    test::checkSheetLayout(*win, "frm12");
}

TEST_F(FrmUni12, LtauReminderAndGridRebuiltWithZerosAfterTheChange) {
    openSample();
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(field("txtLTAU"), Qt::LeftButton);
        QApplication::processEvents();
    }
    ASSERT_EQ(host.ui.messages.size(), 2u) << "every click";
    EXPECT_EQ(host.ui.messages[0].text,
              "После изменения  LTAU  не забудьте\nскорректировать таблицу на Листе #2");

    field("txtLTAU")->setText("5");
    EXPECT_TRUE(win->dimensionChanged());
    EXPECT_EQ(grid()->rowCount(), 6) << "nothing is rebuilt before the sheet switch";
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdl.LTAU, 5);
    ASSERT_EQ(grid()->rowCount(), 8);
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(grid()->cell(k + 1, 0).toStdString(), "TAU(" + std::to_string(k) + ")");
        EXPECT_EQ(grid()->cell(k + 1, 2).toStdString(), "0");
    }
    EXPECT_TRUE(win->frame(2)->isVisible());

    // Twenty delays fit the sheet by scrolling.
    field("txtLTAU")->setText("20");
    win->tabStrip()->setCurrentIndex(0);
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_EQ(grid()->rowCount(), 23);
    EXPECT_LE(grid()->geometry().bottom(), win->frame(2)->height());
}

TEST_F(FrmUni12, EditedDelaysAreSavedAndReadBack) {
    openSample();
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* g = grid();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(3, 2)).center());
    EXPECT_EQ(g->cell(3, 2).toStdString(), "");
    QTest::keyClicks(g, "0.8");
    field("txtKmod")->setText("3");
    EXPECT_TRUE(win->edited());
    host.ui.saveFiles.push_back(app.path("User/Mnk/Tau0/edited.mnzd"));
    button("cmdINput1")->click();
    ASSERT_TRUE(app.exists("User/Mnk/Tau0/edited.mnzd"));
    EXPECT_EQ(host.shell().status2, "edited.mnzd");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
    EXPECT_FALSE(win->isVisible());

    mdl.reset();
    readBack(app.path("User/Mnk/Tau0/edited.mnzd"));
    EXPECT_EQ(mdl.LTAU, 3);
    EXPECT_DOUBLE_EQ(mdl.TAU(2), 0.8);
    EXPECT_EQ(mdl.KMOD, 3);
    EXPECT_EQ(mdl.NDIM, 32);
    EXPECT_EQ(mdl.NDEL, 300);
    EXPECT_DOUBLE_EQ(mdl.DRX, 0.6);
    const std::string text = cp1251ToUtf8(bytesOf(app.path("User/Mnk/Tau0/edited.mnzd")));
    EXPECT_NE(text.find("TAUm(I):\r\n0.5,0.8,1\r\n"), std::string::npos);
    EXPECT_NE(text.find("KMOD = 3\r\n"), std::string::npos);
}

TEST_F(FrmUni12, ChangedLtauSavedWithoutSwitchWritesAConsistentFile) {
    openSample();
    field("txtLTAU")->setText("1");
    win->tabStrip()->setCurrentIndex(1);  // the grid now holds one delay "0": fill it in
    FormGrid* g = grid();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(2, 2)).center());
    QTest::keyClicks(g, "1");
    field("txtLTAU")->setText("2");  // and change it again: "Ввод" rebuilds before saving
    host.ui.saveFiles.push_back(app.path("User/Mnk/Tau0/two.mnzd"));
    button("cmdINput1")->click();
    // Two delays "0" are not ascending positive delays: refused, window open, no file.
    ASSERT_FALSE(host.ui.messages.empty());
    EXPECT_NE(host.ui.messages.back().text.find("Запаздывания должны быть больше 0"), std::string::npos);
    EXPECT_FALSE(app.exists("User/Mnk/Tau0/two.mnzd"));
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(grid()->rowCount(), 5);
}

TEST_F(FrmUni12, RefusedTextsKeepTheWindowOpenAndWriteNothing) {
    openSample();
    const struct {
        const char* field;
        const char* text;
        const char* message;
    } cases[] = {{"txtMDIM", "6", "MDIM должно быть от 1 до 5"},
                 {"txtNDEL", "500", "NDEL должно быть от 1 до 499"},
                 {"txtNsc", "0", "NSC"},
                 {"txtGama", "0.5", "GAMA должно быть не меньше 1"},
                 {"txtI1G", "1,3", "компоненты графика 3"},
                 {"txtPTAU", "abc", "Недопустимое значение  PTAU = abc"}};
    for (const auto& k : cases) {
        const QString old = field(k.field)->text();
        field(k.field)->setText(k.text);
        host.ui.saveFiles.push_back(app.path("User/Mnk/Tau0/bad.mnzd"));
        button("cmdINput1")->click();
        ASSERT_FALSE(host.ui.messages.empty()) << k.field;
        EXPECT_NE(host.ui.messages.back().text.find(k.message), std::string::npos)
            << host.ui.messages.back().text;
        EXPECT_FALSE(app.exists("User/Mnk/Tau0/bad.mnzd")) << k.field;
        EXPECT_TRUE(win->isVisible());
        field(k.field)->setText(old);
    }
    host.ui.saveFiles.push_back(app.path("User/Mnk/Tau0/good.mnzd"));
    button("cmdINput1")->click();
    EXPECT_TRUE(app.exists("User/Mnk/Tau0/good.mnzd"));
    EXPECT_EQ(bytesOf(app.path("User/Mnk/Tau0/good.mnzd")), bytesOf(app.path("User/Mnk/Tau0/osc.mnzd")));
}

TEST_F(FrmUni12, AcceptWithoutEditsKeepsTheFileAndHelpOpensTopic1002) {
    openSample();
    const std::string before = bytesOf(app.path("User/Mnk/Tau0/osc.mnzd"));
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(bytesOf(app.path("User/Mnk/Tau0/osc.mnzd")), before);
    EXPECT_EQ(host.shell().status2, "osc.mnzd");
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
    EXPECT_NE(makeSectionWindow(12, host), nullptr);
}
