#pragma once
// Scans shared by the statistics and envelope exports (internal to the library).
#include <cstdint>

namespace trelm {

// Running extreme of src[0 .. n-1], starting from src[0]. `beyond(a, b)` is true when a lies
// strictly beyond b (a > b for a maximum). Returns the first index of the final extreme, or -1
// when no element lies beyond src[0] (src[0] is the extreme, ties included). n >= 1.
template <typename Beyond>
inline int32_t scanExtreme(const float* src, int32_t n, float& extreme, Beyond beyond) {
    float value = src[0];
    int32_t index = -1;
    for (int32_t i = 1; i < n; ++i) {
        if (beyond(src[i], value)) {
            value = src[i];
            index = i;
        }
    }
    extreme = value;
    return index;
}

inline bool above(float a, float b) { return a > b; }
inline bool below(float a, float b) { return a < b; }

// Smallest and largest of p[0 .. n-1] (n >= 1), starting from p[0] and passing over NaN after
// it (a NaN p[0] gives NaN for both), and whether any element is NaN. Which of two equal zeros
// comes back is not specified. Wide vectors where the processor has them.
void minMaxNan(const float* p, int64_t n, float& lo, float& hi, bool& nan);

// First index i < n with p[i] == v, or n.
int64_t firstEqual(const float* p, int64_t n, float v);

// The smallest and largest of p[0 .. n-1] (n >= 1) in source order, each at its first place as
// the running scans find it, the maximum first when both sit on one point. `wide` lets long runs
// take the vector scans, which give the same bits.
void extremesInOrder(const float* p, int32_t n, float& first, float& second, bool wide);

// The helper threads worth lending to one scan of n floats: one core reads well below the
// memory's pace, and a helper is worth waking from a quarter million values on.
unsigned scanHelpers(int64_t n);

}  // namespace trelm
