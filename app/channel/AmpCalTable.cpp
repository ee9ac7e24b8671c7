#include "app/channel/AmpCalTable.h"

#include <map>
#include <memory>
#include <optional>

#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "platform/basic/Basic.h"

namespace qv {

namespace {

struct PresetRow {
    const char* preset;
    const char* label;         // nullptr: never selected by a board label
    const char* overrideName;  // key prefix in "INTCAL"; nullptr: no override
    int32_t firstCh, lastCh;
    bool ownValues;            // false: the table defaults stay
    double calAd, baseAd, euHi, euLo;
    int32_t chType;            // -1: left as it is
};

// Filled in this order. The trailing blank of "GCCalSetting_K12_5V " is part of its ini keys.
const PresetRow kRows[] = {
    {"GCCalSetting_DEBUG", "デバッグ", nullptr, 0, 31, true, 32768, 0, 32768, 0, -1},
    {"GCCalSetting_K10_5V", "VylK10[±5]", "GCCalSetting_K10_5V", 0, 31, true, 2048, 0, 5, 0, -1},
    {"GCCalSetting_K10_10V", "VylK10[±10]", "GCCalSetting_K10_10V", 0, 31, true, 2048, 0, 10, 0, -1},
    {"GCCalSetting_K12_5V", "VylK12[±5]", "GCCalSetting_K12_5V ", 0, 31, true, 32768, 0, 5, 0, -1},
    {"GCCalSetting_K12_10V", "VylK12[±10]", "GCCalSetting_K12_10V", 0, 31, true, 32768, 0, 10, 0, -1},
    {"GCCalSetting_K14", "VylK14(A)[±2.5]", "GCCalSetting_K14", 0, 31, true, 2048, 0, 2.5, 0, -1},
    {"GCCalSetting_K14_5V", "VylK14(B)[±5]", "GCCalSetting_K14_5V", 0, 31, true, 2048, 0, 5, 0, -1},
    {"GCCalSetting_K14_10V", "VylK14(B)[±10]", "GCCalSetting_K14_10V", 0, 31, true, 2048, 0, 10, 0, -1},
    {"GCCalSetting_K16", "VylK16[±10]", "GCCalSetting_K16", 0, 31, true, 32768, 0, 10, 0, -1},
    {"GCCalSetting_K20", "VylK20[±10]", "GCCalSetting_K20", 0, 31, true, 32768, 0, 10, 0, -1},
    {"GCCalSetting_K18_10V", "VylK18[±10]", "GCCalSetting_K18_10V", 0, 31, true, 32768, 0, 10, 0, -1},
    {"GCCalSetting_K22", "VylK22[±10]", "GCCalSetting_K22", 0, 31, true, 32768, 0, 10, 0, -1},
    {"GCCalSetting_K24", "VylK24[±10]", "GCCalSetting_K24", 0, 31, true, 2048, 0, 10.41, 0, -1},
    {"GCCalSetting_K26", "VylK26[±10]S", "GCCalSetting_K26", 0, 31, true, 1024, 0, 10.41, 0, -1},
    {"GCCalSetting_K28", "VylK28[±10]", "GCCalSetting_K28", 0, 31, true, 7826, -366, 10, 0, -1},
    {"GCCalSetting_K30", "VylK30[±10]S", "GCCalSetting_K30", 0, 31, true, 3913, -23, 10, 0, -1},
    {"GCCalSetting_K40", "VylK40[±10]", "GCCalSetting_K40", 0, 31, true, 30536, -433, 10, 0, -1},
    {"GCCalSetting_K42", "VylK42[±10]S", "GCCalSetting_K42", 0, 31, true, 30536, -433, 10, 0, -1},
    {"GCCalSetting_K32", "VylK32[±10]", "GCCalSetting_K32", 0, 31, true, 31098, -136, 10, 0, -1},
    {"GCCalSetting_K34", "VylK34[±10]S", "GCCalSetting_K34", 0, 31, true, 31098, -136, 10, 0, -1},
    {"GCCalSetting_K36", "VylK36[±10]", "GCCalSetting_K36", 0, 31, false, 0, 0, 0, 0, -1},
    {"GCCalSetting_K38", "VylK38[±10]S", "GCCalSetting_K38", 0, 31, false, 0, 0, 0, 0, -1},
    // The unipolar board: three channels of its own range and type, the others another range.
    {"GCCalSetting_B50", "VylB50[＋5]", "GCCalSetting_B50", 0, 2, true, 1024, 0, 4.096, 0, 1},
    {"GCCalSetting_B50", "VylB50[＋5]", "GCCalSetting_B50", 3, 31, true, 4096, 0, 1 / 0.634 * 3.3, 0, -1},
    {"GCCalSetting_B54", "VylB54", "GCCalSetting_B54", 0, 31, true, 65536, 0, 5.58088235294118, 0, -1},
    {"GCCalSetting_D60_5V", "VylD60[±5]", "GCCalSetting_D60_5V", 0, 31, true, 32768, 0, 5, 0, -1},
    {"GCCalSetting_D62_10V", "VylD62[±10]", "GCCalSetting_D62_10V", 0, 31, true, 32768, 0, 10, 0, -1},
    {"GCCalSetting_D64_5V", "VylD64[±5]", "GCCalSetting_D64_5V", 0, 31, true, 32768, 0, 5, 0, -1},
    {"GCCalSetting_D66_10V", "VylD66[±10]", "GCCalSetting_D66_10V", 0, 31, true, 32768, 0, 10, 0, -1},
    {"GCCalSetting_B56", nullptr, "GCCalSetting_B56", 0, 31, true, 65536, 0, 5.58088235294118, 0, -1},
    // One override entry serves both boards of a pair.
    {"GCCalSetting_K44", "VylK44[±10]", "GCCalSetting_K40", 0, 31, true, 30536, -433, 10, 0, -1},
    {"GCCalSetting_K46", "VylK46[±10]S", "GCCalSetting_K42", 0, 31, true, 30536, -433, 10, 0, -1},
    {"GCCalSetting_S80", "VylS80", "GCCalSetting_S80", 0, 31, true, 32768, 0, 5000, 0, -1},
    {"GCCalSetting_XXX", "VylXXX[±2.5]", "GCCalSetting_XXX", 0, 31, true, 4096, 0, 5, 0, -1},
};

std::map<std::string, std::unique_ptr<CCalSetting>, std::less<>>& presetTable() {
    static std::map<std::string, std::unique_ptr<CCalSetting>, std::less<>> table;
    return table;
}

bool isPresetName(std::string_view name) {
    for (const PresetRow& row : kRows)
        if (name == row.preset) return true;
    return false;
}

// The leading number of an override value as text ("0" when the value is no number, as for a
// missing key); a number too large for a double is ignored and logged, the preset keeping what it
// had.
std::optional<std::string> overrideText(const std::string& key) {
    const std::optional<double> n = StoredNumber(ReadIniString("INTCAL", key, ""), "Tolvane.ini INTCAL " + key);
    if (!n) return std::nullopt;
    return basic::CStr(*n);
}

void applyOverride(CCalSetting& preset, const std::string& name) {
    IniPathGuard guard(ProgramFile("Tolvane.ini"));
    if (ReadIniString("INTCAL", name, "") != "1") return;
    const std::optional<std::string> calAd = overrideText(name + ".Cal_AD");
    const std::optional<std::string> baseAd = overrideText(name + ".Base_AD");
    const std::optional<std::string> euHi = overrideText(name + ".EU_HI");
    const std::optional<std::string> euLo = overrideText(name + ".EU_LO");
    for (int32_t i = 0; i < CCalSetting::kChannels; ++i) {
        if (calAd) preset.Cal_AD(i, *calAd);
        if (baseAd) preset.Base_AD(i, *baseAd);
        if (euHi) preset.EU_HI(i, *euHi);
        if (euLo) preset.EU_LO(i, *euLo);
    }
}

}  // namespace

CCalSetting& GCCalSetting(std::string_view presetName) {
    auto& table = presetTable();
    auto it = table.find(presetName);
    if (it == table.end()) {
        if (!isPresetName(presetName)) basic::raiseError(basic::errSubscript);
        it = table.emplace(std::string(presetName), std::make_unique<CCalSetting>()).first;
    }
    return *it->second;
}

void InitAmpCalTable() {
    for (const PresetRow& row : kRows) {
        CCalSetting& preset = GCCalSetting(row.preset);
        for (int32_t i = row.firstCh; i <= row.lastCh; ++i) {
            if (row.ownValues) {
                preset.Cal_AD(i, basic::CStr(row.calAd));
                preset.Base_AD(i, basic::CStr(row.baseAd));
            }
            preset.CHName(i, "CH" + basic::CStr(i + 1));
            if (row.ownValues) {
                preset.EU_HI(i, basic::CStr(row.euHi));
                preset.EU_LO(i, basic::CStr(row.euLo));
            }
            if (row.chType >= 0) preset.CHType(i, row.chType);
        }
    }
    // The B50 pair of rows is one preset: override it once.
    const PresetRow* previous = nullptr;
    for (const PresetRow& row : kRows) {
        const bool sameAsPrevious = previous && std::string_view(previous->preset) == row.preset;
        previous = &row;
        if (!row.overrideName || sameAsPrevious) continue;
        applyOverride(GCCalSetting(row.preset), row.overrideName);
    }
}

CCalSetting* GetIntCAL(std::string& name) {
    if (name.empty()) name = GAcqCondition.strADBOARD;
    if (name.empty()) return nullptr;
    for (const PresetRow& row : kRows)
        if (row.label && name == row.label) return &GCCalSetting(row.preset);
    return nullptr;
}

const CCalSetting& BoardCalOrDefault() {
    static const CCalSetting defaults;
    std::string board;
    const CCalSetting* preset = GetIntCAL(board);
    return preset ? *preset : defaults;
}

}  // namespace qv
