#include "app/main/KparParam.h"

#include "app/channel/CCalSetting.h"
#include "app/channel/frmCondition.h"
#include "app/common/modCalRecord.h"
#include "app/common/modIniFile.h"
#include "app/common/modSetting.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"

namespace qv {

namespace {

std::string key(const std::string& name, int32_t i) { return name + "(" + basic::CStr(i) + ")"; }

std::string text(const std::string& section, const std::string& k, const char* def) {
    return ReadIniString(section, k, def);
}

// Strict conversions: the whole text must be a number (13), within the field (6).
int16_t strict16(const std::string& section, const std::string& k, const char* def) {
    return basic::CInt(text(section, k, def));
}
int32_t strict32(const std::string& section, const std::string& k, const char* def) {
    return basic::CLng(text(section, k, def));
}
float strictFloat(const std::string& section, const std::string& k, const char* def) {
    return basic::CSng(text(section, k, def));
}
// Lenient: the leading number of the text, 0 for none.
int32_t lenient32(const std::string& section, const std::string& k) {
    return basic::CLng(basic::Val(text(section, k, "")));
}
float lenientFloat(const std::string& section, const std::string& k) {
    return basic::CSng(basic::Val(text(section, k, "")));
}

// Keys whose default is what the field or control holds now: a missing or empty value keeps it.
void textOrCurrent(const std::string& section, const std::string& k, std::string& current) {
    std::string v = text(section, k, "");
    if (!v.empty()) current = std::move(v);
}
void strict16OrCurrent(const std::string& section, const std::string& k, int16_t& current) {
    const std::string v = text(section, k, "");
    if (!v.empty()) current = basic::CInt(v);
}
void strictFloatOrCurrent(const std::string& section, const std::string& k, float& current) {
    const std::string v = text(section, k, "");
    if (!v.empty()) current = basic::CSng(v);
}

// A check box takes 0, 1 and 2 only; any other value would fail half-way through applying the
// file, so it is refused here with the error setting it would raise.
int16_t checkBoxValue(int16_t v) {
    if (v < 0 || v > 2) basic::raiseError(basic::errInvalidProperty);
    return v;
}

// The comma-separated names or units: at least 32 parts, each made a 32-byte field; part i is
// absolute channel i + 1.
std::string channelFields(const std::string& value) {
    const std::vector<std::string> parts = basic::Split(value, ",");
    if (parts.size() < 32) basic::raiseError(basic::errSubscript);
    std::string joined;
    for (size_t i = 0; i < 32; ++i) joined += CCalSetting::FormatStr(parts[i]);
    return CalTextLSet(joined);
}

std::vector<std::string> listItems(const std::string& listName) {
    (void)strict32("LISTBOX", listName + ".ListCount", "0");  // the count must be a number
    return ReadListBoxItems(listName);
}

// The whole part of 1000000 / nSClock as a 32-bit float: the rate in Hz a list entry must
// carry. nSClock 0 raises 11.
double wholeRateHz(int32_t nSClock) { return basic::Fix(basic::CSng(basic::Divide(1000000.0, nSClock))); }

int32_t indexOfRate(const std::vector<int32_t>& items, double wholeHz) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == wholeHz) return static_cast<int32_t>(i);
    return -1;
}

