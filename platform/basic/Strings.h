#pragma once
// The language's text functions on UTF-8 text, counting characters (code points) as the
// language did. None of them throws: positions past the end give "" or 0, a start below 1 is
// taken as 1, a negative length as 0. Bytes that are not valid UTF-8 count one character each.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv::basic {

int32_t Len(std::string_view s);
// `length` characters from the 1-based character `start`; Mid(s, start) takes the rest.
std::string Mid(std::string_view s, int32_t start);
std::string Mid(std::string_view s, int32_t start, int32_t length);
std::string Left(std::string_view s, int32_t length);
std::string Right(std::string_view s, int32_t length);

// Blanks (U+0020) only, as the language trimmed; tabs stay.
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);

// ASCII and full-width Latin letters change case; everything else stays.
std::string UCase(std::string_view s);
std::string LCase(std::string_view s);

// 1-based character position of `find` in `s` from `start`, 0 when not found. An empty `find`
// is found at `start` (when start <= Len(s) + 1).
int32_t InStr(std::string_view s, std::string_view find);
int32_t InStr(int32_t start, std::string_view s, std::string_view find);
// Last occurrence, searching backwards from character `start` (-1 = the end).
int32_t InStrRev(std::string_view s, std::string_view find, int32_t start = -1);

// Split("", d) is empty; an empty delimiter gives the whole text as one element; `limit` > 0
// caps the count, the last element keeping the rest.
std::vector<std::string> Split(std::string_view s, std::string_view delimiter = " ",
                               int32_t limit = -1);
std::string Join(const std::vector<std::string>& parts, std::string_view delimiter = " ");
// Every occurrence of `find`, left to right, not overlapping; an empty `find` changes nothing.
std::string Replace(std::string_view s, std::string_view find, std::string_view replacement);

// Pattern match with "*" (any run of characters, none included) and "?" (one character);
// every other character matches itself. Like is case-sensitive; LikeText folds ASCII letters.
bool Like(std::string_view s, std::string_view pattern);
bool LikeText(std::string_view s, std::string_view pattern);

}  // namespace qv::basic
