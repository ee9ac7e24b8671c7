// The camera frame tables: reading the frame list, grouping frames by position and the look-ups.
#include "app/camera/modCAM.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/app/camera/FlameList_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "app/camera/frmCAM_TEST.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Runtime.h"

using namespace qv;
using qv::apptest::errorNumber;
using qv::apptest::flameListBytes;

namespace {

class FrameTablesTest : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override {
        forms::Runtime::get().reset();
        clear();
    }
    static void clear() {
        GlFlameTime.clear();
        GdblFlameTime.clear();
        GsngFlameTime.clear();
        GlTime_ADCGET.clear();
        GlCapNum = 0;
        GlADCGETCnt = 0;
        Acqisition::MakeStackFlameTable();
    }
    // Writes the file and reads it with the counts given.
    void load(const std::string& bytes, int32_t capNum, int32_t adcGetCnt) {
        prog.writeBytes("REC.FLM", bytes);
        GlCapNum = capNum;
        GlADCGETCnt = adcGetCnt;
        ReadFlameList(prog.win("REC.FLM"));
    }
    void load(const std::vector<int32_t>& frames, const std::vector<int32_t>& fetches = {0}) {
        load(flameListBytes(frames, fetches), static_cast<int32_t>(frames.size()),
             static_cast<int32_t>(fetches.size()));
    }
    static std::vector<std::string> groups() {
        std::vector<std::string> out;
        for (int32_t i = 1; i <= StackFlameTable.Count(); ++i) out.push_back(StackFlameTable.Item(i));
        return out;
    }
    apptest::TempProgramFolder prog;
};

TEST_F(FrameTablesTest, ReadsTheThreeBlocksAndGroupsFramesByPosition) {
    load(flameListBytes({100, 100, 133, 166, 166, 166}, {1.0, 2.0, 3.0, 4.0, 5.5, 6.0}, {777, 888}), 6, 2);
    EXPECT_EQ(GlFlameTime, (std::vector<int32_t>{100, 100, 133, 166, 166, 166}));
    EXPECT_EQ(GdblFlameTime, (std::vector<double>{1.0, 2.0, 3.0, 4.0, 5.5, 6.0}));
    EXPECT_EQ(GsngFlameTime, (std::vector<float>{1.0f, 2.0f, 3.0f, 4.0f, 5.5f, 6.0f}));
    EXPECT_EQ(GlTime_ADCGET, (std::vector<int32_t>{777, 888}));
    EXPECT_EQ(groups(), (std::vector<std::string>{"0,1", "2", "3,4,5"}));
    EXPECT_EQ(StackFlameTable.Item("133"), "2");
    // A position met again moves to the end with the frame appended.
    GlFlameTime = {5, 7, 5, -2};
    Acqisition::MakeStackFlameTable();
    EXPECT_EQ(groups(), (std::vector<std::string>{"1", "0,2", "3"}));
    EXPECT_EQ(StackFlameTable.Item("-2"), "3");
}

TEST_F(FrameTablesTest, LookUpsFindTheFrameAtOrBeforeAPosition) {
    load({100, 100, 133, 166, 166, 166});
    const struct {
        int32_t position, first, last;
    } cases[] = {
        {166, 3, 5}, {150, 2, 2}, {100, 0, 1}, {50, 0, 1},  // below the first: its group
        {120, 0, 1}, {5000, 3, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetStackFlameNo(c.position, false), c.first) << c.position;
        EXPECT_EQ(GetStackFlameNo(c.position, true), c.last) << c.position;
    }
    EXPECT_EQ(FindStackFlameIndex(50), 0);
    EXPECT_EQ(FindStackFlameIndex(150), 2);
    EXPECT_EQ(FindStackFlameIndex(9999), 5);
    // Between the first two entries: the first, also in a table of only these two.
    load({10, 20, 30, 40});
    EXPECT_EQ(FindStackFlameIndex(15), 0);
    load({10, 20});
    EXPECT_EQ(FindStackFlameIndex(15), 0);
    EXPECT_EQ(FindStackFlameIndex(20), 1);
}

TEST_F(FrameTablesTest, GroupsAtBothEndsAndASingleFrame) {
    load({7, 7, 7, 9, 9});
    EXPECT_EQ(GetStackFlameNo(7, false), 0);
    EXPECT_EQ(GetStackFlameNo(7, true), 2);
    EXPECT_EQ(GetStackFlameNo(8, true), 2);
    EXPECT_EQ(GetStackFlameNo(9, false), 3);
    EXPECT_EQ(GetStackFlameNo(9, true), 4);
    EXPECT_EQ(GetStackFlameNo(-100, false), 0);
    EXPECT_EQ(GetStackFlameNo(100, false), 3);
    load({500});
    for (int32_t p : {0, 500, 501})
        for (bool last : {false, true}) EXPECT_EQ(GetStackFlameNo(p, last), 0) << p;
    EXPECT_EQ(groups(), (std::vector<std::string>{"0"}));
}

