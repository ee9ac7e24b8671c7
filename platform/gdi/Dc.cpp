// Handle tables (windows, device contexts, GDI objects), context state and the drawing calls.

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/gdi/Emf.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/kernel/ScreenMetrics.h"

namespace qv::gdi {

namespace detail {

namespace {

struct Window {
    WindowDesc desc;
    std::vector<HDC> dcs;  // GetDC / GetWindowDC / control contexts bound to it
};

// Stock objects sit at fixed small ids; the memory context's default 1x1 bitmap too.
constexpr HGDIOBJ kStockBase = 1;
constexpr int kStockCount = 18;
constexpr HGDIOBJ kDefaultBitmap = 30;
constexpr int32_t kFirstDynamicId = 64;

struct Tables {
    std::unordered_map<HWND, Window> windows;
    std::unordered_map<HDC, std::unique_ptr<Dc>> dcs;
    std::unordered_map<HGDIOBJ, ObjPtr> objects;
    // One counter for windows, contexts and objects, so no two live handles share a number and
    // a handle of one kind is never taken for another.
    int32_t next = kFirstDynamicId;
    // One-entry cache: drawing code calls many times in a row on the same context.
    HDC lastDc = 0;
    Dc* lastDcPtr = nullptr;

    Tables() {
        auto add = [&](int index, ObjPtr o) {
            o->stock = true;
            objects[kStockBase + index] = std::move(o);
        };
        auto brush = [](int style, COLORREF c) {
            auto o = std::make_shared<GdiObject>();
            o->type = OBJ_BRUSH;
            o->brushStyle = style;
            o->color = c;
            return o;
        };
        auto pen = [](int style, COLORREF c) {
            auto o = std::make_shared<GdiObject>();
            o->type = OBJ_PEN;
            o->penStyle = style;
            o->penWidth = 1;
            o->color = c;
            return o;
        };
        add(WHITE_BRUSH, brush(BS_SOLID, 0xFFFFFF));
        add(LTGRAY_BRUSH, brush(BS_SOLID, 0xC0C0C0));
        add(GRAY_BRUSH, brush(BS_SOLID, 0x808080));
        add(DKGRAY_BRUSH, brush(BS_SOLID, 0x404040));
        add(BLACK_BRUSH, brush(BS_SOLID, 0x000000));
        add(NULL_BRUSH, brush(BS_NULL, 0));
        add(WHITE_PEN, pen(PS_SOLID, 0xFFFFFF));
        add(BLACK_PEN, pen(PS_SOLID, 0x000000));
        add(NULL_PEN, pen(PS_NULL, 0));
        for (int f : {SYSTEM_FONT, DEFAULT_GUI_FONT}) {
            auto o = std::make_shared<GdiObject>();
            o->type = OBJ_FONT;
            add(f, o);
        }
        auto pal = std::make_shared<GdiObject>();
        pal->type = OBJ_PAL;
        pal->palette.assign(systemPalette().begin(), systemPalette().end());
        add(DEFAULT_PALETTE, pal);
        auto bmp = std::make_shared<GdiObject>();
        bmp->type = OBJ_BITMAP;
        bmp->stock = true;
        bmp->surface = std::make_shared<Surface>(1, 1, 0x000000);
        objects[kDefaultBitmap] = bmp;
    }
};

Tables& tables() {
    static Tables t;
    return t;
}

int32_t nextId(int32_t& counter) {
    int32_t id = counter;
    counter = counter == INT32_MAX ? kFirstDynamicId : counter + 1;
    return id;
}

Window* findWindow(HWND h) {
    auto& w = tables().windows;
    auto it = w.find(h);
    return it == w.end() ? nullptr : &it->second;
}

void selectInto(Dc& dc, HGDIOBJ id) {
    ObjPtr o = findObject(id);
    if (!o) return;
    switch (o->type) {
        case OBJ_PEN: dc.pen = o; dc.penId = id; break;
        case OBJ_BRUSH: dc.brush = o; dc.brushId = id; break;
        case OBJ_FONT: dc.font = o; dc.fontId = id; break;
        case OBJ_PAL: dc.palette = o; dc.paletteId = id; break;
        default: break;
    }
}

void platformDefaults(Dc& dc) {
    selectInto(dc, stockHandle(BLACK_PEN));
    selectInto(dc, stockHandle(WHITE_BRUSH));
    selectInto(dc, stockHandle(SYSTEM_FONT));
    selectInto(dc, stockHandle(DEFAULT_PALETTE));
}

std::unique_ptr<Dc> windowDc(Window& w, HWND h, DcKind kind) {
    auto dc = std::make_unique<Dc>();
    dc->kind = kind;
    dc->hwnd = h;
    if (kind == DcKind::WindowWhole) {
        if (w.desc.frameSurface) {
            dc->surface = w.desc.frameSurface;
        } else {
            dc->surface = w.desc.surface;
            dc->orgX = w.desc.outer.left - w.desc.client.left;
            dc->orgY = w.desc.outer.top - w.desc.client.top;
        }
    } else {
        dc->surface = w.desc.surface;
    }
    applyDefaults(*dc, w.desc.defaults);
    return dc;
}

HDC addWindowDc(HWND h, DcKind kind) {
    Window* w = findWindow(h);
    if (!w) return 0;
    HDC id = addDc(windowDc(*w, h, kind));
    w->dcs.push_back(id);
    return id;
}

}  // namespace

int stockIndexOf(HGDIOBJ h) {
    return (h >= kStockBase && h < kStockBase + kStockCount && findObject(h)) ? h - kStockBase
                                                                                : -1;
}

HGDIOBJ stockHandle(int index) {
    return (index >= 0 && index < kStockCount) ? kStockBase + index : 0;
}

Dc* findDc(HDC h) {
    Tables& t = tables();
    if (h == 0) return nullptr;
    if (h == t.lastDc) return t.lastDcPtr;
    auto it = t.dcs.find(h);
    if (it == t.dcs.end()) return nullptr;
    t.lastDc = h;
    t.lastDcPtr = it->second.get();
    return t.lastDcPtr;
}

ObjPtr findObject(HGDIOBJ h) {
    auto& o = tables().objects;
    auto it = o.find(h);
    return it == o.end() ? nullptr : it->second;
}

HGDIOBJ addObject(ObjPtr obj) {
    Tables& t = tables();
    HGDIOBJ id = nextId(t.next);
    t.objects[id] = std::move(obj);
    return id;
}

HDC addDc(std::unique_ptr<Dc> dc) {
    Tables& t = tables();
    HDC id = nextId(t.next);
    dc->id = id;
    t.dcs[id] = std::move(dc);
    return id;
}

void removeDc(HDC h) {
    Tables& t = tables();
    auto it = t.dcs.find(h);
    if (it == t.dcs.end()) return;
    Dc& dc = *it->second;
    if (dc.bitmap && dc.bitmap->selectedIn == h) dc.bitmap->selectedIn = 0;
    if (Window* w = findWindow(dc.hwnd)) std::erase(w->dcs, h);
    for (HGDIOBJ o : dc.owned) t.objects.erase(o);
    if (t.lastDc == h) {
        t.lastDc = 0;
        t.lastDcPtr = nullptr;
    }
    t.dcs.erase(it);
}

void applyDefaults(Dc& dc, const DcDefaults& d) {
    platformDefaults(dc);
    dc.textColor = d.textColor;
    dc.bkColor = d.bkColor;
    dc.bkMode = d.bkMode;
    // The window's own pen and font are objects of the context: in the table (so selecting them
    // back works) but not deletable, and freed with the context.
    auto own = [&](ObjPtr o) {
        o->stock = true;
        HGDIOBJ id = addObject(o);
        dc.owned.push_back(id);
        selectInto(dc, id);
    };
    if (d.penColor != 0) {
        auto pen = std::make_shared<GdiObject>();
        pen->type = OBJ_PEN;
        pen->color = d.penColor & 0xFFFFFF;
        own(pen);
    }
    if (d.hollowBrush) selectInto(dc, stockHandle(NULL_BRUSH));
    if (d.hasFont) {
        auto f = std::make_shared<GdiObject>();
        f->type = OBJ_FONT;
        f->font = d.font;
        own(f);
    }
}

PenSpec penSpec(const Dc& dc) {
    static constexpr uint8_t kDash[24] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                          1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0};
    static constexpr uint8_t kDot[6] = {1, 1, 1, 0, 0, 0};
    static constexpr uint8_t kDashDot[24] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0,
                                             0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0};
    static constexpr uint8_t kDashDotDot[24] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0,
                                                1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0};
    PenSpec p;
    const GdiObject* o = dc.pen.get();
    if (!o || o->penStyle == PS_NULL) {
        p.null = true;
        return p;
    }
    p.width = std::max(o->penWidth, 1);
    p.insideFrame = o->penStyle == PS_INSIDEFRAME;
    if (p.width == 1) {
        switch (o->penStyle) {
            case PS_DASH: p.pattern = kDash; p.period = 24; break;
            case PS_DOT: p.pattern = kDot; p.period = 6; break;
            case PS_DASHDOT: p.pattern = kDashDot; p.period = 24; break;
            case PS_DASHDOTDOT: p.pattern = kDashDotDot; p.period = 24; break;
            default: break;
        }
    }
    p.onPixel = colorToPixel(o->color);
    p.gapPixel = colorToPixel(dc.bkColor);
    p.paintGaps = dc.bkMode == OPAQUE;
    p.rop2 = dc.rop2;
    return p;
}

