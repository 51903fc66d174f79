#include "render/Frame.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "raster/DibService.h"
#include "render/RenderTestSupport.h"

namespace gw {
namespace {

using test::At;
using test::Bgr;
using test::Filled;
using test::SameBytes;

Bgr Grey(std::uint8_t v) {
    return {v, v, v};
}

LetteringSettings Style(std::int32_t style, double breite) {
    LetteringSettings s;
    s.FrameStyle = style;
    s.RBreitEd = breite;
    return s;
}

// Band width --------------------------------------------------------------------------------------

TEST(FrameBand, WidthIsTakenFromTheShorterSide) {
    EXPECT_EQ(FrameBandWidth(Style(2, 100), 400, 200), 100);
    EXPECT_EQ(FrameBandWidth(Style(2, 20), 450, 200), 20);
    EXPECT_EQ(FrameBandWidth(Style(2, 20), 100, 450), 10);
    EXPECT_EQ(FrameBandWidth(Style(2, 1), 450, 200), 1);  // 2.25 and 1
    EXPECT_EQ(FrameBandWidth(Style(2, 0), 450, 200), 0);
}

// At RBreitEd 100 the top and bottom bands meet in the middle row; the top wins the row it
// reaches.
TEST(FrameBand, TopAndBottomMeetInTheMiddleRow) {
    DibImage pic = Filled(400, 200, Grey(100));
    RenderBorder(pic, Style(2, 100));
    EXPECT_EQ(At(pic, 200, 0), Grey(255));
    EXPECT_EQ(At(pic, 200, 99), Grey(101));   // top, d = 99
    EXPECT_EQ(At(pic, 200, 100), Grey(100));  // top, d = 100: own value
    EXPECT_EQ(At(pic, 200, 101), Grey(98));   // bottom, d = 98
    EXPECT_EQ(At(pic, 200, 199), Grey(0));
}

// Left wins the column it reaches when the side bands meet.
TEST(FrameBand, LeftAndRightMeetInTheMiddleColumn) {
    DibImage pic = Filled(20, 60, Grey(100));
    Buttonize1(pic, 10);
    EXPECT_EQ(At(pic, 9, 30), Grey(115));   // left, d = 9
    EXPECT_EQ(At(pic, 10, 30), Grey(100));  // left, d = 10
    EXPECT_EQ(At(pic, 11, 30), Grey(80));   // right, d = 8
}

// The nearest side decides, the same way in pictures higher than wide and wider than high; the
// corner diagonal goes to the left or right side.
TEST(FrameBand, NearestSideInTallAndWidePictures) {
    DibImage tall = Filled(30, 60, Grey(100));
    Buttonize1(tall, 10);
    EXPECT_EQ(At(tall, 5, 20), Grey(177));  // left, d = 5
    EXPECT_EQ(At(tall, 5, 3), Grey(208));   // top, d = 3
    EXPECT_EQ(At(tall, 4, 4), Grey(193));   // tie: left, d = 4
    EXPECT_EQ(At(tall, 25, 55), Grey(40));  // tie: right, d = 4
    EXPECT_EQ(At(tall, 15, 30), Grey(100));

    DibImage wide = Filled(60, 30, Grey(100));
    Buttonize1(wide, 10);
    EXPECT_EQ(At(wide, 20, 5), Grey(177));  // top, d = 5
    EXPECT_EQ(At(wide, 3, 5), Grey(208));   // left, d = 3
    EXPECT_EQ(At(wide, 20, 24), Grey(50));  // bottom, d = 5
    EXPECT_EQ(At(wide, 56, 20), Grey(30));  // right, d = 3
    EXPECT_EQ(At(wide, 30, 15), Grey(100));
}

// Styles ----------------------------------------------------------------------------------------

TEST(FrameStyles, Style2OnWhite) {
    DibImage pic = Filled(450, 200, Grey(255));
    RenderBorder(pic, Style(2, 20));  // w = 20
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 450; ++x) {
            if (x < 200 && y < 100) {
                EXPECT_EQ(At(pic, x, y), Grey(255)) << x << "," << y;
            }
        }
    EXPECT_EQ(At(pic, 225, 199), Grey(0));
    EXPECT_EQ(At(pic, 225, 189), Grey(127));  // d = 10: 50 % of 255
    EXPECT_EQ(At(pic, 225, 179), Grey(255));  // d = 20
    EXPECT_EQ(At(pic, 449, 100), Grey(0));
    EXPECT_EQ(At(pic, 439, 100), Grey(127));
}

// Style 3 fades the other way: the edge keeps its own value, the inner border takes the shade.
TEST(FrameStyles, Style3IsStrongestAtTheInnerBorder) {
    DibImage pic = Filled(100, 100, Grey(100));
    Buttonize2(pic, 10);
    EXPECT_EQ(At(pic, 50, 0), Grey(100));
    EXPECT_EQ(At(pic, 50, 10), Grey(255));
    EXPECT_EQ(At(pic, 50, 4), Grey(162));  // k = 60
    EXPECT_EQ(At(pic, 50, 99), Grey(100));
    EXPECT_EQ(At(pic, 50, 89), Grey(0));
    EXPECT_EQ(At(pic, 50, 11), Grey(100));
}

TEST(FrameStyles, Style4Strength) {
    LetteringSettings s = Style(4, 20);
    s.RHochEd = 0;
    DibImage pic = Filled(100, 50, Grey(100));
    const DibImage before = MakeDIBCopy(pic);
    RenderBorder(pic, s);
    EXPECT_TRUE(SameBytes(pic, before));

    s.RHochEd = 100;  // w = min(10, 5)
    RenderBorder(pic, s);
    EXPECT_EQ(At(pic, 50, 0), Grey(255));
    EXPECT_EQ(At(pic, 50, 5), Grey(255));
    EXPECT_EQ(At(pic, 50, 6), Grey(100));
    EXPECT_EQ(At(pic, 5, 25), Grey(255));
    EXPECT_EQ(At(pic, 50, 49), Grey(0));
    EXPECT_EQ(At(pic, 50, 44), Grey(0));
    EXPECT_EQ(At(pic, 94, 25), Grey(0));

    s.RHochEd = 75;
    DibImage third = Filled(100, 50, Grey(100));
    RenderBorder(third, s);
    EXPECT_EQ(At(third, 50, 3), Grey(216));  // (255 x 75 + 100 x 25) div 100
    EXPECT_EQ(At(third, 50, 46), Grey(25));
}

// A black frame colour: c - c div 2 = 0, both sides are black at the edge.
TEST(FrameStyles, Style1WithBlackIsDarkOnBothSides) {
    DibImage pic = Filled(100, 60, Grey(200));
    RenderBorder(pic, Style(1, 20));  // w = 6, RColorShape black
    EXPECT_EQ(At(pic, 50, 0), Grey(0));
    EXPECT_EQ(At(pic, 0, 30), Grey(0));
    EXPECT_EQ(At(pic, 50, 59), Grey(0));
    EXPECT_EQ(At(pic, 99, 30), Grey(0));
    EXPECT_EQ(At(pic, 50, 3), Grey(100));  // k = 50
    EXPECT_EQ(At(pic, 50, 6), Grey(200));
}

// A coloured frame shows the light side at c - c div 2 and the dark one at 0 from the edge.
TEST(FrameStyles, Style1WithColour) {
    DibImage pic = Filled(100, 60, {0, 0, 50});
    Buttonize(pic, 10, RGB(200, 0, 0));
    EXPECT_EQ(At(pic, 50, 0), (Bgr{0, 0, 100}));
    EXPECT_EQ(At(pic, 50, 59), (Bgr{0, 0, 0}));
    EXPECT_EQ(At(pic, 50, 5), (Bgr{0, 0, 100}));  // shade 150, k = 50: (7500 + 2500) div 100
    EXPECT_EQ(At(pic, 50, 54), (Bgr{0, 0, 50}));  // shade 50, k = 50
}

// Where a light side meets a dark one the diagonal takes the mean of both shades.
TEST(FrameStyles, Style1CornerDiagonals) {
    DibImage pic = Filled(40, 30, {60, 0, 50});
    Buttonize(pic, 10, RGB(200, 0, 0));
    // bottom-left and top-right, d = 3: shade (130 + 30) shr 1 = 80, k = 30
    EXPECT_EQ(At(pic, 3, 26), (Bgr{18, 0, 71}));
    EXPECT_EQ(At(pic, 36, 3), (Bgr{18, 0, 71}));
    // top-left and bottom-right keep their side: light 130 and dark 30
    EXPECT_EQ(At(pic, 3, 3), (Bgr{18, 0, 106}));
    EXPECT_EQ(At(pic, 36, 26), (Bgr{18, 0, 36}));
    // next to the diagonal the plain side rule holds
    EXPECT_EQ(At(pic, 3, 25), (Bgr{18, 0, 106}));  // left, d = 3
    EXPECT_EQ(At(pic, 4, 26), (Bgr{18, 0, 36}));   // bottom, d = 3
}

// A band of 0 pixels ------------------------------------------------------------------------------

TEST(FrameZeroWidth, StylesOneToThreeDrawNothing) {
    for (int style : {1, 2, 3}) {
        DibImage pic = Filled(90, 40, Grey(100));
        const DibImage before = MakeDIBCopy(pic);
        RenderBorder(pic, Style(style, 2));  // 0.9 and 0.4
        EXPECT_TRUE(SameBytes(pic, before)) << style;
        RenderBorder(pic, Style(style, 0));
        EXPECT_TRUE(SameBytes(pic, before)) << style;
    }
}

TEST(FrameZeroWidth, Style4ShadesTheOutermostRing) {
    LetteringSettings s = Style(4, 0);
    s.RHochEd = 100;
    DibImage pic = Filled(20, 10, Grey(100));
    RenderBorder(pic, s);
    EXPECT_EQ(At(pic, 0, 0), Grey(255));  // tie: left
    EXPECT_EQ(At(pic, 10, 0), Grey(255));
    EXPECT_EQ(At(pic, 0, 5), Grey(255));
    EXPECT_EQ(At(pic, 0, 9), Grey(255));  // tie: left
    EXPECT_EQ(At(pic, 19, 0), Grey(0));   // tie: right
    EXPECT_EQ(At(pic, 10, 9), Grey(0));
    EXPECT_EQ(At(pic, 19, 5), Grey(0));
    for (int y = 1; y < 9; ++y)
        for (int x = 1; x < 19; ++x)
            EXPECT_EQ(At(pic, x, y), Grey(100)) << x << "," << y;
}

TEST(FrameZeroWidth, NoStyleAndNegativeWidthDrawNothing) {
    DibImage pic = Filled(30, 30, Grey(100));
    const DibImage before = MakeDIBCopy(pic);
    RenderBorder(pic, Style(0, 50));
    RenderBorder(pic, Style(4, -10));
    Buttonize3(pic, -1, 0);
    EXPECT_TRUE(SameBytes(pic, before));
}

// Offset and forced weight
// -------------------------------------------------------------------------

TEST(FrameWeight, OffsetIsAddedAndClamped) {
    DibImage pic = Filled(100, 100, Grey(100));
    Buttonize1(pic, 10, 50);
    EXPECT_EQ(At(pic, 50, 0), Grey(177));   // k = 0 + 50
    EXPECT_EQ(At(pic, 50, 10), Grey(100));  // k = 150, clamped to 100

    DibImage low = Filled(100, 100, Grey(100));
    Buttonize1(low, 10, -200);
    EXPECT_EQ(At(low, 50, 10), Grey(255));
}

TEST(FrameWeight, ForceZeroTakesTheShadeAlone) {
    DibImage pic = Filled(100, 100, Grey(100));
    Buttonize2(pic, 10, 30, true);
    EXPECT_EQ(At(pic, 50, 0), Grey(255));
    EXPECT_EQ(At(pic, 50, 99), Grey(0));
    EXPECT_EQ(At(pic, 50, 11), Grey(100));
}

// The band in runs against the plain twin
// -----------------------------------------------------------

// Pictures of every shape against band widths up to half the shorter side, where the side bands
// meet the top and bottom ones, so that every run of a row and the corner diagonals are reached.
TEST(FrameRuns, SameBytesAsThePlainTwin) {
    struct Case {
        std::int32_t W, H;
        double breite;
    };
    const Case cases[] = {{1, 1, 100},  {2, 7, 100},   {7, 2, 100},   {5, 5, 60},
                          {40, 30, 20}, {30, 40, 100}, {41, 9, 100},  {9, 41, 100},
                          {33, 33, 99}, {200, 37, 35}, {37, 200, 70}, {101, 100, 3}};
    for (const Case& c : cases)
        for (std::int32_t style = kColourFrame; style <= kEvenFrame; ++style)
            for (const bool withCoverage : {false, true}) {
                LetteringSettings s = Style(style, c.breite);
                s.RColorShape = RGB(201, 90, 17);
                s.RHochEd = 35;
                DibImage fast = Filled(c.W, c.H, {60, 140, 230});
                for (std::int32_t y = 0; y < c.H; ++y)  // a different byte in every place
                    for (std::int32_t x = 0; x < 3 * c.W; ++x)
                        fast.Row(y)[x] = std::uint8_t(x * 7 + y * 13);
                DibImage plain = MakeDIBCopy(fast);
                std::vector<std::uint8_t> fastCover(std::size_t(c.W) * std::size_t(c.H));
                for (std::size_t i = 0; i < fastCover.size(); ++i)
                    fastCover[i] = std::uint8_t(i * 11);
                std::vector<std::uint8_t> plainCover = fastCover;
                RenderBorder(fast, s, withCoverage ? fastCover.data() : nullptr);
                RenderBorderPlain(plain, s, withCoverage ? plainCover.data() : nullptr);
                const std::string where = std::to_string(c.W) + "x" + std::to_string(c.H) + " at " +
                                          std::to_string(c.breite) + ", style " +
                                          std::to_string(style);
                EXPECT_TRUE(SameBytes(fast, plain)) << where;
                EXPECT_EQ(fastCover, plainCover) << where;
            }
}

}  // namespace
}  // namespace gw
