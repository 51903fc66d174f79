#include "render/Compositor.h"

#include "render/Envelope.h"
#include "render/Frame.h"
#include "render/Surface.h"

namespace gw {

void RenderDib(const Lettering& lettering, const DibImage& TextImage, const DibImage& TextMask,
               DibImage& Picture) {
    const LetteringSettings& s = lettering.settings;
    FillDi0Bkgnd(lettering, Picture);
    if (s.FrameStyle != kNoFrame && !s.RTextcheck) RenderBorder(Picture, s);
    WarpText(lettering.EnvelopeLines[0], lettering.EnvelopeLines[1], TextImage, TextMask, Picture);
    if (s.FrameStyle != kNoFrame && s.RTextcheck) RenderBorder(Picture, s);
}

}  // namespace gw
