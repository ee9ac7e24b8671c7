#pragma once

#include <cstdint>
#include <string>

namespace qv::media {

// Why a media file could not be used. The kind lets callers map failures to their own status
// codes; the text says what happened, with offsets, for logs and messages.
enum class MediaErrorKind {
    None,
    CannotOpen,    // the file does not exist or cannot be opened for reading
    ReadFailed,    // an I/O error while reading
    NotThisFormat, // not a RIFF file of the expected form
    Truncated,     // a size or offset points past the end of the file or of its parent chunk
    Inconsistent,  // the headers contradict each other (index against data, sizes against formats)
    NotFound,      // a required chunk or stream is missing
    Unsupported,   // a valid file in a coding or layout this reader does not decode
};

struct MediaError {
    MediaErrorKind kind = MediaErrorKind::None;
    std::string text;

    explicit operator bool() const { return kind != MediaErrorKind::None; }
};

// A four-character code as it lies in the file (first character in the low byte).
using FourCC = uint32_t;

constexpr FourCC fourCC(const char (&s)[5])
{
    return static_cast<FourCC>(static_cast<uint8_t>(s[0])) |
           static_cast<FourCC>(static_cast<uint8_t>(s[1])) << 8 |
           static_cast<FourCC>(static_cast<uint8_t>(s[2])) << 16 |
           static_cast<FourCC>(static_cast<uint8_t>(s[3])) << 24;
}

// Printable form for messages: "strh", or hex escapes for bytes outside ASCII.
std::string fourCCText(FourCC code);

} // namespace qv::media
