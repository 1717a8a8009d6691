// Section 1.1: data file reading and writing, right-hand sides, stationary solution,
// the integrator, its results table and the refused inputs.
#include "models/section11/sec11.h"

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
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace velta;
using velta::test::bytesOf;
using velta::test::DrawCall;
using velta::test::RecordingSurface;
using velta::test::ScriptedPrompter;
using velta::test::TempApp;

namespace {

// Field texts of one ".mnkd" file, in the order of its blocks.
struct Mnkd {
    std::string mclass = "1", ndim = "3", kmod = "2", alfa = "2", beta = "1", gama = "2";
    std::string ink = "1,2", x = "1.5,0.2";
    std::string xp = "0,0,0", fp = "1,0,0";
    std::string tmax = "1", hhh = "0.01", lscreen = "1", tmin = "0", lgraph = "1", lstep = "0";
    std::string ic = "1,2,3", nsc = "1";
    std::string dlx = "0", drx = "1", dlw = "0", drw = "1", sclt = "0";

    std::string text() const {
        std::vector<std::string> L;
        auto h = [&](int k) {
            L.push_back(std::to_string(k) + ". Блок номер " + std::to_string(k));
            L.push_back("----------------");
        };
        h(1);
        L.insert(L.end(), {"MCLASS = " + mclass, "NDIM = " + ndim, "KMOD = " + kmod, "ALFA = " + alfa,
                           "BETA = " + beta, "GAMA = " + gama});
        h(2);
        L.insert(L.end(), {"i1,...:", ink, "X(i1),...:", x});
        h(3);
        L.insert(L.end(), {"XP(I):", xp, "FP(I):", fp});
        h(4);
        L.insert(L.end(), {"TMAX = " + tmax, "HHH = " + hhh});
        h(5);
        L.insert(L.end(), {"LSCREEN = " + lscreen, "TMIN = " + tmin});
        h(6);
        L.push_back("LGRAPH = " + lgraph);
        h(7);
        L.push_back("LSTEP = " + lstep);
        h(8);
        L.insert(L.end(), {"IC(I):", ic});
        h(9);
        L.push_back("NSC = " + nsc);
        h(10);
        L.insert(L.end(), {"Dlx = " + dlx, "Drx = " + drx, "Dlw = " + dlw, "Drw = " + drw, "Sclt = " + sclt});
        std::string s;
        for (const auto& l : L) s += utf8ToCp1251(l) + "\r\n";
        return s;
    }
};

class Sec11Test : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override { setColours(mdl, true); }

    void load(const Mnkd& m, const std::string& name = "t.mnkd") {
        app.write("User/" + name, m.text());
        sec.dataPath = paths.userFile(name);
        sec.InputPar(c);
    }
    std::vector<std::string> results() const { return readAllLines(paths.userFile("Results.mnk")); }
    // Table rows of the results file (everything after the 18 header lines).
    std::vector<std::string> rows() const {
        auto all = results();
        return {all.begin() + std::min<std::size_t>(18, all.size()), all.end()};
    }
    std::string errorOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const VeltaError& e) {
            return e.what();
        }
        return "";
    }

    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Sec11 sec;
};

// A snapshot of everything the reading stores, for comparing two readings.
struct Snapshot {
    i16 MCLASS, NDIM, KMOD, LSCREEN, LGRAPH, LSTEP, NSC, NK, NCOMP;
    double ALFA, BETA, GAMA, TMAX, HHH, TMIN, DLX, DRX, DLW, DRW, SCLT;
    Vec X1, XP, FP;
    IVec INK, IC;
    std::array<std::array<std::string, 2>, 13> HEAD;
    bool operator==(const Snapshot&) const = default;
    static Snapshot take(const Store& g) {
        return {g.MCLASS, g.NDIM, g.KMOD, g.LSCREEN, g.LGRAPH, g.LSTEP, g.NSC, g.NK,  g.NCOMP,
                g.ALFA,   g.BETA, g.GAMA, g.TMAX,    g.HHH,    g.TMIN,  g.DLX, g.DRX, g.DLW,
                g.DRW,    g.SCLT, g.X1,   g.XP,      g.FP,     g.INK,   g.IC,  g.HEAD};
    }
};

