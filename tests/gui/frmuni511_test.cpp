// The input window of section 5.1.1 driven as the user drives it: open a shipped sample,
// type into fields, switch sheets, "Ввод", "Отмена", with a scripted prompter and a real shell.
#include "support/form_test_host.h"
#include "synthesis/section511/frmUni_511.h"

using namespace velta;
using namespace velta::test;

namespace {

class FrmUni511 : public FormTest<frmUni_511> {
protected:
    FrmUni511() : FormTest(511, &frmUni_511::IshDanSy1, {"Syn1_Oscill.sy1d", "Syn1_Phase.sy1d"}) {}
};

const std::pair<const char*, const char*> kOscill[] = {
    {"txtNdim", "8"},   {"txtAlfa", "10"},   {"txtBeta", "1"},   {"txtGama", "4"},    {"txtTeta", "1"},
    {"txtOmeg", "0.1"}, {"txtTau1", "5"},    {"txtTau2", "100"}, {"txtIND", "0"},     {"txtX_Ndim", "0.1"},
    {"txtX_1", "0"},    {"txtTmax", "200"},  {"txtHHH", "0.01"}, {"txtLscreen", "0"}, {"txtTmin", "100"},
    {"txtLgraph", "1"}, {"txtI1G", "1,4,8"}, {"txtNss", "1"},    {"txtNsc", "100"},   {"txtSclx", "0"},
    {"txtScrx", "7"},   {"txtSclw", "0"},    {"txtScrw", "10"},  {"txtSclt", "0"},
};

TEST_F(FrmUni511, OpenFillsEveryFieldFromTheSampleAndShowsSheetOne) {
    openSample();
    checkOpened("Файлы данных (*.sy1d)|*.sy1d|", "Синтез\\Кодирование одним ГЭ\\Автономная система   ", 3);
    checkFieldTexts(kOscill);
    EXPECT_EQ(win->findChildren<QLineEdit*>().size(), std::size(kOscill));
    EXPECT_TRUE(win->findChildren<FormGrid*>().isEmpty());
    EXPECT_TRUE(host.ui.messages.empty());

    // The reading built the start: the stationary solution, the last component perturbed.
    EXPECT_GT(mdl.XS(1), 0);
    EXPECT_DOUBLE_EQ(mdl.X1(1), mdl.XS(1));
    EXPECT_NEAR(mdl.X1(8) - mdl.XS(8), 0.1, 1e-12);

    // The phase-plane sample differs in the plot kind and the plotted pair only.
    win->cancel();
    openSample("User/Syn1_Phase.sy1d");
    EXPECT_TRUE(win->isVisible());
    checkFieldTexts(kOscill, {{"txtLgraph", "2"}, {"txtI1G", "1,8"}});
    EXPECT_EQ(core().shownName, "Syn1_Phase.sy1d");
}

// Every heading, field label and explanatory line of the three sheets, on its sheet, with
// nothing clipped, nothing outside its frame and nothing drawn over anything else.
TEST_F(FrmUni511, SheetsCarryTheirLabelsAndFieldsWithoutOverlap) {
    checkSheetTexts(
        *win,
        {{"1) Параметры математической модели", "Число уравнений системы,  NDIM =", " ALFA =", " BETA =",
          " GAMA =", " TETA =", " OMEG =", " TAU1 =", "TAU2 =", "2) Варианты задания начальных данных:",
          "IND = 0 - \"возмущенное\" стационарное решение,", "IND = 1 - \"возмущенное\" нулевое решение.",
          "IND =", "\"Возмущение\" компоненты  X(NDIM),  X_NDIM =",
          "\"Возмущение\" компоненты  X(1),  X_1 ="},
         {"3) Параметры интегрирования", "Интервал интегрирования:  0 <= t <= TMAX,  TMAX =",
          "Шаг интегрирования,  HHH =", "4) Определение периода:", "LSCREEN =", "TMIN =", "LSCREEN = 1 - да,",
          "LSCREEN = 0 - нет", "(поиск min W(t), TMIN <= t <= TMAX)",
          "5) Графическое представление результатов:", "LGRAPH =", "LGRAPH = 1 - в физической плоскости,",
          "LGRAPH = 2 - в фазовой плоскости", "(LSCREEN = 0 при LGRAPH = 2)."},
         {"6) Номера компонент, выводимых на график", "(NCOMP <= 12", "NCOMP <= NDIM при LGRAPH = 1",
          "NCOMP  = 2    при LGRAPH = 2)", "7) Плотность таблицы выдачи результатов:",
          "- стационарное решение,  NSS =", "- решение задачи Коши,   NSC =",
          "8) Границы интервалов для графиков:", "SCLX =", "SCRX =", "SCLW =", "SCRW =", "SCLT =",
          "SCLX <= X(i) <= SCRX", "SCLW <=  W   <= SCRW", "SCLT <=  t   <= TMAX"}},
        {{"txtNdim", "txtAlfa", "txtBeta", "txtGama", "txtTeta", "txtOmeg", "txtTau1", "txtTau2", "txtIND",
          "txtX_Ndim", "txtX_1"},
         {"txtTmax", "txtHHH", "txtLscreen", "txtTmin", "txtLgraph"},
         {"txtI1G", "txtNss", "txtNsc", "txtSclx", "txtScrx", "txtSclw", "txtScrw", "txtSclt"}});
    openSample();
    checkSheetLayout(*win, "frmUni_511");
}

TEST_F(FrmUni511, AcceptWithoutEditsAsksNothingAndWritesNothing) {
    openSample();
    win->tabStrip()->setCurrentIndex(2);  // looking at the sheets changes nothing
    checkAcceptWithoutEdits();
}

// A value typed on each sheet is saved; the file is the sample with exactly those lines
// changed, and it reads back to the sample's values with the edits.
TEST_F(FrmUni511, TypedValuesAreSavedAndReadBack) {
    openSample();
    typeInto("txtOmeg", "0.25");
    EXPECT_TRUE(win->edited());
    win->tabStrip()->setCurrentIndex(1);
    typeInto("txtHHH", "0.02");
    win->tabStrip()->setCurrentIndex(2);
    typeInto("txtI1G", "2,3");
    EXPECT_TRUE(win->frame(3)->isVisible());
    save("User/edited");  // typed without extension
    checkSavedAs("User/edited.sy1d", "Файлы данных (*.sy1d)|*.sy1d|");
    expectOnlyLinesChanged("User/edited.sy1d",
                           {{"OMEG = 0.1", "OMEG = 0.25"}, {"HHH = 0.01", "HHH = 0.02"}, {"1,4,8", "2,3"}});
    readBack(app.path("User/edited.sy1d"));
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_DOUBLE_EQ(mdl.OMEG, 0.25);
    EXPECT_DOUBLE_EQ(mdl.HHH, 0.02);
    ASSERT_EQ(mdl.NCOMP, 2);
    EXPECT_EQ(mdl.IC(1), 2);
    EXPECT_EQ(mdl.IC(2), 3);
    EXPECT_DOUBLE_EQ(mdl.TAU2, 100);
    EXPECT_DOUBLE_EQ(mdl.X_Ndim, 0.1);
}

// NDIM sizes no grid here: a new value is only a text until the file is saved and read,
// no reminder is shown and switching sheets leaves the store alone.
TEST_F(FrmUni511, NdimIsAPlainFieldSavedAndReadWithTheNewLength) {
    openSample();
    QTest::mouseClick(field("txtNdim"), Qt::LeftButton);
    QApplication::processEvents();
    typeInto("txtNdim", "12");
    typeInto("txtIND", "1");
    typeInto("txtX_1", "0.5");
    win->tabStrip()->setCurrentIndex(1);
    win->tabStrip()->setCurrentIndex(2);
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_EQ(mdl.NDIM, 8);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_TRUE(win->frame(3)->isVisible());

    save("User/twelve.sy1d");
    readBack(app.path("User/twelve.sy1d"));
    EXPECT_EQ(mdl.NDIM, 12);
    EXPECT_EQ(mdl.X1.upper(), 12);
    // IND = 1: the zero state with component 1 perturbed.
    EXPECT_DOUBLE_EQ(mdl.X1(1), 0.5);
    EXPECT_DOUBLE_EQ(mdl.X1(12), 0);
    EXPECT_DOUBLE_EQ(mdl.SCRW, 10);
}

// A file whose stationary solution cannot be found still opens, after the message, so
// that it can be mended in the window; the mended file reads without a message.
TEST_F(FrmUni511, FileWithoutStationarySolutionOpensAfterTheMessageAndCanBeMended) {
    std::string bytes = bytesOf(samplePath());
    bytes.replace(bytes.find("NDIM = 8"), 8, "NDIM = 3");
    bytes.replace(bytes.find("IC(I):\r\n1,4,8"), 13, "IC(I):\r\n1,2,3");  // a list the file's NDIM allows
    app.write("User/short.sy1d", bytes);
    openSample("User/short.sy1d");
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_NE(host.ui.messages[0].text.find("NDIM"), std::string::npos) << host.ui.messages[0].text;
    ASSERT_TRUE(win->isVisible());
    EXPECT_EQ(text("txtNdim"), "3");
    EXPECT_EQ(text("txtX_Ndim"), "0.1");
    EXPECT_EQ(core().dataPath, app.path("User/short.sy1d"));
    EXPECT_FALSE(win->edited());

    typeInto("txtNdim", "8");
    save("User/mended.sy1d");
    EXPECT_EQ(host.shell().status2, "mended.sy1d");
    host.ui.messages.clear();
    readBack(app.path("User/mended.sy1d"));
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_EQ(mdl.NDIM, 8);
    EXPECT_NEAR(mdl.X1(8) - mdl.XS(8), 0.1, 1e-12);
    EXPECT_EQ(mdl.NCOMP, 3);
}

TEST_F(FrmUni511, CancelledSaveWritesNothingAndKeepsTheFileCurrent) {
    openSample();
    typeInto("txtTmax", "50");
    checkSaveCancelled();
    EXPECT_EQ(userFiles().size(), 3u);
}

TEST_F(FrmUni511, CancelAfterEditsAndReopeningShowsTheFileValues) {
    openSample();
    typeInto("txtBeta", "7");
    win->tabStrip()->setCurrentIndex(2);
    typeInto("txtScrx", "9");
    cancelAndReopen();
    EXPECT_EQ(text("txtBeta"), "1");
    EXPECT_EQ(text("txtScrx"), "7");
}

TEST_F(FrmUni511, FailedReadingShowsNoWindowAndKeepsTheCurrentFile) {
    openSample();
    button("cmdINput1")->click();
    std::string bytes = bytesOf(samplePath());
    bytes.replace(bytes.find("TETA = 1"), 8, "TETA = x");
    app.write("User/broken.sy1d", bytes);
    checkFailedReading("User/broken.sy1d");
    EXPECT_EQ(text("txtTeta"), "1");
}

TEST_F(FrmUni511, HelpOpensTopic1002AndTheRegistryBuildsTheWindow) { checkHelpAndRegistry(); }

}  // namespace
