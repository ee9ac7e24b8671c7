#include "app/common/IniSet.h"

#include <gtest/gtest.h>

#include "tests/app/common/IniSet_testsupport.h"
#include "app/channel/CBoard.h"
#include "platform/basic/Dates.h"
#include "platform/forms/Form.h"

using namespace qv;
using qv::apptest::errorNumber;

namespace {

struct MainTag {};
struct StateTag {};

// Stand-ins for the main window and the hidden state window, with the names the code reads.
forms::Form& loadMain() {
    return apptest::loadStandIn<MainTag>("Acqisition", {{forms::ControlType::Label, "LBLTimerPreSet"},
                                                        {forms::ControlType::ComboBox, "cmbTimeFS"},
                                                        {forms::ControlType::ComboBox, "cmbSampleFreq"}});
}

class IniSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        GAcqParam = AcqParam{};
        GAcqCondition = AcqCondition{};
        RawSampleBuffer.clear();
        GstrKdatFile.clear();
    }
    void TearDown() override {
        forms::Runtime::get().reset();
        basic::setClock({});
        CBoard::ReleaseInstance();
        SetUp();
    }
    apptest::TempProgramFolder prog;
};

std::string words(std::initializer_list<int16_t> w) {
    std::string bytes;
    for (int16_t v : w) {
        const auto u = static_cast<uint16_t>(v);
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

}  // namespace

TEST_F(IniSetTest, InitGlobalsDefaults) {
    InitGlobals();
    EXPECT_EQ(GAcqParam.nVer, "(Ver6.24 #200129)");
    EXPECT_EQ(GAcqParam.wCh, 32);
    EXPECT_EQ(GAcqParam.wChNo[0], 1);
    EXPECT_EQ(GAcqParam.wChNo[31], 32);
    EXPECT_EQ(GAcqParam.nScan, 1);
    EXPECT_EQ(GAcqParam.NTimerPreSet, 100);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(GAcqParam.DR_WaveHi[i], 1.0f);
        EXPECT_EQ(GAcqParam.DR_WaveLo[i], 1.0f);
        EXPECT_EQ(GAcqParam.CHKWaveNo[i], 1);
    }
    EXPECT_FALSE(IsDataLoaded());
}

TEST_F(IniSetTest, ModeTestsAreExact) {
    const struct {
        const char* mode;
        bool (*test)();
    } cases[] = {{"L-L", IsModeLL},       {"L-L/2", IsModeLLHalf},  {"End", IsModeEnd},
                 {"Acq", IsModeAcq},      {"ReadSet", IsModeReadSet}, {"Play", IsModePlay},
                 {"Recalc", IsModeRecalc}, {"SETTRG", IsModeSetTrg}};
    for (const auto& c : cases) {
        for (const auto& other : cases) {
            GAcqParam.ModeString = other.mode;
            EXPECT_EQ(c.test(), c.test == other.test) << c.mode << " vs " << other.mode;
        }
    }
    GAcqParam.ModeString = "l-l";
    EXPECT_FALSE(IsModeLL());
    GAcqParam.ModeString = "End ";
    EXPECT_FALSE(IsModeEnd());
}

TEST_F(IniSetTest, ConditionTests) {
    GAcqCondition.strTRIGGER_SETTING = "1";
    EXPECT_TRUE(IsTriggerSetting());
    GAcqCondition.strTRIGGER_SETTING = "1.0abc";
    EXPECT_TRUE(IsTriggerSetting());
    GAcqCondition.strTRIGGER_SETTING = "0";
    EXPECT_FALSE(IsTriggerSetting());
    GAcqCondition.strTRIGGER_SETTING = "1e99999";  // from a recording's file: not 1, no error
    EXPECT_FALSE(IsTriggerSetting());
    GAcqCondition.strCameraSetting = 1;
    EXPECT_TRUE(IsCameraSetting());
    GAcqCondition.strCameraSetting = -1;
    EXPECT_FALSE(IsCameraSetting());
    EXPECT_FALSE(IsCamDispTypeEnabled());
    EXPECT_EQ(JoinBy2Spaces("a", "b", "c"), "a  b  c");
}

