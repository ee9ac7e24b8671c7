// Mark symbols as the library's cursor segments, in a graph window x 0..1000, y -10..10
// (half-sizes w 25, h 0.5) on the 200 x 100 pixel picture.
#include "tests/app/graph/CGraph_testsupport.h"

#include <array>

#include "app/graph/CCursorMark.h"
#include "app/graph/CGraph.h"

using namespace qv;
using namespace qv::graphtest;

namespace {

using Seg = std::array<float, 4>;

class CCursorMarkTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        makeGraph(g, *pic, 0, -10, 1000, 10);
    }
    int32_t create(CCursorMark& m, int32_t type, int32_t first, float x, float y) {
        m.SetWindow(0, -10, 1000, 10);
        int32_t n = first;
        m.CreateMark(g.hGraph(), g.hWave(), n, kBlue, type, 3, x, y);
        return n;
    }
    // The segment of cursor `no`, or all -1 when the library has no placed line for it.
    Seg seg(int32_t no) const {
        const LibTables t = LibTables::read();
        const auto* r = t.cursor(g.hWave(), no);
        if (!r || r->bCursor != 1) return {-1, -1, -1, -1};
        return {r->X1, r->Y1, r->X2, r->Y2};
    }

    CGraph g;
};

TEST_F(CCursorMarkTest, EachTypeDrawsItsSegmentsAroundTheCentre) {
    CCursorMark dash, plus, chevron, cross, split;
    EXPECT_EQ(create(dash, 0, 0, 500, 2), 0);
    create(plus, 1, 1, 500, 2);
    create(chevron, 2, 3, 500, 2);
    create(cross, 3, 5, 500, 2);
    create(split, 5, 7, 500, 2);
    EXPECT_EQ(seg(0), (Seg{475, 2, 525, 2}));
    EXPECT_EQ(plus.CursorNo_H(), 1);
    EXPECT_EQ(plus.CursorNo_V(), 2);
    EXPECT_EQ(seg(1), (Seg{475, 2, 525, 2}));
    EXPECT_EQ(seg(2), (Seg{500, 1.5f, 500, 2.5f}));
    // Type 2 is the chevron, opening to the right.
    EXPECT_EQ(seg(3), (Seg{500, 2, 525, 2.5f}));
    EXPECT_EQ(seg(4), (Seg{500, 2, 525, 1.5f}));
    // Type 3 the diagonal cross.
    EXPECT_EQ(seg(5), (Seg{475, 1.5f, 525, 2.5f}));
    EXPECT_EQ(seg(6), (Seg{475, 2.5f, 525, 1.5f}));
    EXPECT_EQ(split.CursorNo_H1(), 7);
    EXPECT_EQ(split.CursorNo_H2(), 8);
    EXPECT_EQ(seg(7), (Seg{475, 2, 450, 2}));
    EXPECT_EQ(seg(8), (Seg{525, 2, 550, 2}));
    EXPECT_EQ(LibTables::read().cursor(g.hWave(), 3)->colour, kBlue);
    // A mark reserves ten numbers on a fresh graph.
    EXPECT_EQ(seg(10), (Seg{-1, -1, -1, -1}));
    EXPECT_EQ(LibTables::read().cursor(g.hWave(), 10), nullptr);
}

TEST_F(CCursorMarkTest, MovesKeepTheShapeOfTheTypeAndClampTheCentre) {
    CCursorMark chevron, cross;
    create(chevron, 2, 0, 500, 2);
    create(cross, 3, 2, 500, 2);
    chevron.MoveCursorXY_Graph(2000, -50);
    EXPECT_EQ(chevron.MarkPosX(), 1000.0f);
    EXPECT_EQ(chevron.MarkPosY(), -10.0f);
    EXPECT_EQ(seg(0), (Seg{1000, -10, 1025, -9.5f}));
    EXPECT_EQ(seg(1), (Seg{1000, -10, 1025, -10.5f}));
    cross.MoveCursorXY_Graph(100, 4);
    EXPECT_EQ(seg(2), (Seg{75, 3.5f, 125, 4.5f}));
    EXPECT_EQ(seg(3), (Seg{75, 4.5f, 125, 3.5f}));
    // Pixel (100, 50) is the graph's centre (500, 0).
    cross.MoveCursorXY_Pixel(100, 50);
    EXPECT_EQ(cross.MarkPosX(), 500.0f);
    EXPECT_EQ(cross.MarkPosY(), 0.0f);
    EXPECT_EQ(seg(2), (Seg{475, -0.5f, 525, 0.5f}));
}

TEST_F(CCursorMarkTest, TheSizeIsFixedAtCreationAndAWindowlessMarkDoesNotMove) {
    CCursorMark m;
    create(m, 0, 0, 500, 2);
    m.SetWindow(0, -100, 100, 100);
    m.MoveCursorXY_Graph(300, 50);
    EXPECT_EQ(seg(0), (Seg{75, 50, 125, 50}));  // centre clamped to 100, w still 25

    CCursorMark bare;  // no window: zero-length segments, moves do nothing at all
    int32_t n = 4;
    bare.CreateMark(g.hGraph(), g.hWave(), n, kRed, 1, 0, 300, 1);
    EXPECT_EQ(seg(4), (Seg{300, 1, 300, 1}));
    bare.MarkPosX(7);
    bare.MoveCursorXY_Graph(600, 3);
    EXPECT_EQ(bare.MarkPosX(), 7.0f);
    EXPECT_EQ(seg(4), (Seg{300, 1, 300, 1}));
}

TEST_F(CCursorMarkTest, BoxAndUnknownTypesDrawNothingButStillTrackTheirCentre) {
    CCursorMark box, seven;
    EXPECT_EQ(create(box, 4, 3, 500, 2), 19);
    for (int32_t no = 3; no < 10; ++no) EXPECT_EQ(seg(no), (Seg{-1, -1, -1, -1})) << no;
    box.MoveCursorXY_Graph(200, 1);
    EXPECT_EQ(box.MarkPosX(), 200.0f);
    EXPECT_EQ(box.MarkPosY(), 1.0f);
    EXPECT_EQ(create(seven, 7, 0, 500, 2), 0);
    EXPECT_EQ(seg(0), (Seg{-1, -1, -1, -1}));
    seven.MoveCursorXY_Graph(100, 1);
    EXPECT_EQ(seven.MarkPosX(), 100.0f);
    EXPECT_EQ(seven.Library(), 3);
    EXPECT_EQ(notWhite(), 0);
}

TEST_F(CCursorMarkTest, APaintShowsTheSymbolAndASecondPaintRemovesIt) {
    CCursorMark plus;
    create(plus, 1, 0, 500, 0);  // pixels: bar 95..105 on row 50, bar rows 47..53 at column 100
    g.H_PAINTFunc();
    EXPECT_GE(inRow(kBlue, 50), 9);
    EXPECT_LE(inRow(kBlue, 50), 11);
    EXPECT_GE(inColumn(kBlue, 100), 4);
    g.H_PAINTFunc();
    EXPECT_EQ(notWhite(), 0);
}

}  // namespace
