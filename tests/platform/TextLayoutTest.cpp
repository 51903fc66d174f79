#include "platform/TextLayout.h"

#include <gtest/gtest.h>

#include "platform/FontEngine.h"
#include "platform/TextTestSupport.h"

namespace gw {
namespace {

using testing::DejaVu;
using testing::Drawn;
using testing::Measure;
using testing::SamePixels;
using testing::WidthOf;

// The ink of a picture: the columns and rows holding a black pixel.
struct Ink {
    std::int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
Ink InkOf(const Bitmap& b, std::int32_t rowFrom = 0, std::int32_t rowTo = -1) {
    Ink ink;
    if (rowTo < 0) rowTo = b.Height();
    for (std::int32_t y = rowFrom; y < rowTo; ++y)
        for (std::int32_t x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) == clBlack) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x + 1);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y + 1);
            }
    return ink;
}

// ---- Measuring

TEST(TextMeasure, TwoLinesMeasureAsTheWidestLineByTwoLineHeights) {
    const LogFont font = DejaVu();
    const std::int32_t lineHeight = GetFontMetrics(font).height;
    const std::int32_t longWidth = WidthOf(font, "Hamburg");
    const std::int32_t shortWidth = WidthOf(font, "Ei");
    ASSERT_GT(longWidth, shortWidth);
    EXPECT_EQ(Measure(font, "Ei\rHamburg"), (TRect{0, 0, longWidth, 2 * lineHeight}));
    EXPECT_EQ(Measure(font, "Hamburg\rEi"), (TRect{0, 0, longWidth, 2 * lineHeight}));
}

TEST(TextMeasure, KeepsTheRectOriginAndReturnsTheBlockHeight) {
    const LogFont font = DejaVu();
    TRect rect{-7, 13, 500, 500};
    const std::int32_t height = DrawTextBlock(nullptr, font, clBlack, "ab\rc", rect, DT_CALCRECT);
    EXPECT_EQ(height, 2 * GetFontMetrics(font).height);
    EXPECT_EQ(rect, (TRect{-7, 13, -7 + WidthOf(font, "ab"), 13 + height}));
}

TEST(TextMeasure, CrLfAndCrLfEachBreakOnce) {
    const LogFont font = DejaVu();
    const std::int32_t h = GetFontMetrics(font).height;
    EXPECT_EQ(Measure(font, "ab").bottom, h);
    EXPECT_EQ(Measure(font, "a\rb").bottom, 2 * h);
    EXPECT_EQ(Measure(font, "a\nb").bottom, 2 * h);
    EXPECT_EQ(Measure(font, "a\r\nb").bottom, 2 * h);
    EXPECT_EQ(Measure(font, "a\n\rb").bottom, 3 * h);
    EXPECT_EQ(Measure(font, "a\r\rb").bottom, 3 * h);
    EXPECT_EQ(Measure(font, "a\r\n\r\nb").bottom, 3 * h);
    // The breaks take no width.
    EXPECT_EQ(Measure(font, "a\r\nb").right, std::max(WidthOf(font, "a"), WidthOf(font, "b")));
}

TEST(TextMeasure, EmptyLinesCountOneLineHeight) {
    const LogFont font = DejaVu();
    const std::int32_t h = GetFontMetrics(font).height;
    EXPECT_EQ(Measure(font, ""), (TRect{0, 0, 0, h}));
    EXPECT_EQ(Measure(font, "\r"), (TRect{0, 0, 0, 2 * h}));
    EXPECT_EQ(Measure(font, "ab\r").bottom, 2 * h);
    EXPECT_EQ(Measure(font, "\rab").bottom, 2 * h);
}

TEST(TextMeasure, WorkedWidthsInFontUnits) {
    // At an em of 2048 pixels a DejaVu Sans unit is one pixel: the width is the sum of the
    // advances, H 1540, a 1255, b 1300.
    const LogFont font = DejaVu(-2048);
    EXPECT_EQ(WidthOf(font, "H"), 1540);
    EXPECT_EQ(WidthOf(font, "Hab"), 1540 + 1255 + 1300);
    // At 40 pixels: 1540 x 40 / 2048 = 30.08.
    EXPECT_EQ(WidthOf(DejaVu(-40), "H"), 30);
}

