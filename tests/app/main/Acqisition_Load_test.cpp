// Opening recordings in the main window, headless: from the button with a typed name, by drop
// and by name; the refusals and errors that must leave the previous recording exactly as it
// was; the windowed read with its chunks and closing point; the camera part; the load history.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "tests/app/camera/FlameList_testsupport.h"
#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"
#include "tests/app/recording/CKdat_testsupport.h"
#include "app/camera/frmCAMDisp.h"
#include "app/camera/modCAM.h"
#include "app/channel/CCalSetting.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/common/frmMessage.h"
#include "app/common/modIniFile.h"
#include "app/common/modSub_Combobox.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Globals.h"

using namespace qv;
using apptest::RecordingSpec;

namespace {

// Everything a refused load must leave alone.
struct Snapshot {
    AcqParam param;
    AcqCondition condition;
    std::vector<float> display;
    std::string kpar, kdat, avi, flm, ini, name;
    CalRecordArray eu{}, volt{};
    std::string names, units;
    std::vector<std::string> ranges;
    std::vector<int32_t> frames;

    static Snapshot take(Acqisition& w) {
        Snapshot s{GAcqParam, GAcqCondition, {}, GstrKparFile, GstrKdatFile, GstrAviFile, GstrFlmFile,
                   GetIniFileName(), w.txtFName.Text(), GCalRecEU, GCalRecVolt, GstrCalNames,
                   GstrCalUnits, {}, GlFlameTime};
        for (int32_t c = 0; c < DispWaveArray.Channels(); ++c)
            for (int32_t p = 0; p < DispWaveArray.Points(); ++p) s.display.push_back(DispWaveArray(p, c));
        for (int32_t i = 0; i < 32; ++i) {
            s.ranges.push_back(w.txtDR_WaveHi(i).Text());
            s.ranges.push_back(w.txtDR_WaveLo_V(i).Text());
        }
        return s;
    }
    void expectSame(const Snapshot& o) const {
        EXPECT_TRUE(param == o.param);
        EXPECT_TRUE(condition == o.condition);
        EXPECT_EQ(display, o.display);
        EXPECT_EQ(kpar, o.kpar);
        EXPECT_EQ(kdat, o.kdat);
        EXPECT_EQ(avi, o.avi);
        EXPECT_EQ(flm, o.flm);
        EXPECT_EQ(ini, o.ini);
        EXPECT_EQ(std::memcmp(&eu, &o.eu, sizeof eu), 0);
        EXPECT_EQ(std::memcmp(&volt, &o.volt, sizeof volt), 0);
        EXPECT_EQ(names, o.names);
        EXPECT_EQ(units, o.units);
        EXPECT_EQ(ranges, o.ranges);
        EXPECT_EQ(frames, o.frames);
    }
};

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlFlameTime.clear();
        w = &Acqisition::instance();
        driver.run([this] { w->Show(); });
        // Identity calibration on the recorded channels: the display shows the raw words.
        w->chkUseCAL.setValue(1);
    }
    void TearDown() override {
        GAcqParam = AcqParam{};
        ClearFileNameGlobals();
        GlFlameTime.clear();
    }
    void write(const RecordingSpec& layout, const std::string& base) { layout.Write(prog.dir(), base); }
    // A click on LOAD with the base name typed into the box.
    void clickLoad(const std::string& base) {
        ASSERT_TRUE(driver.type(w->txtFName, base.empty() ? "" : prog.win(base)));
        ASSERT_TRUE(driver.click(w->cmdLoad));
    }
    std::string lastMessage() const {
        return driver.msgBoxes().empty() ? std::string() : driver.msgBoxes().back().prompt;
    }
    std::string history(int32_t i) {
        IniPathGuard g(ProgramFile("Tolvane.ini"));
        return ReadIniString("HISTORY", "ITEM_" + std::string(i < 10 ? "0" : "") + std::to_string(i), "");
    }
    // The list position of a board of fixed channels (1-9), the remote host chosen: a load from
    // the AD board then lays that board out and puts its channels in the channel box.
    static std::string fixedBoard() {
        InstanceMode = 0;
        frmCondition::instance().optGetRemoteHost.setValue(true);
        return std::to_string(ComboBox_FindItem(frmCondition::instance().cmbADBoard, "VylB50[＋5]"));
    }
    // The default sample of RecordingSpec.
    static float raw(int32_t p, int32_t c) {
        const int32_t v = (c / 2) * 100 + p;
        return static_cast<float>(c % 2 == 0 ? v : -v);
    }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
};

