#include "stationary/section3/sec3.h"

#include "data/numtext.h"
#include "data/paths.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "models/section11/sec11.h"
#include "support/files.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <fstream>
#include <limits>
#include <numbers>
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

std::vector<std::string> linesOf(const std::string& path) {
    std::vector<std::string> out;
    const std::string text = cp1251ToUtf8(bytesOf(path));
    std::size_t from = 0;
    for (;;) {
        const std::size_t crlf = text.find("\r\n", from);
        if (crlf == std::string::npos) break;
        out.push_back(text.substr(from, crlf - from));
        from = crlf + 2;
    }
    EXPECT_EQ(from, text.size()) << "every line ends with CR LF";
    return out;
}

const char* const kSamples[] = {"Cirk3_Repress.stbd", "Cirk5_Class2.stbd", "Cirk3_Stable.stbd"};

class Sec3Test : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override { setColours(mdl, true); }
    void loadSample(const std::string& name) {
        app.write("User/" + name, bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/" + name));
        sec.dataPath = app.path("User/" + name);
        sec.InputPar(c);
    }
    // The model of the parameters in the store, set directly.
    void model(int mclass, int ndim, int kmod, double beta, double gama) {
        auto& g = mdl;
        g.MCLASS = static_cast<i16>(mclass);
        g.NDIM = static_cast<i16>(ndim);
        g.KMOD = static_cast<i16>(kmod);
        g.BETA = beta;
        g.GAMA = gama;
    }
    void grid(double amin, double amax, double umin, double umax, int ndel) {
        auto& g = mdl;
        g.Amin = amin;
        g.Amax = amax;
        g.Umin = umin;
        g.Umax = umax;
        g.NDEL = static_cast<i16>(ndel);
    }
    std::string user(const std::string& name) const { return app.path("User/" + name); }

    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Sec3 sec;
};

// ---------------------------------------------------------------- data file

TEST_F(Sec3Test, SamplesReadAndWriteBackByteForByte) {
    for (const char* name : kSamples) {
        SCOPED_TRACE(name);
        mdl.reset();
        loadSample(name);
        const Sec3::Fields f = Sec3::fieldsFromStore(mdl);
        Sec3::Table_File(mdl, user("copy.stbd"), f);
        EXPECT_EQ(bytesOf(user("copy.stbd")), bytesOf(user(name)));
        // The arrays are sized by the dimensions just read.
        EXPECT_EQ(sec.Re.upper(), mdl.NDIM);
        EXPECT_EQ(mdl.AGRAPH.upper(), mdl.NDEL + 1);
    }
}

TEST_F(Sec3Test, ReadingStoresEveryKeyAndEchoesItToTheCheckFile) {
    loadSample("Cirk5_Class2.stbd");
    const auto& g = mdl;
    EXPECT_EQ(g.MCLASS, 2);
    EXPECT_EQ(g.NDIM, 5);
    EXPECT_EQ(g.KMOD, 3);
    EXPECT_EQ(g.BETA, 1);
    EXPECT_EQ(g.GAMA, 4);
    EXPECT_EQ(g.Amin, 0);
    EXPECT_EQ(g.Amax, 12);
    EXPECT_EQ(g.Umin, 0);
    EXPECT_EQ(g.Umax, 1.5);
    EXPECT_EQ(g.NDEL, 60);
    const std::vector<std::string> chk = linesOf(user("Input.chk"));
    ASSERT_EQ(chk.size(), 17u);
    EXPECT_EQ(chk[0], "Контроль ввода исходных данных:");
    EXPECT_EQ(chk[2], " ");
    const std::vector<std::string> echo(chk.begin() + 5, chk.end());
    const std::vector<std::string> want = {"MCLASS = 2",
                                           "NDIM = 5",
                                           "KMOD = 3",
                                           "BETA = 1",
                                           "GAMA = 4",
                                           "2) Параметры построения зависимости U от ALFA",
                                           "   Amin <= ALFA <= Amax,  Umin <= U <= Umax",
                                           "Amin = 0",
                                           "Amax = 12",
                                           "Umin = 0",
                                           "Umax = 1.5",
                                           "NDEL = 60"};
    EXPECT_EQ(echo, want);
}

