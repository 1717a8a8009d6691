// Section 5.1.2: the ".syzd" file, the stationary value and the initial functions, the
// results table, portions, convergence, refused inputs, the legend and the portion counter.
#include "synthesis/section512/sec512.h"

#include "support/delay_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

using namespace velta;
using velta::test::bytesOf;
using velta::test::DrawCall;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

// Field texts of one ".syzd" file of section 5.1.2, in the order of its blocks.
struct Syzd {
    std::string alfa = "10", beta = "1", gama = "4";
    std::string mdim = "1", ltau = "1", taus = "2", teta = "1";
    std::string tmax = "4", ndel = "20", ind = "0", z_1 = "0.1", ic = "1", nsc = "5";
    std::string dlx = "0", drx = "1", sclt = "0";

    std::string text() const {
        velta::test::BlockLines b;
        b.block(1, {"ALFA = " + alfa, "BETA = " + beta, "GAMA = " + gama});
        b.block(2, {"MDIM = " + mdim, "LTAU = " + ltau, "TAUm(I):", taus, "TETAm(1):", teta});
        b.block(3, {"TMAX = " + tmax, "NDEL = " + ndel});
        b.block(4, {"IND = " + ind, "Z_1 = " + z_1});
        b.block(5, {"IC(I):", ic});
        b.block(6, {"NSC = " + nsc});
        b.block(7, {"Dlx = " + dlx, "Drx = " + drx, "Sclt = " + sclt});
        return b.text();
    }
};

class Sec512Test : public velta::test::DelayFixture<Sec512> {
protected:
    Sec512Test() : DelayFixture("Sy1z", "syzd", "Results.s1z", 26) {}
    static double valueOf(const std::string& row) { return std::stod(row.substr(22, 11)); }
    // Z at the newest node after a run of the file f.
    double endValue(Syzd f) {
        SetUp();
        load(f);
        core.Integr1(c);
        return mdl.ZTAB(mdl.NDEL + 1, 1);
    }
};

}  // namespace

// ---------------------------------------------------------------- data file

TEST_F(Sec512Test, ShippedSamplesReadAndWriteBackByteForByte) {
    for (const char* name : {"Oscill.syzd", "Stable.syzd"}) {
        const std::string src = std::string(VELTA_SOURCE_DIR) + "/User/Sy1z/Tau0/" + name;
        ASSERT_TRUE(std::filesystem::exists(src)) << name;
        const std::string bytes = bytesOf(src);
        app.write("User/Sy1z/Tau0/s.syzd", bytes);
        core.dataPath = app.path("User/Sy1z/Tau0/s.syzd");
        mdl.L = 4;
        core.InputPar(c);
        const auto& g = mdl;
        EXPECT_EQ(g.L, 0) << "reading the file restarts the portions";
        EXPECT_EQ(g.LTAU, 1);
        EXPECT_EQ(g.MDIM, 1);
        EXPECT_EQ(g.NCOMP, 1);
        EXPECT_EQ(g.ZTAB.rows(), 5000);
        EXPECT_EQ(g.ZTAB.cols(), 1);
        EXPECT_EQ(g.TAU.upper(), 20);
        EXPECT_EQ(g.TETAm.upper(), 5);
        EXPECT_EQ(g.TETAm(1), 1.0);
        EXPECT_EQ(g.NP1, g.NDEL + 1);
        EXPECT_EQ(g.NP2, 2 * g.NDEL);

        const std::string out = app.path("User/Sy1z/Tau0/back.syzd");
        Sec512::Table_File(mdl, out, Sec512::fieldsFromStore(mdl));
        EXPECT_EQ(bytesOf(out), bytes) << name;
    }
    const auto chk = readAllLines(paths.userFile("Input.chk"));
    for (const char* line : {"Контроль ввода исходных данных:",
                             " ",
                             "ALFA = 10",
                             "BETA = 1",
                             "GAMA = 4",
                             "MDIM = 1",
                             "LTAU = 1",
                             "TAUm(1) = 0.5",
                             "TETAm(1) = 1",
                             "TMAX = 20",
                             "NDEL = 100",
                             "NP1  = 101",
                             "NP2  = 200",
                             "IND = 1",
                             "Z_1 = 0",
                             "IC(1) = 1",
                             "NSC = 5",
                             "DLX = 0",
                             "DRX = 0.5",
                             "SCLT = 0"})
        EXPECT_NE(std::find(chk.begin(), chk.end(), line), chk.end()) << line;
}

