#include "raster/Halftone.h"

#include <algorithm>
#include <vector>

#include "raster/DibService.h"

namespace gw {

namespace {

// Bayer's 8x8 threshold matrix: every threshold 0 to 63 once, neighbours far apart.
constexpr std::uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

// A channel spread of at most this much counts as grey: such pixels gain the finer ramp, and
// the tint they lose is below what the cube could show without visible dots.
constexpr int kGreySpread = 12;

// The level (0 to steps) that value 0..255 dithers to at matrix threshold t (0..63): the lower
// neighbour level, or the upper one when the remainder exceeds the threshold. Averaged over the
// matrix the result is the value itself, up to 1/64 of a step.
int Dither(int value, int steps, int threshold) {
    const int scaled = value * steps;  // in 1/255 of a level
    const int level = scaled / 255;
    const int remainder = scaled - level * 255;  // 0..254
    return level + (remainder * 128 > (2 * threshold + 1) * 255 ? 1 : 0);
}

struct Colour {
    int r, g, b;
};

Colour ColourAt(const DibImage& src, std::int32_t x, std::int32_t y) {
    const std::uint32_t v = getpixel(src, x, y);
    if (DibBitCount(src) == 24) return {int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)};
    const RgbQuad& q = src.Info->bmiColors[v & 0xFF];
    return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

}  // namespace

void FillHalftonePalette(RgbQuad* table) {
    for (int r = 0; r < kHalftoneCubeLevels; ++r)
        for (int g = 0; g < kHalftoneCubeLevels; ++g)
            for (int b = 0; b < kHalftoneCubeLevels; ++b)
                table[36 * r + 6 * g + b] = {std::uint8_t(51 * b), std::uint8_t(51 * g),
                                             std::uint8_t(51 * r), 0};
    for (int k = 1; k < kHalftoneGreyLevels; ++k) {
        const auto grey = std::uint8_t((255 * k + 20) / 40);
        table[kHalftoneGreyBase + k - 1] = {grey, grey, grey, 0};
    }
}

void HalftoneDib(DibImage& out, const DibImage& src, std::int32_t width, std::int32_t height) {
    const std::uint32_t bits = DibBitCount(src);
    if (src.Empty() || !src.Info || (bits != 1 && bits != 4 && bits != 8 && bits != 24)) {
        deldib(out);
        return;
    }
    const std::int32_t srcWidth = DibWidth(src);
    const std::int32_t srcHeight = DibHeight(src);
    BitmapInfo palette;
    FillHalftonePalette(palette.bmiColors);
    DibImage result;
    newdib(result, width, height, 8, &palette, 256);
    if (result.Empty() || srcWidth < 1 || srcHeight < 1) {
        deldib(out);
        return;
    }
    std::vector<std::int32_t> columns(std::size_t(width), 0);
    for (std::int32_t x = 0; x < width; ++x)
        columns[std::size_t(x)] = std::int32_t(std::int64_t(x) * srcWidth / width);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t sy = std::int32_t(std::int64_t(y) * srcHeight / height);
        std::uint8_t* row = result.StoredRow(y);
        for (std::int32_t x = 0; x < width; ++x) {
            const Colour c = ColourAt(src, columns[std::size_t(x)], sy);
            const int threshold = kBayer[y & 7][x & 7];
            const int spread = std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b});
            if (spread <= kGreySpread) {
                const int level =
                    Dither((c.r + c.g + c.b + 1) / 3, kHalftoneGreyLevels - 1, threshold);
                row[x] = level == 0 ? 0 : std::uint8_t(kHalftoneGreyBase + level - 1);
            } else {
                const int steps = kHalftoneCubeLevels - 1;
                row[x] =
                    std::uint8_t(36 * Dither(c.r, steps, threshold) +
                                 6 * Dither(c.g, steps, threshold) + Dither(c.b, steps, threshold));
            }
        }
    }
    out = std::move(result);
}

}  // namespace gw
