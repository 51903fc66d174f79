#include "render/Pipeline.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

#include "platform/AllocationLimit.h"
#include "platform/Catalogue.h"
#include "platform/ExactMath.h"
#include "platform/ParallelRows.h"
#include "raster/DibService.h"
#include "render/Compositor.h"
#include "render/Filter.h"
#include "render/LargeBuffers.h"
#include "render/TextRaster.h"

namespace gw {

void MakeWhitePicture(const Lettering& lettering, DibImage& picture, std::int32_t scale) {
    // Every byte is set below, the padding with the rest.
    newdib(picture, lettering.width * scale, lettering.height * scale, 24, nullptr, 0,
           DibPixels::Uncleared);
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
        RenderDib(scaled, images.TextImage, images.TextMask, images.Picture, options);
    } else {
        RenderText(lettering, images.TextImage, images.TextMask, trace, 1, options);
        RenderDib(lettering, images.TextImage, images.TextMask, images.Picture, options);
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

// Each k x k block of the large picture averaged into one pixel of the small one, for the small
// rows [first, end) of `w` pixels of `Channels` bytes: largeRow(i) and smallRow(i) give the rows.
// The k rows of a block row are summed column by column first, which runs along whole rows, then
// the k sums of each block. With k known here (the smoothing's 4) the sums unroll and the division
// is a shift; the sums and their rounding are the same either way.
template <int Channels, class Factor, class LargeRow, class SmallRow>
void AverageBlockRows(std::int32_t w, Factor k, std::int64_t first, std::int64_t end,
                      LargeRow largeRow, SmallRow smallRow) {
    static_assert(Channels == 1 || Channels == 3);
    // k up to 257 rows of bytes sum within 16 bits; the print scales stay far below.
    const std::size_t n = std::size_t(w) * Channels * std::size_t(k);
    std::vector<std::uint16_t> columns(n);
    std::uint16_t* sums = columns.data();
    const std::uint32_t count = std::uint32_t(k) * std::uint32_t(k);
    for (std::int64_t y = first; y < end; ++y) {
        const std::uint8_t* row = largeRow(y * k);
        for (std::size_t i = 0; i < n; ++i)
            sums[i] = row[i];
        for (std::int32_t r = 1; r < k; ++r) {
            row = largeRow(y * k + r);
            for (std::size_t i = 0; i < n; ++i)
                sums[i] = std::uint16_t(sums[i] + row[i]);
        }
        std::uint8_t* out = smallRow(y);
        for (std::int32_t x = 0; x < w; ++x)
            for (int ch = 0; ch < Channels; ++ch) {
                const std::uint16_t* block = sums + std::size_t(x) * std::size_t(k) * Channels + ch;
                std::uint32_t sum = 0;
                for (std::int32_t c = 0; c < k; ++c)
                    sum += block[std::size_t(c) * Channels];
                out[std::size_t(x) * Channels + ch] = std::uint8_t((sum + count / 2) / count);
            }
    }
}

// AverageBlockRows over all rows, the bands side by side, with k fixed when it is the smoothing's.
template <int Channels, class LargeRow, class SmallRow>
void AverageAllBlocks(std::int32_t w, std::int32_t h, std::int32_t k, LargeRow largeRow,
                      SmallRow smallRow) {
    ParallelRows(h, std::int64_t(w) * h * k * k, [&](std::int64_t first, std::int64_t end) {
        if (k == kSmoothFactor)
            AverageBlockRows<Channels>(w, std::integral_constant<std::int32_t, kSmoothFactor>{},
                                       first, end, largeRow, smallRow);
        else
            AverageBlockRows<Channels>(w, k, first, end, largeRow, smallRow);
    });
}

// Each k x k block of `large` averaged into one pixel of `small`. The averages are taken of the
// stored values, not in linear light: the 1x picture blends its shadow, its text edges and its
// 3 x 3 smoothing in stored values too, so this keeps the design's colours and densities.
void AverageBlocks(const DibImage& large, DibImage& small, std::int32_t k) {
    AverageAllBlocks<3>(
        DibWidth(small), DibHeight(small), k,
        [&](std::int64_t y) -> const std::uint8_t* { return large.Row(std::int32_t(y)); },
        [&](std::int64_t y) { return small.Row(std::int32_t(y)); });
}

// AverageBlocks for a plane of one byte a pixel, `largeWidth` bytes a row.
void AveragePlaneBlocks(const std::uint8_t* large, std::int32_t largeWidth, std::uint8_t* small,
                        std::int32_t w, std::int32_t h, std::int32_t k) {
    AverageAllBlocks<1>(
        w, h, k, [&](std::int64_t y) { return large + std::size_t(y) * std::size_t(largeWidth); },
        [&](std::int64_t y) { return small + std::size_t(y) * std::size_t(w); });
}

// Premultiplied colour to the colour a viewer multiplies by the opacity again.
void Unpremultiply(DibImage& picture, const std::vector<std::uint8_t>& alpha) {
    const std::int32_t W = DibWidth(picture), H = DibHeight(picture);
    ParallelRows(H, std::int64_t(W) * H, [&](std::int64_t first, std::int64_t end) {
        for (std::int64_t y = first; y < end; ++y) {
            std::uint8_t* px = picture.Row(std::int32_t(y));
            const std::uint8_t* a = alpha.data() + std::size_t(y) * std::size_t(W);
            for (std::int32_t x = 0; x < W; ++x, px += 3) {
                const int opacity = a[x];
                if (opacity == 255) continue;
                for (int ch = 0; ch < 3; ++ch)
                    px[ch] =
                        opacity == 0
                            ? 0
                            : std::uint8_t(std::min(255, (px[ch] * 255 + opacity / 2) / opacity));
            }
        }
    });
}

// A vector of n bytes, or false when there is no memory for it.
bool TryResize(std::vector<std::uint8_t>& v, std::size_t n) {
    if (!MayAllocate(n)) return false;
    try {
        v.resize(n);
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
        return false;
    }
    return true;
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
                    ? std::string(catalogue::Tr("Für Kanten glätten ist das Bild zu groß; "
                                                "höchstens 4096 Pixel je Seite."))
                    : catalogue::Fill(
                          catalogue::Tr("Das Bild wäre mit Skalierung %1 zu groß (höchstens 16384 "
                                        "Pixel je Seite und 256 Millionen Pixel); möglich ist "
                                        "höchstens Skalierung %2."),
                          {std::to_string(k), std::to_string(largest)});
        return false;
    }
    const std::int32_t factor = options.smooth ? kSmoothFactor : 1;
    const std::int32_t inner = k * factor;
    const Lettering scaled = ScaledLettering(lettering, inner);

    // Drawn for coverage, the picture holds premultiplied colour and `coverage` the opacity.
    RenderOptions stages = render;
    stages.coverage = options.transparent;
    RenderImages images;
    // The picture without letters takes the plain way to its text images, which alone knows it.
    (stages.withoutLetters ? RenderTextReference : RenderText)(
        scaled, images.TextImage, images.TextMask, nullptr, inner, stages);
    if (!images.TextImage.Bits || !images.TextMask.Bits) {
        error = kOutOfMemoryMessage;
        return false;
    }
    const std::int32_t W = lettering.width * k, H = lettering.height * k;
    const std::size_t innerPixels =
        std::size_t(W) * std::size_t(factor) * std::size_t(H) * std::size_t(factor);
    const auto fail = [&] {
        deldib(picture);
        alpha.clear();
        error = kOutOfMemoryMessage;
        return false;
    };
    // The picture at the inner size: drawn, smoothed, averaged down. The text images go as soon
    // as the picture has taken them, before the smoothing filter makes its copy.
    DibImage large;
    // The render lays its background over every byte first, padding included.
    newdib(large, W * factor, H * factor, 24, nullptr, 0, DibPixels::Uncleared);
    if (!large.Bits) return fail();
    std::vector<std::uint8_t> coverage;
    if (options.transparent && !TryResize(coverage, innerPixels)) return fail();
    RenderDib(scaled, images.TextImage, images.TextMask, large, stages,
              options.transparent ? coverage.data() : nullptr);
    images = RenderImages{};
    if (!Smooth(large, render)) return fail();
    if (options.transparent &&
        !FilterCoverage(coverage.data(), W * factor, H * factor, Weichzeichnen))
        return fail();
    if (factor == 1) {
        picture = std::move(large);
        alpha = std::move(coverage);
    } else {
        newdib(picture, W, H, 24, nullptr, 0);
        if (!picture.Bits) return fail();
        AverageBlocks(large, picture, factor);
        if (options.transparent) {
            std::vector<std::uint8_t> small;
            if (!TryResize(small, std::size_t(W) * std::size_t(H))) return fail();
            AveragePlaneBlocks(coverage.data(), W * factor, small.data(), W, H, factor);
            alpha = std::move(small);
        }
    }
    if (options.transparent) Unpremultiply(picture, alpha);
    return true;
}

}  // namespace gw
