#include "models/section8/sec8.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "support/core_fixture.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

using namespace velta;
using velta::test::bytesOf;
using velta::test::DrawCall;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

// A ".gsed" text; each block gets two header lines "Hk" and "--".
struct Gsed {
    int mclass = 1, ndim = 3, kmod = 2;
    std::string alfa = "2", beta = "1", gama = "2";
    std::string ink = "1,2,3", xink = "0.1,0.2,0.3";
    std::string xp = "1,1,1", fp = "1,0,0";
    std::string tmax = "1", hhh = "0.1", lscreen = "0", tmin = "0", lgraph = "1", lstep = "0";
    std::string ic = "1,2", nsc = "1";
    std::string dlx = "0", drx = "1", dlw = "0", drw = "1", sclt = "0";

    std::string text() const {
        std::string s;
        auto L = [&](const std::string& l) { s += l + "\r\n"; };
        auto H = [&](int k) {
            L("H" + std::to_string(k));
            L("--");
        };
        H(1);
        L("MCLASS = " + std::to_string(mclass));
        L("NDIM = " + std::to_string(ndim));
        L("KMOD = " + std::to_string(kmod));
        L("ALFA = " + alfa);
        L("BETA = " + beta);
        L("GAMA = " + gama);
        H(2);
        L("i1,...:");
        L(ink);
        L("X(i1),...:");
        L(xink);
        H(3);
        L("XP(I):");
        L(xp);
        L("FP(I):");
        L(fp);
        H(4);
        L("TMAX = " + tmax);
        L("HHH = " + hhh);
        H(5);
        L("LSCREEN = " + lscreen);
        L("TMIN = " + tmin);
        H(6);
        L("LGRAPH = " + lgraph);
        H(7);
        L("LSTEP = " + lstep);
        H(8);
        L("IC(I):");
        L(ic);
        H(9);
        L("NSC = " + nsc);
        H(10);
        L("Dlx = " + dlx);
        L("Drx = " + drx);
        L("Dlw = " + dlw);
        L("Drw = " + drw);
        L("Sclt = " + sclt);
        return s;
    }
};

class Sec8Test : public test::CoreFixture<Sec8> {
protected:
    Sec8Test() : CoreFixture("gsed", "Results.gse") {}
    // F(X) - X^2 at the point x through Vych_PCH.
    std::vector<double> deriv(const std::vector<double>& x) {
        const int n = mdl.NDIM;
        for (int i = 1; i <= n; ++i) mdl.XV(i) = x[static_cast<std::size_t>(i)];
        Vec rate;
        Sec8::Vych_PCH(mdl, rate);
        std::vector<double> d(static_cast<std::size_t>(n) + 1);
        for (int i = 1; i <= n; ++i)
            d[static_cast<std::size_t>(i)] = mdl.FV(i) + rate(i) * x[static_cast<std::size_t>(i)];
        return d;
    }
};

const std::string kSrc = VELTA_SOURCE_DIR;

}  // namespace

// ---------------------------------------------------------------- reader and writer

TEST_F(Sec8Test, ShippedSamplesReadAndWriteBackByteForByte) {
    for (const std::string name : {"Logist.gsed", "EcoCycle3.gsed"}) {
        const std::string src = kSrc + "/User/" + name;
        mdl.reset();
        sec.dataPath = src;
        sec.InputPar(c);
        const std::string out = app.path("User/copy.gsed");
        Sec8::Table_File(mdl, out, Sec8::fieldsFromStore(mdl));
        EXPECT_EQ(bytesOf(out), bytesOf(src)) << name;
        const Store before = mdl;
        sec.dataPath = out;
        sec.InputPar(c);
        EXPECT_EQ(mdl.X1, before.X1) << name;
        EXPECT_EQ(mdl.KMOD, before.KMOD) << name;
        EXPECT_DOUBLE_EQ(mdl.SCLT, before.SCLT) << name;
    }
    EXPECT_EQ(mdl.NDIM, 3);  // EcoCycle3: E(3,2)
    EXPECT_EQ(mdl.KMOD, 2);
    EXPECT_DOUBLE_EQ(mdl.GAMA, 4);
    EXPECT_DOUBLE_EQ(mdl.X1(3), 0.03);
    EXPECT_EQ(mdl.LGRAPH, 2);
    const auto chk = readAllLines(app.path("User/Input.chk"));
    ASSERT_GT(chk.size(), 10u);
    EXPECT_EQ(chk[5], "MClass = 1");
    EXPECT_EQ(chk[7], "KMOD = 2");
}

