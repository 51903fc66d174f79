#include "raster/RowDeflate.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gw::imagefiles {

namespace {

// Deflate looks back at most this far and copies at most this much at once.
constexpr std::size_t kWindow = 32768;
constexpr std::size_t kMaxMatch = 258;
// Symbols a block collects before it is coded: enough that its code table costs little, few
// enough that its codes follow the picture's changes.
constexpr std::size_t kBlockSymbols = 16384;
// A match a row up saves little unless it is longer than this: its distance costs many bits.
constexpr std::size_t kMinUp = 4;
// Matches found through the hash, at any distance, are at least this long: the hash is that of
// their first bytes.
constexpr std::size_t kHashed = 6;
constexpr std::uint64_t kHashedMask = ~std::uint64_t(0) >> (64 - 8 * kHashed);
constexpr int kHashBits = 14;
constexpr std::size_t kHashSlots = std::size_t(1) << kHashBits;

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                           15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                           67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// The order in which a block header gives the lengths of the code-length code.
constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                               11, 4,  12, 3, 13, 2, 14, 1, 15};

struct LengthCodes {
    std::uint8_t code[kMaxMatch + 1] = {};  // of each match length, 0 to 28
    constexpr LengthCodes() {
        for (int c = 0; c < 28; ++c)
            for (int length = kLengthBase[c]; length < kLengthBase[c + 1]; ++length)
                code[length] = std::uint8_t(c);
        code[kMaxMatch] = 28;
    }
};
constexpr LengthCodes kLengthCodes;

unsigned DistanceCode(std::size_t distance) {
    const unsigned v = unsigned(distance - 1);
    if (v < 4) return v;
    const int top = std::bit_width(v) - 1;
    return unsigned(2 * top) + ((v >> (top - 1)) & 1);
}

int DistanceExtra(unsigned code) {
    return code < 4 ? 0 : int(code / 2 - 1);
}

unsigned DistanceBase(unsigned code) {
    return code < 4 ? code + 1 : 1 + ((2 + (code & 1)) << (code / 2 - 1));
}

int FixedLiteralLength(int symbol) {
    return symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
}

std::uint64_t Load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// How many bytes from `a` equal those from `b`, up to `most`.
std::size_t MatchLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t most) {
    std::size_t n = 0;
#if defined(__SSE2__)
    while (n + 16 <= most) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + n));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + n));
        const unsigned differ = ~unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(x, y))) & 0xFFFF;
        if (differ) return n + std::size_t(std::countr_zero(differ));
        n += 16;
    }
#endif
    if constexpr (std::endian::native == std::endian::little) {
        while (n + 8 <= most) {
            std::uint64_t x, y;
            std::memcpy(&x, a + n, 8);
            std::memcpy(&y, b + n, 8);
            if (x != y) return n + std::size_t(std::countr_zero(x ^ y) / 8);
            n += 8;
        }
    }
    while (n < most && a[n] == b[n])
        ++n;
    return n;
}

// The canonical codes of the lengths, bit-reversed as deflate sends them.
void MakeCodes(const std::uint8_t* lengths, int n, std::uint16_t* codes) {
    int perLength[16] = {};
    for (int s = 0; s < n; ++s)
        ++perLength[lengths[s]];
    perLength[0] = 0;
    unsigned next[16] = {};
    unsigned code = 0;
    for (int l = 1; l <= 15; ++l) {
        code = (code + unsigned(perLength[l - 1])) << 1;
        next[l] = code;
    }
    for (int s = 0; s < n; ++s) {
        const int l = lengths[s];
        if (!l) continue;
        const unsigned c = next[l]++;
        unsigned reversed = 0;
        for (int b = 0; b < l; ++b)
            reversed |= ((c >> b) & 1) << (l - 1 - b);
        codes[s] = std::uint16_t(reversed);
    }
}

// Writes bits from the lowest up. Each value is stored as eight bytes at once and the whole ones
// kept, so the caller makes room for eight bytes more than the bits take.
struct BitWriter {
    std::uint8_t* at;
    std::uint64_t bits;
    int count;  // never more than 7 between values

