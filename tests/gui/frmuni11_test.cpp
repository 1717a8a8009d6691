// The input window of section 1.1 driven as the user drives it: open, edit, switch
// sheets, type into grids, "Ввод", "Отмена", with a scripted prompter and a real shell.
#include "models/section11/frmUni_11.h"
#include "support/form_test_host.h"

using namespace velta;
using namespace velta::test;

namespace {

// A data file of section 1.1 with NDIM = 5 and distinct values everywhere.
const char* const kSample[] = {
    "Модель M(NDIM,KMOD)",
    "-------------------",
    "MCLASS = 2",
    "NDIM = 5",
    "KMOD = 3",
    "ALFA = 10",
    "BETA = 1.5",
    "GAMA = 2",
    "Начальные данные",
    "----------------",
    "i1,...:",
    "1,3",
    "X(i1),...:",
    "0.5,2.25",
    "Плоскость Пуанкаре",
    "------------------",
    "XP(I):",
    "1,2,3,4,5",
    "FP(I):",
    "0.25,0,1,0,-1",
    "Интегрирование",
    "--------------",
    "TMAX = 100",
    "HHH = 0.01",
    "Период",
    "------",
    "LSCREEN = 1",
    "TMIN = 50",
    "График",
    "------",
    "LGRAPH = 1",
    "Порции",
    "------",
    "LSTEP = 0",
    "Компоненты",
    "----------",
    "IC(I):",
    "1,2,3",
    "Таблица",
    "-------",
    "NSC = 10",
    "Границы",
    "-------",
    "Dlx = 0",
    "Drx = 1.2",
    "Dlw = 0.1",
    "Drw = 2",
    "Sclt = 5",
};

std::string sampleBytes() {
    std::string s;
    for (const char* l : kSample) s += utf8ToCp1251(l) + "\r\n";
    return s;
}

class FrmUni11 : public FormTest<frmUni_11> {
protected:
    FrmUni11() : FormTest(11, &frmUni_11::IshDanSym, {}, "sample.mnkd") {}
    void SetUp() override {
        app.write("User/sample.mnkd", sampleBytes());
        FormTest::SetUp();
    }
};

TEST_F(FrmUni11, OpenFillsEveryFieldAndGridAndShowsSheetOne) {
    openSample();
    checkOpened("Файлы данных (*.mnkd)|*.mnkd|", "Симметричные ГГС\\Автономная система", 4);

    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "2"}, {"txtNdim", "5"},   {"txtKmod", "3"},    {"txtAlfa", "10"},
        {"txtBeta", "1.5"}, {"txtGama", "2"},   {"txtI1N", "1,3"},   {"txtXI1", "0.5,2.25"},
        {"txtTmax", "100"}, {"txtHHH", "0.01"}, {"txtLscreen", "1"}, {"txtTmin", "50"},
        {"txtLgraph", "1"}, {"txtLstep", "0"},  {"txtI1G", "1,2,3"}, {"txtNsc", "10"},
        {"txtDlx", "0"},    {"txtDrx", "1.2"},  {"txtDlw", "0.1"},   {"txtDrw", "2"},
        {"txtSclt", "5"},
    };
    checkFieldTexts(expected);
    FormGrid* g1 = grid("grdTable1");
    FormGrid* g2 = grid("grdTable2");
    ASSERT_TRUE(g1 && g2);
    ASSERT_EQ(g1->columnCount(), 8);
    ASSERT_EQ(g1->rowCount(), 4);
    const char* xp[] = {"1", "2", "3", "4", "5"};
    const char* fp[] = {"0.25", "0", "1", "0", "-1"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(g1->cell(2, i + 2).toStdString(), xp[i]);
        EXPECT_EQ(g2->cell(2, i + 2).toStdString(), fp[i]);
        EXPECT_EQ(g1->cell(0, i + 2).toStdString(), std::to_string(i + 1));
    }
    EXPECT_EQ(g1->cell(0, 0).toStdString(), " Номера  компонент");
    EXPECT_EQ(g2->cell(2, 0).toStdString(), "Значения компонент");
}