BrushSpec brushSpec(const Dc& dc) {
    BrushSpec b;
    const GdiObject* o = dc.brush.get();
    if (!o || o->brushStyle == BS_NULL) return b;
    b.null = false;
    b.pixel = colorToPixel(o->color);
    b.rop2 = dc.rop2;
    return b;
}

DrawScope::DrawScope(Dc& dc) : dc_(dc) {
    if (dc_.bitmap) loadDibSurface(*dc_.bitmap);
}
DrawScope::~DrawScope() {
    if (dc_.bitmap) storeDibSurface(*dc_.bitmap);
}

}  // namespace detail

using namespace detail;

namespace {

// Runs one drawing call: DIB conversions around it, change notification and metafile bounds
// after it.
template <class F>
bool draw(HDC h, F&& f) {
    Dc* dc = findDc(h);
    if (!dc || !dc->surface) return false;
    DrawScope scope(*dc);
    Target t{dc->surface.get(), dc->orgX, dc->orgY};
    RECT touched{};
    f(*dc, t, &touched);
    dc->surface->markChanged(touched);
    if (dc->emf) dc->emf->addBounds(touched);
    return true;
}

std::vector<int64_t> devicePoints(const Dc& dc, const POINT* pts, int count) {
    std::vector<int64_t> xy(size_t(count) * 2);
    for (int i = 0; i < count; ++i) {
        xy[2 * size_t(i)] = int64_t(pts[i].x) + dc.orgX;
        xy[2 * size_t(i) + 1] = int64_t(pts[i].y) + dc.orgY;
    }
    return xy;
}

}  // namespace

