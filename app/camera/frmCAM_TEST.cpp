#include "app/camera/frmCAM_TEST.h"

#include <string>

#include "app/camera/frmCAMDisp.h"
#include "app/camera/modCAM.h"
#include "app/common/modCommon.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Runtime.h"

namespace qv {

frmCAM_TEST& frmCAM_TEST::instance() { return forms::loadForm<frmCAM_TEST>(); }

frmCAM_TEST::frmCAM_TEST()
    : Form(design()),
      Command1(ctl<forms::CommandButton>("Command1")),
      cmdDispStackFlameTable(ctl<forms::CommandButton>("cmdDispStackFlameTable")),
      Text2(ctl<forms::TextBox>("Text2")),
      lstGlFlameTime(ctl<forms::ListBox>("lstGlFlameTime")),
      lstGdblFlameTime(ctl<forms::ListBox>("lstGdblFlameTime")),
      lstStackFlameTable(ctl<forms::ListBox>("lstStackFlameTable")),
      lstStackFlameTableID(ctl<forms::ListBox>("lstStackFlameTableID")),
      pbxSel(ctl<forms::PictureBox>("pbxSel")) {
    on(Command1.Click, &frmCAM_TEST::Command1_Click);
    on(cmdDispStackFlameTable.Click, &frmCAM_TEST::cmdDispStackFlameTable_Click);
    on(lstGlFlameTime.Click, &frmCAM_TEST::lstGlFlameTime_Click);
}

namespace {

template <class T>
void listValues(const std::vector<T>& values, forms::ListBox& list, const char* pattern) {
    list.Clear();
    for (size_t i = 0; i < values.size(); ++i)
        list.AddItem(std::to_string(i) + ":" + basic::Format(static_cast<double>(values[i]), pattern));
}

}  // namespace

void frmCAM_TEST::DispArray(const std::vector<int32_t>& values, forms::ListBox& list) {
    listValues(values, list, "0000000000");
}

void frmCAM_TEST::DispArrayDbl(const std::vector<double>& values, forms::ListBox& list) {
    listValues(values, list, "0000000000.0000000000");
}

void frmCAM_TEST::DispStackFlameTable() {
    lstStackFlameTable.Clear();
    for (int32_t i = 0; i < StackFlameTable.Count(); ++i)
        lstStackFlameTable.AddItem(std::to_string(i) + ":" + StackFlameTable.Item(i + 1));
}

// From the last row up, so each difference is taken against the previous row as it was; a
// second press appends a second column from the same second field.
void frmCAM_TEST::Command1_Click() {
    lstGlFlameTime.setVisible(false);
    for (int i = lstGlFlameTime.ListCount() - 1; i >= 1; --i) {
        const double now = basic::Val(GetFields(lstGlFlameTime.List(i), 2, 2, ":"));
        const double before = basic::Val(GetFields(lstGlFlameTime.List(i - 1), 2, 2, ":"));
        const int32_t d = basic::CLng(now - before);
        lstGlFlameTime.setList(i, lstGlFlameTime.List(i) + ":" + std::to_string(d));
        forms::DoEvents();
    }
    lstGlFlameTime.setVisible(true);
}

void frmCAM_TEST::cmdDispStackFlameTable_Click() { DispStackFlameTable(); }

void frmCAM_TEST::lstGlFlameTime_Click() {
    // The main display marks the selected frame when it draws.
    Acqisition::instance().PBXMoniDisp.Refresh();
    frmCAMDisp::instance().DispFlame2(lstGlFlameTime.ListIndex(), pbxSel.hWnd());
    lstGdblFlameTime.setListIndex(lstGlFlameTime.ListIndex());
    lstGdblFlameTime.setTopIndex(lstGlFlameTime.TopIndex());
}

}  // namespace qv
