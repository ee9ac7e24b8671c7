// The CSV export of the main window: the range boxes and the step list, the export button with
// its header block and its three writers (a time range, or whole sweeps into one file or one
// file each), and the companion programs' settings the export reads its side-file columns by.
// Every file is written whole or not at all (CsvOutput); whatever way the export ends, the page,
// the cursors and the mode that were there before are put back.
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "app/channel/AmpCalTable.h"
#include "app/channel/CCalSetting.h"
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/frmMessage.h"
#include "app/common/modCalRecord.h"
#include "app/common/modCommon.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_SideFiles.h"
#include "app/main/CsvOutput.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Time.h"

namespace qv {

namespace {

constexpr int kErrInUse = 70;
constexpr int kErrSilent = 32755;
constexpr const char* kReserve = "<Reserve>";
constexpr const char* kProgressCaption = "波形データ出力中";

constexpr std::array<const char*, 10> kJinsTitles = {"ACC-X", "ACC-Y", "ACC-Z",  "GYR-X",  "GYR-Y",
                                                     "GYR-Z", "EOG-L", "EOG-R", "EOG-DH", "EOG-DV"};
constexpr std::array<const char*, 10> kJinsUnits = {"( G )",   "( G )",   "( G )",  "( dps )", "( dps )",
                                                    "( dps )", "( uV )", "( uV )", "( uV )",  "( uV )"};

// The key of a companion-program setting in the settings collection.
std::string settingKey(const std::string& control, const char* property) {
    return "VAL=PROPERTY.frmMain." + control + "." + property;
}

// The step of the export: a list without a selection exports every sample.
int32_t csvStep() { return GAcqParam.lCSVStep >= 1 ? GAcqParam.lCSVStep : 1; }

// The channels the rows carry: those of the live range whose box is ticked, with their places
// in the display array.
struct Column {
    int32_t channel;   // 0-based
    int32_t position;  // in DispWaveArray
};
std::vector<Column> exportedColumns(Acqisition& w) {
    std::vector<Column> columns;
    const int32_t first = GAcqCondition.lStartCH - 1;
    for (int32_t ch = first; ch <= GAcqCondition.lEndCH - 1; ++ch)
        if (w.CHKWaveNo(ch).Value() == 1) columns.push_back({ch, ch - first});
    return columns;
}

const CalRecord& record(const CalRecordArray& records, int32_t channel) {
    if (channel < 1 || channel > static_cast<int32_t>(records.size())) basic::raiseError(basic::errSubscript);
    return records[static_cast<size_t>(channel - 1)];
}

// The length of the recording in seconds; nothing when the rate is unknown.
std::optional<double> recordingSeconds() {
    const double r = GAcqParam.nSample * 10.0;
    if (r <= 0) return std::nullopt;
    return GAcqParam.PTotal / r;
}

// A box written from code runs its Change handler, which stores the clamped value; the caller
// goes on with what the box now says.
double clampBox(forms::TextBox& box, double value, double lo, std::optional<double> hi) {
    if (value < lo) {
        box.setText(basic::CStr(lo));
        return basic::Val(box.Text());
    }
    if (hi && value > *hi) {
        box.setText(basic::CStr(*hi));
        return basic::Val(box.Text());
    }
    return value;
}

// How a writer ended when no run-time error ended it.
struct Outcome {
    enum Kind { Written, Cancelled, Refused } kind = Written;
    std::string message;
};

// Hides the progress box on every way out of a writer.
struct ProgressShown {
    ~ProgressShown() {
        ClosingStep("CSV progress", [] { ShowProgress(false, "", 0, 0); });
    }
};

// The channel columns of the rows and whether the rows are numbered.
class Rows {
public:
    explicit Rows(Acqisition& w) : columns_(exportedColumns(w)), dataNo_(IsCsvDataNo()) {}

