// For readers that take a path: the input written to a file of this process's own temporary
// folder (kept for the whole run, so every execution rewrites the same file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace qv::fuzz {

struct InputFolder {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("qv_fuzz_" + std::to_string(::getpid()));
    InputFolder() { std::filesystem::create_directories(path); }
    ~InputFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

inline const std::filesystem::path& inputFolder() {
    static const InputFolder folder;
    return folder.path;
}

inline std::string writeInput(const char* name, const std::uint8_t* data, std::size_t size) {
    const std::string path = (inputFolder() / name).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

}  // namespace qv::fuzz
