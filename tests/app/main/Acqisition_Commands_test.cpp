// The main window's small commands: SETUP, STORE, the hard copy, the option boxes, the helpers
// over the receive list, the drops on its panels and the calls of handlers by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "app/main/frmPrintPv.h"
#include "app/main/frm最も近いグラフを探す.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Globals.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

class AcqisitionCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        w = &Acqisition::instance();
        driver.run([this] { w->Show(); });
        GAcqParam.ModeString = "End";
        paintWatch = w->PBXMoniDisp.Paint.connect([this] { ++paints; });
    }
    void TearDown() override {
        GAcqParam = AcqParam{};
        InstanceMode = 1;
        GPrintForms.fill(nullptr);
    }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
    int paints = 0;
    forms::ScopedConnection paintWatch;
};

struct OtherWindowTag {};
struct LowerCaseTag {};

// ---- Calls by name ----

TEST_F(AcqisitionCommandsTest, CallFuncRunsTheFourHandlersByTheirExactNames) {
    const std::vector<std::pair<std::string, void (Acqisition::*)()>> expected = {
        {"txtCurTime_L_LostFocus", &Acqisition::txtCurTime_L_LostFocus},
        {"txtCurTime_R_LostFocus", &Acqisition::txtCurTime_R_LostFocus},
        {"cmdMove_Click", &Acqisition::cmdMove_Click},
        {"cmdLoad_Click", &Acqisition::cmdLoad_Click}};
    const auto& table = Acqisition::CallFuncTable();
    ASSERT_EQ(table.size(), expected.size());
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].name, expected[i].first);
        EXPECT_EQ(table[i].handler, expected[i].second) << table[i].name;
        // Only the load runs as the program's own request.
        EXPECT_EQ(table[i].asRequest, expected[i].first == "cmdLoad_Click");
    }
    // The load runs and refuses the empty file-name box.
    driver.answerMsgBox(forms::vbOK);
    w->CallFunc("cmdLoad_Click");
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].style, 48);
    EXPECT_FALSE(w->bAutoCall);
    for (const char* name : {"cmdload_click", "CMDLOAD_CLICK", "cmdLoad_Click ", "", "Form_Load"})
        EXPECT_EQ(apptest::errorNumber([&] { w->CallFunc(name); }), 0) << name;
}

TEST_F(AcqisitionCommandsTest, CallFuncMainFindsTheWindowByItsExactName) {
    const size_t loaded = forms::Runtime::get().Forms().size();
    w->CallFuncMain("frmPrintPv", "cmdMove_Click");  // not loaded: not created either
    EXPECT_EQ(forms::Runtime::get().Forms().size(), loaded);
    EXPECT_EQ(forms::Runtime::get().findForm("frmPrintPv"), nullptr);
    // A window whose name differs only in case is another one; a window that takes no calls
    // by name refuses as a late-bound call would.
    apptest::loadStandIn<LowerCaseTag>("acqisition", {});
    EXPECT_EQ(apptest::errorNumber([&] { w->CallFuncMain("acqisition", "cmdMove_Click"); }), 438);
    EXPECT_EQ(apptest::errorNumber([&] { w->CallFuncMain("Acqisition", "cmdMove_Click"); }), 0);
    apptest::loadStandIn<OtherWindowTag>("frmOther", {});
    EXPECT_EQ(apptest::errorNumber([&] { w->CallFuncMain("frmother", "cmdMove_Click"); }), 0);

    // The button takes its two boxes; the stand-in's refusal shows where it was dispatched.
    w->txtFormName.setText("frmOther");
    w->txtFuncName.setText("cmdMove_Click");
    driver.answerMsgBox(forms::vbOK);
    w->cmdCallFuncMain.Click.raise();  // (the button is hidden in normal use)
    ASSERT_EQ(driver.errors().size(), 1u);
    EXPECT_NE(driver.msgBoxes().at(0).prompt.find("438"), std::string::npos);
}

// ---- Buttons ----

TEST_F(AcqisitionCommandsTest, SetupShowsTheConditionsInModeSetupAndCancelRestoresThem) {
    GAcqCondition.strCH = "1-8";
    std::string modeWhileOpen;
    driver.onModal("frmCondition", [&](forms::Form&) {
        modeWhileOpen = GAcqParam.ModeString;
        GAcqCondition.strCH = "3-4";  // what an edit would leave
        frmCondition::instance().cmdCancel_Click();
    });
    // SETUP is locked in this viewer; its handler runs as the window would run it.
    driver.run([&] { w->cmdCONDITION_Click(); });
    EXPECT_EQ(modeWhileOpen, "SETUP");
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_EQ(GAcqCondition.strCH, "1-8");
    EXPECT_FALSE(frmCondition::instance().Visible());
}

TEST_F(AcqisitionCommandsTest, StoreWritesTheInstancesSettingsAndItsCalibration) {
    w->LBL_CALFName.setCaption("");
    w->lblCALStatus.setVisible(true);
    driver.run([&] { w->cmdQUIT_Click(); });
    EXPECT_TRUE(fs::exists(prog.dir() / "SETTING.SET"));
    EXPECT_TRUE(fs::exists(prog.dir() / "DEFAULT.CAL"));
    EXPECT_EQ(GstrSettingFile, prog.win("SETTING.SET"));
    EXPECT_TRUE(w->Enabled());  // the program stays, usable again
    EXPECT_TRUE(w->cmdQUIT.Enabled());
    EXPECT_FALSE(w->lblCALStatus.Visible());
    EXPECT_TRUE(driver.msgBoxes().empty());

    InstanceMode = 2;  // a terminal, with a named calibration file
    w->LBL_CALFName.setCaption(prog.win("Sensors"));
    driver.run([&] { w->cmdQUIT_Click(); });
    EXPECT_TRUE(fs::exists(prog.dir() / "SETTING_1.SET"));
    EXPECT_TRUE(fs::exists(prog.dir() / "Sensors.CAL"));
}

