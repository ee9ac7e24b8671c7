// Handlers that unload their own window ("Unload Me") or End, and go on running: the window
// and its controls must stay usable until the handler returns, and what the unloading cut
// short (other timers, the rest of a user action) must not run on the unloaded window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestWindows.h"
#include "platform/basic/RuntimeError.h"

namespace qv::forms::test {
namespace {

// What the handlers did, kept outside the window: the window itself is freed later.
std::vector<std::string> trace;

class frmOneShot : public Form {
public:
    static frmOneShot& instance() { return loadForm<frmOneShot>(); }
    static const FormDesign& design() {
        using T = ControlType;
        static const FormDesign d{
            "frmOneShot", "One shot", 0, 0, 6000, 4000, {{"ScaleMode", vbPixels}},
            {
                {T::Timer, "timBoot", -1, "", 0, 0, 0, 0, "", {{"Interval", 1}, {"Enabled", false}}},
                {T::Timer, "timDisp", -1, "", 0, 0, 0, 0, "", {{"Interval", 1}, {"Enabled", false}}},
                {T::CommandButton, "cmdClose", -1, "", 8, 8, 80, 24, "Close", {}},
                {T::TextBox, "txtName", -1, "", 8, 40, 80, 20, "CH1", {}},
                {T::TextBox, "txtOther", -1, "", 8, 64, 80, 20, "", {}},
                {T::ComboBox, "cmbEdit", -1, "", 8, 88, 80, 20, "", {{"Style", 0}}},
                {T::Label, "lblMsg", -1, "", 100, 8, 120, 20, "", {}},
                {T::TextBox, "txtCH", 0, "", 100, 40, 40, 20, "0", {}},
            }};
        return d;
    }
    frmOneShot()
        : Form(design()),
          timBoot(ctl<Timer>("timBoot")),
          timDisp(ctl<Timer>("timDisp")),
          cmdClose(ctl<CommandButton>("cmdClose")),
          txtName(ctl<TextBox>("txtName")),
          txtOther(ctl<TextBox>("txtOther")),
          cmbEdit(ctl<ComboBox>("cmbEdit")),
          lblMsg(ctl<Label>("lblMsg")),
          txtCH(array<TextBox>("txtCH")) {
        timBoot.Tick.connect([this] { handle("timBoot_Timer"); });
        timDisp.Tick.connect([this] { handle("timDisp_Timer"); });
        cmdClose.Click.connect([this] { handle("cmdClose_Click"); });
        cmdClose.Click.connect([this] { trace.push_back("next listener: " + lblMsg.Caption()); });
        txtName.Change.connect([this] { handle("txtName_Change"); });
        txtOther.LostFocus.connect([this] { handle("txtOther_LostFocus"); });
        cmbEdit.Change.connect([this] { handle("cmbEdit_Change"); });
        Resize.connect([this] { handle("Form_Resize"); });
        Activate.connect([this] { handle("Form_Activate"); });
    }

    Timer& timBoot;
    Timer& timDisp;
    CommandButton& cmdClose;
    TextBox& txtName;
    TextBox& txtOther;
    ComboBox& cmbEdit;
    Label& lblMsg;
    ControlArray<TextBox> txtCH;
    std::string closeOn;  // the handler that runs "Unload Me"
    std::string endOn;    // the handler that runs End

