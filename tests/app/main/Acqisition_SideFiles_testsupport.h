#pragma once
// Side files as the companion programs leave them: `width` little-endian float32 values for each
// sample, for the tests and the fuzz target's seeds.
#include <cstdint>
#include <cstring>
#include <string>

namespace qv::apptest {

inline std::string sideFileBytes(int32_t samples, int32_t width, float (*value)(int32_t p, int32_t j)) {
    std::string bytes;
    for (int32_t p = 0; p < samples; ++p)
        for (int32_t j = 0; j < width; ++j) {
            const float f = value(p, j);
            uint32_t bits;
            std::memcpy(&bits, &f, sizeof bits);
            for (int b = 0; b < 4; ++b) bytes += static_cast<char>((bits >> (8 * b)) & 0xFF);
        }
    return bytes;
}

}  // namespace qv::apptest
