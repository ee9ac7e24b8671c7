#pragma once
// The program's global state, read and written directly by every window and class, and the
// small tests the windows ask of it (is data loaded, which mode is current), together with the
// numeric operations around the loaded recording: the raw-sample reader, point/time
// conversions, day-hour-minute-second texts, the preset-count limits and the sorted-table search.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/channel/AcqCondition.h"

namespace qv {

// The program's version text, shown in the main window's caption and stored as nVer.
inline constexpr const char* kVersionText = "(Ver6.24 #200129)";

// The parameter record of the recording in memory: live, backup and snapshot copies, copied by
// value. Field names are the parameter file's keys.
struct AcqParam {
    std::string nVer;
    int16_t wCh = 0;                        // channels a scan
    std::array<int16_t, 32> wChNo{};        // channel number of each slot
    int32_t nSample = 0;
    int32_t nScan = 0;
    int32_t nSClock = 0;                    // sample period in microseconds
    bool bL2LMode = false;                  // an L-L calibration box is ticked
    int32_t lTrgCH = 0;                     // trigger channel
    int32_t TrgLevelD = 0;                  // trigger levels in A/D counts
    int32_t TrgLevelU = 0;
    double Date_Time_Start = 0.0;
    std::array<std::string, 8> Comment{};
    std::string ModeString;                 // the status mode word
    int32_t NTimerPreSet = 0;
    int32_t NTimer = 0;
    int32_t NFrame = 0;
    int32_t PTotal = 0;                     // scans of the loaded recording; 0: nothing loaded
    int32_t Cur_L_Point = 0;
    int32_t Cur_R_Point = 0;
    int32_t Cur_W_Point = 0;
    int32_t Cur_L_Offset = 0;               // cursor positions minus lPosWAVE_Start
    int32_t Cur_R_Offset = 0;
    int32_t Cal1_L_Point = 0;               // the two L-L calibration windows
    int32_t Cal1_R_Point = 0;
    int32_t Cal1_W_Point = 0;
    int32_t Cal2_L_Point = 0;
    int32_t Cal2_R_Point = 0;
    int32_t Cal2_W_Point = 0;
    std::array<int16_t, 32> CHKWaveNo{};    // 1: channel drawn
    std::array<float, 32> DR_WaveHi{};      // display range per channel
    std::array<float, 32> DR_WaveLo{};
    std::array<int16_t, 32> lchkCal_Value{};
    int32_t lcmbSampleFreq_ListIndex = 0;
    int32_t lSweepPoint = 0;                // points of one display window
    int32_t lSampleFreqHz = 0;
    int32_t lSweepTimeMS = 0;
    int32_t lPosWAVE_Start = 0;             // first displayed point
    int32_t lMoveWAVE_Start = 0;
    float sngEndCSVTime = 0.0f;             // export range
    int32_t lStartCSVPoint = 0;
    int32_t lStartCSVTime = 0;
    int32_t lEndCSVPoint = 0;
    int32_t lCSVStep = 0;
    int32_t lAcqType = 0;
    bool GbLoading = false;                 // busy: start-up, load, range change, sweep sync
    AcqCondition Condition;                 // the recording's own acquisition conditions
    int32_t lcmbTimeFS_ListIndex = 0;
    int32_t lInstanseNo = 0;                // instance numbers of host and terminal
    int32_t lInstanseNoTerm = 0;
    int32_t lSoftTrgCntAll = 0;
    int32_t lFuoukiTimeMS = 0;
    int32_t lOLMarkCHNo = 0;
    float sngOLMarkSLvl = 0.0f;
    float sngOLMarkHist = 0.0f;
    float sngOLMarkW1 = 0.0f;
    float sngOLMarkW2 = 0.0f;
    int32_t lOLMarkDirection = 0;
    int32_t lOLMarkCanCHNo = 0;
    float sngOLMarkCanSLvl = 0.0f;
    float sngOLMarkCanHist = 0.0f;
    float sngOLMarkCanW1 = 0.0f;
    float sngOLMarkCanW2 = 0.0f;
    int32_t lOLMarkCanDirection = 0;

