// GIF through giflib, read record by record so that every size is checked before it is used.

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "raster/DibService.h"
#include "raster/ImageFilesCodecs.h"

namespace gw::imagefiles {

namespace {

// The file as giflib reads it: whole in memory, or read from a file as it goes. Bytes read ahead
// of giflib (to weigh an image's data) are handed out before the file's next ones.
struct GifSource {
    const std::uint8_t* data = nullptr;  // the whole file, or null when `read` gives it
    std::size_t size = 0;
    std::size_t pos = 0;
    const ByteReader* read = nullptr;
    std::vector<std::uint8_t> ahead;
    std::size_t aheadPos = 0;

    // Up to n bytes of the file from `read`, appended to `ahead`; how many came.
    std::size_t ReadAhead(std::size_t n) {
        const std::size_t at = ahead.size();
        ahead.resize(at + n);
        std::size_t got = 0;
        while (got < n) {
            const std::size_t more = (*read)(ahead.data() + at + got, n - got);
            if (more == 0) break;
            got += more;
        }
        ahead.resize(at + got);
        return got;
    }
};

int ReadFromSource(GifFileType* gif, GifByteType* buffer, int length) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    if (length <= 0) return 0;
    if (!source->read) {
        const std::size_t n = std::min(std::size_t(length), source->size - source->pos);
        std::memcpy(buffer, source->data + source->pos, n);
        source->pos += n;
        return int(n);
    }
    std::size_t n = 0;
    if (source->aheadPos < source->ahead.size()) {
        n = std::min(std::size_t(length), source->ahead.size() - source->aheadPos);
        std::memcpy(buffer, source->ahead.data() + source->aheadPos, n);
        source->aheadPos += n;
        if (source->aheadPos == source->ahead.size()) {
            source->ahead.clear();
            source->aheadPos = 0;
        }
    }
    while (n < std::size_t(length)) {
        const std::size_t more = (*source->read)(buffer + n, std::size_t(length) - n);
        if (more == 0) break;
        n += more;
    }
    return int(n);
}

struct GifReadCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

bool SkipExtension(GifFileType* gif) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
    // Every sub-block consumes at least its length byte, so this ends at the file's end at latest.
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    }
    return true;
}

// The bytes of LZW data the image at the source's position holds: its sub-blocks, up to the end of
// the file at most. Comments and other blocks elsewhere in the file describe no pixels. A file
// being read is weighed only until `enough` bytes are found, so no more of it is held than the
// size check needs.
std::uint64_t ImageDataBytes(GifSource& source, std::uint64_t enough) {
    std::uint64_t total = 0;
    if (source.read) {
        while (total < enough && source.ReadAhead(1) == 1) {
            const std::size_t length = source.ahead.back();
            if (length == 0) break;
            const std::size_t got = source.ReadAhead(length);
            total += got;
            if (got < length) break;
        }
        return total;
    }
    for (std::size_t at = source.pos; at < source.size;) {
        const std::size_t length = source.data[at];
        if (length == 0) break;
        total += std::min(length, source.size - at - 1);
        at += length + 1;
    }
    return total;
}

// A logical screen far larger than the image on it is memory spent on background only.
constexpr std::int64_t kMaxScreenPerImage = 64;
constexpr std::int64_t kSmallScreenPixels = 4'000'000;

