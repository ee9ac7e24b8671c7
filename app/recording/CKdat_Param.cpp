// The recording's parameter file (".Kpar"): written whole at the end of a recording, read back
// when a recording is opened, and the calibration keys of one channel.
#include <algorithm>

#include "app/common/modCalRecord.h"
#include "app/common/modCommon.h"
#include "app/common/modIniFile.h"
#include "app/recording/CKdat.h"
#include "platform/basic/Basic.h"
#include "platform/kernel/Encoding.h"
#include "platform/kernel/Profile.h"

namespace qv {

// What OpenKdat replaces, read and checked here before any of it reaches the object.
struct CKdat::OpenState {
    std::string strKparFile, strKdatFile;
    KdatParam P;
    std::vector<int32_t> Marks;
    std::string CalNames, CalUnits;
    CalRecordArray CalRecords{};
    CalRecordArray PresetCalRecords{};
    std::unique_ptr<CCalSetting> CalPrevious;
    CCalSetting CalRecording;
    WaveArray BUFF_FRAME, BUFF_SWEEP;
    std::vector<int16_t> BUFF_UNIT;
};

namespace {

std::string indexed(const char* name, int32_t i) { return std::string(name) + "(" + basic::CStr(i) + ")"; }
std::string calKey(int32_t ch, const char* field) { return indexed("Cal", ch) + "." + field; }

// A value is one line of the file: a CR or LF in it is written as a blank.
std::string oneLine(std::string value) {
    std::replace_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return value;
}

[[noreturn]] void raiseWriteError(const std::string& file) {
    basic::raiseError(75, "Path/File access error: " + file + " (" + kernel::lastProfileError() + ")");
}

// The list index of a sample period in microseconds; -1 for a period the list does not hold.
int32_t sampleFreqListIndex(int32_t nSClock) {
    static const int32_t kPeriods[] = {100000, 50000, 20000, 10000, 5000, 2000,
                                       1000,   500,   200,   100,   50};
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(kPeriods)); ++i)
        if (kPeriods[i] == nSClock) return i;
    return nSClock == 20 ? 12 : -1;
}

// The 32 name slots of a program-wide 1024-byte names text, NULs removed and blanks trimmed,
// joined by ",".
std::string joinedSlots(const std::string& text) {
    const std::string bytes = CalTextBytes(text);
    std::string out;
    for (int32_t k = 0; k < CCalSetting::kChannels; ++k) {
        std::string slot = bytes.substr(static_cast<size_t>(k) * 32, 32);
        slot.erase(std::remove(slot.begin(), slot.end(), '\0'), slot.end());
        if (k > 0) out += ',';
        out += basic::Trim(kernel::cp932ToUtf8(slot));
    }
    return out;
}

// The 32 slots of a "pName" / "pUnit" list; fewer than 32 entries is error 9.
std::string slotsOfList(const std::string& list) {
    const std::vector<std::string> entries = basic::Split(list, ",");
    std::string out;
    for (size_t k = 0; k < CCalSetting::kChannels; ++k) {
        if (k >= entries.size()) basic::raiseError(basic::errSubscript);
        out += CKdat::PadTo32(entries[k]);
    }
    return out;
}

// Bytes of a buffer of `elements` elements of `size` bytes, refused beyond the limit (9).
void checkBufferBytes(int64_t elements, int64_t size) {
    if (elements < 0 || elements > CKdat::kMaxBufferBytes / size)
        basic::raiseError(basic::errSubscript, "バッファが大きすぎます。");
}

}  // namespace

// ---- writing ----

