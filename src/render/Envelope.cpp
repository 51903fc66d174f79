#include "render/Envelope.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/ExactMath.h"
#include "platform/LineRaster.h"
#include "platform/ParallelRows.h"

namespace gw {

namespace {

// The rule of the warp as written: Newton's step from r = d until it moves by at most one.
std::uint32_t WarpSqrtByNewton(std::uint32_t d) {
    // The sum is taken in 64 bits: in 32 it wraps for d = 2^32 - 1 and the root comes out 0.
    std::uint32_t r = d;
    std::uint32_t p = 0;
    for (;;) {
        const std::uint32_t next = std::uint32_t((std::uint64_t(d / r) + r) / 2);
        if (std::uint32_t(p - next) <= 1) return next;
        p = next;
        r = next;
    }
}

// The largest squared distance that has a root in the warp's 32-bit rule.
constexpr std::uint64_t kLargestDistance = std::numeric_limits<std::uint32_t>::max();

// The roots there are: 0 .. 65535, and WarpSqrt(2^32 - 1) may be 65536.
constexpr std::int64_t kLastRoot = 65536;

// The square root of v >= 0, without the library's test for a negative v (which would set errno).
inline double SquareRoot(double v) {
#if defined(__SSE2__)
    return _mm_cvtsd_f64(_mm_sqrt_sd(_mm_setzero_pd(), _mm_set_sd(v)));
#else
    return std::sqrt(v);
#endif
}

// How many roots ahead the source's rows are fetched.
constexpr std::int64_t kAhead = 16;

// A source word whose mask byte (255) blends nothing.
constexpr std::uint32_t kBlendsNothing = 0xFF;

// Whether the rule's root of s^2 - 1 (1 <= s <= 65536) is s rather than s - 1, worked out by the
// rule once per process and s. Threads may work out the same s side by side: they store the same
// answer.
bool RootRoundsUp(std::uint32_t s) {
    static std::atomic<std::uint8_t> known[kLastRoot + 1];  // 0: not yet, 1: s - 1, 2: s
    std::uint8_t k = known[s].load(std::memory_order_relaxed);
    if (k == 0) {
        const std::uint64_t d = std::uint64_t(s) * s - 1;
        k = d != 0 && WarpSqrtByNewton(std::uint32_t(d)) == s ? 2 : 1;
        known[s].store(k, std::memory_order_relaxed);
    }
    return k == 2;
}

// Step k of N: the outline points of both lines it joins, the points before them, and the box
// that holds all five of its rays. The warp and the bound on its work take the steps alike.
struct StepGeometry {
    TPoint U, L, Up, Lp;
    std::int64_t left, right, top, bottom;
};

StepGeometry WarpStepAt(const TLine& upper, const TLine& lower, std::int64_t upperCount,
                        std::int64_t lowerCount, std::int64_t N, std::int64_t k) {
    StepGeometry s;
    const std::int64_t iu = upperCount * k / N;
    const std::int64_t il = lowerCount * k / N;
    s.U = upper.GetOutlinePoint(std::int32_t(iu));
    s.L = lower.GetOutlinePoint(std::int32_t(il));
    s.Up = iu > 0 ? upper.GetOutlinePoint(std::int32_t(iu - 1)) : s.U;
    s.Lp = il > 0 ? lower.GetOutlinePoint(std::int32_t(il - 1)) : s.L;
    s.left =
        std::min<std::int64_t>({std::int64_t(s.U.x) - 1, s.Up.x, std::int64_t(s.L.x) - 1, s.Lp.x});
    s.right =
        std::max<std::int64_t>({std::int64_t(s.U.x) + 1, s.Up.x, std::int64_t(s.L.x) + 1, s.Lp.x});
    s.top = std::min({s.U.y, s.Up.y, s.L.y, s.Lp.y});
    s.bottom = std::max({s.U.y, s.Up.y, s.L.y, s.Lp.y});
    return s;
}

// The five rays of a step from U to L, in the order they blend (which the bytes depend on): the
// two beside the main ray that fill the gaps between steps, those from the step before, and the
// main ray last.
template <class Ray>
void ForEachStepRay(TPoint U, TPoint L, TPoint Up, TPoint Lp, Ray&& ray) {
    if (L.x > U.x) {
        ray(U.x + 1, U.y, L.x, L.y);
        ray(U.x, U.y, L.x - 1, L.y);
    } else {
        ray(U.x - 1, U.y, L.x, L.y);
        ray(U.x, U.y, L.x + 1, L.y);
    }
    ray(Up.x, Up.y, L.x, L.y);
    ray(U.x, U.y, Lp.x, Lp.y);
    ray(U.x, U.y, L.x, L.y);
}

}  // namespace

// The steps fall strictly while above s = floor(sqrt(d)), and a step from x > s + 2 never lands on
// x - 1; a step from s + 2 lands on s + 1 only when d = (s + 1)^2 - 1. So the rule stops at s,
// except possibly for d = (s + 1)^2 - 1, where it depends on the path: only there are the steps
// taken.
std::uint32_t WarpSqrt(std::uint32_t d) {
    if (d == 0) return 0;
    // Exact: d < 2^32 is a double, the root is correctly rounded, and no root of a d below a
    // square (s + 1)^2 rounds up to s + 1 at this size.
    const auto s = static_cast<std::uint32_t>(std::sqrt(static_cast<double>(d)));
    const std::uint64_t next = std::uint64_t(s) + 1;
    if (std::uint64_t(d) == next * next - 1) return WarpSqrtByNewton(d);
    return s;
}

EnvelopeWarp::EnvelopeWarp(const DibImage& TextImage, const DibImage& TextMask, DibImage& Picture) {
    const bool allThere = TextImage.Bits && TextMask.Bits && Picture.Bits;
    const bool trueColour =
        DibBitCount(TextImage) == 24 && DibBitCount(TextMask) == 24 && DibBitCount(Picture) == 24;
    const bool sameLayout = DibWidth(TextImage) == DibWidth(TextMask) &&
                            DibHeight(TextImage) == DibHeight(TextMask) &&
                            TextImage.Stride == TextMask.Stride;
    usable_ = allThere && trueColour && sameLayout && DibWidth(TextImage) > 0 &&
              DibHeight(TextImage) > 0 && DibWidth(Picture) > 0 && DibHeight(Picture) > 0;
    if (!usable_) return;
    text_ = TextImage.Bits.get();
    mask_ = TextMask.Bits.get();
    picture_ = Picture.Bits.get();
    textWidth_ = DibWidth(TextImage);
    textHeight_ = DibHeight(TextImage);
    textStride_ = TextImage.Stride;
    pictureWidth_ = DibWidth(Picture);
    pictureHeight_ = DibHeight(Picture);
    pictureStride_ = Picture.Stride;
    bottom_ = pictureHeight_;
}

void EnvelopeWarp::WarpRay(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                           std::int32_t column, std::int32_t length) {
    if (!usable_ || column < 0 || column >= textWidth_) return;
    if (!Prepare(std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2), column,
                 length))
        return;
    Walk(x1, y1, x2, y2);
}

