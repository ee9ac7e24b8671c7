#include "app/common/IniSet_Options.h"

#include <cstdint>
#include <string_view>

#include "app/common/IniSet.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Runtime.h"

namespace qv {

namespace {

constexpr std::string_view kMain = "Acqisition";
constexpr std::string_view kConditions = "frmCondition";
constexpr int32_t kVylS80BoardType = 31;

forms::Control* loadedControl(std::string_view window, std::string_view control) {
    const forms::Form* f = forms::Runtime::get().findForm(window);
    return f ? f->findControl(control) : nullptr;
}

// The Value of a check box (0, 1, 2) or an option button (-1 when set); 0 without the control.
int32_t controlValue(std::string_view window, std::string_view control) {
    const forms::Control* c = loadedControl(window, control);
    if (!c) return 0;
    try {
        return c->get("Value").toInt();
    } catch (const basic::RuntimeError&) {
        return 0;
    }
}

bool isTicked(std::string_view window, std::string_view checkBox) {
    return controlValue(window, checkBox) == 1;
}

bool isSet(std::string_view window, std::string_view option) {
    return controlValue(window, option) != 0;
}

}  // namespace

bool IsDetectR() { return isTicked(kMain, "chkDetectR") && !IsTriggerSetting(); }
bool IsStorageMode() { return isSet(kMain, "optStorage"); }
bool IsBlobrelayOn() { return isTicked(kMain, "chkBlobrelay"); }
bool IsUseCal() { return isTicked(kMain, "chkUseCAL"); }
bool IsGetRemoteHost() { return isSet(kConditions, "optGetRemoteHost"); }
bool IsGetADBoard() { return isSet(kConditions, "optGetADBoard"); }
bool IsTerminalMode() { return isTicked(kConditions, "chkTerminalMode"); }

bool IsVylS80Board() {
    if (!IsGetADBoard()) return false;
    const auto* list = dynamic_cast<const forms::ListControl*>(loadedControl(kConditions, "cmbADBoard"));
    if (!list || list->ListCount() == 0 || list->ListIndex() < 0) return false;
    return list->ItemData(list->ListIndex()) == kVylS80BoardType;
}

}  // namespace qv
