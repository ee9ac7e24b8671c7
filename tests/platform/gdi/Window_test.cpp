// Window handles, their contexts and defaults, change notification and screen capabilities.

#include <gtest/gtest.h>

#include <memory>

#include "GdiTestSupport.h"
#include "platform/kernel/ScreenMetrics.h"

using namespace qv::gdi;

namespace {

// A picture box with a 3D border: client 400 x 300 at (100, 50), outer 2 pixels larger.
WindowDesc pictureBox(std::shared_ptr<Surface> s) {
    WindowDesc d;
    d.client = RECT{100, 50, 500, 350};
    d.outer = RECT{98, 48, 502, 352};
    d.surface = std::move(s);
    LOGFONTA lf{};
    lf.lfHeight = 12;
    d.defaults = pictureBoxDefaults(0x0000FF, 0xFFFFFF, lf);
    return d;
}

}  // namespace

TEST(GdiWindows, RectanglesAndClientContexts) {
    auto s = std::make_shared<Surface>(400, 300, 0xFFFFFF);
    HWND w = registerWindow(pictureBox(s));
    ASSERT_TRUE(IsWindow(w));
    RECT r;
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_EQ(r, (RECT{98, 48, 502, 352}));
    ASSERT_TRUE(GetClientRect(w, &r));
    EXPECT_EQ(r, (RECT{0, 0, 400, 300}));

    HDC dc = GetDC(w);
    ASSERT_NE(dc, 0);
    EXPECT_EQ(WindowFromDC(dc), w);
    MoveToEx(dc, 0, 0);
    LineTo(dc, 10, 0);
    EXPECT_EQ(s->colorAt(0, 0), 0x0000FFu);  // the pen is the ForeColor
    // The window context starts at the outer corner: (2, 2) is the client's (0, 0).
    HDC wdc = GetWindowDC(w);
    SetPixel(wdc, 2, 3, 0x00FF00);
    EXPECT_EQ(s->colorAt(0, 1), 0x00FF00u);
    EXPECT_EQ(GetPixel(wdc, 0, 0), CLR_INVALID);  // the border has no pixels here
    EXPECT_EQ(ReleaseDC(w, wdc), 1);
    EXPECT_EQ(ReleaseDC(w, wdc), 0);
    EXPECT_EQ(ReleaseDC(w + 1, dc), 0);
    EXPECT_EQ(ReleaseDC(w, dc), 1);
    EXPECT_FALSE(LineTo(dc, 1, 1));

    // The control's own context survives ReleaseDC but not the window.
    HDC control = createControlDC(w);
    EXPECT_EQ(ReleaseDC(w, control), 0);
    EXPECT_TRUE(SetPixelV(control, 5, 5, 0));
    unregisterWindow(w);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(SetPixelV(control, 5, 6, 0));
    EXPECT_FALSE(GetWindowRect(w, &r));
    EXPECT_EQ(GetDC(w), 0);
}

TEST(GdiWindows, PictureBoxDefaultsAndPlatformDefaults) {
    auto s = std::make_shared<Surface>(20, 20, 0xFFFFFF);
    HWND w = registerWindow(pictureBox(s));
    HDC dc = createControlDC(w);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetTextColor(dc), 0x0000FFu);
    EXPECT_EQ(GetBkColor(dc), 0xFFFFFFu);
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    Rectangle(dc, 2, 2, 10, 10);
    EXPECT_EQ(s->colorAt(5, 5), 0xFFFFFFu);  // hollow brush: outline only
    EXPECT_EQ(s->colorAt(2, 5), 0x0000FFu);
    // The control's pen can be selected back after a temporary one.
    HGDIOBJ own = SelectObject(dc, CreatePen(PS_SOLID, 1, 0));
    DeleteObject(SelectObject(dc, own));
    MoveToEx(dc, 0, 15);
    LineTo(dc, 5, 15);
    EXPECT_EQ(s->colorAt(1, 15), 0x0000FFu);
    LOGFONTA lf;
    ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf), int(sizeof lf));
    EXPECT_EQ(lf.lfHeight, 12);
    unregisterWindow(w);

    auto p = std::make_shared<Surface>(4, 4);
    HDC plain = createSurfaceDC(p);
    EXPECT_EQ(GetBkMode(plain), OPAQUE);
    EXPECT_EQ(GetCurrentObject(plain, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(plain, OBJ_PEN), GetStockObject(BLACK_PEN));
    DeleteDC(plain);
}

