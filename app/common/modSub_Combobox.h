#pragma once
// Finding and reading entries of a combo box.
#include <cstdint>
#include <string>

namespace qv::forms {
class ComboBox;
}

namespace qv {

// The index of the first entry equal to `text` (exact, case-sensitive), -1 when none.
int16_t ComboBox_FindItem(const forms::ComboBox& combo, const std::string& text);
// The entry at the selected index; "" when nothing is selected.
std::string ComboBox_GetSelectedText(const forms::ComboBox& combo);

}  // namespace qv
