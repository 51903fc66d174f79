#include "platform/ZeroedBlock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace gw {
namespace {

// Every size gives zeroed bytes up to its last one, writable; a large block starts on a huge
// page, spans whole huge pages and is given back by unmapping exactly those.
TEST(ZeroedBlock, ZeroedToTheLastByteAndLargeOnesOnWholeHugePages) {
    constexpr std::size_t kHuge = kHugePageBytes;
    for (const std::size_t n :
         {std::size_t(1), std::size_t(4095), 2 * kHuge - 1, 2 * kHuge + 3, kMappedBlockBytes - 1,
          kMappedBlockBytes, kMappedBlockBytes + kHuge / 2 + 7}) {
        ZeroedBlock block = AllocateZeroed(n);
        ASSERT_TRUE(block) << n;
        for (const std::size_t at : {std::size_t(0), n / 2, n - 1})
            EXPECT_EQ(block[at], 0) << n << " at " << at;
        block[0] = 1;
        block[n - 1] = 2;
        const std::size_t mapped = block.get_deleter().mapped;
        if (n >= kMappedBlockBytes) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.get()) % kHuge, 0u) << n;
            EXPECT_EQ(mapped % kHuge, 0u) << n;
            EXPECT_GE(mapped, n);
            EXPECT_LT(mapped - n, kHuge) << n;
        } else {
            EXPECT_EQ(mapped, 0u) << n;
        }
        // A moved block is given back once, the way it was taken.
        ZeroedBlock moved = std::move(block);
        EXPECT_EQ(moved.get_deleter().mapped, mapped);
        EXPECT_EQ(moved[n - 1], 2);
    }
    EXPECT_FALSE(AllocateZeroed(0));
}

}  // namespace
}  // namespace gw
