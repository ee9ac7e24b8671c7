// Lines, pens, raster operations and shapes, pixel by pixel.

#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "GdiTestSupport.h"

using namespace qv::gdi;
using qv::gdi::test::Canvas;

namespace {

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kWhite = 0xFFFFFF;

std::set<std::pair<int, int>> lineSet(int x0, int y0, int x1, int y1, int w = 64, int h = 64) {
    Canvas c(w, h);
    c.usePen(PS_SOLID, 1, kWhite);
    MoveToEx(c.dc, x0, y0);
    LineTo(c.dc, x1, y1);
    return c.notColor(0);
}

}  // namespace

TEST(GdiLines, OmitTheLastPixelAndMoveTheCurrentPoint) {
    Canvas c(32, 32);
    c.usePen(PS_SOLID, 1, kWhite);
    MoveToEx(c.dc, 3, 5);
    LineTo(c.dc, 10, 5);
    for (int x = 3; x < 10; ++x) EXPECT_EQ(c.at(x, 5), kWhite) << x;
    EXPECT_EQ(c.at(10, 5), 0u);
    EXPECT_EQ(c.at(2, 5), 0u);
    POINT p;
    ASSERT_TRUE(GetCurrentPositionEx(c.dc, &p));
    EXPECT_EQ(p, (POINT{10, 5}));
    // A zero-length line draws nothing.
    Canvas z(8, 8);
    z.usePen(PS_SOLID, 1, kWhite);
    MoveToEx(z.dc, 4, 4);
    LineTo(z.dc, 4, 4);
    EXPECT_TRUE(z.notColor(0).empty());
}

TEST(GdiLines, SlantedLinesSetTheSamePixelsInEitherDirection) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> d(-10, 70);
    for (int i = 0; i < 300; ++i) {
        int x0 = d(rng), y0 = d(rng), x1 = d(rng), y1 = d(rng);
        auto fwd = lineSet(x0, y0, x1, y1);
        auto back = lineSet(x1, y1, x0, y0);
        // Each omits its own end: with the ends added both are the same set.
        auto inside = [](int x, int y) { return x >= 0 && y >= 0 && x < 64 && y < 64; };
        if ((x0 != x1 || y0 != y1)) {
            if (inside(x1, y1)) fwd.insert({x1, y1});
            if (inside(x0, y0)) back.insert({x0, y0});
        }
        ASSERT_EQ(fwd, back) << x0 << "," << y0 << " -> " << x1 << "," << y1;
        // Connected and one pixel per step of the longer axis.
        if (inside(x0, y0) && inside(x1, y1)) {
            EXPECT_EQ(fwd.size(), size_t(std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1));
        }
    }
}

TEST(GdiLines, ClippingKeepsThePixelsOfTheWholeLine) {
    // The same lines drawn on a small surface and, shifted, on a surface that holds them whole.
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> d(-400, 460);
    for (int i = 0; i < 200; ++i) {
        int x0 = d(rng), y0 = d(rng), x1 = d(rng), y1 = d(rng);
        Canvas small(64, 64), big(1000, 1000);
        for (Canvas* c : {&small, &big}) c->usePen(i % 2 ? PS_DASHDOT : PS_SOLID, 1, kWhite);
        MoveToEx(small.dc, x0, y0);
        LineTo(small.dc, x1, y1);
        MoveToEx(big.dc, x0 + 400, y0 + 400);
        LineTo(big.dc, x1 + 400, y1 + 400);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(small.at(x, y), big.at(x + 400, y + 400))
                    << "line " << x0 << "," << y0 << " -> " << x1 << "," << y1 << " at " << x
                    << "," << y;
    }
}

