// Damaged, truncated and hostile files all load as empty images, without a crash.

#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cstring>

#include "raster/DibService.h"
#include "raster/ImageFiles.h"
#include "raster/ImageFixtures.h"

namespace gw {
namespace {

using test::Bytes;

bool SameImage(const DibImage& a, const DibImage& b) {
    if (a.Empty() || b.Empty()) return a.Empty() == b.Empty();
    return DibWidth(a) == DibWidth(b) && DibHeight(a) == DibHeight(b) &&
           DibBitCount(a) == DibBitCount(b) && DibImageSize(a) == DibImageSize(b) &&
           std::memcmp(a.Bits.get(), b.Bits.get(), DibImageSize(a)) == 0 &&
           std::memcmp(a.Info->bmiColors, b.Info->bmiColors, sizeof a.Info->bmiColors) == 0;
}

// Every file is decoded twice: whole from memory, and read as from a file, seven bytes at a time
// at most, as a decoder reading the file as it goes gets it. Both must agree.
bool Loads(const Bytes& bytes) {
    DibImage dib;
    const bool ok = DecodeImage(bytes.data(), bytes.size(), dib);
    EXPECT_EQ(ok, !dib.Empty());
    std::size_t at = 0;
    const ByteReader read = [&](std::uint8_t* to, std::size_t n) {
        n = std::min({n, bytes.size() - at, std::size_t(7)});
        if (n > 0) std::memcpy(to, bytes.data() + at, n);
        at += n;
        return n;
    };
    DibImage streamed;
    EXPECT_EQ(DecodeImageFrom(read, bytes.size(), streamed), ok);
    EXPECT_TRUE(SameImage(dib, streamed));
    return ok;
}

Bytes SmallGif() {
    test::GifPlan plan;
    plan.width = 5;
    plan.height = 4;
    plan.globalMap = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (int i = 0; i < 20; ++i)
        plan.pixels.push_back(std::uint8_t(i % 4));
    return test::MakeGif(plan);
}

Bytes SmallPng(int colorType = PNG_COLOR_TYPE_RGB) {
    test::PngPlan plan;
    plan.width = 5;
    plan.height = 4;
    plan.colorType = colorType;
    const int channels = colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    if (colorType == PNG_COLOR_TYPE_PALETTE) plan.palette = {{1, 2, 3}, {4, 5, 6}};
    for (int i = 0; i < 20 * channels; ++i)
        plan.rows.push_back(std::uint8_t(colorType == PNG_COLOR_TYPE_PALETTE ? i % 2 : i * 13));
    return test::MakePng(plan);
}

Bytes SmallJpeg(bool progressive = false) {
    test::JpegPlan plan;
    plan.width = 16;
    plan.height = 16;
    plan.progressive = progressive;
    for (int i = 0; i < 16 * 16 * 3; ++i)
        plan.pixels.push_back(std::uint8_t(i * 5));
    return test::MakeJpeg(plan);
}

test::BmpPlan SmallBmpPlan(std::uint16_t bits = 8) {
    test::BmpPlan plan;
    plan.width = 3;
    plan.height = 2;
    plan.bits = bits;
    if (bits <= 8) {
        plan.colorsUsed = 2;
        plan.table = {{0, 0, 0}, {255, 255, 255}};
    }
    plan.pixels.assign(std::size_t(DibStride(3, bits) * 2), 1);
    return plan;
}

void PutU32BE(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v >> 24);
    b[at + 1] = std::uint8_t(v >> 16);
    b[at + 2] = std::uint8_t(v >> 8);
    b[at + 3] = std::uint8_t(v);
}

void PutU16LE(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

// Recomputes the CRC of the PNG chunk whose data starts at `data` after a field was changed.
void FixChunkCrc(Bytes& b, std::size_t data, std::size_t length) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = data - 4; i < data + length; ++i) {
        crc ^= b[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    PutU32BE(b, data + length, ~crc);
}

std::size_t FindMarker(const Bytes& b, std::uint8_t marker) {
    for (std::size_t i = 2; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == marker) return i;
    return 0;
}

// --- The fixtures themselves are sound ----------------------------------------------------------

TEST(DamagedFiles, FixturesLoadWhole) {
    EXPECT_TRUE(Loads(SmallGif()));
    EXPECT_TRUE(Loads(SmallPng()));
    EXPECT_TRUE(Loads(SmallPng(PNG_COLOR_TYPE_PALETTE)));
    EXPECT_TRUE(Loads(SmallJpeg()));
    EXPECT_TRUE(Loads(SmallJpeg(true)));
    EXPECT_TRUE(Loads(test::MakeBmp(SmallBmpPlan())));
    EXPECT_TRUE(Loads(test::MakeBmp(SmallBmpPlan(24))));
    // Room between the table and the pixels and after them, which a file read as it goes skips.
    for (std::uint16_t bits : {8, 24}) {
        test::BmpPlan plan = SmallBmpPlan(bits);
        plan.pixelOffset = 5000;
        Bytes bytes = test::MakeBmp(plan);
        bytes.resize(bytes.size() + 3000, 0xAB);
        EXPECT_TRUE(Loads(bytes)) << bits;
    }
}

// --- Truncation -------------------------------------------------------------------------------

void ExpectEveryTruncationRefused(const Bytes& whole, std::size_t keepAtLeast, const char* name) {
    for (std::size_t n = 0; n < whole.size() - keepAtLeast; ++n) {
        const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(n));
        EXPECT_FALSE(Loads(cut)) << name << " cut to " << n << " of " << whole.size();
    }
}

TEST(DamagedFiles, TruncationsAtEveryOffsetLoadEmpty) {
    // A GIF whose picture is complete lacks only its one-byte trailer: that is still readable.
    ExpectEveryTruncationRefused(SmallGif(), 1, "GIF");
    ExpectEveryTruncationRefused(SmallPng(), 0, "PNG");
    ExpectEveryTruncationRefused(SmallPng(PNG_COLOR_TYPE_PALETTE), 0, "palette PNG");
    ExpectEveryTruncationRefused(SmallJpeg(), 0, "JPEG");
    ExpectEveryTruncationRefused(SmallJpeg(true), 0, "progressive JPEG");
    ExpectEveryTruncationRefused(test::MakeBmp(SmallBmpPlan()), 0, "BMP");
    ExpectEveryTruncationRefused(test::MakeBmp(SmallBmpPlan(24)), 0, "BMP 24");
}

// --- Sizes ------------------------------------------------------------------------------------

TEST(DamagedFiles, PngClaimingHugeOrZeroSizes) {
    const Bytes whole = SmallPng();
    // IHDR data starts at byte 16: width, then height.
    for (const auto& [width, height] : std::vector<std::pair<std::uint32_t, std::uint32_t>>{
             {16000, 16000}, {16385, 1}, {1, 16385}, {0, 4}, {5, 0}, {0x7FFFFFFF, 1}}) {
        Bytes b = whole;
        PutU32BE(b, 16, width);
        PutU32BE(b, 20, height);
        FixChunkCrc(b, 16, 13);
        EXPECT_FALSE(Loads(b)) << width << " x " << height;
    }
    // A bit depth PNG does not have.
    Bytes b = whole;
    b[24] = 3;
    FixChunkCrc(b, 16, 13);
    EXPECT_FALSE(Loads(b));
}

TEST(DamagedFiles, GifClaimingHugeOrZeroSizes) {
    const Bytes whole = SmallGif();
    // The logical screen (bytes 6 to 9) far larger than what the file can fill.
    Bytes b = whole;
    PutU16LE(b, 6, 16000);
    PutU16LE(b, 8, 16000);
    EXPECT_FALSE(Loads(b));
    PutU16LE(b, 6, 65535);
    EXPECT_FALSE(Loads(b));
    // The image descriptor: ',' then left, top, width, height.
    std::size_t desc = 13 + 4 * 3;
    ASSERT_EQ(whole[desc], ',');
    for (const auto& [width, height] : std::vector<std::pair<std::uint32_t, std::uint32_t>>{
             {0, 4}, {5, 0}, {16000, 16000}, {65535, 65535}}) {
        b = whole;
        PutU16LE(b, desc + 5, width);
        PutU16LE(b, desc + 7, height);
        EXPECT_FALSE(Loads(b)) << width << " x " << height;
    }
}

TEST(DamagedFiles, JpegClaimingHugeOrZeroSizes) {
    const Bytes whole = SmallJpeg();
    const std::size_t sof = FindMarker(whole, 0xC0);
    ASSERT_NE(sof, 0u);
    // SOF0: marker, length, precision, height, width.
    for (const auto& [width, height] : std::vector<std::pair<std::uint32_t, std::uint32_t>>{
             {16000, 16000}, {60000, 60000}, {0, 16}, {16, 0}, {16385, 16}}) {
        Bytes b = whole;
        b[sof + 5] = std::uint8_t(height >> 8);
        b[sof + 6] = std::uint8_t(height);
        b[sof + 7] = std::uint8_t(width >> 8);
        b[sof + 8] = std::uint8_t(width);
        EXPECT_FALSE(Loads(b)) << width << " x " << height;
    }
}

TEST(DamagedFiles, BmpWithLyingFields) {
    auto refused = [](test::BmpPlan plan, const char* what) {
        EXPECT_FALSE(Loads(test::MakeBmp(plan))) << what;
    };
    test::BmpPlan s = SmallBmpPlan();
    s.width = 16000;
    s.height = 16000;
    refused(s, "huge");
    s = SmallBmpPlan();
    s.width = 16385;
    refused(s, "too wide");
    s = SmallBmpPlan();
    s.width = 0;
    refused(s, "no width");
    s = SmallBmpPlan();
    s.height = 0;
    refused(s, "no height");
    s = SmallBmpPlan();
    s.width = -3;
    refused(s, "negative width");
    s = SmallBmpPlan();
    s.height = std::int32_t(0x80000000u);
    refused(s, "smallest height");
    for (std::uint16_t bits : {0, 2, 7, 16, 48}) {
        s = SmallBmpPlan(24);
        s.bits = bits;
        refused(s, "bit count");
    }
    s = SmallBmpPlan();
    s.planes = 2;
    refused(s, "planes");
    s = SmallBmpPlan();
    s.colorsUsed = 300;
    refused(s, "more colours than 8 bits hold");
    s = SmallBmpPlan(1);
    s.colorsUsed = 3;
    refused(s, "more colours than 1 bit holds");
    s = SmallBmpPlan();
    s.colorsUsed = 200;  // the table in the file has 2 entries
    refused(s, "table beyond the file");
    s = SmallBmpPlan();
    s.pixelOffset = 1 << 20;
    s.pixels.clear();
    refused(s, "pixels beyond the file");
    s = SmallBmpPlan();
    s.pixelOffset = 20;
    refused(s, "pixels inside the header");
    s = SmallBmpPlan();
    s.pixels.pop_back();
    refused(s, "a byte short");
    for (std::uint32_t compression : {1u, 2u, 3u, 4u, 5u, 99u}) {
        s = SmallBmpPlan();
        s.compression = compression;
        refused(s, "compression");
    }
    for (std::uint32_t header : {0u, 11u, 13u, 39u, 125u, 0xFFFFFFFFu}) {
        Bytes b = test::MakeBmp(SmallBmpPlan());
        b[14] = std::uint8_t(header);
        b[15] = std::uint8_t(header >> 8);
        b[16] = std::uint8_t(header >> 16);
        b[17] = std::uint8_t(header >> 24);
        EXPECT_FALSE(Loads(b)) << "header size " << header;
    }
}

TEST(DamagedFiles, BmpRunLengthDataThatLies) {
    test::BmpPlan base;
    base.bits = 8;
    base.compression = 1;
    base.width = 4;
    base.height = 2;
    base.colorsUsed = 2;
    base.table = {{0, 0, 0}, {255, 255, 255}};
    base.pixels = {4, 1, 0, 0, 4, 0, 0, 1};
    EXPECT_TRUE(Loads(test::MakeBmp(base)));

    test::BmpPlan s = base;
    s.pixels = {4, 1, 0, 0, 4, 0};
    EXPECT_FALSE(Loads(test::MakeBmp(s))) << "no end mark";
    s.pixels = {0, 5, 1, 1, 1, 1, 0, 1};
    EXPECT_FALSE(Loads(test::MakeBmp(s))) << "literal pixels beyond the data";
    s.pixels = {0, 2, 1};
    EXPECT_FALSE(Loads(test::MakeBmp(s))) << "delta cut short";
    s = base;
    s.height = -2;
    EXPECT_FALSE(Loads(test::MakeBmp(s))) << "top-down run-length";
    s = base;
    s.bits = 4;
    s.table.resize(2);
    EXPECT_FALSE(Loads(test::MakeBmp(s))) << "RLE8 at 4 bits";
    // Two bytes cannot stand for sixteen million pixels.
    s = base;
    s.width = 4000;
    s.height = 4000;
    s.pixels = {0, 1};
    EXPECT_FALSE(Loads(test::MakeBmp(s))) << "huge picture of nothing";
    // The data size in the header reaches beyond the file.
    Bytes b = test::MakeBmp(base);
    b[34] = 0xFF;
    EXPECT_FALSE(Loads(b)) << "data size beyond the file";
    ExpectEveryTruncationRefused(test::MakeBmp(base), 0, "RLE8");
}

TEST(DamagedFiles, JpegWithTooManyScans) {
    test::JpegPlan plan;
    plan.components = 1;
    for (int i = 0; i < 64; ++i)
        plan.pixels.push_back(std::uint8_t(i * 4));
    plan.scansPerCoefficient = 1;
    EXPECT_TRUE(Loads(test::MakeJpeg(plan))) << "64 scans";
    plan.scansPerCoefficient = 2;
    EXPECT_FALSE(Loads(test::MakeJpeg(plan))) << "127 scans";
}

TEST(DamagedFiles, NotAnImageAtAll) {
    EXPECT_FALSE(Loads({}));
    EXPECT_FALSE(Loads({'G', 'I', 'F'}));
    EXPECT_FALSE(Loads({'B', 'M', 0, 0, 0, 0, 0, 0}));
    const std::string text = "Dies ist kein Bild, nur ein Text.";
    EXPECT_FALSE(Loads(Bytes(text.begin(), text.end())));
    Bytes signatureOnly = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_FALSE(Loads(signatureOnly));
    EXPECT_FALSE(Loads({0xFF, 0xD8, 0xFF, 0xD9, 0, 0, 0, 0}));
}

// The size budgets refuse what a file cannot hold, not what it holds tightly packed.
TEST(DamagedFiles, FlatPicturesPackedDenselyStillLoad) {
    test::PngPlan png;
    png.width = 2000;
    png.height = 2000;
    png.colorType = PNG_COLOR_TYPE_GRAY;
    png.depth = 1;
    png.rows.assign(250 * 2000, 0);
    const Bytes pngBytes = test::MakePng(png);
    EXPECT_LT(pngBytes.size(), 1000u);  // about 500:1
    EXPECT_TRUE(Loads(pngBytes));

    test::GifPlan gif;
    gif.width = 1000;
    gif.height = 1000;
    gif.globalMap = {{0, 0, 0}, {255, 255, 255}};
    gif.pixels.assign(1000 * 1000, 1);
    EXPECT_TRUE(Loads(test::MakeGif(gif)));

    test::JpegPlan jpeg;
    jpeg.width = 1024;
    jpeg.height = 1024;
    jpeg.components = 1;
    jpeg.quality = 50;
    jpeg.pixels.assign(1024 * 1024, 90);
    EXPECT_TRUE(Loads(test::MakeJpeg(jpeg)));
}

// --- Random damage ----------------------------------------------------------------------------

// Flips, overwrites and cuts bytes at random (with a fixed seed). Whether a damaged file still
// loads depends on where the damage falls; that it never crashes or reads astray is what the
// sanitizer builds check here.
TEST(DamagedFiles, RandomDamageNeverCrashes) {
    const std::vector<Bytes> files = {SmallGif(),
                                      SmallPng(),
                                      SmallPng(PNG_COLOR_TYPE_PALETTE),
                                      SmallJpeg(),
                                      SmallJpeg(true),
                                      test::MakeBmp(SmallBmpPlan(1)),
                                      test::MakeBmp(SmallBmpPlan(4)),
                                      test::MakeBmp(SmallBmpPlan(32))};
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    int loaded = 0;
    for (const Bytes& file : files) {
        for (int round = 0; round < 600; ++round) {
            Bytes b = file;
            const int edits = 1 + int(next() % 4);
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = next() % b.size();
                switch (next() % 3) {
                    case 0:
                        b[at] ^= std::uint8_t(1u << (next() % 8));
                        break;
                    case 1:
                        b[at] = std::uint8_t(next());
                        break;
                    default:
                        b[at] = (next() & 1) ? 0xFF : 0x00;
                        break;
                }
            }
            DibImage dib;
            if (DecodeImage(b.data(), b.size(), dib)) {
                ++loaded;
                ASSERT_GT(DibWidth(dib), 0);
                ASSERT_GT(DibHeight(dib), 0);
                ASSERT_EQ(DibImageSize(dib), std::size_t(dib.Stride) * std::size_t(DibHeight(dib)));
            }
        }
    }
    // Damage in pixel data leaves many files readable: the test did exercise the decoders.
    EXPECT_GT(loaded, 0);
}

}  // namespace
}  // namespace gw
