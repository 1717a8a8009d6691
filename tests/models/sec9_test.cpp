// Section 9: data file reading and writing, the regulatory inputs, the semi-implicit
// integrator, its results table, the Poincaré crossings and the refused inputs.
#include "models/section9/sec9.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "support/files.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using namespace velta;
using velta::test::bytesOf;
using velta::test::DrawCall;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

// Field texts of one ".chad" file, in the order of its blocks.
struct Chad {
    std::string ndim = "3", alfa = "2", gama = "1", mcpz = "1";
    std::string yo = "0.5,0.5,0.5";
    std::string sclt = "0", scrt = "0.03", sclx = "0", scrx = "1", hhh = "0.01";
    std::string xp = "0,0,0.5", fp = "0,0,1";
    std::string ic = "1,2,3", lscreen = "0", lgraph = "1", nsc = "1";

    std::string text() const {
        std::vector<std::string> L;
        auto h = [&](int k) {
            L.push_back(std::to_string(k) + ") Блок номер " + std::to_string(k));
            L.push_back("----------------");
        };
        h(1);
        L.insert(L.end(), {"NDIM = " + ndim, "ALFA = " + alfa, "GAMA = " + gama, "MCPZ = " + mcpz});
        h(2);
        L.insert(L.end(), {"Yo(i),...:", yo});
        h(3);
        L.insert(L.end(),
                 {"SCLT = " + sclt, "SCRT = " + scrt, "SCLX = " + sclx, "SCRX = " + scrx, "HHH = " + hhh});
        h(4);
        L.insert(L.end(), {"XP(I):", xp, "FP(I):", fp});
        h(5);
        L.insert(L.end(), {"IC(I):", ic});
        h(6);
        L.push_back("LSCREEN = " + lscreen);
        h(7);
        L.push_back("LGRAPH = " + lgraph);
        h(8);
        L.push_back("NSC = " + nsc);
        std::string s;
        for (const auto& l : L) s += utf8ToCp1251(l) + "\r\n";
        return s;
    }
};

// f(v) = ALFA*v/(1 + v^GAMA) written out independently of the section's code.
double fReg(double v, double a, double g) { return a * v / (1 + std::pow(v, g)); }

// Right-hand sides of the model: dX(i)/dt = f^m(S(i)) - X(i).
std::array<double, 3> field(const std::array<double, 3>& x, double a, double g, int m) {
    const std::array<double, 3> s = {x[1] + x[2], x[0] + x[2], x[0] + x[1]};
    std::array<double, 3> r{};
    for (int i = 0; i < 3; ++i) {
        double v = s[static_cast<std::size_t>(i)];
        for (int k = 0; k < m; ++k) v = fReg(v, a, g);
        r[static_cast<std::size_t>(i)] = v - x[static_cast<std::size_t>(i)];
    }
    return r;
}

// Classic Runge-Kutta reference solution at time T.
std::array<double, 3> rk4(std::array<double, 3> x, double a, double g, int m, double T, int n) {
    const double h = T / n;
    auto add = [](const std::array<double, 3>& u, const std::array<double, 3>& v, double c) {
        return std::array<double, 3>{u[0] + c * v[0], u[1] + c * v[1], u[2] + c * v[2]};
    };
    for (int j = 0; j < n; ++j) {
        const auto k1 = field(x, a, g, m);
        const auto k2 = field(add(x, k1, h / 2), a, g, m);
        const auto k3 = field(add(x, k2, h / 2), a, g, m);
        const auto k4 = field(add(x, k3, h), a, g, m);
        for (std::size_t i = 0; i < 3; ++i) x[i] += h / 6 * (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]);
    }
    return x;
}

class Sec9Test : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override { setColours(mdl, true); }

    void load(const Chad& d, const std::string& name = "t.chad") {
        app.write("User/" + name, d.text());
        sec.dataPath = paths.userFile(name);
        sec.InputPar(c);
    }
    std::vector<std::string> results() const { return readAllLines(paths.userFile("Results.cha")); }
    // The state reached after the run (XNEW9 at time NSTEP9 * HHH).
    std::array<double, 3> endState() const { return {sec.XNEW9(1), sec.XNEW9(2), sec.XNEW9(3)}; }

    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Sec9 sec;
};

