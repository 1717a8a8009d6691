// Section 2.2: the ".mtzd" file, the "Tau0" model, the results table, the refused inputs,
// the legend and the portion counter through the shell.
#include "models/section22/sec22.h"

#include "support/delay_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace velta;
using velta::test::bytesOf;
using velta::test::DrawCall;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

// Field texts of one ".mtzd" file, in the order of its blocks.
struct Mtzd {
    std::string alfa = "10", beta = "1", gama = "2";
    std::string mdim = "2", ltau = "6", ptau = "2", taus = "0.1,0.25,0.4,0.55,0.7,1";
    std::string tmax = "4", ndel = "20", ind = "0", z_1 = "0.001", ic = "1,2", nsc = "5";
    std::string dlx = "0", drx = "1", sclt = "0";

    std::string text() const {
        velta::test::BlockLines b;
        b.block(1, {"ALFA = " + alfa, "BETA = " + beta, "GAMA = " + gama});
        b.block(2, {"MDIM = " + mdim, "LTAU = " + ltau, "PTAU = " + ptau, "TAUm(I):", taus});
        b.block(3, {"TMAX = " + tmax, "NDEL = " + ndel});
        b.block(4, {"IND = " + ind, "Z_1 = " + z_1});
        b.block(5, {"IC(I):", ic});
        b.block(6, {"NSC = " + nsc});
        b.block(7, {"Dlx = " + dlx, "Drx = " + drx, "Sclt = " + sclt});
        return b.text();
    }
};

class Sec22Test : public velta::test::DelayFixture<Sec22> {
protected:
    Sec22Test() : DelayFixture("Mtr", "mtzd", "Results.mtz", 28) {}
};

}  // namespace

// ---------------------------------------------------------------- data file

TEST_F(Sec22Test, ShippedSampleReadsAndWritesBackByteForByte) {
    const std::string src = std::string(VELTA_SOURCE_DIR) + "/User/Mtr/Tau0/Tau0_Oscill.mtzd";
    ASSERT_TRUE(std::filesystem::exists(src));
    const std::string bytes = bytesOf(src);
    app.write("User/Mtr/Tau0/s.mtzd", bytes);
    core.dataPath = app.path("User/Mtr/Tau0/s.mtzd");
    mdl.L = 4;
    core.InputPar(c);
    const auto& g = mdl;
    EXPECT_EQ(g.L, 0);
    EXPECT_EQ(g.MDIM, 2);
    EXPECT_EQ(g.LTAU, 6);
    EXPECT_EQ(g.TAU(2), 0.25);
    EXPECT_EQ(g.TAU(6), 1.0);
    EXPECT_EQ(g.NDEL, 250);
    EXPECT_EQ(g.NP1, 251);
    EXPECT_EQ(g.NP2, 500);
    EXPECT_EQ(g.NCOMP, 2);
    EXPECT_EQ(g.ZTAB.rows(), 1000);
    EXPECT_EQ(g.ZTAB.cols(), 5);
    EXPECT_EQ(g.ZTAU.rows(), 20);

    const auto chk = readAllLines(paths.userFile("Input.chk"));
    for (const char* line : {"Контроль ввода исходных данных:", "ALFA = 10", "PTAU = 5", "TAUm(1) = 0.1",
                             "TAUm(6) = 1", "NDEL = 250", "NP1  = 251", "NP2  = 500", "Z_1 = 0.001",
                             "IC(2) = 2", "NSC = 10", "DRX = 0.4", "SCLT = 0"})
        EXPECT_NE(std::find(chk.begin(), chk.end(), line), chk.end()) << line;
    EXPECT_EQ(chk[2], " ");

    const std::string out = app.path("User/Mtr/Tau0/back.mtzd");
    Sec22::Table_File(mdl, out, Sec22::fieldsFromStore(mdl));
    EXPECT_EQ(bytesOf(out), bytes);
}