void setXV(Store& g, std::initializer_list<double> xs) {
    int k = 1;
    for (double x : xs) g.XV(k++) = x;
}

}  // namespace

// ---------------------------------------------------------------- reading and writing

TEST_F(Sec11Test, Sec11ReadRoundTripOfShippedSamples) {
    for (const char* name : {"Sym_Damped.mnkd", "Sym_Oscill.mnkd", "Sym_Puan.mnkd", "Sym_Phase.mnkd"}) {
        SCOPED_TRACE(name);
        mdl.reset();
        app.write(std::string("User/") + name, bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/" + name));
        sec.dataPath = paths.userFile(name);
        sec.InputPar(c);
        const Snapshot first = Snapshot::take(mdl);
        EXPECT_EQ(first.MCLASS, 1);
        EXPECT_GE(first.NCOMP, 2);

        Sec11::Table_File(mdl, paths.userFile("copy.mnkd"), Sec11::fieldsFromStore(mdl));
        mdl.reset();
        sec.dataPath = paths.userFile("copy.mnkd");
        sec.InputPar(c);
        EXPECT_TRUE(Snapshot::take(mdl) == first);
        // The sample itself is written in the form the writer produces.
        EXPECT_EQ(bytesOf(paths.userFile("copy.mnkd")), bytesOf(paths.userFile(name)));
    }
}

TEST_F(Sec11Test, Sec11ReadWritesBackFreeFormatTexts) {
    Mnkd m;
    m.alfa = "10.0";
    m.ink = "1, 3";
    m.x = "2.50,1E-05";
    m.xp = "0.0,1,2";
    load(m);
    EXPECT_EQ(mdl.NK, 2);
    EXPECT_EQ(mdl.X1(3), 1e-5);
    EXPECT_EQ(mdl.X1(2), 0.0);
    Sec11::Table_File(mdl, paths.userFile("w.mnkd"), Sec11::fieldsFromStore(mdl));
    const auto lines = readAllLines(paths.userFile("w.mnkd"));
    ASSERT_EQ(lines.size(), 48u);
    EXPECT_EQ(lines[5], "ALFA = 10");
    EXPECT_EQ(lines[11], "1,3");
    // The whole file is the one Mnkd writes, apart from the texts that were normalised.
    Mnkd expect = m;
    expect.alfa = "10";
    expect.ink = "1,3";
    expect.x = "2.5,1E-05";
    expect.xp = "0,1,2";
    EXPECT_EQ(bytesOf(paths.userFile("w.mnkd")), expect.text());
}

TEST_F(Sec11Test, Sec11ReadEchoesEveryValueToTheCheckFile) {
    Mnkd m;
    m.ink = "3";
    m.x = "0.5";
    m.xp = "1,2.5,3";
    m.ic = "2,3";
    load(m);
    const auto chk = readAllLines(paths.userFile("Input.chk"));
    const std::vector<std::string> expected = {"Контроль ввода исходных данных:",
                                               "-------------------------------",
                                               " ",
                                               "1. Блок номер 1",
                                               "----------------",
                                               "MClass = 1",
                                               "NDIM = 3",
                                               "KMOD = 2",
                                               "ALFA = 2",
                                               "BETA = 1",
                                               "GAMA = 2",
                                               "2. Блок номер 2",
                                               "----------------",
                                               "INK(1) = 3",
                                               "X1(INK(1)) = 0.5",
                                               "3. Блок номер 3",
                                               "----------------",
                                               "XP(1) = 1",
                                               "XP(2) = 2.5",
                                               "XP(3) = 3",
                                               "FP(1) = 1",
                                               "FP(2) = 0",
                                               "FP(3) = 0",
                                               "4. Блок номер 4",
                                               "----------------",
                                               "TMAX = 1",
                                               "HHH = 0.01",
                                               "5. Блок номер 5",
                                               "----------------",
                                               "LSCREEN = 1",
                                               "TMIN = 0",
                                               "6. Блок номер 6",
                                               "----------------",
                                               "LGRAPH = 1",
                                               "7. Блок номер 7",
                                               "----------------",
                                               "LSTEP = 0",
                                               "8. Блок номер 8",
                                               "----------------",
                                               "IC(1) = 2",
                                               "IC(2) = 3",
                                               "9. Блок номер 9",
                                               "----------------",
                                               "NSC = 1",
                                               "10. Блок номер 10",
                                               "----------------",
                                               "DLX = 0",
                                               "DRX = 1",
                                               "DLW = 0",
                                               "DRW = 1",
                                               "SCLT = 0"};
    EXPECT_EQ(chk, expected);
    EXPECT_EQ(mdl.X1(3), 0.5);
    EXPECT_EQ(mdl.X1(1), 0.0);
}

TEST_F(Sec11Test, Sec11ReadAllocatesVectorsAndLimitsLists) {
    Mnkd m;
    m.ndim = "4";
    m.ink = "2,5";  // NK = 2; 5 is beyond NDIM and ends the reading
    m.x = "1,2";
    m.xp = "0,0,0,0";
    m.fp = "0,0,0,0";
    EXPECT_NE(errorOf([&] { load(m); }), "");

    m.ink = "4,3,2,1,3,2";  // six items, NDIM = 4 uses the first four
    m.x = "4,3,2,1";
    m.ic = "1,2,3,4,1,2";
    load(m);
    EXPECT_EQ(mdl.NK, 4);
    EXPECT_EQ(mdl.INK.upper(), 4);
    EXPECT_EQ(mdl.NCOMP, 4);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(mdl.X1(k), k);
    for (const Vec* v : {&mdl.X1, &mdl.XPREV, &mdl.XNEW, &mdl.F1, &mdl.F2, &mdl.XST, &mdl.XG, &mdl.XP,
                         &mdl.XCROSS, &mdl.FP, &mdl.XV, &mdl.FV})
        EXPECT_EQ(v->upper(), 4);
}

TEST_F(Sec11Test, Sec11ReadRefusesNdimBelowOne) {
    Mnkd m;
    m.ndim = "0";
    const std::string err = errorOf([&] { load(m); });
    EXPECT_NE(err.find("NDIM"), std::string::npos) << err;
    m.ndim = "-3";
    EXPECT_NE(errorOf([&] { load(m); }).find("NDIM = -3"), std::string::npos);
}

// An empty index list is written with an empty value line behind it; reading it back
// must not shift the following blocks.
TEST_F(Sec11Test, Sec11ReadEmptyIndexListRoundTrip) {
    Mnkd m;
    m.ink = "";
    m.x = "";
    m.xp = "7,8,9";
    m.ic = "";
    load(m);
    EXPECT_EQ(mdl.NK, 0);
    EXPECT_EQ(mdl.NCOMP, 0);
    EXPECT_EQ(mdl.X1(1), 0.0);
    EXPECT_EQ(mdl.XP(2), 8.0);
    EXPECT_EQ(mdl.HEAD[3][0], "3. Блок номер 3");
    EXPECT_EQ(mdl.SCLT, 0.0);
    const Snapshot first = Snapshot::take(mdl);
    const Sec11::Fields f = Sec11::fieldsFromStore(mdl);
    EXPECT_EQ(f.i1n, "");
    EXPECT_EQ(f.xi1, "");
    EXPECT_EQ(f.i1g, "");
    Sec11::Table_File(mdl, paths.userFile("e.mnkd"), f);
    EXPECT_EQ(bytesOf(paths.userFile("e.mnkd")), m.text());
    mdl.reset();
    sec.dataPath = paths.userFile("e.mnkd");
    sec.InputPar(c);
    EXPECT_TRUE(Snapshot::take(mdl) == first);
}

// ---------------------------------------------------------------- right-hand sides

TEST_F(Sec11Test, Sec11ModelPredecessorSets) {
    Mnkd m;
    m.ndim = "5";
    m.kmod = "3";
    m.alfa = "1";
    m.beta = "1";
    m.gama = "1";
    m.ink = "1";
    m.x = "1";
    m.xp = m.fp = "0,0,0,0,0";
    load(m);
    setXV(mdl, {1, 2, 4, 8, 16});  // every sum of two distinct components is unique
    Sec11::Vych_PCH(mdl);
    // P(1) = {4,5}, P(2) = {5,1}, P(3) = {1,2}, P(4) = {2,3}, P(5) = {3,4}
    const double sums[] = {24, 17, 3, 6, 12};
    for (int i = 1; i <= 5; ++i) EXPECT_DOUBLE_EQ(mdl.FV(i), 1 / (1 + sums[i - 1])) << i;
    for (int k = 1; k <= 5; ++k) EXPECT_EQ(mdl.XG(k), mdl.XV(k));
}

TEST_F(Sec11Test, Sec11ModelKmodNdimPlusOneUsesEveryElement) {
    Mnkd m;
    m.kmod = "4";
    m.alfa = "3";
    m.beta = "0.5";
    m.gama = "1";
    load(m);
    setXV(mdl, {1, 2, 3});
    mdl.MCLASS = 1;
    Sec11::Vych_PCH(mdl);
    for (int i = 1; i <= 3; ++i) EXPECT_DOUBLE_EQ(mdl.FV(i), 3 / (1 + 0.5 * 6));
    mdl.MCLASS = 2;
    Sec11::Vych_PCH(mdl);
    for (int i = 1; i <= 3; ++i) EXPECT_DOUBLE_EQ(mdl.FV(i), 3 / (1.5 * 2 * 2.5));
}

TEST_F(Sec11Test, Sec11ModelClass3WithKmodOne) {
    Mnkd m;
    m.mclass = "3";
    m.kmod = "1";
    m.alfa = "6";
    m.beta = "2";
    m.gama = "2.5";
    load(m);
    setXV(mdl, {5, 0.1, 7});
    Sec11::Vych_PCH(mdl);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(mdl.FV(i), 2.0);
    Sec11::Station(mdl);
    EXPECT_NEAR(mdl.STAT, 2.0, 1e-12);
    // The classes that divide by KMOD - 1 refuse KMOD = 1.
    mdl.MCLASS = 1;
    EXPECT_NE(errorOf([&] { Sec11::checkLimits(mdl); }).find("KMOD = 1"), std::string::npos);
    mdl.MCLASS = 3;
    EXPECT_EQ(errorOf([&] { Sec11::checkLimits(mdl); }), "");
}

TEST_F(Sec11Test, Sec11ModelEachClassOnAHandCheckedPoint) {
    Mnkd m;
    m.kmod = "3";  // P(1) = {2,3}, P(2) = {3,1}, P(3) = {1,2}
    m.alfa = "2";
    m.beta = "0.5";
    m.gama = "2";
    load(m);
    const double expect[5][3] = {{},
                                 {2 / 7.5, 2 / 6.0, 2 / 3.5},
                                 {2 / (3 * 5.5), 2 / (5.5 * 1.5), 2 / (1.5 * 3)},
                                 {2 / 19.0, 2 / 5.5, 2 / 3.0},
                                 {2 * (1 / 3.0 + 1 / 5.5), 2 * (1 / 5.5 + 1 / 1.5), 2 * (1 / 1.5 + 1 / 3.0)}};
    for (int cls = 1; cls <= 4; ++cls) {
        mdl.MCLASS = static_cast<i16>(cls);
        setXV(mdl, {1, 2, 3});
        Sec11::Vych_PCH(mdl);
        for (int i = 1; i <= 3; ++i)
            EXPECT_NEAR(mdl.FV(i), expect[cls][i - 1], 1e-15) << "class " << cls << " i " << i;
    }
    // Another class leaves FV as it was.
    mdl.MCLASS = 7;
    mdl.FV(1) = 42;
    Sec11::Vych_PCH(mdl);
    EXPECT_EQ(mdl.FV(1), 42);
}

// Squares are taken as x*x: the same value as std::pow(x, 2) to the last bit.
// The exponent reaches the powers as data read from a file: the library's pow is called (a
// constant 2.0 would let the compiler fold pow into x*x and the comparison could not fail).
// Any other exponent gives pow's bits; the square, exact rounding, is within one unit of pow's.
TEST(Sec11Power, PowersMatchTheLibraryPow) {
    std::mt19937_64 rng(12345);
    std::uniform_real_distribution<double> mant(-1, 1);
    std::uniform_int_distribution<int> ex(-300, 300);
    volatile double exps[] = {2.0, 2.5, 3.0, 1.7};
    for (const double g : exps) {
        const Power pw(g);
        for (int i = 0; i < 50000; ++i) {
            const double x = std::ldexp(mant(rng), ex(rng) / 2);
            const double lib = std::pow(x, g);
            if (g == 2.0) {
                ASSERT_EQ(pw(x), x * x) << x;
                ASSERT_LE(std::fabs(pw(x) - lib), std::fabs(std::nextafter(lib, 0.0) - lib)) << x;
            } else if (!std::isnan(lib)) {
                ASSERT_EQ(pw(x), lib) << g << " " << x;
            }
        }
    }
}

TEST_F(Sec11Test, Sec11StationSolvesTheSymmetricEquation) {
    Mnkd m;
    m.ndim = "4";
    m.kmod = "3";
    m.alfa = "5";
    m.beta = "1.5";
    m.gama = "2.5";
    m.xp = m.fp = "0,0,0,0";
    for (int cls = 1; cls <= 4; ++cls) {
        m.mclass = std::to_string(cls);
        load(m);
        Sec11::Station(mdl);
        const double s = mdl.STAT;
        EXPECT_GT(s, 0) << cls;
        // Stationary: F(S,...,S) = S in every component (Newton stops at |dS| < 1E-4,
        // so S is good to about the square of that).
        for (int k = 1; k <= 4; ++k) mdl.XV(k) = s;
        Sec11::Vych_PCH(mdl);
        for (int i = 1; i <= 4; ++i) EXPECT_NEAR(mdl.FV(i), s, 1e-7 * s) << "class " << cls;
    }
    // Another class keeps STAT.
    mdl.MCLASS = 9;
    mdl.STAT = -1;
    Sec11::Station(mdl);
    EXPECT_EQ(mdl.STAT, -1);
}

TEST_F(Sec11Test, Sec11StationWithoutRootEndsWithAnError) {
    Mnkd m;
    m.alfa = "1.5";
    m.beta = "1";
    m.gama = "-2";  // S + 1/S - 1.5 has no real root: Newton wanders for ever
    load(m);
    mdl.STAT = 123;
    EXPECT_EQ(errorOf([&] { Sec11::Station(mdl); }),
              "Метод Ньютона для стационарного решения не сошёлся за 1000 итераций");
    EXPECT_EQ(mdl.STAT, 123);

    mdl.ALFA = 1;
    mdl.GAMA = -2.5;  // S + S^-1.5 - 1: no root, and Newton steps below zero
    const std::string err = errorOf([&] { Sec11::Station(mdl); });
    EXPECT_EQ(err.rfind("Метод Ньютона для стационарного решения дал нечисловое значение", 0), 0u) << err;
    EXPECT_EQ(mdl.STAT, 123);
}

// ---------------------------------------------------------------- integration

// The scheme is of second order: halving the step quarters the error at t = 1.
TEST_F(Sec11Test, Sec11IntegrSecondOrder) {
    Mnkd m;
    m.x = "1.5,0.2";
    m.nsc = "10000";
    auto endState = [&](double h) {
        m.hhh = CStr(h);
        m.tmax = CStr(1 - h);  // NSTEP + 1 steps of h end at t = 1
        load(m);
        sec.Integr1(c);
        EXPECT_NEAR((mdl.NSTEP + 1) * h, 1.0, 1e-12);
        return std::array<double, 3>{mdl.X1(1), mdl.X1(2), mdl.X1(3)};
    };
    const auto ref = endState(1.0 / 4096);
    std::vector<double> err;
    for (double h : {1.0 / 32, 1.0 / 64, 1.0 / 128}) {
        const auto x = endState(h);
        double e = 0;
        for (int i = 0; i < 3; ++i) e = std::max(e, std::fabs(x[i] - ref[i]));
        err.push_back(e);
    }
    EXPECT_GT(err[0], 1e-7);
    for (std::size_t i = 0; i + 1 < err.size(); ++i) {
        const double ratio = err[i] / err[i + 1];
        EXPECT_GT(ratio, 3.6) << i;
        EXPECT_LT(ratio, 4.4) << i;
    }
}

TEST_F(Sec11Test, Sec11ResultsHeaderAndRows) {
    Mnkd m;
    m.tmax = "0.05";
    load(m);
    sec.Integr1(c);
    const auto lines = results();
    const std::vector<std::string> header = {
        "",
        "M\xD0\xBE\xD0\xB4\xD0\xB5\xD0\xBB\xD1\x8C M1(3,2)",  // Latin M, Cyrillic "одель"
        "NDIM = 3",
        "KMOD = 2",
        "TMAX = 5.00000E-02",
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
        " No        t            X(01)         X(02)         X(03)",
        "-----+-------------+-------------+-------------+-------------+"};
    ASSERT_GE(lines.size(), 18u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 18), header);
    // The raw file: Windows-1251, CR LF, the first letter of the model line a Latin M.
    const std::string raw = bytesOf(paths.userFile("Results.mnk"));
    EXPECT_EQ(raw.substr(0, 4), "\r\nM\xEE");
    const auto r = rows();
    ASSERT_EQ(r.size(), 6u);  // NSTEP = 5, NSC = 1
    EXPECT_EQ(r[0], "00001   0.00000E+00   1.50000E+00   2.00000E-01   0.00000E+00   ");
    EXPECT_EQ(r[5].substr(0, 22), "00006   5.00000E-02   ");
    for (const auto& row : r) EXPECT_EQ(row.size(), 22u + 14 * 3);
    EXPECT_EQ(mdl.NROW, 6);
}

