#include "platform/forms/Runtime.h"

#include <algorithm>
#include <iostream>
#include <new>

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Form.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Util.h"
#include "platform/kernel/Time.h"

namespace qv::forms {

namespace detail {
void dispatchHandler(void (*call)(void*), void* ctx) { Runtime::get().runHandler(call, ctx); }
}  // namespace detail

namespace {
std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}
}  // namespace

Runtime& Runtime::get() {
    // Never destroyed: at exit the drawing layer's tables may be gone before us, and the
    // real program leaves through End anyway.
    static Runtime* rt = new Runtime;
    return *rt;
}

// ---- Forms --------------------------------------------------------------------------------

Form& Runtime::formOf(std::type_index type, const std::function<std::unique_ptr<Form>()>& make) {
    for (auto& lf : forms_)
        if (lf.type == type) return *lf.form;
    // After End nothing is shown again: code still unwinding gets no window created anew.
    if (ended_) throw ProgramEnded();
    std::unique_ptr<Form> made = make();
    Form& f = *made;
    forms_.push_back(LoadedForm{type, std::move(made)});
    f.loaded_ = true;
    if (observer_) observer_->formLoaded(f);
    f.Load.raise();
    return f;
}

std::vector<Form*> Runtime::Forms() const {
    std::vector<Form*> out;
    for (auto& lf : forms_) out.push_back(lf.form.get());
    return out;
}

bool Runtime::isLoadedForm(const Form* form) const {
    return std::any_of(forms_.begin(), forms_.end(), [&](const LoadedForm& lf) { return lf.form.get() == form; });
}

Form* Runtime::findForm(std::string_view name) const {
    for (auto& lf : forms_)
        if (iequals(lf.form->Name(), name)) return lf.form.get();
    return nullptr;
}

bool Runtime::unload(Form& form, int unloadMode) {
    if (!form.loaded_) return true;
    KeepAlive alive;
    int cancel = 0;
    form.QueryUnload.raise(cancel, unloadMode);
    if (!form.loaded_) return true;  // a handler unloaded it already
    if (cancel) return false;
    form.Unload.raise(cancel);
    if (!form.loaded_) return true;
    if (cancel) return false;
    auto it = std::find_if(forms_.begin(), forms_.end(),
                           [&](const LoadedForm& lf) { return lf.form.get() == &form; });
    if (it == forms_.end()) return true;
    form.Hide();
    if (focused_ && &focused_->parentForm() == &form) dropFocus(*focused_);
    if (observer_) observer_->formUnloading(form);
    // Retired, not freed: the handler that unloaded the form ("Unload Me") is still running
    // on it, and so may others below it.
    form.releaseWindows();
    form.loaded_ = false;
    retire(std::move(it->form));
    forms_.erase(it);
    return true;
}

void Runtime::destroyAllForms() {
    focused_ = nullptr;
    while (!forms_.empty()) {
        std::unique_ptr<Form> f = std::move(forms_.back().form);
        forms_.pop_back();
        f->visible_ = false;
        if (observer_) observer_->formUnloading(*f);
        f->releaseWindows();
        f->loaded_ = false;
        retire(std::move(f));
    }
    modalStack_.clear();
}

// ---- Event loop ---------------------------------------------------------------------------

uint32_t Runtime::now() const { return kernel::tickCount(); }

void Runtime::DoEvents() {
    if (host_) host_->processEvents();
    if (!ended_) processPending();
    // End ran in there: the code that called DoEvents must not go on.
    if (ended_) throw ProgramEnded();
}

void Runtime::processPending() {
    {
        KeepAlive alive;
        std::deque<std::function<void()>> work;
        work.swap(posted_);
        for (auto& w : work) {
            struct Ctx { std::function<void()>* fn; } ctx{&w};
            runHandler([](void* p) { (*static_cast<Ctx*>(p)->fn)(); }, &ctx);
        }
        fireDueTimers();
    }
    collectRetired();
}

void Runtime::post(std::function<void()> work) { posted_.push_back(std::move(work)); }

void Runtime::addTimer(Timer* t) { timers_.push_back(t); }

void Runtime::removeTimer(Timer* t) { std::erase(timers_, t); }

