#include "stationary/section217/sec217.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "support/files.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace velta;
using velta::test::bytesOf;
using velta::test::DrawCall;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> v;
    std::istringstream in(line);
    std::string w;
    while (in >> w) v.push_back(w);
    return v;
}

// Half a unit of the last printed digit of a number printed as "d.dddddE+xx".
double halfUlp(const std::string& text) {
    const std::size_t e = text.find('E');
    const std::size_t dot = text.find('.');
    const int decimals = static_cast<int>(e - dot - 1);
    const int exponent = std::stoi(text.substr(e + 1));
    return 0.5 * std::pow(10.0, exponent - decimals);
}

Mat matrix(std::initializer_list<std::initializer_list<double>> rows) {
    const int n = static_cast<int>(rows.size());
    Mat m(n, static_cast<int>(rows.begin()->size()));
    int i = 0;
    for (const auto& r : rows) {
        int j = 0;
        for (double v : r) m(i + 1, ++j) = v;
        ++i;
    }
    return m;
}

// The network of the shipped sample, written out independently of the section's model.
struct Network {
    Mat mc;
    double beta = 1, gama = 1.6;
    std::vector<double> F(const std::vector<double>& y, double alfa) const {
        std::vector<double> f;
        for (int i = 1; i <= mc.rows(); ++i) {
            double s = 0;
            for (int j = 1; j <= mc.rows(); ++j)
                if (mc(i, j) == 1) s += std::pow(y[static_cast<std::size_t>(j - 1)], gama);
            f.push_back(alfa / (1 + beta * s) - y[static_cast<std::size_t>(i - 1)]);
        }
        return f;
    }
    // Jacobian by differences, the ALFA column last.
    Mat J(const std::vector<double>& y, double alfa) const {
        const int n = mc.rows();
        Mat a(n, n + 1);
        for (int k = 1; k <= n + 1; ++k) {
            std::vector<double> yp = y, ym = y;
            double ap = alfa, am = alfa;
            const double h = 1e-7 *
                             std::max(1.0, k <= n ? std::fabs(y[static_cast<std::size_t>(k - 1)]) : alfa);
            if (k <= n) {
                yp[static_cast<std::size_t>(k - 1)] += h;
                ym[static_cast<std::size_t>(k - 1)] -= h;
            } else {
                ap += h;
                am -= h;
            }
            const auto fp = F(yp, ap), fm = F(ym, am);
            for (int i = 1; i <= n; ++i)
                a(i, k) = (fp[static_cast<std::size_t>(i - 1)] - fm[static_cast<std::size_t>(i - 1)]) /
                          (2 * h);
        }
        return a;
    }
};

// Routh-Hurwitz for a 3x3 Jacobian: all eigenvalues in the left half-plane.
bool hurwitz3(const Mat& j) {
    const double tr = j(1, 1) + j(2, 2) + j(3, 3);
    double m2 = 0;
    for (auto [a, b] : {std::pair{1, 2}, std::pair{1, 3}, std::pair{2, 3}})
        m2 += j(a, a) * j(b, b) - j(a, b) * j(b, a);
    const double det = j(1, 1) * (j(2, 2) * j(3, 3) - j(2, 3) * j(3, 2)) -
                       j(1, 2) * (j(2, 1) * j(3, 3) - j(2, 3) * j(3, 1)) +
                       j(1, 3) * (j(2, 1) * j(3, 2) - j(2, 2) * j(3, 1));
    const double a1 = -tr, a2 = m2, a3 = -det;
    return a1 > 0 && a3 > 0 && a1 * a2 > a3;
}

// A ".diud" text with two header lines "Hk" / "--" per block.
struct Diud {
    std::string ndim = "3", alfa = "1", beta = "1", gama = "1.6";
    std::vector<std::string> matrix = {"1,1,1", "0,1,1", "1,1,0"};
    bool emptyAfterMatrix = true;
    std::string y = "0.6,0.6,0.6";
    std::string qmin = "0.5", qmax = "20", qsolv = "13", hstep = "0.1", emin = "0.001", emax = "1",
                accel = "2";
    std::string limit0 = "20", limit = "10", exact = "1E-10", h = "0.1,0.1,0.1,0.1";
    std::string stab = "10000", nend = "2000", ic = "1,2,3";
    std::string sclx = "0", scrx = "20", scly = "0", scry = "20";

