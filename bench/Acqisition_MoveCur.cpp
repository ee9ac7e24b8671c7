// A cursor move on the monitor: the left cursor and its 32 cross markers moved in XOR over a
// drawn page of 32 bands in a 1920 x 1080 monitor, with the read-outs of every channel and the
// mark labels (a full table of 99 marks) brought up to date, as one step of a mouse drag does.
#include <benchmark/benchmark.h>

#include <cmath>

#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "bench/MainWindowBench.h"

namespace {

using namespace qv;

constexpr int kChannels = 32;

void showPage(bench::MainWindow& program, int32_t points) {
    bench::MainWindow::loadRecording(kChannels, points, 100);
    for (int ch = 0; ch < kChannels; ++ch) {
        float* c = DispWaveArray.Channel(ch);
        for (int32_t i = 0; i <= points; ++i) c[i] = static_cast<float>(0.8 * std::sin(1e-3 * i + ch));
    }
    MarkArray[0] = 99;
    for (int32_t i = 1; i <= 99; ++i) MarkArray[static_cast<size_t>(i)] = 2 * i;
    program.showBands("1", "-1");
    program.w->chkCurLvl.setValue(1);
    int32_t l = points / 4, r = points * 3 / 4;
    program.w->SetCursor(l, r, false);
    program.w->DispFullWave(program.w->PBXMoniDisp.hDC(), false);
}

void BM_MoveCurL(benchmark::State& state) {
    static bench::MainWindow program;
    Acqisition& w = *program.w;
    const auto points = static_cast<int32_t>(state.range(0));
    showPage(program, points);
    const auto a = static_cast<float>(points / 3), b = static_cast<float>(points / 2);
    bool flip = false;
    for (auto _ : state) {
        const float x = flip ? a : b;
        GAcqParam.Cur_L_Point = static_cast<int32_t>(x);
        w.MoveCurL(x);
        flip = !flip;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    DispWaveArray.Erase();
}
BENCHMARK(BM_MoveCurL)->Arg(10000)->Arg(2000000)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
