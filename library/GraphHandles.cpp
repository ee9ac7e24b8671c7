// Graph handles: up to 9999 graphs, each bound to a window and context with its own margins,
// world rectangle and axis definitions, and numbered cursors drawn with the not-XOR pen mix so
// that drawing a line twice removes it.
//
// Handles index the slot table directly; a handle outside the table, or a full table, makes the
// export do nothing (H_VIEWSET then returns 0, which no lookup finds).
#include "library/GraphTables.h"
#include "library/PlotFrame.h"
#include "library/trelm.h"
#include "library/ExportGuard.h"

#include <algorithm>
#include <cstring>

namespace trelm {
namespace {

using namespace qv::gdi;

struct AxisDefinition {
    uint8_t inUse;
    int32_t slotIndex;
    int32_t handle;
    AxisSpec axes;
};

constinit GraphSlot gSlots[kGraphSlots]{};
constinit int32_t gSlotCount = 1;
constinit CursorRecord gCursors[kCursorRecords]{};
constinit int32_t gCursorNum = 0;  // one more than the highest record ever examined
constinit AxisDefinition gAxes[kAxisDefinitions]{};
constinit int32_t gAxisCount = 0;

// The slot registered under the handle (only H_WAVEGET writes a handle, into its own slot).
GraphSlot* findGraph(int32_t handle) {
    if (handle < 1 || handle >= gSlotCount) return nullptr;
    GraphSlot& s = gSlots[handle];
    return s.inUse == 1 && s.registeredHandle == handle ? &s : nullptr;
}

// As findGraph, for the exports that also need the slot's window and context.
GraphSlot* findDrawableGraph(int32_t handle) {
    GraphSlot* s = findGraph(handle);
    return s && s->window != 0 && s->dc != 0 ? s : nullptr;
}

CursorRecord* findCursor(int32_t handle, int32_t number) {
    for (int32_t i = 0; i < gCursorNum; ++i) {
        CursorRecord& c = gCursors[i];
        if (c.bEnable == 1 && c.ParentWaveHandle == handle && c.lCurNo == number) return &c;
    }
    return nullptr;
}

void recomputeScales(GraphSlot& s) {
    // A plot size that has become zero stays zero, and its scale is left as it is.
    if (s.plotWidth != 0) {
        s.plotWidth = saturate32(int64_t{s.windowWidth} - s.right - s.left);
        s.xscale = double{s.xspan} / s.plotWidth;
    }
    if (s.plotHeight != 0) {
        s.plotHeight = saturate32(int64_t{s.windowHeight} - s.bottom - s.top);
        s.yscale = double{s.yspan} / s.plotHeight;
    }
}

PlotFrame frameOf(const GraphSlot& s) {
    return PlotFrame{s.dc,   s.windowWidth, s.windowHeight, s.left,   s.right,  s.top,   s.bottom,
                     s.xmin, s.ymin,        s.xmax,         s.ymax,   s.xscale, s.yscale};
}

// World to pixel with fractions kept, as the caller's floats hold them.
void toPixel(const GraphSlot& s, float& x, float& y) {
    x = static_cast<float>((double{x} - s.xmin) / s.xscale + s.left);
    y = static_cast<float>((double{s.ymax} - y) / s.yscale + s.top);
}

// A cursor line on its graph's context with the pen already selected.
void drawCursorLine(const CursorRecord& c, float x1, float y1, float x2, float y2) {
    const GraphSlot* g = findGraph(c.ParentWaveHandle);
    if (!g) return;
    toPixel(*g, x1, y1);
    toPixel(*g, x2, y2);
    line(g->dc, qv::basic::truncToInt32(x1), qv::basic::truncToInt32(y1),
         qv::basic::truncToInt32(x2), qv::basic::truncToInt32(y2));
}

// One move step: erase the line last drawn, draw the line now set (both in not-XOR), then shift
// the new line in. Run twice it leaves only the new line on the picture, and both fields equal.
void moveStep(const GraphSlot& g, CursorRecord& c, float x1, float y1, float x2, float y2) {
    if (c.bDisp == 0) return;
    RasterOp rop(g.dc, R2_NOTXORPEN);
    Selection pen(g.dc, CreatePen(c.penStyle, c.penWidth, static_cast<COLORREF>(c.colour)));
    if (c.prevX1 == 0 && c.prevY1 == 0 && c.prevX2 == 0 && c.prevY2 == 0) return;
    drawCursorLine(c, c.prevX1, c.prevY1, c.prevX2, c.prevY2);
    drawCursorLine(c, c.X1, c.Y1, c.X2, c.Y2);
    c.prevX1 = c.X1;
    c.prevY1 = c.Y1;
    c.prevX2 = c.X2;
    c.prevY2 = c.Y2;
    c.X1 = x1;
    c.Y1 = y1;
    c.X2 = x2;
    c.Y2 = y2;
}

}  // namespace

int32_t graphSlotCount() { return gSlotCount; }
const GraphSlot* graphSlots() { return gSlots; }
int32_t cursorHighWater() { return gCursorNum; }
const CursorRecord* cursorRecords() { return gCursors; }

}  // namespace trelm

