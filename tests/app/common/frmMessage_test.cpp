#include "app/common/frmMessage.h"

#include <gtest/gtest.h>

#include "tests/app/common/IniSet_testsupport.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Globals.h"

using namespace qv;

namespace {

struct MainTag {};

class FrmMessageTest : public ::testing::Test {
protected:
    void SetUp() override { driver.setScreen(1920, 1080); }
    forms::Driver driver;
};

TEST_F(FrmMessageTest, ShowMessageShowsTheLinesCentredOnTheScreen) {
    bool ranPending = false;
    forms::Runtime::get().post([&] { ranPending = true; });
    ShowMessage(true, "Quorvane 起動中", "しばらくお待ちください。", true);
    frmMessage& f = frmMessage::instance();
    EXPECT_TRUE(ranPending);  // the text is shown before the caller's work starts
    EXPECT_TRUE(f.Visible());
    EXPECT_TRUE(f.PBX_Message.Visible());
    EXPECT_FALSE(f.PBX_Progress.Visible());
    EXPECT_TRUE(f.cmdClose.Visible());
    EXPECT_EQ(f.LBL_Progress_Caption(0).Caption(), "Quorvane 起動中");
    EXPECT_EQ(f.LBL_Progress_Caption(1).Caption(), "しばらくお待ちください。");
    EXPECT_EQ(f.LBL_Progress_Caption(1).font().Name, "ＭＳ Ｐゴシック");
    EXPECT_EQ(f.Width(), f.PBX_Message.Width());
    EXPECT_EQ(f.Height(), f.PBX_Message.Height());
    EXPECT_EQ(f.PBX_Message.Left(), -15);
    EXPECT_EQ(f.PBX_Message.Top(), -15);
    EXPECT_DOUBLE_EQ(f.Left(), 28800 / 2.0 - f.Width() / 2);
    EXPECT_DOUBLE_EQ(f.Top(), 16200 / 2.0 - f.Height() / 2);

    ShowMessage(true, "Now Loading", "Please Wait", false, true);  // the extra flag is accepted
    EXPECT_FALSE(f.cmdClose.Visible());
    EXPECT_EQ(f.LBL_Progress_Caption(0).Caption(), "Now Loading");

    ShowMessage(false, "", "", false);
    EXPECT_FALSE(f.Visible());
}

TEST_F(FrmMessageTest, CloseButtonHidesTheWindowUntilTheNextMessage) {
    ShowMessage(true, "a", "b", true);
    frmMessage& f = frmMessage::instance();
    ASSERT_TRUE(driver.click(f.cmdClose));
    EXPECT_FALSE(f.Visible());
    EXPECT_FALSE(f.PBX_Message.Visible());
    ShowMessage(true, "c", "d", false);
    EXPECT_TRUE(f.Visible());
    EXPECT_TRUE(f.PBX_Message.Visible());
    EXPECT_EQ(f.LBL_Progress_Caption(1).Caption(), "d");
}

TEST_F(FrmMessageTest, ProgressOverTheMaximumShowsAFullBarAndTheRawNumbers) {
    forms::Form& main = apptest::loadStandIn<MainTag>("Acqisition", {});
    main.Move(1500, 3000, 9000, 6000);
    bool ranPending = false;
    forms::Runtime::get().post([&] { ranPending = true; });

    ShowProgress(true, "C:\\data\\rec.csv", 150, 100);
    frmMessage& f = frmMessage::instance();
    EXPECT_FALSE(ranPending);  // the export loop lets messages run itself
    EXPECT_TRUE(f.Visible());
    EXPECT_TRUE(f.TopMost());
    EXPECT_TRUE(f.PBX_Progress.Visible());
    EXPECT_FALSE(f.PBX_Message.Visible());
    EXPECT_TRUE(f.chkAbort.Visible());
    EXPECT_EQ(f.ProgressBar1.Max(), 100);
    EXPECT_EQ(f.ProgressBar1.Value(), 100);
    EXPECT_EQ(f.LBL_Progress_Value.Caption(), "150");
    EXPECT_EQ(f.LBL_Progress_Max.Caption(), "100");
    EXPECT_EQ(f.LBL_Progress_Caption(2).Caption(), "C:\\data\\rec.csv");
    EXPECT_DOUBLE_EQ(f.Left(), 1500 + (9000 - f.Width()) / 2);
    EXPECT_DOUBLE_EQ(f.Top(), 3000 + (6000 - f.Height()) / 2);
    EXPECT_EQ(f.PBX_Progress.Left(), -15);

    ShowProgress(true, "x", 30, 200);
    EXPECT_EQ(f.ProgressBar1.Max(), 200);
    EXPECT_EQ(f.ProgressBar1.Value(), 30);

    ShowProgress(false, "", 0, 1);
    EXPECT_FALSE(f.Visible());
    EXPECT_FALSE(f.TopMost());
}

TEST_F(FrmMessageTest, ProgressWithoutAMaximumOrBelowZeroShowsAnEmptyBar) {
    frmMessage& f = frmMessage::instance();
    ShowProgress(true, "a", 40, 80);
    ShowProgress(true, "empty export", 5, 0);
    EXPECT_EQ(f.ProgressBar1.Value(), 0);
    EXPECT_EQ(f.LBL_Progress_Value.Caption(), "5");
    EXPECT_EQ(f.LBL_Progress_Max.Caption(), "0");
    ShowProgress(true, "b", -3, -10);
    EXPECT_EQ(f.ProgressBar1.Value(), 0);
    EXPECT_EQ(f.LBL_Progress_Max.Caption(), "-10");
    ShowProgress(true, "c", -3, 10);
    EXPECT_EQ(f.ProgressBar1.Value(), 0);
    EXPECT_EQ(f.ProgressBar1.Max(), 10);
    // Without the main window the box is centred on the screen.
    EXPECT_DOUBLE_EQ(f.Left(), (28800 - f.Width()) / 2);
    EXPECT_TRUE(driver.errors().empty());
}

}  // namespace
