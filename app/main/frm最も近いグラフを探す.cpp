#include "app/main/frm最も近いグラフを探す.h"

namespace qv {

frm最も近いグラフを探す& frm最も近いグラフを探す::instance() {
    return forms::loadForm<frm最も近いグラフを探す>();
}

const forms::FormDesign& frm最も近いグラフを探す::design() {
    static const forms::FormDesign d{"frm最も近いグラフを探す", "最も近いグラフを探す", 0, 0, 6000, 4500, {}, {}};
    return d;
}

frm最も近いグラフを探す::frm最も近いグラフを探す() : Form(design()) {}

}  // namespace qv
