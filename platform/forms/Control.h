#pragma once
// The common ground of forms and controls: names, geometry in container units, visibility,
// enabling, colours, font, caption, the window handle and late-bound property access.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/forms/Event.h"
#include "platform/forms/Types.h"

namespace qv::forms {

class Form;
class Control;

enum class ControlType {
    CommandButton, CheckBox, OptionButton, TextBox, Label, ComboBox, ListBox, PictureBox,
    Frame, Line, Timer, ProgressBar, HScrollBar, VScrollBar, Image,
};
const char* typeName(ControlType t);

// What a kind of window supports; late-bound access refuses what is not there.
enum Feature : unsigned {
    HasGeometry = 1u << 0,   // Left/Top/Width/Height
    HasVisible = 1u << 1,
    HasCaption = 1u << 2,
    HasColors = 1u << 3,     // ForeColor/BackColor
    HasFont = 1u << 4,
    Windowed = 1u << 5,      // has a window handle in the drawing layer's table
    CanFocus = 1u << 6,
    IsContainer = 1u << 7,   // option groups and child coordinates
    HasEnabled = 1u << 8,
};

class Widget {
public:
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;
    virtual ~Widget();

    const std::string& Name() const { return name_; }
    virtual unsigned features() const = 0;
    bool has(Feature f) const { return (features() & f) != 0; }
    virtual bool isForm() const { return false; }
    // A form between its Load and its Unload; a control on such a form that was not
    // unloaded itself. An unloaded object stays readable until no handler runs any more.
    virtual bool isLoaded() const = 0;
    virtual Form& parentForm() = 0;
    // The form this belongs to; null for a control not placed on one.
    virtual const Form* owningForm() const = 0;
    const Form& parentForm() const { return const_cast<Widget*>(this)->parentForm(); }
    // The widget whose coordinate system this one's Left/Top are in; null for a form.
    virtual Widget* containerWidget() const = 0;

    // Geometry, in the container's scale units (forms: twips on the screen). Values are
    // kept as given, negative and huge ones included; rounding happens when drawing.
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void setLeft(double v) { Move(v, top_, width_, height_); }
    void setTop(double v) { Move(left_, v, width_, height_); }
    void setWidth(double v) { Move(left_, top_, v, height_); }
    void setHeight(double v) { Move(left_, top_, width_, v); }
    virtual void Move(double left, double top, double width, double height);

    bool Visible() const { return visible_; }
    virtual void setVisible(bool v);
    bool Enabled() const { return enabled_; }
    virtual void setEnabled(bool v);

    // Visible here and along the container chain, on a shown form.
    bool isShown() const;
    // Enabled here and along the container chain, the form included.
    bool enabledChain() const;
    // Would take user input: shown, and enabled along the container chain and on the form.
    bool acceptsInput() const;

    Color ForeColor() const { return foreColor_; }
    void setForeColor(Color c);
    Color BackColor() const { return backColor_; }
    void setBackColor(Color c);
    const Font& font() const { return font_; }
    void setFont(const Font& f);
    const std::string& Caption() const { return caption_; }
    virtual void setCaption(const std::string& c);
    const std::string& ToolTipText() const { return toolTip_; }
    void setToolTipText(const std::string& t);
    std::string Tag;

    // The int32 window handle the drawing layer knows this window by; 0 when it has none.
    int32_t hWnd() const { return hwnd_; }
    int32_t hwnd() const { return hwnd_; }

    // Coordinates of children: the scale mode, and the size of the inner area in it.
    virtual int ScaleMode() const;
    virtual void setScaleMode(int mode);
    double ScaleWidth() const;
    double ScaleHeight() const;
    // Twips in one unit of this widget's child coordinates.
    double twipsPerUnitX() const;
    double twipsPerUnitY() const;
    // Converts between scale modes with the screen's resolution.
    double ScaleX(double v, int fromMode, int toMode) const;
    double ScaleY(double v, int fromMode, int toMode) const;

