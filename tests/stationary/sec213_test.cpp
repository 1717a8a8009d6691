#include "stationary/section213/sec213.h"

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
    std::istringstream in(cp1251ToUtf8(bytesOf(path)));
    std::string l;
    while (std::getline(in, l)) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        out.push_back(l);
    }
    return out;
}

std::vector<double> numbersOf(const std::string& line) {
    std::istringstream in(line);
    std::vector<double> v;
    std::string w;
    while (in >> w) v.push_back(std::stod(w));
    return v;
}

class Sec213Test : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override { setColours(mdl, true); }
    void loadSample(const std::string& name) {
        app.write("User/" + name, bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/" + name));
        sec.dataPath = app.path("User/" + name);
        sec.InputPar(c);
    }
    std::string user(const std::string& name) const { return app.path("User/" + name); }

    // Residuals of the model of the section at (y, q) with S0 of the run, and for each
    // equation the residual that rounding every value to `rel` relative digits can cause.
    void residual(const std::vector<double>& y, double q, const Vec& s0, double rel, std::vector<double>& f,
                  std::vector<double>& bound) const {
        const auto& g = mdl;
        const int n = g.NDIM;
        f.assign(n, 0);
        bound.assign(n, 0);
        for (int i = 1; i <= n; ++i) {
            double s = q * s0(i);
            for (int j = 1; j <= n; ++j)
                if (j != i && g.MC(i, j) == 1) s += std::pow(y[j - 1], g.GAMA);
            const double d = 1 + g.BETA * s;
            f[i - 1] = g.ALFA / d - y[i - 1];
            double b = std::fabs(y[i - 1]) * rel + g.ALFA * g.BETA * s0(i) / (d * d) * std::fabs(q) * rel;
            for (int j = 1; j <= n; ++j)
                if (j != i && g.MC(i, j) == 1)
                    b += g.ALFA * g.BETA * g.GAMA * std::pow(y[j - 1], g.GAMA) / (d * d) * rel;
            bound[i - 1] = 2 * b + 1e-13;
        }
    }

    TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
    Sec213 sec;
};

}  // namespace

// ---------------------------------------------------------------- data file

TEST_F(Sec213Test, SampleReadsAndWritesBackByteForByte) {
    loadSample("Kolco5.srgd");
    const auto& g = mdl;
    EXPECT_EQ(g.NDIM, 5);
    EXPECT_EQ(g.ALFA, 10);
    EXPECT_EQ(g.GAMA, 2);
    EXPECT_EQ(g.MC(1, 5), 1);
    EXPECT_EQ(g.MC(2, 1), 1);
    EXPECT_EQ(g.MC(1, 2), 0);
    EXPECT_EQ(sec.U10, 10);
    EXPECT_EQ(sec.QSOLV, 0);
    EXPECT_EQ(sec.HSTEP, -0.05);
    EXPECT_EQ(sec.H(6), 0.02);
    EXPECT_EQ(sec.UL(1), 1e-6);
    EXPECT_EQ(sec.UR(6), 10);
    EXPECT_EQ(sec.LIMIT0, 20);
    EXPECT_EQ(sec.EXACT, 1e-10);
    EXPECT_EQ(sec.NEND, 200);
    EXPECT_EQ(g.NCOMP, 5);
    EXPECT_EQ(g.IC(5), 5);
    EXPECT_EQ(g.SCRY, 10);
    EXPECT_EQ(sec.k.INDEX, 6);

    const auto chk = linesOf(user("Input.chk"));
    auto has = [&](const std::string& s) {
        for (const auto& l : chk)
            if (l == s) return true;
        return false;
    };
    EXPECT_TRUE(has("0   0   0   0   1   "));
    EXPECT_TRUE(has("H(6) = 0.02"));
    EXPECT_TRUE(has("UL(1) = 1E-06"));
    EXPECT_TRUE(has("UR(6) = 10"));
    EXPECT_TRUE(has("IC(3) = 3"));
    EXPECT_TRUE(has("U20 = 0.1"));

    // The window's texts written back give the same file, at the grids' size whatever the
    // store's NDIM, which the writer leaves alone.
    const Sec213::Fields f = sec.fieldsFromStore(mdl);
    mdl.NDIM = 2;
    Sec213::Table_File(mdl, user("copy.srgd"), f);
    EXPECT_EQ(bytesOf(user("copy.srgd")), bytesOf(user("Kolco5.srgd")));
    EXPECT_EQ(mdl.NDIM, 2);
    Sec213 again;
    again.dataPath = user("copy.srgd");
    again.InputPar(c);
    EXPECT_EQ(again.H, sec.H);
    EXPECT_EQ(again.UR, sec.UR);
}

