#include "app/channel/frmSelectAmp.h"

#include <array>
#include <cstdio>
#include <optional>
#include <utility>

#include "app/channel/AmpCalTable.h"
#include "app/channel/CCalSetting.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/common/modSub_ListBox.h"
#include "platform/basic/Numbers.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/forms/Runtime.h"

namespace qv {

namespace {

constexpr int32_t kChannels = 32;
// Gains up to this one give millivolts, larger ones microvolts.
constexpr int32_t kMaxMilliVoltGain = 1000;

// "AMP00", "AMP01", ..., "AMP100".
std::string sectionName(int32_t i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "AMP%02d", static_cast<int>(i));
    return buf;
}

constexpr const char* kGainKey = "AmpDef.ini GAIN";

// A gain text as the whole number it is used as; 0 when that is no positive 32-bit number (one
// beyond the range is logged).
int32_t wholeGain(const std::string& text) {
    const std::optional<double> v = StoredNumber(text, kGainKey);
    if (!v || !(*v > 0)) return 0;
    return StoredLong(text, kGainKey).value_or(0);
}

// The value is taken through its shortest text first, so a float such as 0.1f counts as the
// decimal 0.1 the user sees, not as its binary neighbour.
float perGain(float value, int32_t gain) {
    const double v = basic::Val(basic::CStr(value));
    const double scale = gain <= kMaxMilliVoltGain ? 1000.0 : 1000000.0;
    return basic::CSng(basic::Divide(v, gain) * scale);
}

}  // namespace

frmSelectAmp& frmSelectAmp::instance() { return forms::loadForm<frmSelectAmp>(); }

frmSelectAmp::frmSelectAmp()
    : Form(design()),
      lblADBoard(ctl<forms::Label>("lblADBoard")),
      cmbSelectAmp(ctl<forms::ComboBox>("cmbSelectAmp")),
      cmbSelectGain(ctl<forms::ComboBox>("cmbSelectGain")),
      cmbAmpRate(ctl<forms::ComboBox>("cmbAmpRate")),
      cmbSelectCH(ctl<forms::ComboBox>("cmbSelectCH")),
      txtName(ctl<forms::TextBox>("txtName")),
      txtUnit(ctl<forms::TextBox>("txtUnit")),
      txtEUHI(ctl<forms::TextBox>("txtEUHI")),
      txtEULO(ctl<forms::TextBox>("txtEULO")),
      txtCALAD(ctl<forms::TextBox>("txtCALAD")),
      txtBASEAD(ctl<forms::TextBox>("txtBASEAD")),
      cmdExecute(ctl<forms::CommandButton>("cmdExecute")) {
    on(Load, &frmSelectAmp::Form_Load);
    on(cmbSelectAmp.Click, &frmSelectAmp::cmbSelectAmp_Click);
    on(cmbAmpRate.Click, &frmSelectAmp::cmbAmpRate_Click);
    on(cmbSelectCH.Click, &frmSelectAmp::cmbSelectCH_Click);
    on(cmbSelectGain.Click, &frmSelectAmp::cmbSelectGain_Click);
    on(cmdExecute.Click, &frmSelectAmp::cmdExecute_Click);
}

void frmSelectAmp::Form_Load() {
    lblADBoard.setCaption(GAcqCondition.strADBOARD);
    {
        // The definitions are read only; the program's current ini file is given back after.
        IniPathGuard ini(ProgramFile("AmpDef.ini"));
        const int32_t n = ListCountFromText(ReadIniString("SETTING", "AMPNUM", "0"));
        ampName_.assign(n, {});
        ampCH_.assign(n, {});
        ampGain_.assign(n, {});
        ampGainDisp_.assign(n, {});
        for (int32_t i = 0; i < n; ++i) {
            const std::string s = sectionName(i);
            ampName_[i] = ReadIniString(s, "NAME", "");
            ampCH_[i] = ReadIniString(s, "CH", "");
            ampGain_[i] = ReadIniString(s, "GAIN", "");
            ampGainDisp_[i] = ReadIniString(s, "GAINDISP", "");
            cmbSelectAmp.AddItem(ampName_[i]);
        }
    }
    for (int32_t ch = 1; ch <= kChannels; ++ch) cmbSelectCH.AddItem(basic::CStr(ch));
    AmpSelect();
    if (cmbSelectAmp.ListCount() > 0) cmbSelectAmp.setListIndex(0);
}

