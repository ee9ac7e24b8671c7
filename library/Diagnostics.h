#pragma once
// The test-wave buffer of the diagnostic exports, for the library's own tests.
#include <cstdint>

namespace trelm {

constexpr int32_t kTestWaveRows = 10000;
constexpr int32_t kTestWaveChannels = 32;

// 0 outside the buffer.
int32_t testWaveValue(int32_t row, int32_t channel);
int32_t testWaveLength(int32_t channel);
int32_t testWaveWait();

}  // namespace trelm
