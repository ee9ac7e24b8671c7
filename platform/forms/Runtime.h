#pragma once
// The forms runtime: loaded forms in load order, the event loop (DoEvents, posted work,
// timers on the kernel's tick clock), focus, modal forms, End, the dispatch boundary where
// errors that escape handlers are reported, and the hooks a front end plugs into.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

#include "platform/forms/Dialogs.h"
#include "platform/forms/Types.h"

namespace qv::gdi {
class Surface;
}

namespace qv::forms {

class Form;
class Control;
class Widget;
class Timer;

// Unwinds to the outermost caller when the program executes End. Never caught at the
// dispatch boundary.
class ProgramEnded : public std::exception {
public:
    const char* what() const noexcept override { return "the program executed End"; }
};

// What a front end learns about the model. All calls come on the user-interface thread.
class FormsObserver {
public:
    virtual ~FormsObserver() = default;
    virtual void formLoaded(Form&) {}
    virtual void formUnloading(Form&) {}   // before its windows are released
    virtual void formShown(Form&, bool /*modal*/) {}
    virtual void formHidden(Form&) {}
    virtual void controlCreated(Control&) {}
    virtual void controlDestroying(Control&) {}
    virtual void propertyChanged(Widget&, std::string_view /*property*/) {}
    virtual void listChanged(Control&) {}       // items added, removed or cleared
    virtual void surfaceInvalidated(Widget&) {} // a picture box's image should be shown again
    virtual void focusChanged(Control* /*now*/) {}
    // Draws the form's client area as shown into `out` (its size); false when the front end
    // cannot, and the model composes it from its own images.
    virtual bool renderClient(Form&, gdi::Surface& /*out*/) { return false; }
};

// The front end's event loop, when one runs.
class EventLoopHost {
public:
    virtual ~EventLoopHost() = default;
    // Runs the toolkit's pending input and paint events without waiting (DoEvents).
    virtual void processEvents() = 0;
    // Waits at most maxWaitMs for toolkit events and runs them (modal loops).
    virtual void waitForEvents(int maxWaitMs) = 0;
    // End in a real run: leaves the process. If it returns, End unwinds with ProgramEnded.
    virtual void endProgram() = 0;
};

class Runtime {
public:
    static Runtime& get();

    // ---- Forms ----
    // The loaded instance of a window class, created (Load run, still hidden) when missing;
    // after End none is created (ProgramEnded).
    Form& formOf(std::type_index type, const std::function<std::unique_ptr<Form>()>& make);
    // Loaded forms in load order.
    std::vector<Form*> Forms() const;
    // A loaded form by name (without regard to case), or null.
    Form* findForm(std::string_view name) const;
    // Whether `form` is one of the loaded forms; the pointer is only compared, so it may be one
    // that was unloaded (and freed) meanwhile.
    bool isLoadedForm(const Form* form) const;
    bool unload(Form& form, int unloadMode);

    // ---- Event loop ----
    // Runs the front end's pending events, posted work and due timer ticks, then returns.
    void DoEvents();
    // The same without asking the front end (the front end calls this from its own loop).
    void processPending();
    void post(std::function<void()> work);
    // Milliseconds until the next timer is due (0 when one is due now), or -1 for none.
    int msUntilNextTimer() const;
    uint32_t now() const;

    // ---- Focus ----
    Control* focused() const { return focused_; }
    // Moves the focus: LostFocus on the old control, then GotFocus on the new one.
    void moveFocus(Control* to);
    // Forgets the focus without events (the control is going away or can take no input).
    void dropFocus(Control& c);

    // ---- User input (the front end and the headless driver deliver it the same way) ----
    // False for hidden or disabled controls and forms, for unloaded ones, for forms other
    // than the top modal one while a modal form is shown, for a control whose own user action
    // is still running, and after End.
    bool acceptsUserInput(const Widget& w) const;
    // Every user action on a widget runs inside one. While a control's action runs (its handler
    // may yield in DoEvents), the control takes no other: a second click on a button whose work
    // is still running is dropped, not started inside the first. Forms are not held, so their
    // close and keys stay usable.
    class UserAction {
    public:
        explicit UserAction(const Widget& w);
        ~UserAction();
        UserAction(const UserAction&) = delete;
        UserAction& operator=(const UserAction&) = delete;

