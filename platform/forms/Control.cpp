#include "platform/forms/Control.h"

#include <cmath>

#include "platform/basic/Basic.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Runtime.h"
#include "platform/forms/Util.h"

namespace qv::forms {

using basic::raiseError;

// ---- PropValue ----------------------------------------------------------------------------

std::string PropValue::toString() const {
    if (auto* b = std::get_if<bool>(&v_)) return basic::CStr(*b);
    if (auto* i = std::get_if<int32_t>(&v_)) return basic::CStr(*i);
    if (auto* d = std::get_if<double>(&v_)) return basic::CStr(*d);
    if (auto* s = std::get_if<std::string>(&v_)) return *s;
    return {};
}

double PropValue::toDouble() const {
    if (auto* b = std::get_if<bool>(&v_)) return *b ? -1.0 : 0.0;
    if (auto* i = std::get_if<int32_t>(&v_)) return *i;
    if (auto* d = std::get_if<double>(&v_)) return *d;
    if (auto* s = std::get_if<std::string>(&v_)) {
        if (iequals(*s, "True")) return -1.0;
        if (iequals(*s, "False")) return 0.0;
        return basic::CDbl(*s);
    }
    return 0.0;
}

int32_t PropValue::toInt() const {
    if (auto* i = std::get_if<int32_t>(&v_)) return *i;
    return basic::CLng(toDouble());
}

bool PropValue::toBool() const {
    if (auto* b = std::get_if<bool>(&v_)) return *b;
    return toDouble() != 0.0;
}

// ---- Names --------------------------------------------------------------------------------

const char* typeName(ControlType t) {
    switch (t) {
        case ControlType::CommandButton: return "CommandButton";
        case ControlType::CheckBox: return "CheckBox";
        case ControlType::OptionButton: return "OptionButton";
        case ControlType::TextBox: return "TextBox";
        case ControlType::Label: return "Label";
        case ControlType::ComboBox: return "ComboBox";
        case ControlType::ListBox: return "ListBox";
        case ControlType::PictureBox: return "PictureBox";
        case ControlType::Frame: return "Frame";
        case ControlType::Line: return "Line";
        case ControlType::Timer: return "Timer";
        case ControlType::ProgressBar: return "ProgressBar";
        case ControlType::HScrollBar: return "HScrollBar";
        case ControlType::VScrollBar: return "VScrollBar";
        case ControlType::Image: return "Image";
    }
    return "Control";
}

// ---- Widget -------------------------------------------------------------------------------

Widget::Widget(std::string name) : name_(std::move(name)) {}
Widget::~Widget() = default;

void Widget::Move(double left, double top, double width, double height) {
    if (has(HasGeometry) && (width < 0 || height < 0))
        raiseError(basic::errInvalidProperty);
    bool sized = width != width_ || height != height_;
    if (!sized && left == left_ && top == top_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    notify("Geometry");
    geometryChanged(sized);
}

void Widget::setVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    notify("Visible");
    Control* f = Runtime::get().focused();
    if (!v && f && (f == this || isInside(*f, *this))) Runtime::get().dropFocus(*f);
}

void Widget::setEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    notify("Enabled");
    Control* f = Runtime::get().focused();
    if (!v && f && (f == this || isInside(*f, *this))) Runtime::get().dropFocus(*f);
}

bool Widget::isShown() const {
    if (!visible_) return false;
    Widget* c = containerWidget();
    return c ? c->isShown() : true;
}

bool Widget::enabledChain() const {
    if (!enabled_) return false;
    Widget* c = containerWidget();
    return c ? c->enabledChain() : true;
}

bool Widget::acceptsInput() const { return isShown() && enabledChain(); }

void Widget::setForeColor(Color c) {
    if (c == foreColor_) return;
    foreColor_ = c;
    notify("ForeColor");
    colorsChanged();
}

void Widget::setBackColor(Color c) {
    if (c == backColor_) return;
    backColor_ = c;
    notify("BackColor");
    colorsChanged();
}

void Widget::setFont(const Font& f) {
    if (f == font_) return;
    font_ = f;
    notify("Font");
    colorsChanged();
}

void Widget::setCaption(const std::string& c) {
    if (c == caption_) return;
    caption_ = c;
    notify("Caption");
}

void Widget::setToolTipText(const std::string& t) {
    if (t == toolTip_) return;
    toolTip_ = t;
    notify("ToolTipText");
}

int Widget::ScaleMode() const { return scaleMode_; }

