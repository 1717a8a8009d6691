#include "stationary/continuation.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace velta;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

// x^3 - x + q = 0: folds in q at x = +-1/sqrt(3), q = -+2/(3 sqrt(3)).
struct Fold : Continuation {
    void FUNCp() override {
        const double x = Y(1), q = Y(2);
        DY(1) = x * x * x - x + q;
        A(1, 1) = 3 * x * x - 1;
        A(1, 2) = 1;
    }
};

// x^2 + q^2 = 1: turning points in q at (0, 1) and (0, -1).
struct Circle : Continuation {
    void FUNCp() override {
        const double x = Y(1), q = Y(2);
        DY(1) = x * x + q * q - 1;
        A(1, 1) = 2 * x;
        A(1, 2) = 2 * q;
    }
};

// x - s*q = 0 (a straight line; Newton is exact in one iteration).
struct Line : Continuation {
    double s = 1;
    void FUNCp() override {
        DY(1) = Y(1) - s * Y(2);
        A(1, 1) = 1;
        A(1, 2) = -s;
    }
};

// x^2 = q: at x = 0 the Jacobian in x is singular.
struct Parabola : Continuation {
    void FUNCp() override {
        DY(1) = Y(1) * Y(1) - Y(2);
        A(1, 1) = 2 * Y(1);
        A(1, 2) = -1;
    }
};

struct NoModel : Continuation {
    void FUNCp() override {}
};

// A one-equation curve from (x0, q0) with common settings.
void prepare(Continuation& k, double x0, double q0, double h = 0.05) {
    k.setup(1);
    k.Y(1) = x0;
    k.Y(2) = q0;
    k.H(1) = h;
    k.H(2) = h;
    k.UL(1) = k.UL(2) = -10;
    k.UR(1) = k.UR(2) = 10;
    k.QMIN = -1;
    k.QMAX = 1;
    k.QSOLV = 100;  // never
    k.HSTEP = h;
    k.EMIN = 1e-4;
    k.EMAX = 1;
    k.ACCEL = 1.5;
    k.EXACT = 1e-12;
    k.LIMIT0 = 20;
    k.LIMIT = 10;
    k.NEND = 30000;
}

// Root of x^3 - x + q near x0 by Newton's method.
double foldRoot(double q, double x0) {
    double x = x0;
    for (int i = 0; i < 100; ++i) x -= (x * x * x - x + q) / (3 * x * x - 1);
    return x;
}

struct Stage {
    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Store mdl;
    Ctx ctx{surf, ui, paths, mdl};
};

}  // namespace

// ---------------------------------------------------------------- linear algebra

TEST(ContinuationGauss, SolvesLikeADirectSolve) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int n : {1, 2, 5, 20}) {
        NoModel k;
        k.setup(n);
        std::vector<std::vector<double>> a(n + 1, std::vector<double>(n + 1));
        std::vector<double> x(n + 1), b(n + 1, 0);
        for (int i = 1; i <= n; ++i) {
            x[i] = u(gen);
            for (int j = 1; j <= n; ++j) a[i][j] = k.A(i, j) = u(gen) + (i == j ? 0.1 : 0);
        }
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) b[i] += a[i][j] * x[j];
        for (int i = 1; i <= n; ++i) k.DY(i) = b[i];
        k.GAUSS();
        ASSERT_EQ(k.IGAUSS, 0) << n;
        k.SOLVE();
        for (int i = 1; i <= n; ++i) EXPECT_NEAR(k.DY(i), x[i], 1e-10) << "n=" << n << " i=" << i;
        // A second right-hand side with the same factorisation.
        for (int i = 1; i <= n; ++i) k.DY(i) = a[i][1];
        k.SOLVE();
        for (int i = 1; i <= n; ++i) EXPECT_NEAR(k.DY(i), i == 1 ? 1.0 : 0.0, 1e-10);
    }
}

