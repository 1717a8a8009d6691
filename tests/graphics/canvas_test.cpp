#include "graphics/canvas.h"

#include "app/prompter.h"
#include "data/numtext.h"
#include "data/paths.h"
#include "graphics/surface.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace velta;
using velta::test::DrawCall;
using velta::test::RecordingSurface;
using K = DrawCall::Kind;

namespace {

// Keeps what the canvas tells the progress bar.
class ProgressPrompter : public SilentPrompter {
public:
    void progressShow(int maximum) override { shown.push_back(maximum); }
    void progressValue(int value) override { values.push_back(value); }
    void progressHide() override { ++hidden; }
    std::vector<int> shown, values;
    int hidden = 0;
};

constexpr Colour kWhite = 0xFFFFFF, kBlack = 0x000000, kLightGrey = 0xC0C0C0;
constexpr Colour kGreen = 0x008000, kLightMagenta = 0xFF00FF, kLightRed = 0x0000FF;
constexpr Colour kLightCyan = 0xFFFF00, kYellow = 0x00FFFF, kLightGreen = 0x00FF00;

class CanvasTest : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override { setColours(mdl, true); }

    // The frame of a time plot: t 0..10, X 0..1.
    void frameTime() { MeshMaskG(c, "Графики компонент вектора X(t)", "X", "t", 0, 10, 0, 1); }
    void framePhase() { MeshMaskG(c, "phase", "X(i2)", "X(i1)", 0, 1, 0, 1); }

    const DrawCall& text(const std::string& s) {
        const DrawCall* d = surf.findText(s);
        if (!d) throw std::runtime_error("text not drawn: " + s);
        return *d;
    }
    bool textAt(const std::string& t, double x, double y) const {
        for (const auto& d : surf.calls)
            if (d.kind == K::Text && d.text == t && d.x1 == x && d.y1 == y) return true;
        return false;
    }
    // Pixel top of side-panel row r (TXTY = 91, CHH = 15 with the recording metrics).
    static double row(double r) { return 91 + 15 * r; }

    RecordingSurface surf;
    ProgressPrompter ui;
    AppPaths paths{VELTA_SOURCE_DIR};
    Ctx c{surf, ui, paths, mdl};
    Store& s = mdl;
};

}  // namespace

// ---------------------------------------------------------------- palette and metrics

TEST(CanvasPalette, ClassicSixteenColoursAndRange) {
    const Colour expected[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                 0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(QBColor(i), expected[i]) << "index " << i;
    EXPECT_THROW(QBColor(-1), VeltaError);
    EXPECT_THROW(QBColor(16), VeltaError);
}

TEST(CanvasPalette, NullSurfaceCountsCharactersNotBytes) {
    NullSurface n;
    EXPECT_EQ(n.textWidth("X"), 7);
    EXPECT_EQ(n.textWidth("Компоненты"), 70);  // 10 Cyrillic letters, 20 bytes
    EXPECT_EQ(n.textWidth(""), 0);
}

TEST_F(CanvasTest, ColourSchemeWhiteAndBlack) {
    setColours(mdl, false);
    EXPECT_EQ(s.QBACK, 0);
    EXPECT_EQ(s.QFRAME, 15);
    EXPECT_EQ(s.QAXES, 7);
    EXPECT_EQ(s.CBACK, kBlack);
    EXPECT_EQ(s.CFRAME, kWhite);
    EXPECT_EQ(s.CAXES, kLightGrey);

    // Black background: black panels with white borders, grid and labels light grey.
    frameTime();
    auto fills = surf.of(K::FillBox);
    ASSERT_EQ(fills.size(), 2u);
    for (const auto& f : fills) EXPECT_EQ(f.colour, kBlack);
    auto boxes = surf.of(K::Box);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].colour, kWhite);
    EXPECT_EQ(boxes[1].colour, kWhite);
    EXPECT_EQ(boxes[2].colour, kLightGrey);
    for (const auto& g : surf.of(K::Segment)) EXPECT_EQ(g.colour, kLightGrey);
    for (const auto& t : surf.of(K::Text)) EXPECT_EQ(t.colour, kLightGrey) << t.text;

    setColours(mdl, true);
    EXPECT_EQ(s.QBACK, 15);
    EXPECT_EQ(s.QFRAME, 0);
    EXPECT_EQ(s.QAXES, 0);
    EXPECT_EQ(s.CBACK, kWhite);
    EXPECT_EQ(s.CFRAME, kBlack);
    EXPECT_EQ(s.CAXES, kBlack);
}

