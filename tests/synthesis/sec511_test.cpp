// Section 5.1.1: data file, right-hand sides, stationary solution and its safeguarded
// Newton iteration, the phi functions, the integrator, the results file and refused inputs.
#include "synthesis/section511/sec511.h"

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
#include <sstream>

using namespace velta;
using velta::test::bytesOf;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

// Field texts of one ".sy1d" file, in the order of its blocks.
struct Sy1d {
    std::string ndim = "5", alfa = "2", beta = "1", gama = "2", tau1 = "4", tau2 = "8", teta = "0.5",
                omeg = "0.25";
    std::string ind = "1", x1 = "1", xndim = "0";
    std::string tmax = "0.05", hhh = "0.01", lscreen = "1", tmin = "0", lgraph = "1";
    std::string ic = "1,5", nss = "1", nsc = "1";
    std::string sclx = "0", scrx = "2", sclw = "0", scrw = "1", sclt = "0";

    std::string text() const {
        std::vector<std::string> L;
        auto h = [&](int k) {
            L.push_back(std::to_string(k) + ". Блок номер " + std::to_string(k));
            L.push_back("----------------");
        };
        h(1);
        L.insert(L.end(), {"NDIM = " + ndim, "ALFA = " + alfa, "BETA = " + beta, "GAMA = " + gama,
                           "TAU1 = " + tau1, "TAU2 = " + tau2, "TETA = " + teta, "OMEG = " + omeg});
        h(2);
        L.insert(L.end(), {"Ind = " + ind, "X_1 = " + x1, "X_Ndim = " + xndim});
        h(3);
        L.insert(L.end(), {"TMAX = " + tmax, "HHH = " + hhh});
        h(4);
        L.insert(L.end(), {"Lscreen = " + lscreen, "TMIN = " + tmin});
        h(5);
        L.push_back("Lgraph = " + lgraph);
        h(6);
        L.insert(L.end(), {"IC(I):", ic});
        h(7);
        L.insert(L.end(), {"NSS = " + nss, "NSC = " + nsc});
        h(8);
        L.insert(L.end(),
                 {"SCLX = " + sclx, "SCRX = " + scrx, "SCLW = " + sclw, "SCRW = " + scrw, "SCLT = " + sclt});
        std::string s;
        for (const auto& l : L) s += utf8ToCp1251(l) + "\r\n";
        return s;
    }
};

class Sec511Test : public test::CoreFixture<Sec511> {
protected:
    Sec511Test() : CoreFixture("sy1d", "Results.sy1") {}
};

// dX/dt of the chain, written out independently of the section, for reference solutions.
std::vector<double> chainRate(const std::vector<double>& x, double alfa, double beta, double gama,
                              double tau1, double tau2, double teta, double omeg) {
    const int n = static_cast<int>(x.size());
    const double a = (n - 1) / tau1, b = (n - 1) / tau2;
    std::vector<double> d(x.size());
    d[0] = alfa / (1 + beta * std::pow(x[n - 1], gama)) + b * x[1] - (a + omeg) * x[0];
    for (int i = 1; i < n - 1; ++i)
        d[i] = a * x[i - 1] + (i + 1 < n - 1 ? b * x[i + 1] : 0) - (a + omeg + b) * x[i];
    d[n - 1] = a * x[n - 2] - teta * x[n - 1];
    return d;
}

}  // namespace

// ---------------------------------------------------------------- reading and writing

