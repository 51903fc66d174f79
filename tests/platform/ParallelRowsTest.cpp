#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <vector>

#include "platform/ParallelRows.h"

namespace gw {
namespace {

// Every item is given to exactly one band, whatever the split; a small picture is not split
// unless a count is forced.
TEST(ParallelRows, BandsCoverEveryItemOnce) {
    EXPECT_EQ(1, BandCount(200, 450 * 200));
    struct Case {
        int threads;
        std::int64_t items;
    };
    for (const Case c : {Case{1, 10}, Case{2, 1}, Case{3, 2}, Case{7, 7}, Case{4, 1001}}) {
        const ParallelThreadsScope scope(c.threads);
        std::vector<int> seen(std::size_t(c.items), 0);
        ParallelRows(c.items, 1, [&](std::int64_t first, std::int64_t end) {
            for (std::int64_t i = first; i < end; ++i)
                ++seen[std::size_t(i)];
        });
        EXPECT_EQ(std::vector<int>(std::size_t(c.items), 1), seen)
            << c.threads << " threads, " << c.items << " items";
        EXPECT_EQ(std::min<std::int64_t>(c.threads, c.items), BandCount(c.items, 1));
    }
}

// Memory running out in any band reaches the caller, after every band has ended.
TEST(ParallelRows, FailureOfABandReachesTheCaller) {
    const ParallelThreadsScope scope(4);
    for (int failing = 0; failing < 4; ++failing) {
        std::vector<int> ended(4, 0);
        EXPECT_THROW(RunBands(4,
                              [&](int band) {
                                  ended[std::size_t(band)] = 1;
                                  if (band == failing) throw std::bad_alloc();
                              }),
                     std::bad_alloc)
            << "band " << failing;
        EXPECT_EQ(std::vector<int>(4, 1), ended);
    }
}

}  // namespace
}  // namespace gw
