// The recording writer: blocks at their places, the partial last block, a fresh file and fresh
// counters for every recording, and the refusals before anything is written.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "tests/app/recording/CKdat_testfixture.h"

using namespace qv;
using qv::apptest::errorNumber;

namespace {

class KdatWriterTest : public apptest::KdatTestBase {
protected:
    // The file's words, which must be scans 0.. of the pattern.
    void expectPattern(const std::string& name, int32_t channels, int64_t scans) {
        const std::string bytes = prog.readBytes(name);
        ASSERT_EQ(bytes.size(), static_cast<size_t>(scans * channels * 2));
        std::vector<int16_t> words(bytes.size() / 2);
        std::memcpy(words.data(), bytes.data(), bytes.size());
        for (int64_t s = 0; s < scans; ++s)
            for (int32_t c = 0; c < channels; ++c)
                ASSERT_EQ(words[static_cast<size_t>(s * channels + c)], apptest::KdatPatternSample(s, c))
                    << "scan " << s << " channel " << c;
    }
    static void record(CKdat& k, const std::string& path, int32_t frames, int64_t firstScan = 0) {
        k.StartAcqisition(path);
        const int32_t ns = k.nSample(), ch = k.CHNum();
        std::vector<int16_t> frame(static_cast<size_t>(ns * ch));
        for (int32_t f = 0; f < frames; ++f) {
            for (int32_t i = 0; i < ns; ++i)
                for (int32_t c = 0; c < ch; ++c)
                    frame[static_cast<size_t>(i * ch + c)] =
                        apptest::KdatPatternSample(firstScan + int64_t{f} * ns + i, c);
            k.ADCGetData(frame);
        }
    }
};

}  // namespace

TEST_F(KdatWriterTest, BlocksAndThePartialLastBlockGiveExactlyPTotalScans) {
    CKdat k;
    k.CHNum(4);
    k.nSample(100);
    k.nSClock(1000);
    record(k, file("r.Kdat"), 10);
    EXPECT_EQ(std::filesystem::file_size(file("r.Kdat")), 8000u);  // one block, written at once
    EXPECT_EQ(k.Param().NTimer, 1);
    for (int16_t w : k.BUFF_SEC()) ASSERT_EQ(w, 0);
    std::vector<int16_t> frame(400);
    for (int f = 10; f < 25; ++f) {
        for (int i = 0; i < 100; ++i)
            for (int c = 0; c < 4; ++c) frame[static_cast<size_t>(i * 4 + c)] = apptest::KdatPatternSample(f * 100 + i, c);
        k.ADCGetData(frame);
    }
    EXPECT_EQ(std::filesystem::file_size(file("r.Kdat")), 16000u);
    k.ENDAcqisition();
    EXPECT_EQ(k.PTotal(), 2500);
    EXPECT_EQ(k.NFrame(), 25);
    EXPECT_EQ(k.Param().NTimer, 2);  // whole blocks only
    expectPattern("r.Kdat", 4, 2500);
    SetIniFileName(file("r.Kpar"));
    EXPECT_EQ(ReadIniString("P", "PTotal", ""), "2500");
    EXPECT_EQ(ReadIniString("P", "NTimer", ""), "2");
}

TEST_F(KdatWriterTest, BlockFollowsTheBlockSizeWhateverTheRate) {
    // Frames of 50 scans at 1 kHz: a block is 500 scans, not the 1000 scans of a second.
    CKdat k;
    k.CHNum(3);
    k.nSample(50);
    k.nSClock(1000);
    record(k, file("h.Kdat"), 25);
    k.ENDAcqisition();
    expectPattern("h.Kdat", 3, 1250);
}

TEST_F(KdatWriterTest, EveryRecordingStartsAFreshFileAndFreshCounters) {
    prog.writeBytes("o.Kdat", std::string(100000, '\x7f'));
    CKdat k;
    k.CHNum(4);
    k.nSample(100);
    k.nSClock(1000);
    record(k, file("o.Kdat"), 3);
    k.ENDAcqisition();
    expectPattern("o.Kdat", 4, 300);  // the older, longer file is gone

    record(k, file("o2.Kdat"), 12);
    EXPECT_EQ(k.NFrame(), 12);
    k.ENDAcqisition();
    EXPECT_EQ(k.PTotal(), 1200);
    expectPattern("o2.Kdat", 4, 1200);

    // A second start without an end closes the first file and begins again.
    record(k, file("o3.Kdat"), 15);
    record(k, file("o4.Kdat"), 2);
    k.ENDAcqisition();
    expectPattern("o4.Kdat", 4, 200);
    expectPattern("o3.Kdat", 4, 1000);  // its whole block stays, its open tail never came
}

TEST_F(KdatWriterTest, RefusalsComeBeforeAnythingIsWritten) {
    CKdat k;
    k.nSample(10);
    for (int32_t ch : {0, 33, -1}) {
        k.CHNum(ch);
        EXPECT_EQ(errorNumber([&] { k.StartAcqisition(file("x.Kdat")); }), 9) << ch;
        EXPECT_FALSE(std::filesystem::exists(file("x.Kdat")));
    }
    k.CHNum(2);
    k.nSample(0);
    EXPECT_EQ(errorNumber([&] { k.StartAcqisition(file("x.Kdat")); }), 9);
    k.nSample(10);
    k.nSClock(1000);
    k.StartAcqisition(file("x.Kdat"));
    std::vector<int16_t> shortFrame(19);
    EXPECT_EQ(errorNumber([&] { k.ADCGetData(shortFrame); }), 9);
    EXPECT_EQ(k.NFrame(), 0);
    EXPECT_EQ(k.PTotal(), 0);
    EXPECT_EQ(errorNumber([&] { k.FWriteWave_Sec(); }), 63);  // block 0 lies before the file
    k.ENDAcqisition();
    EXPECT_EQ(std::filesystem::file_size(file("x.Kdat")), 0u);
}
