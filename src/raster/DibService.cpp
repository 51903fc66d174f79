#include "raster/DibService.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/AllocationLimit.h"
#include "platform/Catalogue.h"
#include "platform/FileAccess.h"
#include "raster/Halftone.h"
#include "raster/ImageFiles.h"
#include "raster/ImageRefusal.h"

namespace gw {

void newdib(DibImage& dib, std::int32_t width, std::int32_t height, std::int32_t bitCount,
            const BitmapInfo* colorSource, std::int32_t colors, DibPixels pixels) {
    deldib(dib);
    if (width < 1 || height < 1 || width > kMaxDibSide || height > kMaxDibSide) return;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return;
    const std::int64_t stride = DibStride(width, bitCount);
    const std::int64_t size = stride * height;
    if (size > kMaxDibBytes || !MayAllocate(std::size_t(size))) return;

    auto info = std::make_unique<BitmapInfo>();
    BitmapInfoHeader& h = info->bmiHeader;
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = static_cast<std::uint16_t>(bitCount);
    h.biSizeImage = static_cast<std::uint32_t>(size);
    const std::int32_t tableSize = PaletteSize(bitCount);
    if (colors > tableSize) colors = tableSize;
    if (colorSource && colors > 0) {
        std::memcpy(info->bmiColors, colorSource->bmiColors, std::size_t(colors) * sizeof(RgbQuad));
    }
    h.biClrUsed = colors > 0 ? std::uint32_t(colors) : 0;

    // Zeroed by the system without being touched here; a large picture in huge pages.
    DibBits bits = pixels == DibPixels::Zeroed ? AllocateZeroed(std::size_t(size))
                                               : AllocateUncleared(std::size_t(size));
    if (!bits) {
        NoteAllocationFailure();
        return;
    }
    dib.Info = std::move(info);
    dib.Bits = std::move(bits);
    dib.Stride = static_cast<std::int32_t>(stride);
    dib.HasPalette = false;
    dib.Palette = 0;
}

void deldib(DibImage& dib) {
    dib.Bits.reset();
    dib.Info.reset();
    dib.Stride = 0;
    dib.HasPalette = false;
    dib.Palette = 0;
}

}  // namespace gw