TEST(TextMeasure, TheLineWidthIsTheRoundedPenEndNotASumOfRoundedAdvances) {
    // An I of DejaVu Sans at 10 pixels is 604 x 10 / 2048 = 2.949 pixels wide, 3 rounded;
    // thirteen of them end at 38.34 -> 38, where rounded advances would sum to 39.
    EXPECT_EQ(WidthOf(DejaVu(-10), "IIIIIIIIIIIII"), 38);
}

TEST(TextMeasure, ShapingAppliesKerning) {
    const LogFont font = DejaVu(-2048);
    EXPECT_LT(WidthOf(font, "AV"), WidthOf(font, "A") + WidthOf(font, "V"));
}

TEST(TextMeasure, BoldIsWiderThanRegular) {
    EXPECT_GT(WidthOf(testing::Font("DejaVu Sans", -40, true), "Hamburg"),
              WidthOf(DejaVu(), "Hamburg"));
}

TEST(TextMeasure, GrowingTheEmNeverShrinksTheBlock) {
    const std::string_view text = "ZEF-LOR\rGbR &x";
    TRect previous = Measure(DejaVu(-16), text);
    for (std::int32_t em = 17; em <= 600; ++em) {
        const TRect rect = Measure(DejaVu(-em), text);
        ASSERT_GE(rect.right, previous.right) << em;
        ASSERT_GE(rect.bottom, previous.bottom) << em;
        previous = rect;
    }
}

TEST(TextMeasure, WidthsScaleWithTheEm) {
    // width(2 em) = round(2 w) and 2 width(em) = 2 round(w) differ by at most one pixel.
    for (std::int32_t em : {17, 33, 100, 257, 1000}) {
        const std::int32_t w1 = WidthOf(DejaVu(-em), "Glyphwerk");
        const std::int32_t w2 = WidthOf(DejaVu(-2 * em), "Glyphwerk");
        EXPECT_LE(std::abs(w2 - 2 * w1), 1) << em;
    }
}

TEST(TextMeasure, DamagedInputMeasuresSafely) {
    // Broken UTF-8 shapes as replacement characters; a mark before a cut sequence is harmless.
    EXPECT_GT(WidthOf(DejaVu(), "a\xff\xfe&\xc3"), WidthOf(DejaVu(), "a"));
    EXPECT_EQ(Measure(DejaVu(), std::string_view("a\0b", 3)).bottom,
              GetFontMetrics(DejaVu()).height);

    const TRect rect = Measure(DejaVu(-2000000000), "ab\rc");
    EXPECT_GT(rect.right, 0);
    EXPECT_GT(rect.bottom, 0);
    EXPECT_GT(Measure(DejaVu(std::numeric_limits<std::int32_t>::min()), "ab").right, 0);
}

// ---- The ampersand rule

TEST(TextPrefix, TwoAmpersandsMeasureAsOne) {
    const LogFont font = DejaVu();
    EXPECT_EQ(WidthOf(font, "a&&b"), WidthOf(font, "a&b", DT_NOPREFIX));
    EXPECT_EQ(WidthOf(font, "&&&&"), WidthOf(font, "&&", DT_NOPREFIX));
}

TEST(TextPrefix, TheMarkTakesNoWidthAndALoneEndingOneIsDropped) {
    const LogFont font = DejaVu();
    EXPECT_EQ(WidthOf(font, "&Neu"), WidthOf(font, "Neu"));
    EXPECT_EQ(WidthOf(font, "Ne&u"), WidthOf(font, "Neu"));
    EXPECT_EQ(WidthOf(font, "Neu&"), WidthOf(font, "Neu"));
    EXPECT_EQ(WidthOf(font, "&"), 0);
    // Per line: an ampersand before a break is the end of its line.
    EXPECT_EQ(Measure(font, "Neu&\rx"), Measure(font, "Neu\rx"));
}

TEST(TextPrefix, NoPrefixKeepsEveryAmpersand) {
    const LogFont font = DejaVu();
    EXPECT_GT(WidthOf(font, "a&b", DT_NOPREFIX), WidthOf(font, "ab"));
    EXPECT_EQ(WidthOf(font, "&", DT_NOPREFIX), WidthOf(font, "&&"));
}

TEST(TextPrefix, TwoAmpersandsDrawAsOne) {
    const LogFont font = DejaVu();
    EXPECT_TRUE(SamePixels(Drawn(font, "R&&D"), Drawn(font, "R&D", DT_NOPREFIX)));
}

