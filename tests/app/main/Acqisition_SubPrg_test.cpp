// The system-ini switches of the companion programs and the mark controls, the companion starts
// after start-up, the watchdog, and the hidden window's commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "app/common/DaskBase.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "platform/forms/Driver.h"
#include "platform/kernel/Process.h"

using namespace qv;

namespace {

struct TerminalModeTag {};

class SubPrgTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetIniFileName("");
        kernel::setLaunchRecording(true);
        kernel::clearLaunchRecords();
        GAcqParam = AcqParam{};
        GAcqParam.ModeString = "End";
        GlwdtCnt = 10000;
    }
    void TearDown() override {
        kernel::clearLaunchRecords();
        kernel::setLaunchRecording(false);
        GAcqParam = AcqParam{};
        SetIniFileName("");
    }
    void systemIni(const std::string& text) {
        prog.writeBytes("Tolvane.ini", text);
        kernel::clearProfileCache();
    }
    void companionFiles(std::initializer_list<const char*> files) {
        for (const char* f : files) prog.writeBytes(f, "");
    }
    // The bare file names the recorder saw, in start order.
    static std::vector<std::string> started() {
        std::vector<std::string> out;
        for (const auto& l : kernel::recordedLaunches()) {
            const std::string& a = l.argv.at(0);
            out.push_back(a.substr(a.find_last_of("\\/") + 1));
        }
        return out;
    }
    std::string logText() const {
        std::string all;
        if (!std::filesystem::exists(prog.dir() / "LOG")) return all;
        for (const auto& e : std::filesystem::recursive_directory_iterator(prog.dir() / "LOG"))
            if (e.is_regular_file()) {
                std::ifstream in(e.path(), std::ios::binary);
                all += std::string(std::istreambuf_iterator<char>(in), {});
            }
        return all;
    }
    // Arms the companion start as start-up does and lets it fire; returns the virtual ms its
    // tick took (the clock stops at the tick unless the tick itself waits).
    uint32_t bootCompanions(Acqisition& w) {
        w.timBootSubPrg.setEnabled(true);
        const uint32_t due = driver.now() + static_cast<uint32_t>(w.timBootSubPrg.Interval());
        driver.advance(static_cast<uint32_t>(w.timBootSubPrg.Interval()));
        return driver.now() - due;
    }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
};

const char* kAllCompanions =
    "[USESUBPRG]\r\n"
    "Acqisition2.chkUseSubPrg.Value=1\r\n"
    "Acqisition2.chkUseSubPrgRL.Value=1\r\n"
    "Acqisition2.chkUseSubPrgVylM70.Value=1\r\n"
    "Acqisition2.txtSubPrgVylM70_PortNo.Text=50007 ;comment\r\n"
    "Acqisition2.chkUseSubPrgJINS.Value=1\r\n"
    "Acqisition2.txtSubPrgJINS_PortNo.Text=50009\r\n"
    "Acqisition2.chkUseSubPrgBASE.Value=1\r\n";

// ---- Readers ----

TEST_F(SubPrgTest, UseSubPrgSectionFillsTheHiddenWindowAndRestoresTheIniPath) {
    systemIni(kAllCompanions);
    Acqisition& w = Acqisition::instance();
    Acqisition2& h = Acqisition2::instance();
    h.txtSubPrgBASE_PortNo.setText("keep");
    h.chkUseSubPrgBASE.setValue(0);
    SetIniFileName("other.ini");
    w.ReadUseSubPrg();
    EXPECT_EQ(GetIniFileName(), "other.ini");
    EXPECT_EQ(h.chkUseSubPrg.Value(), 1);
    EXPECT_EQ(h.chkUseSubPrgRL.Value(), 1);
    EXPECT_EQ(h.chkUseSubPrgVylM70.Value(), 1);
    EXPECT_EQ(h.txtSubPrgVylM70_PortNo.Text(), "50007");
    EXPECT_EQ(h.txtSubPrgJINS_PortNo.Text(), "50009");
    EXPECT_EQ(h.chkUseSubPrgBASE.Value(), 1);
    // A missing key keeps what the box holds.
    EXPECT_EQ(h.txtSubPrgBASE_PortNo.Text(), "keep");
}

