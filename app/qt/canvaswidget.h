// The picture area of the main window (Picture1): shows the canvas image at the canvas
// rectangle, so that client pixels of the drawing are pixels of the window.
#pragma once
#include <QImage>
#include <QRect>
#include <QWidget>

namespace velta {

class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    // `image` is the whole client-sized canvas; `area` the part this widget shows,
    // in client pixels (the widget should be placed at the same rectangle).
    CanvasWidget(const QImage& image, QRect area, QWidget* parent = nullptr);
    QRect area() const { return area_; }

signals:
    // Mouse events in client pixels (the 3D picture turns with the mouse).
    void mousePressed(QPoint clientPos, Qt::MouseButton button, Qt::MouseButtons buttons);
    void mouseMoved(QPoint clientPos, Qt::MouseButtons buttons);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    const QImage& image_;
    QRect area_;
};

}  // namespace velta
