#pragma once
// Drawing DibImages onto devices: DrawDib and its row drawers.

#include <cstdint>

#include "platform/DeviceContext.h"
#include "raster/DibImage.h"

namespace gw {

// Draws the source rectangle of `dib` (DIB coordinates: y counted from the bottom stored row) into
// the destination rectangle of the device (DestY at the top), scaled by nearest neighbour. The
// way of drawing follows from the DIB's depth, ScreenColorDepth() and the device's kind; when the
// device refuses the direct stretch, two slower ways are tried. The DIB is never changed.
void DrawDib(DeviceContext& dc, std::int32_t DestX, std::int32_t DestY, std::int32_t DestWidth,
             std::int32_t DestHeight, const DibImage& dib, std::int32_t SrcX, std::int32_t SrcY,
             std::int32_t SrcWidth, std::int32_t SrcHeight, bool Halftone, Rop rop,
             bool UseOwnPalette, PaletteHandle PaletteHandle);

// Row drawers: the destination one row at a time through a one-row buffer; SrcTop is the top row
// of the source rectangle counted from the top of the image. They ignore the raster operation.
void StretchRows24(DeviceContext& dc, std::int32_t DestX, std::int32_t DestY,
                   std::int32_t DestWidth, std::int32_t DestHeight, const DibImage& dib,
                   std::int32_t SrcX, std::int32_t SrcTop, std::int32_t SrcWidth,
                   std::int32_t SrcHeight);
void StretchRows8(DeviceContext& dc, std::int32_t DestX, std::int32_t DestY, std::int32_t DestWidth,
                  std::int32_t DestHeight, const DibImage& dib, std::int32_t SrcX,
                  std::int32_t SrcTop, std::int32_t SrcWidth, std::int32_t SrcHeight);

// How many source rows the row drawers of this thread have copied into their buffers so far. A
// source row that serves several destination rows in a row is copied once; tests count on it.
std::uint64_t RowDrawerCopies();

}  // namespace gw
