// The settings file as "LOAD COND." reads it: any bytes as "SETTING.SET", loaded into the
// conditions window and applied. A number out of range must never stop the load (run-time
// error 6 is a finding, as is any exception that is no run-time error); the other refusals are
// the program's own.
#include <cstdlib>

#include "FuzzTarget.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"

namespace {

struct Program {
    qv::apptest::TempProgramFolder prog;
    qv::apptest::StartableProgram startable{prog};
    qv::forms::Driver driver;
    qv::Acqisition* window = nullptr;
    Program() {
        driver.run([this] {
            window = &qv::Acqisition::instance();
            window->Show();
        });
    }
};

Program& program() {
    static Program p;
    return p;
}

}  // namespace

QV_FUZZ_TARGET(SettingsFile) {
    Program& p = program();
    if (p.driver.ended() || !p.window) std::abort();
    p.prog.writeBytes("SETTING.SET", std::string(reinterpret_cast<const char*>(data), size));
    qv::kernel::clearProfileCache();
    const size_t errorsBefore = p.driver.errors().size();
    p.driver.run([&] {
        qv::GstrSettingFile = qv::ProgramFile("SETTING.SET");
        p.window->cmdLoadSetting_Click();
    });
    for (size_t i = errorsBefore; i < p.driver.errors().size(); ++i)
        if (p.driver.errors()[i].starts_with("Run-time error '6'") ||
            p.driver.errors()[i].starts_with("Run-time error '51'"))  // an exception that is no run-time error
            std::abort();
    return 0;
}

QV_FUZZ_SEEDS(SettingsFile) {
    return {qv::fuzz::bytesOf("[GLOBAL]\r\nGlwdtCnt=2500\r\n[frmCondition.txtCH]\r\nText=1-4\r\n"
                              "[frmCondition.txtSweepTime]\r\nText=1000\r\n[frmCondition.chkSync]\r\nValue=0\r\n"
                              "[frmCondition.chkTriggerSetting]\r\nValue=1\r\n[frmCondition.txtTrgPoint]\r\nText=-10\r\n"),
            qv::fuzz::bytesOf("[frmCondition.cmbADBoard]\r\nListCount=3\r\nListIndex=1\r\nText=x\r\n"
                              "[frmCondition.cmbTTL]\r\nListIndex=1\r\n[frmCondition.txtCH]\r\nText=2-31\r\n")};
}
