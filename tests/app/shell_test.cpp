#include "app/shell.h"
#include "app/prompter.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/surface.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velta;
using velta::test::TempApp;

namespace {

struct Messages : Prompter {
    std::vector<std::string> seen;
    void message(const std::string& t, MsgIcon, const std::string&) override { seen.push_back(t); }
    std::string inputBox(const std::string&, const std::string&, const std::string&, int, int) override {
        return {};
    }
};

// The commands switched by Menu_False, as a string of 0/1 in enum order.
std::string state(const Shell& s) {
    std::string out;
    for (int i = 0; i < static_cast<int>(Cmd::Count); ++i) out += s.enabled[i] ? '1' : '0';
    return out;
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { mdlGlobal.reset(); }
    TempApp app;
    AppPaths paths{app.root()};
};

}  // namespace

TEST_F(ShellTest, StartDisablesEveryCommand) {
    Shell s(paths);
    for (int i = 0; i < static_cast<int>(Cmd::Count); ++i) EXPECT_FALSE(s.enabled[i]) << i;
    EXPECT_TRUE(s.welcomeVisible);
    EXPECT_TRUE(s.whiteBackground);
}

TEST_F(ShellTest, SelectingEachGroup) {
    Shell s(paths);
    s.Sect_Select(11);  // group A
    EXPECT_TRUE(s.isEnabled(Cmd::Table));
    EXPECT_TRUE(s.isEnabled(Cmd::FormMod));
    EXPECT_TRUE(s.isEnabled(Cmd::BankDan));
    EXPECT_FALSE(s.isEnabled(Cmd::Input));
    EXPECT_FALSE(s.isEnabled(Cmd::Combo));
    EXPECT_FALSE(s.welcomeVisible);
    EXPECT_EQ(s.status1, "Симметричные ГГС\\Автономная система");
    EXPECT_EQ(mdlGlobal.RESEXT, "mnk");

    s.Sect_Select(4);  // group B: direct input
    EXPECT_FALSE(s.isEnabled(Cmd::Table));
    EXPECT_TRUE(s.isEnabled(Cmd::Input));
    EXPECT_FALSE(s.isEnabled(Cmd::Integr));
    EXPECT_EQ(mdlGlobal.RESEXT, "mnk");  // section 4 leaves RESEXT as it was

    s.Sect_Select(12);  // group D: task folders first
    EXPECT_FALSE(s.isEnabled(Cmd::Table));
    EXPECT_TRUE(s.isEnabled(Cmd::Combo));
    EXPECT_EQ(mdlGlobal.SUBDIR, "Mnk\\");
    s.Combo1_Click("Tau0");
    EXPECT_TRUE(s.isEnabled(Cmd::Table));
    EXPECT_EQ(mdlGlobal.TASKDIR, "Tau0");
    EXPECT_EQ(s.dataFolder(), app.path("User/Mnk/Tau0"));
}

TEST_F(ShellTest, TaskFolderListStopsAtTheFirstGap) {
    app.mkdir("User/Mnk/Tau1");
    app.mkdir("User/Mnk/Tau2");
    Shell s(paths);
    s.Sect_Select(12);
    EXPECT_EQ(s.taskItems, (std::vector<std::string>{"Tau0", "Tau1", "Tau2"}));
    EXPECT_EQ(s.comboText, "Tau0");
    EXPECT_TRUE(mdlGlobal.TASKDIR.empty());

    TempApp gap;
    gap.mkdir("User/Mnk/Tau2");
    AppPaths gp(gap.root());
    Shell g(gp);
    g.Sect_Select(12);
    EXPECT_EQ(g.taskItems, (std::vector<std::string>{"Tau0"}));
}

TEST_F(ShellTest, SelectionResetsPlottedComponentsButKeepsTheirCount) {
    Shell s(paths);
    mdlGlobal.IC(1) = 7;
    mdlGlobal.IC(2) = 8;
    mdlGlobal.IC(3) = 9;
    mdlGlobal.IC(4) = 10;
    mdlGlobal.NCOMP = 4;
    s.Sect_Select(21);
    EXPECT_EQ(mdlGlobal.IC(1), 1);
    EXPECT_EQ(mdlGlobal.IC(2), 2);
    EXPECT_EQ(mdlGlobal.IC(3), 3);
    EXPECT_EQ(mdlGlobal.IC(4), 10);
    EXPECT_EQ(mdlGlobal.NCOMP, 4);
}

