// Whole renders of random letterings, each made by the fast stages and by their plain twins, must
// agree byte for byte. The seeds are fixed so a run is repeatable; a failing case prints its seed,
// and GLYPHWERK_RANDOM_SEED=<seed> GLYPHWERK_RANDOM_CASES=1 renders that case alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "document/PictureSize.h"
#include "platform/TextLayout.h"
#include "render/Pipeline.h"
#include "render/Presets.h"
#include "render/RenderTestSupport.h"

namespace gw {
namespace {

class Dice {
  public:
    explicit Dice(std::uint32_t seed) : random_(seed) {}
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    bool Coin(int percent = 50) { return Int(0, 99) < percent; }
    // Mostly whole numbers, as typed into the spin fields, now and then a fraction.
    double Value(int lo, int hi) { return Int(lo, hi) + (Coin(20) && Int(lo, hi) < hi ? 0.5 : 0); }
    TColor Color() { return TColor(std::uint32_t(Int(0, 0xFFFFFF))); }

  private:
    std::mt19937 random_;
};

// A texture of random size and bytes, true colour or with a colour table of 256 entries.
DibImage RandomTexture(Dice& dice) {
    const std::int32_t w = dice.Int(1, 23), h = dice.Int(1, 19);
    DibImage dib;
    if (dice.Coin()) {
        newdib(dib, w, h, 24, nullptr, 0);
    } else {
        BitmapInfo palette;
        for (RgbQuad& q : palette.bmiColors)
            q = RgbQuad{std::uint8_t(dice.Int(0, 255)), std::uint8_t(dice.Int(0, 255)),
                        std::uint8_t(dice.Int(0, 255)), 0};
        newdib(dib, w, h, 8, &palette, 256);
    }
    for (std::size_t i = 0; i < DibImageSize(dib); ++i)
        dib.Bits[i] = std::uint8_t(dice.Int(0, 255));
    return dib;
}

SurfaceSettings RandomSurface(Dice& dice) {
    return {SurfaceKind(dice.Int(0, 2)), dice.Color()};
}

Lettering RandomLettering(std::uint32_t seed) {
    Dice dice(seed);
    Lettering lettering;
    InitStartState(lettering);
    ResizeLettering(lettering, dice.Int(150, 230), dice.Int(70, 120), true);
    LetteringSettings& s = lettering.settings;
    const std::vector<std::vector<std::string>> texts = {
        {"ZEF-LOR", "GbR"}, {"Wg"}, {"Äpfel", "und", "Birnen"}, {}, {"i"}, {"MMMM MMMM"}};
    s.Memo1 = texts[std::size_t(dice.Int(0, int(texts.size()) - 1))];
    s.Font.name = dice.Coin() ? "DejaVu Sans" : "Arial Black";
    s.Font.bold = dice.Coin(30);
    s.Font.italic = dice.Coin(30);
    s.AusrichtBox = dice.Int(0, 2);
    s.SurfaceFrame1 = RandomSurface(dice);
    s.SurfaceFrame2 = RandomSurface(dice);
    lettering.TextTexture = RandomTexture(dice);
    lettering.BackgroundTexture = RandomTexture(dice);

    s.deform = DeformMode(dice.Int(0, 2));
    s.StarkEd = dice.Value(1, 100);
    s.AnzahlEd = dice.Value(1, 100);

    s.KanteCheck = dice.Coin(70);
    s.KWinkEd = dice.Value(-180, 180);
    s.KBreiteEd = dice.Value(1, 100);
    s.KLichtEd = dice.Value(1, 500);
    s.Profil1Box = dice.Int(0, 3);
    s.Profil2Box = dice.Int(0, 3);
    s.BkGnd1 = dice.Coin(30);
    s.BkGnd2 = dice.Coin(30);
    s.Invers1Check = dice.Coin(30);
    s.KFixedWCheck = dice.Coin(30);
    s.KQualCheck = dice.Coin();

    s.SchattenCheck = dice.Coin(70);
    s.SColorShape = dice.Color();
    s.SDeckEd = dice.Value(1, 100);
    s.SWeichEd = dice.Value(0, 30);
    s.SRichtBox = dice.Int(0, 2);
    s.SRightEd = dice.Value(-100, 100);
    s.SBottomEd = dice.Value(-100, 100);

    s.FrameStyle = dice.Int(0, 4);
    s.RTextcheck = dice.Coin();
    s.RBreitEd = dice.Value(0, 100);
    s.RHochEd = dice.Value(0, 100);
    s.RColorShape = dice.Color();

    s.SpiralEd = dice.Value(1, 4);
    ApplyEnvelopePreset(lettering, dice.Int(0, kEnvelopePresetCount - 1));
    // Now and then hand-drawn lines, reaching beyond the picture.
    if (dice.Coin(25)) {
        for (int line = 0; line < 2; ++line) {
            TLine& l = lettering.EnvelopeLines[std::size_t(line)];
            l = TLine();
            for (int n = dice.Int(1, 5); n > 0; --n)
                l.AddPoint(dice.Int(-40, lettering.width + 40),
                           dice.Int(-40, lettering.height + 40));
            l.BuildOutline();
        }
    }
    return lettering;
}

std::uint32_t EnvNumber(const char* name, std::uint32_t otherwise) {
    const char* v = std::getenv(name);
    return v && *v ? std::uint32_t(std::strtoul(v, nullptr, 10)) : otherwise;
}

TEST(FastAsPlain, RandomLetteringsRenderAlike) {
    ASSERT_TRUE(LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf"));
    const std::uint32_t first = EnvNumber("GLYPHWERK_RANDOM_SEED", 1);
    const std::uint32_t cases = EnvNumber("GLYPHWERK_RANDOM_CASES", 40);
    for (std::uint32_t seed = first; seed < first + cases; ++seed) {
        const Lettering lettering = RandomLettering(seed);
        RenderImages fast, plain;
        MakeWhitePicture(lettering, fast.Picture);
        MakeWhitePicture(lettering, plain.Picture);
        RenderLettering(lettering, fast);
        RenderLettering(lettering, plain, nullptr, 1, {.plainStages = true});
        const bool alike = test::SameBytes(fast.Picture, plain.Picture) &&
                           test::SameBytes(fast.TextImage, plain.TextImage) &&
                           test::SameBytes(fast.TextMask, plain.TextMask);
        EXPECT_TRUE(alike) << "fast and plain stages differ for seed " << seed
                           << "; rerun it alone with GLYPHWERK_RANDOM_SEED=" << seed
                           << " GLYPHWERK_RANDOM_CASES=1";
    }
}

// The choice of twins belongs to each render: a plain and a fast render of one lettering running
// at once on two threads each keep their own way, and still agree.
TEST(FastAsPlain, PlainAndFastRenderAtOnceOnTwoThreads) {
    ASSERT_TRUE(LoadFontConfigFile(GLYPHWERK_SOURCE_DIR "/data/glyphwerk-fonts.conf"));
    const Lettering lettering = RandomLettering(7);
    RenderImages fast, plain;
    MakeWhitePicture(lettering, fast.Picture);
    MakeWhitePicture(lettering, plain.Picture);
    std::thread plainThread(
        [&] { RenderLettering(lettering, plain, nullptr, 1, {.plainStages = true}); });
    RenderLettering(lettering, fast);
    plainThread.join();
    EXPECT_TRUE(test::SameBytes(fast.Picture, plain.Picture));
    EXPECT_TRUE(test::SameBytes(fast.TextImage, plain.TextImage));
}

}  // namespace
}  // namespace gw
