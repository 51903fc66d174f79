#pragma once
// Ternary raster operations: the result of combining pattern (P), source (S) and destination (D)
// bit by bit, coded as the operation's truth table in bits 16..23 of the code.

#include <cstdint>

namespace gw {

using Rop = std::uint32_t;

constexpr Rop SRCCOPY = 0x00CC0020;      // D = S
constexpr Rop SRCPAINT = 0x00EE0086;     // D = S | D
constexpr Rop SRCAND = 0x008800C6;       // D = S & D
constexpr Rop SRCINVERT = 0x00660046;    // D = S ^ D
constexpr Rop SRCERASE = 0x00440328;     // D = S & ~D
constexpr Rop NOTSRCCOPY = 0x00330008;   // D = ~S
constexpr Rop NOTSRCERASE = 0x001100A6;  // D = ~(S | D)
constexpr Rop MERGEPAINT = 0x00BB0226;   // D = ~S | D
constexpr Rop DSTINVERT = 0x00550009;    // D = ~D
constexpr Rop PATCOPY = 0x00F00021;      // D = P
constexpr Rop PATINVERT = 0x005A0049;    // D = P ^ D
constexpr Rop BLACKNESS = 0x00000042;    // D = 0
constexpr Rop WHITENESS = 0x00FF0062;    // D = 1

// The truth table of a raster operation: bit (P<<2 | S<<1 | D) of the result gives the output
// bit for that combination of input bits.
constexpr std::uint8_t RopTable(Rop rop) {
    return static_cast<std::uint8_t>((rop >> 16) & 0xFF);
}

// The general rule, byte-wise on all eight bits at once. Every fast path must agree with it.
constexpr std::uint8_t ApplyRop(Rop rop, std::uint8_t p, std::uint8_t s, std::uint8_t d) {
    const std::uint8_t table = RopTable(rop);
    std::uint8_t result = 0;
    for (int index = 0; index < 8; ++index) {
        if (!((table >> index) & 1)) continue;
        const std::uint8_t pm = (index & 4) ? p : static_cast<std::uint8_t>(~p);
        const std::uint8_t sm = (index & 2) ? s : static_cast<std::uint8_t>(~s);
        const std::uint8_t dm = (index & 1) ? d : static_cast<std::uint8_t>(~d);
        result |= static_cast<std::uint8_t>(pm & sm & dm);
    }
    return result;
}

constexpr bool RopUsesSource(Rop rop) {
    const std::uint8_t t = RopTable(rop);
    return ((t >> 2) & 0x33) != (t & 0x33);
}

}  // namespace gw