TEST(ContinuationGauss, EqualPivotsTakeTheLastInRowThenColumnOrder) {
    NoModel k;
    k.setup(3);
    // |2| at (1,1), (1,3), (3,1), (3,3): the last one met is (3,3).
    const double m[3][3] = {{2, 0, 2}, {0, 1, 0}, {2, 0, -2}};
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) k.A(i, j) = m[i - 1][j - 1];
    k.GAUSS();
    ASSERT_EQ(k.IGAUSS, 0);
    EXPECT_EQ(k.P(1), 3);
    EXPECT_EQ(k.Q(1), 3);
    EXPECT_DOUBLE_EQ(k.A(1, 1), -2);  // the pivot on the diagonal
    // x = (1, 2, 3): b = (8, 2, -4)
    k.DY(1) = 8;
    k.DY(2) = 2;
    k.DY(3) = -4;
    k.SOLVE();
    EXPECT_NEAR(k.DY(1), 1, 1e-14);
    EXPECT_NEAR(k.DY(2), 2, 1e-14);
    EXPECT_NEAR(k.DY(3), 3, 1e-14);
}

TEST(ContinuationGauss, SingularMatrices) {
    NoModel k;
    k.setup(2);
    k.A(1, 1) = 1;
    k.A(1, 2) = 2;
    k.A(2, 1) = 2;
    k.A(2, 2) = 4;
    k.GAUSS();
    EXPECT_EQ(k.IGAUSS, 1);
    NoModel z;
    z.setup(1);
    z.A(1, 1) = 1e-31;
    z.GAUSS();
    EXPECT_EQ(z.IGAUSS, 1);
}

// ---------------------------------------------------------------- parameter choice

TEST(ContinuationIndex, NormalisesEveryComponentByTheOldValue) {
    NoModel k;
    k.setup(2);
    k.ISTEP = 0;
    k.DY(1) = 2;
    k.DY(2) = 4;
    k.DY(3) = 1;
    k.INDEXp();
    EXPECT_EQ(k.PREV, 3);
    EXPECT_EQ(k.INDEX, 2);
    EXPECT_DOUBLE_EQ(k.DY(1), 0.5);
    EXPECT_DOUBLE_EQ(k.DY(2), 1);
    EXPECT_DOUBLE_EQ(k.DY(3), 0.25);  // after INDEX: divided by 4, not by 1
}

TEST(ContinuationIndex, ChangeOverTheStepAndAllZero) {
    NoModel k;
    k.setup(2);
    k.ISTEP = 3;
    k.INDEX = 3;
    for (int i = 1; i <= 3; ++i) {
        k.YY(i, 2) = 1;
        k.Y(i) = 1;
        k.DY(i) = i;
    }
    k.INDEXp();  // no change at all: INDEX stays
    EXPECT_EQ(k.INDEX, 3);
    k.Y(1) = 0.5;  // |d| = 0.5
    k.Y(2) = 1.5;  // |d| = 0.5: the first of equal ones is kept
    k.INDEXp();
    EXPECT_EQ(k.INDEX, 1);
    EXPECT_DOUBLE_EQ(k.DY(3), 3.0 / 1.0);
}

TEST(ContinuationStep, HistoryShiftRenormalisesTheOldTangent) {
    Line k;
    prepare(k, 0, 0);
    k.setup(2);
    for (int i = 1; i <= 3; ++i) {
        k.H(i) = 1;
        k.YY(i, 2) = 0;
        k.TT(i, 2) = 0;
    }
    k.EMIN = 1e-3;
    k.EMAX = 100;
    k.ACCEL = 1;
    k.ISTEP = 2;
    // Old tangent normalised to unknown 3: (0.5, 2, 1); new INDEX 2.
    k.TT(1, 2) = 0.5;
    k.TT(2, 2) = 2;
    k.TT(3, 2) = 1;
    k.PREV = 3;
    k.INDEX = 2;
    k.Y(1) = 0.1;
    k.Y(2) = 0.4;
    k.Y(3) = 0.2;
    k.DY(1) = 0.25;
    k.DY(2) = 1;
    k.DY(3) = 0.5;
    ASSERT_TRUE(k.stepControl());
    EXPECT_DOUBLE_EQ(k.DS, 0.4);
    EXPECT_DOUBLE_EQ(k.TT(1, 1), 0.25);
    EXPECT_DOUBLE_EQ(k.TT(2, 1), 1);
    EXPECT_DOUBLE_EQ(k.TT(3, 1), 0.5);  // divided by the old TT(2,2) = 2, not by 1
    EXPECT_DOUBLE_EQ(k.HSTEP, 0.4);     // ACCEL * DS, direction of travel kept
    EXPECT_DOUBLE_EQ(k.YY(2, 1), 0);
    EXPECT_DOUBLE_EQ(k.YY(2, 2), 0.4);
}

