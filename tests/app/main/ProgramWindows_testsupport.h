#pragma once
// Every window the program can create, with its design and the way a test opens it: a new
// window is one line here.
#include <cctype>
#include <ostream>
#include <string>
#include <string_view>

#include "app/camera/frmCAMDisp.h"
#include "app/camera/frmCAM_TEST.h"
#include "app/channel/frmCondition.h"
#include "app/channel/frmSelectAmp.h"
#include "app/common/frmMessage.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "app/main/frmPrintPv.h"
#include "app/main/frm最も近いグラフを探す.h"
#include "app/recording/frmBMP.h"
#include "app/recording/frmBMP2JPG.h"
#include "platform/forms/Forms.h"

namespace qv::apptest {

struct ProgramWindow {
    const char* name;
    const forms::FormDesign& (*design)();
    // Loads the window (the main window first, as the program does) and shows it, modeless.
    forms::Form& (*open)();
};

template <class F>
forms::Form& openWindow() {
    F& f = F::instance();
    f.Show();
    return f;
}

inline const ProgramWindow kProgramWindows[] = {
    {"Acqisition", &Acqisition::design, &openWindow<Acqisition>},
    {"Acqisition2", &Acqisition2::design, &openWindow<Acqisition2>},
    {"frmBMP", &frmBMP::design, &openWindow<frmBMP>},
    {"frmBMP2JPG", &frmBMP2JPG::design, &openWindow<frmBMP2JPG>},
    {"frmCAMDisp", &frmCAMDisp::design, &openWindow<frmCAMDisp>},
    {"frmCAM_TEST", &frmCAM_TEST::design, &openWindow<frmCAM_TEST>},
    {"frmCondition", &frmCondition::design, &openWindow<frmCondition>},
    {"frmMessage", &frmMessage::design, &openWindow<frmMessage>},
    {"frmPrintPv", &frmPrintPv::design, &openWindow<frmPrintPv>},
    {"frmSelectAmp", &frmSelectAmp::design, &openWindow<frmSelectAmp>},
    {"frm最も近いグラフを探す", &frm最も近いグラフを探す::design, &openWindow<frm最も近いグラフを探す>},
};

inline void PrintTo(const ProgramWindow& w, std::ostream* os) { *os << w.name; }

// A test name for a row of a table: the ASCII letters and digits of its name and its place.
inline std::string asciiTestName(std::string_view name, size_t index) {
    std::string n;
    for (char ch : name)
        if (std::isalnum(static_cast<unsigned char>(ch)) && ch > 0) n += ch;
    return n + "_" + std::to_string(index);
}
inline std::string windowTestName(const ProgramWindow& w, size_t index) { return asciiTestName(w.name, index); }

}  // namespace qv::apptest
