// Section 5.2.2: the ".syzd" file with its combined lines, the damped stationary value,
// the ordering and the node of the two delays, the results table, portions, convergence,
// refused inputs, the legend and the portion counter.
#include "synthesis/section522/sec522.h"

#include "support/delay_fixture.h"
#include "synthesis/section512/sec512.h"

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

// Field texts of one ".syzd" file of section 5.2.2, in the order of its blocks.
struct Syzd2 {
    std::string alfa3 = "1,5,5", beta12 = "1,1", gama12 = "4,4";
    std::string mdim = "1", ltau = "2", taus = "2,3", teta = "1";
    std::string tmax = "6", ndel = "30", ind = "0", z_1 = "0.1", ic = "1", nsc = "5";
    std::string dlx = "0", drx = "8", sclt = "0";

    std::string text() const {
        velta::test::BlockLines b;
        b.block(1, {"ALFA,ALFA1,ALFA2:", alfa3, "BETA1,BETA2:", beta12, "GAMA1,GAMA2:", gama12});
        b.block(2, {"MDIM = " + mdim, "LTAU = " + ltau, "TAUm(I):", taus, "TETAm(1):", teta});
        b.block(3, {"TMAX = " + tmax, "NDEL = " + ndel});
        b.block(4, {"IND = " + ind, "Z_1 = " + z_1});
        b.block(5, {"IC(I):", ic});
        b.block(6, {"NSC = " + nsc});
        b.block(7, {"Dlx = " + dlx, "Drx = " + drx, "Sclt = " + sclt});
        return b.text();
    }
};

class Sec522Test : public velta::test::DelayFixture<Sec522> {
protected:
    Sec522Test() : DelayFixture("Sy2z", "syzd", "Results.s2z", 28) {}
    std::vector<double> window() const {
        std::vector<double> w;
        for (int p = 1; p <= mdl.NDEL + 1; ++p) w.push_back(mdl.ZTAB(p, 1));
        return w;
    }
    double endValue(const Syzd2& f) {
        SetUp();
        load(f);
        core.Integr1(c);
        return mdl.ZTAB(mdl.NDEL + 1, 1);
    }
    // Observed orders of the error at the end of the run for NDEL = n, 2n, 4n against 16n.
    std::vector<double> orders(Syzd2 f, int n) {
        f.ndel = std::to_string(16 * n);
        const double ref = endValue(f);
        std::vector<double> err, ord;
        for (int k : {n, 2 * n, 4 * n}) {
            f.ndel = std::to_string(k);
            err.push_back(std::fabs(endValue(f) - ref));
        }
        for (std::size_t i = 0; i + 1 < err.size(); ++i) ord.push_back(std::log2(err[i] / err[i + 1]));
        return ord;
    }
};

}  // namespace

// ---------------------------------------------------------------- data file

TEST_F(Sec522Test, ShippedSamplesReadAndWriteBackByteForByte) {
    for (const char* name : {"Oscill.syzd", "Stable.syzd"}) {
        const std::string src = std::string(VELTA_SOURCE_DIR) + "/User/Sy2z/Tau0/" + name;
        ASSERT_TRUE(std::filesystem::exists(src)) << name;
        const std::string bytes = bytesOf(src);
        app.write("User/Sy2z/Tau0/s.syzd", bytes);
        core.dataPath = app.path("User/Sy2z/Tau0/s.syzd");
        mdl.L = 2;
        core.InputPar(c);
        const auto& g = mdl;
        EXPECT_EQ(g.L, 0);
        EXPECT_EQ(g.ALFA, 1.0);
        EXPECT_EQ(g.ALFA1, 5.0);
        EXPECT_EQ(g.ALFA2, 5.0);
        EXPECT_EQ(g.GAMA2, 4.0);
        EXPECT_EQ(g.LTAU, 2);
        EXPECT_EQ(g.ZTAB.rows(), 5000);
        EXPECT_EQ(g.ZTAB.cols(), 1);

        const Sec522::Fields f = Sec522::fieldsFromStore(mdl);
        EXPECT_EQ(f.alfa3, "1,5,5");
        EXPECT_EQ(f.beta12, "1,1");
        const std::string out = app.path("User/Sy2z/Tau0/back.syzd");
        Sec522::Table_File(mdl, out, f);
        EXPECT_EQ(bytesOf(out), bytes) << name;
    }
    const auto chk = readAllLines(paths.userFile("Input.chk"));
    for (const char* line : {"Контроль ввода исходных данных:",
                             " ",
                             "ALFA,ALFA1,ALFA2 = 1,5,5",
                             "BETA1,BETA2 = 1,1",
                             "GAMA1,GAMA2 = 4,4",
                             "MDIM = 1",
                             "LTAU = 2",
                             "TAUm(1) = 0.3",
                             "TAUm(2) = 0.5",
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
                             "DRX = 5",
                             "SCLT = 0"})
        EXPECT_NE(std::find(chk.begin(), chk.end(), line), chk.end()) << line;
}

