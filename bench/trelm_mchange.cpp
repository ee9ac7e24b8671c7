// M_Change throughput: 32 channels x 2,000,000 scans of interleaved int16 words converted to
// channel-major floats, against a memcpy of the same output bytes (the machine's own limit).
// The conversion may use several threads; the memcpy uses one.
#include "library/trelm.h"
#include "bench/TrelmBench.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t kChannels = 32;
constexpr int32_t kScans = 2000000;

void BM_MChange(benchmark::State& state) {
    auto mchange = trelm<decltype(M_Change)>("M_Change");
    const size_t samples = size_t{kChannels} * kScans;
    std::vector<int16_t> raw(samples);
    for (size_t i = 0; i < samples; ++i) raw[i] = static_cast<int16_t>(i * 7919u);
    std::vector<float> cal(kChannels * 4);
    for (int c = 0; c < kChannels; ++c) {
        cal[c * 4 + 0] = 10.0f + c;   // EU_HI
        cal[c * 4 + 1] = -5.0f;       // EU_LO
        cal[c * 4 + 2] = 3276.7f;     // CAL_AD
        cal[c * 4 + 3] = 12.0f * c;   // BASE_AD
    }
    std::vector<float> dst(samples), copy(samples);
    BenchClock convert{}, memcpyTime{};
    for (auto _ : state) {
        const BenchClock t0 = BenchClock::now();
        mchange(dst.data(), raw.data(), kChannels, kScans, cal.data());
        benchmark::DoNotOptimize(dst.data());
        const BenchClock t1 = BenchClock::now();
        std::memcpy(copy.data(), dst.data(), samples * sizeof(float));
        benchmark::DoNotOptimize(copy.data());
        const BenchClock t2 = BenchClock::now();
        convert += t1 - t0;
        memcpyTime += t2 - t1;
        state.SetIterationTime((t1 - t0).wall);
    }
    const double n = static_cast<double>(state.iterations());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(samples));
    // The conversion shares long runs out to several threads: its own thread's CPU time is a
    // part, all threads' the whole work; the wall time against the memcpy is the speed.
    state.counters["cpu_ms"] = 1e3 * convert.cpu / n;
    state.counters["all_threads_cpu_ms"] = 1e3 * convert.process / n;
    state.counters["memcpy_ms"] = 1e3 * memcpyTime.wall / n;
    state.counters["memcpy_cpu_ms"] = 1e3 * memcpyTime.cpu / n;
    state.counters["memcpy_time_ratio"] = convert.wall / memcpyTime.wall;
    state.counters["memcpy_cpu_ratio"] = convert.cpu / memcpyTime.cpu;
}
BENCHMARK(BM_MChange)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
