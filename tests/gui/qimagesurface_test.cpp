#include "graphics/qt/qimagesurface.h"

#include "data/error.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <thread>

using namespace velta;

namespace {

QRgb at(const QImageSurface& s, int x, int y) { return s.image().pixel(x, y) & 0xFFFFFF; }
constexpr QRgb kWhiteRgb = 0xFFFFFF;

}  // namespace

TEST(CanvasQImage, ImageColoursAndPrimitives) {
    QImageSurface s;
    ASSERT_EQ(s.image().width(), 800);
    ASSERT_EQ(s.image().height(), 600);
    EXPECT_EQ(at(s, 400, 300), kWhiteRgb);

    // 0x00BBGGRR: red in the low byte.
    EXPECT_EQ(QImageSurface::toQColor(0x123456), QColor(0x56, 0x34, 0x12));
    s.segment(10, 10, 100, 10, 0x0000FF);
    EXPECT_EQ(at(s, 50, 10), 0xFF0000u);
    EXPECT_EQ(at(s, 50, 11), kWhiteRgb);

    // Both corners belong to a filled box.
    s.fillBox(200, 200, 210, 205, 0x00FF00);
    EXPECT_EQ(at(s, 200, 200), 0x00FF00u);
    EXPECT_EQ(at(s, 210, 205), 0x00FF00u);
    EXPECT_EQ(at(s, 211, 205), kWhiteRgb);

    // Circles are filled only with the solid fill style.
    s.circle(300, 100, 6, 0x000000);
    EXPECT_EQ(at(s, 300, 100), kWhiteRgb);
    s.fillSolid = true;
    s.fillColour = 0x00FFFF;  // yellow
    s.circle(300, 200, 6, 0x00FFFF);
    EXPECT_EQ(at(s, 300, 200), 0xFFFF00u);

    // A dotted line leaves gaps.
    s.lineStyle = LineStyle::Dotted;
    s.segment(10, 50, 200, 50, 0x000000);
    int dark = 0;
    for (int x = 10; x <= 200; ++x) dark += at(s, x, 50) == 0;
    EXPECT_GT(dark, 30);
    EXPECT_LT(dark, 150);
    s.lineStyle = LineStyle::Solid;

    // Far-away and undefined coordinates are drawn as far as they are visible, never hang.
    s.segment(500, 100, 500, 1e30, 0x000000);
    EXPECT_EQ(at(s, 500, 599), 0u);
    s.segment(500, 100, std::nan(""), 100, 0x000000);
    s.lineTo(1e300, -1e300, 0);

    s.background = 0x000000;
    s.clear();
    EXPECT_EQ(at(s, 300, 200), 0u);
    EXPECT_EQ(at(s, 799, 599), 0u);
}

TEST(CanvasQImage, TextMetricsAndPosition) {
    QImageSurface s;
    const double w = s.textWidth("X"), h = s.textHeight("X");
    // "Courier New" 9 pt at 96 dpi: a 12 px fixed-pitch font.
    EXPECT_GE(w, 6.5);
    EXPECT_LE(w, 8.5);
    EXPECT_GE(h, 12);
    EXPECT_LE(h, 16);
    EXPECT_NEAR(s.textWidth("Компоненты"), 10 * w, 0.5);  // Cyrillic glyphs, same pitch

    s.foreColour = 0x000000;
    s.setCurrent(100, 200);
    s.text("XXXX");
    EXPECT_EQ(s.currentX, 0);
    EXPECT_DOUBLE_EQ(s.currentY, 200 + h);
    int ink = 0, above = 0;
    for (int y = 190; y < 200 + h; ++y)
        for (int x = 95; x < 100 + 4 * w + 5; ++x) {
            if (at(s, x, y) == kWhiteRgb) continue;
            (y < 200 ? above : ink)++;
        }
    EXPECT_GT(ink, 20);   // the text is below the current position
    EXPECT_EQ(above, 0);  // and its top is at it
}