int Runtime::msUntilNextTimer() const {
    uint32_t n = now();
    int best = -1;
    for (Timer* t : timers_) {
        if (!t->running() || t->inTick_) continue;
        int32_t left = static_cast<int32_t>(t->due_ - n);
        int v = left < 0 ? 0 : left;
        if (best < 0 || v < best) best = v;
    }
    return best;
}

void Runtime::fireDueTimers() {
    uint32_t n = now();
    std::vector<Timer*> due;
    for (Timer* t : timers_)
        if (t->running() && !t->inTick_ && static_cast<int32_t>(n - t->due_) >= 0) due.push_back(t);
    // Earliest first; timers due at the same moment in creation order.
    std::stable_sort(due.begin(), due.end(), [n](Timer* a, Timer* b) {
        return static_cast<int32_t>(a->due_ - n) < static_cast<int32_t>(b->due_ - n);
    });
    // A tick may unload its own form or another ("Unload Me"), or End: the timers stay
    // allocated while the caller keeps them alive, and an unloaded one has left timers_.
    for (Timer* t : due) {
        if (ended_) break;
        // An earlier tick may have stopped, restarted or removed this one.
        if (std::find(timers_.begin(), timers_.end(), t) == timers_.end()) continue;
        uint32_t at = now();
        if (!t->running() || t->inTick_ || static_cast<int32_t>(at - t->due_) < 0) continue;
        // At most one tick is pending per timer: missed periods are dropped, the phase kept.
        uint32_t interval = static_cast<uint32_t>(t->interval_);
        uint32_t late = at - t->due_;
        t->due_ += interval * (late / interval + 1);
        t->inTick_ = true;
        try {
            t->Tick.raise();
        } catch (...) {
            t->inTick_ = false;
            throw;
        }
        t->inTick_ = false;
    }
}

void Runtime::retire(std::unique_ptr<Control> c) { retiredControls_.push_back(std::move(c)); }
void Runtime::retire(std::unique_ptr<Form> f) { retiredForms_.push_back(std::move(f)); }

void Runtime::collectRetired() {
    // Objects unloaded inside a handler live on until no handler can be running on them.
    if (depth_ != 0 || holds_ != 0) return;
    while (!retiredControls_.empty() || !retiredForms_.empty()) {
        auto controls = std::move(retiredControls_);
        auto forms = std::move(retiredForms_);
        retiredControls_.clear();
        retiredForms_.clear();
    }
}

// ---- Dispatch boundary ----------------------------------------------------------------------

void Runtime::runHandler(void (*call)(void*), void* ctx) {
    struct Depth {
        int& d;
        explicit Depth(int& x) : d(x) { ++d; }
        ~Depth() { --d; }
    };
    int number = 0;
    std::string description;
    {
        Depth guard(depth_);
        try {
            call(ctx);
            return;
        } catch (const ProgramEnded&) {
            throw;
        } catch (const HeadlessFailure&) {
            throw;
        } catch (const basic::RuntimeError& e) {
            number = e.number();
            description = e.description();
        } catch (const std::bad_alloc&) {
            number = basic::errOutOfMemory;
            description = basic::defaultDescription(number);
        } catch (const std::exception& e) {
            number = 51;
            description = std::string("Internal error: ") + e.what();
        }
    }
    reportError(number, description);
}

void Runtime::reportError(int number, const std::string& description) {
    std::string line = "Run-time error '" + std::to_string(number) + "': " + description;
    reported_.push_back(line);
    if (errorLog_) errorLog_(line);
    else std::cerr << line << '\n';
    MsgBox("Run-time error '" + std::to_string(number) + "':\r\n\r\n" + description, vbCritical);
}

// ---- Focus --------------------------------------------------------------------------------

void Runtime::moveFocus(Control* to) {
    // An unloaded control takes no focus: it would be left pointing at freed memory.
    if (to == focused_ || (to && !to->isLoaded())) return;
    Control* old = focused_;
    focused_ = to;
    if (observer_) observer_->focusChanged(to);
    if (old) old->LostFocus.raise();
    if (to && focused_ == to) to->GotFocus.raise();
}

void Runtime::dropFocus(Control& c) {
    if (focused_ != &c) return;
    focused_ = nullptr;
    if (observer_) observer_->focusChanged(nullptr);
}

// ---- User input ---------------------------------------------------------------------------

