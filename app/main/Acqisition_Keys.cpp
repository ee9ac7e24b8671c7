// The main window's keyboard: Shift+Ctrl+Alt switches for the hidden check boxes and the hidden
// state window, Ctrl for the export range, the monitor repaint, stretching the window to the
// screen edges and the CSV button, Shift+Enter for START/END, and F1..F8 for the cursor steps by
// one sample point or one camera frame.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/camera/frmCAMDisp.h"
#include "app/camera/modCAM.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Globals.h"

namespace qv {

namespace {

// Modifier bits of a key event.
constexpr int kShift = 1, kCtrl = 2, kAlt = 4;

// Key codes. The letters' small-letter codes equal those of numpad 5 (101), F4 (115) and F11
// (122); they are compared as well, so those keys act as E, S and Z under Ctrl.
constexpr int kEnter = 13;
constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int kKey1 = 49, kKey2 = 50, kKey3 = 51, kKey4 = 52;
constexpr int kKeyA = 65, kKeyE = 69, kKeyH = 72, kKeyL = 76, kKeyS = 83, kKeyZ = 90;
constexpr int kSmallE = 101, kSmallS = 115, kSmallZ = 122;
constexpr int kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF5 = 116, kF6 = 117, kF7 = 118,
              kF8 = 119;

void toggle(forms::CheckBox& box) { box.setValue(box.Value() == 1 ? 0 : 1); }

// The camera window's offset between data and video, in sample points; the box is read afresh
// each time it is needed.
double adjustPoints() {
    return MsToPoint(frmCAMDisp::instance().AdjustMS());
}

// The position of the previous or next camera frame from position p, less the video offset.
int32_t frameStep(int32_t p, bool next) {
    const int32_t upper = static_cast<int32_t>(GlFlameTime.size()) - 1;
    // An empty frame table has no frame to step to: the cursor stays.
    if (upper < 0) return p;
    auto clamp = [upper](int32_t i) { return i < 0 ? 0 : (i > upper ? upper : i); };
    // An offset that takes the cursor beyond the Long range steps from the first or last frame.
    int32_t idx = GetStackFlameNo(PointOrRecordingEnd(p + adjustPoints()), next);
    if (next) {
        idx += 1;
    } else {
        // Clamped before the entry is read, so a position before the first frame is no error.
        idx = clamp(idx);
        if (GlFlameTime[idx] == p + adjustPoints()) idx -= 1;
    }
    idx = clamp(idx);
    const int32_t n = GlFlameTime[idx];
    if (n >= 0) p = PointOrRecordingEnd(n - adjustPoints());
    return p;
}

}  // namespace

void Acqisition::Form_KeyDown(int& KeyCode, int Shift) {
    // Shift+Ctrl+Alt: switches that have no visible place in normal use.
    if (Shift == (kShift | kCtrl | kAlt)) {
        switch (KeyCode) {
            case kKey1: toggle(chkDispMarkAndMove); break;
            case kKey2: toggle(chkMean); break;
            case kKey3: toggle(chkGraphMemo); break;
            case kKey4: toggle(chkDispFolder); break;
            case kKeyL: NothifyLoad(); break;
            case kKeyH:
                setEnabled(true);
                fraCal.setEnabled(true);
                fraCSV.setEnabled(true);
                Frame5.setEnabled(true);
                ALL_BTN_ModeSet();
                break;
            case kKeyA: {
                Acqisition2& hidden = Acqisition2::instance();
                hidden.setVisible(!hidden.Visible());
                toggle(hidden.chkDispVylB50);
                break;
            }
            case kEnter: {
                pbxParent.setVisible(!pbxParent.Visible());
                Acqisition2& hidden = Acqisition2::instance();
                hidden.setVisible(!hidden.Visible());
                break;
            }
            default: break;
        }
    }

    // Ctrl, with or without the other modifiers.
    if (Shift & kCtrl) {
        const int32_t nSample = GAcqParam.nSample;
        if (nSample != 0) {
            if (KeyCode == kKeyE || KeyCode == kSmallE) {
                const int64_t curR = GAcqParam.Cur_R_Point;
                int64_t end = curR / nSample;
                if (curR % (static_cast<int64_t>(10) * nSample) != 0) end += 1;
                txtEndTime.setText(std::to_string(end));
            } else if (KeyCode == kKeyS || KeyCode == kSmallS) {
                txtStartTime.setText(std::to_string(int64_t{GAcqParam.Cur_L_Point} / nSample));
            } else if (KeyCode == kKeyZ || KeyCode == kSmallZ) {
                PBXMoniDisp.Refresh();
            }
        }
        switch (KeyCode) {
            case kUp:
                setHeight(basic::CLng(Height() + Top()));
                setTop(0);
                break;
            case kDown: setHeight(forms::Screen.Height() - Top()); break;
            case kLeft:
                setWidth(Width() + Left());
                setLeft(0);
                break;
            case kRight: setWidth(forms::Screen.Width() - Left()); break;
            case kF1:
                cmdMakeCSVAuto.setVisible(!cmdMakeCSVAuto.Visible());
                if (cmdMakeCSVAuto.Visible()) cmdMakeCSVAuto.setEnabled(true);
                break;
            default: break;
        }
        return;
    }

    // Shift alone: Enter starts, or ends a running acquisition.
    if (Shift == kShift) {
        if (KeyCode != kEnter) return;
        if (IsModeAcq()) {
            cmdEnd_Click();
        } else if (!bInStart) {
            RaisedFlag starting(bInStart);
            cmdStart_Click();
        }
        return;
    }

    // No modifier, Alt or Alt+Shift: the cursor steps, not while recording or playing.
    if (IsModeAcq() || IsModePlay()) return;
    if (KeyCode < kF1 || KeyCode > kF8) return;
    AcqParam& p = GAcqParam;
    const bool camera = IsCameraEnabled(GstrKparFile, true);
    // One point either way, kept within the recording as the mouse and the typed times keep it.
    auto step = [&p](int32_t& point, int delta) {
        point = static_cast<int32_t>(std::clamp<int64_t>(int64_t{point} + delta, 0, std::max(p.PTotal, 0)));
    };
    switch (KeyCode) {
        case kF3: step(p.Cur_L_Point, -1); break;
        case kF4: step(p.Cur_L_Point, +1); break;
        case kF5: step(p.Cur_R_Point, -1); break;
        case kF6: step(p.Cur_R_Point, +1); break;
        case kF1:
        case kF2:
            if (camera) p.Cur_L_Point = frameStep(p.Cur_L_Point, KeyCode == kF2);
            break;
        case kF7:
        case kF8:
            if (camera) p.Cur_R_Point = frameStep(p.Cur_R_Point, KeyCode == kF8);
            break;
        default: break;
    }
    const bool leftKey = KeyCode == kF1 || KeyCode == kF2 || KeyCode == kF3 || KeyCode == kF4;
    const bool frameKey = KeyCode == kF1 || KeyCode == kF2 || KeyCode == kF7 || KeyCode == kF8;
    if (!frameKey || camera) {
        // The monitor is redrawn with the cursors; the positions stay as stepped for the cursor
        // move (the graph set-up would pull them into the window).
        PBXMoniDisp.Refresh();
        if (leftKey)
            MoveCurL(static_cast<float>(p.Cur_L_Point));
        else
            MoveCurR(static_cast<float>(p.Cur_R_Point));
    }
    // The camera shows the frames at the cursors, also after a right-cursor key.
    if (camera) frmCAMDisp::instance().DispFlamePos(p.Cur_L_Point, p.Cur_R_Point);
}

}  // namespace qv