    std::string text() const {
        std::string s;
        auto L = [&](const std::string& l) { s += l + "\r\n"; };
        auto H = [&](int k) {
            L("H" + std::to_string(k));
            L("--");
        };
        H(1);
        L("MClass = 1");
        L("NDIM = " + ndim);
        L("ALFA = " + alfa);
        L("BETA = " + beta);
        L("GAMA = " + gama);
        H(2);
        for (const auto& r : matrix) L(r);
        if (emptyAfterMatrix) L("");
        H(3);
        L("Y(I):");
        L(y);
        H(4);
        L("QMIN = " + qmin);
        L("QMAX = " + qmax);
        L("QSOLV = " + qsolv);
        L("HSTEP = " + hstep);
        L("EMIN = " + emin);
        L("EMAX = " + emax);
        L("ACCEL = " + accel);
        H(5);
        L("LIMIT0 = " + limit0);
        L("LIMIT = " + limit);
        L("EXACT = " + exact);
        H(6);
        L("H(I):");
        L(h);
        H(7);
        L("STAB = " + stab);
        H(8);
        L("NEND = " + nend);
        L("IC(I):");
        L(ic);
        H(9);
        L("SCLX = " + sclx);
        L("SCRX = " + scrx);
        L("SCLY = " + scly);
        L("SCRY = " + scry);
        return s;
    }
};

class Sec217Test : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override { setColours(mdl, false); }
    void load(const Diud& d) {
        app.write("User/t.diud", d.text());
        sec.dataPath = app.path("User/t.diud");
        sec.InputPar(c);
    }
    void loadShipped() {
        fs::copy_file(fs::path(VELTA_SOURCE_DIR) / "User" / "Fold3.diud",
                      fs::path(app.user()) / "Fold3.diud");
        sec.dataPath = app.path("User/Fold3.diud");
        sec.InputPar(c);
    }
    std::string user(const std::string& name) const { return app.path("User/" + name); }
    std::vector<std::string> lines(const std::string& name) const { return readAllLines(user(name)); }
    Network network() const {
        Network net;
        net.mc = mdl.MC;
        net.beta = mdl.BETA;
        net.gama = mdl.GAMA;
        return net;
    }

    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Sec217 sec;
};

// ---------------------------------------------------------------- data file

TEST_F(Sec217Test, ShippedSampleReadsAndIsWrittenBackByteForByte) {
    loadShipped();
    const auto& g = mdl;
    EXPECT_EQ(g.NDIM, 3);
    EXPECT_DOUBLE_EQ(sec.ALFA0, 1);
    EXPECT_DOUBLE_EQ(g.GAMA, 1.6);
    EXPECT_DOUBLE_EQ(g.MC(1, 1), 1);
    EXPECT_DOUBLE_EQ(g.MC(2, 1), 0);
    EXPECT_DOUBLE_EQ(sec.Y0(3), 0.6);
    EXPECT_DOUBLE_EQ(sec.QSOLV, 13);
    EXPECT_DOUBLE_EQ(sec.H(4), 0.1);
    EXPECT_DOUBLE_EQ(sec.STAB, 10000);
    EXPECT_EQ(g.NCOMP, 3);
    EXPECT_EQ(g.IC(3), 3);
    EXPECT_DOUBLE_EQ(sec.SCRY, 20);
    EXPECT_EQ(sec.k.INDEX, 4);
    const std::vector<std::string> chk = lines("Input.chk");
    for (const char* w :
         {"MClass = 1", "1   1   1   ", "Y(1) = 0.6", "H(4) = 0.1", "STAB = 10000", "IC(3) = 3", "SCRY = 20"})
        EXPECT_NE(std::find(chk.begin(), chk.end(), w), chk.end()) << w;

    const Sec217::Fields f = sec.fieldsFromStore(mdl);
    mdl.NDIM = 1;  // written at the grids' size; the store's NDIM is left alone
    Sec217::Table_File(mdl, user("back.diud"), f);
    EXPECT_EQ(bytesOf(user("back.diud")), bytesOf(user("Fold3.diud")));
    EXPECT_EQ(mdl.NDIM, 1);
}

