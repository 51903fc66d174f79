#pragma once
// The render pipeline: from a lettering state to the finished picture, every stage on every run.

#include <cstdint>
#include <string>
#include <vector>

#include "document/Lettering.h"
#include "raster/DibImage.h"
#include "render/RenderOptions.h"

namespace gw {

// The images a render works on. Picture has the picture size and exists before a render (white
// at start); TextImage and TextMask are made anew by every render and kept until the next one.
struct RenderImages {
    DibImage Picture;
    DibImage TextImage;
    DibImage TextMask;
    // The smoothing filter had no memory: Picture is shown unsmoothed in the window, but an
    // export of it would be a different picture than the one asked for.
    bool unsmoothed = false;
};

// Layers of one render kept apart for inspection (glyphwerk-render --stages, tests).
struct RenderTrace {
    DibImage letters;     // the text bitmap as first drawn: black letters on white, 24 bits
    DibImage unfiltered;  // Picture before the smoothing filter
};

// Creates a white 24-bit picture of the lettering's size, times `scale` (the start picture, and
// the picture after a size change or an opened document).
void MakeWhitePicture(const Lettering& lettering, DibImage& picture, std::int32_t scale = 1);

// One whole render: release TextImage and TextMask, RenderText, RenderDib, DibFilter with
// "Weichzeichnen". Picture must exist at the lettering's size times `scale`.
//
// At a scale k of 2 to kMaxRenderScale the picture is the same design k times wider and higher
// (see ScaledLettering); the smoothing filter stays 3 x 3, so it softens only the stair steps of
// the k-times finer raster. Scale 1 is the ordinary render.
void RenderLettering(const Lettering& lettering, RenderImages& images, RenderTrace* trace = nullptr,
                     std::int32_t scale = 1, const RenderOptions& options = {});

constexpr std::int32_t kMaxRenderScale = 8;

// The lettering as the scaled render draws it: picture size and boundary lines times k, and every
// measure in pixels times k (the shadow's offsets and softness; RenderText also widens the fixed
// bevel width and stretches the outline deformation). The textures are enlarged k times, each
// pixel a k x k square. Measures relative to the picture (frame band, deformation strength,
// proportional bevel width, the text's size) follow by themselves.
Lettering ScaledLettering(const Lettering& lettering, std::int32_t scale);

// What an export adds to the ordinary render. Never part of a document.
struct PrintOptions {
    std::int32_t scale = 1;    // 1 .. kMaxRenderScale
    bool smooth = false;       // drawn at 4 times the scale, each 4 x 4 block averaged
    bool transparent = false;  // the background surface becomes transparent
};

// Largest output of a print render: a side, and pixels in all.
constexpr std::int64_t kMaxPrintSide = 16384;
constexpr std::int64_t kMaxPrintPixels = 256'000'000;
constexpr std::int32_t kSmoothFactor = 4;

// The largest scale at which the lettering's picture stays within the limits above (and, when
// smooth, its supersampled render within the largest picture there can be); 0 when none does.
std::int32_t LargestPrintScale(const Lettering& lettering, bool smooth);

// Renders the lettering for export into `picture` (24 bits, the picture size times the scale)
// and, when transparent, its opacity into `alpha` (one byte a pixel, rows from the top): the
// render is then drawn for coverage (RenderOptions::coverage), once, and its colour is the
// colour a viewer lays over the page with that opacity (not premultiplied). False
// with a German message when the scale is too large or memory runs out.
bool RenderPrint(const Lettering& lettering, const PrintOptions& options, DibImage& picture,
                 std::vector<std::uint8_t>& alpha, std::string& error,
                 const RenderOptions& render = {});

}  // namespace gw
