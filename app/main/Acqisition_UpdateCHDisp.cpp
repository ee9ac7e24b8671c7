// Relayout after the shown channels changed.
#include "app/main/Acqisition.h"

namespace qv {

void Acqisition::UpdateCHDisp() {
    DispCHCtrl();
    SetDispCH_GCWave();
    RedrawAfterLayout(false);
}

}  // namespace qv
