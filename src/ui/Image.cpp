#include "ui/Image.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

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
    if (hasFocus()) {
        // The keyboard's place must show on a picture as on any button.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void TImage::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (OnKeyClick && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        OnKeyClick();
        return;
    }
    QWidget::keyPressEvent(event);
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
