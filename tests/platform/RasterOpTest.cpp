// The raster operations: the coding of the named operations, the row kernels' fast paths held to
// the general rule, and the block transfer with every one of the 256 operations.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "CanvasTestSupport.h"
#include "platform/Canvas.h"
#include "platform/RopRow.h"

namespace gw {
namespace {

constexpr Rop kFastRops[] = {SRCCOPY, SRCAND, SRCPAINT, SRCINVERT, DSTINVERT, NOTSRCCOPY};

TEST(RopCodes, NamedOperationsComputeTheirFormula) {
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        const auto p = std::uint8_t(rng()), s = std::uint8_t(rng()), d = std::uint8_t(rng());
        EXPECT_EQ(ApplyRop(SRCCOPY, p, s, d), s);
        EXPECT_EQ(ApplyRop(SRCPAINT, p, s, d), std::uint8_t(s | d));
        EXPECT_EQ(ApplyRop(SRCAND, p, s, d), std::uint8_t(s & d));
        EXPECT_EQ(ApplyRop(SRCINVERT, p, s, d), std::uint8_t(s ^ d));
        EXPECT_EQ(ApplyRop(SRCERASE, p, s, d), std::uint8_t(s & ~d));
        EXPECT_EQ(ApplyRop(NOTSRCCOPY, p, s, d), std::uint8_t(~s));
        EXPECT_EQ(ApplyRop(NOTSRCERASE, p, s, d), std::uint8_t(~(s | d)));
        EXPECT_EQ(ApplyRop(MERGEPAINT, p, s, d), std::uint8_t(~s | d));
        EXPECT_EQ(ApplyRop(DSTINVERT, p, s, d), std::uint8_t(~d));
        EXPECT_EQ(ApplyRop(PATCOPY, p, s, d), p);
        EXPECT_EQ(ApplyRop(PATINVERT, p, s, d), std::uint8_t(p ^ d));
        EXPECT_EQ(ApplyRop(BLACKNESS, p, s, d), 0);
        EXPECT_EQ(ApplyRop(WHITENESS, p, s, d), 0xFF);
    }
}

TEST(RopCodes, SourceUse) {
    for (Rop rop : {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, SRCERASE, NOTSRCCOPY, MERGEPAINT})
        EXPECT_TRUE(RopUsesSource(rop)) << std::hex << rop;
    for (Rop rop : {DSTINVERT, PATCOPY, PATINVERT, BLACKNESS, WHITENESS})
        EXPECT_FALSE(RopUsesSource(rop)) << std::hex << rop;
}

TEST(RopRowKernels, FastPathsMatchTheGeneralRule) {
    std::mt19937 rng(11);
    // Lengths around the eight-byte steps of the kernels, so every tail is reached.
    for (Rop rop : kFastRops) {
        ASSERT_TRUE(RopHasFastPath(rop));
        for (std::size_t pixels = 0; pixels <= 41; ++pixels) {
            std::vector<std::uint8_t> src(pixels * 3), fast(pixels * 3), general;
            for (auto& b : src)
                b = std::uint8_t(rng());
            for (auto& b : fast)
                b = std::uint8_t(rng());
            general = fast;
            const TColor pattern = rng() & 0xFFFFFF;
            RopRow(rop, fast.data(), src.data(), pixels, pattern);
            RopRowGeneral(rop, general.data(), src.data(), pixels, pattern);
            EXPECT_EQ(fast, general) << std::hex << rop << " on " << std::dec << pixels;
        }
    }
}

TEST(RopRowKernels, GeneralRuleIsApplyRopOnEveryByte) {
    std::mt19937 rng(13);
    for (int table = 0; table < 256; ++table) {
        const Rop rop = Rop(table) << 16;
        const std::size_t pixels = 1 + rng() % 12;
        std::vector<std::uint8_t> src(pixels * 3), dst(pixels * 3);
        for (auto& b : src)
            b = std::uint8_t(rng());
        for (auto& b : dst)
            b = std::uint8_t(rng());
        const TColor pattern = rng() & 0xFFFFFF;
        const std::uint8_t pat[3] = {GetBValue(pattern), GetGValue(pattern), GetRValue(pattern)};
        std::vector<std::uint8_t> expect(dst.size());
        for (std::size_t k = 0; k < dst.size(); ++k)
            expect[k] = ApplyRop(rop, pat[k % 3], src[k], dst[k]);
        RopRowGeneral(rop, dst.data(), src.data(), pixels, pattern);
        ASSERT_EQ(dst, expect) << "table " << table << ", " << pixels << " pixels";
    }
}

TEST(RopRowKernels, OtherOperationsTakeTheGeneralRule) {
    for (Rop rop : {PATCOPY, MERGEPAINT, SRCERASE, BLACKNESS, Rop(0x00AA0029)})
        EXPECT_FALSE(RopHasFastPath(rop)) << std::hex << rop;
    // The pattern's bytes follow the pixel layout: blue, green, red.
    std::vector<std::uint8_t> row(6, 0x55);
    RopRow(PATCOPY, row.data(), nullptr, 2, RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(row, (std::vector<std::uint8_t>{0x30, 0x20, 0x10, 0x30, 0x20, 0x10}));
}

TEST(RopRowKernels, MonoRowUsesTheBitmapReduction) {
    std::mt19937 rng(3);
    std::vector<std::uint8_t> row(300);
    for (auto& b : row)
        b = std::uint8_t(rng());
    row[0] = 127, row[1] = 128, row[2] = 128;  // sum 383: white
    row[3] = 127, row[4] = 128, row[5] = 127;  // sum 382: black
    std::vector<std::uint8_t> out(row.size());
    MonoRow(out.data(), row.data(), row.size() / 3);
    for (std::size_t i = 0; i < row.size(); i += 3) {
        const TColor expect = MonoColor(RGB(row[i + 2], row[i + 1], row[i]));
        EXPECT_EQ(RGB(out[i + 2], out[i + 1], out[i]), expect) << i / 3;
    }
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[3], 0x00);
}

struct BltCase {
    PixelFormat dst;
    PixelFormat src;
};

class BitBltEveryRop : public ::testing::TestWithParam<BltCase> {};

TEST_P(BitBltEveryRop, MatchesTheReference) {
    std::mt19937 rng(23);
    const BltCase c = GetParam();
    for (int table = 0; table < 256; ++table) {
        const Rop rop = Rop(table) << 16;
        Bitmap dst = test::RandomBitmap(13, 7, c.dst, rng);
        const Bitmap src = test::RandomBitmap(9, 6, c.src, rng);
        Canvas canvas(dst);
        canvas.brush.color = rng() & 0xFFFFFF;
        const Bitmap expect =
            test::ReferenceBlt(dst, 3, 1, 9, 6, src, 0, 0, rop, canvas.brush.color);
        canvas.BitBlt(3, 1, 9, 6, src, 0, 0, rop);
        ASSERT_EQ(test::FirstDifference(dst, expect), "") << "table " << table;
    }
}

TEST_P(BitBltEveryRop, FastPathsOnLargerPictures) {
    std::mt19937 rng(29);
    const BltCase c = GetParam();
    for (Rop rop : kFastRops) {
        Bitmap dst = test::RandomBitmap(67, 23, c.dst, rng);
        const Bitmap src = test::RandomBitmap(61, 29, c.src, rng);
        Canvas canvas(dst);
        const Bitmap expect = test::ReferenceBlt(dst, 5, -2, 61, 29, src, 1, 3, rop, clWhite);
        canvas.BitBlt(5, -2, 61, 29, src, 1, 3, rop);
        ASSERT_EQ(test::FirstDifference(dst, expect), "") << std::hex << rop;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, BitBltEveryRop,
                         ::testing::Values(BltCase{PixelFormat::Rgb24, PixelFormat::Rgb24},
                                           BltCase{PixelFormat::Mono, PixelFormat::Rgb24},
                                           BltCase{PixelFormat::Mono, PixelFormat::Mono},
                                           BltCase{PixelFormat::Rgb24, PixelFormat::Mono}));

}  // namespace
}  // namespace gw