// ---- Screen --------------------------------------------------------------------------------

const std::array<PALETTEENTRY, 256>& systemPalette() {
    // A 6x6x6 colour cube (black first, white at 215) and a 40-step grey ramp.
    static const std::array<PALETTEENTRY, 256> pal = [] {
        std::array<PALETTEENTRY, 256> p{};
        int i = 0;
        for (int b = 0; b < 6; ++b)
            for (int g = 0; g < 6; ++g)
                for (int r = 0; r < 6; ++r)
                    p[size_t(i++)] = {uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51), 0};
        for (int k = 0; k < 40; ++k) {
            auto v = uint8_t((k + 1) * 255 / 41);
            p[size_t(i++)] = {v, v, v, 0};
        }
        return p;
    }();
    return pal;
}

// ---- Windows -------------------------------------------------------------------------------

DcDefaults pictureBoxDefaults(COLORREF foreColor, COLORREF backColor, const LOGFONTA& font) {
    DcDefaults d;
    d.textColor = foreColor;
    d.bkColor = backColor;
    d.bkMode = TRANSPARENT;
    d.penColor = foreColor;
    d.hollowBrush = true;
    d.hasFont = true;
    d.font = font;
    return d;
}

HWND registerWindow(const WindowDesc& desc) {
    Tables& t = tables();
    HWND id = nextId(t.next);
    t.windows[id] = Window{desc, {}};
    return id;
}

bool setWindowRects(HWND hwnd, const RECT& outer, const RECT& client) {
    Window* w = findWindow(hwnd);
    if (!w) return false;
    w->desc.outer = outer;
    w->desc.client = client;
    for (HDC h : w->dcs) {
        Dc* dc = findDc(h);
        if (dc && dc->kind == DcKind::WindowWhole && !w->desc.frameSurface) {
            dc->orgX = outer.left - client.left;
            dc->orgY = outer.top - client.top;
        }
    }
    return true;
}