std::string sourceFile(const std::string& rel) { return std::string(VELTA_SOURCE_DIR) + "/" + rel; }

// ---------------------------------------------------------------- data file

TEST_F(Sec9Test, ShippedSamplesReadAndWriteBackByteForByte) {
    for (const char* name : {"Chaos_Oscill.chad", "Chaos_Phase.chad", "Chaos_Puan.chad"}) {
        SCOPED_TRACE(name);
        const std::string original = bytesOf(sourceFile(std::string("User/") + name));
        ASSERT_FALSE(original.empty());
        app.write(std::string("User/") + name, original);
        sec.dataPath = paths.userFile(name);
        sec.InputPar(c);
        EXPECT_EQ(mdl.NDIM, 3);
        EXPECT_EQ(mdl.NCOMP, 3);
        EXPECT_GE(mdl.MCPZ, 1);
        const std::string copy = paths.userFile("copy.chad");
        Sec9::Table_File(mdl, copy, sec.fieldsFromStore(mdl));
        EXPECT_EQ(bytesOf(copy), original);
    }
}

TEST_F(Sec9Test, ReaderStoresEveryValueAndEchoesItToTheCheckFile) {
    Chad d;
    d.alfa = "4";
    d.gama = "6.5";
    d.mcpz = "3";
    d.yo = "0.3,0.6,0.9";
    d.sclt = "1";
    d.scrt = "20";
    d.sclx = "0.1";
    d.scrx = "1.5";
    d.hhh = "0.005";
    d.xp = "0.1,0.2,0.9";
    d.fp = "1,-1,0.5";
    d.ic = "3,1,2";
    d.lscreen = "1";
    d.lgraph = "3";
    d.nsc = "25";
    load(d);
    const Store& g = mdl;
    EXPECT_EQ(g.ALFA, 4);
    EXPECT_EQ(g.GAMA, 6.5);
    EXPECT_EQ(g.MCPZ, 3);
    EXPECT_EQ(sec.YO(3), 0.9);
    EXPECT_EQ(g.SCLT, 1);
    EXPECT_EQ(g.SCRT, 20);
    EXPECT_EQ(g.SCLX, 0.1);
    EXPECT_EQ(g.SCRX, 1.5);
    EXPECT_EQ(g.HHH, 0.005);
    EXPECT_EQ(g.FP(2), -1);
    EXPECT_EQ(g.IC(1), 3);
    EXPECT_EQ(g.LGRAPH, 3);
    EXPECT_EQ(g.NSC, 25);
    const std::vector<std::string> expected = {"Контроль ввода исходных данных:",
                                               "-------------------------------",
                                               " ",
                                               "1) Блок номер 1",
                                               "----------------",
                                               "NDIM = 3",
                                               "ALFA = 4",
                                               "GAMA = 6.5",
                                               "MCPZ = 3",
                                               "2) Блок номер 2",
                                               "----------------",
                                               "YN(1) = 0.3",
                                               "YN(2) = 0.6",
                                               "YN(3) = 0.9",
                                               "3) Блок номер 3",
                                               "----------------",
                                               "SCLT = 1",
                                               "SCRT = 20",
                                               "SCLX = 0.1",
                                               "SCRX = 1.5",
                                               "HHH = 0.005",
                                               "4) Блок номер 4",
                                               "----------------",
                                               "XP(1) = 0.1",
                                               "XP(2) = 0.2",
                                               "XP(3) = 0.9",
                                               "FP(1) = 1",
                                               "FP(2) = -1",
                                               "FP(3) = 0.5",
                                               "5) Блок номер 5",
                                               "----------------",
                                               "IC(1) = 3",
                                               "IC(2) = 1",
                                               "IC(3) = 2",
                                               "6) Блок номер 6",
                                               "----------------",
                                               "LSCREEN = 1",
                                               "7) Блок номер 7",
                                               "----------------",
                                               "LGRAPH = 3",
                                               "8) Блок номер 8",
                                               "----------------",
                                               "NSC = 25"};
    EXPECT_EQ(readAllLines(paths.userFile("Input.chk")), expected);

    // An edited value is written back, everything else as read.
    Sec9::Fields f = sec.fieldsFromStore(mdl);
    EXPECT_EQ(f.xi1, "0.3,0.6,0.9");
    EXPECT_EQ(f.ici, "3,1,2");
    f.mcpz = "5";
    Sec9::Table_File(mdl, paths.userFile("edit.chad"), f);
    Chad e = d;
    e.mcpz = "5";
    EXPECT_EQ(bytesOf(paths.userFile("edit.chad")), e.text());
}

