#include "app/camera/frmCAMDisp.h"

namespace qv {

// Laid out for the default camera picture of 320 x 240 pixels (4800 x 3600 twips a half);
// InitForm sizes everything again for the loaded recording. The containers have no border, so
// a child of the container's full size fits it.
const forms::FormDesign& frmCAMDisp::design() {
    using T = forms::ControlType;
    static const forms::DesignProp noBorder{"BorderStyle", 0};
    static const forms::DesignProp hidden{"Visible", false};
    static const forms::DesignProp grey{"BackColor", 0xC0C0C0};
    static const forms::FormDesign d{
        "frmCAMDisp", "CAMERA", 0, 0, 9900, 6660,
        {},
        {
            {T::PictureBox, "pbxParentAll", -1, "", 0, 0, 9600, 6150, "", {noBorder}},
            {T::PictureBox, "pbxParent2", -1, "pbxParentAll", 0, 0, 9600, 3855, "", {noBorder}},
            {T::PictureBox, "pbxParent1", -1, "pbxParentAll", 0, 3855, 9600, 2295, "", {noBorder}},
            {T::PictureBox, "pbxParent2_1", -1, "pbxParent2", 0, 0, 4800, 3855, "", {noBorder}},
            {T::PictureBox, "pbxCAM", -1, "pbxParent2_1", 0, 225, 4800, 3600, "", {}},
            {T::Label, "lblTitle", 0, "pbxParent2_1", 0, 0, 4800, 255, "CAMERA", {}},
            {T::PictureBox, "pbxParent2_2", -1, "pbxParent2", 0, 0, 4800, 3855, "", {noBorder}},
            {T::PictureBox, "pbxAVIDummy", -1, "pbxParent2_2", 0, 225, 600, 450, "", {}},
            {T::PictureBox, "pbxAVIL", -1, "pbxParent2_2", 0, 225, 4800, 3600, "", {}},
            {T::Label, "lblTitle", 1, "pbxParent2_2", 0, 0, 4800, 255, "AVI LEFT CURSOR", {}},
            {T::Label, "Label4", -1, "pbxParent2_2", 2700, 0, 800, 255, "F No. =", {}},
            {T::Label, "lblFNo_L", -1, "pbxParent2_2", 3500, 0, 1200, 255, "--------", {}},
            {T::PictureBox, "pbxParent2_3", -1, "pbxParent2", 4800, 0, 4800, 3855, "", {noBorder}},
            {T::PictureBox, "pbxAVIR", -1, "pbxParent2_3", 0, 225, 4800, 3600, "", {}},
            {T::Label, "lblTitle", 2, "pbxParent2_3", 0, 0, 4800, 255, "AVI RIGHT CURSOR", {}},
            {T::Label, "Label6", -1, "pbxParent2_3", 2700, 0, 800, 255, "F No. =", {}},
            {T::Label, "lblFNo_R", -1, "pbxParent2_3", 3500, 0, 1200, 255, "--------", {}},
            // The control panel, row by row.
            {T::Label, "Label5", -1, "pbxParent1", 60, 90, 800, 255, "F Num =", {}},
            {T::Label, "lblTotalFNum", -1, "pbxParent1", 900, 90, 1000, 255, "--------", {}},
            {T::OptionButton, "optDispType", 0, "pbxParent1", 2000, 60, 1200, 315, "Camera", {{"Value", true}}},
            {T::OptionButton, "optDispType", 1, "pbxParent1", 3300, 60, 1300, 315, "AVI File", {}},
            {T::CommandButton, "cmdPlay2", -1, "pbxParent1", 4800, 30, 1000, 375, "Play", {}},
            {T::CommandButton, "cmdPlay", -1, "pbxParent1", 5900, 30, 1000, 375, "Play", {hidden}},
            {T::CommandButton, "cmdPlayMP3", -1, "pbxParent1", 7000, 30, 1200, 375, "Play MP3", {{"Enabled", false}}},
            {T::CheckBox, "chkStop", -1, "pbxParent1", 8400, 60, 1000, 315, "Stop", {}},
            {T::Label, "LBLStart", -1, "pbxParent1", 60, 510, 1000, 255, "Start Time", {}},
            {T::TextBox, "txtStartTime", -1, "pbxParent1", 1100, 480, 1000, 300, "0", {}},
            {T::Label, "Label1", 2, "pbxParent1", 2150, 510, 300, 255, "～", {}},
            {T::Label, "lblEnd", -1, "pbxParent1", 2500, 510, 1000, 255, "End Time", {}},
            {T::TextBox, "txtEndTime", -1, "pbxParent1", 3550, 480, 1000, 300, "0", {}},
            {T::Label, "LBLNoUnit", 4, "pbxParent1", 4600, 510, 600, 255, "(sec)", {}},
            {T::Label, "LBL_Public", 2, "pbxParent1", 5300, 510, 1700, 255, "Adjust CAM (ms)", {}},
            {T::TextBox, "txtAdjustMS", -1, "pbxParent1", 7050, 480, 1000, 300, "0", {}},
            {T::Label, "LBL_Public", 3, "pbxParent1", 60, 930, 2200, 255, "MP3 Adjust (sec/hour)", {}},
            {T::TextBox, "txtMP3Adjust", -1, "pbxParent1", 2300, 900, 900, 300, "0", {}},
            {T::Label, "LBL_Public", 5, "pbxParent1", 3400, 930, 1900, 255, "MP3 Adjust (msec)", {}},
            {T::TextBox, "txtMP3AdjustOffset", -1, "pbxParent1", 5350, 900, 900, 300, "0", {}},
            {T::Label, "LBL_Public", 4, "pbxParent1", 60, 1350, 1700, 255, "Get Frame ( % )", {}},
            {T::TextBox, "txtCapRatio", -1, "pbxParent1", 1800, 1320, 900, 300, "0", {{"Locked", true}, grey}},
            {T::Label, "LBL_Public", 6, "pbxParent1", 2900, 1350, 2300, 255, "Time Remaining ( min )", {}},
            {T::TextBox, "txtTimeRem", -1, "pbxParent1", 5250, 1320, 900, 300, "0", {{"Locked", true}, grey}},
            {T::Label, "LBL_Public", 0, "pbxParent1", 6400, 930, 600, 255, "Step", {hidden}},
            {T::TextBox, "txtStep", -1, "pbxParent1", 7050, 900, 800, 300, "100", {hidden}},
            {T::Label, "LBL_Public", 1, "pbxParent1", 6400, 1350, 600, 255, "Sleep", {hidden}},
            {T::TextBox, "txtSleep", -1, "pbxParent1", 7050, 1320, 800, 300, "100", {hidden}},
            {T::TextBox, "txtCapNum", -1, "pbxParent1", 8000, 900, 800, 300, "0", {hidden}},
            {T::TextBox, "txtFileSize", -1, "pbxParent1", 8000, 1320, 800, 300, "0", {hidden}},
            {T::CheckBox, "chkAVISizeOver", -1, "pbxParent1", 8100, 480, 1480, 315, "AVI Size Over", {hidden}},
            {T::TextBox, "txtMsg", -1, "pbxParent1", 60, 1710, 9480, 540, "", {{"MultiLine", true}}},
            {T::Timer, "timResize", -1, "", 0, 0, 0, 0, "", {{"Enabled", false}}},
            // Diagnostic fields, never shown.
            {T::CommandButton, "Command1", -1, "", 120, 120, 1200, 375, "Command1", {hidden}},
            {T::TextBox, "txtlstGlTime_ADCGET", -1, "", 120, 600, 1500, 300, "Text1", {hidden}},
            {T::TextBox, "txtGlTime_ADSTART", -1, "", 120, 1000, 1500, 300, "Text1", {hidden}},
            {T::TextBox, "txtDiff", -1, "", 120, 1400, 1500, 300, "Text1", {hidden}},
            {T::Label, "Label3", -1, "", 1800, 600, 2000, 255, "lstGlTime_ADCGET(0)", {hidden}},
            {T::Label, "Label2", -1, "", 1800, 1000, 2000, 255, "txtGlTime_ADSTART", {hidden}},
            {T::Label, "Label1", 0, "", 1800, 1400, 2000, 255, "txtDiff", {hidden}},
        }};
    return d;
}

}  // namespace qv
