#include "raster/ImageFiles.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/AllocationLimit.h"

#include "raster/ImageFilesCodecs.h"

namespace gw {

namespace imagefiles {

namespace {

// The caller's limits for the decoding under way; every decoder asks DibSizeAllowed before it
// allocates, so they need not be handed through each format's code.
thread_local ImageLimits t_limits;

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

bool DibSizeAllowed(std::int64_t width, std::int64_t height, int bitCount) {
    if (width < 1 || height < 1 || width > kMaxDibSide || height > kMaxDibSide) return false;
    if (width > t_limits.maxSide || height > t_limits.maxSide ||
        width * height > t_limits.maxPixels)
        return false;
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
    if (!gif && !png && !jpeg) {
        // The BMP decoder works on the file in memory.
        if (fileSize > kMaxImageFileBytes || !MayAllocate(std::size_t(fileSize))) return false;
        std::vector<std::uint8_t> bytes(head, head + sizeof head);
        bytes.resize(std::size_t(fileSize));
        std::size_t have = sizeof head;
        while (have < bytes.size()) {
            const std::size_t n = read(bytes.data() + have, bytes.size() - have);
            if (n == 0) break;
            have += n;
        }
        bytes.resize(have);
        return DecodeImageOrThrow(bytes.data(), bytes.size(), out);
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
        return fail("Es gibt kein Bild zum Speichern.");
    }
    const std::uint32_t bits = DibBitCount(dib);
    if (extras.dpi < 0 || extras.dpi > kMaxDpi)
        return fail("Die Auflösung liegt außerhalb von 1 bis 10000 dpi.");
    if (extras.alpha) {
        if (type != ImageFileType::Png && type != ImageFileType::Pdf)
            return fail("Einen transparenten Hintergrund können nur PNG und PDF speichern.");
        if (extras.alpha->size() != std::size_t(DibWidth(dib)) * std::size_t(DibHeight(dib)))
            return fail("Das Bild konnte nicht umgewandelt werden.");
    }
    bool ok = false;
    if (type != ImageFileType::Png && type != ImageFileType::Jpeg && type != ImageFileType::Pdf &&
        extras.dpi != 0)
        return fail("Eine Auflösung können nur PNG, JPEG und PDF speichern.");
    try {
        switch (type) {
            case ImageFileType::Png:
            case ImageFileType::Jpeg:
            case ImageFileType::Pdf:
                if (bits != 24)
                    return fail("Dieses Bildformat braucht ein Bild mit 24 Bit Farbtiefe.");
                ok = type == ImageFileType::Png ? imagefiles::EncodePng(dib, extras, bytes)
                     : type == ImageFileType::Jpeg
                         ? imagefiles::EncodeJpeg(dib, jpegQuality, extras.dpi, bytes)
                         : imagefiles::EncodePdf(dib, extras, bytes);
                break;
            case ImageFileType::Bmp:
                if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
                    return fail(
                        "Dieses Bildformat braucht ein Bild mit 1, 4, 8 oder 24 Bit Farbtiefe.");
                }
                ok = imagefiles::EncodeBmp(dib, bytes);
                break;
            case ImageFileType::Gif:
                if (bits != 1 && bits != 4 && bits != 8) {
                    return fail(
                        "Dieses Bildformat braucht ein Bild mit Farbtabelle (8 Bit Farbtiefe).");
                }
                ok = imagefiles::EncodeGif(dib, bytes);
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
    if (!ok) return fail("Das Bild konnte nicht umgewandelt werden.");
    return true;
}

}  // namespace gw
