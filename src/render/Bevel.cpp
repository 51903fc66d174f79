#include "render/Bevel.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/ExactMath.h"
#include "platform/ParallelRows.h"
#include "platform/ZeroedBlock.h"
#include "raster/Lines.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

namespace gw {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

std::int32_t RoundToInt(long double v) {
    return TruncSaturated(std::nearbyint(v));
}

// Reads BackgroundTexture tiled from TextImage's top-left corner with the period one less than the
// texture's size. A texture one pixel wide or high has period 0 there; its single column or row is
// used instead. A texture the sampler cannot read leaves `ok` false.
class TextureSampler {
  public:
    explicit TextureSampler(const DibImage& tex) : tex_(tex) {
        const std::int32_t tw = DibWidth(tex);
        const std::int32_t th = DibHeight(tex);
        bits_ = static_cast<std::int32_t>(DibBitCount(tex));
        if (!tex.Bits || tw < 1 || th < 1) return;
        if (bits_ != 1 && bits_ != 4 && bits_ != 8 && bits_ != 24) return;
        if (tex.Stride < DibStride(tw, bits_)) return;
        periodX_ = std::max(tw - 1, 1);
        periodY_ = std::max(th - 1, 1);
        ok_ = true;
    }

    bool ok() const { return ok_; }

    // Blue, green, red of the texel that lies under TextImage pixel (x, y), x and y >= 0.
    void Sample(std::int32_t x, std::int32_t y, std::uint8_t bgr[3]) const {
        const std::int32_t tx = x % periodX_;
        const std::uint8_t* row = tex_.Row(y % periodY_);
        if (bits_ == 24) {
            const std::uint8_t* p = row + 3 * std::size_t(tx);
            bgr[0] = p[0];
            bgr[1] = p[1];
            bgr[2] = p[2];
            return;
        }
        std::uint32_t index = 0;
        if (bits_ == 8) {
            index = row[tx];
        } else if (bits_ == 4) {
            const std::uint8_t b = row[tx / 2];
            index = (tx % 2 == 0) ? (b >> 4) : (b & 0x0F);
        } else {
            index = (row[tx / 8] >> (7 - tx % 8)) & 1u;
        }
        const RgbQuad& q = tex_.Info->bmiColors[index];
        bgr[0] = q.rgbBlue;
        bgr[1] = q.rgbGreen;
        bgr[2] = q.rgbRed;
    }

  private:
    const DibImage& tex_;
    std::int32_t bits_ = 0;
    std::int32_t periodX_ = 1;
    std::int32_t periodY_ = 1;
    bool ok_ = false;
};

// The pixel list of the polyline from `from` to `to`, by the polyline outline rule.
std::vector<TPoint> SegmentOutline(TPoint from, TPoint to) {
    TLine line;
    line.AddPoint(from.x, from.y);
    line.AddPoint(to.x, to.y);
    line.BuildOutline();
    return line.Outline();
}

// What a band does to a pixel at distance V from its outer edge: its tone, and whether the source
// is the background. A background of one colour gives every such pixel the same bytes, kept here
// lit and shaded.
struct BandEntry {
    // The tone's double form for the vector loop; keep is no number where that loop must leave
    // the pixel to the tone itself (no double form, or the source is the background).
    double keep = std::numeric_limits<double>::quiet_NaN();
    double light = 0;
    EdgeTone tone;
    bool fromBackground = false;
    std::uint8_t backgroundBytes[2][3] = {};  // [lit][channel]
};

// The pixels of one part of a run, all lit or all shaded: pixel i at image + shift + offset[i x
// offsetStep], shaded by entry[i x entryStep]. The pixels are distinct, so their order is free.
struct ShadeSpan {
    std::uint8_t* image;
    std::int64_t shift;
    const std::int64_t* offset;
    std::ptrdiff_t offsetStep;
    const BandEntry* entry;
    std::ptrdiff_t entryStep;
    std::int64_t count;
    int times;  // each pixel shaded so many times over, each time from the last
};

template <bool kLit>
void ShadeSpanPlain(const ShadeSpan& s) {
    for (std::int64_t i = 0; i < s.count; ++i) {
        std::uint8_t* px = s.image + (s.shift + s.offset[i * s.offsetStep]);
        const BandEntry& e = s.entry[i * s.entryStep];
        if (e.fromBackground) {
            // The background is the source every time, so once is as good as more.
            px[0] = e.backgroundBytes[kLit][0];
            px[1] = e.backgroundBytes[kLit][1];
            px[2] = e.backgroundBytes[kLit][2];
            continue;
        }
        for (int t = 0; t < s.times; ++t) {
            px[0] = e.tone.Apply(px[0], kLit);
            px[1] = e.tone.Apply(px[1], kLit);
            px[2] = e.tone.Apply(px[2], kLit);
        }
    }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The three channels of a pixel in the lanes of one vector: s x keep (+ L) as in EdgeTone::Apply,
// multiplied and added apart (no fused step), rounded half to even; a lane near a half, a tone
// without its double form (its keep is no number there) and a pixel taken from the background go
// the way of ShadeSpanPlain.
template <bool kLit>
__attribute__((target("avx"))) void ShadeSpanVector(const ShadeSpan& s) {
    const __m256d sign = _mm256_set1_pd(-0.0);
    const __m256d nearHalf = _mm256_set1_pd(EdgeTone::kNearHalf);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d top = _mm256_set1_pd(255.0);
    const __m256d channels = _mm256_castsi256_pd(_mm256_set_epi64x(0, -1, -1, -1));
    std::uint8_t* const image = s.image;
    const std::int64_t shift = s.shift;
    const std::int64_t* offset = s.offset;
    const std::ptrdiff_t offsetStep = s.offsetStep;
    const BandEntry* entry = s.entry;
    const std::ptrdiff_t entryStep = s.entryStep;
    const int times = s.times;
    for (std::int64_t n = s.count; n > 0; --n, offset += offsetStep, entry += entryStep) {
        std::uint8_t* const px = image + (shift + *offset);
        std::uint16_t low;
        std::memcpy(&low, px, 2);
        const __m128i bytes = _mm_insert_epi8(_mm_cvtsi32_si128(low), px[2], 2);
        __m256d r = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(bytes));
        const __m256d keep = _mm256_broadcast_sd(&entry->keep);
        const __m256d light = _mm256_broadcast_sd(&entry->light);
        bool near = false;
        // Each time from the bytes of the last: the rounded value held to 0 .. 255 is one.
        for (int t = 0; t < times; ++t) {
            __m256d v = _mm256_mul_pd(r, keep);
            if (kLit) v = _mm256_add_pd(v, light);
            r = _mm256_round_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
            const __m256d off = _mm256_andnot_pd(sign, _mm256_sub_pd(v, r));
            near |= !_mm256_testc_pd(_mm256_cmp_pd(off, nearHalf, _CMP_LT_OQ), channels);
            r = _mm256_min_pd(_mm256_max_pd(r, zero), top);
        }
        if (near) {
            ShadeSpanPlain<kLit>({image, shift, offset, 0, entry, 0, 1, times});
            continue;
        }
        const __m128i q = _mm256_cvttpd_epi32(r);
        const __m128i out = _mm_packus_epi16(_mm_packs_epi32(q, q), q);
        const auto word = static_cast<std::uint16_t>(_mm_extract_epi16(out, 0));
        std::memcpy(px, &word, 2);
        px[2] = static_cast<std::uint8_t>(_mm_extract_epi8(out, 2));
    }
}

bool HasVectorShading() {
    static const bool avx = __builtin_cpu_supports("avx");
    return avx;
}
#endif

// Bit k set where bytes[k] is a letter's (not 255), for the 64 bytes.
std::uint64_t LetterBits(const std::uint8_t* bytes) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    const __m128i white = _mm_set1_epi8(char(-1));
    std::uint64_t bits = 0;
    for (int part = 0; part < 4; ++part) {
        const __m128i b = _mm_load_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
        bits |= std::uint64_t(std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(b, white))))
                << (16 * part);
    }
    return ~bits;
