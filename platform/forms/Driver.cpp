#include "platform/forms/Driver.h"

#include "platform/forms/Globals.h"
#include "platform/kernel/ScreenMetrics.h"

namespace qv::forms {

Driver::Driver(uint32_t startTick) : clock_(startTick) {
    Runtime::get().reset();
    // Reported errors are kept for errors(); nothing goes to the test's output.
    Runtime::get().setErrorLog([](const std::string&) {});
    kernel::resetScreenMetrics();
    printer_ = std::make_unique<RecordingPrinter>();
    setPrinterPort(printer_.get());
    Printer.reset();
    App.setPrevInstance(false);
    App.Title = "Quorvane";
}

Driver::~Driver() {
    Runtime::get().reset();
    setPrinterPort(nullptr);
    Printer.reset();
    kernel::resetScreenMetrics();
}

void Driver::run(const std::function<void()>& code) {
    Runtime& rt = Runtime::get();
    {
        // A test's code may go on using a window its action unloaded; free it afterwards.
        Runtime::KeepAlive alive;
        try {
            code();
        } catch (const ProgramEnded&) {
            rt.finishEnd();
        }
    }
    rt.collect();
}

bool Driver::act(const Widget& w, const std::function<void()>& action) {
    if (!Runtime::get().acceptsUserInput(w)) return false;
    Runtime::UserAction acting(w);
    run(action);
    return true;
}

bool Driver::click(Control& c) {
    return act(c, [&] { c.userClick(); });
}

bool Driver::dblClick(Control& c) {
    return act(c, [&] { c.DblClick.raise(); });
}

bool Driver::check(CheckBox& c, int value) {
    return act(c, [&] {
        if (Runtime::get().focusForInput(c)) c.setValue(value);
    });
}

bool Driver::select(ListControl& list, int index) {
    return act(list, [&] { list.userSelect(index); });
}

bool Driver::type(TextBox& t, const std::string& text) {
    if (t.Locked) return false;
    return act(t, [&] { t.userType(text); });
}

bool Driver::type(ComboBox& c, const std::string& text) {
    if (!c.editable()) return false;
    return act(c, [&] { c.userType(text); });
}

bool Driver::focus(Control& c) {
    if (!c.has(CanFocus)) return false;
    return act(c, [&] { Runtime::get().moveFocus(&c); });
}

bool Driver::keyDown(Form& f, int keyCode, int shift) {
    return act(f, [&] { Runtime::get().deliverKeyDown(f, keyCode, shift); });
}

bool Driver::mouseDown(Control& c, int button, int shift, float x, float y) {
    return act(c, [&] {
        if (Runtime::get().focusForInput(c)) c.MouseDown.raise(button, shift, x, y);
    });
}

bool Driver::mouseMove(Control& c, int button, int shift, float x, float y) {
    return act(c, [&] { c.MouseMove.raise(button, shift, x, y); });
}

bool Driver::mouseUp(Control& c, int button, int shift, float x, float y) {
    return act(c, [&] { c.MouseUp.raise(button, shift, x, y); });
}

bool Driver::scroll(ScrollBar& s, int value) {
    return act(s, [&] { s.setValue(value); });
}

bool Driver::close(Form& f) {
    return act(f, [&] { Runtime::get().unload(f, vbFormControlMenu); });
}

bool Driver::resize(Form& f, double width, double height, int windowState) {
    return act(f, [&] {
        if (f.WindowState() != windowState) f.setWindowState(windowState);
        // A Resize handler may have unloaded the form.
        if (windowState == vbNormal && f.isLoaded()) f.Move(f.Left(), f.Top(), width, height);
    });
}

std::optional<int> Driver::drop(Widget& target, std::vector<std::string> files, int button, int shift,
                                float x, float y) {
    std::optional<int> effect;
    act(target, [&] { effect = Runtime::get().deliverDrop(target, std::move(files), button, shift, x, y); });
    return effect;
}

void Driver::answerMsgBox(int result) { Runtime::get().scriptedDialogs().answerMsgBox(result); }
void Driver::answerInputBox(std::optional<std::string> text) {
    Runtime::get().scriptedDialogs().answerInputBox(std::move(text));
}
void Driver::answerFileDialog(std::optional<std::string> path) {
    Runtime::get().scriptedDialogs().answerFileDialog(std::move(path));
}
const std::vector<MsgBoxRecord>& Driver::msgBoxes() const {
    return Runtime::get().scriptedDialogs().msgBoxLog();
}
const std::vector<InputBoxRecord>& Driver::inputBoxes() const {
    return Runtime::get().scriptedDialogs().inputBoxLog();
}
size_t Driver::pendingAnswers() const { return Runtime::get().scriptedDialogs().pendingAnswers(); }

void Driver::onModal(const std::string& formName, std::function<void(Form&)> script) {
    Runtime::get().queueModalScript(formName, std::move(script));
}

void Driver::advance(uint32_t ms) {
    Runtime& rt = Runtime::get();
    uint32_t target = clock_.now() + ms;
    int idleRounds = 0;  // a timer due now that does not fire must not spin forever
    while (!rt.ended() && idleRounds < 2) {
        int next = rt.msUntilNextTimer();
        int32_t left = static_cast<int32_t>(target - clock_.now());
        if (next < 0 || left < next) break;
        idleRounds = next == 0 ? idleRounds + 1 : 0;
        clock_.set(clock_.now() + static_cast<uint32_t>(next));
        run([&] { rt.processPending(); });
    }
    if (static_cast<int32_t>(target - clock_.now()) > 0) clock_.set(target);
    run([&] { rt.processPending(); });
}

bool Driver::ended() const { return Runtime::get().ended(); }

const std::vector<std::string>& Driver::errors() const { return Runtime::get().reportedErrors(); }

void Driver::setScreen(int widthPx, int heightPx, int twipsPerPixelX, int twipsPerPixelY) {
    kernel::ScreenMetrics m = kernel::screenMetrics();
    m.widthPx = widthPx;
    m.heightPx = heightPx;
    m.twipsPerPixelX = twipsPerPixelX;
    m.twipsPerPixelY = twipsPerPixelY;
    kernel::setScreenMetrics(m);
}

void Driver::setPrevInstance(bool v) { App.setPrevInstance(v); }

}  // namespace qv::forms
