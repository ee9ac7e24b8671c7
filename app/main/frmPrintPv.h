#pragma once
// The print preview window. The hard copy uses it hidden, as the canvas on which the pictures
// of the windows to print are composed side by side; shown, it is a scrollable preview with a
// print and a cancel button, and it remembers where it stood.
#include <array>
#include <string>
#include <vector>

#include "platform/forms/Form.h"

namespace qv {

class frmPrintPv : public forms::Form {
public:
    static frmPrintPv& instance();
    static const forms::FormDesign& design();
    frmPrintPv();

    forms::CommandButton& cmdPrint;
    forms::CommandButton& cmdClose;
    forms::ControlArray<forms::OptionButton> optSize;
    forms::PictureBox& picBase;     // the viewport
    forms::PictureBox& picPreview;  // the canvas inside it
    forms::HScrollBar& hsbScrollBar;
    forms::VScrollBar& vsbScrollBar;
    forms::ControlArray<forms::PictureBox> pbxBuff;  // one hidden buffer per capture

    int bClosing = 0;  // 1 after cancel: no capture is taken any more
    forms::Form* CurForm1 = nullptr;
    forms::Form* CurForm2 = nullptr;
    std::vector<forms::Form*> PrtForms;
    std::vector<float> sngFormWidth;   // outer size of each capture, pixels
    std::vector<float> sngFormHeight;
    float sngMaxHeight = 0;

    void Init();
    void Terminate();
    void SetForm(forms::Form* form);
    void SetForm2(forms::Form* form);
    void AddForm(forms::Form* form);
    float GetMaxHieght();
    void CreatePic_H();
    void CreatePic();
    // Keeps the window on the screen and sets its z-order; false when it could not be placed.
    bool fnWinPosition(forms::Form& form, bool bNotTopmost);

    void Form_Load();
    void Form_Resize();
    void Form_QueryUnload(int& Cancel, int UnloadMode);
    void Form_Unload(int& Cancel);
    void cmdPrint_Click();
    void cmdClose_Click();
    void optSize_Click(int Index);
    void vsbScrollBar_Change();
    void hsbScrollBar_Change();

private:
    void CaptureToBuffer(forms::Form* form, int index);
    void restorePlacement();
    void savePlacement();
    // Saves the canvas to "Tmp.bmp" and shows what was read back.
    void roundTripCanvas();
};

// The per-user store's application name and the preview's section in it.
inline constexpr const char* kSettingsApplication = "Quorvane";
inline constexpr const char* kPrintPvSection = "Settings\\PrintPv";

// The windows the hard copy prints, slots 1 to 3 (index 0 unused).
extern std::array<forms::Form*, 4> GPrintForms;

// Prints the windows in GPrintForms side by side on one page.
void HardCopyForms();

}  // namespace qv
