// The monitor's redraw: grid, band centre lines, traces, marks, calibration strokes, frame
// ticks, cursors and labels at the pixels the world-to-pixel rule gives; the paint handler's
// coalescing on the virtual clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/app/main/Acqisition_Monitor_testsupport.h"
#include "app/camera/modCAM.h"
#include "app/channel/CWave.h"
#include "app/common/TrelmImports.h"
#include "app/common/DaskBase.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"

using namespace qv;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGrid = 0xFFC0C0;     // RGB(192, 192, 255)
constexpr uint32_t kCentre = 0xC0C0C0;   // RGB(192, 192, 192)
constexpr uint32_t kRed = 0x0000FF;      // RGB(255, 0, 0)
constexpr uint32_t kBlue = 0xFF0000;     // RGB(0, 0, 255)
constexpr uint32_t kGreen = 0x00C000;    // RGB(0, 192, 0)

using Monitor = apptest::MonitorTest;

TEST_F(Monitor, GridCentreLinesAndTracesLieWhereTheWorldRuleSaysAndTheDivisionIsAText) {
    w->cmbTimeFS.setListIndex(-1);
    GAcqParam.lcmbTimeFS_ListIndex = 9;  // 1000 ms a page
    draw();
    EXPECT_EQ(w->TXTDR_TimeDiv.Text(), "100");
    // Ten vertical divisions every 20 columns, dotted: some of each column is grid.
    for (int x : {20, 100, 180}) EXPECT_GT(countInColumn(x, 0, kHeight - 1, kGrid), 50) << x;
    EXPECT_LT(countInColumn(30, 0, kHeight - 1, kGrid), 10);  // only where rows cross it
    // Four divisions a band of 256 rows (the centres 128 and 384 carry centre lines).
    for (int y : {64, 192, 320, 448}) EXPECT_GT(countInRow(y, 0, kWidth - 1, kGrid), 20) << y;
    EXPECT_LT(countInRow(70, 0, kWidth - 1, kGrid), 20);
    EXPECT_EQ(px(10, 128), kCentre);
    EXPECT_EQ(px(10, 384), kCentre);
    // The traces: channel 0 at 0.625 of the top band, channel 1 at 0.375 of the bottom one.
    // Column 0 carries the left cursor's XOR line.
    EXPECT_EQ(countInRow(96, 1, kWidth - 1, kTraceColour), kWidth - 1);
    EXPECT_EQ(countInRow(416, 1, kWidth - 1, kTraceColour), kWidth - 1);
    EXPECT_EQ(px(70, 95), kWhite);
    EXPECT_EQ(px(70, 97), kWhite);

    GAcqParam.lcmbTimeFS_ListIndex = 1;  // 2 ms a page
    draw();
    EXPECT_EQ(w->TXTDR_TimeDiv.Text(), "0.2");
}
}  // namespace

