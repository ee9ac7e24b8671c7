#pragma once
// Conversions between engineering values and A/D counts with one channel's calibration, and the
// derivation of a channel's calibration from a recorded calibration signal: level to level
// between two cursor windows (L-L) or peak to peak over the record (P-P), each also as a
// half-span variant. Array arithmetic runs in the library.
#include <cstdint>
#include <span>
#include <vector>

namespace qv {

class CCalcCAL {
public:
    // The channel's calibration, used by SetWave.
    int32_t Cal_AD() const { return calAd_; }
    void Cal_AD(int32_t v) { calAd_ = v; }
    int32_t Base_AD() const { return baseAd_; }
    void Base_AD(int32_t v) { baseAd_ = v; }
    float EU_HI() const { return euHi_; }
    void EU_HI(float v) { euHi_ = v; }
    float EU_LO() const { return euLo_; }
    void EU_LO(float v) { euLo_ = v; }
    // The two L-L cursor windows: [L, R) sample indices into the signal.
    int32_t Cur1LPos() const { return cur1L_; }
    void Cur1LPos(int32_t v) { cur1L_ = v; }
    int32_t Cur1RPos() const { return cur1R_; }
    void Cur1RPos(int32_t v) { cur1R_ = v; }
    int32_t Cur2LPos() const { return cur2L_; }
    void Cur2LPos(int32_t v) { cur2L_ = v; }
    int32_t Cur2RPos() const { return cur2R_; }
    void Cur2RPos(int32_t v) { cur2R_ = v; }
    // Results of the last successful calculation.
    int32_t ResBase_AD() const { return resBase_; }
    int32_t ResCal_AD() const { return resCal_; }

    // Stores values[0..n-1] (engineering units) converted to A/D counts. n below 1 or beyond
    // the values is run-time error 9; EU_HI = EU_LO is error 11 (the old signal stays).
    void SetWave(std::span<const float> values, int32_t n);

    // Level to level: the means of the two cursor windows. The outputs receive the (right, left)
    // positions of the upper and the lower window. A window reaching outside the signal is 9.
    void Calc_L2L(std::vector<float>& upperWindow, std::vector<float>& lowerWindow);
    void Calc_L2LHalf(std::vector<float>& upperWindow, std::vector<float>& lowerWindow);
    // Peak to peak over signal[start .. start+n-1] with the given hysteresis; the outputs receive
    // the peak and valley positions counted from index 0. Without a peak or a valley nothing
    // changes. n below 1 or a range outside the signal is run-time error 9.
    void Calc_P2P(int32_t start, int32_t n, float hysteresis, std::vector<float>& peaksOut,
                  std::vector<float>& valleysOut);
    void Calc_P2PHalf(int32_t start, int32_t n, float hysteresis, std::vector<float>& peaksOut,
                      std::vector<float>& valleysOut);

    static float Upper(float a, float b) { return a <= b ? b : a; }
    static float Lower(float a, float b) { return a <= b ? a : b; }

    // Engineering value -> A/D count (nearest, halves to even). EU_HI = EU_LO is error 11
    // (6 for 0/0), a result outside 32 bits error 6.
    static int32_t Calc_Analog2Digi(float x, int32_t Cal_AD, int32_t Base_AD, float EU_HI,
                                    float EU_LO);
    // A/D count -> engineering value. Cal_AD = 0 is error 11 (6 for 0/0).
    static float Calc_Digi2Analog(float x, int32_t Cal_AD, int32_t Base_AD, float EU_HI,
                                  float EU_LO);
    // values[start .. start+n-1] from engineering units to A/D counts in place, unrounded. A range
    // outside the values is error 9; with EU_HI = EU_LO the values are left as they are.
    static void Calc_Analog2DigiAll(std::span<float> values, int32_t start, int32_t n,
                                    int32_t Cal_AD, int32_t Base_AD, float EU_HI, float EU_LO);

private:
    // Mean of signal[left .. right-1]; 0 for an empty window.
    float windowMean(int32_t left, int32_t right) const;
    void levelToLevel(bool half, std::vector<float>& upperWindow, std::vector<float>& lowerWindow);
    void peakToPeak(bool half, int32_t start, int32_t n, float hysteresis,
                    std::vector<float>& peaksOut, std::vector<float>& valleysOut);

    int32_t calAd_ = 0;
    int32_t baseAd_ = 0;
    float euHi_ = 0.0f;
    float euLo_ = 0.0f;
    int32_t cur1L_ = 0, cur1R_ = 0, cur2L_ = 0, cur2R_ = 0;
    int32_t resBase_ = 0;
    int32_t resCal_ = 0;
    std::vector<float> signal_;
};

// The program's one calculator.
extern CCalcCAL GCCalcCAL;

}  // namespace qv
