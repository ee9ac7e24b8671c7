#include "platform/qt/ControlView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

#include "platform/forms/Util.h"
#include "platform/qt/FrontEnd.h"
#include "platform/qt/Input.h"
#include "platform/qt/Style.h"
#include "platform/qt/SurfaceImage.h"

namespace qv::qt {

using forms::Runtime;

namespace {
constexpr int kMaxExtent = 16777215;  // QWIDGETSIZE_MAX

QRect boundedRect(int x, int y, int w, int h) {
    return QRect(x, y, std::clamp(w, 0, kMaxExtent), std::clamp(h, 0, kMaxExtent));
}

// Cursor shapes of the MousePointer numbers.
Qt::CursorShape cursorShape(int pointer) {
    switch (pointer) {
        case 2: return Qt::CrossCursor;
        case 3: return Qt::IBeamCursor;
        case 5: return Qt::SizeAllCursor;
        case 6: return Qt::SizeBDiagCursor;
        case 7: return Qt::SizeVerCursor;
        case 8: return Qt::SizeFDiagCursor;
        case 9: return Qt::SizeHorCursor;
        case 10: return Qt::UpArrowCursor;
        case 11: return Qt::WaitCursor;
        case 12: return Qt::ForbiddenCursor;
        case 13: return Qt::BusyCursor;
        case 15: return Qt::SizeAllCursor;
        default: return Qt::ArrowCursor;
    }
}
}  // namespace

// ---- The common part ------------------------------------------------------------------------

ControlView::ControlView(FrontEnd& fe, forms::Control& c, QWidget* widget)
    : QObject(widget), fe_(fe), control_(&c), widget_(widget) {
    widget_->installEventFilter(this);
    widget_->setFocusPolicy(c.has(forms::CanFocus) ? Qt::StrongFocus : Qt::NoFocus);
}

QRect ControlView::placement() const {
    forms::PixelRect r = control_->outerRect();
    forms::Widget* c = control_->containerWidget();
    if (c && !c->isForm()) {
        forms::PixelRect o = c->outerRect();
        r = forms::offset(r, -o.left, -o.top);
    }
    return boundedRect(r.left, r.top, r.width(), r.height());
}

void ControlView::applyColors() {
    QPalette pal = widget_->palette();
    QColor back = toQColor(control_->BackColor()), fore = toQColor(control_->ForeColor());
    pal.setColor(QPalette::Window, back);
    pal.setColor(QPalette::Base, back);
    // The text colour for the enabled groups only: a disabled control keeps the style's greyed
    // text, as buttons and lists do.
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::WindowText, fore);
        pal.setColor(g, QPalette::Text, fore);
    }
    widget_->setPalette(pal);
}

void ControlView::apply(std::string_view p) {
    if (!control_) return;
    FrontEnd::SyncScope sync(fe_);
    const bool all = p.empty();
    forms::Control& c = *control_;
    if (all || p == "Geometry") widget_->setGeometry(placement());
    if (all || p == "Enabled") widget_->setEnabled(c.Enabled());
    if ((all || p == "ForeColor" || p == "BackColor") && c.has(forms::HasColors)) applyColors();
    if ((all || p == "Font") && c.has(forms::HasFont)) widget_->setFont(toQFont(c.font()));
    if (all || p == "ToolTipText") widget_->setToolTip(qs(c.ToolTipText()));
    applyOwn(p);
    if (all || p == "Visible") widget_->setVisible(c.Visible());
}

void ControlView::postPaint() {
    auto* pb = dynamic_cast<forms::PictureBox*>(control_);
    if (!pb || pb->AutoRedraw || !pb->Paint.hasHandlers()) return;
    QPointer<ControlView> self(this);
    Runtime::get().post([self] {
        if (!self || !self->control_ || !self->control_->isShown()) return;
        static_cast<forms::PictureBox*>(self->control_)->Paint.raise();
    });
}

