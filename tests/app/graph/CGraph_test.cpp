// The graph object: its library graph, window, limits, margins, collections and cursor sets.
#include "tests/app/graph/CGraph_testsupport.h"

#include <memory>
#include <string>
#include <vector>

#include "app/graph/CGraph.h"

using namespace qv;
using namespace qv::graphtest;
using qv::apptest::errorNumber;

namespace {

class CGraphTest : public GraphFixture {
protected:
    void make(CGraph& graph, float x1 = 0, float y1 = -5, float x2 = 100, float y2 = 5) {
        makeGraph(graph, *pic, x1, y1, x2, y2);
    }
    // The graph's events as text, in the order raised.
    void listen(CGraph& graph) {
        auto num = [](float v) { return basic::CStr(v); };
        conns.emplace_back(graph.MoveLRCursor.connect(
            [this, num](int32_t k, float x) { log.push_back("LR " + std::to_string(k) + " " + num(x)); }));
        conns.emplace_back(graph.MoveUDCursor.connect(
            [this, num](int32_t k, float y) { log.push_back("UD " + std::to_string(k) + " " + num(y)); }));
        conns.emplace_back(graph.MoveDNCursor.connect(
            [this, num](int32_t k, float x) { log.push_back("DN " + std::to_string(k) + " " + num(x)); }));
        conns.emplace_back(graph.MoveSECursor.connect(
            [this, num](int32_t k, float x) { log.push_back("SE " + std::to_string(k) + " " + num(x)); }));
    }

