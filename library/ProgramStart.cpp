// P_MONITOR_SETTING / P_MONITOR: start the main program from its install folder with a
// settings file as its one argument.
#include "library/trelm.h"
#include "library/ExportGuard.h"

#include "platform/kernel/Encoding.h"
#include "platform/kernel/Process.h"

#include <cstring>
#include <string_view>

namespace {

constexpr char kProgram[] = "C:\\Tolvane\\Quorvane.exe";
constexpr size_t kPathCapacity = 2048;
// The command line "program blank path" with its terminating zero fits 255 bytes.
constexpr size_t kCommandLineBytes = 255;
constexpr int kReadyWaitMs = 10000;

// A copy of the caller's path, CP932.
constinit char gSettingsPath[kPathCapacity] = "C:\\SETTING.SET";

}  // namespace

extern "C" {

void P_MONITOR_SETTING(const char* path) {
    if (!path) return;
    const std::string_view text(path, ::strnlen(path, kPathCapacity));
    const size_t length = qv::kernel::cp932FitLength(text, kPathCapacity - 1);
    std::memset(gSettingsPath, 0, sizeof gSettingsPath);
    std::memcpy(gSettingsPath, path, length);
}

void P_MONITOR() {
    trelm::guardedExport([&] {
        const size_t pathLength = std::strlen(gSettingsPath);
        if (sizeof kProgram - 1 + 1 + pathLength + 1 > kCommandLineBytes) return;  // start nothing
        qv::kernel::StartOptions options;
        options.waitReadyMs = kReadyWaitMs;
        qv::kernel::startProcess({kProgram, qv::kernel::cp932ToUtf8(gSettingsPath)}, options);
    });
}

}  // extern "C"