// ---------------------------------------------------------------- frame and axes

TEST_F(CanvasTest, MeshMaskGDrawsPanelsBoxAndDottedGrid) {
    MeshMaskG(c, "Графики компонент вектора X(t)", "X", "t", 0, 100, 0, 10);

    EXPECT_EQ(s.LEFTP, 10);
    EXPECT_EQ(s.TOPP, 76);
    EXPECT_EQ(s.RIGHTP, 561);
    EXPECT_EQ(s.BOTP, 545);
    EXPECT_EQ(s.SIDEX, 551);
    EXPECT_EQ(s.CANW, 774);
    EXPECT_EQ(s.CANH, 470);

    auto fills = surf.of(K::FillBox);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].x1, 10);
    EXPECT_EQ(fills[0].y1, 76);
    EXPECT_EQ(fills[0].x2, 561);
    EXPECT_EQ(fills[0].y2, 545);
    EXPECT_EQ(fills[0].colour, kWhite);
    EXPECT_EQ(fills[1].x1, 573);
    EXPECT_EQ(fills[1].x2, 783);
    EXPECT_EQ(fills[1].colour, kWhite);

    auto boxes = surf.of(K::Box);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].colour, kBlack);
    EXPECT_EQ(boxes[1].x1, 573);
    // The plot rectangle.
    EXPECT_EQ(boxes[2].x1, 62);
    EXPECT_EQ(boxes[2].y1, 91);
    EXPECT_EQ(boxes[2].x2, 524);
    EXPECT_EQ(boxes[2].y2, 530);
    EXPECT_EQ(boxes[2].colour, kBlack);
    EXPECT_EQ(boxes[2].width, 1);
    EXPECT_EQ(s.PX0, 62);
    EXPECT_EQ(s.PY1, 91);
    EXPECT_EQ(s.PX1, 524);
    EXPECT_EQ(s.PY0, 530);

    // Grid: quarters at x = 177, 292, 407 and y = 200, 309, 418, all dotted.
    auto grid = surf.of(K::Segment);
    ASSERT_EQ(grid.size(), 6u);
    const double xs[3] = {177, 292, 407}, ys[3] = {200, 309, 418};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(grid[i].x1, xs[i]);
        EXPECT_EQ(grid[i].x2, xs[i]);
        EXPECT_EQ(grid[i].y1, 91);
        EXPECT_EQ(grid[i].y2, 530);
        EXPECT_EQ(grid[i].style, LineStyle::Dotted);
        EXPECT_EQ(grid[3 + i].y1, ys[i]);
        EXPECT_EQ(grid[3 + i].y2, ys[i]);
        EXPECT_EQ(grid[3 + i].x1, 62);
        EXPECT_EQ(grid[3 + i].x2, 524);
        EXPECT_EQ(grid[3 + i].style, LineStyle::Dotted);
    }
    // Back to solid lines for what follows.
    EXPECT_EQ(surf.lineStyle, LineStyle::Solid);
}

