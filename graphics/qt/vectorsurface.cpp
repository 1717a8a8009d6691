#include "graphics/qt/vectorsurface.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPolygonF>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace velta {

namespace {

// Segments far outside the picture are cut to this margin around it, as on the image.
constexpr double kMargin = 1000.0;

bool near(double a, double b) {
    return std::isfinite(a) && std::isfinite(b) && std::fabs(a) < 1e6 && std::fabs(b) < 1e6;
}

QFont canvasFont() {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(9);
    return f;
}

QPen penOf(Colour c, int width, LineStyle style) {
    QPen pen(QImageSurface::toQColor(c));
    pen.setWidth(std::max(width, 1));
    pen.setStyle(style == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// Consecutive segments of one pen that join end to start become one polyline; a curve of
// many steps is then one path element instead of thousands.
class Polylines {
public:
    explicit Polylines(QPainter& p) : p_(p) {}
    ~Polylines() { flush(); }
    // The segment a-b, then `count` points that continue it.
    void add(const QPointF& a, const QPointF& b, Colour c, int width, LineStyle style, const QPointF* more,
             std::size_t count) {
        const Key k{c, width, static_cast<int>(style)};
        auto it = open_.find(k);
        if (it != open_.end() && it->second.last() == a) {
            it->second << b;
        } else {
            if (it != open_.end()) draw(k, it->second);
            QPolygonF poly;
            poly << a << b;
            it = open_.insert_or_assign(k, std::move(poly)).first;
        }
        for (std::size_t i = 0; i < count; ++i) it->second << more[i];
    }
    void flush() {
        for (auto& [k, poly] : open_) draw(k, poly);
        open_.clear();
    }

private:
    using Key = std::tuple<Colour, int, int>;
    void draw(const Key& k, const QPolygonF& poly) {
        p_.setPen(penOf(std::get<0>(k), std::get<1>(k), static_cast<LineStyle>(std::get<2>(k))));
        p_.setBrush(Qt::NoBrush);
        p_.drawPolyline(poly);
    }
    QPainter& p_;
    std::map<Key, QPolygonF> open_;
};

// Writes through a temporary file renamed over the target, so a failed figure leaves the
// old file (or none) in place.
class TempTarget {
public:
    explicit TempTarget(const QString& path) : path_(path), tmp_(path + ".part") {}
    ~TempTarget() {
        if (!done_) QFile::remove(tmp_);
    }
    const QString& tmp() const { return tmp_; }
    QString commit() {
        if (!QFileInfo(tmp_).exists() || QFileInfo(tmp_).size() == 0)
            return "Не удалось записать файл " + path_;
        QFile::remove(path_);
        if (!QFile::rename(tmp_, path_)) return "Не удалось записать файл " + path_;
        done_ = true;
        return {};
    }

private:
    QString path_, tmp_;
    bool done_ = false;
};

}  // namespace

RecordingImageSurface::RecordingImageSurface(int width, int height)
    : QImageSurface(width, height),
      marginX_(image().width() + kMargin),
      marginY_(image().height() + kMargin),
      cleared_(background) {
    keepsRecord_ = true;
}

void RecordingImageSurface::add(Kind k, Colour c, double a, double b, double cc, double d, Colour fill) {
    if (commands_.size() + steps_.size() >= kMaxCommands) {
        overflow_ = true;
        return;
    }
    // Any other primitive ends the open polylines.
    open_.clear();
    openMore_.clear();
    commands_.push_back({k, lineStyle, fillSolid, static_cast<std::uint8_t>(std::clamp(lineWidth, 1, 255)), c,
                         fill, static_cast<float>(a), static_cast<float>(b), static_cast<float>(cc),
                         static_cast<float>(d), static_cast<std::uint32_t>(steps_.size())});
}

RecordingImageSurface::Open& RecordingImageSurface::openLine(std::uint64_t pen) {
    constexpr std::size_t kRecent = 8;
    Open o;
    o.pen = pen;
    if (auto it = openMore_.find(pen); it != openMore_.end()) {
        o = it->second;
        openMore_.erase(it);
    }
    if (open_.size() == kRecent) {
        openMore_[open_.back().pen] = open_.back();
        open_.back() = o;
    } else {
        open_.push_back(o);
    }
    return open_.back();
}

void RecordingImageSurface::record(double x1, double y1, double x2, double y2, Colour c) {
    const double lo = -kMargin, hx = marginX_, hy = marginY_;
    double a = x1, b = y1, cc = x2, d = y2;
    if (x1 >= lo && x1 <= hx && x2 >= lo && x2 <= hx && y1 >= lo && y1 <= hy && y2 >= lo && y2 <= hy) {
        // Within the margin the clip keeps the whole segment: start + 0*(end - start) and
        // start + 1*(end - start).
        const double dx = x2 - x1, dy = y2 - y1;
        a = x1 + 0.0 * dx;
        b = y1 + 0.0 * dy;
        cc = x1 + dx;
        d = y1 + dy;
    } else if ((y1 < lo && y2 < lo) || (y1 > hy && y2 > hy) || (x1 < lo && x2 < lo) || (x1 > hx && x2 > hx) ||
               !clipSegment(a, b, cc, d, lo, lo, hx, hy)) {
        // Wholly beyond one edge of the margin (a curve far off its scale at every step):
        // nothing to keep, and no clipping to compute.
        return;
    }
    const float fa = static_cast<float>(a), fb = static_cast<float>(b);
    const float fc = static_cast<float>(cc), fd = static_cast<float>(d);
    const auto width = static_cast<std::uint8_t>(std::clamp(lineWidth, 1, 255));
    const std::uint64_t pen = c | std::uint64_t{width} << 32 | static_cast<std::uint64_t>(lineStyle) << 40;
    // The pens of the curves of a run are at hand: look them up here, the rest in openLine().
    Open* found = nullptr;
    for (Open& k : open_)
        if (k.pen == pen) {
            found = &k;
            break;
        }
    Open& o = found ? *found : openLine(pen);
    // The replay's test: the start is the polyline's last point (as QPointF compares them).
    const bool continues = o.line != kNoLine &&
                           ((o.x == fa && o.y == fb) || QPointF(o.x, o.y) == QPointF(fa, fb));
    if (continues && o.pending != kNoLine) {
        if (o.side ? sideOf(o.kx, o.ky, fc, fd) == o.side : reaches(o, fc, fd)) {
            // The new end takes the place of the last point, which is left out.
            steps_[o.pending] = {fc, fd, o.line};
            if (!o.side) narrow(o, fc, fd);
            o.x = fc;
            o.y = fd;
            return;
        }
        // The last point is kept for good; the new end follows it.
        o.kx = o.x;
        o.ky = o.y;
        o.pending = kNoLine;
    }
    if (commands_.size() + steps_.size() >= kMaxCommands) {
        overflow_ = true;
        return;
    }
    if (continues) {
        o.side = static_cast<std::uint8_t>(sideOf(o.kx, o.ky, fc, fd));
        o.cone = false;
        o.far2 = 0;
        if (!o.side) narrow(o, fc, fd);
        o.pending = static_cast<std::uint32_t>(steps_.size());
        steps_.push_back({fc, fd, o.line});
    } else {
        o.line = static_cast<std::uint32_t>(lineStart_.size());
        o.pending = kNoLine;
        lineStart_.push_back(static_cast<std::uint32_t>(commands_.size()));
        commands_.push_back({Kind::Segment, lineStyle, fillSolid, width, c, o.line, fa, fb, fc, fd,
                             static_cast<std::uint32_t>(steps_.size())});
        o.kx = fc;
        o.ky = fd;
    }
    o.x = fc;
    o.y = fd;
}

bool RecordingImageSurface::reaches(const Open& o, float x, float y) {
    const float vx = x - o.kx, vy = y - o.ky;
    // Not nearer than a point left out: its foot on the ray is then on the segment.
    if (vx * vx + vy * vy < o.far2) return false;
    return !o.cone || (o.rx * vy - o.ry * vx >= 0 && vx * o.ly - vy * o.lx >= 0);
}

void RecordingImageSurface::narrow(Open& o, float x, float y) {
    const float vx = x - o.kx, vy = y - o.ky, d2 = vx * vx + vy * vy;
    if (d2 <= kTolerance * kTolerance) return;  // near the kept point: any segment from it will do
    o.far2 = std::max(o.far2, d2);
    // The rays within the angle asin(tolerance / distance) either side of the point's own.
    const float d = std::sqrt(d2), s = kTolerance / d, co = std::sqrt(1 - s * s);
    const float ux = vx / d, uy = vy / d;
    const float lx = ux * co - uy * s, ly = ux * s + uy * co;
    const float rx = ux * co + uy * s, ry = uy * co - ux * s;
    if (!o.cone) {
        o.cone = true;
        o.lx = lx, o.ly = ly, o.rx = rx, o.ry = ry;
        return;
    }
    // The point's direction is within the cone: the tighter bound on either side.
    if (lx * o.ly - ly * o.lx > 0) o.lx = lx, o.ly = ly;
    if (o.rx * ry - o.ry * rx > 0) o.rx = rx, o.ry = ry;
}

int RecordingImageSurface::sideOf(float ax, float ay, float bx, float by) const {
    // Half the stroke and a pixel to spare.
    const float m = static_cast<float>(std::clamp(lineWidth, 1, 255)) / 2 + 1;
    const auto w = static_cast<float>(marginX_ - kMargin), h = static_cast<float>(marginY_ - kMargin);
    if (ay < -m && by < -m) return 1;
    if (ay > h + m && by > h + m) return 2;
    if (ax < -m && bx < -m) return 3;
    if (ax > w + m && bx > w + m) return 4;
    return 0;
}

void RecordingImageSurface::segment(double x1, double y1, double x2, double y2, Colour c) {
    record(x1, y1, x2, y2, c);
    QImageSurface::segment(x1, y1, x2, y2, c);
}

void RecordingImageSurface::box(double x1, double y1, double x2, double y2, Colour c) {
    if (near(x1, y1) && near(x2, y2)) add(Kind::Box, c, x1, y1, x2, y2);
    QImageSurface::box(x1, y1, x2, y2, c);
}

void RecordingImageSurface::fillBox(double x1, double y1, double x2, double y2, Colour c) {
    if (near(x1, y1) && near(x2, y2)) add(Kind::FillBox, c, x1, y1, x2, y2);
    QImageSurface::fillBox(x1, y1, x2, y2, c);
}

void RecordingImageSurface::circle(double x, double y, double r, Colour c) {
    if (near(x, y) && std::isfinite(r)) add(Kind::Circle, c, x, y, r, 0, fillColour);
    QImageSurface::circle(x, y, r, c);
}

void RecordingImageSurface::pixel(double x, double y) {
    if (near(x, y)) add(Kind::Pixel, foreColour, std::floor(x), std::floor(y));
    QImageSurface::pixel(x, y);
}

void RecordingImageSurface::text(const std::string& utf8) {
    if (near(currentX, currentY) && !utf8.empty()) {
        add(Kind::Text, foreColour, currentX, currentY, 0, 0, static_cast<Colour>(texts_.size()));
        if (!overflow_) texts_.push_back(utf8);
    }
    QImageSurface::text(utf8);
}

void RecordingImageSurface::clear() {
    commands_.clear();
    steps_.clear();
    lineStart_.clear();
    open_.clear();
    openMore_.clear();
    texts_.clear();
    overflow_ = false;
    cleared_ = background;
    QImageSurface::clear();
}

std::vector<Colour> RecordingImageSurface::segmentColours() const {
    std::vector<Colour> c;
    std::size_t next = 0;  // the steps came between the commands
    auto stepsUpTo = [&](std::size_t end) {
        for (; next < end; ++next) c.push_back(commands_[lineStart_[steps_[next].line]].colour);
    };
    for (const Command& k : commands_) {
        stepsUpTo(k.stepsBefore);
        if (k.kind == Kind::Segment) c.push_back(k.colour);
    }
    stepsUpTo(steps_.size());
    return c;
}

void RecordingImageSurface::replay(QPainter& p) const {
    const QSize size = image().size();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(QRect(QPoint(0, 0), size));
    p.fillRect(QRect(QPoint(0, 0), size), toQColor(cleared_));
    const QFont font = canvasFont();
    p.setFont(font);
    const QFontMetricsF metrics(font, p.device());
    // The steps grouped by polyline, each group in drawing order.
    std::vector<std::size_t> first(lineStart_.size() + 1, 0);
    for (const Step& st : steps_) ++first[st.line + 1];
    for (std::size_t i = 1; i < first.size(); ++i) first[i] += first[i - 1];
    std::vector<QPointF> points(steps_.size());
    {
        std::vector<std::size_t> at(first.begin(), first.end() - 1);
        for (const Step& st : steps_) points[at[st.line]++] = QPointF(st.x, st.y);
    }
    Polylines lines(p);
    for (const Command& k : commands_) {
        if (k.kind == Kind::Segment) {
            const std::size_t from = first[k.fill];
            lines.add(QPointF(k.a, k.b), QPointF(k.c, k.d), k.colour, k.width, k.style, points.data() + from,
                      first[k.fill + 1] - from);
            continue;
        }
        lines.flush();
        switch (k.kind) {
        case Kind::Box:
            p.setPen(penOf(k.colour, k.width, k.style));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(QPointF(k.a, k.b), QPointF(k.c, k.d)).normalized());
            break;
        case Kind::FillBox: {
            // Both corner pixels belong to the box, as on the image.
            const double l = std::min(k.a, k.c), r = std::max(k.a, k.c);
            const double t = std::min(k.b, k.d), b = std::max(k.b, k.d);
            p.fillRect(QRectF(l, t, r - l + 1, b - t + 1), toQColor(k.colour));
            break;
        }
        case Kind::Circle:
            p.setPen(penOf(k.colour, k.width, k.style));
            if (k.fillSolid) p.setBrush(toQColor(k.fill));
            else p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(k.a, k.b), k.c, k.c);
            break;
        case Kind::Pixel: p.fillRect(QRectF(k.a, k.b, 1, 1), toQColor(k.colour)); break;
        case Kind::Text:
            p.setPen(toQColor(k.colour));
            p.drawText(QPointF(k.a, k.b + metrics.ascent()), QString::fromStdString(texts_[k.fill]));
            break;
        default: break;
        }
    }
}

