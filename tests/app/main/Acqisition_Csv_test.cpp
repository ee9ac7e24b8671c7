// The CSV export, headless on generated recordings: the files compared byte for byte, the range
// boxes, the mark column, the page reload at any step, the units with and without USE CAL, the
// sweep files, the refusals, a cancel and an error that leave the previous file and the display
// as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/app/main/Acqisition_Csv_testsupport.h"
#include "app/channel/CCalSetting.h"
#include "app/common/frmMessage.h"
#include "platform/basic/Basic.h"
#include "platform/kernel/Time.h"

using namespace qv;
using apptest::RecordingSpec;

namespace {

using CsvExportTest = apptest::CsvTest;

// The rows of samples first .. end - 1 at the step, as the generator wrote them.
std::string rawRows(int32_t first, int32_t end, int32_t step, int32_t channels, bool dataNo) {
    std::string rows;
    for (int32_t p = first; p < end; p += step) {
        if (dataNo) rows += std::to_string(p / step + 1) + ",0,";
        for (int32_t c = 0; c < channels; ++c) rows += std::to_string(apptest::CsvTest::raw(p, c)) + ",";
        rows += "\r\n";
    }
    return rows;
}

TEST_F(CsvExportTest, AContinuousExportWritesTheHeaderAndEveryTenthSampleOfTheRange) {
    switches(true, true, false);
    load(RecordingSpec(2, 1000, 5000));
    range("2", "5", 10);
    ASSERT_TRUE(exportCsv());
    EXPECT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    const std::string expected =
        "\"Quorvane  (Ver6.24 #200129)  \"\r\n"
        "\r\n"
        "\"CSV File of Raw Wave Data\"\r\n"
        "\"DATA FILE NAME : " + prog.win("rec") + ".Kdat\"\r\n"
        "\r\n"
        "\"ACQUISITION DATE : 2020/01/29\"\r\n"
        "\"ACQUISITION TIME : 13:45:00\"\r\n"
        "\"ACQUISITION : 00:00:05 ( 5 (sec))\"\r\n"
        "\"START SEC : 2  (sec)\"\r\n"
        "\"END SEC : 5  (sec)\"\r\n"
        "\"Sampling Frequency : 1000 (Hz)\"\r\n"
        "\"Sample Interval    1 / 10\"\r\n"
        "\"CONVERSION : USE CAL\"\r\n"
        "\r\n"
        "\"COMMENTS\"\r\n"
        "\" 1\",\"hello\"\r\n"
        "\" 2\",\"\"\r\n"
        "\" 3\",\"\"\r\n"
        "\" 4\",\"\"\r\n"
        "\" 5\",\"\"\r\n"
        "\r\n"
        "\"CH No.\",\"\",1,2,\r\n"
        "\"NAME\",\"\",\"ch1\",\"ch2\",\r\n"
        "\"UNIT\",\"\",\"mV\",\"mV\",\r\n"
        "\"EU HI\",\"\",1,1,\r\n"
        "\"EU LO\",\"\",0,0,\r\n"
        "\"CAL AD\",\"\",1,1,\r\n"
        "\"BASE AD\",\"\",0,0,\r\n"
        "\r\n"
        "\r\n"
        "\"N\",\"MARK\",\"ch1\",\"ch2\",\r\n"
        "\"\",\"\",\"(mV)\",\"(mV)\",\r\n" +
        rawRows(2000, 5000, 10, 2, true);
    EXPECT_EQ(read("test.CSV"), expected);
    EXPECT_EQ(lines(read("test.CSV"))[32], "201,0,2000,-2000,");
    // The display is back on the page it showed, the mode on "End", the button usable.
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_TRUE(w->cmdCSV.Enabled());
    EXPECT_EQ(DispWaveArray(0, 0), 0.0f);
    EXPECT_FALSE(frmMessage::instance().Visible());
}

TEST_F(CsvExportTest, EachSwitchCombinationShapesTheFile) {
    load(RecordingSpec(3, 1000, 3000));
    w->CHKWaveNo(1).setValue(0);  // in the channel table, not in the rows
    range("1", "2", 100);
    for (int header = 0; header <= 1; ++header)
        for (int dataNo = 0; dataNo <= 1; ++dataNo) {
            switches(header == 1, dataNo == 1, false);
            ASSERT_TRUE(exportCsv());
            const auto all = lines(read("test.CSV"));
            const size_t first = header ? 32 : 0;
            ASSERT_EQ(all.size(), first + 10) << header << dataNo;
            const std::string values = std::to_string(raw(1000, 0)) + "," + std::to_string(raw(1000, 2)) + ",";
            EXPECT_EQ(all[first], (dataNo ? "11,0," : "") + values);
            EXPECT_EQ(all[first + 9], (dataNo ? "20,0," : "") + std::to_string(raw(1900, 0)) + "," +
                                          std::to_string(raw(1900, 2)) + ",");
            if (header) {
                EXPECT_EQ(all[21], "\"CH No.\",\"\",1,2,3,");
                EXPECT_EQ(all[30], std::string(dataNo ? "\"N\",\"MARK\"," : "") + "\"ch1\",\"ch3\",");
                EXPECT_EQ(all[31], std::string(dataNo ? "\"\",\"\"," : "") + "\"(mV)\",\"(mV)\",");
            }
        }
}

TEST_F(CsvExportTest, RowsStayRightWhenThePageIsNoMultipleOfTheStep) {
    load(RecordingSpec(2, 1000, 5000));
    GAcqParam.lSweepPoint = 700;
    range("0", "5", 200);
    ASSERT_TRUE(exportCsv());
    EXPECT_EQ(read("test.CSV"), rawRows(0, 5000, 200, 2, false));
}

TEST_F(CsvExportTest, TheMarkColumnCountsTheMarksReachedByEachRow) {
    switches(false, true, false);
    load(RecordingSpec(1, 1000, 5000).set("MARK", "MARK(0)", "2").set("MARK", "MARK(1)", "3").set("MARK", "MARK(2)", "4"));
    range("0", "5", 500);
    ASSERT_TRUE(exportCsv());
    const auto all = lines(read("test.CSV"));
    ASSERT_EQ(all.size(), 10u);
    const char* marks[] = {"0", "0", "0", "0", "0", "0", "1", "1", "2", "2"};
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(all[i], std::to_string(i + 1) + "," + marks[i] + "," + std::to_string(i * 500) + ",") << i;
}

TEST_F(CsvExportTest, TheRangeBoxesStayInsideTheRecording) {
    load(RecordingSpec(1, 1000, 5000));
    ASSERT_TRUE(driver.type(w->txtEndTime, "9"));
    EXPECT_EQ(w->txtEndTime.Text(), "5");
    EXPECT_EQ(GAcqParam.sngEndCSVTime, 5.0f);
    EXPECT_EQ(GAcqParam.lEndCSVPoint, 5000);
    ASSERT_TRUE(driver.type(w->txtStartTime, "-1"));
    EXPECT_EQ(w->txtStartTime.Text(), "0");
    ASSERT_TRUE(driver.type(w->txtStartTime, "1.2346"));
    EXPECT_EQ(GAcqParam.lStartCSVTime, 1);
    EXPECT_EQ(GAcqParam.lStartCSVPoint, 1235);  // the rows start at the typed time
    ASSERT_TRUE(driver.type(w->txtStartTime, "7"));
    EXPECT_EQ(w->txtStartTime.Text(), "5");
    // The step list takes the start in whole seconds.
    ASSERT_TRUE(driver.type(w->txtStartTime, "1.6"));
    ASSERT_TRUE(driver.select(w->cmbSamplePoint, 2));
    EXPECT_EQ(GAcqParam.lCSVStep, 5);
    EXPECT_EQ(GAcqParam.lStartCSVTime, 2);
    EXPECT_EQ(GAcqParam.lStartCSVPoint, 2000);
    // Without a recording the boxes are not checked.
    ClearAcqArrays();
    driver.run([&] { w->txtEndTime.setText("99"); });
    EXPECT_EQ(w->txtEndTime.Text(), "99");
}

TEST_F(CsvExportTest, NamesAndUnitsAreWrittenInCp932AndFollowUseCal) {
    switches(true, false, false);
    RecordingSpec layout(2, 1000, 2000);
    layout.set("pName", "pName", "心電図,呼吸" + std::string(30 * 4, ','));
    layout.set("pUnit", "pUnit", "μV,ｍＬ" + std::string(30 * 2, ','));
    load(layout);
    range("0", "1", 1000);
    ASSERT_TRUE(exportCsv());
    auto all = lines(read("test.CSV"));
    ASSERT_EQ(all.size(), 33u);
    EXPECT_EQ(all[22], cp932("\"NAME\",\"\",\"心電図\",\"呼吸\","));
    EXPECT_EQ(all[23], cp932("\"UNIT\",\"\",\"μV\",\"ｍＬ\","));
    EXPECT_EQ(all[30], cp932("\"心電図\",\"呼吸\","));
    EXPECT_EQ(all[31], cp932("\"(μV)\",\"(ｍＬ)\","));

    // Input volts: the amplifier's built-in conversion, its names in the table, "(V)" units.
    ASSERT_TRUE(driver.check(w->chkUseCAL, 0));
    ASSERT_TRUE(exportCsv());
    all = lines(read("test.CSV"));
    EXPECT_EQ(all[12], "\"CONVERSION : INPUT VOLTAGE\"");
    EXPECT_EQ(all[22], "\"NAME\",\"\",\"" + GCCalSettingDisp.CHName(0) + "\",\"" + GCCalSettingDisp.CHName(1) + "\",");
    EXPECT_EQ(all[24], "\"EU HI\",\"\"," + basic::CStr(GCalRecVolt[0].EU_HI) + "," +
                           basic::CStr(GCalRecVolt[1].EU_HI) + ",");
    EXPECT_NE(GCalRecVolt[0].EU_HI, 1.0f);
    EXPECT_EQ(all[31], "\"(V)\",\"(V)\",");
    // The rows carry what the page loader gives in volts.
    int32_t start = 0, count = kOnePage;
    w->LoadWave_Sweep(start, count);
    EXPECT_EQ(all[32], basic::CStr(DispWaveArray(0, 0)) + "," + basic::CStr(DispWaveArray(0, 1)) + ",");
}

TEST_F(CsvExportTest, RefusalsWriteNothingAlsoWhenTheProgramAsks) {
    for (bool request : {false, true}) {
        w->bAutoCall = request;
        driver.answerMsgBox(forms::vbOK);
        driver.run([&] { w->cmdCSV_Click(); });
        EXPECT_EQ(lastMessage(), "データがありませんのでCSVファイルの作成を中止します。<Reserve>");
        EXPECT_EQ(driver.msgBoxes().back().style, 48);
    }
    w->bAutoCall = false;
    load(RecordingSpec(1, 1000, 5000));
    range("3", "5", 1);
    ASSERT_TRUE(driver.type(w->txtEndTime, "2"));
    EXPECT_TRUE(w->cmdCSV.Enabled());
    const size_t before = driver.msgBoxes().size();
    for (bool request : {false, true}) {
        w->bAutoCall = request;
        driver.answerMsgBox(forms::vbOK);
        driver.run([&] { w->cmdCSV_Click(); });
        EXPECT_EQ(lastMessage(), "終了時間が開始時間を下回っています。CSVファイルの作成を中止します。<Reserve>");
    }
    w->bAutoCall = false;
    EXPECT_EQ(driver.msgBoxes().size(), before + 2);
    EXPECT_FALSE(exists("test.CSV"));
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_TRUE(w->cmdCSV.Enabled());
    EXPECT_TRUE(w->fraCSV.Enabled());
}

TEST_F(CsvExportTest, ACancelIsSeenWithin50MsAndKeepsThePreviousFile) {
    driver.advance(1);  // the boot timer, before the clock moves
    load(RecordingSpec(1, 1000, 5000));
    prog.writeBytes("out/test.CSV", "previous");
    range("0", "5", 1);
    // A millisecond a clock read (a row): the cancel ticked near 1 s ends the progress within 50 ms.
    const uint32_t tick = driver.now() + 1025;
    std::pair<int, uint32_t> shown;  // the value last shown and when
    kernel::setTickSource([&, &clock = driver.clock(), &box = frmMessage::instance()] {
        if (clock.now() + 1 == tick) box.chkAbort.setValue(1);
        if (box.Visible() && box.ProgressBar1.Value() != shown.first) shown = {box.ProgressBar1.Value(), clock.now()};
        return clock.advance(1), clock.now();
    });
    driver.answerMsgBox(forms::vbOK);
    ASSERT_TRUE(exportCsv());
    kernel::setTickSource([&] { return driver.now(); });
    EXPECT_TRUE(shown.second >= tick && shown.second <= tick + 50) << shown.second - tick;
    EXPECT_EQ(lastMessage(), "CSVファイルの作成を中止しました。出力ファイルは作成されていません。");
    EXPECT_EQ(read("test.CSV"), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out()), {}), 1);  // no leftovers
    EXPECT_EQ(frmMessage::instance().chkAbort.Value(), 0);
    EXPECT_EQ(GAcqParam.ModeString, "End");
}

