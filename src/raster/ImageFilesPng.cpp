// PNG read through libpng, from memory or straight from a file, and written to memory by our own
// chunk writer, the picture data deflated on every core (PngDeflate).
//
// libpng reports errors by longjmp. The functions that call setjmp therefore hold no object with
// a destructor: everything that must be released lives in a job record owned by the caller.

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <new>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <tmmintrin.h>
#endif

#include "platform/AllocationLimit.h"
#include "raster/DibService.h"
#include "raster/ImageFilesCodecs.h"
#include "raster/PngDeflate.h"

namespace gw::imagefiles {

namespace {

struct PngReadJob {
    const std::uint8_t* data = nullptr;  // the whole file, or null when `reader` gives it
    const ByteReader* reader = nullptr;
    std::uint64_t size = 0;  // of the whole file
    std::size_t pos = 0;
    DibImage dib;
    std::vector<std::uint8_t> rgba;  // rows with alpha, before they are laid over white
    std::vector<png_bytep> rows;
};

void ReadBytes(png_structp png, png_bytep buffer, png_size_t length) {
    auto* job = static_cast<PngReadJob*>(png_get_io_ptr(png));
    if (job->reader) {
        const std::size_t got = (*job->reader)(buffer, length);
        if (got != length) png_error(png, "truncated");
        return;
    }
    if (length > job->size - job->pos) png_error(png, "truncated");
    std::memcpy(buffer, job->data + job->pos, length);
    job->pos += length;
}

void Fail(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void Ignore(png_structp, png_const_charp) {}

std::uint8_t OverWhite(unsigned colour, unsigned alpha) {
    return std::uint8_t((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

bool RunRead(png_structp png, png_infop info, PngReadJob& job) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &job, ReadBytes);
    png_set_user_limits(png, kMaxDibSide, kMaxDibSide);
    png_set_chunk_malloc_max(png, std::size_t(8) << 20);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
    const std::uint64_t storedRow =
        (std::uint64_t(width) * png_get_channels(png, info) * unsigned(depth) + 7) / 8 + 1;
    if (!WithinBudget(storedRow * height, job.size, kPngRatio)) return false;

    const bool palette = colorType == PNG_COLOR_TYPE_PALETTE;
    // A palette picture wanted at 24 bits has its indices read into the last third of each row
    // and looked up there, so it never needs a picture of its own.
    const bool lookUp = palette && TrueColourWanted();
    const int bitCount = palette && !lookUp ? 8 : 24;
    if (!DibSizeAllowed(width, height, bitCount)) return false;
    BitmapInfo table;
    if (palette) {
        png_colorp entries = nullptr;
        int count = 0;
        if (!png_get_PLTE(png, info, &entries, &count) || count < 1 || count > 256) return false;
        for (int i = 0; i < count; ++i) {
            table.bmiColors[i].rgbRed = entries[i].red;
            table.bmiColors[i].rgbGreen = entries[i].green;
            table.bmiColors[i].rgbBlue = entries[i].blue;
        }
        // Indices beyond the palette read as black from the zero-padded table.
        png_set_packing(png);
    } else {
        png_set_scale_16(png);
        png_set_expand_gray_1_2_4_to_8(png);
        if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
        png_set_gray_to_rgb(png);
        png_set_bgr(png);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const unsigned channels = png_get_channels(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    const bool alpha = !palette && channels == 4;
    if (palette ? (channels != 1 || rowBytes != width) : (channels != 3 && channels != 4)) {
        return false;
    }
    if (!palette && rowBytes != std::size_t(width) * channels) return false;

    newdib(job.dib, std::int32_t(width), std::int32_t(height), bitCount,
           bitCount == 8 ? &table : nullptr, bitCount == 8 ? 256 : 0);
    if (job.dib.Empty()) return false;
    // Nothing may throw past libpng's frames: a failure here returns, so the caller frees it.
    try {
        job.rows.resize(height);
        if (alpha && MayAllocate(rowBytes * height)) job.rgba.resize(rowBytes * height);
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
        return false;
    }
    if (alpha) {
        if (job.rgba.empty()) return false;
        for (png_uint_32 t = 0; t < height; ++t)
            job.rows[t] = job.rgba.data() + rowBytes * t;
    } else {
        const std::size_t indicesAt = lookUp ? std::size_t(width) * 2 : 0;
        for (png_uint_32 t = 0; t < height; ++t)
            job.rows[t] = job.dib.Row(std::int32_t(t)) + indicesAt;
    }
    png_read_image(png, job.rows.data());
    // The end chunk must be there too: a file cut short anywhere is damaged.
    png_read_end(png, nullptr);

    if (lookUp) {
        for (png_uint_32 t = 0; t < height; ++t)
            PaletteRowTo24(job.rows[t], 8, width, table.bmiColors, job.dib.Row(std::int32_t(t)));
    }

    if (alpha) {
        for (png_uint_32 t = 0; t < height; ++t) {
            const std::uint8_t* src = job.rows[t];
            std::uint8_t* dst = job.dib.Row(std::int32_t(t));
            for (png_uint_32 x = 0; x < width; ++x, src += 4, dst += 3) {
                dst[0] = OverWhite(src[0], src[3]);
                dst[1] = OverWhite(src[1], src[3]);
                dst[2] = OverWhite(src[2], src[3]);
            }
        }
    }
    return true;
}

// Pixels `x` to `width` of a row as the file stores them: each byte less the same byte of the
// pixel before, the colours turned from blue-green-red to red-green-blue and the opacity, when
// there is one, after them. `out` is where the row's first pixel goes.
template <bool kAlpha>
void FilterPixels(const std::uint8_t* src, const std::uint8_t* a, std::int64_t x,
                  std::int64_t width, std::uint8_t* out) {
    std::uint8_t r0 = 0, g0 = 0, b0 = 0, a0 = 0;
    if (x > 0) {
        r0 = src[3 * x - 1];
        g0 = src[3 * x - 2];
        b0 = src[3 * x - 3];
        if constexpr (kAlpha) a0 = a[x - 1];
    }
    src += 3 * x;
    out += (kAlpha ? 4 : 3) * x;
    for (; x < width; ++x, src += 3) {
        const std::uint8_t r = src[2], g = src[1], b = src[0];
        out[0] = std::uint8_t(r - r0);
        out[1] = std::uint8_t(g - g0);
        out[2] = std::uint8_t(b - b0);
        r0 = r;
        g0 = g;
        b0 = b;
        if constexpr (kAlpha) {
            out[3] = std::uint8_t(a[x] - a0);
            a0 = a[x];
            out += 4;
        } else {
            out += 3;
        }
    }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The same from pixel 1 on, five pixels a step (four with the opacity): the row less itself a
// pixel later, its bytes shuffled into place. Sixteen bytes are read and written a step, the
// last of them written again by the next step; returns the first pixel not done.
template <bool kAlpha>
__attribute__((target("ssse3"))) std::int64_t FilterPixelsShuffled(const std::uint8_t* src,
                                                                   const std::uint8_t* a,
                                                                   std::int64_t width,
                                                                   std::uint8_t* out) {
    const auto load = [](const std::uint8_t* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    };
    std::int64_t x = 1;
    if constexpr (kAlpha) {
        const __m128i colours = _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
        const __m128i opacities =
            _mm_setr_epi8(-1, -1, -1, 0, -1, -1, -1, 1, -1, -1, -1, 2, -1, -1, -1, 3);
        for (; x + 6 <= width; x += 4) {
            const std::uint8_t* p = src + 3 * x;
            std::int32_t now, before;
            std::memcpy(&now, a + x, 4);
            std::memcpy(&before, a + x - 1, 4);
            const __m128i d = _mm_sub_epi8(load(p), load(p - 3));
            const __m128i da = _mm_sub_epi8(_mm_cvtsi32_si128(now), _mm_cvtsi32_si128(before));
            _mm_storeu_si128(
                reinterpret_cast<__m128i*>(out + 4 * x),
                _mm_or_si128(_mm_shuffle_epi8(d, colours), _mm_shuffle_epi8(da, opacities)));
        }
    } else {
        const __m128i colours = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
        for (; x + 6 <= width; x += 5) {
            const std::uint8_t* p = src + 3 * x;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x),
                             _mm_shuffle_epi8(_mm_sub_epi8(load(p), load(p - 3)), colours));
        }
    }
    return x;
}
#endif

// Row t of the picture as the file stores it: the sub filter's type byte, then the pixels.
template <bool kAlpha>
void FilterRow(const DibImage& dib, const std::uint8_t* alpha, std::int64_t t, std::uint8_t* out) {
    const std::int64_t width = DibWidth(dib);
    const std::uint8_t* src = dib.Row(std::int32_t(t));
    const std::uint8_t* a = kAlpha ? alpha + width * t : nullptr;
    *out++ = 1;
    std::int64_t x = 0;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool shuffles = __builtin_cpu_supports("ssse3");
    if (shuffles && width > 1) {
        FilterPixels<kAlpha>(src, a, 0, 1, out);
        x = FilterPixelsShuffled<kAlpha>(src, a, width, out);
    }
#endif
    FilterPixels<kAlpha>(src, a, x, width, out);
}

}  // namespace

namespace {

bool DecodePngJob(PngReadJob& job, DibImage& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Ignore);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    const bool ok = info && RunRead(png, info, job);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok) return false;
    out = std::move(job.dib);
    return true;
}

}  // namespace

bool DecodePng(const std::uint8_t* data, std::size_t size, DibImage& out) {
    PngReadJob job;
    job.data = data;
    job.size = size;
    return DecodePngJob(job, out);
}

bool DecodePng(const ByteReader& read, std::uint64_t size, DibImage& out) {
    PngReadJob job;
    job.reader = &read;
    job.size = size;
    return DecodePngJob(job, out);
}

// The sub filter and our row deflate encode many times faster than libpng's defaults, for files
// about as large (smaller for plain letterings, a little larger for textures); the pixels are the
// same either way.
bool EncodePng(const DibImage& dib, const ImageExtras& extras, std::vector<std::uint8_t>& bytes) {
    const std::int64_t width = DibWidth(dib);
    const std::int64_t height = DibHeight(dib);
    const std::vector<std::uint8_t>* alpha = extras.alpha;
    if (dib.Empty() || width < 1 || height < 1 || DibBitCount(dib) != 24) return false;
    if (alpha && alpha->size() != std::size_t(width * height)) return false;

    static constexpr std::uint8_t kSignature[8] = {137, 'P', 'N', 'G', 13, 10, 26, 10};
    std::uint8_t header[13] = {};
    PutPngNumber(header, std::uint32_t(width));
    PutPngNumber(header + 4, std::uint32_t(height));
    header[8] = 8;              // bits a sample
    header[9] = alpha ? 6 : 2;  // colour with opacity, or colour only
    if (!AppendBytes(bytes, kSignature, sizeof kSignature) ||
        !AppendPngChunk(bytes, "IHDR", header, sizeof header))
        return false;
    if (extras.dpi > 0) {
        const auto perMetre = std::uint32_t(extras.dpi / 0.0254 + 0.5);
        std::uint8_t density[9];
        PutPngNumber(density, perMetre);
        PutPngNumber(density + 4, perMetre);
        density[8] = 1;  // the unit is the metre
        if (!AppendPngChunk(bytes, "pHYs", density, sizeof density)) return false;
    }
    const std::uint8_t* opacity = alpha ? alpha->data() : nullptr;
    const std::size_t rowBytes = 1 + std::size_t(width) * (alpha ? 4 : 3);
    PngRowWriter writeRow = [&](std::int64_t t, std::uint8_t* out) {
        FilterRow<false>(dib, nullptr, t, out);
    };
    if (alpha) {
        writeRow = [&](std::int64_t t, std::uint8_t* out) {
            FilterRow<true>(dib, opacity, t, out);
        };
    }
    return AppendPngData(height, rowBytes, alpha ? 4 : 3, writeRow, bytes) &&
           AppendPngChunk(bytes, "IEND", nullptr, 0);
}

}  // namespace gw::imagefiles
