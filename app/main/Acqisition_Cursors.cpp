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

void Acqisition::ShowCursorFrames() {
    if (IsCameraEnabled(GstrKparFile, false))
        frmCAMDisp::instance().DispFlamePos(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point);
}

// ---- Mouse on the monitor ----

void Acqisition::PBXMoniDisp_MouseDown(int Button, int Shift, float X, float Y) {
    if (IsModeAcq() || IsModePlay()) return;
    AcqParam& p = GAcqParam;
    if (lCurSel != -1) {
        bCurDrag = true;
        sngDragY = Y;
        if (Button == kRightButton) sngCurWidth = static_cast<float>(static_cast<double>(p.Cur_R_Point) - p.Cur_L_Point);
        return;
    }
    if (Button & kMiddleButton) {
        // The channel whose trace passes nearest drags its range; a click that finds none
        // drags nothing.
        frm最も近いグラフを探す& search = frm最も近いグラフを探す::instance();
        search.txt求めたいピクセル座標X.setText(basic::CStr(X));
        search.txt求めたいピクセル座標Y.setText(basic::CStr(Y));
        search.cmd計算_Click();
        const double picked = basic::Val(search.txtクリックした位置に最も近い波形のCHNo.Text());
        lRangeDragCH = search.lst直線距離と配列番号.ListCount() > 0 ? CLng(picked) : -1;
        if (lRangeDragCH < 0 || lRangeDragCH > 31) {
            lRangeDragCH = -1;
            return;
        }
        bRangeDrag = true;
        sngRangeDragY = Y;
        sngRangeDragHi = monitor::boxValue(GetTxtDR_WaveHi(lRangeDragCH));
        sngRangeDragLo = monitor::boxValue(GetTxtDR_WaveLo(lRangeDragCH));
        return;
    }
    if ((Button & kLeftButton) && (Shift & 7) != 0) {
        bPan = true;
        sngPanX0 = X;
        sngPanPos0 = static_cast<float>(p.lPosWAVE_Start);
        txtMoveTime.setText(basic::CStr(PointToSec(p.lPosWAVE_Start)));
        cmdMove_Click();
    }
}

void Acqisition::PBXMoniDisp_MouseMove(int Button, int, float X, float Y) {
    if (IsModeAcq()) return;
    const int32_t bands = GetDispCHNum();
    if (bands != 0 && !IsDataLoaded()) return;
    AcqParam& p = GAcqParam;

    if (bRangeDrag && lRangeDragCH >= 0 && lRangeDragCH <= 31 && bands > 0) {
        (chkUseCAL.Value() == 1 ? chkCopy(lRangeDragCH) : chkCopy_V(lRangeDragCH)).setValue(0);
        // The drag in band heights, upward positive: the trace follows the mouse.
        const float band = static_cast<float>(PBXMoniDisp.ScaleHeight() / bands);
        const float frac = (sngRangeDragY - Y) / band;
        const float span = sngRangeDragHi - sngRangeDragLo;
        // Low first, unless the new low lies above the high shown now: the boxes' order check
        // would pull it down to that high and the range would shrink.
        forms::TextBox& loBox = GetTxtDR_WaveLo(lRangeDragCH);
        forms::TextBox& hiBox = GetTxtDR_WaveHi(lRangeDragCH);
        const float lo = sngRangeDragLo - span * frac, hi = sngRangeDragHi - span * frac;
        if (lo > monitor::boxValue(hiBox)) {
            hiBox.setText(basic::CStr(hi));
            loBox.setText(basic::CStr(lo));
        } else {
            loBox.setText(basic::CStr(lo));
            hiBox.setText(basic::CStr(hi));
        }
    }
    if (bPan) {
        sngPanX = X;
        float x0 = sngPanX0, x = X, y0 = 0.0f, y = 0.0f;
        Trelm::H_CONVWINDOW(lGraphHandle, &x0, &y0);
        Trelm::H_CONVWINDOW(lGraphHandle, &x, &y);
        sngPanDelta = x - x0;
        txtMoveTime.setText(basic::CStr(PointToSec(CLng(static_cast<double>(sngPanPos0) - sngPanDelta))));
        cmdMove_Click();
    }
    if (IsModePlay() || !IsDataLoaded()) return;

    if (bCurDrag) {
        float wx = X, wy = Y;
        Trelm::H_CONVWINDOW(lGraphHandle, &wx, &wy);
        double x = basic::Fix(wx);
        const double end = static_cast<double>(p.lSweepPoint) + p.lPosWAVE_Start;
        if (x < 0) x = 0;
        if (x > end) x = end;
        if (x > p.PTotal) x = p.PTotal;
        if (x < p.lPosWAVE_Start) x = p.lPosWAVE_Start;
        const auto y = static_cast<float>(basic::Fix(Y));
        if (!p.bL2LMode)
            DragMeasurementCursor(Button, static_cast<float>(x));
        else
            DragCalibrationEdge(static_cast<float>(x), y);
        DispCurValue();
        DispCurMark();
        return;
    }

    // Hover: only the cursors of the set shown can be picked.
    int32_t hit = -1;
    Trelm::H_CURSORNUM(lGraphHandle, X, Y, 5.0f, 5.0f, &hit);
    if (!p.bL2LMode) {
        if (hit != kCurL && hit != kCurR) hit = -1;
    } else if (hit < kCal1L || hit > kCal2R) {
        hit = -1;
    }
    lCurSel = hit;
    PBXMoniDisp.MousePointer = hit == -1 ? kPointerDefault : hit <= kCurR ? kPointerSizeWE : kPointerSizeAll;
}

