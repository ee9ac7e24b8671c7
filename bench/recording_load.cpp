// Opening a long recording and paging through it: a recording of 32 channels at 10 kHz (one
// hour by default, 2.3 GB of real data written in the temporary folder and removed at the end;
// QV_BENCH_RECORDING_SECONDS sets another length) is staged as the load button stages it and
// its first page read, with the data file's pages dropped from the cache first; then the next
// page is read and converted at 10,000 and at 2,000,000 points a page. The "Drawn" figures add
// the monitor's redraw of the 32 bands into 1920 x 1080 (the main window runs headless): the
// open to the first drawn page, and the page step end to end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "app/main/StagedRecording.h"
#include "bench/MainWindowBench.h"
#include "platform/kernel/Profile.h"
#include "tests/app/main/RecordingGenerator.h"

namespace {

constexpr int32_t kChannels = 32;
constexpr int32_t kRateHz = 10000;

int32_t recordingSeconds() { return qv::bench::secondsFromEnv("QV_BENCH_RECORDING_SECONDS", 3600); }

struct Recording {
    Recording() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qvbench_load_XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        folder = tmpl;
        scans = static_cast<int64_t>(recordingSeconds()) * kRateHz;
        qv::apptest::RecordingSpec layout(kChannels, kRateHz, 1000, 1);
        layout.set("P", "PTotal", std::to_string(scans));
        layout.set("P", "lSweepPoint", "10000");
        layout.writeKdat = false;
        layout.Write(folder, "long");
        // The data file in blocks of one second: every word written, no holes.
        std::ofstream out(folder / "long.Kdat", std::ios::binary);
        std::vector<int16_t> block(static_cast<size_t>(kChannels) * kRateHz);
        for (int64_t s = 0; s < scans; s += kRateHz) {
            for (size_t i = 0; i < block.size(); ++i)
                block[i] = static_cast<int16_t>((s + static_cast<int64_t>(i / kChannels)) * 7 + static_cast<int64_t>(i % kChannels));
            out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 2));
        }
        if (!out) std::abort();
        base = (folder / "long").string();
    }
    ~Recording() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    // The data file's pages out of the page cache, so the first page comes from the disk.
    void dropCache() const {
        const int fd = ::open((base + ".Kdat").c_str(), O_RDONLY);
        if (fd < 0) return;
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    std::filesystem::path folder;
    std::string base;
    int64_t scans = 0;
};

Recording& recording() {
    static Recording r;
    return r;
}

double processCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The records a load leaves for the windowed read.
void apply(const qv::StagedRecording& staged) {
    qv::GAcqParam = staged.param.param;
    qv::GAcqCondition = qv::GAcqParam.Condition;
    qv::GCalRecEU = staged.param.calEU;
    qv::GCalRecVolt = staged.param.calEU;
    qv::GstrKdatFile = staged.base + ".Kdat";
}

// The load's check phase on a recording whose data pages are not in the cache (that part of
// the preparation is not timed).
qv::StagedRecording stageFromDisk(benchmark::State& state, const Recording& r) {
    state.PauseTiming();
    r.dropCache();
    qv::kernel::clearProfileCache();
    state.ResumeTiming();
    qv::KparParam param;
    qv::ReadKparParam(r.base + ".Kpar", param);
    return qv::StageRecording(r.base, std::move(param));
}

void BM_OpenToFirstPage(benchmark::State& state) {
    Recording& r = recording();
    for (auto _ : state) {
        const qv::StagedRecording staged = stageFromDisk(state, r);
        apply(staged);
        int32_t start = 0, count = qv::kOnePage;
        qv::ReadWaveWindow(start, count);
        benchmark::DoNotOptimize(qv::DispWaveArray.Channel(0));
    }
    state.counters["page_points"] = static_cast<double>(qv::GAcqParam.lSweepPoint);
    state.counters["file_GB"] = 2.0 * kChannels * static_cast<double>(r.scans) / 1e9;
}

