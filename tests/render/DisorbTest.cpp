#include "render/Disorb.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace gw