#else
    std::uint64_t bits = 0;
    for (int k = 0; k < 64; ++k)
        bits |= std::uint64_t(bytes[k] != 255) << k;
    return bits;
#endif
}

template <bool kLit>
void ShadeSpanBest(const ShadeSpan& s) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (HasVectorShading()) return ShadeSpanVector<kLit>(s);
#endif
    ShadeSpanPlain<kLit>(s);
}

// Where a coordinate that is monotone along a list of pixels first reaches a value: ascending,
// the first index whose coordinate is v or more; descending, the first whose coordinate is v or
// less (the count where none is). One entry per value between the ends, so that a ray's span in
// the image is found without a search.
struct MonotoneIndex {
    bool ascending = true;
    std::int64_t low = 0, high = -1;   // the coordinate's range
    std::vector<std::uint32_t> first;  // by value - low

    template <class Coord>
    void Make(const std::vector<TPoint>& points, Coord coord) {
        first.clear();
        count = points.size();
        if (points.empty()) {
            low = 0;
            high = -1;
            return;
        }
        const std::int64_t a = coord(points.front()), b = coord(points.back());
        ascending = a <= b;
        low = std::min(a, b);
        high = std::max(a, b);
        first.resize(std::size_t(high - low) + 1);
        std::size_t j = 0;
        if (ascending) {
            for (std::int64_t v = low; v <= high; ++v) {
                while (coord(points[j]) < v)
                    ++j;
                first[std::size_t(v - low)] = std::uint32_t(j);
            }
        } else {
            for (std::int64_t v = high; v >= low; --v) {
                while (coord(points[j]) > v)
                    ++j;
                first[std::size_t(v - low)] = std::uint32_t(j);
            }
        }
    }

    std::size_t First(std::int64_t v) const {
        if (ascending) {
            if (v <= low) return 0;
            if (v > high) return count;
        } else {
            if (v >= high) return 0;
            if (v < low) return count;
        }
        return first[std::size_t(v - low)];
    }

    std::size_t count = 0;  // the points
};

class EdgeShader {
  public:
    // `shape` is the letter shape, one byte a pixel, W x H, rows top first: a letter pixel is one
    // whose byte is not 255.
    EdgeShader(DibImage& image, const std::uint8_t* shape, const DibImage& texture,
               const EdgePassParams& p)
        : p_(p), sampler_(texture), shape_(shape) {
        W_ = DibWidth(image);
        H_ = DibHeight(image);
        imageBits_ = image.Bits.get();
        stride_ = image.Stride;

        fixedN_ = TruncSaturated(15.0L * static_cast<long double>(p_.widthFactor)) * p_.scale;
        background_[0] = p_.backgroundBlue;
        background_[1] = p_.backgroundGreen;
        background_[2] = p_.backgroundRed;
        useTexture_ = p_.backgroundIsTexture && sampler_.ok();
        rays_ = std::move(SpareRays());
        SpareRays().clear();
    }

    // The rays' lists of runs are kept for the next shader of the thread (a render's passes come
    // one after the other), unless they have grown large: every ray's list is cleared before its
    // runs are found, so only their memory is taken over.
    ~EdgeShader() {
        std::size_t runs = 0;
        for (const RayRuns& r : rays_)
            runs += r.runs.capacity();
        if (rays_.size() <= kSpareRays && runs <= kSpareRuns) SpareRays() = std::move(rays_);
    }

    EdgeShader(const EdgeShader&) = delete;
    EdgeShader& operator=(const EdgeShader&) = delete;

