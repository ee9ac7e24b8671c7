// Editing the calibration table, headless: keyboard moves and their edges, what an edit marks
// and stores with each option, the focused row, and the "USE CAL" switch of the whole display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/main/Acqisition_Calibration_testsupport.h"
#include "app/channel/AmpCalTable.h"
#include "app/channel/CCalSetting.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/main/Acqisition.h"

using namespace qv;

namespace {

class CalTableTest : public apptest::CalibrationWindowTest {
protected:
    void SetUp() override {
        CalibrationWindowTest::SetUp();
        w->chkDispTable.setValue(1);
        showRows(1, 32);
    }
    // The table refilled with "CAL for Acq." for channels first..last, rows editable.
    void showRows(int first, int last) {
        GAcqCondition.lStartCH = first;
        GAcqCondition.lEndCH = last;
        w->optCalDisp.setValue(true);
        w->optCalAcq.setValue(true);
    }
    forms::ControlArray<forms::TextBox>& column(int c) {
        forms::ControlArray<forms::TextBox>* columns[] = {&w->txtName, &w->txtUnit, &w->txtEUHI,
                                                          &w->txtEULO, &w->txtCALAD, &w->txtBASEAD};
        return *columns[c];
    }
    static std::vector<std::string> row(const CCalSetting& s, int r) {
        return {s.CHName(r), s.Unit(r), s.EU_HI(r), s.EU_LO(r), s.Cal_AD(r), s.Base_AD(r)};
    }
    // The box that has the focus has its whole text selected.
    void expectFocusedAndSelected(forms::TextBox& box) {
        EXPECT_TRUE(box.hasFocus()) << box.fullName();
        EXPECT_EQ(box.SelStart(), 0) << box.fullName();
        EXPECT_EQ(box.SelLength(), static_cast<int>(box.Text().size())) << box.fullName();
    }
};

// ---- Keyboard ----

TEST_F(CalTableTest, ArrowsMoveInTheColumnAndEnterAlongTheRow) {
    w->txtEUHI(4).setText("12.5");
    ASSERT_TRUE(driver.focus(w->txtEUHI(3)));
    ASSERT_TRUE(driver.keyDown(*w, 40));
    expectFocusedAndSelected(w->txtEUHI(4));
    EXPECT_EQ(w->txtEUHI(4).Text(), "12.5");
    ASSERT_TRUE(driver.keyDown(*w, 38));
    expectFocusedAndSelected(w->txtEUHI(3));

    ASSERT_TRUE(driver.focus(w->txtName(2)));
    for (int c = 1; c < 6; ++c) {
        ASSERT_TRUE(driver.keyDown(*w, 13));
        expectFocusedAndSelected(column(c)(2));
    }
    ASSERT_TRUE(driver.focus(w->txtBASEAD(5)));
    ASSERT_TRUE(driver.keyDown(*w, 13));
    expectFocusedAndSelected(w->txtName(6));
    ASSERT_TRUE(driver.keyDown(*w, 65));  // any other key
    EXPECT_TRUE(w->txtName(6).hasFocus());
}

TEST_F(CalTableTest, AtTheTableEdgesTheFocusStays) {
    w->txtName(0).setText("first");
    ASSERT_TRUE(driver.focus(w->txtName(0)));
    w->txtName(0).setSelStart(2);
    w->txtName(0).setSelLength(1);
    ASSERT_TRUE(driver.keyDown(*w, 38));
    EXPECT_TRUE(w->txtName(0).hasFocus());
    EXPECT_EQ(w->txtName(0).SelStart(), 2);
    EXPECT_EQ(w->txtName(0).Text(), "first");
    for (int c : {0, 3, 5}) {
        ASSERT_TRUE(driver.focus(column(c)(31)));
        ASSERT_TRUE(driver.keyDown(*w, 40));
        EXPECT_TRUE(column(c)(31).hasFocus()) << c;
    }
    ASSERT_TRUE(driver.keyDown(*w, 13));  // Enter in BASE AD of the last row
    EXPECT_TRUE(w->txtBASEAD(31).hasFocus());

    // Rows past the recorded channels are hidden: the last shown row is an edge too.
    showRows(1, 4);
    ASSERT_TRUE(driver.focus(w->txtCALAD(3)));
    ASSERT_TRUE(driver.keyDown(*w, 40));
    EXPECT_TRUE(w->txtCALAD(3).hasFocus());
    ASSERT_TRUE(driver.focus(w->txtBASEAD(3)));
    ASSERT_TRUE(driver.keyDown(*w, 13));
    EXPECT_TRUE(w->txtBASEAD(3).hasFocus());
    EXPECT_TRUE(driver.errors().empty());
    EXPECT_TRUE(driver.msgBoxes().empty());
}

TEST_F(CalTableTest, EveryColumnMakesItsRowTheFocusedOne) {
    for (int c = 0; c < 6; ++c) {
        const int r = 3 + 5 * c;
        ASSERT_TRUE(driver.focus(column(c)(r)));
        EXPECT_EQ(w->lCalTableFocusRow, r) << c;
    }
    // The column headers fill down from it.
    w->txtUnit(28).setText("kPa");
    ASSERT_TRUE(driver.focus(w->txtUnit(28)));
    w->lblItemName_Click(1);
    EXPECT_EQ(w->txtUnit(31).Text(), "kPa");
    EXPECT_NE(w->txtUnit(27).Text(), "kPa");
}

// ---- Edits ----

TEST_F(CalTableTest, WithCalForAcqAnEditGoesIntoTheAcquisitionSet) {
    w->LBL_CALFName.setCaption("C:\\CAL\\site");
    w->LBL_CALFName.setToolTipText("C:\\CAL\\site");
    w->lblCALStatus.setVisible(false);
    ASSERT_TRUE(driver.type(w->txtEUHI(2), "7.5 V"));
    EXPECT_EQ(GCCalSettingAcq.EU_HI(2), "7.5 V");  // as typed
    EXPECT_EQ(w->LBL_CALFName.Caption(), "");
    EXPECT_EQ(w->LBL_CALFName.ToolTipText(), "");
    EXPECT_TRUE(w->lblCALStatus.Visible());
    ASSERT_TRUE(driver.type(w->txtName(2), "Press"));
    ASSERT_TRUE(driver.type(w->txtUnit(2), "MPa"));
    ASSERT_TRUE(driver.type(w->txtEULO(2), "-1"));
    ASSERT_TRUE(driver.type(w->txtCALAD(2), "4000"));
    ASSERT_TRUE(driver.type(w->txtBASEAD(2), "12"));
    EXPECT_EQ(row(GCCalSettingAcq, 2), (std::vector<std::string>{"Press", "MPa", "7.5 V", "-1", "4000", "12"}));

    // An emptied count cell becomes "0" (its handler runs again for it); other cells stay empty.
    for (forms::TextBox* cell : {&w->txtCALAD(2), &w->txtBASEAD(2)}) {
        int changes = 0;
        auto counter = cell->Change.connect([&] { ++changes; });
        ASSERT_TRUE(driver.type(*cell, ""));
        EXPECT_EQ(cell->Text(), "0");
        EXPECT_EQ(changes, 2);
    }
    EXPECT_EQ(GCCalSettingAcq.Cal_AD(2), "0");
    EXPECT_EQ(GCCalSettingAcq.Base_AD(2), "0");
    ASSERT_TRUE(driver.type(w->txtEUHI(2), ""));
    EXPECT_EQ(w->txtEUHI(2).Text(), "");
    EXPECT_EQ(GCCalSettingAcq.EU_HI(2), "");
}

TEST_F(CalTableTest, WithCalForDispAnEditStaysInTheBox) {
    w->optCalDisp.setValue(true);
    const auto acq = row(GCCalSettingAcq, 4), disp = row(GCCalSettingDisp, 4), copy = row(GCCalSettingCopy, 4);
    w->LBL_CALFName.setCaption("file");
    w->lblCALStatus.setVisible(false);
    for (int c = 0; c < 6; ++c) column(c)(4).setText(c >= 4 ? "" : "edit");
    EXPECT_EQ(w->txtCALAD(4).Text(), "");  // no "0" here
    EXPECT_EQ(row(GCCalSettingAcq, 4), acq);
    EXPECT_EQ(row(GCCalSettingDisp, 4), disp);
    EXPECT_EQ(row(GCCalSettingCopy, 4), copy);
    EXPECT_EQ(w->LBL_CALFName.Caption(), "");
    EXPECT_TRUE(w->lblCALStatus.Visible());
}

TEST_F(CalTableTest, FillingTheTableWhileTheWindowIsHiddenDoesNotMarkIt) {
    driver.run([&] { w->Hide(); });
    w->lblCALStatus.setVisible(false);
    GCCalSettingAcq.Unit(0, "hidden");
    driver.run([&] { w->cmdDISPREGISTEDCAL_Click(); });
    w->txtUnit(0).setText("typed");
    EXPECT_FALSE(w->lblCALStatus.Visible());
    EXPECT_EQ(GCCalSettingAcq.Unit(0), "typed");  // the set still follows
}

// ---- "USE CAL" ----

class UseCalTest : public CalTableTest {
protected:
    void SetUp() override {
        CalTableTest::SetUp();
        GAcqCondition.lStartCH = 2;
        GAcqCondition.lEndCH = 4;
        GAcqCondition.strADBOARD = "VylK10[±5]";
        GAcqParam.wCh = 3;
        w->chkUseCAL.setValue(0);
        for (int i = 0; i < 32; ++i) w->CHKWaveNo(i).setValue(i == 1 || i == 3 ? 1 : 0);
        for (int i = 1; i <= 3; ++i) {
            w->chkCopy(i).setValue(0);
            w->chkCopy_V(i).setValue(0);
            w->txtDR_WaveHi(i).setText(std::to_string(10 * i));
            w->txtDR_WaveLo(i).setText(std::to_string(-10 * i));
            w->txtDR_WaveHi_V(i).setText(std::to_string(1000 * i));
            w->txtDR_WaveLo_V(i).setText(std::to_string(-1000 * i));
            GCCalSettingCopy.CHName(i, "rec" + std::to_string(i));
            GCCalSettingCopy.EU_HI(i, std::to_string(50 * i));
            GCCalSettingCopy.Cal_AD(i, "1000");
        }
        GCCalSettingCopy.Unit(0, "mV");
        GCCalSettingCopy.Unit(1, "");
        GCCalSettingCopy.Unit(2, "N");
        w->chkUseCAL_Click();
    }
    void expectPair(int i, bool units, bool shown) {
        EXPECT_EQ(w->txtDR_WaveHi(i).Visible(), units && shown) << i;
        EXPECT_EQ(w->txtDR_WaveLo(i).Visible(), units && shown) << i;
        EXPECT_EQ(w->txtDR_WaveHi_V(i).Visible(), !units && shown) << i;
        EXPECT_EQ(w->txtDR_WaveLo_V(i).Visible(), !units && shown) << i;
        EXPECT_EQ(w->chkCopy(i).Visible(), units && shown) << i;
        EXPECT_EQ(w->chkCopy_V(i).Visible(), !units && shown) << i;
    }
};

TEST_F(UseCalTest, TickedTheUnitPairAndTheRecordingsCalibrationRuleTheDisplay) {
    GAcqParam.DR_WaveHi[2] = 999;
    w->chkUseCAL.setValue(1);
    expectPair(1, true, true);
    expectPair(2, true, false);
    expectPair(3, true, true);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(GAcqParam.DR_WaveHi[static_cast<size_t>(i)], 10.0f * i) << i;  // shown or not
        EXPECT_EQ(GAcqParam.DR_WaveLo[static_cast<size_t>(i)], -10.0f * i) << i;
        EXPECT_EQ(w->lblNoName_3(i).Caption(), "rec" + std::to_string(i));
        EXPECT_EQ(w->lblNoName_3R(i).Caption(), "rec" + std::to_string(i));
        EXPECT_EQ(w->txtNoName_3(i).Text(), "rec" + std::to_string(i));
        EXPECT_EQ(w->txtNoName_3R(i).Width(), w->lblNoName_3(i).Width());
        EXPECT_EQ(GCalRecEU[static_cast<size_t>(i)].EU_HI, 50.0f * i);
        EXPECT_EQ(GCalRecEU[static_cast<size_t>(i)].Cal_AD, 1000.0f);
    }
    EXPECT_EQ(w->lblUnit(0).Caption(), "");  // by absolute channel: 1 is not recorded
    EXPECT_EQ(w->lblUnit(1).Caption(), "()");
    EXPECT_EQ(w->lblUnit(2).Caption(), "(N)");
    EXPECT_EQ(GCCalSettingDisp.CHName(2), "rec2");
    // The amplifier's conversion to volts beside it.
    EXPECT_EQ(GCalRecVolt[7].Cal_AD, 2048.0f);
    EXPECT_EQ(GCalRecVolt[7].EU_HI, 5.0f);
}

