// The settings file as "LOAD COND." reads it: any bytes as "SETTING.SET", loaded into the
// conditions window and applied. A number out of range must never stop the load (run-time
// error 6 is a finding, as is any exception that is no run-time error); the other refusals are
// the program's own.
#include <cstdlib>

#include "FuzzProgram.h"
#include "FuzzTarget.h"

QV_FUZZ_TARGET(SettingsFile) {
    qv::fuzz::Program& p = qv::fuzz::program();
    if (p.driver.ended() || !p.window) std::abort();
    p.writeSaved("SETTING.SET", std::string(reinterpret_cast<const char*>(data), size));
    qv::kernel::clearProfileCache();
    // A load the program refuses ends in its message box ("File Error CODE= ..."), which the
    // user closes with OK; one answer is kept ready, never more.
    if (p.driver.pendingAnswers() == 0) p.driver.answerMsgBox(qv::forms::vbOK);
    if (p.runStopsOnAFault([&] {
            qv::GstrSettingFile = qv::ProgramFile("SETTING.SET");
            p.window->cmdLoadSetting_Click();
        }))
        std::abort();
    return 0;
}

QV_FUZZ_SEEDS(SettingsFile) {
    return {qv::fuzz::bytesOf("[GLOBAL]\r\nGlwdtCnt=2500\r\n[frmCondition.txtCH]\r\nText=1-4\r\n"
                              "[frmCondition.txtSweepTime]\r\nText=1000\r\n[frmCondition.chkSync]\r\nValue=0\r\n"
                              "[frmCondition.chkTriggerSetting]\r\nValue=1\r\n[frmCondition.txtTrgPoint]\r\nText=-10\r\n"),
            qv::fuzz::bytesOf("[frmCondition.cmbADBoard]\r\nListCount=3\r\nListIndex=1\r\nText=x\r\n"
                              "[frmCondition.cmbTTL]\r\nListIndex=1\r\n[frmCondition.txtCH]\r\nText=2-31\r\n"),
            // A sweep too long for the memory at hand: the load is refused with its message box.
            qv::fuzz::bytesOf("[1-4\r\n[frmCondition.txtSweepTime]\r\nText=50001000\r\n[frmCondition.chkSy=1\r\n"
                              "[frmCondition.ition.chkSyncTrion.ition.chkSynalue=1\r\n[frmCondition.txtTrgPoint]\r\n"
                              "Text=-10\r")};
}
