// The main window and the hidden state window: their designs, the layout on resize, the position
// timer and the instance numbers.
#include "app/main/Acqisition.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition2.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Globals.h"

using namespace qv;
using forms::Control;
using forms::ControlType;

namespace {

class AcqisitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetIniFileName("");
        GbEndProgram = false;
        GAcqParam = AcqParam{};
        GAcqParam.ModeString = "End";
    }
    void TearDown() override {
        GbEndProgram = false;
        GAcqParam = AcqParam{};
        SetIniFileName("");
    }
    // The window's design size in twips.
    static double designWidth() { return Acqisition::design().width; }
    static double designHeight() { return Acqisition::design().height; }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
};

std::vector<std::string> names(const forms::Form& f) {
    std::vector<std::string> out;
    for (const Control* c : f.Controls()) out.push_back(c->fullName());
    return out;
}

// ---- Designs ----

TEST_F(AcqisitionTest, MainWindowHoldsTheNamedControlsInItsDesignOrder) {
    Acqisition& w = Acqisition::instance();
    const std::vector<std::string> order = names(w);
    // The order is the design table's (the rows start-up loads come after it): it decides the
    // order in which a settings file is written and restored.
    ASSERT_GT(order.size(), Acqisition::design().controls.size());
    for (size_t i = 0; i < Acqisition::design().controls.size(); ++i) {
        const auto& d = Acqisition::design().controls[i];
        EXPECT_EQ(order[i], d.index < 0 ? d.name : d.name + "(" + std::to_string(d.index) + ")");
    }
    // Names other windows and files use, spelled as stored.
    for (const char* n : {"txtDR_WaveHi(0)", "txtDR_WaveLo_V(0)", "chkCopy(0)", "chkCopy_V(0)",
                          "Picture1(5)", "lblTimeCap(2)", "TXTComment(4)", "chkDetectR",
                          "txtDetectRCHNo", "chkDisp最も近いグラフを探す", "chk取込中マーク操作禁止",
                          "chk再起動せずにカメラ設定を変更可能にする", "txtずらすCHNo", "lstSort",
                          "LBLTimerPreSet", "cmbTimeFS", "cmbSampleFreq", "TXTPreSetCounter"})
        EXPECT_NE(w.findControlByFullName(n), nullptr) << n;
    EXPECT_EQ(std::set<std::string>(order.begin(), order.end()).size(), order.size());
}

TEST_F(AcqisitionTest, ChannelRowsAreDesignedOnceAndGrownByStartUp) {
    Acqisition& w = Acqisition::instance();
    for (const char* n : {"txtName", "txtUnit", "txtEUHI", "txtEULO", "txtCALAD", "txtBASEAD",
                          "CHKWaveNo", "lblNoName", "lblNoName_2", "lblNoName_3", "lblNoName_3R",
                          "txtNoName_3", "txtNoName_3R", "lblCurLevel_L", "lblCurLevel_R",
                          "lblCurLevel_LR", "txtDR_WaveHi", "txtDR_WaveHi_V", "txtDR_WaveLo",
                          "txtDR_WaveLo_V", "chkCopy", "chkCopy_V", "lblUnit", "chkCal", "lblDiv",
                          "Line1"}) {
        // The design holds element 0 only...
        int designed = 0;
        for (const auto& d : Acqisition::design().controls) {
            if (d.name != n) continue;
            ++designed;
            EXPECT_EQ(d.index, 0) << n;
        }
        EXPECT_EQ(designed, 1) << n;
        // ...and start-up grows the rows to 32 (Line1 to 8).
        const forms::ArrayGroup* g = w.findArray(n);
        ASSERT_NE(g, nullptr) << n;
        EXPECT_EQ(g->elements.size(), std::string(n) == "Line1" ? 8u : 32u) << n;
    }
    // A loaded row copies row 0.
    EXPECT_EQ(w.txtName(31).Width(), w.txtName(0).Width());
    EXPECT_EQ(w.txtName.UBound(), 31);
    EXPECT_EQ(w.Line1.UBound(), 7);
}

TEST_F(AcqisitionTest, OptionGroupsAreIndependent) {
    Acqisition& w = Acqisition::instance();
    // Three option groups, each in its own container: choosing one never clears another.
    w.optStorage.setValue(true);
    w.optS.setValue(true);
    w.optCalDisp.setValue(true);
    EXPECT_TRUE(w.optStorage.Value());
    EXPECT_TRUE(w.optS.Value());
    EXPECT_TRUE(w.optCalDisp.Value());
    w.optMonitor.setValue(true);
    EXPECT_FALSE(w.optStorage.Value());
    EXPECT_TRUE(w.optS.Value());
}