TEST_F(Sec11Test, Sec11ResultsHeaderIsEighteenLinesForAnyNdim) {
    Mnkd m;
    m.ndim = "12";
    m.kmod = "5";
    m.xp = m.fp = "0,0,0,0,0,0,0,0,0,0,0,0";
    m.tmax = "0.02";
    load(m);
    sec.Integr1(c);
    const auto lines = results();
    ASSERT_EQ(lines.size(), 18u + 3);
    EXPECT_EQ(lines[16].substr(lines[16].size() - 14), "         X(12)");
    EXPECT_EQ(
        lines[17], "-----+-------------+" + [] {
            std::string s;
            for (int k = 0; k < 12; ++k) s += "-------------+";
            return s;
        }());
    EXPECT_EQ(lines[18].size(), 22u + 14 * 12);
}

TEST_F(Sec11Test, Sec11ResultsRowsThinnedByNsc) {
    Mnkd m;
    m.tmax = "0.1";  // NSTEP = 10, j = 1..11
    m.nsc = "4";
    load(m);
    sec.Integr1(c);
    auto r = rows();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].substr(0, 5), "00001");
    EXPECT_EQ(r[1].substr(0, 5), "00004");
    EXPECT_EQ(r[2].substr(0, 5), "00008");

    m.nsc = "12";  // more than NSTEP + 1: only the row of j = 1
    load(m);
    sec.Integr1(c);
    r = rows();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].substr(0, 5), "00001");
    EXPECT_EQ(mdl.NSTEP, 10);
}

