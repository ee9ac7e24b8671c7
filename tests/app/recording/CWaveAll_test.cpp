// The channel set: loading, settings, totals and the stacked drawing on a 200 x 100 picture.
#include <gtest/gtest.h>

#include <memory>

#include "app/channel/CWave.h"
#include "app/common/DaskBase.h"
#include "app/common/IniSet.h"
#include "app/recording/CWaveAll.h"
#include "tests/app/graph/CGraph_testsupport.h"

using namespace qv;
using namespace qv::graphtest;
using qv::apptest::errorNumber;

namespace {

class CWaveAllTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        InitGraphDefaults();
    }
    // `channels` channels of `points` points, sample (p, c) = 1000 c + p.
    static WaveArray samples(int32_t points, int32_t channels) {
        WaveArray a;
        a.Redim(channels, points);
        for (int32_t c = 0; c < channels; ++c)
            for (int32_t p = 0; p < points; ++p) a(p, c) = static_cast<float>(1000 * c + p);
        return a;
    }
    // Pixels of colour c in row y.
    int row(int32_t c, int y) const { return inRow(c, y); }

    CWaveAll set;
};

TEST_F(CWaveAllTest, ChannelsStartWithBandColoursByIndex) {
    const int32_t colours[4] = {0, 16711680, 255, 65280};
    for (int32_t ch = 0; ch < 64; ++ch) {
        EXPECT_EQ(set.CWave(ch)->BandColor(), colours[ch % 4]) << ch;
        EXPECT_EQ(set.CWave(ch)->RangeHi(), 100.0f);
    }
    EXPECT_EQ(set.SweepPoint(), 0);
    EXPECT_EQ(set.DivWidth(), 0.0f);
}

TEST_F(CWaveAllTest, SetWaveLoadsEachColumnAndRefusesEmptyAndWideArrays) {
    set.SetWave(samples(1000, 3));
    for (int32_t ch = 0; ch < 3; ++ch) {
        EXPECT_EQ(set.CWave(ch)->PTotal(), 1000);
        EXPECT_EQ(set.CWave(ch)->ArrayMax(), 1000);
        EXPECT_EQ(set.CWave(ch)->WaveValue(999), 1000.0f * ch + 999);
    }
    EXPECT_EQ(set.CWave(3)->PTotal(), 0);
    EXPECT_FALSE(set.CWave(3)->IsAllocate());
    EXPECT_EQ(set.SweepPoint(), 1000);

    EXPECT_EQ(errorNumber([&] { set.SetWave(WaveArray{}); }), basic::errSubscript);
    EXPECT_EQ(set.SweepPoint(), 1000);
    EXPECT_EQ(set.CWave(0)->PTotal(), 1000);

    EXPECT_EQ(errorNumber([&] { set.SetWave(samples(10, 65)); }), basic::errSubscript);
    EXPECT_EQ(set.CWave(63)->PTotal(), 10);
    EXPECT_EQ(set.CWave(63)->WaveValue(9), 63009.0f);
    EXPECT_EQ(set.SweepPoint(), 10);
}

TEST_F(CWaveAllTest, SettingsReachOneOrAllChannelsAndIndexesAreChecked) {
    set.AllocateAll(50);
    set.SweepPoint(40);
    set.DispNum(4);
    set.DispCHSel(7, 2);
    set.WaveColor(7, 0x123456);
    for (int32_t ch : {0, 33, 63}) {
        EXPECT_EQ(set.CWave(ch)->ArrayMax(), 50);
        EXPECT_EQ(set.CWave(ch)->SweepPoint(), 40);
        EXPECT_EQ(set.CWave(ch)->DispNum(), 4);
    }
    EXPECT_EQ(set.CWave(7)->DispPos(), 2);
    EXPECT_EQ(set.CWave(7)->BandColor(), 0x123456);
    for (int32_t bad : {-1, 64}) {
        EXPECT_EQ(errorNumber([&] { set.WaveColor(bad, 1); }), basic::errSubscript);
        EXPECT_EQ(errorNumber([&] { set.DispCHSel(bad, 1); }), basic::errSubscript);
        EXPECT_EQ(errorNumber([&] { set.CWave(bad); }), basic::errSubscript);
        EXPECT_EQ(errorNumber([&] { set.CWave(bad, std::make_shared<CWave>()); }), basic::errSubscript);
        EXPECT_EQ(errorNumber([&] { set.Delete(bad); }), basic::errSubscript);
        EXPECT_EQ(errorNumber([&] { set.Copy(0, bad); }), basic::errSubscript);
        EXPECT_EQ(errorNumber([&] { set.Copy(bad, 0); }), basic::errSubscript);
    }
    // A replaced slot, and an emptied one that is made anew when touched.
    auto mine = std::make_shared<CWave>();
    set.CWave(9, mine);
    EXPECT_EQ(set.CWave(9), mine);
    set.CWave(9, nullptr);
    EXPECT_NE(set.CWave(9), nullptr);
    EXPECT_NE(set.CWave(9), mine);
}