TEST_F(UseCalTest, UntickedTheCountPairAndTheAmplifiersOwnCalibrationRuleTheDisplay) {
    w->chkUseCAL.setValue(1);
    w->chkUseCAL.setValue(0);
    expectPair(1, false, true);
    expectPair(2, false, false);
    expectPair(3, false, true);
    EXPECT_EQ(GAcqParam.DR_WaveHi[3], 3000.0f);
    EXPECT_EQ(GAcqParam.DR_WaveLo[2], -2000.0f);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(w->lblUnit(i).Caption(), "(V)") << i;
    EXPECT_EQ(w->lblNoName_3(2).Caption(), "CH3");  // the amplifier preset's names
    EXPECT_EQ(row(GCCalSettingDisp, 9), row(GCCalSetting("GCCalSetting_K10_5V"), 9));
    EXPECT_EQ(GCalRecEU[1].EU_HI, 50.0f);  // still the recording's

    // An amplifier no preset knows: a default set stands in.
    GAcqCondition.strADBOARD = "unknown";
    w->chkUseCAL_Click();
    EXPECT_EQ(GCalRecVolt[0].EU_HI, 100.0f);
    EXPECT_EQ(GCalRecVolt[0].Cal_AD, 2048.0f);
    EXPECT_EQ(GCCalSettingDisp.EU_HI(5), "100");
    EXPECT_EQ(w->lblNoName_3(1).Caption(), "CH2");
}

