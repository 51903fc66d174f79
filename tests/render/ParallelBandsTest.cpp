// A render split into bands over several threads must give the bytes of the render on one, for
// every size: odd ones, ones so small that bands are a single row or column, ones whose letters
// are drawn in several bands of rows, and one wide enough for the bevel to take its rays in more
// than one round.
#include <gtest/gtest.h>

#include <string>

#include "document/PictureSize.h"
#include "platform/ParallelRows.h"
#include "platform/TextLayout.h"
#include "render/Pipeline.h"
#include "render/Presets.h"
#include "render/RenderTestSupport.h"
#include "render/Shadow.h"

namespace gw {
namespace {

DibImage Texture(std::int32_t w, std::int32_t h) {
    DibImage dib;
    newdib(dib, w, h, 24, nullptr, 0);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            for (int ch = 0; ch < 3; ++ch)
                dib.Row(y)[3 * x + ch] = static_cast<std::uint8_t>(x * 29 + y * 13 + ch * 71);
    return dib;
}

// Every effect on; the second kind adds what steers the stages' other loops: an inverted edge
// that shades from a background texture, a slanted, softer shadow, random deformation and the
// frame over the text.
Lettering EveryEffect(std::int32_t width, std::int32_t height, bool otherLoops) {
    Lettering lettering;
    InitStartState(lettering);
    ResizeLettering(lettering, width, height, true);
    LetteringSettings& s = lettering.settings;
    ApplyEdgePreset(s, 3);
    ApplyShadowPreset(s, 2);
    ApplyFramePreset(s, 1);
    s.deform = DeformMode::SinDeform;
    ApplyEnvelopePreset(lettering, 7);
    if (otherLoops) {
        s.Invers1Check = true;
        s.BkGnd1 = true;
        s.SurfaceFrame1 = {SurfaceKind::OwnTexture, clBlack};
        s.SurfaceFrame2 = {SurfaceKind::OwnTexture, clBlack};
        lettering.TextTexture = Texture(23, 17);
        lettering.BackgroundTexture = Texture(27, 33);
        s.SRichtBox = kSlantLeft;
        s.SWeichEd = 9;
        s.deform = DeformMode::RandDeform;
        s.RTextcheck = true;
    }
    return lettering;
}

TEST(ParallelBands, EveryThreadCountRendersTheBytesOfOne) {
    ASSERT_TRUE(LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf"));
    struct Case {
        std::int32_t width, height;
        bool otherLoops;
        int mostThreads;
    };
    const Case cases[] = {{450, 200, false, 7}, {451, 199, true, 7}, {97, 31, false, 7},
                          {97, 31, true, 7},    {13, 4, false, 7},   {1201, 3, true, 7},
                          {1500, 60, true, 7},  {4300, 7, false, 2}};
    for (const Case& c : cases) {
        const Lettering lettering = EveryEffect(c.width, c.height, c.otherLoops);
        RenderImages one;
        {
            const ParallelThreadsScope threads(1);
            MakeWhitePicture(lettering, one.Picture);
            RenderLettering(lettering, one);
        }
        for (const int count : {2, 3, 7}) {
            if (count > c.mostThreads) break;
            const ParallelThreadsScope threads(count);
            RenderImages many;
            MakeWhitePicture(lettering, many.Picture);
            RenderLettering(lettering, many);
            const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height) +
                                     (c.otherLoops ? " (other loops)" : "") + " on " +
                                     std::to_string(count) + " threads";
            EXPECT_TRUE(test::SameBytes(one.Picture, many.Picture)) << what;
            EXPECT_TRUE(test::SameBytes(one.TextImage, many.TextImage)) << what;
            EXPECT_TRUE(test::SameBytes(one.TextMask, many.TextMask)) << what;
        }
    }
}

}  // namespace
}  // namespace gw
