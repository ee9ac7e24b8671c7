#pragma once
// The control types. Property writes from code behave as the user's actions do: they raise
// the control's event synchronously, inside the write, and only when the value really
// changes (a handler that sets its own check box again therefore ends).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Control.h"
#include "platform/forms/Picture.h"

namespace qv::forms {

// Something files can be dropped on (form, frame, picture box). OLEDropMode 0 refuses
// drops, 1 delivers them to OLEDragDrop.
struct DropTarget {
    int OLEDropMode = 0;
    // Data, Effect (in/out), Button, Shift, X, Y (the target's scale units)
    Event<DataObject&, int&, int, int, float, float> OLEDragDrop;
};

#define QV_FORMS_CONTROL(T)                                                         \
    ControlType type() const override { return ControlType::T; }                    \
    std::unique_ptr<Control> cloneEmpty() const override {                          \
        return std::make_unique<T>(name_);                                          \
    }

class CommandButton : public Control {
public:
    explicit CommandButton(std::string name) : Control(std::move(name)) {}
    QV_FORMS_CONTROL(CommandButton)
    unsigned features() const override;
    // Value = True clicks the button.
    void setValue(bool v);
    void userClick() override;

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;
};

class CheckBox : public Control {
public:
    explicit CheckBox(std::string name) : Control(std::move(name)) {}
    QV_FORMS_CONTROL(CheckBox)
    unsigned features() const override;
    int Value() const { return value_; }
    // 0, 1 or 2; anything else raises 380. Click fires when the value changes.
    void setValue(int v);
    void copyFrom(const Control& src) override;
    void userClick() override;  // 0 -> 1, 1 and 2 -> 0

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;

private:
    int value_ = 0;
};

class OptionButton : public Control {
public:
    explicit OptionButton(std::string name) : Control(std::move(name)) {}
    QV_FORMS_CONTROL(OptionButton)
    unsigned features() const override;
    bool Value() const { return value_; }
    // True clears the other option buttons of the same container (they get no event) and
    // fires Click when this one was False. False just clears this one, silently.
    void setValue(bool v);
    void copyFrom(const Control& src) override;
    void userClick() override;

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;

private:
    bool value_ = false;
};

class TextBox : public Control {
public:
    explicit TextBox(std::string name) : Control(std::move(name)) { backColor_ = 0xFFFFFF; }
    QV_FORMS_CONTROL(TextBox)
    unsigned features() const override;
    const std::string& Text() const { return text_; }
    // Change fires when the text differs; the caret goes to the start.
    void setText(const std::string& t);
    // The user replaces the text: the focus comes here first, then setText.
    void userType(const std::string& t);
    // Selection in characters.
    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void setSelStart(int v);
    void setSelLength(int v);
    std::string SelText() const;
    void setSelText(const std::string& t);
    bool Locked = false;
    bool MultiLine = false;
    int MaxLength = 0;
    Event<> Change;
    void copyFrom(const Control& src) override;

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;

private:
    std::string text_;
    int selStart_ = 0;
    int selLength_ = 0;
};

class Label : public Control {
public:
    explicit Label(std::string name) : Control(std::move(name)) {}
    QV_FORMS_CONTROL(Label)
    unsigned features() const override;
    int Alignment = 0;  // 0 left, 1 right, 2 centre
    bool AutoSize = false;
    int BorderStyle = 0;
    int BackStyle = 1;  // 0 transparent, 1 opaque
    void copyFrom(const Control& src) override;

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;
};

// List and combo boxes share the item list, the selection and their refusals.
class ListControl : public Control {
public:
    unsigned features() const override;
    int ListCount() const { return static_cast<int>(items_.size()); }
    // Item i; "" for an index past the end, error 381 for a negative one.
    std::string List(int i) const;
    void setList(int i, const std::string& text);
    int ListIndex() const { return listIndex_; }
    // -1..ListCount-1, else 380 and no change. Click fires when the index changes.
    void setListIndex(int i);
    // The user picks item i: the focus comes here first, then setListIndex.
    void userSelect(int i);
    int32_t ItemData(int i) const;
    void setItemData(int i, int32_t v);
    int NewIndex() const { return newIndex_; }
    // Adds at the end, at index, or (Sorted) at its place in text order. No event.
    void AddItem(const std::string& text, int index = -1);
    void RemoveItem(int i);
    void Clear();  // also ListIndex -1, silently
    bool Sorted = false;
    // The selected item's text, or "" when none (an editable combo keeps its own text).
    virtual std::string Text() const;
    // Selects the item with exactly this text (383 when there is none).
    virtual void setText(const std::string& t);
    bool Selected(int i) const;
    void setSelected(int i, bool v);
    int FindExact(const std::string& text) const;
    // The first row shown at the top: 0..ListCount-1 (0 for an empty list), else 380.
    int TopIndex() const { return topIndex_; }
    void setTopIndex(int i);
    // The user scrolled the list (the front end reports it); no event.
    void userScroll(int top);
    void copyFrom(const Control& src) override;

protected:
    using Control::Control;
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;
    bool isReadOnlyProp(std::string_view name) const override;
    void checkItem(int i) const;
    virtual void selectionChanged() {}
    struct Item {
        std::string text;
        int32_t data = 0;
    };
    std::vector<Item> items_;
    int listIndex_ = -1;
    int newIndex_ = -1;
    int topIndex_ = 0;
};

class ListBox : public ListControl {
public:
    explicit ListBox(std::string name) : ListControl(std::move(name)) { backColor_ = 0xFFFFFF; }
    QV_FORMS_CONTROL(ListBox)
};

class ComboBox : public ListControl {
public:
    explicit ComboBox(std::string name) : ListControl(std::move(name)) { backColor_ = 0xFFFFFF; }
    QV_FORMS_CONTROL(ComboBox)
    // 0 drop-down combo (typed text), 1 simple combo, 2 drop-down list. Drop-down list is
    // the default here: the program's combos are lists unless a window says otherwise.
    int Style() const { return style_; }
    void setStyle(int s);
    bool editable() const { return style_ != 2; }
    std::string Text() const override;
    // Drop-down list: as the list box. Editable: the typed text (Change), and the
    // selection follows an exactly matching item without a Click.
    void setText(const std::string& t) override;
    // The user types into an editable combo: the focus comes here first, then setText.
    void userType(const std::string& t);
    Event<> Change;
    void copyFrom(const Control& src) override;

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;
    void selectionChanged() override;

private:
    int style_ = 2;
    std::string text_;
};

class Frame : public Control, public DropTarget {
public:
    explicit Frame(std::string name) : Control(std::move(name)) {}
    QV_FORMS_CONTROL(Frame)
    unsigned features() const override;
    int BorderStyle = 1;
    int ScaleMode() const override;  // a frame's children use its container's units
    void copyFrom(const Control& src) override;

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;
};

class PictureBox : public Control, public DropTarget {
public:
    explicit PictureBox(std::string name);
    ~PictureBox() override;
    QV_FORMS_CONTROL(PictureBox)
    unsigned features() const override;

