// The boundary of an export: the caller is C (or a program that cannot take a C++ exception),
// so nothing may leave an export but its result. A reader that runs out of memory on a hostile
// file, or any other failure deep inside, ends the call with the export's own failure answer.
#pragma once

#include <utility>

namespace trelm {

template <class Result, class Body>
Result guardedExport(Result onFailure, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return onFailure;
    }
}

template <class Body>
void guardedExport(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
    }
}

}  // namespace trelm
