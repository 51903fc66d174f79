#pragma once
// TColorFrame: the colour panel of a surface picker, a swatch and the button that opens the
// colour dialog. Swatch and dialog always carry the same colour.

#include <QWidget>
#include <functional>

#include "platform/Geometry.h"

class QPushButton;

namespace gw {

class TShape;

class TColorFrame : public QWidget {
    Q_OBJECT

  public:
    explicit TColorFrame(QWidget* parent = nullptr);

    // Sets swatch and dialog alike.
    void SetColor(TColor color);
    TColor Color() const { return dialogColor_; }

    TShape* ColorShape;
    QPushButton* ColorBtn;

    // The dialog was confirmed; the frame already shows the chosen colour.
    std::function<void(TColor)> OnColorChosen;

    void ColorBtnClick();

  private:
    TColor dialogColor_ = clWhite;  // the colour ColorDialog1 opens with
};

}  // namespace gw