TEST_F(Sec512Test, ReaderLimitsAndAnEmptyDelayList) {
    Syzd f;
    f.mdim = "2";
    f.ic = "1,1,1";
    f.ltau = "3";
    f.taus = "1,2,3";
    load(f);
    EXPECT_EQ(mdl.NCOMP, 2) << "at most MDIM components";
    EXPECT_EQ(mdl.TAU(3), 3.0);
    const GridText t = Sec512::tauGrid(mdl.TAU, 3, false);
    ASSERT_EQ(t.rows(), 6);
    ASSERT_EQ(t.cols(), 4);
    EXPECT_EQ(t.at(0, 2), "Значения TAU(I)");
    EXPECT_EQ(t.at(4, 0), "TAU(3)");
    EXPECT_EQ(t.at(3, 2), "2");
    EXPECT_EQ(Sec512::tauGrid(mdl.TAU, 2, true).at(3, 2), "0");
    EXPECT_EQ(Sec512::tauGrid(mdl.TAU, 22, false).at(23, 2), "0") << "beyond the vector";

    f.ltau = "21";
    try {
        load(f);
        ADD_FAILURE() << "LTAU = 21 accepted";
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find("LTAU должно быть от 1 до 20"), std::string::npos) << e.what();
    }

    // A window saved with LTAU = 0 writes an empty delay line; it reads back and the run
    // says what is wrong.
    SetUp();
    load(Syzd{});
    Sec512::Fields fs = Sec512::fieldsFromStore(mdl);
    fs.ltau = "0";
    fs.tau = Sec512::tauGrid(mdl.TAU, 0, true);
    const std::string p = app.path("User/Sy1z/Tau0/zero.syzd");
    Sec512::Table_File(mdl, p, fs);
    core.dataPath = p;
    core.InputPar(c);
    EXPECT_EQ(mdl.LTAU, 0);
    EXPECT_EQ(mdl.TETAm(1), 1.0);
    EXPECT_EQ(mdl.NDEL, 20);
    try {
        core.Integr1(c);
        ADD_FAILURE() << "LTAU = 0 accepted";
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find("LTAU"), std::string::npos) << e.what();
    }
}

// ---------------------------------------------------------------- model

TEST_F(Sec512Test, RightHandSideAndStationaryValue) {
    Syzd f;
    f.alfa = "6";
    f.beta = "0.5";
    f.gama = "2";
    f.teta = "1.5";
    load(f);
    auto& g = mdl;
    g.ZTAU(1, 1) = 2;
    core.Vych_PCH(mdl);
    EXPECT_EQ(core.ZD1, 2.0);
    EXPECT_DOUBLE_EQ(g.FZ(1), 6 / (1 + 0.5 * 4));  // 2

    Sec512::Station(mdl);
    const double z = g.STAT;
    EXPECT_NEAR((1 + 0.5 * z * z) * z * 1.5, 6, 1e-9) << "Newton stops after a step below 1E-4";
    EXPECT_NEAR(Sec512::rhs(mdl, z), 1.5 * z, 1e-9);
}

TEST_F(Sec512Test, InitialFunctionsOfBothKinds) {
    Syzd f;
    f.ind = "0";
    f.z_1 = "0.25";
    load(f);
    auto& g = mdl;
    core.Nach_Rasp(mdl);
    EXPECT_GT(g.STAT, 0);
    EXPECT_EQ(g.ZTAB(1, 1), g.STAT + 0.25) << "the perturbation sits on the oldest node";
    for (int p = 2; p <= 21; ++p) EXPECT_EQ(g.ZTAB(p, 1), g.STAT) << p;

    g.IND = 1;
    g.Z_1 = 0;
    core.Nach_Rasp(mdl);
    for (int p = 1; p <= 21; ++p) EXPECT_EQ(g.ZTAB(p, 1), 0.0) << p;
    g.Z_1 = 0.5;
    core.Nach_Rasp(mdl);
    EXPECT_EQ(g.ZTAB(1, 1), 0.5);
    EXPECT_EQ(g.ZTAB(2, 1), 0.0);
    EXPECT_GT(g.STAT, 0) << "the stationary value is found for the legend in both cases";
}

