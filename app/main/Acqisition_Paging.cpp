// Paging through a loaded recording: the nine move buttons, the go-to box, the clamp every
// change of the display start ends in, and the "Range" label that copies one channel's display
// range to the channels below it.
#include <cstdint>
#include <limits>
#include <optional>

#include "app/camera/frmCAMDisp.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"

namespace qv {

CalMarkArray GsngCalMark1{};
CalMarkArray GsngCalMark2{};
std::array<float, 32> GsngCalMarkCnt1{};
std::array<float, 32> GsngCalMarkCnt2{};

namespace {

// Sums and differences of display positions in 32 bits; leaving the range is error 6.
int32_t add32(int32_t a, int64_t b) {
    const int64_t r = static_cast<int64_t>(a) + b;
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
        basic::raiseError(basic::errOverflow);
    return static_cast<int32_t>(r);
}

// The item value of the selected time scale (milliseconds a full scale); a list without a
// selection counts as a scale of seconds.
int32_t selectedTimeFsMs(const forms::ComboBox& list) {
    const int i = list.ListIndex();
    return i >= 0 ? list.ItemData(i) : 1000;
}

}  // namespace

void Acqisition::CheckMove() {
    const AcqParam& p = GAcqParam;
    int32_t pos = p.lPosWAVE_Start;
    if (static_cast<int64_t>(pos) + p.lSweepPoint > p.PTotal) pos = add32(p.PTotal, -int64_t{p.lSweepPoint});
    if (pos < 0) pos = 0;
    GAcqParam.lPosWAVE_Start = pos;
}

// Every move button: the calibration marks of the old page go, the new start is clamped, the
// page is read again and the cursors, the picture and the camera frames follow.
void Acqisition::MoveDisplayTo(int32_t newStart, bool eraseCalMarks) {
    if (eraseCalMarks) {
        for (auto& channel : GsngCalMark1) channel.fill(0.0f);
        for (auto& channel : GsngCalMark2) channel.fill(0.0f);
    }
    GAcqParam.lPosWAVE_Start = newStart;
    CheckMove();
    int32_t count = kOnePage;
    LoadWave_Sweep(GAcqParam.lPosWAVE_Start, count);
    SetCursor(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, true);
    PBXMoniDisp.Refresh();
    if (IsCameraEnabled(GstrKparFile, false))
        frmCAMDisp::instance().DispFlamePos(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point);
}

// One second (or one millisecond of samples on the millisecond scales, or nSample samples with
// the trigger setting on) as a signed step.
int32_t Acqisition::OneSecondStep(int32_t sign) {
    const int32_t start = GAcqParam.lPosWAVE_Start;
    if (IsTriggerSetting()) return add32(start, int64_t{sign} * GAcqParam.nSample);
    const int32_t rate = GAcqParam.lSampleFreqHz;
    if (selectedTimeFsMs(cmbTimeFS) < 1000) return basic::CLng(start + sign * (rate / 1000.0));
    return add32(start, int64_t{sign} * rate);
}

void Acqisition::cmdMove_Click() { MoveDisplayTo(GAcqParam.lMoveWAVE_Start, false); }

void Acqisition::cmdMoveNext_Click() {
    MoveDisplayTo(add32(GAcqParam.lPosWAVE_Start, GAcqParam.lSweepPoint), true);
}

void Acqisition::cmdMovePrev_Click() {
    MoveDisplayTo(add32(GAcqParam.lPosWAVE_Start, -int64_t{GAcqParam.lSweepPoint}), true);
}

void Acqisition::cmdMoveNextH_Click() {
    MoveDisplayTo(basic::CLng(GAcqParam.lPosWAVE_Start + GAcqParam.lSweepPoint / 2.0), true);
}

void Acqisition::cmdMovePrevH_Click() {
    MoveDisplayTo(basic::CLng(GAcqParam.lPosWAVE_Start - GAcqParam.lSweepPoint / 2.0), true);
}

void Acqisition::cmdMoveNext1Sec_Click() { MoveDisplayTo(OneSecondStep(1), true); }
void Acqisition::cmdMovePrev1Sec_Click() { MoveDisplayTo(OneSecondStep(-1), true); }

void Acqisition::cmdMoveNextFirst_Click() {
    MoveDisplayTo(add32(GAcqParam.PTotal, -int64_t{GAcqParam.lSweepPoint}), true);
}

void Acqisition::cmdMovePrevFirst_Click() { MoveDisplayTo(0, true); }

// The go-to box only stores its target; MOVE or Enter goes there.
void Acqisition::txtMoveTime_Change() {
    // A target beyond the Long range is the recording's start or end; MOVE clamps it to a page.
    const double value = basic::TypedVal(txtMoveTime.Text());
    if (IsTriggerSetting())
        GAcqParam.lMoveWAVE_Start = PointOrRecordingEnd((basic::Fix(value) - 1.0) * GAcqParam.lSweepPoint);
    else
        GAcqParam.lMoveWAVE_Start = PointOrRecordingEnd(value * GAcqParam.nSample * 10.0);
}

void Acqisition::txtMoveTime_KeyDown(int& KeyCode, int) {
    if (KeyCode != 13) return;
    cmdMove_Click();
    txtMoveTime.setSelStart(0);
    txtMoveTime.setSelLength(basic::Len(txtMoveTime.Text()));
}

forms::TextBox& Acqisition::GetTxtDR_WaveHi(int32_t ch) {
    return chkUseCAL.Value() == 1 ? txtDR_WaveHi(ch) : txtDR_WaveHi_V(ch);
}

forms::TextBox& Acqisition::GetTxtDR_WaveLo(int32_t ch) {
    return chkUseCAL.Value() == 1 ? txtDR_WaveLo(ch) : txtDR_WaveLo_V(ch);
}

// Copies the range of the row last focused in the table now shown to every recorded row below
// it; the picture is repainted once at the end.
void Acqisition::lblRange_Click() {
    const int32_t source = chkUseCAL.Value() == 1 ? lRangeRowEU : lRangeRowRaw;
    const std::optional<float> hi = basic::TryCSng(basic::TypedVal(GetTxtDR_WaveHi(source).Text()));
    const std::optional<float> lo = basic::TryCSng(basic::TypedVal(GetTxtDR_WaveLo(source).Text()));
    // A range beyond the single range is no range to copy.
    if (!hi || !lo) return;
    {
        RaisedFlag syncing(GAcqParam.GbLoading);
        for (int32_t i = source; i <= GAcqCondition.lEndCH - 1 && i < 32; ++i) {
            GAcqParam.DR_WaveHi[i] = *hi;
            GAcqParam.DR_WaveLo[i] = *lo;
            GetTxtDR_WaveHi(i).setText(basic::CStr(*hi));
            GetTxtDR_WaveLo(i).setText(basic::CStr(*lo));
            if (!IsModeAcq() && GAcqParam.CHKWaveNo[i] == 1) MoveCrossMarkers(i);
        }
    }
    if (IsModeAcq()) {
        ChangeMonitorDispSetting();
        if (IsTriggerSetting()) DispFullWave(PBXMoniDisp.hDC(), true);
    } else {
        PBXMoniDisp.Refresh();
    }
}

}  // namespace qv
