#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "raster/DibService.h"
#include "raster/ImageFiles.h"
#include "raster/ImageFixtures.h"

namespace gw {
namespace {

using test::Bytes;
using test::Rgb;

DibImage Decode(const Bytes& bytes) {
    DibImage dib;
    EXPECT_TRUE(DecodeImage(bytes.data(), bytes.size(), dib));
    return dib;
}

// Pixel of image row t (from the top).
std::uint32_t At(const DibImage& dib, int x, int t) {
    return getpixel(dib, x, DibHeight(dib) - 1 - t);
}

void ExpectTable(const DibImage& dib, const std::vector<Rgb>& colors) {
    for (int i = 0; i < 256; ++i) {
        const RgbQuad& q = dib.Info->bmiColors[i];
        const Rgb want = i < int(colors.size()) ? colors[std::size_t(i)] : Rgb{0, 0, 0};
        EXPECT_EQ(q, (RgbQuad{want.b, want.g, want.r, 0})) << "entry " << i;
    }
}

const std::vector<Rgb> kFour = {{10, 20, 30}, {200, 0, 0}, {0, 180, 0}, {1, 2, 250}};

// --- GIF --------------------------------------------------------------------------------------

TEST(DecodeGif, KeepsIndicesAndColourTable) {
    test::GifPlan plan;
    plan.width = 4;
    plan.height = 3;
    plan.globalMap = kFour;
    plan.pixels = {0, 1, 2, 3, 3, 2, 1, 0, 1, 1, 2, 2};
    const DibImage dib = Decode(test::MakeGif(plan));
    ASSERT_EQ(DibBitCount(dib), 8u);
    ASSERT_EQ(DibWidth(dib), 4);
    ASSERT_EQ(DibHeight(dib), 3);
    ExpectTable(dib, kFour);
    for (int t = 0; t < 3; ++t)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(dib, x, t), plan.pixels[std::size_t(4 * t + x)]) << x << "," << t;
}

TEST(DecodeGif, LocalTableTakesPrecedence) {
    test::GifPlan plan;
    plan.globalMap = {{1, 1, 1}, {2, 2, 2}};
    plan.localMap = kFour;
    plan.width = 2;
    plan.pixels = {3, 2};
    const DibImage dib = Decode(test::MakeGif(plan));
    ExpectTable(dib, kFour);
    EXPECT_EQ(At(dib, 0, 0), 3u);
}

TEST(DecodeGif, SmallImageSitsOnTheBackground) {
    test::GifPlan plan;
    plan.screenWidth = 6;
    plan.screenHeight = 5;
    plan.background = 3;
    plan.globalMap = kFour;
    plan.left = 2;
    plan.top = 1;
    plan.width = 2;
    plan.height = 2;
    plan.pixels = {0, 1, 2, 0};
    const DibImage dib = Decode(test::MakeGif(plan));
    ASSERT_EQ(DibWidth(dib), 6);
    ASSERT_EQ(DibHeight(dib), 5);
    for (int t = 0; t < 5; ++t) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 2 && x < 4 && t >= 1 && t < 3;
            const std::uint32_t want = inside ? plan.pixels[std::size_t((t - 1) * 2 + x - 2)] : 3;
            EXPECT_EQ(At(dib, x, t), want) << x << "," << t;
        }
    }
}

TEST(DecodeGif, InterlacedRowsLandInPlace) {
    test::GifPlan plan;
    plan.globalMap.resize(16, Rgb{0, 0, 0});
    plan.width = 2;
    plan.height = 11;
    plan.interlaced = true;
    for (int t = 0; t < 11; ++t)
        plan.pixels.insert(plan.pixels.end(), {std::uint8_t(t), std::uint8_t(15 - t)});
    const DibImage dib = Decode(test::MakeGif(plan));
    for (int t = 0; t < 11; ++t) {
        EXPECT_EQ(At(dib, 0, t), std::uint32_t(t));
        EXPECT_EQ(At(dib, 1, t), std::uint32_t(15 - t));
    }
}