    void Put(std::uint64_t value, int n) {
        bits |= value << count;
        count += n;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(at, &bits, 8);
        } else {
            for (int b = 0; b < 8; ++b)
                at[b] = std::uint8_t(bits >> (8 * b));
        }
        at += count >> 3;
        bits >>= count & ~7;
        count &= 7;
    }

    // Writes what is left as a whole byte, filled up with zero bits.
    void Align() {
        if (count > 0) *at++ = std::uint8_t(bits);
        bits = 0;
        count = 0;
    }
};

#if defined(__SSE2__)
// The positions among the 14 from `p` at which three bytes equal those `up` (when not 0) and
// `left` bytes before them, one bit each.
unsigned MatchStarts(const std::uint8_t* p, std::size_t up, std::size_t left) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto same = [&](std::size_t back) {
        const __m128i there = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - back));
        const unsigned m = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(here, there)));
        return m & (m >> 1) & (m >> 2);
    };
    unsigned starts = same(left);
    if (up) starts |= same(up);
    return starts & 0x3FFF;
}
#endif

}  // namespace

RowDeflater::RowDeflater()
    : symbols_(std::make_unique_for_overwrite<Symbol[]>(kBlockSymbols)),
      hash_(std::make_unique_for_overwrite<std::uint32_t[]>(kHashSlots)) {}

void RowDeflater::MakeRoom(std::size_t bytes) {
    if (capacity_ - outEnd_ >= bytes) return;
    const std::size_t capacity = std::max(outEnd_ + bytes, capacity_ + capacity_ / 2);
    auto grown = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    std::copy_n(buffer_.get(), outEnd_, grown.get());
    buffer_ = std::move(grown);
    capacity_ = capacity;
}

inline void RowDeflater::Literals(const std::uint8_t* from, std::size_t count) {
    while (count) {
        const std::size_t n = std::min(count, kBlockSymbols - used_);
        Symbol* s = symbols_.get() + used_;
        for (std::size_t k = 0; k < n; ++k) {
            s[k] = {from[k], 0};
            ++literalCounts_[from[k]];
        }
        used_ += n;
        from += n;
        count -= n;
        if (used_ == kBlockSymbols) FlushBlock(false);
    }
}

inline void RowDeflater::Match(std::size_t length, std::size_t distance) {
    symbols_[used_++] = {std::uint16_t(256 + length - 3), std::uint16_t(distance)};
    ++literalCounts_[257 + kLengthCodes.code[length]];
    ++distanceCounts_[DistanceCode(distance)];
    if (used_ == kBlockSymbols) FlushBlock(false);
}

