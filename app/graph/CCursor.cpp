#include "app/graph/CCursor.h"

#include <cmath>

#include "app/common/TrelmImports.h"

namespace qv {

void CCursor::SetWindow(float X1, float Y1, float X2, float Y2) {
    x1_ = X1;
    y1_ = Y1;
    x2_ = X2;
    y2_ = Y2;
}

void CCursor::SetLimit(float LimitX1, float LimitY1, float LimitX2, float LimitY2) {
    limitX1_ = LimitX1;
    limitY1_ = LimitY1;
    limitX2_ = LimitX2;
    limitY2_ = LimitY2;
}

void CCursor::CreateCursor(int32_t hGraph, int32_t hWave, int32_t CurNo, int32_t Color,
                           int32_t CurType, int32_t Library, int32_t PosX, int32_t PosY,
                           int32_t Style) {
    hGraph_ = hGraph;
    hWave_ = hWave;
    curNo_ = CurNo;
    curType_ = CurType;
    library_ = Library;
    Trelm::H_CURSORSIZE(hWave_, 20);
    if (curType_ == 0) {
        curPosX_ = static_cast<float>(PosX);
        Trelm::H_CURSOR(hWave_, curNo_, curPosX_, y1_, curPosX_, y2_);
    } else if (curType_ == 1) {
        curPosY_ = static_cast<float>(PosY);
        Trelm::H_CURSOR(hWave_, curNo_, x1_, curPosY_, x2_, curPosY_);
    } else {
        return;
    }
    Trelm::H_CURSORPROP(hWave_, curNo_, Color, Style, 1);
    Trelm::H_CURSORDISP(hWave_, curNo_, 1);
}

void CCursor::moveX(float x) {
    if (x > x2_) x = x2_;
    if (x < x1_) x = x1_;
    // The limits come second, so a limit inside the window wins.
    if (x > limitX2_) x = limitX2_;
    if (x < limitX1_) x = limitX1_;
    x = std::trunc(x);
    if (y1_ != y2_) Trelm::H_CURSORMOVE(hWave_, curNo_, x, y1_, x, y2_);
    curPosX_ = x;
    MoveCursor.raise(curNo_, curPosX_, curPosY_);
}

void CCursor::moveY(float y) {
    if (y > y2_) y = y2_;
    if (y < y1_) y = y1_;
    if (x1_ != x2_) Trelm::H_CURSORMOVE(hWave_, curNo_, x1_, y, x2_, y);
    curPosY_ = y;
    MoveCursor.raise(curNo_, curPosX_, curPosY_);
}

void CCursor::MoveCursorX_Pixel(float X) {
    if (curType_ != 0) return;
    moveX(CONVXY2Graph_X(X));
}

void CCursor::MoveCursorY_Pixel(float Y) {
    if (curType_ != 1) return;
    moveY(CONVXY2Graph_Y(Y));
}

void CCursor::MoveCursorX_Graph(float X) {
    if (curType_ == 0) moveX(X);
}

void CCursor::MoveCursorY_Graph(float Y) {
    if (curType_ == 1) moveY(Y);
}

void CCursor::MoveCursor_Graph(float X1, float Y1, float X2, float Y2) {
    Trelm::H_CURSORMOVE(hWave_, curNo_, X1, Y1, X2, Y2);
    curPosX1_ = X1;
    curPosY1_ = Y1;
    curPosX2_ = X2;
    curPosY2_ = Y2;
    MoveCursorX1Y1X2Y2.raise(curNo_, X1, Y1, X2, Y2);
}

void CCursor::DispCursor(bool Show) { Trelm::H_CURSORDISP(hWave_, curNo_, Show ? 1 : 0); }

float CCursor::CONVXY2Graph_X(float X) const {
    float y = 0;
    Trelm::H_CONVWINDOW(hWave_, &X, &y);
    return X;
}

float CCursor::CONVXY2Graph_Y(float Y) const {
    float x = 0;
    Trelm::H_CONVWINDOW(hWave_, &x, &Y);
    return Y;
}

float CCursor::CONVXY2PIXEL_X(float& X) const {
    float y = 0;
    Trelm::H_CONVPIXEL(hWave_, &X, &y);
    return X;
}

float CCursor::CONVXY2PIXEL_Y(float& Y) const {
    float x = 0;
    Trelm::H_CONVPIXEL(hWave_, &x, &Y);
    return Y;
}

}  // namespace qv
