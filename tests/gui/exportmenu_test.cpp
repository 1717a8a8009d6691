// "Сохранить рисунок…", "Экспорт модели…" and "Сохранить таблицу CSV…" in "&Данные": when
// they are enabled and what they write, driven through the window with a scripted prompter.
#include "app/qt/helpviewer.h"
#include "app/qt/mainwindow.h"
#include "data/store.h"
#include "data/textfile.h"
#include "support/form_test_host.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace velta;
using velta::test::bytesOf;

namespace {

class ExportMenu : public test::MainWindowTest {
protected:
    QAction* action(const char* name) const { return w->findChild<QAction*>(name); }
    // The items as the user sees them when "&Данные" opens.
    bool enabledWhenOpened(const char* name) {
        emit w->findChild<QMenu*>("mnuDannye")->aboutToShow();
        return action(name)->isEnabled();
    }
    // Section 1.1 read from a shipped sample and computed.
    void computeSample() { MainWindowTest::computeSample("mnuSymAUto", 11, "Sym_Oscill.mnkd", "Run.mnkd"); }
};

TEST_F(ExportMenu, ItemsFollowTheCloseItemAndStartDisabled) {
    const auto items = w->findChild<QMenu*>("mnuDannye")->actions();
    QStringList names, captions;
    for (QAction* a : items) {
        names << a->objectName();
        captions << a->text();
    }
    const int at = static_cast<int>(names.indexOf("mnuSaveFig"));
    ASSERT_GE(at, 2);
    EXPECT_EQ(names[at - 2], "mnuClose");
    EXPECT_TRUE(items[at - 1]->isSeparator());
    EXPECT_EQ(captions.mid(at, 3),
              QStringList({"Сохранить рисунок…", "Экспорт модели…", "Сохранить таблицу CSV…"}));
    for (const char* n : {"mnuSaveFig", "mnuExportModel", "mnuSaveCsv"})
        EXPECT_FALSE(enabledWhenOpened(n)) << n;
}

TEST_F(ExportMenu, AfterARunThePictureTheModelAndTheTableAreSaved) {
    computeSample();
    for (const char* n : {"mnuSaveFig", "mnuExportModel", "mnuSaveCsv"})
        EXPECT_TRUE(enabledWhenOpened(n)) << n;

    const std::string svg = app.path("fig.svg"), ode = app.path("m.ode"), xml = app.path("m.xml"),
                      csv = app.path("t.csv");
    ui.saveFiles = {svg, ode, xml, csv};
    action("mnuSaveFig")->trigger();
    action("mnuExportModel")->trigger();
    action("mnuExportModel")->trigger();
    action("mnuSaveCsv")->trigger();
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    ASSERT_EQ(ui.dialogs.size(), 4u);
    EXPECT_EQ(ui.dialogs[0].folder, app.user());
    EXPECT_NE(ui.dialogs[0].filter.find("*.pdf"), std::string::npos);

    QFile f(QString::fromStdString(svg));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader x(&f);
    while (!x.atEnd()) x.readNext();
    EXPECT_FALSE(x.hasError());
    EXPECT_NE(bytesOf(svg).find("Графики компонент вектора"), std::string::npos);
    EXPECT_NE(bytesOf(ode).find("X1'=ALFA/(1 + BETA*"), std::string::npos);
    EXPECT_NE(bytesOf(xml).find("<rateRule variable=\"X1\">"), std::string::npos);
    EXPECT_EQ(bytesOf(csv).substr(0, 11), "t,X1,X2,X3\n");

    // A closed canvas shows no picture to save.
    action("mnuClose")->trigger();
    EXPECT_FALSE(enabledWhenOpened("mnuSaveFig"));
}

TEST_F(ExportMenu, ASectionWithoutEquationsSaysSoAndAsksForNoFile) {
    action("mnuUstCirc")->trigger();  // section 3
    ASSERT_TRUE(enabledWhenOpened("mnuExportModel"));
    action("mnuExportModel")->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("нет системы уравнений"), std::string::npos) << ui.messages[0].text;
    EXPECT_TRUE(ui.dialogs.empty());
}

}  // namespace
