#pragma once
// A headless window for the layout classes: a twips picture box and a pixel-scaled one, each
// holding one child, on a form 9000 x 7000 twips.
#include <memory>
#include <typeinfo>

#include "platform/forms/Driver.h"
#include "platform/forms/Form.h"

namespace qv::apptest {

class LayoutForm : public forms::Form {
public:
    LayoutForm() : Form(design()) {}
    forms::PictureBox& pbx() { return ctl<forms::PictureBox>("pbxTwips"); }
    forms::Control& child() { return control("child"); }
    forms::PictureBox& pbxPx() { return ctl<forms::PictureBox>("pbxPixels"); }
    forms::Control& childPx() { return control("childPx"); }
    forms::Control& other() { return control("other"); }

    static const forms::FormDesign& design() {
        using T = forms::ControlType;
        static const forms::FormDesign d{
            "frmLayoutTest", "", 0, 0, 9000, 7000, {},
            {
                {T::PictureBox, "pbxTwips", -1, "", 120, 120, 6000, 3000, "", {}},
                {T::Label, "child", -1, "pbxTwips", 600, 300, 1200, 600, "", {}},
                {T::CommandButton, "other", -1, "pbxTwips", 3000, 300, 900, 600, "", {}},
                {T::PictureBox, "pbxPixels", -1, "", 120, 3300, 6000, 3000, "", {{"ScaleMode", 3}}},
                {T::Label, "childPx", -1, "pbxPixels", 40, 20, 80, 40, "", {}},
            }};
        return d;
    }
};

// A fresh window for each use; the previous one is unloaded.
inline LayoutForm& freshLayoutForm() {
    if (auto* old = forms::Runtime::get().findForm("frmLayoutTest")) forms::Unload(*old);
    return forms::loadForm<LayoutForm>();
}

}  // namespace qv::apptest
