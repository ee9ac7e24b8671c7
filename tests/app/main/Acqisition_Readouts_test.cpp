// The cursor read-outs: time and level formats, "----" outside the window and without data,
// sweep numbers in trigger mode, and the column captions; typed cursor times, the reset and
// level-marker boxes, and the trigger-level entry with its step buttons.
#include <gtest/gtest.h>

#include "tests/app/main/Acqisition_Monitor_testsupport.h"
#include "app/channel/CCalSetting.h"
#include "app/common/IniSet.h"
#include "app/common/frmMessage.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Numbers.h"

using namespace qv;

namespace {

class Readouts : public apptest::MonitorTest {
protected:
    // At a sample period of 1000 us a point is a millisecond.
    void place(int32_t l, int32_t r) {
        GAcqParam.Cur_L_Point = l;
        GAcqParam.Cur_R_Point = r;
        w->DispCurValue();
    }
    std::string levels(int ch) {
        return w->lblCurLevel_L(ch).Caption() + "|" + w->lblCurLevel_R(ch).Caption() + "|" +
               w->lblCurLevel_LR(ch).Caption();
    }
};

TEST_F(Readouts, TimesLevelsAndTheirDifferencesInTheirFormats) {
    GAcqParam.lPosWAVE_Start = 1000;
    DispWaveArray(20, 1) = -1.23456f;
    place(1020, 1150);
    EXPECT_EQ(w->lblStartTime.Caption(), "1.000");
    EXPECT_EQ(w->lblEndTime.Caption(), "1.200");
    EXPECT_EQ(w->LBLCurTime_L.Caption(), "1.02000");
    EXPECT_EQ(w->LBLCurTime_R.Caption(), "1.15000");
    EXPECT_EQ(w->LBLCurTime_D.Caption(), "0.13000");
    EXPECT_EQ(levels(0), "0.6250|0.6250|0.0000");
    EXPECT_EQ(levels(1), "-1.2346|0.3750|1.6096");
    place(1000, 1000);  // together: a zero difference
    EXPECT_EQ(w->LBLCurTime_D.Caption(), "0.00000");
}

TEST_F(Readouts, ACursorOnTheWindowsEdgeHasALevelAndOnePastItNone) {
    DispWaveArray(kSweep, 0) = 0.5f;  // the closing point
    place(0, kSweep);
    EXPECT_EQ(levels(0), "0.6250|0.5000|0.1250");
    place(0, kSweep + 1);
    EXPECT_EQ(levels(0), "0.6250|----|----");
    EXPECT_EQ(w->LBLCurTime_R.Caption(), "0.20100") << "the time is still shown";
    GAcqParam.lPosWAVE_Start = 1;
    place(0, 5);
    EXPECT_EQ(levels(1), "----|0.3750|----");
}

TEST_F(Readouts, WithoutDataEveryReadOutShowsDashes) {
    place(10, 20);
    GAcqParam.nSample = 0;
    w->DispCurValue();
    for (forms::Label* l : {&w->lblStartTime, &w->lblEndTime, &w->LBLCurTime_L, &w->LBLCurTime_R,
                            &w->LBLCurTime_D})
        EXPECT_EQ(l->Caption(), "----") << l->Name();
    EXPECT_EQ(w->txtCurTime_L.Text(), "----");
    EXPECT_EQ(w->txtCurTime_R.Text(), "----");
    EXPECT_EQ(levels(0), "----|----|----");
    EXPECT_EQ(levels(31), "----|----|----");
    GAcqParam.nSample = 2;
    GAcqParam.PTotal = 0;
    place(10, 30);
    EXPECT_EQ(w->LBLCurTime_L.Caption(), "----");
    // With no channel shown nothing is touched; nor in acquisition.
    GAcqParam.PTotal = 100000;
    for (int ch = 0; ch < 2; ++ch) GAcqParam.CHKWaveNo[ch] = 0;
    place(10, 30);
    EXPECT_EQ(w->LBLCurTime_L.Caption(), "----");
    GAcqParam.CHKWaveNo[0] = 1;
    w->SetDispStatus("Acq", false);
    place(10, 30);
    EXPECT_EQ(w->LBLCurTime_L.Caption(), "----");
    w->SetDispStatus("End", false);
    place(10, 30);
    EXPECT_EQ(w->LBLCurTime_L.Caption(), "0.01000");
}

TEST_F(Readouts, TriggerModeShowsTheSweepNumberAndTimesWithinTheSweep) {
    place(0, 10);
    EXPECT_EQ(w->lblEndTime.Caption(), "0.200");
    GAcqCondition.strTRIGGER_SETTING = "1";
    GAcqParam.lPosWAVE_Start = 2 * kSweep;
    place(2 * kSweep + 30, 2 * kSweep + 80);
    EXPECT_EQ(w->lblStartTime.Caption(), "3");
    EXPECT_EQ(w->lblEndTime.Caption(), "0.200") << "keeps its text";
    EXPECT_EQ(w->LBLCurTime_L.Caption(), "0.03000");
    EXPECT_EQ(w->LBLCurTime_R.Caption(), "0.08000");
    EXPECT_EQ(w->LBLCurTime_D.Caption(), "0.05000");
}

TEST_F(Readouts, ChannelsAndPointsBeyondTheDisplayArrayHaveNoLevel) {
    GAcqCondition.lEndCH = 3;  // a third channel the array has no column for
    w->lblCurLevel_L(2).setCaption("x");
    place(10, 20);
    EXPECT_EQ(w->lblCurLevel_L(2).Caption(), "x");
    EXPECT_EQ(levels(1), "0.3750|0.3750|0.0000");
    DispWaveArray.Redim(2, 100);  // a window read short: points 100.. are not in memory
    place(10, 150);
    EXPECT_EQ(levels(0), "0.0000|----|----");
}

// The first raw scan in the level labels: the count converted by the voltage calibration, or,
// where that calibration cannot convert it (a damaged recording), the count alone.
TEST_F(Readouts, RawLevelsShowTheCountWhereTheCalibrationCannotConvertIt) {
    RawSampleBuffer = {100, -200};
    GCalRecVolt[0] = CalRecord{10.0f, 0.0f, 1000.0f, 0.0f};
    GCalRecVolt[1] = CalRecord{10.0f, 0.0f, 1000.0f, 0.0f};
    for (int ch : {0, 1}) {
        GCCalSettingDisp.CHType(ch, 0);
        w->lblCurLevel_L(ch).setCaption("x");
    }
    w->DispRawLevels();
    EXPECT_EQ(w->lblCurLevel_L(0).Caption() + "|" + w->lblCurLevel_R(0).Caption(), "1.0000|100");
    EXPECT_EQ(w->lblCurLevel_L(1).Caption() + "|" + w->lblCurLevel_R(1).Caption(), "-2.0000|-200");
    for (const CalRecord& damaged : {CalRecord{10.0f, 0.0f, 3e9f, 0.0f}, CalRecord{10.0f, 0.0f, 1000.0f, -1e20f},
                                     CalRecord{10.0f, 0.0f, 0.0f, 0.0f}, CalRecord{3e38f, -3e38f, 1.0f, 0.0f}}) {
        GCalRecVolt[1] = damaged;
        w->lblCurLevel_L(1).setCaption("x");
        RawSampleBuffer = {7, 9};
        EXPECT_NO_THROW(w->DispRawLevels()) << damaged.Cal_AD;
        EXPECT_EQ(w->lblCurLevel_L(0).Caption(), "0.0700");
        EXPECT_EQ(w->lblCurLevel_L(1).Caption() + "|" + w->lblCurLevel_R(1).Caption(), "x|9") << damaged.Cal_AD;
    }
    RawSampleBuffer.clear();
}

TEST_F(Readouts, ColumnCaptionsAndColoursFollowTheMode) {
    w->DispCurLabelName();
    EXPECT_EQ(w->lblCurLevel_L_Label.Caption(), "Left");
    EXPECT_EQ(w->lblCurLevel_R_Label.Caption(), "Right");
    EXPECT_EQ(w->lblCurLevel_LR_Label.Caption(), "Diff");
    EXPECT_EQ(w->lblCurLevel_R_Label.BackColor(), 16777088);
    EXPECT_EQ(w->lblCurLevel_L(31).BackColor(), 12632319);
    EXPECT_EQ(w->lblCurLevel_LR(0).BackColor(), 14737632);
    w->SetDispStatus("Acq", false);
    w->DispCurLabelName();
    EXPECT_EQ(w->lblCurLevel_L_Label.Caption(), "LINE(V)");
    EXPECT_EQ(w->lblCurLevel_R_Label.Caption(), "AD");
    EXPECT_EQ(w->lblCurLevel_LR_Label.Caption(), "EU");
    EXPECT_EQ(w->lblCurLevel_L(5).BackColor(), 12640511);
    EXPECT_EQ(w->lblCurLevel_R(5).BackColor(), 12648447);
    EXPECT_EQ(w->lblCurLevel_LR(5).BackColor(), 12648384);
    w->SetDispStatus("End", false);
}

class CursorEdits : public Readouts {
protected:
    void SetUp() override {
        Readouts::SetUp();
        int32_t l = 50, r = 150;
        w->SetCursor(l, r, false);
    }
    // Clicks the label, types the text and presses Enter.
    void typeTime(forms::Label& label, forms::TextBox& box, const std::string& text) {
        ASSERT_TRUE(driver.click(label));
        ASSERT_TRUE(box.Visible());
        ASSERT_TRUE(driver.type(box, text));
        ASSERT_TRUE(driver.keyDown(*w, 13));
    }
    int32_t L() const { return GAcqParam.Cur_L_Point; }
    int32_t R() const { return GAcqParam.Cur_R_Point; }
};

TEST_F(CursorEdits, ClickingATimeOpensItsBoxWithTheTextSelected) {
    ASSERT_TRUE(driver.click(w->LBLCurTime_L));
    EXPECT_FALSE(w->LBLCurTime_L.Visible());
    EXPECT_TRUE(w->txtCurTime_L.Visible());
    EXPECT_TRUE(w->txtCurTime_L.hasFocus());
    EXPECT_EQ(w->txtCurTime_L.Text(), "0.05000");
    EXPECT_EQ(w->txtCurTime_L.SelStart(), 0);
    EXPECT_EQ(w->txtCurTime_L.SelLength(), 7);
    // Leaving the box applies it: the label is back.
    ASSERT_TRUE(driver.focus(w->CHKWaveNo(0)));
    EXPECT_FALSE(w->txtCurTime_L.Visible());
    EXPECT_TRUE(w->LBLCurTime_L.Visible());
    EXPECT_EQ(L(), 50);
    EXPECT_TRUE(w->Enabled());
}

TEST_F(CursorEdits, TypedTimesAreOrderedAndClampedToTheRecordingNotToTheWindow) {
    typeTime(w->LBLCurTime_L, w->txtCurTime_L, "0.1234");
    EXPECT_EQ(L(), 123);
    EXPECT_EQ(w->LBLCurTime_L.Caption(), "0.12300");
    EXPECT_FALSE(w->txtCurTime_L.Visible());
    EXPECT_EQ(GAcqParam.Cur_L_Offset, 123);
    typeTime(w->LBLCurTime_R, w->txtCurTime_R, "0.5");  // past the window: kept
    EXPECT_EQ(R(), 500);
    EXPECT_EQ(w->lblCurLevel_R(0).Caption(), "----");
    typeTime(w->LBLCurTime_L, w->txtCurTime_L, "0.6");  // past the right cursor: onto it
    EXPECT_EQ(L(), 500);
    EXPECT_EQ(R(), 500);
    typeTime(w->LBLCurTime_R, w->txtCurTime_R, "0.2");  // before the left one: it follows
    EXPECT_EQ(L(), 500);
    EXPECT_EQ(R(), 500);
    typeTime(w->LBLCurTime_R, w->txtCurTime_R, "1000");  // past the recording's end
    EXPECT_EQ(R(), GAcqParam.PTotal);
    typeTime(w->LBLCurTime_L, w->txtCurTime_L, "abc");  // no number: the recording's start
    EXPECT_EQ(L(), 0);
    // Reachable by name, as other windows call it.
    w->txtCurTime_R.setText("0.25");
    w->CallFunc("txtCurTime_R_LostFocus");
    EXPECT_EQ(R(), 250);
}

TEST_F(CursorEdits, TheWindowClampOfTheKeyboardsCall) {
    GAcqParam.lPosWAVE_Start = 100;
    GAcqParam.Cur_L_Point = 20;
    GAcqParam.Cur_R_Point = 400;
    w->FixCurPos(true, false, false, false, false);
    EXPECT_EQ(L(), 100);
    EXPECT_EQ(R(), 300);
    EXPECT_EQ(GAcqParam.Cur_L_Offset, 0);
    EXPECT_EQ(GAcqParam.Cur_R_Offset, 200);
    GAcqParam.Cur_L_Point = -5;
    GAcqParam.Cur_R_Point = -9;
    w->FixCurPos(false, false, false, false, true);
    EXPECT_EQ(L(), 0);
    EXPECT_EQ(R(), 0);
}

TEST_F(CursorEdits, NoEditWithoutARecordingOrInAcquisition) {
    GAcqParam.PTotal = 0;
    w->LBLCurTime_L_Click();
    EXPECT_TRUE(w->LBLCurTime_L.Visible());
    EXPECT_FALSE(w->txtCurTime_L.Visible());
    GAcqParam.PTotal = 100000;
    w->SetDispStatus("Acq", false);
    w->LBLCurTime_R_Click();
    EXPECT_FALSE(w->txtCurTime_R.Visible());
    w->SetDispStatus("End", false);
}

TEST_F(CursorEdits, TheResetBoxesActOnlyWithTheDataFile) {
    GAcqParam.lPosWAVE_Start = 1000;
    w->chkCurRst.setValue(1);  // no data file: only the box changes
    EXPECT_EQ(L(), 50);
    w->chkCurRst.setValue(0);
    prog.writeBytes("rec.Kdat", std::string(8, '\0'));
    GstrKdatFile = prog.win("rec.Kdat");
    w->chkCurRst.setValue(1);
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, 1000) << "the window start itself stays";
    EXPECT_EQ(L(), 1000);
    EXPECT_EQ(R(), 1200);
    w->chkCurRstCenter.setValue(1);
    EXPECT_EQ(L(), 1100);
    EXPECT_EQ(R(), 1100);
    // Unticking keeps the cursors.
    w->chkCurRstCenter.setValue(0);
    EXPECT_EQ(L(), 1100);
    // The level box shows or hides the markers through a new cursor set, which ends any
    // selection.
    w->lCurSel = 1;
    w->chkCurLvl.setValue(1);
    EXPECT_EQ(w->lCurSel, -1);
    EXPECT_EQ(L(), 1100);
    GstrKdatFile.clear();
}

