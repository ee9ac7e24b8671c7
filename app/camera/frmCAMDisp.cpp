#include "app/camera/frmCAMDisp.h"

#include "app/camera/modCAM.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"

namespace qv {

frmCAMDisp& frmCAMDisp::instance() { return forms::loadForm<frmCAMDisp>(); }

const forms::FormDesign& frmCAMDisp::design() {
    using T = forms::ControlType;
    static const forms::FormDesign d{
        "frmCAMDisp", "Camera", 0, 0, 6000, 1800,
        {},
        {
            {T::Label, "Label4", -1, "", 120, 120, 900, 270, "F No. =", {}},
            {T::Label, "lblFNo_L", -1, "", 1080, 120, 1200, 270, "--------", {}},
            {T::Label, "Label6", -1, "", 3000, 120, 900, 270, "F No. =", {}},
            {T::Label, "lblFNo_R", -1, "", 3960, 120, 1200, 270, "--------", {}},
            {T::Label, "Label5", -1, "", 120, 540, 900, 270, "F Num =", {}},
            {T::Label, "lblTotalFNum", -1, "", 1080, 540, 1200, 270, "--------", {}},
            {T::Label, "Label7", -1, "", 3000, 540, 900, 270, "Adjust(ms)", {}},
            {T::TextBox, "txtAdjustMS", -1, "", 3960, 510, 1200, 300, "0", {}},
        }};
    return d;
}

frmCAMDisp::frmCAMDisp()
    : Form(design()),
      Label4(ctl<forms::Label>("Label4")),
      lblFNo_L(ctl<forms::Label>("lblFNo_L")),
      Label6(ctl<forms::Label>("Label6")),
      lblFNo_R(ctl<forms::Label>("lblFNo_R")),
      Label5(ctl<forms::Label>("Label5")),
      lblTotalFNum(ctl<forms::Label>("lblTotalFNum")),
      Label7(ctl<forms::Label>("Label7")),
      txtAdjustMS(ctl<forms::TextBox>("txtAdjustMS")) {
    on(QueryUnload, &frmCAMDisp::Form_QueryUnload);
}

void frmCAMDisp::DispInit() {
    lblFNo_L.setCaption("--------");
    lblFNo_R.setCaption("--------");
    lblTotalFNum.setCaption("--------");
}

void frmCAMDisp::ALL_BTN_ModeSet() {}

void frmCAMDisp::DispFlamePos(int32_t leftPoint, int32_t rightPoint, int32_t) {
    if (IsModeAcq() || GlFlameTime.empty()) return;
    const int32_t l = GetStackFlameNo(leftPoint, false);
    const int32_t r = GetStackFlameNo(rightPoint, false);
    lblFNo_L.setCaption(std::to_string(l));
    lblFNo_R.setCaption(std::to_string(r));
}

void frmCAMDisp::DispFlame2(int32_t, int32_t) {}

// The window keeps its own placement when it is closed.
void frmCAMDisp::Form_QueryUnload(int&, int) { Acqisition::WritePosition(*this); }

}  // namespace qv
