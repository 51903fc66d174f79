// Block transfers: clipping against both bitmaps, copies of a bitmap onto itself, Draw and the
// monochrome reduction.

#include <gtest/gtest.h>

#include <random>

#include "CanvasTestSupport.h"
#include "platform/Canvas.h"

namespace gw {
namespace {

TEST(BitBltClipping, NegativeDestinationTakesTheSourceFromFurtherIn) {
    std::mt19937 rng(1);
    const Bitmap src = test::RandomBitmap(4, 4, PixelFormat::Rgb24, rng);
    Bitmap dst(4, 4, PixelFormat::Rgb24, clRed);
    Canvas(dst).BitBlt(-1, -2, 4, 4, src, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Pixel(0, 0), src.Pixel(1, 2));
    EXPECT_EQ(dst.Pixel(2, 1), src.Pixel(3, 3));
    EXPECT_EQ(dst.Pixel(3, 0), clRed);  // beyond the source's right edge
    EXPECT_EQ(dst.Pixel(0, 2), clRed);  // beyond its bottom edge
}

TEST(BitBltClipping, NegativeSourceOffsetMovesTheDestination) {
    std::mt19937 rng(2);
    const Bitmap src = test::RandomBitmap(4, 4, PixelFormat::Rgb24, rng);
    Bitmap dst(4, 4, PixelFormat::Rgb24, clRed);
    Canvas(dst).BitBlt(0, 0, 4, 4, src, -1, -3, SRCCOPY);
    EXPECT_EQ(dst.Pixel(1, 3), src.Pixel(0, 0));
    EXPECT_EQ(dst.Pixel(3, 3), src.Pixel(2, 0));
    EXPECT_EQ(dst.Pixel(0, 3), clRed);
    EXPECT_EQ(dst.Pixel(3, 2), clRed);
}

TEST(BitBltClipping, EachEdgeAgainstTheReference) {
    std::mt19937 rng(3);
    const Bitmap src = test::RandomBitmap(6, 5, PixelFormat::Rgb24, rng);
    struct Place {
        int dx, dy, sx, sy;
    };
    // Past the left, top, right and bottom edges of the destination, then of the source.
    const Place places[] = {{-3, 1, 0, 0}, {1, -4, 0, 0}, {7, 2, 0, 0},   {2, 6, 0, 0},
                            {0, 0, -2, 1}, {0, 0, 1, -2}, {0, 0, 4, 0},   {0, 0, 0, 3},
                            {-9, 0, 0, 0}, {0, 9, 0, 0},  {-2, -2, 3, 3}, {8, 6, -1, -1}};
    for (const Place& p : places) {
        Bitmap dst = test::RandomBitmap(9, 8, PixelFormat::Rgb24, rng);
        const Bitmap expect =
            test::ReferenceBlt(dst, p.dx, p.dy, 6, 5, src, p.sx, p.sy, SRCINVERT, clWhite);
        Canvas(dst).BitBlt(p.dx, p.dy, 6, 5, src, p.sx, p.sy, SRCINVERT);
        EXPECT_EQ(test::FirstDifference(dst, expect), "")
            << p.dx << "," << p.dy << " from " << p.sx << "," << p.sy;
    }
}

TEST(BitBltClipping, RandomPlacesAgainstTheReference) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> offset(-12, 12), size(-2, 14);
    for (int i = 0; i < 400; ++i) {
        Bitmap dst = test::RandomBitmap(10, 9, PixelFormat::Rgb24, rng);
        const Bitmap src =
            test::RandomBitmap(1 + int(rng() % 11), 1 + int(rng() % 11), PixelFormat::Rgb24, rng);
        const int dx = offset(rng), dy = offset(rng), sx = offset(rng), sy = offset(rng);
        const int w = size(rng), h = size(rng);
        const Rop rop = (i % 2) ? SRCAND : MERGEPAINT;
        const Bitmap expect = test::ReferenceBlt(dst, dx, dy, w, h, src, sx, sy, rop, clWhite);
        Canvas(dst).BitBlt(dx, dy, w, h, src, sx, sy, rop);
        ASSERT_EQ(test::FirstDifference(dst, expect), "") << i;
    }
}

TEST(BitBltClipping, ExtremeCoordinatesDrawNothingOutside) {
    std::mt19937 rng(5);
    const Bitmap src = test::RandomBitmap(5, 5, PixelFormat::Rgb24, rng);
    Bitmap dst(5, 5);
    Canvas canvas(dst);
    canvas.BitBlt(INT32_MAX - 2, 0, 5, 5, src, 0, 0, SRCCOPY);
    canvas.BitBlt(0, 0, INT32_MAX, INT32_MAX, src, INT32_MIN, INT32_MIN, SRCCOPY);
    canvas.BitBlt(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, src, 0, 0, SRCCOPY);
    EXPECT_EQ(test::FirstDifference(dst, Bitmap(5, 5)), "");
}

TEST(BitBltClipping, OperationsWithoutSourceIgnoreItsSize) {
    // The text fill inverts a bitmap by drawing it onto itself with DSTINVERT; the source's
    // size must not cut the destination rectangle when the source is not read.
    Bitmap dst(6, 3, PixelFormat::Rgb24, RGB(1, 2, 3));
    const Bitmap none;
    Canvas(dst).BitBlt(0, 0, 6, 3, none, 0, 0, DSTINVERT);
    EXPECT_EQ(dst.Pixel(5, 2), test::Invert(RGB(1, 2, 3)));
    EXPECT_EQ(dst.Pixel(0, 0), test::Invert(RGB(1, 2, 3)));
}

TEST(BitBltClipping, PatternIsTheBrushColour) {
    Bitmap dst(3, 2, PixelFormat::Rgb24, clWhite);
    Canvas canvas(dst);
    canvas.brush.color = RGB(10, 20, 30);
    canvas.BitBlt(1, 0, 5, 5, dst, 0, 0, PATCOPY);
    EXPECT_EQ(dst.Pixel(0, 0), clWhite);
    EXPECT_EQ(dst.Pixel(1, 0), RGB(10, 20, 30));
    EXPECT_EQ(dst.Pixel(2, 1), RGB(10, 20, 30));
}

// The outline deformation shifts each row onto itself; the uncovered pixels keep their old
// values (the caller whitens them) and the pixels shifted past the edge are lost.
TEST(BitBltSelf, RowShiftedRight) {
    std::mt19937 rng(6);
    Bitmap b = test::RandomBitmap(12, 3, PixelFormat::Rgb24, rng);
    const Bitmap before = b;
    Canvas(b).BitBlt(4, 1, 12, 1, b, 0, 1, SRCCOPY);
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(b.Pixel(x, 1), x < 4 ? before.Pixel(x, 1) : before.Pixel(x - 4, 1)) << x;
        EXPECT_EQ(b.Pixel(x, 0), before.Pixel(x, 0));
        EXPECT_EQ(b.Pixel(x, 2), before.Pixel(x, 2));
    }
}