TEST_F(CsvExportTest, AnErrorClosesTheFileAndRestoresTheDisplay) {
    load(RecordingSpec(1, 1000, 5000));
    GAcqParam.lPosWAVE_Start = 2000;
    GAcqParam.Cur_L_Point = 2100;
    GAcqParam.Cur_R_Point = 2300;
    range("0", "5", 1);
    // A folder under the output's name: the file cannot be put in place.
    std::filesystem::create_directories(out() / "test.CSV" / "inside");
    driver.answerMsgBox(forms::vbOK);
    ASSERT_TRUE(exportCsv());
    EXPECT_EQ(lastMessage(), "指定した書き込みファイルが使用中のため書き込みできません。 \r"
                             "ファイル名を変えるか、ファイルを閉じてから再度やり直しください。<Reserve>");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out()), {}), 1);
    EXPECT_EQ(DispWaveArray(0, 0), 2000.0f);
    // The cursors where they stood, on a cursor graph made anew for the page.
    EXPECT_EQ(GAcqParam.Cur_L_Point, 2100);
    EXPECT_EQ(GAcqParam.Cur_R_Point, 2300);
    EXPECT_EQ(GAcqParam.Cur_W_Point, 200);
    EXPECT_NE(w->lGraphHandle, 0);
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_TRUE(w->cmdCSV.Enabled());

    // A working folder that is gone cannot take any file.
    std::filesystem::create_directories(out() / "gone");
    std::filesystem::current_path(out() / "gone");
    std::filesystem::remove(out() / "gone");
    GAcqParam.lPosWAVE_Start = 3000;
    driver.answerMsgBox(forms::vbOK);
    ASSERT_TRUE(exportCsv());
    EXPECT_EQ(lastMessage(), "File Error CODE=  76    AT cmdRawData_CSV_Click-Sub.");
    EXPECT_EQ(driver.msgBoxes().back().style, 0);
    EXPECT_EQ(DispWaveArray(0, 0), 3000.0f);
    EXPECT_EQ(GAcqParam.ModeString, "End");
}

