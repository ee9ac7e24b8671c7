#include "platform/basic/Format.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/basic/Dates.h"
#include "platform/basic/NumberText.h"
#include "platform/basic/Numbers.h"

namespace qv::basic {

namespace {

bool isPlaceholder(char c) { return c == '0' || c == '#'; }

std::string padded(int64_t v, size_t width) {
    std::string s = CStr(v);
    if (s.size() < width) s.insert(0, width - s.size(), '0');
    return s;
}

std::string formatNumber(double x, std::string_view pattern) {
    if (!std::isfinite(x)) return CStr(x);
    // The placeholder run: from the first "0"/"#" (or a "." right before it) to the last one.
    size_t first = pattern.find_first_of("0#");
    size_t last = pattern.find_last_of("0#");
    if (first > 0 && pattern[first - 1] == '.') --first;
    const std::string_view prefix = pattern.substr(0, first);
    const std::string_view suffix = pattern.substr(last + 1);
    const std::string_view run = pattern.substr(first, last + 1 - first);
    const size_t point = run.find('.');
    const std::string_view intPattern = run.substr(0, point);
    const std::string_view fracPattern = point == std::string_view::npos ? std::string_view() : run.substr(point + 1);

    size_t minIntDigits = 0;
    bool grouping = false;
    for (char c : intPattern) {
        if (c == '0') ++minIntDigits;
        else if (c == ',') grouping = true;
    }
    size_t fracMandatory = 0, fracMax = 0;
    for (char c : fracPattern) {
        if (isPlaceholder(c)) ++fracMax;
        if (c == '0') fracMandatory = fracMax;  // "0" after "#" still counts as shown
    }

    // Round half away from zero on the 15-digit decimal form, so 0.125 shows as 0.13 and not
    // as the binary value's 0.12499999999999999.
    DecimalDigits d = decimalDigits(x, 15);
    std::string all = d.digits;
    int64_t pointPos = static_cast<int64_t>(d.exponent) + 1;
    if (x == 0) {
        all.assign(1, '0');
        pointPos = 1;
    }
    if (pointPos < 0) {
        all.insert(0, static_cast<size_t>(-pointPos), '0');
        pointPos = 0;
    }
    if (pointPos > static_cast<int64_t>(all.size())) all.append(static_cast<size_t>(pointPos) - all.size(), '0');
    const size_t keep = static_cast<size_t>(pointPos) + fracMax;
    if (keep < all.size()) {
        const bool roundUp = all[keep] >= '5';
        all.resize(keep);
        if (roundUp) {
            size_t i = keep;
            while (i > 0 && all[i - 1] == '9') all[--i] = '0';
            if (i == 0) {
                all.insert(0, 1, '1');
                ++pointPos;
            } else {
                ++all[i - 1];
            }
        }
    } else {
        all.append(keep - all.size(), '0');
    }

    std::string intDigits = all.substr(0, static_cast<size_t>(pointPos));
    std::string fracDigits = all.substr(static_cast<size_t>(pointPos));
    const bool nonZero = all.find_first_not_of('0') != std::string::npos;
    intDigits.erase(0, std::min(intDigits.find_first_not_of('0'), intDigits.size()));
    if (intDigits.size() < minIntDigits) intDigits.insert(0, minIntDigits - intDigits.size(), '0');
    while (fracDigits.size() > fracMandatory && fracDigits.back() == '0') fracDigits.pop_back();
    if (grouping)
        for (size_t i = intDigits.size(); i > 3; i -= 3) intDigits.insert(i - 3, 1, ',');

    std::string out;
    if (x < 0 && nonZero) out += '-';
    out += prefix;
    out += intDigits;
    if (point != std::string_view::npos) out += '.';
    out += fracDigits;
    out += suffix;
    return out;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }
bool isDateLetter(char c) {
    c = lower(c);
    return c == 'y' || c == 'm' || c == 'd' || c == 'h' || c == 'n' || c == 's';
}

std::string formatDate(double date, std::string_view pattern) {
    struct Token {
        char letter;  // lower case; 0 for literal text
        size_t count;
        std::string_view literal;
    };
    std::vector<Token> tokens;
    for (size_t i = 0; i < pattern.size();) {
        size_t j = i + 1;
        if (isDateLetter(pattern[i])) {
            while (j < pattern.size() && lower(pattern[j]) == lower(pattern[i])) ++j;
            tokens.push_back({lower(pattern[i]), j - i, {}});
        } else {
            while (j < pattern.size() && !isDateLetter(pattern[j])) ++j;
            tokens.push_back({0, 0, pattern.substr(i, j - i)});
        }
        i = j;
    }
    const DateParts p = decodeDate(date);
    std::string out;
    for (size_t t = 0; t < tokens.size(); ++t) {
        const Token& tok = tokens[t];
        const size_t width = tok.count >= 2 ? 2 : 1;
        switch (tok.letter) {
            case 0: out += tok.literal; break;
            case 'y':
                if (tok.count >= 4) out += padded(p.year, 4);
                else if (tok.count >= 2) out += padded(p.year % 100, 2);
                else out += CStr(p.dayOfYear);
                break;
            case 'm': {
                // A minute when it follows an hour or precedes a second, else the month.
                char before = 0, after = 0;
                for (size_t k = t; k-- > 0;)
                    if (tokens[k].letter) { before = tokens[k].letter; break; }
                for (size_t k = t + 1; k < tokens.size(); ++k)
                    if (tokens[k].letter) { after = tokens[k].letter; break; }
                out += padded(before == 'h' || after == 's' ? p.minute : p.month, width);
                break;
            }
            case 'd': out += padded(p.day, width); break;
            case 'h': out += padded(p.hour, width); break;
            case 'n': out += padded(p.minute, width); break;
            case 's': out += padded(p.second, width); break;
        }
    }
    return out;
}

}  // namespace

std::string Format(double x, std::string_view pattern) {
    if (pattern.empty()) return CStr(x);
    if (pattern.find_first_of("0#") != std::string_view::npos) return formatNumber(x, pattern);
    for (char c : pattern)
        if (isDateLetter(c)) return formatDate(x, pattern);
    return std::string(pattern);
}

}  // namespace qv::basic
