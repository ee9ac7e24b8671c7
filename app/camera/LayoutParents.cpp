#include "app/camera/LayoutParents.h"

#include <utility>

#include "platform/basic/Numbers.h"

namespace qv {

void LayoutParents::setForm(forms::Form& f, std::function<void()> onResize) {
    if (!formSeen_) {
        formSeen_ = true;
        formWidth0 = basic::CLng(f.Width());
        formHeight0 = basic::CLng(f.Height());
        MinWidth = formWidth0;
        MinHeight = formHeight0;
    }
    form = &f;
    formResize_ = f.Resize.connect(std::move(onResize));
}

void LayoutParents::setPicture(forms::PictureBox& p, std::function<void()> onResize) {
    if (!pictureSeen_) {
        pictureSeen_ = true;
        pictureWidth0 = basic::CLng(p.Width());
        pictureHeight0 = basic::CLng(p.Height());
    }
    picture = &p;
    pictureResize_ = p.Resize.connect(std::move(onResize));
}

void LayoutParents::followForm() {
    if (!form || !picture) return;
    if (form->WindowState() == forms::vbMinimized) return;
    // Each snap raises the form's Resize again, which runs this step nested and finds the size
    // in order; the outer call then repeats the same sizes.
    if (form->WindowState() != forms::vbMaximized) {
        if (form->Height() < MinHeight) form->setHeight(MinHeight);
        if (form->Width() < MinWidth) form->setWidth(MinWidth);
    }
    formHeightChange = basic::CLng(form->Height() - formHeight0);
    formWidthChange = basic::CLng(form->Width() - formWidth0);
    const double width = static_cast<double>(pictureWidth0) + formWidthChange;
    const double height = static_cast<double>(pictureHeight0) + formHeightChange;
    if (width > 0) picture->setWidth(width);
    if (height > 0) picture->setHeight(height);
}

}  // namespace qv
