#pragma once
// The frame: a shaded band along the four edges of the picture, in one of four styles.

#include <cstdint>

#include "document/LetteringSettings.h"
#include "raster/DibImage.h"

namespace gw {

// The band width: min(Trunc(W x RBreitEd / 200), Trunc(H x RBreitEd / 200)).
std::int32_t FrameBandWidth(const LetteringSettings& settings, std::int32_t W, std::int32_t H);

// FrameStyle, the frame gallery's choice.
enum FrameStyleIndex : std::int32_t {
    kNoFrame = 0,
    kColourFrame = 1,       // Buttonize: shades of RColorShape
    kEdgeStrongFrame = 2,   // Buttonize1: white and black, strongest at the picture's edge
    kInnerStrongFrame = 3,  // Buttonize2: white and black, strongest at the band's inner border
    kEvenFrame = 4,         // Buttonize3: white and black, the same strength across (RHochEd)
};

// Draws the frame of FrameStyle (nothing for kNoFrame) into the picture, and with `coverage` (one
// byte a picture pixel, rows from the top) its opacity over what lies below.
void RenderBorder(DibImage& Picture, const LetteringSettings& settings,
                  std::uint8_t* coverage = nullptr);

// RenderBorder's plain twin (see RenderOptions.h): every band pixel placed and shaded on its own.
// RenderDib takes it when the options choose the plain stages.
void RenderBorderPlain(DibImage& Picture, const LetteringSettings& settings,
                       std::uint8_t* coverage = nullptr);

// The four styles; offset and forceZero are carried as the frame routines carry them (RenderBorder
// always passes 0 and false).
void Buttonize(DibImage& Picture, std::int32_t w, TColor color, std::int32_t offset = 0,
               bool forceZero = false);
void Buttonize1(DibImage& Picture, std::int32_t w, std::int32_t offset = 0, bool forceZero = false);
void Buttonize2(DibImage& Picture, std::int32_t w, std::int32_t offset = 0, bool forceZero = false);
void Buttonize3(DibImage& Picture, std::int32_t w, std::int32_t ownWeight, std::int32_t offset = 0,
                bool forceZero = false);

}  // namespace gw
