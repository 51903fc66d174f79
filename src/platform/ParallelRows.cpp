#include "platform/ParallelRows.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/SignalMask.h"

namespace gw {

namespace {

// Below this many pixels a band is not worth a thread of its own.
constexpr std::int64_t kPixelsPerBand = 256 * 1024;
// More bands than this gain nothing on any machine the program is meant for, and every band keeps
// scratch rows of its own.
constexpr int kMostThreads = 16;

std::atomic<int> forcedThreads{0};

int FromEnvironment() {
    const char* v = std::getenv("GLYPHWERK_THREADS");
    if (!v || !*v) return 0;
    const long n = std::strtol(v, nullptr, 10);
    return n > 0 ? int(std::min<long>(n, kMostThreads)) : 0;
}

int DefaultThreads() {
    static const int threads = [] {
        const int env = FromEnvironment();
        if (env > 0) return env;
        const unsigned hw = std::thread::hardware_concurrency();
        return std::clamp(int(hw), 1, kMostThreads);
    }();
    return threads;
}

}  // namespace

int ParallelThreads() {
    const int forced = forcedThreads.load(std::memory_order_relaxed);
    return forced > 0 ? forced : DefaultThreads();
}

void SetParallelThreads(int threads) {
    forcedThreads.store(std::clamp(threads, 0, kMostThreads), std::memory_order_relaxed);
}

int BandCount(std::int64_t items, std::int64_t pixels) {
    if (items <= 1) return 1;
    const bool forced = forcedThreads.load(std::memory_order_relaxed) > 0;
    std::int64_t bands = ParallelThreads();
    if (!forced) bands = std::min(bands, std::max<std::int64_t>(1, pixels / kPixelsPerBand));
    return int(std::min(bands, items));
}

void BandRange(std::int64_t items, int bands, int band, std::int64_t& first, std::int64_t& end) {
    first = items * band / bands;
    end = items * (band + 1) / bands;
}

void RunBands(int bands, const std::function<void(int band)>& work) {
    if (bands <= 1) {
        if (bands == 1) work(0);
        return;
    }
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(bands));
    const auto run = [&](int band) {
        try {
            work(band);
        } catch (...) {
            failures[std::size_t(band)] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    int next = 1;
    try {
        // The helpers never take a termination signal: its clean-up runs on the thread that
        // makes the files.
        const TerminationSignalsHeld held;
        helpers.reserve(std::size_t(bands - 1));
        for (; next < bands; ++next)
            helpers.emplace_back(run, next);
    } catch (const std::exception&) {
        // No thread (or no room for one) to be had: the bands left run here.
    }
    run(0);
    for (int band = next; band < bands; ++band)
        run(band);
    for (std::thread& t : helpers)
        t.join();
    for (const std::exception_ptr& failure : failures)
        if (failure) std::rethrow_exception(failure);
}

void ParallelRows(std::int64_t items, std::int64_t pixels,
                  const std::function<void(std::int64_t first, std::int64_t end)>& work) {
    if (items <= 0) return;
    const int bands = BandCount(items, pixels);
    RunBands(bands, [&](int band) {
        std::int64_t first = 0, end = 0;
        BandRange(items, bands, band, first, end);
        work(first, end);
    });
}

ParallelThreadsScope::ParallelThreadsScope(int threads)
    : before_(forcedThreads.load(std::memory_order_relaxed)) {
    SetParallelThreads(threads);
}

ParallelThreadsScope::~ParallelThreadsScope() {
    SetParallelThreads(before_);
}

}  // namespace gw