TEST_F(CanvasTest, MeshMaskGTextsAndTicks) {
    MeshMaskG(c, "Графики компонент вектора X(t)", "X", "t", 0, 100, -2, 2);
    EXPECT_EQ(s.CHW, 7);
    EXPECT_EQ(s.CHH, 15);

    // Title: 30 characters = 210 px centred over the 462 px plot starting at 62.
    EXPECT_EQ(text("Графики компонент вектора X(t)").x1, 188);
    EXPECT_EQ(text("Графики компонент вектора X(t)").y1, 78);
    EXPECT_EQ(text("X").x1, 62);
    EXPECT_EQ(text("X").y1, 78);

    // Horizontal ticks: 0, 25, 50, 75, 100 at y = PY0 + 1, x from PX0 - 3*CHW by 115.
    const char* xt[5] = {"0.00E+0", "2.50E+1", "5.00E+1", "7.50E+1", "1.00E+2"};
    const double xx[5] = {41, 156, 271, 386, 503};
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(textAt(xt[i], xx[i], 531)) << xt[i];
    // Vertical ticks at x = 12: ymax at PY1 - 8 (CHH/2 = 7.5 rounds to even 8), then by 109,
    // ymin at PY0 - CHH; negative values keep their sign.
    const char* yt[5] = {"2.00E+0", "1.00E+0", "0.00E+0", "-1.00E+0", "-2.00E+0"};
    const double yy[5] = {83, 192, 301, 410, 515};
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(textAt(yt[i], 12, yy[i])) << yt[i];
    EXPECT_EQ(surf.of(K::Text).size(), 13u);  // title, two axis names, ten ticks
    // Horizontal axis name at (PX1 + CHW/2, PY0 + 3 - CHH), not rounded.
    EXPECT_EQ(text("t").x1, 527.5);
    EXPECT_EQ(text("t").y1, 518);

    EXPECT_EQ(s.TXTX, 602);
    EXPECT_EQ(s.TXTY, 91);
}

TEST_F(CanvasTest, MeshMaskGScales) {
    s.KW = 123;
    s.SCLW = 3;
    s.SCRW = 3;
    MeshMaskG(c, "", "X", "t", 0, 100, 0, 10);
    EXPECT_EQ(s.PWID, 462);
    EXPECT_EQ(s.PHGT, -439);
    EXPECT_DOUBLE_EQ(s.XRANGE, 100);
    EXPECT_DOUBLE_EQ(s.YRANGE, 10);
    EXPECT_DOUBLE_EQ(s.KX, 4.62);
    EXPECT_DOUBLE_EQ(s.KY, -43.9);
    EXPECT_DOUBLE_EQ(s.KXY, 46.2);
    EXPECT_DOUBLE_EQ(s.WRANGE, 0);
    EXPECT_EQ(s.KW, 123);  // SCRW = SCLW: KW keeps its value, no error

    s.SCLW = 0;
    s.SCRW = 2;
    MeshMaskG(c, "", "X", "t", -50, 50, -1, 1);
    EXPECT_DOUBLE_EQ(s.KW, -219.5);
    EXPECT_DOUBLE_EQ(s.KX, 4.62);
    EXPECT_DOUBLE_EQ(s.KY, -219.5);
}

TEST_F(CanvasTest, MeshMaskGRefusesAnEmptyRangeBeforeDrawing) {
    s.PX0 = 7;
    try {
        MeshMaskG(c, "t", "X", "t", 5, 5, 0, 1);
        FAIL() << "empty horizontal range accepted";
    } catch (const VeltaError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Пустой диапазон графика: ", 0), 0u) << e.what();
    }
    EXPECT_THROW(MeshMaskG(c, "t", "X", "t", 0, 1, 2, 2), VeltaError);
    EXPECT_TRUE(surf.calls.empty());
    EXPECT_EQ(s.PX0, 7);  // the previous frame's values are left alone
    EXPECT_EQ(s.KX, 0);
}

TEST_F(CanvasTest, RowTextKeepsFractionalRows) {
    frameTime();
    surf.forget();
    rowText(c, 610, 2.5, "a");
    ASSERT_EQ(surf.calls.size(), 1u);
    EXPECT_EQ(surf.calls[0].x1, 610);
    EXPECT_EQ(surf.calls[0].y1, 128.5);
}

// ---------------------------------------------------------------- curve plots

