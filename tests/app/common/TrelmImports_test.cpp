// The program's binding to libTrelm.so: loaded on the first call, exports looked up one by one,
// failures raised as run-time errors of that call only.
#include "app/common/TrelmImports.h"

#include "platform/kernel/Paths.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

int errorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const qv::basic::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

class TrelmBinding : public ::testing::Test {
protected:
    void SetUp() override {
        Trelm::binding::setLibraryFile("");
        qv::kernel::setProgramFolder(QV_BIN_DIR);
    }
    void TearDown() override {
        Trelm::binding::setLibraryFile("");
        qv::kernel::setProgramFolder("");
        if (!tempFolder_.empty()) fs::remove_all(tempFolder_);
    }
    std::string makeTempFolder() {
        char tmpl[] = "/tmp/trelm_bind_XXXXXX";
        if (!mkdtemp(tmpl)) ADD_FAILURE() << "mkdtemp";
        tempFolder_ = tmpl;
        return tempFolder_;
    }
    std::string tempFolder_;
};

TEST_F(TrelmBinding, LoadsOnTheFirstCallAndCallsThroughByName) {
    EXPECT_FALSE(Trelm::binding::isLoaded());
    int32_t version = 0;
    Trelm::GET_VER_NO(&version);
    EXPECT_TRUE(Trelm::binding::isLoaded());
    EXPECT_EQ(version, 101);
    // Arguments and results pass through unchanged.
    const int16_t raw[] = {1, 2, 3, 4, 5, 6};
    const float cal[] = {10, 0, 10, 0, 1, -1, 2, 4};
    float dst[6] = {};
    EXPECT_EQ(Trelm::M_Change(dst, raw, 2, 3, cal), 3);
    EXPECT_EQ(dst[3], -3.0f);
    float a[3] = {1, 2, 3};
    Trelm::S_ADDC(a, a, 0.5f, 3);
    EXPECT_EQ(a[2], 3.5f);
}

TEST_F(TrelmBinding, MissingExportFailsThatCallOnlyAndOthersKeepWorking) {
    int32_t version = 0;
    Trelm::GET_VER_NO(&version);
    EXPECT_EQ(errorNumberOf([] { Trelm::ADCBOARD(); }), 453);
    char names[1024], boards[1024];
    EXPECT_EQ(errorNumberOf([&] { Trelm::ADCBOARDNAME(names, boards); }), 453);
    for (auto* entry : {&Trelm::ADCGET, &Trelm::ADCSET, &Trelm::ADCSET2, &Trelm::ADCSET3,
                        &Trelm::ADCSTATUS})
        EXPECT_EQ(errorNumberOf([entry] { (*entry)(); }), 453) << entry->name();
    float x[2] = {1, 2};
    EXPECT_EQ(errorNumberOf([&] { Trelm::S_ADDC_ptr(x, x, 1.0f, 2); }), 453);
    EXPECT_EQ(x[0], 1.0f);
    // The failure is raised again at the next call, and the rest of the library still works.
    EXPECT_EQ(errorNumberOf([] { Trelm::ADCBOARD(); }), 453);
    version = 0;
    Trelm::GET_VER_NO(&version);
    EXPECT_EQ(version, 101);
    try {
        Trelm::ADCSTATUS();
        FAIL() << "no error raised";
    } catch (const qv::basic::RuntimeError& e) {
        EXPECT_NE(e.description().find("ADCSTATUS"), std::string::npos) << e.description();
    }
}

TEST_F(TrelmBinding, MissingLibraryIsError53AndEveryExportFailsAlike) {
    Trelm::binding::setLibraryFile("libTrelmNotThere.so");
    int32_t v = 0;
    EXPECT_EQ(errorNumberOf([&] { Trelm::GET_VER_NO(&v); }), 53);
    EXPECT_EQ(errorNumberOf([&] { Trelm::S_SUM(nullptr, nullptr, 0); }), 53);
    EXPECT_FALSE(Trelm::binding::isLoaded());
    // Once the file is there again, the same exports work.
    Trelm::binding::setLibraryFile("");
    Trelm::GET_VER_NO(&v);
    EXPECT_EQ(v, 101);
}

TEST_F(TrelmBinding, ProgramFolderComesFirstAndABrokenFileIsError48) {
    // A damaged libTrelm.so beside the program hides the good one on the search path.
    const std::string folder = makeTempFolder();
    std::ofstream(folder + "/libTrelm.so") << "not a shared object";
    qv::kernel::setProgramFolder(folder);
    int32_t v = 0;
    EXPECT_EQ(errorNumberOf([&] { Trelm::GET_VER_NO(&v); }), 48);
    EXPECT_FALSE(Trelm::binding::isLoaded());
}

TEST_F(TrelmBinding, WithoutAFileInTheProgramFolderTheSearchPathIsUsed) {
    // The system's math library stands in for a library found only on the search path: it
    // loads, and an export it lacks is then error 453, not 53.
    qv::kernel::setProgramFolder(makeTempFolder());
    Trelm::binding::setLibraryFile("libm.so.6");
    int32_t v = 0;
    EXPECT_EQ(errorNumberOf([&] { Trelm::GET_VER_NO(&v); }), 453);
    EXPECT_TRUE(Trelm::binding::isLoaded());
}

TEST_F(TrelmBinding, ResetUnloadsAndTheNextCallBindsAgain) {
    int32_t v = 0;
    Trelm::GET_VER_NO(&v);
    ASSERT_TRUE(Trelm::binding::isLoaded());
    Trelm::binding::reset();
    EXPECT_FALSE(Trelm::binding::isLoaded());
    v = 0;
    Trelm::GET_VER_NO(&v);  // the cached address must not be used after the unload
    EXPECT_EQ(v, 101);
}

}  // namespace
