#include "app/common/modSub_ListBox.h"

#include <algorithm>

#include "platform/basic/Numbers.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Controls.h"

namespace qv {

int16_t ListBox_FindItem(const forms::ListControl& list, const std::string& text) {
    const int count = std::min(list.ListCount(), 32768);
    for (int i = 0; i < count; ++i)
        if (list.List(i) == text) return static_cast<int16_t>(i);
    return -1;
}

int32_t ListCountFromText(const std::string& text) {
    constexpr int32_t kMaxListCount = 32767;
    try {
        const double n = basic::Val(text);
        if (!(n > 0)) return 0;
        return n >= kMaxListCount ? kMaxListCount : basic::CLng(n);
    } catch (const basic::RuntimeError&) {  // an exponent beyond the number range
        return 0;
    }
}

}  // namespace qv
