#pragma once
// Image files in memory: the decoders behind OpenDib and the encoders behind SaveDib.
//
// Every decoder treats its input as hostile. Before anything is allocated, the picture must fit
// kMaxDibSide and kMaxDibBytes, and the bytes the format stores for it must fit into what the file
// could carry at the format's densest coding (see ImageFilesCodecs.h). A damaged, truncated or
// unsupported file leaves the image empty and prints nothing.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "raster/DibImage.h"
#include "raster/DibService.h"

namespace gw {

// Largest file OpenDib reads at all.
constexpr std::size_t kMaxImageFileBytes = std::size_t(256) << 20;

// Limits a caller may set beyond those of every image (kMaxDibSide, kMaxDibBytes), checked before
// anything is allocated for the picture.
struct ImageLimits {
    std::int32_t maxSide = kMaxDibSide;
    std::int64_t maxPixels = std::int64_t(kMaxDibSide) * kMaxDibSide;
    // Every picture at 24 bits, a palette one looked up row by row as it is decoded, so that no
    // picture of indices is ever held beside it.
    bool trueColour = false;
};

// A texture is tiled into a picture of at most 9999 x 9999 pixels: a larger one would only cost
// memory. The render reads a 24-bit texture in place.
inline constexpr ImageLimits kTextureLimits{9999, 100'000'000, true};

// Decodes a GIF, PNG, JPEG or BMP file held in memory, told apart by its first bytes. On success
// `out` holds the picture: GIF and palette PNG at 8 bits with their colour table padded to 256
// entries; BMP at 1, 4, 8 or 24 bits as stored (32 bits become 24); everything else at 24 bits.
// With the limits' trueColour every picture is 24 bits. On failure `out` is empty. Never reads
// outside data[0, size).
bool DecodeImage(const std::uint8_t* data, std::size_t size, DibImage& out,
                 const ImageLimits& limits = {});

// Reads up to `size` further bytes of an image file into `to`; how many came, 0 at its end.
using ByteReader = std::function<std::size_t(std::uint8_t* to, std::size_t size)>;

// DecodeImage for a file of `fileSize` bytes read through `read` as the decoder goes: GIF, PNG and
// JPEG never hold the file whole, only their work and the picture; of a BMP only the headers, the
// colour table and the pixel data are held, and of a palette BMP wanted at 24 bits only one row of
// its pixel data at a time.
bool DecodeImageFrom(const ByteReader& read, std::uint64_t fileSize, DibImage& out,
                     const ImageLimits& limits = {});

// What an export may add to the plain picture. Without either the files are as they always were.
struct ImageExtras {
    // Pixels per inch, stored in PNG (pHYs) and JPEG (JFIF density); a PDF page takes its size
    // from it. 0: none given (no resolution stored; a PDF page at 96).
    int dpi = 0;
    // Opacity of every pixel, one byte each, rows from the top; PNG, PDF and WebP only.
    const std::vector<std::uint8_t>* alpha = nullptr;
    // Quality of a lossy format, 1 to 100: JPEG's instead of the caller's jpegQuality; WebP is
    // lossy with it and lossless without. 0: none given.
    int quality = 0;
};

constexpr int kMaxQuality = 100;

constexpr int kMaxDpi = 10000;

// Encodes the picture in the given format into `bytes` (replaced). PNG, JPEG, PDF and WebP take
// 24-bit images; BMP takes 1, 4, 8 and 24 bits as stored; GIF takes 1, 4 and 8 bits with their
// colour table. False, with a German message in `error` when the picture does not suit the format.
bool EncodeImage(const DibImage& dib, ImageFileType type, int jpegQuality,
                 std::vector<std::uint8_t>& bytes, std::string* error = nullptr,
                 const ImageExtras& extras = {});

}  // namespace gw
