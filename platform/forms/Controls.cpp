#include "platform/forms/Controls.h"

#include <algorithm>

#include "platform/basic/Basic.h"
#include "platform/forms/Form.h"
#include "platform/forms/Runtime.h"
#include "platform/forms/Util.h"

namespace qv::forms {

using basic::raiseError;

namespace {
constexpr unsigned kButtonLike =
    HasGeometry | HasVisible | HasEnabled | HasCaption | HasColors | HasFont | CanFocus;

[[noreturn]] void raiseBadIndex() { raiseError(381, "Invalid property array index"); }

// Sorted lists order their items as the platform's list box did: by text, letters compared
// without regard to ASCII case.
bool textLess(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}
}  // namespace

std::unique_ptr<Control> makeControl(ControlType type, std::string name) {
    switch (type) {
        case ControlType::CommandButton: return std::make_unique<CommandButton>(std::move(name));
        case ControlType::CheckBox: return std::make_unique<CheckBox>(std::move(name));
        case ControlType::OptionButton: return std::make_unique<OptionButton>(std::move(name));
        case ControlType::TextBox: return std::make_unique<TextBox>(std::move(name));
        case ControlType::Label: return std::make_unique<Label>(std::move(name));
        case ControlType::ComboBox: return std::make_unique<ComboBox>(std::move(name));
        case ControlType::ListBox: return std::make_unique<ListBox>(std::move(name));
        case ControlType::PictureBox: return std::make_unique<PictureBox>(std::move(name));
        case ControlType::Frame: return std::make_unique<Frame>(std::move(name));
        case ControlType::Line: return std::make_unique<Line>(std::move(name));
        case ControlType::Timer: return std::make_unique<Timer>(std::move(name));
        case ControlType::ProgressBar: return std::make_unique<ProgressBar>(std::move(name));
        case ControlType::HScrollBar: return std::make_unique<HScrollBar>(std::move(name));
        case ControlType::VScrollBar: return std::make_unique<VScrollBar>(std::move(name));
        case ControlType::Image: return std::make_unique<Image>(std::move(name));
    }
    return nullptr;
}

// ---- CommandButton ------------------------------------------------------------------------

unsigned CommandButton::features() const { return kButtonLike; }

void CommandButton::setValue(bool v) {
    if (v && !quiet()) Click.raise();
}

void CommandButton::userClick() {
    if (Runtime::get().focusForInput(*this)) Click.raise();
}

bool CommandButton::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Value")) { out = false; return true; }
    return Control::getProp(n, out);
}

bool CommandButton::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "Value")) { setValue(v.toBool()); return true; }
    return Control::setProp(n, v);
}

// ---- CheckBox -----------------------------------------------------------------------------

unsigned CheckBox::features() const { return kButtonLike; }

void CheckBox::setValue(int v) {
    if (v < 0 || v > 2) raiseError(basic::errInvalidProperty);
    if (v == value_) return;
    value_ = v;
    notify("Value");
    if (!quiet()) Click.raise();
}

void CheckBox::copyFrom(const Control& src) {
    Control::copyFrom(src);
    value_ = static_cast<const CheckBox&>(src).value_;
}

void CheckBox::userClick() {
    if (Runtime::get().focusForInput(*this)) setValue(value_ == vbUnchecked ? vbChecked : vbUnchecked);
}

bool CheckBox::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Value")) { out = value_; return true; }
    return Control::getProp(n, out);
}

bool CheckBox::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "Value")) { setValue(v.toInt()); return true; }
    return Control::setProp(n, v);
}

// ---- OptionButton -------------------------------------------------------------------------

unsigned OptionButton::features() const { return kButtonLike; }

void OptionButton::setValue(bool v) {
    if (v == value_) return;
    if (v) {
        // Exclusive within the container; the buttons cleared here get no event.
        Widget* group = containerWidget();
        for (Control* c : parentForm().Controls()) {
            auto* o = dynamic_cast<OptionButton*>(c);
            if (o && o != this && o->value_ && o->containerWidget() == group) {
                o->value_ = false;
                o->notify("Value");
            }
        }
    }
    value_ = v;
    notify("Value");
    if (v && !quiet()) Click.raise();
}