    void Run() {
        const std::int32_t o = TruncSaturated(
            std::sqrt(static_cast<long double>(W_) * W_ + static_cast<long double>(H_) * H_));
        const long double rad = static_cast<long double>(p_.theta) * kPi / 180.0L;
        const long double cs = std::cos(rad);
        const long double sn = std::sin(rad);
        const auto place = [&](std::int32_t x, std::int32_t y) {
            const long double lx = x;
            const long double ly = y;
            return TPoint{W_ / 2 + RoundToInt(lx * cs - ly * sn),
                          H_ / 2 + RoundToInt(lx * sn + ly * cs)};
        };
        const TPoint A = place(-o, -o);
        const TPoint B = place(o, -o);
        const TPoint D = place(-o, o);

        const std::vector<TPoint> start = SegmentOutline(A, B);
        ray_ = SegmentOutline(A, D);
        straight_ = ray_.size() >= 2;
        lineStep_ = straight_ ? TPoint{ray_[1].x - ray_[0].x, ray_[1].y - ray_[0].y} : TPoint{};
        if (std::abs(lineStep_.x) > 1 || std::abs(lineStep_.y) > 1 || lineStep_ == TPoint{})
            straight_ = false;
        for (std::size_t j = 1; straight_ && j < ray_.size(); ++j)
            straight_ = ray_[j].x - ray_[j - 1].x == lineStep_.x &&
                        ray_[j].y - ray_[j - 1].y == lineStep_.y;
        minX_ = std::min(ray_.front().x, ray_.back().x);
        maxX_ = std::max(ray_.front().x, ray_.back().x);
        minY_ = std::min(ray_.front().y, ray_.back().y);
        maxY_ = std::max(ray_.front().y, ray_.back().y);
        xIndex_.Make(ray_, [](const TPoint& p) { return std::int64_t(p.x); });
        yIndex_.Make(ray_, [](const TPoint& p) { return std::int64_t(p.y); });
        // Each template pixel as an offset into the letter shape; a ray adds its own offset.
        rayOffset_.resize(ray_.size());
        pixelOffset_.resize(ray_.size());
        for (std::size_t j = 0; j < ray_.size(); ++j) {
            rayOffset_[j] = std::int64_t(ray_[j].y) * W_ + ray_[j].x;
            pixelOffset_[j] =
                (std::int64_t(H_) - 1 - ray_[j].y) * stride_ + 3 * std::int64_t(ray_[j].x);
        }
        bandWidth_.assign(ray_.size() + 1, 0);
        for (std::size_t len = 1; len < bandWidth_.size(); ++len)
            bandWidth_[len] = p_.fixedWidth
                                  ? fixedN_
                                  : TruncSaturated(static_cast<long double>(len) *
                                                   static_cast<long double>(p_.widthFactor));

        // Rays cross each other's pixels, and a pixel shaded twice is shaded from its first
        // shading, so the order of the rays matters pixel by pixel. The rays are taken a round at
        // a time: their runs are found side by side (they only read the letter shape), then every
        // band of rows shades its own pixels of all the round's rays in the rays' order.
        bands_ = BandCount(H_, std::int64_t(W_) * H_);
        states_.resize(std::size_t(bands_));
        std::int32_t pdx = 0;
        std::int32_t pdy = 0;
        for (std::size_t k0 = 0; k0 < start.size(); k0 += kStepsPerRound) {
            calls_.clear();
            rayCount_ = 0;
            const std::size_t k1 = std::min(start.size(), k0 + kStepsPerRound);
            for (std::size_t k = k0; k < k1; ++k) {
                const std::int32_t dx = start[k].x - start[0].x;
                const std::int32_t dy = start[k].y - start[0].y;
                // The first two close the holes a diagonal step of the start line would leave
                // between neighbouring rays.
                AddCall(pdx, dy);
                AddCall(dx, pdy);
                AddCall(dx, dy);
                pdx = dx;
                pdy = dy;
            }
            // Rays near either end of the round may miss the image, so the bands take the rays
            // in turns, a few neighbours at a time, rather than one block each.
            const int rayBands = std::min<int>(bands_, std::max<int>(int(rayCount_), 1));
            RunBands(rayBands, [&](int band) {
                constexpr std::size_t kRaysInTurn = 64;
                const std::size_t step = std::size_t(rayBands) * kRaysInTurn;
                for (std::size_t r0 = std::size_t(band) * kRaysInTurn; r0 < rayCount_; r0 += step)
                    FindRunsTogether<kRaysInTurn>(r0, std::min(r0 + kRaysInTurn, rayCount_));
            });
            SplitRows();
            RunBands(bands_, [&](int band) {
                BandState& state = states_[std::size_t(band)];
                for (const RayCall& call : calls_)
                    ShadeCall(call, rowStart_[std::size_t(band)], rowStart_[std::size_t(band) + 1],
                              state);
            });
        }
    }

  private:
    // The rows of each band for the round's shading, split by the work its runs bring to each
    // row: a closed run is shaded at its two ends, as deep as its band width, an open one pixel
    // by pixel. A round's rays cross the image in a slanted strip, so a split made once for the
    // whole image would keep one band waiting for the other. Which band shades a pixel changes
    // nothing in it: the bands' tables hold only what every band would compute alike.
    void SplitRows() {
        rowStart_.assign(std::size_t(bands_) + 1, H_);
        rowStart_[0] = 0;
        if (bands_ == 1) return;
        // Work spread evenly over the rows of ray pixels [from, to], as differences by row.
        rowWork_.assign(std::size_t(H_) + 1, 0.0);
        const auto spread = [&](const RayRuns& r, std::size_t from, std::size_t to, double work) {
            std::int64_t a = std::int64_t(ray_[from].y) + r.oy;
            std::int64_t b = std::int64_t(ray_[to].y) + r.oy;
            if (a > b) std::swap(a, b);
            a = std::clamp<std::int64_t>(a, 0, H_ - 1);
            b = std::clamp<std::int64_t>(b, 0, H_ - 1);
            const double perRow = work / double(b - a + 1);
            rowWork_[std::size_t(a)] += perRow;
            rowWork_[std::size_t(b) + 1] -= perRow;
        };
        for (const RayCall& call : calls_) {
            const RayRuns& r = rays_[call.ray];
            for (const LetterRun& run : r.runs) {
                const std::size_t len = run.end - run.first;
                if (!run.closed) {
                    spread(r, run.first, run.end - 1, double(len) * call.times);
                    continue;
                }
                const std::size_t deep =
                    std::size_t(std::clamp<std::int64_t>(bandWidth_[len], 1, std::int64_t(len)));
                spread(r, run.first, run.first + deep - 1, double(deep) * call.times);
                spread(r, run.end - deep, run.end - 1, double(deep) * call.times);
            }
        }
        // The differences summed up into each row's work; a small share for every row besides,
        // so that rows without work still split evenly.
        double running = 0, all = 0;
        for (std::int32_t y = 0; y < H_; ++y) {
            running += rowWork_[std::size_t(y)];
            rowWork_[std::size_t(y)] = running;
            all += running;
        }
        const double base = all / H_ / 16 + 1;
        all += base * H_;
        double sum = 0;
        int band = 1;
        for (std::int32_t y = 0; y < H_ && band < bands_; ++y) {
            sum += rowWork_[std::size_t(y)] + base;
            while (band < bands_ && sum * bands_ >= all * band)
                rowStart_[std::size_t(band++)] = y + 1;
        }
    }

