#pragma once
// The main window: its controls, its handlers and the state it owns. One class split over
// several files by concern (Acqisition_<concern>.cpp): the design table, the wiring (Acqisition.cpp),
// start-up and shut-down, loading and paging, the monitor's drawing, bands and ranges, cursors,
// read-outs and marks, calibration, CSV export and settings, companion programs and layout.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/basic/Collection.h"
#include "platform/forms/Form.h"

namespace qv {

// Plain controls of the main window, as (type, name), in the order of the design table.
#define QV_ACQISITION_CONTROLS(X)                                                             \
    X(Frame, Frame5) X(TextBox, txtFName) X(Label, lblGetTime) X(Label, LBLStatus)           \
    X(Label, lblNoName_Caption) X(Label, lblNoName_Caption3) X(Label, LBLTimer)              \
    X(Label, LBLTime) X(Label, lblSoftTrgCntAll) X(TextBox, TXTDR_TimeDiv)                   \
    X(Frame, fraCalDispACQ) X(OptionButton, optCalAcq) X(OptionButton, optCalDisp)          \
    X(Label, lblCALStatus) X(Label, LBL_CALFName) X(CommandButton, cmdGETCAL)                \
    X(CommandButton, cmdPUTCAL) X(CommandButton, cmdDISPREGISTEDCAL)                         \
    X(CommandButton, cmdSAVECAL) X(CommandButton, cmdLOADCAL) X(CommandButton, cmdSelectAmp) \
    X(Label, lblCurLevel_L_Label) X(Label, lblCurLevel_R_Label) X(Label, lblCurLevel_LR_Label) \
    X(Label, lblRange) X(Label, lblNoName_Caption4) X(CheckBox, chkUseCAL)                   \
    X(CheckBox, chkDispTable) X(Frame, fraCHDisp) X(PictureBox, PBXMoniDisp)                 \
    X(Frame, fraRange) X(TextBox, txtDR_WaveInput) X(Frame, fraCal) X(Frame, fraCtrl)        \
    X(CommandButton, cmdLoad) X(CommandButton, cmdQUIT) X(CommandButton, cmdSaveSetting)     \
    X(CommandButton, cmdLoadSetting) X(CommandButton, cmdLoadREGIST)                         \
    X(CommandButton, cmdSaveParam) X(ComboBox, cmbSampleFreq) X(ComboBox, cmbTimeFS)         \
    X(TextBox, txtFSTime) X(Label, LBLNoUnitFS) X(TextBox, TXTPreSetCounter)                 \
    X(Label, lblPresetUnit) X(Label, LBLTimerPreSet) X(TextBox, txtDD) X(TextBox, txtHH)     \
    X(TextBox, txtMM) X(TextBox, txtSS) X(Label, LBLDateTime) X(OptionButton, optStorage)    \
    X(OptionButton, optMonitor) X(CommandButton, cmdStart) X(CommandButton, cmdEnd)          \
    X(Label, LBLMarkDisp_L) X(Label, LBLMarkDisp_R) X(Label, LBLMark)                        \
    X(CommandButton, cmdAddMarkOffline) X(CommandButton, cmdDelMarkOffline)                  \
    X(CommandButton, cmdCancelMark) X(CheckBox, chkL2L) X(CheckBox, chkL2LHalf)              \
    X(CommandButton, cmdP2P) X(CommandButton, cmdP2PHalf) X(CommandButton, cmdAddMark)       \
    X(CommandButton, cmdClearMark) X(TextBox, txtMarkComment) X(ListBox, lstMarkCom)         \
    X(ListBox, List1) X(Frame, fraMonitorGraph) X(CommandButton, cmdMovePrevFirst)           \
    X(CommandButton, cmdMovePrev) X(CommandButton, cmdMovePrevH)                             \
    X(CommandButton, cmdMovePrev1Sec) X(CommandButton, cmdMove) X(TextBox, txtMoveTime)      \
    X(CommandButton, cmdMoveNext1Sec) X(CommandButton, cmdMoveNextH)                         \
    X(CommandButton, cmdMoveNext) X(CommandButton, cmdMoveNextFirst) X(Label, lblStartTime)  \
    X(Label, lblStartEnd) X(Label, lblEndTime) X(Label, LBLCurTime_L) X(TextBox, txtCurTime_L) \
    X(Label, LBLCurTime_R) X(TextBox, txtCurTime_R) X(Label, LBLCurTime_D)                   \
    X(OptionButton, optS) X(OptionButton, optM) X(OptionButton, optL)                        \
    X(CheckBox, chkDispRaw) X(CheckBox, chkDispCAMPos) X(CheckBox, chkMean)                  \
    X(CheckBox, chkCurLvl) X(Label, Label13) X(Label, Label14) X(CheckBox, chkCurRst)        \
    X(Label, Label15) X(Label, Label16) X(CheckBox, chkCurRstCenter) X(Label, Label2)        \
    X(Label, Label17) X(Frame, fraTrg) X(TextBox, t1EU) X(TextBox, t1) X(TextBox, t2EU)      \
    X(TextBox, t2) X(TextBox, txtIncDecEU) X(TextBox, txtIncDec) X(CommandButton, cmdInc10)  \
    X(CommandButton, cmdDec10) X(CommandButton, cmdSetTrgLvl) X(Frame, fraCSV)               \
    X(TextBox, txtStartTime) X(TextBox, txtEndTime) X(Label, LBLNoUnit)                      \
    X(ComboBox, cmbSamplePoint) X(CommandButton, cmdCSV) X(CommandButton, cmdMakeCSVAuto)    \
    X(CommandButton, cmdCONDITION) X(CommandButton, cmdHardCopy)                             \
    X(CommandButton, cmdHardCopyF) X(TextBox, txtMsg) X(PictureBox, pbxParent)               \
    X(CheckBox, chkDispBUFF_SWEEP_F) X(CheckBox, chkDisp最も近いグラフを探す)                 \
    X(CheckBox, chkDispfrmRRInt) X(CheckBox, chkDispRecoveryData) X(CheckBox, chkAve)        \
    X(CheckBox, chkDispADCPAINT) X(CheckBox, chkDispCursor) X(CheckBox, chkDispFolder)       \
    X(CheckBox, chkfrmCWavFile) X(CheckBox, chkGraphMemo) X(CheckBox, chkDispAUD_Test)       \
    X(CheckBox, chkLockAspect) X(CheckBox, chkVoice2Text) X(CheckBox, chkDispfrmDataDiv)     \
    X(CheckBox, chkDispMakeWave) X(CheckBox, chkDispMarkAndMove) X(CheckBox, chkDispMemo)    \
    X(CheckBox, chkDisppWave) X(CheckBox, chkfrmPulseCount) X(CheckBox, chkFFT)              \
    X(CheckBox, chkMaxMin) X(CheckBox, chk再起動せずにカメラ設定を変更可能にする)             \
    X(CheckBox, chkAutoDirectory) X(CheckBox, chkDispWideWave) X(CheckBox, chkDispBufferDebug) \
    X(CheckBox, chkDetectR) X(TextBox, txtDetectRCHNo) X(CheckBox, chk取込中マーク操作禁止)   \
    X(CheckBox, chkSTMEM) X(CheckBox, chkBlobrelay) X(CheckBox, chkCancel)                   \
    X(CheckBox, chkDispCAMPosNo) X(CommandButton, cmdDispInit) X(CommandButton, cmdCAMChange) \
    X(CommandButton, cmdRecalcRR) X(TextBox, txtMode) X(TextBox, txtSettingFileName)         \
    X(TextBox, txtFormName) X(TextBox, txtFuncName) X(CommandButton, cmdCallFuncMain)        \
    X(ListBox, lstSort) X(TextBox, txtずらすCHNo) X(TextBox, txtずらすPointNum)               \
    X(CommandButton, cmdずらす) X(Timer, timBoot) X(Timer, timBootSubPrg) X(Timer, Timer2)    \
    X(Timer, timPos) X(Timer, timWDT) X(Timer, timAutoACQ) X(Timer, timDisp)                 \
    X(Timer, timSaveImage) X(Timer, Timer1) X(Timer, timSockCmdStart) X(Timer, timSockCmdEnd)

// Control arrays: element 0 is designed; the channel rows 1..31 (and Line1(1..7)) are loaded
// at start-up, the other arrays are designed whole.
#define QV_ACQISITION_ARRAYS(X)                                                                \
    X(Label, lblNoName) X(CheckBox, CHKWaveNo) X(CheckBox, chkCal) X(Label, lblNoName_2)       \
    X(Line, Line1) X(Label, lblNoName_3) X(Label, lblNoName_3R) X(TextBox, txtNoName_3)        \
    X(TextBox, txtNoName_3R) X(Label, lblCurLevel_L) X(Label, lblCurLevel_R)                   \
    X(Label, lblCurLevel_LR) X(TextBox, txtDR_WaveHi) X(TextBox, txtDR_WaveHi_V)               \
    X(TextBox, txtDR_WaveLo) X(TextBox, txtDR_WaveLo_V) X(CheckBox, chkCopy)                   \
    X(CheckBox, chkCopy_V) X(Label, lblDiv) X(Label, lblUnit) X(PictureBox, Picture1)          \
    X(Label, lblItemName) X(TextBox, txtName) X(TextBox, txtUnit) X(TextBox, txtEUHI)          \
    X(TextBox, txtEULO) X(TextBox, txtCALAD) X(TextBox, txtBASEAD) X(Label, lblTimeCap)        \
    X(TextBox, TXTComment)

// The display arrays hold 32 channels of lSweepPoint + 1 floats each; a page longer than this
// would ask for more memory than a sweep may take (two arrays of 512 MiB).
inline constexpr int32_t kMaxSweepPoints = 4194304 - 1;

// A count of LoadWave_Sweep that asks for one page.
inline constexpr int32_t kOnePage = -1;

// Positions of the L-L and P-P calibration marks, [channel][mark], up to 1000 a channel, with
// the counts per channel; a page move erases the positions and keeps the counts.
inline constexpr int32_t kCalMarkMax = 1000;  // positions a set holds per channel
using CalMarkArray = std::array<std::array<float, kCalMarkMax>, 32>;
extern CalMarkArray GsngCalMark1;
extern CalMarkArray GsngCalMark2;
extern std::array<float, 32> GsngCalMarkCnt1;
extern std::array<float, 32> GsngCalMarkCnt2;

// Where the window's parts were laid out, recorded once when the window loads; the layout on
// resize moves everything from these (positions in pixels, the window's size in twips).
struct AcqLayout {
    float minWidth = 0, minHeight = 0;
    float extraWidth = 0, extraHeight = 0;  // of the last layout pass, twips
    float lblNoName_Caption4Left = 0, lblRangeLeft = 0;
    float lblCurLevel_L_LabelLeft = 0, lblCurLevel_R_LabelLeft = 0, lblCurLevel_LR_LabelLeft = 0;
    float fraCtrlLeft = 0, fraCalLeft = 0, fraCalDispACQLeft = 0;
    float PBXMoniDispWidth = 0, PBXMoniDispHeight = 0;
    float fraMonitorGraphTop = 0;
    float cmdCONDITIONLeft = 0, cmdCONDITIONTop = 0;
    float cmdHardCopyTop = 0, cmdHardCopyFTop = 0;
    float fraCHDispHeight = 0;
    float chkUseCALLeft = 0, chkDispTableLeft = 0;
    float chkCurLvlTop = 0, Label13Top = 0, Label14Top = 0, chkCurRstTop = 0, Label15Top = 0;
    float Label16Top = 0, chkCurRstCenterTop = 0, Label2Top = 0, Label17Top = 0;
    float txtMsgLeft = 0, txtMsgTop = 0;
};
extern AcqLayout GAcqLayout;

// The monitor's height when the window loaded (frame ticks keep their length through it).
extern float MoniDispStartHeight;
// The base width of the chosen display size (300, 653 or 815 pixels).
extern float DispBaseWidth;
// The width the display-size options add their base width to: the window's width less the
// width it had when it loaded, in twips (0 at the design size).
extern float GsngGraphWidth;

struct KparParam;

// Disables a window for the life of the object and enables it again on every exit: an error on
// the way is passed on to the caller, never left behind as a dead window.
class EnableOnExit {
public:
    explicit EnableOnExit(forms::Form& form) : form_(form) { form_.setEnabled(false); }
    ~EnableOnExit();
    EnableOnExit(const EnableOnExit&) = delete;
    EnableOnExit& operator=(const EnableOnExit&) = delete;

private:
    forms::Form& form_;
};

struct StagedRecording;
class CCalSetting;
struct FlameTables;

class Acqisition : public forms::Form {
public:
    // Created, and Form_Load run, on first use; created anew on the first use after Unload.
    static Acqisition& instance();
    static const forms::FormDesign& design();
    Acqisition();

#define QV_DECLARE_CONTROL(T, n) forms::T& n;
#define QV_DECLARE_ARRAY(T, n) forms::ControlArray<forms::T> n;
    QV_ACQISITION_CONTROLS(QV_DECLARE_CONTROL)
    QV_ACQISITION_ARRAYS(QV_DECLARE_ARRAY)
#undef QV_DECLARE_CONTROL
#undef QV_DECLARE_ARRAY

