// The display-range boxes: stored values and half span, the order check, the symmetric copy,
// the guards while loading and in acquisition, the row highlight and the overlay edit box.
#include <gtest/gtest.h>

#include "tests/app/main/Acqisition_Monitor_testsupport.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Event.h"

using namespace qv;

namespace {

using Ranges = apptest::MonitorTest;

TEST_F(Ranges, StoredValuesHalfSpanOrderCheckAndSymmetricCopy) {
    setRange(3, "5", "1");
    EXPECT_FLOAT_EQ(GAcqParam.DR_WaveHi[3], 5.0f);
    EXPECT_FLOAT_EQ(GAcqParam.DR_WaveLo[3], 1.0f);
    EXPECT_EQ(w->lblDiv(3).Caption(), "2.0");
    // A low value above the high one is lowered to it.
    w->txtDR_WaveLo(3).setText("8");
    EXPECT_EQ(w->txtDR_WaveLo(3).Text(), "5");
    EXPECT_FLOAT_EQ(GAcqParam.DR_WaveLo[3], 5.0f);
    EXPECT_EQ(w->lblDiv(3).Caption(), "0.0");
    // A high value below the low one is raised to it.
    w->txtDR_WaveHi(3).setText("2abc");
    EXPECT_EQ(w->txtDR_WaveHi(3).Text(), "5");
    // The symmetric box: ticking or clearing it sets low := -high; a new high follows.
    w->chkCopy(3).setValue(1);
    EXPECT_EQ(w->txtDR_WaveLo(3).Text(), "-5");
    w->chkCopy(3).setValue(0);
    EXPECT_EQ(w->txtDR_WaveLo(3).Text(), "-5");
    w->chkCopy(3).setValue(1);
    w->txtDR_WaveHi(3).setText("3");
    EXPECT_EQ(w->txtDR_WaveLo(3).Text(), "-3");
    EXPECT_FLOAT_EQ(GAcqParam.DR_WaveLo[3], -3.0f);
    EXPECT_EQ(w->lRangeRowEU, 3);
    // The A/D pair writes the same range.
    w->chkCopy_V(4).setValue(0);
    w->txtDR_WaveHi_V(4).setText("2048");
    w->txtDR_WaveLo_V(4).setText("4000");
    EXPECT_EQ(w->txtDR_WaveLo_V(4).Text(), "2048");
    EXPECT_FLOAT_EQ(GAcqParam.DR_WaveLo[4], 2048.0f);
    w->chkCopy_V(4).setValue(1);
    EXPECT_EQ(w->txtDR_WaveLo_V(4).Text(), "-2048");
    EXPECT_EQ(w->lRangeRowRaw, 4);
}

TEST_F(Ranges, WhileLoadingOnlyValuesAreStoredAndInAcquisitionTheAdPairDoesNotRedraw) {
    int paints = 0;
    forms::ScopedConnection c = w->PBXMoniDisp.Paint.connect([&] { ++paints; });
    w->chkCopy(0).setValue(1);
    w->chkCopy_V(0).setValue(0);
    paints = 0;
    GAcqParam.GbLoading = true;
    w->txtDR_WaveHi(0).setText("2");
    w->txtDR_WaveLo(0).setText("9");
    EXPECT_EQ(w->txtDR_WaveLo(0).Text(), "9");
    EXPECT_FLOAT_EQ(GAcqParam.DR_WaveLo[0], 9.0f);
    EXPECT_EQ(w->lblDiv(0).Caption(), "-3.5");
    EXPECT_EQ(paints, 0);
    GAcqParam.GbLoading = false;
    w->txtDR_WaveHi(0).setText("10");
    EXPECT_EQ(paints, 2) << "the low box's own change and the high box's";
    EXPECT_EQ(w->txtDR_WaveLo(0).Text(), "-10");

    w->SetDispStatus("Acq", false);
    paints = 0;
    w->txtDR_WaveHi_V(0).setText("100");
    EXPECT_FLOAT_EQ(GAcqParam.DR_WaveHi[0], 100.0f);
    EXPECT_EQ(paints, 0);
    w->SetDispStatus("End", false);
    w->txtDR_WaveHi_V(0).setText("200");
    EXPECT_EQ(paints, 1);
    GAcqParam.PTotal = 0;  // the A/D pair redraws only with data
    w->txtDR_WaveHi_V(0).setText("300");
    EXPECT_EQ(paints, 1);
}

TEST_F(Ranges, FocusHighlightsTheRowAndTheEditBoxAppliesOrRestores) {
    w->fraRange.setVisible(true);
    ASSERT_TRUE(driver.focus(w->txtDR_WaveHi(1)));
    EXPECT_EQ(w->txtDR_WaveHi(1).BackColor(), 0xE0FFE0u);
    EXPECT_EQ(w->txtDR_WaveLo(1).BackColor(), 0xE0FFE0u);
    ASSERT_TRUE(driver.focus(w->txtDR_WaveLo(0)));
    EXPECT_EQ(w->txtDR_WaveHi(1).BackColor(), 0xFFFFFFu);
    EXPECT_EQ(w->txtDR_WaveLo(0).BackColor(), 0xE0FFE0u);
    EXPECT_EQ(w->lRangeRowEU, 0);

    // A click lays the edit box over the range box; Enter applies what was typed.
    ASSERT_TRUE(driver.focus(w->txtDR_WaveHi(1)));
    w->txtDR_WaveHi_Click(1);
    forms::TextBox& in = w->txtDR_WaveInput;
    EXPECT_TRUE(in.Visible());
    EXPECT_DOUBLE_EQ(in.Top(), w->txtDR_WaveHi(1).Top());
    EXPECT_DOUBLE_EQ(in.Left(), w->txtDR_WaveHi(1).Left());
    EXPECT_EQ(in.Text(), "1");
    EXPECT_EQ(in.BackColor(), 0xE0FFE0u);
    in.setText("7");
    int enter = 13;
    w->txtDR_WaveInput_KeyDown(enter, 0);
    EXPECT_EQ(w->txtDR_WaveHi(1).Text(), "7");
    EXPECT_FLOAT_EQ(GAcqParam.DR_WaveHi[1], 7.0f);
    EXPECT_DOUBLE_EQ(in.Top(), -9999);
    // Esc leaves the range box as it was.
    w->txtDR_WaveHi_Click(1);
    in.setText("8");
    int esc = 27;
    w->txtDR_WaveInput_KeyDown(esc, 0);
    EXPECT_EQ(w->txtDR_WaveHi(1).Text(), "7");
    EXPECT_DOUBLE_EQ(in.Top(), -9999);
}

}  // namespace
