#include "platform/qt/FormWindow.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "platform/forms/Util.h"
#include "platform/gdi/Gdi.h"
#include "platform/qt/FrontEnd.h"
#include "platform/qt/Input.h"
#include "platform/qt/Style.h"
#include "platform/qt/SurfaceImage.h"

namespace qv::qt {

namespace {
int toVbState(Qt::WindowStates s) {
    if (s.testFlag(Qt::WindowMinimized)) return forms::vbMinimized;
    if (s.testFlag(Qt::WindowMaximized) || s.testFlag(Qt::WindowFullScreen)) return forms::vbMaximized;
    return forms::vbNormal;
}
}  // namespace

FormWindow::FormWindow(FrontEnd& fe, forms::Form& form) : QWidget(nullptr, Qt::Window), fe_(fe), form_(&form) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAcceptDrops(true);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    fe_.showsSurface(gdi::windowSurface(form.hwnd()).get(), this);
    apply("");
}

void FormWindow::apply(std::string_view p) {
    if (!form_) return;
    FrontEnd::SyncScope sync(fe_);
    const bool all = p.empty();
    if (all || p == "Caption") setWindowTitle(qs(form_->Caption()));
    if (all || p == "Geometry" || p == "WindowState") {
        applyWindowState();
        applyGeometry();
    }
    if (all || p == "TopMost") applyFlags();
    if (all || p == "Enabled") setEnabled(form_->Enabled());
    if (all || p == "ForeColor" || p == "BackColor") applyColors();
    if (all || p == "Font") setFont(toQFont(form_->font()));
    if (p == "BackColor" || p == "Picture") update();
}

void FormWindow::applyGeometry() {
    if (form_->WindowState() != forms::vbNormal) return;
    forms::PixelRect outer = form_->outerRect();
    forms::PixelRect client = form_->clientRect();
    QSize size(std::max(1, client.width()), std::max(1, client.height()));
    if (pos() != QPoint(outer.left, outer.top)) move(outer.left, outer.top);
    if (form_->BorderStyle == 1 || form_->BorderStyle == 3) {
        setFixedSize(size);
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (this->size() != size) resize(size);
    }
}

void FormWindow::applyWindowState() {
    Qt::WindowStates want = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (form_->WindowState() == forms::vbMinimized) want |= Qt::WindowMinimized;
    if (form_->WindowState() == forms::vbMaximized) want |= Qt::WindowMaximized;
    if (want != windowState()) setWindowState(want);
}

void FormWindow::applyFlags() {
    Qt::WindowFlags want = Qt::Window;
    if (form_->BorderStyle == 0) want |= Qt::FramelessWindowHint;
    if (form_->BorderStyle == 3) want |= Qt::Dialog;
    if (form_->TopMost()) want |= Qt::WindowStaysOnTopHint;
    if (want == windowFlags()) return;
    // New flags hide the window; it comes back as it was.
    bool shown = isVisible();
    setWindowFlags(want);
    if (shown) show();
}

void FormWindow::applyColors() {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(form_->BackColor()));
    // The text colour of the enabled groups only: the controls inherit the window's, and a
    // disabled check box or option button keeps the style's greyed caption.
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
        pal.setColor(g, QPalette::WindowText, toQColor(form_->ForeColor()));
    setPalette(pal);
}

void FormWindow::showForm(bool modal) {
    if (!form_) return;
    FrontEnd::SyncScope sync(fe_);
    if (!isVisible()) setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    applyWindowState();
    applyGeometry();
    show();
    raise();
    activateWindow();
}

void FormWindow::hideForm() {
    FrontEnd::SyncScope sync(fe_);
    hide();
    setWindowModality(Qt::NonModal);
}

void FormWindow::postPaint() {
    if (!form_ || !form_->Paint.hasHandlers()) return;
    QPointer<FormWindow> self(this);
    forms::Runtime::get().post([self] {
        if (self && self->form_ && self->form_->isShown()) self->form_->Paint.raise();
    });
}

void FormWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), form_ ? toQColor(form_->BackColor()) : palette().color(QPalette::Window));
    if (!form_) return;
    // Only the blit: the form's Paint runs on exposure and Refresh, never from here.
    if (auto s = gdi::windowSurface(form_->hwnd())) drawSurface(p, *s, QPoint(0, 0));
}

void FormWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (!form_ || fe_.syncing() || !isVisible() || form_->WindowState() != forms::vbNormal) return;
    forms::PixelRect client = form_->clientRect();
    if (size() == QSize(client.width(), client.height())) return;
    // The user sized the window: the new outer size in twips, from the client area.
    forms::PixelRect outer = form_->outerRect();
    double w = (width() + outer.width() - client.width()) * forms::Screen.TwipsPerPixelX();
    double h = (height() + outer.height() - client.height()) * forms::Screen.TwipsPerPixelY();
    forms::Form* f = form_;
    fe_.apply([f, w, h] { f->Move(f->Left(), f->Top(), w, h); });
}

void FormWindow::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    if (!form_ || fe_.syncing() || !isVisible() || form_->WindowState() != forms::vbNormal) return;
    forms::PixelRect outer = form_->outerRect();
    if (pos() == QPoint(outer.left, outer.top)) return;
    double l = x() * forms::Screen.TwipsPerPixelX(), t = y() * forms::Screen.TwipsPerPixelY();
    forms::Form* f = form_;
    fe_.apply([f, l, t] { f->Move(l, t, f->Width(), f->Height()); });
}

void FormWindow::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || !form_ || fe_.syncing()) return;
    int state = toVbState(windowState());
    if (state == form_->WindowState()) return;
    bool restored = form_->WindowState() == forms::vbMinimized;
    forms::Form* f = form_;
    fe_.apply([f, state] { f->setWindowState(state); });
    if (restored) postPaint();
}

void FormWindow::closeEvent(QCloseEvent* e) {
    // The model decides: QueryUnload may cancel, and Unload removes this window.
    e->ignore();
    if (!form_) return;
    forms::Form* f = form_;
    fe_.act(*f, [f] { forms::Runtime::get().unload(*f, forms::vbFormControlMenu); });
}

void FormWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) postPaint();
}

void FormWindow::mousePressEvent(QMouseEvent* e) {
    if (!form_) return;
    pressed_ = true;
    raiseMouse(fe_, *form_, form_->MouseDown, *e, QPoint(), MouseAction::Down);
}

void FormWindow::mouseMoveEvent(QMouseEvent* e) {
    if (!form_ || !form_->MouseMove.hasHandlers()) return;
    raiseMouse(fe_, *form_, form_->MouseMove, *e, QPoint(), MouseAction::Move);
}

void FormWindow::mouseReleaseEvent(QMouseEvent* e) {
    if (!form_) return;
    bool click = pressed_ && rect().contains(e->position().toPoint());
    pressed_ = false;
    QPointer<FormWindow> self(this);
    if (!raiseMouse(fe_, *form_, form_->MouseUp, *e, QPoint(), MouseAction::Up)) return;
    if (click && self && form_) {
        forms::Form* f = form_;
        fe_.act(*f, [f] { f->Click.raise(); });
    }
}

void FormWindow::dragEnterEvent(QDragEnterEvent* e) {
    if (form_ && acceptsDrop(*form_, e->mimeData())) e->acceptProposedAction();
    else e->ignore();
}

void FormWindow::dragMoveEvent(QDragMoveEvent* e) {
    if (form_ && acceptsDrop(*form_, e->mimeData())) e->acceptProposedAction();
    else e->ignore();
}

void FormWindow::dropEvent(QDropEvent* e) {
    if (form_) deliverDrop(fe_, *form_, *e, QPoint());
}

}  // namespace qv::qt
