// The sample readers: raw reads at the ends of the data and past them, conversions with either
// calibration, sweep windows and their chunks, both trace paths, and 64-bit positions.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "app/common/TrelmImports.h"
#include "tests/app/recording/CKdat_testfixture.h"

using namespace qv;
using qv::apptest::errorNumber;

namespace {

// The conversion the library documents, for one word and one record.
float converted(int16_t raw, const CalRecord& r) {
    return static_cast<float>((static_cast<double>(raw) - r.Base_AD) *
                                  (static_cast<double>(r.EU_HI) - r.EU_LO) / r.Cal_AD + r.EU_LO);
}

bool same(float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

class KdatReaderTest : public apptest::KdatTestBase {
protected:
    // A recording written through the object and opened by a second one.
    void open(int32_t channels, int32_t rateHz, int32_t frames) {
        apptest::WriteKdatStoreCalibration();
        apptest::KdatRecordingSpec layout;
        layout.channels = channels;
        layout.rateHz = rateHz;
        layout.frames = frames;
        apptest::WriteKdatRecording(file("r.Kdat"), layout);
        k.OpenKdat(file("r.Kdat"));
        k.UseCal(true);
    }
    float value(int64_t scan, int32_t ch) const {
        return converted(apptest::KdatPatternSample(scan, ch), k.CalRecords()[static_cast<size_t>(ch)]);
    }
    CKdat k;
};

}  // namespace

TEST_F(KdatReaderTest, RawReadsPastTheEndReadZerosAndANegativeStartIsRefused) {
    open(3, 1000, 25);  // 2500 scans
    RawSampleBuffer.assign(100, 0x1234);
    k.GetFileData_Rec(2490, 20);
    for (int s = 0; s < 20; ++s)
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(RawSampleBuffer[static_cast<size_t>(s * 3 + c)],
                      s < 10 ? apptest::KdatPatternSample(2490 + s, c) : 0);
    RawSampleBuffer.assign(100, 0x1234);
    k.GetFileData_Point(2499, 2);
    EXPECT_EQ(RawSampleBuffer[2], apptest::KdatPatternSample(2499, 2));
    EXPECT_EQ(RawSampleBuffer[3], 0);
    EXPECT_EQ(RawSampleBuffer[6], 0x1234);  // beyond the read: untouched

    // The last frame reads whole; a frame past the data reads zeros, never earlier words.
    k.GetFileData_Unit(24);
    EXPECT_EQ(RawSampleBuffer[299], apptest::KdatPatternSample(2499, 2));
    k.GetFileData_Unit(25);
    for (int i = 0; i < 300; ++i) ASSERT_EQ(RawSampleBuffer[static_cast<size_t>(i)], 0);

    EXPECT_EQ(errorNumber([&] { k.GetFileData_Rec(-1, 5); }), 63);
    EXPECT_EQ(errorNumber([&] { k.GetFileData_Point(-1, 5); }), 63);
    EXPECT_EQ(errorNumber([&] { k.GetFileData_Unit(-1); }), 63);
    EXPECT_EQ(errorNumber([&] { k.LoadWave_Point(0, 0); }), 9);
    std::filesystem::remove(file("r.Kdat"));
    EXPECT_EQ(errorNumber([&] { k.GetFileData_Point(0, 5); }), 53);
}

TEST_F(KdatReaderTest, ConversionsUseTheChosenCalibrationOfEachChannelsSlot) {
    open(3, 1000, 25);
    k.LoadWave_Point(100, 50);
    WaveArray a;
    k.GetBUFF_POINT(a);
    ASSERT_EQ(a.Points(), 50);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(a(7, c), value(107, c));
    // Off: the board preset (here the table's defaults: EU = raw x 100 / 2048).
    k.UseCal(false);
    k.LoadWave_Frame(3);
    k.GetBUFF_FRAME(a);
    ASSERT_EQ(a.Points(), 100);
    EXPECT_EQ(a(5, 2), converted(apptest::KdatPatternSample(305, 2), CalRecord{100, 0, 2048, 0}));
    // Words past the data convert as raw 0.
    k.UseCal(true);
    k.LoadWave_Point(2499, 2);
    k.GetBUFF_POINT(a);
    EXPECT_EQ(a(1, 1), converted(0, k.CalRecords()[1]));

    // A range that starts further on converts with the records of its own slots.
    std::filesystem::copy_file(file("r.Kdat"), file("s.Kdat"));
    std::filesystem::copy_file(file("r.Kpar"), file("s.Kpar"));
    SetIniFileName(file("s.Kpar"));
    WriteIniString("Condition", "lStartCH", "5");
    WriteIniString("Condition", "lEndCH", "7");
    k.OpenKdat(file("s.Kdat"));
    k.UseCal(true);
    k.LoadWave_Point(10, 1);
    k.GetBUFF_POINT(a);
    EXPECT_EQ(a(0, 1), converted(apptest::KdatPatternSample(10, 1), k.CalRecords()[5]));
    EXPECT_EQ(k.CalRecords()[5].Cal_AD, 1005.0f);

    // Channel settings changed after opening are checked before use.
    k.CHNum(33);
    EXPECT_EQ(errorNumber([&] { k.LoadWave_Point(0, 1); }), 9);
    EXPECT_EQ(errorNumber([&] { k.GetFileData_Rec(0, 1); }), 9);
}

TEST_F(KdatReaderTest, SweepWindowsAtTheEndOfTheData) {
    open(3, 1000, 25);
    k.SweepPoint(500);
    k.LoadWave_Sweep(2000);  // ends at the last scan: the extra point repeats it
    const WaveArray& w = k.BUFF_SWEEP();
    ASSERT_EQ(w.Points(), 501);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(w(0, c), value(2000, c));
        EXPECT_EQ(w(499, c), value(2499, c));
        EXPECT_EQ(w(500, c), value(2499, c));
    }
    k.LoadWave_Sweep(1999);  // one scan earlier: the extra point is the next scan
    EXPECT_EQ(k.BUFF_SWEEP()(500, 2), value(2499, 2));
    EXPECT_EQ(k.BUFF_SWEEP()(499, 2), value(2498, 2));
    k.SweepPoint(0);
    const int64_t reads = CKdat::RawReadCount();
    k.LoadWave_Sweep(0);
    EXPECT_EQ(k.BUFF_SWEEP().Points(), 1);
    EXPECT_EQ(k.BUFF_SWEEP()(0, 0), 0.0f);
    EXPECT_EQ(CKdat::RawReadCount(), reads);
}

