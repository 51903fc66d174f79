// RenderText's direct way held to the way through work bitmaps, byte for byte, over the settings
// that steer it: shadow direction, softness, offsets and colours, deformation, edge, surfaces.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "document/PictureSize.h"
#include "platform/TextLayout.h"
#include "raster/DibService.h"
#include "render/Pipeline.h"
#include "render/Presets.h"
#include "render/RenderTestSupport.h"
#include "render/TextRaster.h"

namespace gw {
namespace {

using test::SameBytes;

DibImage Stripes(std::int32_t w, std::int32_t h) {
    DibImage dib;
    newdib(dib, w, h, 24, nullptr, 0);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < 3 * w; ++x)
            dib.Row(y)[x] = static_cast<std::uint8_t>(x * 11 + y * 23);
    return dib;
}

void ExpectBothWaysAlike(const std::function<void(Lettering&)>& edit, const char* what,
                         std::int32_t width = 173, std::int32_t height = 61) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf"));
    Lettering lettering;
    InitStartState(lettering);
    lettering.settings.Font.name = "DejaVu Sans";
    ResizeLettering(lettering, width, height, true);
    lettering.TextTexture = Stripes(13, 7);
    lettering.BackgroundTexture = Stripes(9, 11);
    edit(lettering);
    DibImage directImage, directMask, plainImage, plainMask;
    {
        // The direct way's images are not cleared when made: it must write every byte.
        const test::HeapHoldsGarbage garbage;
        RenderText(lettering, directImage, directMask);
    }
    RenderTextReference(lettering, plainImage, plainMask);
    EXPECT_TRUE(SameBytes(directImage, plainImage));
    EXPECT_TRUE(SameBytes(directMask, plainMask));
}

// Both forms of the last blend's row against its rule, for rows around the sixteen pixels the
// shuffled form takes at a time; the bytes beyond the row stay.
TEST(RenderTextDirect, ShadowRowBlendsByCoverage) {
    std::mt19937 dice(11);
    const auto byte = [&dice] { return static_cast<std::uint8_t>(dice() & 255); };
    ShadowBlendTable table;
    for (int i = 0; i < 16; ++i) {
        table.mask[i] = byte();
        table.image[i] = byte();
    }
    const std::uint8_t kinds[] = {0, 1, 2, 3, 4, 255};
    using Blend = void (*)(const std::uint8_t*, std::size_t, const ShadowBlendTable&, std::uint8_t*,
                           std::uint8_t*);
    for (const std::size_t count : {0u, 1u, 15u, 16u, 17u, 47u, 100u}) {
        std::vector<std::uint8_t> coverage(count), image(3 * count + 5);
        for (std::uint8_t& k : coverage)
            k = kinds[dice() % 6];
        for (std::uint8_t& b : image)
            b = byte();
        std::vector<std::uint8_t> mask(3 * count + 5, 0xA5), wantMask = mask, wantImage = image;
        for (std::size_t x = 0; x < count; ++x) {
            for (std::size_t ch = 0; ch < 3; ++ch) {
                if (coverage[x] == 255) {
                    wantMask[3 * x + ch] = 0;
                } else {
                    wantMask[3 * x + ch] = table.mask[coverage[x] + 5 * ch];
                    wantImage[3 * x + ch] ^= table.image[coverage[x] + 5 * ch];
                }
            }
        }
        for (const Blend blend : {Blend(&BlendShadowRow), Blend(&BlendShadowRowPlain)}) {
            std::vector<std::uint8_t> m = mask, t = image;
            blend(coverage.data(), count, table, m.data(), t.data());
            EXPECT_EQ(m, wantMask) << count;
            EXPECT_EQ(t, wantImage) << count;
        }
    }
}

