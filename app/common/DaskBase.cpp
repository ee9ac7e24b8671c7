#include "app/common/DaskBase.h"

#include "platform/basic/Numbers.h"

namespace qv {

std::array<int32_t, 32> GAxisBoxOpt{};
std::array<GraphStyle, 32> GGraphStyle{};
std::array<int16_t, 32> GGraphChannelNo{};
int32_t GGraphSweep = 10000;

void InitGraphDefaults() {
    using basic::RGB;
    GAxisBoxOpt.fill(0);
    GAxisBoxOpt[0] = -1;
    GAxisBoxOpt[1] = RGB(255, 255, 255);
    GAxisBoxOpt[2] = RGB(192, 192, 255);
    GAxisBoxOpt[3] = RGB(0, 0, 127);
    GAxisBoxOpt[4] = -1;
    GAxisBoxOpt[5] = RGB(0, 0, 0);
    for (int i = 0; i < 32; ++i) {
        GraphStyle& s = GGraphStyle[i];
        s.Field0 = -1;
        s.Field1 = 1.0f;
        s.Color = RGB(0, 0, 16);
        s.Field3 = 0;
        s.Field4 = 0;
        s.Field5 = -1;
        s.Color2 = RGB(192, 192, 255);
        GGraphChannelNo[i] = static_cast<int16_t>(i + 1);
    }
    GGraphSweep = 10000;
}

}  // namespace qv
