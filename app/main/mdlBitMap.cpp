#include "app/main/mdlBitMap.h"

#include <cstring>
#include <memory>
#include <vector>

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Types.h"
#include "platform/gdi/Gdi.h"

namespace qv {

forms::Picture PictureFromBitmap(gdi::HBITMAP hBitmap, gdi::HPALETTE hPalette) {
    std::vector<gdi::PALETTEENTRY> palette;
    if (hPalette) {
        palette.resize(256);
        palette.resize(static_cast<size_t>(gdi::GetPaletteEntries(hPalette, 0, 256, palette.data())));
        gdi::DeleteObject(hPalette);
    }
    std::shared_ptr<gdi::Surface> pixels = gdi::bitmapSurface(hBitmap);
    if (!pixels) return {};
    // The picture owns its pixels: copy them out before the bitmap goes.
    auto own = std::make_shared<gdi::Surface>(pixels->width(), pixels->height());
    for (int y = 0; y < own->height(); ++y)
        std::memcpy(own->row(y), pixels->row(y), sizeof(uint32_t) * static_cast<size_t>(own->width()));
    gdi::DeleteObject(hBitmap);
    return forms::Picture(std::move(own), std::move(palette));
}

forms::Picture CaptureWindowImage(int32_t hWnd, bool bClient, int32_t left, int32_t top,
                                  int32_t width, int32_t height) {
    gdi::HDC source = bClient ? gdi::GetDC(hWnd) : gdi::GetWindowDC(hWnd);
    gdi::HDC memory = gdi::CreateCompatibleDC(source);
    gdi::HBITMAP bitmap = gdi::CreateCompatibleBitmap(source, width, height);
    gdi::HGDIOBJ previousBitmap = gdi::SelectObject(memory, bitmap);

    gdi::HPALETTE palette = 0, previousPalette = 0;
    if ((gdi::GetDeviceCaps(source, gdi::RASTERCAPS) & gdi::RC_PALETTE) != 0 &&
        gdi::GetDeviceCaps(source, gdi::SIZEPALETTE) == 256) {
        auto lp = std::make_unique<gdi::LOGPALETTE>();
        lp->palVersion = 0x300;
        lp->palNumEntries = 256;
        gdi::GetSystemPaletteEntries(source, 0, 256, lp->palPalEntry);
        palette = gdi::CreatePalette(lp.get());
        previousPalette = gdi::SelectPalette(memory, palette, false);
        gdi::RealizePalette(memory);
    }

    gdi::BitBlt(memory, 0, 0, width, height, source, left, top, gdi::SRCCOPY);

    bitmap = gdi::SelectObject(memory, previousBitmap);
    if (palette) palette = gdi::SelectPalette(memory, previousPalette, false);
    gdi::DeleteDC(memory);
    gdi::ReleaseDC(hWnd, source);
    return PictureFromBitmap(bitmap, palette);
}

void PrintPictureOnPage(forms::PrinterObject& printer, const forms::Picture& picture) {
    using forms::vbHimetric;
    if (picture.empty()) basic::raiseError(basic::errObjectNotSet);
    // The orientation decides the page's measures, so it comes first.
    printer.setOrientation(picture.Height() >= picture.Width() ? forms::vbPRORPortrait
                                                               : forms::vbPRORLandscape);
    const double picRatio = picture.Width() / picture.Height();
    const int mode = printer.ScaleMode();
    const double pageW = printer.ScaleX(printer.ScaleWidth(), mode, vbHimetric);
    const double pageH = printer.ScaleY(printer.ScaleHeight(), mode, vbHimetric);
    const double pageRatio = pageW / pageH;
    double printW = 0, printH = 0;
    if (picRatio >= pageRatio) {
        printW = printer.ScaleX(pageW, vbHimetric, mode);
        printH = printer.ScaleY(pageW / picRatio, vbHimetric, mode);
    } else {
        printH = printer.ScaleY(pageH, vbHimetric, mode);
        printW = printer.ScaleX(pageH * picRatio, vbHimetric, mode);
    }
    printer.PaintPicture(picture, (printer.ScaleWidth() - printW) / 2, 0, printW, printH);
}

}  // namespace qv