TEST_F(Sec217Test, MatrixWithoutTheEmptyLineReadsTheSame) {
    Diud d;
    d.emptyAfterMatrix = false;
    load(d);
    EXPECT_DOUBLE_EQ(sec.Y0(1), 0.6);
    EXPECT_DOUBLE_EQ(sec.SCRX, 20);
    EXPECT_EQ(mdl.NCOMP, 3);
}

// ---------------------------------------------------------------- model

// With MC(i,i) = 1 the element's own value enters its sum and the diagonal gets both the
// -1 of the decay and the self-link's derivative; the last column is dF/dALFA.
TEST(Sec217Model, JacobianMatchesDifferencesWithSelfLinks) {
    Network net;
    net.mc = matrix({{1, 1, 1}, {0, 1, 1}, {1, 1, 0}});
    net.gama = 1.6;
    net.beta = 0.8;
    Sec217::Model m;
    m.setup(3);
    m.mc = &net.mc;
    m.beta = 0.8;
    m.gama = 1.6;
    Store mdl;
    m.store = &mdl;
    const std::vector<double> y = {0.9, 1.7, 0.35};
    for (int i = 1; i <= 3; ++i) m.Y(i) = y[static_cast<std::size_t>(i - 1)];
    m.Y(4) = 7.5;
    m.FUNCp();
    EXPECT_DOUBLE_EQ(mdl.ALFA, 7.5);  // the store's ALFA follows the curve
    const auto f = net.F(y, 7.5);
    const Mat d = net.J(y, 7.5);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_NEAR(m.DY(i), f[static_cast<std::size_t>(i - 1)], 1e-14);
        for (int k = 1; k <= 4; ++k) EXPECT_NEAR(m.A(i, k), d(i, k), 1e-6) << i << "," << k;
    }
    EXPECT_LT(m.A(1, 1), -1.1);
}

TEST(Sec217Det, DeterminantFromThePivotsMatchesTheCofactors) {
    struct Probe : Continuation {
        void FUNCp() override {}
    };
    std::mt19937 gen(11);
    std::uniform_real_distribution<double> u(-3, 3);
    for (int t = 0; t < 50; ++t) {
        Probe p;
        p.setup(3);
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 4; ++j) p.A(i, j) = u(gen);
        const Mat& a = p.A;
        const double det = a(1, 1) * (a(2, 2) * a(3, 3) - a(2, 3) * a(3, 2)) -
                           a(1, 2) * (a(2, 1) * a(3, 3) - a(2, 3) * a(3, 1)) +
                           a(1, 3) * (a(2, 1) * a(3, 2) - a(2, 2) * a(3, 1));
        EXPECT_NEAR(Sec217::DETp(p), det, 1e-12 * std::max(1.0, std::fabs(det)));
    }
    // A permutation matrix needs row and column exchanges; a singular one gives 0.
    Probe p;
    p.setup(3);
    p.A(1, 2) = 2;
    p.A(2, 3) = -1;
    p.A(3, 1) = 4;
    EXPECT_DOUBLE_EQ(Sec217::DETp(p), -8);
    Probe s;
    s.setup(2);
    s.A(1, 1) = 1;
    s.A(1, 2) = 2;
    s.A(2, 1) = 2;
    s.A(2, 2) = 4;
    EXPECT_EQ(Sec217::DETp(s), 0);
}

// ---------------------------------------------------------------- stability

