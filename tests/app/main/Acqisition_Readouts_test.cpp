// The cursor read-outs: time and level formats, "----" outside the window and without data,
// sweep numbers in trigger mode, and the column captions.
#include <gtest/gtest.h>

#include "tests/app/main/Acqisition_Monitor_testsupport.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"

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

TEST_F(Readouts, ChannelsBeyondTheDisplayArrayAreLeftAlone) {
    GAcqCondition.lEndCH = 3;  // a third channel the array has no column for
    w->lblCurLevel_L(2).setCaption("x");
    place(10, 20);
    EXPECT_EQ(w->lblCurLevel_L(2).Caption(), "x");
    EXPECT_EQ(levels(1), "0.3750|0.3750|0.0000");
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

}  // namespace
