// The main window's display, recording and calibration operations in the least form that lets
// the window start, show its monitor and close: the monitor's graph and cursors, the range
// boxes, and the settings and recording loads as far as their callers rely on them. Drawing,
// read-outs and the file loads themselves come with the display and data-file code.
#include <algorithm>
#include <limits>

#include "app/channel/AmpCalTable.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/main/Acqisition.h"

namespace qv {

// Two measurement cursors and the four edges of the two calibration windows.
namespace {
constexpr int32_t kCursorCount = 6;
}

void Acqisition::SetCursor(int32_t& leftPoint, int32_t& rightPoint, bool reset) {
    const int32_t page = std::max<int32_t>(GAcqParam.lSweepPoint, 1);
    const int32_t start = GAcqParam.lPosWAVE_Start;
    if (reset || leftPoint < 0 || rightPoint < 0) {
        leftPoint = start + page / 4;
        rightPoint = start + page * 3 / 4;
    }
    GAcqParam.Cur_L_Point = leftPoint;
    GAcqParam.Cur_R_Point = rightPoint;
    if (lGraphHandle != 0) Trelm::H_DELETE(lGraphHandle);
    lGraphHandle = Trelm::H_VIEWSET(PBXMoniDisp.hWnd(), PBXMoniDisp.hDC());
    if (lGraphHandle == 0) return;  // the library's graph table is full
    Trelm::H_WAVEGET(lGraphHandle);
    Trelm::H_WINDOW(lGraphHandle, static_cast<float>(start), -100.0f,
                    static_cast<float>(start + page), 100.0f);
    Trelm::H_CURSORSIZE(lGraphHandle, kCursorCount);
    const auto l = static_cast<float>(leftPoint), r = static_cast<float>(rightPoint);
    Trelm::H_CURSOR(lGraphHandle, 0, l, -100.0f, l, 100.0f);
    Trelm::H_CURSOR(lGraphHandle, 1, r, -100.0f, r, 100.0f);
    DispCurValue();
}

void Acqisition::DispCurValue() {}
void Acqisition::DispCurLabelName() {}
void Acqisition::DispCurMark() {}

void Acqisition::MoveCurL(float X) {
    if (lGraphHandle != 0) Trelm::H_CURSORMOVE(lGraphHandle, 0, X, -100.0f, X, 100.0f);
    DispCurValue();
}

void Acqisition::MoveCurR(float X) {
    if (lGraphHandle != 0) Trelm::H_CURSORMOVE(lGraphHandle, 1, X, -100.0f, X, 100.0f);
    DispCurValue();
}

CCalSetting* Acqisition::GetIntCAL(std::string& name) { return qv::GetIntCAL(name); }

}  // namespace qv
