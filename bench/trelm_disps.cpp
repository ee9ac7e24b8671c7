// Full redraws of 32 channels into a 1920 x 1080 picture with DISPS and DISPS2, at 20,000 and
// 2,000,000 points a channel, against the plain polyline through every point.
#include "library/trelm.h"
#include "bench/TrelmBench.h"

#include "platform/gdi/Gdi.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace qv::gdi;

constexpr int kWidth = 1920, kHeight = 1080, kChannels = 32;

struct Picture {
    std::shared_ptr<Surface> surface = std::make_shared<Surface>(kWidth, kHeight, 0xFFFFFF);
    HWND hwnd = 0;
    HDC dc = 0;
    Picture() {
        WindowDesc d;
        d.outer = RECT{0, 0, kWidth, kHeight};
        d.client = d.outer;
        d.surface = surface;
        hwnd = registerWindow(d);
        dc = createControlDC(hwnd);
    }
};

// Noise over a slow sine: every column spans a few dozen rows, as a real recording does.
const std::vector<float>& channels(int64_t points) {
    static std::vector<float> data;
    static int64_t made = 0;
    if (made != points) {
        data.resize(static_cast<size_t>(points * kChannels));
        uint32_t state = 12345;
        for (size_t i = 0; i < data.size(); ++i) {
            state = state * 1664525u + 1013904223u;
            const double noise = static_cast<double>(state >> 8) / 16777216.0 - 0.5;
            data[i] = static_cast<float>(0.6 * std::sin(1e-4 * static_cast<double>(i % static_cast<size_t>(points))) + 0.3 * noise);
        }
        made = points;
    }
    return data;
}

// The figure beside one read of the same points from memory, in the same run.
void readReference(benchmark::State& state, const BenchClock& work, const BenchClock& read) {
    const double n = static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = 1e3 * work.cpu / n;
    state.counters["read_ms"] = 1e3 * read.wall / n;
    state.counters["read_time_ratio"] = work.wall / read.wall;
    state.counters["read_cpu_ratio"] = work.cpu / read.cpu;
}

using Draw = void(const float*, int32_t, int32_t, float, float);

void redraw(benchmark::State& state, const char* name) {
    const int64_t points = state.range(0);
    const std::vector<float>& data = channels(points);
    static Picture picture;
    auto viewset = trelm<decltype(VIEWSET)>("VIEWSET");
    auto margins = trelm<decltype(MARGINSET)>("MARGINSET");
    auto window = trelm<decltype(WINDOW)>("WINDOW");
    auto pen = trelm<decltype(LINETYPES)>("LINETYPES");
    auto draw = trelm<Draw>(name);
    viewset(picture.hwnd, picture.dc);
    window(0, -1, static_cast<float>(points), 1);
    pen(0, 0x000000);
    BenchClock drawing{}, reading{};
    for (auto _ : state) {
        picture.surface->fill(0xFFFFFF);
        const BenchClock t0 = BenchClock::now();
        for (int c = 0; c < kChannels; ++c) {
            margins(0, 0, c * kHeight / kChannels, kHeight - (c + 1) * kHeight / kChannels);
            draw(data.data() + c * points, static_cast<int32_t>(points), 0, 0, 0);
        }
        const BenchClock t = BenchClock::now() - t0;
        drawing += t;
        state.SetIterationTime(t.wall);
        reading += timedRead(data.data(), data.size() * sizeof(float));
    }
    readReference(state, drawing, reading);
    state.SetItemsProcessed(state.iterations() * points * kChannels);
    state.SetBytesProcessed(state.iterations() * points * kChannels * static_cast<int64_t>(sizeof(float)));
}

// The envelope alone: 10000 values of each channel, as DISPS2 takes them.
void BM_S_TRANS(benchmark::State& state) {
    const int64_t points = state.range(0);
    const std::vector<float>& data = channels(points);
    auto trans = trelm<decltype(S_TRANS)>("S_TRANS");
    std::vector<float> envelope(10000);
    BenchClock work{}, reading{};
    for (auto _ : state) {
        const BenchClock t0 = BenchClock::now();
        for (int c = 0; c < kChannels; ++c)
            trans(envelope.data(), data.data() + c * points, 0, static_cast<int32_t>(points), 10000);
        benchmark::DoNotOptimize(envelope.data());
        const BenchClock t = BenchClock::now() - t0;
        work += t;
        state.SetIterationTime(t.wall);
        reading += timedRead(data.data(), data.size() * sizeof(float));
    }
    readReference(state, work, reading);
    state.SetItemsProcessed(state.iterations() * points * kChannels);
}

void BM_DISPS(benchmark::State& state) { redraw(state, "DISPS"); }
void BM_DISPS2(benchmark::State& state) { redraw(state, "DISPS2"); }

// The plain drawing: every point mapped and handed to one polyline per channel.
void BM_PlainPolyline(benchmark::State& state) {
    const int64_t points = state.range(0);
    const std::vector<float>& data = channels(points);
    static Picture picture;
    std::vector<POINT> pts(static_cast<size_t>(points));
    const double xs = static_cast<double>(points) / kWidth;
    for (auto _ : state) {
        picture.surface->fill(0xFFFFFF);
        for (int c = 0; c < kChannels; ++c) {
            const int top = c * kHeight / kChannels;
            const double ys = 2.0 / (kHeight / kChannels);
            const float* y = data.data() + c * points;
            for (int64_t i = 0; i < points; ++i)
                pts[static_cast<size_t>(i)] = POINT{static_cast<int32_t>(static_cast<double>(i) / xs),
                                                    static_cast<int32_t>((1.0 - y[i]) / ys + top)};
            Polyline(picture.dc, pts.data(), static_cast<int>(points));
        }
    }
    state.SetItemsProcessed(state.iterations() * points * kChannels);
}

BENCHMARK(BM_S_TRANS)->Arg(2000000)->Unit(benchmark::kMillisecond)->UseManualTime()->MinWarmUpTime(0.3);
BENCHMARK(BM_DISPS)->Arg(20000)->Arg(2000000)->Unit(benchmark::kMillisecond)->UseManualTime()->MinWarmUpTime(0.3);
BENCHMARK(BM_DISPS2)->Arg(20000)->Arg(2000000)->Unit(benchmark::kMillisecond)->UseManualTime()->MinWarmUpTime(0.3);
BENCHMARK(BM_PlainPolyline)->Arg(20000)->Arg(2000000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinWarmUpTime(0.3);

}  // namespace

BENCHMARK_MAIN();