TEST_F(Sec11Test, Sec11IntegrStepCountRoundsHalfToEven) {
    Mnkd m;
    m.hhh = "0.25";
    m.tmax = "0.625";  // 2.5 steps -> NSTEP = 2, three rows
    load(m);
    sec.Integr1(c);
    EXPECT_EQ(mdl.NSTEP, 2);
    EXPECT_EQ(rows().size(), 3u);
    m.tmax = "0.875";  // 3.5 -> 4
    load(m);
    sec.Integr1(c);
    EXPECT_EQ(mdl.NSTEP, 4);
    EXPECT_EQ(rows().size(), 5u);
    EXPECT_EQ(surf.polls, 3 + 5);
}

TEST_F(Sec11Test, Sec11IntegrPausesEveryLstepSteps) {
    Mnkd m;
    m.tmax = "0.09";  // j = 1..10
    m.lstep = "3";
    load(m);
    sec.Integr1(c);
    ASSERT_EQ(ui.inputs.size(), 3u);  // j = 3, 6, 9 with empty answers
    for (const auto& in : ui.inputs) {
        EXPECT_EQ(in.title, "   Симметричные ГГС");
        EXPECT_EQ(in.prompt,
                  "Для непрерывного вывода введите любой символ,\n"
                  "при вводе пустой строки или нажатии 'Cancel' \n"
                  "- вывод порциями");
        EXPECT_EQ(in.defaultText, "");
        EXPECT_EQ(in.x, 0);
        EXPECT_EQ(in.y, 0);
    }
    EXPECT_EQ(mdl.LSTEP, 0);

    // A non-empty answer at j = 3 turns the pauses off.
    load(m);
    ui.inputs.clear();
    ui.answers = {"x"};
    sec.Integr1(c);
    EXPECT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(mdl.LSTEP, 0);
    // A second run without reading the file again plots continuously.
    sec.Integr1(c);
    EXPECT_EQ(ui.inputs.size(), 1u);
}

