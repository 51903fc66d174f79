// The filter made row by row in bands, held to its plain twin over the whole bordered copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "raster/DibService.h"
#include "render/Filter.h"
#include "render/RenderTestSupport.h"

namespace gw {
namespace {

using test::SameBytes;

DibImage Noise(std::int32_t w, std::int32_t h, unsigned seed) {
    DibImage dib;
    newdib(dib, w, h, 24, nullptr, 0);
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < DibImageSize(dib); ++i)
        dib.Bits[i] = static_cast<std::uint8_t>(random());
    return dib;
}

void ExpectAsPlain(std::int32_t w, std::int32_t h, const FilterKernel& k, int bands) {
    SCOPED_TRACE(testing::Message() << w << "x" << h << " in " << bands << " bands");
    DibImage fast = Noise(w, h, unsigned(w * 31 + h));
    DibImage plain = MakeDIBCopy(fast);
    DibFilterInBands(fast, k, bands);
    DibFilterPlain(plain, k);
    EXPECT_TRUE(SameBytes(fast, plain));
}

TEST(DibFilterBands, SmoothingAsPlainAtEverySizeAndBandCount) {
    for (std::int32_t w : {1, 2, 3, 5, 17})
        for (std::int32_t h : {1, 2, 3, 4, 9, 23})
            for (int bands : {1, 2, 3, 7, 64})
                ExpectAsPlain(w, h, Weichzeichnen, bands);
}

TEST(DibFilterBands, OtherKernelsAsPlain) {
    FilterKernel sharpen{1, 0, {}, "Schärfen"};
    sharpen.Matrix[2][2] = 9;
    sharpen.Matrix[1][2] = sharpen.Matrix[3][2] = sharpen.Matrix[2][1] = sharpen.Matrix[2][3] = -2;
    FilterKernel edges{-3, 128, {}, "Kanten"};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            edges.Matrix[r][c] = (r - 2) * (c + 1);
    // Weights so large that the 32-bit sum wraps.
    FilterKernel huge{7, -3, {}, "Riesig"};
    huge.Matrix[0][0] = 0x7FFFFFFF;
    huge.Matrix[4][4] = 0x40000000;
    huge.Matrix[2][2] = -5;
    FilterKernel wide{25, 0, {}, "Breit"};
    for (auto& row : wide.Matrix)
        for (auto& v : row)
            v = 1;
    // The box of the smoothing with another divisor and a bias.
    FilterKernel box = Weichzeichnen;
    box.Divisor = 8;
    box.Bias = -3;
    for (const FilterKernel* k : {&sharpen, &edges, &huge, &wide, &box})
        for (int bands : {1, 2, 5})
            ExpectAsPlain(29, 13, *k, bands);
}

// Large enough for DibFilter to split it over the cores: the same as in one band, which the
// tests above hold to the plain filter.
TEST(DibFilterBands, LargePictureOnEveryCore) {
    DibImage split = Noise(1451, 731, 5);
    DibImage whole = MakeDIBCopy(split);
    DibFilter(split, Weichzeichnen);
    DibFilterInBands(whole, Weichzeichnen, 1);
    EXPECT_TRUE(SameBytes(split, whole));
}

}  // namespace
}  // namespace gw