TEST_F(Sec213Test, MatrixWithoutTheEmptyLineStillReads) {
    loadSample("Kolco5.srgd");
    std::string text = bytesOf(user("Kolco5.srgd"));
    const std::string tail = "0,0,0,1,0\r\n\r\n";
    const auto p = text.find(tail);
    ASSERT_NE(p, std::string::npos);
    text.replace(p, tail.size(), "0,0,0,1,0\r\n");
    app.write("User/short.srgd", text);
    Sec213 s;
    s.dataPath = user("short.srgd");
    ASSERT_NO_THROW(s.InputPar(c));
    EXPECT_EQ(s.U20, 0.1);
    EXPECT_EQ(mdl.SCRY, 10);
}

TEST_F(Sec213Test, BadPlotListIsRefusedOnItsLine) {
    std::string text = bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/Kolco5.srgd");
    const std::string list = "IC(I):\r\n1,2,3,4,5\r\n";
    const auto p = text.find(list);
    ASSERT_NE(p, std::string::npos);
    text.replace(p, list.size(), "IC(I):\r\n1,-1,3\r\n");
    app.write("User/bad.srgd", text);
    sec.dataPath = user("bad.srgd");
    try {
        sec.InputPar(c);
        ADD_FAILURE() << "accepted";
    } catch (const VeltaError& e) {
        EXPECT_EQ(std::string(e.what()), "Ошибка чтения файла " + user("bad.srgd") +
                                             ", строка 48: ожидалось IC(2) от 1 до NDIM = 5, прочитано «-1»");
    }
}

// ---------------------------------------------------------------- starting solution

TEST(Sec213Start, RelaxationSteps) {
    // TMAX < HHH: exactly one step from U10, U20.
    const double a = 3, b = 2, gm = 2, h = 0.5;
    const auto r = Sec213::relax(3, 1, a, b, gm, h, 0.1, 1, 2);
    const double F1 = a / (1 + b * (2 * 4.0 + 0 * 1.0));
    const double F2 = a / (1 + b * (1 * 4.0 + 1 * 1.0));
    const double U1 = (h * F1 + 1) / (1 + h), U2 = (h * F2 + 2) / (1 + h);
    EXPECT_DOUBLE_EQ(r.U1, U1);
    EXPECT_DOUBLE_EQ(r.U2, U2);
    EXPECT_DOUBLE_EQ(r.err1, F1 - U1);
    EXPECT_DOUBLE_EQ(r.err2, F2 - U2);
    // Long relaxation: U1, U2 satisfy their equations.
    const auto s = Sec213::relax(5, 1, 10, 1, 2, 0.1, 200, 10, 0.1);
    EXPECT_NEAR(s.U1, 10 / (1 + 4 * s.U2 * s.U2), 1e-10);
    EXPECT_NEAR(s.U2, 10 / (1 + 3 * s.U2 * s.U2 + s.U1 * s.U1), 1e-10);
    // LDIM = NDIM: the U2 formula is still iterated.
    const auto t = Sec213::relax(3, 3, 2, 1, 1, 0.1, 100, 1, 1);
    EXPECT_NEAR(t.U1, 2 / (1 + 2 * t.U1), 1e-9);
    EXPECT_TRUE(std::isfinite(t.U2));
    EXPECT_THROW(Sec213::relax(3, 1, 2, 1, 1, 0, 1, 1, 1), VeltaError);       // HHH = 0
    EXPECT_THROW(Sec213::relax(3, 1, 2, 1, 1, -1, 1, 1, 1), VeltaError);      // would never end
    EXPECT_THROW(Sec213::relax(3, 1, 2, 1, 0.5, 0.1, 1, -1, 1), VeltaError);  // NaN
}

