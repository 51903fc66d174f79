#include "raster/Lines.h"

#include <gtest/gtest.h>

#include <vector>

namespace gw {
namespace {

std::vector<TPoint> OutlineOf(std::initializer_list<TPoint> points) {
    TLine line;
    for (const TPoint& p : points)
        line.AddPoint(p.x, p.y);
    line.BuildOutline();
    return line.Outline();
}

// Outline: one pixel per column or row, always from the first point to the last.
TEST(LinesOutline, ShallowSegmentForward) {
    EXPECT_EQ(OutlineOf({{0, 0}, {5, 2}}),
              (std::vector<TPoint>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
}

TEST(LinesOutline, BackwardSegmentIsTheReverseOfTheForwardOne) {
    EXPECT_EQ(OutlineOf({{5, 2}, {0, 0}}),
              (std::vector<TPoint>{{5, 2}, {4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}));
}

TEST(LinesOutline, SteepSegmentHasOnePixelPerRow) {
    EXPECT_EQ(OutlineOf({{0, 0}, {2, 5}}),
              (std::vector<TPoint>{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}));
}

TEST(LinesOutline, InnerPointsOccurTwice) {
    const std::vector<TPoint> outline = OutlineOf({{0, 0}, {3, 0}, {3, 3}});
    ASSERT_EQ(outline.size(), 8u);
    EXPECT_EQ(outline[3], (TPoint{3, 0}));
    EXPECT_EQ(outline[4], (TPoint{3, 0}));
    EXPECT_EQ(outline[7], (TPoint{3, 3}));
}

TEST(LinesOutline, DegenerateLines) {
    EXPECT_TRUE(OutlineOf({{4, 4}}).empty());
    EXPECT_EQ(OutlineOf({{4, 4}, {4, 4}}), (std::vector<TPoint>{{4, 4}}));
    EXPECT_TRUE(OutlineOf({}).empty());
}

TEST(LinesPoints, OutOfRangeReadsZeroAndWritesNothing) {
    TLine line;
    line.AddPoint(7, 8);
    EXPECT_EQ(line.GetPoint(-1), (TPoint{0, 0}));
    EXPECT_EQ(line.GetPoint(1), (TPoint{0, 0}));
    line.SetPoint(1, 3, 3);
    line.SetPoint(-1, 3, 3);
    EXPECT_EQ(line.PointCount(), 1);
    EXPECT_EQ(line.GetPoint(0), (TPoint{7, 8}));
    EXPECT_EQ(line.GetOutlinePoint(0), (TPoint{0, 0}));
}

TEST(LinesPoints, ClearEmptiesPointsAndOutline) {
    TLine line;
    line.AddPoint(0, 0);
    line.AddPoint(9, 9);
    line.BuildOutline();
    line.Clear();
    EXPECT_EQ(line.PointCount(), 0);
    EXPECT_EQ(line.OutlineCount(), 0);
}

}  // namespace
}  // namespace gw
