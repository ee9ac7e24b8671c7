// Editing the calibration table (six columns of 32 rows: name, unit, EU HI, EU LO, CAL AD,
// BASE AD): moving through it by keyboard, what an edit marks and stores, the focused row, and
// the "USE CAL" switch between engineering units and input units for the whole display.
#include <cstdint>
#include <string>

#include "app/channel/AmpCalTable.h"
#include "app/channel/CCalSetting.h"
#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/modCalRecord.h"
#include "app/common/modSub_TextBox.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_Monitor.h"
#include "platform/basic/Basic.h"

namespace qv {

namespace {

constexpr int kColumns = 6;
constexpr int kCalAdColumn = 4, kBaseAdColumn = 5;
constexpr int kKeyEnter = 13, kKeyUp = 38, kKeyDown = 40;

// The table's column c (0 txtName .. 5 txtBASEAD).
forms::ControlArray<forms::TextBox>& column(Acqisition& w, int c) {
    forms::ControlArray<forms::TextBox>* columns[kColumns] = {&w.txtName, &w.txtUnit, &w.txtEUHI,
                                                              &w.txtEULO, &w.txtCALAD, &w.txtBASEAD};
    return *columns[c];
}

// The calibration-set field a column writes.
void storeCell(CCalSetting& set, int c, int32_t row, const std::string& text) {
    switch (c) {
        case 0: set.CHName(row, text); break;
        case 1: set.Unit(row, text); break;
        case 2: set.EU_HI(row, text); break;
        case 3: set.EU_LO(row, text); break;
        case 4: set.Cal_AD(row, text); break;
        default: set.Base_AD(row, text); break;
    }
}

// A range box's text as the display range; an empty box or a text that is no number keeps the
// range as it was, and only the latter is worth a line in the log.
void takeRange(const forms::TextBox& box, float& range) {
    if (box.Text().empty()) return;
    try {
        range = basic::CSng(box.Text());
    } catch (const basic::RuntimeError&) {
        WriteLog("USE CAL: " + box.fullName() + " \"" + box.Text() + "\" は数値ではありません。", true);
    }
}

}  // namespace

// ---- Keyboard moves ----

// Up and down stay in the column, Enter goes to the next column and from the last one to the
// first of the next row. Past the table's edge, or onto a row that is not shown, nothing moves.
void Acqisition::CalTableKeyDown(int c, int Index, int KeyCode) {
    int targetColumn = c, targetRow = Index;
    if (KeyCode == kKeyDown) {
        targetRow = Index + 1;
    } else if (KeyCode == kKeyUp) {
        targetRow = Index - 1;
    } else if (KeyCode == kKeyEnter) {
        targetColumn = (c + 1) % kColumns;
        if (targetColumn == 0) targetRow = Index + 1;
    } else {
        return;
    }
    if (targetRow < 0 || targetRow > 31) return;
    forms::TextBox& target = column(*this, targetColumn)(targetRow);
    if (!target.acceptsInput()) return;
    target.SetFocus();
    TextBox_SelectAll(target);
}

void Acqisition::txtName_KeyDown(int Index, int& KeyCode, int) { CalTableKeyDown(0, Index, KeyCode); }
void Acqisition::txtUnit_KeyDown(int Index, int& KeyCode, int) { CalTableKeyDown(1, Index, KeyCode); }
void Acqisition::txtEUHI_KeyDown(int Index, int& KeyCode, int) { CalTableKeyDown(2, Index, KeyCode); }
void Acqisition::txtEULO_KeyDown(int Index, int& KeyCode, int) { CalTableKeyDown(3, Index, KeyCode); }
void Acqisition::txtCALAD_KeyDown(int Index, int& KeyCode, int) { CalTableKeyDown(4, Index, KeyCode); }
void Acqisition::txtBASEAD_KeyDown(int Index, int& KeyCode, int) { CalTableKeyDown(5, Index, KeyCode); }

// ---- Edits ----

// Any change, typed or filled in by code: the file name goes, "No Store" shows once the window
// is up, and with "CAL for Acq." the cell goes into the acquisition set as it stands (an empty
// count cell becomes "0" first, which comes back here once).
void Acqisition::CalTableChanged(int c, int Index) {
    LBL_CALFName.setCaption("");
    LBL_CALFName.setToolTipText(LBL_CALFName.Caption());
    if (Visible()) lblCALStatus.setVisible(true);
    if (!optCalAcq.Value()) return;
    forms::TextBox& cell = column(*this, c)(Index);
    if ((c == kCalAdColumn || c == kBaseAdColumn) && cell.Text().empty()) cell.setText("0");
    storeCell(GCCalSettingAcq, c, Index, cell.Text());
}

void Acqisition::txtName_Change(int Index) { CalTableChanged(0, Index); }
void Acqisition::txtUnit_Change(int Index) { CalTableChanged(1, Index); }
void Acqisition::txtEUHI_Change(int Index) { CalTableChanged(2, Index); }
void Acqisition::txtEULO_Change(int Index) { CalTableChanged(3, Index); }
void Acqisition::txtCALAD_Change(int Index) { CalTableChanged(4, Index); }
void Acqisition::txtBASEAD_Change(int Index) { CalTableChanged(5, Index); }

void Acqisition::txtName_GotFocus(int Index) { lCalTableFocusRow = Index; }
void Acqisition::txtUnit_GotFocus(int Index) { lCalTableFocusRow = Index; }
void Acqisition::txtEUHI_GotFocus(int Index) { lCalTableFocusRow = Index; }
void Acqisition::txtEULO_GotFocus(int Index) { lCalTableFocusRow = Index; }
void Acqisition::txtCALAD_GotFocus(int Index) { lCalTableFocusRow = Index; }
void Acqisition::txtBASEAD_GotFocus(int Index) { lCalTableFocusRow = Index; }

// ---- "USE CAL" ----

void Acqisition::chkUseCAL_Click() {
    // 1. The marks' places belong to the old units; their counts stay.
    for (auto& channel : GsngCalMark1) channel.fill(0.0f);
    for (auto& channel : GsngCalMark2) channel.fill(0.0f);
    const AcqCondition& cond = GAcqCondition;
    if (cond.lStartCH == 0 || cond.lEndCH == 0) return;
    const bool useCal = IsUseCal();
    const monitor::ChannelSpan span = monitor::channelsOf(cond);

    // 3. The range pair of the shown unit, and the ranges taken from it.
    for (int32_t i = span.first; i <= span.last; ++i) {
        const bool shown = CHKWaveNo(i).Value() == 1;
        for (forms::TextBox* box : {&txtDR_WaveHi(i), &txtDR_WaveHi_V(i), &txtDR_WaveLo(i), &txtDR_WaveLo_V(i)})
            box->setVisible(false);
        chkCopy(i).setVisible(useCal && shown);
        chkCopy_V(i).setVisible(!useCal && shown);
        forms::TextBox& hi = GetTxtDR_WaveHi(i);
        forms::TextBox& lo = GetTxtDR_WaveLo(i);
        hi.setVisible(shown);
        lo.setVisible(shown);
        takeRange(hi, GAcqParam.DR_WaveHi[static_cast<size_t>(i)]);
        takeRange(lo, GAcqParam.DR_WaveLo[static_cast<size_t>(i)]);
    }

    // 4-7. The amplifier's own conversion (a default set for an unknown amplifier) and the
    // recording's; the set behind the names and units follows the switch.
    const CCalSetting& amp = BoardCalOrDefault();
    std::string names, units;
    CalToArray(GCalRecVolt, names, units, amp, 1, 32);
    GstrCalNames = CalTextLSet(names);
    GstrCalUnits = CalTextLSet(units);
    names.clear();
    units.clear();
    CalToArray(GCalRecEU, names, units, GCCalSettingCopy, 1, 32);
    GstrCalNames = CalTextLSet(names);
    GstrCalUnits = CalTextLSet(units);
    (useCal ? GCCalSettingCopy : amp).Clone(GCCalSettingDisp);

    // 8. Channel names beside the bands.
    for (int32_t i = span.first; i <= span.last; ++i) {
        const std::string name = GCCalSettingDisp.CHName(i);
        lblNoName_3(i).setCaption(name);
        lblNoName_3R(i).setCaption(name);
        txtNoName_3(i).setText(name);
        txtNoName_3R(i).setText(name);
        txtNoName_3(i).setWidth(lblNoName_3(i).Width());
        txtNoName_3R(i).setWidth(lblNoName_3(i).Width());
    }

    // 9. The page read again in the new units and drawn.
    if (!IsModeAcq() && IsDataLoaded()) {
        CheckMove();
        int32_t count = kOnePage;
        LoadWave_Sweep(GAcqParam.lPosWAVE_Start, count);
        SetCursor(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point, true);
        PBXMoniDisp.Refresh();
    }

    // 10-12. Unit captions (by absolute channel, as the calibration set is indexed; rows without
    // a recorded channel keep none), cursor headings and the focused rows of both range pairs.
    const std::string inputUnit = IsVylS80Board() ? "(AD)" : "(V)";
    for (int32_t i = 0; i < 32; ++i) {
        const bool recorded = i >= span.first && i <= span.last;
        lblUnit(i).setCaption(!recorded ? "" : useCal ? "(" + GCCalSettingDisp.Unit(i) + ")" : inputUnit);
    }
    DispCurLabelName();
    txtDR_WaveHi_GotFocus(lRangeRowEU);
    txtDR_WaveHi_V_GotFocus(lRangeRowRaw);
}

}  // namespace qv
