#pragma once
// The pixels of a segment's raster that lie inside a w x h picture, found without walking the
// rest: a boundary line may lie far outside the picture (a damaged document, absurd scaling), and
// a ray to it must cost no more than the picture is wide or high.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace gw {

namespace clipped_detail {

__extension__ using I128 = __int128;

inline I128 FloorDiv(I128 n, I128 d) {  // d > 0
    I128 q = n / d;
    if (n % d != 0 && n < 0) --q;
    return q;
}
inline I128 CeilDiv(I128 n, I128 d) {  // d > 0
    return -FloorDiv(-n, d);
}

}  // namespace clipped_detail

// Calls visit(x, y) for exactly those pixels of ForEachSegmentPixel(x1, y1, x2, y2) (platform/
// LineRaster.h) that lie in [0, w) x [0, h), in the same order. After k steps along the major axis
// from the walk's start the minor coordinate has moved by m(k) = floor((2 db k + da) / (2 da)),
// the closed form of that walk's error term; m grows with k, so the steps inside the picture
// form one range, which is found by division and walked from its first step.
template <class Visit>
void ForEachSegmentPixelInside(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                               std::int64_t w, std::int64_t h, Visit&& visit) {
    using clipped_detail::CeilDiv;
    using clipped_detail::FloorDiv;
    using clipped_detail::I128;
    using I64 = std::int64_t;
    if (w <= 0 || h <= 0) return;
    const bool steep = std::llabs(I64(x2) - x1) < std::llabs(I64(y2) - y1);
    I64 a1 = steep ? y1 : x1, b1 = steep ? x1 : y1;
    I64 a2 = steep ? y2 : x2, b2 = steep ? x2 : y2;
    if (a1 > a2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const I64 aLimit = steep ? h : w;
    const I64 bLimit = steep ? w : h;
    const auto emit = [&](I64 a, I64 b) {
        if (steep)
            visit(static_cast<std::int32_t>(b), static_cast<std::int32_t>(a));
        else
            visit(static_cast<std::int32_t>(a), static_cast<std::int32_t>(b));
    };
    const I64 da = a2 - a1;
    if (da == 0) {  // a single pixel
        if (a1 >= 0 && a1 < aLimit && b1 >= 0 && b1 < bLimit) emit(a1, b1);
        return;
    }
    const I64 db = std::llabs(b2 - b1);
    const I64 step = b2 > b1 ? 1 : -1;

    // Steps whose major coordinate is inside.
    I64 kLo = std::max<I64>(0, -a1);
    I64 kHi = std::min<I64>(da, aLimit - 1 - a1);
    if (kLo > kHi) return;
    // Steps whose minor coordinate b1 + step m(k) is inside: m(k) in [mMin, mMax].
    const I64 mMin = step > 0 ? -b1 : b1 - (bLimit - 1);
    const I64 mMax = step > 0 ? bLimit - 1 - b1 : b1;
    if (mMax < 0) return;
    if (db == 0) {
        if (mMin > 0) return;
    } else {
        if (mMin > 0) {
            const I128 first = CeilDiv(I128(2) * da * mMin - da, I128(2) * db);
            if (first > kHi) return;
            kLo = std::max<I64>(kLo, static_cast<I64>(first));
        }
        const I128 last = FloorDiv(I128(2) * da * (I128(mMax) + 1) - da - 1, I128(2) * db);
        if (last < kLo) return;
        kHi = std::min<I64>(kHi, static_cast<I64>(std::min<I128>(last, kHi)));
    }
    if (kLo > kHi) return;

    I64 m = static_cast<I64>(FloorDiv(I128(2) * db * kLo + da, I128(2) * da));
    I64 e = static_cast<I64>(I128(2) * db * (kLo + 1) - da - I128(2) * da * m);
    for (I64 k = kLo; k <= kHi; ++k) {
        emit(a1 + k, b1 + step * m);
        if (e >= 0) {
            ++m;
            e += 2 * (db - da);
        } else {
            e += 2 * db;
        }
    }
}

}  // namespace gw
