// Picture boxes and forms as windows of the drawing layer, units per container, pictures,
// and the Printer with its recording port.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TestWindows.h"
#include "platform/basic/RuntimeError.h"
#include "platform/gdi/Gdi.h"

namespace qv::forms::test {
namespace {

class Surfaces : public ::testing::Test {
protected:
    Driver drv;
    frmMain& f = frmMain::instance();
};

TEST_F(Surfaces, FormAndPictureBoxAreWindowsWithOuterAndClientRects) {
    gdi::RECT r;
    ASSERT_TRUE(gdi::GetWindowRect(f.hWnd(), &r));
    EXPECT_EQ(r, (gdi::RECT{0, 0, 600, 500}));  // 9000 x 7500 twips at 15 a pixel
    ASSERT_TRUE(gdi::GetClientRect(f.hWnd(), &r));
    EXPECT_EQ(r, (gdi::RECT{0, 0, 592, 473}));  // sizable frame 4, caption 19
    int32_t h = f.PBXMoniDisp.hWnd();
    ASSERT_TRUE(gdi::IsWindow(h));
    EXPECT_EQ(gdi::GetParent(h), f.hWnd());
    ASSERT_TRUE(gdi::GetWindowRect(h, &r));
    EXPECT_EQ(r, (gdi::RECT{14, 223, 314, 373}));  // pixels inside the client area
    ASSERT_TRUE(gdi::GetClientRect(h, &r));
    EXPECT_EQ(r, (gdi::RECT{0, 0, 296, 146}));  // 3D border: 2 pixels each side
    EXPECT_DOUBLE_EQ(f.PBXMoniDisp.ScaleWidth(), 296);
    EXPECT_DOUBLE_EQ(f.PBXMoniDisp.ScaleHeight(), 146);
    f.Move(1500, 1500, 9000, 7500);  // the form moves: the box moves on the screen
    ASSERT_TRUE(gdi::GetWindowRect(h, &r));
    EXPECT_EQ(r, (gdi::RECT{114, 323, 414, 473}));
}

TEST_F(Surfaces, RefreshPaintsThroughTheControlsDeviceContext) {
    f.PBXMoniDisp.Refresh();
    EXPECT_EQ(f.log.back(), "PBXMoniDisp_Paint");
    auto s = f.PBXMoniDisp.surface();
    EXPECT_EQ(s->colorAt(0, 0), 0x000000u);
    EXPECT_EQ(s->colorAt(9, 0), 0x000000u);
    EXPECT_EQ(s->colorAt(10, 0), 0xFFFFFFu);  // a line leaves out its last pixel
    f.PBXMoniDisp.Cls();
    EXPECT_EQ(s->colorAt(0, 0), 0xFFFFFFu);
    f.PBXMoniDisp.setBackColor(0x0000FF);  // a new background erases
    EXPECT_EQ(s->colorAt(5, 5), 0x0000FFu);
}

TEST_F(Surfaces, ResizingTheBoxResizesItsImage) {
    f.PBXMoniDisp.Move(10, 200, 104, 54);
    gdi::RECT r;
    ASSERT_TRUE(gdi::GetClientRect(f.PBXMoniDisp.hWnd(), &r));
    EXPECT_EQ(r, (gdi::RECT{0, 0, 100, 50}));
    EXPECT_EQ(f.PBXMoniDisp.surface()->width(), 100);
    f.PBXMoniDisp.setBorderStyle(0);
    EXPECT_EQ(f.PBXMoniDisp.surface()->width(), 104);
}

TEST_F(Surfaces, TwipsAndPixelContainers) {
    frmDialog& d = frmDialog::instance();
    EXPECT_EQ(d.txtValue.outerRect(), (PixelRect{8, 8, 108, 28}));  // twips form
    EXPECT_EQ(f.txtFName.outerRect(), (PixelRect{8, 150, 108, 170}));  // pixel form
    EXPECT_EQ(f.optFixed.outerRect(), (PixelRect{16, 28, 96, 45}));  // frame: parent's units
    EXPECT_DOUBLE_EQ(f.ScaleX(1, vbPixels, vbTwips), 15);
    EXPECT_DOUBLE_EQ(f.ScaleX(1440, vbTwips, vbHimetric), 2540);
    EXPECT_DOUBLE_EQ(f.Line1(0).X2(), 300);
    drv.setScreen(2560, 1440, 12, 12);
    EXPECT_DOUBLE_EQ(Screen.TwipsPerPixelX(), 12);
    EXPECT_DOUBLE_EQ(Screen.Width(), 2560 * 12);
    EXPECT_EQ(d.txtValue.outerRect(), (PixelRect{10, 10, 135, 35}));
}

TEST_F(Surfaces, UnloadRemovesTheWindows) {
    int32_t form = f.hWnd(), box = f.PBXMoniDisp.hWnd();
    int32_t dc = f.PBXMoniDisp.hDC();
    ASSERT_NE(dc, 0);
    Unload(f);
    EXPECT_FALSE(gdi::IsWindow(form));
    EXPECT_FALSE(gdi::IsWindow(box));
    EXPECT_FALSE(gdi::MoveToEx(dc, 0, 0));  // a stale context draws nothing
}

TEST_F(Surfaces, WholeWindowImageFramesTheClientAreaAndItsShownPictureBoxes) {
    drv.run([&] { f.Show(); });
    f.PBXMoniDisp.surface()->fill(0x00FF00);
    const WindowFrame frame = windowFrame(f.BorderStyle);
    const int cx = frame.border, cy = frame.border + frame.caption;
    const int boxX = cx + 10 + 2 + 5, boxY = cy + 200 + 2 + 5;  // inside its 3D border
    auto pixelAt = [&](int x, int y) {
        int32_t dc = gdi::GetWindowDC(f.hWnd());
        gdi::COLORREF c = gdi::GetPixel(dc, x, y);
        gdi::ReleaseDC(f.hWnd(), dc);
        return c;
    };
    f.renderWindowImage();
    EXPECT_EQ(gdi::windowSurface(f.hWnd())->width(), 592);  // the client image is unchanged
    EXPECT_EQ(pixelAt(0, 0), 0x404040u);                     // frame edge
    EXPECT_EQ(pixelAt(599, 499), 0x404040u);
    EXPECT_EQ(pixelAt(590, 10), 0x800000u);                  // title bar
    EXPECT_EQ(pixelAt(boxX, boxY), 0x00FF00u);
    EXPECT_EQ(pixelAt(cx + 580, cy + 450), static_cast<gdi::COLORREF>(f.BackColor()));

    f.PBXMoniDisp.setVisible(false);
    f.renderWindowImage();
    EXPECT_EQ(pixelAt(boxX, boxY), static_cast<gdi::COLORREF>(f.BackColor()));
}

TEST_F(Surfaces, PicturesSaveLoadAndPaint) {
    auto dir = std::filesystem::temp_directory_path() / ("qv_forms_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    f.PBXMoniDisp.Refresh();
    Picture img = f.PBXMoniDisp.Image();
    EXPECT_NEAR(img.Width(), 296 * 2540.0 / 96, 1e-9);
    std::string path = (dir / "Tmp.bmp").string();
    SavePicture(img, path);
    Picture back = LoadPicture(path);
    ASSERT_EQ(back.widthPixels(), 296);
    EXPECT_EQ(back.surface()->colorAt(3, 0), 0x000000u);
    EXPECT_EQ(back.surface()->colorAt(3, 1), 0xFFFFFFu);
    EXPECT_THROW(LoadPicture((dir / "none.bmp").string()), basic::RuntimeError);
    // Drawn twice as large at (100, 0): pixel (3, 0) of the picture covers 106..107.
    f.PBXMoniDisp.Cls();
    f.PBXMoniDisp.PaintPicture(back, 100, 0, 592, 292);
    EXPECT_EQ(f.PBXMoniDisp.surface()->colorAt(107, 1), 0x000000u);
    EXPECT_EQ(f.PBXMoniDisp.surface()->colorAt(107, 2), 0xFFFFFFu);
    std::filesystem::remove_all(dir);
}

TEST_F(Surfaces, PrinterFitsAPictureToTheLandscapePage) {
    auto pixels = std::make_shared<gdi::Surface>(400, 300, 0x00FF00);
    Picture pic(pixels);
    EXPECT_EQ(printerCount(), 1);
    // The hard copy's rule: orientation first, then measure in HIMETRIC.
    Printer.setOrientation(pic.Height() >= pic.Width() ? vbPRORPortrait : vbPRORLandscape);
    double pageW = Printer.ScaleX(Printer.ScaleWidth(), Printer.ScaleMode(), vbHimetric);
    double pageH = Printer.ScaleY(Printer.ScaleHeight(), Printer.ScaleMode(), vbHimetric);
    EXPECT_NEAR(pageW, 29700, 1e-6);
    EXPECT_NEAR(pageH, 21000, 1e-6);
    double ratio = pic.Width() / pic.Height();
    double printW = ratio >= pageW / pageH ? pageW : pageH * ratio;
    double printH = ratio >= pageW / pageH ? pageW / ratio : pageH;
    printW = Printer.ScaleX(printW, vbHimetric, Printer.ScaleMode());
    printH = Printer.ScaleY(printH, vbHimetric, Printer.ScaleMode());
    Printer.PaintPicture(pic, (Printer.ScaleWidth() - printW) / 2, 0, printW, printH);
    Printer.EndDoc();
    ASSERT_EQ(drv.printer().documents().size(), 1u);
    const PrintedPage& page = drv.printer().documents()[0].pages.at(0);
    EXPECT_EQ(page.orientation, vbPRORLandscape);
    ASSERT_EQ(page.items.size(), 1u);
    EXPECT_NEAR(page.items[0].width, 28000 / 2540.0 * 1440, 1e-6);
    EXPECT_NEAR(page.items[0].height, 21000 / 2540.0 * 1440, 1e-6);
    EXPECT_NEAR(page.items[0].x, (29700 - 28000) / 2.0 / 2540 * 1440, 1e-6);
    EXPECT_EQ(page.items[0].image->colorAt(0, 0), 0x00FF00u);
    Printer.EndDoc();  // nothing drawn: nothing sent
    EXPECT_EQ(drv.printer().documents().size(), 1u);
}

TEST_F(Surfaces, PrinterFailuresAreError482) {
    Picture pic(std::make_shared<gdi::Surface>(10, 10));
    drv.printer().failNext = true;
    Printer.PaintPicture(pic, 0, 0);
    try {
        Printer.EndDoc();
        ADD_FAILURE() << "no error";
    } catch (const basic::RuntimeError& e) {
        EXPECT_EQ(e.number(), errPrinter);
    }
    EXPECT_EQ(Printer.currentPage(), nullptr);  // the failed document is gone
    setPrinterPort(nullptr);
    EXPECT_EQ(printerCount(), 0);
    EXPECT_THROW(Printer.PaintPicture(pic, 0, 0), basic::RuntimeError);
}

TEST_F(Surfaces, PrinterCountIsThePortsCountOfSystemPrinters) {
    drv.printer().printers = 3;
    EXPECT_EQ(printerCount(), 3);
    // No printer on the system, yet the port still takes documents (a file port does).
    drv.printer().printers = 0;
    EXPECT_EQ(printerCount(), 0);
    Printer.Print("x");
    Printer.EndDoc();
    EXPECT_EQ(drv.printer().documents().size(), 1u);
    drv.printer().printers = -2;  // a port's nonsense is no count
    EXPECT_EQ(printerCount(), 0);
}

}  // namespace
}  // namespace qv::forms::test
