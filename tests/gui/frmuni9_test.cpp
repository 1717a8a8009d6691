// The input window of section 9 driven as the user drives it: a shipped sample opened,
// the Poincaré grids edited, NDIM changed, sheets switched, "Ввод" and the file read back.
#include "models/section9/frmUni_9.h"
#include "support/form_test_host.h"

using namespace velta;
using namespace velta::test;

namespace {

class FrmUni9 : public FormTest<frmUni_9, Sec9> {
protected:
    FrmUni9() : FormTest(9, &frmUni_9::IshDanCha, {"Chaos_Puan.chad"}) {}
};

TEST_F(FrmUni9, OpenFillsEveryFieldAndGridFromTheShippedSample) {
    openSample();
    checkOpened("Файлы данных (*.chad)|*.chad|", "Колебания хаотического типа в ГГС", 3);

    // The initial values come from the window's own YO, the order of the plotted
    // components from IC.
    const std::pair<const char*, const char*> expected[] = {
        {"txtNdim", "3"},          {"txtAlfa", "4"},  {"txtGama", "6"},    {"txtMCPZ", "4"},
        {"txtXI1", "0.3,0.6,0.9"}, {"txtSCLT", "0"},  {"txtSCRT", "2000"}, {"txtHHH", "0.002"},
        {"txtSCLX", "0.1"},        {"txtSCRX", "1"},  {"txtICi", "1,2,3"}, {"txtLscreen", "0"},
        {"txtLgraph", "3"},        {"txtNsc", "500"},
    };
    checkFieldTexts(expected);
    for (const char* name : {"grdTable1", "grdTable2"}) {
        ASSERT_NE(grid(name), nullptr) << name;
        EXPECT_EQ(grid(name)->parentWidget(), win->frame(2)) << name;
        ASSERT_EQ(grid(name)->columnCount(), 6) << name;
        EXPECT_EQ(grid(name)->cell(0, 0).toStdString(), " Номера  компонент");
        EXPECT_EQ(grid(name)->cell(0, 4).toStdString(), "3");
    }
    EXPECT_EQ(grid("grdTable1")->text().joinRow(2, 2, 4), "0,0,0.9");
    EXPECT_EQ(grid("grdTable2")->text().joinRow(2, 2, 4), "0,0,1");

    // A second file with other initial values refills the field from the new reading.
    std::string other = bytesOf(samplePath());
    other.replace(other.find("0.3,0.6,0.9"), 11, "0.1,0.2,0.7");
    app.write("User/other.chad", other);
    win->cancel();
    openSample("User/other.chad");
    EXPECT_EQ(text("txtXI1"), "0.1,0.2,0.7");
}

TEST_F(FrmUni9, SheetsCarryTheirLabelsAndFields) {
    checkSheetTexts(
        *win,
        {{"1) Параметры модели", "Число элементов ГГС (размерность системы),  NDIM =", " ALFA =", " GAMA =",
          "Число композиций,   MCPZ =", "2) Начальные данные,",
          "Xo(i),  i = 1,...,NDIM:", "3) Параметры метода, масштабы",
          "Интервал интегрирования:  SCLT <= t <= SCRT, SCLT =", "SCRT =", "Шаг интегрирования,  HHH =",
          "Интервал изменения компонент вектора X(t): SCLX <= X(t) <= SCRX,  SCLX =", "SCRX ="},
         {"4) Задание плоскости Пуанкаре: (N, X-Xo) = 0", "Компоненты вектора  Xo",
          "Компоненты вектора нормали  N"},
         {"5) Порядок номеров компонент, выводимых на график,",
          "IC(i), i = 1,2,3:", "6) Определение периода:", "LSCREEN =", "LSCREEN = 1 - да,",
          "LSCREEN = 0 - нет", "(поиск min W(t), TMIN <= t <= TMAX)",
          "7) Графическое представление результатов:", "LGRAPH =", "LGRAPH = 1 - в физической плоскости,",
          "LGRAPH = 2 - в фазовой плоскости,", "LGRAPH = 3 - в плоскости Пуанкаре ",
          "(LSCREEN = 0 при LGRAPH = 2,3).", "8) Плотность выдачи результатов в таблицу,", "NSC ="}},
        {{"txtNdim", "txtAlfa", "txtGama", "txtMCPZ", "txtXI1", "txtSCLT", "txtSCRT", "txtHHH", "txtSCLX",
          "txtSCRX"},
         {},
         {"txtICi", "txtLscreen", "txtLgraph", "txtNsc"}});
    openSample();
    checkSheetLayout(*win, "frmUni_9");
}

// A grid cell edited by click and keys: the saved file is the sample with that one line
// changed, and reads back to the same values with the edit.
TEST_F(FrmUni9, EditedGridCellIsSavedAndReadsBack) {
    openSample();
    const std::string before = bytesOf(samplePath());
    const Sec9::Fields original = win->currentFields();
    win->tabStrip()->setCurrentIndex(1);
    FormGrid* xo = grid("grdTable1");
    clickCell(xo, 2, 4);  // Xo(3) = 0.9
    QTest::keyClicks(xo, "0.75");
    EXPECT_TRUE(win->edited());
    save("User/edited");
    checkSavedAs("User/edited.chad", "Файлы данных (*.chad)|*.chad|");

    std::string want = before;
    const std::size_t at = want.find("XP(I):\r\n0,0,0.9\r\n");
    ASSERT_NE(at, std::string::npos);
    want.replace(at, 17, "XP(I):\r\n0,0,0.75\r\n");
    EXPECT_EQ(bytesOf(app.path("User/edited.chad")), want);
    readBack(app.path("User/edited.chad"));
    EXPECT_DOUBLE_EQ(mdl.XP(3), 0.75);
    const Sec9::Fields back = core().fieldsFromStore(mdl);
    EXPECT_EQ(back.xi1, original.xi1);
    EXPECT_EQ(back.ici, original.ici);
    EXPECT_EQ(back.fp.joinRow(2, 2, 4), original.fp.joinRow(2, 2, 4));
    EXPECT_EQ(back.scrt, original.scrt);
    EXPECT_EQ(back.sclx, original.sclx);
    EXPECT_EQ(back.mcpz, original.mcpz);
    EXPECT_EQ(back.nsc, original.nsc);
}

// NDIM 3 -> 2 rebuilds the grids with zeros on the sheet switch; the value and component
// lists must then name two elements before the file is written.
TEST_F(FrmUni9, NdimChangeRebuildsTheGridsAndTheListsMustFollow) {
    openSample();
    field("txtNdim")->setText("2");
    EXPECT_TRUE(win->dimensionChanged());
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdl.NDIM, 2);
    for (const char* name : {"grdTable1", "grdTable2"}) {
        ASSERT_EQ(grid(name)->columnCount(), 5) << name;
        EXPECT_EQ(grid(name)->text().joinRow(2, 2, 3), "0,0") << name;
    }
    clickCell(grid("grdTable2"), 2, 3);
    QTest::keyClicks(grid("grdTable2"), "1");

