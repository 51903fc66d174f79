#pragma once
// RenderDib: background, frame under the text, the warped text, frame over the text.

#include <cstdint>

#include "document/Lettering.h"
#include "raster/DibImage.h"
#include "render/RenderOptions.h"

namespace gw {

// With `coverage` (one byte a picture pixel, rows from the top; `options.coverage` set) the
// background is left out: the plane starts at 0 and takes every pixel's opacity, and the picture,
// black where nothing is drawn, holds the colour already multiplied by it. The bevel's use of the
// background is unchanged (its bands keep the chosen background's colours).
void RenderDib(const Lettering& lettering, const DibImage& TextImage, const DibImage& TextMask,
               DibImage& Picture, const RenderOptions& options = {},
               std::uint8_t* coverage = nullptr);

}  // namespace gw
