// The channel bands of the monitor and the channel panel beside it: which channels are drawn and
// in which band, where every row control sits, the display sizes, pixel positions on the graph,
// the picture's copy to the clipboard, and the small handlers around them.
#include <algorithm>

#include "app/common/DaskBase.h"
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/TrelmImports.h"
#include "app/common/modCommon.h"
#include "app/common/modEnhMetaFile.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_Monitor.h"
#include "platform/basic/Numbers.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Time.h"

namespace qv {

using basic::CLng;
using monitor::channelsOf;
using monitor::waveOf;

namespace {
// The base widths of the three display sizes, in pixels.
constexpr float kSizeL = 815, kSizeM = 653, kSizeS = 300;
// The "(N)" caption of the trigger mode sits 880 twips left of "(sec)".
constexpr double kNoUnitShiftTwips = 880;
}  // namespace

// ---- Bands ----

int32_t Acqisition::GetDispCHNum() {
    const monitor::ChannelSpan live = channelsOf(GAcqCondition);
    int32_t n = 0;
    for (int32_t i = live.first; i <= live.last; ++i)
        if (GAcqParam.CHKWaveNo[i] == 1) ++n;
    return n;
}

int32_t Acqisition::GetDispFirstCHNo() {
    if (GAcqCondition.lCHCnt < 1) return -1;
    const monitor::ChannelSpan live = channelsOf(GAcqCondition);
    for (int32_t i = live.first; i <= live.last; ++i)
        if (GAcqParam.CHKWaveNo[i] == 1) return i;
    return -1;
}

int32_t Acqisition::GetDispPos(int32_t ch) {
    int32_t pos = -1;
    for (int32_t i = 0; i <= ch; ++i)
        if (CHKWaveNo(i).Visible() && CHKWaveNo(i).Value() == 1) ++pos;
    return pos;
}

int32_t Acqisition::GetPos2CHNo(int32_t pos) {
    const monitor::ChannelSpan live = channelsOf(GAcqCondition);
    for (int32_t i = live.first; i <= live.last; ++i)
        if (GetDispPos(i) == pos) return i;
    return -1;
}

float Acqisition::GetGraphXPix(float x) {
    float y = 0.0f;
    Trelm::H_CONVPIXEL(lGraphHandle, &x, &y);
    return x;
}

float Acqisition::GetGraphYPix(int32_t ch, int32_t point) {
    const auto height = static_cast<float>(PBXMoniDisp.ScaleHeight());
    const int32_t n = GetDispCHNum();
    if (n == 0) return height;  // no bands: the bottom edge
    const float h = GetH_CurCrossHi(ch, GAcqParam.DR_WaveHi.at(static_cast<size_t>(ch)),
                                    GAcqParam.DR_WaveLo.at(static_cast<size_t>(ch)), point, 0);
    return height - h / static_cast<float>(n) * height;
}

float Acqisition::GetH_CurCrossHi(int32_t ch, float hi, float lo, int32_t pos, int32_t) {
    if (!IsDataLoaded() || pos < 0 || pos >= DispWaveArray.Points()) return 0.0f;
    const int32_t column = ch - (GAcqCondition.lStartCH - 1);
    if (column < 0 || column >= DispWaveArray.Channels() || hi == lo) return 0.0f;
    const int32_t n = GetDispCHNum();
    const int32_t p = GetDispPos(ch);
    const float v = DispWaveArray(pos, column);
    return static_cast<float>(n - p - 1) + (v - lo) / (hi - lo);
}

int32_t Acqisition::GetCHNo2CrossCurNo(int32_t ch) { return 6 + 2 * GetDispPos(ch); }

void Acqisition::MoveCrossMarkers(int32_t ch) {
    const AcqParam& p = GAcqParam;
    const float hi = p.DR_WaveHi.at(static_cast<size_t>(ch)), lo = p.DR_WaveLo.at(static_cast<size_t>(ch));
    const int32_t cursor = GetCHNo2CrossCurNo(ch);
    const float w = sngCrossHalf;
    const auto l = static_cast<float>(p.Cur_L_Point), r = static_cast<float>(p.Cur_R_Point);
    const float yl = GetH_CurCrossHi(ch, hi, lo, p.Cur_L_Point - p.lPosWAVE_Start, 0);
    Trelm::H_CURSORMOVE(lGraphHandle, cursor, l - w, yl, l + w, yl);
    const float yr = GetH_CurCrossHi(ch, hi, lo, p.Cur_R_Point - p.lPosWAVE_Start, 0);
    Trelm::H_CURSORMOVE(lGraphHandle, cursor + 1, r - w, yr, r + w, yr);
}

void Acqisition::SetDispCH_GCWave() {
    for (int32_t i = 0; i < 32; ++i) {
        CWave& w = waveOf(i);
        w.CHDisp(0);
        w.CHWindow(0);
        w.WaveGraphAll(&PBXMoniDisp);
    }
    const monitor::ChannelSpan live = channelsOf(GAcqCondition);
    for (int32_t i = live.first; i <= live.last; ++i) {
        CWave& w = waveOf(i);
        w.CHDisp(1);
        w.CHWindow(0);
        w.WaveGraphAll(&PBXMoniDisp);
        // No margin in the monitor's bands: the cross markers sit on the trace.
        w.ChMarginD(0.0f);
        w.DispPos(GetDispPos(i));
        w.DispNum(GetDispCHNum());
    }
}

// ---- Channel panel ----

void Acqisition::DispCHCtrl() {
    const AcqCondition& c = GAcqCondition;
    const double panel = fraCHDisp.Height();
    const int32_t n = GetDispCHNum();
    const double band = n > 0 ? CLng(panel / n) : 0;
    const double row = c.lCHCnt > 0 ? CLng(panel / c.lCHCnt) : 0;
    const bool acq = IsModeAcq();
    const bool useCal = IsUseCal();
    auto centreOn = [](forms::Control& ctl, double centre) { ctl.setTop(centre - ctl.Height() / 2); };

    for (int32_t i = 0; i < 32; ++i) {
        lblNoName(i).setCaption(basic::CStr(i + 1));
        lblNoName_2(i).setCaption(basic::CStr(i + 1));
        for (forms::Control* ctl : std::initializer_list<forms::Control*>{
                 &CHKWaveNo(i), &lblNoName(i), &lblNoName_2(i), &lblNoName_3(i), &lblNoName_3R(i),
                 &txtNoName_3(i), &txtNoName_3R(i), &lblCurLevel_L(i), &lblCurLevel_R(i),
                 &lblCurLevel_LR(i), &txtDR_WaveHi(i), &txtDR_WaveLo(i), &txtDR_WaveHi_V(i),
                 &txtDR_WaveLo_V(i), &chkCopy(i), &chkCopy_V(i), &lblUnit(i), &chkCal(i)})
            ctl->setVisible(false);
    }
    for (int32_t j = 0; j <= Line1.UBound(); ++j) {
        Line1(j).setY1(1000000);
        Line1(j).setY2(1000000);
        Line1(j).setVisible(true);
    }

    const monitor::ChannelSpan live = channelsOf(c);
    int32_t k = 0;
    for (int32_t i = live.first; i <= live.last; ++i) {
        const double centre =
            CLng(c.lCHCnt > 0 ? panel / c.lCHCnt * (i - live.first) + row / 2 : row / 2);
        for (forms::Control* ctl :
             std::initializer_list<forms::Control*>{&CHKWaveNo(i), &lblNoName(i), &chkCal(i)}) {
            ctl->setVisible(true);
            centreOn(*ctl, centre);
        }
        if (CHKWaveNo(i).Value() == 1) {
            const double top = n > 0 ? panel / n * GetDispPos(i) : 0;
            const double mid = CLng(top + band / 2);
            lblNoName_2(i).setVisible(true);
            centreOn(lblNoName_2(i), mid);
            lblNoName_3(i).setVisible(!acq);
            lblNoName_3R(i).setVisible(!acq);
            lblNoName_3(i).setTop(top);
            lblNoName_3R(i).setTop(top);
            txtNoName_3(i).setVisible(acq);
            txtNoName_3R(i).setVisible(acq);
            txtNoName_3(i).setTop(top + 1);
            txtNoName_3R(i).setTop(top + 1);
            for (forms::Control* ctl : std::initializer_list<forms::Control*>{
                     &lblCurLevel_L(i), &lblCurLevel_R(i), &lblCurLevel_LR(i)}) {
                ctl->setVisible(true);
                centreOn(*ctl, mid);
            }
            (useCal ? txtDR_WaveHi(i) : txtDR_WaveHi_V(i)).setVisible(true);
            (useCal ? txtDR_WaveLo(i) : txtDR_WaveLo_V(i)).setVisible(true);
            chkCopy(i).setVisible(useCal);
            chkCopy_V(i).setVisible(!useCal);
            for (forms::Control* ctl : std::initializer_list<forms::Control*>{
                     &txtDR_WaveHi(i), &txtDR_WaveLo(i), &txtDR_WaveHi_V(i), &txtDR_WaveLo_V(i),
                     &lblUnit(i), &lblDiv(i)})
                centreOn(*ctl, mid);
            chkCopy(i).setTop(txtDR_WaveLo(i).Top());
            chkCopy_V(i).setTop(txtDR_WaveLo_V(i).Top());
            lblUnit(i).setVisible(true);
            txtNoName_3R(i).setLeft(PBXMoniDisp.Width() - txtNoName_3R(i).Width());
            lblNoName_3R(i).setLeft(PBXMoniDisp.Width() - lblNoName_3R(i).Width());
        }
        // A separator under every fourth row.
        if (k % 4 == 0 && k != 0 && k / 4 <= Line1.UBound()) {
            const double y = CHKWaveNo(i - 1).Top() + CHKWaveNo(i - 1).Height() / 2 + row / 2;
            Line1(k / 4).setY1(y);
            Line1(k / 4).setY2(y);
            Line1(k / 4).setVisible(true);
        }
        ++k;
    }

    const bool trig = IsTriggerSetting();
    lblStartEnd.setVisible(!trig);
    lblEndTime.setVisible(!trig);
    if (lblNoUnitSecLeft < 0) lblNoUnitSecLeft = LBLNoUnit.Left();
    const double secLeft = lblNoUnitSecLeft;
    if (trig) {
        LBLNoUnit.setCaption("(N)");
        LBLNoUnit.setLeft(secLeft - kNoUnitShiftTwips / forms::Screen.TwipsPerPixelX());
        txtMoveTime.setText("1");
        cmbSamplePoint.setVisible(false);
        if (cmbSamplePoint.ListCount() > 0) cmbSamplePoint.setListIndex(0);
    } else {
        LBLNoUnit.setCaption("(sec)");
        LBLNoUnit.setLeft(secLeft);
        txtMoveTime.setText("0");
        cmbSamplePoint.setVisible(true);
    }
}

// After a change of the bands or the display size: the cursor graph is made anew and the
// picture repainted (in acquisition the picture is redrawn at once instead).
void Acqisition::RedrawAfterLayout(bool resetCursors) {
    if (IsModeAcq()) {
        ChangeMonitorDispSetting();
        if (IsTriggerSetting()) DispFullWave(PBXMoniDisp.hDC(), false);
        return;
    }
    SetCursor(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, resetCursors);
    PBXMoniDisp.Refresh();
}

void Acqisition::WheelMove(int32_t direction) {
    if (IsModeAcq() || !IsDataLoaded() || bRangeDrag || lRangeDragCH < 0 || lRangeDragCH > 31)
        return;
    const double f = direction == 0 ? 0.9 : 1 / 0.9;
    forms::TextBox& box =
        chkUseCAL.Value() == 1 ? txtDR_WaveHi(lRangeDragCH) : txtDR_WaveHi_V(lRangeDragCH);
    box.setText(basic::CStr(basic::Val(box.Text()) * f));
}

// ---- Handlers ----

void Acqisition::CHKWaveNo_Click(int Index) {
    GAcqParam.CHKWaveNo.at(static_cast<size_t>(Index)) = static_cast<int16_t>(CHKWaveNo(Index).Value());
    if (!bCHBulkUpdate) UpdateCHDisp();
}

void Acqisition::lblNoName_Caption_Click() {
    bCaptionToggle = !bCaptionToggle;
    {
        RaisedFlag bulk(bCHBulkUpdate);
        const monitor::ChannelSpan live = channelsOf(GAcqCondition);
        for (int32_t i = live.first; i <= live.last; ++i) CHKWaveNo(i).setValue(bCaptionToggle ? 1 : 0);
    }
    UpdateCHDisp();
}

void Acqisition::lblNoName_Caption3_Click() {
    bCaption3Toggle = !bCaption3Toggle;
    const monitor::ChannelSpan live = channelsOf(GAcqCondition);
    for (int32_t i = live.first; i <= live.last; ++i) chkCal(i).setValue(bCaption3Toggle ? 1 : 0);
}

// Fills a column of the calibration table down from the focused row with that row's text.
void Acqisition::lblItemName_Click(int Index) {
    if (!optCalAcq.Value()) return;
    forms::ControlArray<forms::TextBox>* columns[] = {&txtName, &txtUnit, &txtEUHI,
                                                      &txtEULO, &txtCALAD, &txtBASEAD};
    if (Index < 0 || Index >= static_cast<int>(std::size(columns))) basic::raiseError(basic::errSubscript);
    auto& column = *columns[Index];
    const std::string text = column(lCalTableFocusRow).Text();
    const int32_t last = channelsOf(GAcqCondition).last;
    for (int32_t j = lCalTableFocusRow; j <= last; ++j) column(j).setText(text);
}

void Acqisition::chkDispTable_Click() {
    const bool table = chkDispTable.Value() == 1;
    fraCal.setVisible(table);
    fraCalDispACQ.setVisible(table);
    for (forms::Control* ctl : std::initializer_list<forms::Control*>{
             &fraRange, &lblCurLevel_L_Label, &lblCurLevel_R_Label, &lblCurLevel_LR_Label,
             &lblRange, &lblNoName_Caption4})
        ctl->setVisible(!table);
    if (table) optS.setValue(true);
}

void Acqisition::chkMean_Click() { PBXMoniDisp.Refresh(); }

void Acqisition::SetDisplaySize(float baseWidth) {
    SubPrg_NotifyChangeSetting();
    PBXMoniDisp.setWidth(GsngGraphWidth / forms::Screen.TwipsPerPixelX() + baseWidth);
    DispBaseWidth = baseWidth;
    RedrawAfterLayout(true);
}

void Acqisition::optL_Click() { SetDisplaySize(kSizeL); }
void Acqisition::optM_Click() { SetDisplaySize(kSizeM); }
void Acqisition::optS_Click() { SetDisplaySize(kSizeS); }

// The picture to the clipboard as a metafile (and a PNG of it), without the plot background.
void Acqisition::PBXMoniDisp_DblClick() {
    if (!IsModeEnd()) return;
    const int32_t dc = CreatePictureEMF(PBXMoniDisp, ProgramFile("Metadata.emf"));
    if (dc == 0) return;
    const int32_t background = GAxisBoxOpt[1];
    GAxisBoxOpt[1] = -1;
    try {
        DispFullWave(dc, false);
    } catch (...) {
        GAxisBoxOpt[1] = background;
        CloseEMF(dc);
        throw;
    }
    CloseEMFToClipboard(dc);
    GAxisBoxOpt[1] = background;
    DispFullWave(PBXMoniDisp.hDC(), false);
}

void Acqisition::PBXMoniDisp_Resize() {
    for (int32_t i = 0; i <= lblNoName_3R.UBound(); ++i)
        lblNoName_3R(i).setLeft(PBXMoniDisp.Width() - lblNoName_3R(i).Width());
    for (int32_t i = 0; i <= txtNoName_3R.UBound(); ++i)
        txtNoName_3R(i).setLeft(PBXMoniDisp.Width() - txtNoName_3R(i).Width());
}

void Acqisition::pbxParent_DblClick() { pbxParent.setVisible(!pbxParent.Visible()); }

void Acqisition::Timer2_Timer() {
    Timer2.setEnabled(false);
    chkDispTable.setValue(1);
    chkDispTable_Click();
}

// Lets the window settle after a load, then draws once; whatever fails, it fires only once.
void Acqisition::timSaveImage_Timer() {
    try {
        for (int i = 0; i < 100; ++i) {
            forms::DoEvents();
            kernel::sleepMs(1);
        }
        DispFullWave(PBXMoniDisp.hDC(), false);
    } catch (const forms::ProgramEnded&) {
        timSaveImage.setEnabled(false);
        throw;
    } catch (const std::exception& e) {
        WriteLog(std::string("timSaveImage: ") + e.what(), true);
    }
    timSaveImage.setEnabled(false);
}

}  // namespace qv
