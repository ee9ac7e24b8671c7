#include "app/common/modBasicSort.h"

#include <functional>
#include <utility>

#include "platform/basic/RuntimeError.h"

namespace qv {

namespace {

// The pivot is the middle element, moved to the front; elements that go before it are
// gathered behind the front, then the pivot takes its place at the boundary. Elements equal
// to the pivot stay on its right. The smaller side is sorted by recursion and the larger one by
// the loop, so the depth stays logarithmic whatever the input.
template <class Before>
void sortRange(std::span<float> v, int32_t first, int32_t last, Before before) {
    while (first < last) {
        const auto mid = static_cast<int32_t>((int64_t{first} + last) / 2);
        const float pivot = v[mid];
        v[mid] = v[first];
        int32_t b = first;
        for (int32_t i = first + 1; i <= last; ++i)
            if (before(v[i], pivot)) std::swap(v[++b], v[i]);
        v[first] = v[b];
        v[b] = pivot;
        if (b - first < last - b) {
            sortRange(v, first, b - 1, before);
            first = b + 1;
        } else {
            sortRange(v, b + 1, last, before);
            last = b - 1;
        }
    }
}

template <class Before>
void sortChecked(std::span<float> v, int32_t first, int32_t last, Before before) {
    if (first >= last) return;
    if (first < 0 || static_cast<size_t>(last) >= v.size()) basic::raiseError(basic::errSubscript);
    sortRange(v, first, last, before);
}

}  // namespace

void QuickSortAsc(std::span<float> values, int32_t first, int32_t last) {
    sortChecked(values, first, last, std::less<float>());
}

void QuickSortDesc(std::span<float> values, int32_t first, int32_t last) {
    sortChecked(values, first, last, std::greater<float>());
}

void QuickSort(std::span<float> values, int32_t first, int32_t last, bool ascending) {
    if (ascending) QuickSortAsc(values, first, last);
    else QuickSortDesc(values, first, last);
}

}  // namespace qv
