#pragma once
// The fixed halftone palette and the ordered dithering that maps pictures onto it.

#include <cstdint>

#include "raster/DibImage.h"

namespace gw {

// The palette: entry 36r + 6g + b (r, g, b from 0 to 5) is the colour cube point
// (51r, 51g, 51b); entries 216 to 255 are greys 255k / 40 for k = 1 to 40, fine steps between the
// cube's six greys.
constexpr int kHalftoneCubeLevels = 6;
constexpr int kHalftoneGreyBase = 216;
constexpr int kHalftoneGreyLevels = 41;    // k = 0 to 40; k = 0 is the cube's black
void FillHalftonePalette(RgbQuad* table);  // 256 entries

// `out` becomes an 8-bit picture of width x height with the halftone palette, `src` resampled to
// that size by nearest pixel and dithered with an 8x8 ordered matrix. Pixels whose channels lie
// close together are dithered on the fine grey ramp, all others in the colour cube. `src` may be
// of any depth (palette pictures through their colour table) and may be `out` itself. An empty
// source or an impossible size leaves `out` empty.
void HalftoneDib(DibImage& out, const DibImage& src, std::int32_t width, std::int32_t height);

}  // namespace gw