TEST_F(CWaveAllTest, CopyAndDelete) {
    set.SetWave(samples(100, 3));
    set.DispCHSel(2, 3);
    set.CWave(2)->RangeHi(40);
    set.CWave(2)->WaveGraphAll(pic);
    set.Copy(2, 5);
    EXPECT_EQ(set.CWave(5)->PTotal(), 100);
    EXPECT_EQ(set.CWave(5)->WaveValue(7), 2007.0f);
    EXPECT_EQ(set.CWave(5)->BandColor(), 255);
    EXPECT_EQ(set.CWave(5)->DispPos(), 3);
    EXPECT_EQ(set.CWave(5)->RangeHi(), 40.0f);
    EXPECT_EQ(set.CWave(5)->WaveGraphAll(), pic);
    EXPECT_EQ(set.CWave(2)->WaveValue(7), 2007.0f);
    set.Delete(2);
    EXPECT_EQ(set.CWave(2)->PTotal(), 0);
    EXPECT_FALSE(set.CWave(2)->IsAllocate());
    EXPECT_EQ(set.CWave(5)->PTotal(), 100);
}

TEST_F(CWaveAllTest, PTotalMaxFillsTheListAndNeedsOne) {
    set.CWave(3)->PTotal(5);
    set.CWave(20)->PTotal(120);
    set.CWave(40)->PTotal(40);
    EXPECT_EQ(set.PTotalMax(), 0);
    forms::ListBox list("lstTotals");
    list.Sorted = true;
    set.lstPTotalMax(&list);
    EXPECT_EQ(set.PTotalMax(), 120);
    ASSERT_EQ(list.ListCount(), 64);
    EXPECT_EQ(list.List(63), "0000000120");
    EXPECT_EQ(list.List(62), "0000000040");
    EXPECT_EQ(list.List(0), "0000000000");
    EXPECT_EQ(set.PTotalMax(), 120);  // cleared before it is filled again
    EXPECT_EQ(list.ListCount(), 64);
}

TEST_F(CWaveAllTest, DispWaveAllDrawsBandLinesAndTheTracesInTheirColours) {
    set.DispWaveAll(0);  // no picture bound: nothing
    EXPECT_EQ(notWhite(), 0);
    WaveArray a;
    a.Redim(2, 100);
    for (int32_t p = 0; p < 100; ++p) a(p, 0) = a(p, 1) = 50;
    set.SetWave(a);
    set.DispNum(4);
    set.DispCHSel(1, 2);
    set.WaveGraphAll(pic);
    set.CWave(0)->WaveGraphAll(pic);
    set.CWave(1)->WaveGraphAll(pic);
    set.DispWaveAll(0);
    // Band lines at y = 0.5, 1, ... 3.5 of a 0..4 window: rows 87, 75, 62, 50, 37, 25, 12.
    const int32_t grid = GAxisBoxOpt[2];
    for (int y : {87, 75, 62, 50, 37, 25, 12}) EXPECT_GT(row(grid, y), 20) << y;
    for (int y : {80, 70, 45, 30}) EXPECT_EQ(row(grid, y), 0) << y;
    // Channel 0 in band 0 of 4: -700..100, value 50 at row 6; channel 1 in band 2: -300..500,
    // row 56. Black and blue.
    EXPECT_GE(row(0x000000, 6), 190);
    EXPECT_GE(row(kBlue, 56), 190);
    EXPECT_EQ(row(kBlue, 6), 0);
}

TEST_F(CWaveAllTest, DispWaveAll2BindsEveryChannelAndSkipsTheEmptyOnes) {
    set.DispWaveAll2(0, nullptr);  // nothing to draw on
    EXPECT_EQ(notWhite(), 0);
    set.AllocateAll(100);  // every channel has a buffer, none has points
    WaveArray a;
    a.Redim(1, 100);
    for (int32_t p = 0; p < 100; ++p) a(p, 0) = 50;
    set.SetWave(a);
    set.DispNum(1);
    constexpr int32_t kGreen = 0x00FF00;  // channel 63's colour
    set.DispWaveAll2(0, pic);
    for (int32_t ch = 0; ch < 64; ++ch) EXPECT_EQ(set.CWave(ch)->WaveGraphAll(), pic) << ch;
    EXPECT_EQ(row(kGreen, 50) + row(kRed, 50), 0);  // the empty channels' zeros: not drawn
    EXPECT_GE(row(0x000000, 25), 190);              // channel 0: value 50 of -100..100
    // Drawn through their own pictures, the empty channels draw their zeros, the last on top.
    set.WaveGraphAll(pic);
    set.DispWaveAll(0);
    EXPECT_GE(row(kGreen, 50), 190);
}

}  // namespace
