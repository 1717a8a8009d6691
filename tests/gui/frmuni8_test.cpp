// The input window of section 8 driven as the user drives it: a shipped sample opened,
// the Poincaré grids edited, NDIM changed, sheets switched, "Ввод" and the file read back.
#include "models/section8/frmUni_8.h"
#include "support/form_test_host.h"

using namespace velta;
using namespace velta::test;

namespace {

class FrmUni8 : public FormTest<frmUni_8> {
protected:
    FrmUni8() : FormTest(8, &frmUni_8::IshDanEco, {"Logist.gsed"}) {}
};

TEST_F(FrmUni8, OpenFillsEveryFieldAndGridFromTheShippedSample) {
    openSample();
    checkOpened("Файлы данных (*.gsed)|*.gsed|", "ГС экологической природы", 4);

    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "1"}, {"txtNdim", "4"},   {"txtKmod", "1"},      {"txtAlfa", "2"},
        {"txtBeta", "1"},   {"txtGama", "2"},   {"txtI1N", "1,2,3,4"}, {"txtXI1", "0.001,0.01,0.1,3.5"},
        {"txtTmax", "8"},   {"txtHHH", "0.01"}, {"txtLscreen", "0"},   {"txtTmin", "0"},
        {"txtLgraph", "1"}, {"txtLstep", "0"},  {"txtI1G", "1,2,3,4"}, {"txtNsc", "20"},
        {"txtDlx", "0"},    {"txtDrx", "2"},    {"txtDlw", "0"},       {"txtDrw", "1"},
        {"txtSclt", "0"},
    };
    checkFieldTexts(expected);
    for (const char* name : {"grdTable1", "grdTable2"}) {
        ASSERT_NE(grid(name), nullptr) << name;
        EXPECT_EQ(grid(name)->parentWidget(), win->frame(2)) << name;
        ASSERT_EQ(grid(name)->rowCount(), 4) << name;
        ASSERT_EQ(grid(name)->columnCount(), 7) << name;
        EXPECT_EQ(grid(name)->cell(0, 0).toStdString(), " Номера  компонент");
        EXPECT_EQ(grid(name)->cell(2, 0).toStdString(), "Значения компонент");
        EXPECT_EQ(grid(name)->cell(0, 5).toStdString(), "4");
    }
    EXPECT_EQ(grid("grdTable1")->text().joinRow(2, 2, 5), "1,1,1,1");
    EXPECT_EQ(grid("grdTable2")->text().joinRow(2, 2, 5), "1,0,0,0");
}

TEST_F(FrmUni8, SheetsCarryTheirLabelsAndFields) {
    checkSheetTexts(
        *win,
        {{"1) Параметры модели  E(NDIM,KMOD) классов 1-4",
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
          "LSCREEN = 1 - да,",
          "LSCREEN = 0 - нет",
          "(поиск min W(t), TMIN <= t <= TMAX)",
          "6) Графическое представление результатов:",
          "LGRAPH =",
          "LGRAPH = 1 - в физической плоскости,",
          "LGRAPH = 2 - в фазовой плоскости,",
          "LGRAPH = 3 - в плоскости Пуанкаре ",
          "(LSCREEN = 0 при LGRAPH = 2,3).",
          "7) Порции выдачи результатов на график:",
          "LSTEP =",
          "LSTEP = 0 - непрерывная выдача на отрезке [0,TMAX],",
          "LSTEP > 0 - порция шагов интегрирования c непрерывной",
          "выдачей - до изменения TMAX. В дальнейшем LSTEP = 0."},
         {"8) Номера компонент, выводимых на график", "(NCOMP <= 12", "NCOMP <= NDIM при LGRAPH = 1",
          "NCOMP  = 2    при LGRAPH = 2,3)", "9) Плотность выдачи результатов в таблицу", "NSC =",
          "10) Границы интервалов для графиков (в долях ALFA):", "DLX =", "DRX =", "DLW =", "DRW =", "SCLT =",
          "ALFA * DLX <= X(i) <= ALFA * DRX", "ALFA * DLW <=  W   <= ALFA * DRW", "SCLT <=  t   <= TMAX"}},
        {{"txtMclass", "txtNdim", "txtKmod", "txtAlfa", "txtBeta", "txtGama", "txtI1N", "txtXI1"},
         {},
         {"txtTmax", "txtHHH", "txtLscreen", "txtTmin", "txtLgraph", "txtLstep"},
         {"txtI1G", "txtNsc", "txtDlx", "txtDrx", "txtDlw", "txtDrw", "txtSclt"}});
    // The limits of NCOMP continue under the text after the opening parenthesis.
    const QLabel* first = label(4, "(NCOMP <= 12");
    ASSERT_NE(first, nullptr);
    for (const char* t : {"NCOMP <= NDIM при LGRAPH = 1", "NCOMP  = 2    при LGRAPH = 2,3)"}) {
        ASSERT_NE(label(4, t), nullptr) << t;
        EXPECT_EQ(label(4, t)->x(), first->x() + first->fontMetrics().horizontalAdvance(QStringLiteral("(")))
            << t;
    }
    openSample();
    checkSheetLayout(*win, "frmUni_8");
}

