// Hit test, drags and direct moves of the graph object, with the events they raise in order.
// The window x 0..100, y -5..5 on the 200 x 100 pixel picture: pixel x = 2 gx, y = (5 - gy) 10.
#include "tests/app/graph/CGraph_testsupport.h"

#include <string>
#include <vector>

#include "app/graph/CGraph.h"

using namespace qv;
using namespace qv::graphtest;
using qv::apptest::errorNumber;

namespace {

class CGraphMouseTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        makeGraph(g, *pic, 0, -5, 100, 5);
        auto num = [](float v) { return basic::CStr(v); };
        auto k = [](int32_t v) { return std::to_string(v); };
        conns.emplace_back(g.MoveCursor.connect([this, num, k](int32_t n, float x, float y) {
            log.push_back("Cur " + k(n) + " " + num(x) + " " + num(y));
        }));
        conns.emplace_back(g.MoveLRCursor.connect(
            [this, num, k](int32_t n, float x) { log.push_back("LR " + k(n) + " " + num(x)); }));
        conns.emplace_back(g.MoveUDCursor.connect(
            [this, num, k](int32_t n, float y) { log.push_back("UD " + k(n) + " " + num(y)); }));
        conns.emplace_back(g.MoveDNCursor.connect(
            [this, num, k](int32_t n, float x) { log.push_back("DN " + k(n) + " " + num(x)); }));
        conns.emplace_back(g.CursorLROver.connect([this] { log.push_back("LROver"); }));
        conns.emplace_back(g.CursorUDOver.connect([this] { log.push_back("UDOver"); }));
    }
    void drag(int32_t no, int16_t button, float px, float py) {
        g.Capture(true);
        g.CaptureCurNo(no);
        g.MouseMove(button, 0, px, py);
    }
    std::vector<std::string> take() { return std::exchange(log, {}); }

    CGraph g;
    std::vector<std::string> log;
    std::vector<forms::ScopedConnection> conns;
};

TEST_F(CGraphMouseTest, HoverHitsWithinTenPixelsAndShapesThePointer) {
    g.MouseMove(0, 0, 100, 50);
    EXPECT_EQ(g.CaptureCurNo(), -1);
    pic->MousePointer = 5;
    g.MouseMove(0, 0, 100, 50);
    EXPECT_EQ(pic->MousePointer, 5);  // no cursors: the pointer is never touched

    g.AddCursor(0, kBlue, 50, 0, 0, true);  // pixel x 100
    g.AddCursor(1, kRed, 0, 0, 0, true);    // pixel y 50
    g.AddCursor(0, kBlue, 95, 0, 0, false);  // pixel x 190
    for (float x : {90.0f, 110.0f}) {
        pic->MousePointer = 0;
        g.MouseMove(0, 0, x, 5);
        EXPECT_EQ(g.CaptureCurNo(), 0) << x;
        EXPECT_EQ(pic->MousePointer, 9);
    }
    g.MouseMove(0, 0, 111, 5);
    EXPECT_EQ(g.CaptureCurNo(), -1);
    EXPECT_EQ(pic->MousePointer, 0);
    g.MouseMove(0, 0, 20, 40);
    EXPECT_EQ(g.CaptureCurNo(), 1);
    EXPECT_EQ(pic->MousePointer, 7);
    g.MouseMove(0, 0, 20, 39);
    EXPECT_EQ(g.CaptureCurNo(), -1);
    // Both lines within reach: the first in the library's table wins.
    g.MouseMove(0, 0, 105, 55);
    EXPECT_EQ(g.CaptureCurNo(), 0);
    // A cursor that may not be dragged, and a mark line, leave the pointer.
    pic->MousePointer = 3;
    g.MouseMove(0, 0, 185, 5);
    EXPECT_EQ(g.CaptureCurNo(), 2);
    EXPECT_EQ(pic->MousePointer, 3);
    g.AddMark(0, kRed, 30, 4);  // numbers 3 (dash at pixel row 10)
    g.MouseMove(0, 0, 20, 12);
    EXPECT_EQ(g.CaptureCurNo(), 3);
    EXPECT_EQ(pic->MousePointer, 3);
}