TEST(Sec217Stability, VerdictsFollowTheEigenvalues) {
    using V = Sec217::Verdict;
    // Real stable: J/|J| = diag(-1, -0.5); the integral tends to diag(1/2, 1), kappa to 2.
    Sec217::Stability s = Sec217::stabilityOf(matrix({{-2, 0}, {0, -1}}), 100);
    EXPECT_EQ(s.verdict, V::Stable);
    EXPECT_NEAR(s.kappa, 2, 1e-5);
    EXPECT_NEAR(s.STABIL, 98, 1e-5);
    // Complex pair with negative real part; a non-normal stable matrix.
    EXPECT_EQ(Sec217::stabilityOf(matrix({{-0.1, 1}, {-1, -0.1}}), 1000).verdict, V::Stable);
    EXPECT_EQ(Sec217::stabilityOf(matrix({{-1, 5}, {0, -2}}), 1000).verdict, V::Stable);
    // One positive eigenvalue, a growing spiral, a neutral centre.
    EXPECT_EQ(Sec217::stabilityOf(matrix({{0.1, 0}, {0, -1}}), 1000).verdict, V::Unstable);
    EXPECT_EQ(Sec217::stabilityOf(matrix({{0.05, 1}, {-1, 0.05}}), 1000).verdict, V::Unstable);
    s = Sec217::stabilityOf(matrix({{0, 1}, {-1, 0}}), 1000);
    EXPECT_EQ(s.verdict, V::Unstable);
    EXPECT_LT(s.STABIL, 0);
    // Kappa above STAB at the first doubling: unstable at once.
    s = Sec217::stabilityOf(matrix({{3, 0}, {0, 1}}), 2);
    EXPECT_EQ(s.verdict, V::Unstable);
    EXPECT_EQ(s.doublings, 1);
    EXPECT_LT(s.STABIL, 0);
}

// STAB = 1.2 gives w = Int(log2(1.2*ln(2*sqrt(1.2)))) + 5 = 4 doublings; J = -I has kappa near 1 and
// exp(-8) not yet below 1e-6 after three squarings: no decision, and the line says so
// instead of repeating another point's value.
TEST(Sec217Stability, DoublingLimitReachedIsReportedAsUndecided) {
    EXPECT_EQ(Sec217::doublingLimit(1), 4);
    EXPECT_EQ(Sec217::doublingLimit(1.2), 4);
    EXPECT_EQ(Sec217::doublingLimit(10000), 20);
    EXPECT_EQ(Sec217::doublingLimit(0.3), 1);  // the formula gives less than one doubling
    const Sec217::Stability s = Sec217::stabilityOf(matrix({{-1, 0}, {0, -1}}), 1.2);
    EXPECT_EQ(s.verdict, Sec217::Verdict::Undecided);
    EXPECT_EQ(s.doublings, 4);
    EXPECT_NEAR(s.kappa, 1, 1e-6);
    EXPECT_NEAR(s.STABIL, 0.2, 1e-6);
    EXPECT_EQ(Sec217::PRINTp(7, 2.5, s, 1),
              "0007   2.50000E+00    " + Format(1.2 - s.kappa, "0.00000E+00") + "    1.00000E+00      UNDEF");
    // The same matrix with a larger bound is decided stable.
    EXPECT_EQ(Sec217::stabilityOf(matrix({{-1, 0}, {0, -1}}), 10).verdict, Sec217::Verdict::Stable);
}

TEST(Sec217Stability, PrintLines) {
    Sec217::Stability st;
    st.verdict = Sec217::Verdict::Stable;
    st.STABIL = 9996.9;
    EXPECT_EQ(Sec217::PRINTp(0, 1, st, -1.37745),
              "0000   1.00000E+00    9.99690E+03   -1.37745E+00      STAB");
    st.verdict = Sec217::Verdict::Unstable;
    st.STABIL = -19004.2;
    EXPECT_EQ(Sec217::PRINTp(155, 16.2655, st, 0.0180902),
              "0155   1.62655E+01   -1.90042E+04    1.80902E-02      UNSTAB");
    // STABIL exactly 0 is not stable, and neither value gets the blank of a positive one.
    st.STABIL = 0;
    EXPECT_EQ(Sec217::PRINTp(3, 2, st, 0), "0003   2.00000E+00   0.00000E+00   0.00000E+00      UNSTAB");
}