    // ---- State the window owns ----
    bool bInternalUpdate = false;  // stored settings are being applied
    bool bAutoCall = false;        // a handler runs on the program's own request
    int32_t wdtCounter = 0;        // watchdog count, ms
    // Work that lets events through while it runs: each flag is up while its work runs, and a
    // start of the same work meanwhile (by any control, key, drop or call) is dropped.
    bool bInLoad = false;          // a recording load
    bool bInSettingsFile = false;  // a settings file saved or applied
    bool bInCSV = false;           // the CSV export
    bool bInDataShift = false;     // a channel's data shifted in its file

    // ---- Companion programs and system-ini options ----
    void ReadUseSubPrg();
    void ReadTolvaneCTRL();
    void CallCMD_GetSetting2();
    void SubPrgGetSetting();
    void SendProperty(const std::string& a, const std::string& b);
    void SendProperty2(const std::string& a, const std::string& b, const std::string& c,
                       const std::string& d, const std::string& e);

    // ---- Instance numbers in the system ini ----
    int32_t GetInstanseNo();
    void ReleaceInstanseNo(int32_t number);

    // ---- Monitor drawing (Acqisition_Display.cpp) ----
    // Redraws the whole monitor through device context hDC (the box's own, or a metafile's);
    // bForce draws the frame also without a recording.
    void DispFullWave(int32_t hDC, bool bForce);
    // The terminal source's frame-at-a-time drawing in acquisition; -1 redraws the sweep.
    void DispTerminalMode(int32_t frame);
    // The first passage of the frame-time table through level t; 0 when there is none.
    int32_t GetDispFlameStart(int32_t t);
    // The camera's frame ticks and labels over the nDisp bands (Acqisition_FrameTicks.cpp).
    void DrawFrameTicks(int32_t nDisp);