// ---------------------------------------------------------------- curves

TEST(ContinuationCurve, FoldOfTheCubicAndItsQsolvPoints) {
    Fold k;
    prepare(k, 1, 0);
    k.QSOLV = 0.2;
    std::ostringstream qs, bs, rs;
    TextWriter qw(qs), bw(bs), rw(rs);
    k.qsolvOut = &qw;
    k.bsolvOut = &bw;
    k.resultsOut = &rw;
    const ContEnd e = k.Syst_QB(false);
    EXPECT_EQ(e, ContEnd::IntervalBound);
    EXPECT_EQ(k.MARK, 0);
    // The curve leaves [-1, 1] at q = 1 exactly, on the root of x^3 - x + 1.
    EXPECT_EQ(k.Y(2), 1.0);
    EXPECT_NEAR(k.Y(1), foldRoot(1, -1.3), 1e-4);

    ASSERT_EQ(k.NTURN, 2);
    ASSERT_EQ(k.NSOLV, 3);
    const double qf = 2 / (3 * std::sqrt(3.0));
    const std::string b = cp1251ToUtf8(bs.str());
    // The two folds, in the order met: q = +qf, then q = -qf.
    EXPECT_NE(b.find("Решение 1 ,  QMOD = 3.84"), std::string::npos);
    EXPECT_NE(b.find("Решение 2 ,  QMOD = -3.84"), std::string::npos);
    EXPECT_EQ(b.rfind("РЕШЕНИЕ В ТОЧКАХ ПОВОРОТА\r\n------------------------- \r\n", 0), 0u);
    EXPECT_NE(b.find("QMOD = " + Format(qf, "0.00000E+00")), std::string::npos);

    // The three roots of x^3 - x + 0.2 in path order.
    const double roots[3] = {foldRoot(0.2, 0.9), foldRoot(0.2, 0.2), foldRoot(0.2, -1.1)};
    std::istringstream in(cp1251ToUtf8(qs.str()));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "     QSOLV = 2.00000E-01\r");
    std::getline(in, line);
    EXPECT_EQ(line, "------------------------- \r");
    for (int s = 0; s < 3; ++s) {
        std::getline(in, line);
        EXPECT_EQ(line, "Решение " + std::to_string(s + 1) + " \r");
        std::getline(in, line);
        ASSERT_EQ(line.substr(0, 3), "1  ");
        EXPECT_NEAR(std::stod(line.substr(3)), roots[s], 2e-5) << s;
        std::getline(in, line);
        EXPECT_EQ(line, "\r");
    }
}

TEST(ContinuationCurve, TurningPointsOfTheFoldAreAccurate) {
    // The pieces driven by hand, as a section with its own loop does, reading YR at once.
    Fold k;
    prepare(k, 1, 0);
    std::vector<std::pair<double, double>> turns;
    k.ADAPT();
    ASSERT_EQ(k.MARK, 0);
    k.INDEXp();
    k.firstStep();
    while (k.ISTEP < 2000 && turns.size() < 2) {
        ++k.ISTEP;
        k.ADAPT();
        ASSERT_EQ(k.MARK, 0);
        if (k.TURNp()) turns.emplace_back(k.YR(1), k.YR(2));
        k.INDEXp();
        ASSERT_TRUE(k.stepControl());
    }
    ASSERT_EQ(turns.size(), 2u);
    const double xf = 1 / std::sqrt(3.0), qf = 2 / (3 * std::sqrt(3.0));
    EXPECT_NEAR(turns[0].second, qf, 1e-7);
    EXPECT_NEAR(turns[0].first, xf, 2e-3);
    EXPECT_NEAR(turns[1].second, -qf, 1e-7);
    EXPECT_NEAR(turns[1].first, -xf, 2e-3);
}

