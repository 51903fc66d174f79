#pragma once
// Row kernels of the raster operations: one destination row combined with one source row and the
// pattern colour. Rows hold three bytes a pixel (blue, green, red), as every bitmap row and every
// 24-bit DIB row of the drawing layer does, so the operations work byte by byte on whole rows.

#include <cstddef>
#include <cstdint>

#include "platform/Geometry.h"
#include "platform/RasterOp.h"

namespace gw {

// The general rule: ApplyRop on every byte, the pattern byte taken from `pattern` by the byte's
// place in its pixel. The reference that every fast path is held to. `src` may be null for an
// operation that reads no source.
void RopRowGeneral(Rop rop, std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels,
                   TColor pattern);

// The fast path of the operation when it has one (SRCCOPY, SRCAND, SRCPAINT, SRCINVERT,
// DSTINVERT, NOTSRCCOPY), otherwise the general rule. `src` and `dst` may be the same row, but
// must not overlap otherwise.
void RopRow(Rop rop, std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels,
            TColor pattern);

bool RopHasFastPath(Rop rop);

// The monochrome reduction of a row: every pixel becomes black or white by MonoColor.
// `dst` may be `src`.
void MonoRow(std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels);

}  // namespace gw
