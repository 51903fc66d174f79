// Rectangles, frames, focus rectangles, lines, polylines and ellipses of the canvas.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

#include "CanvasTestSupport.h"
#include "platform/Canvas.h"
#include "platform/LineRaster.h"

namespace gw {
namespace {

using test::BlackWhite;

// 'R' red, '#' black, '.' white.
std::string RedBlackWhite(const Bitmap& b) {
    return test::Picture(b, [](TColor c) {
        return c == clRed ? 'R' : c == clBlack ? '#' : c == clWhite ? '.' : '?';
    });
}

TEST(CanvasRectangle, OutlineWithPenInsideWithBrush) {
    Bitmap b(8, 6);
    Canvas c(b);
    c.brush.color = clRed;
    c.Rectangle(2, 1, 6, 5);
    EXPECT_EQ(RedBlackWhite(b), "........|..####..|..#RR#..|..#RR#..|..####..|........");
}

TEST(CanvasRectangle, CornersInAnyOrder) {
    Bitmap a(7, 7), b(7, 7);
    Canvas(a).Rectangle(1, 2, 5, 6);
    Canvas(b).Rectangle(5, 6, 1, 2);
    EXPECT_EQ(test::FirstDifference(a, b), "");
}

TEST(CanvasRectangle, PenOfTheBrushColourFillsEveryPixel) {
    Bitmap b(9, 7, PixelFormat::Rgb24, clBlack);
    Canvas c(b);
    c.pen.color = c.brush.color = RGB(12, 34, 56);
    c.Rectangle(0, 0, 9, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(b.Pixel(x, y), RGB(12, 34, 56)) << x << "," << y;
}

TEST(CanvasRectangle, ClearPenOrBrushDrawNothingOfThatPart) {
    Bitmap b(5, 4);
    Canvas c(b);
    c.brush.color = clRed;
    c.pen.style = PenStyle::Clear;
    c.Rectangle(0, 0, 5, 4);
    EXPECT_EQ(RedBlackWhite(b), ".....|.RRR.|.RRR.|.....");
    Bitmap d(5, 4);
    Canvas e(d);
    e.brush.style = BrushStyle::Clear;
    e.Rectangle(0, 0, 5, 4);
    EXPECT_EQ(BlackWhite(d), "#####|#...#|#...#|#####");
}

TEST(CanvasRectangle, ThinRectanglesAreAllOutline) {
    Bitmap b(5, 3);
    Canvas c(b);
    c.brush.color = clRed;
    c.Rectangle(1, 0, 2, 3);
    c.Rectangle(2, 1, 5, 2);
    c.Rectangle(3, 3, 3, 0);  // empty
    EXPECT_EQ(RedBlackWhite(b), ".#...|.####|.#...");
}

TEST(CanvasRectangle, DottedOutlineRunsRoundTheFrame) {
    Bitmap b(6, 4);
    Canvas c(b);
    c.pen.style = PenStyle::Dot;
    c.brush.style = BrushStyle::Clear;
    c.Rectangle(0, 0, 6, 4);
    // Two on, two off, clockwise from the top-left corner.
    EXPECT_EQ(BlackWhite(b), "##..##|......|......|##..##");
}

TEST(CanvasRectangle, MonochromeStoresBlackOrWhite) {
    Bitmap b(4, 4, PixelFormat::Mono);
    Canvas c(b);
    c.pen.color = RGB(250, 250, 10);  // light: white
    c.brush.color = RGB(100, 100, 100);
    c.Rectangle(0, 0, 4, 4);
    EXPECT_EQ(BlackWhite(b), "....|.##.|.##.|....");
}

TEST(CanvasRectangle, HugeRectangleIsClipped) {
    Bitmap b(6, 5);
    Canvas c(b);
    c.brush.color = clRed;
    c.Rectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(b.Pixel(x, y), clRed);
    c.pen.color = clBlack;
    c.Rectangle(-1000000, 2, 1000000, 3);
    EXPECT_EQ(RedBlackWhite(b), "RRRRRR|RRRRRR|######|RRRRRR|RRRRRR");
}

TEST(CanvasRectangle, XorPenInvertsTheInsideWithAWhiteBrush) {
    std::mt19937 rng(1);
    Bitmap b = test::RandomBitmap(6, 6, PixelFormat::Rgb24, rng);
    const Bitmap before = b;
    Canvas c(b);
    c.pen.mode = PenMode::Xor;
    c.Rectangle(0, 0, 6, 6);
    EXPECT_EQ(b.Pixel(0, 0), before.Pixel(0, 0));  // XOR with black
    EXPECT_EQ(b.Pixel(3, 2), test::Invert(before.Pixel(3, 2)));
    c.Rectangle(0, 0, 6, 6);
    EXPECT_EQ(test::FirstDifference(b, before), "");
}

TEST(CanvasRects, FillFrameAndInvert) {
    Bitmap b(7, 6);
    Canvas c(b);
    c.brush.color = clBlack;
    c.FillRect({1, 1, 4, 3});
    EXPECT_EQ(BlackWhite(b), ".......|.###...|.###...|.......|.......|.......");
    c.InvertRect({2, 2, 6, 5});
    EXPECT_EQ(BlackWhite(b), ".......|.###...|.#..##.|..####.|..####.|.......");
    c.brush.color = clRed;
    c.FrameRect({0, 0, 3, 6});
    EXPECT_EQ(RedBlackWhite(b), "RRR....|R#R#...|R#R.##.|R.R###.|R.R###.|RRR....");
}

TEST(CanvasRects, EmptyAndClearDrawNothing) {
    Bitmap b(4, 4);
    Canvas c(b);
    c.brush.color = clBlack;
    c.FillRect({3, 1, 1, 3});
    c.FrameRect({2, 2, 2, 4});
    c.InvertRect({0, 3, 4, 3});
    c.brush.style = BrushStyle::Clear;
    c.FillRect({0, 0, 4, 4});
    c.FrameRect({0, 0, 4, 4});
    EXPECT_EQ(test::FirstDifference(b, Bitmap(4, 4)), "");
}

TEST(CanvasRects, SquareMarkerRecipe) {
    // Inverted, then framed with the white brush: a white frame round an inverted inside.
    Bitmap b(9, 9, PixelFormat::Rgb24, RGB(40, 50, 60));
    Canvas c(b);
    c.InvertRect({1, 1, 7, 7});
    c.FrameRect({1, 1, 7, 7});
    EXPECT_EQ(b.Pixel(0, 0), RGB(40, 50, 60));
    EXPECT_EQ(b.Pixel(1, 1), clWhite);
    EXPECT_EQ(b.Pixel(6, 3), clWhite);
    EXPECT_EQ(b.Pixel(2, 2), test::Invert(RGB(40, 50, 60)));
    EXPECT_EQ(b.Pixel(7, 7), RGB(40, 50, 60));
}

TEST(CanvasFocusRect, DottedFrameAndTwiceRestores) {
    Bitmap b(7, 5);
    Canvas c(b);
    c.DrawFocusRect({1, 0, 6, 4});
    EXPECT_EQ(BlackWhite(b), ".#.#.#.|.......|.#...#.|..#.#..|.......");
    c.DrawFocusRect({1, 0, 6, 4});
    EXPECT_EQ(test::FirstDifference(b, Bitmap(7, 5)), "");
}

TEST(CanvasFocusRect, TwiceRestoresWhateverTheShape) {
    std::mt19937 rng(2);
    for (const TRect r : {TRect{0, 0, 1, 1}, TRect{2, 1, 3, 7}, TRect{1, 3, 8, 4},
                          TRect{-2, -3, 8, 7}, TRect{3, 2, 5, 4}, TRect{1, 1, 9, 8}}) {
        Bitmap b = test::RandomBitmap(10, 9, PixelFormat::Rgb24, rng);
        const Bitmap before = b;
        Canvas c(b);
        c.DrawFocusRect(r);
        EXPECT_NE(test::FirstDifference(b, before), "") << r.left << "," << r.top;
        c.DrawFocusRect(r);
        EXPECT_EQ(test::FirstDifference(b, before), "") << r.left << "," << r.top;
    }
}

std::set<std::pair<int, int>> BlackPixels(const Bitmap& b) {
    std::set<std::pair<int, int>> s;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) == clBlack) s.insert({x, y});
    return s;
}

TEST(CanvasLine, EndPointExcluded) {
    Bitmap b(7, 3);
    Canvas c(b);
    c.MoveTo(1, 1);
    c.LineTo(5, 1);
    EXPECT_EQ(BlackWhite(b), ".......|.####..|.......");
    EXPECT_EQ(c.PenPos(), (TPoint{5, 1}));
}

TEST(CanvasLine, ShortDiagonalPixels) {
    Bitmap b(6, 3);
    Canvas c(b);
    c.MoveTo(0, 0);
    c.LineTo(5, 2);
    using P = std::set<std::pair<int, int>>;
    EXPECT_EQ(BlackPixels(b), (P{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
    // Drawn the other way the raster is the same; only the other end is left out.
    Bitmap d(6, 3);
    Canvas e(d);
    e.MoveTo(5, 2);
    e.LineTo(0, 0);
    EXPECT_EQ(BlackPixels(d), (P{{1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
}

TEST(CanvasLine, ZeroLengthDrawsNothing) {
    Bitmap b(3, 3);
    Canvas c(b);
    c.MoveTo(1, 1);
    c.LineTo(1, 1);
    EXPECT_EQ(test::FirstDifference(b, Bitmap(3, 3)), "");
}

// Every pixel of the segment rule except the end point, each touched exactly once (an XOR line
// would restore a pixel visited twice), also where the segment starts and ends far outside.
TEST(CanvasLine, FollowsTheSegmentRuleAndClips) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> coord(-30, 50);
    for (int i = 0; i < 600; ++i) {
        int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        if (i % 50 == 0) x1 = -100000, y1 = 7;  // long, mostly outside
        Bitmap b(20, 16);
        Canvas c(b);
        c.pen.mode = PenMode::Xor;
        c.pen.color = clWhite;
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
        std::set<std::pair<int, int>> expect;
        ForEachSegmentPixel(x1, y1, x2, y2, [&](std::int32_t x, std::int32_t y) {
            if ((x != x2 || y != y2) && x >= 0 && y >= 0 && x < 20 && y < 16) expect.insert({x, y});
        });
        ASSERT_EQ(BlackPixels(b), expect) << x1 << "," << y1 << " to " << x2 << "," << y2;
    }
}

TEST(CanvasLine, ExtremeCoordinatesCrossTheBitmap) {
    Bitmap b(10, 10);
    Canvas c(b);
    c.MoveTo(INT32_MIN, 5);
    c.LineTo(INT32_MAX, 5);
    c.MoveTo(3, INT32_MAX);
    c.LineTo(3, INT32_MIN);
    EXPECT_EQ(b.Pixel(0, 5), clBlack);
    EXPECT_EQ(b.Pixel(9, 5), clBlack);
    EXPECT_EQ(b.Pixel(3, 0), clBlack);
    EXPECT_EQ(b.Pixel(3, 9), clBlack);
    EXPECT_EQ(BlackPixels(b).size(), 19u);
}

TEST(CanvasLine, DottedPatternContinuesAndRestartsAtMoveTo) {
    Bitmap b(12, 3);
    Canvas c(b);
    c.pen.style = PenStyle::Dot;
    c.MoveTo(0, 0);
    c.LineTo(3, 0);
    c.LineTo(11, 0);
    c.MoveTo(0, 2);
    c.LineTo(3, 2);
    c.MoveTo(3, 2);
    c.LineTo(11, 2);
    EXPECT_EQ(BlackWhite(b), "##..##..##..|............|##.##..##...");
}

TEST(CanvasLine, PolylineLeavesThePenAndTheLastPoint) {
    Bitmap b(6, 4);
    Canvas c(b);
    c.MoveTo(5, 3);
    const TPoint points[] = {{0, 0}, {4, 0}, {4, 3}};
    c.Polyline(points);
    EXPECT_EQ(BlackWhite(b), "#####.|....#.|....#.|......");
    EXPECT_EQ(c.PenPos(), (TPoint{5, 3}));
    c.pen.style = PenStyle::Dot;
    Bitmap d(6, 4);
    Canvas e(d);
    e.pen.style = PenStyle::Dot;
    e.Polyline(points);
    EXPECT_EQ(BlackWhite(d), "##..#.|....#.|......|......");
}

TEST(CanvasLine, XorTwiceRestores) {
    std::mt19937 rng(4);
    Bitmap b = test::RandomBitmap(30, 20, PixelFormat::Rgb24, rng);
    const Bitmap before = b;
    Canvas c(b);
    c.pen = {clRed, PenStyle::Dot, PenMode::Xor};
    const TPoint band[] = {{2, 2}, {27, 5}, {3, 17}, {25, 18}, {2, 2}, {40, -10}};
    for (int pass = 0; pass < 2; ++pass) {
        c.MoveTo(band[0].x, band[0].y);
        for (const TPoint& p : band)
            c.LineTo(p.x, p.y);
        c.MoveTo(15, 10);
        c.LineTo(15, -3);
        if (pass == 0) {
            EXPECT_NE(test::FirstDifference(b, before), "");
        }
    }
    EXPECT_EQ(test::FirstDifference(b, before), "");
}

TEST(CanvasLine, NotModeInvertsAndClearPenDrawsNothing) {
    Bitmap b(4, 1, PixelFormat::Rgb24, RGB(1, 2, 3));
    Canvas c(b);
    c.pen.mode = PenMode::Not;
    c.MoveTo(0, 0);
    c.LineTo(2, 0);
    c.pen.style = PenStyle::Clear;
    c.LineTo(4, 0);
    EXPECT_EQ(b.Pixel(1, 0), test::Invert(RGB(1, 2, 3)));
    EXPECT_EQ(b.Pixel(2, 0), RGB(1, 2, 3));
    EXPECT_EQ(c.PenPos(), (TPoint{4, 0}));
}

TEST(CanvasEllipse, RoundMarkerRecipe) {
    // Black XOR pen over a white brush inverts the inside, then a white ring in copy mode; the
    // pixels around stay as they were.
    const TColor grey = RGB(100, 110, 120);
    Bitmap b(12, 12, PixelFormat::Rgb24, grey);
    Canvas c(b);
    c.pen = {clBlack, PenStyle::Solid, PenMode::Xor};
    c.brush = {clWhite, BrushStyle::Solid};
    c.Ellipse(2, 2, 10, 10);
    c.brush.style = BrushStyle::Clear;
    c.pen = {clWhite, PenStyle::Solid, PenMode::Copy};
    c.Ellipse(2, 2, 10, 10);
    const std::string picture = test::Picture(b, [&](TColor p) {
        return p == grey ? '.' : p == clWhite ? 'W' : p == test::Invert(grey) ? 'I' : '?';
    });
    EXPECT_EQ(picture,
              "............|............|....WWWW....|...WIIIIW...|..WIIIIIIW..|..WIIIIIIW..|"
              "..WIIIIIIW..|..WIIIIIIW..|...WIIIIW...|....WWWW....|............|............");
}

TEST(CanvasEllipse, XorTwiceRestores) {
    std::mt19937 rng(5);
    Bitmap b = test::RandomBitmap(25, 19, PixelFormat::Rgb24, rng);
    const Bitmap before = b;
    Canvas c(b);
    c.pen = {RGB(1, 200, 3), PenStyle::Solid, PenMode::Xor};
    c.brush.color = RGB(90, 9, 250);
    c.Ellipse(-3, 2, 20, 22);
    c.Ellipse(-3, 2, 20, 22);
    EXPECT_EQ(test::FirstDifference(b, before), "");
}

TEST(CanvasEllipse, SymmetricAndInsideItsBox) {
    for (int w = 1; w <= 14; ++w) {
        for (int h = 1; h <= 14; ++h) {
            Bitmap b(16, 16);
            Canvas c(b);
            c.brush.color = clRed;
            c.Ellipse(1, 1, 1 + w, 1 + h);
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const TColor p = b.Pixel(x, y);
                    const bool inBox = x >= 1 && x <= w && y >= 1 && y <= h;
                    if (!inBox) {
                        ASSERT_EQ(p, clWhite) << w << "x" << h;
                        continue;
                    }
                    ASSERT_EQ(p, b.Pixel(w + 1 - x, y)) << w << "x" << h << " at " << x << "," << y;
                    ASSERT_EQ(p, b.Pixel(x, h + 1 - y)) << w << "x" << h << " at " << x << "," << y;
                    // The brush never reaches a pixel next to the outside.
                    if (p != clRed) continue;
                    for (const auto& n :
                         {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
                        ASSERT_NE(b.Pixel(n.first, n.second), clWhite);
                    }
                }
            }
            EXPECT_NE(b.Pixel(1 + w / 2, 1 + h / 2), clWhite) << w << "x" << h;
        }
    }
}

TEST(CanvasEllipse, HugeEllipseIsClipped) {
    Bitmap b(8, 8);
    Canvas c(b);
    c.brush.color = clRed;
    c.Ellipse(-1000000, -1000000, 1000000, 1000000);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(b.Pixel(x, y), clRed);
}

TEST(CanvasEllipse, DottedOutlineLeavesGaps) {
    Bitmap b(30, 30);
    Canvas c(b);
    c.pen.style = PenStyle::Dot;
    c.brush.style = BrushStyle::Clear;
    c.Ellipse(0, 0, 30, 30);
    Bitmap solid(30, 30);
    Canvas s(solid);
    s.brush.style = BrushStyle::Clear;
    s.Ellipse(0, 0, 30, 30);
    const auto dotted = BlackPixels(b), full = BlackPixels(solid);
    for (const auto& p : dotted)
        EXPECT_TRUE(full.count(p));
    EXPECT_GT(dotted.size() * 10, full.size() * 4);
    EXPECT_LT(dotted.size() * 10, full.size() * 6);
}

}  // namespace
}  // namespace gw