TEST_F(CGraphMouseTest, LeftRightDragReportsAndHandsTheCaptureOverAtACrossing) {
    g.AddCursor_L(0, kBlue, 20, 0, 0);
    g.AddCursor_R(0, kRed, 60, 0, 0);
    take();
    drag(0, 1, 60, 50);  // to 30
    EXPECT_EQ(take(), (std::vector<std::string>{"LR 0 30", "Cur 0 30 0", "Cur 0 30 -1"}));
    drag(0, 1, 161, 50);  // 80.5: carried past the right cursor, truncated
    EXPECT_EQ(g.CurAna_L()->CurPosX(), 80.0f);
    take();
    g.MouseMove(1, 0, 170, 50);  // snaps onto the right cursor, capture passes
    EXPECT_EQ(g.CurAna_L()->CurPosX(), 60.0f);
    EXPECT_EQ(g.CaptureCurNo(), 1);
    EXPECT_EQ(take(), (std::vector<std::string>{"LR 0 60", "Cur 0 60 0", "LROver", "Cur 0 60 -1"}));
    g.MouseMove(1, 0, 180, 50);  // now the right cursor is dragged
    EXPECT_EQ(g.CurAna_R()->CurPosX(), 90.0f);
    EXPECT_EQ(take(), (std::vector<std::string>{"LR 1 90", "Cur 1 90 0", "Cur 1 90 -1"}));
    // The same from the right: dragged below the left one, then snapped.
    drag(1, 1, 20, 50);
    EXPECT_EQ(g.CurAna_R()->CurPosX(), 10.0f);
    g.MouseMove(1, 0, 20, 50);
    EXPECT_EQ(g.CurAna_R()->CurPosX(), 60.0f);
    EXPECT_EQ(g.CaptureCurNo(), 0);
}

TEST_F(CGraphMouseTest, RightButtonKeepsTheWidthWithinTheLimits) {
    g.AddCursor_L(0, kBlue, 20, 0, 0);
    g.AddCursor_R(0, kRed, 60, 0, 0);
    g.LRCur_Width(20);
    take();
    drag(0, 2, 60, 50);
    EXPECT_EQ(g.CurAna_R()->CurPosX(), 50.0f);
    EXPECT_EQ(take(), (std::vector<std::string>{"LR 0 30", "Cur 0 30 0", "LR 1 50", "Cur 1 50 0",
                                                "Cur 1 50 -1", "Cur 0 30 -1"}));
    drag(0, 2, 180, 50);  // 90 + 20 passes the limit 100: left stops at 80
    EXPECT_EQ(g.CurAna_L()->CurPosX(), 80.0f);
    EXPECT_EQ(g.CurAna_R()->CurPosX(), 100.0f);
    g.SetLimit(10, -5, 100, 5);
    drag(1, 2, 40, 50);  // right to 20; 20 - 20 is below the limit 10: right goes to 30
    EXPECT_EQ(g.CurAna_R()->CurPosX(), 30.0f);
    EXPECT_EQ(g.CurAna_L()->CurPosX(), 10.0f);
}

TEST_F(CGraphMouseTest, DownUpDragReportsThePartnerLast) {
    g.AddCursor_U(1, kBlue, 0, 3, 0);   // 0
    g.AddCursor_D(1, kRed, 0, -3, 0);   // 1
    take();
    drag(1, 1, 5, 40);  // y 1
    EXPECT_EQ(take(), (std::vector<std::string>{"UD 0 1", "Cur 1 0 1", "Cur 0 -1 3"}));
    g.UDCur_Width(1.5f);
    drag(1, 2, 5, 60);  // y -1, up follows at 0.5
    EXPECT_EQ(take(), (std::vector<std::string>{"UD 0 -1", "Cur 1 0 -1", "UD 0 0.5", "Cur 0 0 0.5",
                                                "Cur 1 -1 -1", "Cur 0 -1 0.5"}));
    drag(1, 1, 5, 5);  // y 4.5, above the up cursor
    g.MouseMove(1, 0, 5, 5);
    EXPECT_EQ(g.CurAna_D()->CurPosY(), 0.5f);
    EXPECT_EQ(g.CaptureCurNo(), 0);
    EXPECT_EQ(take().back(), "Cur 0 -1 0.5");
}

