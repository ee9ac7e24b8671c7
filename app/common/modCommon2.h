#pragma once
// Linear interpolation.

namespace qv {

// The value at x on the line through (x0, y0) with slope (y1 - y0) / dx; 0 when dx is 0.
float Interpolate(float x, float y1, float y0, float dx, float x0);

}  // namespace qv