TEST_F(Sec22Test, ReaderLimitsAndTheDelayGrid) {
    Mtzd f;
    f.mdim = "2";
    f.ic = "2,1,3";
    f.ltau = "3";
    f.taus = "0.2,0.5,1";
    load(f);
    EXPECT_EQ(mdl.NCOMP, 2) << "NCOMP = min(items, MDIM)";
    EXPECT_EQ(mdl.IC(1), 2);
    EXPECT_EQ(mdl.IC(2), 1);
    const GridText t = Sec22::tauGrid(mdl.TAU, 3, false);
    ASSERT_EQ(t.rows(), 6);
    ASSERT_EQ(t.cols(), 4);
    EXPECT_EQ(t.at(0, 2), "Значения TAU(I)");
    EXPECT_EQ(t.at(2, 0), "TAU(1)");
    EXPECT_EQ(t.at(4, 0), "TAU(3)");
    EXPECT_EQ(t.at(3, 2), "0.5");
    EXPECT_EQ(Sec22::tauGrid(mdl.TAU, 2, true).at(3, 2), "0");

    f.ltau = "21";
    EXPECT_THROW(load(f), VeltaError);
    try {
        load(f);
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find("LTAU должно быть от 1 до 20"), std::string::npos) << e.what();
    }
}

// ---------------------------------------------------------------- model

TEST_F(Sec22Test, RightHandSidesOfTau0AtAHandCheckedPoint) {
    load(Mtzd{});
    auto& g = mdl;
    for (int j = 1; j <= 6; ++j) {
        g.ZTAU(j, 1) = 0.5 * j;
        g.ZTAU(j, 2) = 0.1 * j;
    }
    core.Vych_PCH(mdl);
    // GAMA = 2: FZ1 = 10/(1 + (0.6^2 + 1.0^2)); FZ2 = 10/(1 + sum (0.5 j)^2) = 10/(1 + 22.75).
    EXPECT_NEAR(g.FZ(1), 10 / 2.36, 1e-13);
    EXPECT_NEAR(g.FZ(2), 10 / 23.75, 1e-13);
    // Another task leaves FZ as it is.
    g.TASKDIR = "Tau1";
    g.FZ(1) = 7;
    g.FZ(2) = 8;
    core.Vych_PCH(mdl);
    EXPECT_EQ(g.FZ(1), 7);
    EXPECT_EQ(g.FZ(2), 8);
}

TEST_F(Sec22Test, StationarySolutionAndBothInitialFunctions) {
    Mtzd f;
    f.gama = "3";
    f.beta = "0.5";
    load(f);
    auto& g = mdl;
    Sec22::Station(mdl);
    const double a = 10, b = 0.5, ga = 3;
    EXPECT_NEAR(g.ZS2, a / (1 + 6 * b * std::pow(g.ZS1, ga)), 1e-14);
    EXPECT_NEAR(g.ZS1 * (1 + b * (std::pow(g.ZS2, ga) + std::pow(g.ZS1, ga))), a, 1e-6);

    g.NDEL = 20;
    core.Nach_Rasp(mdl);
    for (int p = 1; p <= 21; ++p) {
        EXPECT_EQ(g.ZTAB(p, 1), g.ZS1 + 0.001);
        EXPECT_EQ(g.ZTAB(p, 2), g.ZS2);
    }
    g.IND = 1;
    core.Nach_Rasp(mdl);
    for (int p = 1; p <= 21; ++p) {
        EXPECT_EQ(g.ZTAB(p, 1), 0.0001);
        EXPECT_EQ(g.ZTAB(p, 2), 0.0);
    }
    // No root from the start: the capped iteration says so.
    g.ALFA = -1;
    EXPECT_THROW(Sec22::Station(mdl), VeltaError);
}

TEST_F(Sec22Test, StableParametersSettleOnTheStationarySolution) {
    Mtzd f;  // GAMA = 2, short delays: the perturbation dies out
    f.tmax = "40";
    load(f);
    run();
    run();
    const auto& g = mdl;
    EXPECT_NEAR(g.ZTAB(21, 1), g.ZS1, 1e-7);
    EXPECT_NEAR(g.ZTAB(21, 2), g.ZS2, 1e-7);
}

// ---------------------------------------------------------------- results

