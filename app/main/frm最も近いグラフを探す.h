#pragma once
// The nearest-waveform window: for a pixel of the main window's monitor it lists, per displayed
// channel, the pixel distance to the nearest plotted point of the trace, and names the channel
// whose trace passes nearest. The main window's middle-button range drag asks it.
#include "platform/forms/Form.h"

namespace qv {

class frm最も近いグラフを探す : public forms::Form {
public:
    static frm最も近いグラフを探す& instance();
    static const forms::FormDesign& design();
    frm最も近いグラフを探す();

    forms::TextBox& txt求めたいピクセル座標X;
    forms::TextBox& txt求めたいピクセル座標Y;
    forms::Label& lbl求めたいピクセル座標X;
    forms::TextBox& Text2;  // the caption of the Y box
    forms::ListBox& lst直線距離と配列番号;  // "distance,index,channel", in text order
    forms::TextBox& txtクリックした位置に最も近い波形のCHNo;
    forms::Label& lblクリックした位置に最も近い波形のCHNo;
    forms::TextBox& txt最も近い波形の配列番号;  // receives the top entry's distance
    forms::Label& lbl最も近い波形の配列番号;
    forms::CommandButton& cmd計算;

    // Rebuilds the list from the monitor as it is drawn now; the result boxes keep their text
    // when no channel is displayed.
    void cmd計算_Click();

    int32_t n = 0;  // points examined of the current channel
};

}  // namespace qv
