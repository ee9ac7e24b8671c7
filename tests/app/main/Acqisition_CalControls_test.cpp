// The controls around the calibration table, headless: the exchange with the library's store,
// the stored set, the option pair and "No Store", the file buttons, the calibration boxes and
// the three converters from engineering units to A/D counts with their colours.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "tests/app/main/Acqisition_Calibration_testsupport.h"
#include "app/channel/AmpCalTable.h"
#include "app/channel/CCalSetting.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"

using namespace qv;

namespace {

constexpr forms::Color kBlack = 0, kRed = 255;

class CalControlsTest : public apptest::CalibrationWindowTest {
protected:
    void SetUp() override {
        CalibrationWindowTest::SetUp();
        GAcqCondition.lStartCH = 1;
        GAcqCondition.lEndCH = 4;
        w->chkDispTable.setValue(1);
    }
    // Row r of the table as six texts.
    std::vector<std::string> row(int r) const {
        return {w->txtName(r).Text(),  w->txtUnit(r).Text(),  w->txtEUHI(r).Text(),
                w->txtEULO(r).Text(),  w->txtCALAD(r).Text(), w->txtBASEAD(r).Text()};
    }
    static std::vector<std::string> row(const CCalSetting& s, int r) {
        return {s.CHName(r), s.Unit(r), s.EU_HI(r), s.EU_LO(r), s.Cal_AD(r), s.Base_AD(r)};
    }
    void typeRow(int r, const std::vector<std::string>& cells) {
        w->txtName(r).setText(cells[0]);
        w->txtUnit(r).setText(cells[1]);
        w->txtEUHI(r).setText(cells[2]);
        w->txtEULO(r).setText(cells[3]);
        w->txtCALAD(r).setText(cells[4]);
        w->txtBASEAD(r).setText(cells[5]);
    }
    // The comparison channel's row (channel 3) for the converters.
    void comparisonRow(const std::string& cal, const std::string& base, const std::string& hi,
                       const std::string& lo) {
        GAcqCondition.strCOMP_CH = "3";
        typeRow(2, {"CH3", "V", hi, lo, cal, base});
    }
};

using Row = std::vector<std::string>;

// ---- The library's store ----

TEST_F(CalControlsTest, PutCalStoresTheRecordedRowsIntoTheAcquisitionSetWhicheverSetIsShown) {
    w->optCalDisp.setValue(true);
    GCCalSettingAcq.CHName(4, "kept");
    const std::string before = GCCalSettingAcq.CHName(0);
    for (int r = 0; r < 4; ++r)
        typeRow(r, {"P" + std::to_string(r), "mV", "10", "-10", std::to_string(1000 + r), "-3"});
    w->txtCALAD(1).setText("1234.5x");  // stored as typed
    w->lblCALStatus.setVisible(true);
    ASSERT_EQ(GCCalSettingAcq.CHName(0), before);  // the edits did not reach the set yet

    driver.run([&] { w->cmdPUTCAL_Click(); });
    EXPECT_EQ(row(GCCalSettingAcq, 0), (Row{"P0", "mV", "10", "-10", "1000", "-3"}));
    EXPECT_EQ(GCCalSettingAcq.Cal_AD(1), "1234.5x");
    EXPECT_EQ(GCCalSettingAcq.CHName(4), "kept");  // outside the channel range
    EXPECT_TRUE(w->lblCALStatus.Visible());
    // What the library keeps, read back into a fresh set.
    CCalSetting stored;
    stored.GETCAL();
    EXPECT_EQ(row(stored, 3), (Row{"P3", "mV", "10", "-10", "1003", "-3"}));
    EXPECT_EQ(stored.Cal_AD(1), "1234.5");
    EXPECT_EQ(stored.CHName(4), "kept");
}

TEST_F(CalControlsTest, GetCalFillsTheTableFromTheStoreAndMarksItNotStored) {
    for (int r = 0; r < 4; ++r) typeRow(r, {"S" + std::to_string(r), "g", "2", "0", "512", "8"});
    driver.run([&] { w->cmdPUTCAL_Click(); });
    w->optCalAcq.setValue(true);
    for (int r = 0; r < 4; ++r) typeRow(r, {"x", "x", "1", "1", "1", "1"});
    ASSERT_EQ(GCCalSettingAcq.Cal_AD(1), "1");
    w->lblCALStatus.setVisible(false);

    driver.run([&] { w->cmdGETCAL_Click(); });
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(row(r), (Row{"S" + std::to_string(r), "g", "2", "0", "512", "8"})) << r;
        EXPECT_TRUE(w->txtName(r).Visible()) << r;
    }
    EXPECT_FALSE(w->txtName(4).Visible());
    EXPECT_EQ(row(GCCalSettingDisp, 2), (Row{"S2", "g", "2", "0", "512", "8"}));
    EXPECT_TRUE(w->lblCALStatus.Visible());
    // With "CAL for Acq." the filled rows reach the acquisition set through their edits.
    EXPECT_EQ(GCCalSettingAcq.Cal_AD(1), "512");
}

