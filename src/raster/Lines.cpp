#include "raster/Lines.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/Canvas.h"

namespace gw {

namespace {

// The raster rule of ForEachSegmentPixel (platform/LineRaster.h), walked with 64-bit counters: a
// segment that ends on the largest 32-bit coordinate, which a damaged document can hold, would
// make a 32-bit counter wrap instead of ending the walk.
template <class Visit>
void WalkSegment(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
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
    const auto emit = [&](I64 a) {
        if (steep)
            visit(static_cast<std::int32_t>(b), static_cast<std::int32_t>(a));
        else
            visit(static_cast<std::int32_t>(a), static_cast<std::int32_t>(b));
    };
    emit(a1);
    for (I64 a = a1 + 1; a <= a2; ++a) {
        if (e >= 0) {
            b += step;
            e += 2 * (db - da);
        } else {
            e += 2 * db;
        }
        emit(a);
    }
}

}  // namespace

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

void TLine::BuildOutline() {
    outline_.clear();
    for (std::size_t i = 1; i < points_.size() && outline_.size() < kMaxOutlinePixels; ++i) {
        const TPoint from = points_[i - 1];
        const TPoint to = points_[i];
        const std::size_t start = outline_.size();
        // A segment longer than any outline can be is not worth walking; such points come only
        // from damaged documents or absurd scaling, and the line then ends at the limit.
        const std::int64_t length =
            std::max(std::abs(std::int64_t(to.x) - from.x), std::abs(std::int64_t(to.y) - from.y)) +
            1;
        if (std::int64_t(start) + length > std::int64_t(kMaxOutlinePixels)) break;
        WalkSegment(from.x, from.y, to.x, to.y, [this](std::int32_t x, std::int32_t y) {
            outline_.push_back({x, y});
        });
        // The raster may have been walked from the far end; the outline always runs from the
        // first point of the polyline to its last.
        if (outline_[start] == to)
            std::reverse(outline_.begin() + std::ptrdiff_t(start), outline_.end());
    }
}

void TLine::Draw(Canvas& canvas) const {
    const TPoint first = GetPoint(0);
    canvas.MoveTo(first.x, first.y);
    for (std::size_t i = 1; i < points_.size(); ++i)
        canvas.LineTo(points_[i].x, points_[i].y);
}

}  // namespace gw
