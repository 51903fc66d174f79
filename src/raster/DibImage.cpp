#include "raster/DibImage.h"

#include <cstring>

#include "platform/AllocationLimit.h"
#include "platform/System.h"
#include "raster/DibService.h"

namespace gw {

std::int32_t DibWidth(const DibImage& dib) {
    return dib.Info ? dib.Info->bmiHeader.biWidth : 0;
}

std::int32_t DibHeight(const DibImage& dib) {
    return dib.Info ? dib.Info->bmiHeader.biHeight : 0;
}

std::uint32_t DibBitCount(const DibImage& dib) {
    return dib.Info ? dib.Info->bmiHeader.biBitCount : 0;
}

std::int32_t DibColorCount(const DibImage& dib) {
    std::int32_t colors = 1;
    for (std::uint32_t i = 0; i < DibBitCount(dib) && i < 30; ++i)
        colors *= 2;
    return colors;
}

std::size_t DibImageSize(const DibImage& dib) {
    const std::int32_t h = DibHeight(dib);
    return (dib.Stride > 0 && h > 0) ? std::size_t(dib.Stride) * std::size_t(h) : 0;
}

int ScreenColorDepth() {
    return DesktopColorDepth();
}

DibImage MakeDIBCopy(const DibImage& source) {
    DibImage result;
    if (!source.Bits) return result;
    const std::int32_t colors = DibColorCount(source) > 256 ? 0 : DibColorCount(source);
    newdib(result, DibWidth(source), DibHeight(source), std::int32_t(DibBitCount(source)),
           source.Info.get(), colors);
    if (result.Bits) {
        std::memcpy(result.Bits.get(), source.Bits.get(), DibImageSize(source));
    } else {
        NoteFailure(kOutOfMemoryMessage, {}, MsgIcon::Error);
    }
    return result;
}

}  // namespace gw
