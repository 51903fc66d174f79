#include "raster/ImageFiles.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/AllocationLimit.h"

#include "platform/Catalogue.h"
#include "raster/ImageFilesCodecs.h"
#include "raster/ImageRefusal.h"

namespace gw {

namespace imagefiles {

namespace {

// The caller's limits for the decoding under way; every decoder asks DibSizeAllowed before it
// allocates, so they need not be handed through each format's code.
thread_local ImageLimits t_limits;
thread_local const char* t_refusal = nullptr;

class ScopedLimits {
  public:
    explicit ScopedLimits(const ImageLimits& limits) : previous_(t_limits) { t_limits = limits; }
    ~ScopedLimits() { t_limits = previous_; }
    ScopedLimits(const ScopedLimits&) = delete;
    ScopedLimits& operator=(const ScopedLimits&) = delete;

  private:
    ImageLimits previous_;
};

}  // namespace

void NoteRefusal(const char* reason) {
    if (!t_refusal) t_refusal = reason;
}

bool WorkingBufferAllowed(std::uint64_t bytes) {
    const std::uint64_t budget = std::uint64_t(std::min<std::int64_t>(
                                     t_limits.maxPixels, std::int64_t(kMaxDibSide) * kMaxDibSide)) *
                                 3;
    if (bytes > budget) {
        NoteRefusal(
            N_("Das progressive JPEG-Bild bräuchte beim Lesen mehr Speicher, als eine Textur "
               "haben darf."));
        return false;
    }
    return MayAllocate(std::size_t(bytes));
}

bool TrueColourWanted() {
    return t_limits.trueColour;
}

void PaletteRowTo24(const std::uint8_t* indices, int bits, std::int64_t width,
                    const RgbQuad* colours, std::uint8_t* pixels) {
    const int perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (std::int64_t x = 0; x < width; ++x, pixels += 3) {
        const unsigned shift = unsigned(bits * (perByte - 1 - int(x % perByte)));
        const RgbQuad& colour = colours[(indices[x / perByte] >> shift) & mask];
        pixels[0] = colour.rgbBlue;
        pixels[1] = colour.rgbGreen;
        pixels[2] = colour.rgbRed;
    }
}

void ClearRefusal() {
    t_refusal = nullptr;
}

bool DibSizeAllowed(std::int64_t width, std::int64_t height, int bitCount) {
    if (width < 1 || height < 1) return false;
    if (width > kMaxDibSide || height > kMaxDibSide || width > t_limits.maxSide ||
        height > t_limits.maxSide || width * height > t_limits.maxPixels) {
        NoteRefusal(kRefusedTooLarge);
        return false;
    }
    return DibStride(width, bitCount) * height <= kMaxDibBytes;
}

bool WithinBudget(std::uint64_t needed, std::size_t fileSize, std::uint64_t ratio) {
    // Ratios stay below 2^14, so the product only wraps for buffers beyond 2^50 bytes; those
    // exceed every picture limit anyway.
    if (fileSize > (std::uint64_t(1) << 44)) return true;
    return needed <= std::uint64_t(fileSize) * ratio;
}

bool AppendBytes(std::vector<std::uint8_t>& bytes, const std::uint8_t* data, std::size_t size) {
    try {
        if (bytes.size() + size > bytes.capacity() &&
            !MayAllocate(std::max(bytes.size() + size, 2 * bytes.capacity())))
            return false;
        bytes.insert(bytes.end(), data, data + size);
        return true;
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
        return false;
    }
}

}  // namespace imagefiles

namespace {

bool DecodeImageOrThrow(const std::uint8_t* data, std::size_t size, DibImage& out) {
    deldib(out);
    if (!data || size < 8) return false;
    DibImage image;
    bool ok = false;
    if (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0) {
        ok = imagefiles::DecodeGif(data, size, image);
    } else if (std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) {
        ok = imagefiles::DecodePng(data, size, image);
    } else if (data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        ok = imagefiles::DecodeJpeg(data, size, image);
    } else if (data[0] == 'B' && data[1] == 'M') {
        ok = imagefiles::DecodeBmp(data, size, image);
    }
    if (!ok || image.Empty()) return false;
    out = std::move(image);
    return true;
}

// Appends up to n further bytes of the file to `bytes`; false when fewer came.
bool Append(const ByteReader& read, std::uint64_t n, std::vector<std::uint8_t>& bytes) {
    const std::size_t at = bytes.size();
    if (!MayAllocate(at + std::size_t(n))) return false;
    bytes.resize(at + std::size_t(n));
    std::size_t got = 0;
    while (got < n) {
        const std::size_t more = read(bytes.data() + at + got, std::size_t(n) - got);
        if (more == 0) break;
        got += more;
    }
    bytes.resize(at + got);
    return got == n;
}

std::uint32_t LittleEndian(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// The parts of a BMP file its decoder reads: the headers with the colour table, and the pixel
// data. Whatever lies between them or after the data is skipped, not held: the data is moved up
// behind the table and the offset in the file header says so. A file whose headers do not say
// where its data lies is read whole, for the decoder to refuse.
//
// A palette picture wanted at 24 bits leaves its uncompressed rows in the file (`rowsFollow`):
// the decoder reads them one at a time, so they are never held beside the picture.
bool ReadBmpParts(const std::uint8_t (&head)[8], const ByteReader& read, std::uint64_t fileSize,
                  std::vector<std::uint8_t>& bytes, bool& rowsFollow) {
    rowsFollow = false;
    constexpr std::uint64_t kFileHeader = 14, kCoreHeader = 12, kInfoHeader = 40,
                            kLargestHeader = 124;
    // The longest header, the three colour masks a plain info header is followed by, and the
    // largest colour table.
    constexpr std::uint64_t kTablesEnd = kFileHeader + kLargestHeader + 12 + 256 * 4;
    bytes.assign(head, head + sizeof head);
    Append(read, kFileHeader + 4 - sizeof head, bytes);
    const auto readWhole = [&] {
        return fileSize <= kMaxImageFileBytes && fileSize >= bytes.size() &&
               (Append(read, fileSize - bytes.size(), bytes), true);
    };
    if (bytes.size() < kFileHeader + 4) return true;
    const std::uint64_t pixelOffset = LittleEndian(&bytes[10], 4);
    const std::uint64_t headerSize = LittleEndian(&bytes[kFileHeader], 4);
    if (headerSize != kCoreHeader && (headerSize < kInfoHeader || headerSize > kLargestHeader))
        return readWhole();
    const std::uint64_t kept = std::min(pixelOffset, kTablesEnd);
    if (pixelOffset > fileSize || kept < kFileHeader + headerSize) return readWhole();
    Append(read, kept - bytes.size(), bytes);
    if (bytes.size() != kept) return true;
    const std::uint8_t* h = bytes.data() + kFileHeader;
    const bool core = headerSize == kCoreHeader;
    const std::int64_t width = core ? LittleEndian(h + 4, 2) : std::int32_t(LittleEndian(h + 4, 4));
    std::int64_t height = core ? LittleEndian(h + 6, 2) : std::int32_t(LittleEndian(h + 8, 4));
    const std::uint32_t bits = LittleEndian(h + (core ? 10 : 14), 2);
    const std::uint32_t compression = core ? 0 : LittleEndian(h + 16, 4);
    if (height < 0) height = -height;
    if (width < 1 || width > kMaxDibSide || height < 1 || height > kMaxDibSide || bits < 1 ||
        bits > 32)
        return readWhole();
    const bool rle = compression == 1 || compression == 2;
    const std::uint64_t dataSize =
        rle ? LittleEndian(h + 20, 4)
            : std::uint64_t(DibStride(width, int(bits))) * std::uint64_t(height);
    // Skipped bytes are read through a small piece at a time.
    std::uint8_t skipped[4096];
    for (std::uint64_t gap = pixelOffset - kept; gap > 0;) {
        const std::size_t n =
            read(skipped, std::size_t(std::min<std::uint64_t>(gap, sizeof skipped)));
        if (n == 0) return true;
        gap -= n;
    }
    for (int i = 0; i < 4; ++i)
        bytes[10 + std::size_t(i)] = std::uint8_t(kept >> (8 * i));
    rowsFollow = imagefiles::TrueColourWanted() && bits <= 8 && compression == 0 &&
                 dataSize <= fileSize - pixelOffset;
    if (!rowsFollow) Append(read, std::min(dataSize, fileSize - pixelOffset), bytes);
    return true;
}

bool DecodeImageFromOrThrow(const ByteReader& read, std::uint64_t fileSize, DibImage& out) {
    deldib(out);
    std::uint8_t head[8];
    std::size_t got = 0;
    while (got < sizeof head) {
        const std::size_t n = read(head + got, sizeof head - got);
        if (n == 0) return false;
        got += n;
    }
    const bool gif = std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0;
    const bool png = std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0;
    const bool jpeg = head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
    if (head[0] == 'B' && head[1] == 'M') {
        std::vector<std::uint8_t> bytes;
        bool rowsFollow = false;
        if (!ReadBmpParts(head, read, fileSize, bytes, rowsFollow)) return false;
        if (!rowsFollow) return DecodeImageOrThrow(bytes.data(), bytes.size(), out);
        DibImage image;
        if (!imagefiles::DecodeBmp(bytes.data(), bytes.size(), image, &read) || image.Empty())
            return false;
        out = std::move(image);
        return true;
    }
    if (!gif && !png && !jpeg) {
        imagefiles::NoteRefusal(N_("Die Datei ist kein GIF-, PNG-, JPEG- oder BMP-Bild."));
        return false;
    }
    // The decoders read the file from its start: the bytes taken to tell the format come first.
    std::size_t served = 0;
    const ByteReader whole = [&](std::uint8_t* to, std::size_t size) {
        std::size_t n = 0;
        if (served < sizeof head) {
            n = std::min(size, sizeof head - served);
            std::memcpy(to, head + served, n);
            served += n;
        }
        while (n < size) {
            const std::size_t more = read(to + n, size - n);
            if (more == 0) break;
            n += more;
        }
        return n;
    };
    DibImage image;
    const bool ok = gif   ? imagefiles::DecodeGif(whole, image)
                    : png ? imagefiles::DecodePng(whole, fileSize, image)
                          : imagefiles::DecodeJpeg(whole, fileSize, image);
    if (!ok || image.Empty()) return false;
    out = std::move(image);
    return true;
}

}  // namespace

std::string ImageRefusalReason() {
    const char* reason = imagefiles::t_refusal ? imagefiles::t_refusal
                                               : N_("Die Datei ist beschädigt oder unvollständig.");
    return catalogue::Tr(reason);
}

bool DecodeImageFrom(const ByteReader& read, std::uint64_t fileSize, DibImage& out,
                     const ImageLimits& limits) {
    const imagefiles::ScopedLimits scoped(limits);
    try {
        return DecodeImageFromOrThrow(read, fileSize, out);
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
        deldib(out);
        return false;
    }
}

bool DecodeImage(const std::uint8_t* data, std::size_t size, DibImage& out,
                 const ImageLimits& limits) {
    const imagefiles::ScopedLimits scoped(limits);
    try {
        return DecodeImageOrThrow(data, size, out);
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
        deldib(out);
        return false;
    }
}

bool EncodeImage(const DibImage& dib, ImageFileType type, int jpegQuality,
                 std::vector<std::uint8_t>& bytes, std::string* error, const ImageExtras& extras) {
    const std::uint64_t failuresBefore = AllocationFailures();
    bytes.clear();
    auto fail = [&](const char* message) {
        if (error) *error = message;
        bytes.clear();
        return false;
    };
    if (dib.Empty() || DibWidth(dib) < 1 || DibHeight(dib) < 1) {
        return fail(catalogue::Tr("Es gibt kein Bild zum Speichern."));
    }
    if (type == ImageFileType::Svg)
        return fail(
            catalogue::Tr("Eine SVG-Grafik entsteht aus den Umrissen der Buchstaben, nicht aus "
                          "einem Rasterbild."));
    const std::uint32_t bits = DibBitCount(dib);
    if (extras.dpi < 0 || extras.dpi > kMaxDpi)
        return fail(catalogue::Tr("Die Auflösung liegt außerhalb von 1 bis 10000 dpi."));
    if (extras.alpha) {
        if (type != ImageFileType::Png && type != ImageFileType::Pdf && type != ImageFileType::Webp)
            return fail(catalogue::Tr(
                "Einen transparenten Hintergrund können nur PNG, PDF und WebP speichern."));
        if (extras.alpha->size() != std::size_t(DibWidth(dib)) * std::size_t(DibHeight(dib)))
            return fail(catalogue::Tr("Das Bild konnte nicht umgewandelt werden."));
    }
    if (extras.quality != 0) {
        if (type != ImageFileType::Jpeg && type != ImageFileType::Webp)
            return fail(catalogue::Tr("Eine Qualitätsstufe haben nur JPEG und WebP."));
        if (extras.quality < 1 || extras.quality > kMaxQuality)
            return fail(catalogue::Tr("Die Qualität liegt außerhalb von 1 bis 100."));
    }
    if (type == ImageFileType::Pdf && !imagefiles::PdfAvailable())
        return fail(catalogue::Tr(
            "PDF-Dateien schreibt die Bibliothek cairo (libcairo2), die hier fehlt."));
    bool ok = false;
    if (type != ImageFileType::Png && type != ImageFileType::Jpeg && type != ImageFileType::Pdf &&
        extras.dpi != 0)
        return fail(catalogue::Tr("Eine Auflösung können nur PNG, JPEG und PDF speichern."));
    try {
        switch (type) {
            case ImageFileType::Png:
            case ImageFileType::Jpeg:
            case ImageFileType::Pdf:
            case ImageFileType::Webp:
                if (bits != 24)
                    return fail(
                        catalogue::Tr("Dieses Bildformat braucht ein Bild mit 24 Bit Farbtiefe."));
                ok =
                    type == ImageFileType::Png ? imagefiles::EncodePng(dib, extras, bytes)
                    : type == ImageFileType::Jpeg
                        ? imagefiles::EncodeJpeg(dib, extras.quality ? extras.quality : jpegQuality,
                                                 extras.dpi, bytes)
                    : type == ImageFileType::Webp ? imagefiles::EncodeWebp(dib, extras, bytes)
                                                  : imagefiles::EncodePdf(dib, extras, bytes);
                break;
            case ImageFileType::Bmp:
                if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
                    return fail(catalogue::Tr(
                        "Dieses Bildformat braucht ein Bild mit 1, 4, 8 oder 24 Bit Farbtiefe."));
                }
                ok = imagefiles::EncodeBmp(dib, bytes);
                break;
            case ImageFileType::Gif:
                if (bits != 1 && bits != 4 && bits != 8) {
                    return fail(catalogue::Tr(
                        "Dieses Bildformat braucht ein Bild mit Farbtabelle (8 Bit Farbtiefe)."));
                }
                ok = imagefiles::EncodeGif(dib, bytes);
                break;
            case ImageFileType::Svg:
                break;
        }
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
        ok = false;
    }
    if (!ok && AllocationFailures() != failuresBefore) {
        bytes.shrink_to_fit();
        return fail(kOutOfMemoryMessage);
    }
    if (!ok) return fail(catalogue::Tr("Das Bild konnte nicht umgewandelt werden."));
    return true;
}

}  // namespace gw