TEST_F(Sec511Test, Sec511ReadRoundTripOfShippedSamples) {
    for (const char* name : {"Syn1_Oscill.sy1d", "Syn1_Phase.sy1d"}) {
        SCOPED_TRACE(name);
        mdl.reset();
        app.write(std::string("User/") + name, bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/" + name));
        sec.dataPath = paths.userFile(name);
        sec.InputPar(c);
        EXPECT_EQ(mdl.NDIM, 8);
        EXPECT_EQ(mdl.IND, 0);
        const std::vector<double> start = state();
        // The start is the stationary solution with its last component perturbed.
        for (int i = 1; i < 8; ++i) EXPECT_EQ(start[i - 1], mdl.XS(i));
        EXPECT_EQ(start[7], mdl.XS(8) + mdl.X_Ndim);

        Sec511::Table_File(mdl, paths.userFile("copy.sy1d"), Sec511::fieldsFromStore(mdl));
        EXPECT_EQ(bytesOf(paths.userFile("copy.sy1d")), bytesOf(paths.userFile(name)));
        mdl.reset();
        sec.dataPath = paths.userFile("copy.sy1d");
        sec.InputPar(c);
        EXPECT_EQ(state(), start);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Sec511Test, Sec511ReadEchoesEveryValueAndBuildsTheStart) {
    Sy1d m;
    m.alfa = "2.50";
    m.ic = "2, 4,1";
    m.x1 = "0.75";
    load(m);
    const auto chk = readAllLines(paths.userFile("Input.chk"));
    const std::vector<std::string> expect = {"Контроль ввода исходных данных:",
                                             "-------------------------------",
                                             " ",
                                             "1. Блок номер 1",
                                             "----------------",
                                             "NDIM = 5",
                                             "ALFA = 2.5",
                                             "BETA = 1",
                                             "GAMA = 2",
                                             "TAU1 = 4",
                                             "TAU2 = 8",
                                             "TETA = 0.5",
                                             "OMEG = 0.25",
                                             "2. Блок номер 2",
                                             "----------------",
                                             "IND = 1",
                                             "X_1 = 0.75",
                                             "X_Ndim = 0",
                                             "3. Блок номер 3",
                                             "----------------",
                                             "TMAX = 0.05",
                                             "HHH = 0.01",
                                             "4. Блок номер 4",
                                             "----------------",
                                             "LSCREEN = 1",
                                             "TMIN = 0",
                                             "5. Блок номер 5",
                                             "----------------",
                                             "LGRAPH = 1",
                                             "6. Блок номер 6",
                                             "----------------",
                                             "IC(1) = 2",
                                             "IC(2) = 4",
                                             "IC(3) = 1",
                                             "7. Блок номер 7",
                                             "----------------",
                                             "NSS = 1",
                                             "NSC = 1",
                                             "8. Блок номер 8",
                                             "----------------",
                                             "SCLX = 0",
                                             "SCRX = 2",
                                             "SCLW = 0",
                                             "SCRW = 1",
                                             "SCLT = 0"};
    EXPECT_EQ(chk, expect);
    // IND <> 0: the perturbed zero solution.
    EXPECT_EQ(state(), (std::vector<double>{0.75, 0, 0, 0, 0}));
    EXPECT_EQ(mdl.XS.upper(), 5);
    EXPECT_EQ(mdl.DV.upper(), 5);
}

TEST_F(Sec511Test, Sec511ReadWithoutStationarySolutionWarnsAndKeepsAZeroStart) {
    Sy1d m;
    m.ndim = "3";
    m.ind = "0";
    m.ic = "1";
    load(m);  // the file opens, so that it can be mended
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("NDIM должно быть не меньше 4 (NDIM = 3)"), std::string::npos);
    EXPECT_EQ(state(), (std::vector<double>{0, 0, 0}));

    Sy1d z;
    z.ind = "0";
    z.tau1 = z.tau2 = "3";
    z.ndim = "4";
    z.ic = "1,4";
    z.omeg = "-0.9";  // s = 0.1: the chain gives ZZZ < 0
    load(z);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text.rfind(" ZZZ < 0, STOP", 0), 0u);
    EXPECT_EQ(ui.messages[1].title, "   VELTA");

    Sy1d many;
    many.ndim = "14";
    many.ic = "1,2,3,4,5,6,7,8,9,10,11,12,13,14";
    const std::string err = errorOf([&] { load(many); });
    EXPECT_NE(err.find("не больше 12 (в списке 14)"), std::string::npos) << err;
}