// ---- The load road ----

TEST_F(LoadTest, AClickLoadsTheTypedNameAndShowsItsFirstPage) {
    write(RecordingSpec(4, 100, 300), "rec");
    clickLoad("rec");
    EXPECT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    EXPECT_EQ(GstrKparFile, prog.win("rec") + ".Kpar");
    EXPECT_EQ(GstrKdatFile, prog.win("rec") + ".Kdat");
    EXPECT_EQ(GstrAviFile, prog.win("rec") + ".AVI");
    EXPECT_EQ(GstrFlmFile, prog.win("rec") + ".FLM");
    EXPECT_EQ(GAcqParam.PTotal, 300);
    EXPECT_EQ(GAcqParam.wCh, 4);
    const int32_t page = GAcqParam.lSweepPoint;
    ASSERT_GT(page, 0);
    ASSERT_EQ(DispWaveArray.Channels(), 4);
    ASSERT_EQ(DispWaveArray.Points(), page + 1);
    for (int32_t c = 0; c < 4; ++c)
        for (int32_t p = 0; p <= page; ++p) ASSERT_EQ(DispWaveArray(p, c), raw(p, c)) << p << "," << c;
    EXPECT_EQ(w->TXTComment(0).Text(), "hello");
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_FALSE(GAcqParam.GbLoading);
    EXPECT_FALSE(w->bInternalUpdate);
    EXPECT_TRUE(w->Enabled() && w->Frame5.Enabled() && w->fraCtrl.Enabled() && w->cmdLoad.Enabled());
    EXPECT_FALSE(frmMessage::instance().Visible());
    EXPECT_TRUE(w->timSaveImage.Enabled());
    EXPECT_EQ(history(0), prog.win("rec"));
}

TEST_F(LoadTest, TheFlagsStandAsTheLoadNeedsThemWhileItRuns) {
    write(RecordingSpec(2, 100, 300), "rec");
    w->chkL2L.setValue(1);
    std::vector<bool> resetting;
    auto l2l = w->chkL2L.Click.connect([&] { resetting.push_back(w->bCalCheckReset); });
    bool loadingAtCursor = true;
    auto paint = w->PBXMoniDisp.Paint.connect([&] { loadingAtCursor = GAcqParam.GbLoading; });
    std::vector<bool> internalAtRate;
    auto rate = w->cmbSampleFreq.Click.connect([&] { internalAtRate.push_back(w->bInternalUpdate); });
    clickLoad("rec");
    EXPECT_EQ(resetting, std::vector<bool>{true});
    EXPECT_EQ(w->chkL2L.Value(), 0);
    EXPECT_FALSE(loadingAtCursor);  // the repaint comes after the flag is down
    ASSERT_FALSE(internalAtRate.empty());
    for (bool b : internalAtRate) EXPECT_TRUE(b);
    EXPECT_FALSE(w->bAutoCall);
}

TEST_F(LoadTest, TheListHandlersAskNothingDuringALoad) {
    // A trigger recording replacing loaded data: the time-scale list would ask before clearing.
    write(RecordingSpec(2, 100, 300), "first");
    clickLoad("first");
    RecordingSpec trigger(2, 1000, 3000);
    trigger.set("Condition", "strTRIGGER_SETTING", "1").set("P", "lcmbTimeFS_ListIndex", "6");
    write(trigger, "trig");
    frmCondition::instance().optGetADBoard.setValue(true);  // a board that triggers
    clickLoad("trig");  // an unanswered question would fail the test
    EXPECT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    EXPECT_TRUE(IsTriggerSetting());
    EXPECT_EQ(GAcqParam.PTotal, 3000);
}

