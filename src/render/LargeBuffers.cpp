#include "render/LargeBuffers.h"

#include <mutex>
#include <new>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/AllocationLimit.h"
#include "platform/ParallelRows.h"

namespace gw {

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
