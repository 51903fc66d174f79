#pragma once
// The frame: a shaded band along the four edges of the picture, in one of four styles.

#include <cstdint>

#include "document/LetteringSettings.h"
#include "raster/DibImage.h"

namespace gw {

// The band width: min(Trunc(W x RBreitEd / 200), Trunc(H x RBreitEd / 200)).
std::int32_t FrameBandWidth(const LetteringSettings& settings, std::int32_t W, std::int32_t H);

// Draws the frame of FrameStyle (nothing for 0) into the picture.
void RenderBorder(DibImage& Picture, const LetteringSettings& settings);

// The four styles; offset and forceZero are carried as the frame routines carry them (RenderBorder
// always passes 0 and false).
void Buttonize(DibImage& Picture, std::int32_t w, TColor color, std::int32_t offset = 0,
               bool forceZero = false);
void Buttonize1(DibImage& Picture, std::int32_t w, std::int32_t offset = 0, bool forceZero = false);
void Buttonize2(DibImage& Picture, std::int32_t w, std::int32_t offset = 0, bool forceZero = false);
void Buttonize3(DibImage& Picture, std::int32_t w, std::int32_t ownWeight, std::int32_t offset = 0,
                bool forceZero = false);

}  // namespace gw
