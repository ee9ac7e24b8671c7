// P_MONITOR: the program and its one argument, as the process recorder sees them.
#include "PlotTestSupport.h"

#include "library/Diagnostics.h"
#include "library/trelm.h"

#include "platform/kernel/Encoding.h"
#include "platform/kernel/Process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace plottest;

class ProgramStart : public ::testing::Test {
protected:
    void SetUp() override {
        qv::kernel::setLaunchRecording(true);
        qv::kernel::clearLaunchRecords();
    }
    void TearDown() override {
        qv::kernel::clearLaunchRecords();
        qv::kernel::setLaunchRecording(false);
    }
    static std::vector<std::string> lastArgv() {
        const auto launches = qv::kernel::recordedLaunches();
        return launches.empty() ? std::vector<std::string>{} : launches.back().argv;
    }
};

TEST_F(ProgramStart, StartsTheProgramWithTheDefaultSettingsFile) {
    LoadedTrelm lib;  // a fresh copy: no path set yet
    ASSERT_TRUE(lib.ok());
    lib.get<decltype(P_MONITOR)>("P_MONITOR")();
    EXPECT_EQ(lastArgv(), (std::vector<std::string>{"C:\\Tolvane\\Quorvane.exe", "C:\\SETTING.SET"}));
}

TEST_F(ProgramStart, KeepsACopyOfTheSettingsPathAndRefusesALineOver255Bytes) {
    std::string path = qv::kernel::utf8ToCp932("D:\\設定\\A.SET");
    P_MONITOR_SETTING(path.c_str());
    path.assign(path.size(), 'x');  // the library's copy is not the caller's text
    P_MONITOR();
    EXPECT_EQ(lastArgv(), (std::vector<std::string>{"C:\\Tolvane\\Quorvane.exe", "D:\\設定\\A.SET"}));
    // 23 + 1 + 230 + 1 = 255 bytes fit; one more does not.
    const std::string fits = "C:\\" + std::string(227, 'a');
    P_MONITOR_SETTING(fits.c_str());
    P_MONITOR();
    EXPECT_EQ(lastArgv().at(1), fits);
    qv::kernel::clearLaunchRecords();
    P_MONITOR_SETTING((fits + "b").c_str());
    P_MONITOR();
    EXPECT_TRUE(qv::kernel::recordedLaunches().empty());
    P_MONITOR_SETTING(std::string(5000, 'c').c_str());
    P_MONITOR();
    EXPECT_TRUE(qv::kernel::recordedLaunches().empty());
}

// ---- Test waves and the raw-sample readers ---------------------------------------------------

TEST(Diagnostics, TestWavesFollowTheirFormulasInsideTheBuffer) {
    DBG_WAVE_SIN(1, 4, 0);
    EXPECT_EQ(trelm::testWaveValue(0, 0), 32768);
    EXPECT_EQ(trelm::testWaveValue(1, 0), 65535);
    EXPECT_EQ(trelm::testWaveValue(2, 0), 32768);
    EXPECT_EQ(trelm::testWaveValue(3, 0), 1);
    DBG_WAVE_COS(1, 4, 31);
    EXPECT_EQ(trelm::testWaveValue(0, 31), 65535);
    EXPECT_EQ(trelm::testWaveValue(2, 31), 1);
    DBG_WAVE_PLUSE(2, 8, 3);  // half period 2
    const int32_t pulse[8] = {0, 0, 65535, 65535, 0, 0, 65535, 65535};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(trelm::testWaveValue(i, 3), pulse[i]) << i;
    DBG_WAVE_PLUSE(0, 8, 3);  // no period: stays 0
    EXPECT_EQ(trelm::testWaveValue(2, 3), 0);
    DBG_WAVE_SIN(1, 40000, 4);  // only the buffer's 10000 rows
    EXPECT_EQ(trelm::testWaveValue(9999, 4), static_cast<int32_t>(32767 * std::sin(6.283185307179586 * 9999 / 40000) + 32768));
    DBG_WAVE_SIN(1, 4, 32);
    DBG_WAVE_FREE(5, 10000, 0);
    DBG_WAVE_FREE(5, -1, 0);
    DBG_WAVE_FREE(77, 9999, 1);
    EXPECT_EQ(trelm::testWaveValue(9999, 1), 77);
    DBG_WAVE_LEN(123, 7);
    DBG_WAVE_LEN(123, -7);
    EXPECT_EQ(trelm::testWaveLength(7), 123);
    DBG_WAVE_WAIT(5);
    EXPECT_EQ(trelm::testWaveWait(), 10000);
    DBG_WAVE_WAIT(20000);
    EXPECT_EQ(trelm::testWaveWait(), 20000);
}

TEST(Diagnostics, FreshLibraryHasDefaultLengthsAndAnEmptyRing) {
    EXPECT_EQ(trelm::testWaveLength(0), 10000);
    int32_t a = 9, b = 9, c = 9, d = 9, e = 9;
    DEBUG_NOREADP(&a);
    DEBUG_GET_BUFPARAM(&b, &c);
    DEBUG_GET_BUFPARAM2(&d);
    DEBUG_GET_BUFSIZE(&e);
    EXPECT_EQ(a + b + c + d + e, 0);
    int16_t words[4] = {1, 2, 3, 4};
    DEBUG_GET_BUFFER(words);
    DEBUG_GET_BUFFER2(words, 0, 4);
    DEBUG_GET_BUFFER3(words, 0, 4);
    EXPECT_EQ(words[0] + words[3], 5);
    EXPECT_EQ(DEBUG_NO(0), 0);
}

}  // namespace
