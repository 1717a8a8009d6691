// The input window of section 2.1.7 driven as the user drives it: the shipped sample
// opened, the matrix, the starting approximation and the steps edited, NDIM changed, sheets
// switched, "Ввод" and the file read back.
#include "stationary/section217/frmUni_217.h"
#include "support/form_test_host.h"

#include <QScrollBar>

using namespace velta;
using velta::test::bytesOf;

namespace {

class FrmUni217 : public test::FormTest<frmUni_217, Sec217> {
protected:
    FrmUni217() : FormTest(217, &frmUni_217::IshDanDU, {"Fold3.diud"}) {}
};

TEST_F(FrmUni217, OpenFillsEveryFieldAndGridFromTheShippedSample) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.diud)|*.diud|");
    ASSERT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle().toStdString(),
              "ГГС общего вида\\Стац. решения автономной системы\\Диаграммы и устойчивость");
    EXPECT_EQ(win->sheetCount(), 9);
    EXPECT_EQ(win->tabStrip()->tabText(8).toStdString(), "Лист #9");
    EXPECT_FALSE(win->edited());
    EXPECT_EQ(core().shownName, "Fold3.diud");

    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "1"},  {"txtNdim", "3"},      {"txtAlfa", "1"},   {"txtBeta", "1"},
        {"txtGama", "1.6"},  {"txtQmin", "0.5"},    {"txtQmax", "20"},  {"txtQsolv", "13"},
        {"txtHstep", "0.1"}, {"txtExact", "1E-10"}, {"txtLimit", "10"}, {"txtLimit0", "20"},
        {"txtAccel", "2"},   {"txtEmin", "0.001"},  {"txtEmax", "1"},   {"txtStab", "10000"},
        {"txtNend", "2000"}, {"txtIC", "1,2,3"},    {"txtSclx", "0"},   {"txtScrx", "20"},
        {"txtScly", "0"},    {"txtScry", "20"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }
    FormGrid* m = grid("grdTable");
    EXPECT_EQ(m->parentWidget(), win->frame(2));
    ASSERT_EQ(m->rowCount(), 6);
    const char* rows[] = {"1,1,1", "0,1,1", "1,1,0"};
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(m->text().joinRow(i + 1, 2, 4), rows[i - 1]) << i;

    FormGrid* y = grid("grdTable1");
    EXPECT_EQ(y->parentWidget(), win->frame(3));
    ASSERT_EQ(y->rowCount(), 6);
    EXPECT_EQ(y->cell(0, 0).toStdString(), "Номера  компонент");
    EXPECT_EQ(y->cell(0, 2).toStdString(), "Значения компонент");
    EXPECT_EQ(y->text().joinCol(2, 2, 4), "0.6,0.6,0.6");
    EXPECT_TRUE(y->isValueCell(4, 2));
    EXPECT_FALSE(y->isValueCell(5, 2));

    FormGrid* h = grid("grdTable2");
    EXPECT_EQ(h->parentWidget(), win->frame(6));
    ASSERT_EQ(h->rowCount(), 7);
    EXPECT_EQ(h->cell(0, 2).toStdString(), "Стандартные шаги");
    EXPECT_EQ(h->text().joinCol(2, 2, 5), "0.1,0.1,0.1,0.1");
    EXPECT_EQ(h->text().joinCol(0, 2, 5), "1,2,3,4");
}