void Widget::setScaleMode(int mode) {
    if (mode != vbTwips && mode != vbPixels && mode != vbPoints && mode != vbInches &&
        mode != vbMillimeters && mode != vbCentimeters && mode != vbHimetric)
        raiseError(basic::errInvalidProperty);
    if (mode == scaleMode_) return;
    scaleMode_ = mode;
    notify("ScaleMode");
}

double Widget::twipsPerUnitX() const {
    return convertScale(1.0, ScaleMode(), vbTwips, screenPixelsPerInchX());
}
double Widget::twipsPerUnitY() const {
    return convertScale(1.0, ScaleMode(), vbTwips, screenPixelsPerInchY());
}

double Widget::ScaleWidth() const {
    PixelRect r = clientRect();
    return r.width() * Screen.TwipsPerPixelX() / twipsPerUnitX();
}
double Widget::ScaleHeight() const {
    PixelRect r = clientRect();
    return r.height() * Screen.TwipsPerPixelY() / twipsPerUnitY();
}

double Widget::ScaleX(double v, int fromMode, int toMode) const {
    return convertScale(v, fromMode, toMode, screenPixelsPerInchX());
}
double Widget::ScaleY(double v, int fromMode, int toMode) const {
    return convertScale(v, fromMode, toMode, screenPixelsPerInchY());
}

void Widget::notify(std::string_view property) const {
    auto* o = Runtime::get().observer();
    const Form* f = owningForm();
    if (!o || !f || f->isLoadingDesign()) return;
    o->propertyChanged(const_cast<Widget&>(*this), property);
}

void Widget::copyWidgetProps(const Widget& s) {
    left_ = s.left_;
    top_ = s.top_;
    width_ = s.width_;
    height_ = s.height_;
    visible_ = s.visible_;
    enabled_ = s.enabled_;
    foreColor_ = s.foreColor_;
    backColor_ = s.backColor_;
    font_ = s.font_;
    caption_ = s.caption_;
    toolTip_ = s.toolTip_;
    scaleMode_ = s.scaleMode_;
    Tag = s.Tag;
}

PropValue Widget::get(std::string_view property) const {
    PropValue out;
    if (!getProp(property, out))
        raiseError(438, "Object doesn't support this property or method");
    return out;
}

void Widget::set(std::string_view property, const PropValue& value) {
    if (isReadOnlyProp(property)) raiseError(basic::errReadOnlyProperty);
    if (!setProp(property, value))
        raiseError(438, "Object doesn't support this property or method");
}

bool Widget::hasProperty(std::string_view property) const {
    PropValue out;
    try {
        return getProp(property, out);
    } catch (const basic::RuntimeError&) {
        return true;  // known, but refused in the present state
    }
}

bool Widget::isReadOnlyProp(std::string_view n) const {
    return iequals(n, "Name") || (has(Windowed) && iequals(n, "hWnd")) ||
           (has(IsContainer) && (iequals(n, "ScaleWidth") || iequals(n, "ScaleHeight")));
}

bool Widget::getProp(std::string_view n, PropValue& out) const {
    unsigned f = features();
    if (iequals(n, "Name")) out = name_;
    else if ((f & HasGeometry) && iequals(n, "Left")) out = left_;
    else if ((f & HasGeometry) && iequals(n, "Top")) out = top_;
    else if ((f & HasGeometry) && iequals(n, "Width")) out = width_;
    else if ((f & HasGeometry) && iequals(n, "Height")) out = height_;
    else if ((f & HasVisible) && iequals(n, "Visible")) out = visible_;
    else if ((f & HasEnabled) && iequals(n, "Enabled")) out = enabled_;
    else if ((f & HasCaption) && iequals(n, "Caption")) out = caption_;
    else if ((f & HasColors) && iequals(n, "ForeColor")) out = foreColor_;
    else if ((f & HasColors) && iequals(n, "BackColor")) out = backColor_;
    else if ((f & HasFont) && iequals(n, "FontName")) out = font_.Name;
    else if ((f & HasFont) && iequals(n, "FontSize")) out = font_.Size;
    else if ((f & HasFont) && iequals(n, "FontBold")) out = font_.Bold;
    else if ((f & HasFont) && iequals(n, "FontItalic")) out = font_.Italic;
    else if ((f & HasFont) && iequals(n, "FontUnderline")) out = font_.Underline;
    else if ((f & HasGeometry) && iequals(n, "ToolTipText")) out = toolTip_;
    else if (iequals(n, "Tag")) out = Tag;
    else if ((f & Windowed) && iequals(n, "hWnd")) out = hwnd_;
    else return false;
    return true;
}

