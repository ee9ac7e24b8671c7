// The main window's sampling-rate list, the two list handlers with their confirmation and
// restore, the sweep synchronisation and the preset counter.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "app/channel/CBoard.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "platform/forms/Driver.h"

using namespace qv;

namespace {

class AcqisitionSamplingTest : public ::testing::Test {
protected:
    void SetUp() override {
        w = &Acqisition::instance();
        GAcqParam = AcqParam{};
        GAcqParam.ModeString = "End";
        GAcqCondition = AcqCondition{};
        GAcqCondition.strTRIGGER_SETTING = "0";
        CBoard::instance().SelectBoard(0);
        savedInstanceMode = InstanceMode;
        source(2);  // the terminal: samples from the remote host, so nothing is confirmed
        w->Show();
    }
    void TearDown() override {
        InstanceMode = savedInstanceMode;
        GAcqParam = AcqParam{};
        GAcqCondition = AcqCondition{};
    }
    // Instance mode 1 takes the local board, 2 the remote host.
    static void source(int32_t instanceMode) {
        InstanceMode = instanceMode;
        frmCondition::instance().ALL_BTN_ModeSet();
    }
    void build(int32_t board, int32_t channels, const std::string& sweep = "1000") {
        GAcqCondition.lADBOARD = board;
        GAcqCondition.lCHCnt = channels;
        GAcqCondition.strSWEEP_TIME = sweep;
        w->SetSamplingRate(false);
    }
    // A selection made in code runs the same Click as the user's; the rate list is never
    // enabled for the user in this viewer.
    void rate(const std::string& text) {
        w->cmbSampleFreq.setListIndex(w->cmbSampleFreq.FindExact(text));
    }
    void timeFs(int32_t ms) {
        for (int i = 0; i < w->cmbTimeFS.ListCount(); ++i)
            if (w->cmbTimeFS.ItemData(i) == ms) return w->cmbTimeFS.setListIndex(i);
        FAIL() << "no time per full scale of " << ms << " ms";
    }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
    int32_t savedInstanceMode = 0;
};

TEST_F(AcqisitionSamplingTest, RateListFollowsBoardChannelsAndSweepTime) {
    struct Case {
        int32_t board, channels;
        const char* sweep;
        int count;  // items: 7 base rates (10 Hz .. 1 kHz) plus the higher ones offered
    } cases[] = {
        {5, 1, "60000", 13}, {5, 1, "60001", 7}, {5, 3, "0", 11},  {5, 11, "0", 9},
        {6, 1, "0", 15},     {6, 2, "0", 13},    {6, 9, "0", 10},  {7, 2, "0", 12},
        {10, 2, "0", 14},    {10, 17, "0", 10},  {11, 1, "0", 15}, {11, 2, "0", 13},
        {12, 3, "10000", 8}, {13, 1, "0", 10},   {14, 2, "0", 11}, {15, 5, "0", 9},
        {16, 0, "0", 7},     {25, 1, "0", 7},    {28, 1, "0", 7},  {31, 1, "0", 7},
        {17, 1, "0", 14},    {18, 8, "0", 11},   {23, 1, "0", 13}, {24, 5, "0", 10},
        {26, 1, "0", 11},    {27, 5, "0", 8},    {29, 1, "0", 14}, {30, 17, "0", 9},
        {0, 1, "abc", 14},   {21, 9, "0", 11},   {-3, 4, "0", 13}, {11, -2, "0", 15},
    };
    const char* order[] = {" 10 (Hz)", " 20 (Hz)", " 50 (Hz)", "100 (Hz)", "200 (Hz)",
                           "500 (Hz)", " 1k (Hz)", " 2k (Hz)", " 5k (Hz)", "10k (Hz)",
                           "20k (Hz)", "50k (Hz)", "100k (Hz)", "200k (Hz)", "500k (Hz)"};
    const int hz[] = {10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000,
                      200000, 500000};
    for (const Case& c : cases) {
        build(c.board, c.channels, c.sweep);
        ASSERT_EQ(w->cmbSampleFreq.ListCount(), c.count) << c.board << ", " << c.channels;
        for (int i = 0; i < c.count; ++i) {
            EXPECT_EQ(w->cmbSampleFreq.List(i), order[i]) << c.board;
            EXPECT_EQ(w->cmbSampleFreq.ItemData(i), hz[i]) << c.board;
        }
    }
}

TEST_F(AcqisitionSamplingTest, RebuildKeepsTheRateOrFallsBackToOneKilohertz) {
    w->cmbSampleFreq.setListIndex(-1);
    build(11, 1);
    EXPECT_EQ(w->cmbSampleFreq.Text(), " 1k (Hz)");
    rate(" 5k (Hz)");
    GAcqParam.nSample = 0;
    build(11, 4);  // still offered: chosen again, and its Click runs again
    EXPECT_EQ(w->cmbSampleFreq.Text(), " 5k (Hz)");
    EXPECT_EQ(GAcqParam.nSample, 500);
    GAcqCondition.lADBOARD = 12;
    GAcqCondition.lCHCnt = 3;
    driver.answerMsgBox(forms::vbCancel);
    w->SetSamplingRate(true);
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].prompt,
              "この設定では、 5k (Hz)を選択することは出来ません。サンプリング周波数を 1k (Hz)に"
              "設定します。条件を変更して再度サンプリング周波数を設定してください。");
    EXPECT_EQ(driver.msgBoxes()[0].style, forms::vbOKCancel | forms::vbExclamation);
    EXPECT_EQ(driver.msgBoxes()[0].title, "サンプリング周波数");
    EXPECT_EQ(w->cmbSampleFreq.ListIndex(), 6);
    EXPECT_EQ(GAcqParam.nSample, 100);
    // Hidden, the fall-back is silent.
    build(11, 1);
    rate("50k (Hz)");
    w->Hide();
    GAcqCondition.lADBOARD = 12;
    w->SetSamplingRate(true);
    EXPECT_EQ(w->cmbSampleFreq.Text(), " 1k (Hz)");
    EXPECT_EQ(driver.msgBoxes().size(), 1u);
}

