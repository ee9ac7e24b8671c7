#include "app/channel/CCalcCAL.h"

#include <algorithm>

#include "app/common/TrelmImports.h"
#include "platform/basic/Basic.h"

namespace qv {

CCalcCAL GCCalcCAL;

namespace {

using basic::CLng;

[[noreturn]] void subscriptError() { basic::raiseError(basic::errSubscript); }

// values[start .. start+n-1] must lie inside the array before the library gets a pointer.
void checkRange(size_t size, int32_t start, int32_t n) {
    if (start < 0 || static_cast<int64_t>(start) + n > static_cast<int64_t>(size))
        subscriptError();
}

int32_t checkedDifference(int32_t a, int32_t b) {
    const int64_t d = static_cast<int64_t>(a) - b;
    if (d < INT32_MIN || d > INT32_MAX) basic::raiseError(basic::errOverflow);
    return static_cast<int32_t>(d);
}

float mean(const std::vector<float>& values) {
    float m = 0.0f;
    Trelm::S_MEAN(&m, values.data(), static_cast<int32_t>(values.size()));
    return m;
}

}  // namespace

// ---- scalar and array conversions ----

int32_t CCalcCAL::Calc_Analog2Digi(float x, int32_t Cal_AD, int32_t Base_AD, float EU_HI,
                                   float EU_LO) {
    const double scaled = basic::Divide((static_cast<double>(x) - EU_LO) * Cal_AD,
                                        static_cast<double>(EU_HI) - EU_LO);
    return CLng(scaled + Base_AD);
}

float CCalcCAL::Calc_Digi2Analog(float x, int32_t Cal_AD, int32_t Base_AD, float EU_HI,
                                 float EU_LO) {
    const double span = (static_cast<double>(EU_HI) - EU_LO) * (static_cast<double>(x) - Base_AD);
    return basic::CSng(basic::Divide(span, Cal_AD) + EU_LO);
}

void CCalcCAL::Calc_Analog2DigiAll(std::span<float> values, int32_t start, int32_t n,
                                   int32_t Cal_AD, int32_t Base_AD, float EU_HI, float EU_LO) {
    if (start < 0 || static_cast<size_t>(start) >= values.size()) subscriptError();
    if (n <= 0) return;
    checkRange(values.size(), start, n);
    // A zero span would fill the values with infinities and NaNs that overflow in every later
    // rounding; leave them unconverted instead.
    if (EU_HI == EU_LO) return;
    float* v = values.data() + start;
    Trelm::S_SUBC(v, v, EU_LO, n);
    Trelm::S_MULC(v, v, static_cast<float>(Cal_AD), n);
    Trelm::S_DIVC(v, v, static_cast<float>(static_cast<double>(EU_HI) - EU_LO), n);
    Trelm::S_ADDC(v, v, static_cast<float>(Base_AD), n);
}

void CCalcCAL::SetWave(std::span<const float> values, int32_t n) {
    if (n < 1 || static_cast<size_t>(n) > values.size()) subscriptError();
    // Without a span the stored signal could not be in A/D counts, and every calculation on it
    // would give numbers that look right and are not.
    if (euHi_ == euLo_) basic::raiseError(basic::errDivisionByZero);
    signal_.assign(static_cast<size_t>(n), 0.0f);
    Trelm::S_ADDC(signal_.data(), values.data(), 0.0f, n);
    Calc_Analog2DigiAll(signal_, 0, n, calAd_, baseAd_, euHi_, euLo_);
}

// ---- level to level ----

float CCalcCAL::windowMean(int32_t left, int32_t right) const {
    const int64_t count = static_cast<int64_t>(right) - left;
    if (count <= 0) return 0.0f;
    checkRange(signal_.size(), left, static_cast<int32_t>(count));
    float m = 0.0f;
    Trelm::S_MEAN(&m, signal_.data() + left, static_cast<int32_t>(count));
    return m;
}

void CCalcCAL::levelToLevel(bool half, std::vector<float>& upperWindow,
                            std::vector<float>& lowerWindow) {
    const float mean1 = windowMean(cur1L_, cur1R_);
    const float mean2 = windowMean(cur2L_, cur2R_);
    const float up = Upper(mean1, mean2);
    const float lo = Lower(mean1, mean2);
    int32_t cal, base;
    if (half) {
        cal = CLng((static_cast<double>(up) - lo) / 2.0);
        base = checkedDifference(CLng(up), cal);
    } else {
        cal = CLng(static_cast<double>(up) - lo);
        base = CLng(lo);
    }
    resCal_ = cal;
    resBase_ = base;
    const std::vector<float> window1{static_cast<float>(cur1R_), static_cast<float>(cur1L_)};
    const std::vector<float> window2{static_cast<float>(cur2R_), static_cast<float>(cur2L_)};
    if (up == mean1) {
        upperWindow = window1;
        lowerWindow = window2;
    } else if (up == mean2) {
        upperWindow = window2;
        lowerWindow = window1;
    } else {
        upperWindow.assign(2, 0.0f);
        lowerWindow.assign(2, 0.0f);
    }
}

void CCalcCAL::Calc_L2L(std::vector<float>& upperWindow, std::vector<float>& lowerWindow) {
    levelToLevel(false, upperWindow, lowerWindow);
}

void CCalcCAL::Calc_L2LHalf(std::vector<float>& upperWindow, std::vector<float>& lowerWindow) {
    levelToLevel(true, upperWindow, lowerWindow);
}

// ---- peak to peak ----

void CCalcCAL::peakToPeak(bool half, int32_t start, int32_t n, float hysteresis,
                          std::vector<float>& peaksOut, std::vector<float>& valleysOut) {
    if (n < 1) subscriptError();
    checkRange(signal_.size(), start, n);
    std::vector<float> peaks(static_cast<size_t>(n)), valleys(static_cast<size_t>(n));
    int32_t np = 0, nv = 0;
    Trelm::S_PEAK(&np, peaks.data(), &nv, valleys.data(), signal_.data() + start, n, hysteresis);
    if (np <= 0 || nv <= 0) return;
    peaks.resize(static_cast<size_t>(std::min(np, n)));
    valleys.resize(static_cast<size_t>(std::min(nv, n)));

    auto levels = [&](const std::vector<float>& positions) {
        std::vector<float> out;
        out.reserve(positions.size());
        for (float p : positions) {
            const int64_t i = static_cast<int64_t>(start) + CLng(p);
            if (i < 0 || i >= static_cast<int64_t>(signal_.size())) subscriptError();
            out.push_back(signal_[static_cast<size_t>(i)]);
        }
        return out;
    };
    const float meanPeak = mean(levels(peaks));
    const float meanValley = mean(levels(valleys));
    int32_t cal, base;
    if (half) {
        cal = CLng((static_cast<double>(meanPeak) - meanValley) / 2.0);
        base = CLng(static_cast<double>(meanPeak) - cal);
    } else {
        cal = CLng(static_cast<double>(meanPeak) - meanValley);
        base = CLng(meanValley);
    }
    resCal_ = cal;
    resBase_ = base;

    const float offset = static_cast<float>(start);
    Trelm::S_ADDC(peaks.data(), peaks.data(), offset, static_cast<int32_t>(peaks.size()));
    Trelm::S_ADDC(valleys.data(), valleys.data(), offset, static_cast<int32_t>(valleys.size()));
    peaksOut = std::move(peaks);
    valleysOut = std::move(valleys);
}

void CCalcCAL::Calc_P2P(int32_t start, int32_t n, float hysteresis, std::vector<float>& peaksOut,
                        std::vector<float>& valleysOut) {
    peakToPeak(false, start, n, hysteresis, peaksOut, valleysOut);
}

void CCalcCAL::Calc_P2PHalf(int32_t start, int32_t n, float hysteresis,
                            std::vector<float>& peaksOut, std::vector<float>& valleysOut) {
    peakToPeak(true, start, n, hysteresis, peaksOut, valleysOut);
}

}  // namespace qv
