#pragma once
// Building blocks of the number <-> text conversions, shared by Val, the strict conversions,
// CStr and Format. Not part of Basic.h: modules use the language-level functions.

#include <cstddef>
#include <string>
#include <string_view>

namespace qv::basic {

// The text without the blanks and tabs around it, as strict conversions read it.
std::string_view trimBlanks(std::string_view s);

struct NumberScan {
    bool found = false;   // at least one digit was read
    double value = 0;
    size_t length = 0;    // characters of the text that form the number
};

// Reads a number at the very start of `s`: optional sign, digits, ".", digits, then an exponent
// (E or D, optional sign, digits) when one follows in full. No blanks are skipped. A value too
// large for a double raises error 6; one too small becomes 0.
NumberScan scanNumber(std::string_view s);

// The decimal digits of |x| rounded to `significant` places: digits "d1d2d3..." stand for
// d1.d2d3... x 10^exponent. Zero gives "000..." with exponent 0.
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};
DecimalDigits decimalDigits(double x, int significant);
DecimalDigits decimalDigits(float x);  // 7 places, from the float's own value

}  // namespace qv::basic
