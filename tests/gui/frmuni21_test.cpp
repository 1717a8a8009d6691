// The input window of section 2.1 driven as the user drives it: a shipped sample opened,
// the connection matrix edited, NDIM changed, sheets switched, "Ввод" and the file read back.
#include "models/section21/frmUni_21.h"
#include "support/form_test_host.h"

#include <QScrollBar>

#include <map>

using namespace velta;
using namespace velta::test;

namespace {

class FrmUni21 : public FormTest<frmUni_21> {
protected:
    FrmUni21() : FormTest(21, &frmUni_21::IshDanGen, {"Kolco5.mtrd"}) {}
};

TEST_F(FrmUni21, OpenFillsEveryFieldAndGridFromTheShippedSample) {
    openSample();
    checkOpened("Файлы данных (*.mtrd)|*.mtrd|", "ГГС общего вида\\Автономная система. Задача Коши", 5);

    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "1"},
        {"txtNdim", "5"},
        {"txtAlfa", "10"},
        {"txtBeta", "1"},
        {"txtGama", "3"},
        {"txtI1N", "1,2,3,4,5"},
        {"txtXI1", "3.0359,5.5146,0.1107,4.6577,0.7245"},
        {"txtTmax", "12"},
        {"txtHHH", "0.01"},
        {"txtLscreen", "1"},
        {"txtTmin", "4"},
        {"txtLgraph", "1"},
        {"txtLstep", "0"},
        {"txtI1G", "1,2,3,4,5"},
        {"txtNsc", "25"},
        {"txtDlx", "0"},
        {"txtDrx", "1"},
        {"txtDlw", "0"},
        {"txtDrw", "1.5"},
        {"txtSclt", "0"},
    };
    checkFieldTexts(expected);

    // The matrix grid: NDIM + 3 rows and columns, indexes at 2..NDIM+1, MC(i,j) in (i+1, j+1).
    FormGrid* m = grid("grdTable1");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->parentWidget(), win->frame(2));
    ASSERT_EQ(m->rowCount(), 8);
    ASSERT_EQ(m->columnCount(), 8);
    EXPECT_EQ(m->cell(0, 0).toStdString(), "(i,j)");
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(m->cell(0, k + 1).toInt(), k);
        EXPECT_EQ(m->cell(k + 1, 0).toInt(), k);
    }
    const char* rows[] = {"0,0,0.5,0,1", "1,0,0,0,0", "0,1,0,0,0", "2,0,1,0,0", "0,0,0,1,0"};
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(m->text().joinRow(i + 1, 2, 6), rows[i - 1]) << i;
    for (int k = 0; k <= 7; ++k) {
        EXPECT_EQ(m->cell(1, k).toStdString(), "");
        EXPECT_EQ(m->cell(7, k).toStdString(), "");
    }
    for (int c = 0; c < 8; ++c) EXPECT_EQ(m->columnWidth(c), FormGrid::kColWidth) << c;
    // Grid_Paint: the frame of rows/columns 1 and NDIM+2 grey, the values white.
    const QColor grey(224, 224, 224);
    EXPECT_EQ(m->item(1, 3)->background().color(), grey);
    EXPECT_EQ(m->item(4, 7)->background().color(), grey);
    EXPECT_EQ(m->item(7, 7)->background().color(), grey);
    EXPECT_EQ(m->item(4, 4)->background().color(), QColor(Qt::white));
    EXPECT_TRUE(m->isValueCell(2, 2));
    EXPECT_TRUE(m->isValueCell(6, 6));
    EXPECT_FALSE(m->isValueCell(7, 6));
    EXPECT_FALSE(m->isValueCell(1, 2));

    // The Poincaré grids on sheet 3, in order: Xo, then N.
    EXPECT_EQ(grid("grdTable2")->parentWidget(), win->frame(3));
    EXPECT_EQ(grid("grdTable3")->parentWidget(), win->frame(3));
    EXPECT_EQ(grid("grdTable2")->text().joinRow(2, 2, 6), "3,0,0,0,0");
    EXPECT_EQ(grid("grdTable3")->text().joinRow(2, 2, 6), "1,0,0,0,0");
    EXPECT_EQ(grid("grdTable2")->cell(0, 0).toStdString(), " Номера  компонент");
    EXPECT_EQ(grid("grdTable3")->cell(2, 0).toStdString(), "Значения компонент");
}