    // 0 none, 1 fixed single. With Appearance 1 (3D) a fixed single border is 2 pixels on
    // each side, flat 1 pixel.
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int v);
    int Appearance() const { return appearance_; }
    void setAppearance(int v);
    int borderPixels() const;
    PixelRect clientRect() const override;
    bool AutoRedraw = true;
    int MousePointer = 0;
    double CurrentX = 0, CurrentY = 0;

    // The device-context handle the library draws through: the control's persistent image.
    int32_t hDC();
    // The persistent image itself.
    std::shared_ptr<gdi::Surface> surface() const { return surface_; }
    // Fills the image with BackColor and sets CurrentX/Y to 0.
    void Cls();
    // Runs Paint synchronously and tells the front end to show the image. A picture whose
    // bitmap was written since it was drawn (SetBitmapBits) is drawn again first.
    void Refresh();
    // Tells the front end the image changed (after drawing through hDC).
    void invalidate();

    // The picture shown as background; assigning one draws it at the top-left corner.
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& p);
    // A copy of the persistent image.
    Picture Image() const;
    // Draws a picture scaled into (x, y, w, h) in this box's scale units; a negative or
    // omitted size takes the picture's own size.
    void PaintPicture(const Picture& p, double x, double y, double w = -1, double h = -1);
    // Writes text at CurrentX/CurrentY in ForeColor and the box's font into the persistent
    // image; CurrentY moves down a line and CurrentX back to 0, as the Printer's Print does.
    void Print(const std::string& text);

    Event<> Paint;
    Event<> Resize;
    void copyFrom(const Control& src) override;

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;
    bool isReadOnlyProp(std::string_view name) const override;
    void geometryChanged(bool sized) override;
    void sizeChanged() override;
    void colorsChanged() override;
    void created() override;
    void destroying() override;

