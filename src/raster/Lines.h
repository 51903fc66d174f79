#pragma once
// TLine: a polyline of integer points with its rasterised outline, the chain of pixels its
// segments cover, one pixel per row or column of each segment, from the first point to the last.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Geometry.h"
#include "platform/LineRaster.h"

namespace gw {

class Canvas;

// No outline grows beyond this many pixels (far more than a line across the largest picture).
constexpr std::size_t kMaxOutlinePixels = std::size_t(1) << 24;

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
    // Rebuilds the outline from the points; with fewer than two points it stays empty. A segment
    // that would take the outline past kMaxOutlinePixels ends it there.
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