    // ---- Channel bands and the channel panel (Acqisition_Bands.cpp) ----
    // Bands: the ticked channels of the recording's range (lStartCH-1 .. lEndCH-1).
    int32_t GetDispCHNum();
    int32_t GetDispFirstCHNo();       // -1 when none is ticked
    int32_t GetDispPos(int32_t ch);   // band from the top counted by the ticked visible boxes
    int32_t GetPos2CHNo(int32_t pos); // -1 when no channel has that band
    float GetGraphXPix(float x);
    float GetGraphYPix(int32_t ch, int32_t point);
    // The level, in bands from the bottom, where channel ch's trace is at window point pos
    // under the range hi..lo; 0 without data, outside the display array or for hi = lo.
    float GetH_CurCrossHi(int32_t ch, float hi, float lo, int32_t pos, int32_t unused);
    // The graph cursor of channel ch's left cross marker; the right one is the next.
    int32_t GetCHNo2CrossCurNo(int32_t ch);
    // Moves channel ch's two cross markers to where the cursors meet its trace under its range.
    void MoveCrossMarkers(int32_t ch);
    void DispCHCtrl();
    // The channel panel laid out again, the channel buffers set up and the picture redrawn.
    void UpdateCHDisp();
    // After a change of the bands or the display size: the cursor graph anew and a repaint.
    void RedrawAfterLayout(bool resetCursors);
    // One of the three display sizes: the monitor's width is the graph width plus baseWidth.
    void SetDisplaySize(float baseWidth);
    // One wheel step on the picked channel's range: 0 narrows it (x 0.9), 1 widens it.
    void WheelMove(int32_t direction);
    double lblNoUnitSecLeft = -1;   // where "(sec)" sits; "(N)" goes left of it
    bool bCHBulkUpdate = false;     // the select-all header is ticking boxes: one relayout
    int32_t lCalTableFocusRow = 0;  // the calibration table's focused row
    float sngCrossHalf = 0.0f;      // half width of a cross marker, in points
    bool bRangeDrag = false;        // the graph's middle-button range drag is on
    int32_t lRangeDragCH = -1;      // the channel it picked, -1 none

