#pragma once
// The 40-byte bitmap header and the colour table that describe a device-independent bitmap.

#include <cstdint>
#include <cstring>

namespace gw {

#pragma pack(push, 1)
struct BitmapInfoHeader {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;  // positive: rows stored bottom-up
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;     // 1, 4, 8 or 24
    std::uint32_t biCompression = 0;  // always uncompressed
    std::uint32_t biSizeImage = 0;    // Stride x height
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

struct RgbQuad {
    std::uint8_t rgbBlue = 0;
    std::uint8_t rgbGreen = 0;
    std::uint8_t rgbRed = 0;
    std::uint8_t rgbReserved = 0;
    friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};

// The info block: header and colour table, laid out contiguously as the file format stores it.
// The table has room for 256 entries; how many are meaningful follows from biBitCount.
struct BitmapInfo {
    BitmapInfoHeader bmiHeader;
    RgbQuad bmiColors[256];
};
#pragma pack(pop)

static_assert(sizeof(BitmapInfoHeader) == 40);
static_assert(sizeof(RgbQuad) == 4);
static_assert(sizeof(BitmapInfo) == 40 + 256 * 4);

// Bytes of one stored row of `width` pixels at `bitCount` bits, padded to 4 bytes.
constexpr std::int64_t DibStride(std::int64_t width, int bitCount) {
    return ((width * bitCount + 31) / 32) * 4;
}

// Number of colour-table entries a DIB of this depth carries (0 for 24 bits).
constexpr int PaletteSize(int bitCount) {
    return bitCount <= 8 ? (1 << bitCount) : 0;
}

// The usage flag of the DIB calls: colour tables hold RGB values.
constexpr std::uint32_t DIB_RGB_COLORS = 0;

}  // namespace gw
