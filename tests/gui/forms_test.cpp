// The input-window framework: the grid's cell editing and painting, and the sheets,
// marks, open procedure and buttons of a window built on it (a two-sheet test window
// over a stand-in core, so the framework is checked apart from any section).
#include "app/shell.h"
#include "data/forms/sectionform.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "support/form_test_host.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace velta;

namespace {

// ---------------------------------------------------------------- the grid

class FormsGrid : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(760, 200);
        g = new FormGrid(&parent, "grdTable1");
        g->move(10, 10);
        Vec v(3);
        v(1) = 0.25;
        v(2) = -1;
        v(3) = 1e-05;
        g->setVectorGrid(vectorGrid(v, 3, false));
        parent.show();
    }
    void click(int r, int c) {
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(r, c)).center());
    }
    std::string at(int r, int c) const { return g->cell(r, c).toStdString(); }

    QWidget parent;
    FormGrid* g = nullptr;
};

TEST_F(FormsGrid, VectorLayoutWidthsAlignmentAndPaint) {
    ASSERT_EQ(g->rowCount(), 4);
    ASSERT_EQ(g->columnCount(), 6);
    EXPECT_EQ(g->columnWidth(0), 140);
    for (int c = 1; c < 6; ++c) EXPECT_EQ(g->columnWidth(c), 40);
    EXPECT_EQ(at(0, 0), " Номера  компонент");
    EXPECT_EQ(at(2, 0), "Значения компонент");
    EXPECT_EQ(at(0, 2), "1");
    EXPECT_EQ(at(0, 4), "3");
    EXPECT_EQ(at(0, 5), "");
    EXPECT_EQ(at(2, 2), "0.25");
    EXPECT_EQ(at(2, 3), "-1");
    EXPECT_EQ(at(2, 4), "1E-05");
    EXPECT_EQ(g->item(2, 0)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignLeft));
    EXPECT_EQ(g->item(2, 3)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignHCenter));
    const QColor grey(224, 224, 224);
    EXPECT_EQ(g->item(2, 2)->background().color(), QColor(Qt::white));
    EXPECT_EQ(g->item(2, 4)->background().color(), QColor(Qt::white));
    EXPECT_EQ(g->item(1, 3)->background().color(), grey);
    EXPECT_EQ(g->item(3, 3)->background().color(), grey);
    EXPECT_EQ(g->item(2, 1)->background().color(), grey);
    EXPECT_EQ(g->item(2, 5)->background().color(), grey);
    // All columns are shown without a scroll bar.
    EXPECT_EQ(g->width(), 140 + 5 * 40 + 2 * g->frameWidth());
    EXPECT_EQ(g->text().joinRow(2, 2, 4), "0.25,-1,1E-05");
}

TEST_F(FormsGrid, ClickEmptiesOnlyValueCells) {
    QSignalSpy spy(g, &FormGrid::edited);
    click(0, 3);  // header row
    click(2, 0);  // header column
    click(1, 2);  // painted frame
    click(2, 5);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(at(0, 3), "2");
    EXPECT_EQ(at(2, 0), "Значения компонент");
    click(2, 3);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(at(2, 3), "");
    EXPECT_EQ(g->currentRow(), 2);
    EXPECT_EQ(g->currentColumn(), 3);
    EXPECT_EQ(at(2, 2), "0.25");
}

TEST_F(FormsGrid, TypingAppendsAndBackspaceRemovesOneCharacter) {
    QSignalSpy spy(g, &FormGrid::edited);
    // The first value cell is current after filling: typing appends to it.
    QTest::keyClicks(g, "5");
    EXPECT_EQ(at(2, 2), "0.255");
    QTest::keyClick(g, Qt::Key_Backspace);
    QTest::keyClick(g, Qt::Key_Backspace);
    EXPECT_EQ(at(2, 2), "0.2");
    for (int i = 0; i < 5; ++i) QTest::keyClick(g, Qt::Key_Backspace);
    EXPECT_EQ(at(2, 2), "");
    // Any printable character is taken as typed, a Cyrillic letter too.
    QKeyEvent cyr(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("ж"));
    QApplication::sendEvent(g, &cyr);
    EXPECT_EQ(at(2, 2), "ж");
    QTest::keyClick(g, Qt::Key_Backspace);
    EXPECT_EQ(at(2, 2), "");
    EXPECT_EQ(spy.count(), 10);
}