TEST(ContinuationCurve, CircleThroughBothTurningPoints) {
    Stage st;
    Circle k;
    prepare(k, 1, 0, 0.1);
    k.QMIN = -2;
    k.QMAX = 2;
    k.NEND = 60;
    k.ctx = &st.ctx;
    std::ostringstream bs;
    TextWriter bw(bs);
    k.bsolvOut = &bw;
    st.ui.answers = {"NO"};
    const ContEnd e = k.Syst_QB(false);
    EXPECT_EQ(e, ContEnd::ContinueNo);
    ASSERT_EQ(st.ui.inputs.size(), 1u);
    EXPECT_EQ(st.ui.inputs[0].prompt, "\n\n      Продолжить?");
    EXPECT_EQ(st.ui.inputs[0].defaultText, "YES");
    ASSERT_GE(k.NTURN, 2);
    // Every point is on the circle, and the turning points alternate between q = 1 and -1.
    std::istringstream in(cp1251ToUtf8(bs.str()));
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        const auto p = line.find("QMOD = ");
        if (p == std::string::npos) continue;
        const double q = std::stod(line.substr(p + 7));
        EXPECT_NEAR(q, n % 2 == 0 ? 1.0 : -1.0, 1e-5) << line;
        std::getline(in, line);
        ASSERT_EQ(line.substr(0, 5), "  1  ");
        EXPECT_NEAR(std::stod(line.substr(5)), 0.0, 5e-3) << line;
        ++n;
    }
    EXPECT_EQ(n, k.NTURN);
    EXPECT_NEAR(k.YY(1, 2) * k.YY(1, 2) + k.YY(2, 2) * k.YY(2, 2), 1.0, 1e-10);
}

TEST(ContinuationCurve, YesGrowsThePortionAndOtherAnswersEnd) {
    Stage st;
    Circle k;
    prepare(k, 1, 0, 0.1);
    k.QMIN = -2;
    k.QMAX = 2;
    k.NEND = 5;
    k.ctx = &st.ctx;
    st.ui.answers = {"YES", "YES", "дальше"};
    EXPECT_EQ(k.Syst_QB(false), ContEnd::ContinueOther);
    EXPECT_EQ(k.ISTEP, 15);
    EXPECT_EQ(k.NEND, 15);
}

TEST(ContinuationCurve, LeavingTheIntervalWithAnotherCurrentParameter) {
    // Near q = 0.9 on the circle x changes faster than q: the current parameter is x when
    // the curve crosses QMAX, and the end point and the QSOLV point come from the Hermite
    // arc renormalised to QMOD.
    Circle k;
    prepare(k, 1, 0, 0.05);
    k.QMAX = 0.9;
    ASSERT_EQ(k.Syst_QB(true), ContEnd::IntervalBound);
    EXPECT_EQ(k.INDEX, 1);
    EXPECT_EQ(k.Y(2), 0.9);
    EXPECT_NEAR(k.Y(1), std::sqrt(1 - 0.81), 2e-4);
    const double qPrev = k.YY(2, 2);
    ASSERT_LT(qPrev, 0.9);

    Circle k2;
    prepare(k2, 1, 0, 0.05);
    k2.QMAX = 0.9;
    k2.QSOLV = (qPrev + 0.9) / 2;  // inside the last step
    ASSERT_EQ(k2.Syst_QB(true), ContEnd::IntervalBound);
    ASSERT_EQ(k2.NSOLV, 1);
    EXPECT_NEAR(k2.YR(2), k2.QSOLV, 1e-6);
    EXPECT_NEAR(k2.YR(1), std::sqrt(1 - k2.QSOLV * k2.QSOLV), 2e-4);
}

