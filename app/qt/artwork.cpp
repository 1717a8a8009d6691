#include "app/qt/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include <functional>

namespace velta {

namespace {

const QColor kInk(40, 52, 92);
const QColor kPaper(250, 250, 244);
const QColor kBlue(58, 110, 190);
const QColor kGreen(46, 150, 80);
const QColor kRed(200, 50, 45);
const QColor kGold(226, 170, 40);

// An arrow head at `tip`, pointing along the direction from `from`.
void arrowHead(QPainter& p, QPointF from, QPointF tip, double size) {
    const QPointF d = tip - from;
    const double len = std::hypot(d.x(), d.y());
    if (len <= 0) return;
    const QPointF u = d / len, n(-u.y(), u.x());
    QPolygonF head;
    head << tip << tip - u * size + n * size * 0.5 << tip - u * size - n * size * 0.5;
    p.drawPolygon(head);
}

void arrow(QPainter& p, QPointF a, QPointF b, double head) {
    const QPointF d = b - a;
    const double len = std::hypot(d.x(), d.y());
    const QPointF shaft = len > head ? b - d / len * head * 0.8 : b;
    p.drawLine(a, shaft);
    p.setBrush(p.pen().color());
    arrowHead(p, a, b, head);
}

// The drawing of one icon in a 24 x 24 box.
void drawIcon(QPainter& p, const QString& key) {
    QPen pen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (key == "Sections") {
        for (int i = 0; i < 4; ++i) {
            p.setBrush(i == 1 ? kGold : kBlue);
            p.setPen(Qt::NoPen);
            p.drawRect(QRectF(3, 4 + i * 5, 3, 3));
            p.setPen(pen);
            p.drawLine(QPointF(9, 5.5 + i * 5), QPointF(21, 5.5 + i * 5));
        }
    } else if (key == "Table") {
        p.setBrush(kPaper);
        p.drawRect(QRectF(3, 4, 18, 16));
        p.fillRect(QRectF(3.8, 4.8, 16.4, 3.6), QColor(170, 195, 235));
        for (int i = 1; i < 4; ++i) p.drawLine(QPointF(3, 4 + i * 4), QPointF(21, 4 + i * 4));
        p.drawLine(QPointF(9, 4), QPointF(9, 20));
        p.drawLine(QPointF(15, 4), QPointF(15, 20));
    } else if (key == "Open") {
        p.setBrush(kGold);
        QPolygonF back;
        back << QPointF(2.5, 6) << QPointF(9, 6) << QPointF(11, 8) << QPointF(19, 8) << QPointF(19, 19)
             << QPointF(2.5, 19);
        p.drawPolygon(back);
        p.setBrush(QColor(246, 208, 110));
        QPolygonF front;
        front << QPointF(5, 11) << QPointF(22, 11) << QPointF(19, 19) << QPointF(2.5, 19);
        p.drawPolygon(front);
    } else if (key == "Close") {
        p.setBrush(kPaper);
        p.drawRect(QRectF(3, 3, 18, 18));
        p.fillRect(QRectF(3.8, 3.8, 16.4, 3.5), kBlue);
        p.setPen(QPen(kRed, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 11), QPointF(16, 18));
        p.drawLine(QPointF(16, 11), QPointF(8, 18));
    } else if (key == "Input") {
        p.setBrush(kPaper);
        p.drawRect(QRectF(11, 3, 10, 18));
        for (int i = 0; i < 3; ++i) p.drawLine(QPointF(13, 8 + i * 4), QPointF(19, 8 + i * 4));
        p.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::RoundCap));
        arrow(p, QPointF(2, 12), QPointF(11, 12), 5);
    } else if (key == "Integr") {
        p.drawLine(QPointF(3, 3), QPointF(3, 21));
        p.drawLine(QPointF(3, 21), QPointF(21, 21));
        QPainterPath curve;
        curve.moveTo(3, 14);
        for (int i = 1; i <= 36; ++i) {
            const double x = 3 + i * 0.5;
            curve.lineTo(x, 13 - 7 * std::exp(-0.05 * i) * std::sin(i * 0.45));
        }
        p.setPen(QPen(kRed, 1.8));
        p.drawPath(curve);
    } else if (key == "VarPar") {
        for (int i = 0; i < 3; ++i) {
            const double y = 6 + i * 6;
            p.drawLine(QPointF(3, y), QPointF(21, y));
            p.setBrush(i == 1 ? kGold : kBlue);
            const double x = i == 0 ? 8 : (i == 1 ? 16 : 11);
            p.drawRect(QRectF(x - 2, y - 3, 4, 6));
        }
    } else if (key == "Right" || key == "Left" || key == "Up" || key == "Down") {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        QPolygonF a;
        a << QPointF(4, 9) << QPointF(13, 9) << QPointF(13, 4) << QPointF(21, 12) << QPointF(13, 20)
          << QPointF(13, 15) << QPointF(4, 15);
        const int turn = key == "Right" ? 0 : key == "Down" ? 90 : key == "Left" ? 180 : 270;
        p.translate(12, 12);
        p.rotate(turn);
        p.translate(-12, -12);
        p.drawPolygon(a);
    } else if (key == "Results") {
        p.setBrush(kPaper);
        QPolygonF page;
        page << QPointF(5, 2.5) << QPointF(15, 2.5) << QPointF(20, 7.5) << QPointF(20, 21.5)
             << QPointF(5, 21.5);
        p.drawPolygon(page);
        p.drawLine(QPointF(15, 2.5), QPointF(15, 7.5));
        p.drawLine(QPointF(15, 7.5), QPointF(20, 7.5));
        p.setPen(QPen(kRed, 1.4));
        for (int i = 0; i < 4; ++i) p.drawLine(QPointF(8, 10.5 + i * 3), QPointF(17, 10.5 + i * 3));
    } else if (key == "About") {
        p.setBrush(kBlue);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(10.6, 5.5, 2.8, 2.8));
        p.drawRect(QRectF(10.7, 10, 2.6, 8.5));
    } else if (key == "Exit") {
        p.setBrush(QColor(150, 100, 60));
        p.drawRect(QRectF(3, 3, 11, 18));
        p.setPen(QPen(kRed, 2.2, Qt::SolidLine, Qt::RoundCap));
        arrow(p, QPointF(9, 12), QPointF(22, 12), 5);
    } else if (key == "Stop") {
        p.setPen(QPen(Qt::white, 1.2));
        p.setBrush(kRed);
        QPolygonF oct;
        for (int i = 0; i < 8; ++i) {
            const double a = (22.5 + 45 * i) * M_PI / 180;
            oct << QPointF(12 + 10 * std::cos(a), 12 + 10 * std::sin(a));
        }
        p.drawPolygon(oct);
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(7, 10.5, 10, 3));
    }
}

}  // namespace

