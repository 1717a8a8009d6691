// The delay-window scheme on models with known solutions: convergence order, portions,
// the placement of delay nodes, the remainder, refused inputs and failed runs.
#include "models/delay/delayscheme.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "support/files.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

using namespace velta;
using velta::test::bytesOf;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

// dZ/dt = -THETA*Z + sum_j A(j)*Z(t - TAU(j)) with the history e^(LAMBDA*t): then
// Z = e^(LAMBDA*t) for all t when LAMBDA = -THETA + sum_j A(j)*e^(-LAMBDA*TAU(j)).
// The last coefficient is solved from that condition.
class LinearModel : public DelayModel {
public:
    LinearModel(std::vector<double> tau, double theta, double lambda, std::vector<double> a)
        : tau_(std::move(tau)), theta_(theta), lambda_(lambda), a_(std::move(a)) {
        const std::size_t m = tau_.size();
        double s = lambda_ + theta_;
        for (std::size_t j = 0; j + 1 < m; ++j) s -= a_[j] * std::exp(-lambda_ * tau_[j]);
        a_.resize(m);
        a_[m - 1] = s * std::exp(lambda_ * tau_[m - 1]);
    }
    int components(const Store&) const override { return 1; }
    int delays(const Store&) const override { return static_cast<int>(tau_.size()); }
    double decay(const Store&, int) const override { return theta_; }
    void Nach_Rasp(Store& g) override {
        ++initials;
        for (int p = 1; p <= g.NDEL + 1; ++p)
            g.ZTAB(p, 1) = std::exp(lambda_ * (-g.TAU(delays(g)) + (p - 1) * g.HHH));
    }
    void Vych_PCH(Store& g) override {
        ++calls;
        if (failAfter > 0 && calls > failAfter) throw VeltaError("стоп");
        double f = 0;
        for (int j = 1; j <= delays(g); ++j) f += a_[static_cast<std::size_t>(j - 1)] * g.ZTAU(j, 1);
        g.FZ(1) = nanAfter > 0 && calls > nanAfter ? std::nan("") : f;
    }
    std::string resultsName() const override { return "Results.tst"; }
    void header(const Store&, TextWriter& out) override { out.line("заголовок"); }
    void DrawMesh1(Ctx& c) override {
        MeshMaskG(c, "Z", "Z", "u", c.store.SCLT, c.store.SCRT, c.store.SCLX, c.store.SCRX);
    }
    double exact(double t) const { return std::exp(lambda_ * t); }

    int initials = 0;
    long calls = 0;
    long failAfter = 0, nanAfter = 0;

private:
    std::vector<double> tau_;
    double theta_, lambda_;
    std::vector<double> a_;
};

// A nonlinear pair with three delays (a repressor loop).
class LoopModel : public DelayModel {
public:
    int components(const Store&) const override { return 2; }
    int delays(const Store&) const override { return 3; }
    double decay(const Store&, int k) const override { return k == 1 ? 1.0 : 0.7; }
    void Nach_Rasp(Store& g) override {
        for (int p = 1; p <= g.NDEL + 1; ++p) {
            g.ZTAB(p, 1) = 0.5 + 0.01 * p / g.NDEL;
            g.ZTAB(p, 2) = 0.2;
        }
    }
    void Vych_PCH(Store& g) override {
        g.FZ(1) = 4 / (1 + std::pow(g.ZTAU(3, 2), 4) + 0.5 * g.ZTAU(1, 1) * g.ZTAU(1, 1));
        g.FZ(2) = 3 / (1 + std::pow(g.ZTAU(2, 1), 3));
    }
    std::string resultsName() const override { return "Results.tst"; }
    void header(const Store&, TextWriter& out) override { out.line("петля"); }
    void DrawMesh1(Ctx& c) override {
        MeshMaskG(c, "Z", "Z", "u", c.store.SCLT, c.store.SCRT, c.store.SCLX, c.store.SCRX);
    }
};