TEST(ContinuationCurve, PointExactlyAtQsolvIsTakenOnce) {
    Line k;
    prepare(k, 0, 0, 0.25);
    k.EMAX = 1;
    k.ACCEL = 1;
    k.QSOLV = 0.5;
    std::ostringstream qs;
    TextWriter qw(qs);
    k.qsolvOut = &qw;
    ASSERT_EQ(k.Syst_QB(false), ContEnd::IntervalBound);
    EXPECT_EQ(k.NSOLV, 1);
    EXPECT_NE(qs.str().find("\r\n1  5.00000E-01\r\n"), std::string::npos);
}

TEST(ContinuationCurve, NegativeStartingStepLowersQmodFirst) {
    for (double s : {1.0, -1.0}) {
        Line k;
        k.s = s;
        prepare(k, 0, 0, 0.1);
        k.HSTEP = -0.1;
        std::ostringstream rs;
        TextWriter rw(rs);
        k.resultsOut = &rw;
        ASSERT_EQ(k.Syst_QB(false), ContEnd::IntervalBound);
        EXPECT_EQ(k.Y(2), -1.0) << s;
        std::istringstream in(rs.str());
        std::string l0, l1;
        std::getline(in, l0);
        std::getline(in, l1);
        EXPECT_EQ(l0.substr(0, 14), "0000   0002   ");
        EXPECT_EQ(l1.substr(0, 4), "0001");
        EXPECT_EQ(l1.substr(14, 1), "-") << l1;
    }
}

TEST(ContinuationCurve, StartingCorrectionKeepsQmodFixed) {
    Fold k;
    prepare(k, 1.2, 0.1);
    k.ADAPT();
    ASSERT_EQ(k.MARK, 0);
    EXPECT_EQ(k.Y(2), 0.1);
    EXPECT_NEAR(k.Y(1), foldRoot(0.1, 1.2), 1e-12);
    EXPECT_EQ(k.DY(2), 1);
    EXPECT_NEAR(k.DY(1), -1 / (3 * k.Y(1) * k.Y(1) - 1), 1e-12);  // dx/dq
}

// ---------------------------------------------------------------- stop codes

namespace {

ContEnd runShort(Continuation& k, Stage& st) {
    k.ctx = &st.ctx;
    k.style = ContStyle::Short;
    return k.Syst_QB(true);
}

}  // namespace

TEST(ContinuationStop, CodesOneToFour) {
    {
        Stage st;
        Fold k;
        prepare(k, 1, 0);
        k.UL(1) = 1.5;  // starting point outside the region
        EXPECT_EQ(runShort(k, st), ContEnd::Stopped);
        EXPECT_EQ(k.MARK, 1);
        ASSERT_EQ(st.ui.messages.size(), 1u);
        EXPECT_EQ(st.ui.messages[0].text, "MARK = 1 => INFORM");
        EXPECT_EQ(st.ui.messages[0].title, "   VELTA");
    }
    {
        Stage st;
        Parabola k;
        prepare(k, 0, 0);
        EXPECT_EQ(runShort(k, st), ContEnd::Stopped);
        EXPECT_EQ(k.MARK, 2);
        ASSERT_EQ(st.ui.messages.size(), 1u);
        EXPECT_EQ(st.ui.messages[0].text, "MARK = 2 => INFORM");
    }
    {
        Stage st;
        Fold k;
        prepare(k, 2, 0);
        k.LIMIT0 = 2;
        EXPECT_EQ(runShort(k, st), ContEnd::Stopped);
        EXPECT_EQ(k.MARK, 3);
        ASSERT_EQ(st.ui.messages.size(), 1u);
        EXPECT_EQ(st.ui.messages[0].text, "MARK = 3 => INFORM\n ITER = 2");
    }
    {
        Stage st;
        Fold k;
        prepare(k, 1, 0);
        k.QMIN = 0.5;
        EXPECT_EQ(runShort(k, st), ContEnd::Stopped);
        EXPECT_EQ(k.MARK, 4);
        ASSERT_EQ(st.ui.messages.size(), 1u);
        EXPECT_EQ(st.ui.messages[0].text, "MARK = 4 => INFOR");
        k.INFOR();
        ASSERT_EQ(st.ui.messages.size(), 2u);
        EXPECT_EQ(st.ui.messages[1].text,
                  " ISTEP = 0, IREG = 1, < SYSTEM >\n"
                  " -  В стартовой позиции заданное значение параметра QMOD\n"
                  "    оказалось вне отрезка  [QMIN,QMAX]. Возможно, в силу\n"
                  "    задания текущего параметра, отличного от QMOD");
    }
}

