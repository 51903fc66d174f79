// BMP, read and written by our own code.
//
// The reader takes the 12-byte core header and the 40-byte info header with its longer V4/V5
// successors; 1, 4, 8, 24 and 32 bits uncompressed (32 bits also as bit fields in the usual
// byte order), and 8 and 4 bits run-length encoded. Other compressions (embedded JPEG/PNG, other
// bit fields) are refused. Every offset and count is checked against the bytes that are really
// there before it is used.

#include <cstring>
#include <vector>

#include "platform/AllocationLimit.h"
#include "platform/Catalogue.h"
#include "raster/DibService.h"
#include "raster/ImageFilesCodecs.h"
#include "raster/ImageRefusal.h"

namespace gw::imagefiles {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kLargestHeaderSize = 124;  // V5
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

// A run of up to 255 pixels costs two bytes, so run-length data of n bytes fills at most about
// 128n pixels; skips (end of line, delta, end of picture) could claim any size in a few bytes.
// Pictures larger than this many pixels a byte of run-length data are refused.
constexpr std::uint64_t kRlePixelsPerByte = 256;

std::uint32_t U16(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
}
std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::int64_t I32(const std::uint8_t* p) {
    return std::int64_t(std::int32_t(U32(p)));
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Decodes run-length data into a zeroed bottom-up picture of 8 or 4 bits. Pixels beyond the
// right or top edge are dropped; the data must end with the end-of-picture mark.
bool DecodeRle(const std::uint8_t* src, std::size_t size, bool four, DibImage& dib) {
    const std::int64_t width = DibWidth(dib);
    const std::int64_t height = DibHeight(dib);
    std::int64_t x = 0, y = 0;
    auto put = [&](std::uint32_t index) {
        if (x < width && y < height) setpixel(dib, std::int32_t(x), std::int32_t(y), index);
        ++x;
    };
    // Every step consumes at least two bytes and writes at most 255 pixels.
    std::size_t i = 0;
    while (i + 2 <= size) {
        const std::uint32_t count = src[i];
        const std::uint32_t value = src[i + 1];
        i += 2;
        if (count > 0) {
            for (std::uint32_t k = 0; k < count; ++k)
                put(four ? ((k & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                ++y;
                break;
            case 1:  // end of picture
                return true;
            case 2:  // delta: move right and up
                if (i + 2 > size) return false;
                x += src[i];
                y += src[i + 1];
                i += 2;
                break;
            default: {  // `value` pixels stored as they are, padded to an even number of bytes
                const std::size_t bytes = four ? (value + 1) / 2 : value;
                const std::size_t padded = (bytes + 1) & ~std::size_t(1);
                if (padded > size - i) return false;
                for (std::uint32_t k = 0; k < value; ++k)
                    put(four ? ((k & 1) ? src[i + k / 2] & 0x0F : src[i + k / 2] >> 4)
                             : src[i + k]);
                i += padded;
                break;
            }
        }
    }
    return false;
}

}  // namespace

bool DecodeBmp(const std::uint8_t* data, std::size_t size, DibImage& out, const ByteReader* rows) {
    if (size < kFileHeaderSize + 4) return false;
    const std::uint64_t pixelOffset = U32(data + 10);
    const std::uint32_t headerSize = U32(data + kFileHeaderSize);
    const std::uint8_t* h = data + kFileHeaderSize;

    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bits = 0, compression = kBiRgb, colorsUsed = 0;
    std::uint64_t tableOffset = kFileHeaderSize + std::uint64_t(headerSize);
    std::uint32_t entrySize = 4;
    if (headerSize == kCoreHeaderSize) {
        if (size < tableOffset) return false;
        width = U16(h + 4);
        height = U16(h + 6);
        planes = U16(h + 8);
        bits = U16(h + 10);
        entrySize = 3;
    } else if (headerSize >= kInfoHeaderSize && headerSize <= kLargestHeaderSize) {
        if (size < tableOffset) return false;
        width = I32(h + 4);
        height = I32(h + 8);
        planes = U16(h + 12);
        bits = U16(h + 14);
        compression = U32(h + 16);
        colorsUsed = U32(h + 32);
    } else {
        return false;
    }
    if (planes != 1) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        NoteRefusal(bits == 16 ? N_("BMP-Bilder mit 16 Bit Farbtiefe werden nicht unterstützt.")
                               : N_("Die Farbtiefe dieses BMP-Bildes wird nicht unterstützt."));
        return false;
    }

    if (compression == kBiBitfields) {
        // The masks follow a plain info header and are part of the longer ones.
        const std::uint64_t masks = kFileHeaderSize + kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) tableOffset += 12;
        if (bits != 32 || size < masks + 12) return false;
        if (U32(data + masks) != 0x00FF0000 || U32(data + masks + 4) != 0x0000FF00 ||
            U32(data + masks + 8) != 0x000000FF) {
            return false;
        }
    } else if (compression == kBiRle8 || compression == kBiRle4) {
        if (bits != (compression == kBiRle8 ? 8u : 4u)) return false;
    } else if (compression != kBiRgb) {
        return false;
    }
    const bool rle = compression == kBiRle8 || compression == kBiRle4;
    if (rows && (rle || bits > 8 || !TrueColourWanted())) return false;

    // Negative heights mark rows stored from the top; width is never negative.
    const bool topDown = height < 0;
    if (topDown && rle) return false;
    if (topDown) height = -height;
    const bool lookUp = bits <= 8 && TrueColourWanted();
    const int outBits = bits == 32 ? 24 : int(bits);
    if (!DibSizeAllowed(width, height, lookUp ? 24 : outBits)) return false;

    BitmapInfo table;
    std::int32_t colors = 0;
    if (bits <= 8) {
        const std::uint32_t full = 1u << bits;
        if (colorsUsed > full) return false;
        colors = std::int32_t(colorsUsed ? colorsUsed : full);
        const std::uint64_t tableEnd = tableOffset + std::uint64_t(colors) * entrySize;
        if (tableEnd > size || tableEnd > pixelOffset) return false;
        for (std::int32_t i = 0; i < colors; ++i) {
            const std::uint8_t* e = data + tableOffset + std::size_t(i) * entrySize;
            table.bmiColors[i].rgbBlue = e[0];
            table.bmiColors[i].rgbGreen = e[1];
            table.bmiColors[i].rgbRed = e[2];
        }
    } else if (tableOffset > pixelOffset) {
        return false;
    }

    const std::uint64_t srcStride = std::uint64_t(DibStride(width, int(bits)));
    if (pixelOffset > size) return false;
    // Run-length data is as long as the header says (it must say), uncompressed rows as their size.
    const std::uint64_t dataSize = rle ? U32(h + 20) : srcStride * std::uint64_t(height);
    // Rows still to be read were weighed against the file's size by the caller.
    if (!rows && dataSize > size - pixelOffset) return false;
    if (rle && !WithinBudget(std::uint64_t(width) * std::uint64_t(height), std::size_t(dataSize),
                             kRlePixelsPerByte)) {
        return false;
    }

    DibImage dib;
    if (lookUp && !rle) {
        newdib(dib, std::int32_t(width), std::int32_t(height), 24, nullptr, 0);
    } else {
        newdib(dib, std::int32_t(width), std::int32_t(height), outBits, &table, colors);
    }
    if (dib.Empty()) return false;
    if (rle) {
        if (!DecodeRle(data + pixelOffset, std::size_t(dataSize), bits == 4, dib)) return false;
        if (lookUp) {
            // Runs may skip anywhere, so they are laid out at their own depth first.
            DibImage full;
            newdib(full, std::int32_t(width), std::int32_t(height), 24, nullptr, 0);
            if (full.Empty()) return false;
            for (std::int32_t r = 0; r < height; ++r)
                PaletteRowTo24(dib.StoredRow(r), int(bits), width, table.bmiColors,
                               full.StoredRow(r));
            dib = std::move(full);
        }
        out = std::move(dib);
        return true;
    }
    if (rows) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(srcStride));
        for (std::int64_t fileRow = 0; fileRow < height; ++fileRow) {
            for (std::size_t got = 0; got < row.size();) {
                const std::size_t n = (*rows)(row.data() + got, row.size() - got);
                if (n == 0) return false;
                got += n;
            }
            const std::int64_t r = topDown ? height - 1 - fileRow : fileRow;
            PaletteRowTo24(row.data(), int(bits), width, table.bmiColors,
                           dib.StoredRow(std::int32_t(r)));
        }
        out = std::move(dib);
        return true;
    }
    for (std::int32_t r = 0; r < height; ++r) {
        const std::int64_t fileRow = topDown ? height - 1 - r : r;
        const std::uint8_t* src = data + pixelOffset + std::uint64_t(fileRow) * srcStride;
        std::uint8_t* dst = dib.StoredRow(r);
        if (lookUp) {
            PaletteRowTo24(src, int(bits), width, table.bmiColors, dst);
            continue;
        }
        if (bits != 32) {
            std::memcpy(dst, src, std::size_t(srcStride));
            continue;
        }
        for (std::int64_t x = 0; x < width; ++x, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
    out = std::move(dib);
    return true;
}

bool EncodeBmp(const DibImage& dib, std::vector<std::uint8_t>& bytes) {
    const int bits = int(DibBitCount(dib));
    const std::uint32_t colors = bits <= 8 ? 1u << bits : 0;
    const std::uint32_t pixelOffset = std::uint32_t(kFileHeaderSize + kInfoHeaderSize + 4 * colors);
    const std::uint64_t pixelBytes = DibImageSize(dib);
    const std::uint64_t fileSize = pixelOffset + pixelBytes;
    if (fileSize > 0xFFFFFFFFu) return false;

    bytes.clear();
    CheckAllocation(std::size_t(fileSize));
    bytes.reserve(std::size_t(fileSize));
    bytes.push_back('B');
    bytes.push_back('M');
    Put32(bytes, std::uint32_t(fileSize));
    Put32(bytes, 0);
    Put32(bytes, pixelOffset);
    Put32(bytes, kInfoHeaderSize);
    Put32(bytes, std::uint32_t(DibWidth(dib)));
    Put32(bytes, std::uint32_t(DibHeight(dib)));
    Put16(bytes, 1);
    Put16(bytes, std::uint32_t(bits));
    Put32(bytes, kBiRgb);
    Put32(bytes, std::uint32_t(pixelBytes));
    Put32(bytes, 2835);  // 72 dots an inch
    Put32(bytes, 2835);
    Put32(bytes, colors);
    Put32(bytes, 0);
    for (std::uint32_t i = 0; i < colors; ++i) {
        const RgbQuad& q = dib.Info->bmiColors[i];
        bytes.insert(bytes.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, 0});
    }
    bytes.insert(bytes.end(), dib.Bits.get(), dib.Bits.get() + pixelBytes);
    return true;
}

}  // namespace gw::imagefiles
