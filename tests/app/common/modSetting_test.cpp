#include "app/common/modSetting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "app/common/modIniFile.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Runtime.h"

using namespace qv;
using T = qv::forms::ControlType;

namespace {

struct PanelTag {};
struct MainTag {};
struct CondTag {};

// A window whose lists are stored with their entries.
forms::Form& loadPanel() {
    return apptest::loadStandIn<PanelTag>(
        "frmPanel", {{T::CheckBox, "chkA"}, {T::Label, "lblX"}, {T::TextBox, "txtName(0)"},
                     {T::TextBox, "txtName(1)"}, {T::ComboBox, "cmbB"}, {T::OptionButton, "optC"},
                     {T::ListBox, "lstD"}, {T::CommandButton, "cmdE"}, {T::TextBox, "txtName(2)"},
                     {T::TextBox, "txtName(3)"}});
}

template <class C>
C& ctl(forms::Form& f, const std::string& name, int index = -1) {
    return dynamic_cast<C&>(f.control(name, index));
}

class ModSettingTest : public ::testing::Test {
protected:
    void TearDown() override {
        forms::Runtime::get().reset();
        SetIniFileName("");
    }
    std::string read(const std::string& section, const std::string& key,
                     const std::string& file) {
        return kernel::getProfileString(file, section, key, "<none>").text;
    }
    apptest::TempProgramFolder prog;
};

TEST_F(ModSettingTest, SaveWritesPersistedControlsInOrderWithTheirKeys) {
    forms::Form& f = loadPanel();
    ctl<forms::CheckBox>(f, "chkA").setValue(1);
    ctl<forms::TextBox>(f, "txtName", 1).setText("x;y\tz");
    auto& cmb = ctl<forms::ComboBox>(f, "cmbB");
    for (const char* item : {"", "a", ""}) cmb.AddItem(item);
    cmb.setListIndex(1);
    ctl<forms::OptionButton>(f, "optC").setValue(true);
    auto& lst = ctl<forms::ListBox>(f, "lstD");
    lst.AddItem("p");
    lst.AddItem("q");

    const std::string file = prog.win("s.SET");
    ASSERT_TRUE(SaveFormControls(f, file));
    EXPECT_EQ(GetIniFileName(), file);

    const std::string text = prog.readBytes("s.SET");
    // One section a persisted control, in the window's control order; no label, no button.
    std::vector<size_t> at;
    for (const char* s : {"[frmPanel.chkA]", "[frmPanel.txtName(0)]", "[frmPanel.txtName(1)]",
                          "[frmPanel.cmbB]", "[frmPanel.optC]", "[frmPanel.lstD]",
                          "[frmPanel.txtName(2)]", "[frmPanel.txtName(3)]"})
        at.push_back(text.find(s));
    EXPECT_EQ(std::count(at.begin(), at.end(), std::string::npos), 0);
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
    EXPECT_EQ(text.find("lblX"), std::string::npos);
    EXPECT_EQ(text.find("cmdE"), std::string::npos);

    // Keys in the order Name, Text, ListIndex, ListCount; only the non-empty entry.
    const size_t cmbAt = text.find("[frmPanel.cmbB]");
    const std::string cmbSection = text.substr(cmbAt, text.find("[frmPanel.optC]") - cmbAt);
    EXPECT_EQ(cmbSection.find("Name=cmbB\r\nText=a\r\nListIndex=1\r\nListCount=3\r\nList(1)=a\r\n"),
              cmbSection.find("Name="));
    EXPECT_EQ(cmbSection.find("List(0)"), std::string::npos);
    EXPECT_EQ(cmbSection.find("List(2)"), std::string::npos);

    EXPECT_EQ(read("frmPanel.chkA", "Value", file), "1");
    EXPECT_EQ(read("frmPanel.chkA", "Text", file), "<none>");  // a check box has no text
    EXPECT_EQ(read("frmPanel.optC", "Value", file), "True");
    EXPECT_EQ(read("frmPanel.txtName(1)", "Name", file), "txtName");
    EXPECT_EQ(read("frmPanel.lstD", "List(1)", file), "q");
}

TEST_F(ModSettingTest, ExcludedControlsAndTheMainWindowsListsAreNotSaved) {
    forms::Form& main = apptest::loadStandIn<MainTag>(
        "Acqisition", {{T::CheckBox, "chkDetectR"}, {T::CheckBox, "chkUseCAL"},
                       {T::ComboBox, "cmbSampleFreq"}, {T::OptionButton, "optCalAcq"}});
    auto& rate = ctl<forms::ComboBox>(main, "cmbSampleFreq");
    rate.AddItem(" 1k (Hz)");
    rate.setListIndex(0);
    const std::string file = prog.win("main.SET");
    ASSERT_TRUE(SaveFormControls(main, file));

    const std::string text = prog.readBytes("main.SET");
    EXPECT_EQ(text.find("chkDetectR"), std::string::npos);
    EXPECT_EQ(text.find("optCalAcq"), std::string::npos);
    EXPECT_EQ(read("Acqisition.chkUseCAL", "Value", file), "0");
    EXPECT_EQ(read("Acqisition.cmbSampleFreq", "ListCount", file), "1");
    EXPECT_EQ(read("Acqisition.cmbSampleFreq", "List(0)", file), "<none>");

    EXPECT_TRUE(IsExcludedControl("frmGraphMemo", "cmbLineTypesEd"));
    EXPECT_FALSE(IsExcludedControl("Acqisition2", "chkDetectR"));
    EXPECT_FALSE(IsExcludedControl("Acqisition", "chkdetectr"));
}

TEST_F(ModSettingTest, EmptyFileNameUsesDebugPropertyIni) {
    forms::Form& f = loadPanel();
    ctl<forms::TextBox>(f, "txtName", 0).setText("kept");
    ASSERT_TRUE(SaveFormControls(f, ""));
    EXPECT_EQ(GetIniFileName(), prog.win("Debug\\Property.ini"));
    EXPECT_NE(prog.readBytes("Debug/Property.ini").find("Text=kept"), std::string::npos);

    ctl<forms::TextBox>(f, "txtName", 0).setText("changed");
    SetIniFileName("");
    LoadFormControls(f, "", false);
    EXPECT_EQ(ctl<forms::TextBox>(f, "txtName", 0).Text(), "kept");
    EXPECT_EQ(GetIniFileName(), prog.win("Debug\\Property.ini"));

    EXPECT_FALSE(SaveFormControls(f, prog.win("missing\\folder\\s.SET")));
}

TEST_F(ModSettingTest, RoundTripRestoresValuesAndTextsWhole) {
    forms::Form& f = loadPanel();
    auto& chk = ctl<forms::CheckBox>(f, "chkA");
    auto& txt = ctl<forms::TextBox>(f, "txtName", 1);
    auto& opt = ctl<forms::OptionButton>(f, "optC");
    auto& cmb = ctl<forms::ComboBox>(f, "cmbB");
    cmb.AddItem("one");
    cmb.AddItem("two");
    cmb.setListIndex(1);
    chk.setValue(2);
    txt.setText("12 ; note\twith tab");
    opt.setValue(true);
    const std::string file = prog.win("r.SET");
    ASSERT_TRUE(SaveFormControls(f, file));

    int clicks = 0;
    chk.Click.connect([&] { ++clicks; });
    chk.setValue(0);
    clicks = 0;
    txt.setText("");
    opt.setValue(false);
    cmb.setListIndex(-1);
    SetIniFileName("");

    LoadFormControls(f, file, false);
    EXPECT_EQ(chk.Value(), 2);
    EXPECT_EQ(clicks, 1);  // restoring a value runs the control's handler
    EXPECT_EQ(txt.Text(), "12 ; note\twith tab");
    EXPECT_TRUE(opt.Value());
    EXPECT_EQ(cmb.ListIndex(), 1);
    EXPECT_EQ(cmb.ListCount(), 2);  // saved entries already present are not added again
    EXPECT_EQ(GetIniFileName(), file);
}

TEST_F(ModSettingTest, MissingKeysAndRefusedValuesLeaveControlsAsTheyAre) {
    forms::Form& f = loadPanel();
    auto& cmb = ctl<forms::ComboBox>(f, "cmbB");
    for (const char* item : {"a", "b", "c"}) cmb.AddItem(item);
    cmb.setListIndex(2);
    ctl<forms::CheckBox>(f, "chkA").setValue(1);
    ctl<forms::TextBox>(f, "txtName", 0).setText("before");
    prog.writeBytes("bad.SET",
                    "[frmPanel.chkA]\r\nName=chkA\r\nValue=7\r\n"
                    "[frmPanel.cmbB]\r\nListIndex=5\r\n"
                    "[frmPanel.optC]\r\nValue=True\r\n"
                    "[frmPanel.txtName(0)]\r\nName=txtName\r\n"
                    "[frmPanel.lstD]\r\nListIndex=1e99999\r\n");
    LoadFormControls(f, prog.win("bad.SET"), false);
    EXPECT_EQ(ctl<forms::CheckBox>(f, "chkA").Value(), 1);  // 7 refused
    EXPECT_EQ(cmb.ListIndex(), 2);                          // 5 refused
    EXPECT_TRUE(ctl<forms::OptionButton>(f, "optC").Value());  // later controls still load
    EXPECT_EQ(ctl<forms::TextBox>(f, "txtName", 0).Text(), "before");
    EXPECT_EQ(ctl<forms::ListBox>(f, "lstD").ListIndex(), -1);  // beyond the number range
    // Each refused value is a line of the day's log; the values the controls took are not.
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "は設定できないため無視しました。"), 3u);
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "frmPanel.chkA.Value の値 \"7\""), 1u);
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "frmPanel.cmbB.ListIndex の値 \"5\""), 1u);
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "frmPanel.lstD.ListIndex の値 \"1e99999\""), 1u);

    // A file the search does not find changes nothing, the current ini file included.
    SetIniFileName("previous.ini");
    LoadFormControls(f, prog.win("gone.SET"), true);
    EXPECT_EQ(ctl<forms::TextBox>(f, "txtName", 0).Text(), "before");
    EXPECT_EQ(GetIniFileName(), "previous.ini");
}

