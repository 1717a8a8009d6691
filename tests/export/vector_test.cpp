// The canvas of a real run saved as SVG and PDF: the SVG is well-formed XML with the curves'
// colours and the texts of the frame as text; the PDF renders (pdftoppm) to a page with the
// picture on it.
#include "data/paths.h"
#include "data/store.h"
#include "graphics/canvas.h"
#include "graphics/qt/vectorsurface.h"
#include "models/section11/sec11.h"
#include "support/scripted_prompter.h"
#include "support/tempdir.h"

#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace velta::test {
namespace {

namespace fs = std::filesystem;

void ensureApp() {
    static int argc = 1;
    static char name[] = "velta_export_tests";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
}

class VectorFigure : public ::testing::Test {
protected:
    Store mdl;
    void SetUp() override {
        ensureApp();
        setColours(mdl, true);
        Sec11 sec;
        sec.dataPath = (fs::path(VELTA_SOURCE_DIR) / "User" / "Sym_Oscill.mnkd").string();
        sec.InputPar(c);
        sec.Integr1(c);
    }
    TempApp app;
    AppPaths paths{app.root()};
    RecordingImageSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths, mdl};
};

TEST_F(VectorFigure, SvgIsXmlWithTheCurveColoursAndTheTexts) {
    ASSERT_TRUE(surf.hasPicture());
    const QString path = QString::fromStdString(app.path("fig.svg"));
    ASSERT_EQ(surf.save(path), QString());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    std::set<QString> colours;
    QString texts;
    int elements = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++elements;
            for (const char* a : {"stroke", "fill"})
                if (xml.attributes().hasAttribute(a))
                    colours.insert(xml.attributes().value(a).toString().toLower());
            if (xml.name() == QLatin1String("text"))
                texts += xml.readElementText(QXmlStreamReader::IncludeChildElements) + "\n";
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(elements, 10);
    // Every colour a curve was drawn in, and every text of the frame, legend and axes.
    const auto segs = surf.segmentColours();
    ASSERT_FALSE(segs.empty());
    for (Colour col : std::set<Colour>(segs.begin(), segs.end()))
        EXPECT_TRUE(colours.count(QImageSurface::toQColor(col).name()))
            << QImageSurface::toQColor(col).name().toStdString();
    ASSERT_FALSE(surf.texts().empty());
    for (const auto& t : surf.texts()) {
        const QString s = QString::fromStdString(t).simplified();
        if (!s.isEmpty()) {
            EXPECT_TRUE(texts.simplified().contains(s)) << t;
        }
    }
}

