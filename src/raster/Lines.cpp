#include "raster/Lines.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/Canvas.h"

namespace gw {

TPoint TLine::GetPoint(std::int32_t i) const {
    return (i < 0 || i >= PointCount()) ? TPoint{} : points_[std::size_t(i)];
}

void TLine::SetPoint(std::int32_t i, std::int32_t x, std::int32_t y) {
    if (i >= 0 && i < PointCount()) points_[std::size_t(i)] = {x, y};
}

TPoint TLine::GetOutlinePoint(std::int32_t i) const {
    return (i < 0 || i >= OutlineCount()) ? TPoint{} : outline_[std::size_t(i)];
}

void TLine::Clear() {
    points_.clear();
    points_.shrink_to_fit();
    outline_.clear();
    outline_.shrink_to_fit();
}

void TLine::Assign(std::vector<TPoint> points, std::vector<TPoint> outline) {
    points_ = std::move(points);
    outline_ = std::move(outline);
}

namespace {

__extension__ using I128 = __int128;

std::int64_t SegmentLength(TPoint from, TPoint to) {
    return std::max(std::abs(std::int64_t(to.x) - from.x), std::abs(std::int64_t(to.y) - from.y)) +
           1;
}

// Pixel k of the segment's raster in outline order (from the first point to the second): the
// walk's minor coordinate after i steps is m(i) = floor((2 db i + da) / (2 da)), the closed form
// of its error term, and a walk that started at `to` is read from its far end.
TPoint SegmentPixelAt(TPoint from, TPoint to, std::int64_t k) {
    using I64 = std::int64_t;
    const bool steep = std::abs(I64(to.x) - from.x) < std::abs(I64(to.y) - from.y);
    I64 a1 = steep ? from.y : from.x, b1 = steep ? from.x : from.y;
    I64 a2 = steep ? to.y : to.x, b2 = steep ? to.x : to.y;
    const bool swapped = a1 > a2;
    if (swapped) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const I64 da = a2 - a1;
    if (da == 0) return from;
    const I64 db = std::abs(b2 - b1);
    const I64 step = b2 > b1 ? 1 : -1;
    const I64 i = swapped ? da - k : k;
    const auto m = static_cast<I64>((I128(2) * db * i + da) / (I128(2) * da));
    const I64 a = a1 + i, b = b1 + step * m;
    return steep ? TPoint{std::int32_t(b), std::int32_t(a)}
                 : TPoint{std::int32_t(a), std::int32_t(b)};
}

}  // namespace

std::size_t OutlineBound(std::int32_t width, std::int32_t height) {
    return static_cast<std::size_t>(kOutlinePerPictureSide * (std::max<std::int64_t>(width, 1) +
                                                              std::max<std::int64_t>(height, 1)) +
                                    kOutlineAllowance);
}

std::int64_t OutlineLength(const std::vector<TPoint>& points) {
    std::int64_t length = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        length += SegmentLength(points[i - 1], points[i]);
    return length;
}

std::int64_t ResampledIndex(std::int64_t j, std::int64_t length, std::int64_t count) {
    if (count <= 1) return 0;
    return static_cast<std::int64_t>(I128(j) * (length - 1) / (count - 1));
}

void TLine::BuildOutline(std::size_t bound) {
    outline_.clear();
    const std::int64_t length = OutlineLength(points_);
    if (length > std::int64_t(bound)) {
        // Segments and samples both run forward: one pass over each.
        const auto count = static_cast<std::int64_t>(bound);
        outline_.reserve(bound);
        std::size_t segment = 1;
        std::int64_t segmentStart = 0;
        for (std::int64_t j = 0; j < count; ++j) {
            const std::int64_t index = ResampledIndex(j, length, count);
            while (index >= segmentStart + SegmentLength(points_[segment - 1], points_[segment])) {
                segmentStart += SegmentLength(points_[segment - 1], points_[segment]);
                ++segment;
            }
            outline_.push_back(
                SegmentPixelAt(points_[segment - 1], points_[segment], index - segmentStart));
        }
        return;
    }
    outline_.reserve(static_cast<std::size_t>(length));
    for (std::size_t i = 1; i < points_.size(); ++i) {
        const TPoint from = points_[i - 1];
        const TPoint to = points_[i];
        const std::size_t start = outline_.size();
        ForEachSegmentPixel(from.x, from.y, to.x, to.y, [this](std::int32_t x, std::int32_t y) {
            outline_.push_back({x, y});
        });
        // The raster may have been walked from the far end; the outline always runs from the
        // first point of the polyline to its last.
        if (outline_[start] == to)
            std::reverse(outline_.begin() + std::ptrdiff_t(start), outline_.end());
    }
}

TLine TLine::Bounded(std::size_t bound) const {
    TLine line;
    line.points_ = points_;
    if (outline_.size() <= bound) {
        line.outline_ = outline_;
        return line;
    }
    const auto count = static_cast<std::int64_t>(bound);
    line.outline_.reserve(bound);
    for (std::int64_t j = 0; j < count; ++j)
        line.outline_.push_back(
            outline_[std::size_t(ResampledIndex(j, std::int64_t(outline_.size()), count))]);
    return line;
}

void TLine::Draw(Canvas& canvas) const {
    const TPoint first = GetPoint(0);
    canvas.MoveTo(first.x, first.y);
    for (std::size_t i = 1; i < points_.size(); ++i)
        canvas.LineTo(points_[i].x, points_[i].y);
}

}  // namespace gw
