#pragma once
// The zlib stream of a PNG's picture data, deflated in fixed chunks on every core and written as
// IDAT chunks, plus the small chunk writer the encoder uses for the rest of the file.
//
// Each chunk of filtered rows is deflated on its own by our row coder (RowDeflate), its matches
// reaching back into the row before it, and ended on a byte boundary by an empty stored block
// (the last one finishes the stream). The chunks are cut by bytes of data only, so the file is
// the same for any number of threads; the 2-byte zlib header goes before the first and the
// combined Adler-32 after the last.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace gw::imagefiles {

// Filtered rows deflated as one piece: whole rows, about this many bytes. Fixed, never derived
// from the thread count, so that the bytes do not depend on it.
constexpr std::size_t kPngChunkBytes = std::size_t(1) << 20;

// The rows of a piece when each row has `rowBytes` bytes (at least one).
std::int64_t PngRowsPerChunk(std::size_t rowBytes);

// Writes row t (0 = top) as stored in the file, filter byte first, into `out` (rowBytes bytes).
// Called from several threads at once, for different rows.
using PngRowWriter = std::function<void(std::int64_t t, std::uint8_t* out)>;

// Appends the IDAT chunks of `rows` rows of `rowBytes` bytes, pixels of `pixelBytes` bytes, to
// `bytes`. False when memory ran out (counted as an allocation failure); `bytes` then holds a part
// of the chunks.
bool AppendPngData(std::int64_t rows, std::size_t rowBytes, std::size_t pixelBytes,
                   const PngRowWriter& writeRow, std::vector<std::uint8_t>& bytes);

// Appends one chunk: its length, its four-letter type, `data` and the CRC over type and data.
bool AppendPngChunk(std::vector<std::uint8_t>& bytes, const char (&type)[5],
                    const std::uint8_t* data, std::size_t size);

// A number as PNG stores it: four bytes, the most significant first.
inline void PutPngNumber(std::uint8_t* at, std::uint32_t value) {
    at[0] = std::uint8_t(value >> 24);
    at[1] = std::uint8_t(value >> 16);
    at[2] = std::uint8_t(value >> 8);
    at[3] = std::uint8_t(value);
}

}  // namespace gw::imagefiles
