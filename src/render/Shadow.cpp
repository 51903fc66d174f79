#include "render/Shadow.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/Canvas.h"
#include "platform/ParallelRows.h"
#include "raster/DibService.h"

namespace gw {

std::int32_t ShadowLevel(const LetteringSettings& settings) {
    const long double level = (100 - static_cast<long double>(settings.SDeckEd)) * 255 / 100;
    return static_cast<std::int32_t>(std::trunc(std::clamp<long double>(level, -1e9L, 1e9L)));
}

namespace {

// p = ceil(s / 2) and q = floor(s / 2) for s = SWeichEd: the square of the four corners reaches p
// to the left and down, q to the right and up. False for an absurd softness that no picture
// could show, which leaves the shadow as it is, unslanted as well.
bool SofteningReach(const LetteringSettings& settings, std::int32_t& p, std::int32_t& q) {
    const long double s = settings.SWeichEd;
    const long double half = std::trunc(s / 2);
    if (half > 1e6L || half < -1e6L) return false;
    q = static_cast<std::int32_t>(half);
    p = q;
    if (p + q < s) p = q + 1;
    return true;
}

}  // namespace

void SoftenShadow(Bitmap& bitmap, const LetteringSettings& settings) {
    const std::int32_t W = bitmap.Width();
    const std::int32_t H = bitmap.Height();
    if (W <= 0 || H <= 0) return;

    // Reads go to a copy, so every pixel is averaged from the unsoftened shadow.
    DibImage target;
    newdib(target, W, H, 24, nullptr, 0);
    if (!target.Bits) return;
    GetDIBits(bitmap, 0, H, target.Bits.get(), *target.Info, DIB_RGB_COLORS);
    const DibImage source = MakeDIBCopy(target);
    if (!source.Bits) return;

    std::int32_t p = 0, q = 0;
    if (!SofteningReach(settings, p, q)) return;
    if (p > 0) {
        for (std::int32_t y = q; y <= H - 1 - p; ++y) {
            const std::uint8_t* below = source.Row(y + p);
            const std::uint8_t* above = source.Row(y - q);
            std::uint8_t* out = target.Row(y);
            for (std::int32_t x = p; x <= W - 1 - q; ++x) {
                const std::size_t left = std::size_t(x - p) * 3;
                const std::size_t right = std::size_t(x + q) * 3;
                for (int c = 0; c < 3; ++c) {
                    out[std::size_t(x) * 3 + std::size_t(c)] = static_cast<std::uint8_t>(
                        (below[left + c] + below[right + c] + above[left + c] + above[right + c]) /
                        4);
                }
            }
        }
    }
    SetDIBits(bitmap, 0, H, target.Bits.get(), *target.Info, DIB_RGB_COLORS);

    // The slant comes after the softening and is the same for colour and opacity.
    if (settings.SRichtBox != kSlantLeft && settings.SRichtBox != kSlantRight) return;
    Canvas canvas(bitmap);
    canvas.pen.color = clWhite;
    for (std::int32_t i = 0; i < H; ++i) {
        if (settings.SRichtBox == kSlantLeft) {
            const std::int32_t shift = i - (H - 1);
            canvas.BitBlt(shift, i, W, 1, bitmap, 0, i, SRCCOPY);
            if (shift < 0) {
                canvas.MoveTo(W + shift, i);
                canvas.LineTo(W, i);
            }
        } else {
            const std::int32_t shift = (H - 1) - i;
            canvas.BitBlt(shift, i, W, 1, bitmap, 0, i, SRCCOPY);
            if (shift > 0) {
                canvas.MoveTo(0, i);
                canvas.LineTo(shift, i);
            }
        }
    }
}

}  // namespace gw

namespace gw {

namespace {

// -45 degrees: the row moves left by H - 1 - i; 45 degrees: right by as much.
void SlantRow(std::uint8_t* r, std::size_t w, std::int64_t i, std::int32_t H, std::int32_t slant) {
    const std::int64_t shift = slant == kSlantLeft ? i - (H - 1) : std::int64_t(H - 1) - i;
    if (shift == 0) return;
    const std::int64_t n = shift < 0 ? -shift : shift;
    if (n >= std::int64_t(w)) {
        std::memset(r, 0, w);
    } else if (shift < 0) {
        std::memmove(r, r + n, w - std::size_t(n));
        std::memset(r + (w - std::size_t(n)), 0, std::size_t(n));
    } else {
        std::memmove(r + n, r, w - std::size_t(n));
        std::memset(r, 0, std::size_t(n));
    }
}

// One softened row: out[i] = (below[i] + below[i + p + q] + above[i] + above[i + p + q]) div 4
// for i below n, with `out` the row's pixel p. The plain loop over size_t with unaliased rows,
// so the compiler turns it into vector adds and shifts.
void AverageCorners(const std::uint8_t* __restrict below, const std::uint8_t* __restrict above,
                    std::uint8_t* __restrict out, std::size_t reach, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned sum = unsigned(below[i]) + below[i + reach] + above[i] + above[i + reach];
        out[i] = static_cast<std::uint8_t>(sum >> 2);
    }
}

}  // namespace

