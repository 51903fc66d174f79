#include "render/Envelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "platform/LineRaster.h"
#include "platform/ParallelRows.h"
#include "raster/DibService.h"
#include "render/RenderTestSupport.h"

namespace gw {
namespace {

using test::At;
using test::Filled;

// ---- test pictures ----

using Rgb = test::Bgr;

// Text pixel (x, t) carries its column in blue and red and its row, counted from the top, in
// green; red stays below 4, so no text pixel is white.
Rgb TextPixel(std::int32_t x, std::int32_t t) {
    return {std::uint8_t(x & 0xFF), std::uint8_t(t), std::uint8_t(x >> 8)};
}

DibImage Text(std::int32_t w, std::int32_t h) {
    DibImage dib = Filled(w, h, {});
    for (std::int32_t t = 0; t < h; ++t)
        for (std::int32_t x = 0; x < w; ++x) {
            const Rgb c = TextPixel(x, t);
            std::memcpy(dib.Row(t) + 3 * x, c.data(), 3);
        }
    return dib;
}

// Opaque (0) in the given columns, transparent (255) elsewhere.
DibImage MaskOfColumns(std::int32_t w, std::int32_t h, const std::set<std::int32_t>& columns) {
    DibImage dib = Filled(w, h, {255, 255, 255});
    for (std::int32_t t = 0; t < h; ++t)
        for (std::int32_t x : columns)
            dib.Row(t)[3 * x] = 0;
    return dib;
}

TLine Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    TLine line;
    line.AddPoint(x1, y1);
    line.AddPoint(x2, y2);
    line.BuildOutline();
    return line;
}

constexpr Rgb kWhite{255, 255, 255};

bool Unchanged(const DibImage& a, const DibImage& b) {
    return std::memcmp(a.Bits.get(), b.Bits.get(), DibImageSize(a)) == 0;
}

// ---- the integer square root ----

TEST(WarpSqrt, WorkedValuesOneAboveTheFloor) {
    EXPECT_EQ(WarpSqrt(8), 3u);
    EXPECT_EQ(WarpSqrt(48), 7u);
    EXPECT_EQ(WarpSqrt(63), 8u);
    EXPECT_EQ(WarpSqrt(120), 11u);
    EXPECT_EQ(WarpSqrt(143), 12u);
    EXPECT_EQ(WarpSqrt(3), 1u);
    EXPECT_EQ(WarpSqrt(0), 0u);
    EXPECT_EQ(WarpSqrt(1), 1u);
}

TEST(WarpSqrt, SquaresAndTheirNeighbours) {
    for (std::uint32_t k = 2; k <= 65535; ++k) {
        ASSERT_EQ(WarpSqrt(k * k), k);
        ASSERT_EQ(WarpSqrt(k * k + 1), k);
        const std::uint32_t below = WarpSqrt(k * k - 1);
        ASSERT_TRUE(below == k - 1 || below == k) << k;
    }
}

TEST(WarpSqrt, AlwaysTheFloorOrOneMore) {
    for (std::uint32_t d = 1; d <= 300000; ++d) {
        const auto floor = std::uint32_t(std::sqrt(double(d)));
        const std::uint32_t e = WarpSqrt(d);
        ASSERT_TRUE(e == floor || e == floor + 1) << d;
    }
    const std::uint32_t top = WarpSqrt(0xFFFFFFFFu);
    EXPECT_TRUE(top == 65535u || top == 65536u) << top;
}

// ---- the start-up lines: (22,10)-(428,10) over (22,190)-(428,190) ----

// The vertical ray of the step that carries `column` lies at x; its pixel at y takes text row
// y - 10 when the text is 181 rows high.
void ExpectColumnAt(const DibImage& picture, std::int32_t x, std::int32_t column,
                    std::int32_t fromY = 10) {
    for (std::int32_t y = fromY; y <= 190; ++y)
        ASSERT_EQ(At(picture, x, y), TextPixel(column, y - 10)) << "x " << x << " y " << y;
}

// Outside the band of a few columns the rays of one step touch, the picture is untouched.
void ExpectOnlyNear(const DibImage& picture, const std::set<std::int32_t>& xs) {
    for (std::int32_t y = 0; y < DibHeight(picture); ++y)
        for (std::int32_t x = 0; x < DibWidth(picture); ++x) {
            bool near = false;
            for (std::int32_t c : xs)
                near = near || (x >= c - 1 && x <= c + 1 && y >= 10 && y <= 190);
            if (!near) {
                ASSERT_EQ(At(picture, x, y), kWhite) << "x " << x << " y " << y;
            }
        }
}

TEST(WarpStartupLines, StepKLaysColumnKAtX22PlusK) {
    const DibImage text = Text(407, 181);
    const DibImage mask = MaskOfColumns(407, 181, {0, 100, 203, 406});
    DibImage picture = Filled(450, 200, kWhite);
    WarpText(Line(22, 10, 428, 10), Line(22, 190, 428, 190), text, mask, picture);
    for (std::int32_t c : {0, 100, 203, 406})
        ExpectColumnAt(picture, 22 + c, c);
    ExpectOnlyNear(picture, {22, 122, 225, 428});
    // With the lines straight above each other the first gap ray starts a pixel left of U and the
    // second ends a pixel right of L: right of the column only the lower half is touched.
    EXPECT_NE(At(picture, 121, 50), kWhite);
    EXPECT_NE(At(picture, 121, 150), kWhite);
    EXPECT_EQ(At(picture, 123, 50), kWhite);
    EXPECT_NE(At(picture, 123, 150), kWhite);
}

TEST(WarpStartupLines, ColumnsFollowTheStepsByIntegerDivision) {
    // 1000 columns over 407 steps: step k takes column 999 k div 406, so step 100 takes 246 and
    // columns 244 and 245 fall between steps 99 (243) and 100.
    const DibImage text = Text(1000, 181);
    DibImage skipped = Filled(450, 200, kWhite);
    const DibImage white = Filled(450, 200, kWhite);
    WarpText(Line(22, 10, 428, 10), Line(22, 190, 428, 190), text,
             MaskOfColumns(1000, 181, {244, 245}), skipped);
    EXPECT_TRUE(Unchanged(skipped, white));

    DibImage taken = Filled(450, 200, kWhite);
    WarpText(Line(22, 10, 428, 10), Line(22, 190, 428, 190), text, MaskOfColumns(1000, 181, {246}),
             taken);
    ExpectColumnAt(taken, 122, 246);
    ExpectOnlyNear(taken, {122});

    // 204 columns: each is laid by two neighbouring steps. The gap rays of the second step pass
    // over the first one's column measuring from their own U one pixel aside: row 1 beside U and,
    // below, the same rows again (the root of n^2 + 1 is n).
    const DibImage narrow = Text(204, 181);
    DibImage doubled = Filled(450, 200, kWhite);
    WarpText(Line(22, 10, 428, 10), Line(22, 190, 428, 190), narrow, MaskOfColumns(204, 181, {50}),
             doubled);
    EXPECT_EQ(At(doubled, 122, 10), TextPixel(50, 1));
    ExpectColumnAt(doubled, 122, 50, 11);
    ExpectColumnAt(doubled, 123, 50);
    ExpectOnlyNear(doubled, {122, 123});
}

TEST(WarpStartupLines, TextRowsAreScaledIntoTheBand) {
    // 91 rows over 180 pixels: scale 0.5, so the pixel at y shows row (y - 10) div 2.
    const DibImage text = Text(407, 91);
    DibImage picture = Filled(450, 200, kWhite);
    WarpText(Line(22, 10, 428, 10), Line(22, 190, 428, 190), text, MaskOfColumns(407, 91, {200}),
             picture);
    for (std::int32_t y = 10; y <= 190; ++y)
        ASSERT_EQ(At(picture, 222, y), TextPixel(200, (y - 10) / 2)) << y;
    EXPECT_EQ(At(picture, 222, 9), kWhite);
    EXPECT_EQ(At(picture, 222, 191), kWhite);
}

TEST(WarpStartupLines, ExchangingTheLinesMirrorsTheText) {
    const DibImage text = Text(407, 181);
    const DibImage mask = MaskOfColumns(407, 181, {50, 300});
    DibImage down = Filled(450, 200, kWhite);
    DibImage up = Filled(450, 200, kWhite);
    WarpText(Line(22, 10, 428, 10), Line(22, 190, 428, 190), text, mask, down);
    WarpText(Line(22, 190, 428, 190), Line(22, 10, 428, 10), text, mask, up);
    for (std::int32_t x : {72, 322})
        for (std::int32_t y = 10; y <= 190; ++y)
            ASSERT_EQ(At(up, x, y), At(down, x, 200 - y)) << "x " << x << " y " << y;
    EXPECT_EQ(At(up, 72, 190), TextPixel(50, 0));
    EXPECT_EQ(At(up, 72, 10), TextPixel(50, 180));
}

TEST(WarpStartupLines, TransparentMaskLeavesThePictureAlone) {
    const DibImage text = Text(407, 181);
    DibImage picture = Text(450, 200);
    const DibImage before = Text(450, 200);
    WarpText(Line(22, 10, 428, 10), Line(22, 190, 428, 190), text, MaskOfColumns(407, 181, {}),
             picture);
    EXPECT_TRUE(Unchanged(picture, before));
}

// ---- degenerate lines ----

TEST(WarpDegenerate, EqualLinesTakeTheMiddleRowOfEachColumn) {
    // 10 rows: (10 - 1) div 2 = 4 counted from the bottom, row 5 from the top.
    const DibImage text = Text(407, 10);
    DibImage opaque = Filled(407, 10, {});
    DibImage picture = Filled(450, 200, kWhite);
    WarpText(Line(22, 10, 428, 10), Line(22, 10, 428, 10), text, opaque, picture);
    for (std::int32_t y = 0; y < 200; ++y)
        for (std::int32_t x = 0; x < 450; ++x) {
            const Rgb p = At(picture, x, y);
            if (y == 10 && x >= 21 && x <= 429) {
                ASSERT_EQ(p[1], 5) << x;
                ASSERT_NE(p, kWhite);
            } else {
                ASSERT_EQ(p, kWhite) << "x " << x << " y " << y;
            }
        }
}

TEST(WarpDegenerate, EmptyLowerLineSendsEveryRayToTheCorner) {
    const DibImage text = Text(20, 30);
    DibImage picture = Filled(60, 20, kWhite);
    WarpText(Line(40, 10, 50, 10), TLine(), text, Filled(20, 30, {}), picture);
    EXPECT_NE(At(picture, 0, 0), kWhite);
    EXPECT_NE(At(picture, 22, 5), kWhite);
    // Every touched pixel lies in the fan between the upper line (39..51, 10) and the corner,
    // where the gap rays end a pixel beside it.
    for (std::int32_t y = 0; y < 20; ++y)
        for (std::int32_t x = 0; x < 60; ++x)
            if (At(picture, x, y) != kWhite) {
                ASSERT_LE(y, 10);
                ASSERT_GE(10 * x, 39 * y - 20) << "x " << x << " y " << y;
                ASSERT_LE(10 * x, 51 * y + 40) << "x " << x << " y " << y;
            }
}

TEST(WarpDegenerate, OnePixelOutlinesDrawNothing) {
    const DibImage text = Text(20, 30);
    const DibImage opaque = Filled(20, 30, {});
    const DibImage white = Filled(60, 40, kWhite);
    DibImage picture = Filled(60, 40, kWhite);
    WarpText(Line(5, 5, 5, 5), Line(5, 30, 5, 30), text, opaque, picture);
    WarpText(Line(5, 5, 5, 5), TLine(), text, opaque, picture);
    WarpText(TLine(), TLine(), text, opaque, picture);
    EXPECT_TRUE(Unchanged(picture, white));
}

TEST(WarpDegenerate, MissingImagesDrawNothing) {
    const DibImage text = Text(20, 30);
    const DibImage opaque = Filled(20, 30, {});
    const DibImage white = Filled(60, 40, kWhite);
    DibImage picture = Filled(60, 40, kWhite);
    const TLine upper = Line(5, 5, 50, 5);
    const TLine lower = Line(5, 30, 50, 30);
    WarpText(upper, lower, DibImage(), opaque, picture);
    WarpText(upper, lower, text, DibImage(), picture);
    WarpText(upper, lower, text, Filled(21, 30, {}), picture);  // mask of another size
    EXPECT_TRUE(Unchanged(picture, white));
    DibImage none;
    WarpText(upper, lower, text, opaque, none);
    EXPECT_TRUE(none.Empty());
}

// ---- single rays ----

TEST(WarpRay, PixelsBeyondTheBottomRowAreSkipped) {
    const DibImage text = Text(1, 5);
    const DibImage opaque = Filled(1, 5, {});
    DibImage picture = Filled(8, 1, kWhite);
    EnvelopeWarp warp(text, opaque, picture);
    warp.SetReference({0, 0});
    warp.WarpRay(0, 0, 7, 0, 0, 4);
    for (std::int32_t x = 0; x < 5; ++x)
        EXPECT_EQ(At(picture, x, 0), TextPixel(0, x));
    for (std::int32_t x = 5; x < 8; ++x)
        EXPECT_EQ(At(picture, x, 0), kWhite);
}

TEST(WarpRay, PixelsOutsideThePictureAreSkipped) {
    const DibImage text = Text(1, 20);
    const DibImage opaque = Filled(1, 20, {});
    DibImage picture = Filled(5, 2, kWhite);
    EnvelopeWarp warp(text, opaque, picture);
    warp.SetReference({-3, 1});
    warp.WarpRay(-3, 1, 12, 1, 0, 19);  // scale 1: the row is the distance from (-3, 1)
    for (std::int32_t x = 0; x < 5; ++x) {
        EXPECT_EQ(At(picture, x, 1), TextPixel(0, x + 3));
        EXPECT_EQ(At(picture, x, 0), kWhite);
    }
}

TEST(WarpRay, ZeroLengthTakesTheMiddleRow) {
    const DibImage text = Text(3, 4);  // (4 - 1) div 2 = 1 from the bottom: row 2 from the top
    const DibImage opaque = Filled(3, 4, {});
    DibImage picture = Filled(6, 1, kWhite);
    EnvelopeWarp warp(text, opaque, picture);
    warp.SetReference({0, 0});
    warp.WarpRay(0, 0, 5, 0, 2, 0);
    for (std::int32_t x = 0; x < 6; ++x)
        EXPECT_EQ(At(picture, x, 0), TextPixel(2, 2));
}

// The row is Trunc(e x scale) with scale divided in extended precision, held as a double, and the
// product taken in extended precision again. These ray ends are where that matters.
TEST(WarpRay, RowChoiceKeepsThePrecisionOfEachValue) {
    struct Case {
        std::int32_t length, rows, row;
    };
    // 1 / 3 as a double is below a third: three thirds stay below 1 and the end takes the top
    // row. 115 / 2051 and 41 / 2067 round differently when divided in double precision.
    for (const Case& c : {Case{3, 2, 0}, Case{3, 3, 1}, Case{2051, 116, 115}, Case{2067, 42, 40}}) {
        const DibImage text = Text(1, c.rows);
        const DibImage opaque = Filled(1, c.rows, {});
        DibImage picture = Filled(c.length + 1, 1, kWhite);
        EnvelopeWarp warp(text, opaque, picture);
        warp.SetReference({0, 0});
        warp.WarpRay(0, 0, c.length, 0, 0, c.length);
        EXPECT_EQ(At(picture, c.length, 0), TextPixel(0, c.row)) << c.length << " " << c.rows;
    }
}

// Every pixel of a ray takes the row of WarpSqrt of its squared distance from U (scale 1: the row
// is the root), the rule's exceptions below squares included: (2, 2) lies at d = 8, whose root is
// 3; (6, 18), (8, 32) and (18, 30) at 360, 1088 and 1224, each one below a square whose root the
// rule rounds up. From a reference beside the ray as well, as the gap rays measure.
TEST(WarpRay, EveryPixelTakesTheRuleRootOfItsDistance) {
    struct Case {
        std::int32_t ux, uy, x1, y1, x2, y2;
    };
    const DibImage text = Text(1, 64);
    const DibImage opaque = Filled(1, 64, {});
    for (const Case& c : {Case{0, 0, 0, 0, 5, 5}, Case{0, 0, 0, 0, 6, 18}, Case{0, 0, 0, 0, 8, 32},
                          Case{0, 0, 0, 0, 18, 30}, Case{1, 0, 0, 0, 18, 30},
                          Case{0, 0, 1, 0, 33, 33}, Case{3, 1, 40, 2, 0, 30}}) {
        DibImage picture = Filled(48, 48, kWhite);
        EnvelopeWarp warp(text, opaque, picture);
        warp.SetReference({c.ux, c.uy});
        warp.WarpRay(c.x1, c.y1, c.x2, c.y2, 0, 63);
        ForEachSegmentPixel(c.x1, c.y1, c.x2, c.y2, [&](std::int32_t x, std::int32_t y) {
            const auto d = std::uint32_t((x - c.ux) * (x - c.ux) + (y - c.uy) * (y - c.uy));
            ASSERT_EQ(At(picture, x, y), TextPixel(0, std::int32_t(WarpSqrt(d))))
                << c.x2 << "," << c.y2 << " at " << x << "," << y;
        });
    }
}

// Beyond 65535 pixels from U there is no root: a ray from a reference that far to the left blends
// the pixels up to that distance and leaves the rest, with or without a length.
TEST(WarpRay, PixelsBeyondTheLargestRootAreLeftAlone) {
    struct Case {
        std::int32_t ux, length, lastBlended;
    };
    const DibImage text = Text(1, 64);
    const DibImage opaque = Filled(1, 64, {});
    for (const Case& c : {Case{-65530, 0, 5}, Case{-65535, 0, 0}, Case{-65536, 0, -1},
                          Case{-65520, 70000, 15}, Case{-65500, 65535, 35}}) {
        DibImage picture = Filled(40, 2, kWhite);
        EnvelopeWarp warp(text, opaque, picture);
        warp.SetReference({c.ux, 1});
        warp.WarpRay(c.ux, 1, 39, 1, 0, c.length);
        for (std::int32_t x = 0; x < 40; ++x) {
            const std::int64_t row =
                c.length == 0 ? 32 : WarpRowAt(x - c.ux, WarpRowScale(64, c.length));
            ASSERT_EQ(At(picture, x, 1),
                      x <= c.lastBlended ? TextPixel(0, std::int32_t(row)) : kWhite)
                << c.ux << " " << x;
            ASSERT_EQ(At(picture, x, 0), kWhite);
        }
    }
}

TEST(WarpBlend, ThreeHalfOpaqueBlendsLeaveAnEighthOfTheOldColour) {
    // Mask 128: opacity 127/255 each time.
    DibImage text = Filled(1, 1, {0, 255, 0});
    DibImage mask = Filled(1, 1, {128, 128, 128});
    DibImage picture = Filled(1, 1, {200, 0, 0});
    EnvelopeWarp warp(text, mask, picture);
    const std::vector<Rgb> expected{{100, 127, 0}, {50, 191, 0}, {25, 223, 0}};
    for (const Rgb& e : expected) {
        warp.SetReference({0, 0});
        warp.WarpRay(0, 0, 0, 0, 0, 0);
        EXPECT_EQ(At(picture, 0, 0), e);
    }
    // Mask 127: opacity 128/255.
    DibImage picture2 = Filled(1, 1, {0, 0, 0});
    DibImage text2 = Filled(1, 1, {255, 255, 255});
    DibImage mask2 = Filled(1, 1, {127, 0, 0});
    EnvelopeWarp warp2(text2, mask2, picture2);
    for (int i = 0; i < 3; ++i)
        warp2.WarpRay(0, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(picture2, 0, 0), (Rgb{224, 224, 224}));
}

TEST(WarpBlend, OpaqueOverwritesAndTransparentKeeps) {
    DibImage text = Filled(2, 1, {10, 20, 30});
    DibImage mask = Filled(2, 1, {0, 0, 0});
    mask.Row(0)[3] = 255;
    DibImage picture = Filled(1, 1, {200, 100, 50});
    EnvelopeWarp warp(text, mask, picture);
    warp.WarpRay(0, 0, 0, 0, 1, 0);
    EXPECT_EQ(At(picture, 0, 0), (Rgb{200, 100, 50}));
    warp.WarpRay(0, 0, 0, 0, 0, 0);
    EXPECT_EQ(At(picture, 0, 0), (Rgb{10, 20, 30}));
}

// The blend as the warp defines it: a = (255 - m) / 255 in extended precision held as a double,
// b = 1 - a likewise, v b + w a in extended precision rounded half to even; the opacity plane
// takes w = 255. Every mask byte over pictures of every byte value.
TEST(WarpBlend, EveryMaskByteBlendsAsTheExtendedFormula) {
    const auto blend = [](std::uint8_t v, std::uint8_t w, std::uint8_t m) {
        const double a = double(static_cast<long double>(255 - m) / 255);
        const double b = double(1.0L - a);
        return std::uint8_t(
            std::nearbyintl(static_cast<long double>(v) * b + static_cast<long double>(w) * a));
    };
    for (const Rgb& t : {Rgb{0, 255, 128}, Rgb{255, 0, 1}, Rgb{17, 200, 99}})
        for (int m = 0; m < 256; ++m) {
            const DibImage text = Filled(1, 1, t);
            const DibImage mask = Filled(1, 1, {std::uint8_t(m), 0, 0});
            DibImage picture = Filled(256, 1, {});
            std::vector<std::uint8_t> coverage(256);
            for (int x = 0; x < 256; ++x) {
                const Rgb p{std::uint8_t(x), std::uint8_t(255 - x), std::uint8_t(x * 7)};
                std::memcpy(picture.Row(0) + 3 * x, p.data(), 3);
                coverage[std::size_t(x)] = std::uint8_t(x * 13);
            }
            EnvelopeWarp warp(text, mask, picture);
            warp.SetCoverage(coverage.data());
            warp.WarpRay(0, 0, 255, 0, 0, 0);  // length 0: every pixel takes the one row
            for (int x = 0; x < 256; ++x) {
                const Rgb p{std::uint8_t(x), std::uint8_t(255 - x), std::uint8_t(x * 7)};
                const Rgb expected{blend(p[0], t[0], std::uint8_t(m)),
                                   blend(p[1], t[1], std::uint8_t(m)),
                                   blend(p[2], t[2], std::uint8_t(m))};
                ASSERT_EQ(At(picture, x, 0), expected) << "m " << m << " x " << x;
                ASSERT_EQ(coverage[std::size_t(x)],
                          blend(std::uint8_t(x * 13), 255, std::uint8_t(m)))
                    << "m " << m << " x " << x;
            }
        }
}

// A ray walks past the pixels whose distance takes a row that blends nothing. Masks that blend
// only in a band of rows, under lines that stretch, squeeze and turn the text, with rays that
// overshoot the text and leave the picture: the warp still blends as the plain one.
TEST(WarpBlendingRows, BandsOfRowsWarpAsThePlainWarp) {
    struct Case {
        std::int32_t w, h, x1, y1, x2, y2, x3, y3, x4, y4;
    };
    const Case cases[] = {
        {56, 38, 5, 3, 60, 3, 5, 40, 60, 40},    {30, 90, 0, 0, 70, 10, 10, 50, 60, 45},
        {40, 20, 5, 45, 60, 40, 5, 2, 60, 8},    {25, 7, -30, -5, 90, 20, 200, 300, -100, 60},
        {33, 64, 63, 0, 0, 47, 60, 47, 2, 1},    {20, 30, 3, 20, 60, 20, 3, 20, 60, 20},
        {50, 40, 10, -3, 50, 60, 62, -2, 1, 44},
    };
    for (const Case& c : cases)
        for (const auto& [low, high] :
             {std::pair{0, 0}, std::pair{c.h - 1, c.h - 1}, std::pair{c.h / 3, c.h / 2},
              std::pair{0, c.h - 1}, std::pair{1, 0}}) {
            const DibImage text = Text(c.w, c.h);
            DibImage mask = Filled(c.w, c.h, {255, 255, 255});
            for (std::int32_t r = low; r <= high; ++r)
                for (std::int32_t x = 0; x < c.w; x += 1 + x % 3)
                    mask.StoredRow(r)[3 * x] = std::uint8_t(r == low || r == high ? 0 : x * 37 + r);
            DibImage fast = Filled(64, 48, {});
            for (std::int32_t y = 0; y < 48; ++y)
                for (std::int32_t x = 0; x < 64; ++x)
                    fast.Row(y)[3 * x + 1] = std::uint8_t(x * 5 + y * 3);
            DibImage plain = MakeDIBCopy(fast);
            std::vector<std::uint8_t> fastCoverage(64 * 48, 99), plainCoverage(64 * 48, 99);
            const TLine upper = Line(c.x1, c.y1, c.x2, c.y2), lower = Line(c.x3, c.y3, c.x4, c.y4);
            WarpTextPlain(upper, lower, text, mask, plain, plainCoverage.data());
            // Bands of rows cut the steps' boxes: every split blends as the whole.
            for (const int threads : {1, 3}) {
                const ParallelThreadsScope scope(threads);
                DibImage banded = MakeDIBCopy(fast);
                std::vector<std::uint8_t> bandedCoverage = fastCoverage;
                WarpText(upper, lower, text, mask, banded, bandedCoverage.data());
                EXPECT_TRUE(Unchanged(banded, plain)) << c.w << "x" << c.h << " rows " << low << "-"
                                                      << high << " threads " << threads;
                EXPECT_EQ(bandedCoverage, plainCoverage);
            }
        }
}

}  // namespace
}  // namespace gw