TEST(Sec217Stability, MultiSkipsOnlyNegligibleTerms) {
    // A term is skipped when one factor is below 1 and the other below 1e-18.
    EXPECT_EQ(Sec217::MULTI(matrix({{1e-20, 1e-20}}), matrix({{0.5}, {0.5}}))(1, 1), 0);
    EXPECT_EQ(Sec217::MULTI(matrix({{0.5}}), matrix({{1e-19}}))(1, 1), 0);
    EXPECT_DOUBLE_EQ(Sec217::MULTI(matrix({{1e-20}}), matrix({{2}}))(1, 1), 2e-20);
    EXPECT_DOUBLE_EQ(Sec217::MULTI(matrix({{1}}), matrix({{1e-19}}))(1, 1), 1e-19);
    const Mat m = Sec217::MULTI(matrix({{1, 2}, {3, 4}}), matrix({{0.5, -1}, {1, 2}}));
    EXPECT_DOUBLE_EQ(m(1, 1), 2.5);
    EXPECT_DOUBLE_EQ(m(1, 2), 3);
    EXPECT_DOUBLE_EQ(m(2, 1), 5.5);
    EXPECT_DOUBLE_EQ(m(2, 2), 5);
    EXPECT_DOUBLE_EQ(Sec217::NORMA(matrix({{1, -2}, {-3, 0.5}})), 3.5);
}

// ---------------------------------------------------------------- the shipped diagram

class Sec217Run : public Sec217Test {
protected:
    void runShipped(std::deque<std::string> answers = {"YES"}) {
        loadShipped();
        ui.answers = std::move(answers);
        sec.Integr1(c);
    }
};

TEST_F(Sec217Run, DiagramWithTwoFoldsAndAStabilityChangeAtEach) {
    runShipped();
    // The results file: 17 header values, then points 0..N.
    const std::vector<std::string> res = lines("Results.diu");
    const std::vector<std::string> header = {" 3 ",  " 0.5 ", " 20 ", " 10000 ", " 3 ",  " 1 ",
                                             " 2 ",  " 3 ",   " 0 ",  " 0 ",     " 20 ", " 0 ",
                                             " 20 ", " 13 ",  " 1 ",  " 1 ",     " 1.6 "};
    ASSERT_GT(res.size(), header.size());
    EXPECT_EQ(std::vector<std::string>(res.begin(), res.begin() + 17), header);
    const int npoints = static_cast<int>(res.size()) - 17;
    EXPECT_EQ(lines("NLIST.diu"), std::vector<std::string>{" " + CStr(npoints - 1) + " "});
    EXPECT_EQ(lines("INFOR.diu"), std::vector<std::string>{" 0 "});
    EXPECT_EQ(res[17].substr(0, 31), "0000   0004   1.00000000E+00   ");
    EXPECT_EQ(wordsOf(res.back())[2], "2.00000000E+01");  // ends exactly at QMAX

    // Two turning points and three solutions at ALFA = QSOLV.
    const std::vector<std::string> b = lines("BSOLV.diu");
    ASSERT_EQ(b.size(), 2u + 2 * 5);
    EXPECT_EQ(b[0], "РЕШЕНИЕ В ТОЧКАХ ПОВОРОТА");
    EXPECT_EQ(b[1], "------------------------- ");
    EXPECT_EQ(b[2].rfind("Решение 1 ,  QMOD = 1.6277", 0), 0u) << b[2];
    EXPECT_EQ(b[7].rfind("Решение 2 ,  QMOD = 1.0758", 0), 0u) << b[7];
    const double fold1 = std::stod(wordsOf(b[2]).back()), fold2 = std::stod(wordsOf(b[7]).back());
    const std::vector<std::string> q = lines("QSOLV.diu");
    ASSERT_EQ(q.size(), 2u + 3 * 5);
    EXPECT_EQ(q[0], "     QSOLV = 1.30000E+01");

    // The stability question, STABL.diu, two changes with their messages and marks.
    ASSERT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(ui.inputs[0].prompt, "\n\n      Устойчивость?");
    EXPECT_EQ(ui.inputs[0].defaultText, "YES");
    EXPECT_EQ(ui.inputs[0].x, 380);
    const std::vector<std::string> st = lines("STABL.diu");
    ASSERT_EQ(static_cast<int>(st.size()), 1 + npoints);
    EXPECT_EQ(st[0], "         QMOD           STABIL         DET");
    ASSERT_EQ(sec.changes.size(), 2u);
    EXPECT_NEAR(sec.changes[0], fold1, 0.05);
    EXPECT_NEAR(sec.changes[1], fold2, 0.05);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, " QMOD = " + Format(sec.changes[0], "0.0000E+00"));
    EXPECT_EQ(ui.messages[0].title, "   VELTA");
    EXPECT_EQ(sec.undecided, 0);
    int marks = 0;
    for (const DrawCall& d : surf.of(DrawCall::Kind::Circle))
        if (d.r == 6 && d.fillSolid && d.colour == QBColor(14)) ++marks;
    EXPECT_EQ(marks, 1 + 2 * 3);  // the legend's and one per change and component
    EXPECT_NE(surf.findText("  - точка смены"), nullptr);
    EXPECT_NE(surf.findText("    устойчивости"), nullptr);
    // The unstable middle branch is redrawn in grey.
    int grey = 0;
    for (const DrawCall& d : surf.of(DrawCall::Kind::Segment)) grey += d.colour == QBColor(8);
    EXPECT_GT(grey, 3 * 40);
}

