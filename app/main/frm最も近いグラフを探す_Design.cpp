#include "app/main/frm最も近いグラフを探す.h"

namespace qv {

using T = forms::ControlType;

const forms::FormDesign& frm最も近いグラフを探す::design() {
    // Twips.
    static const forms::FormDesign d{
        "frm最も近いグラフを探す", "Form2", 0, 0, 6000, 4500,
        {},
        {
            {T::TextBox, "txt求めたいピクセル座標X", -1, "", 2640, 120, 1095, 285, "100", {}},
            {T::TextBox, "txt求めたいピクセル座標Y", -1, "", 2640, 480, 1095, 285, "100", {}},
            {T::Label, "lbl求めたいピクセル座標X", -1, "", 120, 150, 2400, 255, "求めたいピクセル座標X", {}},
            {T::TextBox, "Text2", -1, "", 120, 480, 2400, 285, "求めたいピクセル座標Y", {}},
            {T::ListBox, "lst直線距離と配列番号", -1, "", 120, 900, 5535, 1800, "", {{"Sorted", true}}},
            {T::TextBox, "txtクリックした位置に最も近い波形のCHNo", -1, "", 4440, 2820, 1095, 285, "0", {}},
            {T::Label, "lblクリックした位置に最も近い波形のCHNo", -1, "", 120, 2850, 4200, 255,
             "クリックした位置に最も近い波形のCHNo", {}},
            {T::TextBox, "txt最も近い波形の配列番号", -1, "", 4440, 3240, 1095, 285, "100", {}},
            {T::Label, "lbl最も近い波形の配列番号", -1, "", 120, 3270, 4200, 255, "最も近い波形の配列番号", {}},
            {T::CommandButton, "cmd計算", -1, "", 3960, 120, 1095, 645, "計算", {}},
        }};
    return d;
}

}  // namespace qv
