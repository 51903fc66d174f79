#include "raster/ImageFixtures.h"

#include <gif_lib.h>
#include <png.h>
#include <stdlib.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <jpeglib.h>

#include "raster/DibService.h"

namespace gw::test {

namespace {

void AppendPng(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

int AppendGif(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

ColorMapObject* MapOf(const std::vector<Rgb>& colors) {
    if (colors.empty()) return nullptr;
    std::vector<GifColorType> entries;
    for (const Rgb& c : colors)
        entries.push_back({c.r, c.g, c.b});
    return GifMakeMapObject(int(entries.size()), entries.data());
}

void Put(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

}  // namespace

Bytes MakePng(const PngPlan& plan) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendPng, NoFlush);
    png_set_IHDR(png, info, png_uint_32(plan.width), png_uint_32(plan.height), plan.depth,
                 plan.colorType, plan.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (const Rgb& c : plan.palette)
        palette.push_back({c.r, c.g, c.b});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_color_16 key{};
    if (!plan.transparency.empty()) {
        if (plan.colorType == PNG_COLOR_TYPE_PALETTE) {
            png_set_tRNS(png, info, plan.transparency.data(), int(plan.transparency.size()),
                         nullptr);
        } else {
            const Bytes& t = plan.transparency;
            if (plan.colorType == PNG_COLOR_TYPE_GRAY) {
                key.gray = png_uint_16(t[0] << 8 | t[1]);
            } else {
                key.red = png_uint_16(t[0] << 8 | t[1]);
                key.green = png_uint_16(t[2] << 8 | t[3]);
                key.blue = png_uint_16(t[4] << 8 | t[5]);
            }
            png_set_tRNS(png, info, nullptr, 0, &key);
        }
    }
    png_write_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes * std::size_t(plan.height) != plan.rows.size()) {
        throw std::logic_error("PNG fixture rows have the wrong size");
    }
    std::vector<png_bytep> rows;
    for (int t = 0; t < plan.height; ++t)
        rows.push_back(const_cast<png_bytep>(plan.rows.data() + rowBytes * std::size_t(t)));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes MakeGif(const GifPlan& plan) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendGif, &error);
    ColorMapObject* global = MapOf(plan.globalMap);
    ColorMapObject* local = MapOf(plan.localMap);
    const int screenWidth = plan.screenWidth ? plan.screenWidth : plan.width;
    const int screenHeight = plan.screenHeight ? plan.screenHeight : plan.height;
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, plan.background, global);
    if (plan.transparentIndex >= 0) {
        const GifByteType control[4] = {1, 0, 0, GifByteType(plan.transparentIndex)};
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    EGifPutImageDesc(gif, plan.left, plan.top, plan.width, plan.height, plan.interlaced, local);
    std::vector<int> order;
    if (plan.interlaced) {
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int t = start[pass]; t < plan.height; t += step[pass])
                order.push_back(t);
    } else {
        for (int t = 0; t < plan.height; ++t)
            order.push_back(t);
    }
    for (int t : order) {
        EGifPutLine(gif, const_cast<GifPixelType*>(plan.pixels.data()) + t * plan.width,
                    plan.width);
    }
    if (plan.second) {
        EGifPutImageDesc(gif, plan.left, plan.top, plan.width, plan.height, false, nullptr);
        std::vector<GifPixelType> ones(std::size_t(plan.width), 1);
        for (int t = 0; t < plan.height; ++t)
            EGifPutLine(gif, ones.data(), plan.width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(global);
    GifFreeMapObject(local);
    return out;
}

Bytes MakeJpeg(const JpegPlan& plan) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(plan.width);
    cinfo.image_height = JDIMENSION(plan.height);
    cinfo.input_components = plan.components;
    cinfo.in_color_space = plan.components == 1   ? JCS_GRAYSCALE
                           : plan.components == 3 ? JCS_RGB
                                                  : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, plan.quality, TRUE);
    if (plan.progressive) jpeg_simple_progression(&cinfo);
    std::vector<jpeg_scan_info> scans;
    if (plan.scansPerCoefficient > 0) {
        scans.push_back({1, {0, 0, 0, 0}, 0, 0, 0, 0});
        for (int k = 1; k < 64; ++k) {
            if (plan.scansPerCoefficient == 1) {
                scans.push_back({1, {0, 0, 0, 0}, k, k, 0, 0});
            } else {
                scans.push_back({1, {0, 0, 0, 0}, k, k, 0, 1});
            }
        }
        if (plan.scansPerCoefficient > 1) {
            for (int k = 1; k < 64; ++k)
                scans.push_back({1, {0, 0, 0, 0}, k, k, 1, 0});
        }
        cinfo.scan_info = scans.data();
        cinfo.num_scans = int(scans.size());
    }
    cinfo.arith_code = plan.arithmetic ? TRUE : FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t rowBytes = std::size_t(plan.width) * std::size_t(plan.components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(plan.pixels.data() + rowBytes * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

Bytes MakeBmp(const BmpPlan& plan) {
    Bytes header;
    if (plan.headerSize == 12) {
        Put(header, 12, 4);
        Put(header, std::uint32_t(plan.width), 2);
        Put(header, std::uint32_t(plan.height), 2);
        Put(header, plan.planes, 2);
        Put(header, plan.bits, 2);
    } else {
        Put(header, plan.headerSize, 4);
        Put(header, std::uint32_t(plan.width), 4);
        Put(header, std::uint32_t(plan.height), 4);
        Put(header, plan.planes, 2);
        Put(header, plan.bits, 2);
        Put(header, plan.compression, 4);
        Put(header, std::uint32_t(plan.pixels.size()), 4);
        Put(header, 2835, 4);
        Put(header, 2835, 4);
        Put(header, plan.colorsUsed, 4);
        Put(header, 0, 4);
        // Longer headers: the masks first (R, G, B, A), the rest zero.
        if (plan.headerSize > 40) {
            Put(header, 0x00FF0000, 4);
            Put(header, 0x0000FF00, 4);
            Put(header, 0x000000FF, 4);
            Put(header, 0xFF000000, 4);
            header.resize(plan.headerSize, 0);
        }
        if (plan.bitfieldMasks) {
            Put(header, 0x00FF0000, 4);
            Put(header, 0x0000FF00, 4);
            Put(header, 0x000000FF, 4);
        }
    }
    for (const Rgb& c : plan.table) {
        header.insert(header.end(), {c.b, c.g, c.r});
        if (plan.headerSize != 12) header.push_back(0);
    }
    const std::uint32_t natural = std::uint32_t(14 + header.size());
    const std::uint32_t offset = plan.pixelOffset < 0 ? natural : std::uint32_t(plan.pixelOffset);
    Bytes out{'B', 'M'};
    Put(out, std::uint32_t(natural + plan.pixels.size()), 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    out.insert(out.end(), header.begin(), header.end());
    if (offset > natural) out.resize(offset, 0);
    out.insert(out.end(), plan.pixels.begin(), plan.pixels.end());
    return out;
}

DibImage MakeRgbPicture(int width, int height, std::uint32_t seed) {
    DibImage dib;
    newdib(dib, width, height, 24, nullptr, 0);
    std::uint32_t state = seed;
    for (int t = 0; t < height; ++t) {
        std::uint8_t* row = dib.Row(t);
        for (int i = 0; i < dib.Stride; ++i) {
            state = state * 1664525u + 1013904223u;
            const int x = i / 3;
            // Smooth gradients with a little noise: JPEG keeps it close, PNG exactly.
            const int base = (i % 3 == 0) ? 4 * x : (i % 3 == 1) ? 5 * t : 2 * (x + t);
            row[i] = std::uint8_t(base + (state >> 29));
        }
    }
    return dib;
}

Bytes ReadFileBytes(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& fileName, const Bytes& bytes) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string MakeTempFolder() {
    std::string name = "/tmp/glyphwerk-test-XXXXXX";
    if (!mkdtemp(name.data())) throw std::runtime_error("no temporary folder");
    return name + "/";
}

}  // namespace gw::test
