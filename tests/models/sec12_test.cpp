// Section 1.2: the ".mnzd" file and its check file, the right-hand sides of the task
// folders, the stationary value and the initial functions, the results table, portions,
// refused inputs, the legend and the portion counter through the shell.
#include "models/section12/sec12.h"

#include "support/delay_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <set>

using namespace velta;
using velta::test::bytesOf;
using velta::test::DrawCall;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

// Field texts of one ".mnzd" file, in the order of its blocks.
struct Mnzd {
    std::string mclass = "1", ndim = "8", kmod = "4", alfa = "10", beta = "1", gama = "3";
    std::string mdim = "2", ltau = "3", ptau = "2", taus = "0.5,0.75,1";
    std::string tmax = "6", ndel = "20", ind = "0", z_1 = "0.001", ic = "1,2", nsc = "5";
    std::string dlx = "0", drx = "1", sclt = "0";

    std::string text() const {
        velta::test::BlockLines b;
        b.block(1, {"MCLASS = " + mclass, "NDIM = " + ndim, "KMOD = " + kmod, "ALFA = " + alfa,
                    "BETA = " + beta, "GAMA = " + gama});
        b.block(2, {"MDIM = " + mdim, "LTAU = " + ltau, "PTAU = " + ptau, "TAUm(I):", taus});
        b.block(3, {"TMAX = " + tmax, "NDEL = " + ndel});
        b.block(4, {"IND = " + ind, "Z_1 = " + z_1});
        b.block(5, {"IC(I):", ic});
        b.block(6, {"NSC = " + nsc});
        b.block(7, {"Dlx = " + dlx, "Drx = " + drx, "Sclt = " + sclt});
        return b.text();
    }
};

class Sec12Test : public velta::test::DelayFixture<Sec12> {
protected:
    Sec12Test() : DelayFixture("Mnk", "mnzd", "Results.mnz", 28) {}
    // The rows' values without their numbers and times.
    std::vector<std::string> rowValues() const {
        std::vector<std::string> r;
        for (const auto& l : rows()) r.push_back(l.substr(22));
        return r;
    }
};

}  // namespace

// ---------------------------------------------------------------- data file

TEST_F(Sec12Test, ShippedSamplesReadAndWriteBackByteForByte) {
    const std::string src = std::string(VELTA_SOURCE_DIR) + "/User/Mnk/";
    const struct {
        const char* task;
        const char* file;
        int mdim, ltau;
    } samples[] = {{"Tau0", "Tau0_Oscill.mnzd", 2, 3},
                   {"Tau1", "Tau1_Oscill.mnzd", 1, 3},
                   {"Tau2", "Tau2_Oscill.mnzd", 1, 1},
                   {"Tau3", "Tau3_Oscill.mnzd", 1, 4}};
    for (const auto& s : samples) {
        SCOPED_TRACE(s.task);
        const std::string bytes = bytesOf(src + s.task + "/" + s.file);
        ASSERT_FALSE(bytes.empty());
        app.write("User/Mnk/Tau0/s.mnzd", bytes);
        core.dataPath = app.path("User/Mnk/Tau0/s.mnzd");
        mdl.L = 4;
        mdl.TASKDIR = s.task;
        core.InputPar(c);
        const auto& g = mdl;
        EXPECT_EQ(g.L, 0);
        EXPECT_EQ(g.MDIM, s.mdim);
        EXPECT_EQ(g.LTAU, s.ltau);
        EXPECT_EQ(g.NP1, g.NDEL + 1);
        EXPECT_EQ(g.NP2, 2 * g.NDEL);
        EXPECT_EQ(g.ZTAB.rows(), 1000);
        EXPECT_EQ(g.ZTAB.cols(), 5);
        EXPECT_EQ(g.ZTAU.rows(), 20);
        // The sample fits its own task folder's right-hand sides.
        const Sec12::TaskNeeds need = Sec12::taskNeeds(s.task);
        EXPECT_GE(g.MDIM, need.mdim);
        EXPECT_GE(g.LTAU, need.ltau);

        const std::string out = app.path("User/Mnk/Tau0/back.mnzd");
        Sec12::Table_File(mdl, out, Sec12::fieldsFromStore(mdl));
        EXPECT_EQ(bytesOf(out), bytes);
    }
}

