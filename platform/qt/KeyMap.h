#pragma once
// Keys and mouse buttons as the program's handlers receive them: the platform's virtual-key
// numbers, the shift mask (1 Shift, 2 Ctrl, 4 Alt) and the button mask (1 left, 2 right,
// 4 middle).

#include "platform/qt/QtBase.h"

#include <Qt>

namespace qv::qt {

// The virtual-key number of a Qt key, 0 when it has none. Keypad keys (KeypadModifier) get the
// numeric-pad numbers: digits 96..105, "*" 106, "+" 107, "-" 109, "." 110, "/" 111. Shifted
// punctuation of the US layout ("!" from Shift+1) maps back to the key that makes it.
int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers);
int shiftMask(Qt::KeyboardModifiers modifiers);
int buttonMask(Qt::MouseButtons buttons);

}  // namespace qv::qt
