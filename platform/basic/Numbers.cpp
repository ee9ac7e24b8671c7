#include "platform/basic/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/basic/Convert.h"
#include "platform/basic/NumberText.h"
#include "platform/basic/RuntimeError.h"

namespace qv::basic {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

double strictNumber(std::string_view text) {
    std::string_view t = trimBlanks(text);
    NumberScan scan = scanNumber(t);
    if (!scan.found || scan.length != t.size()) raiseError(errTypeMismatch);
    return scan.value;
}

}  // namespace

std::string_view trimBlanks(std::string_view s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

NumberScan scanNumber(std::string_view s) {
    NumberScan result;
    std::string buf;  // sign, digits, ".", digits, "e", sign, digits: what from_chars reads
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') buf += '-';
        ++i;
    }
    size_t mantissaDigits = 0;
    // Decimal position of the first non-zero digit (1 for "5", 0 for "0.5", -1 for "0.05"),
    // to tell an overflow from an underflow when the exponent takes the value out of range.
    int64_t leadPosition = 0;
    bool nonZeroSeen = false;
    while (i < s.size() && isDigit(s[i])) {
        nonZeroSeen = nonZeroSeen || s[i] != '0';
        if (nonZeroSeen) ++leadPosition;
        buf += s[i++];
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        std::string frac;
        while (j < s.size() && isDigit(s[j])) {
            if (!nonZeroSeen && s[j] == '0') --leadPosition;
            nonZeroSeen = nonZeroSeen || s[j] != '0';
            frac += s[j++];
        }
        if (mantissaDigits > 0 || !frac.empty()) {
            buf += '.';
            buf += frac;
            mantissaDigits += frac.size();
            i = j;
        }
    }
    if (mantissaDigits == 0) return result;
    if (buf.back() == '.') buf.pop_back();
    // Exponent: E or D, optional sign, at least one digit; otherwise the number ends before it.
    int64_t exponentEstimate = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        bool negative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) negative = s[j++] == '-';
        if (j < s.size() && isDigit(s[j])) {
            buf += 'e';
            if (negative) buf += '-';
            while (j < s.size() && isDigit(s[j])) {
                if (exponentEstimate < 100000) exponentEstimate = exponentEstimate * 10 + (s[j] - '0');
                buf += s[j++];
            }
            if (negative) exponentEstimate = -exponentEstimate;
            i = j;
        }
    }
    double value = 0;
    auto [ptr, ec] = std::from_chars(buf.data(), buf.data() + buf.size(), value,
                                     std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Out of range is either too large (the language's overflow) or too small (zero).
        if (leadPosition + exponentEstimate > 0) raiseError(errOverflow);
        value = 0;
    }
    result.found = true;
    result.value = value;
    result.length = i;
    return result;
}

double Val(std::string_view text) {
    size_t b = text.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos) return 0;
    NumberScan scan = scanNumber(text.substr(b));
    return scan.found ? scan.value : 0;
}

double TypedVal(std::string_view text) {
    try {
        return Val(text);
    } catch (const RuntimeError&) {  // the only error Val raises: beyond the double range
        const size_t b = text.find_first_not_of(" \t\r\n");
        const double inf = std::numeric_limits<double>::infinity();
        return text[b] == '-' ? -inf : inf;
    }
}

std::optional<int32_t> TryCLng(double x) {
    if (!(x >= -2147483648.5 && x < 2147483647.5)) return std::nullopt;
    return roundToInt32(x);
}

std::optional<int32_t> TryCLng(std::string_view text) {
    if (!IsNumeric(text)) return std::nullopt;
    return TryCLng(CDbl(text));
}

std::optional<float> TryCSng(double x) {
    const float f = static_cast<float>(x);
    if (!std::isfinite(f)) return std::nullopt;
    return f;
}

bool IsNumeric(std::string_view text) {
    std::string_view t = trimBlanks(text);
    try {
        NumberScan scan = scanNumber(t);
        return scan.found && scan.length == t.size();
    } catch (const RuntimeError&) {
        return false;  // a number too large for a double is no number
    }
}

double CDbl(std::string_view text) { return strictNumber(text); }
float CSng(std::string_view text) { return CSng(strictNumber(text)); }
int32_t CLng(std::string_view text) { return CLng(strictNumber(text)); }
int16_t CInt(std::string_view text) { return CInt(strictNumber(text)); }

int32_t CLng(double x) {
    const std::optional<int32_t> n = TryCLng(x);
    if (!n) raiseError(errOverflow);
    return *n;
}