TEST_F(Sec9Test, ReaderRefusesAShortComponentListAndNoElements) {
    Chad d;
    d.ic = "1,2";
    try {
        load(d);
        FAIL() << "a list of two components for NDIM = 3 was accepted";
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find("IC(I)"), std::string::npos) << e.what();
    }
    Chad z;
    z.ndim = "0";
    EXPECT_THROW(load(z), VeltaError);
}

// ---------------------------------------------------------------- results table

TEST_F(Sec9Test, ResultsHeaderIsFourteenLinesAndRowsPairStepWithTheStartState) {
    // MCPZ = 1, ALFA = 2, GAMA = 1, all Xo = 0.5: S = 1, f(1) = 1, so every element moves
    // towards 1; SCRT/HHH = 3 gives four steps.
    load(Chad{});
    sec.Integr1(c);
    EXPECT_EQ(sec.NSTEP9, 4);
    const std::vector<std::string> expected = {
        "", "NDIM = 3", "TMAX = 3.00000E-02", "ALFA = 2.00000E+00", "GAMA = 1.00000E+00", "MCPZ = 1", "",
        "Колебания хаотического типа в ГГС", "", "                      Таблица",
        "        зависимостей компонент вектора X от времени t", "",
        " No        t            X(01)         X(02)         X(03)",
        "-----+-------------+-------------+-------------+-------------+",
        // values from an independent hand calculation of (0.5 + h*f(S))/(1 + h)
        "00001   1.00000E-02   5.00000E-01   5.00000E-01   5.00000E-01   ",
        "00002   2.00000E-02   5.04950E-01   5.04950E-01   5.04950E-01   ",
        "00003   3.00000E-02   5.09901E-01   5.09901E-01   5.09901E-01   ",
        "00004   4.00000E-02   5.14850E-01   5.14850E-01   5.14850E-01   "};
    EXPECT_EQ(results(), expected);
    EXPECT_EQ(mdl.NROW, 4);
    // The plot vectors hold the last step: X1 its start, XNEW its end.
    EXPECT_NEAR(mdl.X1(1), 0.514850, 5e-7);
    EXPECT_EQ(mdl.XNEW(2), sec.XNEW9(2));
}

TEST_F(Sec9Test, FirstStepMovesTowardsOne) {
    Chad d;
    d.scrt = "0.004";  // NSTEP9 = CLng(0.4) + 1 = 1
    load(d);
    sec.Integr1(c);
    EXPECT_EQ(sec.NSTEP9, 1);
    for (int i = 1; i <= 3; ++i) EXPECT_DOUBLE_EQ(sec.XNEW9(i), (0.5 + 0.01) / (1 + 0.01));
}

TEST_F(Sec9Test, NscThinsTheRowsAndTheHeaderKeepsFourteenLines) {
    Chad d;
    d.ndim = "2";
    d.yo = "0.2,0.7";
    d.xp = "0,0";
    d.fp = "1,0";
    d.ic = "2,1";
    d.scrt = "0.07";  // NSTEP9 = 8
    d.nsc = "3";
    load(d);
    sec.Integr1(c);
    const auto lines = results();
    ASSERT_EQ(lines.size(), 14u + 2u);  // rows of d = 3 and 6 only, none for d = 1
    EXPECT_EQ(lines[12], " No        t            X(01)         X(02)");
    EXPECT_EQ(lines[13], "-----+-------------+-------------+-------------+");
    EXPECT_EQ(lines[14].substr(0, 22), "00003   3.00000E-02   ");
    EXPECT_EQ(lines[15].substr(0, 22), "00006   6.00000E-02   ");
    EXPECT_EQ(lines[14].size(), 22u + 14u * 2u);
    EXPECT_EQ(mdl.NROW, 2);
}

// ---------------------------------------------------------------- model