TEST_F(AcqisitionSamplingTest, CancelRestoresTheRecordAndTheListEntry) {
    source(1);
    build(0, 1);
    rate("10k (Hz)");
    GAcqParam.PTotal = 500;
    w->txtFName.setText("rec");
    const AcqParam before = GAcqParam;
    driver.answerMsgBox(forms::vbCancel);
    rate(" 2k (Hz)");
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].title, "適用");
    EXPECT_TRUE(GAcqParam == before);
    EXPECT_EQ(w->cmbSampleFreq.Text(), "10k (Hz)");
    EXPECT_EQ(w->txtFName.Text(), "rec");
    driver.answerMsgBox(forms::vbOK);
    rate(" 2k (Hz)");
    EXPECT_EQ(GAcqParam.nSample, 200);
    EXPECT_EQ(GAcqParam.PTotal, 0);
    EXPECT_EQ(w->txtFName.Text(), "");
    rate(" 5k (Hz)");  // nothing was left locked
    EXPECT_EQ(GAcqParam.nSample, 500);
}

TEST_F(AcqisitionSamplingTest, SlowRatesAreRefusedOnBoardType31AndTheRecordFollowsTheList) {
    source(1);
    frmCondition& c = frmCondition::instance();
    for (int i = 0; i < c.cmbADBoard.ListCount(); ++i)
        if (c.cmbADBoard.ItemData(i) == 31) c.cmbADBoard.setListIndex(i);
    build(31, 1);
    rate("500 (Hz)");
    driver.answerMsgBox(forms::vbOK);
    rate("200 (Hz)");
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].prompt, "PolymateMini利用時は500Hzか1kHz以外を設定できません。");
    EXPECT_EQ(w->cmbSampleFreq.Text(), " 1k (Hz)");
    EXPECT_EQ(GAcqParam.lcmbSampleFreq_ListIndex, 6);
    EXPECT_EQ(GAcqParam.nSample, 100);
}

TEST_F(AcqisitionSamplingTest, SweepLengthFollowsTheTimeScaleAndThePeriod) {
    const struct {
        int32_t ms, periodUs, points;
    } cases[] = {{5000, 1000, 5000}, {1, 2, 500}, {600000, 1000, 600000}, {10, 3, 3333},
                 {5, 2000, 2}};
    for (const auto& c : cases) {
        GAcqParam.nSClock = c.periodUs;
        timeFs(c.ms == 2000 ? 1000 : 2000);
        timeFs(c.ms);
        EXPECT_EQ(GAcqParam.lSweepPoint, c.points) << c.ms << " ms at " << c.periodUs << " us";
    }
    // Data loaded, no trigger: nothing asked, the data stay, the window is reloaded.
    GAcqParam.PTotal = 100000;
    GAcqParam.wCh = 4;
    GAcqCondition.lStartCH = 1;  // the page is converted by the channels' own records
    GAcqCondition.lEndCH = 4;
    timeFs(2000);
    EXPECT_EQ(GAcqParam.PTotal, 100000);
    EXPECT_EQ(RawSampleBuffer.size(), 4u * 1000u);
    EXPECT_EQ(DispWaveArray.Points(), 1001);
    // A page too long for memory is refused and the previous time scale stays.
    GAcqParam.nSClock = 2;
    driver.answerMsgBox(forms::vbOK);
    timeFs(600000);
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_NE(driver.msgBoxes()[0].prompt.find("300000000"), std::string::npos);
    EXPECT_EQ(w->cmbTimeFS.ItemData(w->cmbTimeFS.ListIndex()), 2000);
    EXPECT_EQ(GAcqParam.lSweepPoint, 1000);
    // Without a period nothing is stored.
    GAcqParam.nSClock = 0;
    timeFs(5000);
    EXPECT_EQ(GAcqParam.lSweepPoint, 1000);
}