// ---- Sweeps ----

class CsvSweepTest : public apptest::CsvTest {
protected:
    void loadSweeps() {
        RecordingSpec layout(2, 1000, 4000);
        layout.set("Condition", "strTRIGGER_SETTING", "1");
        layout.set("P", "NFrame", "4");
        frmCondition::instance().optGetADBoard.setValue(true);
        load(layout);
    }
    static std::string sweepRows(int32_t t, bool dataNo) {
        std::string rows;
        for (int32_t k = 0; k < 1000; ++k) {
            if (dataNo) rows += std::to_string(k + 1) + ",\"\",";
            const int32_t p = (t - 1) * 1000 + k;
            rows += std::to_string(raw(p, 0)) + "," + std::to_string(raw(p, 1)) + ",\r\n";
        }
        return rows;
    }
};

TEST_F(CsvSweepTest, OneFilePerSweepWithItsTrialLine) {
    switches(true, true, true);
    loadSweeps();
    ASSERT_TRUE(driver.type(w->txtStartTime, "2"));
    ASSERT_TRUE(driver.type(w->txtEndTime, "3"));
    ASSERT_TRUE(exportCsv());
    EXPECT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    EXPECT_FALSE(exists("test.CSV"));
    for (int32_t t : {2, 3}) {
        const std::string file = read("_000" + std::to_string(t) + ".CSV");
        const auto all = lines(file);
        ASSERT_EQ(all.size(), 32u + 2 + 1000) << t;
        EXPECT_EQ(all[8], "\"START SEC : 2  (sec)\"");
        EXPECT_EQ(all[30], "\"N\",\"\",\"ch1\",\"ch2\",");
        EXPECT_EQ(all[32], "");
        EXPECT_EQ(all[33], "\"Trial No. " + std::to_string(t) + "\"");
        EXPECT_EQ(file.substr(file.size() - sweepRows(t, true).size()), sweepRows(t, true));
    }
    EXPECT_FALSE(exists("_0001.CSV"));
    EXPECT_FALSE(exists("_0004.CSV"));
}

TEST_F(CsvSweepTest, AllSweepsIntoOneFile) {
    switches(false, false, false);
    loadSweeps();
    ASSERT_TRUE(driver.type(w->txtStartTime, "0"));  // the export starts at the first sweep
    ASSERT_TRUE(driver.type(w->txtEndTime, "2"));
    ASSERT_TRUE(exportCsv());
    EXPECT_EQ(w->txtStartTime.Text(), "1");
    EXPECT_EQ(read("test.CSV"), sweepRows(1, false) + sweepRows(2, false));
}

}  // namespace