bool setWindowSurface(HWND hwnd, std::shared_ptr<Surface> surface) {
    Window* w = findWindow(hwnd);
    if (!w) return false;
    w->desc.surface = std::move(surface);
    for (HDC h : w->dcs) {
        Dc* dc = findDc(h);
        if (dc && (dc->kind != DcKind::WindowWhole || !w->desc.frameSurface))
            dc->surface = w->desc.surface;
    }
    return true;
}

bool setWindowFrameSurface(HWND hwnd, std::shared_ptr<Surface> surface) {
    Window* w = findWindow(hwnd);
    if (!w) return false;
    w->desc.frameSurface = std::move(surface);
    for (HDC h : w->dcs) {
        Dc* dc = findDc(h);
        if (dc && dc->kind == DcKind::WindowWhole) {
            bool frame = w->desc.frameSurface != nullptr;
            dc->surface = frame ? w->desc.frameSurface : w->desc.surface;
            dc->orgX = frame ? 0 : w->desc.outer.left - w->desc.client.left;
            dc->orgY = frame ? 0 : w->desc.outer.top - w->desc.client.top;
        }
    }
    return true;
}

bool setWindowDefaults(HWND hwnd, const DcDefaults& defaults) {
    Window* w = findWindow(hwnd);
    if (!w) return false;
    w->desc.defaults = defaults;
    return true;
}

void unregisterWindow(HWND hwnd) {
    Window* w = findWindow(hwnd);
    if (!w) return;
    std::vector<HDC> dcs = w->dcs;
    for (HDC h : dcs) removeDc(h);
    tables().windows.erase(hwnd);
}

std::shared_ptr<Surface> windowSurface(HWND hwnd) {
    Window* w = findWindow(hwnd);
    return w ? w->desc.surface : nullptr;
}

bool IsWindow(HWND hwnd) { return findWindow(hwnd) != nullptr; }

HWND GetParent(HWND hwnd) {
    Window* w = findWindow(hwnd);
    return w ? w->desc.parent : 0;
}

bool GetWindowRect(HWND hwnd, RECT* rect) {
    Window* w = findWindow(hwnd);
    if (!w || !rect) return false;
    *rect = w->desc.outer;
    return true;
}

bool GetClientRect(HWND hwnd, RECT* rect) {
    Window* w = findWindow(hwnd);
    if (!w || !rect) return false;
    *rect = RECT{0, 0, w->desc.client.right - w->desc.client.left,
                 w->desc.client.bottom - w->desc.client.top};
    return true;
}

HDC GetDC(HWND hwnd) { return addWindowDc(hwnd, DcKind::Window); }
HDC GetWindowDC(HWND hwnd) { return addWindowDc(hwnd, DcKind::WindowWhole); }
HDC createControlDC(HWND hwnd) { return addWindowDc(hwnd, DcKind::Control); }

int ReleaseDC(HWND hwnd, HDC hdc) {
    Dc* dc = findDc(hdc);
    if (!dc || dc->hwnd != hwnd || hwnd == 0) return 0;
    if (dc->kind != DcKind::Window && dc->kind != DcKind::WindowWhole) return 0;
    removeDc(hdc);
    return 1;
}

HWND WindowFromDC(HDC hdc) {
    Dc* dc = findDc(hdc);
    return dc ? dc->hwnd : 0;
}

// ---- Device contexts -----------------------------------------------------------------------

HDC createSurfaceDC(std::shared_ptr<Surface> surface) {
    if (!surface) return 0;
    auto dc = std::make_unique<Dc>();
    dc->kind = DcKind::Surface;
    dc->surface = std::move(surface);
    platformDefaults(*dc);
    return addDc(std::move(dc));
}

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc != 0 && !findDc(hdc)) return 0;
    auto dc = std::make_unique<Dc>();
    dc->kind = DcKind::Memory;
    platformDefaults(*dc);
    dc->bitmap = findObject(kDefaultBitmap);
    dc->bitmapId = kDefaultBitmap;
    dc->surface = dc->bitmap->surface;
    return addDc(std::move(dc));
}

