#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "raster/RowDeflate.h"

namespace gw {
namespace {

using imagefiles::RowDeflater;

// Raw deflate inflated by zlib; empty when zlib finds the stream damaged or too long.
std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& packed, std::size_t expected) {
    std::vector<std::uint8_t> out(expected + 1);
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return {};
    z.next_in = const_cast<std::uint8_t*>(packed.data());
    z.avail_in = uInt(packed.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int result = inflate(&z, Z_FINISH);
    const bool whole = result == Z_STREAM_END && z.avail_in == 0;
    out.resize(z.total_out);
    inflateEnd(&z);
    return whole ? out : std::vector<std::uint8_t>{};
}

// Rows of `rowBytes` bytes of the kind given, from a fixed seed.
std::vector<std::uint8_t> MakeRows(char kind, std::size_t rowBytes, std::size_t rows) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> data(rowBytes * rows);
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::size_t x = i % rowBytes, t = i / rowBytes;
        switch (kind) {
            case 'z':
                data[i] = x == 0;
                break;  // blank rows
            case 'n':
                data[i] = std::uint8_t(random());
                break;  // noise
            case 'r':
                data[i] = std::uint8_t(t % 5 ? data[i - rowBytes] : random());
                break;
            case 'p':
                data[i] = std::uint8_t((x % 37) * 7 + (random() % 4 == 0));
                break;
            case 's':
                data[i] = std::uint8_t(random() % 97 == 0 ? random() % 3 : 0);
                break;
            default:
                data[i] = std::uint8_t(x % 3 == 1 ? 5 : x / 600);
                break;  // steps
        }
    }
    return data;
}

TEST(RowDeflate, ZlibInflatesThePiecesJoinedToTheirBytes) {
    struct Case {
        char kind;
        std::size_t rowBytes, pixelBytes, rows, piecesRows;  // rows a piece
        std::size_t shrinks;  // at least this many times smaller, when above 100 kB
    };
    const Case cases[] = {
        {'z', 1, 1, 0, 1, 1},        {'z', 4, 3, 1, 1, 1},          {'n', 7, 3, 3, 1, 1},
        {'z', 12001, 3, 40, 7, 100}, {'n', 1201, 4, 90, 30, 1},     {'r', 901, 3, 120, 50, 4},
        {'p', 3001, 3, 60, 17, 2},   {'s', 20001, 4, 30, 10, 5},    {'g', 40001, 4, 6, 2, 100},
        {'r', 33001, 3, 5, 2, 1},    {'g', 3001, 3, 400, 400, 100}, {'s', 301, 3, 5000, 1000, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.kind << " " << c.rowBytes << "x" << c.rows << " by " << c.piecesRows);
        const std::vector<std::uint8_t> data = MakeRows(c.kind, c.rowBytes, c.rows);
        RowDeflater deflater;
        std::vector<std::uint8_t> packed, piece;
        std::size_t t = 0;
        do {
            const std::size_t end = std::min(c.rows, t + c.piecesRows);
            const std::size_t history = t ? c.rowBytes : 0;
            piece.clear();
            deflater.Deflate(data.data() + t * c.rowBytes, (end - t) * c.rowBytes, history,
                             c.rowBytes, c.pixelBytes, end == c.rows, piece);
            packed.insert(packed.end(), piece.begin(), piece.end());
            t = end;
        } while (t < c.rows);
        EXPECT_TRUE(Inflate(packed, data.size()) == data);
        // Noise grows by little more than its block headers; runs and repeats shrink.
        if (data.size() > 100000) {
            EXPECT_LT(packed.size() * c.shrinks, data.size() + data.size() / 50);
        }
    }
}

TEST(RowDeflate, ACoderUsedBeforeGivesTheBytesOfANewOne) {
    // What an earlier call left in the coder (other data, or the same data's later places)
    // never shows.
    const std::vector<std::uint8_t> noise = MakeRows('n', 3001, 90);
    for (const char kind : {'r', 'p', 's', 'g'}) {
        const std::vector<std::uint8_t> data = MakeRows(kind, 1201, 40);
        std::vector<std::uint8_t> fresh, reused, ignored;
        RowDeflater().Deflate(data.data(), data.size(), 0, 1201, 3, true, fresh);
        for (const std::vector<std::uint8_t>* earlier : {&noise, &data}) {
            RowDeflater deflater;
            deflater.Deflate(earlier->data(), earlier->size(), 0, 301, 4, false, ignored);
            reused.clear();
            deflater.Deflate(data.data(), data.size(), 0, 1201, 3, true, reused);
            EXPECT_TRUE(reused == fresh) << kind;
        }
    }
}

TEST(RowDeflate, HuffmanCodesAreCompleteAndWithinTheirLimit) {
    struct Case {
        int symbols, limit;
        char counts;  // 'f': Fibonacci numbers, 'o': one used, '0': none, 'u': all alike
    };
    const Case cases[] = {{286, 15, 'f'}, {30, 15, 'f'},  {19, 7, 'f'}, {19, 7, 'o'},
                          {30, 15, '0'},  {286, 15, 'u'}, {19, 7, 'u'}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.symbols << " symbols, " << c.counts);
        std::vector<std::uint32_t> counts(std::size_t(c.symbols));
        std::uint32_t a = 1, b = 1;
        for (std::size_t s = 0; s < counts.size(); ++s) {
            if (c.counts == 'f') counts[s] = a;
            if (c.counts == 'u') counts[s] = 3;
            if (c.counts == 'o') counts[s] = s == 5;
            if (a < (1u << 30)) a = std::exchange(b, a + b);
        }
        std::vector<std::uint8_t> lengths(counts.size());
        imagefiles::HuffmanLengths(counts.data(), c.symbols, c.limit, lengths.data());
        std::uint64_t room = 0;
        for (std::size_t s = 0; s < counts.size(); ++s) {
            ASSERT_LE(lengths[s], c.limit);
            if (counts[s]) {
                EXPECT_GT(lengths[s], 0) << s;
            }
            if (lengths[s]) room += std::uint64_t(1) << (c.limit - lengths[s]);
        }
        EXPECT_EQ(room, std::uint64_t(1) << c.limit);
    }
}

TEST(RowDeflate, Adler32AgreesWithZlib) {
    std::vector<std::uint8_t> ones(300000, 0xFF), noise = MakeRows('n', 1000, 300);
    for (const auto* data : {&ones, &noise}) {
        for (std::size_t size : {0, 1, 15, 16, 17, 5551, 5552, 5553, 65536, 300000}) {
            for (std::uint32_t start : {1u, 0xFFF0FFF0u}) {
                EXPECT_EQ(imagefiles::Adler32(start, data->data(), size),
                          adler32(start, data->data(), uInt(size)))
                    << size << " from " << start;
            }
        }
    }
}

}  // namespace
}  // namespace gw
