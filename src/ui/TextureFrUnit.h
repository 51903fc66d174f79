#pragma once
// TTextureFrame: an own texture loaded from an image file, with a 1:1 preview of the surface's
// current texture.

#include <QWidget>
#include <functional>

#include "raster/DibImage.h"

class QPushButton;
class QScrollArea;

namespace gw {

class TPaintBox;

class TTextureFrame : public QWidget {
    Q_OBJECT

  public:
    explicit TTextureFrame(QWidget* parent = nullptr);

    QPushButton* TexBn;
    QScrollArea* ScrollBox1;
    TPaintBox* DIBPaintBox;

    // A file was chosen; the receiver loads it as the surface's texture and tells whether
    // that worked (it reports a failure itself).
    std::function<bool(const QString& fileName)> OnTextureFile;

    void TexBnClick();
    // Sizes the preview to the texture and draws it 1:1 (the window's preview paint handler).
    void ShowTexture(const DibImage& texture);
    // Sizes the preview to the texture and asks for a paint.
    void FitTo(const DibImage& texture);

  protected:
    // An image file dropped on the preview loads as the load button's choice does.
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace gw
