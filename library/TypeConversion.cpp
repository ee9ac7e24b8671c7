// Conversions between the element types of the callers' arrays. Float to integer truncates
// toward zero with the x86 result for NaN and out-of-range values (0x80000000), never UB.
#include "library/trelm.h"

#include "platform/basic/Convert.h"

extern "C" {

void S_D2S(float* dst, const double* src, int32_t n) {
    for (int32_t i = 0; i < n; ++i) dst[i] = static_cast<float>(src[i]);
}
void S_I2S(float* dst, const int16_t* src, int32_t n) {
    for (int32_t i = 0; i < n; ++i) dst[i] = src[i];
}
void S_L2S(float* dst, const int32_t* src, int32_t n) {
    for (int32_t i = 0; i < n; ++i) dst[i] = static_cast<float>(src[i]);
}
void S_S2D(double* dst, const float* src, int32_t n) {
    for (int32_t i = 0; i < n; ++i) dst[i] = src[i];
}
void S_S2I(int16_t* dst, const float* src, int32_t n) {
    // The low 16 bits of the 32-bit truncation: 40000.7 stores 40000 - 65536.
    for (int32_t i = 0; i < n; ++i) dst[i] = qv::basic::truncToInt16(src[i]);
}
void S_S2L(int32_t* dst, const float* src, int32_t n) {
    for (int32_t i = 0; i < n; ++i) dst[i] = qv::basic::truncToInt32(src[i]);
}

}  // extern "C"