TEST_F(KdatReaderTest, LongSweepsReadInTenChunks) {
    open(2, 10000, 12);  // 12,000 scans
    struct Case {
        int32_t w;
        int64_t reads;
        int32_t lastChunk;
    };
    for (const Case& c : {Case{9999, 2, 9999}, Case{10000, 11, 1000}, Case{10004, 11, 1004},
                          Case{10006, 11, 997}}) {
        k.SweepPoint(c.w);
        const int64_t before = CKdat::RawReadCount();
        k.LoadWave_Sweep(1000);
        EXPECT_EQ(CKdat::RawReadCount() - before, c.reads) << c.w;
        EXPECT_EQ(k.BUFF_FRAME().Points(), c.lastChunk) << c.w;  // the last converted piece
        for (int32_t p = 0; p <= c.w; ++p)
            for (int ch = 0; ch < 2; ++ch)
                ASSERT_EQ(k.BUFF_SWEEP()(p, ch), value(1000 + p, ch)) << c.w << " point " << p;
    }
}

TEST_F(KdatReaderTest, FramePathReducesTheWholeRecording) {
    open(3, 1000, 25);
    WaveArray all, trace;
    k.LoadWave_Point(0, 2500);
    k.GetBUFF_POINT(all);
    for (int32_t n : {10, 7, 1}) {
        k.GetWaveTrans(n, trace);
        ASSERT_EQ(trace.Points(), n);
        std::vector<float> want(static_cast<size_t>(n));
        for (int c = 0; c < 3; ++c) {
            std::fill(want.begin(), want.end(), 0.0f);
            Trelm::S_TRANS(want.data(), all.Channel(c), 0, 2500, n);
            for (int32_t p = 0; p < n; ++p) EXPECT_EQ(trace(p, c), want[static_cast<size_t>(p)]) << n;
        }
    }
    // More frames than scans: nothing is copied past PTotal, so the trace stays the same.
    WaveArray before;
    k.GetWaveTrans(10, before);
    SetIniFileName(file("r.Kpar"));
    WriteIniString("P", "NFrame", "40");
    WriteIniString("P", "PTotal", "2000000000");  // nor any scan past the data file's end
    k.OpenKdat(file("r.Kdat"));
    k.UseCal(true);
    EXPECT_EQ(k.PTotal(), 2500);
    k.GetWaveTrans(10, trace);
    for (int c = 0; c < 3; ++c)
        for (int p = 0; p < 10; ++p) EXPECT_EQ(trace(p, c), before(p, c));
    SetIniFileName(file("r.Kpar"));
    WriteIniString("P", "PTotal", "2000");  // fewer scans than frames hold
    k.OpenKdat(file("r.Kdat"));
    k.UseCal(true);
    k.GetWaveTrans(4, trace);
    float hi, lo;
    Trelm::S_MAXMIN(&hi, &lo, all.Channel(1) + 1000, 1000);
    EXPECT_EQ(std::max(trace(2, 1), trace(3, 1)), hi);
    EXPECT_EQ(std::min(trace(2, 1), trace(3, 1)), lo);
}