class DelaySchemeTest : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        mdl.reset();  // SetUp() runs again between the cases of a test
        setColours(mdl, true);
        allocDelayTables(mdl, 1000, 5, 20);
        auto& g = mdl;
        g.NSC = 1;
        g.NCOMP = 1;
        g.IC(1) = 1;
        g.ALFA = 1;
        g.DLX = -1;
        g.DRX = 3;
        g.L = 0;
    }
    void setup(const std::vector<double>& tau, int ndel, double tmax) {
        auto& g = mdl;
        g.LTAU = static_cast<i16>(tau.size());
        for (std::size_t j = 0; j < tau.size(); ++j) g.TAU(static_cast<int>(j) + 1) = tau[j];
        g.NDEL = static_cast<i16>(ndel);
        g.NP1 = static_cast<i16>(ndel + 1);
        g.NP2 = static_cast<i16>(2 * ndel);
        g.TMAX = tmax;
    }
    // One run and the shell's counter after it.
    void run(DelayModel& m) {
        DelayIntegr(c, m);
        mdl.L = static_cast<i16>(mdl.L + 1);
    }
    std::vector<std::string> rows() const {
        std::vector<std::string> r;
        for (const auto& l : readAllLines(paths.userFile("Results.tst")))
            if (!l.empty() && std::isdigit(static_cast<unsigned char>(l[0]))) r.push_back(l);
        return r;
    }
    // Error at t = 3 of the linear model for a step count per largest delay.
    double linearError(int ndel, double theta, double lambda, const std::vector<double>& tau,
                       const std::vector<double>& a) {
        mdl.L = 0;
        setup(tau, ndel, 3.0);
        LinearModel m(tau, theta, lambda, a);
        run(m);
        return std::fabs(mdl.ZTAB(ndel + 1, 1) - m.exact(3.0));
    }
    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
};

}  // namespace

// ---------------------------------------------------------------- convergence

TEST_F(DelaySchemeTest, ConvergesAtSecondOrderOnAnExponentialSolution) {
    // The shorter delay sits halfway between two nodes for every NDEL used (0.65*NDEL = k + 1/2),
    // so tripling NDEL must divide the error by 9.
    struct Case {
        double theta, lambda;
    };
    for (const Case k : {Case{1.0, -0.5}, Case{2.5, 0.2}}) {
        std::vector<double> err;
        for (int ndel : {10, 30, 90, 270}) {
            err.push_back(linearError(ndel, k.theta, k.lambda, {0.35, 1.0}, {0.8}));
            EXPECT_EQ(mdl.NPER, 3);
            EXPECT_NEAR(mdl.RTAU(1), 0.5, 1e-9) << "the shorter delay is interpolated";
        }
        for (std::size_t i = 0; i + 1 < err.size(); ++i) {
            const double ratio = err[i] / err[i + 1];
            EXPECT_GT(ratio, 8.0) << "theta " << k.theta << ", step " << i;
            EXPECT_LT(ratio, 10.0) << "theta " << k.theta << ", step " << i;
        }
        EXPECT_LT(err.back(), 1e-5);
    }
}

TEST_F(DelaySchemeTest, ConvergesWithThreeDelaysAndOneOnANode) {
    std::vector<double> err;
    for (int ndel : {10, 30, 90, 270}) {
        err.push_back(linearError(ndel, 1.3, -0.3, {0.35, 0.5, 1.0}, {0.4, -0.6}));
        EXPECT_EQ(mdl.KTAU(2), ndel / 2 + 1);
        EXPECT_EQ(mdl.RTAU(2), 0.0);
        EXPECT_NEAR(mdl.RTAU(1), 0.5, 1e-9);
    }
    for (std::size_t i = 0; i + 1 < err.size(); ++i) {
        EXPECT_GT(err[i] / err[i + 1], 8.0);
        EXPECT_LT(err[i] / err[i + 1], 10.0);
    }
}