    // The indices j for which ray pixel j + (ox, oy) lies inside the image. The template is one
    // straight segment, so both coordinates are monotone along it and the inside part is a single
    // span. Walking only the span changes nothing: before it the state is still undefined, and
    // after it no run can be closed any more.
    std::pair<std::size_t, std::size_t> InsideSpan(std::int32_t ox, std::int32_t oy) const {
        const auto axis = [](const MonotoneIndex& index, std::int64_t off, std::int64_t size) {
            // Ascending, the span runs from the first pixel at 0 or beyond to the first beyond
            // size - 1; descending, from the first at size - 1 or below to the first below 0.
            const std::size_t lo =
                index.ascending ? index.First(-off) : index.First(size - 1 - off);
            const std::size_t hi =
                index.ascending ? index.First(size - off) : index.First(-off - 1);
            return std::pair<std::size_t, std::size_t>(lo, std::max(lo, hi));
        };
        const auto sx = axis(xIndex_, ox, W_);
        const auto sy = axis(yIndex_, oy, H_);
        const std::size_t lo = std::max(sx.first, sy.first);
        const std::size_t hi = std::min(sx.second, sy.second);
        return {lo, std::max(lo, hi)};
    }

    // The letter runs of a ray: ray pixels [first, end), closed by a pixel of the other kind, or
    // still open where the ray leaves the image.
    struct LetterRun {
        std::size_t first, end;
        bool closed;
    };
    struct RayRuns {
        std::int32_t ox = 0, oy = 0;
        std::vector<LetterRun> runs;
    };
    static std::vector<RayRuns>& SpareRays() {
        thread_local std::vector<RayRuns> spare;
        return spare;
    }
    // One shading of a ray of the round (rays_[ray]), or several of its line in a row; a ray comes
    // up to three times.
    struct RayCall {
        std::size_t ray;
        int times = 1;  // calls of the same pixels in a row, taken as one
        std::int64_t line = 0;
        bool wholeLine = false;
    };
    // What a band of rows keeps for itself: the band entries it has made, each width's in one
    // piece within large blocks. Large letters make hundreds of thousands of them; in blocks of
    // their own they lie in huge pages, a few page faults instead of one every 4 KiB.
    struct BandState {
        std::vector<BandEntry*> entries;  // by band width; null until made
        std::vector<ZeroedBlock> blocks;
        std::size_t capacity = 0;  // entries the last block holds
        std::size_t used = 0;      // entries made in the last block
        std::size_t tabled = 0;
    };

    // Run detection reads only the letter shape and shading writes only TextImage, and a ray never
    // meets a pixel twice, so a ray's runs are found first and then shaded. A run is closed only by
    // a pixel of the other kind; the run still open where the ray leaves the image keeps the pair
    // (1, 0) for each of its pixels. The state starts as neither kind, so the first pixel inside
    // never closes anything. When the start line runs along an axis, each ray comes three times
    // within two steps; its runs are found once.
    //
    // A template that is one straight step repeated (a row, a column, a diagonal) makes rays that
    // either share all their pixels in the image or none: a ray that enters and leaves the image
    // within the template meets the whole of its line there. Two such calls on one line with no
    // other call of that line between them find the same runs and shade each pixel alike, and
    // the calls between them touch other pixels, so the later one is taken as a second shading of
    // the earlier: the pixel is read and written once for both.
    void AddCall(std::int32_t ox, std::int32_t oy) {
        if (std::int64_t(maxX_) + ox < 0 || std::int64_t(minX_) + ox > W_ - 1 ||
            std::int64_t(maxY_) + oy < 0 || std::int64_t(minY_) + oy > H_ - 1)
            return;
        RayCall call{rayCount_};
        if (straight_) {
            const auto [lo, hi] = InsideSpan(ox, oy);
            call.wholeLine = lo > 0 && lo < hi && hi < ray_.size();
            call.line = std::int64_t(lineStep_.y) * (std::int64_t(ray_[0].x) + ox) -
                        std::int64_t(lineStep_.x) * (std::int64_t(ray_[0].y) + oy);
            for (std::size_t back = 1; back <= kLineLookBack && back <= calls_.size(); ++back) {
                RayCall& earlier = calls_[calls_.size() - back];
                if (earlier.line != call.line) continue;
                if (earlier.wholeLine && call.wholeLine) {
                    ++earlier.times;
                    return;
                }
                break;
            }
        }
        std::size_t ray = rayCount_;
        for (std::size_t back = 1; back <= 2 && back <= rayCount_; ++back) {
            const RayRuns& r = rays_[rayCount_ - back];
            if (r.ox == ox && r.oy == oy) ray = rayCount_ - back;
        }
        if (ray == rayCount_) {
            if (rays_.size() <= rayCount_) rays_.emplace_back();
            rays_[rayCount_].ox = ox;
            rays_[rayCount_].oy = oy;
            ++rayCount_;
        }
        call.ray = ray;
        calls_.push_back(call);
    }

