#pragma once
// Forms: a window built from a declarative design table, its controls in creation order,
// control arrays, typed references and handler wiring.
//
//   class frmDemo : public forms::Form {
//   public:
//       static frmDemo& instance() { return forms::loadForm<frmDemo>(); }
//       frmDemo();                                   // binds references, wires handlers
//       forms::CheckBox& chkRaw;
//       forms::ControlArray<forms::TextBox> txtName;
//       void chkRaw_Click();
//       void txtName_Change(int Index);
//   };
//   frmDemo::frmDemo() : Form(design()), chkRaw(ctl<CheckBox>("chkRaw")),
//       txtName(array<TextBox>("txtName")) {
//       on(chkRaw.Click, &frmDemo::chkRaw_Click);
//       on(txtName, &TextBox::Change, &frmDemo::txtName_Change);
//   }

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/forms/Controls.h"

namespace qv::forms {

// One property value of a design table, by name ("Value", "Interval", "Style", ...).
using DesignProp = std::pair<std::string, PropValue>;

struct ControlDesign {
    ControlType type;
    std::string name;
    int index = -1;                 // >= 0: element of a control array
    std::string container;          // "" = the form; "fraCal" or "Picture1(2)"
    double left = 0, top = 0, width = 0, height = 0;  // in the container's scale units
    std::string caption;            // Caption, or Text for text and combo boxes
    // (A Line takes left, top, width, height as X1, Y1, X2, Y2.)
    std::vector<DesignProp> props;  // further properties, applied in order
};

struct FormDesign {
    std::string name;               // "Acqisition"
    std::string caption;
    double left = 0, top = 0, width = 4800, height = 3600;  // twips, outer size
    std::vector<DesignProp> props;  // ScaleMode, KeyPreview, BorderStyle, ...
    std::vector<ControlDesign> controls;  // in creation order
};

class Form;

// The elements of one control array. A thin handle: copies refer to the same array.
class ArrayGroup {
public:
    std::string name;
    ControlType type{};
    std::map<int, Control*> elements;
    // Handler wiring applied to every element, also to those loaded later.
    std::vector<std::function<void(Control&)>> binders;
};

template <class T>
class ControlArray {
public:
    ControlArray() = default;
    ControlArray(Form* form, ArrayGroup* group) : form_(form), group_(group) {}

    // Element i; 340 when it does not exist.
    T& operator()(int i) const;
    T& operator[](int i) const { return (*this)(i); }
    bool exists(int i) const { return group_ && group_->elements.count(i) != 0; }
    int LBound() const;
    int UBound() const;
    int Count() const { return group_ ? static_cast<int>(group_->elements.size()) : 0; }
    // Creates element i as a copy of the lowest element, hidden (360 when it exists).
    T& Load(int i) const;
    // Removes an element loaded at run time (362 for a designed one, 340 for none).
    void Unload(int i) const;
    const std::string& Name() const { return group_->name; }

    class iterator {
    public:
        using It = std::map<int, Control*>::const_iterator;
        explicit iterator(It it) : it_(it) {}
        T& operator*() const { return static_cast<T&>(*it_->second); }
        iterator& operator++() { ++it_; return *this; }
        bool operator!=(const iterator& o) const { return it_ != o.it_; }
    private:
        It it_;
    };
    iterator begin() const { return iterator(group_->elements.begin()); }
    iterator end() const { return iterator(group_->elements.end()); }

private:
    Form* form_ = nullptr;
    ArrayGroup* group_ = nullptr;
};

class Form : public Widget, public DropTarget {
public:
    explicit Form(const FormDesign& design);
    ~Form() override;

    unsigned features() const override;
    bool isForm() const override { return true; }
    Form& parentForm() override { return *this; }
    const Form* owningForm() const override { return this; }
    Widget* containerWidget() const override { return nullptr; }
    PixelRect outerRect() const override;
    PixelRect clientRect() const override;

