#pragma once
// Floating-point to integer conversions with the results of the x86 conversion instructions, so
// pixel mappings never hit undefined behaviour: NaN and values outside the 32-bit range give
// INT32_MIN ("integer indefinite"), as cvttsd2si / cvtsd2si do.
// Header-only and free of static state: the plotting library calls these per pixel.

#include <cmath>
#include <cstdint>

namespace qv::basic {

// Truncation toward zero (a C cast on x86).
inline int32_t truncToInt32(double x) noexcept {
    // The comparisons are false for NaN, so NaN lands in the indefinite branch too.
    if (x > -2147483649.0 && x < 2147483648.0) return static_cast<int32_t>(x);
    return INT32_MIN;
}

// Nearest integer, halves to even (the default x87/SSE rounding, and the language's CLng).
// Computed without the floating-point environment, so a changed rounding mode cannot leak in.
inline int32_t roundToInt32(double x) noexcept {
    if (!(x >= -2147483648.5 && x < 2147483647.5)) return INT32_MIN;
    double fl = std::floor(x);
    double diff = x - fl;  // exact for |x| < 2^31
    int64_t r = static_cast<int64_t>(fl);
    if (diff > 0.5 || (diff == 0.5 && (r & 1) != 0)) ++r;
    return static_cast<int32_t>(r);
}

// 16-bit forms: the 32-bit conversion, then the low 16 bits, which is what a C compiler emits
// for a cast to short on x86.
inline int16_t truncToInt16(double x) noexcept {
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(truncToInt32(x))));
}
inline int16_t roundToInt16(double x) noexcept {
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(roundToInt32(x))));
}

}  // namespace qv::basic