TEST(Sec213Start, GroupLists) {
    EXPECT_EQ(Sec213::parseGroups("1,2,2", 3), (std::vector<int>{1, 2, 2}));
    EXPECT_TRUE(Sec213::parseGroups("1,2", 3).empty());
    EXPECT_TRUE(Sec213::parseGroups("1,2,2,1", 3).empty());
    EXPECT_TRUE(Sec213::parseGroups("1,3,2", 3).empty());
    EXPECT_TRUE(Sec213::parseGroups("1,x,2", 3).empty());
}

TEST_F(Sec213Test, FirstStageMessagesAndRepeatRule) {
    loadSample("Kolco5.srgd");
    ui.answers = {"2", "1,2", "1,2,2,2,2"};
    ASSERT_TRUE(sec.firstStage(c));
    ASSERT_EQ(ui.inputs.size(), 3u);
    EXPECT_EQ(ui.inputs[0].prompt,
              "Введите LDIM -\n   число компонент стац. решения первой группы,\n"
              "   равных U1,  1 <= LDIM <= NDIM\n   (NDIM - LDIM - число компонент стац. решения\n"
              "   второй группы, равных U2)");
    EXPECT_EQ(ui.inputs[0].title, "   VELTA");
    EXPECT_EQ(ui.inputs[0].defaultText, "1");
    EXPECT_EQ(ui.inputs[0].x, 0);
    EXPECT_EQ(ui.inputs[1].prompt,
              "Введите список номеров \n   компонент вектора стац. решения Y:\n"
              "      первая группа - индекс 1,\n      вторая группа - индекс 2");
    EXPECT_EQ(ui.inputs[1].defaultText, "1,2,2");
    EXPECT_EQ(sec.LDIM, 2);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text.substr(0, ui.messages[0].text.find("\n\n")),
              "Значения компонент вектора Y в 1-й и 2-й группах");
    EXPECT_NE(ui.messages[0].text.find("\n  U1 = " + Fmt_Exp(sec.U1, 6) + ",   err1 = "), std::string::npos);
    EXPECT_EQ(ui.messages[1].text,
              "Повторите ввод номеров компонент вектора Y\n(общее число номеров должно быть = NDIM)");
    std::string expect = "   Стартовое решение\n\n  NDIM =  5\n  LDIM =  2\n";
    for (int i = 1; i <= 5; ++i)
        expect += "\n  Y(" + std::to_string(i) + ") = " + Fmt_Exp(i == 1 ? sec.U1 : sec.U2, 6);
    EXPECT_EQ(ui.messages[2].text, expect);
    EXPECT_EQ(sec.YSTART(1), sec.U1);
    EXPECT_EQ(sec.YSTART(4), sec.U2);

    // An empty LDIM answer does nothing; an empty group list keeps the starting vector.
    ScriptedPrompter quiet;
    Ctx c2{surf, quiet, paths, mdl};
    EXPECT_FALSE(sec.firstStage(c2));
    EXPECT_TRUE(quiet.messages.empty());
    quiet.answers = {"1"};
    const Vec before = sec.YSTART;
    EXPECT_TRUE(sec.firstStage(c2));
    EXPECT_EQ(sec.YSTART, before);
}

// ---------------------------------------------------------------- model

TEST_F(Sec213Test, JacobianMatchesDifferences) {
    loadSample("Povorot6.srgd");
    auto& g = mdl;
    Sec213::Model k;
    k.setup(g.NDIM);
    const int n = g.NDIM, n1 = n + 1;
    for (int i = 1; i <= n; ++i) k.Y(i) = 0.3 + 0.4 * i;
    k.Y(n1) = 0.37;
    k.alfa = g.ALFA;
    k.beta = g.BETA;
    k.gama = 2.5;
    k.teta = k.alfa * k.beta * k.gama;
    k.mc = &g.MC;
    Sec213::modelConstants(k, g.MC);
    k.FUNCp();
    const Mat a = k.A;
    Vec f0(n);
    for (int i = 1; i <= n; ++i) f0(i) = k.DY(i);
    for (int j = 1; j <= n1; ++j) {
        const double h = 1e-6;
        const double keep = k.Y(j);
        k.Y(j) = keep + h;
        k.FUNCp();
        Vec fp(n);
        for (int i = 1; i <= n; ++i) fp(i) = k.DY(i);
        k.Y(j) = keep - h;
        k.FUNCp();
        for (int i = 1; i <= n; ++i) EXPECT_NEAR(a(i, j), (fp(i) - k.DY(i)) / (2 * h), 1e-6) << i << "," << j;
        k.Y(j) = keep;
    }
    // Hand check of equation 1 (MC(1,4) = 1 is its only link).
    double s0 = 0;
    for (int j = 2; j <= n; ++j)
        if (j != 4) s0 += std::pow(k.Y(j), 2.5);
    EXPECT_NEAR(k.S0(1), s0, 1e-12);
    const double d = 1 + g.BETA * (0.37 * s0 + std::pow(k.Y(4), 2.5));
    EXPECT_NEAR(f0(1), g.ALFA / d - k.Y(1), 1e-12);
}

