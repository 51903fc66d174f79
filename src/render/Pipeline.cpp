#include "render/Pipeline.h"

#include <algorithm>
#include <cstring>

#include "platform/AllocationLimit.h"
#include "platform/ExactMath.h"
#include "platform/ParallelRows.h"
#include "raster/DibService.h"
#include "render/Compositor.h"
#include "render/Filter.h"
#include "render/Frame.h"
#include "render/LargeBuffers.h"
#include "render/TextRaster.h"

namespace gw {

void MakeWhitePicture(const Lettering& lettering, DibImage& picture, std::int32_t scale) {
    newdib(picture, lettering.width * scale, lettering.height * scale, 24, nullptr, 0);
    AdviseHugePages(picture.Bits.get(), DibImageSize(picture));
    if (!picture.Bits) return;
    const std::size_t stride = std::size_t(picture.Stride);
    ParallelRows(DibHeight(picture), std::int64_t(DibWidth(picture)) * DibHeight(picture),
                 [&](std::int64_t first, std::int64_t end) {
                     std::memset(picture.Bits.get() + std::size_t(first) * stride, 0xFF,
                                 std::size_t(end - first) * stride);
                 });
}

namespace {

// The last stage of every render, the 3 x 3 smoothing.
// False when the filter had no memory and the picture stays unsmoothed.
bool Smooth(DibImage& picture, const RenderOptions& options) {
    return options.plainStages ? DibFilterPlain(picture, Weichzeichnen)
                               : DibFilter(picture, Weichzeichnen);
}

}  // namespace

void RenderLettering(const Lettering& lettering, RenderImages& images, RenderTrace* trace,
                     std::int32_t scale, const RenderOptions& options) {
    deldib(images.TextImage);
    deldib(images.TextMask);
    if (scale > 1) {
        const Lettering scaled = ScaledLettering(lettering, scale);
        RenderText(scaled, images.TextImage, images.TextMask, trace, scale, options);
        RenderDib(scaled, images.TextImage, images.TextMask, images.Picture, -1, options);
    } else {
        RenderText(lettering, images.TextImage, images.TextMask, trace, 1, options);
        RenderDib(lettering, images.TextImage, images.TextMask, images.Picture, -1, options);
    }
    if (trace) trace->unfiltered = MakeDIBCopy(images.Picture);
    images.unsmoothed = !Smooth(images.Picture, options);
}

namespace {

// Each pixel of the texture becomes a k x k square.
DibImage EnlargedTexture(const DibImage& texture, std::int32_t k) {
    if (texture.Empty() || DibBitCount(texture) != 24) return MakeDIBCopy(texture);
    const std::int32_t w = DibWidth(texture), h = DibHeight(texture);
    DibImage large;
    newdib(large, w * k, h * k, 24, nullptr, 0);
    if (!large.Bits) return MakeDIBCopy(texture);
    for (std::int32_t y = 0; y < h * k; ++y) {
        const std::uint8_t* from = texture.Row(y / k);
        std::uint8_t* to = large.Row(y);
        for (std::int32_t x = 0; x < w * k; ++x)
            std::memcpy(to + 3 * std::size_t(x), from + 3 * std::size_t(x / k), 3);
    }
    return large;
}

// A point of the 1x picture lands in the middle of its k x k square.
TLine ScaledLine(const TLine& line, std::int32_t k, std::size_t bound) {
    TLine scaled;
    for (const TPoint& p : line.Points())
        scaled.AddPoint(Clamp32(std::int64_t(p.x) * k + (k - 1) / 2),
                        Clamp32(std::int64_t(p.y) * k + (k - 1) / 2));
    scaled.BuildOutline(bound);
    return scaled;
}

// Each k x k block of `large` averaged into one pixel of `small`. The averages are taken of the
// stored values, not in linear light: the 1x picture blends its shadow, its text edges and its
// 3 x 3 smoothing in stored values too, so this keeps the design's colours and densities.
void AverageBlocks(const DibImage& large, DibImage& small, std::int32_t k) {
    const std::int32_t w = DibWidth(small), h = DibHeight(small);
    const std::uint32_t count = std::uint32_t(k) * std::uint32_t(k);
    std::vector<std::uint32_t> sums(std::size_t(w) * 3);
    for (std::int32_t y = 0; y < h; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (std::int32_t r = 0; r < k; ++r) {
            const std::uint8_t* row = large.Row(y * k + r);
            for (std::int32_t x = 0; x < w; ++x)
                for (std::int32_t c = 0; c < k; ++c)
                    for (int ch = 0; ch < 3; ++ch)
                        sums[3 * std::size_t(x) + ch] += row[3 * (std::size_t(x) * k + c) + ch];
        }
        std::uint8_t* out = small.Row(y);
        for (std::size_t i = 0; i < sums.size(); ++i)
            out[i] = std::uint8_t((sums[i] + count / 2) / count);
    }
}

}  // namespace

Lettering ScaledLettering(const Lettering& lettering, std::int32_t scale) {
    const std::int32_t k = std::max(scale, 1);
    Lettering scaled;
    scaled.settings = lettering.settings;
    scaled.width = lettering.width * k;
    scaled.height = lettering.height * k;
    for (std::size_t i = 0; i < scaled.EnvelopeLines.size(); ++i)
        scaled.EnvelopeLines[i] =
            ScaledLine(lettering.EnvelopeLines[i], k, OutlineBound(scaled.width, scaled.height));
    LetteringSettings& s = scaled.settings;
    // The 1x render truncates the offsets; their k-fold keeps the shadow where it was.
    s.SRightEd = double(std::int64_t(TruncPixels(s.SRightEd)) * k);
    s.SBottomEd = double(std::int64_t(TruncPixels(s.SBottomEd)) * k);
    s.SWeichEd = s.SWeichEd * k;
    scaled.TextTexture = EnlargedTexture(lettering.TextTexture, k);
    scaled.BackgroundTexture = EnlargedTexture(lettering.BackgroundTexture, k);
    return scaled;
}

std::int32_t LargestPrintScale(const Lettering& lettering, bool smooth) {
    const std::int64_t w = lettering.width, h = lettering.height;
    for (std::int32_t k = kMaxRenderScale; k >= 1; --k) {
        const bool fits =
            w * k <= kMaxPrintSide && h * k <= kMaxPrintSide && w * k * h * k <= kMaxPrintPixels;
        const std::int64_t inner = std::int64_t(k) * (smooth ? kSmoothFactor : 1);
        const bool innerFits = w * inner <= kMaxDibSide && h * inner <= kMaxDibSide &&
                               DibStride(w * inner, 24) * h * inner <= kMaxDibBytes;
        if (fits && innerFits) return k;
    }
    return 0;
}

bool RenderPrint(const Lettering& lettering, const PrintOptions& options, DibImage& picture,
                 std::vector<std::uint8_t>& alpha, std::string& error,
                 const RenderOptions& render) {
    alpha.clear();
    const std::int32_t k = options.scale;
    const std::int32_t largest = LargestPrintScale(lettering, options.smooth);
    if (k < 1 || k > largest) {
        error = largest == 0
                    ? "Für Kanten glätten ist das Bild zu groß; höchstens 4096 Pixel je Seite."
                    : "Das Bild wäre mit Skalierung " + std::to_string(k) +
                          " zu groß (höchstens 16384 Pixel je Seite und 256 Millionen Pixel); "
                          "möglich ist höchstens Skalierung " +
                          std::to_string(largest) + ".";
        return false;
    }
    const std::int32_t factor = options.smooth ? kSmoothFactor : 1;
    const std::int32_t inner = k * factor;
    const Lettering scaled = ScaledLettering(lettering, inner);

    RenderImages images;
    RenderText(scaled, images.TextImage, images.TextMask, nullptr, inner, render);
    if (!images.TextImage.Bits || !images.TextMask.Bits) {
        error = kOutOfMemoryMessage;
        return false;
    }
    const std::int32_t W = lettering.width * k, H = lettering.height * k;
    // One picture at a time at the inner size: drawn, smoothed, averaged down.
    // The text images go as soon as the last picture has taken them, before the smoothing filter
    // makes its copy.
    const auto draw = [&](std::int32_t flatBackground, DibImage& out, bool last) {
        DibImage large;
        newdib(large, W * factor, H * factor, 24, nullptr, 0);
        if (!large.Bits) return false;
        AdviseHugePages(large.Bits.get(), DibImageSize(large));
        RenderDib(scaled, images.TextImage, images.TextMask, large, flatBackground, render);
        if (last) images = RenderImages{};
        if (!Smooth(large, render)) return false;
        if (factor == 1) {
            out = std::move(large);
            return true;
        }
        newdib(out, W, H, 24, nullptr, 0);
        if (!out.Bits) return false;
        AverageBlocks(large, out, factor);
        return true;
    };
    // The background's share of every pixel shows in how much it changes between a black and a
    // white background; over black what remains is the rest's colour times its opacity.
    DibImage overBlack, overWhite;
    const bool drawn =
        (!options.transparent || (draw(0, overBlack, false) && draw(255, overWhite, false))) &&
        draw(-1, picture, true);
    if (!drawn) {
        deldib(picture);
        error = kOutOfMemoryMessage;
        return false;
    }
    if (!options.transparent) return true;
    const LetteringSettings& s = lettering.settings;
    // A frame is opaque where it is drawn: its band, and the pixel the smoothing spreads it by.
    const std::int64_t Wi = std::int64_t(W) * factor, Hi = std::int64_t(H) * factor;
    const std::int64_t band = FrameBandWidth(s, std::int32_t(Wi), std::int32_t(Hi));
    const bool framed = s.FrameStyle != kNoFrame && (band > 0 || s.FrameStyle == kEvenFrame);
    const auto inFrame = [&](std::int64_t x, std::int64_t y) {
        if (!framed) return false;
        const std::int64_t reach = band + 1;
        return x * factor <= reach || Wi - (x + 1) * factor <= reach || y * factor <= reach ||
               Hi - (y + 1) * factor <= reach;
    };
    alpha.assign(std::size_t(W) * std::size_t(H), 255);
    for (std::int32_t y = 0; y < H; ++y) {
        const std::uint8_t* b = overBlack.Row(y);
        const std::uint8_t* wh = overWhite.Row(y);
        std::uint8_t* out = picture.Row(y);
        std::uint8_t* a = alpha.data() + std::size_t(y) * std::size_t(W);
        for (std::int32_t x = 0; x < W; ++x, b += 3, wh += 3, out += 3) {
            if (inFrame(x, y)) continue;
            const int seen = (wh[0] - b[0]) + (wh[1] - b[1]) + (wh[2] - b[2]);
            const int opacity = std::clamp(255 - (seen + 1) / 3, 0, 255);
            a[x] = std::uint8_t(opacity);
            if (opacity == 255) continue;
            for (int ch = 0; ch < 3; ++ch)
                out[ch] = opacity == 0
                              ? 0
                              : std::uint8_t(std::min(255, (b[ch] * 255 + opacity / 2) / opacity));
        }
    }
    return true;
}

}  // namespace gw