TEST_F(Sec512Test, StationaryHistoryStaysAndAPerturbationActsFromTimeZero) {
    Syzd f;  // a short delay: the stationary value is stable
    f.taus = "0.5";
    f.ind = "0";
    f.z_1 = "0";
    f.tmax = "10";
    f.ndel = "50";
    load(f);
    run();
    for (const auto& r : rows()) EXPECT_NEAR(valueOf(r), mdl.STAT, 1e-5 * mdl.STAT) << r;
    EXPECT_NEAR(mdl.ZTAB(51, 1), mdl.STAT, 1e-9);

    // The oldest node lies one delay before t = 0: the first row still shows STAT, the
    // next node already moves.
    f.z_1 = "1";
    f.tmax = "0.5";
    SetUp();
    load(f);
    core.Integr1(c);
    const auto r = rows();
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r[0].substr(22, 11), Format(mdl.STAT, "0.00000E+00"));
    EXPECT_GT(std::fabs(mdl.ZTAB(2, 1) - mdl.STAT), 1e-4);
}

TEST_F(Sec512Test, OnlyTheFirstDelayCounts) {
    Syzd f;
    f.ltau = "3";
    f.taus = "1,2,3";
    f.ndel = "10";
    f.tmax = "2";
    load(f);
    run();
    EXPECT_EQ(mdl.HHH, 0.1);
    EXPECT_EQ(mdl.NPER, 2);
    EXPECT_EQ(results()[5], "TAU  = 1.00000E+00");
}

TEST_F(Sec512Test, ConvergesAtSecondOrder) {
    // Zero history: F = ALFA until t = TAU, then the oscillating regime; Z at t = 3*TAU.
    Syzd f;
    f.ind = "1";
    f.z_1 = "0";
    f.tmax = "6";
    f.ndel = "2400";
    const double ref = endValue(f);
    std::vector<double> err;
    for (const char* n : {"50", "100", "200"}) {
        f.ndel = n;
        err.push_back(std::fabs(endValue(f) - ref));
    }
    for (std::size_t i = 0; i + 1 < err.size(); ++i) {
        const double order = std::log2(err[i] / err[i + 1]);
        EXPECT_GT(order, 1.8) << i;
        EXPECT_LT(order, 2.3) << i;
    }
}

// ---------------------------------------------------------------- results

TEST_F(Sec512Test, ResultsFileByteForByteAndRewrittenAtEveryPortion) {
    // Zero history and F = ALFA over the first window: Z = ALFA/TETA*(1 - e^(-TETA t)).
    Syzd f;
    f.alfa = "3";
    f.beta = "0.5";
    f.gama = "2";
    f.taus = "1";
    f.teta = "2";
    f.ndel = "2";
    f.tmax = "1";
    f.ind = "1";
    f.z_1 = "0";
    f.nsc = "1";
    load(f);
    run();
    const auto z = [](double t) { return Format(1.5 * (1 - std::exp(-2 * t)), "0.00000E+00"); };
    std::string want;
    for (const std::string& l :
         {std::string(), std::string("ПАРАМЕТРЫ МОДЕЛИ"), std::string("ALFA = 3.00000E+00"),
          std::string("BETA = 5.00000E-01"), std::string("GAMA = 2.00000E+00"),
          std::string("TAU  = 1.00000E+00"), std::string("TETA = 2.00000E+00"), std::string("NDEL = 2"),
          std::string(), std::string("              Таблица"),
          std::string("зависимостей компонент вектора Z от времени t"), std::string(),
          std::string(" No        t             Z"), std::string("-----+-------------+-------------+"),
          "00001   0.00000E+00   " + z(0) + "   ", "00002   5.00000E-01   " + z(0.5) + "   ",
          "00003   1.00000E+00   " + z(1) + "   "})
        want += utf8ToCp1251(l) + "\r\n";
    const std::string got = bytesOf(paths.userFile("Results.s1z"));
    ASSERT_GE(got.size(), want.size());
    EXPECT_EQ(got.substr(0, want.size()), want);
    // The remainder (NREM = 0) computes one node more, listed as row NP1 = 3 at T0 + h.
    const std::string tail = got.substr(want.size());
    EXPECT_EQ(tail.substr(0, 22), "00003   1.50000E+00   ");
    EXPECT_EQ(std::count(tail.begin(), tail.end(), '\n'), 1);
    EXPECT_EQ(tail.substr(tail.size() - 5), "   \r\n");
    EXPECT_EQ(rows().size(), 4u);

    // A second portion continues from the window and rewrites the file, times from 0.
    const double last = mdl.ZTAB(3, 1);
    run();
    const auto r = rows();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0], "00001   0.00000E+00   " + Format(last, "0.00000E+00") + "   ");
    EXPECT_EQ(results()[1], "ПАРАМЕТРЫ МОДЕЛИ");
    EXPECT_EQ(results().size(), 14u + 4u);
}

