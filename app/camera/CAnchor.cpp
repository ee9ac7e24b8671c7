#include "app/camera/CAnchor.h"

#include "platform/basic/Numbers.h"

namespace qv {

namespace {

double prop(const forms::Control& c, const char* name) { return c.get(name).toDouble(); }

// Stretch, move by the full growth, keep centred in it, or stay, by the two edge flags.
// `change` is in the parent's outer units, `k` turns it into the child's.
void follow(forms::Control& child, bool nearEdge, bool farEdge, double k, int32_t change,
            int32_t size0, int32_t pos0, const char* sizeProp, const char* posProp) {
    if (nearEdge && farEdge) {
        // The test takes the unconverted change, as the layout always did.
        if (static_cast<double>(change) + size0 > 0) child.set(sizeProp, k * change + size0);
    } else if (farEdge) {
        child.set(posProp, k * change + pos0);
    } else if (!nearEdge) {
        child.set(posProp, k * change / 2 + pos0);
    }
}

}  // namespace

void CAnchor::setChildControl(forms::Control& c) {
    if (!childSeen_) {
        childSeen_ = true;
        childWidth0_ = basic::CLng(prop(c, "Width"));
        childHeight0_ = basic::CLng(prop(c, "Height"));
        childTop0_ = basic::CLng(prop(c, "Top"));
        childLeft0_ = basic::CLng(prop(c, "Left"));
    }
    child_ = &c;
}

void CAnchor::MfrmForm_Resize() {
    if (!TiledParent) LayoutParents::MfrmForm_Resize();
}

void CAnchor::MpbxParent_Resize() {
    forms::PictureBox* box = ParentPicture();
    if (!box || !child_) return;
    const double k = box->ScaleMode() == forms::vbTwips ? 1.0 : 1.0 / 15.0;
    pictureWidthChange_ = basic::CLng(box->Width() - pictureWidth0());
    pictureHeightChange_ = basic::CLng(box->Height() - pictureHeight0());
    follow(*child_, AnchorL, AnchorR, k, pictureWidthChange_, childWidth0_, childLeft0_, "Width", "Left");
    follow(*child_, AnchorU, AnchorD, k, pictureHeightChange_, childHeight0_, childTop0_, "Height", "Top");
}

}  // namespace qv
