// A recording: fuzzed ".Kpar" text and ".Kdat" bytes (one input, the two parts split at the
// line "--KDAT--"), opened and then read by the loads and the display trace with small counts.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzTarget.h"
#include "app/common/modIniFile.h"
#include "app/recording/CKdat.h"
#include "platform/basic/RuntimeError.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/Profile.h"
#include "tests/app/recording/CKdat_testsupport.h"

namespace {

constexpr std::string_view kSplit = "\n--KDAT--\n";

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

template <class F>
void refusable(F&& f) {
    try {
        f();
    } catch (const qv::basic::RuntimeError&) {
        // A refusal is the reader's answer to a bad recording.
    }
}

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

QV_FUZZ_TARGET(Kdat) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find(kSplit);
    const std::filesystem::path base = qv::fuzz::scratchFolder() / "f";
    writeFile(base.string() + ".Kpar", input.substr(0, split));
    writeFile(base.string() + ".Kdat", split == std::string_view::npos ? std::string_view() : input.substr(split + kSplit.size()));
    qv::kernel::clearProfileCache();

    // Small counts only: a recording whose buffers would be large is the tests' matter, and
    // zeroing hundreds of megabytes would leave the fuzzer no time for anything else.
    {
        qv::IniPathGuard guard(base.string() + ".Kpar");
        auto number = [](const char* key) {
            try {
                return std::abs(qv::basic::Val(qv::ReadIniString("P", key, "0")));
            } catch (const qv::basic::RuntimeError&) {
                return 0.0;
            }
        };
        if (number("nSample") * 10 * number("wCh") > 1e6 || number("lSweepPoint") > 20000) return 0;
    }
    // The file is parsed once for the whole input rather than checked again at every key.
    qv::kernel::ProfileBatch parsedOnce(base.string() + ".Kpar");

    static qv::CKdat k;  // one object, opened again and again as a program would
    bool opened = false;
    refusable([&] {
        k.OpenKdat(base.string() + ".Kdat");
        opened = true;
    });
    if (opened) {
        // The scans counted never pass the data file's end.
        const uintmax_t scans =
            std::filesystem::file_size(base.string() + ".Kdat") / (2u * static_cast<uintmax_t>(k.CHNum()));
        if (k.PTotal() > 0 && static_cast<uintmax_t>(k.PTotal()) > scans) std::abort();
        k.UseCal(size % 2 == 1);
        const int32_t total = k.PTotal();
        refusable([&] { k.GetFileData_Rec(std::max(0, total - 3), 8); });
        refusable([&] { k.LoadWave_Point(std::max(0, total - 5), 16); });
        refusable([&] { k.LoadWave_Frame(std::max(0, k.NFrame() - 1)); });
        k.SweepPoint(std::min(k.SweepPoint(), 10004));
        refusable([&] { k.LoadWave_Sweep(std::max(0, total - k.SweepPoint())); });
        if (total <= 4096 && int64_t{k.NFrame()} * k.nSample() <= 4 * int64_t{total} + 64) {
            qv::WaveArray trace;
            refusable([&] { k.GetWaveTrans(7, trace); });
        }
    }
    qv::SetIniFileName("");
    return 0;
}

QV_FUZZ_SEEDS(Kdat) {
    // Recordings written by the recording object itself.
    const std::filesystem::path dir = qv::fuzz::scratchFolder();
    qv::kernel::setProgramFolder(dir.string());
    // The writer takes the calibration from the library, found in the program folder.
    std::error_code ec;
    std::filesystem::create_symlink(std::filesystem::path(QV_BIN_DIR) / "libTrelm.so", dir / "libTrelm.so", ec);
    std::vector<qv::fuzz::Bytes> seeds;
    struct Case {
        int32_t channels, rateHz, frames;
    };
    for (const Case& s : {Case{2, 1000, 3}, Case{1, 100, 25}, Case{4, 10000, 2}}) {
        qv::apptest::KdatRecordingSpec layout;
        layout.channels = s.channels;
        layout.rateHz = s.rateHz;
        layout.frames = s.frames;
        const std::string path = (dir / "seed.Kdat").string();
        qv::apptest::WriteKdatRecording(path, layout);
        std::string bytes = readAll(dir / "seed.Kpar");
        if (s.channels == 1) bytes += "[MARK]\r\nMARK(0)=2\r\nMARK(1)=1\r\nMARK(2)=2\r\n";
        bytes += kSplit;
        bytes += readAll(dir / "seed.Kdat");
        seeds.push_back(qv::fuzz::bytesOf(bytes));
    }
    qv::kernel::setProgramFolder("");
    qv::SetIniFileName("");
    return seeds;
}