bool DeleteDC(HDC hdc) {
    if (!findDc(hdc)) return false;
    removeDc(hdc);
    return true;
}

std::shared_ptr<Surface> dcSurface(HDC hdc) {
    Dc* dc = findDc(hdc);
    if (!dc) return nullptr;
    if (dc->bitmap) loadDibSurface(*dc->bitmap);
    return dc->surface;
}

int GetDeviceCaps(HDC hdc, int index) {
    if (!findDc(hdc)) return 0;
    kernel::ScreenMetrics m = kernel::screenMetrics();
    bool pal = m.bitsPerPixel <= 8;
    switch (index) {
        case HORZSIZE: return m.widthMm();
        case VERTSIZE: return m.heightMm();
        case HORZRES: return m.widthPx;
        case VERTRES: return m.heightPx;
        case BITSPIXEL: return m.bitsPerPixel;
        case PLANES: return 1;
        case NUMCOLORS: return pal ? 20 : -1;
        case RASTERCAPS:
            return RC_BITBLT | RC_DI_BITMAP | RC_STRETCHBLT | RC_STRETCHDIB |
                   (pal ? RC_PALETTE : 0);
        case LOGPIXELSX:
        case LOGPIXELSY: return 96;
        case SIZEPALETTE: return pal ? 256 : 0;
        case NUMRESERVED: return pal ? 20 : 0;
        default: return 0;
    }
}

int SetROP2(HDC hdc, int rop2) {
    Dc* dc = findDc(hdc);
    if (!dc || rop2 < 1 || rop2 > 16) return 0;
    int old = dc->rop2;
    dc->rop2 = rop2;
    if (dc->emf) dc->emf->setRop2(rop2);
    return old;
}
int GetROP2(HDC hdc) {
    Dc* dc = findDc(hdc);
    return dc ? dc->rop2 : 0;
}

