// CP932 conversion and field cutting: any bytes as CP932 text and as UTF-8 text. A cut never
// passes its limit and never leaves half a double-byte character.
#include <cstdlib>
#include <string>

#include "FuzzTarget.h"
#include "platform/kernel/Encoding.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// True when the CP932 bytes do not end inside a double-byte character.
bool whole(std::string_view cp932) {
    for (size_t i = 0; i < cp932.size(); ++i)
        if (qv::kernel::isCp932LeadByte(static_cast<unsigned char>(cp932[i])) && ++i == cp932.size()) return false;
    return true;
}

}  // namespace

QV_FUZZ_TARGET(Cp932) {
    using namespace qv::kernel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t limit = size ? data[0] % 64 : 0;

    const std::string utf8 = cp932ToUtf8(bytes);
    const std::string back = utf8ToCp932(utf8);
    check(cp932ToUtf8(back) == cp932ToUtf8(utf8ToCp932(cp932ToUtf8(back))));
    check(cp932Length(utf8) == back.size());

    const size_t fit = cp932FitLength(back, limit);
    check(fit <= limit && fit <= back.size());
    const std::string prefix = cp932Prefix(back, limit);
    check(prefix.size() == fit && whole(prefix) && back.compare(0, fit, prefix) == 0);

    const std::string field = utf8ToCp932Field(utf8, limit);
    check(field.size() <= limit && whole(field));
    const std::string cut = utf8CutToCp932Bytes(utf8, limit);
    check(cp932Length(cut) <= limit);

    std::string raw(limit, '\x7f');
    writeCp932Field(utf8, raw.data(), raw.size());
    (void)cp932FieldToUtf8(raw.data(), raw.size());
    (void)cp932FieldToUtf8(bytes.data(), bytes.size());

    (void)decodeFileText(bytes);                  // CP932, or UTF-8 after its mark
    (void)utf8ToCp932(bytes);                     // the bytes as (possibly broken) UTF-8
    (void)utf8ToCp932Field(bytes, limit);
    check(asciiLower(bytes).size() == bytes.size());
    return 0;
}

QV_FUZZ_SEEDS(Cp932) {
    return {qv::fuzz::bytesOf("\x10\x83\x5c\x82\xa0\x93\xfa\x96\x7b ABC \xb1\xb2"),
            qv::fuzz::bytesOf("\x05\xef\xbb\xbf\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"),
            qv::fuzz::bytesOf("\x03\x81\x5f\x87\x40\xed\x40\xfa\x40\x80\xa0\xfd\x81"),
            qv::fuzz::bytesOf(std::string("\x20 plain ascii \x00 with nul", 24))};
}
