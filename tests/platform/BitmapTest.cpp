// The memory bitmap: its DIB layout, the monochrome reduction and the bounds of pixel access.

#include <gtest/gtest.h>

#include "platform/Bitmap.h"
#include "platform/BitmapInfo.h"

namespace gw {
namespace {

TEST(BitmapLayout, RowsBottomUpBlueFirstAndCleanPadding) {
    Bitmap b(5, 3, PixelFormat::Rgb24, clWhite);
    EXPECT_EQ(b.Stride(), DibStride(5, 24));
    b.SetPixel(1, 2, RGB(1, 2, 3));  // bottom row: stored first
    EXPECT_EQ(b.Bits()[3], 3);
    EXPECT_EQ(b.Bits()[4], 2);
    EXPECT_EQ(b.Bits()[5], 1);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(b.Bits()[r * b.Stride() + 15], 0) << "padding of stored row " << r;
}

TEST(BitmapLayout, NegativeSizesGiveAnEmptyBitmap) {
    const Bitmap b(-4, 7);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 7);
}

TEST(BitmapMono, StoresOnlyBlackAndWhite) {
    Bitmap b(3, 1, PixelFormat::Mono, RGB(130, 130, 130));  // sum 390: white
    EXPECT_EQ(b.Pixel(2, 0), clWhite);
    b.SetPixel(0, 0, RGB(127, 128, 127));  // sum 382: black
    b.SetPixel(1, 0, RGB(127, 128, 128));  // sum 383: white
    EXPECT_EQ(b.Pixel(0, 0), clBlack);
    EXPECT_EQ(b.Pixel(1, 0), clWhite);
    b.Fill(RGB(0, 0, 200));
    EXPECT_EQ(b.Pixel(1, 0), clBlack);
    EXPECT_EQ(b.StoredColor(0x01FFFFFF), clWhite);  // bits above the colour are dropped
}

TEST(BitmapMono, FormatChanges) {
    Bitmap b(2, 1, PixelFormat::Rgb24);
    b.SetPixel(0, 0, RGB(200, 10, 10));
    b.SetPixel(1, 0, RGB(200, 200, 10));
    b.SetFormat(PixelFormat::Mono);
    EXPECT_EQ(b.Pixel(0, 0), clBlack);
    EXPECT_EQ(b.Pixel(1, 0), clWhite);
    b.SetFormat(PixelFormat::Rgb24);
    b.SetPixel(0, 0, RGB(5, 6, 7));
    EXPECT_EQ(b.Pixel(0, 0), RGB(5, 6, 7));
    b.SetSize(3, 2);
    EXPECT_EQ(b.Format(), PixelFormat::Rgb24);
    EXPECT_EQ(b.Pixel(0, 0), clWhite);
}

TEST(BitmapAccess, OutsideReadsZeroAndWritesNothing) {
    Bitmap b(2, 2, PixelFormat::Rgb24, clRed);
    b.SetPixel(-1, 0, clBlue);
    b.SetPixel(0, 2, clBlue);
    EXPECT_EQ(b.Pixel(2, 0), 0u);
    EXPECT_EQ(b.Pixel(0, -1), 0u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(b.Pixel(x, y), clRed);
}

TEST(BitmapAccess, RowTooLongForAStrideIsRefused) {
    EXPECT_THROW(Bitmap(INT32_MAX, 1), std::bad_alloc);
}

}  // namespace
}  // namespace gw
