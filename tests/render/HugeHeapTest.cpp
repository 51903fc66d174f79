// The heap made ready for huge pages: the next block starts on a huge-page boundary, in memory
// advised for huge pages.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "render/LargeBuffers.h"

namespace gw {
namespace {

TEST(HugeHeap, TheNextBlockStartsOnAHugePageAdvisedForHugePages) {
#if !defined(__GLIBC__) || !defined(__linux__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the heap is the allocator's own here";
#else
    constexpr std::size_t kHuge = std::size_t(2) << 20;
    PrepareHugeHeap(6 * kHuge);
    // Larger than any block the test program has freed: it comes from the heap's top.
    void* const block = std::malloc(3 * kHuge);
    const auto at = reinterpret_cast<std::uintptr_t>(block);
    EXPECT_EQ(at % kHuge, 0u);
    std::ifstream smaps("/proc/self/smaps");
    bool inside = false, advised = false;
    for (std::string line; std::getline(smaps, line);) {
        std::uintptr_t from = 0, to = 0;
        char dash = 0;
        if (std::istringstream(line) >> std::hex >> from >> dash >> to && dash == '-')
            inside = from <= at && at < to;
        else if (inside && line.rfind("VmFlags:", 0) == 0)
            advised = line.find(" hg") != std::string::npos;
    }
    EXPECT_TRUE(advised);
    std::free(block);
#endif
}

}  // namespace
}  // namespace gw