TEST_F(Sec213Test, FullMatrixMakesQmodIrrelevant) {
    loadSample("Kolco5.srgd");
    auto& g = mdl;
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 5; ++j) g.MC(i, j) = i == j ? 0 : 1;
    ui.answers = {"1", "1,2,2,2,2", "END"};
    sec.Integr1(c);
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(sec.k.S0(i), 0);
    // The start is already the solution at QMOD = QSOLV: Y is unchanged along the curve.
    const auto q = linesOf(user("QSOLV.srg"));
    ASSERT_GE(q.size(), 4u);
    EXPECT_EQ(q[3], "1  " + Format(sec.U1, "0.00000E+00"));
}

// ---------------------------------------------------------------- runs

TEST_F(Sec213Test, ShippedSamplesReachQsolvAndEveryPointSolvesTheModel) {
    struct Case {
        const char* file;
        const char* groups;
        int turns;
    };
    for (const Case& cs : {Case{"Kolco5.srgd", "1,2,2,2,2", 0}, Case{"Povorot6.srgd", "1,2,2,2,2,2", 2}}) {
        SCOPED_TRACE(cs.file);
        mdl.reset();
        setColours(mdl, true);
        ui = ScriptedPrompter{};
        sec = Sec213{};
        loadSample(cs.file);
        ui.answers = {"1", cs.groups, "END"};
        sec.Integr1(c);
        const auto& g = mdl;
        const int n = g.NDIM;

        // The closing box, after the two questions of the start.
        ASSERT_EQ(ui.inputs.size(), 3u);
        EXPECT_EQ(ui.inputs[2].prompt, "\n\n      QMOD = QSOLV");
        EXPECT_EQ(ui.inputs[2].title, "   VELTA");
        EXPECT_EQ(ui.inputs[2].defaultText, "END");
        EXPECT_EQ(ui.inputs[2].x, 380);
        EXPECT_EQ(ui.inputs[2].y, 0);
        EXPECT_EQ(sec.k.MARK, 0);
        EXPECT_EQ(sec.k.NSOLV, 1);
        EXPECT_EQ(sec.k.NTURN, cs.turns);

        // Results.srg: ALFA, BETA, GAMA, TETA, then every point converged to EXACT.
        const auto r = linesOf(user("Results.srg"));
        ASSERT_GT(r.size(), 10u);
        EXPECT_EQ(r[0], printedNumber(g.ALFA));
        EXPECT_EQ(r[1], printedNumber(g.BETA));
        EXPECT_EQ(r[2], printedNumber(g.GAMA));
        EXPECT_EQ(r[3], printedNumber(g.ALFA * g.BETA * g.GAMA));
        EXPECT_EQ(r[4].substr(0, 31), "0000   0" + Format(n + 1, "000") + "   1.00000000E+00   ");
        std::vector<double> f, bound;
        for (std::size_t l = 4; l < r.size(); ++l) {
            const auto v = numbersOf(r[l]);
            ASSERT_EQ(v.size(), static_cast<std::size_t>(n + 3)) << r[l];
            EXPECT_EQ(v[0], static_cast<double>(l - 4));
            residual(std::vector<double>(v.begin() + 3, v.end()), v[2], sec.k.S0, 5e-9, f, bound);
            for (int i = 0; i < n; ++i) EXPECT_LE(std::fabs(f[i]), bound[i]) << r[l];
        }

        // QSOLV.srg: the solution at QMOD = 0 to its printed digits.
        const auto q = linesOf(user("QSOLV.srg"));
        ASSERT_EQ(q.size(), static_cast<std::size_t>(n + 4));
        EXPECT_EQ(q[0], "     QSOLV = 0.00000E+00");
        EXPECT_EQ(q[1], "------------------------- ");
        EXPECT_EQ(q[2], "Решение 1 ");
        std::vector<double> ys;
        for (int i = 1; i <= n; ++i) {
            EXPECT_EQ(q[static_cast<std::size_t>(2 + i)].substr(0, 3), std::to_string(i) + "  ");
            ys.push_back(std::stod(q[static_cast<std::size_t>(2 + i)].substr(3)));
        }
        EXPECT_EQ(q.back(), "");
        residual(ys, 0, sec.k.S0, 5e-6, f, bound);
        for (int i = 0; i < n; ++i) EXPECT_LE(std::fabs(f[i]), bound[i]) << "QSOLV " << i + 1;

        // BSOLV.srg: each turning point solves the model at its QMOD to its printed digits.
        const auto b = linesOf(user("BSOLV.srg"));
        ASSERT_GE(b.size(), 2u);
        EXPECT_EQ(b[0], "РЕШЕНИЕ В ТОЧКАХ ПОВОРОТА");
        int found = 0;
        for (std::size_t l = 2; l < b.size(); ++l) {
            const auto p = b[l].find(",  QMOD = ");
            if (p == std::string::npos) continue;
            ++found;
            EXPECT_EQ(b[l].substr(0, p), "Решение " + std::to_string(found) + " ");
            const double qm = std::stod(b[l].substr(p + 10));
            std::vector<double> yt;
            for (int i = 1; i <= n; ++i) {
                const std::string& li = b[l + static_cast<std::size_t>(i)];
                EXPECT_EQ(li.substr(0, 5), "  " + std::to_string(i) + "  ");
                yt.push_back(std::stod(li.substr(5)));
            }
            residual(yt, qm, sec.k.S0, 5e-6, f, bound);
            for (int i = 0; i < n; ++i) EXPECT_LE(std::fabs(f[i]), bound[i]) << b[l];
        }
        EXPECT_EQ(found, cs.turns);
    }
}

