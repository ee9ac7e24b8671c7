// The cursor read-outs beside the monitor: the cursor and window times, each channel's level
// at the two cursors and their difference; the column captions; where the cursors stand across
// the window for the camera; typed cursor times, the cursor reset and level-marker boxes, and
// the trigger-level entry with its step buttons.
#include <cmath>
#include <optional>
#include <string>

#include "app/channel/CCalSetting.h"
#include "app/common/IniSet.h"
#include "app/common/frmMessage.h"
#include "app/common/modFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_Monitor.h"
#include "platform/basic/Basic.h"

namespace qv {

using basic::Format;
using monitor::channelsOf;

namespace {

constexpr const char* kNoValue = "----";

// Where a cursor stands across the window: 0 at its left edge, 1 at its right edge; 0 for a
// window without points, where the ratio has no meaning.
float xRate(int32_t point) {
    const AcqParam& p = GAcqParam;
    if (p.lSweepPoint == 0) return 0.0f;
    return static_cast<float>((static_cast<double>(point) - p.lPosWAVE_Start) / p.lSweepPoint);
}

bool dataFileExists() { return !FindFile(GstrKdatFile, false).empty(); }

// The window read again at its clamped start.
void reloadWindow(Acqisition& w) {
    w.CheckMove();
    int32_t count = kOnePage;
    w.LoadWave_Sweep(GAcqParam.lPosWAVE_Start, count);
}

}  // namespace

float Acqisition::GetCurXRateL() { return xRate(GAcqParam.Cur_L_Point); }
float Acqisition::GetCurXRateR() { return xRate(GAcqParam.Cur_R_Point); }

void Acqisition::DispCurValue() {
    if (IsModeAcq() || GetDispCHNum() == 0) return;
    const AcqParam& p = GAcqParam;
    if (!IsDataLoaded() || p.nSample == 0) {
        for (forms::Label* l : {&lblStartTime, &lblEndTime, &LBLCurTime_L, &LBLCurTime_R, &LBLCurTime_D})
            l->setCaption(kNoValue);
        txtCurTime_L.setText(kNoValue);
        txtCurTime_R.setText(kNoValue);
        for (int32_t i = 0; i < 32; ++i) {
            lblCurLevel_L(i).setCaption(kNoValue);
            lblCurLevel_R(i).setCaption(kNoValue);
            lblCurLevel_LR(i).setCaption(kNoValue);
        }
        return;
    }

    const int32_t s = p.lPosWAVE_Start;
    const double e = static_cast<double>(s) + p.lSweepPoint;
    double tL = 0, tR = 0;
    if (IsTriggerSetting()) {
        // The sweep's number; the end label keeps what it showed.
        const double sweepNo = p.lSweepPoint != 0 ? static_cast<double>(s) / p.lSweepPoint + 1.0 : 1.0;
        lblStartTime.setCaption(basic::CStr(sweepNo));
        tL = PointToMs(basic::CLng(static_cast<double>(p.Cur_L_Point) - s)) / 1000.0;
        tR = PointToMs(basic::CLng(static_cast<double>(p.Cur_R_Point) - s)) / 1000.0;
    } else {
        lblStartTime.setCaption(Format(PointToMs(s) / 1000.0, "0.000"));
        lblEndTime.setCaption(Format(PointToMs(basic::CLng(e)) / 1000.0, "0.000"));
        tL = PointToMs(p.Cur_L_Point) / 1000.0;
        tR = PointToMs(p.Cur_R_Point) / 1000.0;
    }
    LBLCurTime_L.setCaption(Format(tL, "##0.00000"));
    LBLCurTime_R.setCaption(Format(tR, "##0.00000"));
    LBLCurTime_D.setCaption(Format(tR - tL, "##0.00000"));

    // Levels of every recorded channel; a cursor outside the window (or past the points read)
    // has none.
    const bool inL = s <= p.Cur_L_Point && p.Cur_L_Point <= e;
    const bool inR = s <= p.Cur_R_Point && p.Cur_R_Point <= e;
    const int64_t atL = static_cast<int64_t>(p.Cur_L_Point) - s;
    const int64_t atR = static_cast<int64_t>(p.Cur_R_Point) - s;
    const bool hasL = inL && atL < DispWaveArray.Points();
    const bool hasR = inR && atR < DispWaveArray.Points();
    const monitor::ChannelSpan live = channelsOf(GAcqCondition);
    for (int32_t i = live.first; i <= live.last; ++i) {
        const int32_t c = i - (GAcqCondition.lStartCH - 1);
        if (c < 0 || c >= DispWaveArray.Channels()) continue;
        const float vL = hasL ? DispWaveArray(static_cast<int32_t>(atL), c) : 0.0f;
        const float vR = hasR ? DispWaveArray(static_cast<int32_t>(atR), c) : 0.0f;
        lblCurLevel_L(i).setCaption(hasL ? Format(vL, "##0.0000") : kNoValue);
        lblCurLevel_R(i).setCaption(hasR ? Format(vR, "##0.0000") : kNoValue);
        lblCurLevel_LR(i).setCaption(hasL && hasR ? Format(std::fabs(static_cast<double>(vL) - vR), "##0.0000")
                                                  : kNoValue);
    }
}

void Acqisition::DispCurLabelName() {
    struct Header {
        forms::Label& label;
        forms::ControlArray<forms::Label>& column;
        const char* acqCaption;
        int32_t acqColour;
        const char* caption;
        int32_t colour;
    };
    const Header headers[] = {
        {lblCurLevel_L_Label, lblCurLevel_L, "LINE(V)", 12640511, "Left", 12632319},
        {lblCurLevel_R_Label, lblCurLevel_R, "AD", 12648447, "Right", 16777088},
        {lblCurLevel_LR_Label, lblCurLevel_LR, "EU", 12648384, "Diff", 14737632},
    };
    const bool acq = IsModeAcq();
    for (const Header& h : headers) {
        h.label.setCaption(acq ? h.acqCaption : h.caption);
        h.label.setBackColor(acq ? h.acqColour : h.colour);
    }
    for (const Header& h : headers)
        for (int32_t i = 0; i <= h.column.UBound(); ++i) h.column(i).setBackColor(h.label.BackColor());
}

// ---- Cursor reset and level-marker boxes ----

void Acqisition::chkCurRst_Click() {
    if (!dataFileExists()) return;
    reloadWindow(*this);
    if (chkCurRst.Value() == 1) {
        // Copies: the window start itself must not move.
        int32_t left = GAcqParam.lPosWAVE_Start;
        int32_t right = basic::CLng(static_cast<double>(left) + GAcqParam.lSweepPoint);
        SetCursor(left, right, true);
    }
    ShowCursorFrames();
    PBXMoniDisp.Refresh();
}

void Acqisition::chkCurRstCenter_Click() {
    if (!dataFileExists()) return;
    reloadWindow(*this);
    if (chkCurRstCenter.Value() == 1) SetCursor(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, true);
    ShowCursorFrames();
    PBXMoniDisp.Refresh();
}

void Acqisition::chkCurLvl_Click() {
    if (!dataFileExists()) return;
    int32_t count = kOnePage;
    LoadWave_Sweep(GAcqParam.lPosWAVE_Start, count);
    SetCursor(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, false);
    PBXMoniDisp.Refresh();
}

// ---- Typed cursor times ----

void Acqisition::FixCurPos(bool LeftYields, bool AllowReset, bool Refresh, bool CallSetCursor,
                           bool NoWindowClamp) {
    AcqParam& p = GAcqParam;
    int32_t& l = p.Cur_L_Point;
    int32_t& r = p.Cur_R_Point;
    if (l > r) {
        if (LeftYields)
            l = r;
        else
            r = l;
    }
    for (int32_t* c : {&l, &r}) {
        if (*c > p.PTotal) *c = p.PTotal;
    }
    if (!NoWindowClamp) {
        const int32_t end = basic::CLng(static_cast<double>(p.lPosWAVE_Start) + p.lSweepPoint);
        for (int32_t* c : {&l, &r})
            if (*c > end) *c = end;
        for (int32_t* c : {&l, &r})
            if (*c < p.lPosWAVE_Start) *c = p.lPosWAVE_Start;
    }
    for (int32_t* c : {&l, &r})
        if (*c < 0) *c = 0;
    if (CallSetCursor) SetCursor(l, r, AllowReset);
    p.Cur_L_Offset = basic::CLng(static_cast<double>(l) - p.lPosWAVE_Start);
    p.Cur_R_Offset = basic::CLng(static_cast<double>(r) - p.lPosWAVE_Start);
    if (Refresh) PBXMoniDisp.Refresh();
}

// The time label gives way to its edit box, which shows the label's text wholly selected.
void Acqisition::OpenCursorTimeEdit(forms::Label& label, forms::TextBox& box) {
    if (IsModeAcq() || !IsDataLoaded()) return;
    label.setVisible(false);
    box.setEnabled(true);
    box.setVisible(true);
    box.setText(label.Caption());
    box.SetFocus();
    box.setSelStart(0);
    box.setSelLength(basic::Len(box.Text()));
}

// The typed time (seconds from the recording's start) becomes the cursor's place.
void Acqisition::CloseCursorTimeEdit(forms::Label& label, forms::TextBox& box, bool left) {
    EnableOnExit busy(*this);
    box.setVisible(false);
    label.setVisible(true);
    // A time beyond the Long range (in milliseconds or in points) is the recording's start or end.
    const double ms = basic::TypedVal(box.Text()) * 1000.0;
    const std::optional<int32_t> wholeMs = basic::TryCLng(ms);
    const int32_t point = PointOrRecordingEnd(wholeMs ? MsToPoint(*wholeMs) : ms);
    (left ? GAcqParam.Cur_L_Point : GAcqParam.Cur_R_Point) = point;
    FixCurPos(left, false, true, true, true);
    ShowCursorFrames();
}

void Acqisition::LBLCurTime_L_Click() { OpenCursorTimeEdit(LBLCurTime_L, txtCurTime_L); }
void Acqisition::LBLCurTime_R_Click() { OpenCursorTimeEdit(LBLCurTime_R, txtCurTime_R); }

void Acqisition::txtCurTime_L_KeyDown(int& KeyCode, int) {
    if (KeyCode == 13) txtCurTime_L_LostFocus();
}

void Acqisition::txtCurTime_R_KeyDown(int& KeyCode, int) {
    if (KeyCode == 13) txtCurTime_R_LostFocus();
}

void Acqisition::txtCurTime_L_LostFocus() { CloseCursorTimeEdit(LBLCurTime_L, txtCurTime_L, true); }
void Acqisition::txtCurTime_R_LostFocus() { CloseCursorTimeEdit(LBLCurTime_R, txtCurTime_R, false); }

// ---- Trigger level ----

void Acqisition::cmdSetTrgLvl_Click() {
    constexpr int32_t kRefused = 255;  // the colour the conversion gives an unusable value
    const bool valid = t1EU.BackColor() != kRefused && t2EU.BackColor() != kRefused;
    if (IsModeAcq()) {
        if (!valid)
            ShowMessage(true, "Set Trg. できません。", "トリガレベルとして設定可能な値を入力してください。", true);
        SetDispStatus("SETTRG", true);
        return;
    }
    const auto refuse = [] {
        ShowMessage(true, "Set Trg. できません。", "設定可能な値を入力してください。", true);
        frmMessage::instance().Show();
    };
    if (!valid) return refuse();
    t1EU_LostFocus();
    t2EU_LostFocus();
    // A count box the conversion left holding no Long (a stored level beyond the range) is an
    // entry that cannot be set either.
    const std::optional<int32_t> down = basic::TryCLng(basic::TypedVal(t1.Text()));
    const std::optional<int32_t> up = basic::TryCLng(basic::TypedVal(t2.Text()));
    if (!down || !up) return refuse();
    AcqParam& p = GAcqParam;
    p.TrgLevelD = *down;
    p.TrgLevelU = *up;
    GAcqCondition.strANALOG_LEVEL_TRIGGER_D = basic::CStr(p.TrgLevelD);
    GAcqCondition.strANALOG_LEVEL_TRIGGER_U = basic::CStr(p.TrgLevelU);
}

// Both trigger values moved by the step (in single precision, as the step is kept) and
// converted again; nothing is stored. A step or a value beyond the single range moves nothing:
// the conversion marks it red.
static void stepTriggerLevels(Acqisition& w, float sign) {
    const std::optional<float> step = basic::TryCSng(basic::TypedVal(w.txtIncDecEU.Text()));
    for (forms::TextBox* box : {&w.t1EU, &w.t2EU}) {
        const std::optional<float> level = basic::TryCSng(basic::TypedVal(box->Text()));
        if (!step || !level) continue;
        if (const std::optional<float> moved = basic::TryCSng(*level + *step * sign))
            box->setText(basic::CStr(*moved));
    }
    w.t1EU_LostFocus();
    w.t2EU_LostFocus();
}

void Acqisition::cmdInc10_Click() { stepTriggerLevels(*this, 1.0f); }
void Acqisition::cmdDec10_Click() { stepTriggerLevels(*this, -1.0f); }

// ---- Raw levels ----

void Acqisition::DispRawLevels() {
    const AcqCondition& rec = GAcqParam.Condition;
    const monitor::ChannelSpan span = channelsOf(rec);
    const int32_t wCh = GAcqParam.wCh;
    for (int32_t i = span.first; i <= span.last; ++i) {
        const int32_t c = i - (rec.lStartCH - 1);
        if (c < 0 || c >= wCh || static_cast<size_t>(c) >= RawSampleBuffer.size()) continue;
        const int16_t r = RawSampleBuffer[static_cast<size_t>(c)];
        if (GCCalSettingDisp.CHType(i) == 0) {
            // A calibration that cannot convert the count (a damaged recording) leaves the
            // level as it stands; the raw count is shown all the same.
            if (const std::optional<float> v = monitor::levelOf(GCalRecVolt[static_cast<size_t>(i)], r))
                lblCurLevel_L(i).setCaption(Format(*v, "0.0000"));
        } else {
            static const char* const kHex = "0123456789ABCDEF";
            const auto word = static_cast<uint16_t>(r);
            std::string hex = "0x";
            for (int shift = 12; shift >= 0; shift -= 4) hex += kHex[(word >> shift) & 0xF];
            lblCurLevel_L(i).setCaption(hex);
        }
        lblCurLevel_R(i).setCaption(basic::CStr(r));
        if (c < ConvWaveArray.Channels() && ConvWaveArray.Points() > 0)
            lblCurLevel_LR(i).setCaption(Format(ConvWaveArray(0, c), "0.0000"));
    }
}

}  // namespace qv
