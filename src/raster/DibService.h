#pragma once
// The DIB service: creating, releasing, loading, halftoning and exporting DibImages.

#include <cstdint>
#include <string>

#include "raster/DibImage.h"

namespace gw {

// Sane limits for every image the program makes or reads.
constexpr std::int32_t kMaxDibSide = 16384;
constexpr std::int64_t kMaxDibBytes = std::int64_t(1) << 30;  // 1 GiB of pixel data

// Whether a new image's pixels are zero, or left as the memory held them for a maker that writes
// every byte of its rows, padding included, before anything reads one.
enum class DibPixels { Zeroed, Uncleared };

// Makes `dib` a new image (releasing what it held) of width x height at bitCount (1, 4, 8, 24)
// bits, its pixels zero (or as `pixels` says). `colors` colour-table entries are copied from
// `colorSource` (when not null). Impossible requests (a side below 1 or above kMaxDibSide, more
// than kMaxDibBytes, another bit count) and lack of memory leave `dib` empty.
void newdib(DibImage& dib, std::int32_t width, std::int32_t height, std::int32_t bitCount,
            const BitmapInfo* colorSource, std::int32_t colors,
            DibPixels pixels = DibPixels::Zeroed);

// Releases the image; `dib` is empty afterwards. An empty image is accepted.
void deldib(DibImage& dib);

// Loads an image file: GIF (8 bits with its colour table), PNG (palette images 8 bits, all others
// 24), JPEG (24 bits), BMP (1, 4, 8 and 24 bits, as stored; 32 bits become 24). A file that cannot
// be read, is damaged, truncated or too large leaves `dib` empty; nothing is shown to the user.
// The decoding itself is DecodeImage (raster/ImageFiles.h).
struct ImageLimits;
void OpenDib(DibImage& dib, const std::string& fileName);
void OpenDib(DibImage& dib, const std::string& fileName, const ImageLimits& limits);

// The open-dialog filter of the formats OpenDib reads: description and pattern pairs, all parts
// separated by '|'.
std::string GetDIBOpenFilter();

// A palette image of the same size with a fixed halftone palette, dithered.
void DIBHalftoneDIB(DibImage& out, const DibImage& src);
// The same, resampled to width x height.
void DIBHalftoneDIBXY(DibImage& out, const DibImage& src, std::int32_t width, std::int32_t height);

// Pixel value at column x of stored row y (0 = bottom): the colour-table index for 1, 4 and 8
// bits, 0x00RRGGBB for 24 bits. Outside the image: 0 and no write.
std::uint32_t getpixel(const DibImage& dib, std::int32_t x, std::int32_t y);
void setpixel(DibImage& dib, std::int32_t x, std::int32_t y, std::uint32_t value);

// SVG is drawn by the vector render alone: the raster encoders and SaveDib refuse it.
enum class ImageFileType { Png, Jpeg, Bmp, Gif, Pdf, Webp, Svg };

// The file type an export name asks for by its extension (.png, .jpg, .jpeg, .bmp, .gif, .pdf,
// .webp, .svg; any case). False when the extension is none of them.
bool ImageFileTypeFromName(const std::string& fileName, ImageFileType& type);

// Writes the image to a file. PNG and JPEG take 24-bit images (PNG keeps the exact bytes); BMP
// takes 1, 4, 8 and 24 bits as stored; GIF takes 8-bit (also 1 and 4-bit) images with their
// colour table. The file is written beside the target under a temporary name and renamed into
// place when complete, so a failure leaves an existing file untouched. False, with a German
// message in `error`, when the image does not suit the format or the file cannot be written.
bool SaveDib(const DibImage& dib, const std::string& fileName, ImageFileType type,
             std::string* error = nullptr, int jpegQuality = 92);

}  // namespace gw
