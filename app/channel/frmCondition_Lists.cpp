// The conditions window's lists: boards with their input ranges, trigger edges, hysteresis
// steps, trigger channels, and the cameras and capture sizes the camera tool reported.
#include "app/channel/frmCondition.h"

#include <algorithm>
#include <cstdint>

#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/common/modSub_Combobox.h"
#include "app/common/modSub_ListBox.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"

namespace qv {

namespace {

struct BoardItem {
    int32_t type;
    const char* text;
};

// The label of each entry is also the key of the board's preset calibration and carries the
// input range the record derives its volts from. Types 1, 2 and 4 are not offered.
constexpr BoardItem kBoards[] = {
    {-1, "デバッグ"},         {0, "VylK10[±5]"},       {0, "VylK10[±10]"},
    {3, "VylK12[±5]"},        {3, "VylK12[±10]"},      {5, "VylK14(A)[±2.5]"},
    {6, "VylK16[±10]"},       {7, "VylK20[±10]"},      {8, "VylK14(B)[±5]"},
    {9, "VylK14(B)[±10]"},    {10, "VylK18[±10]"},     {11, "VylK22[±10]"},
    {12, "VylK24[±10]"},      {13, "VylK26[±10]S"},    {14, "VylK28[±10]"},
    {15, "VylK30[±10]S"},     {17, "VylK40[±10]"},     {18, "VylK42[±10]S"},
    {23, "VylK32[±10]"},      {24, "VylK34[±10]S"},    {26, "VylK36[±10]"},
    {27, "VylK38[±10]S"},     {29, "VylK44[±10]"},     {30, "VylK46[±10]S"},
    {16, "VylB50[＋5]"},      {25, "VylB54"},          {19, "VylD60[±5]"},
    {20, "VylD62[±10]"},      {21, "VylD64[±5]"},      {22, "VylD66[±10]"},
    {28, "VylB56"},           {31, "VylS80"},          {32, "VylXXX[±2.5]"},
};

constexpr int32_t kMaxChannels = 32;
// Counts read from the camera tool's file are held to what a combo box holds
// (ListCountFromText), so a damaged file cannot keep the window reading empty sections.

constexpr const char* kCameraInfo = "CAM_GETINFO.ini";
constexpr const char* kFixedSizes[] = {"720,480", "640,480", "320,240"};

// A count from the file: its leading number, 0 when none or negative, held to the list size;
// one beyond the number range lists nothing and is logged.
int32_t countFrom(const std::string& text, const std::string& where) {
    return StoredNumber(text, std::string(kCameraInfo) + " " + where) ? ListCountFromText(text) : 0;
}

void addUnlessListed(forms::ComboBox& combo, const std::string& text) {
    if (ComboBox_FindItem(combo, text) == -1) combo.AddItem(text);
}

}  // namespace

void frmCondition::InitForm() {
    cmbADBoard.Clear();
    for (const BoardItem& b : kBoards) {
        cmbADBoard.AddItem(b.text);
        cmbADBoard.setItemData(cmbADBoard.NewIndex(), b.type);
    }
    cmbTTL.Clear();
    cmbTTL.AddItem("Up↑");
    cmbTTL.setItemData(cmbTTL.NewIndex(), 0);
    cmbTTL.AddItem("Down↓");
    cmbTTL.setItemData(cmbTTL.NewIndex(), 1);
    cmbP2PHist.Clear();
    for (int32_t n = 4; n <= 12; ++n) {
        cmbP2PHist.AddItem("2 ^ " + basic::CStr(n));
        cmbP2PHist.setItemData(cmbP2PHist.NewIndex(), int32_t{1} << n);
    }
    txtCH_LostFocus();

    if (IsCameraFilterOK()) {
        {
            IniPathGuard ini(ProgramFile(kCameraInfo));
            const int32_t cameras = countFrom(ReadIniString("ALL", "GlCAMNum", ""), "GlCAMNum");
            for (int32_t i = 0; i < cameras; ++i)
                addUnlessListed(cmbCamera, ReadIniString("CAMLIST", "CAM" + basic::CStr(i), ""));
        }
        cmbCamera_Click();
        UpdateResolution();
    }

    Acqisition& main = Acqisition::instance();
    // At start-up the record is built from the controls, not the other way round.
    if (main.Visible() && !IsModeReadSet()) {
        LoadObjectValue();
        if (cmbResolution.ListIndex() < 0) {
            const int16_t i = ComboBox_FindItem(cmbResolution, "320,240");
            if (i >= 0) cmbResolution.setListIndex(i);
        }
    }
    main.ALL_BTN_ModeSet();
    txtAnalogLevelTriggerD_Change();
    txtAnalogLevelTriggerU_Change();
    txtIP.setText(GAcqCondition.strIP);
    txtSweepTime.setEnabled(chkSync.Value() == 0);
    optFixed.setValue(true);
}

void frmCondition::UpdateResolution() {
    cmbResolution.Clear();
    if (IsCameraFilterOK()) {
        IniPathGuard ini(ProgramFile(kCameraInfo));
        const std::vector<std::string> caps = basic::Split(
            ReadIniString("ALL", "pC->GetNumberOfCapabilities(&iCount,&iSize)", ""), ",");
        const int32_t formats = caps.empty() ? 0 : countFrom(caps[0], "GetNumberOfCapabilities");
        for (int32_t k = 0; k < formats; ++k) {
            const std::string section = "iFormat_" + basic::CStr(k);
            addUnlessListed(cmbResolution, ReadIniString(section, "scc1.InputSize.cx", "") + "," +
                                               ReadIniString(section, "scc1.InputSize.cy", ""));
        }
        for (const char* size : kFixedSizes) addUnlessListed(cmbResolution, size);
    }
    const int16_t i = ComboBox_FindItem(cmbResolution, "320,240");
    if (i >= 0) cmbResolution.setListIndex(i);
}

void frmCondition::FillTriggerChannels() {
    cmbCompCH.Clear();
    // Only channels that exist are offered, whatever range was typed.
    const int32_t first = std::max(GAcqCondition.lStartCH, int32_t{1});
    const int32_t last = std::min(GAcqCondition.lEndCH, kMaxChannels);
    for (int32_t n = first; n <= last; ++n) {
        cmbCompCH.AddItem(basic::CStr(n));
        cmbCompCH.setItemData(cmbCompCH.NewIndex(), n);
    }
    const int16_t i = ComboBox_FindItem(cmbCompCH, GAcqCondition.strCOMP_CH);
    if (i >= 0) cmbCompCH.setListIndex(i);
    else if (cmbCompCH.ListCount() > 0) cmbCompCH.setListIndex(0);
}

}  // namespace qv