TEST_F(LoadTest, TheRefusalsTellWhatIsMissingAndChangeNothing) {
    write(RecordingSpec(2, 100, 300), "good");
    clickLoad("good");
    const Snapshot before = Snapshot::take(*w);

    driver.answerMsgBox(forms::vbOK);
    clickLoad("");
    EXPECT_EQ(lastMessage(), "LOAD できません。\r\nファイル名が入力されていません。\r\nファイル名を入力して下さい。");
    EXPECT_EQ(driver.msgBoxes().back().style, 48);

    write(RecordingSpec(2, 100, 300), "onlydata");
    std::filesystem::remove(prog.dir() / "onlydata.Kpar");
    driver.answerMsgBox(forms::vbOK);
    clickLoad("onlydata");
    EXPECT_EQ(lastMessage(), "対応するKparファイルがありません。"
                             "Kdatに対応するKparが存在するファイル名を設定しないと読出しはできません.");
    EXPECT_EQ(driver.msgBoxes().back().style, 48);
    write(RecordingSpec(2, 100, 300).set("P", "nSClock", "300"), "odd");  // a rate no list offers
    driver.answerMsgBox(forms::vbOK);
    clickLoad("odd");
    EXPECT_EQ(lastMessage(), "LOAD できません。\r\nサンプリング周波数 3333.3 (Hz) は、この記録の A/D ボード、CH 数、"
                             "Sweep Time では選択できないため、表示できません。");
    ASSERT_TRUE(driver.type(w->txtFName, before.name));
    Snapshot::take(*w).expectSame(before);
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_TRUE(w->Enabled() && w->cmdLoad.Enabled());
}

TEST_F(LoadTest, ABadRecordingIsAFileErrorThatLeavesThePreviousOneWhole) {
    RecordingSpec good(3, 100, 300, 2);
    good.set("Acqisition", "txtDR_WaveHi(1)", "77");
    write(good, "good");
    clickLoad("good");
    const Snapshot before = Snapshot::take(*w);
    struct Case {
        const char* what;
        std::function<void(RecordingSpec&)> change;
        int error;
    };
    const std::vector<Case> cases = {
        {"channel count", [](RecordingSpec& s) { s.set("P", "wCh", "5"); }, 9},
        {"channels past 32", [](RecordingSpec& s) { s.set("Condition", "lEndCH", "33"); }, 9},
        {"channel text of another range", [](RecordingSpec& s) { s.set("Condition", "strCH", "2-5"); }, 9},
        {"no samples a tenth", [](RecordingSpec& s) { s.set("P", "nSample", "0"); }, 9},
        {"no sample period", [](RecordingSpec& s) { s.set("P", "nSClock", "0"); }, 11},
        {"bad number", [](RecordingSpec& s) { s.set("P", "PTotal", "many"); }, 13},
        {"marks", [](RecordingSpec& s) { s.set("MARK", "MARK(0)", "100"); }, 9},
        {"camera without frames",
         [](RecordingSpec& s) {
             s.set("Condition", "strCameraSetting", "1").set("GLOBAL", "GlCapNum", "4");
         },
         53},
        {"frame list too short",
         [this](RecordingSpec& s) {
             s.set("Condition", "strCameraSetting", "1").set("GLOBAL", "GlCapNum", "4");
             prog.writeBytes("bad.FLM", apptest::flameListBytes({0, 1, 2}));
         },
         62},
    };
    for (const Case& c : cases) {
        RecordingSpec bad(3, 100, 300, 2);
        bad.set("Acqisition", "txtDR_WaveHi(1)", "-5");
        std::filesystem::remove(prog.dir() / "bad.FLM");
        c.change(bad);
        write(bad, "bad");
        const size_t shown = driver.msgBoxes().size();
        driver.answerMsgBox(forms::vbOK);
        clickLoad("bad");
        ASSERT_EQ(driver.msgBoxes().size(), shown + 1) << c.what;
        EXPECT_EQ(lastMessage(), "File Error CODE= " + std::to_string(c.error) + "    AT LOAD(Data)-Sub.")
            << c.what;
        EXPECT_EQ(driver.msgBoxes().back().style, 0);
        ASSERT_TRUE(driver.type(w->txtFName, before.name));
        Snapshot::take(*w).expectSame(before);
        EXPECT_EQ(GAcqParam.ModeString, "End") << c.what;
        EXPECT_TRUE(w->Enabled() && w->Frame5.Enabled() && w->fraCtrl.Enabled()) << c.what;
        EXPECT_FALSE(frmMessage::instance().Visible()) << c.what;
    }
}

