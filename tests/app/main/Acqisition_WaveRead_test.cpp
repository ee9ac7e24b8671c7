// The windowed read of long windows, which goes in pieces shared among threads: every value bit
// for bit as the one-chunk read of short windows gives it, in both units, for a recording that
// starts above channel 1, page after page of the same shape (the display array is then not
// cleared whole) and for a window that runs past the end of the recording.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"

using namespace qv;

namespace {

constexpr int32_t kChannels = 13;  // not a multiple of the library's vector width
constexpr int32_t kScans = 300000;

class LongWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        w = &Acqisition::instance();
        driver.run([this] { w->Show(); });
        apptest::RecordingSpec layout(kChannels, 1000, kScans, 4);  // channels 4..16
        layout.sample = [](int32_t p, int32_t c) { return static_cast<int16_t>(p * 7 + c * 4099); };
        // A line of its own on every recorded channel, with a fraction in every value.
        for (int32_t i = 3; i < 3 + kChannels; ++i) {
            const std::string cal = "Cal(" + std::to_string(i) + ")";
            layout.set("CAL", cal + ".fEU_HI", std::to_string(1.25 + i));
            layout.set("CAL", cal + ".fEU_LO", std::to_string(-0.5 * i));
            layout.set("CAL", cal + ".fCAL_AD", std::to_string(3276.7 - i));
            layout.set("CAL", cal + ".fBASE_AD", std::to_string(i - 6.5));
        }
        layout.Write(prog.dir(), "long");
        w->chkUseCAL.setValue(1);
        ASSERT_TRUE(driver.type(w->txtFName, prog.win("long")));
        ASSERT_TRUE(driver.click(w->cmdLoad));
        ASSERT_TRUE(driver.msgBoxes().empty());
        for (int32_t i = 0; i < 32; ++i) GCalRecVolt[i] = {0.3f * i - 2.0f, 1.5f, 2047.0f + i, -3.0f};
    }
    void TearDown() override {
        GAcqParam = AcqParam{};
        ClearFileNameGlobals();
    }

    // Points start .. start + count of every channel as windows of fewer than 10,000 points
    // (read in one chunk) give them.
    std::vector<std::vector<uint32_t>> shortWindows(int32_t start, int32_t count) {
        std::vector<std::vector<uint32_t>> out(kChannels);
        for (int32_t at = start; at <= start + count && at < kScans; at += 9999) {
            int32_t s = at, n = std::min(9999, start + count + 1 - at);
            w->LoadWave_Sweep(s, n);
            for (int32_t c = 0; c < kChannels; ++c)
                for (int32_t p = 0; p < n && at + p < kScans; ++p)
                    out[c].push_back(std::bit_cast<uint32_t>(DispWaveArray(p, c)));
        }
        return out;
    }
    // Reads the long window and checks it against the short ones point by point. With a
    // `before` window, that one of the same shape is read first, as the page before.
    void expectLongWindowExact(int32_t start, int32_t count, int32_t before = -1) {
        const auto want = shortWindows(start, count);
        if (before >= 0) {
            int32_t s = before, n = count;
            w->LoadWave_Sweep(s, n);
        }
        int32_t s = start, n = count;
        w->LoadWave_Sweep(s, n);
        ASSERT_EQ(DispWaveArray.Points(), count + 1);
        ASSERT_EQ(DispWaveArray.Channels(), kChannels);
        const int32_t valid = std::min(count, kScans - start);
        for (int32_t c = 0; c < kChannels; ++c) {
            for (int32_t p = 0; p < valid; ++p)
                ASSERT_EQ(std::bit_cast<uint32_t>(DispWaveArray(p, c)), want[c][p])
                    << "start " << start << " channel " << c << " point " << p;
            for (int32_t p = valid; p < count; ++p)
                ASSERT_EQ(DispWaveArray(p, c), 0.0f) << "past the end: channel " << c << " point " << p;
            // The closing point: the next page's first scan, or the last valid point again.
            const uint32_t closing = valid < count || start + count == kScans ? want[c][valid - 1] : want[c][count];
            EXPECT_EQ(std::bit_cast<uint32_t>(DispWaveArray(count, c)), closing) << "channel " << c;
        }
    }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram startable{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
};

}  // namespace

TEST_F(LongWindowTest, PiecesGiveTheValuesOfTheChunkReadPageAfterPageInBothUnits) {
    const int32_t count = 120001;  // many pieces, the last one short
    expectLongWindowExact(333, count);
    expectLongWindowExact(333 + count, count, 333);  // the same shape: overwritten, not cleared
    w->chkUseCAL.setValue(0);                          // the volt records from record 0
    expectLongWindowExact(5, count, 0);
    expectLongWindowExact(kScans - count, count, 0);   // the last page repeats its last point
}

TEST_F(LongWindowTest, AWindowRunningPastTheEndKeepsZerosAfterItsValidPoints) {
    const int32_t count = 100000;
    // After a full page of the same shape: its values must not show past the end.
    expectLongWindowExact(kScans - 30001, count, 0);
    expectLongWindowExact(kScans - 99999, count, 0);
    expectLongWindowExact(kScans - 99999, count, kScans - 30001);
}
