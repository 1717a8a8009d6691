// The variation dialogs inside the real main window, with a scripted prompter: opened by
// "В&арьирование параметров" for the current section, driven by their controls.
#include "graphics/qt/frmvarpar.h"
#include "app/qt/helpviewer.h"
#include "app/qt/mainwindow.h"
#include "data/numtext.h"
#include "data/store.h"
#include "graphics/qt/qimagesurface.h"
#include "support/form_test_host.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace velta;
using velta::test::bytesOf;

namespace {

class VarParWindow : public test::MainWindowTest {
protected:
    // Section 1.1 entered from the shipped sample, computed once (TMAX = 12).
    void computeSection11(const char* sample = "Sym_Oscill.mnkd") { computeSample("mnuSymAUto", 11, sample); }
    // A section entered from a shipped sample through its menu item, computed once.
    void computeSample(const char* menu, int code, const std::string& sample) {
        MainWindowTest::computeSample(menu, code, sample);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(w->findChild<QAction*>("mnuVarPar")->isEnabled());
    }
    // The picture kinds checked in a dialog, by object name.
    QStringList checkedKinds(VarParDialog* d) {
        QStringList on;
        for (const char* n : {"optPhys", "optPhas", "optPuan", "optPhas3", "optPuan3"})
            if (auto* b = d->findChild<QRadioButton*>(n); b && b->isChecked()) on << n;
        return on;
    }
    // The picture kinds stored in the shell for a dialog.
    static QStringList storedKinds(const VarParOptions& o) {
        QStringList on;
        if (o.optPhys) on << "optPhys";
        if (o.optPhas) on << "optPhas";
        if (o.optPuan) on << "optPuan";
        if (o.optPhas3) on << "optPhas3";
        if (o.optPuan3) on << "optPuan3";
        return on;
    }
    // A section selected with the variation command made available.
    void selectWithVarPar(const char* menu) {
        trigger(menu);
        w->shell().enable(Cmd::VarPar, true);
        w->commandsChanged();
    }
    VarParDialog* open(const char* name) {
        trigger("mnuVarPar");
        auto* d = w->findChild<VarParDialog*>(name);
        EXPECT_NE(d, nullptr) << name;
        return d;
    }
    template <typename T = QWidget>
    T* child(QWidget* d, const char* name) {
        auto* c = d->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QLineEdit* field(QWidget* d, const char* name) { return child<QLineEdit>(d, name); }
    void click(QWidget* d, const char* name) { child<QAbstractButton>(d, name)->click(); }
    // Pixels of the plot area that differ from its corner.
    int drawnPixels() const {
        const QImage img = w->surface().image().copy(62, 91, 462, 439);
        const QColor back = img.pixelColor(img.width() - 1, img.height() - 1);
        int drawn = 0;
        for (int y = 0; y < img.height(); y += 3)
            for (int x = 0; x < img.width(); x += 3) drawn += img.pixelColor(x, y) != back;
        return drawn;
    }
};

TEST_F(VarParWindow, DialogOfSection11ShowsItsControlsAndTheGlobals) {
    computeSection11();
    VarParDialog* d = open("frmVarPar");
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->isModal());
    EXPECT_EQ(d->windowTitle(), "   Опции графики и варьирование параметров");
    EXPECT_EQ(field(d, "txtTMAX")->text(), "12");
    EXPECT_EQ(field(d, "txtALFA")->text().toStdString(), CStr(mdl.ALFA));
    EXPECT_EQ(field(d, "txtDRX")->text().toStdString(), CStr(mdl.DRX));
    EXPECT_EQ(field(d, "txtI1_I2")->text(), "1,2");
    EXPECT_EQ(field(d, "txtI1_I2_I3")->text(), "1,2,3");

    const std::pair<const char*, const char*> captions[] = {{"optPYe", " да"},
                                                            {"optPNo", " нет"},
                                                            {"optPhas", " Фазовая плоскость"},
                                                            {"optPuan", " Плоскость Пуанкаре"},
                                                            {"optPhas3", " Фазовое пространство"},
                                                            {"optPuan3", " Гиперплоскость Пуанкаре"},
                                                            {"chkStereo", " Стерео-режим"},
                                                            {"chkTE", " Ограничение по широте"},
                                                            {"cmdVvod", "Ввод"},
                                                            {"cmdCancel", "Отмена"},
                                                            {"cmdSpravka", "Справка"}};
    for (const auto& [name, text] : captions)
        EXPECT_EQ(child<QAbstractButton>(d, name)->text(), text) << name;
    EXPECT_EQ(child<QGroupBox>(d, "fraPhys")->title(), "Физическая плоскость");
    EXPECT_EQ(child<QGroupBox>(d, "fraPeriod")->title(), "Вычисление периода");
    EXPECT_EQ(child<QGroupBox>(d, "fraPlane")->title(), "Плоскость (Xi1,Xi2)");
    EXPECT_EQ(child<QGroupBox>(d, "fraSpace")->title(), "Пространство (Xi1,Xi2,Xi3)");

