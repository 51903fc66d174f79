// The picture without its letters, the layer the vector pictures lay below letters of their own.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "RenderTestSupport.h"
#include "document/Lettering.h"
#include "document/PictureSize.h"
#include "platform/TextLayout.h"
#include "render/Pipeline.h"
#include "render/Presets.h"

namespace gw {
namespace {

TEST(WithoutLetters, LeavesTheLettersOutAndTheRestAsTheFastAndPlainStagesDrawIt) {
    ASSERT_TRUE(LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf"));
    struct Case {
        std::string name;
        std::function<void(LetteringSettings&)> effect;
        PrintOptions print;
        bool onlyBackground;  // nothing but the background is left
    };
    const Case cases[] = {
        {"plain", {}, {}, true},
        {"bevel and sine",
         [](LetteringSettings& s) {
             ApplyEdgePreset(s, 3);
             s.deform = DeformMode::SinDeform;
         },
         {},
         true},
        {"shadow", [](LetteringSettings& s) { ApplyShadowPreset(s, 2); }, {}, false},
        {"shadow, bevel, random",
         [](LetteringSettings& s) {
             ApplyShadowPreset(s, 5);
             ApplyEdgePreset(s, 1);
             s.deform = DeformMode::RandDeform;
         },
         {},
         false},
        {"shadow transparent",
         [](LetteringSettings& s) { ApplyShadowPreset(s, 1); },
         {1, false, true},
         false},
        {"frame over the text",
         [](LetteringSettings& s) {
             ApplyFramePreset(s, 2);
             s.RTextcheck = true;
         },
         {2, false, false},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Lettering lettering;
        InitStartState(lettering);
        lettering.settings.Memo1 = {"ZEF-LOR", "GbR"};
        ResizeLettering(lettering, 180, 80, true);
        lettering.settings.SurfaceFrame2.color = RGB(40, 90, 200);
        if (c.effect) c.effect(lettering.settings);
        RenderOptions fast, plain;
        fast.withoutLetters = plain.withoutLetters = true;
        plain.plainStages = true;
        DibImage fastPicture, plainPicture;
        std::vector<std::uint8_t> fastAlpha, plainAlpha;
        std::string error;
        ASSERT_TRUE(RenderPrint(lettering, c.print, fastPicture, fastAlpha, error, fast));
        ASSERT_TRUE(RenderPrint(lettering, c.print, plainPicture, plainAlpha, error, plain));
        EXPECT_TRUE(test::SameBytes(fastPicture, plainPicture));
        EXPECT_EQ(fastAlpha, plainAlpha);

        bool onlyBackground = true;
        for (std::int32_t y = 0; y < DibHeight(fastPicture); ++y)
            for (std::int32_t x = 0; x < DibWidth(fastPicture); ++x)
                onlyBackground =
                    onlyBackground && test::At(fastPicture, x, y) == test::Bgr{200, 90, 40};
        EXPECT_EQ(onlyBackground, c.onlyBackground);
    }
}

}  // namespace
}  // namespace gw
