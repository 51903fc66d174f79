#pragma once
// The drop shadow's softening and slant.

#include "document/LetteringSettings.h"
#include "platform/Bitmap.h"

namespace gw {

// J, the mask level of a fully drawn shadow pixel: Trunc((100 - SDeckEd) x 255 / 100).
std::int32_t ShadowLevel(const LetteringSettings& settings);

// Softens (SWeichEd) and slants (SRichtBox) one shadow bitmap in place.
void SoftenShadow(Bitmap& bitmap, const LetteringSettings& settings);

}  // namespace gw
