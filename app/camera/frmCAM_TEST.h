#pragma once
// A diagnostic window that lists the camera frame tables: the frame positions as integers and
// as doubles, and the groups of frames that share one position. The hidden state window's
// check box shows and hides it; a click on a frame marks it on the main display.
#include <cstdint>
#include <vector>

#include "platform/forms/Form.h"

namespace qv {

class frmCAM_TEST : public forms::Form {
public:
    // Created on first use, hidden.
    static frmCAM_TEST& instance();
    static const forms::FormDesign& design();
    frmCAM_TEST();

    forms::CommandButton& Command1;  // appends the differences column to lstGlFlameTime
    forms::CommandButton& cmdDispStackFlameTable;
    forms::TextBox& Text2;
    forms::ListBox& lstGlFlameTime;
    forms::ListBox& lstGdblFlameTime;
    forms::ListBox& lstStackFlameTable;
    forms::ListBox& lstStackFlameTableID;  // never filled
    forms::PictureBox& pbxSel;

    // Rows "i:value", the value with ten integer digits (and ten decimals for doubles).
    void DispArray(const std::vector<int32_t>& values, forms::ListBox& list);
    void DispArrayDbl(const std::vector<double>& values, forms::ListBox& list);
    // Rows "i:frames" for the groups of StackFlameTable, without their keys.
    void DispStackFlameTable();

    void Command1_Click();
    void cmdDispStackFlameTable_Click();
    void lstGlFlameTime_Click();
};

}  // namespace qv