QString RecordingImageSurface::saveSvg(const QString& path) const {
    if (overflow_)
        return "Рисунок содержит слишком много элементов для векторного формата; сохраните его как PNG";
    TempTarget target(path);
    {
        QSvgGenerator gen;
        gen.setFileName(target.tmp());
        gen.setSize(image().size());
        gen.setViewBox(QRect(QPoint(0, 0), image().size()));
        gen.setResolution(96);
        gen.setTitle("VELTA");
        QPainter p;
        if (!p.begin(&gen)) return "Не удалось записать файл " + path;
        replay(p);
        p.end();
    }
    return target.commit();
}

QString RecordingImageSurface::savePdf(const QString& path) const {
    if (overflow_)
        return "Рисунок содержит слишком много элементов для векторного формата; сохраните его как PNG";
    TempTarget target(path);
    {
        QPdfWriter pdf(target.tmp());
        // One page of the canvas's size at 96 dots per inch, without margins.
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(image().width() * 72.0 / 96, image().height() * 72.0 / 96),
                                  QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle("VELTA");
        pdf.setCreator("VELTA");
        QPainter p;
        if (!p.begin(&pdf)) return "Не удалось записать файл " + path;
        replay(p);
        p.end();
    }
    return target.commit();
}

QString RecordingImageSurface::save(const QString& path) const {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == "svg") return saveSvg(path);
    if (ext == "pdf") return savePdf(path);
    if (ext == "png") {
        TempTarget target(path);
        if (!image().save(target.tmp(), "PNG")) return "Не удалось записать файл " + path;
        return target.commit();
    }
    return "Формат рисунка не поддерживается: " + path + " (PNG, SVG, PDF)";
}

}  // namespace velta
