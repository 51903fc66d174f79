#pragma once
// A block of text as the outlines its pixels are filled from, for pictures drawn as vector
// graphics.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Font.h"
#include "platform/Geometry.h"

namespace gw {

// A point in target pixels: x to the right, y downwards, pixel (c, r) covering [c, c + 1) x
// [r, r + 1), so a pixel is drawn where its centre (c + 0.5, r + 0.5) lies inside.
struct OutlinePoint {
    double x = 0;
    double y = 0;
};

// A closed contour of cubic pieces: from `start`, every three points are a piece's two control
// points and its end; the last end is the start. Straight pieces and the fonts' quadratic ones
// are written as cubics, exactly.
struct OutlineContour {
    OutlinePoint start;
    std::vector<OutlinePoint> pieces;
};

// The contours of every glyph and underline DrawTextBlock(target, font, color, text, rect,
// format) draws, where it draws them, to be filled with the nonzero rule. Glyphs the drawing
// leaves out (too large to render) have none; nothing is clipped to a target.
std::vector<OutlineContour> TextBlockOutlines(const LogFont& font, std::string_view text,
                                              const TRect& rect, std::uint32_t format);

}  // namespace gw
