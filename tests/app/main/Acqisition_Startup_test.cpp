// The program's start: the load sequence of the main window on a temporary program folder and
// the virtual clock, the boot timer that follows it, and the captions of host and terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"
#include "app/camera/frmCAMDisp.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/common/frmMessage.h"
#include "app/common/modCommand.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Globals.h"
#include "platform/kernel/Paths.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

// Watches the start as it happens: the lines the message window shows, and the close pulse in
// "SHARE.SHR" at the first tick of the window's own 1 ms timer.
class StartWatcher : public forms::FormsObserver {
public:
    explicit StartWatcher(const apptest::TempProgramFolder& prog) : prog_(prog) {}
    void formLoaded(forms::Form& f) override {
        if (auto* w = dynamic_cast<Acqisition*>(&f))
            tick_ = w->Timer2.Tick.connect([this] {
                pulseDuringStart.push_back(prog_.readBytes("SHARE.SHR"));
                pulseTimes.push_back(forms::Runtime::get().now());
            });
    }
    void propertyChanged(forms::Widget& w, std::string_view property) override {
        auto* c = dynamic_cast<forms::Control*>(&w);
        if (c && property == "Caption" && c->parentForm().Name() == "frmMessage" &&
            c->Name() == "LBL_Progress_Caption" && !c->Caption().empty())
            messageLines.push_back(c->Caption());
    }
    // The start's message is taken away by hiding the window first: what it showed until then.
    void formHidden(forms::Form& f) override {
        if (auto* m = dynamic_cast<frmMessage*>(&f)) closeShown.push_back(m->cmdClose.Visible());
        if (onHidden) onHidden();
    }
    std::function<void()> onHidden;  // time passing as the start hides its message
    std::vector<std::string> messageLines;
    std::vector<bool> closeShown;   // whether the Close button was shown, each time the window hid
    std::vector<std::string> pulseDuringStart;
    std::vector<uint32_t> pulseTimes;

private:
    const apptest::TempProgramFolder& prog_;
    forms::ScopedConnection tick_;
};

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { forms::Runtime::get().setObserver(&watcher); }
    void TearDown() override { forms::Runtime::get().setObserver(nullptr); }
    void append(const std::string& file, const std::string& text) {
        std::ofstream(prog.dir() / file, std::ios::app) << text;
    }
    // Starts the program as the executable does; null when it ended during the start.
    Acqisition* start() {
        Acqisition* w = nullptr;
        driver.run([&] {
            w = &Acqisition::instance();
            w->Show();
        });
        return driver.ended() ? nullptr : w;
    }
    std::string ini(const std::string& file, const std::string& section, const std::string& key) {
        IniPathGuard g(ProgramFile(file));
        return ReadIniString(section, key, "<none>");
    }
    size_t logLines(const std::string& text) { return apptest::dayLogLines(prog.dir(), text); }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram startable{prog};
    forms::Driver driver;
    StartWatcher watcher{prog};
};

