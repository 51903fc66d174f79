#pragma once
// Rounding of extended values in the pixel loops, without the cost of the library calls.
//
// nearbyintl saves and restores the whole floating-point environment on every call, and a cast
// of a long double to an integer switches the x87 rounding mode twice; in the bevel and the warp
// these took most of the time. Adding 1.5 x 2^63 to a value of magnitude below 2^62 leaves a sum
// in [2^63, 2^64), where the 64-bit significand has no fraction bits: the addition itself rounds
// the value to an integer in the current (default: half to even) mode, exactly as nearbyintl,
// and the significand then holds that integer plus 0xC000000000000000.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace gw::exact {

#if LDBL_MANT_DIG == 64 && (defined(__x86_64__) || defined(__i386__))

// Round half to even of v, |v| < 2^62.
inline std::int64_t RoundSmall(long double v) {
    const long double shifted = v + 0x1.8p63L;
    std::uint64_t significand;
    std::memcpy(&significand, &shifted, sizeof significand);
    return static_cast<std::int64_t>(significand - 0xC000000000000000ULL);
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
