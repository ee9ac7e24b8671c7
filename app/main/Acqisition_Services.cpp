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

CCalSetting* Acqisition::GetIntCAL(std::string& name) { return qv::GetIntCAL(name); }

}  // namespace qv
