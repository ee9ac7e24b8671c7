// Graph handles and XOR cursors; the library's tables after a reload; the diagnostic dump.
#include "PlotTestSupport.h"

#include "library/GraphTables.h"
#include "library/trelm.h"

#include "platform/kernel/Encoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace plottest;

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x0000FF;  // not-XOR of red on white is red

// A registered graph on a 200 x 100 window, one world unit a pixel.
class Graph : public ::testing::Test {
protected:
    void SetUp() override {
        h = H_VIEWSET(win.hwnd, win.dc);
        ASSERT_GT(h, 0);
        ASSERT_EQ(H_WAVEGET(h), h);
        H_MARGINSET(h, 0, 0, 0, 0);
        H_WINDOW(h, 0, 0, 200, 100);
    }
    void TearDown() override { H_DELETE(h); }
    int cursorsOf(int32_t handle) const {
        int n = 0;
        for (int32_t i = 0; i < trelm::cursorHighWater(); ++i)
            n += trelm::cursorRecords()[i].bEnable == 1 && trelm::cursorRecords()[i].ParentWaveHandle == handle;
        return n;
    }
    const trelm::CursorRecord& cursor(int32_t number) const {
        for (int32_t i = 0; i < trelm::cursorHighWater(); ++i) {
            const trelm::CursorRecord& c = trelm::cursorRecords()[i];
            if (c.bEnable == 1 && c.ParentWaveHandle == h && c.lCurNo == number) return c;
        }
        static const trelm::CursorRecord none{};
        return none;
    }
    // A shown red vertical cursor at x.
    void verticalCursor(int32_t number, float x) {
        H_CURSOR(h, number, x, 0, x, 100);
        H_CURSORPROP(h, number, static_cast<int32_t>(kRed), 0, 1);
        H_CURSORDISP(h, number, 1);
    }
    // World y 0..100 maps to rows 100..0; the end row 0 is not drawn.
    bool columnIs(int x, COLORREF c) const {
        for (int y = 1; y < 100; ++y)
            if (win.at(x, y) != c) return false;
        return true;
    }
    TestWindow win{200, 100};
    int32_t h = 0;
};

TEST_F(Graph, DeletedSlotIsHandedOutAgainWithTheGothicLabelFont) {
    H_DELETE(h);
    const int32_t again = H_VIEWSET(win.hwnd, win.dc);
    EXPECT_EQ(again, h);
    const trelm::GraphSlot& s = trelm::graphSlots()[again];
    EXPECT_EQ(s.labelFont.lfHeight, 12);
    EXPECT_EQ(std::string(s.labelFont.lfFaceName), qv::kernel::utf8ToCp932("ＭＳ ゴシック"));
    EXPECT_EQ(s.windowWidth, 200);
    EXPECT_EQ(s.windowHeight, 100);
}

TEST_F(Graph, AnUnregisteredHandleIsNotFound) {
    const int32_t other = H_VIEWSET(win.hwnd, win.dc);
    ASSERT_GT(other, 0);
    H_MARGINSET(other, 5, 5, 5, 5);
    H_WINDOW(other, 0, 0, 10, 10);
    H_CURSORSIZE(other, 2);
    int32_t hit = 77;
    H_CURSORNUM(other, 0, 0, 1000, 1000, &hit);
    float x = 3, y = 4;
    EXPECT_EQ(H_CONVPIXEL(other, &x, &y), -1);
    EXPECT_EQ(hit, 77);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(trelm::graphSlots()[other].left, 0);
    EXPECT_EQ(trelm::graphSlots()[other].xmax, 0);
    EXPECT_EQ(cursorsOf(other), 0);
    H_DELETE(other);
}

