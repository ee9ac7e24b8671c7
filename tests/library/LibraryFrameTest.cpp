// libTrelm.so as the program sees it: loaded by file name from the program folder, exports
// found by their exact names, informational exports, and a real unload.
#include "library/trelm.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string kLibrary = std::string(QV_BIN_DIR) + "/libTrelm.so";

class LoadedLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        lib_ = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib_, nullptr) << dlerror();
    }
    void TearDown() override {
        if (lib_) dlclose(lib_);
    }
    template <typename F>
    F* get(const char* name) {
        return reinterpret_cast<F*>(dlsym(lib_, name));
    }
    void* lib_ = nullptr;
};

TEST_F(LoadedLibrary, ExportsItsFamiliesUnderTheirExactNames) {
    const char* names[] = {
        "S_ADD", "S_SUB", "S_MUL", "S_DIV", "S_ADDC", "S_SUBC", "S_MULC", "S_DIVC", "S_SUBCA",
        "S_DIVCA", "S_ADDW", "S_ABS", "S_FILL", "S_SUM", "S_MEAN", "S_SD", "S_RMS", "S_MAX",
        "S_MIN", "S_MAXMIN", "S_D2S", "S_I2S", "S_L2S", "S_S2D", "S_S2I", "S_S2L", "S_SHIFT",
        "S_SAMPLE", "S_EXPAND", "S_CONDENSE", "S_TRANS", "S_MVAV", "S_MVAV0", "S_MVAV2",
        "S_PEAK", "S_SLICE", "S_FFT", "S_INVFFT", "M_MKSIN", "M_MKCOS", "M_MKPULSE",
        "M_MKPULSE2", "PUTCAL", "GETCAL", "M_Change", "GET_VER_NO", "GET_ERROR_STR", "TEST_FUNC"};
    for (const char* name : names) EXPECT_NE(dlsym(lib_, name), nullptr) << name;
    // Names the program declares but the library does not provide, and the library's
    // internals, are not exported.
    for (const char* name : {"ADCBOARD", "ADCGET", "S_ADDC_ptr", "m_change", "S_ADDC@8",
                             "_ZN5trelm23setCalibrationStorePathEPKc"})
        EXPECT_EQ(dlsym(lib_, name), nullptr) << name;
}

TEST_F(LoadedLibrary, VersionAndFixedStatusText) {
    int32_t version = 0;
    get<decltype(GET_VER_NO)>("GET_VER_NO")(&version);
    EXPECT_EQ(version, 101);

    std::vector<char> buf(2100, '\x55');
    get<decltype(GET_ERROR_STR)>("GET_ERROR_STR")(buf.data());
    const char expected[] =
        "\x82\xb1\x82\xcc\x95\xcf\x90\x94\x82\xc9\x8f\xf3\x91\xd4\x82\xf0\x95\x5c\x82\xb7\x95\xb6"
        "\x8e\x9a\x97\xf1\x82\xf0\x90\xdd\x92\xe8\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2"
        "\x81\x42";
    ASSERT_EQ(sizeof expected - 1, 46u);
    EXPECT_EQ(std::memcmp(buf.data(), expected, 46), 0);
    for (size_t i = 46; i < 2048; ++i) ASSERT_EQ(buf[i], '\0') << i;
    for (size_t i = 2048; i < buf.size(); ++i) ASSERT_EQ(buf[i], '\x55') << i;  // exactly 2048

    get<decltype(TEST_FUNC)>("TEST_FUNC")(1, 2, 3, 4, 5, 6);
}

TEST(LibraryUnload, DlcloseReallyUnloadsSoTablesStartEmptyOnReload) {
    // A unique-symbol binding would pin the library in memory and keep its tables.
    void* lib = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    void* addr = dlsym(lib, "S_FFT");
    ASSERT_NE(addr, nullptr);
    // Grow the transform's work buffers, which live until unload.
    std::vector<float> x(4096, 1.0f), re(4096), im(4096);
    reinterpret_cast<decltype(&S_FFT)>(addr)(re.data(), im.data(), x.data(), 4096);
    ASSERT_EQ(dlclose(lib), 0);
    EXPECT_EQ(dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

}  // namespace
