// The data-shift tool: one channel of the data file moved by whole scans, every other byte and
// the length kept, refusals leaving the file as it was and no temporary file behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/main/Acqisition_Recording_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"

using namespace qv;
using apptest::RecordingSpec;

namespace {

class AcqisitionDataShiftTest : public apptest::RecordingWindowTest {
protected:
    void TearDown() override {
        RecordingWindowTest::TearDown();
        GstrKdatFile.clear();
    }
    // A recording of `channels` x `scans` whose words are 10 + p + 100 c, as if it were loaded.
    void record(int32_t channels, int32_t scans) {
        RecordingSpec layout(channels, 10, scans);
        layout.sample = [](int32_t p, int32_t c) { return static_cast<int16_t>(10 + p + 100 * c); };
        layout.Write(prog.dir(), "rec");
        GstrKdatFile = prog.win("rec.Kdat");
        GAcqParam.wCh = static_cast<int16_t>(channels);
        GAcqParam.PTotal = scans;
    }
    std::string bytes() const { return prog.readBytes("rec.Kdat"); }
    int16_t word(const std::string& b, int32_t p, int32_t c) const {
        const size_t at = 2 * (static_cast<size_t>(GAcqParam.wCh) * p + c);
        return static_cast<int16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
    }
    std::vector<int16_t> channel(int32_t c) const {
        const std::string b = bytes();
        std::vector<int16_t> v;
        for (int32_t p = 0; p < GAcqParam.PTotal; ++p) v.push_back(word(b, p, c));
        return v;
    }
    void shift(const std::string& c, const std::string& n) {
        w->txtずらすCHNo.setText(c);
        w->txtずらすPointNum.setText(n);
        w->cmdずらす_Click();
    }
    size_t filesInFolder() const {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(prog.dir())) ++n;
        return n;
    }
};

TEST_F(AcqisitionDataShiftTest, ResultTableOnFiveScans) {
    record(3, 5);
    const std::string before = bytes();
    const size_t files = filesInFolder();
    shift("1", "-2");
    EXPECT_EQ(channel(1), (std::vector<int16_t>{112, 113, 114, 114, 114}));
    shift("1", "0");
    EXPECT_EQ(channel(1), (std::vector<int16_t>{112, 113, 114, 114, 114}));
    record(3, 5);
    shift("1", "2abc");  // the leading number
    EXPECT_EQ(channel(1), (std::vector<int16_t>{110, 110, 110, 111, 112}));
    const std::string after = bytes();
    ASSERT_EQ(after.size(), before.size());
    for (int32_t p = 0; p < 5; ++p)
        for (int32_t c : {0, 2}) EXPECT_EQ(word(after, p, c), word(before, p, c));
    EXPECT_EQ(filesInFolder(), files);
    EXPECT_TRUE(driver.msgBoxes().empty());
    EXPECT_TRUE(w->Enabled());
}

TEST_F(AcqisitionDataShiftTest, FirstAndLastScansAcrossBlocksAndTheTailKept) {
    const int32_t P = 70000;  // more than one block of scans
    record(2, P);
    // Bytes past the recording's scans (a longer file) stay as they are.
    std::string tail = "\x01\x02\x03";
    { std::ofstream(prog.dir() / "rec.Kdat", std::ios::binary | std::ios::app) << tail; }
    const std::string before = bytes();
    shift("0", "3");
    std::vector<int16_t> ch = channel(0);
    EXPECT_EQ(ch[0], 10);
    EXPECT_EQ(ch[2], 10);
    EXPECT_EQ(ch[3], 10);
    EXPECT_EQ(ch[4], 11);
    EXPECT_EQ(ch[65536], static_cast<int16_t>(10 + 65533));
    EXPECT_EQ(ch[P - 1], static_cast<int16_t>(10 + P - 4));
    std::string after = bytes();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(after.size() - 3), tail);
    for (int32_t p : {0, 1, 65535, 65536, P - 1}) EXPECT_EQ(word(after, p, 1), word(before, p, 1));

    shift("0", "-3");  // back: the first P - 3 scans are the original's again
    ch = channel(0);
    EXPECT_EQ(ch[0], 10);
    EXPECT_EQ(ch[65533], static_cast<int16_t>(10 + 65533));
    EXPECT_EQ(ch[P - 4], static_cast<int16_t>(10 + P - 4));
    EXPECT_EQ(ch[P - 3], static_cast<int16_t>(10 + P - 4));  // the last sample repeated
    EXPECT_EQ(ch[P - 1], static_cast<int16_t>(10 + P - 4));
}

TEST_F(AcqisitionDataShiftTest, RefusalsLeaveTheFileByteIdentical) {
    record(3, 5);
    const std::string before = bytes();
    const size_t files = filesInFolder();
    const auto refused = [&](const char* what, const std::string& c, const std::string& n,
                             const std::string& says) {
        const size_t shown = driver.msgBoxes().size();
        driver.answerMsgBox(forms::vbOK);
        shift(c, n);
        ASSERT_EQ(driver.msgBoxes().size(), shown + 1) << what;
        EXPECT_EQ(driver.msgBoxes().back().style, forms::vbExclamation) << what;
        EXPECT_NE(driver.msgBoxes().back().prompt.find(says), std::string::npos)
            << what << ": " << driver.msgBoxes().back().prompt;
        EXPECT_EQ(bytes(), before) << what;
        EXPECT_EQ(filesInFolder(), files) << what;
        EXPECT_TRUE(w->Enabled()) << what;
    };
    refused("channel past the scan", "3", "1", "ずらすCH番号");
    refused("negative channel", "-1", "1", "ずらすCH番号");
    refused("shift of the whole length", "0", "5", "ずらすポイント数");
    refused("shift back of the whole length", "0", "-5", "ずらすポイント数");
    refused("beyond 32 bits", "0", "1e12", "ずらすポイント数");

    ::chmod((prog.dir() / "rec.Kdat").c_str(), 0444);
    refused("read-only", "0", "1", "読み取り専用");
    ::chmod((prog.dir() / "rec.Kdat").c_str(), 0644);

    GAcqParam.PTotal = 6;  // the file holds 5 scans: shorter than the recording
    refused("short file", "0", "1", "短すぎます");
    GAcqParam.PTotal = 5;

    GstrKdatFile = prog.win("none.Kdat");
    refused("missing file", "0", "1", "見つかりません");
    GstrKdatFile = prog.win("rec.Kdat");

    GAcqParam.PTotal = 0;
    refused("nothing loaded", "0", "1", "読み込まれていません");
}

TEST_F(AcqisitionDataShiftTest, AnOddLengthFileShorterThanTheScansIsRefused) {
    RecordingSpec layout(2, 10, 4);
    layout.kdatBytes = 15;
    layout.Write(prog.dir(), "rec");
    GstrKdatFile = prog.win("rec.Kdat");
    GAcqParam.wCh = 2;
    GAcqParam.PTotal = 4;
    const std::string before = bytes();
    driver.answerMsgBox(forms::vbOK);
    shift("1", "1");
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(bytes(), before);
}

}  // namespace