    std::vector<std::string> log;
    std::vector<forms::ScopedConnection> conns;
};

TEST_F(CGraphTest, SweepRoundsHalvesToEvenAndAnOverflowComesAfterStoring) {
    CGraph g;
    make(g, 10, -1, 12.5f, 1);
    EXPECT_EQ(g.Sweep(), 2);
    g.SetWindow(0, 0, 3.5f, 1);
    EXPECT_EQ(g.Sweep(), 4);
    g.SetWindow(0, -5, 100, 5);
    EXPECT_EQ(errorNumber([&] { g.SetWindow(0, -5, 3e9f, 5); }), basic::errOverflow);
    // The library's window is not yet updated; the graph's window and limits are.
    const LibTables t = LibTables::read();
    EXPECT_EQ(t.slots[static_cast<size_t>(g.hGraph())].xmax, 100.0f);
    g.AddCursor(0, kBlue, 10, 0, 0, true);
    g.Cursor(1)->MoveCursorX_Graph(1e9f);
    EXPECT_EQ(g.Cursor(1)->CurPosX(), 1e9f);
}

TEST_F(CGraphTest, WindowAndLimitsReachTheCursorsAndMarginsTheLibrary) {
    CGraph g;
    make(g);
    g.AddCursor(0, kBlue, 10, 0, 0, true);
    g.AddMark(3, kRed, 50, 0);  // with a companion cursor
    g.SetLimit(20, -5, 30, 5);
    g.Cursor(1)->MoveCursorX_Graph(90);
    EXPECT_EQ(g.Cursor(1)->CurPosX(), 30.0f);
    g.CursorX1Y1(1)->MoveCursorX_Graph(5);
    EXPECT_EQ(g.CursorX1Y1(1)->CurPosX(), 20.0f);
    // Marks are not limited, only held in the window.
    g.MarkMove(1, 95, 0);
    EXPECT_EQ(g.Mark(1)->MarkPosX(), 95.0f);
    // A new window resets the limits everywhere.
    g.SetWindow(0, -5, 200, 5);
    g.Cursor(1)->MoveCursorX_Graph(150);
    EXPECT_EQ(g.Cursor(1)->CurPosX(), 150.0f);
    g.MarkMove(1, 150, 0);
    EXPECT_EQ(g.Mark(1)->MarkPosX(), 150.0f);

    g.SetMargin(10, 20, 30, 40);
    const LibTables t = LibTables::read();
    const auto& slot = t.slots[static_cast<size_t>(g.hGraph())];
    EXPECT_EQ(slot.left, 10);
    EXPECT_EQ(slot.right, 20);
    EXPECT_EQ(slot.top, 30);
    EXPECT_EQ(slot.bottom, 40);
    g.SetMargin(0, 0, 0, 0);
    float x = 50, y = 25;
    EXPECT_EQ(g.Conv_XY(x, y), 0);
    EXPECT_EQ(x, 50.0f);  // 200 units over 200 pixels
    EXPECT_EQ(y, 2.5f);
}

TEST_F(CGraphTest, CollectionsAndBindingsRaiseTheCollectionErrors) {
    CGraph g;
    make(g);
    EXPECT_EQ(g.CursorX1Y1(1), nullptr);
    EXPECT_EQ(errorNumber([&] { g.Cursor(1); }), basic::errSubscript);
    EXPECT_EQ(errorNumber([&] { g.Mark(1); }), basic::errSubscript);
    g.AddCursor(0, kBlue, 10, 0, 0, true);
    g.AddCursor(0, kBlue, 20, 0, 0, true);
    g.AddCursor(0, kBlue, 30, 0, 0, true);
    EXPECT_EQ(errorNumber([&] { g.Cursor(4); }), basic::errSubscript);
    EXPECT_EQ(errorNumber([&] { g.CurMoveX(0, 1); }), basic::errSubscript);
    g.AddBindL2LCur(g.Cursor(1), g.Cursor(2));
    EXPECT_EQ(errorNumber([&] { g.AddBindL2LCur(g.Cursor(1), g.Cursor(3)); }),
              basic::errDuplicateKey);
    // An analysis move on a graph without the pair is an object error.
    EXPECT_EQ(errorNumber([&] { g.CurLMove(5); }), basic::errObjectNotSet);
}

TEST_F(CGraphTest, AGraphNeverCreatedPaintsAndDeletesNothing) {
    CGraph other;
    make(other);
    other.AddCursor(0, kBlue, 10, 0, 0, true);
    const int before = LibTables::read().liveCursors();
    {
        CGraph idle;
        idle.H_PAINTFunc();
        idle.DeleteGraph();
        idle.MouseMove(1, 0, 10, 10);
        EXPECT_EQ(idle.hGraph(), 0);
    }
    EXPECT_EQ(notWhite(), 0);
    EXPECT_EQ(LibTables::read().liveCursors(), before);
}

TEST_F(CGraphTest, GraphsFreeTheirLibraryGraphOnceAndOnlyTheirOwn) {
    const LibTables start = LibTables::read();
    for (int round = 0; round < 50; ++round) {
        std::vector<std::unique_ptr<CGraph>> graphs;
        for (int i = 0; i < 8; ++i) {
            auto g = std::make_unique<CGraph>();
            make(*g);
            g->AddCursor_L(0, kBlue, 10, 0, 0);
            g->AddMark(1, kRed, 50, 0);
            make(*g);  // created again: the first library graph is freed
            g->AddCursor_R(0, kRed, 60, 0, 0);
            graphs.push_back(std::move(g));
        }
        graphs[3]->DeleteGraph();
    }
    const LibTables end = LibTables::read();
    EXPECT_EQ(end.liveSlots(), start.liveSlots());
    EXPECT_EQ(end.liveCursors(), start.liveCursors());

    // A deleted graph's stale handle is not deleted again once another graph holds the slot.
    auto first = std::make_unique<CGraph>();
    make(*first);
    first->DeleteGraph();
    CGraph second;
    make(second);
    second.AddCursor(0, kBlue, 10, 0, 0, true);
    EXPECT_EQ(second.hGraph(), first->hGraph());
    first.reset();
    EXPECT_NE(LibTables::read().cursor(second.hWave(), 0), nullptr);
}

TEST_F(CGraphTest, CursorsAndMarksTakeConsecutiveNumbers) {
    CGraph g;
    make(g);
    listen(g);
    g.AddCursor_L(0, kBlue, 10, 0, 0);
    g.AddCursor_R(0, kRed, 60, 0, 0);
    g.AddMark(1, kBlue, 30, 1);
    g.AddMark(3, kRed, 12.5f, 1);
    g.AddCursor(0, kBlue, 70, 0, 0, false);
    EXPECT_EQ(g.Cursor(1)->CurNo(), 0);
    EXPECT_EQ(g.Cursor(2)->CurNo(), 1);
    EXPECT_EQ(g.Mark(1)->CursorNo_H(), 2);
    EXPECT_EQ(g.Mark(1)->CursorNo_V(), 3);
    EXPECT_EQ(g.CursorX1Y1(1)->CurNo(), 6);
    EXPECT_EQ(g.Cursor(3)->CurNo(), 7);
    EXPECT_EQ(g.Mark(2)->MarkPosX(), 12.5f);
    // The companion: a full-height line at X rounded half to even, CurPosX unrounded.
    EXPECT_EQ(g.CursorX1Y1(1)->CurPosX(), 12.5f);
    const LibTables t = LibTables::read();
    EXPECT_EQ(t.cursor(g.hWave(), 6)->X1, 12.0f);
    EXPECT_EQ(t.cursor(g.hWave(), 6)->Y2, 5.0f);
    g.AddMark(2, kRed, 13.5f, 1);
    EXPECT_EQ(LibTables::read().cursor(g.hWave(), 10)->X1, 14.0f);
    EXPECT_EQ(g.CurAna_L(), g.Cursor(1));
    EXPECT_EQ(log, (std::vector<std::string>{"LR 0 10", "LR 1 60"}));
}

TEST_F(CGraphTest, BoxMarksReserveSixteenNumbersAndTheFirstMarkKeepsTheCounter) {
    CGraph g;
    make(g);
    g.AddMark(4, kBlue, 50, 0);  // numbers 0..15 inside the mark, counter 0 -> 2
    g.AddMark(4, kBlue, 50, 0);  // from 2: the counter becomes 2 + 16 + 2
    g.AddCursor(0, kBlue, 10, 0, 0, true);
    EXPECT_EQ(g.Cursor(1)->CurNo(), 20);
}

TEST_F(CGraphTest, TenCursorsAreTheLimitForCursorsAndMarks) {
    CGraph g;
    make(g);
    listen(g);
    for (int i = 0; i < 9; ++i) g.AddCursor(0, kBlue, i * 10, 0, 0, true);
    g.AddCursor_E(0, kRed, 95, 0, 0);
    EXPECT_EQ(g.CaptureCurNo(), 9);
    EXPECT_EQ(g.CurAna_E()->CurNo(), 9);
    g.AddCursor_L(0, kRed, 5, 0, 0);
    g.AddCursor(0, kRed, 5, 0, 0, true);
    g.AddMark(1, kRed, 5, 0);
    EXPECT_EQ(errorNumber([&] { g.Cursor(11); }), basic::errSubscript);
    EXPECT_EQ(errorNumber([&] { g.Mark(1); }), basic::errSubscript);
    EXPECT_EQ(g.CurAna_L(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"SE 0 95"}));
}