    void handle(const std::string& who) {
        trace.push_back(who);
        if (who == endOn) End();
        if (who != closeOn) return;
        forms::Unload(*this);
        // The program's handlers go on after Unload Me: they still read and write controls.
        lblMsg.setCaption("closed by " + who);
        trace.push_back("after: " + lblMsg.Caption() + " / " + txtName.Text() + " / " +
                        (isLoaded() ? "loaded" : "unloaded"));
    }
};

class UnloadInHandlers : public ::testing::Test {
protected:
    void SetUp() override { trace.clear(); }
    Driver drv;
    using Trace = std::vector<std::string>;
};

// Stands in for a front end's loop: End then tears the windows down at once.
struct RecordingHost : EventLoopHost {
    int ends = 0;
    void processEvents() override {}
    void waitForEvents(int) override {}
    void endProgram() override { ++ends; }
};

TEST_F(UnloadInHandlers, ATimerThatUnloadsItsFormEndsItsOwnAndItsSiblingsTicks) {
    frmOneShot& f = frmOneShot::instance();
    f.closeOn = "timBoot_Timer";
    f.timBoot.setEnabled(true);
    f.timDisp.setEnabled(true);  // due at the same moment, after timBoot
    drv.advance(10);
    EXPECT_EQ(trace, (Trace{"timBoot_Timer", "after: closed by timBoot_Timer / CH1 / unloaded"}));
    EXPECT_TRUE(Runtime::get().Forms().empty());
    EXPECT_EQ(Runtime::get().msUntilNextTimer(), -1);
    // The next use is a fresh window, its timers as designed.
    frmOneShot& again = frmOneShot::instance();
    EXPECT_FALSE(again.timBoot.Enabled());
    EXPECT_EQ(again.lblMsg.Caption(), "");
}

TEST_F(UnloadInHandlers, AClickThatUnloadsItsFormLetsTheHandlersFinish) {
    frmOneShot& f = frmOneShot::instance();
    f.Show();
    trace.clear();
    f.closeOn = "cmdClose_Click";
    EXPECT_TRUE(drv.click(f.cmdClose));
    EXPECT_EQ(trace, (Trace{"cmdClose_Click", "after: closed by cmdClose_Click / CH1 / unloaded",
                            "next listener: closed by cmdClose_Click"}));
    EXPECT_TRUE(Runtime::get().Forms().empty());
    EXPECT_EQ(Runtime::get().focused(), nullptr);
}

TEST_F(UnloadInHandlers, AChangeThatUnloadsItsFormLetsTheWriteFinish) {
    frmOneShot& f = frmOneShot::instance();
    f.Show();
    f.closeOn = "txtName_Change";
    EXPECT_TRUE(drv.type(f.txtName, "abc"));
    EXPECT_EQ(trace.back(), "after: closed by txtName_Change / abc / unloaded");
    EXPECT_TRUE(Runtime::get().Forms().empty());

    // SelText writes the caret after the Change it raised.
    frmOneShot& g = frmOneShot::instance();
    g.closeOn = "txtName_Change";
    drv.run([&] {
        g.txtName.setSelStart(3);
        g.txtName.setSelText("2");
        EXPECT_EQ(g.txtName.Text(), "CH12");
        EXPECT_EQ(g.txtName.SelStart(), 4);
    });
    EXPECT_TRUE(Runtime::get().Forms().empty());

    frmOneShot& h = frmOneShot::instance();
    h.Show();
    h.closeOn = "cmbEdit_Change";
    EXPECT_TRUE(drv.type(h.cmbEdit, "5000"));
    EXPECT_EQ(trace.back(), "after: closed by cmbEdit_Change / CH1 / unloaded");
    EXPECT_TRUE(Runtime::get().Forms().empty());
}

TEST_F(UnloadInHandlers, ALostFocusThatUnloadsStopsTheUsersAction) {
    frmOneShot& f = frmOneShot::instance();
    f.Show();
    ASSERT_TRUE(drv.focus(f.txtOther));
    f.closeOn = "txtOther_LostFocus";
    trace.clear();
    EXPECT_TRUE(drv.click(f.cmdClose));
    EXPECT_EQ(trace, (Trace{"txtOther_LostFocus", "after: closed by txtOther_LostFocus / CH1 / unloaded"}))
        << "no Click on the unloaded button";

    frmOneShot& g = frmOneShot::instance();
    g.Show();
    ASSERT_TRUE(drv.focus(g.txtOther));
    g.closeOn = "txtOther_LostFocus";
    trace.clear();
    EXPECT_TRUE(drv.type(g.txtName, "typed"));
    EXPECT_EQ(trace.size(), 2u) << "no Change on the unloaded text box";
    EXPECT_EQ(trace.back(), "after: closed by txtOther_LostFocus / CH1 / unloaded");
}

TEST_F(UnloadInHandlers, ShowingStopsWhereResizeUnloadedTheForm) {
    frmOneShot& f = frmOneShot::instance();
    f.closeOn = "Form_Resize";
    f.Show();
    EXPECT_EQ(trace, (Trace{"Form_Resize", "after: closed by Form_Resize / CH1 / unloaded"}))
        << "no Activate for an unloaded form";
    EXPECT_TRUE(Runtime::get().Forms().empty());
}

TEST_F(UnloadInHandlers, AModalFormClosedByUnloadMeReturnsFromShow) {
    frmOneShot& f = frmOneShot::instance();
    f.closeOn = "cmdClose_Click";
    drv.onModal("frmOneShot", [&](Form&) { EXPECT_TRUE(drv.click(f.cmdClose)); });
    drv.run([&] {
        f.Show(vbModal);
        trace.push_back(f.isModal() ? "still modal" : "returned");
    });
    EXPECT_EQ(trace.back(), "returned");
    EXPECT_EQ(Runtime::get().topModal(), nullptr);
    EXPECT_TRUE(Runtime::get().Forms().empty());
}

TEST_F(UnloadInHandlers, EndFromATimerStopsEverythingHeadlessAndUnderAFrontEnd) {
    frmOneShot& f = frmOneShot::instance();
    f.endOn = "timBoot_Timer";
    f.timBoot.setEnabled(true);
    f.timDisp.setEnabled(true);
    drv.advance(10);
    EXPECT_TRUE(drv.ended());
    EXPECT_EQ(trace, (Trace{"timBoot_Timer"}));
    EXPECT_TRUE(Runtime::get().Forms().empty());

    // With a front end's loop, End destroys the windows inside the tick's handler.
    Runtime::get().reset();
    RecordingHost host;
    Runtime::get().setHost(&host);
    trace.clear();
    frmOneShot& g = frmOneShot::instance();
    g.endOn = "timBoot_Timer";
    g.timBoot.setEnabled(true);
    g.timDisp.setEnabled(true);
    drv.advance(10);
    EXPECT_TRUE(drv.ended());
    EXPECT_EQ(host.ends, 1);
    EXPECT_EQ(trace, (Trace{"timBoot_Timer"}));
    EXPECT_TRUE(Runtime::get().Forms().empty());
    Runtime::get().setHost(nullptr);
}

TEST_F(UnloadInHandlers, AnUnloadedArrayElementTakesNoInputOrFocus) {
    frmOneShot& f = frmOneShot::instance();
    f.Show();
    TextBox& ch1 = f.txtCH.Load(1);
    ch1.setVisible(true);
    EXPECT_TRUE(Runtime::get().acceptsUserInput(ch1));
    drv.run([&] {
        ch1.SetFocus();
        f.txtCH.Unload(1);
        // A handler that unloaded the element may still hold it.
        EXPECT_FALSE(ch1.isLoaded());
        EXPECT_EQ(Runtime::get().focused(), nullptr);
        EXPECT_FALSE(Runtime::get().acceptsUserInput(ch1));
        EXPECT_FALSE(drv.click(ch1));
        EXPECT_THROW(ch1.SetFocus(), basic::RuntimeError);
        Runtime::get().moveFocus(&ch1);
        EXPECT_EQ(Runtime::get().focused(), nullptr);
    });
    EXPECT_TRUE(f.txtCH.exists(0));
    EXPECT_FALSE(f.txtCH.exists(1));
}

}  // namespace
}  // namespace qv::forms::test
