#include "graphics/qt/qimagesurface.h"

#include "graphics/cpustate.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace velta {

namespace {

// 96 dots per inch, so that 9 points are 12 pixels whatever the screen.
constexpr int kDotsPerMeter = 3780;
// Unclipped curves (the W curve) may reach far outside the image; segments are cut to a
// margin around it in double precision so that the rasteriser never sees huge numbers.
constexpr double kMargin = 1000.0;
constexpr unsigned kPollStride = 8;
constexpr auto kPollInterval = std::chrono::milliseconds(30);

bool finite(double a, double b) { return std::isfinite(a) && std::isfinite(b); }

QImage blankImage(int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    img.setDotsPerMeterX(kDotsPerMeter);
    img.setDotsPerMeterY(kDotsPerMeter);
    return img;
}

// The window font: "Courier New", 9 points (fontconfig gives a metric-compatible face).
QFont canvasFont() {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(9);
    return f;
}

}  // namespace

// Liang-Barsky clipping of a segment to the rectangle; false when nothing is left.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, double xmin, double ymin, double xmax,
                 double ymax) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return false;
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - xmin, xmax - x1, y1 - ymin, ymax - y1};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
        } else {
            const double t = q[k] / p[k];
            if (p[k] < 0) t0 = std::max(t0, t);
            else t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) return false;
    const double ox = x1, oy = y1;
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
    return true;
}

QImageSurface::QImageSurface(int width, int height)
    : image_(blankImage(width, height)), font_(canvasFont()), lastPoll_(std::chrono::steady_clock::now()) {
    image_.fill(toQColor(background));
}

QImageSurface::~QImageSurface() {
    if (painter_) painter_->end();
}

const QFontMetricsF& QImageSurface::metrics() {
    if (!metrics_) metrics_.emplace(font_, &image_);
    return *metrics_;
}

QPainter& QImageSurface::painter() {
    changedAll_ = true;
    pixels();  // the painter works on the current buffer
    if (!painter_ || !painter_->isActive()) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setFont(font_);
        penValid_ = brushValid_ = false;
    }
    return *painter_;
}

void QImageSurface::usePen(Colour c) {
    QPainter& p = painter();
    if (penValid_ && penColour_ == c && penWidth_ == lineWidth && penStyle_ == lineStyle) return;
    QPen pen(toQColor(c));
    pen.setWidth(std::max(lineWidth, 1));
    pen.setStyle(lineStyle == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    p.setPen(pen);
    penValid_ = true;
    penColour_ = c;
    penWidth_ = lineWidth;
    penStyle_ = lineStyle;
}

void QImageSurface::useBrush(bool solid, Colour c) {
    QPainter& p = painter();
    if (brushValid_ && brushSolid_ == solid && (!solid || brushColour_ == c)) return;
    if (solid) p.setBrush(toQColor(c));
    else p.setBrush(Qt::NoBrush);
    brushValid_ = true;
    brushSolid_ = solid;
    brushColour_ = c;
}

void QImageSurface::segment(double x1, double y1, double x2, double y2, Colour c) {
    const double lo = -kMargin, hx = image_.width() + kMargin, hy = image_.height() + kMargin;
    if (lineWidth <= 1 && lineStyle == LineStyle::Solid && x1 >= lo && x1 <= hx && x2 >= lo && x2 <= hx &&
        y1 >= lo && y1 <= hy && y2 >= lo && y2 <= hy) {
        // Within the margin the clip below keeps the segment: its start, and its end as
        // start + 1*(end - start).
        rasterLine(roundPixel(x1), roundPixel(y1), roundPixel(x1 + (x2 - x1)), roundPixel(y1 + (y2 - y1)), c);
        clearAvxUpperState();
        return;
    }
    if (!clipSegment(x1, y1, x2, y2, -kMargin, -kMargin, image_.width() + kMargin, image_.height() + kMargin))
        return;
    if (lineWidth <= 1 && lineStyle == LineStyle::Solid) {
        // The curves of a run are thin solid segments of a few pixels each: set their
        // pixels directly, which spares the painter a pen change per component and step.
        rasterLine(static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1)),
                   static_cast<int>(std::lround(x2)), static_cast<int>(std::lround(y2)), c);
        clearAvxUpperState();
        return;
    }
    usePen(c);
    painter().drawLine(QPointF(x1, y1), QPointF(x2, y2));
    clearAvxUpperState();
}

