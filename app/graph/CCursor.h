#pragma once
// One line cursor of a graph object: a vertical (type 0) or horizontal (type 1) line that the
// Trelm library keeps in its cursor table under the graph's wave handle and a cursor number,
// and draws in XOR mode at the graph's paint. The cursor keeps the graph window and its travel
// limits in graph units, clamps every single-axis move into them and reports each move.
//
// Positions are 32-bit floats and compared as such. Only X moves are truncated to whole graph
// units and only X moves respect the limits; Y moves keep their fractions.
#include <cstdint>

#include "platform/forms/Event.h"

namespace qv {

class CCursor {
public:
    // Kept for the owner: the mouse may drag this cursor.
    bool Capture() const { return capture_; }
    void Capture(bool v) { capture_ = v; }
    int32_t Library() const { return library_; }
    void Library(int32_t v) { library_ = v; }
    int32_t CurType() const { return curType_; }
    void CurType(int32_t v) { curType_ = v; }
    int32_t hGraph() const { return hGraph_; }
    int32_t hWave() const { return hWave_; }
    float CurPosX() const { return curPosX_; }
    void CurPosX(float v) { curPosX_ = v; }
    float CurPosY() const { return curPosY_; }
    void CurPosY(float v) { curPosY_ = v; }
    // Setting the number does not renumber the library's entry.
    int32_t CurNo() const { return curNo_; }
    void CurNo(int32_t v) { curNo_ = v; }

    void SetWindow(float X1, float Y1, float X2, float Y2);
    void SetLimit(float LimitX1, float LimitY1, float LimitX2, float LimitY2);

    // Reserves the graph's 20 cursor numbers (unless it has some), places the line over the
    // window's full height (type 0) or width (type 1) and shows it. Other types place nothing.
    void CreateCursor(int32_t hGraph, int32_t hWave, int32_t CurNo, int32_t Color, int32_t CurType,
                      int32_t Library, int32_t PosX, int32_t PosY, int32_t Style);

    // Single-axis moves: a pixel or graph position, clamped; a cursor of the other orientation
    // ignores them.
    void MoveCursorX_Pixel(float X);
    void MoveCursorY_Pixel(float Y);
    void MoveCursorX_Graph(float X);
    void MoveCursorY_Graph(float Y);
    // Places the line between two free end points, unclamped; CurPosX/CurPosY are kept.
    void MoveCursor_Graph(float X1, float Y1, float X2, float Y2);

    float CurPosX1() const { return curPosX1_; }
    void CurPosX1(float v) { curPosX1_ = v; }
    float CurPosY1() const { return curPosY1_; }
    void CurPosY1(float v) { curPosY1_ = v; }
    float CurPosX2() const { return curPosX2_; }
    void CurPosX2(float v) { curPosX2_ = v; }
    float CurPosY2() const { return curPosY2_; }
    void CurPosY2(float v) { curPosY2_ = v; }

    // Shown or hidden from the graph's next paint on.
    void DispCursor(bool Show);

    // Pixel to graph units.
    float CONVXY2Graph_X(float X) const;
    float CONVXY2Graph_Y(float Y) const;
    // Graph units to pixels, written back into the argument as well.
    float CONVXY2PIXEL_X(float& X) const;
    float CONVXY2PIXEL_Y(float& Y) const;

    // CurNo, CurPosX, CurPosY after a single-axis move.
    forms::Event<int32_t, float, float> MoveCursor;
    // CurNo and the end points given to MoveCursor_Graph.
    forms::Event<int32_t, float, float, float, float> MoveCursorX1Y1X2Y2;

private:
    // The X steps shared by the pixel and graph moves, from a position in graph units.
    void moveX(float x);
    void moveY(float y);

    int32_t hGraph_ = 0;
    int32_t hWave_ = 0;
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    float limitX1_ = 0, limitY1_ = 0, limitX2_ = 0, limitY2_ = 0;
    float curPosX_ = 0, curPosY_ = 0;
    float curPosX1_ = 0, curPosY1_ = 0, curPosX2_ = 0, curPosY2_ = 0;
    int32_t curNo_ = 0;
    int32_t curType_ = 0;
    int32_t library_ = 0;
    bool capture_ = false;
};

}  // namespace qv