TEST_F(FrmUni217, SheetsCarryTheirLabelsAndFields) {
    const std::vector<std::vector<const char*>> labels = {
        {"1) Параметры модели ГГС классов 1-4", "Номер класса,  MCLASS =",
         "Число элементов ГГС (размерность системы),  NDIM =", "Стартовое значение  ALFA =", "BETA =",
         "GAMA =", "ALFA - параметр для продолжения решения,  QMIN <= ALFA <= QMAX"},
        {"2) Матрица связей  MC(i,j)"},
        {"3) Начальное приближение при стартовом значении ALFA"},
        {"4) Параметры метода продолжения по параметру", "QMIN =", "QMAX =", "Значение ALFA, при котором",
         " определяются стационарные решения,  QSOLV =", "Стартовый шаг по ALFA,  HSTEP ="},
        {"5) Параметры метода Ньютона",
         "Точность метода,  EXACT =", "Ограничение на число итераций в текущей позиции,  LIMIT =",
         "Ограничение на число итераций в стартовой позиции,  LIMIT0 =",
         "Коэффициент увеличения текущего шага,  ACCEL =", "EMIN =", "EMAX ="},
        {"6) Эталонные шаги H(I) для текущих параметров, i=1,...,NDIM+1.",
         "    (H(NDIM+1) - эталонный шаг по ALFA)"},
        {"7) Устойчивость", "Параметр, ограничивающий числовую", " характеристику устойчивости,  STAB ="},
        {"8) Формирование выдачи результатов", "Порция шагов в методе продолжения,  NEND = ",
         "Номера компонент, выводимых на график:", "(число компонент <= min(12,NDIM))"},
        {"9) Масштабы", " SCLX =", "SCRX =", "SCLY =", "SCRY ="}};
    for (int sheet = 1; sheet <= 9; ++sheet) {
        std::vector<std::string> got, want;
        for (const QLabel* l : win->frame(sheet)->findChildren<QLabel*>())
            if (!l->text().isEmpty()) got.push_back(l->text().toStdString());
        for (const char* t : labels[static_cast<std::size_t>(sheet - 1)]) want.push_back(t);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "sheet " << sheet;
    }
    openSample();
    test::checkSheetLayout(*win, "frmUni_217");
}

TEST_F(FrmUni217, AcceptWithoutEditsAsksNothingAndKeepsTheFile) {
    openSample();
    const std::string before = bytesOf(app.path("User/Fold3.diud"));
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(bytesOf(app.path("User/Fold3.diud")), before);
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "Fold3.diud");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
}

TEST_F(FrmUni217, EditedCellsAndFieldsAreSavedAndReadBack) {
    openSample();
    win->tabStrip()->setCurrentIndex(2);
    FormGrid* y = grid("grdTable1");
    clickCell(y, 3, 2);  // Y(2)
    EXPECT_TRUE(win->edited());
    QTest::keyClicks(y, "0.7");
    win->tabStrip()->setCurrentIndex(5);
    FormGrid* h = grid("grdTable2");
    clickCell(h, 5, 2);  // H(4), the step in ALFA
    QTest::keyClicks(h, "0.05");
    field("txtStab")->setText("500");
    field("txtIC")->setText("3,1");

    save("User/edited");
    ASSERT_TRUE(app.exists("User/edited.diud"));
    std::string want = bytesOf(app.path("User/Fold3.diud"));
    want.replace(want.find("\r\n0.6,0.6,0.6\r\n"), 15, "\r\n0.6,0.7,0.6\r\n");
    want.replace(want.find("\r\n0.1,0.1,0.1,0.1\r\n"), 19, "\r\n0.1,0.1,0.1,0.05\r\n");
    want.replace(want.find("STAB = 10000"), 12, "STAB = 500");
    want.replace(want.find("\r\n1,2,3\r\n"), 9, "\r\n3,1\r\n");
    EXPECT_EQ(bytesOf(app.path("User/edited.diud")), want);

    mdl.reset();
    readBack(app.path("User/edited.diud"));
    EXPECT_DOUBLE_EQ(core().Y0(2), 0.7);
    EXPECT_DOUBLE_EQ(core().H(4), 0.05);
    EXPECT_DOUBLE_EQ(core().STAB, 500);
    EXPECT_EQ(mdl.NCOMP, 2);
    EXPECT_EQ(mdl.IC(1), 3);
    EXPECT_DOUBLE_EQ(mdl.MC(1, 1), 1);
}

