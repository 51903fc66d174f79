#include "platform/ParallelRows.h"

#include <linux/futex.h>
#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/SignalMask.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace gw {

namespace {

// Below this many pixels a band is not worth handing to another thread. Handing a band to a parked
// worker costs little, yet a 450 x 200 render in two bands took about a millisecond longer than in
// one: most of its stages got no shorter on two threads, some of the first ones longer.
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

// The pool's waits: a short spin (the next stage or the other band's end is usually a few dozen
// microseconds away), then the kernel's futex on the very word that is waited for.
void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
}

void FutexWait(std::atomic<std::uint32_t>& word, std::uint32_t value) {
    static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));
    ::syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word), FUTEX_WAIT_PRIVATE, value,
              nullptr, nullptr, 0);
}

// Wakes up to `count` threads asleep on `word`.
void FutexWake(std::atomic<std::uint32_t>& word, int count) {
    ::syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word), FUTEX_WAKE_PRIVATE, count,
              nullptr, nullptr, 0);
}

// How long a spin only pauses before it yields between looks, and how long workers and callers
// spin before they sleep.
constexpr auto kPauseOnly = std::chrono::microseconds(5);
constexpr auto kWorkerSpin = std::chrono::microseconds(100);
constexpr auto kCallerSpin = std::chrono::microseconds(200);

// Spins while `word` holds `value`, for about `spin`; true when it changed meanwhile. After the
// first few microseconds the spin gives its processor away between looks: on a busy machine the
// thread it waits for may be queued behind it.
bool SpinWhile(const std::atomic<std::uint32_t>& word, std::uint32_t value,
               std::chrono::microseconds spin) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (word.load(std::memory_order_acquire) != value) return true;
            Pause();
        }
        const auto spent = std::chrono::steady_clock::now() - start;
        if (spent >= spin) return false;
        if (spent >= kPauseOnly) sched_yield();
    }
}

// One call of RunBands, on its caller's stack. The bands are taken in order by whoever is free:
// the caller runs band 0 and then takes bands as the workers do, so a worker slow to wake costs
// nothing but its band done here.
struct Job {
    const std::function<void(int band)>* work = nullptr;
    int bands = 0;
    std::exception_ptr* failures = nullptr;
    std::atomic<int> next{1};

    void Run(int band) {
        try {
            (*work)(band);
        } catch (...) {
            failures[band] = std::current_exception();
        }
    }
    void RunRest() {
        for (int band = next.fetch_add(1, std::memory_order_relaxed); band < bands;
             band = next.fetch_add(1, std::memory_order_relaxed))
            Run(band);
    }
};

// A parked thread. Its word says what it does. Only a caller that moves it from idle or parked to
// claimed may hand it a job, and from then until that caller lets it go again only the two of
// them change the word. Workers live as long as the process: nothing ever ends them, so no
// destructor at exit touches a thread still parked. Every futex wait and wake is on a worker's
// word, which never goes away.
struct Worker {
    enum : std::uint32_t {
        kIdle,           // free, spinning
        kParked,         // free, asleep: its claimer wakes it
        kClaimed,        // a caller is handing it a job
        kGo,             // the job is handed over; the caller may still take it back
        kRunning,        // taking bands
        kRunningWaited,  // taking bands, its caller asleep until it is done
        kDone,           // done, spinning until its caller lets it go
        kDoneParked,     // done and asleep; let go, it is parked
    };
    std::atomic<std::uint32_t> word{kClaimed};
    Job* job = nullptr;  // written by the claiming caller before kGo

    // Moves the word from `from` to `to` if it still holds `from`; false if it has changed.
    bool Move(std::uint32_t from, std::uint32_t to) {
        return word.compare_exchange_strong(from, to, std::memory_order_acq_rel);
    }

    [[noreturn]] void Loop() {
        for (;;) {
            const std::uint32_t s = word.load(std::memory_order_acquire);
            switch (s) {
                case kGo:
                    if (Move(kGo, kRunning)) {
                        job->RunRest();
                        if (word.exchange(kDone, std::memory_order_acq_rel) == kRunningWaited)
                            FutexWake(word, 1);
                    }
                    break;
                case kIdle:
                case kDone:
                    if (!SpinWhile(word, s, kWorkerSpin))
                        Move(s, s == kIdle ? kParked : kDoneParked);
                    break;
                case kClaimed:
                    SpinWhile(word, s, kWorkerSpin);  // the caller is handing the job over
                    break;
                default:
                    FutexWait(word, s);
                    break;
            }
        }
    }

