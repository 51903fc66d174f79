#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>

#include "platform/ParallelRows.h"
#include "raster/DibService.h"
#include "raster/ImageFiles.h"
#include "raster/PngDeflate.h"

namespace gw {
namespace {

// A file as libpng reads it with every check on: a wrong CRC in any chunk, a wrong Adler-32 and
// even a warning fail the read.
struct ReadBack {
    png_uint_32 width = 0, height = 0;
    int colorType = -1;
    png_uint_32 perMetre = 0;  // 0: no pHYs
    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;
    const std::vector<std::uint8_t>* file = nullptr;
    std::size_t pos = 0;
};

void Refuse(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void FromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* r = static_cast<ReadBack*>(png_get_io_ptr(png));
    if (length > r->file->size() - r->pos) png_error(png, "truncated");
    std::copy_n(r->file->data() + r->pos, length, out);
    r->pos += length;
}

bool RunStrictRead(png_structp png, png_infop info, ReadBack& r) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &r, FromMemory);
    png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
    png_read_info(png, info);
    int depth = 0;
    png_get_IHDR(png, info, &r.width, &r.height, &depth, &r.colorType, nullptr, nullptr, nullptr);
    png_uint_32 y = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &r.perMetre, &y, &unit) && (y != r.perMetre || unit != 1))
        return false;
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    r.pixels.resize(rowBytes * r.height);
    r.rows.resize(r.height);
    for (png_uint_32 t = 0; t < r.height; ++t)
        r.rows[t] = r.pixels.data() + rowBytes * t;
    png_read_image(png, r.rows.data());
    png_read_end(png, nullptr);
    return depth == 8 && r.pos == r.file->size();
}

bool StrictRead(const std::vector<std::uint8_t>& file, ReadBack& r) {
    r.file = &file;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Refuse, Refuse);
    png_infop info = png_create_info_struct(png);
    const bool ok = RunStrictRead(png, info, r);
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}

// Rows that repeat every seven rows over noise along the row, so that deflate matches reach back
// across the pieces' seams, into the window each piece is primed with.
std::uint8_t Sample(std::int64_t x, std::int64_t t, int k) {
    std::uint32_t h = std::uint32_t(x * 2654435761u) ^ std::uint32_t((t % 7) * 40503u + k * 977u);
    h ^= h >> 13;
    return std::uint8_t(h * 0x9E3779B1u >> 24);
}

TEST(PngEncoder, SameBytesOnAnyThreadsAndThePixelsReadBackExactly) {
    struct Case {
        int width;
        int pieces;  // whole pieces of rows
        int extra;   // rows after them
        bool alpha;
        int dpi;
    };
    const Case cases[] = {
        {1, 0, 1, false, 0},   {1, 0, 1, true, 300},   {7, 0, 3, false, 72},
        {301, 1, 0, false, 0}, {301, 1, 0, true, 96},  {301, 3, 5, false, 300},
        {173, 4, 1, true, 0},  {4001, 2, 17, true, 0},
    };
    for (const Case& c : cases) {
        const std::size_t rowBytes = 1 + std::size_t(c.width) * (c.alpha ? 4 : 3);
        const int height = int(imagefiles::PngRowsPerChunk(rowBytes)) * c.pieces + c.extra;
        SCOPED_TRACE(testing::Message() << c.width << "x" << height << (c.alpha ? " RGBA" : " RGB")
                                        << " dpi " << c.dpi);
        DibImage dib;
        newdib(dib, c.width, height, 24, nullptr, 0);
        std::vector<std::uint8_t> alpha(std::size_t(c.width) * std::size_t(height));
        for (int t = 0; t < height; ++t) {
            for (int x = 0; x < c.width; ++x) {
                for (int k = 0; k < 3; ++k)
                    dib.Row(t)[x * 3 + k] = Sample(x, t, k);
                alpha[std::size_t(t) * c.width + x] = Sample(x, t, 3);
            }
        }
        ImageExtras extras;
        extras.dpi = c.dpi;
        extras.alpha = c.alpha ? &alpha : nullptr;

        std::vector<std::uint8_t> first;
        for (int threads : {1, 2, 3, 7}) {
            const ParallelThreadsScope scope(threads);
            std::vector<std::uint8_t> bytes;
            ASSERT_TRUE(EncodeImage(dib, ImageFileType::Png, 90, bytes, nullptr, extras));
            if (first.empty())
                first = bytes;
            else
                ASSERT_EQ(bytes, first) << threads << " threads";
        }

        ReadBack r;
        ASSERT_TRUE(StrictRead(first, r));
        EXPECT_EQ(r.width, png_uint_32(c.width));
        EXPECT_EQ(r.height, png_uint_32(height));
        EXPECT_EQ(r.colorType, c.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB);
        EXPECT_EQ(r.perMetre, png_uint_32(c.dpi ? c.dpi / 0.0254 + 0.5 : 0));
        const int channels = c.alpha ? 4 : 3;
        for (int t = 0; t < height; ++t) {
            const std::uint8_t* got = r.rows[std::size_t(t)];
            for (int x = 0; x < c.width; ++x, got += channels) {
                const std::uint8_t* bgr = dib.Row(t) + x * 3;
                const bool same = got[0] == bgr[2] && got[1] == bgr[1] && got[2] == bgr[0] &&
                                  (!c.alpha || got[3] == alpha[std::size_t(t) * c.width + x]);
                ASSERT_TRUE(same) << x << "," << t;
            }
        }
    }
}

}  // namespace
}  // namespace gw