TEST_F(ModSettingTest, ReloadAddsEntriesOnceUnlessDuplicatesAreAllowed) {
    forms::Form& f = loadPanel();
    auto& lst = ctl<forms::ListBox>(f, "lstD");
    lst.AddItem("keep");
    prog.writeBytes("l.SET",
                    "[frmPanel.lstD]\r\nListCount=3\r\nList(0)=x\r\nList(2)=keep\r\n"
                    "[frmPanel.cmbB]\r\nListIndex=1\r\nListCount=2\r\nList(0)=u\r\nList(1)=v\r\n");
    const std::string file = prog.win("l.SET");
    auto& cmb = ctl<forms::ComboBox>(f, "cmbB");
    LoadFormControls(f, file, false);
    // The selection is restored before the entries are added, so it is refused the first time.
    EXPECT_EQ(cmb.ListIndex(), -1);
    LoadFormControls(f, file, false);
    EXPECT_EQ(cmb.ListIndex(), 1);
    ASSERT_EQ(lst.ListCount(), 2);
    EXPECT_EQ(lst.List(0), "keep");
    EXPECT_EQ(lst.List(1), "x");
    EXPECT_EQ(cmb.ListCount(), 2);
    LoadFormControls(f, file, true);
    EXPECT_EQ(lst.ListCount(), 4);
    EXPECT_EQ(lst.List(3), "keep");
    EXPECT_EQ(cmb.ListCount(), 4);
}

