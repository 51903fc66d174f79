#include "platform/LineRaster.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace gw {
namespace {

using Pixels = std::vector<std::pair<std::int32_t, std::int32_t>>;

Pixels Inside(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t w,
              std::int32_t h) {
    Pixels p;
    ForEachSegmentPixelInside(x1, y1, x2, y2, w, h,
                              [&](std::int32_t x, std::int32_t y) { p.emplace_back(x, y); });
    return p;
}

Pixels WalkedAndFiltered(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                         std::int32_t w, std::int32_t h) {
    Pixels p;
    ForEachSegmentPixel(x1, y1, x2, y2, [&](std::int32_t x, std::int32_t y) {
        if (x >= 0 && x < w && y >= 0 && y < h) p.emplace_back(x, y);
    });
    return p;
}

// Every segment between points of a small grid around a 7 x 5 picture: all slopes, both
// directions, the single points, and the ones that only touch a corner.
TEST(SegmentInside, SmallSegmentsGiveTheWalkedPixelsInOrder) {
    for (std::int32_t x1 = -4; x1 <= 10; ++x1)
        for (std::int32_t y1 = -4; y1 <= 8; ++y1)
            for (std::int32_t x2 = -4; x2 <= 10; ++x2)
                for (std::int32_t y2 = -4; y2 <= 8; ++y2)
                    ASSERT_EQ(Inside(x1, y1, x2, y2, 7, 5), WalkedAndFiltered(x1, y1, x2, y2, 7, 5))
                        << x1 << "," << y1 << " - " << x2 << "," << y2;
}

TEST(SegmentInside, LongSegmentsGiveTheWalkedPixelsInOrder) {
    std::mt19937 random(11);
    std::uniform_int_distribution<std::int32_t> coordinate(-3000, 3000);
    std::uniform_int_distribution<std::int32_t> side(1, 400);
    for (int i = 0; i < 20000; ++i) {
        const std::int32_t x1 = coordinate(random), y1 = coordinate(random);
        const std::int32_t x2 = coordinate(random), y2 = coordinate(random);
        const std::int32_t w = side(random), h = side(random);
        ASSERT_EQ(Inside(x1, y1, x2, y2, w, h), WalkedAndFiltered(x1, y1, x2, y2, w, h))
            << x1 << "," << y1 << " - " << x2 << "," << y2 << " in " << w << "x" << h;
    }
}

// A line from a damaged document: its ends a billion pixels away. Only the part over the picture
// is visited, and none of the arithmetic overflows.
TEST(SegmentInside, FarEndsCostOnlyThePicture) {
    const Pixels across = Inside(-1000000000, 5, 1000000000, 5, 40, 10);
    ASSERT_EQ(across.size(), 40u);
    EXPECT_EQ(across.front(), std::make_pair(0, 5));
    EXPECT_EQ(across.back(), std::make_pair(39, 5));

    // Corner to corner of the largest square: the diagonal of the picture.
    const Pixels diagonal = Inside(-2147483647, -2147483647, 2147483647, 2147483647, 30, 30);
    ASSERT_EQ(diagonal.size(), 30u);
    for (std::int32_t i = 0; i < 30; ++i)
        EXPECT_EQ(diagonal[std::size_t(i)], std::make_pair(i, i));

    // The other diagonal passes the picture's corner at (0, 0) at most.
    for (const auto& p : Inside(-2147483647 - 1, 2147483647, 2147483647, -2147483647 - 1, 30, 30))
        EXPECT_EQ(p, std::make_pair(0, 0));
    EXPECT_TRUE(Inside(1000000000, -1000000000, 1000000001, 1000000000, 30, 30).empty());
    EXPECT_TRUE(Inside(0, 0, 5, 5, 0, 10).empty());
}

// Segments that pass beside the picture visit nothing, however long they are.
TEST(SegmentInside, SegmentsBesideThePictureVisitNothing) {
    EXPECT_TRUE(Inside(1000, -1000000000, 1001, 1000000000, 50, 50).empty());
    EXPECT_TRUE(Inside(100, -1000000000, 100, 1000000000, 50, 50).empty());
    EXPECT_TRUE(Inside(-1000000000, 1000000000, 1000000000, 1000000000 - 7, 50, 50).empty());
}

}  // namespace
}  // namespace gw
