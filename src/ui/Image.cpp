#include "ui/Image.h"

#include <QMouseEvent>
#include <QPainter>

namespace gw {

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::setPixmap(const QPixmap& pixmap) {
    pixmap_ = pixmap;
    updateGeometry();
    update();
}

void TImage::setStretch(bool stretch) {
    stretch_ = stretch;
    update();
}

QSize TImage::sizeHint() const {
    return pixmap_.isNull() ? QSize(16, 16) : pixmap_.deviceIndependentSize().toSize();
}

void TImage::paintEvent(QPaintEvent*) {
    if (pixmap_.isNull()) return;
    QPainter painter(this);
    if (stretch_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), pixmap_);
    } else {
        painter.drawPixmap(0, 0, pixmap_);
    }
}

void TImage::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseDown) OnMouseDown(event->button(), p.x(), p.y());
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseMove) OnMouseMove(event->buttons(), p.x(), p.y());
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseUp) OnMouseUp(event->button(), p.x(), p.y());
}

}  // namespace gw
