// Diagnostic exports: synthetic test waves into a 32-channel buffer, readers of the raw-sample
// ring, and a dump of the graph and cursor tables. Rows, channels and counts are checked: an
// index outside the buffer is ignored.
#include "library/Diagnostics.h"
#include "library/GraphTables.h"
#include "library/trelm.h"

#include "platform/basic/Convert.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace trelm {
namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;
constexpr int32_t kFullScale = 65535;
constexpr int32_t kMinimumWait = 10000;

constexpr std::array<int32_t, kTestWaveChannels> initialLengths() {
    std::array<int32_t, kTestWaveChannels> a{};
    a.fill(kTestWaveRows);
    return a;
}

constinit int32_t gWave[kTestWaveRows][kTestWaveChannels]{};
constinit std::array<int32_t, kTestWaveChannels> gWaveLength = initialLengths();
constinit int32_t gWaveWait = 100000;

// The raw-sample ring: nothing in the library fills it, so it holds no words and its
// parameters stay 0; the readers copy nothing.
struct RawRing {
    int32_t size, writeIndex, second, wrapped, readPointer;
};
constinit RawRing gRing{};

bool validChannel(int32_t channel) { return channel >= 0 && channel < kTestWaveChannels; }

// Rows 0 .. min(n, buffer) - 1 of a channel, value(i) each.
template <class Value>
void writeWave(int32_t n, int32_t channel, Value value) {
    if (!validChannel(channel)) return;
    const int32_t rows = std::min(n, kTestWaveRows);
    for (int32_t i = 0; i < rows; ++i) gWave[i][channel] = value(i);
}

template <class Wave>
void periodicWave(int32_t cycles, int32_t n, int32_t channel, Wave wave) {
    writeWave(n, channel, [&](int32_t i) {
        return qv::basic::truncToInt32(
            32767.0 * wave(kTwoPi * i * static_cast<double>(cycles) / n) + 32768.0);
    });
}

}  // namespace

int32_t testWaveValue(int32_t row, int32_t channel) {
    if (row < 0 || row >= kTestWaveRows || !validChannel(channel)) return 0;
    return gWave[row][channel];
}
int32_t testWaveLength(int32_t channel) { return validChannel(channel) ? gWaveLength[channel] : 0; }
int32_t testWaveWait() { return gWaveWait; }

}  // namespace trelm

using namespace trelm;

extern "C" {

void DBG_WAVE_SIN(int32_t cycles, int32_t n, int32_t channel) {
    periodicWave(cycles, n, channel, [](double a) { return std::sin(a); });
}

void DBG_WAVE_COS(int32_t cycles, int32_t n, int32_t channel) {
    periodicWave(cycles, n, channel, [](double a) { return std::cos(a); });
}

void DBG_WAVE_PLUSE(int32_t cycles, int32_t n, int32_t channel) {
    // 0 first, toggling at the first index at or past each half period P/2, P = n / cycles.
    // Without a period (cycles <= 0) it stays 0.
    const double half = static_cast<double>(n) / cycles / 2.0;
    double threshold = half;
    int32_t value = 0;
    writeWave(n, channel, [&](int32_t i) {
        if (cycles > 0 && i >= threshold) {
            value = kFullScale - value;
            threshold += half;
        }
        return value;
    });
}

void DBG_WAVE_LEN(int32_t length, int32_t channel) {
    if (validChannel(channel)) gWaveLength[channel] = length;
}

void DBG_WAVE_FREE(int32_t value, int32_t index, int32_t channel) {
    if (index >= 0 && index < kTestWaveRows && validChannel(channel)) gWave[index][channel] = value;
}

void DBG_WAVE_WAIT(int32_t wait) { gWaveWait = std::max(wait, kMinimumWait); }

int32_t DEBUG_NO(int32_t) { return 0; }  // no channel is ever listed

void DEBUG_NOREADP(int32_t* out) { *out = gRing.readPointer; }

void DEBUG_GET_BUFPARAM(int32_t* index, int32_t* second) {
    *index = gRing.writeIndex;
    *second = gRing.second;
}

void DEBUG_GET_BUFPARAM2(int32_t* out) { *out = gRing.wrapped; }

void DEBUG_GET_BUFSIZE(int32_t* out) { *out = gRing.size; }

void DEBUG_GET_BUFFER(int16_t*) {}
void DEBUG_GET_BUFFER2(int16_t*, int32_t, int32_t) {}
void DEBUG_GET_BUFFER3(int16_t*, int32_t, int32_t) {}

void DEBUG_GET_H_FUNCTION(int32_t* graphCount, void* graphs, int32_t* cursorCount,
                          void* cursors) {
    const int32_t slots = graphSlotCount();
    const int32_t records = cursorHighWater();
    if (graphCount) *graphCount = slots;
    if (graphs) std::memcpy(graphs, graphSlots(), sizeof(GraphSlot) * static_cast<size_t>(slots));
    if (cursorCount) *cursorCount = records;
    if (cursors)
        std::memcpy(cursors, cursorRecords(), sizeof(CursorRecord) * static_cast<size_t>(records));
}

}  // extern "C"
