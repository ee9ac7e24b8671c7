// Calibrating channels from the loaded page, headless on recordings of the test generator: the
// two steps of L-L and L-L/2, P-P and P-P/2 on square waves, the marks they leave, the record
// array in force, the loading and clearing paths, and every channel that cannot be measured.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/app/main/Acqisition_Calibration_testsupport.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Globals.h"

using namespace qv;
using apptest::RecordingSpec;

namespace {

class CalibrationTest : public apptest::CalibrationWindowTest {
protected:
    // The page from scan 100, then the two calibration windows placed on it (absolute
    // positions) while the L-L box is ticked.
    void secondPage() {
        ASSERT_TRUE(driver.click(w->cmdMoveNext));
        ASSERT_EQ(GAcqParam.lPosWAVE_Start, kPage);
    }
    static void windows(int32_t l1, int32_t r1, int32_t l2, int32_t r2) {
        GAcqParam.Cal1_L_Point = l1;
        GAcqParam.Cal1_R_Point = r1;
        GAcqParam.Cal2_L_Point = l2;
        GAcqParam.Cal2_R_Point = r2;
    }
    void setBox(forms::CheckBox& box, int value) {
        driver.run([&] { box.setValue(value); });
    }
    void run(void (Acqisition::*tool)()) { driver.run(std::bind(tool, w)); }
    std::vector<float> marks(const CalMarkArray& set, const std::array<float, 32>& counts, int ch) const {
        const auto c = static_cast<size_t>(ch);
        return std::vector<float>(set[c].begin(), set[c].begin() + static_cast<int>(counts[c]));
    }
    // The recorded rows as the recording's calibration fills them.
    void resetRows() {
        for (int ch : {1, 2, 3}) {
            w->txtBASEAD(ch).setText("0");
            w->txtCALAD(ch).setText("1");
        }
    }
    // A row the tools left as it was: its old texts and no marks.
    void expectUntouched(int ch, const std::string& base = "0", const std::string& cal = "1") {
        EXPECT_EQ(w->txtBASEAD(ch).Text(), base) << ch;
        EXPECT_EQ(w->txtCALAD(ch).Text(), cal) << ch;
        EXPECT_EQ(GsngCalMarkCnt1[static_cast<size_t>(ch)], 0) << ch;
        EXPECT_EQ(GsngCalMarkCnt2[static_cast<size_t>(ch)], 0) << ch;
    }
};

// ---- L-L ----

TEST_F(CalibrationTest, TickingLLOnlyShowsTheWindowsAndUntickingMeasuresEveryTickedRecordedRow) {
    load(stepRecording(1000, 3048));
    secondPage();
    w->chkCal(0).setValue(1);  // ticked, but channel 1 is not recorded
    w->chkCal(1).setValue(1);
    w->chkCal(3).setValue(1);  // row 2 stays unticked
    GsngCalMarkCnt1[5] = 3;
    GsngCalMark1[5][0] = 42;

    setBox(w->chkL2L, 1);
    EXPECT_EQ(GAcqParam.ModeString, "L-L");
    EXPECT_TRUE(GAcqParam.bL2LMode);
    EXPECT_EQ(GsngCalMarkCnt1[5], 0);  // the old marks are gone
    EXPECT_EQ(GsngCalMark1[5][0], 0);
    expectUntouched(1);

    windows(110, 120, 160, 170);  // window 1 on the low level, window 2 on the high one
    setBox(w->chkL2L, 0);
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_FALSE(GAcqParam.bL2LMode);
    for (int ch : {1, 3}) {
        EXPECT_EQ(w->txtBASEAD(ch).Text(), "1000") << ch;
        EXPECT_EQ(w->txtCALAD(ch).Text(), "2048") << ch;
        // Set 1 is the window with the higher mean, right edge first.
        EXPECT_EQ(marks(GsngCalMark1, GsngCalMarkCnt1, ch), (std::vector<float>{170, 160})) << ch;
        EXPECT_EQ(marks(GsngCalMark2, GsngCalMarkCnt2, ch), (std::vector<float>{120, 110})) << ch;
    }
    expectUntouched(2);
    EXPECT_EQ(w->txtBASEAD(0).Text(), "0");  // outside the recording: not even a row of it
    EXPECT_EQ(GsngCalMarkCnt1[0], 0);
    EXPECT_TRUE(driver.msgBoxes().empty());
}

TEST_F(CalibrationTest, TheWindowsTheTickShowsAreMeasuredWhereTheyStand) {
    load(stepRecording(1000, 3048));
    secondPage();
    w->chkCal(1).setValue(1);
    setBox(w->chkL2L, 1);
    // A tenth of the page wide, centred at a quarter and three quarters of it.
    EXPECT_EQ(GAcqParam.Cal1_L_Point, 120);
    EXPECT_EQ(GAcqParam.Cal1_R_Point, 130);
    EXPECT_EQ(GAcqParam.Cal2_L_Point, 170);
    EXPECT_EQ(GAcqParam.Cal2_R_Point, 180);
    setBox(w->chkL2L, 0);
    EXPECT_EQ(w->txtBASEAD(1).Text(), "1000");
    EXPECT_EQ(w->txtCALAD(1).Text(), "2048");
    EXPECT_EQ(marks(GsngCalMark1, GsngCalMarkCnt1, 1), (std::vector<float>{180, 170}));
}

TEST_F(CalibrationTest, EveryToolPutsTheMeasurementCursorsBackAtTheirDefaultPlaces) {
    load(stepRecording(1000, 3048));
    secondPage();
    w->chkCal(1).setValue(1);
    // Where a fresh cursor set puts them, found once with the cursors elsewhere.
    GAcqParam.Cur_L_Point = 137;
    GAcqParam.Cur_R_Point = 141;
    int32_t left = -1, right = -1;
    w->SetCursor(left, right, true);
    const int32_t defaultL = GAcqParam.Cur_L_Point, defaultR = GAcqParam.Cur_R_Point;
    ASSERT_TRUE(defaultL != 137 || defaultR != 141);

    auto moveCursors = [] {
        GAcqParam.Cur_L_Point = 137;
        GAcqParam.Cur_R_Point = 141;
    };
    for (forms::CheckBox* box : {&w->chkL2L, &w->chkL2LHalf}) {
        setBox(*box, 1);
        moveCursors();
        setBox(*box, 0);
        EXPECT_EQ(GAcqParam.Cur_L_Point, defaultL) << box->Name();
        EXPECT_EQ(GAcqParam.Cur_R_Point, defaultR) << box->Name();
    }
    using Handler = void (Acqisition::*)();
    const std::array<Handler, 2> buttons{&Acqisition::cmdP2P_Click, &Acqisition::cmdP2PHalf_Click};
    for (const Handler tool : buttons) {
        moveCursors();
        run(tool);
        EXPECT_EQ(GAcqParam.Cur_L_Point, defaultL);
        EXPECT_EQ(GAcqParam.Cur_R_Point, defaultR);
    }
}

TEST_F(CalibrationTest, HalfLLWritesHalfTheSpanAboveTheMiddle) {
    load(stepRecording(1000, 3048));
    w->chkCal(2).setValue(1);
    setBox(w->chkL2LHalf, 1);
    EXPECT_EQ(GAcqParam.ModeString, "L-L/2");
    EXPECT_TRUE(GAcqParam.bL2LMode);
    windows(60, 70, 10, 20);  // now window 1 is the high one
    setBox(w->chkL2LHalf, 0);
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_EQ(w->txtCALAD(2).Text(), "1024");
    EXPECT_EQ(w->txtBASEAD(2).Text(), "2024");
    EXPECT_EQ(marks(GsngCalMark1, GsngCalMarkCnt1, 2), (std::vector<float>{70, 60}));
    EXPECT_EQ(marks(GsngCalMark2, GsngCalMarkCnt2, 2), (std::vector<float>{20, 10}));
}

TEST_F(CalibrationTest, AnEmptyOrReversedWindowReadsAsZero) {
    load(stepRecording(1000, 3048));
    w->chkCal(1).setValue(1);
    setBox(w->chkL2L, 1);
    windows(10, 20, 70, 70);
    setBox(w->chkL2L, 0);
    EXPECT_EQ(w->txtBASEAD(1).Text(), "0");
    EXPECT_EQ(w->txtCALAD(1).Text(), "1000");
    setBox(w->chkL2L, 1);
    windows(80, 60, 10, 20);  // reversed: 0, the other 1000
    setBox(w->chkL2L, 0);
    EXPECT_EQ(w->txtCALAD(1).Text(), "1000");
    EXPECT_EQ(marks(GsngCalMark1, GsngCalMarkCnt1, 1), (std::vector<float>{20, 10}));
    EXPECT_EQ(marks(GsngCalMark2, GsngCalMarkCnt2, 1), (std::vector<float>{60, 80}));
}

TEST_F(CalibrationTest, WhileCodeClearsTheBoxOnlyTheModeEnds) {
    load(stepRecording(1000, 3048));
    w->chkCal(1).setValue(1);
    setBox(w->chkL2L, 1);
    windows(10, 20, 60, 70);
    w->bCalCheckReset = true;
    setBox(w->chkL2L, 0);
    w->bCalCheckReset = false;
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_FALSE(GAcqParam.bL2LMode);
    expectUntouched(1);
}

// ---- P-P ----

TEST_F(CalibrationTest, PeakToPeakMeasuresSquareWavesAndSkipsAFlatOne) {
    RecordingSpec layout(3, kPage, 3 * kPage, 2);
    // Row 1: a square wave of period 20 between 1000 and 3000; row 2 flat; row 3 the same
    // square wave shifted by 5 scans.
    layout.sample = [](int32_t p, int32_t c) -> int16_t {
        if (c == 1) return 500;
        const int32_t q = c == 2 ? p + 5 : p;
        return (q / 10) % 2 == 0 ? 1000 : 3000;
    };
    load(layout);
    secondPage();
    GAcqCondition.lP2PHist = 1024;
    for (int ch : {1, 2, 3}) w->chkCal(ch).setValue(1);
    const std::string modeBefore = GAcqParam.ModeString;

    run(&Acqisition::cmdP2P_Click);
    EXPECT_EQ(GAcqParam.ModeString, modeBefore);
    for (int ch : {1, 3}) {
        EXPECT_EQ(w->txtCALAD(ch).Text(), "2000") << ch;
        EXPECT_EQ(w->txtBASEAD(ch).Text(), "1000") << ch;
        const std::vector<float> maxima = marks(GsngCalMark1, GsngCalMarkCnt1, ch);
        const std::vector<float> minima = marks(GsngCalMark2, GsngCalMarkCnt2, ch);
        EXPECT_GE(maxima.size(), 4u) << ch;
        EXPECT_GE(minima.size(), 4u) << ch;
        // Absolute positions on the page, each on its own level.
        const int shift = ch == 3 ? 5 : 0;
        for (float m : maxima) {
            ASSERT_GE(m, kPage);
            ASSERT_LT(m, 2 * kPage);
            EXPECT_EQ((static_cast<int>(m) + shift) / 10 % 2, 1) << m;
        }
        for (float m : minima) EXPECT_EQ((static_cast<int>(m) + shift) / 10 % 2, 0) << m;
    }
    expectUntouched(2);

    run(&Acqisition::cmdP2PHalf_Click);
    EXPECT_EQ(w->txtCALAD(1).Text(), "1000");
    EXPECT_EQ(w->txtBASEAD(1).Text(), "2000");
    expectUntouched(2);
}

TEST_F(CalibrationTest, MoreThanAThousandMaximaKeepAThousandMarksAndAllCountInTheMean) {
    load(stepRecording(0, 0));
    // A page of 5000 points with a maximum every 4: 1250 maxima, the 100 from the 1000th on
    // at 4000, the others at 3000; every minimum at 1000.
    const int32_t n = 5000;
    GAcqParam.lSweepPoint = n;
    GAcqParam.lPosWAVE_Start = 0;
    DispWaveArray.Redim(3, n + 1);
    for (int32_t p = 0; p <= n; ++p) {
        const int32_t cycle = p / 4;
        const float high = cycle >= 1000 && cycle < 1100 ? 4000.0f : 3000.0f;
        DispWaveArray(p, 0) = p % 4 < 2 ? 1000.0f : high;
    }
    GAcqCondition.lP2PHist = 1024;
    w->chkCal(1).setValue(1);
    run(&Acqisition::cmdP2P_Click);
    EXPECT_EQ(GsngCalMarkCnt1[1], 1000);
    EXPECT_GE(GsngCalMarkCnt2[1], 1000);
    EXPECT_LT(GsngCalMark1[1][999], 4000.0f);  // the marks stop before the high maxima
    // Mean of the maxima (1150 x 3000 + 100 x 4000) / 1250 = 3080, give or take an edge one.
    EXPECT_EQ(w->txtCALAD(1).Text(), "2080");
    EXPECT_EQ(w->txtBASEAD(1).Text(), "1000");
}

// ---- The conversion back to counts and the flags ----

TEST_F(CalibrationTest, TheRecordArrayInForceFollowsUseCalAtTheRun) {
    load(stepRecording(1000, 3048));
    w->chkCal(1).setValue(1);
    auto measure = [&] {
        setBox(w->chkL2L, 1);
        windows(10, 20, 60, 70);
        setBox(w->chkL2L, 0);
        return w->txtBASEAD(1).Text();
    };
    // The page holds the words themselves; the arrays differ only in their base.
    GCalRecEU[1].Base_AD = 100;
    GCalRecVolt[1].Base_AD = 7;
    EXPECT_EQ(measure(), "1100");

    w->chkUseCAL.setValue(0);  // the page is read again in input volts
    ASSERT_FLOAT_EQ(DispWaveArray(10, 0), 1000.0f * 5.0f / 2048.0f);
    EXPECT_EQ(measure(), "1000");
    GCalRecEU[1].Base_AD = 100;
    GCalRecVolt[1].Base_AD = 7;
    EXPECT_EQ(measure(), "1007");
    EXPECT_EQ(w->txtCALAD(1).Text(), "2048");
}

TEST_F(CalibrationTest, WhileLoadingResultsAreWrittenButNothingIsRedrawn) {
    load(stepRecording(1000, 3048));
    w->chkCal(1).setValue(1);
    GAcqCondition.lP2PHist = 1024;
    int paints = 0;
    auto counter = w->PBXMoniDisp.Paint.connect([&] { ++paints; });
    GAcqParam.GbLoading = true;
    GAcqParam.Cur_L_Point = 37;
    GAcqParam.Cur_R_Point = 41;
    setBox(w->chkL2LHalf, 1);
    EXPECT_EQ(GAcqParam.ModeString, "L-L/2");
    windows(10, 20, 60, 70);
    setBox(w->chkL2LHalf, 0);
    EXPECT_EQ(w->txtCALAD(1).Text(), "1024");
    setBox(w->chkL2L, 1);
    EXPECT_EQ(GAcqParam.ModeString, "L-L");
    windows(10, 20, 60, 70);
    setBox(w->chkL2L, 0);
    EXPECT_EQ(w->txtCALAD(1).Text(), "2048");
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 37);  // the cursors were not made anew
    EXPECT_EQ(GAcqParam.Cur_R_Point, 41);
    GAcqParam.GbLoading = false;
    run(&Acqisition::cmdP2P_Click);
    EXPECT_GT(paints, 0);
}

