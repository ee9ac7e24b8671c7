// Marks and comments: the two labels that count the marks at or before each cursor (red inside
// a marked second), adding and deleting a mark at the left cursor, the mark-comment list, the
// five comment boxes and the FUOUKI_MS setting.
#include <algorithm>
#include <string>

#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"

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

}  // namespace qv
