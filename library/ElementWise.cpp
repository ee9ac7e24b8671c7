// Element-wise arithmetic over caller-owned arrays.
//
// A single +, -, *, / or sqrt of two floats evaluated in double and rounded to float gives the
// float operation's own result (53 >= 2 * 24 + 2 bits), so float arithmetic here is exactly the
// extended-precision evaluation stored to float, and the loops vectorise. Each element is read
// before it is written, so the destination may be one of the sources.
#include "library/trelm.h"

#include <cmath>
#include <cstring>

namespace {

template <typename Op>
inline void binary(float* dst, const float* a, const float* b, int32_t n, Op op) {
    for (int32_t i = 0; i < n; ++i) dst[i] = op(a[i], b[i]);
}

template <typename Op>
inline void unary(float* dst, const float* src, int32_t n, Op op) {
    for (int32_t i = 0; i < n; ++i) dst[i] = op(src[i]);
}

}  // namespace

extern "C" {

void S_ADD(float* dst, const float* a, const float* b, int32_t n) {
    binary(dst, a, b, n, [](float x, float y) { return x + y; });
}
void S_SUB(float* dst, const float* a, const float* b, int32_t n) {
    binary(dst, a, b, n, [](float x, float y) { return x - y; });
}
void S_MUL(float* dst, const float* a, const float* b, int32_t n) {
    binary(dst, a, b, n, [](float x, float y) { return x * y; });
}
void S_DIV(float* dst, const float* a, const float* b, int32_t n) {
    binary(dst, a, b, n, [](float x, float y) { return x / y; });
}

void S_ADDC(float* dst, const float* src, float c, int32_t n) {
    if (n <= 0) return;
    // Adding exactly 0 is the callers' block copy; it must allow overlapping arrays.
    if (c == 0.0f) {
        std::memmove(dst, src, static_cast<size_t>(n) * sizeof(float));
        return;
    }
    unary(dst, src, n, [c](float x) { return x + c; });
}
void S_SUBC(float* dst, const float* src, float c, int32_t n) {
    unary(dst, src, n, [c](float x) { return x - c; });
}
void S_MULC(float* dst, const float* src, float c, int32_t n) {
    unary(dst, src, n, [c](float x) { return x * c; });
}
void S_DIVC(float* dst, const float* src, float c, int32_t n) {
    unary(dst, src, n, [c](float x) { return x / c; });
}
void S_SUBCA(float* dst, float c, const float* src, int32_t n) {
    unary(dst, src, n, [c](float x) { return c - x; });
}
void S_DIVCA(float* dst, float c, const float* src, int32_t n) {
    unary(dst, src, n, [c](float x) { return c / x; });
}

void S_ADDW(double* dst, const double* a, const float* b, int32_t n) {
    for (int32_t i = 0; i < n; ++i) dst[i] = static_cast<double>(b[i]) + a[i];
}

void S_ABS(float* dst, const float* src, int32_t n) {
    // sqrt(x * x) in extended precision neither overflows nor rounds: it is |x|.
    unary(dst, src, n, [](float x) { return std::fabs(x); });
}

void S_FILL(int32_t* dst, int32_t value, int32_t n) {
    for (int32_t i = 0; i < n; ++i) dst[i] = value;
}

}  // extern "C"