int16_t CInt(double x) {
    if (!(x >= -32768.5 && x < 32767.5)) raiseError(errOverflow);
    return static_cast<int16_t>(roundToInt32(x));
}

float CSng(double x) {
    const std::optional<float> f = TryCSng(x);
    if (!f) raiseError(errOverflow);
    return *f;
}

double Fix(double x) { return std::trunc(x); }

double Divide(double a, double b) {
    if (b == 0) raiseError(a == 0 || std::isnan(a) ? errOverflow : errDivisionByZero);
    double r = a / b;
    if (!std::isfinite(r) && std::isfinite(a) && std::isfinite(b)) raiseError(errOverflow);
    return r;
}

int32_t IntDiv(int32_t a, int32_t b) {
    if (b == 0) raiseError(errDivisionByZero);
    if (a == std::numeric_limits<int32_t>::min() && b == -1) raiseError(errOverflow);
    return a / b;
}

int32_t Mod(int32_t a, int32_t b) {
    if (b == 0) raiseError(errDivisionByZero);
    if (b == -1) return 0;  // INT32_MIN % -1 would trap
    return a % b;
}

int32_t RGB(int32_t red, int32_t green, int32_t blue) {
    auto clamp = [](int32_t v) { return std::clamp(v, 0, 255); };
    return clamp(red) | (clamp(green) << 8) | (clamp(blue) << 16);
}

namespace {

template <typename F>
DecimalDigits digitsOf(F x, int significant) {
    DecimalDigits d;
    d.negative = std::signbit(x);
    char buf[64];  // holds any double at 17 digits
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific,
                                   significant - 1);
    (void)ec;
    std::string_view text(buf, static_cast<size_t>(end - buf));
    size_t e = text.find('e');
    for (char c : text.substr(0, e))
        if (c != '.') d.digits += c;
    std::string_view exponent = text.substr(e + 1);
    if (exponent.front() == '+') exponent.remove_prefix(1);
    std::from_chars(exponent.data(), exponent.data() + exponent.size(), d.exponent);
    return d;
}

}  // namespace

DecimalDigits decimalDigits(double x, int significant) { return digitsOf(x, significant); }
DecimalDigits decimalDigits(float x) { return digitsOf(x, 7); }

namespace {

std::string nonFiniteText(double x) {
    if (std::isnan(x)) return "NaN";
    return x < 0 ? "-Inf" : "Inf";
}

// Digits with at most `significant` places as the language printed them: trailing zeros dropped,
// fixed notation for decimal exponents -4 .. significant-1, otherwise d.dddE+XX.
std::string generalText(DecimalDigits d, int significant) {
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits == "0") return "0";
    std::string out = d.negative ? "-" : "";
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent < -4 || d.exponent >= significant) {
        out += d.digits[0];
        if (n > 1) {
            out += '.';
            out.append(d.digits, 1);
        }
        out += 'E';
        out += d.exponent < 0 ? '-' : '+';
        int e = std::abs(d.exponent);
        if (e < 10) out += '0';
        out += std::to_string(e);
    } else if (d.exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-d.exponent - 1), '0');
        out += d.digits;
    } else {
        const int intDigits = d.exponent + 1;
        if (n <= intDigits) {
            out += d.digits;
            out.append(static_cast<size_t>(intDigits - n), '0');
        } else {
            out.append(d.digits, 0, static_cast<size_t>(intDigits));
            out += '.';
            out.append(d.digits, static_cast<size_t>(intDigits));
        }
    }
    return out;
}

// The classic form from the plain one: a blank for values that are not negative, no "0" before
// the decimal point.
std::string classicText(std::string plain) {
    if (plain.rfind("0.", 0) == 0) plain.erase(0, 1);
    else if (plain.rfind("-0.", 0) == 0) plain.erase(1, 1);
    if (plain.empty() || plain[0] != '-') plain.insert(0, 1, ' ');
    return plain;
}

}  // namespace

std::string CStr(double x) {
    if (!std::isfinite(x)) return nonFiniteText(x);
    return generalText(decimalDigits(x, 15), 15);
}

std::string CStr(float x) {
    if (!std::isfinite(x)) return nonFiniteText(x);
    return generalText(decimalDigits(x), 7);
}

std::string CStr(bool b) { return b ? "True" : "False"; }

std::string CStr(int64_t x) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x);
    (void)ec;
    return std::string(buf, end);
}

std::string Str(double x) { return classicText(CStr(x)); }
std::string Str(float x) { return classicText(CStr(x)); }
std::string Str(int64_t x) { return classicText(CStr(x)); }

}  // namespace qv::basic
