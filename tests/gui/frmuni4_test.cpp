// The window of section 4 driven as the user drives it: "&Ввод исходных данных" asks NDIM,
// the table is shown, U-numbers are typed, the table's "Ввод" takes them, "С&чёт" reports.
#include "app/shell.h"
#include "data/forms/formhost.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/surface.h"
#include "stationary/section4/frmUni_4.h"
#include "support/form_test_host.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace velta;

namespace {

using TestHost = test::FormTestHost;

std::vector<std::string> linesOf(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    std::istringstream in(cp1251ToUtf8(o.str()));
    std::vector<std::string> out;
    std::string l;
    while (std::getline(in, l)) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        out.push_back(l);
    }
    return out;
}

class FrmUni4 : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        host.shell().Sect_Select(4);
        win = std::make_unique<frmUni_4>(host);
    }

    // "&Ввод исходных данных" with the NDIM answer, then the window, as the main window does.
    void input(const std::string& ndim) {
        host.ui.answers.push_back(ndim);
        Ctx ctx{surf, host.ui, host.paths(), mdl};
        ASSERT_TRUE(host.shell().mnuInput(ctx));
        win->open();
    }
    bool integr() {
        Ctx ctx{surf, host.ui, host.paths(), mdl};
        return host.shell().mnuIntegr(ctx);
    }
    FormGrid* grid() { return win->findChild<FormGrid*>("grdTable"); }
    QPushButton* button(const char* name) { return win->findChild<QPushButton*>(name); }
    Sec4& core() { return *static_cast<Sec4*>(host.shell().core(4)); }
    void clickCell(int r, int c) {
        FormGrid* g = grid();
        g->scrollToItem(g->item(r, c));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(r, c)).center());
    }
    // Clicks the U cell of component i and types the text.
    void typeU(int i, const char* text) {
        clickCell(2, i + 1);
        QTest::keyClicks(grid(), QString::fromUtf8(text));
    }
    std::string results() const { return app.path("User/Results.sty"); }

    test::TempApp app;
    TestHost host{mdl, app.root()};
    NullSurface surf;
    std::unique_ptr<frmUni_4> win;
};

TEST_F(FrmUni4, InputShowsTheTableForNdim) {
    input("5");
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(win->windowTitle().toStdString(), "Ассорти    ");
    EXPECT_TRUE(win->tabStrip()->isVisible());
    EXPECT_EQ(win->tabStrip()->tabText(0).toStdString(), "Лист #1");
    EXPECT_TRUE(win->frame(1)->isVisible());
    const QLabel* ndim = win->findChild<QLabel*>("lblNdim");
    ASSERT_NE(ndim, nullptr);
    EXPECT_EQ(ndim->text().toStdString(), "Число уравнений  NDIM = 5");
    QStringList labels;
    for (const QLabel* l : win->frame(1)->findChildren<QLabel*>()) labels << l->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("Присвоение номеров компонентам вектора  U")));

    FormGrid* g = grid();
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->rowCount(), 4);
    ASSERT_EQ(g->columnCount(), 8);
    EXPECT_EQ(g->cell(0, 0).toStdString(), "Номера компонент вектора  X");
    EXPECT_EQ(g->cell(2, 0).toStdString(), "Номера компонент вектора  U");
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(g->cell(0, i + 1).toStdString(), std::to_string(i));
        EXPECT_EQ(g->cell(2, i + 1).toStdString(), "0");
        EXPECT_TRUE(g->isValueCell(2, i + 1));
    }
    EXPECT_FALSE(g->isValueCell(0, 2));
    // The row titles are not cut off by their column.
    EXPECT_GE(g->columnWidth(0), g->fontMetrics().horizontalAdvance(g->cell(2, 0)));
    EXPECT_TRUE(QRect(QPoint(0, 0), win->frame(1)->size()).contains(g->geometry()));

    const std::pair<const char*, const char*> buttons[] = {
        {"cmdInput4", "Ввод"}, {"cmdCancel4", "Отмена"}, {"cmdHelp4", "Справка"}, {"cmdOK_Tabl", "Ввод"}};
    for (const auto& [name, caption] : buttons) {
        ASSERT_NE(button(name), nullptr) << name;
        EXPECT_EQ(button(name)->text().toStdString(), caption);
    }
    EXPECT_FALSE(core().numbersTaken());
    if (const char* dir = std::getenv("VELTA_SHOTS")) {
        QApplication::processEvents();
        win->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("frm4_1.png")));
    }
}

