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

// The longest outline a boundary line keeps for a picture of width x height: 16 x (width +
// height) pixels, and 4096 more for lines of many points on small pictures (every inner point
// stands twice in the outline). The lines the program makes stay below it (the presets at every
// size, the spiral with ten turns at most 17 x (width + height) at 10 x 10, a scribble across the
// picture eight times there and back), while a line of points far outside the picture or a dense
// zigzag would otherwise give millions of warp steps. A longer outline is resampled evenly to
// this many pixels, so the work of a render follows the picture, not the line.
constexpr std::int64_t kOutlinePerPictureSide = 16;
constexpr std::int64_t kOutlineAllowance = 4096;
std::size_t OutlineBound(std::int32_t width, std::int32_t height);

// The number of pixels BuildOutline gives the points without a bound, found without walking.
std::int64_t OutlineLength(const std::vector<TPoint>& points);

// The outline index of sample j (0 .. count - 1) when an outline of `length` pixels is resampled
// evenly to `count` pixels: the first and the last pixel are always kept.
std::int64_t ResampledIndex(std::int64_t j, std::int64_t length, std::int64_t count);

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
    // Rebuilds the outline from the points; with fewer than two points it stays empty. An outline
    // longer than `bound` is resampled evenly to `bound` pixels of the full one, each found
    // without walking the segments, so points far apart cost no more than near ones.
    void BuildOutline(std::size_t bound = kMaxOutlinePixels);
    // The same line with its outline resampled evenly to `bound` pixels when it is longer.
    TLine Bounded(std::size_t bound) const;
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
