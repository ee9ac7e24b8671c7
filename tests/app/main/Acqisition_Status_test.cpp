// The main window's status word and the enabling of its controls, mode by mode.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"

using namespace qv;

namespace {

using Controls = std::initializer_list<forms::Control*>;

class AcqisitionStatusTest : public ::testing::Test {
protected:
    void SetUp() override {
        w = &Acqisition::instance();
        GAcqParam = AcqParam{};
        GAcqCondition = AcqCondition{};
        MarkArray.fill(0);
        w->Show();
    }
    void TearDown() override {
        GAcqParam = AcqParam{};
        GAcqCondition = AcqCondition{};
    }
    void modeSet(const std::string& mode, bool data, bool trig) {
        GAcqParam.PTotal = data ? 1000 : 0;
        GAcqCondition.strTRIGGER_SETTING = trig ? "1" : "0";
        w->SetDispStatus(mode, true);
    }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
};

TEST_F(AcqisitionStatusTest, StatusWordIsStoredShownAndColoured) {
    const struct {
        const char* mode;
        forms::Color color;
    } cases[] = {{"Acq", 0xFF}, {"Ready", 0xFFFF}, {"End", 0xE0E0E0}, {"acq", 0xE0E0E0}};
    modeSet("End", true, false);
    for (const auto& c : cases) {
        w->SetDispStatus(c.mode, false);
        EXPECT_EQ(GAcqParam.ModeString, c.mode);
        EXPECT_EQ(w->LBLStatus.Caption(), c.mode);
        EXPECT_EQ(w->LBLStatus.BackColor(), c.color) << c.mode;
        EXPECT_TRUE(w->cmdMoveNext.Enabled()) << "no refresh asked in " << c.mode;
    }
}

// Expected states: paging (and CSV), half-page paging, range boxes, preset boxes, channel boxes,
// time-scale list, cursor-reset boxes, End button and cursor-time boxes.
struct Row {
    const char* mode;
    bool data, trig, paging, half, range, preset, channels, timeFs, curRst, end, curTime;
};
const Row kTable[] = {
    // mode     data   trig   paging half   range  preset chans  timeFs curRst end    curTime
    {"End",    false, false, false, false, false, true,  true,  true,  true,  false, false},
    {"End",    true,  false, true,  true,  true,  true,  true,  true,  true,  false, false},
    {"End",    true,  true,  true,  false, true,  true,  true,  true,  true,  false, false},
    {"Play",   true,  false, false, false, false, false, true,  false, false, false, false},
    {"SETTRG", true,  false, false, false, true,  false, false, false, true,  false, false},
    {"L-L",    true,  false, false, false, true,  true,  false, false, true,  false, false},
    {"L-L/2",  true,  false, false, false, true,  true,  true,  false, true,  false, false},
    {"Acq",    true,  false, false, false, false, false, true,  false, true,  true,  true},
};

TEST_F(AcqisitionStatusTest, EnablingFollowsTheModeTable) {
    for (const Row& r : kTable) {
        modeSet(r.mode, r.data, r.trig);
        const std::string at =
            std::string(r.mode) + (r.data ? " data" : "") + (r.trig ? " trig" : "");
        const auto expect = [&](Controls cs, bool on) {
            for (forms::Control* c : cs)
                EXPECT_EQ(c->Enabled(), on) << c->fullName() << " in " << at;
        };
        expect({&w->cmdMoveNext, &w->cmdMovePrevFirst, &w->cmdMove, &w->cmdCSV, &w->cmdMakeCSVAuto},
               r.paging);
        expect({&w->cmdMoveNextH, &w->cmdMovePrev1Sec}, r.half);
        expect({&w->txtMoveTime, &w->txtStartTime, &w->txtEndTime}, r.range);
        expect({&w->TXTPreSetCounter, &w->txtSS, &w->cmdHardCopy}, r.preset);
        expect({&w->CHKWaveNo(0), &w->CHKWaveNo(31)}, r.channels);
        expect({&w->cmbTimeFS}, r.timeFs);
        expect({&w->chkCurRst, &w->chkCurRstCenter}, r.curRst);
        expect({&w->cmdEnd}, r.end);
        expect({&w->txtCurTime_L, &w->txtCurTime_R}, r.curTime);
        // A viewer: acquisition, settings and calibration commands stay locked in every mode.
        expect({&w->cmdCONDITION, &w->cmdStart, &w->cmdSaveSetting, &w->cmdSAVECAL, &w->cmdQUIT,
                &w->cmbSampleFreq, &w->cmdSelectAmp, &w->optCalAcq, &w->optStorage, &w->chkL2L,
                &w->cmdP2P, &w->cmdCancelMark},
               false);
        expect({&w->cmdLoad}, true);
        const bool acq = std::string(r.mode) == "Acq";
        EXPECT_EQ(w->cmbTimeFS.Visible(), !acq) << at;
        EXPECT_EQ(w->txtFSTime.Visible(), acq) << at;
        EXPECT_EQ(w->lblPresetUnit.Caption(), r.trig ? "(N)" : "(S)") << at;
        EXPECT_EQ(w->txtDD.Visible(), !r.trig) << at;
        EXPECT_EQ(w->lblTimeCap(2).Visible(), !r.trig) << at;
        EXPECT_TRUE(w->Enabled()) << at;
    }
}

TEST_F(AcqisitionStatusTest, CalibrationRowsOfTheAcquiredChannelsFollowTheAcquisitionSet) {
    // Each option refreshes the control states itself, with the range in force at its click.
    GAcqCondition.lStartCH = 1;
    GAcqCondition.lEndCH = 32;
    w->optCalAcq.setValue(true);
    w->ALL_BTN_ModeSet();
    GAcqCondition.lStartCH = 3;
    GAcqCondition.lEndCH = 5;
    w->optCalDisp.setValue(true);
    w->ALL_BTN_ModeSet();
    EXPECT_TRUE(w->txtEUHI(1).Enabled());
    EXPECT_FALSE(w->txtEUHI(2).Enabled());
    EXPECT_FALSE(w->txtBASEAD(4).Enabled());
    EXPECT_TRUE(w->txtName(5).Enabled());
    GAcqCondition.lStartCH = 0;  // no range: the rows are left as they are
    GAcqCondition.lEndCH = 0;
    w->ALL_BTN_ModeSet();
    EXPECT_TRUE(w->txtEUHI(1).Enabled());
    // A range beyond the table touches the rows it has and fails on none.
    GAcqCondition.lStartCH = 0;
    GAcqCondition.lEndCH = 40;
    EXPECT_NO_THROW(w->ALL_BTN_ModeSet());
    EXPECT_FALSE(w->txtName(0).Enabled());
    EXPECT_FALSE(w->txtUnit(31).Enabled());
    // A range of billions from a damaged settings file visits the table's rows, and only them.
    GAcqCondition.lStartCH = 30;
    GAcqCondition.lEndCH = 2147483647;
    w->optCalAcq.setValue(true);
    EXPECT_TRUE(w->txtName(29).Enabled());
    EXPECT_TRUE(w->txtCALAD(31).Enabled());
    EXPECT_FALSE(w->txtName(28).Enabled());
}

TEST_F(AcqisitionStatusTest, RawDisplayBoxCallsBackAndStillEnds) {
    int clicks = 0;
    forms::ScopedConnection watch = w->chkDispRaw.Click.connect([&] { ++clicks; });
    DispWaveArray.Redim(32, 10);
    // Unticking runs its Click, whose recomputation ticks it again: one nested Click, no more.
    ASSERT_TRUE(driver.click(w->chkDispRaw));
    EXPECT_EQ(w->chkDispRaw.Value(), 1);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(DispWaveArray.Empty());
    EXPECT_TRUE(w->Enabled());
}

TEST_F(AcqisitionStatusTest, AFailedRecomputationLeavesTheWindowUsableUnlikeTheEndCommand) {
    w->CHKWaveNo.Unload(31);
    EXPECT_NE(apptest::errorNumber([this] { w->ALL_BTN_ModeSet(); }), 0);
    EXPECT_TRUE(w->Enabled());
    w->CHKWaveNo.Load(31);
    // The End command disables the window without a recomputation, until the next one.
    modeSet("Play", true, false);
    w->cmdEnd_Click();
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_FALSE(w->Enabled());
    EXPECT_FALSE(w->cmdMoveNext.Enabled());
    w->ALL_BTN_ModeSet();
    EXPECT_TRUE(w->Enabled());
    EXPECT_TRUE(w->cmdMoveNext.Enabled());
}

}  // namespace
