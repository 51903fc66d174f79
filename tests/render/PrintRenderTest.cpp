// The print renders: scaled, smooth and transparent pictures, held to the ordinary 1x picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
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

using test::At;
using test::HeapHoldsGarbage;
using test::SameBytes;

Lettering StartLettering(const std::function<void(Lettering&)>& effect) {
    static const bool loaded =
        LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf");
    EXPECT_TRUE(loaded);
    Lettering lettering;
    InitStartState(lettering);
    lettering.settings.Font.name = "Arial Black";
    lettering.settings.Memo1 = {"ZEF-LOR", "GbR"};
    if (effect) effect(lettering);
    return lettering;
}

DibImage Render(const Lettering& lettering, std::int32_t scale = 1) {
    RenderImages images;
    MakeWhitePicture(lettering, images.Picture, scale);
    RenderLettering(lettering, images, nullptr, scale);
    return std::move(images.Picture);
}

// Mean absolute difference per channel between `small` and `large` averaged down by k.
double DifferenceAveragedDown(const DibImage& small, const DibImage& large, std::int32_t k) {
    const std::int32_t w = DibWidth(small), h = DibHeight(small);
    double total = 0;
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            for (int ch = 0; ch < 3; ++ch) {
                int sum = 0;
                for (std::int32_t r = 0; r < k; ++r)
                    for (std::int32_t c = 0; c < k; ++c)
                        sum += large.Row(y * k + r)[3 * (x * k + c) + ch];
                total += std::abs(double(sum) / (k * k) - small.Row(y)[3 * x + ch]);
            }
        }
    }
    return total / (double(w) * h * 3);
}

struct Effect {
    const char* name;
    std::function<void(Lettering&)> apply;
    bool pixelMeasures;  // whether the ordinary render has measures in pixels here
};

const std::vector<Effect>& Effects() {
    static const std::vector<Effect> effects = {
        {"Schlicht", nullptr, false},
        {"Welle", [](Lettering& l) { ApplyEnvelopePreset(l, 7); }, false},
        {"Sinus", [](Lettering& l) { l.settings.deform = DeformMode::SinDeform; }, false},
        {"Zufall", [](Lettering& l) { l.settings.deform = DeformMode::RandDeform; }, true},
        {"Kante", [](Lettering& l) { ApplyEdgePreset(l.settings, 3); }, false},
        {"Kante fest",
         [](Lettering& l) {
             ApplyEdgePreset(l.settings, 3);
             l.settings.KFixedWCheck = true;
             l.settings.KBreiteEd = 100;
         },
         true},
        {"Schatten hart", [](Lettering& l) { ApplyShadowPreset(l.settings, 1); }, true},
        {"Schatten weich", [](Lettering& l) { ApplyShadowPreset(l.settings, 2); }, true},
        {"Schatten schräg", [](Lettering& l) { ApplyShadowPreset(l.settings, 7); }, true},
        {"Rahmen", [](Lettering& l) { ApplyFramePreset(l.settings, 2); }, false},
        {"Rahmen über Text",
         [](Lettering& l) {
             ApplyFramePreset(l.settings, 1);
             l.settings.RTextcheck = true;
         },
         false},
    };
    return effects;
}

// Averaged down by 3, the scaled picture is close to the 1x one: where the ordinary render has
// pixel measures, at most half as far as a plain size change; elsewhere the plain size change is
// already the same design, and the scaled picture is no farther.
TEST(PrintRender, TheScaledPictureAveragedDownIsThe1xPicture) {
    for (const Effect& effect : Effects()) {
        SCOPED_TRACE(effect.name);
        const Lettering lettering = StartLettering(effect.apply);
        const DibImage once = Render(lettering);
        const DibImage scaled = Render(lettering, 3);
        ASSERT_EQ(DibWidth(scaled), 3 * lettering.width);
        ASSERT_EQ(DibHeight(scaled), 3 * lettering.height);
        Lettering resized = StartLettering(effect.apply);
        ResizeLettering(resized, 3 * lettering.width, 3 * lettering.height, true);
        if (effect.apply) effect.apply(resized);
        const DibImage plain = Render(resized);

        const double ours = DifferenceAveragedDown(once, scaled, 3);
        const double theirs = DifferenceAveragedDown(once, plain, 3);
        std::printf("%-18s scaled %.3f  plain size change %.3f\n", effect.name, ours, theirs);
        if (effect.pixelMeasures)
            EXPECT_LE(ours, theirs / 2);
        else
            EXPECT_LE(ours, theirs + 0.25);
    }
    // Scale 1 is the ordinary render.
    const Lettering lettering = StartLettering(nullptr);
    EXPECT_TRUE(test::SameBytes(Render(lettering, 1), Render(lettering)));
}

