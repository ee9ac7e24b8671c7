#pragma once
// One recording of the A/D system as an object: its conditions, channel set, clock, counters and
// calibration, its parameter file (".Kpar", an ini text) and its data file (".Kdat": scans of
// CHNum little-endian 16-bit words, no header). It writes a recording block by block, reads the
// parameter file back, and reads and converts samples of the data file.
//
// Split over files by concern: CKdat.cpp (model, setters, presets), CKdat_Param.cpp (parameter
// file), CKdat_Writer.cpp (data-file writer), CKdat_Reader.cpp (sample readers and traces).
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/channel/CBoard.h"
#include "app/channel/CCalSetting.h"
#include "app/common/IniSet.h"
#include "platform/kernel/Files.h"

namespace qv {

// The recording's acquisition conditions, section "Condition" of the parameter file.
struct KdatCondition {
    std::string strCH;
    int32_t lStartCH = 0;
    int32_t lEndCH = 0;
    int32_t lCHCnt = 0;
    std::string strFIXED;
    std::string strFLOW;
    int32_t lFlage = 0;
    std::string strADBOARD;
    int32_t lADBOARD = 0;
    int32_t lADBOARD_ID = 0;
    int32_t lADBOARD_BIT = 0;
    float sngADBOARD_V = 0.0f;
    std::string strDEVICE_NAME;
    std::string strTRIGGER_SETTING;
    std::string strSINGLE_DISP_MODE;
    std::string strTRG_POINT;
    std::string strANALOG_LEVEL_TRIGGER;
    std::string strANALOG_LEVEL_TRIGGER_D;
    std::string strANALOG_LEVEL_TRIGGER_U;
    std::string strCOMP_CH;
    int32_t lCOMP_CH_ID = 0;
    std::string strEXTERNAL_TRIGGER;
    std::string strTTL;
    int32_t lTTL = 0;
    std::string strSWEEP_TIME;
    std::string strP2PHist;
    int32_t lP2PHist = 0;
    std::string strSYNC;

    bool operator==(const KdatCondition&) const = default;
};

// The recording's parameters; every field but SecPoint is a key of section "P" of the same name.
struct KdatParam {
    std::string nVer;
    int16_t wCh = 0;
    std::array<int16_t, 32> wChNo{};
    int32_t nSample = 0;        // scans per frame
    int32_t nScan = 0;
    int32_t nSClock = 0;        // sample period in microseconds
    double Date_Time_Start = 0.0;
    std::array<std::string, 8> Comment{};
    std::string Status;
    int32_t NTimerPreSet = 0;
    int32_t NTimer = 0;         // whole blocks written to the data file
    int32_t NFrame = 0;
    int32_t PTotal = 0;         // scans taken
    int32_t Cur_L_Point = 0;
    int32_t Cur_R_Point = 0;
    int32_t Cur_W_Point = 0;
    std::array<int16_t, 32> CHKWaveNo{};
    std::array<float, 32> DR_WaveHi{};
    std::array<float, 32> DR_WaveLo{};
    std::array<int16_t, 32> lchkCal_Value{};
    int32_t lcmbSampleFreq_ListIndex = 0;
    int32_t lSweepPoint = 0;
    int32_t SecPoint = 0;       // scans per data-file block, 10 x nSample
    int32_t lPosWAVE_Start = 0;
    int32_t lMoveWAVE_Start = 0;
    float sngEndCSVTime = 0.0f;
    int32_t lStartCSVPoint = 0;
    int32_t lAcqType = 0;
    bool FlagLoad = false;
    KdatCondition Condition;
    int32_t lcmbTimeFS_ListIndex = 0;

    bool operator==(const KdatParam&) const = default;
};

class CKdat {
public:
    static constexpr int32_t kChannels = 32;
    static constexpr int32_t kPresetSlots = 28;
    // Marks beyond this count are refused: the viewer keeps at most 99.
    static constexpr int32_t kMaxMarks = 99;
    // No buffer sized from a recording's parameters may exceed this many bytes.
    static constexpr int64_t kMaxBufferBytes = int64_t{1} << 30;

    CKdat();  // Class_Initialize
    ~CKdat();
    CKdat(const CKdat&) = delete;
    CKdat& operator=(const CKdat&) = delete;

