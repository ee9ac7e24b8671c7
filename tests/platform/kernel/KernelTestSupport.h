#pragma once
// A scratch folder per test with drive C and the program folder inside it, so no test touches
// the user's own folders.
#include "platform/kernel/Paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

namespace qv::kernel::testing {

class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qvkernel.XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        root = tmpl;
        driveC = root + "/drive_c";
        prog = root + "/prog";
        std::filesystem::create_directories(prog);
        std::filesystem::create_directories(driveC);
        setDriveFolder('C', driveC);
        setProgramFolder(prog);
    }
    void TearDown() override {
        setDriveFolder('C', "");
        setProgramFolder("");
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }

    static std::string readBytes(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void writeBytes(const std::string& file, std::string_view bytes) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static ino_t inode(const std::string& file) {
        struct stat st{};
        return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
    }

    std::string root, driveC, prog;
};

} // namespace qv::kernel::testing
