#include "stationary/section215/sec215.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "support/files.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace velta;
using velta::test::bytesOf;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> linesOf(const std::string& path) { return readAllLines(path); }

std::vector<double> numbersOf(const std::string& line) {
    std::vector<double> v;
    std::istringstream in(line);
    std::string w;
    while (in >> w) v.push_back(std::stod(w));
    return v;
}

// The network's own equations, written out independently of the section's model:
// F_k = ALFA / (1 + BETA * sum over MC(k,i) = 1 of x_i^GAMA) - x_k.
std::vector<double> networkF(const Mat& mc, double alfa, double beta, double gama,
                             const std::vector<double>& x) {
    const int n = static_cast<int>(x.size());
    std::vector<double> f(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k) {
        double s = 0;
        for (int i = 1; i <= n; ++i)
            if (mc(k, i) == 1) s += std::pow(x[static_cast<std::size_t>(i - 1)], gama);
        f[static_cast<std::size_t>(k - 1)] = alfa / (1 + beta * s) - x[static_cast<std::size_t>(k - 1)];
    }
    return f;
}

// A ".srRd" text with two header lines "Hk" / "--" per block.
struct Srrd {
    std::string ndim = "3", alfa = "2.5", beta = "1", gama = "3";
    std::vector<std::string> matrix = {"0,1,1", "1,0,1", "1,1,0"};
    bool emptyAfterMatrix = true;
    std::string qmin = "0", qmax = "1.5", qsolv = "1", hstep0 = "0.05", nend = "2000", nstep = "100";
    std::string emin = "0.0001", emax = "1", accel = "2", h = "0.1,0.1,0.1,0.02";
    std::string limit0 = "20", limit = "10", exact = "1E-10";
    std::string lmax = "40", fferr = "0.0001", uuerr = "0.001";

    std::string text() const {
        std::string s;
        auto L = [&](const std::string& l) { s += l + "\r\n"; };
        auto H = [&](int k) {
            L("H" + std::to_string(k));
            L("--");
        };
        H(1);
        L("MCLASS = 1");
        L("NDIM = " + ndim);
        L("ALFA = " + alfa);
        L("BETA = " + beta);
        L("GAMA = " + gama);
        H(2);
        for (const auto& r : matrix) L(r);
        if (emptyAfterMatrix) L("");
        H(3);
        L("QMIN = " + qmin);
        L("QMAX = " + qmax);
        L("QSOLV = " + qsolv);
        L("HSTEP0 = " + hstep0);
        L("NEND = " + nend);
        L("NSTEP = " + nstep);
        L("EMIN = " + emin);
        L("EMAX = " + emax);
        L("ACCEL = " + accel);
        H(4);
        L("H(I):");
        L(h);
        H(5);
        L("LIMIT0 = " + limit0);
        L("LIMIT = " + limit);
        L("EXACT = " + exact);
        H(6);
        L("LMAX = " + lmax);
        L("FFERR = " + fferr);
        L("UUERR = " + uuerr);
        return s;
    }
};

class Sec215Test : public ::testing::Test {
protected:
    Store mdl;
    void load(const Srrd& d) {
        app.write("User/t.srRd", d.text());
        sec.dataPath = app.path("User/t.srRd");
        sec.InputPar(c);
    }
    void loadShipped() {
        fs::copy_file(fs::path(VELTA_SOURCE_DIR) / "User" / "Repress3.srRd",
                      fs::path(app.user()) / "Repress3.srRd");
        sec.dataPath = app.path("User/Repress3.srRd");
        sec.InputPar(c);
    }
    std::string user(const std::string& name) const { return app.path("User/" + name); }

    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Sec215 sec;
};

// ---------------------------------------------------------------- data file