TEST_F(Sec8Test, EmptyIndexListShiftsNothing) {
    Gsed m;
    m.ink = "";
    m.xink = "";
    load(m);
    EXPECT_EQ(mdl.NK, 0);
    EXPECT_EQ(mdl.HEAD[3][0], "H3");
    EXPECT_DOUBLE_EQ(mdl.SCLT, 0);
    EXPECT_DOUBLE_EQ(mdl.DRW, 1);
}

// ---------------------------------------------------------------- model

TEST_F(Sec8Test, ProductionTermsOnAHandCheckedPoint) {
    Gsed m;
    m.ndim = 5;
    m.kmod = 3;
    m.alfa = "2";
    m.beta = "3";
    m.gama = "2";
    m.xp = m.fp = "0,0,0,0,0";
    load(m);
    auto& g = mdl;
    const double x[6] = {0, 1, 2, 0.5, 1.5, 3};
    for (int i = 1; i <= 5; ++i) g.XV(i) = x[i];
    auto F = [&](int cls) {
        g.MCLASS = static_cast<i16>(cls);
        Vec rate;
        Sec8::Vych_PCH(mdl, rate);
        for (int i = 1; i <= 5; ++i) EXPECT_EQ(rate(i), -x[i]);
        return g.FV;
    };
    // Element 1 is regulated by 4 and 5, element 3 by 1 and 2.
    Vec f = F(1);
    EXPECT_DOUBLE_EQ(f(1), 2.0 / (1 + 3 * (2.25 + 9)));
    EXPECT_DOUBLE_EQ(f(3), 2 * 0.5 / (1 + 3 * (1 + 4)));
    f = F(2);
    EXPECT_DOUBLE_EQ(f(1), 2.0 / ((1 + 3 * 2.25) * (1 + 3 * 9)));
    f = F(3);
    EXPECT_DOUBLE_EQ(f(3), 2 * 0.5 / (1 + 3 * (1 * 4)));
    f = F(4);
    EXPECT_DOUBLE_EQ(f(3), 2 * 0.5 * (1 / (1 + 3.0) + 1 / (1 + 12.0)));

    // KMOD = 2: element 1 is regulated by element NDIM alone.
    g.KMOD = 2;
    f = F(1);
    EXPECT_DOUBLE_EQ(f(1), 2.0 / (1 + 3 * 9));
    EXPECT_DOUBLE_EQ(f(2), 4.0 / (1 + 3 * 1));
    // KMOD = 1: no regulators, F = ALFA X.
    g.KMOD = 1;
    f = F(1);
    EXPECT_DOUBLE_EQ(f(4), 2 * 1.5);
}

TEST_F(Sec8Test, PsiSeriesAndRecurrenceMeetAndMatchTheIntegral) {
    // Simpson's rule for psi_k(z) = integral of s^(k-1) e^(-z s) over [0,1].
    auto quad = [](int k, double z) {
        const int m = 2000;
        double s = 0;
        for (int i = 0; i <= m; ++i) {
            const double x = static_cast<double>(i) / m;
            const double w = (i == 0 || i == m) ? 1 : (i % 2 ? 4 : 2);
            s += w * std::pow(x, k - 1) * std::exp(-z * x);
        }
        return s / (3.0 * m);
    };
    for (double z : {-2.0, -0.5, -0.1, -0.03, 0.0, 0.05, 0.1, 0.7, 3.0}) {
        const auto p = Sec8::Psi(z);
        for (int k = 1; k <= 6; ++k) EXPECT_NEAR(p[k], quad(k, z), 2e-8) << "k " << k << " z " << z;
    }
    for (double edge : {0.1, -0.1}) {
        const auto in = Sec8::Psi(edge);                // series
        const auto out = Sec8::Psi(edge * (1 + 1e-9));  // recurrence
        for (int k = 1; k <= 6; ++k) EXPECT_NEAR(in[k], out[k], 1e-7) << "k " << k;
    }
}

