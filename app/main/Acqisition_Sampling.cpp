// The main window's sampling rate, time per full scale, sweep and preset counter: the rate
// catalogue behind cmbSampleFreq, the two list handlers with their confirmation and restore of
// the parameter record, the sweep-time synchronisation with the conditions window, and the preset
// count kept in step with its day/hour/minute/second boxes.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Dialogs.h"

namespace qv {

namespace {

// Raises a flag for the length of a scope and lowers it on every way out, so an error in a
// nested call never leaves a handler locked out for the rest of the run.
class RaisedFlag {
public:
    explicit RaisedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RaisedFlag() { flag_ = false; }
    RaisedFlag(const RaisedFlag&) = delete;
    RaisedFlag& operator=(const RaisedFlag&) = delete;

private:
    bool& flag_;
};

struct Rate {
    const char* text;
    int32_t hz;
};

// The seven base rates every board offers, then the higher ones in ascending order.
constexpr std::array<Rate, 7> kBaseRates{{{" 10 (Hz)", 10},
                                          {" 20 (Hz)", 20},
                                          {" 50 (Hz)", 50},
                                          {"100 (Hz)", 100},
                                          {"200 (Hz)", 200},
                                          {"500 (Hz)", 500},
                                          {" 1k (Hz)", 1000}}};
constexpr std::array<Rate, 8> kHighRates{{{" 2k (Hz)", 2000},
                                          {" 5k (Hz)", 5000},
                                          {"10k (Hz)", 10000},
                                          {"20k (Hz)", 20000},
                                          {"50k (Hz)", 50000},
                                          {"100k (Hz)", 100000},
                                          {"200k (Hz)", 200000},
                                          {"500k (Hz)", 500000}}};

// Index of " 1k (Hz)": the fallback, and what the board-31 rule selects.
constexpr int kIndex1k = 6;

// The most channels each higher rate allows on a board type: kNo never, kAny without limit.
constexpr int32_t kNo = -1;
constexpr int32_t kAny = INT32_MAX;
using RateLimits = std::array<int32_t, 8>;

RateLimits rateLimits(int32_t board) {
    switch (board) {
        case 5: return {kAny, kAny, 10, 5, 2, 1, kNo, kNo};
        case 6: return {kAny, kAny, kAny, 8, 4, 2, 1, 1};
        case 7: return {kAny, kAny, 8, 4, 2, kNo, kNo, kNo};
        case 10: return {kAny, kAny, kAny, 16, 8, 4, 2, kNo};
        case 11: return {kAny, kAny, kAny, kAny, 8, 4, 1, 1};
        case 12:
        case 13: return {4, 2, 1, kNo, kNo, kNo, kNo, kNo};
        case 14:
        case 15: return {kAny, kAny, 4, 2, kNo, kNo, kNo, kNo};
        case 16:
        case 25:
        case 28:
        case 31: return {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo};
        case 17:
        case 18: return {kAny, kAny, kAny, 8, 4, 2, 1, kNo};
        case 23:
        case 24: return {kAny, kAny, kAny, 4, 2, 1, kNo, kNo};
        case 26:
        case 27: return {kAny, 4, 2, 1, kNo, kNo, kNo, kNo};
        case 29:
        case 30: return {kAny, kAny, 16, 8, 4, 2, 1, kNo};
        default: return {kAny, kAny, kAny, kAny, 8, 4, 2, kNo};
    }
}

// Sweeps longer than this offer only the base rates.
constexpr double kLongSweepMs = 60000.0;

// Selects a stored list position; one the list does not have (a record from another list)
// leaves the selection as it is.
void selectStored(forms::ListControl& list, int32_t index) {
    if (index >= -1 && index < list.ListCount()) list.setListIndex(index);
}

// The item value of the selection, or false when nothing is selected.
bool selectedValue(const forms::ListControl& list, int32_t& value) {
    if (list.ListIndex() < 0) return false;
    value = list.ItemData(list.ListIndex());
    return true;
}

int32_t nearestLong(const std::string& text) { return basic::CLng(basic::Val(text)); }

}  // namespace

SamplingRates SamplingRateCatalogue(int32_t board, int32_t channels, const std::string& sweepTime) {
    SamplingRates items;
    for (const Rate& r : kBaseRates) items.emplace_back(r.text, r.hz);
    // A time beyond the number range counts as long: only the base rates.
    const auto ms = StoredNumber(sweepTime, "掃引時間");
    if (!ms || *ms > kLongSweepMs) return items;
    const RateLimits limits = rateLimits(board);
    for (size_t i = 0; i < kHighRates.size(); ++i)
        if (limits[i] != kNo && channels <= limits[i])
            items.emplace_back(kHighRates[i].text, kHighRates[i].hz);
    return items;
}

// ---- Sampling-rate catalogue ----

void Acqisition::SetSamplingRate(bool bMsg) {
    const std::string previous = cmbSampleFreq.ListIndex() >= 0 ? cmbSampleFreq.Text() : "";
    cmbSampleFreq.Clear();
    const AcqCondition& c = GAcqCondition;
    for (const auto& [text, hz] : SamplingRateCatalogue(c.lADBOARD, c.lCHCnt, c.strSWEEP_TIME)) {
        cmbSampleFreq.AddItem(text);
        cmbSampleFreq.setItemData(cmbSampleFreq.NewIndex(), hz);
    }
    if (previous.empty()) {
        cmbSampleFreq.setListIndex(kIndex1k);
        return;
    }
    const int found = cmbSampleFreq.FindExact(previous);
    if (found >= 0) {
        cmbSampleFreq.setListIndex(found);
        return;
    }
    if (Visible() && bMsg)
        forms::MsgBox("この設定では、" + previous +
                          "を選択することは出来ません。サンプリング周波数を 1k (Hz)に設定します。"
                          "条件を変更して再度サンプリング周波数を設定してください。",
                      forms::vbOKCancel | forms::vbExclamation, "サンプリング周波数");
    cmbSampleFreq.setListIndex(kIndex1k);
}

// ---- Sampling frequency ----

void Acqisition::cmbSampleFreq_Click() {
    if (bInCmbSampleFreqClick) return;
    RaisedFlag guard(bInCmbSampleFreqClick);
    GAcqParamBackup = GAcqParam;
    if (bInternalUpdate) return;

    int32_t hz = 0;
    // Nothing selected (a stored position of -1): there is no rate to take over.
    if (!selectedValue(cmbSampleFreq, hz)) return;

    if (IsVylS80Board() && hz < 500) {
        forms::MsgBox("PolymateMini利用時は500Hzか1kHz以外を設定できません。", forms::vbOKOnly);
        GAcqParam = GAcqParamBackup;
        cmbSampleFreq.setListIndex(kIndex1k);
        // The list now shows 1 kHz; the record says so too, so the two never disagree.
        GAcqParam.lcmbSampleFreq_ListIndex = kIndex1k;
        GAcqParam.nSample = basic::CLng(cmbSampleFreq.ItemData(kIndex1k) / 10.0);
        bInCmbSampleFreqClick = false;
        SetPolymateMiniSampleFreq();
        return;
    }

    if (IsDataLoaded() && IsGetADBoard()) {
        const int answer = forms::MsgBox(
            "Sampling Frequency (Hz) を更新します。\r\nSampling Frequency (Hz) "
            "を更新すると、データはすべて初期化されます。\r\nよろしいですか？",
            forms::vbOKCancel, "適用");
        if (answer != forms::vbOK) {
            GAcqParam = GAcqParamBackup;
            selectStored(cmbSampleFreq, GAcqParam.lcmbSampleFreq_ListIndex);
            return;
        }
    }

    GAcqParam.lcmbSampleFreq_ListIndex = cmbSampleFreq.ListIndex();
    GAcqParam.nSample = basic::CLng(hz / 10.0);

    txtFName.setText("");
    ClearAcqArrays();
    ClearFileNameGlobals();
    PBXMoniDisp.Refresh();

    if (IsModeEnd()) DispAlert();
    TXTPreSetCounter_LostFocus();
    bInCmbSampleFreqClick = false;
    if (Visible()) ALL_BTN_ModeSet();
    SetPolymateMiniSampleFreq();
}

void Acqisition::DispAlert() {
    if (cmbTimeFS.ListCount() == 0 || !Visible()) return;
    int32_t hz = 0, timeFsMs = 0;
    if (!selectedValue(cmbSampleFreq, hz) || !selectedValue(cmbTimeFS, timeFsMs)) return;
    if ((hz >= 5000 || timeFsMs < 1000) && GAcqCondition.strSYNC == "1") {
        forms::MsgBox(
            "警告：高いサンプリング周波数、多チャンネル、短い表示時間を設定された場合、"
            "取り込み中に動作が不安定になることがあります。",
            forms::vbOKOnly);
        RaisedFlag resetting(bCalCheckReset);
        if (chkL2L.Value() == 1) chkL2L.setValue(0);
        if (chkL2LHalf.Value() == 1) chkL2LHalf.setValue(0);
    }
}

// ---- Sweep ----

void Acqisition::SyncSweep() {
    // An older settings file may leave the flag empty: anything but the number 1 is off.
    try {
        if (basic::CLng(GAcqCondition.strSYNC) != 1) return;
    } catch (const basic::RuntimeError&) {
        return;
    }
    RaisedFlag loading(GAcqParam.GbLoading);
    int32_t timeFsMs = 0;
    if (selectedValue(cmbTimeFS, timeFsMs)) GAcqCondition.strSWEEP_TIME = std::to_string(timeFsMs);
    RaisedFlag internal(bInternalUpdate);
    frmCondition& conditions = frmCondition::instance();
    conditions.SetCondition(false, 0);
    conditions.LoadObjectValue();
    conditions.SaveObjectValue();
}

void Acqisition::cmbTimeFS_Click() {
    if (GAcqParam.GbLoading) return;
    if (bInCmbTimeFSClick) {
        // A selection made by the handler itself: only the control states are refreshed.
        ALL_BTN_ModeSet();
        bInCmbTimeFSClick = false;
        return;
    }
    RaisedFlag guard(bInCmbTimeFSClick);
    GAcqParamBackup = GAcqParam;
    SubPrg_NotifyChangeSetting();

    // Steps 5 to 9; skipped for a change made while settings are applied with triggered sweeps.
    const auto storeAndReload = [this] {
        bCalCheckReset = false;
        if (IsModeEnd()) DispAlert();
        if (GAcqParam.nSClock == 0) return;
        int32_t timeFsMs = 0;
        if (!selectedValue(cmbTimeFS, timeFsMs)) return;
        const int64_t us = static_cast<int64_t>(timeFsMs) * 1000;
        if (us > INT32_MAX || us < INT32_MIN) basic::raiseError(basic::errOverflow);
        const int32_t points = basic::CLng(static_cast<double>(us) / GAcqParam.nSClock);
        if (points > kMaxSweepPoints) {
            // A page this long cannot be held in memory: keep the previous time scale.
            forms::MsgBox("この表示時間では 1 画面の点数 (" + std::to_string(points) +
                              ") が多すぎます。"
                              "表示時間を短くするか、サンプリング周波数を下げてください。",
                          forms::vbOKOnly | forms::vbExclamation);
            GAcqParam = GAcqParamBackup;
            selectStored(cmbTimeFS, GAcqParam.lcmbTimeFS_ListIndex);
            return;
        }
        GAcqParam.lcmbTimeFS_ListIndex = cmbTimeFS.ListIndex();
        GAcqParam.lSweepPoint = points;
        if (GAcqCondition.strSYNC == "1") SyncSweep();

        if (!IsDataLoaded()) return;
        DispWaveArray.Erase();
        ConvWaveArray.Erase();
        const int64_t rawWords = static_cast<int64_t>(GAcqParam.wCh) * GAcqParam.lSweepPoint;
        if (rawWords < 0) basic::raiseError(basic::errSubscript);
        RawSampleBuffer.assign(static_cast<size_t>(rawWords), 0);
        DispWaveArray.Redim(32, GAcqParam.lSweepPoint + 1);
        ConvWaveArray.Redim(32, GAcqParam.lSweepPoint + 1);
        CheckMove();
        LoadWave_Sweep(GAcqParam.lPosWAVE_Start);
        SetCursor(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, true);
        PBXMoniDisp.Refresh();
    };

    bool run = true;
    if (IsTriggerSetting()) {
        if (bInternalUpdate) {
            run = false;
        } else if (IsDataLoaded() && IsModeEnd()) {
            const int answer = forms::MsgBox(
                "測定状態を変更すると、データはすべて初期化されます。よろしいですか？",
                forms::vbOKCancel, "適用");
            if (answer != forms::vbOK) {
                GAcqParam = GAcqParamBackup;
                selectStored(cmbTimeFS, GAcqParam.lcmbTimeFS_ListIndex);
                bInCmbTimeFSClick = false;
            } else {
                ClearAcqArrays();
                ClearFileNameGlobals();
            }
        }
    }
    if (run) storeAndReload();
    ALL_BTN_ModeSet();
}

void Acqisition::DispLoadedCondition() {
    SetSamplingRate(false);
    LBLDateTime.setCaption(basic::CStrDate(GAcqParam.Date_Time_Start));
    LBLTimer.setCaption(basic::CStr(GAcqParam.NTimer));
    LBLTime.setCaption(GetDaysStr(GAcqParam.NTimer) + " " +
                       basic::Format(basic::TimeSerial(0, 0, GAcqParam.NTimer), "hh:mm:ss"));
    LBLTimerPreSet.setCaption(
        basic::CStr(IsTriggerSetting() ? GAcqParam.NFrame : GAcqParam.NTimer));
    TXTPreSetCounter.setText(basic::CStr(GAcqParam.NTimerPreSet));
    // A value a check box cannot take (a damaged file) leaves that box as it is.
    const auto setCheck = [](forms::CheckBox& box, int16_t value) {
        if (value >= 0 && value <= 2) box.setValue(value);
    };
    for (int i = 0; i < 32; ++i) setCheck(CHKWaveNo(i), GAcqParam.CHKWaveNo[i]);
    for (int i = 0; i < 32; ++i) setCheck(chkCal(i), GAcqParam.lchkCal_Value[i]);
    selectStored(cmbSampleFreq, GAcqParam.lcmbSampleFreq_ListIndex);
    txtEndTime.setText(basic::CStr(GAcqParam.sngEndCSVTime));
    txtStartTime.setText(basic::CStr(GAcqParam.lStartCSVTime));
    selectStored(cmbTimeFS, GAcqParam.lcmbTimeFS_ListIndex);
    t1.setText(basic::CStr(GAcqParam.TrgLevelD));
    t2.setText(basic::CStr(GAcqParam.TrgLevelU));
}

// Hooks for the acquisition front ends; nothing to tell here.
void Acqisition::SetPolymateMiniSampleFreq() {}
void Acqisition::SubPrg_NotifyChangeSetting() {}

// ---- Preset counter and duration ----

void Acqisition::TXTPreSetCounter_LostFocus() {
    // A count beyond a Long (a damaged settings file) gives way to the one in use.
    if (!StoredLong(TXTPreSetCounter.Text(), "プリセットカウンタ"))
        TXTPreSetCounter.setText(basic::CStr(std::max<int32_t>(GAcqParam.NTimerPreSet, 1)));
    if (basic::Val(TXTPreSetCounter.Text()) < 1) TXTPreSetCounter.setText("1");
    const int32_t limit = IsUseSubPrgJINS() ? CalcPresetLimitJINS() : CalcPresetLimit();
    if (limit != -1) {
        if (basic::Val(TXTPreSetCounter.Text()) > limit)
            TXTPreSetCounter.setText(basic::CStr(limit));
        int32_t count = nearestLong(TXTPreSetCounter.Text());
        SyncPreset(count, 1);
    }
    GAcqParam.NTimerPreSet = nearestLong(TXTPreSetCounter.Text());
}

void Acqisition::SyncPreset(int32_t& count, int32_t) {
    const int32_t limit = CalcPresetLimit();
    if (limit != -1 && limit < count) count = limit;
    TXTPreSetCounter.setText(basic::CStr(count));
    txtDD.setText(GetDaysStr(count));
    txtHH.setText(GetHoursStr(count));
    txtMM.setText(GetMinutesStr(count));
    txtSS.setText(GetSecondsStr(count));
}

namespace {

// Hours above 23 (minutes, seconds above 59) become the top; a non-number becomes 0.
void keepInRange(forms::TextBox& box, int top) {
    const auto v = StoredNumber(box.Text(), box.Name());
    if (!v) box.setText("0");
    else if (*v > top) box.setText(std::to_string(top));
    if (!basic::IsNumeric(box.Text())) box.setText("0");
}

}  // namespace

void Acqisition::txtDD_Change() {}
void Acqisition::txtHH_Change() { keepInRange(txtHH, 23); }
void Acqisition::txtMM_Change() { keepInRange(txtMM, 59); }
void Acqisition::txtSS_Change() { keepInRange(txtSS, 59); }

void Acqisition::txtDD_LostFocus() {
    // A span beyond a Long gives way to the count in use, as a count beyond it does.
    int32_t count = DHMSToSec(txtDD.Text(), txtHH.Text(), txtMM.Text(), txtSS.Text())
                        .value_or(std::max<int32_t>(GAcqParam.NTimerPreSet, 1));
    SyncPreset(count, 2);
}
void Acqisition::txtHH_LostFocus() { txtDD_LostFocus(); }
void Acqisition::txtMM_LostFocus() { txtDD_LostFocus(); }
void Acqisition::txtSS_LostFocus() { txtDD_LostFocus(); }

}  // namespace qv
