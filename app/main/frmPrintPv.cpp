#include "app/main/frmPrintPv.h"

namespace qv {

std::array<forms::Form*, 4> GPrintForms{};

frmPrintPv& frmPrintPv::instance() { return forms::loadForm<frmPrintPv>(); }

const forms::FormDesign& frmPrintPv::design() {
    static const forms::FormDesign d{"frmPrintPv", "Print Preview", 0, 0, 9600, 7200, {}, {}};
    return d;
}

frmPrintPv::frmPrintPv() : Form(design()) {}

void HardCopyForms() {}

}  // namespace qv
