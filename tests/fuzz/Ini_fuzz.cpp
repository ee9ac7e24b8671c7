// The ini engine: any bytes as an ini file. Keys named by the input are read; one is written
// directly to one copy and through a batch to another, and both copies must end the same and
// read back the value written.
#include <cctype>
#include <cstdlib>
#include <string>

#include "FuzzFile.h"
#include "FuzzTarget.h"
#include "platform/kernel/Encoding.h"
#include "platform/kernel/Profile.h"

namespace {

// A name taken from the input: letters and digits only, so it needs no quoting to round-trip.
std::string nameFrom(const std::uint8_t* data, std::size_t size, std::size_t at) {
    std::string n = "k";
    for (std::size_t i = at; i < size && n.size() < 4; ++i)
        if (std::isalnum(data[i])) n += static_cast<char>(data[i]);
    return n;
}

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

QV_FUZZ_TARGET(Ini) {
    using namespace qv::kernel;
    const std::string direct = qv::fuzz::writeInput("direct.ini", data, size);
    const std::string batched = qv::fuzz::writeInput("batched.ini", data, size);
    clearProfileCache();
    // Sections and keys the file itself names, and a few it may not.
    std::string text(reinterpret_cast<const char*>(data), size);
    const auto open = text.find('['), close = text.find(']', open == std::string::npos ? 0 : open);
    const std::string section = open != std::string::npos && close != std::string::npos
                                    ? text.substr(open + 1, close - open - 1)
                                    : nameFrom(data, size, 0);
    const auto eq = text.find('=');
    const std::string key = eq != std::string::npos ? text.substr(text.rfind('\n', eq) + 1, eq - text.rfind('\n', eq) - 1)
                                                    : nameFrom(data, size, size / 2);
    (void)getProfileString(direct, section, key, " 'dflt' ", 1 + static_cast<int>(size % 1024));
    (void)getProfileString(direct, nameFrom(data, size, 1), key);

    const std::string wSection = nameFrom(data, size, size / 3), wKey = nameFrom(data, size, size / 4);
    const std::string value = "v" + std::to_string(size);
    const bool ok = writeProfileString(direct, wSection, wKey, value);
    (void)writeProfileString(direct, section, key, std::nullopt);
    bool okBatch;
    {
        ProfileBatch batch(batched);
        okBatch = writeProfileString(batched, wSection, wKey, value);
        (void)writeProfileString(batched, section, key, std::nullopt);
        okBatch = batch.commit() && okBatch;
    }
    if (ok != okBatch) std::abort();
    if (ok) {
        clearProfileCache();
        const std::string written = bytesOf(direct);
        if (written != bytesOf(batched)) std::abort();
        const auto back = getProfileString(direct, wSection, wKey);
        // Unless the deletion named the same key (names compare without regard to case and to
        // the blanks around them), or took away the lines before bytes that now open the file
        // with a byte-order mark: a file opening with the UTF-16 mark is not read, as the
        // original platform would not, and one opening with the UTF-8 mark is read as UTF-8,
        // where the CP932 pairs that hid a bracket or an equals sign no longer pair.
        const bool deleted = asciiIEquals(trimmed(section), wSection) && asciiIEquals(trimmed(key), wKey);
        const bool utf16 = written.compare(0, 2, "\xFF\xFE") == 0;
        const bool nowUtf8 = written.compare(0, 3, "\xEF\xBB\xBF") == 0 && text.compare(0, 3, "\xEF\xBB\xBF") != 0;
        if (!deleted && !utf16 && !nowUtf8 && (!back.found || back.text != value)) std::abort();
    }
    return 0;
}

QV_FUZZ_SEEDS(Ini) {
    return {qv::fuzz::bytesOf("[GLOBAL]\r\nGlwdtCnt=2500\r\n[frmCondition.txtCH]\r\nText=1-4\r\n"),
            qv::fuzz::bytesOf("  [ Sec ] \r\n Key = \"quoted value\" \r\nkey='x'\r\n[sec]\r\nKEY=second\r\n"),
            qv::fuzz::bytesOf("\xef\xbb\xbf[\xe6\x97\xa5]\nname=\xe5\x80\xa4\n"),
            qv::fuzz::bytesOf("[\x93\xfa\x96\x7b]\r\n\x83\x5c=\x82\xa0\x82\xa2\r\nno equals line\r\n=empty key\r\n"),
            qv::fuzz::bytesOf(std::string("\xff\xfe[\0a\0]\0", 8)),
            // Deleting the first line leaves bytes that read as the UTF-16 mark, or as the
            // UTF-8 mark before a section whose name holds a CP932 pair ending in "]".
            qv::fuzz::bytesOf("x=1\r\n\xff\xfe\r\n[]\r\n"),
            qv::fuzz::bytesOf(std::string("X=0\x0d\xef\xbb\xbf\x0f\xff[]\x0a\x97" "1\x05\x0a\x04\xefx9x\x00`\x0a[kx9x]\xff\xff\xff\xff\xff\xff\xff\x15=\x00\x84]\x0b\xa5n", 45))};
}
