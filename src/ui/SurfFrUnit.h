#pragma once
// TSurfaceFrame: the surface picker of the letters or of the background. Three radio buttons
// choose the kind (colour, built-in texture, own texture); beside them the matching panel.

#include <QWidget>
#include <cstdint>
#include <functional>

class QRadioButton;

namespace gw {

class TColorFrame;
class TTexture0Frame;
class TTextureFrame;

class TSurfaceFrame : public QWidget {
    Q_OBJECT

  public:
    explicit TSurfaceFrame(QWidget* parent = nullptr);

    QWidget* Panel1;
    QRadioButton* ColorCheck;
    QRadioButton* Texture0Check;
    QRadioButton* TextureCheck;
    QWidget* Panel2;
    TColorFrame* ColorFrame1;
    TTexture0Frame* Texture0Frame1;
    TTextureFrame* TextureFrame1;

    // The radio buttons show a new kind (0 colour, 1 built-in texture, 2 own texture).
    // `classChanged` tells whether it moved between colour and texture; the panel still shows
    // the old kind while this runs.
    std::function<void(int kind, bool classChanged)> OnKindChanged;

    // Shows the panel of the kind and takes its surface class.
    void SetMeRight(int kind);
    // Checks the radio button of the kind; its handler runs when the choice changes.
    void CheckKind(int kind);
    int CheckedKind() const;
    // 0 for a colour, 2 for either kind of texture.
    int SurfaceClass() const { return surfaceClass_; }

    void ColorCheckClick();

  private:
    int surfaceClass_ = 0;
};

}  // namespace gw
