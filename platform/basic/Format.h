#pragma once
// The language's Format for the patterns the program uses.

#include <string>
#include <string_view>

namespace qv::basic {

// Number patterns: "0" a mandatory digit, "#" an optional one, "." the decimal point
// ("0000", "00", "0.0", "0.0000", "##0.00000"); text around the placeholders is kept as it is.
// Rounds half away from zero on the value's 15-digit decimal form; a value that rounds to zero
// shows no minus sign.
// A pattern without "0" or "#" but with date letters (y m d h n s, either case) formats x as a
// date ("yyyy/mm/dd hh:nn:ss", "YYYYMMDDHHNNSS", "hh:mm:ss"; "m" after "h" or before "s" is the
// minute); "/" and ":" are literal, never the locale's separators. An empty pattern gives CStr(x).
std::string Format(double x, std::string_view pattern);

}  // namespace qv::basic