    private:
        const Widget* held_;
    };
    // KeyDown to the form first when KeyPreview is on, then to its focused control unless
    // the form zeroed KeyCode; with no focused control the form gets it.
    void deliverKeyDown(Form& form, int keyCode, int shift);
    // A user action on c starts by moving the focus there when c can take it (LostFocus,
    // GotFocus). False when those handlers unloaded c: the action goes no further.
    bool focusForInput(Control& c);
    // A file drop on a form, frame or picture box whose OLEDropMode is 1: the Effect the
    // handler left, or nothing when the target takes no drops.
    std::optional<int> deliverDrop(Widget& target, std::vector<std::string> files, int button,
                                   int shift, float x, float y);

    // ---- Modal forms ----
    // Blocks until the form is hidden or unloaded. Headless, the next script queued for
    // the form runs instead, and the form must be hidden afterwards.
    void runModal(Form& form);
    using ModalScript = std::function<void(Form&)>;
    void queueModalScript(std::string formName, ModalScript script);
    // The top modal form, or null; user input goes only to it while it is shown.
    Form* topModal() const { return modalStack_.empty() ? nullptr : modalStack_.back(); }

    // ---- Services ----
    DialogService& dialogs();
    void setDialogs(DialogService* service);  // null: the headless scripted service
    ScriptedDialogs& scriptedDialogs() { return scripted_; }
    FormsObserver* observer() const { return observer_; }
    void setObserver(FormsObserver* o) { observer_ = o; }
    EventLoopHost* host() const { return host_; }
    void setHost(EventLoopHost* h) { host_ = h; }
    // Where errors caught at the dispatch boundary are written (the program's log).
    void setErrorLog(std::function<void(const std::string&)> log) { errorLog_ = std::move(log); }
    const std::vector<std::string>& reportedErrors() const { return reported_; }

    // ---- End ----
    [[noreturn]] void End();
    bool ended() const { return ended_; }
    // After End has unwound: destroys what is left of the forms, without their events.
    void finishEnd();

    // Back to an empty runtime: every form destroyed without events, no timers, no focus,
    // no posted work, scripted dialogs emptied, End forgotten. For tests and restarts.
    void reset();

    // While one lives, nothing unloaded meanwhile is freed: code on the stack (a user action,
    // the loop that fired a timer, a modal loop) may still touch it after the events it
    // raised. Handlers keep what they run on alive the same way.
    class KeepAlive {
    public:
        KeepAlive() { ++get().holds_; }
        ~KeepAlive() { --get().holds_; }
        KeepAlive(const KeepAlive&) = delete;
        KeepAlive& operator=(const KeepAlive&) = delete;
    };

    // ---- Internal: used by forms and controls ----
    void addTimer(Timer* t);
    void removeTimer(Timer* t);
    void retire(std::unique_ptr<Control> c);
    void retire(std::unique_ptr<Form> f);
    // Frees what was unloaded, once no handler runs and nothing keeps it alive.
    void collect() { collectRetired(); }
    void runHandler(void (*call)(void*), void* ctx);
    void reportError(int number, const std::string& description);
    int dispatchDepth() const { return depth_; }
    bool isHeadless() const { return host_ == nullptr; }

private:
    Runtime() = default;
    void fireDueTimers();
    void collectRetired();
    void destroyAllForms();

    struct LoadedForm {
        std::type_index type;
        std::unique_ptr<Form> form;
    };
    std::vector<LoadedForm> forms_;
    std::vector<Timer*> timers_;
    std::deque<std::function<void()>> posted_;
    Control* focused_ = nullptr;
    std::vector<Form*> modalStack_;
    std::vector<const Widget*> acting_;  // controls whose user action is running
    std::map<std::string, std::deque<ModalScript>> modalScripts_;
    ScriptedDialogs scripted_;
    DialogService* dialogs_ = nullptr;
    FormsObserver* observer_ = nullptr;
    EventLoopHost* host_ = nullptr;
    std::function<void(const std::string&)> errorLog_;
    std::vector<std::string> reported_;
    std::vector<std::unique_ptr<Control>> retiredControls_;
    std::vector<std::unique_ptr<Form>> retiredForms_;
    int depth_ = 0;
    int holds_ = 0;
    bool ended_ = false;
};

// The language's global statements.
void DoEvents();
[[noreturn]] void End();

}  // namespace qv::forms
