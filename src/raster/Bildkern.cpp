#include "raster/Bildkern.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/Catalogue.h"
#include "platform/ExactMath.h"
#include "platform/System.h"
#include "raster/DibService.h"

namespace gw {

namespace {

thread_local std::uint64_t rowDrawerCopies = 0;

// Source column or row of a column or row of the 1:1 buffer. A buffer one pixel wide or high takes
// the first column or row of the source rectangle rather than dividing by zero.
std::int64_t NearestIndex(std::int32_t srcSize, std::int32_t i, std::int32_t destSize) {
    if (destSize <= 1) return 0;
    return std::int64_t(srcSize - 1) * i / (destSize - 1);
}

// The copy through a buffer of the destination's size, for devices that take DIBs only 1:1.
// False when the buffer could not be made or the device refused it.
bool DrawThroughBuffer(DeviceContext& dc, std::int32_t DestX, std::int32_t DestY,
                       std::int32_t DestWidth, std::int32_t DestHeight, const DibImage& dib,
                       std::int32_t SrcX, std::int32_t SrcY, std::int32_t SrcWidth,
                       std::int32_t SrcHeight) {
    const std::int32_t bitCount = std::int32_t(DibBitCount(dib));
    const std::int32_t colors = DibColorCount(dib) > 256 ? 0 : DibColorCount(dib);
    DibImage buffer;
    newdib(buffer, DestWidth, DestHeight, bitCount, dib.Info.get(), colors);
    if (!buffer.Bits) return false;

    for (std::int32_t r = 0; r < DestHeight; ++r) {
        const std::int32_t sy = std::int32_t(NearestIndex(SrcHeight, r, DestHeight) + SrcY);
        const std::uint8_t* src = dib.StoredRow(sy);
        std::uint8_t* dst = buffer.StoredRow(r);
        for (std::int32_t c = 0; c < DestWidth; ++c) {
            const std::int32_t sx = std::int32_t(NearestIndex(SrcWidth, c, DestWidth) + SrcX);
            switch (bitCount) {
                case 1:
                    setpixel(buffer, c, r, getpixel(dib, sx, sy));
                    break;
                case 4: {
                    const std::uint8_t s = src[sx / 2];
                    const std::uint8_t nibble = (sx % 2 == 0) ? std::uint8_t(s >> 4) : (s & 0x0F);
                    std::uint8_t& d = dst[c / 2];
                    d = (c % 2 == 0) ? std::uint8_t((d & 0x0F) | (nibble << 4))
                                     : std::uint8_t((d & 0xF0) | nibble);
                    break;
                }
                case 8:
                    dst[c] = src[sx];
                    break;
                case 24:
                    std::memcpy(dst + 3 * std::size_t(c), src + 3 * std::size_t(sx), 3);
                    break;
                default:
                    break;
            }
        }
    }
    const int lines = dc.SetDIBitsToDevice(DestX, DestY, DestWidth, DestHeight, 0, 0, 0, DestHeight,
                                           buffer.Bits.get(), *buffer.Info, DIB_RGB_COLORS);
    deldib(buffer);
    return lines != 0;
}

// The last way: the whole DIB into a bitmap of the device's own format, blitted from there.
void DrawThroughBitmap(DeviceContext& dc, std::int32_t DestX, std::int32_t DestY,
                       std::int32_t DestWidth, std::int32_t DestHeight, const DibImage& dib,
                       std::int32_t SrcX, std::int32_t SrcY, std::int32_t SrcWidth,
                       std::int32_t SrcHeight, Rop rop) {
    std::unique_ptr<Bitmap> bitmap = dc.CreateCompatibleBitmap(DibWidth(dib), DibHeight(dib));
    if (!bitmap) {
        NoteFailure(catalogue::Tr("Konnte Bitmap nicht erzeugen!"));
        return;
    }
    // The memory context of a bitmap is the bitmap itself here: StretchBlt takes it directly.
    if (SetDIBits(*bitmap, 0, DibHeight(dib), dib.Bits.get(), *dib.Info, DIB_RGB_COLORS) != 0) {
        if (!dc.StretchBlt(DestX, DestY, DestWidth, DestHeight, *bitmap, SrcX, SrcY, SrcWidth,
                           SrcHeight, rop)) {
            NoteFailure(catalogue::Tr("Das Gerät unterstützt die Funktion StretchBlt nicht!"));
        }
    } else {
        NoteFailure(catalogue::Tr("Das Gerät unterstützt die Funtkion setdibits nicht!"));
    }
}

void DrawHalftoned(DeviceContext& dc, std::int32_t DestX, std::int32_t DestY,
                   std::int32_t DestWidth, std::int32_t DestHeight, const DibImage& dib,
                   std::int32_t SrcX, std::int32_t SrcY, std::int32_t SrcWidth,
                   std::int32_t SrcHeight, Rop rop, PaletteHandle palette) {
    const std::int32_t width = DibWidth(dib);
    const std::int32_t height = DibHeight(dib);
    const bool smaller = SrcWidth > DestWidth || DestHeight < SrcHeight;
    DibImage copy;
    if (smaller) {
        DIBHalftoneDIBXY(copy, dib, RoundQuotient(std::int64_t(width) * DestWidth, SrcWidth),
                         RoundQuotient(std::int64_t(height) * DestHeight, SrcHeight));
    } else {
        DIBHalftoneDIB(copy, dib);
    }
    const PaletteHandle kept = dc.SelectPalette(palette, false);
    dc.RealizePalette();
    if (copy.Bits) {
        if (smaller) {
            // The copy is already at the destination's scale; only the origin is rescaled.
            const std::int32_t x = RoundQuotient(std::int64_t(SrcX) * DibWidth(copy), width);
            const std::int32_t y = RoundQuotient(std::int64_t(SrcY) * DibHeight(copy), height);
            dc.StretchDIBits(DestX, DestY, DestWidth, DestHeight, x, y, DestWidth, DestHeight,
                             copy.Bits.get(), *copy.Info, DIB_RGB_COLORS, rop);
        } else {
            dc.StretchDIBits(DestX, DestY, DestWidth, DestHeight, SrcX, SrcY, SrcWidth, SrcHeight,
                             copy.Bits.get(), *copy.Info, DIB_RGB_COLORS, rop);
        }
    }
    dc.SelectPalette(kept, false);
    deldib(copy);
}

// The shared body of both row drawers; `bytes` is 3 or 1 a pixel.
void StretchRows(DeviceContext& dc, std::int32_t DestX, std::int32_t DestY, std::int32_t DestWidth,
                 std::int32_t DestHeight, const DibImage& dib, std::int32_t SrcX,
                 std::int32_t SrcTop, std::int32_t SrcWidth, std::int32_t SrcHeight, int bytes) {
    if (!dib.Bits || DibBitCount(dib) != std::uint32_t(bytes * 8)) return;
    const std::int32_t width = DibWidth(dib);
    const std::int32_t height = DibHeight(dib);

    DibImage buffer;
    if (bytes == 3) {
        newdib(buffer, DestWidth, 1, 24, nullptr, 0);
    } else {
        newdib(buffer, DestWidth, 1, 8, dib.Info.get(), 256);
    }
    if (!buffer.Bits) return;

    // SrcWidth x i div DestWidth grows (or shrinks) steadily with i, so the valid columns are one
    // unbroken span from first to last.
    std::vector<std::int64_t> map(static_cast<std::size_t>(DestWidth));
    std::int32_t first = DestWidth;
    std::int32_t last = 0;
    const std::int64_t rowBytes = std::int64_t(width) * bytes;
    for (std::int32_t i = 0; i < DestWidth; ++i) {
        const std::int64_t m = (SrcX + std::int64_t(SrcWidth) * i / DestWidth) * bytes;
        map[std::size_t(i)] = m;
        if (m >= 0 && m < rowBytes) {
            if (first == DestWidth) first = i;
            last = i;
        }
    }

    const std::int64_t limit = std::int64_t(height - 1) * dib.Stride;
    std::int64_t previous = -1;
    std::uint8_t* row = buffer.Bits.get();
    for (std::int32_t r = 0; r < DestHeight; ++r) {
        const std::int64_t t = SrcTop + std::int64_t(SrcHeight) * r / DestHeight;
        const std::int64_t offset = (height - 1 - t) * dib.Stride;
        if (offset < 0 || offset > limit) {
            std::memset(row, 0, std::size_t(buffer.Stride));
        } else if (offset != previous) {
            const std::uint8_t* src = dib.Bits.get() + offset;
            for (std::int32_t i = first; i <= last; ++i) {
                std::memcpy(row + std::size_t(i) * std::size_t(bytes), src + map[std::size_t(i)],
                            std::size_t(bytes));
            }
            previous = offset;
            ++rowDrawerCopies;
        }
        dc.SetDIBitsToDevice(DestX, DestY + r, DestWidth, 1, 0, 0, 0, 1, row, *buffer.Info,
                             DIB_RGB_COLORS);
    }
    deldib(buffer);
}

}  // namespace

std::uint64_t RowDrawerCopies() {
    return rowDrawerCopies;
}

void StretchRows24(DeviceContext& dc, std::int32_t DestX, std::int32_t DestY,
                   std::int32_t DestWidth, std::int32_t DestHeight, const DibImage& dib,
                   std::int32_t SrcX, std::int32_t SrcTop, std::int32_t SrcWidth,
                   std::int32_t SrcHeight) {
    StretchRows(dc, DestX, DestY, DestWidth, DestHeight, dib, SrcX, SrcTop, SrcWidth, SrcHeight, 3);
}

void StretchRows8(DeviceContext& dc, std::int32_t DestX, std::int32_t DestY, std::int32_t DestWidth,
                  std::int32_t DestHeight, const DibImage& dib, std::int32_t SrcX,
                  std::int32_t SrcTop, std::int32_t SrcWidth, std::int32_t SrcHeight) {
    StretchRows(dc, DestX, DestY, DestWidth, DestHeight, dib, SrcX, SrcTop, SrcWidth, SrcHeight, 1);
}

void DrawDib(DeviceContext& dc, const DibImage& dib, const DrawDibOptions& options) {
    // The rectangles are cut to the DIB below.
    std::int32_t DestX = options.DestX, DestY = options.DestY;
    std::int32_t DestWidth = options.DestWidth, DestHeight = options.DestHeight;
    std::int32_t SrcX = options.SrcX, SrcY = options.SrcY;
    std::int32_t SrcWidth = options.SrcWidth, SrcHeight = options.SrcHeight;
    const bool Halftone = options.Halftone;
    const Rop rop = options.rop;
    const bool printer = dc.GetDeviceCaps(TECHNOLOGY) == DT_RASPRINTER;
    dc.SetStretchBltMode(COLORONCOLOR);
    if (!dib.Bits || !dib.Info) return;

    const std::int32_t width = DibWidth(dib);
    const std::int32_t height = DibHeight(dib);
    const std::uint32_t bitCount = DibBitCount(dib);

    // An empty source rectangle, given or left by the clipping, draws nothing; it would also be
    // the divisor of the next cut.
    auto sourceEmpty = [&] { return SrcWidth <= 0 || SrcHeight <= 0; };
    if (sourceEmpty()) return;
    if (SrcX + std::int64_t(SrcWidth) > width) {
        const std::int32_t w = width - SrcX;
        DestWidth = RoundQuotient(std::int64_t(DestWidth) * w, SrcWidth);
        SrcWidth = w;
        if (sourceEmpty()) return;
    }
    if (SrcY < 0) {
        const std::int32_t h = SrcHeight + SrcY;
        DestHeight = RoundQuotient(std::int64_t(DestHeight) * h, SrcHeight);
        SrcHeight = h;
        SrcY = 0;
        if (sourceEmpty()) return;
    }
    if (SrcY + std::int64_t(SrcHeight) > height) {
        const std::int32_t h = height - SrcY;
        const std::int32_t n = RoundQuotient(std::int64_t(DestHeight) * h, SrcHeight);
        DestY = DestY + DestHeight - n;
        DestHeight = n;
        SrcHeight = h;
        if (sourceEmpty()) return;
    }
    if (SrcX < 0) {
        const std::int32_t w = SrcWidth + SrcX;
        const std::int32_t n = RoundQuotient(std::int64_t(DestWidth) * w, SrcWidth);
        DestX = DestX + DestWidth - n;
        DestWidth = n;
        SrcWidth = w;
        SrcX = 0;
        if (sourceEmpty()) return;
    }

    const gw::PaletteHandle palette = options.UseOwnPalette ? dib.Palette : options.Palette;
    gw::PaletteHandle devicePalette = 0;
    if (dib.HasPalette) {
        devicePalette = dc.SelectPalette(palette, false);
        dc.RealizePalette();
    }

    if (bitCount == 24 && ScreenColorDepth() <= 8 && Halftone) {
        DrawHalftoned(dc, DestX, DestY, DestWidth, DestHeight, dib, SrcX, SrcY, SrcWidth, SrcHeight,
                      rop, palette);
    } else if (bitCount == 24 && !printer) {
        StretchRows24(dc, DestX, DestY, DestWidth, DestHeight, dib, SrcX, height - SrcY - SrcHeight,
                      SrcWidth, SrcHeight);
    } else if (bitCount == 8 && !printer) {
        StretchRows8(dc, DestX, DestY, DestWidth, DestHeight, dib, SrcX, height - SrcY - SrcHeight,
                     SrcWidth, SrcHeight);
    } else if (dc.StretchDIBits(DestX, DestY, DestWidth, DestHeight, SrcX, SrcY, SrcWidth,
                                SrcHeight, dib.Bits.get(), *dib.Info, DIB_RGB_COLORS,
                                rop) == GDI_ERROR) {
        const bool buffered = (dc.GetDeviceCaps(RASTERCAPS) & RC_DIBTODEV) != 0 &&
                              DrawThroughBuffer(dc, DestX, DestY, DestWidth, DestHeight, dib, SrcX,
                                                SrcY, SrcWidth, SrcHeight);
        if (!buffered) {
            DrawThroughBitmap(dc, DestX, DestY, DestWidth, DestHeight, dib, SrcX, SrcY, SrcWidth,
                              SrcHeight, rop);
        }
    }

    if (dib.HasPalette) dc.SelectPalette(devicePalette, false);
}

}  // namespace gw