namespace gw {

void OpenDib(DibImage& dib, const std::string& fileName) {
    OpenDib(dib, fileName, ImageLimits());
}

namespace {

// Decodes the open file as the decoder reads it, so a big file is never held whole beside its
// picture; never more than the limit is read, should the file grow meanwhile. Decoders ask for a
// few bytes at a time, so the file is read in larger pieces.
void DecodeOpenFile(int fd, std::uint64_t size, DibImage& dib, const ImageLimits& limits) {
    std::vector<std::uint8_t> buffer(std::size_t(64) << 10);
    std::size_t begin = 0, end = 0;
    std::uint64_t left = kMaxImageFileBytes;
    const ByteReader read = [&](std::uint8_t* to, std::size_t n) -> std::size_t {
        while (begin == end) {
            const std::size_t want = std::size_t(std::min<std::uint64_t>(buffer.size(), left));
            if (want == 0) return 0;
            const ssize_t got = ::read(fd, buffer.data(), want);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return 0;
            left -= std::uint64_t(got);
            begin = 0;
            end = std::size_t(got);
        }
        n = std::min(n, end - begin);
        std::memcpy(to, buffer.data() + begin, n);
        begin += n;
        return n;
    };
    DecodeImageFrom(read, size, dib, limits);
}

}  // namespace

void OpenDib(DibImage& dib, const std::string& fileName, const ImageLimits& limits) {
    deldib(dib);
    imagefiles::ClearRefusal();
    std::uint64_t size = 0;
    const int fd = OpenRegularFile(fileName, size);
    if (fd < 0) {
        imagefiles::NoteRefusal(N_("Die Datei lässt sich nicht öffnen."));
        return;
    }
    try {
        if (size > kMaxImageFileBytes)
            imagefiles::NoteRefusal(N_("Die Datei ist größer als 256 MB."));
        else
            DecodeOpenFile(fd, size, dib, limits);
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
    }
    ::close(fd);
}

std::string GetDIBOpenFilter() {
    // The names of the kinds are shown in the file dialog, the patterns are not.
    return catalogue::Tr(
        "Alle Bilddateien (*.gif;*.png;*.jpg;*.jpeg;*.bmp)|*.gif;*.png;*.jpg;*.jpeg;*.bmp|"
        "GIF-Bilder (*.gif)|*.gif|"
        "PNG-Bilder (*.png)|*.png|"
        "JPEG-Bilder (*.jpg;*.jpeg)|*.jpg;*.jpeg|"
        "BMP-Bilder (*.bmp)|*.bmp|"
        "Alle Dateien (*.*)|*.*");
}

void DIBHalftoneDIB(DibImage& out, const DibImage& src) {
    HalftoneDib(out, src, DibWidth(src), DibHeight(src));
}

void DIBHalftoneDIBXY(DibImage& out, const DibImage& src, std::int32_t width, std::int32_t height) {
    HalftoneDib(out, src, width, height);
}

namespace {

// Where pixel x of stored row y lies, or null when the image has no such pixel.
const std::uint8_t* PixelByte(const DibImage& dib, std::int32_t x, std::int32_t y) {
    if (dib.Empty() || x < 0 || y < 0 || x >= DibWidth(dib) || y >= DibHeight(dib)) return nullptr;
    const std::uint32_t bits = DibBitCount(dib);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return nullptr;
    return dib.StoredRow(y) + std::size_t(x) * bits / 8;
}

}  // namespace

std::uint32_t getpixel(const DibImage& dib, std::int32_t x, std::int32_t y) {
    const std::uint8_t* p = PixelByte(dib, x, y);
    if (!p) return 0;
    switch (DibBitCount(dib)) {
        case 1:
            return (*p >> (7 - (x & 7))) & 1u;
        case 4:
            return (x & 1) ? (*p & 0x0Fu) : (*p >> 4);
        case 8:
            return *p;
        default:
            return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }
}

void setpixel(DibImage& dib, std::int32_t x, std::int32_t y, std::uint32_t value) {
    auto* p = const_cast<std::uint8_t*>(PixelByte(dib, x, y));
    if (!p) return;
    switch (DibBitCount(dib)) {
        case 1: {
            const auto mask = std::uint8_t(0x80u >> (x & 7));
            *p = (value & 1u) ? std::uint8_t(*p | mask) : std::uint8_t(*p & ~mask);
            break;
        }
        case 4:
            *p = (x & 1) ? std::uint8_t((*p & 0xF0u) | (value & 0x0Fu))
                         : std::uint8_t((*p & 0x0Fu) | (value & 0x0Fu) << 4);
            break;
        case 8:
            *p = std::uint8_t(value);
            break;
        default:
            p[0] = std::uint8_t(value);
            p[1] = std::uint8_t(value >> 8);
            p[2] = std::uint8_t(value >> 16);
            break;
    }
}

bool ImageFileTypeFromName(const std::string& fileName, ImageFileType& type) {
    const std::size_t slash = fileName.find_last_of('/');
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string ext = fileName.substr(dot + 1);
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "png") {
        type = ImageFileType::Png;
    } else if (ext == "jpg" || ext == "jpeg") {
        type = ImageFileType::Jpeg;
    } else if (ext == "bmp") {
        type = ImageFileType::Bmp;
    } else if (ext == "gif") {
        type = ImageFileType::Gif;
    } else if (ext == "pdf") {
        type = ImageFileType::Pdf;
    } else if (ext == "webp") {
        type = ImageFileType::Webp;
    } else if (ext == "svg") {
        type = ImageFileType::Svg;
    } else {
        return false;
    }
    return true;
}

bool SaveDib(const DibImage& dib, const std::string& fileName, ImageFileType type,
             std::string* error, int jpegQuality) {
    std::vector<std::uint8_t> bytes;
    if (!EncodeImage(dib, type, jpegQuality, bytes, error)) return false;
    if (ReplaceFile(fileName, bytes) != ReplaceStatus::Ok) {
        if (error)
            *error =
                catalogue::Fill(catalogue::Tr("Konnte die Datei %1 nicht schreiben."), {fileName});
        return false;
    }
    return true;
}

}  // namespace gw
