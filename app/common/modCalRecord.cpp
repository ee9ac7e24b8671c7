#include "app/common/modCalRecord.h"

#include "app/channel/CCalSetting.h"
#include "platform/basic/Basic.h"
#include "platform/kernel/Encoding.h"

namespace qv {

namespace {

// Record ch, checked as the array access of the original was: outside 0..31 is error 9.
template <class Records>
auto& recordOf(Records& records, int32_t ch) {
    if (ch < 0 || ch >= static_cast<int32_t>(records.size())) basic::raiseError(basic::errSubscript);
    return records[static_cast<size_t>(ch)];
}

}  // namespace

std::string CalTextLSet(std::string_view text) {
    return kernel::cp932ToUtf8(CalTextBytes(text));
}

std::string CalTextBytes(std::string_view buffer) {
    std::string bytes = kernel::utf8ToCp932Field(buffer, kCalTextBytes);
    bytes.resize(kCalTextBytes, ' ');
    return bytes;
}

void CalToArray(CalRecordArray& records, std::string& names, std::string& units,
                const CCalSetting& table, int32_t first, int32_t last) {
    names.clear();
    units.clear();
    for (int32_t ch = first - 1; ch <= last - 1; ++ch) {
        CalRecord& r = recordOf(records, ch);
        r.Base_AD = basic::CSng(table.Base_AD(ch));
        r.Cal_AD = basic::CSng(table.Cal_AD(ch));
        r.EU_HI = basic::CSng(table.EU_HI(ch));
        r.EU_LO = basic::CSng(table.EU_LO(ch));
        names += table.CHName32(ch);
        units += table.Unit32(ch);
    }
}

void ArrayToCal(const CalRecordArray& records, std::string& names, std::string& units,
                CCalSetting& table, int32_t first, int32_t last) {
    for (int32_t ch = first - 1; ch <= last - 1; ++ch) {
        const CalRecord& r = recordOf(records, ch);
        table.Base_AD(ch, basic::CStr(r.Base_AD));
        table.Cal_AD(ch, basic::CStr(r.Cal_AD));
        table.EU_HI(ch, basic::CStr(r.EU_HI));
        table.EU_LO(ch, basic::CStr(r.EU_LO));
        table.CHName(ch, CCalSetting::GetpName(names, CCalSetting::kFieldBytes));
        table.Unit(ch, CCalSetting::GetpName(units, CCalSetting::kFieldBytes));
    }
}

}  // namespace qv