TEST_F(CanvasTest, Graphic1ClipsOnTheNewPointOnly) {
    s.SCLW = 0;
    s.SCRW = 2;
    frameTime();  // KX = 46.2, KY = -439, KW = -219.5
    surf.forget();
    s.X1.alloc(3);
    s.XNEW.alloc(3);
    s.NCOMP = 2;
    s.IC(1) = 3;
    s.IC(2) = 1;
    s.TOLD = 1;
    s.TCUR = 2;
    s.X1(3) = 0.5;
    s.XNEW(3) = 0.6;  // inside
    s.X1(1) = 0.5;
    s.XNEW(1) = 1.5;  // leaves the plot
    s.LSCREEN = 0;
    Graphic1(c);
    auto seg = surf.of(K::Segment);
    ASSERT_EQ(seg.size(), 1u);
    EXPECT_DOUBLE_EQ(seg[0].x1, 108.2);
    EXPECT_DOUBLE_EQ(seg[0].y1, 310.5);
    EXPECT_DOUBLE_EQ(seg[0].x2, 154.4);
    EXPECT_DOUBLE_EQ(seg[0].y2, 266.6);
    EXPECT_EQ(seg[0].colour, kLightMagenta);  // first listed component: colour 13

    // Re-entry: drawn from the outside point; a new point on the top edge counts as inside.
    surf.forget();
    s.X1(1) = 1.5;
    s.XNEW(1) = 1.0;
    s.X1(3) = 0.6;
    s.XNEW(3) = -0.01;  // just below the bottom edge
    Graphic1(c);
    seg = surf.of(K::Segment);
    ASSERT_EQ(seg.size(), 1u);
    EXPECT_DOUBLE_EQ(seg[0].y1, 530 - 1.5 * 439);
    EXPECT_DOUBLE_EQ(seg[0].y2, 91);
    EXPECT_EQ(seg[0].colour, kLightRed);  // second listed component: colour 12
}

TEST_F(CanvasTest, Graphic1DrawsWUnclippedInGreen) {
    s.SCLW = 0;
    s.SCRW = 2;
    frameTime();
    surf.forget();
    s.X1.alloc(1);
    s.XNEW.alloc(1);
    s.NCOMP = 1;
    s.IC(1) = 1;
    s.X1(1) = 5;
    s.XNEW(1) = 5;  // component outside
    s.TOLD = 0;
    s.TCUR = 20;  // and beyond the time range
    s.WOLD = 5;
    s.W = 6;
    s.LSCREEN = 1;
    Graphic1(c);
    auto seg = surf.of(K::Segment);
    ASSERT_EQ(seg.size(), 1u);
    EXPECT_EQ(seg[0].colour, kGreen);
    EXPECT_DOUBLE_EQ(seg[0].x1, 62);
    EXPECT_DOUBLE_EQ(seg[0].x2, 62 + 20 * 46.2);
    EXPECT_DOUBLE_EQ(seg[0].y1, 530 - 5 * 219.5);
    EXPECT_DOUBLE_EQ(seg[0].y2, 530 - 6 * 219.5);
}

TEST_F(CanvasTest, Graphic1ColoursFollowTheListPosition) {
    frameTime();
    surf.forget();
    s.X1.alloc(13);
    s.XNEW.alloc(13);
    s.NCOMP = 13;
    for (int i = 1; i <= 13; ++i) {
        s.IC(i) = static_cast<i16>(14 - i);  // listed in reverse: the colour follows i, not IC(i)
        s.X1(i) = 0.5;
        s.XNEW(i) = 0.5;
    }
    s.TOLD = 1;
    s.TCUR = 2;
    Graphic1(c);
    auto seg = surf.of(K::Segment);
    ASSERT_EQ(seg.size(), 13u);
    for (int i = 1; i <= 13; ++i) EXPECT_EQ(seg[i - 1].colour, QBColor(14 - i)) << i;
}