TEST_F(AcqisitionSamplingTest, SyncSweepCopiesTheTimeScaleIntoTheConditions) {
    GAcqParam.nSClock = 1000;
    timeFs(10000);
    for (const char* flag : {"0", "", "on", "1"}) {
        GAcqCondition.strSYNC = flag;
        GAcqCondition.strSWEEP_TIME = "1000";
        EXPECT_NO_THROW(w->SyncSweep()) << flag;
        EXPECT_EQ(GAcqCondition.strSWEEP_TIME, std::string(flag) == "1" ? "10000" : "1000") << flag;
    }
    EXPECT_FALSE(GAcqParam.GbLoading);
    EXPECT_FALSE(w->bInternalUpdate);
}

TEST_F(AcqisitionSamplingTest, PresetCountIsClampedAndSplitIntoTheDurationBoxes) {
    const auto enter = [this](const std::string& count) {
        w->TXTPreSetCounter.setText(count);
        w->TXTPreSetCounter_LostFocus();
        return std::vector<std::string>{w->TXTPreSetCounter.Text(), w->txtDD.Text(),
                                        w->txtHH.Text(), w->txtMM.Text(), w->txtSS.Text()};
    };
    using Boxes = std::vector<std::string>;
    build(0, 8);  // 8 channels at 1 kHz, 1 s a page: at most 134217 s
    rate(" 1k (Hz)");
    timeFs(1000);
    EXPECT_EQ(enter("999999"), (Boxes{"134217", "0001", "13", "16", "57"}));
    EXPECT_EQ(GAcqParam.NTimerPreSet, 134217);
    EXPECT_EQ(enter(""), (Boxes{"1", "0000", "00", "00", "01"}));
    EXPECT_EQ(GAcqParam.NTimerPreSet, 1);
    rate("10k (Hz)");  // a new rate re-clamps the count
    enter("100000");
    EXPECT_EQ(GAcqParam.NTimerPreSet, 13421);
    // The boxes write the count (not the stored one), within their ranges.
    w->txtDD.setText("1");
    w->txtHH.setText("30");
    w->txtMM.setText("75");
    w->txtSS.setText("ab");
    EXPECT_EQ((Boxes{w->txtHH.Text(), w->txtMM.Text(), w->txtSS.Text()}), (Boxes{"23", "59", "0"}));
    w->txtHH.setText("2");
    w->txtMM.setText("3");
    w->txtSS.setText("4");
    w->txtMM_LostFocus();
    EXPECT_EQ(w->TXTPreSetCounter.Text(), "13421");  // 93784 is over the limit
    rate(" 1k (Hz)");
    w->txtDD.setText("1");
    w->txtHH.setText("2");
    w->txtMM.setText("3");
    w->txtSS.setText("4");
    w->txtSS_LostFocus();
    EXPECT_EQ(w->TXTPreSetCounter.Text(), "93784");
    EXPECT_EQ(GAcqParam.NTimerPreSet, 13421);
    // The JINS companion caps it at 53687.
    build(0, 1);
    Acqisition2& hidden = Acqisition2::instance();
    hidden.chkUseSubPrg.setValue(1);
    hidden.chkUseSubPrgJINS.setValue(1);
    EXPECT_EQ(enter("999999")[0], "53687");
    hidden.chkUseSubPrgJINS.setValue(0);
    // Without a rate there is no limit: the count is kept as typed.
    w->cmbSampleFreq.setListIndex(-1);
    EXPECT_EQ(enter("7777777")[0], "7777777");
    EXPECT_EQ(GAcqParam.NTimerPreSet, 7777777);
    hidden.chkUseSubPrg.setValue(0);
}

}  // namespace
