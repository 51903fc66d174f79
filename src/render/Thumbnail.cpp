#include "render/Thumbnail.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "document/PictureSize.h"
#include "render/Pipeline.h"

namespace gw {

namespace {

// The size the picture takes inside the thumbnail, its proportions kept.
void FittedSize(std::int32_t W, std::int32_t H, std::int32_t width, std::int32_t height,
                std::int32_t& w, std::int32_t& h) {
    const double s = std::min(double(width) / W, double(height) / H);
    w = std::clamp(std::int32_t(std::lround(W * s)), 1, width);
    h = std::clamp(std::int32_t(std::lround(H * s)), 1, height);
}

}  // namespace

void FitForThumbnail(Lettering& lettering, std::int32_t width, std::int32_t height) {
    const std::int32_t maxW = width * kThumbnailWorkFactor;
    const std::int32_t maxH = height * kThumbnailWorkFactor;
    if (lettering.width <= maxW && lettering.height <= maxH) return;
    std::int32_t w = 0;
    std::int32_t h = 0;
    FittedSize(lettering.width, lettering.height, maxW, maxH, w, h);
    ResizeLettering(lettering, w, h, true);
}

Bitmap RenderThumbnail(const Lettering& lettering, std::int32_t width, std::int32_t height,
                       TColor margin) {
    Bitmap thumbnail(width, height, PixelFormat::Rgb24, margin);
    RenderImages images;
    MakeWhitePicture(lettering, images.Picture);
    if (images.Picture.Empty()) throw std::bad_alloc();
    RenderLettering(lettering, images);
    const DibImage& picture = images.Picture;
    if (picture.Empty() || DibBitCount(picture) != 24) throw std::bad_alloc();
    const std::int32_t W = DibWidth(picture);
    const std::int32_t H = DibHeight(picture);
    std::int32_t w = 0;
    std::int32_t h = 0;
    FittedSize(W, H, width, height, w, h);
    const std::int32_t left = (width - w) / 2;
    const std::int32_t top = (height - h) / 2;
    for (std::int32_t y = 0; y < h; ++y) {
        const std::int32_t y0 = std::int32_t(std::int64_t(y) * H / h);
        const std::int32_t y1 = std::max(y0 + 1, std::int32_t(std::int64_t(y + 1) * H / h));
        std::uint8_t* out = thumbnail.Row(top + y) + 3 * left;
        for (std::int32_t x = 0; x < w; ++x) {
            const std::int32_t x0 = std::int32_t(std::int64_t(x) * W / w);
            const std::int32_t x1 = std::max(x0 + 1, std::int32_t(std::int64_t(x + 1) * W / w));
            std::uint64_t sum[3] = {0, 0, 0};
            for (std::int32_t t = y0; t < y1; ++t) {
                const std::uint8_t* row = picture.Row(t);
                for (std::int32_t s = x0; s < x1; ++s)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += row[3 * s + c];
            }
            const std::uint64_t n = std::uint64_t(y1 - y0) * std::uint64_t(x1 - x0);
            for (int c = 0; c < 3; ++c)
                out[3 * x + c] = std::uint8_t((sum[c] + n / 2) / n);
        }
    }
    return thumbnail;
}

}  // namespace gw
