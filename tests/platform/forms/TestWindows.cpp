#include "TestWindows.h"

#include "platform/gdi/Gdi.h"

namespace qv::forms::test {

using T = ControlType;

const FormDesign& frmMain::design() {
    static const FormDesign d{
        "Acqisition", "Main", 0, 0, 9000, 7500,
        {{"ScaleMode", vbPixels}, {"KeyPreview", true}, {"OLEDropMode", 1}},
        {
            {T::Frame, "fraMode", -1, "", 8, 8, 200, 80, "Mode", {}},
            {T::OptionButton, "optFixed", -1, "fraMode", 8, 20, 80, 17, "Fixed", {{"Value", true}}},
            {T::OptionButton, "optFlow", -1, "fraMode", 8, 40, 80, 17, "Flow", {}},
            {T::OptionButton, "optL", -1, "", 220, 8, 40, 17, "L", {{"Value", "True"}}},
            {T::OptionButton, "optM", -1, "", 220, 28, 40, 17, "M", {}},
            {T::CheckBox, "chkDispRaw", -1, "", 8, 100, 100, 17, "Raw", {}},
            {T::CheckBox, "chk最も近いグラフを探す", -1, "", 8, 120, 100, 17, "近い", {}},
            {T::ComboBox, "cmbSampleFreq", -1, "", 120, 100, 80, 20, "", {}},
            {T::ComboBox, "cmbEdit", -1, "", 120, 124, 80, 20, "", {{"Style", 0}}},
            {T::ListBox, "lstSort", -1, "", 210, 100, 80, 60, "", {{"Sorted", true}}},
            {T::TextBox, "txtFName", -1, "", 8, 150, 100, 20, "", {}},
            {T::TextBox, "TXTPreSetCounter", -1, "", 8, 174, 100, 20, "10", {}},
            {T::Label, "LBLStatus", -1, "", 300, 8, 60, 17, "End", {{"BackColor", 0xE0E0E0}}},
            {T::CommandButton, "cmdLoad", -1, "", 300, 40, 60, 24, "LOAD", {}},
            {T::CommandButton, "cmdQUIT", -1, "", 300, 70, 60, 24, "QUIT", {}},
            {T::PictureBox, "PBXMoniDisp", -1, "", 10, 200, 300, 150, "",
             {{"ScaleMode", vbPixels}, {"BackColor", 0xFFFFFF}, {"OLEDropMode", 1}}},
            {T::Timer, "timPos", -1, "", 0, 0, 0, 0, "", {{"Interval", 200}, {"Enabled", true}}},
            {T::Timer, "timBoot", -1, "", 0, 0, 0, 0, "", {{"Interval", 1}, {"Enabled", false}}},
            {T::Timer, "timAutoACQ", -1, "", 0, 0, 0, 0, "", {{"Interval", 0}, {"Enabled", false}}},
            {T::TextBox, "txtName", 0, "", 400, 8, 80, 20, "CH1", {}},
            {T::CheckBox, "chkCopy", 0, "", 490, 8, 20, 20, "", {}},
            {T::Line, "Line1", 0, "PBXMoniDisp", 0, 10, 300, 10, "", {}},
        }};
    return d;
}

frmMain::frmMain()
    : Form(design()),
      fraMode(ctl<Frame>("fraMode")),
      optFixed(ctl<OptionButton>("optFixed")),
      optFlow(ctl<OptionButton>("optFlow")),
      optL(ctl<OptionButton>("optL")),
      optM(ctl<OptionButton>("optM")),
      chkDispRaw(ctl<CheckBox>("chkDispRaw")),
      chk最も近いグラフを探す(ctl<CheckBox>("chk最も近いグラフを探す")),
      cmbSampleFreq(ctl<ComboBox>("cmbSampleFreq")),
      cmbEdit(ctl<ComboBox>("cmbEdit")),
      lstSort(ctl<ListBox>("lstSort")),
      txtFName(ctl<TextBox>("txtFName")),
      TXTPreSetCounter(ctl<TextBox>("TXTPreSetCounter")),
      LBLStatus(ctl<Label>("LBLStatus")),
      cmdLoad(ctl<CommandButton>("cmdLoad")),
      cmdQUIT(ctl<CommandButton>("cmdQUIT")),
      PBXMoniDisp(ctl<PictureBox>("PBXMoniDisp")),
      timPos(ctl<Timer>("timPos")),
      timBoot(ctl<Timer>("timBoot")),
      timAutoACQ(ctl<Timer>("timAutoACQ")),
      txtName(array<TextBox>("txtName")),
      chkCopy(array<CheckBox>("chkCopy")),
      Line1(array<Line>("Line1")) {
    on(Load, &frmMain::Form_Load);
    on(QueryUnload, &frmMain::Form_QueryUnload);
    on(Unload, &frmMain::Form_Unload);
    on(Resize, &frmMain::Form_Resize);
    on(KeyDown, &frmMain::Form_KeyDown);
    on(OLEDragDrop, &frmMain::Form_OLEDragDrop);
    on(chkDispRaw.Click, &frmMain::chkDispRaw_Click);
    on(optFixed.Click, &frmMain::optFixed_Click);
    on(optFlow.Click, &frmMain::optFlow_Click);
    on(optL.Click, &frmMain::optL_Click);
    on(cmbSampleFreq.Click, &frmMain::cmbSampleFreq_Click);
    on(lstSort.Click, &frmMain::lstSort_Click);
    on(txtFName.Change, &frmMain::txtFName_Change);
    on(TXTPreSetCounter.GotFocus, &frmMain::TXTPreSetCounter_GotFocus);
    on(TXTPreSetCounter.LostFocus, &frmMain::TXTPreSetCounter_LostFocus);
    on(TXTPreSetCounter.KeyDown, &frmMain::TXTPreSetCounter_KeyDown);
    on(cmdLoad.Click, &frmMain::cmdLoad_Click);
    on(cmdQUIT.Click, &frmMain::cmdQUIT_Click);
    on(PBXMoniDisp.Paint, &frmMain::PBXMoniDisp_Paint);
    on(PBXMoniDisp.Resize, &frmMain::PBXMoniDisp_Resize);
    on(PBXMoniDisp.MouseDown, &frmMain::PBXMoniDisp_MouseDown);
    on(PBXMoniDisp.OLEDragDrop, &frmMain::Form_OLEDragDrop);
    on(timPos.Tick, &frmMain::timPos_Timer);
    on(timBoot.Tick, &frmMain::timBoot_Timer);
    on(txtName, &TextBox::Change, &frmMain::txtName_Change);
    on(chkCopy, &CheckBox::Click, &frmMain::chkCopy_Click);
}

void frmMain::Form_Load() {
    ++loadRuns;
    visibleDuringLoad = Visible();
    log.push_back("Form_Load");
    const char* freqs[] = {"1000", "2000", "5000"};
    for (int i = 0; i < 3; ++i) {
        cmbSampleFreq.AddItem(freqs[i]);
        cmbSampleFreq.setItemData(cmbSampleFreq.NewIndex(), (i + 1) * 1000);
    }
    lstSort.AddItem("b");
    lstSort.AddItem("A");
    lstSort.AddItem("c");
}

void frmMain::Form_QueryUnload(int& Cancel, int UnloadMode) {
    log.push_back("Form_QueryUnload " + std::to_string(UnloadMode));
    lastUnloadMode = UnloadMode;
    Cancel = cancelQueryUnload;
}

void frmMain::Form_Unload(int&) { log.push_back("Form_Unload"); }
void frmMain::Form_Resize() { log.push_back("Form_Resize"); }

void frmMain::Form_KeyDown(int& KeyCode, int Shift) {
    keyCodeSeen = KeyCode;
    shiftSeen = Shift;
    log.push_back("Form_KeyDown " + std::to_string(KeyCode));
    if (swallowKeys) KeyCode = 0;
}

void frmMain::Form_OLEDragDrop(DataObject& Data, int& Effect, int, int, float, float) {
    dropped = Data.Files;
    Effect = vbDropEffectNone;
}

void frmMain::ALL_BTN_ModeSet() {
    ++modeSetRuns;
    if (++modeSetDepth > 20) throw std::logic_error("ALL_BTN_ModeSet recursion");
    chkDispRaw.setValue(vbChecked);
    --modeSetDepth;
}

void frmMain::chkDispRaw_Click() {
    log.push_back("chkDispRaw_Click");
    ALL_BTN_ModeSet();
}

void frmMain::optFixed_Click() { log.push_back("optFixed_Click"); }
void frmMain::optFlow_Click() { log.push_back("optFlow_Click"); }
void frmMain::optL_Click() { log.push_back("optL_Click"); }
void frmMain::cmbSampleFreq_Click() { log.push_back("cmbSampleFreq_Click " + cmbSampleFreq.Text()); }
void frmMain::lstSort_Click() { log.push_back("lstSort_Click " + lstSort.Text()); }
void frmMain::txtFName_Change() { log.push_back("txtFName_Change " + txtFName.Text()); }
void frmMain::TXTPreSetCounter_GotFocus() { log.push_back("TXTPreSetCounter_GotFocus"); }
void frmMain::TXTPreSetCounter_LostFocus() { log.push_back("TXTPreSetCounter_LostFocus"); }
void frmMain::TXTPreSetCounter_KeyDown(int& KeyCode, int) {
    log.push_back("TXTPreSetCounter_KeyDown " + std::to_string(KeyCode));
}
void frmMain::cmdLoad_Click() { log.push_back("cmdLoad_Click"); }

void frmMain::cmdQUIT_Click() {
    if (endOnQuit) End();
    log.push_back("cmdQUIT_Click");
}

void frmMain::PBXMoniDisp_Paint() {
    log.push_back("PBXMoniDisp_Paint");
    int32_t dc = PBXMoniDisp.hDC();
    gdi::MoveToEx(dc, 0, 0);
    gdi::LineTo(dc, 10, 0);
}

void frmMain::PBXMoniDisp_Resize() { log.push_back("PBXMoniDisp_Resize"); }

void frmMain::PBXMoniDisp_MouseDown(int Button, int Shift, float X, float Y) {
    log.push_back("MouseDown " + std::to_string(Button) + " " + std::to_string(Shift) + " " +
                  std::to_string(static_cast<int>(X)) + " " + std::to_string(static_cast<int>(Y)));
}

void frmMain::timPos_Timer() { ++timPosTicks; }

void frmMain::timBoot_Timer() {
    ++timBootTicks;
    timBoot.setEnabled(false);
}

void frmMain::txtName_Change(int Index) { log.push_back("txtName_Change " + std::to_string(Index)); }
void frmMain::chkCopy_Click(int Index) { log.push_back("chkCopy_Click " + std::to_string(Index)); }

// ---------------------------------------------------------------------------------------

static const FormDesign& dialogDesign() {
    static const FormDesign d{
        "frmCondition", "Conditions", 1200, 1200, 4800, 3600,
        {{"KeyPreview", true}},
        {
            {T::TextBox, "txtValue", -1, "", 120, 120, 1500, 300, "", {}},
            {T::CommandButton, "cmdOK", -1, "", 120, 600, 1200, 400, "OK", {}},
            {T::Timer, "timTick", -1, "", 0, 0, 0, 0, "", {{"Interval", 100}, {"Enabled", true}}},
        }};
    return d;
}

frmDialog::frmDialog()
    : Form(dialogDesign()),
      cmdOK(ctl<CommandButton>("cmdOK")),
      txtValue(ctl<TextBox>("txtValue")),
      timTick(ctl<Timer>("timTick")) {
    on(cmdOK.Click, &frmDialog::cmdOK_Click);
    on(KeyDown, &frmDialog::Form_KeyDown);
    timTick.Tick.connect([this] { ++ticks; });
}

static const FormDesign& stateDesign() {
    static const FormDesign d{"Acqisition2", "Form1", 0, 0, 3000, 3000, {},
                              {
                                  {T::TextBox, "txtInterval", -1, "", 0, 0, 1000, 300, "100", {}},
                                  {T::ListBox, "lstTrig", -1, "", 0, 400, 1000, 1000, "", {}},
                              }};
    return d;
}

frmState::frmState()
    : Form(stateDesign()), txtInterval(ctl<TextBox>("txtInterval")), lstTrig(ctl<ListBox>("lstTrig")) {}

}  // namespace qv::forms::test
