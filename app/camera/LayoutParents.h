#pragma once
// What the anchor and the tile share: the parent form and parent picture box, their sizes at
// the first assignment, the smallest form size, and the form step of a resize, which lets the
// picture box keep its distance to the form's right and lower edges. Each object listens to
// both parents' Resize as one more listener; releasing it stops the listening.
#include <cstdint>

#include "platform/forms/Form.h"

namespace qv {

class LayoutParents {
public:
    LayoutParents() = default;
    LayoutParents(const LayoutParents&) = delete;
    LayoutParents& operator=(const LayoutParents&) = delete;
    virtual ~LayoutParents() = default;

    // Smallest Width and Height the form may be given, in twips.
    int32_t MinHeight() const { return minHeight_; }
    void setMinHeight(int32_t v) { minHeight_ = v; }
    int32_t MinWidth() const { return minWidth_; }
    void setMinWidth(int32_t v) { minWidth_ = v; }

    // The first assignment records the size (the form's also becomes the minimum); from then
    // on the parent's Resize runs MpbxParent_Resize or MfrmForm_Resize, until another parent
    // is assigned.
    forms::PictureBox* ParentPicture() const { return picture_; }
    void setParentPicture(forms::PictureBox& p);
    void setParentForm(forms::Form& f);

    // The form step: snaps a normal form back to the minimum size, then sizes the picture box
    // by the form's growth. Nothing while minimised, or while either parent is missing.
    virtual void MfrmForm_Resize();
    virtual void MpbxParent_Resize() = 0;
    // Both steps once, as if both parents had just been resized.
    void Update();

protected:
    int32_t pictureWidth0() const { return pictureWidth0_; }
    int32_t pictureHeight0() const { return pictureHeight0_; }

private:
    forms::Form* form_ = nullptr;
    forms::PictureBox* picture_ = nullptr;
    int32_t minWidth_ = 0, minHeight_ = 0;
    int32_t formWidth0_ = 0, formHeight0_ = 0;
    int32_t formWidthChange_ = 0, formHeightChange_ = 0;
    int32_t pictureWidth0_ = 0, pictureHeight0_ = 0;
    bool formSeen_ = false;
    bool pictureSeen_ = false;
    forms::ScopedConnection formResize_;
    forms::ScopedConnection pictureResize_;
};

}  // namespace qv