// A board that scans a fixed set of channels (1-9), at the list position the file stores.
TEST_F(LoadTest, ARecordingKeepsItsOwnChannelsOnABoardOfFixedChannels) {
    forms::ComboBox& boards = frmCondition::instance().cmbADBoard;
    int fixed = 0;
    while (fixed < boards.ListCount() && boards.ItemData(fixed) != 16) ++fixed;
    write(RecordingSpec(3, 100, 300, 2).set("Condition", "lADBOARD_ID", std::to_string(fixed)), "rec");
    clickLoad("rec");
    EXPECT_EQ(boards.ListIndex(), fixed);
    EXPECT_EQ(GAcqCondition.lStartCH, 2);
    EXPECT_EQ(GAcqCondition.lEndCH, 4);
    EXPECT_TRUE(driver.msgBoxes().empty());
}

// Texts that state no range, on a board of fixed channels and on a plain one, the trigger channel
// stored as 3 at position 2 (channel 4): the range of the file, and the trigger channel of any load.
TEST_F(LoadTest, AChannelTextThatStatesNoRangeLoadsWithTheRecordingsRangeAndTriggerChannel) {
    for (const char* text : {"1-2-3", "", "99999999999", "1-99999999999"})
        for (const std::string& board : {fixedBoard(), std::string("1")}) {
            write(RecordingSpec(3, 100, 300, 2).set("Condition", "strCH", text).set("Condition", "lADBOARD_ID", board)
                      .set("Condition", "strCOMP_CH", "3").set("Condition", "lCOMP_CH_ID", "2"), "rec");
            clickLoad("rec");
            const AcqCondition& c = GAcqCondition;
            EXPECT_EQ(std::tuple(c.lStartCH, c.lEndCH, frmCondition::instance().txtCH.Text(), c.strCOMP_CH),
                      std::tuple(2, 4, "2-4", "4")) << text << " " << board;
        }
}

// Channels 3-6 at 50 kHz after 1-16, in the current folder, channel 5 without range box and CAL.
TEST_F(LoadTest, ARecordingIsShownInItsOwnTermsWhateverWasShownBefore) {
    write(RecordingSpec(16, 100, 300), "wide");
    clickLoad("wide");
    std::filesystem::create_directory(prog.dir() / "cwd");
    RecordingSpec(4, 50000, 600, 3).set("Condition", "lADBOARD", "10").set("P", "DR_WaveHi(4)", "7")
        .set("CAL", "Cal(4).fCAL_AD", "0").remove("Acqisition", "txtDR_WaveHi(4)").Write(prog.dir() / "cwd", "narrow");
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(prog.dir() / "cwd");
    driver.answerMsgBox(forms::vbOK);
    ASSERT_TRUE(driver.type(w->txtFName, "narrow") && driver.click(w->cmdLoad));
    std::filesystem::current_path(home);
    EXPECT_EQ(lastMessage(), "次の CH は校正値がないか無効なため、入力電圧で表示します。\r\nCH5");
    EXPECT_EQ(driver.msgBoxes().back().style, 64);
    EXPECT_EQ(GstrKdatFile, prog.win("cwd\\narrow.Kdat"));
    EXPECT_EQ(history(0), "narrow");
    EXPECT_EQ(w->cmbSampleFreq.Text(), "50k (Hz)");
    EXPECT_EQ(GAcqParam.DR_WaveHi[4], 7.0f);
    const std::vector<std::string> units{"(mV)", "(mV)", "(V)", "(mV)", ""};
    for (int i = 2; i <= 6; ++i) EXPECT_EQ(w->lblUnit(i).Caption(), units[i - 2]) << i;
    EXPECT_TRUE(std::isfinite(DispWaveArray(0, 2)) && DispWaveArray(0, 2) != 0.0f);
}

