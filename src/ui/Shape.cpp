#include "ui/Shape.h"

#include <QPainter>

#include "ui/QtBridge.h"
#include "ui/Tr.h"

namespace gw {

TShape::TShape(QWidget* parent) : QWidget(parent) {}

void TShape::setBrushColor(TColor color) {
    if (brushColor_ == color) return;
    brushColor_ = color;
    Describe();
    update();
}

void TShape::setDescribedAs(const char* pattern) {
    pattern_ = pattern;
    Describe();
}

void TShape::Describe() {
    if (!pattern_) return;
    setAccessibleName(QTr(pattern_).arg(ToQColor(brushColor_).name().toUpper()));
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The outline in the scheme's text colour: black on a light scheme, and a black swatch
    // still shows its edge on a dark one.
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(ToQColor(brushColor_));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace gw