TEST_F(FormsGrid, ControlKeysAreNotStored) {
    click(2, 3);
    QTest::keyClicks(g, "4");
    QSignalSpy spy(g, &FormGrid::edited);
    QTest::keyClick(g, Qt::Key_Escape);
    QTest::keyClick(g, Qt::Key_Delete);
    QTest::keyClick(g, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(g, Qt::Key_F2);
    EXPECT_EQ(at(2, 3), "4");
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(FormsGrid, EnterAndTabStepThroughValueCellsAndWrap) {
    auto* next = new QLineEdit(&parent);  // where a Tab would otherwise take the focus
    next->move(10, 150);
    next->show();
    click(2, 2);
    ASSERT_EQ(parent.focusWidget(), g);
    QTest::keyClick(g, Qt::Key_Return);
    EXPECT_EQ(g->currentColumn(), 3);
    QTest::keyClick(g, Qt::Key_Tab);
    EXPECT_EQ(g->currentColumn(), 4);
    QTest::keyClick(g, Qt::Key_Enter);
    EXPECT_EQ(g->currentColumn(), 2);  // back to the first component
    QTest::keyClick(g, Qt::Key_Backtab);
    EXPECT_EQ(g->currentColumn(), 4);
    QTest::keyClick(g, Qt::Key_Right);  // arrows stay inside the values
    EXPECT_EQ(g->currentColumn(), 4);
    QTest::keyClick(g, Qt::Key_Left);
    EXPECT_EQ(g->currentColumn(), 3);
    EXPECT_EQ(g->currentRow(), 2);
    // Moving does not change texts; the Tab kept the focus in the grid.
    EXPECT_EQ(at(2, 3), "-1");
    EXPECT_EQ(at(2, 2), "");
    EXPECT_EQ(parent.focusWidget(), g);
}

TEST_F(FormsGrid, LongVectorScrollsInsideTheMaximumWidth) {
    Vec v(40);
    g->setVectorGrid(vectorGrid(v, 40, true));
    EXPECT_EQ(g->columnCount(), 43);
    EXPECT_EQ(g->width(), 717);
    EXPECT_GT(g->height(), 4 * FormGrid::kRowHeight + 2 * g->frameWidth());
    std::string zeros = "0";
    for (int i = 2; i <= 40; ++i) zeros += ",0";
    EXPECT_EQ(g->text().joinRow(2, 2, 41), zeros);
    // The last component is reachable from the keyboard.
    QTest::keyClick(g, Qt::Key_Backtab);
    EXPECT_EQ(g->currentColumn(), 41);
}

TEST_F(FormsGrid, EmptyVectorHasNoValueCells) {
    g->setVectorGrid(vectorGrid(Vec(0), 0, false));
    QSignalSpy spy(g, &FormGrid::edited);
    QTest::keyClicks(g, "12");
    QTest::keyClick(g, Qt::Key_Return);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(g->columnCount(), 3);
}

// ---------------------------------------------------------------- a window on the framework

class FakeCore : public SectionCore {
public:
    int code() const override { return 11; }
    void InputPar(Ctx& c) override {
        ++reads;
        if (fail) throw VeltaError("Ошибка чтения");
        Store& g = c.store;
        g.NDIM = static_cast<i16>(ndim);
        g.XP.alloc(2);
        g.XP(1) = 0.5;
        g.XP(2) = 7;
        g.ALFA = -1;
    }
    void Integr1(Ctx&) override {}
    int reads = 0;
    bool fail = false;
    int ndim = 2;
    std::string checkedPath;  // the file the check at "Ввод" read
};

class TestForm : public SectionForm {
public:
    TestForm(FormHost& h, FakeCore& c)
        : SectionForm(h, 11, "Тест", 2, FormButtons{"cmdInput4", "cmdCancel4", "cmdHelp4"}), core_(c) {
        txtN = addField(1, 20, 20, 100, "NDIM =", "txtNdim");
        setSizingField(txtN, "NDIM", "Напоминание");
        txtA = addField(1, 20, 50, 100, "A =", "txtA");
        grid = addGrid(2, 20, 20, "grdTable1");
    }
    void fillFields() override {
        txtN->setText(QString::fromStdString(CStr(host_.store().NDIM)));
        txtA->setText("abc");
    }
    void fillGrids(bool zeros) override {
        const Store& g = host_.store();
        grid->setVectorGrid(vectorGrid(g.XP, g.NDIM, zeros));
    }
    void setDimension(i16 n) override { host_.store().NDIM = n; }
    void writeDataFile(const std::string& path) override {
        const auto write = [this](const std::string& p) {
            auto w = TextWriter::create(p);
            w->line(txtA->text().toStdString());
            w->line(grid->text().joinRow(2, 2, grid->columnCount() - 2));
        };
        checkByReading(path, write, [this] { core_.checkedPath = core_.dataPath; });
        write(path);
    }
    SectionCore* core() override { return &core_; }

    QLineEdit *txtN, *txtA;
    FormGrid* grid;

private:
    FakeCore& core_;
};

using TestHost = test::FormTestHost;

class FormsWindow : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        host.shell().Sect_Select(11);
        app.write("User/a.mnkd", "x\r\n");
        app.write("User/Sub/b.mnkd", "x\r\n");
    }
    void open(const std::string& rel) {
        host.ui.openFiles.push_back(app.path(rel));
        form.open();
    }
    QPushButton* button(const char* name) { return form.findChild<QPushButton*>(name); }

    test::TempApp app;
    TestHost host{mdl, app.root()};
    FakeCore core;
    TestForm form{host, core};
};

