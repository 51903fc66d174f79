#pragma once
// Rounding of extended values in the pixel loops, without the cost of the library calls.
//
// nearbyintl saves and restores the whole floating-point environment on every call, and a cast
// of a long double to an integer switches the x87 rounding mode twice; in the bevel and the warp
// these took most of the time. The x87 integer store rounds by the current mode, which the
// program never changes from half to even: the very rounding of nearbyintl, in one instruction.

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace gw::exact {

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

}  // namespace gw::exact
