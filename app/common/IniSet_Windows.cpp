// The operations of IniSet that reach windows: through the forms model's late-bound access by
// window and control name, so they work with whatever windows are loaded.
#include "app/camera/frmCAMDisp.h"
#include "app/channel/CBoard.h"
#include "app/common/IniSet.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Form.h"
#include "platform/forms/Runtime.h"

namespace qv {

namespace {

forms::Control* loadedControl(std::string_view form, std::string_view control) {
    forms::Form* f = forms::Runtime::get().findForm(form);
    return f ? f->findControl(control) : nullptr;
}

forms::ListControl* loadedList(std::string_view form, std::string_view control) {
    return dynamic_cast<forms::ListControl*>(loadedControl(form, control));
}

bool gExitConfirmed = false;

}  // namespace

void ClearAcqArrays() {
    DispWaveArray.Erase();
    ConvWaveArray.Erase();
    GAcqParam.PTotal = 0;
    if (forms::Control* label = loadedControl("Acqisition", "LBLTimerPreSet"))
        label->set("Caption", std::string("--"));
    frmCAMDisp::instance().DispInit();
}

void ForgetExitConfirmation() { gExitConfirmed = false; }

bool ConfirmExit() {
    if (!gExitConfirmed) {
        const int answer = forms::MsgBox(
            "プログラムを終了します。\r\nよろしいですか？", forms::vbOKCancel | forms::vbInformation,
            "終了");
        gExitConfirmed = answer == forms::vbOK;
    }
    return gExitConfirmed;
}

std::string GetTrigDateTime(int32_t i) {
    forms::ListControl* list = loadedList("Acqisition2", "lstTrigDateTime");
    if (!list || i < 0 || i + 1 > list->ListCount()) return "";
    std::string entry = basic::Mid(list->List(i), 5);
    list->setListIndex(i);
    return entry;
}

int32_t CalcPresetLimit() {
    forms::ListControl* timeFs = loadedList("Acqisition", "cmbTimeFS");
    forms::ListControl* rate = loadedList("Acqisition", "cmbSampleFreq");
    if (!timeFs || !rate || timeFs->ListIndex() < 0 || rate->ListIndex() < 0) return -1;
    return CalcPresetLimit(timeFs->ItemData(timeFs->ListIndex()), rate->ItemData(rate->ListIndex()),
                           GAcqCondition.lCHCnt, CBoard::instance().SelectBoard(),
                           IsTriggerSetting());
}

}  // namespace qv