TEST(GdiLines, FarPointsCostNothingAndCrashNothing) {
    Canvas c(100, 100);
    c.usePen(PS_DOT, 1, kWhite);
    auto t0 = std::chrono::steady_clock::now();
    MoveToEx(c.dc, INT32_MIN, INT32_MIN);
    LineTo(c.dc, INT32_MAX, INT32_MAX);
    MoveToEx(c.dc, INT32_MAX, 50);
    LineTo(c.dc, INT32_MIN, 50);
    MoveToEx(c.dc, 20, INT32_MIN);
    LineTo(c.dc, 21, INT32_MAX);
    POINT far[3] = {{INT32_MIN, 0}, {INT32_MAX, 99}, {0, INT32_MIN}};
    Polyline(c.dc, far, 3);
    Rectangle(c.dc, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    Ellipse(c.dc, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    Polygon(c.dc, far, 3);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(ms, 500);
    // The diagonal and the horizontal passed through the surface.
    c.usePen(PS_SOLID, 1, kWhite);
    Canvas d(100, 100);
    d.usePen(PS_SOLID, 1, kWhite);
    MoveToEx(d.dc, INT32_MIN, INT32_MIN);
    LineTo(d.dc, INT32_MAX, INT32_MAX);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(d.at(i, i), kWhite) << i;
    EXPECT_EQ(d.notColor(0).size(), 100u);
}

TEST(GdiLines, PenWidthsAndNullPen) {
    Canvas c(20, 20);
    c.usePen(PS_SOLID, 0, kWhite);  // width 0 draws one pixel wide
    MoveToEx(c.dc, 2, 2);
    LineTo(c.dc, 12, 2);
    EXPECT_EQ(c.notColor(0).size(), 10u);

    Canvas n(20, 20);
    n.usePen(PS_NULL, 1, kWhite);
    MoveToEx(n.dc, 2, 2);
    LineTo(n.dc, 12, 12);
    EXPECT_TRUE(n.notColor(0).empty());

    // A dashed pen wider than 1 draws solid, three rows thick, with round ends.
    Canvas w(40, 20);
    w.usePen(PS_DASH, 3, kWhite);
    MoveToEx(w.dc, 5, 10);
    LineTo(w.dc, 35, 10);
    for (int x = 5; x <= 35; ++x)
        for (int y = 9; y <= 11; ++y) EXPECT_EQ(w.at(x, y), kWhite) << x << "," << y;
    EXPECT_EQ(w.at(20, 8), 0u);
    EXPECT_EQ(w.at(20, 12), 0u);
}

TEST(GdiDash, PatternsCountPixelsAlongTheLongerAxis) {
    struct Case {
        int style;
        bool (*on)(int k);
    } cases[] = {
        {PS_DASH, [](int k) { return k % 24 < 18; }},
        {PS_DOT, [](int k) { return k % 6 < 3; }},
        {PS_DASHDOT, [](int k) { int p = k % 24; return p < 9 || (p >= 15 && p < 18); }},
        {PS_DASHDOTDOT,
         [](int k) { int p = k % 24; return p < 9 || (p >= 12 && p < 15) || (p >= 18 && p < 21); }},
    };
    for (const Case& cs : cases) {
        // Horizontal, left to right; vertical, bottom to top; slanted (x-major).
        Canvas c(120, 120, 0x808080);
        c.usePen(cs.style, 1, kWhite);
        SetBkMode(c.dc, TRANSPARENT);
        MoveToEx(c.dc, 0, 1);
        LineTo(c.dc, 100, 1);
        MoveToEx(c.dc, 3, 110);
        LineTo(c.dc, 3, 10);
        MoveToEx(c.dc, 10, 20);
        LineTo(c.dc, 110, 60);
        for (int k = 0; k < 100; ++k) {
            COLORREF want = cs.on(k) ? kWhite : 0x808080;
            ASSERT_EQ(c.at(k, 1), want) << cs.style << " k=" << k;
            ASSERT_EQ(c.at(3, 110 - k), want) << cs.style << " k=" << k;
        }
        int slantOn = 0, expectOn = 0;
        for (int k = 0; k < 100; ++k) {
            expectOn += cs.on(k);
            for (int y = 20; y <= 60; ++y) slantOn += c.at(10 + k, y) == kWhite;
        }
        EXPECT_EQ(slantOn, expectOn) << cs.style;
    }
}

TEST(GdiDash, OpaqueGapsTakeTheBackgroundThroughTheRasterOperation) {
    Canvas c(40, 4, 0x000000);
    c.usePen(PS_DOT, 1, kRed);
    SetBkColor(c.dc, 0x00FF00);
    SetBkMode(c.dc, OPAQUE);
    MoveToEx(c.dc, 0, 1);
    LineTo(c.dc, 30, 1);
    EXPECT_EQ(c.at(0, 1), kRed);
    EXPECT_EQ(c.at(3, 1), 0x00FF00u);
    SetROP2(c.dc, R2_XORPEN);
    MoveToEx(c.dc, 0, 1);
    LineTo(c.dc, 30, 1);
    for (int x = 0; x < 30; ++x) EXPECT_EQ(c.at(x, 1), 0u) << x;
}

TEST(GdiDash, PolylineCarriesThePatternLineToRestartsIt) {
    Canvas poly(64, 64), lines(64, 64);
    for (Canvas* c : {&poly, &lines}) {
        c->usePen(PS_DASH, 1, kWhite);
        SetBkMode(c->dc, TRANSPARENT);
    }
    POINT pts[3] = {{2, 2}, {12, 2}, {12, 50}};
    Polyline(poly.dc, pts, 3);
    MoveToEx(lines.dc, 2, 2);
    LineTo(lines.dc, 12, 2);
    LineTo(lines.dc, 12, 50);
    // Along the vertical leg the polyline is at pattern index 10 + k, LineTo at k.
    for (int k = 0; k < 48; ++k) {
        EXPECT_EQ(poly.at(12, 2 + k) == kWhite, (10 + k) % 24 < 18) << k;
        EXPECT_EQ(lines.at(12, 2 + k) == kWhite, k % 24 < 18) << k;
    }
    EXPECT_EQ(poly.at(12, 50), 0u);  // the final point is not drawn
    POINT cur;
    GetCurrentPositionEx(poly.dc, &cur);
    EXPECT_EQ(cur, (POINT{0, 0}));  // Polyline leaves the current point alone
}

TEST(GdiDash, AClippedLineKeepsThePhaseOfItsTrueStart) {
    Canvas c(50, 3);
    c.usePen(PS_DASHDOTDOT, 1, kWhite);
    SetBkMode(c.dc, TRANSPARENT);
    MoveToEx(c.dc, -1001, 1);
    LineTo(c.dc, 49, 1);
    for (int x = 0; x < 49; ++x) {
        int p = (x + 1001) % 24;
        bool on = p < 9 || (p >= 12 && p < 15) || (p >= 18 && p < 21);
        EXPECT_EQ(c.at(x, 1) == kWhite, on) << x;
    }
}

TEST(GdiRop, AllSixteenOperationsFollowTheirTruthTables) {
    const uint32_t P = 0x0000FF, D = 0x00F0F0;
    auto expect = [&](int r) -> uint32_t {
        switch (r) {
            case R2_BLACK: return 0;
            case R2_NOTMERGEPEN: return ~(P | D);
            case R2_MASKNOTPEN: return ~P & D;
            case R2_NOTCOPYPEN: return ~P;
            case R2_MASKPENNOT: return P & ~D;
            case R2_NOT: return ~D;
            case R2_XORPEN: return P ^ D;
            case R2_NOTMASKPEN: return ~(P & D);
            case R2_MASKPEN: return P & D;
            case R2_NOTXORPEN: return ~(P ^ D);
            case R2_NOP: return D;
            case R2_MERGENOTPEN: return ~P | D;
            case R2_COPYPEN: return P;
            case R2_MERGEPENNOT: return P | ~D;
            case R2_MERGEPEN: return P | D;
            default: return 0xFFFFFF;
        }
    };
    for (int r = 1; r <= 16; ++r) {
        Canvas c(8, 8, D);
        c.usePen(PS_SOLID, 1, P);
        SetBkColor(c.dc, 0);
        EXPECT_EQ(SetROP2(c.dc, r), R2_COPYPEN);
        MoveToEx(c.dc, 0, 3);
        LineTo(c.dc, 8, 3);
        // Brush fills take the operation too.
        SelectObject(c.dc, CreateSolidBrush(P));
        SelectObject(c.dc, GetStockObject(NULL_PEN));
        Rectangle(c.dc, 0, 5, 8, 7);
        EXPECT_EQ(c.at(2, 3), expect(r) & 0xFFFFFF) << r;
        EXPECT_EQ(c.at(2, 5), expect(r) & 0xFFFFFF) << r;
        EXPECT_EQ(c.at(2, 4), D);
        // FillRect ignores it.
        RECT rc{0, 0, 8, 1};
        FillRect(c.dc, &rc, GetCurrentObject(c.dc, OBJ_BRUSH));
        EXPECT_EQ(c.at(2, 0), P) << r;
        DeleteObject(SelectObject(c.dc, GetStockObject(WHITE_BRUSH)));
    }
    Canvas bad(2, 2);
    EXPECT_EQ(SetROP2(bad.dc, 0), 0);
    EXPECT_EQ(SetROP2(bad.dc, 17), 0);
    EXPECT_EQ(GetROP2(bad.dc), R2_COPYPEN);
}

TEST(GdiRop, NotXorRedOnBlackAndCrossingLinesCancel) {
    Canvas c(40, 40, 0x000000);
    c.usePen(PS_SOLID, 1, kRed);
    SetROP2(c.dc, R2_NOTXORPEN);
    MoveToEx(c.dc, 20, 0);
    LineTo(c.dc, 20, 40);
    EXPECT_EQ(c.at(20, 10), 0xFFFF00u);
    MoveToEx(c.dc, 0, 10);
    LineTo(c.dc, 40, 10);
    EXPECT_EQ(c.at(20, 10), 0x000000u);
    EXPECT_EQ(c.at(5, 10), 0xFFFF00u);
    // Red on white stays red.
    Canvas w(4, 4, kWhite);
    w.usePen(PS_SOLID, 1, kRed);
    SetROP2(w.dc, R2_NOTXORPEN);
    MoveToEx(w.dc, 0, 1);
    LineTo(w.dc, 4, 1);
    EXPECT_EQ(w.at(1, 1), kRed);
}

TEST(GdiRop, DrawingEveryPrimitiveTwiceUnderNotXorRestoresThePicture) {
    Canvas c(80, 80);
    std::mt19937 rng(3);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x) c.surface->row(y)[x] = rng() & 0xFFFFFF;
    std::vector<uint32_t> before(c.surface->row(0), c.surface->row(0) + 80 * 80);
    SetROP2(c.dc, R2_NOTXORPEN);
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, 0x123456);
    SelectObject(c.dc, CreateSolidBrush(0x00A0B0));
    POINT poly[5] = {{5, 5}, {70, 12}, {40, 75}, {60, 30}, {5, 5}};
    POINT star[5] = {{40, 2}, {60, 78}, {2, 28}, {78, 28}, {20, 78}};
    for (int style : {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOTDOT}) {
        for (int width : {1, 4}) {
            c.usePen(style, width, 0x3355FF);
            for (int pass = 0; pass < 2; ++pass) {
                MoveToEx(c.dc, 3, 70);
                LineTo(c.dc, 77, 4);
                Polyline(c.dc, poly, 5);
                Rectangle(c.dc, 10, 10, 50, 30);
                Rectangle(c.dc, 60, 40, 61, 70);  // one pixel wide
                Ellipse(c.dc, 20, 35, 75, 77);
                Polygon(c.dc, star, 5);
                SetPolyFillMode(c.dc, WINDING);
                Polygon(c.dc, star, 5);
                SetPolyFillMode(c.dc, ALTERNATE);
            }
            std::vector<uint32_t> after(c.surface->row(0), c.surface->row(0) + 80 * 80);
            ASSERT_EQ(before, after) << "style " << style << " width " << width;
        }
    }
    DeleteObject(SelectObject(c.dc, GetStockObject(WHITE_BRUSH)));
}

