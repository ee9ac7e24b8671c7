// The amplifier presets: fixed values, board labels and the "INTCAL" overrides of Tolvane.ini.
#include "app/channel/AmpCalTable.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "app/common/modIniFile.h"

using namespace qv;
using qv::apptest::errorNumber;

namespace {

class AmpCalTableTest : public ::testing::Test {
protected:
    void SetUp() override { GAcqCondition = AcqCondition{}; }
    void TearDown() override {
        GAcqCondition = AcqCondition{};
        SetIniFileName("");
    }
    void writeIni(const std::string& intcal) {
        prog.writeBytes("Tolvane.ini", "[PLAY]\r\nSLEEP=500\r\n[INTCAL]\r\n" + intcal);
        kernel::clearProfileCache();
    }
    // Cal_AD, Base_AD, EU_HI, EU_LO of one channel.
    static std::vector<std::string> values(const CCalSetting& t, int ch) {
        return {t.Cal_AD(ch), t.Base_AD(ch), t.EU_HI(ch), t.EU_LO(ch)};
    }
    apptest::TempProgramFolder prog;
};

using V = std::vector<std::string>;

}  // namespace

TEST_F(AmpCalTableTest, PresetsHoldTheirFixedValuesWithoutOverrides) {
    InitAmpCalTable();
    const CCalSetting& k10 = GCCalSetting("GCCalSetting_K10_5V");
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(values(k10, i), (V{"2048", "0", "5", "0"}));
        EXPECT_EQ(k10.CHName(i), "CH" + std::to_string(i + 1));
        EXPECT_EQ(k10.Unit(i), "V");
    }
    const CCalSetting& b50 = GCCalSetting("GCCalSetting_B50");
    EXPECT_EQ(values(b50, 2), (V{"1024", "0", "4.096", "0"}));
    EXPECT_EQ(b50.CHType(2), 1);
    EXPECT_EQ(values(b50, 3), (V{"4096", "0", "5.20504731861199", "0"}));
    EXPECT_EQ(b50.CHType(3), 0);
    EXPECT_EQ(values(GCCalSetting("GCCalSetting_K36"), 17), (V{"2048", "0", "100", "0"}));
    EXPECT_EQ(values(GCCalSetting("GCCalSetting_K28"), 0), (V{"7826", "-366", "10", "0"}));
    EXPECT_EQ(values(GCCalSetting("GCCalSetting_K26"), 31), (V{"1024", "0", "10.41", "0"}));
    EXPECT_EQ(values(GCCalSetting("GCCalSetting_B56"), 9), (V{"65536", "0", "5.58088235294118", "0"}));
    EXPECT_EQ(values(GCCalSetting("GCCalSetting_DEBUG"), 0), (V{"32768", "0", "32768", "0"}));
    EXPECT_EQ(errorNumber([] { GCCalSetting("GCCalSetting_K99"); }), 9);
}

