#include "platform/basic/Strings.h"

#include <algorithm>
#include <limits>

namespace qv::basic {

namespace {

// One UTF-8 character at s[i]: its byte length and code point. A byte that does not start a
// well-formed sequence is a character of its own, with a value above the Unicode range so that it
// matches only itself; malformed text never stops a scan or loses bytes.
struct Utf8Char {
    size_t length;
    char32_t codePoint;
};

Utf8Char readChar(std::string_view s, size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const Utf8Char single{1, b < 0x80 ? char32_t{b} : char32_t{0x110000u + b}};
    size_t n;
    char32_t min;
    if (b >= 0xC2 && b <= 0xDF) n = 2, min = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) n = 3, min = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) n = 4, min = 0x10000;
    else return single;
    if (i + n > s.size()) return single;
    char32_t cp = b & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) return single;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return single;
    return {n, cp};
}

size_t charLength(std::string_view s, size_t i) { return readChar(s, i).length; }

// Byte offset reached after `count` characters from byte `pos` (the end when the text is shorter).
size_t advance(std::string_view s, size_t pos, int64_t count) {
    while (count > 0 && pos < s.size()) {
        pos += charLength(s, pos);
        --count;
    }
    return pos;
}

int32_t countChars(std::string_view s) {
    int32_t n = 0;
    for (size_t i = 0; i < s.size(); i += charLength(s, i)) ++n;
    return n;
}

std::u32string decode(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const Utf8Char c = readChar(s, i);
        out += c.codePoint;
        i += c.length;
    }
    return out;
}

char32_t foldAscii(char32_t c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

bool wildcardMatch(std::string_view text, std::string_view pattern, bool ignoreCase) {
    const std::u32string s = decode(text);
    const std::u32string p = decode(pattern);
    auto same = [&](char32_t a, char32_t b) {
        return ignoreCase ? foldAscii(a) == foldAscii(b) : a == b;
    };
    // Greedy match that backtracks only to the last "*": linear for the patterns in use and never
    // exponential.
    size_t si = 0, pi = 0;
    size_t starP = std::u32string::npos, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi] == U'*') {
            starP = pi++;
            starS = si;
        } else if (pi < p.size() && (p[pi] == U'?' || same(p[pi], s[si]))) {
            ++pi;
            ++si;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'*') ++pi;
    return pi == p.size();
}

// Full-width Latin letters U+FF21..U+FF3A (EF BC A1..BA) and U+FF41..U+FF5A (EF BD 81..9A).
std::string changeCase(std::string_view s, bool upper) {
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (upper && c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 32);
        else if (!upper && c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c + 32);
        else if (c == 0xEF && i + 2 < out.size()) {
            auto c1 = static_cast<unsigned char>(out[i + 1]);
            auto c2 = static_cast<unsigned char>(out[i + 2]);
            if (upper && c1 == 0xBD && c2 >= 0x81 && c2 <= 0x9A) {
                out[i + 1] = static_cast<char>(0xBC);
                out[i + 2] = static_cast<char>(c2 + 0x20);
                i += 2;
            } else if (!upper && c1 == 0xBC && c2 >= 0xA1 && c2 <= 0xBA) {
                out[i + 1] = static_cast<char>(0xBD);
                out[i + 2] = static_cast<char>(c2 - 0x20);
                i += 2;
            }
        }
    }
    return out;
}

}  // namespace

int32_t Len(std::string_view s) { return countChars(s); }

std::string Mid(std::string_view s, int32_t start) {
    return Mid(s, start, std::numeric_limits<int32_t>::max());
}

std::string Mid(std::string_view s, int32_t start, int32_t length) {
    if (length <= 0) return {};
    const size_t b = advance(s, 0, static_cast<int64_t>(std::max(start, 1)) - 1);
    const size_t e = advance(s, b, length);
    return std::string(s.substr(b, e - b));
}

std::string Left(std::string_view s, int32_t length) {
    if (length <= 0) return {};
    return std::string(s.substr(0, advance(s, 0, length)));
}

std::string Right(std::string_view s, int32_t length) {
    if (length <= 0) return {};
    const int32_t total = countChars(s);
    if (length >= total) return std::string(s);
    return std::string(s.substr(advance(s, 0, total - length)));
}

std::string LTrim(std::string_view s) {
    size_t b = s.find_first_not_of(' ');
    return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string RTrim(std::string_view s) {
    size_t e = s.find_last_not_of(' ');
    return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

std::string Trim(std::string_view s) { return LTrim(RTrim(s)); }

std::string UCase(std::string_view s) { return changeCase(s, true); }
std::string LCase(std::string_view s) { return changeCase(s, false); }

int32_t InStr(std::string_view s, std::string_view find) { return InStr(1, s, find); }

int32_t InStr(int32_t start, std::string_view s, std::string_view find) {
    start = std::max(start, 1);
    if (start > countChars(s) + 1) return 0;
    const size_t from = advance(s, 0, start - 1);
    const size_t pos = s.find(find, from);
    if (pos == std::string_view::npos) return 0;
    return countChars(s.substr(0, pos)) + 1;
}

int32_t InStrRev(std::string_view s, std::string_view find, int32_t start) {
    const int32_t total = countChars(s);
    if (start == -1) start = total;
    if (start < 1 || start > total) return 0;
    if (find.empty()) return start;
    const std::string_view region = s.substr(0, advance(s, 0, start));
    const size_t pos = region.rfind(find);
    if (pos == std::string_view::npos) return 0;
    return countChars(s.substr(0, pos)) + 1;
}

std::vector<std::string> Split(std::string_view s, std::string_view delimiter, int32_t limit) {
    std::vector<std::string> parts;
    if (s.empty() || limit == 0) return parts;
    if (delimiter.empty()) {
        parts.emplace_back(s);
        return parts;
    }
    size_t from = 0;
    while (limit < 0 || static_cast<int32_t>(parts.size()) < limit - 1) {
        size_t pos = s.find(delimiter, from);
        if (pos == std::string_view::npos) break;
        parts.emplace_back(s.substr(from, pos - from));
        from = pos + delimiter.size();
    }
    parts.emplace_back(s.substr(from));
    return parts;
}

std::string Join(const std::vector<std::string>& parts, std::string_view delimiter) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += delimiter;
        out += parts[i];
    }
    return out;
}

std::string Replace(std::string_view s, std::string_view find, std::string_view replacement) {
    if (find.empty()) return std::string(s);
    std::string out;
    size_t from = 0;
    for (size_t pos; (pos = s.find(find, from)) != std::string_view::npos; from = pos + find.size()) {
        out += s.substr(from, pos - from);
        out += replacement;
    }
    out += s.substr(from);
    return out;
}

bool Like(std::string_view s, std::string_view pattern) { return wildcardMatch(s, pattern, false); }
bool LikeText(std::string_view s, std::string_view pattern) { return wildcardMatch(s, pattern, true); }

}  // namespace qv::basic
