// Synthetic test signals: n samples of `cycles` periods, period P = n / cycles samples.
#include "library/trelm.h"

#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;

template <typename Wave>
void periodic(float* dst, int32_t cycles, int32_t n, Wave wave) {
    if (n <= 0) return;
    const double period = static_cast<double>(n) / cycles;  // in floating point: cycles may be 0
    for (int32_t i = 0; i < n; ++i) dst[i] = static_cast<float>(wave(kTwoPi * i / period));
}

// 0/1 wave that starts at 0; the phase that begins at a toggle lasts low or high samples.
// Without a period (cycles <= 0) it stays at its first value.
void pulses(float* dst, int32_t cycles, int32_t n, double low, double high) {
    if (n <= 0) return;
    const bool toggles = cycles > 0;
    double threshold = low;
    float value = 0.0f;
    for (int32_t i = 0; i < n; ++i) {
        if (toggles && i >= threshold) {
            value = 1.0f - value;
            threshold += value != 0.0f ? high : low;
        }
        dst[i] = value;
    }
}

}  // namespace

extern "C" {

void M_MKSIN(float* dst, int32_t cycles, int32_t n) {
    periodic(dst, cycles, n, [](double a) { return std::sin(a); });
}

void M_MKCOS(float* dst, int32_t cycles, int32_t n) {
    periodic(dst, cycles, n, [](double a) { return std::cos(a); });
}

void M_MKPULSE(float* dst, int32_t cycles, int32_t n) {
    const double half = static_cast<double>(n) / cycles / 2.0;
    pulses(dst, cycles, n, half, half);
}

void M_MKPULSE2(float* dst, int32_t cycles, int32_t n, const float* duty) {
    const double period = static_cast<double>(n) / cycles;
    const double d = *duty;
    pulses(dst, cycles, n, period * (1.0 - d), period * d);
}

}  // extern "C"
