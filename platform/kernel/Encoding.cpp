#include "platform/kernel/Encoding.h"

#include <cerrno>
#include <iconv.h>

namespace qv::kernel {
namespace {

// One converter per direction and thread: iconv_open is far too slow to call per string, and an
// iconv_t holds shift state, so it must not be shared between threads.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; a sequence the converter refuses (invalid or unmappable) becomes "?" and
    // conversion goes on after the offending input. `skipBad` tells how many input bytes to skip.
    template <typename SkipBad>
    std::string run(std::string_view in, SkipBad skipBad) {
        std::string out;
        if (in.empty()) return out;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            out.assign(in.size(), '?');
            return out;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.resize(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        std::size_t used = 0;
        while (srcLeft > 0) {
            char* dst = out.data() + used;
            std::size_t dstLeft = out.size() - used;
            std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            used = out.size() - dstLeft;
            if (r != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (truncated sequence at the end): one "?" for the bad input.
            std::size_t skip = skipBad(std::string_view(src, srcLeft));
            if (skip == 0 || skip > srcLeft) skip = srcLeft;
            if (used + 1 > out.size()) out.resize(out.size() * 2);
            out[used++] = '?';
            src += skip;
            srcLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(used);
        return out;
    }

private:
    iconv_t cd_;
};

bool isAscii(std::string_view s) noexcept {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

// Length of the UTF-8 sequence that starts at s[0] (1 for a stray byte).
std::size_t utf8SequenceLength(std::string_view s) noexcept {
    unsigned char c = static_cast<unsigned char>(s[0]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    if (n > s.size()) return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    return n;
}

} // namespace

std::string cp932ToUtf8(std::string_view cp932) {
    if (isAscii(cp932)) return std::string(cp932);
    thread_local Converter conv("UTF-8", "CP932");
    return conv.run(cp932, [](std::string_view rest) -> std::size_t {
        // A bad lead byte with a trail takes both bytes with it; anything else is one byte.
        unsigned char c = static_cast<unsigned char>(rest[0]);
        if (isCp932LeadByte(c) && rest.size() >= 2) {
            unsigned char t = static_cast<unsigned char>(rest[1]);
            if (t >= 0x40 && t <= 0xFC && t != 0x7F) return 2;
        }
        return 1;
    });
}

std::string utf8ToCp932(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    thread_local Converter conv("CP932", "UTF-8");
    return conv.run(utf8, [](std::string_view rest) { return utf8SequenceLength(rest); });
}

std::size_t cp932FitLength(std::string_view cp932, std::size_t maxBytes) noexcept {
    std::size_t i = 0;
    while (i < cp932.size()) {
        std::size_t w = isCp932LeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
        if (i + w > cp932.size() || i + w > maxBytes) break;
        i += w;
    }
    return i;
}

std::string cp932Prefix(std::string_view cp932, std::size_t maxBytes) {
    return std::string(cp932.substr(0, cp932FitLength(cp932, maxBytes)));
}

std::size_t cp932Length(std::string_view utf8) {
    if (isAscii(utf8)) return utf8.size();
    return utf8ToCp932(utf8).size();
}

std::string utf8ToCp932Field(std::string_view utf8, std::size_t maxBytes) {
    std::string bytes = utf8ToCp932(utf8);
    bytes.resize(cp932FitLength(bytes, maxBytes));
    return bytes;
}

std::string utf8CutToCp932Bytes(std::string_view utf8, std::size_t maxBytes) {
    return cp932ToUtf8(utf8ToCp932Field(utf8, maxBytes));
}

std::string cp932FieldToUtf8(const char* field, std::size_t size) {
    std::size_t n = 0;
    while (n < size && field[n] != '\0') ++n;
    return cp932ToUtf8(std::string_view(field, n));
}

void writeCp932Field(std::string_view utf8, char* field, std::size_t size) {
    if (size == 0) return;
    std::string bytes = utf8ToCp932Field(utf8, size - 1);
    std::size_t i = 0;
    for (; i < bytes.size(); ++i) field[i] = bytes[i];
    for (; i < size; ++i) field[i] = '\0';
}

std::string decodeFileText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
    return cp932ToUtf8(bytes);
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool asciiIEquals(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

} // namespace qv::kernel
