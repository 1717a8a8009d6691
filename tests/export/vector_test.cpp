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
    void SetUp() override {
        ensureApp();
        mdlGlobal.reset();
        setColours(true);
        Sec11 sec;
        sec.dataPath = (fs::path(VELTA_SOURCE_DIR) / "User" / "Sym_Oscill.mnkd").string();
        sec.InputPar(c);
        sec.Integr1(c);
    }
    void TearDown() override { mdlGlobal.reset(); }
    TempApp app;
    AppPaths paths{app.root()};
    RecordingImageSurface surf;
    ScriptedPrompter ui;
    Ctx c{surf, ui, paths};
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

// Steps of a curve that the image leaves out (their pixels are set already) stay in the
// record: every segment is kept, and each curve is one polyline of all its points until
// another primitive comes between. The image is the one segment() draws.
TEST(VectorRecord, CurveStepsLeftOutOfTheImageStayInTheFigure) {
    ensureApp();
    TempApp app;
    RecordingImageSurface surf;
    QImageSurface full;
    const Colour colours[2] = {0x0000FF, 0xFF0000};
    double x = 100, y[2] = {200, 210.4};
    std::size_t segments = 0;
    auto steps = [&](int count) {
        for (int k = 0; k < count; ++k) {
            const double x2 = x + 0.01;
            for (int i = 0; i < 2; ++i) {
                const double y2 = y[i] + (i == 0 ? 0.003 : -0.002);
                surf.curveSegment(x, y[i], x2, y2, colours[i]);
                full.segment(x, y[i], x2, y2, colours[i]);
                y[i] = y2;
                ++segments;
            }
            x = x2;
        }
    };
    steps(1000);
    surf.text("T");
    full.text("T");
    steps(1000);
    EXPECT_EQ(surf.image(), full.image());
    EXPECT_EQ(surf.segmentColours().size(), segments);

    const std::string path = app.path("steps.svg");
    ASSERT_EQ(surf.save(QString::fromStdString(path)), QString());
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    std::vector<qsizetype> points;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QStringLiteral("polyline"))
            points.push_back(xml.attributes().value("points").toString().simplified().split(' ').size());
    EXPECT_EQ(points, std::vector<qsizetype>(4, 1001));
}

}  // namespace
}  // namespace velta::test
