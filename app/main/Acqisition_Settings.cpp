// Settings files of the main window: saving and loading the controls of the three windows that
// make up the settings, RESTORE, the amplifier selection, the copy of the window's controls into
// the parameter record, and the companion programs' named properties applied to controls.
#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/channel/CBoard.h"
#include "app/channel/frmCondition.h"
#include "app/channel/frmSelectAmp.h"
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/frmMessage.h"
#include "app/common/modCommon.h"
#include "app/common/modFile.h"
#include "app/common/modIniFile.h"
#include "app/common/modSetting.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Dialogs.h"

namespace qv {

namespace {

constexpr int kErrSilent = 32755;

// The common exit of a settings save or load, on every way out.
struct SettingsClosing {
    Acqisition& w;
    ~SettingsClosing() {
        ClosingStep("SETTING closing", [this] {
            w.SetDispStatus("End", true);
            w.setEnabled(true);
            w.cmdQUIT.setEnabled(true);
            ShowMessage(false, "", "", false, false);
            w.ALL_BTN_ModeSet();
        });
        ClosingStep("SETTING closing", [this] { w.setEnabled(true); });
    }
};

// A settings save or load: the window and the quit button disabled, the file named when it is
// not, run-time errors reported, and the common exit on every way out.
template <class Body>
void settingsOperation(Acqisition& w, Body body) {
    if (w.bInSettingsFile) return;
    Acqisition::RaisedFlag running(w.bInSettingsFile);
    w.setEnabled(false);
    w.cmdQUIT.setEnabled(false);
    w.ALL_BTN_ModeSet();
    SettingsClosing closing{w};
    try {
        if (GstrSettingFile.empty()) GstrSettingFile = ProgramFile("SETTING.SET");
        body();
    } catch (const basic::RuntimeError& e) {
        if (e.number() != kErrSilent)
            forms::MsgBox("File Error CODE= " + basic::Str(e.number()) + "    AT LOAD(Data)-Sub.", forms::vbOKOnly);
    }
}

// A text converted strictly into `field`; a text that does not convert leaves it as it was.
template <class T, class Convert>
void storeStrict(T& field, const std::string& text, Convert convert) {
    try {
        field = convert(text);
    } catch (const basic::RuntimeError&) {
    }
}

// Controls the collection never sets, by (window, control).
constexpr std::array<std::pair<std::string_view, std::string_view>, 15> kNotApplied = {{
    {"Acqisition", "TXTPreSetCounter"},
    {"Acqisition", "optStorage"},
    {"Acqisition", "optMonitor"},
    {"Acqisition", "optCalAcq"},
    {"Acqisition", "optCalDisp"},
    {"frmCondition", "chkTriggerSetting"},
    {"frmCondition", "chkSingleDispMode"},
    {"frmCondition", "optAnalogLevelTrigger"},
    {"frmCondition", "txtAnalogLevelTriggerD"},
    {"frmCondition", "txtAnalogLevelTriggerU"},
    {"frmCondition", "cmbCompCH"},
    {"frmCondition", "optGetADBoard"},
    {"frmCondition", "optGetRemoteHost"},
    {"frmCondition", "txtIP"},
    {"frmCondition", "chkTerminalMode"},
}};

}  // namespace

void Acqisition::cmdSaveSetting_Click() {
    settingsOperation(*this, [&] {
        SetDispStatus("SAVE COND", true);
        ShowMessage(true, "Now Saving", "Please Wait", false, false);
        // A file that cannot be written is reported there, once.
        frmCondition& condition = frmCondition::instance();
        condition.SaveParamAll();
        condition.SaveParamAllXML();
    });
}

void Acqisition::cmdLoadSetting_Click() {
    settingsOperation(*this, [&] {
        const LogIgnoredOnce once;  // the range test and the restore read the same values
        WriteLog("LOAD COND. " + GstrSettingFile, true);
        SetDispStatus("LOAD COND", true);
        // A loaded recording is cleared, after asking, before the local board's settings or a
        // file of other channels are applied over it.
        if (IsDataLoaded() && (IsGetADBoard() || frmCondition::instance().StoredChannelRangeDiffers(
                                                     GAcqParam.Condition.lStartCH, GAcqParam.Condition.lEndCH))) {
            if (forms::MsgBox("測定状態を変更すると、データはすべて初期化されます。よろしいですか？", forms::vbOKCancel,
                              "適用") != forms::vbOK)
                return;
            ClearAcqArrays();
        }
        SetDispStatus("ReadSet", true);
        ShowMessage(true, "Now Loading", "Please Wait", false, true);
        ApplyStoredSettings();
        lRangeRowEU = 0;
        lRangeRowRaw = 0;
        SyncSweep();
        chkUseCAL_Click();
        SettingCollection.Clear();
        SetDispStatus("End", true);
    });
}

void Acqisition::cmdLoadREGIST_Click() {
    if (bInLoadREGIST) return;
    RaisedFlag running(bInLoadREGIST);
    GAcqParamBackup = GAcqParam;
    if (bInternalUpdate) return;
    if (IsDataLoaded() &&
        forms::MsgBox("RESTOREすると、データはすべて初期化されます。よろしいですか？", forms::vbOKCancel, "適用") !=
            forms::vbOK) {
        GAcqParam = GAcqParamBackup;
        return;
    }
    ClearAcqArrays();
    {
        RaisedFlag request(bAutoCall);
        cmdLoadSetting_Click();
        cmdCAMChange_Click();
    }
    PBXMoniDisp.Refresh();
}

void Acqisition::cmdSelectAmp_Click() {
    if (FindFile(ProgramFile("AmpDef.ini"), true).empty()) {
        forms::MsgBox(std::string("SELECT AMP できません。\r\n") + "AmpDef.ini" +
                          "ファイルがありません。生体アンプの定義ファイルが無い場合、この画面の機能を利用することはできません。\r\n" +
                          "AmpDef.ini" + "ファイルが C:\\Tolvane\\ にある状態にしてください。",
                      forms::vbExclamation);
        return;
    }
    SetDispStatus("SEL AMP", true);
    CBoard& board = CBoard::instance();
    frmSelectAmp& amp = frmSelectAmp::instance();
    amp.setBoardBit(board.BordBit(board.SelectBoard()));
    amp.Show(forms::vbModal);
    SetDispStatus("End", true);
}

void Acqisition::SaveObjectValue() {
    AcqParam& a = GAcqParam;
    storeStrict(a.NTimerPreSet, TXTPreSetCounter.Text(), [](const std::string& t) { return basic::CLng(t); });
    const auto single = [](const std::string& t) { return basic::CSng(t); };
    for (int32_t i = 0; i < 32; ++i) {
        storeStrict(a.DR_WaveHi[static_cast<size_t>(i)], GetTxtDR_WaveHi(i).Text(), single);
        storeStrict(a.DR_WaveLo[static_cast<size_t>(i)], GetTxtDR_WaveLo(i).Text(), single);
    }
    for (int32_t i = 0; i < 32; ++i) a.CHKWaveNo[static_cast<size_t>(i)] = static_cast<int16_t>(CHKWaveNo(i).Value());
    a.lcmbSampleFreq_ListIndex = cmbSampleFreq.ListIndex();
    for (int32_t i = 0; i < 32; ++i) a.lchkCal_Value[static_cast<size_t>(i)] = static_cast<int16_t>(chkCal(i).Value());
    // The range boxes take the leading number of their text; one beyond the field's range
    // leaves the field as it was.
    storeStrict(a.sngEndCSVTime, txtEndTime.Text(), [](const std::string& t) { return basic::CSng(basic::Val(t)); });
    storeStrict(a.lStartCSVTime, txtStartTime.Text(), [](const std::string& t) { return basic::CLng(basic::Val(t)); });
    a.lcmbTimeFS_ListIndex = cmbTimeFS.ListIndex();
}

void Acqisition::ApplySettingCollection() {
    for (int32_t p = 1; p <= SettingCollection.Count(); p += 2) {
        const std::string name = SettingCollection.Item(p);
        const std::string value = SettingCollection.Item("VAL=" + name);
        const std::vector<std::string> parts = basic::Split(name, ".");
        if (parts.size() < 4 || parts[0] != "PROPERTY") continue;
        const bool excluded = std::any_of(kNotApplied.begin(), kNotApplied.end(), [&](const auto& pair) {
            return pair.first == parts[1] && pair.second == parts[2];
        });
        if (!excluded) SetControlProperty(parts[1], parts[2], parts[3], value);
    }
}

void Acqisition::ApplyStoredSettings() {
    // Down again on every way out, so the lists and RESTORE are not left muted.
    RaisedFlag internal(bInternalUpdate);
    // The stored values are read twice below; one ignored is logged once.
    const LogIgnoredOnce once;
    frmCondition& condition = frmCondition::instance();
    condition.InitForm();
    condition.LoadParamAll();
    condition.SaveObjectValue();
    condition.SetCondition(true, true);
    condition.LoadParamAll();
}

}  // namespace qv
