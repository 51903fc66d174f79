#pragma once
// The envelope warp: every column of the text image laid along a ray from the upper to the lower
// boundary line and blended into the picture with the mask as opacity.

#include <cstdint>

#include "raster/DibImage.h"
#include "raster/Lines.h"

namespace gw {

// The integer square root of the warp: floor(sqrt(d)) or, for some d (8, 48, 63, 120, 143 ...),
// one more. 0 for 0.
std::uint32_t WarpSqrt(std::uint32_t d);

void WarpText(const TLine& upper, const TLine& lower, const DibImage& TextImage,
              const DibImage& TextMask, DibImage& Picture);

}  // namespace gw
