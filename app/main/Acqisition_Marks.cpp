// Marks and comments: the two labels that count the marks at or before each cursor (red inside
// a marked second), adding and deleting a mark at the left cursor, the mark-comment list, the
// five comment boxes and the FUOUKI_MS setting.
#include <algorithm>
#include <string>

#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Dialogs.h"

namespace qv {

namespace {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kRed = 0xFF;
constexpr int32_t kMarkMax = 99;  // marks the table holds

// Shows how many marks begin at or before `point` and whether it lies inside a marked second.
void showMarkCount(forms::Label& label, int32_t point) {
    const double r = GAcqParam.nSample * 10.0;  // samples a second
    const int32_t n = std::clamp(MarkArray[0], 0, kMarkMax);
    label.setBackColor(kWhite);
    for (int32_t i = 1; i <= n; ++i) {
        const double m = MarkArray[static_cast<size_t>(i)];
        if (m * r <= point && point < (m + 1) * r) label.setBackColor(kRed);
        if (m * r > point) {
            label.setCaption(basic::CStr(i - 1));
            return;
        }
    }
    label.setCaption(basic::CStr(n));
}

}  // namespace

void Acqisition::DispCurMark() {
    showMarkCount(LBLMarkDisp_L, GAcqParam.Cur_L_Point);
    showMarkCount(LBLMarkDisp_R, GAcqParam.Cur_R_Point);
}

// Adds the left cursor's second to the table, in its place; refused inside a marked second
// and when the table is full.
void Acqisition::cmdAddMarkOffline_Click() {
    if (LBLMarkDisp_L.BackColor() != kRed) {
        const int32_t n = MarkArray[0];
        if (n >= kMarkMax) {
            forms::MsgBox("マークは" + basic::CStr(kMarkMax) + "個までです。これ以上追加できません。",
                          forms::vbExclamation);
        } else {
            const int32_t k = basic::CLng(basic::Val(LBLMarkDisp_L.Caption())) + 1;
            if (k < 1 || k > n + 1) basic::raiseError(basic::errSubscript);
            for (int32_t i = n; i >= k; --i) MarkArray[static_cast<size_t>(i + 1)] = MarkArray[static_cast<size_t>(i)];
            MarkArray[static_cast<size_t>(k)] = basic::CLng(basic::Fix(PointToSec(GAcqParam.Cur_L_Point)));
            MarkArray[0] = n + 1;
        }
    }
    PBXMoniDisp.Refresh();
}

// Deletes the mark whose second holds the left cursor.
void Acqisition::cmdDelMarkOffline_Click() {
    if (LBLMarkDisp_L.BackColor() == kRed) {
        const int32_t n = MarkArray[0];
        const int32_t k = basic::CLng(basic::Val(LBLMarkDisp_L.Caption()));
        if (k < 1 || k > n || n > kMarkMax) basic::raiseError(basic::errSubscript);
        for (int32_t i = k + 1; i <= n; ++i) MarkArray[static_cast<size_t>(i - 1)] = MarkArray[static_cast<size_t>(i)];
        MarkArray[0] = n - 1;
    }
    PBXMoniDisp.Refresh();
}

// A line "NNN,point,text" of the mark-comment list for the left cursor.
void Acqisition::cmdAddMark_Click() {
    lstMarkCom.AddItem(basic::Format(lstMarkCom.ListCount(), "000") + "," +
                       basic::CStr(GAcqParam.Cur_L_Point) + "," + txtMarkComment.Text());
    PBXMoniDisp.Refresh();
}

void Acqisition::cmdClearMark_Click() { PBXMoniDisp.Refresh(); }

void Acqisition::SaveComment() {
    for (int32_t i = 0; i <= 4; ++i) GAcqParam.Comment[static_cast<size_t>(i)] = TXTComment(i).Text();
}

int32_t Acqisition::GetFuoukiTimeMS() {
    std::string text;
    {
        IniPathGuard system(ProgramFile("Tolvane.ini"));
        text = ReadIniString("SETTING", "FUOUKI_MS", basic::CStr(GAcqParam.lFuoukiTimeMS));
    }
    return basic::CLng(basic::Val(text));
}

// Controls and calls that do nothing.
void Acqisition::cmdCancelMark_Click() {}
void Acqisition::CancelMark() {}
void Acqisition::SetMark() {}
void Acqisition::LBLMark_Click() {}
void Acqisition::lblNoName_Click(int) {}
void Acqisition::TXTComment_KeyDown(int, int&, int) {}
void Acqisition::TXTComment_Change(int) {}

}  // namespace qv