TEST(GdiShapes, RectangleCoversLeftToRightMinusOne) {
    Canvas c(12, 12, 0x808080);
    c.usePen(PS_SOLID, 1, kRed);
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    Rectangle(c.dc, 8, 7, 2, 2);  // corners normalised
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            bool in = x >= 2 && x <= 7 && y >= 2 && y <= 6;
            bool edge = in && (x == 2 || x == 7 || y == 2 || y == 6);
            COLORREF want = !in ? 0x808080 : edge ? kRed : kWhite;
            ASSERT_EQ(c.at(x, y), want) << x << "," << y;
        }
    // A hollow brush leaves the inside; a null pen lets the brush cover the box less its
    // last column and row.
    Canvas h(12, 12, 0x808080);
    h.usePen(PS_NULL, 1, 0);
    SelectObject(h.dc, GetStockObject(BLACK_BRUSH));
    Rectangle(h.dc, 2, 2, 8, 7);
    EXPECT_EQ(h.notColor(0x808080).size(), 20u);
    SelectObject(h.dc, GetStockObject(NULL_BRUSH));
    h.usePen(PS_SOLID, 1, kWhite);
    Rectangle(h.dc, 0, 0, 12, 12);
    EXPECT_EQ(h.at(5, 5), 0u);
    // Empty rectangles draw nothing.
    Canvas e(64, 64);
    e.usePen(PS_SOLID, 1, kWhite);
    Rectangle(e.dc, 2, 2, 2, 5);
    SelectObject(e.dc, GetStockObject(NULL_BRUSH));
    Rectangle(e.dc, 40, 10, 41, 11);   // nor does a 1 x 1 one
    EXPECT_TRUE(e.notColor(0).empty());
}