// A measurement cursor follows the mouse without passing the other one: meeting it, the drag
// goes on as the other cursor. The right button drags both at their distance.
void Acqisition::DragMeasurementCursor(int Button, float X) {
    AcqParam& p = GAcqParam;
    const bool both = Button == kRightButton;
    const float w = sngCurWidth;
    const double end = static_cast<double>(p.lPosWAVE_Start) + p.lSweepPoint;
    if (lCurSel == kCurL) {
        if (X > p.Cur_R_Point) {
            X = static_cast<float>(p.Cur_R_Point);
            MoveCurL(X);
            lCurSel = kCurR;
        }
        if (both) {
            if (static_cast<double>(X) + w > p.PTotal) X = static_cast<float>(p.PTotal - static_cast<double>(w));
            if (static_cast<double>(X) + w > end) X = static_cast<float>(end - w);
        }
        p.Cur_L_Point = CLng(X);
        if (both) p.Cur_R_Point = CLng(static_cast<double>(p.Cur_L_Point) + w);
    } else if (lCurSel == kCurR) {
        if (X < p.Cur_L_Point) {
            X = static_cast<float>(p.Cur_L_Point);
            MoveCurR(X);
            lCurSel = kCurL;
        }
        if (both && static_cast<double>(X) - w < p.lPosWAVE_Start)
            X = static_cast<float>(static_cast<double>(p.lPosWAVE_Start) + w);
        p.Cur_R_Point = CLng(X);
        if (both) p.Cur_L_Point = CLng(static_cast<double>(p.Cur_R_Point) - w);
    }
    MoveCurL(static_cast<float>(p.Cur_L_Point));
    MoveCurR(static_cast<float>(p.Cur_R_Point));
    p.Cur_L_Offset = add32(p.Cur_L_Point, -static_cast<double>(p.lPosWAVE_Start));
    p.Cur_R_Offset = add32(p.Cur_R_Point, -static_cast<double>(p.lPosWAVE_Start));
    ShowCursorFrames();
}

// An edge of a calibration window follows the mouse; vertical motion widens (up) or narrows
// (down) the window, by at least one sample. The window stays two pixels and one sample wide
// and inside the view.
void Acqisition::DragCalibrationEdge(float X, float Y) {
    AcqParam& p = GAcqParam;
    int32_t *left = nullptr, *right = nullptr, *width = nullptr;
    int32_t leftCursor = 0;
    if (lCurSel == kCal1L || lCurSel == kCal1R) {
        left = &p.Cal1_L_Point, right = &p.Cal1_R_Point, width = &p.Cal1_W_Point;
        leftCursor = kCal1L;
    } else if (lCurSel == kCal2L || lCurSel == kCal2R) {
        left = &p.Cal2_L_Point, right = &p.Cal2_R_Point, width = &p.Cal2_W_Point;
        leftCursor = kCal2L;
    } else {
        return;
    }
    const double height = PBXMoniDisp.Height();
    float dy = height > 0 ? static_cast<float>((sngDragY - Y) / height * p.lSweepPoint) : 0.0f;
    if (dy != 0 && dy > -1 && dy < 1) dy = dy > 0 ? 1.0f : -1.0f;
    auto pixel = [&](float x) {
        float y = 0.0f;
        Trelm::H_CONVPIXEL(lGraphHandle, &x, &y);
        return x;
    };
    auto world = [&](float x) {
        float y = 0.0f;
        Trelm::H_CONVWINDOW(lGraphHandle, &x, &y);
        return x;
    };
    float l = 0, r = 0;
    if (lCurSel == leftCursor) {
        l = X;
        r = static_cast<float>(static_cast<double>(X) + *width + dy);
        if (pixel(l) + 1 >= pixel(r)) r = world(pixel(l) + 2);
        if (r - l < 1) r = l + 1;
        const auto end = static_cast<float>(static_cast<double>(p.lPosWAVE_Start) + p.lSweepPoint);
        if (r > end) r = end;
    } else {
        r = X;
        l = static_cast<float>(static_cast<double>(X) - *width - dy);
        if (pixel(l) + 1 >= pixel(r)) l = world(pixel(r) - 2);
        if (r - l < 1) l = r - 1;
        if (l < p.lPosWAVE_Start) l = static_cast<float>(p.lPosWAVE_Start);
    }
    *left = CLng(l);
    *right = CLng(r);
    *width = CLng(static_cast<double>(r) - l);
    const auto top = static_cast<float>(p.wCh);
    Trelm::H_CURSORMOVE(lGraphHandle, leftCursor, l, 0.0f, l, top);
    Trelm::H_CURSORMOVE(lGraphHandle, leftCursor + 1, r, 0.0f, r, top);
    sngDragY = Y;
}

void Acqisition::PBXMoniDisp_MouseUp(int Button, int, float, float) {
    if (IsModeAcq() || IsModePlay()) return;
    if (!bCurDrag) {
        if (Button & kMiddleButton) {
            bRangeDrag = false;
            sngRangeDragY = 0.0f;
        } else if (Button & kLeftButton) {
            bPan = false;
        } else {
            PBXMoniDisp.Refresh();
        }
    }
    bCurDrag = false;
    if (chkMean.Value() == 1) PBXMoniDisp.Refresh();
    ShowCursorFrames();
}

}  // namespace qv
