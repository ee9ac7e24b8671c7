#include "app/common/frmMessage.h"

#include <algorithm>

#include "platform/basic/Numbers.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Runtime.h"

namespace qv {

frmMessage& frmMessage::instance() { return forms::loadForm<frmMessage>(); }

frmMessage::frmMessage()
    : Form(design()),
      PBX_Message(ctl<forms::PictureBox>("PBX_Message")),
      LBL_Progress_Caption(array<forms::Label>("LBL_Progress_Caption")),
      cmdClose(ctl<forms::CommandButton>("cmdClose")),
      PBX_Progress(ctl<forms::PictureBox>("PBX_Progress")),
      ProgressBar1(ctl<forms::ProgressBar>("ProgressBar1")),
      LBL_Progress_Value(ctl<forms::Label>("LBL_Progress_Value")),
      Label46(ctl<forms::Label>("Label46")),
      LBL_Progress_Max(ctl<forms::Label>("LBL_Progress_Max")),
      chkAbort(ctl<forms::CheckBox>("chkAbort")) {
    on(cmdClose.Click, &frmMessage::cmdClose_Click);
}

void frmMessage::cmdClose_Click() {
    PBX_Message.setVisible(false);
    setVisible(false);
}

namespace {

// Centres the window, at its present size, over the area (twips), then gives it the size of
// the message panel, which both panels share.
void placeOver(frmMessage& f, double left, double top, double width, double height) {
    f.Move(left + (width - f.Width()) / 2, top + (height - f.Height()) / 2, f.Width(), f.Height());
    f.Move(f.Left(), f.Top(), f.PBX_Message.Width(), f.PBX_Message.Height());
}

void showPanel(forms::PictureBox& shown, forms::PictureBox& hidden) {
    shown.Move(-15, -15, shown.Width(), shown.Height());
    shown.setVisible(true);
    hidden.setVisible(false);
}

}  // namespace

void ShowMessage(bool show, const std::string& line1, const std::string& line2, bool showClose,
                 bool /*unusedFlag*/) {
    frmMessage& f = frmMessage::instance();
    f.setVisible(show);
    placeOver(f, 0, 0, forms::Screen.Width(), forms::Screen.Height());
    showPanel(f.PBX_Message, f.PBX_Progress);
    f.LBL_Progress_Caption(0).setCaption(line1);
    f.LBL_Progress_Caption(1).setCaption(line2);
    f.cmdClose.setVisible(showClose);
    f.PBX_Message.setVisible(true);
    f.Refresh();
    forms::DoEvents();
}

void ShowProgress(bool show, const std::string& caption, int32_t value, int32_t maximum) {
    frmMessage& f = frmMessage::instance();
    f.setTopMost(show);
    f.setVisible(show);
    if (const forms::Form* main = forms::Runtime::get().findForm("Acqisition"))
        placeOver(f, main->Left(), main->Top(), main->Width(), main->Height());
    else
        placeOver(f, 0, 0, forms::Screen.Width(), forms::Screen.Height());
    showPanel(f.PBX_Progress, f.PBX_Message);
    // The bar cannot show a maximum of 0 or less, nor a value outside 0..maximum: it stays
    // empty or full then, while the labels show the numbers as given.
    if (maximum > 0) {
        f.ProgressBar1.setMax(maximum);
        f.ProgressBar1.setValue(std::clamp(value, 0, maximum));
    } else {
        f.ProgressBar1.setValue(0);
    }
    f.LBL_Progress_Caption(2).setCaption(caption);
    f.LBL_Progress_Value.setCaption(basic::CStr(value));
    f.LBL_Progress_Max.setCaption(basic::CStr(maximum));
    f.chkAbort.setVisible(true);
}

}  // namespace qv