bool ControlView::eventFilter(QObject* watched, QEvent* event) {
    if (!control_) return false;
    forms::Control& c = *control_;
    QPointer<QWidget> widget(widget_);
    // After a handler: was the widget taken away or shut for input? Then the event ends here.
    auto gone = [&] { return !widget || !control_ || !widget->isVisible() || !widget->isEnabled(); };
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            pressed_ = true;
            auto& e = static_cast<QMouseEvent&>(*event);
            if (!raiseMouse(fe_, c, c.MouseDown, e, clientOrigin(), MouseAction::Down)) return false;
            return gone();
        }
        case QEvent::MouseMove: {
            if (!c.MouseMove.hasHandlers()) return false;
            raiseMouse(fe_, c, c.MouseMove, static_cast<QMouseEvent&>(*event), clientOrigin(), MouseAction::Move);
            return gone();
        }
        case QEvent::MouseButtonRelease: {
            auto& e = static_cast<QMouseEvent&>(*event);
            auto* w = static_cast<QWidget*>(watched);
            bool click = clickOnRelease_ && pressed_ && e.button() == Qt::LeftButton &&
                         w->rect().contains(e.position().toPoint());
            pressed_ = false;
            if (!raiseMouse(fe_, c, c.MouseUp, e, clientOrigin(), MouseAction::Up)) return false;
            if (click && !gone()) fe_.act(*control_, [this] { control_->userClick(); });
            return gone();
        }
        case QEvent::MouseButtonDblClick: {
            // The second press of a double click raises DblClick instead of MouseDown and Click.
            pressed_ = false;
            fe_.act(c, [&c] { c.DblClick.raise(); });
            return gone();
        }
        case QEvent::FocusIn: {
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Only the user moves the focus here; the window system's focus on activation and
            // the focus we set for the model are not input.
            if (fe_.syncing() || !c.has(forms::CanFocus) || Runtime::get().focused() == &c) return false;
            if (reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
                fe_.act(c, [&c] { Runtime::get().moveFocus(&c); });
            return false;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto& e = static_cast<QDragMoveEvent&>(*event);
            if (acceptsDrop(c, e.mimeData())) e.acceptProposedAction();
            else e.ignore();
            return true;
        }
        case QEvent::Drop:
            deliverDrop(fe_, c, static_cast<QDropEvent&>(*event), clientOrigin());
            return true;
        case QEvent::Show:
            if (!event->spontaneous()) postPaint();
            return false;
        default:
            return false;
    }
}

// ---- Buttons ----------------------------------------------------------------------------------

namespace {

class ButtonView : public ControlView {
public:
    ButtonView(FrontEnd& fe, forms::CommandButton& c, QWidget* parent)
        : ControlView(fe, c, new QPushButton(parent)) {
        auto* b = static_cast<QPushButton*>(widget_);
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, this, [this] {
            if (control_ && !fe_.syncing()) fe_.act(*control_, [this] { control_->userClick(); });
        });
    }

protected:
    void applyOwn(std::string_view p) override {
        if (p.empty() || p == "Caption") static_cast<QPushButton*>(widget_)->setText(qs(control_->Caption()));
    }
    void applyColors() override {}  // a standard button keeps the face of the style
};

