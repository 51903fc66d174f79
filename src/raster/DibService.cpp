#include "raster/DibService.h"

#include <cstring>

namespace gw {

void newdib(DibImage& dib, std::int32_t width, std::int32_t height, std::int32_t bitCount,
            const BitmapInfo* colorSource, std::int32_t colors) {
    deldib(dib);
    if (width < 1 || height < 1 || width > kMaxDibSide || height > kMaxDibSide) return;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return;
    const std::int64_t stride = DibStride(width, bitCount);
    const std::int64_t size = stride * height;
    if (size > kMaxDibBytes) return;

    auto info = std::make_unique<BitmapInfo>();
    BitmapInfoHeader& h = info->bmiHeader;
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = static_cast<std::uint16_t>(bitCount);
    h.biSizeImage = static_cast<std::uint32_t>(size);
    const std::int32_t tableSize = PaletteSize(bitCount);
    if (colors > tableSize) colors = tableSize;
    if (colorSource && colors > 0) {
        std::memcpy(info->bmiColors, colorSource->bmiColors, std::size_t(colors) * sizeof(RgbQuad));
    }
    h.biClrUsed = colors > 0 ? std::uint32_t(colors) : 0;

    // calloc: large blocks come zeroed from the system without being touched here.
    DibBits bits(static_cast<std::uint8_t*>(std::calloc(std::size_t(size), 1)));
    if (!bits) return;
    dib.Info = std::move(info);
    dib.Bits = std::move(bits);
    dib.Stride = static_cast<std::int32_t>(stride);
    dib.HasPalette = false;
    dib.Palette = 0;
}

void deldib(DibImage& dib) {
    dib.Bits.reset();
    dib.Info.reset();
    dib.Stride = 0;
    dib.HasPalette = false;
    dib.Palette = 0;
}

}  // namespace gw

// Placeholder bodies until the image files and halftoning are written; replaced as a whole.
namespace gw {
void OpenDib(DibImage& dib, const std::string&) {
    deldib(dib);
}
std::string GetDIBOpenFilter() {
    return {};
}
void DIBHalftoneDIB(DibImage& out, const DibImage&) {
    deldib(out);
}
void DIBHalftoneDIBXY(DibImage& out, const DibImage&, std::int32_t, std::int32_t) {
    deldib(out);
}
std::uint32_t getpixel(const DibImage&, std::int32_t, std::int32_t) {
    return 0;
}
void setpixel(DibImage&, std::int32_t, std::int32_t, std::uint32_t) {}
bool ImageFileTypeFromName(const std::string&, ImageFileType&) {
    return false;
}
bool SaveDib(const DibImage&, const std::string&, ImageFileType, std::string*, int) {
    return false;
}
}  // namespace gw