TEST_F(Sec8Test, StationarySolutionSatisfiesTheModel) {
    Gsed m;
    m.ndim = 6;
    m.xp = m.fp = "0,0,0,0,0,0";
    load(m);
    auto& g = mdl;
    struct P {
        int cls, kmod;
        double a, b, ga;
    };
    const std::vector<P> cases = {{1, 3, 2, 1, 2}, {2, 3, 2, 1, 2},      {3, 3, 2, 1, 2},   {4, 3, 2, 1, 2},
                                  {1, 2, 3, 5, 4}, {2, 4, 10, 0.5, 1.5}, {4, 5, 0.3, 7, 3}, {3, 7, 5, 2, 0.5},
                                  {1, 1, 2, 1, 2}, {2, 1, 4, 1, 3},      {1, 3, 2, 0, 2}};
    for (const P& p : cases) {
        g.MCLASS = static_cast<i16>(p.cls);
        g.KMOD = static_cast<i16>(p.kmod);
        g.ALFA = p.a;
        g.BETA = p.b;
        g.GAMA = p.ga;
        g.STAT = -1;
        Sec8::Station(mdl);
        ASSERT_GT(g.STAT, 0) << p.cls << " " << p.kmod;
        // Every component equal to STAT: F(i) = STAT^2.
        const auto d = deriv(std::vector<double>(7, g.STAT));
        for (int i = 1; i <= 6; ++i)
            EXPECT_NEAR(d[static_cast<std::size_t>(i)], 0, 1e-6 * p.a)
                << "class " << p.cls << " KMOD " << p.kmod << " STAT " << g.STAT;
    }
    // KMOD = 1 decouples into logistic equations: STAT = ALFA.
    g.MCLASS = 1;
    g.KMOD = 1;
    g.ALFA = 2.5;
    Sec8::Station(mdl);
    EXPECT_DOUBLE_EQ(g.STAT, 2.5);
    // Class 4 without regulators has no production: only 0 is stationary.
    g.MCLASS = 4;
    Sec8::Station(mdl);
    EXPECT_EQ(g.STAT, 0);
}

TEST_F(Sec8Test, StationIsPlainNewtonWhereItConverges) {
    // Class 2, K = 3, GAMA = 2: Z0 lies left of the root, the first step overshoots and
    // grows |G| (6.5 to 11 for ALFA = 10), yet the iteration converges; STAT is its result
    // to the last digit.
    Gsed m;
    load(m);
    auto& g = mdl;
    for (const double a : {10.0, 40.0, 3.0}) {
        g.MCLASS = 2;
        g.KMOD = 4;
        g.ALFA = a;
        g.BETA = 0.1;
        g.GAMA = 2;
        const double K = 3, B = 0.1, ga = 2;
        double z = std::pow(a / B, 1 / K / (ga + 1)), dz = 1;
        for (int it = 0; it < 1000 && std::fabs(dz) >= 1e-4; ++it) {
            const double zg = std::pow(z, ga);
            dz = -(std::pow(1 + B * zg, K) * z - a) /
                 (std::pow(1 + B * zg, K - 1) * (B * (K * ga + 1) * zg + 1));
            z = z + dz;
        }
        Sec8::Station(mdl);
        EXPECT_EQ(g.STAT, z) << a;
    }
}

