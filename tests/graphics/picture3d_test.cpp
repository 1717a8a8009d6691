#include "graphics/picture3d.h"

#include "app/shell.h"
#include "data/error.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "data/store.h"
#include "data/textfile.h"
#include "graphics/canvas.h"
#include "support/recording_surface.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

using namespace velta;
using velta::test::DrawCall;
using velta::test::RecordingSurface;
using K = DrawCall::Kind;

namespace {

// A results text: `header` blank-ish lines, then rows "step   t   x1   x2 ...".
std::string table(int header, const std::vector<std::vector<double>>& rows) {
    std::string s;
    for (int i = 0; i < header; ++i) s += "header " + std::to_string(i + 1) + "\r\n";
    int step = 1;
    for (const auto& r : rows) {
        s += std::to_string(step++) + "   0.1";
        for (double x : r) s += "   " + CStr(x);
        s += "   \r\n";
    }
    return s;
}

class Picture3D : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        Store& g = mdl;
        g.NDIM = 3;
        g.IC(1) = 1;
        g.IC(2) = 2;
        g.IC(3) = 3;
        g.SCRX = 4;
        g.NSC = 10;
        g.RESEXT = "mnk";
    }

    // Runs a reader over a text; returns the check file's lines.
    std::vector<std::string> read(void (*reader)(const Store&, View3D&, TextReader&, TextWriter&),
                                  const std::string& text) {
        std::istringstream in(text);
        TextReader r(in, "Results.mnk");
        std::ostringstream out;
        {
            TextWriter w(out);
            reader(mdl, v, r, w);
        }
        std::vector<std::string> lines;
        std::istringstream back(cp1251ToUtf8(out.str()));
        for (std::string l; std::getline(back, l);) lines.push_back(l.substr(0, l.size() - 1));
        return lines;
    }

    View3D v;
};

TEST_F(Picture3D, HeaderLinesByResultsExtension) {
    EXPECT_EQ(headerLines("mnk", 3), 18);
    EXPECT_EQ(headerLines("mtr", 10), 25);
    EXPECT_EQ(headerLines("sy1", 8), 14);
    EXPECT_EQ(headerLines("sy2", 8), 19);
    EXPECT_EQ(headerLines("gse", 4), 18);
    EXPECT_EQ(headerLines("cha", 3), 14);
    EXPECT_THROW(headerLines("srg", 3), VeltaError);
}

TEST_F(Picture3D, PhaseRowsAreReadShiftedAndEchoed) {
    mdl.NROW = 2;
    mdl.IC(1) = 3;
    mdl.IC(2) = 1;
    mdl.IC(3) = 2;
    const auto chk = read(&readPhase, table(18, {{1, 2, 3.5}, {0.25, 4, -1}, {9, 9, 9}}));
    ASSERT_EQ(v.X3.size(), 3u);
    EXPECT_EQ(v.X3[1], 3.5 - 2);  // component 3, shifted by -SCRX/2
    EXPECT_EQ(v.Y3[1], 1 - 2);
    EXPECT_EQ(v.Z3[1], 2 - 2);
    EXPECT_EQ(v.X3[2], -1 - 2);
    EXPECT_EQ(v.Y3[2], 0.25 - 2);
    ASSERT_EQ(chk.size(), 5u);
    EXPECT_EQ(chk[0], "Контроль ввода данных:");
    EXPECT_EQ(chk[1], "----------------------");
    EXPECT_EQ(chk[2], "mnk");
    // Values before the shift, in 14-character print zones.
    EXPECT_EQ(chk[3], " 3.5           1             2 ");
    EXPECT_EQ(chk[4], "-1             0.25          4 ");
}

TEST_F(Picture3D, ShortOrForeignTablesStopWithAMessage) {
    mdl.NROW = 3;
    EXPECT_THROW(read(&readPhase, table(18, {{1, 2, 3}, {1, 2, 3}})), VeltaError);  // ends early
    mdl.NROW = 1;
    mdl.IC(3) = 5;  // no such column
    EXPECT_THROW(read(&readPhase, table(18, {{1, 2, 3}})), VeltaError);
    mdl.IC(3) = 3;
    EXPECT_THROW(read(&readPhase, table(18, {{1, 2}})), VeltaError);
    mdl.NROW = 0;  // nothing computed yet
    EXPECT_THROW(read(&readPhase, table(18, {{1, 2, 3}})), VeltaError);
    mdl.NROW = 1;
    mdl.RESEXT = "mtz";
    EXPECT_THROW(read(&readPhase, table(18, {{1, 2, 3}})), VeltaError);
}

