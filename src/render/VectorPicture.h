#pragma once
// The lettering as a vector picture: an SVG document or a PDF page whose letters are paths, and
// the cut file of the letters' contours alone.

#include <cstdint>
#include <string>
#include <vector>

#include "document/Lettering.h"
#include "render/Pipeline.h"
#include "render/RenderOptions.h"

namespace gw {

enum class VectorFormat { Svg, Pdf };

struct VectorOptions {
    VectorFormat format = VectorFormat::Svg;
    // Only the letters' contours, welded where letters overlap, as hairlines without fill: for
    // cutting plotters and lasers. Always in millimetres; takes no scale and no smoothing.
    bool outlines = false;
    // Pixels per inch: the size of the page in millimetres (SVG) or points (PDF). 0: none given;
    // an SVG is then measured in pixels, a PDF page and a cut file at 96.
    std::int32_t dpi = 0;
    // The raster layers (the background, frame and shadow below the letters, and textured or
    // bevelled letters) are drawn as this print render draws them. With `transparent` the
    // background is left out and the layers carry their opacity.
    PrintOptions print;
};

// Writes the picture into `bytes` (replaced). Below the letters lies one raster image of
// everything the render draws without them, or a rectangle of the background's colour where that
// is all there is; the letters are paths filled in their colour, or, with a texture or the bevel,
// the rendered picture clipped by their outline; a frame laid over the text is the picture again,
// clipped to its band. A lettering without visible letters gives a valid picture with no letters.
// False with a German message when cairo is missing, the scale is too large or memory runs out.
bool RenderVectorPicture(const Lettering& lettering, const VectorOptions& options,
                         std::vector<std::uint8_t>& bytes, std::string& error,
                         const RenderOptions& render = {});

}  // namespace gw
