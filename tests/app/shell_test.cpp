#include "app/shell.h"
#include "app/prompter.h"
#include "data/paths.h"
#include "data/store.h"
#include "graphics/surface.h"
#include "support/files.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <vector>

using namespace velta;
using velta::test::bytesOf;
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
    Store mdl;
    TempApp app;
    AppPaths paths{app.root()};
};

}  // namespace

TEST_F(ShellTest, StartDisablesEveryCommand) {
    Shell s(mdl, paths);
    for (int i = 0; i < static_cast<int>(Cmd::Count); ++i) EXPECT_FALSE(s.enabled[i]) << i;
    EXPECT_TRUE(s.welcomeVisible);
    EXPECT_TRUE(s.whiteBackground);
}

TEST_F(ShellTest, SelectingEachGroup) {
    Shell s(mdl, paths);
    s.Sect_Select(11);  // group A
    EXPECT_TRUE(s.isEnabled(Cmd::Table));
    EXPECT_TRUE(s.isEnabled(Cmd::FormMod));
    EXPECT_TRUE(s.isEnabled(Cmd::BankDan));
    EXPECT_FALSE(s.isEnabled(Cmd::Input));
    EXPECT_FALSE(s.isEnabled(Cmd::Combo));
    EXPECT_FALSE(s.welcomeVisible);
    EXPECT_EQ(s.status1, "Симметричные ГГС\\Автономная система");
    EXPECT_EQ(mdl.RESEXT, "mnk");

    s.Sect_Select(4);  // group B: direct input
    EXPECT_FALSE(s.isEnabled(Cmd::Table));
    EXPECT_TRUE(s.isEnabled(Cmd::Input));
    EXPECT_FALSE(s.isEnabled(Cmd::Integr));
    EXPECT_EQ(mdl.RESEXT, "mnk");  // section 4 leaves RESEXT as it was

    s.Sect_Select(12);  // group D: task folders first
    EXPECT_FALSE(s.isEnabled(Cmd::Table));
    EXPECT_TRUE(s.isEnabled(Cmd::Combo));
    EXPECT_EQ(mdl.SUBDIR, "Mnk\\");
    s.Combo1_Click("Tau0");
    EXPECT_TRUE(s.isEnabled(Cmd::Table));
    EXPECT_EQ(mdl.TASKDIR, "Tau0");
    EXPECT_EQ(s.dataFolder(), app.path("User/Mnk/Tau0"));
}

TEST_F(ShellTest, TaskFolderListStopsAtTheFirstGap) {
    app.mkdir("User/Mnk/Tau1");
    app.mkdir("User/Mnk/Tau2");
    Shell s(mdl, paths);
    s.Sect_Select(12);
    EXPECT_EQ(s.taskItems, (std::vector<std::string>{"Tau0", "Tau1", "Tau2"}));
    EXPECT_EQ(s.comboText, "Tau0");
    EXPECT_TRUE(mdl.TASKDIR.empty());

    TempApp gap;
    gap.mkdir("User/Mnk/Tau2");
    AppPaths gp(gap.root());
    Shell g(mdl, gp);
    g.Sect_Select(12);
    EXPECT_EQ(g.taskItems, (std::vector<std::string>{"Tau0"}));
}

TEST_F(ShellTest, SelectionResetsPlottedComponentsButKeepsTheirCount) {
    Shell s(mdl, paths);
    mdl.IC(1) = 7;
    mdl.IC(2) = 8;
    mdl.IC(3) = 9;
    mdl.IC(4) = 10;
    mdl.NCOMP = 4;
    s.Sect_Select(21);
    EXPECT_EQ(mdl.IC(1), 1);
    EXPECT_EQ(mdl.IC(2), 2);
    EXPECT_EQ(mdl.IC(3), 3);
    EXPECT_EQ(mdl.IC(4), 10);
    EXPECT_EQ(mdl.NCOMP, 4);
}