TEST_F(StartupTest, FullStartPreparesTheWindowAndLoadsTheLibrary) {
    append("SETTING.SET", "[GLOBAL]\r\nGlwdtCnt=2500\r\n[frmCondition.txtCH]\r\nText=1-4\r\n");
    append("Tolvane.ini", "[Acqisition]\r\nAcqisition.Left=1500\r\nAcqisition.Top=900\r\n"
                          "Acqisition.Width=18000\r\nAcqisition.Height=12000\r\n"
                          "[frmCAMDisp]\r\nfrmCAMDisp.Left=3000\r\nfrmCAMDisp.Top=600\r\n"
                          "frmCAMDisp.Width=999\r\nfrmCAMDisp.Height=777\r\n");
    ASSERT_FALSE(Trelm::binding::isLoaded());
    Acqisition* w = start();
    ASSERT_NE(w, nullptr);

    // The message window said what happens, then went away.
    ASSERT_GE(watcher.messageLines.size(), 2u);
    EXPECT_EQ(watcher.messageLines[0], "Quorvane 起動中");
    EXPECT_EQ(watcher.messageLines[1], "しばらくお待ちください。");
    ASSERT_FALSE(watcher.closeShown.empty());
    EXPECT_TRUE(watcher.closeShown[0]);   // shown with its Close button
    EXPECT_FALSE(frmMessage::instance().Visible());

    // The close pulse: "1" while the start waits, "0" once 100 ms have passed.
    ASSERT_FALSE(watcher.pulseDuringStart.empty());
    EXPECT_NE(watcher.pulseDuringStart[0].find("APPCLOSE=1"), std::string::npos);
    EXPECT_EQ(ini("SHARE.SHR", "SETTING", "APPCLOSE"), "0");
    EXPECT_GE(driver.now(), 100u);

    // 32 channel rows in every row array, eight row separators.
    for (const char* n : {"txtName", "txtUnit", "txtEUHI", "txtEULO", "txtCALAD", "txtBASEAD",
                          "CHKWaveNo", "lblNoName", "lblNoName_2", "lblNoName_3", "lblNoName_3R",
                          "txtNoName_3", "txtNoName_3R", "lblCurLevel_L", "lblCurLevel_R",
                          "lblCurLevel_LR", "txtDR_WaveHi", "txtDR_WaveHi_V", "txtDR_WaveLo",
                          "txtDR_WaveLo_V", "chkCopy", "chkCopy_V", "lblUnit", "chkCal", "lblDiv"}) {
        EXPECT_NE(w->findControlByFullName(std::string(n) + "(31)"), nullptr) << n;
        EXPECT_EQ(w->findControlByFullName(std::string(n) + "(32)"), nullptr) << n;
    }
    EXPECT_EQ(w->Line1.UBound(), 7);
    EXPECT_EQ(Acqisition::GCWave.size(), 32u);
    EXPECT_EQ(w->LBLTime.Caption(), "0000 00:00:00");   // as designed until a recording shows

    // The lists.
    ASSERT_EQ(w->cmbTimeFS.ListCount(), 20);
    EXPECT_EQ(w->cmbTimeFS.ListIndex(), 11);
    EXPECT_EQ(w->cmbTimeFS.List(11), "5  (sec/F.S.)");
    EXPECT_EQ(w->cmbTimeFS.ItemData(2), 5);
    EXPECT_EQ(w->cmbTimeFS.ItemData(9), 1000);
    EXPECT_EQ(w->cmbTimeFS.ItemData(19), 600000);
    ASSERT_EQ(w->cmbSamplePoint.ListCount(), 10);
    EXPECT_EQ(w->cmbSamplePoint.List(0), "  1");
    EXPECT_EQ(w->cmbSamplePoint.List(3), " 10");
    EXPECT_EQ(w->cmbSamplePoint.List(9), "1000");
    EXPECT_EQ(w->cmbSamplePoint.ItemData(9), 1000);
    EXPECT_EQ(w->cmbSamplePoint.ListIndex(), -1);

    // The library is loaded; without a recording the cursor set-up makes no graph.
    EXPECT_TRUE(Trelm::binding::isLoaded());
    EXPECT_EQ(w->lGraphHandle, 0);

    // State as the start leaves it: settings applied, flags down, mode "End", timers armed.
    EXPECT_EQ(GlwdtCnt, 2500);
    EXPECT_EQ(frmCondition::instance().txtCH.Text(), "1-4");
    EXPECT_EQ(GAcqCondition.lEndCH, 4);
    EXPECT_FALSE(GAcqParam.GbLoading);
    EXPECT_FALSE(w->bInternalUpdate);
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_EQ(GstrSettingFile, ProgramFile("SETTING.SET"));
    EXPECT_EQ(RawSampleBuffer.size(), 2000000u);
    EXPECT_EQ(w->txtDR_WaveInput.Left(), -9999);
    EXPECT_TRUE(w->timBoot.Enabled());
    EXPECT_TRUE(w->timBootSubPrg.Enabled());
    EXPECT_EQ(ini("Tolvane.ini", "CTRL", "Acqisition2.chkMakePSG.Value"), "0");
    EXPECT_TRUE(fs::is_directory(prog.dir() / "drive_c" / "DATA_QV"));

    // The boot timer: placement restored, the camera window's position only.
    driver.advance(1);
    EXPECT_FALSE(w->timBoot.Enabled());
    EXPECT_FALSE(w->lblCALStatus.Visible());
    EXPECT_EQ(w->Left(), 1500);
    EXPECT_EQ(w->Top(), 900);
    EXPECT_EQ(w->Width(), 18000);
    EXPECT_EQ(w->Height(), 12000);
    frmCAMDisp& cam = frmCAMDisp::instance();
    EXPECT_EQ(cam.Left(), 3000);
    EXPECT_EQ(cam.Top(), 600);
    EXPECT_EQ(cam.Width(), frmCAMDisp::design().width);
    EXPECT_EQ(w->Caption(), "Quorvane  (Ver6.24 #200129)  [Host]");
    EXPECT_EQ(frmCondition::instance().Caption(), "Condition [Host]");
    EXPECT_EQ(w->txtMode.Text(), "1");
    EXPECT_TRUE(driver.errors().empty()) << driver.errors().front();
}