TEST_F(FormsWindow, SheetsTabsAndButtonsByName) {
    auto* tabs = form.findChild<QTabBar*>("TabStrip1");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->geometry(), QRect(15, 33, 767, 488));
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0).toStdString(), "Лист #1");
    EXPECT_EQ(tabs->tabText(1).toStdString(), "Лист #2");
    for (const char* name : {"Frame1", "Frame2"}) {
        auto* f = form.findChild<QFrame*>(name);
        ASSERT_NE(f, nullptr) << name;
        EXPECT_EQ(f->geometry(), QRect(25, 56, 747, 457));
    }
    EXPECT_EQ(button("cmdInput4")->text().toStdString(), "Ввод");
    EXPECT_EQ(button("cmdCancel4")->text().toStdString(), "Отмена");
    EXPECT_EQ(button("cmdHelp4")->text().toStdString(), "Справка");
    EXPECT_EQ(button("cmdINput1"), nullptr);
    EXPECT_TRUE(form.windowFlags() & Qt::Window);
}

TEST_F(FormsWindow, OpenClearsBothMarksAfterFillingAndShowsSheetOne) {
    form.txtA->setText("old");
    form.txtN->setText("9");
    form.tabStrip()->setCurrentIndex(1);  // applies 9 while nothing was read
    mdl.NDIM = 0;
    open("User/Sub/b.mnkd");
    EXPECT_EQ(core.reads, 1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.edited());
    EXPECT_FALSE(form.dimensionChanged());
    EXPECT_EQ(form.tabStrip()->currentIndex(), 0);
    EXPECT_TRUE(form.frame(1)->isVisible());
    EXPECT_FALSE(form.frame(2)->isVisible());
    EXPECT_EQ(form.grid->text().joinRow(2, 2, 3), "0.5,7");
    EXPECT_EQ(core.dataPath, app.path("User/Sub/b.mnkd"));
    EXPECT_EQ(core.shownName, "Sub/b.mnkd");  // relative to User
}