void CKdat::WriteKpar() {
    SetIniFileName(strKparFile_);
    const int32_t listIndex = sampleFreqListIndex(P.nSClock);
    if (listIndex >= 0) P.lcmbSampleFreq_ListIndex = listIndex;

    // Every value is made first, so a value that cannot be made leaves the file untouched.
    struct Entry {
        const char* section;
        std::string key, value;
    };
    std::vector<Entry> entries;
    auto put = [&entries](const char* section, std::string key, std::string value) {
        entries.push_back({section, std::move(key), oneLine(std::move(value))});
    };
    using basic::CStr;
    put("P", "nVer", CStr(basic::Val(P.nVer)));
    put("P", "wCh", CStr(P.wCh));
    for (int32_t i = 0; i < kChannels; ++i) put("P", indexed("wChNo", i), CStr(P.wChNo[i]));
    put("P", "nSample", CStr(P.nSample));
    put("P", "nScan", CStr(P.nScan));
    put("P", "nSClock", CStr(P.nSClock));
    put("P", "Date_Time_Start", basic::CStrDate(P.Date_Time_Start));
    for (int32_t i = 0; i < 8; ++i) put("P", indexed("Comment", i), P.Comment[i]);
    put("P", "Status", P.Status);
    put("P", "NTimerPreSet", CStr(P.NTimerPreSet));
    put("P", "NTimer", CStr(P.NTimer));
    put("P", "NFrame", CStr(P.NFrame));
    put("P", "PTotal", CStr(P.PTotal));
    put("P", "FlagLoad", "0");
    CCalSetting& cal = CalCurrent();
    for (int32_t i = 0; i < kChannels; ++i) {
        put("CAL", calKey(i, "fBASE_AD"), cal.Base_AD(i));
        put("CAL", calKey(i, "fCAL_AD"), cal.Cal_AD(i));
        put("CAL", calKey(i, "fEU_HI"), cal.EU_HI(i));
        put("CAL", calKey(i, "fEU_LO"), cal.EU_LO(i));
    }
    put("P", "Cur_L_Point", CStr(P.Cur_L_Point));
    put("P", "Cur_R_Point", CStr(P.Cur_R_Point));
    put("P", "Cur_W_Point", CStr(P.Cur_W_Point));
    for (int32_t i = 0; i < kChannels; ++i) {
        put("P", indexed("CHKWaveNo", i), CStr(P.CHKWaveNo[i]));
        put("P", indexed("DR_WaveHi", i), CStr(P.DR_WaveHi[i]));
        put("P", indexed("DR_WaveLo", i), CStr(P.DR_WaveLo[i]));
    }
    put("P", "lcmbSampleFreq_ListIndex", CStr(P.lcmbSampleFreq_ListIndex));
    put("P", "lcmbTimeFS_ListIndex", CStr(P.lcmbTimeFS_ListIndex));
    put("P", "lSweepPoint", CStr(P.lSweepPoint));
    put("P", "lPosWAVE_Start", CStr(P.lPosWAVE_Start));
    put("P", "lMoveWAVE_Start", CStr(P.lMoveWAVE_Start));
    put("P", "lAcqType", CStr(P.lAcqType));
    for (int32_t i = 0; i < kChannels; ++i) put("P", indexed("lchkCal_Value", i), CStr(P.lchkCal_Value[i]));
    put("P", "sngEndCSVTime", CStr(P.sngEndCSVTime));
    put("P", "lStartCSVPoint", CStr(P.lStartCSVPoint));
    put("P", "lcmbTimeFS_ListIndex", CStr(P.lcmbTimeFS_ListIndex));
    put("pName", "pName", joinedSlots(GstrCalNames));
    put("pUnit", "pUnit", joinedSlots(GstrCalUnits));
    if (!Marks_.empty()) {
        const int32_t n = Marks_[0];
        if (n < 0 || n >= static_cast<int32_t>(Marks_.size())) basic::raiseError(basic::errSubscript);
        for (int32_t i = 0; i <= n; ++i) put("MARK", indexed("MARK", i), CStr(Marks_[static_cast<size_t>(i)]));
    }
    const KdatCondition& c = P.Condition;
    put("Condition", "strCH", c.strCH);
    put("Condition", "lStartCH", CStr(c.lStartCH));
    put("Condition", "lEndCH", CStr(c.lEndCH));
    put("Condition", "lCHCnt", CStr(c.lCHCnt));
    put("Condition", "strFIXED", c.strFIXED);
    put("Condition", "strFLOW", c.strFLOW);
    put("Condition", "lFlage", CStr(c.lFlage));
    put("Condition", "strADBOARD", c.strADBOARD);
    put("Condition", "lADBOARD", CStr(c.lADBOARD));
    put("Condition", "lADBOARD_ID", CStr(c.lADBOARD_ID));
    put("Condition", "lADBOARD_BIT", CStr(c.lADBOARD_BIT));
    put("Condition", "sngADBOARD_V", CStr(c.sngADBOARD_V));
    put("Condition", "strDEVICE_NAME", c.strDEVICE_NAME);
    put("Condition", "strTRIGGER_SETTING", c.strTRIGGER_SETTING);
    put("Condition", "strSINGLE_DISP_MODE", c.strSINGLE_DISP_MODE);
    put("Condition", "strTRG_POINT", c.strTRG_POINT);
    put("Condition", "strANALOG_LEVEL_TRIGGER", c.strANALOG_LEVEL_TRIGGER);
    put("Condition", "strANALOG_LEVEL_TRIGGER_D", c.strANALOG_LEVEL_TRIGGER_D);
    put("Condition", "strANALOG_LEVEL_TRIGGER_U", c.strANALOG_LEVEL_TRIGGER_U);
    put("Condition", "strCOMP_CH", c.strCOMP_CH);
    put("Condition", "lCOMP_CH_ID", CStr(c.lCOMP_CH_ID));
    put("Condition", "strEXTERNAL_TRIGGER", c.strEXTERNAL_TRIGGER);
    put("Condition", "strTTL", c.strTTL);
    put("Condition", "lTTL", CStr(c.lTTL));
    put("Condition", "strSWEEP_TIME", c.strSWEEP_TIME);
    put("Condition", "strP2PHist", c.strP2PHist);
    put("Condition", "lP2PHist", CStr(c.lP2PHist));
    put("Condition", "strSYNC", c.strSYNC);

    if (strKparFile_.empty()) return;  // no file named: nothing to write
    kernel::ProfileBatch batch(strKparFile_);
    bool written = true;
    for (const Entry& e : entries) written &= WriteIniString(e.section, e.key, e.value);
    if (!batch.commit() || !written) raiseWriteError(strKparFile_);
}