TEST_F(StartupTest, MissingAmplifierDefinitionsEndTheProgramAtOnce) {
    fs::remove(prog.dir() / "AmpDef.ini");
    driver.answerMsgBox(forms::vbOK);
    EXPECT_EQ(start(), nullptr);
    EXPECT_TRUE(driver.ended());
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].prompt,
              "AmpDef.iniファイルがありません。プログラムを起動することはできません。");
    EXPECT_EQ(driver.msgBoxes()[0].style & 0x70, forms::vbExclamation);
    // Nothing after the check ran: no pulse, no library.
    EXPECT_FALSE(fs::exists(prog.dir() / "SHARE.SHR"));
    EXPECT_FALSE(Trelm::binding::isLoaded());
}

TEST_F(StartupTest, WatchdogLimitKeepsItsDefaultWithoutAnIntegerInTheSettings) {
    append("SETTING.SET", "[GLOBAL]\r\nGlwdtCnt=soon\r\n");
    ASSERT_NE(start(), nullptr);
    EXPECT_EQ(GlwdtCnt, 10000);
}

TEST_F(StartupTest, ScreenOtherThan96DpiIsReportedAndTheStartGoesOn) {
    driver.setScreen(1920, 1080, 12, 12);
    driver.answerMsgBox(forms::vbOK);
    Acqisition* w = start();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].prompt.rfind("画面のDPI設定が96DPIではありません。", 0), 0u);
    EXPECT_EQ(w->txtName.UBound(), 31);
}

TEST_F(StartupTest, TerminalInstanceIsMarkedInBothCaptions) {
    SetCommandLine("/MODE=2");
    Acqisition* w = start();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(InstanceMode, 2);
    driver.advance(1);
    const std::string mark = "[Term]・・・・・・・・・・";
    EXPECT_EQ(w->Caption(), "Quorvane  (Ver6.24 #200129)  " + mark + mark + mark);
    EXPECT_EQ(frmCondition::instance().Caption(), "Condition [Term]");
    EXPECT_EQ(w->txtMode.Text(), "2");
}

TEST_F(StartupTest, UnknownInstanceModeLeavesTheCaptionsAsLaidOut) {
    SetCommandLine("/MODE=7");
    Acqisition* w = start();
    ASSERT_NE(w, nullptr);
    const std::string laidOut = w->Caption();
    driver.advance(1);
    EXPECT_EQ(InstanceMode, 7);
    EXPECT_EQ(w->Caption(), laidOut);
    EXPECT_EQ(frmCondition::instance().Caption(), frmCondition::design().caption);
}

TEST_F(StartupTest, ModeZeroBesideAnotherInstanceTakesTheTerminalCaption) {
    SetCommandLine("/MODE=0");
    driver.setPrevInstance(true);
    Acqisition* w = start();
    ASSERT_NE(w, nullptr);
    driver.advance(1);
    EXPECT_NE(w->Caption().find("[Term]"), std::string::npos);
    EXPECT_EQ(frmCondition::instance().Caption(), "Condition [Term]");
}

TEST_F(StartupTest, BootTimerLoadsSettingsTwiceWithSetAndTheRecordingWithKdat) {
    // The recording comes from the file-name box, which the stored settings fill.
    apptest::RecordingSpec(2, 100, 300).Write(prog.dir(), "rec");
    append("SETTING.SET", "[Acqisition.txtFName]\r\nText=" + prog.win("rec") + "\r\n");
    SetCommandLine("/SET=any.SET /Kdat=whatever");
    watcher.onHidden = [this] { driver.clock().advance(5); };  // the boot tick falls due in the start
    Acqisition* w = start();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->txtFName.Text(), prog.win("rec"));
    // A colour changed after the start shows only if the recording load reads the table again.
    {
        IniPathGuard g(ProgramFile("Tolvane.ini"));
        WriteIniString("COLOR", "CH_3", "FF,00,00");
    }
    EXPECT_EQ(w->CHColor(3), 0);
    EXPECT_EQ(logLines("LOAD COND."), 0u);
    driver.advance(1);
    EXPECT_EQ(logLines("LOAD COND."), 2u);
    EXPECT_EQ(w->CHColor(3), 0x0000FF);
    EXPECT_EQ(GstrKparFile, prog.win("rec") + ".Kpar");
    EXPECT_EQ(GAcqParam.PTotal, 300);
    EXPECT_FALSE(w->bAutoCall);
    EXPECT_EQ(GAcqParam.ModeString, "End");
}