class CheckView : public ControlView {
public:
    CheckView(FrontEnd& fe, forms::CheckBox& c, QWidget* parent) : ControlView(fe, c, new QCheckBox(parent)) {
        widget_->setAutoFillBackground(true);
        QObject::connect(static_cast<QCheckBox*>(widget_), &QCheckBox::clicked, this, [this] {
            if (control_ && !fe_.syncing()) fe_.act(*control_, [this] { control_->userClick(); });
            apply("Value");  // Qt toggled by itself; the model has the last word
        });
    }

protected:
    void applyOwn(std::string_view p) override {
        auto* b = static_cast<QCheckBox*>(widget_);
        if (p.empty() || p == "Caption") b->setText(qs(control_->Caption()));
        if (p.empty() || p == "Value") {
            QSignalBlocker block(b);
            int v = static_cast<forms::CheckBox*>(control_)->Value();
            b->setCheckState(v == 1 ? Qt::Checked : v == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
        }
    }
};

class OptionView : public ControlView {
public:
    OptionView(FrontEnd& fe, forms::OptionButton& c, QWidget* parent)
        : ControlView(fe, c, new QRadioButton(parent)) {
        auto* b = static_cast<QRadioButton*>(widget_);
        // The model keeps the group exclusive (and may leave it without a selection).
        b->setAutoExclusive(false);
        b->setAutoFillBackground(true);
        QObject::connect(b, &QRadioButton::clicked, this, [this] {
            if (control_ && !fe_.syncing()) fe_.act(*control_, [this] { control_->userClick(); });
            apply("Value");
        });
    }

protected:
    void applyOwn(std::string_view p) override {
        auto* b = static_cast<QRadioButton*>(widget_);
        if (p.empty() || p == "Caption") b->setText(qs(control_->Caption()));
        if (p.empty() || p == "Value") {
            QSignalBlocker block(b);
            b->setChecked(static_cast<forms::OptionButton*>(control_)->Value());
        }
    }
};

// ---- Text boxes -------------------------------------------------------------------------------

class LineEditView : public ControlView {
public:
    LineEditView(FrontEnd& fe, forms::TextBox& c, QWidget* parent) : ControlView(fe, c, new QLineEdit(parent)) {
        auto* e = static_cast<QLineEdit*>(widget_);
        e->setFrame(true);
        QObject::connect(e, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (!control_ || fe_.syncing()) return;
            auto* t = static_cast<forms::TextBox*>(control_);
            std::string typed = ss(text);
            // The caret stays where the typing left it, not where a code write would put it.
            taking_ = true;
            bool done = fe_.act(*t, [t, &typed] { t->userType(typed); });
            taking_ = false;
            if (!done) apply("Text");
            else takeSelection();
        });
        auto selection = [this] {
            if (control_ && !fe_.syncing() && !taking_) takeSelection();
        };
        QObject::connect(e, &QLineEdit::cursorPositionChanged, this, selection);
        QObject::connect(e, &QLineEdit::selectionChanged, this, selection);
    }

protected:
    // The user's caret and selection become SelStart and SelLength.
    void takeSelection() {
        if (!control_) return;
        auto* t = static_cast<forms::TextBox*>(control_);
        auto* e = static_cast<QLineEdit*>(widget_);
        int start = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
        int length = e->hasSelectedText() ? static_cast<int>(e->selectedText().size()) : 0;
        taking_ = true;
        fe_.apply([t, start, length] {
            if (t->SelStart() != start) t->setSelStart(start);
            if (t->SelLength() != length) t->setSelLength(length);
        });
        taking_ = false;
    }

    void applyOwn(std::string_view p) override {
        auto* t = static_cast<forms::TextBox*>(control_);
        auto* e = static_cast<QLineEdit*>(widget_);
        QSignalBlocker block(e);
        if (p.empty() || p == "Text") {
            QString text = qs(t->Text());
            if (e->text() != text) e->setText(text);
        }
        if ((p.empty() || p == "Text" || p == "SelStart" || p == "SelLength") && !taking_) {
            if (t->SelLength() > 0) e->setSelection(t->SelStart(), t->SelLength());
            else e->setCursorPosition(t->SelStart());
        }
        if (p.empty() || p == "Locked") e->setReadOnly(t->Locked);
        if (p.empty() || p == "MaxLength") e->setMaxLength(t->MaxLength > 0 ? t->MaxLength : 32767);
    }

private:
    bool taking_ = false;
};

// This toolkit's plain-text editor crashes on a paste of data without any format (the
// clipboard after a login, or after the program that copied has ended); it takes text only,
// as plain text, and nothing else.
class PlainTextEdit : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    static bool holdsText(const QMimeData* source) {
        return source && source->hasText() && !source->text().isEmpty();
    }
    bool canInsertFromMimeData(const QMimeData* source) const override { return holdsText(source); }
    void insertFromMimeData(const QMimeData* source) override {
        if (holdsText(source)) insertPlainText(source->text());
    }
};

