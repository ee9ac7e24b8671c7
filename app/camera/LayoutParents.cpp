#include "app/camera/LayoutParents.h"

#include "platform/basic/Numbers.h"

namespace qv {

void LayoutParents::setParentForm(forms::Form& f) {
    if (!formSeen_) {
        formSeen_ = true;
        formWidth0_ = basic::CLng(f.Width());
        formHeight0_ = basic::CLng(f.Height());
        minWidth_ = formWidth0_;
        minHeight_ = formHeight0_;
    }
    form_ = &f;
    formResize_ = f.Resize.connect([this] { MfrmForm_Resize(); });
}

void LayoutParents::setParentPicture(forms::PictureBox& p) {
    if (!pictureSeen_) {
        pictureSeen_ = true;
        pictureWidth0_ = basic::CLng(p.Width());
        pictureHeight0_ = basic::CLng(p.Height());
    }
    picture_ = &p;
    pictureResize_ = p.Resize.connect([this] { MpbxParent_Resize(); });
}

void LayoutParents::MfrmForm_Resize() {
    if (!form_ || !picture_) return;
    if (form_->WindowState() == forms::vbMinimized) return;
    // Each snap raises the form's Resize again, which runs this step nested and finds the size
    // in order; the outer call then repeats the same sizes.
    if (form_->WindowState() != forms::vbMaximized) {
        if (form_->Height() < minHeight_) form_->setHeight(minHeight_);
        if (form_->Width() < minWidth_) form_->setWidth(minWidth_);
    }
    formHeightChange_ = basic::CLng(form_->Height() - formHeight0_);
    formWidthChange_ = basic::CLng(form_->Width() - formWidth0_);
    const double width = static_cast<double>(pictureWidth0_) + formWidthChange_;
    const double height = static_cast<double>(pictureHeight0_) + formHeightChange_;
    if (width > 0) picture_->setWidth(width);
    if (height > 0) picture_->setHeight(height);
}

void LayoutParents::Update() {
    MfrmForm_Resize();
    MpbxParent_Resize();
}

}  // namespace qv
