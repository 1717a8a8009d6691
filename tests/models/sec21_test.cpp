#include "models/section21/sec21.h"

#include "app/shell.h"
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

// A ".mtrd" text; each block gets two header lines "Hk" and "--".
struct Mtrd {
    int mclass = 1, ndim = 3;
    std::string alfa = "10", beta = "1", gama = "3";
    std::vector<std::string> matrix = {"0,0,1", "1,0,0", "0,1,0"};
    bool emptyAfterMatrix = true;
    std::string ink = "1", xink = "1";
    std::string xp = "1,0,0", fp = "1,0,0";
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
        L("ALFA = " + alfa);
        L("BETA = " + beta);
        L("GAMA = " + gama);
        H(2);
        for (const auto& r : matrix) L(r);
        if (emptyAfterMatrix) L("");
        H(3);
        L("i1,...:");
        L(ink);
        L("X(i1),...:");
        L(xink);
        H(4);
        L("XP(I):");
        L(xp);
        L("FP(I):");
        L(fp);
        H(5);
        L("TMAX = " + tmax);
        L("HHH = " + hhh);
        H(6);
        L("Lscreen = " + lscreen);
        L("TMIN = " + tmin);
        H(7);
        L("Lgraph = " + lgraph);
        H(8);
        L("Lstep = " + lstep);
        H(9);
        L("IC(I):");
        L(ic);
        H(10);
        L("NSC = " + nsc);
        H(11);
        L("Dlx = " + dlx);
        L("Drx = " + drx);
        L("Dlw = " + dlw);
        L("Drw = " + drw);
        L("Sclt = " + sclt);
        return s;
    }
};

class Sec21Test : public test::CoreFixture<Sec21> {
protected:
    Sec21Test() : CoreFixture("mtrd", "Results.mtr") {}
};

const std::string kSample = std::string(VELTA_SOURCE_DIR) + "/User/Kolco5.mtrd";

}  // namespace

// ---------------------------------------------------------------- reader and writer

TEST_F(Sec21Test, ShippedSamplesReadAndWriteBackByteForByte) {
    const std::string poincare = std::string(VELTA_SOURCE_DIR) + "/User/Puank5.mtrd";
    sec.dataPath = poincare;
    sec.InputPar(c);
    EXPECT_EQ(mdl.LGRAPH, 3);
    Sec21::Table_File(mdl, app.path("User/p.mtrd"), Sec21::fieldsFromStore(mdl));
    EXPECT_EQ(bytesOf(app.path("User/p.mtrd")), bytesOf(poincare));

    sec.dataPath = kSample;
    sec.InputPar(c);
    const auto& g = mdl;
    ASSERT_EQ(g.NDIM, 5);
    EXPECT_EQ(g.MCLASS, 1);
    EXPECT_DOUBLE_EQ(g.MC(1, 3), 0.5);
    EXPECT_DOUBLE_EQ(g.MC(4, 1), 2);
    EXPECT_DOUBLE_EQ(g.MC(2, 1), 1);
    EXPECT_EQ(g.NK, 5);
    EXPECT_DOUBLE_EQ(g.X1(2), 5.5146);
    EXPECT_DOUBLE_EQ(g.XP(1), 3);
    EXPECT_DOUBLE_EQ(g.FP(1), 1);
    EXPECT_DOUBLE_EQ(g.TMAX, 12);
    EXPECT_EQ(g.LSCREEN, 1);
    EXPECT_EQ(g.NCOMP, 5);
    EXPECT_EQ(g.NSC, 25);
    EXPECT_DOUBLE_EQ(g.DRW, 1.5);

    // The writer reproduces the file, including the empty line after the matrix, and the
    // file it writes reads back to the same values.
    const std::string out = app.path("User/copy.mtrd");
    Sec21::Table_File(mdl, out, Sec21::fieldsFromStore(mdl));
    EXPECT_EQ(bytesOf(out), bytesOf(kSample));
    const Store before = mdl;
    sec.dataPath = out;
    sec.InputPar(c);
    EXPECT_EQ(mdl.MC, before.MC);
    EXPECT_EQ(mdl.X1, before.X1);
    EXPECT_EQ(mdl.FP, before.FP);
    EXPECT_DOUBLE_EQ(mdl.SCLT, before.SCLT);
}

