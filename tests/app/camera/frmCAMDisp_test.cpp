// The camera window with the real main window and a camera recording it loaded: the frames at
// the cursors, the players, the layout and its resize rule, the controls by mode, the stored
// values, the capture progress boxes and closing the window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/app/camera/frmCAMDisp_testsupport.h"
#include "app/common/IniSet.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Runtime.h"

using namespace qv;
using apptest::CameraWindowTest;

namespace {

// Which of the two players' boxes was drawn, in order.
struct DrawOrder : forms::FormsObserver {
    explicit DrawOrder(frmCAMDisp& c) : cam(c) { forms::Runtime::get().setObserver(this); }
    ~DrawOrder() override { forms::Runtime::get().setObserver(nullptr); }
    void surfaceInvalidated(forms::Widget& w) override {
        if (&w == &cam.pbxAVIL) order += "L";
        if (&w == &cam.pbxAVIR) order += "R";
    }
    frmCAMDisp& cam;
    std::string order;
};

// ---- Frames at the cursors ----

TEST_F(CameraWindowTest, TheOffsetIsTheWholeMillisecondsOfTheBoxHalvesToEven) {
    loadCamera();
    frmCAMDisp& c = cam();
    const struct {
        const char* text;
        int32_t left;
        const char* frame;
    } cases[] = {
        {"0", 150, "1"},
        {"100.5", -1, "0"},   // 100 ms: position 99
        {"101.5", -1, "1"},   // 102 ms: position 101
        {"99.5", 0, "1"},     // 100 ms, not 99
        {"abc", 250, "2"},    // no number: no offset
        {"", 250, "2"},
        {"12abc", 290, "3"},  // the number at the start
        {"-300", 2999, "26"},
    };
    for (const auto& k : cases) {
        c.txtAdjustMS.setText(k.text);
        c.DispFlamePos(k.left, 0);
        EXPECT_EQ(c.lblFNo_L.Caption(), k.frame) << k.text << " at " << k.left;
    }
    // The positions themselves are not moved.
    int32_t left = 150, right = 250;
    c.txtAdjustMS.setText("500");
    c.DispFlamePos(left, right);
    EXPECT_EQ(left, 150);
    EXPECT_EQ(c.lblFNo_R.Caption(), "7");
    EXPECT_EQ(c.lblTotalFNum.Caption(), "29");  // the frame of the last sample, not the count
}

TEST_F(CameraWindowTest, LabelsAndBoxesShowTheLookedUpFramesInAlternatingOrder) {
    loadCamera();
    frmCAMDisp& c = cam();
    DrawOrder draws(c);
    const int32_t steps[][2] = {{300, 600}, {1210, 2990}, {50, 1999}, {2500, 100}};
    for (const auto& s : steps) {
        c.DispFlamePos(s[0], s[1]);
        EXPECT_EQ(c.lblFNo_L.Caption(), std::to_string(s[0] / 100));
        EXPECT_EQ(c.lblFNo_R.Caption(), std::to_string(s[1] / 100));
        EXPECT_EQ(shown(c.pbxAVIL), colour(s[0] / 100));
        EXPECT_EQ(shown(c.pbxAVIR), colour(s[1] / 100));
        draws.order += "|";
    }
    // Each call begins with the player the call before took second.
    EXPECT_TRUE(draws.order == "LR|RL|LR|RL|" || draws.order == "RL|LR|RL|LR|") << draws.order;
}

TEST_F(CameraWindowTest, NothingChangesInAcquisitionOrWithoutData) {
    loadCamera();
    frmCAMDisp& c = cam();
    c.DispFlamePos(500, 800);
    for (const char* mode : {"Acq", ""}) {
        GAcqParam.ModeString = mode[0] ? mode : "End";
        const int32_t total = GAcqParam.PTotal;
        if (!mode[0]) GAcqParam.PTotal = 0;
        const int before = c.MCAVIL().decodes() + c.MCAVIR().decodes();
        c.DispFlamePos(1500, 2500);
        EXPECT_EQ(c.lblFNo_L.Caption(), "5") << mode;
        EXPECT_EQ(c.lblFNo_R.Caption(), "8") << mode;
        EXPECT_EQ(shown(c.pbxAVIL), colour(5)) << mode;
        EXPECT_EQ(c.MCAVIL().decodes() + c.MCAVIR().decodes(), before) << mode;
        GAcqParam.PTotal = total;
    }
}

TEST_F(CameraWindowTest, WithoutTheCameraOrATableTheBoxesShowFrameZero) {
    loadCamera();
    frmCAMDisp& c = cam();
    c.DispFlamePos(500, 800);
    GlCapNum = 0;  // the recording's camera is not in use
    c.DispFlamePos(1500, 2500);
    EXPECT_EQ(shown(c.pbxAVIL), colour(0));
    EXPECT_EQ(shown(c.pbxAVIR), colour(0));
    EXPECT_EQ(c.lblFNo_L.Caption(), "5");  // the labels stay

    GlCapNum = kFrames;
    GlFlameTime.clear();
    Acqisition::MakeStackFlameTable();
    c.DispFlamePos(1500, 2500);
    EXPECT_EQ(c.lblFNo_L.Caption(), "-1");
    EXPECT_EQ(c.lblFNo_R.Caption(), "-1");
    EXPECT_EQ(c.lblTotalFNum.Caption(), "-1");
    EXPECT_EQ(shown(c.pbxAVIR), colour(0));
}

TEST_F(CameraWindowTest, AFailingLookUpReachesTheCallerAndLeavesTheNextCallWorking) {
    loadCamera();
    frmCAMDisp& c = cam();
    const int32_t period = GAcqParam.nSClock;
    GAcqParam.nSClock = 0;  // no sample period: the offset cannot be converted
    EXPECT_NE(apptest::errorNumber([&] { c.DispFlamePos(500, 800); }), 0);
    GAcqParam.nSClock = period;
    c.DispFlamePos(500, 800);
    EXPECT_EQ(c.lblFNo_L.Caption(), "5");
    EXPECT_EQ(shown(c.pbxAVIR), colour(8));
}

TEST_F(CameraWindowTest, TheOtherFrameOperations) {
    loadCamera();
    frmCAMDisp& c = cam();
    c.txtMsg.setText("x");
    c.DispFlame(4, 9);
    EXPECT_EQ(c.txtMsg.Text(), "");
    EXPECT_EQ(shown(c.pbxAVIL), colour(4));
    EXPECT_EQ(shown(c.pbxAVIR), colour(9));
    c.txtAdjustMS.setText("1000");  // not used by DispFlameMS
    const std::string label = c.lblFNo_L.Caption();
    c.DispFlameMS(1200, 2100);
    EXPECT_EQ(shown(c.pbxAVIL), colour(12));
    EXPECT_EQ(shown(c.pbxAVIR), colour(21));
    EXPECT_EQ(c.lblFNo_L.Caption(), label);  // nor are the labels
    c.DispFlameAll();
    EXPECT_EQ(shown(c.pbxAVIL), colour(kFrames - 1));
    EXPECT_EQ(c.FlameNum(), kFrames);
    GAcqParam.ModeString = "Acq";
    c.DispFlame(1, 1);
    EXPECT_EQ(shown(c.pbxAVIL), colour(kFrames - 1));
}

// ---- Players ----

TEST_F(CameraWindowTest, DispInitResetsAndSetAVIFileNameTellsWhetherAllThreeAreReady) {
    loadCamera();
    frmCAMDisp& c = cam();
    c.DispFlamePos(500, 800);
    c.DispInit();
    for (forms::Label* l : {&c.lblFNo_L, &c.lblFNo_R, &c.lblTotalFNum}) EXPECT_EQ(l->Caption(), "--------");
    EXPECT_EQ(shown(c.pbxAVIL), 0u);  // black: no video
    EXPECT_FALSE(c.IsAVIOK());
    EXPECT_FALSE(c.SetAVIFileName(prog.win("missing.AVI")));
    EXPECT_TRUE(c.SetAVIFileName(GstrAviFile));
    EXPECT_EQ(c.MCAVIL().Name(), "MCAVIL");
    EXPECT_EQ(c.MCAVIDmy().AVIFileName(), GstrAviFile);
}

TEST_F(CameraWindowTest, TheBlankSnapshotIsGreen) {
    loadCamera();
    const std::string file = (prog.dir() / "snap.bmp").string();
    cam().SaveBMPDispPicture(3, file, 0, true);
    std::ifstream in(file, std::ios::binary);
    const std::string bmp((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(bmp.size(), 60u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const auto at = static_cast<size_t>(static_cast<uint8_t>(bmp[10]) | static_cast<uint8_t>(bmp[11]) << 8);
    EXPECT_EQ(static_cast<uint8_t>(bmp[at]), 64);       // blue
    EXPECT_EQ(static_cast<uint8_t>(bmp[at + 1]), 255);  // green
    EXPECT_EQ(static_cast<uint8_t>(bmp[at + 2]), 64);   // red
}

// ---- Layout ----

TEST_F(CameraWindowTest, InitFormSizesFromTheCameraInBothModes) {
    frmCAMDisp& c = cam();
    driver.run([&] { c.Show(); });
    GAcqCondition.lCameraWidth = 640;
    GAcqCondition.lCameraHeight = 480;
    c.InitForm(false);
    const double panel = c.pbxParent1.Height(), title = c.lblTitle(0).Height();
    EXPECT_EQ(c.Width(), 2 * 9600 + 300);
    EXPECT_EQ(c.Height(), title + 7200 + panel + 510);
    EXPECT_EQ(c.pbxAVIL.Width(), 9600);
    EXPECT_EQ(c.pbxAVIR.Height(), 7200);
    EXPECT_EQ(c.pbxAVIL.Top(), c.lblTitle(1).Height() - 30);
    EXPECT_EQ(c.pbxParent2_3.Left(), 9600);  // the tile's second column
    EXPECT_EQ(c.pbxParent1.Top(), title + 7200);
    EXPECT_EQ(c.pbxAVIDummy.Left(), -100000);
    EXPECT_FALSE(c.pbxParent2_1.Visible() && !c.optDispType(0).Value());

    // Camera mode: the recording's remembered size only when the camera tool could add its
    // filter, else the default picture.
    c.lCameraWidth = 160;
    c.lCameraHeight = 120;
    c.InitForm(true);
    EXPECT_EQ(c.Width(), 2 * 4800 + 300);
    prog.writeBytes("CAM_GETINFO.ini", "[ALL]\r\npGraph->AddFilter(pSrc, L\"Video Capture\")=0\r\n");
    c.InitForm(true);
    EXPECT_EQ(c.Width(), 2 * 2400 + 300);
    EXPECT_EQ(c.pbxCAM.Height(), 1800);

    // A smaller camera after a larger one: the window shrinks to it.
    c.InitForm(false);
    EXPECT_EQ(c.Width(), 2 * 9600 + 300);
    GAcqCondition.lCameraWidth = 0;  // no usable size: the default camera's
    GAcqCondition.lCameraHeight = 0;
    c.InitForm(false);
    EXPECT_EQ(c.Width(), 2 * 4800 + 300);
    EXPECT_EQ(c.pbxAVIR.Height(), 3600);

    // A hidden window is left alone.
    c.Hide();
    GAcqCondition.lCameraWidth = 640;
    GAcqCondition.lCameraHeight = 480;
    c.InitForm(false);
    EXPECT_EQ(c.Width(), 2 * 4800 + 300);
}

TEST_F(CameraWindowTest, AResizeKeepsTheCameraAspectFromTheDraggedEdge) {
    loadCamera();
    frmCAMDisp& c = cam();
    GAcqCondition.lCameraWidth = 320;
    GAcqCondition.lCameraHeight = 240;
    driver.run([&] { c.optDispType(1).setValue(true); });
    c.InitForm(false);
    driver.advance(20);  // the re-layout after InitForm's own sizing
    EXPECT_FALSE(c.timResize.Enabled());
    const double extra = c.pbxParent1.Height() + c.lblTitle(2).Height();
    const auto rule = [&](double width) { return 240.0 / 320.0 * (width / 2) + extra; };

    // The height dragged: the width follows it, then the height the width.
    const double w0 = c.Width();
    ASSERT_TRUE(driver.resize(c, w0, c.Height() + 3000));
    EXPECT_TRUE(c.timResize.Enabled());
    EXPECT_EQ(c.timResize.Interval(), 10);
    const double dragged = c.Height();
    driver.advance(10);
    const double width = 2 * dragged * 320 / 240;
    EXPECT_DOUBLE_EQ(c.Width(), width);
    EXPECT_DOUBLE_EQ(c.Height(), rule(width));
    driver.advance(20);
    // The width dragged: the height follows.
    ASSERT_TRUE(driver.resize(c, c.Width() + 4000, c.Height()));
    const double w2 = c.Width();
    driver.advance(10);
    EXPECT_DOUBLE_EQ(c.Width(), w2);
    EXPECT_DOUBLE_EQ(c.Height(), rule(w2));

    // A zero camera size counts as the default camera.
    GAcqCondition.lCameraWidth = 0;
    driver.advance(20);
    ASSERT_TRUE(driver.resize(c, c.Width() + 1500, c.Height()));
    driver.advance(10);
    EXPECT_DOUBLE_EQ(c.Height(), rule(c.Width()));
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(CameraWindowTest, InCameraDisplayTypeAResizeSnapsBack) {
    frmCAMDisp& c = cam();
    driver.run([&] { c.Show(); });
    c.InitForm(true);
    const double w0 = c.Width(), h0 = c.Height();
    ASSERT_TRUE(driver.resize(c, w0 + 2000, h0 + 900));
    driver.advance(20);
    EXPECT_EQ(c.Width(), w0);
    EXPECT_EQ(c.Height(), h0);
    // "AVI File" without a recording keeps the user's size.
    driver.run([&] { c.optDispType(1).setValue(true); });
    ASSERT_TRUE(driver.resize(c, w0 + 2000, h0 + 900));
    driver.advance(20);
    EXPECT_EQ(c.Width(), w0 + 2000);
}

TEST_F(CameraWindowTest, InitFormTellsWhenTheRecordingHasNoVideo) {
    loadCamera();
    frmCAMDisp& c = cam();
    GlCapNum = 0;
    c.InitForm(false);
    EXPECT_EQ(c.txtMsg.Text(), "動画のないデータです。");
    GlCapNum = kFrames;
    c.InitForm(false);
    EXPECT_EQ(c.txtMsg.Text(), "");
}

// ---- Controls by mode ----

TEST_F(CameraWindowTest, ControlsFollowTheModeAndStopStaysUsableDuringPlayback) {
    frmCAMDisp& c = cam();
    const struct {
        const char* mode;
        bool play, stop;
    } modes[] = {{"End", true, true}, {"Play", false, true}, {"Acq", false, false}, {"Read", true, true}};
    for (const auto& m : modes) {
        w->SetDispStatus(m.mode, true);
        EXPECT_EQ(c.cmdPlay2.Enabled(), m.play) << m.mode;
        EXPECT_EQ(c.chkStop.Enabled(), m.stop) << m.mode;
        EXPECT_FALSE(c.cmdPlay.Enabled()) << m.mode;
        EXPECT_FALSE(c.cmdPlayMP3.Enabled()) << m.mode;
        EXPECT_FALSE(c.optDispType(0).Enabled()) << m.mode;  // the type flag is never set
    }
    EXPECT_EQ(c.Caption(), "CAMERA");
    EXPECT_FALSE(c.timResize.Enabled());
    EXPECT_FALSE(c.cmdPlay.Visible());
    EXPECT_FALSE(c.txtStep.Visible());
}

// ---- Stored values and the time boxes ----

TEST_F(CameraWindowTest, LoadParamReadsSectionControlWithItsDefaultsAndKeepsTheFileCurrent) {
    frmCAMDisp& c = cam();
    prog.writeBytes("p.Kpar", "[P]\r\nx=1\r\n");
    GstrKparFile = prog.win("p.Kpar");
    GAcqParam.PTotal = 4500;
    GAcqParam.lSampleFreqHz = 1000;
    c.txtAdjustMS.setText("7");
    c.LoadParam();
    EXPECT_EQ(c.txtStartTime.Text(), "0");
    EXPECT_EQ(c.txtEndTime.Text(), "4.5");
    EXPECT_EQ(c.txtAdjustMS.Text(), "0");
    EXPECT_EQ(c.txtMP3Adjust.Text(), "0");
    EXPECT_EQ(c.txtMP3AdjustOffset.Text(), "0");
    EXPECT_EQ(GetIniFileName(), GstrKparFile);

    c.txtStartTime.setText("1.5");
    c.txtAdjustMS.setText("-40");
    c.txtMP3AdjustOffset.setText("3 ; note");
    c.SaveParam();
    c.txtStartTime.setText("9");
    c.LoadParam();
    EXPECT_EQ(c.txtStartTime.Text(), "1.5");
    EXPECT_EQ(c.txtEndTime.Text(), "4.5");
    EXPECT_EQ(c.txtAdjustMS.Text(), "-40");
    EXPECT_EQ(c.txtMP3AdjustOffset.Text(), "3");  // read back with comments stripped
}

TEST_F(CameraWindowTest, AStoredOffsetTooLargeForALongIsNotTaken) {
    frmCAMDisp& c = cam();
    prog.writeBytes("p.Kpar", "[Control]\r\ntxtAdjustMS=1e10\r\ntxtMP3Adjust=2\r\n");
    GstrKparFile = prog.win("p.Kpar");
    GAcqParam.lSampleFreqHz = 1000;
    c.txtAdjustMS.setText("25");
    EXPECT_EQ(apptest::errorNumber([&] { c.LoadParam(); }), 0);
    EXPECT_EQ(c.txtAdjustMS.Text(), "25");  // the box keeps its value
    EXPECT_EQ(c.txtMP3Adjust.Text(), "2");  // and the rest is read
    EXPECT_EQ(c.AdjustMS(), 25);
    for (const char* text : {"2147483648", "1e99999", "-3e9"}) {
        c.txtAdjustMS.setText(text);
        EXPECT_EQ(c.txtAdjustMS.Text(), "25") << text;
    }
    c.txtAdjustMS.setText("2147483647");
    EXPECT_EQ(c.AdjustMS(), 2147483647);
}

TEST_F(CameraWindowTest, TheTimeLabelsFillTheBoxesWithTruncatedSeconds) {
    frmCAMDisp& c = cam();
    driver.run([&] { c.Show(); });
    GAcqParam.lSampleFreqHz = 1000;
    GAcqParam.Cur_L_Point = 2999;
    GAcqParam.Cur_R_Point = -2999;
    ASSERT_TRUE(driver.click(c.LBLStart));
    ASSERT_TRUE(driver.click(c.lblEnd));
    EXPECT_EQ(c.txtStartTime.Text(), "2");
    EXPECT_EQ(c.txtEndTime.Text(), "-2");
}

TEST_F(CameraWindowTest, AnOffsetChangeRepaintsTheMonitor) {
    frmCAMDisp& c = cam();
    int paints = 0;
    auto watch = w->PBXMoniDisp.Paint.connect([&] { ++paints; });
    c.txtAdjustMS.setText("12");
    c.txtAdjustMS.setText("12");
    EXPECT_EQ(paints, 1);
}

// ---- Capture progress ----

TEST_F(CameraWindowTest, CaptureProgressReportsTheSizeLimitAndLogsTheEstimate) {
    frmCAMDisp& c = cam();
    GAcqParam.NTimer = 60;
    c.txtFileSize.setText("2136997888");
    c.txtMsg.setText("old");
    c.txtCapNum.setText("1");
    EXPECT_EQ(c.txtMsg.Text(), "");
    EXPECT_EQ(c.txtCapRatio.Text(), "99.51");
    c.txtFileSize.setText("2136997889");
    c.txtCapNum.setText("2");
    EXPECT_EQ(c.txtMsg.Text(), "AVIファイルのサイズが最大に達しました。\r\n60 秒で画像の取り込みは終了しました。");
    c.UpdateTimeRemaining();  // a message stops the estimate
    EXPECT_EQ(c.txtTimeRem.Text(), "0");

    c.txtFileSize.setText("1073741824");  // half the limit after 60 s: 120 s in all
    c.txtCapNum.setText("3");
    EXPECT_EQ(c.txtCapRatio.Text(), "50.00");
    c.UpdateTimeRemaining();
    EXPECT_EQ(c.txtTimeRem.Text(), "60.00");
    std::string logged;
    for (const auto& e : std::filesystem::recursive_directory_iterator(prog.dir())) {
        if (!e.is_regular_file() || e.path().extension() == ".ini") continue;
        std::ifstream in(e.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        if (text.find(" , 50.00 , ") != std::string::npos) logged = text;
    }
    EXPECT_NE(logged.find(",60 , 50.00 , 60.00 , 120"), std::string::npos) << logged;

    c.chkAVISizeOver.setValue(1);
    c.txtTimeRem.setText("x");
    c.UpdateTimeRemaining();
    EXPECT_EQ(c.txtTimeRem.Text(), "x");
    c.chkAVISizeOver.setValue(0);
    c.txtFileSize.setText("abc");
    c.txtCapRatio.setText("y");
    c.txtCapNum.setText("4");
    EXPECT_EQ(c.txtCapRatio.Text(), "y");
}

// ---- Closing ----

TEST_F(CameraWindowTest, ClosingAsksAndACancelKeepsBothWindows) {
    frmCAMDisp& c = cam();
    driver.run([&] { c.Show(); });
    driver.answerMsgBox(forms::vbCancel);
    EXPECT_TRUE(driver.close(c));
    EXPECT_EQ(driver.msgBoxes().back().title, "終了");
    EXPECT_NE(forms::Runtime::get().findForm("frmCAMDisp"), nullptr);
    EXPECT_NE(forms::Runtime::get().findForm("Acqisition"), nullptr);
    EXPECT_FALSE(driver.ended());
}

TEST_F(CameraWindowTest, AConfirmedCloseStoresThePlacementAndEndsTheProgram) {
    frmCAMDisp& c = cam();
    driver.run([&] {
        c.Show();
        c.Move(1230, 450, c.Width(), c.Height());
    });
    driver.answerMsgBox(forms::vbOK);
    driver.close(c);
    EXPECT_TRUE(driver.ended());
    ForgetExitConfirmation();
    IniPathGuard guard(ProgramFile("Tolvane.ini"));
    EXPECT_EQ(ReadIniString("frmCAMDisp", "frmCAMDisp.Left", ""), "1230");
    EXPECT_EQ(ReadIniString("frmCAMDisp", "frmCAMDisp.Top", ""), "450");
}

}  // namespace
