#include "render/Compositor.h"

#include <algorithm>
#include <cstring>

#include "render/Envelope.h"
#include "render/Frame.h"
#include "render/Surface.h"

namespace gw {

namespace {

void WarpBounded(const TLine& upper, const TLine& lower, const DibImage& TextImage,
                 const DibImage& TextMask, DibImage& Picture, decltype(&WarpText) warp,
                 std::uint8_t* coverage) {
    WithWarpLines(upper, lower, DibWidth(Picture), DibHeight(Picture),
                  [&](const TLine& u, const TLine& l) {
                      warp(u, l, TextImage, TextMask, Picture, coverage);
                  });
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
    const auto border = options.plainStages ? RenderBorderPlain : RenderBorder;
    if (s.FrameStyle != kNoFrame && !s.RTextcheck) border(Picture, s, coverage);
    WarpBounded(lettering.EnvelopeLines[0], lettering.EnvelopeLines[1], TextImage, TextMask,
                Picture, options.plainStages ? WarpTextPlain : WarpText, coverage);
    if (s.FrameStyle != kNoFrame && s.RTextcheck) border(Picture, s, coverage);
}

}  // namespace gw
