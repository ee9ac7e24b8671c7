#pragma once
// The print preview window: the canvas the hard copy composes its window pictures on. Here it
// is still an empty window; the main window's close handler unloads it.
#include <array>

#include "platform/forms/Form.h"

namespace qv {

class frmPrintPv : public forms::Form {
public:
    static frmPrintPv& instance();
    static const forms::FormDesign& design();
    frmPrintPv();
};

// The windows the hard copy prints, slots 1 to 3 (index 0 unused).
extern std::array<forms::Form*, 4> GPrintForms;

// Prints the windows in GPrintForms. Printing is not built yet: nothing is printed.
void HardCopyForms();

}  // namespace qv