class MultiLineView : public ControlView {
public:
    MultiLineView(FrontEnd& fe, forms::TextBox& c, QWidget* parent)
        : ControlView(fe, c, new PlainTextEdit(parent)) {
        auto* e = static_cast<QPlainTextEdit*>(widget_);
        e->viewport()->installEventFilter(this);
        QObject::connect(e, &QPlainTextEdit::textChanged, this, [this] {
            if (!control_ || fe_.syncing()) return;
            auto* t = static_cast<forms::TextBox*>(control_);
            std::string typed = fromDisplayLines(static_cast<QPlainTextEdit*>(widget_)->toPlainText());
            if (!fe_.act(*t, [t, &typed] { t->userType(typed); })) apply("Text");
        });
    }

protected:
    void applyOwn(std::string_view p) override {
        auto* t = static_cast<forms::TextBox*>(control_);
        auto* e = static_cast<QPlainTextEdit*>(widget_);
        QSignalBlocker block(e);
        if (p.empty() || p == "Text") {
            QString text = toDisplayLines(t->Text());
            if (e->toPlainText() != text) e->setPlainText(text);
        }
        if (p.empty() || p == "Locked") e->setReadOnly(t->Locked);
    }
};

// ---- Labels -----------------------------------------------------------------------------------

class LabelView : public ControlView {
public:
    LabelView(FrontEnd& fe, forms::Label& c, QWidget* parent) : ControlView(fe, c, new QLabel(parent)) {
        auto* l = static_cast<QLabel*>(widget_);
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        clickOnRelease_ = true;
    }

protected:
    void applyOwn(std::string_view p) override {
        auto* lab = static_cast<forms::Label*>(control_);
        auto* l = static_cast<QLabel*>(widget_);
        if (p.empty() || p == "Caption") l->setText(toDisplayLines(lab->Caption()));
        if (p.empty() || p == "Alignment") {
            Qt::Alignment h = lab->Alignment == 1 ? Qt::AlignRight : lab->Alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
            l->setAlignment(h | Qt::AlignTop);
        }
        if (p.empty() || p == "BorderStyle")
            l->setFrameStyle(lab->BorderStyle ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
        if (p.empty() || p == "BackStyle") l->setAutoFillBackground(lab->BackStyle == 1);
    }
};

// ---- Lists ------------------------------------------------------------------------------------

class ComboView : public ControlView {
public:
    ComboView(FrontEnd& fe, forms::ComboBox& c, QWidget* parent) : ControlView(fe, c, new QComboBox(parent)) {
        auto* b = static_cast<QComboBox*>(widget_);
        if (c.editable()) {
            b->setEditable(true);
            b->setInsertPolicy(QComboBox::NoInsert);
            QObject::connect(b->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
                if (!control_ || fe_.syncing()) return;
                auto* cb = static_cast<forms::ComboBox*>(control_);
                std::string typed = ss(text);
                if (!fe_.act(*cb, [cb, &typed] { cb->userType(typed); })) apply("Text");
            });
        }
        QObject::connect(b, &QComboBox::activated, this, [this](int index) {
            if (!control_ || fe_.syncing()) return;
            auto* cb = static_cast<forms::ComboBox*>(control_);
            fe_.act(*cb, [cb, index] { cb->userSelect(index); });
            apply("ListIndex");
        });
    }

    void itemsChanged() override {
        if (!control_) return;
        FrontEnd::SyncScope sync(fe_);
        applyOwn("");
    }

protected:
    void applyOwn(std::string_view p) override {
        auto* cb = static_cast<forms::ComboBox*>(control_);
        auto* b = static_cast<QComboBox*>(widget_);
        QSignalBlocker block(b);
        if (p.empty()) {
            b->clear();
            for (int i = 0; i < cb->ListCount(); ++i) b->addItem(qs(cb->List(i)));
        }
        if (p.empty() || p == "ListIndex" || p == "Text") {
            if (b->currentIndex() != cb->ListIndex()) b->setCurrentIndex(cb->ListIndex());
            if (cb->editable() && b->currentText() != qs(cb->Text())) b->setEditText(qs(cb->Text()));
        }
    }
};

