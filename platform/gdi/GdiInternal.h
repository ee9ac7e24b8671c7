#pragma once
// Internal structures of the drawing layer: GDI objects, device contexts, the handle tables and
// the rasteriser's entry points. Not for use outside platform/gdi.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace qv::gdi::detail {

// ---- Objects -------------------------------------------------------------------------------
struct DibInfo {
    BITMAPINFOHEADER hdr;               // biHeight sign as created
    std::vector<RGBQUAD> colours;       // bits <= 8
    uint32_t masks[3] = {0, 0, 0};      // 16/32-bit channel masks
    std::vector<uint32_t> storage;      // the bits, word aligned
    uint8_t* bits() { return reinterpret_cast<uint8_t*>(storage.data()); }
    int64_t stride() const { return dibStride(hdr.biWidth, hdr.biBitCount); }
    int height() const { return hdr.biHeight < 0 ? -hdr.biHeight : hdr.biHeight; }
    bool bottomUp() const { return hdr.biHeight > 0; }
};

struct GdiObject {
    int type = 0;  // OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP, OBJ_PAL
    bool stock = false;
    // pen
    int penStyle = PS_SOLID;
    int penWidth = 1;
    COLORREF color = 0;  // pen or brush colour
    // brush
    int brushStyle = BS_SOLID;
    // font
    LOGFONTA font{};
    // bitmap: a 32-bit surface; a DIB section of another depth keeps its own bits and the
    // surface is a working copy refreshed around each drawing call.
    std::shared_ptr<Surface> surface;
    std::unique_ptr<DibInfo> dib;
    HDC selectedIn = 0;
    // A picture's bitmap: reported as a device bitmap (word-aligned rows); never drawn in place.
    bool deviceRows = false;
    // palette
    std::vector<PALETTEENTRY> palette;
    // enhanced metafile: its bytes and its picture
    std::vector<uint8_t> emfBytes;
};
using ObjPtr = std::shared_ptr<GdiObject>;

class EmfRecorder;

// ---- Device contexts -----------------------------------------------------------------------
enum class DcKind { Window, WindowWhole, Control, Memory, Surface, Metafile };

struct Dc {
    HDC id = 0;
    DcKind kind = DcKind::Surface;
    HWND hwnd = 0;
    std::shared_ptr<Surface> surface;
    int orgX = 0, orgY = 0;  // device = logical + origin
    ObjPtr pen, brush, font, bitmap, palette;
    HGDIOBJ penId = 0, brushId = 0, fontId = 0, bitmapId = 0, paletteId = 0;
    int rop2 = R2_COPYPEN;
    int bkMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    int polyFillMode = ALTERNATE;
    COLORREF bkColor = 0xFFFFFF;
    COLORREF textColor = 0;
    POINT cur{};
    std::unique_ptr<EmfRecorder> emf;
    std::vector<HGDIOBJ> owned;  // objects freed with the context
};

// Handle tables.
Dc* findDc(HDC h);
ObjPtr findObject(HGDIOBJ h);
HGDIOBJ addObject(ObjPtr obj);
HGDIOBJ stockHandle(int index);
int stockIndexOf(HGDIOBJ h);  // -1 when h is not a stock object
HDC addDc(std::unique_ptr<Dc> dc);
void removeDc(HDC h);
void applyDefaults(Dc& dc, const DcDefaults& d);

// Brings the surface of a DIB section of < 32 bits up to date with its bits before drawing or
// reading, and writes the surface back afterwards. No-ops for other contexts.
void loadDibSurface(GdiObject& bmp);
void storeDibSurface(GdiObject& bmp);

// Guards one drawing call on a context: DIB conversions around it.
class DrawScope {
public:
    explicit DrawScope(Dc& dc);
    ~DrawScope();
    DrawScope(const DrawScope&) = delete;
    DrawScope& operator=(const DrawScope&) = delete;

private:
    Dc& dc_;
};

// ---- Rasteriser ----------------------------------------------------------------------------
struct PenSpec {
    bool null = false;
    int width = 1;             // > 1: geometric, solid
    bool insideFrame = false;  // wide outlines of rectangles and ellipses stay inside the box
    const uint8_t* pattern = nullptr;  // 1 = on, 0 = gap, one entry a pixel; null = solid
    int period = 0;
    uint32_t onPixel = 0;      // 0x00RRGGBB
    uint32_t gapPixel = 0;
    bool paintGaps = false;
    int rop2 = R2_COPYPEN;
};
PenSpec penSpec(const Dc& dc);

struct BrushSpec {
    bool null = true;
    uint32_t pixel = 0;
    int rop2 = R2_COPYPEN;
};
BrushSpec brushSpec(const Dc& dc);

// Surface target with device-coordinate clip (exclusive right/bottom).
struct Target {
    Surface* s = nullptr;
    int64_t orgX = 0, orgY = 0;
};

// Polyline through device points; the last point is not drawn; the pattern continues across
// the corners starting at phase 0. closed: back to the first point as well.
void drawPolyline(const Target& t, const PenSpec& pen, const int64_t* xy, int count, bool closed,
                  RECT* touched);
void fillSpan(Surface& s, int y, int x0, int x1, uint32_t pixel, int rop2);  // [x0, x1)
void drawRectangle(const Target& t, const PenSpec& pen, const BrushSpec& brush, int64_t l,
                   int64_t tp, int64_t r, int64_t b, RECT* touched);
void drawEllipse(const Target& t, const PenSpec& pen, const BrushSpec& brush, int64_t l,
                 int64_t tp, int64_t r, int64_t b, RECT* touched);
void drawPolygon(const Target& t, const PenSpec& pen, const BrushSpec& brush, const int64_t* xy,
                 int count, bool winding, RECT* touched);
uint32_t applyRop2(int rop2, uint32_t pen, uint32_t dst);

// UTF-8 -> code points (a malformed byte becomes "?"), and -> UTF-16 with surrogate pairs.
std::u32string decodeUtf8(std::string_view utf8);
std::u16string toUtf16(std::string_view utf8);

// Metafile hooks (Emf.cpp).
void emfOnDeleteObject(HGDIOBJ obj);
void emfOnSelect(Dc& dc, HGDIOBJ obj, const GdiObject& o);

void unionRect(RECT* acc, const RECT& r);

}  // namespace qv::gdi::detail
