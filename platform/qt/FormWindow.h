#pragma once
// The top-level window of a form. Its own area is the form's client area: it shows the form's
// surface, holds the control widgets at their pixel places and carries the form's mouse and
// drop input. The user's sizing, moving, state changes and closing go back to the model.

#include "platform/qt/QtBase.h"

#include <QWidget>
#include <string_view>

#include "platform/forms/Forms.h"

namespace qv::qt {

class FrontEnd;

class FormWindow : public QWidget {
    Q_OBJECT
public:
    FormWindow(FrontEnd& fe, forms::Form& form);
    forms::Form* form() const { return form_; }
    // The form is gone; the window only waits to be deleted.
    void detach() { form_ = nullptr; }
    // Copies one notified property ("" for all) to the window.
    void apply(std::string_view property);
    void showForm(bool modal);
    void hideForm();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void applyGeometry();
    void applyWindowState();
    void applyFlags();
    void applyColors();
    void postPaint();

    FrontEnd& fe_;
    forms::Form* form_;
    bool pressed_ = false;
};

}  // namespace qv::qt
