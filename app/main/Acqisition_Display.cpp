// The monitor picture: one complete redraw through the library's global view (grid, bands,
// traces, overlays, marks, then the cursor graph's XOR repaint), the paint handler that only
// arms the one-shot display timer, and the terminal source's frame drawing.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <exception>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/camera/frmCAMDisp.h"
#include "app/common/DaskBase.h"
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/TrelmImports.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_Monitor.h"
#include "platform/basic/Numbers.h"

namespace qv {

using basic::CLng;
using basic::CStr;
using basic::RGB;
using monitor::boxValue;
using monitor::channelsOf;
using monitor::waveOf;

namespace {

constexpr int32_t kSolid = 0;
constexpr int32_t kDotted = 2;

// "hh:mm:ss" of a count of seconds after midnight (a day and more wraps round).
std::string clockText(int32_t seconds) {
    const int32_t s = ((seconds % 86400) + 86400) % 86400;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    return text;
}

// The points of the window that hold samples of the recording: a window reaching past the
// recording's end (a short recording, a cut data file) shows only what was read.
int32_t validPoints(int32_t sweep) {
    const int64_t left = static_cast<int64_t>(GAcqParam.PTotal) - GAcqParam.lPosWAVE_Start;
    const int64_t n = std::clamp<int64_t>(left, 0, static_cast<int64_t>(sweep) + 1);
    return static_cast<int32_t>(std::min<int64_t>(n, DispWaveArray.Points()));
}

void hLine(float x1, float x2, float y) { Trelm::MOVEDRAW(x1, y, x2, y); }

}  // namespace

void Acqisition::DispFullWave(int32_t hDC, bool bForce) {
    if (GbEndProgram) return;
    AcqParam& p = GAcqParam;
    // 1. Guards and the time per division (ten divisions a window).
    const int32_t nDisp = GetDispCHNum();
    if (nDisp == 0) return;
    const bool acq = IsModeAcq();
    if (acq) {
        TXTDR_TimeDiv.setText(CStr(static_cast<double>(p.lSweepTimeMS) / 10.0));
        if (!IsTriggerSetting()) return;
    } else if (p.lcmbTimeFS_ListIndex >= 0 && p.lcmbTimeFS_ListIndex < cmbTimeFS.ListCount()) {
        TXTDR_TimeDiv.setText(CStr(cmbTimeFS.ItemData(p.lcmbTimeFS_ListIndex) / 10.0));
    }
    if (p.GbLoading) return;
    if (!bForce && !IsDataLoaded()) return;

    const int32_t lPos = p.lPosWAVE_Start;
    const int32_t lSweep = p.lSweepPoint;
    const auto sweep = static_cast<float>(lSweep);
    const auto bands = static_cast<float>(nDisp);
    const auto start = static_cast<float>(lPos);
    const auto end = static_cast<float>(static_cast<double>(lPos) + lSweep);
    const bool trig = IsTriggerSetting();
    const bool useCal = IsUseCal();
    const monitor::ChannelSpan live = channelsOf(GAcqCondition);
    const monitor::ChannelSpan recorded = channelsOf(p.Condition);

    // 2. Clear and frame.
    PBXMoniDisp.Cls();
    Trelm::VIEWSET(PBXMoniDisp.hWnd(), hDC);
    Trelm::MARGINSET(0, 0, 0, 0);
    Trelm::LINETYPES(kSolid, 0);

    // 3. Grid: ten divisions across, four a band; the axis numbers lie far outside.
    Trelm::WINDOW(0.0f, 0.0f, sweep, bands);
    Trelm::AXISBOX(sweep / 10.0f, 0.25f, 0.0f, 0.0f, -999, 999, 1.0f, 1.0f, kDotted,
                   GAxisBoxOpt.data());

    // 4. Each shown channel's range fills its band.
    for (int32_t ch = live.first; ch <= live.last; ++ch) {
        if (p.CHKWaveNo[ch] != 1) continue;
        CWave& w = waveOf(ch);
        w.DispNum(nDisp);
        w.RangeHi(boxValue(useCal ? txtDR_WaveHi(ch) : txtDR_WaveHi_V(ch)));
        w.RangeLo(boxValue(useCal ? txtDR_WaveLo(ch) : txtDR_WaveLo_V(ch)));
    }

    // 5. Camera frame ticks.
    DrawFrameTicks(nDisp);

    // 6. Band centre lines.
    Trelm::MARGINSET(0, 0, 0, 0);
    Trelm::WINDOW(0.0f, 0.0f, sweep, bands);
    Trelm::LINETYPES(kSolid, RGB(192, 192, 192));
    for (int32_t k = 0; k < p.wCh; ++k) hLine(0.0f, sweep, static_cast<float>(k) + 0.5f);

    // 7. Sweep start and trigger levels.
    if (trig) {
        Trelm::LINETYPES(kDotted, RGB(0, 0, 0));
        Trelm::MOVEDRAW(0.0f, 0.0f, 0.0f, static_cast<float>(p.wCh));
        const int32_t t = p.lTrgCH - 1;
        if (t >= 0 && t < 32) {
            const CalRecord& c = (useCal ? GCalRecEU : GCalRecVolt)[static_cast<size_t>(t)];
            auto eu = [&](float count) { return monitor::levelOf(c, count); };
            const std::optional<float> lo = eu(static_cast<float>(p.TrgLevelD)), hi = eu(static_cast<float>(p.TrgLevelU));
            // A calibration that cannot convert the levels (a damaged recording) has none to draw;
            // a level in a box (typed, or stored in the recording) that no single holds, in counts
            // or in units, draws no line of its own.
            if (lo && hi) {
                CWave& w = waveOf(t);
                Trelm::WINDOW(0.0f, w.WindowLo(), sweep, w.WindowHi());
                Trelm::LINETYPES(kDotted, RGB(192, 0, 0));
                for (const forms::TextBox* box : {&t1, &t2})
                    if (const std::optional<float> count = basic::TryCSng(basic::TypedVal(box->Text())))
                        if (const std::optional<float> v = eu(*count)) hLine(0.0f, sweep, *v);
                Trelm::LINETYPES(kDotted, RGB(0, 0, 0));
                hLine(0.0f, sweep, *lo);
                hLine(0.0f, sweep, *hi);
            }
        }
    }

    // 8. Traces, the channel objects' samples and the statistics of the cursor range.
    const int32_t shown = validPoints(lSweep);
    // A channel that holds exactly the last page is overwritten in place: the same result as a
    // fresh buffer, without reallocating a page per channel and redraw.
    auto takeSamples = [&](CWave& w, int32_t k) {
        if (w.ArrayMax() != lSweep || w.SweepPoint() != lSweep || w.PTotal() != lSweep) w.Allocate(lSweep);
        w.UpdateWave(std::span<const float>(DispWaveArray.Channel(k), static_cast<size_t>(lSweep)), 0, lSweep);
    };
    auto traceOf = [&](int32_t ch) {
        const int32_t k = ch - (GAcqCondition.lStartCH - 1);
        return k >= 0 && k < DispWaveArray.Channels() ? k : -1;
    };
    auto drawTrace = [&](CWave& w, int32_t k) {
        Trelm::WINDOW(0.0f, w.WindowLo(), sweep, w.WindowHi());
        if (k >= 0 && (acq || chkDispRaw.Value() == 1)) {
            Trelm::LINETYPES(kSolid, acq ? RGB(0, 0, 0) : trig ? RGB(255, 0, 0) : RGB(0, 0, 192));
            Trelm::DISPS(DispWaveArray.Channel(k), shown, 0, 0.0f, 0.0f);
        }
    };
    // Without the overlays, which read the channel objects, the objects take their copies of
    // the page (hundreds of megabytes on long pages) on helper threads while the traces are
    // drawn here: the same picture and the same objects. One thread copies well below the
    // memory's pace, so a long page has up to three, taking channels in drawing order. In
    // error-raise mode, whose checks report from the objects, channel by channel as below.
    const bool copyAlongside = chkMean.Value() != 1 && GstrErrRaise != "1" && lSweep > 0 &&
                               DispWaveArray.Points() >= lSweep;
    std::vector<std::pair<CWave*, int32_t>> copies;
    if (copyAlongside) {
        for (int32_t ch = live.first; ch <= live.last; ++ch)
            if (p.CHKWaveNo[ch] == 1 && traceOf(ch) >= 0) copies.emplace_back(&waveOf(ch), traceOf(ch));
        constexpr int64_t kValuesPerCopier = int64_t{1} << 22;
        constexpr int64_t kMaxCopiers = 3;
        const auto copiers = static_cast<size_t>(std::clamp<int64_t>(
            static_cast<int64_t>(copies.size()) * lSweep / kValuesPerCopier, 1, kMaxCopiers));
        std::atomic<size_t> next{0};
        std::mutex failed;
        std::exception_ptr failure;
        auto copyAll = [&] {
            try {
                for (size_t j; (j = next.fetch_add(1, std::memory_order_relaxed)) < copies.size();)
                    takeSamples(*copies[j].first, copies[j].second);
            } catch (...) {
                std::lock_guard lock(failed);
                if (!failure) failure = std::current_exception();
            }
        };
        {
            std::vector<std::jthread> helpers;
            try {
                helpers.reserve(copiers);
                while (helpers.size() < copiers) helpers.emplace_back(copyAll);
            } catch (const std::exception&) {
                // The copiers already started (or this thread, after the traces) do the rest.
            }
            for (int32_t ch = live.first; ch <= live.last; ++ch)
                if (p.CHKWaveNo[ch] == 1) drawTrace(waveOf(ch), traceOf(ch));
            if (helpers.empty()) copyAll();
        }
        if (failure) std::rethrow_exception(failure);
    }
    for (int32_t ch = live.first; ch <= live.last && !copyAlongside; ++ch) {
        if (p.CHKWaveNo[ch] != 1) continue;
        CWave& w = waveOf(ch);
        const int32_t k = traceOf(ch);
        drawTrace(w, k);
        if (k >= 0 && lSweep > 0) {
            if (DispWaveArray.Points() >= lSweep) {
                takeSamples(w, k);
            } else {
                if (w.ArrayMax() != lSweep || w.SweepPoint() != lSweep || w.PTotal() != lSweep)
                    w.Allocate(lSweep);
                std::vector<float> scratch(static_cast<size_t>(lSweep), 0.0f);
                Trelm::S_ADDC(scratch.data(), DispWaveArray.Channel(k), 0.0f, DispWaveArray.Points());
                w.UpdateWave(scratch, 0, lSweep);
            }
        }
        if (chkMean.Value() == 1) {
            p.Cur_L_Offset = p.Cur_L_Point - lPos;
            p.Cur_R_Offset = p.Cur_R_Point - lPos;
            int32_t length = p.Cur_R_Offset - p.Cur_L_Offset;
            w.DispMean(p.Cur_L_Offset, length, true);
            w.DispMax(p.Cur_L_Offset, length, true, true, lPos);
            w.DispMin(p.Cur_L_Offset, length, true, true, lPos);
            w.DispP2P(p.Cur_L_Offset, length, true);
        }
    }

    // 9. Marks: an H one unit wide at the bottom; the x unit is that of the mark table.
    Trelm::MARGINSET(0, 0, 0, 0);
    if (p.nSample >= 1) {
        const double unit = 10.0 * p.nSample;
        Trelm::WINDOW(static_cast<float>(lPos / unit), 0.0f,
                      static_cast<float>((static_cast<double>(lPos) + lSweep) / unit), 100.0f);
        Trelm::LINETYPES(kSolid, RGB(255, 0, 0));
        const int32_t marks = std::clamp(MarkArray[0], 0, 99);
        for (int32_t i = 1; i <= marks; ++i) {
            const auto m = static_cast<float>(MarkArray[static_cast<size_t>(i)]);
            Trelm::MOVEDRAW(m, 0.0f, m, 2.0f);
            Trelm::MOVEDRAW(m, 1.0f, m + 1.0f, 1.0f);
            Trelm::MOVEDRAW(m + 1.0f, 0.0f, m + 1.0f, 2.0f);
            if (chkDispMarkAndMove.Value() == 1) {
                Trelm::CPLOT(m, 3.0f, CStr(MarkArray[static_cast<size_t>(i)]).c_str());
                Trelm::CPLOT(m, 4.0f, ("No" + CStr(i)).c_str());
            }
        }
    }

    // 10. Calibration marks: a stroke of 2 % of the picture on the trace at each position.
    for (const auto* table : {&GsngCalMark1, &GsngCalMark2}) {
        const auto& counts = table == &GsngCalMark1 ? GsngCalMarkCnt1 : GsngCalMarkCnt2;
        Trelm::LINETYPES(kSolid, RGB(0, 0, 255));
        for (int32_t ch = recorded.first; ch <= recorded.last; ++ch) {
            if (p.lchkCal_Value[ch] != 1 || p.CHKWaveNo[ch] != 1) continue;
            CWave& w = waveOf(ch);
            const float hi = w.WindowHi(), lo = w.WindowLo();
            Trelm::WINDOW(start, lo, end, hi);
            const int32_t k = ch - (p.Condition.lStartCH - 1);
            if (k < 0 || k >= DispWaveArray.Channels()) continue;
            const int32_t last = std::min(CLng(counts[ch] - 1.0), kCalMarkMax - 1);
            for (int32_t j = 0; j <= last; ++j) {
                const float pos = (*table)[ch][j];
                const int32_t at = CLng(static_cast<double>(pos) - lPos);
                if (at < 0 || at > lSweep || at >= DispWaveArray.Points()) continue;
                const float v = DispWaveArray(at, k);
                const float h = (hi - lo) * 0.01f;
                Trelm::MOVEDRAW(pos, v - h, pos, v + h);
            }
        }
    }

    // 11. Trigger point and the trigger channel's zero line.
    if (trig) {
        Trelm::WINDOW(start, 0.0f, end, static_cast<float>(p.wCh));
        Trelm::LINETYPES(kDotted, RGB(0, 0, 0));
        // A trigger point or channel typed beyond the Long range draws no line.
        if (const std::optional<int32_t> ms = basic::TryCLng(basic::TypedVal(GAcqCondition.strTRG_POINT))) {
            const float tp = MsToPoint(*ms);
            Trelm::MOVEDRAW(start - tp, 0.0f, start - tp, 100.0f);
        }
        const int32_t t = basic::TryCLng(basic::TypedVal(GAcqCondition.strCH)).value_or(0) - 1;
        if (t >= 0 && t < 32) {
            CWave& w = waveOf(t);
            Trelm::WINDOW(start, w.WindowLo(), end, w.WindowHi());
            hLine(start, end, 0.0f);
        }
    }

    // 12. The cursors in XOR over the new picture, then their read-outs.
    if (!acq) Trelm::H_PAINT(lGraphHandle);
    DispCurValue();
    DispCurMark();

    // 13. Time labels.
    if (!acq) {
        if (trig) {
            const double sweepNo = lSweep > 0 ? static_cast<double>(lPos) / lSweep + 1.0 : 1.0;
            LBLTimer.setCaption(CStr(sweepNo));
            LBLTime.setCaption(GetTrigDateTime(CLng(basic::Val(LBLTimer.Caption()) - 1.0)));
            lblSoftTrgCntAll.setCaption(GAcqCondition.lGetRemoteHost != 0
                                            ? CStr(p.lSoftTrgCntAll)
                                            : std::string("----"));
        } else {
            const double seconds = PointToMs(lPos) / 1000.0;
            LBLTimer.setCaption(CStr(static_cast<float>(seconds)));
            LBLTime.setCaption(GetDaysStr(p.NTimer) + " " + clockText(CLng(seconds)));
            lblSoftTrgCntAll.setCaption("----");
        }
    }

    // 14-15.
    for (int32_t ch = recorded.first; ch <= recorded.last; ++ch) {
        if (CHKWaveNo(ch).Value() != 1) continue;
        txtNoName_3(ch).setVisible(true);
        txtNoName_3R(ch).setVisible(true);
    }
    PBXMoniDisp.setVisible(true);
}

void Acqisition::DispTerminalMode(int32_t frame) {
    AcqParam& p = GAcqParam;
    if (p.GbLoading || !IsDataLoaded()) return;
    const int32_t lSweep = p.lSweepPoint;
    if (p.nSample < 1 || lSweep < 1) return;
    const int32_t frames = CLng(static_cast<double>(lSweep) / p.nSample);
    if (frames < 1) return;
    const int32_t cur = basic::Mod(p.NFrame - 1, frames) * p.nSample;
    if (frame == -1) PBXMoniDisp.Cls();
    Trelm::VIEWSET(PBXMoniDisp.hWnd(), PBXMoniDisp.hDC());
    Trelm::MARGINSET(0, 0, 0, 0);
    Trelm::LINETYPES(kSolid, 0);
    const auto sweep = static_cast<float>(lSweep);
    if (frame != -1) {
        // Blank the newest frame's column over all bands.
        Trelm::LINETYPES(kSolid, RGB(255, 255, 255));
        Trelm::WINDOW(0.0f, 0.0f, static_cast<float>(frames), static_cast<float>(p.wCh));
        const auto all = static_cast<float>(p.wCh);
        Trelm::DISPS(&all, 1, 4, static_cast<float>(basic::Mod(p.NFrame, frames)), 0.0f);
    }
    Trelm::WINDOW(0.0f, 0.0f, sweep, static_cast<float>(p.wCh));
    if (frame == -1)
        Trelm::AXISBOX(sweep / 10.0f, 0.25f, 0.0f, 0.0f, -999, 999, 1.0f, 1.0f, kDotted,
                       GAxisBoxOpt.data());
    Trelm::LINETYPES(kSolid, RGB(192, 192, 192));
    const auto from = static_cast<float>(basic::Mod((frame - 1) * p.nSample, lSweep));
    const auto to = static_cast<float>(basic::Mod(frame * p.nSample, lSweep));
    for (int32_t k = 0; k < p.wCh; ++k) hLine(from, to, static_cast<float>(k) + 0.5f);
    if (IsTriggerSetting()) {
        Trelm::LINETYPES(kDotted, RGB(0, 0, 0));
        Trelm::MOVEDRAW(0.0f, 0.0f, 0.0f, static_cast<float>(p.wCh));
    }
    const monitor::ChannelSpan recorded = channelsOf(p.Condition);
    for (int32_t ch = recorded.first; ch <= recorded.last; ++ch) {
        if (p.CHKWaveNo[ch] != 1) continue;
        CWave& w = waveOf(ch);
        w.RangeHi(p.DR_WaveHi[ch]);
        w.RangeLo(p.DR_WaveLo[ch]);
        Trelm::WINDOW(0.0f, w.WindowLo(), sweep, w.WindowHi());
        Trelm::LINETYPES(kSolid, 0);
        const int32_t k = ch - (p.Condition.lStartCH - 1);
        if (k < 0 || k >= DispWaveArray.Channels() || DispWaveArray.Points() < lSweep) continue;
        // The newest frame alone comes from the acquisition's frame buffers, which this
        // viewer does not have; the whole sweep is drawn from the display window.
        if (frame != -1) continue;
        const float* column = DispWaveArray.Channel(k);
        Trelm::DISPS(column + (lSweep - cur), cur, 0, 0.0f, 0.0f);
        Trelm::DISPS(column, lSweep - cur, 0, static_cast<float>(cur), 0.0f);
    }
}

// The paint event never draws: it arms the 1 ms one-shot, so a burst of paints is one redraw.
void Acqisition::PBXMoniDisp_Paint() {
    if (IsModeAcq()) {
        if (IsTriggerSetting())
            DispFullWave(PBXMoniDisp.hDC(), true);
        else if (IsGetRemoteHost())
            DispTerminalMode(-1);
        return;
    }
    if (IsModeRecalc()) return;
    timDisp.setEnabled(true);
}

void Acqisition::timDisp_Timer() {
    // Off first, so that a failing redraw does not fire again and again.
    timDisp.setEnabled(false);
    DispFullWave(PBXMoniDisp.hDC(), false);
}

void Acqisition::cmdDispInit_Click() { frmCAMDisp::instance().DispInit(); }

}  // namespace qv
