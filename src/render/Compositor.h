#pragma once
// RenderDib: background, frame under the text, the warped text, frame over the text.

#include "document/Lettering.h"
#include "raster/DibImage.h"

namespace gw {

void RenderDib(const Lettering& lettering, const DibImage& TextImage, const DibImage& TextMask,
               DibImage& Picture);

}  // namespace gw