    // ---- conditions (texts; the four with more to do keep the record's invariants) ----
    std::string Condition_strTTL() const { return P.Condition.strTTL; }
    void Condition_strTTL(std::string v) { P.Condition.strTTL = std::move(v); }
    std::string Condition_strEXTERNAL_TRIGGER() const { return P.Condition.strEXTERNAL_TRIGGER; }
    void Condition_strEXTERNAL_TRIGGER(std::string v) { P.Condition.strEXTERNAL_TRIGGER = std::move(v); }
    std::string Condition_strSYNC() const { return P.Condition.strSYNC; }
    void Condition_strSYNC(std::string v) { P.Condition.strSYNC = std::move(v); }
    std::string Condition_strP2PHist() const { return P.Condition.strP2PHist; }
    void Condition_strP2PHist(std::string v) { P.Condition.strP2PHist = std::move(v); }
    std::string Condition_strSWEEP_TIME() const { return P.Condition.strSWEEP_TIME; }
    void Condition_strSWEEP_TIME(std::string v) { P.Condition.strSWEEP_TIME = std::move(v); }
    std::string Condition_strCOMP_CH() const { return P.Condition.strCOMP_CH; }
    void Condition_strCOMP_CH(std::string v);  // lCOMP_CH_ID = value - 1
    std::string Condition_strANALOG_LEVEL_TRIGGER_U() const { return P.Condition.strANALOG_LEVEL_TRIGGER_U; }
    void Condition_strANALOG_LEVEL_TRIGGER_U(std::string v) { P.Condition.strANALOG_LEVEL_TRIGGER_U = std::move(v); }
    std::string Condition_strANALOG_LEVEL_TRIGGER_D() const { return P.Condition.strANALOG_LEVEL_TRIGGER_D; }
    void Condition_strANALOG_LEVEL_TRIGGER_D(std::string v) { P.Condition.strANALOG_LEVEL_TRIGGER_D = std::move(v); }
    std::string Condition_strANALOG_LEVEL_TRIGGER() const { return P.Condition.strANALOG_LEVEL_TRIGGER; }
    void Condition_strANALOG_LEVEL_TRIGGER(std::string v) { P.Condition.strANALOG_LEVEL_TRIGGER = std::move(v); }
    std::string Condition_strTRG_POINT() const { return P.Condition.strTRG_POINT; }
    void Condition_strTRG_POINT(std::string v) { P.Condition.strTRG_POINT = std::move(v); }
    std::string Condition_strSINGLE_DISP_MODE() const { return P.Condition.strSINGLE_DISP_MODE; }
    void Condition_strSINGLE_DISP_MODE(std::string v) { P.Condition.strSINGLE_DISP_MODE = std::move(v); }
    std::string Condition_strTRIGGER_SETTING() const { return P.Condition.strTRIGGER_SETTING; }
    void Condition_strTRIGGER_SETTING(std::string v) { P.Condition.strTRIGGER_SETTING = std::move(v); }
    std::string Condition_strDEVICE_NAME() const { return P.Condition.strDEVICE_NAME; }
    void Condition_strDEVICE_NAME(std::string v) { P.Condition.strDEVICE_NAME = std::move(v); }
    std::string Condition_strADBOARD() const { return P.Condition.strADBOARD; }
    void Condition_strADBOARD(std::string v) { P.Condition.strADBOARD = std::move(v); }
    std::string Condition_strFLOW() const { return P.Condition.strFLOW; }
    void Condition_strFLOW(std::string v);   // lFlage follows strFIXED
    std::string Condition_strFIXED() const { return P.Condition.strFIXED; }
    void Condition_strFIXED(std::string v);  // lFlage follows strFIXED
    std::string Condition_strCH() const { return P.Condition.strCH; }
    void Condition_strCH(std::string v);     // the channel-range parser

    // The board catalogue, created on first use. Setting one takes its selected board's name,
    // type, resolution and input range into the conditions (nullptr: a new catalogue).
    qv::CBoard& CBoard();
    void CBoard(std::shared_ptr<qv::CBoard> board);

    int32_t wChNo(int32_t i) const;
    void wChNo(int32_t i, int32_t value);  // 0..31 (else 9); 16-bit value (else 6)
    int32_t nSClock() const { return P.nSClock; }
    void nSClock(int32_t v) { P.nSClock = v; }
    int32_t SweepPoint() const { return P.lSweepPoint; }
    void SweepPoint(int32_t v) { P.lSweepPoint = v; }
    int32_t PTotal() const { return P.PTotal; }
    int32_t NFrame() const { return P.NFrame; }
    void NFrame(int32_t v) { P.NFrame = v; }
    int32_t nSample() const { return P.nSample; }
    void nSample(int32_t v);  // SecPoint = 10 x v (overflow 6 after storing v)
    int32_t CHNum() const { return P.wCh; }
    void CHNum(int32_t n);    // the range becomes "1-n"
    double Date_Time_Start() const { return P.Date_Time_Start; }
    void Date_Time_Start(double v) { P.Date_Time_Start = v; }
    void UseCal(bool v) { UseCal_ = v; }
    bool UseCal() const { return UseCal_; }

    // ---- parameter file ----
    // Opens the recording whose files take their base name from `fileName`. Everything is read
    // and checked first; a refused file raises its run-time error and changes nothing.
    void OpenKdat(const std::string& fileName);
    // The four calibration keys of one channel, written into the parameter file (75 on failure).
    void SaveCAL(int32_t channel, float baseAd, float calAd, float euHi, float euLo);

    // ---- recording ----
    void StartAcqisition(const std::string& fileName);
    // One frame of nSample scans, scan-major, at least nSample x CHNum words.
    void ADCGetData(std::span<const int16_t> frame);
    void FWriteWave_Sec();
    void ENDAcqisition();

