// The main window's status mode and the enabling of its controls: the mode word and its label,
// the one place that decides which controls are enabled, visible or forced from the mode and
// the flags, the start-up state of the channel and counter controls, and the End command.
#include <initializer_list>
#include <string>

#include "app/camera/frmCAMDisp.h"
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/modCommon.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_Monitor.h"
#include "platform/basic/Basic.h"

namespace qv {

namespace {

constexpr forms::Color kStatusAcq = 0xFF;         // red
constexpr forms::Color kStatusReady = 0xFFFF;     // yellow
constexpr forms::Color kStatusOther = 0xE0E0E0;   // light grey

void enable(bool on, std::initializer_list<forms::Control*> controls) {
    for (forms::Control* c : controls) c->setEnabled(on);
}

}  // namespace

EnableOnExit::~EnableOnExit() {
    ClosingStep("EnableOnExit", [this] { form_.setEnabled(true); });
}

void Acqisition::SetDispStatus(const std::string& mode, bool refresh) {
    GAcqParam.ModeString = mode;
    LBLStatus.setCaption(mode);
    LBLStatus.setBackColor(mode == "Acq"     ? kStatusAcq
                           : mode == "Ready" ? kStatusReady
                                             : kStatusOther);
    if (refresh) ALL_BTN_ModeSet();
}

void Acqisition::ALL_BTN_ModeSet() {
    EnableOnExit window(*this);

    const bool play = IsModePlay();
    const bool setTrg = IsModeSetTrg();
    const bool llHalf = IsModeLLHalf();
    const bool ll = IsModeLL();
    const bool data = IsDataLoaded();
    const bool acq = IsModeAcq();
    const bool anyLL = ll || llHalf;

    cmbTimeFS.setVisible(!acq);
    txtFSTime.setVisible(acq);
    LBLNoUnitFS.setVisible(acq);
    enable(acq && !play && !setTrg, {&txtCurTime_L, &txtCurTime_R});
    cmdCancelMark.setEnabled(IsStorageMode() && MarkArray[0] != 0 && acq && !play && !setTrg);
    cmdEnd.setEnabled(acq && !anyLL && !play && !setTrg);
    enable(false, {&cmdSetTrgLvl, &cmdAddMarkOffline, &cmdDelMarkOffline});
    enable(!play && !acq && !setTrg, {&TXTPreSetCounter, &txtDD, &txtHH, &txtMM, &txtSS});
    enable(!play && !acq && !setTrg, {&cmdHardCopy, &cmdHardCopyF});
    // "L-L/2" leaves the channel boxes free.
    for (int i = 0; i < 32; ++i) CHKWaveNo(i).setEnabled(!ll && !setTrg);
    cmdStart.setEnabled(false);
    cmdLoad.setEnabled(true);
    cmdCONDITION.setEnabled(false);
    cmbTimeFS.setEnabled(!anyLL && !play && !acq && !setTrg);
    enable(false, {&optCalAcq, &optCalDisp, &cmbSampleFreq});
    enable(false, {&cmdSAVECAL, &cmdLoadREGIST, &cmdLOADCAL, &cmdDISPREGISTEDCAL, &cmdQUIT,
                   &cmdSaveSetting});
    enable(false, {&optStorage, &optMonitor});
    if (IsVylS80Board()) {
        optStorage.setValue(true);
        optMonitor.setValue(false);
    }
    enable(data && !play && !acq, {&txtMoveTime, &txtStartTime, &txtEndTime});
    enable(data && !anyLL && !play && !acq && !setTrg,
           {&cmdMovePrevFirst, &cmdMovePrev, &cmdMoveNext, &cmdMoveNextFirst, &cmdMove, &cmdCSV});
    cmdSaveParam.setEnabled(false);
    cmdMakeCSVAuto.setEnabled(cmdCSV.Enabled());
    enable(!IsTriggerSetting() && data && !anyLL && !play && !acq && !setTrg,
           {&cmdMovePrevH, &cmdMovePrev1Sec, &cmdMoveNext1Sec, &cmdMoveNextH});
    cmbSamplePoint.setEnabled(!IsTriggerSetting() && data && !play && !setTrg);
    cmdSelectAmp.setEnabled(false);

    // The calibration rows of the acquired channels follow optCalAcq; channels outside the
    // table (a range typed as "0-40") have no row.
    // Only the rows of the table are visited, however wide the range (one from a settings
    // file may reach billions).
    const AcqCondition& cond = GAcqCondition;
    if (!(cond.lStartCH == 0 && cond.lEndCH == 0)) {
        const monitor::ChannelSpan rows = monitor::channelsOf(cond);
        for (int32_t i = rows.first; i <= rows.last; ++i) {
            txtName(i).setEnabled(optCalAcq.Value());
            txtUnit(i).setEnabled(optCalAcq.Value());
            txtEUHI(i).setEnabled(optCalAcq.Value());
            txtEULO(i).setEnabled(optCalAcq.Value());
            txtCALAD(i).setEnabled(optCalAcq.Value());
            txtBASEAD(i).setEnabled(optCalAcq.Value());
        }
    }

    enable(false, {&chkL2L, &chkL2LHalf, &cmdP2P, &cmdP2PHalf});
    chkDispRaw.setEnabled(!acq);
    // Its Click comes back here; the nested pass finds the box ticked already and goes through.
    chkDispRaw.setValue(1);
    chkDispCAMPos.setEnabled(data && !acq && IsCameraEnabled(GstrKparFile, false));
    lblPresetUnit.setCaption(IsTriggerSetting() ? "(N)" : "(S)");
    for (int i = 0; i < 3; ++i) lblTimeCap(i).setVisible(!IsTriggerSetting());
    for (forms::TextBox* box : {&txtDD, &txtHH, &txtMM, &txtSS})
        box->setVisible(!IsTriggerSetting());
    enable(!play, {&chkCurRst, &chkCurRstCenter});

    frmCAMDisp::instance().ALL_BTN_ModeSet();
}

void Acqisition::Set_Object_Initial() {
    for (int i = 0; i < 32; ++i) CHKWaveNo(i).setValue(1);
    for (int32_t i = 0; i < 32; ++i) {
        GetTxtDR_WaveHi(i).setText(basic::CStr(GAcqParam.DR_WaveHi[static_cast<size_t>(i)]));
        GetTxtDR_WaveLo(i).setText(basic::CStr(GAcqParam.DR_WaveLo[static_cast<size_t>(i)]));
    }
    LBLTimer.setCaption("--");
    LBLTimerPreSet.setCaption("--");
    LBLMark.setBackColor(0xFFFFFF);
    LBLMark.setCaption("--");
    TXTPreSetCounter.setText(basic::CStr(GAcqParam.NTimerPreSet));
}

// The window stays disabled until the next ALL_BTN_ModeSet enables it again.
void Acqisition::cmdEnd_Click() {
    SetDispStatus("End", false);
    setEnabled(false);
}

void Acqisition::chkDispRaw_Click() {
    DispWaveArray.Erase();
    ConvWaveArray.Erase();
    PBXMoniDisp.Refresh();
    ALL_BTN_ModeSet();
}

}  // namespace qv
