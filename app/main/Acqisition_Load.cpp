// Opening a recording in the main window. Everything that can refuse the recording (the
// parameter file, the camera's frame list, the data file's length) is read and checked first,
// while the window still shows the previous recording untouched; only then is the recording
// applied, step by step. Also the load history, the drop handler and the small entry points.
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/camera/frmCAMDisp.h"
#include "app/camera/frmCAM_TEST.h"
#include "app/camera/modCAM.h"
#include "app/channel/AmpCalTable.h"
#include "app/channel/CCalSetting.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/common/frmMessage.h"
#include "app/common/modCalRecord.h"
#include "app/common/modCommon.h"
#include "app/common/modFile.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_Monitor.h"
#include "app/main/KparParam.h"
#include "app/main/StagedRecording.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Files.h"

namespace qv {

namespace {

constexpr int kFileErrorSilent = 32755;
constexpr int32_t kHistoryEntries = 20;

constexpr std::string_view kKparExt = ".Kpar";

std::string historyKey(int32_t i) { return "ITEM_" + basic::Right("00" + std::to_string(i), 2); }

// The rate of a sample period in Hz, to a tenth.
std::string rateText(int32_t nSClock) {
    return basic::CStr(std::round(10.0 * basic::CSng(basic::Divide(1000000.0, nSClock))) / 10.0);
}

// A recorded channel whose stored calibration cannot convert a raw word (none stored, a Cal_AD
// of 0, a value that is no finite number) would show no trace: it takes the board's conversion
// and unit, so it shows input volts. The result names those channels ("CH3, CH5").
std::string takeBoardCalWhereUnconvertible(CCalSetting& recording, const CCalSetting& board) {
    std::string named;
    const monitor::ChannelSpan span = monitor::channelsOf(GAcqCondition);
    for (int32_t i = span.first; i <= span.last; ++i) {
        const CalRecord& r = GCalRecEU[static_cast<size_t>(i)];
        if (std::isfinite(r.EU_HI) && std::isfinite(r.EU_LO) && std::isfinite(r.Base_AD) &&
            std::isfinite(r.Cal_AD) && r.Cal_AD != 0.0f)
            continue;
        recording.EU_HI(i, board.EU_HI(i));
        recording.EU_LO(i, board.EU_LO(i));
        recording.Cal_AD(i, board.Cal_AD(i));
        recording.Base_AD(i, board.Base_AD(i));
        recording.Unit(i, board.Unit(i));
        named += (named.empty() ? "CH" : ", CH") + std::to_string(i + 1);
    }
    return named;
}

// The whole scans of wCh words the data file holds; -1 when there is no data file.
int32_t scansInDataFile(const std::string& kdatFile, int32_t wCh) {
    const std::string path = FindFile(kdatFile, true);
    if (path.empty() || wCh <= 0) return -1;
    kernel::BinaryFile file;
    if (!file.open(path)) basic::raiseError(75, "Path/File access error: " + path);
    const uint64_t scans = file.size() / (2ull * static_cast<uint64_t>(wCh));
    return scans > INT32_MAX ? INT32_MAX : static_cast<int32_t>(scans);
}

}  // namespace

StagedRecording StageRecording(const std::string& base, KparParam param) {
    StagedRecording s;
    s.base = base;
    s.param = std::move(param);
    const AcqParam& p = s.param.param;
    const bool trigger = basic::Val(p.Condition.strTRIGGER_SETTING) == 1.0;
    if (!trigger && IsCameraEnabled(base + ".Kpar", true))
        s.frames = ReadFlameTables(base + ".FLM", s.param.GlCapNum, s.param.GlADCGETCnt);
    s.scansInData = scansInDataFile(base + ".Kdat", p.wCh);
    return s;
}

void Acqisition::cmdLoad_Click() {
    if (bInLoad) return;
    RaisedFlag loading(bInLoad);
    const std::string inVolts = LoadTypedRecording();
    // Told once the load has ended and the window is back.
    if (!inVolts.empty())
        forms::MsgBox("次の CH は校正値がないか無効なため、入力電圧で表示します。\r\n" + inVolts, 64);
}

std::string Acqisition::LoadTypedRecording() {
    setEnabled(false);
    Frame5.setEnabled(false);
    cmdLoad.setEnabled(false);
    fraCtrl.setEnabled(false);
    // The closing steps run on every way out: refusal, error or success.
    struct Closing {
        Acqisition& w;
        ~Closing() {
            ClosingStep("LOAD closing", [this] {
                w.SetDispStatus("End", true);
                w.ALL_BTN_ModeSet();
                ShowMessage(false, "", "", false);
            });
            ClosingStep("LOAD closing", [this] {
                w.Frame5.setEnabled(true);
                w.fraCtrl.setEnabled(true);
                w.setEnabled(true);
            });
        }
    } closing{*this};

    try {
        SetDispStatus("Read", true);
        const std::string typed = txtFName.Text();
        if (typed.empty()) {
            forms::MsgBox("LOAD できません。\r\nファイル名が入力されていません。\r\nファイル名を入力して下さい。", 48);
            return {};
        }
        const std::string kpar = FindFile(typed + ".Kpar", true);
        if (kpar.empty()) {
            forms::MsgBox("対応するKparファイルがありません。"
                          "Kdatに対応するKparが存在するファイル名を設定しないと読出しはできません.",
                          48);
            return {};
        }
        // A bare name is the recording in the folder where its parameter file was found; the
        // ini engine would look for a bare name in the program folder only.
        const bool bare = typed.find_first_of("\\/:") == std::string::npos;
        const std::string base = bare ? kpar.substr(0, kpar.size() - kKparExt.size()) : typed;
        KparParam param = ParseKparParam(base + ".Kpar");
        if (!param.rateOffered) {
            forms::MsgBox("LOAD できません。\r\nサンプリング周波数 " + rateText(param.param.nSClock) +
                              " (Hz) は、この記録の A/D ボード、CH 数、Sweep Time では選択できないため、"
                              "表示できません。",
                          48);
            return {};
        }
        StagedRecording staged = StageRecording(base, std::move(param));
        if (staged.scansInData >= 0 && staged.scansInData < staged.param.param.PTotal) {
            forms::MsgBox("データファイルが記録点数より短くなっています。\r\n記録されている " +
                              std::to_string(staged.scansInData) + " 点までを読み込みます。",
                          48);
            staged.param.param.PTotal = staged.scansInData;
        }
        return ApplyRecording(staged);
    } catch (const basic::RuntimeError& e) {
        if (e.number() != kFileErrorSilent)
            forms::MsgBox("File Error CODE= " + std::to_string(e.number()) + "    AT LOAD(Data)-Sub.", 0);
    }
    return {};
}

// Steps 5 to 24 of the load with the checked recording.
std::string Acqisition::ApplyRecording(StagedRecording& staged) {
    std::optional<RaisedFlag> loading(std::in_place, GAcqParam.GbLoading);
    ShowMessage(true, "Now Loading", "Please Wait", false);
    {
        RaisedFlag resetting(bCalCheckReset);
        if (chkL2L.Value() == 1) chkL2L.setValue(0);
        if (chkL2LHalf.Value() == 1) chkL2LHalf.setValue(0);
    }
    GetCHColorAll();
    ClearAcqArrays();
    forms::DoEvents();

    GstrKparFile = staged.base + ".Kpar";
    GstrKdatFile = staged.base + ".Kdat";
    GstrAviFile = staged.base + ".AVI";
    GstrFlmFile = staged.base + ".FLM";

    // A channel text that states no range is shown as the recording's range: from an empty text
    // or a number beyond 32 bits the conditions window would take another one.
    AcqCondition& recorded = staged.param.param.Condition;
    if (!StatedChannelRange(recorded.strCH))
        recorded.strCH = basic::CStr(recorded.lStartCH) + "-" + basic::CStr(recorded.lEndCH);
    frmCondition& conditions = frmCondition::instance();
    {
        RaisedFlag internal(bInternalUpdate);
        CommitKparParam(GstrKparFile, staged.param);
        GAcqCondition = GAcqParam.Condition;
        LoadComment();
        DispLoadedCondition();
        conditions.SetCondition(true, 0);
        if (GAcqParam.lcmbSampleFreq_ListIndex >= 0 &&
            GAcqParam.lcmbSampleFreq_ListIndex < cmbSampleFreq.ListCount())
            cmbSampleFreq.setListIndex(GAcqParam.lcmbSampleFreq_ListIndex);
        conditions.LoadObjectValue();
        // Selecting a board that scans a fixed set of channels puts that set in the channel
        // box; the recording keeps its own channels, or its scans would be read with the set's,
        // and its trigger channel at the stored position, as on every other board.
        if (conditions.txtCH.Text() != recorded.strCH) conditions.TakeChannelText(recorded.strCH);
        conditions.SaveObjectValue();
    }

    // The calibration: the recording's set shown, the amplifier's built-in set (a default set
    // when the amplifier is unknown) for input volts, the recording's for units.
    const std::string inVolts = takeBoardCalWhereUnconvertible(GCCalSettingCopy, BoardCalOrDefault());
    optCalDisp.setValue(true);
    GCCalSettingCopy.Clone(GCCalSettingDisp);
    DispCalLogged(GCCalSettingDisp, GAcqCondition.lStartCH, GAcqCondition.lEndCH);
    CalToArray(GCalRecVolt, GstrCalNames, GstrCalUnits, BoardCalOrDefault(), 1, 32);
    CalToArray(GCalRecEU, GstrCalNames, GstrCalUnits, GCCalSettingDisp, 1, 32);

    const int32_t wCh = GAcqParam.wCh, page = GAcqParam.lSweepPoint;
    ConvWaveArray.Redim(wCh, GAcqParam.nSample);
    DispWaveArray.Redim(wCh, page + 1);
    RawSampleBuffer.assign(static_cast<size_t>(wCh) * static_cast<size_t>(page), 0);
    int32_t first = 0, count = kOnePage;
    LoadWave_Sweep(first, count);

    if (staged.frames) ShowCameraRecording(std::move(*staged.frames));

    SetDispStatus("Read", true);
    forms::DoEvents();
    CheckMove();
    loading.reset();

    int32_t left = -1, right = -1;
    SetCursor(left, right, true);
    chkUseCAL_Click();
    UpdateCHDisp();
    cmbTimeFS_Click();
    PBXMoniDisp.Refresh();
    SetDispStatus("End", true);
    lblCALStatus.setVisible(false);
    frmCAMDisp::instance().DispFlamePos(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point);
    UpdateHistory();
    if (IsDataLoaded()) timSaveImage.setEnabled(true);
    return inVolts;
}

// The camera part of a load: the camera window prepared, the checked frame tables put in use,
// the video bound and the window laid out.
void Acqisition::ShowCameraRecording(FlameTables&& tables) {
    frmCAMDisp& cam = frmCAMDisp::instance();
    if (!cam.Visible()) cam.Show();
    cam.DispInit();
    cam.optDispType(1).setValue(true);
    cam.optDispType_Click(1);
    GlFlameTime = std::move(tables.lFlameTime);
    GdblFlameTime = std::move(tables.dblFlameTime);
    GsngFlameTime = std::move(tables.sngFlameTime);
    GlTime_ADCGET = std::move(tables.lTime_ADCGET);
    cam.lCameraWidth = GAcqCondition.lCameraWidth;
    cam.lCameraHeight = GAcqCondition.lCameraHeight;
    MakeStackFlameTable();
    cam.SetAVIFileName(GstrAviFile);
    cam.txtGlTime_ADSTART.setText("0");
    cam.txtlstGlTime_ADCGET.setText(GlTime_ADCGET.empty() ? "" : std::to_string(GlTime_ADCGET[0]));
    cam.InitForm();
    // Only a shown test window lists the tables; a hidden one is not created for it.
    forms::Form* test = forms::Runtime::get().findForm("frmCAM_TEST");
    if (test && test->Visible()) {
        frmCAM_TEST& t = frmCAM_TEST::instance();
        t.DispArray(GlFlameTime, t.lstGlFlameTime);
        t.DispArrayDbl(GdblFlameTime, t.lstGdblFlameTime);
    }
}

void Acqisition::LoadKdat(const std::string&) {
    RaisedFlag request(bAutoCall);
    cmdLoad_Click();
}

void Acqisition::UpdateHistory() {
    IniPathGuard guard(ProgramFile("Tolvane.ini"));
    std::vector<std::string> entries{txtFName.Text()};
    for (int32_t i = 0; i < kHistoryEntries - 1; ++i)
        entries.push_back(ReadIniString("HISTORY", historyKey(i), ""));
    for (int32_t i = 0; i < kHistoryEntries; ++i)
        WriteIniString("HISTORY", historyKey(i), entries[static_cast<size_t>(i)]);
}

void Acqisition::txtFName_Click() { ShowInExplorer(hWnd(), txtFName.Text() + ".Kdat"); }

void Acqisition::NothifyLoad() {}
void Acqisition::SaveParam() {}

void Acqisition::LoadComment() {
    for (int32_t i = 0; i <= 4; ++i) TXTComment(i).setText(GAcqParam.Comment[static_cast<size_t>(i)]);
}

void Acqisition::UpdateCHDisp() {
    DispCHCtrl();
    SetDispCH_GCWave();
    if (IsModeAcq()) {
        ChangeMonitorDispSetting();
        if (IsTriggerSetting()) DispFullWave(PBXMoniDisp.hDC(), true);
        return;
    }
    SetCursor(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, false);
    PBXMoniDisp.Refresh();
}

// Files dropped on the window, in their order: a recording (its data or parameter file, in any
// letter case, also under a ".JPG" name) is loaded, a settings file is applied.
void Acqisition::Form_OLEDragDrop(forms::DataObject& Data, int&, int, int, float, float) {
    if (!Data.GetFormat(forms::vbCFFiles)) return;
    for (const std::string& file : Data.Files) {
        RaisedFlag request(bAutoCall);
        std::string name = file;
        if (basic::Right(name, 4) == ".JPG") name = GetPathWithoutExt(name);
        const std::string upper = basic::UCase(name);
        const auto endsWith = [&](const std::string& ext) {
            return upper.size() >= ext.size() && upper.compare(upper.size() - ext.size(), ext.size(), ext) == 0;
        };
        // A running load or settings operation still reads the name this would replace.
        if ((endsWith(".KDAT") || endsWith(".KPAR")) && !bInLoad) {
            txtFName.setText(GetPathWithoutExt(name));
            cmdLoad_Click();
        } else if (endsWith(".SET") && !bInSettingsFile) {
            GstrSettingFile = name;
            cmdLoadSetting_Click();
        }
    }
}

}  // namespace qv
