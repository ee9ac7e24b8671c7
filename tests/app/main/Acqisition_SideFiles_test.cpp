// The companion programs' side files in the CSV export: the reader's checks, the columns they
// add from the settings collection, and the refusals before anything is written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/main/Acqisition_Csv_testsupport.h"
#include "tests/app/main/Acqisition_SideFiles_testsupport.h"
#include "app/main/Acqisition2.h"
#include "app/main/Acqisition_SideFiles.h"
#include "platform/basic/Basic.h"

using namespace qv;
using apptest::RecordingSpec;

namespace {

using apptest::sideFileBytes;

float absValue(int32_t p, int32_t) { return static_cast<float>(p) * 0.5f; }
float lenValue(int32_t p, int32_t) { return static_cast<float>(p) * 0.25f; }
float jinsValue(int32_t p, int32_t j) { return static_cast<float>(p * 10 + j); }

class SideFileTest : public apptest::CsvTest {
protected:
    void setting(const std::string& name, const std::string& value) {
        w->SettingCollection.Add(name);
        w->SettingCollection.Add(value, "VAL=" + name);
    }
    // Columns 0, 2 and 9 of ".DJINS", the first two calibrated 1:10, the last with CAL AD 0;
    // the respiration columns named after channel 2.
    void fillSettings() {
        for (int j = 0; j < 10; ++j) {
            const std::string row = "(" + std::to_string(j) + ")";
            setting("PROPERTY.frmMain.CHKWaveNo" + row + ".Value", j == 0 || j == 2 || j == 9 ? "1" : "0");
            setting("PROPERTY.frmMain.txtEUHI" + row + ".Text", "10");
            setting("PROPERTY.frmMain.txtEULO" + row + ".Text", "0");
            setting("PROPERTY.frmMain.txtCALAD" + row + ".Text", j == 9 ? "0" : "100");
            setting("PROPERTY.frmMain.txtBASEAD" + row + ".Text", "0");
        }
        setting("PROPERTY.frmMain.chkUseCAL.Value", "1");
        setting("PROPERTY.frmMain.cmbCHNo.ListIndex", "1");
    }
    void companions(bool on) {
        Acqisition2& hidden = Acqisition2::instance();
        hidden.chkUseSubPrg.setValue(on ? 1 : 0);
        hidden.chkUseSubPrgRL.setValue(on ? 1 : 0);
        hidden.chkUseSubPrgJINS.setValue(on ? 1 : 0);
    }
    void TearDown() override {
        companions(false);
        apptest::CsvTest::TearDown();
    }
    void writeSideFiles(int32_t absSamples, int32_t lenSamples, int32_t jinsSamples) {
        prog.writeBytes("rec.ABS", sideFileBytes(absSamples, 1, absValue));
        prog.writeBytes("rec.LEN", sideFileBytes(lenSamples, 1, lenValue));
        prog.writeBytes("rec.DJINS", sideFileBytes(jinsSamples, 10, jinsValue));
    }
};

TEST_F(SideFileTest, TheReaderChecksWhatTheFileHolds) {
    prog.writeBytes("s.DJINS", sideFileBytes(3, 10, jinsValue) + "xyz");  // a torn last record
    CsvSideFile file(prog.win("s.DJINS"), CsvSideFile::kJinsWidth);
    EXPECT_EQ(file.Samples(), 3);
    EXPECT_TRUE(file.Covers(0, 3));
    EXPECT_TRUE(file.Covers(5, 5));
    EXPECT_FALSE(file.Covers(1, 4));
    EXPECT_FALSE(file.Covers(-1, 2));
    float v[10];
    file.Read(2, v);
    EXPECT_EQ(v[0], 20.0f);
    EXPECT_EQ(v[9], 29.0f);
    file.Read(0, v);
    EXPECT_EQ(v[3], 3.0f);
    EXPECT_EQ(apptest::errorNumber([&] { file.Read(3, v); }), 9);
    EXPECT_EQ(apptest::errorNumber([&] { file.Read(-1, v); }), 9);
    EXPECT_EQ(apptest::errorNumber([&] { CsvSideFile(prog.win("none.ABS"), 1); }), 53);
    EXPECT_EQ(SideFilePath("C:\\data\\rec.Kdat", ".LEN"), "C:\\data\\rec.LEN");
}

TEST_F(SideFileTest, TheSettingsCollectionGivesTheJinsColumnsAndTheirCalibration) {
    fillSettings();
    EXPECT_EQ(w->GetJINSDispCH(), (std::vector<int32_t>{1, 0, 1, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_TRUE(w->IsUseCALJINS());
    EXPECT_EQ(w->GetUseCalValueJINS(0, 250.0f), 25.0f);
    EXPECT_EQ(w->GetUseCalValueJINS(9, 250.0f), 0.0f);  // CAL AD 0
    w->SettingCollection.Clear();
    EXPECT_EQ(apptest::errorNumber([&] { w->IsUseCALJINS(); }), 5);
}

TEST_F(SideFileTest, CompanionColumnsFollowTheChannels) {
    switches(true, false, false);
    load(RecordingSpec(2, 1000, 2000));
    writeSideFiles(2000, 2000, 2000);
    fillSettings();
    companions(true);
    range("0", "2", 500);
    ASSERT_TRUE(exportCsv());
    EXPECT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    const auto all = lines(read("test.CSV"));
    ASSERT_EQ(all.size(), 32u + 4);
    EXPECT_EQ(all[30], "\"ch1\",\"ch2\",\"RESP DEF.(ch2)\",\"RESP INTEG.(ch2)\",\"ACC-X\",\"ACC-Z\",\"EOG-DV\",");
    EXPECT_EQ(all[31], "\"(mV)\",\"(mV)\",\"(mV)\",\"(mV)\",\"( G )\",\"( G )\",\"( uV )\",");
    for (int32_t i = 0; i < 4; ++i) {
        const int32_t p = i * 500;
        const std::string expected = std::to_string(raw(p, 0)) + "," + std::to_string(raw(p, 1)) + "," +
                                     basic::CStr(p * 0.5f) + "," + basic::CStr(p * 0.25f) + "," +
                                     basic::CStr(static_cast<float>(p * 10 * 10.0 / 100)) + "," +
                                     basic::CStr(static_cast<float>((p * 10 + 2) * 10.0 / 100)) + ",0,";
        EXPECT_EQ(all[32 + static_cast<size_t>(i)], expected) << p;
    }
    // Uncalibrated: the raw values in "( AD )".
    w->SettingCollection.Item("VAL=PROPERTY.frmMain.chkUseCAL.Value") = "0";
    ASSERT_TRUE(exportCsv());
    const auto raw = lines(read("test.CSV"));
    EXPECT_EQ(raw[31], "\"(mV)\",\"(mV)\",\"(mV)\",\"(mV)\",\"( AD )\",\"( AD )\",\"( AD )\",");
    EXPECT_EQ(raw[33], "500,-500,250,125,5000,5002,5009,");
}

TEST_F(SideFileTest, AShortSideFileRefusesTheExportBeforeAnythingIsWritten) {
    load(RecordingSpec(2, 1000, 2000));
    writeSideFiles(2000, 1999, 2000);
    prog.writeBytes("out/test.CSV", "previous");
    fillSettings();
    companions(true);
    range("0", "2", 1);
    driver.answerMsgBox(forms::vbOK);
    ASSERT_TRUE(exportCsv());
    EXPECT_EQ(lastMessage(), "ファイル " + prog.win("rec") + ".LEN のデータが出力範囲に足りませんのでCSVファイルの作成を中止します。");
    EXPECT_EQ(driver.msgBoxes().back().style, 48);
    EXPECT_EQ(read("test.CSV"), "previous");
    EXPECT_EQ(GAcqParam.ModeString, "End");
    // A range the file covers goes through.
    range("0", "1", 1);
    ASSERT_TRUE(exportCsv());
    EXPECT_EQ(lines(read("test.CSV")).size(), 1000u);
}

TEST_F(SideFileTest, AMissingSideFileOrSettingEndsTheExportThroughItsErrorStep) {
    load(RecordingSpec(2, 1000, 2000));
    companions(true);
    prog.writeBytes("rec.ABS", sideFileBytes(2000, 1, absValue));
    prog.writeBytes("rec.LEN", sideFileBytes(2000, 1, lenValue));
    range("0", "1", 1);
    driver.answerMsgBox(forms::vbOK);
    ASSERT_TRUE(exportCsv());
    EXPECT_EQ(lastMessage(), "File Error CODE=  53    AT cmdRawData_CSV_Click-Sub.");
    prog.writeBytes("rec.DJINS", sideFileBytes(2000, 10, jinsValue));
    driver.answerMsgBox(forms::vbOK);
    ASSERT_TRUE(exportCsv());
    EXPECT_EQ(lastMessage(), "File Error CODE=  5    AT cmdRawData_CSV_Click-Sub.");
    EXPECT_FALSE(exists("test.CSV"));
    EXPECT_EQ(GAcqParam.ModeString, "End");
}

}  // namespace
