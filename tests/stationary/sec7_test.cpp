#include "stationary/section7/sec7.h"

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

#include <algorithm>
#include <cmath>
#include <fstream>
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

std::vector<double> numbersOf(const std::string& line) {
    std::istringstream in(line);
    std::vector<double> v;
    std::string w;
    while (in >> w) v.push_back(std::stod(w));
    return v;
}

// Table rows of a results file: the lines after the header line that starts with "-".
std::vector<std::vector<double>> tableRows(const std::vector<std::string>& lines) {
    std::vector<std::vector<double>> rows;
    bool in = false;
    for (const std::string& l : lines) {
        if (l.rfind("          -+", 0) == 0) {
            in = true;
            continue;
        }
        if (in && l.rfind("     ", 0) == 0) rows.push_back(numbersOf(l));
    }
    return rows;
}

const char* const kSamples[] = {"StaResh5_LL1.stRd", "StaResh5_LL2.stRd"};

class Sec7Test : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override { setColours(mdl, true); }
    void loadSample(const std::string& name) {
        app.write("User/" + name, bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/" + name));
        sec.dataPath = app.path("User/" + name);
        sec.InputPar(c);
    }
    // The LL = 1 sample's values set directly: N = 5, BETA = 1, GAMA = 2, g(s) = s - 3.
    void base() {
        auto& g = mdl;
        g.NDIM = 5;
        g.BETA = 1;
        g.GAMA = 2;
        g.LL = 1;
        g.Smax = 20;
        g.SH = 0.01;
        g.Hmax = 0.1;
        g.Delta = 0.2;
        g.ALmax = 10;
        g.DRX = 1;
        g.DRY = 0.5;
    }
    std::string user(const std::string& name) const { return app.path("User/" + name); }

    // Residual of the stationary equations of M(NDIM,NDIM) at a point with LL components
    // u1 and the rest u2, by section 1.1's right-hand sides of class 1 with KMOD = NDIM
    // (every element repressed by all the others).
    double residual(double alfa, double u1, double u2) {
        auto& g = mdl;
        const i16 saved[] = {g.MCLASS, g.KMOD};
        const double savedAlfa = g.ALFA;
        const int n = g.NDIM;
        g.MCLASS = 1;
        g.KMOD = g.NDIM;
        g.ALFA = alfa;
        for (Vec* v : {&g.XV, &g.FV, &g.XG}) v->alloc(n);
        for (int i = 1; i <= n; ++i) g.XV(i) = i <= g.LL ? u1 : u2;
        Sec11::Vych_PCH(mdl);
        double worst = 0;
        for (int i = 1; i <= n; ++i) worst = std::max(worst, std::fabs(g.FV(i) - g.XV(i)) / g.XV(i));
        g.MCLASS = saved[0];
        g.KMOD = saved[1];
        g.ALFA = savedAlfa;
        return worst;
    }

    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Sec7 sec;
};

// ---------------------------------------------------------------- data file

TEST_F(Sec7Test, SamplesReadAndWriteBackByteForByte) {
    for (const char* name : kSamples) {
        SCOPED_TRACE(name);
        mdl.reset();
        loadSample(name);
        Sec7::Table_File(mdl, user("copy.stRd"), Sec7::fieldsFromStore(mdl));
        EXPECT_EQ(bytesOf(user("copy.stRd")), bytesOf(user(name)));
    }
}

TEST_F(Sec7Test, ReadingStoresEveryKeyTheBoundsAndTheEcho) {
    loadSample("StaResh5_LL2.stRd");
    const auto& g = mdl;
    EXPECT_EQ(g.NDIM, 5);
    EXPECT_EQ(g.BETA, 1);
    EXPECT_EQ(g.GAMA, 4);
    EXPECT_EQ(g.LL, 2);
    EXPECT_EQ(g.Smax, 5);
    EXPECT_EQ(g.SH, 0.001);
    EXPECT_EQ(g.Hmax, 0.01);
    EXPECT_EQ(g.Delta, 1);
    EXPECT_EQ(g.ALmax, 60);
    EXPECT_EQ(g.DRX, 1);
    EXPECT_EQ(g.DRY, 0.05);
    EXPECT_EQ(g.SCRX, 60);
    EXPECT_DOUBLE_EQ(g.SCRY, 3);
    const std::vector<std::string> chk = linesOf(user("Input.chk"));
    const std::vector<std::string> keys = {"NDIM = 5",   "BETA = 1",   "GAMA = 4",    "LL = 2",
                                           "Smax = 5",   "SH = 0.001", "HMAX = 0.01", "DELTA = 1",
                                           "ALmax = 60", "DRX = 1",    "DRY = 0.05"};
    for (const std::string& k : keys) EXPECT_NE(std::find(chk.begin(), chk.end(), k), chk.end()) << k;
    EXPECT_EQ(chk.size(), 3u + 8u + keys.size());
}