void SoftenCoverage(std::uint8_t* plane, std::int32_t W, std::int32_t H,
                    const LetteringSettings& settings) {
    if (W <= 0 || H <= 0) return;
    std::int32_t p = 0, q = 0;
    if (!SofteningReach(settings, p, q)) return;
    const std::size_t w = std::size_t(W);
    const auto row = [&](std::int32_t y) { return plane + std::size_t(y) * w; };

    if (p > 0 && H - 1 - p >= q && W - 1 - q >= p) {
        // Every pixel is averaged from the unsoftened plane, read where it lies: a softened row y
        // waits in a ring until row y + q, the last to read its unsoftened bytes, is made, and
        // then goes back in place. Bands of rows go side by side; the rows a band reads beyond its
        // own, which its neighbours soften, are copied before any band starts.
        const std::int32_t ringRows = q + 1;
        const std::size_t reach = std::size_t(p) + std::size_t(q);
        const std::size_t n = w - reach;
        int bands = BandCount(H, std::int64_t(W) * H);
        if (std::int64_t(p + q) * bands > H) bands = 1;
        std::vector<std::vector<std::uint8_t>> beyond(static_cast<std::size_t>(bands));
        const auto bandRows = [&](int band, std::int32_t& y0, std::int32_t& y1) {
            std::int64_t first = 0, end = 0;
            BandRange(H, bands, band, first, end);
            y0 = std::int32_t(first);
            y1 = std::int32_t(end);
        };
        // Rows y0 - q .. y0 - 1 and y1 .. y1 + p - 1, as far as they are in the picture.
        for (int band = 0; band < bands; ++band) {
            std::int32_t y0 = 0, y1 = 0;
            bandRows(band, y0, y1);
            std::vector<std::uint8_t>& copy = beyond[std::size_t(band)];
            copy.assign(std::size_t(p + q) * w, 0);
            for (std::int32_t r = std::max(0, y0 - q); r < y0; ++r)
                std::memcpy(copy.data() + std::size_t(r - (y0 - q)) * w, row(r), w);
            for (std::int32_t r = y1; r < std::min(H, y1 + p); ++r)
                std::memcpy(copy.data() + std::size_t(q + r - y1) * w, row(r), w);
        }
        RunBands(bands, [&](int band) {
            std::int32_t y0 = 0, y1 = 0;
            bandRows(band, y0, y1);
            const std::uint8_t* copy = beyond[std::size_t(band)].data();
            std::vector<std::uint8_t> ring(std::size_t(ringRows) * n);
            const auto softened = [&](std::int32_t y) {
                return ring.data() + std::size_t(y % ringRows) * n;
            };
            const auto putBack = [&](std::int32_t y) { std::memcpy(row(y) + p, softened(y), n); };
            const std::int32_t yFirst = std::max(y0, q), yLast = std::min(y1 - 1, H - 1 - p);
            for (std::int32_t y = yFirst; y <= yLast; ++y) {
                const std::int32_t b = y + p, a = y - q;
                const std::uint8_t* below = b < y1 ? row(b) : copy + std::size_t(q + b - y1) * w;
                const std::uint8_t* above = a >= y0 ? row(a) : copy + std::size_t(a - (y0 - q)) * w;
                AverageCorners(below, above, softened(y), reach, n);
                if (a >= yFirst) putBack(a);
            }
            for (std::int32_t y = std::max(yFirst, yLast - q + 1); y <= yLast; ++y)
                putBack(y);
        });
    }

    if (settings.SRichtBox != kSlantLeft && settings.SRichtBox != kSlantRight) return;
    ParallelRows(H, std::int64_t(W) * H, [&](std::int64_t first, std::int64_t end) {
        for (std::int64_t i = first; i < end; ++i)
            SlantRow(row(std::int32_t(i)), w, i, H, settings.SRichtBox);
    });
}

}  // namespace gw
