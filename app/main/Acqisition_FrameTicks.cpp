// The camera's frame positions on the monitor: a tick at the top for every video frame of the
// window, with the frame numbers and positions when asked for, and the frame picked in the
// frame-table window as a dotted line.
#include <vector>

#include "app/camera/frmCAMDisp.h"
#include "app/camera/frmCAM_TEST.h"
#include "app/camera/modCAM.h"
#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Runtime.h"

namespace qv {

using basic::CLng;
using basic::CStr;

void Acqisition::DrawFrameTicks(int32_t nDisp) {
    if (GlFlameTime.size() < 2 || !IsCameraEnabled(GstrKparFile, false)) return;
    const int32_t lPos = GAcqParam.lPosWAVE_Start;
    const int32_t lSweep = GAcqParam.lSweepPoint;
    const auto top = static_cast<float>(nDisp);
    Trelm::WINDOW(static_cast<float>(lPos), 0.0f,
                  static_cast<float>(static_cast<double>(lPos) + lSweep), top);
    // 2 % of the start-up height, so a taller monitor does not make longer ticks.
    const double height = PBXMoniDisp.Height();
    const auto tick = static_cast<float>(height > 0 ? 0.02 * nDisp * MoniDispStartHeight / height : 0);
    const std::string adjText = frmCAMDisp::instance().txtAdjustMS.Text();
    const float adj = MsToPoint(frmCAMDisp::instance().AdjustMS());
    const auto frameX = [&](int32_t k) {
        return static_cast<float>(GlFlameTime[static_cast<size_t>(k)] - adj);
    };
    const auto frames = static_cast<int32_t>(GlFlameTime.size());
    // An offset that takes the page beyond the Long range looks at the recording's first or last frame.
    const int32_t first = FindStackFlameIndex(PointOrRecordingEnd(static_cast<double>(adj) + lPos));
    const int32_t last = FindStackFlameIndex(PointOrRecordingEnd(static_cast<double>(adj) + lPos + lSweep));
    const int32_t green = basic::RGB(0, 192, 0);
    for (int32_t k = std::max(first, 0); k <= last && k < frames; ++k) {
        const float x = frameX(k);
        Trelm::LINETYPES(0, green);
        Trelm::MARGINSET(0, 0, 0, 0);
        Trelm::MOVEDRAW(x, top - tick, x, top);
        if (chkDispCAMPos.Value() == 1) {
            Trelm::MOVEDRAW(x, 0.0f, x, top);
            Trelm::MARGINSET(0, 0, 0, 0);
            Trelm::CTYPEM(5, 10);
            Trelm::CPLOT(x, top, CStr(k).c_str());
        }
        if (chkDispCAMPosNo.Value() == 1) {
            const int32_t at = GlFlameTime[static_cast<size_t>(k)];
            Trelm::MARGINSET(0, 0, 10, 0);
            Trelm::CTYPEM(5, 10);
            Trelm::CPLOT(x, top, CStr(at).c_str());
            Trelm::MARGINSET(0, 0, 20, 0);
            Trelm::CTYPEM(5, 10);
            Trelm::CPLOT(x, top, CStr(at - basic::Val(adjText)).c_str());
        }
    }
    // The frame picked in the frame-table window, when that window is open.
    if (forms::Runtime::get().findForm("frmCAM_TEST")) {
        const int s = frmCAM_TEST::instance().lstGlFlameTime.ListIndex();
        if (s >= 0 && s < frames) {
            Trelm::LINETYPES(2, green);
            Trelm::MOVEDRAW(frameX(s), top - tick, frameX(s), 0.0f);
        }
    }
}

int32_t Acqisition::GetDispFlameStart(int32_t t) {
    const auto n = static_cast<int32_t>(GsngFlameTime.size());
    if (n < 1) return 0;
    // The slice may report as many passages as there are frames: the lists take them all.
    std::vector<float> list1(static_cast<size_t>(n)), list2(static_cast<size_t>(n));
    int32_t count1 = 0, count2 = 0;
    Trelm::S_SLICE(&count1, list1.data(), &count2, list2.data(), GsngFlameTime.data(), n,
                   static_cast<float>(t), 0.0f, -1E+30f, 1E+30f);
    return count1 > 0 ? CLng(list1[0]) : 0;
}

}  // namespace qv
