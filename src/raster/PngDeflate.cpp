#include "raster/PngDeflate.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>

#include "platform/AllocationLimit.h"
#include "platform/ParallelRows.h"
#include "raster/ImageFilesCodecs.h"

namespace gw::imagefiles {

namespace {

// Deflate looks back at most this far: a piece primed with this much of the stream before it
// finds every match a single stream would.
constexpr std::size_t kWindow = 32768;
constexpr int kLevel = 3;
// The zlib header for a 32 KiB window at levels 2 to 5, no preset dictionary.
constexpr std::uint8_t kZlibHeader[2] = {0x78, 0x5E};

// One piece deflated: "IDAT", the zlib header for the first piece, the deflate data.
struct Piece {
    std::vector<std::uint8_t> out;
    std::size_t used = 0;
    std::uint32_t crc = 0;    // over `used` bytes of `out`
    std::uint32_t adler = 0;  // of the piece's filtered rows
    std::size_t length = 0;   // of the filtered rows
};

// A band's deflate state, reset for each piece the band takes.
class Deflater {
  public:
    Deflater() = default;
    ~Deflater() {
        if (ready_) deflateEnd(&z);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Raw deflate (no header of its own): the pieces are joined into one zlib stream.
    bool Start() {
        ready_ = deflateInit2(&z, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
        return ready_;
    }

    z_stream z{};

  private:
    bool ready_ = false;
};

struct Plan {
    std::int64_t rows = 0;
    std::size_t rowBytes = 0;
    std::int64_t rowsPerPiece = 0;
    std::int64_t pieces = 0;
    const PngRowWriter* writeRow = nullptr;
};

// Gives the deflater room for more output when it has filled what it had.
void MakeRoom(z_stream& z, Piece& p) {
    if (z.avail_out != 0) return;
    const std::size_t at = std::size_t(z.next_out - p.out.data());
    p.out.resize(p.out.size() + p.out.size() / 2 + 64);
    z.next_out = p.out.data() + at;
    z.avail_out = uInt(p.out.size() - at);
}

// Throws std::bad_alloc when its buffers cannot be had.
bool DeflatePiece(const Plan& plan, std::int64_t piece, z_stream& z, std::vector<std::uint8_t>& row,
                  std::vector<std::uint8_t>& window, Piece& p) {
    const std::int64_t first = piece * plan.rowsPerPiece;
    const std::int64_t end = std::min(plan.rows, first + plan.rowsPerPiece);
    const bool last = end == plan.rows;
    const std::size_t rowBytes = plan.rowBytes;
    if (deflateReset(&z) != Z_OK) return false;
    if (first > 0) {
        // The rows before the piece are filtered again here rather than handed over, so that no
        // piece waits for another.
        const std::int64_t back =
            std::min<std::int64_t>(first, std::int64_t((kWindow + rowBytes - 1) / rowBytes));
        window.resize(std::size_t(back) * rowBytes);
        for (std::int64_t k = 0; k < back; ++k)
            (*plan.writeRow)(first - back + k, window.data() + std::size_t(k) * rowBytes);
        const std::size_t size = std::min(kWindow, window.size());
        if (deflateSetDictionary(&z, window.data() + window.size() - size, uInt(size)) != Z_OK)
            return false;
    }
    p.length = std::size_t(end - first) * rowBytes;
    p.out.resize(4 + sizeof kZlibHeader + deflateBound(&z, uLong(p.length)) + 64);
    std::memcpy(p.out.data(), "IDAT", 4);
    std::size_t at = 4;
    if (first == 0) {
        std::memcpy(p.out.data() + at, kZlibHeader, sizeof kZlibHeader);
        at += sizeof kZlibHeader;
    }
    z.next_out = p.out.data() + at;
    z.avail_out = uInt(p.out.size() - at);
    row.resize(rowBytes);
    uLong adler = adler32(0, nullptr, 0);
    for (std::int64_t t = first; t < end; ++t) {
        (*plan.writeRow)(t, row.data());
        adler = adler32(adler, row.data(), uInt(rowBytes));
        z.next_in = row.data();
        z.avail_in = uInt(rowBytes);
        while (z.avail_in != 0) {
            MakeRoom(z, p);
            if (deflate(&z, Z_NO_FLUSH) == Z_STREAM_ERROR) return false;
        }
    }
    // A sync flush ends the piece on a byte boundary with its blocks complete, so the next piece's
    // blocks follow it directly; the last piece ends the stream.
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
        MakeRoom(z, p);
        const int result = deflate(&z, flush);
        if (result == Z_STREAM_ERROR) return false;
        if (last ? result == Z_STREAM_END : z.avail_out != 0) break;
    }
    p.used = std::size_t(z.next_out - p.out.data());
    p.crc = std::uint32_t(crc32(0, p.out.data(), uInt(p.used)));
    p.adler = std::uint32_t(adler);
    return true;
}

// Appends a piece as an IDAT chunk; the last one carries the stream's Adler-32.
bool AppendPiece(const Piece& p, bool last, uLong& adler, std::vector<std::uint8_t>& bytes) {
    adler = adler32_combine(adler, p.adler, z_off_t(p.length));
    std::uint8_t length[4], sum[4], crc[4];
    const std::size_t body = p.used - 4 + (last ? 4 : 0);
    PutPngNumber(length, std::uint32_t(body));
    uLong check = p.crc;
    if (last) {
        PutPngNumber(sum, std::uint32_t(adler));
        check = crc32(check, sum, 4);
    }
    PutPngNumber(crc, std::uint32_t(check));
    return AppendBytes(bytes, length, 4) && AppendBytes(bytes, p.out.data(), p.used) &&
           (!last || AppendBytes(bytes, sum, 4)) && AppendBytes(bytes, crc, 4);
}

}  // namespace

std::int64_t PngRowsPerChunk(std::size_t rowBytes) {
    return std::max<std::int64_t>(1, std::int64_t(kPngChunkBytes / rowBytes));
}

bool AppendPngData(std::int64_t rows, std::size_t rowBytes, const PngRowWriter& writeRow,
                   std::vector<std::uint8_t>& bytes) {
    if (rows < 1 || rowBytes < 2) return false;
    Plan plan;
    plan.rows = rows;
    plan.rowBytes = rowBytes;
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
            Deflater deflater;
            std::vector<std::uint8_t> row, window;
            Piece p;
            if (!deflater.Start()) {
                NoteAllocationFailure();
                ok = false;
            }
            while (ok) {
                const std::int64_t piece = nextPiece.fetch_add(1);
                if (piece >= plan.pieces) break;
                ok = DeflatePiece(plan, piece, deflater.z, row, window, p);
                if (!ok) break;
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
