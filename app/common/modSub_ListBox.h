#pragma once
// Finding an entry of a list box.
#include <cstdint>
#include <string>

namespace qv::forms {
class ListControl;
}

namespace qv {

// The index of the first entry equal to `text` (exact, case-sensitive), -1 when none. Entries
// past the 16-bit index range are not searched.
int16_t ListBox_FindItem(const forms::ListControl& list, const std::string& text);

}  // namespace qv
