#pragma once
// TTexture0Frame: the gallery of the built-in textures, 32 x 32 cells on a pitch of 33, filled
// column by column, as many rows as the scroll box is high.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <span>

#include "editing/Gallery.h"
#include "raster/DibImage.h"

class QScrollArea;

namespace gw {

class TGalleryCells;
class TPaintBox;

class TTexture0Frame : public QWidget {
    Q_OBJECT

  public:
    explicit TTexture0Frame(QWidget* parent = nullptr);

    QScrollArea* ScrollBox2;
    TPaintBox* Tex0Paint;

    // The texture table the gallery shows (the window's BuiltinTextures).
    std::function<std::span<const DibImage>()> Textures;
    // A cell was clicked; the selection is already set and the gallery repainted.
    std::function<void(std::int32_t index)> OnTexturePicked;

    std::int32_t Selected() const { return selected_; }

    GalleryLayout Layout() const;
    void Tex0PaintPaint();
    void Tex0PaintMouseDown(int x, int y);
    void ScrollBox2Resize();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::int32_t TextureCount() const;
    void FitWidth();

    std::int32_t selected_ = 0;
    TGalleryCells* cells_;
};

}  // namespace gw
