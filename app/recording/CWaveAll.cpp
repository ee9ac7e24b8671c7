#include "app/recording/CWaveAll.h"

#include <algorithm>
#include <vector>

#include "app/channel/CWave.h"
#include "app/common/DaskBase.h"
#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/common/modCommon.h"
#include "platform/basic/Format.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Controls.h"

namespace qv {

namespace {
// Band colours by channel index mod 4: black, blue, red, green (0x00BBGGRR).
constexpr int32_t kBandColours[4] = {0, 16711680, 255, 65280};
}  // namespace

CWaveAll::CWaveAll() {
    for (int32_t ch = 0; ch < kChannels; ++ch) slot(ch).BandColor(kBandColours[ch % 4]);
}

qv::CWave& CWaveAll::slot(int32_t ch) {
    if (ch < 0 || ch >= kChannels) basic::raiseError(basic::errSubscript);
    auto& s = slots_[static_cast<size_t>(ch)];
    if (!s) s = std::make_shared<qv::CWave>();
    return *s;
}

void CWaveAll::SetWave(const WaveArray& samples) {
    const int32_t nPts = GetUBound(samples, 1) + 1;
    const int32_t nCh = GetUBound(samples, 2) + 1;
    if (nPts <= 0) basic::raiseError(basic::errSubscript);
    std::vector<float> work(static_cast<size_t>(nPts));
    sweepPoint_ = nPts;
    for (int32_t ch = 0; ch < nCh; ++ch) {
        qv::CWave& w = slot(ch);  // past channel 63: error 9, channels 0..63 loaded
        Trelm::S_ADDC(work.data(), samples.Channel(ch), 0.0f, nPts);
        w.Allocate(nPts);
        w.UpdateWave(work, 0, nPts);
        w.PTotal(nPts);
    }
}

void CWaveAll::AllocateAll(int32_t n) {
    for (int32_t ch = 0; ch < kChannels; ++ch) slot(ch).Allocate(n);
}

void CWaveAll::WaveColor(int32_t ch, int32_t colour) { slot(ch).BandColor(colour); }

void CWaveAll::DispCHSel(int32_t ch, int32_t pos) { slot(ch).DispPos(pos); }

void CWaveAll::DispNum(int32_t n) {
    for (int32_t ch = 0; ch < kChannels; ++ch) slot(ch).DispNum(n);
}

std::shared_ptr<qv::CWave> CWaveAll::CWave(int32_t ch) {
    slot(ch);
    return slots_[static_cast<size_t>(ch)];
}

void CWaveAll::CWave(int32_t ch, std::shared_ptr<qv::CWave> wave) {
    if (ch < 0 || ch >= kChannels) basic::raiseError(basic::errSubscript);
    slots_[static_cast<size_t>(ch)] = std::move(wave);
}

void CWaveAll::SweepPoint(int32_t v) {
    sweepPoint_ = v;
    for (int32_t ch = 0; ch < kChannels; ++ch) slot(ch).SweepPoint(v);
}

void CWaveAll::Delete(int32_t ch) { slot(ch).ClearData(); }

void CWaveAll::Copy(int32_t from, int32_t to) {
    qv::CWave& target = slot(to);
    slot(from).MakeCopy(target);
}

int32_t CWaveAll::PTotalMax() {
    if (!lstPTotalMax_) return 0;
    lstPTotalMax_->Clear();
    int32_t most = slot(0).PTotal();
    for (int32_t ch = 0; ch < kChannels; ++ch) {
        const int32_t total = slot(ch).PTotal();
        most = std::max(most, total);
        lstPTotalMax_->AddItem(basic::Format(total, "0000000000"));
    }
    return most;
}

// The axis box over SweepPoint points with a vertical grid every DivWidth points, then a dotted
// line at every band border and band centre of channel 0's DispNum bands (not the top border).
void CWaveAll::drawFrame(forms::PictureBox& P) {
    P.Cls();
    Trelm::VIEWSET(P.hWnd(), P.hDC());
    Trelm::MARGINSET(0, 0, 0, 0);
    Trelm::WINDOW(0.0f, 0.0f, static_cast<float>(sweepPoint_), 1.0f);
    Trelm::AXISBOX(divWidth_, 0.0f, 0.0f, 0.0f, 0, 0, 1.0f, 1.0f, 2, GAxisBoxOpt.data());
    Trelm::LINETYPES(2, GAxisBoxOpt[2]);
    const int32_t n = slot(0).DispNum();
    Trelm::WINDOW(0.0f, 0.0f, 1.0f, static_cast<float>(n));
    for (int64_t i = 0; i < 2 * int64_t{n}; ++i) {
        const float y = static_cast<float>(static_cast<double>(i) * 0.5);
        Trelm::MOVEDRAW(0.0f, y, 1.0f, y);
    }
}

void CWaveAll::DispWaveAll(int32_t lStart) {
    if (!waveGraphAll_) return;
    drawFrame(*waveGraphAll_);
    for (int32_t ch = 0; ch < kChannels; ++ch)
        slot(ch).DispWaveAll2(lStart, false, nullptr, 0, 0, 0, 0);
}

void CWaveAll::DispWaveAll2(int32_t lStart, forms::PictureBox* P) {
    if (!P) return;
    drawFrame(*P);
    for (int32_t ch = 0; ch < kChannels; ++ch) {
        qv::CWave& w = slot(ch);
        w.WaveGraphAll(P);
        if (w.PTotal() != 0) w.DispWaveAll2(lStart, false, nullptr, 0, 0, 0, 0);
    }
}

}  // namespace qv