bool Widget::setProp(std::string_view n, const PropValue& v) {
    unsigned f = features();
    if ((f & HasGeometry) && iequals(n, "Left")) setLeft(v.toDouble());
    else if ((f & HasGeometry) && iequals(n, "Top")) setTop(v.toDouble());
    else if ((f & HasGeometry) && iequals(n, "Width")) setWidth(v.toDouble());
    else if ((f & HasGeometry) && iequals(n, "Height")) setHeight(v.toDouble());
    else if ((f & HasVisible) && iequals(n, "Visible")) setVisible(v.toBool());
    else if ((f & HasEnabled) && iequals(n, "Enabled")) setEnabled(v.toBool());
    else if ((f & HasCaption) && iequals(n, "Caption")) setCaption(v.toString());
    else if ((f & HasColors) && iequals(n, "ForeColor")) setForeColor(v.toInt());
    else if ((f & HasColors) && iequals(n, "BackColor")) setBackColor(v.toInt());
    else if (f & HasFont) {
        Font fo = font_;
        if (iequals(n, "FontName")) fo.Name = v.toString();
        else if (iequals(n, "FontSize")) fo.Size = v.toDouble();
        else if (iequals(n, "FontBold")) fo.Bold = v.toBool();
        else if (iequals(n, "FontItalic")) fo.Italic = v.toBool();
        else if (iequals(n, "FontUnderline")) fo.Underline = v.toBool();
        else if (iequals(n, "ToolTipText")) { setToolTipText(v.toString()); return true; }
        else if (iequals(n, "Tag")) { Tag = v.toString(); return true; }
        else return false;
        if (fo.Size <= 0) raiseError(basic::errInvalidProperty);
        setFont(fo);
    }
    else if ((f & HasGeometry) && iequals(n, "ToolTipText")) setToolTipText(v.toString());
    else if (iequals(n, "Tag")) Tag = v.toString();
    else return false;
    return true;
}

// ---- Control ------------------------------------------------------------------------------

Control::~Control() = default;

std::string Control::fullName() const {
    return index_ >= 0 ? name_ + "(" + std::to_string(index_) + ")" : name_;
}

Widget* Control::containerWidget() const {
    if (container_) return container_;
    return form_;
}

void Control::attach(Form* form, Control* container, int index, bool designed) {
    form_ = form;
    container_ = container;
    index_ = index;
    designed_ = designed;
}

bool Control::isLoaded() const { return !released_ && form_ && form_->isLoaded(); }

bool Control::quiet() const { return form_ && form_->isLoadingDesign(); }

PixelRect Control::outerRect() const {
    Widget* c = containerWidget();
    PixelRect origin;
    if (c && !c->isForm()) origin = c->childOrigin();
    double tpx = Screen.TwipsPerPixelX(), tpy = Screen.TwipsPerPixelY();
    double ux = c ? c->twipsPerUnitX() : 1.0, uy = c ? c->twipsPerUnitY() : 1.0;
    PixelRect r;
    r.left = origin.left + pixelRound(left_ * ux / tpx);
    r.top = origin.top + pixelRound(top_ * uy / tpy);
    r.right = r.left + pixelRound(width_ * ux / tpx);
    r.bottom = r.top + pixelRound(height_ * uy / tpy);
    return r;
}

PixelRect Control::clientRect() const { return outerRect(); }

PixelRect Control::childOrigin() const { return clientRect(); }

void Control::SetFocus() {
    if (!has(CanFocus) || !isLoaded() || !acceptsInput()) raiseError(basic::errInvalidCall);
    Runtime::get().moveFocus(this);
}

bool Control::hasFocus() const { return Runtime::get().focused() == this; }

void Control::copyFrom(const Control& src) { copyWidgetProps(src); }

void Control::userClick() { Click.raise(); }

void Control::geometryChanged(bool sized) {
    if (form_ && (has(IsContainer) || hwnd())) form_->updateWindowRects(this);
    if (sized) sizeChanged();
}

bool Control::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Index")) {
        if (index_ < 0) raiseError(343, "Object not an array");
        out = index_;
        return true;
    }
    return Widget::getProp(n, out);
}

bool Control::setProp(std::string_view n, const PropValue& v) { return Widget::setProp(n, v); }

bool Control::isReadOnlyProp(std::string_view n) const {
    return iequals(n, "Index") || Widget::isReadOnlyProp(n);
}

bool isInside(const Widget& w, const Widget& outer) {
    for (Widget* c = w.containerWidget(); c; c = c->containerWidget())
        if (c == &outer) return true;
    return false;
}

}  // namespace qv::forms