    // Events of the window.
    Event<> Load;
    Event<int&> Unload;                         // Cancel
    Event<int&, int> QueryUnload;               // Cancel, UnloadMode
    Event<> Resize;
    Event<> Paint;
    Event<> Activate;
    Event<int&, int> KeyDown;                   // KeyCode (may be zeroed), Shift
    Event<int, int, float, float> MouseDown;
    Event<int, int, float, float> MouseMove;
    Event<int, int, float, float> MouseUp;
    Event<> Click;

    // Show: visible; with vbModal the call returns only when the form is hidden or unloaded.
    void Show(int modal = vbModeless);
    void Hide();
    void setVisible(bool v) override;
    // Runs Paint (and the picture boxes' Paint) synchronously.
    void Refresh();
    int WindowState() const { return windowState_; }
    void setWindowState(int state);
    bool KeyPreview = false;
    int BorderStyle = 2;  // 0 none, 1 fixed single, 2 sizable, 3 fixed dialog
    // Stay-on-top flag (the placement call's topmost / not-topmost).
    bool TopMost() const { return topMost_; }
    void setTopMost(bool v);
    void Move(double left, double top, double width, double height) override;
    void setCaption(const std::string& c) override;
    // Makes the whole window's image as the screen shows it (frame, title bar with the
    // caption, client area) and registers it as the window's frame image, which GetWindowDC
    // reads. The client area is the front end's rendering of the window; headless, the back
    // colour with the form's own image and every shown picture box's image at its place.
    void renderWindowImage();

    bool isLoaded() const override { return loaded_; }
    bool isModal() const { return modal_; }
    bool isLoadingDesign() const { return designing_; }

    // Controls in creation order (elements loaded at run time at the end).
    std::vector<Control*> Controls() const;
    // Late-bound lookup: name without regard to case; index -1 for a plain control.
    // control() raises 730 when missing (340 for a missing array element).
    Control& control(std::string_view name, int index = -1) const;
    Control* findControl(std::string_view name, int index = -1) const;
    // "txtName(3)" or "txtName".
    Control* findControlByFullName(std::string_view fullName) const;
    ArrayGroup* findArray(std::string_view name) const;
    Control* ActiveControl() const;

    // Wires a handler (a member function of the derived window) to an event.
    template <class F, class... A, class... P>
    void on(Event<A...>& ev, void (F::*h)(P...)) {
        F* self = static_cast<F*>(this);
        ev.connect([self, h](A... a) { (self->*h)(std::forward<A>(a)...); });
    }
    // Wires a handler taking the element's Index first to an event of every element of a
    // control array, including elements loaded later.
    template <class T, class C, class F, class... A, class... P>
    void on(ControlArray<T>& arr, Event<A...> C::*ev, void (F::*h)(int, P...)) {
        F* self = static_cast<F*>(this);
        ArrayGroup* g = groupOf(arr.Name());
        auto binder = [self, h, ev](Control& c) {
            int index = c.Index();
            (static_cast<C&>(static_cast<T&>(c)).*ev).connect(
                [self, h, index](A... a) { (self->*h)(index, std::forward<A>(a)...); });
        };
        for (auto& [i, c] : g->elements) binder(*c);
        g->binders.push_back(binder);
    }

