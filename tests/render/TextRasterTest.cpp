#include "render/TextRaster.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "raster/DibService.h"
#include "render/Pipeline.h"
#include "render/Surface.h"

namespace gw {
namespace {

Lettering StartLettering(std::vector<std::string> lines = {"ZEF-LOR", "GbR"}) {
    Lettering lettering;
    InitStartState(lettering);
    lettering.settings.Font.name = "DejaVu Sans";
    lettering.settings.Memo1 = std::move(lines);
    return lettering;
}

std::uint8_t MaskAt(const DibImage& mask, std::int32_t x, std::int32_t y) {
    return mask.Row(y)[std::size_t(x) * 3];
}

struct Box {
    std::int32_t left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
    void Add(std::int32_t x, std::int32_t y) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
};

// The text block and its image.
TEST(TextRasterSize, EmptyTextIsOneSpace) {
    LetteringSettings s;
    s.Memo1.clear();
    EXPECT_EQ(JoinedText(s), " ");
    s.Memo1 = {""};
    EXPECT_EQ(JoinedText(s), " ");
    s.Memo1 = {"a", "", "b"};
    EXPECT_EQ(JoinedText(s), "a\r\rb");
}

TEST(TextRasterSize, TheLongerSideIsThePictureWidth) {
    std::int32_t w = 0, h = 0;
    TextImageSize(StartLettering().settings, 450, w, h);
    EXPECT_EQ(w, 450);
    EXPECT_LT(h, 450);
    EXPECT_GT(h, 0);
    // One narrow letter measures taller than wide: the image is 450 high, higher than the picture.
    TextImageSize(StartLettering({"I"}).settings, 450, w, h);
    EXPECT_EQ(h, 450);
    EXPECT_LT(w, 450);
}

TEST(RenderText, EmptyTextGivesAnEmptyMask) {
    Lettering lettering = StartLettering({});
    DibImage image, mask;
    RenderText(lettering, image, mask);
    ASSERT_TRUE(mask.Bits);
    for (std::int32_t y = 0; y < DibHeight(mask); ++y)
        for (std::int32_t x = 0; x < DibWidth(mask); ++x)
            ASSERT_EQ(MaskAt(mask, x, y), 255);
}

TEST(RenderText, WithoutShadowTheMaskIsLettersOrNothing) {
    Lettering lettering = StartLettering();
    DibImage image, mask;
    RenderText(lettering, image, mask);
    std::set<std::uint8_t> levels;
    std::size_t letters = 0;
    for (std::int32_t y = 0; y < DibHeight(mask); ++y) {
        for (std::int32_t x = 0; x < DibWidth(mask); ++x) {
            const std::uint8_t m = MaskAt(mask, x, y);
            levels.insert(m);
            const std::uint8_t* p = image.Row(y) + std::size_t(x) * 3;
            if (m == 0) {
                ++letters;
                EXPECT_EQ(p[0], 0xFF);  // blue letters: blue, green, red
                EXPECT_EQ(p[1], 0x00);
                EXPECT_EQ(p[2], 0x00);
            } else {
                EXPECT_EQ(p[0] & p[1] & p[2], 0xFF);  // white elsewhere
            }
        }
    }
    EXPECT_EQ(levels, (std::set<std::uint8_t>{0, 255}));
    EXPECT_GT(letters, 1000u);
}

// The shadow to the left and down: the text moves right by the offset and the shadow starts at the
// left edge, 10 pixels down.
TEST(RenderText, ShadowRoomKeepsTheShadowInsideTheImage) {
    Lettering lettering = StartLettering({"H"});
    LetteringSettings& s = lettering.settings;
    s.SchattenCheck = true;
    s.SRichtBox = 0;
    s.SRightEd = -10;
    s.SBottomEd = 10;
    s.SDeckEd = 100;
    DibImage image, mask;
    RenderTrace trace;
    RenderText(lettering, image, mask, &trace);
    Box letters, shadow;
    for (std::int32_t y = 0; y < DibHeight(mask); ++y) {
        for (std::int32_t x = 0; x < DibWidth(mask); ++x) {
            if (trace.letters.Row(y)[std::size_t(x) * 3] == 0) letters.Add(x, y);
            if (MaskAt(mask, x, y) == 0 && trace.letters.Row(y)[std::size_t(x) * 3] != 0)
                shadow.Add(x, y);
        }
    }
    // Each is the other moved by (-10, 10), and the block fits into (width - 10) x (height - 10).
    EXPECT_EQ(shadow.left, letters.left - 10);
    EXPECT_EQ(shadow.top, letters.top + 10);
    EXPECT_GE(shadow.left, 0);
    EXPECT_LT(shadow.bottom, DibHeight(mask));
    EXPECT_GE(letters.left, 10);
}

TEST(RenderText, SlantedShadowReservesNoRoom) {
    Lettering plain = StartLettering({"H"});
    Lettering slanted = StartLettering({"H"});
    slanted.settings.SchattenCheck = true;
    slanted.settings.SRichtBox = 2;
    DibImage image, mask;
    RenderTrace a, b;
    RenderText(plain, image, mask, &a);
    RenderText(slanted, image, mask, &b);
    ASSERT_EQ(DibImageSize(a.letters), DibImageSize(b.letters));
    EXPECT_EQ(std::memcmp(a.letters.Bits.get(), b.letters.Bits.get(), DibImageSize(a.letters)), 0);
}

// A palette texture fills the letters through its colour table, exactly as the same texture with
// 24 bits does.
TEST(TextSurface, PaletteAndTrueColourTexturesGiveTheSameColours) {
    DibImage palette, trueColour;
    newdib(palette, 5, 3, 8, nullptr, 0);
    newdib(trueColour, 5, 3, 24, nullptr, 0);
    for (int i = 0; i < 256; ++i) {
        palette.Info->bmiColors[i] = {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7),
                                      0};
    }
    for (std::int32_t y = 0; y < 3; ++y) {
        for (std::int32_t x = 0; x < 5; ++x) {
            const std::uint8_t index = std::uint8_t(x * 40 + y * 13);
            palette.Row(y)[x] = index;
            const RgbQuad c = palette.Info->bmiColors[index];
            std::uint8_t* p = trueColour.Row(y) + std::size_t(x) * 3;
            p[0] = c.rgbBlue;
            p[1] = c.rgbGreen;
            p[2] = c.rgbRed;
        }
    }
    const SurfaceSettings surface{SurfaceKind::BuiltinTexture, 0};
    Bitmap a(23, 11, PixelFormat::Rgb24, clWhite), b(23, 11, PixelFormat::Rgb24, clWhite);
    for (Bitmap* t : {&a, &b})
        for (std::int32_t y = 2; y < 9; ++y)
            for (std::int32_t x = 1; x < 20; ++x)
                t->SetPixel(x, y, clBlack);
    FillTextSurface(a, surface, palette);
    FillTextSurface(b, surface, trueColour);
    for (std::int32_t y = 0; y < 11; ++y) {
        for (std::int32_t x = 0; x < 23; ++x) {
            ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y));
            const bool letter = y >= 2 && y < 9 && x >= 1 && x < 20;
            if (!letter) {
                EXPECT_EQ(a.Pixel(x, y), clBlack);
            }
        }
    }
    // The tiles start at the top-left corner of the image.
    const std::uint8_t* corner = trueColour.Row(2) + 3;
    EXPECT_EQ(a.Pixel(6, 2), RGB(corner[2], corner[1], corner[0]));
}

}  // namespace
}  // namespace gw