TEST_F(Sec512Test, WindowsRemainderAndRowNumbers) {
    Syzd f;
    f.taus = "1";
    f.ndel = "8";
    f.tmax = "2.5";
    f.nsc = "4";
    load(f);
    run();
    // Two windows with rows 1, 4, 8; the remainder of NREM = 4 steps (c = 9..13) lists
    // c = 12 at T0 + (12 - 8)*h = 2.5.
    const auto r = rows();
    ASSERT_EQ(r.size(), 7u);
    EXPECT_EQ(r[0].substr(0, 19), "00001   0.00000E+00");
    EXPECT_EQ(r[1].substr(0, 19), "00004   3.75000E-01");
    EXPECT_EQ(r[2].substr(0, 19), "00008   8.75000E-01");
    EXPECT_EQ(r[3].substr(0, 19), "00001   1.00000E+00");
    EXPECT_EQ(r[6].substr(0, 19), "00012   2.50000E+00");
    EXPECT_EQ(mdl.NPER, 2);
}

TEST_F(Sec512Test, ThreePortionsEqualOneRunOfThreeTimesTheWindows) {
    Syzd f;
    f.taus = "1.5";
    f.ndel = "60";
    f.nsc = "10";
    f.tmax = "13.5";  // nine windows in one run
    load(f);
    core.Integr1(c);
    std::vector<double> longWindow;
    for (int p = 1; p <= 61; ++p) longWindow.push_back(mdl.ZTAB(p, 1));
    const auto longRows = rows();

    SetUp();
    f.tmax = "4.5";  // three windows per portion
    load(f);
    for (int i = 0; i < 3; ++i) run();
    EXPECT_EQ(mdl.L, 3);
    for (int p = 1; p <= 61; ++p) EXPECT_EQ(mdl.ZTAB(p, 1), longWindow[static_cast<std::size_t>(p - 1)]) << p;
    // The third portion lists the last three windows of the long run, times from 0.
    const auto r = rows();
    ASSERT_EQ(longRows.size(), 3 * r.size());
    for (std::size_t i = 0; i < r.size(); ++i) {
        const std::string& l = longRows[2 * r.size() + i];
        EXPECT_EQ(r[i].substr(0, 5), l.substr(0, 5)) << i;
        EXPECT_EQ(r[i].substr(22), l.substr(22)) << i;
    }
}

// ---------------------------------------------------------------- refusals

TEST_F(Sec512Test, BadInputIsRefusedBeforeAnythingIsComputed) {
    struct Bad {
        const char* what;
        std::function<void(Syzd&)> set;
    };
    const std::vector<Bad> cases = {
        {"NDEL должно быть от 1 до 2499", [](Syzd& f) { f.ndel = "2500"; }},
        {"NDEL должно быть от 1 до 2499", [](Syzd& f) { f.ndel = "0"; }},
        {"NSC", [](Syzd& f) { f.nsc = "0"; }},
        {"TETA должна быть отлична от 0", [](Syzd& f) { f.teta = "0"; }},
        {"строка 25: ожидалось IC(1) от 1 до MDIM = 1, прочитано «2»", [](Syzd& f) { f.ic = "2"; }},
        {"IC(2) = 2",
         [](Syzd& f) {
             f.mdim = "2";
             f.ic = "1,2";
         }},
        {"NCOMP", [](Syzd& f) { f.ic = ""; }},
        {"начальное приближение", [](Syzd& f) { f.beta = "0"; }},
        {"начальное приближение", [](Syzd& f) { f.alfa = "-1"; }},
        {"больше 0", [](Syzd& f) { f.taus = "-2"; }},
        {"TMAX", [](Syzd& f) { f.tmax = "0"; }},
    };
    app.write("User/Results.s1z", "old\r\n");
    for (const Bad& b : cases) {
        SetUp();
        Syzd f;
        b.set(f);
        try {
            load(f);  // a bad list is refused here, the other limits before the run
            core.Integr1(c);
            ADD_FAILURE() << "accepted: " << b.what;
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find(b.what), std::string::npos) << e.what();
        }
        EXPECT_EQ(bytesOf(paths.userFile("Results.s1z")), "old\r\n") << b.what;
        EXPECT_EQ(mdl.STAT, 0.0) << b.what;
        EXPECT_EQ(mdl.HHH, 0.0) << b.what;
    }
}