TEST(PrintRender, LargeScalesAreRefusedNamingTheLargestPossible) {
    struct Case {
        std::int32_t width, height;
        bool smooth;
        std::int32_t largest;
    };
    const Case cases[] = {
        {450, 200, false, 8},   {450, 200, true, 8},    {4000, 1800, false, 4},
        {4000, 1800, true, 1},  {9999, 9999, false, 1}, {9999, 9999, true, 0},
        {2048, 2048, false, 7},  // 8 would be 16384 a side but 268 million pixels
    };
    for (const Case& c : cases) {
        Lettering lettering = StartLettering(nullptr);
        lettering.width = c.width;
        lettering.height = c.height;
        EXPECT_EQ(LargestPrintScale(lettering, c.smooth), c.largest) << c.width << " " << c.smooth;
    }
    Lettering lettering = StartLettering(nullptr);
    lettering.width = 4000;
    lettering.height = 1800;
    DibImage picture;
    std::vector<std::uint8_t> alpha;
    std::string error;
    EXPECT_FALSE(RenderPrint(lettering, {5, false, false}, picture, alpha, error));
    EXPECT_NE(error.find("höchstens Skalierung 4"), std::string::npos) << error;
    EXPECT_TRUE(picture.Empty());
}

// Smooth: the same design, antialiased. Away from any edge it is the 1x picture; the edges take
// levels between the two sides; the picture averaged is the 1x picture's mean within a little.
TEST(PrintRender, SmoothEdgesAreTheSameDesignAntialiased) {
    const Lettering lettering = StartLettering([](Lettering& l) {
        ApplyShadowPreset(l.settings, 1);
        ApplyEdgePreset(l.settings, 3);
    });
    const DibImage once = Render(lettering);
    DibImage smooth;
    std::vector<std::uint8_t> alpha;
    std::string error;
    ASSERT_TRUE(RenderPrint(lettering, {1, true, false}, smooth, alpha, error)) << error;
    ASSERT_EQ(DibWidth(smooth), lettering.width);
    ASSERT_EQ(DibHeight(smooth), lettering.height);
    EXPECT_TRUE(alpha.empty());
    EXPECT_LT(DifferenceAveragedDown(once, smooth, 1), 6.0);
    // The background far from the letters is untouched.
    EXPECT_EQ(At(smooth, 2, 2), At(once, 2, 2));
    // More distinct levels than the 1x picture has: the edges are graded.
    const auto levels = [](const DibImage& dib) {
        std::vector<bool> seen(256);
        for (std::int32_t y = 0; y < DibHeight(dib); ++y)
            for (std::int32_t x = 0; x < DibWidth(dib); ++x)
                seen[At(dib, x, y)[1]] = true;
        return std::count(seen.begin(), seen.end(), true);
    };
    EXPECT_GT(levels(smooth), levels(once));
    // The large picture is made without clearing: the render writes every byte of it.
    DibImage again;
    {
        const HeapHoldsGarbage garbage;
        ASSERT_TRUE(RenderPrint(lettering, {1, true, false}, again, alpha, error)) << error;
    }
    EXPECT_TRUE(SameBytes(again, smooth));
}

