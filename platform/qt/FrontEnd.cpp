#include "platform/qt/FrontEnd.h"

#include <QApplication>
#include <QByteArray>
#include <QClipboard>
#include <QMimeData>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Clipboard.h"
#include "platform/gdi/Gdi.h"
#include "platform/qt/ControlView.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/KeyMap.h"

namespace qv::qt {

using forms::Runtime;

// Keys go to the model before the widget sees them: KeyDown to the form first when it previews
// keys (or nothing has the focus), then to the focused control unless the form zeroed the code.
class KeyFilter : public QObject {
public:
    explicit KeyFilter(FrontEnd& fe) : fe_(fe) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        // Once per key: at the focus widget (or the window when nothing in it has the focus),
        // not again while Qt passes an unused key up to the parents.
        QWidget* focus = w->window()->focusWidget();
        if (w != focus && w != QApplication::focusWidget() && !(w->isWindow() && !focus)) return false;
        forms::Form* f = fe_.formOf(w->window());
        if (!f) return false;
        auto* ke = static_cast<QKeyEvent*>(event);
        int code = virtualKey(ke->key(), ke->modifiers());
        if (code == 0) return false;
        int shift = shiftMask(ke->modifiers());
        forms::Control* typedIn = fe_.controlOf(w);
        QPointer<QWidget> guard(w);
        bool acted = fe_.act(*f, [&] {
            Runtime& rt = Runtime::get();
            // Keys typed into a widget Qt focused on its own make it the model's focus too.
            if (typedIn && typedIn->acceptsInput() && !rt.focusForInput(*typedIn)) return;
            rt.deliverKeyDown(*f, code, shift);
        });
        if (!acted) return false;
        // A handler that closed, hid or disabled the window took the key with it.
        return !guard || !fe_.formOf(guard->window()) || !guard->isVisible() || !guard->isEnabled();
    }

private:
    FrontEnd& fe_;
};

FrontEnd::FrontEnd() : keys_(std::make_unique<KeyFilter>(*this)) {}

FrontEnd::~FrontEnd() { uninstall(); }

void FrontEnd::install() {
    if (installed_) return;
    installed_ = true;
    Runtime& rt = Runtime::get();
    rt.setObserver(this);
    rt.setHost(this);
    gdi::Surface::setChangeListener([this](gdi::Surface& s) {
        auto it = surfaces_.find(&s);
        if (it != surfaces_.end() && it->second) it->second->update();
    });
    qApp->installEventFilter(keys_.get());
    // A metafile put on the program's clipboard goes to the system's as the metafile bytes and
    // a PNG of the same picture, for readers that know no metafiles.
    forms::Clipboard.setPublisher([](const forms::ClipboardObject& cb) {
        auto* data = new QMimeData;
        if (!cb.metafileBytes().empty()) {
            const auto& emf = cb.metafileBytes();
            data->setData("image/emf", QByteArray(reinterpret_cast<const char*>(emf.data()),
                                                  static_cast<qsizetype>(emf.size())));
        }
        if (const std::vector<uint8_t> png = cb.pngBytes(); !png.empty())
            data->setData("image/png", QByteArray(reinterpret_cast<const char*>(png.data()),
                                                  static_cast<qsizetype>(png.size())));
        QGuiApplication::clipboard()->setMimeData(data);
    });
    for (forms::Form* f : rt.Forms()) {
        formLoaded(*f);
        if (f->Visible()) formShown(*f, f->isModal());
    }
}

void FrontEnd::uninstall() {
    if (!installed_) return;
    installed_ = false;
    Runtime& rt = Runtime::get();
    if (rt.observer() == this) rt.setObserver(nullptr);
    if (rt.host() == this) rt.setHost(nullptr);
    gdi::Surface::setChangeListener({});
    forms::Clipboard.setPublisher({});
    if (qApp) qApp->removeEventFilter(keys_.get());
    for (auto& [c, v] : views_) v->detach();
    for (auto& [f, w] : windows_) {
        w->detach();
        retired_.push_back(w);
    }
    views_.clear();
    windows_.clear();
    surfaces_.clear();
    depth_ = 0;
    purge();
}

// ---- Windows and views -------------------------------------------------------------------------

void FrontEnd::formLoaded(forms::Form& f) {
    if (windows_.count(&f)) return;
    auto* w = new FormWindow(*this, f);
    windows_[&f] = w;
    for (forms::Control* c : f.Controls()) createView(*c);
}