TEST_F(ModSettingTest, ListCountsFromFilesAreCapped) {
    forms::Form& f = loadPanel();
    prog.writeBytes("huge.SET",
                    "[frmPanel.lstD]\r\nListCount=2000000000\r\nList(0)=a\r\n"
                    "[LISTBOX]\r\nlstD.ListCount=9e15\r\nlstD(0)=first\r\n");
    const std::string file = prog.win("huge.SET");
    LoadFormControls(f, file, false);
    auto& lst = ctl<forms::ListBox>(f, "lstD");
    EXPECT_EQ(lst.ListCount(), 1);
    LoadListBoxItems(file, lst);
    ASSERT_EQ(lst.ListCount(), 32767);
    EXPECT_EQ(lst.List(0), "first");
    EXPECT_EQ(lst.List(32766), "");
}

TEST_F(ModSettingTest, LoadListBoxItemsReplacesTheEntriesAndRestoresThePath) {
    forms::Form& f = loadPanel();
    auto& lst = ctl<forms::ListBox>(f, "lstD");
    lst.AddItem("old");
    prog.writeBytes("p.Kpar",
                    "[LISTBOX]\r\nlstD.ListCount=3\r\nlstD(0)=10:00:01\r\nlstD(1)=\r\n"
                    "lstD(2)=10:00:03 ; note\r\nother(0)=z\r\n");
    SetIniFileName("current.ini");
    LoadListBoxItems(prog.win("p.Kpar"), lst);
    ASSERT_EQ(lst.ListCount(), 3);
    EXPECT_EQ(lst.List(0), "10:00:01");
    EXPECT_EQ(lst.List(1), "");
    EXPECT_EQ(lst.List(2), "10:00:03");
    EXPECT_EQ(GetIniFileName(), "current.ini");

    prog.writeBytes("none.Kpar", "[LISTBOX]\r\n");
    LoadListBoxItems(prog.win("none.Kpar"), lst);
    EXPECT_EQ(lst.ListCount(), 0);
}