TEST_F(Sec3Test, EditedValueIsWrittenAsFieldTextAndReadBack) {
    loadSample("Cirk3_Repress.stbd");
    Sec3::Fields f = Sec3::fieldsFromStore(mdl);
    f.gama = "2.5";
    f.ndel = "7";
    Sec3::Table_File(mdl, user("edited.stbd"), f);
    mdl.reset();
    sec.dataPath = user("edited.stbd");
    sec.InputPar(c);
    EXPECT_EQ(mdl.GAMA, 2.5);
    EXPECT_EQ(mdl.NDEL, 7);
    EXPECT_EQ(mdl.HEAD[1][0],
              " Репрессилятор: кольцо из трёх элементов, каждый подавляет следующий (M1(3,2))");
}

// ---------------------------------------------------------------- spectrum and stability

TEST_F(Sec3Test, CirculantOfFourWithOneLinkHasTheQuarterTurns) {
    model(1, 4, 2, 1, 2);
    sec.Circulant(mdl);
    const double re[] = {0, -1, 0, 1}, im[] = {1, 0, -1, 0};
    for (int j = 1; j <= 4; ++j) {
        EXPECT_NEAR(sec.Re(j), re[j - 1], 1e-15) << j;
        EXPECT_NEAR(sec.Im(j), im[j - 1], 1e-15) << j;
    }
    sec.Bifurcation(mdl);
    // mu = 1: Gmin = K*r = 1 for class 1.
    EXPECT_DOUBLE_EQ(mdl.Gmin, 1);
}

// The symmetric solution and the eigenvalues, checked against the model itself: the
// stationary point of section 1.1's right-hand sides and the finite-difference Jacobian of
// dX/dt = F(X) - X, applied to the Fourier vectors (eigenvectors of every circulant).
TEST_F(Sec3Test, EigenvaluesMatchTheJacobianOfTheNetworkModel) {
    struct Case {
        int mclass, ndim, kmod;
        double beta, gama, alfa;
    };
    const Case cases[] = {{1, 3, 2, 1, 3, 5},   {1, 5, 3, 0.5, 2, 7},  {2, 5, 3, 1, 4, 3},
                          {2, 6, 4, 2, 1.5, 9}, {3, 4, 3, 1, 2, 2.5},  {3, 5, 2, 1.5, 3, 4},
                          {4, 5, 3, 1, 2, 6},   {4, 6, 6, 0.7, 2.5, 3}};
    for (const Case& k : cases) {
        SCOPED_TRACE("class " + std::to_string(k.mclass) + " M(" + std::to_string(k.ndim) + "," +
                     std::to_string(k.kmod) + ")");
        mdl.reset();
        model(k.mclass, k.ndim, k.kmod, k.beta, k.gama);
        auto& g = mdl;
        g.ALFA = k.alfa;
        const int n = k.ndim;
        const Sec3::Sym sol = Sec3::SUB_200(mdl, k.alfa);
        // Section 1.1's own stationary solution.
        Sec11::Station(mdl);
        EXPECT_NEAR(sol.U, g.STAT, 1e-9 * g.STAT);

        sec.Circulant(mdl);
        sec.Eigen(mdl, sol.X);
        for (Vec* v : {&g.XV, &g.FV, &g.XG}) v->alloc(n);
        auto F = [&](const std::vector<double>& x) {
            for (int i = 1; i <= n; ++i) g.XV(i) = x[static_cast<std::size_t>(i - 1)];
            Sec11::Vych_PCH(mdl);
            std::vector<double> f(static_cast<std::size_t>(n));
            for (int i = 1; i <= n; ++i) f[static_cast<std::size_t>(i - 1)] = g.FV(i) - g.XV(i);
            return f;
        };
        // J(i,m) by central differences at the symmetric point.
        std::vector<std::vector<double>> J(static_cast<std::size_t>(n),
                                           std::vector<double>(static_cast<std::size_t>(n)));
        const double h = 1e-6 * sol.U;
        for (int m = 0; m < n; ++m) {
            std::vector<double> xp(static_cast<std::size_t>(n), sol.U), xm = xp;
            xp[static_cast<std::size_t>(m)] += h;
            xm[static_cast<std::size_t>(m)] -= h;
            const auto fp = F(xp), fm = F(xm);
            for (int i = 0; i < n; ++i)
                J[static_cast<std::size_t>(i)][static_cast<std::size_t>(m)] =
                    (fp[static_cast<std::size_t>(i)] - fm[static_cast<std::size_t>(i)]) / (2 * h);
        }
        // J v_j = lambda_j v_j, v_j(m) = exp(2 pi i j m / n); the links run to predecessors,
        // so lambda_j is ReL(j) - i*ImL(j) (the spectrum as a set is the same).
        for (int j = 1; j <= n; ++j) {
            const std::complex<double> lam(sec.ReL(j), -sec.ImL(j));
            for (int i = 0; i < n; ++i) {
                std::complex<double> jv = 0;
                for (int m = 0; m < n; ++m)
                    jv += J[static_cast<std::size_t>(i)][static_cast<std::size_t>(m)] *
                          std::polar(1.0, 2 * std::numbers::pi * j * m / n);
                const std::complex<double> lv = lam * std::polar(1.0, 2 * std::numbers::pi * j * i / n);
                EXPECT_NEAR(std::abs(jv - lv), 0, 1e-6 * (1 + std::abs(lam))) << "j = " << j << ", row " << i;
            }
        }
    }
}