TEST_F(Sec11Test, Sec11IntegrPeriodSearch) {
    Mnkd m;
    m.tmax = "1";
    m.tmin = "1";  // TMIN >= TMAX: no step qualifies
    load(m);
    mdl.PERIOD = 12.5;
    sec.Integr1(c);
    EXPECT_EQ(mdl.PERIOD, 12.5);

    // The damped run moves away from X(0): the smallest W after TMIN is at its first step.
    m.tmin = "0.5";
    m.hhh = "0.1";
    load(m);
    sec.Integr1(c);
    EXPECT_DOUBLE_EQ(mdl.PERIOD, 7 * 0.1);
}

TEST_F(Sec11Test, Sec11IntegrSecondRunStartsFromTheEndState) {
    Mnkd m;
    m.tmax = "0.5";
    m.hhh = "0.05";
    load(m);
    sec.Integr1(c);
    std::string expect = "00001   0.00000E+00   ";
    for (int k = 1; k <= 3; ++k) expect += Format(mdl.X1(k), "0.00000E+00") + "   ";
    EXPECT_NE(expect.substr(22, 11), "1.50000E+00");
    sec.Integr1(c);
    EXPECT_EQ(rows()[0], expect);
}

TEST_F(Sec11Test, Sec11IntegrPoincareCrossings) {
    // A normal N = 0 puts every point on the plane: a crossing at X1 every step.
    Mnkd m;
    m.lgraph = "3";
    m.ic = "1,2";
    m.fp = "0,0,0";
    m.tmax = "0.1";
    m.drx = "1";
    load(m);
    sec.Integr1(c);
    const auto dots = [&] {
        int n = 0;
        for (const auto& d : surf.of(DrawCall::Kind::Circle)) n += d.r == 2;
        return n;
    };
    EXPECT_EQ(dots(), 11);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(mdl.XCROSS(i), mdl.XPREV(i));
    EXPECT_NE(surf.findText("П Л О С К О С Т Ь   П У А Н К А Р Е"), nullptr);

    // A plane X(1) = 1.2 crossed by the damped orbit: the crossing point lies on it.
    surf.forget();
    m.fp = "1,0,0";
    m.xp = "1.2,0,0";
    m.tmax = "3";
    load(m);
    sec.Integr1(c);
    EXPECT_EQ(dots(), 1);
    EXPECT_NEAR(mdl.XCROSS(1), 1.2, 1e-12);
    EXPECT_GT(mdl.XCROSS(2), 0.2);
}