// ---- Channels that cannot be measured ----

TEST_F(CalibrationTest, AChannelThatCannotBeMeasuredIsLeftAsItWas) {
    load(stepRecording(1000, 3048));
    GAcqCondition.lP2PHist = 1024;
    for (int ch : {1, 2}) w->chkCal(ch).setValue(1);

    // No span in the calibration in force: only that channel is skipped.
    const CalRecord kept = GCalRecEU[1];
    GCalRecEU[1].EU_HI = GCalRecEU[1].EU_LO;
    setBox(w->chkL2L, 1);
    windows(10, 20, 60, 70);
    setBox(w->chkL2L, 0);
    expectUntouched(1);
    EXPECT_EQ(w->txtCALAD(2).Text(), "2048");
    EXPECT_EQ(GAcqParam.ModeString, "End");
    GCalRecEU[1] = kept;
    resetRows();

    // A window reaching past the page's end.
    setBox(w->chkL2L, 1);
    windows(10, 20, 60, kPage + 1);
    setBox(w->chkL2L, 0);
    expectUntouched(1);
    expectUntouched(2);
    EXPECT_EQ(GAcqParam.ModeString, "End");

    // A window starting before the page.
    setBox(w->chkL2L, 1);
    windows(-1, 20, 60, 70);
    setBox(w->chkL2L, 0);
    expectUntouched(1);

    // A channel of the range that has no column in the page.
    DispWaveArray.Redim(1, kPage + 1);
    for (int p = 0; p <= kPage; ++p) DispWaveArray(p, 0) = p < 50 ? 1000.0f : 3048.0f;
    setBox(w->chkL2L, 1);
    windows(10, 20, 60, 70);
    setBox(w->chkL2L, 0);
    EXPECT_EQ(w->txtCALAD(1).Text(), "2048");
    expectUntouched(2);
    resetRows();

    // A record whose count has no 32 bits, and a span so small that the levels have none.
    GCalRecEU[1].Cal_AD = 1e12f;
    run(&Acqisition::cmdP2P_Click);
    expectUntouched(1);
    GCalRecEU[1] = kept;
    GCalRecEU[1].EU_HI = 1e-30f;
    setBox(w->chkL2L, 1);
    windows(10, 20, 60, 70);
    setBox(w->chkL2L, 0);
    expectUntouched(1);
    EXPECT_EQ(GAcqParam.ModeString, "End");
    GCalRecEU[1] = kept;

    // An empty page, then no recording at all.
    GAcqParam.lSweepPoint = 0;
    run(&Acqisition::cmdP2P_Click);
    expectUntouched(1);
    GAcqParam.lSweepPoint = kPage;
    GAcqParam.PTotal = 0;
    run(&Acqisition::cmdP2P_Click);
    expectUntouched(1);
    EXPECT_TRUE(driver.msgBoxes().empty());
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(CalibrationTest, ClearCALMarkEmptiesPositionsAndCounts) {
    GsngCalMark1[31][999] = 5;
    GsngCalMark2[0][0] = 6;
    GsngCalMarkCnt1[31] = 1000;
    GsngCalMarkCnt2[0] = 1;
    w->ClearCALMark();
    EXPECT_EQ(GsngCalMark1[31][999], 0);
    EXPECT_EQ(GsngCalMark2[0][0], 0);
    EXPECT_EQ(GsngCalMarkCnt1[31], 0);
    EXPECT_EQ(GsngCalMarkCnt2[0], 0);
}

TEST_F(CalibrationTest, TheFilterWarningSwitchesToTheUnfilteredTrace) {
    w->chkDispRaw.setValue(0);
    driver.answerMsgBox(forms::vbOK);
    driver.run([&] { w->DispAlartCAL(); });
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].style, 48);
    EXPECT_EQ(driver.msgBoxes()[0].prompt,
              "フィルターを利用した波形からCAL設定をしようとしています。\r\n"
              "フィルターを利用していない波形（ＲのチェックボックスがOnの時に表示される赤線波形）"
              "からCAL設定を行います。");
    EXPECT_EQ(w->chkDispRaw.Value(), 1);
}

}  // namespace