// Transparent: composited over a colour C, the picture is the lettering drawn on background C.
// Only the soft shadow's fading pixels differ, on purpose: there the shadow keeps its colour and
// fades in opacity alone, so that its edge is never lighter than its colour over C (no rim).
// Where the opacity is low the composite's difference is the difference of the premultiplied
// colours, which the tolerance holds as well.
TEST(PrintRender, TransparentPicturesComposeToThePictureOnAnyBackground) {
    // The shadow's letters have its colour, so every pixel of that lettering lies between the
    // shadow colour and C.
    const TColor shadowColour = RGB(20, 40, 110);
    const std::function<void(Lettering&)> letterings[] = {
        nullptr,
        [&](Lettering& l) {
            ApplyShadowPreset(l.settings, 2);
            l.settings.SWeichEd = 30;
            l.settings.SDeckEd = 60;
            l.settings.SColorShape = shadowColour;
            l.settings.SurfaceFrame1 = {SurfaceKind::Color, shadowColour};
        },
        [](Lettering& l) {
            ApplyEdgePreset(l.settings, 3);
            l.settings.BkGnd1 = true;
        },
        [](Lettering& l) {
            ApplyFramePreset(l.settings, 1);
            l.settings.RTextcheck = true;
        },
    };
    const TColor backgrounds[] = {RGB(0, 0, 0), RGB(128, 128, 128), RGB(255, 255, 255),
                                  RGB(230, 20, 160)};
    const auto print = [](const Lettering& lettering, bool transparent, DibImage& picture,
                          std::vector<std::uint8_t>& alpha) {
        std::string error;
        ASSERT_TRUE(RenderPrint(lettering, {1, false, transparent}, picture, alpha, error));
    };
    for (std::size_t i = 0; i < std::size(letterings); ++i) {
        // The opaque render fades the shadow's colour towards white where it is partly drawn:
        // all black but for the fade, its picture is not black exactly where that shows.
        DibImage fade;
        std::vector<std::uint8_t> none;
        print(StartLettering([&](Lettering& l) {
                  if (letterings[i]) letterings[i](l);
                  l.settings.SColorShape = clBlack;
                  l.settings.SurfaceFrame1 = {SurfaceKind::Color, clBlack};
                  l.settings.SurfaceFrame2 = {SurfaceKind::Color, clBlack};
              }),
              false, fade, none);
        for (const TColor C : backgrounds) {
            SCOPED_TRACE(testing::Message() << "lettering " << i << ", background " << C);
            const Lettering lettering = StartLettering([&](Lettering& l) {
                if (letterings[i]) letterings[i](l);
                l.settings.SurfaceFrame2 = {SurfaceKind::Color, C};
            });
            const bool shadow = lettering.settings.SchattenCheck;
            DibImage drawn, picture;
            std::vector<std::uint8_t> alpha;
            print(lettering, false, drawn, none);
            print(lettering, true, picture, alpha);
            const std::int32_t W = DibWidth(picture), H = DibHeight(picture);
            ASSERT_EQ(alpha.size(), std::size_t(W) * std::size_t(H));
            const int background[3] = {GetBValue(C), GetGValue(C), GetRValue(C)};
            const int shade[3] = {GetBValue(shadowColour), GetGValue(shadowColour),
                                  GetRValue(shadowColour)};
            double worst = 0, brightest = -255;
            std::int64_t fadingPixels = 0;
            for (std::int32_t y = 0; y < H; ++y) {
                for (std::int32_t x = 0; x < W; ++x) {
                    const int a = alpha[std::size_t(y) * std::size_t(W) + std::size_t(x)];
                    const test::Bgr f = At(fade, x, y);
                    const bool fading = shadow && (f[0] | f[1] | f[2]) != 0;
                    fadingPixels += fading;
                    for (int ch = 0; ch < 3; ++ch) {
                        const double over =
                            (At(picture, x, y)[ch] * a + background[ch] * (255.0 - a)) / 255;
                        if (!fading) worst = std::max(worst, std::abs(over - At(drawn, x, y)[ch]));
                        if (shadow)
                            brightest =
                                std::max(brightest, over - std::max(shade[ch], background[ch]));
                    }
                }
            }
            EXPECT_LE(worst, 3.5);
            EXPECT_LE(brightest, 1.0);
            EXPECT_EQ(fadingPixels > 0, shadow);
            if (C == backgrounds[0]) {
                // The plain stages carry the opacity to the same bytes.
                DibImage plain;
                std::vector<std::uint8_t> plainAlpha;
                std::string error;
                RenderOptions stages;
                stages.plainStages = true;
                ASSERT_TRUE(
                    RenderPrint(lettering, {1, false, true}, plain, plainAlpha, error, stages));
                EXPECT_TRUE(test::SameBytes(plain, picture));
                EXPECT_EQ(plainAlpha, alpha);
            }
            // The background is gone; a frame stays where it is drawn.
            EXPECT_EQ(alpha[std::size_t(W) * std::size_t(H / 2)] > 0,
                      lettering.settings.FrameStyle != 0);
        }
    }
}

}  // namespace
}  // namespace gw