TEST_F(Sec8Test, StationFallsBackToBisectionWherePlainNewtonOverflows) {
    // Class 2, KMOD = 11, GAMA = 8: from the given start Newton's first step lands where
    // (1 + BETA Z^8)^10 overflows; the safeguarded iteration still finds the root.
    Gsed m;
    m.ndim = 10;
    m.xp = m.fp = "0,0,0,0,0,0,0,0,0,0";
    load(m);
    auto& g = mdl;
    g.MCLASS = 2;
    g.KMOD = 11;
    g.ALFA = 1e6;
    g.BETA = 0.01;
    g.GAMA = 8;
    const double z0 = std::pow(g.ALFA / g.BETA, 1 / 10.0 / 9);
    const double zg = std::pow(z0, 8);
    const double step = z0 - (std::pow(1 + 0.01 * zg, 10) * z0 - 1e6) /
                                 (std::pow(1 + 0.01 * zg, 9) * (0.01 * (10 * 8 + 1) * zg + 1));
    EXPECT_FALSE(std::isfinite(std::pow(1 + 0.01 * std::pow(step, 8), 10)));  // plain Newton fails
    Sec8::Station(mdl);
    const double s = g.STAT;
    EXPECT_NEAR(std::pow(1 + 0.01 * std::pow(s, 8), 10) * s / 1e6, 1, 1e-4) << s;
}

TEST_F(Sec8Test, StationWithoutARootStopsWithAMessage) {
    // GAMA < 0 and a small ALFA: BETA K Z^-1.5 + Z = ALFA has no positive root, and a
    // negative Z has no fractional power.
    Gsed m;
    load(m);
    auto& g = mdl;
    g.MCLASS = 1;
    g.KMOD = 2;
    g.ALFA = 0.5;
    g.BETA = 1;
    g.GAMA = -2.5;
    EXPECT_THROW(Sec8::Station(mdl), VeltaError);
}

// ---------------------------------------------------------------- integrator

TEST_F(Sec8Test, LogisticSolutionAtSecondOrder) {
    // KMOD = 1, class 1: dX/dt = ALFA X - X^2, X(t) = A X0 e^(At) / (A + X0 (e^(At) - 1)).
    Gsed m;
    m.kmod = 1;
    m.alfa = "2";
    m.xink = "0.01,0.5,3.5";
    load(m);
    const Vec x0 = mdl.X1;
    const double T = 3, A = 2;
    std::vector<double> err;
    for (double h : {0.04, 0.02, 0.01, 0.005}) {
        mdl.X1 = x0;
        mdl.HHH = h;
        mdl.TMAX = T - h;  // NSTEP + 1 steps end at T
        sec.Integr1(c);
        double e = 0;
        for (int i = 1; i <= 3; ++i) {
            const double q = std::exp(A * T);
            const double exact = A * x0(i) * q / (A + x0(i) * (q - 1));
            e = std::max(e, std::fabs(mdl.X1(i) - exact) / exact);
        }
        err.push_back(e);
    }
    for (std::size_t k = 1; k < err.size(); ++k) {
        const double order = std::log2(err[k - 1] / err[k]);
        EXPECT_GT(order, 1.8) << k << ": " << err[k - 1] << " " << err[k];
        EXPECT_LT(order, 2.3) << k;
    }
    EXPECT_EQ(mdl.STAT, 2);
}

TEST_F(Sec8Test, RingConvergesAtSecondOrderToAReferenceSolution) {
    Gsed m;
    m.kmod = 2;
    m.alfa = "3";
    m.beta = "5";
    m.gama = "4";
    m.xink = "0.3,0.6,0.9";
    load(m);
    const Vec x0 = mdl.X1;
    const double T = 2;
    std::vector<double> x{0, x0(1), x0(2), x0(3)};
    const double hr = 1e-4;
    for (int s = 0; s < 20000; ++s) {  // classical Runge-Kutta
        auto k1 = deriv(x);
        std::vector<double> y(4);
        for (int i = 1; i <= 3; ++i) y[i] = x[i] + hr / 2 * k1[i];
        auto k2 = deriv(y);
        for (int i = 1; i <= 3; ++i) y[i] = x[i] + hr / 2 * k2[i];
        auto k3 = deriv(y);
        for (int i = 1; i <= 3; ++i) y[i] = x[i] + hr * k3[i];
        auto k4 = deriv(y);
        for (int i = 1; i <= 3; ++i) x[i] += hr / 6 * (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]);
    }
    std::vector<double> err;
    for (double h : {0.02, 0.01, 0.005}) {
        mdl.X1 = x0;
        mdl.HHH = h;
        mdl.TMAX = T - h;
        sec.Integr1(c);
        double e = 0;
        for (int i = 1; i <= 3; ++i) e = std::max(e, std::fabs(mdl.X1(i) - x[i]));
        err.push_back(e);
    }
    for (std::size_t k = 1; k < err.size(); ++k)
        EXPECT_NEAR(std::log2(err[k - 1] / err[k]), 2, 0.25) << err[k - 1] << " " << err[k];
}