TEST_F(DelaySchemeTest, WeightsOfUnitDecayAreTheClassicOnesAndExactForConstantF) {
    for (double h : {0.001, 0.01, 0.37}) {
        const double eh = std::exp(h), eq = (eh - 1) / h;
        const StepWeights w = stepWeights(1.0, h);
        EXPECT_EQ(w.c0, 1 / eh);
        EXPECT_EQ(w.c1, eq - 1);
        EXPECT_EQ(w.c2, eh - eq);
        // dZ/dt = F - theta*Z with constant F: Z(h) = F/theta + (Z0 - F/theta)*e^(-theta*h).
        for (double theta : {0.5, 1.0, -0.3, 4.0}) {
            const StepWeights v = stepWeights(theta, h);
            const double F = 2.0, z0 = 0.3;
            const double exact = F / theta + (z0 - F / theta) * std::exp(-theta * h);
            EXPECT_NEAR(v.c0 * (v.c1 * F + z0 + v.c2 * F), exact, 1e-12 * (1 + std::fabs(exact)));
        }
    }
}

// ---------------------------------------------------------------- portions

TEST_F(DelaySchemeTest, ThreePortionsEqualOneRunOfThreeTimesTheWindows) {
    auto& g = mdl;
    g.NCOMP = 2;
    g.IC(2) = 2;
    g.NSC = 4;  // NP1 = 21 is no multiple of 4: the remainder lists no row
    LoopModel m;

    setup({0.3, 0.65, 1.0}, 20, 6.0);
    run(m);
    const std::vector<std::string> one = rows();
    std::vector<double> windowOne;
    for (int p = 1; p <= 21; ++p)
        for (int k = 1; k <= 2; ++k) windowOne.push_back(g.ZTAB(p, k));

    SetUp();
    g.NCOMP = 2;
    g.IC(2) = 2;
    g.NSC = 4;
    setup({0.3, 0.65, 1.0}, 20, 2.0);
    std::vector<std::string> three;
    for (int portion = 0; portion < 3; ++portion) {
        run(m);
        const auto r = rows();
        EXPECT_EQ(r.size(), one.size() / 3) << "portion " << portion;
        EXPECT_EQ(r.front().substr(8, 11), "0.00000E+00") << "time restarts at every portion";
        three.insert(three.end(), r.begin(), r.end());
    }
    EXPECT_EQ(g.L, 3);
    ASSERT_EQ(three.size(), one.size());
    // Row numbers and values equal; the time of a portion restarts at 0.
    for (std::size_t i = 0; i < one.size(); ++i) {
        EXPECT_EQ(three[i].substr(0, 5), one[i].substr(0, 5)) << i;
        EXPECT_EQ(three[i].substr(22), one[i].substr(22)) << i;
    }
    std::size_t i = 0;
    for (int p = 1; p <= 21; ++p)
        for (int k = 1; k <= 2; ++k) EXPECT_EQ(g.ZTAB(p, k), windowOne[i++]) << p << "," << k;
}

TEST_F(DelaySchemeTest, FirstPortionFixesStepAndLaterPortionsReuseIt) {
    auto& g = mdl;
    setup({0.4, 1.0}, 10, 0.25);  // TMAX below the window: raised to it, one window
    LinearModel m({0.4, 1.0}, 1.0, -0.2, {0.5});
    run(m);
    EXPECT_EQ(g.TMAX, 1.0);
    EXPECT_EQ(g.NPER, 1);
    EXPECT_EQ(g.HHH, 0.1);
    EXPECT_EQ(m.initials, 1);
    EXPECT_EQ(g.SCRT, 0.25) << "the plot keeps the entered portion length";
    // NREM = 0: one further node is computed and plotted but the window does not move.
    EXPECT_NEAR(g.ZTAB(11, 1), m.exact(1.0), 1e-3);
    run(m);
    EXPECT_EQ(m.initials, 1) << "no new initial function on a later portion";
    EXPECT_NEAR(g.ZTAB(11, 1), m.exact(2.0), 2e-3);
}

// ---------------------------------------------------------------- delay nodes

