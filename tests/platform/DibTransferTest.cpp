// Moving pixels between bitmaps and DIB bits: GetDIBits and SetDIBits, and the device calls of
// the canvas (StretchDIBits, SetDIBitsToDevice, StretchBlt, capabilities).

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "CanvasTestSupport.h"
#include "platform/Canvas.h"

namespace gw {
namespace {

constexpr TColor A = RGB(10, 20, 30), B = RGB(40, 50, 60), C = RGB(70, 80, 90),
                 D = RGB(100, 110, 120);

// DIB bits of any depth with their header and colour table, for feeding the transfers.
struct TestDib {
    BitmapInfo info{};
    std::vector<std::uint8_t> bits;
    std::size_t stride = 0;

    TestDib(int width, int height, int bitCount) {
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biBitCount = std::uint16_t(bitCount);
        stride = std::size_t(DibStride(width, bitCount));
        info.bmiHeader.biSizeImage = std::uint32_t(stride * std::size_t(height));
        bits.assign(stride * std::size_t(height), 0);
    }
    void SetColour(int index, TColor c) {
        info.bmiColors[index] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
    // Pixel x of stored row r (0 = bottom).
    void Set(int x, int r, std::uint32_t value) {
        std::uint8_t* row = bits.data() + std::size_t(r) * stride;
        switch (info.bmiHeader.biBitCount) {
            case 24:
                row[3 * x] = GetBValue(value);
                row[3 * x + 1] = GetGValue(value);
                row[3 * x + 2] = GetRValue(value);
                break;
            case 8:
                row[x] = std::uint8_t(value);
                break;
            case 4:
                row[x / 2] |= std::uint8_t((x % 2) ? value : value << 4);
                break;
            case 1:
                if (value) row[x / 8] |= std::uint8_t(0x80 >> (x % 8));
                break;
        }
    }
};

// A 24-bit DIB holding A B in its bottom row and C D above it.
TestDib TwoByTwo() {
    TestDib dib(2, 2, 24);
    dib.Set(0, 0, A);
    dib.Set(1, 0, B);
    dib.Set(0, 1, C);
    dib.Set(1, 1, D);
    return dib;
}

std::string Letters(const Bitmap& b) {
    return test::Picture(b, [](TColor c) {
        return c == A ? 'A' : c == B ? 'B' : c == C ? 'C' : c == D ? 'D' : c == clWhite ? '.' : '?';
    });
}

TEST(DibGetBits, RoundTripThroughSetDIBits) {
    std::mt19937 rng(1);
    const Bitmap src = test::RandomBitmap(7, 5, PixelFormat::Rgb24, rng);  // rows padded
    TestDib dib(7, 5, 24);
    std::fill(dib.bits.begin(), dib.bits.end(), std::uint8_t(0xEE));
    ASSERT_EQ(GetDIBits(src, 0, 5, dib.bits.data(), dib.info, DIB_RGB_COLORS), 5);
    for (int r = 0; r < 5; ++r)
        for (std::size_t k = 21; k < dib.stride; ++k)
            EXPECT_EQ(dib.bits[r * dib.stride + k], 0);
    Bitmap back(7, 5);
    ASSERT_EQ(SetDIBits(back, 0, 5, dib.bits.data(), dib.info, DIB_RGB_COLORS), 5);
    EXPECT_EQ(test::FirstDifference(back, src), "");
}

TEST(DibGetBits, ScanLineZeroIsTheBottomRow) {
    Bitmap src(3, 4);
    src.SetPixel(0, 3, RGB(1, 2, 3));
    src.SetPixel(2, 1, RGB(4, 5, 6));
    TestDib dib(3, 2, 24);
    ASSERT_EQ(GetDIBits(src, 0, 1, dib.bits.data(), dib.info, DIB_RGB_COLORS), 1);
    EXPECT_EQ(dib.bits[0], 3);  // blue, green, red
    EXPECT_EQ(dib.bits[1], 2);
    EXPECT_EQ(dib.bits[2], 1);
    ASSERT_EQ(GetDIBits(src, 2, 1, dib.bits.data(), dib.info, DIB_RGB_COLORS), 1);
    EXPECT_EQ(dib.bits[6], 6);
    EXPECT_EQ(dib.bits[8], 4);
}

TEST(DibGetBits, NeverMoreRowsThanTheBitmapOrTheReceiverHold) {
    const Bitmap src(4, 6, PixelFormat::Rgb24, A);
    TestDib tall(4, 9, 24);
    EXPECT_EQ(GetDIBits(src, 0, 100, tall.bits.data(), tall.info, DIB_RGB_COLORS), 6);
    EXPECT_EQ(GetDIBits(src, 4, 100, tall.bits.data(), tall.info, DIB_RGB_COLORS), 2);
    TestDib low(4, 2, 24);  // the sanitizer build sees any write past its two rows
    EXPECT_EQ(GetDIBits(src, 0, 6, low.bits.data(), low.info, DIB_RGB_COLORS), 2);
}

TEST(DibGetBits, RefusesWhatItCannotDeliver) {
    const Bitmap src(4, 3);
    TestDib dib(4, 3, 24);
    TestDib narrow(3, 3, 24);
    TestDib eight(4, 3, 8);
    EXPECT_EQ(GetDIBits(src, 0, 3, narrow.bits.data(), narrow.info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(src, 0, 3, eight.bits.data(), eight.info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(src, 0, 3, nullptr, dib.info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(src, 3, 1, dib.bits.data(), dib.info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(src, -1, 2, dib.bits.data(), dib.info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(src, 0, 3, dib.bits.data(), dib.info, 1), 0);
}

TEST(DibSetBits, EightBitsThroughTheColourTable) {
    TestDib dib(3, 2, 8);
    dib.SetColour(0, A);
    dib.SetColour(1, B);
    dib.SetColour(2, C);
    dib.SetColour(255, D);
    dib.Set(0, 0, 1), dib.Set(1, 0, 2), dib.Set(2, 0, 255);
    dib.Set(0, 1, 0), dib.Set(1, 1, 0), dib.Set(2, 1, 1);
    Bitmap b(3, 2);
    EXPECT_EQ(SetDIBits(b, 0, 2, dib.bits.data(), dib.info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(Letters(b), "AAB|BCD");
}

TEST(DibSetBits, FourBitsHighNibbleFirst) {
    TestDib dib(5, 1, 4);
    dib.SetColour(3, A);
    dib.SetColour(7, B);
    dib.SetColour(12, C);
    dib.SetColour(15, D);
    for (int x = 0; x < 5; ++x)
        dib.Set(x, 0, std::uint32_t(std::array{3, 7, 12, 15, 7}[x]));
    EXPECT_EQ(dib.bits[0], 0x37);
    Bitmap b(5, 1);
    EXPECT_EQ(SetDIBits(b, 0, 1, dib.bits.data(), dib.info, DIB_RGB_COLORS), 1);
    EXPECT_EQ(Letters(b), "ABCDB");
}

TEST(DibSetBits, OneBitLeftmostInTheHighBit) {
    TestDib dib(10, 1, 1);
    dib.SetColour(0, A);
    dib.SetColour(1, B);
    for (int x : {0, 3, 8})
        dib.Set(x, 0, 1);
    EXPECT_EQ(dib.bits[0], 0x90);
    EXPECT_EQ(dib.bits[1], 0x80);
    Bitmap b(10, 1);
    SetDIBits(b, 0, 1, dib.bits.data(), dib.info, DIB_RGB_COLORS);
    EXPECT_EQ(Letters(b), "BAABAAAABA");
}

TEST(DibSetBits, OnlyTheOverlapFromTheBottomLeft) {
    Bitmap b(4, 3);
    TestDib small = TwoByTwo();
    EXPECT_EQ(SetDIBits(b, 0, 2, small.bits.data(), small.info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(Letters(b), "....|CD..|AB..");

    TestDib big(6, 5, 24);
    for (int r = 0; r < 5; ++r)
        for (int x = 0; x < 6; ++x)
            big.Set(x, r, (x + r) % 2 ? A : B);
    Bitmap c(4, 3);
    EXPECT_EQ(SetDIBits(c, 0, 5, big.bits.data(), big.info, DIB_RGB_COLORS), 3);
    EXPECT_EQ(Letters(c), "BABA|ABAB|BABA");
}

TEST(DibSetBits, ScansFromTheMiddle) {
    // The bits hold scan lines 1 and 2 only; they land on stored rows 1 and 2.
    TestDib part(2, 2, 24);
    part.Set(0, 0, A), part.Set(1, 0, B), part.Set(0, 1, C), part.Set(1, 1, D);
    part.info.bmiHeader.biHeight = 4;
    Bitmap b(2, 4);
    EXPECT_EQ(SetDIBits(b, 1, 2, part.bits.data(), part.info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(Letters(b), "..|CD|AB|..");
}

TEST(DibSetBits, MonochromeTargetIsReduced) {
    TestDib dib(3, 1, 8);
    dib.SetColour(0, RGB(200, 200, 0));  // sum 400: white
    dib.SetColour(1, RGB(0, 0, 255));    // black
    dib.Set(1, 0, 1);
    TestDib rgb(2, 1, 24);
    rgb.Set(0, 0, RGB(128, 128, 127));
    rgb.Set(1, 0, RGB(128, 127, 127));
    rgb.info.bmiHeader.biHeight = 2;  // the bits hold scan line 1 of two
    Bitmap b(3, 2, PixelFormat::Mono);
    SetDIBits(b, 0, 1, dib.bits.data(), dib.info, DIB_RGB_COLORS);
    SetDIBits(b, 1, 1, rgb.bits.data(), rgb.info, DIB_RGB_COLORS);
    EXPECT_EQ(test::BlackWhite(b), ".#.|.#.");
}

TEST(DibSetBits, RefusesBadDibsAndChangesNothing) {
    Bitmap b(2, 2);
    TestDib ok = TwoByTwo();
    TestDib sixteen = TwoByTwo();
    sixteen.info.bmiHeader.biBitCount = 16;
    TestDib thirtyTwo = TwoByTwo();
    thirtyTwo.info.bmiHeader.biBitCount = 32;
    TestDib packed = TwoByTwo();
    packed.info.bmiHeader.biCompression = 1;
    TestDib topDown = TwoByTwo();
    topDown.info.bmiHeader.biHeight = -2;
    for (TestDib* d : {&sixteen, &thirtyTwo, &packed, &topDown})
        EXPECT_EQ(SetDIBits(b, 0, 2, d->bits.data(), d->info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBits(b, 0, 2, nullptr, ok.info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBits(b, 0, 2, ok.bits.data(), ok.info, 1), 0);
    EXPECT_EQ(SetDIBits(b, 2, 1, ok.bits.data(), ok.info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(test::FirstDifference(b, Bitmap(2, 2)), "");
}

TEST(StretchDIBits, EnlargingByThreeTakesRowsBottomUp) {
    Bitmap b(8, 8);
    Canvas canvas(b);
    const TestDib dib = TwoByTwo();
    EXPECT_EQ(canvas.StretchDIBits(1, 1, 6, 6, 0, 0, 2, 2, dib.bits.data(), dib.info,
                                   DIB_RGB_COLORS, SRCCOPY),
              6);
    EXPECT_EQ(Letters(b),
              "........|.CCCDDD.|.CCCDDD.|.CCCDDD.|.AAABBB.|.AAABBB.|.AAABBB.|........");
}

TEST(StretchDIBits, ShrinkingTakesEveryOtherPixel) {
    TestDib dib(6, 4, 24);
    auto code = [](int x, int t) { return RGB(std::uint8_t(x), std::uint8_t(t), 7); };
    for (int t = 0; t < 4; ++t)
        for (int x = 0; x < 6; ++x)
            dib.Set(x, 3 - t, code(x, t));
    Bitmap b(3, 2);
    Canvas canvas(b);
    EXPECT_EQ(canvas.StretchDIBits(0, 0, 3, 2, 0, 0, 6, 4, dib.bits.data(), dib.info,
                                   DIB_RGB_COLORS, SRCCOPY),
              2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(b.Pixel(c, r), code(2 * c, 2 * r)) << c << "," << r;
}

TEST(StretchDIBits, SourceRectangleCountsFromTheBottom) {
    TestDib dib(1, 3, 24);
    dib.Set(0, 0, A), dib.Set(0, 1, B), dib.Set(0, 2, C);  // C on top
    Bitmap b(2, 2);
    Canvas canvas(b);
    canvas.StretchDIBits(0, 0, 1, 2, 0, 1, 1, 2, dib.bits.data(), dib.info, DIB_RGB_COLORS,
                         SRCCOPY);
    canvas.StretchDIBits(1, 0, 1, 2, 0, 0, 1, 2, dib.bits.data(), dib.info, DIB_RGB_COLORS,
                         SRCCOPY);
    EXPECT_EQ(Letters(b), "CB|BA");
}

TEST(StretchDIBits, PaletteDepthsThroughTheirTables) {
    for (int bitCount : {1, 4, 8}) {
        TestDib dib(2, 2, bitCount);
        dib.SetColour(0, A);
        dib.SetColour(1, B);
        dib.Set(1, 0, 1);
        dib.Set(0, 1, 1);
        Bitmap b(4, 4);
        Canvas canvas(b);
        EXPECT_EQ(canvas.StretchDIBits(0, 0, 4, 4, 0, 0, 2, 2, dib.bits.data(), dib.info,
                                       DIB_RGB_COLORS, SRCCOPY),
                  4);
        EXPECT_EQ(Letters(b), "BBAA|BBAA|AABB|AABB") << bitCount;
    }
}

TEST(StretchDIBits, AppliesTheRasterOperation) {
    std::mt19937 rng(2);
    Bitmap b = test::RandomBitmap(4, 4, PixelFormat::Rgb24, rng);
    const Bitmap before = b;
    Canvas canvas(b);
    const TestDib dib = TwoByTwo();
    canvas.StretchDIBits(0, 0, 4, 4, 0, 0, 2, 2, dib.bits.data(), dib.info, DIB_RGB_COLORS,
                         SRCINVERT);
    EXPECT_EQ(b.Pixel(0, 0), before.Pixel(0, 0) ^ C);
    EXPECT_EQ(b.Pixel(3, 3), before.Pixel(3, 3) ^ B);
    canvas.brush.color = RGB(1, 2, 3);
    canvas.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, dib.bits.data(), dib.info, DIB_RGB_COLORS,
                         PATCOPY);
    EXPECT_EQ(b.Pixel(1, 1), RGB(1, 2, 3));
}

TEST(StretchDIBits, ClippedToTheCanvasAndTheDib) {
    Bitmap b(3, 3);
    Canvas canvas(b);
    const TestDib dib = TwoByTwo();
    // Destination half outside: the two visible rows are drawn.
    EXPECT_EQ(canvas.StretchDIBits(-2, -2, 4, 4, 0, 0, 2, 2, dib.bits.data(), dib.info,
                                   DIB_RGB_COLORS, SRCCOPY),
              2);
    EXPECT_EQ(Letters(b), "BB.|BB.|...");
    // A source rectangle reaching past the DIB leaves those destination pixels alone.
    Bitmap c(4, 2);
    Canvas other(c);
    other.StretchDIBits(0, 0, 4, 2, 0, 0, 4, 2, dib.bits.data(), dib.info, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(Letters(c), "CD..|AB..");
}

TEST(StretchDIBits, ErrorsForBadArguments) {
    Bitmap b(4, 4);
    Canvas canvas(b);
    const TestDib dib = TwoByTwo();
    TestDib sixteen = TwoByTwo();
    sixteen.info.bmiHeader.biBitCount = 16;
    const auto call = [&](int dw, int dh, int sw, int sh, const TestDib& d, const void* bits) {
        return canvas.StretchDIBits(0, 0, dw, dh, 0, 0, sw, sh, bits, d.info, DIB_RGB_COLORS,
                                    SRCCOPY);
    };
    EXPECT_EQ(call(4, 4, 2, 2, dib, nullptr), GDI_ERROR);
    EXPECT_EQ(call(4, 4, 2, 2, sixteen, sixteen.bits.data()), GDI_ERROR);
    EXPECT_EQ(call(-4, 4, 2, 2, dib, dib.bits.data()), GDI_ERROR);
    EXPECT_EQ(call(4, 4, 2, -2, dib, dib.bits.data()), GDI_ERROR);
    EXPECT_EQ(call(0, 4, 2, 2, dib, dib.bits.data()), 0);
    EXPECT_EQ(test::FirstDifference(b, Bitmap(4, 4)), "");
}

TEST(StretchDIBits, MonochromeCanvasIsReduced) {
    Bitmap b(2, 2, PixelFormat::Mono);
    Canvas canvas(b);
    TestDib dib(2, 1, 24);
    dib.Set(0, 0, RGB(250, 250, 250));
    dib.Set(1, 0, RGB(10, 250, 10));
    canvas.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 1, dib.bits.data(), dib.info, DIB_RGB_COLORS,
                         SRCCOPY);
    EXPECT_EQ(test::BlackWhite(b), ".#|.#");
}

TEST(SetDIBitsToDevice, WholeBufferFromItsOrigin) {
    Bitmap b(5, 4);
    Canvas canvas(b);
    const TestDib dib = TwoByTwo();
    EXPECT_EQ(
        canvas.SetDIBitsToDevice(2, 1, 2, 2, 0, 0, 0, 2, dib.bits.data(), dib.info, DIB_RGB_COLORS),
        2);
    EXPECT_EQ(Letters(b), ".....|..CD.|..AB.|.....");
}

TEST(SetDIBitsToDevice, OneRowBuffer) {
    Bitmap b(6, 3);
    Canvas canvas(b);
    TestDib row(4, 1, 8);
    row.SetColour(1, A);
    row.SetColour(2, D);
    row.Set(0, 0, 1), row.Set(1, 0, 2), row.Set(2, 0, 2), row.Set(3, 0, 1);
    EXPECT_EQ(
        canvas.SetDIBitsToDevice(1, 2, 4, 1, 0, 0, 0, 1, row.bits.data(), row.info, DIB_RGB_COLORS),
        1);
    EXPECT_EQ(Letters(b), "......|......|.ADDA.");
}

TEST(SetDIBitsToDevice, ClippedAndOnlyTheRowsInTheBuffer) {
    Bitmap b(2, 2);
    Canvas canvas(b);
    const TestDib dib = TwoByTwo();
    EXPECT_EQ(canvas.SetDIBitsToDevice(-1, -1, 2, 2, 0, 0, 0, 2, dib.bits.data(), dib.info,
                                       DIB_RGB_COLORS),
              2);
    EXPECT_EQ(Letters(b), "B.|..");
    // Bits holding scan line 1 alone: only the top row of the rectangle is drawn.
    TestDib upper(2, 1, 24);
    upper.Set(0, 0, C), upper.Set(1, 0, D);
    upper.info.bmiHeader.biHeight = 2;
    Bitmap c(2, 2);
    Canvas other(c);
    EXPECT_EQ(other.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 1, 1, upper.bits.data(), upper.info,
                                      DIB_RGB_COLORS),
              1);
    EXPECT_EQ(Letters(c), "CD|..");
}

TEST(SetDIBitsToDevice, FailsWithoutBitsOrDepth) {
    Bitmap b(2, 2);
    Canvas canvas(b);
    TestDib dib = TwoByTwo();
    EXPECT_EQ(canvas.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 0, 2, nullptr, dib.info, DIB_RGB_COLORS),
              0);
    dib.info.bmiHeader.biBitCount = 32;
    EXPECT_EQ(
        canvas.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 0, 2, dib.bits.data(), dib.info, DIB_RGB_COLORS),
        0);
}

TEST(CanvasStretchBlt, RowsCountedFromTheTop) {
    Bitmap src(2, 2);
    src.SetPixel(0, 0, C), src.SetPixel(1, 0, D), src.SetPixel(0, 1, A), src.SetPixel(1, 1, B);
    Bitmap b(5, 4);
    Canvas canvas(b);
    EXPECT_TRUE(canvas.StretchBlt(1, 0, 4, 4, src, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(Letters(b), ".CCDD|.CCDD|.AABB|.AABB");
    EXPECT_TRUE(canvas.StretchBlt(0, 0, 1, 1, src, 1, 1, 1, 1, SRCCOPY));
    EXPECT_EQ(b.Pixel(0, 0), B);
    EXPECT_FALSE(canvas.StretchBlt(0, 0, -1, 1, src, 0, 0, 1, 1, SRCCOPY));
}

TEST(CanvasStretchBlt, OntoItself) {
    Bitmap b(4, 4);
    b.SetPixel(0, 0, A), b.SetPixel(1, 0, B), b.SetPixel(0, 1, C), b.SetPixel(1, 1, D);
    Canvas canvas(b);
    EXPECT_TRUE(canvas.StretchBlt(0, 0, 4, 4, b, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(Letters(b), "AABB|AABB|CCDD|CCDD");
}

TEST(CanvasDevice, Capabilities) {
    Bitmap rgb(2, 2), mono(2, 2, PixelFormat::Mono);
    const Canvas screen(rgb), printer(mono, DT_RASPRINTER);
    EXPECT_EQ(screen.GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(printer.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(screen.GetDeviceCaps(RASTERCAPS),
              RC_BITBLT | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB);
    EXPECT_EQ(screen.GetDeviceCaps(BITSPIXEL), 24);
    EXPECT_EQ(printer.GetDeviceCaps(BITSPIXEL), 1);
    EXPECT_EQ(screen.GetDeviceCaps(999), 0);
}

TEST(CanvasDevice, StateOnlyCalls) {
    Bitmap b(1, 1);
    Canvas canvas(b);
    EXPECT_EQ(canvas.SetStretchBltMode(HALFTONE), COLORONCOLOR);
    EXPECT_EQ(canvas.SetStretchBltMode(COLORONCOLOR), HALFTONE);
    EXPECT_EQ(canvas.SelectPalette(42, false), 0u);
    EXPECT_EQ(canvas.SelectPalette(0, false), 42u);
    EXPECT_EQ(canvas.RealizePalette(), 0);
}

TEST(CanvasDevice, CompatibleBitmapsHaveTheCanvasFormat) {
    Bitmap rgb(1, 1), mono(1, 1, PixelFormat::Mono);
    Canvas a(rgb), m(mono);
    const auto x = a.CreateCompatibleBitmap(7, 3);
    const auto y = m.CreateCompatibleBitmap(2, 5);
    ASSERT_TRUE(x && y);
    EXPECT_EQ(x->Format(), PixelFormat::Rgb24);
    EXPECT_EQ(x->Width(), 7);
    EXPECT_EQ(x->Height(), 3);
    EXPECT_EQ(y->Format(), PixelFormat::Mono);
    EXPECT_EQ(a.CreateCompatibleBitmap(0, 4), nullptr);
    EXPECT_EQ(a.CreateCompatibleBitmap(3, -1), nullptr);
    // A row too long for any stride fails instead of wrapping round.
    EXPECT_EQ(a.CreateCompatibleBitmap(INT32_MAX, 1), nullptr);
}

}  // namespace
}  // namespace gw
