// The conditions window as designed, in twips. The frames come first (they hold the option
// groups); the persisted controls follow in the order a settings file restores them: channel
// range and sweep, display mode, source and board, then the trigger set-up (its check box after
// the board, so the board's capabilities are known when it is restored), hysteresis, camera and
// audio. Caption labels come last.
#include "app/channel/frmCondition.h"

namespace qv {

using T = forms::ControlType;

const forms::FormDesign& frmCondition::design() {
    static const forms::FormDesign d{
        "frmCondition", "Condition", 0, 0, 7800, 7740,
        {{"BorderStyle", 3}, {"KeyPreview", true}},
        {
            {T::Frame, "Frame1", -1, "", 120, 120, 3720, 1260, "Base Setting", {}},
            {T::Frame, "Frame2", -1, "", 3960, 120, 3600, 1260, "Disp Mode", {}},
            {T::Frame, "Frame3", -1, "", 120, 1500, 7440, 1860, "Base Setting (Source Device)", {}},
            {T::Frame, "Frame4", -1, "", 120, 3480, 7440, 1920, "Trigger Setting", {}},
            {T::Frame, "Frame5", -1, "", 120, 5520, 3720, 1140, "Camera Setting", {}},
            {T::Frame, "Frame6", -1, "", 3960, 5520, 1680, 1140, "Audio Setting", {}},
            {T::Frame, "Frame7", -1, "", 5760, 5520, 1800, 1140, "Other", {}},

            {T::TextBox, "txtCH", -1, "Frame1", 1320, 240, 1200, 300, "1-8", {}},
            {T::TextBox, "txtSweepTime", -1, "Frame1", 1320, 600, 1200, 300, "5000", {}},
            {T::CheckBox, "chkSync", -1, "Frame1", 120, 930, 2400, 270, "Sync Sweep Time", {}},
            {T::OptionButton, "optFixed", -1, "Frame2", 120, 300, 1500, 270, "Fixed", {}},
            {T::OptionButton, "optFlow", -1, "Frame2", 120, 660, 1500, 270, "Flow", {}},
            {T::OptionButton, "optGetADBoard", -1, "Frame3", 120, 300, 1500, 270, "AD BOARD", {}},
            {T::ComboBox, "cmbADBoard", -1, "Frame3", 1680, 270, 2400, 300, "", {{"Style", 2}}},
            {T::TextBox, "txtDeviceName", -1, "Frame3", 4200, 270, 1200, 300, "Dev1", {}},
            {T::ComboBox, "cmbExistAD", -1, "Frame3", 1680, 660, 3720, 300, "", {{"Style", 2}}},
            {T::CommandButton, "cmdUpdatePnPAD", -1, "Frame3", 5520, 630, 1800, 360,
             "Update Device", {}},
            {T::OptionButton, "optGetRemoteHost", -1, "Frame3", 120, 1110, 1500, 270,
             "Remote Host", {}},
            {T::TextBox, "txtIP", -1, "Frame3", 2880, 1080, 2520, 300, "xxx.xxx.xxx.xxx", {}},
            {T::CheckBox, "chkTerminalMode", -1, "Frame3", 120, 1470, 2400, 270, "Terminal Mode", {}},
            {T::CheckBox, "chkTriggerSetting", -1, "Frame4", 120, 270, 2400, 270, "Trigger Setting", {}},
            {T::CheckBox, "chkSingleDispMode", -1, "Frame4", 2640, 270, 2400, 270,
             "Single Disp Mode", {}},
            {T::TextBox, "txtTrgPoint", -1, "Frame4", 6000, 240, 1200, 300, "120", {}},
            {T::OptionButton, "optAnalogLevelTrigger", -1, "Frame4", 120, 660, 2000, 270,
             "Analog Trigger", {}},
            {T::ComboBox, "cmbCompCH", -1, "Frame4", 3360, 630, 900, 300, "", {{"Style", 2}}},
            {T::TextBox, "txtAnalogLevelTriggerD", -1, "Frame4", 360, 1020, 1080, 300, "", {}},
            {T::TextBox, "txtAnalogLevelTriggerU", -1, "Frame4", 3000, 1020, 1080, 300, "100", {}},
            {T::TextBox, "txtAnalogLevelTriggerD_V", -1, "Frame4", 1500, 1020, 1080, 300, "", {}},
            {T::TextBox, "txtAnalogLevelTriggerU_V", -1, "Frame4", 4140, 1020, 1080, 300, "", {}},
            {T::OptionButton, "optExternalTrigger", -1, "Frame4", 120, 1440, 2000, 270,
             "External Trigger", {}},
            {T::ComboBox, "cmbTTL", -1, "Frame4", 3360, 1410, 1200, 300, "", {{"Style", 2}}},
            {T::ComboBox, "cmbP2PHist", -1, "Frame7", 120, 300, 1560, 300, "", {{"Style", 2}}},
            {T::Label, "lblHist", -1, "Frame7", 120, 720, 1560, 240, "P-P Histeresis", {}},
            {T::CheckBox, "chkCameraSetting", -1, "Frame5", 120, 270, 2400, 270, "Camera Setting", {}},
            {T::ComboBox, "cmbCamera", -1, "Frame5", 120, 600, 2040, 300, "", {{"Style", 2}}},
            {T::ComboBox, "cmbResolution", -1, "Frame5", 2280, 600, 1320, 300, "", {{"Style", 2}}},
            {T::CheckBox, "chkAudioSetting", -1, "Frame6", 120, 300, 1200, 270, "Record", {}},
            {T::CommandButton, "cmdOK", -1, "", 4920, 6840, 1200, 420, "OK", {}},
            {T::CommandButton, "cmdCancel", -1, "", 6240, 6840, 1200, 420, "Cancel", {}},

            {T::Label, "Label1", -1, "Frame1", 120, 270, 1140, 240, "CH:", {}},
            {T::Label, "Label2", -1, "Frame1", 120, 630, 1140, 240, "Sweep Time：", {}},
            {T::Label, "Label3", -1, "Frame1", 2580, 630, 600, 240, "ms", {}},
            {T::Label, "Label4", -1, "Frame3", 1680, 1110, 1140, 240, "SERVER IP", {}},
            {T::Label, "Label5", -1, "Frame4", 5040, 270, 900, 240, "Trg Point", {}},
            {T::Label, "Label6", -1, "Frame4", 2160, 660, 1140, 240, "Trigger CH：", {}},
            {T::Label, "Label7", -1, "Frame4", 2160, 1440, 1140, 240, "TTL：", {}},
        }};
    return d;
}

}  // namespace qv
