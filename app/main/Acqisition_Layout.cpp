// The main window on resize: its design size is its smallest; wider or taller, the right-hand
// panels and buttons keep their distance from the right edge, the monitor and the tall panels
// stretch and the bottom rows keep their distance from the bottom. And the timer that copies
// the window's placement into the hidden state window.
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Globals.h"

namespace qv {

void Acqisition::recordLayout() {
    AcqLayout& l = GAcqLayout;
    l.minWidth = static_cast<float>(Width());
    l.minHeight = static_cast<float>(Height());
    l.lblNoName_Caption4Left = static_cast<float>(lblNoName_Caption4.Left());
    l.lblRangeLeft = static_cast<float>(lblRange.Left());
    l.lblCurLevel_L_LabelLeft = static_cast<float>(lblCurLevel_L_Label.Left());
    l.lblCurLevel_R_LabelLeft = static_cast<float>(lblCurLevel_R_Label.Left());
    l.lblCurLevel_LR_LabelLeft = static_cast<float>(lblCurLevel_LR_Label.Left());
    l.fraCtrlLeft = static_cast<float>(fraCtrl.Left());
    l.fraCalLeft = static_cast<float>(fraCal.Left());
    l.fraCalDispACQLeft = static_cast<float>(fraCalDispACQ.Left());
    l.PBXMoniDispWidth = static_cast<float>(PBXMoniDisp.Width());
    l.PBXMoniDispHeight = static_cast<float>(PBXMoniDisp.Height());
    l.fraMonitorGraphTop = static_cast<float>(fraMonitorGraph.Top());
    l.cmdCONDITIONLeft = static_cast<float>(cmdCONDITION.Left());
    l.cmdCONDITIONTop = static_cast<float>(cmdCONDITION.Top());
    l.cmdHardCopyTop = static_cast<float>(cmdHardCopy.Top());
    l.cmdHardCopyFTop = static_cast<float>(cmdHardCopyF.Top());
    l.fraCHDispHeight = static_cast<float>(fraCHDisp.Height());
    l.chkUseCALLeft = static_cast<float>(chkUseCAL.Left());
    l.chkDispTableLeft = static_cast<float>(chkDispTable.Left());
    l.chkCurLvlTop = static_cast<float>(chkCurLvl.Top());
    l.Label13Top = static_cast<float>(Label13.Top());
    l.Label14Top = static_cast<float>(Label14.Top());
    l.chkCurRstTop = static_cast<float>(chkCurRst.Top());
    l.Label15Top = static_cast<float>(Label15.Top());
    l.Label16Top = static_cast<float>(Label16.Top());
    l.chkCurRstCenterTop = static_cast<float>(chkCurRstCenter.Top());
    l.Label2Top = static_cast<float>(Label2.Top());
    l.Label17Top = static_cast<float>(Label17.Top());
    l.txtMsgLeft = static_cast<float>(txtMsg.Left());
    l.txtMsgTop = static_cast<float>(txtMsg.Top());
    MoniDispStartHeight = l.PBXMoniDispHeight;
    GsngGraphWidth = 0;
}

void Acqisition::Form_Resize() {
    AcqLayout& l = GAcqLayout;
    const int state = WindowState();
    if (state == forms::vbMinimized) return;
    // A maximised window cannot be sized from code; on a screen smaller than the design it is
    // laid out with what it has (negative extra room), as for the height.
    if (Width() < l.minWidth && state != forms::vbMaximized) {
        setWidth(l.minWidth);
        return;
    }
    if (Height() < l.minHeight && state != forms::vbMaximized) {
        setHeight(l.minHeight);
        return;
    }
    l.extraWidth = static_cast<float>(Width()) - l.minWidth;
    l.extraHeight = static_cast<float>(Height()) - l.minHeight;
    GsngGraphWidth = l.extraWidth;
    const float dx = l.extraWidth / static_cast<float>(forms::Screen.TwipsPerPixelX());
    const float dy = l.extraHeight / static_cast<float>(forms::Screen.TwipsPerPixelY());

    fraCtrl.setLeft(l.fraCtrlLeft + dx);
    fraCal.setLeft(l.fraCalLeft + dx);
    fraRange.setLeft(l.fraCalLeft + dx);
    fraCalDispACQ.setLeft(l.fraCalDispACQLeft + dx);
    fraCSV.setLeft(l.fraCalLeft + dx);
    fraTrg.setLeft(l.fraCalLeft + dx);
    cmdCONDITION.setLeft(l.cmdCONDITIONLeft + dx);
    cmdCONDITION.setTop(l.cmdCONDITIONTop + dy);
    cmdHardCopy.setLeft(cmdCONDITION.Left());
    cmdHardCopyF.setLeft(cmdCONDITION.Left());
    cmdHardCopy.setTop(l.cmdHardCopyTop + dy);
    cmdHardCopyF.setTop(l.cmdHardCopyFTop + dy);
    fraCHDisp.setHeight(l.fraCHDispHeight + dy);
    PBXMoniDisp.setWidth(l.PBXMoniDispWidth + dx);
    PBXMoniDisp.setHeight(l.PBXMoniDispHeight + dy);
    fraCal.setHeight(l.PBXMoniDispHeight + dy);
    fraCtrl.setHeight(l.PBXMoniDispHeight + dy);
    fraRange.setHeight(l.PBXMoniDispHeight + dy);
    fraMonitorGraph.setTop(l.fraMonitorGraphTop + dy);
    fraCSV.setTop(l.fraMonitorGraphTop + dy + 37);
    fraTrg.setTop(l.fraMonitorGraphTop + dy);
    chkUseCAL.setLeft(l.chkUseCALLeft + dx);
    chkDispTable.setLeft(l.chkDispTableLeft + dx);
    lblNoName_Caption4.setLeft(l.lblNoName_Caption4Left + dx);
    lblRange.setLeft(l.lblRangeLeft + dx);
    lblCurLevel_L_Label.setLeft(l.lblCurLevel_L_LabelLeft + dx);
    lblCurLevel_R_Label.setLeft(l.lblCurLevel_R_LabelLeft + dx);
    lblCurLevel_LR_Label.setLeft(l.lblCurLevel_LR_LabelLeft + dx);
    chkCurLvl.setTop(l.chkCurLvlTop + dy);
    Label13.setTop(l.Label13Top + dy);
    Label14.setTop(l.Label14Top + dy);
    chkCurRst.setTop(l.chkCurRstTop + dy);
    Label15.setTop(l.Label15Top + dy);
    Label16.setTop(l.Label16Top + dy);
    chkCurRstCenter.setTop(l.chkCurRstCenterTop + dy);
    Label2.setTop(l.Label2Top + dy);
    Label17.setTop(l.Label17Top + dy);
    txtMsg.setLeft(l.txtMsgLeft + dx);
    txtMsg.setTop(l.txtMsgTop + dy);

    DispCHCtrl();
    if (!IsModeAcq()) {
        SetCursor(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, false);
        PBXMoniDisp.Refresh();
    }
}

void Acqisition::timPos_Timer() {
    if (GbEndProgram) timPos.setEnabled(false);
    if (!Visible()) return;
    Acqisition2& hidden = Acqisition2::instance();
    hidden.txtSize_Acqisition_Top.setText(basic::CStr(Top()));
    hidden.txtSize_Acqisition_Left.setText(basic::CStr(Left()));
    hidden.txtSize_Acqisition_Width.setText(basic::CStr(Width()));
    hidden.txtSize_Acqisition_Height.setText(basic::CStr(Height()));
}

}  // namespace qv
