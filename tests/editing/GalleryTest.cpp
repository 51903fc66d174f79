// The layout of the thumbnail galleries: rows from the height, the width from the count, the
// hit rectangles that take in the gap pixels, and the focus cell the arrow keys move.

#include "editing/Gallery.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

TEST(GalleryLayout, RowsColumnsAndWidthFollowHeightAndCount) {
    struct Case {
        GalleryLayout layout;
        std::int32_t rows, columns, width;
    };
    const Case cases[] = {
        {{64, 32, 27, 125}, 3, 9, 585},  // envelopes
        {{64, 32, 5, 125}, 3, 2, 130},   // frames
        {{64, 32, 11, 94}, 2, 6, 390},   // edges
        {{64, 32, 8, 94}, 2, 4, 260},    // shadows
        {{32, 32, 7, 99}, 3, 3, 99},     // textures
        {{32, 32, 7, 98}, 2, 4, 4 * 33},
        {{32, 32, 7, 32}, 0, 0, 0},  // lower than one cell with its gap
        {{32, 32, 0, 99}, 3, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.layout.Rows(), c.rows) << c.layout.count << " in " << c.layout.boxHeight;
        EXPECT_EQ(c.layout.Columns(), c.columns) << c.layout.count << " in " << c.layout.boxHeight;
        EXPECT_EQ(c.layout.Width(), c.width) << c.layout.count << " in " << c.layout.boxHeight;
    }
    // Filled top to bottom, then left to right.
    EXPECT_EQ((GalleryLayout{64, 32, 27, 125}.Cell(4)), (TRect{65, 33, 129, 65}));
}

TEST(GalleryLayout, HitTestTakesTheGapIntoTheCellBefore) {
    const GalleryLayout envelopes{64, 32, 27, 125};
    const GalleryLayout edges{64, 32, 11, 94};
    const GalleryLayout low{32, 32, 7, 32};
    const GalleryLayout none{32, 32, 0, 99};
    struct Case {
        const GalleryLayout& layout;
        std::int32_t x, y, hit;
    };
    const Case cases[] = {
        {envelopes, 0, 0, 0},
        {envelopes, 64, 0, 0},  // the gap to the right of thumbnail 0
        {envelopes, 65, 0, 3},  // the next column starts
        {envelopes, 0, 32, 0},  // the gap below thumbnail 0
        {envelopes, 0, 33, 1},
        {envelopes, 584, 98, 26},
        {envelopes, 10, 99, -1},  // below the third row
        {envelopes, 600, 10, -1},
        {envelopes, -1, 0, -1},
        {edges, 5 * 65 + 10, 40, -1},  // beyond the last cell of the last column
        {edges, 5 * 65 + 10, 10, 10},
        {low, 0, 0, -1},
        {none, 0, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.layout.HitTest(c.x, c.y), c.hit) << c.x << ", " << c.y;
}

TEST(GalleryLayout, ArrowStepsStayInTheGallery) {
    const GalleryLayout edges{64, 32, 11, 94};  // 2 rows, the last column holds cell 10 alone
    const GalleryLayout low{32, 32, 7, 32};
    struct Case {
        const GalleryLayout& layout;
        std::int32_t from, across, down, to;
    };
    const Case cases[] = {
        {edges, 0, 0, 1, 1},   {edges, 1, 0, 1, 1},  // the bottom row stays
        {edges, 1, 0, -1, 0},  {edges, 0, 0, -1, 0},
        {edges, 0, 1, 0, 2},   {edges, 2, -1, 0, 0},
        {edges, 0, -1, 0, 0},  {edges, 9, 1, 0, 10},  // into the shorter column
        {edges, 10, 1, 0, 10}, {edges, 10, 0, 1, 10},
        {edges, 10, -1, 0, 8}, {low, 3, 1, 0, 3},  // no rows: nothing moves
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.layout.Step(c.from, c.across, c.down), c.to)
            << c.from << " by " << c.across << ", " << c.down;
}

}  // namespace
}  // namespace gw
