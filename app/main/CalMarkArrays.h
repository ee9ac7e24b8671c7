#pragma once
// The calibration marks: the sample positions the L-L and P-P calibration measured, per channel,
// two sets, drawn as short strokes on the trace. Positions are absolute sample indexes.
#include <array>
#include <cstdint>

namespace qv {

inline constexpr int32_t kCalMarkMax = 1000;  // positions a set holds per channel

// [entry 0..999][channel 0..31]
using CalMarkTable = std::array<std::array<float, 32>, kCalMarkMax>;
extern CalMarkTable GsngCalMark1;
extern CalMarkTable GsngCalMark2;
// The valid entries of each channel, held as a float.
extern std::array<float, 32> GsngCalMarkCnt1;
extern std::array<float, 32> GsngCalMarkCnt2;

}  // namespace qv