class ListView : public ControlView {
public:
    ListView(FrontEnd& fe, forms::ListBox& c, QWidget* parent) : ControlView(fe, c, new QListWidget(parent)) {
        auto* l = static_cast<QListWidget*>(widget_);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->viewport()->installEventFilter(this);
        QObject::connect(l, &QListWidget::currentRowChanged, this, [this](int row) {
            if (!control_ || fe_.syncing()) return;
            auto* lb = static_cast<forms::ListBox*>(control_);
            if (row == lb->ListIndex()) return;
            fe_.act(*lb, [lb, row] { lb->userSelect(row); });
            apply("ListIndex");
        });
        // The model keeps the first visible row, which programs read and copy to other lists.
        QObject::connect(l->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, l](int) {
            if (!control_ || fe_.syncing()) return;
            const QModelIndex top = l->indexAt(QPoint(0, 0));
            static_cast<forms::ListBox*>(control_)->userScroll(top.isValid() ? top.row() : 0);
        });
    }

    void itemsChanged() override {
        if (!control_) return;
        FrontEnd::SyncScope sync(fe_);
        fill();
    }

protected:
    void fill() {
        auto* lb = static_cast<forms::ListBox*>(control_);
        auto* l = static_cast<QListWidget*>(widget_);
        QSignalBlocker block(l);
        l->clear();
        for (int i = 0; i < lb->ListCount(); ++i) l->addItem(qs(lb->List(i)));
        select();
    }
    void select() {
        auto* lb = static_cast<forms::ListBox*>(control_);
        auto* l = static_cast<QListWidget*>(widget_);
        QSignalBlocker block(l);
        if (l->currentRow() != lb->ListIndex()) l->setCurrentRow(lb->ListIndex());
        if (lb->ListIndex() < 0) l->clearSelection();
    }
    void applyOwn(std::string_view p) override {
        if (p.empty()) fill();
        else if (p == "ListIndex" || p == "Text") select();
        else if (p == "TopIndex") scrollToTop();
    }
    void scrollToTop() {
        auto* lb = static_cast<forms::ListBox*>(control_);
        auto* l = static_cast<QListWidget*>(widget_);
        QSignalBlocker block(l->verticalScrollBar());
        if (QListWidgetItem* item = l->item(lb->TopIndex()))
            l->scrollToItem(item, QAbstractItemView::PositionAtTop);
    }
};

// ---- Picture boxes, frames, lines ---------------------------------------------------------------

// Shows a picture box's persistent image inside its border; the blit never raises Paint.
class SurfaceWidget : public QWidget {
public:
    explicit SurfaceWidget(QWidget* parent) : QWidget(parent) {}
    forms::PictureBox* box = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (!box) return;
        int b = box->borderPixels();
        p.fillRect(rect(), toQColor(box->BackColor()));
        if (b == 1) {
            p.setPen(Qt::black);
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        } else if (b >= 2) {
            // The sunken 3D edge: dark outside top-left, light outside bottom-right.
            QRect r = rect();
            p.setPen(QColor(160, 160, 160));
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(Qt::white);
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
            QRect in = r.adjusted(1, 1, -1, -1);
            p.setPen(QColor(105, 105, 105));
            p.drawLine(in.topLeft(), in.topRight());
            p.drawLine(in.topLeft(), in.bottomLeft());
            p.setPen(QColor(227, 227, 227));
            p.drawLine(in.bottomLeft(), in.bottomRight());
            p.drawLine(in.topRight(), in.bottomRight());
        }
        if (auto s = box->surface()) {
            p.setClipRect(rect().adjusted(b, b, -b, -b));
            drawSurface(p, *s, QPoint(b, b));
        }
    }
};

class PictureView : public ControlView {
public:
    PictureView(FrontEnd& fe, forms::PictureBox& c, QWidget* parent)
        : ControlView(fe, c, new SurfaceWidget(parent)) {
        static_cast<SurfaceWidget*>(widget_)->box = &c;
        widget_->setMouseTracking(true);
        widget_->setAcceptDrops(true);
        widget_->setAttribute(Qt::WA_OpaquePaintEvent);
        clickOnRelease_ = true;
        fe.showsSurface(c.surface().get(), widget_);
    }
    QPoint clientOrigin() const override {
        int b = control_ ? static_cast<forms::PictureBox*>(control_)->borderPixels() : 0;
        return QPoint(b, b);
    }
    void detach() override {
        static_cast<SurfaceWidget*>(widget_)->box = nullptr;
        ControlView::detach();
    }

protected:
    void applyOwn(std::string_view p) override {
        auto* pb = static_cast<forms::PictureBox*>(control_);
        if (p.empty() || p == "MousePointer") widget_->setCursor(cursorShape(pb->MousePointer));
        if (p.empty() || p == "BorderStyle" || p == "Appearance" || p == "BackColor" || p == "Picture")
            widget_->update();
    }
    void applyColors() override { widget_->update(); }
};

