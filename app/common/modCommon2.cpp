#include "app/common/modCommon2.h"

namespace qv {

float Interpolate(float x, float y1, float y0, float dx, float x0) {
    if (dx == 0.0f) return 0.0f;
    return static_cast<float>((double{x} - x0) * (double{y1} - y0) / dx + y0);
}

}  // namespace qv
