#pragma once
// Small value types and constants shared by the whole forms model.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qv::forms {

// A property value as late-bound code sees it: the program stores settings as text and
// hands them back to the control, which converts them as the original language would.
class PropValue {
public:
    PropValue() = default;
    PropValue(bool b) : v_(b) {}
    PropValue(int i) : v_(static_cast<int32_t>(i)) {}
    PropValue(int64_t i) : v_(static_cast<double>(i)) {}
    PropValue(double d) : v_(d) {}
    PropValue(float f) : v_(static_cast<double>(f)) {}
    PropValue(std::string s) : v_(std::move(s)) {}
    PropValue(const char* s) : v_(std::string(s)) {}
    PropValue(std::string_view s) : v_(std::string(s)) {}

    bool isEmpty() const { return std::holds_alternative<std::monostate>(v_); }
    bool isBool() const { return std::holds_alternative<bool>(v_); }
    bool isInt() const { return std::holds_alternative<int32_t>(v_); }
    bool isDouble() const { return std::holds_alternative<double>(v_); }
    bool isString() const { return std::holds_alternative<std::string>(v_); }

    // Conversions with the language's rules: text to number is strict (error 13 when the
    // text is not a number), numbers round half to even, a Boolean is -1 or 0, text of a
    // Boolean is "True"/"False".
    std::string toString() const;
    double toDouble() const;
    int32_t toInt() const;
    bool toBool() const;

    bool operator==(const PropValue& o) const = default;

private:
    std::variant<std::monostate, bool, int32_t, double, std::string> v_;
};

// Colours are 0x00BBGGRR.
using Color = int32_t;
constexpr Color rgb(int r, int g, int b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }

// Scale modes a container can use for its children's coordinates.
enum ScaleMode : int {
    vbUser = 0, vbTwips = 1, vbPoints = 2, vbPixels = 3, vbCharacters = 4,
    vbInches = 5, vbMillimeters = 6, vbCentimeters = 7, vbHimetric = 8,
};

// Form.Show argument.
constexpr int vbModeless = 0;
constexpr int vbModal = 1;

// Window states.
constexpr int vbNormal = 0;
constexpr int vbMinimized = 1;
constexpr int vbMaximized = 2;

// QueryUnload modes.
constexpr int vbFormControlMenu = 0;  // the user closed the window
constexpr int vbFormCode = 1;         // Unload from code
constexpr int vbAppWindows = 2;
constexpr int vbAppTaskManager = 3;

// Check box values.
constexpr int vbUnchecked = 0;
constexpr int vbChecked = 1;
constexpr int vbGrayed = 2;

// Message box styles and results.
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbAbortRetryIgnore = 2;
constexpr int vbYesNoCancel = 3;
constexpr int vbYesNo = 4;
constexpr int vbRetryCancel = 5;
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
constexpr int vbDefaultButton2 = 256;
constexpr int vbDefaultButton3 = 512;
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbAbort = 3;
constexpr int vbRetry = 4;
constexpr int vbIgnore = 5;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

// Shift masks of key and mouse events.
constexpr int vbShiftMask = 1;
constexpr int vbCtrlMask = 2;
constexpr int vbAltMask = 4;

// Mouse buttons.
constexpr int vbLeftButton = 1;
constexpr int vbRightButton = 2;
constexpr int vbMiddleButton = 4;

// Drop effects and the file-list data format.
constexpr int vbDropEffectNone = 0;
constexpr int vbDropEffectCopy = 1;
constexpr int vbDropEffectMove = 2;
constexpr int vbCFFiles = 15;

// Key codes are the platform's virtual-key numbers.
namespace key {
constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18,
              Escape = 27, Space = 32, PageUp = 33, PageDown = 34, End = 35, Home = 36,
              Left = 37, Up = 38, Right = 39, Down = 40, Insert = 45, Delete = 46;
constexpr int digit(int d) { return 48 + d; }        // 48..57
constexpr int letter(char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }  // 65..90
constexpr int numpad(int d) { return 96 + d; }       // 96..105
constexpr int F(int n) { return 111 + n; }           // F1 = 112 .. F12 = 123
}  // namespace key

// Data handed to OLEDragDrop: for a file drop, the list of paths in drop order.
struct DataObject {
    std::vector<std::string> Files;
    bool GetFormat(int format) const { return format == vbCFFiles && !Files.empty(); }
};

struct Font {
    std::string Name = "ＭＳ Ｐゴシック";
    double Size = 9;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool operator==(const Font&) const = default;
};

// A rectangle in pixels, right and bottom exclusive.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

}  // namespace qv::forms