// ---------------------------------------------------------------- the model

TEST_F(Sec7Test, GOfSByHand) {
    base();
    // LL = 1, GAMA = 2: (s^2 - 1)/(s - 1) + 1 - 5 = s - 3, and GAMA + 1 - 5 at s = 1 exactly.
    for (double s : {0.5, 2.0, 3.0, 5.0, 17.25}) EXPECT_NEAR(Sec7::F_GS(mdl, s), s - 3, 1e-12) << s;
    EXPECT_EQ(Sec7::F_GS(mdl, 1), -2);
    // LL = 2, GAMA = 4, NDIM = 5: s^3 + s^2 + s + 1 - s^4 - 3.
    mdl.LL = 2;
    mdl.GAMA = 4;
    for (double s : {0.5, 1.2, 1.5, 2.0})
        EXPECT_NEAR(Sec7::F_GS(mdl, s), s * s * s + s * s + s + 1 - s * s * s * s - 3, 1e-12) << s;
    EXPECT_EQ(Sec7::F_GS(mdl, 1), 0);
}

TEST_F(Sec7Test, BranchPointsSolveTheStationaryEquations) {
    base();
    for (int ll : {1, 2}) {
        mdl.LL = static_cast<i16>(ll);
        mdl.GAMA = ll == 1 ? 2 : 4;
        for (double s :
             ll == 1 ? std::vector<double>{3.5, 5, 13.4, 40} : std::vector<double>{1.05, 1.2, 1.5}) {
            const double gs = Sec7::F_GS(mdl, s);
            ASSERT_GT(gs, 0) << s;
            const Sec7::Point p = Sec7::F_AU12(mdl, s, gs);
            EXPECT_NEAR(p.u1 / p.u2, s, 1e-12 * s);
            EXPECT_LT(residual(p.alfa, p.u1, p.u2), 1e-12) << "LL " << ll << ", s " << s;
        }
    }
    for (double uu : {1e-4, 0.3, 1.7, 12.0}) EXPECT_LT(residual(Sec7::symAlfa(mdl, uu), uu, uu), 1e-12) << uu;
}

// ---------------------------------------------------------------- the run