int SetBkMode(HDC hdc, int mode) {
    Dc* dc = findDc(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int old = dc->bkMode;
    dc->bkMode = mode;
    if (dc->emf) dc->emf->setBkMode(mode);
    return old;
}
int GetBkMode(HDC hdc) {
    Dc* dc = findDc(hdc);
    return dc ? dc->bkMode : 0;
}

COLORREF SetBkColor(HDC hdc, COLORREF c) {
    Dc* dc = findDc(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->bkColor;
    dc->bkColor = c & 0xFFFFFF;
    if (dc->emf) dc->emf->setBkColor(dc->bkColor);
    return old;
}
COLORREF GetBkColor(HDC hdc) {
    Dc* dc = findDc(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}

COLORREF SetTextColor(HDC hdc, COLORREF c) {
    Dc* dc = findDc(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->textColor;
    dc->textColor = c & 0xFFFFFF;
    if (dc->emf) dc->emf->setTextColor(dc->textColor);
    return old;
}
COLORREF GetTextColor(HDC hdc) {
    Dc* dc = findDc(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}

int SetStretchBltMode(HDC hdc, int mode) {
    Dc* dc = findDc(hdc);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    int old = dc->stretchMode;
    dc->stretchMode = mode;
    if (dc->emf) dc->emf->setStretchBltMode(mode);
    return old;
}
int GetStretchBltMode(HDC hdc) {
    Dc* dc = findDc(hdc);
    return dc ? dc->stretchMode : 0;
}

int SetPolyFillMode(HDC hdc, int mode) {
    Dc* dc = findDc(hdc);
    if (!dc || (mode != ALTERNATE && mode != WINDING)) return 0;
    int old = dc->polyFillMode;
    dc->polyFillMode = mode;
    if (dc->emf) dc->emf->setPolyFillMode(mode);
    return old;
}
int GetPolyFillMode(HDC hdc) {
    Dc* dc = findDc(hdc);
    return dc ? dc->polyFillMode : 0;
}

bool GetCurrentPositionEx(HDC hdc, POINT* pt) {
    Dc* dc = findDc(hdc);
    if (!dc || !pt) return false;
    *pt = dc->cur;
    return true;
}

// ---- Objects -------------------------------------------------------------------------------

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style < PS_SOLID || style > PS_INSIDEFRAME) return 0;
    auto o = std::make_shared<GdiObject>();
    o->type = OBJ_PEN;
    o->penStyle = style;
    o->penWidth = std::max(width, 1);
    o->color = color & 0xFFFFFF;
    return addObject(std::move(o));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto o = std::make_shared<GdiObject>();
    o->type = OBJ_BRUSH;
    o->brushStyle = BS_SOLID;
    o->color = color & 0xFFFFFF;
    return addObject(std::move(o));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb || (lb->lbStyle != BS_SOLID && lb->lbStyle != BS_NULL)) return 0;
    auto o = std::make_shared<GdiObject>();
    o->type = OBJ_BRUSH;
    o->brushStyle = int(lb->lbStyle);
    o->color = lb->lbColor & 0xFFFFFF;
    return addObject(std::move(o));
}

HFONT CreateFontIndirectA(const LOGFONTA* lf) {
    if (!lf) return 0;
    auto o = std::make_shared<GdiObject>();
    o->type = OBJ_FONT;
    o->font = *lf;
    o->font.lfFaceName[LF_FACESIZE - 1] = '\0';
    return addObject(std::move(o));
}

HGDIOBJ GetStockObject(int index) {
    HGDIOBJ h = stockHandle(index);
    return (h && findObject(h)) ? h : 0;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
    Dc* dc = findDc(hdc);
    ObjPtr o = findObject(obj);
    if (!dc || !o) return 0;
    HGDIOBJ old = 0;
    switch (o->type) {
        case OBJ_PEN: old = dc->penId; dc->pen = o; dc->penId = obj; break;
        case OBJ_BRUSH: old = dc->brushId; dc->brush = o; dc->brushId = obj; break;
        case OBJ_FONT: old = dc->fontId; dc->font = o; dc->fontId = obj; break;
        case OBJ_BITMAP: {
            if (dc->kind != DcKind::Memory) return 0;
            if (o->selectedIn != 0 && o->selectedIn != hdc && obj != kDefaultBitmap) return 0;
            old = dc->bitmapId;
            if (dc->bitmap && dc->bitmap->selectedIn == hdc) dc->bitmap->selectedIn = 0;
            dc->bitmap = o;
            dc->bitmapId = obj;
            if (obj != kDefaultBitmap) o->selectedIn = hdc;
            dc->surface = o->surface;
            return old;
        }
        default: return 0;
    }
    if (dc->emf) emfOnSelect(*dc, obj, *o);
    return old;
}

HGDIOBJ GetCurrentObject(HDC hdc, int objType) {
    Dc* dc = findDc(hdc);
    if (!dc) return 0;
    switch (objType) {
        case OBJ_PEN: return dc->penId;
        case OBJ_BRUSH: return dc->brushId;
        case OBJ_FONT: return dc->fontId;
        case OBJ_BITMAP: return dc->bitmapId;
        case OBJ_PAL: return dc->paletteId;
        default: return 0;
    }
}

bool DeleteObject(HGDIOBJ obj) {
    ObjPtr o = findObject(obj);
    if (!o) return false;
    if (o->stock) return true;
    emfOnDeleteObject(obj);
    tables().objects.erase(obj);
    return true;
}

int GetObjectType(HGDIOBJ obj) {
    if (findDc(obj)) {
        Dc* dc = findDc(obj);
        return dc->kind == DcKind::Memory ? OBJ_MEMDC
               : dc->kind == DcKind::Metafile ? OBJ_ENHMETADC
                                              : OBJ_DC;
    }
    ObjPtr o = findObject(obj);
    return o ? o->type : 0;
}

int GetObjectA(HGDIOBJ obj, int cb, void* out) {
    ObjPtr o = findObject(obj);
    if (!o || !out) return 0;
    auto put = [&](const auto& v) {
        if (cb < int(sizeof(v))) return 0;
        std::memcpy(out, &v, sizeof(v));
        return int(sizeof(v));
    };
    switch (o->type) {
        case OBJ_PEN: {
            LOGPEN lp;
            lp.lopnStyle = uint32_t(o->penStyle);
            lp.lopnWidth = {o->penWidth, 0};
            lp.lopnColor = o->color;
            return put(lp);
        }
        case OBJ_BRUSH: {
            LOGBRUSH lb;
            lb.lbStyle = uint32_t(o->brushStyle);
            lb.lbColor = o->color;
            return put(lb);
        }
        case OBJ_FONT: return put(o->font);
        case OBJ_BITMAP: {
            BITMAP bm;
            bm.bmWidth = o->surface->width();
            bm.bmHeight = o->surface->height();
            bm.bmBitsPixel = o->dib ? o->dib->hdr.biBitCount : 32;
            bm.bmWidthBytes = int32_t(dibStride(bm.bmWidth, bm.bmBitsPixel));
            bm.bmBits = o->dib ? o->dib->bits() : nullptr;
            if (o->deviceRows) {
                bm.bmWidthBytes = int32_t((int64_t(bm.bmWidth) * bm.bmBitsPixel + 15) / 16 * 2);
                bm.bmBits = nullptr;
            }
            return put(bm);
        }
        case OBJ_PAL: {
            auto n = uint16_t(o->palette.size());
            return put(n);
        }
        default: return 0;
    }
}

HPALETTE CreatePalette(const LOGPALETTE* lp) {
    if (!lp || lp->palNumEntries == 0 || lp->palNumEntries > 256) return 0;
    auto o = std::make_shared<GdiObject>();
    o->type = OBJ_PAL;
    o->palette.assign(lp->palPalEntry, lp->palPalEntry + lp->palNumEntries);
    return addObject(std::move(o));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE pal, bool) {
    Dc* dc = findDc(hdc);
    ObjPtr o = findObject(pal);
    if (!dc || !o || o->type != OBJ_PAL) return 0;
    HPALETTE old = dc->paletteId;
    dc->palette = o;
    dc->paletteId = pal;
    return old;
}

int RealizePalette(HDC hdc) {
    Dc* dc = findDc(hdc);
    if (!dc || !dc->palette) return 0;
    return int(dc->palette->palette.size());
}

int GetPaletteEntries(HPALETTE pal, int start, int count, PALETTEENTRY* out) {
    ObjPtr o = findObject(pal);
    if (!o || o->type != OBJ_PAL || start < 0 || count < 0) return 0;
    int size = int(o->palette.size());
    if (start >= size) return 0;
    int n = std::min(count, size - start);
    if (out) std::copy_n(o->palette.begin() + start, n, out);
    return n;
}

int GetSystemPaletteEntries(HDC hdc, int start, int count, PALETTEENTRY* out) {
    if (!findDc(hdc) || start < 0 || count < 0 || start > 256) return 0;
    int n = std::min(count, 256 - start);
    if (out) std::copy_n(systemPalette().begin() + start, n, out);
    return n;
}

// ---- Drawing -------------------------------------------------------------------------------

bool MoveToEx(HDC hdc, int x, int y, POINT* old) {
    Dc* dc = findDc(hdc);
    if (!dc) return false;
    if (old) *old = dc->cur;
    dc->cur = {x, y};
    if (dc->emf) dc->emf->moveTo(x, y);
    return true;
}

bool LineTo(HDC hdc, int x, int y) {
    return draw(hdc, [&](Dc& dc, const Target& t, RECT* touched) {
        int64_t xy[4] = {int64_t(dc.cur.x) + dc.orgX, int64_t(dc.cur.y) + dc.orgY,
                         int64_t(x) + dc.orgX, int64_t(y) + dc.orgY};
        drawPolyline(t, penSpec(dc), xy, 2, false, touched);
        dc.cur = {x, y};
        if (dc.emf) dc.emf->lineTo(x, y);
    });
}

bool Polyline(HDC hdc, const POINT* pts, int count) {
    if (!pts || count < 2) return false;
    return draw(hdc, [&](Dc& dc, const Target& t, RECT* touched) {
        std::vector<int64_t> xy = devicePoints(dc, pts, count);
        drawPolyline(t, penSpec(dc), xy.data(), count, false, touched);
        if (dc.emf) dc.emf->poly(false, pts, count);
    });
}

bool Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    return draw(hdc, [&](Dc& dc, const Target& t, RECT* touched) {
        drawRectangle(t, penSpec(dc), brushSpec(dc), int64_t(left) + dc.orgX,
                      int64_t(top) + dc.orgY, int64_t(right) + dc.orgX, int64_t(bottom) + dc.orgY,
                      touched);
        if (dc.emf) dc.emf->box(false, RECT{left, top, right, bottom});
    });
}

bool Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    return draw(hdc, [&](Dc& dc, const Target& t, RECT* touched) {
        drawEllipse(t, penSpec(dc), brushSpec(dc), int64_t(left) + dc.orgX,
                    int64_t(top) + dc.orgY, int64_t(right) + dc.orgX, int64_t(bottom) + dc.orgY,
                    touched);
        if (dc.emf) dc.emf->box(true, RECT{left, top, right, bottom});
    });
}

