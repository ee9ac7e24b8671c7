#include "app/main/CalMarkArrays.h"

namespace qv {

CalMarkTable GsngCalMark1{};
CalMarkTable GsngCalMark2{};
std::array<float, 32> GsngCalMarkCnt1{};
std::array<float, 32> GsngCalMarkCnt2{};

}  // namespace qv
