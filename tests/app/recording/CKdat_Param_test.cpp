// The parameter file: the whole text a recording writes, writing over an existing file, reading
// back with its derived values, and every refused file leaving the object as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/common/modCalRecord.h"
#include "platform/kernel/Encoding.h"
#include "tests/app/recording/CKdat_testfixture.h"

using namespace qv;
using qv::apptest::errorNumber;

namespace {

class KdatParamTest : public apptest::KdatTestBase {
protected:
    std::string kparText(const std::string& name) {
        return kernel::cp932ToUtf8(prog.readBytes(name));
    }
    // A recording of 2 channels, 25 frames of 100 scans, the store's calibration.
    void writeBase(const std::string& name, int32_t channels = 2) {
        apptest::WriteKdatStoreCalibration();
        apptest::KdatRecordingSpec layout;
        layout.channels = channels;
        apptest::WriteKdatRecording(file(name), layout);
    }
    void set(const std::string& name, const char* section, const std::string& key,
             std::optional<std::string> value) {
        ASSERT_TRUE(kernel::writeProfileString(file(name), section, key, value));
    }
};

// Everything OpenKdat may replace, to compare an object before and after a refused file.
struct OpenedState {
    KdatParam param;
    KdatCondition open;
    std::vector<int32_t> marks;
    std::string kpar, kdat, names, units;
    std::vector<float> records, preset;
    std::vector<std::string> previous, recording;
    int32_t frame, sweep;
    size_t unit;
    bool operator==(const OpenedState&) const = default;
};
std::vector<std::string> texts(CCalSetting& s) {
    std::vector<std::string> out;
    for (int i = 0; i < 32; ++i)
        for (const std::string& t : {s.CHName(i), s.Unit(i), s.Cal_AD(i), s.Base_AD(i), s.EU_HI(i), s.EU_LO(i)})
            out.push_back(t);
    return out;
}
std::vector<float> floats(const CalRecordArray& r) {
    const float* f = &r[0].EU_HI;
    return std::vector<float>(f, f + 128);
}
OpenedState stateOf(CKdat& k) {
    return {k.Param(), k.OpenCondition(), k.Marks(), k.strKparFile(), k.strKdatFile(), k.CalNames(),
            k.CalUnits(), floats(k.CalRecords()), floats(k.PresetCalRecords()), texts(k.CalPrevious()),
            texts(k.CalRecording()), k.BUFF_FRAME().Points(), k.BUFF_SWEEP().Points(), k.BUFF_UNIT().size()};
}

std::string line(const std::string& key, const std::string& value) { return key + "=" + value + "\r\n"; }
std::string idx(const char* name, int i) { return std::string(name) + "(" + std::to_string(i) + ")"; }

}  // namespace