void OptionButton::copyFrom(const Control& src) {
    Control::copyFrom(src);
    // A new element never takes the selection away from its group.
    value_ = false;
}

void OptionButton::userClick() {
    if (Runtime::get().focusForInput(*this)) setValue(true);
}

bool OptionButton::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Value")) { out = value_; return true; }
    return Control::getProp(n, out);
}

bool OptionButton::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "Value")) { setValue(v.toBool()); return true; }
    return Control::setProp(n, v);
}

// ---- TextBox ------------------------------------------------------------------------------

unsigned TextBox::features() const {
    return HasGeometry | HasVisible | HasEnabled | HasColors | HasFont | CanFocus;
}

void TextBox::setText(const std::string& t) {
    if (t == text_) return;
    text_ = t;
    selStart_ = 0;
    selLength_ = 0;
    notify("Text");
    if (!quiet()) Change.raise();
}

void TextBox::setSelStart(int v) {
    if (v < 0) raiseError(basic::errInvalidProperty);
    selStart_ = std::min(v, basic::Len(text_));
    selLength_ = 0;
    notify("SelStart");
}

void TextBox::setSelLength(int v) {
    if (v < 0) raiseError(basic::errInvalidProperty);
    selLength_ = std::min(v, basic::Len(text_) - selStart_);
    notify("SelLength");
}

std::string TextBox::SelText() const { return basic::Mid(text_, selStart_ + 1, selLength_); }

void TextBox::userType(const std::string& t) {
    if (Runtime::get().focusForInput(*this)) setText(t);
}

void TextBox::setSelText(const std::string& t) {
    int start = selStart_;
    std::string next = basic::Left(text_, start) + t + basic::Mid(text_, start + selLength_ + 1);
    setText(next);
    selStart_ = start + basic::Len(t);
    selLength_ = 0;
}

void TextBox::copyFrom(const Control& src) {
    Control::copyFrom(src);
    auto& s = static_cast<const TextBox&>(src);
    text_ = s.text_;
    Locked = s.Locked;
    MultiLine = s.MultiLine;
    MaxLength = s.MaxLength;
}

bool TextBox::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Text")) out = text_;
    else if (iequals(n, "SelStart")) out = selStart_;
    else if (iequals(n, "SelLength")) out = selLength_;
    else if (iequals(n, "SelText")) out = SelText();
    else if (iequals(n, "Locked")) out = Locked;
    else if (iequals(n, "MultiLine")) out = MultiLine;
    else if (iequals(n, "MaxLength")) out = MaxLength;
    else return Control::getProp(n, out);
    return true;
}

bool TextBox::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "Text")) setText(v.toString());
    else if (iequals(n, "SelStart")) setSelStart(v.toInt());
    else if (iequals(n, "SelLength")) setSelLength(v.toInt());
    else if (iequals(n, "SelText")) setSelText(v.toString());
    else if (iequals(n, "Locked")) Locked = v.toBool();
    else if (iequals(n, "MultiLine")) MultiLine = v.toBool();
    else if (iequals(n, "MaxLength")) {
        int m = v.toInt();
        if (m < 0) raiseError(basic::errInvalidProperty);
        MaxLength = m;
    } else return Control::setProp(n, v);
    return true;
}

// ---- Label --------------------------------------------------------------------------------

unsigned Label::features() const {
    return HasGeometry | HasVisible | HasEnabled | HasCaption | HasColors | HasFont;
}

void Label::copyFrom(const Control& src) {
    Control::copyFrom(src);
    auto& s = static_cast<const Label&>(src);
    Alignment = s.Alignment;
    AutoSize = s.AutoSize;
    BorderStyle = s.BorderStyle;
    BackStyle = s.BackStyle;
}

