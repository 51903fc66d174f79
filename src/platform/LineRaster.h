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
// raster order of the outline before its direction is corrected.
template <class Visit>
void ForEachSegmentPixel(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                         Visit&& visit) {
    if (std::abs(std::int64_t(x2) - x1) < std::abs(std::int64_t(y2) - y1)) {
        if (y1 > y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const std::int32_t step = x2 > x1 ? 1 : -1;
        const std::int64_t dx = std::abs(std::int64_t(x2) - x1);
        const std::int64_t dy = std::int64_t(y2) - y1;
        std::int64_t e = 2 * dx - dy;
        std::int32_t x = x1;
        visit(x1, y1);
        for (std::int32_t y = y1 + 1; y <= y2; ++y) {
            if (e >= 0) {
                x += step;
                e += 2 * (dx - dy);
            } else {
                e += 2 * dx;
            }
            visit(x, y);
        }
    } else {
        if (x1 > x2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const std::int32_t step = y2 > y1 ? 1 : -1;
        const std::int64_t dx = std::int64_t(x2) - x1;
        const std::int64_t dy = std::abs(std::int64_t(y2) - y1);
        std::int64_t e = 2 * dy - dx;
        std::int32_t y = y1;
        visit(x1, y1);
        for (std::int32_t x = x1 + 1; x <= x2; ++x) {
            if (e >= 0) {
                y += step;
                e += 2 * (dy - dx);
            } else {
                e += 2 * dy;
            }
            visit(x, y);
        }
    }
}

}  // namespace gw
