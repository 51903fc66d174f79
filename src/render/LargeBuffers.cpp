#include "render/LargeBuffers.h"

#include <algorithm>
#include <mutex>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#include <sys/resource.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/AllocationLimit.h"
#include "platform/ParallelRows.h"

namespace gw {

namespace {

// The heap below the huge-page boundary that PrepareHugeHeap sets aside, never touched again.
// Unused where the allocator is not glibc's or under the sanitizers, which keep their own heap.
[[maybe_unused]] void* g_heapSetAside = nullptr;

}  // namespace

void TouchPagesInBands(void* p, std::size_t n) {
    if (!p || n == 0) return;
    constexpr std::size_t kPage = 4096;
    auto* const bytes = static_cast<volatile std::uint8_t*>(p);
    const std::int64_t pages = std::int64_t((n + kPage - 1) / kPage);
    // A picture's worth of bytes: three a pixel.
    ParallelRows(pages, std::int64_t(n / 3), [&](std::int64_t first, std::int64_t end) {
        for (std::int64_t page = first; page < end; ++page) {
            volatile std::uint8_t& byte = bytes[std::size_t(page) * kPage];
            byte = byte;
        }
    });
}

void KeepRenderMemory() {
#if defined(__GLIBC__)
    static std::once_flag once;
    std::call_once(once, [] {
        // The largest threshold the allocator takes; below it blocks come from the heap, which is
        // trimmed only when a quarter of a gibibyte lies free at its top.
        mallopt(M_MMAP_THRESHOLD, int(kMappedBlockBytes));
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
    });
#endif
}

void PrepareHugeHeap(std::size_t bytes) {
#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_HUGEPAGE) && \
    !defined(__SANITIZE_ADDRESS__)
    static std::once_flag once;
    std::call_once(once, [bytes] {
        rlimit limit{};
        if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur != RLIM_INFINITY) return;
        // Blocks below the threshold KeepRenderMemory sets come from the heap and stay there.
        KeepRenderMemory();
        constexpr std::size_t kHuge = std::size_t(2) << 20;
        const std::size_t span = std::min<std::size_t>(
            (std::max<std::size_t>(bytes, 1) + kHuge - 1) & ~(kHuge - 1), std::size_t(28) << 20);
        // A block of the span and one huge page more, taken from the heap's top, shrunk in
        // place to end just below the first huge-page boundary in it: the rest goes back to
        // the top, which now starts on the boundary. The allocator keeps a word before each
        // block and rounds sizes to 16 bytes, so the next block's header lies just below it.
        void* const probe = std::malloc(span + kHuge);
        if (!probe) return;
        const auto at = reinterpret_cast<std::uintptr_t>(probe);
        const std::uintptr_t boundary = (at + kHuge - 1) & ~(kHuge - 1);
        void* const kept = std::realloc(probe, std::max<std::size_t>(boundary - at, 16) - 8);
        if (!kept) {
            std::free(probe);
            return;
        }
        g_heapSetAside = kept;
        madvise(reinterpret_cast<void*>(boundary), span, MADV_HUGEPAGE);
    });
#else
    (void)bytes;
#endif
}

LargeBuffer::LargeBuffer(std::size_t n) {
    if (n == 0) return;
    CheckAllocation(n);
    bytes_ = AllocateZeroed(n);
    if (!bytes_) {
        NoteAllocationFailure();
        throw std::bad_alloc();
    }
    size_ = n;
}

}  // namespace gw