TEST_F(Sec522Test, CombinedLinesAreCopiedAsTypedAndMustHoldTheirNumbers) {
    Syzd2 f;
    f.alfa3 = "2.0,3.50,4";
    load(f);
    EXPECT_EQ(mdl.ALFA1, 3.5);
    Sec522::Fields fs = Sec522::fieldsFromStore(mdl);
    EXPECT_EQ(fs.alfa3, "2,3.5,4") << "shown as free-format numbers joined by \",\"";
    fs.beta12 = "0.5,0.25";
    const std::string p = app.path("User/Sy2z/Tau0/w.syzd");
    Sec522::Table_File(mdl, p, fs);
    EXPECT_NE(cp1251ToUtf8(bytesOf(p)).find("BETA1,BETA2:\r\n0.5,0.25\r\n"), std::string::npos);
    core.dataPath = p;
    core.InputPar(c);
    EXPECT_EQ(mdl.BETA2, 0.25);

    // Two numbers where three are read: the label of the next line is taken as a number.
    f.alfa3 = "1,5";
    EXPECT_THROW(load(f), VeltaError);
}

// ---------------------------------------------------------------- model

TEST_F(Sec522Test, RightHandSideAtAHandCheckedPoint) {
    Syzd2 f;
    f.alfa3 = "2,3,4";
    f.beta12 = "1,0.5";
    f.gama12 = "2,1";
    load(f);
    auto& g = mdl;
    g.ZTAU(1, 1) = 1;
    g.ZTAU(2, 1) = 2;
    core.Vych_PCH(mdl);
    EXPECT_EQ(core.ZD1, 1.0);
    EXPECT_EQ(core.ZD2, 2.0);
    EXPECT_DOUBLE_EQ(g.FZ(1), 2 * (3.0 / 2 + 4.0 / 2));  // 7
}

TEST_F(Sec522Test, DampedStationaryValueAndInitialFunctions) {
    Syzd2 f;
    f.alfa3 = "2,3,1";
    f.beta12 = "1,2";
    f.gama12 = "2,1";
    f.teta = "0.5";
    f.ind = "0";
    f.z_1 = "0.3";
    load(f);
    auto& g = mdl;
    core.Nach_Rasp(mdl);
    // The root of TETA*z = ALFA*(ALFA1/(1 + BETA1 z^2) + ALFA2/(1 + BETA2 z)) by bisection.
    const auto gz = [](double z) { return 0.5 * z - 2 * (3 / (1 + z * z) + 1 / (1 + 2 * z)); };
    double lo = 0, hi = 100;
    for (int i = 0; i < 200; ++i) (gz(0.5 * (lo + hi)) > 0 ? hi : lo) = 0.5 * (lo + hi);
    EXPECT_NEAR(g.STAT, lo, 1e-3) << "a tenth of the Newton step below 1E-4";
    EXPECT_GT(std::fabs(g.STAT - lo), 1e-7) << "the damped iteration stops short of the root";
    EXPECT_NEAR(Sec522::stationGdg(mdl, g.STAT).first, gz(g.STAT), 1e-14);
    EXPECT_EQ(g.ZTAB(1, 1), g.STAT + 0.3);
    for (int p = 2; p <= 31; ++p) EXPECT_EQ(g.ZTAB(p, 1), g.STAT) << p;

    g.IND = 1;
    g.Z_1 = 0;
    core.Nach_Rasp(mdl);
    for (int p = 1; p <= 31; ++p) EXPECT_EQ(g.ZTAB(p, 1), 0.0) << p;
}