void EnvelopeWarp::WarpStep(TPoint U, TPoint L, TPoint Up, TPoint Lp, std::int32_t column,
                            std::int32_t length) {
    if (!usable_ || column < 0 || column >= textWidth_) return;
    U_ = U;
    // Every ray of the step measures its distances from U and takes the same column, so one
    // source serves all five: the box below holds them all.
    const std::int64_t left =
        std::min<std::int64_t>({std::int64_t(U.x) - 1, Up.x, std::int64_t(L.x) - 1, Lp.x});
    const std::int64_t right =
        std::max<std::int64_t>({std::int64_t(U.x) + 1, Up.x, std::int64_t(L.x) + 1, Lp.x});
    const std::int64_t top = std::min({U.y, Up.y, L.y, Lp.y});
    const std::int64_t bottom = std::max({U.y, Up.y, L.y, Lp.y});
    if (!Prepare(left, right, top, bottom, column, length)) return;
    ForEachStepRay(U, L, Up, Lp,
                   [this](std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
                       Walk(x1, y1, x2, y2);
                   });
}

bool EnvelopeWarp::Prepare(std::int64_t left, std::int64_t right, std::int64_t top,
                           std::int64_t bottom, std::int32_t column, std::int32_t length) {
    left = std::max<std::int64_t>(left, 0);
    right = std::min(right, pictureWidth_ - 1);
    top = std::max(top, top_);
    bottom = std::min(bottom, bottom_ - 1);
    if (left > right || top > bottom) return false;
    FindRoots(column, length);
    if (rootFirst_ > rootLast_) return false;

    // The squared distances from U within the box, each coordinate under 2^31 + the picture's
    // size away: the squares and their sum fit 64 bits.
    const std::int64_t ux = U_.x, uy = U_.y;
    const auto square = [](std::int64_t v) { return std::uint64_t(v * v); };
    const std::uint64_t nearest =
        square(ux - std::clamp(ux, left, right)) + square(uy - std::clamp(uy, top, bottom));
    const std::uint64_t farthest = std::max(square(ux - left), square(ux - right)) +
                                   std::max(square(uy - top), square(uy - bottom));
    if (nearest > kLargestDistance) return false;
    // WarpSqrt grows with d, so the box's roots lie between those of its nearest and farthest.
    const std::uint32_t first = WarpSqrt(std::uint32_t(nearest));
    const std::uint32_t last = WarpSqrt(std::uint32_t(std::min(farthest, kLargestDistance)));
    const std::int64_t from = std::max<std::int64_t>(first, rootFirst_);
    const std::int64_t to = std::min<std::int64_t>(last, rootLast_);
    if (from > to) return false;

    // The squared distances whose roots lie in [from, to]: the first d with WarpSqrt(d) >= from
    // is from^2 - 1 where the rule rounds that up, else from^2; the last with WarpSqrt(d) <= to
    // is (to + 1)^2 - 1 unless the rule rounds it up.
    const auto firstWithRoot = [](std::uint64_t r) {
        return r == 0 ? 0 : RootRoundsUp(std::uint32_t(r)) ? r * r - 1 : r * r;
    };
    distanceLow_ = firstWithRoot(std::uint64_t(from));
    distanceHigh_ = to >= kLastRoot
                        ? kLargestDistance
                        : std::min(firstWithRoot(std::uint64_t(to) + 1) - 1, kLargestDistance);
    sourceBase_ = std::uint32_t(from);
    source_.resize(std::size_t(to - from) + 1);
    std::uint32_t* const source = source_.data();
    const std::uint8_t* const text = text_ + std::int64_t(column) * 3;
    const std::uint8_t* const mask = mask_ + std::int64_t(column) * 3;
    const auto bytesAt = [&](std::int64_t o) {
        return std::uint32_t(mask[o]) | std::uint32_t(text[o]) << 8 |
               std::uint32_t(text[o + 1]) << 16 | std::uint32_t(text[o + 2]) << 24;
    };
    if (length == 0) {
        // Without a length every pixel takes the middle row.
        std::fill(source, source + (to - from) + 1, bytesAt((textHeight_ - 1) / 2 * textStride_));
        return true;
    }
    const std::int64_t* const offsets = RowOffsets(length, to + kAhead);
    // The rows lie a whole text row apart, in the column of the text image and of the mask: the
    // ones a few roots ahead are asked for early, so that their lines come in side by side.
    for (std::int64_t e = from; e <= to; ++e) {
        const std::int64_t ahead = offsets[e + kAhead];
        if (ahead >= 0) {
            __builtin_prefetch(mask + ahead);
            __builtin_prefetch(text + ahead);
        }
        // A distance beyond the bottom row (past the length) has no pixel.
        const std::int64_t o = offsets[e];
        source[e - from] = o >= 0 ? bytesAt(o) : kBlendsNothing;
    }
    return true;
}

