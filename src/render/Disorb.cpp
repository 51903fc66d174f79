#include "render/Disorb.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "platform/ExactMath.h"
#include "platform/ParallelRows.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define GW_DISORB_BLOCKS 1
#endif

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

// The column pass works in steps of kStep output rows and, within a step, in tiles of kTile
// bytes of the rows: a tile reads the rows y - fMax .. y - fMin of its own bytes alone, few enough
// to stay in the first-level cache while the step's rows are made from them one after another.
constexpr std::int64_t kStep = 64;
constexpr std::size_t kTile = 256;

// Neighbouring bytes of a row with the same column shift f, cut where a tile ends. `inv` is
// fMax - f: the output row y of a step that starts at row s reads row y - f, entry
// y - s + inv of the step's table of rows. A row of runs ends with one that only marks the end.
struct ColumnRun {
    std::size_t offset;
    std::uint32_t inv;
};

constexpr std::size_t kChunk = 16;

// Copies runs [begin, end) of an output row, each from its source row. A run is copied in whole
// chunks of kChunk bytes; the bytes a chunk writes past its run belong to runs copied later,
// which put their own bytes there. Runs from `exact` on would reach past the row and are copied
// byte for byte.
void CopyRuns(const ColumnRun* runs, std::size_t begin, std::size_t end, std::size_t exact,
              const std::uint8_t* const* rowAt, std::uint8_t* out) {
    std::size_t i = begin;
    for (; i < std::min(end, exact); ++i) {
        const std::size_t offset = runs[i].offset, length = runs[i + 1].offset - offset;
        const std::uint8_t* from = rowAt[runs[i].inv] + offset;
        std::uint8_t* to = out + offset;
        std::size_t k = 0;
        do {
            std::memcpy(to + k, from + k, kChunk);
            k += kChunk;
        } while (k < length);
    }
    for (; i < end; ++i) {
        const std::size_t offset = runs[i].offset;
        std::memcpy(out + offset, rowAt[runs[i].inv] + offset, runs[i + 1].offset - offset);
    }
}

// The output row in blocks of 64 bytes for processors with 64-byte vectors: each block lists
// the shifts its bytes take, each with the mask of those bytes (bit i for byte i of the block).
// A block is one masked load a shift and one store, however short its runs.
struct BlockPart {
    std::uint64_t bytes;
    std::uint32_t inv;
};

constexpr std::size_t kBlock = 64;

std::atomic<bool> blocksAllowed{true};

bool UseBlocks() {
#ifdef GW_DISORB_BLOCKS
    static const bool wide = __builtin_cpu_supports("avx512bw");
    return wide && blocksAllowed.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

// The blocks of a row from its runs: parts[first[b] .. first[b + 1]) are block b's.
void MakeBlocks(const std::vector<ColumnRun>& runs, std::size_t count, std::size_t rowBytes,
                std::vector<BlockPart>& parts, std::vector<std::uint32_t>& first) {
    const std::size_t blocks = (rowBytes + kBlock - 1) / kBlock;
    first.assign(blocks + 1, 0);
    std::size_t block = 0;
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t at = runs[i].offset, end = runs[i + 1].offset; at < end;) {
            const std::size_t b = at / kBlock, stop = std::min(end, (b + 1) * kBlock);
            while (block < b)
                first[++block] = std::uint32_t(parts.size());
            const std::size_t lo = at - b * kBlock, width = stop - at;
            const std::uint64_t bits =
                (width == kBlock ? ~std::uint64_t(0) : (std::uint64_t(1) << width) - 1) << lo;
            // A random walk comes back to a shift within a block: one part takes both.
            auto part = std::find_if(parts.begin() + first[b], parts.end(),
                                     [&](const BlockPart& p) { return p.inv == runs[i].inv; });
            if (part != parts.end())
                part->bytes |= bits;
            else
                parts.push_back({bits, runs[i].inv});
            at = stop;
        }
    }
    while (block < blocks)
        first[++block] = std::uint32_t(parts.size());
}

#ifdef GW_DISORB_BLOCKS
// Blocks [b0, b1) of an output row; the last block of the row is stored as far as the row goes.
__attribute__((target("avx512f,avx512bw"))) void CopyBlocks(
    const BlockPart* parts, const std::uint32_t* first, std::size_t b0, std::size_t b1,
    std::size_t rowBytes, const std::uint8_t* const* rowAt, std::uint8_t* out) {
    for (std::size_t b = b0; b < b1; ++b) {
        const std::size_t at = b * kBlock;
        __m512i v = _mm512_setzero_si512();
        for (const BlockPart *p = parts + first[b], *end = parts + first[b + 1]; p < end; ++p)
            v = _mm512_mask_loadu_epi8(v, p->bytes, rowAt[p->inv] + at);
        if (at + kBlock <= rowBytes)
            _mm512_storeu_si512(out + at, v);
        else
            _mm512_mask_storeu_epi8(out + at, (std::uint64_t(1) << (rowBytes - at)) - 1, v);
    }
}
#else
void CopyBlocks(const BlockPart*, const std::uint32_t*, std::size_t, std::size_t, std::size_t,
                const std::uint8_t* const*, std::uint8_t*) {}