TEST(TextPrefix, MarkedCharacterIsUnderlinedAndNoAmpersandIsDrawn) {
    const LogFont font = DejaVu();
    const FontMetrics m = GetFontMetrics(font);
    const Bitmap plain = Drawn(font, "xy");
    const Bitmap marked = Drawn(font, "&xy");
    const std::int32_t baseline = 10 + m.ascent;
    const std::int32_t xEnd = 10 + WidthOf(font, "x");
    std::int32_t underlineRows = 0;
    for (std::int32_t y = 0; y < plain.Height(); ++y) {
        bool rowDiffers = false;
        for (std::int32_t x = 0; x < plain.Width(); ++x) {
            if (plain.Pixel(x, y) == marked.Pixel(x, y)) continue;
            rowDiffers = true;
            // Only pixels are added, below the baseline and under the x alone.
            ASSERT_EQ(marked.Pixel(x, y), clBlack);
            ASSERT_GE(y, baseline);
            ASSERT_LT(y, 10 + m.height);
            ASSERT_GE(x, 10);
            ASSERT_LT(x, xEnd);
        }
        if (!rowDiffers) continue;
        ++underlineRows;
        // The stem spans the x's whole advance.
        for (std::int32_t x = 10; x < xEnd; ++x)
            ASSERT_EQ(marked.Pixel(x, y), clBlack) << x << "," << y;
    }
    EXPECT_GE(underlineRows, 1);
    EXPECT_LE(underlineRows, 4);
}

TEST(TextPrefix, FontUnderlineUnderlinesTheWholeLine) {
    LogFont font = DejaVu();
    font.underline = true;
    const Bitmap b = Drawn(font, "a b");
    const FontMetrics m = GetFontMetrics(font);
    // Some row below the baseline is black all along the line, the space included.
    bool found = false;
    for (std::int32_t y = 10 + m.ascent; y < 10 + m.height && !found; ++y) {
        found = true;
        for (std::int32_t x = 10; x < 10 + WidthOf(font, "a b"); ++x)
            found = found && b.Pixel(x, y) == clBlack;
        found =
            found && b.Pixel(9, y) == clWhite && b.Pixel(10 + WidthOf(font, "a b"), y) == clWhite;
    }
    EXPECT_TRUE(found);
}

// ---- Drawing

TEST(TextDraw, BlackOnWhiteHoldsOnlyBlackAndWhite) {
    const Bitmap b = Drawn(testing::Font("DejaVu Sans", -47, true, true), "Glyphwerk &Öl\rfiß");
    const std::int32_t black = testing::CountPixels(b, clBlack);
    EXPECT_GT(black, 100);
    EXPECT_EQ(black + testing::CountPixels(b, clWhite), b.Width() * b.Height());
}

TEST(TextDraw, OnlyTheGivenColourIsWrittenAndNothingElseChanges) {
    Bitmap b(200, 80, PixelFormat::Rgb24, RGB(10, 200, 30));
    b.SetPixel(30, 30, clBlue);
    const Bitmap before = b;
    TRect rect{5, 5, 5, 5};
    DrawTextBlock(&b, DejaVu(), clRed, "&Wm", rect, 0);
    std::int32_t red = 0;
    for (std::int32_t y = 0; y < b.Height(); ++y)
        for (std::int32_t x = 0; x < b.Width(); ++x) {
            if (b.Pixel(x, y) == before.Pixel(x, y)) continue;
            ASSERT_EQ(b.Pixel(x, y), clRed);
            ++red;
        }
    EXPECT_GT(red, 50);
}

TEST(TextDraw, MonochromeTargetGetsTheReducedColour) {
    Bitmap b(100, 60, PixelFormat::Mono);
    TRect rect{0, 0, 0, 0};
    DrawTextBlock(&b, DejaVu(), RGB(40, 40, 40), "Wm", rect, 0);
    EXPECT_GT(testing::CountPixels(b, clBlack), 50);
    EXPECT_EQ(testing::CountPixels(b, clBlack) + testing::CountPixels(b, clWhite), 100 * 60);
}

TEST(TextDraw, DrawsWhereItMeasures) {
    // Without a kerning pair between them, "o" in "Ho" stands where the measured "H" ends.
    const LogFont font = DejaVu(-37);
    const std::int32_t w = WidthOf(font, "H");
    Bitmap apart(300, 100);
    TRect first{10, 10, 10, 10};
    TRect second{10 + w, 10, 10 + w, 10};
    DrawTextBlock(&apart, font, clBlack, "H", first, 0);
    DrawTextBlock(&apart, font, clBlack, "o", second, 0);
    EXPECT_TRUE(SamePixels(Drawn(font, "Ho", 0, {10, 10, 10, 10}, 300, 100), apart));
}