    // ---- Display ranges (Acqisition_Ranges.cpp) ----
    void DispInputText(forms::TextBox& box);
    // A change of a range box; high: the high box, ad: the A/D pair.
    void RangeBoxChanged(int Index, bool high, bool ad);
    void HighlightRangeRow(int Index, bool ad, forms::TextBox& box);
    bool bInDR_WaveHi = false;      // re-entry guards of the four change handlers
    bool bInDR_WaveLo = false;
    bool bInDR_WaveHi_V = false;
    bool bInDR_WaveLo_V = false;
    forms::TextBox* pDR_WaveFocusBox = nullptr;  // the range box the edit box writes back to
    // The remembered rows of the two range pairs (engineering units, A/D counts).
    int32_t lRangeRowEU = 0;
    int32_t lRangeRowRaw = 0;

    // ---- Operations other parts of the window provide ----
    void SetCursor(int32_t& leftPoint, int32_t& rightPoint, bool reset);
    void ReadDetectR();

    // ---- Status mode and control enabling ----
    // The mode word: stored in the parameter record, shown in LBLStatus; with refresh the
    // controls are recomputed.
    void SetDispStatus(const std::string& mode, bool refresh);
    // Recomputes every enabled, visible and forced state of the window from the mode and flags,
    // then lets the camera window refresh its own. The window is enabled again on every exit.
    void ALL_BTN_ModeSet();
    // The channel and counter controls as start-up leaves them.
    void Set_Object_Initial();
    // (end of status block)

    // ---- Sampling rate, time per full scale, sweep and preset counter ----
    // Rebuilds cmbSampleFreq for the board, channel count and sweep time of the live conditions
    // and selects the old frequency again, or 1 kHz (with a message when bMsg and visible).
    void SetSamplingRate(bool bMsg);
    void DispAlert();
    void SyncSweep();
    // Shows a loaded recording's parameters in the window.
    void DispLoadedCondition();
    void SetPolymateMiniSampleFreq();
    void SubPrg_NotifyChangeSetting();
    // Clamps count to the preset limit (lowering the caller's variable) and writes the count and
    // its day/hour/minute/second split into the five boxes. The second argument is not used.
    void SyncPreset(int32_t& count, int32_t unused);
    bool bCalCheckReset = false;        // DispAlert is unticking the L-L boxes
    bool bInCmbSampleFreqClick = false; // re-entry guards of the two list handlers
    bool bInCmbTimeFSClick = false;
    // (end of sampling block)

