#pragma once
// A colour swatch: a rectangle filled with its brush colour and outlined in black.

#include <QWidget>

#include "platform/Geometry.h"

namespace gw {

class TShape : public QWidget {
    Q_OBJECT

  public:
    explicit TShape(QWidget* parent = nullptr);

    TColor brushColor() const { return brushColor_; }
    void setBrushColor(TColor color);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TColor brushColor_ = clWhite;
};

}  // namespace gw
