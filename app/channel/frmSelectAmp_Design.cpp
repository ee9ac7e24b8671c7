#include "app/channel/frmSelectAmp.h"

namespace qv {

using T = forms::ControlType;

const forms::FormDesign& frmSelectAmp::design() {
    // Twips, for 96 DPI (15 twips a pixel): inputs 20 pixels high, enough for 9-point Japanese
    // text; a fixed dialog whose client area is 6120 x 3120. The persisted controls come first,
    // in the order a settings file restores them: amplifier, then gain and rate, then channel,
    // then the boxes, so the restored texts are the last word. The caption labels follow.
    static const forms::FormDesign d{
        "frmSelectAmp", "SELECT AMP", 0, 0, 6240, 3630,
        {{"BorderStyle", 3}},
        {
            {T::Label, "lblADBoard", -1, "", 1380, 120, 4620, 300, "", {{"BorderStyle", 1}}},
            {T::ComboBox, "cmbSelectAmp", -1, "", 1380, 540, 4620, 300, "", {{"Style", 2}}},
            {T::ComboBox, "cmbSelectGain", -1, "", 1380, 960, 1800, 300, "", {{"Style", 2}}},
            {T::ComboBox, "cmbAmpRate", -1, "", 4200, 960, 1800, 300, "", {{"Style", 2}}},
            {T::ComboBox, "cmbSelectCH", -1, "", 1380, 1380, 900, 300, "", {{"Style", 2}}},
            {T::TextBox, "txtName", -1, "", 120, 2100, 1320, 300, "", {}},
            {T::TextBox, "txtUnit", -1, "", 1500, 2100, 660, 300, "", {}},
            {T::TextBox, "txtEUHI", -1, "", 2220, 2100, 900, 300, "", {}},
            {T::TextBox, "txtEULO", -1, "", 3180, 2100, 900, 300, "", {}},
            {T::TextBox, "txtCALAD", -1, "", 4140, 2100, 900, 300, "", {}},
            {T::TextBox, "txtBASEAD", -1, "", 5100, 2100, 900, 300, "", {}},
            {T::CommandButton, "cmdExecute", -1, "", 4800, 2580, 1200, 375, "Execute", {}},
            {T::Label, "Label1", -1, "", 120, 150, 1200, 240, "A/D Board", {}},
            {T::Label, "Label2", -1, "", 120, 570, 1200, 240, "Amplifier", {}},
            {T::Label, "Label3", -1, "", 120, 990, 1200, 240, "Gain", {}},
            {T::Label, "Label4", -1, "", 3360, 990, 780, 240, "Rate", {}},
            {T::Label, "Label5", -1, "", 120, 1410, 1200, 240, "CH", {}},
            {T::Label, "Label6", -1, "", 120, 1860, 1320, 240, "Name", {}},
            {T::Label, "Label7", -1, "", 1500, 1860, 660, 240, "Unit", {}},
            {T::Label, "Label8", -1, "", 2220, 1860, 900, 240, "EU_HI", {}},
            {T::Label, "Label9", -1, "", 3180, 1860, 900, 240, "EU_LO", {}},
            {T::Label, "Label10", -1, "", 4140, 1860, 900, 240, "Cal_AD", {}},
            {T::Label, "Label11", -1, "", 5100, 1860, 900, 240, "Base_AD", {}},
        }};
    return d;
}

}  // namespace qv