TEST_F(Graph, CursorsAreClaimedOnceAndHiddenUntilShown) {
    H_CURSORSIZE(h, 3);
    H_CURSORSIZE(h, 3);
    EXPECT_EQ(cursorsOf(h), 3);
    EXPECT_EQ(cursor(2).lCurNo, 2);
    H_CURSOR(h, 0, 50, 0, 50, 100);
    H_CURSORPROP(h, 0, static_cast<int32_t>(kRed), 0, 1);
    const int32_t painted = H_PAINT(h);  // the unset cursors 1 and 2 are lines of no length
    EXPECT_EQ(win.count(kWhite), 200 * 100);
    H_CURSORDISP(h, 0, 255);  // a true Boolean counts as 1
    EXPECT_EQ(cursor(0).bDisp, 1);
    EXPECT_EQ(H_PAINT(h), painted + 1);
    EXPECT_TRUE(columnIs(50, kRed));
    EXPECT_EQ(win.count(kRed), 99);
    H_PAINT(h);  // a second paint removes it again
    EXPECT_EQ(win.count(kWhite), 200 * 100);
}

TEST_F(Graph, MovingLeavesOnlyTheNewLine) {
    H_CURSORSIZE(h, 2);
    verticalCursor(0, 1);
    H_PAINT(h);
    ASSERT_TRUE(columnIs(1, kRed));
    H_CURSORMOVE(h, 0, 2, 0, 2, 100);
    EXPECT_TRUE(columnIs(1, kWhite));
    EXPECT_TRUE(columnIs(2, kRed));
    EXPECT_EQ(win.count(kRed), 99);
    EXPECT_EQ(cursor(0).X1, 2);
    EXPECT_EQ(cursor(0).prevX1, 2);
    // A line of no length changes nothing.
    H_CURSORMOVE(h, 0, 9, 9, 9, 9);
    EXPECT_EQ(cursor(0).X1, 2);
    EXPECT_TRUE(columnIs(2, kRed));
    // A cursor whose last drawn line is (0, 0, 0, 0) never moves.
    H_CURSOR(h, 1, 0, 0, 0, 0);
    H_CURSORPROP(h, 1, static_cast<int32_t>(kRed), 0, 1);
    H_CURSORDISP(h, 1, 1);
    H_CURSORMOVE(h, 1, 100, 0, 100, 100);
    EXPECT_EQ(cursor(1).X1, 0);
    EXPECT_TRUE(columnIs(100, kWhite));
}

TEST_F(Graph, HidingAllStopsAtTheFirstMissingNumber) {
    H_CURSORSIZE(h, 3);
    for (int32_t i = 0; i < 3; ++i) verticalCursor(i, 10.0f + i);
    H_CURSORDISP(h, -1, 0);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(cursor(i).bDisp, 0) << i;
    EXPECT_EQ(H_PAINT(h), 0);
}

TEST_F(Graph, HitTestUsesTheTolerancesAndSkipsSlantedCursors) {
    H_CURSORSIZE(h, 3);
    H_CURSOR(h, 0, 20, 10, 90, 90);   // slanted
    H_CURSOR(h, 1, 100, 0, 100, 100);  // vertical at pixel 100
    H_CURSOR(h, 2, 0, 30, 200, 30);    // horizontal at pixel 70
    int32_t hit = 77;
    for (int x = 97; x <= 103; ++x) {
        H_CURSORNUM(h, static_cast<float>(x), 5, 3, 3, &hit);
        EXPECT_EQ(hit, 1) << x;
    }
    for (float x : {96.0f, 104.0f, 20.0f}) {
        H_CURSORNUM(h, x, 5, 3, 3, &hit);
        EXPECT_EQ(hit, -1) << x;
    }
    H_CURSORNUM(h, 10, 67, 3, 3, &hit);
    EXPECT_EQ(hit, 2);
    H_CURSORNUM(h, 10, 66.5f, 3, 3, &hit);
    EXPECT_EQ(hit, -1);
}

TEST_F(Graph, PixelAndWorldConversionsAreInverse) {
    H_MARGINSET(h, 20, 10, 5, 15);  // plot 170 x 80
    H_WINDOW(h, -1, 10, 16, 50);
    float x = 7.5f, y = 30;
    EXPECT_EQ(H_CONVPIXEL(h, &x, &y), 0);
    EXPECT_FLOAT_EQ(x, 8.5f / 0.1f + 20);
    EXPECT_FLOAT_EQ(y, 20.0f / 0.5f + 5);
    H_CONVWINDOW(h, &x, &y);
    EXPECT_FLOAT_EQ(x, 7.5f);
    EXPECT_FLOAT_EQ(y, 30);
}