void RowDeflater::FlushBlock(bool final) {
    literalCounts_[256] = 1;  // the end of the block
    std::uint8_t literalLengths[288], distanceLengths[30];
    HuffmanLengths(literalCounts_, 286, 15, literalLengths);
    HuffmanLengths(distanceCounts_, 30, 15, distanceLengths);

    int literalsGiven = 286, distancesGiven = 30;
    while (literalsGiven > 257 && !literalLengths[literalsGiven - 1])
        --literalsGiven;
    while (distancesGiven > 1 && !distanceLengths[distancesGiven - 1])
        --distancesGiven;
    // Both lists of lengths as one, run-length coded with the code-length code's repeats.
    std::uint8_t all[286 + 30];
    const int allCount = literalsGiven + distancesGiven;
    std::copy_n(literalLengths, literalsGiven, all);
    std::copy_n(distanceLengths, distancesGiven, all + literalsGiven);
    struct Run {
        std::uint8_t code, extra;
    };
    Run runs[286 + 30];
    int runCount = 0;
    std::uint32_t runCounts[19] = {};
    const auto add = [&](int code, int extra) {
        runs[runCount++] = {std::uint8_t(code), std::uint8_t(extra)};
        ++runCounts[code];
    };
    for (int i = 0; i < allCount;) {
        const int value = all[i];
        int same = 1;
        while (i + same < allCount && all[i + same] == value)
            ++same;
        i += same;
        if (value == 0) {
            for (; same >= 11; same -= std::min(same, 138))
                add(18, std::min(same, 138) - 11);
            if (same >= 3) {
                add(17, same - 3);
                same = 0;
            }
        } else {
            add(value, 0);
            --same;
            for (; same >= 3; same -= std::min(same, 6))
                add(16, std::min(same, 6) - 3);
        }
        for (; same > 0; --same)
            add(value, 0);
    }
    std::uint8_t runLengths[19];
    HuffmanLengths(runCounts, 19, 7, runLengths);
    int runLengthsGiven = 19;
    while (runLengthsGiven > 4 && !runLengths[kCodeLengthOrder[runLengthsGiven - 1]])
        --runLengthsGiven;

    // The block's size in bits with its own codes and with the fixed ones.
    std::uint64_t dynamicBits = 3 + 5 + 5 + 4 + 3 * std::uint64_t(runLengthsGiven);
    for (int r = 0; r < runCount; ++r) {
        const int code = runs[r].code;
        dynamicBits += runLengths[code] + (code == 16 ? 2 : code == 17 ? 3 : code == 18 ? 7 : 0);
    }
    std::uint64_t fixedBits = 3;
    for (int s = 0; s < 286; ++s) {
        const std::uint64_t extra = s > 256 ? kLengthExtra[s - 257] : 0;
        dynamicBits += literalCounts_[s] * (literalLengths[s] + extra);
        fixedBits += literalCounts_[s] * (FixedLiteralLength(s) + extra);
    }
    for (unsigned c = 0; c < 30; ++c) {
        const std::uint64_t extra = std::uint64_t(DistanceExtra(c));
        dynamicBits += distanceCounts_[c] * (distanceLengths[c] + extra);
        fixedBits += distanceCounts_[c] * (5 + extra);
    }
    // The fixed code has two more symbols, never sent, which still take their place among the
    // codes of their length.
    const bool fixed = fixedBits <= dynamicBits;
    if (fixed) {
        for (int s = 0; s < 288; ++s)
            literalLengths[s] = std::uint8_t(FixedLiteralLength(s));
        std::fill_n(distanceLengths, 30, 5);
    }
    std::uint16_t literalCodes[288], distanceCodes[30];
    MakeCodes(literalLengths, fixed ? 288 : 286, literalCodes);
    MakeCodes(distanceLengths, 30, distanceCodes);

    // Room for the block and a few bytes more, which the writer's four-byte steps may touch.
    MakeRoom((std::size_t(fixed ? fixedBits : dynamicBits) + std::size_t(bitCount_)) / 8 + 16);
    BitWriter w{buffer_.get() + outEnd_, bits_, bitCount_};
    w.Put((final ? 1 : 0) | (fixed ? 1 : 2) << 1, 3);
    if (!fixed) {
        std::uint16_t runCodes[19];
        MakeCodes(runLengths, 19, runCodes);
        w.Put(unsigned(literalsGiven - 257), 5);
        w.Put(unsigned(distancesGiven - 1), 5);
        w.Put(unsigned(runLengthsGiven - 4), 4);
        for (int k = 0; k < runLengthsGiven; ++k)
            w.Put(runLengths[kCodeLengthOrder[k]], 3);
        for (int r = 0; r < runCount; ++r) {
            const int code = runs[r].code;
            w.Put(runCodes[code], runLengths[code]);
            if (code >= 16) w.Put(runs[r].extra, code == 16 ? 2 : code == 17 ? 3 : 7);
        }
    }
    for (std::size_t k = 0; k < used_; ++k) {
        const Symbol s = symbols_[k];
        if (s.distance == 0) {
            w.Put(literalCodes[s.value], literalLengths[s.value]);
            continue;
        }
        const unsigned length = s.value - 256u + 3u;
        const unsigned c = kLengthCodes.code[length];
        w.Put(literalCodes[257 + c] | std::uint64_t(length - kLengthBase[c])
                                          << literalLengths[257 + c],
              literalLengths[257 + c] + kLengthExtra[c]);
        const unsigned d = DistanceCode(s.distance);
        w.Put(distanceCodes[d] | std::uint64_t(s.distance - DistanceBase(d)) << distanceLengths[d],
              distanceLengths[d] + DistanceExtra(d));
    }
    w.Put(literalCodes[256], literalLengths[256]);
    outEnd_ = std::size_t(w.at - buffer_.get());
    bits_ = w.bits;
    bitCount_ = w.count;

    used_ = 0;
    std::fill_n(literalCounts_, 286, 0);
    std::fill_n(distanceCounts_, 30, 0);
}