TEST_F(FormsWindow, FailedOrCancelledOpenLeavesEverythingAsItWas) {
    open("User/a.mnkd");
    form.cancel();
    core.fail = true;
    open("User/Sub/b.mnkd");
    EXPECT_EQ(core.reads, 2);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(core.dataPath, app.path("User/a.mnkd"));
    EXPECT_EQ(core.shownName, "a.mnkd");
    // The failure is said, as "&Ввод исходных данных" says it.
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Ошибка при вводе исходных данных.\nОшибка чтения");
    form.open();  // dialog cancelled
    EXPECT_EQ(core.reads, 2);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(host.ui.messages.size(), 1u);

    // A file whose dimension the window cannot show is refused before a grid is built.
    core.fail = false;
    core.ndim = 1000;
    open("User/Sub/b.mnkd");
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(host.ui.messages.size(), 2u);
    EXPECT_NE(host.ui.messages[1].text.find("не более 200: NDIM = 1000"), std::string::npos);
    EXPECT_EQ(form.grid->columnCount(), 5);  // still the grid of a.mnkd
    EXPECT_EQ(core.dataPath, app.path("User/a.mnkd"));
}

TEST_F(FormsWindow, TitleBarCloseActsAsCancel) {
    open("User/a.mnkd");
    host.shell().status2 = "a.mnkd";
    host.shell().enable(Cmd::OpenResl, true);
    host.shell().enable(Cmd::Turn, true);
    const int changes = host.changes;
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(host.shell().status2, "");
    EXPECT_FALSE(host.shell().isEnabled(Cmd::OpenResl));
    EXPECT_FALSE(host.shell().isEnabled(Cmd::Turn));
    EXPECT_GT(host.changes, changes);
    // While a run has the window disabled, the close is ignored.
    open("User/a.mnkd");
    form.setEnabled(false);
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(FormsWindow, InputRefusesWhatTheReaderRefusesAndChangesNothing) {
    open("User/a.mnkd");
    app.write("User/Input.chk", "before\r\n");
    mdl.ALFA = 7;
    form.txtA->setText("new");
    core.fail = true;  // the reader refuses the texts
    host.ui.saveFiles.push_back(app.path("User/c.mnkd"));
    button("cmdInput4")->click();
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].text, "Ошибка чтения");
    EXPECT_FALSE(app.exists("User/c.mnkd"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(core.dataPath, app.path("User/a.mnkd"));
    EXPECT_EQ(mdl.ALFA, 7);
    EXPECT_EQ(readAllLines(app.path("User/Input.chk")), std::vector<std::string>{"before"});
    // Accepted by the reader: written, and the store is still the one read at opening.
    core.fail = false;
    host.ui.saveFiles.push_back(app.path("User/c.mnkd"));
    button("cmdInput4")->click();
    EXPECT_TRUE(app.exists("User/c.mnkd"));
    EXPECT_EQ(core.checkedPath.substr(core.checkedPath.size() - 6), "c.mnkd");
    EXPECT_EQ(mdl.ALFA, 7);
}

TEST_F(FormsWindow, ClickOnTheChosenTabAlsoAppliesTheDimension) {
    open("User/a.mnkd");
    form.txtN->setText("3");
    QTabBar* tabs = form.tabStrip();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_FALSE(form.dimensionChanged());
    EXPECT_EQ(form.grid->columnCount(), 6);
    EXPECT_EQ(form.grid->text().joinRow(2, 2, 4), "0,0,0");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_TRUE(form.frame(2)->isVisible());
    EXPECT_FALSE(form.frame(1)->isVisible());
    EXPECT_TRUE(host.ui.messages.empty());
}

TEST_F(FormsWindow, DimensionOutsideOneToTheBoundIsRefusedBeforeAnyGrid) {
    open("User/a.mnkd");
    // 1000 would build a grid of a million cells; the bound is 200.
    for (const char* text : {"0", "-2", "1e9", "", "201", "1000"}) {
        form.txtN->setText(text);
        form.switchSheet(1);
        EXPECT_TRUE(form.dimensionChanged()) << text;
        EXPECT_EQ(mdl.NDIM, 2) << text;
    }
    ASSERT_EQ(host.ui.messages.size(), 6u);
    EXPECT_EQ(host.ui.messages[1].text, "Недопустимое значение  NDIM = -2  (допустимо 1..200)");
    EXPECT_EQ(host.ui.messages[5].text, "Недопустимое значение  NDIM = 1000  (допустимо 1..200)");
    EXPECT_EQ(form.grid->columnCount(), 5);
    form.txtN->setText("200");
    form.switchSheet(1);
    EXPECT_EQ(mdl.NDIM, 200);
    EXPECT_EQ(form.grid->columnCount(), 203);
}

TEST_F(FormsWindow, SaveKeepsATypedExtensionAndShowsTheNameRelativeToUser) {
    open("User/a.mnkd");
    form.txtA->setText("new");
    host.ui.saveFiles.push_back(app.path("User/Sub/c.txt"));
    button("cmdInput4")->click();
    EXPECT_TRUE(app.exists("User/Sub/c.txt"));
    EXPECT_FALSE(app.exists("User/Sub/c.txt.mnkd"));
    EXPECT_EQ(host.shell().status2, "Sub/c.txt");
    EXPECT_EQ(core.dataPath, app.path("User/Sub/c.txt"));
    EXPECT_EQ(readAllLines(app.path("User/Sub/c.txt")), (std::vector<std::string>{"new", "0.5,7"}));
    EXPECT_EQ(host.changes, 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.tabStrip()->isVisible());
}

TEST_F(FormsWindow, AFileOutsideUserIsShownWithItsFullPath) {
    app.write("elsewhere.mnkd", "x\r\n");
    open("elsewhere.mnkd");
    EXPECT_EQ(core.shownName, app.path("elsewhere.mnkd"));
}

TEST_F(FormsWindow, FailedWriteKeepsTheWindowOpenAndTheFileCurrent) {
    open("User/a.mnkd");
    form.txtA->setText("new");
    host.shell().status2 = "a.mnkd";
    host.ui.saveFiles.push_back(app.path("User/NoSuchFolder/c.mnkd"));
    button("cmdInput4")->click();
    ASSERT_EQ(host.ui.messages.size(), 1u);
    EXPECT_EQ(host.ui.messages[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.tabStrip()->isVisible());
    EXPECT_TRUE(form.frame(1)->isVisible());
    EXPECT_TRUE(form.edited());
    EXPECT_EQ(core.dataPath, app.path("User/a.mnkd"));
    EXPECT_EQ(host.changes, 0);
    EXPECT_EQ(form.txtA->text().toStdString(), "new");
}

TEST_F(FormsWindow, CancelAndHelp) {
    open("User/a.mnkd");
    host.shell().status2 = "a.mnkd";
    host.shell().enable(Cmd::Turn, true);
    button("cmdHelp4")->click();
    EXPECT_EQ(host.helps, std::vector<int>{1002});
    button("cmdCancel4")->click();
    EXPECT_EQ(host.shell().status2, "");
    EXPECT_FALSE(host.shell().isEnabled(Cmd::Turn));
    EXPECT_EQ(host.changes, 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(host.ui.dialogs.size() == 1u);
}

TEST_F(FormsWindow, ReminderOnEveryPressIntoTheSizingFieldOnly) {
    open("User/a.mnkd");
    form.tabStrip()->setCurrentIndex(0);
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(form.txtN, Qt::LeftButton);
        QApplication::processEvents();
    }
    QTest::mouseClick(form.txtA, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(host.ui.messages.size(), 3u);
    EXPECT_EQ(host.ui.messages[2].text, "Напоминание");
    EXPECT_EQ(host.ui.messages[2].title, "   VELTA");
    EXPECT_FALSE(form.dimensionChanged());
}

}  // namespace