// Typed numbers reach the store through the table's "Ввод"; no file dialog is ever shown,
// and the next "С&чёт" writes the report without asking anything.
TEST_F(FrmUni4, TableInputTakesTheNumbersForTheRun) {
    input("4");
    typeU(1, "1");
    typeU(2, "2");
    typeU(3, "1");
    clickCell(2, 5);
    QTest::keyClicks(grid(), "2");
    EXPECT_EQ(win->uRowTexts(), (std::vector<std::string>{"1", "2", "1", "2"}));
    QTest::mouseClick(button("cmdOK_Tabl"), Qt::LeftButton);
    EXPECT_TRUE(core().numbersTaken());
    EXPECT_EQ(mdl.NU, 2);
    ASSERT_EQ(mdl.G.upper(), 4);
    EXPECT_EQ(mdl.G(2), 2);
    EXPECT_FALSE(win->tabStrip()->isVisible());
    EXPECT_FALSE(win->frame(1)->isVisible());
    EXPECT_TRUE(host.ui.dialogs.empty());
    EXPECT_TRUE(host.ui.messages.empty());

    ASSERT_TRUE(integr());
    EXPECT_EQ(host.ui.inputs.size(), 1u);  // only NDIM was asked
    const auto lines = linesOf(results());
    ASSERT_GT(lines.size(), 22u);
    EXPECT_EQ(lines[12], " Число новых переменных NU = 2 ");
    EXPECT_EQ(lines[20], "    1.     [   1   2   ]");
    EXPECT_EQ(lines[21], "    2.     [   2   1   ]");
}

// A text that is not a number, a row with a gap and a number beyond NDIM are each explained
// and stay for correction, the store untouched.
TEST_F(FrmUni4, RefusedRowStaysForCorrection) {
    input("3");
    typeU(1, "1");
    typeU(2, "3");
    typeU(3, "x");
    QTest::mouseClick(button("cmdOK_Tabl"), Qt::LeftButton);
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Номер компоненты вектора U для X(3) задан НЕ ЧИСЛОМ: \"x\"");
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(core().numbersTaken());

    typeU(3, "1");
    QTest::mouseClick(button("cmdOK_Tabl"), Qt::LeftButton);
    ASSERT_EQ(host.ui.messages.size(), 2u);
    EXPECT_EQ(host.ui.messages[1].text.rfind("Номер 2 не присвоен ни одной компоненте X", 0), 0u);
    EXPECT_TRUE(win->frame(1)->isVisible());
    EXPECT_FALSE(core().numbersTaken());
    EXPECT_EQ(mdl.NU, 0);

    // Keys typed after the click append: "3" then "2" gives "32" - refused as beyond NDIM.
    typeU(2, "3");
    QTest::keyClicks(grid(), "2");
    EXPECT_EQ(grid()->cell(2, 3).toStdString(), "32");
    QTest::mouseClick(button("cmdOK_Tabl"), Qt::LeftButton);
    EXPECT_EQ(host.ui.messages.size(), 3u);
    typeU(2, "2");
    QTest::mouseClick(button("cmdOK_Tabl"), Qt::LeftButton);
    EXPECT_EQ(host.ui.messages.size(), 3u);
    EXPECT_TRUE(core().numbersTaken());
}

// The window's own "Ввод" takes a table still shown (edited, yet no save dialog) and closes.
TEST_F(FrmUni4, WindowInputTakesTheTableAndCloses) {
    input("2");
    typeU(1, "1");
    typeU(2, "1");
    QTest::mouseClick(button("cmdInput4"), Qt::LeftButton);
    EXPECT_FALSE(win->isVisible());
    EXPECT_TRUE(host.ui.dialogs.empty());
    EXPECT_TRUE(core().numbersTaken());
    EXPECT_EQ(mdl.NU, 1);
    EXPECT_GT(host.changes, 0);

    // A refused table keeps the window open.
    input("2");
    typeU(1, "2");
    typeU(2, "2");
    QTest::mouseClick(button("cmdInput4"), Qt::LeftButton);
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(host.ui.messages.size(), 1u);
}

// "Отмена" leaves the numbers untaken: the run asks them as a list. A new NDIM rebuilds the
// table with "0" everywhere. "Справка" opens the help.
TEST_F(FrmUni4, CancelLeavesTheNumbersToTheRun) {
    input("3");
    typeU(1, "1");
    QTest::mouseClick(button("cmdCancel4"), Qt::LeftButton);
    EXPECT_FALSE(win->isVisible());
    EXPECT_FALSE(core().numbersTaken());
    host.ui.answers = {"1,1,1"};
    ASSERT_TRUE(integr());
    ASSERT_EQ(host.ui.inputs.size(), 2u);
    EXPECT_EQ(host.ui.inputs[1].prompt,
              "Задайте номера компонент вектора  U\nдля X(1),...,X(3) через запятую");
    EXPECT_EQ(linesOf(results()).at(15), "     МАТРИЦА КОЭФФИЦИЕНТОВ K(i,j), NU = 1 ");

    input("2");
    EXPECT_EQ(grid()->columnCount(), 5);
    EXPECT_EQ(win->uRowTexts(), (std::vector<std::string>{"0", "0"}));
    EXPECT_FALSE(core().numbersTaken());
    QTest::mouseClick(button("cmdHelp4"), Qt::LeftButton);
    EXPECT_EQ(host.helps, (std::vector<int>{1002}));
}

}  // namespace