TEST_F(Picture3D, CrossingsOfTheHyperplane) {
    Store& g = mdl;
    g.XP.alloc(3);
    g.FP.alloc(3);
    g.XP(1) = 1;  // plane x1 = 1
    g.FP(1) = 1;
    g.NROW = 4;
    // x1: 0 -> 2 crosses at lambda 0.5; 2 -> 3 no; 3 -> 0.5 crosses at lambda 0.8.
    const auto chk = read(&readPuan, table(18, {{0, 10, 0}, {2, 20, 4}, {3, 30, 4}, {0.5, 40, 4}}));
    ASSERT_EQ(v.PUANCOUNT, 2);
    EXPECT_DOUBLE_EQ(v.XC1[1], 1 - 2);
    EXPECT_DOUBLE_EQ(v.XC2[1], 15 - 2);
    EXPECT_DOUBLE_EQ(v.XC3[1], 2 - 2);
    EXPECT_DOUBLE_EQ(v.XC1[2], 1 - 2);
    EXPECT_DOUBLE_EQ(v.XC2[2], 30 + 0.8 * 10 - 2);
    ASSERT_EQ(chk.size(), 5u);
    EXPECT_EQ(chk[3], " 1             1             15            2 ");

    // Never crossing: no points, only the title lines in the check file.
    g.NROW = 2;
    EXPECT_EQ(read(&readPuan, table(18, {{2, 0, 0}, {3, 0, 0}})).size(), 3u);
    EXPECT_EQ(v.PUANCOUNT, 0);

    // Two rows on the plane: a crossing with lambda 0 (D below 1e-6).
    read(&readPuan, table(18, {{1, 5, 6}, {1, 7, 8}}));
    ASSERT_EQ(v.PUANCOUNT, 1);
    EXPECT_EQ(v.XC2[1], 5 - 2);
}

TEST_F(Picture3D, ProjectionAndScreenMapping) {
    v.SINTE = 0;
    v.COSTE = 1;
    double u, w;
    PereSchet(v, 1, 2, 3, 0, 1, u, w);  // along the z axis: u = x, v = y
    EXPECT_EQ(u, 1);
    EXPECT_EQ(w, 2);
    // A quarter turn in longitude and a tilt of 30 degrees.
    v.SINTE = 0.5;
    v.COSTE = std::sqrt(0.75);
    PereSchet(v, 1, 2, 3, 1, 0, u, w);
    EXPECT_DOUBLE_EQ(u, -3);
    EXPECT_DOUBLE_EQ(w, 2 * std::sqrt(0.75) - 0.5 * 1);

    v.KX3 = 10;
    v.KX3B = 20;
    v.X3C = 100;
    v.X3C2 = 300;
    v.KY3 = -5;
    v.Y3C = 50;
    v.SIMG = 0;
    EXPECT_EQ(newx(v, 2), 120);
    v.SIMG = 1;
    EXPECT_EQ(newx(v, 2), 340);
    EXPECT_EQ(newy(v, 2), 40);
}

TEST_F(Picture3D, HiddenCornersByQuadrant) {
    EXPECT_EQ(hiddenCorners(0.5, 0.8, 0.3, 0.9), std::vector<int>{7});
    EXPECT_EQ(hiddenCorners(0.5, -0.8, -0.3, -0.9), std::vector<int>{2});
    EXPECT_EQ(hiddenCorners(-0.5, -0.8, 0.3, -0.9), std::vector<int>{7});
    EXPECT_EQ(hiddenCorners(-0.5, 0.8, -0.3, 0.9), std::vector<int>{2});
    // FI = TE = 0: every sine is on a boundary, four corners apply.
    EXPECT_EQ(hiddenCorners(0, 1, 0, 1), (std::vector<int>{7, 3, 6, 2}));
}

