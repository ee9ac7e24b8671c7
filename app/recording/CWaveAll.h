#pragma once
// A set of 64 channel waves handled as one: loaded from one (point, channel) array, given
// settings per channel or all at once, and drawn stacked in bands into one picture box through
// the library's global view. Band colours repeat black, blue, red, green by channel index.
//
// A channel slot that is empty when touched gets a new wave at that moment. A channel index
// outside 0..63 is error 9 and changes nothing.
#include <array>
#include <cstdint>
#include <memory>

namespace qv::forms {
class ListBox;
class PictureBox;
}  // namespace qv::forms

namespace qv {

class CWave;
class WaveArray;

class CWaveAll {
public:
    static constexpr int32_t kChannels = 64;

    CWaveAll();
    CWaveAll(const CWaveAll&) = delete;
    CWaveAll& operator=(const CWaveAll&) = delete;

    // Loads channel c of the array into channel c (its points, PTotal, a buffer of that many
    // points). An empty array is error 9 before anything changes; channels past 63 are loaded
    // up to 63, then error 9.
    void SetWave(const WaveArray& samples);
    // Allocate(n) on every channel (0: 300000 points).
    void AllocateAll(int32_t n);
    float DivWidth() const { return divWidth_; }
    void DivWidth(float v) { divWidth_ = v; }
    // A sorted list box PTotalMax fills; borrowed.
    void lstPTotalMax(forms::ListBox* box) { lstPTotalMax_ = box; }
    // The picture DispWaveAll draws into; borrowed.
    void WaveGraphAll(forms::PictureBox* picture) { waveGraphAll_ = picture; }
    void WaveColor(int32_t ch, int32_t colour);
    void DispCHSel(int32_t ch, int32_t pos);
    void DispNum(int32_t n);
    std::shared_ptr<qv::CWave> CWave(int32_t ch);
    void CWave(int32_t ch, std::shared_ptr<qv::CWave> wave);
    // The frame and band lines, then every channel into its own bound picture. Nothing without
    // a bound picture box.
    void DispWaveAll(int32_t lStart);
    // The frame and band lines into P, then every channel bound to P and the ones that hold
    // points drawn. Nothing without a picture box.
    void DispWaveAll2(int32_t lStart, forms::PictureBox* P);
    int32_t SweepPoint() const { return sweepPoint_; }
    void SweepPoint(int32_t v);
    void Delete(int32_t ch);
    // Channel `from`'s points and display settings into channel `to`.
    void Copy(int32_t from, int32_t to);
    // The largest PTotal of the channels, the list box filled with the ten-digit totals; 0
    // when no list box is bound.
    int32_t PTotalMax();

private:
    qv::CWave& slot(int32_t ch);
    void drawFrame(forms::PictureBox& P);

    std::array<std::shared_ptr<qv::CWave>, kChannels> slots_;
    forms::PictureBox* waveGraphAll_ = nullptr;
    forms::ListBox* lstPTotalMax_ = nullptr;
    int32_t sweepPoint_ = 0;
    float divWidth_ = 0.0f;
};

}  // namespace qv
