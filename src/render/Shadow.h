#pragma once
// The drop shadow's softening and slant.

#include "document/LetteringSettings.h"
#include "platform/Bitmap.h"

namespace gw {

// SRichtBox, the slant of the shadow.
enum ShadowSlant : std::int32_t {
    kUpright = 0,     // "0°"
    kSlantLeft = 1,   // "-45°": the rows move left, the more the higher they lie
    kSlantRight = 2,  // "45°": the rows move right alike
};

// J, the mask level of a fully drawn shadow pixel: Trunc((100 - SDeckEd) x 255 / 100).
std::int32_t ShadowLevel(const LetteringSettings& settings);

// Softens (SWeichEd) and slants (SRichtBox) one shadow bitmap in place.
void SoftenShadow(Bitmap& bitmap, const LetteringSettings& settings);

// SoftenShadow on the shadow's coverage alone, for RenderText's direct way; SoftenShadow on the
// bitmaps is its plain twin (see RenderOptions.h): `plane` holds one byte a pixel (W x H, rows top
// first), 4 where the shadow text is drawn and 0 elsewhere. Afterwards each byte is the number of
// drawn corners that its softened pixel averaged (4 x the coverage where the softening does not
// reach, 0 where the slant uncovers). A shadow bitmap drawn in colour c on white and softened is
// then (k c + (4 - k) 255) div 4 in every channel.
void SoftenCoverage(std::uint8_t* plane, std::int32_t W, std::int32_t H,
                    const LetteringSettings& settings);

}  // namespace gw