TEST_F(Sec21Test, CheckFileEchoesEveryBlock) {
    Mtrd m;
    m.matrix = {"0,0.5,2", "1,0,0", "0,1,0"};
    load(m);
    const auto chk = readAllLines(app.path("User/Input.chk"));
    const std::vector<std::string> want = {"Контроль ввода исходных данных:",
                                           "-------------------------------",
                                           " ",
                                           "H1",
                                           "--",
                                           "MClass = 1",
                                           "NDIM = 3",
                                           "ALFA = 10",
                                           "BETA = 1",
                                           "GAMA = 3",
                                           "H2",
                                           "--",
                                           "0   0.5   2   ",
                                           "1   0   0   ",
                                           "0   1   0   ",
                                           "H3",
                                           "--",
                                           "INK(1) = 1",
                                           "X1(INK(1)) = 1",
                                           "H4",
                                           "--",
                                           "XP(1) = 1",
                                           "XP(2) = 0",
                                           "XP(3) = 0",
                                           "FP(1) = 1",
                                           "FP(2) = 0",
                                           "FP(3) = 0",
                                           "H5",
                                           "--",
                                           "TMAX = 1",
                                           "HHH = 0.1",
                                           "H6",
                                           "--",
                                           "LSCREEN = 0",
                                           "TMIN = 0",
                                           "H7",
                                           "--",
                                           "LGRAPH = 1",
                                           "H8",
                                           "--",
                                           "LSTEP = 0",
                                           "H9",
                                           "--",
                                           "IC(1) = 1",
                                           "IC(2) = 2",
                                           "H10",
                                           "--",
                                           "NSC = 1",
                                           "H11",
                                           "--",
                                           "DLX = 0",
                                           "DRX = 1",
                                           "DLW = 0",
                                           "DRW = 1",
                                           "SCLT = 0"};
    EXPECT_EQ(chk, want);
}

TEST_F(Sec21Test, MatrixReaderTakesAStreamDropsTheRestAndTheEmptyLine) {
    // All nine numbers on one line with a tenth behind them, and no empty line after it.
    Mtrd m;
    m.matrix = {"0,0,1,1,0,0,0,1,0,7"};
    m.emptyAfterMatrix = false;
    load(m);
    EXPECT_DOUBLE_EQ(mdl.MC(1, 3), 1);
    EXPECT_DOUBLE_EQ(mdl.MC(3, 2), 1);
    EXPECT_EQ(mdl.HEAD[3][0], "H3");  // nothing shifted
    EXPECT_EQ(mdl.NSC, 1);

    // Rows split over lines differently, followed by the empty line of the writer.
    m.matrix = {"0,0", "1,1,0,0", "0,1,0"};
    m.emptyAfterMatrix = true;
    load(m);
    EXPECT_DOUBLE_EQ(mdl.MC(2, 1), 1);
    EXPECT_EQ(mdl.HEAD[3][0], "H3");
    EXPECT_DOUBLE_EQ(mdl.SCLT, 0);

    // A letter in the matrix ends the reading with a located message.
    m.matrix = {"0,0,1", "1,x,0", "0,1,0"};
    app.write("User/t.mtrd", m.text());
    try {
        sec.InputPar(c);
        FAIL() << "no error";
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find("MC(2,2)"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("строка 11"), std::string::npos) << e.what();
    }
}

TEST_F(Sec21Test, EmptyIndexListStartsFromZeroAndShiftsNothing) {
    Mtrd m;
    m.ink = "";
    m.xink = "";
    load(m);
    EXPECT_EQ(mdl.NK, 0);
    EXPECT_EQ(mdl.HEAD[4][0], "H4");
    EXPECT_DOUBLE_EQ(mdl.DRW, 1);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(mdl.X1(i), 0);
    // And a saved copy reads back the same.
    Sec21::Table_File(mdl, app.path("User/e.mtrd"), Sec21::fieldsFromStore(mdl));
    sec.dataPath = app.path("User/e.mtrd");
    sec.InputPar(c);
    EXPECT_EQ(mdl.NK, 0);
    EXPECT_EQ(mdl.HEAD[4][0], "H4");
    EXPECT_EQ(mdl.NSC, 1);
}