TEST_F(Sec22Test, ResultsHeaderExactAndRewrittenAtEveryPortion) {
    Mtzd f;
    f.ltau = "3";
    f.taus = "0.25,0.5,1";
    f.tmax = "5";
    f.ndel = "10";
    f.nsc = "5";
    mdl.TASKDIR = "Tau1";  // FZ stays 0: Z decays as e^(-t)
    load(f);
    run();
    const std::vector<std::string> header = {
        "",
        "ПАРАМЕТРЫ МОДЕЛИ",
        "MDIM    = 2",
        "ALFA    = 1.00000E+01",
        "BETA    = 1.00000E+00",
        "GAMA    = 2.00000E+00",
        "TAUm(1) = 5.00000E-01",
        "TAUm(2) = 1.00000E+00",
        "TAUm(3) = 2.00000E+00",
        "TAUm(4) = 0.00000E+00",
        "TAUm(5) = 0.00000E+00",
        "TAUm(6) = 0.00000E+00",
        "PTAU    = 2.00000E+00",
        "TMAX    = 5.00000E+00",
        "NDEL    = 10",
        "",
        "              Таблица",
        "зависимостей компонент вектора Z от времени t",
        "",
        " No        t             Z1            Z2",
        "-----+-------------+-------------+-------------+",
    };
    auto r = results();
    ASSERT_GE(r.size(), header.size());
    for (std::size_t i = 0; i < header.size(); ++i) EXPECT_EQ(r[i], header[i]) << i;
    // Two windows of 2 (rows of nodes 1, 5 and 10 each), then the remainder NREM = 5 with
    // c = 11..16, listed at c = 15: time T0 + (15 - 10)*h = 5 with the value of node 16.
    const auto rw = rows();
    ASSERT_EQ(rw.size(), 3u + 3u + 1u);
    EXPECT_EQ(rw[0].substr(0, 19), "00001   0.00000E+00");
    EXPECT_EQ(rw[2].substr(0, 19), "00010   1.80000E+00");
    EXPECT_EQ(rw[3].substr(0, 19), "00001   2.00000E+00");
    EXPECT_EQ(rw[6].substr(0, 19), "00015   5.00000E+00");
    const double zExact = (mdl.ZS1 + 0.001) * std::exp(-5.0);
    EXPECT_EQ(rw[6].substr(22, 11), Format(zExact, "0.00000E+00"));
    EXPECT_EQ(rw[6], "00015   5.00000E+00   " + Format(zExact, "0.00000E+00") + "   " +
                         Format(mdl.ZS2 * std::exp(-5.0), "0.00000E+00") + "   ");

    // The second portion rewrites the file: the same header, times from 0 again.
    run();
    r = results();
    for (std::size_t i = 0; i < header.size(); ++i) EXPECT_EQ(r[i], header[i]) << i;
    EXPECT_EQ(rows().size(), 7u);
    EXPECT_EQ(rows()[0].substr(0, 19), "00001   0.00000E+00");
    EXPECT_EQ(mdl.TAU(3), 2.0) << "delays are scaled once";
}

TEST_F(Sec22Test, DelaysOnNodesExactlyGiveTheirNodes) {
    // PTAU = 4 with the delays 0.3 and 0.55 and NDEL = 400: 2.8 and 1.8 before the newest
    // node lie exactly on nodes 281 and 181.
    Mtzd f;
    f.ptau = "4";
    f.taus = "0.3,0.55,0.6,0.7,0.8,1";
    f.ndel = "400";
    f.tmax = "4";
    load(f);
    run();
    const auto& g = mdl;
    EXPECT_EQ(g.KTAU(1), 281);
    EXPECT_EQ(g.RTAU(1), 0.0);
    EXPECT_EQ(g.KTAU(2), 181);
    EXPECT_EQ(g.RTAU(2), 0.0);
    for (int j = 3; j <= 5; ++j) EXPECT_GE(g.KTAU(j), 1);
    EXPECT_NEAR(g.ZTAB(401, 1), g.ZS1, 0.01);
}

// ---------------------------------------------------------------- refusals

TEST_F(Sec22Test, BadInputIsRefusedBeforeAnythingIsComputed) {
    struct Bad {
        const char* what;
        std::function<void(Mtzd&)> set;
    };
    const std::vector<Bad> cases = {
        {"MDIM должно быть от 1 до 5", [](Mtzd& f) { f.mdim = "6"; }},
        {"NDEL должно быть от 1 до 499", [](Mtzd& f) { f.ndel = "500"; }},
        {"NDEL должно быть от 1 до 499", [](Mtzd& f) { f.ndel = "0"; }},
        {"NSC", [](Mtzd& f) { f.nsc = "0"; }},
        {"порядке возрастания", [](Mtzd& f) { f.taus = "0.1,0.4,0.25,0.55,0.7,1"; }},
        {"меньше шага", [](Mtzd& f) { f.taus = "0.04,0.25,0.4,0.55,0.7,1"; }},
        {"строка 24: ожидалось IC(2) от 1 до MDIM = 2, прочитано «3»", [](Mtzd& f) { f.ic = "1,3"; }},
        {"PTAU", [](Mtzd& f) { f.ptau = "0"; }},
        {"Tau0 требует",
         [](Mtzd& f) {
             f.ltau = "5";
             f.taus = "0.1,0.25,0.4,0.55,1";
         }},
        {"TMAX", [](Mtzd& f) { f.tmax = "0"; }},
    };
    app.write("User/Results.mtz", "old\r\n");
    for (const Bad& b : cases) {
        SetUp();
        Mtzd f;
        b.set(f);
        try {
            load(f);  // a bad list is refused here, the other limits before the run
            core.Integr1(c);
            ADD_FAILURE() << "accepted: " << b.what;
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find(b.what), std::string::npos) << e.what();
        }
        EXPECT_EQ(bytesOf(paths.userFile("Results.mtz")), "old\r\n") << b.what;
        EXPECT_EQ(mdl.ZS1, 0.0) << b.what;
    }
}