TEST_F(Sec9Test, RegulatoryInputsOnHandCheckedPoints) {
    // f(v) = 3v/(1 + v^2): f(2.5) = 7.5/7.25, f(2) = 1.2, f(1.5) = 4.5/3.25,
    // f(f(2.5)) = 1.499138426191844 (computed by hand, independently).
    EXPECT_DOUBLE_EQ(Sec9::Regul(2.5, 3, 2, 1), 7.5 / 7.25);
    EXPECT_DOUBLE_EQ(Sec9::Regul(2.5, 3, 2, 2), 1.499138426191844);
    EXPECT_EQ(Sec9::Regul(2.5, 3, 2, 0), 2.5);       // MCPZ = 0: f^(0)(v) = v
    EXPECT_DOUBLE_EQ(Sec9::Regul(1, 2, 1, 7), 1.0);  // 1 is a fixed point of 2v/(1+v)
    EXPECT_DOUBLE_EQ(Sec9::Regul(2.5, 3, 2.5, 1), 7.5 / (1 + std::pow(2.5, 2.5)));

    mdl.ALFA = 3;
    mdl.GAMA = 2;
    mdl.MCPZ = 1;
    sec.XOLD9(1) = 0.5;
    sec.XOLD9(2) = 1;
    sec.XOLD9(3) = 1.5;
    sec.Vych_PCH(mdl);  // each element sees the sum of the two others
    EXPECT_DOUBLE_EQ(sec.FR9(1), 7.5 / 7.25);
    EXPECT_DOUBLE_EQ(sec.FR9(2), 1.2);
    EXPECT_DOUBLE_EQ(sec.FR9(3), 4.5 / 3.25);
    mdl.MCPZ = 0;
    sec.Vych_PCH(mdl);
    EXPECT_EQ(sec.FR9(1), 2.5);
    EXPECT_EQ(sec.FR9(2), 2.0);
    EXPECT_EQ(sec.FR9(3), 1.5);
}

// MCPZ = 0 makes the system linear, dX/dt = S - X: the mean grows as e^t and the
// deviations from it decay as e^(-2t). The scheme reaches it at first order.
TEST_F(Sec9Test, LinearCaseConvergesAtFirstOrderToTheExactSolution) {
    const std::array<double, 3> x0 = {0.3, 0.6, 0.9};
    const double m0 = 0.6;
    std::array<double, 3> exact{};
    for (std::size_t i = 0; i < 3; ++i) exact[i] = m0 * std::exp(1.0) + (x0[i] - m0) * std::exp(-2.0);
    std::vector<double> err;
    for (const char* h : {"0.01", "0.005", "0.0025", "0.00125"}) {
        Chad d;
        d.mcpz = "0";
        d.yo = "0.3,0.6,0.9";
        d.hhh = h;
        const double hv = std::stod(h);
        d.scrt = CStr(1 - hv);  // NSTEP9 = 1/h: the last state is at t = 1
        d.nsc = "1000";
        d.scrx = "5";
        load(d);
        sec.Integr1(c);
        ASSERT_NEAR(sec.NSTEP9 * hv, 1.0, 1e-12);
        const auto x = endState();
        double e = 0;
        for (std::size_t i = 0; i < 3; ++i) e = std::max(e, std::fabs(x[i] - exact[i]));
        err.push_back(e);
    }
    for (std::size_t k = 1; k < err.size(); ++k) {
        const double ratio = err[k - 1] / err[k];
        EXPECT_GT(ratio, 1.85) << "step " << k;
        EXPECT_LT(ratio, 2.15) << "step " << k;
    }
    EXPECT_LT(err.back(), 1e-2);
}

// Over 0 <= t <= 0.3 from the sample's start; the fourfold composition is steep
// (|f^(4)'| up to a few hundred), so longer stretches need much smaller steps before the
// error settles into its first-order decrease.
TEST_F(Sec9Test, ChaoticModelConvergesAtFirstOrderToARungeKuttaReference) {
    const double T = 0.3;
    const auto ref = rk4({0.3, 0.6, 0.9}, 4, 6, 4, T, 20000);
    std::vector<double> err;
    for (const char* h : {"0.003", "0.0015", "0.00075", "0.000375"}) {
        Chad d;
        d.alfa = "4";
        d.gama = "6";
        d.mcpz = "4";
        d.yo = "0.3,0.6,0.9";
        d.hhh = h;
        d.scrt = CStr(T - std::stod(h));  // NSTEP9 = T/h
        d.nsc = "1000";
        d.scrx = "2";
        load(d);
        sec.Integr1(c);
        ASSERT_NEAR(sec.NSTEP9 * std::stod(h), T, 1e-12);
        const auto x = endState();
        double e = 0;
        for (std::size_t i = 0; i < 3; ++i) e = std::max(e, std::fabs(x[i] - ref[i]));
        err.push_back(e);
    }
    for (std::size_t k = 1; k < err.size(); ++k) {
        const double ratio = err[k - 1] / err[k];
        EXPECT_GT(ratio, 1.8) << "step " << k;  // first order: 2; second order would give 4
        EXPECT_LT(ratio, 2.3) << "step " << k;
    }
}

