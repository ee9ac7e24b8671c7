#pragma once
// The calibration marks: the sample positions the L-L and P-P calibration measured, per channel,
// two sets, drawn as short strokes on the trace. Positions are absolute sample indexes.
#include <array>
#include <cstdint>

namespace qv {

inline constexpr int32_t kCalMarkMax = 1000;  // positions a set holds per channel

// [channel 0..31][entry 0..999]
using CalMarkArray = std::array<std::array<float, kCalMarkMax>, 32>;
extern CalMarkArray GsngCalMark1;
extern CalMarkArray GsngCalMark2;
// The valid entries of each channel, held as a float.
extern std::array<float, 32> GsngCalMarkCnt1;
extern std::array<float, 32> GsngCalMarkCnt2;

}  // namespace qv