// A grid cell edited by click and keys: the saved file is the sample with that one line
// changed, and reads back to the same values with the edit; "Ввод" without edits saves
// nothing.
TEST_F(FrmUni8, EditedGridCellIsSavedAndReadsBack) {
    openSample();
    const std::string before = bytesOf(samplePath());
    checkAcceptWithoutEdits();

    openSample();
    const Sec8::Fields original = win->currentFields();
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* n = grid("grdTable2");
    clickCell(n, 2, 3);  // N(2) = 0
    EXPECT_TRUE(win->edited());
    QTest::keyClicks(n, "-0.5");
    EXPECT_EQ(n->cell(2, 3).toStdString(), "-0.5");
    save("User/edited");
    checkSavedAs("User/edited.gsed", "Файлы данных (*.gsed)|*.gsed|", 3);

    std::string want = before;
    const std::size_t at = want.find("FP(I):\r\n1,0,0,0\r\n");
    ASSERT_NE(at, std::string::npos);
    want.replace(at, 17, "FP(I):\r\n1,-0.5,0,0\r\n");
    EXPECT_EQ(bytesOf(app.path("User/edited.gsed")), want);
    readBack(app.path("User/edited.gsed"));
    EXPECT_DOUBLE_EQ(mdl.FP(2), -0.5);
    const Sec8::Fields back = Sec8::fieldsFromStore(mdl);
    EXPECT_EQ(back.fp.joinRow(2, 2, 5), "1,-0.5,0,0");
    EXPECT_EQ(back.xp.joinRow(2, 2, 5), original.xp.joinRow(2, 2, 5));
    EXPECT_EQ(back.kmod, original.kmod);
    EXPECT_EQ(back.xi1, original.xi1);
    EXPECT_EQ(back.i1g, original.i1g);
    EXPECT_EQ(back.tmax, original.tmax);
    EXPECT_EQ(back.drx, original.drx);
}

TEST_F(FrmUni8, NdimChangeRebuildsBothGridsWithZerosOnSheetSwitch) {
    openSample();
    win->tabStrip()->setCurrentIndex(1);
    clickCell(grid("grdTable1"), 2, 2);
    QTest::keyClicks(grid("grdTable1"), "9");
    win->tabStrip()->setCurrentIndex(0);
    field("txtNdim")->setText("6");
    EXPECT_TRUE(win->dimensionChanged());
    EXPECT_EQ(grid("grdTable1")->columnCount(), 7);
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdl.NDIM, 6);
    for (const char* name : {"grdTable1", "grdTable2"}) {
        FormGrid* g = grid(name);
        ASSERT_EQ(g->columnCount(), 9) << name;
        EXPECT_EQ(g->text().joinRow(2, 2, 7), "0,0,0,0,0,0") << name;
        EXPECT_EQ(g->cell(0, 7).toStdString(), "6");
        EXPECT_EQ(g->item(2, 8)->background().color(), QColor(224, 224, 224));
    }
    clickCell(grid("grdTable2"), 2, 7);
    QTest::keyClicks(grid("grdTable2"), "1");
    save("User/six.gsed");
    readBack(app.path("User/six.gsed"));
    EXPECT_EQ(mdl.NDIM, 6);
    EXPECT_EQ(mdl.FP.upper(), 6);
    EXPECT_DOUBLE_EQ(mdl.FP(6), 1);
    EXPECT_DOUBLE_EQ(mdl.XP(1), 0);
    EXPECT_EQ(mdl.NK, 4);
    EXPECT_DOUBLE_EQ(mdl.X1(4), 3.5);
    EXPECT_DOUBLE_EQ(mdl.TMAX, 8);
    EXPECT_EQ(mdl.NSC, 20);
}