TEST_F(Sec8Test, ComponentStartingAtZeroStaysZero) {
    Gsed m;
    m.ink = "1,3";
    m.xink = "0.5,0.7";
    m.tmax = "5";
    m.hhh = "0.01";
    load(m);
    sec.Integr1(c);
    EXPECT_EQ(mdl.X1(2), 0);
    EXPECT_GT(mdl.X1(1), 0.1);
}

// ---------------------------------------------------------------- results and plots

TEST_F(Sec8Test, ResultsFileHeaderAndRowsExactly) {
    Gsed m;
    m.ndim = 2;
    m.kmod = 2;
    m.ink = "1,2";
    m.xink = "1,1";
    m.xp = "0,0";
    m.fp = "1,0";
    m.tmax = "0.2";
    m.alfa = "2";
    load(m);
    sec.Integr1(c);
    const auto r = results();
    // ALFA = 2, BETA = 1, GAMA = 2, K = 1: (Z^2 + 1) Z = 2 gives STAT = 1.
    const std::vector<std::string> head = {"",
                                           "Mодель M1(2,2)",
                                           "NDIM = 2",
                                           "KMOD = 2",
                                           "TMAX = 2.00000E-01",
                                           "ALFA = 2.00000E+00",
                                           "BETA = 1.00000E+00",
                                           "GAMA = 2.00000E+00",
                                           "",
                                           "Стационарное симметричное решение,",
                                           "в котором все компоненты равны STAT:",
                                           "STAT = 1.00000E+00",
                                           "",
                                           "                      Таблица",
                                           "        зависимостей компонент вектора X от времени t",
                                           "",
                                           " No        t            X(01)         X(02)",
                                           "-----+-------------+-------------+-------------+"};
    ASSERT_EQ(r.size(), 18u + 3);
    for (std::size_t k = 0; k < head.size(); ++k) EXPECT_EQ(r[k], head[k]) << k;
    // Starting on the stationary point the state stays there.
    EXPECT_EQ(r[18], "00001   0.00000E+00   1.00000E+00   1.00000E+00   ");
    EXPECT_EQ(r[20], "00003   2.00000E-01   1.00000E+00   1.00000E+00   ");
    EXPECT_EQ(r[20].size(), 22u + 14 * 2);
    EXPECT_EQ(mdl.NROW, 3);
}

TEST_F(Sec8Test, PortionsAndLstepResetAfterTheRun) {
    Gsed m;
    m.lstep = "4";
    load(m);
    sec.Integr1(c);
    ASSERT_EQ(ui.inputs.size(), 2u);  // j = 4, 8 of 11 passes
    EXPECT_EQ(ui.inputs[1].title, "   Симметричные ГГС");
    EXPECT_EQ(mdl.LSTEP, 0);
}

