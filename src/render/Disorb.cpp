#include "render/Disorb.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/Canvas.h"

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
                  std::vector<std::int32_t>& rowShifts, std::vector<std::int32_t>& columnShifts) {
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

void Disorb(Bitmap& bitmap, const LetteringSettings& settings) {
    if (settings.deform == DeformMode::NoDeform) return;
    const std::int32_t W = bitmap.Width();
    const std::int32_t H = bitmap.Height();
    std::vector<std::int32_t> rowShifts, columnShifts;
    DisorbShifts(settings, W, H, rowShifts, columnShifts);

    Canvas canvas(bitmap);
    canvas.pen.color = clWhite;
    for (std::int32_t i = 0; i < H; ++i) {
        const std::int32_t e = rowShifts[std::size_t(i)];
        canvas.BitBlt(e, i, W, 1, bitmap, 0, i, SRCCOPY);
        if (e < 0) {
            canvas.MoveTo(W + e, i);
            canvas.LineTo(W, i);
        } else if (e > 0) {
            canvas.MoveTo(0, i);
            canvas.LineTo(e, i);
        }
    }
    const Bitmap C = bitmap;
    for (std::int32_t i = 0; i < W; ++i) {
        const std::int32_t f = columnShifts[std::size_t(i)];
        canvas.BitBlt(i, f, 1, H, C, i, 0, SRCCOPY);
        if (f < 0) {
            canvas.MoveTo(i, H + f);
            canvas.LineTo(i, H);
        } else if (f > 0) {
            canvas.MoveTo(i, 0);
            canvas.LineTo(i, f);
        }
    }
}

}  // namespace gw
