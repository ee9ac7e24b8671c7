#pragma once
// The hidden state window: check boxes, text boxes and lists whose values the main window and
// the modules read and write directly, and a few buttons for auxiliary commands. The user sees
// it only through the main window's keyboard commands.
#include <cstdint>

#include "platform/forms/Form.h"

namespace qv {

#define QV_ACQISITION2_CONTROLS(X)                                                              \
    X(Label, Label1) X(TextBox, txtSize_Acqisition_Left) X(TextBox, txtSize_Acqisition_Top)    \
    X(TextBox, txtSize_Acqisition_Width) X(TextBox, txtSize_Acqisition_Height)                 \
    X(Label, Label2) X(CheckBox, chkMakePSG) X(Label, Label3) X(ListBox, lstTrigDateTime)      \
    X(CheckBox, chkUseSubPrg) X(CheckBox, chkUseSubPrgRL) X(CheckBox, chkUseSubPrgVylM70)      \
    X(TextBox, txtSubPrgVylM70_PortNo) X(CheckBox, chkUseSubPrgJINS)                           \
    X(TextBox, txtSubPrgJINS_PortNo) X(CheckBox, chkUseSubPrgBASE)                             \
    X(TextBox, txtSubPrgBASE_PortNo) X(TextBox, txtUseSubPrgCnt) X(CheckBox, chkDispSubPrgInfo) \
    X(ListBox, lstRCVSubPrg) X(Label, Label4) X(CheckBox, chkDispfrmKpar)                      \
    X(CheckBox, chkfrmPolymateMini) X(CheckBox, chkfrmPSG) X(CheckBox, chkDispfrmCheckCSoftTrg) \
    X(CheckBox, chkDispVylB50) X(CheckBox, chkDispCHControl) X(CheckBox, chkDispfrmTolvaneINI) \
    X(CheckBox, chkfrmWMIInfo) X(CheckBox, chkDispCAM_TEST) X(Label, Label5)                   \
    X(CheckBox, chkSubPrgCancelReq) X(CheckBox, chkStandbyNG) X(CheckBox, chkStandbyOK)        \
    X(CheckBox, chkSubPrgMakeCSV) X(CheckBox, chkEndAcquisition) X(CheckBox, chkAutoACQ)       \
    X(CheckBox, chkBootOK) X(ListBox, lstStandbyOK) X(CheckBox, chkPlayWave)                   \
    X(TextBox, txtInterval) X(Timer, timPlayWav) X(CommandButton, cmdCMD_GetSetting2)          \
    X(CommandButton, cmdSubPrgGetSetting) X(CommandButton, cmdCopyCAL)                         \
    X(CommandButton, cmdSweep10000) X(CommandButton, cmdVocaptnize)                            \
    X(CommandButton, cmdEXCH_MP32WAV) X(CommandButton, cmdVylM72)

class Acqisition2 : public forms::Form {
public:
    // Created on first use, hidden.
    static Acqisition2& instance();
    static const forms::FormDesign& design();
    Acqisition2();

#define QV_DECLARE_CONTROL(T, n) forms::T& n;
    QV_ACQISITION2_CONTROLS(QV_DECLARE_CONTROL)
#undef QV_DECLARE_CONTROL

    int32_t lVocaptTaskId = 0;  // what the last voice-to-text start returned (not used)

    void chkDispCAM_TEST_Click();
    void txtInterval_Change();
    void timPlayWav_Timer();
    void cmdCMD_GetSetting2_Click();
    void cmdSubPrgGetSetting_Click();
    void cmdCopyCAL_Click();
    void cmdSweep10000_Click();
    void cmdVocaptnize_Click();
    void cmdEXCH_MP32WAV_Click();
};

}  // namespace qv
