// The recording object's model: defaults, the setters that keep the conditions consistent, and
// the calibration presets by board model.
#include "app/recording/CKdat.h"

#include "app/channel/AmpCalTable.h"
#include "platform/basic/Basic.h"

namespace qv {

namespace {

struct PresetRow {
    const char* board;
    int32_t firstCh, lastCh;  // slots 0..31
    bool ownValues;           // false: the table's defaults stay
    double calAd, baseAd, euHi, euLo;
    int32_t chType;           // -1: left as it is
};

// One row per slot; the unipolar board's preset takes two rows for its two channel groups. The
// two "(B)" boards are filled but never looked up.
const PresetRow kPresetRows[] = {
    {"VylK10[±5]", 0, 31, true, 2048, 0, 5, 0, -1},
    {"VylK10[±10]", 0, 31, true, 2048, 0, 10, 0, -1},
    {"VylK12[±5]", 0, 31, true, 32768, 0, 5, 0, -1},
    {"VylK12[±10]", 0, 31, true, 32768, 0, 10, 0, -1},
    {"VylK14(A)[±2.5]", 0, 31, true, 2048, 0, 2.5, 0, -1},
    {"VylK14(B)[±5]", 0, 31, true, 2048, 0, 5, 0, -1},
    {"VylK14(B)[±10]", 0, 31, true, 2048, 0, 10, 0, -1},
    {"VylK16[±10]", 0, 31, true, 32768, 0, 10, 0, -1},
    {"VylK20[±10]", 0, 31, true, 32768, 0, 10, 0, -1},
    {"VylK18[±10]", 0, 31, true, 32768, 0, 10, 0, -1},
    {"VylK22[±10]", 0, 31, true, 32768, 0, 10, 0, -1},
    {"VylK24[±10]", 0, 31, true, 2048, 0, 10.41, 0, -1},
    {"VylK26[±10]S", 0, 31, true, 1024, 0, 10.41, 0, -1},
    {"VylK28[±10]", 0, 31, true, 7826, -366, 10, 0, -1},
    {"VylK30[±10]S", 0, 31, true, 3913, 68, 10, 0, -1},
    {"VylB50[＋5]", 0, 2, true, 1024, 0, 4.096, 0, 1},
    {"VylB50[＋5]", 3, 31, true, 4096, 0, 1 / 0.634 * 3.3, 0, -1},
    {"VylB54", 0, 31, true, 65536, 0, 5.5808, 0, -1},
    {"VylK40[±10]", 0, 31, true, 30536, -433, 10, 0, -1},
    {"VylK42[±10]S", 0, 31, true, 30536, -433, 10, 0, -1},
    {"VylK32[±10]", 0, 31, true, 31098, -136, 10, 0, -1},
    {"VylK34[±10]S", 0, 31, true, 31098, -136, 10, 0, -1},
    {"VylD60[±5]", 0, 31, true, 32768, 0, 5, 0, -1},
    {"VylD62[±10]", 0, 31, true, 32768, 0, 10, 0, -1},
    {"VylD64[±5]", 0, 31, true, 32768, 0, 5, 0, -1},
    {"VylD66[±10]", 0, 31, true, 32768, 0, 10, 0, -1},
    {"VylB56", 0, 31, true, 65536, 0, 5.5808, 0, -1},
    {"VylS80", 0, 31, false, 0, 0, 0, 0, -1},
    {"VylXXX[±2.5]", 0, 31, true, 4096, 0, 5, 0, -1},
};

// Slot names in slot order (the unipolar board's second row shares its slot).
const char* const kSlotNames[CKdat::kPresetSlots] = {
    "VylK10[±5]",   "VylK10[±10]",  "VylK12[±5]",   "VylK12[±10]", "VylK14(A)[±2.5]",
    "VylK14(B)[±5]", "VylK14(B)[±10]", "VylK16[±10]", "VylK20[±10]", "VylK18[±10]",
    "VylK22[±10]",  "VylK24[±10]",  "VylK26[±10]S", "VylK28[±10]", "VylK30[±10]S",
    "VylB50[＋5]",  "VylB54",       "VylK40[±10]",  "VylK42[±10]S", "VylK32[±10]",
    "VylK34[±10]S", "VylD60[±5]",   "VylD62[±10]",  "VylD64[±5]",  "VylD66[±10]",
    "VylB56",       "VylS80",       "VylXXX[±2.5]",
};

// The names GetPresetCal knows, in the order it compares them.
const char* const kLookupNames[] = {
    "VylK10[±5]",   "VylK10[±10]",  "VylK12[±5]",   "VylK12[±10]",  "VylK14(A)[±2.5]",
    "VylK16[±10]",  "VylK20[±10]",  "VylK18[±10]",  "VylK22[±10]",  "VylK24[±10]",
    "VylK26[±10]S", "VylK28[±10]",  "VylK30[±10]S", "VylB50[＋5]",  "VylB54",
    "VylK40[±10]",  "VylK42[±10]S", "VylK32[±10]",  "VylK34[±10]S", "VylD60[±5]",
    "VylD62[±10]",  "VylD64[±5]",   "VylD66[±10]",  "VylB56",       "VylS80",
    "VylXXX[±2.5]",
};

int32_t slotOf(std::string_view board) {
    for (int32_t i = 0; i < CKdat::kPresetSlots; ++i)
        if (board == kSlotNames[i]) return i;
    return -1;
}

// The program-wide presets this class refills with its own values.
struct SharedPreset {
    const char* preset;
    double calAd, baseAd, euHi, euLo;
};
const SharedPreset kSharedPresets[] = {
    {"GCCalSetting_DEBUG", 32768, 0, 32768, 0},
    {"GCCalSetting_K36", 7784, 13, 10, 0},
    {"GCCalSetting_K38", 7784, 13, 10, 0},
    {"GCCalSetting_K44", 30536, -433, 10, 0},
    {"GCCalSetting_K46", 30536, -433, 10, 0},
};

void fillChannels(CCalSetting& set, int32_t first, int32_t last, bool values, double calAd,
                  double baseAd, double euHi, double euLo, int32_t chType) {
    for (int32_t i = first; i <= last; ++i) {
        set.CHName(i, "CH" + basic::CStr(i + 1));
        if (values) {
            set.Cal_AD(i, basic::CStr(calAd));
            set.Base_AD(i, basic::CStr(baseAd));
            set.EU_HI(i, basic::CStr(euHi));
            set.EU_LO(i, basic::CStr(euLo));
        }
        if (chType >= 0) set.CHType(i, chType);
    }
}

int32_t toLong(int64_t v) {
    if (v < INT32_MIN || v > INT32_MAX) basic::raiseError(basic::errOverflow);
    return static_cast<int32_t>(v);
}

CCalSetting& created(std::unique_ptr<CCalSetting>& slot) {
    if (!slot) slot = std::make_unique<CCalSetting>();
    return *slot;
}

}  // namespace

CKdat::CKdat() {
    InitPresetCal();
    SweepPoint(5000);
    for (int32_t i = 0; i < kChannels; ++i) {
        const size_t k = static_cast<size_t>(i);
        wChNo(i, i + 1);
        P.CHKWaveNo[k] = 1;
        P.DR_WaveHi[k] = 5.0f;
        P.DR_WaveLo[k] = -5.0f;
    }
    Condition_strSINGLE_DISP_MODE("0");
    Condition_strTRIGGER_SETTING("0");
    Condition_strCH("1-16");
    Condition_strFIXED("True");
    Condition_strANALOG_LEVEL_TRIGGER("False");
    Condition_strANALOG_LEVEL_TRIGGER_U("10000");
    Condition_strANALOG_LEVEL_TRIGGER_D("10001");
    Condition_strEXTERNAL_TRIGGER("False");
    Condition_strCOMP_CH("1");
    Condition_strTTL("1");
    Condition_strSWEEP_TIME("5000");
    Condition_strP2PHist("2 ^ 11");
    P.Condition.lP2PHist = 2048;
    Condition_strSYNC("1");
    P.lcmbTimeFS_ListIndex = 11;
    P.lcmbSampleFreq_ListIndex = 6;
}

CKdat::~CKdat() = default;

// ---- setters ----

void CKdat::Condition_strCOMP_CH(std::string v) {
    P.Condition.strCOMP_CH = std::move(v);
    P.Condition.lCOMP_CH_ID = basic::CLng(basic::Val(P.Condition.strCOMP_CH) - 1.0);
}

void CKdat::Condition_strFLOW(std::string v) {
    P.Condition.strFLOW = std::move(v);
    P.Condition.lFlage = P.Condition.strFIXED == "True" ? 0 : 2;
}

void CKdat::Condition_strFIXED(std::string v) {
    P.Condition.strFIXED = std::move(v);
    P.Condition.lFlage = P.Condition.strFIXED == "True" ? 0 : 2;
}

void CKdat::Condition_strCH(std::string v) {
    KdatCondition& c = P.Condition;
    c.strCH = std::move(v);
    const std::vector<std::string> parts = basic::Split(c.strCH, "-");
    if (parts.empty()) {
        c.lStartCH = 0;
        c.lEndCH = 0;
    } else if (parts.size() == 1) {
        c.lStartCH = basic::CLng(basic::Val(parts[0]));
        c.lEndCH = c.lStartCH;
    } else if (parts.size() == 2) {
        c.lStartCH = basic::CLng(basic::Val(parts[0]));
        c.lEndCH = basic::IsNumeric(parts[1]) ? basic::CLng(basic::Val(parts[1])) : c.lStartCH;
    }
    // Three or more parts: the range stays as it was.
    c.lCHCnt = toLong(int64_t{c.lEndCH} - c.lStartCH + 1);
    P.wCh = basic::CInt(static_cast<double>(c.lCHCnt));
}

qv::CBoard& CKdat::CBoard() {
    if (!board_) board_ = std::make_shared<qv::CBoard>();
    return *board_;
}

void CKdat::CBoard(std::shared_ptr<qv::CBoard> board) {
    board_ = board ? std::move(board) : std::make_shared<qv::CBoard>();
    const int32_t t = board_->SelectBoard();
    KdatCondition& c = P.Condition;
    c.strADBOARD = board_->BoardName(t);
    c.lADBOARD = t;
    c.lADBOARD_ID = t;
    c.lADBOARD_BIT = board_->BordBit(t);
    c.sngADBOARD_V = BoardVolts(c.strADBOARD, c.sngADBOARD_V);
}

float CKdat::BoardVolts(const std::string& boardName, float current) {
    if (basic::Like(boardName, "*±10*")) return 10.0f;
    if (basic::Like(boardName, "*±5*")) return 5.0f;
    if (basic::Like(boardName, "*±2.5*")) return 2.5f;
    return current;
}

int32_t CKdat::wChNo(int32_t i) const {
    if (i < 0 || i >= kChannels) basic::raiseError(basic::errSubscript);
    return P.wChNo[static_cast<size_t>(i)];
}

void CKdat::wChNo(int32_t i, int32_t value) {
    if (i < 0 || i >= kChannels) basic::raiseError(basic::errSubscript);
    P.wChNo[static_cast<size_t>(i)] = basic::CInt(static_cast<double>(value));
}

void CKdat::nSample(int32_t v) {
    P.nSample = v;
    P.SecPoint = toLong(int64_t{v} * 10);
}

void CKdat::CHNum(int32_t n) {
    P.wCh = basic::CInt(static_cast<double>(n));
    KdatCondition& c = P.Condition;
    c.strCH = "1-" + basic::CStr(n);
    c.lStartCH = 1;
    c.lEndCH = n;
    c.lCHCnt = n;
}

void CKdat::GetCHList(std::vector<int32_t>& list) const {
    for (int64_t c = int64_t{P.Condition.lStartCH} - 1; c <= int64_t{P.Condition.lEndCH} - 1; ++c)
        list.push_back(static_cast<int32_t>(c));
}

CCalSetting& CKdat::CalRecording() { return created(CalRecording_); }
CCalSetting& CKdat::CalCurrent() { return created(CalCurrent_); }
CCalSetting& CKdat::CalPrevious() { return created(CalPrevious_); }

// ---- presets ----

void CKdat::InitPresetCal() {
    for (const PresetRow& row : kPresetRows) {
        if (!row.ownValues) continue;  // a board whose preset keeps the table's defaults
        CCalSetting& set = CalPreset(slotOf(row.board));
        fillChannels(set, row.firstCh, row.lastCh, true, row.calAd, row.baseAd, row.euHi,
                     row.euLo, row.chType);
    }
    for (const SharedPreset& s : kSharedPresets)
        fillChannels(GCCalSetting(s.preset), 0, kChannels - 1, true, s.calAd, s.baseAd, s.euHi,
                     s.euLo, -1);
}

CCalSetting& CKdat::CalPreset(int32_t slot) {
    if (slot < 0 || slot >= kPresetSlots) basic::raiseError(basic::errSubscript);
    return created(CalPreset_[static_cast<size_t>(slot)]);
}

const char* CKdat::CalPresetName(int32_t slot) {
    if (slot < 0 || slot >= kPresetSlots) basic::raiseError(basic::errSubscript);
    return kSlotNames[slot];
}

CCalSetting* CKdat::GetPresetCal() { return presetFor(P.Condition.strADBOARD); }

CCalSetting* CKdat::presetFor(const std::string& board) {
    for (const char* name : kLookupNames)
        if (board == name) return &CalPreset(slotOf(name));
    return nullptr;
}

std::string CKdat::PadTo32(const std::string& text) { return CCalSetting::FormatStr(text); }

}  // namespace qv