TEST_F(Sec522Test, DelaysEnteredBackwardsAreOrderedOnceAndGiveTheSameRun) {
    Syzd2 f;
    f.taus = "1,3";
    f.ndel = "30";
    f.tmax = "7";
    load(f);
    run();
    const auto wantRows = rows();
    const auto wantWindow = window();
    EXPECT_EQ(mdl.KTAU(1), 21);

    SetUp();
    f.taus = "3,1";
    load(f);
    EXPECT_EQ(mdl.TAU(1), 3.0) << "nothing is ordered before the run";
    run();
    const auto& g = mdl;
    EXPECT_EQ(g.TAU(1), 1.0);
    EXPECT_EQ(g.TAU(2), 3.0);
    EXPECT_EQ(g.HHH, 3.0 / 30);
    EXPECT_EQ(g.NPER, 2);
    const auto r = results();
    EXPECT_EQ(r[9], "TAU1  = 1.00000E+00");
    EXPECT_EQ(r[10], "TAU2  = 3.00000E+00");
    EXPECT_EQ(rows(), wantRows);
    EXPECT_EQ(window(), wantWindow);

    // The second portion keeps the order, the step and the node of the shorter delay.
    const double k = g.KTAU(1), rt = g.RTAU(1);
    run();
    EXPECT_EQ(g.TAU(1), 1.0);
    EXPECT_EQ(g.KTAU(1), k);
    EXPECT_EQ(g.RTAU(1), rt);
    EXPECT_EQ(g.HHH, 0.1);
}

TEST_F(Sec522Test, EqualDelaysActAsOneDelayWithBothTerms) {
    // With equal delays and equal elements the model is that of section 5.1.2 with
    // ALFA = 2*ALFA*ALFA1; both start from zero history.
    Syzd2 f;
    f.alfa3 = "2,2.5,2.5";
    f.beta12 = "1,1";
    f.gama12 = "4,4";
    f.taus = "1.5,1.5";
    f.ind = "1";
    f.z_1 = "0";
    f.ndel = "40";
    f.tmax = "9";
    load(f);
    run();
    run();
    EXPECT_EQ(mdl.KTAU(1), 1);
    EXPECT_EQ(mdl.RTAU(1), 0.0);
    EXPECT_EQ(core.ZD1, core.ZD2);
    const auto two = window();

    mdl.reset();
    mdl.TASKDIR = "Tau0";
    const std::string one =
        "1\r\n-\r\nALFA = 10\r\nBETA = 1\r\nGAMA = 4\r\n2\r\n-\r\nMDIM = 1\r\nLTAU = 1\r\nTAUm(I):\r\n1.5\r\n"
        "TETAm(1):\r\n1\r\n3\r\n-\r\nTMAX = 9\r\nNDEL = 40\r\n4\r\n-\r\nIND = 1\r\nZ_1 = 0\r\n5\r\n-\r\n"
        "IC(I):\r\n1\r\n6\r\n-\r\nNSC = 5\r\n7\r\n-\r\nDlx = 0\r\nDrx = 1\r\nSclt = 0\r\n";
    app.write("User/one.syzd", one);
    Sec512 s512;
    s512.dataPath = app.path("User/one.syzd");
    s512.InputPar(c);
    s512.Integr1(c);
    mdl.L = 1;
    s512.Integr1(c);
    const auto single = window();
    ASSERT_EQ(single.size(), two.size());
    double worst = 0;
    for (std::size_t i = 0; i < two.size(); ++i) worst = std::max(worst, std::fabs(two[i] - single[i]));
    EXPECT_LT(worst, 1e-12);
    EXPECT_GT(*std::max_element(two.begin(), two.end()), 1.0);
}

