// The numbers of the instances running on this machine, kept as an ascending list in the system
// ini ([GLOBAL] lInstanseNo, e.g. "1,2,4"). The hidden sorted list box orders the numbers: as
// three-digit texts, text order is number order for 0..999.
#include <string>

#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"

namespace qv {

namespace {

constexpr const char* kSection = "GLOBAL";
constexpr const char* kKey = "lInstanseNo";

std::string asListItem(double number) { return basic::Format(number, "000"); }

// Fills the sorted list with the stored numbers; a number beyond a Long is left out (and logged),
// so it is dropped from the list when it is written back.
void loadList(forms::ListBox& list, const std::string& stored) {
    list.Clear();
    for (const std::string& piece : basic::Split(stored, ","))
        if (StoredLong(piece, std::string(kSection) + " " + kKey))
            list.AddItem(asListItem(basic::Val(piece)));
}

// Writes the list back as plain numbers joined by ",".
void storeList(const forms::ListBox& list) {
    std::string joined;
    for (int i = 0; i < list.ListCount(); ++i) {
        if (i > 0) joined += ",";
        joined += basic::CStr(basic::CLng(basic::Val(list.List(i))));
    }
    WriteIniString(kSection, kKey, joined);
}

}  // namespace

int32_t Acqisition::GetInstanseNo() {
    const IniPathGuard guard(ProgramFile("Tolvane.ini"));
    loadList(lstSort, ReadIniString(kSection, kKey, ""));
    const int count = lstSort.ListCount();
    int32_t number = count + 1;
    for (int i = 0; i < count; ++i) {
        if (basic::Val(lstSort.List(i)) != i + 1) {
            number = i + 1;
            break;
        }
    }
    lstSort.AddItem(asListItem(number));
    storeList(lstSort);
    return number;
}

void Acqisition::ReleaceInstanseNo(int32_t number) {
    const IniPathGuard guard(ProgramFile("Tolvane.ini"));
    loadList(lstSort, ReadIniString(kSection, kKey, basic::CStr(GAcqParam.lInstanseNo)));
    for (int i = lstSort.ListCount() - 1; i >= 0; --i)
        if (basic::Val(lstSort.List(i)) == number) lstSort.RemoveItem(i);
    storeList(lstSort);
}

}  // namespace qv