TEST_F(KdatParamTest, RecordingWritesTheWholeParameterFile) {
    apptest::WriteKdatStoreCalibration();
    CKdat k;
    k.CHNum(2);
    k.nSample(10);
    k.nSClock(1000);
    k.Date_Time_Start(basic::DateSerial(2019, 11, 3) + basic::TimeSerial(7, 5, 9));
    k.Condition_strDEVICE_NAME("Dev1\r\nx=1");  // a line break must not make a second line
    k.Condition_strTRG_POINT("a\nb");
    k.StartAcqisition(file("rec.old.Kdat"));
    EXPECT_EQ(k.strKparFile(), file("rec.old.Kpar"));
    std::vector<int16_t> frame(20, 3);
    for (int f = 0; f < 3; ++f) k.ADCGetData(frame);
    k.ENDAcqisition();

    std::string want = "[P]\r\n" + line("nVer", "0") + line("wCh", "2");
    for (int i = 0; i < 32; ++i) want += line(idx("wChNo", i), std::to_string(i + 1));
    want += line("nSample", "10") + line("nScan", "0") + line("nSClock", "1000") +
            line("Date_Time_Start", "2019/11/03 7:05:09");
    for (int i = 0; i < 8; ++i) want += line(idx("Comment", i), "");
    want += line("Status", "") + line("NTimerPreSet", "0") + line("NTimer", "0") + line("NFrame", "3") +
            line("PTotal", "30") + line("FlagLoad", "0") + line("Cur_L_Point", "0") +
            line("Cur_R_Point", "0") + line("Cur_W_Point", "0");
    for (int i = 0; i < 32; ++i)
        want += line(idx("CHKWaveNo", i), "1") + line(idx("DR_WaveHi", i), "5") + line(idx("DR_WaveLo", i), "-5");
    want += line("lcmbSampleFreq_ListIndex", "6") + line("lcmbTimeFS_ListIndex", "11") +
            line("lSweepPoint", "5000") + line("lPosWAVE_Start", "0") + line("lMoveWAVE_Start", "0") +
            line("lAcqType", "0");
    for (int i = 0; i < 32; ++i) want += line(idx("lchkCal_Value", i), "0");
    want += line("sngEndCSVTime", "0") + line("lStartCSVPoint", "0") + "[CAL]\r\n";
    std::string names, units;
    for (int i = 0; i < 32; ++i) {
        const std::string c = idx("Cal", i);
        want += line(c + ".fBASE_AD", std::to_string(i)) + line(c + ".fCAL_AD", std::to_string(1000 + i)) +
                line(c + ".fEU_HI", std::to_string(10 + i)) + line(c + ".fEU_LO", std::to_string(-i));
        names += (i ? "," : "") + ("名前" + std::to_string(i));
        units += (i ? ",mV" : "mV");
    }
    want += "[pName]\r\n" + line("pName", names) + "[pUnit]\r\n" + line("pUnit", units);
    want += "[Condition]\r\n" + line("strCH", "1-2") + line("lStartCH", "1") + line("lEndCH", "2") +
            line("lCHCnt", "2") + line("strFIXED", "True") + line("strFLOW", "") + line("lFlage", "0") +
            line("strADBOARD", "") + line("lADBOARD", "0") + line("lADBOARD_ID", "0") +
            line("lADBOARD_BIT", "0") + line("sngADBOARD_V", "0") + line("strDEVICE_NAME", "Dev1  x=1") +
            line("strTRIGGER_SETTING", "0") + line("strSINGLE_DISP_MODE", "0") + line("strTRG_POINT", "a b") +
            line("strANALOG_LEVEL_TRIGGER", "False") + line("strANALOG_LEVEL_TRIGGER_D", "10001") +
            line("strANALOG_LEVEL_TRIGGER_U", "10000") + line("strCOMP_CH", "1") + line("lCOMP_CH_ID", "0") +
            line("strEXTERNAL_TRIGGER", "False") + line("strTTL", "1") + line("lTTL", "0") +
            line("strSWEEP_TIME", "5000") + line("strP2PHist", "2 ^ 11") + line("lP2PHist", "2048") +
            line("strSYNC", "1");
    const std::string written = kparText("rec.old.Kpar");
    EXPECT_EQ(written, want);

    // Writing the same object again gives the same bytes.
    k.ENDAcqisition();
    EXPECT_EQ(kparText("rec.old.Kpar"), written);
}

TEST_F(KdatParamTest, WritingOverAFileKeepsItsOtherKeys) {
    prog.writeBytes("r.Kpar", "[GLOBAL]\r\nGlCapNum=5\r\n[P]\r\nExtra=1\r\nnSClock=9\r\n");
    CKdat k;
    k.CHNum(1);
    k.nSample(1);
    k.nSClock(20);
    k.StartAcqisition(file("r.Kdat"));
    k.ENDAcqisition();
    const std::string text = kparText("r.Kpar");
    EXPECT_EQ(text.rfind("[GLOBAL]\r\nGlCapNum=5\r\n[P]\r\nExtra=1\r\nnSClock=20\r\nnVer=0\r\n", 0), 0u);
    EXPECT_NE(text.find("lcmbSampleFreq_ListIndex=12\r\n"), std::string::npos);  // 20 us
    // A period the list does not hold keeps the index.
    k.nSClock(25);
    k.ENDAcqisition();
    EXPECT_NE(kparText("r.Kpar").find("lcmbSampleFreq_ListIndex=12\r\n"), std::string::npos);
}