bool Label::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Alignment")) out = Alignment;
    else if (iequals(n, "AutoSize")) out = AutoSize;
    else if (iequals(n, "BorderStyle")) out = BorderStyle;
    else if (iequals(n, "BackStyle")) out = BackStyle;
    else return Control::getProp(n, out);
    return true;
}

bool Label::setProp(std::string_view n, const PropValue& v) {
    auto ranged = [&](int lo, int hi) {
        int x = v.toInt();
        if (x < lo || x > hi) raiseError(basic::errInvalidProperty);
        return x;
    };
    if (iequals(n, "Alignment")) Alignment = ranged(0, 2);
    else if (iequals(n, "AutoSize")) AutoSize = v.toBool();
    else if (iequals(n, "BorderStyle")) BorderStyle = ranged(0, 1);
    else if (iequals(n, "BackStyle")) BackStyle = ranged(0, 1);
    else return Control::setProp(n, v);
    notify(n);
    return true;
}

// ---- ListControl --------------------------------------------------------------------------

unsigned ListControl::features() const {
    return HasGeometry | HasVisible | HasEnabled | HasColors | HasFont | CanFocus;
}

void ListControl::checkItem(int i) const {
    if (i < 0 || i >= ListCount()) raiseBadIndex();
}

std::string ListControl::List(int i) const {
    if (i < 0) raiseBadIndex();
    return i < ListCount() ? items_[static_cast<size_t>(i)].text : std::string();
}

void ListControl::setList(int i, const std::string& text) {
    checkItem(i);
    items_[static_cast<size_t>(i)].text = text;
    if (i == listIndex_) selectionChanged();
    if (auto* o = Runtime::get().observer()) o->listChanged(*this);
}

void ListControl::userSelect(int i) {
    if (Runtime::get().focusForInput(*this)) setListIndex(i);
}

void ListControl::setListIndex(int i) {
    if (i < -1 || i >= ListCount()) raiseError(basic::errInvalidProperty);
    if (i == listIndex_) return;
    listIndex_ = i;
    selectionChanged();
    notify("ListIndex");
    if (!quiet()) Click.raise();
}

int32_t ListControl::ItemData(int i) const {
    checkItem(i);
    return items_[static_cast<size_t>(i)].data;
}

void ListControl::setItemData(int i, int32_t v) {
    checkItem(i);
    items_[static_cast<size_t>(i)].data = v;
}

void ListControl::AddItem(const std::string& text, int index) {
    int pos;
    if (index >= 0) {
        if (index > ListCount()) raiseError(basic::errInvalidCall);
        pos = index;
    } else if (index < -1) {
        raiseError(basic::errInvalidCall);
    } else if (Sorted) {
        auto it = std::upper_bound(items_.begin(), items_.end(), text,
                                   [](const std::string& t, const Item& it) { return textLess(t, it.text); });
        pos = static_cast<int>(it - items_.begin());
    } else {
        pos = ListCount();
    }
    items_.insert(items_.begin() + pos, Item{text, 0});
    newIndex_ = pos;
    if (listIndex_ >= pos) ++listIndex_;
    if (auto* o = Runtime::get().observer()) o->listChanged(*this);
}

void ListControl::RemoveItem(int i) {
    if (i < 0 || i >= ListCount()) raiseError(basic::errInvalidCall);
    items_.erase(items_.begin() + i);
    newIndex_ = -1;
    if (topIndex_ >= ListCount()) topIndex_ = ListCount() > 0 ? ListCount() - 1 : 0;
    if (listIndex_ == i) {
        listIndex_ = -1;
        selectionChanged();
    } else if (listIndex_ > i) {
        --listIndex_;
    }
    if (auto* o = Runtime::get().observer()) o->listChanged(*this);
}

void ListControl::Clear() {
    items_.clear();
    newIndex_ = -1;
    listIndex_ = -1;
    topIndex_ = 0;
    selectionChanged();
    if (auto* o = Runtime::get().observer()) o->listChanged(*this);
}

