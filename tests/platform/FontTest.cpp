#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "FontSetup.h"
#include "platform/FontEngine.h"
#include "platform/TextLayout.h"
#include "platform/TextTestSupport.h"

namespace gw {
namespace {

// The faces every test of this program draws with unless it names its own.
[[maybe_unused]] ::testing::Environment* const kFonts =
    ::testing::AddGlobalTestEnvironment(new testing::FontSetupEnvironment(
        {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf",
         "DejaVuSans-BoldOblique.ttf", "Lato-Black.ttf", "Lato-BlackItalic.ttf"}));

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

TEST(FontResolve, MissingStylesAreSynthesisedWhateverTheRules) {
    // Without the oblique faces, italic shears the upright face; without a bold face, bold
    // emboldens. fontconfig's synthesis rules rewrite such a match to look like the asked style,
    // which must not fool the choice.
    struct Case {
        std::vector<std::string> files;
        bool bold, italic;
        const char* file;
        bool syntheticBold, syntheticItalic;
    };
    const std::vector<std::string> regularAndBold = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"};
    const Case cases[] = {
        {regularAndBold, false, true, "/DejaVuSans.ttf", false, true},
        {regularAndBold, true, true, "/DejaVuSans-Bold.ttf", false, true},
        {regularAndBold, true, false, "/DejaVuSans-Bold.ttf", false, false},
        {{"DejaVuSans.ttf"}, true, false, "/DejaVuSans.ttf", true, false},
        {{"DejaVuSans.ttf"}, true, true, "/DejaVuSans.ttf", true, true},
        {{"DejaVuSans.ttf", "DejaVuSans-Oblique.ttf"},
         false,
         true,
         "/DejaVuSans-Oblique.ttf",
         false,
         false},
    };
    for (const bool rules : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.file) + (rules ? " with" : " without") +
                         " the rules, bold " + std::to_string(c.bold) + ", italic " +
                         std::to_string(c.italic));
            testing::FontSetup setup(c.files, rules);
            const LogFont font = Font("DejaVu Sans", -40, c.bold, c.italic);
            {
                auto lock = fonts::EngineLock();
                const fonts::FaceChoice choice = fonts::ChooseFace(font);
                EXPECT_TRUE(EndsWith(fonts::FileOf(choice), c.file)) << fonts::FileOf(choice);
                EXPECT_EQ(choice.syntheticBold, c.syntheticBold);
                EXPECT_EQ(choice.syntheticItalic, c.syntheticItalic);
            }
            // What is asked shows in the pixels.
            const Bitmap asked = testing::Drawn(font, "Hamburg");
            EXPECT_FALSE(testing::SamePixels(asked, testing::Drawn(DejaVu(), "Hamburg")));
        }
    }
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

TEST(FontList, EveryFamilyNameOfEveryFaceInFullSortedOnce) {
    testing::FontSetup setup({"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSansCondensed.ttf",
                              "Lato-Black.ttf", "Lato-Light.ttf"});
    const std::vector<std::string> names = EnumFontFamilies();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), FontNameLess));
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    // Second family names too: each of them is matched to its own face.
    for (const auto& [name, file] :
         {std::pair{"DejaVu Sans", "/DejaVuSans.ttf"},
          std::pair{"DejaVu Sans Condensed", "/DejaVuSansCondensed.ttf"},
          std::pair{"Lato Black", "/Lato-Black.ttf"}, std::pair{"Lato Light", "/Lato-Light.ttf"}}) {
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
        EXPECT_TRUE(EndsWith(ResolvedFontFile(Font(name, -20)), file)) << name;
    }
    EXPECT_EQ(std::count(names.begin(), names.end(), "Lato"), 1);
}

TEST(FontList, OneOrderAndShownNamesCutBetweenCharacters) {
    EXPECT_TRUE(FontNameLess("arial", "Bitstream"));
    EXPECT_TRUE(FontNameLess("DejaVu Sans", "dejavu sans"));  // equal but for case: bytes decide
    EXPECT_FALSE(FontNameLess("dejavu sans", "DejaVu Sans"));
    EXPECT_TRUE(FontNameLess("Lato", "Lato Black"));
    const std::string ascii40(40, 'x');
    // 31 letters and an umlaut fill 32 characters in 33 bytes; what follows is cut.
    const std::string umlaut = std::string(31, 'a') + "\xc3\xbc" + "\xc3\xa4zz";
    const std::pair<std::string, std::string> cases[] = {
        {"DejaVu Sans", "DejaVu Sans"},
        {ascii40, std::string(32, 'x')},
        {umlaut, std::string(31, 'a') + "\xc3\xbc"},
        {std::string(32, 'b'), std::string(32, 'b')},
    };
    for (const auto& [name, shown] : cases)
        EXPECT_EQ(ShownFontName(name), shown) << name;
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