void FrontEnd::createView(forms::Control& c) {
    auto wit = windows_.find(&c.parentForm());
    if (wit == windows_.end() || views_.count(&c)) return;
    QWidget* parent = wit->second;
    if (forms::Widget* container = c.containerWidget(); container && !container->isForm())
        if (auto vit = views_.find(static_cast<forms::Control*>(container)); vit != views_.end())
            parent = vit->second->widget();
    ControlView* v = makeControlView(*this, c, parent);
    if (!v) return;
    views_[&c] = v;
    v->apply("");
}

void FrontEnd::retireView(forms::Control& c) {
    auto it = views_.find(&c);
    if (it == views_.end()) return;
    ControlView* v = it->second;
    views_.erase(it);
    QWidget* w = v->widget();
    v->detach();
    std::erase_if(surfaces_, [w](const auto& e) { return e.second == w; });
    w->hide();
    retired_.push_back(w);
}

void FrontEnd::formUnloading(forms::Form& f) {
    for (forms::Control* c : f.Controls()) retireView(*c);
    auto it = windows_.find(&f);
    if (it == windows_.end()) return;
    FormWindow* w = it->second;
    windows_.erase(it);
    w->detach();
    std::erase_if(surfaces_, [w](const auto& e) { return e.second == w; });
    SyncScope sync(*this);
    w->hide();
    retired_.push_back(w);
}

void FrontEnd::formShown(forms::Form& f, bool modal) {
    if (FormWindow* w = window(f)) w->showForm(modal);
}

void FrontEnd::formHidden(forms::Form& f) {
    if (FormWindow* w = window(f)) w->hideForm();
}

void FrontEnd::controlCreated(forms::Control& c) { createView(c); }

void FrontEnd::controlDestroying(forms::Control& c) { retireView(c); }

void FrontEnd::propertyChanged(forms::Widget& w, std::string_view property) {
    const bool places = property == "Geometry" || property == "ScaleMode" ||
                        property == "BorderStyle" || property == "Appearance";
    if (w.isForm()) {
        if (FormWindow* fw = window(static_cast<forms::Form&>(w))) fw->apply(property);
        if (property == "ScaleMode") placeInside(w);
        return;
    }
    ControlView* v = view(static_cast<forms::Control&>(w));
    if (!v) return;
    v->apply(property);
    if (places && w.has(forms::IsContainer)) placeInside(w);
}

void FrontEnd::placeInside(const forms::Widget& container) {
    const forms::Form* f = container.owningForm();
    if (!f) return;
    for (forms::Control* c : f->Controls())
        if (forms::isInside(*c, container))
            if (ControlView* v = view(*c)) v->apply("Geometry");
}

void FrontEnd::listChanged(forms::Control& c) {
    if (ControlView* v = view(c)) v->itemsChanged();
}

void FrontEnd::surfaceInvalidated(forms::Widget& w) {
    if (w.isForm()) {
        if (FormWindow* fw = window(static_cast<forms::Form&>(w))) fw->update();
    } else if (QWidget* qw = widget(static_cast<forms::Control&>(w))) {
        qw->update();
    }
}

void FrontEnd::focusChanged(forms::Control* now) {
    QWidget* w = now ? widget(*now) : nullptr;
    if (!w || w->focusPolicy() == Qt::NoFocus || w->hasFocus()) return;
    SyncScope sync(*this);
    w->setFocus(Qt::OtherFocusReason);
}

bool FrontEnd::renderClient(forms::Form& f, gdi::Surface& out) {
    FormWindow* w = window(f);
    if (!w || out.width() <= 0 || out.height() <= 0) return false;
    // The window's own area is the form's client area; its widgets are drawn as they stand,
    // shown or not, at the model's size.
    QImage image(out.width(), out.height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        w->render(&p, QPoint(0, 0), QRegion(0, 0, out.width(), out.height()));
    }
    for (int y = 0; y < out.height(); ++y)
        std::memcpy(out.row(y), image.constScanLine(y), sizeof(uint32_t) * static_cast<size_t>(out.width()));
    out.markChanged(gdi::RECT{0, 0, out.width(), out.height()});
    return true;
}

void FrontEnd::showsSurface(const gdi::Surface* s, QWidget* w) {
    if (s) surfaces_[s] = w;
}

