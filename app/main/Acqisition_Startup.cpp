// The main window's start: the load sequence that prepares every shared object, list and
// setting, the boot timer that finishes the start once the window shows, the channel colours
// and the captions that tell host and terminal apart.
#include <string>

#include "app/camera/frmCAMDisp.h"
#include "app/channel/AmpCalTable.h"
#include "app/channel/CCalSetting.h"
#include "app/channel/CWave.h"
#include "app/channel/frmCondition.h"
#include "app/common/DaskBase.h"
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/frmMessage.h"
#include "app/common/modCalRecord.h"
#include "app/common/modCommand.h"
#include "app/common/modCommon.h"
#include "app/common/modFile.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "platform/basic/Numbers.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Globals.h"
#include "platform/kernel/Paths.h"

namespace qv {

std::vector<std::unique_ptr<CWave>> Acqisition::GCWave;
std::function<std::shared_ptr<Acqisition::OutsideComponent>(const std::string&)>
    Acqisition::CreateObject = [](const std::string&) {
        return std::shared_ptr<Acqisition::OutsideComponent>();
    };

namespace {

constexpr const char* kProductName = "Quorvane";
constexpr int32_t kRawSampleWords = 2000000;

// The time-per-full-scale list: its text and its milliseconds.
struct TimeFsItem {
    const char* text;
    int32_t ms;
};
constexpr TimeFsItem kTimeFs[] = {
    {"1  (msec/F.S.)", 1},      {"2  (msec/F.S.)", 2},      {"5  (msec/F.S.)", 5},
    {"10 (msec/F.S.)", 10},     {"20 (msec/F.S.)", 20},     {"50 (msec/F.S.)", 50},
    {"100(msec/F.S.)", 100},    {"200(msec/F.S.)", 200},    {"500(msec/F.S.)", 500},
    {"1  (sec/F.S.)", 1000},    {"2  (sec/F.S.)", 2000},    {"5  (sec/F.S.)", 5000},
    {"10 (sec/F.S.)", 10000},   {"20 (sec/F.S.)", 20000},   {"30 (sec/F.S.)", 30000},
    {"60 (sec/F.S.)", 60000},   {"120 (sec/F.S.)", 120000}, {"180 (sec/F.S.)", 180000},
    {"300 (sec/F.S.)", 300000}, {"600 (sec/F.S.)", 600000},
};
constexpr int32_t kSamplePoints[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};

const std::string kTermMark = [] {
    std::string one = "[Term]";
    for (int i = 0; i < 10; ++i) one += "・";
    return one + one + one;
}();

// "  1", " 10", "100", "1000": right-aligned in three characters.
std::string pointText(int32_t n) {
    std::string t = std::to_string(n);
    return t.size() < 3 ? std::string(3 - t.size(), ' ') + t : t;
}

// The integer a settings text holds; `fallback` when it is not one.
int32_t integerOr(const std::string& text, int32_t fallback) {
    if (!basic::IsNumeric(text)) return fallback;
    try {
        return basic::CLng(basic::Val(text));
    } catch (const basic::RuntimeError&) {
        return fallback;
    }
}

}  // namespace

void Acqisition::Form_Load() {
    // 1. The system ini; the companion flag read back later is always cleared first.
    SetIniFileName(ProgramFile("Tolvane.ini"));
    WriteIniString("CTRL", "Acqisition2.chkMakePSG.Value", "0");
    // 2-5. Message window, command line, instance mode.
    ShowMessage(true, std::string(kProductName) + " 起動中", "しばらくお待ちください。", true);
    GstrMode = "1";
    GAcqParam.GbLoading = true;
    ParseCommandLine();
    InstanceMode = GetMode();
    if (GetMode() == 2)
        (void)IsTermAlive();
    else
        (void)IsHostAlive();
    // 6. Without the amplifier definitions nothing can be set up.
    if (FindFile(ProgramFile("AmpDef.ini"), false).empty()) {
        forms::MsgBox("AmpDef.ini" + std::string("ファイルがありません。プログラムを起動することはできません。"),
                      forms::vbExclamation | forms::vbOKOnly);
        forms::End();
    }
    // 7. Tell other programs of the installation that a start is under way.
    SetIniFileName(ProgramFile("SHARE.SHR"));
    WriteIniString("SETTING", "APPCLOSE", "1");
    DoEventsWait(100);
    WriteIniString("SETTING", "APPCLOSE", "0");
    // 8. The layout is made for 96 DPI.
    if (forms::Screen.TwipsPerPixelX() != 15 || forms::Screen.TwipsPerPixelY() != 15)
        forms::MsgBox("画面のDPI設定が96DPIではありません。画面の正常な表示が行えない可能性があります。",
                      forms::vbInformation | forms::vbOKOnly);
    // 9-12. Buffers, priority, colours, watchdog limit.
    RawSampleBuffer.assign(kRawSampleWords, 0);
    RaisePriority();
    GetCHColorAll();
    SetIniFileName(ProgramFile("SETTING.SET"));
    GlwdtCnt = 10000;
    GlwdtCnt = integerOr(ReadIniString("GLOBAL", "GlwdtCnt", "10000"), 10000);
    // 13-14. Channel buffers and graph defaults.
    GCWave.clear();
    for (int i = 0; i < 32; ++i) GCWave.push_back(std::make_unique<CWave>());
    InitGraphDefaults();
    // 15-17. The lists.
    SetSamplingRate(false);
    cmbSampleFreq.setListIndex(6);
    cmbSamplePoint.Clear();
    for (int32_t n : kSamplePoints) {
        cmbSamplePoint.AddItem(pointText(n));
        cmbSamplePoint.setItemData(cmbSamplePoint.NewIndex(), n);
    }
    cmbTimeFS.Clear();
    for (const TimeFsItem& item : kTimeFs) {
        cmbTimeFS.AddItem(item.text);
        cmbTimeFS.setItemData(cmbTimeFS.NewIndex(), item.ms);
    }
    cmbTimeFS.setListIndex(11);
    // 18. The channel rows 1..31 and the row separators.
    loadChannelRows();
    // 19-20. State, presets, mode.
    InitGlobals();
    Set_Object_Initial();
    SaveObjectValue();
    InitAmpCalTable();
    SetDispStatus("End", true);
    ALL_BTN_ModeSet();
    // 21-23. The graph and cursors: the first call into the library loads it.
    int32_t left = -1, right = -1;
    SetCursor(left, right, true);
    DispCurValue();
    GAcqParam.GbLoading = false;
    // 24-25. Channel table and display options.
    bCaptionToggle = true;
    bCaption3Toggle = true;
    chkDispTable_Click();
    optS.setValue(true);
    optMonitor.setValue(true);
    // 26-28. The stored settings, applied to the conditions and this window.
    GstrSettingFile = ProgramFile("SETTING.SET");
    ApplyStoredSettings();
    SyncSweep();
    // 30. The calibration sets: what the library holds, shown and copied.
    loadCalibrationSets();
    chkUseCAL_Click();
    // 32-36.
    Timer2.setEnabled(true);
    DispCurLabelName();
    lblGetTime.setVisible(false);
    recordLayout();
    ReadDetectR();
    ReadUseSubPrg();
    ReadTolvaneCTRL();
    chkDispBUFF_SWEEP_F.setValue(0);
    chkDispFolder.setValue(0);
    chkDispMarkAndMove.setValue(0);
    Acqisition2& hidden = Acqisition2::instance();
    hidden.chkDispVylB50.setValue(0);
    hidden.chkDispCAM_TEST.setValue(0);
    hidden.chkAutoACQ.setValue(0);
    ALL_BTN_ModeSet();
    // 37. The shared-data component exists only where installed; without it the program goes on.
    if (IsBlobrelayOn()) {
        sharedData = CreateObject("Blobrelay.CBlobrelay_");
        if (!sharedData) WriteLog("Blobrelay.CBlobrelay_ を作成できません。共有データなしで続けます。", true);
    }
    // 38-44.
    timBoot.setEnabled(true);
    ShowMessage(false, "", "", false);
    TXTPreSetCounter_LostFocus();
    txtDR_WaveInput.setLeft(-9999);
    if (FindFile("C:\\DATA_QV", false).empty()) kernel::makeDirectory("C:\\DATA_QV");
    if (IsVylS80Board()) SetPolymateMiniSampleFreq();
    timBootSubPrg.setEnabled(true);
}

void Acqisition::loadChannelRows() {
    auto load = [](auto& arr, int upTo) {
        for (int i = 1; i <= upTo; ++i)
            if (arr.UBound() < i) arr.Load(i);
    };
    load(txtName, 31); load(txtUnit, 31); load(txtEUHI, 31); load(txtEULO, 31);
    load(txtCALAD, 31); load(txtBASEAD, 31); load(CHKWaveNo, 31); load(lblNoName, 31);
    load(lblNoName_2, 31); load(lblNoName_3, 31); load(lblNoName_3R, 31);
    load(txtNoName_3, 31); load(txtNoName_3R, 31); load(lblCurLevel_L, 31);
    load(lblCurLevel_R, 31); load(lblCurLevel_LR, 31); load(txtDR_WaveHi, 31);
    load(txtDR_WaveHi_V, 31); load(txtDR_WaveLo, 31); load(txtDR_WaveLo_V, 31);
    load(chkCopy, 31); load(chkCopy_V, 31); load(lblUnit, 31); load(chkCal, 31);
    load(lblDiv, 31);
    load(Line1, 32 / 4 - 1);
}

void Acqisition::loadCalibrationSets() {
    GCCalSettingAcq = CCalSetting();
    GCCalSettingAcq.GETCAL();
    std::string names, units;
    CalToArray(GCalRecEU, names, units, GCCalSettingAcq, 1, 32);
    GstrCalNames = CalTextLSet(names);
    GstrCalUnits = CalTextLSet(units);
    GCCalSettingDisp = CCalSetting();
    GCCalSettingAcq.Clone(GCCalSettingDisp);
    DispCalLogged(GCCalSettingDisp, GAcqCondition.lStartCH, GAcqCondition.lEndCH);
    GCCalSettingCopy = CCalSetting();
    GCCalSettingAcq.Clone(GCCalSettingCopy);
    // The copy takes the records and texts back; the buffers keep their names (handing the
    // buffers themselves over would leave them blank, as the copy consumes the texts it reads).
    std::string namesLeft = GstrCalNames, unitsLeft = GstrCalUnits;
    ArrayToCal(GCalRecEU, namesLeft, unitsLeft, GCCalSettingCopy, 1, 32);
}

void Acqisition::GetCHColorAll() {
    for (int32_t i = 0; i < 32; ++i) channelColors[static_cast<size_t>(i)] = GetChannelColor(i);
}

int32_t Acqisition::CHColor(int32_t ch) const {
    if (ch < 0 || ch > 31) basic::raiseError(9);
    return channelColors[static_cast<size_t>(ch)];
}

// Several instances may run side by side: neither test ever finds the other.
bool Acqisition::IsHostAlive() const { return false; }
bool Acqisition::IsTermAlive() const { return false; }

// A second host beside a running one would be turned away here; the test never finds one.
void Acqisition::Check2重起動() {
    if (forms::App.PrevInstance() && InstanceMode != 2) (void)IsHostAlive();
}

int32_t Acqisition::GetMode() const { return integerOr(GstrMode, 0); }

void Acqisition::SetCaption() {
    const std::string host = JoinBy2Spaces(kProductName, kVersionText, "[Host]");
    const std::string term = JoinBy2Spaces(kProductName, kVersionText, kTermMark);
    frmCondition& condition = frmCondition::instance();
    switch (InstanceMode) {
    case 1:
        setCaption(host);
        condition.setCaption("Condition [Host]");
        break;
    case 2:
        setCaption(term);
        condition.setCaption("Condition [Term]");
        break;
    case 0:
        if (forms::App.PrevInstance()) {
            setCaption(term);
            condition.setCaption("Condition [Term]");
        } else if (IsGetRemoteHost()) {
            setCaption(host);
        } else {
            condition.setCaption("Condition [Host]");
        }
        break;
    default:
        break;
    }
}

void Acqisition::timBoot_Timer() {
    // The start's own pending-events calls can bring the tick before the window is shown; the
    // boot actions and their messages wait for the window, and the timer stays armed for them.
    if (!Visible()) return;
    ParseCommandLine();
    if (!GstrSet.empty()) {
        bAutoCall = true;
        cmdLoadSetting_Click();
        bAutoCall = false;
    }
    if (!GstrMode.empty()) {
        bAutoCall = true;
        cmdLoadSetting_Click();
        ReadTolvaneCTRL();
        bAutoCall = false;
        txtMode.setText(std::to_string(InstanceMode));
    }
    if (!GstrKdat.empty()) {
        bAutoCall = true;
        cmdLoad_Click();
        bAutoCall = false;
    }
    SetCaption();
    ReadPosition(*this, true);
    ReadPosition(frmCAMDisp::instance(), false);
    timBoot.setEnabled(false);
    lblCALStatus.setVisible(false);
}

// Delivers Shift+Enter to the window's key handling once.
void Acqisition::timAutoACQ_Timer() {
    timAutoACQ.setEnabled(false);
    int key = 13;
    Form_KeyDown(key, 1);
}

}  // namespace qv