TEST_F(ShellTest, SameSectionTwiceDisablesTheCommandsAgain) {
    Shell s(paths);
    s.Sect_Select(11);
    const std::string fresh = state(s);
    s.afterAccept("\\a.mnkd");
    s.enable(Cmd::Integr, true);
    s.enable(Cmd::OpenResl, true);
    s.Sect_Select(11);
    EXPECT_EQ(state(s), fresh);
    EXPECT_TRUE(s.status2.empty());
}

TEST_F(ShellTest, AcceptAndCancelOfTheInputWindow) {
    Shell s(paths);
    s.Sect_Select(11);
    s.afterAccept("\\Sym.mnkd");
    EXPECT_EQ(s.status2, "\\Sym.mnkd");
    EXPECT_TRUE(s.isEnabled(Cmd::Input));
    s.enable(Cmd::OpenResl, true);
    s.enable(Cmd::Turn, true);
    s.afterCancel();
    EXPECT_TRUE(s.status2.empty());
    EXPECT_FALSE(s.isEnabled(Cmd::OpenResl));
    EXPECT_FALSE(s.isEnabled(Cmd::Turn));
}

TEST_F(ShellTest, DeletionKeepsDataBankAndNonResultFiles) {
    for (const char* f : {"User/Results.mnk", "User/INPUT.CHK", "User/Results.cha", "User/Ugly.ugl",
                          "User/a.mnkd", "User/Z_Bank/СимАвто.txt", "User/QSOLV.srg", "User/Vector.chk"})
        app.write(f, "x");
    Shell s(paths);
    s.Sect_Select(11);
    s.enable(Cmd::OpenResl, true);
    s.enable(Cmd::DelF, true);
    s.mnuDelF();
    EXPECT_FALSE(app.exists("User/Results.mnk"));
    EXPECT_FALSE(app.exists("User/INPUT.CHK"));
    EXPECT_FALSE(app.exists("User/QSOLV.srg"));
    EXPECT_FALSE(app.exists("User/Vector.chk"));
    EXPECT_TRUE(app.exists("User/Results.cha"));
    EXPECT_TRUE(app.exists("User/Ugly.ugl"));
    EXPECT_TRUE(app.exists("User/a.mnkd"));
    EXPECT_TRUE(app.exists("User/Z_Bank/СимАвто.txt"));
    EXPECT_FALSE(s.isEnabled(Cmd::OpenResl));
    EXPECT_FALSE(s.isEnabled(Cmd::DelF));
    EXPECT_EQ(Shell::deleteList().size(), 33u);
    EXPECT_EQ(Shell::deleteList().front(), "Results.mnk");
    EXPECT_EQ(Shell::deleteList().back(), "Vector.chk");
}

TEST_F(ShellTest, RefreshReturnsToTheStartState) {
    app.mkdir("User/Mnk/Tau1");
    Shell s(paths);
    s.Sect_Select(12);
    s.mnuRefresh();
    EXPECT_TRUE(s.welcomeVisible);
    EXPECT_TRUE(s.taskItems.empty());
    EXPECT_FALSE(s.isEnabled(Cmd::Combo));
    EXPECT_FALSE(s.isEnabled(Cmd::FormMod));
    EXPECT_TRUE(s.status1.empty());
    EXPECT_EQ(s.section, 12);  // the code stays recorded
}