TEST_F(IniSetTest, WaveArrayKeepsEachChannelContiguousAndChecksBounds) {
    WaveArray a;
    a.Redim(3, 4);
    a(2, 1) = 5.0f;
    a(0, 2) = 7.0f;
    EXPECT_EQ(a.Channel(1)[2], 5.0f);
    EXPECT_EQ(a.Channel(1) + 4, a.Channel(2));
    EXPECT_EQ(a.Channel(2)[0], 7.0f);
    EXPECT_EQ(errorNumber([&] { a(4, 0); }), 9);
    EXPECT_EQ(errorNumber([&] { a(0, 3); }), 9);
    EXPECT_EQ(errorNumber([&] { a(-1, 0); }), 9);
    EXPECT_EQ(errorNumber([&] { a.Channel(3); }), 9);
    a.Redim(3, 4);
    EXPECT_EQ(a(2, 1), 0.0f);  // a new shape starts from zeros
}

TEST_F(IniSetTest, ClearAcqArraysForgetsTheData) {
    DispWaveArray.Redim(2, 10);
    ConvWaveArray.Redim(2, 10);
    GAcqParam.PTotal = 1000;
    ASSERT_TRUE(IsDataLoaded());
    auto& main = loadMain();
    ClearAcqArrays();
    EXPECT_FALSE(IsDataLoaded());
    EXPECT_TRUE(DispWaveArray.Empty());
    EXPECT_TRUE(ConvWaveArray.Empty());
    EXPECT_EQ(main.control("LBLTimerPreSet").get("Caption").toString(), "--");
}

TEST_F(IniSetTest, ConfirmExitAsksUntilOk) {
    auto& dialogs = forms::Runtime::get().scriptedDialogs();
    dialogs.answerMsgBox(forms::vbCancel);
    EXPECT_FALSE(ConfirmExit());
    dialogs.answerMsgBox(forms::vbOK);
    EXPECT_TRUE(ConfirmExit());
    EXPECT_TRUE(ConfirmExit());  // no third box: nothing is queued for it
    ASSERT_EQ(dialogs.msgBoxLog().size(), 2u);
    EXPECT_EQ(dialogs.msgBoxLog()[0].prompt, "プログラムを終了します。\r\nよろしいですか？");
    EXPECT_EQ(dialogs.msgBoxLog()[0].style, 65);
    EXPECT_EQ(dialogs.msgBoxLog()[0].title, "終了");
}

// ---- raw samples ----

TEST_F(IniSetTest, LoadRawSamplesReadsScansOfWChWordsAndZeroFillsPastTheEnd) {
    prog.writeBytes("rec.Kdat", words({1, -2, 3, -4, 5, -6}));  // 3 scans of 2 channels
    GstrKdatFile = prog.win("rec.Kdat");
    GAcqParam.wCh = 2;
    // The recording's channel range disagrees with wCh: the scan width of the file decides.
    GAcqParam.Condition.lStartCH = 1;
    GAcqParam.Condition.lEndCH = 1;
    LoadRawSamples(1, 4);
    ASSERT_EQ(RawSampleBuffer.size(), 8u);
    EXPECT_EQ(RawSampleBuffer, (std::vector<int16_t>{3, -4, 5, -6, 0, 0, 0, 0}));

    // A larger buffer keeps its tail; only the read words change.
    RawSampleBuffer.assign(10, 9);
    LoadRawSamples(0, 1);
    EXPECT_EQ(RawSampleBuffer, (std::vector<int16_t>{1, -2, 9, 9, 9, 9, 9, 9, 9, 9}));
}

TEST_F(IniSetTest, LoadRawSamplesDoesNothingWithoutAFileOrAWindow) {
    RawSampleBuffer.assign(4, 7);
    GAcqParam.wCh = 2;
    GstrKdatFile = prog.win("missing.Kdat");
    LoadRawSamples(0, 10);
    prog.writeBytes("rec.Kdat", words({1, 2}));
    GstrKdatFile = prog.win("rec.Kdat");
    LoadRawSamples(-1, 1);
    LoadRawSamples(0, 0);
    GAcqParam.wCh = 0;
    LoadRawSamples(0, 1);
    EXPECT_EQ(RawSampleBuffer, (std::vector<int16_t>(4, 7)));
}

TEST_F(IniSetTest, LoadRawSamplesReachesBeyondFourGigabytes) {
    // 32 channels at scan 70,000,000 lie at byte 4,480,000,000: past any 32-bit offset.
    const uint64_t offset = 32ull * 70000000ull * 2ull;
    {
        std::ofstream f(prog.dir() / "big.Kdat", std::ios::binary);
        f.seekp(static_cast<std::streamoff>(offset));
        const std::string w = words({11, 22});
        f.write(w.data(), static_cast<std::streamsize>(w.size()));
    }
    GstrKdatFile = prog.win("big.Kdat");
    GAcqParam.wCh = 32;
    LoadRawSamples(70000000, 1);
    ASSERT_EQ(RawSampleBuffer.size(), 32u);
    EXPECT_EQ(RawSampleBuffer[0], 11);
    EXPECT_EQ(RawSampleBuffer[1], 22);
    EXPECT_EQ(RawSampleBuffer[2], 0);
}