void RowDeflater::Deflate(const std::uint8_t* data, std::size_t size, std::size_t history,
                          std::size_t rowBytes, std::size_t pixelBytes, bool last,
                          std::vector<std::uint8_t>& out) {
    const std::uint8_t* const base = data - history;
    const std::size_t end = history + size;
    const std::size_t up = rowBytes <= kWindow ? rowBytes : 0;
    const std::size_t left = pixelBytes;
    std::fill_n(hash_.get(), kHashSlots, 0);
    outEnd_ = 0;
    bits_ = 0;
    bitCount_ = 0;
    used_ = 0;
    // Room for the blocks of data that does not shrink, taken at once: a buffer grown block by
    // block would be copied each time.
    MakeRoom(size + size / 8 + 1024);
    std::fill_n(literalCounts_, 286, 0);
    std::fill_n(distanceCounts_, 30, 0);

    // A match at `i` through the hash of its first four bytes, whose place the hash then holds.
    // Any earlier position within the window will do: the bytes are compared.
    std::size_t hashedLength = 0, hashedDistance = 0;
    const auto hashed = [&](std::size_t i) {
        hashedLength = 0;
        if (i + 8 > end) return false;
        const std::uint64_t key = Load64(base + i) & kHashedMask;
        std::uint32_t& slot = hash_[(key * 0x9E3779B97F4A7C15u) >> (64 - kHashBits)];
        const std::size_t there = slot;
        slot = std::uint32_t(i);
        if (there >= i || i - there > kWindow || (Load64(base + there) & kHashedMask) != key)
            return false;
        hashedLength = kHashed + MatchLength(base + i + kHashed, base + there + kHashed,
                                             std::min(kMaxMatch, end - i) - kHashed);
        hashedDistance = i - there;
        return true;
    };

    std::size_t i = history;
    std::size_t pending = i;  // the first literal not yet collected
    const std::size_t reach = std::max(up, left);
    while (i < end) {
#if defined(__SSE2__)
        if (i >= reach && i + 16 <= end) {
            // Where the next match a pixel left or a row up may start: the hash is tried at each
            // byte before it.
            const unsigned starts = MatchStarts(base + i, up, left);
            const std::size_t stop = i + (starts ? std::size_t(std::countr_zero(starts)) : 14);
            bool found = false;
            while (i < stop && !(found = hashed(i)))
                ++i;
            if (found) {
                Literals(base + pending, i - pending);
                Match(hashedLength, hashedDistance);
                i += hashedLength;
                pending = i;
                continue;
            }
            if (!starts) continue;
        }
#endif
        // The nearest distance first, as it costs the fewest bits: a longer match farther back
        // is only looked for while the nearer ones fall short.
        const std::size_t most = std::min(kMaxMatch, end - i);
        std::size_t length = 0, distance = 0;
        if (i >= left) {
            const std::size_t n = MatchLength(base + i, base + i - left, most);
            if (n >= 3) {
                length = n;
                distance = left;
            }
        }
        if (up && i >= up && length < most) {
            const std::size_t n = MatchLength(base + i, base + i - up, most);
            if (n >= kMinUp && n > length) {
                length = n;
                distance = up;
            }
        }
        if (length < most && hashed(i) && hashedLength > length) {
            length = hashedLength;
            distance = hashedDistance;
        }
        if (!length) {
            ++i;
            continue;
        }
        Literals(base + pending, i - pending);
        Match(length, distance);
        i += length;
        pending = i;
    }
    Literals(base + pending, end - pending);
    FlushBlock(last);
    MakeRoom(16);
    BitWriter w{buffer_.get() + outEnd_, bits_, bitCount_};
    if (!last) {
        // An empty stored block: its length and the length's complement follow on a byte
        // boundary.
        w.Put(0, 3);
        w.Align();
        for (std::uint8_t b : {0x00, 0x00, 0xFF, 0xFF})
            *w.at++ = b;
    }
    w.Align();
    out.insert(out.end(), buffer_.get(), w.at);
}