TEST_F(ShellTest, VariationOptionsFollowTheDataAndFeedThePeriodSwitch) {
    Shell s(paths);
    s.Sect_Select(11);
    mdlGlobal.LGRAPH = 1;
    mdlGlobal.LSCREEN = 1;
    s.VarPar_Set(VarDlg::VarPar, 0);
    const auto& o = s.varpar[0];
    EXPECT_TRUE(o.optPhys);
    EXPECT_TRUE(o.optPYe);
    EXPECT_EQ(mdlGlobal.LPERIOD, 1);
    // Choosing "нет" in the dialog switches the period off for the next run.
    s.varpar[0].optPYe = false;
    s.varpar[0].optPNo = true;
    s.VarPar_Get();
    EXPECT_EQ(mdlGlobal.LSCREEN, 0);
    EXPECT_EQ(mdlGlobal.LPERIOD, 0);

    mdlGlobal.LGRAPH = 2;
    mdlGlobal.LSCREEN = 1;
    s.VarPar_Set(VarDlg::VarPar, 0);
    EXPECT_TRUE(s.varpar[0].optPhas);
    EXPECT_EQ(mdlGlobal.LSCREEN, 0);
    mdlGlobal.LSCREEN = 1;
    s.VarPar_Get();  // phase plane: the period switch is not read
    EXPECT_EQ(mdlGlobal.LSCREEN, 1);
}

TEST_F(ShellTest, PictureKindsAreOneGroupResetBySelectionAndMenuFalse) {
    Shell s(paths);
    s.Sect_Select(11);
    // A 3D choice, then data with LGRAPH = 3: the Poincaré plane alone.
    s.varpar[0].choose(&VarParOptions::optPuan3);
    mdlGlobal.LGRAPH = 3;
    s.VarPar_Set(VarDlg::VarPar, 0);
    const auto& o = s.varpar[0];
    EXPECT_TRUE(o.optPuan && !o.optPuan3 && !o.optPhas3 && !o.optPhys && !o.optPhas);
    EXPECT_FALSE(s.wants3D());

    // Any selection and Menu_False switch the 3D kinds off in every dialog.
    for (auto& d : s.varpar) d.choose(&VarParOptions::optPhas3);
    s.varpar[1].choose(&VarParOptions::optPuan3);
    s.Sect_Select(21);
    for (const auto& d : s.varpar) EXPECT_TRUE(d.optPhys && !d.optPhas3 && !d.optPuan3);
    EXPECT_FALSE(s.wants3D());
    s.varpar[0].choose(&VarParOptions::optPhas3);
    s.varpar[3].choose(&VarParOptions::optPhas);
    s.Menu_False();
    EXPECT_TRUE(s.varpar[0].optPhys);
    EXPECT_TRUE(s.varpar[3].optPhas);  // a 2D kind stays
}

TEST_F(ShellTest, ResultPathsBySection) {
    Shell s(paths);
    s.Sect_Select(11);
    EXPECT_EQ(s.resultsPath(), app.path("User/Results.mnk"));
    EXPECT_TRUE(s.qsolvPath().empty());
    EXPECT_TRUE(s.stablPath().empty());
    s.Sect_Select(217);
    EXPECT_EQ(s.qsolvPath(), app.path("User/Qsolv.diu"));
    EXPECT_EQ(s.stablPath(), app.path("User/Stabl.diu"));
    s.Sect_Select(3);
    EXPECT_EQ(s.spectrPath(), app.path("User/Spectr.stb"));
}

TEST_F(ShellTest, SectionWithoutCoreSaysSoAndChangesNothing) {
    Shell s(paths);
    const SectionInfo* missing = nullptr;
    for (const auto& info : catalogue())
        if (info.group == 'A' && !makeSectionCore(info.code)) missing = &info;
    if (!missing) GTEST_SKIP() << "every section is built";
    s.Sect_Select(missing->code);
    ASSERT_EQ(s.current(), nullptr);
    NullSurface surf;
    Messages ui;
    Ctx c{surf, ui, paths, mdlGlobal};
    const std::string before = state(s);
    EXPECT_FALSE(s.mnuInput(c));
    EXPECT_FALSE(s.mnuIntegr(c));
    EXPECT_EQ(state(s), before);
    ASSERT_EQ(ui.seen.size(), 2u);
    EXPECT_EQ(ui.seen[0], Shell::notBuiltMessage(*missing));
    EXPECT_EQ(Shell::notBuiltMessage(*findSection(7)),
              "Раздел «Стационарные решения» ещё не реализован в этой версии пакета.");
}
