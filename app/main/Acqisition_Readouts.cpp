// The cursor read-outs beside the monitor: the cursor and window times, each channel's level
// at the two cursors and their difference; the column captions; where the cursors stand across
// the window for the camera.
#include <cmath>
#include <string>

#include "app/common/IniSet.h"
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

}  // namespace qv