TEST_F(Picture3D, BoxDrawsTwelveEdgesWithTheAxesColoured) {
    Input2_k(mdl, v);
    EXPECT_EQ(v.XK[7], -2);
    EXPECT_EQ(v.YK[1], 2);
    EXPECT_EQ(v.ZK[2], -2);
    v.FI = 0.3;
    v.TE = 0.2;
    v.SINTE = std::sin(v.TE);
    v.COSTE = std::cos(v.TE);
    v.KX3 = 50;
    v.KY3 = -50;
    v.X3C = 285.5;
    v.Y3C = 311;
    SFRPRO_k(v, std::sin(v.FI), std::cos(v.FI));
    RecordingSurface surf;
    test::ScriptedPrompter ui;
    AppPaths paths("/nonexistent");
    Ctx c{surf, ui, paths, mdl};
    DrawKub(c, v, std::sin(v.FI), std::cos(v.FI));
    const auto lines = surf.of(K::LineTo);
    ASSERT_EQ(lines.size(), 12u);
    int dotted = 0, red = 0, green = 0, blue = 0;
    for (const auto& l : lines) {
        dotted += l.style == LineStyle::Dotted;
        red += l.colour == QBColor(12);
        green += l.colour == QBColor(10);
        blue += l.colour == QBColor(9);
    }
    EXPECT_EQ(dotted, 3);  // the edges of hidden corner 7
    EXPECT_EQ(red, 1);
    EXPECT_EQ(green, 1);
    EXPECT_EQ(blue, 1);
    for (const auto& l : lines)
        if (l.style == LineStyle::Dotted) {
            EXPECT_DOUBLE_EQ(l.x1, newx(v, v.XE[7]));
            EXPECT_DOUBLE_EQ(l.y1, newy(v, v.YE[7]));
        }
}

TEST_F(Picture3D, RotationStepsAndLatitudeLimit) {
    v.DFIR = 0.01 * kHalfPi;
    v.DTER = 0.11 * kHalfPi;
    v.FI = 10 * v.DFIR;
    EXPECT_NEAR(v.FI, 0.157, 1e-3);
    turn(v, Turn::Left);
    EXPECT_NEAR(v.FI, 0.3142, 1e-4);
    turn(v, Turn::Right);
    turn(v, Turn::Right);
    EXPECT_NEAR(v.FI, 0, 1e-12);

    v.opt.latitudeLimit = true;
    v.TE = 0;
    turn(v, Turn::Down);
    EXPECT_EQ(v.TE, 1.5706963267949001);
    turn(v, Turn::Up);
    turn(v, Turn::Up);
    EXPECT_EQ(v.TE, -1.5706963267949001);
    v.opt.latitudeLimit = false;
    turn(v, Turn::Up);
    EXPECT_NEAR(v.TE, -1.5706963267949001 - 10 * v.DTER, 1e-12);

    v.opt.latitudeLimit = true;
    v.TE = 0;
    v.FI = 0;
    // A move turns by the offset in units of fifteen pixels: a 100-pixel drag by 100/15
    // increments, about 0.105 rad of longitude here.
    drag(v, 4, -2);
    EXPECT_DOUBLE_EQ(v.FI, -4 / 15.0 * v.DFIR);
    EXPECT_DOUBLE_EQ(v.TE, -2 / 15.0 * v.DTER);
    v.FI = 0;
    drag(v, 100, 0);
    EXPECT_NEAR(v.FI, -0.1047, 1e-4);
    drag(v, 0, 100);
    EXPECT_NEAR(v.TE, (100 - 2) / 15.0 * v.DTER, 1e-12);
    drag(v, 0, 60);
    EXPECT_EQ(v.TE, 1.5706963267949001);
}

class Picture3DFiles : public Picture3D {
protected:
    void SetUp() override {
        Picture3D::SetUp();
        app.write("User/Ugly.ugl",
                  utf8ToCp1251("Угловые данные\r\n--------------\r\nDFI = 0.01\r\nDTE = 0.02\r\n"
                               "SFI = 0.05\r\nSSCR = 0.5\r\nMSCR = 0.6\r\n"));
        mdl.NROW = 3;
        app.write("User/Results.mnk", table(18, {{0.5, 0.5, 0.5}, {1, 2, 3}, {3.5, 3.5, 3.5}}));
        setColours(mdl, true);
    }
    Ctx ctx() { return Ctx{surf, ui, paths, mdl}; }
    test::TempApp app;
    AppPaths paths{app.root()};
    RecordingSurface surf;
    test::ScriptedPrompter ui;
};