TEST(TextDraw, TheFirstLineStartsAtTheRectTopAndLinesFollowByTheLineHeight) {
    const LogFont font = DejaVu();
    const FontMetrics m = GetFontMetrics(font);
    const Bitmap one = Drawn(font, "H", 0, {10, 10, 10, 10});
    const Bitmap two = Drawn(font, "\rH", 0, {10, 10 - m.height, 10, 10 - m.height});
    EXPECT_TRUE(SamePixels(one, two));
    // "H" sits on the baseline: its ink ends at the ascent.
    EXPECT_EQ(InkOf(one).bottom, 10 + m.ascent);
}

// The second, short line of an aligned block must match the same line drawn alone, left
// aligned, at the expected x.
void ExpectSecondLineAt(std::uint32_t format, TRect rect, std::int32_t expectedX) {
    const LogFont font = DejaVu();
    const std::int32_t h = GetFontMetrics(font).height;
    const Bitmap block = Drawn(font, "Wolkenkratzer\rIl", format, rect, 500, 200);
    const Bitmap alone = Drawn(font, "Il", 0, {expectedX, rect.top + h, expectedX, 0}, 500, 200);
    for (std::int32_t y = rect.top + h; y < rect.top + 2 * h; ++y)
        for (std::int32_t x = 0; x < 500; ++x)
            ASSERT_EQ(block.Pixel(x, y), alone.Pixel(x, y)) << x << "," << y;
    EXPECT_GT(testing::CountPixels(alone, clBlack), 0);
}

TEST(TextDraw, AlignmentPlacesAShortLineUnderALongOne) {
    const LogFont font = DejaVu();
    const TRect block = Measure(font, "Wolkenkratzer\rIl", 0, {20, 30, 20, 30});
    const std::int32_t longW = block.Width();
    const std::int32_t shortW = WidthOf(font, "Il");
    ExpectSecondLineAt(DT_LEFT, block, 20);
    ExpectSecondLineAt(DT_CENTER, block, 20 + (longW - shortW) / 2);
    ExpectSecondLineAt(DT_RIGHT, block, 20 + longW - shortW);
}

TEST(TextDraw, CentringALineWiderThanTheRectTruncatesTowardZero) {
    // An empty rect at x 100: the offset is (0 - w) div 2, so the line starts at 100 - w / 2
    // rounded toward the rect.
    const LogFont font = DejaVu();
    const std::int32_t w = WidthOf(font, "Zentriert");
    const std::int32_t x = 100 + (0 - w) / 2;
    EXPECT_TRUE(SamePixels(Drawn(font, "Zentriert", DT_CENTER, {100, 10, 100, 10}),
                           Drawn(font, "Zentriert", 0, {x, 10, x, 10})));
    EXPECT_TRUE(SamePixels(Drawn(font, "Zentriert", DT_RIGHT, {100, 10, 100, 10}),
                           Drawn(font, "Zentriert", 0, {100 - w, 10, 100 - w, 10})));
}

TEST(TextDraw, ClipsToTheBitmapOnly) {
    // A block hanging over every edge of a small bitmap shows exactly the part of it that the
    // big picture shows there.
    const LogFont font = DejaVu(-60);
    const Bitmap big = Drawn(font, "Wolke\rMgj", 0, {0, 0, 0, 0}, 400, 200);
    const Bitmap small = Drawn(font, "Wolke\rMgj", 0, {-37, -21, -37, -21}, 90, 70);
    for (std::int32_t y = 0; y < small.Height(); ++y)
        for (std::int32_t x = 0; x < small.Width(); ++x)
            ASSERT_EQ(small.Pixel(x, y), big.Pixel(x + 37, y + 21)) << x << "," << y;
}

TEST(TextDraw, GiantGlyphsAreRenderedOnlyWhereTheyLand) {
    // The stem of an I at an em of 20000 pixels (about 1970 pixels wide, 14600 high) covers a
    // small bitmap whole; only the covered part is rendered.
    const LogFont font = DejaVu(-20000);
    const std::int32_t top = 5000 - GetFontMetrics(font).ascent;
    Bitmap b(50, 50);
    TRect rect{-2500, top, -2500, top};
    DrawTextBlock(&b, font, clBlack, "I", rect, 0);
    EXPECT_EQ(testing::CountPixels(b, clBlack), 50 * 50);
}