TEST(DecodeGif, TransparencyIsIgnoredAndOnlyTheFirstImageCounts) {
    test::GifPlan plan;
    plan.globalMap = kFour;
    plan.width = 3;
    plan.pixels = {2, 0, 2};
    plan.transparentIndex = 2;
    plan.second = true;
    const DibImage dib = Decode(test::MakeGif(plan));
    EXPECT_EQ(At(dib, 0, 0), 2u);
    EXPECT_EQ(At(dib, 1, 0), 0u);
    EXPECT_EQ(At(dib, 2, 0), 2u);
}

TEST(DecodeGif, WithoutAnyColourTableIsRefused) {
    test::GifPlan plan;
    plan.pixels = {0};
    const Bytes bytes = test::MakeGif(plan);
    DibImage dib;
    EXPECT_FALSE(DecodeImage(bytes.data(), bytes.size(), dib));
    EXPECT_TRUE(dib.Empty());
}

// --- PNG --------------------------------------------------------------------------------------

TEST(DecodePng, PaletteImageKeepsIndicesAndPalette) {
    test::PngPlan plan;
    plan.width = 3;
    plan.height = 2;
    plan.colorType = PNG_COLOR_TYPE_PALETTE;
    plan.palette = kFour;
    plan.transparency = {0, 255};  // alpha is ignored for palette images
    plan.rows = {3, 1, 0, 2, 2, 1};
    const DibImage dib = Decode(test::MakePng(plan));
    ASSERT_EQ(DibBitCount(dib), 8u);
    ExpectTable(dib, kFour);
    EXPECT_EQ(At(dib, 0, 0), 3u);
    EXPECT_EQ(At(dib, 2, 0), 0u);
    EXPECT_EQ(At(dib, 0, 1), 2u);
    EXPECT_EQ(At(dib, 2, 1), 1u);
}

TEST(DecodePng, PackedPaletteIndicesAreWidenedToBytes) {
    test::PngPlan plan;
    plan.width = 5;
    plan.height = 1;
    plan.colorType = PNG_COLOR_TYPE_PALETTE;
    plan.depth = 2;
    plan.palette = kFour;
    plan.rows = {0b00011011, 0b10000000};  // 0 1 2 3 | 2
    const DibImage dib = Decode(test::MakePng(plan));
    ASSERT_EQ(DibBitCount(dib), 8u);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(At(dib, x, 0), std::uint32_t(x));
    EXPECT_EQ(At(dib, 4, 0), 2u);
}

TEST(DecodePng, RgbBecomes24BitExactly) {
    test::PngPlan plan;
    plan.width = 2;
    plan.height = 2;
    plan.rows = {1, 2, 3, 250, 128, 0, 9, 8, 7, 0, 0, 255};
    const DibImage dib = Decode(test::MakePng(plan));
    ASSERT_EQ(DibBitCount(dib), 24u);
    EXPECT_EQ(At(dib, 0, 0), 0x010203u);
    EXPECT_EQ(At(dib, 1, 0), 0xFA8000u);
    EXPECT_EQ(At(dib, 0, 1), 0x090807u);
    EXPECT_EQ(At(dib, 1, 1), 0x0000FFu);
    EXPECT_EQ(dib.Row(0)[0], 3);  // blue first
}

