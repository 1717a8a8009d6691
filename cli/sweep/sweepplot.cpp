#include "cli/sweep/sweepplot.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace velta {

namespace {

constexpr int kWidth = 900, kHeight = 680;
constexpr int kLeft = 90, kRight = 150, kTop = 50, kBottom = 70;

std::optional<double> numberOf(const std::string& s) {
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

int column(const SweepTable& t, const std::string& name) {
    for (std::size_t i = 0; i < t.header.size(); ++i)
        if (t.header[i] == name) return static_cast<int>(i);
    return -1;
}

enum class Mark { Value, Still, Failed, Missing };

struct Cell {
    Mark mark = Mark::Missing;
    double value = 0;
};

// The verdict on one point for the chosen field.
Cell cellOf(const SweepTable& t, std::size_t point, const std::string& field) {
    Cell c;
    const auto it = t.rows.find(point);
    if (it == t.rows.end()) return c;
    const auto& row = it->second;
    auto at = [&](const std::string& name) -> std::string {
        const int k = column(t, name);
        return k >= 0 && k < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(k)] : std::string();
    };
    if (at("exit_status") != "0") {
        c.mark = Mark::Failed;
        return c;
    }
    const auto v = numberOf(at(field));
    if (at("stationary") == "true" || !v) {
        c.mark = Mark::Still;
        return c;
    }
    c.mark = Mark::Value;
    c.value = *v;
    return c;
}

// A perceptually ordered colour scale (dark blue - teal - green - yellow).
QColor scale(double f) {
    static const double stops[][3] = {
        {68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {253, 231, 37}};
    f = std::clamp(f, 0.0, 1.0) * 4;
    const int i = std::min(3, static_cast<int>(f));
    const double r = f - i;
    auto mix = [&](int k) {
        return static_cast<int>(std::lround(stops[i][k] + (stops[i + 1][k] - stops[i][k]) * r));
    };
    return QColor(mix(0), mix(1), mix(2));
}

QString q(const std::string& s) { return QString::fromStdString(s); }

QString numText(double v) { return QString::number(v, 'g', 5); }

// An axis value as a tick label: numbers to 5 digits.
QString tick(const std::string& value) {
    const auto v = numberOf(value);
    return v ? numText(*v) : QString::fromStdString(value);
}

void drawCross(QPainter& p, const QRectF& r, const QColor& c) {
    p.setPen(QPen(c, 1.5));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void legend(QPainter& p, double x, double y, bool heat) {
    p.setPen(Qt::black);
    const QRectF failed(x, y, 14, 14), still(x, y + 24, 14, 14);
    p.fillRect(failed, heat ? QColor(90, 90, 90) : Qt::white);
    drawCross(p, failed, heat ? Qt::white : QColor(200, 0, 0));
    p.setPen(Qt::black);
    p.drawText(QPointF(x + 20, y + 12), "failed");
    p.fillRect(still, QColor(235, 235, 235));
    p.setPen(QColor(120, 120, 120));
    p.drawEllipse(still.center(), 3, 3);
    p.setPen(Qt::black);
    p.drawText(QPointF(x + 20, y + 36), "no oscillation");
}

void paint(QPainter& p, const SweepSpec& s, const SweepTable& t, const std::string& field) {
    p.fillRect(QRect(0, 0, kWidth, kHeight), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font("Liberation Sans", 10);
    p.setFont(font);
    const QRectF plot(kLeft, kTop, kWidth - kLeft - kRight, kHeight - kTop - kBottom);
    const std::size_t n = s.points();
    double lo = INFINITY, hi = -INFINITY;
    for (std::size_t i = 0; i < n; ++i) {
        const Cell c = cellOf(t, i, field);
        if (c.mark == Mark::Value) {
            lo = std::min(lo, c.value);
            hi = std::max(hi, c.value);
        }
    }
    const bool any = lo <= hi;
    if (!any) lo = 0, hi = 1;
    if (hi == lo) hi = lo + 1;

    QFont bold = font;
    bold.setBold(true);
    bold.setPointSize(12);
    p.setFont(bold);
    std::string title = field + " over " + s.axes[0].key + (s.axes.size() > 1 ? " x " + s.axes[1].key : "") +
                        "   (section " + std::to_string(s.section) + ", " +
                        s.data.substr(s.data.find_last_of('/') + 1) + ")";
    p.setPen(Qt::black);
    p.drawText(QRectF(0, 10, kWidth, 30), Qt::AlignCenter, q(title));
    p.setFont(font);

    const auto& ax = s.axes[0];
    const std::size_t nx = ax.values.size();
    std::vector<double> xs(nx);
    bool numeric = true;
    for (std::size_t i = 0; i < nx; ++i) {
        const auto v = numberOf(ax.values[i]);
        numeric = numeric && v.has_value();
        xs[i] = v ? (ax.log ? std::log10(*v) : *v) : 0;
    }
    if (!numeric)
        for (std::size_t i = 0; i < nx; ++i) xs[i] = static_cast<double>(i);

    if (s.axes.size() == 1) {
        const double x0 = xs.front(),
                     x1 = xs.size() > 1 && xs.back() != xs.front() ? xs.back() : xs.front() + 1;
        auto X = [&](double x) { return plot.left() + (x - x0) / (x1 - x0) * plot.width(); };
        auto Y = [&](double y) { return plot.bottom() - (y - lo) / (hi - lo) * plot.height(); };
        p.setPen(QColor(200, 200, 200));
        for (int k = 0; k <= 4; ++k) {
            const double y = plot.bottom() - plot.height() * k / 4;
            p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
            p.setPen(Qt::black);
            p.drawText(QRectF(0, y - 8, kLeft - 8, 16), Qt::AlignRight | Qt::AlignVCenter,
                       numText(lo + (hi - lo) * k / 4));
            p.setPen(QColor(200, 200, 200));
        }
        QPainterPath path;
        bool open = false;
        for (std::size_t i = 0; i < nx; ++i) {
            const Cell c = cellOf(t, i, field);
            if (c.mark != Mark::Value) {
                open = false;
                continue;
            }
            const QPointF pt(X(xs[i]), Y(c.value));
            if (open) path.lineTo(pt);
            else path.moveTo(pt);
            open = true;
        }
        p.setPen(QPen(QColor(33, 100, 170), 2));
        p.drawPath(path);
        for (std::size_t i = 0; i < nx; ++i) {
            const Cell c = cellOf(t, i, field);
            const double x = X(xs[i]);
            if (c.mark == Mark::Value) {
                p.setBrush(QColor(33, 100, 170));
                p.setPen(Qt::NoPen);
                p.drawEllipse(QPointF(x, Y(c.value)), 3, 3);
            } else if (c.mark == Mark::Failed) {
                drawCross(p, QRectF(x - 5, plot.bottom() - 14, 10, 10), QColor(200, 0, 0));
            } else if (c.mark == Mark::Still) {
                p.setBrush(Qt::NoBrush);
                p.setPen(QColor(120, 120, 120));
                p.drawEllipse(QPointF(x, plot.bottom() - 9), 4, 4);
            }
        }
        p.setBrush(Qt::NoBrush);
        const std::size_t step = std::max<std::size_t>(1, nx / 8);
        p.setPen(Qt::black);
        for (std::size_t i = 0; i < nx; i += step)
            p.drawText(QRectF(X(xs[i]) - 40, plot.bottom() + 4, 80, 16), Qt::AlignCenter, tick(ax.values[i]));
        p.drawRect(plot);
        p.drawText(QRectF(plot.left(), plot.bottom() + 26, plot.width(), 20), Qt::AlignCenter,
                   q(ax.key + (ax.log ? " (log scale)" : "")));
        p.save();
        p.translate(18, plot.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-150, -10, 300, 20), Qt::AlignCenter, q(field));
        p.restore();
        legend(p, plot.right() + 14, plot.top() + 10, false);
        return;
    }

    // Heat map: the first axis across, the second upward; one cell per point (edges not
    // smoothed, so that neighbouring cells meet without a seam).
    p.setRenderHint(QPainter::Antialiasing, false);
    const auto& ay = s.axes[1];
    const std::size_t ny = ay.values.size();
    const double cw = plot.width() / static_cast<double>(nx), ch = plot.height() / static_cast<double>(ny);
    for (std::size_t i = 0; i < nx; ++i) {
        for (std::size_t j = 0; j < ny; ++j) {
            const std::size_t point = i * ny + j;
            const Cell c = cellOf(t, point, field);
            const QRectF r(plot.left() + cw * static_cast<double>(i),
                           plot.bottom() - ch * static_cast<double>(j + 1), cw, ch);
            switch (c.mark) {
            case Mark::Value: p.fillRect(r, scale((c.value - lo) / (hi - lo))); break;
            case Mark::Failed:
                p.fillRect(r, QColor(90, 90, 90));
                drawCross(p, r.adjusted(cw * 0.2, ch * 0.2, -cw * 0.2, -ch * 0.2), Qt::white);
                break;
            case Mark::Still:
                p.fillRect(r, QColor(235, 235, 235));
                p.setPen(QColor(120, 120, 120));
                p.drawEllipse(r.center(), std::min(cw, ch) * 0.12, std::min(cw, ch) * 0.12);
                break;
            case Mark::Missing: p.fillRect(r, Qt::white); break;
            }
        }
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    const std::size_t sx = std::max<std::size_t>(1, nx / 8), sy = std::max<std::size_t>(1, ny / 10);
    for (std::size_t i = 0; i < nx; i += sx)
        p.drawText(QRectF(plot.left() + cw * (static_cast<double>(i) + 0.5) - 40, plot.bottom() + 4, 80, 16),
                   Qt::AlignCenter, tick(ax.values[i]));
    for (std::size_t j = 0; j < ny; j += sy)
        p.drawText(QRectF(0, plot.bottom() - ch * (static_cast<double>(j) + 0.5) - 8, kLeft - 8, 16),
                   Qt::AlignRight | Qt::AlignVCenter, tick(ay.values[j]));
    p.drawText(QRectF(plot.left(), plot.bottom() + 26, plot.width(), 20), Qt::AlignCenter,
               q(ax.key + (ax.log ? " (log scale)" : "")));
    p.save();
    p.translate(18, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-150, -10, 300, 20), Qt::AlignCenter, q(ay.key + (ay.log ? " (log scale)" : "")));
    p.restore();
    // Colour bar of the field.
    const QRectF bar(plot.right() + 20, plot.top(), 22, plot.height() * 0.6);
    for (int k = 0; k < 100; ++k)
        p.fillRect(QRectF(bar.left(), bar.bottom() - bar.height() * (k + 1) / 100.0, bar.width(),
                          bar.height() / 100.0 + 0.5),
                   scale(k / 99.0));
    p.setPen(Qt::black);
    p.drawRect(bar);
    p.drawText(QRectF(bar.right() + 4, bar.top() - 8, 90, 16), Qt::AlignLeft | Qt::AlignVCenter,
               any ? numText(hi) : "-");
    p.drawText(QRectF(bar.right() + 4, bar.bottom() - 8, 90, 16), Qt::AlignLeft | Qt::AlignVCenter,
               any ? numText(lo) : "-");
    p.drawText(QRectF(bar.left() - 10, bar.top() - 24, 120, 16), Qt::AlignLeft, q(field));
    legend(p, bar.left(), bar.bottom() + 24, true);
}

}  // namespace

std::string defaultField(const SweepTable& t) {
    const int k = column(t, "period");
    for (const auto& [i, row] : t.rows)
        if (k >= 0 && k < static_cast<int>(row.size()) && !row[static_cast<std::size_t>(k)].empty())
            return "period";
    return "amplitude";
}

std::string drawSweep(const SweepSpec& s, const SweepTable& t, const std::string& field,
                      const std::string& base) {
    if (s.axes.empty() || s.axes.size() > 2) return "pictures are drawn for one or two axes";
    if (column(t, field) < 0) return "the table has no field " + field;
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    {
        QPainter p(&img);
        paint(p, s, t, field);
    }
    if (!img.save(q(base + ".png"), "PNG")) return "cannot write " + base + ".png";
    QSvgGenerator svg;
    svg.setFileName(q(base + ".svg"));
    svg.setSize(QSize(kWidth, kHeight));
    svg.setViewBox(QRect(0, 0, kWidth, kHeight));
    svg.setTitle(q("velta-sweep: " + field));
    {
        QPainter p;
        if (!p.begin(&svg)) return "cannot write " + base + ".svg";
        paint(p, s, t, field);
        if (!p.end()) return "cannot write " + base + ".svg";
    }
    return {};
}

}  // namespace velta