void CKdat::SaveCAL(int32_t channel, float baseAd, float calAd, float euHi, float euLo) {
    SetIniFileName(strKparFile_);
    const std::pair<const char*, float> keys[] = {
        {"fBASE_AD", baseAd}, {"fCAL_AD", calAd}, {"fEU_HI", euHi}, {"fEU_LO", euLo}};
    for (const auto& [field, value] : keys)
        if (!WriteIniString("CAL", calKey(channel, field), basic::CStr(value)))
            raiseWriteError(strKparFile_);
}

// ---- reading ----

void CKdat::ReadKpar(OpenState& s) const {
    SetIniFileName(s.strKparFile);
    auto text = [](const char* section, const std::string& key, const std::string& def) {
        return ReadIniString(section, key, def);
    };
    auto lng = [&](const char* section, const std::string& key, const std::string& def = "0") {
        return basic::CLng(text(section, key, def));
    };
    auto sng = [&](const char* section, const std::string& key, const std::string& def) {
        return basic::CSng(text(section, key, def));
    };
    using basic::CStr;
    KdatParam& p = s.P;
    p.nVer = text("P", "nVer", "0");
    p.wCh = basic::CInt(text("P", "wCh", "0"));
    for (int32_t i = 0; i < kChannels; ++i) p.wChNo[i] = basic::CInt(text("P", indexed("wChNo", i), "0"));
    p.nSample = lng("P", "nSample");
    p.nScan = lng("P", "nScan");
    p.nSClock = lng("P", "nSClock");
    p.Date_Time_Start = basic::CDate(text("P", "Date_Time_Start", "0"));
    for (int32_t i = 0; i < 8; ++i) p.Comment[i] = text("P", indexed("Comment", i), "");
    p.Status = text("P", "Status", "0");
    p.NTimerPreSet = lng("P", "NTimerPreSet");
    p.NTimer = lng("P", "NTimer");
    p.NFrame = lng("P", "NFrame");
    p.PTotal = lng("P", "PTotal");
    if (p.PTotal == 0 && p.NFrame != 0)  // a frame is a tenth of a second
        p.PTotal = basic::CLng(basic::Divide(1000000.0, p.nSClock) * (p.NFrame / 10.0));

    for (int32_t i = 0; i < kChannels; ++i) {
        CalRecord& r = s.CalRecords[static_cast<size_t>(i)];
        r.Base_AD = basic::CSng(basic::Val(text("CAL", calKey(i, "fBASE_AD"), "")));
        r.Cal_AD = basic::CSng(basic::Val(text("CAL", calKey(i, "fCAL_AD"), "")));
        r.EU_HI = basic::CSng(basic::Val(text("CAL", calKey(i, "fEU_HI"), "")));
        r.EU_LO = basic::CSng(basic::Val(text("CAL", calKey(i, "fEU_LO"), "")));
    }
    p.Cur_L_Point = lng("P", "Cur_L_Point");
    p.Cur_R_Point = lng("P", "Cur_R_Point");
    p.Cur_W_Point = lng("P", "Cur_W_Point");
    for (int32_t i = 0; i < kChannels; ++i) {
        const size_t k = static_cast<size_t>(i);
        p.CHKWaveNo[k] = basic::CInt(text("P", indexed("CHKWaveNo", i), CStr(p.CHKWaveNo[k])));
        if (p.nVer == "1") {
            p.DR_WaveHi[k] = sng("P", indexed("DR_Wave", i), CStr(p.DR_WaveHi[k]));
            p.DR_WaveLo[k] = -p.DR_WaveHi[k];
        } else {
            p.DR_WaveHi[k] = sng("P", indexed("DR_WaveHi", i), CStr(p.DR_WaveHi[k]));
            p.DR_WaveLo[k] = sng("P", indexed("DR_WaveLo", i), CStr(p.DR_WaveLo[k]));
        }
    }
    p.lcmbSampleFreq_ListIndex = lng("P", "lcmbSampleFreq_ListIndex");
    p.lSweepPoint = lng("P", "lSweepPoint");
    p.lPosWAVE_Start = lng("P", "lPosWAVE_Start");
    p.lMoveWAVE_Start = lng("P", "lMoveWAVE_Start");
    p.lAcqType = lng("P", "lAcqType");
    for (int32_t i = 0; i < kChannels; ++i)
        p.lchkCal_Value[i] = basic::CInt(text("P", indexed("lchkCal_Value", i), "0"));
    p.sngEndCSVTime = sng("P", "sngEndCSVTime", "0");
    p.lStartCSVPoint = lng("P", "lStartCSVPoint");
    p.lcmbTimeFS_ListIndex = lng("P", "lcmbTimeFS_ListIndex");

    s.CalNames = slotsOfList(text("pName", "pName", ""));
    s.CalUnits = slotsOfList(text("pUnit", "pUnit", ""));

    const int32_t marks = basic::CLng(basic::Val(text("MARK", "MARK(0)", "0")));
    if (marks < 0 || marks > kMaxMarks) basic::raiseError(basic::errSubscript, "マークの数が多すぎます。");
    s.Marks.assign(static_cast<size_t>(marks) + 1, 0);
    s.Marks[0] = marks;
    for (int32_t i = 1; i <= marks; ++i)
        s.Marks[static_cast<size_t>(i)] = basic::CLng(basic::Val(text("MARK", indexed("MARK", i), "0")));

    KdatCondition& c = p.Condition;
    auto ctext = [&](const char* key) { return text("Condition", key, ""); };
    auto clng = [&](const char* key) { return basic::CLng(ctext(key)); };
    c.strCH = ctext("strCH");
    c.lStartCH = clng("lStartCH");
    c.lEndCH = clng("lEndCH");
    c.lCHCnt = clng("lCHCnt");
    c.strFIXED = ctext("strFIXED");
    c.strFLOW = ctext("strFLOW");
    c.lFlage = clng("lFlage");
    c.strADBOARD = ctext("strADBOARD");
    c.lADBOARD = clng("lADBOARD");
    c.lADBOARD_ID = clng("lADBOARD_ID");
    c.lADBOARD_BIT = clng("lADBOARD_BIT");
    c.sngADBOARD_V = basic::CSng(ctext("sngADBOARD_V"));
    c.strDEVICE_NAME = ctext("strDEVICE_NAME");
    c.strTRIGGER_SETTING = ctext("strTRIGGER_SETTING");
    c.strSINGLE_DISP_MODE = ctext("strSINGLE_DISP_MODE");
    c.strTRG_POINT = ctext("strTRG_POINT");
    c.strANALOG_LEVEL_TRIGGER = ctext("strANALOG_LEVEL_TRIGGER");
    c.strANALOG_LEVEL_TRIGGER_D = ctext("strANALOG_LEVEL_TRIGGER_D");
    c.strANALOG_LEVEL_TRIGGER_U = ctext("strANALOG_LEVEL_TRIGGER_U");
    c.strCOMP_CH = ctext("strCOMP_CH");
    c.lCOMP_CH_ID = clng("lCOMP_CH_ID");
    c.strEXTERNAL_TRIGGER = ctext("strEXTERNAL_TRIGGER");
    c.strTTL = ctext("strTTL");
    c.lTTL = clng("lTTL");
    c.strSWEEP_TIME = ctext("strSWEEP_TIME");
    c.strP2PHist = ctext("strP2PHist");
    c.lP2PHist = clng("lP2PHist");
    c.strSYNC = ctext("strSYNC");

    // The sizes and the channel range decide every later allocation and record index: refused
    // here, before anything is made from them.
    const int32_t ch = p.wCh;
    if (ch < 1 || ch > kChannels || c.lStartCH < 1 || c.lEndCH > kChannels ||
        c.lStartCH > c.lEndCH || c.lStartCH - 1 + ch > kChannels)
        basic::raiseError(basic::errSubscript, "チャンネルの範囲が正しくありません。");
    if (p.nSample < 1 || p.lSweepPoint < 0)
        basic::raiseError(basic::errSubscript, "サンプル数が正しくありません。");
    checkBufferBytes(int64_t{p.nSample} * ch, sizeof(float));
    checkBufferBytes((int64_t{p.lSweepPoint} + 1) * ch, sizeof(float));
    checkBufferBytes(int64_t{p.nSample} * 10 * ch, sizeof(int16_t));

    s.CalPrevious = std::make_unique<CCalSetting>();
    RecordsToCal(s.CalRecords, s.CalNames, s.CalUnits, *s.CalPrevious, c.lStartCH, c.lEndCH);
}