// At ALFAc the largest real part of the Jacobian's eigenvalues is zero, for every class.
TEST_F(Sec3Test, BifurcationPointIsWhereTheLargestRealPartCrossesZero) {
    struct Case {
        int mclass, ndim, kmod;
        double beta, gama;
    };
    const Case cases[] = {{1, 3, 2, 1, 3},   {1, 5, 3, 2, 6}, {2, 5, 3, 1, 4}, {3, 3, 2, 1, 3},
                          {3, 7, 3, 0.5, 4}, {4, 5, 3, 1, 6}, {4, 3, 2, 1, 3}};
    for (const Case& k : cases) {
        SCOPED_TRACE("class " + std::to_string(k.mclass));
        mdl.reset();
        model(k.mclass, k.ndim, k.kmod, k.beta, k.gama);
        sec.Circulant(mdl);
        sec.Bifurcation(mdl);
        const auto& g = mdl;
        ASSERT_EQ(g.KSTAB, 1);
        const Sec3::Sym sol = Sec3::SUB_200(mdl, g.ALFAc);
        EXPECT_NEAR(sol.U, g.Uc, 1e-9 * g.Uc);
        sec.Eigen(mdl, sol.X);
        double top = -1e300;
        for (int j = 1; j <= k.ndim; ++j) top = std::max(top, sec.ReL(j));
        EXPECT_NEAR(top, 0, 1e-9);
        // Just below stable, just above unstable.
        EXPECT_FALSE(sec.Eigen(mdl, Sec3::SUB_200(mdl, g.ALFAc * 0.99).X));
        EXPECT_TRUE(sec.Eigen(mdl, Sec3::SUB_200(mdl, g.ALFAc * 1.01).X));
    }
    // The repressilator by hand: mu = 1/2, r = 2, d = GAMA - r = 1, Uc = 2^(1/3), ALFAc = 3*Uc.
    mdl.reset();
    model(1, 3, 2, 1, 3);
    sec.Circulant(mdl);
    sec.Bifurcation(mdl);
    EXPECT_NEAR(mdl.Uc, std::cbrt(2.0), 1e-12);
    EXPECT_NEAR(mdl.ALFAc, 3 * std::cbrt(2.0), 1e-12);
    EXPECT_NEAR(mdl.Gmin, 2, 1e-12);
}

TEST_F(Sec3Test, NewtonSolvesEveryClassFromTinyToHugeAlfa) {
    for (int mclass = 1; mclass <= 4; ++mclass) {
        for (double alfa : {1e-7, 0.3, 5.0, 1e3, 1e12}) {
            SCOPED_TRACE("class " + std::to_string(mclass) + ", ALFA " + CStr(alfa));
            model(mclass, 5, 3, 1.5, 2.5);
            const Sec3::Sym s = Sec3::SUB_200(mdl, alfa);
            const double K = 2, S = 1.5 * std::pow(s.U, 2.5), P = 1.5 * std::pow(s.U, K * 2.5);
            double lhs = 0;
            switch (mclass) {
            case 1: lhs = (K * S + 1) * s.U; break;
            case 2: lhs = std::pow(1 + S, K) * s.U; break;
            case 3: lhs = (1 + P) * s.U; break;
            default: lhs = (1 + S) * s.U / K; break;
            }
            EXPECT_NEAR(lhs, alfa, 1e-9 * alfa);
            EXPECT_GT(s.X, 0);
        }
    }
}