    // ---- Calibration from waveforms, the calibration controls and the calibration table ----
    // Empties the four calibration-mark arrays, positions and counts.
    void ClearCALMark();
    // Warns that a filtered trace is about to be calibrated and shows the unfiltered one.
    void DispAlartCAL();
    // lower <= x <= upper, both ends included.
    static bool InRange(float x, float upper, float lower);
    // The four tools: the L-L boxes' two steps (tick: windows shown; untick: computed) and the
    // P-P buttons' one step. tool: 0 L-L, 1 L-L/2, 2 P-P, 3 P-P/2.
    void L2LBoxClicked(forms::CheckBox& box, const char* mode, int tool);
    void CalibrateTickedChannels(int tool);
    // One channel (0..31) measured with the calibration in force; a channel that cannot be
    // measured (no data, no span, windows outside the page) is left as it is.
    void CalibrateChannel(int32_t ch, int tool);
    // An engineering value typed into `eu` written as A/D counts into `ad` with the comparison
    // channel's row of the table; level: with its base count and the range colour.
    void ConvertEUToAD(forms::TextBox& eu, forms::TextBox& ad, bool level);
    // The table's keyboard moves and cell edits; column 0..5 = txtName .. txtBASEAD.
    void CalTableKeyDown(int column, int Index, int KeyCode);
    void CalTableChanged(int column, int Index);
    void txtUnit_GotFocus(int Index);
    void txtEUHI_GotFocus(int Index);
    void txtEULO_GotFocus(int Index);
    void txtCALAD_GotFocus(int Index);
    // (end of calibration block)

    // ---- Start-up, boot timer, captions, shut-down and window placement ----
    // The channel colour table, filled from "Tolvane.ini" [COLOR]; index 0..31 (else error 9).
    void GetCHColorAll();
    int32_t CHColor(int32_t ch) const;
    bool IsHostAlive() const;
    bool IsTermAlive() const;
    void Check2重起動();
    // The instance mode of the "/MODE=" value, rounded half to even; 0 for a non-number.
    int32_t GetMode() const;
    // The captions of the main and conditions windows for the instance mode.
    void SetCaption();
    // Placement of a window in "Tolvane.ini", one section per window, in twips.
    static void WritePosition(forms::Form& window);
    static void ReadPosition(forms::Form& window, bool withSize);
    // Rebuilds StackFlameTable from GlFlameTime: one entry per frame position, in the order in
    // which each position last occurred.
    static void MakeStackFlameTable();
    std::vector<int32_t> channelColors = std::vector<int32_t>(32, 0);
    bool bCaptionToggle = false;   // lblNoName_Caption: ticks (True) or clears every channel next
    bool bCaption3Toggle = false;  // lblNoName_Caption3: the same for the calibration boxes
    // An outside component created by its program identifier; only TermMaster is ever called.
    struct OutsideComponent {
        virtual ~OutsideComponent() = default;
        virtual void TermMaster() = 0;
    };
    // Creates the component of that identifier; none is installed here, so it answers null
    // unless a host (or a test) puts in a maker.
    static std::function<std::shared_ptr<OutsideComponent>(const std::string&)> CreateObject;
    // The shared-data component, when chkBlobrelay asked for it at start.
    std::shared_ptr<OutsideComponent> sharedData;
    // The 32 channel buffers, channel 0 first; made by start-up, released at close.
    static std::vector<std::unique_ptr<class CWave>> GCWave;
    void loadChannelRows();       // elements 1..31 of the row arrays, Line1(1..7)
    void loadCalibrationSets();   // the three calibration sets from the library
    // `set` in the table, rows first..last (1-based). A stored value the table cannot show (an
    // A/D value beyond a Long) ends the showing at its row and is logged; the caller goes on.
    void DispCalLogged(const CCalSetting& set, int32_t first, int32_t last);
    // (end of start-up block)

    // ---- Services of the display, data-file and camera parts used by start-up and keys ----
    // Redraws, cursor moves and read-outs of the monitor; recording windows and calibration.
    void SetDispCH_GCWave();
    void DispCurValue();
    void DispCurLabelName();
    void DispCurMark();
    void MoveCurL(float X);
    void MoveCurR(float X);
    void SaveObjectValue();
    // The amplifier preset labelled `name` (see the free GetIntCAL); nullptr when none.
    class CCalSetting* GetIntCAL(std::string& name);
    int32_t lGraphHandle = 0;      // the monitor's graph in the library, 0 before SetCursor
    // (end of services block)

