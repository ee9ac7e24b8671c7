// S_FFT and S_INVFFT throughput on 65,536 points.
#include "library/trelm.h"
#include "bench/TrelmBench.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int32_t kPoints = 65536;

std::vector<float> signal() {
    std::vector<float> x(kPoints);
    for (int32_t i = 0; i < kPoints; ++i)
        x[i] = static_cast<float>(std::sin(0.01 * i) + 0.25 * std::cos(0.37 * i));
    return x;
}

void BM_FFT(benchmark::State& state) {
    auto fft = trelm<decltype(S_FFT)>("S_FFT");
    const std::vector<float> x = signal();
    std::vector<float> re(kPoints), im(kPoints);
    for (auto _ : state) {
        fft(re.data(), im.data(), x.data(), kPoints);
        benchmark::DoNotOptimize(re.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kPoints);
}
BENCHMARK(BM_FFT)->Unit(benchmark::kMicrosecond);

void BM_InvFFT(benchmark::State& state) {
    auto fft = trelm<decltype(S_FFT)>("S_FFT");
    auto inv = trelm<decltype(S_INVFFT)>("S_INVFFT");
    const std::vector<float> x = signal();
    std::vector<float> re(kPoints), im(kPoints), out(kPoints);
    fft(re.data(), im.data(), x.data(), kPoints);
    for (auto _ : state) {
        inv(out.data(), re.data(), im.data(), kPoints);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kPoints);
}
BENCHMARK(BM_InvFFT)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
