// The main window: binding the design to the class, the one place where events meet their
// handlers, and the few handlers that have nothing to do.
#include "app/main/Acqisition.h"

#include "app/common/IniSet.h"

namespace qv {

AcqLayout GAcqLayout;
float MoniDispStartHeight = 0;
float DispBaseWidth = 300;
float GsngGraphWidth = 0;

Acqisition& Acqisition::instance() { return forms::loadForm<Acqisition>(); }

#define QV_BIND_CONTROL(T, n) n(ctl<forms::T>(#n)),
#define QV_BIND_ARRAY(T, n) n(array<forms::T>(#n)),
Acqisition::Acqisition()
    : Form(design()),
      QV_ACQISITION_CONTROLS(QV_BIND_CONTROL) QV_ACQISITION_ARRAYS(QV_BIND_ARRAY) bInternalUpdate(false) {
    wire();
}
#undef QV_BIND_CONTROL
#undef QV_BIND_ARRAY

void Acqisition::wire() {
    using forms::CheckBox;
    using forms::Control;
    using forms::Label;
    using forms::TextBox;
    on(Load, &Acqisition::Form_Load);
    on(QueryUnload, &Acqisition::Form_QueryUnload);
    on(Unload, &Acqisition::Form_Unload);
    on(Resize, &Acqisition::Form_Resize);
    on(KeyDown, &Acqisition::Form_KeyDown);
    on(OLEDragDrop, &Acqisition::Form_OLEDragDrop);
    // A file dropped on any panel is handled as a drop on the window.
    for (forms::DropTarget* panel : std::initializer_list<forms::DropTarget*>{
             &fraCal, &fraCHDisp, &PBXMoniDisp, &fraRange, &fraCtrl, &fraCSV})
        on(panel->OLEDragDrop, &Acqisition::Form_OLEDragDrop);

    on(cmdCONDITION.Click, &Acqisition::cmdCONDITION_Click);
    on(cmdQUIT.Click, &Acqisition::cmdQUIT_Click);
    on(cmdHardCopy.Click, &Acqisition::cmdHardCopy_Click);
    on(cmdHardCopyF.Click, &Acqisition::cmdHardCopyF_Click);
    on(cmdStart.Click, &Acqisition::cmdStart_Click);
    on(cmdEnd.Click, &Acqisition::cmdEnd_Click);
    on(cmdLoad.Click, &Acqisition::cmdLoad_Click);
    on(cmdCallFuncMain.Click, &Acqisition::cmdCallFuncMain_Click);
    on(cmdRecalcRR.Click, &Acqisition::cmdRecalcRR_Click);
    on(cmdMakeCSVAuto.Click, &Acqisition::cmdMakeCSVAuto_Click);
    on(cmdCSV.Click, &Acqisition::cmdCSV_Click);
    on(cmdMove.Click, &Acqisition::cmdMove_Click);
    on(cmdMovePrev.Click, &Acqisition::cmdMovePrev_Click);
    on(cmdMovePrevFirst.Click, &Acqisition::cmdMovePrevFirst_Click);
    on(cmdMovePrevH.Click, &Acqisition::cmdMovePrevH_Click);
    on(cmdMovePrev1Sec.Click, &Acqisition::cmdMovePrev1Sec_Click);
    on(cmdMoveNext.Click, &Acqisition::cmdMoveNext_Click);
    on(cmdMoveNextFirst.Click, &Acqisition::cmdMoveNextFirst_Click);
    on(cmdMoveNextH.Click, &Acqisition::cmdMoveNextH_Click);
    on(cmdMoveNext1Sec.Click, &Acqisition::cmdMoveNext1Sec_Click);
    on(cmdCancelMark.Click, &Acqisition::cmdCancelMark_Click);
    on(cmdSetTrgLvl.Click, &Acqisition::cmdSetTrgLvl_Click);
    on(cmdAddMarkOffline.Click, &Acqisition::cmdAddMarkOffline_Click);
    on(cmdDelMarkOffline.Click, &Acqisition::cmdDelMarkOffline_Click);
    on(cmdAddMark.Click, &Acqisition::cmdAddMark_Click);
    on(cmdClearMark.Click, &Acqisition::cmdClearMark_Click);
    on(cmdSAVECAL.Click, &Acqisition::cmdSAVECAL_Click);
    on(cmdLoadREGIST.Click, &Acqisition::cmdLoadREGIST_Click);
    on(cmdLOADCAL.Click, &Acqisition::cmdLOADCAL_Click);
    on(cmdDISPREGISTEDCAL.Click, &Acqisition::cmdDISPREGISTEDCAL_Click);
    on(cmdSaveSetting.Click, &Acqisition::cmdSaveSetting_Click);
    on(cmdLoadSetting.Click, &Acqisition::cmdLoadSetting_Click);
    on(cmdSaveParam.Click, &Acqisition::cmdSaveParam_Click);
    on(cmdSelectAmp.Click, &Acqisition::cmdSelectAmp_Click);
    on(cmdP2P.Click, &Acqisition::cmdP2P_Click);
    on(cmdP2PHalf.Click, &Acqisition::cmdP2PHalf_Click);
    on(cmdGETCAL.Click, &Acqisition::cmdGETCAL_Click);
    on(cmdPUTCAL.Click, &Acqisition::cmdPUTCAL_Click);
    on(cmdInc10.Click, &Acqisition::cmdInc10_Click);
    on(cmdDec10.Click, &Acqisition::cmdDec10_Click);
    on(cmdDispInit.Click, &Acqisition::cmdDispInit_Click);
    on(cmdCAMChange.Click, &Acqisition::cmdCAMChange_Click);
    on(cmdずらす.Click, &Acqisition::cmdずらす_Click);

    on(chkUseCAL.Click, &Acqisition::chkUseCAL_Click);
    on(chkDispTable.Click, &Acqisition::chkDispTable_Click);
    on(chkL2L.Click, &Acqisition::chkL2L_Click);
    on(chkL2LHalf.Click, &Acqisition::chkL2LHalf_Click);
    on(chkDispRaw.Click, &Acqisition::chkDispRaw_Click);
    on(chkDispCAMPos.Click, &Acqisition::chkDispCAMPos_Click);
    on(chkCurLvl.Click, &Acqisition::chkCurLvl_Click);
    on(chkCurRst.Click, &Acqisition::chkCurRst_Click);
    on(chkCurRstCenter.Click, &Acqisition::chkCurRstCenter_Click);
    on(chkMean.Click, &Acqisition::chkMean_Click);
    on(chkDispBUFF_SWEEP_F.Click, &Acqisition::chkDispBUFF_SWEEP_F_Click);
    on(chkDisp最も近いグラフを探す.Click, &Acqisition::chkDisp最も近いグラフを探す_Click);
    on(CHKWaveNo, &CheckBox::Click, &Acqisition::CHKWaveNo_Click);
    on(chkCal, &CheckBox::Click, &Acqisition::chkCal_Click);
    on(chkCopy, &CheckBox::Click, &Acqisition::chkCopy_Click);
    on(chkCopy_V, &CheckBox::Click, &Acqisition::chkCopy_V_Click);
    on(optCalAcq.Click, &Acqisition::optCalAcq_Click);
    on(optCalDisp.Click, &Acqisition::optCalDisp_Click);
    on(optL.Click, &Acqisition::optL_Click);
    on(optM.Click, &Acqisition::optM_Click);
    on(optS.Click, &Acqisition::optS_Click);
    on(optMonitor.Click, &Acqisition::optMonitor_Click);

    on(cmbSampleFreq.Click, &Acqisition::cmbSampleFreq_Click);
    on(cmbTimeFS.Click, &Acqisition::cmbTimeFS_Click);
    on(cmbSamplePoint.Click, &Acqisition::cmbSamplePoint_Click);

    on(TXTPreSetCounter.LostFocus, &Acqisition::TXTPreSetCounter_LostFocus);
    on(txtDD.Change, &Acqisition::txtDD_Change);
    on(txtDD.LostFocus, &Acqisition::txtDD_LostFocus);
    on(txtHH.Change, &Acqisition::txtHH_Change);
    on(txtHH.LostFocus, &Acqisition::txtHH_LostFocus);
    on(txtMM.Change, &Acqisition::txtMM_Change);
    on(txtMM.LostFocus, &Acqisition::txtMM_LostFocus);
    on(txtSS.Change, &Acqisition::txtSS_Change);
    on(txtSS.LostFocus, &Acqisition::txtSS_LostFocus);
    on(txtFName.Click, &Acqisition::txtFName_Click);
    on(txtStartTime.Change, &Acqisition::txtStartTime_Change);
    on(txtEndTime.Change, &Acqisition::txtEndTime_Change);
    on(txtMoveTime.Change, &Acqisition::txtMoveTime_Change);
    on(txtMoveTime.KeyDown, &Acqisition::txtMoveTime_KeyDown);
    on(txtCurTime_L.KeyDown, &Acqisition::txtCurTime_L_KeyDown);
    on(txtCurTime_L.LostFocus, &Acqisition::txtCurTime_L_LostFocus);
    on(txtCurTime_R.KeyDown, &Acqisition::txtCurTime_R_KeyDown);
    on(txtCurTime_R.LostFocus, &Acqisition::txtCurTime_R_LostFocus);
    on(txtDR_WaveInput.KeyDown, &Acqisition::txtDR_WaveInput_KeyDown);
    on(txtDR_WaveInput.LostFocus, &Acqisition::txtDR_WaveInput_LostFocus);
    on(txtIncDecEU.KeyDown, &Acqisition::txtIncDecEU_KeyDown);
    on(txtIncDecEU.LostFocus, &Acqisition::txtIncDecEU_LostFocus);
    on(t1EU.KeyDown, &Acqisition::t1EU_KeyDown);
    on(t1EU.LostFocus, &Acqisition::t1EU_LostFocus);
    on(t2EU.KeyDown, &Acqisition::t2EU_KeyDown);
    on(t2EU.LostFocus, &Acqisition::t2EU_LostFocus);
    on(TXTComment, &TextBox::Change, &Acqisition::TXTComment_Change);
    on(TXTComment, &Control::KeyDown, &Acqisition::TXTComment_KeyDown);
    on(txtName, &TextBox::Change, &Acqisition::txtName_Change);
    on(txtName, &Control::GotFocus, &Acqisition::txtName_GotFocus);
    on(txtName, &Control::KeyDown, &Acqisition::txtName_KeyDown);
    on(txtUnit, &TextBox::Change, &Acqisition::txtUnit_Change);
    on(txtUnit, &Control::GotFocus, &Acqisition::txtUnit_GotFocus);
    on(txtUnit, &Control::KeyDown, &Acqisition::txtUnit_KeyDown);
    on(txtEUHI, &TextBox::Change, &Acqisition::txtEUHI_Change);
    on(txtEUHI, &Control::GotFocus, &Acqisition::txtEUHI_GotFocus);
    on(txtEUHI, &Control::KeyDown, &Acqisition::txtEUHI_KeyDown);
    on(txtEULO, &TextBox::Change, &Acqisition::txtEULO_Change);
    on(txtEULO, &Control::GotFocus, &Acqisition::txtEULO_GotFocus);
    on(txtEULO, &Control::KeyDown, &Acqisition::txtEULO_KeyDown);
    on(txtCALAD, &TextBox::Change, &Acqisition::txtCALAD_Change);
    on(txtCALAD, &Control::GotFocus, &Acqisition::txtCALAD_GotFocus);
    on(txtCALAD, &Control::KeyDown, &Acqisition::txtCALAD_KeyDown);
    on(txtBASEAD, &TextBox::Change, &Acqisition::txtBASEAD_Change);
    on(txtBASEAD, &Control::GotFocus, &Acqisition::txtBASEAD_GotFocus);
    on(txtBASEAD, &Control::KeyDown, &Acqisition::txtBASEAD_KeyDown);
    on(txtDR_WaveHi, &TextBox::Change, &Acqisition::txtDR_WaveHi_Change);
    on(txtDR_WaveHi, &Control::Click, &Acqisition::txtDR_WaveHi_Click);
    on(txtDR_WaveHi, &Control::GotFocus, &Acqisition::txtDR_WaveHi_GotFocus);
    on(txtDR_WaveHi_V, &TextBox::Change, &Acqisition::txtDR_WaveHi_V_Change);
    on(txtDR_WaveHi_V, &Control::Click, &Acqisition::txtDR_WaveHi_V_Click);
    on(txtDR_WaveHi_V, &Control::GotFocus, &Acqisition::txtDR_WaveHi_V_GotFocus);
    on(txtDR_WaveLo, &TextBox::Change, &Acqisition::txtDR_WaveLo_Change);
    on(txtDR_WaveLo, &Control::Click, &Acqisition::txtDR_WaveLo_Click);
    on(txtDR_WaveLo, &Control::GotFocus, &Acqisition::txtDR_WaveLo_GotFocus);
    on(txtDR_WaveLo_V, &TextBox::Change, &Acqisition::txtDR_WaveLo_V_Change);
    on(txtDR_WaveLo_V, &Control::Click, &Acqisition::txtDR_WaveLo_V_Click);
    on(txtDR_WaveLo_V, &Control::GotFocus, &Acqisition::txtDR_WaveLo_V_GotFocus);

    on(LBLCurTime_L.Click, &Acqisition::LBLCurTime_L_Click);
    on(LBLCurTime_R.Click, &Acqisition::LBLCurTime_R_Click);
    on(LBLMark.Click, &Acqisition::LBLMark_Click);
    on(lblNoName_Caption.Click, &Acqisition::lblNoName_Caption_Click);
    on(lblNoName_Caption3.Click, &Acqisition::lblNoName_Caption3_Click);
    on(lblItemName, &Label::Click, &Acqisition::lblItemName_Click);
    on(lblRange.Click, &Acqisition::lblRange_Click);
    on(lblNoName, &Label::Click, &Acqisition::lblNoName_Click);

    on(PBXMoniDisp.Paint, &Acqisition::PBXMoniDisp_Paint);
    on(PBXMoniDisp.DblClick, &Acqisition::PBXMoniDisp_DblClick);
    on(PBXMoniDisp.MouseDown, &Acqisition::PBXMoniDisp_MouseDown);
    on(PBXMoniDisp.MouseMove, &Acqisition::PBXMoniDisp_MouseMove);
    on(PBXMoniDisp.MouseUp, &Acqisition::PBXMoniDisp_MouseUp);
    on(PBXMoniDisp.Resize, &Acqisition::PBXMoniDisp_Resize);
    on(pbxParent.DblClick, &Acqisition::pbxParent_DblClick);

    on(timBoot.Tick, &Acqisition::timBoot_Timer);
    on(timBootSubPrg.Tick, &Acqisition::timBootSubPrg_Timer);
    on(Timer2.Tick, &Acqisition::Timer2_Timer);
    on(timPos.Tick, &Acqisition::timPos_Timer);
    on(timWDT.Tick, &Acqisition::timWDT_Timer);
    on(timAutoACQ.Tick, &Acqisition::timAutoACQ_Timer);
    on(timDisp.Tick, &Acqisition::timDisp_Timer);
    on(timSaveImage.Tick, &Acqisition::timSaveImage_Timer);
}

// ---- Handlers that do nothing: their buttons and options have no work in this viewer ----

void Acqisition::ReadDetectR() {}

void Acqisition::cmdSaveParam_Click() {}
void Acqisition::cmdCAMChange_Click() {}

void Acqisition::optMonitor_Click() {}

}  // namespace qv
