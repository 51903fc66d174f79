// WebP through libwebp, written to memory only: the program never reads WebP.
//
// Without a quality the picture is stored losslessly, colours exactly as drawn, also under fully
// transparent pixels, so the file decodes to the same pixels as the PNG. With one it is stored
// lossy at that quality; the alpha plane then stays lossless.

#include <cstdint>
#include <vector>

#include <webp/encode.h>

#include "raster/ImageFilesCodecs.h"

namespace gw::imagefiles {

namespace {

int CollectBytes(const std::uint8_t* data, std::size_t size, const WebPPicture* picture) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(picture->custom_ptr);
    return AppendBytes(*bytes, data, size) ? 1 : 0;
}

}  // namespace

bool EncodeWebp(const DibImage& dib, const ImageExtras& extras, std::vector<std::uint8_t>& bytes) {
    WebPConfig config;
    if (!WebPConfigInit(&config)) return false;
    const int quality = extras.quality;
    if (quality > 0) {
        if (!WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, float(quality < 100 ? quality : 100)))
            return false;
    } else {
        config.lossless = 1;
        config.exact = 1;
    }
    if (!WebPValidateConfig(&config)) return false;

    const std::int32_t width = DibWidth(dib);
    const std::int32_t height = DibHeight(dib);
    if (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION) return false;
    const std::vector<std::uint8_t>* alpha = extras.alpha;
    const int channels = alpha ? 4 : 3;
    // libwebp takes the rows from the top, packed; the picture's rows are stored from the bottom.
    std::vector<std::uint8_t> packed(std::size_t(width) * std::size_t(height) *
                                     std::size_t(channels));
    for (std::int32_t t = 0; t < height; ++t) {
        const std::uint8_t* src = dib.Row(t);
        std::uint8_t* dst = packed.data() + std::size_t(width) * std::size_t(channels) * t;
        const std::uint8_t* a = alpha ? alpha->data() + std::size_t(width) * t : nullptr;
        for (std::int32_t x = 0; x < width; ++x, src += 3, dst += channels) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            if (a) dst[3] = a[x];
        }
    }

    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return false;
    picture.use_argb = config.lossless;
    picture.width = width;
    picture.height = height;
    const int stride = width * channels;
    const int imported = alpha ? WebPPictureImportBGRA(&picture, packed.data(), stride)
                               : WebPPictureImportBGR(&picture, packed.data(), stride);
    packed = {};
    bool ok = imported != 0;
    if (ok) {
        picture.writer = CollectBytes;
        picture.custom_ptr = &bytes;
        ok = WebPEncode(&config, &picture) != 0;
    }
    WebPPictureFree(&picture);
    return ok;
}

}  // namespace gw::imagefiles