TEST_F(UseCalTest, TheRawCountBoardShowsCountsAsItsUnit) {
    frmCondition& conditions = frmCondition::instance();
    conditions.optGetADBoard.setValue(true);
    int s80 = -1;
    for (int k = 0; k < conditions.cmbADBoard.ListCount(); ++k)
        if (conditions.cmbADBoard.ItemData(k) == 31) s80 = k;
    ASSERT_GE(s80, 0);
    driver.run([&] { conditions.cmbADBoard.setListIndex(s80); });
    ASSERT_TRUE(IsVylS80Board());
    GAcqParam.wCh = 3;
    GAcqCondition.lStartCH = 2;
    GAcqCondition.lEndCH = 4;
    w->chkUseCAL_Click();
    EXPECT_EQ(w->lblUnit(2).Caption(), "(AD)");
}

TEST_F(UseCalTest, ARangeTextThatIsNoNumberKeepsItsRangeAndTheSwitchGoesOn) {
    w->txtDR_WaveHi_V(1).setText("");
    w->txtDR_WaveLo_V(3).setText("-1e3x");
    w->chkUseCAL.setValue(1);
    GAcqParam.DR_WaveHi[1] = 7;
    GAcqParam.DR_WaveLo[3] = -7;
    w->chkUseCAL.setValue(0);
    EXPECT_EQ(GAcqParam.DR_WaveHi[1], 7.0f);
    EXPECT_EQ(GAcqParam.DR_WaveLo[3], -7.0f);
    EXPECT_EQ(GAcqParam.DR_WaveLo[1], -1000.0f);
    EXPECT_EQ(w->lblUnit(2).Caption(), "(V)");
    EXPECT_TRUE(driver.msgBoxes().empty());
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "USE CAL: "), 1u);
}

