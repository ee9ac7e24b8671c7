// Forms are created on first use and loaded hidden, unloaded with their events and created
// afresh afterwards; End unwinds without Unload; modal forms run their test scripts; control
// arrays grow; late-bound access finds controls and properties by name.

#include <gtest/gtest.h>

#include "TestWindows.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Util.h"

namespace qv::forms::test {
namespace {

class FormLifecycle : public ::testing::Test {
protected:
    Driver drv;
};

TEST_F(FormLifecycle, FirstUseLoadsHiddenOnce) {
    EXPECT_TRUE(Runtime::get().Forms().empty());
    frmMain& f = frmMain::instance();
    EXPECT_EQ(f.loadRuns, 1);
    EXPECT_FALSE(f.visibleDuringLoad);
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(&frmMain::instance(), &f);
    EXPECT_EQ(f.loadRuns, 1);
    f.Show();
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.log.back(), "Form_Resize");  // the first showing sizes the window
}

TEST_F(FormLifecycle, FormsCollectionInLoadOrder) {
    frmState::instance();
    frmMain::instance();
    auto forms = Runtime::get().Forms();
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[0]->Name(), "Acqisition2");
    EXPECT_EQ(forms[1]->Name(), "Acqisition");
    EXPECT_EQ(Runtime::get().findForm("acqisition"), forms[1]);
    EXPECT_EQ(Runtime::get().findForm("frmNone"), nullptr);
}

TEST_F(FormLifecycle, UnloadRunsEventsAndNextUseCreatesAFreshOne) {
    frmMain& f = frmMain::instance();
    f.chkDispRaw.setValue(1);
    std::vector<std::string> seen;
    f.QueryUnload.connect([&](int&, int mode) { seen.push_back("QU" + std::to_string(mode)); });
    f.Unload.connect([&](int&) { seen.push_back("U"); });
    EXPECT_TRUE(Runtime::get().isLoadedForm(&f));
    EXPECT_TRUE(Unload(f));
    EXPECT_EQ(seen, (std::vector<std::string>{"QU1", "U"}));
    EXPECT_TRUE(Runtime::get().Forms().empty());
    EXPECT_FALSE(Runtime::get().isLoadedForm(&f));
    drv.run([] { DoEvents(); });
    frmMain& g = frmMain::instance();
    EXPECT_EQ(g.loadRuns, 1);
    EXPECT_EQ(g.chkDispRaw.Value(), 0);
}

TEST_F(FormLifecycle, QueryUnloadCancelKeepsTheForm) {
    frmMain& f = frmMain::instance();
    f.Show();
    f.cancelQueryUnload = 1;
    EXPECT_TRUE(drv.close(f));
    EXPECT_EQ(f.lastUnloadMode, vbFormControlMenu);
    EXPECT_TRUE(f.isLoaded());
    f.cancelQueryUnload = 0;
    EXPECT_TRUE(drv.close(f));
    EXPECT_TRUE(Runtime::get().Forms().empty());
}

TEST_F(FormLifecycle, EndUnwindsWithoutUnloadEvents) {
    frmMain& f = frmMain::instance();
    f.Show();
    int unloadEvents = 0;
    bool laterListener = false;
    f.QueryUnload.connect([&](int&, int) { ++unloadEvents; });
    f.Unload.connect([&](int&) { ++unloadEvents; });
    f.cmdQUIT.Click.connect([&] { laterListener = true; });
    f.endOnQuit = true;
    EXPECT_TRUE(drv.click(f.cmdQUIT));
    EXPECT_TRUE(drv.ended());
    EXPECT_EQ(unloadEvents, 0);
    EXPECT_FALSE(laterListener);
    EXPECT_TRUE(Runtime::get().Forms().empty());
    EXPECT_THROW(End(), ProgramEnded);
}

