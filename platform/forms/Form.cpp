#include "platform/forms/Form.h"

#include <algorithm>

#include "platform/basic/Basic.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Runtime.h"
#include "platform/forms/Util.h"
#include "platform/gdi/Gdi.h"

namespace qv::forms {

using basic::raiseError;

void raiseMissingElement(const std::string& name, int index) {
    raiseError(340, "Control array element '" + std::to_string(index) + "' doesn't exist (" +
                        name + ")");
}

namespace {
// "txtName(3)" -> ("txtName", 3); "txtName" -> ("txtName", -1). The index is the number
// between the first "(" and the first ")"; anything else there is not a control name.
bool splitFullName(std::string_view full, std::string_view& name, int& index) {
    index = -1;
    name = full;
    if (full.empty() || full.back() != ')') return true;
    size_t open = full.find('(');
    size_t close = full.find(')');
    if (open == std::string_view::npos || close < open) return false;
    std::string_view digits = full.substr(open + 1, close - open - 1);
    if (digits.empty() || digits.size() > 5) return false;
    int v = 0;
    for (char ch : digits) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + (ch - '0');
    }
    name = full.substr(0, open);
    index = v;
    return true;
}
}  // namespace

Form::Form(const FormDesign& design) : Widget(design.name) {
    visible_ = false;
    scaleMode_ = vbTwips;
    designing_ = true;
    try {
        applyDesign(design);
    } catch (...) {
        releaseWindows();
        throw;
    }
    designing_ = false;
}

Form::~Form() { releaseWindows(); }

unsigned Form::features() const {
    return HasGeometry | HasVisible | HasEnabled | HasCaption | HasColors | HasFont | Windowed |
           IsContainer;
}

void Form::applyDesign(const FormDesign& d) {
    left_ = d.left;
    top_ = d.top;
    width_ = d.width;
    height_ = d.height;
    caption_ = d.caption;
    for (const auto& [name, value] : d.props) set(name, value);

    PixelRect client = clientRect();
    surface_ = std::make_shared<gdi::Surface>(std::max(0, client.width()), std::max(0, client.height()),
                                              static_cast<gdi::COLORREF>(backColor_));
    gdi::WindowDesc wd;
    wd.outer = toRect(outerRect());
    wd.client = toRect(client);
    wd.surface = surface_;
    setHwnd(gdi::registerWindow(wd));

    for (const ControlDesign& cd : d.controls) {
        Control* container = nullptr;
        if (!cd.container.empty()) {
            container = findControlByFullName(cd.container);
            if (!container || !container->has(IsContainer))
                throw std::logic_error("design of " + name_ + ": container " + cd.container +
                                       " of " + cd.name + " is not a frame or picture box");
        }
        if (findControl(cd.name, cd.index))
            throw std::logic_error("design of " + name_ + ": " + cd.name + " defined twice");
        ArrayGroup* g = findArray(cd.name);
        if ((cd.index < 0 && g) || (cd.index >= 0 && !g && findControl(cd.name)))
            throw std::logic_error("design of " + name_ + ": " + cd.name +
                                   " is both a control array and a plain control");
        Control& c = addControl(makeControl(cd.type, cd.name), container, cd.index, true);
        if (cd.type == ControlType::Line) {
            auto& l = static_cast<Line&>(c);
            l.setX1(cd.left);
            l.setY1(cd.top);
            l.setX2(cd.width);
            l.setY2(cd.height);
        } else {
            c.Move(cd.left, cd.top, cd.width, cd.height);
        }
        if (!cd.caption.empty()) {
            if (c.has(HasCaption)) c.setCaption(cd.caption);
            else c.set("Text", cd.caption);
        }
        for (const auto& [name, value] : cd.props) c.set(name, value);
        c.created();
    }
}

Control& Form::addControl(std::unique_ptr<Control> c, Control* container, int index, bool designed) {
    c->attach(this, container, index, designed);
    if (index >= 0) {
        ArrayGroup* g = findArray(c->Name());
        if (!g) {
            arrays_.push_back(std::make_unique<ArrayGroup>());
            g = arrays_.back().get();
            g->name = c->Name();
            g->type = c->type();
        }
        g->elements[index] = c.get();
    }
    controls_.push_back(std::move(c));
    indexControl(*controls_.back());
    return *controls_.back();
}

size_t Form::NameKeyHash::operator()(const NameKey& k) const {
    return ihash(k.name) ^ (static_cast<size_t>(static_cast<unsigned>(k.index)) * 0x9E3779B97F4A7C15ull);
}

bool Form::NameKeyEqual::operator()(const NameKey& a, const NameKey& b) const {
    return a.index == b.index && iequals(a.name, b.name);
}

// A control added later never displaces the first one of its name and index.
void Form::indexControl(Control& c) { byName_.try_emplace(NameKey{c.Name(), c.Index()}, &c); }