TEST_F(CanvasTest, GraphicF1ColourAndProgress) {
    framePhase();  // KXY = 462, KY = -439
    surf.forget();
    s.X1.alloc(2);
    s.XNEW.alloc(2);
    s.NCOMP = 2;
    s.IC(1) = 1;
    s.IC(2) = 2;
    s.NSC = 10;
    s.X1(1) = 0.2;
    s.X1(2) = 0.2;
    s.XNEW(1) = 0.3;
    s.XNEW(2) = 0.4;
    s.TOLD = 2.5;
    surf.lineWidth = 3;
    GraphicF1(c, 5);
    auto seg = surf.of(K::Segment);
    ASSERT_EQ(seg.size(), 1u);
    EXPECT_DOUBLE_EQ(seg[0].x1, 62 + 0.2 * 462);
    EXPECT_DOUBLE_EQ(seg[0].y1, 530 - 0.2 * 439);
    EXPECT_DOUBLE_EQ(seg[0].x2, 62 + 0.3 * 462);
    EXPECT_DOUBLE_EQ(seg[0].y2, 530 - 0.4 * 439);
    EXPECT_EQ(seg[0].colour, 8043425u);  // CLng(sin(0.5) * 16777215)
    EXPECT_EQ(seg[0].width, 1);
    ASSERT_EQ(ui.values.size(), 1u);
    EXPECT_EQ(ui.values[0], 2);  // CLng(2.5): ties to even

    // sin(40/10) < 0: the magnitude is shown.
    s.TOLD = 3.5;
    GraphicF1(c, 40);
    seg = surf.of(K::Segment);
    ASSERT_EQ(seg.size(), 2u);
    EXPECT_EQ(seg[1].colour, 12697038u);
    EXPECT_EQ(ui.values.back(), 4);

    // Outside: nothing drawn and the progress bar stays.
    s.XNEW(1) = 1.2;
    GraphicF1(c, 6);
    EXPECT_EQ(surf.of(K::Segment).size(), 2u);
    EXPECT_EQ(ui.values.size(), 2u);

    s.NSC = 0;
    s.XNEW(1) = 0.3;
    EXPECT_THROW(GraphicF1(c, 6), VeltaError);
}

TEST_F(CanvasTest, GraphicPInsideAndOutside) {
    framePhase();
    surf.forget();
    s.XCROSS.alloc(3);
    s.NCOMP = 2;
    s.IC(1) = 3;
    s.IC(2) = 1;
    s.XCROSS(3) = 0.5;
    s.XCROSS(1) = 0.25;
    s.TOLD = 7.2;
    GraphicP(c);
    auto circ = surf.of(K::Circle);
    ASSERT_EQ(circ.size(), 1u);
    EXPECT_DOUBLE_EQ(circ[0].x1, 62 + 0.5 * 462);
    EXPECT_DOUBLE_EQ(circ[0].y1, 530 - 0.25 * 439);
    EXPECT_EQ(circ[0].r, 2);
    EXPECT_EQ(circ[0].colour, kLightCyan);
    EXPECT_TRUE(circ[0].fillSolid);
    EXPECT_EQ(circ[0].fillColour, kLightCyan);
    ASSERT_EQ(ui.values.size(), 1u);
    EXPECT_EQ(ui.values[0], 7);

    s.XCROSS(1) = -0.1;  // below the plot
    GraphicP(c);
    EXPECT_EQ(surf.of(K::Circle).size(), 1u);
    EXPECT_EQ(ui.values.size(), 1u);
}

// ---------------------------------------------------------------- legends