TEST(GdiShapes, EllipseStaysInItsBoxAndTouchesEverySide) {
    for (auto [w, h] : {std::pair{11, 7}, std::pair{2, 2}, std::pair{30, 31}, std::pair{1, 9}}) {
        Canvas c(40, 40);
        c.usePen(PS_SOLID, 1, kRed);
        SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
        Ellipse(c.dc, 4, 5, 4 + w, 5 + h);
        auto px = c.notColor(0);
        int minX = 99, maxX = -1, minY = 99, maxY = -1;
        for (auto [x, y] : px) {
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
        EXPECT_EQ(minX, 4) << w << "x" << h;
        EXPECT_EQ(maxX, 4 + w - 1);
        EXPECT_EQ(minY, 5);
        EXPECT_EQ(maxY, 5 + h - 1);
        if (w > 4 && h > 4) {
            EXPECT_EQ(c.at(4 + w / 2, 5 + h / 2), kWhite);  // filled by the brush
            EXPECT_EQ(c.at(4, 5), 0u);                      // corners stay outside
        }
    }
}

TEST(GdiShapes, PolygonFillsAlternateAndClosesItself) {
    Canvas c(20, 20);
    c.usePen(PS_NULL, 1, 0);
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    POINT sq[4] = {{2, 2}, {10, 2}, {10, 10}, {2, 10}};
    Polygon(c.dc, sq, 4);
    EXPECT_EQ(c.notColor(0).size(), 64u);  // 2..9 x 2..9 without a pen
    Canvas o(20, 20);
    o.usePen(PS_SOLID, 1, kRed);
    SelectObject(o.dc, GetStockObject(NULL_BRUSH));
    POINT tri[3] = {{2, 2}, {12, 2}, {2, 12}};
    Polygon(o.dc, tri, 3);
    EXPECT_EQ(o.at(2, 12), kRed);
    EXPECT_EQ(o.at(7, 7), kRed);  // the closing edge back to the start
    // A self-crossing star: alternate leaves the centre empty, winding fills it.
    POINT star[5] = {{10, 0}, {16, 19}, {0, 7}, {19, 7}, {3, 19}};
    for (int mode : {ALTERNATE, WINDING}) {
        Canvas s(20, 20);
        s.usePen(PS_NULL, 1, 0);
        SelectObject(s.dc, GetStockObject(WHITE_BRUSH));
        SetPolyFillMode(s.dc, mode);
        Polygon(s.dc, star, 5);
        EXPECT_EQ(s.at(10, 10) == kWhite, mode == WINDING);
    }
}

TEST(GdiShapes, FillRectAndPixels) {
    Canvas c(10, 10);
    HBRUSH b = CreateSolidBrush(0x112233);
    RECT r{2, 3, 5, 4};
    EXPECT_EQ(FillRect(c.dc, &r, b), 1);
    EXPECT_EQ(c.notColor(0).size(), 3u);
    EXPECT_EQ(c.at(4, 3), 0x112233u);
    RECT inverted{5, 3, 2, 4};  // columns 3..5
    FillRect(c.dc, &inverted, b);
    EXPECT_EQ(c.notColor(0).size(), 4u);
    EXPECT_EQ(c.at(5, 3), 0x112233u);
    DeleteObject(b);
    EXPECT_EQ(FillRect(c.dc, &r, b), 0);  // deleted brush
    EXPECT_EQ(SetPixel(c.dc, 9, 9, 0xABCDEF), 0xABCDEFu);
    EXPECT_EQ(GetPixel(c.dc, 9, 9), 0xABCDEFu);
    EXPECT_EQ(SetPixel(c.dc, 10, 9, 1), CLR_INVALID);
    EXPECT_EQ(GetPixel(c.dc, -1, 0), CLR_INVALID);
}

TEST(GdiHandles, ZeroAndStaleHandlesDoNothing) {
    auto s = std::make_shared<Surface>(8, 8, 0);
    HDC dc = createSurfaceDC(s);
    ASSERT_NE(dc, 0);
    EXPECT_TRUE(DeleteDC(dc));
    for (HDC h : {HDC(0), dc, HDC(123456)}) {
        EXPECT_FALSE(MoveToEx(h, 1, 1));
        EXPECT_FALSE(LineTo(h, 5, 5));
        EXPECT_FALSE(Rectangle(h, 0, 0, 8, 8));
        EXPECT_EQ(SetROP2(h, R2_XORPEN), 0);
        EXPECT_EQ(GetPixel(h, 1, 1), CLR_INVALID);
        EXPECT_EQ(SelectObject(h, GetStockObject(BLACK_PEN)), 0);
    }
    EXPECT_FALSE(DeleteDC(dc));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(s->colorAt(x, y), 0u);
    // A pen handle is not a context, and a context is not a pen.
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    EXPECT_FALSE(LineTo(pen, 1, 1));
    EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_EQ(CreatePen(7, 1, 0), 0);
}

TEST(GdiHandles, SelectObjectReturnsThePreviousObjectAndDeletedPensKeepDrawing) {
    Canvas c(10, 10);
    HGDIOBJ stock = GetCurrentObject(c.dc, OBJ_PEN);
    EXPECT_EQ(stock, GetStockObject(BLACK_PEN));
    HPEN red = CreatePen(PS_SOLID, 1, kRed);
    EXPECT_EQ(SelectObject(c.dc, red), stock);
    EXPECT_TRUE(DeleteObject(red));  // still selected: the context keeps it
    MoveToEx(c.dc, 0, 0);
    LineTo(c.dc, 5, 0);
    EXPECT_EQ(c.at(2, 0), kRed);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));  // stock objects survive
    EXPECT_NE(GetStockObject(BLACK_PEN), 0);
    LOGPEN lp;
    EXPECT_EQ(GetObjectA(GetStockObject(WHITE_PEN), sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnColor, kWhite);
}