    // The channels' values of point `offset` of the loaded page.
    void values(CsvOutput& out, int32_t offset) const {
        for (const Column& c : columns_) out.number(DispWaveArray(offset, c.position));
    }
    bool dataNo() const { return dataNo_; }

private:
    std::vector<Column> columns_;
    bool dataNo_;
};

// The rows at which the progress box is updated and the window system's events run: the
// first, then one each time 50 ms have passed, and the last. Both cost far more than a row, and
// the cancel box, read at each of these rows, still stops the export within 50 ms.
class ProgressMoments {
public:
    bool due(bool lastRow) {
        const uint32_t now = kernel::tickCount();
        if (!started_ || lastRow || now - last_ >= kIntervalMs) {
            started_ = true;
            last_ = now;
            return true;
        }
        return false;
    }

private:
    static constexpr uint32_t kIntervalMs = 50;
    bool started_ = false;
    uint32_t last_ = 0;
};

std::string sideFileShort(const std::string& path) {
    return "ファイル " + path + " のデータが出力範囲に足りませんのでCSVファイルの作成を中止します。";
}

// Rows of a time range, the page reloaded whenever the row leaves the page in memory.
Outcome writeContinuous(Acqisition& w) {
    const int64_t first = GAcqParam.lStartCSVPoint, end = GAcqParam.lEndCSVPoint;
    const int32_t step = csvStep();
    const bool rl = IsUseSubPrgRL(), jins = IsUseSubPrgJINS();
    std::optional<CsvSideFile> abs, len, dj;
    std::vector<int32_t> jinsFlags;
    bool jinsCal = false;
    if (rl) {
        abs.emplace(SideFilePath(GstrKdatFile, ".ABS"), CsvSideFile::kAbsWidth);
        len.emplace(SideFilePath(GstrKdatFile, ".LEN"), CsvSideFile::kAbsWidth);
    }
    if (jins) {
        dj.emplace(SideFilePath(GstrKdatFile, ".DJINS"), CsvSideFile::kJinsWidth);
        jinsFlags = w.GetJINSDispCH();
        jinsCal = w.IsUseCALJINS();
    }
    for (const std::optional<CsvSideFile>* f : {&abs, &len, &dj})
        if (*f && !(*f)->Covers(first, end)) return {Outcome::Refused, sideFileShort((*f)->Path())};

    CsvOutput out(CurrentFolderFile("test.CSV"));
    if (IsCsvHeader()) w.MakeCSVHeader(out);
    const Rows rows(w);
    ProgressShown progress;
    const forms::CheckBox& abort = frmMessage::instance().chkAbort;
    const int32_t page = GAcqParam.lSweepPoint;
    int32_t pageStart = 0;
    bool loaded = false;
    int32_t marks = 0;
    const int32_t markCount = std::clamp(MarkArray[0], 0, static_cast<int32_t>(MarkArray.size()) - 1);
    ProgressMoments moments;
    for (int64_t p = first; p < end; p += step) {
        if (moments.due(p + step >= end)) {
            ShowProgress(true, kProgressCaption, static_cast<int32_t>(p), static_cast<int32_t>(end));
            forms::DoEvents();
            if (abort.Value() == forms::vbChecked) return {Outcome::Cancelled, {}};
        }
        if (!loaded || p < pageStart || p - pageStart >= page) {
            pageStart = static_cast<int32_t>(p);
            int32_t count = kOnePage;
            w.LoadWave_Sweep(pageStart, count);
            loaded = true;
        }
        if (rows.dataNo()) {
            out.number(p / step + 1);
            const int32_t second = basic::IntDiv(static_cast<int32_t>(p), GAcqParam.lSampleFreqHz);
            if (marks < markCount && MarkArray[static_cast<size_t>(marks) + 1] <= second) ++marks;
            out.number(int64_t{marks});
        }
        rows.values(out, static_cast<int32_t>(p - pageStart));
        if (rl) {
            float v;
            abs->Read(p, &v);
            out.number(v);
            len->Read(p, &v);
            out.number(v);
        }
        if (jins) {
            std::array<float, CsvSideFile::kJinsWidth> v;
            dj->Read(p, v.data());
            for (int32_t j = 0; j < CsvSideFile::kJinsWidth; ++j)
                if (jinsFlags[static_cast<size_t>(j)] == 1)
                    out.number(jinsCal ? w.GetUseCalValueJINS(j, v[static_cast<size_t>(j)])
                                       : v[static_cast<size_t>(j)]);
        }
        out.endLine();
    }
    out.commit();
    return {};
}

// Whole sweeps, into "test.CSV" or one "_tttt.CSV" file each.
Outcome writeSweeps(Acqisition& w, bool filePerSweep) {
    const int32_t first = GAcqParam.lStartCSVTime;
    const int32_t last = basic::CLng(static_cast<double>(GAcqParam.sngEndCSVTime));
    const int32_t page = GAcqParam.lSweepPoint;
    const bool header = IsCsvHeader();
    const Rows rows(w);
    std::optional<CsvOutput> single;
    if (!filePerSweep) {
        single.emplace(CurrentFolderFile("test.CSV"));
        if (header) w.MakeCSVHeader(*single);
    }
    ProgressShown progress;
    for (int64_t t = first; t <= last; ++t) {
        ShowProgress(true, kProgressCaption, static_cast<int32_t>(t), last);
        forms::DoEvents();
        std::optional<CsvOutput> own;
        if (filePerSweep) {
            own.emplace(CurrentFolderFile("_" + basic::Format(static_cast<double>(t), "0000") + ".CSV"));
            if (header) {
                w.MakeCSVHeader(*own);
                own->emptyLine();
                own->line("Trial No. " + basic::CStr(t));
            }
        }
        CsvOutput& out = filePerSweep ? *own : *single;
        const int64_t start = (t - 1) * page;
        if (start < std::numeric_limits<int32_t>::min() || start > std::numeric_limits<int32_t>::max())
            basic::raiseError(basic::errOverflow);
        int32_t from = static_cast<int32_t>(start), count = kOnePage;
        w.LoadWave_Sweep(from, count);
        for (int32_t k = 0; k < page; ++k) {
            if (rows.dataNo()) {
                out.number(int64_t{k} + 1);
                out.text("");
            }
            rows.values(out, k);
            out.endLine();
        }
        if (own) own->commit();
    }
    if (single) single->commit();
    return {};
}

}  // namespace

// ---- The range ----

void Acqisition::txtStartTime_Change() {
    if (!IsDataLoaded()) return;
    AcqParam& a = GAcqParam;
    if (IsTriggerSetting()) {
        const double v = clampBox(txtStartTime, basic::TypedVal(txtStartTime.Text()), 0, a.NFrame);
        a.lStartCSVTime = basic::CLng(v);
        return;
    }
    const double v = clampBox(txtStartTime, basic::TypedVal(txtStartTime.Text()), 0, recordingSeconds());
    a.lStartCSVTime = basic::CLng(v);
    if (a.nSClock != 0) a.lStartCSVPoint = basic::CLng(v * 1000000.0 / a.nSClock);
}

void Acqisition::txtEndTime_Change() {
    if (!IsDataLoaded()) return;
    AcqParam& a = GAcqParam;
    const double v = IsTriggerSetting()
                         ? clampBox(txtEndTime, basic::TypedVal(txtEndTime.Text()), 1, a.NFrame)
                         : clampBox(txtEndTime, basic::TypedVal(txtEndTime.Text()), 0, recordingSeconds());
    a.sngEndCSVTime = basic::CSng(v);
    if (a.nSClock != 0) a.lEndCSVPoint = basic::CLng(v * 1000000.0 / a.nSClock);
}

void Acqisition::cmbSamplePoint_Click() {
    AcqParam& a = GAcqParam;
    // The step is kept also before a recording is loaded: the list is restored at start-up.
    const int i = cmbSamplePoint.ListIndex();
    if (i >= 0) a.lCSVStep = cmbSamplePoint.ItemData(i);
    if (!IsDataLoaded()) return;
    a.lStartCSVTime = basic::CLng(basic::Val(txtStartTime.Text()));
    const int64_t start = int64_t{a.nSample} * a.lStartCSVTime * 10;
    if (start < std::numeric_limits<int32_t>::min() || start > std::numeric_limits<int32_t>::max())
        basic::raiseError(basic::errOverflow);
    a.lStartCSVPoint = static_cast<int32_t>(start);
    a.sngEndCSVTime = basic::CSng(basic::Val(txtEndTime.Text()));
    if (a.nSClock != 0) a.lEndCSVPoint = basic::CLng(a.sngEndCSVTime * 1000000.0 / a.nSClock);
}

// ---- The companion programs' settings ----

std::vector<int32_t> Acqisition::GetJINSDispCH() {
    std::vector<int32_t> flags(CsvSideFile::kJinsWidth);
    for (int32_t j = 0; j < CsvSideFile::kJinsWidth; ++j)
        flags[static_cast<size_t>(j)] = basic::CLng(
            basic::Val(SettingCollection.Item(settingKey("CHKWaveNo(" + std::to_string(j) + ")", "Value"))));
    return flags;
}

bool Acqisition::IsUseCALJINS() { return SettingCollection.Item(settingKey("chkUseCAL", "Value")) == "1"; }

float Acqisition::GetUseCalValueJINS(int32_t j, float raw) {
    const std::string row = "(" + std::to_string(j) + ")";
    const auto value = [&](const char* box) {
        return basic::Val(SettingCollection.Item(settingKey(box + row, "Text")));
    };
    const double hi = value("txtEUHI"), lo = value("txtEULO");
    const double cal = value("txtCALAD"), base = value("txtBASEAD");
    if (cal == 0) return 0.0f;
    return basic::CSng(lo + (raw - base) * (hi - lo) / cal);
}

// ---- The header ----

void Acqisition::MakeCSVHeader(CsvOutput& out) {
    const AcqParam& a = GAcqParam;
    const bool useCal = IsUseCal();
    out.line(JoinBy2Spaces("Quorvane", kVersionText, ""));
    out.emptyLine();
    out.line("CSV File of Raw Wave Data");
    out.line("DATA FILE NAME : " + txtFName.Text() + ".Kdat");
    out.emptyLine();
    out.line("ACQUISITION DATE : " + basic::Format(a.Date_Time_Start, "yyyy/mm/dd"));
    out.line("ACQUISITION TIME : " + basic::Format(a.Date_Time_Start, "hh:nn:ss"));
    out.line("ACQUISITION : " + basic::Format(basic::TimeSerial(0, 0, a.NTimer), "hh:mm:ss") + " ( " +
             basic::CStr(a.NTimer) + " (sec))");
    out.line("START SEC : " + basic::CStr(a.lStartCSVTime) + "  (sec)");
    out.line("END SEC : " + basic::CStr(a.sngEndCSVTime) + "  (sec)");
    out.line("Sampling Frequency : " + basic::CStr(cmbSampleFreq.ItemData(cmbSampleFreq.ListIndex())) + " (Hz)");
    out.line("Sample Interval    1 / " + basic::CStr(csvStep()));
    out.line(useCal ? "CONVERSION : USE CAL" : "CONVERSION : INPUT VOLTAGE");
    out.emptyLine();
    out.line("COMMENTS");
    for (int32_t i = 1; i <= 5; ++i) out.line(basic::Str(i), a.Comment[static_cast<size_t>(i - 1)]);
    out.emptyLine();

    // The channel table: every channel of the recording, shown or not.
    const int32_t first = a.Condition.lStartCH, last = a.Condition.lEndCH;
    const auto tableLine = [&](const char* title, const auto& item) {
        out.text(title);
        out.text("");
        for (int32_t ch = first; ch <= last; ++ch) item(ch);
        out.endLine();
    };
    const CalRecordArray& records = useCal ? GCalRecEU : GCalRecVolt;
    tableLine("CH No.", [&](int32_t ch) { out.number(int64_t{ch}); });
    tableLine("NAME", [&](int32_t ch) { out.text(GCCalSettingDisp.CHName(ch - 1)); });
    tableLine("UNIT", [&](int32_t ch) { out.text(GCCalSettingDisp.Unit(ch - 1)); });
    tableLine("EU HI", [&](int32_t ch) { out.number(record(records, ch).EU_HI); });
    tableLine("EU LO", [&](int32_t ch) { out.number(record(records, ch).EU_LO); });
    tableLine("CAL AD", [&](int32_t ch) { out.number(record(records, ch).Cal_AD); });
    tableLine("BASE AD", [&](int32_t ch) { out.number(record(records, ch).Base_AD); });
    out.emptyLine();
    out.emptyLine();

    // Column titles and units.
    const bool dataNo = IsCsvDataNo();
    const std::vector<Column> columns = exportedColumns(*this);
    const bool rl = IsUseSubPrgRL(), jins = IsUseSubPrgJINS();
    int32_t respChannel = 0;
    std::vector<int32_t> jinsFlags;
    if (rl) respChannel = basic::CLng(basic::Val(SettingCollection.Item(settingKey("cmbCHNo", "ListIndex"))));
    if (jins) jinsFlags = GetJINSDispCH();
    if (dataNo) {
        out.text("N");
        out.text(IsTriggerSetting() ? "" : "MARK");
    }
    for (const Column& c : columns) out.text(GCCalSettingDisp.CHName(c.channel));
    if (rl) {
        const std::string name = GCCalSettingDisp.CHName(respChannel);
        out.text("RESP DEF.(" + name + ")");
        out.text("RESP INTEG.(" + name + ")");
    }
    for (size_t j = 0; j < jinsFlags.size(); ++j)
        if (jinsFlags[j] == 1) out.text(kJinsTitles[j]);
    out.endLine();

    if (dataNo) {
        out.text("");
        out.text("");
    }
    for (const Column& c : columns) out.text(useCal ? "(" + GCCalSettingDisp.Unit(c.channel) + ")" : "(V)");
    if (rl) {
        const std::string unit = "(" + GCCalSettingDisp.Unit(respChannel) + ")";
        out.text(unit);
        out.text(unit);
    }
    if (jins) {
        const bool cal = IsUseCALJINS();
        for (size_t j = 0; j < jinsFlags.size(); ++j)
            if (jinsFlags[j] == 1) out.text(cal ? kJinsUnits[j] : "( AD )");
    }
    out.endLine();
}

// ---- The export ----

namespace {

// The closing steps of the export, run on every way out. Before the export has begun (a
// refusal) only the buttons come back; afterwards the page, the cursors and the mode too.
struct CsvClosing {
    Acqisition& w;
    bool begun = false;
    ~CsvClosing() {
        ClosingStep("CSV closing", [this] {
            forms::CheckBox& abort = frmMessage::instance().chkAbort;
            if (abort.Value() == forms::vbChecked) abort.setValue(forms::vbUnchecked);
            if (begun) {
                w.lblCALStatus.setVisible(false);
                w.setEnabled(true);
                int32_t count = kOnePage;
                w.LoadWave_Sweep(GAcqParam.lPosWAVE_Start, count);
                w.SetCursor(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, true);
                w.PBXMoniDisp.Refresh();
                w.SetDispStatus("End", true);
            } else {
                w.ALL_BTN_ModeSet();
            }
        });
        ClosingStep("CSV closing", [this] {
            w.fraCSV.setEnabled(true);
            w.fraCtrl.setEnabled(true);
            w.setEnabled(true);
        });
    }
};

// The calibration the export converts and names by: the amplifier's built-in set for input
// volts, the recording's for units, and the table's set a copy of the one in use.
void prepareCalibration() {
    const CCalSetting& volts = BoardCalOrDefault();
    CalToArray(GCalRecVolt, GstrCalNames, GstrCalUnits, volts, 1, 32);
    CalToArray(GCalRecEU, GstrCalNames, GstrCalUnits, GCCalSettingCopy, 1, 32);
    (IsUseCal() ? GCCalSettingCopy : volts).Clone(GCCalSettingDisp);
}

}  // namespace

void Acqisition::cmdCSV_Click() {
    if (bInCSV) return;
    RaisedFlag running(bInCSV);
    cmdCSV.setEnabled(false);
    fraCSV.setEnabled(false);
    fraCtrl.setEnabled(false);
    setEnabled(false);
    CsvClosing closing{*this};

    // Refused in every mode, also when the program runs the export itself.
    if (!IsDataLoaded()) {
        forms::MsgBox(std::string("データがありませんのでCSVファイルの作成を中止します。") + kReserve,
                      forms::vbExclamation);
        return;
    }
    if (basic::TypedVal(txtEndTime.Text()) < basic::TypedVal(txtStartTime.Text())) {
        forms::MsgBox(std::string("終了時間が開始時間を下回っています。CSVファイルの作成を中止します。") + kReserve,
                      forms::vbExclamation);
        return;
    }

    Outcome outcome;
    try {
        if (IsUseSubPrg() || IsUseSubPrgRL() || IsUseSubPrgJINS()) SubPrgGetSetting();
        SaveComment();
        SaveObjectValue();

        closing.begun = true;
        SetDispStatus("MAKECSV", false);
        txtStartTime_Change();
        txtEndTime_Change();
        if (IsTriggerSetting()) {
            if (basic::Val(txtStartTime.Text()) < 1) txtStartTime.setText("1");
            if (basic::Val(txtEndTime.Text()) < 1) txtEndTime.setText("1");
        }
        prepareCalibration();
        setEnabled(false);
        if (!IsTriggerSetting())
            outcome = writeContinuous(*this);
        else
            outcome = writeSweeps(*this, IsCsvDivTrial());
    } catch (const basic::RuntimeError& e) {
        const int n = e.number();
        if (n == kErrInUse)
            forms::MsgBox(std::string("指定した書き込みファイルが使用中のため書き込みできません。 \r") +
                              "ファイル名を変えるか、ファイルを閉じてから再度やり直しください。" + kReserve,
                          forms::vbOKOnly);
        else if (n != kErrSilent)
            forms::MsgBox("File Error CODE= " + basic::Str(n) + "    AT cmdRawData_CSV_Click-Sub.",
                          forms::vbOKOnly);
        return;
    }
    if (outcome.kind == Outcome::Refused) forms::MsgBox(outcome.message, forms::vbExclamation);
    if (outcome.kind == Outcome::Cancelled)
        forms::MsgBox("CSVファイルの作成を中止しました。出力ファイルは作成されていません。", forms::vbInformation);
}

}  // namespace qv
