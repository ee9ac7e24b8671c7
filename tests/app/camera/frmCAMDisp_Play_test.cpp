// Playback with the real main window and a loaded camera recording: every pause of the loop is
// caught on the virtual clock, where the test reads the cursors, the page and the frame shown.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/app/camera/frmCAMDisp_testsupport.h"
#include "platform/forms/Globals.h"
#include "platform/kernel/Time.h"

using namespace qv;

namespace {

struct Step {
    int32_t cursor, pageStart, sleep;
    std::string mode, frame;
    bool operator==(const Step&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Step& s) {
    return os << "{" << s.cursor << ", " << s.pageStart << ", " << s.sleep << ", " << s.mode << ", " << s.frame << "}";
}

class PlaybackTest : public apptest::CameraWindowTest {
protected:
    void SetUp() override {
        CameraWindowTest::SetUp();
        kernel::setSleepHook([this](uint32_t ms) {
            steps.push_back({GAcqParam.Cur_L_Point, GAcqParam.lPosWAVE_Start, static_cast<int32_t>(ms),
                             GAcqParam.ModeString, cam().lblFNo_L.Caption()});
            driver.clock().advance(ms);
            if (atStep) atStep(steps.size());
        });
    }
    void TearDown() override {
        kernel::setSleepHook([this](uint32_t ms) { driver.clock().advance(ms); });
        CameraWindowTest::TearDown();
    }
    // The pause of the loop is the only sleep of a playback.
    void play(const std::string& stepText, const std::string& sleepText, const std::string& from,
              const std::string& to) {
        writeSystemIni("PLAY", "STEP", stepText);
        writeSystemIni("PLAY", "SLEEP", sleepText);
        cam().txtStartTime.setText(from);
        cam().txtEndTime.setText(to);
        steps.clear();
        ASSERT_TRUE(driver.click(cam().cmdPlay2));
    }
    std::vector<Step> steps;
    std::function<void(size_t)> atStep;
};

TEST_F(PlaybackTest, PlayStepsBothCursorsPagesForwardAndEndsAtTheLastSample) {
    loadCamera();
    SetIniFileName(prog.win("other.ini"));
    w->chkMean.setValue(1);  // the cursors' run is drawn at every step, and is empty at the end
    play("250", "40", "0", "3");
    driver.run([this] { w->PBXMoniDisp.Refresh(); });
    driver.advance(10);
    const std::vector<Step> want = {
        {0, 0, 40, "Play", "0"},         {250, 0, 40, "Play", "2"},       {500, 0, 40, "Play", "5"},
        {750, 0, 40, "Play", "7"},       {1000, 800, 40, "Play", "10"},   {1250, 800, 40, "Play", "12"},
        {1500, 800, 40, "Play", "15"},   {1750, 1600, 40, "Play", "17"},  {2000, 1600, 40, "Play", "20"},
        {2250, 1600, 40, "Play", "22"},  {2500, 2400, 40, "Play", "25"},  {2750, 2000, 40, "Play", "27"},
        {3000, 2000, 40, "Play", "29"},
    };
    EXPECT_EQ(steps, want);
    for (auto& e : driver.errors()) ADD_FAILURE() << e;
    for (auto& m : driver.msgBoxes()) ADD_FAILURE() << m.prompt;
    EXPECT_EQ(GAcqParam.Cur_L_Point, kScans);
    EXPECT_EQ(GAcqParam.Cur_R_Point, kScans);
    EXPECT_EQ(w->LBLCurTime_L.Caption(), "3.00000");  // the read-outs follow the cursors
    EXPECT_EQ(w->LBLCurTime_R.Caption(), "3.00000");
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_EQ(cam().txtStep.Text(), "250");
    EXPECT_EQ(cam().txtSleep.Text(), "40");
    EXPECT_EQ(GetIniFileName(), prog.win("other.ini"));
    EXPECT_TRUE(cam().cmdPlay2.Enabled());
    EXPECT_EQ(shown(cam().pbxAVIR), colour(29));
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(PlaybackTest, RangesEndPointsAndNegativeSteps) {
    loadCamera();
    // Start and end both 0: one step at 0.
    play("500", "0", "0", "0");
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].cursor, 0);
    // A step past the end stops before it.
    play("700", "0", "0", "2");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps.back().cursor, 1400);
    // An end before the start with a positive step shows nothing but the first page, and the
    // cursors still end at the last sample.
    play("500", "0", "2", "1");
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(GAcqParam.Cur_R_Point, kScans);
    // A negative step counts down, and with the start before the end makes no step.
    play("-1000", "0", "3", "1");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].cursor, 3000);
    EXPECT_EQ(steps[2].cursor, 1000);
    play("-1000", "0", "0", "3");
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(GAcqParam.ModeString, "End");
}