// ---------------------------------------------------------------- the run

TEST_F(Sec3Test, RepressilatorResultsFileLineByLine) {
    loadSample("Cirk3_Repress.stbd");
    sec.Integr1(c);
    const std::vector<std::string> l = linesOf(user("Results.stb"));
    ASSERT_EQ(l.size(), 13u + 51u);
    const std::vector<std::string> head(l.begin(), l.begin() + 13);
    const std::vector<std::string> want = {"",
                                           "МОДЕЛЬ M1(3,2)",
                                           "",
                                           "Параметры модели",
                                           " BETA  = 1.00000E+00",
                                           " GAMA  = 3.00000E+00",
                                           "",
                                           "Координаты точки бифуркации",
                                           " ALFAc = 3.77976E+00",
                                           " Uc    = 1.25992E+00",
                                           "",
                                           "  k       ALFA            U       STABILITY",
                                           "-----+-------------+-------------+---------"};
    EXPECT_EQ(head, want);
    // U(ALFA) by hand: U^4 + U = ALFA, so ALFA = 2 gives U = 1 (node 11 of step 0.2).
    EXPECT_EQ(l[13], "0001   1.00000E-07   1.00000E-07     STAB");
    EXPECT_EQ(l[13 + 10], "0011   2.00000E+00   1.00000E+00     STAB");
    EXPECT_EQ(l[13 + 50].substr(0, 19), "0051   1.00000E+01 ");
    EXPECT_EQ(l[13 + 50].substr(l[13 + 50].size() - 6), "UNSTAB");
    // The flag switches exactly at ALFAc = 3.7798: nodes up to 3.6 stable, from 3.8 on not.
    const auto& g = mdl;
    for (int k = 1; k <= 51; ++k) EXPECT_EQ(g.SGRAPH(k), g.AGRAPH(k) < g.ALFAc ? -1 : 1) << "node " << k;
    EXPECT_EQ(g.ALFA, g.AGRAPH(51));  // ALFA is left at the last node
    EXPECT_EQ(g.KSTAB, 1);
}

TEST_F(Sec3Test, PlotDrawsTheCurveInStabilityColoursAndMarksTheBifurcationPoint) {
    loadSample("Cirk3_Repress.stbd");
    sec.Integr1(c);
    const auto& g = mdl;
    EXPECT_NE(surf.findText("Зависимость симметричного стационарного решения U от ALFA"), nullptr);
    for (const char* t : {"Model M1(3,2)", "Параметры модели", "BETA = 1.00000E+00", "GAMA = 3.00000E+00",
                          "Gmin = 2.00000E+00", "Устойчивость", "Неустойчивость", "  (ALFAc,Uc)-точка",
                          " потери устойчивости", "ALFAc = 3.77976E+00", "Uc    = 1.25992E+00"})
        EXPECT_NE(surf.findText(t), nullptr) << t;
    EXPECT_EQ(surf.findText("асимптотически"), nullptr);
    // One segment per subinterval from node i to node i+1 in the colour of node i.
    int green = 0, red = 0;
    for (const DrawCall& d : surf.of(DrawCall::Kind::Segment)) {
        const double x0 = g.PX0 + (g.AGRAPH(1) - g.Amin) * g.KX;
        if (d.x1 < x0 - 0.5 || d.x1 > g.PX1 + 0.5 || d.x2 <= d.x1) continue;
        for (int i = 1; i <= g.NDEL; ++i) {
            const double xa = g.PX0 + (g.AGRAPH(i) - g.Amin) * g.KX;
            const double ya = g.PY0 + (g.UGRAPH(i) - g.Umin) * g.KY;
            const double yb = g.PY0 + (g.UGRAPH(i + 1) - g.Umin) * g.KY;
            if (d.x1 == xa && d.y1 == ya && d.y2 == yb) {
                EXPECT_EQ(d.colour, QBColor(g.SGRAPH(i) == -1 ? 10 : 12)) << i;
                (g.SGRAPH(i) == -1 ? green : red)++;
            }
        }
    }
    EXPECT_EQ(green, 19);  // nodes 1..19 (ALFA <= 3.6) stable
    EXPECT_EQ(red, 31);
    // The yellow point at (ALFAc, Uc); the legend marker is the other yellow circle.
    int onCurve = 0;
    for (const DrawCall& d : surf.of(DrawCall::Kind::Circle))
        if (d.colour == QBColor(14) && std::fabs(d.x1 - (g.PX0 + (g.ALFAc - g.Amin) * g.KX)) < 1e-9 &&
            std::fabs(d.y1 - (g.PY0 + (g.Uc - g.Umin) * g.KY)) < 1e-9) {
            EXPECT_EQ(d.r, 6);
            EXPECT_TRUE(d.fillSolid);
            ++onCurve;
        }
    EXPECT_EQ(onCurve, 1);
}

