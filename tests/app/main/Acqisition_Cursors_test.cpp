// The monitor's cursor set: default places and the reset options, trigger-mode offsets, the
// calibration windows, the cross markers, the XOR pixels of the cursors and of their moves, and
// where a cursor stands across the window.
#include <gtest/gtest.h>

#include "tests/app/main/Acqisition_Monitor_testsupport.h"
#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/main/Acqisition.h"

using namespace qv;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlue = 0xFF0000;

// What a not-XOR pen leaves on a pixel.
constexpr uint32_t notXor(uint32_t pen, uint32_t dst) { return ~(pen ^ dst) & 0xFFFFFF; }

class Cursors : public apptest::MonitorTest {
protected:
    void setCursors(int32_t l, int32_t r, bool reset = false) { w->SetCursor(l, r, reset); }
    // A row of the picture away from the grid, the centre lines and the traces.
    static constexpr int kClearRow = 40;
};

TEST_F(Cursors, MinusOneGivesTheRecordingsStartAndOnePageEvenWhenTheWindowStartsLater) {
    GAcqParam.lPosWAVE_Start = 1000;
    setCursors(-1, -1, true);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 0);
    EXPECT_EQ(GAcqParam.Cur_R_Point, kSweep);
    EXPECT_EQ(GAcqParam.Cur_W_Point, kSweep);
    GAcqParam.PTotal = 150;  // a recording shorter than the page
    GAcqParam.lPosWAVE_Start = 0;
    setCursors(-1, -1, true);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 150);
    // A right cursor past the recording's end is pulled back to it, the width is not.
    setCursors(10, 170);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 150);
    EXPECT_EQ(GAcqParam.Cur_W_Point, 160);
}

TEST_F(Cursors, TheResetBoxesPutTheCursorsOnTheWindowOrItsCentre) {
    w->chkCurRst.setValue(1);
    GAcqParam.lPosWAVE_Start = 1000;
    int32_t l = 5, r = 6;
    w->SetCursor(l, r, true);
    EXPECT_EQ(l, 1000);  // the caller's variables get the new places
    EXPECT_EQ(r, 1200);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 1000);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 1200);
    // Without AllowReset the places asked for stand.
    setCursors(1010, 1020, false);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 1010);
    w->chkCurRstCenter.setValue(1);
    GAcqParam.lSweepPoint = 201;  // centre 1100.5: the even neighbour
    setCursors(0, 0, true);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 1100);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 1100);
    GAcqParam.lSweepPoint = 203;  // 1101.5
    setCursors(0, 0, true);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 1102);
    // The window's end past the recording: the right cursor stops at PTotal.
    w->chkCurRstCenter.setValue(0);
    GAcqParam.PTotal = 1100;
    setCursors(0, 0, true);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 1100);
}

TEST_F(Cursors, InTriggerModeTheCursorsKeepTheirPlaceWithinEachSweep) {
    GAcqCondition.strTRIGGER_SETTING = "1";
    GAcqParam.Cur_L_Offset = 20;
    GAcqParam.Cur_R_Offset = 50;
    GAcqParam.lPosWAVE_Start = 400;
    setCursors(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, true);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 420);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 450);
    GAcqParam.lPosWAVE_Start = 600;
    setCursors(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, true);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 620);
    // With the reset box the offsets become the sweep's edges.
    w->chkCurRst.setValue(1);
    setCursors(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, true);
    EXPECT_EQ(GAcqParam.Cur_L_Offset, 0);
    EXPECT_EQ(GAcqParam.Cur_R_Offset, kSweep);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 600);
}

TEST_F(Cursors, NothingHappensWhileLoadingOrWithoutARecording) {
    setCursors(30, 60);
    const int32_t handle = w->lGraphHandle;
    GAcqParam.GbLoading = true;
    setCursors(70, 90);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 30);
    EXPECT_EQ(w->lGraphHandle, handle);
    GAcqParam.GbLoading = false;
    GAcqParam.PTotal = 0;
    setCursors(70, 90, true);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 60);
    EXPECT_EQ(w->lGraphHandle, handle);
}

TEST_F(Cursors, TheCursorsAreNotXorLinesAndAMoveRestoresThePictureBehindThem) {
    setCursors(50, 150);
    draw();
    EXPECT_EQ(px(50, kClearRow), kRed);
    EXPECT_EQ(px(150, kClearRow), kBlue);
    EXPECT_EQ(px(51, kClearRow), kWhite);
    EXPECT_EQ(countInColumn(50, 0, kHeight - 1, kWhite), 0) << "the full height";
    EXPECT_EQ(px(50, 96), notXor(kRed, kTraceColour));  // over the trace

    w->MoveCurL(80.0f);
    EXPECT_EQ(px(80, kClearRow), kRed);
    EXPECT_EQ(px(50, kClearRow), kWhite);  // the old place as it was
    EXPECT_EQ(px(50, 96), kTraceColour);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 50) << "a move leaves the cursor field";
    w->MoveCurR(90.0f);
    EXPECT_EQ(px(90, kClearRow), kBlue);
    EXPECT_EQ(px(150, kClearRow), kWhite);
    // A graph of the window's coordinates: world 80 is pixel 80.
    float x = 80.0f, y = 0.0f;
    Trelm::H_CONVPIXEL(w->lGraphHandle, &x, &y);
    EXPECT_FLOAT_EQ(x, 80.0f);
    EXPECT_FLOAT_EQ(y, static_cast<float>(kHeight));
}