// ---------------------------------------------------------------- model

TEST_F(Sec511Test, Sec511ModelOnAHandCheckedPoint) {
    load(Sy1d{});  // NDIM 5, a = 1, b = 0.5, c1 = 1.25, c2 = 1.75, TETA 0.5
    const Sec511::Rates r = Sec511::rates(mdl);
    EXPECT_EQ(r.a, 1);
    EXPECT_EQ(r.b, 0.5);
    EXPECT_EQ(r.c1, 1.25);
    EXPECT_EQ(r.c2, 1.75);
    const double x[] = {0, 1, 2, 3, 4, 1};
    for (int i = 1; i <= 5; ++i) mdl.XV(i) = x[i];
    Sec511::Vych_PCH(mdl, r);
    const double fv[] = {0, 2 / 2.0 + 0.5 * 2, 1 + 0.5 * 3, 2 + 0.5 * 4, 3, 4};
    const double dv[] = {0, -1.25, -1.75, -1.75, -1.75, -0.5};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(mdl.FV(i), fv[i]) << i;
        EXPECT_EQ(mdl.DV(i), dv[i]) << i;
    }
}

TEST_F(Sec511Test, Sec511StationSolvesTheChain) {
    for (const char* n : {"4", "5", "12"}) {
        SCOPED_TRACE(n);
        Sy1d m;
        m.ndim = n;
        m.gama = "3.5";
        m.ic = "1,4";
        load(m);
        Sec511::Station(mdl);
        const int nd = mdl.NDIM;
        std::vector<double> xs;
        for (int i = 1; i <= nd; ++i) xs.push_back(mdl.XS(i));
        const auto d = chainRate(xs, 2, 1, 3.5, 4, 8, 0.5, 0.25);
        for (int i = 0; i < nd; ++i) EXPECT_NEAR(d[i], 0, 1e-7) << i;
        EXPECT_GT(xs.back(), 0);
    }
    // NDIM = 4: the chain values from XS(4), with r = TAU1/TAU2, s = OMEG*TAU1/3 + 1.
    Sy1d m;
    m.ndim = "4";
    m.ic = "1,4";
    load(m);
    Sec511::Station(mdl);
    const double r = 0.5, s = 0.25 * 4 / 3 + 1;
    const auto& xs = mdl.XS;
    EXPECT_EQ(xs(3), 0.5 * 4 * xs(4) / 3);
    EXPECT_EQ(xs(2), (r + s) * xs(3));
    EXPECT_EQ(xs(1), (r + s) * xs(2) - r * xs(3));
}

// A Newton step that keeps its bracket and shrinks |g| is Newton's own step.
TEST(Sec511Newton, ConvergingNewtonIsKeptStepForStep) {
    auto fn = [](double x, double& g, double& gp) {
        g = (2 * x * x + 1) * x - 7;
        gp = x * x * 3 * 2 + 1;
    };
    const NewtonRoot r = safeNewton(fn, 3, 0, 7, 1e-4, 100);
    double x = 3, step = 1;
    int it = 0;
    while (std::fabs(step) >= 1e-4) {
        double g, gp;
        fn(x, g, gp);
        step = -g / gp;
        x += step;
        ++it;
    }
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.iterations, it);
    EXPECT_EQ(r.bisections, 0);
}

