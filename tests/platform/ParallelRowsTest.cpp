#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/ParallelRows.h"

namespace gw {
namespace {

// Every item is given to exactly one band, whatever the split; a small picture is not split
// unless a count is forced.
TEST(ParallelRows, BandsCoverEveryItemOnce) {
    EXPECT_EQ(1, BandCount(20, 100 * 20));
    struct Case {
        int threads;
        std::int64_t items;
    };
    for (const Case c : {Case{1, 10}, Case{2, 1}, Case{3, 2}, Case{7, 7}, Case{4, 1001}}) {
        const ParallelThreadsScope scope(c.threads);
        std::vector<int> seen(std::size_t(c.items), 0);
        ParallelRows(c.items, 1, [&](std::int64_t first, std::int64_t end) {
            for (std::int64_t i = first; i < end; ++i)
                ++seen[std::size_t(i)];
        });
        EXPECT_EQ(std::vector<int>(std::size_t(c.items), 1), seen)
            << c.threads << " threads, " << c.items << " items";
        EXPECT_EQ(std::min<std::int64_t>(c.threads, c.items), BandCount(c.items, 1));
    }
}

// Memory running out in any band reaches the caller, after every band has ended.
TEST(ParallelRows, FailureOfABandReachesTheCaller) {
    const ParallelThreadsScope scope(4);
    for (int failing = 0; failing < 4; ++failing) {
        std::vector<int> ended(4, 0);
        EXPECT_THROW(RunBands(4,
                              [&](int band) {
                                  ended[std::size_t(band)] = 1;
                                  if (band == failing) throw std::bad_alloc();
                              }),
                     std::bad_alloc)
            << "band " << failing;
        EXPECT_EQ(std::vector<int>(4, 1), ended);
    }
}

// `rounds` calls of RunBands(bands) by each of `callers` threads at once, every band calling
// RunBands(nested) itself and band `failing` throwing after that. Counts what went wrong: a band
// run other than once, band 0 away from its caller, a failure lost or reaching the wrong caller,
// a thread not the caller's that takes termination signals.
struct BandsCase {
    const char* what;
    int callers, bands, nested, failing;
    bool forked;  // run in a child forked while the workers are parked
};

bool TakesTerminationSignals() {
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    return !sigismember(&mask, SIGINT) || !sigismember(&mask, SIGTERM) ||
           !sigismember(&mask, SIGHUP);
}

int Faults(const BandsCase& c) {
    std::atomic<int> faults{0};
    const auto call = [&](int bands, const auto& inside) {
        const std::thread::id caller = std::this_thread::get_id();
        RunBands(bands, [&](int band) {
            if (std::this_thread::get_id() != caller && (band == 0 || TakesTerminationSignals()))
                ++faults;
            inside(band);
        });
    };
    const auto caller = [&] {
        for (int round = 0; round < 20; ++round) {
            std::vector<std::atomic<int>> runs(std::size_t(c.bands * (1 + c.nested)));
            bool threw = false;
            try {
                call(c.bands, [&](int band) {
                    ++runs[std::size_t(band)];
                    call(c.nested, [&](int inner) {
                        ++runs[std::size_t(c.bands + band * c.nested + inner)];
                    });
                    if (band == c.failing) throw std::runtime_error("band");
                });
            } catch (const std::runtime_error&) {
                threw = true;
            }
            faults += threw != (c.failing >= 0);
            for (const std::atomic<int>& n : runs)
                faults += n != 1;
        }
    };
    std::vector<std::thread> others;
    for (int i = 1; i < c.callers; ++i)
        others.emplace_back(caller);
    caller();
    for (std::thread& t : others)
        t.join();
    return faults;
}

TEST(ParallelRows, EveryCallerGetsEachOfItsBandsOnce) {
    const BandsCase cases[] = {
        {"one caller", 1, 5, 0, -1, false},
        {"bands that band", 1, 3, 4, -1, false},
        {"callers side by side", 4, 3, 0, -1, false},
        {"side by side, banding, one band failing", 3, 4, 3, 2, false},
        {"a forked child", 1, 4, 2, 1, true},
    };
    for (const BandsCase& c : cases) {
        if (!c.forked) {
            EXPECT_EQ(0, Faults(c)) << c.what;
            continue;
        }
        EXPECT_EQ(0, Faults(c)) << c.what << ", before the fork";
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::alarm(60);  // a child left waiting for its parent's threads ends instead of hanging
            ::_exit(Faults(c) == 0 ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(child, ::waitpid(child, &status, 0));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.what << ": " << status;
    }
}

}  // namespace
}  // namespace gw
