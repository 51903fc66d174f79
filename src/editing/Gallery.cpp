#include "editing/Gallery.h"

#include <algorithm>

namespace gw {

std::int32_t GalleryLayout::Rows() const {
    const std::int32_t pitch = cellHeight + 1;
    return pitch > 0 && boxHeight > 0 ? boxHeight / pitch : 0;
}

std::int32_t GalleryLayout::Columns() const {
    const std::int32_t rows = Rows();
    if (rows <= 0 || count <= 0) return 0;
    return (count + rows - 1) / rows;
}

std::int32_t GalleryLayout::Width() const {
    return Columns() * (cellWidth + 1);
}

TRect GalleryLayout::Cell(std::int32_t i) const {
    const std::int32_t rows = Rows();
    if (rows <= 0) return {};
    const std::int32_t left = (i / rows) * (cellWidth + 1);
    const std::int32_t top = (i % rows) * (cellHeight + 1);
    return {left, top, left + cellWidth, top + cellHeight};
}

std::int32_t GalleryLayout::HitTest(std::int32_t x, std::int32_t y) const {
    if (Rows() <= 0) return -1;
    for (std::int32_t i = 0; i < count; ++i) {
        const TRect c = Cell(i);
        if (c.left <= x && x <= c.right && c.top <= y && y <= c.bottom) return i;
    }
    return -1;
}

std::int32_t GalleryLayout::Step(std::int32_t i, std::int32_t across, std::int32_t down) const {
    const std::int32_t rows = Rows();
    if (rows <= 0 || i < 0 || i >= count) return i;
    const std::int32_t row = i % rows + down;
    if (row < 0 || row >= rows) return i;
    const std::int32_t column = i / rows + across;
    if (column < 0 || column >= Columns()) return i;
    return std::min(column * rows + row, count - 1);
}

}  // namespace gw
