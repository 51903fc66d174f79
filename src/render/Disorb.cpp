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

// Row r after the row pass: the image row moved by e pixels within itself, white where it
// uncovers.
void ShiftedRow(const std::uint8_t* from, std::uint8_t* to, std::int64_t e, std::size_t bpp,
                std::size_t rowBytes, std::uint8_t white) {
    if (e >= 0) {
        const std::size_t moved = std::min(std::size_t(e) * bpp, rowBytes);
        std::memset(to, white, moved);
        std::memcpy(to + moved, from, rowBytes - moved);
    } else {
        const std::size_t moved = std::min(std::size_t(-e) * bpp, rowBytes);
        std::memcpy(to, from + moved, rowBytes - moved);
        std::memset(to + rowBytes - moved, white, moved);
    }
}

// A run of neighbouring columns with the same column shift: its first byte in the row and the
// shift's place in the table of source rows. A row of runs ends with one that only marks the end.
struct ColumnRun {
    std::size_t offset;
    std::uint32_t slot;
};

constexpr std::size_t kChunk = 16;

// Makes an output row from its runs, each copied from the source row of its shift. A run is
// copied in whole chunks of kChunk bytes; the bytes a chunk writes past its run belong to the
// runs after it, which are copied later and put their own bytes there. Runs from `exact` on
// would reach past the row and are copied byte for byte.
void CopyRuns(const ColumnRun* runs, std::size_t exact, std::size_t count,
              const std::uint8_t* const* source, std::uint8_t* out) {
    for (std::size_t i = 0; i < exact; ++i) {
        const std::size_t offset = runs[i].offset, length = runs[i + 1].offset - offset;
        const std::uint8_t* from = source[runs[i].slot] + offset;
        std::uint8_t* to = out + offset;
        std::size_t k = 0;
        do {
            std::memcpy(to + k, from + k, kChunk);
            k += kChunk;
        } while (k < length);
    }
    for (std::size_t i = exact; i < count; ++i) {
        const std::size_t offset = runs[i].offset;
        std::memcpy(out + offset, source[runs[i].slot] + offset, runs[i + 1].offset - offset);
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

    // A column shift of H or more either way reads above the top or below the bottom for every
    // row, so it is held at H there: the table of source rows stays within 2H + 1 entries.
    std::int32_t fMin = 0, fMax = 0;
    for (const std::int32_t f : columnShifts) {
        fMin = std::min(fMin, std::max(f, -H));
        fMax = std::max(fMax, std::min(f, H));
    }

    // Without column shifts each row moves within itself, in place.
    if (fMin == 0 && fMax == 0) {
        ParallelRows(H, pixels, [&](std::int64_t first, std::int64_t end) {
            for (std::int64_t i = first; i < end; ++i) {
                const std::int64_t e = rowShifts[std::size_t(i)];
                if (e == 0) continue;
                std::uint8_t* row = rows[i];
                const std::size_t moved = std::min(std::size_t(e < 0 ? -e : e) * bpp, rowBytes);
                if (e > 0) {
                    std::memmove(row + moved, row, rowBytes - moved);
                    std::memset(row, white, moved);
                } else {
                    std::memmove(row, row + moved, rowBytes - moved);
                    std::memset(row + rowBytes - moved, white, moved);
                }
            }
        });
        return;
    }

    // Otherwise both passes are one: pixel (x, y) takes pixel (x, r) of the row pass with
    // r = y - f_x, white where r lies outside, and row r of the row pass is image row r moved by
    // e_r. Output rows are made top to bottom, each from rows y - fMax .. y - fMin of the row
    // pass, which are kept in a ring: a row enters it shifted (read from the image before the
    // image row is written) when the first output row needs it and stays until the last has
    // read it. Every source pixel is read by exactly one output pixel, so the ring is passed
    // through once. Columns of the same shift side by side form runs copied as spans.
    std::vector<ColumnRun> runs;
    runs.reserve(std::size_t(W) + 1);
    for (std::int32_t x = 0; x < W; ++x) {
        const std::uint32_t slot = std::uint32_t(std::clamp(columnShifts[std::size_t(x)], -H, H) - fMin);
        if (runs.empty() || runs.back().slot != slot) runs.push_back({std::size_t(x) * bpp, slot});
    }
    const std::size_t runCount = runs.size();
    runs.push_back({rowBytes, 0});
    std::size_t exact = runCount;
    for (std::size_t i = 0; i < runCount; ++i) {
        const std::size_t length = runs[i + 1].offset - runs[i].offset;
        if (runs[i].offset + (length + kChunk - 1) / kChunk * kChunk > rowBytes) {
            exact = i;
            break;
        }
    }

    // Bands of output rows side by side. A band reads the row pass's rows up to fMax above its
    // first row and up to -fMin below its last, which the bands next to it overwrite: those are
    // taken before any band starts, the ones above into the band's ring, the ones below into a
    // tail of their own. A band's ring holds at most the picture's rows; the bands are fewer when
    // their rings would hold more than the picture between them.
    const std::int64_t ringRows = std::min<std::int64_t>(std::int64_t(fMax) - fMin + 1, H);
    const int bands = std::max(1, std::min<int>(BandCount(H, pixels), int(H / ringRows)));
    struct Band {
        std::int64_t y0 = 0, y1 = 0;
        std::vector<std::uint8_t> ring, tail;
    };
    std::vector<Band> work(static_cast<std::size_t>(bands));
    const auto ringRow = [&](Band& band, std::int64_t r) {
        return band.ring.data() + std::size_t(r % ringRows) * rowBytes;
    };
    for (int b = 0; b < bands; ++b) {
        Band& band = work[std::size_t(b)];
        BandRange(H, bands, b, band.y0, band.y1);
        band.ring.resize(std::size_t(ringRows) * rowBytes);
        const std::int64_t tailEnd = std::min<std::int64_t>(H, band.y1 - fMin);
        band.tail.resize(std::size_t(tailEnd - band.y1) * rowBytes);
    }
    for (Band& band : work) {
        for (std::int64_t r = std::max<std::int64_t>(0, band.y0 - fMax); r < band.y0; ++r)
            ShiftedRow(rows[r], ringRow(band, r), rowShifts[std::size_t(r)], bpp, rowBytes, white);
        for (std::int64_t r = band.y1; r < band.y1 + std::int64_t(band.tail.size() / rowBytes); ++r)
            ShiftedRow(rows[r], band.tail.data() + std::size_t(r - band.y1) * rowBytes,
                       rowShifts[std::size_t(r)], bpp, rowBytes, white);
    }
    const std::vector<std::uint8_t> whiteRow(rowBytes, white);
    RunBands(bands, [&](int b) {
        Band& band = work[std::size_t(b)];
        std::vector<const std::uint8_t*> source(std::size_t(fMax - fMin + 1));
        std::int64_t filled = band.y0;  // the band's own rows before this one are in the ring
        for (std::int64_t y = band.y0; y < band.y1; ++y) {
            for (const std::int64_t need = std::min(y - fMin + 1, band.y1); filled < need; ++filled)
                ShiftedRow(rows[filled], ringRow(band, filled), rowShifts[std::size_t(filled)],
                           bpp, rowBytes, white);
            for (std::int32_t f = fMin; f <= fMax; ++f) {
                const std::int64_t r = y - f;
                source[std::size_t(f - fMin)] =
                    (r < 0 || r >= H) ? whiteRow.data()
                    : r >= band.y1    ? band.tail.data() + std::size_t(r - band.y1) * rowBytes
                                      : ringRow(band, r);
            }
            CopyRuns(runs.data(), exact, runCount, source.data(), rows[y]);
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
