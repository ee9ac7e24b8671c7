// Each board label the conditions window can show names one amplifier preset: the label list
// as the calibration controls look it up, with the preset each must reach.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/app/common/IniSet_testsupport.h"
#include "app/channel/AmpCalTable.h"

using namespace qv;

namespace {

TEST(AmpCalTableLabels, EveryLabelReachesItsOwnPresetAndNoOther) {
    apptest::TempProgramFolder prog;
    InitAmpCalTable();
    const std::pair<const char*, const char*> table[] = {
        {"デバッグ", "GCCalSetting_DEBUG"},           {"VylK10[±5]", "GCCalSetting_K10_5V"},
        {"VylK10[±10]", "GCCalSetting_K10_10V"},     {"VylK12[±5]", "GCCalSetting_K12_5V"},
        {"VylK12[±10]", "GCCalSetting_K12_10V"},     {"VylK14(A)[±2.5]", "GCCalSetting_K14"},
        {"VylK16[±10]", "GCCalSetting_K16"},         {"VylK20[±10]", "GCCalSetting_K20"},
        {"VylK14(B)[±5]", "GCCalSetting_K14_5V"},    {"VylK14(B)[±10]", "GCCalSetting_K14_10V"},
        {"VylK18[±10]", "GCCalSetting_K18_10V"},     {"VylK22[±10]", "GCCalSetting_K22"},
        {"VylK24[±10]", "GCCalSetting_K24"},         {"VylK26[±10]S", "GCCalSetting_K26"},
        {"VylK28[±10]", "GCCalSetting_K28"},         {"VylK30[±10]S", "GCCalSetting_K30"},
        {"VylB50[＋5]", "GCCalSetting_B50"},          {"VylB54", "GCCalSetting_B54"},
        {"VylK40[±10]", "GCCalSetting_K40"},         {"VylK42[±10]S", "GCCalSetting_K42"},
        {"VylK32[±10]", "GCCalSetting_K32"},         {"VylK34[±10]S", "GCCalSetting_K34"},
        {"VylK36[±10]", "GCCalSetting_K36"},         {"VylK38[±10]S", "GCCalSetting_K38"},
        {"VylD60[±5]", "GCCalSetting_D60_5V"},       {"VylD62[±10]", "GCCalSetting_D62_10V"},
        {"VylD64[±5]", "GCCalSetting_D64_5V"},       {"VylD66[±10]", "GCCalSetting_D66_10V"},
        {"VylK44[±10]", "GCCalSetting_K44"},         {"VylK46[±10]S", "GCCalSetting_K46"},
        {"VylS80", "GCCalSetting_S80"},              {"VylXXX[±2.5]", "GCCalSetting_XXX"},
    };
    for (const auto& [label, preset] : table) {
        std::string name = label;
        EXPECT_EQ(GetIntCAL(name), &GCCalSetting(preset)) << label;
        EXPECT_EQ(name, label);
        // Letter case, a trailing blank and the half-width plus all miss.
        std::string lower = name, blank = name + " ";
        for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (lower != name) {
            EXPECT_EQ(GetIntCAL(lower), nullptr) << lower;
        }
        EXPECT_EQ(GetIntCAL(blank), nullptr) << label;
    }
    std::string b56 = "VylB56";  // the one preset no label reaches
    EXPECT_EQ(GetIntCAL(b56), nullptr);
}

}  // namespace