    // Control-array growth (ControlArray::Load / Unload go here).
    Control& loadElement(ArrayGroup& group, int index);
    void unloadElement(ArrayGroup& group, int index);

protected:
    // Typed references into the design (for the derived window's member initialisers).
    template <class T>
    T& ctl(std::string_view name, int index = -1) {
        Control& c = control(name, index);
        if (auto* t = dynamic_cast<T*>(&c)) return *t;
        throw std::logic_error("design: " + std::string(name) + " is a " + c.TypeName());
    }
    template <class T>
    ControlArray<T> array(std::string_view name) {
        ArrayGroup* g = groupOf(name);
        for (auto& [i, c] : g->elements)
            if (!dynamic_cast<T*>(c))
                throw std::logic_error("design: " + std::string(name) + " is a " + c->TypeName());
        return ControlArray<T>(this, g);
    }

    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;
    bool isReadOnlyProp(std::string_view name) const override;
    void geometryChanged(bool sized) override;
    void sizeChanged() override;

private:
    friend class Runtime;
    friend class Control;
    friend class Widget;
    ArrayGroup* groupOf(std::string_view name) const;
    Control& addControl(std::unique_ptr<Control> c, Control* container, int index, bool designed);
    void applyDesign(const FormDesign& d);
    // Tells the drawing layer where the windows are now: all of them, or the changed
    // control and what lies inside it.
    void updateWindowRects(Control* changed);
    // Controls and the form's own window leave the drawing layer and the timers stop
    // (unload, End). The objects stay: handlers may still run on them until they end.
    void releaseControls();
    void releaseWindows();
    void resizeSurface();

    // The name index: (name without regard to case, index) -> the first control of that name
    // and index in creation order, kept in step with controls_ so a lookup by name is not a
    // walk over every control. The key's name views the control's own, which never changes.
    struct NameKey {
        std::string_view name;
        int index;
    };
    struct NameKeyHash {
        size_t operator()(const NameKey& k) const;
    };
    struct NameKeyEqual {
        bool operator()(const NameKey& a, const NameKey& b) const;
    };
    void indexControl(Control& c);
    void unindexControl(const Control& c);

    std::vector<std::unique_ptr<Control>> controls_;
    std::unordered_map<NameKey, Control*, NameKeyHash, NameKeyEqual> byName_;
    std::vector<std::unique_ptr<ArrayGroup>> arrays_;
    std::shared_ptr<gdi::Surface> surface_;
    int windowState_ = vbNormal;
    double restoreLeft_ = 0, restoreTop_ = 0, restoreWidth_ = 0, restoreHeight_ = 0;
    bool topMost_ = false;
    bool loaded_ = false;
    bool modal_ = false;
    bool designing_ = false;
    bool shownOnce_ = false;
};

// Creates the window on first use (running Form_Load while it is hidden) and returns it;
// after an Unload the next use creates a fresh one.
template <class T>
T& loadForm();

// Unloads a form: QueryUnload (mode vbFormCode) and Unload may cancel; otherwise it is
// hidden, removed from Forms and destroyed. Returns false when cancelled.
bool Unload(Form& form, int unloadMode = vbFormCode);

// ---------------------------------------------------------------------------------------
// Error 340: "Control array element 'i' doesn't exist".
[[noreturn]] void raiseMissingElement(const std::string& name, int index);

template <class T>
T& ControlArray<T>::operator()(int i) const {
    if (!group_) throw std::logic_error("control array not bound");
    auto it = group_->elements.find(i);
    if (it == group_->elements.end()) raiseMissingElement(group_->name, i);
    return static_cast<T&>(*it->second);
}

template <class T>
int ControlArray<T>::LBound() const {
    return group_ && !group_->elements.empty() ? group_->elements.begin()->first : 0;
}
template <class T>
int ControlArray<T>::UBound() const {
    return group_ && !group_->elements.empty() ? group_->elements.rbegin()->first : -1;
}
template <class T>
T& ControlArray<T>::Load(int i) const {
    return static_cast<T&>(form_->loadElement(*group_, i));
}
template <class T>
void ControlArray<T>::Unload(int i) const {
    form_->unloadElement(*group_, i);
}

}  // namespace qv::forms

#include "platform/forms/Runtime.h"

namespace qv::forms {
template <class T>
T& loadForm() {
    return static_cast<T&>(Runtime::get().formOf(
        typeid(T), [] { return std::unique_ptr<Form>(new T()); }));
}
}  // namespace qv::forms
