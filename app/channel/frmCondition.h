#pragma once
// The acquisition-conditions window: a modal dialog over the live conditions record. It copies
// the record into its controls, checks and copies them back, applies the record to the main
// window, enables its controls from the board catalogue and saves or loads the settings file of
// the three windows whose controls make up the settings.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/Form.h"

namespace qv {

class frmCondition : public forms::Form {
public:
    // Created on first use; hidden, never unloaded, by OK, Cancel and Esc.
    static frmCondition& instance();
    static const forms::FormDesign& design();
    frmCondition();

    // In the design's order, which is the order a settings file restores them in.
    forms::TextBox& txtCH;
    forms::TextBox& txtSweepTime;
    forms::CheckBox& chkSync;
    forms::OptionButton& optFixed;
    forms::OptionButton& optFlow;
    forms::OptionButton& optGetADBoard;
    forms::ComboBox& cmbADBoard;
    forms::TextBox& txtDeviceName;
    forms::ComboBox& cmbExistAD;
    forms::CommandButton& cmdUpdatePnPAD;
    forms::OptionButton& optGetRemoteHost;
    forms::TextBox& txtIP;
    forms::CheckBox& chkTerminalMode;
    forms::CheckBox& chkTriggerSetting;
    forms::CheckBox& chkSingleDispMode;
    forms::TextBox& txtTrgPoint;
    forms::OptionButton& optAnalogLevelTrigger;
    forms::ComboBox& cmbCompCH;
    forms::TextBox& txtAnalogLevelTriggerD;
    forms::TextBox& txtAnalogLevelTriggerU;
    forms::TextBox& txtAnalogLevelTriggerD_V;
    forms::TextBox& txtAnalogLevelTriggerU_V;
    forms::OptionButton& optExternalTrigger;
    forms::ComboBox& cmbTTL;
    forms::ComboBox& cmbP2PHist;
    forms::Label& lblHist;
    forms::CheckBox& chkCameraSetting;
    forms::ComboBox& cmbCamera;
    forms::ComboBox& cmbResolution;
    forms::CheckBox& chkAudioSetting;
    forms::CommandButton& cmdOK;
    forms::CommandButton& cmdCancel;

    // Result codes of CheckSetting.
    enum : int32_t {
        kSettingOK = 0,
        kChannelEmpty = 1,
        kChannelStartNotNumeric = 2,
        kChannelEndNotNumeric = 3,
        kSweepNotNumeric = 4,
        kIPEmpty = 5,
        kIPNotFourParts = 6,
        kChannelOutOfRange = 7,  // not 1 <= start <= end <= 32
        kSweepNotPositive = 8,
    };

    // Enables the controls from the selected board, the source option, the instance mode and
    // whether another instance runs; nested calls return at once.
    void ALL_BTN_ModeSet();
    // Device names and descriptions of the boards present; nothing provides them here, so both
    // come back empty.
    void GetADBoardEnum(std::vector<std::string>& names, std::vector<std::string>& descriptions);
    // The first failing check's code (0 when all pass), its message shown.
    int32_t CheckSetting();
    // This window's controls alone, to and from the settings file.
    void SaveParam();
    void LoadParam();
    // The controls of this window, the main window and the amplifier window; the load restores
    // the main window first.
    void SaveParamAll();
    void LoadParamAll();
    // Whether loading the settings file would give the channels a range other than
    // first..last: its channel text, unless the load ignores it, or the fixed channels of the
    // board it selects.
    bool StoredChannelRangeDiffers(int32_t first, int32_t last);
    void SaveParamAllXML() {}
    void LoadParamAllXML() {}
    // Applies the live record to the acquisition state and the main window. The second argument
    // some callers pass has no effect.
    void SetCondition(bool bMsg, int32_t unused = 0);
    // Fills the lists; copies the record into the controls when the main window is shown.
    void InitForm();
    // The camera's capture sizes and the three fixed sizes; selects "320,240".
    void UpdateResolution();
    // Record -> controls, each write firing its handler.
    void LoadObjectValue();
    // Controls -> record.
    void SaveObjectValue();
    // The channel box given this text as LoadObjectValue gives it the record's: the range and
    // the trigger channels taken from it, the trigger channel at the record's position.
    void TakeChannelText(const std::string& text);

    // ---- Handlers ----
    void chkSync_Click();
    void chkTerminalMode_Click();
    void chkTriggerSetting_Click();
    void cmbCamera_Click();
    void cmbExistAD_Click();
    void cmbP2PHist_Click();
    void cmdCancel_Click();
    void cmdOK_Click();
    void cmdUpdatePnPAD_Click() {}
    void Form_KeyDown(int& KeyCode, int Shift);
    void optGetADBoard_Click();
    void optGetRemoteHost_Click();
    void txtCH_LostFocus();
    void txtTrgPoint_Change();
    void txtAnalogLevelTriggerD_Change();
    void txtAnalogLevelTriggerU_Change();
    void cmbResolution_Click();
    void chkCameraSetting_Click();

    bool CameraWarned() const { return bCameraWarned_; }

private:
    void FillTriggerChannels();
    // This window's controls from the settings file; a channel range outside 1..32 is ignored
    // and logged.
    void loadOwnControls();
    // The volt box beside a trigger-level box.
    void ShowLevelVolts(const forms::TextBox& level, forms::TextBox& volts);
    void WarnCameraChange();

    bool modeSetRunning_ = false;
    bool bCameraWarned_ = false;
};

// The channel range text parsed as the window does: "" gives 0-0; "n" gives n-n; "a-b" gives
// a-b (b = a when b is no number); three or more parts leave start and end as they are.
void ParseChannelRange(const std::string& text, int32_t& startCH, int32_t& endCH);
// The range a channel text states: "n" or "a-b" (b = a when b is no number) with whole numbers
// within 32 bits. An empty text, three or more parts or a number beyond 32 bits state none.
std::optional<std::pair<int32_t, int32_t>> StatedChannelRange(const std::string& text);

}  // namespace qv