TEST_F(CGraphMouseTest, StartEndAndDistanceNowDragsRaiseOnlyTheirOwnEvents) {
    g.AddCursor_S(0, kBlue, 10, 0, 0);    // 0
    g.AddCursor_E(0, kBlue, 50, 0, 0);    // 1
    g.AddCursor_Dst(0, kBlue, 70, 0, 0);  // 2
    g.AddCursor_Now(0, kBlue, 80, 0, 0);  // 3
    take();
    drag(0, 1, 120, 50);
    EXPECT_EQ(g.CurAna_S()->CurPosX(), 60.0f);
    g.MouseMove(1, 0, 120, 50);
    EXPECT_EQ(g.CurAna_S()->CurPosX(), 50.0f);
    EXPECT_EQ(g.CaptureCurNo(), 1);
    EXPECT_TRUE(take().empty());
    drag(2, 1, 150, 50);
    drag(3, 1, 170, 50);
    EXPECT_EQ(take(), (std::vector<std::string>{"DN 0 75", "DN 1 85"}));
}

TEST_F(CGraphMouseTest, BoundPairOnTheEvenSideUsesTheThresholdTwoUnits) {
    for (int i = 0; i < 6; ++i) g.AddCursor(0, kBlue, i * 10, 0, 0, true);
    g.Cursor(5)->MoveCursorX_Graph(40);
    g.Cursor(6)->MoveCursorX_Graph(45);
    g.AddBindL2LCur(g.Cursor(5), g.Cursor(6));
    take();
    g.BaseY(50);
    g.BaseWidth(-1);
    drag(4, 1, 60, 50);  // cursor 4 to 30: base width measured after the move, 15
    EXPECT_EQ(g.Cursor(6)->CurPosX(), 45.0f);
    EXPECT_EQ(take(), (std::vector<std::string>{"Cur 4 30 -1", "Cur 5 45 -1"}));
    g.MouseMove(1, 0, 40, 47);  // 20, delta 3 (3 of 100 pixels of a 100 sweep)
    EXPECT_EQ(g.Cursor(6)->CurPosX(), 38.0f);
    g.MouseMove(1, 0, 40, 63);  // delta -13: 15 - 13 <= 2.0, two pixels (1 unit) away
    EXPECT_EQ(g.Cursor(6)->CurPosX(), 21.0f);
    g.MouseMove(1, 0, 40, 62);  // re-based at 63, width 1: delta 1 gives 2, still at the threshold
    EXPECT_EQ(g.Cursor(6)->CurPosX(), 21.0f);
    g.MouseMove(1, 0, 40, 53);  // re-based at 62 again: delta 9, 20 + 1 + 9
    EXPECT_EQ(g.Cursor(6)->CurPosX(), 30.0f);
}

TEST_F(CGraphMouseTest, BoundPairOnTheOddSideUsesTheThresholdTwoPixels) {
    for (int i = 0; i < 6; ++i) g.AddCursor(0, kBlue, i * 10, 0, 0, true);
    g.Cursor(5)->MoveCursorX_Graph(40);
    g.Cursor(6)->MoveCursorX_Graph(45);
    g.AddBindL2LCur(g.Cursor(5), g.Cursor(6));
    g.BaseY(50);
    g.BaseWidth(-1);
    drag(5, 1, 100, 50);  // cursor 5 to 50; partner 4 keeps 10 to the left
    EXPECT_EQ(g.Cursor(5)->CurPosX(), 40.0f);
    g.MouseMove(1, 0, 100, 58);  // delta -8: 10 - 8 = 2 > 1 unit
    EXPECT_EQ(g.Cursor(5)->CurPosX(), 48.0f);
    g.MouseMove(1, 0, 100, 59);  // delta -9: 1 <= 1, one unit to the left
    EXPECT_EQ(g.Cursor(5)->CurPosX(), 49.0f);
    // Without a partner the drag ends after the cursor's own move.
    take();
    drag(0, 1, 30, 50);
    EXPECT_EQ(take(), (std::vector<std::string>{"Cur 0 15 -1"}));
    // A cursor that may not be dragged is left.
    g.Cursor(2)->Capture(false);
    drag(1, 1, 30, 50);
    EXPECT_TRUE(take().empty());
}