    // The runs of rays_[r0, r1), r1 - r0 <= kMax, walked side by side: step j of every ray, then
    // step j + 1. Neighbouring rays lie side by side, so one step of them all reads a few cache
    // lines, where a walk of one whole ray after the other would meet a new row, and often a new
    // page, at every pixel.
    template <std::size_t kMax>
    void FindRunsTogether(std::size_t r0, std::size_t r1) {
        static_assert(kMax <= 64);  // one bit a ray
        std::size_t lo[kMax], hi[kMax], runStart[kMax];
        std::int64_t shift[kMax];
        alignas(16) std::uint8_t bytes[64];
        std::fill(std::begin(bytes), std::end(bytes), std::uint8_t(255));
        std::uint64_t state = 0;  // bit k: ray k is in a letter run
        std::size_t count = 0;
        std::size_t jlo = ray_.size(), jhi = 0;
        const std::uint8_t* letter = shape_;
        const std::int64_t* offset = rayOffset_.data();
        for (std::size_t r = r0; r < r1; ++r) {
            rays_[r].runs.clear();
            const auto [l, h] = InsideSpan(rays_[r].ox, rays_[r].oy);
            const std::size_t k = count++;
            lo[k] = l;
            hi[k] = h;
            runStart[k] = l;
            shift[k] = std::int64_t(rays_[r].oy) * W_ + rays_[r].ox;
            if (l < h && letter[offset[l] + shift[k]] != 255) state |= std::uint64_t(1) << k;
            if (l + 1 < h) {
                jlo = std::min(jlo, l + 1);
                jhi = std::max(jhi, h);
            }
        }
        const std::uint64_t all = count == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << count) - 1;
        // Steps (allLo, allHi) lie inside every ray; there the spans need no test.
        std::size_t allLo = 0, allHi = ray_.size();
        for (std::size_t k = 0; k < count; ++k) {
            allLo = std::max(allLo, lo[k]);
            allHi = std::min(allHi, hi[k]);
        }
        // Step j of the rays in `active`: the byte of each ray gathered, the letter bits found
        // sixteen at a time, and only the rays whose kind changed looked at one by one.
        // A ray outside its span at step j may point outside the shape: its byte is not read.
        const auto step = [&](std::size_t j, std::uint64_t active) {
            const std::int64_t at = offset[j];
            if (active == all) {
                for (std::size_t k = 0; k < count; ++k)
                    bytes[k] = letter[at + shift[k]];
            } else {
                for (std::size_t k = 0; k < count; ++k)
                    bytes[k] = active >> k & 1 ? letter[at + shift[k]] : std::uint8_t(255);
            }
            std::uint64_t changed = (LetterBits(bytes) ^ state) & active;
            state ^= changed;
            while (changed) {
                const int k = std::countr_zero(changed);
                changed &= changed - 1;
                // The bit is flipped already: a ray now outside a letter has just closed one.
                if (!(state >> k & 1))
                    rays_[r0 + std::size_t(k)].runs.push_back({runStart[k], j, true});
                runStart[k] = j;
            }
        };
        for (std::size_t j = jlo; j < jhi; ++j) {
            if (j > allLo && j < allHi) {
                step(j, all);
                continue;
            }
            std::uint64_t active = 0;
            for (std::size_t k = 0; k < count; ++k)
                if (j > lo[k] && j < hi[k]) active |= std::uint64_t(1) << k;
            step(j, active);
        }
        for (std::size_t k = 0; k < count; ++k)
            if (lo[k] < hi[k] && (state >> k & 1))
                rays_[r0 + k].runs.push_back({runStart[k], hi[k], false});
    }

    // The ray pixels j whose row ray_[j].y + oy lies in [y0, y1): one span, the template's rows
    // being monotone.
    std::pair<std::size_t, std::size_t> RowSpan(std::int32_t oy, std::int32_t y0,
                                                std::int32_t y1) const {
        const std::int64_t from = std::int64_t(y0) - oy, to = std::int64_t(y1) - oy;
        const std::size_t lo = yIndex_.ascending ? yIndex_.First(from) : yIndex_.First(to - 1);
        const std::size_t hi = yIndex_.ascending ? yIndex_.First(to) : yIndex_.First(from - 1);
        return {lo, std::max(lo, hi)};
    }

    // The pixels of one ray that lie in the rows [y0, y1).
    void ShadeCall(const RayCall& call, std::int32_t y0, std::int32_t y1, BandState& state) {
        const RayRuns& found = rays_[call.ray];
        if (found.runs.empty()) return;
        const std::int32_t ox = found.ox, oy = found.oy;
        if (std::int64_t(maxY_) + oy < y0 || std::int64_t(minY_) + oy >= y1) return;
        const auto [jlo, jhi] = RowSpan(oy, y0, y1);
        if (jlo >= jhi) return;
        for (const LetterRun& run : found.runs) {
            if (run.end <= jlo || run.first >= jhi) continue;
            if (run.closed) {
                ShadeRun(run.first, run.end, ox, oy, jlo, jhi, call.times, state);
            } else {
                for (int t = 0; t < call.times; ++t)
                    for (std::size_t j = std::max(run.first, jlo); j < std::min(run.end, jhi); ++j)
                        ShadeRunPixel(j, ox, oy, 1, 0, state);
            }
        }
    }

    // The closed letter run of ray pixels [first, end), as far as it lies in ray pixels [jlo,
    // jhi). Only its bands are visited: pixels with X < N are lit, then pixels with len - 1 - X < N
    // are shaded; the middle keeps its colours.
    void ShadeRun(std::size_t first, std::size_t end, std::int32_t ox, std::int32_t oy,
                  std::size_t jlo, std::size_t jhi, int times, BandState& state) {
        const std::int64_t len = std::int64_t(end - first);
        const std::int64_t N = bandWidth_[std::size_t(len)];
        if (N <= 0) return;
        BandEntry* row = EntriesFor(N, state);
        // The X whose pixel first + pos lies in [jlo, jhi).
        const std::int64_t inLo = p_.invers ? std::int64_t(end) - std::int64_t(jhi)
                                            : std::int64_t(jlo) - std::int64_t(first);
        const std::int64_t inHi = p_.invers ? std::int64_t(end) - std::int64_t(jlo)
                                            : std::int64_t(jhi) - std::int64_t(first);
        const std::int64_t litEnd = std::min(N, len);
        if (row && !(useTexture_ && (p_.background1 || p_.background2))) {
            // Pixel X of the run is ray pixel first + X, or end - 1 - X when inverted.
            const std::int64_t shift = 3 * std::int64_t(ox) - std::int64_t(oy) * stride_;
            const std::ptrdiff_t dj = p_.invers ? -1 : 1;
            const auto offsetOf = [&](std::int64_t X) {
                return pixelOffset_.data() +
                       (p_.invers ? std::int64_t(end) - 1 - X : std::int64_t(first) + X);
            };
            const std::int64_t litFrom = std::max<std::int64_t>(0, inLo);
            const std::int64_t litTo = std::min(litEnd, inHi);
            if (litFrom < litTo)
                ShadeSpanBest<true>({imageBits_, shift, offsetOf(litFrom), dj, row + litFrom, 1,
                                     litTo - litFrom, times});
            const std::int64_t shadedFrom = std::max({litEnd, len - N, inLo});
            const std::int64_t shadedTo = std::min(len, inHi);
            if (shadedFrom < shadedTo)
                ShadeSpanBest<false>({imageBits_, shift, offsetOf(shadedFrom), dj,
                                      row + (len - 1 - shadedFrom), -1, shadedTo - shadedFrom,
                                      times});
            return;
        }
        for (int t = 0; t < times; ++t)
            ShadeRunPixelByPixel(first, end, ox, oy, N, row, inLo, inHi);
    }

    void ShadeRunPixelByPixel(std::size_t first, std::size_t end, std::int32_t ox, std::int32_t oy,
                              std::int64_t N, BandEntry* row, std::int64_t inLo,
                              std::int64_t inHi) {
        const std::int64_t len = std::int64_t(end - first);
        const std::int64_t litEnd = std::min(N, len);
        for (std::int64_t X = std::max<std::int64_t>(0, inLo); X < std::min(litEnd, inHi); ++X) {
            const std::int64_t pos = p_.invers ? len - 1 - X : X;
            if (row) {
                ShadeAt(first + std::size_t(pos), ox, oy, row[X], true);
            } else {
                BandEntry e = MakeEntry(N, X);
                ShadeAt(first + std::size_t(pos), ox, oy, e, true);
            }
        }
        for (std::int64_t X = std::max({litEnd, len - N, inLo}); X < std::min(len, inHi); ++X) {
            const std::int64_t pos = p_.invers ? len - 1 - X : X;
            const std::int64_t V = len - 1 - X;
            if (row) {
                ShadeAt(first + std::size_t(pos), ox, oy, row[V], false);
            } else {
                BandEntry e = MakeEntry(N, V);
                ShadeAt(first + std::size_t(pos), ox, oy, e, false);
            }
        }
    }

    // One pixel with the pair (len, pos), by the general rule.
    void ShadeRunPixel(std::size_t j, std::int32_t ox, std::int32_t oy, std::int64_t len,
                       std::int64_t pos, BandState& state) {
        const std::int64_t N = p_.fixedWidth
                                   ? fixedN_
                                   : TruncSaturated(static_cast<long double>(len) *
                                                    static_cast<long double>(p_.widthFactor));
        const std::int64_t X = p_.invers ? len - 1 - pos : pos;
        if (X < N) {
            ShadePixel(j, ox, oy, N, X, true, state);
        } else if (len - 1 - X < N) {
            ShadePixel(j, ox, oy, N, len - 1 - X, false, state);
        }
    }

    // L for a pixel at distance V from the outer edge of a band of width N (N >= 1).
    long double Profile(EdgeProfile profile, bool inner, std::int64_t N, std::int64_t V) const {
        const long double f = p_.divisor;
        long double L = 0;
        switch (profile) {
            case kLinear:
                L = 196.0L / f;
                break;
            case kKonvex:
                L = static_cast<long double>((N - V) * 255) / static_cast<long double>(N) / f;
                break;
            case kKonkav: {
                const std::int64_t half = N / 2;
                const std::int64_t t = inner ? V - half : V + half;
                L = static_cast<long double>(t * 255) / static_cast<long double>(N) / f;
                break;
            }
            default:  // "Flach", and a list without a selection
                break;
        }
        return std::min(L, 255.0L);
    }

    BandEntry MakeEntry(std::int64_t N, std::int64_t V) const {
        const bool inner = V > N / 2;
        BandEntry e;
        e.tone = EdgeTone(Profile(inner ? p_.profile2 : p_.profile1, inner, N, V));
        e.fromBackground = inner ? p_.background2 : p_.background1;
        if (e.tone.HasFastForm() && !e.fromBackground) {
            e.keep = e.tone.FastKeep();
            e.light = e.tone.FastL();
        }
        if (e.fromBackground && !useTexture_)
            for (int lit = 0; lit < 2; ++lit)
                for (int ch = 0; ch < 3; ++ch)
                    e.backgroundBytes[lit][ch] = e.tone.Apply(background_[ch], lit != 0);
        return e;
    }

    // The entries of band width N, made when first met. Runs of the same length recur all over
    // the letters, so the divisions of the profiles are done once per width and distance; past
    // the budget (absurd widths), or without memory for a block, they are done per pixel.
    BandEntry* EntriesFor(std::int64_t N, BandState& state) const {
        if (N <= 0 || N >= std::int64_t(kMaxTabledWidth)) return nullptr;
        if (std::size_t(N) >= state.entries.size()) state.entries.resize(std::size_t(N) + 1);
        BandEntry*& row = state.entries[std::size_t(N)];
        if (!row) {
            if (state.tabled + std::size_t(N) > kMaxTabledEntries) return nullptr;
            if (state.blocks.empty() || state.used + std::size_t(N) > state.capacity) {
                // The first block is a small one from the heap, enough for the widths of small
                // letters: a mapped block costs a huge page cleared by the system at its first
                // touch. Entries are made before they are read, so no block is cleared.
                const bool small = state.blocks.empty() && std::size_t(N) <= kFirstBlockEntries;
                const std::size_t capacity = small ? kFirstBlockEntries : kEntriesPerBlock;
                ZeroedBlock block = small ? AllocateUncleared(capacity * sizeof(BandEntry))
                                          : AllocateZeroed(kMappedBlockBytes);
                if (!block) return nullptr;
                state.blocks.push_back(std::move(block));
                state.used = 0;
                state.capacity = capacity;
            }
            BandEntry* const first =
                reinterpret_cast<BandEntry*>(state.blocks.back().get()) + state.used;
            for (std::int64_t V = 0; V < N; ++V)
                new (first + V) BandEntry(MakeEntry(N, V));
            state.used += std::size_t(N);
            state.tabled += std::size_t(N);
            row = first;
        }
        return row;
    }

    // Shades ray pixel j in the lit (mixed toward white) or shaded (toward black) band of width
    // N, at distance V < N from the band's outer edge.
    void ShadePixel(std::size_t j, std::int32_t ox, std::int32_t oy, std::int64_t N, std::int64_t V,
                    bool lit, BandState& state) {
        if (BandEntry* row = EntriesFor(N, state)) {
            ShadeAt(j, ox, oy, row[V], lit);
        } else {
            BandEntry e = MakeEntry(N, V);
            ShadeAt(j, ox, oy, e, lit);
        }
    }

    void ShadeAt(std::size_t j, std::int32_t ox, std::int32_t oy, const BandEntry& e,
                 bool lit) const {
        // The template pixel's byte offset moved by the ray's offset; rows are stored bottom-up.
        std::uint8_t* px = imageBits_ + (pixelOffset_[j] - std::int64_t(oy) * stride_ + 3 * ox);
        std::uint8_t source[3] = {px[0], px[1], px[2]};
        if (e.fromBackground) {
            if (useTexture_) {
                sampler_.Sample(ray_[j].x + ox, ray_[j].y + oy, source);
            } else {
                source[0] = background_[0];
                source[1] = background_[1];
                source[2] = background_[2];
            }
        }
        px[0] = e.tone.Apply(source[0], lit);
        px[1] = e.tone.Apply(source[1], lit);
        px[2] = e.tone.Apply(source[2], lit);
    }

    // Steps of the start line a round takes: its runs are kept until the round is shaded.
    static constexpr std::size_t kStepsPerRound = 8192;
    // How far back a call looks for the last call of its line (a step of the start line makes
    // three calls, and a line comes back within two steps).
    static constexpr std::size_t kLineLookBack = 8;
    static constexpr std::size_t kMaxTabledWidth = std::size_t(1) << 16;
    static constexpr std::size_t kMaxTabledEntries = std::size_t(1) << 20;
    // A block mapped on its own: its entries in huge pages, up to the widest band width.
    static constexpr std::size_t kEntriesPerBlock = kMappedBlockBytes / sizeof(BandEntry);
    static_assert(kEntriesPerBlock >= kMaxTabledWidth);
    static constexpr std::size_t kFirstBlockEntries = 4096;
    static constexpr std::size_t kSpareRays = std::size_t(1) << 15;
    static constexpr std::size_t kSpareRuns = std::size_t(1) << 18;
    static_assert(std::is_trivially_destructible_v<BandEntry>);

    const EdgePassParams& p_;
    TextureSampler sampler_;
    bool useTexture_ = false;
    std::int32_t W_ = 0;
    std::int32_t H_ = 0;
    std::uint8_t* imageBits_ = nullptr;
    std::int64_t stride_ = 0;
    std::vector<std::int64_t> pixelOffset_;  // byte offset in TextImage of each template pixel
    const std::uint8_t* shape_;
    std::vector<TPoint> ray_;
    bool straight_ = false;  // the template repeats one step, lineStep_
    TPoint lineStep_{};
    std::int32_t minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;  // the template's bounding box
    MonotoneIndex xIndex_, yIndex_;  // where the template's columns and rows are first met
    std::vector<RayRuns> rays_;      // the distinct rays of the round, rayCount_ of them in use
    std::size_t rayCount_ = 0;
    std::vector<RayCall> calls_;
    int bands_ = 1;
    std::vector<std::int32_t> rowStart_;  // band b shades rows [rowStart_[b], rowStart_[b + 1])
    std::vector<double> rowWork_;
    std::vector<BandState> states_;
    std::vector<std::int64_t> rayOffset_;
    std::vector<std::int64_t> bandWidth_;  // N by run length
    std::int32_t fixedN_ = 0;
    std::uint8_t background_[3] = {0, 0, 0};
};