bool Polygon(HDC hdc, const POINT* pts, int count) {
    if (!pts || count < 2) return false;
    return draw(hdc, [&](Dc& dc, const Target& t, RECT* touched) {
        std::vector<int64_t> xy = devicePoints(dc, pts, count);
        drawPolygon(t, penSpec(dc), brushSpec(dc), xy.data(), count,
                    dc.polyFillMode == WINDING, touched);
        if (dc.emf) dc.emf->poly(true, pts, count);
    });
}

// The box FillRect covers, half-open. Reversed corners are not empty: right < left covers
// right + 1 .. left (the same box taken from the other corner), likewise bottom < top.
static void fillRectSpan(int32_t a, int32_t b, int64_t& lo, int64_t& hi) {
    lo = a <= b ? a : int64_t(b) + 1;
    hi = a <= b ? b : int64_t(a) + 1;
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    ObjPtr b = findObject(brush);
    if (!rect || !b || b->type != OBJ_BRUSH) return 0;
    int64_t l, r, t0, b0;
    fillRectSpan(rect->left, rect->right, l, r);
    fillRectSpan(rect->top, rect->bottom, t0, b0);
    const RECT box{int32_t(std::min<int64_t>(l, INT32_MAX)), int32_t(std::min<int64_t>(t0, INT32_MAX)),
                   int32_t(std::min<int64_t>(r, INT32_MAX)), int32_t(std::min<int64_t>(b0, INT32_MAX))};
    bool ok = draw(hdc, [&](Dc& dc, const Target& t, RECT* touched) {
        if (dc.emf) dc.emf->fillRect(box, brush, *b, dc.brushId, dc.brush.get());
        if (b->brushStyle == BS_NULL || box.right <= box.left || box.bottom <= box.top) return;
        int64_t x0 = std::max<int64_t>(int64_t(box.left) + dc.orgX, 0);
        int64_t x1 = std::min<int64_t>(int64_t(box.right) + dc.orgX, t.s->width());
        int64_t y0 = std::max<int64_t>(int64_t(box.top) + dc.orgY, 0);
        int64_t y1 = std::min<int64_t>(int64_t(box.bottom) + dc.orgY, t.s->height());
        if (x0 >= x1 || y0 >= y1) return;
        for (int64_t y = y0; y < y1; ++y)
            fillSpan(*t.s, int(y), int(x0), int(x1), colorToPixel(b->color), R2_COPYPEN);
        unionRect(touched, RECT{int32_t(x0), int32_t(y0), int32_t(x1), int32_t(y1)});
    });
    return ok ? 1 : 0;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF c) {
    COLORREF result = CLR_INVALID;
    draw(hdc, [&](Dc& dc, const Target& t, RECT* touched) {
        if (dc.emf) dc.emf->setPixel(x, y, c & 0xFFFFFF);
        int64_t dx = int64_t(x) + dc.orgX, dy = int64_t(y) + dc.orgY;
        if (dx < 0 || dy < 0 || dx >= t.s->width() || dy >= t.s->height()) return;
        t.s->row(int(dy))[dx] = colorToPixel(c & 0xFFFFFF);
        result = c & 0xFFFFFF;
        unionRect(touched, RECT{int32_t(dx), int32_t(dy), int32_t(dx + 1), int32_t(dy + 1)});
    });
    return result;
}

bool SetPixelV(HDC hdc, int x, int y, COLORREF c) { return SetPixel(hdc, x, y, c) != CLR_INVALID; }

COLORREF GetPixel(HDC hdc, int x, int y) {
    Dc* dc = findDc(hdc);
    if (!dc || !dc->surface || dc->emf) return CLR_INVALID;
    if (dc->bitmap) loadDibSurface(*dc->bitmap);
    int64_t dx = int64_t(x) + dc->orgX, dy = int64_t(y) + dc->orgY;
    if (dx < 0 || dy < 0 || dx >= dc->surface->width() || dy >= dc->surface->height())
        return CLR_INVALID;
    return pixelToColor(dc->surface->row(int(dy))[dx]);
}

}  // namespace qv::gdi
