// The monitor's draw step of a page: the main window's full redraw of 32 bands into a
// 1920 x 1080 monitor at 10,000 and 2,000,000 points a page, with the window's channel objects
// taking their copy of each page as the redraw does. The window runs headless in a temporary
// program folder; nothing is written beyond its start-up files.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/SettingsStore.h"

namespace {

namespace fs = std::filesystem;
using namespace qv;

constexpr int kChannels = 32;

struct Program {
    fs::path dir;
    std::unique_ptr<forms::Driver> driver;
    Acqisition* w = nullptr;
    Program() {
        std::string tmpl = (fs::temp_directory_path() / "qvbench_XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir = tmpl;
        const fs::path bin = QV_BIN_DIR;
        for (const char* f : {"AmpDef.ini", "Tolvane.ini"}) fs::copy_file(bin / f, dir / f);
        fs::create_symlink(bin / "libTrelm.so", dir / "libTrelm.so");
        fs::create_directories(dir / "drive_c");
        kernel::setProgramFolder(dir.string());
        kernel::setSettingsFolder((dir / "config").string());
        kernel::setDriveFolder('C', (dir / "drive_c").string());
        driver = std::make_unique<forms::Driver>();
        w = &Acqisition::instance();
        w->Show();
        driver->advance(5);
    }
    ~Program() {
        driver.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

// A recording of 32 channels in memory, one page of `points` shown in 32 bands.
void showPage(Acqisition& w, int32_t points) {
    GAcqCondition.lStartCH = 1;
    GAcqCondition.lEndCH = kChannels;
    GAcqCondition.lCHCnt = kChannels;
    GAcqCondition.strTRIGGER_SETTING = std::string(1, '0');  // no trigger
    AcqParam& p = GAcqParam;
    p.PTotal = points * 4;
    p.lSweepPoint = points;
    p.lPosWAVE_Start = 0;
    p.wCh = kChannels;
    p.nSample = 1;
    p.nSClock = 1000;
    p.Condition = GAcqCondition;
    for (int ch = 0; ch < kChannels; ++ch) {
        p.CHKWaveNo[ch] = 1;
        w.CHKWaveNo(ch).setValue(1);
        w.txtDR_WaveHi(ch).setText("1");
        w.txtDR_WaveLo(ch).setText("-1");
    }
    w.PBXMoniDisp.Move(w.PBXMoniDisp.Left(), w.PBXMoniDisp.Top(), 1920, 1080);
    DispWaveArray.Redim(kChannels, points + 1);
    uint32_t state = 12345;
    for (int ch = 0; ch < kChannels; ++ch) {
        float* c = DispWaveArray.Channel(ch);
        for (int32_t i = 0; i <= points; ++i) {
            state = state * 1664525u + 1013904223u;
            const double noise = static_cast<double>(state >> 8) / 16777216.0 - 0.5;
            c[i] = static_cast<float>(0.6 * std::sin(1e-4 * i) + 0.3 * noise);
        }
    }
    w.UpdateCHDisp();
}

void BM_DispFullWave(benchmark::State& state) {
    static Program program;
    Acqisition& w = *program.w;
    const auto points = static_cast<int32_t>(state.range(0));
    showPage(w, points);
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