// After c has left controls_: the next control of the same name and index, in creation
// order, becomes the one found (none can exist today, but the lookup keeps its rule).
void Form::unindexControl(const Control& c) {
    auto it = byName_.find(NameKey{c.Name(), c.Index()});
    if (it == byName_.end() || it->second != &c) return;
    byName_.erase(it);
    for (auto& other : controls_)
        if (other.get() != &c && other->Index() == c.Index() && iequals(other->Name(), c.Name())) {
            indexControl(*other);
            break;
        }
}

void Form::releaseControls() {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if ((*it)->released_) continue;
        (*it)->destroying();
        (*it)->released_ = true;
    }
}

void Form::releaseWindows() {
    releaseControls();
    if (hwnd()) gdi::unregisterWindow(hwnd());
    setHwnd(0);
}

std::vector<Control*> Form::Controls() const {
    std::vector<Control*> out;
    out.reserve(controls_.size());
    for (auto& c : controls_) out.push_back(c.get());
    return out;
}

Control* Form::findControl(std::string_view name, int index) const {
    auto it = byName_.find(NameKey{name, index});
    return it == byName_.end() ? nullptr : it->second;
}

Control& Form::control(std::string_view name, int index) const {
    if (Control* c = findControl(name, index)) return *c;
    if (index >= 0 && findArray(name)) raiseMissingElement(std::string(name), index);
    raiseError(730, "Control '" + std::string(name) + "' not found");
}

Control* Form::findControlByFullName(std::string_view fullName) const {
    std::string_view name;
    int index;
    if (!splitFullName(fullName, name, index)) return nullptr;
    return findControl(name, index);
}

ArrayGroup* Form::findArray(std::string_view name) const {
    for (auto& g : arrays_)
        if (iequals(g->name, name)) return g.get();
    return nullptr;
}

ArrayGroup* Form::groupOf(std::string_view name) const {
    ArrayGroup* g = findArray(name);
    if (!g) throw std::logic_error("design of " + name_ + ": no control array " + std::string(name));
    return g;
}

Control* Form::ActiveControl() const {
    Control* f = Runtime::get().focused();
    return f && &f->parentForm() == this ? f : nullptr;
}

Control& Form::loadElement(ArrayGroup& group, int index) {
    if (index < 0 || index > 32767) raiseMissingElement(group.name, index);
    if (group.elements.count(index)) raiseError(360, "Object already loaded");
    Control& src = *group.elements.begin()->second;
    Control& c = addControl(src.cloneEmpty(), src.Container(), index, false);
    c.copyFrom(src);
    // A new element starts hidden.
    c.visible_ = false;
    c.created();
    for (auto& bind : group.binders) bind(c);
    if (auto* o = Runtime::get().observer()) o->controlCreated(c);
    return c;
}

void Form::unloadElement(ArrayGroup& group, int index) {
    auto it = group.elements.find(index);
    if (it == group.elements.end()) raiseMissingElement(group.name, index);
    Control* c = it->second;
    if (c->designed()) raiseError(362, "Can't unload controls created at design time");
    Runtime& rt = Runtime::get();
    if (rt.focused() == c) rt.dropFocus(*c);
    if (auto* o = rt.observer()) o->controlDestroying(*c);
    c->destroying();
    c->released_ = true;
    group.elements.erase(it);
    for (auto ci = controls_.begin(); ci != controls_.end(); ++ci)
        if (ci->get() == c) {
            std::unique_ptr<Control> gone = std::move(*ci);
            controls_.erase(ci);
            unindexControl(*gone);
            rt.retire(std::move(gone));
            break;
        }
}

// ---- Geometry -----------------------------------------------------------------------------

PixelRect Form::outerRect() const {
    double tx = Screen.TwipsPerPixelX(), ty = Screen.TwipsPerPixelY();
    PixelRect r;
    r.left = pixelRound(left_ / tx);
    r.top = pixelRound(top_ / ty);
    r.right = r.left + pixelRound(width_ / tx);
    r.bottom = r.top + pixelRound(height_ / ty);
    return r;
}

PixelRect Form::clientRect() const {
    const WindowFrame f = windowFrame(BorderStyle);
    return inset(outerRect(), f.border, f.border + f.caption, f.border, f.border);
}

void Form::Move(double left, double top, double width, double height) {
    if (windowState_ != vbNormal)
        raiseError(384, "A form can't be moved or sized while minimized or maximized");
    Widget::Move(left, top, width, height);
}

void Form::geometryChanged(bool sized) {
    if (sized) resizeSurface();
    updateWindowRects(nullptr);
    if (sized) sizeChanged();
}

void Form::sizeChanged() {
    if (!designing_) Resize.raise();
}

void Form::resizeSurface() {
    if (!surface_) return;
    PixelRect c = clientRect();
    surface_->resize(std::max(0, c.width()), std::max(0, c.height()),
                     static_cast<gdi::COLORREF>(backColor_));
}