// A windowless picture: what the model renders at the control's size.
class ImageWidget : public QWidget {
public:
    explicit ImageWidget(QWidget* parent) : QWidget(parent) {}
    forms::Image* image = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        if (!image) return;
        if (auto s = image->render()) {
            QPainter p(this);
            drawSurface(p, *s, QPoint(0, 0));
        }
    }
};

class ImageView : public ControlView {
public:
    ImageView(FrontEnd& fe, forms::Image& c, QWidget* parent) : ControlView(fe, c, new ImageWidget(parent)) {
        static_cast<ImageWidget*>(widget_)->image = &c;
        clickOnRelease_ = true;
    }
    void detach() override {
        static_cast<ImageWidget*>(widget_)->image = nullptr;
        ControlView::detach();
    }

protected:
    void applyOwn(std::string_view) override { widget_->update(); }
    void applyColors() override {}
};

class FrameView : public ControlView {
public:
    FrameView(FrontEnd& fe, forms::Frame& c, QWidget* parent) : ControlView(fe, c, new QGroupBox(parent)) {
        widget_->setAcceptDrops(true);
        widget_->setAutoFillBackground(true);
        clickOnRelease_ = true;
    }

protected:
    void applyOwn(std::string_view p) override {
        auto* g = static_cast<QGroupBox*>(widget_);
        auto* f = static_cast<forms::Frame*>(control_);
        if (p.empty() || p == "Caption") g->setTitle(qs(f->Caption()));
        if (p.empty() || p == "BorderStyle") g->setFlat(f->BorderStyle == 0);
    }
};

class LineWidget : public QWidget {
public:
    explicit LineWidget(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    QPoint from, to;
    QColor color;
    int width = 1;
    Qt::PenStyle style = Qt::SolidLine;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(QPen(color, width, style));
        p.drawLine(from, to);
    }
};

class LineView : public ControlView {
public:
    LineView(FrontEnd& fe, forms::Line& c, QWidget* parent) : ControlView(fe, c, new LineWidget(parent)) {}

    QRect placement() const override {
        auto [a, b] = ends();
        int pad = std::max(1, static_cast<forms::Line*>(control_)->BorderWidth);
        return QRect(a, b).normalized().adjusted(-pad, -pad, pad, pad);
    }

protected:
    // Both ends in the parent widget's pixels.
    std::pair<QPoint, QPoint> ends() const {
        auto* l = static_cast<forms::Line*>(control_);
        forms::Widget* c = l->containerWidget();
        QPoint origin;
        if (c && !c->isForm()) {
            forms::PixelRect in = c->childOrigin(), out = c->outerRect();
            origin = QPoint(in.left - out.left, in.top - out.top);
        }
        double sx = c ? c->twipsPerUnitX() / forms::Screen.TwipsPerPixelX() : 1.0;
        double sy = c ? c->twipsPerUnitY() / forms::Screen.TwipsPerPixelY() : 1.0;
        auto at = [&](double x, double y) {
            return origin + QPoint(forms::pixelRound(x * sx), forms::pixelRound(y * sy));
        };
        return {at(l->X1(), l->Y1()), at(l->X2(), l->Y2())};
    }
    void applyOwn(std::string_view) override {
        auto* l = static_cast<forms::Line*>(control_);
        auto* w = static_cast<LineWidget*>(widget_);
        QRect r = placement();
        auto [a, b] = ends();
        w->from = a - r.topLeft();
        w->to = b - r.topLeft();
        w->color = toQColor(l->BorderColor);
        w->width = std::max(1, l->BorderWidth);
        static const Qt::PenStyle styles[] = {Qt::NoPen, Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                              Qt::DashDotLine, Qt::DashDotDotLine, Qt::SolidLine};
        w->style = styles[std::clamp(l->BorderStyle, 0, 6)];
        w->setGeometry(r);
        w->lower();  // drawn on the container, under the other controls
        w->update();
    }
    void applyColors() override {}
};