// ---- Data files shorter than the recording, or missing ----

TEST_F(LoadTest, AShortDataFileIsToldAndOnlyItsWholeScansAreShown) {
    RecordingSpec layout(2, 100, 300);
    layout.kdatBytes = 2 * 2 * 250 + 3;  // 250 whole scans and a piece
    write(layout, "short");
    driver.answerMsgBox(forms::vbOK);
    clickLoad("short");
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].style, 48);
    EXPECT_NE(lastMessage().find("250"), std::string::npos);
    EXPECT_EQ(GAcqParam.PTotal, 250);
    // The last page is the last full page of the scans present.
    ASSERT_TRUE(driver.click(w->cmdMoveNextFirst));
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, 250 - GAcqParam.lSweepPoint);
    EXPECT_EQ(DispWaveArray(GAcqParam.lSweepPoint, 0), raw(249, 0));
}

TEST_F(LoadTest, WithoutADataFileEveryChannelShowsTheCalibrationOfZero) {
    RecordingSpec layout(2, 100, 300);
    layout.writeKdat = false;
    layout.set("CAL", "Cal(1).fEU_LO", "-3");
    write(layout, "nodata");
    clickLoad("nodata");
    EXPECT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    EXPECT_EQ(GAcqParam.PTotal, 300);
    for (int32_t p = 0; p <= GAcqParam.lSweepPoint; ++p) {
        ASSERT_EQ(DispWaveArray(p, 0), 0.0f);
        ASSERT_EQ(DispWaveArray(p, 1), -3.0f);
    }
}

// An A/D value beyond a Long cannot be shown in the table: the showing ends at its row and the
// log says why, but the load runs to its end and the recording pages and draws as any other.
TEST_F(LoadTest, ACalibrationValueTheTableCannotShowIsLoggedAndTheLoadFinishes) {
    RecordingSpec layout(2, 100, 300);
    layout.set("CAL", "Cal(1).fCAL_AD", "1e20");
    write(layout, "huge");
    clickLoad("huge");
    EXPECT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    EXPECT_GE(apptest::dayLogLines(prog.dir(), "校正値を表示できませんでした。(6 "), 1u);
    EXPECT_EQ(GstrKparFile, prog.win("huge") + ".Kpar");
    EXPECT_EQ(GAcqParam.PTotal, 300);
    EXPECT_EQ(GCalRecEU[1].Cal_AD, 1e20f);
    EXPECT_TRUE(w->txtCALAD(0).Visible());
    EXPECT_EQ(w->txtCALAD(0).Text(), "1");
    EXPECT_FALSE(w->txtCALAD(1).Visible());
    // The steps after the table ran: the first page read, the history, the closing steps.
    const int32_t page = GAcqParam.lSweepPoint;
    ASSERT_EQ(DispWaveArray.Points(), page + 1);
    for (int32_t p = 0; p <= page; ++p) ASSERT_EQ(DispWaveArray(p, 0), raw(p, 0)) << p;
    EXPECT_EQ(history(0), prog.win("huge"));
    EXPECT_TRUE(w->timSaveImage.Enabled());
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_FALSE(GAcqParam.GbLoading);
    EXPECT_TRUE(w->Enabled() && w->cmdLoad.Enabled());

    ASSERT_TRUE(driver.click(w->cmdMoveNextFirst));
    EXPECT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    EXPECT_EQ(GAcqParam.lPosWAVE_Start, 300 - page);
    EXPECT_EQ(DispWaveArray(page, 0), raw(299, 0));
    EXPECT_NEAR(DispWaveArray(page, 1), raw(299, 1) / 1e20f, 1e-25f);
}