// ---- time ----

TEST_F(IniSetTest, PointTimeConversions) {
    GAcqParam.nSClock = 1000;
    EXPECT_EQ(MsToPoint(250), 250.0f);
    GAcqParam.nSClock = 50;
    EXPECT_FLOAT_EQ(PointToMs(3), 0.15f);
    EXPECT_FLOAT_EQ(PointToSec(3000), 0.15f);
    EXPECT_EQ(FreqToPeriodUs(1000), 1000.0f);
    EXPECT_EQ(errorNumber([] { FreqToPeriodUs(0); }), 11);
    GAcqParam.nSClock = 0;
    EXPECT_EQ(errorNumber([] { MsToPoint(5); }), 11);
}

TEST_F(IniSetTest, DaysHoursMinutesSeconds) {
    EXPECT_EQ(FormatDHMS(90061), "0001010101");
    EXPECT_EQ(FormatDHMS(59), "0000000059");
    EXPECT_EQ(GetDaysStr(90061 + 86400 * 11), "0012");
    EXPECT_EQ(GetHoursStr(7200), "02");
    EXPECT_EQ(GetMinutesStr(180), "03");
    EXPECT_EQ(GetSecondsStr(61), "01");
    EXPECT_EQ(DHMSToSec("0", "1", "1", "1"), 3661);
    EXPECT_EQ(DHMSToSec("1", "0", "0", "0"), 86400);
    // Each step rounds halves to even.
    EXPECT_EQ(DHMSToSec("0", "0", "0", "2.5"), 2);
    EXPECT_EQ(DHMSToSec("0", "0", "0", "3.5"), 4);
    EXPECT_EQ(DHMSToSec("0", "0", "0.5", "0.5"), 30);
    EXPECT_EQ(DHMSToSec("x", "", "2min", "5s"), 125);
    EXPECT_EQ(DHMSToSec("24855", "3", "14", "7"), INT32_MAX);
    EXPECT_EQ(DHMSToSec("24855", "3", "14", "8"), std::nullopt);
    EXPECT_EQ(DHMSToSec("0", "0", "0", "1e999"), std::nullopt);
}

TEST_F(IniSetTest, FindIndexSortedGivesTheLastEntryAtOrBelow) {
    const std::vector<int32_t> t{10, 20, 30, 40};
    EXPECT_EQ(FindIndexSorted(t, 5), 0);
    EXPECT_EQ(FindIndexSorted(t, 10), 0);
    EXPECT_EQ(FindIndexSorted(t, 15), 0);  // between table(0) and table(1)
    EXPECT_EQ(FindIndexSorted(t, 20), 1);
    EXPECT_EQ(FindIndexSorted(t, 25), 1);
    EXPECT_EQ(FindIndexSorted(t, 35), 2);
    EXPECT_EQ(FindIndexSorted(t, 40), 3);
    EXPECT_EQ(FindIndexSorted(t, 45), 3);
    const std::vector<int32_t> odd{0, 100, 200, 300, 400};
    EXPECT_EQ(FindIndexSorted(odd, 250), 2);
    EXPECT_EQ(FindIndexSorted(odd, 300), 3);
    EXPECT_EQ(FindIndexSorted(odd, 101), 1);
    EXPECT_EQ(FindIndexSorted({7}, 3), 0);
    EXPECT_EQ(FindIndexSorted({7}, 9), 0);
    EXPECT_EQ(FindIndexSorted({10, 20}, 11), 0);
    EXPECT_EQ(FindIndexSorted({10, 20}, 19), 0);
    EXPECT_EQ(errorNumber([] { FindIndexSorted({}, 1); }), 9);
}

// ---- preset limits ----

TEST_F(IniSetTest, PresetLimitByBoard) {
    EXPECT_EQ(CalcPresetLimit(1000, 1000, 8, 16, false), 1800);
    EXPECT_EQ(CalcPresetLimit(1000, 20, 8, 25, true), 90000);
    EXPECT_EQ(CalcPresetLimit(1000, 1000, 8, 28, false), 7200);
    EXPECT_EQ(CalcPresetLimit(1000, 1000, 8, 0, false), 134217);
    // With the trigger: one page of 8 channels for 1 s at 1 kHz is 16000 bytes.
    EXPECT_EQ(CalcPresetLimit(1000, 1000, 8, 0, true), 134216);
    EXPECT_EQ(CalcPresetLimitJINS(), 53687);
}