TEST(ContinuationStop, CodesFiveToSeven) {
    {
        // Every first step leaves the region: halved until below EMIN * H(INDEX).
        Stage st;
        Circle k;
        prepare(k, 1, 0, 0.1);
        k.UL(1) = 1 - 1e-12;
        EXPECT_EQ(runShort(k, st), ContEnd::Stopped);
        EXPECT_EQ(k.MARK, 5);
        EXPECT_EQ(k.ISTEP, 1);
        EXPECT_LT(std::fabs(k.HSTEP), k.EMIN * k.H(k.INDEX));
        ASSERT_EQ(st.ui.messages.size(), 1u);
        EXPECT_EQ(st.ui.messages[0].text, "MARK = 5 => INFORM\n ISTEP= 1, INDEX= 2");
    }
    {
        // The region ends inside the curve: later steps are halved until MARK 6.
        Stage st;
        Circle k;
        prepare(k, 1, 0, 0.1);
        k.UL(1) = 0.5;
        EXPECT_EQ(runShort(k, st), ContEnd::Stopped);
        EXPECT_EQ(k.MARK, 6);
        EXPECT_GE(k.ISTEP, 2);
        EXPECT_GE(k.YY(1, 2), 0.5);  // the last accepted point
        ASSERT_EQ(st.ui.messages.size(), 1u);
        EXPECT_EQ(st.ui.messages[0].text, "MARK = 6 => INFORM\n ISTEP= " + std::to_string(k.ISTEP) +
                                              ", INDEX= " + std::to_string(k.INDEX));
    }
    {
        // x changes twice as fast as q and its standard step is huge: the step made in x is
        // below 0.001 * EMIN * H(1).
        Stage st;
        Line k;
        k.s = 2;
        prepare(k, 0, 0, 0.01);
        k.H(1) = 1e9;
        k.EMIN = 0.01;
        EXPECT_EQ(runShort(k, st), ContEnd::Stopped);
        EXPECT_EQ(k.MARK, 7);
        ASSERT_EQ(st.ui.messages.size(), 1u);
        EXPECT_EQ(st.ui.messages[0].text, "MARK = 7 => INFOR\n ISTEP = 1 ,INDEX = 1");
    }
}

TEST(ContinuationStop, SilentAndDirectStyles) {
    {
        Fold k;
        prepare(k, 1, 0);
        k.UL(1) = 1.5;
        k.style = ContStyle::Silent;
        Stage st;
        k.ctx = &st.ctx;
        k.Syst_QB(true);
        EXPECT_EQ(k.MARK, 3);  // every failure at the start
        EXPECT_TRUE(st.ui.messages.empty());
    }
    {
        Parabola k;
        prepare(k, 0, 0);
        k.style = ContStyle::Direct;
        Stage st;
        k.ctx = &st.ctx;
        k.Syst_QB(false);
        ASSERT_EQ(st.ui.messages.size(), 1u);
        EXPECT_EQ(st.ui.messages[0].text, Continuation::inforText(2, true));
        const std::string& t = st.ui.messages[0].text;
        EXPECT_EQ(t.substr(t.size() - std::string("вырожденной.").size()), "вырожденной.");
    }
    EXPECT_EQ(Continuation::inforText(7, true), Continuation::inforText(7, false));
    EXPECT_NE(Continuation::inforText(6, true), Continuation::inforText(6, false));
}