// ---- The platform's own rules at exact places ---------------------------------------------------

namespace {

using PixelSet = std::set<std::pair<int, int>>;

PixelSet plus(int x, int y) { return {{x, y}, {x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}; }

PixelSet box(int x0, int y0, int x1, int y1) {  // inclusive
    PixelSet s;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) s.insert({x, y});
    return s;
}

}  // namespace

TEST(GdiLines, TiesTakeTheSmallerMinorCoordinateInEveryOctant) {
    auto a = lineSet(2, 2, 22, 12);
    EXPECT_TRUE(a.count({3, 2}));
    EXPECT_FALSE(a.count({3, 3}));
    auto b = lineSet(32, 24, 25, 4);
    EXPECT_TRUE(b.count({28, 14}));
    EXPECT_FALSE(b.count({29, 14}));
    // Every octant, each line drawn both ways: at every step the pixel is the one nearest the
    // true line, a tie (half-way) taking the smaller minor coordinate.
    for (auto [dx, dy] : {std::pair{20, 10}, {10, 20}, {-10, 20}, {-20, 10}, {-20, -10},
                          {-10, -20}, {10, -20}, {20, -10}, {14, 6}, {-6, 14}}) {
        const int cx = 32, cy = 32;
        for (bool reversed : {false, true}) {
            PixelSet got = reversed ? lineSet(cx + dx, cy + dy, cx, cy) : lineSet(cx, cy, cx + dx, cy + dy);
            got.insert(reversed ? std::pair{cx, cy} : std::pair{cx + dx, cy + dy});
            bool xMajor = std::abs(dx) >= std::abs(dy);
            int dm = xMajor ? dx : dy, dn = xMajor ? dy : dx;
            int ties = 0;
            for (int t = 0; std::abs(t) <= std::abs(dm); t += dm > 0 ? 1 : -1) {
                // The true minor offset t * dn / dm; half-way when 2 t dn / dm is odd.
                double v = double(t) * dn / dm;
                bool tie = (2 * t * dn) % dm == 0 && ((2 * t * dn) / dm) % 2 != 0;
                ties += tie;
                int n = int(tie ? std::floor(v) : std::floor(v + 0.5));
                std::pair<int, int> want = xMajor ? std::pair{cx + t, cy + n} : std::pair{cx + n, cy + t};
                ASSERT_TRUE(got.count(want)) << dx << "," << dy << (reversed ? " reversed" : "")
                                             << " step " << t;
            }
            EXPECT_EQ(got.size(), size_t(std::abs(dm) + 1));
            if (std::abs(dn) * 2 == std::abs(dm)) {
                EXPECT_GT(ties, 0);
            }
        }
    }
}