TEST_F(Sec12Test, CheckFileHasNoBlankThirdLine) {
    load(Mnzd{});
    const auto chk = readAllLines(paths.userFile("Input.chk"));
    const std::vector<std::string> head = {"Контроль ввода исходных данных:",
                                           "-------------------------------",
                                           "1) Блок 1",
                                           "-------",
                                           "MClass = 1",
                                           "NDIM = 8",
                                           "KMOD = 4",
                                           "ALFA = 10",
                                           "BETA = 1",
                                           "GAMA = 3",
                                           "2) Блок 2",
                                           "-------",
                                           "MDIM = 2",
                                           "LTAU = 3",
                                           "PTAU = 2",
                                           "TAUm(1) = 0.5",
                                           "TAUm(2) = 0.75",
                                           "TAUm(3) = 1",
                                           "3) Блок 3",
                                           "-------",
                                           "TMAX = 6",
                                           "NDEL = 20",
                                           "NP1  = 21",
                                           "NP2  = 40",
                                           "4) Блок 4",
                                           "-------",
                                           "IND = 0",
                                           "Z_1 = 0.001",
                                           "5) Блок 5",
                                           "-------",
                                           "IC(1) = 1",
                                           "IC(2) = 2",
                                           "6) Блок 6",
                                           "-------",
                                           "NSC = 5",
                                           "7) Блок 7",
                                           "-------",
                                           "DLX = 0",
                                           "DRX = 1",
                                           "SCLT = 0"};
    EXPECT_EQ(chk, head);
}

TEST_F(Sec12Test, ReaderLimitsAndTheDelayGrid) {
    Mnzd f;
    f.mdim = "2";
    f.ic = "2,1,3";
    load(f);
    EXPECT_EQ(mdl.NCOMP, 2) << "NCOMP = min(items, MDIM)";
    EXPECT_EQ(mdl.IC(1), 2);
    EXPECT_EQ(mdl.IC(2), 1);
    const GridText t = Sec12::tauGrid(mdl.TAU, 3, false);
    ASSERT_EQ(t.rows(), 6);
    ASSERT_EQ(t.cols(), 4);
    EXPECT_EQ(t.at(0, 2), "Значения TAU(I)");
    EXPECT_EQ(t.at(2, 0), "TAU(1)");
    EXPECT_EQ(t.at(4, 0), "TAU(3)");
    EXPECT_EQ(t.at(3, 2), "0.75");
    EXPECT_EQ(Sec12::tauGrid(mdl.TAU, 2, true).at(3, 2), "0");
    EXPECT_EQ(Sec12::tauGrid(mdl.TAU, 22, false).at(23, 2), "0") << "beyond the vector";

    for (const char* bad : {"21", "0"}) {
        f.ltau = bad;
        try {
            load(f);
            ADD_FAILURE() << "LTAU = " << bad << " accepted";
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find("LTAU должно быть от 1 до 20"), std::string::npos)
                << e.what();
        }
    }
}

// ---------------------------------------------------------------- model

TEST_F(Sec12Test, RightHandSidesOfEveryTaskFolderAtAHandCheckedPoint) {
    load(Mnzd{});
    auto& g = mdl;
    g.GAMA = 2;
    g.ALFA = 12;
    g.BETA = 0.5;
    for (int j = 1; j <= 4; ++j) {
        g.ZTAU(j, 1) = j;        // z(j,1) = j
        g.ZTAU(j, 2) = 0.5 * j;  // z(j,2) = j/2
    }
    struct Case {
        const char* task;
        double fz1, fz2;
    };
    // Tau0: FZ1 = 12/(1 + 0.5*((1 + 0.25) + 1)), FZ2 = 12/(1 + 0.5*((1 + 9) + 0.25));
    // Tau1: 12/(1 + 0.5*(1 + 4 + 9)); Tau2: 12/(1 + 0.5*1); Tau3: 12/(1 + 0.5*30).
    const Case cases[] = {{"Tau0", 12 / 2.125, 12 / 6.125}, {"Tau1", 12 / 8.0, -1}, {"Tau2", 12 / 1.5, -1},
                          {"Tau3", 12 / 16.0, -1},          {"Tau7", -1, -1},       {"tau0", -1, -1}};
    for (const Case& k : cases) {
        g.TASKDIR = k.task;
        g.FZ(1) = -1;
        g.FZ(2) = -1;
        core.Vych_PCH(mdl);
        EXPECT_NEAR(g.FZ(1), k.fz1, 1e-14) << k.task;
        EXPECT_NEAR(g.FZ(2), k.fz2, 1e-14) << k.task << ": FZ2 is left as it was";
    }
}

