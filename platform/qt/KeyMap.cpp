#include "platform/qt/KeyMap.h"

namespace qv::qt {

namespace {
// Shifted characters of the US layout -> the virtual key of the key that types them.
int shiftedSymbolKey(int k) {
    switch (k) {
        case Qt::Key_Exclam: return 49;
        case Qt::Key_At: return 50;
        case Qt::Key_NumberSign: return 51;
        case Qt::Key_Dollar: return 52;
        case Qt::Key_Percent: return 53;
        case Qt::Key_AsciiCircum: return 54;
        case Qt::Key_Ampersand: return 55;
        case Qt::Key_Asterisk: return 56;
        case Qt::Key_ParenLeft: return 57;
        case Qt::Key_ParenRight: return 48;
        case Qt::Key_Underscore: return 189;
        case Qt::Key_Plus: return 187;
        case Qt::Key_BraceLeft: return 219;
        case Qt::Key_BraceRight: return 221;
        case Qt::Key_Bar: return 220;
        case Qt::Key_Colon: return 186;
        case Qt::Key_QuoteDbl: return 222;
        case Qt::Key_Less: return 188;
        case Qt::Key_Greater: return 190;
        case Qt::Key_Question: return 191;
        case Qt::Key_AsciiTilde: return 192;
        default: return 0;
    }
}
}  // namespace

int virtualKey(int k, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return (keypad ? 96 : 48) + (k - Qt::Key_0);
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return 65 + (k - Qt::Key_A);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
    if (keypad) {
        switch (k) {
            case Qt::Key_Asterisk: return 106;
            case Qt::Key_Plus: return 107;
            case Qt::Key_Minus: return 109;
            case Qt::Key_Period:
            case Qt::Key_Comma: return 110;
            case Qt::Key_Slash: return 111;
            default: break;  // keypad arrows, Home, ... are the plain keys
        }
    }
    switch (k) {
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return 9;
        case Qt::Key_Clear: return 12;  // keypad 5 without Num Lock
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Shift: return 16;
        case Qt::Key_Control: return 17;
        case Qt::Key_Alt: return 18;
        case Qt::Key_Pause: return 19;
        case Qt::Key_CapsLock: return 20;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Space: return 32;
        case Qt::Key_PageUp: return 33;
        case Qt::Key_PageDown: return 34;
        case Qt::Key_End: return 35;
        case Qt::Key_Home: return 36;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        case Qt::Key_Print: return 44;
        case Qt::Key_Insert: return 45;
        case Qt::Key_Delete: return 46;
        case Qt::Key_Meta: return 91;
        case Qt::Key_Menu: return 93;
        case Qt::Key_NumLock: return 144;
        case Qt::Key_ScrollLock: return 145;
        case Qt::Key_Semicolon: return 186;
        case Qt::Key_Equal: return 187;
        case Qt::Key_Comma: return 188;
        case Qt::Key_Minus: return 189;
        case Qt::Key_Period: return 190;
        case Qt::Key_Slash: return 191;
        case Qt::Key_QuoteLeft: return 192;
        case Qt::Key_BracketLeft: return 219;
        case Qt::Key_Backslash: return 220;
        case Qt::Key_BracketRight: return 221;
        case Qt::Key_Apostrophe: return 222;
        default: return shiftedSymbolKey(k);
    }
}

int shiftMask(Qt::KeyboardModifiers modifiers) {
    int mask = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) mask |= 1;
    if (modifiers.testFlag(Qt::ControlModifier)) mask |= 2;
    if (modifiers.testFlag(Qt::AltModifier)) mask |= 4;
    return mask;
}

int buttonMask(Qt::MouseButtons buttons) {
    int mask = 0;
    if (buttons.testFlag(Qt::LeftButton)) mask |= 1;
    if (buttons.testFlag(Qt::RightButton)) mask |= 2;
    if (buttons.testFlag(Qt::MiddleButton)) mask |= 4;
    return mask;
}

}  // namespace qv::qt
