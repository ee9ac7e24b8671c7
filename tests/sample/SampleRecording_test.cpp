// The bundled sample as a user first sees it: written by the build's own writer into a program
// folder, opened in the main window and played with its camera.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/kernel/Time.h"
#include "tests/app/camera/frmCAMDisp_testsupport.h"

using namespace qv;

namespace {

using SampleRecordingTest = apptest::CameraWindowTest;

TEST_F(SampleRecordingTest, OpensOnACleanTenSecondPageAndPlaysInStepWithItsVideo) {
    const std::string writer = std::string(QV_BIN_DIR) + "/../tools/MakeSampleRecording";
    ASSERT_EQ(std::system(("'" + writer + "' '" + prog.dir().string() + "'").c_str()), 0);
    ASSERT_TRUE(driver.type(w->txtFName, prog.win("Sample")));
    ASSERT_TRUE(driver.click(w->cmdLoad));
    ASSERT_TRUE(driver.msgBoxes().empty()) << driver.msgBoxes().back().prompt;
    driver.advance(200);
    // No frame lines over the traces; the page is the sample's 10 s, the right cursor at its end.
    EXPECT_EQ(w->chkDispCAMPos.Value(), 0);
    EXPECT_EQ(GAcqParam.lSweepPoint, 10000);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 10000);
    EXPECT_EQ(w->LBLCurTime_R.Caption(), "10.00000");

    // Its video, a frame every 100 points, plays in step with the cursor.
    ASSERT_TRUE(cam().IsAVIOK());
    std::vector<std::pair<int32_t, std::string>> steps;
    kernel::setSleepHook([&](uint32_t ms) {
        steps.emplace_back(GAcqParam.Cur_L_Point, cam().lblFNo_L.Caption());
        driver.clock().advance(ms);
    });
    writeSystemIni("PLAY", "STEP", "700");
    writeSystemIni("PLAY", "SLEEP", "40");
    cam().txtStartTime.setText("0");
    cam().txtEndTime.setText("9");
    ASSERT_TRUE(driver.click(cam().cmdPlay2));
    kernel::setSleepHook([&](uint32_t ms) { driver.clock().advance(ms); });
    ASSERT_GE(steps.size(), 12u);
    for (const auto& [cursor, frame] : steps) EXPECT_EQ(frame, std::to_string(cursor / 100)) << cursor;
}

}  // namespace