TEST(TextDraw, ItalicOverhangIsNotCutAtTheRect) {
    // A sheared I leans past its advance; the rect does not clip it.
    const LogFont font = DejaVu(-80);
    fonts::FaceChoice choice;
    {
        auto lock = fonts::EngineLock();
        choice = fonts::ChooseFace(font);
    }
    choice.syntheticItalic = true;
    TRect rect{10, 10, 10, 10};
    fonts::DrawTextBlockWithFace(nullptr, choice, font, clBlack, "I", rect, DT_CALCRECT);
    Bitmap b(200, 120);
    fonts::DrawTextBlockWithFace(&b, choice, font, clBlack, "I", rect, 0);
    EXPECT_GT(InkOf(b).right, rect.right);
}

TEST(TextDraw, NullTargetDrawsNothingAndReturnsTheHeight) {
    TRect rect{0, 0, 50, 50};
    EXPECT_EQ(DrawTextBlock(nullptr, DejaVu(), clBlack, "a\rb", rect, DT_CENTER),
              2 * GetFontMetrics(DejaVu()).height);
    EXPECT_EQ(rect, (TRect{0, 0, 50, 50}));
}

// ---- Synthetic styles, forced on a face that has its own bold and italic

fonts::FaceChoice DejaVuChoice(bool bold, bool italic) {
    auto lock = fonts::EngineLock();
    fonts::FaceChoice c = fonts::ChooseFace(DejaVu());
    c.syntheticBold = bold;
    c.syntheticItalic = italic;
    return c;
}

std::int32_t SynthWidth(const fonts::FaceChoice& c, std::int32_t height, std::string_view text) {
    TRect rect{};
    fonts::DrawTextBlockWithFace(nullptr, c, DejaVu(height), clBlack, text, rect, DT_CALCRECT);
    return rect.right;
}

TEST(TextSynthetic, BoldWidensEveryAdvanceByAnEmOver24) {
    // DejaVu Sans: 2048 units an em, 2048 / 24 = 85.3 -> 85 units a glyph.
    EXPECT_EQ(SynthWidth(DejaVuChoice(true, false), -2048, "Hab"),
              SynthWidth(DejaVuChoice(false, false), -2048, "Hab") + 3 * 85);
    EXPECT_EQ(SynthWidth(DejaVuChoice(false, true), -2048, "Hab"),
              SynthWidth(DejaVuChoice(false, false), -2048, "Hab"));
}

TEST(TextSynthetic, BoldInkStaysWithinTheWidenedAdvances) {
    const fonts::FaceChoice bold = DejaVuChoice(true, false);
    const fonts::FaceChoice regular = DejaVuChoice(false, false);
    TRect rect{10, 10, 10, 10};
    Bitmap b(400, 100), r(400, 100);
    fonts::DrawTextBlockWithFace(&b, bold, DejaVu(), clBlack, "HHH", rect, 0);
    fonts::DrawTextBlockWithFace(&r, regular, DejaVu(), clBlack, "HHH", rect, 0);
    EXPECT_GT(testing::CountPixels(b, clBlack), testing::CountPixels(r, clBlack) * 5 / 4);
    // H has side bearings: its emboldened ink keeps the left edge and ends inside the advance.
    EXPECT_EQ(InkOf(b).left, InkOf(r).left);
    EXPECT_LE(InkOf(b).right, 10 + SynthWidth(bold, -40, "HHH"));
    // The baseline stays put.
    EXPECT_EQ(InkOf(b).bottom, InkOf(r).bottom);
}

TEST(TextSynthetic, ClippedRenderingMatchesTheGlyphCache) {
    // Glyphs too big for the cache are rendered clipped to the target; both paths must give the
    // same pixels, also for glyphs cut by the bitmap's edges and with both synthetic styles.
    const fonts::FaceChoice both = DejaVuChoice(true, true);
    auto draw = [&](const fonts::FaceChoice& c, std::string_view text) {
        Bitmap b(160, 90);
        TRect rect{-13, -9, -13, -9};
        fonts::DrawTextBlockWithFace(&b, c, DejaVu(-70), clBlack, text, rect, 0);
        return b;
    };
    const Bitmap cachedBoth = draw(both, "Qg&&ß");
    const Bitmap cachedPlain = draw(DejaVuChoice(false, false), "Wj");
    std::size_t previous = 0;
    {
        auto lock = fonts::EngineLock();
        previous = fonts::SetGlyphCacheLimit(0);
    }
    const Bitmap clippedBoth = draw(both, "Qg&&ß");
    const Bitmap clippedPlain = draw(DejaVuChoice(false, false), "Wj");
    {
        auto lock = fonts::EngineLock();
        fonts::SetGlyphCacheLimit(previous);
    }
    EXPECT_TRUE(SamePixels(cachedBoth, clippedBoth));
    EXPECT_TRUE(SamePixels(cachedPlain, clippedPlain));
    EXPECT_GT(testing::CountPixels(cachedBoth, clBlack), 500);
}