TEST_F(KdatParamTest, FailedWritesAreReported) {
    CKdat k;
    k.CHNum(1);
    k.nSample(1);
    std::filesystem::create_directory(prog.dir() / "d.Kpar");  // cannot be replaced by a file
    k.StartAcqisition(file("d.Kdat"));
    EXPECT_EQ(errorNumber([&] { k.ENDAcqisition(); }), 75);
    EXPECT_EQ(errorNumber([&] { k.SaveCAL(3, 1, 2, 3, 4); }), 75);
    EXPECT_EQ(errorNumber([&] { k.StartAcqisition(file("no/such/folder/x.Kdat")); }), 75);
}

TEST_F(KdatParamTest, SaveCALWritesOneChannelsKeys) {
    writeBase("s.Kdat");
    CKdat k;
    k.OpenKdat(file("s.Kdat"));
    k.SaveCAL(40, 1.5f, 2048, 1.234568e7f, 1e-5f);
    SetIniFileName(file("s.Kpar"));
    EXPECT_EQ(ReadIniString("CAL", "Cal(40).fBASE_AD", ""), "1.5");
    EXPECT_EQ(ReadIniString("CAL", "Cal(40).fCAL_AD", ""), "2048");
    EXPECT_EQ(ReadIniString("CAL", "Cal(40).fEU_HI", ""), "1.234568E+07");
    EXPECT_EQ(ReadIniString("CAL", "Cal(40).fEU_LO", ""), "1E-05");
}

TEST_F(KdatParamTest, OpeningReadsParametersCalibrationAndNames) {
    writeBase("a.Kdat");
    set("a.Kpar", "MARK", "MARK(0)", "2");
    set("a.Kpar", "MARK", "MARK(1)", "100");
    set("a.Kpar", "MARK", "MARK(2)", "250");
    CKdat k;
    k.OpenKdat(file("a.xyz"));
    EXPECT_EQ(k.strKdatFile(), file("a.Kdat"));
    EXPECT_EQ(k.PTotal(), 2500);
    EXPECT_EQ(k.NFrame(), 25);
    EXPECT_EQ(k.Param().NTimer, 2);
    EXPECT_EQ(k.Param().Status, "0");  // an empty value reads as the default
    EXPECT_EQ(k.Date_Time_Start(), basic::DateSerial(2019, 11, 3) + basic::TimeSerial(7, 5, 9));
    EXPECT_EQ(k.Marks(), (std::vector<int32_t>{2, 100, 250}));
    EXPECT_EQ(k.OpenCondition(), k.Param().Condition);
    EXPECT_EQ(k.CalRecords()[1].Cal_AD, 1001.0f);
    EXPECT_EQ(k.CalRecords()[1].EU_LO, -1.0f);
    EXPECT_EQ(k.CalPrevious().CHName(1), "名前1");
    EXPECT_EQ(k.CalRecording().Unit(0), "mV");
    EXPECT_EQ(k.CalNames(), CalTextLSet(CKdat::PadTo32("名前0") + CKdat::PadTo32("名前1")));
    // No board preset: the table's defaults.
    EXPECT_EQ(k.PresetCalRecords()[0].Cal_AD, 2048.0f);
    EXPECT_EQ(k.PresetCalRecords()[0].EU_HI, 100.0f);
    EXPECT_EQ(k.BUFF_UNIT().size(), 2000u);
    EXPECT_EQ(k.BUFF_SWEEP().Points(), 5001);

    // A file without marks gives the one element 0; the derived scan count; the 1-form ranges.
    ASSERT_TRUE(kernel::writeProfileString(file("a.Kpar"), "MARK", std::nullopt, std::nullopt));
    set("a.Kpar", "P", "PTotal", "0");
    set("a.Kpar", "P", "nVer", "1");
    set("a.Kpar", "P", "DR_Wave(3)", "2.5");
    k.OpenKdat(file("a.Kdat"));
    EXPECT_EQ(k.Marks(), (std::vector<int32_t>{0}));
    EXPECT_EQ(k.PTotal(), 2500);  // 1e6 / 1000 x 25 / 10
    EXPECT_EQ(k.Param().DR_WaveHi[3], 2.5f);
    EXPECT_EQ(k.Param().DR_WaveLo[3], -2.5f);
    set("a.Kpar", "P", "nVer", "1.0");
    set("a.Kpar", "P", "DR_WaveHi(3)", "7");
    k.OpenKdat(file("a.Kdat"));
    EXPECT_EQ(k.Param().DR_WaveHi[3], 7.0f);
    EXPECT_EQ(k.Param().DR_WaveLo[3], -5.0f);
}

