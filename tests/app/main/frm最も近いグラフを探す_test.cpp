// The nearest-waveform search on a drawn monitor: the entries and their text order, the result
// boxes, channels above 15, the step over long windows and a monitor without channels.
#include <gtest/gtest.h>

#include "tests/app/main/Acqisition_Monitor_testsupport.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "app/main/frm最も近いグラフを探す.h"

using namespace qv;

namespace {

class NearestWave : public apptest::MonitorTest {
protected:
    void SetUp() override {
        MonitorTest::SetUp();
        int32_t l = 0, r = kSweep;
        w->SetCursor(l, r, false);
        draw();
        f = &frm最も近いグラフを探す::instance();
    }
    void search(int x, int y) {
        f->txt求めたいピクセル座標X.setText(std::to_string(x));
        f->txt求めたいピクセル座標Y.setText(std::to_string(y));
        f->cmd計算_Click();
    }
    std::string entry(int i) const { return f->lst直線距離と配列番号.List(i); }
    frm最も近いグラフを探す* f = nullptr;
};

TEST_F(NearestWave, TheWindowAsDesigned) {
    EXPECT_EQ(f->Caption(), "Form2");
    EXPECT_EQ(f->cmd計算.Caption(), "計算");
    EXPECT_EQ(f->txt求めたいピクセル座標X.Text(), "100");
    EXPECT_EQ(f->Text2.Text(), "求めたいピクセル座標Y");
    EXPECT_EQ(f->txtクリックした位置に最も近い波形のCHNo.Text(), "0");
    EXPECT_EQ(f->txt最も近い波形の配列番号.Text(), "100");
    EXPECT_TRUE(f->lst直線距離と配列番号.Sorted);
}

TEST_F(NearestWave, EachShownChannelGetsAnEntryAndTheNearestIsNamed) {
    search(100, 100);  // channel 0's trace lies on row 96, channel 1's on row 416
    ASSERT_EQ(f->lst直線距離と配列番号.ListCount(), 2);
    EXPECT_EQ(entry(0), "0000000004,100,00");
    EXPECT_EQ(entry(1), "0000000316,100,01");
    EXPECT_EQ(f->txtクリックした位置に最も近い波形のCHNo.Text(), "00");
    EXPECT_EQ(f->txt最も近い波形の配列番号.Text(), "4") << "the distance, not the index";
    search(30, 416);  // on a plotted point
    EXPECT_EQ(entry(0), "0000000000,30,01");
    EXPECT_EQ(f->txtクリックした位置に最も近い波形のCHNo.Text(), "01");
    EXPECT_EQ(f->txt最も近い波形の配列番号.Text(), "0");
}

TEST_F(NearestWave, EqualDistancesAreOrderedByTheIndexText) {
    // Channel 0 high up except at point 3, which lies 160.25 pixels from (12, 256); channel 1
    // lies 160 pixels below it at point 12. Both give 160: "12" sorts before "3".
    for (int i = 0; i <= kSweep; ++i) DispWaveArray(i, 0) = 1.0f;
    DispWaveArray(3, 0) = kLevel0;
    search(12, 256);
    ASSERT_EQ(f->lst直線距離と配列番号.ListCount(), 2);
    EXPECT_EQ(entry(0), "0000000160,12,01");
    EXPECT_EQ(entry(1), "0000000160,3,00");
    EXPECT_EQ(f->txtクリックした位置に最も近い波形のCHNo.Text(), "01");
}

TEST_F(NearestWave, AWindowOfMoreThan5000PointsIsExaminedEveryFewPoints) {
    GAcqParam.lSweepPoint = 20000;  // every fourth point; the index counts examined points
    DispWaveArray.Redim(2, 20001);
    for (int i = 0; i <= 20000; ++i) {
        DispWaveArray(i, 0) = kLevel0;
        DispWaveArray(i, 1) = kLevel1;
    }
    int32_t l = 0, r = 20000;
    w->SetCursor(l, r, false);
    search(4, 100);  // pixel 4 is point 400, the 100th examined
    EXPECT_EQ(entry(0), "0000000004,100,00");
    EXPECT_EQ(f->n, 5000);
}

TEST_F(NearestWave, AChannelAbove15IsSearchedToo) {
    GAcqCondition.lStartCH = 1;
    GAcqCondition.lEndCH = 20;
    GAcqCondition.lCHCnt = 20;
    GAcqParam.wCh = 20;
    GAcqParam.Condition = GAcqCondition;
    GAcqParam.CHKWaveNo.fill(0);
    GAcqParam.CHKWaveNo[17] = 1;
    for (int ch = 0; ch < 32; ++ch) w->CHKWaveNo(ch).setValue(ch == 17 ? 1 : 0);
    DispWaveArray.Redim(20, kSweep + 1);
    for (int i = 0; i <= kSweep; ++i) DispWaveArray(i, 17) = 0.5f;  // one band: row 256
    setRange(17, "1", "0");
    w->UpdateCHDisp();
    draw();
    search(50, 256);
    ASSERT_EQ(f->lst直線距離と配列番号.ListCount(), 1);
    EXPECT_EQ(entry(0), "0000000000,50,17");
    EXPECT_EQ(f->txtクリックした位置に最も近い波形のCHNo.Text(), "17");
}

TEST_F(NearestWave, WithNoChannelShownTheListIsEmptyAndTheResultsStay) {
    search(100, 100);
    for (int ch = 0; ch < 2; ++ch) w->CHKWaveNo(ch).setValue(0);
    f->txt最も近い波形の配列番号.setText("77");
    search(100, 100);
    EXPECT_EQ(f->lst直線距離と配列番号.ListCount(), 0);
    EXPECT_EQ(f->txtクリックした位置に最も近い波形のCHNo.Text(), "00");
    EXPECT_EQ(f->txt最も近い波形の配列番号.Text(), "77");
    // A window without points gives no entry either.
    for (int ch = 0; ch < 2; ++ch) w->CHKWaveNo(ch).setValue(1);
    GAcqParam.lSweepPoint = 0;
    search(100, 100);
    EXPECT_EQ(f->lst直線距離と配列番号.ListCount(), 0);
}

}  // namespace