TEST_F(AmpCalTableTest, OverridesApplyWhenEnabledWithExactlyOne) {
    writeIni("GCCalSetting_K40=1\r\nGCCalSetting_K40.EU_HI=5\r\nGCCalSetting_K40.Base_AD=-2.50x\r\n"
             "GCCalSetting_K10_5V=1 ; site correction\r\nGCCalSetting_K10_5V.Cal_AD=2047\r\n"
             "GCCalSetting_K10_5V.Base_AD=1\r\nGCCalSetting_K10_5V.EU_HI=5\r\n"
             "GCCalSetting_K10_5V.EU_LO=0\r\n"
             "GCCalSetting_K16=01\r\nGCCalSetting_K16.Cal_AD=1\r\n"
             "GCCalSetting_K20=yes\r\nGCCalSetting_K20.Cal_AD=1\r\n"
             "GCCalSetting_K12_5V=1\r\nGCCalSetting_K12_5V .Cal_AD=12345\r\n"
             "GCCalSetting_B50=1\r\nGCCalSetting_B50.Cal_AD=abc\r\nGCCalSetting_B50.EU_HI=1e999\r\n");
    SetIniFileName("C:\\somewhere\\else.ini");
    InitAmpCalTable();
    EXPECT_EQ(GetIniFileName(), "C:\\somewhere\\else.ini");

    // One entry serves the pair; a missing key gives "0".
    for (const char* p : {"GCCalSetting_K40", "GCCalSetting_K44"})
        for (int i : {0, 31}) EXPECT_EQ(values(GCCalSetting(p), i), (V{"0", "-2.5", "5", "0"})) << p;
    EXPECT_EQ(values(GCCalSetting("GCCalSetting_K42"), 0), (V{"30536", "-433", "10", "0"}));
    EXPECT_EQ(values(GCCalSetting("GCCalSetting_K10_5V"), 7), (V{"2047", "1", "5", "0"}));
    EXPECT_EQ(GCCalSetting("GCCalSetting_K16").Cal_AD(0), "32768");
    EXPECT_EQ(GCCalSetting("GCCalSetting_K20").Cal_AD(0), "32768");
    EXPECT_EQ(GCCalSetting("GCCalSetting_K12_5V").Cal_AD(3), "12345");
    // Values that are no number become "0"; one beyond the number range is logged and the
    // preset keeps its own, on both rows of the pair; names and types stay.
    const CCalSetting& b50 = GCCalSetting("GCCalSetting_B50");
    EXPECT_EQ(values(b50, 1), (V{"0", "0", "4.096", "0"}));
    EXPECT_EQ(values(b50, 30), (V{"0", "0", "5.20504731861199", "0"}));
    EXPECT_EQ(b50.CHType(1), 1);
    EXPECT_EQ(b50.CHName(1), "CH2");
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "GCCalSetting_B50.EU_HI の値 \"1e999\" は範囲外"), 1u);
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "Cal_AD の値"), 0u);

    // Overrides take effect at the next build only.
    writeIni("");
    InitAmpCalTable();
    EXPECT_EQ(values(GCCalSetting("GCCalSetting_K44"), 0), (V{"30536", "-433", "10", "0"}));
}

TEST_F(AmpCalTableTest, BoardLabelsSelectPresetsExactly) {
    InitAmpCalTable();
    std::string name;
    EXPECT_EQ(GetIntCAL(name), nullptr);  // no board in the conditions
    EXPECT_EQ(name, "");

    GAcqCondition.strADBOARD = "VylK10[±5]";
    EXPECT_EQ(GetIntCAL(name), &GCCalSetting("GCCalSetting_K10_5V"));
    EXPECT_EQ(name, "VylK10[±5]");

    std::string k10_10 = "VylK10[±10]", lower = "vylk10[±5]", b56 = "VylB56", debug = "デバッグ";
    EXPECT_EQ(GetIntCAL(k10_10), &GCCalSetting("GCCalSetting_K10_10V"));
    EXPECT_EQ(GetIntCAL(lower), nullptr);
    EXPECT_EQ(GetIntCAL(b56), nullptr);
    EXPECT_EQ(GetIntCAL(debug), &GCCalSetting("GCCalSetting_DEBUG"));

    // Every label of the board list reaches its own preset.
    const char* labels[] = {"VylK12[±5]", "VylK12[±10]", "VylK14(A)[±2.5]", "VylK14(B)[±5]",
                            "VylK14(B)[±10]", "VylK16[±10]", "VylK20[±10]", "VylK18[±10]",
                            "VylK22[±10]", "VylK24[±10]", "VylK26[±10]S", "VylK28[±10]",
                            "VylK30[±10]S", "VylK40[±10]", "VylK42[±10]S", "VylK32[±10]",
                            "VylK34[±10]S", "VylK36[±10]", "VylK38[±10]S", "VylB50[＋5]",
                            "VylB54", "VylD60[±5]", "VylD62[±10]", "VylD64[±5]", "VylD66[±10]",
                            "VylK44[±10]", "VylK46[±10]S", "VylS80", "VylXXX[±2.5]"};
    std::set<const CCalSetting*> seen{GetIntCAL(name), GetIntCAL(k10_10), GetIntCAL(debug)};
    for (const char* label : labels) {
        std::string l = label;
        const CCalSetting* p = GetIntCAL(l);
        ASSERT_NE(p, nullptr) << label;
        EXPECT_TRUE(seen.insert(p).second) << label;
    }
    std::string b50 = "VylB50[＋5]", xxx = "VylXXX[±2.5]", plusAscii = "VylB50[+5]";
    EXPECT_EQ(GetIntCAL(b50)->CHType(0), 1);
    EXPECT_EQ(GetIntCAL(xxx)->Cal_AD(5), "4096");
    EXPECT_EQ(GetIntCAL(plusAscii), nullptr);
}