uchar* QImageSurface::pixels() {
    // bits() would copy the pixels if the image were shared; the painter must then be
    // opened again on the new buffer.
    uchar* b = image_.bits();
    if (b != lastBits_) {
        if (painter_) {
            painter_->end();
            painter_.reset();
        }
        lastBits_ = b;
        raster_.bits = reinterpret_cast<const std::uint32_t*>(b);
        raster_.width = image_.width();
        raster_.height = image_.height();
        raster_.stride = static_cast<long>(image_.bytesPerLine() / 4);
    }
    return b;
}

void QImageSurface::rasterLine(int x0, int y0, int x1, int y1, Colour c) {
    uchar* base = pixels();
    const qsizetype bpl = image_.bytesPerLine();
    const unsigned w = static_cast<unsigned>(image_.width()), h = static_cast<unsigned>(image_.height());
    const QRgb rgb = rasterColour(c);
    if (changedX1_ < changedX0_) {
        changedX0_ = changedX1_ = x0;
        changedY0_ = changedY1_ = y0;
    }
    changedX0_ = std::min({changedX0_, x0, x1});
    changedX1_ = std::max({changedX1_, x0, x1});
    changedY0_ = std::min({changedY0_, y0, y1});
    changedY1_ = std::max({changedY1_, y0, y1});
    // Bresenham over the whole segment; pixels off the image are skipped.
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (static_cast<unsigned>(x0) < w && static_cast<unsigned>(y0) < h)
            reinterpret_cast<QRgb*>(base + y0 * bpl)[x0] = rgb;
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void QImageSurface::box(double x1, double y1, double x2, double y2, Colour c) {
    if (!finite(x1, y1) || !finite(x2, y2)) return;
    usePen(c);
    useBrush(false, 0);
    painter().drawRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
}

void QImageSurface::fillBox(double x1, double y1, double x2, double y2, Colour c) {
    if (!finite(x1, y1) || !finite(x2, y2)) return;
    // Both corner pixels belong to the box.
    const double l = std::min(x1, x2), r = std::max(x1, x2);
    const double t = std::min(y1, y2), b = std::max(y1, y2);
    painter().fillRect(QRectF(l, t, r - l + 1, b - t + 1), toQColor(c));
}

void QImageSurface::circle(double x, double y, double r, Colour c) {
    if (!finite(x, y) || !std::isfinite(r)) return;
    if (std::abs(x) > 1e6 || std::abs(y) > 1e6) return;  // far outside: nothing to see
    usePen(c);
    useBrush(fillSolid, fillColour);
    painter().drawEllipse(QPointF(x, y), r, r);
}

void QImageSurface::lineTo(double x, double y, Colour c) {
    segment(currentX, currentY, x, y, c);
    setCurrent(x, y);
}

void QImageSurface::pixel(double x, double y) {
    setCurrent(x, y);
    if (!finite(x, y)) return;
    const int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(y));
    if (!image_.rect().contains(px, py)) return;
    usePen(foreColour);
    painter().drawPoint(px, py);
}

void QImageSurface::text(const std::string& utf8) {
    const QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (finite(currentX, currentY) && std::abs(currentX) < 1e6 && std::abs(currentY) < 1e6) {
        usePen(foreColour);
        painter().drawText(QPointF(currentX, currentY + metrics().ascent()), s);
    }
    currentX = 0;
    currentY += textHeight(utf8);
}

double QImageSurface::textWidth(const std::string& utf8) {
    return metrics().horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

double QImageSurface::textHeight(const std::string&) { return metrics().height(); }

QRect QImageSurface::takeChanged() {
    QRect r;
    if (changedAll_) r = image_.rect();
    else if (changedX0_ <= changedX1_)
        r = QRect(QPoint(changedX0_, changedY0_), QPoint(changedX1_, changedY1_)) & image_.rect();
    changedAll_ = false;
    changedX0_ = changedY0_ = 0;
    changedX1_ = changedY1_ = -1;
    return r;
}

void QImageSurface::clear() { painter().fillRect(image_.rect(), toQColor(background)); }

void QImageSurface::poll() {
    clearAvxUpperState();
    if (!onPoll) return;
    if (++pollCount_ % kPollStride != 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPoll_ < kPollInterval) return;
    lastPoll_ = now;
    onPoll();
}

bool QImageSurface::savePng(const std::string& path) {
    return image_.save(QString::fromStdString(path), "PNG");
}

}  // namespace velta
