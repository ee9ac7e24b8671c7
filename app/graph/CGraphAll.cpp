#include "app/graph/CGraphAll.h"

#include "app/channel/CWave.h"
#include "app/common/DaskBase.h"
#include "app/common/TrelmImports.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Runtime.h"

namespace qv {

namespace {

constexpr const char* kEmptyWindow =
    "CWaveの WindowLo と WindowHi が同一値です。SetCursorできません。";

// The page arithmetic is 32-bit: a sum beyond it is the overflow error.
int32_t add32(int64_t a, int64_t b) {
    const int64_t r = a + b;
    if (r < INT32_MIN || r > INT32_MAX) basic::raiseError(basic::errOverflow);
    return static_cast<int32_t>(r);
}

// The range and cursor position boxes: the float's text with a blank where a minus would be.
std::string classicText(float v) { return (v >= 0 ? " " : "") + basic::CStr(v); }
std::string classicText(double v) { return (v >= 0 ? " " : "") + basic::CStr(v); }

float numberIn(const forms::TextBox& box) { return basic::CSng(basic::Val(box.Text())); }

// Clears a busy flag however its handler is left.
struct BusyScope {
    bool& flag;
    explicit BusyScope(bool& f) : flag(f) { flag = true; }
    ~BusyScope() { flag = false; }
};

}  // namespace

// ---- properties ----

void CGraphAll::Init() {
    MtxtHi_Change();
    MtxtLo_Change();
}

int32_t CGraphAll::firstWave(int32_t (qv::CWave::*get)() const) {
    try {
        return (*waves_.Item(1).*get)();
    } catch (const basic::RuntimeError&) {
        return 0;
    }
}

int32_t CGraphAll::DispStartPoint() { return firstWave(&qv::CWave::DispStartPoint); }

void CGraphAll::DispStartPoint(int32_t v) {
    for (auto& w : waves_) w->DispStartPoint(v);
}

int32_t CGraphAll::SweepPoint() { return firstWave(&qv::CWave::SweepPoint); }

void CGraphAll::SweepPoint(int32_t v) {
    for (auto& w : waves_) w->SweepPoint(v);
}

// ---- binding ----

void CGraphAll::GraphPicture(forms::PictureBox& picture) {
    picture_ = &picture;
    paint_ = picture.Paint.connect([this] { MpbxGraph_Paint(); });
    mouseDown_ = picture.MouseDown.connect(
        [this](int b, int s, float x, float y) { MpbxGraph_MouseDown(b, s, x, y); });
    mouseMove_ = picture.MouseMove.connect(
        [this](int b, int s, float x, float y) { MpbxGraph_MouseMove(b, s, x, y); });
    mouseUp_ = picture.MouseUp.connect(
        [this](int b, int s, float x, float y) { MpbxGraph_MouseUp(b, s, x, y); });
}

void CGraphAll::Hitxt(forms::TextBox& box) {
    txtHi_ = &box;
    hiChange_ = box.Change.connect([this] { MtxtHi_Change(); });
}

void CGraphAll::Lotxt(forms::TextBox& box) {
    txtLo_ = &box;
    loChange_ = box.Change.connect([this] { MtxtLo_Change(); });
}

void CGraphAll::bindButton(Button& slot, forms::CommandButton& b, void (CGraphAll::*handler)()) {
    slot.control = &b;
    slot.click = b.Click.connect([this, handler] { (this->*handler)(); });
}

void CGraphAll::NextBtn10(forms::CommandButton& b) { bindButton(next10_, b, &CGraphAll::MbtnNext10_Click); }
void CGraphAll::PrevBtn10(forms::CommandButton& b) { bindButton(prev10_, b, &CGraphAll::MbtnPrev10_Click); }
void CGraphAll::NextBtn1(forms::CommandButton& b) { bindButton(next1_, b, &CGraphAll::MbtnNext1_Click); }
void CGraphAll::PrevBtn1(forms::CommandButton& b) { bindButton(prev1_, b, &CGraphAll::MbtnPrev1_Click); }
void CGraphAll::NextBtn(forms::CommandButton& b) { bindButton(next_, b, &CGraphAll::MbtnNext_Click); }
void CGraphAll::PrevBtn(forms::CommandButton& b) { bindButton(prev_, b, &CGraphAll::MbtnPrev_Click); }
void CGraphAll::NextHBtn(forms::CommandButton& b) { bindButton(nextH_, b, &CGraphAll::MbtnNextH_Click); }
void CGraphAll::PrevHBtn(forms::CommandButton& b) { bindButton(prevH_, b, &CGraphAll::MbtnPrevH_Click); }
void CGraphAll::FirstBtn(forms::CommandButton& b) { bindButton(first_, b, &CGraphAll::MbtnFirst_Click); }
void CGraphAll::LastBtn(forms::CommandButton& b) { bindButton(last_, b, &CGraphAll::MbtnLast_Click); }

void CGraphAll::AddWave(const WaveRef& wave) {
    wave->WaveGraphAll(picture_);
    waves_.Add(wave);
    graphs_.Add(std::make_shared<CGraph>());
}

// ---- drawing ----

void CGraphAll::DispAxis(float gridX, float gridY) {
    if (waves_.Count() == 0) return;
    Trelm::VIEWSET(picture_->hWnd(), picture_->hDC());
    Trelm::WINDOW(0.0f, 0.0f, static_cast<float>(waves_.Item(1)->SweepPoint()), 1.0f);
    Trelm::AXISBOX(gridX, gridY, 0.0f, 0.0f, 0, 0, 0.0f, 0.0f, 2, GAxisBoxOpt.data());
}

void CGraphAll::DispAll(int32_t start, bool withAxis) {
    if (withAxis) DispAxis(axisX_, axisY_);
    for (auto& w : waves_) {
        const int32_t from = start == -1 ? w->DispStartPoint() : start;
        w->DispWaveAll3(from, w->SweepPoint(), false, picture_, 0, 0, 0, 0, false);
    }
    DrawGraph.raise();
}

void CGraphAll::SetCursor() {
    if (waves_.Count() == 0) return;
    const int32_t start = waves_.Item(1)->DispStartPoint();
    const int32_t sweep = waves_.Item(1)->SweepPoint();
    const int32_t end = add32(start, sweep);
    graphs_.Clear();  // the old graphs free their library graphs
    float hi = 0, lo = 0;
    for (auto& w : waves_) {
        auto g = std::make_shared<CGraph>();
        hi = w->WindowHi();
        lo = w->WindowLo();
        if (hi == lo) basic::raiseError(basic::errApplication, kEmptyWindow);
        g->CreateGraph(*picture_, 0, 0, -1, -1);
        g->SetMargin(0, 0, 0, 0);
        g->SetWindow(static_cast<float>(start), lo, static_cast<float>(end), hi);
        g->AddMark(0, basic::RGB(0, 0, 255), static_cast<float>(start), w->WaveValue(start));
        g->AddMark(0, basic::RGB(255, 0, 0), static_cast<float>(end), w->WaveValue(end));
        graphs_.Add(g);
    }
    mGraphMove_ = forms::ScopedConnection{};
    mGraph_.reset();
    mGraph_ = std::make_shared<CGraph>();
    mGraphMove_ = mGraph_->MoveLRCursor.connect(
        [this](int32_t no, float x) { MGraph_MoveLRCursor(no, x); });
    mGraph_->CreateGraph(*picture_, 0, 0, -1, -1);
    mGraph_->SetMargin(0, 0, 0, 0);
    mGraph_->SetWindow(static_cast<float>(start), lo, static_cast<float>(end), hi);
    mGraph_->AddCursor_L(0, basic::RGB(0, 0, 255), start, 0, 0);
    mGraph_->AddCursor_R(0, basic::RGB(255, 0, 0), end, 0, 0);
}

bool CGraphAll::setCursorShown() {
    try {
        SetCursor();
        return true;
    } catch (const basic::RuntimeError& e) {
        if (e.number() != basic::errApplication) throw;
        forms::Runtime::get().reportError(e.number(), e.description());
        return false;
    }
}

// ---- navigation ----

void CGraphAll::navigate(const std::function<void(qv::CWave&)>& step) {
    DispAxis(axisX_, axisY_);
    for (auto& w : waves_) step(*w);
    if (!setCursorShown()) return;
    int32_t start = 0, sweep = 0;
    if (waves_.Count() > 0) {
        start = waves_.Item(waves_.Count())->DispStartPoint();
        sweep = waves_.Item(waves_.Count())->SweepPoint();
    }
    DispPage.raise(start, sweep);
}

void CGraphAll::stepBy(qv::CWave& w, int32_t n) {
    w.DispStartPoint(add32(w.DispStartPoint(), n));
    if (n > 0) w.CheckNextPage();
    else w.CheckPrevPage();
    w.DispWaveAll3(w.DispStartPoint(), w.SweepPoint(), false, picture_, 0, 0, 0, 0, false);
}

void CGraphAll::MbtnFirst_Click() {
    navigate([this](qv::CWave& w) { w.DispFirstPage(false, picture_, 0, 0, 0, 0); });
}
void CGraphAll::MbtnLast_Click() {
    navigate([this](qv::CWave& w) { w.DispLastPage(false, picture_, 0, 0, 0, 0); });
}
void CGraphAll::MbtnNext_Click() {
    navigate([this](qv::CWave& w) { w.DispNextPage(false, picture_, 0, 0, 0, 0); });
}
void CGraphAll::MbtnPrev_Click() {
    navigate([this](qv::CWave& w) { w.DispPrevtPage(false, picture_, 0, 0, 0, 0); });
}
void CGraphAll::MbtnNextH_Click() {
    navigate([this](qv::CWave& w) { w.DispNextPageHalf(false, picture_, 0, 0, 0, 0); });
}
void CGraphAll::MbtnPrevH_Click() {
    navigate([this](qv::CWave& w) { w.DispPrevtPageHalf(false, picture_, 0, 0, 0, 0); });
}
void CGraphAll::MbtnNext1_Click() {
    navigate([this](qv::CWave& w) { stepBy(w, 1); });
}
void CGraphAll::MbtnNext10_Click() {
    navigate([this](qv::CWave& w) { stepBy(w, 10); });
}
void CGraphAll::MbtnPrev1_Click() {
    navigate([this](qv::CWave& w) { stepBy(w, -1); });
}
void CGraphAll::MbtnPrev10_Click() {
    navigate([this](qv::CWave& w) { stepBy(w, -10); });
}

// ---- range boxes ----

void CGraphAll::MtxtHi_Change() { applyRange(true); }
void CGraphAll::MtxtLo_Change() { applyRange(false); }

// Writing the partner box runs the partner's handler in full inside this one; its write back
// into this box finds this handler busy and stops there.
void CGraphAll::applyRange(bool upper) {
    bool& busy = upper ? busyHi_ : busyLo_;
    if (waves_.Count() == 0 || busy) return;
    BusyScope scope(busy);
    forms::TextBox& own = upper ? *txtHi_ : *txtLo_;
    const float v = numberIn(own);
    for (auto& w : waves_) {
        if (rangeCopyChk_->Value() == 1) {
            w->RangeHi(upper ? v : -v);
            w->RangeLo(upper ? -v : v);
            if (upper) {
                txtHi_->setText(classicText(w->RangeHi()));
                txtLo_->setText(classicText(w->RangeLo()));
            } else {
                txtLo_->setText(classicText(w->RangeLo()));
                txtHi_->setText(classicText(w->RangeHi()));
            }
        } else {
            w->RangeHi(numberIn(*txtHi_));
            w->RangeLo(numberIn(*txtLo_));
        }
    }
    if (!setCursorShown()) return;
    DispAll(-1, true);
    const auto& last = waves_.Item(waves_.Count());
    ChangeRange.raise(last->RangeHi(), last->RangeLo());
}

// ---- cursor read-outs ----

void CGraphAll::MGraph_MoveLRCursor(int32_t CurNo, float X) {
    // The point under the cursor: its position as 7-digit text, read back and rounded.
    const int32_t p = basic::CLng(basic::Val(basic::CStr(X)));
    if (CurNo == 0 || CurNo == 1) {
        const int32_t markIndex = CurNo + 1;
        auto& amps = CurNo == 0 ? leftAmp_ : rightAmp_;
        forms::TextBox* pos = CurNo == 0 ? leftCurPos_ : rightCurPos_;
        for (int32_t k = 1; k <= waves_.Count(); ++k) {
            const float value = waves_.Item(k)->WaveValue(p);
            graphs_.Item(k)->MarkMove(markIndex, X, value);
            if (k <= amps.Count()) amps.Item(k)->setText(basic::CStr(value));
        }
        if (pos) pos->setText(classicText(X));
    }
    if (widthCurPos_) {
        if (!leftCurPos_ || !rightCurPos_) basic::raiseError(basic::errObjectNotSet);
        const double width = basic::Val(rightCurPos_->Text()) - basic::Val(leftCurPos_->Text());
        widthCurPos_->setText(classicText(width));
    }
}

// ---- picture box ----

void CGraphAll::MpbxGraph_Paint() {
    if (graphs_.Count() == 0) return;
    DispAll(-1, true);
    for (int32_t k = 1; k <= WaveCnt(); ++k) graphs_.Item(k)->H_PAINTFunc();
    if (mGraph_) mGraph_->H_PAINTFunc();
}

void CGraphAll::MpbxGraph_MouseDown(int Button, int, float, float) {
    if (!mGraph_) return;
    if (mGraph_->CaptureCurNo() != -1) mGraph_->Capture(true);
    if (Button != 2) return;
    auto l = mGraph_->CurAna_L();
    auto r = mGraph_->CurAna_R();
    if (!l || !r) basic::raiseError(basic::errObjectNotSet);
    const int32_t n = mGraph_->CaptureCurNo();
    if (n == l->CurNo() || n == r->CurNo())
        mGraph_->LRCur_Width(r->CurPosX() - l->CurPosX());
}

void CGraphAll::MpbxGraph_MouseMove(int Button, int Shift, float X, float Y) {
    if (mGraph_)
        mGraph_->MouseMove(static_cast<int16_t>(Button), static_cast<int16_t>(Shift), X, Y);
}

void CGraphAll::MpbxGraph_MouseUp(int Button, int, float, float) {
    if (!mGraph_ || Button != 1) return;
    mGraph_->Capture(false);
    picture_->Refresh();
}

}  // namespace qv
