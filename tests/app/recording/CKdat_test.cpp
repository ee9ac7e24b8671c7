// The recording object's model: defaults, the setters and their invariants, the channel-range
// parser, and the calibration presets.
#include "app/recording/CKdat.h"

#include <gtest/gtest.h>

#include "app/channel/AmpCalTable.h"
#include "tests/app/recording/CKdat_testfixture.h"

using namespace qv;
using qv::apptest::errorNumber;

namespace {

class KdatModelTest : public apptest::KdatTestBase {};

struct Range {
    int32_t start, end, count;
    bool operator==(const Range&) const = default;
};
Range rangeOf(const CKdat& k) {
    const KdatCondition& c = k.Param().Condition;
    EXPECT_EQ(k.CHNum(), c.lCHCnt);
    return {c.lStartCH, c.lEndCH, c.lCHCnt};
}

}  // namespace

TEST_F(KdatModelTest, NewObjectHoldsTheDefaults) {
    CKdat k;
    const KdatParam& p = k.Param();
    EXPECT_EQ(k.CHNum(), 16);
    EXPECT_EQ(rangeOf(k), (Range{1, 16, 16}));
    EXPECT_EQ(p.Condition.strCH, "1-16");
    EXPECT_EQ(p.Condition.strFIXED, "True");
    EXPECT_EQ(p.Condition.lFlage, 0);
    EXPECT_EQ(p.Condition.lCOMP_CH_ID, 0);
    EXPECT_EQ(p.Condition.lP2PHist, 2048);
    EXPECT_EQ(p.Condition.strP2PHist, "2 ^ 11");
    EXPECT_EQ(p.Condition.strANALOG_LEVEL_TRIGGER_U, "10000");
    EXPECT_EQ(p.Condition.strANALOG_LEVEL_TRIGGER_D, "10001");
    EXPECT_EQ(p.Condition.strSYNC, "1");
    EXPECT_EQ(k.SweepPoint(), 5000);
    EXPECT_EQ(k.wChNo(0), 1);
    EXPECT_EQ(k.wChNo(31), 32);
    EXPECT_EQ(p.CHKWaveNo[7], 1);
    EXPECT_EQ(p.DR_WaveHi[31], 5.0f);
    EXPECT_EQ(p.DR_WaveLo[0], -5.0f);
    EXPECT_EQ(p.lcmbTimeFS_ListIndex, 11);
    EXPECT_EQ(p.lcmbSampleFreq_ListIndex, 6);
    EXPECT_EQ(p.nSample, 0);
    EXPECT_EQ(p.SecPoint, 0);
    EXPECT_EQ(k.PTotal(), 0);
    EXPECT_EQ(k.Date_Time_Start(), 0.0);
    EXPECT_FALSE(k.UseCal());
    EXPECT_TRUE(k.Marks().empty());
    EXPECT_TRUE(k.strKdatFile().empty());
}

TEST_F(KdatModelTest, ChannelRangeParser) {
    struct Case {
        const char* text;
        Range range;
    };
    for (const Case& c : {Case{"1-16", {1, 16, 16}}, Case{"3-8", {3, 8, 6}}, Case{"5", {5, 5, 1}},
                          Case{"2-x", {2, 2, 1}}, Case{"", {0, 0, 1}}, Case{"abc", {0, 0, 1}},
                          Case{"-5", {0, 5, 6}}, Case{" 2.5-3.5 ", {2, 4, 3}}}) {
        CKdat k;
        k.Condition_strCH(c.text);
        EXPECT_EQ(rangeOf(k), c.range) << c.text;
        EXPECT_EQ(k.Condition_strCH(), c.text);
    }
    // Three parts keep the range; the text is taken all the same.
    CKdat k;
    k.Condition_strCH("3-8");
    k.Condition_strCH("1-16-20");
    EXPECT_EQ(rangeOf(k), (Range{3, 8, 6}));
    EXPECT_EQ(k.Condition_strCH(), "1-16-20");
    // A count beyond 16 bits, or a number beyond the double range, is an overflow.
    EXPECT_EQ(errorNumber([&] { k.Condition_strCH("1-40000"); }), 6);
    EXPECT_EQ(errorNumber([&] { k.Condition_strCH("1e400"); }), 6);
}

