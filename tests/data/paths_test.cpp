#include "data/paths.h"
#include "data/catalogue.h"
#include "support/files.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

using namespace velta;
using velta::test::bytesOf;
using velta::test::TempApp;

namespace {}  // namespace

TEST(Paths, ResolvesNamesWithoutRegardToCase) {
    TempApp app;
    app.write("User/QSOLV.srg", "x");
    app.mkdir("User/Mnk/Tau1");
    AppPaths p(app.root());
    EXPECT_EQ(p.resolve("\\User\\Qsolv.srg"), app.path("User/QSOLV.srg"));
    EXPECT_EQ(p.userFile("qsolv.SRG"), app.path("User/QSOLV.srg"));
    EXPECT_EQ(p.resolve("\\user\\MNK\\tau1"), app.path("User/Mnk/Tau1"));
    // A missing name is kept as written, below the part that exists.
    EXPECT_EQ(p.userFile("Results.mnk"), app.path("User/Results.mnk"));
    EXPECT_EQ(p.resolve("\\User\\Nope\\A.txt"), app.path("User/Nope/A.txt"));
}

TEST(Paths, CyrillicNamesAndDoubledSeparators) {
    TempApp app;
    app.write("User/Z_Bank/СимАвто_Банк.txt", "x");
    AppPaths p(app.root());
    // The folder name begins with "\", so the path has a doubled separator.
    EXPECT_EQ(p.resolve("\\User\\Z_Bank\\" + std::string("\\СимАвто") + "_Банк.txt"),
              app.path("User/Z_Bank/СимАвто_Банк.txt"));
    EXPECT_EQ(p.resolve("\\User\\z_bank\\симавто_банк.TXT"), app.path("User/Z_Bank/СимАвто_Банк.txt"));
    EXPECT_EQ(lowerUtf8("ГГСАвто Ёж"), "ггсавто ёж");
}

TEST(Paths, StripPrefixAndAppRoot) {
    EXPECT_EQ(stripPrefix("/a/User/x.mnkd", "/a/User/"), "x.mnkd");
    EXPECT_EQ(stripPrefix("/a/USER/x.mnkd", "/a/User/"), "x.mnkd");
    EXPECT_EQ(stripPrefix("/b/x.mnkd", "/a/User/"), "/b/x.mnkd");
    TempApp app;
    app.mkdir("bin/deep");
    EXPECT_EQ(findAppRoot(app.path("bin/deep/velta")), app.root());
}

// The three layouts a program can run in, and the per-user folder of an installed one.
TEST(AppLayout, BuildTreeInstalledAndUpward) {
    TempApp app;
    app.write("build/User/a.mnkd", "x");
    app.write("usr/share/velta/User/a.mnkd", "x");
    app.write("usr/share/velta/Help3.chm", "x");
    app.mkdir("usr/bin");
    app.mkdir("bin/deep");
    struct Case {
        std::string program, root;
        bool installed;
    };
    const Case cases[] = {
        {"build/velta", app.path("build"), false},             // build tree: User beside the program
        {"usr/bin/velta", app.path("usr/share/velta"), true},  // installed, writable
        {"bin/deep/velta-run", app.root(), false},             // nearest folder upward with User
    };
    for (const Case& c : cases) {
        const AppLayout l = resolveAppLayout(app.path(c.program), app.path("data"), app.path("home"));
        EXPECT_EQ(l.root, c.root) << c.program;
        EXPECT_EQ(l.packageDir, l.root) << c.program;
        EXPECT_EQ(l.installed, c.installed) << c.program;
        EXPECT_FALSE(l.perUser) << c.program;
        EXPECT_TRUE(l.error.empty()) << c.program;
    }
    EXPECT_EQ(AppPaths(app.path("usr/share/velta")).helpFile(), app.path("usr/share/velta/Help3.chm"));
    EXPECT_FALSE(std::filesystem::exists(app.path("data/velta")));
}

