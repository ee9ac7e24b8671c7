#include "app/graph/CCursorMark.h"

#include "app/common/TrelmImports.h"

namespace qv {

void CCursorMark::SetWindow(float X1, float Y1, float X2, float Y2) {
    x1_ = X1;
    y1_ = Y1;
    x2_ = X2;
    y2_ = Y2;
}

int CCursorMark::segmentsAt(float x, float y, std::array<Segment, 2>& out) const {
    const float w = w_, h = h_;
    switch (markType_) {
    case 0:
        out[0] = {noH_, x - w, y, x + w, y};
        return 1;
    case 1:
        out[0] = {noH_, x - w, y, x + w, y};
        out[1] = {noV_, x, y - h, x, y + h};
        return 2;
    case 2:  // chevron, vertex at the centre
        out[0] = {noRising_, x, y, x + w, y + h};
        out[1] = {noFalling_, x, y, x + w, y - h};
        return 2;
    case 3:  // diagonal cross
        out[0] = {noRising_, x - w, y - h, x + w, y + h};
        out[1] = {noFalling_, x - w, y + h, x + w, y - h};
        return 2;
    case 5:  // split dash, a gap of 2w at the centre
        out[0] = {noH1_, x - w, y, x - 2 * w, y};
        out[1] = {noH2_, x + w, y, x + 2 * w, y};
        return 2;
    default:  // the box (4) and unknown types draw nothing
        return 0;
    }
}

void CCursorMark::CreateMark(int32_t hGraph, int32_t hWave, int32_t& CurNo, int32_t Color,
                             int32_t MarkType, int32_t Library, float X, float Y) {
    hGraph_ = hGraph;
    hWave_ = hWave;
    markType_ = MarkType;
    library_ = Library;
    Trelm::H_CURSORSIZE(hWave_, 10);
    w_ = static_cast<float>((double{x2_} - x1_) * 0.05 / 2);
    h_ = static_cast<float>((double{y2_} - y1_) * 0.05 / 2);
    const int32_t n = CurNo;
    switch (markType_) {
    case 0:
        noH_ = n;
        break;
    case 1:
        noH_ = n;
        noV_ = n + 1;
        break;
    case 2:
    case 3:
        noRising_ = n;
        noFalling_ = n + 1;
        break;
    case 4:
        // Eight numbers for the outline's half-sides and eight more held in reserve.
        for (int32_t i = 0; i < 16; ++i) boxNumbers_[static_cast<size_t>(i)] = n + i;
        CurNo = n + 16;
        return;
    case 5:
        noH1_ = n;
        noH2_ = n + 1;
        break;
    default:
        return;
    }
    std::array<Segment, 2> segs{};
    const int count = segmentsAt(X, Y, segs);
    for (int i = 0; i < count; ++i) {
        const Segment& s = segs[static_cast<size_t>(i)];
        Trelm::H_CURSOR(hWave_, s.number, s.x1, s.y1, s.x2, s.y2);
        Trelm::H_CURSORPROP(hWave_, s.number, Color, 0, 1);
        Trelm::H_CURSORDISP(hWave_, s.number, 1);
    }
}

void CCursorMark::moveTo(float x, float y) {
    if (x > x2_) x = x2_;
    if (x < x1_) x = x1_;
    if (y > y2_) y = y2_;
    if (y < y1_) y = y1_;
    if ((y1_ == 0 && y2_ == 0) || (x1_ == 0 && x2_ == 0)) return;
    std::array<Segment, 2> segs{};
    const int count = segmentsAt(x, y, segs);
    for (int i = 0; i < count; ++i) {
        const Segment& s = segs[static_cast<size_t>(i)];
        Trelm::H_CURSORMOVE(hWave_, s.number, s.x1, s.y1, s.x2, s.y2);
    }
    markPosX_ = x;
    markPosY_ = y;
}

void CCursorMark::MoveCursorXY_Pixel(float X, float Y) {
    Trelm::H_CONVWINDOW(hWave_, &X, &Y);
    moveTo(X, Y);
}

void CCursorMark::MoveCursorXY_Graph(float X, float Y) { moveTo(X, Y); }

}  // namespace qv
