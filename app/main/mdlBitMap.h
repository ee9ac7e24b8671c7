#pragma once
// Window pictures for the hard copy: a picture object from a bitmap, the capture of a window
// (client area or the whole window with frame and title bar) and a picture printed fitted to
// the page.
#include <cstdint>

#include "platform/forms/Picture.h"
#include "platform/forms/Printer.h"
#include "platform/gdi/GdiTypes.h"

namespace qv {

// A picture that takes over the bitmap and the palette (0 for none): both handles are freed.
// A handle that is not a bitmap gives no picture.
forms::Picture PictureFromBitmap(gdi::HBITMAP hBitmap, gdi::HPALETTE hPalette);

// A copy of width x height pixels of the window from (left, top): of its client area when
// bClient, else of the whole window with frame and title bar. On a screen with a 256-colour
// palette the picture carries the system palette.
forms::Picture CaptureWindowImage(int32_t hWnd, bool bClient, int32_t left, int32_t top,
                                  int32_t width, int32_t height);

// Draws the picture on the printer's current page as large as the page allows, its shape
// kept, centred across the page at the top; portrait for a picture at least as high as wide.
void PrintPictureOnPage(forms::PrinterObject& printer, const forms::Picture& picture);

}  // namespace qv