TEST(DecodePng, GreyOfAnyDepthBecomesGreyRgb) {
    test::PngPlan eight;
    eight.width = 2;
    eight.colorType = PNG_COLOR_TYPE_GRAY;
    eight.rows = {0x37, 0xC8};
    DibImage dib = Decode(test::MakePng(eight));
    EXPECT_EQ(At(dib, 0, 0), 0x373737u);
    EXPECT_EQ(At(dib, 1, 0), 0xC8C8C8u);

    test::PngPlan one;
    one.width = 3;
    one.colorType = PNG_COLOR_TYPE_GRAY;
    one.depth = 1;
    one.rows = {0b10100000};
    dib = Decode(test::MakePng(one));
    EXPECT_EQ(At(dib, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(At(dib, 1, 0), 0u);
    EXPECT_EQ(At(dib, 2, 0), 0xFFFFFFu);
}

TEST(DecodePng, AlphaIsLaidOverWhite) {
    test::PngPlan plan;
    plan.width = 3;
    plan.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    plan.rows = {10, 20, 30, 255, 10, 20, 30, 0, 0, 0, 0, 128};
    const DibImage dib = Decode(test::MakePng(plan));
    ASSERT_EQ(DibBitCount(dib), 24u);
    EXPECT_EQ(At(dib, 0, 0), 0x0A141Eu);
    EXPECT_EQ(At(dib, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(At(dib, 2, 0), 0x7F7F7Fu);  // (255 * 127 + 127) div 255

    test::PngPlan greyAlpha;
    greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.rows = {0, 64};
    EXPECT_EQ(At(Decode(test::MakePng(greyAlpha)), 0, 0), 0xBFBFBFu);  // 255 * 191 / 255
}

TEST(DecodePng, ColourKeyBecomesWhite) {
    test::PngPlan plan;
    plan.width = 2;
    plan.rows = {1, 2, 3, 4, 5, 6};
    plan.transparency = {0, 4, 0, 5, 0, 6};
    const DibImage dib = Decode(test::MakePng(plan));
    EXPECT_EQ(At(dib, 0, 0), 0x010203u);
    EXPECT_EQ(At(dib, 1, 0), 0xFFFFFFu);
}

TEST(DecodePng, SixteenBitChannelsAreScaledDown) {
    test::PngPlan plan;
    plan.depth = 16;
    plan.rows = {0xFF, 0xFF, 0x80, 0x80, 0x00, 0x7F};
    EXPECT_EQ(At(Decode(test::MakePng(plan)), 0, 0), 0xFF8000u);
}

TEST(DecodePng, InterlacedEqualsPlain) {
    test::PngPlan plan;
    plan.width = 13;
    plan.height = 11;
    for (int i = 0; i < 13 * 11 * 3; ++i)
        plan.rows.push_back(std::uint8_t(i * 7));
    const DibImage plain = Decode(test::MakePng(plan));
    plan.interlaced = true;
    const DibImage interlaced = Decode(test::MakePng(plan));
    ASSERT_EQ(DibImageSize(plain), DibImageSize(interlaced));
    for (int t = 0; t < 11; ++t)
        for (int x = 0; x < 13; ++x)
            EXPECT_EQ(At(plain, x, t), At(interlaced, x, t));
    EXPECT_EQ(At(plain, 1, 0), 0x151C23u);  // bytes 3, 4 and 5 hold 21, 28 and 35
}

// --- JPEG -------------------------------------------------------------------------------------

int Distance(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = int(a >> shift & 0xFF) - int(b >> shift & 0xFF);
        worst = std::max(worst, d < 0 ? -d : d);
    }
    return worst;
}

TEST(DecodeJpeg, ColourBecomes24Bit) {
    test::JpegPlan plan;
    plan.width = 16;
    plan.height = 8;
    for (int i = 0; i < 16 * 8; ++i)
        plan.pixels.insert(plan.pixels.end(), {200, 40, 90});
    const DibImage dib = Decode(test::MakeJpeg(plan));
    ASSERT_EQ(DibBitCount(dib), 24u);
    ASSERT_EQ(DibWidth(dib), 16);
    for (int t = 0; t < 8; ++t)
        for (int x = 0; x < 16; ++x)
            EXPECT_LE(Distance(At(dib, x, t), 0xC8285Au), 3);
}

TEST(DecodeJpeg, GreyIsExpandedAndProgressiveIsRead) {
    test::JpegPlan plan;
    plan.components = 1;
    plan.progressive = true;
    plan.pixels.assign(64, 77);
    const DibImage dib = Decode(test::MakeJpeg(plan));
    ASSERT_EQ(DibBitCount(dib), 24u);
    EXPECT_EQ(At(dib, 3, 3), 0x4D4D4Du);
}

// A progressive picture is read from all its coefficients at once: a file whose coefficients
// would take more than the caller's largest picture is refused, a baseline one of the same size
// is not.
TEST(DecodeJpeg, ProgressiveCoefficientsKeepToTheLimit) {
    struct Case {
        bool progressive;
        std::int64_t maxPixels;
        bool decodes;
    };
    const Case cases[] = {{false, 1700, true}, {true, 1700, false}, {true, 2400, true}};
    for (const Case& c : cases) {
        test::JpegPlan plan;
        plan.width = plan.height = 40;
        plan.progressive = c.progressive;
        plan.pixels.assign(40 * 40 * 3, 90);
        const test::Bytes bytes = test::MakeJpeg(plan);
        DibImage dib;
        EXPECT_EQ(DecodeImage(bytes.data(), bytes.size(), dib, ImageLimits{9999, c.maxPixels}),
                  c.decodes)
            << c.progressive << " " << c.maxPixels;
    }
}

TEST(DecodeJpeg, AdobeCmykIsConverted) {
    test::JpegPlan plan;
    plan.components = 4;
    // Stored inverted, as with the Adobe marker: no cyan, full magenta and yellow, no black.
    for (int i = 0; i < 64; ++i)
        plan.pixels.insert(plan.pixels.end(), {255, 0, 0, 255});
    const DibImage dib = Decode(test::MakeJpeg(plan));
    ASSERT_EQ(DibBitCount(dib), 24u);
    EXPECT_LE(Distance(At(dib, 4, 4), 0xFF0000u), 3);
}

TEST(DecodeJpeg, ArithmeticCodingIsRefused) {
    test::JpegPlan plan;
    plan.arithmetic = true;
    plan.pixels.assign(64 * 3, 100);
    const Bytes bytes = test::MakeJpeg(plan);
    DibImage dib;
    EXPECT_FALSE(DecodeImage(bytes.data(), bytes.size(), dib));
}

// --- BMP --------------------------------------------------------------------------------------

TEST(DecodeBmp, TwentyFourBitsAsStored) {
    test::BmpPlan plan;
    plan.width = 2;
    plan.height = 2;
    plan.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    const DibImage dib = Decode(test::MakeBmp(plan));
    ASSERT_EQ(DibBitCount(dib), 24u);
    EXPECT_EQ(getpixel(dib, 0, 0), 0x030201u);  // stored row 0 is the bottom
    EXPECT_EQ(getpixel(dib, 1, 1), 0x0C0B0Au);
}

TEST(DecodeBmp, TopDownRowsAreFlipped) {
    test::BmpPlan plan;
    plan.width = 1;
    plan.height = -3;
    plan.pixels = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0};
    const DibImage dib = Decode(test::MakeBmp(plan));
    ASSERT_EQ(DibHeight(dib), 3);
    EXPECT_EQ(At(dib, 0, 0), 0x010101u);  // the file's first row is the top
    EXPECT_EQ(At(dib, 0, 2), 0x030303u);
}

TEST(DecodeBmp, PaletteDepthsAreKeptWithTheirTable) {
    test::BmpPlan one;
    one.bits = 1;
    one.width = 10;
    one.table = {{0, 0, 0}, {255, 255, 255}};
    one.pixels = {0b10110000, 0b01000000, 0, 0};
    DibImage dib = Decode(test::MakeBmp(one));
    ASSERT_EQ(DibBitCount(dib), 1u);
    EXPECT_EQ(dib.Info->bmiColors[1], (RgbQuad{255, 255, 255, 0}));
    const std::uint32_t bits[10] = {1, 0, 1, 1, 0, 0, 0, 0, 0, 1};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(getpixel(dib, x, 0), bits[x]);

    test::BmpPlan four;
    four.bits = 4;
    four.width = 3;
    four.colorsUsed = 3;
    four.table = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    four.pixels = {0x21, 0x00, 0, 0};
    dib = Decode(test::MakeBmp(four));
    ASSERT_EQ(DibBitCount(dib), 4u);
    ExpectTable(dib, four.table);
    EXPECT_EQ(getpixel(dib, 0, 0), 2u);
    EXPECT_EQ(getpixel(dib, 1, 0), 1u);

    test::BmpPlan eight;
    eight.bits = 8;
    eight.width = 2;
    eight.colorsUsed = 4;
    eight.table = kFour;
    eight.pixels = {3, 1, 0, 0};
    dib = Decode(test::MakeBmp(eight));
    ASSERT_EQ(DibBitCount(dib), 8u);
    ExpectTable(dib, kFour);
    EXPECT_EQ(getpixel(dib, 0, 0), 3u);
}

TEST(DecodeBmp, CoreHeaderWithThreeByteEntries) {
    test::BmpPlan plan;
    plan.headerSize = 12;
    plan.bits = 8;
    plan.width = 1;
    plan.table.assign(256, Rgb{0, 0, 0});
    plan.table[7] = {9, 8, 7};
    plan.pixels = {7, 0, 0, 0};
    const DibImage dib = Decode(test::MakeBmp(plan));
    EXPECT_EQ(dib.Info->bmiColors[7], (RgbQuad{7, 8, 9, 0}));
    EXPECT_EQ(getpixel(dib, 0, 0), 7u);
}

TEST(DecodeBmp, ThirtyTwoBitsLoseTheirFourthByte) {
    test::BmpPlan plain;
    plain.bits = 32;
    plain.width = 2;
    plain.pixels = {1, 2, 3, 99, 4, 5, 6, 99};
    DibImage dib = Decode(test::MakeBmp(plain));
    ASSERT_EQ(DibBitCount(dib), 24u);
    EXPECT_EQ(getpixel(dib, 1, 0), 0x060504u);

    test::BmpPlan v5 = plain;
    v5.headerSize = 124;
    v5.compression = 3;
    dib = Decode(test::MakeBmp(v5));
    EXPECT_EQ(getpixel(dib, 0, 0), 0x030201u);

    test::BmpPlan masks = plain;
    masks.compression = 3;
    masks.bitfieldMasks = true;
    dib = Decode(test::MakeBmp(masks));
    EXPECT_EQ(getpixel(dib, 1, 0), 0x060504u);
}

TEST(DecodeBmp, RunLengthEightBits) {
    test::BmpPlan plan;
    plan.bits = 8;
    plan.compression = 1;
    plan.width = 6;
    plan.height = 3;
    plan.colorsUsed = 4;
    plan.table = kFour;
    plan.pixels = {
        3, 2, 0, 3, 1, 3, 2, 0,  // bottom row: 2 2 2, then 1 3 2 as they are (padded)
        0, 0,                    // end of line
        0, 2, 4, 1,              // delta: 4 right, 1 up -> row 2 at x = 4
        9, 1,                    // 9 pixels of 1: two fit, the rest falls off the edge
        0, 1,                    // end of picture
    };
    const DibImage dib = Decode(test::MakeBmp(plan));
    ASSERT_EQ(DibBitCount(dib), 8u);
    const std::uint32_t rows[3][6] = {{2, 2, 2, 1, 3, 2}, {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 1, 1}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(getpixel(dib, x, y), rows[y][x]) << x << "," << y;
}

TEST(DecodeBmp, RunLengthFourBits) {
    test::BmpPlan plan;
    plan.bits = 4;
    plan.compression = 2;
    plan.width = 7;
    plan.height = 1;
    plan.colorsUsed = 16;
    plan.table.assign(16, Rgb{1, 1, 1});
    plan.pixels = {
        3, 0x12,              // 1 2 1
        0, 3,    0xAB, 0xC0,  // A B C as they are
        0, 1,
    };
    const DibImage dib = Decode(test::MakeBmp(plan));
    ASSERT_EQ(DibBitCount(dib), 4u);
    const std::uint32_t row[7] = {1, 2, 1, 0xA, 0xB, 0xC, 0};
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(getpixel(dib, x, 0), row[x]) << x;
}

// --- Palette pictures wanted at 24 bits ------------------------------------------------------

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = std::uint8_t(i * 37 + 11);
    return bytes;
}

TEST(PaletteAsTrueColour, EveryPixelIsItsIndexLookedUp) {
    const auto png = [](int depth, bool interlaced, Bytes transparency) {
        test::PngPlan plan;
        plan.width = 13;
        plan.height = 9;
        plan.colorType = 3;  // palette
        plan.depth = depth;
        plan.interlaced = interlaced;
        for (int i = 0; i < 1 << depth; ++i)
            plan.palette.push_back({std::uint8_t(i * 5), std::uint8_t(i ^ 0x5A), std::uint8_t(~i)});
        plan.transparency = std::move(transparency);
        plan.rows = Pattern(std::size_t((13 * depth + 7) / 8) * 9);
        return test::MakePng(plan);
    };
    const auto gif = [](int screen, bool interlaced) {
        test::GifPlan plan;
        plan.screenWidth = screen;
        plan.screenHeight = screen;
        plan.background = 2;
        plan.globalMap = kFour;
        plan.left = screen ? 3 : 0;
        plan.top = screen ? 2 : 0;
        plan.width = 11;
        plan.height = 10;
        plan.interlaced = interlaced;
        plan.pixels = Pattern(110);
        for (std::uint8_t& index : plan.pixels)
            index &= 3;
        return test::MakeGif(plan);
    };
    const auto bmp = [](int bits, int height, std::uint32_t compression, Bytes pixels) {
        test::BmpPlan plan;
        plan.bits = std::uint16_t(bits);
        plan.width = compression ? 6 : 13;
        plan.height = height;
        plan.compression = compression;
        plan.table.assign(std::size_t(1) << bits, Rgb{0, 0, 0});
        for (std::size_t i = 0; i < plan.table.size(); ++i)
            plan.table[i] = {std::uint8_t(i * 3), std::uint8_t(255 - i), std::uint8_t(i * 7)};
        plan.pixels =
            pixels.empty()
                ? Pattern(std::size_t(DibStride(13, bits)) * std::size_t(std::abs(height)))
                : std::move(pixels);
        return test::MakeBmp(plan);
    };
    const Bytes rle8 = {3, 2, 0, 3, 1, 3, 2, 0, 0, 0, 0, 2, 4, 1, 9, 1, 0, 1};
    const Bytes rle4 = {3, 0x12, 0, 3, 0xAB, 0xC0, 0, 1};
    const std::pair<const char*, Bytes> cases[] = {
        {"PNG 1 bit", png(1, false, {})},
        {"PNG 2 bits", png(2, false, {})},
        {"PNG 4 bits", png(4, false, {})},
        {"PNG 8 bits", png(8, false, {})},
        {"PNG interlaced", png(8, true, {})},
        {"PNG with transparency", png(4, false, {0, 128})},
        {"GIF", gif(0, false)},
        {"GIF interlaced on a screen", gif(16, true)},
        {"BMP 1 bit", bmp(1, 5, 0, {})},
        {"BMP 4 bits", bmp(4, 5, 0, {})},
        {"BMP 8 bits top down", bmp(8, -5, 0, {})},
        {"BMP run-length 8 bits", bmp(8, 3, 1, rle8)},
        {"BMP run-length 4 bits", bmp(4, 1, 2, rle4)},
    };
    ImageLimits texture;
    texture.trueColour = true;
    for (const auto& [name, file] : cases) {
        DibImage palette, full;
        ASSERT_TRUE(DecodeImage(file.data(), file.size(), palette)) << name;
        ASSERT_TRUE(DecodeImage(file.data(), file.size(), full, texture)) << name;
        ASSERT_LE(DibBitCount(palette), 8u) << name;
        ASSERT_EQ(DibBitCount(full), 24u) << name;
        ASSERT_EQ(DibWidth(full), DibWidth(palette)) << name;
        ASSERT_EQ(DibHeight(full), DibHeight(palette)) << name;
        // Read from a file as it goes (BMP rows one at a time), the same; cut short, nothing.
        for (const std::size_t size : {file.size(), file.size() - 1}) {
            std::size_t at = 0;
            const ByteReader reader = [&](std::uint8_t* to, std::size_t n) {
                n = std::min(n, size - at);
                std::memcpy(to, file.data() + at, n);
                at += n;
                return n;
            };
            DibImage streamed;
            const bool read = DecodeImageFrom(reader, size, streamed, texture);
            if (size < file.size()) {
                EXPECT_TRUE(!read || !std::string_view(name).starts_with("BMP")) << name;
                continue;
            }
            ASSERT_TRUE(read) << name;
            ASSERT_EQ(DibImageSize(streamed), DibImageSize(full)) << name;
            EXPECT_EQ(std::memcmp(streamed.Bits.get(), full.Bits.get(), DibImageSize(full)), 0)
                << name;
        }
        for (int y = 0; y < DibHeight(full); ++y) {
            for (int x = 0; x < DibWidth(full); ++x) {
                const RgbQuad& want = palette.Info->bmiColors[getpixel(palette, x, y)];
                const std::uint8_t* got = full.StoredRow(y) + 3 * x;
                EXPECT_EQ((RgbQuad{got[0], got[1], got[2], 0}), want)
                    << name << " " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace gw