TEST_F(CalControlsTest, StoredCalShowsTheStoredAcquisitionSetAndClearsNoStore) {
    for (int r = 0; r < 4; ++r) typeRow(r, {"T" + std::to_string(r), "N", "50", "-50", "4096", "0"});
    driver.run([&] { w->cmdPUTCAL_Click(); });
    GCCalSettingAcq.CHName(2, "edited");
    w->optCalDisp.setValue(true);
    for (int r = 0; r < 4; ++r) typeRow(r, {"y", "y", "3", "3", "3", "3"});
    ASSERT_TRUE(w->lblCALStatus.Visible());

    driver.run([&] { w->cmdDISPREGISTEDCAL_Click(); });
    EXPECT_EQ(GCCalSettingAcq.CHName(2), "T2");
    EXPECT_EQ(row(2), (Row{"T2", "N", "50", "-50", "4096", "0"}));
    EXPECT_FALSE(w->lblCALStatus.Visible());
}

TEST_F(CalControlsTest, TheOptionPairShowsItsSetAndKeepsNoStoreAsItWas) {
    for (int r = 0; r < 32; ++r) {
        GCCalSettingAcq.CHName(r, "acq" + std::to_string(r));
        GCCalSettingCopy.CHName(r, "rec" + std::to_string(r));
        GCCalSettingCopy.Cal_AD(r, "300");
    }
    w->optCalAcq.setValue(true);
    for (bool notStored : {false, true}) {
        w->lblCALStatus.setVisible(notStored);
        w->optCalDisp.setValue(true);
        EXPECT_EQ(w->txtName(3).Text(), "rec3");
        EXPECT_EQ(w->txtCALAD(0).Text(), "300");
        EXPECT_EQ(GCCalSettingDisp.CHName(20), "rec20");  // the whole set, not only the rows
        EXPECT_EQ(w->lblCALStatus.Visible(), notStored);
        w->optCalAcq.setValue(true);
        EXPECT_EQ(w->txtName(3).Text(), "acq3");
        EXPECT_EQ(GCCalSettingDisp.CHName(20), "acq20");
        EXPECT_EQ(w->lblCALStatus.Visible(), notStored);
    }
    // No channel range yet: the table shows no row and nothing fails.
    GAcqCondition.lStartCH = GAcqCondition.lEndCH = 0;
    driver.run([&] { w->optCalDisp.setValue(true); });
    EXPECT_FALSE(w->txtName(0).Visible());
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(CalControlsTest, SaveAndLoadCalOnlyEndTheMode) {
    const auto calFile = prog.dir() / "DEFAULT.CAL";
    const bool existed = std::filesystem::exists(calFile);
    const std::array<std::function<void()>, 2> buttons{[this] { w->cmdSAVECAL_Click(); },
                                                       [this] { w->cmdLOADCAL_Click(); }};
    for (const auto& button : buttons) {
        w->SetDispStatus("SETTRG", false);
        w->txtName(0).setText("unsaved");
        driver.run(button);
        EXPECT_EQ(GAcqParam.ModeString, "End");
        EXPECT_EQ(w->LBLStatus.Caption(), "End");
        EXPECT_EQ(w->txtName(0).Text(), "unsaved");
        EXPECT_EQ(std::filesystem::exists(calFile), existed);
    }
}

TEST_F(CalControlsTest, CalibrationBoxesSetTheirChannelsFlag) {
    w->chkCal(5).setValue(1);
    EXPECT_EQ(GAcqParam.lchkCal_Value[5], 1);
    EXPECT_EQ(GAcqParam.lchkCal_Value[4], 0);
    w->chkCal(5).setValue(0);
    EXPECT_EQ(GAcqParam.lchkCal_Value[5], 0);
    w->chkCal(31).setValue(1);
    EXPECT_EQ(GAcqParam.lchkCal_Value[31], 1);
}

// ---- Converters ----

TEST_F(CalControlsTest, ConvertersUseTheComparisonChannelsRowAsItStands) {
    comparisonRow("2048", "0", "100", "0");
    w->t1EU.setText("50");
    w->t1EU_LostFocus();
    EXPECT_EQ(w->t1.Text(), "1024");
    EXPECT_EQ(w->t1EU.ForeColor(), kBlack);
    w->txtIncDecEU.setText("50");
    w->txtIncDecEU_LostFocus();
    EXPECT_EQ(w->txtIncDec.Text(), "1024");

    // The step subtracts EU LO too, but never adds the base.
    comparisonRow("2048", "100", "100", "-100");
    w->txtIncDecEU_LostFocus();
    EXPECT_EQ(w->txtIncDec.Text(), "1536");
    w->t2EU.setText("50");
    w->t2EU_LostFocus();
    EXPECT_EQ(w->t2.Text(), "1636");
    // Leading numbers only; text without one counts as 0.
    w->t2EU.setText("-100 V");
    w->t2EU_LostFocus();
    EXPECT_EQ(w->t2.Text(), "100");
    w->t2EU.setText("abc");
    w->t2EU_LostFocus();
    EXPECT_EQ(w->t2.Text(), "1124");
}

TEST_F(CalControlsTest, LevelsOutsideTheCountRangeAreRedAndStillWritten) {
    struct Case {
        const char* base;
        const char* eu;
        const char* counts;
        forms::Color colour;
    };
    for (const Case& c : {Case{"0", "1", "32768", kBlack}, Case{"1", "1", "32769", kRed},
                          Case{"0", "-1", "-32768", kBlack}, Case{"-1", "-1", "-32769", kRed}}) {
        comparisonRow("32768", c.base, "1", "0");
        w->t1EU.setText(c.eu);
        w->t1EU_LostFocus();
        EXPECT_EQ(w->t1.Text(), c.counts) << c.base << " " << c.eu;
        EXPECT_EQ(w->t1EU.ForeColor(), c.colour) << c.base << " " << c.eu;
        w->t2EU.setText(c.eu);
        w->t2EU_LostFocus();
        EXPECT_EQ(w->t2.Text(), c.counts) << c.base << " " << c.eu;
        EXPECT_EQ(w->t2EU.ForeColor(), c.colour) << c.base << " " << c.eu;
    }
}

TEST_F(CalControlsTest, WithoutASpanOrARowTheConvertersLeaveTheCountsAndMarkTheValueRed) {
    w->t1.setText("123");
    w->txtIncDec.setText("45");
    w->t1EU.setText("2");
    w->txtIncDecEU.setText("2");
    comparisonRow("2048", "0", "5", "5");
    w->t1EU_LostFocus();
    w->txtIncDecEU_LostFocus();
    EXPECT_EQ(w->t1.Text(), "123");
    EXPECT_EQ(w->txtIncDec.Text(), "45");
    EXPECT_EQ(w->t1EU.ForeColor(), kRed);
    EXPECT_EQ(w->txtIncDecEU.ForeColor(), kRed);

    w->txtEUHI(2).setText("10");
    for (const char* channel : {"0", "33", "", "abc", "1e999", "-2"}) {
        GAcqCondition.strCOMP_CH = channel;
        w->t1EU.setForeColor(kBlack);
        EXPECT_NO_THROW(w->t1EU_LostFocus()) << channel;
        EXPECT_EQ(w->t1.Text(), "123") << channel;
        EXPECT_EQ(w->t1EU.ForeColor(), kRed) << channel;
    }
    // A count beyond 32 bits is no count either.
    GAcqCondition.strCOMP_CH = "3";
    w->t1EU.setText("1e30");
    w->t1EU_LostFocus();
    EXPECT_EQ(w->t1.Text(), "123");
    EXPECT_EQ(w->t1EU.ForeColor(), kRed);
    // A good row again: converted, and the step's value black once more.
    w->txtIncDecEU.setText("7");
    w->txtIncDecEU_LostFocus();
    EXPECT_EQ(w->txtIncDec.Text(), "819");
    EXPECT_EQ(w->txtIncDecEU.ForeColor(), kBlack);
}

TEST_F(CalControlsTest, EnterAndLeavingTheBoxBothConvert) {
    comparisonRow("2048", "0", "100", "0");
    w->t1.setText("");
    ASSERT_TRUE(driver.focus(w->t1EU));
    ASSERT_TRUE(driver.type(w->t1EU, "25"));
    ASSERT_TRUE(driver.keyDown(*w, 65));  // any other key: nothing yet
    EXPECT_EQ(w->t1.Text(), "");
    ASSERT_TRUE(driver.keyDown(*w, 13));
    EXPECT_EQ(w->t1.Text(), "512");

    ASSERT_TRUE(driver.type(w->t2EU, "75"));
    ASSERT_TRUE(driver.keyDown(*w, 13));
    EXPECT_EQ(w->t2.Text(), "1536");
    ASSERT_TRUE(driver.type(w->txtIncDecEU, "10"));
    ASSERT_TRUE(driver.focus(w->t1));  // Tab: the focus leaves the box
    EXPECT_EQ(w->txtIncDec.Text(), "205");
    ASSERT_TRUE(driver.type(w->t2EU, "100"));
    ASSERT_TRUE(driver.focus(w->txtIncDec));
    EXPECT_EQ(w->t2.Text(), "2048");
}

TEST_F(CalControlsTest, InRangeIncludesBothEnds) {
    EXPECT_TRUE(Acqisition::InRange(32768.0f, 32768.0f, -32768.0f));
    EXPECT_TRUE(Acqisition::InRange(-32768.0f, 32768.0f, -32768.0f));
    EXPECT_FALSE(Acqisition::InRange(32768.5f, 32768.0f, -32768.0f));
    EXPECT_FALSE(Acqisition::InRange(-32769.0f, 32768.0f, -32768.0f));
}

// ---- The amplifier's own calibration ----

TEST_F(CalControlsTest, GetIntCALOfTheWindowTakesTheBoardOfTheConditionsForAnEmptyName) {
    std::string name;
    GAcqCondition.strADBOARD = "";
    EXPECT_EQ(w->GetIntCAL(name), nullptr);
    EXPECT_EQ(name, "");
    GAcqCondition.strADBOARD = "VylK14(B)[±5]";
    EXPECT_EQ(w->GetIntCAL(name), &GCCalSetting("GCCalSetting_K14_5V"));
    EXPECT_EQ(name, "VylK14(B)[±5]");
    std::string upper = "VYLK14(B)[±5]";
    EXPECT_EQ(w->GetIntCAL(upper), nullptr);
    EXPECT_EQ(upper, "VYLK14(B)[±5]");
}

}  // namespace