TEST_F(Picture3DFiles, PhaseSpacePictureFromTheFiles) {
    Ctx c = ctx();
    Options3D o;
    o.phase = true;
    m3D_Graph(c, v, o);
    EXPECT_TRUE(v.loaded);
    EXPECT_DOUBLE_EQ(v.FI, 10 * 0.01 * kHalfPi);
    EXPECT_DOUBLE_EQ(v.TE, 10 * 0.02 * kHalfPi);
    EXPECT_EQ(v.X3C, 285.5);
    EXPECT_EQ(v.Y3C, 311);
    EXPECT_DOUBLE_EQ(v.KY3, (311.0 - 545) / 4 * 1.155);

    const auto chk = readAllLines(app.user() + "/Ugly.chk");
    ASSERT_EQ(chk.size(), 9u);
    EXPECT_EQ(chk[0], "Контроль ввода угловых данных:");
    EXPECT_EQ(chk[2], "Угловые данные");
    EXPECT_EQ(chk[4], "DFI  = 0.01");
    EXPECT_EQ(chk[8], "MSCR = 0.6");
    EXPECT_EQ(readAllLines(app.user() + "/Phas.chk").size(), 6u);

    // Side panel: title and the shown longitude -FI.
    EXPECT_NE(surf.findText("Фазовое пространство"), nullptr);
    EXPECT_NE(surf.findText("X            X(1)"), nullptr);
    EXPECT_NE(surf.findText("-0.1571"), nullptr);
    EXPECT_EQ(surf.findText("Параметры стерео-режима:"), nullptr);
    // The trajectory: two segments inside the panel.
    int coloured = 0;
    for (const auto& s : surf.of(K::Segment))
        coloured += s.colour == static_cast<Colour>(CLng(std::sin(2 / 10.0) * 16777215.0));
    EXPECT_EQ(coloured, 1);

    // One "Left": redrawn with the new longitude, files not read again.
    app.write("User/Results.mnk", "");
    surf.forget();
    turn(v, Turn::Left);
    Run1(c, v);
    EXPECT_NE(surf.findText("-0.3142"), nullptr);
    EXPECT_EQ(surf.findText("Фазовое пространство"), nullptr);  // side panel kept as it is
}

TEST_F(Picture3DFiles, StereoPairAndMissingAngleFile) {
    Ctx c = ctx();
    Options3D o;
    o.phase = true;
    o.stereo = true;
    v.uglyFile = app.user() + "/Gone.ugl";  // missing: the default is read
    m3D_Graph(c, v, o);
    // SSCR = 0.5: centres 275.5 pixels apart, symmetric about the middle of the panel.
    EXPECT_DOUBLE_EQ(v.X3C2 - v.X3C, 275.5);
    EXPECT_DOUBLE_EQ((v.X3C + v.X3C2) / 2, 10 + 551 / 2.0);
    EXPECT_DOUBLE_EQ(v.KY3, (311.0 - 545) / 4 * 0.6);
    EXPECT_NE(surf.findText("Параметры стерео-режима:"), nullptr);
    EXPECT_NE(surf.findText(" 0.05"), nullptr);
    EXPECT_EQ(surf.of(K::LineTo).size(), 24u);  // two boxes

    std::filesystem::remove(app.user() + "/Ugly.ugl");
    EXPECT_THROW(m3D_Graph(c, v, o), VeltaError);
    EXPECT_FALSE(v.loaded);
    mdl.SCRX = 0;
    EXPECT_THROW(m3D_Graph(c, v, o), VeltaError);
}

TEST_F(Picture3DFiles, OptionsComeFromTheCurrentSectionsDialog) {
    AppPaths p(app.root());
    Shell s(mdl, p);
    s.Sect_Select(9);
    s.varpar[static_cast<int>(VarDlg::VarPar)].optPhas3 = true;  // another section's dialog
    auto& o9 = s.varpar[static_cast<int>(VarDlg::VarPar9)];
    o9.optPuan3 = true;
    o9.chkStereo = true;
    o9.chkTE = false;
    Options3D o = options3D(s);
    EXPECT_FALSE(o.phase);
    EXPECT_TRUE(o.puan);
    EXPECT_TRUE(o.stereo);
    EXPECT_FALSE(o.latitudeLimit);

    s.Sect_Select(511);
    s.varpar[static_cast<int>(VarDlg::VarPar1)].optPhas3 = true;
    s.varpar[static_cast<int>(VarDlg::VarPar)].chkTE = true;
    o = options3D(s);
    EXPECT_TRUE(o.phase);
    EXPECT_FALSE(o.stereo);
    EXPECT_TRUE(o.latitudeLimit);
}

}  // namespace
