#pragma once
// The in-memory device-independent bitmap of every raster stage.
//
// A DibImage owns its info block and its pixel rows; it can be moved but not copied (MakeDIBCopy
// makes a deep copy). Releasing it (deldib, assignment, destruction) frees both exactly once and
// leaves an empty image, and releasing an empty image does nothing. Rows are stored bottom-up:
// image row t counted from the top is stored row height - 1 - t; 24-bit pixels are blue, green,
// red; rows are padded to 4 bytes.

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/BitmapInfo.h"
#include "platform/DeviceContext.h"
#include "platform/ZeroedBlock.h"

namespace gw {

using DibBits = ZeroedBlock;

struct DibImage {
    std::unique_ptr<BitmapInfo> Info;  // header and colour table; null when empty
    DibBits Bits;                      // the pixel rows; null means no image
    std::int32_t Stride = 0;           // bytes per stored row
    bool HasPalette = false;           // never set on our displays, kept for the drawing code
    PaletteHandle Palette = 0;

    bool Empty() const { return !Bits; }
    // Stored row r (0 = bottom row).
    std::uint8_t* StoredRow(std::int32_t r) {
        return Bits.get() + std::size_t(r) * std::size_t(Stride);
    }
    const std::uint8_t* StoredRow(std::int32_t r) const {
        return Bits.get() + std::size_t(r) * std::size_t(Stride);
    }
    // Image row t counted from the top.
    std::uint8_t* Row(std::int32_t t) { return StoredRow(DibHeightOf() - 1 - t); }
    const std::uint8_t* Row(std::int32_t t) const { return StoredRow(DibHeightOf() - 1 - t); }

  private:
    std::int32_t DibHeightOf() const { return Info ? Info->bmiHeader.biHeight : 0; }
};

// Header accessors; an image without info block reads as 0 x 0 x 0.
std::int32_t DibWidth(const DibImage& dib);
std::int32_t DibHeight(const DibImage& dib);
std::uint32_t DibBitCount(const DibImage& dib);
// 2 to the power of the bit count: 2, 16, 256, 16777216 for 1, 4, 8, 24 bits (1 for 0 bits).
std::int32_t DibColorCount(const DibImage& dib);
// Bytes of pixel data: Stride x height.
std::size_t DibImageSize(const DibImage& dib);

// Bits per pixel of the screen.
int ScreenColorDepth();

// A deep copy with memory of its own. A source with null Bits gives an empty image silently; when
// memory runs out the result is empty, with the notice "Fehler: nicht genug Speicher für diese
// Operation!" (NoteFailure) for the caller to show.
DibImage MakeDIBCopy(const DibImage& source);

}  // namespace gw