// Every heading, field label and explanatory line of the four sheets, on its sheet.
TEST_F(FrmUni11, SheetsCarryTheirLabelsAndFields) {
    checkSheetTexts(
        *win,
        {{"1) Параметры модели  M(NDIM,KMOD) классов 1-4",
          "Номер класса,  MCLASS =", "Число элементов ГГС (размерность системы),  NDIM =",
          "Число элементов, объединенных регуляторными связями,  KMOD =", " ALFA =", " BETA =", " GAMA =",
          "2) Начальные данные:  X(i) = 0, i = 1,...,NDIM",
          "Номера ненулевых компонент,  i1,...:", "Значения ненулевых компонент,  X(i1),...:"},
         {"3) Задание плоскости Пуанкаре: (N, X-Xo) = 0", "Компоненты вектора  Xo",
          "Компоненты вектора нормали  N"},
         {"4) Параметры интегрирования",
          "Интервал интегрирования:  0 <= t <= TMAX,  TMAX =",
          "Шаг интегрирования,  HHH =",
          "5) Определение периода:",
          "LSCREEN =",
          "TMIN =",
          "    LSCREEN = 1 - да,",
          "    LSCREEN = 0 - нет",
          "    (поиск min W(t), TMIN <= t <= TMAX)    ",
          "6) Графическое представление результатов:",
          "LGRAPH =",
          "    LGRAPH = 1 - в физической плоскости,",
          "    LGRAPH = 2 - в фазовой плоскости,",
          "    LGRAPH = 3 - в плоскости Пуанкаре ",
          "    (LSCREEN = 0 при LGRAPH = 2,3).",
          "7) Порции выдачи результатов на график:",
          "LSTEP =",
          "    LSTEP = 0 - непрерывная выдача на отрезке [0,TMAX],",
          "    LSTEP > 0 - порция шагов интегрирования c непрерывной",
          "    выдачей - до изменения TMAX. В дальнейшем LSTEP = 0."},
         {"8) Номера компонент, выводимых на график", "    (NCOMP <= 12", "     NCOMP <= NDIM при LGRAPH = 1",
          "     NCOMP  = 2    при LGRAPH = 2,3)", "9) Плотность выдачи результатов в таблицу",
          "NSC =", "10) Границы интервалов для графиков (в долях ALFA):", "DLX =", "DRX =", "DLW =", "DRW =",
          "SCLT =", "           ALFA * DLX <= X(i) <= ALFA * DRX",
          "           ALFA * DLW <=  W   <= ALFA * DRW", "                 SCLT <=  t   <= TMAX"}},
        {{"txtMclass", "txtNdim", "txtKmod", "txtAlfa", "txtBeta", "txtGama", "txtI1N", "txtXI1"},
         {},
         {"txtTmax", "txtHHH", "txtLscreen", "txtTmin", "txtLgraph", "txtLstep"},
         {"txtI1G", "txtNsc", "txtDlx", "txtDrx", "txtDlw", "txtDrw", "txtSclt"}});
    EXPECT_NE(win->frame(2)->findChild<FormGrid*>("grdTable1"), nullptr);
    EXPECT_NE(win->frame(2)->findChild<FormGrid*>("grdTable2"), nullptr);
    openSample();
    checkSheetLayout(*win, "frmUni_11");
}

TEST_F(FrmUni11, AcceptWithoutEditsAsksNothingAndWritesNothing) {
    openSample();
    checkAcceptWithoutEdits();
}

