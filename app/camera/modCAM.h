#pragma once
// The frame tables of a camera recording, as the parameter file's section "GLOBAL" sizes them.
#include <cstdint>

namespace qv {

extern int32_t GlADCGETCnt;     // entries of the frame list's third block
extern int32_t GlTime_ADSTART;  // start time of the acquisition, carried for the camera window

}  // namespace qv