    save("User/two.chad");
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Начальных значений Xo(i) должно быть NDIM = 2 (задано 3)");
    EXPECT_FALSE(app.exists("User/two.chad"));
    EXPECT_TRUE(win->isVisible());
    field("txtXI1")->setText("0.3,0.6");
    save("User/two.chad");
    ASSERT_EQ(host.ui.messages.size(), 2u);
    EXPECT_EQ(host.ui.messages[1].text, "Номеров компонент IC(i) должно быть NDIM = 2 (задано 3)");
    field("txtICi")->setText("2,1");
    save("User/two.chad");
    EXPECT_EQ(host.ui.messages.size(), 2u);
    ASSERT_TRUE(app.exists("User/two.chad"));
    readBack(app.path("User/two.chad"));
    EXPECT_EQ(mdl.NDIM, 2);
    EXPECT_DOUBLE_EQ(core().YO(2), 0.6);
    EXPECT_EQ(mdl.IC(1), 2);
    EXPECT_DOUBLE_EQ(mdl.FP(2), 1);
    EXPECT_DOUBLE_EQ(mdl.XP(1), 0);
    EXPECT_DOUBLE_EQ(mdl.HHH, 0.002);
    EXPECT_EQ(mdl.NSC, 500);
}

// The model has three elements: a larger NDIM and unusable values are refused at "Ввод",
// nothing is written and the window stays open.
TEST_F(FrmUni9, ValuesTheComputationRefusesAreNotSaved) {
    openSample();
    const std::string before = bytesOf(samplePath());
    field("txtNdim")->setText("4");
    field("txtXI1")->setText("0.3,0.6,0.9,1");
    field("txtICi")->setText("1,2,3,4");
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[] {}, "Модель раздела рассчитана на три элемента: NDIM должно быть от 1 до 3 (NDIM = 4)"},
        {[&] {
             field("txtNdim")->setText("3");
             field("txtXI1")->setText("0.3,0.6,0.9");
             field("txtICi")->setText("1,2,4");
         },
         "Номер компоненты графика 4 вне диапазона 1..NDIM (NDIM = 3)"},
        {[&] {
             field("txtICi")->setText("3,2,1");
             field("txtMCPZ")->setText("-1");
         },
         "Число композиций MCPZ не должно быть отрицательным (MCPZ = -1)"},
        {[&] {
             field("txtMCPZ")->setText("2");
             field("txtHHH")->setText("-0.1");
         },
         "Шаг интегрирования HHH должен быть больше 0 (HHH = -0.1)"},
        {[&] {
             field("txtHHH")->setText("0.01");
             field("txtNsc")->setText("сто");
         },
         "Недопустимое значение  NSC = сто"},
        {[&] {
             field("txtNsc")->setText("100");
             field("txtSCRX")->setText("один");
         },
         "Недопустимое значение  SCRX = один"},
    };
    std::size_t shown = 0;
    for (const auto& [edit, message] : steps) {
        edit();
        save("User/Chaos_Puan.chad");
        ASSERT_EQ(host.ui.messages.size(), ++shown) << message;
        EXPECT_EQ(host.ui.messages.back().text, message);
        EXPECT_TRUE(win->isVisible());
        EXPECT_EQ(bytesOf(samplePath()), before);
    }
    field("txtSCRX")->setText("1");
    save("User/fixed.chad");
    EXPECT_EQ(host.ui.messages.size(), shown);
    readBack(app.path("User/fixed.chad"));
    EXPECT_EQ(mdl.NDIM, 3);
    EXPECT_EQ(mdl.IC(1), 3);
    EXPECT_EQ(mdl.MCPZ, 2);
    EXPECT_DOUBLE_EQ(mdl.HHH, 0.01);
    EXPECT_EQ(mdl.NSC, 100);
}

TEST_F(FrmUni9, EveryClickIntoNdimShowsTheReminderForSheetTwo) {
    checkReminder("txtMCPZ", "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листе #2");
}

TEST_F(FrmUni9, RegistryBuildsTheWindowAndHelpOpensTopic1002) { checkHelpAndRegistry(); }

// Every data file of section 9 shipped in User opens and shows the values read.
TEST_F(FrmUni9, ShippedSamplesOpen) {
    const int n = openEveryShipped(".chad", [&](const std::string& name) {
        const Sec9::Fields f = core().fieldsFromStore(mdl);
        const int last = mdl.NDIM + 1;
        EXPECT_EQ(text("txtXI1"), f.xi1) << name;
        EXPECT_EQ(text("txtICi"), f.ici) << name;
        EXPECT_EQ(text("txtLgraph"), f.lgraph) << name;
        EXPECT_EQ(grid("grdTable1")->text().joinRow(2, 2, last), f.xp.joinRow(2, 2, last)) << name;
    });
    EXPECT_GE(n, 3);
}

}  // namespace
