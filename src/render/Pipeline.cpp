#include "render/Pipeline.h"

#include <cstring>

#include "raster/DibService.h"
#include "render/Compositor.h"
#include "render/Filter.h"
#include "render/LargeBuffers.h"
#include "render/TextRaster.h"

namespace gw {

void MakeWhitePicture(const Lettering& lettering, DibImage& picture) {
    newdib(picture, lettering.width, lettering.height, 24, nullptr, 0);
    AdviseHugePages(picture.Bits.get(), DibImageSize(picture));
    if (picture.Bits) std::memset(picture.Bits.get(), 0xFF, DibImageSize(picture));
}

void RenderLettering(const Lettering& lettering, RenderImages& images, RenderTrace* trace) {
    deldib(images.TextImage);
    deldib(images.TextMask);
    RenderText(lettering, images.TextImage, images.TextMask, trace);
    RenderDib(lettering, images.TextImage, images.TextMask, images.Picture);
    if (trace) trace->unfiltered = MakeDIBCopy(images.Picture);
    DibFilter(images.Picture, Weichzeichnen);
}

}  // namespace gw