    // ---- Graph cursors, cursor read-outs, marks and comments ----
    // Where the left (right) cursor stands across the window: 0 at its start, 1 at its end;
    // 0 for a window without points.
    float GetCurXRateL();
    float GetCurXRateR();
    // Orders and clamps the two cursors (to PTotal and 0, and unless NoWindowClamp to the
    // window) and applies them.
    void FixCurPos(bool LeftYields, bool AllowReset, bool Refresh, bool CallSetCursor,
                   bool NoWindowClamp);
    // The first scan of the raw buffer in the level labels.
    void DispRawLevels();
    // TXTComment(0..4) into Comment(0..4) of the parameter record.
    void SaveComment();
    // "Tolvane.ini" [SETTING] FUOUKI_MS, by default lFuoukiTimeMS.
    int32_t GetFuoukiTimeMS();
    void CancelMark();
    void SetMark();
    void TXTComment_KeyDown(int Index, int& KeyCode, int Shift);
    void TXTComment_Change(int Index);
    float sngCurTop = 0.0f;         // top of the vertical cursors: wCh
    float sngCurXMax = 0.0f;        // min(lSweepPoint, PTotal) at the last set-up
    int32_t lCurSel = -1;           // cursor under the mouse or dragged, -1 none
    bool bCurDrag = false;          // a cursor drag is on
    float sngDragY = 0.0f;          // mouse Y at the press (and at each window step)
    float sngCurWidth = 0.0f;       // cursor distance at a right-button press
    float sngRangeDragY = 0.0f;     // the range drag: mouse Y at the press and the range then
    float sngRangeDragHi = 0.0f;
    float sngRangeDragLo = 0.0f;
    bool bPan = false;              // the pan with a modifier and the left button is on
    float sngPanX0 = 0.0f;
    float sngPanX = 0.0f;
    float sngPanPos0 = 0.0f;
    float sngPanDelta = 0.0f;

private:
    void MoveMeasurementCursor(int32_t side, float X);
    void DragMeasurementCursor(int Button, float X);
    void DragCalibrationEdge(float X, float Y);
    // The camera shows the frames at the two cursors when the recording has video.
    void ShowCursorFrames();
    void OpenCursorTimeEdit(forms::Label& label, forms::TextBox& box);
    void CloseCursorTimeEdit(forms::Label& label, forms::TextBox& box, bool left);

public:
    // (end of cursors block)

    // ---- Recording files ----
    // The parameter file `path` read into a staging record that starts from what the window
    // and the globals hold now; nothing else changes, and a malformed file raises its run-time
    // error (see ReadKparParam).
    KparParam ParseKparParam(const std::string& path);
    // Applies a staged parameter file in the file's order: the records, then the controls
    // (their Click and Change handlers run), the camera window's boxes from its section
    // "Control", and the recording's calibration set. `path` stays the current ini file.
    void CommitKparParam(const std::string& path, const KparParam& stage);
    // The sampling-rate list's entry for a sample period (see SanplingRateSelect).
    int32_t GetSanplingRateSelect(int32_t& nSClock);
    // (end of recording-files block)
    // ---- CSV export and settings files ----
    // Settings handed over by the companion programs: a name "PROPERTY.form.control.property"
    // at positions 1, 3, 5, ..., its value under the key "VAL=" & name. Emptied at the end of
    // every settings load.
    basic::Collection<std::string> SettingCollection;
    // The ten ".DJINS" column flags (1 = exported), the ".DJINS" calibration switch and one
    // ".DJINS" value converted with column j's calibration (0 when its CAL AD is 0), all from
    // the settings collection; a missing key is run-time error 5.
    std::vector<int32_t> GetJINSDispCH();
    bool IsUseCALJINS();
    float GetUseCalValueJINS(int32_t j, float raw);
    // The header block of an export, written into the open output.
    void MakeCSVHeader(class CsvOutput& out);
    // Applies the "PROPERTY" names of SettingCollection to the loaded windows' controls.
    void ApplySettingCollection();
    // The settings file read into the conditions window and applied to it and to this window,
    // with bInternalUpdate raised throughout (down again on every way out).
    void ApplyStoredSettings();
    bool bInLoadREGIST = false;  // RESTORE is running
    // (end of CSV and settings block)

    // ---- Recording load, windowed reads and paging ----
    // One display window of `count` scans from `start` into DispWaveArray (wCh channels of
    // count + 1 points, the last one closing the trace); count kOnePage is lSweepPoint and is
    // written back. Scans at or past PTotal are not read: their points stay 0.
    void LoadWave_Sweep(int32_t& start, int32_t& count);
    void LoadWave_Sweep(int32_t& start);
    // `count` scans from `start` converted into ConvWaveArray (wCh channels of count points).
    void LoadWave_Rec(int32_t& start, int32_t& count);
    // The recording named in txtFName loaded on the program's own request; the argument is
    // not used.
    void LoadKdat(const std::string& unused = {});
    // txtFName as the newest of the 20 entries of "Tolvane.ini" [HISTORY].
    void UpdateHistory();
    void NothifyLoad();
    void SaveParam();
    // Comment(0..4) of the parameter record into TXTComment(0..4).
    void LoadComment();
    // Clamps lPosWAVE_Start to 0 .. PTotal - lSweepPoint (never below 0).
    void CheckMove();
    // The display-range box of channel 0..31 in the unit now shown (engineering units with
    // chkUseCAL ticked, else A/D counts).
    forms::TextBox& GetTxtDR_WaveHi(int32_t ch);
    forms::TextBox& GetTxtDR_WaveLo(int32_t ch);
    // (end of recording block)

