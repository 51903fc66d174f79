#include "raster/PngDeflate.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "platform/AllocationLimit.h"
#include "platform/ParallelRows.h"
#include "raster/ImageFilesCodecs.h"
#include "raster/RowDeflate.h"

namespace gw::imagefiles {

namespace {

// The closing chunk: its length, its type and its CRC.
constexpr std::size_t kPngEndBytes = 12;

// The zlib header for a 32 KiB window, no preset dictionary, marked as made by a fast coder.
constexpr std::uint8_t kZlibHeader[2] = {0x78, 0x01};

// One piece deflated: "IDAT", the zlib header for the first piece, the deflate data.
struct Piece {
    std::vector<std::uint8_t> out;
    std::uint32_t crc = 0;    // over the whole of `out`
    std::uint32_t adler = 1;  // of the piece's filtered rows
    std::size_t length = 0;   // of the filtered rows
};

// The filtered rows of a band's pieces, the row before each included. Every byte is written
// before it is read, so the buffer is taken uncleared, and kept for the band's next piece.
struct RowBuffer {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t capacity = 0;

    std::uint8_t* Take(std::size_t n) {
        if (n > capacity) {
            bytes.reset();
            bytes = std::make_unique_for_overwrite<std::uint8_t[]>(n);
            capacity = n;
        }
        return bytes.get();
    }
};

struct Plan {
    std::int64_t rows = 0;
    std::size_t rowBytes = 0;
    std::size_t pixelBytes = 0;
    std::int64_t rowsPerPiece = 0;
    std::int64_t pieces = 0;
    const PngRowWriter* writeRow = nullptr;
};

// Throws std::bad_alloc when its buffers cannot be had.
void DeflatePiece(const Plan& plan, std::int64_t piece, RowDeflater& deflater, RowBuffer& buffer,
                  Piece& p) {
    const std::int64_t first = piece * plan.rowsPerPiece;
    const std::int64_t end = std::min(plan.rows, first + plan.rowsPerPiece);
    const std::size_t rowBytes = plan.rowBytes;
    // The row before the piece is filtered again here rather than handed over, so that no piece
    // waits for another: the piece's matches reach a row up, and no farther back.
    const std::int64_t from = first > 0 ? first - 1 : 0;
    const std::size_t history = std::size_t(first - from) * rowBytes;
    const std::size_t size = std::size_t(end - from) * rowBytes;
    std::uint8_t* const rows = buffer.Take(size);
    // Each row is summed while it is still in the cache.
    std::uint32_t adler = 1;
    for (std::int64_t t = from; t < end; ++t) {
        std::uint8_t* row = rows + std::size_t(t - from) * rowBytes;
        (*plan.writeRow)(t, row);
        if (t >= first) adler = Adler32(adler, row, rowBytes);
    }
    p.adler = adler;
    p.length = size - history;
    p.out.assign({'I', 'D', 'A', 'T'});
    if (first == 0) p.out.insert(p.out.end(), std::begin(kZlibHeader), std::end(kZlibHeader));
    deflater.Deflate(rows + history, p.length, history, rowBytes, plan.pixelBytes, end == plan.rows,
                     p.out);
    p.crc = std::uint32_t(crc32(0, p.out.data(), uInt(p.out.size())));
}

// Appends a piece as an IDAT chunk; the last one carries the stream's Adler-32.
bool AppendPiece(const Piece& p, bool last, uLong& adler, std::vector<std::uint8_t>& bytes) {
    adler = adler32_combine(adler, p.adler, z_off_t(p.length));
    std::uint8_t length[4], sum[4], crc[4];
    const std::size_t body = p.out.size() - 4 + (last ? 4 : 0);
    PutPngNumber(length, std::uint32_t(body));
    uLong check = p.crc;
    if (last) {
        PutPngNumber(sum, std::uint32_t(adler));
        check = crc32(check, sum, 4);
    }
    PutPngNumber(crc, std::uint32_t(check));
    // Room for the whole chunk at once, and with the last one for the closing chunk too: the
    // file grown part by part would be copied again for the checksums after the data.
    const std::size_t chunk = 4 + p.out.size() + (last ? 4 : 0) + 4 + (last ? kPngEndBytes : 0);
    if (bytes.size() + chunk > bytes.capacity()) {
        const std::size_t room = std::max(bytes.size() + chunk, 2 * bytes.capacity());
        if (!MayAllocate(room)) return false;
        bytes.reserve(room);
    }
    return AppendBytes(bytes, length, 4) && AppendBytes(bytes, p.out.data(), p.out.size()) &&
           (!last || AppendBytes(bytes, sum, 4)) && AppendBytes(bytes, crc, 4);
}

}  // namespace

std::int64_t PngRowsPerChunk(std::size_t rowBytes) {
    return std::max<std::int64_t>(1, std::int64_t(kPngChunkBytes / rowBytes));
}

bool AppendPngData(std::int64_t rows, std::size_t rowBytes, std::size_t pixelBytes,
                   const PngRowWriter& writeRow, std::vector<std::uint8_t>& bytes) {
    if (rows < 1 || pixelBytes < 1 || rowBytes < 1 + pixelBytes) return false;
    Plan plan;
    plan.rows = rows;
    plan.rowBytes = rowBytes;
    plan.pixelBytes = pixelBytes;
    plan.rowsPerPiece = PngRowsPerChunk(rowBytes);
    plan.pieces = (rows + plan.rowsPerPiece - 1) / plan.rowsPerPiece;
    plan.writeRow = &writeRow;

    // The bands take the pieces in order and append them in order: a band that has deflated its
    // piece waits for the pieces before it, so no more than one piece a band is ever held.
    std::atomic<std::int64_t> nextPiece{0};
    std::mutex mutex;
    std::condition_variable turn;
    std::int64_t appended = 0;
    bool failed = false;
    uLong adler = adler32(0, nullptr, 0);
    const int bands = BandCount(plan.pieces, std::int64_t(rows) * std::int64_t(rowBytes) / 3);
    RunBands(bands, [&](int) {
        bool ok = true;
        try {
            RowDeflater deflater;
            RowBuffer rows;
            Piece p;
            while (ok) {
                const std::int64_t piece = nextPiece.fetch_add(1);
                if (piece >= plan.pieces) break;
                DeflatePiece(plan, piece, deflater, rows, p);
                std::unique_lock lock(mutex);
                turn.wait(lock, [&] { return failed || appended == piece; });
                if (failed) return;
                // The band whose turn it is appends alone: the others wait for `appended`.
                lock.unlock();
                ok = AppendPiece(p, piece + 1 == plan.pieces, adler, bytes);
                lock.lock();
                if (ok) ++appended;
                turn.notify_all();
            }
        } catch (const std::bad_alloc&) {
            NoteAllocationFailure();
            ok = false;
        } catch (...) {
            // Whatever ends a band must reach the others, or they would wait for its piece.
            ok = false;
        }
        if (!ok) {
            const std::lock_guard lock(mutex);
            failed = true;
            turn.notify_all();
        }
    });
    return !failed && appended == plan.pieces;
}

bool AppendPngChunk(std::vector<std::uint8_t>& bytes, const char (&type)[5],
                    const std::uint8_t* data, std::size_t size) {
    std::uint8_t length[4], crc[4];
    PutPngNumber(length, std::uint32_t(size));
    const auto* name = reinterpret_cast<const std::uint8_t*>(type);
    uLong check = crc32(0, name, 4);
    if (size) check = crc32(check, data, uInt(size));
    PutPngNumber(crc, std::uint32_t(check));
    return AppendBytes(bytes, length, 4) && AppendBytes(bytes, name, 4) &&
           (size == 0 || AppendBytes(bytes, data, size)) && AppendBytes(bytes, crc, 4);
}

}  // namespace gw::imagefiles