TEST_F(Sec21Test, MatrixGridLayout) {
    Mtrd m;
    m.matrix = {"0,0.5,2", "1,0,0", "0,1,0"};
    load(m);
    const GridText t = Sec21::matrixGrid(mdl.MC, 3, false);
    EXPECT_EQ(t.rows(), 6);
    EXPECT_EQ(t.cols(), 6);
    EXPECT_EQ(t.at(0, 0), "(i,j)");
    EXPECT_EQ(t.at(0, 2), "1");
    EXPECT_EQ(t.at(4, 0), "3");
    EXPECT_EQ(t.at(2, 3), "0.5");
    EXPECT_EQ(t.at(2, 4), "2");
    EXPECT_EQ(Sec21::matrixGrid(mdl.MC, 3, true).at(2, 3), "0");
    // The matrix is allocated 0..NDIM x 0..NDIM: an index beyond it is an error.
    EXPECT_THROW(mdl.MC(4, 1), VeltaError);
    EXPECT_THROW(mdl.MC(1, -1), VeltaError);
}

// ---------------------------------------------------------------- right-hand sides

TEST_F(Sec21Test, LinksOfTheFourClasses) {
    // Row 1 has entries 2, 0.5 and 1; row 2 only -1 and 1; row 3 nothing.
    Mtrd m;
    m.alfa = "2";
    m.beta = "3";
    m.gama = "2";
    m.matrix = {"2,0.5,1", "-1,0,1", "0,0,0"};
    load(m);
    auto& g = mdl;
    g.XV(1) = 1;
    g.XV(2) = 2;
    g.XV(3) = 0.5;
    auto F = [&](int cls) {
        g.MCLASS = static_cast<i16>(cls);
        g.FV.fill(-7);
        Sec21::Vych_PCH2(mdl);
        return std::vector<double>{g.FV(1), g.FV(2), g.FV(3)};
    };
    // Class 1 counts every positive entry: row 1 sums 1 + 4 + 0.25.
    auto f = F(1);
    EXPECT_DOUBLE_EQ(f[0], 2 / (1 + 3 * 5.25));
    EXPECT_DOUBLE_EQ(f[1], 2 / (1 + 3 * 0.25));
    EXPECT_DOUBLE_EQ(f[2], 2);  // empty sum
    // Classes 2..4 count only entries equal to 1: row 1 links element 3 alone.
    f = F(2);
    EXPECT_DOUBLE_EQ(f[0], 2 / (1 + 3 * 0.25));
    EXPECT_DOUBLE_EQ(f[2], 2);  // empty product
    f = F(3);
    EXPECT_DOUBLE_EQ(f[0], 2 / (1 + 3 * std::pow(0.5, 2)));
    EXPECT_DOUBLE_EQ(f[2], 2 / (1 + 3 * 1.0));  // (empty product)^GAMA = 1
    f = F(4);
    EXPECT_DOUBLE_EQ(f[0], 2 * (1 / (1 + 3 * 0.25)));
    EXPECT_DOUBLE_EQ(f[2], 0);  // empty sum
    // Another class leaves FV as it was.
    f = F(5);
    EXPECT_EQ(f[0], -7);
}

// ---------------------------------------------------------------- results file

