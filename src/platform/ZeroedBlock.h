#pragma once
// Zeroed memory for pictures and the render's other large buffers.
//
// Here the first touch of every 4 KiB page costs about ten microseconds, more than a whole pass
// over its pixels, and a picture of 9999 x 9999 has 73 000 of them; a huge page is taken in one
// touch for 512 of them. So a block of kMappedBlockBytes and more is mapped on its own: it starts
// on a huge-page boundary, its length is a whole number of huge pages, and the system is asked for
// huge pages behind all of it before anything touches it, its first and last bytes included.
// Smaller blocks come from calloc, and the whole huge pages within one of two huge pages and more
// are asked for as well: blocks of the heap stay with the process for the next render (see
// KeepRenderMemory), whose pages are then taken already. Where the system has no huge pages the
// blocks behave as any other.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace gw {

inline constexpr std::size_t kHugePageBytes = std::size_t(2) << 20;
inline constexpr std::size_t kMappedBlockBytes = std::size_t(32) << 20;

// Gives a block back: `mapped` bytes unmapped, or to free() when that is 0.
struct BlockRelease {
    std::size_t mapped = 0;
    void operator()(void* p) const;
};
using ZeroedBlock = std::unique_ptr<std::uint8_t[], BlockRelease>;

// `bytes` zeroed bytes; null for 0 bytes or when the system has no memory. The allocation limit
// is the caller's to ask.
ZeroedBlock AllocateZeroed(std::size_t bytes);

// The same block for a caller that writes every byte before it reads one: a block from the heap
// keeps what it held (clearing it would only be written over); a mapped one is zero anyway.
ZeroedBlock AllocateUncleared(std::size_t bytes);

}  // namespace gw