TEST(GdiShapes, FillRectWithReversedCornersCoversTheBoxFromTheOtherCorner) {
    Canvas c(64, 64);
    HBRUSH b = CreateSolidBrush(kWhite);
    RECT r{50, 40, 45, 30};
    EXPECT_EQ(FillRect(c.dc, &r, b), 1);
    EXPECT_EQ(c.notColor(0), box(46, 31, 50, 40));
    // One axis reversed, the other not; equal edges fill nothing.
    Canvas d(64, 64);
    RECT half{10, 5, 4, 8};
    FillRect(d.dc, &half, b);
    EXPECT_EQ(d.notColor(0), box(5, 5, 10, 7));
    Canvas e(64, 64);
    RECT flat{10, 5, 4, 5};
    FillRect(e.dc, &flat, b);
    EXPECT_TRUE(e.notColor(0).empty());
    DeleteObject(b);
}

TEST(GdiShapes, RectangleWithTheNullPenFillsOneColumnAndRowLess) {
    Canvas c(64, 64);
    c.usePen(PS_NULL, 1, 0);
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    Rectangle(c.dc, 5, 25, 30, 40);
    EXPECT_EQ(c.notColor(0), box(5, 25, 28, 38));
    Rectangle(c.dc, 40, 10, 41, 11);
    EXPECT_EQ(c.at(40, 10), 0u);
    // Reversed corners are the same box.
    Canvas r(64, 64);
    r.usePen(PS_NULL, 1, 0);
    SelectObject(r.dc, GetStockObject(WHITE_BRUSH));
    Rectangle(r.dc, 30, 40, 5, 25);
    EXPECT_EQ(r.notColor(0), box(5, 25, 28, 38));
}

