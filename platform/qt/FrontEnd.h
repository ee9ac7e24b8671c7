#pragma once
// The Qt front end of the forms model: every loaded form is a top-level window, every control
// a widget, kept in step both ways. Model changes arrive through the observer calls; the user's
// input goes back into the model through act(), refused exactly where the headless driver
// refuses it, so a person and a test see the same events in the same order.

#include "platform/qt/QtBase.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/forms/Forms.h"

class QDialog;

namespace qv::qt {

class FormWindow;
class ControlView;
class KeyFilter;

class FrontEnd final : public forms::FormsObserver, public forms::EventLoopHost {
public:
    FrontEnd();  // needs the QApplication
    ~FrontEnd() override;
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;

    // Becomes the runtime's observer and event-loop host and takes over the surfaces' change
    // notices; windows are made for the forms loaded so far.
    void install();
    // Lets go of the runtime and the surfaces; the windows are deleted.
    void uninstall();

    // ---- What the model tells ----
    void formLoaded(forms::Form& f) override;
    void formUnloading(forms::Form& f) override;
    void formShown(forms::Form& f, bool modal) override;
    void formHidden(forms::Form& f) override;
    void controlCreated(forms::Control& c) override;
    void controlDestroying(forms::Control& c) override;
    void propertyChanged(forms::Widget& w, std::string_view property) override;
    void listChanged(forms::Control& c) override;
    void surfaceInvalidated(forms::Widget& w) override;
    void focusChanged(forms::Control* now) override;
    bool renderClient(forms::Form& f, gdi::Surface& out) override;

    // ---- Event loop ----
    void processEvents() override;
    void waitForEvents(int maxWaitMs) override;
    // End: the forms are gone already; End unwinds to our loop, and a nested wait that End
    // happened inside (processEvents, waitForEvents) unwinds its caller in turn.
    void endProgram() override;
    // Runs until no form is loaded or the program executed End.
    int exec();
    // Shows the dialog application-modal and runs input, posted work and the program's timers
    // until it closes.
    void runDialog(QDialog& dialog);

    // ---- Input ----
    // Would the user reach w now? The model's own rule (Runtime::acceptsUserInput), the one
    // the headless driver applies.
    bool userMay(const forms::Widget& w) const;
    // A user action on w: refused (false) when userMay says no; otherwise run like an event,
    // errors reported, End recorded.
    bool act(const forms::Widget& w, const std::function<void()>& action);
    // A change the window system made (a size, a state): applied without the user checks.
    void apply(const std::function<void()>& change);
    // True while the model's state is being copied into widgets (their signals are not input).
    bool syncing() const { return syncing_ > 0; }
    struct SyncScope {
        explicit SyncScope(FrontEnd& f) : fe(f) { ++fe.syncing_; }
        ~SyncScope() { --fe.syncing_; }
        FrontEnd& fe;
    };

    FormWindow* window(const forms::Form& f) const;
    ControlView* view(const forms::Control& c) const;
    QWidget* widget(const forms::Control& c) const;
    // The form shown by a top-level widget, or null.
    forms::Form* formOf(QWidget* topLevel) const;
    // The control a widget shows (the widget itself or one of its children), or null.
    forms::Control* controlOf(QWidget* w) const;
    // Registers a widget that shows a surface; drawing on it schedules a repaint.
    void showsSurface(const gdi::Surface* s, QWidget* w);
    bool ended() const;

private:
    void createView(forms::Control& c);
    void retireView(forms::Control& c);
    void placeInside(const forms::Widget& container);
    // Deletes retired widgets once no handler or event of ours is running.
    void purge();
    void run(const std::function<void()>& code);

    std::unordered_map<const forms::Form*, FormWindow*> windows_;
    std::unordered_map<const forms::Control*, ControlView*> views_;
    std::unordered_map<const gdi::Surface*, QPointer<QWidget>> surfaces_;
    std::vector<QPointer<QObject>> retired_;
    std::unique_ptr<KeyFilter> keys_;
    int depth_ = 0;
    int syncing_ = 0;
    bool installed_ = false;
};

}  // namespace qv::qt
