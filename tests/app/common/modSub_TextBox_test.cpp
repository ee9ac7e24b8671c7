#include "app/common/modSub_TextBox.h"

#include <gtest/gtest.h>

#include "app/common/modCommon2.h"
#include "platform/forms/Controls.h"

using namespace qv;

namespace {

TEST(TextBoxSelectAllTest, SelectsEveryCharacter) {
    forms::TextBox box("txtName");
    box.setText("チャンネル1");
    box.setSelStart(2);
    TextBox_SelectAll(box);
    EXPECT_EQ(box.SelStart(), 0);
    EXPECT_EQ(box.SelLength(), 6);  // characters, not bytes
    EXPECT_EQ(box.SelText(), "チャンネル1");
    box.setText("");
    TextBox_SelectAll(box);
    EXPECT_EQ(box.SelLength(), 0);
}

TEST(InterpolateTest, LineThroughTheBasePoint) {
    EXPECT_FLOAT_EQ(Interpolate(5, 10, 0, 10, 0), 5);
    EXPECT_FLOAT_EQ(Interpolate(3, 4, 2, 4, 1), 3);     // (3-1)*(4-2)/4+2
    EXPECT_FLOAT_EQ(Interpolate(-1, 10, 20, 2, 0), 25);
    EXPECT_EQ(Interpolate(5, 10, 0, 0, 0), 0.0f);
    EXPECT_EQ(Interpolate(5, 10, 7, -0.0f, 0), 0.0f);
}

}  // namespace