// Every heading, field label and explanatory line, on its sheet, readable and apart.
TEST_F(FrmUni21, SheetsCarryTheirLabelsAndFields) {
    checkSheetTexts(
        *win,
        {{"1) Параметры модели ГГС классов 1-4",
          "Номер класса,  MCLASS =", "Число элементов ГГС (размерность системы),  NDIM =", " ALFA =",
          " BETA =", " GAMA =", "2) Начальные данные:  X(i) = 0, i = 1,...,NDIM",
          "Номера ненулевых компонент,  i1,...:", "Значения ненулевых компонент,  X(i1),...:"},
         {"3) Матрица связей  MC(i,j)"},
         {"4) Задание плоскости Пуанкаре: (N, X-Xo) = 0", "Компоненты вектора  Xo",
          "Компоненты вектора нормали  N"},
         {"5) Параметры интегрирования",
          "Интервал интегрирования:  0 <= t <= TMAX,  TMAX =",
          "Шаг интегрирования,  HHH =",
          "6) Определение периода:",
          "LSCREEN =",
          "TMIN =",
          "LSCREEN = 1 - да,",
          "LSCREEN = 0 - нет",
          "(поиск min W(t), TMIN <= t <= TMAX)",
          "7) Графическое представление результатов:",
          "LGRAPH =",
          "LGRAPH = 1 - в физической плоскости,",
          "LGRAPH = 2 - в фазовой плоскости,",
          "LGRAPH = 3 - в плоскости Пуанкаре",
          "(LSCREEN = 0 при LGRAPH = 2,3).",
          "8) Порции выдачи результатов на график:",
          "LSTEP =",
          "LSTEP = 0 - непрерывная выдача на отрезке [0,TMAX],",
          "LSTEP > 0 - порция шагов интегрирования c непрерывной",
          "выдачей - до изменения TMAX. В дальнейшем LSTEP = 0."},
         {"9) Номера компонент, выводимых на график", "(NCOMP <= 12", "NCOMP <= NDIM при LGRAPH = 1",
          "NCOMP  = 2    при LGRAPH = 2,3)", "10) Плотность выдачи результатов в таблицу", "NSC =",
          "11) Границы интервалов для графиков (в долях ALFA):", "DLX =", "DRX =", "DLW =", "DRW =", "SCLT =",
          "ALFA * DLX <= X(i) <= ALFA * DRX", "ALFA * DLW <=  W   <= ALFA * DRW", "SCLT <=  t   <= TMAX"}},
        {{"txtMclass", "txtNdim", "txtAlfa", "txtBeta", "txtGama", "txtI1N", "txtXI1"},
         {},
         {},
         {"txtTmax", "txtHHH", "txtLscreen", "txtTmin", "txtLgraph", "txtLstep"},
         {"txtI1G", "txtNsc", "txtDlx", "txtDrx", "txtDlw", "txtDrw", "txtSclt"}});
    // The bounds line up on their "<=" signs.
    std::map<std::string, const QLabel*> byText;
    for (const QLabel* l : win->frame(5)->findChildren<QLabel*>()) byText[l->text().toStdString()] = l;
    auto signX = [&](const char* text) {
        const QLabel* l = byText.at(text);
        return l->x() + l->fontMetrics().horizontalAdvance(l->text().left(l->text().indexOf("<=")));
    };
    EXPECT_EQ(signX("ALFA * DLX <= X(i) <= ALFA * DRX"), signX("SCLT <=  t   <= TMAX"));
    EXPECT_EQ(signX("ALFA * DLW <=  W   <= ALFA * DRW"), signX("SCLT <=  t   <= TMAX"));

    openSample();
    checkSheetLayout(*win, "frmUni_21");
}

TEST_F(FrmUni21, AcceptWithoutEditsAsksNothingAndKeepsTheFile) {
    openSample();
    checkAcceptWithoutEdits();
}

