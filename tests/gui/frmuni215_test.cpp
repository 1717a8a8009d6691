// The input window of section 2.1.5 driven as the user drives it: the shipped sample
// opened, the matrix and the steps edited, NDIM changed, sheets switched, "Ввод" and the
// file read back.
#include "stationary/section215/frmUni_215.h"
#include "support/form_test_host.h"

#include <QScrollBar>

using namespace velta;
using velta::test::bytesOf;

namespace {

class FrmUni215 : public test::FormTest<frmUni_215, Sec215> {
protected:
    FrmUni215() : FormTest(215, &frmUni_215::IshDanSRR, {"Repress3.srRd"}) {}
};

TEST_F(FrmUni215, OpenFillsEveryFieldAndGridFromTheShippedSample) {
    openSample();
    ASSERT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_EQ(host.ui.dialogs[0].filter, "Файлы данных (*.srRd)|*.srRd|");
    ASSERT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle().toStdString(),
              "ГГС общего вида\\Стац. решения и устойчивость\\Стартовое решение\\RND");
    EXPECT_EQ(win->sheetCount(), 5);
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(win->edited());
    EXPECT_EQ(core().shownName, "Repress3.srRd");

    const std::pair<const char*, const char*> expected[] = {
        {"txtMclass", "1"},  {"txtNdim", "3"},    {"txtAlfa", "2.5"},    {"txtBeta", "1"},
        {"txtGama", "3"},    {"txtLmax", "40"},   {"txtHstep0", "0.05"}, {"txtQsolv", "1"},
        {"txtQmax", "1.5"},  {"txtQmin", "0"},    {"txtEmin", "0.0001"}, {"txtEmax", "1"},
        {"txtAccel", "2"},   {"txtLimit0", "20"}, {"txtLimit", "10"},    {"txtExact", "1E-10"},
        {"txtNend", "2000"}, {"txtNstep", "100"}, {"txtUerr", "0.001"},  {"txtFerr", "0.0001"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_NE(field(name), nullptr) << name;
        EXPECT_EQ(field(name)->text().toStdString(), text) << name;
    }

    FormGrid* m = grid("grdTable");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->parentWidget(), win->frame(4));
    ASSERT_EQ(m->rowCount(), 6);
    EXPECT_EQ(m->cell(0, 0).toStdString(), "(i,j)");
    const char* rows[] = {"0,1,1", "1,0,1", "1,1,0"};
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(m->text().joinRow(i + 1, 2, 4), rows[i - 1]) << i;
    EXPECT_TRUE(m->isValueCell(3, 3));
    EXPECT_FALSE(m->isValueCell(5, 3));

    // The standard steps stand in a column: numbers, steps H(1..NDIM+1).
    FormGrid* h = grid("grdTable2");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->parentWidget(), win->frame(5));
    ASSERT_EQ(h->rowCount(), 7);
    ASSERT_EQ(h->columnCount(), 4);
    EXPECT_EQ(h->cell(0, 0).toStdString(), "Номера компонент");
    EXPECT_EQ(h->cell(0, 2).toStdString(), "Стандартные шаги");
    EXPECT_EQ(h->text().joinCol(2, 2, 5), "0.1,0.1,0.1,0.02");
    EXPECT_EQ(h->text().joinCol(0, 2, 5), "1,2,3,4");
    EXPECT_TRUE(h->isValueCell(5, 2));
    EXPECT_FALSE(h->isValueCell(5, 0));
    EXPECT_EQ(h->item(6, 2)->background().color(), QColor(224, 224, 224));
    EXPECT_EQ(h->item(3, 2)->background().color(), QColor(Qt::white));
    EXPECT_GE(h->columnWidth(2), h->fontMetrics().horizontalAdvance(QStringLiteral("Стандартные шаги")));
}

