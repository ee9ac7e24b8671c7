// The channel buffer: defaults, band layout, copies, arithmetic and statistics on runs,
// moving, paging, and the argument errors (30000 with "/ERR_RAISE=1", 9 always).
#include "app/channel/CWave.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <numeric>
#include <vector>

#include "tests/app/common/IniSet_testsupport.h"
#include "app/common/IniSet.h"
#include "platform/basic/Numbers.h"

using namespace qv;
using qv::apptest::errorNumber;

// Number and description of the run-time error `f` raised; the drawing tests use it too.
std::pair<int, std::string> cwaveErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const basic::RuntimeError& e) {
        return {e.number(), e.description()};
    }
    return {0, ""};
}

namespace {

std::vector<float> ramp(int n, float first = 0.0f) {
    std::vector<float> v(static_cast<size_t>(n));
    std::iota(v.begin(), v.end(), first);
    return v;
}

std::vector<float> contents(const CWave& w) {
    std::vector<float> v(static_cast<size_t>(w.ArrayMax()));
    for (int32_t i = 0; i < w.ArrayMax(); ++i) v[static_cast<size_t>(i)] = w.WaveValue(i);
    return v;
}

class CWaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_symlink(std::filesystem::path(QV_BIN_DIR) / "libTrelm.so",
                                        prog.dir() / "libTrelm.so");
        GstrErrRaise.clear();
    }
    void TearDown() override { GstrErrRaise.clear(); }
    // A channel holding `values`, all of them valid.
    static void fill(CWave& w, const std::vector<float>& values) {
        w.PutArray(values);
        w.PTotal(static_cast<int32_t>(values.size()));
    }
    apptest::TempProgramFolder prog;
};

}  // namespace

TEST_F(CWaveTest, NewChannelDefaultsAndAllocation) {
    CWave w;
    EXPECT_EQ(w.RangeHi(), 100.0f);
    EXPECT_EQ(w.RangeLo(), -100.0f);
    EXPECT_EQ(w.CHDisp(), 1);
    EXPECT_FALSE(w.IsAllocate());
    EXPECT_EQ(w.ArrayMax(), 0);
    EXPECT_EQ(w.WaveValue(5), 0.0f);
    EXPECT_EQ(errorNumber([&] { (void)w.WaveValue(-1); }), 9);
    w.Allocate(0);
    EXPECT_EQ(w.ArrayMax(), 300000);
    EXPECT_EQ(w.SweepPoint(), 300000);
    w.PTotal(7);
    w.Allocate(5000);
    EXPECT_EQ(w.ArrayMax(), 5000);
    EXPECT_EQ(w.SweepPoint(), 5000);
    EXPECT_EQ(w.PTotal(), 0);
    w.WaveValue(4999, 2.5f);
    w.WaveValue(5000, 9.0f);  // past the end: ignored
    EXPECT_EQ(w.WaveValue(4999), 2.5f);
    EXPECT_EQ(w.WaveValue(5000), 0.0f);
    EXPECT_EQ(errorNumber([&] { w.Allocate(-1); }), 9);
    EXPECT_EQ(w.ArrayMax(), 5000);
}

TEST_F(CWaveTest, BandsStackFromTheTopOfThePicture) {
    CWave w;
    w.DispNum(4);
    EXPECT_EQ(w.WindowHi(), 100.0f);  // band 0: its values in the top quarter
    EXPECT_EQ(w.WindowLo(), -700.0f);
    w.DispPos(3);
    EXPECT_EQ(w.WindowHi(), 700.0f);
    EXPECT_EQ(w.WindowLo(), -100.0f);
    w.ChMarginD(0.5f);  // half a band more at both ends
    EXPECT_EQ(w.WindowHi(), 800.0f);
    EXPECT_EQ(w.WindowLo(), -200.0f);
    w.CHWindow(1);
    EXPECT_EQ(w.WindowHi(), 100.0f);
    EXPECT_EQ(w.WindowLo(), -100.0f);
}