TEST_F(IniSetTest, PresetLimitNeverDividesByZero) {
    EXPECT_EQ(CalcPresetLimit(1000, 1000, 0, 0, true), -1);   // empty page
    EXPECT_EQ(CalcPresetLimit(0, 1000, 8, 0, true), -1);      // zero time per full scale
    EXPECT_EQ(CalcPresetLimit(1000, 0, 8, 0, false), -1);     // no rate
    EXPECT_EQ(CalcPresetLimit(1000, 0, 8, 16, false), -1);
    EXPECT_EQ(CalcPresetLimit(1000, 1000, 0, 0, false), -1);  // no channels
    EXPECT_EQ(CalcPresetLimit(1000, 3000000, 8, 16, false), -1);  // period rounds to 0
    // One byte a page: 2^31 pages minus one still fits 32 bits.
    EXPECT_EQ(CalcPresetLimit(500, 1, 1, 0, true), 2147483647);
}

TEST_F(IniSetTest, PresetLimitFromTheMainWindowsLists) {
    EXPECT_EQ(CalcPresetLimit(), -1);  // no main window
    auto& main = loadMain();
    auto& timeFs = static_cast<forms::ListControl&>(main.control("cmbTimeFS"));
    auto& rate = static_cast<forms::ListControl&>(main.control("cmbSampleFreq"));
    timeFs.AddItem("1 (sec/F.S.)");
    timeFs.setItemData(0, 1000);
    rate.AddItem(" 1k (Hz)");
    rate.setItemData(0, 1000);
    GAcqCondition.lCHCnt = 8;
    EXPECT_EQ(CalcPresetLimit(), -1);  // nothing selected
    timeFs.setListIndex(0);
    rate.setListIndex(0);
    EXPECT_EQ(CalcPresetLimit(), 134217);
    GAcqCondition.strTRIGGER_SETTING = "1";
    EXPECT_EQ(CalcPresetLimit(), 134216);
    CBoard::instance().SelectBoard(28);
    EXPECT_EQ(CalcPresetLimit(), 7200);
}

TEST_F(IniSetTest, TriggerTimesComeFromTheHiddenWindowsList) {
    EXPECT_EQ(GetTrigDateTime(0), "");
    auto& state = apptest::loadStandIn<StateTag>(
        "Acqisition2", {{forms::ControlType::ListBox, "lstTrigDateTime"}});
    auto& list = static_cast<forms::ListControl&>(state.control("lstTrigDateTime"));
    list.AddItem("001,2024/01/31 10:00:00");
    list.AddItem("002,2024/01/31 10:00:05");
    list.AddItem("3");
    EXPECT_EQ(GetTrigDateTime(1), "2024/01/31 10:00:05");
    EXPECT_EQ(list.ListIndex(), 1);
    EXPECT_EQ(GetTrigDateTime(2), "");  // shorter than five characters
    EXPECT_EQ(list.ListIndex(), 2);
    EXPECT_EQ(GetTrigDateTime(3), "");
    EXPECT_EQ(GetTrigDateTime(-1), "");
    EXPECT_EQ(list.ListIndex(), 2);  // untouched
}

// ---- logs ----

TEST_F(IniSetTest, DailyLogsAppendQuotedLinesPerDayAndYear) {
    double now = basic::DateSerial(2024, 12, 31) + basic::TimeSerial(23, 59, 58);
    basic::setClock([&] { return now; });
    WriteLog("::cmdOK_Click", true);
    WriteLog("say \"hi\" 日本", false);
    const auto day = std::filesystem::path("LOG") / "2024" / "Log_Quorvane_20241231.txt";
    EXPECT_EQ(prog.readBytes(day),
              "\"2024/12/31 23:59:58,::cmdOK_Click\"\r\n\"say \"hi\" \x93\xfa\x96\x7b\"\r\n");
    now = basic::DateSerial(2025, 1, 1) + basic::TimeSerial(0, 0, 1);
    WriteRemoteLog("r", true);
    EXPECT_EQ(prog.readBytes(std::filesystem::path("LOG") / "2025" / "REMLOG_Quorvane_20250101.txt"),
              "\"2025/01/01 00:00:01,r\"\r\n");
}

TEST_F(IniSetTest, LogWriteFailureIsReported) {
    prog.writeBytes("LOG", "a file where the folder should be");
    EXPECT_NE(errorNumber([] { WriteLog("x", true); }), 0);
}