TEST(BitBltSelf, RowShiftedLeft) {
    std::mt19937 rng(7);
    Bitmap b = test::RandomBitmap(12, 3, PixelFormat::Rgb24, rng);
    const Bitmap before = b;
    Canvas(b).BitBlt(-3, 2, 12, 1, b, 0, 2, SRCCOPY);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(b.Pixel(x, 2), x < 9 ? before.Pixel(x + 3, 2) : before.Pixel(x, 2)) << x;
}

TEST(BitBltSelf, OverlappingBlocksInEveryDirection) {
    std::mt19937 rng(8);
    const int shifts[][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {2, 3}, {-3, 2}, {3, -2}, {-2, -3}};
    for (const Rop rop : {SRCCOPY, SRCINVERT, NOTSRCCOPY, SRCERASE}) {
        for (const auto& s : shifts) {
            Bitmap b = test::RandomBitmap(11, 9, PixelFormat::Rgb24, rng);
            const Bitmap before = b;
            const Bitmap expect =
                test::ReferenceBlt(before, 2 + s[0], 2 + s[1], 7, 5, before, 2, 2, rop, clWhite);
            Canvas(b).BitBlt(2 + s[0], 2 + s[1], 7, 5, b, 2, 2, rop);
            EXPECT_EQ(test::FirstDifference(b, expect), "")
                << std::hex << rop << std::dec << " shift " << s[0] << "," << s[1];
        }
    }
}

TEST(BitBltDraw, DrawUsesTheCopyMode) {
    std::mt19937 rng(9);
    const Bitmap src = test::RandomBitmap(4, 3, PixelFormat::Rgb24, rng);
    Bitmap dst = test::RandomBitmap(6, 6, PixelFormat::Rgb24, rng);
    const Bitmap expect = test::ReferenceBlt(dst, 1, 2, 4, 3, src, 0, 0, SRCAND, clWhite);
    Canvas canvas(dst);
    canvas.copyMode = SRCAND;
    canvas.Draw(1, 2, src);
    EXPECT_EQ(test::FirstDifference(dst, expect), "");
}

TEST(BitBltDraw, DrawingABitmapOntoItselfWithDstInvert) {
    std::mt19937 rng(10);
    Bitmap b = test::RandomBitmap(5, 4, PixelFormat::Rgb24, rng);
    const Bitmap before = b;
    Canvas canvas(b);
    canvas.copyMode = DSTINVERT;
    canvas.Draw(0, 0, b);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(b.Pixel(x, y), test::Invert(before.Pixel(x, y)));
}

TEST(BitBltMono, ColourSourceIsReducedBeforeTheOperation) {
    Bitmap src(3, 1);
    src.SetPixel(0, 0, RGB(200, 200, 200));  // light: white
    src.SetPixel(1, 0, RGB(255, 0, 0));      // sum 255: black
    src.SetPixel(2, 0, RGB(127, 128, 128));  // sum 383: white
    Bitmap dst(3, 1, PixelFormat::Mono, clWhite);
    Canvas(dst).BitBlt(0, 0, 3, 1, src, 0, 0, SRCCOPY);
    EXPECT_EQ(test::BlackWhite(dst), ".#.");
    Canvas(dst).BitBlt(0, 0, 3, 1, src, 0, 0, SRCINVERT);
    EXPECT_EQ(test::BlackWhite(dst), "###");  // each pixel XOR itself
}

TEST(BitBltMono, EveryOperationLeavesOnlyBlackAndWhite) {
    std::mt19937 rng(12);
    Bitmap dst = test::RandomBitmap(8, 5, PixelFormat::Mono, rng);
    const Bitmap src = test::RandomBitmap(8, 5, PixelFormat::Rgb24, rng);
    Canvas canvas(dst);
    canvas.brush.color = RGB(90, 200, 140);
    for (int table = 0; table < 256; ++table)
        canvas.BitBlt(0, 0, 8, 5, src, 0, 0, Rop(table) << 16);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x) {
            const TColor c = dst.Pixel(x, y);
            EXPECT_TRUE(c == clBlack || c == clWhite) << x << "," << y;
        }
}

}  // namespace
}  // namespace gw
