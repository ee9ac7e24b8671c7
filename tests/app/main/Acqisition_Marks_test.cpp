// Marks and comments: the mark labels, adding and deleting at the left cursor, the full table,
// the mark-comment list, the comment boxes and the FUOUKI_MS setting.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "tests/app/main/Acqisition_Monitor_testsupport.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Dialogs.h"

using namespace qv;

namespace {

constexpr int32_t kWhite = 0xFFFFFF, kRed = 0xFF;

class Marks : public apptest::MonitorTest {
protected:
    void SetUp() override {
        MonitorTest::SetUp();
        GAcqParam.nSample = 100;  // a second is 1000 samples
    }
    void marks(std::initializer_list<int32_t> m) {
        MarkArray.fill(0);
        MarkArray[0] = static_cast<int32_t>(m.size());
        int i = 1;
        for (int32_t v : m) MarkArray[static_cast<size_t>(i++)] = v;
    }
    std::vector<int32_t> table() const {
        return {MarkArray.begin() + 1, MarkArray.begin() + 1 + MarkArray[0]};
    }
    // The left cursor at p, its label brought up to date.
    void left(int32_t p) {
        GAcqParam.Cur_L_Point = p;
        w->DispCurMark();
    }
    std::pair<std::string, int32_t> label(const forms::Label& l) const { return {l.Caption(), l.BackColor()}; }
};

TEST_F(Marks, TheLabelsCountTheMarksBeforeTheCursorAndTurnRedInsideOne) {
    marks({3, 10});
    using L = std::pair<std::string, int32_t>;
    left(3500);
    EXPECT_EQ(label(w->LBLMarkDisp_L), L("1", kRed));
    left(2999);
    EXPECT_EQ(label(w->LBLMarkDisp_L), L("0", kWhite));
    left(10000);
    EXPECT_EQ(label(w->LBLMarkDisp_L), L("2", kRed));
    left(25000);
    EXPECT_EQ(label(w->LBLMarkDisp_L), L("2", kWhite));
    GAcqParam.Cur_R_Point = 10999;
    w->DispCurMark();
    EXPECT_EQ(label(w->LBLMarkDisp_R), L("2", kRed));
    marks({});
    w->DispCurMark();
    EXPECT_EQ(label(w->LBLMarkDisp_L), L("0", kWhite));
    EXPECT_EQ(label(w->LBLMarkDisp_R), L("0", kWhite));
    // A cursor move updates them.
    marks({0});
    GAcqParam.Cur_R_Point = 500;
    w->MoveCurR(500.0f);
    EXPECT_EQ(label(w->LBLMarkDisp_R), L("1", kRed));
}

TEST_F(Marks, AddingKeepsTheTableInOrderAndRefusesAMarkedSecond) {
    EXPECT_FALSE(w->cmdAddMarkOffline.Enabled());  // the buttons are never offered
    EXPECT_FALSE(w->cmdDelMarkOffline.Enabled());
    marks({3, 10});
    left(25000);
    w->cmdAddMarkOffline_Click();
    EXPECT_EQ(table(), (std::vector<int32_t>{3, 10, 25}));
    left(5400);
    w->cmdAddMarkOffline_Click();
    EXPECT_EQ(table(), (std::vector<int32_t>{3, 5, 10, 25}));
    left(3999);
    w->cmdAddMarkOffline_Click();
    EXPECT_EQ(table(), (std::vector<int32_t>{3, 5, 10, 25}));
    marks({});
    left(0);
    w->cmdAddMarkOffline_Click();
    EXPECT_EQ(table(), (std::vector<int32_t>{0}));
}

TEST_F(Marks, ALabelOutOfStepWithTheTableChangesNothing) {
    marks({3});
    w->LBLMarkDisp_L.setCaption("5");  // not what the table says
    w->LBLMarkDisp_L.setBackColor(kWhite);
    EXPECT_THROW(w->cmdAddMarkOffline_Click(), basic::RuntimeError);
    w->LBLMarkDisp_L.setBackColor(kRed);
    EXPECT_THROW(w->cmdDelMarkOffline_Click(), basic::RuntimeError);
    EXPECT_EQ(table(), (std::vector<int32_t>{3}));
}

TEST_F(Marks, DeletingTakesTheMarkUnderTheLeftCursor) {
    marks({3, 5, 10, 25});
    left(10500);
    w->cmdDelMarkOffline_Click();
    EXPECT_EQ(table(), (std::vector<int32_t>{3, 5, 25}));
    EXPECT_EQ(MarkArray[0], 3);
    left(11000);
    w->cmdDelMarkOffline_Click();
    EXPECT_EQ(table(), (std::vector<int32_t>{3, 5, 25}));
    left(3000);
    w->cmdDelMarkOffline_Click();
    EXPECT_EQ(table(), (std::vector<int32_t>{5, 25}));
}

TEST_F(Marks, TheHundredthMarkIsRefusedWithAMessage) {
    marks({});
    for (int32_t i = 1; i <= 99; ++i) MarkArray[static_cast<size_t>(i)] = i - 1;
    MarkArray[0] = 99;
    const std::vector<int32_t> full = table();
    left(200000);
    driver.answerMsgBox(forms::vbOK);
    w->cmdAddMarkOffline_Click();
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].style & 0x30, forms::vbExclamation);
    EXPECT_NE(driver.msgBoxes()[0].prompt.find("99"), std::string::npos);
    EXPECT_EQ(table(), full);
    // Deleting one makes room again.
    left(50500);
    w->cmdDelMarkOffline_Click();
    left(200000);
    w->cmdAddMarkOffline_Click();
    EXPECT_EQ(MarkArray[0], 99);
    EXPECT_EQ(MarkArray[99], 200);
    EXPECT_EQ(driver.msgBoxes().size(), 1u);
}

