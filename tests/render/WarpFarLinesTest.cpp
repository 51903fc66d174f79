// Boundary lines far outside the picture, as a damaged document or absurd scaling gives them:
// only the ray pixels over the picture are blended, and nothing overflows on the way.
#include <gtest/gtest.h>

#include <cstring>

#include "raster/DibService.h"
#include "render/Envelope.h"
#include "render/RenderTestSupport.h"

namespace gw {
namespace {

using test::Filled;

TLine Line(std::initializer_list<TPoint> points) {
    TLine line;
    for (const TPoint& p : points)
        line.AddPoint(p.x, p.y);
    line.BuildOutline();
    return line;
}

// The text: every row a colour of its own, the bottom row red. All opaque.
struct Text {
    DibImage image = Filled(31, 20, {0, 0, 0});
    DibImage mask = Filled(31, 20, {0, 0, 0});
    Text() {
        for (std::int32_t y = 0; y < 20; ++y)
            for (std::int32_t x = 0; x < 31; ++x)
                image.Row(y)[3 * x + 1] = static_cast<std::uint8_t>(10 * y);
        for (std::int32_t x = 0; x < 31; ++x)
            image.Row(19)[3 * x + 2] = 255;
    }
};

// The lower line a billion pixels below: every ray is so long that the picture shows only the
// first part of it, where the distance from the upper line is a vanishing part of the length:
// the text's top row. Beyond 65535 pixels from U no pixel lies in the picture.
TEST(WarpFarLines, ALowerLineFarBelowShowsTheTopRow) {
    Text text;
    DibImage picture = Filled(60, 50, {255, 255, 255});
    const TLine upper = Line({{10, 10}, {40, 10}});
    const TLine lower = Line({{10, 1000000000}, {40, 1000000000}});
    WarpText(upper, lower, text.image, text.mask, picture);
    for (std::int32_t y = 0; y < 50; ++y) {
        for (std::int32_t x = 0; x < 60; ++x) {
            const std::uint8_t* p = picture.Row(y) + 3 * x;
            // Rays start at U and one pixel left of it; the one ending a pixel right of L drifts
            // by that pixel only far below the picture.
            const bool covered = y >= 10 && x >= 9 && x <= 40;
            if (!covered) {
                ASSERT_EQ(p[1], 255) << x << "," << y;
                continue;
            }
            // (Ht - 1) - Trunc(e x 19 / 1e9) is the last stored row: the text's top row.
            ASSERT_EQ(p[1], 0) << x << "," << y;
        }
    }
}

// Lines at the ends of the 32-bit range: outlines of a few pixels there, rays across the whole
// range. The warp must finish and leave the picture as it is, since no ray pixel reaches it.
TEST(WarpFarLines, LinesAtTheEndsOfTheRangeLeaveThePicture) {
    Text text;
    DibImage picture = Filled(40, 30, {1, 2, 3});
    const std::int32_t lo = -2147483647 - 1, hi = 2147483647;
    const TLine upper = Line({{lo, lo}, {lo + 200, lo}});
    const TLine lower = Line({{hi, hi}, {hi - 200, hi}});
    WarpText(upper, lower, text.image, text.mask, picture);
    // The rays from corner to corner of the plane pass over the picture, but every pixel there
    // lies more than 65535 pixels from U: none is blended.
    for (std::int32_t y = 0; y < 30; ++y)
        for (std::int32_t x = 0; x < 40; ++x)
            ASSERT_EQ(picture.Row(y)[3 * x + 1], 2);
}

// A lower line at a far point next to the picture: the rays from U run off to the side, the
// part of each ray over the picture is blended and the rest never walked.
TEST(WarpFarLines, RaysToAFarPointBlendOnlyTheirPartInThePicture) {
    Text text;
    DibImage picture = Filled(64, 64, {255, 255, 255});
    const TLine upper = Line({{0, 0}, {63, 0}});
    const TLine lower = Line({{-900000000, 63}, {-900000000 + 63, 63}});
    WarpText(upper, lower, text.image, text.mask, picture);
    // Nearly horizontal rays to the left from every point of the top row: the top row is
    // covered, and only the pixels just below it on the left, where the rays drop by one row.
    for (std::int32_t x = 0; x < 64; ++x)
        EXPECT_NE(picture.Row(0)[3 * x + 1], 255) << x;
    for (std::int32_t y = 2; y < 64; ++y)
        for (std::int32_t x = 0; x < 64; ++x)
            ASSERT_EQ(picture.Row(y)[3 * x + 1], 255) << x << "," << y;
}

}  // namespace
}  // namespace gw
