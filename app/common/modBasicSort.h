#pragma once
// In-place quick sort of 32-bit floats between two indices.
#include <cstdint>
#include <span>

namespace qv {

// Sorts values(first..last) ascending or descending. Nothing when first >= last; otherwise an
// index outside the array is run-time error 9.
void QuickSort(std::span<float> values, int32_t first, int32_t last, bool ascending);
void QuickSortAsc(std::span<float> values, int32_t first, int32_t last);
void QuickSortDesc(std::span<float> values, int32_t first, int32_t last);

}  // namespace qv