TEST_F(VectorFigure, PdfRendersAPageWithThePicture) {
    const std::string pdf = app.path("fig.pdf");
    ASSERT_EQ(surf.save(QString::fromStdString(pdf)), QString());
    const std::string png = app.path("page");
    const std::string cmd = "pdftoppm -r 96 -png -singlefile '" + pdf + "' '" + png + "' 2>/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << "pdftoppm (poppler-utils) failed";
    QImage page(QString::fromStdString(png + ".png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), 800, 2);
    EXPECT_NEAR(page.height(), 600, 2);
    // Not blank: a good share of the page differs from its background, and the colour of
    // the first curve is there.
    const QColor curve = QImageSurface::toQColor(surf.segmentColours().front());
    const QRgb back = page.pixel(page.width() - 1, page.height() - 1);
    long differ = 0, curvePixels = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb p = page.pixel(x, y);
            if (p != back) ++differ;
            if (std::abs(qRed(p) - curve.red()) < 40 && std::abs(qGreen(p) - curve.green()) < 40 &&
                std::abs(qBlue(p) - curve.blue()) < 40)
                ++curvePixels;
        }
    EXPECT_GT(differ, page.width() * page.height() / 100);
    EXPECT_GT(curvePixels, 100);
}

TEST_F(VectorFigure, UnknownFormatsAndUnwritablePlacesAreRefusedWithoutAFile) {
    EXPECT_NE(surf.save(QString::fromStdString(app.path("fig.bmp"))), QString());
    EXPECT_FALSE(app.exists("fig.bmp"));
    for (const char* ext : {"svg", "pdf", "png"}) {
        const std::string rel = std::string("no/such/fig.") + ext;
        EXPECT_NE(surf.save(QString::fromStdString(app.path(rel))), QString()) << ext;
        EXPECT_FALSE(app.exists(rel));
    }
    // A clear empties the record: nothing to save as a picture any more.
    surf.clear();
    EXPECT_FALSE(surf.hasPicture());
}

// Distance from p to the polyline.
double distanceTo(const QPointF& p, const std::vector<QPointF>& line) {
    double best = std::hypot(p.x() - line[0].x(), p.y() - line[0].y());
    for (std::size_t i = 1; i < line.size(); ++i) {
        const QPointF a = line[i - 1], d = line[i] - a;
        const double len2 = d.x() * d.x() + d.y() * d.y();
        const double t = len2 > 0 ? std::clamp(((p.x() - a.x()) * d.x() + (p.y() - a.y()) * d.y()) / len2,
                                               0.0, 1.0)
                                  : 0.0;
        best = std::min(best, std::hypot(p.x() - a.x() - t * d.x(), p.y() - a.y() - t * d.y()));
    }
    return best;
}

// Steps of a curve that the image leaves out (their pixels are set already) stay in the
// record: each curve is one polyline until another primitive comes between, from its first
// point to its last, passing within a tenth of a pixel of every point drawn on the picture,
// with a few points per pixel instead of one per step. The image is the one segment() draws.
TEST(VectorRecord, CurveStepsLeftOutOfTheImageStayInTheFigure) {
    ensureApp();
    TempApp app;
    RecordingImageSurface surf;
    QImageSurface full;
    const Colour colours[2] = {0x0000FF, 0xFF0000};
    double x = 100, y[2] = {200, 210.4};
    // The points of each curve, by part (the text splits them) and curve.
    std::vector<QPointF> drawn[2][2];
    int part = 0;
    auto steps = [&](int count) {
        for (int i = 0; i < 2; ++i) drawn[part][i].push_back(QPointF(x, y[i]));
        for (int k = 0; k < count; ++k) {
            const double x2 = x + 0.01;
            for (int i = 0; i < 2; ++i) {
                // One curve goes straight, the other wiggles and turns back on itself, and for
                // a while leaps about far above the picture, a few pixels a step.
                const double y2 = i == 0                ? y[i] + 0.003
                                  : k >= 400 && k < 700 ? -30 - 10 * std::sin(k * 0.3)
                                  : k == 700            ? 205
                                                        : y[i] + 0.01 * std::sin(k * 0.02);
                surf.curveSegment(x, y[i], x2, y2, colours[i]);
                full.segment(x, y[i], x2, y2, colours[i]);
                y[i] = y2;
                drawn[part][i].push_back(QPointF(x2, y2));
            }
            x = x2;
        }
    };
    steps(1000);
    surf.text("T");
    full.text("T");
    part = 1;
    steps(1000);
    EXPECT_EQ(surf.image(), full.image());

    const std::string path = app.path("steps.svg");
    ASSERT_EQ(surf.save(QString::fromStdString(path)), QString());
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    std::vector<std::vector<QPointF>> lines;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QStringLiteral("polyline")) {
            lines.emplace_back();
            for (const QString& pt : xml.attributes().value("points").toString().simplified().split(' ')) {
                const QStringList xy = pt.split(',');
                if (xy.size() == 2) lines.back().push_back(QPointF(xy[0].toDouble(), xy[1].toDouble()));
            }
        }
    // Drawn in order of colour within each part: blue, then red.
    ASSERT_EQ(lines.size(), 4u);
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < 2; ++i) {
            const auto& line = lines[static_cast<std::size_t>(2 * p + i)];
            const auto& pts = drawn[p][i];
            ASSERT_GE(line.size(), 2u);
            EXPECT_LT(line.size(), pts.size() / 4) << "part " << p << " curve " << i;
            // The figure holds the points with about six digits.
            EXPECT_NEAR(line.front().x(), pts.front().x(), 1e-3);
            EXPECT_NEAR(line.front().y(), pts.front().y(), 1e-3);
            EXPECT_NEAR(line.back().x(), pts.back().x(), 1e-3);
            EXPECT_NEAR(line.back().y(), pts.back().y(), 1e-3);
            // Off the picture (clipped in the figure) the line only has to stay off it: its
            // points are points of the curve, and those that are kept there are few.
            double worst = 0;
            for (const QPointF& q : pts)
                if (q.y() >= -1) worst = std::max(worst, distanceTo(q, line));
            for (const QPointF& v : line) {
                double nearest = 1e9;
                for (const QPointF& q : pts)
                    nearest = std::min(nearest, std::hypot(v.x() - q.x(), v.y() - q.y()));
                worst = std::max(worst, nearest);
            }
            EXPECT_LE(worst, RecordingImageSurface::kTolerance + 2e-3) << "part " << p << " curve " << i;
        }
}

}  // namespace
}  // namespace velta::test