TEST_F(Sec8Test, PhasePlaneMarksTheStationaryPoint) {
    sec.dataPath = kSrc + "/User/EcoCycle3.gsed";
    sec.InputPar(c);
    mdl.TMAX = 5;
    sec.Integr1(c);
    EXPECT_NEAR(mdl.STAT, 0.8447, 1e-3);
    EXPECT_NE(surf.findText("Model M1(3,2)"), nullptr);
    EXPECT_NE(surf.findText(" - Стационарное"), nullptr);
    EXPECT_NE(surf.findText("X(i) = " + Format(mdl.STAT, "0.00000E+00")), nullptr);
    // The yellow dot at (STAT, STAT) of the plane, drawn before the trajectory.
    const double sx = (mdl.STAT - mdl.SCLX) * mdl.PWID / mdl.YRANGE + mdl.PX0;
    int dots = 0;
    for (const auto& k : surf.of(DrawCall::Kind::Circle))
        if (k.r == 6 && std::fabs(k.x1 - sx) < 1e-9) ++dots;
    EXPECT_GE(dots, 1);
    EXPECT_GT(surf.of(DrawCall::Kind::Segment).size(), 100u);
}

TEST_F(Sec8Test, SelfLimitationHoldsTheSampleAtALFA) {
    sec.dataPath = kSrc + "/User/Logist.gsed";
    sec.InputPar(c);
    sec.Integr1(c);
    // Growth from 0.001 and decline from 3.5 both end near ALFA = 2.
    for (int i = 1; i <= 4; ++i) EXPECT_NEAR(mdl.X1(i), 2, 0.05) << i;
    EXPECT_NE(surf.findText("Model M1(4,1)"), nullptr);
    EXPECT_NE(surf.findText("X4"), nullptr);
}

// ---------------------------------------------------------------- refused input

TEST_F(Sec8Test, RefusedLimitsLeaveTheOldResultsUntouched) {
    struct Case {
        std::string what;
        std::function<void(Gsed&)> edit;
        std::string inMessage;
    };
    const std::vector<Case> cases = {
        {"HHH = 0", [](Gsed& m) { m.hhh = "0"; }, "HHH"},
        {"NSC = 0", [](Gsed& m) { m.nsc = "0"; }, "NSC"},
        {"LSTEP < 0", [](Gsed& m) { m.lstep = "-2"; }, "LSTEP"},
        // The lists are refused while the file is read, on their own line.
        {"IC beyond NDIM", [](Gsed& m) { m.ic = "4"; },
         "строка 38: ожидалось IC(1) от 1 до NDIM = 3, прочитано «4»"},
        {"INK beyond NDIM",
         [](Gsed& m) {
             m.ink = "0";
             m.xink = "1";
         },
         "строка 12: ожидалось INK(1) от 1 до NDIM = 3, прочитано «0»"},
        {"KMOD = 0", [](Gsed& m) { m.kmod = 0; }, "KMOD"},
        {"KMOD > NDIM + 1", [](Gsed& m) { m.kmod = 5; }, "KMOD"},
        {"MCLASS 0", [](Gsed& m) { m.mclass = 0; }, "MCLASS"},
        {"ALFA = 0", [](Gsed& m) { m.alfa = "0"; }, "ALFA"},
        {"BETA < 0", [](Gsed& m) { m.beta = "-1"; }, "BETA"},
        {"negative X with fractional GAMA",
         [](Gsed& m) {
             m.gama = "1.5";
             m.xink = "0.1,-0.2,0.3";
         },
         "X(2)"},
        {"Poincaré plane with one component",
         [](Gsed& m) {
             m.lgraph = "3";
             m.ic = "2";
         },
         "LGRAPH"},
        {"13 plotted components",
         [](Gsed& m) {
             m.ndim = 13;
             m.xp = m.fp = "0,0,0,0,0,0,0,0,0,0,0,0,0";
             m.ic = "1,2,3,4,5,6,7,8,9,10,11,12,13";
         },
         "12"},
    };
    for (const Case& k : cases) {
        Gsed m;
        k.edit(m);
        app.write("User/Results.gse", "old results\r\n");
        surf.forget();
        try {
            load(m);
            surf.forget();
            sec.Integr1(c);
            ADD_FAILURE() << k.what << ": no error";
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find(k.inMessage), std::string::npos)
                << k.what << ": " << e.what();
        }
        EXPECT_EQ(bytesOf(app.path("User/Results.gse")), "old results\r\n") << k.what;
        EXPECT_TRUE(surf.calls.empty()) << k.what;
    }
}
