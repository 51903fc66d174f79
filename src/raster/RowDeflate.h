#pragma once
// A deflate coder made for the filtered rows of a picture, faster than a general one by looking
// only where such rows repeat: the byte a pixel to the left, the byte a row up, and a small hash
// of earlier four-byte strings for textures and other repeating patterns. Matches are taken
// greedily; the blocks are coded with their own Huffman codes (or the fixed ones when shorter).
// The output is plain raw deflate that any inflater reads.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace gw::imagefiles {

class RowDeflater {
  public:
    RowDeflater();

    // Deflates the `size` bytes at `data` into raw deflate blocks appended to `out`. The
    // `history` bytes before `data` are the stream's data just before it: matches may reach
    // back into them (a row up at most, and never more than 32 KiB). `rowBytes` is the distance to
    // the byte a row up, `pixelBytes` to the byte a pixel to the left. With `last` the final block
    // ends the stream on a byte boundary; otherwise an empty stored block ends the output on one,
    // so that the blocks of the data after it can follow directly.
    // Throws std::bad_alloc when its buffers cannot be had.
    void Deflate(const std::uint8_t* data, std::size_t size, std::size_t history,
                 std::size_t rowBytes, std::size_t pixelBytes, bool last,
                 std::vector<std::uint8_t>& out);

  private:
    struct Symbol {
        std::uint16_t value;     // a literal byte, or 256 + the match's length less 3
        std::uint16_t distance;  // 0 for a literal
    };

    void Literals(const std::uint8_t* from, std::size_t count);
    void Match(std::size_t length, std::size_t distance);
    void FlushBlock(bool final);
    void MakeRoom(std::size_t bytes);

    // Neither is cleared when made: the symbols are written before they are read, and every
    // Deflate clears the hash.
    std::unique_ptr<Symbol[]> symbols_;
    std::size_t used_ = 0;
    std::uint32_t literalCounts_[286] = {};
    std::uint32_t distanceCounts_[30] = {};
    std::unique_ptr<std::uint32_t[]> hash_;
    // The blocks coded so far, up to `outEnd_`, and the bits not yet written there as whole
    // bytes.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t outEnd_ = 0;
    std::uint64_t bits_ = 0;
    int bitCount_ = 0;
};

// Code lengths for the counts of `n` symbols (at most 286), none longer than `limit`. Every code
// made is complete, so a single symbol (or none) still gets two codes of one bit.
void HuffmanLengths(const std::uint32_t* counts, int n, int limit, std::uint8_t* lengths);

// The Adler-32 checksum of a zlib stream, continued from `adler` over `size` bytes.
std::uint32_t Adler32(std::uint32_t adler, const std::uint8_t* data, std::size_t size);

}  // namespace gw::imagefiles
