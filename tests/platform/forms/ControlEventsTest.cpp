// Property writes raise events as the user's actions do, synchronously and only on change;
// lists and combo boxes refuse what they cannot hold; option buttons exclude per container.

#include <gtest/gtest.h>

#include <algorithm>

#include "TestWindows.h"
#include "platform/basic/RuntimeError.h"

namespace qv::forms::test {
namespace {

long countOf(const std::vector<std::string>& log, const std::string& s) {
    return std::count(log.begin(), log.end(), s);
}

class ControlEvents : public ::testing::Test {
protected:
    Driver drv;
    frmMain& f = frmMain::instance();
};

TEST_F(ControlEvents, DesignValuesFireNoEvents) {
    EXPECT_EQ(f.log, std::vector<std::string>{"Form_Load"});
    EXPECT_TRUE(f.optFixed.Value());
    EXPECT_EQ(f.TXTPreSetCounter.Text(), "10");
    EXPECT_EQ(f.LBLStatus.BackColor(), 0xE0E0E0);
}

TEST_F(ControlEvents, CheckBoxClickOnlyOnChangeSoSelfSettingHandlerEnds) {
    f.ALL_BTN_ModeSet();
    EXPECT_EQ(f.chkDispRaw.Value(), vbChecked);
    EXPECT_EQ(f.modeSetRuns, 2);  // once from the call, once from the Click it caused
    EXPECT_EQ(countOf(f.log, "chkDispRaw_Click"), 1);
    f.chkDispRaw.setValue(vbChecked);
    EXPECT_EQ(countOf(f.log, "chkDispRaw_Click"), 1);
    // 2 clicks, and the handler's write back to 1 clicks once more, then it ends.
    f.chkDispRaw.setValue(vbGrayed);
    EXPECT_EQ(countOf(f.log, "chkDispRaw_Click"), 3);
    EXPECT_EQ(errorOf([&] { f.chkDispRaw.setValue(3); }), 380);
    EXPECT_EQ(f.chkDispRaw.Value(), vbChecked);  // the handler set it back to 1
}

TEST_F(ControlEvents, TextChangeOnlyWhenTextDiffers) {
    f.txtFName.setText("C:\\data\\a");
    f.txtFName.setText("C:\\data\\a");
    f.txtFName.setText("");
    EXPECT_EQ(countOf(f.log, "txtFName_Change C:\\data\\a"), 1);
    EXPECT_EQ(countOf(f.log, "txtFName_Change "), 1);
}

TEST_F(ControlEvents, TextSelectionCountsCharacters) {
    f.txtFName.setText("日本語abc");
    f.txtFName.setSelStart(2);
    f.txtFName.setSelLength(10);
    EXPECT_EQ(f.txtFName.SelLength(), 4);
    EXPECT_EQ(f.txtFName.SelText(), "語abc");
    f.txtFName.setSelText("X");
    EXPECT_EQ(f.txtFName.Text(), "日本X");
    EXPECT_EQ(errorOf([&] { f.txtFName.setSelStart(-1); }), 380);
}

TEST_F(ControlEvents, ListIndexClickOnChangeAndRefusals) {
    auto& c = f.cmbSampleFreq;
    c.setListIndex(1);
    c.setListIndex(1);
    EXPECT_EQ(countOf(f.log, "cmbSampleFreq_Click 2000"), 1);
    EXPECT_EQ(errorOf([&] { c.setListIndex(3); }), 380);
    EXPECT_EQ(errorOf([&] { c.setListIndex(-2); }), 380);
    EXPECT_EQ(c.ListIndex(), 1);
    // Clear, AddItem and RemoveItem are silent; Clear leaves no selection.
    size_t before = f.log.size();
    c.Clear();
    EXPECT_EQ(c.ListIndex(), -1);
    EXPECT_EQ(c.Text(), "");
    c.AddItem("1000");
    c.AddItem("2000");
    c.RemoveItem(0);
    EXPECT_EQ(f.log.size(), before);
    // Selecting again after the list was emptied is a change from none: Click runs.
    c.setListIndex(0);
    EXPECT_EQ(f.log.back(), "cmbSampleFreq_Click 2000");
}

TEST_F(ControlEvents, TopIndexStaysWithinTheListSilently) {
    auto& c = f.cmbSampleFreq;  // three items
    const size_t before = f.log.size();
    c.setTopIndex(2);
    EXPECT_EQ(c.get("TopIndex").toInt(), 2);
    EXPECT_EQ(errorOf([&] { c.setTopIndex(3); }), 380);
    EXPECT_EQ(errorOf([&] { c.set("TopIndex", -1); }), 380);
    EXPECT_EQ(c.TopIndex(), 2);
    c.RemoveItem(2);  // the top row is gone: the last one stands at the top
    EXPECT_EQ(c.TopIndex(), 1);
    c.userScroll(0);
    EXPECT_EQ(c.TopIndex(), 0);
    c.userScroll(7);  // a row the list does not have is not taken
    EXPECT_EQ(c.TopIndex(), 0);
    c.Clear();
    c.setTopIndex(0);  // an empty list has only row 0
    EXPECT_EQ(f.log.size(), before);
}

TEST_F(ControlEvents, DropDownListTextSelectsOrRefuses) {
    auto& c = f.cmbSampleFreq;
    c.setText("5000");
    EXPECT_EQ(c.ListIndex(), 2);
    EXPECT_EQ(countOf(f.log, "cmbSampleFreq_Click 5000"), 1);
    c.setText("5000");
    EXPECT_EQ(countOf(f.log, "cmbSampleFreq_Click 5000"), 1);
    EXPECT_EQ(errorOf([&] { c.setText("5001"); }), 383);
    EXPECT_EQ(c.ListIndex(), 2);
}

TEST_F(ControlEvents, EditableComboTakesTypedText) {
    auto& c = f.cmbEdit;
    int changes = 0;
    c.Change.connect([&] { ++changes; });
    c.AddItem("alpha");
    c.setText("beta");
    EXPECT_EQ(c.Text(), "beta");
    EXPECT_EQ(c.ListIndex(), -1);
    c.setText("alpha");
    EXPECT_EQ(c.ListIndex(), 0);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(errorOf([&] { c.setStyle(2); }), 383);  // fixed once the window exists
}

TEST_F(ControlEvents, ItemDataTravelsWithItsItem) {
    auto& c = f.cmbSampleFreq;
    EXPECT_EQ(c.ItemData(2), 3000);
    c.setListIndex(2);
    c.AddItem("500", 0);
    EXPECT_EQ(c.NewIndex(), 0);
    EXPECT_EQ(c.ListIndex(), 3);  // the selection follows its item, silently
    EXPECT_EQ(c.ItemData(3), 3000);
    c.RemoveItem(3);
    EXPECT_EQ(c.ListIndex(), -1);
    EXPECT_EQ(c.NewIndex(), -1);
    EXPECT_EQ(errorOf([&] { (void)c.ItemData(3); }), 381);
    EXPECT_EQ(c.List(99), "");
    EXPECT_EQ(errorOf([&] { (void)c.List(-1); }), 381);
    EXPECT_EQ(errorOf([&] { c.RemoveItem(5); }), 5);
}

TEST_F(ControlEvents, SortedListKeepsTextOrder) {
    auto& l = f.lstSort;
    ASSERT_EQ(l.ListCount(), 3);
    EXPECT_EQ(l.List(0), "A");
    EXPECT_EQ(l.List(1), "b");
    EXPECT_EQ(l.List(2), "c");
    l.AddItem("B");
    EXPECT_EQ(l.NewIndex(), 2);  // after the equal "b"
    l.setSelected(3, true);
    EXPECT_EQ(l.ListIndex(), 3);
    EXPECT_EQ(f.log.back(), "lstSort_Click c");
    EXPECT_TRUE(l.Selected(3));
}

TEST_F(ControlEvents, OptionButtonsExcludeWithinTheirContainerOnly) {
    EXPECT_TRUE(f.optFixed.Value());
    EXPECT_TRUE(f.optL.Value());  // another container, another group
    f.optFlow.setValue(true);
    EXPECT_FALSE(f.optFixed.Value());
    EXPECT_TRUE(f.optL.Value());
    EXPECT_EQ(countOf(f.log, "optFlow_Click"), 1);
    EXPECT_EQ(countOf(f.log, "optFixed_Click"), 0);  // cleared siblings get no event
    // False leaves the group without a selection, silently; True again clicks.
    f.optFlow.setValue(false);
    EXPECT_FALSE(f.optFixed.Value());
    EXPECT_FALSE(f.optFlow.Value());
    f.optFlow.setValue(true);
    EXPECT_EQ(countOf(f.log, "optFlow_Click"), 2);
    // Late-bound as settings files store it.
    f.control("optFixed").set("Value", "True");
    EXPECT_FALSE(f.optFlow.Value());
    EXPECT_EQ(f.control("optFixed").get("Value").toString(), "True");
    EXPECT_EQ(f.control("optFixed").get("Value").toInt(), -1);
}

TEST_F(ControlEvents, ScrollBarAndProgressBarRanges) {
    Form& f2 = f;
    (void)f2;
    HScrollBar h("hsb");
    // A free-standing bar is enough for the value rules.
    h.setMax(100);
    h.setValue(100);
    EXPECT_EQ(errorOf([&] { h.setValue(101); }), 380);
    EXPECT_EQ(errorOf([&] { h.setMin(-40000); }), 380);
    h.setMax(50);  // pulls the value in
    EXPECT_EQ(h.Value(), 50);
    EXPECT_EQ(errorOf([&] { h.setLargeChange(0); }), 380);
    ProgressBar p("prg");
    p.setMax(10);
    p.setValue(10);
    EXPECT_EQ(errorOf([&] { p.setValue(11); }), 380);
    EXPECT_EQ(errorOf([&] { p.setMax(0); }), 380);
    EXPECT_EQ(p.Max(), 10);
}

}  // namespace
}  // namespace qv::forms::test