// GAMA below Gmin: no loss of stability; the file says so instead of coordinates left by
// an earlier run, and the plot prints the four lines of asymptotic stability.
TEST_F(Sec3Test, GamaBelowGminHasNoBifurcationPoint) {
    loadSample("Cirk3_Repress.stbd");
    sec.Integr1(c);  // leaves ALFAc = 3.78 in the store
    loadSample("Cirk3_Stable.stbd");
    surf.forget();
    sec.Integr1(c);
    const auto& g = mdl;
    EXPECT_EQ(g.KSTAB, 2);
    EXPECT_NEAR(g.Gmin, 2, 1e-12);
    const std::vector<std::string> l = linesOf(user("Results.stb"));
    EXPECT_EQ(l[7], "Координаты точки бифуркации");
    EXPECT_EQ(l[8], " Точки бифуркации нет:");
    EXPECT_EQ(l[9], " решение асимптотически устойчиво при ALFA >= 0");
    for (const std::string& s : l) EXPECT_EQ(s.find("3.77976E+00"), std::string::npos) << s;
    for (int k = 1; k <= g.NDEL + 1; ++k) EXPECT_EQ(g.SGRAPH(k), -1);
    const std::vector<std::string> t = surf.texts();
    const auto at = std::find(t.begin(), t.end(), "Решение ");
    ASSERT_NE(at, t.end());
    EXPECT_EQ(std::vector<std::string>(at, at + 4),
              (std::vector<std::string>{"Решение ", "асимптотически", "устойчиво при", "ALFA >= 0"}));
    const DrawCall* row19 = surf.findText("Решение ");
    EXPECT_DOUBLE_EQ(row19->y1, g.TXTY + 19.0 * g.CHH);
    EXPECT_EQ(surf.findText("ALFAc = 3.77976E+00"), nullptr);
}

TEST_F(Sec3Test, AlfacBeyondTenToTheTenPrintsStabilityWhateverKstab) {
    loadSample("Cirk3_Repress.stbd");
    sec.Integr1(c);
    mdl.ALFAc = 1e10;
    mdl.KSTAB = 1;
    surf.forget();
    Graphic3(c);
    EXPECT_NE(surf.findText("асимптотически"), nullptr);
    EXPECT_EQ(surf.findText("ALFAc = 1.00000E+10"), nullptr);
}

TEST_F(Sec3Test, OneSubintervalGivesTwoNodes) {
    model(1, 3, 2, 1, 3);
    grid(0, 10, 0, 2, 1);
    sec.Integr1(c);
    const std::vector<std::string> l = linesOf(user("Results.stb"));
    ASSERT_EQ(l.size(), 15u);
    EXPECT_EQ(l[13], "0001   1.00000E-07   1.00000E-07     STAB");
    EXPECT_EQ(l[14].substr(0, 19), "0002   1.00000E+01 ");
    EXPECT_EQ(mdl.AGRAPH(1), 1e-7);
    EXPECT_EQ(mdl.AGRAPH(2), 10);
}