TEST_F(Sec213Test, DiagramFrameLegendAndSegments) {
    loadSample("Kolco5.srgd");
    ui.answers = {"1", "1,2,2,2,2", "END"};
    sec.Integr1(c);
    const auto& g = mdl;
    EXPECT_NE(surf.findText("Зависимость компонент вектора Y от параметра QMOD"), nullptr);
    const DrawCall* q = surf.findText(" QSOLV = 0");
    ASSERT_NE(q, nullptr);
    EXPECT_DOUBLE_EQ(q->x1, g.TXTX + 4 * g.CHW);
    EXPECT_DOUBLE_EQ(q->y1, g.TXTY + 2 * g.CHH);
    EXPECT_EQ(q->colour, g.CAXES);
    ASSERT_NE(surf.findText(" Компоненты"), nullptr);
    const DrawCall* x3 = surf.findText("X(3)");
    ASSERT_NE(x3, nullptr);
    EXPECT_DOUBLE_EQ(x3->x1, g.TXTX + 2 * g.CHW);
    EXPECT_DOUBLE_EQ(x3->y1, g.TXTY + 10 * g.CHH);
    EXPECT_EQ(x3->colour, QBColor(11));
    const auto segs = surf.of(DrawCall::Kind::Segment);
    // The yellow QSOLV line, the five sample lines, then five segments per step.
    const double xq = g.PX0 + (0 - g.SCLX) * g.KX;
    int yellow = 0, perColour[16] = {};
    for (const auto& s : segs) {
        if (s.colour == QBColor(14) && s.x1 == xq && s.x2 == xq) ++yellow;
        for (int j = 1; j <= 5; ++j)
            if (s.colour == QBColor(14 - j)) ++perColour[14 - j];
    }
    EXPECT_EQ(yellow, 1);
    const int steps = static_cast<int>(linesOf(user("Results.srg")).size()) - 5;
    for (int j = 1; j <= 5; ++j) EXPECT_EQ(perColour[14 - j], steps + 1) << j;  // + sample line
    EXPECT_GT(surf.polls, 0);
}