bool Runtime::acceptsUserInput(const Widget& w) const {
    const Form* f = w.owningForm();
    if (ended_ || !f || !w.isLoaded()) return false;
    if (Form* m = topModal(); m && m != f) return false;
    if (std::find(acting_.begin(), acting_.end(), &w) != acting_.end()) return false;
    return w.acceptsInput();
}

Runtime::UserAction::UserAction(const Widget& w) : held_(w.isForm() ? nullptr : &w) {
    if (held_) get().acting_.push_back(held_);
}

Runtime::UserAction::~UserAction() {
    if (!held_) return;
    auto& acting = get().acting_;
    if (auto it = std::find(acting.rbegin(), acting.rend(), held_); it != acting.rend())
        acting.erase(std::next(it).base());
}

void Runtime::deliverKeyDown(Form& form, int keyCode, int shift) {
    if (!form.isLoaded()) return;
    Control* target = form.ActiveControl();
    int key = keyCode;
    if (form.KeyPreview || !target) form.KeyDown.raise(key, shift);
    // The form's handler may have moved the focus (or unloaded the form, which drops it):
    // the key goes to the control only when it still has the focus.
    if (key != 0 && target && target == form.ActiveControl()) target->KeyDown.raise(key, shift);
}

bool Runtime::focusForInput(Control& c) {
    if (c.has(CanFocus)) moveFocus(&c);
    return c.isLoaded();
}

std::optional<int> Runtime::deliverDrop(Widget& target, std::vector<std::string> files, int button,
                                        int shift, float x, float y) {
    auto* dt = dynamic_cast<DropTarget*>(&target);
    if (!dt || dt->OLEDropMode == 0) return std::nullopt;
    DataObject data{std::move(files)};
    int effect = vbDropEffectCopy;
    dt->OLEDragDrop.raise(data, effect, button, shift, x, y);
    return effect;
}

// ---- Modal forms --------------------------------------------------------------------------

void Runtime::queueModalScript(std::string formName, ModalScript script) {
    modalScripts_[lowerAscii(formName)].push_back(std::move(script));
}

void Runtime::runModal(Form& form) {
    KeepAlive alive;  // the form, while its loop runs
    modalStack_.push_back(&form);
    struct Pop {
        Runtime& rt;
        ~Pop() {
            if (!rt.modalStack_.empty()) rt.modalStack_.pop_back();
        }
    } pop{*this};
    auto done = [&] { return !form.loaded_ || !form.visible_ || ended_; };
    if (host_) {
        while (!done()) {
            int wait = msUntilNextTimer();
            host_->waitForEvents(wait < 0 ? 50 : std::min(wait, 50));
            processPending();
        }
        return;
    }
    auto it = modalScripts_.find(lowerAscii(form.Name()));
    if (it == modalScripts_.end() || it->second.empty())
        throw HeadlessFailure("modal form '" + form.Name() + "' was shown with no script to answer it");
    ModalScript script = std::move(it->second.front());
    it->second.pop_front();
    script(form);
    if (!done())
        throw HeadlessFailure("modal form '" + form.Name() + "' is still shown after its script");
}

// ---- Services -----------------------------------------------------------------------------

DialogService& Runtime::dialogs() { return dialogs_ ? *dialogs_ : scripted_; }

void Runtime::setDialogs(DialogService* service) { dialogs_ = service; }

// ---- End ----------------------------------------------------------------------------------

void Runtime::End() {
    ended_ = true;
    if (host_) {
        // The real program leaves without the windows' Unload events.
        destroyAllForms();
        host_->endProgram();
    }
    throw ProgramEnded();
}

void Runtime::finishEnd() {
    if (ended_) destroyAllForms();
}

void Runtime::reset() {
    destroyAllForms();
    timers_.clear();
    posted_.clear();
    focused_ = nullptr;
    modalStack_.clear();
    acting_.clear();
    modalScripts_.clear();
    scripted_.clear();
    dialogs_ = nullptr;
    observer_ = nullptr;
    host_ = nullptr;
    errorLog_ = nullptr;
    reported_.clear();
    depth_ = 0;
    collectRetired();
    ended_ = false;
}

void DoEvents() { Runtime::get().DoEvents(); }

void End() { Runtime::get().End(); }

}  // namespace qv::forms
