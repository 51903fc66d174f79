// Whole renders held to checksums of their bytes. The render's speed-ups (spans of rays inside the
// images, integer forms of the blends, rows split over threads) must leave every byte as it was;
// these letterings cover every stage and the settings that steer its inner loops.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FontSetup.h"
#include "document/PictureSize.h"
#include "platform/TextLayout.h"
#include "raster/DibService.h"
#include "render/Pipeline.h"
#include "render/Presets.h"
#include "render/RenderTestSupport.h"

namespace gw {
namespace {

using test::Fnv1a;

// The pinned pictures were drawn with these faces; no other installed font may take their place.
[[maybe_unused]] ::testing::Environment* const kFonts =
    ::testing::AddGlobalTestEnvironment(new testing::FontSetupEnvironment(
        {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "Lato-Black.ttf"}));

// Textures made from their coordinates, so no file can change them.
DibImage Texture24(std::int32_t w, std::int32_t h) {
    DibImage dib;
    newdib(dib, w, h, 24, nullptr, 0);
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t* row = dib.Row(y);
        for (std::int32_t x = 0; x < w; ++x) {
            row[3 * x + 0] = static_cast<std::uint8_t>(x * 37 + y * 11);
            row[3 * x + 1] = static_cast<std::uint8_t>((x ^ y) * 5);
            row[3 * x + 2] = static_cast<std::uint8_t>(200 - x * y);
        }
    }
    return dib;
}

DibImage Texture8(std::int32_t w, std::int32_t h) {
    BitmapInfo palette;
    for (int i = 0; i < 256; ++i) {
        palette.bmiColors[i].rgbBlue = static_cast<std::uint8_t>(i);
        palette.bmiColors[i].rgbGreen = static_cast<std::uint8_t>(255 - i);
        palette.bmiColors[i].rgbRed = static_cast<std::uint8_t>(i * 7);
    }
    DibImage dib;
    newdib(dib, w, h, 8, &palette, 256);
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t* row = dib.Row(y);
        for (std::int32_t x = 0; x < w; ++x)
            row[x] = static_cast<std::uint8_t>((x * 13 + y * 29) % 251);
    }
    return dib;
}

enum class Tex { None, Bits8, Bits24 };

struct Case {
    const char* name;
    std::int32_t width, height;
    const char* font;
    std::vector<std::string> lines;
    int edge, shadow, frame, envelope;
    DeformMode deform;
    Tex letters, background;
    void (*tweak)(LetteringSettings&);  // what the presets do not reach; may be null
    std::uint64_t picture, textImage, textMask;
};

void NoTweak(LetteringSettings&) {}

// Sizes stay moderate so the sanitizer build runs these quickly; the odd sizes give rows with
// padding and text images of every shape.
// clang-format off
const Case kCases[] = {
    {"StartUp", 450, 200, "Arial Black", {"ZEF-LOR", "GbR"},
     0, 0, 0, 0, DeformMode::NoDeform, Tex::None, Tex::None, nullptr,
     0x247d46359f74ff25ULL, 0x520120770a97263bULL, 0xf88b3ddafad86f55ULL},
    {"AllEffects", 450, 200, "Arial Black", {"ZEF-LOR", "GbR"},
     3, 2, 1, 7, DeformMode::SinDeform, Tex::None, Tex::None, nullptr,
     0x22a38d4b9d566f32ULL, 0x400204b1e11df8abULL, 0xa928b7ce1a568e64ULL},
    {"FixedWidthOneRayFrameUnder", 451, 97, "DejaVu Sans", {"Wellen", "und Kanten"},
     1, 1, 1, 0, DeformMode::NoDeform, Tex::None, Tex::None,
     [](LetteringSettings& s) { s.AusrichtBox = 1; },
     0xbdd975b8dafa1adfULL, 0x7c4e4fed83b90ba4ULL, 0xd1c8f6f0cbc5600fULL},
    {"StrongLightFrameOverSine", 333, 500, "DejaVu Sans", {"Hoch", "und", "schmal"},
     2, 3, 2, 9, DeformMode::SinDeform, Tex::None, Tex::None,
     [](LetteringSettings& s) { s.AusrichtBox = 2; s.RTextcheck = true; s.AnzahlEd = 3; },
     0x8800083e58b4fb73ULL, 0x15d158719f44ba7dULL, 0xad458e3011f7e58cULL},
    {"ConcaveSlant45Spiral", 400, 300, "DejaVu Sans", {"Spirale"},
     4, 7, 0, 19, DeformMode::NoDeform, Tex::None, Tex::None,
     [](LetteringSettings& s) { s.KursivBtn = s.Font.italic = true; s.SpiralEd = 2.5; },
     0x3ab8420b91ee64eaULL, 0x272e20a385e916e4ULL, 0xd8ab9216e9b90f44ULL},
    {"LinearSlantMinus45Crossed", 420, 180, "Arial Black", {"Kreuz"},
     5, 2, 3, 21, DeformMode::NoDeform, Tex::None, Tex::None,
     [](LetteringSettings& s) {
         s.FettBtn = s.Font.bold = true;
         s.SRichtBox = 1; s.SWeichEd = 3; s.SRightEd = -8; s.SBottomEd = 6; s.KWinkEd = 120;
     },
     0x8e49f02175ca41c5ULL, 0xa36dd5791722f2c0ULL, 0xb252c65ac6f8c0ddULL},
    {"FlatRandomFrameOverWide", 1201, 403, "DejaVu Sans", {"Zufall", "im Rahmen"},
     6, 0, 4, 26, DeformMode::RandDeform, Tex::None, Tex::None,
     [](LetteringSettings& s) { s.RTextcheck = true; s.RHochEd = 40; s.StarkEd = 35; },
     0xb79d168a0d6fdeaeULL, 0x2db98a6f15fed7bcULL, 0x2260cde9a6db46d8ULL},
    {"BackgroundEdgeTextures", 380, 220, "Arial Black", {"Textur"},
     7, 1, 0, 15, DeformMode::NoDeform, Tex::Bits8, Tex::Bits24, nullptr,
     0xba48331f39c480caULL, 0x62602c7647b7264aULL, 0x3360e118259bff9cULL},
    {"InversConcaveTexturesSoft", 360, 260, "DejaVu Sans", {"Invers", "weich"},
     8, 4, 0, 9, DeformMode::NoDeform, Tex::Bits24, Tex::Bits8,
     [](LetteringSettings& s) { s.Invers1Check = true; s.KWinkEd = 0; },
     0xb54c316f7f9518fdULL, 0x5a77eb9a83eecb80ULL, 0xbd0a61a12041bdc8ULL},
    {"FixedWidthLeftUpShadow", 440, 210, "DejaVu Sans", {"Links", "oben"},
     9, 1, 1, 20, DeformMode::NoDeform, Tex::None, Tex::None,
     [](LetteringSettings& s) {
         s.KFixedWCheck = true; s.KBreiteEd = 60; s.KWinkEd = 30;
         s.SRightEd = -10; s.SBottomEd = -10; s.SWeichEd = 1;
         s.RTextcheck = true; s.RColorShape = 0x3080F0; s.SurfaceFrame2.color = 0xC0FFFF;
     },
     0x38c1391610431cdbULL, 0xdafbe3ee09e802e7ULL, 0xe7759ec357ee0a3cULL},
    {"MixedProfilesRandomFour", 300, 300, "Arial Black", {"A", "BC", "DEF"},
     10, 5, 2, 24, DeformMode::RandDeform, Tex::None, Tex::None,
     [](LetteringSettings& s) { s.AusrichtBox = 1; s.AnzahlEd = 4; s.KWinkEd = -170; },
     0x0998befd53cd114bULL, 0xb0ae702fb3db5edeULL, 0x6b296a618ad8678cULL},
    {"TallLetterWhiteShadow", 210, 320, "DejaVu Sans", {"I"},
     3, 6, 0, 25, DeformMode::SinDeform, Tex::None, Tex::Bits24,
     [](LetteringSettings& s) { s.SurfaceFrame1.color = 0x00A0FF; s.StarkEd = 60; },
     0x4a630eebd673f07fULL, 0xa470345e6a6ac3d2ULL, 0x1eb76f6eb3182ea6ULL},
};
// clang-format on