TEST_F(Sec12Test, StationaryValueAndBothInitialFunctions) {
    Mnzd f;
    f.ndel = "10";
    load(f);
    auto& g = mdl;
    Sec12::Station(mdl);
    // S = ALFA/(1 + (KMOD-1)*BETA*S^GAMA) as far as the damped iteration's stop allows:
    // |G| < 1E-3*D with D = 1 + A^2*ALFA^2*BETA*GAMA*S^(GAMA-1), about 9.6 here.
    const double s = g.STAT, A = 1 / (1 + 3 * std::pow(s, 3));
    const double D = 1 + A * A * 100 * 3 * s * s;
    EXPECT_LT(std::fabs(s - 10 * A), 1e-3 * D);
    EXPECT_NEAR(s, 1.3048, 0.005);  // the root
    EXPECT_EQ(Format(s, "0.0000E+00"), "1.3022E+00") << "the damped iteration's own stop";

    core.Nach_Rasp(mdl);
    for (int p = 1; p <= 11; ++p) {
        EXPECT_EQ(g.ZTAB(p, 1), g.STAT);
        EXPECT_EQ(g.ZTAB(p, 2), g.STAT + 0.0001);
    }
    EXPECT_EQ(g.ZTAB(12, 1), 0.0) << "only the window's nodes";
    g.IND = 1;
    core.Nach_Rasp(mdl);
    for (int p = 1; p <= 11; ++p) {
        EXPECT_EQ(g.ZTAB(p, 1), 0.0001);
        EXPECT_EQ(g.ZTAB(p, 2), 0.0);
    }
    // IND = 0 with one equation: Z1 = STAT, the perturbation lies in the unused column 2.
    g.IND = 0;
    g.MDIM = 1;
    core.Nach_Rasp(mdl);
    EXPECT_EQ(g.ZTAB(1, 1), g.STAT);
    EXPECT_EQ(g.ZTAB(11, 1), g.STAT);
}

TEST_F(Sec12Test, StationaryIterationIsCappedAndFinishedWhenItStopsFarFromTheRoot) {
    load(Mnzd{});
    auto& g = mdl;
    auto refusal = [&] {
        g.STAT = -7;
        try {
            Sec12::Station(mdl);
        } catch (const VeltaError& e) {
            EXPECT_EQ(g.STAT, -7) << "STAT is not changed by a failed iteration";
            return std::string(e.what());
        }
        return std::string("no refusal, STAT = ") + CStr(g.STAT);
    };
    // A negative BETA: no root the iteration reaches.
    g.ALFA = 1;
    g.BETA = -0.1;
    g.GAMA = 1;
    g.KMOD = 5;
    EXPECT_NE(refusal().find("Итерации стационарного решения не сошлись за 100000 шагов"), std::string::npos);
    g.BETA = -1;
    g.KMOD = 2;
    EXPECT_NE(refusal().find("стационарного решения"), std::string::npos);

    // Stops far from the root: KMOD = 1 (the root is ALFA, the damped iteration stops
    // near 4.34) and a large ALFA*ALFA*BETA (the first step is already below 1E-4).
    const struct {
        double alfa, beta, gama;
        int kmod;
    } far[] = {{10, 1, 3, 1}, {2000, 1, 1, 2}, {1000, 1, 3, 2}};
    for (const auto& k : far) {
        g.ALFA = k.alfa;
        g.BETA = k.beta;
        g.GAMA = k.gama;
        g.KMOD = static_cast<i16>(k.kmod);
        Sec12::Station(mdl);
        const double s = g.STAT;
        EXPECT_NEAR(s, k.alfa / (1 + (k.kmod - 1) * k.beta * std::pow(s, k.gama)), 1e-9 * k.alfa) << k.alfa;
    }
    EXPECT_NEAR(g.STAT, 5.6155, 1e-4);
}

