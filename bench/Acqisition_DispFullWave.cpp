// The monitor's draw step of a page: the main window's full redraw of 32 bands into a
// 1920 x 1080 monitor at 10,000 and 2,000,000 points a page, with the window's channel objects
// taking their copy of each page as the redraw does. The window runs headless in a temporary
// program folder; nothing is written beyond its start-up files.
#include <benchmark/benchmark.h>

#include <cmath>

#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "bench/MainWindowBench.h"

namespace {

using namespace qv;

constexpr int kChannels = 32;

// A recording of 32 channels in memory, one page of `points` shown in 32 bands.
void showPage(bench::MainWindow& program, int32_t points) {
    bench::MainWindow::loadRecording(kChannels, points, 1);
    uint32_t state = 12345;
    for (int ch = 0; ch < kChannels; ++ch) {
        float* c = DispWaveArray.Channel(ch);
        for (int32_t i = 0; i <= points; ++i) {
            state = state * 1664525u + 1013904223u;
            const double noise = static_cast<double>(state >> 8) / 16777216.0 - 0.5;
            c[i] = static_cast<float>(0.6 * std::sin(1e-4 * i) + 0.3 * noise);
        }
    }
    program.showBands("1", "-1");
}

void BM_DispFullWave(benchmark::State& state) {
    static bench::MainWindow program;
    Acqisition& w = *program.w;
    const auto points = static_cast<int32_t>(state.range(0));
    showPage(program, points);
    const int32_t dc = w.PBXMoniDisp.hDC();
    for (auto _ : state) {
        w.DispFullWave(dc, false);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * points * kChannels);
    DispWaveArray.Erase();
}
BENCHMARK(BM_DispFullWave)->Arg(10000)->Arg(2000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
