#pragma once
// The letters as outlines: the glyphs at the places the raster layout gives them, carried through
// the bend and the wobble as exact maps, for pictures that leave the program as vector graphics.
#include <cstdint>
#include <string>
#include <vector>
#include "document/Lettering.h"

namespace gw {

// A point of the picture in pixels: x to the right, y downwards, (0, 0) the top left corner of
// the top left pixel, so pixel (c, r) covers [c, c + 1) x [r, r + 1).
struct VectorPoint {
    double x = 0;
    double y = 0;
};

// One closed contour; the last point joins the first.
using VectorContour = std::vector<VectorPoint>;

// Every contour of the letters, filled with the nonzero rule as the fonts draw them (inner
// contours of o, a, e run the other way).
struct VectorLetters {
    std::vector<VectorContour> contours;
};

// The letters' outlines of the lettering's picture at `scale` (the picture size times scale, as
// the scaled render draws it), flattened so that no mapped segment strays more than a tenth of a
// picture pixel from the mapped curve. A lettering with no visible letters gives no contours and
// true. False with a German message when the work would exceed what the picture can show.
bool LetterOutlines(const Lettering& lettering, VectorLetters& letters, std::string& error,
                    std::int32_t scale = 1);

// The picture's pixels the contours fill by the nonzero rule at their centres: width x height
// bytes, rows from the top, 1 filled and 0 not. For checks of the outlines against the raster.
std::vector<std::uint8_t> FillLetters(const VectorLetters& letters, std::int32_t width,
                                      std::int32_t height);

}  // namespace gw
