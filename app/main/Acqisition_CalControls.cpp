// The controls around the calibration table: exchanging the table with the library's store,
// choosing which calibration set the table shows, the per-channel calibration boxes, the file
// buttons, and the three converters from engineering units to A/D counts of the trigger entry.
#include <cstdint>
#include <string>

#include "app/channel/AmpCalTable.h"
#include "app/channel/CCalSetting.h"
#include "app/channel/CCalcCAL.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_Monitor.h"
#include "platform/basic/Basic.h"

namespace qv {

CCalSetting* Acqisition::GetIntCAL(std::string& name) { return qv::GetIntCAL(name); }

namespace {

constexpr forms::Color kTextBlack = 0;
constexpr forms::Color kTextRed = 255;
constexpr int kEnter = 13;

// The table row of the trigger comparison channel; -1 when the conditions name no channel of
// the 32 rows.
int32_t comparisonRow() {
    const double row = basic::TypedVal(GAcqCondition.strCOMP_CH) - 1.0;
    if (!(row > -1.0 && row < 32.0)) return -1;  // an exponent beyond any number included
    const int32_t k = basic::CLng(row);
    return k <= 31 && k >= 0 ? k : -1;
}

// Fills the table from `set` with the rows of the live channel range; conditions that name no
// range (0 before any is set) show no rows. A load shows the table through the option's click.
void showTable(Acqisition& w, const CCalSetting& set) {
    const monitor::ChannelSpan span = monitor::channelsOf(GAcqCondition);
    w.DispCalLogged(set, span.first + 1, span.last + 1);
}

// The option pair: `source` becomes the shown set. Showing another set is no edit, so "No
// Store" keeps the state it had before the refill.
void showSet(Acqisition& w, const CCalSetting& source) {
    const bool notStored = w.lblCALStatus.Visible();
    source.Clone(GCCalSettingDisp);
    showTable(w, GCCalSettingDisp);
    w.lblCALStatus.setVisible(notStored);
    w.ALL_BTN_ModeSet();
}

}  // namespace

void Acqisition::DispCalLogged(const CCalSetting& set, int32_t first, int32_t last) {
    try {
        set.DispCal(*this, first, last);
    } catch (const basic::RuntimeError& e) {
        try {
            WriteLog("校正値を表示できませんでした。(" + basic::CStr(e.number()) + " " + e.description() + ")", true);
        } catch (const basic::RuntimeError&) {
        }
    }
}

bool Acqisition::InRange(float x, float upper, float lower) { return lower <= x && x <= upper; }

void Acqisition::cmdGETCAL_Click() {
    GCCalSettingDisp.GETCAL();
    showTable(*this, GCCalSettingDisp);
}

// The table's recorded rows, ticked or not, go to the acquisition set whichever set is shown,
// and from there to the library.
void Acqisition::cmdPUTCAL_Click() {
    const monitor::ChannelSpan span = monitor::channelsOf(GAcqCondition);
    for (int32_t i = span.first; i <= span.last; ++i) {
        GCCalSettingAcq.CHName(i, txtName(i).Text());
        GCCalSettingAcq.Unit(i, txtUnit(i).Text());
        GCCalSettingAcq.Base_AD(i, txtBASEAD(i).Text());
        GCCalSettingAcq.Cal_AD(i, txtCALAD(i).Text());
        GCCalSettingAcq.EU_HI(i, txtEUHI(i).Text());
        GCCalSettingAcq.EU_LO(i, txtEULO(i).Text());
    }
    GCCalSettingAcq.PUTCAL();
}

void Acqisition::cmdDISPREGISTEDCAL_Click() {
    GCCalSettingAcq.GETCAL();
    showTable(*this, GCCalSettingAcq);
    lblCALStatus.setVisible(false);
}

void Acqisition::optCalAcq_Click() { showSet(*this, GCCalSettingAcq); }
void Acqisition::optCalDisp_Click() { showSet(*this, GCCalSettingCopy); }

// The calibration file itself is written by the quit button; these only end the mode.
void Acqisition::cmdSAVECAL_Click() {
    SetDispStatus("End", false);
    ALL_BTN_ModeSet();
}

void Acqisition::cmdLOADCAL_Click() {
    SetDispStatus("End", false);
    ALL_BTN_ModeSet();
}

void Acqisition::chkCal_Click(int Index) {
    GAcqParam.lchkCal_Value.at(static_cast<size_t>(Index)) = static_cast<int16_t>(chkCal(Index).Value());
}

// The values come from the table's boxes as they stand, so unstored edits count at once. A
// row without a span, a comparison channel outside the table or a count beyond 32 bits leaves
// the A/D box as it is and marks the engineering value red.
void Acqisition::ConvertEUToAD(forms::TextBox& eu, forms::TextBox& ad, bool level) {
    const int32_t k = comparisonRow();
    int32_t counts = 0;
    bool converted = false;
    if (k >= 0) {
        try {
            const float x = basic::CSng(basic::Val(eu.Text()));
            const int32_t cal = basic::CLng(basic::Val(txtCALAD(k).Text()));
            const int32_t base = level ? basic::CLng(basic::Val(txtBASEAD(k).Text())) : 0;
            const float hi = basic::CSng(basic::Val(txtEUHI(k).Text()));
            const float lo = basic::CSng(basic::Val(txtEULO(k).Text()));
            if (hi != lo) {
                counts = CCalcCAL::Calc_Analog2Digi(x, cal, base, hi, lo);
                converted = true;
            }
        } catch (const basic::RuntimeError& e) {
            if (e.number() != basic::errOverflow && e.number() != basic::errDivisionByZero) throw;
        }
    }
    if (!converted) {
        eu.setForeColor(kTextRed);
        return;
    }
    ad.setText(basic::CStr(counts));
    const bool inRange = !level || InRange(static_cast<float>(basic::Val(ad.Text())), 32768.0f, -32768.0f);
    eu.setForeColor(inRange ? kTextBlack : kTextRed);
}

void Acqisition::txtIncDecEU_LostFocus() { ConvertEUToAD(txtIncDecEU, txtIncDec, false); }
void Acqisition::t1EU_LostFocus() { ConvertEUToAD(t1EU, t1, true); }
void Acqisition::t2EU_LostFocus() { ConvertEUToAD(t2EU, t2, true); }

void Acqisition::txtIncDecEU_KeyDown(int& KeyCode, int) {
    if (KeyCode == kEnter) txtIncDecEU_LostFocus();
}

void Acqisition::t1EU_KeyDown(int& KeyCode, int) {
    if (KeyCode == kEnter) t1EU_LostFocus();
}

void Acqisition::t2EU_KeyDown(int& KeyCode, int) {
    if (KeyCode == kEnter) t2EU_LostFocus();
}

}  // namespace qv
