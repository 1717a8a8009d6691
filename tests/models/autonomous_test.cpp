#include "models/autonomous.h"

#include "data/error.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

using namespace velta;
using velta::test::DrawCall;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

// Lines of an in-memory text (CR LF split).
std::vector<std::string> linesOf(const std::string& s) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t p = s.find("\r\n", from);
        if (p == std::string::npos) break;
        out.push_back(s.substr(from, p - from));
        from = p + 2;
    }
    return out;
}

// Reads text through fn with a ParReader into store, giving the check-file lines.
template <class Fn>
std::vector<std::string> readText(Store& store, const std::string& text, Fn fn) {
    std::istringstream in(text);
    TextReader reader(in, "t.dat");
    std::ostringstream chk;
    TextWriter writer(chk);
    ParReader r(store, reader, writer);
    fn(r);
    writer.flush();
    return linesOf(chk.str());
}

template <class Fn>
std::string writeText(Fn fn) {
    std::ostringstream os;
    TextWriter w(os);
    fn(w);
    w.flush();
    return os.str();
}

template <class Fn>
std::string throwsMessage(Fn fn) {
    try {
        fn();
    } catch (const VeltaError& e) {
        return e.what();
    }
    return "";
}

class Autonomous : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        mdl.reset();  // SetUp() runs again between the cases of a test
        setUpThreeElements();
    }
    void setUpThreeElements() {
        auto& g = mdl;
        g.NDIM = 3;
        allocVectors(autonomousVectors(mdl), 3);
        // Header lines "Hk", "--" for every block k.
        for (std::size_t k = 0; k < g.HEAD.size(); ++k) {
            g.HEAD[k][0] = std::string("H").append(std::to_string(k));
            g.HEAD[k][1] = "--";
        }
    }
    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
};

}  // namespace

// The network blocks are written from block k on and read back from the same blocks; the
// key spelling follows the style, the values and the check-file echo do not.
TEST_F(Autonomous, NetworkBlocksRoundTripFromAnyFirstBlock) {
    NetworkFields f;
    f.i1n = "1,3";
    f.xi1 = "0.5,2";
    f.xp = vectorGrid(mdl.XP, 3, true);
    f.fp = vectorGrid(mdl.FP, 3, true);
    f.xp.at(2, 2) = "1.5";
    f.fp.at(2, 4) = "-1";
    f.tmax = "10";
    f.hhh = "0.01";
    f.lscreen = "1";
    f.tmin = "2";
    f.lgraph = "3";
    f.lstep = "4";
    f.i1g = "2,3";
    f.nsc = "5";
    f.dlx = "0";
    f.drx = "1.5";
    f.dlw = "0.1";
    f.drw = "2";
    f.sclt = "1";

    const std::string mixed = writeText(
        [&](TextWriter& w) { writeNetworkBlocks(mdl, w, 3, f, KeyStyle::Mixed); });
    const std::vector<std::string> m = linesOf(mixed);
    ASSERT_EQ(m.size(), 40u);
    EXPECT_EQ(m[0], "H3");  // block numbers start at k
    EXPECT_EQ(m[3], "1,3");
    EXPECT_EQ(m[6], "H4");
    EXPECT_EQ(m[8], "XP(I):");
    EXPECT_EQ(m[9], "1.5,0,0");
    EXPECT_EQ(m[11], "0,0,-1");
    EXPECT_EQ(m[18], "Lscreen = 1");
    EXPECT_EQ(m[22], "Lgraph = 3");
    EXPECT_EQ(m[25], "Lstep = 4");
    EXPECT_EQ(m[26], "H9");
    EXPECT_EQ(m[29], "2,3");
    EXPECT_EQ(m[33], "H11");
    EXPECT_EQ(m[35], "Dlx = 0");
    const std::string upper = writeText(
        [&](TextWriter& w) { writeNetworkBlocks(mdl, w, 3, f, KeyStyle::Upper); });
    const std::vector<std::string> u = linesOf(upper);
    ASSERT_EQ(u.size(), m.size());
    EXPECT_EQ(u[18], "LSCREEN = 1");
    EXPECT_EQ(u[22], "LGRAPH = 3");
    EXPECT_EQ(u[25], "LSTEP = 4");

    mdl.reset();
    setUpThreeElements();
    const std::vector<std::string> chk = readText(mdl, mixed,
                                                  [](ParReader& r) { readNetworkBlocks(r, 3, 3); });
    const auto& g = mdl;
    EXPECT_EQ(g.HEAD[3][0], "H3");
    EXPECT_EQ(g.HEAD[11][0], "H11");
    EXPECT_EQ(g.NK, 2);
    EXPECT_EQ(g.X1(1), 0.5);
    EXPECT_EQ(g.X1(2), 0);
    EXPECT_EQ(g.X1(3), 2);
    EXPECT_EQ(g.XP(1), 1.5);
    EXPECT_EQ(g.FP(3), -1);
    EXPECT_EQ(g.TMAX, 10);
    EXPECT_EQ(g.HHH, 0.01);
    EXPECT_EQ(g.LSCREEN, 1);
    EXPECT_EQ(g.TMIN, 2);
    EXPECT_EQ(g.LGRAPH, 3);
    EXPECT_EQ(g.LSTEP, 4);
    EXPECT_EQ(g.NCOMP, 2);
    EXPECT_EQ(g.IC(2), 3);
    EXPECT_EQ(g.NSC, 5);
    EXPECT_EQ(g.DRX, 1.5);
    EXPECT_EQ(g.DLW, 0.1);
    EXPECT_EQ(g.SCLT, 1);
    // Echo labels are the reader's, whatever the key text in the file.
    const std::vector<std::string> want = {"INK(1) = 1",  "INK(2) = 3", "X1(INK(1)) = 0.5", "X1(INK(2)) = 2",
                                           "LSCREEN = 1", "LGRAPH = 3", "LSTEP = 4",        "IC(2) = 3",
                                           "DLX = 0",     "SCLT = 1"};
    for (const std::string& w : want) EXPECT_NE(std::find(chk.begin(), chk.end(), w), chk.end()) << w;

    // The texts the window shows come back as written.
    NetworkFields back;
    fillNetworkFields(mdl, back);
    EXPECT_EQ(writeText([&](TextWriter& w) { writeNetworkBlocks(mdl, w, 3, back, KeyStyle::Mixed); }), mixed);
}

