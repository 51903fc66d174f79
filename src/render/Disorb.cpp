#include "render/Disorb.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <cstring>
#include <vector>

#include "platform/ExactMath.h"
#include "platform/ParallelRows.h"

namespace gw {

std::uint32_t DisorbRandom::Random(std::uint32_t n) {
    RandSeed = RandSeed * 0x08088405u + 1u;
    return static_cast<std::uint32_t>((std::uint64_t(RandSeed) * n) >> 32);
}

namespace {

// Shifts of one pass over `count` rows or columns. A sine pass over a single row or column would
// divide 0 by 0; such a pass shifts nothing (the random draws still happen, so a following pass
// sees the same sequence as always).
void PassShifts(bool sine, std::int64_t n, std::int64_t A, std::int32_t count, DisorbRandom& random,
                std::vector<std::int32_t>& shifts, std::int32_t limit) {
    shifts.assign(std::size_t(std::max(count, 0)), 0);
    std::int64_t e = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        if (sine) {
            if (count == 1) continue;
            const long double angle = static_cast<long double>(i) / (count - 1) * 360 * n *
                                      std::numbers::pi_v<long double> / 180;
            e = static_cast<std::int64_t>(std::trunc(std::sin(angle) * A));
        } else {
            e += std::int64_t(random.Random(std::uint32_t(n))) - n / 2;
            if (e > A) e = A;
            if (e < -A) e = -A;
            if (count == 1) continue;
        }
        // A shift by the whole size or more already loses every pixel; holding it there keeps
        // huge typed strengths inside 32 bits without changing the picture.
        shifts[std::size_t(i)] =
            static_cast<std::int32_t>(std::clamp<std::int64_t>(e, -limit, limit));
    }
}

}  // namespace

void DisorbShifts(const LetteringSettings& settings, std::int32_t W, std::int32_t H,
                  std::vector<std::int32_t>& rowShifts, std::vector<std::int32_t>& columnShifts,
                  std::int32_t scale) {
    if (scale > 1) {
        DisorbShifts(settings, W / scale, H / scale, rowShifts, columnShifts);
        const auto stretch = [scale](std::vector<std::int32_t>& shifts, std::int32_t count) {
            if (shifts.empty()) return;
            std::vector<std::int32_t> stretched(std::size_t(count), 0);
            for (std::int32_t i = 0; i < count; ++i) {
                const std::size_t source = std::min<std::size_t>(i / scale, shifts.size() - 1);
                stretched[std::size_t(i)] = Clamp32(std::int64_t(shifts[source]) * scale);
            }
            shifts = std::move(stretched);
        };
        stretch(rowShifts, H);
        stretch(columnShifts, W);
        return;
    }
    rowShifts.clear();
    columnShifts.clear();
    if (settings.deform == DeformMode::NoDeform) return;
    DisorbRandom random;
    std::int64_t n =
        static_cast<std::int64_t>(std::trunc(static_cast<long double>(settings.AnzahlEd)));
    if (n < 1) n = 1;
    // Typed values may lie far outside the control's range until it loses the focus.
    n = std::min<std::int64_t>(n, 1 << 30);
    const long double amplitude =
        static_cast<long double>(H + W) / 20 * static_cast<long double>(settings.StarkEd) / 100;
    const std::int64_t A =
        static_cast<std::int64_t>(std::trunc(std::clamp<long double>(amplitude, -1e15L, 1e15L)));
    const bool sine = settings.deform == DeformMode::SinDeform;
    if (!sine && n % 2 == 0) n += 1;
    const std::int32_t limit = std::max(W, H);
    PassShifts(sine, n, A, H, random, rowShifts, limit);
    PassShifts(sine, n, A, W, random, columnShifts, limit);
}

void DisorbRows(std::uint8_t* const* rows, std::int32_t W, std::int32_t H, int bytesPerPixel,
                std::uint8_t white, const LetteringSettings& settings, std::int32_t scale) {
    if (settings.deform == DeformMode::NoDeform || W <= 0 || H <= 0) return;
    std::vector<std::int32_t> rowShifts, columnShifts;
    DisorbShifts(settings, W, H, rowShifts, columnShifts, scale);
    DisorbRows(rows, W, H, bytesPerPixel, white, rowShifts, columnShifts);
}

