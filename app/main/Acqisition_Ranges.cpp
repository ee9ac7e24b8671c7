// The per-channel vertical display ranges: the two pairs of range boxes (engineering units and
// A/D counts) with their order check, symmetric copy and redraw, the row highlight of the
// focused row, and the overlay edit box that typing goes through.
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_Monitor.h"
#include "platform/basic/Format.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Runtime.h"

namespace qv {

using monitor::boxValue;

namespace {
constexpr forms::Color kRowPlain = 0xFFFFFF;
constexpr forms::Color kRowFocused = 0xE0FFE0;

// Clears a handler's re-entry guard when the handler ends, also by an error.
struct GuardEnd {
    bool& guard;
    ~GuardEnd() { guard = false; }
};
}  // namespace

// One change of a range box. high: the high box of the pair; ad: the A/D pair.
void Acqisition::RangeBoxChanged(int Index, bool high, bool ad) {
    forms::TextBox& hiBox = ad ? txtDR_WaveHi_V(Index) : txtDR_WaveHi(Index);
    forms::TextBox& loBox = ad ? txtDR_WaveLo_V(Index) : txtDR_WaveLo(Index);
    forms::TextBox& edited = high ? hiBox : loBox;
    AcqParam& p = GAcqParam;
    const auto row = static_cast<size_t>(Index);
    // 1-2. Store the value and the half span.
    (high ? p.DR_WaveHi : p.DR_WaveLo).at(row) = boxValue(edited);
    lblDiv(Index).setCaption(basic::Format((p.DR_WaveHi[row] - p.DR_WaveLo[row]) / 2.0, "0.0"));
    // 3. While loading, or re-entered from this handler's own correction, only store.
    bool& guard = high ? (ad ? bInDR_WaveHi_V : bInDR_WaveHi) : (ad ? bInDR_WaveLo_V : bInDR_WaveLo);
    if (p.GbLoading || guard) return;
    GuardEnd end{guard};
    // 4. Order: the edited box takes the other's text when low would lie above high.
    if (boxValue(loBox) > boxValue(hiBox)) {
        guard = true;
        edited.setText((high ? loBox : hiBox).Text());
    }
    // 5. Symmetric range: low := -high.
    if (high && (ad ? chkCopy_V(Index) : chkCopy(Index)).Value() == 1)
        loBox.setText(basic::CStr(-basic::TypedVal(hiBox.Text())));
    // 6. Redraw.
    if (!ad) {
        if (IsModeAcq()) {
            ChangeMonitorDispSetting();
            if (IsTriggerSetting()) DispFullWave(PBXMoniDisp.hDC(), false);
        } else {
            if (p.CHKWaveNo.at(row) == 1) MoveCrossMarkers(Index);
            PBXMoniDisp.Refresh();
        }
    } else if (!IsModeAcq() && IsDataLoaded()) {
        if (p.CHKWaveNo.at(row) == 1) MoveCrossMarkers(Index);
        PBXMoniDisp.Refresh();
    }
    // 7.
    (ad ? lRangeRowRaw : lRangeRowEU) = Index;
}

void Acqisition::txtDR_WaveHi_Change(int Index) { RangeBoxChanged(Index, true, false); }
void Acqisition::txtDR_WaveLo_Change(int Index) { RangeBoxChanged(Index, false, false); }
void Acqisition::txtDR_WaveHi_V_Change(int Index) { RangeBoxChanged(Index, true, true); }
void Acqisition::txtDR_WaveLo_V_Change(int Index) { RangeBoxChanged(Index, false, true); }

void Acqisition::chkCopy_Click(int Index) {
    txtDR_WaveLo(Index).setText(basic::CStr(-basic::TypedVal(txtDR_WaveHi(Index).Text())));
}

void Acqisition::chkCopy_V_Click(int Index) {
    txtDR_WaveLo_V(Index).setText(basic::CStr(-basic::TypedVal(txtDR_WaveHi_V(Index).Text())));
}

// The focused row of a pair is shown in a light green; the box becomes the edit box's target.
void Acqisition::HighlightRangeRow(int Index, bool ad, forms::TextBox& box) {
    auto& hi = ad ? txtDR_WaveHi_V : txtDR_WaveHi;
    auto& lo = ad ? txtDR_WaveLo_V : txtDR_WaveLo;
    int32_t& focusRow = ad ? lRangeRowRaw : lRangeRowEU;
    hi(focusRow).setBackColor(kRowPlain);
    lo(focusRow).setBackColor(kRowPlain);
    hi(Index).setBackColor(kRowFocused);
    lo(Index).setBackColor(kRowFocused);
    focusRow = Index;
    pDR_WaveFocusBox = &box;
    forms::DoEvents();
}

void Acqisition::txtDR_WaveHi_GotFocus(int Index) { HighlightRangeRow(Index, false, txtDR_WaveHi(Index)); }
void Acqisition::txtDR_WaveLo_GotFocus(int Index) { HighlightRangeRow(Index, false, txtDR_WaveLo(Index)); }
void Acqisition::txtDR_WaveHi_V_GotFocus(int Index) { HighlightRangeRow(Index, true, txtDR_WaveHi_V(Index)); }
void Acqisition::txtDR_WaveLo_V_GotFocus(int Index) { HighlightRangeRow(Index, true, txtDR_WaveLo_V(Index)); }

void Acqisition::txtDR_WaveHi_Click(int Index) { DispInputText(txtDR_WaveHi(Index)); }
void Acqisition::txtDR_WaveLo_Click(int Index) { DispInputText(txtDR_WaveLo(Index)); }
void Acqisition::txtDR_WaveHi_V_Click(int Index) { DispInputText(txtDR_WaveHi_V(Index)); }
void Acqisition::txtDR_WaveLo_V_Click(int Index) { DispInputText(txtDR_WaveLo_V(Index)); }

// The edit box laid over a range box, with its text, place, selection and colour.
void Acqisition::DispInputText(forms::TextBox& box) {
    forms::TextBox& in = txtDR_WaveInput;
    in.setText(box.Text());
    in.setVisible(true);
    in.setHeight(box.Height());
    in.setWidth(box.Width());
    in.setTop(box.Top());
    in.setLeft(box.Left());
    in.setSelStart(box.SelStart());
    in.setSelLength(box.SelLength());
    in.setBackColor(box.BackColor());
    in.SetFocus();
}

void Acqisition::txtDR_WaveInput_KeyDown(int& KeyCode, int) {
    if (KeyCode == 13) {
        txtDR_WaveInput_LostFocus();
    } else if (KeyCode == 27) {
        if (pDR_WaveFocusBox) txtDR_WaveInput.setText(pDR_WaveFocusBox->Text());
        txtDR_WaveInput_LostFocus();
    }
}

// The typed text goes to the range box (its change handler applies it); the edit box is parked.
void Acqisition::txtDR_WaveInput_LostFocus() {
    if (pDR_WaveFocusBox) pDR_WaveFocusBox->setText(txtDR_WaveInput.Text());
    txtDR_WaveInput.setTop(-9999);
}

}  // namespace qv
