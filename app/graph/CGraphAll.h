#pragma once
// The all-channel panel: a window's picture box, two range boxes with a copy check box, ten
// navigation buttons and read-out boxes, turned into one display of every channel. All waves
// draw into the one picture box; one graph per wave carries the two amplitude marks and a
// further graph, MGraph, the left and right cursors. The panel pages all channels together,
// applies the range boxes to all of them and keeps the read-outs in step with the cursors.
//
// Binding a control connects the panel to its events; binding another control of the same
// role, or releasing the panel, disconnects. Every SetCursor replaces the graphs, and the old
// graphs free their library graphs with them.
//
// An empty range (WindowHi = WindowLo) refuses SetCursor with error 30000; the panel's own
// handlers show that error and carry on.
#include <cstdint>
#include <functional>
#include <memory>

#include "app/graph/CGraph.h"
#include "platform/basic/Collection.h"
#include "platform/forms/Event.h"

namespace qv::forms {
class CheckBox;
class CommandButton;
class PictureBox;
class TextBox;
}  // namespace qv::forms

namespace qv {

class CWave;

class CGraphAll {
public:
    using WaveRef = std::shared_ptr<qv::CWave>;

    CGraphAll() = default;
    CGraphAll(const CGraphAll&) = delete;
    CGraphAll& operator=(const CGraphAll&) = delete;

    float AxisX() const { return axisX_; }
    void AxisX(float v) { axisX_ = v; }
    float AxisY() const { return axisY_; }
    void AxisY(float v) { axisY_ = v; }
    // Applies both range boxes, upper first.
    void Init();
    // Wave 1's page start and page length; the setters reach every wave. Never fail.
    int32_t DispStartPoint();
    void DispStartPoint(int32_t v);
    int32_t SweepPoint();
    void SweepPoint(int32_t v);

    // ---- binding (the controls must outlive the panel or be bound again) ----
    void GraphPicture(forms::PictureBox& picture);
    void RangeCopyChk(forms::CheckBox& box) { rangeCopyChk_ = &box; }
    void Hitxt(forms::TextBox& box);
    void Lotxt(forms::TextBox& box);
    void NextBtn10(forms::CommandButton& b);
    void PrevBtn10(forms::CommandButton& b);
    void NextBtn1(forms::CommandButton& b);
    void PrevBtn1(forms::CommandButton& b);
    void NextBtn(forms::CommandButton& b);
    void PrevBtn(forms::CommandButton& b);
    void NextHBtn(forms::CommandButton& b);
    void PrevHBtn(forms::CommandButton& b);
    void FirstBtn(forms::CommandButton& b);
    void LastBtn(forms::CommandButton& b);
    void LeftCurPostxt(forms::TextBox& box) { leftCurPos_ = &box; }
    void RightCurPostxt(forms::TextBox& box) { rightCurPos_ = &box; }
    void WidthCurPostxt(forms::TextBox& box) { widthCurPos_ = &box; }
    void AddLeftCurAmptxt(forms::TextBox& box) { leftAmp_.Add(&box); }
    void AddRightCurAmptxt(forms::TextBox& box) { rightAmp_.Add(&box); }
    // Kept in their list; nothing writes them.
    void AddDiffCurAmptxt(forms::TextBox& box) { diffAmp_.Add(&box); }

    // ---- waves ----
    // The wave draws into the bound picture box from now on.
    void AddWave(const WaveRef& wave);
    WaveRef CWave(int32_t index) { return waves_.Item(index); }
    int32_t WaveCnt() const { return waves_.Count(); }

    // ---- drawing ----
    // The axis box over one page of wave 1 in X and 0..1 in Y.
    void DispAxis(float gridX, float gridY);
    // Every wave from `start` (-1: from its own page start), then DrawGraph.
    void DispAll(int32_t start, bool withAxis);
    // New graphs and marks for every wave and a new MGraph with the left and right cursors
    // at the edges of wave 1's page. Error 30000 for a wave with an empty window.
    void SetCursor();

    std::shared_ptr<CGraph> MGraph() const { return mGraph_; }

    // ---- handlers ----
    void MbtnPrev10_Click();
    void MbtnNext10_Click();
    void MbtnPrev1_Click();
    void MbtnNext1_Click();
    void MbtnPrev_Click();
    void MbtnNext_Click();
    void MbtnPrevH_Click();
    void MbtnNextH_Click();
    void MbtnFirst_Click();
    void MbtnLast_Click();
    void MtxtHi_Change();
    void MtxtLo_Change();
    void MGraph_MoveLRCursor(int32_t CurNo, float X);
    void MpbxGraph_Paint();
    void MpbxGraph_MouseDown(int Button, int Shift, float X, float Y);
    void MpbxGraph_MouseMove(int Button, int Shift, float X, float Y);
    void MpbxGraph_MouseUp(int Button, int Shift, float X, float Y);

    // ---- events ----
    forms::Event<int32_t, int32_t> DispPage;  // start point, points per page of the last wave
    forms::Event<float, float> ChangeRange;   // RangeHi, RangeLo of the last wave
    forms::Event<> DrawGraph;

private:
    struct Button {
        forms::CommandButton* control = nullptr;
        forms::ScopedConnection click;
    };
    // A field of wave 1, 0 when there is none.
    int32_t firstWave(int32_t (qv::CWave::*get)() const);
    void bindButton(Button& slot, forms::CommandButton& b, void (CGraphAll::*handler)());
    // The navigation frame: axis box, each wave's step, SetCursor, DispPage.
    void navigate(const std::function<void(qv::CWave&)>& step);
    // A single step of n points, clamped forward (n > 0) or back, drawn from the new start.
    void stepBy(qv::CWave& wave, int32_t n);
    // One range box handler: the box, its partner, the wave fields each writes.
    void applyRange(bool upper);
    // SetCursor for the handlers: error 30000 is shown to the user; false then.
    bool setCursorShown();

    basic::Collection<WaveRef> waves_;
    basic::Collection<std::shared_ptr<CGraph>> graphs_;
    forms::CheckBox* rangeCopyChk_ = nullptr;
    forms::TextBox* leftCurPos_ = nullptr;
    forms::TextBox* rightCurPos_ = nullptr;
    forms::TextBox* widthCurPos_ = nullptr;
    basic::Collection<forms::TextBox*> leftAmp_;
    basic::Collection<forms::TextBox*> rightAmp_;
    basic::Collection<forms::TextBox*> diffAmp_;
    float axisX_ = 100.0f;
    float axisY_ = 0.0f;
    std::shared_ptr<CGraph> mGraph_;
    forms::ScopedConnection mGraphMove_;
    Button prev10_, next10_, prev1_, next1_, prev_, next_, prevH_, nextH_, first_, last_;
    forms::TextBox* txtHi_ = nullptr;
    forms::TextBox* txtLo_ = nullptr;
    forms::ScopedConnection hiChange_, loChange_;
    forms::PictureBox* picture_ = nullptr;
    forms::ScopedConnection paint_, mouseDown_, mouseMove_, mouseUp_;
    bool busyHi_ = false;
    bool busyLo_ = false;
};

}  // namespace qv