QIcon toolIcon(const QString& key) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(24 * scale, 24 * scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        drawIcon(p, key);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QPixmap networkPicture(int width, int height) {
    QPixmap pm(width, height);
    pm.fill(QColor(236, 241, 250));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    // Elements on a ring with two in the middle; links: a cycle of repressions (the
    // symmetric network) plus a few activations across it.
    const QPointF c(width / 2.0, height / 2.0);
    const double r = std::min(width, height) * 0.36, nodeR = std::min(width, height) * 0.075;
    const int n = 6;
    QVector<QPointF> nodes;
    for (int i = 0; i < n; ++i) {
        const double a = -M_PI / 2 + 2 * M_PI * i / n;
        nodes << c + QPointF(r * std::cos(a), r * std::sin(a));
    }
    nodes << c + QPointF(-r * 0.33, 0) << c + QPointF(r * 0.33, 0);

    auto link = [&](int from, int to, bool repress, double bend) {
        const QPointF a = nodes[from], b = nodes[to];
        const QPointF d = b - a;
        const double len = std::hypot(d.x(), d.y());
        const QPointF u = d / len, nrm(-u.y(), u.x());
        const QPointF s = a + u * nodeR, e = b - u * (nodeR + 2);
        const QPointF ctrl = (s + e) / 2 + nrm * bend;
        QPainterPath path(s);
        path.quadTo(ctrl, e);
        const QColor col = repress ? kRed : kGreen;
        p.setPen(QPen(col, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        const QPointF dir = e - path.pointAtPercent(0.92);
        const double dl = std::hypot(dir.x(), dir.y());
        const QPointF du = dl > 0 ? dir / dl : u, dn(-du.y(), du.x());
        if (repress) {
            p.drawLine(e + dn * nodeR * 0.45, e - dn * nodeR * 0.45);  // blunt end: repression
        } else {
            p.setBrush(col);
            p.setPen(Qt::NoPen);
            arrowHead(p, e - du * 10, e, nodeR * 0.6);
        }
    };
    for (int i = 0; i < n; ++i) link(i, (i + 1) % n, true, r * 0.18);
    link(6, 7, false, r * 0.35);
    link(7, 6, true, r * 0.35);
    link(0, 6, false, -r * 0.1);
    link(7, 3, false, -r * 0.1);
    link(2, 7, false, r * 0.1);
    link(5, 6, true, r * 0.1);

    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(int(nodeR * 0.9));
    p.setFont(f);
    for (int i = 0; i < nodes.size(); ++i) {
        QRadialGradient g(nodes[i] - QPointF(nodeR * 0.3, nodeR * 0.3), nodeR * 1.3);
        g.setColorAt(0, QColor(255, 255, 255));
        g.setColorAt(1, i < n ? kBlue : kGold);
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(g);
        p.drawEllipse(nodes[i], nodeR, nodeR);
        p.setPen(kInk);
        p.drawText(QRectF(nodes[i].x() - nodeR, nodes[i].y() - nodeR, 2 * nodeR, 2 * nodeR), Qt::AlignCenter,
                   QString("X%1").arg(i + 1));
    }
    return pm;
}

}  // namespace velta