    // ---- Commands, calls by name and keyboard commands ----
    // Finds the first loaded window whose Name is formName (exact case) and runs its CallFunc
    // with funcName; nothing when no such window is loaded. A window that takes no calls by
    // name raises 438, as any late-bound call of a missing method would.
    void CallFuncMain(const std::string& formName, const std::string& funcName);
    // Runs the handler of this window that funcName names (exact case, see CallFuncTable);
    // any other name does nothing.
    void CallFunc(const std::string& funcName);
    // A handler other windows may run by name; asRequest: bAutoCall is raised around it.
    struct NamedHandler {
        const char* name;
        void (Acqisition::*handler)();
        bool asRequest;
    };
    static const std::vector<NamedHandler>& CallFuncTable();
    bool IsCancel() const;
    // The port of the last companion-program entry ("id,port,...") of the hidden window's
    // receive list with this id; "" when none.
    std::string GetID2PortNo(int32_t id) const;
    // Removes every entry of that id from the receive list.
    void DelData2PortNo(int32_t id);
    // The number of entries of the receive list, as text.
    std::string GetID2SubPrg() const;
    // The text of the selected sampling rate ("" when none is selected).
    std::string GetSampleFreqText() const;
    void ChangeMonitorDispSetting();
    // Steps of the acquisition start; none has work here.
    bool START_1();
    bool START_1a();
    bool START_1b();
    bool START_2();
    bool START_3();
    bool START_4();
    bool START_4a();
    bool START_5();
    bool START_6();
    bool START_7();
    bool START_8();
    bool START_8a();
    bool START_8b();
    bool START_8c();
    bool START_9();
    bool START_10();
    bool START_11();
    bool START_12();
    bool bInStart = false;  // Shift+Enter's guard against running START again from inside it
    // Holds a flag of the window raised while it lives, also when the code in between fails.
    struct RaisedFlag {
        bool& flag;
        explicit RaisedFlag(bool& f) : flag(f) { flag = true; }
        ~RaisedFlag() { flag = false; }
        RaisedFlag(const RaisedFlag&) = delete;
        RaisedFlag& operator=(const RaisedFlag&) = delete;
    };
    // (end of commands block)

    // ---- Window events ----
    void Form_Load();
    void Form_QueryUnload(int& Cancel, int UnloadMode);
    void Form_Unload(int& Cancel);
    void Form_Resize();
    void Form_KeyDown(int& KeyCode, int Shift);
    void Form_OLEDragDrop(forms::DataObject& Data, int& Effect, int Button, int Shift, float X,
                          float Y);

    // ---- Buttons ----
    void cmdCONDITION_Click();
    void cmdQUIT_Click();
    void cmdHardCopy_Click();
    void cmdHardCopyF_Click();
    void cmdStart_Click();
    void cmdEnd_Click();
    void cmdLoad_Click();
    void cmdCallFuncMain_Click();
    void cmdRecalcRR_Click();
    void cmdMakeCSVAuto_Click();
    void cmdCSV_Click();
    void cmdMove_Click();
    void cmdMovePrev_Click();
    void cmdMovePrevFirst_Click();
    void cmdMovePrevH_Click();
    void cmdMovePrev1Sec_Click();
    void cmdMoveNext_Click();
    void cmdMoveNextFirst_Click();
    void cmdMoveNextH_Click();
    void cmdMoveNext1Sec_Click();
    void cmdCancelMark_Click();
    void cmdSetTrgLvl_Click();
    void cmdAddMarkOffline_Click();
    void cmdDelMarkOffline_Click();
    void cmdAddMark_Click();
    void cmdClearMark_Click();
    void cmdSAVECAL_Click();
    void cmdLoadREGIST_Click();
    void cmdLOADCAL_Click();
    void cmdDISPREGISTEDCAL_Click();
    void cmdSaveSetting_Click();
    void cmdLoadSetting_Click();
    void cmdSaveParam_Click();
    void cmdSelectAmp_Click();
    void cmdP2P_Click();
    void cmdP2PHalf_Click();
    void cmdGETCAL_Click();
    void cmdPUTCAL_Click();
    void cmdInc10_Click();
    void cmdDec10_Click();
    void cmdDispInit_Click();
    void cmdCAMChange_Click();
    void cmdずらす_Click();

    // ---- Check boxes and option buttons ----
    void chkUseCAL_Click();
    void chkDispTable_Click();
    void chkL2L_Click();
    void chkL2LHalf_Click();
    void chkDispRaw_Click();
    void chkDispCAMPos_Click();
    void chkCurLvl_Click();
    void chkCurRst_Click();
    void chkCurRstCenter_Click();
    void chkMean_Click();
    void chkDispBUFF_SWEEP_F_Click();
    void chkDisp最も近いグラフを探す_Click();
    void CHKWaveNo_Click(int Index);
    void chkCal_Click(int Index);
    void chkCopy_Click(int Index);
    void chkCopy_V_Click(int Index);
    void optCalAcq_Click();
    void optCalDisp_Click();
    void optL_Click();
    void optM_Click();
    void optS_Click();
    void optMonitor_Click();

    // ---- Lists ----
    void cmbSampleFreq_Click();
    void cmbTimeFS_Click();
    void cmbSamplePoint_Click();

