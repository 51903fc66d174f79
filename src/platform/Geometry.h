#pragma once
// Points, rectangles and colours as the drawing layer and every layer above it use them.

#include <cstdint>

namespace gw {

// A colour 0x00BBGGRR: red in the low byte, blue in the high byte (0xFF0000 is pure blue).
using TColor = std::uint32_t;

constexpr std::uint8_t GetRValue(TColor c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GetGValue(TColor c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t GetBValue(TColor c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}
constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;

// A colour whose three channels add up to at least this, half of 3 x 255 rounded up, is at least
// as near white as black: it turns white in a monochrome bitmap.
constexpr int kGreyThreshold = 383;

struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

// Right and bottom are exclusive, as in every rectangle of the drawing layer.
struct TRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    constexpr std::int32_t Width() const { return right - left; }
    constexpr std::int32_t Height() const { return bottom - top; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

}  // namespace gw
