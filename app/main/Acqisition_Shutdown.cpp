// Closing the main window, the only way out of the program: refusals while a measurement runs,
// one confirmation, the placement of the windows kept in the system ini, and the release of the
// shared objects in order.
#include <algorithm>
#include <functional>
#include <string>

#include "app/camera/frmCAMDisp.h"
#include "app/channel/CCalcCAL.h"
#include "app/channel/CWave.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/frmMessage.h"
#include "app/common/modCommon.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/frmPrintPv.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Runtime.h"

namespace qv {

namespace {

// Runs one step of the close; a failure is written to the log and the next step runs.
void step(const char* what, const std::function<void()>& f) { ClosingStep("終了処理 " + std::string(what), f); }

void unloadIfLoaded(std::string_view name) {
    if (forms::Form* f = forms::Runtime::get().findForm(name)) forms::Unload(*f);
}

}  // namespace

void Acqisition::Form_QueryUnload(int& Cancel, int /*UnloadMode*/) {
    // A close is under way (its messages let this request through): it ends the program itself.
    if (GbEndProgram) {
        Cancel = 1;
        return;
    }
    if (IsModeAcq()) {
        ShowMessage(true, "取り込み中は終了できません.", "End を押して終了してください。", false);
        Cancel = 1;
        return;
    }
    if (IsModeLL()) {
        ShowMessage(true, "L - L 検出中は終了できません.", "L - L を押してから終了してください。", false);
        Cancel = 1;
        return;
    }
    if (IsModeLLHalf()) {
        ShowMessage(true, "L - L / 2 検出中は終了できません.", "L - L / 2 を押してから終了してください。",
                    false);
        Cancel = 1;
        return;
    }
    if (!ConfirmExit()) {
        Cancel = 1;
        return;
    }
    GbEndProgram = true;
    step("message", [] {
        ShowMessage(true, "Quorvane を終了しています。", "しばらくお待ちください。", false);
    });
    step("placement", [this] { WritePosition(*this); });
    step("camera placement", [] { WritePosition(frmCAMDisp::instance()); });
    step("print preview", [] { forms::Unload(frmPrintPv::instance()); });
    step("conditions", [] { unloadIfLoaded("frmCondition"); });
    step("position timer", [this] { timPos.setEnabled(false); });
    // The board catalogue is a table of constants; the calculator forgets its data.
    step("calculator", [] { GCCalcCAL = CCalcCAL(); });
    step("channels", [] {
        for (auto& wave : GCWave) wave.reset();
        GCWave.clear();
    });
    step("shared data", [this] {
        if (IsBlobrelayOn() && sharedData) {
            std::shared_ptr<OutsideComponent> component = std::move(sharedData);
            component->TermMaster();
        }
    });
    // Companion programs run on by themselves: this program never ends a process it did not
    // start and keeps no handle of the ones it started.
}

void Acqisition::Form_Unload(int& /*Cancel*/) {
    // Every other window goes first, in load order; the main window unloads after this handler.
    for (forms::Form* f : forms::Runtime::get().Forms())
        if (f != this) forms::Unload(*f);
    forms::End();
}

void Acqisition::WritePosition(forms::Form& window) {
    if (window.WindowState() == forms::vbMinimized) return;
    IniPathGuard guard(ProgramFile("Tolvane.ini"));
    const std::string& n = window.Name();
    auto text = [](double v) { return std::to_string(basic::CLng(v)); };
    WriteIniString(n, n + ".Left", text(window.Left()));
    WriteIniString(n, n + ".Top", text(window.Top()));
    WriteIniString(n, n + ".Width", text(window.Width()));
    WriteIniString(n, n + ".height", text(window.Height()));
}

void Acqisition::ReadPosition(forms::Form& window, bool withSize) {
    IniPathGuard guard(ProgramFile("Tolvane.ini"));
    const std::string& n = window.Name();
    double left = window.Left(), top = window.Top();
    double width = window.Width(), height = window.Height();
    auto read = [&n](const char* key, double present) {
        return StoredNumber(ReadIniString(n, n + key, basic::CStr(present)), n + key).value_or(present);
    };
    left = read(".Left", left);
    top = read(".Top", top);
    if (withSize) {
        width = read(".Width", width);
        height = read(".Height", height);
    }
    // A placement from another screen must not leave the window out of reach: at least its
    // top-left corner stays on this screen.
    const double screenW = forms::Screen.Width(), screenH = forms::Screen.Height();
    if (screenW > 0 && screenH > 0) {
        width = std::clamp(width, 0.0, std::max(screenW, window.Width()));
        height = std::clamp(height, 0.0, std::max(screenH, window.Height()));
        left = std::clamp(left, 0.0, std::max(0.0, screenW - std::min(width, screenW)));
        top = std::clamp(top, 0.0, std::max(0.0, screenH - std::min(height, screenH)));
    }
    try {
        window.Move(left, top, width, height);
    } catch (const std::exception&) {
    }
}

}  // namespace qv