// An empty index list leaves NK = 0, X1 zero, and consumes the empty value line after it.
TEST_F(Autonomous, EmptyInitialListSkipsItsValueLine) {
    mdl.X1(2) = 7;
    const std::string text = "a\r\nb\r\ni1,...:\r\n\r\nX(i1),...:\r\n\r\nnext\r\n";
    std::string after;
    readText(mdl, text, [&](ParReader& r) {
        readInitialData(r, 2, 3);
        after = r.in().readLine();
    });
    EXPECT_EQ(mdl.NK, 0);
    EXPECT_EQ(mdl.X1(2), 0);
    EXPECT_EQ(after, "next");
}

// Sections 1.1, 2.1 and 8 read at most min(NDIM, 13) plotted components; 5.1.1 and 5.2.1
// read up to NDIM and refuse more than the 13 slots of IC.
TEST_F(Autonomous, PlotListLimitAndRefusal) {
    mdl.NDIM = 14;
    const std::string list = "h\r\nh\r\nIC(I):\r\n1,2,3,4,5,6,7,8,9,10,11,12,13,14\r\n";
    readText(mdl, list, [](ParReader& r) { readPlotList(r, 6, 13); });
    EXPECT_EQ(mdl.NCOMP, 13);
    EXPECT_EQ(mdl.IC(13), 13);
    try {
        readText(mdl, list, [](ParReader& r) { readPlotList(r, 6, 20); });
        FAIL() << "a list of 14 was accepted";
    } catch (const VeltaError& e) {
        EXPECT_STREQ(e.what(), "Число компонент графика NCOMP должно быть не больше 12 (в списке 14)");
    }
}