// Plain Newton on this function cycles between about 0.003 and 20 for ever; the
// safeguard finds the root that lies between.
TEST(Sec511Newton, CyclingNewtonFallsBackToBisection) {
    auto fn = [](double x, double& g, double& gp) {
        const double p = 1 / (1 + std::pow(x, 4)), o = 1 / (1 + 2 * std::pow(x, 3));
        g = x - 10 * (o + p);
        gp = 1 + 10 * (p * p * 4 * std::pow(x, 3) + o * o * 3 * 2 * std::pow(x, 2));
    };
    double x = 10;
    for (int k = 0; k < 200; ++k) {
        double g, gp;
        fn(x, g, gp);
        x -= g / gp;
    }
    double gPlain, gp;
    fn(x, gPlain, gp);
    EXPECT_GT(std::fabs(gPlain), 1);  // still far off after 200 plain steps

    const NewtonRoot r = safeNewton(fn, 10, 0, 20, 1e-4, 1000);
    double g;
    fn(r.x, g, gp);
    EXPECT_LT(std::fabs(g), 1e-6);
    EXPECT_NEAR(r.x, 1.76565, 1e-5);
    EXPECT_GT(r.bisections, 0);

    try {
        safeNewton(fn, 10, 0, 20, 1e-4, 3);
        FAIL() << "no cap";
    } catch (const VeltaError& e) {
        EXPECT_STREQ(e.what(), "Метод Ньютона для стационарного решения не сошёлся за 3 итераций");
    }
    auto nan = [](double, double& g2, double& d2) {
        g2 = std::nan("");
        d2 = 1;
    };
    EXPECT_THROW(safeNewton(nan, 1, 0, 2, 1e-4, 10), VeltaError);
}

// ---------------------------------------------------------------- phi functions, corrector

TEST(Sec511Phi, SeriesAndRecurrenceAgreeAcrossTheSwitch) {
    // phi_k(z) = sum over n of (-z)^n / (n! (n + k)), summed in long double.
    auto exact = [](double z, int k) {
        long double s = 0, term = 1;
        for (int n = 0; n < 40; ++n) {
            s += term / (n + k);
            term *= -static_cast<long double>(z) / (n + 1);
        }
        return static_cast<double>(s);
    };
    for (double z0 : {0.1, -0.1}) {
        double below[7], at[7], above[7];
        Sec511::phiFunctions(z0 * (1 - 1e-9), below);
        Sec511::phiFunctions(z0, at);
        Sec511::phiFunctions(z0 * (1 + 1e-9), above);
        for (int k = 1; k <= 6; ++k) {
            SCOPED_TRACE(k);
            EXPECT_NEAR(below[k], exact(z0, k), 5e-8);
            EXPECT_NEAR(above[k], exact(z0, k), 5e-8);
            EXPECT_NEAR(above[k], below[k], 5e-8);
        }
        // |z| = 0.1 itself takes the series, not the recurrence.
        EXPECT_EQ(at[1], 1 - z0 * (1.0 / 2 - z0 * (1.0 / 6 - z0 * (1.0 / 24 - z0 / 120))));
        EXPECT_NE(at[1], (1 - std::exp(-z0)) / z0);
    }
    double far[7];
    Sec511::phiFunctions(3, far);
    for (int k = 1; k <= 6; ++k) EXPECT_NEAR(far[k], exact(3, k), 1e-12) << k;
}

TEST(Sec511Corrector, ExactForConstantDAndLinearF) {
    // dx/dt = D x + F1 + (F2 - F1) t/h from x0: x(h) in closed form.
    const double h = 0.3, x0 = 1.7, f1 = 2, f2 = -1;
    for (double d : {-5.0, -0.3, 0.3, 2.0}) {  // 0.3 * 0.3 < 0.1: the series
        SCOPED_TRACE(d);
        const Sec511::Weights w = Sec511::corrector(h, d, d);
        const double got = w.E * (x0 + h * (w.A * f1 + w.B * f2));
        const double e = std::exp(d * h), k = (f2 - f1) / h;
        const double exact = e * x0 + (f1 + k / d) * (e - 1) / d - k * h / d;
        // Exact up to rounding with the recurrence, up to the series truncation below 0.1.
        EXPECT_NEAR(got, exact, std::fabs(d * h) > 0.1 ? 1e-12 : 5e-8);
    }
    // D varying over the step: the second-order expansion in q leaves an error of order q^3.
    const double d1 = -1, d2 = -1.2;
    const Sec511::Weights w = Sec511::corrector(h, d1, d2);
    const double got = w.E * (x0 + h * (w.A * f1 + w.B * f2));
    double x = x0;  // RK4 with tiny steps
    const int N = 20000;
    const double dt = h / N;
    auto rate = [&](double t, double v) { return (d1 + (d2 - d1) * t / h) * v + f1 + (f2 - f1) * t / h; };
    for (int i = 0; i < N; ++i) {
        const double t = i * dt;
        const double k1 = rate(t, x), k2 = rate(t + dt / 2, x + dt / 2 * k1),
                     k3 = rate(t + dt / 2, x + dt / 2 * k2), k4 = rate(t + dt, x + dt * k3);
        x += dt / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
    }
    EXPECT_NEAR(got, x, 1e-6);
}

