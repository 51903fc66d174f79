#include "render/Filter.h"

#include <algorithm>
#include <cstring>

#include "platform/System.h"
#include "raster/DibService.h"

namespace gw {

const FilterKernel Weichzeichnen = {
    9,
    0,
    {{0, 0, 0, 0, 0}, {0, 1, 1, 1, 0}, {0, 1, 1, 1, 0}, {0, 1, 1, 1, 0}, {0, 0, 0, 0, 0}},
    "Weichzeichnen",
};

void DibFilter(DibImage& image, const FilterKernel& kernel) {
    if (DibColorCount(image) <= 256) return;
    // Only 24-bit pictures are laid out as the window below expects; a kernel without divisor
    // has no defined result. Both leave the picture as it is.
    if (!image.Bits || DibBitCount(image) != 24 || kernel.Divisor == 0) return;

    const std::int32_t W = DibWidth(image);
    const std::int32_t H = DibHeight(image);
    DibImage P;
    newdib(P, W + 4, H + 4, 24, nullptr, 0);
    if (!P.Bits) {
        ShowMessageBox("Fehler: Nicht genügend Speicher um den Filter anzuwenden!", "Fehler",
                       MsgIcon::Error);
        return;
    }

    // P is the picture with a border of two repeated pixels: image pixel (x, y) is P(x + 2, y + 2),
    // rows counted from the top.
    const std::size_t rowBytes = std::size_t(W) * 3;
    const std::size_t paddedBytes = std::size_t(W + 4) * 3;
    for (std::int32_t y = 0; y < H; ++y)
        std::memcpy(P.Row(y + 2) + 6, image.Row(y), rowBytes);
    std::memcpy(P.Row(0), P.Row(2), paddedBytes);
    std::memcpy(P.Row(1), P.Row(2), paddedBytes);
    std::memcpy(P.Row(H + 2), P.Row(H + 1), paddedBytes);
    std::memcpy(P.Row(H + 3), P.Row(H + 1), paddedBytes);
    for (std::int32_t y = 0; y < H + 4; ++y) {
        std::uint8_t* row = P.Row(y);
        std::memcpy(row + 0, row + 6, 3);
        std::memcpy(row + 3, row + 6, 3);
        std::memcpy(row + std::size_t(W + 2) * 3, row + std::size_t(W + 1) * 3, 3);
        std::memcpy(row + std::size_t(W + 3) * 3, row + std::size_t(W + 1) * 3, 3);
    }

    for (std::int32_t y = 0; y < H; ++y) {
        const std::uint8_t* window[5];
        for (int r = 0; r < 5; ++r)
            window[r] = P.Row(y + r);
        std::uint8_t* out = image.Row(y);
        for (std::int32_t x = 0; x < W; ++x) {
            for (int ch = 0; ch < 3; ++ch) {
                // The 32-bit sum, wrapping as large weights make it: unsigned, so that the wrap is
                // defined.
                std::uint32_t sum = 0;
                for (int r = 0; r < 5; ++r) {
                    const std::uint8_t* p = window[r] + std::size_t(x) * 3 + std::size_t(ch);
                    for (int c = 0; c < 5; ++c)
                        sum += std::uint32_t(kernel.Matrix[r][c]) * p[c * 3];
                }
                const auto s = static_cast<std::int32_t>(sum);
                const std::int64_t v = std::int64_t(s) / kernel.Divisor + kernel.Bias;
                out[std::size_t(x) * 3 + std::size_t(ch)] =
                    static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
            }
        }
    }
    deldib(P);
}

}  // namespace gw