TEST(CanvasQImage, PollIsThrottledAndMayStopARun) {
    QImageSurface s;
    s.poll();  // without a hook nothing happens
    int calls = 0;
    s.onPoll = [&] { ++calls; };
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(100)) s.poll();
    EXPECT_GE(calls, 1);
    EXPECT_LE(calls, 4);  // at most one call per 30 ms

    s.onPoll = [] { throw VeltaError("stopped"); };
    std::this_thread::sleep_for(std::chrono::milliseconds(35));
    EXPECT_THROW(for (int i = 0; i < 16; ++i) s.poll(), VeltaError);
}

TEST(CanvasQImage, SavesPng) {
    QImageSurface s;
    s.fillBox(0, 0, 9, 9, 0x0000FF);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = QDir(dir.path()).filePath("canvas.png").toStdString();
    ASSERT_TRUE(s.savePng(path));
    QImage back(QString::fromStdString(path));
    ASSERT_EQ(back.size(), QSize(800, 600));
    EXPECT_EQ(back.pixel(5, 5) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(back.pixel(10, 10) & 0xFFFFFF, kWhiteRgb);
}

// A window repaints only what changed: everything after a painter primitive, then the box
// of the curve segments drawn since the last look (cut to the image), nothing after nothing.
TEST(CanvasQImage, ChangedPartIsWhatWasDrawnSinceTheLastLook) {
    QImageSurface s;
    s.fillBox(0, 0, 799, 599, 0xFFFFFF);
    EXPECT_EQ(s.takeChanged(), s.image().rect());
    EXPECT_TRUE(s.takeChanged().isEmpty());
    s.segment(100.2, 200, 103, 190.4, 0x0000FF);
    s.segment(-50, 300, 10, 300, 0x0000FF);
    EXPECT_EQ(s.takeChanged(), QRect(QPoint(0, 190), QPoint(103, 300)));
    EXPECT_TRUE(s.takeChanged().isEmpty());
}

// Curves drawn step by step with curveSegment (which leaves out steps that stay on a pixel
// of their colour) give the image segment() gives, where curves cross and overwrite each
// other, at half-pixel ties and off the image.
TEST(CanvasQImage, CurveStepsLeftOutChangeNothing) {
    QImageSurface skipping, full;
    for (QImageSurface* s : {&skipping, &full}) s->fillBox(0, 0, 799, 599, 0xFFFFFF);
    const Colour colours[4] = {0xFF00FF, 0x0000FF, 0xFFFF00, 0x00FF00};
    double y[4] = {300.2, 300.7, 299.9, 599.0}, x = 100;
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return ((seed >> 8) & 0xFFFF) / 65536.0 - 0.5;
    };
    for (int step = 0; step < 200000; ++step) {
        // Three curves that wander across each other a fraction of a pixel per step, one
        // of them leaving the image above now and then, and a fourth about the lower edge
        // (off the image at both ends, at one, or on it); x crosses .5 ties every 1000 steps.
        const double x2 = 100 + (step + 1) * 0.001;
        for (int k = 0; k < 4; ++k) {
            const double y2 = k == 3                           ? 600 + 4 * next()
                              : k == 2 && step % 50000 > 45000 ? -3.0 + next()
                                                               : y[k] + 0.3 * next();
            skipping.curveSegment(x, y[k], x2, y2, colours[k]);
            full.segment(x, y[k], x2, y2, colours[k]);
            y[k] = y2 < 0 ? 299.5 : y2;
        }
        x = x2;
    }
    EXPECT_EQ(skipping.image(), full.image());

    // A step on a pixel another curve has taken meanwhile is drawn again.
    skipping.curveSegment(600, 100, 600.2, 100.1, 0x0000FF);
    skipping.curveSegment(600, 100, 600, 100, 0x00FF00);
    skipping.curveSegment(600.2, 100.1, 600.3, 100.2, 0x0000FF);
    EXPECT_EQ(at(skipping, 600, 100), 0xFF0000u);
    // Thick or dotted lines are never left out.
    skipping.lineWidth = 3;
    skipping.curveSegment(600.3, 100.2, 600.4, 100.2, 0x0000FF);
    EXPECT_EQ(at(skipping, 600, 101), 0xFF0000u);
}
