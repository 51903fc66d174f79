#pragma once
// TLine: a polyline of integer points with its rasterised outline, the chain of pixels its
// segments cover, one pixel per row or column of each segment, from the first point to the last.

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/Geometry.h"

namespace gw {

class Canvas;

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

class TLine {
  public:
    std::int32_t PointCount() const { return static_cast<std::int32_t>(points_.size()); }
    std::int32_t OutlineCount() const { return static_cast<std::int32_t>(outline_.size()); }
    const std::vector<TPoint>& Points() const { return points_; }
    const std::vector<TPoint>& Outline() const { return outline_; }

    void AddPoint(std::int32_t x, std::int32_t y) { points_.push_back({x, y}); }
    // Out of range: (0, 0).
    TPoint GetPoint(std::int32_t i) const;
    // Out of range: ignored.
    void SetPoint(std::int32_t i, std::int32_t x, std::int32_t y);
    TPoint GetOutlinePoint(std::int32_t i) const;
    // Empties points and outline.
    void Clear();
    // Rebuilds the outline from the points; with fewer than two points it stays empty.
    void BuildOutline();
    // Takes points and outline as stored in a document, without rebuilding the outline.
    void Assign(std::vector<TPoint> points, std::vector<TPoint> outline);
    // Moves the pen to point 0 and draws a line to each following point with the current pen.
    void Draw(Canvas& canvas) const;

    friend bool operator==(const TLine&, const TLine&) = default;

  private:
    std::vector<TPoint> points_;
    std::vector<TPoint> outline_;
};

}  // namespace gw