FormWindow* FrontEnd::window(const forms::Form& f) const {
    auto it = windows_.find(&f);
    return it == windows_.end() ? nullptr : it->second;
}

ControlView* FrontEnd::view(const forms::Control& c) const {
    auto it = views_.find(&c);
    return it == views_.end() ? nullptr : it->second;
}

QWidget* FrontEnd::widget(const forms::Control& c) const {
    ControlView* v = view(c);
    return v ? v->widget() : nullptr;
}

forms::Form* FrontEnd::formOf(QWidget* topLevel) const {
    auto* w = qobject_cast<FormWindow*>(topLevel);
    return w ? w->form() : nullptr;
}

forms::Control* FrontEnd::controlOf(QWidget* w) const {
    for (QWidget* p = w; p && !p->isWindow(); p = p->parentWidget())
        if (auto* v = p->findChild<ControlView*>(QString(), Qt::FindDirectChildrenOnly))
            return v->control();
    return nullptr;
}

// ---- Input ---------------------------------------------------------------------------------------

bool FrontEnd::userMay(const forms::Widget& w) const { return Runtime::get().acceptsUserInput(w); }

bool FrontEnd::act(const forms::Widget& w, const std::function<void()>& action) {
    if (!userMay(w)) return false;
    Runtime::UserAction acting(w);
    run(action);
    return true;
}

void FrontEnd::apply(const std::function<void()>& change) { run(change); }

bool FrontEnd::ended() const { return Runtime::get().ended(); }

void FrontEnd::run(const std::function<void()>& code) {
    Runtime& rt = Runtime::get();
    struct Depth {
        int& d;
        explicit Depth(int& x) : d(x) { ++d; }
        ~Depth() { --d; }
    } depth(depth_);
    // Nothing may leave here into Qt: errors that escaped the dispatch boundary (code that runs
    // outside any handler) are reported the same way.
    auto report = [&rt](int number, const std::string& description) {
        try {
            rt.reportError(number, description);
        } catch (const forms::ProgramEnded&) {
            rt.finishEnd();
        } catch (...) {
        }
    };
    {
        // The caller (a view, the window, a nested loop's caller) may still touch what the
        // action unloaded; it is freed once the outermost run is over.
        Runtime::KeepAlive alive;
        try {
            code();
        } catch (const forms::ProgramEnded&) {
            rt.finishEnd();
        } catch (const basic::RuntimeError& e) {
            report(e.number(), e.description());
        } catch (const std::exception& e) {
            report(51, std::string("Internal error: ") + e.what());
        }
    }
    rt.collect();
}

// ---- Event loop ----------------------------------------------------------------------------------

void FrontEnd::processEvents() {
    // An End in there unwinds the caller of DoEvents (the runtime checks).
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void FrontEnd::waitForEvents(int maxWaitMs) {
    QTimer wake;  // bounds the wait
    wake.setSingleShot(true);
    wake.start(std::max(0, maxWaitMs));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (Runtime::get().ended()) throw forms::ProgramEnded();
}

void FrontEnd::endProgram() {
    // The forms are gone already; End's unwinding reaches our loop, and a nested wait that End
    // happened inside unwinds its caller in turn (processEvents / waitForEvents).
}

int FrontEnd::exec() {
    Runtime& rt = Runtime::get();
    while (!rt.ended() && !rt.Forms().empty()) {
        run([&] {
            int next = rt.msUntilNextTimer();
            waitForEvents(next < 0 ? 100 : std::min(next, 100));
            rt.processPending();
        });
        purge();
    }
    run([&] { rt.finishEnd(); });
    purge();
    return 0;
}

void FrontEnd::runDialog(QDialog& dialog) {
    Runtime& rt = Runtime::get();
    bool finished = false;
    QObject::connect(&dialog, &QDialog::finished, &dialog, [&finished] { finished = true; });
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    while (!finished) {
        int next = rt.msUntilNextTimer();
        waitForEvents(next < 0 ? 50 : std::min(next, 50));
        if (finished) break;
        rt.processPending();
    }
}

void FrontEnd::purge() {
    if (depth_ != 0 || Runtime::get().dispatchDepth() != 0) return;
    auto retired = std::move(retired_);
    retired_.clear();
    for (auto& o : retired)
        if (o) delete o.data();
}

}  // namespace qv::qt
