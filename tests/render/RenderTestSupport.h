#pragma once
// Pictures and comparisons the render tests share.

#include <array>
#include <cstdint>
#include <cstring>

#include "raster/DibService.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace gw::test {

// One pixel's bytes as a 24-bit DIB stores them: blue, green, red.
using Bgr = std::array<std::uint8_t, 3>;

// A 24-bit picture of w x h in one colour.
inline DibImage Filled(std::int32_t w, std::int32_t h, Bgr c) {
    DibImage dib;
    newdib(dib, w, h, 24, nullptr, 0);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            std::memcpy(dib.Row(y) + 3 * x, c.data(), 3);
    return dib;
}

// Pixel (x, y) of a 24-bit picture, y counted from the top.
inline Bgr At(const DibImage& dib, std::int32_t x, std::int32_t y) {
    const std::uint8_t* p = dib.Row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

// The same size and the same bytes, padding included; two empty images are the same.
inline bool SameBytes(const DibImage& a, const DibImage& b) {
    if (!a.Bits || !b.Bits) return !a.Bits && !b.Bits;
    return DibWidth(a) == DibWidth(b) && DibHeight(a) == DibHeight(b) &&
           DibImageSize(a) == DibImageSize(b) &&
           std::memcmp(a.Bits.get(), b.Bits.get(), DibImageSize(a)) == 0;
}

// FNV-1a over the picture's bytes, the checksum the pinned pictures are held to; 0 when empty.
inline std::uint64_t Fnv1a(const DibImage& dib) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    if (!dib.Bits) return 0;
    const std::uint8_t* p = dib.Bits.get();
    for (std::size_t i = 0, n = DibImageSize(dib); i < n; ++i) {
        h ^= p[i];
        h *= 0x100000001b3ULL;
    }
    return h;
}

// While one lives, memory from malloc holds bytes other than zero (where the C library can be
// told so): a maker that leaves a byte of its picture unwritten then gives other bytes.
struct HeapHoldsGarbage {
#if defined(__GLIBC__)
    HeapHoldsGarbage() {
        mallopt(M_PERTURB, 0x5A);
    }
    ~HeapHoldsGarbage() {
        mallopt(M_PERTURB, 0);
    }
#endif
    HeapHoldsGarbage(const HeapHoldsGarbage&) = delete;
    HeapHoldsGarbage& operator=(const HeapHoldsGarbage&) = delete;
};

}  // namespace gw::test
