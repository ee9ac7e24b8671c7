// The nearest-waveform search over the monitor's displayed channels.
#include "app/main/frm最も近いグラフを探す.h"

#include <cmath>
#include <optional>
#include <vector>

#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition_Monitor.h"
#include "platform/basic/Basic.h"

namespace qv {

namespace {
// Points examined a channel at most, spread evenly over the window.
constexpr int32_t kMaxPoints = 5000;
}  // namespace

frm最も近いグラフを探す& frm最も近いグラフを探す::instance() {
    return forms::loadForm<frm最も近いグラフを探す>();
}

frm最も近いグラフを探す::frm最も近いグラフを探す()
    : Form(design()),
      txt求めたいピクセル座標X(ctl<forms::TextBox>("txt求めたいピクセル座標X")),
      txt求めたいピクセル座標Y(ctl<forms::TextBox>("txt求めたいピクセル座標Y")),
      lbl求めたいピクセル座標X(ctl<forms::Label>("lbl求めたいピクセル座標X")),
      Text2(ctl<forms::TextBox>("Text2")),
      lst直線距離と配列番号(ctl<forms::ListBox>("lst直線距離と配列番号")),
      txtクリックした位置に最も近い波形のCHNo(ctl<forms::TextBox>("txtクリックした位置に最も近い波形のCHNo")),
      lblクリックした位置に最も近い波形のCHNo(ctl<forms::Label>("lblクリックした位置に最も近い波形のCHNo")),
      txt最も近い波形の配列番号(ctl<forms::TextBox>("txt最も近い波形の配列番号")),
      lbl最も近い波形の配列番号(ctl<forms::Label>("lbl最も近い波形の配列番号")),
      cmd計算(ctl<forms::CommandButton>("cmd計算")) {
    on(cmd計算.Click, &frm最も近いグラフを探す::cmd計算_Click);
}

void frm最も近いグラフを探す::cmd計算_Click() {
    Acqisition& main = Acqisition::instance();
    const AcqParam& p = GAcqParam;
    // A coordinate beyond a Long is no pixel of the picture: the last search's answer stays.
    const std::optional<int32_t> X = basic::TryCLng(basic::TypedVal(txt求めたいピクセル座標X.Text()));
    const std::optional<int32_t> Y = basic::TryCLng(basic::TypedVal(txt求めたいピクセル座標Y.Text()));
    if (!X || !Y) return;
    lst直線距離と配列番号.Clear();
    std::vector<float> dx, dy, d;
    // Every displayed channel of the 32.
    for (int32_t i = 0; i < 32; ++i) {
        if (monitor::waveOf(i).PTotal() <= 0 || main.CHKWaveNo(i).Value() != 1) continue;
        n = p.lSweepPoint;
        float step = 1.0f;
        if (n > kMaxPoints) {
            n = kMaxPoints;
            step = static_cast<float>(static_cast<double>(p.lSweepPoint) / kMaxPoints);
        }
        if (n <= 0) continue;  // no point to measure to
        dx.assign(static_cast<size_t>(n), 0.0f);
        dy.assign(static_cast<size_t>(n), 0.0f);
        d.assign(static_cast<size_t>(n), 0.0f);
        for (int32_t j = 0; j < n; ++j) {
            const double at = static_cast<double>(step) * j;
            const int32_t pos = basic::CLng(at + p.lPosWAVE_Start);
            dx[static_cast<size_t>(j)] = main.GetGraphXPix(static_cast<float>(pos)) - static_cast<float>(*X);
            dy[static_cast<size_t>(j)] = main.GetGraphYPix(i, basic::CLng(at)) - static_cast<float>(*Y);
        }
        Trelm::S_MUL(dx.data(), dx.data(), dx.data(), n);
        Trelm::S_MUL(dy.data(), dy.data(), dy.data(), n);
        Trelm::S_ADD(d.data(), dx.data(), dy.data(), n);
        for (float& v : d) v = std::sqrt(v);
        float dmin = 0.0f;
        int32_t jmin = 0;
        Trelm::S_MIN(&dmin, &jmin, d.data(), n);
        // Farther than a Long counts pixels (a typed coordinate far outside): no nearest waveform.
        const std::optional<int32_t> distance = basic::TryCLng(dmin);
        if (!distance) continue;
        lst直線距離と配列番号.AddItem(basic::Right("0000000000" + basic::CStr(*distance), 10) + "," +
                                      basic::CStr(jmin) + "," + basic::Right("00" + basic::CStr(i), 2));
    }
    if (lst直線距離と配列番号.ListCount() == 0) return;
    const std::vector<std::string> fields = basic::Split(lst直線距離と配列番号.List(0), ",");
    txtクリックした位置に最も近い波形のCHNo.setText(fields.at(2));
    txt最も近い波形の配列番号.setText(basic::CStr(basic::CLng(basic::Val(fields.at(0)))));
}

}  // namespace qv