// A listed number outside 1..NDIM is refused on its own line, naming the list.
TEST_F(Autonomous, BadListsAreRefusedOnTheirLine) {
    const struct {
        std::string text, message;
    } cases[] = {
        {"h\r\nh\r\ni1,...:\r\n1,0\r\nX(i1),...:\r\n1,2\r\n",
         "Ошибка чтения файла t.dat, строка 4: ожидалось INK(2) от 1 до NDIM = 3, прочитано «0»"},
        {"h\r\nh\r\ni1,...:\r\n4\r\nX(i1),...:\r\n1\r\n",
         "Ошибка чтения файла t.dat, строка 4: ожидалось INK(1) от 1 до NDIM = 3, прочитано «4»"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            throwsMessage([&] { readText(mdl, c.text, [](ParReader& r) { readInitialData(r, 2, 3); }); }),
            c.message);
    EXPECT_EQ(throwsMessage([&] {
                  readText(mdl, "h\r\nh\r\nIC(I):\r\n-1,2,3\r\n",
                           [](ParReader& r) { readPlotList(r, 6, 3); });
              }),
              "Ошибка чтения файла t.dat, строка 4: ожидалось IC(1) от 1 до NDIM = 3, прочитано «-1»");
}

// The refusals name the quantity the section uses, and the count message is the section's.
TEST_F(Autonomous, LimitMessagesCarryTheSectionsNames) {
    auto& g = mdl;
    g.HHH = 0.5;
    g.SCRT = -1;
    EXPECT_EQ(throwsMessage([&] { checkStep(mdl, mdl.SCRT, "SCRT"); }),
              "Конец интервала интегрирования SCRT не должен быть отрицательным (SCRT = -1)");
    g.TMAX = 1e12;
    EXPECT_EQ(throwsMessage([&] { checkStep(mdl); }),
              "Слишком много шагов интегрирования: TMAX/HHH = 2000000000000 (допустимо не более "
              "2147483646)");
    g.TMAX = 10;
    EXPECT_EQ(throwsMessage([&] { checkStep(mdl); }), "");

    g.LGRAPH = 1;
    g.NSC = 1;
    g.INK.alloc(0);
    g.NCOMP = 13;
    for (int i = 1; i <= 13; ++i) g.IC(i) = 1;
    EXPECT_EQ(throwsMessage([&] { checkPlotList(mdl, 13); }), "");
    EXPECT_EQ(throwsMessage([&] { checkPlotList(mdl, 12); }),
              "Число компонент графика NCOMP должно быть не больше 12 (NCOMP = 13)");
    EXPECT_EQ(throwsMessage([&] { checkNetworkRun(mdl); }),
              "На график можно вывести не более 12 компонент (NCOMP = 13)");
    g.NCOMP = 1;
    g.IC(1) = 4;
    EXPECT_EQ(throwsMessage([&] { checkPlotList(mdl, 12); }),
              "Номер компоненты графика IC(1) = 4 вне диапазона 1..NDIM (NDIM = 3)");
    g.IC(1) = 3;
    g.LGRAPH = 3;
    EXPECT_EQ(throwsMessage([&] { checkPlotList(mdl, 12); }),
              "При LGRAPH = 3 нужны две компоненты графика i1, i2 (NCOMP = 1)");

    g.HHH = 2;
    EXPECT_EQ(throwsMessage([&] { checkStepForRates(mdl, 350, "скоростей распада"); }), "");
    EXPECT_EQ(throwsMessage([&] { checkStepForRates(mdl, 351, "скоростей распада"); }),
              "Шаг интегрирования HHH слишком велик для скоростей распада: HHH * 351 = 702 "
              "(допустимо не более 700)");
}

// A crossing between the two points gives the interpolated point; two points on the plane
// (d = 0) give the first one; no crossing draws nothing.
TEST_F(Autonomous, PoincareTestInterpolatesAndGuardsTheDivision) {
    auto& g = mdl;
    g.FP(1) = 1;  // plane X(1) = 0.5
    g.XP(1) = 0.5;
    const double a[4] = {0, 0, 1, 2};
    const double b[4] = {0, 1, 3, 4};
    poincareTest(c, a, b, 3);
    EXPECT_DOUBLE_EQ(g.XCROSS(1), 0.5);
    EXPECT_DOUBLE_EQ(g.XCROSS(2), 2);
    EXPECT_DOUBLE_EQ(g.XCROSS(3), 3);

    g.XCROSS.fill(-9);
    const double c1[4] = {0, 0.5, 1, 2};
    const double c2[4] = {0, 0.5, 7, 8};
    poincareTest(c, c1, c2, 3);  // both on the plane: lambda = 0
    EXPECT_EQ(g.XCROSS(2), 1);
    EXPECT_EQ(g.XCROSS(3), 2);

    g.XCROSS.fill(-9);
    const double d1[4] = {0, 0.6, 1, 2};
    poincareTest(c, d1, b, 3);  // same side
    EXPECT_EQ(g.XCROSS(1), -9);
}

// The question comes every LSTEP steps with the section's title; an answer ends it.
TEST_F(Autonomous, PortionQuestionEveryLstepUntilAnswered) {
    mdl.LSTEP = 3;
    ui.answers = {"", "x"};
    for (i32 j = 1; j <= 12; ++j) portionQuestion(c, j, "   T");
    ASSERT_EQ(ui.inputs.size(), 2u);  // j = 3 (empty: go on by portions), j = 6 (answered)
    EXPECT_EQ(ui.inputs[0].title, "   T");
    EXPECT_EQ(ui.inputs[0].prompt,
              "Для непрерывного вывода введите любой символ,\nпри вводе пустой строки или "
              "нажатии 'Cancel' \n- вывод порциями");
    EXPECT_EQ(mdl.LSTEP, 0);
}

// The period is the step of the smallest W after TMIN; W that is not finite stops the run.
TEST_F(Autonomous, PeriodSearchAndFiniteCheck) {
    auto& g = mdl;
    g.TMIN = 0.9;
    double wmin = 1.0E10;
    const double w[] = {0.1, 0.5, 0.3, 0.4};
    for (int j = 1; j <= 4; ++j) {
        g.W = w[j - 1];
        periodSearch(mdl, wmin, (j - 1) * 0.5, j, 0.5);
    }
    EXPECT_EQ(g.PERIOD, 1.5);  // j = 3: 0.1 and 0.5 came before TMIN, 0.4 is larger
    g.W = NAN;
    EXPECT_EQ(throwsMessage([&] { checkFinite(mdl, 7, 0.03); }),
              "Счёт прерван: на шаге j = 7, t = 3.00000E-02 получено нечисловое значение "
              "(переполнение)");
}

// Rows at j = 1 and every NSC steps, with the section's step mask, NROW counted.
TEST_F(Autonomous, TableRows) {
    auto& g = mdl;
    g.NSC = 4;
    std::vector<i32> rows;
    for (i32 j = 1; j <= 9; ++j)
        if (tableStep(mdl, j)) rows.push_back(j);
    EXPECT_EQ(rows, (std::vector<i32>{1, 4, 8}));
    g.X1(1) = 1;
    g.X1(2) = -2;
    const std::vector<std::string> l = linesOf(writeText([&](TextWriter& w) {
        writeTableRow(mdl, w, 12, 0.5, "0000");
        writeTableRow(mdl, w, 12, 0.5, "000000");
    }));
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0], "0012   5.00000E-01   1.00000E+00   -2.00000E+00   0.00000E+00   ");
    EXPECT_EQ(l[1], "000012   5.00000E-01   1.00000E+00   -2.00000E+00   0.00000E+00   ");
    EXPECT_EQ(g.NROW, 2);
}