bool Is24BitImage(const DibImage& dib) {
    const std::int32_t w = DibWidth(dib);
    return dib.Bits && w >= 1 && DibHeight(dib) >= 1 && DibBitCount(dib) == 24 &&
           dib.Stride >= DibStride(w, 24);
}

}  // namespace

EdgeTone::EdgeTone(long double L) : L_(L), keep_(1.0L - L / 255.0L) {
    // Also false for an infinite or undefined light. Apply() needs doubles computed as doubles
    // (no wider registers), or its rounding by adding 1.5 x 2^52 would not round.
    if (FLT_EVAL_METHOD == 0 && 255.0L * std::fabs(keep_) + std::fabs(L_) <= 1048576.0L) {
        fastL_ = static_cast<double>(L_);
        fastKeep_ = static_cast<double>(keep_);
        nearHalf_ = kNearHalf;
    }
}

std::uint8_t EdgeTone::Exact(std::uint8_t s, bool lit) const {
    const long double v = static_cast<long double>(s) * keep_;
    return exact::RoundToByte(lit ? v + L_ : v);
}

void EdgePass(DibImage& TextImage, const DibImage& TextMask, const DibImage& BackgroundTexture,
              const EdgePassParams& params, const RenderOptions& options) {
    if (!Is24BitImage(TextImage) || !Is24BitImage(TextMask)) return;
    // The letter shape, read once from the blue bytes. A mask smaller than the image has no
    // letters where it does not reach.
    const std::int32_t W = DibWidth(TextImage);
    const std::int32_t H = DibHeight(TextImage);
    std::vector<std::uint8_t> shape(std::size_t(W) * std::size_t(H), 255);
    const std::int32_t mw = std::min(DibWidth(TextMask), W);
    const std::int32_t mh = std::min(DibHeight(TextMask), H);
    for (std::int32_t y = 0; y < mh; ++y) {
        const std::uint8_t* m = TextMask.Row(y);
        std::uint8_t* l = shape.data() + std::size_t(y) * std::size_t(W);
        for (std::int32_t x = 0; x < mw; ++x)
            l[x] = m[3 * std::size_t(x)];
    }
    EdgePassOnShape(TextImage, shape.data(), BackgroundTexture, params, options);
}