std::string ListControl::Text() const {
    return listIndex_ >= 0 ? items_[static_cast<size_t>(listIndex_)].text : std::string();
}

void ListControl::setText(const std::string& t) {
    int i = FindExact(t);
    if (i < 0) raiseError(basic::errReadOnlyProperty);
    setListIndex(i);
}

bool ListControl::Selected(int i) const {
    checkItem(i);
    return i == listIndex_;
}

void ListControl::setSelected(int i, bool v) {
    checkItem(i);
    if (v) setListIndex(i);
    else if (i == listIndex_) setListIndex(-1);
}

void ListControl::setTopIndex(int i) {
    if (i < 0 || (i > 0 && i >= ListCount())) raiseError(basic::errInvalidProperty);
    if (i == topIndex_) return;
    topIndex_ = i;
    notify("TopIndex");
}

void ListControl::userScroll(int top) {
    if (top >= 0 && (top == 0 || top < ListCount())) topIndex_ = top;
}

int ListControl::FindExact(const std::string& text) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].text == text) return static_cast<int>(i);
    return -1;
}

void ListControl::copyFrom(const Control& src) {
    Control::copyFrom(src);
    Sorted = static_cast<const ListControl&>(src).Sorted;
}

bool ListControl::isReadOnlyProp(std::string_view n) const {
    return iequals(n, "ListCount") || iequals(n, "NewIndex") || Control::isReadOnlyProp(n);
}

bool ListControl::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Text")) out = Text();
    else if (iequals(n, "ListIndex")) out = listIndex_;
    else if (iequals(n, "ListCount")) out = ListCount();
    else if (iequals(n, "NewIndex")) out = newIndex_;
    else if (iequals(n, "TopIndex")) out = topIndex_;
    else if (iequals(n, "Sorted")) out = Sorted;
    else return Control::getProp(n, out);
    return true;
}

bool ListControl::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "Text")) setText(v.toString());
    else if (iequals(n, "ListIndex")) setListIndex(v.toInt());
    else if (iequals(n, "TopIndex")) setTopIndex(v.toInt());
    else if (iequals(n, "Sorted")) {
        // Fixed once the window exists, as the original's list style was.
        if (!quiet()) raiseError(basic::errReadOnlyProperty);
        Sorted = v.toBool();
    } else return Control::setProp(n, v);
    return true;
}

// ---- ComboBox -----------------------------------------------------------------------------

void ComboBox::setStyle(int s) {
    if (s < 0 || s > 2) raiseError(basic::errInvalidProperty);
    if (!quiet()) raiseError(basic::errReadOnlyProperty);
    style_ = s;
}

std::string ComboBox::Text() const { return editable() ? text_ : ListControl::Text(); }

void ComboBox::userType(const std::string& t) {
    if (Runtime::get().focusForInput(*this)) setText(t);
}

void ComboBox::setText(const std::string& t) {
    if (!editable()) {
        ListControl::setText(t);
        return;
    }
    listIndex_ = FindExact(t);
    if (t == text_) return;
    text_ = t;
    notify("Text");
    if (!quiet()) Change.raise();
}

void ComboBox::selectionChanged() {
    if (editable()) text_ = ListControl::Text();
}

void ComboBox::copyFrom(const Control& src) {
    ListControl::copyFrom(src);
    style_ = static_cast<const ComboBox&>(src).style_;
}

bool ComboBox::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Style")) { out = style_; return true; }
    return ListControl::getProp(n, out);
}

bool ComboBox::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "Style")) { setStyle(v.toInt()); return true; }
    return ListControl::setProp(n, v);
}

// ---- Frame --------------------------------------------------------------------------------

unsigned Frame::features() const {
    return HasGeometry | HasVisible | HasEnabled | HasCaption | HasColors | HasFont | IsContainer;
}

int Frame::ScaleMode() const {
    Widget* c = containerWidget();
    return c ? c->ScaleMode() : vbTwips;
}