TEST_F(CWaveTest, MakeCopyCopiesSamplesAndLayoutButNotTheDrawingStyle) {
    CWave a, b;
    fill(a, {1, 2, 3});
    a.DispPos(2);
    a.ChMarginU(2);
    a.OffsetY(9);
    a.BandStyle(2);
    a.MakeCopy(b);
    a.WaveValue(0, 7);  // a copy, not a shared buffer
    EXPECT_EQ(contents(b), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(b.PTotal(), 3);
    EXPECT_EQ(b.DispPos(), 2);
    EXPECT_EQ(b.ChMarginU(), 2.0f);
    EXPECT_EQ(b.OffsetY(), 0.0f);
    EXPECT_EQ(b.BandStyle(), 0);
}

TEST_F(CWaveTest, CopiesAndArithmeticWorkOnTheirRunOnly) {
    CWave w;
    w.Allocate(300);
    const std::vector<float> src = ramp(50, 1);
    w.UpdateWave(src, 100, 50);
    EXPECT_EQ(w.PTotal(), 150);  // an empty channel takes the end of the update
    w.UpdateWave(src, 0, 10);
    EXPECT_EQ(w.PTotal(), 150);
    w.AddWave(src, 150, 20);
    EXPECT_EQ(w.PTotal(), 170);
    std::vector<float> out(5, -1.0f);
    w.GetWave(out, 148, 3);
    EXPECT_EQ(out, (std::vector<float>{49, 50, 1, -1, -1}));

    fill(w, {1, -2, 3, -4, 5, -6});
    w.MulcWave(10, 1, 2);
    w.DivcWave(2, 4, 2);
    w.ShiftWave(0.5f, 0, 1);
    w.SumWave(std::vector<float>{100, 200}, 3, 2);
    EXPECT_EQ(contents(w), (std::vector<float>{1.5f, -20, 30, 96, 202.5f, -3}));
    w.PTotal(4);
    w.FullRect();
    EXPECT_EQ(contents(w), (std::vector<float>{1.5f, 20, 30, 96, 202.5f, -3}));
    int32_t count = 2;
    w.OffsetWave(2, count);  // the mean of 30 and 96 off the first PTotal points
    EXPECT_EQ(contents(w), (std::vector<float>{-61.5f, -43, -33, 33, 202.5f, -3}));
}

TEST_F(CWaveTest, StatisticsLowerTheCountToTheValidPoints) {
    CWave w;
    fill(w, {9, 1, 5, 7, 100, -100});
    w.PTotal(4);
    int32_t count = 10;
    EXPECT_EQ(w.GetMax(0, count), "9,0");  // the first point is the largest
    EXPECT_EQ(count, 4);
    EXPECT_EQ(w.GetMin(0, count), "1,1");
    count = 3;
    EXPECT_EQ(w.GetP2P(1, count), "7,2,1,0");  // indices relative to the start
    count = 4;
    EXPECT_EQ(w.GetMean(0, count), "5.5");
    count = 0;
    EXPECT_EQ(w.GetRMS(0, count), "0");
    fill(w, {3, 4});
    count = 2;
    EXPECT_EQ(w.GetRMS(0, count), "3.535534");
    // From 2^24 on, adding 1 in single precision changes nothing: the hundred ones are lost.
    std::vector<float> values(101, 1.0f);
    values[0] = 4096;
    fill(w, values);
    count = 101;
    EXPECT_EQ(w.GetRMS(0, count), basic::CStr(std::sqrt(static_cast<float>(16777216.0 / 101))));

    fill(w, {0, 5, 0, 0, 6, 0, 0});
    int32_t np = -1, nv = -1;
    std::vector<float> peaks, valleys, out;
    count = 7;
    w.GetPeak(0, count, 1.0f, np, nv, peaks, valleys);
    EXPECT_EQ(peaks.size(), 7u);
    ASSERT_EQ(np, 2);
    EXPECT_EQ(peaks[1], 4.0f);
    fill(w, {1, 3, 5, 7});
    count = 4;
    w.GetCondenceWave(0, count, 2, out);
    EXPECT_EQ(out, (std::vector<float>{2, 6}));
}

TEST_F(CWaveTest, MoveWaveShiftsAndKeepsPTotalInsideTheBuffer) {
    CWave w;
    fill(w, ramp(10, 1));
    w.MoveWave(3);
    EXPECT_EQ(contents(w), (std::vector<float>{0, 0, 0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(w.PTotal(), 10);
    fill(w, ramp(10, 1));
    w.MoveWave(-3);
    EXPECT_EQ(contents(w), (std::vector<float>{4, 5, 6, 7, 8, 9, 10, 0, 0, 0}));
    EXPECT_EQ(w.PTotal(), 7);
    w.MoveWave(-9);
    EXPECT_EQ(w.PTotal(), 0);
    // Moving by the whole buffer or more forward leaves nothing behind.
    fill(w, ramp(10, 1));
    w.MoveWave(12);
    EXPECT_EQ(contents(w), std::vector<float>(10, 0.0f));
    EXPECT_EQ(w.PTotal(), 10);
    // Backward there is no run to start from: a subscript error, nothing changed.
    fill(w, ramp(10, 1));
    EXPECT_EQ(errorNumber([&] { w.MoveWave(-10); }), 9);
    EXPECT_EQ(contents(w), ramp(10, 1));
    EXPECT_EQ(w.PTotal(), 10);
}

TEST_F(CWaveTest, PagingClampsAtBothEnds) {
    CWave w;
    w.SweepPoint(3000);
    w.PTotal(10000);
    w.DispStartPoint(6000);
    w.DispNextPage(true, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(w.DispStartPoint(), 7000);  // 9000 + 3000 reaches the end
    w.DispStartPoint(1000);
    w.DispNextPage(true, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(w.DispStartPoint(), 4000);
    w.DispPrevtPage(true, nullptr, 0, 0, 0, 0);
    w.DispPrevtPage(true, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(w.DispStartPoint(), 0);
    w.PTotal(1000);
    w.DispLastPage(true, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(w.DispStartPoint(), -2000);  // no clamp
    w.DispFirstPage(true, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(w.DispStartPoint(), 0);

    w.SweepPoint(5);
    w.PTotal(100);
    w.DispNextPageHalf(true, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(w.DispStartPoint(), 2);  // 2.5 to even
    w.DispStartPoint(1);
    w.DispNextPageHalf(true, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(w.DispStartPoint(), 4);  // 3.5 to even
    w.DispPrevtPageHalf(true, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(w.DispStartPoint(), 2);  // 1.5 to even
    w.DispPrevtPageHalf(true, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(w.DispStartPoint(), 0);  // -0.5 to 0

    // A page position beyond the 32-bit range overflows instead of wrapping.
    w.DispStartPoint(INT32_MAX - 2);
    EXPECT_EQ(errorNumber([&] { w.DispNextPage(true, nullptr, 0, 0, 0, 0); }), 6);
}

TEST_F(CWaveTest, RunsOutsideTheBufferAreSubscriptErrors) {
    CWave w;
    std::vector<float> out(4);
    int32_t count = 1;
    // Nothing allocated.
    EXPECT_EQ(errorNumber([&] { w.GetMax(0, count); }), 9);
    EXPECT_EQ(errorNumber([&] { w.FullRect(); }), 9);
    EXPECT_EQ(errorNumber([&] { w.MoveWave(1); }), 9);
    EXPECT_EQ(errorNumber([&] { w.GetWave(out, 0, 1); }), 9);

    fill(w, ramp(10));
    const std::vector<float> before = contents(w);
    const std::vector<float> src = ramp(4);
    EXPECT_EQ(errorNumber([&] { w.AddWave(src, 8, 4); }), 9);     // past the end
    EXPECT_EQ(errorNumber([&] { w.UpdateWave(src, 0, 5); }), 9);  // more than the source holds
    EXPECT_EQ(errorNumber([&] { w.SumWave(src, -1, 2); }), 9);
    EXPECT_EQ(errorNumber([&] { w.MulcWave(2, 7, 4); }), 9);
    EXPECT_EQ(errorNumber([&] { w.GetWave(out, 0, 5); }), 9);     // more than the target holds
    EXPECT_EQ(errorNumber([&] { w.GetWave(out, 10, 0); }), 9);    // start past the end
    count = 5;
    EXPECT_EQ(errorNumber([&] { w.GetMean(7, count); }), 9);
    w.PTotal(11);  // claims more than the buffer holds
    EXPECT_EQ(errorNumber([&] { w.FullRect(); }), 9);
    EXPECT_EQ(contents(w), before);
    EXPECT_EQ(w.PTotal(), 11);
}

TEST_F(CWaveTest, ArgumentTestsRaise30000WithTheArgumentNamed) {
    GstrErrRaise = "1";
    CWave w;
    fill(w, ramp(10));
    const std::vector<float> before = contents(w);
    const std::vector<float> src = ramp(4);
    std::vector<float> out(4);
    const std::string big = "で指定されたサイズを下回るサイズしか確保されていません。";
    struct Case {
        std::function<void()> call;
        std::string text;
    };
    const std::vector<Case> cases = {
        {[&] { w.DivcWave(0, 0, 1); }, "sngDivC が０です。０割になります。"},
        {[&] { w.DivcWave(2, 8, 3); }, "MsngWaveのサイズが、lDivPoint + lDivNum " + big},
        {[&] { w.MulcWave(2, 9, 2); }, "MsngWaveのサイズが、lMulPoint + lMulNum " + big},
        {[&] { w.SumWave(src, 0, 5); }, "sngWaveのサイズが、lSumNum " + big},
        {[&] { w.SumWave(src, 7, 4); }, "MsngWaveのサイズが、lSumPoint + lSumNum " + big},
        {[&] { w.AddWave(src, 0, 5); }, "sngWaveのサイズが、lAddPoint " + big},
        {[&] { w.AddWave(src, 7, 4); }, "MsngWaveのサイズが、lAddPoint + lAddNum " + big},
        {[&] { w.UpdateWave(src, 0, 5); }, "sngWaveのサイズが、lUpdatePoint " + big},
        {[&] { w.UpdateWave(src, 7, 4); }, "MsngWaveのサイズが、lUpdatePoint + lUpdateNum " + big},
        {[&] { w.GetWave(out, 0, 5); }, "sngWaveのサイズが、lGetPoint" + big},
        {[&] { w.GetWave(out, 7, 4); }, "MsngWaveのサイズが、lGetPoint + lGetNum" + big},
    };
    for (const Case& c : cases) {
        const auto [number, text] = cwaveErrorOf(c.call);
        EXPECT_EQ(number, 30000) << c.text;
        EXPECT_EQ(text, c.text);
    }
    EXPECT_EQ(contents(w), before);
    EXPECT_EQ(w.PTotal(), 10);

    // An unallocated array counts as last index -1; the source is tested before the buffer.
    CWave empty;
    EXPECT_EQ(cwaveErrorOf([&] { empty.AddWave(src, 0, 1); }).second,
              "MsngWaveのサイズが、lAddPoint + lAddNum " + big);
    EXPECT_EQ(cwaveErrorOf([&] { empty.AddWave({}, 0, 1); }).second, "sngWaveのサイズが、lAddPoint " + big);

    // Without the switch the same calls fail on the subscript only; a zero divisor divides.
    GstrErrRaise = "0";
    EXPECT_EQ(errorNumber([&] { w.GetWave(out, 7, 4); }), 9);
    w.DivcWave(0, 1, 1);
    EXPECT_TRUE(std::isinf(w.WaveValue(1)));
}