// The step error falls as h^2: the delayed right-hand side is interpolated linearly.
TEST_F(Sec12Test, IntegratorConvergesAtSecondOrder) {
    auto valueAt = [&](int ndel) {
        SetUp();
        mdl.TASKDIR = "Tau1";
        Mnzd f;
        f.mdim = "1";
        f.ic = "1";
        f.ptau = "2";
        // Delays on nodes for every NDEL below, so that the kinks the initial function
        // leaves in the solution fall on nodes too.
        f.taus = "0.25,0.5,1";
        f.tmax = "4";
        f.ndel = std::to_string(ndel);
        f.ind = "1";
        load(f);
        core.Integr1(c);
        return mdl.ZTAB(ndel + 1, 1);  // Z at t = 2*TAU(LTAU) = 4
    };
    // Differences of successive halvings shrink by 4 (no reference solution needed); a
    // first-order step would give 2.
    auto ratio = [&](int n) {
        const double v1 = valueAt(n), v2 = valueAt(2 * n), v3 = valueAt(4 * n);
        EXPECT_GT(std::fabs(v1 - v2), 1e-6);
        return (v1 - v2) / (v2 - v3);
    };
    EXPECT_NEAR(ratio(80), 4, 0.6);
    EXPECT_NEAR(ratio(120), 4, 0.4);
}

// ---------------------------------------------------------------- results and portions

