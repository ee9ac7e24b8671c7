// The settings file as "LOAD COND." reads it: any bytes as "SETTING.SET", loaded into the
// conditions window and applied. A number out of range must never stop the load (run-time
// error 6 is a finding, as is any exception that is no run-time error); the other refusals are
// the program's own. After a line "--REC--" the file is loaded over a recording of channels
// 1-2 (from the remote host in instance mode 0 when the input's size is odd, else from the local
// board): the live range stays within 1..32, and a recording kept keeps its channels.
#include <cstdlib>

#include "FuzzProgram.h"
#include "FuzzTarget.h"
#include "app/channel/frmCondition.h"
#include "tests/app/main/RecordingGenerator.h"

QV_FUZZ_TARGET(SettingsFile) {
    qv::fuzz::Program& p = qv::fuzz::program();
    if (p.driver.ended() || !p.window) std::abort();
    std::string input(reinterpret_cast<const char*>(data), size);
    const bool over = input.starts_with("--REC--\n");
    p.writeSaved("SETTING.SET", over ? input.substr(8) : input);
    qv::kernel::clearProfileCache();
    if (over && !qv::IsDataLoaded()) {
        qv::apptest::RecordingSpec(2, 100, 300).Write(p.prog.dir(), "rec");
        p.window->txtFName.setText(p.prog.win("rec"));
        if (p.driver.pendingAnswers() == 0) p.driver.answerMsgBox(qv::forms::vbOK);
        p.driver.run([&] { p.window->cmdLoad_Click(); });
    }
    // A load the program refuses ends in its message box ("File Error CODE= ..."), which the
    // user closes with OK; over loaded data (also left by an earlier input) the question before
    // it is cleared may come first, answered OK too: two answers are kept ready, never more.
    while (p.driver.pendingAnswers() < 2) p.driver.answerMsgBox(qv::forms::vbOK);
    qv::InstanceMode = over && size % 2 ? 0 : 1;
    qv::frmCondition& c = qv::frmCondition::instance();
    if (over) (size % 2 ? c.optGetRemoteHost : c.optGetADBoard).setValue(true);
    const bool kept = over && qv::IsDataLoaded();
    if (p.runStopsOnAFault([&] {
            qv::GstrSettingFile = qv::ProgramFile("SETTING.SET");
            p.window->cmdLoadSetting_Click();
        }))
        std::abort();
    qv::InstanceMode = 1;
    const qv::AcqCondition& a = qv::GAcqCondition;
    const bool moved = kept && qv::IsDataLoaded() && (a.lStartCH != 1 || a.lEndCH != 2);
    if (a.lStartCH < 1 || a.lEndCH > 32 || a.lStartCH > a.lEndCH || moved) std::abort();
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
                              "Text=-10\r"),
            // Over the recording: other channels (local board and remote host), a range the
            // rows cannot hold, and a board with channels of its own.
            qv::fuzz::bytesOf("--REC--\n[frmCondition.txtCH]\r\nText=1-8\r\n"),
            qv::fuzz::bytesOf("--REC--\n[frmCondition.txtCH]\r\nText=1-8\r\n\n"),
            qv::fuzz::bytesOf("--REC--\n[frmCondition.txtCH]\r\nText=33\r\n"),
            qv::fuzz::bytesOf("--REC--\n[frmCondition.txtCH]\r\nText=1000\r\n\n"),
            qv::fuzz::bytesOf("--REC--\n[frmCondition.cmbADBoard]\r\nListIndex=24\r\n")};
}