TEST_F(CGraphTest, AnalysisCursorsAnnounceThemselvesAndReplacedOnesFallSilent) {
    CGraph g;
    make(g);
    listen(g);
    g.AddCursor_S(0, kBlue, 5, 0, 0);
    g.AddCursor_U(1, kBlue, 0, 3, 0);
    g.AddCursor_D(1, kBlue, 0, -3, 0);
    g.AddCursor_Dst(0, kBlue, 40, 0, 0);
    g.AddCursor_Now(0, kBlue, 45, 0, 0);
    g.AddCursor_R(0, kRed, 60, 0, 0);
    auto oldR = g.CurAna_R();
    g.AddCursor_R(0, kRed, 70, 0, 0);
    EXPECT_EQ(g.Cursor(6), oldR);  // still listed
    log.clear();
    oldR->MoveCursorX_Graph(80);
    EXPECT_TRUE(log.empty());
    g.CurAna_R()->MoveCursorX_Graph(75);
    g.CurAna_Dst()->MoveCursorX_Graph(41);
    g.CurAna_Now()->MoveCursorX_Graph(42);
    g.CurAna_U()->MoveCursorY_Graph(2.5f);
    EXPECT_EQ(log, (std::vector<std::string>{"LR 1 75", "DN 0 41", "DN 1 42", "UD 0 2.5"}));
}

TEST_F(CGraphTest, DelCursorKeepsStartEndUpAndDownAndLeavesTheLines) {
    CGraph g;
    make(g);
    g.AddCursor_S(0, kBlue, 5, 0, 0);
    g.AddCursor_E(0, kBlue, 95, 0, 0);
    g.AddCursor_U(1, kBlue, 0, 3, 0);
    g.AddCursor_D(1, kBlue, 0, -3, 0);
    g.AddCursor_L(0, kBlue, 20, 0, 0);
    g.AddCursor_R(0, kRed, 60, 0, 0);
    g.AddCursor_Dst(0, kBlue, 40, 0, 0);
    g.AddCursor_Now(0, kBlue, 45, 0, 0);
    g.AddMark(2, kRed, 50, 0);
    g.AddCursor(0, kBlue, 10, 0, 0, true);
    g.AddBindL2LCur(g.Cursor(1), g.Cursor(2));
    auto start = g.CurAna_S();
    g.DelCursor();
    EXPECT_EQ(g.CurAna_S(), start);
    EXPECT_NE(g.CurAna_E(), nullptr);
    EXPECT_NE(g.CurAna_U(), nullptr);
    EXPECT_NE(g.CurAna_D(), nullptr);
    EXPECT_EQ(g.CurAna_L(), nullptr);
    EXPECT_EQ(g.CurAna_R(), nullptr);
    EXPECT_EQ(g.CurAna_Dst(), nullptr);
    EXPECT_EQ(g.CurAna_Now(), nullptr);
    EXPECT_EQ(g.CursorX1Y1(1), nullptr);
    EXPECT_EQ(errorNumber([&] { g.Mark(1); }), basic::errSubscript);
    // The library keeps the lines; numbering starts again at 0 and takes entry 0 over.
    EXPECT_EQ(LibTables::read().cursor(g.hWave(), 4)->X1, 20.0f);
    g.AddCursor_L(0, kBlue, 33, 0, 0);
    EXPECT_EQ(g.CurAna_L()->CurNo(), 0);
    EXPECT_EQ(LibTables::read().cursor(g.hWave(), 0)->X1, 33.0f);
    // The bound-pair table starts empty again.
    g.AddCursor(0, kBlue, 10, 0, 0, true);
    g.AddBindL2LCur(g.Cursor(1), g.Cursor(2));
}

}  // namespace
