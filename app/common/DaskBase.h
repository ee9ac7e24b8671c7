#pragma once
// Colour and per-channel style defaults of the graph drawing.
#include <array>
#include <cstdint>

namespace qv {

// The option table handed to AXISBOX (it reads 32 entries): 0 window fill, 1 plot background,
// 2 grid, 3 axes and ticks, 4 frame, 5 labels; -1 marks an entry without a colour.
extern std::array<int32_t, 32> GAxisBoxOpt;

// One channel's drawing style, seven 32-bit fields.
struct GraphStyle {
    int32_t Field0 = 0;
    float Field1 = 0.0f;
    int32_t Color = 0;       // the trace colour; the calibration display switch rewrites it
    int32_t Field3 = 0;
    int32_t Field4 = 0;
    int32_t Field5 = 0;
    int32_t Color2 = 0;      // a second colour, the grid's by default
};
extern std::array<GraphStyle, 32> GGraphStyle;
extern std::array<int16_t, 32> GGraphChannelNo;  // 1..32
extern int32_t GGraphSweep;                       // sweep value of the graph defaults

void InitGraphDefaults();

}  // namespace qv
