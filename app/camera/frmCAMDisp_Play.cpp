// Playback: steps the main window's cursors and display window through the camera window's
// time range and shows the matching video frames at every step.
#include <cstdint>

#include "app/camera/frmCAMDisp.h"
#include "app/common/IniSet.h"
#include "app/common/modCommon.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Time.h"

namespace qv {

namespace {

// Once the mode is "Play", every way out of the playback ends in mode "End"; otherwise the
// play button and most controls would stay disabled for good.
class PlayMode {
public:
    PlayMode() = default;
    PlayMode(const PlayMode&) = delete;
    PlayMode& operator=(const PlayMode&) = delete;
    void begin() {
        playing_ = true;
        Acqisition::instance().SetDispStatus("Play", true);
    }
    ~PlayMode() {
        if (playing_) ClosingStep("再生終了", [] { Acqisition::instance().SetDispStatus("End", true); });
    }

private:
    bool playing_ = false;
};

// The loop's counting rule: up to the end with a positive step, down to it with a negative one.
bool inRange(int64_t position, int32_t end, int32_t step) { return step > 0 ? position <= end : position >= end; }

void redraw(Acqisition& w) { w.DispFullWave(w.PBXMoniDisp.hDC(), false); }

void setCursors(Acqisition& w, int32_t position) {
    int32_t left = position, right = position;
    w.SetCursor(left, right, false);
}

}  // namespace

void frmCAMDisp::playCameraStep() {
    const bool ready = IsAVIOK();
    if (IsCameraEnabled(GstrKparFile, false) && ready)
        DispFlamePos(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, 2);
}

std::optional<frmCAMDisp::PlayRange> frmCAMDisp::beginPlay() {
    txtStep.setText(basic::CStr(GetPlayStep()));
    txtSleep.setText(basic::CStr(GetPlaySleep()));
    const double rate = GAcqParam.lSampleFreqHz;
    PlayRange r;
    // A time beyond the Long range of points plays from the recording's start or to its end.
    r.start = PointOrRecordingEnd(basic::TypedVal(txtStartTime.Text()) * rate);
    r.end = PointOrRecordingEnd(basic::TypedVal(txtEndTime.Text()) * rate);
    r.step = basic::CLng(basic::Val(txtStep.Text()));
    r.pause = basic::CLng(basic::Val(txtSleep.Text()));
    // A step of 0 would never reach the end; a negative pause would sleep for ever.
    if (r.step == 0) {
        forms::MsgBox("Tolvane.ini の [PLAY] STEP が 0 のため再生できません。", forms::vbOKOnly | forms::vbExclamation);
        return std::nullopt;
    }
    if (r.pause < 0) r.pause = 0;
    return r;
}

void frmCAMDisp::playback(void (frmCAMDisp::*loop)(const PlayRange&)) {
    // Nor while the CSV export runs: each step loads the page the export is reading rows from.
    if (bInPlay || Acqisition::instance().bInCSV) return;
    Acqisition::RaisedFlag playing(bInPlay);
    PlayMode mode;  // declared first: the ini file is restored before the mode ends
    IniPathGuard ini(ProgramFile("Tolvane.ini"));
    const std::optional<PlayRange> range = beginPlay();
    if (!range) return;
    GAcqParam.lPosWAVE_Start = range->start;
    mode.begin();
    (this->*loop)(*range);
}

void frmCAMDisp::cmdPlay2_Click() { playback(&frmCAMDisp::play2Steps); }
void frmCAMDisp::cmdPlay_Click() { playback(&frmCAMDisp::playSteps); }

void frmCAMDisp::play2Steps(const PlayRange& range) {
    AcqParam& p = GAcqParam;
    Acqisition& w = Acqisition::instance();
    p.lPosWAVE_Start = 0;
    float pageStart = 0;
    bool lastPageShown = false;
    w.LoadWave_Sweep(p.lPosWAVE_Start);
    setCursors(w, 0);
    redraw(w);
    playCameraStep();
    forms::DoEvents();

    bool stopped = false;
    for (int64_t at = range.start; inRange(at, range.end, range.step); at += range.step) {
        if (chkStop.Value() == 1) {
            chkStop.setValue(0);
            stopped = true;
            break;
        }
        const auto position = static_cast<int32_t>(at);
        p.Cur_R_Point = position;
        p.Cur_L_Point = position;
        w.MoveCurR(static_cast<float>(position));
        w.MoveCurL(static_cast<float>(position));
        if (position <= p.PTotal - p.lSweepPoint / 2.0) {
            if (w.GetCurXRateL() >= 0.9f) {
                pageStart = basic::CSng(pageStart + p.lSweepPoint * 0.8);
                p.lPosWAVE_Start = basic::CLng(pageStart);
                w.LoadWave_Sweep(p.lPosWAVE_Start);
                setCursors(w, position);
                redraw(w);
            }
        } else if (!lastPageShown) {
            p.lPosWAVE_Start = p.PTotal - p.lSweepPoint;
            if (p.lPosWAVE_Start > 0) {
                w.LoadWave_Sweep(p.lPosWAVE_Start);
                setCursors(w, position);
                redraw(w);
            }
            lastPageShown = true;
        }
        playCameraStep();
        kernel::sleepMs(static_cast<uint32_t>(range.pause));
        forms::DoEvents();
    }
    if (!stopped) {
        w.MoveCurR(static_cast<float>(p.PTotal));
        w.MoveCurL(static_cast<float>(p.PTotal));
        p.Cur_R_Point = p.PTotal;
        p.Cur_L_Point = p.PTotal;
    }
}

void frmCAMDisp::playSteps(const PlayRange& range) {
    AcqParam& p = GAcqParam;
    Acqisition& w = Acqisition::instance();
    for (int64_t at = range.start; inRange(at, range.end, range.step); at += range.step) {
        if (chkStop.Value() == 1) {
            chkStop.setValue(0);
            break;
        }
        const auto position = static_cast<int32_t>(at);
        for (auto& channel : GsngCalMark1) channel.fill(0.0f);
        for (auto& channel : GsngCalMark2) channel.fill(0.0f);
        w.CheckMove();
        // The position in the middle of the display window, but for the first and last half page.
        const double half = p.lSweepPoint / 2.0;
        if (position >= half)
            p.lPosWAVE_Start = position > p.PTotal - half ? p.PTotal - p.lSweepPoint : basic::CLng(position - half);
        else
            p.lPosWAVE_Start = 0;
        w.LoadWave_Sweep(p.lPosWAVE_Start);
        setCursors(w, position);
        playCameraStep();
        kernel::sleepMs(static_cast<uint32_t>(range.pause));
        redraw(w);
        forms::DoEvents();
    }
}

}  // namespace qv