// A matrix cell edited by click and keys: the saved file is the sample with that one line
// changed, and reads back to the same values with the edit.
TEST_F(FrmUni21, EditedMatrixCellIsSavedAndReadsBack) {
    openSample();
    const Sec21::Fields original = win->currentFields();
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* m = grid("grdTable1");
    clickCell(m, 2, 4);  // MC(1,3) = 0.5
    EXPECT_EQ(m->cell(2, 4).toStdString(), "");
    EXPECT_TRUE(win->edited());
    QTest::keyClicks(m, "0.25");
    EXPECT_EQ(m->cell(2, 4).toStdString(), "0.25");
    // A click on a header or frame cell changes nothing.
    clickCell(m, 0, 3);
    clickCell(m, 7, 3);
    EXPECT_EQ(m->cell(0, 3).toStdString(), "2");

    save("User/edited");
    checkSavedAs("User/edited.mtrd", "Файлы данных (*.mtrd)|*.mtrd|");

    std::string want = bytesOf(samplePath());
    const std::size_t at = want.find("\r\n0,0,0.5,0,1\r\n");
    ASSERT_NE(at, std::string::npos);
    want.replace(at, 15, "\r\n0,0,0.25,0,1\r\n");
    EXPECT_EQ(bytesOf(app.path("User/edited.mtrd")), want);
    readBack(app.path("User/edited.mtrd"));
    EXPECT_DOUBLE_EQ(mdl.MC(1, 3), 0.25);
    EXPECT_DOUBLE_EQ(mdl.MC(4, 1), 2);
    const Sec21::Fields back = Sec21::fieldsFromStore(mdl);
    for (int i = 2; i <= 6; ++i)
        EXPECT_EQ(back.mc.joinRow(i, 2, 6), i == 2 ? "0,0,0.25,0,1" : original.mc.joinRow(i, 2, 6));
    EXPECT_EQ(back.xi1, original.xi1);
    EXPECT_EQ(back.xp.joinRow(2, 2, 6), original.xp.joinRow(2, 2, 6));
    EXPECT_EQ(back.fp.joinRow(2, 2, 6), original.fp.joinRow(2, 2, 6));
    EXPECT_EQ(back.tmin, original.tmin);
    EXPECT_EQ(back.drw, original.drw);
    EXPECT_EQ(back.i1g, original.i1g);
}

TEST_F(FrmUni21, NdimChangeRebuildsAllThreeGridsWithZerosOnSheetSwitch) {
    openSample();
    win->tabStrip()->setCurrentIndex(2);
    clickCell(grid("grdTable2"), 2, 2);
    QTest::keyClicks(grid("grdTable2"), "7");
    win->tabStrip()->setCurrentIndex(0);
    field("txtNdim")->setText("3");
    EXPECT_TRUE(win->dimensionChanged());
    // The lists are the user's to correct; the grids follow by themselves.
    field("txtI1N")->setText("1,3");
    field("txtXI1")->setText("3.0359,0.1107");
    field("txtI1G")->setText("1,2,3");
    EXPECT_EQ(grid("grdTable1")->rowCount(), 8);  // nothing rebuilt before the switch
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdl.NDIM, 3);
    EXPECT_TRUE(win->frame(2)->isVisible());

    FormGrid* m = grid("grdTable1");
    ASSERT_EQ(m->rowCount(), 6);
    ASSERT_EQ(m->columnCount(), 6);
    EXPECT_EQ(m->cell(0, 0).toStdString(), "(i,j)");
    EXPECT_EQ(m->cell(0, 4).toStdString(), "3");
    EXPECT_EQ(m->cell(4, 0).toStdString(), "3");
    for (int r = 2; r <= 4; ++r)
        for (int c = 2; c <= 4; ++c) EXPECT_EQ(m->cell(r, c).toStdString(), "0") << r << "," << c;
    EXPECT_EQ(m->item(5, 2)->background().color(), QColor(224, 224, 224));
    for (const char* name : {"grdTable2", "grdTable3"}) {
        FormGrid* g = grid(name);
        ASSERT_EQ(g->columnCount(), 6) << name;
        EXPECT_EQ(g->text().joinRow(2, 2, 4), "0,0,0") << name;
    }

    // A link typed into the new matrix, saved, read back.
    clickCell(m, 3, 2);  // MC(2,1)
    QTest::keyClicks(m, "1");
    save("User/three.mtrd");
    ASSERT_TRUE(app.exists("User/three.mtrd"));
    readBack(app.path("User/three.mtrd"));
    EXPECT_EQ(mdl.NDIM, 3);
    ASSERT_EQ(mdl.MC.rows(), 3);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_DOUBLE_EQ(mdl.MC(i, j), i == 2 && j == 1 ? 1 : 0);
    EXPECT_EQ(mdl.XP.upper(), 3);
    EXPECT_DOUBLE_EQ(mdl.XP(1), 0);
    EXPECT_EQ(mdl.NK, 2);
    EXPECT_DOUBLE_EQ(mdl.X1(3), 0.1107);
    EXPECT_DOUBLE_EQ(mdl.TMAX, 12);
    EXPECT_DOUBLE_EQ(mdl.DRW, 1.5);
    EXPECT_EQ(mdl.NSC, 25);
}