void frmSelectAmp::AmpSelect() {
    const int i = cmbSelectAmp.ListIndex();
    if (i < 0 || i >= static_cast<int>(ampGain_.size())) return;
    const std::vector<std::string> gains = basic::Split(ampGain_[i], ",");
    const std::vector<std::string> texts = basic::Split(ampGainDisp_[i], ",");
    cmbSelectGain.Clear();
    cmbAmpRate.Clear();
    // A display list shorter than the gains shows the gain itself where its text is missing,
    // so both lists keep the same positions.
    for (size_t k = 0; k < gains.size(); ++k) {
        cmbSelectGain.AddItem(gains[k]);
        cmbAmpRate.AddItem(k < texts.size() ? texts[k] : gains[k]);
    }
    if (cmbAmpRate.ListCount() > 0) cmbAmpRate.setListIndex(0);
    if (cmbSelectCH.ListIndex() < 0) cmbSelectCH.setListIndex(0);

    // Without a preset for the board (no board chosen yet, or one without a table) the A/D
    // boxes keep what they show.
    std::string board;
    if (const CCalSetting* cal = GetIntCAL(board)) {
        txtCALAD.setText(cal->Cal_AD(0));
        txtBASEAD.setText(cal->Base_AD(0));
    }
    showGain(selectedGain());
}

float frmSelectAmp::CalcEU_HI(int32_t gain) const { return perGain(GCalRecEU[0].EU_HI, gain); }

float frmSelectAmp::CalcEU_LO(int32_t gain) const { return perGain(GCalRecEU[0].EU_LO, gain); }

int32_t frmSelectAmp::selectedGain() const {
    return cmbSelectGain.ListIndex() < 0 ? 0 : wholeGain(cmbSelectGain.Text());
}

// A gain whose values do not fit single precision (a calibration range near the float limit)
// is as unusable as no gain: the boxes are emptied, so no row can be written, and it is logged.
void frmSelectAmp::showGain(int32_t gain) {
    std::optional<std::pair<float, float>> eu;
    if (gain > 0) {
        try {
            eu = {CalcEU_HI(gain), CalcEU_LO(gain)};
        } catch (const basic::RuntimeError&) {
            LogRefusedSetting(basic::CStr(gain), kGainKey);
        }
    }
    if (!eu) {
        txtUnit.setText("");
        txtEUHI.setText("");
        txtEULO.setText("");
        return;
    }
    txtUnit.setText(gain <= kMaxMilliVoltGain ? "mV" : "μV");
    txtEUHI.setText(basic::CStr(eu->first));
    txtEULO.setText(basic::CStr(eu->second));
}

void frmSelectAmp::cmbSelectAmp_Click() { AmpSelect(); }

void frmSelectAmp::cmbAmpRate_Click() {
    const int k = cmbAmpRate.ListIndex();
    if (k < cmbSelectGain.ListCount()) cmbSelectGain.setListIndex(k);
}

void frmSelectAmp::cmbSelectGain_Click() { showGain(selectedGain()); }

void frmSelectAmp::cmbSelectCH_Click() {
    const int c = cmbSelectCH.ListIndex();
    const forms::Form* main = forms::Runtime::get().findForm("Acqisition");
    const forms::Control* name = main && c >= 0 ? main->findControl("txtName", c) : nullptr;
    if (name) txtName.setText(name->get("Text").toString());
}

void frmSelectAmp::cmdExecute_Click() {
    // A row is written whole or not at all: not without a channel, nor while a value box is
    // empty (no amplifier, no usable gain, no preset for the board), nor into a table row
    // the main window does not have.
    const int c = cmbSelectCH.ListIndex();
    if (c < 0 || c >= kChannels) return;
    const std::array<const forms::TextBox*, 6> boxes = {&txtName, &txtUnit,  &txtEUHI,
                                                        &txtEULO, &txtCALAD, &txtBASEAD};
    for (const forms::TextBox* box : {&txtEUHI, &txtEULO, &txtCALAD, &txtBASEAD})
        if (box->Text().empty()) return;
    const forms::Form* main = forms::Runtime::get().findForm("Acqisition");
    if (!main) return;
    std::array<forms::Control*, 6> row{};
    for (size_t k = 0; k < boxes.size(); ++k) {
        row[k] = main->findControl(boxes[k]->Name(), c);
        if (!row[k]) return;
    }
    for (size_t k = 0; k < boxes.size(); ++k) row[k]->set("Text", boxes[k]->Text());
}

}  // namespace qv