TEST_F(ShellTest, SameSectionTwiceDisablesTheCommandsAgain) {
    Shell s(mdl, paths);
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
    Shell s(mdl, paths);
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
    Shell s(mdl, paths);
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
    Shell s(mdl, paths);
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
    Shell s(mdl, paths);
    s.Sect_Select(11);
    mdl.LGRAPH = 1;
    mdl.LSCREEN = 1;
    s.VarPar_Set(VarDlg::VarPar, 0);
    const auto& o = s.varpar[0];
    EXPECT_TRUE(o.optPhys);
    EXPECT_TRUE(o.optPYe);
    EXPECT_EQ(mdl.LPERIOD, 1);
    // Choosing "нет" in the dialog switches the period off for the next run.
    s.varpar[0].optPYe = false;
    s.varpar[0].optPNo = true;
    s.VarPar_Get();
    EXPECT_EQ(mdl.LSCREEN, 0);
    EXPECT_EQ(mdl.LPERIOD, 0);

    mdl.LGRAPH = 2;
    mdl.LSCREEN = 1;
    s.VarPar_Set(VarDlg::VarPar, 0);
    EXPECT_TRUE(s.varpar[0].optPhas);
    EXPECT_EQ(mdl.LSCREEN, 0);
    mdl.LSCREEN = 1;
    s.VarPar_Get();  // phase plane: the period switch is not read
    EXPECT_EQ(mdl.LSCREEN, 1);
}

TEST_F(ShellTest, PictureKindsAreOneGroupResetBySelectionAndMenuFalse) {
    Shell s(mdl, paths);
    s.Sect_Select(11);
    // A 3D choice, then data with LGRAPH = 3: the Poincaré plane alone.
    s.varpar[0].choose(&VarParOptions::optPuan3);
    mdl.LGRAPH = 3;
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
    Shell s(mdl, paths);
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
    Shell s(mdl, paths);
    const SectionInfo* missing = nullptr;
    for (const auto& info : catalogue())
        if (info.group == 'A' && !makeSectionCore(info.code)) missing = &info;
    if (!missing) GTEST_SKIP() << "every section is built";
    s.Sect_Select(missing->code);
    ASSERT_EQ(s.current(), nullptr);
    NullSurface surf;
    Messages ui;
    Ctx c{surf, ui, paths, mdl};
    const std::string before = state(s);
    EXPECT_FALSE(s.mnuInput(c));
    EXPECT_FALSE(s.mnuIntegr(c));
    EXPECT_EQ(state(s), before);
    ASSERT_EQ(ui.seen.size(), 2u);
    EXPECT_EQ(ui.seen[0], Shell::notBuiltMessage(*missing));
    EXPECT_EQ(Shell::notBuiltMessage(*findSection(7)),
              "Раздел «Стационарные решения» ещё не реализован в этой версии пакета.");
}