TEST_F(Sec9Test, NdimTwoAdvancesTwoComponentsAndKeepsTheThirdAtZero) {
    Chad d;
    d.ndim = "2";
    d.alfa = "3";
    d.gama = "2";
    d.yo = "0.4,0.8";
    d.xp = "0,0";
    d.fp = "1,0";
    d.ic = "1,2";
    d.scrt = "0.004";
    load(d);
    sec.Integr1(c);
    const double h = 0.01;
    // S(1) = X(2) + X(3) = 0.8, S(2) = X(1) + 0 = 0.4
    EXPECT_DOUBLE_EQ(sec.XNEW9(1), (0.4 + h * fReg(0.8, 3, 2)) / (1 + h));
    EXPECT_DOUBLE_EQ(sec.XNEW9(2), (0.8 + h * fReg(0.4, 3, 2)) / (1 + h));
    EXPECT_EQ(sec.XNEW9(3), 0.0);
    EXPECT_EQ(mdl.XNEW(3), 0.0);
}

TEST_F(Sec9Test, EveryRunStartsFromTheInitialValues) {
    Chad d;
    d.alfa = "4";
    d.gama = "6";
    d.mcpz = "4";
    d.yo = "0.3,0.6,0.9";
    d.scrt = "2";
    d.scrx = "2";
    load(d);
    sec.Integr1(c);
    const std::string first = bytesOf(paths.userFile("Results.cha"));
    const auto end1 = endState();
    sec.Integr1(c);
    EXPECT_EQ(bytesOf(paths.userFile("Results.cha")), first);
    EXPECT_EQ(endState(), end1);
    EXPECT_EQ(sec.YO(1), 0.3);
}

// ---------------------------------------------------------------- plots

TEST_F(Sec9Test, TimeCurvesHaveTheAbg9LegendAndNoWCurve) {
    Chad d;
    d.lscreen = "1";  // this section computes no W: nothing of it may be drawn
    load(d);
    mdl.LPERIOD = 1;
    mdl.PERIOD = 5;  // left by another section
    mdl.TMIN = 0;
    mdl.W = 0.7;
    mdl.WOLD = 0.2;
    sec.Integr1(c);
    EXPECT_NE(surf.findText("Графики компонент вектора X(t)"), nullptr);
    EXPECT_NE(surf.findText("Параметры модели"), nullptr);
    EXPECT_NE(surf.findText("ALFA = 2.00000E+00"), nullptr);
    EXPECT_NE(surf.findText("GAMA = 1.00000E+00"), nullptr);
    EXPECT_NE(surf.findText("HHH  = 1.00000E-02"), nullptr);
    EXPECT_NE(surf.findText("MCPZ = " + Format(mdl.MCPZ, "0")), nullptr);
    EXPECT_EQ(surf.findText("Model M"), nullptr);
    for (const char* x : {"X1", "X2", "X3"}) EXPECT_NE(surf.findText(x), nullptr) << x;
    EXPECT_EQ(surf.findText("WW"), nullptr);
    EXPECT_EQ(surf.findText("Норма невязки"), nullptr);
    int curves = 0;
    for (const DrawCall& s : surf.of(DrawCall::Kind::Segment)) {
        EXPECT_NE(s.colour, QBColor(2)) << "a W segment was drawn";
        if (s.colour == QBColor(13)) ++curves;  // component 1, light magenta
    }
    EXPECT_GE(curves, 3);       // the legend line and the steps whose new point is inside the plot
    EXPECT_EQ(mdl.LSCREEN, 1);  // the value read is given back
    EXPECT_EQ(mdl.W, 0.7);      // W and WOLD are left untouched
    EXPECT_EQ(mdl.WOLD, 0.2);
    EXPECT_DOUBLE_EQ(mdl.TOLD, 0.03);
    EXPECT_DOUBLE_EQ(mdl.TCUR, 0.04);
}

