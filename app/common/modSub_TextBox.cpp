#include "app/common/modSub_TextBox.h"

#include "platform/basic/Strings.h"
#include "platform/forms/Controls.h"

namespace qv {

void TextBox_SelectAll(forms::TextBox& box) {
    box.setSelStart(0);
    box.setSelLength(basic::Len(box.Text()));
}

}  // namespace qv
