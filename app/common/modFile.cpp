#include "app/common/modFile.h"

#include <exception>

#include "app/common/modCommon.h"
#include "platform/kernel/Paths.h"

namespace qv {

std::string FindFile(const std::string& name, bool searchMode) {
    try {
        if (searchMode) return TrimAtNull(kernel::searchPath(name));
        return kernel::dirFirst(name);
    } catch (const std::exception&) {
        return "";
    }
}

}  // namespace qv
