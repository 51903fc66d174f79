#include "render/Filter.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/AllocationLimit.h"
#include "platform/Catalogue.h"
#include "platform/ParallelRows.h"
#include "platform/System.h"
#include "raster/DibService.h"

namespace gw {

const FilterKernel Weichzeichnen = {
    9,
    0,
    {{0, 0, 0, 0, 0}, {0, 1, 1, 1, 0}, {0, 1, 1, 1, 0}, {0, 1, 1, 1, 0}, {0, 0, 0, 0, 0}},
    "Weichzeichnen",
};

namespace {

// Builds for wider vectors where the processor has them, chosen when the program starts; the
// loops are integer ones, so every build gives the same bytes.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define GW_WIDER_VECTORS __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define GW_WIDER_VECTORS
#endif

// The column sums of three rows at sums[6 ..], the first and last pixel's repeated once beside
// them as the bordered copy has it; `b` is kept in `keep` on the way.
GW_WIDER_VECTORS void NinthsSums(const std::uint8_t* a, const std::uint8_t* b,
                                 const std::uint8_t* c, std::uint8_t* __restrict keep,
                                 std::uint16_t* __restrict sums, std::size_t n) {
    std::uint16_t* s = sums + 6;
    for (std::size_t i = 0; i < n; ++i) {
        s[i] = static_cast<std::uint16_t>(a[i] + b[i] + c[i]);
        keep[i] = b[i];
    }
    for (std::size_t i = 0; i < 3; ++i) {
        sums[3 + i] = s[i];
        s[n + i] = s[n - 3 + i];
    }
}

// Output bytes from the column sums: the three of a window added, divided by 9.
GW_WIDER_VECTORS void NinthsRow(const std::uint16_t* __restrict sums, std::uint8_t* __restrict out,
                                std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const auto sum = static_cast<std::uint16_t>(sums[i + 3] + sums[i + 6] + sums[i + 9]);
        out[i] = static_cast<std::uint8_t>((std::uint32_t(sum) * 7282u) >> 16);
    }
}

// The filter reads the picture through a copy P with a border of two repeated pixels: image pixel
// (x, y) is P(x + 2, y + 2), P's rows above and below repeat the first and last image row, its
// columns left and right the first and last pixel of their row. P is never made whole: a row of
// P is made from its image row when a band of output rows first needs it, and kept while rows
// that still read it are made (the smoothing's box reads its rows in the image itself, see
// RunNinths). Every output pixel is a sum over P, which is never written, so the order in which
// rows and bands are made cannot change a byte.
class FilterRows {
  public:
    FilterRows(DibImage& image, const FilterKernel& kernel) : image_(image), kernel_(kernel) {
        W_ = DibWidth(image);
        H_ = DibHeight(image);
        padded_ = std::size_t(W_ + 4) * 3;
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 5; ++c)
                if (kernel.Matrix[r][c] != 0) taps_.push_back({r, c, kernel.Matrix[r][c]});
        box_ = true;
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 5; ++c) {
                const bool inner = r >= 1 && r <= 3 && c >= 1 && c <= 3;
                if (kernel.Matrix[r][c] != (inner ? 1 : 0)) box_ = false;
            }
        ninths_ = box_ && kernel.Divisor == 9 && kernel.Bias == 0;
        // With weights of one sign and a small sum the result of every sum can be looked up.
        std::int64_t reach = 0;
        bool nonNegative = true;
        for (const Tap& t : taps_) {
            if (t.weight < 0) nonNegative = false;
            reach += std::int64_t(t.weight) * 255;
        }
        if (nonNegative && reach <= 65535) {
            result_.resize(std::size_t(reach) + 1);
            for (std::int64_t s = 0; s <= reach; ++s)
                result_[std::size_t(s)] = Result(static_cast<std::uint32_t>(s));
        }
    }

    // Output rows [y0, y1). Before any band runs, every band's rows of P outside its own range
    // are taken with Snapshot, since other bands overwrite them.
    struct Band {
        std::int32_t y0 = 0, y1 = 0;
        std::vector<std::uint8_t> outside;  // P rows y0 - 2, y0 - 1, y1, y1 + 1 of the image
        // The band's own rows at work: five rows of P, the column sums and one output row.
        std::vector<std::uint8_t> ring, out;
        std::vector<std::uint32_t> columnSums;
        std::vector<std::uint16_t> narrowSums;  // the column sums of the box divided by 9
    };

    // The memory one band works in, asked for before any band starts.
    std::size_t BandBytes() const {
        if (ninths_) return 4 * padded_ + 2 * std::size_t(W_) * 3 + padded_ * sizeof(std::uint16_t);
        const std::size_t sums = box_ ? sizeof(std::uint32_t) : 0;
        return 9 * padded_ + padded_ * sums + std::size_t(W_) * 3;
    }

    void Snapshot(Band& band) const {
        band.ring.resize(ninths_ ? 2 * std::size_t(W_) * 3 : 5 * padded_);
        band.out.resize(ninths_ ? 0 : std::size_t(W_) * 3);
        band.columnSums.resize(box_ && !ninths_ ? padded_ : 0);
        band.narrowSums.resize(ninths_ ? padded_ : 0);
        band.outside.resize(4 * padded_);
        const std::int32_t rows[4] = {band.y0 - 2, band.y0 - 1, band.y1, band.y1 + 1};
        for (int i = 0; i < 4; ++i)
            MakePadded(Clamp(rows[i]), band.outside.data() + std::size_t(i) * padded_);
    }

    void Run(Band& band) const {
        if (ninths_) return RunNinths(band);
        // Image rows of the band itself, copied before they are overwritten: at row y, rows y - 2
        // .. y + 2 are read, five different ones at most.
        std::vector<std::uint8_t>& ring = band.ring;
        std::vector<std::uint32_t>& columnSums = band.columnSums;
        std::vector<std::uint8_t>& out = band.out;
        std::int32_t copiedTo = band.y0;  // image rows [y0, copiedTo) are in the ring
        const std::uint8_t* window[5];
        for (std::int32_t y = band.y0; y < band.y1; ++y) {
            for (int r = 0; r < 5; ++r) {
                const std::int32_t row = Clamp(y + r - 2);  // the image row P row y + r shows
                if (row < band.y0) {
                    window[r] = band.outside.data() + std::size_t(row - (band.y0 - 2)) * padded_;
                } else if (row >= band.y1) {
                    window[r] = band.outside.data() + std::size_t(2 + row - band.y1) * padded_;
                } else {
                    while (copiedTo <= row) {
                        MakePadded(copiedTo, ring.data() + std::size_t(copiedTo % 5) * padded_);
                        ++copiedTo;
                    }
                    window[r] = ring.data() + std::size_t(row % 5) * padded_;
                }
            }
            if (box_)
                BoxRow(window, columnSums.data(), out.data());
            else
                GeneralRow(window, out.data());
            std::memcpy(image_.Row(y), out.data(), out.size());
        }
    }

    std::int32_t Height() const { return H_; }
    std::int64_t Pixels() const { return std::int64_t(W_) * H_; }

  private:
    struct Tap {
        int r, c;
        std::int32_t weight;
    };

    std::int32_t Clamp(std::int32_t row) const { return std::clamp(row, 0, H_ - 1); }

    void MakePadded(std::int32_t row, std::uint8_t* to) const {
        const std::uint8_t* from = image_.Row(row);
        const std::size_t rowBytes = std::size_t(W_) * 3;
        std::memcpy(to + 6, from, rowBytes);
        std::memcpy(to, from, 3);
        std::memcpy(to + 3, from, 3);
        std::memcpy(to + 6 + rowBytes, from + rowBytes - 3, 3);
        std::memcpy(to + 9 + rowBytes, from + rowBytes - 3, 3);
    }

    // v = s div Divisor + Bias, held in 0 .. 255; s is the 32-bit sum, wrapped as large weights
    // make it.
    std::uint8_t Result(std::uint32_t sum) const {
        const auto s = static_cast<std::int32_t>(sum);
        const std::int64_t v = std::int64_t(s) / kernel_.Divisor + kernel_.Bias;
        return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
    }

    std::uint8_t Lookup(std::uint32_t sum) const {
        return result_.empty() ? Result(sum) : result_[sum];
    }

    // The 3 x 3 box of ones: the three rows added once per byte, then three neighbours of each.
    void BoxRow(const std::uint8_t* const* window, std::uint32_t* sums, std::uint8_t* out) const {
        const std::uint8_t* a = window[1];
        const std::uint8_t* b = window[2];
        const std::uint8_t* c = window[3];
        for (std::size_t i = 0; i < padded_; ++i)
            sums[i] = std::uint32_t(a[i]) + b[i] + c[i];
        const std::size_t n = std::size_t(W_) * 3;
        for (std::size_t i = 0; i < n; ++i)
            out[i] = Lookup(sums[i + 3] + sums[i + 6] + sums[i + 9]);
    }

    // The box divided by 9 with no bias, the smoothing of every render: a sum of three bytes fits
    // in 16 bits and s div 9 = (s x 7282) >> 16 for every s below 32768 (the nine bytes of a
    // window add up to at most 2295), so a row is made without a table, many bytes at a time.
    // The rows are read where they lie and each output row is written straight into its image
    // row: the image row is kept while its three rows are added, since the next output row reads
    // it too, and the rows above and below the band come from the band's outside rows.
    void RunNinths(Band& band) const {
        const std::size_t n = std::size_t(W_) * 3;
        std::uint16_t* sums = band.narrowSums.data();
        std::uint8_t* kept[2] = {band.ring.data(), band.ring.data() + n};
        const auto outside = [&](std::int32_t row) -> const std::uint8_t* {
            const std::size_t index =
                row < band.y0 ? std::size_t(row - (band.y0 - 2)) : std::size_t(2 + row - band.y1);
            return band.outside.data() + index * padded_ + 6;
        };
        for (std::int32_t y = band.y0; y < band.y1; ++y) {
            const std::int32_t above = Clamp(y - 1), below = Clamp(y + 1);
            const std::uint8_t* a = above == y        ? image_.Row(y)
                                    : above < band.y0 ? outside(above)
                                                      : kept[std::size_t(above) & 1];
            const std::uint8_t* b = image_.Row(y);
            const std::uint8_t* c =
                below >= band.y1 && below != y ? outside(below) : image_.Row(below);
            NinthsSums(a, b, c, kept[std::size_t(y) & 1], sums, n);
            NinthsRow(sums, image_.Row(y), n);
        }
    }

    void GeneralRow(const std::uint8_t* const* window, std::uint8_t* out) const {
        const std::size_t n = std::size_t(W_) * 3;
        for (std::size_t i = 0; i < n; ++i) {
            std::uint32_t sum = 0;
            for (const Tap& t : taps_)
                sum += std::uint32_t(t.weight) * window[t.r][i + std::size_t(t.c) * 3];
            out[i] = Lookup(sum);
        }
    }

    DibImage& image_;
    const FilterKernel& kernel_;
    std::int32_t W_ = 0, H_ = 0;
    std::size_t padded_ = 0;
    std::vector<Tap> taps_;
    bool box_ = false;
    bool ninths_ = false;
    std::vector<std::uint8_t> result_;
};

