#pragma once
// Ties one control to the edges of a parent picture box, which itself follows the size of the
// parent form. Every position is computed from the sizes recorded at the first assignments, so
// the controls must stand at their designed places then.
#include <cstdint>

#include "app/camera/LayoutParents.h"

namespace qv {

class CAnchor : public LayoutParents {
public:
    // The parent picture box is sized by a tile: the form step leaves it alone.
    bool TiledParent = false;
    // Keep the child's distance to the parent's left, right, upper and lower edge.
    bool AnchorL = false, AnchorR = false, AnchorU = false, AnchorD = false;

    // Any control with Left, Top, Width and Height; the first one's geometry is recorded.
    forms::Control* ChildControl() const { return child_; }
    void setChildControl(forms::Control& c);

    void MfrmForm_Resize() override;
    void MpbxParent_Resize() override;

private:
    forms::Control* child_ = nullptr;
    bool childSeen_ = false;
    int32_t childWidth0_ = 0, childHeight0_ = 0, childTop0_ = 0, childLeft0_ = 0;
    int32_t pictureWidthChange_ = 0, pictureHeightChange_ = 0;
};

}  // namespace qv