TEST_F(KdatParamTest, NarrowRangeGoesToItsOwnSlots) {
    writeBase("n.Kdat", 6);
    set("n.Kpar", "Condition", "lStartCH", "3");
    set("n.Kpar", "Condition", "lEndCH", "8");
    set("n.Kpar", "pName", "pName", "a,b,c,d,e,f" + std::string(26, ','));
    set("n.Kpar", "P", "Comment(1)", "x; y");
    CKdat k;
    k.OpenKdat(file("n.Kdat"));
    EXPECT_EQ(k.CalPrevious().CHName(2), "a");
    EXPECT_EQ(k.CalPrevious().CHName(7), "f");
    EXPECT_EQ(k.CalPrevious().CHName(0), "CH1");  // outside the range: untouched
    EXPECT_EQ(k.CalRecords()[2].Cal_AD, 1002.0f);  // records stay at their own slots
    EXPECT_EQ(k.CalNames().substr(0, 1), "a");
    EXPECT_EQ(k.Param().Comment[1], "x");  // cut at ";"
}

TEST_F(KdatParamTest, RefusedFilesLeaveTheObjectAsItWas) {
    writeBase("good.Kdat");
    CKdat k;
    k.OpenKdat(file("good.Kdat"));
    const OpenedState before = stateOf(k);
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> value;
        int error;
    };
    const Case cases[] = {
        {"P", "wCh", "0", 9},
        {"P", "wCh", "33", 9},
        {"P", "wCh", "40000", 6},
        {"P", "wCh", "two", 13},
        {"Condition", "lStartCH", "31", 9},  // 2 channels from slot 30 pass the 32nd
        {"Condition", "lEndCH", "33", 9},
        {"Condition", "lStartCH", "0", 9},
        {"Condition", "lStartCH", "x", 13},
        {"Condition", "lTTL", std::nullopt, 13},
        {"P", "nSample", "0", 9},
        {"P", "nSample", "100000000", 9},  // buffers beyond 1 GiB
        {"P", "lSweepPoint", "-1", 9},
        {"P", "lSweepPoint", "2147483647", 9},
        {"MARK", "MARK(0)", "100", 9},
        {"MARK", "MARK(0)", "-1", 9},
        {"pName", "pName", "a,b", 9},
        {"P", "Date_Time_Start", "yesterday", 13},
        {"CAL", "Cal(0).fEU_HI", "1e39", 6},
    };
    for (const Case& c : cases) {
        std::filesystem::copy_file(file("good.Kpar"), file("bad.Kpar"),
                                   std::filesystem::copy_options::overwrite_existing);
        set("bad.Kpar", c.section, c.key, c.value);
        EXPECT_EQ(errorNumber([&] { k.OpenKdat(file("bad.Kdat")); }), c.error) << c.key;
        EXPECT_TRUE(stateOf(k) == before) << c.key;
    }
    std::filesystem::copy_file(file("good.Kpar"), file("bad.Kpar"),
                               std::filesystem::copy_options::overwrite_existing);
    set("bad.Kpar", "P", "PTotal", "0");
    set("bad.Kpar", "P", "nSClock", "0");
    EXPECT_EQ(errorNumber([&] { k.OpenKdat(file("bad.Kdat")); }), 11);
    EXPECT_TRUE(stateOf(k) == before);
}