// ---------------------------------------------------------------- integration

TEST_F(Sec511Test, Sec511IntegrSecondOrder) {
    Sy1d m;
    m.nsc = "30000";
    auto endState = [&](double h) {
        m.hhh = CStr(h);
        m.tmax = CStr(1 - h);  // NSTEP + 1 steps of h end at t = 1
        load(m);
        sec.Integr1(c);
        return state();
    };
    std::vector<double> ref = {1, 0, 0, 0, 0};
    const int N = 10000;
    for (int i = 0; i < N; ++i) {
        const double dt = 1.0 / N;
        auto f = [](const std::vector<double>& v) { return chainRate(v, 2, 1, 2, 4, 8, 0.5, 0.25); };
        auto add = [](std::vector<double> v, const std::vector<double>& d, double s) {
            for (std::size_t k = 0; k < v.size(); ++k) v[k] += s * d[k];
            return v;
        };
        const auto k1 = f(ref), k2 = f(add(ref, k1, dt / 2)), k3 = f(add(ref, k2, dt / 2)),
                   k4 = f(add(ref, k3, dt));
        for (std::size_t k = 0; k < ref.size(); ++k)
            ref[k] += dt / 6 * (k1[k] + 2 * k2[k] + 2 * k3[k] + k4[k]);
    }
    std::vector<double> err;
    for (double h : {1.0 / 32, 1.0 / 64, 1.0 / 128}) {
        const auto x = endState(h);
        double e = 0;
        for (std::size_t i = 0; i < x.size(); ++i) e = std::max(e, std::fabs(x[i] - ref[i]));
        err.push_back(e);
    }
    EXPECT_GT(err[0], 1e-7);
    for (std::size_t i = 0; i + 1 < err.size(); ++i) {
        EXPECT_GT(err[i] / err[i + 1], 3.5) << i;
        EXPECT_LT(err[i] / err[i + 1], 4.5) << i;
    }
}

TEST_F(Sec511Test, Sec511IntegrStaysOnTheStationarySolution) {
    Sy1d m;
    m.ndim = "8";
    m.ind = "0";
    m.xndim = "0";
    m.tmax = "5";
    m.nsc = "100";
    load(m);
    sec.Integr1(c);
    for (int i = 1; i <= 8; ++i) EXPECT_NEAR(mdl.X1(i), mdl.XS(i), 1e-6) << i;
}

