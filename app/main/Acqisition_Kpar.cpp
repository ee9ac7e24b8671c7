// The main window's side of the parameter file: what the window holds now as the reader's
// defaults, and the staged file applied to the records and the controls in the file's order.
#include <utility>

#include "app/camera/frmCAMDisp.h"
#include "app/camera/modCAM.h"
#include "app/channel/CCalSetting.h"
#include "app/channel/frmCondition.h"
#include "app/common/modCalRecord.h"
#include "app/common/modIniFile.h"
#include "app/common/modSub_Combobox.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "app/main/KparParam.h"

namespace qv {

namespace {

std::vector<std::string> listEntries(const forms::ListControl& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.ListCount(); ++i) items.push_back(list.List(i));
    return items;
}

std::vector<int32_t> itemValues(const forms::ListControl& list) {
    std::vector<int32_t> values;
    for (int i = 0; i < list.ListCount(); ++i) values.push_back(list.ItemData(i));
    return values;
}

void replaceEntries(forms::ListControl& list, const std::vector<std::string>& items) {
    list.Clear();
    for (const std::string& item : items) list.AddItem(item);
}

}  // namespace

int32_t Acqisition::GetSanplingRateSelect(int32_t& nSClock) {
    return SanplingRateSelect(itemValues(cmbSampleFreq), nSClock);
}

KparParam Acqisition::ParseKparParam(const std::string& path) {
    KparParam k;
    k.param = GAcqParam;
    k.calEU = GCalRecEU;
    k.names = GstrCalNames;
    k.units = GstrCalUnits;
    k.marks = MarkArray;
    for (int32_t i = 0; i < 32; ++i) {
        k.chkCopy[i] = static_cast<int16_t>(chkCopy(i).Value());
        k.chkCopy_V[i] = static_cast<int16_t>(chkCopy_V(i).Value());
        k.txtDR_WaveHi[i] = txtDR_WaveHi(i).Text();
        k.txtDR_WaveLo[i] = txtDR_WaveLo(i).Text();
        k.txtDR_WaveHi_V[i] = txtDR_WaveHi_V(i).Text();
        k.txtDR_WaveLo_V[i] = txtDR_WaveLo_V(i).Text();
    }
    k.chkDispRaw = static_cast<int16_t>(chkDispRaw.Value());
    k.chkDispCAMPos = static_cast<int16_t>(chkDispCAMPos.Value());
    k.chkDetectR = static_cast<int16_t>(chkDetectR.Value());
    k.txtDetectRCHNo = txtDetectRCHNo.Text();
    k.lstMarkCom = listEntries(lstMarkCom);
    k.lstTrigDateTime = listEntries(Acqisition2::instance().lstTrigDateTime);
    k.GlCapNum = GlCapNum;
    k.GlADCGETCnt = GlADCGETCnt;
    k.GlTime_ADSTART = GlTime_ADSTART;
    frmCAMDisp& cam = frmCAMDisp::instance();
    k.camTxtAdjustMS = cam.txtAdjustMS.Text();
    k.camTxtMP3Adjust = cam.txtMP3Adjust.Text();
    k.chkAudioSetting = static_cast<int16_t>(frmCondition::instance().chkAudioSetting.Value());
    k.useCal = chkUseCAL.Value() == 1;
    ReadKparParam(path, k);
    return k;
}