TEST_F(Graph, AxisDefinitionsArePaintedUnderTheCursors) {
    int32_t opts[32] = {static_cast<int32_t>(0x00FF00), -1, -1, -1, -1, -1};
    H_AXISSET(h, 0, 0, 0, 0, 0, 0, 0, 0, 0, opts);
    H_CURSORSIZE(h, 1);
    verticalCursor(0, 40);
    H_PAINT(h);
    EXPECT_EQ(win.at(0, 0), 0x00FF00u);
    // not-XOR of red over green
    EXPECT_EQ(win.at(40, 50), ~(kRed ^ 0x00FF00u) & 0xFFFFFFu);
}

TEST(GraphHandleBounds, HandlesOutsideTheTableDoNothing) {
    EXPECT_EQ(H_WAVEGET(10000), 10000);
    EXPECT_EQ(H_WAVEGET(-3), -3);
    H_DELETE(-1);
    H_DELETE(123456);
    EXPECT_EQ(H_PAINT(99999), 0);
    float x = 1, y = 2;
    EXPECT_EQ(H_CONVPIXEL(-1, &x, &y), -1);
    H_CONVWINDOW(20000, &x, &y);
    H_CURSORMOVE(-7, 0, 1, 2, 3, 4);
    H_CURSORPROP(10000, 0, 0, 0, 1);
    int32_t hit = 5;
    H_CURSORNUM(0, 0, 0, 1, 1, &hit);
    EXPECT_EQ(hit, 5);
    EXPECT_EQ(x, 1);
}

// ---- A fresh copy of the library ------------------------------------------------------------

TEST(ReloadedLibrary, StartsFromEmptyTablesAndAFullTableHandsOutNothing) {
    TestWindow win{50, 50};
    {
        LoadedTrelm lib;
        ASSERT_TRUE(lib.ok());
        auto viewset = lib.get<decltype(H_VIEWSET)>("H_VIEWSET");
        auto dump = lib.get<decltype(DEBUG_GET_H_FUNCTION)>("DEBUG_GET_H_FUNCTION");
        ASSERT_TRUE(viewset && dump);
        int32_t graphs = -1, cursors = -1;
        std::vector<trelm::GraphSlot> slots(trelm::kGraphSlots);
        dump(&graphs, slots.data(), &cursors, nullptr);
        EXPECT_EQ(graphs, 1);  // slot 0, never handed out
        EXPECT_EQ(cursors, 0);
        for (int32_t expected = 1; expected < trelm::kGraphSlots; ++expected)
            ASSERT_EQ(viewset(win.hwnd, win.dc), expected);
        EXPECT_EQ(viewset(win.hwnd, win.dc), 0);  // full
        dump(&graphs, slots.data(), &cursors, nullptr);
        EXPECT_EQ(graphs, trelm::kGraphSlots);
        EXPECT_EQ(slots[9999].inUse, 1);
        ASSERT_EQ(lib.close(), 0);
    }
    LoadedTrelm again;
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.get<decltype(H_VIEWSET)>("H_VIEWSET")(win.hwnd, win.dc), 1);
}

TEST(ReloadedLibrary, UnloadReleasesTheViewContext) {
    TestWindow win{50, 50};
    const HDC dc = GetDC(win.hwnd);
    ASSERT_NE(dc, 0);
    LoadedTrelm lib;
    ASSERT_TRUE(lib.ok());
    lib.get<decltype(VIEWSET)>("VIEWSET")(win.hwnd, dc);
    EXPECT_NE(GetROP2(dc), 0);
    ASSERT_EQ(lib.close(), 0);
    EXPECT_EQ(GetROP2(dc), 0) << "the context is freed";
    EXPECT_NE(GetROP2(win.dc), 0) << "the control's own context is not";
}

}  // namespace
