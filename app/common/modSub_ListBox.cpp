#include "app/common/modSub_ListBox.h"

#include <algorithm>

#include "platform/forms/Controls.h"

namespace qv {

int16_t ListBox_FindItem(const forms::ListControl& list, const std::string& text) {
    const int count = std::min(list.ListCount(), 32768);
    for (int i = 0; i < count; ++i)
        if (list.List(i) == text) return static_cast<int16_t>(i);
    return -1;
}

}  // namespace qv