TEST_F(Sec9Test, PhasePlaneFramesBothAxesWithTheStateRange) {
    Chad d;
    d.lgraph = "2";
    d.alfa = "4";
    d.gama = "6";
    d.mcpz = "4";
    d.yo = "0.3,0.6,0.9";
    d.scrt = "1";
    d.sclx = "0.2";
    d.scrx = "1.4";
    d.ic = "2,3,1";
    load(d);
    sec.Integr1(c);
    EXPECT_NE(surf.findText("Графики компонент вектора X в фазовой плоскости"), nullptr);
    EXPECT_NE(surf.findText("i1 = 2, i2 = 3"), nullptr);
    EXPECT_EQ(ui.progressMax, 1);  // CLng(SCRT)
    EXPECT_DOUBLE_EQ(mdl.KXY, mdl.PWID / 1.2);
    EXPECT_GT(surf.of(DrawCall::Kind::Segment).size(), 50u);
}

// The crossings of the chaotic sample lie on the plane X(3) = 0.9 and form no finite
// set of points: the trajectory is irregular.
TEST_F(Sec9Test, PoincareSampleCrossesThePlaneAtManyDifferentPoints) {
    const std::string name = "Chaos_Puan.chad";
    app.write("User/" + name, bytesOf(sourceFile("User/" + name)));
    sec.dataPath = paths.userFile(name);
    sec.InputPar(c);
    ASSERT_EQ(mdl.LGRAPH, 3);
    mdl.SCRT = 600;
    mdl.NSC = 10000;
    sec.Integr1(c);
    EXPECT_NE(surf.findText("П Л О С К О С Т Ь   П У А Н К А Р Е"), nullptr);
    const Store& g = mdl;
    // The last crossing point is on the plane (N, X - Xo) = 0.
    double s = 0;
    for (int i = 1; i <= 3; ++i) s += (g.XCROSS(i) - g.XP(i)) * g.FP(i);
    EXPECT_NEAR(s, 0, 1e-12);
    std::set<std::pair<long, long>> cells;
    int dots = 0;
    for (const DrawCall& dc : surf.of(DrawCall::Kind::Circle)) {
        if (dc.r != 2) continue;
        ++dots;
        EXPECT_EQ(dc.colour, QBColor(11));
        cells.insert({std::lround(dc.x1), std::lround(dc.y1)});
    }
    EXPECT_GT(dots, 300);
    EXPECT_GT(cells.size(), 400u) << "the crossings repeat: the trajectory is periodic";
}

TEST_F(Sec9Test, SampleTrajectoryIsSensitiveToTheInitialValues) {
    const std::string name = "Chaos_Oscill.chad";
    app.write("User/" + name, bytesOf(sourceFile("User/" + name)));
    sec.dataPath = paths.userFile(name);
    sec.InputPar(c);
    auto runTo = [&](double t) {
        mdl.SCRT = t;
        sec.Integr1(c);
        return endState();
    };
    auto dist = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
        return std::max({std::fabs(a[0] - b[0]), std::fabs(a[1] - b[1]), std::fabs(a[2] - b[2])});
    };
    const std::vector<double> late = {40, 45, 50, 55, 60};
    std::vector<std::array<double, 3>> a;
    for (double t : late) a.push_back(runTo(t));
    const auto a3 = runTo(3);
    sec.YO(1) += 1e-9;
    EXPECT_LT(dist(runTo(3), a3), 1e-5);  // close at first
    double apart = 0;
    for (std::size_t k = 0; k < late.size(); ++k) apart = std::max(apart, dist(runTo(late[k]), a[k]));
    EXPECT_GT(apart, 0.05);  // apart later on
}

TEST_F(Sec9Test, PointsLyingOnThePlaneGiveNoDivisionByZero) {
    Chad d;
    d.lgraph = "3";
    d.fp = "0,0,0";  // every point is on the "plane": s1 = s2 = 0, D = 0
    d.scrt = "0.09";
    d.ic = "1,2,3";
    load(d);
    sec.Integr1(c);
    int dots = 0;
    for (const DrawCall& dc : surf.of(DrawCall::Kind::Circle)) {
        if (dc.r != 2) continue;
        ++dots;
        EXPECT_TRUE(std::isfinite(dc.x1) && std::isfinite(dc.y1));
    }
    EXPECT_EQ(dots, sec.NSTEP9);  // a crossing at XOLD9 on every step
    EXPECT_EQ(mdl.XCROSS(1), mdl.X1(1));
}

