#include "render/Filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/AllocationLimit.h"
#include "platform/System.h"
#include "raster/DibService.h"
#include "render/RenderTestSupport.h"

namespace gw {
namespace {

using test::Filled;

std::uint8_t* Px(DibImage& dib, std::int32_t x, std::int32_t y) {
    return dib.Row(y) + 3 * x;
}

FilterKernel Kernel(std::int32_t divisor, std::int32_t bias) {
    FilterKernel k{divisor, bias, {}, "Test"};
    return k;
}

TEST(DibFilterSoften, PaletteImagesAreLeftAlone) {
    for (int bits : {1, 4, 8}) {
        DibImage dib;
        newdib(dib, 6, 5, bits, nullptr, 0);
        for (std::size_t i = 0; i < DibImageSize(dib); ++i)
            dib.Bits[i] = std::uint8_t(i * 37);
        const std::vector<std::uint8_t> before(dib.Bits.get(), dib.Bits.get() + DibImageSize(dib));
        DibFilter(dib, Weichzeichnen);
        EXPECT_EQ(std::vector<std::uint8_t>(dib.Bits.get(), dib.Bits.get() + DibImageSize(dib)),
                  before);
    }
}

TEST(DibFilterSoften, UniformPictureStaysUniform) {
    DibImage dib = Filled(7, 5, {10, 200, 255});
    DibFilter(dib, Weichzeichnen);
    for (std::int32_t y = 0; y < 5; ++y)
        for (std::int32_t x = 0; x < 7; ++x) {
            const std::uint8_t* p = Px(dib, x, y);
            ASSERT_EQ(p[0], 10);
            ASSERT_EQ(p[1], 200);
            ASSERT_EQ(p[2], 255);
        }
}

TEST(DibFilterSoften, SingleWhitePixelBecomesASquareOf28) {
    DibImage dib = Filled(7, 6, {0, 0, 0});
    std::memset(Px(dib, 3, 2), 255, 3);
    DibFilter(dib, Weichzeichnen);
    for (std::int32_t y = 0; y < 6; ++y)
        for (std::int32_t x = 0; x < 7; ++x) {
            const bool inSquare = x >= 2 && x <= 4 && y >= 1 && y <= 3;
            for (int ch = 0; ch < 3; ++ch)
                ASSERT_EQ(Px(dib, x, y)[ch], inSquare ? 28 : 0) << x << "," << y;
        }
}

TEST(DibFilterSoften, CornerCountsItselfFourTimes) {
    // (4 x 90 + 2 x 9 + 2 x 18 + 27) div 9 = 441 div 9 = 49; the other pixels must not count.
    DibImage dib = Filled(3, 3, {255, 255, 255});
    Px(dib, 0, 0)[0] = 90;
    Px(dib, 1, 0)[0] = 9;
    Px(dib, 0, 1)[0] = 18;
    Px(dib, 1, 1)[0] = 27;
    DibFilter(dib, Weichzeichnen);
    EXPECT_EQ(Px(dib, 0, 0)[0], 49);
    EXPECT_EQ(Px(dib, 0, 0)[1], 255);
    // The opposite corner: (4 x 255 + 2 x 255 + 2 x 255 + 27) div 9 = 2067 div 9 = 229.
    EXPECT_EQ(Px(dib, 2, 2)[0], 229);
    EXPECT_EQ(Px(dib, 1, 1)[0], (90 + 9 + 18 + 27 + 5 * 255) / 9);
}

TEST(DibFilterKernel, OffsetsRunDownAndRightFromTheTopLeft) {
    // Weight only at row 0, column 4: offset up two rows and right two columns, repeated at the
    // border.
    FilterKernel k = Kernel(1, 0);
    k.Matrix[0][4] = 1;
    DibImage dib = Filled(5, 4, {0, 0, 0});
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 5; ++x)
            Px(dib, x, y)[1] = std::uint8_t(10 * y + x);
    DibFilter(dib, k);
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 5; ++x) {
            const int sx = std::min(x + 2, 4);
            const int sy = std::max(y - 2, 0);
            EXPECT_EQ(Px(dib, x, y)[1], 10 * sy + sx) << x << "," << y;
        }
}

TEST(DibFilterKernel, DivisionTruncatesTowardZeroThenBiasThenClamp) {
    FilterKernel k = Kernel(2, 100);
    k.Matrix[2][2] = -1;
    DibImage dib = Filled(1, 1, {3, 0, 255});
    DibFilter(dib, k);
    EXPECT_EQ(Px(dib, 0, 0)[0], 99);  // -3 div 2 = -1, not -2
    EXPECT_EQ(Px(dib, 0, 0)[1], 100);
    EXPECT_EQ(Px(dib, 0, 0)[2], 0);  // -127 + 100 clamps to 0

    FilterKernel sharpen = Kernel(1, 0);
    sharpen.Matrix[2][2] = 5;
    sharpen.Matrix[1][2] = sharpen.Matrix[3][2] = sharpen.Matrix[2][1] = sharpen.Matrix[2][3] = -1;
    DibImage edge = Filled(3, 1, {100, 100, 100});
    Px(edge, 1, 0)[0] = 200;
    DibFilter(edge, sharpen);
    EXPECT_EQ(Px(edge, 1, 0)[0], 255);  // 5 x 200 - 2 x 200 - 2 x 100 = 400
    EXPECT_EQ(Px(edge, 0, 0)[0], 0);    // 5 x 100 - 3 x 100 - 200 = 0
    EXPECT_EQ(Px(edge, 0, 0)[1], 100);
}

TEST(DibFilterKernel, KernelWithoutDivisorLeavesThePictureAlone) {
    FilterKernel k = Kernel(0, 7);
    k.Matrix[2][2] = 1;
    DibImage dib = Filled(4, 3, {1, 2, 3});
    DibFilter(dib, k);
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 4; ++x)
            ASSERT_EQ(Px(dib, x, y)[2], 3);
}

// Any width the program makes is smoothed, beyond the old limit of the bordered copy too, with
// the bytes of the plain twin; a filter denied its rows leaves the picture whole and says so.
TEST(DibFilterWidth, WidePicturesAreSmoothedAndAShortageLeavesThemWhole) {
    struct Case {
        std::int32_t width, height;
        std::size_t limit;  // largest block; 0: none
        bool filtered;
    };
    const Case cases[] = {
        {kMaxDibSide - 2, 3, 0, true},
        {kMaxDibSide, 5, 0, true},
        {kMaxDibSide, 5, 4096, false},
    };
    for (const Case& c : cases) {
        DibImage dib = Filled(c.width, c.height, {0, 0, 0});
        for (std::int32_t y = 0; y < c.height; ++y)
            for (std::int32_t x = y; x < c.width; x += 97)
                Px(dib, x, y)[x % 3] = 255;
        DibImage plain = MakeDIBCopy(dib);
        const DibImage before = MakeDIBCopy(dib);
        DibFilterPlain(plain, Weichzeichnen);
        TakeNotices();
        SetAllocationLimit({c.limit, 0});
        const bool filtered = DibFilter(dib, Weichzeichnen);
        SetAllocationLimit({});
        const std::vector<Notice> notices = TakeNotices();
        EXPECT_EQ(filtered, c.filtered) << c.width;
        EXPECT_EQ(notices.empty(), c.filtered) << c.width;
        const DibImage& expected = c.filtered ? plain : before;
        EXPECT_EQ(0, std::memcmp(dib.Bits.get(), expected.Bits.get(), DibImageSize(dib)))
            << c.width;
    }
}

}  // namespace
}  // namespace gw