TEST_F(Sec7Test, LL1RunWritesBothFilesAndEveryRowSolvesTheModel) {
    loadSample("StaResh5_LL1.stRd");
    sec.Integr1(c);
    const std::vector<std::string> r = linesOf(user("Results.stR"));
    const std::vector<std::string> head = {"",
                                           " ЧАСТИЧНО СИММЕТРИЧНОЕ РЕШЕНИЕ, LL= 1 ",
                                           " NDIM = 5",
                                           " BETA = 1.00000E+00",
                                           " GAMA = 2.00000E+00",
                                           "",
                                           " Границы области положительности функции g(s)",
                                           " Левая граница : sL = 3.01000E+00",
                                           " g(s) > 0 при всех s > sL",
                                           "",
                                           "           Параметрическая зависимость ALFA, u1 и u2 от s",
                                           "",
                                           "           ALFA         U1           U2           s",
                                           "          -+------------+------------+------------+-----------"};
    ASSERT_GT(r.size(), head.size() + 1);
    EXPECT_EQ(std::vector<std::string>(r.begin(), r.begin() + 14), head);
    EXPECT_EQ(r[14].substr(0, 11), "     0001  ");
    const auto& g = mdl;
    const std::vector<std::vector<double>> rows = tableRows(r);
    ASSERT_EQ(static_cast<int>(rows.size()), sec.partRows);
    ASSERT_GT(rows.size(), 50u);
    double lowest = 1e300;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const auto& w = rows[k];
        ASSERT_EQ(w.size(), 5u);
        EXPECT_EQ(w[0], static_cast<double>(k + 1));
        EXPECT_LE(w[1], g.ALmax);
        EXPECT_LE(w[4], g.Smax);
        // Six digits in the file: the equations hold to that rounding.
        EXPECT_LT(residual(w[1], w[2], w[3]), 1e-4) << "row " << k + 1;
        EXPECT_NEAR(w[2] / w[3], w[4], 3e-5 * w[4]);
        if (k > 0) {
            EXPECT_LE(std::fabs(w[1] - rows[k - 1][1]), g.Delta + 1e-5);
            EXPECT_LE(std::fabs(w[2] - rows[k - 1][2]), g.Delta + 1e-5);
            EXPECT_GT(w[4], rows[k - 1][4]);
        }
        lowest = std::min(lowest, w[1]);
    }
    // The first row is the first scan point from sL whose ALFA is not above ALmax.
    const double s1 = rows[0][4];
    EXPECT_GT(Sec7::F_AU12(mdl, s1 - 0.01, Sec7::F_GS(mdl, s1 - 0.01)).alfa, g.ALmax);
    // ALFA(s) = s(s + 1)/(s - 3)^1.5 has its minimum at s = (13 + sqrt(193))/2 by hand.
    const double smin = (13 + std::sqrt(193.0)) / 2;
    const double alfaMin = smin * (smin + 1) / std::pow(smin - 3, 1.5);
    EXPECT_NEAR(sec.ALmin, alfaMin, 1e-3);
    EXPECT_EQ(r.back(), " ALmin =" + Format(sec.ALmin, "0.00000E+00"));
    EXPECT_NEAR(lowest, sec.ALmin, 1e-5 * lowest);

    const std::vector<std::string> s = linesOf(user("Symmetr.stR"));
    const std::vector<std::string> shead = {" CИММЕТРИЧНОЕ РЕШЕНИЕ МОДЕЛИ M(NDIM,NDIM)",
                                            " NDIM = 5",
                                            " BETA = 1.00000E+00",
                                            " GAMA = 2.00000E+00",
                                            "",
                                            "      Зависимость UU от ALFA в симметричном решении",
                                            "",
                                            "           ALFA         UU           ",
                                            "          -+------------+------------"};
    EXPECT_EQ(std::vector<std::string>(s.begin(), s.begin() + 9), shead);
    EXPECT_EQ(s[0].substr(1, 1), "C");  // the Latin capital
    EXPECT_EQ(s[9], "     0001  1.00000E-04  1.00000E-04");
    const std::vector<std::vector<double>> srows = tableRows(s);
    ASSERT_EQ(static_cast<int>(srows.size()), sec.symRows);
    for (std::size_t k = 0; k < srows.size(); ++k) {
        EXPECT_LT(residual(srows[k][1], srows[k][2], srows[k][2]), 1e-4) << "row " << k + 1;
        EXPECT_LE(srows[k][1], g.ALmax);
        if (k > 0) {
            EXPECT_LE(srows[k][1] - srows[k - 1][1], g.Delta + 1e-5);
        }
    }
    // The branch ends at its last point not beyond ALmax: the next accepted step (ALFA
    // advancing by DELTA at most) went beyond it.
    EXPECT_LT(g.ALmax - srows.back()[1], g.Delta + 1e-5);
}

TEST_F(Sec7Test, LL2RunFindsBothEndsAndStopsNearTheRightOne) {
    loadSample("StaResh5_LL2.stRd");
    sec.Integr1(c);
    const std::vector<std::string> r = linesOf(user("Results.stR"));
    EXPECT_EQ(r[7], " Левая граница : sL = 1.00100E+00");
    EXPECT_EQ(r[8], " Правая граница: sR = 1.52100E+00");
    EXPECT_EQ(r[9], "");
    // The true ends: g(1) = 0 and the root of -s^4 + s^3 + s^2 + s - 2 near 1.52.
    EXPECT_LE(Sec7::F_GS(mdl, sec.sL - 0.001), 0);
    EXPECT_GT(Sec7::F_GS(mdl, sec.sL), 0);
    EXPECT_GT(Sec7::F_GS(mdl, sec.sR), 0);
    EXPECT_LT(Sec7::F_GS(mdl, sec.sR + 0.001), 0);
    const std::vector<std::vector<double>> rows = tableRows(r);
    ASSERT_GT(rows.size(), 20u);
    for (const auto& w : rows) {
        EXPECT_LT(w[4], sec.sR);
        EXPECT_LT(residual(w[1], w[2], w[3]), 1e-4);
    }
}

