// Section 5.2.1: data file with its pairs, the NDIM arithmetic of the two chains, the
// right-hand sides, the stationary solution, the step weights, the integrator, the results
// file and refused inputs.
#include "synthesis/section521/sec521.h"

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

// Field texts of one ".sy2d" file, in the order of its blocks.
struct Sy2d {
    std::string ndim12 = "3,4", alfa = "2", beta12 = "1,0.5", gama12 = "2,3", tau12 = "4,3", teta = "0.5";
    std::string ind = "1", xndim = "0";
    std::string tmax = "0.05", hhh = "0.01", lscreen = "1", tmin = "0", lgraph = "1";
    std::string ic = "1,6", nsc = "1";
    std::string dlx = "0", drx = "1", dlw = "0", drw = "1", sclt = "0";

    std::string text() const {
        std::vector<std::string> L;
        auto h = [&](int k) {
            L.push_back(std::to_string(k) + ". Блок номер " + std::to_string(k));
            L.push_back("----------------");
        };
        h(1);
        L.insert(L.end(), {"NDIM1,NDIM2:", ndim12, "ALFA = " + alfa, "BETA1,BETA2:", beta12,
                           "GAMA1,GAMA2:", gama12, "Tau1,Tau2:", tau12, "TETA = " + teta});
        h(2);
        L.insert(L.end(), {"Ind = " + ind, "X_Ndim = " + xndim});
        h(3);
        L.insert(L.end(), {"TMAX = " + tmax, "HHH = " + hhh});
        h(4);
        L.insert(L.end(), {"Lscreen = " + lscreen, "TMIN = " + tmin});
        h(5);
        L.push_back("Lgraph = " + lgraph);
        h(6);
        L.insert(L.end(), {"IC(I):", ic});
        h(7);
        L.push_back("NSC = " + nsc);
        h(8);
        L.insert(L.end(), {"Dlx = " + dlx, "Drx = " + drx, "Dlw = " + dlw, "Drw = " + drw, "Sclt = " + sclt});
        std::string s;
        for (const auto& l : L) s += utf8ToCp1251(l) + "\r\n";
        return s;
    }
};

class Sec521Test : public test::CoreFixture<Sec521> {
protected:
    Sec521Test() : CoreFixture("sy2d", "Results.sy2") {}
};

// dX/dt of the two chains, written out independently of the section.
struct Chains {
    int n1, n2;
    double alfa, b1, b2, g1, g2, tau1, tau2, teta;
    std::vector<double> rate(const std::vector<double>& x) const {
        const int n = n1 + n2 - 1;
        const double k1 = (n1 - 1) / tau1, k2 = (n2 - 1) / tau2, xl = x[n - 1];
        std::vector<double> d(x.size());
        for (int i = 0; i < n1 - 1; ++i)  // chain 1: components 1..n1-1
            d[i] = (i == 0 ? alfa / (1 + b1 * std::pow(xl, g1)) : k1 * x[i - 1]) - k1 * x[i];
        for (int i = n1 - 1; i < n - 1; ++i)  // chain 2: components n1..n-1
            d[i] = (i == n1 - 1 ? alfa / (1 + b2 * std::pow(xl, g2)) : k2 * x[i - 1]) - k2 * x[i];
        d[n - 1] = k1 * x[n1 - 2] + k2 * x[n - 2] - teta * xl;
        return d;
    }
};
const Chains kDefault{3, 4, 2, 1, 0.5, 2, 3, 4, 3, 0.5};

}  // namespace

// ---------------------------------------------------------------- reading and writing