    bool operator==(const AcqParam&) const = default;
};

// Per-channel sample windows in 32-bit floats, indexed (point, channel): each channel's points
// are one contiguous run, so a channel can be handed to the library by its first element.
// Indices are checked: outside the dimensions is run-time error 9.
class WaveArray {
public:
    // Channels 0..channels-1, points 0..points-1 each; the old content is dropped (zeros).
    void Redim(int32_t channels, int32_t points);
    void Erase();
    bool Empty() const { return data_.empty(); }
    int32_t Channels() const { return channels_; }
    int32_t Points() const { return points_; }
    float& operator()(int32_t point, int32_t channel);
    float operator()(int32_t point, int32_t channel) const;
    float* Channel(int32_t channel);               // first point of the channel's run
    const float* Channel(int32_t channel) const;

private:
    size_t index(int32_t point, int32_t channel) const;
    int32_t channels_ = 0;
    int32_t points_ = 0;
    std::vector<float> data_;
};

// One channel's calibration as the library takes it.
struct CalRecord {
    float EU_HI = 0.0f;
    float EU_LO = 0.0f;
    float Cal_AD = 0.0f;
    float Base_AD = 0.0f;
};
static_assert(sizeof(CalRecord) == 4 * sizeof(float), "the library reads four packed floats");
using CalRecordArray = std::array<CalRecord, 32>;

// ---- globals ----
extern AcqParam GAcqParam;            // the live parameter record
extern AcqParam GAcqParamBackup;      // taken before a confirmation that clears the data
extern AcqParam GAcqParamSnapshot;    // taken when a recording is opened
extern AcqCondition GAcqCondition;        // the live acquisition conditions
extern AcqCondition GAcqConditionBackup;  // restored by the conditions window's Cancel

// File names of this instance and of the opened recording; "" at start.
extern std::string GstrSettingFile;
extern std::string GstrKparFile;
extern std::string GstrKdatFile;
extern std::string GstrAviFile;
extern std::string GstrFlmFile;

extern std::vector<int16_t> RawSampleBuffer;  // raw words, channel-interleaved as in the file
extern WaveArray DispWaveArray;               // the displayed window in engineering units
extern WaveArray ConvWaveArray;               // one converted chunk of the recording
extern std::array<int32_t, 100> MarkArray;    // [0] count, [1..99] marks

extern CalRecordArray GCalRecEU;    // the conversion into engineering units in use
extern CalRecordArray GCalRecVolt;  // the current amplifier's conversion to input volts
extern std::string GstrCalNames;    // 32 fields of 32 bytes
extern std::string GstrCalUnits;

// Command-line values.
extern std::string GstrErrRaise;  // "/ERR_RAISE="
extern std::string GstrMode;      // "/MODE=", the leading number as text
extern std::string GstrKdat;      // "/Kdat="
extern std::string GstrSet;       // "/SET="

extern int32_t InstanceMode;   // 1 host, 2 terminal
extern int32_t GlwdtCnt;       // watchdog limit
extern bool GbEndProgram;      // set by the close handler
extern int32_t GlCapNum;       // video frames of the opened recording

// ---- state ----
void InitGlobals();
// Empties the display arrays, sets PTotal to 0 and the main window's LBLTimerPreSet to "--".
void ClearAcqArrays();
void ClearFileNameGlobals();
std::string JoinBy2Spaces(const std::string& a, const std::string& b, const std::string& c);

// Mode tests: exact, case-sensitive comparisons of the mode word.
bool IsModeLL();
bool IsModeLLHalf();
bool IsModeEnd();
bool IsModeAcq();
bool IsModeReadSet();
bool IsModePlay();
bool IsModeRecalc();
bool IsModeSetTrg();

bool IsDataLoaded();
bool IsTriggerSetting();
bool IsCameraSetting();
bool IsCamDispTypeEnabled();
// Asks "終了" with OK and Cancel until OK was chosen once; True from then on.
bool ConfirmExit();
// A new start has not confirmed an exit yet (InitGlobals calls it).
void ForgetExitConfirmation();

// ---- recording and time ----
void LoadRawSamples(int32_t startPoint, int32_t points);
float MsToPoint(int32_t ms);
// A position in points as the nearest Long; one beyond the Long range lies before the recording
// or past its end and is taken as 0 or PTotal (NaN as PTotal).
int32_t PointOrRecordingEnd(double points);
float PointToMs(int32_t points);
float PointToSec(int32_t points);
float FreqToPeriodUs(int32_t hz);
// Days, hours, minutes and seconds (each read as Val reads it) as a count of seconds, rounded at
// each step; nothing when a part or the sum leaves the Long range.
std::optional<int32_t> DHMSToSec(const std::string& days, const std::string& hours,
                                 const std::string& minutes, const std::string& seconds);
std::string FormatDHMS(int32_t seconds);
std::string GetDaysStr(int32_t seconds);
std::string GetHoursStr(int32_t seconds);
std::string GetMinutesStr(int32_t seconds);
std::string GetSecondsStr(int32_t seconds);
int32_t FindIndexSorted(const std::vector<int32_t>& table, int32_t v);
// The preset-count limit for a page of timeFsMs milliseconds at rateHz with the given channel
// count, board type and trigger setting; -1 when there is none or it cannot be computed.
int32_t CalcPresetLimit(int32_t timeFsMs, int32_t rateHz, int32_t channels, int32_t boardType,
                        bool triggerSetting);
// The same for the main window's selected time per full scale and sampling rate, the live
// conditions' channel count and trigger setting and the selected board; -1 without a selection.
int32_t CalcPresetLimit();
int32_t CalcPresetLimitJINS();
// Entry i of the hidden window's trigger-time list from its fifth character on, selecting it;
// "" when there is no such entry.
std::string GetTrigDateTime(int32_t i);
void RaisePriority();

// ---- logs ----
void WriteLog(const std::string& message, bool withTime);
void WriteRemoteLog(const std::string& message, bool withTime);
// A number stored in a settings file or given on the command line, read as Val reads it.
// One beyond the number range (or, for StoredLong, beyond a Long) is not used: the result is
// empty and the day's log names `where` and the text, so the caller keeps what it had and
// goes on. A log that cannot be written is no reason to stop either.
std::optional<double> StoredNumber(const std::string& text, const std::string& where);
std::optional<int32_t> StoredLong(const std::string& text, const std::string& where);
// As StoredLong; a whole number outside lowest..highest is not used either.
std::optional<int32_t> StoredLong(const std::string& text, const std::string& where, int32_t lowest,
                                  int32_t highest);
// The day's log line for a stored text that `where` refused (not a value it takes) and did not
// use; a log that cannot be written is passed over.
void LogRefusedSetting(const std::string& text, const std::string& where);
// While one lives (they nest), each log line of the three above is written once on this thread:
// a settings load reads the same stored values more than once.
class LogIgnoredOnce {
public:
    LogIgnoredOnce();
    ~LogIgnoredOnce();
    LogIgnoredOnce(const LogIgnoredOnce&) = delete;
    LogIgnoredOnce& operator=(const LogIgnoredOnce&) = delete;
};

}  // namespace qv
