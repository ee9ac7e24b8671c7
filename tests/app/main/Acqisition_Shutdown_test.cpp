// Closing the main window: refusals while a measurement runs, the one confirmation, the
// placement kept in "Tolvane.ini", the release of the shared objects, and the camera window
// the close and the boot timer place.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>

#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "app/camera/frmCAMDisp.h"
#include "app/channel/CWave.h"
#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/common/frmMessage.h"
#include "app/common/modCommand.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"
#include "platform/kernel/Paths.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

struct RecordingComponent : Acqisition::OutsideComponent {
    explicit RecordingComponent(int& calls) : calls_(calls) {}
    void TermMaster() override { ++calls_; }
    int& calls_;
};

// What a child process found wrong; it exits 0 when nothing was.
struct Checks {
    std::string failed;
    void expect(bool ok, const char* what) {
        if (!ok) failed += std::string(what) + "; ";
    }
};

// A confirmed close is remembered for the rest of the process, so each one runs in a process of
// its own and this one can still ask.
void inOwnProcess(const std::function<void(Checks&)>& body) {
    EXPECT_EXIT(
        {
            Checks c;
            body(c);
            std::fputs(c.failed.c_str(), stderr);
            std::_Exit(c.failed.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

class ShutdownTest : public ::testing::Test {
protected:
    Acqisition& start() {
        Acqisition* w = nullptr;
        driver.run([&] {
            w = &Acqisition::instance();
            w->Show();
        });
        driver.advance(1);  // the boot timer
        return *w;
    }
    std::string ini(const std::string& section, const std::string& key) {
        IniPathGuard g(ProgramFile("Tolvane.ini"));
        return ReadIniString(section, key, "<none>");
    }
    void setSharedDataOption() {
        IniPathGuard g(ProgramFile("Tolvane.ini"));
        WriteIniString("CTRL", "chkBlobrelay.Value", "1");
    }
    bool loaded(const char* name) { return forms::Runtime::get().findForm(name) != nullptr; }
    std::string messageLine(int i) {
        return frmMessage::instance().LBL_Progress_Caption(i).Caption();
    }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram startable{prog};
    forms::Driver driver;
};

TEST_F(ShutdownTest, CloseAsksOnceAndCancelKeepsEverything) {
    Acqisition& w = start();
    w.Move(1200, 800, 18000, 12000);
    driver.answerMsgBox(forms::vbCancel);
    driver.close(w);
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].title, "終了");
    EXPECT_EQ(driver.msgBoxes()[0].prompt, "プログラムを終了します。\r\nよろしいですか？");
    EXPECT_TRUE(loaded("Acqisition"));
    EXPECT_FALSE(GbEndProgram);
    EXPECT_EQ(ini("Acqisition", "Acqisition.Left"), "<none>");

    // The next request asks again; OK closes and keeps the placement of both windows.
    frmCAMDisp::instance().Move(2400, 300, 6000, 1800);
    inOwnProcess([&](Checks& c) {
        int termCalls = 0;
        w.sharedData = std::make_shared<RecordingComponent>(termCalls);
        driver.answerMsgBox(forms::vbOK);
        driver.close(w);
        c.expect(driver.msgBoxes().size() == 2, "asked a second time");
        c.expect(GbEndProgram, "ending flag set");
        c.expect(driver.ended(), "program ended");
        c.expect(ini("Acqisition", "Acqisition.Left") == "1200", "main left");
        c.expect(ini("Acqisition", "Acqisition.Top") == "800", "main top");
        c.expect(ini("Acqisition", "Acqisition.Width") == "18000", "main width");
        c.expect(ini("Acqisition", "Acqisition.Height") == "12000", "main height");
        c.expect(ini("frmCAMDisp", "frmCAMDisp.Left") == "2400", "camera left");
        c.expect(ini("frmCAMDisp", "frmCAMDisp.Top") == "300", "camera top");
        c.expect(Acqisition::GCWave.empty(), "channel buffers released");
        // The shared-data option is off in the shipped settings: no TermMaster.
        c.expect(termCalls == 0, "no TermMaster with the option off");
        c.expect(!loaded("frmCondition") && !loaded("frmPrintPv"), "windows unloaded");
    });
}

TEST_F(ShutdownTest, CloseIsRefusedWhileMeasuring) {
    Acqisition& w = start();
    const struct {
        const char* mode;
        const char* line1;
        const char* line2;
    } cases[] = {
        {"Acq", "取り込み中は終了できません.", "End を押して終了してください。"},
        {"L-L", "L - L 検出中は終了できません.", "L - L を押してから終了してください。"},
        {"L-L/2", "L - L / 2 検出中は終了できません.", "L - L / 2 を押してから終了してください。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        GAcqParam.ModeString = c.mode;
        driver.close(w);
        EXPECT_TRUE(loaded("Acqisition"));
        EXPECT_FALSE(GbEndProgram);
        EXPECT_TRUE(frmMessage::instance().Visible());
        EXPECT_EQ(messageLine(0), c.line1);
        EXPECT_EQ(messageLine(1), c.line2);
    }
    // No confirmation was asked and nothing was saved.
    EXPECT_TRUE(driver.msgBoxes().empty());
    EXPECT_EQ(ini("Acqisition", "Acqisition.Left"), "<none>");
    EXPECT_EQ(Acqisition::GCWave.size(), 32u);
}

TEST_F(ShutdownTest, SharedDataComponentIsEndedWhenTheOptionIsOn) {
    setSharedDataOption();
    int termCalls = 0;
    std::string askedFor;
    Acqisition::CreateObject = [&](const std::string& id) {
        askedFor = id;
        return std::make_shared<RecordingComponent>(termCalls);
    };
    Acqisition& w = start();
    EXPECT_EQ(askedFor, "Blobrelay.CBlobrelay_");
    ASSERT_NE(w.sharedData, nullptr);
    inOwnProcess([&](Checks& c) {
        driver.answerMsgBox(forms::vbOK);
        driver.close(w);
        c.expect(driver.ended(), "program ended");
        c.expect(termCalls == 1, "TermMaster called once");
    });
}

TEST_F(ShutdownTest, MissingSharedDataComponentIsLoggedAndTheStartGoesOn) {
    setSharedDataOption();
    Acqisition& w = start();
    EXPECT_FALSE(driver.ended());
    EXPECT_EQ(w.sharedData, nullptr);
    EXPECT_EQ(w.txtName.UBound(), 31);
}

TEST_F(ShutdownTest, PlacementOfAMinimizedWindowIsNotWritten) {
    Acqisition& w = start();
    w.Move(600, 600, 12000, 9000);
    Acqisition::WritePosition(w);
    EXPECT_EQ(ini("Acqisition", "Acqisition.Left"), "600");
    w.Move(900, 900, 12000, 9000);
    w.setWindowState(forms::vbMinimized);
    Acqisition::WritePosition(w);
    EXPECT_EQ(ini("Acqisition", "Acqisition.Left"), "600");
    // The ini module's current file is the caller's again.
    SetIniFileName(ProgramFile("SETTING.SET"));
    w.setWindowState(forms::vbNormal);
    Acqisition::WritePosition(w);
    EXPECT_EQ(GetIniFileName(), ProgramFile("SETTING.SET"));
}

TEST_F(ShutdownTest, ReadPositionKeepsTheWindowOnTheScreen) {
    driver.setScreen(1366, 768);
    Acqisition& w = start();
    const double width = w.Width(), height = w.Height();
    // No section: the window stays where it is.
    frmCAMDisp& cam = frmCAMDisp::instance();
    cam.Move(450, 300, 6000, 1800);
    Acqisition::ReadPosition(cam, true);
    EXPECT_EQ(cam.Left(), 450);
    EXPECT_EQ(cam.Width(), 6000);
    // Far off to the right and above: back onto the screen, its size kept.
    std::ofstream(prog.dir() / "Tolvane.ini", std::ios::app)
        << "[Acqisition]\r\nAcqisition.Left=90000\r\nAcqisition.Top=-5000\r\n";
    kernel::clearProfileCache();
    Acqisition::ReadPosition(w, true);
    EXPECT_EQ(w.Width(), width);
    EXPECT_EQ(w.Height(), height);
    EXPECT_EQ(w.Top(), 0);
    EXPECT_LE(w.Left() + std::min(width, 1366.0 * 15), 1366.0 * 15);
    EXPECT_GE(w.Left(), 0);
    // A text that is not a number reads as 0.
    std::ofstream(prog.dir() / "Tolvane.ini", std::ios::app)
        << "[frmCAMDisp]\r\nfrmCAMDisp.Left=left\r\nfrmCAMDisp.Top=120\r\n";
    kernel::clearProfileCache();
    Acqisition::ReadPosition(cam, false);
    EXPECT_EQ(cam.Left(), 0);
    EXPECT_EQ(cam.Top(), 120);
    // A number beyond the number range is logged and that side of the placement kept.
    std::ofstream(prog.dir() / "Tolvane.ini", std::ios::trunc)
        << "[frmCAMDisp]\r\nfrmCAMDisp.Left=1e99999\r\nfrmCAMDisp.Top=-1e400\r\nfrmCAMDisp.Width=300\r\n";
    kernel::clearProfileCache();
    cam.Move(450, 300, 6000, 1800);
    Acqisition::ReadPosition(cam, true);
    EXPECT_EQ(cam.Left(), 450);
    EXPECT_EQ(cam.Top(), 300);
    EXPECT_EQ(cam.Width(), 300);
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "frmCAMDisp.Left の値 \"1e99999\""), 1u);
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "frmCAMDisp.Top の値 \"-1e400\""), 1u);
}

TEST_F(ShutdownTest, ClearingTheDataResetsTheCameraFrameLabels) {
    Acqisition& w = start();
    (void)w;
    frmCAMDisp& cam = frmCAMDisp::instance();
    cam.lblFNo_L.setCaption("12");
    cam.lblTotalFNum.setCaption("300");
    ClearAcqArrays();
    EXPECT_EQ(cam.lblFNo_L.Caption(), "--------");
    EXPECT_EQ(cam.lblFNo_R.Caption(), "--------");
    EXPECT_EQ(cam.lblTotalFNum.Caption(), "--------");
}

}  // namespace