void Frame::copyFrom(const Control& src) {
    Control::copyFrom(src);
    auto& s = static_cast<const Frame&>(src);
    BorderStyle = s.BorderStyle;
    OLEDropMode = s.OLEDropMode;
}

bool Frame::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "BorderStyle")) out = BorderStyle;
    else if (iequals(n, "OLEDropMode")) out = OLEDropMode;
    else return Control::getProp(n, out);
    return true;
}

bool Frame::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "BorderStyle")) BorderStyle = v.toInt() ? 1 : 0;
    else if (iequals(n, "OLEDropMode")) OLEDropMode = v.toInt() ? 1 : 0;
    else return Control::setProp(n, v);
    return true;
}

// ---- Line ---------------------------------------------------------------------------------

unsigned Line::features() const { return HasVisible; }

void Line::setX1(double v) { if (v != x1_) { x1_ = v; notify("X1"); } }
void Line::setY1(double v) { if (v != y1_) { y1_ = v; notify("Y1"); } }
void Line::setX2(double v) { if (v != x2_) { x2_ = v; notify("X2"); } }
void Line::setY2(double v) { if (v != y2_) { y2_ = v; notify("Y2"); } }

void Line::copyFrom(const Control& src) {
    Control::copyFrom(src);
    auto& s = static_cast<const Line&>(src);
    x1_ = s.x1_;
    y1_ = s.y1_;
    x2_ = s.x2_;
    y2_ = s.y2_;
    BorderColor = s.BorderColor;
    BorderWidth = s.BorderWidth;
    BorderStyle = s.BorderStyle;
}

bool Line::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "X1")) out = x1_;
    else if (iequals(n, "Y1")) out = y1_;
    else if (iequals(n, "X2")) out = x2_;
    else if (iequals(n, "Y2")) out = y2_;
    else if (iequals(n, "BorderColor")) out = BorderColor;
    else if (iequals(n, "BorderWidth")) out = BorderWidth;
    else if (iequals(n, "BorderStyle")) out = BorderStyle;
    else return Control::getProp(n, out);
    return true;
}

bool Line::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "X1")) setX1(v.toDouble());
    else if (iequals(n, "Y1")) setY1(v.toDouble());
    else if (iequals(n, "X2")) setX2(v.toDouble());
    else if (iequals(n, "Y2")) setY2(v.toDouble());
    else if (iequals(n, "BorderColor")) { BorderColor = v.toInt(); notify(n); }
    else if (iequals(n, "BorderWidth")) {
        int w = v.toInt();
        if (w < 1 || w > 8192) raiseError(basic::errInvalidProperty);
        BorderWidth = w;
        notify(n);
    } else if (iequals(n, "BorderStyle")) {
        int s = v.toInt();
        if (s < 0 || s > 6) raiseError(basic::errInvalidProperty);
        BorderStyle = s;
        notify(n);
    } else return Control::setProp(n, v);
    return true;
}

// ---- Timer --------------------------------------------------------------------------------

Timer::~Timer() = default;

unsigned Timer::features() const { return HasEnabled; }

void Timer::restart() { due_ = Runtime::get().now() + static_cast<uint32_t>(interval_); }

void Timer::setEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    if (v) restart();
    notify("Enabled");
}

void Timer::setInterval(int ms) {
    if (ms < 0 || ms > 65535) raiseError(basic::errInvalidProperty);
    interval_ = ms;
    // Writing the interval restarts the count, as the original re-armed the timer.
    if (enabled_) restart();
    notify("Interval");
}

void Timer::copyFrom(const Control& src) {
    Control::copyFrom(src);
    interval_ = static_cast<const Timer&>(src).interval_;
}

void Timer::created() {
    Runtime::get().addTimer(this);
    restart();
}

void Timer::destroying() { Runtime::get().removeTimer(this); }

bool Timer::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Interval")) { out = interval_; return true; }
    return Control::getProp(n, out);
}

bool Timer::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "Interval")) { setInterval(v.toInt()); return true; }
    return Control::setProp(n, v);
}