TEST_F(KdatModelTest, SettersKeepTheInvariants) {
    CKdat k;
    k.Condition_strCH("3-8");
    k.CHNum(4);
    EXPECT_EQ(k.Condition_strCH(), "1-4");
    EXPECT_EQ(rangeOf(k), (Range{1, 4, 4}));
    EXPECT_EQ(errorNumber([&] { k.CHNum(40000); }), 6);
    EXPECT_EQ(rangeOf(k), (Range{1, 4, 4}));

    k.Condition_strFIXED("False");
    k.Condition_strFLOW("x");
    EXPECT_EQ(k.Param().Condition.lFlage, 2);
    k.Condition_strFIXED("true");  // exact case only
    EXPECT_EQ(k.Param().Condition.lFlage, 2);
    k.Condition_strFIXED("True");
    EXPECT_EQ(k.Param().Condition.lFlage, 0);

    k.Condition_strCOMP_CH("4");
    EXPECT_EQ(k.Param().Condition.lCOMP_CH_ID, 3);
    k.Condition_strCOMP_CH("");
    EXPECT_EQ(k.Param().Condition.lCOMP_CH_ID, -1);

    k.nSample(100);
    EXPECT_EQ(k.Param().SecPoint, 1000);
    EXPECT_EQ(errorNumber([&] { k.nSample(300000000); }), 6);
    EXPECT_EQ(k.nSample(), 300000000);  // stored before the product fails

    EXPECT_EQ(errorNumber([&] { k.wChNo(32, 1); }), 9);
    EXPECT_EQ(errorNumber([&] { k.wChNo(-1); }), 9);
    EXPECT_EQ(errorNumber([&] { k.wChNo(0, 40000); }), 6);
    k.wChNo(3, -7);
    EXPECT_EQ(k.wChNo(3), -7);
}

TEST_F(KdatModelTest, BoardSetTakesNameTypeBitsAndRange) {
    CKdat k;
    auto board = std::make_shared<CBoard>();
    board->SelectBoard(12);
    k.CBoard(board);
    const KdatCondition& c = k.Param().Condition;
    EXPECT_EQ(c.strADBOARD, "VylK24");
    EXPECT_EQ(c.lADBOARD, 12);
    EXPECT_EQ(c.lADBOARD_ID, 12);
    EXPECT_EQ(c.lADBOARD_BIT, 12);
    EXPECT_EQ(c.sngADBOARD_V, 0.0f);  // no range in the name
    EXPECT_EQ(&k.CBoard(), board.get());
    k.CBoard(nullptr);
    EXPECT_EQ(c.strADBOARD, "VylK10");
    EXPECT_NE(&k.CBoard(), board.get());

    EXPECT_EQ(CKdat::BoardVolts("VylX[±10]/±5", 1), 10.0f);  // the first pattern wins
    EXPECT_EQ(CKdat::BoardVolts("VylK10[±5]", 1), 5.0f);
    EXPECT_EQ(CKdat::BoardVolts("VylK14(A)[±2.5]", 1), 2.5f);
    EXPECT_EQ(CKdat::BoardVolts("VylB50[＋5]", 1), 1.0f);
}

TEST_F(KdatModelTest, ChannelListOfTheRange) {
    CKdat k;
    std::vector<int32_t> list{99};
    k.Condition_strCH("3-5");
    k.GetCHList(list);
    EXPECT_EQ(list, (std::vector<int32_t>{99, 2, 3, 4}));
    k.Condition_strCH("5-3");
    k.GetCHList(list);
    EXPECT_EQ(list.size(), 4u);
}

