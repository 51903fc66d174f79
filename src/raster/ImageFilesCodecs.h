#pragma once
// The format codecs behind DecodeImage and EncodeImage, and the rules they share.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/DibImage.h"
#include "raster/ImageFiles.h"

namespace gw::imagefiles {

// Densest coding of each format: how many bytes of stored picture data one byte of file can
// describe at most. A file claiming more picture than its size times this ratio cannot hold it
// and is refused before anything is allocated.
//
// GIF: an LZW code is never shorter than 12 bits once its table is full, and stands for at most
// 4091 pixels (a chain of codes, each one pixel longer) -> below 2730 pixels a byte. The whole
// canvas (the logical screen) counts, not just the image on it.
constexpr std::uint64_t kGifRatio = 2730;
// PNG: deflate never expands a byte of data into more than 1032 bytes (a 258-byte match coded in
// two bits). Counted against the filtered rows, filter byte included.
constexpr std::uint64_t kPngRatio = 1032;
// JPEG (Huffman coding only; arithmetic coding is refused): every 8x8 block of a scanned
// component costs at least one bit, and a component subsampled 4x4 covers 32x32 pixels a block
// -> at most 8192 pixels a byte.
constexpr std::uint64_t kJpegPixelsPerByte = 8192;

// Whether the caller asked for every picture at 24 bits (ImageLimits::trueColour).
bool TrueColourWanted();
// The colours of a row of `width` palette indices packed at `bits` (1, 4 or 8) bits a pixel, as
// 24-bit pixels. At 8 bits `indices` may lie in the last third of `pixels`' own row: each index is
// read before anything is written over it.
void PaletteRowTo24(const std::uint8_t* indices, int bits, std::int64_t width,
                    const RgbQuad* colours, std::uint8_t* pixels);

// True when width x height at bitCount bits is a picture a DibImage may hold.
bool DibSizeAllowed(std::int64_t width, std::int64_t height, int bitCount);
// Whether a decoder may hold a working buffer of `bytes` beside the picture (a progressive
// JPEG's coefficients): no more than the caller's largest picture takes at 24 bits.
bool WorkingBufferAllowed(std::uint64_t bytes);
// True when `needed` bytes of stored picture fit into `fileSize` bytes at `ratio`.
bool WithinBudget(std::uint64_t needed, std::size_t fileSize, std::uint64_t ratio);

// Appends to an encoder's output; false (the failure counted) when the memory cannot be had.
// Never throws, so the libraries' callbacks can use it and report the failure their own way.
bool AppendBytes(std::vector<std::uint8_t>& bytes, const std::uint8_t* data, std::size_t size);

bool DecodeGif(const std::uint8_t* data, std::size_t size, DibImage& out);
bool DecodePng(const std::uint8_t* data, std::size_t size, DibImage& out);
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, DibImage& out);
// The same read from a file of `size` bytes as they go; `read` starts at the file's first byte.
bool DecodeGif(const ByteReader& read, DibImage& out);
bool DecodePng(const ByteReader& read, std::uint64_t size, DibImage& out);
bool DecodeJpeg(const ByteReader& read, std::uint64_t size, DibImage& out);
// With `rows`, the uncompressed rows of a palette picture are not in `data` but read from there
// one at a time, in the file's order (the picture is then 24 bits).
bool DecodeBmp(const std::uint8_t* data, std::size_t size, DibImage& out,
               const ByteReader* rows = nullptr);

// The encoders take images their format suits (checked by EncodeImage) and fail only when the
// library does.
bool EncodePng(const DibImage& dib, const ImageExtras& extras, std::vector<std::uint8_t>& bytes);
bool EncodeJpeg(const DibImage& dib, int quality, int dpi, std::vector<std::uint8_t>& bytes);
// One page of the picture's size at its resolution, the picture stored losslessly.
bool EncodePdf(const DibImage& dib, const ImageExtras& extras, std::vector<std::uint8_t>& bytes);
// Whether cairo, which writes the PDF, could be loaded: it is only recommended by the packages.
bool PdfAvailable();
// Lossless without a quality in `extras`, lossy with one; with the alpha plane when given.
bool EncodeWebp(const DibImage& dib, const ImageExtras& extras, std::vector<std::uint8_t>& bytes);
bool EncodeBmp(const DibImage& dib, std::vector<std::uint8_t>& bytes);
bool EncodeGif(const DibImage& dib, std::vector<std::uint8_t>& bytes);

}  // namespace gw::imagefiles