bool ReadFirstImage(GifFileType* gif, DibImage& out) {
    if (DGifGetImageDesc(gif) == GIF_ERROR) return false;
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map || !map->Colors || map->ColorCount < 1 || map->ColorCount > 256) return false;
    if (desc.Left < 0 || desc.Top < 0 || desc.Width < 1 || desc.Height < 1) return false;

    // Some writers put the image partly outside a too small (or zero) logical screen: the canvas
    // grows to hold it.
    const std::int64_t width =
        std::max<std::int64_t>(gif->SWidth, std::int64_t(desc.Left) + desc.Width);
    const std::int64_t height =
        std::max<std::int64_t>(gif->SHeight, std::int64_t(desc.Top) + desc.Height);
    // Wanted at 24 bits, each line is looked up as it comes, and no picture of indices is made.
    const bool lookUp = TrueColourWanted();
    if (!DibSizeAllowed(width, height, lookUp ? 24 : 8)) return false;
    const std::int64_t imagePixels = std::int64_t(desc.Width) * desc.Height;
    const std::uint64_t dataBytes = ImageDataBytes(*static_cast<GifSource*>(gif->UserData),
                                                   std::uint64_t(imagePixels) / kGifRatio + 1);
    if (!WithinBudget(std::uint64_t(imagePixels), std::size_t(dataBytes), kGifRatio)) return false;
    if (width * height > kSmallScreenPixels && width * height > kMaxScreenPerImage * imagePixels)
        return false;

    BitmapInfo table;
    for (int i = 0; i < map->ColorCount; ++i) {
        table.bmiColors[i].rgbRed = map->Colors[i].Red;
        table.bmiColors[i].rgbGreen = map->Colors[i].Green;
        table.bmiColors[i].rgbBlue = map->Colors[i].Blue;
    }
    DibImage dib;
    if (lookUp) {
        newdib(dib, std::int32_t(width), std::int32_t(height), 24, nullptr, 0);
    } else {
        newdib(dib, std::int32_t(width), std::int32_t(height), 8, &table, 256);
    }
    if (dib.Empty()) return false;

    const bool covered =
        desc.Left == 0 && desc.Top == 0 && desc.Width == width && desc.Height == height;
    std::vector<std::uint8_t> line;
    if (lookUp) {
        line.assign(std::size_t(std::max<std::int64_t>(width, desc.Width)),
                    std::uint8_t(gif->SBackGroundColor & 0xFF));
        if (!covered) {
            for (std::int32_t r = 0; r < height; ++r)
                PaletteRowTo24(line.data(), 8, width, table.bmiColors, dib.StoredRow(r));
        }
    } else if (!covered) {
        std::memset(dib.Bits.get(), gif->SBackGroundColor & 0xFF, DibImageSize(dib));
    }

    // Interlaced images send every 8th row from row 0, then every 8th from row 4, every 4th from
    // row 2 and every 2nd from row 1.
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    const int passes = desc.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = desc.Interlace ? kStart[pass] : 0;
        const int step = desc.Interlace ? kStep[pass] : 1;
        for (int t = start; t < desc.Height; t += step) {
            if (!lookUp) {
                std::uint8_t* row = dib.Row(desc.Top + t) + desc.Left;
                if (DGifGetLine(gif, row, desc.Width) == GIF_ERROR) return false;
                continue;
            }
            if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) return false;
            PaletteRowTo24(line.data(), 8, desc.Width, table.bmiColors,
                           dib.Row(desc.Top + t) + std::size_t(desc.Left) * 3);
        }
    }
    out = std::move(dib);
    return true;
}

struct MemoryWriter {
    std::vector<std::uint8_t>* bytes;
};

int WriteToMemory(GifFileType* gif, const GifByteType* buffer, int length) {
    auto* writer = static_cast<MemoryWriter*>(gif->UserData);
    if (length <= 0) return 0;
    return AppendBytes(*writer->bytes, buffer, std::size_t(length)) ? length : 0;
}

struct MapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

}  // namespace

namespace {

bool DecodeGifSource(GifSource& source, DibImage& out) {
    int error = 0;
    std::unique_ptr<GifFileType, GifReadCloser> gif(DGifOpen(&source, ReadFromSource, &error));
    if (!gif) return false;
    // Only the first image counts; extensions before it (comments, graphic control, loops) are
    // skipped, transparency with them.
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return false;
        switch (type) {
            case IMAGE_DESC_RECORD_TYPE:
                return ReadFirstImage(gif.get(), out);
            case EXTENSION_RECORD_TYPE:
                if (!SkipExtension(gif.get())) return false;
                break;
            default:
                return false;
        }
    }
}

}  // namespace

bool DecodeGif(const std::uint8_t* data, std::size_t size, DibImage& out) {
    GifSource source;
    source.data = data;
    source.size = size;
    return DecodeGifSource(source, out);
}

bool DecodeGif(const ByteReader& read, DibImage& out) {
    GifSource source;
    source.read = &read;
    return DecodeGifSource(source, out);
}

bool EncodeGif(const DibImage& dib, std::vector<std::uint8_t>& bytes) {
    const int bits = int(DibBitCount(dib));
    const int width = DibWidth(dib);
    const int height = DibHeight(dib);
    const int colors = 1 << bits;
    std::vector<GifColorType> palette(static_cast<std::size_t>(colors));
    for (int i = 0; i < colors; ++i) {
        palette[std::size_t(i)] = {dib.Info->bmiColors[i].rgbRed, dib.Info->bmiColors[i].rgbGreen,
                                   dib.Info->bmiColors[i].rgbBlue};
    }
    std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(colors, palette.data()));
    if (!map) return false;

    MemoryWriter writer{&bytes};
    int error = 0;
    GifFileType* gif = EGifOpen(&writer, WriteToMemory, &error);
    if (!gif) return false;
    bool ok = EGifPutScreenDesc(gif, width, height, bits, 0, map.get()) != GIF_ERROR &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_ERROR;
    std::vector<GifPixelType> line(std::size_t(width), 0);
    for (int t = 0; ok && t < height; ++t) {
        const std::uint8_t* row = dib.Row(t);
        if (bits == 8) {
            std::memcpy(line.data(), row, line.size());
        } else {
            for (int x = 0; x < width; ++x)
                line[std::size_t(x)] = GifPixelType(getpixel(dib, x, height - 1 - t));
        }
        ok = EGifPutLine(gif, line.data(), width) != GIF_ERROR;
    }
    // Closing writes the trailer and frees the handle even after a failure.
    if (EGifCloseFile(gif, &error) == GIF_ERROR) ok = false;
    return ok;
}

}  // namespace gw::imagefiles
