#pragma once
// Small path, text and array helpers.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/common/IniSet.h"

namespace qv::forms {
class Control;
}

namespace qv {

// n times (nothing for n <= 0): runs pending window messages, then sleeps 1 ms. Handlers of any
// window may run inside it.
void DoEventsWait(int32_t n);

// A closing step of a handler, run from a destructor on every way out of it: skipped once the
// program has ended (its windows are gone and nothing is shown again); whatever the step raises
// is written to the day's log and goes no further, so the unwinding that runs it goes on.
void ClosingStep(const std::string& what, const std::function<void()>& step) noexcept;

// True when the control is an element of a control array.
bool IsControlArray(const forms::Control& control);

// Opens the file explorer on `path` (its folder, with the item selected where the desktop can).
void ShowInExplorer(int32_t ownerWindow, const std::string& path);

// The path up to and including its last "\"; "" when it has none.
std::string GetFolderPath(const std::string& path);
// The path without its last "." and what follows (the dot may lie in a folder name).
std::string GetPathWithoutExt(const std::string& path);
std::string TrimAtNull(const std::string& text);
// Fields from..to (1-based) of `text` split at `separator`, joined with it; to = 0 means from.
// "" for an empty text, a negative from, or from > to with to not 0. A field number outside the
// text's fields raises run-time error 9.
std::string GetFields(const std::string& text, int32_t from, int32_t to,
                      const std::string& separator);

// The upper bound of `dimension` (-1 means the first), -1 when the array has no elements or no
// such dimension.
template <class T>
int32_t GetUBound(const std::vector<T>& a, int32_t dimension = -1) {
    if (a.empty() || (dimension != -1 && dimension != 1)) return -1;
    return static_cast<int32_t>(a.size()) - 1;
}
template <class T, size_t N>
int32_t GetUBound(const std::array<T, N>&, int32_t dimension = -1) {
    if (N == 0 || (dimension != -1 && dimension != 1)) return -1;
    return static_cast<int32_t>(N) - 1;
}
// A wave array's first dimension is the point, its second the channel.
int32_t GetUBound(const WaveArray& a, int32_t dimension = -1);

}  // namespace qv
