#include "render/Shadow.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/Canvas.h"
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

void SoftenCoverage(std::uint8_t* plane, std::int32_t W, std::int32_t H,
                    const LetteringSettings& settings) {
    if (W <= 0 || H <= 0) return;
    std::int32_t p = 0, q = 0;
    if (!SofteningReach(settings, p, q)) return;
    const std::size_t w = std::size_t(W);
    const auto row = [&](std::int32_t y) { return plane + std::size_t(y) * w; };

    if (p > 0 && H - 1 - p >= q && W - 1 - q >= p) {
        // Every pixel is averaged from the unsoftened plane: rows below y are still unsoftened,
        // the rows above that are still read (down to y - q) are kept in a ring.
        const std::int32_t ringRows = q + 1;
        std::vector<std::uint8_t> ring(std::size_t(ringRows) * w);
        const auto saved = [&](std::int32_t y) {
            return ring.data() + std::size_t(y % ringRows) * w;
        };
        for (std::int32_t y = 0; y < q; ++y)
            std::memcpy(saved(y), row(y), w);
        for (std::int32_t y = q; y <= H - 1 - p; ++y) {
            std::memcpy(saved(y), row(y), w);
            const std::uint8_t* below = row(y + p);
            const std::uint8_t* above = saved(y - q);
            std::uint8_t* out = row(y);
            for (std::int32_t x = p; x <= W - 1 - q; ++x) {
                out[x] = static_cast<std::uint8_t>(
                    (below[x - p] + below[x + q] + above[x - p] + above[x + q]) / 4);
            }
        }
    }

    if (settings.SRichtBox != kSlantLeft && settings.SRichtBox != kSlantRight) return;
    for (std::int32_t i = 0; i < H; ++i) {
        std::uint8_t* r = row(i);
        // -45 degrees: the row moves left by H - 1 - i; 45 degrees: right by as much.
        const std::int64_t shift =
            settings.SRichtBox == kSlantLeft ? std::int64_t(i) - (H - 1) : std::int64_t(H - 1) - i;
        if (shift == 0) continue;
        const std::int64_t n = shift < 0 ? -shift : shift;
        if (n >= W) {
            std::memset(r, 0, w);
        } else if (shift < 0) {
            std::memmove(r, r + n, w - std::size_t(n));
            std::memset(r + (w - std::size_t(n)), 0, std::size_t(n));
        } else {
            std::memmove(r + n, r, w - std::size_t(n));
            std::memset(r, 0, std::size_t(n));
        }
    }
}

}  // namespace gw
