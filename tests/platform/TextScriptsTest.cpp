// Text beyond the chosen font: characters from fallback fonts, and lines of both directions.
#include <fribidi.h>
#include <gtest/gtest.h>

#include <numeric>

#include "FontSetup.h"
#include "platform/FontEngine.h"
#include "platform/TextLayout.h"
#include "platform/TextTestSupport.h"
#include "platform/Utf8.h"

namespace gw {
namespace {

using testing::Drawn;
using testing::Font;
using testing::WidthOf;

// Lato has neither Hebrew nor Arabic nor Cyrillic; DejaVu Sans has them all; no face here has
// the unicorn U+1F984.
const std::vector<std::string> kLatoAndDejaVu = {"Lato-Regular.ttf", "DejaVuSans.ttf"};
const char* const kHebrew = "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d";  // shalom
const char* const kUnicorn = "\xf0\x9f\xa6\x84";

fonts::ShapedLine ShapeLine(const LogFont& font, std::string_view text) {
    auto lock = fonts::EngineLock();
    return fonts::Shape(fonts::ChooseFace(font), text, {});
}

// ---- Fallback fonts

TEST(TextFallback, MissingCharactersComeFromAFontThatHasThemAtTheSameEm) {
    testing::FontSetup setup(kLatoAndDejaVu);
    const LogFont lato = Font("Lato", -40);
    const LogFont dejavu = Font("DejaVu Sans", -40);

    // Drawn in DejaVu Sans exactly as DejaVu Sans draws it, on Lato's baseline: Lato's ascent is
    // 1974 x 40 / 2000 = 39.48 -> 39 pixels, DejaVu's 37.
    const Bitmap fromFallback = Drawn(lato, kHebrew, 0, {10, 10, 10, 10});
    const Bitmap fromOwnFont = Drawn(dejavu, kHebrew, 0, {10, 12, 12, 12});
    EXPECT_TRUE(testing::SamePixels(fromFallback, fromOwnFont));
    EXPECT_EQ(WidthOf(lato, kHebrew), WidthOf(dejavu, kHebrew));

    // Measuring counts the fallback run; only the missing part changes face.
    const std::string mixed = std::string("Lato ") + kHebrew;
    EXPECT_EQ(WidthOf(lato, mixed), WidthOf(lato, "Lato ") + WidthOf(lato, kHebrew));
    const fonts::ShapedLine line = ShapeLine(lato, mixed);
    ASSERT_EQ(line.faces.size(), 2u);
    ASSERT_EQ(line.runs.size(), 2u);
    EXPECT_EQ(line.runs[0].face, 0);
    EXPECT_EQ(line.runs[1].face, 1);
    EXPECT_TRUE(MissingCharacters(lato, mixed).empty());

    // What no font has is drawn as the font's box and named, each character once.
    const std::string unknown = std::string(kUnicorn) + "a" + kUnicorn + "\xe2\x80\x8d";
    EXPECT_EQ(MissingCharacters(lato, unknown), std::vector<char32_t>{0x1F984});
    EXPECT_EQ(MissingCharacters(lato, std::string("&&x\r") + kUnicorn),
              std::vector<char32_t>{0x1F984});
    EXPECT_GT(WidthOf(lato, kUnicorn), 0);
}

// ---- Bidirectional order

// The logical character indices of the line in FriBidi's visual order.
std::vector<std::size_t> FriBidiVisual(const std::u32string& text) {
    const auto n = static_cast<FriBidiStrIndex>(text.size());
    std::vector<FriBidiChar> chars(text.begin(), text.end());
    std::vector<FriBidiCharType> types(text.size());
    std::vector<FriBidiBracketType> brackets(text.size());
    std::vector<FriBidiLevel> levels(text.size());
    std::vector<FriBidiStrIndex> map(text.size());
    std::iota(map.begin(), map.end(), 0);
    fribidi_get_bidi_types(chars.data(), n, types.data());
    fribidi_get_bracket_types(chars.data(), n, types.data(), brackets.data());
    FriBidiParType base = FRIBIDI_PAR_ON;
    EXPECT_GT(
        fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &base, levels.data()),
        0);
    EXPECT_GT(fribidi_reorder_line(0, types.data(), n, 0, base, levels.data(), nullptr, map.data()),
              0);
    return {map.begin(), map.end()};
}

std::string Utf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text)
        AppendUtf8(out, c);
    return out;
}

