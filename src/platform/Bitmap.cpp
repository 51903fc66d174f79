#include "platform/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "platform/AllocationLimit.h"
#include "platform/BitmapInfo.h"

namespace gw {

Bitmap::Bitmap(std::int32_t width, std::int32_t height, PixelFormat format, TColor fill)
    : format_(format) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    const std::int64_t stride = DibStride(width_, 24);
    if (stride > std::numeric_limits<std::int32_t>::max()) throw std::bad_alloc();
    stride_ = static_cast<std::int32_t>(stride);
    // The padding bytes stay zero for good: rows handed out as DIB rows carry clean padding.
    const std::size_t bytes = std::size_t(stride_) * std::size_t(height_);
    CheckAllocation(bytes);
    // A grey fill is every byte but the padding's, so the pixels take it as the memory is made
    // and only the padding is cleared after.
    const TColor c = StoredColor(fill);
    const std::uint8_t grey = GetBValue(c);
    const bool isGrey = grey == GetGValue(c) && grey == GetRValue(c);
    try {
        data_.assign(bytes, isGrey ? grey : 0);
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
        throw;
    }
    if (!isGrey) {
        Fill(fill);
        return;
    }
    const std::size_t rowBytes = std::size_t(width_) * 3;
    if (grey == 0 || Empty() || std::size_t(stride_) == rowBytes) return;
    for (std::int32_t y = 0; y < height_; ++y)
        std::memset(Row(y) + rowBytes, 0, std::size_t(stride_) - rowBytes);
}

void Bitmap::Fill(TColor color) {
    if (Empty()) return;  // a bitmap without pixels has no rows to point at
    const TColor c = StoredColor(color);
    const std::uint8_t b = GetBValue(c), g = GetGValue(c), r = GetRValue(c);
    const std::size_t rowBytes = std::size_t(width_) * 3;
    for (std::int32_t y = 0; y < height_; ++y) {
        std::uint8_t* p = Row(y);
        if (b == g && g == r) {
            std::memset(p, b, rowBytes);
        } else {
            for (std::int32_t x = 0; x < width_; ++x, p += 3) {
                p[0] = b;
                p[1] = g;
                p[2] = r;
            }
        }
    }
}

void Bitmap::SetFormat(PixelFormat format) {
    if (format == format_) return;
    format_ = format;
    if (format != PixelFormat::Mono || Empty()) return;
    for (std::int32_t y = 0; y < height_; ++y) {
        std::uint8_t* p = Row(y);
        for (std::int32_t x = 0; x < width_; ++x, p += 3) {
            const std::uint8_t v = MonoColor(RGB(p[2], p[1], p[0])) == clWhite ? 0xFF : 0x00;
            p[0] = p[1] = p[2] = v;
        }
    }
}

void Bitmap::SetSize(std::int32_t width, std::int32_t height) {
    *this = Bitmap(width, height, format_, clWhite);
}

TColor Bitmap::Pixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    const std::uint8_t* p = Row(y) + std::size_t(x) * 3;
    return RGB(p[2], p[1], p[0]);
}

void Bitmap::SetPixel(std::int32_t x, std::int32_t y, TColor color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    const TColor c = StoredColor(color);
    std::uint8_t* p = Row(y) + std::size_t(x) * 3;
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
}

TColor Bitmap::StoredColor(TColor color) const {
    color &= 0xFFFFFF;
    return format_ == PixelFormat::Mono ? MonoColor(color) : color;
}

}  // namespace gw