using namespace trelm;
using namespace qv::gdi;

extern "C" {

int32_t H_VIEWSET(int32_t window, int32_t dc) {
    int32_t index = 0;
    for (int32_t i = 1; i < gSlotCount; ++i) {
        if (gSlots[i].inUse == 0) {
            index = i;
            break;
        }
    }
    if (index == 0) {
        if (gSlotCount >= kGraphSlots) return 0;
        index = gSlotCount++;
    }
    GraphSlot& s = gSlots[index];
    s.inUse = 1;
    s.window = window;
    s.dc = dc;
    RECT outer{};
    GetWindowRect(window, &outer);
    s.windowHeight = s.plotHeight = saturate32(int64_t{outer.bottom} - outer.top);
    s.windowWidth = s.plotWidth = saturate32(int64_t{outer.right} - outer.left);
    s.left = s.right = s.top = s.bottom = 0;
    s.labelFont = gothicFont(viewBaseFont(), 12);
    s.slotIndex = index;
    recomputeScales(s);
    return index;
}

int32_t H_WAVEGET(int32_t handle) {
    if (handle >= 0 && handle < kGraphSlots) gSlots[handle].registeredHandle = handle;
    return handle;
}

void H_MARGINSET(int32_t handle, int32_t left, int32_t right, int32_t top, int32_t bottom) {
    GraphSlot* s = findGraph(handle);
    if (!s) return;
    s->left = left;
    s->right = right;
    s->top = top;
    s->bottom = bottom;
    s->plotHeight = saturate32(int64_t{s->windowHeight} - top - bottom);
    s->plotWidth = saturate32(int64_t{s->windowWidth} - left - right);
    recomputeScales(*s);
}

void H_WINDOW(int32_t handle, float xmin, float ymin, float xmax, float ymax) {
    GraphSlot* s = findGraph(handle);
    if (!s) return;
    s->xmin = xmin;
    s->ymin = ymin;
    s->xmax = xmax;
    s->ymax = ymax;
    s->xspan = static_cast<float>(double{xmax} - xmin);
    s->yspan = static_cast<float>(double{ymax} - ymin);
    recomputeScales(*s);
}

int32_t H_CONVPIXEL(int32_t handle, float* x, float* y) {
    const GraphSlot* s = findGraph(handle);
    if (!s) return -1;
    toPixel(*s, *x, *y);
    return 0;
}

void H_CONVWINDOW(int32_t handle, float* x, float* y) {
    const GraphSlot* s = findDrawableGraph(handle);
    if (!s) return;
    *x = static_cast<float>((double{*x} - s->left) * s->xscale + s->xmin);
    *y = static_cast<float>(double{s->ymin} + s->yspan - (double{*y} - s->top) * s->yscale);
}

void H_CURSORSIZE(int32_t handle, int32_t n) {
    GraphSlot* s = findGraph(handle);
    if (!s) return;
    s->cursorCount = n;
    for (int32_t i = 0; i < gCursorNum; ++i)
        if (gCursors[i].ParentGrapHandle == s->slotIndex) return;  // made already
    int32_t claimed = 0;
    for (int32_t i = 0; i < kCursorRecords && claimed < n; ++i) {
        gCursorNum = std::max(gCursorNum, i + 1);
        CursorRecord& c = gCursors[i];
        if (c.bEnable != 0) continue;
        c = CursorRecord{};
        c.ParentWaveHandle = handle;
        c.ParentGrapHandle = s->slotIndex;
        c.lCurNo = claimed++;
        c.bEnable = 1;
        c.bDisp = 1;
    }
}

void H_CURSOR(int32_t handle, int32_t cursor, float x1, float y1, float x2, float y2) {
    if (!findGraph(handle)) return;
    CursorRecord* c = findCursor(handle, cursor);
    if (!c) return;
    c->X1 = c->prevX1 = x1;
    c->Y1 = c->prevY1 = y1;
    c->X2 = c->prevX2 = x2;
    c->Y2 = c->prevY2 = y2;
    c->ParentGrapHandle = c->ParentWaveHandle = handle;
    c->bEnable = 1;
    c->bCursor = 1;
    c->bDisp = 0;  // hidden until H_CURSORDISP shows it
}

void H_CURSORPROP(int32_t handle, int32_t cursor, int32_t colour, int32_t penStyle,
                  int32_t penWidth) {
    if (!findDrawableGraph(handle)) return;
    CursorRecord* c = findCursor(handle, cursor);
    if (!c) return;
    c->colour = colour;
    c->penStyle = penStyle;
    c->penWidth = penWidth;
}

void H_CURSORDISP(int32_t handle, int32_t cursor, int32_t flag) {
    if (!findGraph(handle)) return;
    uint8_t shown = static_cast<uint8_t>(flag & 0xFF);
    if (shown == 255) shown = 1;  // a true Boolean
    if (cursor != -1) {
        if (CursorRecord* c = findCursor(handle, cursor)) c->bDisp = shown;
        return;
    }
    for (int32_t number = 0; number < gCursorNum; ++number) {
        CursorRecord* c = findCursor(handle, number);
        if (!c) break;
        c->bDisp = shown;
    }
}

void H_CURSORMOVE(int32_t handle, int32_t cursor, float x1, float y1, float x2, float y2) {
    trelm::guardedExport([&] {
        const GraphSlot* g = findDrawableGraph(handle);
        if (!g) return;
        CursorRecord* c = findCursor(handle, cursor);
        if (!c || (x1 == x2 && y1 == y2)) return;
        moveStep(*g, *c, x1, y1, x2, y2);
        moveStep(*g, *c, x1, y1, x2, y2);
    });
}

void H_CURSORNUM(int32_t handle, float x, float y, float tolX, float tolY, int32_t* cursor) {
    const GraphSlot* g = findGraph(handle);
    if (!g) return;
    *cursor = -1;
    for (int32_t i = 0; i < gCursorNum; ++i) {
        const CursorRecord& c = gCursors[i];
        if (c.bEnable != 1 || c.bCursor != 1 || c.ParentWaveHandle != handle) continue;
        float px = c.X1, py = c.Y1;
        toPixel(*g, px, py);
        bool hit = false;
        if (c.X1 == c.X2) hit = double{px} - tolX <= x && x <= double{px} + tolX;
        else if (c.Y1 == c.Y2) hit = double{py} - tolY <= y && y <= double{py} + tolY;
        if (hit) {
            *cursor = c.lCurNo;
            return;
        }
    }
}

void H_AXISSET(int32_t handle, float gridX, float gridY, float originX, float originY,
               int32_t labelOffsetX, int32_t labelOffsetY, float labelStepX, float labelStepY,
               int32_t gridPenStyle, const int32_t* options) {
    const GraphSlot* g = findGraph(handle);
    if (!g || !options) return;
    // A definition freed by H_DELETE is taken again before the table grows.
    int32_t index = -1;
    for (int32_t i = 0; i < gAxisCount && index < 0; ++i)
        if (gAxes[i].inUse == 0) index = i;
    if (index < 0) {
        if (gAxisCount >= kAxisDefinitions) return;
        index = gAxisCount++;
    }
    AxisDefinition& d = gAxes[index];
    d.inUse = 1;
    d.slotIndex = g->slotIndex;
    d.handle = handle;
    d.axes = AxisSpec{gridX, gridY, originX, originY, labelOffsetX, labelOffsetY,
                      labelStepX, labelStepY, gridPenStyle, {}};
    std::memcpy(d.axes.options, options, sizeof d.axes.options);
}

int32_t H_PAINT(int32_t handle) {
    return trelm::guardedExport(0, [&]() -> int32_t {
        const GraphSlot* g = findDrawableGraph(handle);
        if (!g) return 0;
        const PlotFrame frame = frameOf(*g);
        for (int32_t i = 0; i < gAxisCount; ++i)
            if (gAxes[i].inUse == 1 && gAxes[i].slotIndex == g->slotIndex)
                drawAxes(frame, g->labelFont, gAxes[i].axes, true);
        int32_t drawn = 0;
        for (int32_t i = 0; i < gCursorNum; ++i) {
            const CursorRecord& c = gCursors[i];
            if (c.ParentGrapHandle != handle || c.bDisp != 1) continue;
            RasterOp rop(g->dc, R2_NOTXORPEN);
            Selection pen(g->dc, CreatePen(c.penStyle, 1, static_cast<COLORREF>(c.colour)));
            drawCursorLine(c, c.prevX1, c.prevY1, c.prevX2, c.prevY2);
            ++drawn;
        }
        return drawn;
    });
}

void H_DELETE(int32_t handle) {
    if (handle < 0 || handle >= kGraphSlots) return;
    const int32_t index = gSlots[handle].slotIndex;
    for (int32_t i = 0; i < gCursorNum; ++i)
        if (gCursors[i].ParentGrapHandle == index) gCursors[i] = CursorRecord{};
    for (int32_t i = 0; i < gAxisCount; ++i)
        if (gAxes[i].slotIndex == index) gAxes[i] = AxisDefinition{};
    gSlots[handle] = GraphSlot{};
}

void H_LINETYPES(int32_t, int32_t, int32_t, int32_t) {}

}  // extern "C"
