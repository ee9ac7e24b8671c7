// The AVI player showing frames of a 640 x 480 motion-JPEG video stretched into a box of that
// size: stepping to the next frame, and jumping across the video.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/camera/CAVI.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Form.h"
#include "tests/app/camera/CAVI_testsupport.h"

namespace {

constexpr int kFrames = 60;

struct Host : qv::forms::Form {
    explicit Host(const qv::forms::FormDesign& d) : Form(d) {}
};

void run(benchmark::State& state, int stride) {
    qv::forms::Driver driver;
    mediatest::TempDir dir;
    std::string path = dir.write("bench.avi", qv::apptest::mjpegAvi(640, 480, kFrames, 33333));
    qv::forms::FormDesign d{"frmBench", "", 0, 0, 15 * 700, 15 * 560, {},
                            {{qv::forms::ControlType::PictureBox, "pbx", -1, "", 0, 0, 15 * 640, 15 * 480, "",
                              {{"BorderStyle", 0}}}}};
    Host host(d);
    auto& box = dynamic_cast<qv::forms::PictureBox&>(host.control("pbx"));
    qv::CAVI avi;
    avi.setPictureBox(box);
    avi.setAVIFileName(path);
    avi.Stretch();
    if (!avi.IsAVIOK()) {
        state.SkipWithError("video not playable");
        return;
    }
    int32_t frame = 0;
    for (auto _ : state) {
        frame = (frame + stride) % kFrames;
        int32_t f = frame;
        avi.DispFlame(f);
        benchmark::DoNotOptimize(box.surface()->pixel(320, 240));
    }
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_DispFlameNextFrame(benchmark::State& state) { run(state, 1); }
void BM_DispFlameJump(benchmark::State& state) { run(state, 23); }

BENCHMARK(BM_DispFlameNextFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DispFlameJump)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
