#pragma once
// Overlapping contours welded into one outline, for the cut files.

#include <string>

#include "render/VectorLetters.h"

namespace gw {

// The union of the contours under the nonzero rule: one outer contour per separate shape, and
// its holes (the counters of o, a, e) as contours of their own running the other way. Points are
// kept to a thousandth of a pixel. False with a German message when the polygon library is
// missing, a point lies beyond its range or memory runs out.
bool WeldContours(const VectorLetters& letters, VectorLetters& welded, std::string& error);

}  // namespace gw
