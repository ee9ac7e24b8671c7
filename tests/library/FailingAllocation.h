#pragma once
// A seam for running out of memory: while armed on this thread, the n-th allocation through
// operator new from now on throws std::bad_alloc (and every one after it), as a reader meeting a
// hostile file would. The replacement operators live in FailingAllocation.cpp.
#include <cstdint>

namespace trelmtest {

class FailingAllocation {
public:
    explicit FailingAllocation(int64_t allowed);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
    // True when an allocation was refused while armed.
    bool refused() const;
};

}  // namespace trelmtest