// Away from the folds every label agrees with the eigenvalues of the Jacobian (the
// Routh-Hurwitz test of its characteristic polynomial), and DET is the Jacobian's.
TEST_F(Sec217Run, StabilityLabelsAgreeWithTheEigenvaluesAwayFromTheFolds) {
    runShipped();
    const Network net = network();
    const std::vector<std::string> res = lines("Results.diu"), st = lines("STABL.diu"),
                                   b = lines("BSOLV.diu");
    const double fold1 = std::stod(wordsOf(b[2]).back()), fold2 = std::stod(wordsOf(b[7]).back());
    int stable = 0, unstable = 0;
    for (std::size_t p = 17; p < res.size(); ++p) {
        const auto w = wordsOf(res[p]);
        const double alfa = std::stod(w[2]);
        const std::vector<double> y = {std::stod(w[3]), std::stod(w[4]), std::stod(w[5])};
        const Mat J = net.J(y, alfa);
        const auto sw = wordsOf(st[p - 16]);
        ASSERT_EQ(sw.size(), 5u) << st[p - 16];
        EXPECT_EQ(sw[0], w[0]);
        const double det = J(1, 1) * (J(2, 2) * J(3, 3) - J(2, 3) * J(3, 2)) -
                           J(1, 2) * (J(2, 1) * J(3, 3) - J(2, 3) * J(3, 1)) +
                           J(1, 3) * (J(2, 1) * J(3, 2) - J(2, 2) * J(3, 1));
        EXPECT_NEAR(std::stod(sw[3]), det, 1e-5 * std::max(1.0, std::fabs(det))) << st[p - 16];
        if (std::fabs(alfa - fold1) < 0.02 || std::fabs(alfa - fold2) < 0.02) continue;
        const bool hs = hurwitz3(J);
        EXPECT_EQ(sw[4], hs ? "STAB" : "UNSTAB") << st[p - 16];
        (hs ? stable : unstable) += 1;
    }
    EXPECT_GT(stable, 100);
    EXPECT_GT(unstable, 30);
}

