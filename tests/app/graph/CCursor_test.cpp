// Cursor lines in the library's table and on the picture: a 200 x 100 pixel picture with the
// window x 0..100, y -5..5 puts graph x at pixel 2x and graph y at pixel (5 - y) * 10.
#include "tests/app/graph/CGraph_testsupport.h"

#include <string>
#include <vector>

#include "app/graph/CCursor.h"
#include "app/graph/CGraph.h"

using namespace qv;
using namespace qv::graphtest;

namespace {

class CCursorTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        makeGraph(g, *pic, 0, -5, 100, 5);
    }
    // A cursor in the graph's window with the given limits in X.
    void make(CCursor& c, int32_t no, int32_t type, int32_t pos, float limX1, float limX2,
              int32_t colour = kBlue) {
        c.SetWindow(0, -5, 100, 5);
        c.SetLimit(limX1, -5, limX2, 5);
        c.CreateCursor(g.hGraph(), g.hWave(), no, colour, type, 7, pos, pos, 0);
    }
    const trelm::CursorRecord* record(int32_t no) {
        tables = LibTables::read();
        return tables.cursor(g.hWave(), no);
    }
    // Records the cursor's MoveCursor events in log_.
    void moves(CCursor& c) {
        conns.emplace_back(c.MoveCursor.connect([this](int32_t n, float x, float y) {
            log_.push_back(std::to_string(n) + " " + basic::CStr(x) + " " + basic::CStr(y));
        }));
    }

    CGraph g;
    LibTables tables;
    std::vector<std::string> log_;
    std::vector<forms::ScopedConnection> conns;
};

TEST_F(CCursorTest, CreateCursorPlacesAFullLengthLineAndShowsItAtThePaint) {
    CCursor v, h;
    make(v, 0, 0, 37, 0, 100, kBlue);
    make(h, 1, 1, 2, 0, 100, kRed);
    EXPECT_EQ(v.CurPosX(), 37.0f);
    EXPECT_EQ(h.CurPosY(), 2.0f);
    EXPECT_EQ(v.Library(), 7);
    const auto* rv = record(0);
    ASSERT_NE(rv, nullptr);
    EXPECT_EQ(rv->X1, 37.0f);
    EXPECT_EQ(rv->Y1, -5.0f);
    EXPECT_EQ(rv->X2, 37.0f);
    EXPECT_EQ(rv->Y2, 5.0f);
    EXPECT_EQ(rv->colour, kBlue);
    EXPECT_EQ(rv->penWidth, 1);
    EXPECT_EQ(rv->bDisp, 1);
    const auto* rh = record(1);
    ASSERT_NE(rh, nullptr);
    EXPECT_EQ(rh->X1, 0.0f);
    EXPECT_EQ(rh->Y1, 2.0f);
    EXPECT_EQ(rh->X2, 100.0f);
    EXPECT_EQ(rh->Y2, 2.0f);
    // Twenty numbers are reserved for the graph.
    EXPECT_NE(record(19), nullptr);
    EXPECT_EQ(record(20), nullptr);

    EXPECT_EQ(notWhite(), 0);
    g.H_PAINTFunc();
    EXPECT_GE(inColumn(kBlue, 74), 95);
    EXPECT_EQ(inColumn(kBlue, 73) + inColumn(kBlue, 75), 0);
    EXPECT_GE(inRow(kRed, 30), 195);
    // The XOR lines: a second paint gives the picture back.
    g.H_PAINTFunc();
    EXPECT_EQ(notWhite(), 0);
}

TEST_F(CCursorTest, XMovesClampToTheWindowThenTheLimitsAndTruncate) {
    CCursor c;
    make(c, 0, 0, 50, 10, 90);
    c.MoveCursorX_Graph(250.7f);
    EXPECT_EQ(c.CurPosX(), 90.0f);
    EXPECT_EQ(record(0)->X1, 90.0f);
    c.MoveCursorX_Graph(42.9f);
    EXPECT_EQ(c.CurPosX(), 42.0f);
    c.MoveCursorX_Graph(-3.5f);
    EXPECT_EQ(c.CurPosX(), 10.0f);
    EXPECT_EQ(record(0)->X1, 10.0f);
    c.SetLimit(10, -5, 200, 5);
    c.MoveCursorX_Graph(250.7f);
    EXPECT_EQ(c.CurPosX(), 100.0f);
    // Pixels: 85.8 is graph 42.9.
    c.MoveCursorX_Pixel(85.8f);
    EXPECT_EQ(c.CurPosX(), 42.0f);
    EXPECT_EQ(record(0)->X2, 42.0f);

    // Limits never set pin every move at 0.
    CCursor z;
    z.SetWindow(0, -5, 100, 5);
    z.CreateCursor(g.hGraph(), g.hWave(), 1, kRed, 0, 0, 30, 0, 0);
    z.MoveCursorX_Graph(55);
    EXPECT_EQ(z.CurPosX(), 0.0f);

    // A window with X1 > X2: the window step yields X1, then the limits apply.
    CCursor r;
    r.SetWindow(60, -5, 20, 5);
    r.SetLimit(-1000, -5, 1000, 5);
    r.CreateCursor(g.hGraph(), g.hWave(), 2, kRed, 0, 0, 30, 0, 0);
    r.MoveCursorX_Graph(40);
    EXPECT_EQ(r.CurPosX(), 60.0f);
    r.SetLimit(-1000, -5, 45.5f, 5);
    r.MoveCursorX_Graph(-70);
    EXPECT_EQ(r.CurPosX(), 45.0f);
}

