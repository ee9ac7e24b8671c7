// For readers that take a path: the input written to a file of the process's scratch folder
// (kept for the whole run, so every execution rewrites the same file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "FuzzTarget.h"

namespace qv::fuzz {

inline std::string writeInput(const char* name, const std::uint8_t* data, std::size_t size) {
    const std::string path = (scratchFolder() / name).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

}  // namespace qv::fuzz
