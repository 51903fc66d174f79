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
    // What the swatch holds, as assistive technology reads it: `pattern` (a German text of the
    // catalogue, "Buchstabenfarbe: %1") with the colour in place of %1, kept up with the colour.
    void setDescribedAs(const char* pattern);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Describe();

    TColor brushColor_ = clWhite;
    const char* pattern_ = nullptr;
};

}  // namespace gw