TEST(RenderTextDirect, ShadowsAsThroughBitmaps) {
    for (int preset = 0; preset < kShadowPresetCount; ++preset)
        ExpectBothWaysAlike([&](Lettering& l) { ApplyShadowPreset(l.settings, preset); },
                            "shadow preset");
    for (int direction = 0; direction < 3; ++direction) {
        for (double softness : {0.0, 1.0, 2.0, 3.0, 7.0, 30.0, 0.5, -4.0}) {
            ExpectBothWaysAlike(
                [&](Lettering& l) {
                    LetteringSettings& s = l.settings;
                    s.SchattenCheck = true;
                    s.SRichtBox = direction;
                    s.SWeichEd = softness;
                    s.SRightEd = direction == 1 ? -7 : 12;
                    s.SBottomEd = -5;
                    s.SDeckEd = 63;
                    s.SColorShape = 0x2080C0;
                },
                "direction and softness");
        }
    }
    // A shadow wider than the image, and one moved wholly out of it.
    ExpectBothWaysAlike(
        [](Lettering& l) {
            l.settings.SchattenCheck = true;
            l.settings.SWeichEd = 200;
        },
        "softness beyond the image");
    ExpectBothWaysAlike(
        [](Lettering& l) {
            l.settings.SchattenCheck = true;
            l.settings.SRichtBox = 2;
            l.settings.SRightEd = 100;
            l.settings.SBottomEd = 100;
        },
        "shadow outside");
}

TEST(RenderTextDirect, DeformationsAndEdgesAsThroughBitmaps) {
    for (DeformMode mode : {DeformMode::SinDeform, DeformMode::RandDeform}) {
        for (double strength : {1.0, 20.0, 100.0}) {
            ExpectBothWaysAlike(
                [&](Lettering& l) {
                    LetteringSettings& s = l.settings;
                    ApplyShadowPreset(s, 2);
                    ApplyEdgePreset(s, 3);
                    s.deform = mode;
                    s.StarkEd = strength;
                    s.AnzahlEd = 7;
                },
                "deformation");
        }
    }
    for (int edge = 1; edge < kEdgePresetCount; ++edge) {
        ExpectBothWaysAlike(
            [&](Lettering& l) {
                ApplyEdgePreset(l.settings, edge);
                l.settings.SurfaceFrame2.kind = SurfaceKind::OwnTexture;
                l.settings.SurfaceFrame1.kind = SurfaceKind::BuiltinTexture;
            },
            "edge on textures");
    }
}

// Wide pictures: the text is drawn in many bands of rows, italic and bold letters reaching over
// the bands' edges, the shadow moved against them.
TEST(RenderTextDirect, BandsGiveTheWholeBlock) {
    for (bool italic : {false, true}) {
        ExpectBothWaysAlike(
            [&](Lettering& l) {
                LetteringSettings& s = l.settings;
                s.Memo1 = {"Bänder &und", "Zeilen", "Wg"};
                s.Font.italic = italic;
                s.Font.bold = !italic;
                s.AusrichtBox = 1;
                ApplyShadowPreset(s, 3);
                s.SRightEd = -13;
                ApplyEdgePreset(s, 4);
            },
            "bands", 1300, 500);
    }
    ExpectBothWaysAlike(
        [](Lettering& l) {
            l.settings.Memo1 = {"Hoch"};
            ApplyShadowPreset(l.settings, 7);
            l.settings.deform = DeformMode::RandDeform;
        },
        "tall bands", 701, 900);
    // Letters more than 2048 pixels high, their glyph images bigger than the font engine keeps
    // by itself.
    ExpectBothWaysAlike(
        [](Lettering& l) {
            l.settings.Memo1 = {"I"};
            l.settings.Font.italic = true;
            ApplyShadowPreset(l.settings, 2);
            ApplyEdgePreset(l.settings, 3);
        },
        "large letters", 2800, 40);
}

// A long line gives a text image a few rows high, lower than one band.
TEST(RenderTextDirect, FlatImagesAsThroughBitmaps) {
    ExpectBothWaysAlike(
        [](Lettering& l) {
            l.settings.Memo1 = {"Ein recht langer Text in einer einzigen Zeile"};
            ApplyShadowPreset(l.settings, 2);
            ApplyEdgePreset(l.settings, 8);
            l.settings.deform = DeformMode::SinDeform;
        },
        "flat");
}

TEST(RenderTextDirect, TheTraceIsTheSame) {
    ASSERT_TRUE(LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf"));
    Lettering lettering;
    InitStartState(lettering);
    ApplyShadowPreset(lettering.settings, 3);
    DibImage a, b, c, d;
    RenderTrace direct, plain;
    RenderText(lettering, a, b, &direct);
    RenderTextReference(lettering, c, d, &plain);
    EXPECT_TRUE(SameBytes(direct.letters, plain.letters));
    EXPECT_TRUE(SameBytes(a, c));
}

}  // namespace
}  // namespace gw
