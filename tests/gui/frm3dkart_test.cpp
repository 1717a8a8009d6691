// The 3D picture in the real main window: entered from the computation command with a
// 3D option of the variation dialog, turned by the buttons and the mouse; the angle dialog.
#include "graphics/qt/frm3dkart.h"
#include "app/qt/canvaswidget.h"
#include "app/qt/helpviewer.h"
#include "app/qt/mainwindow.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/qt/frmvarpar.h"
#include "graphics/qt/qimagesurface.h"
#include "support/form_test_host.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace velta;
using velta::test::bytesOf;

namespace {

class Picture3DWindow : public test::MainWindowTest {
protected:
    void SetUp() override {
        app.write("User/Ugly.ugl",
                  utf8ToCp1251("Угловые данные\r\n--------------\r\nDFI = 0.01\r\nDTE = 0.02\r\n"
                               "SFI = 0.05\r\nSSCR = 0.5\r\nMSCR = 0.6\r\n"));
        MainWindowTest::SetUp();
    }
    QToolButton* button(const char* name) { return w->findChild<QToolButton*>(name); }
    // Section 1.1 from the shipped sample, computed, then the phase space chosen.
    void pictureOfSection11() {
        computeSample("mnuSymAUto", 11, "Sym_Oscill.mnkd", "Run.mnkd");
        if (HasFatalFailure()) return;
        trigger("mnuVarPar");
        auto* d = w->findChild<VarParDialog*>("frmVarPar");
        ASSERT_NE(d, nullptr);
        d->findChild<QAbstractButton*>("optPhas3")->click();
        d->findChild<QAbstractButton*>("cmdVvod")->click();
        ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
        trigger("mnuIntegr");
        ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    }
    QImage plot() const { return w->surface().image().copy(10, 76, 551, 469); }
};

TEST_F(Picture3DWindow, ComputationWithPhaseSpaceDrawsAndTurns) {
    pictureOfSection11();
    EXPECT_TRUE(button("Right")->isEnabled());
    EXPECT_TRUE(button("Up")->isEnabled());
    EXPECT_TRUE(app.exists("User/Phas.chk"));
    EXPECT_TRUE(app.exists("User/Ugly.chk"));
    const auto chk = readAllLines(app.user() + "/Phas.chk");
    EXPECT_EQ(static_cast<int>(chk.size()), 3 + mdl.NROW);

    const QImage first = plot();
    button("Left")->click();
    const QImage turned = plot();
    EXPECT_NE(first, turned);
    button("Right")->click();
    EXPECT_EQ(plot(), first);  // back to the same view

    // Dragging with the left button turns it as well.
    auto* canvas = w->findChild<CanvasWidget*>("Picture1");
    ASSERT_NE(canvas, nullptr);
    emit canvas->mousePressed(QPoint(200, 200), Qt::LeftButton, Qt::LeftButton);
    emit canvas->mouseMoved(QPoint(230, 200), Qt::LeftButton);
    EXPECT_NE(plot(), first);
    // Without the button held nothing happens.
    const QImage dragged = plot();
    emit canvas->mouseMoved(QPoint(260, 250), Qt::NoButton);
    EXPECT_EQ(plot(), dragged);

    // Back to the physical plane: the arrows go off.
    trigger("mnuVarPar");
    auto* d = w->findChild<VarParDialog*>("frmVarPar");
    d->findChild<QAbstractButton*>("optPhys")->click();
    d->findChild<QAbstractButton*>("cmdVvod")->click();
    EXPECT_FALSE(button("Right")->isEnabled());
}

TEST_F(Picture3DWindow, MissingResultsGiveAMessageAndNoArrows) {
    pictureOfSection11();
    std::filesystem::remove(app.user() + "/Results.mnk");
    trigger("mnuIntegr");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("Results.mnk"), std::string::npos);
    EXPECT_FALSE(button("Right")->isEnabled());
}

TEST_F(Picture3DWindow, AngleDialogShowsAndSavesTheAngles) {
    ui.openFiles = {app.user() + "/Ugly.ugl"};
    trigger("mnu3DKart");
    auto* d = w->findChild<Frm3DKart*>("frm3DKart");
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowTitle(), "   3D-картинка");
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].filter, "Файлы данных (*.ugl)|*.ugl|");
    EXPECT_EQ(d->findChild<QLineEdit*>("txtDFI")->text(), "0.01");
    EXPECT_EQ(d->findChild<QLineEdit*>("txtMSCR")->text(), "0.6");

    d->findChild<QLineEdit*>("txtDFI")->setText("0.02");
    ui.saveFiles = {app.user() + "/Mine.ugl"};
    d->findChild<QAbstractButton*>("cmdInput4")->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(bytesOf(app.user() + "/Mine.ugl"),
              utf8ToCp1251("Угловые данные\r\n--------------\r\nDFI = 0.02\r\nDTE = 0.02\r\nSFI = 0.05\r\n"
                           "SSCR = 0.5\r\nMSCR = 0.6\r\n"));

    // The next picture starts from the saved longitude: 10 * 0.02 * pi/2.
    pictureOfSection11();
    const auto chk = readAllLines(app.user() + "/Ugly.chk");
    ASSERT_GE(chk.size(), 5u);
    EXPECT_EQ(chk[4], "DFI  = 0.02");

    // A bare name is saved with ".ugl", so that the open dialog shows it.
    ui.openFiles = {app.user() + "/Mine.ugl"};
    trigger("mnu3DKart");
    ui.saveFiles = {app.user() + "/Bare"};
    d->findChild<QAbstractButton*>("cmdInput4")->click();
    EXPECT_TRUE(app.exists("User/Bare.ugl"));
    EXPECT_FALSE(app.exists("User/Bare"));

    // A cancelled file choice opens nothing.
    d->hide();
    trigger("mnu3DKart");
    EXPECT_FALSE(d->isVisible());
}

}  // namespace
