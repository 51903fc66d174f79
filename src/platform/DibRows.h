#pragma once
// Reading the rows of DIB bits as 24-bit pixels, whatever the DIB's depth: the common ground of
// SetDIBits, StretchDIBits and SetDIBitsToDevice.

#include <cstdint>

#include "platform/BitmapInfo.h"

namespace gw {

class DibRowReader {
  public:
    // Takes the DIB described by `info` with its rows at `bits`. False for null bits, a depth
    // other than 1, 4, 8 or 24, a compressed or top-down DIB, a size of 0, or colour tables that
    // do not hold RGB values. With `mono` every pixel read is reduced to black or white.
    bool Open(const void* bits, const BitmapInfo& info, std::uint32_t usage, bool mono);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }

    // The row at `index` stored rows from the start of the bits.
    const std::uint8_t* Row(std::int64_t index) const { return bits_ + index * stride_; }

    // Pixels x .. x + count - 1 of a row, as blue, green, red. The caller keeps them inside the
    // DIB's width.
    void ReadSpan(const std::uint8_t* row, std::int32_t x, std::int32_t count,
                  std::uint8_t* out) const;
    // Pixel columns[i] of a row for each i < count.
    void ReadColumns(const std::uint8_t* row, const std::int32_t* columns, std::int32_t count,
                     std::uint8_t* out) const;

  private:
    const std::uint8_t* bits_ = nullptr;
    std::int64_t stride_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    int bitCount_ = 0;
    bool mono_ = false;
    std::uint8_t lut_[256][3] = {};  // the colour table as the target stores it
};

}  // namespace gw