// ---------------------------------------------------------------- refused inputs

TEST_F(Sec9Test, RefusedInputsLeaveTheOldResultsUntouched) {
    struct Case {
        const char* what;
        void (*edit)(Chad&);
        const char* message;
    };
    const std::vector<Case> cases = {
        {"HHH = 0", [](Chad& d) { d.hhh = "0"; }, "HHH"},
        {"HHH < 0", [](Chad& d) { d.hhh = "-0.01"; }, "HHH"},
        {"NSC = 0", [](Chad& d) { d.nsc = "0"; }, "NSC"},
        {"MCPZ < 0", [](Chad& d) { d.mcpz = "-1"; }, "MCPZ"},
        // The list is refused while the file is read, on its own line.
        {"IC = 4", [](Chad& d) { d.ic = "1,4,2"; },
         "строка 27: ожидалось IC(2) от 1 до NDIM = 3, прочитано «4»"},
        {"IC = 0", [](Chad& d) { d.ic = "0,1,2"; },
         "строка 27: ожидалось IC(1) от 1 до NDIM = 3, прочитано «0»"},
        {"NDIM = 4",
         [](Chad& d) {
             d.ndim = "4";
             d.yo = "1,2,3,4";
             d.xp = "0,0,0,0";
             d.fp = "0,0,0,1";
             d.ic = "1,2,3,4";
         },
         "NDIM"},
        {"phase plane of one element",
         [](Chad& d) {
             d.ndim = "1";
             d.yo = "1";
             d.xp = "0";
             d.fp = "1";
             d.ic = "1";
             d.lgraph = "2";
         },
         "LGRAPH"},
        {"SCLX = SCRX",
         [](Chad& d) {
             d.sclx = "1";
             d.scrx = "1";
         },
         "SCLX"},
        {"SCLT = SCRT", [](Chad& d) { d.sclt = "0.03"; }, "SCLT"},
        {"too many steps",
         [](Chad& d) {
             d.scrt = "100000000";
             d.hhh = "0.00001";
         },
         "шагов"},
        {"SCRT < 0", [](Chad& d) { d.scrt = "-1"; }, "SCRT"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Chad d;
        k.edit(d);
        app.write("User/Results.cha", "old results\r\n");
        surf.forget();
        try {
            load(d);
            surf.forget();
            sec.Integr1(c);
            ADD_FAILURE() << "accepted";
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find(k.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(bytesOf(paths.userFile("Results.cha")), "old results\r\n");
        EXPECT_TRUE(surf.calls.empty()) << "something was drawn";
    }
}

TEST_F(Sec9Test, ComputingWithoutReadingIsRefused) {
    app.write("User/Results.cha", "old\r\n");
    mdl.NDIM = 3;
    mdl.HHH = 0.01;
    mdl.NSC = 1;
    EXPECT_THROW(sec.Integr1(c), VeltaError);
    EXPECT_EQ(bytesOf(paths.userFile("Results.cha")), "old\r\n");
}

TEST_F(Sec9Test, NonFiniteStepEndsTheRunNamingStepAndTime) {
    // ALFA = -10, GAMA = 0.5: the first step makes X negative, the second raises a
    // negative sum to a fractional power.
    Chad d;
    d.alfa = "-10";
    d.gama = "0.5";
    d.yo = "0.1,0.1,0.1";
    d.hhh = "0.1";
    d.scrt = "1";
    d.sclx = "-1";
    d.lscreen = "1";
    load(d);
    try {
        sec.Integr1(c);
        FAIL() << "a NaN step was accepted";
    } catch (const VeltaError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("d = 2"), std::string::npos) << m;
        EXPECT_NE(m.find("t = 2.00000E-01"), std::string::npos) << m;
    }
    const auto lines = results();  // closed with the rows written so far
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[14].substr(0, 5), "00001");
    EXPECT_EQ(mdl.LSCREEN, 1);  // given back after the error too
}

}  // namespace
