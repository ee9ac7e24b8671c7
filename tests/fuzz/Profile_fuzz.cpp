// Ini files: any bytes as a profile file, read and written through the engine. A key written
// must read back as written and be gone once deleted, whatever the file held around it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzFile.h"
#include "FuzzTarget.h"
#include "platform/kernel/Profile.h"

namespace {

// A broken promise of the engine: report it with the file's bytes and stop.
[[noreturn]] void finding(const std::string& file, const char* what) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "Profile: %s; the file now holds:\n", what);
    for (unsigned char c : bytes) std::fprintf(stderr, c >= 32 && c < 127 ? "%c" : "\\x%02X", c);
    std::fprintf(stderr, "\n");
    std::abort();
}

void writeBackAndDelete(const std::string& file, const char* section, const char* key) {
    if (!qv::kernel::writeProfileString(file, section, key, "v=1")) return;   // e.g. UTF-16
    if (qv::kernel::getProfileString(file, section, key).text != "v=1") finding(file, "a written key reads back otherwise");
    // Each deletion removes the first of the key's lines; a duplicate further on is found next.
    for (std::size_t lines = std::filesystem::file_size(file) + 1;; --lines) {
        if (!qv::kernel::writeProfileString(file, section, key, std::nullopt)) finding(file, "a key cannot be deleted");
        if (!qv::kernel::getProfileString(file, section, key).found) break;
        if (lines == 0) finding(file, "a key survives more deletions than the file has lines");
    }
}

}  // namespace

QV_FUZZ_TARGET(Profile) {
    const std::string file = qv::fuzz::writeInput("F.ini", data, size);
    for (const char* section : {"", "S", "[Br]", "X]y"})
        for (int buffer : {1, 2, 7, 1024}) (void)qv::kernel::getProfileString(file, section, "K", "d\t ", buffer);
    writeBackAndDelete(file, "S", "K");
    writeBackAndDelete(file, "", "Flag");
    writeBackAndDelete(file, "New", "K");
    (void)qv::kernel::writeProfileString(file, "S", std::nullopt, std::nullopt);
    return 0;
}

QV_FUZZ_SEEDS(Profile) {
    using qv::fuzz::bytesOf;
    static const char nul[] = "[S]\r\nK=ab\0cd\r\n  Flag \r\n[NoClose\r\nK=4";
    static const char utf16[] = "\xFF\xFE[\0S\0]\0";
    return {bytesOf("top=1\r\n[S]\r\nK=\"abcdef\"\r\nFlag\r\nA=1\r\n[X]y]\r\nK=2\x1A"),
            bytesOf("\xEF\xBB\xBF[S]\r\nK=\xE3\x81\x82\xE3\x81\x82\r\n[[Br]]\nK=3\r[ABC\x83\x5D\r\nz=1"),
            bytesOf(std::string(nul, sizeof nul - 1)), bytesOf(std::string(utf16, sizeof utf16 - 1))};
}
