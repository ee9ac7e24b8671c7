// The frame-table test window: its lists, the differences column, a row click and its switch.
#include "app/camera/frmCAM_TEST.h"

#include <gtest/gtest.h>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "app/camera/modCAM.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "platform/forms/Driver.h"

using namespace qv;

namespace {

class FrmCamTestTest : public ::testing::Test {
protected:
    void TearDown() override {
        forms::Runtime::get().reset();
        GlFlameTime.clear();
        Acqisition::MakeStackFlameTable();
    }
    static std::vector<std::string> rows(const forms::ListBox& l) {
        std::vector<std::string> out;
        for (int i = 0; i < l.ListCount(); ++i) out.push_back(l.List(i));
        return out;
    }
    apptest::TempProgramFolder prog;
    forms::Driver driver;
};

TEST_F(FrmCamTestTest, ListsTheTablesWithTenDigits) {
    frmCAM_TEST& w = frmCAM_TEST::instance();
    w.lstGlFlameTime.AddItem("old row");
    w.DispArray({0, 33, -5}, w.lstGlFlameTime);
    EXPECT_EQ(rows(w.lstGlFlameTime),
              (std::vector<std::string>{"0:0000000000", "1:0000000033", "2:-0000000005"}));
    w.DispArrayDbl({0.5, -1234.25}, w.lstGdblFlameTime);
    EXPECT_EQ(rows(w.lstGdblFlameTime),
              (std::vector<std::string>{"0:0000000000.5000000000", "1:-0000001234.2500000000"}));
    GlFlameTime = {100, 100, 133, 166, 166, 166};
    Acqisition::MakeStackFlameTable();
    w.cmdDispStackFlameTable.userClick();
    EXPECT_EQ(rows(w.lstStackFlameTable), (std::vector<std::string>{"0:0,1", "1:2", "2:3,4,5"}));
    EXPECT_EQ(w.lstStackFlameTableID.ListCount(), 0);
    EXPECT_EQ(w.Caption(), "Form1");
    EXPECT_EQ(w.lstGlFlameTime.font().Name, "ＭＳ ゴシック");
}

TEST_F(FrmCamTestTest, DifferencesAppendAColumnEachPressFromTheSecondField) {
    frmCAM_TEST& w = frmCAM_TEST::instance();
    driver.run([&] { w.Show(); });
    w.DispArray({100, 133, 166, 166, 170}, w.lstGlFlameTime);
    ASSERT_TRUE(driver.click(w.Command1));
    EXPECT_EQ(rows(w.lstGlFlameTime),
              (std::vector<std::string>{"0:0000000100", "1:0000000133:33", "2:0000000166:33",
                                        "3:0000000166:0", "4:0000000170:4"}));
    ASSERT_TRUE(driver.click(w.Command1));
    EXPECT_EQ(w.lstGlFlameTime.List(0), "0:0000000100");
    EXPECT_EQ(w.lstGlFlameTime.List(4), "4:0000000170:4:4");
    EXPECT_TRUE(w.lstGlFlameTime.Visible());
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(FrmCamTestTest, ARowClickRepaintsTheMonitorAndFollowsInTheDoubleList) {
    apptest::StartableProgram start{prog};
    Acqisition& main = Acqisition::instance();
    int paints = 0;
    forms::ScopedConnection watch = main.PBXMoniDisp.Paint.connect([&] { ++paints; });
    frmCAM_TEST& w = frmCAM_TEST::instance();
    driver.run([&] { w.Show(); });
    const std::vector<int32_t> frames(40, 7);
    w.DispArray(frames, w.lstGlFlameTime);
    w.DispArrayDbl(std::vector<double>(frames.begin(), frames.end()), w.lstGdblFlameTime);
    w.lstGlFlameTime.setTopIndex(20);
    ASSERT_TRUE(driver.select(w.lstGlFlameTime, 25));
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(w.lstGdblFlameTime.ListIndex(), 25);
    EXPECT_EQ(w.lstGdblFlameTime.TopIndex(), 20);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(FrmCamTestTest, TheHiddenWindowsBoxShowsAndHidesIt) {
    apptest::StartableProgram start{prog};
    Acqisition2& hidden = Acqisition2::instance();
    hidden.chkDispCAM_TEST.setValue(1);
    EXPECT_TRUE(frmCAM_TEST::instance().Visible());
    hidden.chkDispCAM_TEST.setValue(0);
    EXPECT_FALSE(frmCAM_TEST::instance().Visible());
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(FrmCamTestTest, EveryControlLiesInsideTheClientArea) {
    frmCAM_TEST& w = frmCAM_TEST::instance();
    const forms::PixelRect client = w.clientRect();
    for (forms::Control* c : w.Controls()) {
        const forms::PixelRect r = c->outerRect();
        EXPECT_GE(r.left, 0) << c->Name();
        EXPECT_GE(r.top, 0) << c->Name();
        EXPECT_LE(r.right, client.right - client.left) << c->Name();
        EXPECT_LE(r.bottom, client.bottom - client.top) << c->Name();
    }
    EXPECT_EQ(w.Text2.Text(),
              "カメラのフレームごとのADカウントを表示しています\r\n。\r\n"
              "この値を元に、カーソル位置のフレーム番号を計算します。\r\n");
}

}  // namespace
