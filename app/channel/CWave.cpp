#include "app/channel/CWave.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "platform/basic/Basic.h"

namespace qv {

namespace {

using basic::CStr;

[[noreturn]] void subscriptError() { basic::raiseError(basic::errSubscript); }

// The last index of an array; -1 for one that is not allocated.
int64_t lastIndex(size_t size) { return static_cast<int64_t>(size) - 1; }

// The argument test of the copy and arithmetic operations: the array must reach index
// first + count - 1.
void requireSize(size_t size, int64_t first, int64_t count, const char* description) {
    if (lastIndex(size) < first + count - 1) basic::raiseError(basic::errApplication, description);
}

// The caller's array must hold the count it names; even an empty copy indexed its element 0.
void requireSource(size_t size, int32_t count) {
    if (size == 0 || (count > 0 && static_cast<size_t>(count) > size)) subscriptError();
}

std::vector<float> zeros(int32_t n) {
    try {
        return std::vector<float>(static_cast<size_t>(n), 0.0f);
    } catch (const std::bad_alloc&) {
        basic::raiseError(basic::errOutOfMemory);
    }
}

}  // namespace

CWave::CWave()
    : peakTable_(static_cast<size_t>(kPeakTableSize), 0.0f),
      valleyTable_(static_cast<size_t>(kPeakTableSize), 0.0f) {}

bool CWave::errRaise() { return GstrErrRaise == "1"; }

int32_t CWave::sum32(int64_t a, int64_t b) {
    const int64_t r = a + b;
    if (r < INT32_MIN || r > INT32_MAX) basic::raiseError(basic::errOverflow);
    return static_cast<int32_t>(r);
}

float* CWave::runAt(int32_t start, int32_t count) {
    return const_cast<float*>(std::as_const(*this).runAt(start, count));
}

const float* CWave::runAt(int32_t start, int32_t count) const {
    const int64_t size = static_cast<int64_t>(wave_.size());
    if (start < 0 || start >= size) subscriptError();
    if (count > 0 && int64_t{start} + count > size) subscriptError();
    return wave_.data() + start;
}

int32_t CWave::checkedPTotal() const {
    if (wave_.empty() || pTotal_ < 0 || pTotal_ > static_cast<int64_t>(wave_.size()))
        subscriptError();
    return pTotal_;
}

void CWave::lowerToPTotal(int32_t& count) const {
    if (count > pTotal_) count = pTotal_;
}

// ---- computed properties ----

float CWave::WaveValue(int32_t index) const {
    if (index < 0) subscriptError();
    return index < static_cast<int64_t>(wave_.size()) ? wave_[static_cast<size_t>(index)] : 0.0f;
}

void CWave::WaveValue(int32_t index, float value) {
    if (index < 0) subscriptError();
    if (index < static_cast<int64_t>(wave_.size())) wave_[static_cast<size_t>(index)] = value;
}

float CWave::WindowHi() const {
    if (chWindow_ != 0) return rangeHi_;
    const float span = rangeHi_ - rangeLo_;
    return static_cast<float>(rangeHi_ + (static_cast<double>(chMarginD_) + dispPos_) * span);
}

float CWave::WindowLo() const {
    if (chWindow_ != 0) return rangeLo_;
    const float span = rangeHi_ - rangeLo_;
    return static_cast<float>(
        rangeLo_ - (static_cast<double>(chMarginD_) + dispNum_ - dispPos_ - 1) * span);
}

void CWave::WaveMax(float& value, int32_t& index) const {
    const int32_t n = checkedPTotal();
    Trelm::S_MAX(&value, &index, wave_.data(), n);
}

void CWave::WaveMin(float& value, int32_t& index) const {
    const int32_t n = checkedPTotal();
    Trelm::S_MIN(&value, &index, wave_.data(), n);
}

// ---- buffer ----

void CWave::Allocate(int32_t n) {
    if (n < 0) subscriptError();
    if (n == 0) n = kDefaultPoints;
    wave_ = zeros(n);
    pTotal_ = 0;
    sweepPoint_ = n;
}

void CWave::ClearData() {
    wave_ = {};
    pTotal_ = 0;
}

void CWave::PutArray(std::span<const float> values) {
    try {
        wave_.assign(values.begin(), values.end());
    } catch (const std::bad_alloc&) {
        basic::raiseError(basic::errOutOfMemory);
    }
}

void CWave::MakeCopy(CWave& other) const {
    if (&other == this) return;
    other.PutArray(wave_);
    other.pTotal_ = pTotal_;
    other.bandColor_ = bandColor_;
    other.chDisp_ = chDisp_;
    other.chWindow_ = chWindow_;
    other.dispStart_ = dispStart_;
    other.dispEnd_ = dispEnd_;
    other.dispNum_ = dispNum_;
    other.dispPos_ = dispPos_;
    other.divWidthUnit_ = divWidthUnit_;
    other.rangeHi_ = rangeHi_;
    other.rangeLo_ = rangeLo_;
    other.sweepPoint_ = sweepPoint_;
    other.chMarginD_ = chMarginD_;
    other.chMarginU_ = chMarginU_;
    other.waveGraphAll_ = waveGraphAll_;
}

void CWave::checkExchange(size_t arraySize, int32_t start, int32_t count, const char* arrayText,
                          const char* bufferText) const {
    if (errRaise()) {
        requireSize(arraySize, 0, count, arrayText);
        requireSize(wave_.size(), start, count, bufferText);
    }
    requireSource(arraySize, count);
}

void CWave::AddWave(std::span<const float> sngWave, int32_t lAddPoint, int32_t lAddNum) {
    checkExchange(sngWave.size(), lAddPoint, lAddNum,
                  "sngWaveのサイズが、lAddPoint で指定されたサイズを下回るサイズしか確保されていません。",
                  "MsngWaveのサイズが、lAddPoint + lAddNum で指定されたサイズを下回るサイズしか確保されていません。");
    float* dst = runAt(lAddPoint, lAddNum);
    const int32_t total = sum32(pTotal_, lAddNum);
    if (lAddNum > 0) std::copy_n(sngWave.data(), lAddNum, dst);
    pTotal_ = total;
    if (errRaise()) CheckWave();
}

void CWave::UpdateWave(std::span<const float> sngWave, int32_t lUpdatePoint, int32_t lUpdateNum) {
    checkExchange(sngWave.size(), lUpdatePoint, lUpdateNum,
                  "sngWaveのサイズが、lUpdatePoint で指定されたサイズを下回るサイズしか確保されていません。",
                  "MsngWaveのサイズが、lUpdatePoint + lUpdateNum で指定されたサイズを下回るサイズしか確保されていません。");
    float* dst = runAt(lUpdatePoint, lUpdateNum);
    const int32_t total = pTotal_ == 0 ? sum32(lUpdatePoint, lUpdateNum) : pTotal_;
    if (lUpdateNum > 0) std::copy_n(sngWave.data(), lUpdateNum, dst);
    pTotal_ = total;
    if (errRaise()) CheckWave();
}

void CWave::GetWave(std::span<float> sngWave, int32_t lGetPoint, int32_t lGetNum) const {
    checkExchange(sngWave.size(), lGetPoint, lGetNum,
                  "sngWaveのサイズが、lGetPointで指定されたサイズを下回るサイズしか確保されていません。",
                  "MsngWaveのサイズが、lGetPoint + lGetNumで指定されたサイズを下回るサイズしか確保されていません。");
    const float* src = runAt(lGetPoint, lGetNum);
    if (lGetNum > 0) std::copy_n(src, lGetNum, sngWave.data());
}

// ---- in-place arithmetic ----

void CWave::SumWave(std::span<const float> sngWave, int32_t lSumPoint, int32_t lSumNum) {
    checkExchange(sngWave.size(), lSumPoint, lSumNum,
                  "sngWaveのサイズが、lSumNum で指定されたサイズを下回るサイズしか確保されていません。",
                  "MsngWaveのサイズが、lSumPoint + lSumNum で指定されたサイズを下回るサイズしか確保されていません。");
    float* run = runAt(lSumPoint, lSumNum);
    Trelm::S_ADD(run, run, sngWave.data(), lSumNum);
    if (errRaise()) CheckWave();
}

void CWave::DivcWave(float sngDivC, int32_t lDivPoint, int32_t lDivNum) {
    if (errRaise()) {
        if (sngDivC == 0.0f)
            basic::raiseError(basic::errApplication, "sngDivC が０です。０割になります。");
        requireSize(wave_.size(), lDivPoint, lDivNum,
                    "MsngWaveのサイズが、lDivPoint + lDivNum で指定されたサイズを下回るサイズしか確保されていません。");
    }
    float* run = runAt(lDivPoint, lDivNum);
    Trelm::S_DIVC(run, run, sngDivC, lDivNum);
    if (errRaise()) CheckWave();
}

void CWave::MulcWave(float sngMulC, int32_t lMulPoint, int32_t lMulNum) {
    if (errRaise())
        requireSize(wave_.size(), lMulPoint, lMulNum,
                    "MsngWaveのサイズが、lMulPoint + lMulNum で指定されたサイズを下回るサイズしか確保されていません。");
    float* run = runAt(lMulPoint, lMulNum);
    Trelm::S_MULC(run, run, sngMulC, lMulNum);
    if (errRaise()) CheckWave();
}

void CWave::ShiftWave(float c, int32_t start, int32_t count) {
    float* run = runAt(start, count);
    Trelm::S_ADDC(run, run, c, count);
}

void CWave::FullRect() {
    const int32_t n = checkedPTotal();
    Trelm::S_ABS(wave_.data(), wave_.data(), n);
}

void CWave::OffsetWave(int32_t start, int32_t& count) {
    // The mean of the range, taken as a number rather than through its text, so no digits
    // are lost before it is subtracted.
    lowerToPTotal(count);
    float mean = 0.0f;
    Trelm::S_MEAN(&mean, runAt(start, count), count);
    ShiftWave(-mean, 0, pTotal_);
}

void CWave::MoveWave(int32_t k) {
    if (k == 0) return;
    if (wave_.empty()) subscriptError();
    const int32_t length = ArrayMax();
    const int32_t total = sum32(pTotal_, k);
    if (k < 0) {
        // The run starts at -k; a move by the whole buffer or more has no run to start.
        if (int64_t{-int64_t{k}} >= length) subscriptError();
        Trelm::S_SHIFT(reinterpret_cast<int32_t*>(wave_.data()), -k, length + k, k, length);
    } else if (k >= length) {
        // Everything passes the end.
        std::fill(wave_.begin(), wave_.end(), 0.0f);
    } else {
        Trelm::S_SHIFT(reinterpret_cast<int32_t*>(wave_.data()), 0, length - k, k, length);
    }
    pTotal_ = std::clamp(total, 0, length);
}

// ---- statistics ----

std::string CWave::Extreme::text() const { return CStr(value) + "," + CStr(index); }

CWave::Extreme CWave::extremeOf(int32_t start, int32_t& count, bool maximum) const {
    lowerToPTotal(count);
    Extreme e;
    const auto& extreme = maximum ? Trelm::S_MAX : Trelm::S_MIN;
    extreme(&e.value, &e.index, runAt(start, count), count);
    return e;
}

std::string CWave::GetMax(int32_t start, int32_t& count) const {
    return extremeOf(start, count, true).text();
}

std::string CWave::GetMin(int32_t start, int32_t& count) const {
    return extremeOf(start, count, false).text();
}

std::string CWave::GetP2P(int32_t start, int32_t& count) const {
    return extremeOf(start, count, true).text() + "," + extremeOf(start, count, false).text();
}

std::string CWave::GetMean(int32_t start, int32_t& count) const {
    lowerToPTotal(count);
    float mean = 0.0f;
    Trelm::S_MEAN(&mean, runAt(start, count), count);
    return CStr(mean);
}

std::string CWave::GetRMS(int32_t start, int32_t& count) const {
    lowerToPTotal(count);
    const float* run = runAt(start, count);
    if (count <= 0) return "0";
    // Each square is exact in double precision; the running sum is rounded to single precision
    // after every addition, as the original accumulated it.
    float sum = 0.0f;
    for (int32_t i = 0; i < count; ++i) {
        const double v = run[i];
        sum = static_cast<float>(static_cast<double>(sum) + v * v);
    }
    const float meanSquare = static_cast<float>(static_cast<double>(sum) / count);
    return CStr(static_cast<float>(std::sqrt(static_cast<double>(meanSquare))));
}

std::string CWave::GetPeak(int32_t start, int32_t& count, float threshold, int32_t& peakNum,
                           int32_t& valleyNum, std::vector<float>& peaks,
                           std::vector<float>& valleys) const {
    lowerToPTotal(count);
    // The tables are dimensioned 0 to count - 1, which needs at least one entry.
    if (count <= 0) subscriptError();
    const float* run = runAt(start, count);
    peaks = zeros(count);
    valleys = zeros(count);
    Trelm::S_PEAK(&peakNum, peaks.data(), &valleyNum, valleys.data(), run, count, threshold);
    return "";
}

std::string CWave::GetCondenceWave(int32_t start, int32_t& count, int32_t m,
                                   std::vector<float>& out) const {
    lowerToPTotal(count);
    if (m <= 0) subscriptError();
    const float* run = runAt(start, count);
    out = zeros(m);
    Trelm::S_CONDENSE(out.data(), run, count, m);
    return "";
}

std::string CWave::GetWaveTrans(int32_t m, std::vector<float>& out) const {
    const int32_t n = checkedPTotal();
    if (m <= 0) subscriptError();
    out = zeros(m);
    Trelm::S_TRANS(out.data(), wave_.data(), 0, n, m);
    return "";
}

// ---- paging ----

void CWave::CheckNextPage() {
    if (sum32(dispStart_, sweepPoint_) >= pTotal_)
        dispStart_ = sum32(pTotal_, -int64_t{sweepPoint_});
}

void CWave::CheckPrevPage() {
    if (dispStart_ < 0) dispStart_ = 0;
}

void CWave::pageTo(bool noDraw, forms::PictureBox* picture, int32_t marginLeft,
                   int32_t marginRight, int32_t marginTop, int32_t marginBottom) {
    DispWaveAll3(dispStart_, sweepPoint_, noDraw, picture, marginLeft, marginRight, marginTop,
                 marginBottom, false);
}

void CWave::DispNextPage(bool noDraw, forms::PictureBox* picture, int32_t l, int32_t r,
                         int32_t t, int32_t b) {
    dispStart_ = sum32(dispStart_, sweepPoint_);
    CheckNextPage();
    pageTo(noDraw, picture, l, r, t, b);
}

void CWave::DispPrevtPage(bool noDraw, forms::PictureBox* picture, int32_t l, int32_t r,
                          int32_t t, int32_t b) {
    dispStart_ = sum32(dispStart_, -int64_t{sweepPoint_});
    CheckPrevPage();
    pageTo(noDraw, picture, l, r, t, b);
}

void CWave::DispNextPageHalf(bool noDraw, forms::PictureBox* picture, int32_t l, int32_t r,
                             int32_t t, int32_t b) {
    dispStart_ = basic::CLng(static_cast<double>(dispStart_) + sweepPoint_ / 2.0);
    CheckNextPage();
    pageTo(noDraw, picture, l, r, t, b);
}

void CWave::DispPrevtPageHalf(bool noDraw, forms::PictureBox* picture, int32_t l, int32_t r,
                              int32_t t, int32_t b) {
    dispStart_ = basic::CLng(static_cast<double>(dispStart_) - sweepPoint_ / 2.0);
    CheckPrevPage();
    pageTo(noDraw, picture, l, r, t, b);
}

void CWave::DispFirstPage(bool noDraw, forms::PictureBox* picture, int32_t l, int32_t r,
                          int32_t t, int32_t b) {
    dispStart_ = 0;
    pageTo(noDraw, picture, l, r, t, b);
}

void CWave::DispLastPage(bool noDraw, forms::PictureBox* picture, int32_t l, int32_t r,
                         int32_t t, int32_t b) {
    dispStart_ = sum32(pTotal_, -int64_t{sweepPoint_});
    pageTo(noDraw, picture, l, r, t, b);
}

}  // namespace qv
