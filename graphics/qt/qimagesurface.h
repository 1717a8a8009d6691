// The canvas as an 800 x 600 image: the window shows it, the runner saves it as PNG.
// One QPainter stays open on the image for the surface's life.
#pragma once
#include "graphics/surface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velta {

// Liang-Barsky clipping of a segment to the rectangle; false when nothing is left.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, double xmin, double ymin, double xmax,
                 double ymax);

class QImageSurface : public Surface {
public:
    QImageSurface(int width = 800, int height = 600);
    ~QImageSurface() override;
    QImageSurface(const QImageSurface&) = delete;
    QImageSurface& operator=(const QImageSurface&) = delete;

    void segment(double x1, double y1, double x2, double y2, Colour c) override;
    void box(double x1, double y1, double x2, double y2, Colour c) override;
    void fillBox(double x1, double y1, double x2, double y2, Colour c) override;
    void circle(double x, double y, double r, Colour c) override;
    void lineTo(double x, double y, Colour c) override;
    void pixel(double x, double y) override;
    // The text's top-left corner is at the current position ("Courier New", 9 points).
    void text(const std::string& utf8) override;
    double textWidth(const std::string& utf8) override;
    double textHeight(const std::string& utf8) override;
    void clear() override;
    // Calls onPoll at most every 30 ms of wall time; the clock is read every few calls only.
    void poll() override;

    // The painter keeps drawing into this image: take image().copy() for a snapshot.
    const QImage& image() const { return image_; }
    // The part of the image drawn on since the last call (empty when nothing was): a window
    // showing the image repaints only that while a run goes on.
    QRect takeChanged();
    bool savePng(const std::string& path);

    // Repaints the window and lets events through; may throw VeltaError to stop a run.
    std::function<void()> onPoll;

    static QColor toQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

private:
    QPainter& painter();
    uchar* pixels();
    void rasterLine(int x0, int y0, int x1, int y1, Colour c);
    void usePen(Colour c);
    void useBrush(bool solid, Colour c);

    QImage image_;
    // The font is looked up (fontconfig, the font files) at the first text or measure only.
    const QFontMetricsF& metrics();
    QFont font_;
    std::optional<QFontMetricsF> metrics_;
    std::unique_ptr<QPainter> painter_;
    uchar* lastBits_ = nullptr;
    // What the painter currently holds, so that unchanged pens are not set again.
    bool penValid_ = false;
    Colour penColour_ = 0;
    int penWidth_ = 1;
    LineStyle penStyle_ = LineStyle::Solid;
    bool brushValid_ = false;
    bool brushSolid_ = false;
    Colour brushColour_ = 0;

    // Changed since takeChanged(): everything (the painter was used), or the box of the
    // curve segments set directly.
    bool changedAll_ = true;
    int changedX0_ = 0, changedY0_ = 0, changedX1_ = -1, changedY1_ = -1;

    unsigned pollCount_ = 0;
    std::chrono::steady_clock::time_point lastPoll_;
};

}  // namespace velta