// The first node is tested like the others: right of ALFAc it is unstable.
TEST_F(Sec3Test, FirstNodeRightOfTheBifurcationIsUnstable) {
    model(1, 3, 2, 1, 3);
    grid(5, 10, 0, 2, 5);
    sec.Integr1(c);
    const std::vector<std::string> l = linesOf(user("Results.stb"));
    EXPECT_EQ(l[13].substr(0, 19), "0001   5.00000E+00 ");
    EXPECT_EQ(l[13].substr(l[13].size() - 6), "UNSTAB");
    EXPECT_EQ(mdl.SGRAPH(1), 1);
}

// Without links (KMOD = 1) the circulant is zero: no eigenvalue can cross, every GAMA is
// stable, and nothing divides by zero.
TEST_F(Sec3Test, CirculantWithoutLinksIsStableEverywhere) {
    model(3, 4, 1, 1, 3);
    grid(0, 5, 0, 5, 10);
    sec.Integr1(c);
    const auto& g = mdl;
    EXPECT_EQ(g.KSTAB, 2);
    EXPECT_TRUE(std::isinf(g.Gmin));
    for (int k = 1; k <= 11; ++k) {
        EXPECT_EQ(g.SGRAPH(k), -1);
        EXPECT_NEAR(g.UGRAPH(k) * 2, g.AGRAPH(k), 1e-9);  // (1 + BETA)*U = ALFA
    }
    EXPECT_EQ(linesOf(user("Results.stb"))[8], " Точки бифуркации нет:");
}

TEST_F(Sec3Test, RefusedLimitsLeaveTheOldResultsAndTheCanvasUntouched) {
    app.write("User/Results.stb", "old results\r\n");
    struct Bad {
        const char* what;
        void (*set)(Store&);
        const char* words;
    };
    const Bad bad[] = {
        {"class 5", [](Store& g) { g.MCLASS = 5; }, "MCLASS"},
        {"NDIM 0", [](Store& g) { g.NDIM = 0; }, "NDIM"},
        {"KMOD 1 in class 1", [](Store& g) { g.KMOD = 1; }, "KMOD"},
        {"KMOD beyond NDIM + 1", [](Store& g) { g.KMOD = 5; }, "KMOD"},
        {"BETA 0", [](Store& g) { g.BETA = 0; }, "BETA"},
        {"GAMA negative", [](Store& g) { g.GAMA = -1; }, "GAMA"},
        {"Amin negative", [](Store& g) { g.Amin = -1; }, "Amin"},
        {"Amax = Amin", [](Store& g) { g.Amax = g.Amin; }, "Amax"},
        {"Umax below Umin", [](Store& g) { g.Umax = -1; }, "Umax"},
        {"NDEL 0", [](Store& g) { g.NDEL = 0; }, "NDEL"},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.what);
        mdl.reset();
        setColours(mdl, true);
        model(1, 3, 2, 1, 3);
        grid(0, 10, 0, 2, 10);
        b.set(mdl);
        surf.forget();
        try {
            sec.Integr1(c);
            ADD_FAILURE() << "not refused";
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find(b.words), std::string::npos) << e.what();
        }
        EXPECT_EQ(bytesOf(user("Results.stb")), "old results\r\n");
        EXPECT_TRUE(surf.calls.empty());
    }
}

// ---------------------------------------------------------------- spectrum command

