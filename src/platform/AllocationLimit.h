#pragma once
// The gate of the program's large allocations: pictures (newdib, Bitmap), the render's buffers and
// the image files' buffers ask here before they take memory. Normally everything passes. A limit
// makes them fail the way a machine short of memory would, so the paths that handle it can be
// tried, under the sanitizers too (which cannot run under a `ulimit -v`). Tests set it with
// SetAllocationLimit; the programs also take it from the environment:
//   GLYPHWERK_ALLOCATION_LIMIT=BYTES  no single block larger than BYTES
//   GLYPHWERK_ALLOCATION_FAIL=N       the N-th block asked for (from 1) fails
//
// Failures are also counted, real ones included, because some callers carry on without the
// memory (an effect left out); a caller that must not show such a result compares the counts.

#include <cstddef>
#include <cstdint>

namespace gw {

// What the user is told when an operation fails for lack of memory.
inline constexpr const char* kOutOfMemoryMessage =
    "Fehler: nicht genug Speicher für diese Operation!";

struct AllocationLimit {
    std::size_t largestBlock = 0;  // 0: any size
    std::int64_t failAt = 0;       // the one block that fails, counted from 1; 0: none
};

// Sets the limit and starts counting blocks anew.
void SetAllocationLimit(const AllocationLimit& limit);

// Whether a block of `bytes` may be taken; a refusal is counted as a failure.
bool MayAllocate(std::size_t bytes);
// The same, throwing std::bad_alloc on refusal.
void CheckAllocation(std::size_t bytes);
// Whether a block of `bytes` is within the limit, asked by a caller whose failure is not an
// incomplete result (the smoothing filter leaves the picture as it was and says so); neither
// counted as a block nor as a failure.
bool WithinAllocationLimit(std::size_t bytes);
// Counts a failure the system itself reported (a null from calloc, a caught std::bad_alloc).
void NoteAllocationFailure();
std::uint64_t AllocationFailures();

}  // namespace gw