TEST(TextBidi, RunsStandInFriBidisVisualOrder) {
    testing::FontSetup setup(kLatoAndDejaVu);
    struct Case {
        std::u32string text;
        std::vector<std::u32string> visualRuns;  // the runs' texts, left to right
    };
    const Case cases[] = {
        // Latin, then Hebrew: the Hebrew word right of it, read right to left.
        {U"abc \u05e9\u05dc\u05d5\u05dd", {U"abc ", U"\u05e9\u05dc\u05d5\u05dd"}},
        // Arabic, then Cyrillic: an Arabic paragraph, the Cyrillic word at its left.
        {U"\u0645\u0631\u062d\u0628\u0627 \u041f\u0440\u0438\u0432\u0435\u0442",
         {U"\u041f\u0440\u0438\u0432\u0435\u0442", U"\u0645\u0631\u062d\u0628\u0627 "}},
        // Latin, Hebrew, Cyrillic, Arabic and a character no font has.
        {U"Hallo \u05e9\u05dc\u05d5\u05dd \u041c\u0438\u0440 \u0633\u0644\u0627\u0645 \U0001f984",
         {}},
        // Explicit marks: right-to-left override and an isolate.
        {U"\u202eabc\u202c def \u2067\u05d0\u05d1 12\u2069 x", {}},
    };
    for (const Case& c : cases) {
        const std::string text = Utf8(c.text);
        SCOPED_TRACE(text);
        for (const char* family : {"Lato", "DejaVu Sans"}) {
            const fonts::ShapedLine line = ShapeLine(Font(family, -30), text);
            // Each run's characters, in visual order within the run, make FriBidi's order.
            std::vector<std::size_t> byteToIndex(text.size() + 1, 0);
            for (std::size_t i = 0, at = 0; i < c.text.size(); ++i) {
                byteToIndex[at] = i;
                at += Utf8(c.text.substr(i, 1)).size();
            }
            std::vector<std::size_t> fromRuns;
            std::vector<std::u32string> runTexts;
            for (const fonts::ShapedRun& run : line.runs) {
                const std::size_t first = byteToIndex[run.start];
                std::size_t count = 0;
                for (std::size_t at = run.start; at < run.start + run.length; ++count)
                    at += Utf8(c.text.substr(first + count, 1)).size();
                std::vector<std::size_t> indices(count);
                std::iota(indices.begin(), indices.end(), first);
                if (run.level & 1) std::reverse(indices.begin(), indices.end());
                fromRuns.insert(fromRuns.end(), indices.begin(), indices.end());
                runTexts.push_back(c.text.substr(first, count));
            }
            EXPECT_EQ(fromRuns, FriBidiVisual(c.text)) << family;
            if (!c.visualRuns.empty() && std::string_view(family) == "DejaVu Sans") {
                EXPECT_EQ(runTexts, c.visualRuns);
            }
        }
    }
}

TEST(TextBidi, OneDirectionLinesAreOneRun) {
    testing::FontSetup setup(kLatoAndDejaVu);
    for (const char* text : {"Glyphwerk & Co. 1999", kHebrew, "\xd0\x9c\xd0\xb8\xd1\x80"}) {
        const fonts::ShapedLine line = ShapeLine(Font("DejaVu Sans", -30), text);
        ASSERT_EQ(line.runs.size(), 1u) << text;
        EXPECT_EQ(line.runs[0].length, std::string_view(text).size());
    }
}

}  // namespace
}  // namespace gw