TEST_F(Sec11Test, Sec11IntegrFramesThePlot) {
    Mnkd m;
    m.tmax = "0.02";
    load(m);
    sec.Integr1(c);
    EXPECT_NE(surf.findText("Графики компонент вектора X(t)"), nullptr);
    EXPECT_NE(surf.findText("X3"), nullptr);  // the "Phys" legend

    // Phase plane: the stationary point is marked with a yellow filled circle.
    surf.forget();
    m.lgraph = "2";
    m.ic = "1,2";
    load(m);
    sec.Integr1(c);
    EXPECT_NE(surf.findText("Графики компонент вектора X в фазовой плоскости"), nullptr);
    const auto& g = mdl;
    const double sx = (g.STAT - g.SCLX) * g.PWID / g.YRANGE + g.PX0;
    const double sy = (g.STAT - g.SCLX) * g.PHGT / g.YRANGE + g.PY0;
    bool found = false;
    for (const auto& d : surf.of(DrawCall::Kind::Circle))
        found |= d.r == 6 && d.x1 == sx && d.y1 == sy && d.colour == QBColor(14) && d.fillSolid &&
                 d.fillColour == QBColor(14);
    EXPECT_TRUE(found);
}

TEST_F(Sec11Test, Sec11IntegrRefusedLimitsLeaveResultsUntouched) {
    app.write("User/Results.mnk", "old results\r\n");
    struct Case {
        std::function<void(Mnkd&)> set;
        std::string named;
    };
    const std::vector<Case> cases = {
        {[](Mnkd& m) { m.hhh = "0"; }, "Шаг интегрирования HHH должен быть больше 0 (HHH = 0)"},
        {[](Mnkd& m) { m.hhh = "-0.1"; }, "HHH = -0.1"},
        {[](Mnkd& m) { m.mclass = "5"; }, "MCLASS = 5"},
        {[](Mnkd& m) { m.kmod = "1"; }, "KMOD = 1"},
        {[](Mnkd& m) { m.kmod = "5"; }, "KMOD = 5"},
        {[](Mnkd& m) { m.tmax = "-1"; }, "TMAX = -1"},
        {[](Mnkd& m) { m.nsc = "0"; }, "NSC = 0"},
        {[](Mnkd& m) { m.lstep = "-2"; }, "LSTEP = -2"},
        {[](Mnkd& m) { m.alfa = "0"; }, "ALFA = 0"},
        {[](Mnkd& m) { m.beta = "-1"; }, "BETA = -1"},
        // The lists are refused while the file is read, on their own line.
        {[](Mnkd& m) { m.ic = "1,4"; }, "строка 38: ожидалось IC(2) от 1 до NDIM = 3, прочитано «4»"},
        {[](Mnkd& m) { m.ic = "0"; }, "строка 38: ожидалось IC(1) от 1 до NDIM = 3, прочитано «0»"},
        {[](Mnkd& m) {
             m.ink = "0";
             m.x = "1";
         },
         "строка 12: ожидалось INK(1) от 1 до NDIM = 3, прочитано «0»"},
        {[](Mnkd& m) {
             m.lgraph = "2";
             m.ic = "1";
         },
         "NCOMP = 1"},
        {[](Mnkd& m) {
             m.lgraph = "3";
             m.ic = "";
         },
         "NCOMP = 0"},
        {[](Mnkd& m) { m.tmax = "1E+30"; }, "TMAX/HHH"},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.named);
        Mnkd m;
        cs.set(m);
        surf.forget();
        const std::string err = errorOf([&] {
            load(m);
            surf.forget();
            sec.Integr1(c);
        });
        EXPECT_NE(err.find(cs.named), std::string::npos) << err;
        EXPECT_EQ(bytesOf(paths.userFile("Results.mnk")), "old results\r\n");
        EXPECT_TRUE(surf.calls.empty());
    }
}