private:
    void applyDcDefaults();
    void drawPicture();
    int borderStyle_ = 1;
    int appearance_ = 1;
    std::shared_ptr<gdi::Surface> surface_;
    int32_t hdc_ = 0;
    Picture picture_;
    uint64_t pictureVersion_ = 0;  // the picture's pixels as last drawn
    Color erasedBackColor_ = -1;   // the background the image was last erased with
};

// A windowless picture. With Stretch the picture is scaled (nearest pixel) to the control's
// size; without, it shows at its own size from the top-left corner.
class Image : public Control {
public:
    explicit Image(std::string name) : Control(std::move(name)) {}
    QV_FORMS_CONTROL(Image)
    unsigned features() const override;
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& p);
    bool Stretch() const { return stretch_; }
    void setStretch(bool v);
    // What the control shows, at its size in pixels (null when it has no area).
    std::shared_ptr<gdi::Surface> render() const;
    void copyFrom(const Control& src) override;

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;

private:
    Picture picture_;
    bool stretch_ = false;
};

class Line : public Control {
public:
    explicit Line(std::string name) : Control(std::move(name)) {}
    QV_FORMS_CONTROL(Line)
    unsigned features() const override;
    double X1() const { return x1_; }
    double Y1() const { return y1_; }
    double X2() const { return x2_; }
    double Y2() const { return y2_; }
    void setX1(double v);
    void setY1(double v);
    void setX2(double v);
    void setY2(double v);
    Color BorderColor = 0;
    int BorderWidth = 1;
    int BorderStyle = 1;
    void copyFrom(const Control& src) override;

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;

private:
    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

// Fires Tick (the handler the program names ..._Timer) every Interval ms while Enabled, from
// the event loop only. Interval 0 never fires; enabling or a new Interval restarts the count.
class Timer : public Control {
public:
    explicit Timer(std::string name) : Control(std::move(name)) {}
    ~Timer() override;
    QV_FORMS_CONTROL(Timer)
    unsigned features() const override;
    void setEnabled(bool v) override;
    int Interval() const { return interval_; }
    void setInterval(int ms);  // 0..65535, else 380
    Event<> Tick;
    void copyFrom(const Control& src) override;
    bool running() const { return enabled_ && interval_ > 0; }
    uint32_t due() const { return due_; }

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;
    void created() override;
    void destroying() override;

private:
    friend class Runtime;
    void restart();
    int interval_ = 0;
    uint32_t due_ = 0;
    bool inTick_ = false;
};

class ProgressBar : public Control {
public:
    explicit ProgressBar(std::string name) : Control(std::move(name)) {}
    QV_FORMS_CONTROL(ProgressBar)
    unsigned features() const override;
    double Min() const { return min_; }
    double Max() const { return max_; }
    double Value() const { return value_; }
    // Max must stay above Min and Value within Min..Max, else 380 and no change.
    void setMin(double v);
    void setMax(double v);
    void setValue(double v);
    void copyFrom(const Control& src) override;

protected:
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;

private:
    double min_ = 0, max_ = 100, value_ = 0;
};

class ScrollBar : public Control {
public:
    unsigned features() const override;
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    // -32768..32767; Value between Min and Max (either may be the larger), else 380.
    // A Value that a new Min or Max leaves outside is pulled in (Change fires).
    void setMin(int v);
    void setMax(int v);
    void setValue(int v);
    int LargeChange() const { return large_; }
    int SmallChange() const { return small_; }
    void setLargeChange(int v);  // 1..32767, else 380
    void setSmallChange(int v);
    Event<> Change;
    Event<> Scroll;
    void copyFrom(const Control& src) override;

protected:
    using Control::Control;
    bool getProp(std::string_view name, PropValue& out) const override;
    bool setProp(std::string_view name, const PropValue& v) override;

private:
    void clampValue();
    int min_ = 0, max_ = 32767, value_ = 0, large_ = 1, small_ = 1;
};

class HScrollBar : public ScrollBar {
public:
    explicit HScrollBar(std::string name) : ScrollBar(std::move(name)) {}
    QV_FORMS_CONTROL(HScrollBar)
};

class VScrollBar : public ScrollBar {
public:
    explicit VScrollBar(std::string name) : ScrollBar(std::move(name)) {}
    QV_FORMS_CONTROL(VScrollBar)
};

#undef QV_FORMS_CONTROL

// Creates a control of the given type (design tables).
std::unique_ptr<Control> makeControl(ControlType type, std::string name);

}  // namespace qv::forms