TEST_F(Sec213Test, StopCodeShowsItsBoxesThenTheEndBox) {
    loadSample("Kolco5.srgd");
    sec.QMAX = 0.5;  // QMOD = 1 of the start lies outside [QMIN, QMAX]
    ui.answers = {"1", "1,2,2,2,2", ""};
    sec.Integr1(c);
    EXPECT_EQ(sec.k.MARK, 4);
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages[2].text, "MARK = 4 => INFOR");
    EXPECT_EQ(ui.messages[3].text, Continuation::inforText(4, false));
    ASSERT_EQ(ui.inputs.size(), 3u);
    EXPECT_EQ(ui.inputs[2].prompt, "\n\n      QMOD = QSOLV");
    // Nothing was recorded past the start.
    EXPECT_TRUE(linesOf(user("Results.srg")).empty());
}

TEST_F(Sec213Test, ContinueQuestionNoClosesWithoutTheEndBox) {
    loadSample("Kolco5.srgd");
    sec.NEND = 5;
    ui.answers = {"1", "1,2,2,2,2", "YES", "NO", "END"};
    sec.Integr1(c);
    ASSERT_EQ(ui.inputs.size(), 4u);
    EXPECT_EQ(ui.inputs[2].prompt, "\n\n      Продолжить?");
    EXPECT_EQ(ui.inputs[3].prompt, "\n\n      Продолжить?");
    EXPECT_EQ(sec.k.ISTEP, 10);
    EXPECT_EQ(linesOf(user("Results.srg")).size(), 4u + 11u);
}

TEST_F(Sec213Test, StartIsKeptForTheSameParametersAndRemadeOtherwise) {
    loadSample("Kolco5.srgd");
    ui.answers = {"1", "1,2,2,2,2", "END", "END"};
    sec.Integr1(c);
    sec.Integr1(c);  // same parameters: no new questions, same run
    ASSERT_EQ(ui.inputs.size(), 4u);
    EXPECT_EQ(ui.inputs[3].prompt, "\n\n      QMOD = QSOLV");
    mdl.ALFA = 9;
    ui.answers = {""};
    sec.Integr1(c);  // the start belongs to ALFA = 10: asked again, left empty, nothing run
    EXPECT_EQ(ui.inputs.size(), 5u);
    EXPECT_EQ(ui.inputs[4].defaultText, "1");
}

TEST_F(Sec213Test, RefusedInputLeavesOldResultsUntouched) {
    loadSample("Kolco5.srgd");
    app.write("User/Results.srg", "old\r\n");
    app.write("User/QSOLV.srg", "old\r\n");
    auto refused = [&](auto change, const std::string& word) {
        Sec213 s = sec;
        change(s);
        ScriptedPrompter p;
        Ctx cc{surf, p, paths, mdl};
        try {
            s.Integr1(cc);
            ADD_FAILURE() << "not refused: " << word;
        } catch (const VeltaError& e) {
            EXPECT_NE(std::string(e.what()).find(word), std::string::npos) << e.what();
        }
        EXPECT_TRUE(p.inputs.empty());
    };
    refused([](Sec213& s) { s.EMIN = 0; }, "EMIN");
    refused([](Sec213& s) { s.EXACT = 0; }, "EXACT");
    refused([](Sec213& s) { s.LIMIT = 0; }, "LIMIT");
    refused([](Sec213& s) { s.LIMIT0 = -1; }, "LIMIT0");
    refused([](Sec213& s) { s.QMIN = 2; }, "QMIN");
    refused([](Sec213& s) { s.H(3) = -0.1; }, "H(3)");
    refused([](Sec213& s) { s.HSTEP = 0; }, "HSTEP");
    refused([&](Sec213&) { mdl.IC(2) = 6; }, "IC(2)");
    mdl.IC(2) = 2;
    refused([&](Sec213&) { mdl.NCOMP = 13; }, "min(12,NDIM)");
    EXPECT_EQ(bytesOf(user("Results.srg")), "old\r\n");
    EXPECT_EQ(bytesOf(user("QSOLV.srg")), "old\r\n");
}

TEST_F(Sec213Test, TooLargeDimensionIsRefusedByTheReader) {
    std::string text = bytesOf(std::string(VELTA_SOURCE_DIR) + "/User/Kolco5.srgd");
    const auto p = text.find("NDIM = 5");
    ASSERT_NE(p, std::string::npos);
    text.replace(p, 8, "NDIM = 21");
    app.write("User/big.srgd", text);
    sec.dataPath = user("big.srgd");
    try {
        sec.InputPar(c);
        FAIL() << "not refused";
    } catch (const VeltaError& e) {
        EXPECT_NE(std::string(e.what()).find("NDIM"), std::string::npos);
    }
}
