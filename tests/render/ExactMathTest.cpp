#include "render/ExactMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace gw {
namespace {

std::uint8_t ReferenceByte(long double v) {
    const long double r = std::nearbyint(v);
    if (!(r > 0)) return 0;
    if (r >= 255) return 255;
    return static_cast<std::uint8_t>(r);
}

// Every value the check walks: a fine grid, the ties k + 1/2 and their neighbours on both sides,
// and random values of every magnitude up to the limit of 2^62.
template <class Check>
void ForEachProbe(Check check) {
    for (int i = -300 * 1024; i <= 300 * 1024; ++i)
        check(static_cast<long double>(i) / 1024);
    for (std::int64_t k = -100000; k <= 100000; ++k) {
        const long double tie = static_cast<long double>(k) + 0.5L;
        check(tie);
        check(std::nextafter(tie, std::numeric_limits<long double>::infinity()));
        check(std::nextafter(tie, -std::numeric_limits<long double>::infinity()));
    }
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        const int exponent = static_cast<int>(random() % 61);
        const long double unit = static_cast<long double>(random()) / 0x1p64L;
        const long double v = std::ldexp(unit, exponent) * ((random() & 1) ? 1 : -1);
        check(v);
    }
}

TEST(ExactRound, RoundSmallIsHalfToEven) {
    EXPECT_EQ(exact::RoundSmall(0.5L), 0);
    EXPECT_EQ(exact::RoundSmall(1.5L), 2);
    EXPECT_EQ(exact::RoundSmall(2.5L), 2);
    EXPECT_EQ(exact::RoundSmall(-2.5L), -2);
    EXPECT_EQ(exact::RoundSmall(0x1p61L + 0.5L), std::int64_t(1) << 61);
    ForEachProbe([](long double v) {
        ASSERT_EQ(exact::RoundSmall(v), static_cast<std::int64_t>(std::nearbyint(v))) << double(v);
    });
}

TEST(ExactRound, TruncSmallGoesTowardZero) {
    EXPECT_EQ(exact::TruncSmall(2.999L), 2);
    EXPECT_EQ(exact::TruncSmall(-2.999L), -2);
    EXPECT_EQ(exact::TruncSmall(-0.5L), 0);
    ForEachProbe([](long double v) {
        ASSERT_EQ(exact::TruncSmall(v), static_cast<std::int64_t>(std::trunc(v))) << double(v);
    });
}

TEST(ExactRound, RoundToByteClampsLikeTheBlends) {
    EXPECT_EQ(exact::RoundToByte(254.5L), 254);
    EXPECT_EQ(exact::RoundToByte(254.5000001L), 255);
    EXPECT_EQ(exact::RoundToByte(0.5L), 0);
    EXPECT_EQ(exact::RoundToByte(std::numeric_limits<long double>::quiet_NaN()), 0);
    EXPECT_EQ(exact::RoundToByte(std::numeric_limits<long double>::infinity()), 255);
    EXPECT_EQ(exact::RoundToByte(-std::numeric_limits<long double>::infinity()), 0);
    ForEachProbe([](long double v) { ASSERT_EQ(exact::RoundToByte(v), ReferenceByte(v)); });
}

}  // namespace
}  // namespace gw
