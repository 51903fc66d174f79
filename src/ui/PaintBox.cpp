#include "ui/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/QtBridge.h"

namespace gw {

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_ = std::make_unique<Canvas>(bitmap_);
}

TPaintBox::~TPaintBox() = default;

void TPaintBox::FitBitmap() {
    if (bitmap_.Width() != width() || bitmap_.Height() != height())
        bitmap_.SetSize(width(), height());
}

Canvas& TPaintBox::canvas() {
    FitBitmap();
    return *canvas_;
}

void TPaintBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitBitmap();
    if (OnResize) OnResize();
}

void TPaintBox::paintEvent(QPaintEvent*) {
    FitBitmap();
    if (OnPaint) OnPaint();
    QPainter painter(this);
    painter.drawImage(0, 0, ToQImage(bitmap_));
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseDown) OnMouseDown(event->button(), p.x(), p.y());
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseMove) OnMouseMove(event->buttons(), p.x(), p.y());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseUp) OnMouseUp(event->button(), p.x(), p.y());
}

}  // namespace gw
