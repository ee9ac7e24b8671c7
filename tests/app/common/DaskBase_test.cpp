#include "app/common/DaskBase.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(DaskBase, GraphDefaults) {
    GAxisBoxOpt.fill(99);
    InitGraphDefaults();
    // The axis box reads 32 entries: the six colours, the rest zero.
    const std::array<int32_t, 6> head{-1, 0xFFFFFF, 0xFFC0C0, 0x7F0000, -1, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(GAxisBoxOpt[i], head[i]) << i;
    for (int i = 6; i < 32; ++i) EXPECT_EQ(GAxisBoxOpt[i], 0) << i;
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(GGraphStyle[i].Field0, -1);
        EXPECT_EQ(GGraphStyle[i].Field1, 1.0f);
        EXPECT_EQ(GGraphStyle[i].Color, 0x100000);
        EXPECT_EQ(GGraphStyle[i].Field5, -1);
        EXPECT_EQ(GGraphStyle[i].Color2, 0xFFC0C0);
        EXPECT_EQ(GGraphChannelNo[i], i + 1);
    }
    EXPECT_EQ(GGraphSweep, 10000);
}
