// One playback step of a camera recording: 32 channels at 1 kHz with a 640 x 480 Motion-JPEG
// video at 30 frames a second. A step is the Play button's loop body with no pause: both
// cursors moved, the page turned and redrawn when the cursor nears its right edge, and both
// players' frames decoded and stretched into their boxes. Each iteration plays 300 steps of
// one video frame each; items per second are steps per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/camera/frmCAMDisp.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "bench/MainWindowBench.h"
#include "tests/app/camera/CAVI_testsupport.h"
#include "tests/app/camera/FlameList_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"

namespace {

using namespace qv;

constexpr int32_t kChannels = 32;
constexpr int32_t kRateHz = 1000;
constexpr int32_t kFrames = 300;
constexpr int32_t kPointsPerFrame = 33;
constexpr int32_t kScans = kFrames * kPointsPerFrame;
constexpr int kWidth = 640, kHeight = 480;

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A gradient with a bar that moves from frame to frame, so every frame decodes differently.
void drawFrame(gdi::Surface& picture, int k) {
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool bar = x >= 2 * k && x < 2 * k + 24;
            picture.row(y)[x] = bar ? 0xFFFFFFu : uint32_t((x / 3) << 16 | (y / 2) << 8 | (k & 0xFF));
        }
}

void writeVideo(const std::filesystem::path& dir) {
    std::vector<int32_t> positions;
    for (int32_t k = 0; k < kFrames; ++k) positions.push_back(k * kPointsPerFrame);
    const std::vector<uint8_t> avi = apptest::mjpegAvi(kWidth, kHeight, kFrames, 33333, drawFrame, 85);
    writeFile(dir / "cam.AVI", std::string(avi.begin(), avi.end()));
    writeFile(dir / "cam.FLM", apptest::flameListBytes(positions, {0}));
}

void BM_PlayStep(benchmark::State& state) {
    static bench::MainWindow program;
    Acqisition& w = *program.w;
    apptest::RecordingSpec layout(kChannels, kRateHz, kScans);
    layout.set("Condition", "strCameraSetting", "1").set("Condition", "strResolution", "640,480");
    layout.set("GLOBAL", "GlCapNum", std::to_string(kFrames)).set("GLOBAL", "GlADCGETCnt", "1");
    layout.set("P", "lSweepPoint", "2000");
    layout.Write(program.dir, "cam");
    writeVideo(program.dir);
    {
        IniPathGuard ini(ProgramFile("Tolvane.ini"));
        WriteIniString("PLAY", "STEP", std::to_string(kPointsPerFrame));
        WriteIniString("PLAY", "SLEEP", "0");
    }
    w.txtFName.setText((program.dir / "cam").string());
    w.cmdLoad_Click();
    program.driver->advance(500);  // the load's one-shot timers and the camera window's layout
    frmCAMDisp& cam = frmCAMDisp::instance();
    if (!cam.IsAVIOK()) {
        state.SkipWithError("the camera recording did not load");
        return;
    }
    program.showBands("2048", "-2048");
    cam.txtStartTime.setText("0");
    cam.txtEndTime.setText(std::to_string((kFrames - 1) * kPointsPerFrame / double(kRateHz)));
    for (auto _ : state) {
        cam.cmdPlay2_Click();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    // Frames the two players decoded in all: two a step when the camera follows every step.
    state.counters["decodes"] = cam.MCAVIL().decodes() + cam.MCAVIR().decodes();
}
BENCHMARK(BM_PlayStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
