// Whole renders of random letterings, each made by the fast stages and by their plain twins, must
// agree byte for byte. The seeds are fixed so a run is repeatable; a failing case prints its seed,
// and GLYPHWERK_RANDOM_SEED=<seed> GLYPHWERK_RANDOM_CASES=1 renders that case alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "document/PictureSize.h"
#include "document/SettingsTable.h"
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

// Every row of the settings table at a random value of its kind and range, so that a new setting
// is varied as soon as it has its row: a radio group as one choice among its buttons, a list by
// its index, a colour anywhere, a spin field anywhere in its range.
void RandomSettings(Dice& dice, LetteringSettings& s) {
    for (const SettingInfo& info : SettingsTable()) {
        double v = 0;
        switch (info.kind) {
            case SettingKind::Radio: {
                const std::span<const SettingInfo> group = RadioGroup(info);
                if (&group.front() == &info)
                    group[std::size_t(dice.Int(0, int(group.size()) - 1))].set(s, 1);
                continue;
            }
            case SettingKind::Check:
                v = dice.Coin();
                break;
            case SettingKind::List:
                v = dice.Int(int(info.minimum), int(info.maximum));
                break;
            case SettingKind::Colour:
                v = dice.Color();
                break;
            case SettingKind::IntegerSpin:
                v = dice.Value(int(info.minimum), int(info.maximum));
                break;
            case SettingKind::DecimalSpin:
                v = info.minimum + (info.maximum - info.minimum) * dice.Int(0, 1000) / 1000;
                break;
        }
        info.set(s, ClampSettingValue(info, v));
    }
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
    lettering.TextTexture = RandomTexture(dice);
    lettering.BackgroundTexture = RandomTexture(dice);
    RandomSettings(dice, s);
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
