#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "raster/DibService.h"

namespace gw {
namespace {

DibImage Blank(int width, int height, int bits) {
    DibImage dib;
    newdib(dib, width, height, bits, nullptr, 0);
    return dib;
}

std::vector<std::uint8_t> BytesOf(const DibImage& dib) {
    return {dib.Bits.get(), dib.Bits.get() + DibImageSize(dib)};
}

TEST(PixelAccess, OneBitLeftmostPixelIsTheHighBit) {
    DibImage dib = Blank(10, 2, 1);
    setpixel(dib, 0, 0, 1);
    setpixel(dib, 9, 0, 1);
    setpixel(dib, 3, 1, 1);
    EXPECT_EQ(dib.StoredRow(0)[0], 0x80);
    EXPECT_EQ(dib.StoredRow(0)[1], 0x40);
    EXPECT_EQ(dib.StoredRow(1)[0], 0x10);
    EXPECT_EQ(getpixel(dib, 9, 0), 1u);
    EXPECT_EQ(getpixel(dib, 8, 0), 0u);
    setpixel(dib, 0, 0, 0);
    setpixel(dib, 1, 0, 3);  // only the lowest bit counts
    EXPECT_EQ(dib.StoredRow(0)[0], 0x40);
}

TEST(PixelAccess, FourBitEvenColumnsUseTheHighNibble) {
    DibImage dib = Blank(3, 1, 4);
    setpixel(dib, 0, 0, 0xA);
    setpixel(dib, 1, 0, 0x5);
    setpixel(dib, 2, 0, 0x1F);
    EXPECT_EQ(dib.StoredRow(0)[0], 0xA5);
    EXPECT_EQ(dib.StoredRow(0)[1], 0xF0);
    EXPECT_EQ(getpixel(dib, 0, 0), 0xAu);
    EXPECT_EQ(getpixel(dib, 1, 0), 0x5u);
    EXPECT_EQ(getpixel(dib, 2, 0), 0xFu);
}

TEST(PixelAccess, EightAndTwentyFourBits) {
    DibImage eight = Blank(3, 2, 8);
    setpixel(eight, 2, 1, 0x1C3);
    EXPECT_EQ(eight.StoredRow(1)[2], 0xC3);
    EXPECT_EQ(getpixel(eight, 2, 1), 0xC3u);

    DibImage rgb = Blank(2, 2, 24);
    setpixel(rgb, 1, 0, 0xFF112233);
    const std::uint8_t* p = rgb.StoredRow(0) + 3;
    EXPECT_EQ(p[0], 0x33);  // blue first
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x11);
    EXPECT_EQ(getpixel(rgb, 1, 0), 0x112233u);
    // y counts stored rows: row 0 is the bottom image row.
    EXPECT_EQ(rgb.Row(1) + 3, p);
}

TEST(PixelAccess, OutsideReadsZeroAndWritesNothing) {
    for (int bits : {1, 4, 8, 24}) {
        DibImage dib = Blank(5, 3, bits);
        std::memset(dib.Bits.get(), 0xFF, DibImageSize(dib));
        const std::vector<std::uint8_t> before = BytesOf(dib);
        for (auto [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {5, 0}, {0, -1}, {0, 3}}) {
            EXPECT_EQ(getpixel(dib, x, y), 0u) << bits;
            setpixel(dib, x, y, 0);
        }
        EXPECT_EQ(BytesOf(dib), before) << bits;
    }
    DibImage empty;
    EXPECT_EQ(getpixel(empty, 0, 0), 0u);
    setpixel(empty, 0, 0, 1);
}

TEST(PixelAccess, ValuesCopyBetweenPicturesOfTheSameDepth) {
    for (int bits : {1, 4, 8, 24}) {
        DibImage a = Blank(9, 4, bits);
        DibImage b = Blank(9, 4, bits);
        const std::uint32_t mask = bits == 24 ? 0xFFFFFFu : (1u << bits) - 1;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                setpixel(a, x, y, std::uint32_t(x * 2654435761u + y * 40503u) & mask);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                setpixel(b, x, y, getpixel(a, x, y));
        EXPECT_EQ(BytesOf(a), BytesOf(b)) << bits;
    }
}

}  // namespace
}  // namespace gw