void BM_NextPage(benchmark::State& state) {
    Recording& r = recording();
    qv::KparParam param;
    qv::ReadKparParam(r.base + ".Kpar", param);
    apply(qv::StageRecording(r.base, std::move(param)));
    const int32_t page = static_cast<int32_t>(state.range(0));
    qv::GAcqParam.lSweepPoint = page;
    int32_t start = 0;
    for (auto _ : state) {
        start += page;
        if (static_cast<int64_t>(start) + page > r.scans) start = 0;
        int32_t count = qv::kOnePage;
        qv::ReadWaveWindow(start, count);
        benchmark::DoNotOptimize(qv::DispWaveArray.Channel(0));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * page * kChannels * 2);
    state.counters["points"] = page;
}

// The main window, started once, shows the recording's 32 channels in a 1920 x 1080 monitor.
qv::Acqisition& drawingWindow() {
    static qv::bench::MainWindow program;
    return *program.w;
}

void showRecording(const qv::StagedRecording& staged, int32_t page) {
    static bool shown = false;
    apply(staged);
    qv::GAcqParam.lSweepPoint = page;
    qv::GAcqParam.lPosWAVE_Start = 0;
    if (!shown) {
        qv::Acqisition& w = drawingWindow();
        for (int ch = 0; ch < kChannels; ++ch) {
            qv::GAcqParam.CHKWaveNo[ch] = 1;
            w.CHKWaveNo(ch).setValue(1);
            for (auto* box : {&w.txtDR_WaveHi(ch), &w.txtDR_WaveHi_V(ch)}) box->setText("30000");
            for (auto* box : {&w.txtDR_WaveLo(ch), &w.txtDR_WaveLo_V(ch)}) box->setText("-30000");
        }
        w.PBXMoniDisp.Move(w.PBXMoniDisp.Left(), w.PBXMoniDisp.Top(), 1920, 1080);
        w.UpdateCHDisp();
        shown = true;
    }
}

void BM_OpenToFirstDrawnPage(benchmark::State& state) {
    Recording& r = recording();
    qv::Acqisition& w = drawingWindow();
    for (auto _ : state) {
        const qv::StagedRecording staged = stageFromDisk(state, r);
        showRecording(staged, 10000);
        int32_t start = 0, count = qv::kOnePage;
        qv::ReadWaveWindow(start, count);
        w.DispFullWave(w.PBXMoniDisp.hDC(), false);
        benchmark::ClobberMemory();
    }
}

// Read, convert and draw one page; the pages of the file stay in the page cache as a user's
// paging back and forth over a recording keeps them (the first pass warms them).
void BM_PageStepDrawn(benchmark::State& state) {
    Recording& r = recording();
    qv::Acqisition& w = drawingWindow();
    qv::KparParam param;
    qv::ReadKparParam(r.base + ".Kpar", param);
    const int32_t page = static_cast<int32_t>(state.range(0));
    showRecording(qv::StageRecording(r.base, std::move(param)), page);
    const int64_t pages = std::min<int64_t>(r.scans / page, 8);
    for (int64_t k = 0; k < pages; ++k) {  // warm the pages the step will read
        int32_t start = static_cast<int32_t>(k * page), count = qv::kOnePage;
        qv::ReadWaveWindow(start, count);
    }
    int64_t k = 0;
    const double cpu0 = processCpuSeconds();
    double reading = 0, drawing = 0;
    for (auto _ : state) {
        int32_t start = static_cast<int32_t>((k++ % pages) * page), count = qv::kOnePage;
        qv::GAcqParam.lPosWAVE_Start = start;
        const auto t0 = std::chrono::steady_clock::now();
        qv::ReadWaveWindow(start, count);
        const auto t1 = std::chrono::steady_clock::now();
        w.DispFullWave(w.PBXMoniDisp.hDC(), false);
        benchmark::ClobberMemory();
        reading += std::chrono::duration<double>(t1 - t0).count();
        drawing += std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count();
    }
    state.counters["points"] = page;
    // The two halves of the step, wall time each.
    state.counters["read_ms"] = 1e3 * reading / static_cast<double>(state.iterations());
    state.counters["draw_ms"] = 1e3 * drawing / static_cast<double>(state.iterations());
    // The read and the redraw hand work to helper threads: the CPU column is the main thread's,
    // this is every thread's.
    state.counters["all_threads_cpu_ms"] =
        1e3 * (processCpuSeconds() - cpu0) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_OpenToFirstPage)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_OpenToFirstDrawnPage)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PageStepDrawn)->Arg(10000)->Arg(2000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NextPage)->Arg(10000)->Arg(2000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