// ---- Progress and scroll bars -------------------------------------------------------------------

class ProgressView : public ControlView {
public:
    ProgressView(FrontEnd& fe, forms::ProgressBar& c, QWidget* parent)
        : ControlView(fe, c, new QProgressBar(parent)) {
        static_cast<QProgressBar*>(widget_)->setTextVisible(false);
    }

protected:
    void applyOwn(std::string_view p) override {
        auto* pr = static_cast<forms::ProgressBar*>(control_);
        auto* b = static_cast<QProgressBar*>(widget_);
        if (p.empty() || p == "Min" || p == "Max")
            b->setRange(forms::pixelRound(pr->Min()), forms::pixelRound(pr->Max()));
        if (p.empty() || p == "Min" || p == "Max" || p == "Value") b->setValue(forms::pixelRound(pr->Value()));
    }
};

class ScrollView : public ControlView {
public:
    ScrollView(FrontEnd& fe, forms::ScrollBar& c, Qt::Orientation o, QWidget* parent)
        : ControlView(fe, c, new QScrollBar(o, parent)) {
        QObject::connect(static_cast<QScrollBar*>(widget_), &QScrollBar::valueChanged, this, [this](int v) {
            if (!control_ || fe_.syncing()) return;
            auto* s = static_cast<forms::ScrollBar*>(control_);
            if (v != s->Value()) fe_.act(*s, [s, v] { s->setValue(v); });
            apply("Value");
        });
    }

protected:
    void applyOwn(std::string_view p) override {
        auto* s = static_cast<forms::ScrollBar*>(control_);
        auto* b = static_cast<QScrollBar*>(widget_);
        QSignalBlocker block(b);
        // Min may be the larger: the bar then runs the other way.
        bool inverted = s->Min() > s->Max();
        b->setInvertedAppearance(inverted);
        b->setInvertedControls(inverted);
        b->setRange(std::min(s->Min(), s->Max()), std::max(s->Min(), s->Max()));
        b->setPageStep(s->LargeChange());
        b->setSingleStep(s->SmallChange());
        if (p.empty() || p == "Value" || p == "Min" || p == "Max") b->setValue(s->Value());
    }
    void applyColors() override {}
};

}  // namespace

ControlView* makeControlView(FrontEnd& fe, forms::Control& c, QWidget* parent) {
    using T = forms::ControlType;
    switch (c.type()) {
        case T::CommandButton: return new ButtonView(fe, static_cast<forms::CommandButton&>(c), parent);
        case T::CheckBox: return new CheckView(fe, static_cast<forms::CheckBox&>(c), parent);
        case T::OptionButton: return new OptionView(fe, static_cast<forms::OptionButton&>(c), parent);
        case T::TextBox: {
            auto& t = static_cast<forms::TextBox&>(c);
            if (t.MultiLine) return new MultiLineView(fe, t, parent);
            return new LineEditView(fe, t, parent);
        }
        case T::Label: return new LabelView(fe, static_cast<forms::Label&>(c), parent);
        case T::ComboBox: return new ComboView(fe, static_cast<forms::ComboBox&>(c), parent);
        case T::ListBox: return new ListView(fe, static_cast<forms::ListBox&>(c), parent);
        case T::PictureBox: return new PictureView(fe, static_cast<forms::PictureBox&>(c), parent);
        case T::Frame: return new FrameView(fe, static_cast<forms::Frame&>(c), parent);
        case T::Line: return new LineView(fe, static_cast<forms::Line&>(c), parent);
        case T::ProgressBar: return new ProgressView(fe, static_cast<forms::ProgressBar&>(c), parent);
        case T::HScrollBar:
            return new ScrollView(fe, static_cast<forms::ScrollBar&>(c), Qt::Horizontal, parent);
        case T::VScrollBar:
            return new ScrollView(fe, static_cast<forms::ScrollBar&>(c), Qt::Vertical, parent);
        case T::Image: return new ImageView(fe, static_cast<forms::Image&>(c), parent);
        case T::Timer: return nullptr;
    }
    return nullptr;
}

}  // namespace qv::qt