TEST_F(FrmUni215, SheetsCarryTheirLabelsAndFields) {
    const std::vector<std::vector<const char*>> labels = {
        {" 1) Параметры модели ГГС классов 1-4", "Номер класса,  MCLASS = ",
         "Число элементов ГГС (размерность системы),  NDIM = ", " ALFA = ", "BETA = ", "GAMA = "},
        {" 2) Параметры метода продолжения по параметру",
         "Число продолжений решений на отрезке [0,1],  LMAX = ", "Стартовый шаг,  HSTEP0 = ", "QSOLV = ",
         "QMAX = ", "QMIN = ", "EMIN = ", "EMAX = ", "Коэффициент увеличения текущего шага,  ACCEL = ",
         "    EMIN * H(I), EMAX * H(I) - ограничения снизу и сверху на шаг          ",
         "                               по I-му текущему параметру                 "},
        {" 3) Параметры метода Ньютона", "Ограничение на число итераций в стартовой позиции,  LIMIT0 = ",
         "Ограничение на число итераций в текущей позиции,  LIMIT = ", "Точность метода,  EXACT = ",
         " 4) Параметры селекции решений", "Ограничение на число шагов,  NEND = ", "Порция шагов,  NSTEP = ",
         "Оценка невязки решений,  UERR = ", "Оценка невязки правых частей,  FERR = "},
        {" 4) Матрица связей  MC(i,j)"},
        {" 5) Стандартные шаги H(i) для текущих параметров, ",
         "    i=1,...,NDIM+1, H(NDIM+1) - стандартный шаг по QMOD"}};
    for (int sheet = 1; sheet <= 5; ++sheet) {
        std::vector<std::string> got, want;
        for (const QLabel* l : win->frame(sheet)->findChildren<QLabel*>())
            if (!l->text().isEmpty()) got.push_back(l->text().toStdString());
        for (const char* t : labels[static_cast<std::size_t>(sheet - 1)]) want.push_back(t);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "sheet " << sheet;
    }
    openSample();
    test::checkSheetLayout(*win, "frmUni_215");
}

TEST_F(FrmUni215, AcceptWithoutEditsAsksNothingAndKeepsTheFile) {
    openSample();
    const std::string before = bytesOf(app.path("User/Repress3.srRd"));
    host.ui.saveFiles.push_back(app.path("User/never.srRd"));
    button("cmdINput1")->click();
    EXPECT_EQ(host.ui.dialogs.size(), 1u);
    EXPECT_FALSE(app.exists("User/never.srRd"));
    EXPECT_EQ(bytesOf(app.path("User/Repress3.srRd")), before);
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(host.shell().status2, "Repress3.srRd");
    EXPECT_TRUE(host.shell().isEnabled(Cmd::Input));
}

// A self-link typed into the matrix and a step into the column: the saved file is the
// sample with those two lines changed, and reads back to the same values with the edits.
TEST_F(FrmUni215, EditedCellsAreSavedAndReadBack) {
    openSample();
    win->tabStrip()->setCurrentIndex(3);
    FormGrid* m = grid("grdTable");
    clickCell(m, 2, 2);  // MC(1,1)
    EXPECT_EQ(m->cell(2, 2).toStdString(), "");
    EXPECT_TRUE(win->edited());
    QTest::keyClicks(m, "1");
    win->tabStrip()->setCurrentIndex(4);
    FormGrid* h = grid("grdTable2");
    clickCell(h, 3, 2);  // H(2)
    QTest::keyClicks(h, "0.05");
    clickCell(h, 3, 0);  // a number cell is not a value cell
    EXPECT_EQ(h->cell(3, 0).toStdString(), "2");

    save("User/edited");
    ASSERT_TRUE(app.exists("User/edited.srRd"));
    EXPECT_EQ(host.shell().status2, "edited.srRd");
    std::string want = bytesOf(app.path("User/Repress3.srRd"));
    want.replace(want.find("\r\n0,1,1\r\n"), 9, "\r\n1,1,1\r\n");
    want.replace(want.find("\r\n0.1,0.1,0.1,0.02\r\n"), 20, "\r\n0.1,0.05,0.1,0.02\r\n");
    EXPECT_EQ(bytesOf(app.path("User/edited.srRd")), want);

    mdl.reset();
    readBack(app.path("User/edited.srRd"));
    EXPECT_DOUBLE_EQ(mdl.MC(1, 1), 1);
    EXPECT_DOUBLE_EQ(mdl.MC(1, 2), 1);
    EXPECT_DOUBLE_EQ(core().H(2), 0.05);
    EXPECT_DOUBLE_EQ(core().H(4), 0.02);
    EXPECT_EQ(core().LMAX, 40);
    EXPECT_DOUBLE_EQ(core().FFERR, 0.0001);
}