// ---- ProgressBar --------------------------------------------------------------------------

unsigned ProgressBar::features() const { return HasGeometry | HasVisible | HasEnabled; }

void ProgressBar::setMin(double v) {
    if (v >= max_) raiseError(basic::errInvalidProperty);
    min_ = v;
    if (value_ < min_) value_ = min_;
    notify("Min");
}

void ProgressBar::setMax(double v) {
    if (v <= min_) raiseError(basic::errInvalidProperty);
    max_ = v;
    if (value_ > max_) value_ = max_;
    notify("Max");
}

void ProgressBar::setValue(double v) {
    if (v < min_ || v > max_) raiseError(basic::errInvalidProperty);
    if (v == value_) return;
    value_ = v;
    notify("Value");
}

void ProgressBar::copyFrom(const Control& src) {
    Control::copyFrom(src);
    auto& s = static_cast<const ProgressBar&>(src);
    min_ = s.min_;
    max_ = s.max_;
    value_ = s.value_;
}

bool ProgressBar::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Min")) out = min_;
    else if (iequals(n, "Max")) out = max_;
    else if (iequals(n, "Value")) out = value_;
    else return Control::getProp(n, out);
    return true;
}

bool ProgressBar::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "Min")) setMin(v.toDouble());
    else if (iequals(n, "Max")) setMax(v.toDouble());
    else if (iequals(n, "Value")) setValue(v.toDouble());
    else return Control::setProp(n, v);
    return true;
}

// ---- ScrollBar ----------------------------------------------------------------------------

unsigned ScrollBar::features() const { return HasGeometry | HasVisible | HasEnabled | CanFocus; }

namespace {
int scrollRange(int v) {
    if (v < -32768 || v > 32767) raiseError(basic::errInvalidProperty);
    return v;
}
}  // namespace

void ScrollBar::setMin(int v) {
    min_ = scrollRange(v);
    notify("Min");
    clampValue();
}

void ScrollBar::setMax(int v) {
    max_ = scrollRange(v);
    notify("Max");
    clampValue();
}

void ScrollBar::clampValue() {
    int lo = std::min(min_, max_), hi = std::max(min_, max_);
    int v = std::clamp(value_, lo, hi);
    if (v != value_) setValue(v);
}

void ScrollBar::setValue(int v) {
    if (v < std::min(min_, max_) || v > std::max(min_, max_)) raiseError(basic::errInvalidProperty);
    if (v == value_) return;
    value_ = v;
    notify("Value");
    if (!quiet()) Change.raise();
}

void ScrollBar::setLargeChange(int v) {
    if (v < 1 || v > 32767) raiseError(basic::errInvalidProperty);
    large_ = v;
}

void ScrollBar::setSmallChange(int v) {
    if (v < 1 || v > 32767) raiseError(basic::errInvalidProperty);
    small_ = v;
}

void ScrollBar::copyFrom(const Control& src) {
    Control::copyFrom(src);
    auto& s = static_cast<const ScrollBar&>(src);
    min_ = s.min_;
    max_ = s.max_;
    value_ = s.value_;
    large_ = s.large_;
    small_ = s.small_;
}

bool ScrollBar::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Min")) out = min_;
    else if (iequals(n, "Max")) out = max_;
    else if (iequals(n, "Value")) out = value_;
    else if (iequals(n, "LargeChange")) out = large_;
    else if (iequals(n, "SmallChange")) out = small_;
    else return Control::getProp(n, out);
    return true;
}

bool ScrollBar::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "Min")) setMin(v.toInt());
    else if (iequals(n, "Max")) setMax(v.toInt());
    else if (iequals(n, "Value")) setValue(v.toInt());
    else if (iequals(n, "LargeChange")) setLargeChange(v.toInt());
    else if (iequals(n, "SmallChange")) setSmallChange(v.toInt());
    else return Control::setProp(n, v);
    return true;
}

}  // namespace qv::forms