    // The sample has LGRAPH = 1 and LSCREEN = 1: physical plane with period search.
    EXPECT_TRUE(child<QRadioButton>(d, "optPhys")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(d, "optPYe")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(d, "chkTE")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(d, "chkStereo")->isChecked());
    EXPECT_FALSE(field(d, "txtI1_I2")->isEnabled());
    EXPECT_FALSE(field(d, "txtI1_I2_I3")->isEnabled());
    EXPECT_TRUE(field(d, "txtTMAX")->isEnabled());

    // Opened again: the same dialog, refilled from the globals.
    field(d, "txtTMAX")->setText("777");
    mdl.TMAX = 33;
    EXPECT_EQ(open("frmVarPar"), d);
    EXPECT_EQ(field(d, "txtTMAX")->text(), "33");
    EXPECT_EQ(w->findChildren<VarParDialog*>().size(), 1);
}

TEST_F(VarParWindow, OptionGroupsAreExclusiveEnableTheirFieldsAndLiveInTheShell) {
    computeSection11();
    VarParDialog* d = open("frmVarPar");
    const VarParOptions& o = w->shell().varpar[0];

    ui.progressVisible = true;
    click(d, "optPhas");
    EXPECT_FALSE(child<QRadioButton>(d, "optPhys")->isChecked());
    EXPECT_TRUE(o.optPhas && !o.optPhys);
    EXPECT_TRUE(field(d, "txtI1_I2")->isEnabled());
    EXPECT_FALSE(field(d, "txtI1_I2_I3")->isEnabled());
    EXPECT_FALSE(child<QRadioButton>(d, "optPYe")->isEnabled());
    EXPECT_TRUE(ui.progressVisible);  // unchanged for the planes

    click(d, "optPuan");
    EXPECT_TRUE(o.optPuan && !o.optPhas);

    click(d, "optPhas3");
    EXPECT_TRUE(o.optPhas3 && !o.optPuan);
    EXPECT_FALSE(ui.progressVisible);
    for (const char* f : {"txtTMAX", "txtALFA", "txtBETA", "txtGAMA", "txtI1_I2"})
        EXPECT_FALSE(field(d, f)->isEnabled()) << f;
    EXPECT_TRUE(field(d, "txtDRX")->isEnabled());
    EXPECT_TRUE(field(d, "txtI1_I2_I3")->isEnabled());
    EXPECT_TRUE(w->shell().wants3D());

    click(d, "chkStereo");
    click(d, "chkTE");
    EXPECT_TRUE(o.chkStereo);
    EXPECT_FALSE(o.chkTE);

    click(d, "optPhys");
    EXPECT_TRUE(o.optPhys && !o.optPhas3);
    click(d, "optPNo");
    EXPECT_FALSE(child<QRadioButton>(d, "optPYe")->isChecked());
    EXPECT_TRUE(o.optPNo && !o.optPYe);
    EXPECT_FALSE(w->shell().wants3D());
}

TEST_F(VarParWindow, A3DOptionDoesNotFollowIntoAnotherSection) {
    // 1.1 drawn in the phase space ...
    app.write("User/Ugly.ugl", bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/Ugly.ugl"));
    computeSection11("Sym_Phase.mnkd");
    VarParDialog* d = open("frmVarPar");
    click(d, "optPhas3");
    click(d, "cmdVvod");
    trigger("mnuIntegr");
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    ASSERT_TRUE(w->findChild<QToolButton*>("Right")->isEnabled());  // the 3D picture is shown

    // ... then 2.1 and 8 (which share the dialog) compute, with no results file of theirs.
    computeSample("mnuGenAuto", 21, "Kolco5.mtrd");
    EXPECT_TRUE(app.exists("User/Results.mtr"));
    EXPECT_EQ(storedKinds(w->shell().varpar[0]), QStringList{"optPhys"});
    computeSample("mnuGGSEcol", 8, "Logist.gsed");
    EXPECT_TRUE(app.exists("User/Results.gse"));

    // "&Обновить окно" resets the kinds of every dialog, also of 5.2.1's and section 9's.
    for (auto& o : w->shell().varpar) o.choose(&VarParOptions::optPhas3);
    trigger("mnuRefresh");
    for (const auto& o : w->shell().varpar) EXPECT_EQ(storedKinds(o), QStringList{"optPhys"});
}

TEST_F(VarParWindow, TheDialogShowsWhatIsStoredAndRunsWhatItShows) {
    // LGRAPH = 3: the data select the Poincaré plane after a 3D choice.
    computeSection11("Sym_Puan.mnkd");
    VarParDialog* d = open("frmVarPar");
    click(d, "optPhas3");
    click(d, "cmdVvod");
    trigger("mnuInput");
    d = open("frmVarPar");
    EXPECT_EQ(checkedKinds(d), QStringList{"optPuan"});
    EXPECT_EQ(storedKinds(w->shell().varpar[0]), checkedKinds(d));

    // A click on the kind already checked changes nothing; every click leaves one kind,
    // stored as shown.
    for (const char* kind : {"optPuan", "optPuan3", "optPhas", "optPhas", "optPuan"}) {
        click(d, kind);
        EXPECT_EQ(checkedKinds(d), QStringList{kind});
        EXPECT_EQ(storedKinds(w->shell().varpar[0]), checkedKinds(d)) << kind;
    }
    click(d, "cmdVvod");
    trigger("mnuIntegr");
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    EXPECT_FALSE(w->findChild<QToolButton*>("Right")->isEnabled());  // computed, no 3D picture
}

TEST_F(VarParWindow, InputOfAnOpenDialogIsOffDuringARun) {
    computeSection11();
    VarParDialog* d = open("frmVarPar");
    field(d, "txtTMAX")->setText("200000");
    click(d, "cmdVvod");
    d = open("frmVarPar");
    auto* input = child<QPushButton>(d, "cmdVvod");
    bool enabledDuring = true;
    QTimer::singleShot(200, w.get(), [&] {
        enabledDuring = input->isEnabled();
        d->cmdVvod_Click();  // refused: the canvas is not wiped under the curves
        w->requestStop();
    });
    trigger("mnuIntegr");
    EXPECT_FALSE(enabledDuring);
    EXPECT_TRUE(d->isVisible());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Счёт прерван пользователем");
    EXPECT_TRUE(input->isEnabled());
}

TEST_F(VarParWindow, ComponentMistakesKeepTheDialogOpen) {
    computeSection11();
    VarParDialog* d = open("frmVarPar");
    click(d, "optPhas");
    field(d, "txtTMAX")->setText("20");
    field(d, "txtI1_I2")->setText("3,0");
    click(d, "cmdVvod");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Задайте 2 ненулевых номера");
    EXPECT_EQ(ui.messages[0].title, "Варьирование параметров");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(mdl.TMAX, 12);

    mdl.NDIM = 4;
    field(d, "txtI1_I2")->setText("2,5");
    click(d, "cmdVvod");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "Номер должен быть <= NDIM");
    EXPECT_TRUE(d->isVisible());

    // Accepted: values and components taken, dialog hidden, plot cleared.
    ASSERT_GT(drawnPixels(), 50);
    field(d, "txtI1_I2")->setText("2,4");
    click(d, "cmdVvod");
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(mdl.TMAX, 20);
    EXPECT_EQ(mdl.IC(1), 2);
    EXPECT_EQ(mdl.IC(2), 4);
    EXPECT_EQ(drawnPixels(), 0);
}

TEST_F(VarParWindow, CancelLeavesTheParametersButClearsThePlot) {
    computeSection11();
    VarParDialog* d = open("frmVarPar");
    const double alfa = mdl.ALFA;
    field(d, "txtTMAX")->setText("99");
    field(d, "txtALFA")->setText("5");
    field(d, "txtI1_I2")->setText("0,0");
    ASSERT_GT(drawnPixels(), 50);
    click(d, "cmdCancel");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(mdl.TMAX, 12);
    EXPECT_EQ(mdl.ALFA, alfa);
    EXPECT_EQ(mdl.IC(1), 1);
    EXPECT_EQ(drawnPixels(), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(VarParWindow, ChoosingNoChangesLscreenForTheNextRunOnly) {
    computeSection11();
    const std::string file = bytesOf(app.user() + "/Run.mnkd");
    EXPECT_EQ(mdl.LSCREEN, 1);
    VarParDialog* d = open("frmVarPar");
    click(d, "optPNo");
    click(d, "cmdVvod");
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    trigger("mnuIntegr");
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    EXPECT_EQ(mdl.LSCREEN, 0);
    EXPECT_EQ(mdl.LPERIOD, 0);
    EXPECT_EQ(bytesOf(app.user() + "/Run.mnkd"), file);

    // "да" again: both back to 1 at the next run.
    open("frmVarPar");
    click(d, "optPYe");
    click(d, "cmdCancel");
    trigger("mnuIntegr");
    EXPECT_EQ(mdl.LSCREEN, 1);
    EXPECT_EQ(mdl.LPERIOD, 1);
}

TEST_F(VarParWindow, PhaseSpaceKeepsTheTurningButtonsOtherChoicesSwitchThemOff) {
    computeSection11();
    VarParDialog* d = open("frmVarPar");
    w->shell().enable(Cmd::Turn, true);
    w->commandsChanged();
    click(d, "optPhas3");
    field(d, "txtTMAX")->setText("55");  // disabled: not read
    field(d, "txtDRX")->setText("2");
    field(d, "txtI1_I2_I3")->setText("3,1,2");
    click(d, "cmdVvod");
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    EXPECT_EQ(mdl.TMAX, 12);
    EXPECT_EQ(mdl.SCRX, 2 * mdl.ALFA);
    EXPECT_EQ(mdl.IC(1), 3);
    EXPECT_EQ(mdl.IC(3), 2);
    EXPECT_TRUE(w->findChild<QToolButton*>("Right")->isEnabled());

    open("frmVarPar");
    click(d, "optPuan3");
    click(d, "cmdVvod");
    EXPECT_FALSE(w->findChild<QToolButton*>("Right")->isEnabled());
    EXPECT_FALSE(w->findChild<QToolButton*>("Up")->isEnabled());
}

TEST_F(VarParWindow, Section9TmaxIsTheEndOfTheTimeAxis) {
    selectWithVarPar("mnuKhaos");
    mdl.NDIM = 3;
    mdl.TMAX = 100;
    mdl.SCRT = 40;
    mdl.MCPZ = 2;
    VarParDialog* d = open("frmVarPar9");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "   Опции графики и варьирование параметров");
    EXPECT_EQ(field(d, "txtTMAX")->text(), "40");
    EXPECT_EQ(field(d, "txtMCPZ")->text(), "2");
    EXPECT_EQ(d->findChild<QLineEdit*>("txtBETA"), nullptr);
    EXPECT_NE(d->findChild<QRadioButton*>("optPuan3"), nullptr);
    field(d, "txtTMAX")->setText("250");
    field(d, "txtMCPZ")->setText("4");
    click(d, "cmdVvod");
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
    EXPECT_EQ(mdl.SCRT, 250);
    EXPECT_EQ(mdl.TMAX, 100);
    EXPECT_EQ(mdl.MCPZ, 4);
}

TEST_F(VarParWindow, SynthesisDialogsHaveThePhaseOptionsOnly) {
    selectWithVarPar("mnuSyn1Auto");
    mdl.NDIM = 3;
    mdl.TAU1 = 0.5;
    VarParDialog* d1 = open("frmVarPar1");
    ASSERT_NE(d1, nullptr);
    for (const char* absent : {"optPuan", "optPuan3", "chkStereo", "chkTE"})
        EXPECT_EQ(d1->findChild<QAbstractButton*>(absent), nullptr) << absent;
    EXPECT_EQ(field(d1, "txtTAU1")->text(), "0.5");
    EXPECT_TRUE(field(d1, "txtTAU1")->isReadOnly());
    field(d1, "txtSCRX")->setText("7");
    click(d1, "cmdVvod");
    EXPECT_EQ(mdl.SCRX, 7);
    EXPECT_FALSE(d1->isVisible());

    selectWithVarPar("mnuSyn2Auto");
    mdl.BETA1 = 1;
    mdl.BETA2 = 2;
    VarParDialog* d2 = open("frmVarPar2");
    ASSERT_NE(d2, nullptr);
    EXPECT_EQ(field(d2, "txtBETA12")->text(), "1,2");
    field(d2, "txtGAMA12")->setText("3,4");
    click(d2, "cmdVvod");
    EXPECT_EQ(mdl.GAMA1, 3);
    EXPECT_EQ(mdl.GAMA2, 4);
}

TEST_F(VarParWindow, Section3AsksForBetaAndGama) {
    selectWithVarPar("mnuUstCirc");
    mdl.BETA = 1;
    mdl.GAMA = 2;
    ui.answers = {"", "0.5,3"};
    trigger("mnuVarPar");
    ASSERT_EQ(ui.inputs.size(), 2u);
    EXPECT_EQ(ui.inputs[0].defaultText, "1,2");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Вы ничего не ввели или выбрали  Cancel");
    EXPECT_EQ(mdl.BETA, 0.5);
    EXPECT_EQ(mdl.GAMA, 3);
    EXPECT_TRUE(w->findChildren<VarParDialog*>().isEmpty());
}

TEST_F(VarParWindow, HelpOpensTopic1001) {
    std::filesystem::copy_file(std::string(VELTA_SOURCE_DIR) + "/help/Help3.chm", app.path("Help3.chm"));
    computeSection11();
    VarParDialog* d = open("frmVarPar");
    click(d, "cmdSpravka");
    ASSERT_NE(HelpViewer::current(), nullptr);
    EXPECT_EQ(HelpViewer::current()->currentPage(), "/varpar.htm");
    EXPECT_TRUE(d->isVisible());
}

}  // namespace