void CKdat::OpenKdat(const std::string& fileName) {
    OpenState s;
    const std::string base = GetPathWithoutExt(fileName);
    s.strKparFile = base + ".Kpar";
    s.strKdatFile = base + ".Kdat";
    s.P = P;                 // the readers' defaults that are the current values
    s.CalRecords = CalRecords_;
    ReadKpar(s);
    // Scans the parameter file claims beyond the data file's end (a copy cut short) would be
    // read as zeros by every reader and the trace.
    s.P.PTotal = std::min(s.P.PTotal, WholeScansIn(s.strKdatFile, s.P.wCh));

    const KdatCondition& oc = s.P.Condition;
    s.CalPrevious->Clone(s.CalRecording);
    CCalSetting defaults;
    const CCalSetting* preset = presetFor(oc.strADBOARD);
    std::string names, units;
    CalToRecords(s.PresetCalRecords, names, units, preset ? *preset : defaults, oc.lStartCH, oc.lEndCH);
    CalToRecords(s.CalRecords, names, units, s.CalRecording, oc.lStartCH, oc.lEndCH);
    s.CalNames = CalTextLSet(names);
    s.CalUnits = CalTextLSet(units);
    const int32_t ch = s.P.wCh;
    s.BUFF_FRAME.Redim(ch, s.P.nSample);
    s.BUFF_SWEEP.Redim(ch, s.P.lSweepPoint + 1);
    try {
        s.BUFF_UNIT.assign(static_cast<size_t>(s.P.nSample) * 10 * static_cast<size_t>(ch), 0);
    } catch (const std::bad_alloc&) {
        basic::raiseError(basic::errOutOfMemory);
    }

    // Everything was read and made: the object takes it over.
    strKparFile_ = std::move(s.strKparFile);
    strKdatFile_ = std::move(s.strKdatFile);
    P = std::move(s.P);
    Marks_ = std::move(s.Marks);
    OpenCondition_ = P.Condition;
    CalPrevious_ = std::move(s.CalPrevious);
    s.CalRecording.Clone(CalRecording());
    CalRecords_ = s.CalRecords;
    PresetCalRecords_ = s.PresetCalRecords;
    CalNames_ = std::move(s.CalNames);
    CalUnits_ = std::move(s.CalUnits);
    BUFF_FRAME_ = std::move(s.BUFF_FRAME);
    BUFF_SWEEP_ = std::move(s.BUFF_SWEEP);
    BUFF_UNIT_ = std::move(s.BUFF_UNIT);
}

// ---- calibration records ----

void CKdat::CalToRecords(CalRecordArray& records, std::string& names, std::string& units,
                         const CCalSetting& set, int32_t first, int32_t last) const {
    // Records stay at their channels' own slots; the names and units start with the first one.
    CalToArray(records, names, units, set, first, last);
}

void CKdat::RecordsToCal(const CalRecordArray& records, std::string names, std::string units,
                         CCalSetting& set, int32_t first, int32_t last) const {
    ArrayToCal(records, names, units, set, first, last);
}

}  // namespace qv
