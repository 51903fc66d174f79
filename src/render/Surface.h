#pragma once
// Surfaces: the background fill of the picture and the filling of the letters.

#include "document/Lettering.h"
#include "platform/Bitmap.h"
#include "raster/DibImage.h"

namespace gw {

// Fills the whole picture with the background colour, or with BackgroundTexture tiled 1:1 from
// the top-left corner.
void FillDi0Bkgnd(const Lettering& lettering, DibImage& Picture);

// The text surface fill: T holds the letters black on white (24 bits); afterwards the letters
// carry the surface (colour, or the texture tiled from T's top-left corner) and the rest is black.
void FillTextSurface(Bitmap& T, const SurfaceSettings& surface, const DibImage& TextTexture);

}  // namespace gw