TEST(AppLayout, PerUserFolderIsMadeOnceAndKeepsTheUsersFiles) {
    TempApp app;
    app.write("share/velta/User/Sym_Oscill.mnkd", "template");
    app.write("share/velta/User/Mnk/Tau0/a.mnzd", "delay");
    app.write("share/velta/Help3.chm", "help");
    const std::string pkg = app.path("share/velta");

    AppLayout l = perUserLayout(pkg, app.path("xdg"), app.path("home"));
    EXPECT_TRUE(l.error.empty()) << l.error;
    EXPECT_TRUE(l.perUser);
    EXPECT_EQ(l.root, app.path("xdg/velta"));
    EXPECT_EQ(bytesOf(app.path("xdg/velta/User/Mnk/Tau0/a.mnzd")), "delay");
    // The help stays in the package; the working folder is the user's.
    const AppPaths paths(l.root, l.packageDir);
    EXPECT_EQ(paths.helpFile(), app.path("share/velta/Help3.chm"));
    EXPECT_EQ(paths.user(), app.path("xdg/velta/User"));

    // The user's edits and deletions survive the next start; the template is not copied again.
    app.write("xdg/velta/User/Sym_Oscill.mnkd", "mine");
    removeFile(app.path("xdg/velta/User/Mnk/Tau0/a.mnzd"));
    l = perUserLayout(pkg, app.path("xdg"), app.path("home"));
    EXPECT_TRUE(l.error.empty());
    EXPECT_EQ(bytesOf(app.path("xdg/velta/User/Sym_Oscill.mnkd")), "mine");
    EXPECT_FALSE(fileExists(app.path("xdg/velta/User/Mnk/Tau0/a.mnzd")));

    // Without $XDG_DATA_HOME (or with a relative one) the folder is under $HOME/.local/share.
    EXPECT_EQ(perUserDataDir("", "/h/u"), "/h/u/.local/share/velta");
    EXPECT_EQ(perUserDataDir("rel/dir", "/h/u"), "/h/u/.local/share/velta");
    EXPECT_EQ(perUserDataDir("/x/data", "/h/u"), "/x/data/velta");
    l = perUserLayout(pkg, "", app.path("home"));
    EXPECT_TRUE(fileExists(app.path("home/.local/share/velta/User/Sym_Oscill.mnkd")));
}

TEST(AppLayout, CopyAbsentFilesNeverOverwrites) {
    TempApp app;
    app.write("from/a.txt", "new");
    app.write("from/sub/b.txt", "new");
    app.write("to/a.txt", "old");
    EXPECT_EQ(copyAbsentFiles(app.path("from"), app.path("to")), "");
    EXPECT_EQ(bytesOf(app.path("to/a.txt")), "old");
    EXPECT_EQ(bytesOf(app.path("to/sub/b.txt")), "new");
    EXPECT_NE(copyAbsentFiles(app.path("nowhere"), app.path("to")), "");
}

TEST(Paths, FileExistenceAndRemoval) {
    TempApp app;
    app.write("User/a.txt", "x");
    EXPECT_TRUE(fileExists(app.path("User/a.txt")));
    EXPECT_FALSE(fileExists(app.user()));
    EXPECT_TRUE(dirExists(app.user()));
    EXPECT_TRUE(removeFile(app.path("User/a.txt")));
    EXPECT_FALSE(removeFile(app.path("User/a.txt")));
}

TEST(Catalogue, SeventeenSectionsInDropDownOrder) {
    const auto& c = catalogue();
    ASSERT_EQ(c.size(), 17u);
    const int order[] = {11, 12, 21, 213, 215, 217, 22, 3, 4, 511, 512, 521, 522, 6, 7, 8, 9};
    std::set<std::string> menus;
    for (std::size_t i = 0; i < c.size(); ++i) {
        EXPECT_EQ(c[i].code, order[i]);
        menus.insert(c[i].menuObject);
        EXPECT_EQ(findSection(c[i].code), &c[i]);
        EXPECT_EQ(findSectionByCaption(c[i].dropText), &c[i]);
        if (c[i].code != 4) {
            // The data filter names the data extension twice.
            const std::string ext = c[i].dataExt;
            EXPECT_NE(c[i].dataFilter.find("(*" + ext + ")|*" + ext + "|"), std::string::npos) << c[i].code;
        }
    }
    EXPECT_EQ(menus.size(), 17u);
    EXPECT_EQ(findSection(10), nullptr);
    EXPECT_EQ(findSection(511)->dropText, "Синтез\\Кодирование одним ГЭ\\Автономная система   ");
    EXPECT_EQ(findSection(213)->dropText,
              "ГГС общего вида\\Стац. решения автономной системы\\Стартовое решение\\MNN");
    EXPECT_EQ(findSection(512)->dataExt, ".syzd");
    EXPECT_EQ(findSection(522)->dataExt, ".syzd");
}

TEST(Catalogue, GroupsAndSubfolders) {
    std::string a, b, d;
    for (const auto& s : catalogue()) {
        (s.group == 'A' ? a : s.group == 'B' ? b : d) += std::to_string(s.code) + " ";
        EXPECT_EQ(s.group == 'D', !s.subdir.empty()) << s.code;
    }
    EXPECT_EQ(a, "11 21 213 215 217 3 511 521 7 8 9 ");
    EXPECT_EQ(b, "4 ");
    EXPECT_EQ(d, "12 22 512 522 6 ");
    EXPECT_EQ(findSection(11)->resext, "mnk");
    EXPECT_EQ(findSection(12)->resext, "");
    EXPECT_EQ(findSection(9)->resext, "cha");
}
