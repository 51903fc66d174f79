#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "platform/FontEngine.h"
#include "platform/TextLayout.h"
#include "platform/TextTestSupport.h"

namespace gw {
namespace {

using testing::DejaVu;
using testing::Font;

bool EndsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// ---- The font rule

TEST(FontRule, ArialBlackResolvesToLatoBlack) {
    testing::LoadFontRule();
    EXPECT_TRUE(EndsWith(ResolvedFontFile(Font("Arial Black", -16)), "/Lato-Black.ttf"))
        << ResolvedFontFile(Font("Arial Black", -16));
    EXPECT_TRUE(
        EndsWith(ResolvedFontFile(Font("Arial Black", -16, false, true)), "/Lato-BlackItalic.ttf"));
    // Black is already the heaviest: asking for bold changes nothing.
    EXPECT_EQ(ResolvedFontFile(Font("Arial Black", -16, true)),
              ResolvedFontFile(Font("Arial Black", -16)));
}

TEST(FontRule, ArialBlackMeasuresWithLatoBlackMetrics) {
    testing::LoadFontRule();
    // Lato Black: 2000 units an em, win ascent 1974 and descent 426 (hhea says 1610 and 390).
    const FontMetrics m = GetFontMetrics(Font("Arial Black", -2000));
    EXPECT_EQ(m.ascent, 1974);
    EXPECT_EQ(m.descent, 426);
    EXPECT_EQ(m.height, 2400);
    EXPECT_EQ(m.emHeight, 2000);
}

TEST(FontRule, DialogFontResolvesToDejaVuSans) {
    testing::LoadFontRule();
    EXPECT_TRUE(EndsWith(ResolvedFontFile(Font("MS Sans Serif", -11)), "/DejaVuSans.ttf"));
    EXPECT_TRUE(
        EndsWith(ResolvedFontFile(Font("MS Sans Serif", -11, true)), "/DejaVuSans-Bold.ttf"));
}

TEST(FontRule, LoadingTheSameFileAgainSucceeds) {
    testing::LoadFontRule();
    testing::LoadFontRule();
}

TEST(FontRule, MissingOrDamagedFilesAreRefusedAndChangeNothing) {
    testing::LoadFontRule();
    const std::string before = ResolvedFontFile(Font("Arial Black", -16));
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    EXPECT_FALSE(LoadFontConfigFile((dir / "glyphwerk-no-such-rule.conf").string()));
    EXPECT_FALSE(LoadFontConfigFile(dir.string()));
    // A valid rule followed by garbage: nothing of it may take effect.
    const std::filesystem::path bad = dir / "glyphwerk-damaged-rule.conf";
    {
        std::ofstream out(bad);
        out << "<?xml version=\"1.0\"?>\n<fontconfig>\n"
               "<alias binding=\"strong\"><family>Arial Black</family>"
               "<prefer><family>DejaVu Serif</family></prefer></alias>\n"
               "<match><edit name=\"family\"><string>x</string></edit>\n<<<\x01\x02";
    }
    EXPECT_FALSE(LoadFontConfigFile(bad.string()));
    std::filesystem::remove(bad);
    EXPECT_EQ(ResolvedFontFile(Font("Arial Black", -16)), before);
}

// ---- Resolution and synthesis

TEST(FontResolve, RealStylesAreNotSynthesised) {
    auto lock = fonts::EngineLock();
    const fonts::FaceChoice regular = fonts::ChooseFace(DejaVu());
    const fonts::FaceChoice bold = fonts::ChooseFace(Font("DejaVu Sans", -40, true));
    EXPECT_TRUE(EndsWith(fonts::FileOf(regular), "/DejaVuSans.ttf"));
    EXPECT_TRUE(EndsWith(fonts::FileOf(bold), "/DejaVuSans-Bold.ttf"));
    EXPECT_FALSE(regular.syntheticBold || regular.syntheticItalic);
    EXPECT_FALSE(bold.syntheticBold || bold.syntheticItalic);
}

TEST(FontResolve, ItalicIsRealOrSheared) {
    // Where the oblique face is installed it is used, else the upright face is sheared.
    auto lock = fonts::EngineLock();
    const fonts::FaceChoice italic = fonts::ChooseFace(Font("DejaVu Sans", -40, false, true));
    ASSERT_NE(italic.face, nullptr);
    EXPECT_NE(EndsWith(fonts::FileOf(italic), "/DejaVuSans.ttf"), !italic.syntheticItalic);
    EXPECT_FALSE(italic.syntheticBold);
}

TEST(FontResolve, UnknownNamesStillGiveAFace) {
    EXPECT_FALSE(ResolvedFontFile(Font("No Such Font Family 1234", -20)).empty());
    EXPECT_FALSE(ResolvedFontFile(Font("", -20)).empty());
    EXPECT_GT(testing::WidthOf(Font("No Such Font Family 1234", -20), "abc"), 0);
}

// ---- Metrics

TEST(FontMetricsOf, NegativeHeightIsTheEm) {
    // DejaVu Sans: 2048 units an em, win ascent 1901, win descent 483.
    // 1901 x 40 / 2048 = 37.13 -> 37; 483 x 40 / 2048 = 9.43 -> 9.
    const FontMetrics m = GetFontMetrics(DejaVu(-40));
    EXPECT_EQ(m.ascent, 37);
    EXPECT_EQ(m.descent, 9);
    EXPECT_EQ(m.height, 46);
    EXPECT_EQ(m.emHeight, 40);
}

TEST(FontMetricsOf, RoundingIsHalfToEven) {
    // At 1024 pixels: the ascent 1901 / 2 = 950.5 -> 950, the descent 483 / 2 = 241.5 -> 242.
    const FontMetrics m = GetFontMetrics(DejaVu(-1024));
    EXPECT_EQ(m.ascent, 950);
    EXPECT_EQ(m.descent, 242);
}

TEST(FontMetricsOf, PositiveHeightIsTheCell) {
    // A cell of 46: the em is 46 x 2048 / 2384 = 39.52 -> 40, the ascent
    // 46 x 1901 / 2384 = 36.68 -> 37, the descent the rest.
    const FontMetrics m = GetFontMetrics(DejaVu(46));
    EXPECT_EQ(m.height, 46);
    EXPECT_EQ(m.ascent, 37);
    EXPECT_EQ(m.descent, 9);
    EXPECT_EQ(m.emHeight, 40);
    for (std::int32_t cell = 1; cell < 200; ++cell)
        ASSERT_EQ(GetFontMetrics(DejaVu(cell)).height, cell);
}

TEST(FontMetricsOf, ZeroHeightIsTwelvePixels) {
    const FontMetrics zero = GetFontMetrics(DejaVu(0));
    const FontMetrics twelve = GetFontMetrics(DejaVu(-12));
    EXPECT_EQ(zero.ascent, twelve.ascent);
    EXPECT_EQ(zero.descent, twelve.descent);
    EXPECT_EQ(zero.emHeight, 12);
    EXPECT_EQ(testing::WidthOf(DejaVu(0), "Hamburg"), testing::WidthOf(DejaVu(-12), "Hamburg"));
}

// ---- The font list

TEST(FontList, HoldsDejaVuSansOnceAndNamesOfAtMost32Characters) {
    const std::vector<std::string> names = EnumFontFamilies();
    EXPECT_EQ(std::count(names.begin(), names.end(), "DejaVu Sans"), 1);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    for (const std::string& name : names) {
        EXPECT_FALSE(name.empty());
        std::size_t characters = 0;
        for (unsigned char c : name)
            characters += (c & 0xC0) != 0x80;
        EXPECT_LE(characters, 32u) << name;
    }
}

TEST(FontList, FamiliesAreFirstNamesOnly) {
    // Lato Black is listed as "Lato", its first family name.
    const std::vector<std::string> names = EnumFontFamilies();
    EXPECT_EQ(std::count(names.begin(), names.end(), "Lato"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Lato Black"), 0);
}

// ---- Threads

TEST(FontThreads, ConcurrentMeasuringAndDrawingAgreeWithOneThread) {
    const TRect expected = testing::Measure(DejaVu(-31), "Faden\rNadel &x");
    const Bitmap expectedPixels = testing::Drawn(DejaVu(-31), "Faden\rNadel &x");
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i) {
                if (testing::Measure(DejaVu(-31), "Faden\rNadel &x") != expected) ++failures[t];
                if (!testing::SamePixels(testing::Drawn(DejaVu(-31), "Faden\rNadel &x"),
                                         expectedPixels))
                    ++failures[t];
                testing::Measure(DejaVu(-20 - i - t), "Andere Zeile");
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace gw
