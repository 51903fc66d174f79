#pragma once
// The raster rule of a line segment, shared by the canvas lines, the polyline outlines and the
// envelope rays; and the same walk limited to the pixels inside a picture, for lines and rays that
// may reach far beyond it (a damaged document, absurd scaling) but must cost no more than the
// picture is wide or high.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>

namespace gw {

// Walks the pixels of the segment (x1, y1)-(x2, y2), both ends included, calling visit(x, y). A
// steep segment gives one pixel per row and is walked by increasing y, any other one pixel per
// column by increasing x; the end points are exchanged to walk that way. The walk order is the
// raster order of the outline before its direction is corrected. The counters are 64 bits wide, so
// a segment ending on the largest 32-bit coordinate (a damaged document can hold one) ends.
template <class Visit>
void ForEachSegmentPixel(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                         Visit&& visit) {
    using I64 = std::int64_t;
    const bool steep = std::abs(I64(x2) - x1) < std::abs(I64(y2) - y1);
    I64 a1 = steep ? y1 : x1, b1 = steep ? x1 : y1;
    I64 a2 = steep ? y2 : x2, b2 = steep ? x2 : y2;
    if (a1 > a2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const I64 step = b2 > b1 ? 1 : -1;
    const I64 da = a2 - a1;
    const I64 db = std::abs(b2 - b1);
    I64 e = 2 * db - da;
    I64 b = b1;
    const auto visitAt = [&](I64 a) {
        if (steep)
            visit(static_cast<std::int32_t>(b), static_cast<std::int32_t>(a));
        else
            visit(static_cast<std::int32_t>(a), static_cast<std::int32_t>(b));
    };
    visitAt(a1);
    for (I64 a = a1 + 1; a <= a2; ++a) {
        if (e >= 0) {
            b += step;
            e += 2 * (db - da);
        } else {
            e += 2 * db;
        }
        visitAt(a);
    }
}

namespace clipped_detail {

__extension__ using I128 = __int128;

inline I128 FloorDiv(I128 n, I128 d) {  // d > 0
    // Within 64 bits, as nearly every segment is, the division is the processor's own rather than
    // the library's 128-bit one; the quotient is the same.
    constexpr I128 kMin = std::numeric_limits<std::int64_t>::min();
    constexpr I128 kMax = std::numeric_limits<std::int64_t>::max();
    if (n > kMin && n <= kMax && d <= kMax) {
        const auto n64 = static_cast<std::int64_t>(n), d64 = static_cast<std::int64_t>(d);
        std::int64_t q = n64 / d64;
        if (n64 % d64 != 0 && n64 < 0) --q;
        return q;
    }
    I128 q = n / d;
    if (n % d != 0 && n < 0) --q;
    return q;
}
inline I128 CeilDiv(I128 n, I128 d) {  // d > 0
    return -FloorDiv(-n, d);
}

}  // namespace clipped_detail

// The pixels of ForEachSegmentPixel(x1, y1, x2, y2) (above) that lie in [0, w) x [0, h), as a
// walk of its own: `count` pixels (none when 0) from (a, b) on the major axis a and the minor b
// (a = y for a steep segment, else x). Each pixel after the first is one further along a, and
// further along b by `step` when the error term e, taken before the move, is not negative; e then
// grows by `onStep`, else by `offStep`. After k steps along the major axis from the walk's start
// the minor coordinate has moved by m(k) = floor((2 db k + da) / (2 da)), the closed form of that
// walk's error term; m grows with k, so the steps inside the picture form one range, which is
// found by division and walked from its first step.
struct ClippedSegment {
    bool steep = false;
    std::int64_t a = 0, b = 0, step = 1, count = 0, e = 0, onStep = 0, offStep = 0;

    ClippedSegment(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                   std::int64_t w, std::int64_t h) {
        using clipped_detail::CeilDiv;
        using clipped_detail::FloorDiv;
        using clipped_detail::I128;
        using I64 = std::int64_t;
        if (w <= 0 || h <= 0) return;
        steep = std::llabs(x2 - x1) < std::llabs(y2 - y1);
        I64 a1 = steep ? y1 : x1, b1 = steep ? x1 : y1;
        I64 a2 = steep ? y2 : x2, b2 = steep ? x2 : y2;
        if (a1 > a2) {
            std::swap(a1, a2);
            std::swap(b1, b2);
        }
        const I64 aLimit = steep ? h : w;
        const I64 bLimit = steep ? w : h;
        const I64 da = a2 - a1;
        if (da == 0) {  // a single pixel
            if (a1 >= 0 && a1 < aLimit && b1 >= 0 && b1 < bLimit) {
                a = a1;
                b = b1;
                count = 1;
            }
            return;
        }
        const I64 db = std::llabs(b2 - b1);
        step = b2 > b1 ? 1 : -1;

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

        const I64 m = static_cast<I64>(FloorDiv(I128(2) * db * kLo + da, I128(2) * da));
        a = a1 + kLo;
        b = b1 + step * m;
        count = kHi - kLo + 1;
        e = static_cast<I64>(I128(2) * db * (kLo + 1) - da - I128(2) * da * m);
        onStep = 2 * (db - da);
        offStep = 2 * db;
    }
};

// Calls visit(x, y) for exactly those pixels of ForEachSegmentPixel(x1, y1, x2, y2) (above) that
// lie in [0, w) x [0, h), in the same order (see ClippedSegment).
template <class Visit>
void ForEachSegmentPixelInside(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                               std::int64_t w, std::int64_t h, Visit&& visit) {
    const ClippedSegment s(x1, y1, x2, y2, w, h);
    std::int64_t a = s.a, b = s.b, e = s.e;
    for (std::int64_t k = 0; k < s.count; ++k) {
        if (s.steep)
            visit(static_cast<std::int32_t>(b), static_cast<std::int32_t>(a));
        else
            visit(static_cast<std::int32_t>(a), static_cast<std::int32_t>(b));
        ++a;
        if (e >= 0) {
            b += s.step;
            e += s.onStep;
        } else {
            e += s.offStep;
        }
    }
}

// The pixels of ForEachSegmentPixel(x1, y1, x2, y2) that lie in [0, w) x [top, bottom), in the
// same order: the walk moved up by `top` is the same walk, its pixels moved alike.
template <class Visit>
void ForEachSegmentPixelInRows(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                               std::int64_t w, std::int64_t top, std::int64_t bottom,
                               Visit&& visit) {
    ForEachSegmentPixelInside(
        std::int64_t(x1), y1 - top, std::int64_t(x2), y2 - top, w, bottom - top,
        [&](std::int32_t x, std::int32_t y) { visit(x, static_cast<std::int32_t>(y + top)); });
}

}  // namespace gw