// psi_k(0) = 1/k; the series and the recurrence agree where they meet (|z| = 0.1).
TEST(AutonomousPsi, SeriesMeetsRecurrence) {
    double p[7], q[7];
    psiInto(0, p);
    for (int k = 1; k <= 6; ++k) EXPECT_DOUBLE_EQ(p[k], 1.0 / k);
    psiInto(0.1, p);                       // series
    psiInto(std::nextafter(0.1, 1.0), q);  // recurrence
    // The series is cut after z^4, so they agree to about z^5/5! there.
    for (int k = 1; k <= 6; ++k) EXPECT_NEAR(p[k], q[k], 1e-7) << k;
    // psi_1(z) = (1 - e^-z)/z exactly on the recurrence side.
    psiInto(2, q);
    EXPECT_DOUBLE_EQ(q[1], (1 - std::exp(-2.0)) / 2);
}

namespace {

// dX/dt = 2 - X for every component, through the exact unit decay step: the integrator's
// result is the exact solution whatever its predictor does. The hooks are logged.
template <StepCount K, bool Ask>
struct DecayStepper {
    static constexpr AutonomousPlan plan{11, 0, "Results.tst", Ask ? "   T" : nullptr, false, true, false, K};
    explicit DecayStepper(Store& store) : g(store) {}
    Store& g;
    std::string log;
    int corrections = 0, nanAt = 0;  // nanAt > 0: the corrector gives NaN at that call
    double *f1 = nullptr, *f2 = nullptr;

