// The companion programs that serve outside devices, the switches of the system ini that choose
// them and show the mark controls, and the watchdog.
#include <string>
#include <string_view>
#include <vector>

#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/modCommon.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Dialogs.h"
#include "platform/kernel/Process.h"

namespace qv {

namespace {

constexpr const char* kSystemIni = "Tolvane.ini";

// A line in the day's log; without a log to write to, the caller goes on all the same.
void logLine(const std::string& text) {
    try {
        WriteLog(text, true);
    } catch (const basic::RuntimeError&) {
    }
}

// Sets one property from a settings text. A text the control refuses (not a number, not a
// Boolean, out of range) leaves the control as it was and is written to the log, so that a
// mistyped switch cannot stop the start-up.
void applySetting(forms::Control& control, std::string_view property, std::string_view section,
                  std::string_view key, const std::string& text) {
    try {
        control.set(property, forms::PropValue(text));
    } catch (const basic::RuntimeError& e) {
        logLine(std::string(kSystemIni) + " [" + std::string(section) + "] " + std::string(key) +
                "=" + text + ": " + e.description());
    }
}

// Reads `key` of the current ini with the control's present property as the default.
void readInto(forms::Control& control, std::string_view property, std::string_view section,
              std::string_view key) {
    const std::string present = control.get(property).toString();
    applySetting(control, property, section, key, ReadIniString(section, key, present));
}

void readInto(forms::Control& control, std::string_view property, std::string_view section,
              std::string_view key, std::string_view defaultValue) {
    applySetting(control, property, section, key, ReadIniString(section, key, defaultValue));
}

bool ticked(const forms::CheckBox& box) { return box.Value() == forms::vbChecked; }

}  // namespace

int32_t StartOutsideProgram(const std::vector<std::string>& argv) {
    const kernel::StartResult r = kernel::startProcess(argv);
    if (r.started) return r.pid;
    logLine("not started: " + argv.at(0) + (r.error.empty() ? "" : " (" + r.error + ")"));
    return 0;
}

bool IsUseSubPrg() { return ticked(Acqisition2::instance().chkUseSubPrg); }
bool IsUseSubPrgRL() { return ticked(Acqisition2::instance().chkUseSubPrgRL); }
bool IsUseSubPrgVylM70() { return ticked(Acqisition2::instance().chkUseSubPrgVylM70); }
bool IsUseSubPrgJINS() { return IsUseSubPrg() && ticked(Acqisition2::instance().chkUseSubPrgJINS); }

void Acqisition::ReadUseSubPrg() {
    static constexpr std::string_view kSection = "USESUBPRG";
    Acqisition2& hidden = Acqisition2::instance();
    const IniPathGuard guard(ProgramFile(kSystemIni));
    const struct {
        forms::Control& control;
        std::string_view property;
    } keys[] = {
        {hidden.chkUseSubPrg, "Value"},
        {hidden.chkUseSubPrgRL, "Value"},
        {hidden.chkUseSubPrgVylM70, "Value"},
        {hidden.txtSubPrgVylM70_PortNo, "Text"},
        {hidden.chkUseSubPrgJINS, "Value"},
        {hidden.txtSubPrgJINS_PortNo, "Text"},
        {hidden.chkUseSubPrgBASE, "Value"},
        {hidden.txtSubPrgBASE_PortNo, "Text"},
    };
    for (const auto& k : keys)
        readInto(k.control, k.property, kSection,
                 "Acqisition2." + k.control.Name() + "." + std::string(k.property));
}

void Acqisition::ReadTolvaneCTRL() {
    static constexpr std::string_view kSection = "CTRL";
    SetIniFileName(ProgramFile(kSystemIni));
    const std::initializer_list<forms::Control*> markControls = {&cmdAddMark, &cmdClearMark,
                                                                 &lstMarkCom, &txtMarkComment, &List1};
    for (forms::Control* c : markControls)
        readInto(*c, "Visible", kSection, c->Name() + ".Visible");
    readInto(chkSTMEM, "Value", kSection, "chkSTMEM.Value");
    readInto(chkBlobrelay, "Value", kSection, "chkBlobrelay.Value", "0");
    readInto(Acqisition2::instance().chkMakePSG, "Value", kSection,
             "Acqisition2.chkMakePSG.Value", "0");
}

void Acqisition::timBootSubPrg_Timer() {
    if (!IsTerminalMode()) {
        if (IsUseSubPrg() && IsUseSubPrgVylM70()) {
            StartOutsideProgram({ProgramFile("QVSUBM70.exe")});
            DoEventsWait(1000);
        }
        if (IsUseSubPrg() && IsUseSubPrgRL()) StartOutsideProgram({ProgramFile("QVSUBRL.exe")});
        if (IsUseSubPrg() && IsUseSubPrgJINS()) StartOutsideProgram({ProgramFile("QVSUBJINS.exe")});
        Acqisition2::instance().chkBootOK.setValue(forms::vbChecked);
    }
    timBootSubPrg.setEnabled(false);
}

void Acqisition::timWDT_Timer() {
    if (IsUseSubPrg()) return;
    wdtCounter += 100;
    if (wdtCounter > GlwdtCnt) {
        wdtCounter = 0;
        cmdEnd_Click();
        forms::MsgBox("接続先プログラムからの応答がありません。タイムアウトしました。.",
                      forms::vbExclamation);
        timWDT.setEnabled(false);
    }
}

void Acqisition::CallCMD_GetSetting2() {}
void Acqisition::SubPrgGetSetting() {}
void Acqisition::SendProperty(const std::string&, const std::string&) {}
void Acqisition::SendProperty2(const std::string&, const std::string&, const std::string&,
                               const std::string&, const std::string&) {}

}  // namespace qv