TEST_F(Sec215Test, ShippedSampleReadsAndIsWrittenBackByteForByte) {
    loadShipped();
    const auto& g = mdl;
    EXPECT_EQ(g.NDIM, 3);
    EXPECT_DOUBLE_EQ(g.ALFA, 2.5);
    EXPECT_DOUBLE_EQ(g.GAMA, 3);
    EXPECT_DOUBLE_EQ(g.TETA, 2.5 * 1 * 3);
    EXPECT_DOUBLE_EQ(g.MC(1, 1), 0);
    EXPECT_DOUBLE_EQ(g.MC(1, 2), 1);
    EXPECT_DOUBLE_EQ(g.MC(3, 2), 1);
    EXPECT_DOUBLE_EQ(sec.QSOLV, 1);
    EXPECT_DOUBLE_EQ(sec.HSTEP, 0.05);
    EXPECT_EQ(sec.NSTEP, 100);
    EXPECT_DOUBLE_EQ(sec.H(4), 0.02);
    EXPECT_EQ(sec.LIMIT0, 20);
    EXPECT_DOUBLE_EQ(sec.EXACT, 1e-10);
    EXPECT_EQ(sec.LMAX, 40);
    EXPECT_DOUBLE_EQ(sec.UUERR, 0.001);

    const std::vector<std::string> chk = linesOf(user("Input.chk"));
    const std::vector<std::string> want = {"MCLASS = 1",     "NDIM = 3",     "0   1   1   ",  "HSTEP0 = 0.05",
                                           "NSTEP = 100",    "H(4) = 0.02",  "EXACT = 1E-10", "LMAX = 40",
                                           "FFERR = 0.0001", "UUERR = 0.001"};
    for (const std::string& w : want) EXPECT_NE(std::find(chk.begin(), chk.end(), w), chk.end()) << w;

    const Sec215::Fields f = sec.fieldsFromStore(mdl);
    mdl.NDIM = 7;  // written at the grids' size; the store's NDIM is left alone
    Sec215::Table_File(mdl, user("back.srRd"), f);
    EXPECT_EQ(bytesOf(user("back.srRd")), bytesOf(user("Repress3.srRd")));
    EXPECT_EQ(mdl.NDIM, 7);
}

TEST_F(Sec215Test, MatrixWithoutTheEmptyLineReadsTheSame) {
    Srrd d;
    d.emptyAfterMatrix = false;
    d.matrix = {"0,1,1", "1,0,1", "1,1,0"};
    load(d);
    EXPECT_DOUBLE_EQ(sec.QMAX, 1.5);
    EXPECT_DOUBLE_EQ(sec.UUERR, 0.001);
    // The matrix written with a line break inside a row is one stream of numbers.
    d.emptyAfterMatrix = true;
    d.matrix = {"0,1", "1,1,0,1", "1,1,0"};
    load(d);
    EXPECT_DOUBLE_EQ(mdl.MC(2, 1), 1);
    EXPECT_DOUBLE_EQ(mdl.MC(2, 2), 0);
    EXPECT_DOUBLE_EQ(sec.LIMIT, 10);
}

// ---------------------------------------------------------------- model