void Prepare(const Case& c, Lettering& lettering) {
    ASSERT_TRUE(LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf"));
    InitStartState(lettering);
    LetteringSettings& s = lettering.settings;
    s.Font.name = c.font;
    s.Memo1 = c.lines;
    ResizeLettering(lettering, c.width, c.height, true);
    ApplyEdgePreset(s, c.edge);
    ApplyShadowPreset(s, c.shadow);
    ApplyFramePreset(s, c.frame);
    s.deform = c.deform;
    s.SurfaceFrame1.kind = c.letters == Tex::None ? SurfaceKind::Color : SurfaceKind::OwnTexture;
    s.SurfaceFrame2.kind =
        c.background == Tex::None ? SurfaceKind::Color : SurfaceKind::BuiltinTexture;
    lettering.TextTexture = c.letters == Tex::Bits8 ? Texture8(23, 17) : Texture24(31, 19);
    lettering.BackgroundTexture = c.background == Tex::Bits8 ? Texture8(41, 29) : Texture24(27, 33);
    (c.tweak ? c.tweak : NoTweak)(s);
    ApplyEnvelopePreset(lettering, c.envelope);
}

TEST(RenderChecksum, EveryCaseKeepsItsBytes) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Lettering lettering;
        Prepare(c, lettering);
        RenderImages images;
        MakeWhitePicture(lettering, images.Picture);
        RenderLettering(lettering, images);
        ASSERT_TRUE(images.Picture.Bits);
        ASSERT_EQ(DibWidth(images.Picture), c.width);
        ASSERT_EQ(DibHeight(images.Picture), c.height);
        const std::uint64_t picture = Fnv1a(images.Picture);
        const std::uint64_t textImage = Fnv1a(images.TextImage);
        const std::uint64_t textMask = Fnv1a(images.TextMask);
        EXPECT_EQ(picture, c.picture);
        EXPECT_EQ(textImage, c.textImage);
        EXPECT_EQ(textMask, c.textMask);
        if (picture != c.picture || textImage != c.textImage || textMask != c.textMask)
            std::printf("%s:\n     0x%016llxULL, 0x%016llxULL, 0x%016llxULL},\n", c.name,
                        static_cast<unsigned long long>(picture),
                        static_cast<unsigned long long>(textImage),
                        static_cast<unsigned long long>(textMask));
    }
}

// A second render into the same images must not see anything of the first.
TEST(RenderChecksum, RenderingTwiceGivesTheSameBytes) {
    const Case& c = kCases[1];
    Lettering lettering;
    Prepare(c, lettering);
    RenderImages images;
    MakeWhitePicture(lettering, images.Picture);
    RenderLettering(lettering, images);
    const std::uint64_t first = Fnv1a(images.Picture);
    RenderLettering(lettering, images);
    EXPECT_EQ(Fnv1a(images.Picture), first);
}

}  // namespace
}  // namespace gw