TEST_F(Sec522Test, ShorterDelayOnANodeIsReadWithoutInterpolation) {
    // 0.9 - 0.3 is 20 steps of 0.03 in exact arithmetic; in floating point the plain test
    // would put it just beside node 21.
    Syzd2 f;
    f.taus = "0.3,0.9";
    f.ndel = "30";
    f.tmax = "2";
    load(f);
    run();
    EXPECT_EQ(mdl.KTAU(1), 21);
    EXPECT_EQ(mdl.RTAU(1), 0.0);

    SetUp();
    f.taus = "0.31,0.9";
    load(f);
    run();
    EXPECT_EQ(mdl.KTAU(1), 20);
    EXPECT_NEAR(mdl.RTAU(1), 2.0 / 3, 1e-12);
}

TEST_F(Sec522Test, ConvergesAtSecondOrderWithAndWithoutInterpolation) {
    Syzd2 f;  // zero history, the oscillating regime, three windows
    f.ind = "1";
    f.z_1 = "0";
    f.taus = "1,2";
    f.tmax = "6";
    for (double o : orders(f, 40)) {
        EXPECT_GT(o, 1.8);
        EXPECT_LT(o, 2.3);
    }
    // The shorter delay between nodes: the fraction of the interpolation changes with the
    // step, so the order is taken over two halvings together.
    f.taus = "0.7071,2";
    const std::vector<double> o = orders(f, 50);
    EXPECT_GT((o[0] + o[1]) / 2, 1.8);
    EXPECT_LT((o[0] + o[1]) / 2, 2.7);
}

// ---------------------------------------------------------------- results

TEST_F(Sec522Test, ResultsHeaderExactAndAZeroHistoryRisesAtTheSumOfBothRates) {
    Syzd2 f;
    f.alfa3 = "2,1.5,0.5";
    f.beta12 = "1,3";
    f.gama12 = "1,2";
    f.teta = "2";
    f.taus = "1,2";
    f.ndel = "10";
    f.tmax = "5";
    f.ind = "1";
    f.z_1 = "0";
    f.nsc = "5";
    load(f);
    run();
    const std::vector<std::string> header = {
        "",
        "ПАРАМЕТРЫ МОДЕЛИ",
        "ALFA  = 2.00000E+00",
        "ALFA1 = 1.50000E+00",
        "ALFA2 = 5.00000E-01",
        "BETA1 = 1.00000E+00",
        "BETA2 = 3.00000E+00",
        "GAMA1 = 1.00000E+00",
        "GAMA2 = 2.00000E+00",
        "TAU1  = 1.00000E+00",
        "TAU2  = 2.00000E+00",
        "TETA  = 2.00000E+00",
        "TMAX  = 5.00000E+00",
        "NDEL  = 10",
        "",
        "              Таблица",
        "зависимостей компонент вектора Z от времени t",
        "",
        " No        t             Z",
        "-----+-------------+-------------+",
    };
    const auto r = results();
    ASSERT_GE(r.size(), header.size());
    for (std::size_t i = 0; i < header.size(); ++i) EXPECT_EQ(r[i], header[i]) << i;
    // Until the shorter delay has passed F = ALFA*(ALFA1 + ALFA2) = 4: Z = 2*(1 - e^(-2t)).
    const auto rw = rows();
    ASSERT_EQ(rw.size(), 3u + 3u + 1u);
    EXPECT_EQ(rw[0], "00001   0.00000E+00   0.00000E+00   ");
    EXPECT_EQ(rw[1], "00005   8.00000E-01   " + Format(2 * (1 - std::exp(-1.6)), "0.00000E+00") + "   ");
    EXPECT_EQ(rw[6].substr(0, 22), "00015   5.00000E+00   ");
}

