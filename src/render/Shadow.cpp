#include "render/Shadow.h"

#include <algorithm>
#include <cmath>

#include "platform/Canvas.h"
#include "raster/DibService.h"

namespace gw {

std::int32_t ShadowLevel(const LetteringSettings& settings) {
    const long double level = (100 - static_cast<long double>(settings.SDeckEd)) * 255 / 100;
    return static_cast<std::int32_t>(std::trunc(std::clamp<long double>(level, -1e9L, 1e9L)));
}

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

    const long double s = settings.SWeichEd;
    const long double half = std::trunc(s / 2);
    if (half > 1e6L || half < -1e6L) return;  // no picture is that large; nothing would change
    const std::int32_t q = static_cast<std::int32_t>(half);
    std::int32_t p = q;
    if (p + q < s) p = q + 1;

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
    if (settings.SRichtBox != 1 && settings.SRichtBox != 2) return;
    Canvas canvas(bitmap);
    canvas.pen.color = clWhite;
    for (std::int32_t i = 0; i < H; ++i) {
        if (settings.SRichtBox == 1) {
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