// NDIM changed and "Ввод" pressed on the same sheet: the grids follow before the file is
// written, so the file reads back.
TEST_F(FrmUni21, NdimChangedAndAcceptedWithoutSwitchWritesAConsistentFile) {
    openSample();
    field("txtNdim")->setText("2");
    field("txtI1N")->setText("2");
    field("txtXI1")->setText("5.5146");
    field("txtI1G")->setText("1,2");
    save("User/two.mtrd");
    EXPECT_EQ(grid("grdTable1")->rowCount(), 5);
    readBack(app.path("User/two.mtrd"));
    EXPECT_EQ(mdl.NDIM, 2);
    EXPECT_EQ(mdl.MC.rows(), 2);
    EXPECT_EQ(mdl.NK, 1);
    EXPECT_DOUBLE_EQ(mdl.X1(1), 0);
    EXPECT_DOUBLE_EQ(mdl.X1(2), 5.5146);
    EXPECT_EQ(mdl.NCOMP, 2);
    EXPECT_DOUBLE_EQ(mdl.HHH, 0.01);
    EXPECT_DOUBLE_EQ(mdl.DRW, 1.5);
}

// Texts the reading or the computation would refuse are refused at "Ввод" with a message:
// nothing is written (an old file of that name stays as it was), the window stays open
// with the texts as typed, and the corrected texts are then saved.
TEST_F(FrmUni21, TextsThatCannotBeReadBackAreRefusedAndNothingIsWritten) {
    openSample();
    const std::string before = bytesOf(samplePath());
    field("txtNdim")->setText("3");  // lists still name five components
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[] {}, "Номер ненулевой компоненты 4 вне диапазона 1..NDIM (NDIM = 3)"},
        {[&] { field("txtI1N")->setText("1,2,3"); },
         "Число значений ненулевых компонент (5) не совпадает с числом их номеров (3)"},
        {[&] { field("txtXI1")->setText("1,2"); },
         "Число значений ненулевых компонент (2) не совпадает с числом их номеров (3)"},
        {[&] { field("txtXI1")->setText("1,2,0.5"); },
         "Номер компоненты графика 4 вне диапазона 1..NDIM (NDIM = 3)"},
        {[&] { field("txtI1G")->setText("1,x"); }, "Недопустимый номер компоненты графика: «x»"},
        {[&] {
             field("txtI1G")->setText("3,1");
             field("txtHHH")->setText("0");
         },
         "Шаг интегрирования HHH должен быть больше 0 (HHH = 0)"},
        {[&] { field("txtHHH")->setText("0,01"); }, "Недопустимое значение  HHH = 0,01"},
        {[&] {
             field("txtHHH")->setText("0.02");
             field("txtNsc")->setText("0");
         },
         "Плотность выдачи в таблицу NSC должна быть не меньше 1 (NSC = 0)"},
        {[&] {
             field("txtNsc")->setText("5");
             field("txtLstep")->setText("-1");
         },
         "Порция шагов LSTEP не должна быть отрицательной (LSTEP = -1)"},
    };
    std::size_t shown = 0;
    for (const auto& [edit, message] : steps) {
        edit();
        save("User/Kolco5.mtrd");
        ASSERT_EQ(host.ui.messages.size(), ++shown) << message;
        EXPECT_EQ(host.ui.messages.back().text, message);
        EXPECT_TRUE(win->isVisible());
        EXPECT_TRUE(win->tabStrip()->isVisible());
        EXPECT_TRUE(win->edited());
        EXPECT_EQ(bytesOf(samplePath()), before);
        EXPECT_EQ(core().dataPath, samplePath());
    }
    // Empty lists are allowed: no nonzero component, nothing plotted.
    field("txtLstep")->setText("0");
    field("txtI1N")->setText("");
    field("txtXI1")->setText("");
    save("User/fixed.mtrd");
    EXPECT_EQ(host.ui.messages.size(), shown);
    ASSERT_TRUE(app.exists("User/fixed.mtrd"));
    EXPECT_FALSE(win->isVisible());
    readBack(app.path("User/fixed.mtrd"));
    EXPECT_EQ(mdl.NDIM, 3);
    EXPECT_EQ(mdl.NK, 0);
    EXPECT_EQ(mdl.NCOMP, 2);
    EXPECT_EQ(mdl.IC(1), 3);
    EXPECT_DOUBLE_EQ(mdl.HHH, 0.02);
    EXPECT_EQ(mdl.NSC, 5);
    EXPECT_DOUBLE_EQ(mdl.DRW, 1.5);
}