// ---------------------------------------------------------------- canvas and shell

TEST_F(Sec512Test, LegendRowsOfTheSection) {
    load(Syzd{});
    run();
    const auto& g = mdl;
    auto rowOf = [&](const std::string& s) {
        const DrawCall* d = surf.findText(s);
        return d ? (d->y1 - g.TXTY) / g.CHH : -1.0;
    };
    EXPECT_NE(surf.findText("Графики компонент вектора Z(t), t = L*TAUmax + u"), nullptr);
    EXPECT_EQ(rowOf("Уравнение"), 0);
    EXPECT_EQ(rowOf("с запаздывающим"), 1);
    EXPECT_EQ(rowOf("аргументом"), 2);
    EXPECT_EQ(rowOf("Параметры модели"), 5);
    EXPECT_EQ(rowOf("ALFA   = 1.0000E+01"), 7);
    EXPECT_EQ(rowOf("BETA   = 1.0000E+00"), 8);
    EXPECT_EQ(rowOf("GAMA   = 4.0000E+00"), 9);
    EXPECT_EQ(rowOf("TAU    = 2.0000E+00"), 10);
    EXPECT_EQ(rowOf("TETA   = 1.0000E+00"), 11);
    EXPECT_EQ(rowOf("SCRT   = 4.0000E+00"), 12);
    EXPECT_EQ(rowOf("NDEL   = 20"), 13);
    EXPECT_EQ(rowOf("Компоненты"), 16);
    EXPECT_EQ(rowOf("Z1"), 18);
    EXPECT_EQ(rowOf("Стационарное решение"), 21);
    EXPECT_EQ(rowOf("   Z = " + Format(g.STAT, "0.0000E+00")), 23);
    EXPECT_EQ(rowOf("   L = 0"), 26);
    EXPECT_EQ(surf.findText("Норма невязки"), nullptr);
}

TEST(Sec512Shell, PortionCounterRunsOnAndRestartsWhenTheFileIsReadAgain) {
    Store mdl;
    TempApp app;
    app.write("User/Sy1z/Tau0/t.syzd", Syzd{}.text());
    app.mkdir("User/Sy1z/Tau1");
    AppPaths paths(app.root());
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Shell shell(mdl, paths);
    shell.Sect_Select(512);
    EXPECT_EQ(shell.taskItems, (std::vector<std::string>{"Tau0", "Tau1"}));
    shell.Combo1_Click("Tau0");
    SectionCore* core = shell.current();
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(core->code(), 512);
    core->dataPath = app.path("User/Sy1z/Tau0/t.syzd");
    ASSERT_TRUE(shell.mnuInput(c));
    const auto& g = mdl;
    std::vector<std::string> counters;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(shell.mnuIntegr(c)) << (ui.messages.empty() ? "" : ui.messages.back().text);
        for (const auto& d : surf.of(DrawCall::Kind::Text))
            if (d.text.rfind("   L = ", 0) == 0) {
                counters.push_back(d.text);
                EXPECT_EQ((d.y1 - g.TXTY) / g.CHH, 26);
            }
        surf.forget();
    }
    EXPECT_EQ(counters, (std::vector<std::string>{"   L = 0", "   L = 1", "   L = 2"}));
    ASSERT_TRUE(shell.mnuInput(c));
    EXPECT_EQ(g.L, 0);
    ASSERT_TRUE(shell.mnuIntegr(c));
    EXPECT_NE(surf.findText("   L = 0"), nullptr);
    EXPECT_TRUE(shell.isEnabled(Cmd::OpenResl));
    EXPECT_EQ(shell.resultsPath(), paths.userFile("Results.s1z"));

    // A refused run: a message, no counter, the results as they were.
    const std::string before = bytesOf(paths.userFile("Results.s1z"));
    mdl.NSC = 0;
    surf.forget();
    EXPECT_FALSE(shell.mnuIntegr(c));
    EXPECT_NE(ui.messages.back().text.find("NSC"), std::string::npos);
    EXPECT_EQ(surf.findText("   L = 1"), nullptr);
    EXPECT_EQ(bytesOf(paths.userFile("Results.s1z")), before);
}
