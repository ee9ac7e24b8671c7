// One fuzz target per reader of outside files. A target file defines its entry with
// QV_FUZZ_TARGET(name) { ... } and its seed inputs, made by the tests' own file writers, with
// QV_FUZZ_SEEDS(name) { ... }. The entry catches the refusals its reader documents (run-time
// errors) and returns 0; anything else escaping it is a finding. The same file builds two ways:
// - the ordinary build links every target into test_fuzz, which runs each entry over its seeds
//   and over cut and flipped variants of them, so a target never rots;
// - the fuzz preset (clang, libFuzzer, ASan, UBSan) builds one fuzz_<name> program per target;
//   QV_FUZZ_WRITE_SEEDS=<folder> makes it write its seeds there and stop (scripts/fuzz).
#pragma once

#include <stdlib.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <cstdint>
#include <string>
#include <vector>

namespace qv::fuzz {

using Bytes = std::vector<std::uint8_t>;
using Entry = int (*)(const std::uint8_t*, std::size_t);
using SeedMaker = std::vector<Bytes> (*)();

struct Target {
    const char* name;
    Entry entry;
    SeedMaker seeds;
};

std::vector<Target>& targets();

struct Registration {
    Registration(const char* name, Entry entry, SeedMaker seeds) { targets().push_back({name, entry, seeds}); }
};

inline Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// One folder for the files a target writes its inputs to, made at the first call and removed
// when the process ends.
inline std::filesystem::path scratchFolder() {
    static const struct Folder {
        Folder() {
            std::string tmpl = (std::filesystem::temp_directory_path() / "qvfuzz_XXXXXX").string();
            if (!mkdtemp(tmpl.data())) std::abort();
            path = tmpl;
        }
        ~Folder() {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
        std::filesystem::path path;
    } folder;
    return folder.path;
}

}  // namespace qv::fuzz

#if defined(QV_LIBFUZZER)
#define QV_FUZZ_ENTRY_(name)                                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {       \
        return qvFuzzOne_##name(data, size);                                                  \
    }
#else
#define QV_FUZZ_ENTRY_(name)
#endif

#define QV_FUZZ_TARGET(name)                                                                  \
    static int qvFuzzOne_##name(const std::uint8_t* data, std::size_t size);                  \
    static std::vector<qv::fuzz::Bytes> qvFuzzSeeds_##name();                                 \
    QV_FUZZ_ENTRY_(name)                                                                      \
    static const qv::fuzz::Registration qvFuzzRegistration_##name(#name, qvFuzzOne_##name,    \
                                                                  qvFuzzSeeds_##name);        \
    static int qvFuzzOne_##name(const std::uint8_t* data, std::size_t size)

#define QV_FUZZ_SEEDS(name) static std::vector<qv::fuzz::Bytes> qvFuzzSeeds_##name()