TEST(DelayNode, DelayOnANodeGivesThatNodeWhereThePlainTestFails) {
    // PTAU = 4, TAU = 0.3, 0.55, 1, NDEL = 400: R = 2.8 and 1.8 lie on nodes 281 and 181.
    const double t1 = 4 * 0.3, t2 = 4 * 0.55, tm = 4 * 1.0, h = tm / 400;
    auto plain = [&](double R) {
        int found = 0;
        for (int p = 1; p <= 401; ++p) {
            const double tp = (p - 1) * h;
            if (tp + h > R && R >= tp) found = p;
        }
        return found;
    };
    EXPECT_EQ(plain(tm - t1), 0) << "the rounding fault this guards against";
    double r = -1;
    EXPECT_EQ(delayNode(tm - t1, h, 401, r), 281);
    EXPECT_EQ(r, 0.0);
    EXPECT_EQ(delayNode(tm - t2, h, 401, r), 181);
    EXPECT_EQ(r, 0.0);
}

TEST(DelayNode, AwayFromTiesItIsThePlainTestAndEdgesHold) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int i = 0; i < 2000; ++i) {
        const int ndel = 1 + static_cast<int>(u(gen) * 499);
        const double h = (0.1 + 3 * u(gen)) / ndel;
        const double R = u(gen) * (ndel - 1) * h;
        int found = 0;
        double rf = 0;
        for (int p = 1; p <= ndel + 1; ++p) {
            const double tp = (p - 1) * h;
            if (tp + h > R && R >= tp) {
                found = p;
                rf = (R - tp) / h;
            }
        }
        double r = -1;
        const int k = delayNode(R, h, ndel + 1, r);
        if (std::fabs(R / h - std::nearbyint(R / h)) > 1e-12) {
            EXPECT_EQ(k, found) << R << " " << h;
            EXPECT_EQ(r, rf);
        } else {
            EXPECT_EQ(r, 0.0);
        }
        EXPECT_NEAR((k - 1 + r) * h, R, 1e-12 * (1 + R));
    }
    double r = -1;
    EXPECT_EQ(delayNode(0.0, 0.01, 11, r), 1) << "equal delays: R = 0";
    EXPECT_EQ(r, 0.0);
    EXPECT_EQ(delayNode(3 * 0.1, 0.1, 11, r), 4) << "R = 3h exactly";
    EXPECT_EQ(r, 0.0);
    EXPECT_EQ(delayNode(5.0, 0.1, 11, r), 0) << "outside the window";
}

TEST_F(DelaySchemeTest, EqualDelaysAndAShortestDelayOfOneStep) {
    auto& g = mdl;
    // TAU(1) = TAU(2) = TAU(3): every delay reads node d + 1.
    setup({1.0, 1.0, 1.0}, 10, 2.0);
    LinearModel eq({1.0, 1.0, 1.0}, 1.0, -0.4, {0.3, 0.2});
    run(eq);
    for (int j = 1; j <= 2; ++j) {
        EXPECT_EQ(g.KTAU(j), 1);
        EXPECT_EQ(g.RTAU(j), 0.0);
    }
    EXPECT_NEAR(g.ZTAB(11, 1), eq.exact(2.0), 1e-3);
    // TAU(1) = h exactly: node NDEL, read as the node before the new one.
    SetUp();
    setup({0.1, 1.0}, 10, 1.0);
    LinearModel step({0.1, 1.0}, 1.0, -0.4, {0.3});
    run(step);
    EXPECT_EQ(g.KTAU(1), 10);
    EXPECT_EQ(g.RTAU(1), 0.0);
    EXPECT_NEAR(g.ZTAB(11, 1), step.exact(1.0), 1e-3);
}

