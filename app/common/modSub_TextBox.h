#pragma once
// Text-box helpers.

namespace qv::forms {
class TextBox;
}

namespace qv {

// Selects the whole text, so that typing replaces it.
void TextBox_SelectAll(forms::TextBox& box);

}  // namespace qv