TEST_F(Sec21Test, ResultsFileHeaderAndRowsExactly) {
    Mtrd m;
    m.ndim = 2;
    m.matrix = {"0,1", "1,0"};
    m.ink = "1,2";
    m.xink = "0.5,0.25";
    m.xp = "0,0";
    m.fp = "1,0";
    m.tmax = "0.2";
    m.hhh = "0.1";
    m.alfa = "2";
    load(m);
    sec.Integr1(c);
    const auto r = results();
    const std::vector<std::string> head = {"",
                                           "Модель ZORM1(2)",
                                           "NDIM = 2",
                                           "TMAX = 2.00000E-01",
                                           "ALFA = 2.00000E+00",
                                           "BETA = 1.00000E+00",
                                           "GAMA = 3.00000E+00",
                                           "",
                                           "Матрица связей:",
                                           "0   1   ",
                                           "1   0   ",
                                           "",
                                           "                      Таблица",
                                           "        зависимостей компонент вектора X от времени t",
                                           "",
                                           " No        t            X(01)         X(02)",
                                           "-----+-------------+-------------+-------------+"};
    ASSERT_EQ(r.size(), head.size() + 3);  // NDIM + 15 header lines, NSTEP + 1 rows
    EXPECT_EQ(head.size(), 2u + 15u);
    for (std::size_t k = 0; k < head.size(); ++k) EXPECT_EQ(r[k], head[k]) << k;
    EXPECT_EQ(r[17], "0001   0.00000E+00   5.00000E-01   2.50000E-01   ");
    EXPECT_EQ(r[18].substr(0, 20), "0002   1.00000E-01  ");
    EXPECT_EQ(r[19].substr(0, 20), "0003   2.00000E-01  ");
    EXPECT_EQ(r[19].size(), 4u + 3 + 11 + 3 + 2 * 14);
    EXPECT_EQ(mdl.NROW, 3);
}

TEST_F(Sec21Test, TableDensityNSC) {
    Mtrd m;
    m.tmax = "1";
    m.hhh = "0.1";
    m.nsc = "4";  // rows at j = 1, 4, 8
    load(m);
    sec.Integr1(c);
    auto r = results();
    ASSERT_EQ(r.size(), 18u + 3);
    EXPECT_EQ(r[18].substr(0, 4), "0001");
    EXPECT_EQ(r[19].substr(0, 4), "0004");
    EXPECT_EQ(r[20].substr(0, 4), "0008");

    m.nsc = "50";  // more than NSTEP + 1 = 11 steps: the row of j = 1 only
    load(m);
    sec.Integr1(c);
    r = results();
    ASSERT_EQ(r.size(), 18u + 1);
    EXPECT_EQ(r.back().substr(0, 4), "0001");
    EXPECT_EQ(mdl.NROW, 1);
}

TEST_F(Sec21Test, PortionsPauseEveryLstepSteps) {
    Mtrd m;
    m.tmax = "1";
    m.hhh = "0.1";  // 11 passes
    m.lstep = "3";
    load(m);
    sec.Integr1(c);
    ASSERT_EQ(ui.inputs.size(), 3u);  // j = 3, 6, 9
    EXPECT_EQ(ui.inputs[0].title, "   ГГС общего вида");
    EXPECT_EQ(ui.inputs[0].prompt,
              "Для непрерывного вывода введите любой символ,\nпри вводе пустой строки или "
              "нажатии 'Cancel' \n- вывод порциями");
    EXPECT_EQ(ui.inputs[0].x, 0);
    EXPECT_EQ(ui.inputs[0].y, 0);
    EXPECT_EQ(mdl.LSTEP, 3);  // empty answers keep pausing

    ui.inputs.clear();
    ui.answers = {"x"};
    load(m);
    sec.Integr1(c);
    EXPECT_EQ(ui.inputs.size(), 1u);  // a non-empty answer turns pausing off
    EXPECT_EQ(mdl.LSTEP, 0);
    EXPECT_EQ(surf.polls, 22);  // once per step in both runs
}

// ---------------------------------------------------------------- integrator

