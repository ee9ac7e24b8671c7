#pragma once
// The nearest-waveform window. Here it is still an empty window that the main window's check
// box shows and hides.
#include "platform/forms/Form.h"

namespace qv {

class frm最も近いグラフを探す : public forms::Form {
public:
    static frm最も近いグラフを探す& instance();
    static const forms::FormDesign& design();
    frm最も近いグラフを探す();
};

}  // namespace qv
