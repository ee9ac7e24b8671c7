// Calibration of channels from a calibration signal in the loaded page: level to level between
// the two calibration windows (the L-L boxes, in two steps: tick to show the windows, untick to
// measure) and peak to peak over the page (the P-P buttons, one step), each in a full-span and
// a half-span form. Every ticked channel of the recording gets its base and span in A/D counts
// written into the calibration table, and the measured places become calibration marks.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/channel/CCalcCAL.h"
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/TrelmImports.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_Monitor.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Dialogs.h"

namespace qv {

namespace {

enum Tool { kL2L = 0, kL2LHalf = 1, kP2P = 2, kP2PHalf = 3 };

// A record value as a whole count, nearest with halves to even; nothing when it has no 32-bit
// count (a huge or non-finite value in a calibration record).
bool toCount(float value, int32_t& out) {
    if (!std::isfinite(value) || std::fabs(value) >= 2147483647.0f) return false;
    out = basic::CLng(static_cast<double>(value));
    return true;
}

// A sample position minus the page start as an offset into the page, kept within 32 bits.
int32_t pageOffset(int32_t point, int32_t start) {
    const int64_t d = static_cast<int64_t>(point) - start;
    return static_cast<int32_t>(std::clamp<int64_t>(d, INT32_MIN, INT32_MAX));
}

// A calibration window [left, right) the level means read: an empty or reversed one reads
// nothing, any other must lie inside the page of n samples.
bool windowInsidePage(int32_t left, int32_t right, int32_t n) {
    return right <= left || (left >= 0 && right <= n);
}

// The measured places of one set: at most kCalMarkMax, moved from page offsets to sample
// positions; an empty set leaves the channel without marks.
void storeMarks(CalMarkArray& marks, std::array<float, 32>& counts, int32_t ch,
                const std::vector<float>& offsets, int32_t start) {
    const auto c = static_cast<size_t>(ch);
    if (offsets.empty()) {
        counts[c] = 0;
        return;
    }
    const int32_t n = std::min<int32_t>(static_cast<int32_t>(offsets.size()), kCalMarkMax);
    counts[c] = static_cast<float>(n);
    Trelm::S_ADDC(marks[c].data(), offsets.data(), static_cast<float>(start), n);
}

// After a run the cursor set is made anew with the measurement cursors at their default places
// and the marks drawn; a load in progress redraws once at its end instead.
void showRun(Acqisition& w, bool withButtons) {
    if (GAcqParam.GbLoading) return;
    int32_t left = -1, right = -1;
    w.SetCursor(left, right, true);
    w.PBXMoniDisp.Refresh();
    if (withButtons) w.ALL_BTN_ModeSet();
}

// A P-P button: one step in whatever mode is current.
void peakToPeak(Acqisition& w, int tool) {
    w.ClearCALMark();
    w.CalibrateTickedChannels(tool);
    showRun(w, false);
}

}  // namespace

void Acqisition::ClearCALMark() {
    for (auto& channel : GsngCalMark1) channel.fill(0.0f);
    for (auto& channel : GsngCalMark2) channel.fill(0.0f);
    GsngCalMarkCnt1.fill(0.0f);
    GsngCalMarkCnt2.fill(0.0f);
}

void Acqisition::DispAlartCAL() {
    forms::MsgBox("フィルターを利用した波形からCAL設定をしようとしています。\r\n"
                  "フィルターを利用していない波形（ＲのチェックボックスがOnの時に表示される赤線波形）"
                  "からCAL設定を行います。",
                  forms::vbExclamation);
    chkDispRaw.setValue(1);
}

void Acqisition::chkL2L_Click() { L2LBoxClicked(chkL2L, "L-L", kL2L); }
void Acqisition::chkL2LHalf_Click() { L2LBoxClicked(chkL2LHalf, "L-L/2", kL2LHalf); }

// Ticking only enters the mode with the calibration windows shown; unticking measures (unless
// code is clearing the box) and returns to "End". Loading redraws nothing here.
void Acqisition::L2LBoxClicked(forms::CheckBox& box, const char* mode, int tool) {
    ClearCALMark();
    GAcqParam.bL2LMode = box.Value() != 0;
    if (box.Value() == 1) {
        SetDispStatus(mode, false);
    } else {
        if (!bCalCheckReset) CalibrateTickedChannels(tool);
        SetDispStatus("End", false);
    }
    showRun(*this, true);
}

void Acqisition::cmdP2P_Click() { peakToPeak(*this, kP2P); }
void Acqisition::cmdP2PHalf_Click() { peakToPeak(*this, kP2PHalf); }

void Acqisition::CalibrateTickedChannels(int tool) {
    const monitor::ChannelSpan span = monitor::channelsOf(GAcqParam.Condition);
    for (int32_t i = span.first; i <= span.last; ++i)
        if (GAcqParam.lchkCal_Value[static_cast<size_t>(i)] == 1) CalibrateChannel(i, tool);
}

void Acqisition::CalibrateChannel(int32_t ch, int tool) {
    const AcqParam& p = GAcqParam;
    const int32_t n = p.lSweepPoint;
    const int32_t k = ch - (p.Condition.lStartCH - 1);  // the channel's column of the page
    if (!IsDataLoaded() || n <= 0 || k < 0 || k >= DispWaveArray.Channels() ||
        DispWaveArray.Points() < n)
        return;

    // The calibration in force now converts the page back to A/D counts; without a span
    // there are no counts to measure.
    const CalRecord& rec = (IsUseCal() ? GCalRecEU : GCalRecVolt)[static_cast<size_t>(ch)];
    int32_t base = 0, cal = 0;
    if (rec.EU_HI == rec.EU_LO || !toCount(rec.Base_AD, base) || !toCount(rec.Cal_AD, cal)) return;

    const int32_t start = p.lPosWAVE_Start;
    const int32_t l1 = pageOffset(p.Cal1_L_Point, start), r1 = pageOffset(p.Cal1_R_Point, start);
    const int32_t l2 = pageOffset(p.Cal2_L_Point, start), r2 = pageOffset(p.Cal2_R_Point, start);
    const bool levels = tool == kL2L || tool == kL2LHalf;
    if (levels && !(windowInsidePage(l1, r1, n) && windowInsidePage(l2, r2, n))) return;

    CCalcCAL& calc = GCCalcCAL;
    calc.Base_AD(base);
    calc.Cal_AD(cal);
    calc.EU_HI(rec.EU_HI);
    calc.EU_LO(rec.EU_LO);
    calc.Cur1LPos(l1);
    calc.Cur1RPos(r1);
    calc.Cur2LPos(l2);
    calc.Cur2RPos(r2);

    std::vector<float> first, second;
    try {
        const float* column = DispWaveArray.Channel(k);
        calc.SetWave(std::span<const float>(column, static_cast<size_t>(DispWaveArray.Points())), n);
        const float hysteresis = static_cast<float>(GAcqCondition.lP2PHist);
        switch (tool) {
            case kL2L: calc.Calc_L2L(first, second); break;
            case kL2LHalf: calc.Calc_L2LHalf(first, second); break;
            case kP2P: calc.Calc_P2P(0, n, hysteresis, first, second); break;
            default: calc.Calc_P2PHalf(0, n, hysteresis, first, second); break;
        }
    } catch (const basic::RuntimeError& e) {
        // Levels beyond 32-bit counts (a span of almost nothing) give no calibration.
        if (e.number() != basic::errOverflow) throw;
        WriteLog("CAL CH" + std::to_string(ch + 1) + ": " + e.what(), true);
        return;
    }

    storeMarks(GsngCalMark1, GsngCalMarkCnt1, ch, first, start);
    storeMarks(GsngCalMark2, GsngCalMarkCnt2, ch, second, start);
    const auto c = static_cast<size_t>(ch);
    if (GsngCalMarkCnt1[c] != 0 && GsngCalMarkCnt2[c] != 0) {
        txtBASEAD(ch).setText(basic::CStr(calc.ResBase_AD()));
        txtCALAD(ch).setText(basic::CStr(calc.ResCal_AD()));
    }
}

}  // namespace qv