TEST_F(Sec511Test, Sec511ResultsHeaderRowsAndListing) {
    Sy1d m;
    m.ndim = "4";
    m.ic = "1,4";
    m.hhh = "0.25";
    m.tmax = "0.625";  // NSTEP = CLng(2.5) = 2: rows of j = 1, 2, 3
    load(m);
    sec.Integr1(c);
    EXPECT_EQ(mdl.NSTEP, 2);
    const auto lines = results();
    const auto& xs = mdl.XS;
    auto e5 = [](double v) { return Format(v, "0.00000E+00"); };
    const std::vector<std::string> expect = {
        "",
        "NDIM = 4",
        "ALFA = 2.00000E+00",
        "BETA = 1.00000E+00",
        "GAMA = 2.00000E+00",
        "TAU1 = 4.00000E+00",
        "TAU2 = 8.00000E+00",
        "TETA = 5.00000E-01",
        "OMEG = 2.50000E-01",
        "TMAX = 6.25000E-01",
        "",
        "  Решение задачи Коши ",
        " No        t            X(01)         X(02)         X(03)         X(04)",
        "-----+-------------+-------------+-------------+-------------+-------------+",
        "000001   0.00000E+00   1.00000E+00   0.00000E+00   0.00000E+00   0.00000E+00   ",
        lines.at(15),
        lines.at(16),
        "",
        "Стационарное решение:",
        "    I    xS(I)       ",
        "  --+----+--------------",
        "0001   " + e5(xs(1)),
        "0002   " + e5(xs(2)),
        "0003   " + e5(xs(3)),
        "0004   " + e5(xs(4)),
        ""};
    EXPECT_EQ(lines, expect);
    EXPECT_EQ(lines[15].substr(0, 23), "000002   2.50000E-01   ");
    EXPECT_EQ(lines[16].size(), 23u + 14 * 4);
    EXPECT_EQ(mdl.NROW, 3);
    EXPECT_EQ(bytesOf(paths.userFile("Results.sy1")).substr(0, 12), "\r\nNDIM = 4\r\n");

    // NSS = 3 with NDIM = 8 lists 1, 4, 7 and then 8, which ends the file without an empty line.
    m.ndim = "8";
    m.nss = "3";
    m.nsc = "10";
    m.hhh = "0.01";
    m.tmax = "0.05";
    load(m);
    sec.Integr1(c);
    const auto l8 = results();
    ASSERT_GE(l8.size(), 4u);
    const std::vector<std::string> tail(l8.end() - 4, l8.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"0001   " + e5(mdl.XS(1)), "0004   " + e5(mdl.XS(4)),
                                              "0007   " + e5(mdl.XS(7)), "0008   " + e5(mdl.XS(8))}));
    EXPECT_EQ(l8.size(), 14u + 1 + 4 + 4);  // header, row of j = 1, four title lines, listing
}

TEST_F(Sec511Test, Sec511IntegrFramesBothPlotsWithLegendOffsetTwo) {
    Sy1d m;
    load(m);
    sec.Integr1(c);
    const Store& g = mdl;
    ASSERT_NE(surf.findText("Графики компонент вектора X(t)"), nullptr);
    const auto* comp = surf.findText("Компоненты");
    ASSERT_NE(comp, nullptr);
    EXPECT_EQ(comp->y1, g.TXTY + 12 * g.CHH);  // row v + 10 with v = 2
    EXPECT_EQ(g.SCRT, 0.05);
    EXPECT_FALSE(surf.of(test::DrawCall::Kind::Segment).empty());

    surf.forget();
    m.lgraph = "2";
    load(m);
    sec.Integr1(c);
    ASSERT_NE(surf.findText("Графики компонент вектора X в фазовой плоскости"), nullptr);
    const auto* nums = surf.findText("i1 = 1, i2 = 5");
    ASSERT_NE(nums, nullptr);
    EXPECT_EQ(nums->y1, g.TXTY + 14 * g.CHH);  // row v + 12
}

TEST_F(Sec511Test, Sec511IntegrPeriodAndSecondRun) {
    Sy1d m;
    m.tmax = "1";
    m.tmin = "0.5";
    load(m);
    sec.Integr1(c);
    const double p = mdl.PERIOD;
    EXPECT_GT(p, 0.5);
    EXPECT_LE(p, 1.01 + 1e-12);
    EXPECT_NEAR(p / 0.01, std::round(p / 0.01), 1e-9);
    const auto end = state();
    // TMIN >= TMAX: no step qualifies and PERIOD keeps its value; the run goes on from the end.
    mdl.TMIN = 5;
    sec.Integr1(c);
    EXPECT_EQ(mdl.PERIOD, p);
    const auto second = results().at(14);
    EXPECT_EQ(second.substr(23, 11), Format(end[0], "0.00000E+00"));
}