const std::int64_t* EnvelopeWarp::RowOffsets(std::int32_t length, std::int64_t last) {
    // The row depends only on e and the scale, that is on the length: the offsets are made once
    // per length and root, for the few lengths met last (neighbouring steps mostly share one).
    RowTable* table = &rowTables_[0];
    for (RowTable& t : rowTables_)
        if (t.length == length) {
            table = &t;
            break;
        } else if (t.used < table->used) {
            table = &t;
        }
    if (table->length != length) {
        table->length = length;
        table->offsets.clear();
    }
    table->used = ++rowTablesUsed_;
    // e < 2^17 and the scale at most 2^14: far inside the exact range of the rounding.
    const double scale = WarpRowScale(textHeight_, length);
    std::vector<std::int64_t>& offsets = table->offsets;
    while (std::int64_t(offsets.size()) <= last) {
        const auto e = static_cast<std::int64_t>(offsets.size());
        const std::int64_t row = (textHeight_ - 1) - WarpRowAt(e, scale);
        offsets.push_back(row < 0 ? -1 : row * textStride_);
    }
    return offsets.data();
}

// A pixel farther than R = floor(sqrt(distanceHigh_)) from U along either axis lies beyond the
// range. Nearer to U: where the whole segment lies on one side of U along an axis (below U, say),
// and no pixel of it is more than M from U across that axis, a pixel t from U along the axis lies
// at most t^2 + M^2 from it: below distanceLow_ while t^2 < distanceLow_ - M^2.
void EnvelopeWarp::RayBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                          std::int64_t& left, std::int64_t& right, std::int64_t& top,
                          std::int64_t& bottom) const {
    const std::int64_t ux = U_.x, uy = U_.y;
    const auto reach = std::int64_t(SquareRoot(double(distanceHigh_)));
    left = std::max(left, ux - reach);
    right = std::min(right, ux + reach);
    top = std::max(top, uy - reach);
    bottom = std::min(bottom, uy + reach);
    if (distanceLow_ == 0) return;
    // The least t >= 0 with t^2 + across^2 >= distanceLow_.
    const auto nearest = [&](std::int64_t across) -> std::int64_t {
        if (across >= std::int64_t(1) << 32) return 0;
        const std::uint64_t a2 = std::uint64_t(across) * std::uint64_t(across);
        if (a2 >= distanceLow_) return 0;
        const std::uint64_t v = distanceLow_ - a2;
        auto t = std::int64_t(SquareRoot(double(v)));
        if (std::uint64_t(t) * std::uint64_t(t) < v) ++t;
        return t;
    };
    const std::int64_t xLow = std::min(x1, x2), xHigh = std::max(x1, x2);
    const std::int64_t yLow = std::min(y1, y2), yHigh = std::max(y1, y2);
    const std::int64_t acrossX = std::max(std::abs(xLow - ux), std::abs(xHigh - ux));
    const std::int64_t acrossY = std::max(std::abs(yLow - uy), std::abs(yHigh - uy));
    if (yLow >= uy) top = std::max(top, uy + nearest(acrossX));
    if (yHigh <= uy) bottom = std::min(bottom, uy - nearest(acrossX));
    if (xLow >= ux) left = std::max(left, ux + nearest(acrossY));
    if (xHigh <= ux) right = std::min(right, ux - nearest(acrossY));
}

