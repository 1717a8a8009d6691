#include "app/qt/canvaswidget.h"

#include <QMouseEvent>
#include <QPainter>

namespace velta {

CanvasWidget::CanvasWidget(const QImage& image, QRect area, QWidget* parent)
    : QWidget(parent), image_(image), area_(area) {
    setObjectName("Picture1");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CanvasWidget::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    // Only the exposed part: image pixels map one to one onto widget pixels.
    const QRect r = e->rect();
    p.drawImage(r.topLeft(), image_, r.translated(area_.topLeft()));
}

void CanvasWidget::mousePressEvent(QMouseEvent* e) {
    emit mousePressed(e->position().toPoint() + area_.topLeft(), e->button(), e->buttons());
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMoved(e->position().toPoint() + area_.topLeft(), e->buttons());
}

}  // namespace velta
