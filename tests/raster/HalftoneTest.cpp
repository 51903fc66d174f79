#include <gtest/gtest.h>

#include <cmath>

#include "raster/DibService.h"
#include "raster/Halftone.h"

namespace gw {
namespace {

DibImage Flat(int width, int height, std::uint32_t rgb) {
    DibImage dib;
    newdib(dib, width, height, 24, nullptr, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(dib, x, y, rgb);
    return dib;
}

// Mean of each channel over the halftoned picture, through its colour table.
void MeanColour(const DibImage& dib, double mean[3]) {
    double sum[3] = {0, 0, 0};
    for (int y = 0; y < DibHeight(dib); ++y) {
        for (int x = 0; x < DibWidth(dib); ++x) {
            const RgbQuad& q = dib.Info->bmiColors[getpixel(dib, x, y)];
            sum[0] += q.rgbRed;
            sum[1] += q.rgbGreen;
            sum[2] += q.rgbBlue;
        }
    }
    for (int c = 0; c < 3; ++c)
        mean[c] = sum[c] / (DibWidth(dib) * DibHeight(dib));
}

TEST(HalftonePalette, CubeThenGreys) {
    RgbQuad table[256];
    FillHalftonePalette(table);
    EXPECT_EQ(table[0], (RgbQuad{0, 0, 0, 0}));
    EXPECT_EQ(table[215], (RgbQuad{255, 255, 255, 0}));
    EXPECT_EQ(table[36 * 5], (RgbQuad{0, 0, 255, 0}));  // pure red
    EXPECT_EQ(table[36 * 1 + 6 * 2 + 3], (RgbQuad{153, 102, 51, 0}));
    EXPECT_EQ(table[216], (RgbQuad{6, 6, 6, 0}));
    EXPECT_EQ(table[235], (RgbQuad{128, 128, 128, 0}));
    EXPECT_EQ(table[255], (RgbQuad{255, 255, 255, 0}));
}

TEST(Halftone, ResultCarriesTheFixedPalette) {
    DibImage out;
    DIBHalftoneDIB(out, Flat(7, 5, 0x336699));
    ASSERT_EQ(DibBitCount(out), 8u);
    ASSERT_EQ(DibWidth(out), 7);
    ASSERT_EQ(DibHeight(out), 5);
    RgbQuad table[256];
    FillHalftonePalette(table);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(out.Info->bmiColors[i], table[i]);
}

TEST(Halftone, CubeColoursAndRampGreysComeOutClean) {
    for (const auto& [rgb, index] :
         std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0x000000, 0},
                                                              {0xFFFFFF, 255},
                                                              {0xFF0000, 180},
                                                              {0x3399CC, 36 + 18 + 4},
                                                              {0x333333, 223}}) {
        DibImage out;
        DIBHalftoneDIB(out, Flat(8, 8, rgb));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(getpixel(out, x, y), index) << std::hex << rgb;
    }
}

TEST(Halftone, AveragesStayCloseToTheSource) {
    for (std::uint32_t rgb : {0x7F3A10u, 0x10E0A0u, 0x555555u, 0xC8C8C8u, 0x0A0A30u, 0xFEFD01u}) {
        DibImage out;
        DIBHalftoneDIB(out, Flat(16, 16, rgb));
        double mean[3];
        MeanColour(out, mean);
        const int want[3] = {int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF)};
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(mean[c], want[c], 2.0) << std::hex << rgb << " channel " << c;
    }
}

TEST(Halftone, NearGreysBecomeTheGreyOfTheirMean) {
    DibImage out;
    DIBHalftoneDIB(out, Flat(16, 16, 0xC8C8D4));
    double mean[3];
    MeanColour(out, mean);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(mean[c], 204.0, 1.0);
}

TEST(Halftone, GradientIsFollowedEverywhere) {
    DibImage src;
    newdib(src, 256, 8, 24, nullptr, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 256; ++x)
            setpixel(src, x, y, std::uint32_t(x) << 16 | std::uint32_t(255 - x) << 8 | 40);
    DibImage out;
    DIBHalftoneDIB(out, src);
    // Over each 8 x 8 cell the dither reproduces the mean within a little of the source.
    for (int cell = 0; cell < 32; ++cell) {
        double red = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 8 * cell; x < 8 * cell + 8; ++x)
                red += out.Info->bmiColors[getpixel(out, x, y)].rgbRed;
        EXPECT_NEAR(red / 64, 8 * cell + 3.5, 4.0) << "cell " << cell;
    }
}

TEST(Halftone, ResampledToTheAskedSize) {
    DibImage src;
    newdib(src, 40, 20, 24, nullptr, 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            setpixel(src, x, y, x < 20 ? 0x000000u : 0xFFFFFFu);
    DibImage out;
    DIBHalftoneDIBXY(out, src, 10, 3);
    ASSERT_EQ(DibWidth(out), 10);
    ASSERT_EQ(DibHeight(out), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(getpixel(out, x, y), x < 5 ? 0u : 255u);
    DIBHalftoneDIBXY(out, src, 0, 3);
    EXPECT_TRUE(out.Empty());
    DIBHalftoneDIBXY(out, src, 3, kMaxDibSide + 1);
    EXPECT_TRUE(out.Empty());
}

TEST(Halftone, PaletteSourcesAndSelfAssignment) {
    BitmapInfo table;
    table.bmiColors[1] = {0, 0, 255, 0};  // red
    DibImage src;
    newdib(src, 4, 4, 4, &table, 16);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            setpixel(src, x, y, 1);
    DIBHalftoneDIB(src, src);
    ASSERT_EQ(DibBitCount(src), 8u);
    EXPECT_EQ(getpixel(src, 3, 3), 180u);

    DibImage empty, out = Flat(2, 2, 0);
    DIBHalftoneDIB(out, empty);
    EXPECT_TRUE(out.Empty());
}

}  // namespace
}  // namespace gw
