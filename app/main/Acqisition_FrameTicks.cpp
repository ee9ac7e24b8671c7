// The camera's frame positions on the monitor.
#include "app/main/Acqisition.h"

namespace qv {

void Acqisition::DrawFrameTicks(int32_t) {}
int32_t Acqisition::GetDispFlameStart(int32_t) { return 0; }

}  // namespace qv