TEST_F(DelaySchemeTest, RemainderRowsAndAWindowTheRoundingWouldHaveLost) {
    auto& g = mdl;
    g.NSC = 3;
    // TMAX = 2.35 with the window 1: NPER = 2, NREM = Int(0.35/0.05) = 6 or 7.
    setup({0.45, 1.0}, 20, 2.35);
    LinearModel m({0.45, 1.0}, 1.0, -0.3, {0.2});
    run(m);
    const double rem = Int((2.35 - 2 * 1.0) / 0.05);
    const auto r = rows();
    // Window rows: p = 1, 3, 6, ..., 21 (8 rows) twice; remainder rows c = 21, 24, 27 within 21..21+NREM.
    std::size_t remRows = 0;
    for (int cc = 21; cc <= 21 + static_cast<int>(rem); ++cc) remRows += cc % 3 == 0;
    ASSERT_EQ(r.size(), 2 * 8 + remRows);
    EXPECT_EQ(r[16].substr(0, 5), "00021");
    // Row c of the remainder: time T0 + (c - NDEL)*h with the value of node c + 1.
    EXPECT_EQ(r[16].substr(8, 11), Format(2.0 + 1 * 0.05, "0.00000E+00"));
    EXPECT_NEAR(g.ZTAB(21, 1), m.exact(2.0 + rem * 0.05), 1e-4) << "window moved by NREM";

    // TMAX = 7.7 with a window of 1.1: NPER = 7 but TMAX - 7*1.1 rounds below 0, so the
    // remainder count would be -1 and the final shift would copy node 0 over the window.
    SetUp();
    setup({0.5, 1.1}, 10, 7.7);
    LinearModel w({0.5, 1.1}, 1.0, -0.1, {0.3});
    run(w);
    EXPECT_EQ(g.NPER, 7);
    EXPECT_NEAR(g.ZTAB(11, 1), w.exact(7.7), 1e-3);
    EXPECT_NEAR(g.ZTAB(1, 1), w.exact(6.6), 1e-3);
}

// ---------------------------------------------------------------- refusals and failures

TEST_F(DelaySchemeTest, RefusedInputsLeaveTheOldResultsUntouched) {
    struct Bad {
        const char* what;
        std::function<void()> set;
    };
    auto& g = mdl;
    const std::vector<Bad> cases = {
        {"NDEL", [&] { g.NDEL = 500; }},
        {"NDEL", [&] { g.NDEL = 0; }},
        {"NSC", [&] { g.NSC = 0; }},
        {"TMAX", [&] { g.TMAX = 0; }},
        {"порядке возрастания", [&] { g.TAU(1) = 1.2; }},
        {"больше 0", [&] { g.TAU(1) = -0.1; }},
        {"меньше шага", [&] { g.TAU(1) = 0.09; }},
        {"IC(1)", [&] { g.IC(1) = 2; }},
        {"NCOMP", [&] { g.NCOMP = 0; }},
        {"Пустой диапазон", [&] { g.DRX = g.DLX; }},
    };
    app.write("User/Results.tst", "old\r\n");
    for (const Bad& b : cases) {
        SetUp();
        setup({0.4, 1.0}, 10, 3.0);
        b.set();
        LinearModel m({0.4, 1.0}, 1.0, -0.2, {0.5});
        try {
            DelayIntegr(c, m);
            ADD_FAILURE() << "accepted: " << b.what;
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find(b.what), std::string::npos) << e.what();
        }
        EXPECT_EQ(m.initials, 0) << b.what;
        EXPECT_EQ(bytesOf(app.path("User/Results.tst")), "old\r\n") << b.what;
        EXPECT_EQ(g.TAU(2), 1.0) << b.what;
    }
    // A zero decay rate.
    SetUp();
    setup({0.4, 1.0}, 10, 3.0);
    LinearModel z({0.4, 1.0}, 0.0, -0.2, {0.5});
    EXPECT_THROW(DelayIntegr(c, z), VeltaError);
    EXPECT_EQ(bytesOf(app.path("User/Results.tst")), "old\r\n");
}

namespace {
// Delays entered as fractions of 2: the first portion doubles them.
class ScaledModel : public LinearModel {
public:
    using LinearModel::LinearModel;
    std::vector<double> preparedDelays(const Store& g) const override {
        std::vector<double> t;
        for (int j = 1; j <= delays(g); ++j) t.push_back(2 * g.TAU(j));
        return t;
    }
};
}  // namespace