TEST_F(CursorEdits, AnUnusableTriggerValueIsRefusedAndAUsableOneStored) {
    w->t1.setText("100");
    w->t2.setText("3000");
    w->t1EU.setBackColor(255);
    GAcqParam.TrgLevelD = 7;
    w->cmdSetTrgLvl_Click();
    EXPECT_EQ(GAcqParam.TrgLevelD, 7);
    frmMessage& m = frmMessage::instance();
    EXPECT_TRUE(m.Visible());
    EXPECT_EQ(m.LBL_Progress_Caption(0).Caption(), "Set Trg. できません。");
    EXPECT_EQ(m.LBL_Progress_Caption(1).Caption(), "設定可能な値を入力してください。");
    ShowMessage(false, "", "", false);

    w->t1EU.setBackColor(0xFFFFFF);
    w->cmdSetTrgLvl_Click();
    EXPECT_EQ(GAcqParam.TrgLevelD, basic::CLng(basic::Val(w->t1.Text())));
    EXPECT_EQ(GAcqParam.TrgLevelU, basic::CLng(basic::Val(w->t2.Text())));
    EXPECT_EQ(GAcqCondition.strANALOG_LEVEL_TRIGGER_D, std::to_string(GAcqParam.TrgLevelD));
    EXPECT_EQ(GAcqCondition.strANALOG_LEVEL_TRIGGER_U, std::to_string(GAcqParam.TrgLevelU));
    EXPECT_NE(GAcqParam.TrgLevelD, 7);

    // A count the conversion leaves beyond the Long range (a stored level) is refused alike.
    w->t1EU.setText("1E+400");
    w->t1.setText("1E+400");
    GAcqParam.TrgLevelD = 7;
    w->cmdSetTrgLvl_Click();
    EXPECT_EQ(GAcqParam.TrgLevelD, 7);
    EXPECT_TRUE(m.Visible());
}

