// The background drawn as one tile and repeated: every picture pixel is the texel at its place
// modulo the texture's size, for every depth a texture file can have, and the rows' padding is
// zero as after the copy from the drawing bitmap.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "raster/DibService.h"
#include "render/Surface.h"

namespace gw {
namespace {

DibImage Texture(std::int32_t w, std::int32_t h, std::int32_t bits) {
    BitmapInfo palette;
    for (int i = 0; i < 256; ++i) {
        palette.bmiColors[i].rgbBlue = static_cast<std::uint8_t>(i * 3);
        palette.bmiColors[i].rgbGreen = static_cast<std::uint8_t>(250 - i);
        palette.bmiColors[i].rgbRed = static_cast<std::uint8_t>(i * 11);
    }
    DibImage dib;
    newdib(dib, w, h, bits, bits == 24 ? nullptr : &palette, bits == 24 ? 0 : 1 << bits);
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t* row = dib.Row(y);
        for (std::int32_t x = 0; x < w; ++x) {
            const auto v = static_cast<std::uint8_t>(x * 7 + y * 13);
            switch (bits) {
                case 24:
                    row[3 * x] = v;
                    row[3 * x + 1] = static_cast<std::uint8_t>(v ^ 0x5A);
                    row[3 * x + 2] = static_cast<std::uint8_t>(x + y);
                    break;
                case 8:
                    row[x] = v;
                    break;
                case 4:
                    row[x / 2] |= static_cast<std::uint8_t>((v & 15) << ((x % 2) ? 0 : 4));
                    break;
                default:
                    row[x / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8));
                    break;
            }
        }
    }
    return dib;
}

// The texel's blue, green and red, through the colour table where there is one.
void Texel(const DibImage& t, std::int32_t x, std::int32_t y, std::uint8_t out[3]) {
    const std::uint8_t* row = t.Row(y);
    int index = 0;
    switch (DibBitCount(t)) {
        case 24:
            out[0] = row[3 * x];
            out[1] = row[3 * x + 1];
            out[2] = row[3 * x + 2];
            return;
        case 8:
            index = row[x];
            break;
        case 4:
            index = (x % 2) ? (row[x / 2] & 15) : (row[x / 2] >> 4);
            break;
        default:
            index = (row[x / 8] >> (7 - x % 8)) & 1;
            break;
    }
    const RgbQuad& q = t.Info->bmiColors[index];
    out[0] = q.rgbBlue;
    out[1] = q.rgbGreen;
    out[2] = q.rgbRed;
}

TEST(BackgroundTiles, EveryPixelIsItsTexel) {
    for (std::int32_t bits : {1, 4, 8, 24}) {
        for (auto [tw, th] : {std::pair{7, 5}, std::pair{1, 1}, std::pair{64, 40}}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, " << tw << "x" << th);
            Lettering lettering;
            lettering.settings.SurfaceFrame2.kind = SurfaceKind::OwnTexture;
            lettering.BackgroundTexture = Texture(tw, th, bits);
            DibImage picture;
            newdib(picture, 37, 23, 24, nullptr, 0);
            std::memset(picture.Bits.get(), 0xAB, DibImageSize(picture));
            FillDi0Bkgnd(lettering, picture);
            for (std::int32_t y = 0; y < 23; ++y) {
                const std::uint8_t* row = picture.Row(y);
                for (std::int32_t x = 0; x < 37; ++x) {
                    std::uint8_t want[3];
                    Texel(lettering.BackgroundTexture, x % tw, y % th, want);
                    ASSERT_EQ(row[3 * x], want[0]) << x << "," << y;
                    ASSERT_EQ(row[3 * x + 1], want[1]) << x << "," << y;
                    ASSERT_EQ(row[3 * x + 2], want[2]) << x << "," << y;
                }
                for (std::int32_t b = 3 * 37; b < picture.Stride; ++b)
                    ASSERT_EQ(row[b], 0);
            }
        }
    }
}

TEST(BackgroundTiles, AColourFillsEveryPixelAndZeroesThePadding) {
    Lettering lettering;
    lettering.settings.SurfaceFrame2 = {SurfaceKind::Color, 0x123456};
    DibImage picture;
    newdib(picture, 13, 4, 24, nullptr, 0);
    std::memset(picture.Bits.get(), 0xAB, DibImageSize(picture));
    FillDi0Bkgnd(lettering, picture);
    for (std::int32_t y = 0; y < 4; ++y) {
        const std::uint8_t* row = picture.Row(y);
        for (std::int32_t x = 0; x < 13; ++x) {
            EXPECT_EQ(row[3 * x], 0x12);
            EXPECT_EQ(row[3 * x + 1], 0x34);
            EXPECT_EQ(row[3 * x + 2], 0x56);
        }
        EXPECT_EQ(row[39], 0);
    }
}

}  // namespace
}  // namespace gw