// The analytic Jacobian against central differences, for a network with self-links
// (MC(k,k) = 1 must add the self-link's derivative to the -1 of the decay).
TEST(Sec215Model, JacobianMatchesDifferencesAlsoWithSelfLinks) {
    Mat mc(3, 3);
    const int links[3][3] = {{1, 1, 0}, {0, 1, 1}, {1, 0, 1}};
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) mc(i, j) = links[i - 1][j - 1];
    Sec215::Model m;
    m.setup(3);
    m.mc = &mc;
    m.alfa = 2.5;
    m.beta = 1.3;
    m.gama = 2.2;
    m.teta = m.alfa * m.beta * m.gama;
    m.S0.alloc(3);
    m.S0(1) = 0.7;
    m.S0(2) = 1.9;
    m.S0(3) = 0.4;
    const double y[4] = {0, 0.8, 1.3, 0.45};
    for (int i = 1; i <= 3; ++i) m.Y(i) = y[i];
    m.Y(4) = 0.37;
    m.FUNCp();
    const Mat A = m.A;
    for (int k = 1; k <= 4; ++k) {
        const double h = 1e-6;
        Vec up(3), dn(3);
        const double keep = m.Y(k);
        m.Y(k) = keep + h;
        m.FUNCp();
        for (int i = 1; i <= 3; ++i) up(i) = m.DY(i);
        m.Y(k) = keep - h;
        m.FUNCp();
        for (int i = 1; i <= 3; ++i) dn(i) = m.DY(i);
        m.Y(k) = keep;
        for (int i = 1; i <= 3; ++i)
            EXPECT_NEAR(A(i, k), (up(i) - dn(i)) / (2 * h), 1e-7) << "A(" << i << "," << k << ")";
    }
    // The self-link term is really there: A(1,1) differs from -1.
    EXPECT_LT(A(1, 1), -1.01);
}

// The homotopy weights make the random point a solution at QMOD = 0, and at QMOD = 1 the
// model is the network itself.
TEST(Sec215Model, RandomPointSolvesTheHomotopyAtZeroAndNetworkAtOne) {
    Mat mc(3, 3);
    const int links[3][3] = {{0, 1, 1}, {1, 0, 1}, {1, 1, 1}};
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) mc(i, j) = links[i - 1][j - 1];
    Sec215::Model m;
    m.setup(3);
    m.mc = &mc;
    m.alfa = 4;
    m.beta = 0.5;
    m.gama = 2;
    m.teta = 4 * 0.5 * 2;
    m.S0.alloc(3);
    std::mt19937 gen(5);
    for (int t = 0; t < 20; ++t) {
        for (int i = 1; i <= 3; ++i) m.Y(i) = std::uniform_real_distribution<double>(0.01, 3.99)(gen);
        m.Y(4) = 0;
        m.homotopyWeights();
        m.FUNCp();
        for (int i = 1; i <= 3; ++i) EXPECT_NEAR(m.DY(i), 0, 1e-12);
        m.Y(4) = 1;
        m.FUNCp();
        const std::vector<double> f = networkF(mc, 4, 0.5, 2, {m.Y(1), m.Y(2), m.Y(3)});
        for (int i = 1; i <= 3; ++i) EXPECT_NEAR(m.DY(i), f[static_cast<std::size_t>(i - 1)], 1e-13);
    }
}

TEST(Sec215Rnd, SameSeedSameSequenceInUnitInterval) {
    Sec215::Rnd a(42), b(42), d(43);
    bool differs = false;
    for (int i = 0; i < 1000; ++i) {
        const double x = a.next(), y = b.next(), z = d.next();
        EXPECT_EQ(x, y);
        EXPECT_GE(x, 0);
        EXPECT_LT(x, 1);
        differs = differs || x != z;
    }
    EXPECT_TRUE(differs);
    EXPECT_GT(Sec215::clockSeed(), 0);
}

// ---------------------------------------------------------------- selection

