#pragma once
// The render pipeline: from a lettering state to the finished picture, every stage on every run.

#include "document/Lettering.h"
#include "raster/DibImage.h"

namespace gw {

// The images a render works on. Picture has the picture size and exists before a render (white
// at start); TextImage and TextMask are made anew by every render and kept until the next one.
struct RenderImages {
    DibImage Picture;
    DibImage TextImage;
    DibImage TextMask;
};

// Layers of one render kept apart for inspection (glyphwerk-render --stages, tests).
struct RenderTrace {
    DibImage letters;     // the text bitmap as first drawn: black letters on white, 24 bits
    DibImage unfiltered;  // Picture before the smoothing filter
};

// Creates a white 24-bit picture of the lettering's size (the start picture, and the picture
// after a size change or an opened document).
void MakeWhitePicture(const Lettering& lettering, DibImage& picture);

// One whole render: release TextImage and TextMask, RenderText, RenderDib, DibFilter with
// "Weichzeichnen". Picture must exist at the lettering's size.
void RenderLettering(const Lettering& lettering, RenderImages& images,
                     RenderTrace* trace = nullptr);

}  // namespace gw