// Another section's reading changes NDIM while the window stands open: the matrix and the
// vectors are still written at their own size.
TEST_F(FrmUni21, SaveWritesTheGridsAtTheirOwnSize) {
    openSample();
    mdl.NDIM = 7;
    field("txtBeta")->setText("2");
    save("User/own.mtrd");
    EXPECT_EQ(mdl.NDIM, 7);
    readBack(app.path("User/own.mtrd"));
    EXPECT_EQ(mdl.NDIM, 5);
    EXPECT_DOUBLE_EQ(mdl.MC(5, 4), 1);
    EXPECT_DOUBLE_EQ(mdl.FP(1), 1);
    EXPECT_DOUBLE_EQ(mdl.BETA, 2);
    EXPECT_DOUBLE_EQ(mdl.SCLT, 0);
}

// A network too large for the sheet: the matrix scrolls inside the frame, and its last
// cell can still be reached and edited.
TEST_F(FrmUni21, LargeMatrixScrollsInsideItsSheet) {
    openSample();
    field("txtNdim")->setText("30");
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* m = grid("grdTable1");
    ASSERT_EQ(m->rowCount(), 33);
    const QRect inside(QPoint(0, 0), win->frame(2)->size());
    EXPECT_TRUE(inside.contains(m->geometry()));
    EXPECT_TRUE(m->verticalScrollBar()->isVisible());
    EXPECT_TRUE(m->horizontalScrollBar()->isVisible());
    if (const char* dir = std::getenv("VELTA_SHOTS"))
        win->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("frmUni_21_ndim30.png")));
    clickCell(m, 31, 31);
    QTest::keyClicks(m, "1");
    EXPECT_EQ(m->cell(31, 31).toStdString(), "1");
    for (const char* name : {"grdTable2", "grdTable3"})
        EXPECT_TRUE(QRect(QPoint(0, 0), win->frame(3)->size()).contains(grid(name)->geometry())) << name;
    save("User/big.mtrd");
    readBack(app.path("User/big.mtrd"));
    EXPECT_EQ(mdl.NDIM, 30);
    EXPECT_DOUBLE_EQ(mdl.MC(30, 30), 1);
    EXPECT_DOUBLE_EQ(mdl.MC(30, 29), 0);
}

TEST_F(FrmUni21, EveryClickIntoNdimShowsTheReminderForSheetsTwoAndThree) {
    checkReminder("txtMclass", "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листах #2,#3");
}

TEST_F(FrmUni21, CancelAfterEditsAndReopeningShowsTheFileValues) {
    openSample();
    win->tabStrip()->setCurrentIndex(1);
    clickCell(grid("grdTable1"), 3, 2);
    QTest::keyClicks(grid("grdTable1"), "9");
    cancelAndReopen();
    EXPECT_EQ(grid("grdTable1")->cell(3, 2).toStdString(), "1");
}

TEST_F(FrmUni21, RegistryBuildsTheWindowAndHelpOpensTopic1002) { checkHelpAndRegistry(); }

// Every data file of section 2.1 shipped in User opens and shows the values read.
TEST_F(FrmUni21, ShippedSamplesOpen) {
    const int n = openEveryShipped(".mtrd", [&](const std::string& name) {
        const Sec21::Fields f = Sec21::fieldsFromStore(mdl);
        const int last = mdl.NDIM + 1;
        EXPECT_EQ(text("txtNdim"), f.ndim) << name;
        EXPECT_EQ(text("txtXI1"), f.xi1) << name;
        for (int r = 2; r <= last; ++r)
            EXPECT_EQ(grid("grdTable1")->text().joinRow(r, 2, last), f.mc.joinRow(r, 2, last)) << name;
        EXPECT_EQ(grid("grdTable3")->text().joinRow(2, 2, last), f.fp.joinRow(2, 2, last)) << name;
    });
    EXPECT_GE(n, 2);  // Kolco5 and Puank5
}

}  // namespace