TEST(GdiLines, WidePensHaveRoundEndsAndJoins) {
    Canvas dot(20, 20);
    dot.usePen(PS_SOLID, 3, kWhite);
    MoveToEx(dot.dc, 10, 10);
    LineTo(dot.dc, 10, 10);
    EXPECT_EQ(dot.notColor(0), plus(10, 10));
    // Horizontal: the middle row one pixel longer at each end than the outer rows.
    Canvas h(40, 20);
    h.usePen(PS_SOLID, 3, kWhite);
    MoveToEx(h.dc, 10, 10);
    LineTo(h.dc, 20, 10);
    PixelSet want = box(9, 10, 21, 10);
    want.merge(box(10, 9, 20, 9));
    want.merge(box(10, 11, 20, 11));
    EXPECT_EQ(h.notColor(0), want);
    // Width 2 is two pixels thick (towards the smaller coordinates), width 4 a round 4 x 4 dot.
    Canvas two(20, 20);
    two.usePen(PS_SOLID, 2, kWhite);
    MoveToEx(two.dc, 5, 10);
    LineTo(two.dc, 15, 10);
    for (int x = 5; x <= 15; ++x) {
        EXPECT_EQ(two.at(x, 9), kWhite) << x;
        EXPECT_EQ(two.at(x, 10), kWhite) << x;
        EXPECT_EQ(two.at(x, 8), 0u) << x;
        EXPECT_EQ(two.at(x, 11), 0u) << x;
    }
    // A 45-degree width-3 line is six pixels wide a row, one more on the right, whichever way it
    // is drawn; the other diagonal the same.
    for (bool backwards : {false, true}) {
        Canvas d(40, 40);
        d.usePen(PS_SOLID, 3, kWhite);
        MoveToEx(d.dc, backwards ? 30 : 10, backwards ? 30 : 10);
        LineTo(d.dc, backwards ? 10 : 30, backwards ? 10 : 30);
        for (int y = 14; y <= 26; ++y)
            for (int x = y - 5; x <= y + 5; ++x)
                EXPECT_EQ(d.at(x, y) == kWhite, x - y >= -2 && x - y <= 3) << x << "," << y;
    }
    Canvas anti(40, 40);
    anti.usePen(PS_SOLID, 3, kWhite);
    MoveToEx(anti.dc, 10, 30);
    LineTo(anti.dc, 30, 10);
    for (int y = 14; y <= 26; ++y)
        for (int x = 35 - y; x <= 45 - y; ++x)
            EXPECT_EQ(anti.at(x, y) == kWhite, x + y >= 38 && x + y <= 43) << x << "," << y;
    MoveToEx(anti.dc, 2, 0);   // beside it a slope-2 line, four pixels wide on every row
    LineTo(anti.dc, 12, 20);
    for (int y = 4; y <= 16; ++y)
        for (int x = 0; x < 20; ++x) EXPECT_EQ(anti.at(x, y) == kWhite, 2 * x > y && 2 * x <= y + 8) << x << "," << y;
    // A slanted wide line covers the same pixels whichever way it is drawn.
    for (auto [x1, y1] : {std::pair{50, 20}, {45, 31}, {17, 50}, {50, 2}}) {
        Canvas there(60, 60), back(60, 60);
        there.usePen(PS_SOLID, 3, kWhite);
        back.usePen(PS_SOLID, 3, kWhite);
        MoveToEx(there.dc, 10, 10);
        LineTo(there.dc, x1, y1);
        MoveToEx(back.dc, x1, y1);
        LineTo(back.dc, 10, 10);
        EXPECT_EQ(there.notColor(0), back.notColor(0)) << x1 << "," << y1;
    }
    Canvas four(20, 20);
    four.usePen(PS_SOLID, 4, kWhite);
    MoveToEx(four.dc, 10, 10);
    LineTo(four.dc, 10, 10);
    PixelSet round = box(8, 8, 11, 11);
    for (auto corner : {std::pair{8, 8}, {11, 8}, {8, 11}, {11, 11}}) round.erase(corner);
    EXPECT_EQ(four.notColor(0), round);
}

