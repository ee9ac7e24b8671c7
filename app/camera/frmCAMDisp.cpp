#include "app/camera/frmCAMDisp.h"

#include "app/camera/modCAM.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"

namespace qv {

frmCAMDisp& frmCAMDisp::instance() { return forms::loadForm<frmCAMDisp>(); }

const forms::FormDesign& frmCAMDisp::design() {
    using T = forms::ControlType;
    static const forms::FormDesign d{
        "frmCAMDisp", "Camera", 0, 0, 6000, 2100,
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
            {T::TextBox, "txtMP3Adjust", -1, "", 3960, 900, 1200, 300, "0", {}},
            {T::TextBox, "txtStartTime", -1, "", 120, 1290, 1200, 300, "0", {}},
            {T::TextBox, "txtEndTime", -1, "", 1440, 1290, 1200, 300, "0", {}},
            {T::TextBox, "txtMP3AdjustOffset", -1, "", 3960, 1290, 1200, 300, "0", {}},
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
      txtAdjustMS(ctl<forms::TextBox>("txtAdjustMS")),
      txtMP3Adjust(ctl<forms::TextBox>("txtMP3Adjust")),
      txtStartTime(ctl<forms::TextBox>("txtStartTime")),
      txtEndTime(ctl<forms::TextBox>("txtEndTime")),
      txtMP3AdjustOffset(ctl<forms::TextBox>("txtMP3AdjustOffset")) {
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

void frmCAMDisp::LoadParam() {
    // The end time's default is the length of the recording in memory; without a sample period
    // (nothing loaded) there is no length to give, and "0" stands in for it.
    std::string endTime = "0";
    if (GAcqParam.nSClock > 0) {
        const int32_t rateHz = basic::CLng(1000000.0 / GAcqParam.nSClock);
        if (rateHz > 0) endTime = basic::CStr(static_cast<double>(GAcqParam.PTotal) / rateHz);
    }
    txtStartTime.setText(ReadIniString("Control", "txtStartTime", "0"));
    txtEndTime.setText(ReadIniString("Control", "txtEndTime", endTime));
    txtAdjustMS.setText(ReadIniString("Control", "txtAdjustMS", "0"));
    txtMP3Adjust.setText(ReadIniString("Control", "txtMP3Adjust", "0"));
    txtMP3AdjustOffset.setText(ReadIniString("Control", "txtMP3AdjustOffset", "0"));
}

}  // namespace qv
