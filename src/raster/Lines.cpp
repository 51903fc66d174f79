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
        ForEachSegmentPixel(from.x, from.y, to.x, to.y, [this](std::int32_t x, std::int32_t y) {
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