void readCondition(AcqCondition& c, bool& hasP2PHist) {
    const std::string s = "Condition";
    c.strCH = text(s, "strCH", "");
    c.lStartCH = strict32(s, "lStartCH", "");
    c.lEndCH = strict32(s, "lEndCH", "");
    c.lCHCnt = strict32(s, "lCHCnt", "");
    c.strFIXED = text(s, "strFIXED", "");
    c.strFLOW = text(s, "strFLOW", "");
    c.lFlage = strict32(s, "lFlage", "");
    c.strADBOARD = text(s, "strADBOARD", "");
    c.lADBOARD = strict32(s, "lADBOARD", "");
    c.lADBOARD_ID = strict32(s, "lADBOARD_ID", "");
    c.lADBOARD_BIT = strict32(s, "lADBOARD_BIT", "");
    c.sngADBOARD_V = strictFloat(s, "sngADBOARD_V", "");
    c.strDEVICE_NAME = text(s, "strDEVICE_NAME", "");
    c.strTRIGGER_SETTING = text(s, "strTRIGGER_SETTING", "");
    c.strSINGLE_DISP_MODE = text(s, "strSINGLE_DISP_MODE", "");
    c.strTRG_POINT = text(s, "strTRG_POINT", "");
    c.strANALOG_LEVEL_TRIGGER = text(s, "strANALOG_LEVEL_TRIGGER", "");
    c.strANALOG_LEVEL_TRIGGER_D = text(s, "strANALOG_LEVEL_TRIGGER_D", "");
    c.strANALOG_LEVEL_TRIGGER_U = text(s, "strANALOG_LEVEL_TRIGGER_U", "");
    c.strCOMP_CH = text(s, "strCOMP_CH", "");
    c.lCOMP_CH_ID = strict32(s, "lCOMP_CH_ID", "");
    c.strEXTERNAL_TRIGGER = text(s, "strEXTERNAL_TRIGGER", "");
    c.strTTL = text(s, "strTTL", "");
    c.lTTL = strict32(s, "lTTL", "");
    c.strSWEEP_TIME = text(s, "strSWEEP_TIME", "");
    // An empty hysteresis text keeps the one the record had.
    const std::string p2pHist = text(s, "strP2PHist", "");
    hasP2PHist = !p2pHist.empty();
    if (hasP2PHist) c.strP2PHist = p2pHist;
    c.lP2PHist = strict32(s, "lP2PHist", "");
    c.strSYNC = text(s, "strSYNC", "");
    c.lGetADBoard = lenient32(s, "lGetADBoard");
    c.lGetRemoteHost = lenient32(s, "lGetRemoteHost");
    c.strCameraSetting = strict32(s, "strCameraSetting", "0");
    c.strResolution = text(s, "strResolution", "");
    const std::vector<std::string> size = basic::Split(c.strResolution, ",");
    if (size.size() == 2) {
        c.lCameraWidth = basic::CLng(basic::Val(size[0]));
        c.lCameraHeight = basic::CLng(basic::Val(size[1]));
    }
    c.strAudioSetting = strict32(s, "strAudioSetting", "0");
    c.strCamera = text(s, "strCamera", "");
    c.lcmbCamera_ListIndex = text(s, "lcmbCamera_ListIndex", "0");
}

// A channel text that states another range than the recording's would have its scans read with
// the wrong channels; one that states none (empty, three parts, a number beyond 32 bits) is
// shown with the recording's range.
bool channelTextAgrees(const AcqCondition& c) {
    const auto stated = StatedChannelRange(c.strCH);
    return !stated || (stated->first == c.lStartCH && stated->second == c.lEndCH);
}

// What the rest of the program sizes and indexes by: a value outside these bounds would make
// a later reader or converter run outside its arrays or divide by zero.
void checkBounds(const KparParam& k) {
    const AcqParam& p = k.param;
    const AcqCondition& c = p.Condition;
    const bool good = 1 <= c.lStartCH && c.lStartCH <= c.lEndCH && c.lEndCH <= 32 &&
                      c.lCHCnt == c.lEndCH - c.lStartCH + 1 && p.wCh == c.lCHCnt &&
                      channelTextAgrees(c) &&
                      p.nSClock > 0 && p.nSample >= 1 && p.PTotal >= 0 && p.lSweepPoint >= 0 &&
                      p.lSweepPoint <= kMaxSweepPoints && k.GlCapNum >= 0 &&
                      k.GlADCGETCnt >= 0 && k.marks[0] >= 0 && k.marks[0] <= 99;
    if (!good) basic::raiseError(basic::errSubscript);
}

