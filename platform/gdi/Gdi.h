#pragma once
// The drawing layer: window and device-context handle tables shared by the whole process,
// GDI objects, the drawing calls, text, bitmaps, DIB transfers and enhanced-metafile recording.
// The calls keep the platform's names and argument order so drawing code maps one to one.
//
// Rules every call keeps:
// - A handle of 0, a deleted handle or a handle of the wrong kind makes the call do nothing
//   (and return 0/false/CLR_INVALID as the platform's call would report failure).
// - Coordinates are 32-bit and clipped before rasterising: a point at 2^31 costs nothing.
// - Everything runs on the user-interface thread; the tables are not locked.
// - Text arguments of the ...A calls are CP932 bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Surface.h"

namespace qv::gdi {

// ---- Screen --------------------------------------------------------------------------------
// GetDeviceCaps reports the screen of qv::kernel::screenMetrics() (size, bits per pixel) at
// 96 DPI: 1920 pixels are 508 mm. Contexts compatible with the screen report the same.

// The fixed 256-entry system palette used for 8-bit screens and DIBs without a colour table.
const std::array<PALETTEENTRY, 256>& systemPalette();

// ---- Windows -------------------------------------------------------------------------------
// Initial state of the device contexts handed out for a window (GetDC and the control DC).
// Plain windows get the platform's defaults; picture boxes take their colours and font from
// the control (see pictureBoxDefaults).
struct DcDefaults {
    COLORREF textColor = 0x000000;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    COLORREF penColor = 0x000000;
    bool hollowBrush = false;  // false: the white stock brush
    bool hasFont = false;      // false: the default font
    LOGFONTA font{};
};
// Text colour and pen = ForeColor, background colour = BackColor, background mode
// TRANSPARENT, hollow brush, the control's font.
DcDefaults pictureBoxDefaults(COLORREF foreColor, COLORREF backColor, const LOGFONTA& font);

// A window as the forms model registers it. Rectangles are in screen coordinates; the client
// rectangle lies inside the outer one (picture box with a 3D border: outer = client grown by 2
// on each side; borderless: equal; a form: client plus frame and caption).
struct WindowDesc {
    HWND parent = 0;
    RECT outer{};
    RECT client{};
    std::shared_ptr<Surface> surface;        // the client area's persistent image
    std::shared_ptr<Surface> frameSurface;   // optional image of the whole outer rectangle
    DcDefaults defaults;
};

HWND registerWindow(const WindowDesc& desc);
// Moves or resizes a window; the surfaces are the caller's to resize.
bool setWindowRects(HWND hwnd, const RECT& outer, const RECT& client);
bool setWindowSurface(HWND hwnd, std::shared_ptr<Surface> surface);
bool setWindowFrameSurface(HWND hwnd, std::shared_ptr<Surface> surface);
bool setWindowDefaults(HWND hwnd, const DcDefaults& defaults);
// Removes the window; its GetDC contexts and control DC become stale handles.
void unregisterWindow(HWND hwnd);
std::shared_ptr<Surface> windowSurface(HWND hwnd);

bool IsWindow(HWND hwnd);
HWND GetParent(HWND hwnd);
bool GetWindowRect(HWND hwnd, RECT* rect);  // outer rectangle, screen coordinates
bool GetClientRect(HWND hwnd, RECT* rect);  // (0, 0, client width, client height)

// A context on the client surface, origin at the client's top-left corner; free with
// ReleaseDC.
HDC GetDC(HWND hwnd);
// A context on the whole window, origin at the outer top-left corner: on the frame surface when
// one is registered, else on the client surface shifted by the border (pixels outside it read
// black and writes there are dropped).
HDC GetWindowDC(HWND hwnd);
// 1 when hdc came from GetDC/GetWindowDC of hwnd and is now freed, else 0 (a control DC or a
// memory DC is left alone).
int ReleaseDC(HWND hwnd, HDC hdc);
// The persistent context a control offers as its hDC: lives until DeleteDC or until the window
// is unregistered; ReleaseDC does not free it.
HDC createControlDC(HWND hwnd);
HWND WindowFromDC(HDC hdc);

// ---- Device contexts -----------------------------------------------------------------------
// A context drawing on a surface of our own (tests, off-screen canvases). Platform defaults.
HDC createSurfaceDC(std::shared_ptr<Surface> surface);
// Memory context: starts with a 1x1 bitmap until a bitmap is selected.
HDC CreateCompatibleDC(HDC hdc);
bool DeleteDC(HDC hdc);
// The surface a context draws on now (its window's, its selected bitmap's, or an enhanced
// metafile's rendering), or null.
std::shared_ptr<Surface> dcSurface(HDC hdc);

int GetDeviceCaps(HDC hdc, int index);

int SetROP2(HDC hdc, int rop2);  // previous mode, 0 on failure or an invalid mode
int GetROP2(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF c);
COLORREF GetBkColor(HDC hdc);
COLORREF SetTextColor(HDC hdc, COLORREF c);
COLORREF GetTextColor(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
bool GetCurrentPositionEx(HDC hdc, POINT* pt);

// ---- Objects -------------------------------------------------------------------------------
// style PS_*; width 0 draws 1 pixel wide; a styled pen wider than 1 draws solid.
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);  // BS_SOLID and BS_NULL
HFONT CreateFontIndirectA(const LOGFONTA* lf);
HGDIOBJ GetStockObject(int index);
// Selects a pen, brush, font or bitmap (memory contexts only) and returns the previous object
// of that kind; 0 on failure. A palette goes through SelectPalette.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC hdc, int objType);
// Frees the handle. A context that still holds the object keeps drawing with it until another
// is selected. Stock objects are never deleted (true is returned, as the platform does).
bool DeleteObject(HGDIOBJ obj);
int GetObjectType(HGDIOBJ obj);
// Fills a LOGPEN, LOGBRUSH, LOGFONTA or BITMAP; returns the bytes written, 0 when cb is short.
int GetObjectA(HGDIOBJ obj, int cb, void* out);

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
// A DIB section of 1, 4, 8, 16 (5-5-5), 24 or 32 bits. *bits receives its pixel memory, laid
// out as the header says (bottom-up for a positive height). The colour table of bits <= 8 comes
// from bmi (DIB_RGB_COLORS) or from the system palette (DIB_PAL_COLORS).
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, uint32_t usage, void** bits);
std::shared_ptr<Surface> bitmapSurface(HBITMAP bmp);

