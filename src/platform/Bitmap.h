#pragma once
// A memory bitmap of the drawing layer: monochrome or 24 bits per pixel.
//
// Both formats keep their pixels in the layout of a bottom-up 24-bit DIB (blue, green, red, rows
// padded to 4 bytes, image row y stored at row height - 1 - y), so moving pixels between a bitmap
// and a DibImage of the same size is a plain copy. A monochrome bitmap holds only black and white:
// every colour written into it is first reduced to the nearer of the two.

#include <cstdint>
#include <vector>

#include "platform/Geometry.h"

namespace gw {

enum class PixelFormat { Mono, Rgb24 };

class Bitmap {
  public:
    Bitmap() = default;
    // A new bitmap is filled with `fill` (white unless said otherwise). Sizes below 0 count as 0.
    // Throws std::bad_alloc when the pixels cannot be had, a row too long for the stride included.
    Bitmap(std::int32_t width, std::int32_t height, PixelFormat format = PixelFormat::Rgb24,
           TColor fill = clWhite);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t Stride() const { return stride_; }
    PixelFormat Format() const { return format_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }

    // Changing to Mono reduces every pixel to black or white; changing to Rgb24 keeps the pixels.
    void SetFormat(PixelFormat format);
    void SetSize(std::int32_t width, std::int32_t height);  // new pixels white

    // Every pixel set to the colour as this bitmap stores it.
    void Fill(TColor color);

    // Row y counted from the top (stored row height - 1 - y). No bounds check.
    std::uint8_t* Row(std::int32_t y) { return data_.data() + RowOffset(y); }
    const std::uint8_t* Row(std::int32_t y) const { return data_.data() + RowOffset(y); }
    // The stored rows from the bottom one up, as a DIB holds them.
    std::uint8_t* Bits() { return data_.data(); }
    const std::uint8_t* Bits() const { return data_.data(); }

    // Pixel access with bounds check: reads outside give 0, writes outside are ignored.
    TColor Pixel(std::int32_t x, std::int32_t y) const;
    void SetPixel(std::int32_t x, std::int32_t y, TColor color);

    // The colour as this bitmap stores it: itself for 24 bits, black or white for monochrome.
    TColor StoredColor(TColor color) const;

  private:
    std::size_t RowOffset(std::int32_t y) const {
        return static_cast<std::size_t>(height_ - 1 - y) * static_cast<std::size_t>(stride_);
    }

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t stride_ = 0;
    PixelFormat format_ = PixelFormat::Rgb24;
    std::vector<std::uint8_t> data_;
};

// The monochrome reduction: white when the colour is at least as near white as black.
constexpr TColor MonoColor(TColor c) {
    return (GetRValue(c) + GetGValue(c) + GetBValue(c)) >= kGreyThreshold ? clWhite : clBlack;
}

}  // namespace gw
