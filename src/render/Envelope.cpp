#include "render/Envelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

// Step k of N: the outline points of both lines it joins, the points before them, and the box
// that holds all five of its rays. The warp and the bound on its work take the steps alike.
struct WarpStep {
    TPoint U, L, Up, Lp;
    std::int64_t left, right, top, bottom;
};

WarpStep WarpStepAt(const TLine& upper, const TLine& lower, std::int64_t upperCount,
                    std::int64_t lowerCount, std::int64_t N, std::int64_t k) {
    WarpStep s;
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
    if (length != 0 && length != rowsLength_) {
        scale_ = WarpRowScale(textHeight_, length);
        rowsLength_ = length;
        rowOffsets_.clear();
    }
    // The walk keeps everything it reads in locals: its stores go through byte pointers, which
    // may alias any member, so members would be read again after every pixel.
    const std::int64_t ux = U_.x, uy = U_.y;
    const std::uint8_t* const text = text_ + std::int64_t(column) * 3;
    const std::uint8_t* const mask = mask_ + std::int64_t(column) * 3;
    std::uint8_t* const picture = picture_;
    std::uint8_t* const coverage = coverage_;
    const std::int64_t pictureWidth = pictureWidth_, lastRow = pictureHeight_ - 1;
    const std::int64_t pictureStride = pictureStride_;
    // Without a length every pixel takes the middle row.
    const std::int64_t middle = (textHeight_ - 1) / 2 * textStride_;
    const std::int64_t* rows = rowOffsets_.data();
    std::size_t rowCount = length != 0 ? rowOffsets_.size() : 0;
    std::uint64_t root = 0;
    bool rootValid = false;
    // Pixels more than 65535 pixels from U have no root in the 32-bit rule; they are left alone
    // rather than given the row of a wrapped distance.
    std::uint64_t lowest = 0, highest = std::numeric_limits<std::uint32_t>::max();
    if (columnRows_) {
        if (column != distancesColumn_ || length != distancesLength_) FindDistances(column, length);
        if (distanceLow_ > distanceHigh_) return;
        lowest = distanceLow_;
        highest = distanceHigh_;
    }

    // Pixels outside the picture are skipped by the blend, so only the inside part is walked.
    ForEachSegmentPixelInRows(
        x1, y1, x2, y2, pictureWidth, top_, bottom_, [&](std::int32_t x, std::int32_t y) {
            const std::int64_t dx = ux - x;
            const std::int64_t dy = uy - y;
            const std::uint64_t d = std::uint64_t(dx * dx) + std::uint64_t(dy * dy);
            if (d < lowest || d > highest) {
                // The next root is taken afresh: the distance may have moved far meanwhile.
                rootValid = false;
                return;
            }
            // Along a ray the distance changes little from pixel to pixel: the floor of the root is
            // found from the last one's by a step or two, and the rule's exceptions below squares
            // as in WarpSqrt.
            if (!rootValid) {
                root = std::uint64_t(std::sqrt(double(d)));
                rootValid = true;
            }
            while ((root + 1) * (root + 1) <= d)
                ++root;
            while (root * root > d)
                --root;
            const std::uint32_t e = (root + 1) * (root + 1) - 1 == d && d != 0
                                        ? WarpSqrt(std::uint32_t(d))
                                        : std::uint32_t(root);

            std::int64_t o = middle;
            if (length != 0) {
                if (e >= rowCount) {
                    ExtendRows(e);
                    rows = rowOffsets_.data();
                    rowCount = rowOffsets_.size();
                }
                o = rows[e];
                // A distance beyond the bottom row (past the length) has no pixel.
                if (o < 0) return;
            }

            // The blend of the picture byte v with the text byte w at mask byte m, a = (255 - m) /
            // 255 and b = 1 - a as doubles, v b + w a rounded: the exact value (v m + w (255 - m))
            // / 255 has no half in it, and neither double nor rounding moves it by a 510th, so its
            // integer rounding is the blend's. A transparent source (m = 255) leaves the picture as
            // it is and an opaque one (m = 0) replaces it.
            const std::uint32_t m = mask[o];
            if (m == 255) return;
            std::uint8_t* q = picture + (lastRow - y) * pictureStride + std::int64_t(x) * 3;
            const std::uint8_t* t = text + o;
            std::uint8_t* c = coverage ? coverage + y * pictureWidth + x : nullptr;
            if (m == 0) {
                q[0] = t[0];
                q[1] = t[1];
                q[2] = t[2];
                if (c) *c = 255;
                return;
            }
            const std::uint32_t n = 255 - m;
            for (int i = 0; i < 3; ++i)
                q[i] = std::uint8_t((q[i] * m + t[i] * n + 127) / 255);
            if (c) *c = std::uint8_t((*c * m + 255 * n + 127) / 255);
        });
}