void EdgePassOnShape(DibImage& TextImage, const std::uint8_t* shape,
                     const DibImage& BackgroundTexture, const EdgePassParams& params,
                     const RenderOptions& options) {
    // Without a readable image there is nothing to shade; an angle that is no number has no rays.
    if (!Is24BitImage(TextImage) || !shape) return;
    if (!std::isfinite(params.theta)) return;
    if (options.plainStages)
        return EdgePassOnShapePlain(TextImage, shape, BackgroundTexture, params);
    EdgeShader shader(TextImage, shape, BackgroundTexture, params);
    shader.Run();
}

void EdgePassOnShapePlain(DibImage& TextImage, const std::uint8_t* shape,
                          const DibImage& BackgroundTexture, const EdgePassParams& p) {
    if (!Is24BitImage(TextImage) || !shape || !std::isfinite(p.theta)) return;
    const std::int32_t W = DibWidth(TextImage);
    const std::int32_t H = DibHeight(TextImage);
    const auto inside = [&](TPoint q) { return q.x >= 0 && q.y >= 0 && q.x < W && q.y < H; };
    const auto isLetter = [&](TPoint q) {
        return shape[std::size_t(q.y) * std::size_t(W) + std::size_t(q.x)] != 255;
    };
    const TextureSampler sampler(BackgroundTexture);
    const bool useTexture = p.backgroundIsTexture && sampler.ok();

    // Ray geometry: the start line A-B and the ray template A-D of the square turned by theta.
    const std::int32_t o = TruncSaturated(
        std::sqrt(static_cast<long double>(W) * W + static_cast<long double>(H) * H));
    const long double rad = static_cast<long double>(p.theta) * kPi / 180.0L;
    const auto place = [&](std::int32_t x, std::int32_t y) {
        const long double lx = x, ly = y;
        return TPoint{W / 2 + RoundToInt(lx * std::cos(rad) - ly * std::sin(rad)),
                      H / 2 + RoundToInt(lx * std::sin(rad) + ly * std::cos(rad))};
    };
    const std::vector<TPoint> start = SegmentOutline(place(-o, -o), place(o, -o));
    const std::vector<TPoint> ray = SegmentOutline(place(-o, -o), place(-o, o));

    const auto profile = [&](EdgeProfile index, bool inner, std::int64_t N, std::int64_t V) {
        const long double f = p.divisor;
        long double L = 0;
        if (index == kLinear) L = 196.0L / f;
        if (index == kKonvex)
            L = static_cast<long double>((N - V) * 255) / static_cast<long double>(N) / f;
        if (index == kKonkav) {
            const std::int64_t t = inner ? V - N / 2 : V + N / 2;
            L = static_cast<long double>(t * 255) / static_cast<long double>(N) / f;
        }
        return std::min(L, 255.0L);
    };
    const auto toByte = [](long double v) {
        const long double r = std::nearbyint(v);
        if (!(r > 0)) return std::uint8_t(0);
        return r >= 255 ? std::uint8_t(255) : static_cast<std::uint8_t>(r);
    };
    const auto shade = [&](TPoint q, std::int64_t N, std::int64_t V, bool lit) {
        const bool inner = V > N / 2;
        const long double L = profile(inner ? p.profile2 : p.profile1, inner, N, V);
        std::uint8_t* px = TextImage.Row(q.y) + 3 * std::size_t(q.x);
        std::uint8_t source[3] = {px[0], px[1], px[2]};
        if (inner ? p.background2 : p.background1) {
            if (useTexture) {
                sampler.Sample(q.x, q.y, source);
            } else {
                source[0] = p.backgroundBlue;
                source[1] = p.backgroundGreen;
                source[2] = p.backgroundRed;
            }
        }
        for (int ch = 0; ch < 3; ++ch) {
            const long double v = static_cast<long double>(source[ch]) * (1.0L - L / 255.0L);
            px[ch] = toByte(lit ? v + L : v);
        }
    };

    struct Pair {
        std::int64_t len = 1, pos = 0;
    };
    std::vector<Pair> pairs(ray.size());
    const auto processRay = [&](std::int32_t ox, std::int32_t oy) {
        const auto at = [&](std::size_t j) { return TPoint{ray[j].x + ox, ray[j].y + oy}; };
        // Run detection; the state starts as neither kind.
        std::fill(pairs.begin(), pairs.end(), Pair{});
        std::int64_t c = 0;
        int state = -1;
        for (std::size_t j = 0; j < ray.size(); ++j) {
            if (!inside(at(j))) {
                c = 0;
                continue;
            }
            const int letter = isLetter(at(j)) ? 1 : 0;
            if (letter == state) {
                ++c;
            } else {
                for (std::int64_t i = 0; i < c; ++i)
                    pairs[j - std::size_t(c - i)] = Pair{c, i};
                c = 1;
            }
            state = letter;
        }
        // Shading of the letter pixels by their pairs.
        for (std::size_t j = 0; j < ray.size(); ++j) {
            if (!inside(at(j)) || !isLetter(at(j))) continue;
            const auto [len, pos] = pairs[j];
            const std::int64_t N =
                p.fixedWidth
                    ? TruncSaturated(15.0L * static_cast<long double>(p.widthFactor)) * p.scale
                    : TruncSaturated(static_cast<long double>(len) *
                                     static_cast<long double>(p.widthFactor));
            const std::int64_t X = p.invers ? len - 1 - pos : pos;
            if (X < N)
                shade(at(j), N, X, true);
            else if (len - 1 - X < N)
                shade(at(j), N, len - 1 - X, false);
        }
    };

    std::int32_t pdx = 0, pdy = 0;
    for (const TPoint& sk : start) {
        const std::int32_t dx = sk.x - start[0].x, dy = sk.y - start[0].y;
        processRay(pdx, dy);
        processRay(dx, pdy);
        processRay(dx, dy);
        pdx = dx;
        pdy = dy;
    }
}

