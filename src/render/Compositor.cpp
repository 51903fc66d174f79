#include "render/Compositor.h"

#include <cstring>

#include "render/Envelope.h"
#include "render/Frame.h"
#include "render/Surface.h"

namespace gw {

void RenderDib(const Lettering& lettering, const DibImage& TextImage, const DibImage& TextMask,
               DibImage& Picture, std::int32_t flatBackground, const RenderOptions& options) {
    const LetteringSettings& s = lettering.settings;
    if (flatBackground >= 0 && Picture.Bits)
        std::memset(Picture.Bits.get(), flatBackground, DibImageSize(Picture));
    else
        FillDi0Bkgnd(lettering, Picture, options);
    if (s.FrameStyle != kNoFrame && !s.RTextcheck) RenderBorder(Picture, s);
    const auto warp = options.plainStages ? WarpTextPlain : WarpText;
    warp(lettering.EnvelopeLines[0], lettering.EnvelopeLines[1], TextImage, TextMask, Picture);
    if (s.FrameStyle != kNoFrame && s.RTextcheck) RenderBorder(Picture, s);
}

}  // namespace gw
