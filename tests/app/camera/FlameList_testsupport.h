#pragma once
// Frame-list files written byte by byte: the positions as little-endian int32, the same as
// doubles (or the doubles given), then the per-fetch counts.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace qv::apptest {

template <class T>
void appendLE(std::string& out, T v) {
    unsigned char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));  // the test machines are little-endian, as the files are
    out.append(reinterpret_cast<const char*>(b), sizeof(T));
}

inline std::string flameListBytes(const std::vector<int32_t>& frames,
                                  const std::vector<double>& doubles,
                                  const std::vector<int32_t>& fetches) {
    std::string out;
    for (int32_t v : frames) appendLE(out, v);
    for (double v : doubles) appendLE(out, v);
    for (int32_t v : fetches) appendLE(out, v);
    return out;
}

inline std::string flameListBytes(const std::vector<int32_t>& frames,
                                  const std::vector<int32_t>& fetches = {}) {
    return flameListBytes(frames, std::vector<double>(frames.begin(), frames.end()), fetches);
}

}  // namespace qv::apptest
