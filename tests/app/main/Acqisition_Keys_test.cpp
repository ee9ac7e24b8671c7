// The main window's keyboard: each key code under each modifier mask and what it reaches.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/camera/CAVI_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "app/camera/frmCAMDisp.h"
#include "app/camera/modCAM.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Globals.h"

using namespace qv;

namespace {

constexpr int kShift = 1, kCtrl = 2, kAlt = 4, kAll = 7;

class AcqisitionKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        GstrKparFile.clear();
        GlFlameTime.clear();
        Acqisition::MakeStackFlameTable();
        w = &Acqisition::instance();
        driver.run([this] { w->Show(); });
        GAcqParam.ModeString = "End";
        GAcqParam.nSClock = 1000;  // one point a millisecond
        paints = 0;
        paintWatch = w->PBXMoniDisp.Paint.connect([this] { ++paints; });
    }
    void TearDown() override {
        GAcqParam = AcqParam{};
        GlCapNum = 0;
        GstrKparFile.clear();
        GlFlameTime.clear();
        Acqisition::MakeStackFlameTable();
    }
    void key(int code, int shift) { ASSERT_TRUE(driver.keyDown(*w, code, shift)); }

    // A parameter file of a recording with camera frames, made the loaded recording's.
    void loadCameraRecording(std::vector<int32_t> frames) {
        prog.writeBytes("rec.Kpar",
                        "[Condition]\r\nstrCameraSetting=1\r\n[GLOBAL]\r\nGlCapNum=" +
                            std::to_string(frames.size()) + "\r\n");
        GstrKparFile = prog.win("rec.Kpar");
        GlFlameTime = std::move(frames);
        Acqisition::MakeStackFlameTable();
    }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
    int paints = 0;
    forms::ScopedConnection paintWatch;
};

// ---- Shift+Ctrl+Alt and Shift ----

TEST_F(AcqisitionKeysTest, ShiftCtrlAltFlipsTheHiddenSwitchesAndTheHiddenWindow) {
    forms::CheckBox* boxes[] = {&w->chkDispMarkAndMove, &w->chkMean, &w->chkGraphMemo,
                                &w->chkDispFolder};
    for (int i = 0; i < 4; ++i) {
        boxes[i]->setValue(2);  // a greyed box counts as off
        key(49 + i, kAll);
        EXPECT_EQ(boxes[i]->Value(), 1) << boxes[i]->Name();
        key(49 + i, kAll);
        EXPECT_EQ(boxes[i]->Value(), 0) << boxes[i]->Name();
        for (int mask : {0, kShift, kCtrl | kAlt, kShift | kCtrl}) key(49 + i, mask);
        EXPECT_EQ(boxes[i]->Value(), 0) << boxes[i]->Name();
    }
    Acqisition2& hidden = Acqisition2::instance();
    const int vylB50 = hidden.chkDispVylB50.Value();
    key(65, kAll);  // A
    EXPECT_TRUE(hidden.Visible());
    EXPECT_NE(hidden.chkDispVylB50.Value(), vylB50);
    const bool parent = w->pbxParent.Visible();
    key(13, kAll);  // Enter
    EXPECT_NE(w->pbxParent.Visible(), parent);
    EXPECT_FALSE(hidden.Visible());
}

TEST_F(AcqisitionKeysTest, ShiftEnterEndsOnlyARunningAcquisition) {
    key(13, kShift);  // START, which has no work
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_FALSE(w->bInStart);
    GAcqParam.ModeString = "Acq";
    for (int mask : {0, kAlt, kShift | kAlt}) key(13, mask);
    EXPECT_EQ(GAcqParam.ModeString, "Acq");
    key(13, kShift);
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_FALSE(w->Enabled());  // until the next control refresh
}

// ---- Ctrl ----

TEST_F(AcqisitionKeysTest, CtrlLettersAndTheirSmallCodesFillTheRangeAndRepaint) {
    GAcqParam.nSample = 100;
    const struct {
        int32_t right;
        const char* end;
    } ends[] = {{1000, "10"}, {1050, "11"}, {900, "10"}, {-1050, "-9"}};
    for (const auto& e : ends) {
        GAcqParam.Cur_R_Point = e.right;
        key(69, kCtrl);
        EXPECT_EQ(w->txtEndTime.Text(), e.end) << e.right;
    }
    GAcqParam.Cur_L_Point = 1299;
    key(83, kCtrl);
    EXPECT_EQ(w->txtStartTime.Text(), "12");
    // Numpad 5, F4 and F11 share the small letters' codes and act alike under any Ctrl mask.
    GAcqParam.Cur_R_Point = 2050;
    key(101, kCtrl | kAlt);
    EXPECT_EQ(w->txtEndTime.Text(), "21");
    GAcqParam.Cur_L_Point = 700;
    key(115, kAll);
    EXPECT_EQ(w->txtStartTime.Text(), "7");
    key(90, kCtrl);
    key(122, kCtrl);
    EXPECT_EQ(paints, 2);
    // Without a frame length nothing is written or repainted.
    GAcqParam.nSample = 0;
    GAcqParam.Cur_L_Point = 5000;
    for (int code : {83, 69, 90}) key(code, kCtrl);
    EXPECT_EQ(w->txtStartTime.Text(), "7");
    EXPECT_EQ(w->txtEndTime.Text(), "21");
    EXPECT_EQ(paints, 2);
}