TEST_F(CCursorTest, YMovesKeepFractionsIgnoreLimitsAndOrientationIsRespected) {
    CCursor h, v;
    make(h, 0, 1, 0, 0, 0);  // limits all zero: not applied to Y
    make(v, 1, 0, 50, 0, 100);
    moves(h);
    moves(v);
    h.MoveCursorY_Graph(1.25f);
    EXPECT_EQ(h.CurPosY(), 1.25f);
    EXPECT_EQ(record(0)->Y1, 1.25f);
    h.MoveCursorY_Graph(9);
    EXPECT_EQ(h.CurPosY(), 5.0f);
    h.MoveCursorY_Pixel(25);  // pixel row 25 is y 2.5
    EXPECT_EQ(h.CurPosY(), 2.5f);
    // The other axis does nothing and raises nothing.
    h.MoveCursorX_Graph(30);
    h.MoveCursorX_Pixel(30);
    v.MoveCursorY_Graph(1);
    v.MoveCursorY_Pixel(1);
    EXPECT_EQ(log_, (std::vector<std::string>{"0 0 1.25", "0 0 5", "0 0 2.5"}));
    EXPECT_EQ(v.CurPosY(), 0.0f);
}

TEST_F(CCursorTest, PixelsFollowMovesAndTheXorPictureStaysClean) {
    CCursor c;
    make(c, 0, 0, 20, 0, 100);
    g.H_PAINTFunc();
    EXPECT_GE(inColumn(kBlue, 40), 95);
    c.MoveCursorX_Graph(60);
    EXPECT_EQ(inColumn(kBlue, 40), 0);
    EXPECT_GE(inColumn(kBlue, 120), 95);
    g.H_PAINTFunc();  // erases the line where it now is
    EXPECT_EQ(notWhite(), 0);
}

TEST_F(CCursorTest, AFlatWindowHiddenLineAndOddTypeMoveNoLibraryLine) {
    // Y1 = Y2: the fields and the event go on, the library line stays.
    CCursor flat;
    flat.SetWindow(0, 1, 100, 1);
    flat.SetLimit(0, 0, 100, 0);
    flat.CreateCursor(g.hGraph(), g.hWave(), 0, kBlue, 0, 0, 10, 0, 0);
    moves(flat);
    flat.MoveCursorX_Graph(30);
    EXPECT_EQ(flat.CurPosX(), 30.0f);
    EXPECT_EQ(record(0)->X1, 10.0f);
    EXPECT_EQ(log_.size(), 1u);

    // Hidden: the line keeps its old place.
    CCursor hid;
    make(hid, 1, 0, 10, 0, 100);
    hid.DispCursor(false);
    EXPECT_EQ(record(1)->bDisp, 0);
    hid.MoveCursorX_Graph(70);
    EXPECT_EQ(hid.CurPosX(), 70.0f);
    EXPECT_EQ(record(1)->X1, 10.0f);
    hid.DispCursor(true);
    EXPECT_EQ(record(1)->bDisp, 1);

    // Type 2 stores its fields and reserves numbers but places no line.
    CCursor odd;
    make(odd, 2, 2, 10, 0, 100);
    EXPECT_EQ(odd.CurType(), 2);
    EXPECT_EQ(odd.hWave(), g.hWave());
    ASSERT_NE(record(2), nullptr);
    EXPECT_EQ(record(2)->bCursor, 0);
    EXPECT_EQ(odd.CurPosX(), 0.0f);
    odd.MoveCursorX_Graph(20);
    EXPECT_EQ(odd.CurPosX(), 0.0f);
}

TEST_F(CCursorTest, NumbersBeyondAMarksReservationAreNeverDrawn) {
    CGraph marked;
    makeGraph(marked, *pic, 0, -5, 100, 5);
    marked.AddMark(0, kRed, 50, 0);  // the mark comes first: ten numbers
    CCursor c;
    c.SetWindow(0, -5, 100, 5);
    c.SetLimit(0, -5, 100, 5);
    c.CreateCursor(marked.hGraph(), marked.hWave(), 12, kBlue, 0, 0, 30, 0, 0);
    moves(c);
    c.MoveCursorX_Graph(40);
    EXPECT_EQ(c.CurPosX(), 40.0f);
    EXPECT_EQ(log_.size(), 1u);
    tables = LibTables::read();
    EXPECT_NE(tables.cursor(marked.hWave(), 9), nullptr);
    EXPECT_EQ(tables.cursor(marked.hWave(), 10), nullptr);
    EXPECT_EQ(tables.cursor(marked.hWave(), 12), nullptr);
}

TEST_F(CCursorTest, FreeMovesAndConversions) {
    CCursor c;
    make(c, 0, 0, 10, 0, 100);
    std::vector<float> got;
    auto conn = forms::ScopedConnection(c.MoveCursorX1Y1X2Y2.connect(
        [&](int32_t n, float a, float b, float x, float y) { got = {float(n), a, b, x, y}; }));
    c.MoveCursor_Graph(5, -2, 150, 3);  // unclamped
    EXPECT_EQ(got, (std::vector<float>{0, 5, -2, 150, 3}));
    EXPECT_EQ(c.CurPosX2(), 150.0f);
    EXPECT_EQ(c.CurPosY1(), -2.0f);
    EXPECT_EQ(c.CurPosX(), 10.0f);
    EXPECT_EQ(record(0)->X2, 150.0f);

    float x = 37;
    EXPECT_EQ(c.CONVXY2PIXEL_X(x), 74.0f);
    EXPECT_EQ(x, 74.0f);
    float y = 2;
    EXPECT_EQ(c.CONVXY2PIXEL_Y(y), 30.0f);
    EXPECT_EQ(y, 30.0f);
    EXPECT_EQ(c.CONVXY2Graph_X(74), 37.0f);
    EXPECT_EQ(c.CONVXY2Graph_Y(30), 2.0f);
}

}  // namespace
