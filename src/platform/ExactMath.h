#pragma once
// The exact arithmetic the layers above share: rounding and truncation as the program defines
// them (Round half to even, Trunc toward zero), held to the integer ranges of the callers, and the
// roundings of the pixel loops without the cost of the library calls.
//
// Values outside a range saturate and a NaN counts as 0 where nothing else is said: a nonsense
// setting typed into a spin field, or a damaged document, must not make a conversion undefined.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

namespace gw {

// Trunc of v into 32 bits.
inline std::int32_t TruncSaturated(long double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0L) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0L) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

// Trunc of a pixel offset, held within a billion either way: far beyond any picture, yet small
// enough to be negated and added to a picture size without wrapping.
inline std::int32_t TruncPixels(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<std::int32_t>(std::trunc(std::clamp(v, -1e9, 1e9)));
}

// v held to the 32-bit range.
inline std::int32_t Clamp32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// n / d rounded half to even, exactly, d > 0; held to the 64-bit range.
inline std::int64_t RoundDiv(__int128 n, std::int64_t d) {
    __int128 q = n / d;
    __int128 rem = n % d;
    if (rem < 0) {
        rem += d;
        --q;
    }
    // q = floor(n / d), 0 <= rem < d.
    if (2 * rem > d || (2 * rem == d && (q & 1) != 0)) ++q;
    const __int128 lo = std::numeric_limits<std::int64_t>::min();
    const __int128 hi = std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(std::clamp(q, lo, hi));
}

// Round(num / den) of the quotient taken in extended precision, half to even, held to 32 bits.
// For |num| below 2^62 it is the exact quotient's rounding.
inline std::int32_t RoundQuotient(std::int64_t num, std::int64_t den) {
    const long double q = std::nearbyintl(static_cast<long double>(num) / den);
    if (q > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (q < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(q);
}

// Rounding of extended values in the pixel loops (bevel, warp), without the cost of the library
// calls: nearbyintl saves and restores the whole floating-point environment on every call, and a
// cast of a long double to an integer switches the x87 rounding mode twice. The x87 integer store
// rounds by the current mode, which the program never changes from half to even: the very
// rounding of nearbyintl, in one instruction.
namespace exact {

#if LDBL_MANT_DIG == 64 && (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)

// Round half to even of v, |v| < 2^62: the x87 store rounds in the current mode.
inline std::int64_t RoundSmall(long double v) {
    std::int64_t r;
    __asm__("fistpll %0" : "=m"(r) : "t"(v) : "st");
    return r;
}

#else

inline std::int64_t RoundSmall(long double v) {
    return static_cast<std::int64_t>(std::nearbyint(v));
}

#endif

// Trunc of v, |v| < 2^62.
inline std::int64_t TruncSmall(long double v) {
    std::int64_t n = RoundSmall(v);
    if (v >= 0 && static_cast<long double>(n) > v) --n;
    if (v < 0 && static_cast<long double>(n) < v) ++n;
    return n;
}

// Round half to even, then held in 0 .. 255; anything not above 0 (NaN included) gives 0.
inline std::uint8_t RoundToByte(long double v) {
    if (!(v > 0)) return 0;
    if (v >= 255) return 255;
    return static_cast<std::uint8_t>(RoundSmall(v));
}

}  // namespace exact

}  // namespace gw