// ---- The windowed read ----

class WindowTest : public LoadTest {
protected:
    void load(int32_t scans, int32_t channels = 3, int32_t startCH = 1) {
        write(RecordingSpec(channels, 1000, scans, startCH), "big");
        clickLoad("big");
        ASSERT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    }
    void expectWindow(int32_t start, int32_t count) {
        ASSERT_EQ(DispWaveArray.Points(), count + 1);
        for (int32_t c = 0; c < DispWaveArray.Channels(); ++c)
            for (int32_t p = 0; p < count; ++p)
                ASSERT_EQ(DispWaveArray(p, c), raw(start + p, c)) << "point " << p << " channel " << c;
    }
};

TEST_F(WindowTest, WindowsBelowAtAndAboveTenThousandPointsAreReadWhole) {
    load(40000);
    for (int32_t count : {9999, 10000, 10005, 10015, 12347}) {
        int32_t start = 7, n = count;
        w->LoadWave_Sweep(start, n);
        expectWindow(7, count);
        EXPECT_EQ(DispWaveArray(count, 2), raw(7 + count, 2)) << count;  // the next page's first
    }
    int32_t start = 0, page = kOnePage;
    w->LoadWave_Sweep(start, page);
    EXPECT_EQ(page, GAcqParam.lSweepPoint);  // one page, written back
}

TEST_F(WindowTest, TheLastPageRepeatsItsLastPointAndAWindowPastTheEndKeepsOnlyItsValidPoints) {
    load(20000);
    int32_t start = 20000 - 12000, count = 12000;
    w->LoadWave_Sweep(start, count);
    expectWindow(start, count);
    EXPECT_EQ(DispWaveArray(count, 1), raw(19999, 1));

    start = 15000;
    count = 10010;  // 5000 valid points
    w->LoadWave_Sweep(start, count);
    for (int32_t p = 0; p < 5000; ++p) ASSERT_EQ(DispWaveArray(p, 0), raw(15000 + p, 0));
    for (int32_t p = 5000; p < count; ++p) ASSERT_EQ(DispWaveArray(p, 0), 0.0f) << p;
    EXPECT_EQ(DispWaveArray(count, 0), raw(19999, 0));
}

TEST_F(WindowTest, BothRecordArraysAreTakenAtTheAbsoluteChannel) {
    RecordingSpec layout(3, 1000, 3000, 3);  // channels 3..5
    layout.set("CAL", "Cal(2).fEU_HI", "2").set("CAL", "Cal(3).fEU_HI", "3").set("CAL", "Cal(4).fEU_HI", "4");
    write(layout, "upper");
    clickLoad("upper");
    ASSERT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    int32_t start = 10, count = 5;
    w->LoadWave_Sweep(start, count);
    for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(DispWaveArray(0, c), raw(10, c) * static_cast<float>(c + 2)) << c;

    w->chkUseCAL.setValue(0);
    for (int32_t i = 0; i < 32; ++i) GCalRecVolt[i] = {static_cast<float>(10 * i), 0.0f, 1.0f, 0.0f};
    w->LoadWave_Sweep(start, count);
    for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(DispWaveArray(1, c), raw(11, c) * static_cast<float>(10 * (c + 2))) << c;
    EXPECT_EQ(DispWaveArray(count, 2), raw(15, 2) * 40.0f);  // the closing point too
}