TEST_F(CursorEdits, TheStepButtonsMoveBothTriggerValuesWithoutStoringThem) {
    w->t1EU.setText("1");
    w->t2EU.setText("-2");
    w->txtIncDecEU.setText("0.5");
    GAcqParam.TrgLevelD = 7;
    w->cmdInc10_Click();
    EXPECT_EQ(w->t1EU.Text(), "1.5");
    EXPECT_EQ(w->t2EU.Text(), "-1.5");
    w->cmdDec10_Click();
    w->cmdDec10_Click();
    EXPECT_EQ(w->t1EU.Text(), "0.5");
    EXPECT_EQ(w->t2EU.Text(), "-2.5");
    w->txtIncDecEU.setText("0.1");
    w->cmdInc10_Click();
    EXPECT_EQ(w->t1EU.Text(), "0.6");
    w->txtIncDecEU.setText("");
    w->cmdInc10_Click();
    EXPECT_EQ(w->t1EU.Text(), "0.6");
    EXPECT_EQ(GAcqParam.TrgLevelD, 7);
}

TEST_F(CursorEdits, RawLevelsOfTheFirstScan) {
    GAcqParam.Condition = GAcqCondition;
    RawSampleBuffer.assign(4, 0);
    RawSampleBuffer[0] = 1024;
    RawSampleBuffer[1] = -2;
    const CalRecordArray volts = GCalRecVolt;
    GCalRecVolt[0] = CalRecord{5.0f, -5.0f, 2048.0f, 0.0f};
    ConvWaveArray.Redim(2, 3);
    ConvWaveArray(0, 1) = 1.25f;
    GCCalSettingDisp.CHType(0, 0);
    GCCalSettingDisp.CHType(1, 1);
    w->DispRawLevels();
    EXPECT_EQ(w->lblCurLevel_L(0).Caption(), "0.0000");  // -5 + 1024 x 10 / 2048
    EXPECT_EQ(w->lblCurLevel_R(0).Caption(), "1024");
    EXPECT_EQ(w->lblCurLevel_L(1).Caption(), "0xFFFE");
    EXPECT_EQ(w->lblCurLevel_R(1).Caption(), "-2");
    EXPECT_EQ(w->lblCurLevel_LR(1).Caption(), "1.2500");
    GCCalSettingDisp.CHType(1, 0);
    GCalRecVolt = volts;
    ConvWaveArray.Erase();
}

}  // namespace