TEST_F(FrmUni11, EditedValueIsSavedAndReadsBackWithEverythingElseUnchanged) {
    openSample();
    const Sec11::Fields original = win->currentFields();
    field("txtAlfa")->setText("12.5");
    EXPECT_TRUE(win->edited());
    save("User/edited");  // typed without extension
    checkSavedAs("User/edited.mnkd", "Файлы данных (*.mnkd)|*.mnkd|");

    // The header lines come back as read; only ALFA differs from the original file.
    const std::string saved = cp1251ToUtf8(bytesOf(app.path("User/edited.mnkd")));
    EXPECT_EQ(saved.rfind("Модель M(NDIM,KMOD)\r\n-------------------\r\nMCLASS = 2\r\n", 0), 0u);
    readBack(app.path("User/edited.mnkd"));
    EXPECT_DOUBLE_EQ(mdl.ALFA, 12.5);
    Sec11::Fields back = Sec11::fieldsFromStore(mdl);
    EXPECT_EQ(back.alfa, "12.5");
    back.alfa = original.alfa;
    EXPECT_EQ(back.mclass, original.mclass);
    EXPECT_EQ(back.ndim, original.ndim);
    EXPECT_EQ(back.i1n, original.i1n);
    EXPECT_EQ(back.xi1, original.xi1);
    EXPECT_EQ(back.xp.joinRow(2, 2, 6), "1,2,3,4,5");
    EXPECT_EQ(back.fp.joinRow(2, 2, 6), "0.25,0,1,0,-1");
    EXPECT_EQ(back.tmax, original.tmax);
    EXPECT_EQ(back.hhh, original.hhh);
    EXPECT_EQ(back.lscreen, original.lscreen);
    EXPECT_EQ(back.tmin, original.tmin);
    EXPECT_EQ(back.i1g, original.i1g);
    EXPECT_EQ(back.nsc, original.nsc);
    EXPECT_EQ(back.drx, original.drx);
    EXPECT_EQ(back.dlw, original.dlw);
    EXPECT_EQ(back.sclt, original.sclt);
}

TEST_F(FrmUni11, CancelledSaveWritesNothingAndKeepsTheFileCurrent) {
    openSample();
    field("txtKmod")->setText("2");
    checkSaveCancelled();
}

TEST_F(FrmUni11, NdimChangeRebuildsBothGridsWithZerosOnSheetSwitch) {
    openSample();
    field("txtNdim")->setText("3");
    EXPECT_TRUE(win->dimensionChanged());
    EXPECT_EQ(grid("grdTable1")->columnCount(), 8);  // nothing rebuilt before the switch
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdl.NDIM, 3);
    for (const char* name : {"grdTable1", "grdTable2"}) {
        FormGrid* g = grid(name);
        ASSERT_EQ(g->columnCount(), 6) << name;
        for (int c = 2; c <= 4; ++c) EXPECT_EQ(g->cell(2, c).toStdString(), "0") << name;
        EXPECT_EQ(g->cell(2, 5).toStdString(), "");
    }
    EXPECT_TRUE(win->frame(2)->isVisible());
    EXPECT_FALSE(win->frame(1)->isVisible());

    // Saved and read again: three components, the later blocks in place.
    save("User/three.mnkd");
    readBack(app.path("User/three.mnkd"));
    EXPECT_EQ(mdl.NDIM, 3);
    EXPECT_EQ(mdl.XP.upper(), 3);
    EXPECT_DOUBLE_EQ(mdl.FP(3), 0);
    EXPECT_DOUBLE_EQ(mdl.TMAX, 100);
    EXPECT_DOUBLE_EQ(mdl.SCLT, 5);
}

TEST_F(FrmUni11, NdimChangedAndAcceptedWithoutSwitchStillWritesAConsistentFile) {
    openSample();
    field("txtNdim")->setText("4");
    save("User/four.mnkd");
    EXPECT_EQ(grid("grdTable1")->columnCount(), 7);
    readBack(app.path("User/four.mnkd"));
    EXPECT_EQ(mdl.NDIM, 4);
    EXPECT_DOUBLE_EQ(mdl.TMAX, 100);
    EXPECT_EQ(mdl.NSC, 10);
}

