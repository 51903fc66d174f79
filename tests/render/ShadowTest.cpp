#include "render/Shadow.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

LetteringSettings Softness(double s, std::int32_t direction = 0) {
    LetteringSettings settings;
    settings.SWeichEd = s;
    settings.SRichtBox = direction;
    return settings;
}

TEST(ShadowLevel, OpacityGivesTheMaskLevel) {
    LetteringSettings s;
    EXPECT_EQ(ShadowLevel(s), 216);  // the start value 15
    s.SDeckEd = 100;
    EXPECT_EQ(ShadowLevel(s), 0);
    s.SDeckEd = 1;
    EXPECT_EQ(ShadowLevel(s), 252);
}

// Softness 1 averages each pixel with its left neighbour, the pixel below and the one below-left.
TEST(SoftenShadow, SoftnessOneAveragesTheSquareBelowLeft) {
    Bitmap b(5, 5, PixelFormat::Rgb24, clWhite);
    b.SetPixel(2, 2, clBlack);
    SoftenShadow(b, Softness(1));
    // Pixel (x, y) reads (x-1, y+1), (x, y+1), (x-1, y), (x, y).
    EXPECT_EQ(b.Pixel(2, 2), RGB(191, 191, 191));
    EXPECT_EQ(b.Pixel(3, 2), RGB(191, 191, 191));
    EXPECT_EQ(b.Pixel(2, 1), RGB(191, 191, 191));
    EXPECT_EQ(b.Pixel(3, 1), RGB(191, 191, 191));
    EXPECT_EQ(b.Pixel(1, 2), clWhite);
    EXPECT_EQ(b.Pixel(2, 3), clWhite);
    // Column 0 and the bottom row lie outside the softened rectangle and keep their values.
    Bitmap edge(5, 5, PixelFormat::Rgb24, clBlack);
    edge.SetPixel(0, 2, clWhite);
    edge.SetPixel(2, 4, clWhite);
    SoftenShadow(edge, Softness(1));
    EXPECT_EQ(edge.Pixel(0, 2), clWhite);
    EXPECT_EQ(edge.Pixel(2, 4), clWhite);
}

TEST(SoftenShadow, SoftnessZeroKeepsHardEdges) {
    Bitmap b(6, 4, PixelFormat::Rgb24, clWhite);
    b.SetPixel(3, 1, RGB(0, 0, 216));
    const Bitmap before = b;
    SoftenShadow(b, Softness(0));
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(b.Pixel(x, y), before.Pixel(x, y));
}

TEST(SoftenShadow, SlantsMoveRowsByTheirDistanceFromTheBottom) {
    const std::int32_t W = 10, H = 4;
    for (std::int32_t direction : {1, 2}) {
        Bitmap b(W, H, PixelFormat::Rgb24, clWhite);
        for (std::int32_t y = 0; y < H; ++y)
            b.SetPixel(5, y, clBlack);
        SoftenShadow(b, Softness(0, direction));
        for (std::int32_t y = 0; y < H; ++y) {
            const std::int32_t shift = (H - 1) - y;
            const std::int32_t x = direction == 1 ? 5 - shift : 5 + shift;
            for (std::int32_t c = 0; c < W; ++c)
                EXPECT_EQ(b.Pixel(c, y), c == x ? clBlack : clWhite)
                    << "direction " << direction << " at " << c << "," << y;
        }
    }
}

TEST(SoftenShadow, ASlantPastTheEdgeLeavesWhite) {
    Bitmap b(4, 8, PixelFormat::Rgb24, clBlack);
    SoftenShadow(b, Softness(0, 2));
    for (std::int32_t x = 0; x < 4; ++x)
        EXPECT_EQ(b.Pixel(x, 0), clWhite);  // moved 7 right
    EXPECT_EQ(b.Pixel(0, 7), clBlack);      // the bottom stays
}

}  // namespace
}  // namespace gw
