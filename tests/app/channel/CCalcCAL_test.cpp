// The calibration calculator: scalar and array conversions, and the L-L and P-P derivations on
// small synthetic signals.
#include "app/channel/CCalcCAL.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/app/common/IniSet_testsupport.h"
#include "app/common/TrelmImports.h"
#include "platform/kernel/Paths.h"

using namespace qv;
using qv::apptest::errorNumber;

namespace {

// Nearest integer, halves to even (the default rounding mode).
int32_t nearest(double x) { return static_cast<int32_t>(std::nearbyint(x)); }

class CalcCALTest : public ::testing::Test {
protected:
    void SetUp() override { kernel::setProgramFolder(QV_BIN_DIR); }
    void TearDown() override { kernel::setProgramFolder(""); }

    // A calculator holding `values` with the given calibration.
    CCalcCAL withSignal(const std::vector<float>& values, int32_t cal, int32_t base, float hi,
                        float lo) {
        CCalcCAL c;
        c.Cal_AD(cal);
        c.Base_AD(base);
        c.EU_HI(hi);
        c.EU_LO(lo);
        c.SetWave(values, static_cast<int32_t>(values.size()));
        return c;
    }
    void windows(CCalcCAL& c, int32_t l1, int32_t r1, int32_t l2, int32_t r2) {
        c.Cur1LPos(l1);
        c.Cur1RPos(r1);
        c.Cur2LPos(l2);
        c.Cur2RPos(r2);
    }
    std::vector<float> up, lo;
};

}  // namespace

TEST_F(CalcCALTest, ScalarConversionsRoundHalfToEvenAndRefuseZeroDivisors) {
    EXPECT_EQ(CCalcCAL::Calc_Analog2Digi(50, 2048, 0, 100, 0), 1024);
    EXPECT_EQ(CCalcCAL::Calc_Analog2Digi(0.0244140625f, 2048, 0, 100, 0), 0);  // 0.5 -> 0
    EXPECT_EQ(CCalcCAL::Calc_Analog2Digi(0.0732421875f, 2048, 0, 100, 0), 2);  // 1.5 -> 2
    EXPECT_EQ(CCalcCAL::Calc_Analog2Digi(50, 2048, 10, 100, -100), 1546);
    EXPECT_EQ(CCalcCAL::Calc_Digi2Analog(1024, 2048, 0, 100, 0), 50.0f);
    EXPECT_EQ(CCalcCAL::Calc_Digi2Analog(1034, 2048, 10, 100, 0), 50.0f);
    EXPECT_EQ(errorNumber([] { CCalcCAL::Calc_Analog2Digi(5, 2048, 0, 1, 1); }), 11);
    EXPECT_EQ(errorNumber([] { CCalcCAL::Calc_Analog2Digi(1, 2048, 0, 1, 1); }), 6);  // 0/0
    EXPECT_EQ(errorNumber([] { CCalcCAL::Calc_Digi2Analog(5, 0, 0, 100, 0); }), 11);
    EXPECT_EQ(errorNumber([] { CCalcCAL::Calc_Analog2Digi(1e9f, 32768, 0, 1, 0); }), 6);
}

TEST_F(CalcCALTest, ArrayConversionWorksInPlaceOnTheRangeOnly) {
    std::vector<float> v{10, 20, 30, 40};
    CCalcCAL::Calc_Analog2DigiAll(v, 1, 2, 2048, 5, 100, -100);
    EXPECT_EQ(v[0], 10.0f);
    EXPECT_FLOAT_EQ(v[1], 120.0f * 2048 / 200 + 5);
    EXPECT_FLOAT_EQ(v[2], 130.0f * 2048 / 200 + 5);
    EXPECT_EQ(v[3], 40.0f);
    // No span: the values stay as they are rather than turning into infinities.
    CCalcCAL::Calc_Analog2DigiAll(v, 0, 4, 2048, 5, 3, 3);
    EXPECT_EQ(v[0], 10.0f);
    EXPECT_EQ(errorNumber([&] { CCalcCAL::Calc_Analog2DigiAll(v, 3, 2, 1, 0, 1, 0); }), 9);
    EXPECT_EQ(errorNumber([&] { CCalcCAL::Calc_Analog2DigiAll(v, -1, 1, 1, 0, 1, 0); }), 9);
    EXPECT_EQ(v[3], 40.0f);
}

TEST_F(CalcCALTest, LevelToLevelTakesTheHigherWindowAsUpper) {
    CCalcCAL c = withSignal({0, 100}, 2048, 0, 100, 0);  // stored as 0 and 2048 counts
    windows(c, 1, 2, 0, 1);
    c.Calc_L2L(up, lo);
    EXPECT_EQ(c.ResCal_AD(), 2048);
    EXPECT_EQ(c.ResBase_AD(), 0);
    EXPECT_EQ(up, (std::vector<float>{2, 1}));
    EXPECT_EQ(lo, (std::vector<float>{1, 0}));
    c.Calc_L2LHalf(up, lo);
    EXPECT_EQ(c.ResCal_AD(), 1024);
    EXPECT_EQ(c.ResBase_AD(), 1024);

    windows(c, 0, 1, 1, 2);  // the second window is the upper one now
    c.Calc_L2L(up, lo);
    EXPECT_EQ(up, (std::vector<float>{2, 1}));
    EXPECT_EQ(lo, (std::vector<float>{1, 0}));
    EXPECT_EQ(c.ResCal_AD(), 2048);

    windows(c, 0, 1, 0, 1);  // equal means: window 1 is upper
    c.Calc_L2L(up, lo);
    EXPECT_EQ(c.ResCal_AD(), 0);
    EXPECT_EQ(up, (std::vector<float>{1, 0}));

    windows(c, 1, 1, 1, 2);  // an empty window averages 0
    c.Calc_L2L(up, lo);
    EXPECT_EQ(c.ResCal_AD(), 2048);
    EXPECT_EQ(c.ResBase_AD(), 0);
    EXPECT_EQ(up, (std::vector<float>{2, 1}));

    windows(c, 1, 3, 0, 1);  // reaches past the signal
    EXPECT_EQ(errorNumber([&] { c.Calc_L2L(up, lo); }), 9);
    EXPECT_EQ(c.ResCal_AD(), 2048);
}