TEST_F(CanvasTest, NadpisSection11Phys) {
    s.MCLASS = 1;
    s.NDIM = 5;
    s.KMOD = 2;
    s.ALFA = 10;
    s.BETA = 0.05;
    s.GAMA = 2.5;
    s.NCOMP = 3;
    s.IC(1) = 2;
    s.IC(2) = 5;
    s.IC(3) = 7;
    frameTime();
    surf.forget();
    Nadpis(c, 11, "Phys", 0);

    EXPECT_EQ(text("Model M1(5,2)").x1, 602);
    EXPECT_EQ(text("Model M1(5,2)").y1, row(0));
    EXPECT_EQ(text("Model M1(5,2)").colour, kBlack);
    EXPECT_EQ(text("Параметры модели").y1, row(2));
    EXPECT_EQ(text("ALFA = 1.00000E+01").y1, row(4));
    EXPECT_EQ(text("BETA = 5.00000E-02").y1, row(5));
    EXPECT_EQ(text("GAMA = 2.50000E+00").y1, row(6));
    EXPECT_EQ(text("Компоненты").y1, row(10));

    const char* names[3] = {"X2", "X5", "X7"};
    const Colour cols[3] = {kLightMagenta, kLightRed, kLightCyan};
    auto seg = surf.of(K::Segment);
    ASSERT_EQ(seg.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(text(names[i]).x1, 602);
        EXPECT_EQ(text(names[i]).y1, row(12 + i));
        EXPECT_EQ(text(names[i]).colour, cols[i]);
        EXPECT_EQ(seg[i].colour, cols[i]);
        EXPECT_EQ(seg[i].x1, 637);  // TXTX + 5*CHW
        EXPECT_EQ(seg[i].x2, 732);  // CANW - 6*CHW
        EXPECT_EQ(seg[i].y1, row(12.5 + i));
        EXPECT_EQ(seg[i].y2, row(12.5 + i));
        EXPECT_EQ(seg[i].style, LineStyle::Solid);
    }
    // First run: PERIOD is still 0, no W legend whatever LSCREEN is.
    EXPECT_EQ(surf.findText("Норма невязки"), nullptr);
    EXPECT_EQ(surf.findText("WW"), nullptr);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(CanvasTest, NadpisWLegendFollowsItsCondition) {
    s.NCOMP = 3;
    s.IC(1) = 2;
    s.IC(2) = 5;
    s.IC(3) = 7;
    s.LSCREEN = 1;
    s.LPERIOD = 1;
    s.PERIOD = 5;
    s.TMIN = 1;
    frameTime();
    surf.forget();
    Nadpis(c, 8, "Phys", 0);
    ASSERT_NE(surf.findText("Норма невязки"), nullptr);
    EXPECT_EQ(text("Норма невязки").y1, row(17));
    EXPECT_EQ(text("Норма невязки").colour, kBlack);
    EXPECT_EQ(text("WW").y1, row(19));
    EXPECT_EQ(text("WW").colour, kGreen);
    auto seg = surf.of(K::Segment);
    ASSERT_EQ(seg.size(), 4u);
    EXPECT_EQ(seg[3].colour, kGreen);
    EXPECT_EQ(seg[3].y1, row(19.5));

    auto legendShown = [&]() {
        surf.forget();
        Nadpis(c, 11, "Phys", 0);
        return surf.findText("WW") != nullptr;
    };
    s.LPERIOD = 0;
    EXPECT_FALSE(legendShown());
    s.LPERIOD = 1;
    s.LSCREEN = 0;
    EXPECT_FALSE(legendShown());
    s.LSCREEN = 1;
    s.PERIOD = 1;  // not beyond TMIN
    EXPECT_FALSE(legendShown());
    s.PERIOD = 1.001;
    EXPECT_TRUE(legendShown());

    // The row offset moves the whole mode block.
    surf.forget();
    Nadpis(c, 21, "Phys", 2);
    EXPECT_EQ(text("Компоненты").y1, row(12));
    EXPECT_EQ(text("WW").y1, row(21));
}

TEST_F(CanvasTest, NadpisHeadersOfSections21And9AndDelayLetters) {
    s.MCLASS = 2;
    s.NDIM = 6;
    s.ALFA = 1;
    s.GAMA = 2;
    s.HHH = 0.01;
    s.NCOMP = 1;
    s.IC(1) = 4;
    s.LSCREEN = 1;
    s.LPERIOD = 1;
    s.PERIOD = 5;
    frameTime();
    surf.forget();
    Nadpis(c, 21, "Phys", 0);
    EXPECT_EQ(text("Model  ZORM2(6)").y1, row(0));
    EXPECT_EQ(text("X4").y1, row(12));

    surf.forget();
    Nadpis(c, 9, "Phys", 0);
    EXPECT_EQ(surf.texts().front(), "Параметры модели");
    EXPECT_EQ(text("Параметры модели").y1, row(2));
    EXPECT_EQ(text("GAMA = 2.00000E+00").y1, row(5));
    EXPECT_EQ(text("HHH  = 1.00000E-02").y1, row(6));

    // A delay section: "Z" components and no W legend.
    surf.forget();
    Nadpis(c, 12, "Phys", 8);
    EXPECT_EQ(text("Z4").y1, row(20));
    EXPECT_EQ(surf.findText("WW"), nullptr);
}

TEST_F(CanvasTest, NadpisPhasWithStationaryPoint) {
    s.NDIM = 5;
    s.NCOMP = 2;
    s.IC(1) = 2;
    s.IC(2) = 5;
    s.STAT = 0.5;
    s.SCRT = 100.5;
    framePhase();
    surf.forget();
    Nadpis(c, 11, "Phas", 0);

    EXPECT_EQ(text("Номера компонент").y1, row(10));
    EXPECT_EQ(text("i1 = 2, i2 = 5").y1, row(12));
    auto circ = surf.of(K::Circle);
    ASSERT_EQ(circ.size(), 2u);
    EXPECT_DOUBLE_EQ(circ[0].x1, 62 + 0.5 * 462);
    EXPECT_DOUBLE_EQ(circ[0].y1, 530 - 0.5 * 439);
    EXPECT_EQ(circ[1].x1, 606);
    EXPECT_EQ(circ[1].y1, row(16.5));
    for (const auto& ci : circ) {
        EXPECT_EQ(ci.r, 6);
        EXPECT_EQ(ci.colour, kYellow);
        EXPECT_TRUE(ci.fillSolid);
        EXPECT_EQ(ci.fillColour, kYellow);
    }
    EXPECT_EQ(text(" - Стационарное").x1, 618);
    EXPECT_EQ(text(" - Стационарное").y1, row(16));
    EXPECT_EQ(text("симметричное решение").x1, 602);
    EXPECT_EQ(text("симметричное решение").y1, row(17));
    EXPECT_EQ(text("i = 1,...,5,").x1, 602);
    EXPECT_EQ(text("i = 1,...,5,").y1, row(18));
    EXPECT_EQ(text("X(i) = 5.00000E-01").y1, row(20));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0], 100);  // CLng(100.5): ties to even

    // Section 21 shows no stationary point.
    surf.forget();
    Nadpis(c, 21, "Phas", 0);
    EXPECT_TRUE(surf.of(K::Circle).empty());
    EXPECT_NE(surf.findText("i1 = 2, i2 = 5"), nullptr);
    EXPECT_EQ(ui.shown.size(), 2u);

    // Empty mode: the header only (section 2.1.3 has none).
    surf.forget();
    Nadpis(c, 213, "", 0);
    EXPECT_TRUE(surf.calls.empty());
}

