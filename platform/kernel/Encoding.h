#pragma once
// Text inside the program is UTF-8; the files and library interfaces of this system carry CP932
// (Japanese double-byte code page). Conversion happens at that edge, here.
#include <cstddef>
#include <string>
#include <string_view>

namespace qv::kernel {

// CP932 bytes -> UTF-8. A byte sequence that is not valid CP932 becomes "?" (one per bad byte).
std::string cp932ToUtf8(std::string_view cp932);
// UTF-8 -> CP932 bytes. A character CP932 cannot hold (or an invalid UTF-8 byte) becomes "?".
std::string utf8ToCp932(std::string_view utf8);

// True for the first byte of a double-byte CP932 character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isCp932LeadByte(unsigned char b) noexcept {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Length in bytes of the longest prefix of `cp932` that is at most `maxBytes` long and does not
// end inside a double-byte character. A lead byte with no trail byte at the very end counts as
// a (broken) character of its own and is dropped the same way.
std::size_t cp932FitLength(std::string_view cp932, std::size_t maxBytes) noexcept;
// The prefix measured by cp932FitLength.
std::string cp932Prefix(std::string_view cp932, std::size_t maxBytes);

// Number of CP932 bytes the UTF-8 text takes (a double-byte character counts 2).
std::size_t cp932Length(std::string_view utf8);
// UTF-8 text -> CP932 bytes, cut to at most `maxBytes` without splitting a character.
std::string utf8ToCp932Field(std::string_view utf8, std::size_t maxBytes);
// UTF-8 text cut so that its CP932 form is at most `maxBytes` (result stays UTF-8).
std::string utf8CutToCp932Bytes(std::string_view utf8, std::size_t maxBytes);
// A fixed-size CP932 field (as in a record or a library argument): the bytes up to the first NUL
// or `size`, converted to UTF-8.
std::string cp932FieldToUtf8(const char* field, std::size_t size);
// Copies the CP932 form of `utf8` into `field` of `size` bytes: at most size - 1 bytes of text
// (never half a character), then NUL bytes to the end.
void writeCp932Field(std::string_view utf8, char* field, std::size_t size);

// The text of a whole file as stored by this system: UTF-8 when the bytes start with the UTF-8
// byte-order mark (the mark is dropped), CP932 otherwise.
std::string decodeFileText(std::string_view bytes);

// ASCII letters folded to lower case; other bytes unchanged (safe on UTF-8).
std::string asciiLower(std::string_view text);
// Case-insensitive equality for ASCII letters; other bytes compare exactly.
bool asciiIEquals(std::string_view a, std::string_view b) noexcept;

} // namespace qv::kernel
