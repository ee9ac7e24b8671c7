#pragma once
// The amplifier selection window: the user picks an external amplifier defined in "AmpDef.ini",
// one of its gains and a channel; the window works out that channel's calibration row (name,
// unit, EU_HI, EU_LO, Cal_AD, Base_AD) and writes it into the main window's calibration table.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/forms/Form.h"

namespace qv {

class frmSelectAmp : public forms::Form {
public:
    // Created, and Form_Load run, on first use.
    static frmSelectAmp& instance();
    frmSelectAmp();

    forms::Label& lblADBoard;      // board text of the live conditions
    forms::ComboBox& cmbSelectAmp;  // amplifier names
    forms::ComboBox& cmbSelectGain; // the gains as written in the file
    forms::ComboBox& cmbAmpRate;    // their display texts, kept at the gain's position
    forms::ComboBox& cmbSelectCH;   // "1" ... "32"
    forms::TextBox& txtName;
    forms::TextBox& txtUnit;
    forms::TextBox& txtEUHI;
    forms::TextBox& txtEULO;
    forms::TextBox& txtCALAD;
    forms::TextBox& txtBASEAD;
    forms::CommandButton& cmdExecute;

    // Set by the main window before it shows the window; nothing here reads them.
    int32_t BoardRange() const { return boardRange_; }
    void setBoardRange(int32_t v) { boardRange_ = v; }
    int32_t BoardBit() const { return boardBit_; }
    void setBoardBit(int32_t v) { boardBit_ = v; }

    // Refills the gain lists for the selected amplifier and shows the row for its first gain.
    void AmpSelect();
    // The first channel's EU_HI (EU_LO) of the working calibration divided by the gain, in mV up
    // to gain 1000 and in µV above. A gain of 0 raises error 11 (6 when the value is 0 too).
    float CalcEU_HI(int32_t gain) const;
    float CalcEU_LO(int32_t gain) const;

    void Form_Load();
    void cmbSelectAmp_Click();
    void cmbAmpRate_Click();
    void cmbSelectCH_Click();
    void cmbSelectGain_Click();
    void cmdExecute_Click();

    static const forms::FormDesign& design();   // the window as designed

private:
    // The selected gain as a whole number; 0 when none is selected or its text is no usable
    // (positive, 32-bit) gain.
    int32_t selectedGain() const;
    // Unit and EU boxes for that gain; all three empty for 0.
    void showGain(int32_t gain);

    // One entry per amplifier section, in file order.
    std::vector<std::string> ampName_;
    std::vector<std::string> ampCH_;
    std::vector<std::string> ampGain_;
    std::vector<std::string> ampGainDisp_;
    int32_t boardRange_ = 0;
    int32_t boardBit_ = 0;
};

}  // namespace qv
