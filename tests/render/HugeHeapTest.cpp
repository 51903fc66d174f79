// The heap made ready for huge pages: the next blocks start on a huge-page boundary, in memory
// advised for huge pages, and stay ordinary memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "render/LargeBuffers.h"

namespace gw {
namespace {

// The VmFlags of the mapping that holds `p`, from /proc/self/smaps; empty when not found.
std::string FlagsOfMappingAt(const void* p) {
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t from = 0, to = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> from >> dash >> to && dash == '-') {
            inside = from <= address && address < to;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return line;
        }
    }
    return {};
}

TEST(HugeHeap, NextBlocksStartOnAHugePageAdvisedForHugePages) {
#if !defined(__GLIBC__) || !defined(__linux__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the heap is the allocator's own here";
#else
    constexpr std::size_t kHuge = std::size_t(2) << 20;
    PrepareHugeHeap(6 * kHuge);
    // Larger than any block the test program has freed, so it comes from the heap's top.
    const std::size_t sizes[] = {3 * kHuge, 1 << 20};
    auto* first = static_cast<std::uint8_t*>(std::malloc(sizes[0]));
    auto* second = static_cast<std::uint8_t*>(std::malloc(sizes[1]));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % kHuge, 0u);
    for (const std::uint8_t* block : {first, second}) {
        SCOPED_TRACE(static_cast<const void*>(block));
        EXPECT_NE(FlagsOfMappingAt(block).find(" hg"), std::string::npos);
    }
    // Ordinary memory: written and read back whole, the blocks apart.
    std::memset(first, 0x5A, sizes[0]);
    std::memset(second, 0xA5, sizes[1]);
    EXPECT_TRUE(first[0] == 0x5A && first[sizes[0] - 1] == 0x5A);
    EXPECT_TRUE(second[0] == 0xA5 && second[sizes[1] - 1] == 0xA5);
    std::free(second);
    std::free(first);
#endif
}

}  // namespace
}  // namespace gw