// Every control lies inside its container as designed, so nothing is cut off at the design
// size (the parked overlay box and the panel's separator lines excepted).
TEST_F(AcqisitionTest, ControlsFitTheirContainersAtTheDesignSize) {
    Acqisition& w = Acqisition::instance();
    const forms::PixelRect client = w.clientRect();
    for (const Control* c : w.Controls()) {
        if (c->type() == ControlType::Timer || c->type() == ControlType::Line ||
            c == &w.txtDR_WaveInput)
            continue;
        const double right = c->Left() + c->Width(), bottom = c->Top() + c->Height();
        if (const Control* box = c->Container()) {
            EXPECT_LE(right, box->Width() + 0.5) << c->fullName() << " in " << box->fullName();
            EXPECT_LE(bottom, box->Height() + 0.5) << c->fullName() << " in " << box->fullName();
        } else {
            EXPECT_LE(right, client.width()) << c->fullName();
            EXPECT_LE(bottom, client.height()) << c->fullName();
        }
        EXPECT_GE(c->Left(), 0) << c->fullName();
        EXPECT_GE(c->Top(), 0) << c->fullName();
    }
    // The overlay box is parked out of sight.
    EXPECT_LT(w.txtDR_WaveInput.Top(), -9000);
}

TEST_F(AcqisitionTest, HiddenWindowHoldsItsStateControls) {
    Acqisition2& h = Acqisition2::instance();
    EXPECT_FALSE(h.Visible());
    const std::vector<std::string> order = names(h);
    ASSERT_EQ(order.size(), Acqisition2::design().controls.size());
    for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], Acqisition2::design().controls[i].name);
    for (const Control* c : h.Controls()) {
        if (c->type() != ControlType::CheckBox) continue;
        EXPECT_EQ(c->get("Value").toInt(), 0) << c->Name();
    }
}

// ---- Layout on resize ----

TEST_F(AcqisitionTest, LoadRecordsTheDesignSizeAsTheMinimum) {
    Acqisition& w = Acqisition::instance();
    EXPECT_EQ(GAcqLayout.minWidth, static_cast<float>(designWidth()));
    EXPECT_EQ(GAcqLayout.minHeight, static_cast<float>(designHeight()));
    EXPECT_EQ(GAcqLayout.PBXMoniDispWidth, static_cast<float>(w.PBXMoniDisp.Width()));
    EXPECT_EQ(MoniDispStartHeight, static_cast<float>(w.PBXMoniDisp.Height()));
}

TEST_F(AcqisitionTest, WiderMovesTheRightHandPanelsAndStretchesTheMonitor) {
    Acqisition& w = Acqisition::instance();
    w.Show();
    const double ctrl = w.fraCtrl.Left(), cal = w.fraCal.Left(), acq = w.fraCalDispACQ.Left();
    const double setup = w.cmdCONDITION.Left(), msg = w.txtMsg.Left(), use = w.chkUseCAL.Left();
    const double range = w.lblRange.Left(), moni = w.PBXMoniDisp.Width();
    const double chDisp = w.fraCHDisp.Left(), curLvl = w.chkCurLvl.Left();
    ASSERT_TRUE(driver.resize(w, designWidth() + 150, designHeight()));
    // 150 twips at 15 twips a pixel.
    EXPECT_DOUBLE_EQ(w.fraCtrl.Left(), ctrl + 10);
    EXPECT_DOUBLE_EQ(w.fraCal.Left(), cal + 10);
    EXPECT_DOUBLE_EQ(w.fraRange.Left(), cal + 10);
    EXPECT_DOUBLE_EQ(w.fraCSV.Left(), cal + 10);
    EXPECT_DOUBLE_EQ(w.fraTrg.Left(), cal + 10);
    EXPECT_DOUBLE_EQ(w.fraCalDispACQ.Left(), acq + 10);
    EXPECT_DOUBLE_EQ(w.cmdCONDITION.Left(), setup + 10);
    EXPECT_DOUBLE_EQ(w.cmdHardCopy.Left(), setup + 10);
    EXPECT_DOUBLE_EQ(w.cmdHardCopyF.Left(), setup + 10);
    EXPECT_DOUBLE_EQ(w.txtMsg.Left(), msg + 10);
    EXPECT_DOUBLE_EQ(w.chkUseCAL.Left(), use + 10);
    EXPECT_DOUBLE_EQ(w.lblRange.Left(), range + 10);
    EXPECT_DOUBLE_EQ(w.PBXMoniDisp.Width(), moni + 10);
    // The left side stays.
    EXPECT_DOUBLE_EQ(w.fraCHDisp.Left(), chDisp);
    EXPECT_DOUBLE_EQ(w.chkCurLvl.Left(), curLvl);
    EXPECT_FLOAT_EQ(GAcqLayout.extraWidth, 150);
    EXPECT_FLOAT_EQ(GsngGraphWidth, 150);
}