struct LOGPALETTE {
    uint16_t palVersion = 0x300;
    uint16_t palNumEntries = 0;
    PALETTEENTRY palPalEntry[256] = {};
};
HPALETTE CreatePalette(const LOGPALETTE* lp);
HPALETTE SelectPalette(HDC hdc, HPALETTE pal, bool forceBackground);
int RealizePalette(HDC hdc);
int GetSystemPaletteEntries(HDC hdc, int start, int count, PALETTEENTRY* out);
// Entries start.. of a logical palette; returns how many were copied (0 for no palette).
int GetPaletteEntries(HPALETTE pal, int start, int count, PALETTEENTRY* out);

// ---- Drawing -------------------------------------------------------------------------------
bool MoveToEx(HDC hdc, int x, int y, POINT* old = nullptr);
// From the current point up to but not including (x, y); the current point moves to (x, y).
bool LineTo(HDC hdc, int x, int y);
// Segment by segment, last point not drawn, dash pattern carried across the corners; the
// current point is left alone.
bool Polyline(HDC hdc, const POINT* pts, int count);
// Corners normalised; outline and fill cover left..right-1 x top..bottom-1.
bool Rectangle(HDC hdc, int left, int top, int right, int bottom);
bool Ellipse(HDC hdc, int left, int top, int right, int bottom);
// Closed; filled by the poly-fill mode (ALTERNATE by default), outlined with the pen.
bool Polygon(HDC hdc, const POINT* pts, int count);
// left..right-1 x top..bottom-1 with the brush; no pen, no raster operation; empty when
// right <= left or bottom <= top.
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF c);
bool SetPixelV(HDC hdc, int x, int y, COLORREF c);
COLORREF GetPixel(HDC hdc, int x, int y);

// ---- Text ----------------------------------------------------------------------------------
// Top-left alignment at (x, y), rotated by the font's escapement about that point. The
// raster operation does not apply; the background mode and colour do.
bool TextOutA(HDC hdc, int x, int y, const char* text, int length);
bool GetTextMetricsA(HDC hdc, TEXTMETRICA* tm);
bool GetTextExtentPoint32A(HDC hdc, const char* text, int length, SIZE* size);
// The fontconfig file that maps the system's face names to installed fonts. Without a call the
// file "fonts.conf" is looked for in $QUORVANE_HOME, then beside the executable.
void setFontConfigFile(const std::string& path);

// ---- Bit-block and DIB transfers -----------------------------------------------------------
// Source pixels outside the source surface read as black.
bool BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
            uint32_t rop);
// Nearest-neighbour stretch of a DIB (1 to 32 bits, BI_RGB or 16/32-bit BI_BITFIELDS).
// For a bottom-up DIB ySrc counts from its bottom row. bitsSize, when given, is the size of the
// buffer behind bits; a DIB larger than it is refused. Returns the rows drawn, 0 on failure.
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                  int ySrc, int srcWidth, int srcHeight, const void* bits,
                  const BITMAPINFO* bmi, uint32_t usage, uint32_t rop,
                  size_t bitsSize = SIZE_MAX);

// ---- Enhanced metafiles --------------------------------------------------------------------
// A recording context. file is the system's path text (CP932, Windows-style or Linux, mapped
// through the kernel's drives; null: in memory only); frame in 0.01 mm
// (null: from the drawn bounds); description: application and picture name separated by NUL,
// as CP932 (may be null). The reference context is ignored: the screen is the reference.
HDC CreateEnhMetaFileA(HDC reference, const char* file, const RECT* frame,
                       const char* description);
// Ends recording, writes the file (via a temporary file, replaced whole) and returns the
// metafile handle; 0 when the file could not be written.
HENHMETAFILE CloseEnhMetaFile(HDC hdc);
bool DeleteEnhMetaFile(HENHMETAFILE emf);
// The EMF bytes; with buf null returns the size only.
uint32_t GetEnhMetaFileBits(HENHMETAFILE emf, uint32_t size, uint8_t* buf);
// The recorded picture rendered by the same rasteriser (for a PNG beside the EMF bytes).
std::shared_ptr<Surface> enhMetaFileSurface(HENHMETAFILE emf);

}  // namespace qv::gdi