TEST_F(CGraphMouseTest, CapturedCompanionAndMarkLinesAreLeftAlone) {
    g.AddCursor(0, kBlue, 10, 0, 0, true);  // 0
    g.AddMark(2, kRed, 50, 0);              // segments 1, 2; companion 3
    g.AddMark(1, kRed, 70, 0);              // 4, 5
    take();
    for (int32_t no : {1, 2, 3, 4, 5, 99, -1}) {
        EXPECT_EQ(errorNumber([&] { drag(no, 1, 30, 30); }), 0) << no;
    }
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(g.Cursor(1)->CurPosX(), 10.0f);
    EXPECT_EQ(g.CursorX1Y1(1)->CurPosX(), 50.0f);
    // Mark lines under the pointer never change it, cursor lines do.
    pic->MousePointer = 4;
    g.Capture(false);
    g.MouseMove(0, 0, 100, 5);
    EXPECT_EQ(g.CaptureCurNo(), 3);
    EXPECT_EQ(pic->MousePointer, 4);
}

TEST_F(CGraphMouseTest, DirectMovesKeepTheirPairsInOrderWithConstantCaptureNumbers) {
    g.AddCursor_L(0, kBlue, 20, 0, 0);  // 0
    g.AddCursor_R(0, kRed, 60, 0, 0);   // 1
    g.AddCursor_U(1, kBlue, 0, 3, 0);   // 2
    g.AddCursor_D(1, kRed, 0, -3, 0);   // 3
    g.AddMark(0, kBlue, 50, 0);
    take();
    g.CurLMove(60);
    EXPECT_EQ(take(), (std::vector<std::string>{"LR 0 60", "Cur 0 60 0"}));
    g.CaptureCurNo(7);
    g.CurLMove(61);
    EXPECT_EQ(g.CaptureCurNo(), 1);
    EXPECT_EQ(take(), (std::vector<std::string>{"LR 0 60", "Cur 0 60 0", "LROver"}));
    g.CurRMove(50);
    EXPECT_EQ(g.CurAna_R()->CurPosX(), 60.0f);
    EXPECT_EQ(g.CaptureCurNo(), 0);
    g.CurDMove(4);
    EXPECT_EQ(g.CurAna_D()->CurPosY(), 3.0f);
    EXPECT_EQ(g.CaptureCurNo(), 2);
    g.CurUMove(-4);
    EXPECT_EQ(g.CurAna_U()->CurPosY(), 3.0f);
    EXPECT_EQ(g.CaptureCurNo(), 3);
    g.CurUMove(4.5f);
    EXPECT_EQ(g.CurAna_U()->CurPosY(), 4.5f);
    take();
    g.CurMoveX(1, 33.3f);
    EXPECT_EQ(take(), (std::vector<std::string>{"LR 0 33", "Cur 0 33 0", "Cur 0 33 0"}));
    g.MarkMove(1, 10, 1);
    EXPECT_EQ(g.Mark(1)->MarkPosX(), 10.0f);
    EXPECT_EQ(errorNumber([&] { g.MarkMove(2, 10, 1); }), basic::errSubscript);
    EXPECT_TRUE(take().empty());

    CGraph bare;
    bare.CreateGraph(*pic, 0, 0, -1, -1);
    bare.SetWindow(0, -5, 100, 5);
    EXPECT_EQ(errorNumber([&] { bare.MarkMove(3, 1, 1); }), 0);
}

}  // namespace
