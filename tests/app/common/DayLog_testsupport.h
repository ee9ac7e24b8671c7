#pragma once
// The day's log files the program writes under its folder ("LOG\yyyy\...", CP932), read back by
// tests.
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/kernel/Encoding.h"

namespace qv::apptest {

// The number of log lines under `programFolder` that contain `text` (UTF-8).
inline size_t dayLogLines(const std::filesystem::path& programFolder, const std::string& text) {
    const std::string bytes = kernel::utf8ToCp932(text);
    size_t n = 0;
    const std::filesystem::path logs = programFolder / "LOG";
    if (!std::filesystem::exists(logs)) return 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(logs)) {
        std::ifstream in(e.path());
        for (std::string line; std::getline(in, line);) n += line.find(bytes) != std::string::npos;
    }
    return n;
}

}  // namespace qv::apptest
