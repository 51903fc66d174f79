#pragma once
// The 5 x 5 convolution filter over a true-colour picture.

#include <cstdint>
#include <string_view>

#include "raster/DibImage.h"

namespace gw {

struct FilterKernel {
    std::int32_t Divisor;
    std::int32_t Bias;
    std::int32_t Matrix[5][5];  // row r: vertical offset r - 2; column c: horizontal offset c - 2
    std::string_view Name;
};

// "Weichzeichnen": the 3 x 3 box average.
extern const FilterKernel Weichzeichnen;

// Filters a 24-bit image of any size in place; images of 256 colours or fewer are left unchanged.
// False when the filter had no memory for its rows: the image stays as it is, with a notice
// (NoteFailure) for the caller to show. The window shows the picture unsmoothed; an export must
// not pass it off as the one asked for.
bool DibFilter(DibImage& image, const FilterKernel& kernel);

// DibFilter with the rows split into `bands` bands (at least one, at most one a row), each run on
// a thread of its own; the result is the same for any count. DibFilter picks the count by the
// picture's size and the cores there are.
bool DibFilterInBands(DibImage& image, const FilterKernel& kernel, int bands);

// DibFilter's plain twin (see RenderOptions.h): the bordered copy made whole, every window summed
// tap by tap. A render with the plain stages chosen takes it in DibFilter's place.
bool DibFilterPlain(DibImage& image, const FilterKernel& kernel);

// Filters a plane of one byte a pixel (W x H, rows from the top) the way DibFilter filters each
// channel: a transparent render's opacity, smoothed with its premultiplied colour so that the two
// stay one picture. False when there is no memory for the plane's copy.
bool FilterCoverage(std::uint8_t* plane, std::int32_t W, std::int32_t H,
                    const FilterKernel& kernel);

}  // namespace gw
