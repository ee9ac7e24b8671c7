#include "app/channel/AcqCondition.h"

#include <gtest/gtest.h>

TEST(AcqCondition, NewRecordIsEmptyTextsAndZeros) {
    const qv::AcqCondition c;
    EXPECT_EQ(c.strCH, "");
    EXPECT_EQ(c.lStartCH, 0);
    EXPECT_EQ(c.sngADBOARD_V, 0.0f);
    EXPECT_EQ(c.strCameraSetting, 0);
    EXPECT_EQ(c.lcmbCamera_ListIndex, "");
    EXPECT_EQ(c.strAudioSetting, 0);
}