// The same load on the boot road: a calibration value the table cannot show is logged and the
// recording is loaded whole.
TEST_F(StartupTest, BootTimerLoadsARecordingWhoseCalibrationTheTableCannotShow) {
    apptest::RecordingSpec layout(2, 100, 300);
    layout.set("CAL", "Cal(0).fCAL_AD", "-3e9");
    layout.Write(prog.dir(), "rec");
    append("SETTING.SET", "[Acqisition.txtFName]\r\nText=" + prog.win("rec") + "\r\n");
    SetCommandLine("/Kdat=whatever");
    Acqisition* w = start();
    ASSERT_NE(w, nullptr);
    driver.advance(1);
    EXPECT_FALSE(w->timBoot.Enabled());
    EXPECT_TRUE(driver.msgBoxes().empty()) << driver.msgBoxes().back().prompt;
    EXPECT_GE(logLines("校正値を表示できませんでした。(6 "), 1u);
    EXPECT_EQ(GstrKparFile, prog.win("rec") + ".Kpar");
    EXPECT_EQ(GAcqParam.PTotal, 300);
    EXPECT_EQ(ini("Tolvane.ini", "HISTORY", "ITEM_00"), prog.win("rec"));  // the load's last steps
    EXPECT_TRUE(w->timSaveImage.Enabled());
    EXPECT_EQ(GAcqParam.ModeString, "End");
}

TEST_F(StartupTest, BootTimerWithoutOptionsLoadsSettingsOnceAndNoRecording) {
    Acqisition* w = start();
    ASSERT_NE(w, nullptr);
    {
        IniPathGuard g(ProgramFile("Tolvane.ini"));
        WriteIniString("COLOR", "CH_3", "FF,00,00");
    }
    driver.advance(5);
    EXPECT_EQ(logLines("LOAD COND."), 1u);
    EXPECT_EQ(w->CHColor(3), 0);
    EXPECT_THROW(w->CHColor(32), basic::RuntimeError);
    EXPECT_THROW(w->CHColor(-1), basic::RuntimeError);
}

// A stored number beyond the range of the variable it feeds is ignored and logged; the start
// runs to its last step (the boot timers on).
struct DamagedNumber {
    const char* file;
    const char* text;
    const char* logged;
};

class StartWithDamagedNumber : public StartupTest, public ::testing::WithParamInterface<DamagedNumber> {};

TEST_P(StartWithDamagedNumber, IsIgnoredAndLoggedAndTheStartRunsToItsEnd) {
    append(GetParam().file, GetParam().text);
    Acqisition* w = start();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->Timer2.Enabled());
    EXPECT_TRUE(w->timBoot.Enabled());
    EXPECT_TRUE(w->timBootSubPrg.Enabled());
    EXPECT_GE(logLines(GetParam().logged), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    StoredFiles, StartWithDamagedNumber,
    ::testing::Values(
        DamagedNumber{"SETTING.SET", "[frmCondition.chkTriggerSetting]\r\nValue=1e99999\r\n", "\"1e99999\""},
        DamagedNumber{"SETTING.SET", "[frmCondition.txtSweepTime]\r\nText=1e10\r\n", "\"1e10\""},
        DamagedNumber{"SETTING.SET", "[frmCondition.txtSweepTime]\r\nText=1e99999\r\n", "\"1e99999\""},
        DamagedNumber{"SETTING.SET", "[Acqisition.TXTPreSetCounter]\r\nText=1e99999\r\n", "\"1e99999\""},
        DamagedNumber{"SETTING.SET", "[frmCondition.txtCH]\r\nText=1e999-3\r\n", "\"1e999\""},
        DamagedNumber{"SETTING.SET", "[frmCondition.txtTrgPoint]\r\nText=-1e400\r\n", "\"-1e400\""},
        DamagedNumber{"CAM_GETINFO.ini",
                      "[ALL]\r\npGraph->AddFilter(pSrc, L\"Video Capture\")=0\r\nGlCAMNum=1e99999\r\n",
                      "CAM_GETINFO.ini GlCAMNum"},
        DamagedNumber{"SETTING.SET", "[frmCondition.chkSync]\r\nValue=1e99999\r\n",
                      "frmCondition.chkSync.Value の値 \"1e99999\""},
        DamagedNumber{"SETTING.SET", "[Acqisition.cmbSampleFreq]\r\nListIndex=4e9\r\n",
                      "Acqisition.cmbSampleFreq.ListIndex の値 \"4e9\""},
        DamagedNumber{"DEFAULT.CAL", "[CAL]\r\nfCAL_AD(0)=1e20\r\n", "校正値を表示できませんでした。(6 "},
        DamagedNumber{"Tolvane.ini", "[INTCAL]\r\nGCCalSetting_K16=1\r\nGCCalSetting_K16.EU_HI=1e999\r\n",
                      "GCCalSetting_K16.EU_HI の値 \"1e999\""}));

TEST_F(StartupTest, SweepTimeBeyondALongKeepsTheSweepItHad) {
    append("SETTING.SET", "[frmCondition.txtSweepTime]\r\nText=1e10\r\n[frmCondition.chkSync]\r\nValue=0\r\n");
    const int32_t before = AcqParam{}.lSweepTimeMS;
    ASSERT_NE(start(), nullptr);
    EXPECT_EQ(GAcqParam.lSweepTimeMS, before);
}

}  // namespace