    void check() { log += "check "; }
    void prepare() {
        setExpWeights(g);
        log += "prepare ";
    }
    void bind() {
        f1 = g.F1.data();
        f2 = g.F2.data();
        log += "bind ";
    }
    void eval1(const double*) {
        for (int i = 1; i <= g.NDIM; ++i) f1[i] = 2;
    }
    void eval2(const double*) {
        for (int i = 1; i <= g.NDIM; ++i) f2[i] = 2;
    }
    double slope(int i, const double* x) const { return f1[i] - x[i]; }
    void correct(const double* x1, double* xnew, int n) {
        unitDecayStep<SumOrder::StateFirst>(x1, f1, f2, xnew, n, g.EHI, g.EC1, g.EC2);
        if (++corrections == nanAt) xnew[1] = NAN;
    }
    void rows(TextWriter& out, i32 j, double) { out.line(std::to_string(j)); }
    void finish(TextWriter& out) {
        out.line("end");
        log += "finish ";
    }
    void afterRun() { log += "after"; }
};

class AutonomousRun : public Autonomous {
protected:
    void SetUp() override {
        Autonomous::SetUp();
        auto& g = mdl;
        g.HHH = 0.5;
        g.TMAX = 1.75;  // TMAX/HHH = 3.5: CLng gives 4 steps, Int 3
        g.LSTEP = 2;
        g.LGRAPH = 1;
        g.NSC = 1;
        g.SCRX = 3;
        for (int i = 1; i <= 3; ++i) g.X1(i) = 0;
        ui.answers = {"", "", ""};
        ui.inputs.clear();
    }
};

}  // namespace

// The hooks in the scheme's order, the step count by the plan's rounding, the portion
// question only where the plan asks it, X1 at the end the exact solution 2(1 - e^-t).
TEST_F(AutonomousRun, HooksStepCountPortionsAndTheSolution) {
    auto run = [&](auto s, i32 steps, std::size_t questions) {
        SetUp();
        AutonomousIntegr(c, s);
        EXPECT_EQ(s.log, "check prepare bind finish after");
        EXPECT_EQ(s.corrections, steps + 1);
        EXPECT_EQ(mdl.NSTEP, steps);
        EXPECT_EQ(ui.inputs.size(), questions);
        EXPECT_EQ(readAllLines(app.path("User/Results.tst")).back(), "end");
        for (int i = 1; i <= 3; ++i) EXPECT_NEAR(mdl.X1(i), 2 * (1 - std::exp(-0.5 * (steps + 1))), 1e-14);
    };
    run(DecayStepper<StepCount::Round, true>{mdl}, 4, 2);  // questions at j = 2 and 4
    run(DecayStepper<StepCount::Floor, true>{mdl}, 3, 2);
    run(DecayStepper<StepCount::Round, false>{mdl}, 4, 0);
}

// A non-finite step ends the run naming it: the rows so far stay, and neither the closing
// lines nor the after-run hook come.
TEST_F(AutonomousRun, NonFiniteStepSkipsTheClosingHooks) {
    DecayStepper<StepCount::Round, false> s{mdl};
    s.nanAt = 3;
    EXPECT_NE(throwsMessage([&] { AutonomousIntegr(c, s); }).find("j = 3"), std::string::npos);
    EXPECT_EQ(s.log, "check prepare bind ");
    EXPECT_EQ(readAllLines(app.path("User/Results.tst")), (std::vector<std::string>{"1", "2", "3"}));
}
