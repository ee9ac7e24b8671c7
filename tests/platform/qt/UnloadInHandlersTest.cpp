// Windows whose own handlers unload them ("Unload Me") or End, driven through Qt: the
// handler finishes on the unloaded window, the widgets let go of it, and the loop goes on.

#include "platform/qt/QtBase.h"

#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "QtTestSupport.h"

namespace qv::qt::test {

namespace {
using Trace = std::vector<std::string>;

// "Unload Me", then the rest of the handler, which still uses the window's controls.
void unloadAndGoOn(frmQt& f, Trace& trace) {
    Unload(f);
    f.lblStatus.setCaption("closed");
    trace.push_back("after: " + f.lblStatus.Caption() + " / " + f.txtName.Text() + " / " +
                    (f.isLoaded() ? "loaded" : "unloaded"));
}

// The handler of ev (named handler) unloads its window.
void unloadOn(frmQt& f, Event<>& ev, const std::string& handler, Trace& trace) {
    ev.connect([&f, &trace, handler] {
        trace.push_back(handler);
        unloadAndGoOn(f, trace);
    });
}

// Ends a loop that would otherwise wait for ever; stops with the test.
struct LoopGuard {
    QTimer timer;
    LoopGuard() {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [] {
            ADD_FAILURE() << "the loop did not end by itself";
            Runtime::get().post([] { End(); });
        });
        timer.start(3000);
    }
};

bool windowGone(const QPointer<FormWindow>& w) { return w.isNull() || (!w->isVisible() && !w->form()); }
}  // namespace

TEST_F(FrontEndTest, AButtonWhoseClickUnloadsItsWindow) {
    frmQt& f = shown();
    Trace trace;
    unloadOn(f, f.cmdGo.Click, "cmdGo_Click", trace);
    QPointer<FormWindow> window(win(f));
    QTest::mouseClick(w(f.cmdGo), Qt::LeftButton);
    settle();
    EXPECT_EQ(trace, (Trace{"cmdGo_Click", "after: closed /  / unloaded"}));
    EXPECT_EQ(Runtime::get().findForm("frmQt"), nullptr);
    EXPECT_TRUE(windowGone(window));
}

TEST_F(FrontEndTest, TypingWhoseChangeUnloadsItsWindow) {
    frmQt& f = shown();
    Trace trace;
    unloadOn(f, f.txtName.Change, "txtName_Change", trace);
    QPointer<QWidget> edit(w(f.txtName));
    QTest::keyClicks(edit, "ab");  // the second key reaches a widget without a control
    settle();
    EXPECT_EQ(trace, (Trace{"txtName_Change", "after: closed / a / unloaded"}));
    EXPECT_EQ(Runtime::get().findForm("frmQt"), nullptr);
}

TEST_F(FrontEndTest, AKeyWhoseFormHandlerUnloadsGoesNoFurther) {
    frmQt& f = shown();
    Trace trace;
    f.KeyDown.connect([&](int& key, int) {
        if (key == key::F(2)) unloadAndGoOn(f, trace);
    });
    f.txtName.KeyDown.connect([&](int&, int) { trace.push_back("txtName_KeyDown"); });
    f.txtName.SetFocus();
    settle();
    QTest::keyClick(w(f.txtName), Qt::Key_F2);
    settle();
    EXPECT_EQ(trace, (Trace{"after: closed /  / unloaded"})) << "the key never reached the text box";
    EXPECT_EQ(Runtime::get().findForm("frmQt"), nullptr);
    EXPECT_EQ(Runtime::get().focused(), nullptr);
}

TEST_F(FrontEndTest, ATimerWhoseTickUnloadsItsWindowEndsTheLoop) {
    frmQt& f = shown();
    Trace trace;
    unloadOn(f, f.timTick.Tick, "timTick_Timer", trace);
    f.timTick.setInterval(5);
    f.timTick.setEnabled(true);
    LoopGuard guard;
    EXPECT_EQ(fe->exec(), 0);
    EXPECT_EQ(trace, (Trace{"timTick_Timer", "after: closed /  / unloaded"}));
    EXPECT_TRUE(Runtime::get().Forms().empty());
    EXPECT_FALSE(Runtime::get().ended());
    EXPECT_EQ(Runtime::get().msUntilNextTimer(), -1);
}

TEST_F(FrontEndTest, EndFromATimerTearsDownInsideTheTick) {
    frmQt& f = shown();
    frmAsk::instance();  // another loaded window, hidden
    Trace trace;
    f.timTick.Tick.connect([&] {
        trace.push_back("timTick_Timer");
        End();
    });
    f.timTick.Tick.connect([&] { trace.push_back("next listener"); });
    f.timTick.setInterval(5);
    f.timTick.setEnabled(true);
    QPointer<FormWindow> window(win(f));
    LoopGuard guard;
    EXPECT_EQ(fe->exec(), 0);
    EXPECT_EQ(trace, (Trace{"timTick_Timer"}));
    EXPECT_TRUE(Runtime::get().ended());
    EXPECT_TRUE(Runtime::get().Forms().empty());
    EXPECT_TRUE(windowGone(window));
}

}  // namespace qv::qt::test