TEST_F(Sec21Test, IntegratorConvergesAtSecondOrder) {
    Mtrd m;
    m.ndim = 3;
    m.gama = "2";
    m.alfa = "3";
    m.matrix = {"0,0,1", "1,0,0", "0,1,0"};
    m.ink = "1,2,3";
    m.xink = "0.2,1.5,0.7";
    load(m);
    const Vec x0 = mdl.X1;
    const double T = 2;

    // Reference: classical Runge-Kutta with a tiny step on dX/dt = F(X) - X.
    auto deriv = [&](const std::vector<double>& x) {
        for (int i = 1; i <= 3; ++i) mdl.XV(i) = x[i];
        Sec21::Vych_PCH2(mdl);
        std::vector<double> d(4);
        for (int i = 1; i <= 3; ++i) d[i] = mdl.FV(i) - x[i];
        return d;
    };
    std::vector<double> x{0, x0(1), x0(2), x0(3)};
    const double hr = 1e-4;
    for (int s = 0; s < 20000; ++s) {
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

    // The run advances NSTEP + 1 steps: TMAX = T - h ends at T.
    std::vector<double> err;
    for (double h : {0.04, 0.02, 0.01, 0.005}) {
        mdl.X1 = x0;
        mdl.HHH = h;
        mdl.TMAX = T - h;
        sec.Integr1(c);
        double e = 0;
        for (int i = 1; i <= 3; ++i) e = std::max(e, std::fabs(mdl.X1(i) - x[i]));
        err.push_back(e);
    }
    for (std::size_t k = 1; k < err.size(); ++k) {
        const double order = std::log2(err[k - 1] / err[k]);
        EXPECT_GT(order, 1.8) << "h step " << k << " errors " << err[k - 1] << " " << err[k];
        EXPECT_LT(order, 2.3) << "h step " << k;
    }
    EXPECT_LT(err.back(), 1e-3);
}

TEST_F(Sec21Test, SecondRunContinuesFromTheEndState) {
    Mtrd m;
    load(m);
    sec.Integr1(c);
    const double end = mdl.X1(1);
    EXPECT_NE(end, 1.0);
    sec.Integr1(c);
    EXPECT_EQ(results()[18], "0001   0.00000E+00   " + Format(end, "0.00000E+00") + "   " +
                                 Format(mdl.XST(2), "0.00000E+00") + "   " +
                                 Format(mdl.XST(3), "0.00000E+00") + "   ");
}

// ---------------------------------------------------------------- plots

TEST_F(Sec21Test, PoincareCrossingsLieOnThePlane) {
    sec.dataPath = kSample;
    sec.InputPar(c);
    mdl.LGRAPH = 3;
    mdl.IC(1) = 2;
    mdl.IC(2) = 3;
    mdl.NCOMP = 2;
    int crossings = 0;
    // Count by watching GraphicP's dots; check the last crossing against the plane X(1) = 3.
    sec.Integr1(c);
    crossings = static_cast<int>(surf.of(DrawCall::Kind::Circle).size());
    EXPECT_GE(crossings, 2);  // about 1.6 periods of 7.3: up and down crossings
    EXPECT_LE(crossings, 5);
    EXPECT_NEAR(mdl.XCROSS(1), 3, 1e-9);
    ASSERT_NE(surf.findText("П Л О С К О С Т Ь   П У А Н К А Р Е"), nullptr);
    EXPECT_NE(surf.findText("i1 = 2, i2 = 3"), nullptr);
}

TEST_F(Sec21Test, TrajectoryOnThePlaneCrossesEveryStep) {
    Mtrd m;
    m.lgraph = "3";
    m.fp = "0,0,0";  // (N, X - Xo) = 0 everywhere
    m.ink = "1,2,3";
    m.xink = "0.5,0.5,0.5";
    load(m);
    sec.Integr1(c);
    EXPECT_EQ(surf.of(DrawCall::Kind::Circle).size(), 11u);  // NSTEP + 1 passes
    EXPECT_EQ(ui.progress.size(), 11u);
}

TEST_F(Sec21Test, LegendsOfTheThreePlots) {
    Mtrd m;
    m.ic = "1,3";
    load(m);
    sec.Integr1(c);
    EXPECT_NE(surf.findText("Графики компонент вектора X(t)"), nullptr);
    EXPECT_NE(surf.findText("Model  ZORM1(3)"), nullptr);
    EXPECT_NE(surf.findText("ALFA = 1.00000E+01"), nullptr);
    EXPECT_NE(surf.findText("X3"), nullptr);

    surf.forget();
    m.lgraph = "2";
    load(m);
    sec.Integr1(c);
    EXPECT_NE(surf.findText("Графики компонент вектора X в фазовой плоскости"), nullptr);
    EXPECT_NE(surf.findText("i1 = 1, i2 = 3"), nullptr);
    EXPECT_EQ(surf.findText(" - Стационарное"), nullptr);  // no stationary point in 2.1
}

TEST_F(Sec21Test, PeriodOfTheShippedOscillatorThroughTheShell) {
    app.write("User/Kolco5.mtrd", bytesOf(kSample));
    Shell sh(mdl, paths);
    sh.Sect_Select(21);
    SectionCore* core = sh.current();
    ASSERT_NE(core, nullptr);
    core->dataPath = app.path("User/Kolco5.mtrd");
    ASSERT_TRUE(sh.mnuInput(c));
    ASSERT_TRUE(sh.mnuIntegr(c)) << (ui.messages.empty() ? "" : ui.messages.back().text);
    // The sample starts on the limit cycle; its period is about 7.33.
    EXPECT_NEAR(mdl.PERIOD, 7.33, 0.05);
    const DrawCall* p = surf.findText("PERIOD = " + Format(mdl.PERIOD, "0.0000E+00"));
    ASSERT_NE(p, nullptr);
    // 121 rows at NSC = 25 over 1201 passes.
    EXPECT_EQ(results().size(), 20u + 49);
}

// ---------------------------------------------------------------- refused input

TEST_F(Sec21Test, RefusedLimitsLeaveTheOldResultsUntouched) {
    struct Case {
        std::string what;
        std::function<void(Mtrd&)> edit;
        std::string inMessage;
    };
    const std::vector<Case> cases = {
        {"HHH = 0", [](Mtrd& m) { m.hhh = "0"; }, "HHH"},
        {"HHH < 0", [](Mtrd& m) { m.hhh = "-0.1"; }, "HHH"},
        {"NSC = 0", [](Mtrd& m) { m.nsc = "0"; }, "NSC"},
        {"LSTEP < 0", [](Mtrd& m) { m.lstep = "-1"; }, "LSTEP"},
        {"TMAX < 0", [](Mtrd& m) { m.tmax = "-1"; }, "TMAX"},
        // The lists are refused while the file is read, on their own line.
        {"IC beyond NDIM", [](Mtrd& m) { m.ic = "1,4"; },
         "строка 43: ожидалось IC(2) от 1 до NDIM = 3, прочитано «4»"},
        {"IC zero", [](Mtrd& m) { m.ic = "0"; },
         "строка 43: ожидалось IC(1) от 1 до NDIM = 3, прочитано «0»"},
        {"INK zero", [](Mtrd& m) { m.ink = "0"; },
         "строка 17: ожидалось INK(1) от 1 до NDIM = 3, прочитано «0»"},
        {"MCLASS 5", [](Mtrd& m) { m.mclass = 5; }, "MCLASS"},
        {"phase plane with one component",
         [](Mtrd& m) {
             m.lgraph = "2";
             m.ic = "1";
         },
         "LGRAPH"},
        {"13 plotted components",
         [](Mtrd& m) {
             m.ndim = 13;
             m.matrix.assign(13, "0,0,0,0,0,0,0,0,0,0,0,0,0");
             m.xp = m.fp = "0,0,0,0,0,0,0,0,0,0,0,0,0";
             m.ic = "1,2,3,4,5,6,7,8,9,10,11,12,13";
         },
         "12"},
        {"too many steps",
         [](Mtrd& m) {
             m.tmax = "1E10";
             m.hhh = "0.1";
         },
         "шагов"},
    };
    for (const Case& k : cases) {
        Mtrd m;
        k.edit(m);
        app.write("User/Results.mtr", "old results\r\n");
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
        EXPECT_EQ(bytesOf(app.path("User/Results.mtr")), "old results\r\n") << k.what;
        EXPECT_TRUE(surf.calls.empty()) << k.what << ": drew before refusing";
    }
}

TEST_F(Sec21Test, NonFiniteStepEndsTheRunNamingTheStep) {
    Mtrd m;
    m.gama = "0.5";
    m.xink = "-1";  // (-1)^0.5 in the equation of element 2
    load(m);
    try {
        sec.Integr1(c);
        FAIL() << "no error";
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find("j = 1, t = 0.00000E+00"), std::string::npos) << e.what();
    }
    // The file keeps the header and the row written before the failure.
    EXPECT_EQ(results().size(), 18u + 1);
}
