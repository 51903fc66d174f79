#include "platform/DibRows.h"

#include <cstring>

#include "platform/Bitmap.h"
#include "platform/DeviceContext.h"
#include "platform/RopRow.h"

namespace gw {

namespace {

inline int PaletteIndex(const std::uint8_t* row, int bitCount, std::int32_t x) {
    switch (bitCount) {
        case 8:
            return row[x];
        case 4:
            return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        default:  // 1 bit, the leftmost pixel in the high bit
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
}

}  // namespace

bool DibRowReader::Open(const void* bits, const BitmapInfo& info, std::uint32_t usage, bool mono) {
    const BitmapInfoHeader& h = info.bmiHeader;
    const int bitCount = h.biBitCount;
    if (!bits || usage != DIB_RGB_COLORS || h.biCompression != 0 || h.biWidth <= 0 ||
        h.biHeight <= 0)
        return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return false;
    bits_ = static_cast<const std::uint8_t*>(bits);
    stride_ = DibStride(h.biWidth, bitCount);
    width_ = h.biWidth;
    height_ = h.biHeight;
    bitCount_ = bitCount;
    mono_ = mono;
    for (int i = 0; i < PaletteSize(bitCount); ++i) {
        const RgbQuad& q = info.bmiColors[i];
        TColor c = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        if (mono) c = MonoColor(c);
        lut_[i][0] = GetBValue(c);
        lut_[i][1] = GetGValue(c);
        lut_[i][2] = GetRValue(c);
    }
    return true;
}

void DibRowReader::ReadSpan(const std::uint8_t* row, std::int32_t x, std::int32_t count,
                            std::uint8_t* out) const {
    if (count <= 0) return;
    if (bitCount_ == 24) {
        std::memcpy(out, row + std::size_t(x) * 3, std::size_t(count) * 3);
        if (mono_) MonoRow(out, out, std::size_t(count));
        return;
    }
    for (std::int32_t i = 0; i < count; ++i, out += 3) {
        const std::uint8_t* c = lut_[PaletteIndex(row, bitCount_, x + i)];
        out[0] = c[0];
        out[1] = c[1];
        out[2] = c[2];
    }
}

void DibRowReader::ReadColumns(const std::uint8_t* row, const std::int32_t* columns,
                               std::int32_t count, std::uint8_t* out) const {
    if (count <= 0) return;
    if (bitCount_ == 24) {
        for (std::int32_t i = 0; i < count; ++i) {
            const std::uint8_t* p = row + std::size_t(columns[i]) * 3;
            out[3 * i] = p[0];
            out[3 * i + 1] = p[1];
            out[3 * i + 2] = p[2];
        }
        if (mono_) MonoRow(out, out, std::size_t(count));
        return;
    }
    for (std::int32_t i = 0; i < count; ++i, out += 3) {
        const std::uint8_t* c = lut_[PaletteIndex(row, bitCount_, columns[i])];
        out[0] = c[0];
        out[1] = c[1];
        out[2] = c[2];
    }
}

int GetDIBits(const Bitmap& src, int startScan, int numScans, void* bits, const BitmapInfo& info,
              std::uint32_t usage) {
    const BitmapInfoHeader& h = info.bmiHeader;
    if (!bits || usage != DIB_RGB_COLORS || h.biBitCount != 24 || h.biCompression != 0 ||
        h.biWidth != src.Width() || h.biHeight <= 0 || src.Empty() || startScan < 0 ||
        numScans <= 0)
        return 0;
    // The receiving bits hold at most the rows its header describes.
    std::int64_t lines = numScans;
    if (lines > std::int64_t(src.Height()) - startScan)
        lines = std::int64_t(src.Height()) - startScan;
    if (lines > h.biHeight) lines = h.biHeight;
    if (lines <= 0) return 0;
    const std::size_t rowBytes = std::size_t(src.Width()) * 3;
    const std::size_t stride = std::size_t(DibStride(src.Width(), 24));
    auto* out = static_cast<std::uint8_t*>(bits);
    for (std::int64_t j = 0; j < lines; ++j, out += stride) {
        const std::uint8_t* in =
            src.Bits() + std::size_t(startScan + j) * std::size_t(src.Stride());
        std::memcpy(out, in, rowBytes);
        std::memset(out + rowBytes, 0, stride - rowBytes);
    }
    return static_cast<int>(lines);
}

int SetDIBits(Bitmap& dst, int startScan, int numScans, const void* bits, const BitmapInfo& info,
              std::uint32_t usage) {
    DibRowReader reader;
    if (!reader.Open(bits, info, usage, dst.Format() == PixelFormat::Mono) || dst.Empty() ||
        startScan < 0 || numScans <= 0)
        return 0;
    // DIB scan line s lands on the bitmap's stored row s: both count from the bottom.
    std::int64_t end = std::int64_t(startScan) + numScans;
    if (end > reader.Height()) end = reader.Height();
    if (end > dst.Height()) end = dst.Height();
    const std::int32_t columns = reader.Width() < dst.Width() ? reader.Width() : dst.Width();
    int lines = 0;
    for (std::int64_t s = startScan; s < end; ++s, ++lines) {
        std::uint8_t* out = dst.Bits() + std::size_t(s) * std::size_t(dst.Stride());
        reader.ReadSpan(reader.Row(s - startScan), 0, columns, out);
    }
    return lines;
}

}  // namespace gw