    // ---- Text boxes ----
    void TXTPreSetCounter_LostFocus();
    void txtDD_Change();
    void txtDD_LostFocus();
    void txtHH_Change();
    void txtHH_LostFocus();
    void txtMM_Change();
    void txtMM_LostFocus();
    void txtSS_Change();
    void txtSS_LostFocus();
    void txtFName_Click();
    void txtStartTime_Change();
    void txtEndTime_Change();
    void txtMoveTime_Change();
    void txtMoveTime_KeyDown(int& KeyCode, int Shift);
    void txtCurTime_L_KeyDown(int& KeyCode, int Shift);
    void txtCurTime_L_LostFocus();
    void txtCurTime_R_KeyDown(int& KeyCode, int Shift);
    void txtCurTime_R_LostFocus();
    void txtDR_WaveInput_KeyDown(int& KeyCode, int Shift);
    void txtDR_WaveInput_LostFocus();
    void txtIncDecEU_KeyDown(int& KeyCode, int Shift);
    void txtIncDecEU_LostFocus();
    void t1EU_KeyDown(int& KeyCode, int Shift);
    void t1EU_LostFocus();
    void t2EU_KeyDown(int& KeyCode, int Shift);
    void t2EU_LostFocus();
    void txtName_Change(int Index);
    void txtName_GotFocus(int Index);
    void txtName_KeyDown(int Index, int& KeyCode, int Shift);
    void txtUnit_Change(int Index);
    void txtUnit_KeyDown(int Index, int& KeyCode, int Shift);
    void txtEUHI_Change(int Index);
    void txtEUHI_KeyDown(int Index, int& KeyCode, int Shift);
    void txtEULO_Change(int Index);
    void txtEULO_KeyDown(int Index, int& KeyCode, int Shift);
    void txtCALAD_Change(int Index);
    void txtCALAD_KeyDown(int Index, int& KeyCode, int Shift);
    void txtBASEAD_Change(int Index);
    void txtBASEAD_GotFocus(int Index);
    void txtBASEAD_KeyDown(int Index, int& KeyCode, int Shift);
    void txtDR_WaveHi_Change(int Index);
    void txtDR_WaveHi_Click(int Index);
    void txtDR_WaveHi_GotFocus(int Index);
    void txtDR_WaveHi_V_Change(int Index);
    void txtDR_WaveHi_V_Click(int Index);
    void txtDR_WaveHi_V_GotFocus(int Index);
    void txtDR_WaveLo_Change(int Index);
    void txtDR_WaveLo_Click(int Index);
    void txtDR_WaveLo_GotFocus(int Index);
    void txtDR_WaveLo_V_Change(int Index);
    void txtDR_WaveLo_V_Click(int Index);
    void txtDR_WaveLo_V_GotFocus(int Index);

    // ---- Labels ----
    void LBLCurTime_L_Click();
    void LBLCurTime_R_Click();
    void LBLMark_Click();
    void lblNoName_Caption_Click();
    void lblNoName_Caption3_Click();
    void lblItemName_Click(int Index);
    void lblRange_Click();
    void lblNoName_Click(int Index);

    // ---- Picture boxes ----
    void PBXMoniDisp_Paint();
    void PBXMoniDisp_DblClick();
    void PBXMoniDisp_MouseDown(int Button, int Shift, float X, float Y);
    void PBXMoniDisp_MouseMove(int Button, int Shift, float X, float Y);
    void PBXMoniDisp_MouseUp(int Button, int Shift, float X, float Y);
    void PBXMoniDisp_Resize();
    void pbxParent_DblClick();

    // ---- Timers ----
    void timBoot_Timer();
    void timBootSubPrg_Timer();
    void Timer2_Timer();
    void timPos_Timer();
    void timWDT_Timer();
    void timAutoACQ_Timer();
    void timDisp_Timer();
    void timSaveImage_Timer();

private:
    // Reads and applies GstrKparFile, or changes nothing when it is refused.
    void LoadKparParam();

    // The move step of the paging buttons; cmdMove keeps the calibration marks.
    void MoveDisplayTo(int32_t newStart, bool eraseCalMarks);
    int32_t OneSecondStep(int32_t sign);
    // The load of the name typed into txtFName, with its refusals and closing steps; the result
    // is that of ApplyRecording, empty when the load stopped.
    std::string LoadTypedRecording();
    // Steps 5 to 24 of a load whose files were all checked (see Acqisition_Load.cpp). The
    // result names the channels shown in input volts because their calibration cannot convert.
    std::string ApplyRecording(StagedRecording& staged);
    void ShowCameraRecording(FlameTables&& tables);
    void wire();
    void recordLayout();
};

// The rates a board type offers for a channel count and a sweep time (ms, read leniently), as
// (text, Hz) in list order: the entries SetSamplingRate gives cmbSampleFreq for those conditions.
using SamplingRates = std::vector<std::pair<std::string, int32_t>>;
SamplingRates SamplingRateCatalogue(int32_t board, int32_t channels, const std::string& sweepTime);

// What the hidden state window's companion-program switches say, read at the time of the call.
bool IsUseSubPrg();
bool IsUseSubPrgRL();
bool IsUseSubPrgVylM70();
bool IsUseSubPrgJINS();

// Starts an outside program (argv[0], from the program folder as the caller names it) without a
// shell. One that is missing or cannot be started is written to the log; the caller goes on.
// Returns the process id, or 0 when nothing started.
int32_t StartOutsideProgram(const std::vector<std::string>& argv);

}  // namespace qv
