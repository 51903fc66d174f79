#include "editing/ViewZoom.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "editing/EditView.h"
#include "platform/Canvas.h"

namespace gw {

namespace {

// The ladder's values are not exact in binary (1/3, 2/3): a hair's breadth keeps them on the
// pixel they mean.
constexpr double kEps = 1e-9;
constexpr double kFar = 1 << 30;

std::int32_t Clamped(double v) {
    return std::int32_t(std::clamp(v, -kFar, kFar));
}

// The picture pixels that make one screen pixel along one axis, with their shares.
struct Span {
    std::int32_t first = 0;
    std::int32_t count = 0;  // 0: the screen pixel lies beyond the picture
    std::size_t weights = 0;
    float total = 0;
};

struct Spans {
    std::vector<Span> spans;
    std::vector<float> weights;
    std::int32_t low = 0;  // the first and last picture pixel any span reads
    std::int32_t high = -1;
};

// Screen pixels from, from + 1, ..., from + n - 1 over a picture `limit` pixels long.
Spans SpansOf(std::int32_t from, std::int32_t n, double scale, std::int32_t limit) {
    Spans s;
    s.spans.resize(std::size_t(n));
    s.low = limit;
    for (std::int32_t i = 0; i < n; ++i) {
        Span& span = s.spans[std::size_t(i)];
        span.weights = s.weights.size();
        const double lo = (from + i) / scale;
        const double hi = (from + i + 1) / scale;
        if (scale >= 1) {
            const std::int32_t p = ToPicture(from + i, scale);
            if (p < 0 || p >= limit) continue;
            span = {p, 1, s.weights.size(), 1};
            s.weights.push_back(1);
        } else {
            const std::int32_t first = std::max(0, Clamped(std::floor(lo + kEps)));
            const std::int32_t last = std::min(limit - 1, Clamped(std::ceil(hi - kEps)) - 1);
            for (std::int32_t k = first; k <= last; ++k) {
                const double share = std::min<double>(k + 1, hi) - std::max<double>(k, lo);
                if (span.count == 0) span.first = k;
                // A share too thin to matter still keeps the run of pixels unbroken.
                s.weights.push_back(float(std::max(share, 0.0)));
                span.total += s.weights.back();
                ++span.count;
            }
            if (span.total <= 0) span.count = 0;
        }
        if (span.count == 0) continue;
        s.low = std::min(s.low, span.first);
        s.high = std::max(s.high, span.first + span.count - 1);
    }
    return s;
}

}  // namespace

double ZoomInStep(double scale) {
    for (double step : kZoomSteps)
        if (step > scale * (1 + kEps)) return step;
    return kMaxZoom;
}

double ZoomOutStep(double scale) {
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
        if (*it < scale * (1 - kEps)) return *it;
    return kMinZoom;
}

double FitZoom(std::int32_t w, std::int32_t h, std::int32_t viewW, std::int32_t viewH) {
    if (w <= 0 || h <= 0 || viewW <= 0 || viewH <= 0) return 1;
    return std::clamp(std::min(double(viewW) / w, double(viewH) / h), kMinZoom, 1.0);
}

std::int32_t ZoomedLength(std::int32_t n, double scale) {
    if (n <= 0) return 0;
    return std::max(1, Clamped(std::ceil(n * scale - kEps)));
}

std::int32_t ToScreen(std::int32_t v, double scale) {
    return Clamped(std::floor((v + 0.5) * scale + kEps));
}

std::int32_t ToPicture(std::int32_t v, double scale) {
    return Clamped(std::floor(v / scale + kEps));
}

std::int32_t PictureRadius(std::int32_t screenRadius, double scale) {
    return Clamped(std::floor(screenRadius / scale + kEps));
}

void ZoomPicturePart(const DibImage& picture, double scale, std::int32_t x, std::int32_t y,
                     Bitmap& part) {
    if (scale == 1) {
        CopyPicturePart(picture, x, y, part);
        return;
    }
    if (picture.Empty() || part.Empty() || part.Format() != PixelFormat::Rgb24) return;
    const Spans across = SpansOf(x, part.Width(), scale, DibWidth(picture));
    const Spans down = SpansOf(y, part.Height(), scale, DibHeight(picture));
    if (across.low > across.high || down.low > down.high) return;
    const std::int32_t bandWidth = across.high - across.low + 1;
    // Pictures of fewer colours come to 24 bits through DrawDib, a screen row's worth at a time.
    const bool direct = DibBitCount(picture) == 24 && ScreenColorDepth() >= 24;
    Bitmap band;
    std::vector<float> sum(std::size_t(part.Width()) * 3);
    for (std::int32_t row = 0; row < part.Height(); ++row) {
        const Span& v = down.spans[std::size_t(row)];
        if (v.count == 0) continue;
        if (!direct) {
            band.SetSize(bandWidth, v.count);
            CopyPicturePart(picture, across.low, v.first, band);
        }
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (std::int32_t k = 0; k < v.count; ++k) {
            const float wy = down.weights[v.weights + std::size_t(k)];
            const std::uint8_t* src =
                direct ? picture.Row(v.first + k) + std::size_t(across.low) * 3 : band.Row(k);
            for (std::size_t i = 0; i < across.spans.size(); ++i) {
                const Span& h = across.spans[i];
                if (h.count == 0) continue;
                const std::uint8_t* p = src + std::size_t(h.first - across.low) * 3;
                const float* w = &across.weights[h.weights];
                float b = 0, g = 0, r = 0;
                for (std::int32_t j = 0; j < h.count; ++j, p += 3) {
                    b += w[j] * p[0];
                    g += w[j] * p[1];
                    r += w[j] * p[2];
                }
                sum[3 * i] += wy * b;
                sum[3 * i + 1] += wy * g;
                sum[3 * i + 2] += wy * r;
            }
        }
        std::uint8_t* out = part.Row(row);
        for (std::size_t i = 0; i < across.spans.size(); ++i) {
            const Span& h = across.spans[i];
            if (h.count == 0) continue;
            const float total = h.total * v.total;
            for (std::size_t c = 0; c < 3; ++c)
                out[3 * i + c] =
                    std::uint8_t(std::clamp(sum[3 * i + c] / total + 0.5f, 0.0f, 255.0f));
        }
    }
}

}  // namespace gw
