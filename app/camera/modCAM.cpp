#include "app/camera/modCAM.h"

namespace qv {

int32_t GlADCGETCnt = 0;
int32_t GlTime_ADSTART = 0;

}  // namespace qv
