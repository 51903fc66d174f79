// Feeds arbitrary bytes to the image-file decoder, once from memory and once read as a file is, a
// few bytes at a time; both must agree. What decodes is encoded again, so the writers meet every
// depth and size the readers can produce.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "raster/DibService.h"
#include "raster/ImageFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gw::DibImage dib;
    const bool decoded = gw::DecodeImage(data, size, dib);
    std::size_t at = 0;
    const std::size_t piece = size > 0 ? 1 + data[size - 1] % 61 : 1;
    const gw::ByteReader read = [&](std::uint8_t* to, std::size_t n) {
        n = std::min({n, size - at, piece});
        if (n > 0) std::memcpy(to, data + at, n);
        at += n;
        return n;
    };
    gw::DibImage streamed;
    if (gw::DecodeImageFrom(read, size, streamed) != decoded) __builtin_trap();
    if (decoded && (gw::DibImageSize(streamed) != gw::DibImageSize(dib) ||
                    std::memcmp(streamed.Bits.get(), dib.Bits.get(), gw::DibImageSize(dib)) != 0))
        __builtin_trap();
    if (!decoded) {
        if (!dib.Empty()) __builtin_trap();
        return 0;
    }
    const std::int32_t width = gw::DibWidth(dib);
    const std::int32_t height = gw::DibHeight(dib);
    if (width < 1 || height < 1 || gw::DibImageSize(dib) != dib.Info->bmiHeader.biSizeImage) {
        __builtin_trap();
    }
    // Touch the corners: a short buffer shows up under the address sanitizer.
    std::uint32_t sum = gw::getpixel(dib, 0, 0) + gw::getpixel(dib, width - 1, height - 1);
    sum += dib.Bits[gw::DibImageSize(dib) - 1];
    if (std::int64_t(width) * height <= 256 * 256) {
        std::vector<std::uint8_t> bytes;
        for (gw::ImageFileType type : {gw::ImageFileType::Png, gw::ImageFileType::Bmp,
                                       gw::ImageFileType::Gif, gw::ImageFileType::Jpeg}) {
            if (!gw::EncodeImage(dib, type, 75, bytes)) continue;
            gw::DibImage back;
            if (!gw::DecodeImage(bytes.data(), bytes.size(), back)) __builtin_trap();
        }
        gw::DibImage halftoned;
        // A taller halftone than the service makes would fail for its size, not for the input.
        gw::DIBHalftoneDIBXY(halftoned, dib, width / 2 + 1, std::min(height + 3, gw::kMaxDibSide));
        if (halftoned.Empty()) __builtin_trap();
    }
    static volatile std::uint32_t sink;
    sink = sum;
    return 0;
}
