// A channel's block in a binary file (marker + little-endian floats at a chosen position) and
// the CSV dump of its buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/app/common/IniSet_testsupport.h"
#include "app/channel/CWave.h"

using namespace qv;
using qv::apptest::errorNumber;

namespace {

const std::string kMarker = "----------------START WAVE DATA ----------------";

// The bytes of `values` as little-endian floats, built byte by byte.
std::string leFloats(const std::vector<float>& values) {
    std::string out;
    for (float v : values) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        for (int b = 0; b < 4; ++b) out += static_cast<char>((u >> (8 * b)) & 0xFF);
    }
    return out;
}

std::vector<float> samples(int n, float scale) {
    std::vector<float> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = scale * static_cast<float>(i) - 0.25f;
    return v;
}

class CWaveFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_symlink(std::filesystem::path(QV_BIN_DIR) / "libTrelm.so",
                                        prog.dir() / "libTrelm.so");
    }
    static void fill(CWave& w, const std::vector<float>& values) {
        w.PutArray(values);
        w.PTotal(static_cast<int32_t>(values.size()));
    }
    apptest::TempProgramFolder prog;
};

}  // namespace

TEST_F(CWaveFileTest, BlocksFollowEachOtherWithExactBytes) {
    CWave a, b;
    const std::vector<float> va = samples(1000, 0.5f), vb = samples(3, -2.0f);
    fill(a, va);
    fill(b, vb);
    const std::string file = prog.win("blocks.bin");
    EXPECT_EQ(a.SaveWave(file, 0), 4048);
    EXPECT_EQ(b.SaveWave(file, 4048), 4048 + 48 + 12);
    EXPECT_EQ(prog.readBytes("blocks.bin"), kMarker + leFloats(va) + kMarker + leFloats(vb));
}

TEST_F(CWaveFileTest, ABlockInTheMiddleLeavesTheRestOfTheFileAlone) {
    const std::string head(100, 'H'), tail(500, 'T');
    prog.writeBytes("mid.bin", head + std::string(48 + 8, 'x') + tail);
    CWave w;
    fill(w, {1.5f, -3.0f});
    EXPECT_EQ(w.SaveWave(prog.win("mid.bin"), 100), 156);
    EXPECT_EQ(prog.readBytes("mid.bin"), head + kMarker + leFloats({1.5f, -3.0f}) + tail);
}

TEST_F(CWaveFileTest, SaveRefusesBadCountsAndPositionsBeforeWriting) {
    CWave w;
    w.Allocate(10);  // nothing valid: nothing written, not even a file
    EXPECT_EQ(w.SaveWave(prog.win("bad.bin"), 0), 0);
    fill(w, {1, 2});
    w.PTotal(3);  // more than the buffer holds
    EXPECT_EQ(errorNumber([&] { w.SaveWave(prog.win("bad.bin"), 0); }), 9);
    w.PTotal(2);
    EXPECT_NE(errorNumber([&] { w.SaveWave(prog.win("bad.bin"), -1); }), 0);
    // The end position would not fit the 32-bit result.
    EXPECT_EQ(errorNumber([&] { w.SaveWave(prog.win("bad.bin"), INT32_MAX - 50); }), 6);
    EXPECT_FALSE(std::filesystem::exists(prog.dir() / "bad.bin"));
    EXPECT_EQ(errorNumber([&] { w.SaveWave(prog.win("nofolder\\bad.bin"), 0); }), 76);
}

TEST_F(CWaveFileTest, SavedBlocksLoadBackWhole) {
    CWave a, b, c;
    const std::vector<float> va = samples(1000, 0.5f), vb = samples(700, 3.0f);
    fill(a, va);
    fill(b, vb);
    const std::string file = prog.win("round.bin");
    const int32_t second = a.SaveWave(file, 0);
    const int32_t end = b.SaveWave(file, second);

    c.SweepPoint(700);
    EXPECT_EQ(c.LoadWave(file, 700, second), end);
    EXPECT_EQ(c.PTotal(), 700);
    std::vector<float> back(700);
    c.GetWave(back, 0, 700);
    EXPECT_EQ(back, vb);
}

TEST_F(CWaveFileTest, LoadReadsLongBlocksIntoConsecutivePoints) {
    CWave a;
    const std::vector<float> v = samples(700000, 0.125f);
    fill(a, v);
    const std::string file = prog.win("long.bin");
    const int32_t end = a.SaveWave(file, 0);  // in three chunks, with no gap between them
    EXPECT_EQ(end, 48 + 4 * 700000);
    EXPECT_EQ(prog.readBytes("long.bin"), kMarker + leFloats(v));

    // No page length: the buffer as it is, filled from point 0 on.
    CWave b;
    b.PutArray(std::vector<float>(700000, 9.0f));
    b.SweepPoint(0);
    EXPECT_EQ(b.LoadWave(file, 700000, 0), end);
    EXPECT_EQ(b.PTotal(), 700000);
    std::vector<float> back(700000);
    b.GetWave(back, 0, 700000);
    EXPECT_EQ(back, v);

    // The buffer's end stops the read.
    CWave c;
    c.SweepPoint(1000);
    EXPECT_EQ(c.LoadWave(file, 5000, 0), 48 + 4000);
    EXPECT_EQ(c.PTotal(), 1000);
    EXPECT_EQ(c.WaveValue(999), v[999]);
}

TEST_F(CWaveFileTest, AShortFileGivesThePointsItHoldsAndZerosAfterThem) {
    prog.writeBytes("short.bin", kMarker + leFloats({1, 2, 3}) + "\x01\x02");
    CWave w;
    w.SweepPoint(10);
    EXPECT_EQ(w.LoadWave(prog.win("short.bin"), 10, 0), 48 + 12);
    EXPECT_EQ(w.PTotal(), 3);
    EXPECT_EQ(w.WaveValue(2), 3.0f);
    EXPECT_EQ(w.WaveValue(3), 0.0f);  // the cut sample is not half-read
    EXPECT_EQ(w.ArrayMax(), 10);
}

TEST_F(CWaveFileTest, AMissingFileLeavesTheChannelAsItWas) {
    CWave w;
    fill(w, {4, 5});
    w.SweepPoint(2);
    EXPECT_EQ(errorNumber([&] { w.LoadWave(prog.win("missing.bin"), 2, 0); }), 53);
    EXPECT_EQ(w.WaveValue(1), 5.0f);
    EXPECT_EQ(w.PTotal(), 2);
}

TEST_F(CWaveFileTest, WriteCsvDumpsTheWholeBuffer) {
    CWave w;
    w.PutArray(std::vector<float>{1.5f, -2.0f, 3.535534f});
    w.PTotal(1);  // the dump ignores PTotal
    w.WriteCSV("ch1");
    EXPECT_EQ(prog.readBytes("Array/1_ch1.csv"), "1.5\r\n-2\r\n3.535534\r\n");
    CWave none;
    EXPECT_EQ(errorNumber([&] { none.WriteCSV("ch2"); }), 9);
}