TEST_F(Sec12Test, ResultsHeaderExactAndRewrittenAtEveryPortion) {
    Mnzd f;
    f.ltau = "2";
    f.taus = "0.5,1";
    f.tmax = "5";
    f.ndel = "10";
    f.nsc = "5";
    mdl.TASKDIR = "Tau9";  // no model: Z decays as e^(-t)
    load(f);
    run();
    const std::vector<std::string> header = {
        "",
        "ПАРАМЕТРЫ МОДЕЛИ",
        "MDIM    = 2",
        "ALFA    = 1.00000E+01",
        "BETA    = 1.00000E+00",
        "GAMA    = 3.00000E+00",
        "KMOD    = 4",
        "TAUm(1) = 1.00000E+00",
        "TAUm(2) = 2.00000E+00",
        "TAUm(3) = 0.00000E+00",
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
    // Two windows of 2 (rows of nodes 1, 5 and 10), then the remainder NREM = 5 listed at
    // c = 15: time 2*2 + (15 - 10)*0.2 = 5 with the value of node 16.
    const auto rw = rows();
    ASSERT_EQ(rw.size(), 7u);
    EXPECT_EQ(rw[0].substr(0, 19), "00001   0.00000E+00");
    EXPECT_EQ(rw[3].substr(0, 19), "00001   2.00000E+00");
    const double s = mdl.STAT;
    EXPECT_EQ(rw[6], "00015   5.00000E+00   " + Format(s * std::exp(-5.0), "0.00000E+00") + "   " +
                         Format((s + 0.0001) * std::exp(-5.0), "0.00000E+00") + "   ");

    // The second portion rewrites the file: the same header, times from 0 again.
    run();
    r = results();
    for (std::size_t i = 0; i < header.size(); ++i) EXPECT_EQ(r[i], header[i]) << i;
    EXPECT_EQ(rows().size(), 7u);
    EXPECT_EQ(rows()[0].substr(0, 19), "00001   0.00000E+00");
    EXPECT_EQ(mdl.TAU(2), 2.0) << "delays are scaled once";
    EXPECT_EQ(mdl.L, 2);
}

TEST_F(Sec12Test, ThreePortionsOfNWindowsEqualOnePortionOf3NWindows) {
    Mnzd f;  // Tau0, TAU(LTAU) = 2, NDEL = 20, NSC = 5
    f.tmax = "4";
    load(f);
    for (int i = 0; i < 3; ++i) run();
    const auto third = rowValues();
    std::vector<double> window;
    for (int p = 1; p <= 21; ++p) window.push_back(mdl.ZTAB(p, 1));

    f.tmax = "12";
    load(f, "long.mnzd");
    EXPECT_EQ(mdl.L, 0);
    run();
    const auto one = rowValues();
    // Rows of nodes 1, 5, 10, 15, 20 in every window; the one remainder step (c = 21) is
    // not listed and the window is not moved.
    ASSERT_EQ(third.size(), 2u * 5u);
    ASSERT_EQ(one.size(), 6u * 5u);
    for (std::size_t i = 0; i < third.size(); ++i)
        EXPECT_EQ(third[i], one[one.size() - third.size() + i]) << i;
    for (int p = 1; p <= 21; ++p) EXPECT_EQ(mdl.ZTAB(p, 1), window[static_cast<std::size_t>(p - 1)]) << p;
}

// ---------------------------------------------------------------- refusals

TEST_F(Sec12Test, BadInputIsRefusedBeforeAnythingIsComputed) {
    struct Bad {
        const char* what;
        const char* task;
        std::function<void(Mnzd&)> set;
    };
    const std::vector<Bad> cases = {
        {"MDIM должно быть от 1 до 5", "Tau0", [](Mnzd& f) { f.mdim = "6"; }},
        {"NDEL должно быть от 1 до 499", "Tau0", [](Mnzd& f) { f.ndel = "500"; }},
        {"NDEL должно быть от 1 до 499", "Tau0", [](Mnzd& f) { f.ndel = "0"; }},
        {"NSC", "Tau0", [](Mnzd& f) { f.nsc = "0"; }},
        {"порядке возрастания", "Tau0", [](Mnzd& f) { f.taus = "0.75,0.5,1"; }},
        {"меньше шага", "Tau0", [](Mnzd& f) { f.taus = "0.02,0.5,1"; }},
        {"GAMA должно быть не меньше 1", "Tau0", [](Mnzd& f) { f.gama = "0.5"; }},
        {"PTAU", "Tau0", [](Mnzd& f) { f.ptau = "0"; }},
        {"KMOD", "Tau0", [](Mnzd& f) { f.kmod = "0"; }},
        {"строка 27: ожидалось IC(2) от 1 до MDIM = 2, прочитано «3»", "Tau0", [](Mnzd& f) { f.ic = "1,3"; }},
        {"Модель задачи Tau0 требует MDIM >= 2 и LTAU >= 3", "Tau0",
         [](Mnzd& f) {
             f.mdim = "1";
             f.ic = "1";
         }},
        {"Модель задачи Tau0 требует MDIM >= 2 и LTAU >= 3", "Tau0",
         [](Mnzd& f) {
             f.ltau = "2";
             f.taus = "0.5,1";
         }},
        {"Модель задачи Tau1 требует LTAU >= 3", "Tau1",
         [](Mnzd& f) {
             f.ltau = "2";
             f.taus = "0.5,1";
         }},
        {"Модель задачи Tau3 требует LTAU >= 4", "Tau3", [](Mnzd&) {}},
        {"TMAX", "Tau0", [](Mnzd& f) { f.tmax = "-1"; }},
    };
    app.write("User/Results.mnz", "old\r\n");
    for (const Bad& b : cases) {
        SetUp();
        mdl.TASKDIR = b.task;
        Mnzd f;
        b.set(f);
        try {
            load(f);  // a bad list is refused here, the other limits before the run
            core.Integr1(c);
            ADD_FAILURE() << "accepted: " << b.what;
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find(b.what), std::string::npos) << e.what();
        }
        EXPECT_EQ(bytesOf(paths.userFile("Results.mnz")), "old\r\n") << b.what;
        EXPECT_EQ(mdl.STAT, 0.0) << b.what;
        EXPECT_EQ(mdl.TAU(1), textToReal(f.taus.substr(0, f.taus.find(',')))) << "not scaled: " << b.what;
    }
    // With four delays the task folder Tau3 runs.
    SetUp();
    mdl.TASKDIR = "Tau3";
    Mnzd f;
    f.ltau = "4";
    f.taus = "0.25,0.5,0.75,1";
    load(f);
    EXPECT_NO_THROW(core.Integr1(c));
}