TEST_F(SubPrgTest, MissingSectionKeepsTheLaidOutValues) {
    systemIni("[CTRL]\r\n");
    Acqisition::instance();
    Acqisition2& h = Acqisition2::instance();
    EXPECT_EQ(h.chkUseSubPrg.Value(), 0);
    EXPECT_EQ(h.chkUseSubPrgVylM70.Value(), 0);
    EXPECT_EQ(h.txtSubPrgJINS_PortNo.Text(), "");
}

TEST_F(SubPrgTest, AValueTheControlRefusesIsLoggedAndSkipped) {
    systemIni("[USESUBPRG]\r\nAcqisition2.chkUseSubPrg.Value=yes\r\n"
              "Acqisition2.chkUseSubPrgRL.Value=7\r\nAcqisition2.chkUseSubPrgJINS.Value=1\r\n"
              "[CTRL]\r\ncmdAddMark.Visible=maybe\r\ncmdClearMark.Visible=False\r\n");
    Acqisition& w = Acqisition::instance();
    Acqisition2& h = Acqisition2::instance();
    EXPECT_EQ(h.chkUseSubPrg.Value(), 0);
    EXPECT_EQ(h.chkUseSubPrgRL.Value(), 0);
    EXPECT_EQ(h.chkUseSubPrgJINS.Value(), 1);  // the keys after a bad one are still read
    EXPECT_TRUE(w.cmdAddMark.Visible());
    EXPECT_FALSE(w.cmdClearMark.Visible());
    const std::string log = logText();
    EXPECT_NE(log.find("Acqisition2.chkUseSubPrg.Value=yes"), std::string::npos) << log;
    EXPECT_NE(log.find("cmdAddMark.Visible=maybe"), std::string::npos) << log;
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(SubPrgTest, CtrlSectionSetsVisibilityAndSwitchesAndStaysCurrent) {
    systemIni("[CTRL]\r\ncmdAddMark.Visible=False\r\nlstMarkCom.Visible=0\r\n"
              "List1.Visible=True\r\nchkSTMEM.Value=1\r\nAcqisition2.chkMakePSG.Value=1\r\n");
    Acqisition& w = Acqisition::instance();
    EXPECT_FALSE(w.cmdAddMark.Visible());
    EXPECT_FALSE(w.lstMarkCom.Visible());
    EXPECT_TRUE(w.List1.Visible());
    EXPECT_TRUE(w.txtMarkComment.Visible());  // missing: as laid out
    EXPECT_EQ(w.chkSTMEM.Value(), 1);
    EXPECT_EQ(GetIniFileName(), ProgramFile("Tolvane.ini"));
    // Start-up resets the hidden window's switch in the file first; read again, it is applied.
    systemIni("[CTRL]\r\nAcqisition2.chkMakePSG.Value=1\r\nchkSTMEM.Value=1\r\n");
    w.ReadTolvaneCTRL();
    EXPECT_EQ(Acqisition2::instance().chkMakePSG.Value(), 1);
    // Without its key the shared-data switch is off, whatever it held; chkSTMEM keeps its value.
    systemIni("[CTRL]\r\n");
    w.chkBlobrelay.setValue(1);
    w.ReadTolvaneCTRL();
    EXPECT_EQ(w.chkBlobrelay.Value(), 0);
    EXPECT_EQ(w.chkSTMEM.Value(), 1);
}

TEST_F(SubPrgTest, TestsReadTheHiddenWindowAtTheTimeOfTheCall) {
    Acqisition2& h = Acqisition2::instance();
    h.chkUseSubPrgRL.setValue(1);
    h.chkUseSubPrgJINS.setValue(1);
    EXPECT_FALSE(IsUseSubPrg());
    EXPECT_TRUE(IsUseSubPrgRL());
    EXPECT_FALSE(IsUseSubPrgJINS());  // needs the main switch too
    h.chkUseSubPrg.setValue(1);
    EXPECT_TRUE(IsUseSubPrgJINS());
    h.chkUseSubPrgVylM70.setValue(2);
    EXPECT_FALSE(IsUseSubPrgVylM70());
}

// ---- Companion starts ----

TEST_F(SubPrgTest, AllCompanionsStartInOrderWithOneSecondAfterTheFirst) {
    systemIni(kAllCompanions);
    companionFiles({"QVSUBM70.exe", "QVSUBRL.exe", "QVSUBJINS.exe"});
    Acqisition& w = Acqisition::instance();
    EXPECT_EQ(bootCompanions(w), 1000u);
    EXPECT_EQ(started(), (std::vector<std::string>{"QVSUBM70.exe", "QVSUBRL.exe", "QVSUBJINS.exe"}));
    for (const auto& l : kernel::recordedLaunches()) EXPECT_EQ(l.argv.size(), 1u);
    EXPECT_EQ(Acqisition2::instance().chkBootOK.Value(), 1);
    EXPECT_FALSE(w.timBootSubPrg.Enabled());
}

TEST_F(SubPrgTest, WithoutTheFirstCompanionThereIsNoWait) {
    systemIni("[USESUBPRG]\r\nAcqisition2.chkUseSubPrg.Value=1\r\n"
              "Acqisition2.chkUseSubPrgJINS.Value=1\r\n");
    companionFiles({"QVSUBJINS.exe"});
    Acqisition& w = Acqisition::instance();
    EXPECT_EQ(bootCompanions(w), 0u);
    EXPECT_EQ(started(), std::vector<std::string>{"QVSUBJINS.exe"});
}

TEST_F(SubPrgTest, AMissingCompanionIsLoggedAndTheNextStillStarts) {
    systemIni(kAllCompanions);
    companionFiles({"QVSUBM70.exe", "QVSUBJINS.exe"});
    Acqisition& w = Acqisition::instance();
    bootCompanions(w);
    const auto launches = kernel::recordedLaunches();
    ASSERT_EQ(launches.size(), 3u);
    EXPECT_EQ(launches[1].program, "");  // nothing found for QVSUBRL.exe
    EXPECT_NE(logText().find("QVSUBRL.exe"), std::string::npos);
    EXPECT_EQ(logText().find("QVSUBJINS.exe"), std::string::npos);
    EXPECT_EQ(Acqisition2::instance().chkBootOK.Value(), 1);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(SubPrgTest, MainSwitchOffStartsNothingButMarksTheBoot) {
    systemIni("[USESUBPRG]\r\nAcqisition2.chkUseSubPrgRL.Value=1\r\n"
              "Acqisition2.chkUseSubPrgVylM70.Value=1\r\n");
    companionFiles({"QVSUBM70.exe", "QVSUBRL.exe"});
    Acqisition& w = Acqisition::instance();
    EXPECT_EQ(bootCompanions(w), 0u);
    EXPECT_TRUE(started().empty());
    EXPECT_EQ(Acqisition2::instance().chkBootOK.Value(), 1);
}

TEST_F(SubPrgTest, TerminalModeStartsNothingAndLeavesTheBootMark) {
    systemIni(kAllCompanions);
    companionFiles({"QVSUBM70.exe", "QVSUBRL.exe", "QVSUBJINS.exe"});
    forms::Form& conditions = apptest::loadStandIn<TerminalModeTag>(
        "frmCondition", {{forms::ControlType::CheckBox, "chkTerminalMode"}});
    conditions.control("chkTerminalMode").set("Value", 1);
    Acqisition& w = Acqisition::instance();
    EXPECT_EQ(bootCompanions(w), 0u);
    EXPECT_TRUE(started().empty());
    EXPECT_EQ(Acqisition2::instance().chkBootOK.Value(), 0);
    EXPECT_FALSE(w.timBootSubPrg.Enabled());
}

TEST_F(SubPrgTest, BootTimerFiresOnceAfterItsInterval) {
    systemIni("[USESUBPRG]\r\nAcqisition2.chkUseSubPrg.Value=1\r\nAcqisition2.chkUseSubPrgRL.Value=1\r\n");
    companionFiles({"QVSUBRL.exe"});
    Acqisition& w = Acqisition::instance();
    w.timBootSubPrg.setEnabled(true);
    driver.advance(265);
    EXPECT_TRUE(started().empty());
    driver.advance(1);
    EXPECT_EQ(started(), std::vector<std::string>{"QVSUBRL.exe"});
    driver.advance(1000);
    EXPECT_EQ(started().size(), 1u);
}

// ---- Watchdog ----

TEST_F(SubPrgTest, WatchdogTimesOutOnTheHundredAndFirstCountingTick) {
    Acqisition& w = Acqisition::instance();
    w.timWDT.setEnabled(true);
    driver.advance(10000);
    EXPECT_EQ(w.wdtCounter, 10000);
    EXPECT_TRUE(driver.msgBoxes().empty());
    driver.answerMsgBox(forms::vbOK);
    driver.advance(100);
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].prompt,
              "接続先プログラムからの応答がありません。タイムアウトしました。.");
    EXPECT_EQ(driver.msgBoxes()[0].style, forms::vbExclamation);
    EXPECT_EQ(w.wdtCounter, 0);
    EXPECT_FALSE(w.timWDT.Enabled());
}