    // ---- samples ----
    void LoadWave_Sweep(int32_t start);
    void LoadWave_Point(int32_t start, int32_t count);
    void LoadWave_Frame(int32_t frame);
    void GetFileData_Rec(int32_t start, int32_t count);
    void GetFileData_Point(int32_t start, int32_t count);
    void GetFileData_Unit(int32_t frame);
    void GetBUFF_POINT(WaveArray& out) const { out = BUFF_POINT_; }
    void GetBUFF_FRAME(WaveArray& out) const { out = BUFF_FRAME_; }
    // The display trace: n points a channel, the maxima and minima of n/2 stretches.
    void GetWaveTrans(int32_t n, WaveArray& out);

    // ---- inner operations, open to inspection ----
    // Channel slots lStartCH-1..lEndCH-1 appended to `list`.
    void GetCHList(std::vector<int32_t>& list) const;
    bool GetUseCal() const { return UseCal_; }
    // The preset of the board named by strADBOARD (exact case); nullptr for any other name.
    CCalSetting* GetPresetCal();
    // The preset of slot 0..27, created on first use, and the board name it serves.
    CCalSetting& CalPreset(int32_t slot);
    static const char* CalPresetName(int32_t slot);
    // The input range a board name states: 10 for "*±10*", else 5, else 2.5; else `current`.
    static float BoardVolts(const std::string& boardName, float current);
    // A name or unit as one 32-character slot (31 CP932 bytes at most, NUL padding, a blank).
    static std::string PadTo32(const std::string& text);

    const KdatParam& Param() const { return P; }
    const KdatCondition& OpenCondition() const { return OpenCondition_; }
    const std::vector<int32_t>& Marks() const { return Marks_; }
    const std::string& strKparFile() const { return strKparFile_; }
    const std::string& strKdatFile() const { return strKdatFile_; }
    const std::string& CalNames() const { return CalNames_; }
    const std::string& CalUnits() const { return CalUnits_; }
    const CalRecordArray& CalRecords() const { return CalRecords_; }
    const CalRecordArray& PresetCalRecords() const { return PresetCalRecords_; }
    CCalSetting& CalRecording();
    CCalSetting& CalCurrent();
    CCalSetting& CalPrevious();
    const WaveArray& BUFF_SWEEP() const { return BUFF_SWEEP_; }
    const WaveArray& BUFF_FRAME() const { return BUFF_FRAME_; }
    const std::vector<int16_t>& BUFF_UNIT() const { return BUFF_UNIT_; }
    const std::vector<int16_t>& BUFF_SEC() const { return BUFF_SEC_; }

    // Raw reads of the data file, counted for tests of the readers' chunking.
    static int64_t RawReadCount();

private:
    struct OpenState;

    void InitPresetCal();
    CCalSetting* presetFor(const std::string& board);
    void WriteKpar();
    void ReadKpar(OpenState& s) const;
    void SetBUFF_SEC(std::span<const int16_t> frame);
    void CalToRecords(CalRecordArray& records, std::string& names, std::string& units,
                      const CCalSetting& set, int32_t first, int32_t last) const;
    void RecordsToCal(const CalRecordArray& records, std::string names, std::string units,
                      CCalSetting& set, int32_t first, int32_t last) const;
    void GetWaveTrans_Point(int32_t n, WaveArray& out);
    void GetWaveTrans_Frame(int32_t n, WaveArray& out);

    // Channels of a scan, checked before any conversion or read: CHNum 1..32, and the range's
    // first slot with CHNum records after it inside the 32 calibration records (else 9).
    int32_t checkedChannels() const;
    // The records the conversions use, from the range's first slot on.
    const float* conversionRecords() const;
    // The whole scans of `ch` words the data file holds; INT32_MAX when there is no such file.
    static int32_t WholeScansIn(const std::string& kdatFile, int32_t ch);
    // One frame's block into BUFF_UNIT_ (and its first frame into RawSampleBuffer), and the
    // frame converted into BUFF_FRAME_, through `data`, which is opened when it is not yet.
    void readFrame(int32_t frame, kernel::BinaryFile& data);
    void loadFrame(int32_t frame, kernel::BinaryFile& data);
    // Raw words of `count` scans from scan `start` into RawSampleBuffer from index 0.
    void readScans(int64_t start, int64_t count, std::vector<int16_t>* through);
    void writeKdatBytes(int64_t offset, const int16_t* words, size_t count);

    std::string strKparFile_;
    std::string strKdatFile_;
    WaveArray BUFF_SWEEP_, BUFF_FRAME_, BUFF_POINT_;
    std::vector<int32_t> Marks_;  // empty: not allocated
    std::vector<int16_t> BUFF_UNIT_, BUFF_SEC_, BUFF_READ_;
    std::unique_ptr<CCalSetting> CalRecording_, CalCurrent_, CalPrevious_;
    std::array<std::unique_ptr<CCalSetting>, kPresetSlots> CalPreset_;
    KdatParam P;
    KdatCondition OpenCondition_;
    std::string CalNames_;
    std::string CalUnits_;
    CalRecordArray CalRecords_{};
    CalRecordArray PresetCalRecords_{};
    bool UseCal_ = false;
    std::shared_ptr<qv::CBoard> board_;
    kernel::BinaryOutputFile dataFile_;
};

}  // namespace qv
