// The channel bands and panel: counts and positions of the bands, the row layout for
// recordings from channel 1 and from a later channel, the select-all headers, the display
// sizes, the pixel helpers against the drawn trace, the clipboard copy and the small timers.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/main/Acqisition_Monitor_testsupport.h"
#include "app/common/DaskBase.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Clipboard.h"
#include "platform/forms/Event.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Globals.h"

using namespace qv;

namespace {

using Bands = apptest::MonitorTest;

TEST_F(Bands, ARecordingFromALaterChannelGetsItsOwnRowsBandsAndOneSeparator) {
    GAcqCondition.lStartCH = 3;
    GAcqCondition.lEndCH = 10;
    GAcqCondition.lCHCnt = 8;
    GAcqParam.CHKWaveNo.fill(1);  // flags outside the range count for nothing
    for (int ch = 0; ch < 32; ++ch) w->CHKWaveNo(ch).setValue(1);
    w->UpdateCHDisp();
    EXPECT_EQ(w->GetDispCHNum(), 8);
    EXPECT_EQ(w->GetDispFirstCHNo(), 2);
    for (int ch = 0; ch < 32; ++ch)
        EXPECT_EQ(w->CHKWaveNo(ch).Visible(), ch >= 2 && ch <= 9) << ch;
    EXPECT_FALSE(w->lblNoName_2(1).Visible());
    EXPECT_TRUE(w->lblNoName_2(9).Visible());
    EXPECT_EQ(w->GetDispPos(2), 0);
    EXPECT_EQ(w->GetDispPos(9), 7);
    EXPECT_EQ(w->GetPos2CHNo(7), 9);
    EXPECT_EQ(w->GetPos2CHNo(8), -1);
    const double panel = w->fraCHDisp.Height();
    EXPECT_DOUBLE_EQ(w->lblNoName_3(4).Top(), panel / 8 * 2);
    // Rows of channels 3..10; the separator after the fourth row lies under channel 6's row.
    const double row = basic::CLng(panel / 8);
    EXPECT_DOUBLE_EQ(w->Line1(1).Y1(),
                     w->CHKWaveNo(5).Top() + w->CHKWaveNo(5).Height() / 2 + row / 2);
    for (int j = 0; j <= w->Line1.UBound(); ++j)
        if (j != 1) {
            EXPECT_EQ(w->Line1(j).Y1(), 1000000) << j;
        }
    // The range boxes of the unit shown, beside the band's centre.
    EXPECT_TRUE(w->txtDR_WaveHi(4).Visible());
    EXPECT_FALSE(w->txtDR_WaveHi_V(4).Visible());
    EXPECT_DOUBLE_EQ(w->txtDR_WaveHi(4).Top() + w->txtDR_WaveHi(4).Height() / 2,
                     basic::CLng(panel / 8 * 2 + basic::CLng(panel / 8) / 2.0));
}

TEST_F(Bands, NoChannelTickedShowsRowsButNoBand) {
    for (int ch = 0; ch < 2; ++ch) w->CHKWaveNo(ch).setValue(0);
    EXPECT_EQ(GAcqParam.CHKWaveNo[0], 0);
    EXPECT_EQ(w->GetDispCHNum(), 0);
    EXPECT_EQ(w->GetDispFirstCHNo(), -1);
    EXPECT_TRUE(w->CHKWaveNo(0).Visible());
    EXPECT_FALSE(w->lblNoName_2(0).Visible());
    EXPECT_FALSE(w->txtDR_WaveHi(0).Visible());
    EXPECT_FALSE(w->lblCurLevel_L(1).Visible());
    EXPECT_FLOAT_EQ(w->GetGraphYPix(0, 10), static_cast<float>(w->PBXMoniDisp.ScaleHeight()));
}

TEST_F(Bands, TheSelectAllHeadersToggleWithOneRelayoutEach) {
    int paints = 0;
    forms::ScopedConnection c = w->PBXMoniDisp.Paint.connect([&] { ++paints; });
    w->bCaptionToggle = false;
    w->lblNoName_Caption_Click();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(GAcqParam.CHKWaveNo[1], 1);
    w->lblNoName_Caption_Click();
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(GAcqParam.CHKWaveNo[0], 0);
    EXPECT_EQ(GAcqParam.CHKWaveNo[1], 0);
    EXPECT_EQ(w->GetDispCHNum(), 0);
    EXPECT_EQ(GAcqParam.CHKWaveNo[2], 0) << "outside the range: untouched";

    w->bCaption3Toggle = false;
    w->lblNoName_Caption3_Click();
    EXPECT_EQ(w->chkCal(0).Value(), 1);
    EXPECT_EQ(w->chkCal(1).Value(), 1);
    EXPECT_EQ(w->chkCal(2).Value(), 0);
    EXPECT_EQ(paints, 2);
}

TEST_F(Bands, TheThreeDisplaySizes) {
    const double base = GsngGraphWidth / forms::Screen.TwipsPerPixelX();
    const struct {
        forms::OptionButton* option;
        float width;
    } sizes[] = {{&w->optL, 815}, {&w->optM, 653}, {&w->optS, 300}};
    for (const auto& s : sizes) {
        s.option->setValue(true);
        EXPECT_DOUBLE_EQ(w->PBXMoniDisp.Width(), base + s.width);
        EXPECT_FLOAT_EQ(DispBaseWidth, s.width);
        // The right-hand captions follow the box's width.
        EXPECT_DOUBLE_EQ(w->lblNoName_3R(0).Left(), w->PBXMoniDisp.Width() - w->lblNoName_3R(0).Width());
    }
}

TEST_F(Bands, PixelHelpersMeetTheDrawnTrace) {
    draw();
    // The top band's trace at 0.625: 1.625 bands from the bottom, pixel row 96.
    EXPECT_FLOAT_EQ(w->GetH_CurCrossHi(0, 1.0f, 0.0f, 10, 0), 1.625f);
    EXPECT_FLOAT_EQ(w->GetGraphYPix(0, 10), 96.0f);
    EXPECT_EQ(px(10, static_cast<int>(w->GetGraphYPix(0, 10))), kTraceColour);
    EXPECT_FLOAT_EQ(w->GetGraphYPix(1, 10), 416.0f);
    EXPECT_EQ(px(10, static_cast<int>(w->GetGraphYPix(1, 10))), kTraceColour);
    EXPECT_EQ(w->GetCHNo2CrossCurNo(1), 8);
    // Outside the display array, an empty range, no data: the bottom.
    EXPECT_EQ(w->GetH_CurCrossHi(0, 1.0f, 0.0f, kSweep + 1, 0), 0.0f);
    EXPECT_EQ(w->GetH_CurCrossHi(0, 1.0f, 0.0f, -1, 0), 0.0f);
    EXPECT_EQ(w->GetH_CurCrossHi(0, 1.0f, 1.0f, 10, 0), 0.0f);
    GAcqParam.PTotal = 0;
    EXPECT_EQ(w->GetH_CurCrossHi(0, 1.0f, 0.0f, 10, 0), 0.0f);
    // Columns through the cursor graph's window.
    int32_t l = -1, r = -1;
    w->SetCursor(l, r, true);
    EXPECT_FLOAT_EQ(w->GetGraphXPix(50.0f), 50.0f);
}

TEST_F(Bands, ADoubleClickCopiesThePictureAsMetafileAndPng) {
    forms::Clipboard.Clear();
    w->SetDispStatus("Read", false);
    w->PBXMoniDisp_DblClick();
    EXPECT_FALSE(forms::Clipboard.GetFormat(forms::vbCFEMetafile)) << "only in mode End";

    w->SetDispStatus("End", false);
    const int32_t background = GAxisBoxOpt[1];
    w->PBXMoniDisp_DblClick();
    EXPECT_TRUE(std::filesystem::exists(prog.dir() / "Metadata.emf"));
    ASSERT_TRUE(forms::Clipboard.GetFormat(forms::vbCFEMetafile));
    const auto& emf = forms::Clipboard.metafileBytes();
    ASSERT_GT(emf.size(), 88u);
    EXPECT_EQ(emf[0], 1);  // the header record
    EXPECT_EQ(std::string(emf.begin() + 40, emf.begin() + 44), " EMF");
    const std::vector<uint8_t> png = forms::Clipboard.pngBytes();
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    // The same picture: the traces at their rows, and the option table as it was.
    const auto& pic = *forms::Clipboard.picture();
    EXPECT_EQ(pic.colorAt(10, 96), kTraceColour);
    EXPECT_EQ(GAxisBoxOpt[1], background);
    EXPECT_EQ(px(10, 96), kTraceColour) << "the monitor is drawn again";
}

TEST_F(Bands, WheelStepsScaleThePickedChannelsHighBox) {
    setRange(1, "10", "0");
    w->lRangeDragCH = -1;
    w->WheelMove(0);
    EXPECT_EQ(w->txtDR_WaveHi(1).Text(), "10");
    w->lRangeDragCH = 1;
    w->WheelMove(0);
    EXPECT_EQ(w->txtDR_WaveHi(1).Text(), "9");
    EXPECT_FLOAT_EQ(GAcqParam.DR_WaveHi[1], 9.0f);
    w->WheelMove(1);
    EXPECT_EQ(w->txtDR_WaveHi(1).Text(), "10");
    w->bRangeDrag = true;  // not while the range is being dragged
    w->WheelMove(0);
    EXPECT_EQ(w->txtDR_WaveHi(1).Text(), "10");
}

TEST_F(Bands, TablePanelTimersAndColumnFill) {
    w->chkDispTable.setValue(0);
    EXPECT_TRUE(w->fraRange.Visible());
    EXPECT_FALSE(w->fraCal.Visible());
    w->optM.setValue(true);
    w->Timer2.setEnabled(true);
    driver.advance(2);
    EXPECT_FALSE(w->Timer2.Enabled());
    EXPECT_TRUE(w->fraCal.Visible());
    EXPECT_FALSE(w->lblRange.Visible());
    EXPECT_TRUE(w->optS.Value());
    EXPECT_FLOAT_EQ(DispBaseWidth, 300);

    w->optCalAcq.setValue(true);
    w->lCalTableFocusRow = 1;
    w->txtUnit(0).setText("V");
    w->txtUnit(1).setText("mV");
    w->lblItemName_Click(1);
    EXPECT_EQ(w->txtUnit(0).Text(), "V");
    EXPECT_EQ(w->txtUnit(1).Text(), "mV");
    w->lCalTableFocusRow = 0;
    w->lblItemName_Click(1);
    EXPECT_EQ(w->txtUnit(1).Text(), "V");

    const bool shown = w->pbxParent.Visible();
    w->pbxParent_DblClick();
    EXPECT_NE(w->pbxParent.Visible(), shown);
}

TEST_F(Bands, TheImageSaveTimerFiresOnceAlsoWhenTheRedrawFails) {
    w->PBXMoniDisp.surface()->fill(0);
    w->timSaveImage.setEnabled(true);
    driver.advance(2);
    EXPECT_FALSE(w->timSaveImage.Enabled());
    EXPECT_EQ(px(10, 96), kTraceColour);

    // A trigger channel without a calibration: the redraw fails with error 11.
    GAcqCondition.strTRIGGER_SETTING = "1";
    GAcqParam.lTrgCH = 1;
    GCalRecEU[0] = CalRecord{};
    w->timSaveImage.setEnabled(true);
    driver.advance(2);
    EXPECT_FALSE(w->timSaveImage.Enabled());
    EXPECT_TRUE(driver.errors().empty());
}

}  // namespace
