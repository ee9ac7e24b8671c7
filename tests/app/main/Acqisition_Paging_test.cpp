// Paging through a loaded recording: the nine move buttons with their clamps, the go-to box in
// both modes, and the "Range" label's copy down the channel table.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"

using namespace qv;

namespace {

class PagingTest : public ::testing::Test {
protected:
    void SetUp() override {
        w = &Acqisition::instance();
        driver.run([this] { w->Show(); });
    }
    void TearDown() override {
        GAcqParam = AcqParam{};
        ClearFileNameGlobals();
    }
    // A one-channel recording of `scans` at `rateHz`, loaded, then shown `page` points a page.
    void load(int32_t scans, int32_t page, int32_t rateHz = 1000, bool trigger = false) {
        apptest::RecordingSpec layout(1, rateHz, scans);
        if (trigger) {
            layout.set("Condition", "strTRIGGER_SETTING", "1");
            frmCondition::instance().optGetADBoard.setValue(true);  // a board that triggers
        }
        layout.Write(prog.dir(), "rec");
        w->chkUseCAL.setValue(1);  // identity calibration: the display shows the raw words
        ASSERT_TRUE(driver.type(w->txtFName, prog.win("rec")));
        ASSERT_TRUE(driver.click(w->cmdLoad));
        ASSERT_TRUE(driver.msgBoxes().empty()) << driver.msgBoxes().back().prompt;
        GAcqParam.lSweepPoint = page;
        GAcqParam.lPosWAVE_Start = 0;
    }
    int32_t click(forms::CommandButton& b) {
        EXPECT_TRUE(driver.click(b)) << b.Name();
        return GAcqParam.lPosWAVE_Start;
    }
    // Selects the time scale of that many milliseconds without running its handler's reset.
    void timeScale(int32_t ms) {
        for (int i = 0; i < w->cmbTimeFS.ListCount(); ++i)
            if (w->cmbTimeFS.ItemData(i) == ms) {
                RaisedFlag quiet(GAcqParam.GbLoading);
                w->cmbTimeFS.setListIndex(i);
            }
    }
    using RaisedFlag = Acqisition::RaisedFlag;

    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
};

TEST_F(PagingTest, PageButtonsStayInsideTheRecording) {
    load(10000, 1000);
    EXPECT_EQ(click(w->cmdMoveNextFirst), 9000);
    EXPECT_EQ(click(w->cmdMoveNext), 9000);
    EXPECT_EQ(DispWaveArray(999, 0), 9999.0f);  // the last page, its last point
    EXPECT_EQ(click(w->cmdMovePrev), 8000);
    EXPECT_EQ(click(w->cmdMovePrevH), 7500);
    EXPECT_EQ(click(w->cmdMovePrevFirst), 0);
    EXPECT_EQ(click(w->cmdMovePrev), 0);
    EXPECT_EQ(click(w->cmdMoveNext), 1000);
    GAcqParam.lSweepPoint = 1001;
    GAcqParam.lPosWAVE_Start = 0;
    EXPECT_EQ(click(w->cmdMoveNextH), 500);  // 500.5 to the even 500
    GAcqParam.lPosWAVE_Start = 1;
    EXPECT_EQ(click(w->cmdMoveNextH), 502);  // 501.5 to the even 502
}

TEST_F(PagingTest, ARecordingShorterThanAPageAlwaysShowsFromZero) {
    load(1000, 1500);
    EXPECT_EQ(click(w->cmdMoveNextFirst), 0);
    EXPECT_EQ(click(w->cmdMoveNext), 0);
    EXPECT_EQ(DispWaveArray.Points(), 1501);
}

TEST_F(PagingTest, EveryMoveReadsTheNewPageAndRebuildsTheCursors) {
    w->chkCurRst.setValue(1);  // the cursors follow the page
    load(10000, 1000);
    int paints = 0;
    auto watch = w->PBXMoniDisp.Paint.connect([&] { ++paints; });
    click(w->cmdMoveNext);
    EXPECT_EQ(DispWaveArray(0, 0), 1000.0f);
    EXPECT_EQ(DispWaveArray(1000, 0), 2000.0f);  // closing point: the next page's first
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 1000);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 2000);
}

TEST_F(PagingTest, OneSecondStepsFollowTheTimeScaleAndTheTriggerSetting) {
    load(10000, 1000);
    timeScale(1000);
    EXPECT_EQ(click(w->cmdMoveNext1Sec), GAcqParam.lSampleFreqHz);
    EXPECT_EQ(click(w->cmdMovePrev1Sec), 0);
    timeScale(500);  // a millisecond scale: one millisecond of samples
    EXPECT_EQ(click(w->cmdMoveNext1Sec), 1);
    // At 500 samples a second a millisecond is half a sample: 0.5 goes to 0, 1.5 to 2.
    GAcqParam.lSampleFreqHz = 500;
    GAcqParam.lPosWAVE_Start = 0;
    EXPECT_EQ(click(w->cmdMoveNext1Sec), 0);
    GAcqParam.lPosWAVE_Start = 1;
    EXPECT_EQ(click(w->cmdMoveNext1Sec), 2);
    EXPECT_EQ(click(w->cmdMovePrev1Sec), 2);  // 1.5 goes to 2 as well
}

