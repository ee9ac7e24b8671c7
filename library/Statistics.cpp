// Statistics over caller-owned float arrays, accumulated in double and stored as float.
#include "library/trelm.h"

#include "library/ArrayScan.h"

#include <cmath>

namespace {

double sum(const float* src, int32_t n) {
    double s = 0.0;
    for (int32_t i = 0; i < n; ++i) s += src[i];
    return s;
}

// The value always; the index only when some element lies strictly beyond src[0], so a caller's
// preset index survives when src[0] is the extreme. n <= 0 writes src[0].
template <typename Beyond>
void extremeWithIndex(float* value, int32_t* index, const float* src, int32_t n, Beyond beyond) {
    if (n <= 0) {
        *value = src[0];
        return;
    }
    float v;
    int32_t at = trelm::scanExtreme(src, n, v, beyond);
    *value = v;
    if (at >= 0) *index = at;
}

}  // namespace

extern "C" {

void S_SUM(float* out, const float* src, int32_t n) {
    *out = n <= 0 ? 0.0f : static_cast<float>(sum(src, n));
}

void S_MEAN(float* out, const float* src, int32_t n) {
    if (n <= 0) return;
    *out = static_cast<float>(sum(src, n) / n);
}

void S_RMS(float* out, const float* src, int32_t n) {
    if (n <= 0) return;
    double s = 0.0;
    for (int32_t i = 0; i < n; ++i) s += static_cast<double>(src[i]) * src[i];
    *out = static_cast<float>(std::sqrt(s / n));
}

void S_SD(float* out, const float* src, int32_t n) {
    // Two passes straight over the source: no scratch copy, so no limit on n.
    if (n <= 0) return;
    if (n == 1) {
        *out = 0.0f;
        return;
    }
    const double mean = sum(src, n) / n;
    double s = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        const double d = src[i] - mean;
        s += d * d;
    }
    *out = static_cast<float>(std::sqrt(s / (n - 1)));
}

void S_MAX(float* value, int32_t* index, const float* src, int32_t n) {
    extremeWithIndex(value, index, src, n, trelm::above);
}

void S_MIN(float* value, int32_t* index, const float* src, int32_t n) {
    extremeWithIndex(value, index, src, n, trelm::below);
}

void S_MAXMIN(float* max, float* min, const float* src, int32_t n) {
    if (n <= 0) {
        *max = *min = src[0];
        return;
    }
    float hi, lo;
    trelm::scanExtreme(src, n, hi, trelm::above);
    trelm::scanExtreme(src, n, lo, trelm::below);
    *max = hi;
    *min = lo;
}

}  // extern "C"
