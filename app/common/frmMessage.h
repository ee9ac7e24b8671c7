#pragma once
// The small non-modal window that shows either a two-line message (please wait while the
// program starts, loads or saves) or the progress of an export, with its Abort box.
#include <cstdint>
#include <string>

#include "platform/forms/Form.h"

namespace qv {

class frmMessage : public forms::Form {
public:
    static frmMessage& instance();
    frmMessage();

    forms::PictureBox& PBX_Message;                          // the message panel
    forms::ControlArray<forms::Label> LBL_Progress_Caption;  // 0, 1: message lines; 2: caption
    forms::CommandButton& cmdClose;
    forms::PictureBox& PBX_Progress;                         // the progress panel
    forms::ProgressBar& ProgressBar1;
    forms::Label& LBL_Progress_Value;
    forms::Label& Label46;
    forms::Label& LBL_Progress_Max;
    forms::CheckBox& chkAbort;  // ticked by the user to stop a running export

    void cmdClose_Click();

    static const forms::FormDesign& design();   // the window as designed
};

// Shows (or hides) the message panel centred on the screen with the two lines and, when
// showClose, the Close button; lets pending messages run once so the text is visible before
// the caller's long work starts. Some callers pass a further flag, which has no effect.
void ShowMessage(bool show, const std::string& line1, const std::string& line2, bool showClose,
                 bool unusedFlag = false);

// Shows (or hides) the progress panel on top of all windows, centred over the main window:
// the bar at value of maximum (full when value exceeds it, empty when maximum is 0 or less),
// the caption and both numbers as given. Does not let messages run; the caller does.
void ShowProgress(bool show, const std::string& caption, int32_t value, int32_t maximum);

}  // namespace qv
