#pragma once
// The bench programs load libTrelm.so by file name, as the program does (their run path points
// at the program folder), and stop with the loader's message when an export is missing.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

template <typename F>
F* trelm(const char* name) {
    void* f = dlsym(dlopen("libTrelm.so", RTLD_NOW), name);
    if (!f) std::fprintf(stderr, "libTrelm.so: %s\n", dlerror()), std::exit(1);
    return reinterpret_cast<F*>(f);
}

#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>

// Wall, this thread's and the whole process's CPU time in seconds. On a shared machine the
// thread's CPU time is the steadier figure for single-threaded work; work shared out to other
// threads shows in the process's CPU time.
struct BenchClock {
    double wall, cpu, process;
    static BenchClock now() {
        auto seconds = [](clockid_t clock) {
            timespec t;
            clock_gettime(clock, &t);
            return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
        };
        return {std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(),
                seconds(CLOCK_THREAD_CPUTIME_ID), seconds(CLOCK_PROCESS_CPUTIME_ID)};
    }
    BenchClock operator-(const BenchClock& o) const { return {wall - o.wall, cpu - o.cpu, process - o.process}; }
    BenchClock& operator+=(const BenchClock& o) {
        wall += o.wall, cpu += o.cpu, process += o.process;
        return *this;
    }
};

// The machine's reference for a pass over memory: every byte read once (an xor of 64-bit words
// in four independent chains), and the time it took.
inline BenchClock timedRead(const void* p, size_t bytes) {
    const BenchClock t0 = BenchClock::now();
    const auto* w = static_cast<const unsigned char*>(p);
    uint64_t a = 0, b = 0, c = 0, d = 0;
    size_t i = 0;
    for (; i + 32 <= bytes; i += 32) {
        uint64_t x[4];
        std::memcpy(x, w + i, sizeof x);
        a ^= x[0], b ^= x[1], c ^= x[2], d ^= x[3];
    }
    for (; i < bytes; ++i) a ^= w[i];
    volatile uint64_t sink = a ^ b ^ c ^ d;
    (void)sink;
    return BenchClock::now() - t0;
}
