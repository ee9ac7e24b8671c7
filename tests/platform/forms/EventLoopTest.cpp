// Timers on the virtual clock, DoEvents, message boxes and errors that escape handlers.

#include <gtest/gtest.h>

#include "TestWindows.h"
#include "platform/basic/RuntimeError.h"
#include "platform/kernel/Time.h"

namespace qv::forms::test {
namespace {

class EventLoop : public ::testing::Test {
protected:
    Driver drv;
    frmMain& f = frmMain::instance();
};

TEST_F(EventLoop, PeriodicTimerFiresOncePerInterval) {
    drv.advance(199);
    EXPECT_EQ(f.timPosTicks, 0);
    drv.advance(1);
    EXPECT_EQ(f.timPosTicks, 1);
    drv.advance(800);
    EXPECT_EQ(f.timPosTicks, 5);
}

TEST_F(EventLoop, OneShotThatDisablesItselfFiresOnce) {
    f.timBoot.setEnabled(true);
    drv.advance(50);
    EXPECT_EQ(f.timBootTicks, 1);
    EXPECT_FALSE(f.timBoot.Enabled());
}

TEST_F(EventLoop, IntervalZeroNeverFires) {
    int ticks = 0;
    f.timAutoACQ.Tick.connect([&] { ++ticks; });
    f.timAutoACQ.setEnabled(true);
    drv.advance(10000);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(Runtime::get().msUntilNextTimer(), 200 - 10000 % 200);
}

TEST_F(EventLoop, ReEnablingRestartsTheCount) {
    drv.advance(150);
    f.timPos.setEnabled(false);
    f.timPos.setEnabled(true);  // due at 350 now
    drv.advance(150);
    EXPECT_EQ(f.timPosTicks, 0);
    drv.advance(50);
    EXPECT_EQ(f.timPosTicks, 1);
    f.timPos.setInterval(200);  // writing the interval re-arms it too
    drv.advance(199);
    EXPECT_EQ(f.timPosTicks, 1);
}

TEST_F(EventLoop, TicksComeOnlyFromTheLoopAndCoalesce) {
    kernel::sleepMs(1000);  // a busy handler: time passes, no ticks
    EXPECT_EQ(f.timPosTicks, 0);
    DoEvents();
    EXPECT_EQ(f.timPosTicks, 1);  // one pending tick, not five
    DoEvents();
    EXPECT_EQ(f.timPosTicks, 1);
    drv.advance(200);  // the phase is kept: next tick at 1200
    EXPECT_EQ(f.timPosTicks, 2);
}

TEST_F(EventLoop, SleepOneInADoEventsLoopLetsTicksRun) {
    // The program's wait loop: DoEvents and Sleep(1) until 1000 ms have passed.
    uint32_t start = kernel::tickCount();
    while (kernel::tickCount() - start < 1000) {
        DoEvents();
        kernel::sleepMs(1);
    }
    DoEvents();
    EXPECT_EQ(f.timPosTicks, 5);
}

TEST_F(EventLoop, TimersRunWhileHiddenAndStopWithTheForm) {
    EXPECT_FALSE(f.Visible());
    drv.advance(400);
    EXPECT_EQ(f.timPosTicks, 2);
    Unload(f);
    drv.advance(1000);  // the unloaded form's timer is gone
    EXPECT_TRUE(Runtime::get().Forms().empty());
    EXPECT_EQ(Runtime::get().msUntilNextTimer(), -1);
}

TEST_F(EventLoop, PostedWorkRunsInDoEvents) {
    int runs = 0;
    Runtime::get().post([&] { ++runs; });
    EXPECT_EQ(runs, 0);
    DoEvents();
    DoEvents();
    EXPECT_EQ(runs, 1);
}

TEST_F(EventLoop, MessageBoxesAreAnsweredFromTheQueueAndLogged) {
    drv.answerMsgBox(vbCancel);
    drv.answerMsgBox(vbOK);
    EXPECT_EQ(MsgBox("終了しますか？", vbOKCancel + vbInformation, "終了"), vbCancel);
    EXPECT_EQ(MsgBox("line1\r\nline2", vbExclamation), vbOK);
    ASSERT_EQ(drv.msgBoxes().size(), 2u);
    EXPECT_EQ(drv.msgBoxes()[0].style, 65);
    EXPECT_EQ(drv.msgBoxes()[0].title, "終了");
    EXPECT_EQ(drv.msgBoxes()[1].title, "Quorvane");  // the application's title by default
    EXPECT_EQ(drv.msgBoxes()[1].prompt, "line1\r\nline2");
    EXPECT_THROW(MsgBox("nobody answers"), HeadlessFailure);
    drv.answerMsgBox(vbCancel);
    EXPECT_THROW(MsgBox("OK only", vbOKOnly), HeadlessFailure);  // no Cancel button there
}

TEST_F(EventLoop, InputBoxCancelGivesEmptyText) {
    drv.answerInputBox(std::string("12"));
    drv.answerInputBox(std::nullopt);
    EXPECT_EQ(InputBox("CH?"), "12");
    EXPECT_EQ(InputBox("CH?", "t", "3"), "");
    EXPECT_EQ(drv.inputBoxes()[1].defaultText, "3");
}

TEST_F(EventLoop, ErrorEscapingAHandlerIsReportedAndTheProgramGoesOn) {
    f.Show();
    bool secondRan = false;
    f.cmdLoad.Click.connect([] { basic::raiseError(basic::errSubscript); });
    f.cmdLoad.Click.connect([&] { secondRan = true; });
    drv.answerMsgBox(vbOK);
    EXPECT_TRUE(drv.click(f.cmdLoad));
    EXPECT_TRUE(secondRan);
    ASSERT_EQ(drv.errors().size(), 1u);
    EXPECT_NE(drv.errors()[0].find("'9'"), std::string::npos);
    ASSERT_EQ(drv.msgBoxes().size(), 1u);
    EXPECT_EQ(drv.msgBoxes()[0].style, vbCritical);
    EXPECT_NE(drv.msgBoxes()[0].prompt.find("Subscript out of range"), std::string::npos);
    // A code write whose handler fails still takes effect.
    f.txtFName.Change.connect([] { basic::raiseError(basic::errTypeMismatch); });
    drv.answerMsgBox(vbOK);
    f.txtFName.setText("x");
    EXPECT_EQ(f.txtFName.Text(), "x");
    EXPECT_EQ(drv.errors().size(), 2u);
}

// A form whose Load lets the loop run: its own timer ticks inside Load.
class frmBoot : public Form {
public:
    static const FormDesign& design() {
        static const FormDesign d{"frmBoot", "", 0, 0, 3000, 3000, {},
                                  {{ControlType::Timer, "Timer2", -1, "", 0, 0, 0, 0, "",
                                    {{"Interval", 1}, {"Enabled", true}}}}};
        return d;
    }
    frmBoot() : Form(design()), Timer2(ctl<Timer>("Timer2")) {
        on(Load, &frmBoot::Form_Load);
        on(Timer2.Tick, &frmBoot::Timer2_Timer);
    }
    Timer& Timer2;
    int ticksDuringLoad = -1;
    int ticks = 0;
    void Form_Load() {
        kernel::sleepMs(5);
        DoEvents();
        ticksDuringLoad = ticks;
    }
    void Timer2_Timer() {
        ++ticks;
        Timer2.setEnabled(false);
    }
};

TEST_F(EventLoop, TimersTickDuringTheirFormsLoad) {
    frmBoot& b = loadForm<frmBoot>();
    EXPECT_EQ(b.ticksDuringLoad, 1);
}

}  // namespace
}  // namespace qv::forms::test