// What the menus offer after "С&чёт [и графика]" follows the section's catalogue row: the
// variation, "&Спектр" (after the reading), the Qsolv and Stabl files, and which of the
// reading and the computation may be repeated. Each section runs on a shipped sample.
TEST_F(ShellTest, CommandsAfterARunFollowTheSection) {
    struct Case {
        int code;
        const char* sample;
        std::deque<std::string> answers;
        std::deque<bool> yesNo;
        const char* state;  // VarPar Spectr OpenQsolv OpenStabl Input Integr
    };
    const Case cases[] = {
        {11, "Sym_Oscill.mnkd", {}, {}, "100011"},
        {3, "Cirk3_Stable.stbd", {}, {}, "110011"},
        {213, "Kolco5.srgd", {"1", "1,2,2,2,2", "END"}, {}, "001000"},
        {215, "Repress3.srRd", {}, {}, "001011"},
        {217, "Fold3.diud", {}, {true}, "001110"},
        {7, "StaResh5_LL1.stRd", {}, {}, "000011"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.code);
        mdl.reset();
        mdl.SEED = 42;
        app.write(std::string("User/") + k.sample,
                  bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/" + k.sample));
        Shell s(mdl, paths);
        s.Sect_Select(k.code);
        SectionCore* core = s.current();
        ASSERT_NE(core, nullptr);
        core->dataPath = app.path(std::string("User/") + k.sample);
        s.afterAccept(k.sample);  // "Ввод" of the input window
        test::ScriptedPrompter ui;
        ui.answers = k.answers;
        ui.yesNo = k.yesNo;
        NullSurface surf;
        Ctx c{surf, ui, paths, mdl};
        ASSERT_TRUE(s.mnuInput(c));
        ASSERT_TRUE(s.mnuIntegr(c)) << (ui.messages.empty() ? "" : ui.messages.back().text);
        std::string got;
        for (Cmd cmd : {Cmd::VarPar, Cmd::Spectr, Cmd::OpenQsolv, Cmd::OpenStabl, Cmd::Input, Cmd::Integr})
            got += s.isEnabled(cmd) ? '1' : '0';
        EXPECT_EQ(got, k.state);
        EXPECT_TRUE(s.isEnabled(Cmd::OpenResl));
        EXPECT_EQ(s.qsolvPath().empty(), k.state[2] == '0');
        EXPECT_EQ(s.stablPath().empty(), k.state[3] == '0');
    }
}

// The three tables a section is added to agree: every catalogue row has its core, and only
// the sections with a system of equations export a model.
TEST_F(ShellTest, EveryCatalogueRowHasItsCore) {
    for (const SectionInfo& info : catalogue()) {
        auto core = makeSectionCore(info.code);
        ASSERT_NE(core, nullptr) << info.code;
        EXPECT_EQ(core->code(), info.code);
        // A section that writes its results shows files that "&Удалить файлы результатов" deletes.
        const auto& w = info.traits.written;
        for (const std::string& f : {info.traits.qsolvFile, info.traits.spectrFile, info.traits.stablFile}) {
            if (f.empty()) continue;
            EXPECT_NE(std::find(w.begin(), w.end(), f), w.end()) << info.code << " " << f;
        }
        // The closing line of a run matches what the section computes.
        EXPECT_EQ(info.traits.closing.kind == ClosingLine::Kind::Period, info.traits.periodSearch)
            << info.code;
        EXPECT_EQ(info.traits.closing.kind == ClosingLine::Kind::Portion, info.traits.delay) << info.code;
    }
    EXPECT_EQ(makeSectionCore(0), nullptr);
}

TEST_F(ShellTest, OnlyTheCirculantAsksItsVariationInBoxes) {
    Shell s(mdl, paths);
    for (const SectionInfo& info : catalogue()) {
        s.Sect_Select(info.code);
        EXPECT_EQ(s.variesByQuestion(), info.code == 3) << info.code;
    }
}

namespace {

// Section 1.1 with Sym_Damped.mnkd (ALFA = 2) current; Sym_Oscill.mnkd has ALFA = 20, and its
// first eight lines end the file early after ALFA was read.
class DataFileTest : public ShellTest {
protected:
    void SetUp() override {
        shell.Sect_Select(11);
        oscill = bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/Sym_Oscill.mnkd");
        std::string::size_type at = 0;
        for (int i = 0; i < 8; ++i) at = oscill.find("\r\n", at) + 2;
        cut = oscill.substr(0, at);
        app.write("User/Damped.mnkd", bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/Sym_Damped.mnkd"));
        ASSERT_EQ(shell.openChosenFile(sc(), app.path("User/Damped.mnkd"), ctx), "");
        ASSERT_EQ(mdl.ALFA, 2);
    }
    SectionCore& sc() { return *shell.current(); }
    std::string chk() const { return bytesOf(app.path("User/Input.chk")); }

    Shell shell{mdl, paths};
    NullSurface surface;
    Messages ui;
    Ctx ctx{surface, ui, paths, mdl};
    std::string oscill, cut;
};

}  // namespace

TEST_F(DataFileTest, FailedOpeningKeepsTheCurrentFileAndTheStore) {
    struct Case {
        const char* what;
        bool whole;   // Sym_Oscill.mnkd or its first lines
        bool refuse;  // the front end refuses the reading
        bool opened;
    } cases[] = {
        {"good file", true, false, true},
        {"file ending early", false, false, false},
        {"reading refused by the window", true, true, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        ASSERT_EQ(shell.openChosenFile(sc(), app.path("User/Damped.mnkd"), ctx), "");
        app.write("User/Sub/New.mnkd", k.whole ? oscill : cut);
        const std::string why = shell.openChosenFile(sc(), app.path("User/Sub/New.mnkd"), ctx, [&] {
            if (k.refuse) throw VeltaError("слишком много");
        });
        EXPECT_EQ(why.empty(), k.opened) << why;
        if (k.refuse) {
            EXPECT_EQ(why, "слишком много");
        }
        EXPECT_EQ(sc().dataPath, app.path(k.opened ? "User/Sub/New.mnkd" : "User/Damped.mnkd"));
        EXPECT_EQ(sc().shownName, k.opened ? "Sub/New.mnkd" : "Damped.mnkd");
        EXPECT_EQ(mdl.ALFA, k.opened ? 20 : 2);
        EXPECT_EQ(mdl.GAMA, k.opened ? 3 : 1);
    }
}

TEST_F(DataFileTest, FailedInputKeepsTheLastGoodReading) {
    ASSERT_TRUE(shell.mnuInput(ctx));
    app.write("User/Damped.mnkd", cut);  // the file changed on disk since it was opened
    EXPECT_FALSE(shell.mnuInput(ctx));
    ASSERT_EQ(ui.seen.size(), 1u);
    EXPECT_EQ(ui.seen[0].rfind("Ошибка при вводе исходных данных.\n", 0), 0u) << ui.seen[0];
    EXPECT_EQ(mdl.ALFA, 2);  // the reading of Sym_Oscill's first lines set ALFA = 20
    EXPECT_EQ(mdl.GAMA, 1);
    EXPECT_TRUE(shell.enabled[static_cast<int>(Cmd::Integr)]);
}

TEST_F(DataFileTest, CheckBeforeWriteRestoresStoreAndCheckFile) {
    const std::string target = app.path("User/Saved.mnkd");
    struct Case {
        const char* what;
        bool whole, refuse, hadChk;
    } cases[] = {
        {"good text", true, false, true},          {"good text, no check file", true, false, false},
        {"text ending early", false, false, true}, {"text ending early, no check file", false, false, false},
        {"limits refused", true, true, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        if (k.hadChk) app.write("User/Input.chk", "earlier reading\r\n");
        else std::filesystem::remove(app.path("User/Input.chk"));
        const std::string before = chk();
        double seen = 0;
        std::string message;
        try {
            shell.checkBeforeWrite(
                sc(), target,
                [&](const std::string& p) { std::ofstream(p, std::ios::binary) << (k.whole ? oscill : cut); },
                [&] {
                    seen = mdl.ALFA;
                    if (k.refuse) throw VeltaError("Нельзя: " + sc().dataPath);
                });
        } catch (const VeltaError& e) {
            message = e.what();
        }
        EXPECT_EQ(message.empty(), k.whole && !k.refuse) << message;
        if (!message.empty()) {
            // The message names the file to be written, never the scratch copy.
            EXPECT_NE(message.find(target), std::string::npos) << message;
            EXPECT_EQ(message.find("velta-check-"), std::string::npos) << message;
        }
        if (k.whole) {
            EXPECT_EQ(seen, 20);  // the check judged the texts, not the old store
        }
        EXPECT_EQ(mdl.ALFA, 2);
        EXPECT_EQ(sc().dataPath, app.path("User/Damped.mnkd"));
        EXPECT_EQ(std::filesystem::exists(app.path("User/Input.chk")), k.hadChk);
        EXPECT_EQ(chk(), before);
        EXPECT_FALSE(std::filesystem::exists(target));
    }
}

TEST_F(DataFileTest, WrittenFileBecomesCurrent) {
    mdl.SaveOK = 0;
    shell.afterWrite(sc(), app.path("User/Sub/Saved.mnkd"));
    EXPECT_EQ(mdl.SaveOK, 1);
    EXPECT_EQ(sc().dataPath, app.path("User/Sub/Saved.mnkd"));
    EXPECT_EQ(shell.status2, "Sub/Saved.mnkd");
    EXPECT_TRUE(shell.isEnabled(Cmd::Input));
}
