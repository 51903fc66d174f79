#pragma once
// The envelope warp: every column of the text image laid along a ray from the upper to the lower
// boundary line and blended into the picture with the mask as opacity.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/ExactMath.h"
#include "raster/DibImage.h"
#include "raster/Lines.h"

namespace gw {

// The integer square root of the warp: floor(sqrt(d)) or, for some d (8, 48, 63, 120, 143 ...),
// one more. 0 for 0.
std::uint32_t WarpSqrt(std::uint32_t d);

// The stored rows [low, high] between which a text column's mask is anywhere below 255, that is
// where the column blends at all; low > high for a column that is transparent throughout.
struct WarpColumnRows {
    std::int32_t low, high;
};

// WarpColumnRows of every column of a 24-bit mask (empty for any other).
std::vector<WarpColumnRows> WarpBlendingRows(const DibImage& TextMask);

// The warp over one set of images, ray by ray; WarpText drives it. Open so that single rays and
// their blends can be checked on their own. It draws nothing when an image has no pixel rows or is
// not 24-bit, or when the text image and the mask differ in size or layout.
class EnvelopeWarp {
  public:
    EnvelopeWarp(const DibImage& TextImage, const DibImage& TextMask, DibImage& Picture);

    bool Usable() const { return usable_; }
    // The point U from which the rays of one step measure their distances.
    void SetReference(TPoint U) { U_ = U; }
    // Limits the blending to picture rows [top, bottom) (top first): bands of rows warped side
    // by side each blend their own pixels, in the order of the whole warp.
    void SetRows(std::int64_t top, std::int64_t bottom) {
        top_ = top;
        bottom_ = bottom;
    }
    // A plane of one opacity byte a picture pixel (rows from the top) blended with every pixel,
    // the text being opaque where its mask is: the picture then holds premultiplied colour.
    void SetCoverage(std::uint8_t* coverage) { coverage_ = coverage; }
    // WarpBlendingRows of the mask, one a column: a step whose column blends nothing is passed
    // over, and the rows no pixel of it can blend are not read.
    void SetColumnRows(const WarpColumnRows* rows) { columnRows_ = rows; }
    // Blends every picture pixel of the segment (both ends included, the raster of the outlines)
    // with text column `column`, whose rows are spread over `length` pixels from U.
    void WarpRay(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                 std::int32_t column, std::int32_t length);
    // The five rays of a warp step from U to L, in their order: one from a pixel beside U and one
    // to a pixel beside L (each moved toward the other end's column), the ray from the outline
    // point before U (Up) to L and the one from U to the point before L (Lp), and the ray from U
    // to L itself. Sets the reference to U.
    void WarpStep(TPoint U, TPoint L, TPoint Up, TPoint Lp, std::int32_t column,
                  std::int32_t length);

