#pragma once
// The headless driver: acts as the user on forms that run without a display, answers their
// dialogs, runs modal forms' scripts and moves the virtual clock. One driver at a time; it
// starts from an empty runtime and leaves an empty one behind.
//
// User actions go through the same paths as the front end's input and are refused (false)
// on controls that are hidden or disabled (along their containers), on hidden or disabled
// forms, and on forms other than the top modal one while a modal form is shown. An End that
// a user action leads to is recorded (ended()) and unwinds to here, not out of the test.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/Form.h"
#include "platform/forms/Printer.h"
#include "platform/kernel/Time.h"

namespace qv::forms {

class Driver {
public:
    explicit Driver(uint32_t startTick = 0);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // ---- The user ----
    bool click(Control& c);
    bool dblClick(Control& c);
    bool check(CheckBox& c, int value);
    bool select(ListControl& list, int index);
    // Replaces the text as typing would (one Change); text and editable combo boxes.
    bool type(TextBox& t, const std::string& text);
    bool type(ComboBox& c, const std::string& text);
    bool focus(Control& c);
    // KeyDown to the form first when KeyPreview is on, then to the focused control unless
    // the form set KeyCode to 0; with no focused control the form gets it.
    bool keyDown(Form& f, int keyCode, int shift = 0);
    bool mouseDown(Control& c, int button, int shift, float x, float y);
    bool mouseMove(Control& c, int button, int shift, float x, float y);
    bool mouseUp(Control& c, int button, int shift, float x, float y);
    bool scroll(ScrollBar& s, int value);
    // Closing by the window's frame: QueryUnload (mode 0), then Unload unless cancelled.
    bool close(Form& f);
    // The user sizes the window (twips) and/or changes its state.
    bool resize(Form& f, double width, double height, int windowState = vbNormal);
    // Files dropped on a form, frame or picture box (OLEDropMode 1). Returns the Effect the
    // handler left, or nothing when refused.
    std::optional<int> drop(Widget& target, std::vector<std::string> files, int button = vbLeftButton,
                            int shift = 0, float x = 0, float y = 0);
    // Runs any code as the event loop would (End is caught and recorded).
    void run(const std::function<void()>& code);

    // ---- Dialogs ----
    void answerMsgBox(int result);
    void answerInputBox(std::optional<std::string> text);
    void answerFileDialog(std::optional<std::string> path);
    const std::vector<MsgBoxRecord>& msgBoxes() const;
    const std::vector<InputBoxRecord>& inputBoxes() const;
    size_t pendingAnswers() const;
    // The next modal Show of the form runs the script (which must leave it hidden).
    void onModal(const std::string& formName, std::function<void(Form&)> script);

    // ---- Time ----
    // Moves the clock forward, running every timer tick that falls due on the way at its
    // own time, as an idle program would.
    void advance(uint32_t ms);
    uint32_t now() const { return clock_.now(); }
    kernel::VirtualClock& clock() { return clock_; }

    // ---- State ----
    bool ended() const;
    const std::vector<std::string>& errors() const;
    RecordingPrinter& printer() { return *printer_; }
    void setScreen(int widthPx, int heightPx, int twipsPerPixelX = 15, int twipsPerPixelY = 15);
    void setPrevInstance(bool v);

private:
    bool act(const Widget& w, const std::function<void()>& action);

    kernel::VirtualClock clock_;
    std::unique_ptr<RecordingPrinter> printer_;
};

}  // namespace qv::forms