    // Rectangles in pixels. For a control: relative to its form's client area. For a form:
    // on the screen. The client rectangle is where children and drawing go.
    virtual PixelRect outerRect() const = 0;
    virtual PixelRect clientRect() const = 0;
    // Where (0, 0) of the children lies, in the form's client pixels (a form: 0, 0).
    virtual PixelRect childOrigin() const { return {}; }

    // Late-bound access by property name (names compared without regard to case).
    // Unknown names raise 438, writes to read-only properties 383, refused values 380.
    PropValue get(std::string_view property) const;
    void set(std::string_view property, const PropValue& value);
    bool hasProperty(std::string_view property) const;

    // Tells the front end that something it shows changed.
    void notify(std::string_view property) const;

protected:
    explicit Widget(std::string name);
    // Each type answers the names it knows; false means "not mine" (the base decides).
    virtual bool getProp(std::string_view name, PropValue& out) const;
    virtual bool setProp(std::string_view name, const PropValue& v);
    virtual bool isReadOnlyProp(std::string_view name) const;
    // After Move changed something; sized tells whether Width or Height changed.
    virtual void geometryChanged(bool sized) { (void)sized; }
    virtual void sizeChanged() {}
    virtual void colorsChanged() {}
    // Copies the plain properties (used when a control array grows).
    void copyWidgetProps(const Widget& src);
    // Registers this widget with the drawing layer's window table.
    void setHwnd(int32_t h) { hwnd_ = h; }

    std::string name_;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    Color foreColor_ = 0x000000;       // window text
    Color backColor_ = 0xF0F0F0;       // button face
    Font font_;
    std::string caption_;
    std::string toolTip_;
    int scaleMode_ = vbTwips;

private:
    int32_t hwnd_ = 0;
};

class Control : public Widget {
public:
    ~Control() override;

    virtual ControlType type() const = 0;
    const char* TypeName() const { return typeName(type()); }
    // Position in a control array, or -1 for a plain control.
    int Index() const { return index_; }
    bool isArrayElement() const { return index_ >= 0; }
    // "txtName(3)" for an array element, else the name.
    std::string fullName() const;
    bool designed() const { return designed_; }

    bool isLoaded() const override;
    Form& parentForm() override { return *form_; }
    const Form* owningForm() const override { return form_; }
    Widget* containerWidget() const override;
    Control* Container() const { return container_; }

    PixelRect outerRect() const override;
    PixelRect clientRect() const override;
    PixelRect childOrigin() const override;

    // Moves the focus here (LostFocus on the old control, GotFocus here). A control that
    // cannot take input raises error 5, as the original did.
    void SetFocus();
    bool hasFocus() const;

    // Events every focusable or clickable control can raise; types raise those they have.
    Event<> Click;
    Event<> DblClick;
    Event<> GotFocus;
    Event<> LostFocus;
    Event<int&, int> KeyDown;                      // KeyCode (may be zeroed), Shift
    Event<int, int, float, float> MouseDown;       // Button, Shift, X, Y (own scale units)
    Event<int, int, float, float> MouseMove;
    Event<int, int, float, float> MouseUp;

    // Creates an empty control of the same type (control-array growth).
    virtual std::unique_ptr<Control> cloneEmpty() const = 0;
    // Copies the properties of another control of the same type.
    virtual void copyFrom(const Control& src);

    // For the form only: wiring while building.
    void attach(Form* form, Control* container, int index, bool designed);

    // What a user action on this control does (driver and front end).
    virtual void userClick();

protected:
    using Widget::Widget;
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;
    bool isReadOnlyProp(std::string_view name) const override;
    // True while the form applies its design table: no events fire then.
    bool quiet() const;
    void geometryChanged(bool sized) override;
    // Called when attached to the form and before destruction (window handles, timers).
    virtual void created() {}
    virtual void destroying() {}
    friend class Form;

private:
    Form* form_ = nullptr;
    Control* container_ = nullptr;
    int index_ = -1;
    bool designed_ = true;
    bool released_ = false;  // unloaded: its window and timer are gone
};

// True when w lies (at any depth) inside the container outer.
bool isInside(const Widget& w, const Widget& outer);

}  // namespace qv::forms
