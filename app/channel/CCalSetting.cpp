#include "app/channel/CCalSetting.h"

#include <algorithm>

#include "app/common/TrelmImports.h"
#include "app/common/modCalRecord.h"
#include "app/common/modIniFile.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Form.h"
#include "platform/kernel/Encoding.h"
#include "platform/kernel/Profile.h"

namespace qv {

CCalSetting GCCalSettingAcq;
CCalSetting GCCalSettingDisp;
CCalSetting GCCalSettingCopy;

namespace {

constexpr const char* kSection = "CAL";

// The six columns of the main window's calibration table, in the order name, unit, EU_HI,
// EU_LO, Cal_AD, Base_AD; Picture1(c) heads column c.
constexpr const char* kColumns[6] = {"txtName", "txtUnit", "txtEUHI", "txtEULO", "txtCALAD",
                                     "txtBASEAD"};

std::string key(const char* prefix, int32_t ch) {
    return std::string(prefix) + "(" + basic::CStr(ch) + ")";
}

std::string cutAtNul(const std::string& text) { return text.substr(0, text.find('\0')); }

}  // namespace

CCalSetting::CCalSetting() {
    for (int32_t i = 0; i < kChannels; ++i) {
        Channel& c = ch_[static_cast<size_t>(i)];
        c.name = "CH" + basic::CStr(i + 1);
        c.unit = "V";
        c.euHi = "100";
        c.euLo = "0";
        c.calAd = "2048";
        c.baseAd = "0";
    }
}

CCalSetting::Channel& CCalSetting::at(int32_t ch) {
    if (ch < 0 || ch >= kChannels) basic::raiseError(basic::errSubscript);
    return ch_[static_cast<size_t>(ch)];
}

const CCalSetting::Channel& CCalSetting::at(int32_t ch) const {
    return const_cast<CCalSetting*>(this)->at(ch);
}

// ---- accessors ----

std::string CCalSetting::CHName32(int32_t ch) const { return FormatStr(at(ch).name); }
std::string CCalSetting::CHName(int32_t ch) const { return basic::Trim(cutAtNul(at(ch).name)); }
void CCalSetting::CHName(int32_t ch, std::string text) { at(ch).name = std::move(text); }
std::string CCalSetting::Unit32(int32_t ch) const { return FormatStr(at(ch).unit); }
std::string CCalSetting::Unit(int32_t ch) const { return basic::Trim(cutAtNul(at(ch).unit)); }
void CCalSetting::Unit(int32_t ch, std::string text) { at(ch).unit = std::move(text); }
const std::string& CCalSetting::Cal_AD(int32_t ch) const { return at(ch).calAd; }
void CCalSetting::Cal_AD(int32_t ch, std::string text) { at(ch).calAd = std::move(text); }
const std::string& CCalSetting::Base_AD(int32_t ch) const { return at(ch).baseAd; }
void CCalSetting::Base_AD(int32_t ch, std::string text) { at(ch).baseAd = std::move(text); }
const std::string& CCalSetting::EU_HI(int32_t ch) const { return at(ch).euHi; }
void CCalSetting::EU_HI(int32_t ch, std::string text) { at(ch).euHi = std::move(text); }
const std::string& CCalSetting::EU_LO(int32_t ch) const { return at(ch).euLo; }
void CCalSetting::EU_LO(int32_t ch, std::string text) { at(ch).euLo = std::move(text); }
int32_t CCalSetting::CHType(int32_t ch) const { return at(ch).type; }
void CCalSetting::CHType(int32_t ch, int32_t type) { at(ch).type = type; }

// ---- fields ----

std::string CCalSetting::GetpName(std::string& text, int32_t n) {
    if (n < 0) basic::raiseError(basic::errInvalidCall);
    const std::string bytes = kernel::utf8ToCp932(text);
    const size_t k = std::min(bytes.size(), static_cast<size_t>(n));
    std::string head = kernel::cp932ToUtf8(std::string_view(bytes).substr(0, k));
    text = kernel::cp932ToUtf8(std::string_view(bytes).substr(k));
    return head;
}

std::string CCalSetting::FormatStr(std::string_view value) {
    // The library reads at most 31 bytes of a field, so the text is cut to 31 bytes on a
    // character boundary: a double-byte character that would straddle byte 31 is left out
    // whole rather than split into a broken lead byte.
    std::string bytes = kernel::utf8ToCp932Field(value, kFieldBytes - 1);
    bytes.resize(kFieldBytes - 1, '\0');
    bytes += ' ';
    return kernel::cp932ToUtf8(bytes);
}

// ---- files ----

void CCalSetting::useFile(const std::string& path) {
    SetIniFileName(path.empty() ? calFile_ : path);
    calFile_ = GetIniFileName();
}

void CCalSetting::LoadCAL(const std::string& path) {
    useFile(path);
    for (int32_t i = 0; i < kChannels; ++i) {
        Channel& c = at(i);
        c.name = ReadIniString(kSection, key("pName", i), "");
        c.unit = ReadIniString(kSection, key("pUnit", i), "");
        c.euHi = ReadIniString(kSection, key("fEU_HI", i), "");
        c.euLo = ReadIniString(kSection, key("fEU_LO", i), "");
        c.calAd = ReadIniString(kSection, key("fCAL_AD", i), "");
        c.baseAd = ReadIniString(kSection, key("fBASE_AD", i), "");
    }
}

bool CCalSetting::SaveCAL(const std::string& path, forms::Form& window) {
    useFile(path);
    kernel::ProfileBatch batch(GetIniFileName());  // 224 keys, one rewrite of the file
    bool written = true;
    for (int32_t i = 0; i < kChannels; ++i) {
        Channel& c = at(i);
        std::string* fields[6] = {&c.name, &c.unit, &c.euHi, &c.euLo, &c.calAd, &c.baseAd};
        for (int col = 0; col < 6; ++col)
            *fields[col] = window.control(kColumns[col], i).get("Text").toString();
        const std::string n = basic::CStr(i);
        written &= WriteIniString(kSection, key("CAL", i), "---------- CAL(" + n + ") ----------");
        written &= WriteIniString(kSection, key("pName", i), c.name);
        written &= WriteIniString(kSection, key("pUnit", i), c.unit);
        written &= WriteIniString(kSection, key("fEU_HI", i), c.euHi);
        written &= WriteIniString(kSection, key("fEU_LO", i), c.euLo);
        written &= WriteIniString(kSection, key("fCAL_AD", i), c.calAd);
        written &= WriteIniString(kSection, key("fBASE_AD", i), c.baseAd);
    }
    return batch.commit() && FlushIniFile() && written;
}

// ---- library ----

void CCalSetting::PUTCAL() {
    std::string names, units;
    CalRecordArray record{};
    for (int32_t k = 0; k < kChannels; ++k) {
        const Channel& c = at(k);
        names += FormatStr(c.name);
        units += FormatStr(c.unit);
        CalRecord& r = record[static_cast<size_t>(k)];
        r.EU_HI = basic::CSng(basic::Val(c.euHi));
        r.EU_LO = basic::CSng(basic::Val(c.euLo));
        r.Cal_AD = basic::CSng(basic::Val(c.calAd));
        r.Base_AD = basic::CSng(basic::Val(c.baseAd));
    }
    record_ = record;
    GstrCalNames = CalTextLSet(names);
    GstrCalUnits = CalTextLSet(units);
    const std::string nameBytes = CalTextBytes(GstrCalNames);
    const std::string unitBytes = CalTextBytes(GstrCalUnits);
    Trelm::PUTCAL(&record_[0].EU_HI, nameBytes.data(), unitBytes.data());
    GstrCalNames = CalTextLSet(kernel::cp932ToUtf8(nameBytes));
    GstrCalUnits = CalTextLSet(kernel::cp932ToUtf8(unitBytes));
}

void CCalSetting::GETCAL() {
    std::string nameBytes = CalTextBytes(GstrCalNames);
    std::string unitBytes = CalTextBytes(GstrCalUnits);
    Trelm::GETCAL(&record_[0].EU_HI, nameBytes.data(), unitBytes.data());
    GstrCalNames = CalTextLSet(kernel::cp932ToUtf8(nameBytes));
    GstrCalUnits = CalTextLSet(kernel::cp932ToUtf8(unitBytes));
    std::string names = GstrCalNames;
    std::string units = GstrCalUnits;
    for (int32_t k = 0; k < kChannels; ++k) {
        Channel& c = at(k);
        const CalRecord& r = record_[static_cast<size_t>(k)];
        c.name = GetpName(names, kFieldBytes);
        c.unit = GetpName(units, kFieldBytes);
        c.baseAd = basic::CStr(r.Base_AD);
        c.calAd = basic::CStr(r.Cal_AD);
        c.euHi = basic::CStr(r.EU_HI);
        c.euLo = basic::CStr(r.EU_LO);
    }
}

// ---- window ----

void CCalSetting::DispCal(forms::Form& window, int32_t first, int32_t last) const {
    for (const char* column : kColumns)
        for (int32_t i = 0; i < kChannels; ++i) window.control(column, i).set("Visible", false);

    const forms::Control& header0 = window.control("Picture1", 0);
    const double rowHeight = window.control("txtName", 0).get("Height").toDouble();
    for (int32_t r = first - 1; r <= last - 1; ++r) {
        const Channel& c = at(r);
        const int32_t top = basic::CLng(header0.get("Top").toDouble() +
                                        header0.get("Height").toDouble() + rowHeight * r);
        for (int col = 0; col < 6; ++col) {
            const forms::Control& header = window.control("Picture1", col);
            forms::Control& box = window.control(kColumns[col], r);
            box.set("Width", header.get("Width"));
            box.set("Left", header.get("Left"));
            box.set("Height", window.control(kColumns[col], 0).get("Height"));
            box.set("Top", top);
            // A text box holds no NUL (the window system takes the text up to the first one),
            // so a name or unit field read from the library shows up to its padding.
            std::string text;
            switch (col) {
                case 0: text = cutAtNul(c.name); break;
                case 1: text = cutAtNul(c.unit); break;
                case 2: text = basic::CStr(basic::CSng(c.euHi)); break;
                case 3: text = basic::CStr(basic::CSng(c.euLo)); break;
                case 4: text = basic::CStr(basic::CLng(c.calAd)); break;
                default: text = basic::CStr(basic::CLng(c.baseAd)); break;
            }
            box.set("Text", text);
            box.set("Visible", true);
        }
    }
}

// ---- copies and conversions ----

void CCalSetting::Clone(CCalSetting& target) const {
    for (int32_t i = 0; i < kChannels; ++i) {
        const Channel& c = at(i);
        target.Base_AD(i, c.baseAd);
        target.Cal_AD(i, c.calAd);
        target.EU_HI(i, c.euHi);
        target.EU_LO(i, c.euLo);
        target.CHName(i, c.name);
        target.Unit(i, c.unit);
        target.CHType(i, c.type);
    }
}

float CCalSetting::GetEU1_2(float p1, float p2, float p3, float p4, float x) {
    const double d = static_cast<double>(p1) - p2;
    if (static_cast<float>(d) == 0.0f) return 0.0f;
    return basic::CSng((static_cast<double>(x) - p2) * (static_cast<double>(p3) - p4) / d + p4);
}

float CCalSetting::GetEU2_1(float p1, float p2, float p3, float p4, float x) {
    const double d = static_cast<double>(p3) - p4;
    if (static_cast<float>(d) == 0.0f) return 0.0f;
    return basic::CSng((static_cast<double>(x) - p4) * (static_cast<double>(p1) - p2) / d + p2);
}

}  // namespace qv