TEST_F(KdatReaderTest, PointPathPairsNeverPassTheEndOfTheData) {
    // Channel 1 has no Cal_AD: its values are infinite or undefined and take the exact path.
    // Two channels and eight (a whole register of words) take the two ways of finding extremes.
    apptest::WriteKdatStoreCalibration();
    kernel::writeProfileString(ProgramFile("DEFAULT.CAL"), "CAL", "fCAL_AD(1)", "0");
    for (int32_t channels : {2, 8}) {
        SCOPED_TRACE(channels);
        apptest::KdatRecordingSpec layout;
        layout.channels = channels;
        layout.rateHz = 100000;
        layout.frames = 101;  // 1,010,000 scans
        layout.sample = [](int64_t s, int32_t c) {
            return static_cast<int16_t>(c == 1 ? (s % 3) - 1 : (s * 7919 + c * 131) % 65536 - 32768);
        };
        apptest::WriteKdatRecording(file("r.Kdat"), layout);
        k.OpenKdat(file("r.Kdat"));
        k.UseCal(true);
        ASSERT_EQ(k.PTotal(), 1010000);
        WaveArray all;
        k.LoadWave_Point(0, 1010000);
        k.GetBUFF_POINT(all);
        for (int32_t n : {1, 2, 7, 1000}) {
            WaveArray trace;
            k.GetWaveTrans(n, trace);
            const int64_t s = std::llround(2.0 * 1010000 / n);
            for (int32_t pair = 0; pair < n / 2; ++pair) {
                const int64_t from = pair * s;
                const int64_t to = pair == n / 2 - 1 ? 1010000 : std::min<int64_t>(from + s, 1010000);
                for (int c = 0; c < channels; ++c) {
                    float hi, lo;
                    Trelm::S_MAXMIN(&hi, &lo, all.Channel(c) + from, static_cast<int32_t>(to - from));
                    ASSERT_TRUE(same(trace(2 * pair, c), hi)) << n << " pair " << pair << " ch " << c;
                    ASSERT_TRUE(same(trace(2 * pair + 1, c), lo)) << n << " pair " << pair << " ch " << c;
                }
            }
            if (n % 2) {
                EXPECT_EQ(trace(n - 1, 0), 0.0f);  // an odd n leaves its last point
            }
        }
    }
}

TEST_F(KdatReaderTest, PositionsBeyondFourGiBAre64Bit) {
    open(2, 1000, 1);
    const int64_t scan = 1200000000;  // byte 4.8e9
    {
        std::fstream f(file("r.Kdat"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(scan * 4);
        const int16_t words[2] = {1234, -4321};
        f.write(reinterpret_cast<const char*>(words), sizeof words);
    }
    ASSERT_GT(std::filesystem::file_size(file("r.Kdat")), (uint64_t{4} << 30));
    k.GetFileData_Rec(static_cast<int32_t>(scan), 2);
    EXPECT_EQ(RawSampleBuffer[0], 1234);
    EXPECT_EQ(RawSampleBuffer[1], -4321);
    EXPECT_EQ(RawSampleBuffer[2], 0);
    k.LoadWave_Point(static_cast<int32_t>(scan - 1), 2);
    WaveArray a;
    k.GetBUFF_POINT(a);
    EXPECT_EQ(a(1, 1), converted(-4321, k.CalRecords()[1]));
    EXPECT_EQ(a(0, 1), converted(0, k.CalRecords()[1]));
}
