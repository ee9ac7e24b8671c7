// The user's actions through the headless driver: focus, keys, mouse, drops, resizing, and
// the refusals on hidden or disabled controls and forms.

#include <gtest/gtest.h>

#include "TestWindows.h"
#include "platform/basic/RuntimeError.h"

namespace qv::forms::test {
namespace {

class UserInput : public ::testing::Test {
protected:
    Driver drv;
    frmMain& f = frmMain::instance();
    void SetUp() override {
        f.Show();
        f.log.clear();
    }
};

TEST_F(UserInput, KeyCodesAreTheVirtualKeyNumbers) {
    EXPECT_EQ(key::Return, 13);
    EXPECT_EQ(key::Escape, 27);
    EXPECT_EQ(key::Left, 37);
    EXPECT_EQ(key::Down, 40);
    EXPECT_EQ(key::digit(0), 48);
    EXPECT_EQ(key::letter('e'), 69);
    EXPECT_EQ(key::letter('Z'), 90);
    EXPECT_EQ(key::numpad(5), 101);
    EXPECT_EQ(key::F(4), 115);
    EXPECT_EQ(key::F(11), 122);
    EXPECT_EQ(vbShiftMask | vbCtrlMask | vbAltMask, 7);
}

TEST_F(UserInput, KeyPreviewGivesTheFormTheKeyFirst) {
    ASSERT_TRUE(drv.focus(f.TXTPreSetCounter));
    EXPECT_TRUE(drv.keyDown(f, key::F(4), vbCtrlMask));
    EXPECT_EQ(f.keyCodeSeen, 115);
    EXPECT_EQ(f.shiftSeen, vbCtrlMask);
    EXPECT_EQ(f.log, (std::vector<std::string>{"TXTPreSetCounter_GotFocus", "Form_KeyDown 115",
                                               "TXTPreSetCounter_KeyDown 115"}));
    // A form handler that zeroes KeyCode keeps the key from the control.
    f.swallowKeys = true;
    f.log.clear();
    drv.keyDown(f, key::Return, vbShiftMask | vbCtrlMask | vbAltMask);
    EXPECT_EQ(f.shiftSeen, 7);
    EXPECT_EQ(f.log, std::vector<std::string>{"Form_KeyDown 13"});
    // Without KeyPreview the focused control alone gets it.
    f.KeyPreview = false;
    f.log.clear();
    drv.keyDown(f, key::Escape);
    EXPECT_EQ(f.log, std::vector<std::string>{"TXTPreSetCounter_KeyDown 27"});
}

TEST_F(UserInput, FocusMovesWithLostFocusBeforeGotFocusAndClick) {
    drv.focus(f.TXTPreSetCounter);
    drv.focus(f.TXTPreSetCounter);  // already there: nothing
    drv.click(f.cmdLoad);
    EXPECT_EQ(f.log, (std::vector<std::string>{"TXTPreSetCounter_GotFocus", "TXTPreSetCounter_LostFocus",
                                               "cmdLoad_Click"}));
    EXPECT_EQ(f.ActiveControl(), &f.cmdLoad);
    EXPECT_FALSE(drv.focus(f.LBLStatus));  // labels take no focus
}

TEST_F(UserInput, UserClicksToggleAndSelectLikeCodeWrites) {
    EXPECT_TRUE(drv.click(f.chk最も近いグラフを探す));
    EXPECT_EQ(f.chk最も近いグラフを探す.Value(), 1);
    f.chk最も近いグラフを探す.setValue(vbGrayed);
    drv.click(f.chk最も近いグラフを探す);
    EXPECT_EQ(f.chk最も近いグラフを探す.Value(), 0);
    EXPECT_TRUE(drv.click(f.optFlow));
    EXPECT_FALSE(f.optFixed.Value());
    EXPECT_TRUE(drv.select(f.cmbSampleFreq, 0));
    EXPECT_EQ(f.log.back(), "cmbSampleFreq_Click 1000");
    EXPECT_TRUE(drv.type(f.txtFName, "abc"));
    EXPECT_EQ(f.log.back(), "txtFName_Change abc");
    EXPECT_FALSE(drv.type(f.cmbSampleFreq, "x"));  // a drop-down list takes no typing
}

TEST_F(UserInput, DisabledOrHiddenRefuseTheUserButNotTheCode) {
    f.cmdLoad.setEnabled(false);
    EXPECT_FALSE(drv.click(f.cmdLoad));
    f.optFlow.setValue(true);  // code still works inside a disabled frame
    f.fraMode.setEnabled(false);
    EXPECT_FALSE(drv.click(f.optFixed));
    EXPECT_TRUE(f.optFlow.Value());
    f.cmdLoad.setEnabled(true);
    f.setEnabled(false);
    EXPECT_FALSE(drv.click(f.cmdLoad));
    EXPECT_FALSE(drv.keyDown(f, key::Return));
    f.setEnabled(true);
    f.txtFName.setVisible(false);
    EXPECT_FALSE(drv.type(f.txtFName, "x"));
    EXPECT_EQ(basic::errInvalidCall, [&] {
        try {
            f.txtFName.SetFocus();
        } catch (const basic::RuntimeError& e) {
            return e.number();
        }
        return 0;
    }());
    f.Hide();
    EXPECT_FALSE(drv.click(f.cmdLoad));
    EXPECT_FALSE(drv.close(f));
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "cmdLoad_Click"), 0);
}