void EnvelopeWarp::Walk(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    if (coverage_)
        Walk<true>(x1, y1, x2, y2);
    else
        Walk<false>(x1, y1, x2, y2);
}

template <bool kCoverage>
void EnvelopeWarp::Walk(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    // Only the pixels inside the picture and the band blend, and of them only those whose squared
    // distance from U lies in [distanceLow_, distanceHigh_]: the walk is limited to a box that
    // holds all of those (see RayBox), and the walk moved by the box's corner is the same walk,
    // its pixels moved alike.
    std::int64_t left = 0, right = pictureWidth_ - 1, top = top_, bottom = bottom_ - 1;
    RayBox(x1, y1, x2, y2, left, right, top, bottom);
    if (left > right || top > bottom) return;
    const ClippedSegment s(std::int64_t(x1) - left, std::int64_t(y1) - top, std::int64_t(x2) - left,
                           std::int64_t(y2) - top, right - left + 1, bottom - top + 1);
    if (s.count == 0) return;
    // The walk keeps everything it reads in locals: its stores go through byte pointers, which
    // may alias any member, so members would be read again after every pixel.
    const std::int64_t x = (s.steep ? s.b : s.a) + left;
    const std::int64_t y = (s.steep ? s.a : s.b) + top;
    const std::int64_t stride = pictureStride_, width = pictureWidth_;
    // The pixel's offsets from U along the walk's major and minor axes, and the moves of the
    // picture and coverage pointers with a step along each.
    std::int64_t major = s.steep ? U_.y - y : U_.x - x;
    std::int64_t minor = s.steep ? U_.x - x : U_.y - y;
    const std::int64_t step = s.step;
    // The picture's rows are stored from the bottom up.
    const std::int64_t majorMove = s.steep ? -stride : 3;
    const std::int64_t minorMove = s.steep ? 3 * step : -stride * step;
    const std::int64_t majorCover = s.steep ? width : 1;
    const std::int64_t minorCover = s.steep ? step : width * step;
    std::uint8_t* q = picture_ + (pictureHeight_ - 1 - y) * stride + x * 3;
    std::uint8_t* c = kCoverage ? coverage_ + y * width + x : nullptr;
    const std::uint32_t* const source = source_.data();
    const std::uint32_t base = sourceBase_;
    const std::uint64_t nearest = distanceLow_, range = distanceHigh_ - distanceLow_;
    std::int64_t e = s.e;
    for (std::int64_t k = s.count; k > 0; --k) {
        // The squares and their sum fit 64 bits (see Prepare).
        const std::uint64_t d = std::uint64_t(major * major) + std::uint64_t(minor * minor);
        // Only the distances whose root has a source blend, all of them at most 2^32 - 1: a pixel
        // farther from U has no root in the 32-bit rule and is left alone.
        if (d - nearest <= range) {
            // The floor of the root, and one more just below a square where the rule says so.
            auto r = static_cast<std::uint32_t>(SquareRoot(static_cast<double>(std::int64_t(d))));
            const std::uint64_t next = std::uint64_t(r) + 1;
            if (d + 1 == next * next && RootRoundsUp(std::uint32_t(next))) ++r;

            // The blend of the picture byte v with the text byte w at mask byte m, a = (255 - m) /
            // 255 and b = 1 - a as doubles, v b + w a rounded: the exact value (v m + w (255 - m))
            // / 255 has no half in it, and neither double nor rounding moves it by a 510th, so its
            // integer rounding is the blend's. A transparent source (m = 255) leaves the picture
            // as it is and an opaque one (m = 0) replaces it.
            const std::uint32_t bytes = source[r - base];
            const std::uint32_t m = bytes & 0xFF;
            if (m == 0) {
                q[0] = std::uint8_t(bytes >> 8);
                q[1] = std::uint8_t(bytes >> 16);
                q[2] = std::uint8_t(bytes >> 24);
                if constexpr (kCoverage) *c = 255;
            } else if (m != 255) {
                const std::uint32_t n = 255 - m;
                q[0] = std::uint8_t((q[0] * m + ((bytes >> 8) & 0xFF) * n + 127) / 255);
                q[1] = std::uint8_t((q[1] * m + ((bytes >> 16) & 0xFF) * n + 127) / 255);
                q[2] = std::uint8_t((q[2] * m + (bytes >> 24) * n + 127) / 255);
                if constexpr (kCoverage) *c = std::uint8_t((*c * m + 255 * n + 127) / 255);
            }
        }
        --major;
        q += majorMove;
        if constexpr (kCoverage) c += majorCover;
        if (e >= 0) {
            minor -= step;
            q += minorMove;
            if constexpr (kCoverage) c += minorCover;
            e += s.onStep;
        } else {
            e += s.offStep;
        }
    }
}