TEST_F(ModSettingTest, SetControlPropertyReachesControlsByName) {
    forms::Form& f = loadPanel();
    EXPECT_TRUE(SetControlProperty("frmPanel", "txtName(3)", "Text", "third"));
    EXPECT_EQ(ctl<forms::TextBox>(f, "txtName", 3).Text(), "third");
    EXPECT_EQ(ctl<forms::TextBox>(f, "txtName", 0).Text(), "");
    EXPECT_TRUE(SetControlProperty("frmPanel", "optC", "Value", "True"));
    EXPECT_TRUE(ctl<forms::OptionButton>(f, "optC").Value());
    EXPECT_TRUE(SetControlProperty("frmPanel", "cmdE", "Enabled", "False"));
    EXPECT_FALSE(f.control("cmdE").Enabled());
    EXPECT_TRUE(SetControlProperty("frmPanel", "lblX", "Width", "2345"));
    EXPECT_EQ(f.control("lblX").Width(), 2345);

    // False only without the window; everything else that fails is passed over.
    EXPECT_FALSE(SetControlProperty("frmNowhere", "chkA", "Value", "1"));
    EXPECT_FALSE(SetControlProperty("frmpanel", "chkA", "Value", "1"));
    EXPECT_TRUE(SetControlProperty("frmPanel", "chkA", "Value", "9"));        // refused
    EXPECT_TRUE(SetControlProperty("frmPanel", "chkA", "Tag", "x"));          // not one of ten
    EXPECT_TRUE(SetControlProperty("frmPanel", "txtName(9)", "Text", "x"));   // no element
    EXPECT_TRUE(SetControlProperty("frmPanel", "txtName(1", "Text", "x"));
    EXPECT_TRUE(SetControlProperty("frmPanel", "txtName(0)", "FileName", "a"));
    EXPECT_EQ(ctl<forms::CheckBox>(f, "chkA").Value(), 0);
    EXPECT_EQ(f.control("chkA").Tag, "");
    EXPECT_EQ(ctl<forms::TextBox>(f, "txtName", 1).Text(), "");
}

TEST_F(ModSettingTest, HandlersThatUnloadControlsDuringTheLoopAreSurvived) {
    forms::Form& f = apptest::loadStandIn<CondTag>(
        "frmPanel2", {{T::CheckBox, "chkA"}, {T::TextBox, "txtName(0)"}});
    f.loadElement(*f.findArray("txtName"), 1);
    // Restoring chkA posts work that removes the run-time element before the loop reaches it;
    // the pending work runs between controls and frees the element.
    forms::Form* form = &f;
    ctl<forms::CheckBox>(f, "chkA").Click.connect([form] {
        forms::Runtime::get().post([form] { form->unloadElement(*form->findArray("txtName"), 1); });
    });
    prog.writeBytes("u.SET",
                    "[frmPanel2.chkA]\r\nValue=1\r\n[frmPanel2.txtName(1)]\r\nText=gone\r\n");
    LoadFormControls(f, prog.win("u.SET"), false);
    EXPECT_EQ(ctl<forms::CheckBox>(f, "chkA").Value(), 1);
    EXPECT_EQ(f.findControl("txtName", 1), nullptr);
}

}  // namespace