namespace {

using Monitor = apptest::MonitorTest;

TEST_F(Monitor, ATraceEndsAtTheRecordingsLastPointAndTheChannelObjectsGetTheWindow) {
    GAcqParam.PTotal = 100;  // shorter than the page: points 100.. were never read
    for (int i = 100; i <= kSweep; ++i) DispWaveArray(i, 0) = 0.0f;
    draw();
    EXPECT_EQ(px(50, 96), kTraceColour);
    EXPECT_EQ(countInColumn(150, 0, kHeight - 1, kTraceColour), 0);
    EXPECT_EQ(countInColumn(100, 97, 255, kTraceColour), 0) << "no drop to the unread zeros";

    // The channel objects get the window's samples.
    GAcqParam.PTotal = 100000;
    DispWaveArray(7, 1) = 0.5f;
    draw();
    ASSERT_NE(Acqisition::GCWave.at(1), nullptr);
    EXPECT_EQ(Acqisition::GCWave[1]->SweepPoint(), kSweep);
    EXPECT_FLOAT_EQ(Acqisition::GCWave[1]->WaveValue(7), 0.5f);
    EXPECT_FLOAT_EQ(Acqisition::GCWave[0]->WaveValue(3), kLevel0);
}

TEST_F(Monitor, MarksAreHGlyphsAtTheBottomAndNoSampleRateDrawsNone) {
    MarkArray[0] = 1;
    MarkArray[1] = 3;  // nSample 2: a mark unit is 20 columns
    draw();
    expectPixels({{60, 505, kRed}, {80, 505, kRed}, {70, 506, kRed}, {70, 503, kWhite},
                  {59, 505, kWhite}});

    GAcqParam.nSample = 0;  // a parameter file that slipped through: no division, no marks
    draw();
    EXPECT_EQ(countInRow(506, 0, kWidth - 1, kRed), 0);
}

TEST_F(Monitor, CalibrationStrokesInsideTheWindowAndNoneJustOutside) {
    GAcqParam.lPosWAVE_Start = 10;
    int32_t left = -1, right = -1;
    w->SetCursor(left, right, false);  // the left cursor at 0, outside the window
    GAcqParam.lchkCal_Value[0] = 1;
    GsngCalMarkCnt1[0] = 4;
    GsngCalMark1[0][0] = 10;   // the window's first point: column 0
    GsngCalMark1[0][1] = 110;  // column 100
    GsngCalMark1[0][2] = 9;    // one before the window
    GsngCalMark1[0][3] = 211;  // one past its closing point
    draw();
    // 2 % of the two-band window is 5 rows each way around the trace at row 96.
    EXPECT_EQ(px(100, 92), kBlue);
    EXPECT_EQ(px(100, 100), kBlue);
    EXPECT_EQ(px(100, 89), kWhite);
    EXPECT_EQ(px(0, 92), kBlue);
    EXPECT_EQ(countInColumn(99, 0, kHeight - 1, kBlue), 0);

    GAcqParam.lchkCal_Value[0] = 0;  // the channel's calibration box cleared: no strokes
    draw();
    EXPECT_EQ(countInColumn(100, 0, kHeight - 1, kBlue), 0);
}

TEST_F(Monitor, FrameTicksAndLabelsOfACameraRecording) {
    prog.writeBytes("rec.Kpar", "[Condition]\r\nstrCameraSetting=1\r\n");
    GstrKparFile = prog.win("rec.Kpar");
    GlCapNum = 3;
    FlameTables t;
    t.lFlameTime = {33, 77, 150};
    t.dblFlameTime = {33, 77, 150};
    t.sngFlameTime = {33, 77, 150};
    UseFlameTables(std::move(t));
    w->chkDispCAMPos.setValue(0);
    w->chkDispCAMPosNo.setValue(0);
    draw();
    // A tick of 2 % of the start-up height down from the top edge.
    expectPixels({{33, 3, kGreen}, {77, 3, kGreen}, {150, 3, kGreen}, {34, 3, kWhite},
                  {33, 40, kWhite}});

    w->chkDispCAMPos.setValue(1);  // full-height lines and the frame numbers
    draw();
    EXPECT_EQ(px(77, 300), kGreen);
    int text = 0;
    for (int x = 78; x < 90; ++x)
        for (int y = 0; y < 12; ++y) text += px(x, y) != kWhite && px(x, y) != kGreen;
    EXPECT_GT(text, 3) << "frame number 1 beside its line";

    GlCapNum = 0;  // no frames recorded: no ticks
    draw();
    EXPECT_EQ(countInColumn(33, 0, 20, kGreen), 0);
    GlFlameTime.clear();
    GsngFlameTime.clear();
    GdblFlameTime.clear();
    GstrKparFile.clear();
}

TEST_F(Monitor, TriggerModeDrawsLevelsAndSweepLabels) {
    GAcqCondition.strTRIGGER_SETTING = "1";
    GAcqParam.lTrgCH = 1;
    GCalRecEU[0] = CalRecord{1.0f, 0.0f, 1000.0f, 0.0f};
    GAcqParam.TrgLevelU = 800;  // 0.8 of the top band: row 51
    GAcqParam.lPosWAVE_Start = 400;
    draw();
    EXPECT_EQ(px(50, 96), 0x0000FFu) << "the trace is red while triggered";
    EXPECT_GT(countInRow(51, 0, kWidth - 1, 0x000000), 20);
    EXPECT_EQ(w->LBLTimer.Caption(), "3");
    EXPECT_EQ(w->lblSoftTrgCntAll.Caption(), "----");
}

// A recording whose calibration cannot convert the trigger levels (values of a damaged file)
// draws everything but those levels; a usable one draws them again.
TEST_F(Monitor, TriggerLevelsOfAnUnusableCalibrationAreLeftOut) {
    GAcqCondition.strTRIGGER_SETTING = "1";
    GAcqParam.lTrgCH = 1;
    GAcqParam.TrgLevelU = 800;  // row 51 when it converts
    const size_t errors = driver.errors().size();
    for (const CalRecord& damaged : {CalRecord{1.0f, 0.0f, 1e30f, 0.0f}, CalRecord{1.0f, 0.0f, 1000.0f, -3e9f},
                                     CalRecord{1.0f, 0.0f, 0.0f, 0.0f}, CalRecord{3e38f, -3e38f, 1.0f, 0.0f}}) {
        GCalRecEU[0] = damaged;
        driver.run([&] { draw(); });
        EXPECT_EQ(driver.errors().size(), errors) << damaged.Cal_AD;
        EXPECT_LT(countInRow(51, 0, kWidth - 1, 0x000000), 3) << damaged.Cal_AD;
        EXPECT_EQ(px(50, 96), 0x0000FFu) << "the trace is drawn all the same";
    }
    GCalRecEU[0] = CalRecord{1.0f, 0.0f, 1000.0f, 0.0f};
    draw();
    EXPECT_GT(countInRow(51, 0, kWidth - 1, 0x000000), 20);
}

// A level box beyond the single range (typed, or a stored level the load put there) draws no
// line of its own; the other level is drawn.
TEST_F(Monitor, ATriggerLevelBeyondTheSingleRangeDrawsNoLine) {
    GAcqCondition.strTRIGGER_SETTING = "1";
    GAcqParam.lTrgCH = 1;
    GCalRecEU[0] = CalRecord{1.0f, 0.0f, 1000.0f, 0.0f};
    w->t2.setText("800");  // row 51, in dark red
    const size_t errors = driver.errors().size();
    for (const char* beyond : {"1E+400", "1e39"}) {
        w->t1.setText(beyond);
        driver.run([&] { draw(); });
        EXPECT_EQ(driver.errors().size(), errors) << beyond;
        EXPECT_GT(countInRow(51, 0, kWidth - 1, 0x0000C0), 20) << beyond;
    }
}

TEST_F(Monitor, TimeLabelsGiveTheWindowStart) {
    GAcqParam.lPosWAVE_Start = 3723000;  // 1 ms a point
    draw();
    EXPECT_EQ(w->LBLTimer.Caption(), "3723");
    EXPECT_EQ(w->LBLTime.Caption(), GetDaysStr(0) + " 01:02:03");
    EXPECT_EQ(w->lblSoftTrgCntAll.Caption(), "----");
}

TEST_F(Monitor, NoDataNoChannelsOrLoadingLeaveThePictureAlone) {
    auto blacken = [&] { w->PBXMoniDisp.surface()->fill(0); };
    blacken();
    GAcqParam.PTotal = 0;
    draw();
    EXPECT_EQ(px(5, 5), 0u);
    draw(true);  // forced: the frame without data
    EXPECT_EQ(px(5, 5), kWhite);
    EXPECT_EQ(countInRow(96, 0, kWidth - 1, kTraceColour), 0);

    GAcqParam.PTotal = 100000;
    blacken();
    GAcqParam.GbLoading = true;
    draw(true);
    EXPECT_EQ(px(5, 5), 0u);
    GAcqParam.GbLoading = false;
    GAcqParam.CHKWaveNo.fill(0);
    draw(true);
    EXPECT_EQ(px(5, 5), 0u);
}

TEST_F(Monitor, PaintsArmOneRedrawOnTheNextTick) {
    auto* s = w->PBXMoniDisp.surface().get();
    draw();
    const uint64_t before = s->version();
    draw();
    const uint64_t oneDraw = s->version() - before;
    ASSERT_GT(oneDraw, 0u);

    driver.advance(5);
    const uint64_t start = s->version();
    for (int i = 0; i < 3; ++i) w->PBXMoniDisp.Refresh();
    EXPECT_EQ(s->version(), start) << "paint itself never draws";
    EXPECT_TRUE(w->timDisp.Enabled());
    driver.advance(5);
    EXPECT_FALSE(w->timDisp.Enabled());
    EXPECT_EQ(s->version() - start, oneDraw);

    w->SetDispStatus("Recalc", false);
    w->PBXMoniDisp.Refresh();
    EXPECT_FALSE(w->timDisp.Enabled());

    w->SetDispStatus("End", false);
    GAcqParam.GbLoading = true;
    w->PBXMoniDisp.Refresh();
    const uint64_t loading = s->version();
    driver.advance(5);
    EXPECT_EQ(s->version(), loading);
    GAcqParam.GbLoading = false;
}

TEST_F(Monitor, TheCursorsAreDrawnOnceOverEachRedraw) {
    int32_t l = 70, r = 130;
    w->SetCursor(l, r, false);
    Trelm::H_CURSORDISP(w->lGraphHandle, 0, 1);
    draw();
    const uint32_t cursor = px(70, 20);
    EXPECT_NE(cursor, kWhite);
    draw();
    EXPECT_EQ(px(70, 20), cursor) << "a second redraw does not XOR it away";
    EXPECT_EQ(px(71, 20), kWhite);
}

TEST(GetDispFlameStart, FirstPassageOfTheFrameTimesAndBoundedLists) {
    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
    Acqisition& w = Acqisition::instance();
    GsngFlameTime.clear();
    EXPECT_EQ(w.GetDispFlameStart(5), 0);
    // A saw of forty frames passes level 5 twenty times, more than the lists once held.
    for (int i = 0; i < 40; ++i) GsngFlameTime.push_back(i % 2 ? 10.0f : 0.0f);
    const int32_t first = w.GetDispFlameStart(5);
    EXPECT_GE(first, 0);
    EXPECT_LT(first, 40);
    EXPECT_EQ(w.GetDispFlameStart(50), 0) << "no passage";
    GsngFlameTime.clear();
}

}  // namespace

