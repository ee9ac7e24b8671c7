#include "platform/kernel/Workers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace qv::kernel {

namespace {

constexpr unsigned kMaxHelpers = 7;

struct Pool {
    std::mutex m;
    std::condition_variable wake, idle;
    // The job on offer, how many helpers may still take it and how many are in it.
    const WorkRef* job = nullptr;
    unsigned open = 0, running = 0, started = 0;
    std::uint64_t generation = 0;
    std::exception_ptr failure;
    bool busy = false;

    void serve() {
        std::uint64_t seen = 0;
        std::unique_lock lock(m);
        for (;;) {
            wake.wait(lock, [&] { return generation != seen; });
            seen = generation;
            if (!job || open == 0) continue;
            --open;
            ++running;
            const WorkRef work = *job;
            lock.unlock();
            std::exception_ptr thrown;
            try {
                work();
            } catch (...) {
                thrown = std::current_exception();
            }
            lock.lock();
            if (thrown && !failure) failure = thrown;
            if (--running == 0) idle.notify_all();
        }
    }
};

std::mutex sourceLock;
std::function<unsigned()> freeCoresSource;

// The helpers there are cores for just now: the cores less the threads the system counts as
// running or ready to run (this one included), read at most every 20 ms. A helper lent on a
// busy machine may be kept waiting for a core while it holds a piece its job cannot finish
// without. Where the count cannot be read, every core counts as free.
unsigned systemFreeCores() {
    static std::atomic<int64_t> readAt{INT64_MIN / 2};
    static std::atomic<unsigned> free{kMaxHelpers};
    const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
    int64_t last = readAt.load(std::memory_order_relaxed);
    if (now - last < 20 || !readAt.compare_exchange_strong(last, now)) return free.load(std::memory_order_relaxed);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    unsigned running = 0;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        double a, b, c;
        if (std::fscanf(f, "%lf %lf %lf %u/", &a, &b, &c, &running) != 4) running = 0;
        std::fclose(f);
    }
    const unsigned n = running == 0 ? kMaxHelpers : cores > running ? cores - running : 0;
    free.store(n, std::memory_order_relaxed);
    return n;
}

unsigned freeCores() {
    {
        std::lock_guard lock(sourceLock);
        if (freeCoresSource) return freeCoresSource();
    }
    return systemFreeCores();
}

// Never destroyed: its threads wait on it until the process ends.
Pool& pool() {
    static Pool* const p = new Pool;
    return *p;
}

}  // namespace

unsigned spareCores() {
    static const unsigned spare = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxHelpers + 1) - 1;
    return spare;
}

void setFreeCoresSource(std::function<unsigned()> source) {
    std::lock_guard lock(sourceLock);
    freeCoresSource = std::move(source);
}

void shareWork(unsigned helpers, WorkRef work) { shareWork(helpers, work, work); }

void shareWork(unsigned helpers, WorkRef work, WorkRef own) {
    Pool& p = pool();
    helpers = std::min(helpers, kMaxHelpers);
    if (helpers > 0) helpers = std::min(helpers, freeCores());
    {
        std::lock_guard lock(p.m);
        if (helpers == 0 || p.busy) {
            helpers = 0;
        } else {
            for (; p.started < helpers; ++p.started) {
                try {
                    std::thread(&Pool::serve, &p).detach();
                } catch (...) {
                    break;  // the helpers already there share the job
                }
            }
            helpers = std::min(helpers, p.started);
        }
        if (helpers > 0) {
            p.busy = true;
            p.job = &work;
            p.open = helpers;
            p.failure = nullptr;
            ++p.generation;
        }
    }
    if (helpers == 0) {
        own();
        return;
    }
    // Wake as many as may take the job: a wake-up costs the waker more than the helper.
    for (unsigned k = 0; k < helpers; ++k) p.wake.notify_one();
    std::exception_ptr thrown;
    try {
        own();
    } catch (...) {
        thrown = std::current_exception();
    }
    std::unique_lock lock(p.m);
    p.job = nullptr;
    p.open = 0;
    p.idle.wait(lock, [&] { return p.running == 0; });
    if (!thrown) thrown = p.failure;
    p.failure = nullptr;
    p.busy = false;
    lock.unlock();
    if (thrown) std::rethrow_exception(thrown);
}

}  // namespace qv::kernel