void Acqisition::CommitKparParam(const std::string& path, const KparParam& k) {
    // Record fields are written row by row, so a handler that a control of an earlier row runs
    // sees the values before it and is overwritten by the rows after it, as the file orders them.
    // Fields the file does not carry are left alone.
    SetIniFileName(path);
    const AcqParam& p = k.param;
    AcqParam& g = GAcqParam;
    g.nVer = p.nVer;
    g.wCh = p.wCh;
    g.wChNo = p.wChNo;
    g.nSample = p.nSample;
    g.nScan = p.nScan;
    g.nSClock = p.nSClock;
    g.Date_Time_Start = p.Date_Time_Start;
    g.Comment = p.Comment;
    g.NTimerPreSet = p.NTimerPreSet;
    g.NTimer = p.NTimer;
    g.NFrame = p.NFrame;
    g.PTotal = p.PTotal;
    GCalRecEU = k.calEU;
    g.Cur_L_Point = p.Cur_L_Point;
    g.Cur_R_Point = p.Cur_R_Point;
    g.Cur_W_Point = p.Cur_W_Point;
    for (int32_t i = 0; i < 32; ++i) chkCopy(i).setValue(k.chkCopy[i]);
    for (int32_t i = 0; i < 32; ++i) chkCopy_V(i).setValue(k.chkCopy_V[i]);
    g.CHKWaveNo = p.CHKWaveNo;
    g.DR_WaveHi = p.DR_WaveHi;
    g.DR_WaveLo = p.DR_WaveLo;
    for (int32_t i = 0; i < 32; ++i) txtDR_WaveHi(i).setText(k.txtDR_WaveHi[i]);
    for (int32_t i = 0; i < 32; ++i) txtDR_WaveLo(i).setText(k.txtDR_WaveLo[i]);
    for (int32_t i = 0; i < 32; ++i) txtDR_WaveHi_V(i).setText(k.txtDR_WaveHi_V[i]);
    for (int32_t i = 0; i < 32; ++i) txtDR_WaveLo_V(i).setText(k.txtDR_WaveLo_V[i]);
    g.lcmbSampleFreq_ListIndex = p.lcmbSampleFreq_ListIndex;
    g.lSweepPoint = p.lSweepPoint;
    g.lPosWAVE_Start = p.lPosWAVE_Start;
    g.lMoveWAVE_Start = p.lMoveWAVE_Start;
    g.lAcqType = p.lAcqType;
    g.lchkCal_Value = p.lchkCal_Value;
    g.sngEndCSVTime = p.sngEndCSVTime;
    g.lStartCSVPoint = p.lStartCSVPoint;
    g.lcmbTimeFS_ListIndex = p.lcmbTimeFS_ListIndex;
    chkDispRaw.setValue(k.chkDispRaw);
    chkDispCAMPos.setValue(k.chkDispCAMPos);
    GlCapNum = k.GlCapNum;
    GlADCGETCnt = k.GlADCGETCnt;
    GlTime_ADSTART = k.GlTime_ADSTART;
    GstrCalNames = k.names;
    GstrCalUnits = k.units;
    MarkArray = k.marks;
    g.lSoftTrgCntAll = p.lSoftTrgCntAll;
    g.lFuoukiTimeMS = p.lFuoukiTimeMS;
    g.lOLMarkCHNo = p.lOLMarkCHNo;
    g.sngOLMarkSLvl = p.sngOLMarkSLvl;
    g.sngOLMarkHist = p.sngOLMarkHist;
    g.sngOLMarkW1 = p.sngOLMarkW1;
    g.sngOLMarkW2 = p.sngOLMarkW2;
    g.lOLMarkDirection = p.lOLMarkDirection;
    g.lOLMarkCanCHNo = p.lOLMarkCanCHNo;
    g.sngOLMarkCanSLvl = p.sngOLMarkCanSLvl;
    g.sngOLMarkCanHist = p.sngOLMarkCanHist;
    g.sngOLMarkCanW1 = p.sngOLMarkCanW1;
    g.sngOLMarkCanW2 = p.sngOLMarkCanW2;
    g.lOLMarkCanDirection = p.lOLMarkCanDirection;
    frmCAMDisp& cam = frmCAMDisp::instance();
    cam.txtAdjustMS.setText(k.camTxtAdjustMS);
    cam.txtMP3Adjust.setText(k.camTxtMP3Adjust);
    chkDetectR.setValue(k.chkDetectR);
    txtDetectRCHNo.setText(k.txtDetectRCHNo);
    g.bL2LMode = false;
    g.Condition = p.Condition;
    frmCondition& conditions = frmCondition::instance();
    if (k.hasP2PHist) {
        // A drop-down list shows a text only as one of its entries.
        const int16_t i = ComboBox_FindItem(conditions.cmbP2PHist, p.Condition.strP2PHist);
        if (i >= 0) conditions.cmbP2PHist.setListIndex(i);
    }
    replaceEntries(lstMarkCom, k.lstMarkCom);
    replaceEntries(Acqisition2::instance().lstTrigDateTime, k.lstTrigDateTime);
    conditions.chkAudioSetting.setValue(k.chkAudioSetting);
    cam.LoadParam();

    // The recording's calibration set from the records and the channel fields; the fields are
    // then taken back from the set.
    GCCalSettingCopy = CCalSetting();
    std::string names = GstrCalNames, units = GstrCalUnits;
    ArrayToCal(GCalRecEU, names, units, GCCalSettingCopy, 1, 32);
    names.clear();
    units.clear();
    for (int32_t ch = 0; ch < CCalSetting::kChannels; ++ch) {
        names += GCCalSettingCopy.CHName32(ch);
        units += GCCalSettingCopy.Unit32(ch);
    }
    GstrCalNames = CalTextLSet(names);
    GstrCalUnits = CalTextLSet(units);
}

void Acqisition::LoadKparParam() {
    const KparParam staged = ParseKparParam(GstrKparFile);
    CommitKparParam(GstrKparFile, staged);
}

}  // namespace qv
