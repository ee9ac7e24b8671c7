#include "app/camera/frmCAM_TEST.h"

namespace qv {

const forms::FormDesign& frmCAM_TEST::design() {
    using T = forms::ControlType;
    static const forms::DesignProp gothic{"FontName", "ＭＳ ゴシック"};
    static const forms::FormDesign d{
        "frmCAM_TEST", "Form1", 0, 0, 9600, 7200,
        {},
        {
            {T::CommandButton, "Command1", -1, "", 120, 120, 1215, 375, "Command1", {}},
            {T::CommandButton, "cmdDispStackFlameTable", -1, "", 1440, 120, 2175, 375,
             "DispStackFlameTable", {}},
            {T::TextBox, "Text2", -1, "", 3720, 120, 5640, 735,
             "カメラのフレームごとのADカウントを表示しています\r\n。\r\n"
             "この値を元に、カーソル位置のフレーム番号を計算します。\r\n",
             {{"MultiLine", true}}},
            {T::ListBox, "lstGlFlameTime", -1, "", 120, 960, 2175, 5115, "", {gothic}},
            {T::ListBox, "lstGdblFlameTime", -1, "", 2400, 960, 3255, 5115, "", {gothic}},
            {T::ListBox, "lstStackFlameTable", -1, "", 5760, 960, 2295, 5115, "", {gothic}},
            {T::ListBox, "lstStackFlameTableID", -1, "", 8160, 960, 1200, 5115, "", {gothic}},
            {T::PictureBox, "pbxSel", -1, "", 120, 6180, 375, 375, "", {}},
        }};
    return d;
}

}  // namespace qv
