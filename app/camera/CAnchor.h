#pragma once
// Ties one control to the edges of a parent picture box, which itself follows the size of the
// parent form. Every position is computed from the sizes recorded at the first assignments, so
// the controls must stand at their designed places then. Releasing the object stops it.
#include <cstdint>

#include "app/camera/LayoutParents.h"

namespace qv {

class CAnchor {
public:
    CAnchor() = default;
    CAnchor(const CAnchor&) = delete;
    CAnchor& operator=(const CAnchor&) = delete;

    // The parent picture box is sized by a tile: the form step leaves it alone.
    bool TiledParent = false;
    // Keep the child's distance to the parent's left, right, upper and lower edge.
    bool AnchorL = false, AnchorR = false, AnchorU = false, AnchorD = false;

    int32_t MinHeight() const { return parents_.MinHeight; }
    void setMinHeight(int32_t v) { parents_.MinHeight = v; }
    int32_t MinWidth() const { return parents_.MinWidth; }
    void setMinWidth(int32_t v) { parents_.MinWidth = v; }

    // Any control with Left, Top, Width and Height; the first one's geometry is recorded.
    forms::Control* ChildControl() const { return child_; }
    void setChildControl(forms::Control& c);
    forms::PictureBox* ParentPicture() const { return parents_.picture; }
    void setParentPicture(forms::PictureBox& p);
    void setParentForm(forms::Form& f);

    void MfrmForm_Resize();
    void MpbxParent_Resize();
    // Both steps once, as if both parents had just been resized.
    void Update();

private:
    forms::Control* child_ = nullptr;
    bool childSeen_ = false;
    int32_t childWidth0_ = 0, childHeight0_ = 0, childTop0_ = 0, childLeft0_ = 0;
    int32_t pictureWidthChange_ = 0, pictureHeightChange_ = 0;
    LayoutParents parents_;
};

}  // namespace qv