TEST_F(FrmUni217, NdimChangeRebuildsTheThreeGridsWithZeros) {
    openSample();
    field("txtNdim")->setText("2");
    field("txtIC")->setText("1,2");
    win->tabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdl.NDIM, 2);
    ASSERT_EQ(grid("grdTable")->rowCount(), 5);
    EXPECT_EQ(grid("grdTable")->text().joinRow(2, 2, 3), "0,0");
    ASSERT_EQ(grid("grdTable1")->rowCount(), 5);
    EXPECT_EQ(grid("grdTable1")->text().joinCol(2, 2, 3), "0,0");
    ASSERT_EQ(grid("grdTable2")->rowCount(), 6);
    EXPECT_EQ(grid("grdTable2")->text().joinCol(2, 2, 4), "0,0,0");

    // The steps must be positive before the file is written.
    save("User/two.diud");
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Стандартный шаг H(1) должен быть больше 0 (H(1) = 0)");
    win->tabStrip()->setCurrentIndex(5);
    for (int r = 2; r <= 4; ++r) {
        clickCell(grid("grdTable2"), r, 2);
        QTest::keyClicks(grid("grdTable2"), "0.2");
    }
    win->tabStrip()->setCurrentIndex(1);
    clickCell(grid("grdTable"), 2, 3);
    QTest::keyClicks(grid("grdTable"), "1");
    save("User/two.diud");
    EXPECT_EQ(host.ui.messages.size(), 1u);
    ASSERT_TRUE(app.exists("User/two.diud"));
    mdl.reset();
    readBack(app.path("User/two.diud"));
    EXPECT_EQ(mdl.NDIM, 2);
    EXPECT_DOUBLE_EQ(mdl.MC(1, 2), 1);
    EXPECT_DOUBLE_EQ(mdl.MC(1, 1), 0);
    EXPECT_EQ(core().Y0.upper(), 2);
    EXPECT_DOUBLE_EQ(core().Y0(2), 0);
    EXPECT_DOUBLE_EQ(core().H(3), 0.2);
    EXPECT_DOUBLE_EQ(core().SCRY, 20);
}

TEST_F(FrmUni217, TextsThatCannotBeUsedAreRefusedAndNothingIsWritten) {
    openSample();
    const std::string before = bytesOf(app.path("User/Fold3.diud"));
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[&] { field("txtStab")->setText("0.2"); },
         "Параметр STAB должен быть больше 0.25 (STAB = 0.2);\nпри STAB <= 0 устойчивость не определяется"},
        {[&] {
             field("txtStab")->setText("0");
             field("txtIC")->setText("1,2,3,4");
         },
         "На график можно вывести не более min(12,NDIM) = 3 компонент (задано 4)"},
        {[&] { field("txtIC")->setText("0"); },
         "Номер компоненты графика IC(1) = 0 вне диапазона 1..NDIM (NDIM = 3)"},
        {[&] {
             field("txtIC")->setText("2");
             field("txtHstep")->setText("0");
         },
         "Стартовый шаг HSTEP не должен быть равен 0 (HSTEP = 0)"},
        {[&] {
             field("txtHstep")->setText("-0.1");
             field("txtScrx")->setText("x");
         },
         "Недопустимое значение  SCRX = x"},
    };
    std::size_t shown = 0;
    for (const auto& [edit, message] : steps) {
        edit();
        save("User/Fold3.diud");
        ASSERT_EQ(host.ui.messages.size(), ++shown) << message;
        EXPECT_EQ(host.ui.messages.back().text, message);
        EXPECT_TRUE(win->isVisible());
        EXPECT_EQ(bytesOf(app.path("User/Fold3.diud")), before);
    }
    // STAB = 0 is allowed: no stability question after the run.
    field("txtScrx")->setText("25");
    save("User/fixed.diud");
    EXPECT_EQ(host.ui.messages.size(), shown);
    mdl.reset();
    readBack(app.path("User/fixed.diud"));
    EXPECT_DOUBLE_EQ(core().STAB, 0);
    EXPECT_DOUBLE_EQ(core().HSTEP, -0.1);
    EXPECT_EQ(mdl.NCOMP, 1);
    EXPECT_DOUBLE_EQ(core().SCRX, 25);
}

TEST_F(FrmUni217, EveryClickIntoNdimShowsTheReminder) {
    openSample();
    QTest::mouseClick(field("txtNdim"), Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text,
              "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листах #2, #3");
}

TEST_F(FrmUni217, CancelRegistryAndHelp) {
    openSample();
    field("txtQsolv")->setText("5");
    button("cmdCancel1")->click();
    EXPECT_FALSE(win->isVisible());
    openSample();
    EXPECT_EQ(field("txtQsolv")->text().toStdString(), "13");
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
    auto w = makeSectionWindow(217, host);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<frmUni_217*>(w.get()), nullptr);
}

}  // namespace
