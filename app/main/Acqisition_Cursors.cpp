// The monitor's graph cursors: the cursor set made anew on the picture for every change of the
// window, the moves of the two measurement cursors with their cross markers, and the mouse on
// the picture (hover, cursor and calibration-window drags, the range drag of one channel and
// the pan of the window).
#include <algorithm>
#include <cmath>

#include "app/camera/frmCAMDisp.h"
#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_Monitor.h"
#include "app/main/frm最も近いグラフを探す.h"
#include "platform/basic/Numbers.h"

namespace qv {

using basic::CLng;
using monitor::channelsOf;

namespace {

constexpr int32_t kRed = 255;
constexpr int32_t kBlue = 16711680;
constexpr int32_t kSolid = 0;

// Cursor numbers of the graph.
constexpr int32_t kCurL = 0, kCurR = 1;
constexpr int32_t kCal1L = 2, kCal1R = 3, kCal2L = 4, kCal2R = 5;

// Mouse buttons and the pointer shapes of the picture.
constexpr int kLeftButton = 1, kRightButton = 2, kMiddleButton = 4;
constexpr int kPointerDefault = 0, kPointerSizeWE = 9, kPointerSizeAll = 15;

// A sum of sample positions in 32 bits; leaving the range is the overflow error.
int32_t add32(double a, double b) { return CLng(a + b); }

}  // namespace

void Acqisition::SetCursor(int32_t& leftPoint, int32_t& rightPoint, bool reset) {
    AcqParam& p = GAcqParam;
    if (p.GbLoading || !IsDataLoaded()) return;
    const int32_t start = p.lPosWAVE_Start;
    const int32_t sweep = p.lSweepPoint;
    if (reset) {
        if (chkCurRst.Value() == 1) {
            if (chkCurRstCenter.Value() == 1) {
                leftPoint = CLng(sweep / 2.0 + start);
                rightPoint = leftPoint;
            } else {
                leftPoint = start;
                rightPoint = add32(start, sweep);
            }
            if (IsTriggerSetting()) {
                p.Cur_L_Offset = 0;
                p.Cur_R_Offset = sweep;
            }
        } else if (IsTriggerSetting()) {
            leftPoint = add32(p.Cur_L_Offset, start);
            rightPoint = add32(p.Cur_R_Offset, start);
        }
    }

    const int32_t bands = GetDispCHNum();
    Trelm::H_DELETE(lGraphHandle);
    lGraphHandle = Trelm::H_VIEWSET(PBXMoniDisp.hWnd(), PBXMoniDisp.hDC());
    Trelm::H_WAVEGET(lGraphHandle);
    Trelm::H_MARGINSET(lGraphHandle, 0, 0, 0, 0);
    Trelm::H_WINDOW(lGraphHandle, static_cast<float>(start), 0.0f,
                    static_cast<float>(static_cast<double>(start) + sweep), static_cast<float>(bands));

    sngCurTop = p.wCh;
    sngCurXMax = static_cast<float>(std::min(sweep, p.PTotal));

    // Both read before either is written: the caller may pass the cursor fields themselves.
    const int32_t l = leftPoint == -1 ? 0 : leftPoint;
    const int32_t r = rightPoint == -1 ? CLng(sngCurXMax) : rightPoint;
    p.Cur_L_Point = l;
    p.Cur_R_Point = r;
    p.Cur_W_Point = add32(r, -static_cast<double>(l));

    if (p.bL2LMode) {
        // Each window a tenth of the view wide, centred at a quarter and three quarters.
        const double t = std::min(p.PTotal, sweep);
        const double s = start;
        p.Cal1_W_Point = CLng(t / 10);
        p.Cal1_L_Point = CLng(s + t / 4 - t / 20);
        p.Cal1_R_Point = CLng(t / 10 + p.Cal1_L_Point);
        p.Cal2_W_Point = CLng(t / 10);
        p.Cal2_L_Point = CLng(s + 3 * t / 4 - t / 20);
        p.Cal2_R_Point = CLng(t / 10 + p.Cal2_L_Point);
    }
    if (p.Cur_R_Point > p.PTotal) p.Cur_R_Point = p.PTotal;

    Trelm::H_CURSORSIZE(lGraphHandle, 2 * bands + 6);
    struct Vertical {
        int32_t x, colour;
        bool shown;
    };
    const bool l2l = p.bL2LMode;
    const Vertical verticals[] = {{p.Cur_L_Point, kRed, !l2l},  {p.Cur_R_Point, kBlue, !l2l},
                                  {p.Cal1_L_Point, kRed, l2l},  {p.Cal1_R_Point, kRed, l2l},
                                  {p.Cal2_L_Point, kBlue, l2l}, {p.Cal2_R_Point, kBlue, l2l}};
    for (int32_t k = 0; k < 6; ++k) {
        const auto x = static_cast<float>(verticals[k].x);
        Trelm::H_CURSOR(lGraphHandle, k, x, 0.0f, x, sngCurTop);
        Trelm::H_CURSORPROP(lGraphHandle, k, verticals[k].colour, kSolid, 1);
        Trelm::H_CURSORDISP(lGraphHandle, k, verticals[k].shown ? 1 : 0);
    }

    // A picture without width has no scale for the markers: they stay points.
    const double width = PBXMoniDisp.Width();
    sngCrossHalf = width > 0 ? static_cast<float>(DispBaseWidth / width * sweep * 0.02) : 0.0f;
    const bool cross = !l2l && chkCurLvl.Value() == 1;
    const monitor::ChannelSpan live = channelsOf(GAcqCondition);
    for (int32_t i = live.first; i <= live.last; ++i) {
        if (CHKWaveNo(i).Value() != 1) continue;
        const int32_t k = GetCHNo2CrossCurNo(i);
        const bool shown = p.CHKWaveNo[i] == 1 && cross;
        const float hi = p.DR_WaveHi[i], lo = p.DR_WaveLo[i];
        const int32_t cursors[] = {p.Cur_L_Point, p.Cur_R_Point};
        for (int32_t side = 0; side < 2; ++side) {
            const auto x = static_cast<float>(cursors[side]);
            const float y = GetH_CurCrossHi(i, hi, lo, add32(cursors[side], -static_cast<double>(start)), 0);
            Trelm::H_CURSOR(lGraphHandle, k + side, x - sngCrossHalf, y, x + sngCrossHalf, y);
            Trelm::H_CURSORPROP(lGraphHandle, k + side, side == 0 ? kRed : kBlue, kSolid, 1);
            Trelm::H_CURSORDISP(lGraphHandle, k + side, shown ? 1 : 0);
        }
    }
    bCurDrag = false;
    lCurSel = -1;
    DispCurValue();
}

// Moves cursor 0 (left) or 1 (right) and that side's cross markers to X; the cursor fields
// stay as they are.
void Acqisition::MoveMeasurementCursor(int32_t side, float X) {
    const AcqParam& p = GAcqParam;
    Trelm::H_CURSORMOVE(lGraphHandle, side, X, 0.0f, X, static_cast<float>(p.wCh));
    const monitor::ChannelSpan live = channelsOf(GAcqCondition);
    const int32_t at = CLng(static_cast<double>(X) - p.lPosWAVE_Start);
    for (int32_t i = live.first; i <= live.last; ++i) {
        if (p.CHKWaveNo[i] != 1) continue;
        const float y = GetH_CurCrossHi(i, p.DR_WaveHi[i], p.DR_WaveLo[i], at, 0);
        Trelm::H_CURSORMOVE(lGraphHandle, GetCHNo2CrossCurNo(i) + side, X - sngCrossHalf, y,
                            X + sngCrossHalf, y);
    }
    DispCurValue();
    DispCurMark();
}

void Acqisition::MoveCurL(float X) { MoveMeasurementCursor(kCurL, X); }
void Acqisition::MoveCurR(float X) { MoveMeasurementCursor(kCurR, X); }

}  // namespace qv