// Every reported point solves the network to the accuracy of its printed digits: |F| is
// within what moving the point by half a unit of each last digit can change.
TEST_F(Sec217Run, EveryReportedPointSatisfiesTheNetworkToItsPrintedDigits) {
    runShipped();
    const Network net = network();
    auto check = [&](const std::vector<std::string>& y, const std::string& a, const std::string& where) {
        std::vector<double> v;
        for (const auto& t : y) v.push_back(std::stod(t));
        const double alfa = std::stod(a);
        const auto f = net.F(v, alfa);
        const Mat J = net.J(v, alfa);
        for (int i = 1; i <= 3; ++i) {
            double bound = std::fabs(J(i, 4)) * halfUlp(a);
            for (int j = 1; j <= 3; ++j)
                bound += std::fabs(J(i, j)) * halfUlp(y[static_cast<std::size_t>(j - 1)]);
            EXPECT_LT(std::fabs(f[static_cast<std::size_t>(i - 1)]), bound) << where << " F" << i;
        }
    };
    const std::vector<std::string> res = lines("Results.diu");
    for (std::size_t p = 17; p < res.size(); ++p) {
        const auto w = wordsOf(res[p]);
        check({w[3], w[4], w[5]}, w[2], res[p]);
    }
    const std::vector<std::string> q = lines("QSOLV.diu");
    for (std::size_t r = 2; r + 3 < q.size(); r += 5)
        check({wordsOf(q[r + 1])[1], wordsOf(q[r + 2])[1], wordsOf(q[r + 3])[1]}, "1.30000E+01", q[r]);
    const std::vector<std::string> b = lines("BSOLV.diu");
    for (std::size_t r = 2; r + 3 < b.size(); r += 5)
        check({wordsOf(b[r + 1])[1], wordsOf(b[r + 2])[1], wordsOf(b[r + 3])[1]}, wordsOf(b[r]).back(), b[r]);
}

// A diagram that stays on the lower branch never changes stability: one colour set, no
// message, no mark but the legend's.
TEST_F(Sec217Test, DiagramWithoutAChangeDrawsOneColourSet) {
    Diud d;
    d.qmax = "8";
    load(d);
    ui.answers = {"YES"};
    sec.Integr1(c);
    EXPECT_TRUE(sec.changes.empty());
    EXPECT_TRUE(ui.messages.empty());
    int marks = 0, grey = 0;
    for (const DrawCall& dc : surf.of(DrawCall::Kind::Circle)) marks += dc.r == 6;
    for (const DrawCall& dc : surf.of(DrawCall::Kind::Segment)) grey += dc.colour == QBColor(8);
    EXPECT_EQ(marks, 1);
    EXPECT_EQ(grey, 0);
    for (const std::string& l : lines("STABL.diu"))
        if (l.rfind("0", 0) == 0) {
            EXPECT_EQ(wordsOf(l).back(), "STAB") << l;
        }
}

// ---------------------------------------------------------------- the end of a run

TEST_F(Sec217Test, ContinueQuestionAnswers) {
    Diud d;
    d.nend = "20";
    // "NO": NLIST.diu holds the last point, no stability question.
    load(d);
    ui.answers = {"NO"};
    sec.Integr1(c);
    EXPECT_EQ(lines("NLIST.diu"), std::vector<std::string>{" 20 "});
    EXPECT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(ui.inputs[0].prompt, "\n\n      Продолжить?");
    EXPECT_FALSE(app.exists("User/STABL.diu"));
    EXPECT_EQ(lines("INFOR.diu"), std::vector<std::string>{" 0 "});

    // "YES" grows the portion; another answer ends the run with NLIST.diu rewritten, and
    // the stability question follows; an answer other than YES/NO/empty writes MARK.
    ui.inputs.clear();
    ui.answers = {"YES", "STOP", "Z"};
    app.write("User/INFOR.diu", "old");
    sec.Integr1(c);
    ASSERT_EQ(ui.inputs.size(), 3u);
    EXPECT_EQ(ui.inputs[2].prompt, "\n\n      Устойчивость?");
    EXPECT_EQ(lines("NLIST.diu"), std::vector<std::string>{" 40 "});
    EXPECT_EQ(lines("INFOR.diu"), std::vector<std::string>{" 0 "});
    EXPECT_FALSE(app.exists("User/STABL.diu"));

    // The stability of those 41 points when asked for.
    ui.inputs.clear();
    ui.answers = {"STOP", "YES"};
    sec.Integr1(c);
    EXPECT_EQ(lines("NLIST.diu"), std::vector<std::string>{" 20 "});
    EXPECT_EQ(lines("STABL.diu").size(), 22u);
}

