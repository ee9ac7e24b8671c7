#pragma once
// What the anchor and the tile share: the parent form and parent picture box, their sizes at
// the first assignment, the smallest form size, and the form step of a resize, which lets the
// picture box keep its distance to the form's right and lower edges.
#include <cstdint>
#include <functional>

#include "platform/forms/Form.h"

namespace qv {

class LayoutParents {
public:
    forms::Form* form = nullptr;
    forms::PictureBox* picture = nullptr;
    int32_t MinWidth = 0;
    int32_t MinHeight = 0;
    int32_t formWidth0 = 0, formHeight0 = 0;
    int32_t formWidthChange = 0, formHeightChange = 0;
    int32_t pictureWidth0 = 0, pictureHeight0 = 0;

    // The first assignment records the size (and for the form sets the minimum to it); from
    // then on the parent's Resize runs `onResize`, as one more listener, until this is released
    // or another parent is assigned.
    void setForm(forms::Form& f, std::function<void()> onResize);
    void setPicture(forms::PictureBox& p, std::function<void()> onResize);

    // The form step: snaps a normal form back to the minimum size, then sizes the picture box
    // by the form's growth. Nothing while minimised, or while either parent is missing.
    void followForm();

private:
    bool formSeen_ = false;
    bool pictureSeen_ = false;
    forms::ScopedConnection formResize_;
    forms::ScopedConnection pictureResize_;
};

}  // namespace qv
