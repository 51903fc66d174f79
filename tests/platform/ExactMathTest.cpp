#include "platform/ExactMath.h"

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

TEST(ExactMath, RoundSmallIsHalfToEven) {
    EXPECT_EQ(exact::RoundSmall(0.5L), 0);
    EXPECT_EQ(exact::RoundSmall(1.5L), 2);
    EXPECT_EQ(exact::RoundSmall(2.5L), 2);
    EXPECT_EQ(exact::RoundSmall(-2.5L), -2);
    EXPECT_EQ(exact::RoundSmall(0x1p61L + 0.5L), std::int64_t(1) << 61);
    ForEachProbe([](long double v) {
        ASSERT_EQ(exact::RoundSmall(v), static_cast<std::int64_t>(std::nearbyint(v))) << double(v);
    });
}

TEST(ExactMath, TruncSmallGoesTowardZero) {
    EXPECT_EQ(exact::TruncSmall(2.999L), 2);
    EXPECT_EQ(exact::TruncSmall(-2.999L), -2);
    EXPECT_EQ(exact::TruncSmall(-0.5L), 0);
    ForEachProbe([](long double v) {
        ASSERT_EQ(exact::TruncSmall(v), static_cast<std::int64_t>(std::trunc(v))) << double(v);
    });
}

TEST(ExactMath, RoundToByteClampsLikeTheBlends) {
    EXPECT_EQ(exact::RoundToByte(254.5L), 254);
    EXPECT_EQ(exact::RoundToByte(254.5000001L), 255);
    EXPECT_EQ(exact::RoundToByte(0.5L), 0);
    EXPECT_EQ(exact::RoundToByte(std::numeric_limits<long double>::quiet_NaN()), 0);
    EXPECT_EQ(exact::RoundToByte(std::numeric_limits<long double>::infinity()), 255);
    EXPECT_EQ(exact::RoundToByte(-std::numeric_limits<long double>::infinity()), 0);
    ForEachProbe([](long double v) { ASSERT_EQ(exact::RoundToByte(v), ReferenceByte(v)); });
}

// The saturating conversions and the integer roundings, worked values at the limits.
TEST(ExactMath, ConversionsSaturateAndRoundHalfToEven) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    struct Trunc {
        long double v;
        std::int32_t saturated, pixels;
    };
    for (const Trunc& t :
         {Trunc{2.999L, 2, 2}, Trunc{-2.999L, -2, -2}, Trunc{-0.5L, 0, 0},
          Trunc{2147483646.9L, 2147483646, 1000000000}, Trunc{3e9L, kMax, 1000000000},
          Trunc{-3e9L, kMin, -1000000000}, Trunc{1e300L, kMax, 1000000000}, Trunc{nan, 0, 0}}) {
        EXPECT_EQ(TruncSaturated(t.v), t.saturated) << double(t.v);
        EXPECT_EQ(TruncPixels(double(t.v)), t.pixels) << double(t.v);
    }
    EXPECT_EQ(Clamp32(std::int64_t(1) << 40), kMax);
    EXPECT_EQ(Clamp32(-(std::int64_t(1) << 40)), kMin);
    EXPECT_EQ(Clamp32(-7), -7);

    struct Quotient {
        std::int64_t n, d, rounded;
    };
    for (const Quotient& q :
         {Quotient{5, 2, 2}, Quotient{7, 2, 4}, Quotient{-5, 2, -2}, Quotient{-7, 2, -4},
          Quotient{2, 3, 1}, Quotient{-2, 3, -1}, Quotient{1, 3, 0}, Quotient{-1, 3, 0},
          Quotient{0, 7, 0}, Quotient{450 * 3, 4, 338}, Quotient{-450 * 3, 4, -338}}) {
        EXPECT_EQ(RoundDiv(q.n, q.d), q.rounded) << q.n << " / " << q.d;
        EXPECT_EQ(RoundQuotient(q.n, q.d), q.rounded) << q.n << " / " << q.d;
    }
    EXPECT_EQ(RoundDiv(static_cast<__int128>(1) << 100, 1),
              std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(RoundQuotient(std::int64_t(1) << 40, 1), kMax);
    EXPECT_EQ(RoundQuotient(-(std::int64_t(1) << 40), 1), kMin);
    // Below 2^62 the extended quotient rounds as the exact one does.
    std::mt19937_64 random(11);
    for (int i = 0; i < 100000; ++i) {
        const auto n = static_cast<std::int64_t>(random() >> 3) - (std::int64_t(1) << 60);
        const auto d = static_cast<std::int64_t>(random() % 100000 + 1);
        const std::int64_t exact = RoundDiv(n, d);
        if (exact > kMin && exact < kMax) {
            ASSERT_EQ(RoundQuotient(n, d), exact) << n << " / " << d;
        }
    }
}

}  // namespace
}  // namespace gw