TEST_F(CalcCALTest, HalfSpanBaseIsTheRoundedUpperLessTheHalfSpan) {
    CCalcCAL c = withSignal({3, 3, 0, 0, 0}, 1, 0, 1, 0);
    windows(c, 0, 2, 2, 5);
    c.Calc_L2LHalf(up, lo);
    EXPECT_EQ(c.ResCal_AD(), 2);   // 1.5 -> 2
    EXPECT_EQ(c.ResBase_AD(), 1);  // 3 - 2, not round(0 + 1.5)
}

TEST_F(CalcCALTest, SetWaveChecksCountsAndSpan) {
    CCalcCAL c = withSignal({0, 100}, 2048, 0, 100, 0);
    const std::vector<float> two{1, 2};
    EXPECT_EQ(errorNumber([&] { c.SetWave(two, 0); }), 9);
    EXPECT_EQ(errorNumber([&] { c.SetWave(two, 3); }), 9);
    c.EU_LO(100);
    EXPECT_EQ(errorNumber([&] { c.SetWave(two, 2); }), 11);
    windows(c, 1, 2, 0, 1);  // the earlier signal is still there
    c.Calc_L2L(up, lo);
    EXPECT_EQ(c.ResCal_AD(), 2048);
}

TEST_F(CalcCALTest, PeakToPeakReadsLevelsAtStartPlusPositions) {
    // Period 40 with growing amplitude: a shift of 100 points is half a period, so levels read
    // without the start offset would swap peaks and valleys.
    std::vector<float> s(500);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = std::round((1000.0 + 2.0 * i) * std::sin(2 * M_PI * static_cast<double>(i) / 40));
    CCalcCAL c = withSignal(s, 1, 0, 1, 0);
    const int32_t start = 100, n = 380;

    std::vector<float> pk(n), vl(n);
    int32_t np = 0, nv = 0;
    Trelm::S_PEAK(&np, pk.data(), &nv, vl.data(), s.data() + start, n, 100.0f);
    ASSERT_GT(np, 3);
    ASSERT_GT(nv, 3);
    auto meanAt = [&](const std::vector<float>& pos, int32_t count) {
        double sum = 0;
        for (int32_t i = 0; i < count; ++i) sum += s[start + static_cast<size_t>(pos[i])];
        return sum / count;
    };
    const double mp = meanAt(pk, np), mv = meanAt(vl, nv);

    std::vector<float> peaks, valleys;
    c.Calc_P2P(start, n, 100.0f, peaks, valleys);
    EXPECT_EQ(c.ResCal_AD(), nearest(mp - mv));
    EXPECT_EQ(c.ResBase_AD(), nearest(mv));
    ASSERT_EQ(peaks.size(), static_cast<size_t>(np));
    ASSERT_EQ(valleys.size(), static_cast<size_t>(nv));
    for (int32_t i = 0; i < np; ++i) EXPECT_EQ(peaks[i], pk[i] + start);
    for (int32_t i = 0; i < nv; ++i) EXPECT_EQ(valleys[i], vl[i] + start);
    EXPECT_GT(s[static_cast<size_t>(peaks[0])], 900.0f);  // positions count from index 0

    c.Calc_P2PHalf(start, n, 100.0f, peaks, valleys);
    const int32_t half = nearest((mp - mv) / 2);
    EXPECT_EQ(c.ResCal_AD(), half);
    EXPECT_EQ(c.ResBase_AD(), nearest(mp - half));

    EXPECT_EQ(errorNumber([&] { c.Calc_P2P(start, 401, 100.0f, peaks, valleys); }), 9);
    EXPECT_EQ(errorNumber([&] { c.Calc_P2P(0, 0, 100.0f, peaks, valleys); }), 9);
}

TEST_F(CalcCALTest, PeakToPeakOnAFlatSignalChangesNothing) {
    CCalcCAL c = withSignal({0, 100}, 2048, 0, 100, 0);
    windows(c, 1, 2, 0, 1);
    c.Calc_L2L(up, lo);
    c.SetWave(std::vector<float>(50, 5.0f), 50);
    std::vector<float> peaks{-1}, valleys{-2};
    c.Calc_P2P(0, 50, 1.0f, peaks, valleys);
    EXPECT_EQ(c.ResCal_AD(), 2048);
    EXPECT_EQ(c.ResBase_AD(), 0);
    EXPECT_EQ(peaks, std::vector<float>{-1});
    EXPECT_EQ(valleys, std::vector<float>{-2});
}