// The window stays open while another section's reading may change NDIM: the grids are
// still written at their own length and the store keeps the other reading's NDIM.
TEST_F(FrmUni11, SaveWritesTheGridsAtTheirOwnLength) {
    openSample();
    mdl.NDIM = 2;
    field("txtGama")->setText("3");
    save("User/own.mnkd");
    EXPECT_EQ(mdl.NDIM, 2);
    readBack(app.path("User/own.mnkd"));
    EXPECT_EQ(mdl.NDIM, 5);
    EXPECT_DOUBLE_EQ(mdl.FP(5), -1);
    EXPECT_DOUBLE_EQ(mdl.GAMA, 3);
    EXPECT_DOUBLE_EQ(mdl.TMAX, 100);
}

TEST_F(FrmUni11, BadNdimTextOnSheetSwitchGivesAMessageAndKeepsTheGrids) {
    openSample();
    field("txtNdim")->setText("пять");
    win->tabStrip()->setCurrentIndex(1);
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Недопустимое значение  NDIM = пять  (допустимо 1..200)");
    EXPECT_EQ(grid("grdTable1")->columnCount(), 8);
    EXPECT_EQ(grid("grdTable1")->cell(2, 3).toStdString(), "2");
    EXPECT_EQ(mdl.NDIM, 5);
    EXPECT_TRUE(win->dimensionChanged());
    EXPECT_TRUE(win->frame(2)->isVisible());
    // "Ввод" with the bad text refuses to write a file whose grids would not match.
    save("User/bad.mnkd");
    EXPECT_EQ(host.ui.messages.size(), 2u);
    EXPECT_FALSE(app.exists("User/bad.mnkd"));
    EXPECT_TRUE(win->isVisible());
}

TEST_F(FrmUni11, GridClickEmptiesTheCellAndTypingFillsIt) {
    openSample();
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* g = grid("grdTable1");
    clickCell(g, 2, 3);
    EXPECT_EQ(g->cell(2, 3).toStdString(), "");
    EXPECT_TRUE(win->edited());
    QTest::keyClicks(g, "0.5");
    EXPECT_EQ(g->cell(2, 3).toStdString(), "0.5");
    // Without a new click the characters are appended.
    QTest::keyClicks(g, "25");
    EXPECT_EQ(g->cell(2, 3).toStdString(), "0.525");
    QTest::keyClick(g, Qt::Key_Backspace);
    QTest::keyClick(g, Qt::Key_Backspace);
    EXPECT_EQ(g->cell(2, 3).toStdString(), "0.5");
    // Enter goes on to the next component, whose text is appended to, not replaced.
    QTest::keyClick(g, Qt::Key_Return);
    EXPECT_EQ(g->currentColumn(), 4);
    QTest::keyClicks(g, "7");
    EXPECT_EQ(g->cell(2, 4).toStdString(), "37");
    EXPECT_EQ(g->cell(2, 3).toStdString(), "0.5");

    save("User/grid.mnkd");
    readBack(app.path("User/grid.mnkd"));
    EXPECT_DOUBLE_EQ(mdl.XP(2), 0.5);
    EXPECT_DOUBLE_EQ(mdl.XP(3), 37);
    EXPECT_DOUBLE_EQ(mdl.FP(1), 0.25);
}

TEST_F(FrmUni11, EveryClickIntoNdimShowsTheReminder) {
    checkReminder("txtKmod", "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листе #2");
}

TEST_F(FrmUni11, CancelAfterEditsAndReopeningShowsTheFileValues) {
    openSample();
    field("txtTmax")->setText("999");
    win->tabStrip()->setCurrentIndex(1);
    clickCell(grid("grdTable2"), 2, 2);
    QTest::keyClicks(grid("grdTable2"), "8");
    cancelAndReopen();
    EXPECT_EQ(text("txtTmax"), "100");
    EXPECT_EQ(grid("grdTable2")->cell(2, 2).toStdString(), "0.25");
}