TEST_F(AcqisitionKeysTest, CtrlArrowsStretchTheWindowAndCtrlF1FlipsTheCsvButton) {
    driver.setScreen(3000, 2000);
    const double width = w->Width(), height = w->Height();  // a size the window keeps
    w->Move(3000, 2000, width, height);
    key(38, kAll);  // Up, also under all three modifiers: the bottom edge stays
    key(37, kCtrl);  // Left: the right edge stays
    EXPECT_EQ(w->Top(), 0);
    EXPECT_EQ(w->Height(), height + 2000);
    EXPECT_EQ(w->Left(), 0);
    EXPECT_EQ(w->Width(), width + 3000);
    w->Move(3000, 2000, width, height);
    for (int mask : {0, kShift, kAlt}) key(38, mask);
    key(40, kCtrl);  // Down
    key(39, kCtrl);  // Right
    EXPECT_EQ(w->Height(), 2000 * 15 - 2000);
    EXPECT_EQ(w->Width(), 3000 * 15 - 3000);
    EXPECT_EQ(w->Top(), 2000);

    w->cmdMakeCSVAuto.setVisible(false);
    w->cmdMakeCSVAuto.setEnabled(false);
    key(112, kCtrl);
    EXPECT_TRUE(w->cmdMakeCSVAuto.Visible());
    EXPECT_TRUE(w->cmdMakeCSVAuto.Enabled());
    key(112, kCtrl);
    EXPECT_FALSE(w->cmdMakeCSVAuto.Visible());
}

// ---- Cursor steps ----

TEST_F(AcqisitionKeysTest, F3ToF6StepTheCursorsByOnePointWithinTheRecordingOutsideAcqAndPlay) {
    GAcqParam.PTotal = 300;
    GAcqParam.Cur_L_Point = 0;
    GAcqParam.Cur_R_Point = 200;
    key(114, 0);             // F3 at the first point stays there
    key(115, kAlt);          // F4
    key(115, 0);
    key(116, kShift | kAlt); // F5
    key(117, 0);             // F6
    key(117, 0);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 2);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 201);
    EXPECT_EQ(paints, 6);  // each step redraws the monitor
    key(114, kShift);
    key(114, kCtrl);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 2);
    GAcqParam.Cur_R_Point = INT32_MAX;  // beyond the last point: F6 brings it to the last
    key(117, 0);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 300);
    EXPECT_TRUE(driver.errors().empty());
    GAcqParam.Cur_R_Point = 201;
    for (const char* mode : {"Acq", "Play"}) {
        GAcqParam.ModeString = mode;
        for (int code = 112; code <= 119; ++code) key(code, 0);
        EXPECT_EQ(GAcqParam.Cur_L_Point, 2) << mode;
        EXPECT_EQ(GAcqParam.Cur_R_Point, 201) << mode;
    }
}

TEST_F(AcqisitionKeysTest, FrameKeysStepBetweenCameraFramesOnlyWithACamera) {
    GlFlameTime = {0, 100, 200, 200, 300};
    GAcqParam.Cur_L_Point = 150;
    key(113, 0);  // no camera recording: nothing
    EXPECT_EQ(GAcqParam.Cur_L_Point, 150);

    loadCameraRecording({0, 100, 200, 200, 300});
    frmCAMDisp& cam = frmCAMDisp::instance();
    cam.txtAdjustMS.setText("0");
    const struct {
        int code;
        int32_t from, to;
    } steps[] = {
        {113, 150, 200},  // F2: next frame
        {113, 200, 300},  // past the last of the frames sharing a position
        {113, 300, 300},  // the last frame keeps the cursor
        {112, 300, 200},  // F1 from exactly on a frame: the one before
        {112, 150, 100},  // F1 from between frames: the one at or before
    };
    for (const auto& s : steps) {
        GAcqParam.Cur_L_Point = s.from;
        key(s.code, 0);
        EXPECT_EQ(GAcqParam.Cur_L_Point, s.to) << s.code << " from " << s.from;
    }
    GAcqParam.Cur_L_Point = 0;
    GAcqParam.Cur_R_Point = 10;
    key(119, 0);  // F8
    EXPECT_EQ(GAcqParam.Cur_R_Point, 100);
    GAcqParam.Cur_R_Point = 250;
    // With a recording in memory and its video bound, the camera shows frames.
    GAcqParam.PTotal = 400;
    GlCapNum = 5;
    const std::vector<uint8_t> avi = apptest::mjpegAvi(32, 24, 5, 40000);
    prog.writeBytes("rec.AVI", std::string(avi.begin(), avi.end()));
    ASSERT_TRUE(cam.SetAVIFileName(prog.win("rec.AVI")));
    key(116, 0);  // F5: the camera shows the frames at both cursors
    EXPECT_EQ(cam.lblFNo_L.Caption(), "0");
    EXPECT_EQ(cam.lblFNo_R.Caption(), "3");  // the last of the frames at 200
}

TEST_F(AcqisitionKeysTest, FrameStepsKeepTheVideoOffsetAndTheTableBounds) {
    loadCameraRecording({500, 600});
    frmCAMDisp::instance().txtAdjustMS.setText("30");  // the video is 30 points ahead
    GAcqParam.Cur_R_Point = 500;                        // video position 530
    key(119, 0);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 570);  // frame at 600, less the offset
    key(118, 0);                            // exactly on that frame: the one before it
    EXPECT_EQ(GAcqParam.Cur_R_Point, 470);
    key(118, 0);  // on the first frame the index would leave the table: it stays there
    EXPECT_EQ(GAcqParam.Cur_R_Point, 470);
    GAcqParam.Cur_R_Point = -100;  // before the first frame
    key(118, 0);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 470);
    EXPECT_TRUE(driver.errors().empty());
}

}  // namespace
