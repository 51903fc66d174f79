#pragma once
// The layout shared by every thumbnail gallery: cells of a fixed size one pixel apart, filled
// top to bottom, then left to right, as many rows as the box's height holds; where a click lands
// and where the arrow keys lead.

#include <cstdint>

#include "platform/Geometry.h"

namespace gw {

struct GalleryLayout {
    std::int32_t cellWidth = 64;   // the thumbnail's width; the pitch is one more
    std::int32_t cellHeight = 32;  // the thumbnail's height
    std::int32_t count = 0;        // thumbnails
    std::int32_t boxHeight = 0;    // height of the paint box

    // Rows that fit; 0 when the box is lower than one cell with its gap.
    std::int32_t Rows() const;
    std::int32_t Columns() const;
    // The width the paint box takes: columns x (cellWidth + 1); 0 without rows.
    std::int32_t Width() const;
    // Cell i: left and top of the thumbnail; right = left + cellWidth and bottom = top +
    // cellHeight, so the gap pixels right of and below a thumbnail belong to its cell.
    TRect Cell(std::int32_t i) const;
    // The cell whose rectangle, borders included, holds (x, y); -1 for none. With no rows
    // nothing is hit.
    std::int32_t HitTest(std::int32_t x, std::int32_t y) const;
    // The cell an arrow key reaches from cell i: `down` moves within the column, `across` by a
    // column, into the last cell when the next column is shorter. A step off the gallery stays.
    std::int32_t Step(std::int32_t i, std::int32_t across, std::int32_t down) const;
};

}  // namespace gw
