// Outlines of segments at the ends of the 32-bit range, as damaged documents hold them.
#include <gtest/gtest.h>

#include "raster/Lines.h"

namespace gw {
namespace {

TEST(LinesRange, SegmentsEndingOnTheLargestCoordinateEnd) {
    const std::int32_t hi = 2147483647, lo = -2147483647 - 1;
    TLine right;
    right.AddPoint(hi - 3, 5);
    right.AddPoint(hi, 7);
    right.BuildOutline();
    EXPECT_EQ(right.Outline(),
              (std::vector<TPoint>{{hi - 3, 5}, {hi - 2, 6}, {hi - 1, 6}, {hi, 7}}));

    TLine down;
    down.AddPoint(lo, hi - 2);
    down.AddPoint(lo, hi);
    down.AddPoint(lo + 2, hi);
    down.BuildOutline();
    EXPECT_EQ(down.Outline(),
              (std::vector<TPoint>{
                  {lo, hi - 2}, {lo, hi - 1}, {lo, hi}, {lo, hi}, {lo + 1, hi}, {lo + 2, hi}}));

    // Walked backwards from the largest coordinate, and put in order.
    TLine back;
    back.AddPoint(hi, hi);
    back.AddPoint(hi - 2, hi - 2);
    back.BuildOutline();
    EXPECT_EQ(back.Outline(), (std::vector<TPoint>{{hi, hi}, {hi - 1, hi - 1}, {hi - 2, hi - 2}}));
}

}  // namespace
}  // namespace gw