// A QSOLV0 file written by writeRecord: NDIM = 2, FFERR = 1E-3, UUERR = 1E-2.
TEST_F(Sec215Test, MultypKeepsDistinctSolutionsAndDropsDuplicatesAndLargeResiduals) {
    {
        auto w = TextWriter::create(user("QSOLV0.srR"));
        w->line(Format(2, "0000"));
        w->line(Format(10, "0000"));
        w->line(Format(1e-3, "0.00000E+00"));
        w->line(Format(1e-2, "0.00000E+00"));
        auto rec = [&](int k, double x1, double x2, double e1, double e2) {
            Vec x(2), f(2);
            x(1) = x1;
            x(2) = x2;
            f(1) = e1;
            f(2) = e2;
            Sec215::writeRecord(*w, k, x, f, 2);
        };
        rec(1, 1.0, 2.0, 1e-12, -2e-12);     // kept
        rec(2, 1.003, 2.004, 0, 0);          // distance 0.005 < UUERR: a duplicate
        rec(3, 3.0, 0.5, 5e-3, 0);           // residual too large
        rec(4, 1.012, 2.016, 0, 0);          // distance 0.02 from 1: kept
        rec(5, 0.25, 0.125, -1e-4, 9.9e-4);  // kept
        rec(6, 3.0, 0.5, 0, 1e-3);           // residual exactly FFERR: dropped
        rec(7, 0.25, 0.125, 0, 0);           // the same as 5
    }
    const int nsol = Sec215::MULTYp(user("QSOLV0.srR"), user("QSOLV.srR"));
    EXPECT_EQ(nsol, 3);
    const std::vector<std::string> want = {
        "",
        "РЕШЕНИЕ 1 ( 1 )",
        "   x(i)          err[f(i)]",
        "-----------------------------",
        "1.00000E+00   1E-12 ",
        "2.00000E+00  -2E-12 ",
        "",
        "РЕШЕНИЕ 2 ( 4 )",
        "   x(i)          err[f(i)]",
        "-----------------------------",
        "1.01200E+00   0 ",
        "2.01600E+00   0 ",
        "",
        "РЕШЕНИЕ 3 ( 5 )",
        "   x(i)          err[f(i)]",
        "-----------------------------",
        "2.50000E-01  -0.0001 ",
        "1.25000E-01   0.00099 ",
    };
    EXPECT_EQ(linesOf(user("QSOLV.srR")), want);
    // The file bytes are Windows-1251 with CR LF.
    EXPECT_NE(bytesOf(user("QSOLV.srR")).find("\r\n\xD0\xC5\xD8\xC5\xCD\xC8\xC5 1 ( 1 )\r\n"),
              std::string::npos);
}

TEST_F(Sec215Test, MultypOfAnEmptyRecordFileFindsNothing) {
    app.write("User/QSOLV0.srR", "");
    EXPECT_EQ(Sec215::MULTYp(user("QSOLV0.srR"), user("QSOLV.srR")), 0);
    EXPECT_TRUE(app.exists("User/QSOLV.srR"));
    EXPECT_EQ(bytesOf(user("QSOLV.srR")), "");
    // A record cut short is an error, not a silent selection.
    app.write("User/QSOLV0.srR", "0002\r\n0010\r\n1.0E-03\r\n1.0E-02\r\n0001  1.0  2.0\r\n");
    EXPECT_THROW(Sec215::MULTYp(user("QSOLV0.srR"), user("QSOLV.srR")), VeltaError);
}

// ---------------------------------------------------------------- runs