TEST_F(Sec522Test, PortionShorterThanTheWindowComputesOneWindowAndOneNode) {
    Syzd2 f;
    f.taus = "1,2";
    f.ndel = "9";  // NP1 = 10, a multiple of NSC
    f.nsc = "5";
    f.tmax = "0.5";
    load(f);
    run();
    const auto& g = mdl;
    EXPECT_EQ(g.TMAX, 2.0);
    EXPECT_EQ(g.NPER, 1);
    EXPECT_EQ(results()[12], "TMAX  = 2.00000E+00");
    const auto rw = rows();
    ASSERT_EQ(rw.size(), 4u);
    EXPECT_EQ(rw[2].substr(0, 5), "00010");
    EXPECT_EQ(rw[3].substr(0, 19), "00010   " + Format(2 + 2.0 / 9, "0.00000E+00"));
    // The extra node is listed but not kept: the window ends at t = TAU2.
    EXPECT_EQ(rw[2].substr(22), Format(g.ZTAB(10, 1), "0.00000E+00") + "   ");
    EXPECT_EQ(rw[3].substr(22), Format(g.ZTAB(11, 1), "0.00000E+00") + "   ");
    // One curve, NDEL + 1 segments of it besides the legend's line (the frame is drawn in
    // other colours).
    std::size_t curve = 0;
    for (const auto& d : surf.of(DrawCall::Kind::Segment))
        if (d.colour == QBColor(13) && d.x1 != g.TXTX + 5.0 * g.CHW) ++curve;
    EXPECT_EQ(curve, 10u);
}

TEST_F(Sec522Test, ThreePortionsEqualOneRunOfThreeTimesTheWindows) {
    Syzd2 f;  // the shorter delay between nodes, read by interpolation
    f.taus = "0.7,2";
    f.ndel = "50";
    f.nsc = "10";
    f.tmax = "18";
    load(f);
    core.Integr1(c);
    EXPECT_GT(mdl.RTAU(1), 0.0);
    const auto longWindow = window();
    const auto longRows = rows();

    SetUp();
    f.tmax = "6";
    load(f);
    for (int i = 0; i < 3; ++i) run();
    EXPECT_EQ(window(), longWindow);
    const auto r = rows();
    ASSERT_EQ(longRows.size(), 3 * r.size());
    for (std::size_t i = 0; i < r.size(); ++i) {
        const std::string& l = longRows[2 * r.size() + i];
        EXPECT_EQ(r[i].substr(0, 5), l.substr(0, 5)) << i;
        EXPECT_EQ(r[i].substr(22), l.substr(22)) << i;
    }
}

// ---------------------------------------------------------------- refusals

TEST_F(Sec522Test, BadInputIsRefusedBeforeAnythingIsComputed) {
    struct Bad {
        const char* what;
        std::function<void(Syzd2&)> set;
    };
    const std::vector<Bad> cases = {
        {"LTAU = 2",
         [](Syzd2& f) {
             f.ltau = "1";
             f.taus = "2";
         }},
        {"LTAU = 2",
         [](Syzd2& f) {
             f.ltau = "3";
             f.taus = "1,2,3";
         }},
        {"GAMA1, GAMA2 должны быть не меньше 1", [](Syzd2& f) { f.gama12 = "0.5,4"; }},
        {"GAMA1, GAMA2 должны быть не меньше 1", [](Syzd2& f) { f.gama12 = "4,0"; }},
        {"TETA должна быть отлична от 0", [](Syzd2& f) { f.teta = "0"; }},
        {"меньше шага",
         [](Syzd2& f) {
             f.taus = "0.05,3";
             f.ndel = "30";
         }},
        {"меньше шага",
         [](Syzd2& f) {
             f.taus = "3,0.05";
             f.ndel = "30";
         }},
        {"NDEL должно быть от 1 до 2499", [](Syzd2& f) { f.ndel = "2500"; }},
        {"NDEL должно быть от 1 до 2499", [](Syzd2& f) { f.ndel = "-1"; }},
        {"NSC", [](Syzd2& f) { f.nsc = "0"; }},
        {"IC(2) = 2",
         [](Syzd2& f) {
             f.mdim = "2";
             f.ic = "1,2";
         }},
        {"строка 28: ожидалось IC(1) от 1 до MDIM = 1, прочитано «0»", [](Syzd2& f) { f.ic = "0"; }},
        {"больше 0", [](Syzd2& f) { f.taus = "0,3"; }},
        {"стационарного решения",
         [](Syzd2& f) {
             f.teta = "-1";
             f.gama12 = "1,1";
         }},
    };
    app.write("User/Results.s2z", "old\r\n");
    for (const Bad& b : cases) {
        SetUp();
        Syzd2 f;
        b.set(f);
        // A bad list is refused while the file is read, the other limits before the run.
        std::string err;
        try {
            load(f);
        } catch (const VeltaError& e) {
            err = e.what();
        }
        const double tau1 = mdl.TAU(1);
        if (err.empty()) {
            try {
                core.Integr1(c);
                ADD_FAILURE() << "accepted: " << b.what;
            } catch (const VeltaError& e) {
                err = e.what();
            }
        }
        EXPECT_NE(err.find(b.what), std::string::npos) << err;
        EXPECT_EQ(bytesOf(paths.userFile("Results.s2z")), "old\r\n") << b.what;
        EXPECT_EQ(mdl.TAU(1), tau1) << "the delays are put back: " << b.what;
        EXPECT_EQ(mdl.HHH, 0.0) << b.what;
    }
}

