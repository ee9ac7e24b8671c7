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

// A count of list entries read from a file's text: its leading number rounded, 0 for none, a
// negative one or one beyond the number range, and at most 32767 entries (the list limit), so a
// corrupt file can neither fail nor keep the reader busy for hours.
int32_t ListCountFromText(const std::string& text);

}  // namespace qv
