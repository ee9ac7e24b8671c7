#pragma once
// The single global view of the plotting exports (internal to the library).
#include "library/PlotFrame.h"

namespace trelm {

struct ViewState {
    int32_t window = 0;
    PlotFrame frame{};
    int32_t penStyle = 0, penColour = 0, penWidth = 1;  // width 1 at load
    int32_t textWidth = 0, textHeight = 0;
    float textAngle = 0;
    LOGFONTA baseFont{}, labelFont{}, textFont{};
};

ViewState& view();

// A pen of the view's style, width and colour.
qv::gdi::HPEN viewPen();

}  // namespace trelm
