#pragma once
// One Qt widget per control, kept in step with the model. A view copies notified properties
// into its widget (with the widget's signals blocked, so that copying is never taken for
// input) and turns the widget's user signals and mouse, focus and drop events into the same
// model calls the headless driver makes.

#include "platform/qt/QtBase.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <string_view>

#include "platform/forms/Forms.h"

class QWidget;

namespace qv::qt {

class FrontEnd;

class ControlView : public QObject {
    Q_OBJECT
public:
    ControlView(FrontEnd& fe, forms::Control& c, QWidget* widget);
    forms::Control* control() const { return control_; }
    QWidget* widget() const { return widget_; }
    // Copies one notified property ("" for all of them) to the widget.
    void apply(std::string_view property);
    // The list's items changed (list and combo boxes).
    virtual void itemsChanged() {}
    // The control is gone: the view stops talking to it.
    virtual void detach() { control_ = nullptr; }
    // Where the widget goes in its parent (the container's widget or the form window).
    virtual QRect placement() const;
    // Where the control's client area starts in the widget (inside a border).
    virtual QPoint clientOrigin() const { return {}; }

protected:
    virtual void applyOwn(std::string_view property) { (void)property; }
    virtual void applyColors();
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Posts the control's Paint (an exposure) when its image is not kept by itself.
    void postPaint();

    FrontEnd& fe_;
    forms::Control* control_;
    QWidget* widget_;
    // Labels, picture boxes and frames click on mouse release; buttons, boxes and lists click
    // through their own signals.
    bool clickOnRelease_ = false;
    bool pressed_ = false;
};

// The view of a control under parent, or null for a control without a window (a timer).
ControlView* makeControlView(FrontEnd& fe, forms::Control& c, QWidget* parent);

}  // namespace qv::qt