TEST(ContinuationStop, NonFiniteModelIsARegionExit) {
    // sqrt(x) is undefined left of 0: the NaN point counts as outside the region.
    struct Root : Continuation {
        void FUNCp() override {
            DY(1) = std::sqrt(Y(1)) - Y(2);
            A(1, 1) = 0.5 / std::sqrt(Y(1));
            A(1, 2) = -1;
        }
    } k;
    prepare(k, -1, 0.5);
    k.Syst_QB(true);
    EXPECT_EQ(k.MARK, 1);
}

TEST(ContinuationLimits, BadInputIsRefused) {
    auto refused = [](auto change) {
        Fold k;
        prepare(k, 1, 0);
        change(k);
        try {
            k.checkLimits();
        } catch (const VeltaError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(refused([](Fold&) {}), "");
    EXPECT_NE(refused([](Fold& k) { k.EMIN = 0; }).find("EMIN"), std::string::npos);
    EXPECT_NE(refused([](Fold& k) { k.EXACT = -1; }).find("EXACT"), std::string::npos);
    EXPECT_NE(refused([](Fold& k) { k.LIMIT = 0; }).find("LIMIT "), std::string::npos);
    EXPECT_NE(refused([](Fold& k) { k.LIMIT0 = 0; }).find("LIMIT0"), std::string::npos);
    EXPECT_NE(refused([](Fold& k) { k.QMIN = 1; }).find("QMIN"), std::string::npos);
    EXPECT_NE(refused([](Fold& k) { k.H(2) = 0; }).find("H(2)"), std::string::npos);
    EXPECT_NE(refused([](Fold& k) { k.plotIC = {2}; }).find("IC(1)"), std::string::npos);
    EXPECT_NE(refused([](Fold& k) { k.plotIC = {1, 1}; }).find("min(12,NDIM)"), std::string::npos);
    NoModel big;
    EXPECT_THROW(big.setup(21), VeltaError);
    EXPECT_NO_THROW(big.setup(20));
}

TEST(ContinuationRecord, ResultsLineAndSegments) {
    Stage st;
    Fold k;
    prepare(k, 1, 0);
    Store& mdl = st.mdl;
    mdl.PX0 = 0;
    mdl.PX1 = 100;
    mdl.PY1 = 0;
    mdl.PY0 = 100;
    mdl.KX = 10;
    mdl.KY = -10;
    mdl.SCLY = -5;
    k.ctx = &st.ctx;
    k.plotIC = {1};
    std::ostringstream rs;
    TextWriter rw(rs);
    k.resultsOut = &rw;
    k.ISTEP = 3;
    k.INDEX = 2;
    k.YY(1, 2) = 1;
    k.YY(2, 2) = 0;
    k.Y(1) = 0.5;
    k.Y(2) = -0.25;
    k.WRITEp();
    EXPECT_EQ(rs.str(), "0003   0002   -2.50000000E-01   5.00000000E-01   \r\n");
    const auto segs = st.surf.of(velta::test::DrawCall::Kind::Segment);
    ASSERT_EQ(segs.size(), 1u);
    EXPECT_DOUBLE_EQ(segs[0].x1, 0);
    EXPECT_DOUBLE_EQ(segs[0].y1, 100 - 60);
    EXPECT_DOUBLE_EQ(segs[0].x2, -2.5);
    EXPECT_DOUBLE_EQ(segs[0].y2, 100 - 55);
    EXPECT_EQ(segs[0].colour, QBColor(13));
    EXPECT_EQ(printedNumber(2.5), " 2.5 ");
    EXPECT_EQ(printedNumber(-1), "-1 ");
}