TEST_F(Sec511Test, Sec511IntegrRefusedLimitsLeaveResultsUntouched) {
    app.write("User/Results.sy1", "old results\r\n");
    struct Case {
        std::function<void(Sy1d&)> set;
        std::string named;
    };
    const std::vector<Case> cases = {
        {[](Sy1d& m) { m.hhh = "0"; }, "Шаг интегрирования HHH должен быть больше 0 (HHH = 0)"},
        {[](Sy1d& m) { m.hhh = "-0.01"; }, "HHH = -0.01"},
        {[](Sy1d& m) { m.nsc = "0"; }, "NSC = 0"},
        {[](Sy1d& m) { m.nss = "0"; }, "NSS = 0"},
        {[](Sy1d& m) {
             m.ndim = "3";
             m.ic = "1";
         },
         "NDIM должно быть не меньше 4 (NDIM = 3)"},
        {[](Sy1d& m) { m.tau1 = "0"; }, "TAU1 не должно быть равно 0"},
        {[](Sy1d& m) { m.tau2 = "0"; }, "TAU2 не должно быть равно 0"},
        {[](Sy1d& m) { m.teta = "0"; }, "TETA = 0"},
        {[](Sy1d& m) { m.beta = "0"; }, "BETA = 0"},
        {[](Sy1d& m) { m.tmax = "-1"; }, "TMAX = -1"},
        {[](Sy1d& m) {
             m.hhh = "1000";
             m.tmax = "1000";
         },
         "HHH слишком велик"},
        // The list is refused while the file is read, on its own line.
        {[](Sy1d& m) { m.ic = "1,6"; }, "строка 30: ожидалось IC(2) от 1 до NDIM = 5, прочитано «6»"},
        {[](Sy1d& m) { m.ic = "0"; }, "строка 30: ожидалось IC(1) от 1 до NDIM = 5, прочитано «0»"},
        {[](Sy1d& m) {
             m.ndim = "13";
             m.ic = "1,2,3,4,5,6,7,8,9,10,11,12,13";
         },
         "NCOMP = 13"},
        {[](Sy1d& m) {
             m.lgraph = "2";
             m.ic = "1";
         },
         "NCOMP = 1"},
        {[](Sy1d& m) {
             m.tau1 = m.tau2 = "3";
             m.ndim = "4";
             m.ic = "4";
             m.omeg = "-0.9";
         },
         " ZZZ < 0, STOP"},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.named);
        Sy1d m;
        cs.set(m);
        surf.forget();
        const std::string err = errorOf([&] {
            load(m);
            surf.forget();
            sec.Integr1(c);
        });
        EXPECT_NE(err.find(cs.named), std::string::npos) << err;
        EXPECT_EQ(bytesOf(paths.userFile("Results.sy1")), "old results\r\n");
        EXPECT_TRUE(surf.calls.empty());
    }
}

TEST_F(Sec511Test, Sec511IntegrNonFiniteNamesTheStepAndKeepsTheRows) {
    Sy1d m;
    m.gama = "0.5";
    m.x1 = "-1";  // the negative mass reaches X(NDIM): a fractional power of it is no number
    m.tmax = "20";
    load(m);
    const std::string err = errorOf([&] { sec.Integr1(c); });
    ASSERT_EQ(err.rfind("Счёт прерван: на шаге j = ", 0), 0u) << err;
    const int j = std::stoi(err.substr(err.find("j = ") + 4));
    EXPECT_EQ(static_cast<int>(results().size()), 14 + j);
    EXPECT_EQ(results().back().substr(0, 6), Format(j, "000000"));
}
