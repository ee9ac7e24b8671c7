#pragma once
// Small windows the forms tests drive. Each one records what its handlers saw.

#include <functional>
#include <string>
#include <vector>

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Forms.h"

namespace qv::forms::test {

// The run-time error number `f` raised, 0 when it raised none.
inline int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const basic::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// A window with one of most things, built the way the program's windows are.
class frmMain : public Form {
public:
    static frmMain& instance() { return loadForm<frmMain>(); }
    static const FormDesign& design();
    frmMain();

    Frame& fraMode;
    OptionButton& optFixed;
    OptionButton& optFlow;
    OptionButton& optL;
    OptionButton& optM;
    CheckBox& chkDispRaw;
    CheckBox& chk最も近いグラフを探す;
    ComboBox& cmbSampleFreq;
    ComboBox& cmbEdit;
    ListBox& lstSort;
    TextBox& txtFName;
    TextBox& TXTPreSetCounter;
    Label& LBLStatus;
    CommandButton& cmdLoad;
    CommandButton& cmdQUIT;
    PictureBox& PBXMoniDisp;
    Timer& timPos;
    Timer& timBoot;
    Timer& timAutoACQ;
    ControlArray<TextBox> txtName;
    ControlArray<CheckBox> chkCopy;
    ControlArray<Line> Line1;

    // What the handlers saw.
    std::vector<std::string> log;
    bool visibleDuringLoad = true;
    int loadRuns = 0;
    int modeSetDepth = 0;
    int modeSetRuns = 0;
    int timPosTicks = 0;
    int timBootTicks = 0;
    int cancelQueryUnload = 0;
    int lastUnloadMode = -1;
    bool endOnQuit = false;
    int keyCodeSeen = -1;
    int shiftSeen = -1;
    bool swallowKeys = false;
    std::vector<std::string> dropped;

    void Form_Load();
    void Form_QueryUnload(int& Cancel, int UnloadMode);
    void Form_Unload(int& Cancel);
    void Form_Resize();
    void Form_KeyDown(int& KeyCode, int Shift);
    void Form_OLEDragDrop(DataObject& Data, int& Effect, int Button, int Shift, float X, float Y);
    void ALL_BTN_ModeSet();
    void chkDispRaw_Click();
    void optFixed_Click();
    void optFlow_Click();
    void optL_Click();
    void cmbSampleFreq_Click();
    void lstSort_Click();
    void txtFName_Change();
    void TXTPreSetCounter_GotFocus();
    void TXTPreSetCounter_LostFocus();
    void TXTPreSetCounter_KeyDown(int& KeyCode, int Shift);
    void cmdLoad_Click();
    void cmdQUIT_Click();
    void PBXMoniDisp_Paint();
    void PBXMoniDisp_Resize();
    void PBXMoniDisp_MouseDown(int Button, int Shift, float X, float Y);
    void timPos_Timer();
    void timBoot_Timer();
    void txtName_Change(int Index);
    void chkCopy_Click(int Index);
};

// A dialog shown modally; OK hides it, as the program's conditions window does.
class frmDialog : public Form {
public:
    static frmDialog& instance() { return loadForm<frmDialog>(); }
    frmDialog();
    CommandButton& cmdOK;
    TextBox& txtValue;
    Timer& timTick;
    int ticks = 0;
    void cmdOK_Click() { Hide(); }
    void Form_KeyDown(int& KeyCode, int Shift) {
        if (KeyCode == key::Escape && Shift == 0) Hide();
    }
};

// A hidden state window, loaded on first reference only.
class frmState : public Form {
public:
    static frmState& instance() { return loadForm<frmState>(); }
    frmState();
    TextBox& txtInterval;
    ListBox& lstTrig;
};

}  // namespace qv::forms::test
