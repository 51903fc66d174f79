#pragma once
// Picture-sized buffers of the render: how their pages are taken and kept.

#include <cstddef>
#include <cstdint>

#include "platform/ZeroedBlock.h"

namespace gw {

// Takes the pages behind [p, p + n) from the system on every core at once, leaving their bytes as
// they are. The system clears a page at its first touch, which would otherwise fall on whichever
// stage writes there first, often one that cannot be split.
void TouchPagesInBands(void* p, std::size_t n);

// Keeps memory that renders free within the process for the next render, instead of handing it
// back to the system and taking it anew page by page: every change of a setting renders the whole
// lettering again with images of the same sizes. Blocks of kMappedBlockBytes and more still come
// and go on their own. Takes effect once per process; later calls do nothing.
void KeepRenderMemory();

// Lets the next `bytes` of the heap come in huge pages: the heap is grown by that much, the
// space up to the next huge-page boundary is set aside untouched, and the rest is advised for
// huge pages and handed back, so that the smaller blocks a render takes next (a small picture's
// images are a few hundred KiB each) fall into a few huge pages instead of hundreds of single
// ones. For a process that renders and ends: the space set aside stays taken. At most 28 MiB;
// once per process, from the thread that renders; nothing under a limit of the address space,
// which the grown heap would count against, and nothing where the allocator or the system has
// no such thing.
void PrepareHugeHeap(std::size_t bytes);

// A zeroed buffer of n bytes under the allocation limit, in huge pages when large (see
// AllocateZeroed).
class LargeBuffer {
  public:
    LargeBuffer() = default;
    explicit LargeBuffer(std::size_t n);
    std::uint8_t* data() { return bytes_.get(); }
    const std::uint8_t* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return !bytes_; }

  private:
    ZeroedBlock bytes_;
    std::size_t size_ = 0;
};

}  // namespace gw