// Shrinking NDIM below the listed components: the save is refused with a message until
// the lists fit, and no file is written in between.
TEST_F(FrmUni8, ListsBeyondNdimAreRefusedUntilCorrected) {
    openSample();
    field("txtNdim")->setText("2");
    save("User/two.gsed");
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Номер ненулевой компоненты 3 вне диапазона 1..NDIM (NDIM = 2)");
    EXPECT_FALSE(app.exists("User/two.gsed"));
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(grid("grdTable1")->columnCount(), 5);  // the grids followed NDIM
    field("txtI1N")->setText("1,2");
    field("txtXI1")->setText("0.001,0.01");
    save("User/two.gsed");
    ASSERT_EQ(host.ui.messages.size(), 2u);
    EXPECT_EQ(host.ui.messages[1].text, "Номер компоненты графика 3 вне диапазона 1..NDIM (NDIM = 2)");
    field("txtI1G")->setText("2,1");
    save("User/two.gsed");
    EXPECT_EQ(host.ui.messages.size(), 2u);
    ASSERT_TRUE(app.exists("User/two.gsed"));
    EXPECT_FALSE(win->isVisible());
    readBack(app.path("User/two.gsed"));
    EXPECT_EQ(mdl.NDIM, 2);
    EXPECT_EQ(mdl.NCOMP, 2);
    EXPECT_EQ(mdl.IC(1), 2);
    EXPECT_DOUBLE_EQ(mdl.X1(2), 0.01);
    EXPECT_DOUBLE_EQ(mdl.DRX, 2);
}

// A text its reading would not convert, in any block of the file, is refused at "Ввод"
// under its key: no file is written that could not be read back.
TEST_F(FrmUni8, TextsTheReadingWouldRefuseAreNotWritten) {
    const struct {
        const char* field;
        const char* text;
        const char* says;
    } cases[] = {{"txtKmod", "три", "Недопустимое значение  KMOD = три"},
                 {"txtTmax", "x", "Недопустимое значение  TMAX = x"},
                 {"txtLgraph", "1a", "Недопустимое значение  LGRAPH = 1a"},
                 {"txtDrw", "1,5", "Недопустимое значение  DRW = 1,5"}};
    openSample();
    std::size_t shown = 0;
    for (const auto& k : cases) {
        const QString was = field(k.field)->text();
        field(k.field)->setText(QString::fromUtf8(k.text));
        save("User/bad.gsed");
        ASSERT_EQ(host.ui.messages.size(), ++shown) << k.field;
        EXPECT_EQ(host.ui.messages.back().text, k.says);
        EXPECT_FALSE(app.exists("User/bad.gsed")) << k.field;
        EXPECT_TRUE(win->isVisible()) << k.field;
        field(k.field)->setText(was);
    }
    save("User/bad.gsed");
    EXPECT_EQ(host.ui.messages.size(), shown);
    EXPECT_TRUE(app.exists("User/bad.gsed"));
}

TEST_F(FrmUni8, EveryClickIntoNdimShowsTheReminderForSheetTwo) {
    checkReminder("txtKmod", "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листе #2");
}

TEST_F(FrmUni8, RegistryBuildsTheWindowAndHelpOpensTopic1002) { checkHelpAndRegistry(); }

// Every data file of section 8 shipped in User opens and shows the values read.
TEST_F(FrmUni8, ShippedSamplesOpen) {
    const int n = openEveryShipped(".gsed", [&](const std::string& name) {
        const Sec8::Fields f = Sec8::fieldsFromStore(mdl);
        const int last = mdl.NDIM + 1;
        EXPECT_EQ(text("txtKmod"), f.kmod) << name;
        EXPECT_EQ(text("txtXI1"), f.xi1) << name;
        EXPECT_EQ(grid("grdTable1")->text().joinRow(2, 2, last), f.xp.joinRow(2, 2, last)) << name;
        EXPECT_EQ(grid("grdTable2")->text().joinRow(2, 2, last), f.fp.joinRow(2, 2, last)) << name;
    });
    EXPECT_GE(n, 2);  // Logist and EcoCycle3
}

}  // namespace