TEST_F(Sec217Test, NoStabilityQuestionWhenStabIsNotPositive) {
    Diud d;
    d.stab = "0";
    d.qmax = "3";
    load(d);
    app.write("User/INFOR.diu", "old");
    sec.Integr1(c);
    EXPECT_TRUE(ui.inputs.empty());
    EXPECT_EQ(lines("INFOR.diu"), std::vector<std::string>{" 0 "});
    EXPECT_FALSE(app.exists("User/STABL.diu"));
}

TEST_F(Sec217Test, StopCodeShowsItsExplanationAndIsWrittenToInfor) {
    Diud d;
    d.alfa = "0.4";  // the starting ALFA outside [QMIN, QMAX]
    d.y = "0.3,0.3,0.3";
    load(d);
    sec.Integr1(c);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, Continuation::inforText(4, true));
    EXPECT_EQ(ui.messages[0].title, "VELTA");
    EXPECT_TRUE(ui.inputs.empty());
    EXPECT_EQ(lines("INFOR.diu"), std::vector<std::string>{" 4 "});
    EXPECT_EQ(lines("Results.diu").size(), 17u);
}

// ---------------------------------------------------------------- limits

TEST_F(Sec217Test, BadInputIsRefusedBeforeAnythingRuns) {
    struct Case {
        void (*edit)(Diud&);
        std::string message;
    };
    const Case cases[] = {
        {[](Diud& d) { d.emin = "-1"; }, "Ограничение на шаг EMIN должно быть больше 0 (EMIN = -1)"},
        {[](Diud& d) { d.exact = "0"; }, "Точность метода EXACT должна быть больше 0 (EXACT = 0)"},
        {[](Diud& d) { d.limit = "0"; },
         "Ограничение на число итераций LIMIT должно быть не меньше 1 (LIMIT = 0)"},
        {[](Diud& d) { d.limit0 = "-2"; },
         "Ограничение на число итераций LIMIT0 должно быть не меньше 1 (LIMIT0 = -2)"},
        {[](Diud& d) { d.qmin = "20"; },
         "Левая граница QMIN должна быть меньше правой QMAX (QMIN = 20, QMAX = 20)"},
        {[](Diud& d) { d.h = "0.1,0.1,0.1,-0.1"; },
         "Стандартный шаг H(4) должен быть больше 0 (H(4) = -0.1)"},
        // The list is refused while the file is read, on its own line.
        {[](Diud& d) { d.ic = "1,4"; }, "Ошибка чтения файла " + user("t.diud") +
                                            ", строка 43: ожидалось IC(2) от 1 до NDIM = 3, прочитано «4»"},
        {[](Diud& d) { d.hstep = "0"; }, "Стартовый шаг HSTEP не должен быть равен 0 (HSTEP = 0)"},
        {[](Diud& d) { d.stab = "0.25"; },
         "Параметр STAB должен быть больше 0.25 (STAB = 0.25);\nпри STAB <= 0 устойчивость не определяется"},
        {[](Diud& d) { d.scry = "0"; }, "Граница графика SCRY не должна быть равна 0 (SCRY = 0)"},
        {[](Diud& d) { d.nend = "0"; }, "Порция шагов NEND должна быть не меньше 1 (NEND = 0)"},
    };
    app.write("User/Results.diu", "old results");
    app.write("User/NLIST.diu", "old list");
    for (const Case& cs : cases) {
        Diud d;
        cs.edit(d);
        surf.forget();
        try {
            load(d);
            surf.forget();
            sec.Integr1(c);
            ADD_FAILURE() << "not refused: " << cs.message;
        } catch (const VeltaError& e) {
            EXPECT_EQ(std::string(e.what()), cs.message);
        }
        EXPECT_EQ(bytesOf(user("Results.diu")), "old results");
        EXPECT_EQ(bytesOf(user("NLIST.diu")), "old list");
        EXPECT_TRUE(surf.calls.empty());
    }
    Diud big;
    big.ndim = "21";
    app.write("User/big.diud", big.text());
    sec.dataPath = app.path("User/big.diud");
    EXPECT_THROW(sec.InputPar(c), VeltaError);
}

}  // namespace