TEST(GdiWindows, SurfacesReportWhatChanged) {
    auto s = std::make_shared<Surface>(50, 40, 0);
    int calls = 0;
    Surface* seen = nullptr;
    Surface::setChangeListener([&](Surface& x) {
        ++calls;
        seen = &x;
    });
    HDC dc = createSurfaceDC(s);
    SelectObject(dc, GetStockObject(WHITE_PEN));
    MoveToEx(dc, 5, 7);
    LineTo(dc, 20, 7);
    MoveToEx(dc, 10, 30);
    LineTo(dc, 10, 12);
    EXPECT_EQ(calls, 1);  // once per clean-to-dirty transition
    EXPECT_EQ(seen, s.get());
    RECT r;
    ASSERT_TRUE(s->takeChanges(&r));
    EXPECT_LE(r.left, 5);
    EXPECT_GE(r.right, 20);
    EXPECT_LE(r.top, 7);
    EXPECT_GE(r.bottom, 30);
    EXPECT_FALSE(s->takeChanges(&r));
    MoveToEx(dc, -100, -100);
    LineTo(dc, -50, -60);  // wholly outside: nothing changed
    EXPECT_FALSE(s->hasChanges());
    SetPixel(dc, 1, 1, 0xFFFFFF);
    EXPECT_EQ(calls, 2);
    Surface::setChangeListener({});
    DeleteDC(dc);
}

TEST(GdiWindows, ScreenCapabilitiesFollowTheKernelMetrics) {
    auto saved = qv::kernel::screenMetrics();
    auto s = std::make_shared<Surface>(1, 1);
    HDC dc = createSurfaceDC(s);
    qv::kernel::ScreenMetrics m;
    m.widthPx = 1920;
    m.heightPx = 1080;
    m.bitsPerPixel = 32;
    qv::kernel::setScreenMetrics(m);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1920);
    EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), 508);
    EXPECT_EQ(GetDeviceCaps(dc, VERTSIZE), 286);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE, 0);
    EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 0);
    m.bitsPerPixel = 8;
    qv::kernel::setScreenMetrics(m);
    EXPECT_EQ(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE, RC_PALETTE);
    EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 256);
    PALETTEENTRY e[256];
    EXPECT_EQ(GetSystemPaletteEntries(dc, 0, 256, e), 256);
    EXPECT_EQ(e[0].peRed + e[0].peGreen + e[0].peBlue, 0);
    bool white = false;
    for (const auto& x : e) white = white || (x.peRed == 255 && x.peGreen == 255 && x.peBlue == 255);
    EXPECT_TRUE(white);
    // A logical palette gives back the entries it was made of, within its size.
    auto lp = std::make_unique<LOGPALETTE>();
    lp->palNumEntries = 3;
    lp->palPalEntry[2] = PALETTEENTRY{1, 2, 3, 0};
    HPALETTE pal = CreatePalette(lp.get());
    PALETTEENTRY back[4]{};
    EXPECT_EQ(GetPaletteEntries(pal, 1, 4, back), 2);
    EXPECT_EQ(back[1].peRed + back[1].peGreen * 10 + back[1].peBlue * 100, 321);
    EXPECT_EQ(GetPaletteEntries(pal, 3, 1, back), 0);
    EXPECT_EQ(GetPaletteEntries(dc, 0, 1, back), 0);  // not a palette
    DeleteObject(pal);
    EXPECT_EQ(GetDeviceCaps(0, HORZRES), 0);
    qv::kernel::setScreenMetrics(saved);
    DeleteDC(dc);
}
