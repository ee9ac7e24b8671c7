#pragma once
// A small symbol at a point of a graph, made of one or two cursor segments that the Trelm
// library keeps under the graph's wave handle and consecutive cursor numbers (XOR lines).
//   0 dash, 1 plus, 2 chevron opening to the right, 3 diagonal cross, 4 box (its sixteen
//   numbers are reserved, nothing is drawn), 5 split dash; other types draw nothing.
// The half-sizes w and h are 2.5 % of the window's width and height when the mark is created;
// later window changes only move the clamping of the centre.
#include <array>
#include <cstdint>

namespace qv {

class CCursorMark {
public:
    int32_t CursorNo_H1() const { return noH1_; }
    int32_t CursorNo_H2() const { return noH2_; }
    int32_t CursorNo_H() const { return noH_; }
    int32_t CursorNo_V() const { return noV_; }
    int32_t Library() const { return library_; }
    void Library(int32_t v) { library_ = v; }
    int32_t MarkType() const { return markType_; }
    void MarkType(int32_t v) { markType_ = v; }
    int32_t hGraph() const { return hGraph_; }
    int32_t hWave() const { return hWave_; }
    float MarkPosX() const { return markPosX_; }
    void MarkPosX(float v) { markPosX_ = v; }
    float MarkPosY() const { return markPosY_; }
    void MarkPosY(float v) { markPosY_ = v; }

    void SetWindow(float X1, float Y1, float X2, float Y2);
    // Draws and shows the symbol around (X, Y) from cursor number CurNo on; a box advances
    // CurNo past its sixteen numbers. MarkPosX/MarkPosY are the caller's to set.
    void CreateMark(int32_t hGraph, int32_t hWave, int32_t& CurNo, int32_t Color,
                    int32_t MarkType, int32_t Library, float X, float Y);
    // Moves the centre, clamped into the window; nothing moves while no window is set.
    void MoveCursorXY_Pixel(float X, float Y);
    void MoveCursorXY_Graph(float X, float Y);

private:
    struct Segment {
        int32_t number;
        float x1, y1, x2, y2;
    };
    // The drawn segments of the type around (x, y): creation and moves share this one
    // geometry, so a symbol never changes shape when it moves.
    int segmentsAt(float x, float y, std::array<Segment, 2>& out) const;
    void moveTo(float x, float y);

    int32_t hGraph_ = 0;
    int32_t hWave_ = 0;
    float markPosX_ = 0, markPosY_ = 0;
    float w_ = 0, h_ = 0;
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    int32_t noH_ = 0;
    int32_t noV_ = 0;
    int32_t noRising_ = 0;
    int32_t noFalling_ = 0;
    int32_t noH1_ = 0;
    int32_t noH2_ = 0;
    std::array<int32_t, 16> boxNumbers_{};
    int32_t markType_ = 0;
    int32_t library_ = 0;
};

}  // namespace qv