// The row falls as the distance e grows, and e = WarpSqrt(d) grows with d (it is the floor of the
// root, or floor(sqrt(d + 1)) where it is one more): the rows within [low, high] are taken by one
// range of e, and that by one range of d.
void EnvelopeWarp::FindDistances(std::int64_t column, std::int32_t length) {
    distancesColumn_ = column;
    distancesLength_ = length;
    const WarpColumnRows rows = columnRows_[column];
    distanceLow_ = 1;
    distanceHigh_ = 0;
    if (rows.low > rows.high) return;
    constexpr std::uint64_t kLargest = std::numeric_limits<std::uint32_t>::max();
    if (length == 0) {
        const std::int64_t middle = (textHeight_ - 1) / 2;
        if (middle >= rows.low && middle <= rows.high) {
            distanceLow_ = 0;
            distanceHigh_ = kLargest;
        }
        return;
    }
    const double scale = WarpRowScale(textHeight_, length);
    const auto row = [&](std::int64_t e) { return (textHeight_ - 1) - WarpRowAt(e, scale); };
    // The first e whose row is at most `high`, and the last whose row is at least `low`, within
    // the roots there are (0 .. 65535; WarpSqrt(2^32 - 1) may be 65536).
    constexpr std::int64_t kLastRoot = 65536;
    std::int64_t lo = 0, hi = kLastRoot + 1;
    while (lo < hi) {
        const std::int64_t mid = (lo + hi) / 2;
        if (row(mid) <= rows.high)
            hi = mid;
        else
            lo = mid + 1;
    }
    const std::int64_t eFirst = lo;
    lo = -1;
    hi = kLastRoot;
    while (lo < hi) {
        const std::int64_t mid = (lo + hi + 1) / 2;
        if (row(mid) >= rows.low)
            lo = mid;
        else
            hi = mid - 1;
    }
    const std::int64_t eLast = lo;
    if (eFirst > eLast) return;
    // The first d with WarpSqrt(d) >= eFirst: e^2 - 1 when the rule rounds it up, else e^2.
    if (eFirst == 0) {
        distanceLow_ = 0;
    } else {
        const std::uint64_t square = std::uint64_t(eFirst) * std::uint64_t(eFirst);
        distanceLow_ = square - 1 <= kLargest && WarpSqrt(std::uint32_t(square - 1)) >= eFirst
                           ? square - 1
                           : square;
    }
    // The last d with WarpSqrt(d) <= eLast: (e + 1)^2 - 1 unless the rule rounds it up.
    const std::uint64_t next = std::uint64_t(eLast + 1) * std::uint64_t(eLast + 1) - 1;
    if (next > kLargest)
        distanceHigh_ = kLargest;
    else
        distanceHigh_ = WarpSqrt(std::uint32_t(next)) <= std::uint64_t(eLast) ? next : next - 1;
}

std::vector<WarpColumnRows> WarpBlendingRows(const DibImage& TextMask) {
    if (!TextMask.Bits || DibBitCount(TextMask) != 24) return {};
    const std::int32_t W = DibWidth(TextMask), H = DibHeight(TextMask);
    std::vector<WarpColumnRows> rows(std::size_t(std::max(W, 0)), WarpColumnRows{H, -1});
    ParallelRows(W, std::int64_t(W) * H, [&](std::int64_t first, std::int64_t end) {
        for (std::int32_t r = 0; r < H; ++r) {
            const std::uint8_t* mask = TextMask.StoredRow(r);
            for (std::int64_t x = first; x < end; ++x)
                if (mask[3 * x] != 255) {
                    WarpColumnRows& c = rows[std::size_t(x)];
                    c.low = std::min(c.low, r);
                    c.high = r;
                }
        }
    });
    return rows;
}

void EnvelopeWarp::ExtendRows(std::uint32_t e) {
    // The row depends only on e and the scale, that is on the length: rows are made once per
    // length and distance. e < 2^16 and the scale at most 2^14: far inside the exact range of the
    // rounding.
    while (rowOffsets_.size() <= e) {
        const auto next = static_cast<std::int64_t>(rowOffsets_.size());
        const std::int64_t s = (textHeight_ - 1) - WarpRowAt(next, scale_);
        rowOffsets_.push_back(s < 0 ? -1 : s * textStride_);
    }
}

void WarpStepEnds(const TLine& upper, const TLine& lower, std::int64_t k, TPoint& U, TPoint& L,
                  TPoint& Up, TPoint& Lp) {
    const std::int64_t upperCount = upper.OutlineCount();
    const std::int64_t lowerCount = lower.OutlineCount();
    const std::int64_t N = std::max<std::int64_t>(std::max(upperCount, lowerCount), 1);
    const WarpStep step = WarpStepAt(upper, lower, upperCount, lowerCount, N, k);
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
        const WarpStep step = WarpStepAt(upper, lower, upperCount, lowerCount, N, k);
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
            const WarpStep step = WarpStepAt(upper, lower, upperCount, lowerCount, N, k);
            const TPoint U = step.U, L = step.L, Up = step.Up, Lp = step.Lp;
            const auto c = std::int32_t(lastColumn * k / (N - 1));

            // All five rays lie in the box of their end points; a step whose box misses the
            // band blends nothing (lines far outside the picture have millions of such steps).
            if (step.right < 0 || step.left >= W || step.bottom < rowTop || step.top >= rowBottom)
                continue;

            const std::int32_t length = WarpRayLength(U, L);

            // Rays 1 to 4 fill the gaps a single ray per step would leave between neighbouring
            // columns; every ray measures its distances from U.
            warp.SetReference(U);
            if (L.x > U.x) {
                warp.WarpRay(U.x + 1, U.y, L.x, L.y, c, length);
                warp.WarpRay(U.x, U.y, L.x - 1, L.y, c, length);
            } else {
                warp.WarpRay(U.x - 1, U.y, L.x, L.y, c, length);
                warp.WarpRay(U.x, U.y, L.x + 1, L.y, c, length);
            }
            warp.WarpRay(Up.x, Up.y, L.x, L.y, c, length);
            warp.WarpRay(U.x, U.y, Lp.x, Lp.y, c, length);
            warp.WarpRay(U.x, U.y, L.x, L.y, c, length);
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
        const auto ray = [&](std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
            ForEachSegmentPixel(x1, y1, x2, y2, blend);
        };
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
}

}  // namespace gw