// The row falls as the root e grows: the rows within [low, high] are taken by one range of e.
void EnvelopeWarp::FindRoots(std::int32_t column, std::int32_t length) {
    if (column == rootsColumn_ && length == rootsLength_) return;
    rootsColumn_ = column;
    rootsLength_ = length;
    rootFirst_ = 0;
    rootLast_ = kLastRoot;
    if (!columnRows_) return;
    const WarpColumnRows rows = columnRows_[column];
    rootFirst_ = 1;
    rootLast_ = 0;
    if (rows.low > rows.high) return;
    if (length == 0) {
        const std::int64_t middle = (textHeight_ - 1) / 2;
        if (middle >= rows.low && middle <= rows.high) {
            rootFirst_ = 0;
            rootLast_ = kLastRoot;
        }
        return;
    }
    const double scale = WarpRowScale(textHeight_, length);
    const auto row = [&](std::int64_t e) { return (textHeight_ - 1) - WarpRowAt(e, scale); };
    // The first e in [0, kLastRoot + 1] for which above(e) holds (kLastRoot + 1 where none does),
    // above being false up to some e and true from there on. The rows follow e / scale closely, so
    // the search starts in a narrow bracket around `guess` and widens it only where that misses.
    const auto firstAbove = [](auto&& above, double guess) {
        std::int64_t lo = 0, hi = kLastRoot + 1;
        const auto near =
            static_cast<std::int64_t>(std::clamp(guess, 0.0, static_cast<double>(kLastRoot + 1)));
        const std::int64_t a = std::max<std::int64_t>(lo, near - 1);
        const std::int64_t b = std::min<std::int64_t>(hi - 1, near + 1);
        if (above(a))
            hi = a;
        else
            lo = a + 1;
        if (b >= lo && b < hi) {
            if (above(b))
                hi = b;
            else
                lo = b + 1;
        }
        while (lo < hi) {
            const std::int64_t mid = (lo + hi) / 2;
            if (above(mid))
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    };
    // Row r is reached where e x scale comes to (textHeight_ - 1) - r.
    const auto guessFor = [&](std::int64_t r) {
        return scale > 0 ? std::ceil(double((textHeight_ - 1) - r) / scale) : double(kLastRoot + 1);
    };
    // The first e whose row is at most `high`, and the last whose row is at least `low`.
    rootFirst_ =
        firstAbove([&](std::int64_t e) { return row(e) <= rows.high; }, guessFor(rows.high));
    rootLast_ =
        firstAbove([&](std::int64_t e) { return row(e) < rows.low; }, guessFor(rows.low - 1)) - 1;
}

std::vector<WarpColumnRows> WarpBlendingRows(const DibImage& TextMask) {
    if (!TextMask.Bits || DibBitCount(TextMask) != 24) return {};
    const std::int32_t W = DibWidth(TextMask), H = DibHeight(TextMask);
    std::vector<WarpColumnRows> rows(std::size_t(std::max(W, 0)), WarpColumnRows{H, -1});
    ParallelRows(W, std::int64_t(W) * H, [&](std::int64_t first, std::int64_t end) {
        for (std::int32_t r = 0; r < H; ++r) {
            const std::uint8_t* mask = TextMask.StoredRow(r);
            std::int64_t x = first;
            const auto take = [&](std::int64_t to) {
                for (; x < to; ++x)
                    if (mask[3 * x] != 255) {
                        WarpColumnRows& c = rows[std::size_t(x)];
                        c.low = std::min(c.low, r);
                        c.high = r;
                    }
            };
            // Most of a mask is transparent: eight pixels whose 24 bytes are all 255 are passed
            // over at once, the others looked at one by one.
            for (; x + 8 <= end;) {
                std::uint64_t w[3];
                std::memcpy(w, mask + 3 * x, sizeof w);
                if ((w[0] & w[1] & w[2]) == ~std::uint64_t(0))
                    x += 8;
                else
                    take(x + 8);
            }
            take(end);
        }
    });
    return rows;
}

void WarpStepEnds(const TLine& upper, const TLine& lower, std::int64_t k, TPoint& U, TPoint& L,
                  TPoint& Up, TPoint& Lp) {
    const std::int64_t upperCount = upper.OutlineCount();
    const std::int64_t lowerCount = lower.OutlineCount();
    const std::int64_t N = std::max<std::int64_t>(std::max(upperCount, lowerCount), 1);
    const StepGeometry step = WarpStepAt(upper, lower, upperCount, lowerCount, N, k);
    U = step.U;
    L = step.L;
    Up = step.Up;
    Lp = step.Lp;
}

std::int32_t WarpRayLength(TPoint U, TPoint L) {
    const long double ex = static_cast<long double>(std::int64_t(U.x) - L.x);
    const long double ey = static_cast<long double>(std::int64_t(U.y) - L.y);
    const long double rounded = std::nearbyintl(std::sqrt(ex * ex + ey * ey));
    return rounded > std::numeric_limits<std::int32_t>::max()
               ? std::numeric_limits<std::int32_t>::max()
               : static_cast<std::int32_t>(rounded);
}

// Divided in extended precision, then held as a double: the row choice depends on it.
double WarpRowScale(std::int64_t textHeight, std::int32_t length) {
    return double(static_cast<long double>(textHeight - 1) / length);
}

std::int64_t WarpBlendBudget(std::int64_t width, std::int64_t height) {
    const std::int64_t sides = std::max<std::int64_t>(width, 0) + std::max<std::int64_t>(height, 0);
    return 4 * sides * sides + (std::int64_t(1) << 16);
}

std::int64_t WarpPixelBound(const TLine& upper, const TLine& lower, std::int64_t W,
                            std::int64_t H) {
    const std::int64_t upperCount = upper.OutlineCount();
    const std::int64_t lowerCount = lower.OutlineCount();
    const std::int64_t N = std::max(upperCount, lowerCount);
    if (N <= 1) return 0;
    std::int64_t total = 0;
    for (std::int64_t k = 0; k < N; ++k) {
        const StepGeometry step = WarpStepAt(upper, lower, upperCount, lowerCount, N, k);
        const std::int64_t left = std::max<std::int64_t>(0, step.left);
        const std::int64_t right = std::min<std::int64_t>(W - 1, step.right);
        const std::int64_t top = std::max<std::int64_t>(0, step.top);
        const std::int64_t bottom = std::min<std::int64_t>(H - 1, step.bottom);
        if (right < left || bottom < top) continue;
        // A ray has one pixel per step along its longer axis, and within the box no more steps
        // than the box is wide or high.
        total += 5 * (std::max(right - left, bottom - top) + 1);
    }
    return total;
}

void WarpText(const TLine& upper, const TLine& lower, const DibImage& TextImage,
              const DibImage& TextMask, DibImage& Picture, std::uint8_t* coverage) {
    if (!EnvelopeWarp(TextImage, TextMask, Picture).Usable()) return;
    const std::int64_t upperCount = upper.OutlineCount();
    const std::int64_t lowerCount = lower.OutlineCount();
    const std::int64_t N = std::max(upperCount, lowerCount);
    // With a single step the column (Wt - 1) x k div (N - 1) has no divisor: nothing is drawn.
    if (N <= 1) return;
    const std::int64_t lastColumn = DibWidth(TextImage) - 1;
    const std::int64_t W = DibWidth(Picture), H = DibHeight(Picture);

    // Rays of neighbouring steps blend over each other's pixels, so each band of picture rows
    // walks every step and blends only its own rows: every pixel sees the blends in the order
    // of the whole warp.
    const std::vector<WarpColumnRows> columnRows = WarpBlendingRows(TextMask);
    ParallelRows(H, W * H, [&](std::int64_t rowTop, std::int64_t rowBottom) {
        EnvelopeWarp warp(TextImage, TextMask, Picture);
        warp.SetRows(rowTop, rowBottom);
        warp.SetCoverage(coverage);
        warp.SetColumnRows(columnRows.data());
        for (std::int64_t k = 0; k < N; ++k) {
            const StepGeometry step = WarpStepAt(upper, lower, upperCount, lowerCount, N, k);
            const TPoint U = step.U, L = step.L, Up = step.Up, Lp = step.Lp;
            const auto c = std::int32_t(lastColumn * k / (N - 1));

            // All five rays lie in the box of their end points; a step whose box misses the
            // band blends nothing (lines far outside the picture have millions of such steps).
            if (step.right < 0 || step.left >= W || step.bottom < rowTop || step.top >= rowBottom)
                continue;

            // Rays 1 to 4 fill the gaps a single ray per step would leave between neighbouring
            // columns; every ray measures its distances from U.
            warp.WarpStep(U, L, Up, Lp, c, WarpRayLength(U, L));
        }
    });
}

void WarpTextPlain(const TLine& upper, const TLine& lower, const DibImage& TextImage,
                   const DibImage& TextMask, DibImage& Picture, std::uint8_t* coverage) {
    if (!EnvelopeWarp(TextImage, TextMask, Picture).Usable()) return;
    const std::int64_t Wt = DibWidth(TextImage), Ht = DibHeight(TextImage);
    const std::int64_t St = TextImage.Stride;
    const std::int64_t Wp = DibWidth(Picture), Hp = DibHeight(Picture), Sp = Picture.Stride;
    const std::int64_t upperCount = upper.OutlineCount();
    const std::int64_t lowerCount = lower.OutlineCount();
    const std::int64_t N = std::max(upperCount, lowerCount);
    if (N <= 1) return;

    for (std::int64_t k = 0; k < N; ++k) {
        const std::int64_t iu = upperCount * k / N;
        const std::int64_t il = lowerCount * k / N;
        const TPoint U = upper.GetOutlinePoint(std::int32_t(iu));
        const TPoint L = lower.GetOutlinePoint(std::int32_t(il));
        const TPoint Up = iu > 0 ? upper.GetOutlinePoint(std::int32_t(iu - 1)) : U;
        const TPoint Lp = il > 0 ? lower.GetOutlinePoint(std::int32_t(il - 1)) : L;
        const std::int64_t column = (Wt - 1) * k / (N - 1);
        const long double ex = static_cast<long double>(std::int64_t(U.x) - L.x);
        const long double ey = static_cast<long double>(std::int64_t(U.y) - L.y);
        const long double rounded = std::nearbyintl(std::sqrt(ex * ex + ey * ey));
        const std::int32_t length = rounded > std::numeric_limits<std::int32_t>::max()
                                        ? std::numeric_limits<std::int32_t>::max()
                                        : static_cast<std::int32_t>(rounded);
        const double scale = length != 0 ? double(static_cast<long double>(Ht - 1) / length) : 0.0;

        const auto blend = [&](std::int32_t x, std::int32_t y) {
            if (x < 0 || x > Wp - 1 || y < 0 || y > Hp - 1) return;
            const std::int64_t dx = std::int64_t(U.x) - x, dy = std::int64_t(U.y) - y;
            const std::uint64_t d = std::uint64_t(dx * dx) + std::uint64_t(dy * dy);
            if (d > std::numeric_limits<std::uint32_t>::max()) return;
            const std::uint32_t e = d == 0 ? 0 : WarpSqrtByNewton(std::uint32_t(d));
            const std::int64_t s =
                length != 0
                    ? (Ht - 1) -
                          static_cast<std::int64_t>(std::trunc(static_cast<long double>(e) * scale))
                    : (Ht - 1) / 2;
            const std::int64_t o = s * St + column * 3;
            if (o < 0 || o >= Ht * St) return;
            const std::uint8_t m = TextMask.Bits[std::size_t(o)];
            const double a = double(static_cast<long double>(255 - m) / 255);
            const double b = double(1.0L - a);
            std::uint8_t* q = Picture.Bits.get() + (Hp - 1 - y) * Sp + std::int64_t(x) * 3;
            const std::uint8_t* t = TextImage.Bits.get() + o;
            for (int i = 0; i < 3; ++i)
                q[i] = static_cast<std::uint8_t>(std::nearbyintl(
                    static_cast<long double>(q[i]) * b + static_cast<long double>(t[i]) * a));
            if (!coverage) return;
            std::uint8_t& c = coverage[y * Wp + x];
            c = static_cast<std::uint8_t>(
                std::nearbyintl(static_cast<long double>(c) * b + 255.0L * a));
        };
        ForEachStepRay(U, L, Up, Lp,
                       [&](std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
                           ForEachSegmentPixel(x1, y1, x2, y2, blend);
                       });
    }
}

}  // namespace gw