void readFile(KparParam& k) {
    AcqParam& p = k.param;
    const std::string P = "P";
    p.nVer = text(P, "nVer", "0");                                         // 1
    p.wCh = strict16(P, "wCh", "0");                                       // 2
    for (int32_t i = 0; i < 32; ++i) p.wChNo[i] = strict16(P, key("wChNo", i), "0");  // 3
    p.nSample = strict32(P, "nSample", "0");                               // 4
    p.nScan = strict32(P, "nScan", "0");
    p.nSClock = strict32(P, "nSClock", "0");                               // 5
    p.Date_Time_Start = basic::CDate(text(P, "Date_Time_Start", "0"));     // 6
    for (int32_t i = 0; i < 8; ++i) p.Comment[i] = text(P, key("Comment", i), "");  // 7
    p.NTimerPreSet = strict32(P, "NTimerPreSet", "0");                     // 8
    p.NTimer = strict32(P, "NTimer", "0");
    p.NFrame = strict32(P, "NFrame", "0");
    p.PTotal = strict32(P, "PTotal", "0");
    if (p.PTotal == 0 && p.NFrame != 0)
        p.PTotal = basic::CLng(basic::Divide(1000000.0, p.nSClock) * (p.NFrame / 10.0));
    for (int32_t i = 0; i < 32; ++i) {                                     // 9
        const std::string cal = key("Cal", i);
        CalRecord& r = k.calEU[i];
        r.Base_AD = lenientFloat("CAL", cal + ".fBASE_AD");
        r.Cal_AD = lenientFloat("CAL", cal + ".fCAL_AD");
        r.EU_HI = lenientFloat("CAL", cal + ".fEU_HI");
        r.EU_LO = lenientFloat("CAL", cal + ".fEU_LO");
    }
    p.Cur_L_Point = strict32(P, "Cur_L_Point", "0");                       // 10
    p.Cur_R_Point = strict32(P, "Cur_R_Point", "0");
    p.Cur_W_Point = strict32(P, "Cur_W_Point", "0");
    const std::string A = "Acqisition";                                    // 11
    for (int32_t i = 0; i < 32; ++i) k.chkCopy[i] = checkBoxValue(strict16(A, key("chkCopy", i), "1"));
    for (int32_t i = 0; i < 32; ++i)
        k.chkCopy_V[i] = checkBoxValue(strict16(A, key("chkCopy_V", i), "1"));
    for (int32_t i = 0; i < 32; ++i) strict16OrCurrent(P, key("CHKWaveNo", i), p.CHKWaveNo[i]);  // 12
    for (int32_t i = 0; i < 32; ++i) {                                     // 13
        if (p.nVer == "1") {
            float v = p.DR_WaveHi[i];
            strictFloatOrCurrent(P, key("DR_Wave", i), v);
            p.DR_WaveHi[i] = v;
            p.DR_WaveLo[i] = -v;
        } else {
            strictFloatOrCurrent(P, key("DR_WaveHi", i), p.DR_WaveHi[i]);
            strictFloatOrCurrent(P, key("DR_WaveLo", i), p.DR_WaveLo[i]);
        }
    }
    for (int32_t i = 0; i < 32; ++i) {
        (k.useCal ? k.txtDR_WaveHi : k.txtDR_WaveHi_V)[i] = basic::CStr(p.DR_WaveHi[i]);
        (k.useCal ? k.txtDR_WaveLo : k.txtDR_WaveLo_V)[i] = basic::CStr(p.DR_WaveLo[i]);
    }
    for (int32_t i = 0; i < 32; ++i) textOrCurrent(A, key("txtDR_WaveHi", i), k.txtDR_WaveHi[i]);  // 14
    for (int32_t i = 0; i < 32; ++i) textOrCurrent(A, key("txtDR_WaveLo", i), k.txtDR_WaveLo[i]);
    for (int32_t i = 0; i < 32; ++i)
        textOrCurrent(A, key("txtDR_WaveHi_V", i), k.txtDR_WaveHi_V[i]);
    for (int32_t i = 0; i < 32; ++i)
        textOrCurrent(A, key("txtDR_WaveLo_V", i), k.txtDR_WaveLo_V[i]);
    p.lcmbSampleFreq_ListIndex = strict32(P, "lcmbSampleFreq_ListIndex", "0");  // 15
    const double rateHz = wholeRateHz(p.nSClock);
    p.lSweepPoint = strict32(P, "lSweepPoint", "0");                       // 16
    p.lPosWAVE_Start = strict32(P, "lPosWAVE_Start", "0");
    p.lMoveWAVE_Start = strict32(P, "lMoveWAVE_Start", "0");
    p.lAcqType = strict32(P, "lAcqType", "0");
    for (int32_t i = 0; i < 32; ++i) p.lchkCal_Value[i] = strict16(P, key("lchkCal_Value", i), "0");  // 17
    p.sngEndCSVTime = strictFloat(P, "sngEndCSVTime", "0");                // 18
    p.lStartCSVPoint = strict32(P, "lStartCSVPoint", "0");                 // 19
    p.lcmbTimeFS_ListIndex = strict32(P, "lcmbTimeFS_ListIndex", "0");
    k.chkDispRaw = checkBoxValue(strict16("CTRL", "chkDispRaw.Value", "1"));        // 20
    k.chkDispCAMPos = checkBoxValue(strict16("CTRL", "chkDispCAMPos.Value", "1"));
    k.GlCapNum = strict32("GLOBAL", "GlCapNum", "0");                      // 21
    k.GlADCGETCnt = strict32("GLOBAL", "GlADCGETCnt", "0");
    k.GlTime_ADSTART = strict32("GLOBAL", "GlTime_ADSTART", "0");
    k.names = channelFields(text("pName", "pName", ""));                  // 22
    k.units = channelFields(text("pUnit", "pUnit", ""));                  // 23
    k.marks[0] = lenient32("MARK", "MARK(0)");                             // 24
    for (int32_t m = 1; m <= k.marks[0]; ++m) {
        if (m >= static_cast<int32_t>(k.marks.size())) basic::raiseError(basic::errSubscript);
        k.marks[m] = lenient32("MARK", key("MARK", m));
    }
    p.lSoftTrgCntAll = strict32(P, "lSoftTrgCntAll", "0");                 // 25
    p.lFuoukiTimeMS = strict32(P, "lFuoukiTimeMS", "0");
    p.lOLMarkCHNo = strict32(P, "lOLMarkCHNo", "0");
    p.sngOLMarkSLvl = strictFloat(P, "sngOLMarkSLvl", "0");                // 26
    p.sngOLMarkHist = strictFloat(P, "sngOLMarkHist", "0");
    p.sngOLMarkW1 = strictFloat(P, "sngOLMarkW1", "0");
    p.sngOLMarkW2 = strictFloat(P, "sngOLMarkW2", "0");
    p.lOLMarkDirection = strict32(P, "lOLMarkDirection", "0");             // 27
    p.lOLMarkCanCHNo = strict32(P, "lOLMarkCanCHNo", "0");
    p.sngOLMarkCanSLvl = strictFloat(P, "sngOLMarkCanSLvl", "0");          // 28
    p.sngOLMarkCanHist = strictFloat(P, "sngOLMarkCanHist", "0");
    p.sngOLMarkCanW1 = strictFloat(P, "sngOLMarkCanW1", "0");
    p.sngOLMarkCanW2 = strictFloat(P, "sngOLMarkCanW2", "0");
    p.lOLMarkCanDirection = strict32(P, "lOLMarkCanDirection", "0");       // 29
    textOrCurrent("CTRL", "frmCAMDisp.txtAdjustMS.Text", k.camTxtAdjustMS);  // 30
    textOrCurrent("CTRL", "frmCAMDisp.txtMP3Adjust.Text", k.camTxtMP3Adjust);
    k.chkDetectR = checkBoxValue(strict16("DETECTR", "Acqisition.chkDetectR.Value", "0"));  // 31
    k.txtDetectRCHNo = text("DETECTR", "Acqisition.txtDetectRCHNo.Text", "0");  // 32
    p.bL2LMode = false;
    readCondition(p.Condition, k.hasP2PHist);                                            // 33
    k.lstMarkCom = listItems("lstMarkCom");                                // 34
    k.lstTrigDateTime = listItems("lstTrigDateTime");
    strict16OrCurrent("CTRL", "frmCondition.chkAudioSetting.Value", k.chkAudioSetting);  // 35
    checkBoxValue(k.chkAudioSetting);
    // Row 36, the camera window's section "Control", holds only texts; the window reads it
    // itself when the file is applied.
    // The rate is looked up in the list the window will show for this recording (the file's own
    // board, channel count and sweep time), not in the one it shows now.
    const AcqCondition& c = p.Condition;
    std::vector<int32_t> offered;
    for (const auto& item : SamplingRateCatalogue(c.lADBOARD, c.lCHCnt, c.strSWEEP_TIME))
        offered.push_back(item.second);
    const int32_t rateIndex = indexOfRate(offered, rateHz);
    k.rateOffered = rateIndex != -1;
    if (k.rateOffered) p.lcmbSampleFreq_ListIndex = rateIndex;
    checkBounds(k);
}

}  // namespace

int32_t SanplingRateSelect(const std::vector<int32_t>& items, int32_t nSClock) {
    if (items.empty()) return -1;
    return indexOfRate(items, wholeRateHz(nSClock));
}

void ReadKparParam(const std::string& path, KparParam& stage) {
    IniPathGuard guard(path);
    KparParam k = stage;
    readFile(k);
    stage = std::move(k);
}

}  // namespace qv