TEST_F(AcqisitionCommandsTest, StoreThatCannotWriteTheCalibrationSaysSo) {
    prog.writeBytes("plain", "a file, not a folder");
    w->LBL_CALFName.setCaption(prog.win("plain\\cal"));
    driver.answerMsgBox(forms::vbOK);
    driver.run([&] { w->cmdQUIT_Click(); });
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].style, forms::vbExclamation);
    EXPECT_NE(driver.msgBoxes()[0].prompt.find("cal.CAL"), std::string::npos);
    EXPECT_TRUE(w->Enabled());
    EXPECT_TRUE(w->cmdQUIT.Enabled());
}

TEST_F(AcqisitionCommandsTest, PrintButtonsPrintTheMainWindowAloneAndBoxesRepaint) {
    for (forms::CommandButton* button : {&w->cmdHardCopy, &w->cmdHardCopyF}) {
        GPrintForms = {nullptr, &frmPrintPv::instance(), &frmPrintPv::instance(),
                       &frmPrintPv::instance()};
        ASSERT_TRUE(driver.click(*button));
        EXPECT_EQ(GPrintForms[1], w) << button->Name();
        EXPECT_EQ(GPrintForms[2], nullptr);
        EXPECT_EQ(GPrintForms[3], nullptr);
    }
    w->chkDispBUFF_SWEEP_F.setValue(w->chkDispBUFF_SWEEP_F.Value() == 1 ? 0 : 1);
    w->chkDispCAMPos.setValue(w->chkDispCAMPos.Value() == 1 ? 0 : 1);
    w->chkFFT.setValue(w->chkFFT.Value() == 1 ? 0 : 1);  // no work of its own
    EXPECT_EQ(paints, 2);
}

TEST_F(AcqisitionCommandsTest, NearestWaveformBoxCreatesAndShowsItsWindow) {
    EXPECT_EQ(forms::Runtime::get().findForm("frm最も近いグラフを探す"), nullptr);
    w->chkDisp最も近いグラフを探す.setValue(1);
    forms::Form* nearest = forms::Runtime::get().findForm("frm最も近いグラフを探す");
    ASSERT_NE(nearest, nullptr);
    EXPECT_TRUE(nearest->Visible());
    w->chkDisp最も近いグラフを探す.setValue(0);
    EXPECT_FALSE(nearest->Visible());
}

// ---- Helpers over the receive list, drops ----

TEST_F(AcqisitionCommandsTest, ReceiveListLookupsTakeTheLastEntryAndRemoveAll) {
    forms::ListBox& list = Acqisition2::instance().lstRCVSubPrg;
    list.Clear();
    for (const char* e : {"3,5001,A", "7,6000", "3,5002,B", "x,1", "12"}) list.AddItem(e);
    EXPECT_EQ(w->GetID2PortNo(3), "5002");
    EXPECT_EQ(w->GetID2PortNo(12), "");  // an entry without a port names none
    EXPECT_EQ(w->GetID2PortNo(4), "");
    EXPECT_EQ(w->GetID2SubPrg(), "5");
    w->DelData2PortNo(3);
    ASSERT_EQ(list.ListCount(), 3);
    EXPECT_EQ(list.List(0), "7,6000");
    EXPECT_EQ(list.List(1), "x,1");
    EXPECT_EQ(w->GetID2SubPrg(), "3");
    w->chkCancel.setValue(2);
    EXPECT_FALSE(w->IsCancel());
    w->chkCancel.setValue(1);
    EXPECT_TRUE(w->IsCancel());
}

TEST_F(AcqisitionCommandsTest, FilesDroppedOnAnyPanelGoToTheWindowsDropHandler) {
    // Each drop reaches the load, which refuses the missing parameter file once.
    for (int i = 0; i < 7; ++i) driver.answerMsgBox(forms::vbOK);
    const std::optional<int> onWindow = driver.drop(*w, {"/tmp/a.Kdat"}, 1, 2, 3, 4);
    ASSERT_TRUE(onWindow.has_value());
    struct Panel {
        forms::Control& control;
        forms::DropTarget& target;
    } panels[] = {{w->fraCal, w->fraCal},           {w->fraCHDisp, w->fraCHDisp},
                  {w->PBXMoniDisp, w->PBXMoniDisp}, {w->fraRange, w->fraRange},
                  {w->fraCtrl, w->fraCtrl},         {w->fraCSV, w->fraCSV}};
    for (Panel& p : panels) {
        p.control.setVisible(true);
        p.control.setEnabled(true);
        EXPECT_TRUE(p.target.OLEDragDrop.hasHandlers()) << p.control.Name();
        EXPECT_EQ(driver.drop(p.control, {"/tmp/a.Kdat"}, 1, 2, 3, 4), onWindow)
            << p.control.Name();
    }
    EXPECT_TRUE(driver.errors().empty());
    EXPECT_EQ(driver.msgBoxes().size(), 7u);
}

}  // namespace
