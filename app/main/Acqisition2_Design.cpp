// The hidden state window as designed, in creation order, in twips.
#include "app/main/Acqisition2.h"

namespace qv {

using T = forms::ControlType;

const forms::FormDesign& Acqisition2::design() {
    static const forms::FormDesign d{
        "Acqisition2", "Form1", 600, 600, 8760, 7000,
        {},
        {
            {T::Label, "Label1", -1, "", 120, 120, 2400, 240, "画面サイズ", {}},
            {T::TextBox, "txtSize_Acqisition_Left", -1, "", 120, 400, 1100, 300, "", {}},
            {T::TextBox, "txtSize_Acqisition_Top", -1, "", 1260, 400, 1100, 300, "", {}},
            {T::TextBox, "txtSize_Acqisition_Width", -1, "", 120, 740, 1100, 300, "", {}},
            {T::TextBox, "txtSize_Acqisition_Height", -1, "", 1260, 740, 1100, 300, "", {}},
            {T::Label, "Label2", -1, "", 120, 1160, 2400, 240, "INIファイルの設定", {}},
            {T::CheckBox, "chkMakePSG", -1, "", 120, 1420, 2400, 270, "chkMakePSG", {}},
            {T::Label, "Label3", -1, "", 120, 1820, 2400, 240, "トリガデータのトリガ日時", {}},
            {T::ListBox, "lstTrigDateTime", -1, "", 120, 2080, 2560, 1200, "", {}},
            {T::CheckBox, "chkUseSubPrg", -1, "", 120, 3400, 2100, 270, "UseSubPrg", {}},
            {T::CheckBox, "chkUseSubPrgRL", -1, "", 120, 3700, 2100, 270, "UseSubPrgRL", {}},
            {T::CheckBox, "chkUseSubPrgVylM70", -1, "", 120, 4000, 2100, 270, "UseSubPrgVylM70", {}},
            {T::TextBox, "txtSubPrgVylM70_PortNo", -1, "", 2280, 4000, 700, 270, "", {}},
            {T::CheckBox, "chkUseSubPrgJINS", -1, "", 120, 4300, 2100, 270, "UseSubPrgJINS", {}},
            {T::TextBox, "txtSubPrgJINS_PortNo", -1, "", 2280, 4300, 700, 270, "", {}},
            {T::CheckBox, "chkUseSubPrgBASE", -1, "", 120, 4600, 2100, 270, "UseSubPrgBASE", {}},
            {T::TextBox, "txtSubPrgBASE_PortNo", -1, "", 2280, 4600, 700, 270, "", {}},
            {T::TextBox, "txtUseSubPrgCnt", -1, "", 120, 4920, 700, 270, "", {}},
            {T::CheckBox, "chkDispSubPrgInfo", -1, "", 900, 4920, 1780, 270, "Disp SubPrgInfo", {}},
            {T::ListBox, "lstRCVSubPrg", -1, "", 120, 5300, 2560, 1200, "", {}},
            {T::Label, "Label4", -1, "", 3000, 120, 2600, 240, "画面の表示／非表示", {}},
            {T::CheckBox, "chkDispfrmKpar", -1, "", 3000, 400, 2600, 270, "DispfrmKpar", {}},
            {T::CheckBox, "chkfrmPolymateMini", -1, "", 3000, 700, 2600, 270, "frmPolymateMini", {}},
            {T::CheckBox, "chkfrmPSG", -1, "", 3000, 1000, 2600, 270, "frmPSG", {}},
            {T::CheckBox, "chkDispfrmCheckCSoftTrg", -1, "", 3000, 1300, 2600, 270,
             "frmCheckCSoftTrg", {}},
            {T::CheckBox, "chkDispVylB50", -1, "", 3000, 1600, 2600, 270, "DispVylB50", {}},
            {T::CheckBox, "chkDispCHControl", -1, "", 3000, 1900, 2600, 270, "DispCHControl", {}},
            {T::CheckBox, "chkDispfrmTolvaneINI", -1, "", 3000, 2200, 2600, 270,
             "DispfrmTolvaneINI", {}},
            {T::CheckBox, "chkfrmWMIInfo", -1, "", 3000, 2500, 2600, 270, "chkfrmWMIInfo", {}},
            {T::CheckBox, "chkDispCAM_TEST", -1, "", 3000, 2860, 2600, 270, "chkDispCAM_TEST", {}},
            {T::Label, "Label5", -1, "", 3000, 3260, 2600, 240, "状態を表すチェックボックス", {}},
            {T::CheckBox, "chkSubPrgCancelReq", -1, "", 3000, 3520, 2600, 270, "SubPrgCancelReq", {}},
            {T::CheckBox, "chkStandbyNG", -1, "", 3000, 3820, 2600, 270, "StandbyNG", {}},
            {T::CheckBox, "chkStandbyOK", -1, "", 3000, 4120, 2600, 270, "StandbyOK", {}},
            {T::CheckBox, "chkSubPrgMakeCSV", -1, "", 3000, 4420, 2600, 270, "SubPrgMakeCSV", {}},
            {T::CheckBox, "chkEndAcquisition", -1, "", 3000, 4720, 2600, 270, "EndAcquisition", {}},
            {T::CheckBox, "chkAutoACQ", -1, "", 3000, 5080, 2600, 270, "AutoACQ", {}},
            {T::CheckBox, "chkBootOK", -1, "", 3000, 5380, 2600, 270, "BootOK", {}},
            {T::ListBox, "lstStandbyOK", -1, "", 3000, 5700, 2600, 800, "", {}},
            {T::CheckBox, "chkPlayWave", -1, "", 5900, 120, 1600, 270, "PlayWave", {}},
            {T::TextBox, "txtInterval", -1, "", 7560, 120, 900, 270, "1000", {}},
            {T::Timer, "timPlayWav", -1, "", 0, 0, 0, 0, "", {{"Interval", 266}, {"Enabled", true}}},
            {T::CommandButton, "cmdCMD_GetSetting2", -1, "", 5900, 520, 2560, 360,
             "CMD_GetSetting2", {}},
            {T::CommandButton, "cmdSubPrgGetSetting", -1, "", 5900, 940, 2560, 360,
             "SubPrgGetSetting", {}},
            {T::CommandButton, "cmdCopyCAL", -1, "", 5900, 1360, 2560, 360, "Copy CAL", {}},
            {T::CommandButton, "cmdSweep10000", -1, "", 5900, 1780, 2560, 360, "Sweep10000", {}},
            {T::CommandButton, "cmdVocaptnize", -1, "", 5900, 2200, 2560, 360, "音声認識", {}},
            {T::CommandButton, "cmdEXCH_MP32WAV", -1, "", 5900, 2620, 2560, 360, "EXCH_MP32WAV",
             {}},
            {T::CommandButton, "cmdVylM72", -1, "", 5900, 3040, 2560, 360, "VylM72", {}},
        }};
    return d;
}

}  // namespace qv