// U = 1 at ALFA = 2 for class 1, K = 1, BETA = 1, GAMA = 3: S = 1, X = 3/2, so
// ReL = -1 - 1.5*Re = (-1, 0.5, -1, -2.5) and ImL = -1.5*Im = (-1.5, 0, 1.5, 0).
TEST_F(Sec3Test, SpectrumFileAndViewByHand) {
    model(1, 4, 2, 1, 3);
    mdl.ALFA = 7;
    ui.answers = {"2"};
    sec.Spectr(c);  // no grid run before: the spectrum is computed for the current NDIM, KMOD
    ASSERT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(ui.inputs[0].prompt, "Введите  ALFA  для вычисления спектра циркулянта");
    EXPECT_EQ(ui.inputs[0].title, "   Спектр");
    EXPECT_EQ(ui.inputs[0].defaultText, "7");
    EXPECT_EQ(mdl.ALFA, 2);
    const std::vector<std::string> want = {
        "",
        "    Mодель M1(4,2)",
        "Спектр циркулянта, зависящий от параметра X",
        "",
        " NDIM = 4",
        " KMOD = 2",
        " ALFA = 2.000000E+00",
        " BETA = 1.000000E+00",
        " GAMA = 3.000000E+00",
        " X    = 1.500000E+00",
        "",
        "Стационарное симметричное решение: U = 1.000000E+00",
        "",
        "",
        "                 Таблица",
        "вещественных (ReLj) и мнимых (ImLj) частей",
        "       собственных чисел циркулянта",
        "",
        "  j         ReLj              ImLj",
        " ---+-----------------+-----------------",
        " 01   -1.000000000000   -1.500000000000",
        " 02    0.500000000000    0.000000000000",
        " 03   -1.000000000000    1.500000000000",
        " 04   -2.500000000000    0.000000000000",
    };
    EXPECT_EQ(linesOf(user("Spectr.stb")), want);
    EXPECT_EQ(linesOf(user("Spectr.stb"))[1].substr(4, 1), "M");  // the Latin capital
    const std::vector<std::string> view = {
        "",
        "",
        "",
        "    Спектр циркулянта при ALFA = 2.00000E+00",
        "",
        "",
        "    МОДЕЛЬ M1(4,2)",
        "",
        "    ALFA  = 2.00000E+00",
        "    BETA  = 1.00000E+00",
        "    GAMA  = 3.00000E+00",
        "",
        "    Стационарное симметричное решение ",
        "        U = x(i) = 1.00000E+00, i = 1,2,...,4",
        "",
        "    Решение НЕУСТОЙЧИВО",
        "",
        "    (Значения собственных чисел циркулянта приведены в файле <Spectr.stb>)",
    };
    EXPECT_EQ(sec.spectrView, view);
    EXPECT_EQ(Sec3::kSpectrBack, 0xEEFFEEu);
}

TEST_F(Sec3Test, SpectrumVerdictStableBelowAlfac) {
    model(1, 3, 2, 1, 3);
    ui.answers = {"1"};
    sec.Spectr(c);
    ASSERT_GE(sec.spectrView.size(), 16u);
    EXPECT_EQ(sec.spectrView[15], "    Решение АСИМПТОТИЧЕСКИ УСТОЙЧИВО");
    EXPECT_EQ(linesOf(user("Spectr.stb")).size(), 20u + 3u);
}

TEST_F(Sec3Test, SpectrumInsistsOnAPositiveNumberAndCancelEndsIt) {
    model(1, 3, 2, 1, 3);
    // An empty answer is not Cancel: it is asked again like a wrong one.
    ui.answers = {"abc", "", "-2", "1"};
    sec.Spectr(c);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, " Вы ввели не число");
    EXPECT_EQ(ui.messages[0].title, "   Спектр");
    EXPECT_EQ(ui.messages[1].text, "Вы ничего не ввели или выбрали  Cancel");
    EXPECT_NE(ui.messages[2].text.find("больше 0"), std::string::npos);
    EXPECT_EQ(ui.inputs.size(), 4u);
    EXPECT_TRUE(app.exists("User/Spectr.stb"));
    EXPECT_FALSE(sec.spectrView.empty());

    // Cancel: the message, then the command ends; nothing computed or written.
    app.write("User/Spectr.stb", "old\r\n");
    ui.messages.clear();
    ui.inputs.clear();
    ui.answers = {};
    sec.Spectr(c);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Вы ничего не ввели или выбрали  Cancel");
    EXPECT_EQ(ui.messages[0].title, "   Спектр");
    EXPECT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(bytesOf(user("Spectr.stb")), "old\r\n");
    EXPECT_TRUE(sec.spectrView.empty());
}

TEST_F(Sec3Test, SpectrumRefusesABadModelBeforeAsking) {
    model(1, 3, 1, 1, 3);  // KMOD = 1 in class 1
    try {
        sec.Spectr(c);
        ADD_FAILURE() << "not refused";
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find("KMOD"), std::string::npos);
    }
    EXPECT_TRUE(ui.inputs.empty());
    EXPECT_FALSE(app.exists("User/Spectr.stb"));
}

}  // namespace
