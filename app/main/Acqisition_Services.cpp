// The main window's display, recording and calibration operations in the least form that lets
// the window start, show its monitor and close: the monitor's graph and cursors, the range
// boxes, and the settings and recording loads as far as their callers rely on them. Drawing,
// read-outs and the file loads themselves come with the display and data-file code.
#include <algorithm>
#include <limits>

#include "app/channel/AmpCalTable.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/main/Acqisition.h"

namespace qv {

void Acqisition::SaveObjectValue() {}

CCalSetting* Acqisition::GetIntCAL(std::string& name) { return qv::GetIntCAL(name); }

// Reads the settings file back through the conditions window and applies it again.
void Acqisition::cmdLoadSetting_Click() {
    SetDispStatus("LOAD COND", false);
    WriteLog("LOAD COND. " + GstrSettingFile, true);
    frmCondition& condition = frmCondition::instance();
    const bool wasInternal = bInternalUpdate;
    bInternalUpdate = true;
    condition.LoadParamAll();
    SetDispStatus("ReadSet", false);
    condition.SaveObjectValue();
    condition.SetCondition(true, false);
    bInternalUpdate = wasInternal;
    SetDispStatus("End", true);
    SyncSweep();
}

}  // namespace qv