  private:
    // Makes the source of every root a pixel in the box [left, right] x [top, bottom] can have
    // from U: the mask and text bytes of the row it takes in `column`, or a blend of nothing.
    // False when no pixel of the box can blend.
    bool Prepare(std::int64_t left, std::int64_t right, std::int64_t top, std::int64_t bottom,
                 std::int32_t column, std::int32_t length);
    // Narrows [left, right] x [top, bottom] to a box that holds every pixel of the segment whose
    // squared distance from U lies in the prepared range.
    void RayBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                std::int64_t& left, std::int64_t& right, std::int64_t& top,
                std::int64_t& bottom) const;
    // Blends the pixels of a segment inside the picture and the band from the prepared source.
    template <bool kCoverage>
    void Walk(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void Walk(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    // The roots [first, last] whose row blends in `column` at `length` (first > last: none), kept
    // for the column and length they were found for.
    void FindRoots(std::int32_t column, std::int32_t length);

    const std::uint8_t* text_ = nullptr;
    const std::uint8_t* mask_ = nullptr;
    std::uint8_t* picture_ = nullptr;
    std::uint8_t* coverage_ = nullptr;
    const WarpColumnRows* columnRows_ = nullptr;
    std::int64_t textWidth_ = 0, textHeight_ = 0, textStride_ = 0;
    std::int64_t pictureWidth_ = 0, pictureHeight_ = 0, pictureStride_ = 0;
    bool usable_ = false;
    std::int64_t top_ = 0, bottom_ = 0;
    TPoint U_;
    // The prepared source: one word a root from sourceBase_ on, the mask byte in the low byte and
    // the text's three bytes above it (a mask byte of 255 blends nothing), for the squared
    // distances [distanceLow_, distanceHigh_] whose roots it holds.
    std::vector<std::uint32_t> source_;
    std::uint32_t sourceBase_ = 0;
    std::uint64_t distanceLow_ = 0, distanceHigh_ = 0;
    // The offsets of the stored rows by root for rays of `length` (-1 past the bottom row), made
    // up to root `last` at least.
    const std::int64_t* RowOffsets(std::int32_t length, std::int64_t last);
    struct RowTable {
        std::int32_t length = -1;
        std::uint64_t used = 0;
        std::vector<std::int64_t> offsets;
    };
    RowTable rowTables_[4];
    std::uint64_t rowTablesUsed_ = 0;
    // The blending roots for the column and the length they were found for (both -1: none yet).
    std::int64_t rootsColumn_ = -1;
    std::int32_t rootsLength_ = -1;
    std::int64_t rootFirst_ = 0, rootLast_ = -1;
};

// At most how many picture pixels the warp's rays blend for these lines: per step, five rays
// over the part of their box that lies in the width x height picture.
std::int64_t WarpPixelBound(const TLine& upper, const TLine& lower, std::int64_t width,
                            std::int64_t height);

// The blends a warp may cost for a picture of width x height: 4 x (width + height)^2, and 2^16
// more, so that small pictures are never thinned. Measured by the sum of the sides, not the
// area: the program's own zigzag in a picture of 20 x 9999 lays thousands of rays along its
// whole height. The presets at every size reach at most three quarters of it (that zigzag; the
// spiral with ten turns is under the 2^16); a line that crosses the picture thousands of times
// is thinned down to the budget, so no line makes a render more than a few times as slow as an
// ordinary one.
std::int64_t WarpBlendBudget(std::int64_t width, std::int64_t height);

// The lines the warp walks for a picture of W x H, handed to use(upper, lower). The warp's work
// follows the picture: a line stored longer than the picture's outline bound (a document, or a
// picture made smaller with its lines kept) is resampled to it, as a writer would have stored it;
// lines whose rays still cross the picture too often (a dense zigzag from edge to edge) are
// thinned as far as the blends demand. Lines within both are used as they are.
template <class Use>
void WithWarpLines(const TLine& upper, const TLine& lower, std::int64_t W, std::int64_t H,
                   Use&& use) {
    const std::size_t bound = OutlineBound(std::int32_t(W), std::int32_t(H));
    const std::int64_t steps = std::max(upper.OutlineCount(), lower.OutlineCount());
    if (steps <= std::int64_t(bound)) {
        const std::int64_t blends = WarpPixelBound(upper, lower, W, H);
        const std::int64_t budget = WarpBlendBudget(W, H);
        if (blends <= budget) return use(upper, lower);
        const auto thinned = std::size_t(std::max<std::int64_t>(2, steps * budget / blends));
        return use(upper.Bounded(thinned), lower.Bounded(thinned));
    }
    const TLine boundedUpper = upper.Bounded(bound), boundedLower = lower.Bounded(bound);
    WithWarpLines(boundedUpper, boundedLower, W, H, use);
}

// The end points of step k of the warp: of each line the outline point at its outline count x k
// div N, N being the larger count; and the outline points before them (the same at the start),
// where the rays that fill the gaps begin or end.
void WarpStepEnds(const TLine& upper, const TLine& lower, std::int64_t k, TPoint& U, TPoint& L,
                  TPoint& Up, TPoint& Lp);

// The length a ray from U to L spreads the text rows over: its length rounded, at most the
// largest 32-bit number.
std::int32_t WarpRayLength(TPoint U, TPoint L);

// The text rows a unit of distance from U stands for on a ray of `length` (not 0) through a text
// image `textHeight` rows high; the row at distance e, counted from the top, is
// WarpRowAt(e, scale).
double WarpRowScale(std::int64_t textHeight, std::int32_t length);
inline std::int64_t WarpRowAt(std::int64_t e, double scale) {
    return exact::TruncSmall(static_cast<long double>(e) * scale);
}

// With `coverage` (see EnvelopeWarp::SetCoverage) every blend is made in it as well.
void WarpText(const TLine& upper, const TLine& lower, const DibImage& TextImage,
              const DibImage& TextMask, DibImage& Picture, std::uint8_t* coverage = nullptr);

// WarpText's plain twin (see RenderOptions.h): every step and every ray walked whole, every root
// taken by the warp's own rule, every row and blend computed afresh. A render with the plain
// stages chosen takes it in WarpText's place.
void WarpTextPlain(const TLine& upper, const TLine& lower, const DibImage& TextImage,
                   const DibImage& TextMask, DibImage& Picture, std::uint8_t* coverage = nullptr);

}  // namespace gw