// ---- A block prepared once and drawn in bands

TEST(TextPrepared, EveryBandGetsTheRowsDrawTextBlockDraws) {
    // Bands 23 rows high, the block moved up by each band's first row, against the block
    // measured and drawn at that place: underlines, italic overhangs, several lines and every
    // alignment, glyphs from the cache and (with the cache off) rendered clipped to each band.
    struct Case {
        LogFont font;
        const char* text;
        std::uint32_t format;
        bool cacheOff;
    };
    const Case cases[] = {
        {DejaVu(-41), "B&änder\rZeilen Wg", DT_CENTER, false},
        {testing::Font("DejaVu Sans", -33, true, true), "fiß &&\rΩ Ж", DT_RIGHT, false},
        {testing::Font("DejaVu Serif", -52, false, true), "Qj\rlang und länger", DT_LEFT, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::size_t previous = 0;
        if (c.cacheOff) {
            auto lock = fonts::EngineLock();
            previous = fonts::SetGlyphCacheLimit(0);
        }
        const PreparedTextBlock block(c.font, c.text, 7, 5, c.format);
        for (std::int32_t up = -23; up < 160; up += 23) {
            Bitmap band(260, 23, PixelFormat::Mono);
            block.Draw(band, clBlack, up);
            TRect rect{7, 5 - up, 7, 5 - up};
            DrawTextBlock(nullptr, c.font, clBlack, c.text, rect, DT_CALCRECT | c.format);
            Bitmap drawn(band.Width(), band.Height(), PixelFormat::Mono);
            DrawTextBlock(&drawn, c.font, clBlack, c.text, rect, c.format);
            EXPECT_TRUE(SamePixels(band, drawn)) << "moved up by " << up;
        }
        if (c.cacheOff) {
            auto lock = fonts::EngineLock();
            fonts::SetGlyphCacheLimit(previous);
        }
    }
}

// Cut at any column by the target's edges, in any colour, a block gives the pixels of the whole
// block drawn in black: the glyphs' bit rows are written run by run, and a run may begin or end
// within a byte of them.
TEST(TextPrepared, ClippedAtAnyColumnInAnyColourAsTheWholeBlock) {
    const LogFont font = testing::Font("DejaVu Sans", -37, true);
    const char* const text = "Wg ßB\rlllMW";
    const PreparedTextBlock whole(font, text, 100, 3, DT_LEFT);
    Bitmap wide(500, 90, PixelFormat::Rgb24, clWhite);
    whole.Draw(wide, clBlack, 0);
    ASSERT_GT(testing::CountPixels(wide, clBlack), 500);
    struct Case {
        std::int32_t left;  // the block's left edge in the narrow target
        TColor colour;
    };
    const Case cases[] = {{-45, clBlack},         {-3, RGB(10, 200, 30)}, {0, RGB(7, 7, 7)},
                          {13, RGB(200, 10, 90)}, {29, clBlack},          {-61, RGB(1, 2, 3)},
                          {-90, RGB(255, 0, 0)},  {70, RGB(9, 9, 8)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left);
        const PreparedTextBlock block(font, text, c.left, 3, DT_LEFT);
        Bitmap narrow(77, 90, PixelFormat::Rgb24, clWhite);
        block.Draw(narrow, c.colour, 0);
        std::int32_t wrong = 0;
        for (std::int32_t y = 0; y < narrow.Height(); ++y)
            for (std::int32_t x = 0; x < narrow.Width(); ++x) {
                const bool ink = wide.Pixel(x - c.left + 100, y) == clBlack;
                wrong += narrow.Pixel(x, y) != (ink ? c.colour : clWhite);
            }
        EXPECT_EQ(wrong, 0);
    }
}

}  // namespace
}  // namespace gw
