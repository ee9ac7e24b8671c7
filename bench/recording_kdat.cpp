// The recording object on a real recording of 32 channels x 10,000,000 scans (640 MB, written
// in the temporary folder and removed at the end): the writer's throughput, and the display
// trace of 1920 points beside the time of reading the same bytes. Then the trace of a recording
// of a million one-scan frames, and of one whose parameter file claims far more scans than its
// data file holds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/common/IniSet.h"
#include "app/recording/CKdat.h"
#include "platform/kernel/Files.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/Profile.h"
#include "tests/app/recording/CKdat_testsupport.h"

namespace {

constexpr int32_t kChannels = 32;
constexpr int32_t kFrameScans = 1000;   // 10 kHz: a frame is a tenth of a second
constexpr int32_t kFrames = 10000;      // 10,000,000 scans
constexpr double kBytes = 2.0 * kChannels * kFrameScans * kFrames;

struct Folder {
    Folder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qvbench_kdat_XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        path = tmpl;
        qv::kernel::setProgramFolder(path.string());
        qv::apptest::WriteKdatStoreCalibration();
    }
    ~Folder() {
        qv::kernel::setProgramFolder("");
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string file(const char* name) const { return (path / name).string(); }
    std::filesystem::path path;
};
Folder* folder;

void BM_RecordingWriter(benchmark::State& state) {
    std::vector<int16_t> frame(static_cast<size_t>(kChannels) * kFrameScans);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = qv::apptest::KdatPatternSample(static_cast<int64_t>(i / kChannels), static_cast<int32_t>(i % kChannels));
    for (auto _ : state) {
        qv::CKdat k;
        k.CHNum(kChannels);
        k.nSample(kFrameScans);
        k.nSClock(100);
        const auto t0 = std::chrono::steady_clock::now();
        k.StartAcqisition(folder->file("bench.Kdat"));
        for (int32_t f = 0; f < kFrames; ++f) {
            frame[0] = static_cast<int16_t>(f);  // every frame its own data
            k.ADCGetData(frame);
        }
        k.ENDAcqisition();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_RecordingWriter)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_DisplayTrace1920(benchmark::State& state) {
    qv::CKdat k;
    k.OpenKdat(folder->file("bench.Kdat"));
    k.UseCal(true);
    if (k.PTotal() != kFrames * kFrameScans) state.SkipWithError("no recording");
    qv::WaveArray trace;
    std::vector<char> chunk(size_t{1} << 22);
    double readSeconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        k.GetWaveTrans(1920, trace);
        const auto t1 = std::chrono::steady_clock::now();
        qv::kernel::BinaryFile f(folder->file("bench.Kdat"));
        for (uint64_t at = 0; at < static_cast<uint64_t>(kBytes); at += chunk.size())
            f.readAt(at, chunk.data(), chunk.size());
        benchmark::DoNotOptimize(chunk.data());
        readSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    state.counters["read_same_bytes_ms"] = 1000.0 * readSeconds / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DisplayTrace1920)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// A recording of 2 channels whose parameter file claims `total` scans in `frames` frames of
// `frameScans`, over a data file of `dataScans` scans.
std::string claimedRecording(const char* name, int32_t frameScans, int32_t frames, int32_t total,
                             int64_t dataScans) {
    const std::string path = folder->file(name);
    qv::apptest::KdatRecordingSpec layout;
    layout.channels = 2;
    layout.frames = 1;
    qv::apptest::WriteKdatRecording(path, layout);
    const std::string kpar = path.substr(0, path.size() - 5) + ".Kpar";
    qv::kernel::writeProfileString(kpar, "P", "nSample", std::to_string(frameScans));
    qv::kernel::writeProfileString(kpar, "P", "NFrame", std::to_string(frames));
    qv::kernel::writeProfileString(kpar, "P", "PTotal", std::to_string(total));
    std::filesystem::resize_file(path, static_cast<uintmax_t>(dataScans) * 4);
    return path;
}

// The trace through the frame path: 1,000,000 frames of one scan each.
void BM_TraceMillionFrames(benchmark::State& state) {
    qv::CKdat k;
    k.OpenKdat(claimedRecording("frames.Kdat", 1, 1000000, 1000000, 1000000));
    k.UseCal(true);
    qv::WaveArray trace;
    for (auto _ : state) k.GetWaveTrans(1920, trace);
}
BENCHMARK(BM_TraceMillionFrames)->Iterations(1)->Unit(benchmark::kMillisecond);

// The trace of a parameter file that claims 2,000,000,000 scans over 300 scans of data.
void BM_TraceClaimedScans(benchmark::State& state) {
    qv::CKdat k;
    k.OpenKdat(claimedRecording("claimed.Kdat", 100, 3, 2000000000, 300));
    k.UseCal(true);
    state.counters["PTotal"] = k.PTotal();
    qv::WaveArray trace;
    for (auto _ : state) k.GetWaveTrans(1920, trace);
}
BENCHMARK(BM_TraceClaimedScans)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Folder f;
    folder = &f;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
