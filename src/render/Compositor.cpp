#include "render/Compositor.h"

#include <algorithm>
#include <cstring>

#include "render/Envelope.h"
#include "render/Frame.h"
#include "render/Surface.h"

namespace gw {

namespace {

// The warp's work follows the picture. A line stored longer than the picture's outline bound (a
// document, or a picture made smaller with its lines kept) is warped resampled, as a writer
// would have stored it; lines whose rays still cross the picture too often (a dense zigzag from
// edge to edge) are thinned as far as the blends demand. Lines within both are warped as they
// are.
void WarpBounded(const TLine& upper, const TLine& lower, const DibImage& TextImage,
                 const DibImage& TextMask, DibImage& Picture, decltype(&WarpText) warp,
                 std::uint8_t* coverage) {
    const std::int64_t W = DibWidth(Picture), H = DibHeight(Picture);
    const std::size_t bound = OutlineBound(std::int32_t(W), std::int32_t(H));
    const std::int64_t steps = std::max(upper.OutlineCount(), lower.OutlineCount());
    if (steps <= std::int64_t(bound)) {
        const std::int64_t blends = WarpPixelBound(upper, lower, W, H);
        const std::int64_t budget = WarpBlendBudget(W, H);
        if (blends <= budget) return warp(upper, lower, TextImage, TextMask, Picture, coverage);
        const auto thinned = std::size_t(std::max<std::int64_t>(2, steps * budget / blends));
        return warp(upper.Bounded(thinned), lower.Bounded(thinned), TextImage, TextMask, Picture,
                    coverage);
    }
    const TLine boundedUpper = upper.Bounded(bound), boundedLower = lower.Bounded(bound);
    WarpBounded(boundedUpper, boundedLower, TextImage, TextMask, Picture, warp, coverage);
}

}  // namespace

void RenderDib(const Lettering& lettering, const DibImage& TextImage, const DibImage& TextMask,
               DibImage& Picture, const RenderOptions& options, std::uint8_t* coverage) {
    const LetteringSettings& s = lettering.settings;
    if (coverage && Picture.Bits) {
        std::memset(Picture.Bits.get(), 0, DibImageSize(Picture));
        std::memset(coverage, 0, std::size_t(DibWidth(Picture)) * std::size_t(DibHeight(Picture)));
    } else {
        FillDi0Bkgnd(lettering, Picture, options);
    }
    if (s.FrameStyle != kNoFrame && !s.RTextcheck) RenderBorder(Picture, s, coverage);
    WarpBounded(lettering.EnvelopeLines[0], lettering.EnvelopeLines[1], TextImage, TextMask,
                Picture, options.plainStages ? WarpTextPlain : WarpText, coverage);
    if (s.FrameStyle != kNoFrame && s.RTextcheck) RenderBorder(Picture, s, coverage);
}

}  // namespace gw