TEST_F(FrmUni11, FailedReadingShowsNoWindowAndKeepsTheCurrentFile) {
    std::string broken = sampleBytes();
    broken.replace(broken.find("ALFA = 10"), 9, "ALFA  = 10");  // two blanks: no value
    app.write("User/broken.mnkd", broken);
    openSample("User/broken.mnkd");
    EXPECT_FALSE(win->isVisible());
    ASSERT_EQ(host.ui.messages.size(), 1u);  // what is wrong, with the file's name
    EXPECT_NE(host.ui.messages[0].text.find("broken.mnkd"), std::string::npos) << host.ui.messages[0].text;
    EXPECT_EQ(text("txtMclass"), "");
    EXPECT_EQ(core().dataPath, "");

    // After a good file, a failing one leaves the good one current and its values shown.
    openSample();
    button("cmdINput1")->click();
    app.write("User/short.mnkd", sampleBytes().substr(0, 120));
    checkFailedReading("User/short.mnkd");
    EXPECT_EQ(text("txtAlfa"), "10");
}

// "Ввод" refuses what the section's reading or computation would refuse (as 2.1 does),
// with the section's own message; nothing is written and the window stays open.
TEST_F(FrmUni11, InputRefusesWhatTheSectionWouldRefuse) {
    const struct {
        const char* field;
        const char* text;
        const char* says;
    } cases[] = {{"txtHHH", "0", "HHH"},    {"txtNsc", "0", "NSC"},       {"txtKmod", "9", "KMOD"},
                 {"txtAlfa", "-1", "ALFA"}, {"txtMclass", "5", "MCLASS"}, {"txtTmax", "x", "bad.mnkd"}};
    for (const auto& k : cases) {
        openSample();
        host.ui.messages.clear();
        field(k.field)->setText(k.text);
        save("User/bad.mnkd");
        ASSERT_EQ(host.ui.messages.size(), 1u) << k.field;
        EXPECT_NE(host.ui.messages[0].text.find(k.says), std::string::npos) << host.ui.messages[0].text;
        EXPECT_FALSE(app.exists("User/bad.mnkd")) << k.field;
        EXPECT_TRUE(win->isVisible()) << k.field;
        EXPECT_EQ(mdl.HHH, 0.01) << k.field;  // the store keeps the values read
        host.ui.saveFiles.clear();
        win->cancel();
    }
}

TEST_F(FrmUni11, CancelledOpenDialogChangesNothing) {
    win->IshDanSym();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_FALSE(win->isVisible());
    EXPECT_FALSE(app.exists("User/Input.chk"));
}

TEST_F(FrmUni11, HelpOpensTopic1002) { checkHelpAndRegistry(); }

TEST_F(FrmUni11, RegistryBuildsTheWindowOfSection11) {
    auto w = makeSectionWindow(11, host);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<frmUni_11*>(w.get()), nullptr);
    EXPECT_NE(w->widget()->findChild<QTabBar*>("TabStrip1"), nullptr);
    EXPECT_EQ(makeSectionWindow(0, host), nullptr);
    EXPECT_EQ(makeSectionWindow(10, host), nullptr);
}

// Every data file of section 1.1 shipped in User opens and shows the values read.
TEST_F(FrmUni11, ShippedSamplesOpen) {
    const int n = openEveryShipped(".mnkd", [&](const std::string& name) {
        const Sec11::Fields f = Sec11::fieldsFromStore(mdl);
        EXPECT_EQ(text("txtNdim"), f.ndim) << name;
        EXPECT_EQ(text("txtXI1"), f.xi1) << name;
        EXPECT_EQ(grid("grdTable2")->text().joinRow(2, 2, mdl.NDIM + 1), f.fp.joinRow(2, 2, mdl.NDIM + 1))
            << name;
    });
    if (n == 0) GTEST_SKIP() << "no .mnkd sample in User";
}

}  // namespace
