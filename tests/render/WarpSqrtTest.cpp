// The warp's square root computed by the floor of the root, with Newton's steps taken only below
// squares, held to the rule itself.
#include <gtest/gtest.h>

#include "render/Envelope.h"

namespace gw {
namespace {

std::uint32_t NewtonRule(std::uint32_t d) {
    if (d == 0) return 0;
    std::uint32_t r = d, p = 0;
    for (;;) {
        const std::uint32_t next = std::uint32_t((std::uint64_t(d / r) + r) / 2);
        if (std::uint32_t(p - next) <= 1) return next;
        p = next;
        r = next;
    }
}

TEST(WarpSqrtFast, EveryDistanceOfAPictureAsTheRule) {
    // Squared distances within a 2048 x 2048 square, all of them.
    for (std::uint32_t d = 0; d < (1u << 23); ++d)
        ASSERT_EQ(WarpSqrt(d), NewtonRule(d)) << d;
}

TEST(WarpSqrtFast, AroundEverySquareAsTheRule) {
    for (std::uint64_t k = 1; k <= 65536; ++k) {
        for (std::int64_t delta = -2; delta <= 2; ++delta) {
            const std::int64_t d = std::int64_t(k * k) + delta;
            if (d < 0 || d > 0xFFFFFFFFll) continue;
            ASSERT_EQ(WarpSqrt(std::uint32_t(d)), NewtonRule(std::uint32_t(d))) << d;
        }
    }
}

}  // namespace
}  // namespace gw