TEST_F(FrameTablesTest, BeforeAnyLoadThereIsNoFrame) {
    EXPECT_EQ(FindStackFlameIndex(10), -1);
    EXPECT_EQ(StackFlameTable.Count(), 0);
    EXPECT_EQ(errorNumber([] { GetStackFlameNo(10, false); }), 9);
    // A table whose groups were never built: the collection's missing key.
    GlFlameTime = {1, 2};
    EXPECT_EQ(errorNumber([] { GetStackFlameNo(2, true); }), 5);
}

TEST_F(FrameTablesTest, TheFloatTableComesFromTheDoublesOnlyWhenAllAreInRange) {
    const double big = 2147483648.0;  // 2^31
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        std::vector<double> doubles;
        std::vector<float> expected;
    } cases[] = {
        {{1.25, big}, {1.25f, static_cast<float>(big)}},  // exactly 2^31 is still usable
        {{-1.25, -big}, {-1.25f, -static_cast<float>(big)}},
        {{1.25, big + 1024}, {1.0f, 2.0f}},  // one value above: the integers instead
        {{-big - 1024, 2.5}, {1.0f, 2.0f}},
        {{nan, 2.5}, {1.0f, 2.0f}},
        {{1.25, std::numeric_limits<double>::infinity()}, {1.0f, 2.0f}},
    };
    for (const auto& c : cases) {
        load(flameListBytes({1, 2}, c.doubles, {}), 2, 0);
        EXPECT_EQ(GsngFlameTime, c.expected) << c.doubles[0] << " " << c.doubles[1];
    }
}

TEST_F(FrameTablesTest, ARefusedFileLeavesTheEarlierTablesAsTheyWere) {
    load(flameListBytes({10, 20, 20}, {1.5, 2.5, 3.5}, {42}), 3, 1);
    const auto keep = [] {
        return std::make_tuple(GlFlameTime, GdblFlameTime, GsngFlameTime, GlTime_ADCGET, groups());
    };
    const auto before = keep();
    const std::string four = flameListBytes({1, 2, 3, 4}, {9});
    const struct {
        const char* what;
        std::string bytes;
        int32_t capNum, adcGetCnt;
        int error;
    } refusals[] = {
        {"one fetch count short", four, 4, 2, 62},
        {"a frame short", four.substr(0, 12 * 3), 4, 0, 62},
        {"one byte short", four.substr(0, four.size() - 1), 4, 1, 62},
        {"a negative frame count", four, -1, 1, 9},
        {"a negative fetch count", four, 4, -1, 9},
        {"an empty file", "", 1, 0, 62},
    };
    for (const auto& r : refusals) {
        EXPECT_EQ(errorNumber([&] { load(r.bytes, r.capNum, r.adcGetCnt); }), r.error) << r.what;
        EXPECT_EQ(keep(), before) << r.what;
    }
    GlCapNum = 1;
    EXPECT_EQ(errorNumber([&] { ReadFlameList(prog.win("NONE.FLM")); }), 53);
    EXPECT_EQ(keep(), before);
    // A count far beyond the bytes is refused before it sizes anything.
    EXPECT_EQ(errorNumber([&] { ParseFlameList(four, std::numeric_limits<int32_t>::max(), 0); }), 62);
}

TEST_F(FrameTablesTest, AnEmptyThirdBlockAndTrailingBytes) {
    load(flameListBytes({3, 4}, {}) + "trailing bytes", 2, 0);
    EXPECT_TRUE(GlTime_ADCGET.empty());
    EXPECT_EQ(GlFlameTime, (std::vector<int32_t>{3, 4}));
    // No frames at all: tables without storage, and the look-ups say so.
    load("", 0, 0);
    EXPECT_TRUE(GlFlameTime.empty());
    EXPECT_EQ(FindStackFlameIndex(3), -1);
}

TEST_F(FrameTablesTest, AShownTestWindowListsTheNewTables) {
    load({1, 2});
    EXPECT_EQ(forms::Runtime::get().findForm("frmCAM_TEST"), nullptr);  // not created for it
    frmCAM_TEST& w = frmCAM_TEST::instance();
    load({5});
    EXPECT_EQ(w.lstGlFlameTime.ListCount(), 0);  // hidden: not filled
    w.Show();
    load(flameListBytes({5, 6}, {5.5, 6.5}, {}), 2, 0);
    ASSERT_EQ(w.lstGlFlameTime.ListCount(), 2);
    EXPECT_EQ(w.lstGlFlameTime.List(1), "1:0000000006");
    EXPECT_EQ(w.lstGdblFlameTime.List(0), "0:0000000005.5000000000");
    EXPECT_EQ(w.lstStackFlameTable.ListCount(), 0);  // only on its button
}

}  // namespace