void DisorbRows(std::uint8_t* const* rows, std::int32_t W, std::int32_t H, int bytesPerPixel,
                std::uint8_t white, const std::vector<std::int32_t>& rowShifts,
                const std::vector<std::int32_t>& columnShifts) {
    if (W <= 0 || H <= 0 || rowShifts.size() != std::size_t(H) ||
        columnShifts.size() != std::size_t(W))
        return;
    const std::size_t bpp = std::size_t(bytesPerPixel);
    const std::size_t rowBytes = std::size_t(W) * bpp;
    const std::int64_t pixels = std::int64_t(W) * H;

    // Row pass: each row moves by e within itself; the pixels it uncovers turn white.
    ParallelRows(H, pixels, [&](std::int64_t first, std::int64_t end) {
        for (std::int64_t i = first; i < end; ++i) {
            std::uint8_t* row = rows[i];
            const std::int64_t e = rowShifts[std::size_t(i)];
            if (e == 0) continue;
            if (e >= W || e <= -W) {
                std::memset(row, white, rowBytes);
            } else if (e > 0) {
                std::memmove(row + std::size_t(e) * bpp, row, rowBytes - std::size_t(e) * bpp);
                std::memset(row, white, std::size_t(e) * bpp);
            } else {
                const std::size_t kept = rowBytes - std::size_t(-e) * bpp;
                std::memmove(row, row + std::size_t(-e) * bpp, kept);
                std::memset(row + kept, white, rowBytes - kept);
            }
        }
    });

    // Column pass: pixel (i, y) takes the row pass's pixel (i, y - f_i), white where that lies
    // outside. Done row by row in place, top to bottom: row y itself and the rows below it still
    // hold the row pass's pixels and are read where they lie, the rows above that a column still
    // reaches (f_i > 0) are kept in a ring, and a row of white stands for the rows outside. A
    // column reads nothing but itself, so bands of columns go side by side, each with its own
    // ring.
    std::int32_t fMin = 0, fMax = 0;
    for (const std::int32_t f : columnShifts) {
        fMin = std::min(fMin, f);
        fMax = std::max(fMax, f);
    }
    if (fMin == 0 && fMax == 0) return;
    const std::int32_t ringRows = std::min(fMax, H) + 1;
    ParallelRows(W, pixels, [&](std::int64_t x0, std::int64_t x1) {
        const std::size_t offset = std::size_t(x0) * bpp;
        const std::size_t bandBytes = std::size_t(x1 - x0) * bpp;
        const std::size_t n = std::size_t(x1 - x0);
        // Each column's place in the table of source rows.
        std::vector<std::uint32_t> slot(n);
        for (std::size_t i = 0; i < n; ++i)
            slot[i] = std::uint32_t(columnShifts[std::size_t(x0) + i] - fMin);
        std::vector<std::uint8_t> ring(fMax > 0 ? std::size_t(ringRows) * bandBytes : 0);
        const auto saved = [&](std::int64_t r) {
            return ring.data() + std::size_t(r % ringRows) * bandBytes;
        };
        const std::vector<std::uint8_t> whiteRow(bandBytes, white);
        std::vector<const std::uint8_t*> source(std::size_t(fMax - fMin + 1));
        for (std::int32_t y = 0; y < H; ++y) {
            std::uint8_t* out = rows[y] + offset;
            if (fMax > 0) std::memcpy(saved(y), out, bandBytes);
            for (std::int32_t f = fMin; f <= fMax; ++f) {
                const std::int64_t r = std::int64_t(y) - f;
                source[std::size_t(f - fMin)] = (r < 0 || r >= H) ? whiteRow.data()
                                                : r < y           ? saved(r)
                                                                  : rows[r] + offset;
            }
            const std::uint32_t* s = slot.data();
            const std::uint8_t* const* from = source.data();
            // Pixels of one and of three bytes, the ones the renderer deforms, copied without a
            // call; a pixel that reads its own row reads it before it is written.
            if (bpp == 1) {
                for (std::size_t i = 0; i < n; ++i)
                    out[i] = from[s[i]][i];
            } else if (bpp == 3) {
                for (std::size_t i = 0; i < n; ++i) {
                    const std::uint8_t* p = from[s[i]] + 3 * i;
                    std::uint8_t* to = out + 3 * i;
                    const std::uint8_t b0 = p[0], b1 = p[1], b2 = p[2];
                    to[0] = b0;
                    to[1] = b1;
                    to[2] = b2;
                }
            } else {
                for (std::size_t i = 0; i < n; ++i)
                    std::memmove(out + i * bpp, from[s[i]] + i * bpp, bpp);
            }
        }
    });
}

void Disorb(Bitmap& bitmap, const LetteringSettings& settings, std::int32_t scale) {
    if (settings.deform == DeformMode::NoDeform || bitmap.Empty()) return;
    std::vector<std::uint8_t*> rows(std::size_t(bitmap.Height()));
    for (std::int32_t y = 0; y < bitmap.Height(); ++y)
        rows[std::size_t(y)] = bitmap.Row(y);
    // White as the bitmap stores it: the same byte in every channel for both formats.
    const std::uint8_t white = GetBValue(bitmap.StoredColor(clWhite));
    DisorbRows(rows.data(), bitmap.Width(), bitmap.Height(), 3, white, settings, scale);
}

}  // namespace gw
