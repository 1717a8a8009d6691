// The input window of section 5.2.1 driven as the user drives it: open a shipped sample,
// type into fields, switch sheets, "Ввод", "Отмена", with a scripted prompter and a real shell.
#include "support/form_test_host.h"
#include "synthesis/section521/frmUni_521.h"

using namespace velta;
using namespace velta::test;

namespace {

class FrmUni521 : public FormTest<frmUni_521> {
protected:
    FrmUni521() : FormTest(521, &frmUni_521::IshDanSy2, {"Syn2_Oscill.sy2d", "Syn2_Phase.sy2d"}) {}
};

const std::pair<const char*, const char*> kOscill[] = {
    {"txtNdim1_Ndim2", "6,6"}, {"txtAlfa", "10"},         {"txtBeta1_Beta2", "1,2"},
    {"txtGama1_Gama2", "4,3"}, {"txtTau1_Tau2", "5,5"},   {"txtTeta", "1"},
    {"txtIND", "0"},           {"txtX_Ndim", "0.1"},      {"txtTmax", "150"},
    {"txtHHH", "0.01"},        {"txtLscreen", "0"},       {"txtTmin", "100"},
    {"txtLgraph", "1"},        {"txtI1G", "1,5,6,10,11"}, {"txtNsc", "100"},
    {"txtDlx", "0"},           {"txtDrx", "0.6"},         {"txtDlw", "0"},
    {"txtDrw", "1"},           {"txtSclt", "0"},
};

TEST_F(FrmUni521, OpenFillsEveryFieldFromTheSampleAndShowsSheetOne) {
    openSample();
    checkOpened("Файлы данных (*.sy2d)|*.sy2d|", "Синтез\\Кодирование двумя ГЭ\\Автономная система", 3);
    checkFieldTexts(kOscill);
    EXPECT_EQ(win->findChildren<QLineEdit*>().size(), std::size(kOscill));
    EXPECT_TRUE(win->findChildren<FormGrid*>().isEmpty());
    EXPECT_TRUE(host.ui.messages.empty());

    // The reading built the start: chain values, the common compartment perturbed.
    EXPECT_EQ(mdl.NDIM, 11);
    EXPECT_DOUBLE_EQ(mdl.X1(1), mdl.ZST1);
    EXPECT_DOUBLE_EQ(mdl.X1(6), mdl.ZST2);
    EXPECT_NEAR(mdl.X1(11) - mdl.STAT, 0.1, 1e-12);

    win->cancel();
    openSample("User/Syn2_Phase.sy2d");
    EXPECT_TRUE(win->isVisible());
    checkFieldTexts(kOscill, {{"txtLgraph", "2"}, {"txtI1G", "5,11"}});
    EXPECT_EQ(core().shownName, "Syn2_Phase.sy2d");
}

// Every heading, field label and explanatory line of the three sheets, on its sheet, with
// nothing clipped, nothing outside its frame and nothing drawn over anything else.
TEST_F(FrmUni521, SheetsCarryTheirLabelsAndFieldsWithoutOverlap) {
    checkSheetTexts(
        *win,
        {{"1) Параметры математической модели.", "Число уравнений системы", "NDIM = NDIM1 + NDIM2 - 1",
          "NDIM1, NDIM2 =", " ALFA =", " BETA1, BETA2 =", " GAMA1, GAMA2 =", "TAU1, TAU2 =", " TETA =",
          "2) Начальные данные:  X(i) = 0, i = 1,...,NDIM.",
          "Варианты задания начальных данных:", "IND = 0 - \"возмущенное\" стационарное решение,",
          "IND = 1 - нулевые начальные данные.", "IND =", "\"Возмущение\" компоненты  X(NDIM),  X_NDIM ="},
         {"3) Параметры интегрирования", "Интервал интегрирования:  0 <= t <= TMAX,  TMAX =",
          "Шаг интегрирования,  HHH =", "4) Определение периода:", "LSCREEN =", "TMIN =",
          "5) Графическое представление результатов:", "LGRAPH =", "LGRAPH = 1 - в физической плоскости,",
          "LGRAPH = 2 - в фазовой плоскости", "(LSCREEN = 0 при LGRAPH = 2)."},
         {"6) Номера компонент, выводимых на график", "7) Плотность выдачи результатов в таблицу", "NSC =",
          "8) Границы интервалов для графиков (в долях ALFA):", "DLX =", "DRX =", "DLW =", "DRW =", "SCLT =",
          "ALFA * DLX <= X(i) <= ALFA * DRX", "ALFA * DLW <=  W   <= ALFA * DRW", "SCLT <=  t   <= TMAX"}},
        {{"txtNdim1_Ndim2", "txtAlfa", "txtBeta1_Beta2", "txtGama1_Gama2", "txtTau1_Tau2", "txtTeta",
          "txtIND", "txtX_Ndim"},
         {"txtTmax", "txtHHH", "txtLscreen", "txtTmin", "txtLgraph"},
         {"txtI1G", "txtNsc", "txtDlx", "txtDrx", "txtDlw", "txtDrw", "txtSclt"}});
    openSample();
    checkSheetLayout(*win, "frmUni_521");
    // The time bound lines up with the other two on its "<=" sign.
    const auto bound = [&](const char* s) {
        for (const QLabel* l : win->frame(3)->findChildren<QLabel*>())
            if (l->text() == QString::fromUtf8(s))
                return l->x() + l->fontMetrics().horizontalAdvance(l->text().left(l->text().indexOf("<=")));
        return -1;
    };
    EXPECT_EQ(bound("SCLT <=  t   <= TMAX"), bound("ALFA * DLX <= X(i) <= ALFA * DRX"));
}

TEST_F(FrmUni521, AcceptWithoutEditsAsksNothingAndWritesNothing) {
    openSample();
    win->tabStrip()->setCurrentIndex(1);  // looking at the sheets changes nothing
    checkAcceptWithoutEdits();
}

// Pairs typed as "first,second" and values on each sheet are saved; the file is the
// sample with exactly those lines changed and reads back with the edits.
TEST_F(FrmUni521, TypedValuesAndPairsAreSavedAndReadBack) {
    openSample();
    typeInto("txtNdim1_Ndim2", "4,7");
    typeInto("txtBeta1_Beta2", "1.5,2.5");
    EXPECT_TRUE(win->edited());
    win->tabStrip()->setCurrentIndex(1);
    typeInto("txtTmax", "80");
    win->tabStrip()->setCurrentIndex(2);
    typeInto("txtDrx", "0.75");
    typeInto("txtI1G", "1,5,6,10");  // within the new NDIM = 10
    save("User/edited");
    checkSavedAs("User/edited.sy2d", "Файлы данных (*.sy2d)|*.sy2d|");
    expectOnlyLinesChanged("User/edited.sy2d", {{"6,6", "4,7"},
                                                {"1,2", "1.5,2.5"},
                                                {"TMAX = 150", "TMAX = 80"},
                                                {"Drx = 0.6", "Drx = 0.75"},
                                                {"1,5,6,10,11", "1,5,6,10"}});
    readBack(app.path("User/edited.sy2d"));
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_EQ(mdl.NDIM1, 4);
    EXPECT_EQ(mdl.NDIM2, 7);
    EXPECT_EQ(mdl.NDIM, 10);
    EXPECT_EQ(mdl.X1.upper(), 10);
    EXPECT_DOUBLE_EQ(mdl.BETA1, 1.5);
    EXPECT_DOUBLE_EQ(mdl.BETA2, 2.5);
    EXPECT_DOUBLE_EQ(mdl.TMAX, 80);
    EXPECT_DOUBLE_EQ(mdl.DRX, 0.75);
    EXPECT_EQ(Sec521::fieldsFromStore(mdl).gama12, "4,3");
    EXPECT_EQ(mdl.NSC, 100);
}

// The chain lengths size no grid: no reminder, and a sheet switch leaves the store alone.
TEST_F(FrmUni521, ChainLengthsAreAPlainFieldWithoutReminder) {
    openSample();
    QTest::mouseClick(field("txtNdim1_Ndim2"), Qt::LeftButton);
    QApplication::processEvents();
    typeInto("txtNdim1_Ndim2", "3,3");
    win->tabStrip()->setCurrentIndex(2);
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_EQ(mdl.NDIM, 11);
    EXPECT_FALSE(win->dimensionChanged());
}

// A file whose stationary solution cannot be found still opens after the message and
// can be mended in the window.
TEST_F(FrmUni521, FileWithoutStationarySolutionOpensAfterTheMessageAndCanBeMended) {
    std::string bytes = bytesOf(samplePath());
    bytes.replace(bytes.find("TETA = 1"), 8, "TETA = 0");
    app.write("User/noteta.sy2d", bytes);
    openSample("User/noteta.sy2d");
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_NE(host.ui.messages[0].text.find("TETA"), std::string::npos) << host.ui.messages[0].text;
    ASSERT_TRUE(win->isVisible());
    EXPECT_EQ(text("txtTeta"), "0");
    EXPECT_EQ(core().dataPath, app.path("User/noteta.sy2d"));

    typeInto("txtTeta", "1");
    save("User/mended.sy2d");
    host.ui.messages.clear();
    readBack(app.path("User/mended.sy2d"));
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_GT(mdl.STAT, 0);
    EXPECT_NEAR(mdl.X1(11) - mdl.STAT, 0.1, 1e-12);
}

TEST_F(FrmUni521, InputRefusesWhatTheReadingOrTheRunWouldRefuse) {
    const std::pair<const char*, const char*> cases[] = {{"txtTeta", "0"},
                                                         {"txtTau1_Tau2", "5,0"},
                                                         {"txtNdim1_Ndim2", "1,6"},
                                                         {"txtHHH", "-1"},
                                                         {"txtGama1_Gama2", "4"}};
    for (const auto& [name, value] : cases) {
        openSample();
        host.ui.messages.clear();
        field(name)->setText(value);
        save("User/bad.sy2d");
        ASSERT_EQ(host.ui.messages.size(), 1u) << name;
        EXPECT_EQ(host.ui.messages[0].icon, MsgIcon::Critical);
        EXPECT_FALSE(app.exists("User/bad.sy2d")) << name;
        EXPECT_TRUE(win->isVisible()) << name;
        EXPECT_EQ(core().dataPath, samplePath()) << name;
        host.ui.saveFiles.clear();
        win->cancel();
    }
}

TEST_F(FrmUni521, CancelAfterEditsAndReopeningShowsTheFileValues) {
    openSample();
    typeInto("txtGama1_Gama2", "2,2");
    win->tabStrip()->setCurrentIndex(2);
    typeInto("txtNsc", "5");
    cancelAndReopen();
    EXPECT_EQ(text("txtGama1_Gama2"), "4,3");
    EXPECT_EQ(text("txtNsc"), "100");
}

TEST_F(FrmUni521, FailedReadingShowsNoWindowAndKeepsTheCurrentFile) {
    openSample();
    button("cmdINput1")->click();
    std::string bytes = bytesOf(samplePath());
    bytes.replace(bytes.find("\r\n4,3\r\n"), 7, "\r\n4\r\n");  // the pair lacks its second value
    app.write("User/broken.sy2d", bytes);
    checkFailedReading("User/broken.sy2d");
    EXPECT_EQ(text("txtGama1_Gama2"), "4,3");
}

TEST_F(FrmUni521, HelpOpensTopic1002AndTheRegistryBuildsTheWindow) { checkHelpAndRegistry(); }

}  // namespace
