// Feeds arbitrary bytes to the document reader. Whatever it accepts must write out again and read
// back to the very same bytes; whatever it refuses must leave the lettering untouched.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "document/LetteringFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gw::Lettering lettering;
    gw::InitStartState(lettering);
    const std::vector<std::uint8_t> start = gw::LetteringFileBytes(lettering);

    const gw::DocumentResult result = gw::ReadLetteringBytes(lettering, {data, size}, "fuzz.zgw");
    const std::vector<std::uint8_t> written = gw::LetteringFileBytes(lettering);
    if (!result.ok) {
        if (written != start) __builtin_trap();
        return 0;
    }
    gw::Lettering again;
    gw::InitStartState(again);
    if (!gw::ReadLetteringBytes(again, written, "fuzz.zgw").ok) __builtin_trap();
    if (gw::LetteringFileBytes(again) != written) __builtin_trap();
    return 0;
}