TEST_F(CanvasTest, StatReshMarksThePointWithoutClipping) {
    framePhase();
    surf.forget();
    surf.foreColour = kBlack;
    Stat_Resh(c, 3, 5, "caption");
    auto circ = surf.of(K::Circle);
    ASSERT_EQ(circ.size(), 2u);
    EXPECT_DOUBLE_EQ(circ[0].x1, 62 + 3 * 462);  // far right of the plot, still drawn
    EXPECT_DOUBLE_EQ(circ[0].y1, 530 - 3 * 439);
    EXPECT_EQ(circ[1].y1, row(5.5));
    EXPECT_EQ(text("caption").y1, row(6));
    EXPECT_EQ(surf.currentX, 602);
    EXPECT_EQ(surf.currentY, row(7));
}

// ---------------------------------------------------------------- closing lines

TEST_F(CanvasTest, PeriodPrintAtRow18PlusNcomp) {
    frameTime();
    surf.forget();
    s.LGRAPH = 1;
    s.LSCREEN = 1;
    s.LPERIOD = 1;
    s.PERIOD = 5;
    s.TMIN = 1;
    s.NCOMP = 3;
    Period_Print(c, 18);
    auto t = surf.of(K::Text);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text, "PERIOD = 5.0000E+00");
    EXPECT_EQ(t[0].x1, 602);
    EXPECT_EQ(t[0].y1, row(21));
    EXPECT_EQ(t[0].colour, kBlack);
    EXPECT_EQ(ui.hidden, 1);

    surf.forget();
    s.LSCREEN = 0;
    Period_Print(c, 18);
    EXPECT_TRUE(surf.calls.empty());
    EXPECT_EQ(ui.hidden, 2);  // the progress bar is hidden in every case

    s.LSCREEN = 1;
    s.LGRAPH = 2;
    Period_Print(c, 18);
    EXPECT_TRUE(surf.calls.empty());
}

TEST_F(CanvasTest, LPrintCountsRuns) {
    frameTime();
    surf.forget();
    for (int run = 0; run < 3; ++run) L_Print(c, 28);
    auto t = surf.of(K::Text);
    ASSERT_EQ(t.size(), 3u);
    for (int run = 0; run < 3; ++run) {
        EXPECT_EQ(t[run].text, "   L = " + std::to_string(run));
        EXPECT_EQ(t[run].y1, row(28));
        EXPECT_EQ(t[run].colour, kLightGreen);
    }
    EXPECT_EQ(s.L, 3);
}