// The shipped sample: all seven stationary solutions of the three mutual repressors, each
// satisfying F = 0 to the accuracy of its printed digits; the files keep their layout.
TEST_F(Sec215Test, ShippedSampleFindsSevenDistinctSolutionsSatisfyingTheNetwork) {
    loadShipped();
    mdl.SEED = 42;
    sec.Integr1(c);
    EXPECT_EQ(sec.seedUsed, 42);
    EXPECT_FALSE(sec.capped);
    EXPECT_EQ(sec.recorded, 40);
    EXPECT_GE(sec.attempts, 40);
    EXPECT_EQ(sec.NSOL, 7);
    // The canvas is emptied and nothing is drawn on it.
    ASSERT_EQ(surf.calls.size(), 1u);
    EXPECT_EQ(surf.calls[0].kind, velta::test::DrawCall::Kind::Clear);

    // Progress bar over 1..LMAX, the status texts, the final message, the seed.
    EXPECT_EQ(ui.progressMax, 40);
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_EQ(ui.progress.front(), 1);
    EXPECT_EQ(ui.progress.back(), 40);
    ASSERT_GE(ui.notes.size(), 3u);
    EXPECT_EQ(ui.notes.front(), "Начальное значение датчика случайных чисел  SEED = 42");
    EXPECT_EQ(ui.notes[1], " Число продолжений: 1");
    EXPECT_NE(std::find(ui.notes.begin(), ui.notes.end(), " Число продолжений: 40"), ui.notes.end());
    EXPECT_EQ(ui.notes.back(), ui.notes.front());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Число решений: 7");
    EXPECT_EQ(ui.messages[0].title, "   VELTA");

    // QSOLV0.srR: the header, then two lines per record with its refined residuals.
    const std::vector<std::string> q0 = linesOf(user("QSOLV0.srR"));
    ASSERT_EQ(q0.size(), 4u + 2 * 40);
    EXPECT_EQ(q0[0], "0003");
    EXPECT_EQ(q0[1], "0040");
    EXPECT_EQ(q0[2], "1.00000E-04");
    EXPECT_EQ(q0[3], "1.00000E-03");
    EXPECT_EQ(q0[4].substr(0, 6), "0001  ");
    EXPECT_EQ(q0[5].substr(0, 6), "      ");
    for (std::size_t r = 5; r < q0.size(); r += 2)
        for (double e : numbersOf(q0[r])) EXPECT_LT(std::fabs(e), 1e-9) << q0[r];

    // QSOLV.srR: seven blocks; each printed solution solves the network to its printed
    // digits: |F| is within what a rounding of 5 units of the 6th digit can make.
    const Mat& mc = mdl.MC;
    const std::vector<std::string> q = linesOf(user("QSOLV.srR"));
    std::vector<std::vector<double>> sols;
    for (std::size_t i = 0; i < q.size(); ++i) {
        if (q[i].rfind("РЕШЕНИЕ", 0) != 0) continue;
        std::vector<double> x;
        for (int k = 0; k < 3; ++k) x.push_back(numbersOf(q[i + 3 + static_cast<std::size_t>(k)])[0]);
        sols.push_back(x);
    }
    ASSERT_EQ(sols.size(), 7u);
    for (const auto& x : sols) {
        const double xmax = *std::max_element(x.begin(), x.end());
        const double delta = 5e-6 * xmax;  // half a unit of the last printed digit, at most
        const std::vector<double> f = networkF(mc, 2.5, 1, 3, x);
        // Lipschitz bound of F: 1 + ALFA*BETA*GAMA*x^(GAMA-1) summed over a row, at most.
        const double lip = 1 + 2 * 2.5 * 3 * xmax * xmax;
        for (double fi : f) EXPECT_LT(std::fabs(fi), lip * delta) << x[0] << " " << x[1] << " " << x[2];
        for (const auto& y : sols)
            if (&x != &y) {
                double d = 0;
                for (int k = 0; k < 3; ++k)
                    d += (x[static_cast<std::size_t>(k)] - y[static_cast<std::size_t>(k)]) *
                         (x[static_cast<std::size_t>(k)] - y[static_cast<std::size_t>(k)]);
                EXPECT_GE(std::sqrt(d), 1e-3);
            }
    }
    // The symmetric solution u = 2.5 / (1 + 2u^3) is among them.
    double u = 1;
    for (int i = 0; i < 200; ++i)
        u -= (2.5 / (1 + 2 * u * u * u) - u) / (-2.5 * 6 * u * u / std::pow(1 + 2 * u * u * u, 2) - 1);
    bool symmetric = false;
    for (const auto& x : sols)
        symmetric = symmetric || (std::fabs(x[0] - u) < 1e-5 && std::fabs(x[2] - u) < 1e-5);
    EXPECT_TRUE(symmetric) << u;

    // Results.srR: the points of the last attempt from QMOD = 0 to the QSOLV crossing.
    const std::vector<std::string> res = linesOf(user("Results.srR"));
    ASSERT_GE(res.size(), 3u);
    EXPECT_EQ(res[0], " ISTEP, INDEX, QMOD, Y(I) =====>");
    EXPECT_EQ(res[1].substr(0, 25), "0000 0004  0.00000000E+00");
    EXPECT_EQ(res[1].size(), 4u + 5 + 16 * 4);
    EXPECT_GE(numbersOf(res.back())[2], 1.0);
}