// ---------------------------------------------------------------- canvas and shell

TEST_F(Sec522Test, LegendRowsOfTheSection) {
    Syzd2 f;
    f.alfa3 = "1.5,5,4";
    load(f);
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
    EXPECT_EQ(rowOf("ALFA   = 1.5000E+00"), 7);
    EXPECT_EQ(rowOf("ALFA1   = 5.0000E+00"), 8);
    EXPECT_EQ(rowOf("ALFA2   = 4.0000E+00"), 9);
    EXPECT_EQ(rowOf("BETA1   = 1.0000E+00"), 10);
    EXPECT_EQ(rowOf("BETA2   = 1.0000E+00"), 11);
    EXPECT_EQ(rowOf("GAMA1   = 4.0000E+00"), 12);
    EXPECT_EQ(rowOf("GAMA2   = 4.0000E+00"), 13);
    EXPECT_EQ(rowOf("TAU1    = 2.0000E+00"), 14);
    EXPECT_EQ(rowOf("TAU2    = 3.0000E+00"), 15);
    EXPECT_EQ(rowOf("TETA   = 1.0000E+00"), 16);
    EXPECT_EQ(rowOf("Компоненты"), 19);
    EXPECT_EQ(rowOf("Z1"), 21);
    EXPECT_EQ(rowOf("Стационарное решение"), 24);
    EXPECT_EQ(rowOf("   Z = " + Format(g.STAT, "0.0000E+00")), 26);
    EXPECT_EQ(rowOf("   L = 0"), 28);
}

TEST(Sec522Shell, PortionCounterRunsOnAndRestartsWhenTheFileIsReadAgain) {
    Store mdl;
    TempApp app;
    Syzd2 f;
    f.taus = "3,2";
    app.write("User/Sy2z/Tau0/t.syzd", f.text());
    AppPaths paths(app.root());
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Shell shell(mdl, paths);
    shell.Sect_Select(522);
    EXPECT_EQ(shell.taskItems, (std::vector<std::string>{"Tau0"}));
    shell.Combo1_Click("Tau0");
    SectionCore* core = shell.current();
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(core->code(), 522);
    core->dataPath = app.path("User/Sy2z/Tau0/t.syzd");
    ASSERT_TRUE(shell.mnuInput(c));
    std::vector<std::string> counters;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(shell.mnuIntegr(c)) << (ui.messages.empty() ? "" : ui.messages.back().text);
        for (const auto& d : surf.of(DrawCall::Kind::Text))
            if (d.text.rfind("   L = ", 0) == 0) {
                counters.push_back(d.text);
                EXPECT_EQ((d.y1 - mdl.TXTY) / mdl.CHH, 28);
            }
        surf.forget();
    }
    EXPECT_EQ(counters, (std::vector<std::string>{"   L = 0", "   L = 1", "   L = 2"}));
    EXPECT_EQ(mdl.TAU(1), 2.0);
    // Reading the file again restarts the portions with the delays as the file has them.
    ASSERT_TRUE(shell.mnuInput(c));
    EXPECT_EQ(mdl.L, 0);
    EXPECT_EQ(mdl.TAU(1), 3.0);
    ASSERT_TRUE(shell.mnuIntegr(c));
    EXPECT_NE(surf.findText("   L = 0"), nullptr);
    EXPECT_EQ(shell.resultsPath(), paths.userFile("Results.s2z"));
}