TEST_F(PagingTest, TriggerRecordingsStepBySweepsOfTheGoToBoxAndBySamplesOfATenth) {
    load(4000, 100, 1000, true);
    GAcqParam.lSweepPoint = 100;
    GAcqParam.lPosWAVE_Start = 0;
    ASSERT_TRUE(IsTriggerSetting());
    // The button is disabled with the trigger setting on; its handler still steps by nSample.
    driver.run([&] { w->cmdMoveNext1Sec_Click(); });
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, GAcqParam.nSample);
    ASSERT_TRUE(driver.type(w->txtMoveTime, "3"));
    EXPECT_EQ(GAcqParam.lMoveWAVE_Start, 200);
    EXPECT_EQ(click(w->cmdMove), 200);
    ASSERT_TRUE(driver.type(w->txtMoveTime, "3.9"));  // the sweep number is truncated
    EXPECT_EQ(GAcqParam.lMoveWAVE_Start, 200);
    ASSERT_TRUE(driver.type(w->txtMoveTime, ""));
    EXPECT_EQ(GAcqParam.lMoveWAVE_Start, -100);
    EXPECT_EQ(click(w->cmdMove), 0);
}

TEST_F(PagingTest, TheGoToBoxMovesOnlyOnEnterOrMove) {
    load(20000, 1000);
    ASSERT_TRUE(driver.type(w->txtMoveTime, "12.5"));
    EXPECT_EQ(GAcqParam.lMoveWAVE_Start, 12500);
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, 0);
    ASSERT_TRUE(driver.focus(w->txtMoveTime));
    ASSERT_TRUE(driver.keyDown(*w, 13));
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, 12500);
    EXPECT_EQ(w->txtMoveTime.SelStart(), 0);
    EXPECT_EQ(w->txtMoveTime.SelLength(), 4);
    ASSERT_TRUE(driver.type(w->txtMoveTime, "99"));  // past the end: the last page
    ASSERT_TRUE(driver.keyDown(*w, 40));             // not Enter: nothing
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, 12500);
    EXPECT_EQ(click(w->cmdMove), 19000);
    ASSERT_TRUE(driver.type(w->txtMoveTime, "abc"));
    EXPECT_EQ(click(w->cmdMove), 0);
}

TEST_F(PagingTest, MoveButtonsEraseTheCalibrationMarksButMoveKeepsThem) {
    load(10000, 1000);
    GsngCalMark1[3][0] = 5.0f;
    GsngCalMark2[31][999] = 6.0f;
    GsngCalMarkCnt1[3] = 1.0f;
    click(w->cmdMove);
    EXPECT_EQ(GsngCalMark1[3][0], 5.0f);
    click(w->cmdMoveNext);
    EXPECT_EQ(GsngCalMark1[3][0], 0.0f);
    EXPECT_EQ(GsngCalMark2[31][999], 0.0f);
    EXPECT_EQ(GsngCalMarkCnt1[3], 1.0f);
}

TEST_F(PagingTest, PositionsBeyondThirtyTwoBitsAreAnOverflow) {
    load(10000, 1000);
    GAcqParam.PTotal = 2147483647;
    GAcqParam.lPosWAVE_Start = 2147483647 - 500;
    EXPECT_EQ(apptest::errorNumber([&] { w->cmdMoveNext_Click(); }), 6);
    GAcqParam.lPosWAVE_Start = -2147483647;
    EXPECT_EQ(apptest::errorNumber([&] { w->cmdMovePrev_Click(); }), 6);
}

TEST_F(PagingTest, RangeCopiesTheRememberedRowDownToTheLastChannelWithOneRepaint) {
    load(10000, 1000);
    GAcqCondition.lEndCH = 8;
    w->chkUseCAL.setValue(1);
    for (int32_t i = 0; i < 32; ++i) {
        w->txtDR_WaveHi(i).setText("1");
        w->txtDR_WaveLo(i).setText("-1");
        GAcqParam.DR_WaveHi[i] = 1.0f;
    }
    w->txtDR_WaveHi(5).setText("2.5");
    w->txtDR_WaveLo(5).setText("-0.1");
    w->lRangeRowEU = 5;
    w->lRangeRowRaw = 2;
    w->chkDispTable.setValue(0);  // the range label shows beside the range boxes, not the table
    int paints = 0;
    auto watch = w->PBXMoniDisp.Paint.connect([&] { ++paints; });
    ASSERT_TRUE(driver.click(w->lblRange));
    EXPECT_EQ(paints, 1);
    for (int32_t i = 0; i < 32; ++i) {
        const bool copied = i >= 5 && i <= 7;
        EXPECT_EQ(w->txtDR_WaveHi(i).Text(), copied ? "2.5" : "1") << i;
        EXPECT_EQ(w->txtDR_WaveLo(i).Text(), copied ? "-0.1" : "-1") << i;
        EXPECT_EQ(GAcqParam.DR_WaveHi[i], copied ? 2.5f : 1.0f) << i;
        if (copied) {
            EXPECT_EQ(GAcqParam.DR_WaveLo[i], -0.1f) << i;
        }
    }
    EXPECT_FALSE(GAcqParam.GbLoading);

    // The raw-value table copies from its own remembered row into its own boxes.
    w->chkUseCAL.setValue(0);
    w->txtDR_WaveHi_V(2).setText("300");
    w->txtDR_WaveLo_V(2).setText("-300");
    ASSERT_TRUE(driver.click(w->lblRange));
    for (int32_t i = 2; i <= 7; ++i) EXPECT_EQ(w->txtDR_WaveHi_V(i).Text(), "300") << i;
    EXPECT_EQ(w->txtDR_WaveHi(2).Text(), "1");
    EXPECT_EQ(GAcqParam.DR_WaveHi[4], 300.0f);
}

}  // namespace
