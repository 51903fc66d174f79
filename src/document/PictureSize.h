#pragma once
// The model side of "Bildgröße ändern...": the side-ratio rule of the size dialog and the size
// change of the lettering. The dialog and the replacement of the picture belong to the window.

#include <cstdint>

#include "document/Lettering.h"

namespace gw {

constexpr std::int32_t kMinPictureSide = 10;
constexpr std::int32_t kMaxPictureSide = 9999;

// What a size field holds when given a value: rounded half to even, then held in 10 .. 9999.
std::int32_t SizeFieldValue(long double value);

// BreitEditChange with "Seitenverhältnis beibehalten": the height for a width, width x H0 / W0 in
// extended precision, as the height field takes it. W0 x H0 is the picture size the dialog was
// opened with.
std::int32_t HeightForWidth(long double width, std::int32_t W0, std::int32_t H0);
// HochEditChange: the width for a height, height x W0 / H0.
std::int32_t WidthForHeight(long double height, std::int32_t W0, std::int32_t H0);

// Gives the lettering the picture size width x height (each held in 10 .. 9999). With
// scaleLines, every point of the two boundary lines becomes ResizedPoint and their outlines are
// rebuilt. The caller replaces the picture and renders.
void ResizeLettering(Lettering& lettering, std::int32_t width, std::int32_t height,
                     bool scaleLines);

// A point scaled with a size change from W0 x H0 to width x height: (Trunc(x x fx), Trunc(y x
// fy)) with fx = width / W0 and fy = height / H0 held as doubles; a product beyond 32 bits stays
// at the nearer limit. W0 and H0 must be positive.
TPoint ResizedPoint(TPoint p, std::int32_t W0, std::int32_t H0, std::int32_t width,
                    std::int32_t height);

}  // namespace gw