TEST_F(Sec7Test, DiagramFrameLegendAndSegmentsFromTheOrigin) {
    loadSample("StaResh5_LL1.stRd");
    mdl.SCLX = 5;  // left by another section: the diagram starts at 0 all the same
    mdl.SCLY = 2;
    sec.Integr1(c);
    const auto& g = mdl;
    EXPECT_EQ(g.SCLX, 0);
    EXPECT_EQ(g.SCLY, 0);
    for (const char* t :
         {"СТАЦИОНАРНЫЕ РЕШЕНИЯ МОДЕЛИ M(NDIM,NDIM)", "U", "ALFA", " Параметры модели", "NDIM = 5",
          "BETA = 1.00000E+00", "GAMA = 2.00000E+00", "LL   = 1", "UU -", "симметричное", "решение", "U1 \\",
          "U2 / частично", "ALFA >= ALmin - ", "область определения", "U1 и U2,"})
        EXPECT_NE(surf.findText(t), nullptr) << t;
    const DrawCall* al = surf.findText("ALmin = " + Format(sec.ALmin, "0.00000E+00"));
    ASSERT_NE(al, nullptr);
    EXPECT_DOUBLE_EQ(al->y1, g.TXTY + 25.0 * g.CHH);
    EXPECT_DOUBLE_EQ(al->x1, g.TXTX);
    // The symmetric branch starts at (ALFA, UU) = (1e-4, 1e-4): the lower left corner.
    bool fromOrigin = false;
    int sym = 0, u1 = 0, u2 = 0;
    for (const DrawCall& d : surf.of(DrawCall::Kind::Segment)) {
        if (d.x1 >= g.PX1 + 1 && d.x2 >= g.PX1 + 1) continue;  // legend samples
        if (d.colour == QBColor(12)) {
            ++sym;
            if (std::fabs(d.x1 - g.PX0) < 0.01 && std::fabs(d.y1 - g.PY0) < 0.01) fromOrigin = true;
        }
        if (d.colour == QBColor(9)) ++u1;
        if (d.colour == QBColor(10)) ++u2;
    }
    EXPECT_TRUE(fromOrigin);
    EXPECT_EQ(sym, sec.symRows - 1);  // UU stays below SCRY = 5: every step drawn
    EXPECT_EQ(u1, sec.partRows - 1);
    EXPECT_EQ(u2, sec.partRows - 1);
}

TEST_F(Sec7Test, PointsAtOrAboveScryAreWrittenButNotDrawn) {
    base();
    mdl.DRY = 0.08;  // SCRY = 0.8
    sec.Integr1(c);
    const auto& g = mdl;
    const std::vector<std::vector<double>> srows = tableRows(linesOf(user("Symmetr.stR")));
    int below = 0;
    for (std::size_t k = 1; k < srows.size(); ++k)
        if (srows[k][2] < g.SCRY) ++below;
    // The step after the last row (beyond ALmax) is not drawn either.
    int sym = 0, u1 = 0;
    for (const DrawCall& d : surf.of(DrawCall::Kind::Segment)) {
        if (d.x1 >= g.PX1 + 1) continue;
        if (d.colour == QBColor(12)) ++sym;
        if (d.colour == QBColor(9)) ++u1;
    }
    EXPECT_GT(srows.size(), static_cast<std::size_t>(below) + 5);
    EXPECT_EQ(sym, below);
    EXPECT_EQ(u1, 0);  // u1 > 3.4 everywhere
    EXPECT_GT(sec.partRows, 50);
}

// With LL = 1 and ALmax below the whole branch the start point walks to Smax and stops.
TEST_F(Sec7Test, StartBeyondAlmaxEverywhereEndsAtSmax) {
    base();
    mdl.ALmax = 5;  // ALmin = 5.75
    mdl.DRY = 1;
    sec.Integr1(c);
    const std::vector<std::string> r = linesOf(user("Results.stR"));
    EXPECT_EQ(sec.partRows, 0);
    EXPECT_TRUE(tableRows(r).empty());
    EXPECT_EQ(r.back().substr(0, 14), " ALmin =5.7532");
}