TEST_F(FormLifecycle, ModalShowRunsTheScriptAndTimersKeepRunning) {
    frmMain& m = frmMain::instance();
    m.Show();
    frmDialog& d = frmDialog::instance();
    bool refusedOutside = false;
    drv.onModal("frmCondition", [&](Form&) {
        refusedOutside = !drv.click(m.cmdLoad);  // other forms take no input
        drv.advance(300);
        EXPECT_TRUE(drv.type(d.txtValue, "42"));
        EXPECT_TRUE(drv.keyDown(d, key::Escape));
    });
    d.Show(vbModal);
    EXPECT_TRUE(refusedOutside);
    EXPECT_FALSE(d.Visible());
    EXPECT_TRUE(d.isLoaded());
    EXPECT_EQ(d.txtValue.Text(), "42");
    EXPECT_EQ(d.ticks, 3);
    EXPECT_EQ(m.timPosTicks, 1);
    EXPECT_TRUE(drv.click(m.cmdLoad));  // input goes to the main window again
}

TEST_F(FormLifecycle, ModalWithoutScriptOrLeftShownFailsTheTest) {
    frmDialog& d = frmDialog::instance();
    EXPECT_THROW(d.Show(vbModal), HeadlessFailure);
    EXPECT_FALSE(d.isModal());
    d.Hide();
    drv.onModal("frmCondition", [](Form&) {});
    EXPECT_THROW(d.Show(vbModal), HeadlessFailure);
}

TEST_F(FormLifecycle, ControlArrayGrowsFromElementZero) {
    frmMain& f = frmMain::instance();
    f.txtName(0).setLeft(-9999);
    TextBox& t1 = f.txtName.Load(1);
    EXPECT_EQ(t1.Text(), "CH1");
    EXPECT_EQ(t1.Left(), -9999);
    EXPECT_FALSE(t1.Visible());
    EXPECT_EQ(t1.Index(), 1);
    EXPECT_EQ(f.txtName.UBound(), 1);
    t1.setText("CH2");
    EXPECT_EQ(f.log.back(), "txtName_Change 1");
    f.chkCopy.Load(5).setValue(1);
    EXPECT_EQ(f.log.back(), "chkCopy_Click 5");
    EXPECT_EQ(errorOf([&] { f.txtName.Load(1); }), 360);
    EXPECT_EQ(errorOf([&] { (void)f.txtName(7); }), 340);
    EXPECT_EQ(errorOf([&] { f.txtName.Unload(0); }), 362);
    f.txtName.Unload(1);
    EXPECT_FALSE(f.txtName.exists(1));
    EXPECT_EQ(f.txtName.UBound(), 0);
    EXPECT_EQ(errorOf([&] { (void)f.control("txtName", 1); }), 340);
}

TEST_F(FormLifecycle, ControlOrderIsCreationOrderWithLoadedElementsLast) {
    frmMain& f = frmMain::instance();
    f.txtName.Load(1);
    auto all = f.Controls();
    ASSERT_EQ(all.size(), f.design().controls.size() + 1);
    for (size_t i = 0; i < f.design().controls.size(); ++i)
        EXPECT_EQ(all[i]->Name(), f.design().controls[i].name) << i;
    EXPECT_EQ(all.back()->fullName(), "txtName(1)");
    EXPECT_EQ(f.findControlByFullName("txtName(1)"), all.back());
    EXPECT_EQ(f.findControlByFullName("txtName(x)"), nullptr);
    EXPECT_EQ(f.findControlByFullName("chk最も近いグラフを探す"), &f.chk最も近いグラフを探す);
}

