// The mouse on the monitor: hover and pointer shapes, cursor drags that never cross, the
// right-button drag at a kept distance, the calibration-window edges, the middle-button range
// drag and the pan.
#include <gtest/gtest.h>

#include "tests/app/main/Acqisition_Monitor_testsupport.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"

using namespace qv;

namespace {

constexpr int kLeft = 1, kRight = 2, kMiddle = 4;
constexpr int kShift = 1;
constexpr float kRow = 40.0f;  // a row away from the traces

class Mouse : public apptest::MonitorTest {
protected:
    void SetUp() override {
        MonitorTest::SetUp();
        place(50, 150);
    }
    void place(int32_t l, int32_t r) { w->SetCursor(l, r, false); }
    bool move(float x, float y = kRow, int button = 0, int shift = 0) {
        return driver.mouseMove(w->PBXMoniDisp, button, shift, x, y);
    }
    // Hover over x, press there and drag to each of the xs in turn.
    void drag(int button, float from, std::initializer_list<float> to, float y = kRow) {
        move(from, y);
        driver.mouseDown(w->PBXMoniDisp, button, 0, from, y);
        for (float x : to) move(x, y, button);
    }
    void release(int button, float x = 0, float y = kRow) { driver.mouseUp(w->PBXMoniDisp, button, 0, x, y); }
    int32_t L() const { return GAcqParam.Cur_L_Point; }
    int32_t R() const { return GAcqParam.Cur_R_Point; }
};

TEST_F(Mouse, HoveringOverACursorPicksItAndShowsItsPointer) {
    move(54);
    EXPECT_EQ(w->lCurSel, 0);
    EXPECT_EQ(w->PBXMoniDisp.MousePointer, 9);
    move(56);
    EXPECT_EQ(w->lCurSel, -1);
    EXPECT_EQ(w->PBXMoniDisp.MousePointer, 0);
    move(146);
    EXPECT_EQ(w->lCurSel, 1);
    // A cross marker is never picked, even where its row is hit.
    w->chkCurLvl.setValue(1);
    place(50, 150);
    move(100, 96);
    EXPECT_EQ(w->lCurSel, -1);
}

TEST_F(Mouse, CalibrationEdgesArePickedOnlyAwayFromTheHiddenCursors) {
    GAcqParam.bL2LMode = true;
    place(0, 200);  // windows 40..60 and 140..160
    move(41);
    EXPECT_EQ(w->lCurSel, 2);
    EXPECT_EQ(w->PBXMoniDisp.MousePointer, 15);
    move(158);
    EXPECT_EQ(w->lCurSel, 5);
    move(4);  // the hidden left cursor
    EXPECT_EQ(w->lCurSel, -1);
    // An edge within 5 pixels of a hidden cursor: the lower-numbered hidden one wins and is
    // then discarded.
    place(43, 200);
    move(40);
    EXPECT_EQ(w->lCurSel, -1);
}

TEST_F(Mouse, TheLeftCursorFollowsTheMouseAndTakesOverTheRightOneWhenItMeetsIt) {
    drag(kLeft, 50, {80});
    EXPECT_EQ(L(), 80);
    EXPECT_EQ(px(80, static_cast<int>(kRow)), 0x0000FFu);
    EXPECT_EQ(w->LBLCurTime_L.Caption(), "0.08000");
    EXPECT_EQ(GAcqParam.Cur_L_Offset, 80);
    move(170, kRow, kLeft);  // past the right cursor: pinned there, the drag goes on as it
    EXPECT_EQ(L(), 150);
    EXPECT_EQ(R(), 150);
    EXPECT_EQ(w->lCurSel, 1);
    move(180, kRow, kLeft);
    EXPECT_EQ(L(), 150);
    EXPECT_EQ(R(), 180);
    move(100, kRow, kLeft);  // back past the left one: it takes over again
    move(90, kRow, kLeft);
    EXPECT_EQ(L(), 90);
    EXPECT_EQ(R(), 150);
    EXPECT_LE(L(), R());
    move(-30, kRow, kLeft);  // outside the picture: the window's start
    EXPECT_EQ(L(), 0);
    release(kLeft);
    EXPECT_FALSE(w->bCurDrag);
    move(20, kRow);  // no drag after the release
    EXPECT_EQ(L(), 0);
}

TEST_F(Mouse, ACursorStopsAtTheWindowsEndAndAtTheRecordingsEnd) {
    GAcqParam.lPosWAVE_Start = 0;
    drag(kLeft, 150, {260});
    EXPECT_EQ(R(), kSweep);
    GAcqParam.PTotal = 170;
    move(190, kRow, kLeft);
    EXPECT_EQ(R(), 170);
}

TEST_F(Mouse, TheRightButtonDragsBothCursorsAtTheirDistance) {
    drag(kRight, 50, {70});
    EXPECT_EQ(L(), 70);
    EXPECT_EQ(R(), 170);
    move(120, kRow, kRight);  // the right cursor would leave the window
    EXPECT_EQ(L(), 100);
    EXPECT_EQ(R(), 200);
    GAcqParam.PTotal = 180;  // or pass the recording's end
    move(120, kRow, kRight);
    EXPECT_EQ(L(), 80);
    EXPECT_EQ(R(), 180);
    release(kRight);
    // Dragging the right cursor: the left one stops at the window's start.
    GAcqParam.PTotal = 100000;
    place(50, 150);
    drag(kRight, 150, {60});
    EXPECT_EQ(R(), 100);
    EXPECT_EQ(L(), 0);
}

TEST_F(Mouse, CalibrationEdgesMoveAndVerticalMotionWidensOrNarrowsByAtLeastOneSample) {
    GAcqParam.bL2LMode = true;
    place(0, 200);
    draw();
    drag(kLeft, 40, {30}, 200);
    EXPECT_EQ(GAcqParam.Cal1_L_Point, 30);
    EXPECT_EQ(GAcqParam.Cal1_R_Point, 50);
    EXPECT_EQ(GAcqParam.Cal1_W_Point, 20);
    EXPECT_EQ(px(30, 200), 0x0000FFu);
    EXPECT_EQ(px(50, 200), 0x0000FFu);
    EXPECT_EQ(px(45, 200), 0xFFFFFFu);
    move(30, 199, kLeft);  // a pixel up: one sample wider
    EXPECT_EQ(GAcqParam.Cal1_R_Point, 51);
    EXPECT_EQ(GAcqParam.Cal1_W_Point, 21);
    move(30, 201, kLeft);  // two pixels down: one sample narrower
    EXPECT_EQ(GAcqParam.Cal1_W_Point, 20);
    move(30, 500, kLeft);  // far down: two pixels wide at least
    EXPECT_EQ(GAcqParam.Cal1_L_Point, 30);
    EXPECT_EQ(GAcqParam.Cal1_R_Point, 32);
    release(kLeft);
    // The right edge of the second window, then its left edge pushed to the view's end.
    drag(kLeft, 160, {198}, 300);
    EXPECT_EQ(GAcqParam.Cal2_R_Point, 198);
    EXPECT_EQ(GAcqParam.Cal2_L_Point, 178);
    move(250, 300, kLeft);
    EXPECT_EQ(GAcqParam.Cal2_R_Point, 200);
    EXPECT_EQ(GAcqParam.Cal2_L_Point, 180);
    release(kLeft);
    drag(kLeft, 180, {199}, 300);
    EXPECT_EQ(GAcqParam.Cal2_L_Point, 199);
    EXPECT_EQ(GAcqParam.Cal2_R_Point, 200) << "only at the view's edge below two pixels";
    EXPECT_EQ(GAcqParam.Cal2_W_Point, 1);
    // The measurement cursors stay where they were.
    EXPECT_EQ(L(), 0);
}

TEST_F(Mouse, TheMiddleButtonDragsTheNearestChannelsRangeWithTheMouse) {
    draw();
    w->chkCopy(0).setValue(1);   // a symmetric range, which the drag gives up
    w->txtDR_WaveLo(0).setText("0");
    driver.mouseDown(w->PBXMoniDisp, kMiddle, 0, 100, 100);
    EXPECT_TRUE(w->bRangeDrag);
    EXPECT_EQ(w->lRangeDragCH, 0);
    move(100, 100 - 256, kMiddle);  // up by one band: both limits down by one span
    EXPECT_EQ(w->chkCopy(0).Value(), 0);
    EXPECT_EQ(w->txtDR_WaveLo(0).Text(), "-1");
    EXPECT_EQ(w->txtDR_WaveHi(0).Text(), "0");
    move(100, 100 + 128, kMiddle);  // half a band down from the press
    EXPECT_EQ(w->txtDR_WaveLo(0).Text(), "0.5");
    EXPECT_EQ(w->txtDR_WaveHi(0).Text(), "1.5");
    EXPECT_EQ(w->txtDR_WaveHi(1).Text(), "1") << "the other channel keeps its range";
    release(kMiddle);
    EXPECT_FALSE(w->bRangeDrag);
    move(100, 0, 0);
    EXPECT_EQ(w->txtDR_WaveLo(0).Text(), "0.5");
}

TEST_F(Mouse, AMiddleClickThatFindsNoChannelStartsNoRangeDrag) {
    draw();
    for (int ch = 0; ch < 2; ++ch) w->CHKWaveNo(ch).setValue(0);
    driver.mouseDown(w->PBXMoniDisp, kMiddle, 0, 100, 100);
    EXPECT_FALSE(w->bRangeDrag);
    EXPECT_EQ(w->lRangeDragCH, -1);
    move(100, 0, kMiddle);
    EXPECT_EQ(w->txtDR_WaveLo(0).Text(), "0");
}

TEST_F(Mouse, ShiftAndTheLeftButtonPanTheWindow) {
    GAcqParam.nSample = 100;  // 1 kHz
    GAcqParam.lPosWAVE_Start = 1000;
    place(1010, 1190);
    move(100);
    EXPECT_EQ(w->lCurSel, -1);
    driver.mouseDown(w->PBXMoniDisp, kLeft, kShift, 100, kRow);
    EXPECT_TRUE(w->bPan);
    EXPECT_EQ(w->txtMoveTime.Text(), "1");
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, 1000);
    move(150, kRow, kLeft, kShift);  // dragging right shows earlier data
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, 950);
    EXPECT_EQ(w->txtMoveTime.Text(), "0.95");
    move(80, kRow, kLeft, kShift);
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, 1020);
    release(kLeft);
    EXPECT_FALSE(w->bPan);
    move(10, kRow, kLeft, kShift);
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, 1020);
}

TEST_F(Mouse, NothingWhilePlayingOrAcquiring) {
    w->SetDispStatus("Play", false);
    move(50);
    driver.mouseDown(w->PBXMoniDisp, kLeft, 0, 50, kRow);
    move(80, kRow, kLeft);
    EXPECT_EQ(L(), 50);
    EXPECT_FALSE(w->bCurDrag);
    w->SetDispStatus("Acq", false);
    move(50);
    EXPECT_EQ(w->lCurSel, -1);
    w->SetDispStatus("End", false);
}

}  // namespace
