#pragma once
// A small picture of a lettering, as the galleries show the user's own lettering with a preset:
// the whole picture scaled to fit the thumbnail, each thumbnail pixel the average of the picture
// pixels it covers, so the letters stay readable.

#include <cstdint>

#include "document/Lettering.h"
#include "platform/Bitmap.h"

namespace gw {

// A picture wider or higher than this many thumbnails is rendered smaller (its lines scaled with
// it), so a poster-sized lettering costs no more than a screen-sized one.
constexpr std::int32_t kThumbnailWorkFactor = 8;

// Makes the lettering no larger than kThumbnailWorkFactor thumbnails of width x height, keeping
// its proportions; a smaller one stays as it is.
void FitForThumbnail(Lettering& lettering, std::int32_t width, std::int32_t height);

// Renders the lettering at its own size and averages the picture down to fit width x height,
// centred; the rest of the thumbnail is `margin`. Throws std::bad_alloc when memory runs out.
Bitmap RenderThumbnail(const Lettering& lettering, std::int32_t width, std::int32_t height,
                       TColor margin);

}  // namespace gw
