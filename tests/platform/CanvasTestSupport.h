#pragma once
// Helpers of the drawing-layer tests: random pictures, a per-pixel reference of the block
// transfer, and pictures as text for pinning small results.

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "platform/Bitmap.h"
#include "platform/RasterOp.h"

namespace gw::test {

inline Bitmap RandomBitmap(std::int32_t w, std::int32_t h, PixelFormat format, std::mt19937& rng) {
    Bitmap b(w, h, format);
    std::uniform_int_distribution<std::uint32_t> colour(0, 0xFFFFFF);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            b.SetPixel(x, y, colour(rng));
    return b;
}

inline TColor Invert(TColor c) {
    return ~c & 0xFFFFFF;
}

// The block transfer by its definition: every destination pixel inside the destination rectangle
// whose source pixel exists (when the operation reads one) becomes ApplyRop of pattern, source and
// destination on each byte; for a monochrome destination source and pattern are first reduced.
// `before` and `src` are read as they were before the transfer.
inline Bitmap ReferenceBlt(const Bitmap& before, std::int64_t dx, std::int64_t dy, std::int64_t w,
                           std::int64_t h, const Bitmap& src, std::int64_t sx, std::int64_t sy,
                           Rop rop, TColor brush) {
    Bitmap out = before;
    const bool mono = before.Format() == PixelFormat::Mono;
    const TColor p = before.StoredColor(brush);
    for (std::int32_t y = 0; y < before.Height(); ++y) {
        for (std::int32_t x = 0; x < before.Width(); ++x) {
            if (x < dx || x >= dx + w || y < dy || y >= dy + h) continue;
            const std::int64_t u = sx + (x - dx), v = sy + (y - dy);
            TColor s = 0;
            if (RopUsesSource(rop)) {
                if (u < 0 || v < 0 || u >= src.Width() || v >= src.Height()) continue;
                s = src.Pixel(std::int32_t(u), std::int32_t(v));
                if (mono) s = MonoColor(s);
            }
            const TColor d = before.Pixel(x, y);
            const TColor r = RGB(ApplyRop(rop, GetRValue(p), GetRValue(s), GetRValue(d)),
                                 ApplyRop(rop, GetGValue(p), GetGValue(s), GetGValue(d)),
                                 ApplyRop(rop, GetBValue(p), GetBValue(s), GetBValue(d)));
            out.SetPixel(x, y, r);
        }
    }
    return out;
}

// The first differing pixel as text, empty when the pictures agree.
inline std::string FirstDifference(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return "sizes differ";
    for (std::int32_t y = 0; y < a.Height(); ++y)
        for (std::int32_t x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                       "): " + std::to_string(a.Pixel(x, y)) + " vs " +
                       std::to_string(b.Pixel(x, y));
    return {};
}

// Rows of one character a pixel, joined by '|'.
inline std::string Picture(const Bitmap& b, const std::function<char(TColor)>& code) {
    std::string s;
    for (std::int32_t y = 0; y < b.Height(); ++y) {
        if (y) s += '|';
        for (std::int32_t x = 0; x < b.Width(); ++x)
            s += code(b.Pixel(x, y));
    }
    return s;
}

// '#' black, '.' white, '?' anything else.
inline std::string BlackWhite(const Bitmap& b) {
    return Picture(b, [](TColor c) { return c == clBlack ? '#' : c == clWhite ? '.' : '?'; });
}

}  // namespace gw::test