TEST_F(Sec12Test, WindowTextsAreCheckedBeforeSaving) {
    load(Mnzd{});
    const Sec12::Fields good = Sec12::fieldsFromStore(mdl);
    EXPECT_NO_THROW(Sec12::checkFields(good));
    struct Bad {
        const char* what;
        std::function<void(Sec12::Fields&)> set;
    };
    const std::vector<Bad> cases = {
        {"MDIM должно быть от 1 до 5", [](Sec12::Fields& f) { f.mdim = "6"; }},
        {"скорректировать таблицу на Листе #2", [](Sec12::Fields& f) { f.ltau = "4"; }},
        {"LTAU должно быть от 1 до 20", [](Sec12::Fields& f) { f.ltau = "21"; }},
        {"NDEL должно быть от 1 до 499", [](Sec12::Fields& f) { f.ndel = "500"; }},
        {"NSC", [](Sec12::Fields& f) { f.nsc = "0"; }},
        {"GAMA", [](Sec12::Fields& f) { f.gama = "0.9"; }},
        {"порядке возрастания", [](Sec12::Fields& f) { f.tau.at(3, 2) = "0.4"; }},
        {"меньше шага", [](Sec12::Fields& f) { f.ndel = "1"; }},
        {"Недопустимое значение  TAU(2) = x", [](Sec12::Fields& f) { f.tau.at(3, 2) = "x"; }},
        {"Недопустимое значение  ALFA = 1,5", [](Sec12::Fields& f) { f.alfa = "1,5"; }},
        {"компоненты графика 3", [](Sec12::Fields& f) { f.i1g = "1,3"; }},
        {"ни одной компоненты", [](Sec12::Fields& f) { f.i1g = ""; }},
    };
    for (const Bad& b : cases) {
        Sec12::Fields f = good;
        b.set(f);
        try {
            Sec12::checkFields(f);
            ADD_FAILURE() << "accepted: " << b.what;
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find(b.what), std::string::npos) << e.what();
        }
    }
}

// ---------------------------------------------------------------- canvas and shell

TEST_F(Sec12Test, LegendRowsOfTheSection) {
    Mnzd f;
    f.ltau = "4";
    f.taus = "0.25,0.5,0.75,1";
    load(f);
    run();
    const auto& g = mdl;
    auto rowOf = [&](const std::string& s) {
        const DrawCall* d = surf.findText(s);
        return d ? (d->y1 - g.TXTY) / g.CHH : -1.0;
    };
    EXPECT_NE(surf.findText("Графики функций Z1(t) и Z2(t), t = L*TAUmax + u"), nullptr);
    EXPECT_EQ(rowOf("Model M1(8,4)"), 0);
    EXPECT_EQ(rowOf("Параметры модели"), 2);
    EXPECT_EQ(rowOf("ALFA = 1.00000E+01"), 4);
    EXPECT_EQ(rowOf("GAMA = 3.00000E+00"), 6);
    EXPECT_EQ(rowOf("TAU(1) = 5.0000E-01"), 7);
    EXPECT_EQ(rowOf("TAU(4) = 2.0000E+00"), 10);
    EXPECT_EQ(rowOf("MDIM   = 2"), 14) << "row LTAU + 10";
    EXPECT_EQ(rowOf("Стационарное решение"), 24);
    EXPECT_EQ(rowOf("   Z = " + Format(g.STAT, "0.0000E+00")), 26);
    EXPECT_EQ(rowOf("Компоненты"), 18);
    EXPECT_EQ(rowOf("Z1"), 20);
    EXPECT_EQ(rowOf("Z2"), 21);
    EXPECT_EQ(rowOf("   L = 0"), 28);
    EXPECT_EQ(surf.findText("Норма невязки"), nullptr);
}

