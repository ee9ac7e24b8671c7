#include "app/common/modSub_ListBox.h"

#include <gtest/gtest.h>

#include "app/common/modSub_Combobox.h"
#include "platform/forms/Controls.h"

using namespace qv;

namespace {

TEST(ListHelpersTest, FindItemIsExactAndTakesTheFirstMatch) {
    forms::ListBox list("lstSort");
    for (const char* item : {"a", "b", "a", "ａ"}) list.AddItem(item);
    EXPECT_EQ(ListBox_FindItem(list, "a"), 0);
    EXPECT_EQ(ListBox_FindItem(list, "b"), 1);
    EXPECT_EQ(ListBox_FindItem(list, "A"), -1);
    EXPECT_EQ(ListBox_FindItem(list, "ａ"), 3);
    EXPECT_EQ(ListBox_FindItem(list, "a "), -1);
    EXPECT_EQ(ListBox_FindItem(list, ""), -1);

    forms::ComboBox combo("cmbCamera");
    for (const char* item : {"320,240", "640,480", ""}) combo.AddItem(item);
    EXPECT_EQ(ComboBox_FindItem(combo, "640,480"), 1);
    EXPECT_EQ(ComboBox_FindItem(combo, ""), 2);
    EXPECT_EQ(ComboBox_FindItem(combo, "720,480"), -1);
}

TEST(ListHelpersTest, SelectedTextOfACombo) {
    forms::ComboBox combo("cmbADBoard");
    EXPECT_EQ(ComboBox_GetSelectedText(combo), "");
    combo.AddItem("VylK10[±5]");
    combo.AddItem("VylK10[±10]");
    combo.setListIndex(1);
    EXPECT_EQ(ComboBox_GetSelectedText(combo), "VylK10[±10]");
    combo.setListIndex(-1);
    EXPECT_EQ(ComboBox_GetSelectedText(combo), "");
}

}  // namespace

TEST(ListCountFromTextTest, CountsFromFilesAreBoundedAndNeverFail) {
    EXPECT_EQ(ListCountFromText("12.5"), 12);  // rounded half to even
    EXPECT_EQ(ListCountFromText("7 entries"), 7);
    EXPECT_EQ(ListCountFromText("2000000000"), 32767);
    EXPECT_EQ(ListCountFromText("1e99999"), 0);  // beyond the number range: nothing to read
    EXPECT_EQ(ListCountFromText("-3"), 0);
    EXPECT_EQ(ListCountFromText("abc"), 0);
    EXPECT_EQ(ListCountFromText(""), 0);
}
