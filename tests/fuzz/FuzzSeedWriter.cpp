// Linked into each libFuzzer program: QV_FUZZ_WRITE_SEEDS=<folder> writes the target's seeds
// into the folder and ends the program, so the corpus always comes from the tests' writers.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "FuzzTarget.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = std::getenv("QV_FUZZ_WRITE_SEEDS");
    if (folder == nullptr || *folder == '\0') return 0;
    std::filesystem::create_directories(folder);
    int n = 0;
    for (const auto& target : qv::fuzz::targets()) {
        for (const auto& seed : target.seeds()) {
            const auto path = std::filesystem::path(folder) / (std::string(target.name) + "_" + std::to_string(n++));
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(seed.data()),
                                                        static_cast<std::streamsize>(seed.size()));
        }
    }
    std::printf("%d seeds written to %s\n", n, folder);
    std::exit(0);
}