TEST_F(Sec12Test, PlotShowsAtMostThreeCurves) {
    Mnzd f;
    f.mdim = "5";
    f.ic = "5,4,3,2,1";
    f.tmax = "2";
    load(f);
    run();
    std::set<Colour> colours;
    for (const DrawCall& d : surf.of(DrawCall::Kind::Segment))
        if (d.x1 >= mdl.PX0 && d.x2 <= mdl.PX1 && d.y1 > mdl.PY1 && d.y1 < mdl.PY0 &&
            d.style == LineStyle::Solid)
            colours.insert(d.colour);
    EXPECT_TRUE(colours.count(QBColor(13)));
    EXPECT_TRUE(colours.count(QBColor(12)));
    EXPECT_TRUE(colours.count(QBColor(11)));
    EXPECT_FALSE(colours.count(QBColor(10))) << "a fourth curve";
}

TEST(Sec12Shell, ShippedTaskFoldersAreListed) {
    AppPaths paths(VELTA_SOURCE_DIR);
    Store mdl;
    Shell shell(mdl, paths);
    shell.Sect_Select(12);
    EXPECT_EQ(shell.taskItems, (std::vector<std::string>{"Tau0", "Tau1", "Tau2", "Tau3"}));
    EXPECT_TRUE(shell.isEnabled(Cmd::Combo));
    shell.Combo1_Click("Tau2");
    EXPECT_EQ(mdl.TASKDIR, "Tau2");
    EXPECT_EQ(std::filesystem::path(shell.dataFolder()),
              std::filesystem::path(paths.resolve("\\User\\Mnk\\Tau2")));
}

TEST(Sec12Shell, PortionCounterRunsOnAndRestartsWhenTheFileIsReadAgain) {
    Store mdl;
    TempApp app;
    app.write("User/Mnk/Tau0/t.mnzd", Mnzd{}.text());
    AppPaths paths(app.root());
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Shell shell(mdl, paths);
    shell.Sect_Select(12);
    shell.Combo1_Click("Tau0");
    SectionCore* core = shell.current();
    ASSERT_NE(core, nullptr);
    core->dataPath = app.path("User/Mnk/Tau0/t.mnzd");
    ASSERT_TRUE(shell.mnuInput(c));
    std::vector<std::string> counters;
    std::vector<double> rowsOfL;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(shell.mnuIntegr(c)) << (ui.messages.empty() ? "" : ui.messages.back().text);
        for (const auto& d : surf.of(DrawCall::Kind::Text))
            if (d.text.rfind("   L = ", 0) == 0) {
                counters.push_back(d.text);
                rowsOfL.push_back((d.y1 - mdl.TXTY) / mdl.CHH);
                EXPECT_EQ(d.colour, QBColor(10));
            }
        surf.forget();
    }
    EXPECT_EQ(counters, (std::vector<std::string>{"   L = 0", "   L = 1", "   L = 2"}));
    EXPECT_EQ(rowsOfL, (std::vector<double>{28, 28, 28}));
    EXPECT_EQ(mdl.TAU(3), 2.0);
    ASSERT_TRUE(shell.mnuInput(c));
    EXPECT_EQ(mdl.L, 0);
    EXPECT_EQ(mdl.TAU(3), 1.0);
    ASSERT_TRUE(shell.mnuIntegr(c));
    EXPECT_NE(surf.findText("   L = 0"), nullptr);

    // A task folder whose model needs more delays: message, no counter, results kept.
    const std::string before = bytesOf(paths.userFile("Results.mnz"));
    shell.Combo1_Click("Tau3");
    surf.forget();
    EXPECT_FALSE(shell.mnuIntegr(c));
    EXPECT_NE(ui.messages.back().text.find("Tau3 требует LTAU >= 4"), std::string::npos);
    EXPECT_EQ(surf.findText("   L = 1"), nullptr);
    EXPECT_EQ(bytesOf(paths.userFile("Results.mnz")), before);
}
