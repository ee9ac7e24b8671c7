#include "FuzzTarget.h"

namespace qv::fuzz {

std::vector<Target>& targets() {
    static std::vector<Target> all;
    return all;
}

}  // namespace qv::fuzz