TEST_F(Sec215Test, SameSeedRepeatsTheRunAndAnotherSeedDoesNot) {
    loadShipped();
    sec.LMAX = 6;
    mdl.SEED = 7;
    sec.Integr1(c);
    const std::string first = bytesOf(user("QSOLV0.srR"));
    sec.Integr1(c);
    EXPECT_EQ(bytesOf(user("QSOLV0.srR")), first);
    mdl.SEED = 8;
    sec.Integr1(c);
    EXPECT_NE(bytesOf(user("QSOLV0.srR")), first);
    // Without a seed the clock gives one, and it is reported.
    mdl.SEED = -1;
    ui.notes.clear();
    sec.Integr1(c);
    EXPECT_GT(sec.seedUsed, 0);
    EXPECT_EQ(ui.notes.front(), "Начальное значение датчика случайных чисел  SEED = " +
                                    CStr(static_cast<long long>(sec.seedUsed)));
}

// No continuation can succeed (Newton may not converge in one iteration at the start):
// the attempts stop at 20*LMAX with a message, and the empty selection is still written.
TEST_F(Sec215Test, AttemptsAreCappedWhenNothingReachesQsolv) {
    loadShipped();
    sec.LMAX = 3;
    sec.LIMIT0 = 1;
    sec.EXACT = 1e-300;
    mdl.SEED = 1;
    app.write("User/QSOLV.srR", "old");
    sec.Integr1(c);
    EXPECT_TRUE(sec.capped);
    EXPECT_EQ(sec.attempts, 60);
    EXPECT_EQ(sec.recorded, 0);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text,
              "Число попыток продолжения достигло предела 60 (20 * LMAX):\nзаписано решений 0 из LMAX = 3");
    EXPECT_EQ(ui.messages[1].text, "Число решений: 0");
    EXPECT_EQ(bytesOf(user("QSOLV0.srR")), "");
    EXPECT_EQ(bytesOf(user("QSOLV.srR")), "");
    EXPECT_FALSE(ui.progressVisible);
}

// Most continuations fail (two Newton iterations, a large minimal step): what was found
// before the cap is still selected and written.
TEST_F(Sec215Test, CappedRunStillWritesWhatWasFound) {
    loadShipped();
    sec.LMAX = 5;
    sec.LIMIT = 2;
    sec.EMIN = 0.4;
    mdl.SEED = 42;
    sec.Integr1(c);
    EXPECT_TRUE(sec.capped);
    EXPECT_EQ(sec.attempts, 100);
    ASSERT_GE(sec.recorded, 1);
    EXPECT_LT(sec.recorded, 5);
    EXPECT_EQ(linesOf(user("QSOLV0.srR")).size(), 4u + 2 * static_cast<std::size_t>(sec.recorded));
    EXPECT_GE(sec.NSOL, 1);
    EXPECT_EQ(ui.messages.back().text, "Число решений: " + CStr(sec.NSOL));
}

TEST_F(Sec215Test, PortionBoxEveryNendSteps) {
    loadShipped();
    sec.LMAX = 1;
    sec.NEND = 3;
    mdl.SEED = 42;
    sec.Integr1(c);
    std::size_t more = 0;
    for (const auto& m : ui.messages)
        if (m.text == "Дальше") {
            ++more;
            EXPECT_EQ(m.icon, MsgIcon::Information);
            EXPECT_EQ(m.title, "   VELTA");
        }
    const std::vector<std::string> res = linesOf(user("Results.srR"));
    const int steps = static_cast<int>(numbersOf(res.back())[0]);
    EXPECT_GE(steps, 3);
    EXPECT_GE(more, 1u);
}