TEST_F(PlaybackTest, TheStopBoxEndsThePlaybackWhereItIs) {
    loadCamera();
    atStep = [this](size_t n) {
        if (n == 3) {
            EXPECT_TRUE(driver.check(cam().chkStop, 1));  // usable while playing
        }
    };
    play("250", "10", "0", "3");
    EXPECT_EQ(steps.size(), 3u);
    EXPECT_EQ(GAcqParam.Cur_L_Point, 500);
    EXPECT_EQ(w->LBLCurTime_R.Caption(), "0.50000");
    EXPECT_EQ(cam().chkStop.Value(), 0);
    EXPECT_EQ(GAcqParam.ModeString, "End");

    // A tick before the start is honoured at the first step.
    atStep = nullptr;
    ASSERT_TRUE(driver.check(cam().chkStop, 1));
    play("250", "10", "1", "3");
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(GAcqParam.Cur_L_Point, 0);
    EXPECT_EQ(cam().chkStop.Value(), 0);
}

TEST_F(PlaybackTest, StepAndPauseDefaultTo500AndANegativePauseIsNone) {
    loadCamera();
    play("", "", "0", "1");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[1].cursor, 500);
    EXPECT_EQ(steps[1].sleep, 500);
    EXPECT_EQ(cam().txtStep.Text(), "500");
    play("1000", "-20", "0", "2");
    ASSERT_EQ(steps.size(), 3u);
    for (const Step& s : steps) EXPECT_EQ(s.sleep, 0);
    EXPECT_EQ(cam().txtSleep.Text(), "-20");
}

TEST_F(PlaybackTest, AStepOfZeroIsRefusedBeforeAnythingMoves) {
    loadCamera();
    w->SetDispStatus("Read", true);
    SetIniFileName(prog.win("other.ini"));
    const int32_t page = GAcqParam.lPosWAVE_Start, left = GAcqParam.Cur_L_Point;
    driver.answerMsgBox(forms::vbOK);
    play("0", "10", "1", "2");
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].prompt, "Tolvane.ini の [PLAY] STEP が 0 のため再生できません。");
    EXPECT_EQ(driver.msgBoxes()[0].style, forms::vbOKOnly | forms::vbExclamation);
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(GAcqParam.ModeString, "Read");
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, page);
    EXPECT_EQ(GAcqParam.Cur_L_Point, left);
    EXPECT_EQ(GetIniFileName(), prog.win("other.ini"));
}

TEST_F(PlaybackTest, AFailureMidwayIsShownAndRestoresTheModeAndTheIniFile) {
    loadCamera();
    SetIniFileName(prog.win("other.ini"));
    const int32_t period = GAcqParam.nSClock;
    atStep = [](size_t n) {
        if (n == 2) GAcqParam.nSClock = 0;  // the next frame look-up cannot convert its offset
    };
    driver.answerMsgBox(forms::vbOK);
    play("250", "10", "0", "3");
    GAcqParam.nSClock = period;
    EXPECT_EQ(steps.size(), 2u);
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_NE(driver.msgBoxes()[0].prompt.find("Run-time error"), std::string::npos);
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_EQ(GetIniFileName(), prog.win("other.ini"));
    EXPECT_TRUE(cam().cmdPlay2.Enabled());
    // The frame display is not left busy.
    cam().DispFlamePos(1200, 1300);
    EXPECT_EQ(cam().lblFNo_L.Caption(), "12");
}

TEST_F(PlaybackTest, TheHiddenVariantCentresThePageAndEmptiesTheCalibrationMarks) {
    loadCamera();
    writeSystemIni("PLAY", "STEP", "500");
    writeSystemIni("PLAY", "SLEEP", "5");
    cam().txtStartTime.setText("0");
    cam().txtEndTime.setText("3");
    GsngCalMark1[0][0] = 5.0f;
    GsngCalMark2[3][7] = 6.0f;
    bool marksEmpty = true;
    atStep = [&](size_t) { marksEmpty = marksEmpty && GsngCalMark1[0][0] == 0 && GsngCalMark2[3][7] == 0; };
    EXPECT_FALSE(cam().cmdPlay.Enabled());
    steps.clear();
    driver.run([this] { cam().cmdPlay_Click(); });
    const int32_t pages[] = {0, 0, 500, 1000, 1500, 2000, 2000};
    ASSERT_EQ(steps.size(), 7u);
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].cursor, static_cast<int32_t>(500 * i));
        EXPECT_EQ(steps[i].pageStart, pages[i]) << i;
        EXPECT_EQ(steps[i].mode, "Play");
    }
    EXPECT_TRUE(marksEmpty);
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_EQ(GAcqParam.Cur_L_Point, 3000);  // no move to the end afterwards
}

}  // namespace
