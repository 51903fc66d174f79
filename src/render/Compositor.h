#pragma once
// RenderDib: background, frame under the text, the warped text, frame over the text.

#include <cstdint>

#include "document/Lettering.h"
#include "raster/DibImage.h"
#include "render/RenderOptions.h"

namespace gw {

// `flatBackground` 0 .. 255: the picture's background filled with this grey instead of the
// lettering's surface (the transparent export tells the background from the rest by two such
// fills); the text's own use of the background, in the bevel, is unchanged.
void RenderDib(const Lettering& lettering, const DibImage& TextImage, const DibImage& TextMask,
               DibImage& Picture, std::int32_t flatBackground = -1,
               const RenderOptions& options = {});

}  // namespace gw
