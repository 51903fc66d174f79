#include "platform/ZeroedBlock.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace gw {
namespace {

// Asks for huge pages behind the whole ones within [p, p + n): the edges may share pages with
// other blocks.
void AdviseHugePages(void* p, std::size_t n) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    const auto begin = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t first = (begin + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    const std::uintptr_t last = (begin + n) & ~(kHugePageBytes - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)p;
    (void)n;
#endif
}

}  // namespace

void BlockRelease::operator()(void* p) const {
#if defined(__linux__)
    if (mapped != 0) {
        munmap(p, mapped);
        return;
    }
#endif
    std::free(p);
}

namespace {

ZeroedBlock AllocateBlock(std::size_t bytes, bool zeroed) {
    if (bytes == 0) return nullptr;
#if defined(__linux__)
    if (bytes >= kMappedBlockBytes && bytes <= SIZE_MAX - 2 * kHugePageBytes) {
        const std::size_t length = (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
        // One huge page more than needed, so that a huge-page boundary lies within the first;
        // what lies before it and after the block goes back at once.
        const std::size_t reserved = length + kHugePageBytes;
        void* const area =
            mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (area == MAP_FAILED) return nullptr;
        const auto begin = reinterpret_cast<std::uintptr_t>(area);
        const std::uintptr_t first = (begin + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
        if (first > begin) munmap(area, first - begin);
        const std::uintptr_t end = begin + reserved;
        if (end > first + length)
            munmap(reinterpret_cast<void*>(first + length), end - first - length);
        auto* const block = reinterpret_cast<std::uint8_t*>(first);
        AdviseHugePages(block, length);
        return ZeroedBlock(block, BlockRelease{length});
    }
#endif
    ZeroedBlock block(
        static_cast<std::uint8_t*>(zeroed ? std::calloc(bytes, 1) : std::malloc(bytes)));
    if (block && bytes >= 2 * kHugePageBytes) AdviseHugePages(block.get(), bytes);
    return block;
}

}  // namespace

ZeroedBlock AllocateZeroed(std::size_t bytes) {
    return AllocateBlock(bytes, true);
}

ZeroedBlock AllocateUncleared(std::size_t bytes) {
    return AllocateBlock(bytes, false);
}

}  // namespace gw