void Form::updateWindowRects(Control* changed) {
    PixelRect origin = clientRect();
    if (!changed && hwnd()) gdi::setWindowRects(hwnd(), toRect(outerRect()), toRect(origin));
    for (auto& c : controls_) {
        if (!c->hwnd()) continue;
        if (changed && c.get() != changed && !isInside(*c, *changed)) continue;
        gdi::setWindowRects(c->hwnd(), toRect(offset(c->outerRect(), origin.left, origin.top)),
                            toRect(offset(c->clientRect(), origin.left, origin.top)));
    }
}

void Form::setWindowState(int state) {
    if (state < vbNormal || state > vbMaximized) raiseError(basic::errInvalidProperty);
    if (state == windowState_) return;
    if (state == vbMaximized) {
        if (windowState_ == vbNormal) {
            restoreLeft_ = left_;
            restoreTop_ = top_;
            restoreWidth_ = width_;
            restoreHeight_ = height_;
        }
        left_ = 0;
        top_ = 0;
        width_ = Screen.Width();
        height_ = Screen.Height();
    } else if (windowState_ == vbMaximized) {
        left_ = restoreLeft_;
        top_ = restoreTop_;
        width_ = restoreWidth_;
        height_ = restoreHeight_;
    }
    windowState_ = state;
    notify("WindowState");
    resizeSurface();
    updateWindowRects(nullptr);
    sizeChanged();
}

// ---- Showing ------------------------------------------------------------------------------

void Form::Show(int modal) {
    if (modal != vbModeless && modal != vbModal) raiseError(basic::errInvalidCall);
    if (modal == vbModal && visible_)
        raiseError(400, "Form already displayed; can't show modally");
    Runtime& rt = Runtime::get();
    Runtime::KeepAlive alive;
    // Resize and Activate handlers may unload the form ("Unload Me"): showing ends there.
    const bool wasLoaded = loaded_;
    auto unloaded = [&] { return wasLoaded && !loaded_; };
    if (!visible_) {
        visible_ = true;
        if (!shownOnce_) {
            // The first showing sizes the window: Resize runs before it appears.
            shownOnce_ = true;
            Resize.raise();
            if (unloaded()) return;
        }
        if (auto* o = rt.observer()) o->formShown(*this, modal == vbModal);
        Activate.raise();
        if (unloaded()) return;
    }
    if (modal == vbModal) {
        modal_ = true;
        try {
            rt.runModal(*this);
        } catch (...) {
            modal_ = false;
            throw;
        }
        modal_ = false;
    }
}

void Form::Hide() {
    if (!visible_) return;
    visible_ = false;
    Runtime& rt = Runtime::get();
    if (Control* f = rt.focused(); f && &f->parentForm() == this) rt.dropFocus(*f);
    if (auto* o = rt.observer()) o->formHidden(*this);
}

void Form::setVisible(bool v) {
    if (designing_) return;  // a window appears only when shown after loading
    if (v) Show();
    else Hide();
}

void Form::Refresh() {
    Paint.raise();
    if (auto* o = Runtime::get().observer()) o->surfaceInvalidated(*this);
}

void Form::setTopMost(bool v) {
    if (v == topMost_) return;
    topMost_ = v;
    notify("TopMost");
}

void Form::setCaption(const std::string& c) { Widget::setCaption(c); }

// ---- Properties ---------------------------------------------------------------------------

bool Form::isReadOnlyProp(std::string_view n) const { return Widget::isReadOnlyProp(n); }

bool Form::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "ScaleMode")) out = scaleMode_;
    else if (iequals(n, "ScaleWidth")) out = ScaleWidth();
    else if (iequals(n, "ScaleHeight")) out = ScaleHeight();
    else if (iequals(n, "WindowState")) out = windowState_;
    else if (iequals(n, "KeyPreview")) out = KeyPreview;
    else if (iequals(n, "BorderStyle")) out = BorderStyle;
    else if (iequals(n, "OLEDropMode")) out = OLEDropMode;
    else return Widget::getProp(n, out);
    return true;
}

bool Form::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "ScaleMode")) setScaleMode(v.toInt());
    else if (iequals(n, "WindowState")) setWindowState(v.toInt());
    else if (iequals(n, "KeyPreview")) KeyPreview = v.toBool();
    else if (iequals(n, "BorderStyle")) {
        int b = v.toInt();
        if (b < 0 || b > 5) raiseError(basic::errInvalidProperty);
        if (!designing_) raiseError(basic::errReadOnlyProperty);
        BorderStyle = b;
    } else if (iequals(n, "OLEDropMode")) OLEDropMode = v.toInt() ? 1 : 0;
    else return Widget::setProp(n, v);
    return true;
}

bool Unload(Form& form, int unloadMode) { return Runtime::get().unload(form, unloadMode); }

}  // namespace qv::forms
