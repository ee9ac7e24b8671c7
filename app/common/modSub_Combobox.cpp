#include "app/common/modSub_Combobox.h"

#include "app/common/modSub_ListBox.h"
#include "platform/forms/Controls.h"

namespace qv {

int16_t ComboBox_FindItem(const forms::ComboBox& combo, const std::string& text) {
    return ListBox_FindItem(combo, text);
}

std::string ComboBox_GetSelectedText(const forms::ComboBox& combo) {
    const int i = combo.ListIndex();
    return i < 0 ? std::string() : combo.List(i);
}

}  // namespace qv
