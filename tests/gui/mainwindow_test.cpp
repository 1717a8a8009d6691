// The main window driven through its menus, buttons and combo box (found by object name),
// over a temporary application folder, with a scripted prompter answering every dialog.
#include "app/qt/mainwindow.h"
#include "app/qt/helpviewer.h"
#include "app/qt/qtprompter.h"
#include "app/qt/textview.h"
#include "data/catalogue.h"
#include "data/error.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/qt/qimagesurface.h"
#include "support/form_test_host.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using namespace velta;
using velta::test::bytesOf;
namespace fs = std::filesystem;

namespace {

// Every control switched by the command state: menu items, buttons, drop-down items.
const char* const kSwitched[] = {
    "mnuTable",  "Table",     "mnuFormMod",   "mnuBankDan", "mnuOpen",     "Open",        "mnuInput",
    "Input",     "mnuIntegr", "Integr",       "mnuVarPar",  "VarPar",      "mnuOpenResl", "Results",
    "mnuDelF",   "mnuSpectr", "mnuOpenQsolv", "OpenQsolv",  "mnuOpenSpct", "OpenSpectr",  "mnuOpenStabl",
    "OpenStabl", "Combo1",    "Right",        "Down",       "Left",        "Up"};

// Never disabled outside a computation.
const char* const kAlways[] = {"mnuSymAUto",     "mnuKhaos", "mnuExit", "mnuClose", "mnuFonBel", "mnuRefresh",
                               "mnuHelp_Topics", "mnuAbout", "Close",   "About",    "Exit",      "Sections"};

class Window : public test::MainWindowTest {
protected:
    QAction* action(const char* name) const {
        auto* a = w->findChild<QAction*>(name);
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    QToolButton* button(const char* name) const {
        auto* b = w->findChild<QToolButton*>(name);
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    QComboBox* combo() const { return w->findChild<QComboBox*>("Combo1"); }
    TextView* view() const { return w->findChild<TextView*>("rtbText1"); }
    bool enabledByName(const char* name) const {
        if (auto* a = w->findChild<QAction*>(name)) return a->isEnabled();
        if (auto* b = w->findChild<QToolButton*>(name)) return b->isEnabled();
        if (auto* c = w->findChild<QComboBox*>(name)) return c->isEnabled();
        ADD_FAILURE() << "no control " << name;
        return false;
    }
    // The switched controls that are enabled now.
    std::set<std::string> enabledNow() const {
        std::set<std::string> on;
        for (const char* n : kSwitched)
            if (enabledByName(n)) on.insert(n);
        return on;
    }
    void expectAlwaysEnabled() const {
        for (const char* n : kAlways) EXPECT_TRUE(enabledByName(n)) << n;
    }
    void pickTask(const QString& item) {
        const int i = combo()->findText(item);
        ASSERT_GE(i, 0) << item.toStdString();
        combo()->setCurrentIndex(i);
        emit combo()->activated(i);
    }
    std::string userFile(const std::string& name) const { return app.user() + "/" + name; }
    // As the commands before would leave them (a disabled item cannot be chosen).
    void enable(std::initializer_list<Cmd> cmds) {
        for (Cmd c : cmds) w->shell().enable(c, true);
        w->commandsChanged();
    }
};

// ---------------------------------------------------------------- layout and tables

TEST_F(Window, StartStateLayoutAndCaption) {
    EXPECT_EQ(w->objectName(), "frmUni_00");
    EXPECT_EQ(w->windowTitle(), "  Пакет программ  VELTA");
    EXPECT_EQ(w->centralWidget()->size(), QSize(800, 600));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());  // fixed border

    EXPECT_TRUE(enabledNow().empty());
    expectAlwaysEnabled();
    EXPECT_FALSE(button("Stop")->isEnabled());
    EXPECT_EQ(combo()->count(), 0);
    EXPECT_EQ(combo()->placeholderText(), "Выбрать директорию задачи");
    EXPECT_TRUE(action("mnuFonBel")->isChecked());
    EXPECT_FALSE(action("mnuFonCher")->isChecked());

    auto* welcome = w->findChild<QFrame*>("fra_Uni00");
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(welcome->isVisible());
    EXPECT_EQ(welcome->pos(), QPoint(173, 95));
    EXPECT_FALSE(view()->isVisible());
    EXPECT_EQ(view()->geometry(), QRect(10, 76, 774, 470));
    EXPECT_EQ(w->findChild<QWidget*>("Picture1")->geometry(), QRect(10, 76, 774, 470));
    auto* bar = w->findChild<QProgressBar*>("prbPhas");
    EXPECT_EQ(bar->geometry(), QRect(588, 517, 181, 13));
    EXPECT_FALSE(bar->isVisible());
    const QPoint comboAt = combo()->mapTo(w->centralWidget(), QPoint(0, 0));
    EXPECT_NEAR(comboAt.x(), 68, 4);
    EXPECT_EQ(combo()->currentText(), "");
    EXPECT_EQ(w->statusPanel(1), "");
    EXPECT_FALSE(w->statusPanel(3).isEmpty());  // date
    EXPECT_FALSE(w->statusPanel(4).isEmpty());  // time
}

TEST_F(Window, MenuTreeCaptionsAndSeparators) {
    QStringList tops;
    for (QAction* a : w->menuBar()->actions()) tops << a->text();
    EXPECT_EQ(tops, QStringList({"&Разделы", "&Задачи", "&Данные", "&Вычисления", "&Настройка", "Р&езультаты",
                                 "&Справка"}));
    const std::pair<const char*, const char*> captions[] = {
        {"mnuSymAUto", "&Автономная система"},
        {"mnuGenAuto", "&Автономная система. Задача Коши"},
        {"mnuMNN", "&1. MNN"},
        {"mnuSyn1Zap", "&Уравнение с запаздыванием"},
        {"mnuKhaos", "&9. Колебания хаотического типа в ГГС"},
        {"mnuExit", "В&ыход"},
        {"mnuTable", "&Выбрать файл и открыть таблицы"},
        {"mnuIntegr", "С&чёт [и графика]"},
        {"mnuVarPar", "В&арьирование параметров"},
        {"mnuFonCher", "&Чёрный"},
        {"mnu3DKart", "&Данные 3D-картинки"},
        {"mnuOpenResl", "Открыть файл  &Results"},
        {"mnuOpenStabl", "Открыть файл  S&tabl"},
        {"mnuDelF", "&Удалить файлы результатов"},
        {"mnuAbout", "О &пакете"},
    };
    for (const auto& [name, caption] : captions) EXPECT_EQ(action(name)->text(), QString(caption)) << name;
    EXPECT_EQ(w->findChild<QMenu*>("mnuStart")->title(), "&Стартовое решение ");

    // "&Данные": the item, a separator, two items, a separator and the three export items.
    const auto data = w->findChild<QMenu*>("mnuDannye")->actions();
    ASSERT_EQ(data.size(), 8);
    EXPECT_TRUE(data[1]->isSeparator());
    EXPECT_EQ(data[2]->objectName(), "mnuOpen");
    const auto help = w->findChild<QMenu*>("mnuSpravka")->actions();
    ASSERT_EQ(help.size(), 3);
    EXPECT_TRUE(help[1]->isSeparator());

    auto* formBank = w->findChild<QMenu*>("mnuFormBank");
    ASSERT_NE(formBank, nullptr);
    EXPECT_EQ(formBank->title(), "Форм_Банк");
    ASSERT_EQ(formBank->actions().size(), 1);
    EXPECT_EQ(formBank->actions()[0]->text(), "Сохранить");
}

TEST_F(Window, ToolTipsAndResultsDropDown) {
    const std::pair<const char*, const char*> tips[] = {{"Sections", "Выбрать раздел"},
                                                        {"Table", "Выбрать файл и открыть таблицы"},
                                                        {"Open", "Открыть файл "},
                                                        {"Integr", "Счёт [и графика]"},
                                                        {"Up", "Вверх"},
                                                        {"Results", "Открыть файл результатов"},
                                                        {"Exit", "Выход из пакета"},
                                                        {"Stop", "Остановить счёт"}};
    for (const auto& [key, tip] : tips) EXPECT_EQ(button(key)->toolTip(), QString(tip)) << key;
    QStringList items, texts;
    for (QAction* a : button("Results")->menu()->actions()) {
        items << a->objectName();
        texts << a->text();
    }
    EXPECT_EQ(items, QStringList({"OpenQsolv", "OpenResults", "OpenSpectr", "OpenStabl"}));
    // Shown in Russian, as the menu items of the same commands.
    EXPECT_EQ(texts, QStringList({"Открыть файл  Qsolv", "Открыть файл  Results", "Открыть файл  Spectr",
                                  "Открыть файл  Stabl"}));
}

TEST_F(Window, LongCaptionsAreElidedWithTheWholeTextAsToolTip) {
    trigger("mnuDiagUstG");
    auto* panel = w->findChild<QLabel*>("Panel1");
    ASSERT_NE(panel, nullptr);
    const QString caption = QString::fromStdString(findSection(217)->caption);
    EXPECT_EQ(w->statusPanel(1), caption);
    EXPECT_EQ(panel->toolTip(), caption);
    // Too long for the panel, it neither widens the window nor pushes the others out.
    const QSize before = w->size();
    QApplication::processEvents();
    EXPECT_EQ(w->size(), before);
    EXPECT_GT(panel->width(), 330);  // the caption panel has the room the others leave
    for (int i : {2, 3, 4}) {
        auto* other = w->findChild<QLabel*>(QString("Panel%1").arg(i));
        EXPECT_TRUE(other->isVisible()) << i;
        EXPECT_LE(other->geometry().right(), w->statusBar()->width()) << i;
    }
}

TEST_F(Window, BoxesBelongToTheWindowThatRaisedThem) {
    trigger("mnuSymAUto");
    QWidget* form = w->sectionWindow(11)->widget();
    // The section window is owned by the main window and stays above it: a window of the
    // dialog type, the main window's transient.
    EXPECT_EQ(form->parentWidget(), w.get());
    EXPECT_EQ(form->windowType(), Qt::Dialog);

    // The owner of the next box, which is then closed.
    QWidget* owner = nullptr;
    auto closeNextBox = [&] {
        QTimer::singleShot(0, w.get(), [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            owner = box ? box->parentWidget() : nullptr;
            if (box) box->reject();
        });
    };
    w->setPrompter(nullptr);  // the window's own dialogs
    form->show();
    ASSERT_NE(form->windowHandle(), nullptr);
    EXPECT_EQ(form->windowHandle()->transientParent(), w->windowHandle());
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    closeNextBox();
    w->dialogs().message("После изменения  NDIM  не забудьте");
    EXPECT_EQ(owner, form);
    form->activateWindow();  // the offscreen platform does not give the activation back
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    closeNextBox();
    w->dialogs().inputBox("Вопрос", "   VELTA");
    EXPECT_EQ(owner, form);
    EXPECT_TRUE(w->dialogs().emptyAnswerWasCancel());

    // Raised from the main window, a box belongs to the main window.
    form->hide();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    closeNextBox();
    w->dialogs().message("Файлы удалены");
    EXPECT_EQ(owner, w.get());
    w->setPrompter(&ui);
}

TEST_F(Window, NotesOfARunGoToPanel1AndThePanelsStay) {
    trigger("mnuRND");
    w->setPrompter(nullptr);  // the window's own dialogs: notes go to the status bar
    w->dialogs().note(" Число продолжений: 3");
    EXPECT_EQ(w->statusPanel(1), " Число продолжений: 3");
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(w->findChild<QLabel*>(QString("Panel%1").arg(i))->isVisible()) << i;
    EXPECT_TRUE(w->statusBar()->currentMessage().isEmpty());
    // The next mirroring of the state (the end of a run, any command) restores the caption
    // and keeps the last note in the tool tip.
    w->commandsChanged();
    EXPECT_EQ(w->statusPanel(1).toStdString(), findSection(215)->caption);
    EXPECT_TRUE(w->findChild<QLabel*>("Panel1")->toolTip().endsWith(" Число продолжений: 3"));
    w->setPrompter(&ui);
}

TEST_F(Window, SectionDropDownListsTheSectionsAndSelects) {
    QMenu* menu = button("Sections")->menu();
    ASSERT_NE(menu, nullptr);
    const auto items = menu->actions();
    ASSERT_EQ(items.size(), 17);
    for (std::size_t i = 0; i < catalogue().size(); ++i)
        EXPECT_EQ(items[int(i)]->text().toStdString(), catalogue()[i].dropText) << i;
    EXPECT_EQ(items[9]->text(), "Синтез\\Кодирование одним ГЭ\\Автономная система   ");

    items[1]->trigger();  // the delay section of 1.x
    EXPECT_EQ(w->shell().section, 12);
    EXPECT_EQ(w->statusPanel(1).toStdString(), findSection(12)->caption);
    // A click on the button itself selects nothing.
    button("Sections")->click();
    EXPECT_EQ(w->shell().section, 12);
}

// ---------------------------------------------------------------- command state

TEST_F(Window, CommandStateAfterSelectingEachGroup) {
    trigger("mnuSymAUto");  // group A
    EXPECT_EQ(enabledNow(), (std::set<std::string>{"mnuTable", "Table", "mnuFormMod", "mnuBankDan"}));
    expectAlwaysEnabled();
    EXPECT_FALSE(w->findChild<QFrame*>("fra_Uni00")->isVisible());
    EXPECT_EQ(w->statusPanel(1), "Симметричные ГГС\\Автономная система");
    EXPECT_EQ(mdl.RESEXT, "mnk");

    trigger("mnuAssorty");  // group B
    EXPECT_EQ(enabledNow(), (std::set<std::string>{"mnuFormMod", "mnuBankDan", "mnuInput", "Input"}));
    EXPECT_EQ(w->statusPanel(1), "Ассорти    ");

    trigger("mnuSymZap");  // group D: the task folder first
    EXPECT_EQ(enabledNow(), (std::set<std::string>{"mnuFormMod", "mnuBankDan", "Combo1"}));
    QTest::qWait(50);  // a long caption does not widen the window
    EXPECT_EQ(w->width(), 800);
    EXPECT_EQ(combo()->currentText(), "Tau0");
    pickTask("Tau0");
    EXPECT_EQ(enabledNow(),
              (std::set<std::string>{"mnuFormMod", "mnuBankDan", "Combo1", "mnuTable", "Table"}));
    EXPECT_EQ(mdl.TASKDIR, "Tau0");
    expectAlwaysEnabled();
}

TEST_F(Window, TaskListStopsAtTheFirstGap) {
    app.mkdir("User/Mnk/Tau1");
    app.mkdir("User/Mnk/Tau2");
    trigger("mnuSymZap");
    QStringList items;
    for (int i = 0; i < combo()->count(); ++i) items << combo()->itemText(i);
    EXPECT_EQ(items, QStringList({"Tau0", "Tau1", "Tau2"}));
    EXPECT_EQ(mdl.TASKDIR, "");  // nothing picked yet
    EXPECT_FALSE(enabledByName("mnuTable"));

    fs::remove_all(app.path("User/Mnk/Tau1"));
    trigger("mnuSymZap");
    ASSERT_EQ(combo()->count(), 1);
    EXPECT_EQ(combo()->itemText(0), "Tau0");
}

TEST_F(Window, SameSectionTwiceRedoesTheSelection) {
    app.mkdir("User/Mnk/Tau1");
    trigger("mnuSymZap");
    pickTask("Tau1");
    ASSERT_TRUE(enabledByName("Table"));
    trigger("mnuSymZap");
    EXPECT_FALSE(enabledByName("Table"));
    EXPECT_EQ(mdl.TASKDIR, "");
    EXPECT_EQ(combo()->currentText(), "Tau0");
    EXPECT_EQ(combo()->count(), 2);
}

TEST_F(Window, SelectionResetsPlottedComponentsButKeepsTheirNumber) {
    mdl.IC(1) = 7;
    mdl.IC(2) = 5;
    mdl.IC(3) = 4;
    mdl.IC(4) = 9;
    mdl.NCOMP = 4;
    trigger("mnuGenAuto");
    EXPECT_EQ(mdl.IC(1), 1);
    EXPECT_EQ(mdl.IC(2), 2);
    EXPECT_EQ(mdl.IC(3), 3);
    EXPECT_EQ(mdl.IC(4), 9);
    EXPECT_EQ(mdl.NCOMP, 4);
}

TEST_F(Window, RefreshGoesBackToTheStartState) {
    app.mkdir("User/Mnk/Tau1");
    trigger("mnuSymZap");
    pickTask("Tau1");
    w->surface().fillBox(20, 80, 100, 120, 0x0000FF);
    w->canvasChanged();
    trigger("mnuRefresh");
    EXPECT_TRUE(enabledNow().empty());
    expectAlwaysEnabled();
    EXPECT_TRUE(w->findChild<QFrame*>("fra_Uni00")->isVisible());
    EXPECT_EQ(w->statusPanel(1), "");
    EXPECT_EQ(w->statusPanel(2), "");
    EXPECT_EQ(combo()->count(), 0);
    EXPECT_EQ(combo()->currentText(), "");
    EXPECT_FALSE(w->findChild<QWidget*>("Picture1")->isVisible());
    EXPECT_EQ(w->surface().image().pixelColor(50, 100), w->surface().image().pixelColor(5, 5));  // cleared
    EXPECT_EQ(w->shell().section, 12);  // still recorded
}

TEST_F(Window, BackgroundColourItemsCheckEachOther) {
    trigger("mnuFonCher");
    EXPECT_TRUE(action("mnuFonCher")->isChecked());
    EXPECT_FALSE(action("mnuFonBel")->isChecked());
    EXPECT_FALSE(w->shell().whiteBackground);
    trigger("mnuFonBel");
    EXPECT_TRUE(action("mnuFonBel")->isChecked());
    EXPECT_FALSE(action("mnuFonCher")->isChecked());
    EXPECT_TRUE(w->shell().whiteBackground);
}

TEST_F(Window, TableRunsTheOpenProcedureThenEnablesOpen) {
    trigger("mnuSymAUto");
    enable({Cmd::VarPar});
    trigger("mnuTable");  // the section's open dialog: cancelled by the script
    ASSERT_FALSE(ui.dialogs.empty());
    EXPECT_FALSE(ui.dialogs.back().save);
    EXPECT_EQ(ui.dialogs.back().filter, "Файлы данных (*.mnkd)|*.mnkd|");
    EXPECT_TRUE(enabledByName("mnuOpen"));
    EXPECT_TRUE(enabledByName("Open"));
    EXPECT_FALSE(enabledByName("mnuVarPar"));
    EXPECT_FALSE(enabledByName("mnuInput"));
}

// ---------------------------------------------------------------- text view commands

TEST_F(Window, OpenFileShowsItAndNamesItInThePanel) {
    app.write("User/Sym.mnkd", utf8ToCp1251("NDIM = 3\r\nALFA = 20\r\n"));
    trigger("mnuSymAUto");
    enable({Cmd::Open, Cmd::Input, Cmd::Integr});

    ui.openFiles = {userFile("Sym.mnkd")};
    trigger("mnuOpen");
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(fs::path(ui.dialogs[0].folder), fs::path(app.user()));
    EXPECT_EQ(ui.dialogs[0].filter,
              "Файлы данных (*.mnkd)|*.mnkd|Симм. ГГС; авто (*.mnk)|*.mnk|"
              "Файлы контроля (*.chk)|*.chk|Текстовые файлы (*.txt)|*.txt|"
              "Все файлы (*.*)|*.*|");
    EXPECT_TRUE(view()->isVisible());
    EXPECT_EQ(view()->toPlainText(), "NDIM = 3\nALFA = 20\n");
    EXPECT_EQ(view()->background(), QColor(238, 238, 255));
    EXPECT_EQ(w->statusPanel(2), "\\Sym.mnkd");
    EXPECT_FALSE(enabledByName("mnuInput"));
    EXPECT_FALSE(enabledByName("mnuIntegr"));
    EXPECT_TRUE(ui.messages.empty());

    // A file that cannot be read ends the command silently.
    view()->hide();
    w->shell().textViewVisible = false;
    ui.openFiles = {userFile("nothing.mnkd")};
    trigger("mnuOpen");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(view()->isVisible());
    EXPECT_EQ(w->statusPanel(2), "\\Sym.mnkd");
}

TEST_F(Window, OpenFileInATaskFolderShowsTheBareName) {
    app.mkdir("User/Mnk/Tau1");
    app.write("User/Mnk/Tau1/T.mnzd", "x\r\n");
    trigger("mnuSymZap");
    pickTask("Tau1");
    enable({Cmd::Open});
    ui.openFiles = {userFile("Mnk/Tau1/T.mnzd")};
    trigger("mnuOpen");
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(fs::path(ui.dialogs[0].folder), fs::path(app.path("User/Mnk/Tau1")));
    EXPECT_EQ(w->statusPanel(2), "T.mnzd");
}

TEST_F(Window, ResultCommandsShowTheirFilesOrSayTheyAreMissing) {
    trigger("mnuSymAUto");
    enable({Cmd::OpenResl, Cmd::OpenQsolv});
    trigger("mnuOpenResl");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Файл " + w->shell().resultsPath() + " не найден");
    EXPECT_FALSE(view()->isVisible());

    app.write("User/Results.mnk", "  T        X(1)\r\n  0.0      1.0\r\n");
    trigger("mnuOpenResl");
    EXPECT_TRUE(view()->isVisible());
    EXPECT_EQ(view()->toPlainText(), "  T        X(1)\n  0.0      1.0\n");
    EXPECT_EQ(view()->background(), QColor(255, 238, 238));
    EXPECT_TRUE(view()->isReadOnly());

    // Section 1.1 has no continuation file: nothing happens.
    trigger("mnuOpenQsolv");
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(view()->toPlainText(), "  T        X(1)\n  0.0      1.0\n");

    trigger("mnuClose");
    EXPECT_FALSE(view()->isVisible());
    EXPECT_FALSE(w->findChild<QWidget*>("Picture1")->isVisible());
}

TEST_F(Window, RightClickOnAResultFileWritesNothing) {
    const std::string bytes = "  T        X(1)\r\n  0.0      1.0\r\n";
    app.write("User/Results.mnk", bytes);
    trigger("mnuSymAUto");
    enable({Cmd::OpenResl});
    trigger("mnuOpenResl");
    ASSERT_TRUE(view()->isVisible());
    const auto before = fs::last_write_time(userFile("Results.mnk"));
    QTest::mouseClick(view()->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(bytesOf(userFile("Results.mnk")), bytes);
    EXPECT_EQ(fs::last_write_time(userFile("Results.mnk")), before);
    EXPECT_FALSE(w->findChild<QMenu*>("mnuFormBank")->isVisible());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Window, DataBankTextIsEditedAndSavedByARightClick) {
    app.write("User/Z_Bank/СимАвто_Банк.txt", utf8ToCp1251("Банк данных\r\nALFA = 20\r\n"));
    trigger("mnuSymAUto");
    trigger("mnuBankDan");
    ASSERT_TRUE(view()->isVisible());
    EXPECT_EQ(view()->toPlainText(), "Банк данных\nALFA = 20\n");
    EXPECT_EQ(view()->background(), QColor(238, 255, 238));
    EXPECT_FALSE(view()->isReadOnly());

    // Right-clicking an unchanged text writes the same bytes back (no extra line).
    QTest::mouseClick(view()->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(bytesOf(userFile("Z_Bank/СимАвто_Банк.txt")), utf8ToCp1251("Банк данных\r\nALFA = 20\r\n"));
    auto* menu = w->findChild<QMenu*>("mnuFormBank");
    EXPECT_TRUE(menu->isVisible());
    menu->close();

    view()->setPlainText("Банк данных\nALFA = 25\nBETA = 1\n");
    QTest::mouseClick(view()->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    menu->close();
    EXPECT_EQ(bytesOf(userFile("Z_Bank/СимАвто_Банк.txt")),
              utf8ToCp1251("Банк данных\r\nALFA = 25\r\nBETA = 1\r\n"));

    // Shown again: the edited text.
    enable({Cmd::OpenResl});
    trigger("mnuOpenResl");  // missing: a message, the view stays
    EXPECT_EQ(view()->kind(), TextView::Kind::Bank);
    trigger("mnuBankDan");
    EXPECT_EQ(view()->toPlainText(), "Банк данных\nALFA = 25\nBETA = 1\n");
}

TEST_F(Window, ModelTextsAreNamedByTheSectionFolder) {
    trigger("mnuSymZap");
    trigger("mnuFormMod");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("СимЗап.txt"), std::string::npos);
    EXPECT_EQ(ui.messages[0].text.rfind("Файл ", 0), 0u);
    EXPECT_FALSE(view()->isVisible());

    app.write("User/Z_Bank/СимЗап.txt", utf8ToCp1251("Модель с запаздыванием\r\n"));
    app.write("User/Z_Bank/СимЗап_Банк.txt", utf8ToCp1251("Банк\r\n"));
    trigger("mnuFormMod");
    EXPECT_EQ(view()->toPlainText(), "Модель с запаздыванием\n");
    trigger("mnuBankDan");
    EXPECT_EQ(view()->toPlainText(), "Банк\n");
}

TEST_F(Window, DeletingResultsKeepsDataBankAndAngleFiles) {
    const char* const gone[] = {"Results.mnk", "Input.chk", "Qsolv.srg", "Spectr.stb", "Ugly.chk"};
    const char* const kept[] = {"Results.cha", "Ugly.ugl", "Sym.mnkd", "Z_Bank/СимАвто.txt"};
    for (const char* f : gone) app.write(std::string("User/") + f, "x\r\n");
    for (const char* f : kept) app.write(std::string("User/") + f, "x\r\n");
    trigger("mnuSymAUto");
    enable({Cmd::OpenResl, Cmd::DelF, Cmd::OpenQsolv, Cmd::OpenSpct, Cmd::OpenStabl});

    trigger("mnuDelF");
    for (const char* f : gone) EXPECT_FALSE(app.exists(std::string("User/") + f)) << f;
    for (const char* f : kept) EXPECT_TRUE(app.exists(std::string("User/") + f)) << f;
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Файлы удалены");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(ui.messages[0].title, "   VELTA");
    EXPECT_EQ(enabledNow(), (std::set<std::string>{"mnuTable", "Table", "mnuFormMod", "mnuBankDan"}));
}

TEST_F(Window, PluggedCommandsRunAndTheirStateIsMirrored) {
    trigger("mnuSymAUto");
    enable({Cmd::VarPar});
    int turns = 0;
    w->setCommand("mnuVarPar", [&] { w->shell().enable(Cmd::Turn, true); });
    w->setCommand("Right", [&] { ++turns; });
    button("VarPar")->click();
    EXPECT_TRUE(enabledByName("Right"));
    EXPECT_TRUE(enabledByName("Up"));
    button("Right")->click();
    EXPECT_EQ(turns, 1);

    // A failing command reports its message; the package goes on.
    w->setCommand("mnu3DKart", [] { throw VeltaError("Файл C:\\Ugly.ugl кончился раньше времени"); });
    trigger("mnu3DKart");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Файл C:\\Ugly.ugl кончился раньше времени");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
    trigger("mnuClose");  // turning buttons off again
    EXPECT_FALSE(enabledByName("Right"));
}

TEST_F(Window, ExamplesDocumentMissingSaysSo) {
    trigger("mnuPriZad");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Документ VELTA_D.doc не найден");
}

// ---------------------------------------------------------------- a computation

class Run : public Window {
protected:
    // Section 1.1 entered from a shipped sample with the given end time.
    void enterSample(const std::string& tmax) {
        std::string text = bytesOf(test::shipped("Sym_Oscill.mnkd").string());
        const auto at = text.find("TMAX = ");
        ASSERT_NE(at, std::string::npos);
        text.replace(at, text.find('\r', at) - at, "TMAX = " + tmax);
        enterData("mnuSymAUto", 11, "Run.mnkd", text);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(enabledByName("mnuIntegr")) << (ui.messages.empty() ? "" : ui.messages[0].text);
    }
};

TEST_F(Run, ComputationDrawsAndEnablesTheResults) {
    enterSample("12");
    trigger("mnuIntegr");
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    EXPECT_TRUE(enabledByName("mnuOpenResl"));
    EXPECT_TRUE(enabledByName("Results"));
    EXPECT_TRUE(enabledByName("mnuDelF"));
    EXPECT_TRUE(enabledByName("mnuVarPar"));
    EXPECT_FALSE(button("Stop")->isEnabled());
    EXPECT_FALSE(w->running());
    EXPECT_TRUE(w->findChild<QWidget*>("Picture1")->isVisible());
    EXPECT_TRUE(app.exists("User/Results.mnk"));
    // Something other than the background was drawn in the plot.
    const QImage img = w->surface().image().copy(62, 91, 462, 439);
    const QColor back = img.pixelColor(img.width() - 1, img.height() - 1);
    int drawn = 0;
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3) drawn += img.pixelColor(x, y) != back;
    EXPECT_GT(drawn, 50);
}

TEST_F(Run, StopEndsTheRunWithItsMessageAndRestoresTheCommands) {
    enterSample("200000");
    std::set<std::string> during;
    bool stopEnabled = false, tableEnabled = true, sectionsEnabled = true;
    int paints = 0;
    struct Counter : QObject {
        int* n;
        explicit Counter(int* c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++*n;
            return false;
        }
    } counter(&paints);
    w->findChild<QWidget*>("Picture1")->installEventFilter(&counter);
    QTimer::singleShot(300, w.get(), [&] {
        during = enabledNow();
        stopEnabled = button("Stop")->isEnabled();
        tableEnabled = action("mnuSymAUto")->isEnabled() && w->menuBar()->actions()[0]->isEnabled();
        sectionsEnabled = button("Sections")->isEnabled();
        QTest::mouseClick(button("Stop"), Qt::LeftButton);
    });
    trigger("mnuIntegr");
    EXPECT_TRUE(during.empty());
    EXPECT_TRUE(stopEnabled);
    EXPECT_FALSE(tableEnabled);
    EXPECT_FALSE(sectionsEnabled);
    EXPECT_GE(paints, 2);  // the canvas was repainted while the run went on

    // A stop is the user's decision, not a failure: an information box, no question.
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Счёт прерван пользователем");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Information);
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_FALSE(w->running());
    EXPECT_FALSE(button("Stop")->isEnabled());
    // The rows written can be opened, also after a first run; the run can be repeated.
    EXPECT_TRUE(enabledByName("mnuOpenResl"));
    EXPECT_TRUE(enabledByName("Results"));
    EXPECT_TRUE(enabledByName("mnuIntegr"));
    EXPECT_TRUE(enabledByName("mnuTable"));
    EXPECT_TRUE(button("Sections")->isEnabled());
    // The results file was closed with the rows written so far.
    const std::string results = bytesOf(userFile("Results.mnk"));
    EXPECT_GT(results.size(), 0u);
    EXPECT_EQ(results.substr(results.size() - 2), "\r\n");
}

TEST_F(Run, EscapeAsksBeforeItStopsTheRun) {
    enterSample("200000");
    // The first Esc is answered "No" and the run goes on; the second "Yes" stops it.
    ui.yesNo = {false, true};
    bool runningAfterNo = false;
    QTimer::singleShot(200, w.get(), [&] {
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QTimer::singleShot(200, w.get(), [&] {
            runningAfterNo = w->running();
            QTest::keyClick(w.get(), Qt::Key_Escape);
        });
    });
    trigger("mnuIntegr");
    EXPECT_TRUE(runningAfterNo);
    EXPECT_EQ(ui.questions, std::vector<std::string>({"Прервать счёт?", "Прервать счёт?"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Счёт прерван пользователем");
    EXPECT_FALSE(w->running());
}

TEST_F(Run, BlackSchemeLeavesNoWhiteStripBetweenThePanels) {
    enterSample("1");
    trigger("mnuFonCher");
    trigger("mnuIntegr");
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    const QImage& img = w->surface().image();
    for (int y : {80, 300, 540})
        for (int x = 562; x <= 572; ++x) EXPECT_EQ(img.pixelColor(x, y), QColor(Qt::black)) << x << "," << y;
}

// ---------------------------------------------------------------- help and closing

class Help : public Window {
protected:
    void installHelp() {
        fs::copy_file(std::string(VELTA_SOURCE_DIR) + "/help/Help3.chm", app.path("Help3.chm"));
    }
    QTextBrowser* browser() const {
        return HelpViewer::current() ? HelpViewer::current()->findChild<QTextBrowser*>("helpBrowser")
                                     : nullptr;
    }
};

TEST_F(Help, TopicsOpenTheirPagesAndLinksFollow) {
    installHelp();
    EXPECT_EQ(mdl.HELPWND, 0);
    w->showHelp(1001);
    ASSERT_NE(HelpViewer::current(), nullptr);
    EXPECT_TRUE(HelpViewer::current()->isVisible());
    EXPECT_NE(mdl.HELPWND, 0);
    EXPECT_EQ(HelpViewer::current()->currentPage(), "/varpar.htm");
    EXPECT_TRUE(HelpViewer::current()->pageText().contains("Варьирование параметров"));

    w->showHelp(1002);
    EXPECT_EQ(HelpViewer::current()->currentPage(), "/input.htm");
    EXPECT_TRUE(HelpViewer::current()->pageText().contains("Окна ввода исходных данных"));

    trigger("mnuHelp_Topics");
    EXPECT_EQ(HelpViewer::current()->currentPage(), "/index.htm");
    EXPECT_TRUE(HelpViewer::current()->pageText().contains("Пакет программ VELTA"));
    emit browser()->anchorClicked(QUrl("chm:/results.htm"));
    EXPECT_EQ(HelpViewer::current()->currentPage(), "/results.htm");
    EXPECT_TRUE(browser()->isBackwardAvailable());
}

TEST_F(Help, ClosingThePackageClosesTheViewer) {
    installHelp();
    w->showHelp(1002);
    ASSERT_NE(HelpViewer::current(), nullptr);
    w->close();
    EXPECT_EQ(HelpViewer::current(), nullptr);
    EXPECT_EQ(mdl.HELPWND, 0);
}

TEST_F(Help, MissingHelpFileIsReportedInTheViewer) {
    w->showHelp(0);
    ASSERT_NE(HelpViewer::current(), nullptr);
    EXPECT_TRUE(HelpViewer::current()->pageText().contains("не найден"));
    EXPECT_EQ(HelpViewer::current()->currentPage(), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(HelpArchive, MapsTopicsAndDefaultPage) {
    ChmArchive chm(QString(VELTA_SOURCE_DIR) + "/help/Help3.chm");
    ASSERT_TRUE(chm.isOpen());
    EXPECT_EQ(chm.defaultPage(), "/index.htm");
    EXPECT_EQ(chm.topicPage(1001), "/varpar.htm");
    EXPECT_EQ(chm.topicPage(1002), "/input.htm");
    EXPECT_EQ(chm.topicPage(4711), "");
    QByteArray page;
    EXPECT_TRUE(chm.read("/input.htm", page));
    EXPECT_FALSE(chm.read("/nothing.htm", page));
}

// ---------------------------------------------------------------- the dialogs' filter

TEST(QtPrompterFilter, PairsBecomeFileDialogFilters) {
    EXPECT_EQ(QtPrompter::qtFilter("Файлы данных (*.mnkd)|*.mnkd|Все файлы (*.*)|*.*|"),
              "Файлы данных (*.mnkd);;Все файлы (*)");
    EXPECT_EQ(QtPrompter::qtFilter("Тексты|*.txt;*.doc|"), "Тексты (*.txt *.doc)");
    EXPECT_EQ(QtPrompter::qtFilter(""), "");
}

}  // namespace