    // The claiming caller, its own bands done: takes the job back if the worker has not started
    // it, or waits for the worker to end it, and lets the worker go.
    void Release() {
        for (;;) {
            const std::uint32_t s = word.load(std::memory_order_acquire);
            switch (s) {
                case kGo:
                    if (Move(kGo, kIdle)) return;
                    break;
                case kDone:
                    if (Move(kDone, kIdle)) return;
                    break;
                case kDoneParked:
                    if (Move(kDoneParked, kParked)) return;
                    break;
                case kRunning:
                    if (!SpinWhile(word, s, kCallerSpin) && Move(kRunning, kRunningWaited))
                        FutexWait(word, kRunningWaited);
                    break;
                default:
                    FutexWait(word, s);
                    break;
            }
        }
    }
};

struct Pool {
    std::mutex growing;  // held while a worker is added
    std::atomic<int> count{0};
    std::atomic<Worker*> workers[kMostThreads - 1] = {};
};

std::atomic<Pool*> thePool{nullptr};
Pool* parentsPool = nullptr;  // a forked child's, kept only so that it is not a leak

// A forked child has none of the parent's threads, and the parent's pool may have been forked
// with its lock held: the child starts a pool of its own when it first needs one.
void ForgetPoolInChild() {
    parentsPool = thePool.exchange(nullptr, std::memory_order_relaxed);
}

Pool& ThePool() {
    Pool* pool = thePool.load(std::memory_order_acquire);
    if (pool) return *pool;
    static std::once_flag registered;
    std::call_once(registered, [] { pthread_atfork(nullptr, nullptr, ForgetPoolInChild); });
    Pool* made = new Pool;  // never deleted, like its workers
    if (thePool.compare_exchange_strong(pool, made, std::memory_order_acq_rel)) return *made;
    delete made;
    return *pool;
}

// A new worker, already claimed for `job`, or null when no thread (or no memory) can be had.
Worker* AddWorker(Pool& pool, Job& job) {
    const std::lock_guard lock(pool.growing);
    const int n = pool.count.load(std::memory_order_relaxed);
    if (n >= kMostThreads - 1) return nullptr;
    Worker* worker = nullptr;
    try {
        worker = new Worker;
        worker->job = &job;
        // Workers never take a termination signal: its clean-up runs on the thread that makes
        // the files.
        const TerminationSignalsHeld held;
        std::thread(&Worker::Loop, worker).detach();
    } catch (const std::exception&) {
        delete worker;
        return nullptr;
    }
    pool.workers[n].store(worker, std::memory_order_release);
    pool.count.store(n + 1, std::memory_order_release);
    return worker;
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
    Job job;
    job.work = &work;
    job.bands = bands;
    job.failures = failures.data();

    // Workers free now, then new ones; a caller never waits for a worker busy elsewhere (another
    // caller's, or the one whose band called this), so nested and side-by-side calls cannot wait
    // on each other. Bands no worker takes run here.
    Worker* claimed[kMostThreads - 1];
    bool wake[kMostThreads - 1];
    int helpers = 0;
    const int wanted = std::min(bands - 1, kMostThreads - 1);
    Pool& pool = ThePool();
    const int count = pool.count.load(std::memory_order_acquire);
    for (int i = 0; i < count && helpers < wanted; ++i) {
        Worker* const worker = pool.workers[i].load(std::memory_order_acquire);
        for (std::uint32_t s : {Worker::kIdle, Worker::kParked}) {
            if (worker->word.compare_exchange_strong(s, Worker::kClaimed,
                                                     std::memory_order_acquire)) {
                worker->job = &job;
                wake[helpers] = s == Worker::kParked;
                claimed[helpers++] = worker;
                break;
            }
        }
    }
    while (helpers < wanted) {
        Worker* const worker = AddWorker(pool, job);
        if (!worker) break;
        wake[helpers] = false;
        claimed[helpers++] = worker;
    }
    for (int i = 0; i < helpers; ++i) {
        claimed[i]->word.store(Worker::kGo, std::memory_order_release);
        if (wake[i]) FutexWake(claimed[i]->word, 1);
    }
    job.Run(0);
    job.RunRest();
    for (int i = 0; i < helpers; ++i)
        claimed[i]->Release();
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