TEST_F(WindowTest, AnUnknownAmplifierGivesTheDefaultVoltConversion) {
    // The live board label is changed as the calibration step begins.
    w->optCalAcq.setValue(true);
    auto watch = w->optCalDisp.Click.connect([] { GAcqCondition.strADBOARD = "no such board"; });
    write(RecordingSpec(2, 1000, 3000), "rec");
    clickLoad("rec");
    ASSERT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    const CCalSetting fresh;
    for (int32_t i : {0, 1, 31}) {
        EXPECT_EQ(GCalRecVolt[i].EU_HI, basic::CSng(basic::Val(fresh.EU_HI(i)))) << i;
        EXPECT_EQ(GCalRecVolt[i].Cal_AD, basic::CSng(basic::Val(fresh.Cal_AD(i)))) << i;
    }
    EXPECT_EQ(GAcqParam.PTotal, 3000);
}

TEST_F(WindowTest, ARecordingWrittenByTheRecordingObjectLoadsFromTheButton) {
    apptest::WriteKdatStoreCalibration();
    apptest::KdatRecordingSpec layout;
    layout.channels = 3;
    layout.frames = 25;  // 2,500 scans at 1 kHz
    ASSERT_EQ(apptest::WriteKdatRecording(prog.win("obj.Kdat"), layout), 2500);
    clickLoad("obj");
    ASSERT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    EXPECT_EQ(GAcqParam.PTotal, 2500);
    const int32_t page = GAcqParam.lSweepPoint, valid = std::min(page, 2500);
    for (int32_t c = 0; c < 3; ++c) {
        const CalRecord& r = GCalRecEU[static_cast<size_t>(c)];
        EXPECT_EQ(r.Cal_AD, 1000.0f + c);
        for (int32_t p = 0; p < valid; ++p) {
            const float want = r.EU_LO + (apptest::KdatPatternSample(p, c) - r.Base_AD) *
                                             (r.EU_HI - r.EU_LO) / r.Cal_AD;
            ASSERT_NEAR(DispWaveArray(p, c), want, 1e-4f * std::max(1.0f, std::fabs(want))) << p << "," << c;
        }
    }
}

// ---- Camera recordings ----

TEST_F(LoadTest, ACameraRecordingReadsItsFrameListAndATriggerRecordingOpensNoCameraFile) {
    RecordingSpec cam(2, 100, 300);
    cam.set("Condition", "strCameraSetting", "1").set("GLOBAL", "GlCapNum", "3").set("GLOBAL", "GlADCGETCnt", "2");
    cam.set("Condition", "strResolution", "640,480");
    write(cam, "cam");
    prog.writeBytes("cam.FLM", apptest::flameListBytes({0, 10, 10}, {42, 43}));
    clickLoad("cam");
    ASSERT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    EXPECT_EQ(GlFlameTime, (std::vector<int32_t>{0, 10, 10}));
    EXPECT_EQ(GsngFlameTime, (std::vector<float>{0, 10, 10}));
    EXPECT_EQ(GlTime_ADCGET, (std::vector<int32_t>{42, 43}));
    frmCAMDisp& camera = frmCAMDisp::instance();
    EXPECT_TRUE(camera.Visible());
    EXPECT_TRUE(camera.optDispType(1).Value());
    EXPECT_EQ(camera.txtGlTime_ADSTART.Text(), "0");
    EXPECT_EQ(camera.txtlstGlTime_ADCGET.Text(), "42");
    EXPECT_EQ(camera.MCAVIDmy().AVIFileName(), GstrAviFile);
    EXPECT_EQ(camera.lCameraWidth, GAcqCondition.lCameraWidth);

    // The same recording with the trigger setting on needs no frame list at all.
    std::filesystem::remove(prog.dir() / "cam.FLM");
    cam.set("Condition", "strTRIGGER_SETTING", "1");
    write(cam, "trig");
    clickLoad("trig");
    EXPECT_EQ(driver.msgBoxes().size(), 0u) << lastMessage();
    EXPECT_EQ(GstrKparFile, prog.win("trig") + ".Kpar");
}

// ---- Drops, calls by name, history ----