TEST_F(Marks, MarkCommentLinesAreNumberedFromZeroWithTheLeftCursor) {
    GAcqParam.Cur_L_Point = 480;
    w->txtMarkComment.setText("start");
    for (int i = 0; i < 3; ++i) w->cmdAddMark_Click();
    EXPECT_EQ(w->lstMarkCom.List(0), "000,480,start");
    EXPECT_EQ(w->lstMarkCom.List(2), "002,480,start");
    for (int i = 3; i <= 1000; ++i) w->cmdAddMark_Click();
    EXPECT_EQ(w->lstMarkCom.List(1000), "1000,480,start");
    // Clearing only repaints.
    w->cmdClearMark_Click();
    EXPECT_EQ(w->lstMarkCom.ListCount(), 1001);
}

TEST_F(Marks, CommentsGoIntoTheParameterRecordAndTheSettingIsReadFromTheSystemIni) {
    for (int i = 0; i < 5; ++i) w->TXTComment(i).setText("c" + std::to_string(i));
    GAcqParam.Comment[5] = "kept";
    w->SaveComment();
    EXPECT_EQ(GAcqParam.Comment[0], "c0");
    EXPECT_EQ(GAcqParam.Comment[4], "c4");
    EXPECT_EQ(GAcqParam.Comment[5], "kept");

    SetIniFileName(prog.win("other.ini"));
    GAcqParam.lFuoukiTimeMS = 1234;
    EXPECT_EQ(w->GetFuoukiTimeMS(), 1234);  // no key: the recording's value
    EXPECT_EQ(GetIniFileName(), prog.win("other.ini"));
    {
        IniPathGuard system(ProgramFile("Tolvane.ini"));
        WriteIniString("SETTING", "FUOUKI_MS", "250.6");
    }
    EXPECT_EQ(w->GetFuoukiTimeMS(), 251);
    {
        IniPathGuard system(ProgramFile("Tolvane.ini"));
        WriteIniString("SETTING", "FUOUKI_MS", "abc");
    }
    EXPECT_EQ(w->GetFuoukiTimeMS(), 0);
    EXPECT_EQ(GetIniFileName(), prog.win("other.ini"));
    SetIniFileName("");
}

}  // namespace