TEST_F(SubPrgTest, WatchdogDoesNotCountWhileCompanionsAreInUse) {
    Acqisition& w = Acqisition::instance();
    Acqisition2::instance().chkUseSubPrg.setValue(1);
    w.timWDT.setEnabled(true);
    driver.advance(20000);
    EXPECT_EQ(w.wdtCounter, 0);
    EXPECT_TRUE(w.timWDT.Enabled());
}

// ---- Hidden window's commands ----

TEST_F(SubPrgTest, IntervalBoxSetsThePlaybackTimerFromItsLeadingNumber) {
    Acqisition2& h = Acqisition2::instance();
    h.Show();
    ASSERT_TRUE(driver.type(h.txtInterval, "250ms"));
    EXPECT_EQ(h.timPlayWav.Interval(), 250);
    ASSERT_TRUE(driver.type(h.txtInterval, "fast"));
    EXPECT_EQ(h.timPlayWav.Interval(), 0);
    // A number the timer cannot take is logged and the interval stays as it was.
    ASSERT_TRUE(driver.type(h.txtInterval, "65535"));
    for (const char* text : {"1e10", "1e99999", "65536", "-1"}) {
        ASSERT_TRUE(driver.type(h.txtInterval, text));
        EXPECT_EQ(h.timPlayWav.Interval(), 65535) << text;
        EXPECT_EQ(apptest::dayLogLines(prog.dir(), "Acqisition2.txtInterval の値 \"" + std::string(text) + "\""), 1u)
            << text;
    }
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(SubPrgTest, VoiceToTextGetsTheWholeFileNameAsOneArgument) {
    prog.writeBytes("tool", "");
    std::filesystem::remove(prog.dir() / "tool");
    std::filesystem::create_directory(prog.dir() / "tool");
    prog.writeBytes("tool/Vocapt.exe", "");
    Acqisition& w = Acqisition::instance();
    Acqisition2& h = Acqisition2::instance();
    w.txtFName.setText("C:\\DATA_QV\\my record; rm x");
    h.Show();
    ASSERT_TRUE(driver.click(h.cmdVocaptnize));
    const auto launches = kernel::recordedLaunches();
    ASSERT_EQ(launches.size(), 1u);
    ASSERT_EQ(launches[0].argv.size(), 2u);
    EXPECT_EQ(launches[0].argv[1], "/FILENAME=C:\\DATA_QV\\my record; rm x.WAV");
    EXPECT_NE(launches[0].program, "");
    // Without the tool: a log line, no error.
    std::filesystem::remove(prog.dir() / "tool/Vocapt.exe");
    ASSERT_TRUE(driver.click(h.cmdVocaptnize));
    EXPECT_NE(logText().find("Vocapt.exe"), std::string::npos);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(SubPrgTest, SweepButtonSetsTenSecondsOfPoints) {
    GAcqParam.nSClock = 500;  // 2 kHz
    Acqisition2& h = Acqisition2::instance();
    h.Show();
    ASSERT_TRUE(driver.click(h.cmdSweep10000));
    EXPECT_EQ(GAcqParam.lSweepPoint, 20000);
    EXPECT_EQ(GGraphSweep, 20000);
}

}  // namespace