// A Huffman code, its longest codes folded into the limit when it has any longer.
void HuffmanLengths(const std::uint32_t* counts, int n, int limit, std::uint8_t* lengths) {
    std::fill(lengths, lengths + n, 0);
    int order[286];
    int used = 0;
    for (int s = 0; s < n; ++s)
        if (counts[s]) order[used++] = s;
    if (used < 2) {
        const int a = used ? order[0] : 0;
        lengths[a] = 1;
        lengths[a == 0 ? 1 : 0] = 1;
        return;
    }
    std::sort(order, order + used, [counts](int a, int b) {
        return counts[a] != counts[b] ? counts[a] < counts[b] : a < b;
    });
    // The leaves in rising order of weight and the inner nodes, which are made in rising order
    // too: the two lightest of both queues are joined each time.
    std::uint64_t weight[2 * 286];
    int parent[2 * 286];
    for (int k = 0; k < used; ++k)
        weight[k] = counts[order[k]];
    int leaf = 0, inner = used;
    const int root = 2 * used - 2;
    for (int next = used; next <= root; ++next) {
        int pair[2];
        for (int& taken : pair) {
            if (leaf < used && (inner >= next || weight[leaf] <= weight[inner]))
                taken = leaf++;
            else
                taken = inner++;
        }
        weight[next] = weight[pair[0]] + weight[pair[1]];
        parent[pair[0]] = parent[pair[1]] = next;
    }
    int depth[2 * 286];
    int perLength[2 * 286] = {};
    depth[root] = 0;
    int longest = 0;
    for (int k = root - 1; k >= 0; --k) {
        depth[k] = depth[parent[k]] + 1;
        if (k < used) {
            ++perLength[depth[k]];
            longest = std::max(longest, depth[k]);
        }
    }
    if (longest > limit) {
        // Codes longer than the limit become codes of the limit, which overfills the code; then
        // each step lengthens one shorter code by a bit, which makes room for one code of the
        // limit, until the code is exactly full again.
        for (int l = limit + 1; l <= longest; ++l) {
            perLength[limit] += perLength[l];
            perLength[l] = 0;
        }
        std::uint32_t total = 0;
        for (int l = 1; l <= limit; ++l)
            total += std::uint32_t(perLength[l]) << (limit - l);
        while (total > (std::uint32_t(1) << limit)) {
            --perLength[limit];
            for (int l = limit - 1; l > 0; --l) {
                if (perLength[l]) {
                    --perLength[l];
                    perLength[l + 1] += 2;
                    break;
                }
            }
            --total;
        }
        longest = limit;
    }
    // The rarest symbols take the longest codes.
    int k = 0;
    for (int l = longest; l >= 1; --l)
        for (int c = perLength[l]; c > 0; --c)
            lengths[order[k++]] = std::uint8_t(l);
}

std::uint32_t Adler32(std::uint32_t adler, const std::uint8_t* data, std::size_t size) {
    constexpr std::uint32_t kBase = 65521;
    // The most bytes after which the sums, started below kBase, still fit 32 bits.
    constexpr std::size_t kRun = 5552;
    std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
#if defined(__SSE2__)
    // Sixteen bytes a step: the sum of the bytes, the sum of those sums before each step, and
    // the bytes weighted by their place in the step (16 for the first, 1 for the last).
    const __m128i zero = _mm_setzero_si128();
    const __m128i firstHalf = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i secondHalf = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    while (size >= 16) {
        const std::size_t n = std::min(size, kRun) & ~std::size_t(15);
        __m128i sums = zero, before = zero, weighted = zero;
        for (std::size_t k = 0; k < n; k += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + k));
            before = _mm_add_epi32(before, sums);
            sums = _mm_add_epi32(sums, _mm_sad_epu8(x, zero));
            weighted =
                _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(x, zero), firstHalf));
            weighted =
                _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(x, zero), secondHalf));
        }
        const auto total = [](__m128i v) {
            v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0x4E));
            v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0xB1));
            return std::uint64_t(std::uint32_t(_mm_cvtsi128_si32(v)));
        };
        b = std::uint32_t((b + std::uint64_t(a) * n + 16 * total(before) + total(weighted)) %
                          kBase);
        a = std::uint32_t((a + total(sums)) % kBase);
        data += n;
        size -= n;
    }
#endif
    while (size) {
        const std::size_t n = std::min(size, kRun);
        for (std::size_t k = 0; k < n; ++k) {
            a += data[k];
            b += a;
        }
        a %= kBase;
        b %= kBase;
        data += n;
        size -= n;
    }
    return a | b << 16;
}

}  // namespace gw::imagefiles
