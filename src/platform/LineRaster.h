#pragma once
// The raster rule of a line segment, shared by the canvas lines, the polyline outlines and the
// envelope rays.

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace gw {

// Walks the pixels of the segment (x1, y1)-(x2, y2), both ends included, calling visit(x, y). A
// steep segment gives one pixel per row and is walked by increasing y, any other one pixel per
// column by increasing x; the end points are exchanged to walk that way. The walk order is the
// raster order of the outline before its direction is corrected. The counters are 64 bits wide, so
// a segment ending on the largest 32-bit coordinate (a damaged document can hold one) ends.
template <class Visit>
void ForEachSegmentPixel(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                         Visit&& visit) {
    using I64 = std::int64_t;
    const bool steep = std::abs(I64(x2) - x1) < std::abs(I64(y2) - y1);
    I64 a1 = steep ? y1 : x1, b1 = steep ? x1 : y1;
    I64 a2 = steep ? y2 : x2, b2 = steep ? x2 : y2;
    if (a1 > a2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const I64 step = b2 > b1 ? 1 : -1;
    const I64 da = a2 - a1;
    const I64 db = std::abs(b2 - b1);
    I64 e = 2 * db - da;
    I64 b = b1;
    const auto visitAt = [&](I64 a) {
        if (steep)
            visit(static_cast<std::int32_t>(b), static_cast<std::int32_t>(a));
        else
            visit(static_cast<std::int32_t>(a), static_cast<std::int32_t>(b));
    };
    visitAt(a1);
    for (I64 a = a1 + 1; a <= a2; ++a) {
        if (e >= 0) {
            b += step;
            e += 2 * (db - da);
        } else {
            e += 2 * db;
        }
        visitAt(a);
    }
}

}  // namespace gw