TEST_F(UseCalTest, MarksLoseTheirPlacesAndWithoutAChannelRangeNothingElseChanges) {
    GsngCalMark1[1][0] = 150;
    GsngCalMark2[3][999] = 160;
    GsngCalMarkCnt1[1] = 2;
    GsngCalMarkCnt2[3] = 1000;
    GAcqCondition.lStartCH = 0;
    w->lblUnit(0).setCaption("kept");
    ASSERT_TRUE(w->txtDR_WaveHi_V(1).Visible());
    GAcqParam.DR_WaveHi[1] = 5;
    w->chkUseCAL.setValue(1);
    EXPECT_EQ(GsngCalMark1[1][0], 0);
    EXPECT_EQ(GsngCalMark2[3][999], 0);
    EXPECT_EQ(GsngCalMarkCnt1[1], 2);
    EXPECT_EQ(GsngCalMarkCnt2[3], 1000);
    EXPECT_EQ(w->lblUnit(0).Caption(), "kept");
    EXPECT_EQ(GAcqParam.DR_WaveHi[1], 5.0f);
    EXPECT_TRUE(w->txtDR_WaveHi_V(1).Visible());  // the pairs were not switched either
    EXPECT_FALSE(w->txtDR_WaveHi(1).Visible());
    GsngCalMarkCnt1.fill(0);
    GsngCalMarkCnt2.fill(0);
}

// ---- Reloading the page ----

class UseCalReloadTest : public apptest::CalibrationWindowTest {};

TEST_F(UseCalReloadTest, ThePageIsReadAgainOnlyWithDataAndOutsideAcquisition) {
    load(stepRecording(1000, 3048));
    int paints = 0;
    auto counter = w->PBXMoniDisp.Paint.connect([&] { ++paints; });
    w->chkUseCAL.setValue(0);
    EXPECT_FLOAT_EQ(DispWaveArray(60, 1), 3048.0f * 5.0f / 2048.0f);  // input volts
    EXPECT_GT(paints, 0);
    EXPECT_EQ(w->lblUnit(1).Caption(), "(V)");

    paints = 0;
    w->SetDispStatus("Acq", false);
    w->chkUseCAL.setValue(1);
    EXPECT_FLOAT_EQ(DispWaveArray(60, 1), 3048.0f * 5.0f / 2048.0f);
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(w->lblUnit(1).Caption(), "(" + GCCalSettingCopy.Unit(1) + ")");

    w->SetDispStatus("End", false);
    w->chkUseCAL.setValue(0);
    paints = 0;
    GAcqParam.PTotal = 0;
    w->chkUseCAL.setValue(1);
    EXPECT_FLOAT_EQ(DispWaveArray(60, 1), 3048.0f * 5.0f / 2048.0f);
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(w->lblUnit(1).Caption(), "(" + GCCalSettingCopy.Unit(1) + ")");
}

}  // namespace