#endif

}  // namespace

void DisorbAllowBlocks(bool allow) {
    blocksAllowed.store(allow, std::memory_order_relaxed);
}

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
    // e_r. Output rows are made top to bottom from rows y - fMax .. y - fMin of the row pass, kept
    // in a ring: a row enters it shifted (read from the image before that image row is written)
    // when the first step that needs it begins, and stays until the last has read it. Columns of
    // the same shift side by side form runs copied as spans.
    std::vector<ColumnRun> runs;
    runs.reserve(std::size_t(W) + rowBytes / kTile + 1);
    for (std::int32_t x = 0; x < W; ++x) {
        const std::size_t offset = std::size_t(x) * bpp;
        const auto inv = std::uint32_t(fMax - std::clamp(columnShifts[std::size_t(x)], -H, H));
        if (runs.empty() || runs.back().inv != inv) runs.push_back({offset, inv});
        // A run is cut where a tile begins.
        for (std::size_t cut = (offset + kTile - 1) / kTile * kTile; cut < offset + bpp;
             cut += kTile)
            if (cut > runs.back().offset) runs.push_back({cut, inv});
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
    const std::size_t tiles = (rowBytes + kTile - 1) / kTile;
    std::vector<std::size_t> tileRuns(tiles + 1, runCount);
    for (std::size_t i = runCount; i-- > 0;)
        tileRuns[runs[i].offset / kTile] = i;
    for (std::size_t t = tiles; t-- > 0;)
        tileRuns[t] = std::min(tileRuns[t], tileRuns[t + 1]);
    const bool blocks = UseBlocks();
    std::vector<BlockPart> parts;
    std::vector<std::uint32_t> first;
    if (blocks) MakeBlocks(runs, runCount, rowBytes, parts, first);
    const std::size_t blockCount = (rowBytes + kBlock - 1) / kBlock;
    const std::size_t blocksInTile = kTile / kBlock;

    // Bands of output rows side by side. A band reads the row pass's rows up to fMax above its
    // first row and up to -fMin below its last, which the bands next to it overwrite: those are
    // taken before any band starts, the ones above into the band's ring, the ones below into a
    // tail of their own. A band's ring holds at most the picture's rows; the bands are fewer when
    // their rings would hold more than the picture between them.
    const std::int64_t span = std::int64_t(fMax) - fMin;
    const std::int64_t ringRows = std::min<std::int64_t>(kStep + span, H);
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
        // The step's rows y - fMax .. y - fMin for its first row y and the ones below.
        std::vector<const std::uint8_t*> rowAt(std::size_t(kStep + span));
        std::int64_t filled = band.y0;  // the band's own rows before this one are in the ring
        for (std::int64_t step = band.y0; step < band.y1; step += kStep) {
            const std::int64_t stepEnd = std::min(step + kStep, band.y1);
            for (const std::int64_t need = std::min(stepEnd - fMin, band.y1); filled < need;
                 ++filled)
                ShiftedRow(rows[filled], ringRow(band, filled), rowShifts[std::size_t(filled)], bpp,
                           rowBytes, white);
            for (std::int64_t k = 0; k < stepEnd - step + span; ++k) {
                const std::int64_t r = step - fMax + k;
                rowAt[std::size_t(k)] = (r < 0 || r >= H) ? whiteRow.data()
                                        : r >= band.y1
                                            ? band.tail.data() + std::size_t(r - band.y1) * rowBytes
                                            : ringRow(band, r);
            }
            for (std::size_t t = 0; t < tiles; ++t)
                for (std::int64_t y = step; y < stepEnd; ++y) {
                    const std::uint8_t* const* at = rowAt.data() + (y - step);
                    if (blocks)
                        CopyBlocks(parts.data(), first.data(), t * blocksInTile,
                                   std::min(blockCount, (t + 1) * blocksInTile), rowBytes, at,
                                   rows[y]);
                    else
                        CopyRuns(runs.data(), tileRuns[t], tileRuns[t + 1], exact, at, rows[y]);
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