TEST_F(Sec521Test, Sec521ReadRoundTripOfShippedSamples) {
    for (const char* name : {"Syn2_Oscill.sy2d", "Syn2_Phase.sy2d"}) {
        SCOPED_TRACE(name);
        mdl.reset();
        app.write(std::string("User/") + name, bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/" + name));
        sec.dataPath = paths.userFile(name);
        sec.InputPar(c);
        EXPECT_EQ(mdl.NDIM, 11);
        const auto start = state();
        Sec521::Table_File(mdl, paths.userFile("copy.sy2d"), Sec521::fieldsFromStore(mdl));
        EXPECT_EQ(bytesOf(paths.userFile("copy.sy2d")), bytesOf(paths.userFile(name)));
        mdl.reset();
        sec.dataPath = paths.userFile("copy.sy2d");
        sec.InputPar(c);
        EXPECT_EQ(state(), start);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Sec521Test, Sec521ReadPairsAndEchoThem) {
    Sy2d m;
    m.tau12 = "4.0, 6";
    load(m);
    const auto chk = readAllLines(paths.userFile("Input.chk"));
    const std::vector<std::string> block1 = {
        "1. Блок номер 1",     "----------------",  "NDIM1,NDIM2 = 3,4", "ALFA = 2",
        "BETA1,BETA2 = 1,0.5", "GAMA1,GAMA2 = 2,3", "TAU1,TAU2   = 4,6", "TETA = 0.5",
        "2. Блок номер 2",     "----------------",  "IND = 1",           "X_Ndim = 0"};
    ASSERT_GE(chk.size(), 15u);
    EXPECT_EQ(std::vector<std::string>(chk.begin() + 3, chk.begin() + 15), block1);
    EXPECT_EQ(chk.back(), "SCLT = 0");
    EXPECT_EQ(Sec521::fieldsFromStore(mdl).tau12, "4,6");
    EXPECT_EQ(Sec521::fieldsFromStore(mdl).ndim12, "3,4");
}

// NDIM = NDIM1 + NDIM2 - 1: chain 1 is 1..NDIM1-1, chain 2 NDIM1..NDIM-1, then the common one.
TEST_F(Sec521Test, Sec521NdimArithmeticAndRightHandSides) {
    Sy2d m;
    m.xndim = "5";  // IND = 1: the perturbation is not applied
    load(m);
    EXPECT_EQ(mdl.NDIM, 6);
    EXPECT_EQ(mdl.X1.upper(), 6);
    EXPECT_EQ(mdl.AK.upper(), 6);
    EXPECT_EQ(state(), std::vector<double>(6, 0.0));
    Sec521::rates(mdl);
    const double ak[] = {0, 0.5, 0.5, 1, 1, 1, 0.5};  // 2/4, 3/3, TETA
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(mdl.AK(i), ak[i]) << i;
    const double x[] = {0, 1, 2, 3, 4, 5, 2};
    for (int i = 1; i <= 6; ++i) mdl.XV(i) = x[i];
    Sec521::Vych_PCH(mdl);
    // x = 2: ALFA/(1 + 1*4) and ALFA/(1 + 0.5*8)
    const double fv[] = {0, 0.4, 0.5 * 1, 0.4, 1 * 3, 1 * 4, 1 * 5 + 0.5 * 2};
    for (int i = 1; i <= 6; ++i) EXPECT_DOUBLE_EQ(mdl.FV(i), fv[i]) << i;

    // One compartment per chain: FV(3) = AK(2) X(2) + AK(1) X(1).
    m.ndim12 = "2,2";
    m.tau12 = "4,8";
    m.ic = "1,3";
    load(m);
    ASSERT_EQ(mdl.NDIM, 3);
    Sec521::rates(mdl);
    for (int i = 1; i <= 3; ++i) mdl.XV(i) = i;
    Sec521::Vych_PCH(mdl);
    EXPECT_EQ(mdl.FV(2), 2 / (1 + 0.5 * 27));
    EXPECT_EQ(mdl.FV(3), 0.125 * 2 + 0.25 * 1);
}

TEST_F(Sec521Test, Sec521StationSolvesTheChains) {
    Sy2d m;
    m.ind = "0";
    m.xndim = "0.25";
    load(m);
    const auto& g = mdl;
    std::vector<double> xs = {g.ZST1, g.ZST1, g.ZST2, g.ZST2, g.ZST2, g.STAT};
    // STAT is the root to the accuracy of Newton; the chain values come from the point of
    // the last correction, less than 1E-4 away.
    const double p0 = 1 / (1 + std::pow(g.STAT, 2)), o0 = 1 / (1 + 0.5 * std::pow(g.STAT, 3));
    EXPECT_NEAR(0.5 * g.STAT - 2 * (p0 + o0), 0, 1e-9);
    for (double d : kDefault.rate(xs)) EXPECT_NEAR(d, 0, 1e-4);
    auto start = state();
    xs.back() += 0.25;
    EXPECT_EQ(start, xs);

    // Equal chains give equal chain values.
    m.ndim12 = "4,4";
    m.beta12 = "1,1";
    m.gama12 = "2,2";
    m.tau12 = "5,5";
    m.ic = "1,7";
    load(m);
    EXPECT_EQ(g.ZST1, g.ZST2);

    // Ordinary data: the numbers are those of plain Newton from ALFA/TETA, step by step,
    // although its first step grows the residual.
    m.alfa = "1";
    m.teta = "1";
    m.beta12 = "10,10";
    m.gama12 = "12,12";
    load(m);
    double x = 1, stat = 0, pp = 0, oo = 0;
    for (int it = 0; it < 100; ++it) {
        pp = 1 / (1 + 10 * std::pow(x, 12));
        oo = 1 / (1 + 10 * std::pow(x, 12));
        const double gx = x - (oo + pp);
        const double gd = 1 + (pp * pp * 12 * 10 * std::pow(x, 11) + oo * oo * 12 * 10 * std::pow(x, 11));
        stat = x - gx / gd;
        if (std::fabs(gx / gd) < 1e-4) break;
        x = stat;
    }
    EXPECT_EQ(g.STAT, stat);
    EXPECT_EQ(g.ZST1, 1 * 5 / 3.0 * pp);
    EXPECT_EQ(g.ZST2, 1 * 5 / 3.0 * oo);

    // Newton on its own cycles between about 0.003 and 20 here; the safeguarded one finds
    // the root between.
    m.alfa = "10";
    m.teta = "1";
    m.beta12 = "1,2";
    m.gama12 = "4,3";
    load(m);
    EXPECT_NEAR(g.STAT, 1.76565, 1e-5);
    const double p = 1 / (1 + std::pow(g.STAT, 4)), o = 1 / (1 + 2 * std::pow(g.STAT, 3));
    EXPECT_NEAR(g.STAT - 10 * (p + o), 0, 1e-6);
    EXPECT_NEAR(g.ZST1, 10 * 5 / 3.0 * p, 1e-4);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Sec521Test, Sec521WeightsSolveTheLinearStepExactly) {
    Sy2d m;
    m.hhh = "0.4";
    m.teta = "3";
    load(m);
    Sec521::rates(mdl);
    Sec521::weights(mdl);
    // dx/dt = F1 + (F2 - F1) t/h - K x from x0, in closed form at t = h.
    const double h = 0.4, x0 = 1.3, f1 = 0.7, f2 = 2.1;
    for (int i : {1, 3, 6}) {
        const auto& g = mdl;
        const double K = g.AK(i), e = std::exp(-K * h), s = (f2 - f1) / h;
        const double exact = x0 * e + (f1 - s / K) * (1 - e) / K + s * h / K;
        EXPECT_NEAR(g.EHIm(i) * (x0 + g.EC1m(i) * f1 + g.EC2m(i) * f2), exact, 1e-13) << i;
    }
}

// ---------------------------------------------------------------- integration

TEST_F(Sec521Test, Sec521IntegrSecondOrder) {
    Sy2d m;
    m.ind = "0";
    m.xndim = "1";
    m.nsc = "30000";
    load(m);
    std::vector<double> ref = state();
    const int N = 10000;
    const double dt = 1.0 / N;
    auto add = [](std::vector<double> v, const std::vector<double>& d, double s) {
        for (std::size_t k = 0; k < v.size(); ++k) v[k] += s * d[k];
        return v;
    };
    for (int i = 0; i < N; ++i) {
        const auto k1 = kDefault.rate(ref), k2 = kDefault.rate(add(ref, k1, dt / 2)),
                   k3 = kDefault.rate(add(ref, k2, dt / 2)), k4 = kDefault.rate(add(ref, k3, dt));
        for (std::size_t k = 0; k < ref.size(); ++k)
            ref[k] += dt / 6 * (k1[k] + 2 * k2[k] + 2 * k3[k] + k4[k]);
    }
    std::vector<double> err;
    for (double h : {1.0 / 32, 1.0 / 64, 1.0 / 128}) {
        m.hhh = CStr(h);
        m.tmax = CStr(1 - h);  // NSTEP + 1 steps of h end at t = 1
        load(m);
        sec.Integr1(c);
        const auto x = state();
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

TEST_F(Sec521Test, Sec521ResultsHeaderAndRows) {
    Sy2d m;
    m.ind = "0";
    m.hhh = "0.25";
    m.tmax = "0.75";  // NSTEP = Int(3) = 3: rows of j = 1..4
    load(m);
    sec.Integr1(c);
    const auto& g = mdl;
    auto e5 = [](double v) { return Format(v, "0.00000E+00"); };
    const auto lines = results();
    const std::vector<std::string> header = {
        "",
        "NDIM1, NDIM2 = 3, 4",
        "ALFA         = 2.00000E+00",
        "BETA1, BETA2 = 1.00000E+00, 5.00000E-01",
        "GAMA1, GAMA2 = 2.00000E+00, 3.00000E+00",
        "TAU1 , TAU2  = 4.00000E+00, 3.00000E+00",
        "TETA         = 5.00000E-01",
        "TMAX         = 7.50000E-01",
        "",
        "Стационарное решение:",
        "x(i) = " + e5(g.ZST1) + ", i = 1,2,...,2",
        "x(i) = " + e5(g.ZST2) + ", i = 3,...,5",
        "x(6) = " + e5(g.STAT),
        "",
        "                      Таблица",
        "        зависимостей компонент вектора X от времени t",
        "",
        " No        t            X(001)        X(002)        X(003)        X(004)        X(005)"
        "        X(006)",
        "-----+-------------+-------------+-------------+-------------+-------------+"
        "-------------+-------------+"};
    ASSERT_EQ(lines.size(), 19u + 4);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 19), header);
    EXPECT_EQ(lines[19], "00001   0.00000E+00   " + e5(g.ZST1) + "   " + e5(g.ZST1) + "   " + e5(g.ZST2) +
                             "   " + e5(g.ZST2) + "   " + e5(g.ZST2) + "   " + e5(g.STAT) + "   ");
    EXPECT_EQ(lines[22].substr(0, 22), "00004   7.50000E-01   ");
    EXPECT_EQ(g.NROW, 4);

    // Int, not rounding: 99.9 steps give NSTEP = 99.
    m.hhh = "0.01";
    m.tmax = "0.999";
    m.nsc = "10";
    load(m);
    sec.Integr1(c);
    EXPECT_EQ(g.NSTEP, 99);
    EXPECT_EQ(results().back().substr(0, 5), "00100");
}

// The header and the legend show the stationary solution of the run's own parameters, also
// after a change of ALFA without reading the file again and for a zero start.
TEST_F(Sec521Test, Sec521IntegrShowsTheStationarySolutionOfItsParameters) {
    Sy2d m;
    load(m);  // IND = 1: no stationary solution at loading
    EXPECT_EQ(mdl.STAT, 0);
    sec.Integr1(c);
    const double s2 = mdl.STAT;
    EXPECT_GT(s2, 0);
    mdl.ALFA = 3;
    sec.Integr1(c);
    EXPECT_GT(mdl.STAT, s2);
    EXPECT_EQ(results()[12], "x(6) = " + Format(mdl.STAT, "0.00000E+00"));
}

TEST_F(Sec521Test, Sec521IntegrFramesBothPlotsWithLegendOffsetFour) {
    Sy2d m;
    load(m);
    sec.Integr1(c);
    const Store& g = mdl;
    EXPECT_EQ(g.SCRX, 2 * 1.0);
    EXPECT_EQ(g.SCRW, 2 * 1.0);
    ASSERT_NE(surf.findText("Графики компонент вектора X(t)"), nullptr);
    const auto* comp = surf.findText("Компоненты");
    ASSERT_NE(comp, nullptr);
    EXPECT_EQ(comp->y1, g.TXTY + 14 * g.CHH);  // row v + 10 with v = 4

    surf.forget();
    m.lgraph = "2";
    load(m);
    sec.Integr1(c);
    ASSERT_NE(surf.findText("Графики компонент вектора X в фазовой плоскости"), nullptr);
    const auto* nums = surf.findText("i1 = 1, i2 = 6");
    ASSERT_NE(nums, nullptr);
    EXPECT_EQ(nums->y1, g.TXTY + 15 * g.CHH);  // row v + 11 in this section
}

TEST_F(Sec521Test, Sec521IntegrRefusedLimitsLeaveResultsUntouched) {
    app.write("User/Results.sy2", "old results\r\n");
    struct Case {
        std::function<void(Sy2d&)> set;
        std::string named;
    };
    const std::vector<Case> cases = {
        {[](Sy2d& m) { m.hhh = "0"; }, "Шаг интегрирования HHH должен быть больше 0 (HHH = 0)"},
        {[](Sy2d& m) { m.hhh = "-1"; }, "HHH = -1"},
        {[](Sy2d& m) { m.nsc = "0"; }, "NSC = 0"},
        {[](Sy2d& m) {
             m.ndim12 = "1,4";
             m.ic = "1";
         },
         "NDIM1 = 1"},
        {[](Sy2d& m) {
             m.ndim12 = "3,1";
             m.ic = "1";
         },
         "NDIM2 = 1"},
        {[](Sy2d& m) { m.tau12 = "0,6"; }, "TAU1 = 0"},
        {[](Sy2d& m) { m.tau12 = "4,-6"; }, "TAU2 = -6"},
        {[](Sy2d& m) { m.teta = "0"; }, "TETA = 0"},
        {[](Sy2d& m) { m.alfa = "-2"; }, "ALFA = -2"},
        {[](Sy2d& m) { m.beta12 = "1,-1"; }, "BETA2 = -1"},
        {[](Sy2d& m) { m.tmax = "-1"; }, "TMAX = -1"},
        {[](Sy2d& m) {
             m.hhh = "2000";
             m.tmax = "2000";
         },
         "HHH слишком велик"},
        // The list is refused while the file is read, on its own line.
        {[](Sy2d& m) { m.ic = "1,7"; }, "строка 31: ожидалось IC(2) от 1 до NDIM = 6, прочитано «7»"},
        {[](Sy2d& m) {
             m.ndim12 = "8,7";
             m.ic = "1,2,3,4,5,6,7,8,9,10,11,12,13";
         },
         "NCOMP = 13"},
        {[](Sy2d& m) {
             m.lgraph = "2";
             m.ic = "6";
         },
         "NCOMP = 1"},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.named);
        Sy2d m;
        cs.set(m);
        surf.forget();
        const std::string err = errorOf([&] {
            load(m);
            surf.forget();
            sec.Integr1(c);
        });
        EXPECT_NE(err.find(cs.named), std::string::npos) << err;
        EXPECT_EQ(bytesOf(paths.userFile("Results.sy2")), "old results\r\n");
        EXPECT_TRUE(surf.calls.empty());
    }
}
