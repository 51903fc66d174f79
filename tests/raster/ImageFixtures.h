#pragma once
// Small image files made in memory with the format libraries, for the decoder tests.

#include <cstdint>
#include <string>
#include <vector>

#include "raster/DibImage.h"

namespace gw::test {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r, g, b;
};

// PNG of any colour type; `rows` holds the packed rows as libpng takes them, top row first.
struct PngPlan {
    int width = 1;
    int height = 1;
    int colorType = 2;  // PNG_COLOR_TYPE_RGB
    int depth = 8;
    bool interlaced = false;
    std::vector<Rgb> palette;
    Bytes transparency;  // tRNS: palette alphas, or the 2/6 bytes of a grey/RGB colour key
    Bytes rows;
};
Bytes MakePng(const PngPlan& plan);

// GIF of one image (or two, when `second` is set) with 8-bit indices, top row first.
struct GifPlan {
    int screenWidth = 0;  // 0: the image's size
    int screenHeight = 0;
    int background = 0;
    std::vector<Rgb> globalMap;  // empty: none; size a power of two
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    bool interlaced = false;
    std::vector<Rgb> localMap;
    Bytes pixels;  // width x height, top row first (written in interlaced order when asked)
    int transparentIndex = -1;  // a graphic control extension before the image
    bool second = false;        // a second image of the same size, all pixels 1
};
Bytes MakeGif(const GifPlan& plan);

// JPEG from 1 (grey), 3 (RGB) or 4 (CMYK, stored as given, with the Adobe marker) components a
// pixel, top row first.
struct JpegPlan {
    int width = 8;
    int height = 8;
    int components = 3;
    Bytes pixels;
    int quality = 100;
    bool progressive = false;
    bool arithmetic = false;
    // Grey only: a progressive file with one scan a coefficient (64 scans), or with every AC
    // coefficient first coarse, then refined (127 scans).
    int scansPerCoefficient = 0;
};
Bytes MakeJpeg(const JpegPlan& plan);

// BMP built field by field, so that tests can make every field lie.
struct BmpPlan {
    std::uint32_t headerSize = 40;  // 12, 40, 108, 124
    std::int32_t width = 1;
    std::int32_t height = 1;  // negative: top-down
    std::uint16_t planes = 1;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<Rgb> table;         // written as 3-byte (core) or 4-byte entries
    bool bitfieldMasks = false;     // 12 bytes of R, G, B masks after a 40-byte header
    std::int64_t pixelOffset = -1;  // -1: right after the table
    Bytes pixels;                   // the rows exactly as they go into the file
};
Bytes MakeBmp(const BmpPlan& plan);

// A 24-bit picture filled by a formula of (x, image row t), with garbage in the row padding.
DibImage MakeRgbPicture(int width, int height, std::uint32_t seed = 1);

Bytes ReadFileBytes(const std::string& fileName);
void WriteFileBytes(const std::string& fileName, const Bytes& bytes);
// A fresh empty folder under the system's temporary folder.
std::string MakeTempFolder();

}  // namespace gw::test