// A click whose handler lets events through: inside it the same button takes no click (a double
// click runs the work once), other controls and the form take theirs, and code still raises it.
TEST_F(UserInput, AControlTakesNoInputWhileItsOwnActionRuns) {
    int runs = 0;
    std::vector<bool> taken;
    ScopedConnection yielding = f.cmdLoad.Click.connect([&] {
        if (++runs > 1) return;
        Runtime::get().post([&] {
            taken = {drv.click(f.cmdLoad), drv.focus(f.TXTPreSetCounter), drv.keyDown(f, key::Escape)};
            f.cmdLoad.Click.raise();
        });
        DoEvents();
    });
    EXPECT_TRUE(drv.click(f.cmdLoad));
    EXPECT_EQ(taken, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(drv.click(f.cmdLoad));  // once it is over, the button takes clicks again
    EXPECT_EQ(runs, 3);
}

TEST_F(UserInput, FocusIsDroppedWhenItsControlHides) {
    drv.focus(f.TXTPreSetCounter);
    f.TXTPreSetCounter.setVisible(false);
    EXPECT_EQ(Runtime::get().focused(), nullptr);
}

TEST_F(UserInput, MouseEventsCarryButtonShiftAndPosition) {
    EXPECT_TRUE(drv.mouseDown(f.PBXMoniDisp, vbLeftButton, vbShiftMask, 10.5f, 20.f));
    EXPECT_EQ(f.log.back(), "MouseDown 1 1 10 20");
    EXPECT_EQ(f.ActiveControl(), &f.PBXMoniDisp);
}

TEST_F(UserInput, FileDropsReachTheirTargets) {
    auto effect = drv.drop(f, {"/d/a.KDAT", "/d/b.SET"});
    ASSERT_TRUE(effect.has_value());
    EXPECT_EQ(*effect, vbDropEffectNone);  // what the handler left
    EXPECT_EQ(f.dropped, (std::vector<std::string>{"/d/a.KDAT", "/d/b.SET"}));
    f.dropped.clear();
    EXPECT_TRUE(drv.drop(f.PBXMoniDisp, {"/d/c.KPAR"}).has_value());
    EXPECT_EQ(f.dropped, std::vector<std::string>{"/d/c.KPAR"});
    EXPECT_FALSE(drv.drop(f.fraMode, {"/d/x"}).has_value());  // OLEDropMode 0
    EXPECT_FALSE(drv.drop(f.cmdLoad, {"/d/x"}).has_value());   // not a drop target
}

TEST_F(UserInput, ResizingRaisesResizeOnRealChangesOnly) {
    EXPECT_TRUE(drv.resize(f, 12000, 9000));
    EXPECT_EQ(f.log, std::vector<std::string>{"Form_Resize"});
    drv.resize(f, 12000, 9000);
    EXPECT_EQ(f.log.size(), 1u);
    drv.resize(f, 0, 0, vbMaximized);
    EXPECT_EQ(f.WindowState(), vbMaximized);
    EXPECT_EQ(f.Width(), Screen.Width());
    EXPECT_EQ(f.log.size(), 2u);
    EXPECT_THROW(f.setWidth(100), basic::RuntimeError);
    drv.resize(f, 12000, 9000, vbNormal);
    EXPECT_EQ(f.Width(), 12000);  // back to the size it had
    EXPECT_EQ(f.log.size(), 3u);
}

TEST_F(UserInput, PictureBoxResizeFromCode) {
    f.PBXMoniDisp.setWidth(400);
    f.PBXMoniDisp.setLeft(20);  // a move alone is no resize
    EXPECT_EQ(f.log, std::vector<std::string>{"PBXMoniDisp_Resize"});
}

}  // namespace
}  // namespace qv::forms::test