// Whether the picture is one the filter works on. Only 24-bit pictures are laid out as the
// window above expects; a kernel without divisor has no defined result. Both leave the picture
// as it is. Any width works: the filter holds a few rows a band, never a copy of the picture.
bool Filterable(const DibImage& image, const FilterKernel& kernel) {
    if (DibColorCount(image) <= 256) return false;
    if (!image.Bits || DibBitCount(image) != 24 || kernel.Divisor == 0) return false;
    return DibWidth(image) >= 1 && DibHeight(image) >= 1;
}

bool OutOfMemory() {
    NoteFailure(catalogue::Tr("Fehler: Nicht genügend Speicher um den Filter anzuwenden!"),
                catalogue::Tr("Fehler"), MsgIcon::Error);
    return false;
}

}  // namespace

bool DibFilterInBands(DibImage& image, const FilterKernel& kernel, int bandCount) {
    if (!Filterable(image, kernel)) return true;
    const std::int32_t H = DibHeight(image);
    FilterRows rows(image, kernel);
    const std::int32_t bands = std::clamp(bandCount, 1, H);
    // Every band's rows are taken here, before the first pixel changes: a filter short of memory
    // leaves the picture whole.
    if (!WithinAllocationLimit(rows.BandBytes() * std::size_t(bands))) return OutOfMemory();
    std::vector<FilterRows::Band> work;
    try {
        work.resize(static_cast<std::size_t>(bands));
        for (std::int32_t i = 0; i < bands; ++i) {
            work[std::size_t(i)].y0 = static_cast<std::int32_t>(std::int64_t(H) * i / bands);
            work[std::size_t(i)].y1 = static_cast<std::int32_t>(std::int64_t(H) * (i + 1) / bands);
            rows.Snapshot(work[std::size_t(i)]);
        }
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
    RunBands(bands, [&rows, &work](int band) { rows.Run(work[std::size_t(band)]); });
    return true;
}

bool DibFilterPlain(DibImage& image, const FilterKernel& kernel) {
    if (!Filterable(image, kernel)) return true;
    const std::int32_t W = DibWidth(image), H = DibHeight(image);
    const auto P = [&](std::int32_t x, std::int32_t y, int ch) {
        const std::int32_t ix = std::clamp(x - 2, 0, W - 1), iy = std::clamp(y - 2, 0, H - 1);
        return image.Row(iy)[3 * ix + ch];
    };
    std::vector<std::uint8_t> out(std::size_t(W) * std::size_t(H) * 3);
    for (std::int32_t y = 0; y < H; ++y)
        for (std::int32_t x = 0; x < W; ++x)
            for (int ch = 0; ch < 3; ++ch) {
                // The sum wraps in 32 bits as large weights make it.
                std::uint32_t sum = 0;
                for (int r = 0; r < 5; ++r)
                    for (int c = 0; c < 5; ++c)
                        sum += std::uint32_t(kernel.Matrix[r][c]) * P(x + c, y + r, ch);
                const std::int64_t v =
                    std::int64_t(static_cast<std::int32_t>(sum)) / kernel.Divisor + kernel.Bias;
                out[(std::size_t(y) * std::size_t(W) + std::size_t(x)) * 3 + std::size_t(ch)] =
                    static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
            }
    for (std::int32_t y = 0; y < H; ++y)
        std::memcpy(image.Row(y), out.data() + std::size_t(y) * std::size_t(W) * 3,
                    std::size_t(W) * 3);
    return true;
}

bool FilterCoverage(std::uint8_t* plane, std::int32_t W, std::int32_t H,
                    const FilterKernel& kernel) {
    if (!plane || W < 1 || H < 1 || kernel.Divisor == 0) return true;
    const std::size_t n = std::size_t(W) * std::size_t(H);
    if (!MayAllocate(n)) return false;
    std::vector<std::uint8_t> source;
    try {
        source.assign(plane, plane + n);
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
        return false;
    }
    struct Tap {
        int r, c;
        std::uint32_t weight;
    };
    std::vector<Tap> taps;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            if (kernel.Matrix[r][c] != 0)
                taps.push_back({r, c, std::uint32_t(kernel.Matrix[r][c])});
    ParallelRows(H, std::int64_t(W) * H, [&](std::int64_t first, std::int64_t end) {
        // A row of the plane with its border of two repeated bytes on either side.
        std::vector<std::uint8_t> padded(5 * (std::size_t(W) + 4));
        for (std::int64_t y = first; y < end; ++y) {
            const std::uint8_t* rows[5];
            for (int r = 0; r < 5; ++r) {
                const std::uint8_t* from =
                    source.data() + std::size_t(std::clamp<std::int64_t>(y + r - 2, 0, H - 1)) * W;
                std::uint8_t* to = padded.data() + std::size_t(r) * (std::size_t(W) + 4);
                std::memcpy(to + 2, from, std::size_t(W));
                to[0] = to[1] = from[0];
                to[W + 2] = to[W + 3] = from[W - 1];
                rows[r] = to;
            }
            std::uint8_t* out = plane + std::size_t(y) * std::size_t(W);
            for (std::int32_t x = 0; x < W; ++x) {
                std::uint32_t sum = 0;
                for (const Tap& t : taps)
                    sum += t.weight * rows[t.r][std::size_t(x + t.c)];
                const std::int64_t v =
                    std::int64_t(static_cast<std::int32_t>(sum)) / kernel.Divisor + kernel.Bias;
                out[x] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
            }
        }
    });
    return true;
}

bool DibFilter(DibImage& image, const FilterKernel& kernel) {
    const std::int64_t pixels = std::int64_t(DibWidth(image)) * DibHeight(image);
    return DibFilterInBands(image, kernel, BandCount(DibHeight(image), pixels));
}

}  // namespace gw
