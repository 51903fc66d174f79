#pragma once
// Drawing DibImages onto devices: DrawDib and its row drawers.

#include <cstdint>

#include "platform/DeviceContext.h"
#include "raster/DibImage.h"

namespace gw {

// Where and how DrawDib draws: the destination rectangle of the device (DestY at the top), the
// source rectangle of the DIB (DIB coordinates: SrcY counted from the bottom stored row), and the
// way of drawing. The defaults are the window's: halftoned, copied, the device's palette.
struct DrawDibOptions {
    std::int32_t DestX = 0, DestY = 0, DestWidth = 0, DestHeight = 0;
    std::int32_t SrcX = 0, SrcY = 0, SrcWidth = 0, SrcHeight = 0;
    bool Halftone = true;
    Rop rop = SRCCOPY;
    bool UseOwnPalette = false;  // the DIB's own palette rather than `Palette`
    PaletteHandle Palette = 0;

    // The whole DIB into the w x h rectangle at (x, y).
    static DrawDibOptions Whole(const DibImage& dib, std::int32_t x, std::int32_t y, std::int32_t w,
                                std::int32_t h) {
        return {x, y, w, h, 0, 0, DibWidth(dib), DibHeight(dib)};
    }
};

// Draws the source rectangle of `dib` into the destination rectangle of the device, scaled by
// nearest neighbour. The way of drawing follows from the DIB's depth, ScreenColorDepth() and the
// device's kind; when the device refuses the direct stretch, two slower ways are tried. The DIB is
// never changed. What cannot be drawn is noted (NoteFailure) for the caller to show.
void DrawDib(DeviceContext& dc, const DibImage& dib, const DrawDibOptions& options);

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
