#include "render/Disorb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "platform/ParallelRows.h"

namespace gw {
namespace {

LetteringSettings Deform(DeformMode mode, double count, double strength = 20) {
    LetteringSettings s;
    s.deform = mode;
    s.AnzahlEd = count;
    s.StarkEd = strength;
    return s;
}

std::vector<std::int32_t> Rows(const LetteringSettings& s, std::int32_t W, std::int32_t H) {
    std::vector<std::int32_t> rows, columns;
    DisorbShifts(s, W, H, rows, columns);
    return rows;
}

// The shifts: a 450 x 200 bitmap at strength 20 has the amplitude Trunc(650 / 20 x 20 / 100) = 6.
TEST(DisorbShifts, RandomWalkFromSeed1024) {
    const std::vector<std::int32_t> rows = Rows(Deform(DeformMode::RandDeform, 5), 450, 200);
    EXPECT_EQ(std::vector<std::int32_t>(rows.begin(), rows.begin() + 10),
              (std::vector<std::int32_t>{-2, -1, -1, -2, -2, -3, -2, -1, -3, -3}));
}

TEST(DisorbShifts, SineWave) {
    const std::vector<std::int32_t> rows = Rows(Deform(DeformMode::SinDeform, 5), 450, 200);
    EXPECT_EQ(std::vector<std::int32_t>(rows.begin(), rows.begin() + 12),
              (std::vector<std::int32_t>{0, 0, 1, 2, 3, 4, 4, 5, 5, 5, 5, 5}));
}

TEST(DisorbShifts, EvenRandomCountBehavesAsTheNextOddOne) {
    std::vector<std::int32_t> rows4, cols4, rows5, cols5;
    DisorbShifts(Deform(DeformMode::RandDeform, 4), 300, 120, rows4, cols4);
    DisorbShifts(Deform(DeformMode::RandDeform, 5), 300, 120, rows5, cols5);
    EXPECT_EQ(rows4, rows5);
    EXPECT_EQ(cols4, cols5);
}

TEST(DisorbShifts, NothingMovesWithCountOneOrAmplitudeZero) {
    std::vector<std::int32_t> rows, columns;
    DisorbShifts(Deform(DeformMode::RandDeform, 1), 450, 200, rows, columns);
    for (std::int32_t e : rows)
        EXPECT_EQ(e, 0);
    for (std::int32_t f : columns)
        EXPECT_EQ(f, 0);
    // 60 x 30 at strength 1: Trunc(90 / 20 x 1 / 100) = 0.
    for (DeformMode mode : {DeformMode::RandDeform, DeformMode::SinDeform}) {
        DisorbShifts(Deform(mode, 7, 1), 60, 30, rows, columns);
        for (std::int32_t e : rows)
            EXPECT_EQ(e, 0);
        for (std::int32_t f : columns)
            EXPECT_EQ(f, 0);
    }
}

TEST(DisorbShifts, ASingleRowOrColumnIsNotShifted) {
    std::vector<std::int32_t> rows, columns;
    DisorbShifts(Deform(DeformMode::SinDeform, 3, 100), 200, 1, rows, columns);
    EXPECT_EQ(rows, std::vector<std::int32_t>{0});
    DisorbShifts(Deform(DeformMode::RandDeform, 9, 100), 1, 200, rows, columns);
    EXPECT_EQ(columns, std::vector<std::int32_t>{0});
}

// The bitmap itself.
Bitmap Pattern(std::int32_t W, std::int32_t H) {
    Bitmap b(W, H, PixelFormat::Rgb24, clWhite);
    for (std::int32_t y = 0; y < H; ++y)
        for (std::int32_t x = 0; x < W; ++x)
            if ((x / 3 + y / 2) % 2) b.SetPixel(x, y, RGB(std::uint8_t(x), std::uint8_t(y), 7));
    return b;
}

bool SamePixels(const Bitmap& a, const Bitmap& b) {
    for (std::int32_t y = 0; y < a.Height(); ++y)
        for (std::int32_t x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    return true;
}

TEST(Disorb, NoDeformLeavesTheBitmapAlone) {
    const Bitmap original = Pattern(40, 30);
    Bitmap b = original;
    Disorb(b, Deform(DeformMode::NoDeform, 9, 100));
    EXPECT_TRUE(SamePixels(b, original));
}

TEST(Disorb, RowsThenColumnsAreShiftedAndUncoveredPixelsTurnWhite) {
    const std::int32_t W = 40, H = 30;
    const LetteringSettings s = Deform(DeformMode::RandDeform, 5, 100);
    const Bitmap original = Pattern(W, H);
    Bitmap b = original;
    Disorb(b, s);
    std::vector<std::int32_t> rows, columns;
    DisorbShifts(s, W, H, rows, columns);
    auto afterRows = [&](std::int32_t x, std::int32_t y) -> TColor {
        const std::int32_t sx = x - rows[std::size_t(y)];
        return (sx < 0 || sx >= W) ? clWhite : original.Pixel(sx, y);
    };
    for (std::int32_t y = 0; y < H; ++y) {
        for (std::int32_t x = 0; x < W; ++x) {
            const std::int32_t sy = y - columns[std::size_t(x)];
            const TColor expected = (sy < 0 || sy >= H) ? clWhite : afterRows(x, sy);
            ASSERT_EQ(b.Pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(Disorb, EqualSizesDeformAlike) {
    const LetteringSettings s = Deform(DeformMode::RandDeform, 7, 60);
    Bitmap a = Pattern(50, 20), b = Pattern(50, 20);
    Disorb(a, s);
    Disorb(b, s);
    EXPECT_TRUE(SamePixels(a, b));
}

// DisorbRows against the two passes done pixel by pixel: rows first, then columns, white wherever
// a pass reads from outside the picture.
std::vector<std::uint8_t> DeformedByPixels(const std::vector<std::uint8_t>& picture, std::int32_t W,
                                           std::int32_t H, int bpp, std::uint8_t white,
                                           const std::vector<std::int32_t>& e,
                                           const std::vector<std::int32_t>& f) {
    std::vector<std::uint8_t> out(picture.size(), white);
    for (std::int32_t y = 0; y < H; ++y)
        for (std::int32_t x = 0; x < W; ++x) {
            const std::int64_t r = std::int64_t(y) - f[std::size_t(x)];
            if (r < 0 || r >= H) continue;
            const std::int64_t s = std::int64_t(x) - e[std::size_t(r)];
            if (s < 0 || s >= W) continue;
            std::memcpy(&out[(std::size_t(y) * W + std::size_t(x)) * bpp],
                        &picture[(std::size_t(r) * W + std::size_t(s)) * bpp], std::size_t(bpp));
        }
    return out;
}

enum class Shape { Scattered, Walk, Constant };

// Shifts within -reach .. reach: each drawn on its own, a walk of small steps (long runs of equal
// shifts), or all the same.
std::vector<std::int32_t> Shifts(std::int32_t count, std::int32_t reach, Shape shape,
                                 std::mt19937& random) {
    std::vector<std::int32_t> shifts(std::size_t(count), reach);
    std::int32_t walk = 0;
    for (std::int32_t& v : shifts) {
        if (shape == Shape::Scattered) {
            v = std::int32_t(random() % std::uint32_t(2 * reach + 1)) - reach;
        } else if (shape == Shape::Walk) {
            walk = std::clamp(walk + std::int32_t(random() % 3) - 1, -reach, reach);
            v = walk;
        }
    }
    return shifts;
}

TEST(DisorbRows, SameAsPixelByPixelForEveryShapeSizeAndBandCount) {
    struct Case {
        std::int32_t rowReach, columnReach;
        Shape rowShape, columnShape;
    };
    // Reaches of 999 lie beyond every picture here: whole rows and columns turn white.
    const Case cases[] = {
        {0, 3, Shape::Scattered, Shape::Scattered},
        {4, 0, Shape::Scattered, Shape::Scattered},
        {2, 2, Shape::Walk, Shape::Walk},
        {6, 9, Shape::Scattered, Shape::Walk},
        {1, -2, Shape::Walk, Shape::Constant},
        {3, 1, Shape::Walk, Shape::Scattered},
        {999, 999, Shape::Scattered, Shape::Scattered},
        {-999, 40, Shape::Constant, Shape::Walk},
    };
    const std::int32_t sizes[][2] = {{1, 1},   {1, 9},    {9, 1},    {5, 8},   {17, 13},
                                     {40, 31}, {123, 70}, {300, 90}, {97, 411}};
    std::mt19937 random(7);
    for (const Case& c : cases)
        for (const auto& size : sizes)
            for (int bpp : {1, 3, 4}) {
                const std::int32_t W = size[0], H = size[1];
                const auto e = Shifts(H, c.rowReach, c.rowShape, random);
                const auto f = Shifts(W, c.columnReach, c.columnShape, random);
                std::vector<std::uint8_t> picture(std::size_t(W) * H * std::size_t(bpp));
                for (std::uint8_t& v : picture)
                    v = static_cast<std::uint8_t>(random() % 200);
                const std::uint8_t white = bpp == 1 ? 0 : 255;
                const auto expected = DeformedByPixels(picture, W, H, bpp, white, e, f);
                for (int threads : {1, 2, 3, 8}) {
                    // Wide vector copies, where the processor has them, on every other pass.
                    const bool blocks = threads % 2 == 0;
                    SCOPED_TRACE(testing::Message()
                                 << W << "x" << H << "x" << bpp << " reach " << c.rowReach << "/"
                                 << c.columnReach << " on " << threads);
                    ParallelThreadsScope scope(threads);
                    DisorbAllowBlocks(blocks);
                    std::vector<std::uint8_t> work = picture;
                    std::vector<std::uint8_t*> rows(static_cast<std::size_t>(H));
                    for (std::int32_t y = 0; y < H; ++y)
                        rows[std::size_t(y)] = work.data() + std::size_t(y) * W * std::size_t(bpp);
                    DisorbRows(rows.data(), W, H, bpp, white, e, f);
                    DisorbAllowBlocks(true);
                    ASSERT_EQ(work, expected);
                }
            }
}

}  // namespace
}  // namespace gw
