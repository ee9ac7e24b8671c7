// The hidden state window: wiring and its few commands.
#include "app/main/Acqisition2.h"

#include "app/camera/frmCAM_TEST.h"
#include "app/channel/CCalSetting.h"
#include "app/common/DaskBase.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"

namespace qv {

Acqisition2& Acqisition2::instance() { return forms::loadForm<Acqisition2>(); }

#define QV_BIND_CONTROL(T, n) n(ctl<forms::T>(#n)),
Acqisition2::Acqisition2() : Form(design()), QV_ACQISITION2_CONTROLS(QV_BIND_CONTROL) lVocaptTaskId(0) {
    on(chkDispCAM_TEST.Click, &Acqisition2::chkDispCAM_TEST_Click);
    on(txtInterval.Change, &Acqisition2::txtInterval_Change);
    on(timPlayWav.Tick, &Acqisition2::timPlayWav_Timer);
    on(cmdCMD_GetSetting2.Click, &Acqisition2::cmdCMD_GetSetting2_Click);
    on(cmdSubPrgGetSetting.Click, &Acqisition2::cmdSubPrgGetSetting_Click);
    on(cmdCopyCAL.Click, &Acqisition2::cmdCopyCAL_Click);
    on(cmdSweep10000.Click, &Acqisition2::cmdSweep10000_Click);
    on(cmdVocaptnize.Click, &Acqisition2::cmdVocaptnize_Click);
    on(cmdEXCH_MP32WAV.Click, &Acqisition2::cmdEXCH_MP32WAV_Click);
}
#undef QV_BIND_CONTROL

// Shows the frame-table test window while the box is ticked.
void Acqisition2::chkDispCAM_TEST_Click() {
    if (chkDispCAM_TEST.Value() == 1)
        frmCAM_TEST::instance().Show();
    else
        frmCAM_TEST::instance().Hide();
}

// A number the timer cannot take (beyond 0..65535 ms) leaves the interval as it was.
void Acqisition2::txtInterval_Change() {
    if (const auto ms = StoredLong(txtInterval.Text(), "Acqisition2.txtInterval", 0, 65535))
        timPlayWav.setInterval(*ms);
}

// Playback by timer reads its switch and has nothing to play.
void Acqisition2::timPlayWav_Timer() { (void)chkPlayWave.Value(); }

void Acqisition2::cmdCMD_GetSetting2_Click() { Acqisition::instance().CallCMD_GetSetting2(); }
void Acqisition2::cmdSubPrgGetSetting_Click() { Acqisition::instance().SubPrgGetSetting(); }

void Acqisition2::cmdCopyCAL_Click() { GCCalSettingCopy.Clone(GCCalSettingAcq); }

void Acqisition2::cmdSweep10000_Click() {
    const int32_t points = basic::CLng(MsToPoint(10000));
    GAcqParam.lSweepPoint = points;
    GGraphSweep = points;
}

// The tool gets the file name as one argument, whatever blanks it holds: no shell splits it.
void Acqisition2::cmdVocaptnize_Click() {
    lVocaptTaskId = StartOutsideProgram({ProgramFile("tool\\Vocapt.exe"),
                                         "/FILENAME=" + Acqisition::instance().txtFName.Text() + ".WAV"});
}

void Acqisition2::cmdEXCH_MP32WAV_Click() {}

}  // namespace qv
