// The ini engine's read path on a settings-sized file (40 sections of 25 keys, written in the
// temporary folder and removed at the end): every key read once, as a window's load reads them,
// on a file last changed long ago, on one just written (its bytes are checked again), on one
// written through the engine a moment before, inside a batch, and by a bare name in the program
// folder; and one write, which must stay as it is.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/Paths.h"
#include "platform/kernel/Profile.h"

namespace {

constexpr int kSections = 40;
constexpr int kKeys = 25;

struct Folder {
    Folder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qvbench_ini_XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        path = tmpl;
        std::filesystem::create_directories(path / "drive_c" / "Quorvane");
        qv::kernel::setDriveFolder('C', (path / "drive_c").string());
        qv::kernel::setProgramFolder((path / "drive_c" / "Quorvane").string());
        std::string text;
        for (int s = 0; s < kSections; ++s) {
            text += "[frmCondition.control" + std::to_string(s) + "]\r\n";
            for (int k = 0; k < kKeys; ++k)
                text += "Key" + std::to_string(k) + "=value " + std::to_string(s * kKeys + k) + "\r\n";
        }
        bytes = text;
        write();
    }
    ~Folder() {
        qv::kernel::setDriveFolder('C', "");
        qv::kernel::setProgramFolder("");
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string linuxFile() const { return (path / "drive_c" / "Quorvane" / "SETTING.SET").string(); }
    // Rewritten in place, as an editor or another program might; `aged` dates it an hour back.
    void write(bool aged = true) const {
        std::ofstream(linuxFile(), std::ios::binary | std::ios::trunc) << bytes;
        if (!aged) return;
        timespec times[2]{};
        times[0].tv_sec = times[1].tv_sec = std::time(nullptr) - 3600;
        utimensat(AT_FDCWD, linuxFile().c_str(), times, 0);
    }
    std::filesystem::path path;
    std::string bytes;
};

Folder& folder() {
    static Folder f;
    return f;
}

const std::vector<std::pair<std::string, std::string>>& keys() {
    static const auto all = [] {
        std::vector<std::pair<std::string, std::string>> out;
        for (int s = 0; s < kSections; ++s)
            for (int k = 0; k < kKeys; ++k)
                out.emplace_back("frmCondition.control" + std::to_string(s), "Key" + std::to_string(k));
        return out;
    }();
    return all;
}

void readEveryKey(benchmark::State& state, const std::string& path) {
    size_t found = 0;
    for (const auto& [section, key] : keys()) found += qv::kernel::getProfileString(path, section, key, "-").found;
    if (found != keys().size()) state.SkipWithError("a key was not found");
}

const char* const kWindowsPath = "C:\\Quorvane\\SETTING.SET";

void BM_ReadEveryKey_OldFile(benchmark::State& state) {
    folder().write();
    qv::kernel::clearProfileCache();
    for (auto _ : state) readEveryKey(state, kWindowsPath);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys().size()));
}
BENCHMARK(BM_ReadEveryKey_OldFile)->Unit(benchmark::kMicrosecond);

void BM_ReadEveryKey_JustWritten(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        folder().write(false);
        state.ResumeTiming();
        readEveryKey(state, kWindowsPath);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys().size()));
}
BENCHMARK(BM_ReadEveryKey_JustWritten)->Unit(benchmark::kMicrosecond);

void BM_ReadEveryKey_InBatch(benchmark::State& state) {
    folder().write();
    qv::kernel::clearProfileCache();
    for (auto _ : state) {
        qv::kernel::ProfileBatch batch(kWindowsPath);
        readEveryKey(state, kWindowsPath);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys().size()));
}
BENCHMARK(BM_ReadEveryKey_InBatch)->Unit(benchmark::kMicrosecond);

void BM_ReadEveryKey_BareName(benchmark::State& state) {
    folder().write();
    qv::kernel::clearProfileCache();
    for (auto _ : state) readEveryKey(state, "SETTING.SET");
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys().size()));
}
BENCHMARK(BM_ReadEveryKey_BareName)->Unit(benchmark::kMicrosecond);

// A write through the engine a moment (0.2 s) before the reads, as a load right after a save.
void BM_ReadEveryKey_AfterAWrite(benchmark::State& state) {
    folder().write();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        qv::kernel::writeProfileString(kWindowsPath, "frmCondition.control7", "Key3", std::to_string(++i));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        state.ResumeTiming();
        readEveryKey(state, kWindowsPath);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys().size()));
    folder().write();
}
BENCHMARK(BM_ReadEveryKey_AfterAWrite)->Unit(benchmark::kMicrosecond)->Iterations(10);

void BM_WriteOneKey(benchmark::State& state) {
    folder().write();
    qv::kernel::clearProfileCache();
    int i = 0;
    for (auto _ : state)
        if (!qv::kernel::writeProfileString(kWindowsPath, "frmCondition.control7", "Key3", std::to_string(++i)))
            state.SkipWithError("the write failed");
    folder().write();
}
BENCHMARK(BM_WriteOneKey)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
