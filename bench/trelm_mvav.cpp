// Moving averages over 1,000,000 points: S_MVAV by width, S_MVAV0 with a short weighted window.
#include "library/trelm.h"
#include "bench/TrelmBench.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int32_t kPoints = 1000000;

std::vector<float> signal() {
    std::vector<float> x(kPoints);
    for (int32_t i = 0; i < kPoints; ++i) x[i] = static_cast<float>(std::sin(0.001 * i) + (i % 7) * 0.01);
    return x;
}

void BM_MVAV(benchmark::State& state) {
    auto mvav = trelm<decltype(S_MVAV)>("S_MVAV");
    const std::vector<float> x = signal();
    std::vector<float> y(kPoints);
    const int32_t width = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        mvav(y.data(), x.data(), width, kPoints);
        benchmark::DoNotOptimize(y.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kPoints);
}
BENCHMARK(BM_MVAV)->Arg(4)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_MVAV0(benchmark::State& state) {
    auto mvav0 = trelm<decltype(S_MVAV0)>("S_MVAV0");
    const std::vector<float> x = signal();
    std::vector<float> y(kPoints);
    const int32_t width = static_cast<int32_t>(state.range(0));
    std::vector<float> weights(width + 1, 1.0f / static_cast<float>(width + 1));
    for (auto _ : state) {
        mvav0(y.data(), x.data(), width, kPoints, weights.data());
        benchmark::DoNotOptimize(y.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kPoints);
}
BENCHMARK(BM_MVAV0)->Arg(4)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