TEST_F(FrmUni215, NdimChangeRebuildsBothGridsWithZerosAndTheLinksMustBeGiven) {
    openSample();
    field("txtNdim")->setText("2");
    EXPECT_TRUE(win->dimensionChanged());
    EXPECT_EQ(grid("grdTable")->rowCount(), 6);
    win->tabStrip()->setCurrentIndex(3);
    EXPECT_FALSE(win->dimensionChanged());
    EXPECT_EQ(mdl.NDIM, 2);
    FormGrid* m = grid("grdTable");
    ASSERT_EQ(m->rowCount(), 5);
    EXPECT_EQ(m->text().joinRow(2, 2, 3), "0,0");
    EXPECT_EQ(m->text().joinRow(3, 2, 3), "0,0");
    FormGrid* h = grid("grdTable2");
    ASSERT_EQ(h->rowCount(), 6);
    EXPECT_EQ(h->text().joinCol(2, 2, 4), "0,0,0");

    // Saved as they stand, the elements have no links and the steps are zero: refused.
    save("User/two.srRd");
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Стандартный шаг H(1) должен быть больше 0 (H(1) = 0)");
    EXPECT_FALSE(app.exists("User/two.srRd"));
    EXPECT_TRUE(win->isVisible());
    win->tabStrip()->setCurrentIndex(4);
    for (int r = 2; r <= 4; ++r) {
        clickCell(h, r, 2);
        QTest::keyClicks(h, "0.1");
    }
    save("User/two.srRd");
    ASSERT_EQ(host.ui.messages.size(), 2u);
    EXPECT_EQ(host.ui.messages[1].text,
              "Элемент 1 не имеет регуляторных связей (в строке 1 матрицы MC нет единиц):\n"
              "построить гомотопию для такой сети нельзя");
    win->tabStrip()->setCurrentIndex(3);
    clickCell(m, 2, 3);
    QTest::keyClicks(m, "1");
    clickCell(m, 3, 2);
    QTest::keyClicks(m, "1");
    save("User/two.srRd");
    EXPECT_EQ(host.ui.messages.size(), 2u);
    ASSERT_TRUE(app.exists("User/two.srRd"));
    EXPECT_FALSE(win->isVisible());

    mdl.reset();
    readBack(app.path("User/two.srRd"));
    EXPECT_EQ(mdl.NDIM, 2);
    EXPECT_DOUBLE_EQ(mdl.MC(1, 2), 1);
    EXPECT_DOUBLE_EQ(mdl.MC(2, 1), 1);
    EXPECT_DOUBLE_EQ(mdl.MC(2, 2), 0);
    EXPECT_EQ(core().H.upper(), 3);
    EXPECT_DOUBLE_EQ(core().H(3), 0.1);
    EXPECT_DOUBLE_EQ(core().QSOLV, 1);
}

// Texts the reading or the run would refuse are refused at "Ввод": nothing is written and
// the window stays open with the texts as typed.
TEST_F(FrmUni215, TextsThatCannotBeUsedAreRefusedAndNothingIsWritten) {
    openSample();
    const std::string before = bytesOf(app.path("User/Repress3.srRd"));
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[&] { field("txtLmax")->setText("abc"); }, "Недопустимое значение  LMAX = abc"},
        {[&] {
             field("txtLmax")->setText("10");
             field("txtQmin")->setText("0.2");
         },
         "Продолжение начинается при QMOD = 0: QMIN должно быть не больше 0 (QMIN = 0.2)"},
        {[&] {
             field("txtQmin")->setText("0");
             field("txtExact")->setText("0");
         },
         "Точность метода EXACT должна быть больше 0 (EXACT = 0)"},
        {[&] {
             field("txtExact")->setText("1E-9");
             field("txtBeta")->setText("-1");
         },
         "Параметр BETA должен быть больше 0 (BETA = -1)"},
    };
    std::size_t shown = 0;
    for (const auto& [edit, message] : steps) {
        edit();
        save("User/Repress3.srRd");
        ASSERT_EQ(host.ui.messages.size(), ++shown) << message;
        EXPECT_EQ(host.ui.messages.back().text, message);
        EXPECT_TRUE(win->isVisible());
        EXPECT_EQ(bytesOf(app.path("User/Repress3.srRd")), before);
    }
    field("txtBeta")->setText("2");
    save("User/fixed.srRd");
    EXPECT_EQ(host.ui.messages.size(), shown);
    mdl.reset();
    readBack(app.path("User/fixed.srRd"));
    EXPECT_DOUBLE_EQ(mdl.BETA, 2);
    EXPECT_EQ(core().LMAX, 10);
    EXPECT_DOUBLE_EQ(core().EXACT, 1e-9);
}

TEST_F(FrmUni215, EveryClickIntoNdimShowsTheReminder) {
    openSample();
    QTest::mouseClick(field("txtNdim"), Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text,
              "После изменения  NDIM  не забудьте\nскорректировать таблицы на Листах #4, #5");
    EXPECT_FALSE(win->edited());
}

TEST_F(FrmUni215, CancelRegistryAndHelp) {
    openSample();
    win->tabStrip()->setCurrentIndex(3);
    clickCell(grid("grdTable"), 2, 3);
    QTest::keyClicks(grid("grdTable"), "9");
    button("cmdCancel1")->click();
    EXPECT_FALSE(win->isVisible());
    openSample();
    EXPECT_EQ(grid("grdTable")->cell(2, 3).toStdString(), "1");
    EXPECT_FALSE(win->edited());
    button("cmdHelp1")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
    auto w = makeSectionWindow(215, host);
    ASSERT_NE(w, nullptr);
    EXPECT_NE(dynamic_cast<frmUni_215*>(w.get()), nullptr);
}

}  // namespace
