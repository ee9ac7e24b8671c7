#include "app/main/frmPrintPv.h"

namespace qv {

using T = forms::ControlType;

const forms::FormDesign& frmPrintPv::design() {
    // Twips. The window's smallest size; its client area is 9480 x 6690, and the viewport and
    // scroll bars take what Form_Resize gives them at that size.
    static const forms::FormDesign d{
        "frmPrintPv", "印刷プレビュー", 0, 0, 9600, 7200,
        {},
        {
            {T::CommandButton, "cmdPrint", -1, "", 60, 60, 1215, 435, "印刷",
             {{"ToolTipText", "印刷を開始します"}}},
            {T::CommandButton, "cmdClose", -1, "", 1380, 60, 1215, 435, "ｷｬﾝｾﾙ",
             {{"ToolTipText", "印刷を終了します"}}},
            {T::OptionButton, "optSize", 0, "", 2760, 120, 2040, 315, "フォームバー非表示", {}},
            {T::OptionButton, "optSize", 1, "", 4860, 120, 2400, 315, "カーソル、計測値非表示", {}},
            {T::OptionButton, "optSize", 2, "", 7320, 120, 1320, 315, "全体表示", {}},
            {T::PictureBox, "picBase", -1, "", 60, 540, 9105, 5835, "", {}},
            {T::PictureBox, "picPreview", -1, "picBase", 0, 0, 4800, 3600, "",
             {{"BorderStyle", 0}, {"BackColor", 0xFFFFFF}, {"AutoRedraw", true}}},
            {T::HScrollBar, "hsbScrollBar", -1, "", 60, 6375, 9105, 255, "", {{"Max", 100}}},
            {T::VScrollBar, "vsbScrollBar", -1, "", 9165, 540, 255, 5835, "", {{"Max", 100}}},
            {T::PictureBox, "pbxBuff", 0, "", 60, 540, 480, 480, "",
             {{"BorderStyle", 0}, {"AutoRedraw", true}, {"Visible", false}}},
        }};
    return d;
}

}  // namespace qv