TEST(GdiShapes, WideOutlinesAreCentredUnlessInsideFrame) {
    Canvas c(64, 64);
    c.usePen(PS_SOLID, 3, kRed);
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    Rectangle(c.dc, 10, 10, 30, 25);
    // The thin outline runs along x 10 and 29, y 10 and 24; the wide one lies one pixel either side.
    EXPECT_EQ(c.at(9, 15), kRed);
    EXPECT_EQ(c.at(11, 15), kRed);
    EXPECT_EQ(c.at(12, 15), kWhite);
    EXPECT_EQ(c.at(30, 15), kRed);
    EXPECT_EQ(c.at(20, 25), kRed);
    EXPECT_EQ(c.at(20, 9), kRed);
    EXPECT_EQ(c.at(8, 15), 0u);
    EXPECT_EQ(c.at(9, 9), 0u);  // round joins leave the outer corner
    // Inside-frame keeps to the box.
    Canvas f(64, 64);
    f.usePen(PS_INSIDEFRAME, 3, kRed);
    SelectObject(f.dc, GetStockObject(WHITE_BRUSH));
    Rectangle(f.dc, 10, 10, 30, 25);
    EXPECT_EQ(f.at(9, 15), 0u);
    EXPECT_EQ(f.at(10, 15), kRed);
    EXPECT_EQ(f.at(12, 15), kRed);
    EXPECT_EQ(f.at(13, 15), kWhite);
    EXPECT_EQ(f.at(10, 10), kRed);
    // Ellipses the same way: the centred one reaches a pixel past the box.
    Canvas e(64, 64);
    e.usePen(PS_SOLID, 3, kRed);
    Ellipse(e.dc, 10, 10, 30, 30);
    EXPECT_EQ(e.at(9, 19), kRed);
    EXPECT_EQ(e.at(19, 30), kRed);
    Canvas ei(64, 64);
    ei.usePen(PS_INSIDEFRAME, 3, kRed);
    Ellipse(ei.dc, 10, 10, 30, 30);
    EXPECT_EQ(ei.at(9, 19), 0u);
    EXPECT_EQ(ei.at(10, 19), kRed);
    EXPECT_EQ(ei.at(19, 30), 0u);
}

TEST(GdiShapes, EllipsesTakeThePixelsWithinHalfAPixelOfTheCurveThroughTheEdgePixels) {
    Canvas c(64, 64);
    c.usePen(PS_SOLID, 1, kWhite);
    Ellipse(c.dc, 50, 30, 53, 33);
    EXPECT_EQ(c.notColor(0), plus(51, 31));
    Ellipse(c.dc, 5, 5, 45, 35);   // a 40 x 30 one: its top rows
    for (int x = 0; x < 64; ++x)
        EXPECT_TRUE((c.at(x, 5) != 0) == (x >= 20 && x <= 29) && (c.at(x, 6) != 0) == (x >= 16 && x <= 33)) << x;
}