TEST_F(AcqisitionTest, TallerMovesTheBottomRowsAndStretchesThePanels) {
    Acqisition& w = Acqisition::instance();
    w.Show();
    const double graph = w.fraMonitorGraph.Top(), lvl = w.chkCurLvl.Top(), l17 = w.Label17.Top();
    const double setup = w.cmdCONDITION.Top(), print = w.cmdHardCopyF.Top();
    const double moni = w.PBXMoniDisp.Height(), chDisp = w.fraCHDisp.Height();
    ASSERT_TRUE(driver.resize(w, designWidth(), designHeight() + 300));
    EXPECT_DOUBLE_EQ(w.fraMonitorGraph.Top(), graph + 20);
    EXPECT_DOUBLE_EQ(w.fraTrg.Top(), graph + 20);
    EXPECT_DOUBLE_EQ(w.fraCSV.Top(), w.fraTrg.Top() + 37);
    EXPECT_DOUBLE_EQ(w.chkCurLvl.Top(), lvl + 20);
    EXPECT_DOUBLE_EQ(w.Label17.Top(), l17 + 20);
    EXPECT_DOUBLE_EQ(w.cmdCONDITION.Top(), setup + 20);
    EXPECT_DOUBLE_EQ(w.cmdHardCopyF.Top(), print + 20);
    EXPECT_DOUBLE_EQ(w.PBXMoniDisp.Height(), moni + 20);
    EXPECT_DOUBLE_EQ(w.fraCHDisp.Height(), chDisp + 20);
    for (const forms::Frame* f : {&w.fraCal, &w.fraCtrl, &w.fraRange})
        EXPECT_DOUBLE_EQ(f->Height(), moni + 20) << f->Name();
    // Back to the design size puts everything where it was designed.
    ASSERT_TRUE(driver.resize(w, designWidth(), designHeight()));
    EXPECT_DOUBLE_EQ(w.fraMonitorGraph.Top(), graph);
    EXPECT_DOUBLE_EQ(w.PBXMoniDisp.Height(), moni);
}

