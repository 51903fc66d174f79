#pragma once
// Work split into bands of rows (or of any other items) that run side by side on the machine's
// cores. A band is given its items [first, end) and owns what it writes there; whatever a band
// reads that another band writes must be taken before the bands start. The bands run on worker
// threads kept parked for the life of the process; small pictures stay on the calling thread,
// where a second band costs more than it saves.

#include <cstdint>
#include <functional>

namespace gw {

// The threads banded work may use: the hardware's threads, or what GLYPHWERK_THREADS or
// SetParallelThreads says.
int ParallelThreads();

// Forces the number of threads for every banded stage (0 returns to the default). A forced count
// also splits small pictures, down to bands of one item, so that tests can reach every split.
void SetParallelThreads(int threads);

// The number of bands for `items` items (rows) of a picture of `pixels` pixels: at most one a
// thread and one an item, and one for a picture too small to share.
int BandCount(std::int64_t items, std::int64_t pixels);

// Band `band` of `bands` over `items` items: [first, end), as even as whole items allow.
void BandRange(std::int64_t items, int bands, int band, std::int64_t& first, std::int64_t& end);

// Calls work(band) for band = 0 .. bands - 1 and returns when all are done: band 0 on the calling
// thread, the others on parked workers or here, whichever is free first. A caller never waits for
// a worker busy elsewhere, so a band may call RunBands itself and several threads may call it at
// once; when no worker can be had the bands run here. An exception thrown by a band (memory
// running out) is thrown again here once every band has ended.
void RunBands(int bands, const std::function<void(int band)>& work);

// RunBands over BandCount(items, pixels) bands, each called as work(first, end).
void ParallelRows(std::int64_t items, std::int64_t pixels,
                  const std::function<void(std::int64_t first, std::int64_t end)>& work);

// Sets the thread count for as long as it lives, then restores the one before. For tests and the
// benchmark, not for use while other renders run.
class ParallelThreadsScope {
  public:
    explicit ParallelThreadsScope(int threads);
    ~ParallelThreadsScope();
    ParallelThreadsScope(const ParallelThreadsScope&) = delete;
    ParallelThreadsScope& operator=(const ParallelThreadsScope&) = delete;

  private:
    int before_;
};

}  // namespace gw