// ---------------------------------------------------------------- limits

TEST_F(Sec215Test, BadInputIsRefusedBeforeAnythingRuns) {
    struct Case {
        void (*edit)(Srrd&);
        std::string message;
    };
    const Case cases[] = {
        {[](Srrd& d) { d.emin = "0"; }, "Ограничение на шаг EMIN должно быть больше 0 (EMIN = 0)"},
        {[](Srrd& d) { d.exact = "-1"; }, "Точность метода EXACT должна быть больше 0 (EXACT = -1)"},
        {[](Srrd& d) { d.limit = "0"; },
         "Ограничение на число итераций LIMIT должно быть не меньше 1 (LIMIT = 0)"},
        {[](Srrd& d) { d.limit0 = "0"; },
         "Ограничение на число итераций LIMIT0 должно быть не меньше 1 (LIMIT0 = 0)"},
        {[](Srrd& d) {
             d.qmin = "2";
             d.qmax = "1.5";
         },
         "Левая граница QMIN должна быть меньше правой QMAX (QMIN = 2, QMAX = 1.5)"},
        {[](Srrd& d) { d.h = "0.1,0,0.1,0.02"; }, "Стандартный шаг H(2) должен быть больше 0 (H(2) = 0)"},
        {[](Srrd& d) {
             d.matrix = {"0,1,1", "0,0,0", "1,1,0"};
         },
         "Элемент 2 не имеет регуляторных связей (в строке 2 матрицы MC нет единиц):\nпостроить гомотопию "
         "для такой сети нельзя"},
        {[](Srrd& d) { d.beta = "0"; }, "Параметр BETA должен быть больше 0 (BETA = 0)"},
        {[](Srrd& d) { d.alfa = "-1"; }, "Параметр ALFA должен быть больше 0 (ALFA = -1)"},
        {[](Srrd& d) { d.hstep0 = "-0.05"; }, "Стартовый шаг HSTEP0 должен быть больше 0 (HSTEP0 = -0.05)"},
        {[](Srrd& d) { d.qmin = "0.1"; },
         "Продолжение начинается при QMOD = 0: QMIN должно быть не больше 0 (QMIN = 0.1)"},
        {[](Srrd& d) { d.qsolv = "1.6"; },
         "Значение QSOLV должно лежать в интервале 0 < QSOLV <= min(QMAX, 2) (QSOLV = 1.6, QMAX = 1.5)"},
        {[](Srrd& d) { d.lmax = "0"; }, "Число продолжений LMAX должно быть не меньше 1 (LMAX = 0)"},
        {[](Srrd& d) { d.nend = "0"; }, "Ограничение на число шагов NEND должно быть не меньше 1 (NEND = 0)"},
        {[](Srrd& d) { d.fferr = "0"; }, "Оценка невязки правых частей FERR должна быть больше 0 (FERR = 0)"},
    };
    app.write("User/Results.srR", "old results");
    app.write("User/QSOLV0.srR", "old records");
    for (const Case& cs : cases) {
        Srrd d;
        cs.edit(d);
        load(d);
        try {
            sec.Integr1(c);
            ADD_FAILURE() << "not refused: " << cs.message;
        } catch (const VeltaError& e) {
            EXPECT_EQ(std::string(e.what()), cs.message);
        }
        EXPECT_EQ(bytesOf(user("Results.srR")), "old results");
        EXPECT_EQ(bytesOf(user("QSOLV0.srR")), "old records");
        EXPECT_TRUE(ui.notes.empty());
    }
    // NDIM above the capacity is refused by the reading itself.
    Srrd big;
    big.ndim = "21";
    app.write("User/big.srRd", big.text());
    sec.dataPath = app.path("User/big.srRd");
    EXPECT_THROW(sec.InputPar(c), VeltaError);
}

}  // namespace