TEST_F(LoadTest, DropsLoadRecordingsInAnyCaseAndApplyDroppedSettings) {
    write(RecordingSpec(2, 100, 300), "a");
    write(RecordingSpec(3, 100, 200), "b");
    std::vector<bool> autoCall;
    auto watch = w->cmdLoad.Click.connect([&] { autoCall.push_back(w->bAutoCall); });
    const auto dropped = [&](const std::string& name) {
        return driver.drop(*w, {prog.win(name)}).has_value();
    };
    ASSERT_TRUE(dropped("a.kdat"));
    EXPECT_EQ(w->txtFName.Text(), prog.win("a"));
    EXPECT_EQ(GAcqParam.PTotal, 300);
    ASSERT_TRUE(dropped("b.KPAR"));
    EXPECT_EQ(GAcqParam.PTotal, 200);
    ASSERT_TRUE(dropped("a.Kdat.JPG"));
    EXPECT_EQ(GAcqParam.PTotal, 300);
    ASSERT_TRUE(dropped("b.Kdat.jpg"));  // a lower-case ".jpg" is not stripped: nothing
    EXPECT_EQ(GAcqParam.PTotal, 300);
    // Several files load one after the other; the last stays.
    ASSERT_TRUE(driver.drop(w->PBXMoniDisp, {prog.win("a.Kpar"), prog.win("b.Kdat")}).has_value());
    EXPECT_EQ(GAcqParam.PTotal, 200);
    EXPECT_EQ(autoCall, std::vector<bool>(autoCall.size(), true));
    EXPECT_EQ(history(0), prog.win("b"));
    EXPECT_EQ(history(1), prog.win("a"));

    // A settings file becomes the settings file in force; the recording's name stays.
    prog.writeBytes("c.SET", "[Acqisition.txtIncDecEU]\r\nText=7\r\n");
    const std::string name = w->txtFName.Text();
    driver.answerMsgBox(forms::vbOK);  // the local board's question before its data is cleared
    ASSERT_TRUE(dropped("c.SET"));
    EXPECT_EQ(GstrSettingFile, prog.win("c.SET"));
    EXPECT_EQ(w->txtFName.Text(), name);
    EXPECT_EQ(w->txtIncDecEU.Text(), "7");
    EXPECT_FALSE(w->bAutoCall);
}

TEST_F(LoadTest, LoadKdatLoadsTheNameInTheBoxAsARequest) {
    write(RecordingSpec(2, 100, 300), "rec");
    ASSERT_TRUE(driver.type(w->txtFName, prog.win("rec")));
    bool request = false;
    auto watch = w->PBXMoniDisp.Paint.connect([&] { request = w->bAutoCall; });
    driver.run([&] { w->LoadKdat(); });
    EXPECT_TRUE(request);
    EXPECT_FALSE(w->bAutoCall);
    EXPECT_EQ(GAcqParam.PTotal, 300);
    driver.run([&] { w->CallFunc("cmdLoad_Click"); });
    EXPECT_EQ(history(1), prog.win("rec"));
}

TEST_F(LoadTest, TheHistoryKeepsTwentyLoadsNewestFirstWithRepeats) {
    for (const char* n : {"A", "B"}) write(RecordingSpec(1, 100, 100), n);
    clickLoad("A");
    clickLoad("B");
    clickLoad("A");
    EXPECT_EQ(history(0), prog.win("A"));
    EXPECT_EQ(history(1), prog.win("B"));
    EXPECT_EQ(history(2), prog.win("A"));
    EXPECT_EQ(history(3), "");
    const std::string current = GetIniFileName();
    w->txtFName.setText("X");
    for (int i = 0; i < 17; ++i) w->UpdateHistory();
    EXPECT_EQ(history(18), prog.win("B"));
    EXPECT_EQ(history(19), prog.win("A"));
    w->UpdateHistory();  // the twenty-first: the oldest falls off
    EXPECT_EQ(history(0), "X");
    EXPECT_EQ(history(19), prog.win("B"));
    EXPECT_EQ(GetIniFileName(), current);
}

}  // namespace