TEST_F(Cursors, CrossMarkersSitOnTheTracesOnlyWithTheLevelBox) {
    // The marker is 2 % of the page either way at the design width (300 of 200 pixels here).
    setCursors(50, 150);
    EXPECT_FLOAT_EQ(w->sngCrossHalf, 300.0f / kWidth * kSweep * 0.02f);
    draw();
    EXPECT_EQ(px(45, 96), kTraceColour) << "hidden without the level box";
    w->chkCurLvl.setValue(1);
    setCursors(50, 150);
    draw();
    const uint32_t onTrace = notXor(kRed, kTraceColour);
    EXPECT_EQ(px(45, 96), onTrace);
    EXPECT_EQ(px(55, 96), onTrace);
    EXPECT_EQ(px(60, 96), kTraceColour);
    EXPECT_EQ(px(145, 416), notXor(kBlue, kTraceColour));
    // The marker follows its cursor and the level there.
    DispWaveArray(100, 0) = 0.3125f;  // row 176 of the top band
    w->MoveCurL(100.0f);
    EXPECT_EQ(px(45, 96), kTraceColour);
    EXPECT_EQ(px(95, 176), kRed);
    EXPECT_EQ(px(105, 176), kRed);
    // A channel without its stored flag (so not drawn) keeps its markers hidden.
    GAcqParam.CHKWaveNo[1] = 0;
    setCursors(50, 150);
    draw();
    EXPECT_EQ(px(145, 416), kWhite);
}

TEST_F(Cursors, ThePictureWithoutWidthLeavesTheMarkersWithoutLength) {
    w->PBXMoniDisp.setWidth(0);
    setCursors(50, 150);
    EXPECT_EQ(w->sngCrossHalf, 0.0f);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 50);
}

TEST_F(Cursors, TheCalibrationWindowsReplaceTheMeasurementCursors) {
    GAcqParam.bL2LMode = true;
    GAcqParam.lPosWAVE_Start = 1000;
    w->chkCurRst.setValue(1);
    setCursors(0, 0, true);
    // A tenth of the view wide, centred at a quarter and three quarters.
    EXPECT_EQ(GAcqParam.Cal1_W_Point, 20);
    EXPECT_EQ(GAcqParam.Cal1_L_Point, 1040);
    EXPECT_EQ(GAcqParam.Cal1_R_Point, 1060);
    EXPECT_EQ(GAcqParam.Cal2_W_Point, 20);
    EXPECT_EQ(GAcqParam.Cal2_L_Point, 1140);
    EXPECT_EQ(GAcqParam.Cal2_R_Point, 1160);
    draw();
    EXPECT_EQ(px(0, kClearRow), 0x7F0000u) << "the axis, no left cursor";
    EXPECT_EQ(px(40, kClearRow), kRed);
    EXPECT_EQ(px(60, kClearRow), kRed);
    EXPECT_EQ(px(140, kClearRow), kBlue);
    EXPECT_EQ(px(160, kClearRow), kBlue);
    // A view shorter than the page: the windows are laid out on the recording's length.
    GAcqParam.PTotal = 100;
    GAcqParam.lPosWAVE_Start = 0;
    setCursors(0, 0, true);
    EXPECT_EQ(GAcqParam.Cal1_L_Point, 20);  // 25 - 5
    EXPECT_EQ(GAcqParam.Cal1_R_Point, 30);
    EXPECT_EQ(GAcqParam.Cal2_L_Point, 70);
}

TEST_F(Cursors, WhereACursorStandsAcrossTheWindow) {
    GAcqParam.lPosWAVE_Start = 1000;
    GAcqParam.Cur_L_Point = 1050;
    GAcqParam.Cur_R_Point = 1150;
    EXPECT_FLOAT_EQ(w->GetCurXRateL(), 0.25f);
    EXPECT_FLOAT_EQ(w->GetCurXRateR(), 0.75f);
    GAcqParam.Cur_L_Point = 900;
    EXPECT_FLOAT_EQ(w->GetCurXRateL(), -0.5f);
    GAcqParam.lSweepPoint = 0;  // no window: no ratio, no division
    EXPECT_EQ(w->GetCurXRateL(), 0.0f);
    EXPECT_EQ(w->GetCurXRateR(), 0.0f);
}

}  // namespace