TEST_F(Sec11Test, Sec11IntegrOverflowEndsTheRunKeepingTheRows) {
    // The components grow beyond 1E154: W overflows while the state is still finite.
    Mnkd m;
    m.alfa = "1E+155";
    m.gama = "0.001";
    m.hhh = "0.05";
    m.tmax = "2";
    m.ink = "1";
    m.x = "0";
    load(m);
    const std::string err = errorOf([&] { sec.Integr1(c); });
    ASSERT_EQ(err.rfind("Счёт прерван: на шаге j = ", 0), 0u) << err;
    EXPECT_NE(err.find("получено нечисловое значение (переполнение)"), std::string::npos);
    const int j = std::stoi(err.substr(err.find("j = ") + 4));
    EXPECT_GT(j, 2);
    EXPECT_LT(j, 41);
    EXPECT_NE(err.find("t = " + Format((j - 1) * 0.05, "0.00000E+00")), std::string::npos) << err;
    const auto r = rows();
    ASSERT_EQ(static_cast<int>(r.size()), j);  // rows 1..j were written and kept
    EXPECT_EQ(r.back().substr(0, 5), Format(j, "00000"));
    EXPECT_EQ(results().size(), 18u + j);
}

TEST_F(Sec11Test, Sec11IntegrNonFiniteFromAFractionalPowerOfANegativeValue) {
    Mnkd m;
    m.gama = "0.5";
    m.x = "-1,1";
    load(m);
    const std::string err = errorOf([&] { sec.Integr1(c); });
    EXPECT_NE(err.find("на шаге j = 1, t = 0.00000E+00"), std::string::npos) << err;
    EXPECT_EQ(rows().size(), 1u);
}

TEST(Sec11Registry, MakesTheCoreOfSection11Only) {
    auto core = makeSectionCore(11);
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(core->code(), 11);
    EXPECT_NE(dynamic_cast<Sec11*>(core.get()), nullptr);
    EXPECT_EQ(makeSectionCore(0), nullptr);
    EXPECT_EQ(makeSectionCore(99), nullptr);
}
