// The main window's small commands: SETUP, STORE, the two hard-copy buttons and the buttons that
// only keep their place, the option check boxes with work of their own, the public helpers over
// the hidden window's receive list, and the calls of handlers by window and handler name.
#include <string>
#include <vector>

#include "app/channel/CCalSetting.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/common/frmMessage.h"
#include "app/common/modCommon.h"
#include "app/common/modIniFile.h"
#include "app/main/frm最も近いグラフを探す.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "app/main/frmPrintPv.h"
#include "platform/basic/Numbers.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Profile.h"

namespace qv {

namespace {

// An entry of the receive list is "id,port,...": its first field as a number, when it is one.
bool entryId(const std::string& entry, double& id) {
    const std::vector<std::string> fields = basic::Split(entry, ",");
    if (fields.empty() || !basic::IsNumeric(fields[0])) return false;
    id = basic::CDbl(fields[0]);
    return true;
}

}  // namespace

// ---- Buttons ----

void Acqisition::cmdCONDITION_Click() {
    // The conditions window's Cancel puts this copy back.
    GAcqConditionBackup = GAcqCondition;
    SetDispStatus("SETUP", true);
    frmCondition& conditions = frmCondition::instance();
    conditions.InitForm();
    conditions.Show(forms::vbModal);
    SetDispStatus("End", true);
}

void Acqisition::cmdQUIT_Click() {
    if (bInSettingsFile) return;
    RaisedFlag running(bInSettingsFile);
    std::string calFailure;
    {
        // The window stays disabled for the whole save and comes back usable however the save
        // ends; an error goes on to be shown where the click was dispatched.
        struct Saving {
            Acqisition& w;
            explicit Saving(Acqisition& window) : w(window) {
                w.setEnabled(false);
                w.cmdQUIT.setEnabled(false);
            }
            ~Saving() {
                ClosingStep("QUIT closing", [this] {
                    w.setEnabled(true);
                    w.cmdQUIT.setEnabled(true);
                    ShowMessage(false, "", "", false);
                });
            }
        } saving(*this);

        ShowMessage(true, "Please Wait", "Now Saving", false);
        cmdPUTCAL_Click();

        const std::string settingFile =
            ProgramFile(InstanceMode == 2 ? "SETTING_1.SET" : "SETTING.SET");
        GstrSettingFile = settingFile;
        SetIniFileName(settingFile);
        // (A settings file that cannot be written is reported by the save itself.)
        frmCondition::instance().SaveParamAll();

        const std::string calFile = LBL_CALFName.Caption().empty()
                                        ? ProgramFile("DEFAULT.CAL")
                                        : LBL_CALFName.Caption() + ".CAL";
        if (!GCCalSettingAcq.SaveCAL(calFile, *this)) {
            const std::string why = kernel::lastProfileError();
            calFailure = calFile + (why.empty() ? std::string() : "\r\n" + why);
        }
        lblCALStatus.setVisible(false);
    }
    if (!calFailure.empty())
        forms::MsgBox("校正ファイルを保存できませんでした。\r\n" + calFailure, forms::vbExclamation);
}

void Acqisition::cmdHardCopy_Click() {
    GPrintForms.fill(nullptr);
    GPrintForms[1] = &Acqisition::instance();
    HardCopyForms();
}

void Acqisition::cmdHardCopyF_Click() { cmdHardCopy_Click(); }

// START keeps its place in the window and in the keyboard's Shift+Enter; the acquisition it
// began is not part of this program.
void Acqisition::cmdStart_Click() {}
void Acqisition::cmdRecalcRR_Click() {}
void Acqisition::cmdMakeCSVAuto_Click() {}

void Acqisition::cmdCallFuncMain_Click() { CallFuncMain(txtFormName.Text(), txtFuncName.Text()); }

// ---- Check boxes ----

void Acqisition::chkDispBUFF_SWEEP_F_Click() { PBXMoniDisp.Refresh(); }

void Acqisition::chkDispCAMPos_Click() {
    PBXMoniDisp.Refresh();
    ALL_BTN_ModeSet();
}

void Acqisition::chkDisp最も近いグラフを探す_Click() {
    frm最も近いグラフを探す::instance().setVisible(chkDisp最も近いグラフを探す.Value() == 1);
}

// ---- Calls by name ----

void Acqisition::CallFuncMain(const std::string& formName, const std::string& funcName) {
    for (forms::Form* f : forms::Runtime::get().Forms()) {
        if (f->Name() != formName) continue;
        auto* target = dynamic_cast<Acqisition*>(f);
        if (!target) basic::raiseError(438, "Object doesn't support this property or method");
        target->CallFunc(funcName);
        return;
    }
}

void Acqisition::CallFunc(const std::string& funcName) {
    for (const NamedHandler& h : CallFuncTable()) {
        if (funcName != h.name) continue;
        if (!h.asRequest) {
            (this->*h.handler)();
            return;
        }
        // The flag comes down again even when the handler fails, so that a later click is not
        // taken for a request.
        RaisedFlag request(bAutoCall);
        (this->*h.handler)();
        return;
    }
}

const std::vector<Acqisition::NamedHandler>& Acqisition::CallFuncTable() {
    static const std::vector<NamedHandler> table = {
        {"txtCurTime_L_LostFocus", &Acqisition::txtCurTime_L_LostFocus, false},
        {"txtCurTime_R_LostFocus", &Acqisition::txtCurTime_R_LostFocus, false},
        {"cmdMove_Click", &Acqisition::cmdMove_Click, false},
        {"cmdLoad_Click", &Acqisition::cmdLoad_Click, true},
    };
    return table;
}

// ---- Public helpers ----

bool Acqisition::IsCancel() const { return chkCancel.Value() == 1; }

std::string Acqisition::GetID2PortNo(int32_t id) const {
    const forms::ListBox& list = Acqisition2::instance().lstRCVSubPrg;
    std::string port;
    for (int i = 0; i < list.ListCount(); ++i) {
        double first = 0;
        if (!entryId(list.List(i), first) || basic::CLng(first) != id) continue;
        const std::vector<std::string> fields = basic::Split(list.List(i), ",");
        // An entry without a port field names no port.
        port = fields.size() > 1 ? fields[1] : std::string();
    }
    return port;
}

void Acqisition::DelData2PortNo(int32_t id) {
    forms::ListBox& list = Acqisition2::instance().lstRCVSubPrg;
    for (int i = list.ListCount() - 1; i >= 0; --i) {
        double first = 0;
        if (entryId(list.List(i), first) && first == id) list.RemoveItem(i);
    }
}

std::string Acqisition::GetID2SubPrg() const {
    return std::to_string(Acqisition2::instance().lstRCVSubPrg.ListCount());
}

std::string Acqisition::GetSampleFreqText() const {
    const int i = cmbSampleFreq.ListIndex();
    return i >= 0 ? cmbSampleFreq.List(i) : std::string();
}

void Acqisition::ChangeMonitorDispSetting() {}

bool Acqisition::START_1() { return false; }
bool Acqisition::START_1a() { return false; }
bool Acqisition::START_1b() { return false; }
bool Acqisition::START_2() { return false; }
bool Acqisition::START_3() { return false; }
bool Acqisition::START_4() { return false; }
bool Acqisition::START_4a() { return false; }
bool Acqisition::START_5() { return false; }
bool Acqisition::START_6() { return false; }
bool Acqisition::START_7() { return false; }
bool Acqisition::START_8() { return false; }
bool Acqisition::START_8a() { return false; }
bool Acqisition::START_8b() { return false; }
bool Acqisition::START_8c() { return false; }
bool Acqisition::START_9() { return false; }
bool Acqisition::START_10() { return false; }
bool Acqisition::START_11() { return false; }
bool Acqisition::START_12() { return false; }

}  // namespace qv
