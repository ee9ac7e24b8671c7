#pragma once
// Numbers and their text as the original language converted them. All of it is locale-free:
// "." is the decimal point whatever locale the process runs in.

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv::basic {

// --- Text to number -------------------------------------------------------------------------

// Lenient: the number at the start of the text (leading blanks, tabs and line breaks skipped,
// optional sign, digits, ".", digits, exponent E or D); 0 when there is none ("12abc" -> 12,
// "" -> 0). An exponent beyond the double range raises error 6, as the language did.
double Val(std::string_view text);

// True when the whole text, blanks around it aside, is one number in the form Val reads.
bool IsNumeric(std::string_view text);

// Strict conversions of text: the whole text must be a number (error 13 otherwise, empty text
// included); a value outside the target's range raises error 6.
double CDbl(std::string_view text);
float CSng(std::string_view text);
int32_t CLng(std::string_view text);
int16_t CInt(std::string_view text);

// --- Number to number -----------------------------------------------------------------------

// Nearest integer, halves to even; NaN or out of range raises error 6.
int32_t CLng(double x);
int16_t CInt(double x);
// To single precision; a finite value beyond the float range raises error 6.
float CSng(double x);
// Truncation toward zero, kept as a double (Fix(-2.5) = -2).
double Fix(double x);

// Division as the language did it: x / 0 raises 11, 0 / 0 raises 6, an infinite result 6.
double Divide(double a, double b);
// Integer division "\" and Mod of 32-bit values: a zero divisor raises 11, INT32_MIN \ -1 raises
// 6. Mod takes the sign of the dividend.
int32_t IntDiv(int32_t a, int32_t b);
int32_t Mod(int32_t a, int32_t b);

// Colour 0x00BBGGRR; each component is clamped to 0..255.
int32_t RGB(int32_t red, int32_t green, int32_t blue);

// --- Values a handler checks before it uses them ---------------------------------------------

// What a user typed must be taken or refused by its handler, never end in a run-time error.
// TypedVal is Val with a number beyond the double range read as an infinity of its sign;
// TryCLng and TryCSng are CLng and CSng with nothing where they would raise error 6 (beyond
// the Long or the Single range, NaN), so the handler's own check refuses or clamps the value.
double TypedVal(std::string_view text);
std::optional<int32_t> TryCLng(double x);
std::optional<float> TryCSng(double x);
// The strict CLng of a text without the error: nothing for a text that is no number (13) or
// beyond the Long range (6).
std::optional<int32_t> TryCLng(std::string_view text);

// --- Number to text -------------------------------------------------------------------------

// Plain form: at most 7 significant digits for a float, 15 for a double, trailing zeros dropped,
// exponent form when the decimal exponent is below -4 or at least the digit count
// ("3.535534", "5.20504731861199", "1E-05", "1.5E+10").
std::string CStr(float x);
std::string CStr(double x);
std::string CStr(bool b);  // "True" / "False"
std::string CStr(int64_t x);
template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, int64_t>)
std::string CStr(T x) {
    return CStr(static_cast<int64_t>(x));
}

// Classic form: as CStr, with a leading blank for values that are not negative and no "0"
// before the decimal point (Str(2) = " 2", Str(0.5) = " .5", Str(-0.5) = "-.5").
std::string Str(float x);
std::string Str(double x);
std::string Str(int64_t x);
template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, int64_t>)
std::string Str(T x) {
    return Str(static_cast<int64_t>(x));
}

}  // namespace qv::basic