// ---------------------------------------------------------------- canvas and shell

TEST_F(Sec22Test, LegendRowsOfTheSection) {
    load(Mtzd{});
    run();
    const auto& g = mdl;
    auto rowOf = [&](const std::string& s) {
        const DrawCall* d = surf.findText(s);
        return d ? (d->y1 - g.TXTY) / g.CHH : -1.0;
    };
    EXPECT_NE(surf.findText("Графики функций Z1(t) и Z2(t), t = L*TAUmax + u"), nullptr);
    EXPECT_EQ(rowOf("Model M1(32-1-32)"), 0);
    EXPECT_EQ(rowOf("Параметры модели"), 2);
    EXPECT_EQ(rowOf("ALFA = 1.00000E+01"), 4);
    EXPECT_EQ(rowOf("TAU(1) = 2.0000E-01"), 7);
    EXPECT_EQ(rowOf("TAU(6) = 2.0000E+00"), 12);
    EXPECT_EQ(rowOf("Стационарное решение"), 23);
    EXPECT_EQ(rowOf("   Z1 = " + Format(g.ZS1, "0.0000E+00")), 25);
    EXPECT_EQ(rowOf("   Z2 = " + Format(g.ZS2, "0.0000E+00")), 26);
    EXPECT_EQ(rowOf("Компоненты"), 17);
    EXPECT_EQ(rowOf("Z1"), 19);
    EXPECT_EQ(rowOf("Z2"), 20);
    EXPECT_EQ(rowOf("   L = 0"), 28);
    EXPECT_EQ(surf.findText("   L = 0")->colour, QBColor(10));
    EXPECT_EQ(surf.findText("Норма невязки"), nullptr);
}

TEST(Sec22Shell, PortionCounterRunsOnAndRestartsWhenTheFileIsReadAgain) {
    Store mdl;
    TempApp app;
    app.write("User/Mtr/Tau0/t.mtzd", Mtzd{}.text());
    app.mkdir("User/Mtr/Tau1");
    AppPaths paths(app.root());
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Shell shell(mdl, paths);
    shell.Sect_Select(22);
    EXPECT_EQ(shell.taskItems, (std::vector<std::string>{"Tau0", "Tau1"}));
    shell.Combo1_Click("Tau0");
    SectionCore* core = shell.current();
    ASSERT_NE(core, nullptr);
    core->dataPath = app.path("User/Mtr/Tau0/t.mtzd");
    ASSERT_TRUE(shell.mnuInput(c));
    std::vector<std::string> counters;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(shell.mnuIntegr(c)) << (ui.messages.empty() ? "" : ui.messages.back().text);
        for (const auto& t : surf.texts())
            if (t.rfind("   L = ", 0) == 0) counters.push_back(t);
        surf.forget();
    }
    EXPECT_EQ(counters, (std::vector<std::string>{"   L = 0", "   L = 1", "   L = 2"}));
    EXPECT_EQ(mdl.TAU(6), 2.0);
    ASSERT_TRUE(shell.mnuInput(c));
    EXPECT_EQ(mdl.L, 0);
    EXPECT_EQ(mdl.TAU(6), 1.0);
    ASSERT_TRUE(shell.mnuIntegr(c));
    EXPECT_NE(surf.findText("   L = 0"), nullptr);

    // A refused run: message, no counter, the results left as they were.
    const std::string before = bytesOf(paths.userFile("Results.mtz"));
    mdl.NSC = 0;
    surf.forget();
    EXPECT_FALSE(shell.mnuIntegr(c));
    EXPECT_NE(ui.messages.back().text.find("NSC"), std::string::npos);
    EXPECT_EQ(surf.findText("   L = 1"), nullptr);
    EXPECT_EQ(bytesOf(paths.userFile("Results.mtz")), before);
}