// g(s) = s - 3 is exactly 0 at the scan point s = 3: no sign change is seen there, so no
// interval is found up to Smax; the message names the scan steps.
TEST_F(Sec7Test, ExactZeroAtAScanPointIsNoSignChange) {
    base();
    mdl.SH = 0.5;
    mdl.Smax = 10;
    app.write("User/Symmetr.stR", "old\r\n");
    sec.Integr1(c);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, " SS > Smax, STOP, IT = 21");
    EXPECT_EQ(ui.messages[0].title, "");
    const std::vector<std::string> r = linesOf(user("Results.stR"));
    ASSERT_EQ(r.size(), 7u);
    EXPECT_EQ(r[6], " Границы области положительности функции g(s)");
    EXPECT_EQ(bytesOf(user("Symmetr.stR")), "old\r\n");
    EXPECT_EQ(surf.findText("СТАЦИОНАРНЫЕ РЕШЕНИЯ МОДЕЛИ M(NDIM,NDIM)"), nullptr);
    EXPECT_TRUE(surf.of(DrawCall::Kind::Segment).empty());
}

TEST_F(Sec7Test, ScanStopsAtSmaxAfterTheLeftEndWhenNoRightEndFollows) {
    base();
    mdl.LL = 2;
    mdl.GAMA = 4;
    mdl.SH = 0.001;
    mdl.Smax = 1.3;  // the right end 1.52 lies beyond
    sec.Integr1(c);
    ASSERT_EQ(ui.messages.size(), 1u);
    // s passes 1.3 at the 1300th or 1301st step, as the sums of 0.001 round.
    const std::string m = ui.messages[0].text;
    EXPECT_TRUE(m == " SS > Smax, STOP, IT = 1300" || m == " SS > Smax, STOP, IT = 1301") << m;
    const std::vector<std::string> r = linesOf(user("Results.stR"));
    EXPECT_EQ(r.back(), " Левая граница : sL = 1.00100E+00");
}

TEST_F(Sec7Test, RefusedLimitsLeaveTheOldResultsAndTheCanvasUntouched) {
    app.write("User/Results.stR", "old results\r\n");
    app.write("User/Symmetr.stR", "old sym\r\n");
    struct Bad {
        const char* what;
        void (*set)(Store&);
        const char* words;
    };
    const Bad bad[] = {
        {"NDIM 1", [](Store& g) { g.NDIM = 1; }, "NDIM"},
        {"LL 0", [](Store& g) { g.LL = 0; }, "LL"},
        {"LL = NDIM", [](Store& g) { g.LL = 5; }, "LL"},
        {"BETA 0", [](Store& g) { g.BETA = 0; }, "BETA"},
        {"GAMA negative", [](Store& g) { g.GAMA = -2; }, "GAMA"},
        {"Smax 0", [](Store& g) { g.Smax = 0; }, "Smax"},
        {"SH 0", [](Store& g) { g.SH = 0; }, "SH"},
        {"SH negative", [](Store& g) { g.SH = -0.1; }, "SH"},
        {"HMAX 0", [](Store& g) { g.Hmax = 0; }, "HMAX"},
        {"DELTA negative", [](Store& g) { g.Delta = -1; }, "DELTA"},
        {"DELTA too small", [](Store& g) { g.Delta = 1e-6; }, "DELTA"},
        {"ALmax 0", [](Store& g) { g.ALmax = 0; }, "ALmax"},
        {"DRY 0", [](Store& g) { g.DRY = 0; }, "DRY"},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.what);
        mdl.reset();
        setColours(mdl, true);
        base();
        b.set(mdl);
        surf.forget();
        try {
            sec.Integr1(c);
            ADD_FAILURE() << "not refused";
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find(b.words), std::string::npos) << e.what();
        }
        EXPECT_EQ(bytesOf(user("Results.stR")), "old results\r\n");
        EXPECT_EQ(bytesOf(user("Symmetr.stR")), "old sym\r\n");
        EXPECT_TRUE(surf.calls.empty());
        EXPECT_TRUE(ui.messages.empty());
    }
}

// A branch whose steps cannot satisfy DELTA ends with a message, not an endless loop.
TEST_F(Sec7Test, TooManyRowsEndWithAMessageAndTheRowsWritten) {
    base();
    mdl.Hmax = 1e-7;  // UU from 1e-4 up to 1.3 in steps of 1e-7: beyond the row limit
    try {
        sec.Integr1(c);
        ADD_FAILURE() << "not stopped";
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find("Симметричное решение"), std::string::npos) << e.what();
    }
    const std::string bytes = bytesOf(user("Symmetr.stR"));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 9 + 1000000);
}

}  // namespace