// The lookup by name answers as a walk over the controls in creation order would: ASCII letters
// without regard to case, other characters exactly, the index part of the key; elements loaded
// and unloaded at run time come and go with the lookup.
TEST_F(FormLifecycle, LookupByNameAgreesWithAWalkOverTheControls) {
    frmMain& f = frmMain::instance();
    auto walk = [&](std::string_view name, int index) -> Control* {
        for (Control* c : f.Controls())
            if (c->Index() == index && iequals(c->Name(), name)) return c;
        return nullptr;
    };
    auto swapCase = [](std::string s) {
        for (char& ch : s) {
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
            else if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
        }
        return s;
    };
    auto agreeOnEveryName = [&] {
        for (Control* c : f.Controls())
            for (int index : {-1, 0, 1, 2, 3, 7})
                for (const std::string& n : {c->Name(), swapCase(c->Name()), c->Name() + "x"}) {
                    EXPECT_EQ(f.findControl(n, index), walk(n, index)) << n << " " << index;
                    if (index == c->Index() && n != c->Name() + "x") {
                        EXPECT_EQ(f.findControl(n, index), c) << n;
                    }
                }
    };
    agreeOnEveryName();
    EXPECT_EQ(f.findControl("CHK最も近いグラフを探す"), &f.chk最も近いグラフを探す);
    EXPECT_EQ(f.findControl("chk最も近いグラフを探す", 0), nullptr);
    EXPECT_EQ(f.findControl("ｃｈｋDispRaw"), nullptr);  // full-width letters are other letters
    EXPECT_EQ(f.findControl("txtName"), nullptr);        // an array has no plain control
    EXPECT_EQ(f.findControl(""), nullptr);

    TextBox& two = f.txtName.Load(2);
    f.txtName.Load(3);
    f.chkCopy.Load(1);
    agreeOnEveryName();
    EXPECT_EQ(f.findControl("TXTNAME", 2), &two);
    f.txtName.Unload(2);
    agreeOnEveryName();
    EXPECT_EQ(f.findControl("txtName", 2), nullptr);
    EXPECT_NE(f.findControl("txtName", 3), nullptr);
    TextBox& again = f.txtName.Load(2);
    EXPECT_EQ(f.findControl("txtname", 2), &again);
    EXPECT_EQ(f.findControlByFullName("TxtName(2)"), &again);
    agreeOnEveryName();

    // A fresh form after an unload finds its own controls, not the old form's.
    Unload(f);
    drv.run([] { DoEvents(); });
    frmMain& g = frmMain::instance();
    EXPECT_EQ(g.findControl("chkDispRaw"), &g.chkDispRaw);
    EXPECT_EQ(g.findControl("txtName", 2), nullptr);
}

TEST(FormNames, CaseFoldedHashAgreesWithTheComparison) {
    EXPECT_EQ(ihash("txtName"), ihash("TXTNAME"));
    EXPECT_EQ(ihash("chk最も近い"), ihash("CHK最も近い"));
    EXPECT_TRUE(iequals("AbC", "aBc"));
    EXPECT_FALSE(iequals("ａ", "Ａ"));
    EXPECT_NE(ihash("txtName"), ihash("txtNam"));
}

TEST_F(FormLifecycle, LateBoundAccessByName) {
    frmMain& f = frmMain::instance();
    Control& chk = f.control("CHKDISPRAW");
    chk.set("Value", "1");
    EXPECT_EQ(f.chkDispRaw.Value(), 1);
    EXPECT_EQ(f.log.back(), "chkDispRaw_Click");
    f.control("cmbSampleFreq").set("ListIndex", "2");
    EXPECT_EQ(f.cmbSampleFreq.ItemData(f.cmbSampleFreq.ListIndex()), 3000);
    EXPECT_EQ(f.control("cmbSampleFreq").get("Text").toString(), "5000");
    EXPECT_EQ(errorOf([&] { f.control("cmbSampleFreq").set("ListIndex", "5"); }), 380);
    EXPECT_EQ(errorOf([&] { f.control("cmbSampleFreq").set("ListCount", 1); }), 383);
    EXPECT_EQ(errorOf([&] { f.control("txtFName").set("Caption", "x"); }), 438);
    EXPECT_EQ(errorOf([&] { f.control("chkDispRaw").set("Value", "abc"); }), 13);
    EXPECT_EQ(errorOf([&] { (void)f.control("txtMissing"); }), 730);
    f.control("txtFName").set("Width", 1000000);
    EXPECT_EQ(f.txtFName.Width(), 1000000);
    f.control("LBLStatus").set("Caption", "Ready");
    EXPECT_EQ(f.LBLStatus.Caption(), "Ready");
    EXPECT_FALSE(f.control("timPos").hasProperty("Left"));
    EXPECT_TRUE(f.control("timPos").hasProperty("Interval"));
}

}  // namespace
}  // namespace qv::forms::test
