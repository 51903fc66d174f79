#pragma once
// Surfaces: the background fill of the picture and the filling of the letters.

#include "document/Lettering.h"
#include "platform/Bitmap.h"
#include "raster/DibImage.h"
#include "render/RenderOptions.h"

namespace gw {

// Fills the whole picture with the background colour, or with BackgroundTexture tiled 1:1 from
// the top-left corner. With the plain stages chosen (RenderOptions.h), through a bitmap drawn tile
// by tile.
void FillDi0Bkgnd(const Lettering& lettering, DibImage& Picture, const RenderOptions& options = {});

// The text surface fill: T holds the letters black on white (24 bits); afterwards the letters
// carry the surface (colour, or the texture tiled from T's top-left corner) and the rest is black.
// With the plain stages chosen, by raster operations whatever T's format.
void FillTextSurface(Bitmap& T, const SurfaceSettings& surface, const DibImage& TextTexture,
                     const RenderOptions& options = {});

// The text surface fill one row at a time, for a 24-bit T: out = (NOT letters) AND the surface of
// image row y, `count` pixels from the row's start. `out` may be `letters`.
class TextSurfaceRows {
  public:
    TextSurfaceRows(const SurfaceSettings& surface, const DibImage& TextTexture);
    void Apply(const std::uint8_t* letters, std::uint8_t* out, std::int32_t count,
               std::int32_t y) const;

  private:
    bool texture_ = false;
    std::uint8_t color_[3] = {0, 0, 0};
    // A 24-bit texture is read where it lies, so a big one is held once; one of fewer bits is
    // widened into tile_ (empty when there is no texture to lay).
    const DibImage* texels_ = nullptr;
    Bitmap tile_;
};

}  // namespace gw