namespace {

using Terminal = apptest::MonitorTest;

TEST_F(Terminal, TheTerminalSweepIsDrawnWholeThenFrameByFrame) {
    GAcqParam.NFrame = 1;
    w->DispTerminalMode(-1);
    EXPECT_EQ(countInRow(96, 0, kWidth - 1, 0x000000), kWidth - 1);
    EXPECT_EQ(px(10, 128), 0xFFFFFFu) << "the centre lines run only over the newest frame";

    // Frame 5 of a sweep of 100 two-point frames: its column is blanked over all bands and
    // the centre lines of the frame before it drawn; the acquisition's frame buffers that
    // would refill it do not exist here.
    GAcqParam.NFrame = 5;
    w->DispTerminalMode(5);
    EXPECT_EQ(px(10, 96), 0xFFFFFFu);
    EXPECT_EQ(px(11, 300), 0xFFFFFFu);
    EXPECT_EQ(px(9, 128), 0xC0C0C0u);
    EXPECT_EQ(px(20, 96), 0x000000u);

    GAcqParam.PTotal = 0;  // nothing loaded: nothing drawn
    w->PBXMoniDisp.surface()->fill(0x123456);
    w->DispTerminalMode(-1);
    EXPECT_EQ(px(5, 5), 0x123456u);
}

}  // namespace