std::vector<EdgePassParams> EdgePasses(const Lettering& lettering, std::int32_t scale) {
    const LetteringSettings& s = lettering.settings;
    EdgePassParams base;
    base.scale = scale;
    base.widthFactor = static_cast<double>(static_cast<long double>(s.KBreiteEd) / 200.0L);
    base.invers = s.Invers1Check;
    base.fixedWidth = s.KFixedWCheck;
    // Any other index (a list without a selection) is shaded as "Flach".
    base.profile1 = static_cast<EdgeProfile>(s.Profil1Box);
    base.profile2 = static_cast<EdgeProfile>(s.Profil2Box);
    base.background1 = s.BkGnd1;
    base.background2 = s.BkGnd2;
    base.backgroundIsTexture = s.SurfaceFrame2.IsTexture();
    base.backgroundRed = GetRValue(s.SurfaceFrame2.color);
    base.backgroundGreen = GetGValue(s.SurfaceFrame2.color);
    base.backgroundBlue = GetBValue(s.SurfaceFrame2.color);

    const long double strength = static_cast<long double>(s.KLichtEd) / 100.0L;
    const long double angle = s.KWinkEd;
    const auto pass = [&](long double theta, long double divisor) {
        EdgePassParams p = base;
        p.theta = static_cast<double>(theta);
        p.divisor = static_cast<double>(divisor);
        return p;
    };
    if (s.KQualCheck) {
        const long double side = (30.0L / 7.0L) / strength;
        return {pass(angle - 45, side), pass(angle + 45, side), pass(angle, 3.0L / strength)};
    }
    return {pass(angle, 1.0L / strength)};
}

}  // namespace gw
