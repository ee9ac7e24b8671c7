#pragma once
// The acquisition conditions: how a recording is (or was) taken. One record type, kept as the
// live record, its backup, and the copy embedded in every parameter record. Field names are the
// keys of a parameter file's section "Condition", so they keep their spelling.
#include <cstdint>
#include <string>

namespace qv {

struct AcqCondition {
    std::string strCH;                    // channel range as typed: "1-8" or "3"
    int32_t lStartCH = 0;                 // first channel, 1-based
    int32_t lEndCH = 0;                   // last channel, 1-based
    int32_t lCHCnt = 0;                   // lEndCH - lStartCH + 1
    std::string strFIXED;                 // "True"/"False"
    std::string strFLOW;                  // "True"/"False"
    int32_t lFlage = 0;                   // 0 fixed display, 2 flow
    std::string strADBOARD;               // board list item as shown, e.g. "VylK10[±5]"
    int32_t lADBOARD = 0;                 // board type number
    int32_t lADBOARD_ID = 0;              // position in the board list
    int32_t lADBOARD_BIT = 0;             // A/D resolution in bits
    float sngADBOARD_V = 0.0f;            // input range in volts
    std::string strDEVICE_NAME;
    std::string strTRIGGER_SETTING;       // "0"/"1"
    std::string strSINGLE_DISP_MODE;      // "0"/"1"
    std::string strTRG_POINT;             // trigger point in ms
    std::string strANALOG_LEVEL_TRIGGER;  // "True"/"False"
    std::string strANALOG_LEVEL_TRIGGER_D;
    std::string strANALOG_LEVEL_TRIGGER_U;
    std::string strCOMP_CH;               // trigger channel number
    int32_t lCOMP_CH_ID = 0;
    std::string strEXTERNAL_TRIGGER;      // "True"/"False"
    std::string strTTL;                   // "0" rising, "1" falling
    int32_t lTTL = 0;
    std::string strSWEEP_TIME;            // ms per full screen
    std::string strP2PHist;               // "2 ^ n"
    int32_t lP2PHist = 0;                 // 2 to the power n
    int32_t lP2PHist_ID = 0;
    std::string strSYNC;                  // "0"/"1"
    std::string strIP;
    int32_t lGetADBoard = 0;              // -1 when the source is the local board
    int32_t lGetRemoteHost = 0;           // -1 when the source is the remote host
    int32_t strCameraSetting = 0;         // 1 when a camera is used (an integer despite its name)
    std::string strCamera;
    std::string lcmbCamera_ListIndex;     // list position as text (a text despite its name)
    std::string strResolution;            // "cx,cy"
    int32_t lCameraWidth = 0;
    int32_t lCameraHeight = 0;
    int32_t strAudioSetting = 0;          // 1 when audio is recorded

    bool operator==(const AcqCondition&) const = default;
};

}  // namespace qv
