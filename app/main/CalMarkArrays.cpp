#include "app/main/CalMarkArrays.h"

namespace qv {

CalMarkArray GsngCalMark1{};
CalMarkArray GsngCalMark2{};
std::array<float, 32> GsngCalMarkCnt1{};
std::array<float, 32> GsngCalMarkCnt2{};

}  // namespace qv
