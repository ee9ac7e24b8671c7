// The conditions window: the record <-> controls copies, the checks on OK, applying the record
// to the main window, control enabling, the handlers and the settings file.
#include "app/channel/frmCondition.h"

#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "app/channel/AmpCalTable.h"
#include "app/channel/CBoard.h"
#include "app/channel/CCalSetting.h"
#include "app/channel/CCalcCAL.h"
#include "app/channel/frmSelectAmp.h"
#include "app/common/IniSet.h"
#include "app/common/modCommon.h"
#include "app/common/modIniFile.h"
#include "app/common/modSetting.h"
#include "app/common/modSub_Combobox.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Globals.h"

namespace qv {

namespace {

constexpr int32_t kMaxChannels = 32;
// The display arrays hold channels x (points + 1) floats; beyond this (256 MiB) a sweep is
// refused instead of exhausting the memory.
constexpr double kMaxDisplayValues = 64.0 * 1024 * 1024;

const char* const kCheckMessages[] = {
    "",
    "Base Setting の CH:が空白です。",
    "Base Setting の CH:の書式が異常です。",
    "Base Setting の CH:の書式が異常です。",
    "Sweep Time：に数値が設定されていません。",
    "Base Setting (Source Setting) で Remote Host が選択されていますが、SERVER IP が設定されていません。",
    ("Base Setting (Source Setting) で Remote Host が選択されていますが、SERVER IP "
     "の書式がxxx.xxx.xxx.xxxとなっていません。"),
    "Base Setting の CH:は 1～32 の範囲で、開始CH ≦ 終了CH となるように設定してください。",
    "Sweep Time：に 0 より大きい数値を設定してください。",
    "Sweep Time：が長すぎます。サンプリング周波数とCH数に対してデータ量が上限を超えています。",
};
constexpr int32_t kSweepTooLong = 9;

// The whole number nearest to v, held to the 32-bit range (a typed "99999999999" is then a
// channel or time outside every valid range, not an overflow inside a handler).
int32_t wholeNumber(double v) {
    if (!(v == v)) return 0;
    if (v >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return basic::CLng(v);
}

// A stored whole number into `target`; one beyond the number range leaves it as it is (and
// is logged), so a damaged settings file cannot stop the start-up half-way.
void storeWhole(const std::string& text, const std::string& where, int32_t& target) {
    if (const auto n = StoredNumber(text, where)) target = wholeNumber(*n);
}

int32_t clampChannels(int32_t n) { return n < 1 ? 1 : (n > kMaxChannels ? kMaxChannels : n); }

// A range the channel rows and display arrays can hold: 1 <= first <= last <= 32.
bool channelRangeHeld(int32_t first, int32_t last) { return first >= 1 && last <= kMaxChannels && first <= last; }

// The channel text of boards that scan a fixed set of channels; "" for the others.
const char* fixedChannelText(int32_t type) {
    switch (type) {
        case 16: return "1-9";
        case 25:
        case 28: return "1-8";
        case 31: return "1-16";
        default: return "";
    }
}

// Sets a list position from the record; one outside the list leaves the selection as it is.
void selectChecked(forms::ListControl& list, int32_t index) {
    if (index >= -1 && index < list.ListCount()) list.setListIndex(index);
}

// Selects the item with exactly this text, when there is one.
void selectText(forms::ComboBox& combo, const std::string& text) {
    const int16_t i = ComboBox_FindItem(combo, text);
    if (i >= 0) combo.setListIndex(i);
}

// Check-box value from a record field; values a check box cannot take are passed over.
void setCheck(forms::CheckBox& box, int32_t value) {
    if (value >= 0 && value <= 2) box.setValue(value);
}

// The item data of the list's selected entry, 0 when nothing is selected.
int32_t selectedData(const forms::ListControl& list) {
    const int i = list.ListIndex();
    return i >= 0 && i < list.ListCount() ? list.ItemData(i) : 0;
}

// Sampling period in microseconds of the main window's selected rate; 0 when none.
int32_t selectedPeriodUs(const Acqisition& main) {
    const int32_t hz = selectedData(main.cmbSampleFreq);
    return hz > 0 ? basic::CLng(1000000.0 / hz) : 0;
}

// Lowers the main window's internal-update flag on every way out.
class InternalUpdate {
public:
    explicit InternalUpdate(Acqisition& main) : main_(main) { main_.bInternalUpdate = true; }
    ~InternalUpdate() { main_.bInternalUpdate = false; }
    InternalUpdate(const InternalUpdate&) = delete;
    InternalUpdate& operator=(const InternalUpdate&) = delete;

private:
    Acqisition& main_;
};

// The first and last numbers of a channel text as the window reads them: "" gives 0-0; three
// or more parts, or a part beyond the number range, give none.
std::optional<std::pair<double, double>> channelNumbers(const std::string& text) {
    const std::vector<std::string> parts = basic::Split(text, "-");
    switch (parts.size()) {
        case 0:
            return std::pair{0.0, 0.0};
        case 1:
            if (const auto n = StoredNumber(parts[0], "チャンネル範囲")) return std::pair{*n, *n};
            return std::nullopt;
        case 2: {
            const auto first = StoredNumber(parts[0], "チャンネル範囲");
            const auto last = basic::IsNumeric(parts[1]) ? StoredNumber(parts[1], "チャンネル範囲") : first;
            if (!first || !last) return std::nullopt;
            return std::pair{*first, *last};
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

void ParseChannelRange(const std::string& text, int32_t& startCH, int32_t& endCH) {
    if (const auto n = channelNumbers(text)) {
        startCH = wholeNumber(n->first);
        endCH = wholeNumber(n->second);
    }
}

std::optional<std::pair<int32_t, int32_t>> StatedChannelRange(const std::string& text) {
    const auto n = channelNumbers(text);
    if (text.empty() || !n) return std::nullopt;
    const std::optional<int32_t> first = basic::TryCLng(n->first), last = basic::TryCLng(n->second);
    if (!first || !last) return std::nullopt;
    return std::pair{*first, *last};
}

frmCondition& frmCondition::instance() { return forms::loadForm<frmCondition>(); }

frmCondition::frmCondition()
    : Form(design()),
      txtCH(ctl<forms::TextBox>("txtCH")),
      txtSweepTime(ctl<forms::TextBox>("txtSweepTime")),
      chkSync(ctl<forms::CheckBox>("chkSync")),
      optFixed(ctl<forms::OptionButton>("optFixed")),
      optFlow(ctl<forms::OptionButton>("optFlow")),
      optGetADBoard(ctl<forms::OptionButton>("optGetADBoard")),
      cmbADBoard(ctl<forms::ComboBox>("cmbADBoard")),
      txtDeviceName(ctl<forms::TextBox>("txtDeviceName")),
      cmbExistAD(ctl<forms::ComboBox>("cmbExistAD")),
      cmdUpdatePnPAD(ctl<forms::CommandButton>("cmdUpdatePnPAD")),
      optGetRemoteHost(ctl<forms::OptionButton>("optGetRemoteHost")),
      txtIP(ctl<forms::TextBox>("txtIP")),
      chkTerminalMode(ctl<forms::CheckBox>("chkTerminalMode")),
      chkTriggerSetting(ctl<forms::CheckBox>("chkTriggerSetting")),
      chkSingleDispMode(ctl<forms::CheckBox>("chkSingleDispMode")),
      txtTrgPoint(ctl<forms::TextBox>("txtTrgPoint")),
      optAnalogLevelTrigger(ctl<forms::OptionButton>("optAnalogLevelTrigger")),
      cmbCompCH(ctl<forms::ComboBox>("cmbCompCH")),
      txtAnalogLevelTriggerD(ctl<forms::TextBox>("txtAnalogLevelTriggerD")),
      txtAnalogLevelTriggerU(ctl<forms::TextBox>("txtAnalogLevelTriggerU")),
      txtAnalogLevelTriggerD_V(ctl<forms::TextBox>("txtAnalogLevelTriggerD_V")),
      txtAnalogLevelTriggerU_V(ctl<forms::TextBox>("txtAnalogLevelTriggerU_V")),
      optExternalTrigger(ctl<forms::OptionButton>("optExternalTrigger")),
      cmbTTL(ctl<forms::ComboBox>("cmbTTL")),
      cmbP2PHist(ctl<forms::ComboBox>("cmbP2PHist")),
      lblHist(ctl<forms::Label>("lblHist")),
      chkCameraSetting(ctl<forms::CheckBox>("chkCameraSetting")),
      cmbCamera(ctl<forms::ComboBox>("cmbCamera")),
      cmbResolution(ctl<forms::ComboBox>("cmbResolution")),
      chkAudioSetting(ctl<forms::CheckBox>("chkAudioSetting")),
      cmdOK(ctl<forms::CommandButton>("cmdOK")),
      cmdCancel(ctl<forms::CommandButton>("cmdCancel")) {
    on(KeyDown, &frmCondition::Form_KeyDown);
    on(chkSync.Click, &frmCondition::chkSync_Click);
    on(chkTerminalMode.Click, &frmCondition::chkTerminalMode_Click);
    on(chkTriggerSetting.Click, &frmCondition::chkTriggerSetting_Click);
    on(cmbCamera.Click, &frmCondition::cmbCamera_Click);
    on(cmbExistAD.Click, &frmCondition::cmbExistAD_Click);
    on(cmbP2PHist.Click, &frmCondition::cmbP2PHist_Click);
    on(cmdCancel.Click, &frmCondition::cmdCancel_Click);
    on(cmdOK.Click, &frmCondition::cmdOK_Click);
    on(cmdUpdatePnPAD.Click, &frmCondition::cmdUpdatePnPAD_Click);
    on(optGetADBoard.Click, &frmCondition::optGetADBoard_Click);
    on(optGetRemoteHost.Click, &frmCondition::optGetRemoteHost_Click);
    on(txtCH.LostFocus, &frmCondition::txtCH_LostFocus);
    on(txtTrgPoint.Change, &frmCondition::txtTrgPoint_Change);
    on(txtAnalogLevelTriggerD.Change, &frmCondition::txtAnalogLevelTriggerD_Change);
    on(txtAnalogLevelTriggerU.Change, &frmCondition::txtAnalogLevelTriggerU_Change);
    on(cmbResolution.Click, &frmCondition::cmbResolution_Click);
    on(chkCameraSetting.Click, &frmCondition::chkCameraSetting_Click);
}

// ---- Control enabling ----

void frmCondition::ALL_BTN_ModeSet() {
    // The writes below fire handlers that come back here.
    if (modeSetRunning_) return;
    modeSetRunning_ = true;
    struct Running {
        bool& flag;
        ~Running() { flag = false; }
    } running{modeSetRunning_};

    const bool ad = optGetADBoard.Value();
    const bool remote = optGetRemoteHost.Value();
    const bool camOK = IsCameraFilterOK();
    const bool notAcq = !IsModeAcq();
    const bool first = !forms::App.PrevInstance();
    const int boardIndex = cmbADBoard.ListIndex();
    const bool boardSelected = boardIndex >= 0;
    const int32_t type = boardSelected ? cmbADBoard.ItemData(boardIndex) : 0;
    CBoard& board = CBoard::instance();
    const bool trgOK = boardSelected && board.TrgSupport(type);
    const bool digOK = boardSelected && board.DigitalTrgSupport(type);

    cmbResolution.setEnabled(camOK);
    chkCameraSetting.setEnabled(camOK);
    if (InstanceMode == 0 || InstanceMode == 1) chkAudioSetting.setEnabled(true);
    else if (InstanceMode == 2) chkAudioSetting.setEnabled(false);

    if (boardSelected) {
        const std::string fixed = fixedChannelText(type);
        txtCH.setEnabled(fixed.empty());
        if (!fixed.empty()) txtCH.setText(fixed);
    }

    const bool trig = (trgOK && ad) || remote;
    if (!trig) chkTriggerSetting.setValue(0);
    chkTriggerSetting.setEnabled(trig);

    const bool on = chkTriggerSetting.Value() == 1;
    chkSingleDispMode.setEnabled(on);
    txtTrgPoint.setEnabled(on);
    optAnalogLevelTrigger.setEnabled(on);
    cmbCompCH.setEnabled(on);

    optExternalTrigger.setEnabled(digOK && notAcq && first);
    cmbTTL.setEnabled(optExternalTrigger.Enabled() && first);

    if (InstanceMode == 1) cmbADBoard.setEnabled(true);
    else if (InstanceMode == 2) cmbADBoard.setEnabled(false);
    else if (InstanceMode == 0) cmbADBoard.setEnabled(ad && first);

    if (boardSelected) txtDeviceName.setEnabled(ad && board.IsEnableDeviceName(type) && first);

    optFixed.setEnabled(first);
    optFlow.setEnabled(false);

    if (InstanceMode == 1) {
        txtIP.setEnabled(false);
        optGetADBoard.setEnabled(false);
        optGetRemoteHost.setEnabled(false);
        optGetADBoard.setValue(true);
    } else if (InstanceMode == 2) {
        txtIP.setEnabled(true);
        optGetADBoard.setEnabled(false);
        optGetRemoteHost.setEnabled(false);
        optGetRemoteHost.setValue(true);
    } else if (InstanceMode == 0) {
        txtIP.setEnabled(remote);
        optGetADBoard.setEnabled(first);
        optGetRemoteHost.setEnabled(first);
        if (!first) optGetRemoteHost.setValue(true);
    }
    chkTerminalMode.setEnabled(optGetRemoteHost.Value());

    modeSetRunning_ = false;
    Acqisition::instance().SetCaption();
}

void frmCondition::GetADBoardEnum(std::vector<std::string>& names,
                                  std::vector<std::string>& descriptions) {
    // The library offers no board enumeration, so there is nothing to list.
    names.clear();
    descriptions.clear();
}

// ---- OK and Cancel ----

int32_t frmCondition::CheckSetting() {
    const auto refuse = [](int32_t code) {
        forms::MsgBox(kCheckMessages[code], forms::vbExclamation + forms::vbOKOnly);
        return code;
    };
    const std::string& ch = txtCH.Text();
    if (ch.empty()) return refuse(kChannelEmpty);
    const std::vector<std::string> parts = basic::Split(ch, "-");
    if (!parts.empty() && !basic::IsNumeric(parts[0])) return refuse(kChannelStartNotNumeric);
    if (parts.size() >= 2 && !basic::IsNumeric(parts[1])) return refuse(kChannelEndNotNumeric);
    if (!basic::IsNumeric(txtSweepTime.Text())) return refuse(kSweepNotNumeric);
    if (optGetRemoteHost.Value()) {
        if (txtIP.Text().empty()) return refuse(kIPEmpty);
        if (basic::Split(txtIP.Text(), ".").size() != 4) return refuse(kIPNotFourParts);
    }
    // The range the record would take; channel rows and display arrays exist for 1..32 only.
    int32_t startCH = GAcqCondition.lStartCH;
    int32_t endCH = GAcqCondition.lEndCH;
    ParseChannelRange(ch, startCH, endCH);
    if (!channelRangeHeld(startCH, endCH)) return refuse(kChannelOutOfRange);
    const double sweepMs = basic::Val(txtSweepTime.Text());
    if (!(sweepMs > 0)) return refuse(kSweepNotPositive);
    const int32_t periodUs = selectedPeriodUs(Acqisition::instance());
    if (periodUs > 0) {
        const double points = sweepMs * 1000.0 / periodUs;
        if ((points + 1) * (endCH - startCH + 1) > kMaxDisplayValues) return refuse(kSweepTooLong);
    }
    return kSettingOK;
}

void frmCondition::cmdOK_Click() {
    WriteLog(Name() + std::string(100, '-'), true);
    WriteLog("frmCondition::cmdOK_Click", true);
    if (CheckSetting() != kSettingOK) return;
    SaveObjectValue();
    ClearAcqArrays();
    ClearFileNameGlobals();
    Acqisition& main = Acqisition::instance();
    {
        InternalUpdate update(main);
        SetCondition(true);
        main.SyncSweep();
    }
    main.ALL_BTN_ModeSet();
    main.TXTPreSetCounter_LostFocus();
    main.chkUseCAL_Click();
    main.SubPrg_NotifyChangeSetting();
}

void frmCondition::cmdCancel_Click() {
    GAcqCondition = GAcqConditionBackup;
    LoadObjectValue();
    Hide();
}

void frmCondition::Form_KeyDown(int& KeyCode, int /*Shift*/) {
    if (KeyCode == forms::key::Escape) cmdCancel_Click();
}

// ---- Record <-> controls ----

void frmCondition::SaveObjectValue() {
    AcqCondition& c = GAcqCondition;
    c.strCH = txtCH.Text();
    ParseChannelRange(c.strCH, c.lStartCH, c.lEndCH);
    c.lCHCnt = wholeNumber(static_cast<double>(c.lEndCH) - c.lStartCH + 1);
    c.strFIXED = basic::CStr(optFixed.Value());
    c.strFLOW = basic::CStr(optFlow.Value());
    c.lFlage = optFixed.Value() ? 0 : 2;
    c.strADBOARD = cmbADBoard.Text();
    if (const int i = cmbADBoard.ListIndex(); i >= 0) {
        const int32_t type = cmbADBoard.ItemData(i);
        CBoard::instance().SelectBoard(type);
        c.lADBOARD = type;
        c.lADBOARD_ID = i;
        c.lADBOARD_BIT = CBoard::instance().BordBit(type);
        if (basic::Like(c.strADBOARD, "*±10*")) c.sngADBOARD_V = 10.0f;
        else if (basic::Like(c.strADBOARD, "*±5*")) c.sngADBOARD_V = 5.0f;
        else if (basic::Like(c.strADBOARD, "*±2.5*")) c.sngADBOARD_V = 2.5f;
    }
    c.strDEVICE_NAME = txtDeviceName.Text();
    c.strTRIGGER_SETTING = basic::CStr(chkTriggerSetting.Value());
    c.strSINGLE_DISP_MODE = basic::CStr(chkSingleDispMode.Value());
    c.strTRG_POINT = txtTrgPoint.Text();
    c.strANALOG_LEVEL_TRIGGER = basic::CStr(optAnalogLevelTrigger.Value());
    c.strANALOG_LEVEL_TRIGGER_D = txtAnalogLevelTriggerD.Text();
    c.strANALOG_LEVEL_TRIGGER_U = txtAnalogLevelTriggerU.Text();
    if (const int i = cmbCompCH.ListIndex(); i >= 0) c.strCOMP_CH = basic::CStr(cmbCompCH.ItemData(i));
    c.lCOMP_CH_ID = cmbCompCH.ListIndex();
    c.strEXTERNAL_TRIGGER = basic::CStr(optExternalTrigger.Value());
    if (const int i = cmbTTL.ListIndex(); i >= 0) c.strTTL = basic::CStr(i);
    c.strSWEEP_TIME = txtSweepTime.Text();
    c.strSYNC = basic::CStr(chkSync.Value());
    c.strIP = txtIP.Text();
    if (const int i = cmbP2PHist.ListIndex(); i >= 0) {
        c.lP2PHist = cmbP2PHist.ItemData(i);
        c.strP2PHist = cmbP2PHist.List(i);
    }
    c.lGetADBoard = optGetADBoard.Value() ? -1 : 0;
    c.lGetRemoteHost = optGetRemoteHost.Value() ? -1 : 0;
    if (IsCameraFilterOK()) {
        c.strResolution = cmbResolution.Text();
        const std::vector<std::string> size = basic::Split(c.strResolution, ",");
        if (size.size() == 2) {
            storeWhole(size[0], "解像度", c.lCameraWidth);
            storeWhole(size[1], "解像度", c.lCameraHeight);
        }
    }
    c.strCameraSetting = chkCameraSetting.Value();
    c.strAudioSetting = chkAudioSetting.Value();
    c.strCamera = cmbCamera.Text();
    c.lcmbCamera_ListIndex = basic::CStr(cmbCamera.ListIndex());
}

void frmCondition::LoadObjectValue() {
    // Each write runs the control's handler, so later steps see what earlier ones did; the
    // record is read afresh at every step because those handlers may change it.
    AcqCondition& c = GAcqCondition;
    txtCH.setText(c.strCH);
    txtCH_LostFocus();
    optFixed.setValue(c.strFIXED == "True");
    optFlow.setValue(c.strFLOW == "True");
    selectChecked(cmbADBoard, c.lADBOARD_ID);
    txtDeviceName.setText(c.strDEVICE_NAME);
    chkTriggerSetting.setValue(c.strTRIGGER_SETTING == "1" ? 1 : 0);
    chkSingleDispMode.setValue(c.strSINGLE_DISP_MODE == "1" ? 1 : 0);
    txtTrgPoint.setText(c.strTRG_POINT);
    optAnalogLevelTrigger.setValue(c.strANALOG_LEVEL_TRIGGER == "True");
    txtAnalogLevelTriggerD.setText(c.strANALOG_LEVEL_TRIGGER_D);
    txtAnalogLevelTriggerU.setText(c.strANALOG_LEVEL_TRIGGER_U);
    selectChecked(cmbCompCH, c.lCOMP_CH_ID);
    optExternalTrigger.setValue(c.strEXTERNAL_TRIGGER == "True");
    if (!c.strTTL.empty()) {
        int32_t ttl = cmbTTL.ListIndex();
        storeWhole(c.strTTL, "TTL", ttl);
        selectChecked(cmbTTL, ttl);
    }
    txtSweepTime.setText(c.strSWEEP_TIME);
    chkSync.setValue(c.strSYNC == "1" ? 1 : 0);
    txtIP.setText(c.strIP);
    if (!c.strP2PHist.empty()) selectText(cmbP2PHist, c.strP2PHist);
    optGetADBoard.setValue(c.lGetADBoard != 0);
    optGetRemoteHost.setValue(c.lGetRemoteHost != 0);
    if (!optGetADBoard.Value() && !optGetRemoteHost.Value()) {
        optGetADBoard.setValue(true);
        c.lGetADBoard = -1;
    }
    if (IsCameraFilterOK()) {
        selectText(cmbResolution, c.strResolution);
        const std::vector<std::string> size = basic::Split(c.strResolution, ",");
        if (size.size() == 2) {
            storeWhole(size[0], "解像度", c.lCameraWidth);
            storeWhole(size[1], "解像度", c.lCameraHeight);
        }
    }
    setCheck(chkCameraSetting, c.strCameraSetting);
    setCheck(chkAudioSetting, c.strAudioSetting);
    selectText(cmbCamera, c.strCamera);
}

void frmCondition::TakeChannelText(const std::string& text) {
    txtCH.setText(text);
    txtCH_LostFocus();
    selectChecked(cmbCompCH, GAcqCondition.lCOMP_CH_ID);
}

// ---- Applying the record ----

void frmCondition::SetCondition(bool bMsg, int32_t /*unused*/) {
    Hide();
    Acqisition& main = Acqisition::instance();
    AcqCondition& c = GAcqCondition;

    // Channel rows and display arrays exist for 1..32 channels; a range the checks did not see
    // (an old settings or recording file) must not size them outside that.
    const int32_t channels = clampChannels(c.lCHCnt);
    GAcqParam.wCh = static_cast<int16_t>(channels);
    main.SetDispCH_GCWave();

    // No selected rate (or none yet) keeps the period it has.
    if (const int32_t periodUs = selectedPeriodUs(main); periodUs > 0) {
        GAcqParam.nSClock = periodUs;
        GAcqParam.lSampleFreqHz = basic::CLng(1000000.0 / periodUs);
    }

    if (c.strSYNC != "1") {
        // A sweep time beyond a Long, or one of more points than a Long counts, is not used.
        if (const auto ms = StoredLong(c.strSWEEP_TIME, "掃引時間")) {
            const double points = GAcqParam.nSClock > 0 ? MsToPoint(*ms) : 0;
            if (const auto p = StoredLong(basic::CStr(points), "掃引時間 " + c.strSWEEP_TIME + " の点数")) {
                GAcqParam.lSweepTimeMS = *ms;
                GAcqParam.lSweepPoint = *p;
            }
        }
    }

    GAcqParam.lAcqType = c.strANALOG_LEVEL_TRIGGER == "True" ? 1 : 0;
    storeWhole(c.strCOMP_CH, "比較チャンネル", GAcqParam.lTrgCH);

    main.CheckMove();
    main.PBXMoniDisp.Cls();
    if (forms::Control* sweep = main.findControl("txtSweepTime"))
        sweep->set("Text", forms::PropValue(c.strSWEEP_TIME));

    const int32_t points = GAcqParam.lSweepPoint < 0 ? 0 : GAcqParam.lSweepPoint;
    if ((static_cast<double>(points) + 1) * channels > kMaxDisplayValues)
        throw basic::RuntimeError(7, "Out of memory: " + basic::CStr(points) +
                                         " points a sweep on " + basic::CStr(channels) +
                                         " channels");
    DispWaveArray.Redim(channels, points + 1);

    main.DispCHCtrl();
    if (main.optCalAcq.Value()) main.optCalAcq_Click();
    else main.optCalDisp_Click();

    if (bMsg) main.SetSamplingRate(true);

    if (const auto ms = StoredNumber(c.strSWEEP_TIME, "掃引時間"))
        main.TXTDR_TimeDiv.setText(basic::CStr(*ms / 10.0));
    main.t1.setText(c.strANALOG_LEVEL_TRIGGER_D);
    main.t2.setText(c.strANALOG_LEVEL_TRIGGER_U);
}

// ---- Handlers ----

void frmCondition::optGetADBoard_Click() { ALL_BTN_ModeSet(); }

void frmCondition::optGetRemoteHost_Click() { ALL_BTN_ModeSet(); }

void frmCondition::chkTerminalMode_Click() {
    if (chkTerminalMode.Value() == 1) chkTriggerSetting.setValue(0);
    ALL_BTN_ModeSet();
}

void frmCondition::chkTriggerSetting_Click() {
    if (chkTriggerSetting.Value() == 1) chkSync.setValue(1);
    ALL_BTN_ModeSet();
}

void frmCondition::chkSync_Click() {
    if (chkSync.Value() == 1) {
        const forms::ComboBox& timeFS = Acqisition::instance().cmbTimeFS;
        if (timeFS.ListIndex() >= 0) txtSweepTime.setText(basic::CStr(selectedData(timeFS)));
    }
    txtSweepTime.setEnabled(chkSync.Value() == 0);
}

void frmCondition::cmbP2PHist_Click() {
    const int i = cmbP2PHist.ListIndex();
    if (i < 0) return;
    GAcqCondition.strP2PHist = cmbP2PHist.List(i);
    GAcqCondition.lP2PHist = cmbP2PHist.ItemData(i);
    lblHist.setCaption(basic::CStr(GAcqCondition.lP2PHist));
}

void frmCondition::cmbExistAD_Click() {
    if (cmbExistAD.ListIndex() < 0) return;
    txtDeviceName.setText(GetFields(cmbExistAD.Text(), 1, 1, ","));
}

void frmCondition::cmbCamera_Click() {
    if (!Visible() || cmbCamera.ListIndex() < 0) return;
    DoEventsWait(1000);
    Acqisition::instance().cmdCAMChange_Click();
    UpdateResolution();
}

void frmCondition::WarnCameraChange() {
    if (Acqisition::instance().chk再起動せずにカメラ設定を変更可能にする.Value() != 0) return;
    if (bCameraWarned_ || !Visible()) return;
    forms::MsgBox(std::string("カメラの設定（解像度と使用／未使用）の変更は、Quorvaneの再起動後に有効になります。") +
                      "\r\n" +
                      "解像度の変更を即時に有効にするには OK を押して STORE を行い Quorvane "
                      "を再起動してください。",
                  forms::vbExclamation);
    bCameraWarned_ = true;
}

void frmCondition::cmbResolution_Click() { WarnCameraChange(); }

void frmCondition::chkCameraSetting_Click() { WarnCameraChange(); }

void frmCondition::txtTrgPoint_Change() {
    int32_t sweep = 0;
    if (chkSync.Value() == 1) sweep = selectedData(Acqisition::instance().cmbTimeFS);
    else storeWhole(txtSweepTime.Text(), "掃引時間", sweep);
    // A negative sweep would make "0" and its negation chase each other through this handler.
    if (sweep < 0) sweep = 0;
    const auto stored = StoredNumber(txtTrgPoint.Text(), "トリガ位置");
    if (!stored) return;
    const double p = *stored;
    if (p > 0) txtTrgPoint.setText("0");
    else if (p + sweep < 0) txtTrgPoint.setText(basic::CStr(-static_cast<int64_t>(sweep)));
}

void frmCondition::ShowLevelVolts(const forms::TextBox& level, forms::TextBox& volts) {
    const int i = cmbCompCH.ListIndex();
    if (i < 0 || i >= kMaxChannels) return;
    std::string board = cmbADBoard.Text();
    // A board without a preset (none chosen yet, or one whose label has none) keeps the box.
    const CCalSetting* cal = GetIntCAL(board);
    // A level no single holds, like a preset that cannot convert, shows nothing new.
    const std::optional<float> count = basic::TryCSng(basic::TypedVal(level.Text()));
    if (!cal || !count) return;
    try {
        const float v = CCalcCAL::Calc_Digi2Analog(
            *count, basic::CLng(cal->Cal_AD(i)),
            basic::CLng(cal->Base_AD(i)), basic::CSng(cal->EU_HI(i)), basic::CSng(cal->EU_LO(i)));
        volts.setText(basic::Format(v, "0.0000"));
    } catch (const basic::RuntimeError&) {
        // A preset that cannot convert (Cal_AD 0, texts that are no numbers) shows nothing new.
    }
}

void frmCondition::txtAnalogLevelTriggerD_Change() {
    ShowLevelVolts(txtAnalogLevelTriggerD, txtAnalogLevelTriggerD_V);
}

void frmCondition::txtAnalogLevelTriggerU_Change() {
    ShowLevelVolts(txtAnalogLevelTriggerU, txtAnalogLevelTriggerU_V);
}

void frmCondition::txtCH_LostFocus() {
    GAcqCondition.strCH = txtCH.Text();
    ParseChannelRange(GAcqCondition.strCH, GAcqCondition.lStartCH, GAcqCondition.lEndCH);
    FillTriggerChannels();
}

// ---- Settings file ----

void frmCondition::SaveParam() {
    if (!SaveFormControls(*this, GstrSettingFile))
        forms::MsgBox("設定ファイルを保存できませんでした。\r\n" + GstrSettingFile, forms::vbExclamation);
}

void frmCondition::LoadParam() { loadOwnControls(); }

void frmCondition::loadOwnControls() {
    const std::string kept = txtCH.Text();
    LoadFormControls(*this, GstrSettingFile, false);
    // A stored channel range the rows cannot hold is not used, as no other stored value out of
    // range is: the box keeps the range it had.
    int32_t first = GAcqCondition.lStartCH, last = GAcqCondition.lEndCH;
    ParseChannelRange(txtCH.Text(), first, last);
    if (channelRangeHeld(first, last)) return;
    LogRefusedSetting(txtCH.Text(), "frmCondition.txtCH.Text");
    txtCH.setText(kept);
}

bool frmCondition::StoredChannelRangeDiffers(int32_t first, int32_t last) {
    std::string text, board;
    {
        IniPathGuard ini(GstrSettingFile);
        text = ReadIniString("frmCondition.txtCH", "Text", txtCH.Text(), "True");
        board = ReadIniString("frmCondition.cmbADBoard", "ListIndex", "-1");
    }
    const auto differs = [&](const std::string& range) {
        int32_t a = first, b = last;
        ParseChannelRange(range, a, b);
        return channelRangeHeld(a, b) && (a != first || b != last);
    };
    // The board the file selects may impose its own channels when the window is enabled.
    int32_t index = -1;
    storeWhole(board, "[frmCondition.cmbADBoard] ListIndex", index);
    const bool listed = index >= 0 && index < cmbADBoard.ListCount();
    return differs(text) || (listed && differs(fixedChannelText(cmbADBoard.ItemData(index))));
}

void frmCondition::SaveParamAll() {
    bool saved = SaveFormControls(*this, GstrSettingFile);
    saved &= SaveFormControls(Acqisition::instance(), GstrSettingFile);
    saved &= SaveFormControls(frmSelectAmp::instance(), GstrSettingFile);
    Acqisition::instance().txtSettingFileName.setText(GstrSettingFile);
    if (!saved) {
        forms::MsgBox("設定ファイルを保存できませんでした。\r\n" + GstrSettingFile, forms::vbExclamation);
        return;
    }
    std::string boards;
    {
        IniPathGuard ini(GstrSettingFile);
        boards = ReadIniString("frmCondition.cmbADBoard", "ListCount", "");
    }
    if (boards == "0")
        forms::MsgBox("ADボードの情報が失われました。操作を停止して、ザンドレへ連絡してください。"
                      "実験が中断出来ない場合はOKで続行可能です。",
                      forms::vbOKOnly);
}

void frmCondition::LoadParamAll() {
    Acqisition& main = Acqisition::instance();
    LoadFormControls(main, GstrSettingFile, false);
    loadOwnControls();
    if (cmbCamera.ListCount() > 0) {
        if (cmbCamera.ListIndex() < 0) cmbCamera.setListIndex(0);
        if (GAcqCondition.lCameraWidth == 0 || GAcqCondition.lCameraHeight == 0) {
            selectText(cmbResolution, "320,240");
            GAcqCondition.lCameraWidth = 320;
            GAcqCondition.lCameraHeight = 240;
        }
    }
    // The board and source restored above may have cleared the trigger setting through their
    // handlers; the stored value is the last word.
    std::string stored;
    {
        IniPathGuard ini(GstrSettingFile);
        stored = ReadIniString("frmCondition.chkTriggerSetting", "Value",
                               basic::CStr(chkTriggerSetting.Value()));
    }
    int32_t value = chkTriggerSetting.Value();
    storeWhole(stored, "[frmCondition.chkTriggerSetting] Value", value);
    setCheck(chkTriggerSetting, value);
    main.txtSettingFileName.setText(GstrSettingFile);
    main.SetCaption();
}

}  // namespace qv