TEST_F(KdatModelTest, PresetTextsAndLookup) {
    CKdat k;
    const auto values = [](CCalSetting& s, int ch) {
        return std::vector<std::string>{s.CHName(ch), s.Cal_AD(ch), s.Base_AD(ch), s.EU_HI(ch), s.EU_LO(ch)};
    };
    int32_t b50 = -1, k28 = -1;
    for (int32_t i = 0; i < CKdat::kPresetSlots; ++i) {
        if (std::string(CKdat::CalPresetName(i)) == "VylB50[＋5]") b50 = i;
        if (std::string(CKdat::CalPresetName(i)) == "VylK28[±10]") k28 = i;
    }
    ASSERT_GE(b50, 0);
    // The two-part preset: three channels of their own range and type, then the others.
    CCalSetting& b = k.CalPreset(b50);
    EXPECT_EQ(values(b, 2), (std::vector<std::string>{"CH3", "1024", "0", "4.096", "0"}));
    EXPECT_EQ(b.CHType(2), 1);
    EXPECT_EQ(values(b, 3), (std::vector<std::string>{"CH4", "4096", "0", "5.20504731861199", "0"}));
    EXPECT_EQ(b.CHType(3), 0);
    EXPECT_EQ(values(k.CalPreset(k28), 31), (std::vector<std::string>{"CH32", "7826", "-366", "10", "0"}));

    k.Condition_strADBOARD("VylK24[±10]");
    ASSERT_NE(k.GetPresetCal(), nullptr);
    EXPECT_EQ(values(*k.GetPresetCal(), 0), (std::vector<std::string>{"CH1", "2048", "0", "10.41", "0"}));
    k.Condition_strADBOARD("VylB54");
    EXPECT_EQ(k.GetPresetCal()->EU_HI(5), "5.5808");
    k.Condition_strADBOARD("VylS80");  // no values of its own: the table's defaults
    EXPECT_EQ(values(*k.GetPresetCal(), 0), (std::vector<std::string>{"CH1", "2048", "0", "100", "0"}));
    // Filled but never returned, and the lookup is exact in case.
    for (const char* name : {"VylK14(B)[±5]", "VylK14(B)[±10]", "vylk10[±5]", "VylK10[±5] ", ""}) {
        k.Condition_strADBOARD(name);
        EXPECT_EQ(k.GetPresetCal(), nullptr) << name;
    }
    EXPECT_EQ(k.CalPreset(5).EU_HI(0), "5");
    EXPECT_EQ(std::string(CKdat::CalPresetName(5)), "VylK14(B)[±5]");
    EXPECT_EQ(errorNumber([&] { k.CalPreset(28); }), 9);
}

TEST_F(KdatModelTest, CreatingAnObjectRefillsFiveProgramPresets) {
    for (const char* name : {"GCCalSetting_DEBUG", "GCCalSetting_K36", "GCCalSetting_K38",
                             "GCCalSetting_K44", "GCCalSetting_K46", "GCCalSetting_K40"})
        GCCalSetting(name).Cal_AD(4, "1");
    CKdat k;
    EXPECT_EQ(GCCalSetting("GCCalSetting_DEBUG").Cal_AD(4), "32768");
    EXPECT_EQ(GCCalSetting("GCCalSetting_DEBUG").EU_HI(4), "32768");
    EXPECT_EQ(GCCalSetting("GCCalSetting_K36").Cal_AD(4), "7784");
    EXPECT_EQ(GCCalSetting("GCCalSetting_K38").Base_AD(4), "13");
    EXPECT_EQ(GCCalSetting("GCCalSetting_K44").Cal_AD(4), "30536");
    EXPECT_EQ(GCCalSetting("GCCalSetting_K46").Base_AD(4), "-433");
    EXPECT_EQ(GCCalSetting("GCCalSetting_K40").Cal_AD(4), "1");  // not one of the five
    InitAmpCalTable();
}
