#include "platform/AllocationLimit.h"

#include <atomic>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#include "platform/Catalogue.h"

namespace gw {
namespace {

// The memory message is handed on in German and translated where it is shown; here it is marked
// for the catalogue, and kept the same as the header's.
constexpr const char* kOutOfMemoryForTheCatalogue =
    N_("Fehler: nicht genug Speicher für diese Operation!");
static_assert(std::string_view(kOutOfMemoryForTheCatalogue) == kOutOfMemoryMessage);

std::int64_t FromEnvironment(const char* name) {
    const char* text = std::getenv(name);
    std::int64_t value = 0;
    if (!text || std::from_chars(text, text + std::strlen(text), value).ec != std::errc()) return 0;
    return value > 0 ? value : 0;
}

struct State {
    std::atomic<std::size_t> largestBlock{
        std::size_t(FromEnvironment("GLYPHWERK_ALLOCATION_LIMIT"))};
    std::atomic<std::int64_t> failAt{FromEnvironment("GLYPHWERK_ALLOCATION_FAIL")};
    std::atomic<std::int64_t> asked{0};
    std::atomic<std::uint64_t> failures{0};
};

State& Current() {
    static State state;
    return state;
}

}  // namespace

void SetAllocationLimit(const AllocationLimit& limit) {
    State& state = Current();
    state.largestBlock = limit.largestBlock;
    state.failAt = limit.failAt;
    state.asked = 0;
}

bool MayAllocate(std::size_t bytes) {
    State& state = Current();
    const std::int64_t number = ++state.asked;
    const std::size_t largest = state.largestBlock;
    const std::int64_t failAt = state.failAt;
    if ((largest != 0 && bytes > largest) || (failAt != 0 && number == failAt)) {
        ++state.failures;
        return false;
    }
    return true;
}

bool WithinAllocationLimit(std::size_t bytes) {
    const std::size_t largest = Current().largestBlock;
    return largest == 0 || bytes <= largest;
}

void CheckAllocation(std::size_t bytes) {
    if (!MayAllocate(bytes)) throw std::bad_alloc();
}

void NoteAllocationFailure() {
    ++Current().failures;
}

std::uint64_t AllocationFailures() {
    return Current().failures;
}

}  // namespace gw
