#include "app/channel/frmSelectAmp.h"

#include <gtest/gtest.h>

#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "app/channel/AmpCalTable.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Driver.h"
#include "platform/kernel/Encoding.h"

using namespace qv;
using V = std::vector<std::string>;

namespace {

struct MainTag {};
const char* const kRow[] = {"txtName", "txtUnit", "txtEUHI", "txtEULO", "txtCALAD", "txtBASEAD"};
const char* const kTwoAmps =
    "[SETTING]\r\nAMPNUM=2\r\n"
    "[AMP00]\r\nNAME=生体アンプ\r\nCH=8\r\nGAIN=100,1000,1001\r\nGAINDISP=x100,x1k,x1001\r\n"
    "[AMP01]\r\nNAME=Second\r\nGAIN=18,0,abc\r\nGAINDISP=x18\r\n";

class SelectAmpTest : public ::testing::Test {
protected:
    void SetUp() override {
        GCalRecEU[0] = {10.0f, -10.0f, 0.0f, 0.0f};
        GAcqCondition.strADBOARD = "VylK10[±5]";
        preset.Cal_AD(0, "2047");
        preset.Base_AD(0, "13");
    }
    void TearDown() override {
        GCalRecEU = {};
        GAcqCondition = AcqCondition{};
        InitAmpCalTable();
    }
    // Writes (null: removes) the definitions file.
    void writeAmpDef(const char* utf8) {
        if (utf8) prog.writeBytes("AmpDef.ini", kernel::utf8ToCp932(utf8));
        else std::filesystem::remove(prog.dir() / "AmpDef.ini");
        kernel::clearProfileCache();
    }
    // Stand-in for the main window's calibration table; channel n is named "CH<n>".
    forms::Form& loadMain(int rows = 32) {
        std::vector<std::pair<forms::ControlType, std::string>> controls;
        for (const char* name : kRow)
            for (int i = 0; i < rows; ++i)
                controls.push_back({forms::ControlType::TextBox,
                                    std::string(name).append("(").append(std::to_string(i)).append(")")});
        forms::Form& f = apptest::loadStandIn<MainTag>("Acqisition", controls);
        for (int i = 0; i < rows; ++i)
            f.control("txtName", i).set("Text", std::string("CH").append(std::to_string(i + 1)));
        return f;
    }
    static frmSelectAmp& open() {
        frmSelectAmp::instance().Show();
        return frmSelectAmp::instance();
    }
    static V items(const forms::ListControl& l) {
        V out;
        for (int i = 0; i < l.ListCount(); ++i) out.push_back(l.List(i));
        return out;
    }
    // The six row texts of a main-window row, or (c = -1) of the amplifier window's boxes.
    static V row(const forms::Form& f, int c = -1) {
        V out;
        for (const char* name : kRow) out.push_back(f.control(name, c).get("Text").toString());
        return out;
    }
    apptest::TempProgramFolder prog;
    forms::Driver driver;
    CCalSetting& preset = GCCalSetting("GCCalSetting_K10_5V");
};

TEST_F(SelectAmpTest, LoadShowsTheFirstAmplifierAndTheRateMovesTheGain) {
    writeAmpDef(kTwoAmps);
    loadMain();
    IniPathGuard ini("C:\\other.ini");
    frmSelectAmp& w = open();
    EXPECT_EQ(GetIniFileName(), "C:\\other.ini");
    EXPECT_EQ(w.lblADBoard.Caption(), "VylK10[±5]");
    EXPECT_EQ(items(w.cmbSelectAmp), (V{"生体アンプ", "Second"}));
    EXPECT_EQ(items(w.cmbSelectGain), (V{"100", "1000", "1001"}));
    EXPECT_EQ(items(w.cmbAmpRate), (V{"x100", "x1k", "x1001"}));
    EXPECT_EQ(w.cmbSelectCH.ListCount(), 32);
    EXPECT_EQ(row(w), (V{"CH1", "mV", "100", "-100", "2047", "13"}));

    ASSERT_TRUE(driver.select(w.cmbAmpRate, 1));  // gain 1000: 10 / 1000 x 1000
    EXPECT_EQ(w.cmbSelectGain.ListIndex(), 1);
    EXPECT_EQ(row(w), (V{"CH1", "mV", "10", "-10", "2047", "13"}));
    ASSERT_TRUE(driver.select(w.cmbAmpRate, 2));  // gain 1001: 10 / 1001 x 1 000 000
    EXPECT_EQ(row(w), (V{"CH1", "μV", "9990.01", "-9990.01", "2047", "13"}));
    // The calibration value counts as the decimal its text shows (binary 0.1f gives 5.555556).
    GCalRecEU[0].EU_HI = 0.1f;
    EXPECT_EQ(basic::CStr(w.CalcEU_HI(18)), "5.555555");
    EXPECT_EQ(apptest::errorNumber([&] { w.CalcEU_HI(0); }), 11);
}

TEST_F(SelectAmpTest, ExecuteWritesTheChosenChannelsRowOnly) {
    writeAmpDef(kTwoAmps);
    forms::Form& main = loadMain();
    frmSelectAmp& w = open();
    ASSERT_TRUE(driver.select(w.cmbSelectCH, 4));
    EXPECT_EQ(w.txtName.Text(), "CH5");
    ASSERT_TRUE(driver.type(w.txtName, "EEG"));
    ASSERT_TRUE(driver.click(w.cmdExecute));
    EXPECT_EQ(row(main, 4), (V{"EEG", "mV", "100", "-100", "2047", "13"}));
    EXPECT_EQ(row(main, 3), (V{"CH4", "", "", "", "", ""}));
    EXPECT_TRUE(w.Visible());
    ASSERT_TRUE(driver.select(w.cmbSelectAmp, 1));  // new gain lists, same channel
    EXPECT_EQ(items(w.cmbAmpRate), (V{"x18", "0", "abc"}));
    EXPECT_EQ(row(w), (V{"EEG", "mV", "555.5555", "-555.5555", "2047", "13"}));
}

TEST_F(SelectAmpTest, UnusableGainsMissingPresetsAndDefinitionsWriteNoRow) {
    writeAmpDef(kTwoAmps);
    forms::Form& main = loadMain(8);  // a table shorter than the channel list
    frmSelectAmp& w = open();
    ASSERT_TRUE(driver.select(w.cmbSelectAmp, 1));
    for (int k : {1, 2}) {  // gain "0", gain "abc"
        ASSERT_TRUE(driver.select(w.cmbAmpRate, k));
        EXPECT_EQ(row(w), (V{"CH1", "", "", "", "2047", "13"}));
        ASSERT_TRUE(driver.click(w.cmdExecute));
    }
    ASSERT_TRUE(driver.select(w.cmbAmpRate, 0));
    ASSERT_TRUE(driver.select(w.cmbSelectCH, 20));  // no row 21 in the main window
    ASSERT_TRUE(driver.click(w.cmdExecute));
    forms::Unload(w);
    GAcqCondition.strADBOARD = "";  // no board, no preset
    const char* defs[] = {kTwoAmps, nullptr, "[SETTING]\r\nAMPNUM=-3\r\n",
                          "[SETTING]\r\nAMPNUM=1e99999\r\n"};
    for (const char* def : defs) {
        writeAmpDef(def);
        frmSelectAmp& again = open();
        EXPECT_EQ(again.cmbSelectAmp.ListCount(), def == kTwoAmps ? 2 : 0);
        EXPECT_EQ(again.txtCALAD.Text(), "");
        ASSERT_TRUE(driver.select(again.cmbSelectCH, 0));
        ASSERT_TRUE(driver.click(again.cmdExecute));
        forms::Unload(again);
    }
    EXPECT_EQ(row(main, 0), (V{"CH1", "", "", "", "", ""}));
    EXPECT_TRUE(driver.errors().empty());
}

// A gain beyond a Long, or one whose values would not fit single precision with the
// calibration in use, is logged and treated as no usable gain: empty boxes, no row written.
TEST_F(SelectAmpTest, GainsAndValuesBeyondTheirRangeAreLoggedAndWriteNoRow) {
    writeAmpDef("[SETTING]\r\nAMPNUM=1\r\n[AMP00]\r\nNAME=A\r\nGAIN=1e99999,5e9,1,1000\r\n");
    GCalRecEU[0] = {3.0e38f, -1.0f, 0.0f, 0.0f};
    forms::Form& main = loadMain();
    frmSelectAmp& w = open();
    EXPECT_EQ(row(w), (V{"CH1", "", "", "", "2047", "13"}));  // "1e99999"
    for (int k : {1, 2}) {  // "5e9"; gain 1: 3e38 x 1000 mV
        ASSERT_TRUE(driver.select(w.cmbAmpRate, k));
        EXPECT_EQ(row(w), (V{"CH1", "", "", "", "2047", "13"})) << k;
        ASSERT_TRUE(driver.click(w.cmdExecute));
    }
    EXPECT_EQ(row(main, 0), (V{"CH1", "", "", "", "", ""}));
    ASSERT_TRUE(driver.select(w.cmbAmpRate, 3));  // 3e38 / 1000 x 1000 still fits
    EXPECT_EQ(row(w), (V{"CH1", "mV", "3E+38", "-1", "2047", "13"}));
    EXPECT_TRUE(driver.errors().empty());
    EXPECT_GE(apptest::dayLogLines(prog.dir(), "AmpDef.ini GAIN の値 \"1e99999\""), 1u);
    EXPECT_GE(apptest::dayLogLines(prog.dir(), "AmpDef.ini GAIN の値 \"5e9\""), 1u);
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "AmpDef.ini GAIN の値 \"1\" は設定できない"), 1u);
}

}  // namespace