TEST_F(DelaySchemeTest, AFailedRunPutsTheDelaysAndTheWindowBack) {
    auto& g = mdl;
    setup({0.2, 0.5}, 10, 3.0);
    ScaledModel fresh({0.4, 1.0}, 1.0, -0.2, {0.5});
    run(fresh);
    const double good = g.ZTAB(11, 1);

    SetUp();
    setup({0.2, 0.5}, 10, 3.0);
    ScaledModel m({0.4, 1.0}, 1.0, -0.2, {0.5});
    m.failAfter = 25;
    EXPECT_THROW(DelayIntegr(c, m), VeltaError);
    EXPECT_EQ(g.TAU(1), 0.2) << "a failed first portion must not leave the delays scaled";
    EXPECT_EQ(g.TAU(2), 0.5);
    EXPECT_EQ(g.L, 0);
    m.failAfter = 0;
    run(m);
    EXPECT_EQ(g.TAU(2), 1.0);
    EXPECT_EQ(g.ZTAB(11, 1), good) << "the repeated first portion equals a fresh one";

    // A non-finite value in a later portion: message with the step, window unchanged.
    std::vector<double> window;
    for (int p = 1; p <= 11; ++p) window.push_back(g.ZTAB(p, 1));
    m.nanAfter = m.calls + 5;
    try {
        DelayIntegr(c, m);
        ADD_FAILURE() << "NaN accepted";
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find("нечисловое"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("на шаге 5"), std::string::npos) << e.what();
    }
    for (int p = 1; p <= 11; ++p) EXPECT_EQ(g.ZTAB(p, 1), window[static_cast<std::size_t>(p - 1)]);
}

TEST(DelayNewton, DampedIterationIsCappedWithAMessage) {
    // g(z) = z^2 - 2 from 1 with a tenth of the Newton step: converges near sqrt(2).
    const double z = dampedNewton([](double x) { return std::pair(x * x - 2, 2 * x); }, 1.0, 0.1, 1e-4, 10000,
                                  "теста");
    EXPECT_NEAR(z, std::sqrt(2.0), 2e-3);
    // No root: g = z^2 + 1 wanders forever.
    try {
        dampedNewton([](double x) { return std::pair(x * x + 1, 2 * x); }, 0.5, 1.0, 1e-4, 200,
                     "стационарного решения");
        ADD_FAILURE();
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find("не сошлись за 200"), std::string::npos) << e.what();
    }
    // A zero slope at the start (GAMA < 1 from 0) gives a non-finite value, reported.
    EXPECT_THROW(dampedNewton([](double x) { return std::pair(x - 1, std::pow(x, -0.5) * 0); }, 0.0, 0.1,
                              1e-4, 100, "теста"),
                 VeltaError);
}

TEST_F(DelaySchemeTest, GraphicZDrawsAtMostThreeCurvesWithinTheHeight) {
    auto& g = mdl;
    g.MDIM = 5;
    g.NCOMP = 5;
    for (int i = 1; i <= 5; ++i) g.IC(i) = static_cast<i16>(i);
    g.HHH = 0.1;
    g.SCLT = 0;
    g.SCLX = 0;
    MeshMaskG(c, "Z", "Z", "u", 0, 2, 0, 1);
    for (int k = 1; k <= 5; ++k) {
        g.ZTAB(3, k) = 0.1 * k;
        g.ZTAB(4, k) = 0.1 * k + 0.05;
    }
    g.ZTAB(4, 2) = 1.5;  // out of the plot: that curve's segment is skipped
    surf.forget();
    GraphicZ(c, 1.0, 3, 1);
    const auto segs = surf.of(velta::test::DrawCall::Kind::Segment);
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_EQ(segs[0].colour, QBColor(13));
    EXPECT_EQ(segs[1].colour, QBColor(11));
    EXPECT_DOUBLE_EQ(segs[0].x1, g.PX0 + (1.0 + 2 * 0.1) * g.KX);
    EXPECT_DOUBLE_EQ(segs[0].x2, g.PX0 + (1.0 + 3 * 0.1) * g.KX);
    EXPECT_DOUBLE_EQ(segs[1].y2, g.PY0 + 0.35 * g.KY);
    g.NCOMP = 1;
    surf.forget();
    GraphicZ(c, 0, 3, 1);
    EXPECT_EQ(surf.of(velta::test::DrawCall::Kind::Segment).size(), 1u);
}