TEST_F(AcqisitionTest, NarrowerThanTheDesignSnapsBackAndMovesNothing) {
    Acqisition& w = Acqisition::instance();
    w.Show();
    const double ctrl = w.fraCtrl.Left(), moni = w.PBXMoniDisp.Width();
    ASSERT_TRUE(driver.resize(w, designWidth() - 600, designHeight()));
    EXPECT_DOUBLE_EQ(w.Width(), designWidth());
    EXPECT_DOUBLE_EQ(w.fraCtrl.Left(), ctrl);
    EXPECT_DOUBLE_EQ(w.PBXMoniDisp.Width(), moni);
    ASSERT_TRUE(driver.resize(w, designWidth() + 300, designHeight() - 450));
    EXPECT_DOUBLE_EQ(w.Height(), designHeight());
    EXPECT_DOUBLE_EQ(w.fraCtrl.Left(), ctrl + 20);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(AcqisitionTest, MaximisedOnASmallScreenKeepsItsSizeAndMovesTheBottomRowsUp) {
    Acqisition& w = Acqisition::instance();
    w.Show();
    const double graph = w.fraMonitorGraph.Top(), ctrl = w.fraCtrl.Left();
    // A screen 60 pixels lower and 20 pixels narrower than the design.
    const int screenW = static_cast<int>(designWidth() / 15) - 20;
    const int screenH = static_cast<int>(designHeight() / 15) - 60;
    driver.setScreen(screenW, screenH);
    ASSERT_TRUE(driver.resize(w, w.Width(), w.Height(), forms::vbMaximized));
    EXPECT_EQ(w.WindowState(), forms::vbMaximized);
    EXPECT_DOUBLE_EQ(w.Height(), screenH * 15.0);
    EXPECT_DOUBLE_EQ(w.fraMonitorGraph.Top(), graph - 60);
    EXPECT_DOUBLE_EQ(w.fraCtrl.Left(), ctrl - 20);
    EXPECT_TRUE(driver.errors().empty());
}

// ---- Position timer ----

TEST_F(AcqisitionTest, PositionTimerCopiesThePlacementOnlyWhileVisible) {
    Acqisition& w = Acqisition::instance();
    Acqisition2& h = Acqisition2::instance();
    driver.advance(1000);
    EXPECT_EQ(h.txtSize_Acqisition_Width.Text(), "");
    EXPECT_EQ(h.txtSize_Acqisition_Top.Text(), "");
    w.Move(300, 450, designWidth() + 150, designHeight());
    w.Show();
    driver.advance(200);
    EXPECT_EQ(h.txtSize_Acqisition_Left.Text(), "300");
    EXPECT_EQ(h.txtSize_Acqisition_Top.Text(), "450");
    EXPECT_EQ(h.txtSize_Acqisition_Width.Text(), std::to_string(static_cast<int>(designWidth()) + 150));
    EXPECT_EQ(h.txtSize_Acqisition_Height.Text(), std::to_string(static_cast<int>(designHeight())));
    w.Hide();
    w.Move(600, 450, designWidth(), designHeight());
    driver.advance(400);
    EXPECT_EQ(h.txtSize_Acqisition_Left.Text(), "300");
}

TEST_F(AcqisitionTest, PositionTimerStopsWhenTheProgramEndsAfterOneLastCopy) {
    Acqisition& w = Acqisition::instance();
    Acqisition2& h = Acqisition2::instance();
    w.Show();
    GbEndProgram = true;
    w.Move(900, 450, designWidth(), designHeight());
    driver.advance(200);
    EXPECT_FALSE(w.timPos.Enabled());
    EXPECT_EQ(h.txtSize_Acqisition_Left.Text(), "900");
}

// ---- Instance numbers ----

class InstanceNumbers : public AcqisitionTest {
protected:
    void store(const std::string& list) {
        prog.writeBytes("Tolvane.ini", "[GLOBAL]\r\nlInstanseNo=" + list + "\r\n");
        kernel::clearProfileCache();
    }
    std::string stored() {
        const IniPathGuard guard(ProgramFile("Tolvane.ini"));
        return ReadIniString("GLOBAL", "lInstanseNo", "<none>");
    }
};

TEST_F(InstanceNumbers, TakesTheLowestFreeNumber) {
    Acqisition& w = Acqisition::instance();
    const struct {
        const char* before;
        int32_t number;
        const char* after;
    } cases[] = {{"1,2,4", 3, "1,2,3,4"}, {"2,3", 1, "1,2,3"}, {"1,2,3", 4, "1,2,3,4"},
                 {"", 1, "1"},            {"4,1", 2, "1,2,4"}, {"10,9,1", 2, "1,2,9,10"}};
    for (const auto& c : cases) {
        store(c.before);
        SetIniFileName("elsewhere.ini");
        EXPECT_EQ(w.GetInstanseNo(), c.number) << c.before;
        EXPECT_EQ(stored(), c.after) << c.before;
        EXPECT_EQ(GetIniFileName(), "elsewhere.ini");
    }
}

TEST_F(InstanceNumbers, NumbersBeyondALongAreLeftOutAndLogged) {
    Acqisition& w = Acqisition::instance();
    store("1,1e99999,3,5e9");
    EXPECT_EQ(w.GetInstanseNo(), 2);
    EXPECT_EQ(stored(), "1,2,3");
    store("2,-3e10");
    w.ReleaceInstanseNo(2);
    EXPECT_EQ(stored(), "<none>");
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "GLOBAL lInstanseNo の値 \"1e99999\""), 1u);
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "GLOBAL lInstanseNo の値 \"-3e10\""), 1u);
}

TEST_F(InstanceNumbers, ReleaseRemovesEveryCopyOfTheNumber) {
    Acqisition& w = Acqisition::instance();
    store("1,2,2,5");
    w.ReleaceInstanseNo(2);
    EXPECT_EQ(stored(), "1,5");
    w.ReleaceInstanseNo(7);
    EXPECT_EQ(stored(), "1,5");
    // Without a stored list the running instance's own number is the list.
    prog.writeBytes("Tolvane.ini", "");
    kernel::clearProfileCache();
    GAcqParam.lInstanseNo = 3;
    w.ReleaceInstanseNo(4);
    EXPECT_EQ(stored(), "3");
    w.ReleaceInstanseNo(3);
    EXPECT_EQ(stored(), "<none>");
}

}  // namespace
