#pragma once
// What the global view and the graph handles share: the pixel frame of a plot (context, window
// size, margins, world rectangle, scales), the two point mappings, the axis procedure, the font
// records and scoped selection of drawing objects. Internal to the library.
#include <cstdint>

#include "platform/basic/Convert.h"
#include "platform/gdi/Gdi.h"

namespace trelm {

using qv::gdi::COLORREF;
using qv::gdi::HDC;
using qv::gdi::HGDIOBJ;
using qv::gdi::LOGFONTA;

struct PlotFrame {
    int32_t dc;
    int32_t width, height;  // outer window rectangle
    int32_t left, right, top, bottom;
    float xmin, ymin, xmax, ymax;
    double xs, ys;  // world units per pixel

    // Drawing happens only with positive scales (a world rectangle and a plot size exist).
    bool drawable() const { return xs > 0 && ys > 0; }
};

// Saturates a 64-bit pixel sum to 32 bits (the drawing layer clips far-off points cheaply).
inline int32_t saturate32(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

// Point form P: the margin is added before truncation.
inline int32_t pixelX(const PlotFrame& f, double x) {
    return qv::basic::truncToInt32((x - f.xmin) / f.xs + f.left);
}
inline int32_t pixelY(const PlotFrame& f, double y) {
    return qv::basic::truncToInt32((f.ymax - y) / f.ys + f.top);
}
// Point form Q: truncation first, then the margin.
inline int32_t pixelXQ(const PlotFrame& f, double x) {
    return saturate32(int64_t{qv::basic::truncToInt32((x - f.xmin) / f.xs)} + f.left);
}
inline int32_t pixelYQ(const PlotFrame& f, double y) {
    return saturate32(int64_t{qv::basic::truncToInt32((f.ymax - y) / f.ys)} + f.top);
}

// The nine values and 32 option words of an axis box, in argument order.
struct AxisSpec {
    float gridX, gridY, originX, originY;
    int32_t labelOffsetX, labelOffsetY;
    float labelStepX, labelStepY;
    int32_t gridPenStyle;
    int32_t options[32];
};

// Background, plot-area fill and frame (full), then grid, axes with ticks, and labels.
void drawAxes(const PlotFrame& f, const LOGFONTA& labelFont, const AxisSpec& axes, bool full);

// Font records: the base record (sizes 0, Japanese character set, no face), and the base with a
// height and the gothic face.
LOGFONTA baseFontRecord();
void setGothicFace(LOGFONTA& font);
LOGFONTA gothicFont(const LOGFONTA& base, int32_t height);

// The global view's base font record now (graph slots copy it when they are made).
const LOGFONTA& viewBaseFont();

// Selects a drawing object for the life of the scope, then restores the previous one and deletes
// the object (stock objects are never deleted by the drawing layer).
class Selection {
public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), obj_(obj), old_(qv::gdi::SelectObject(dc, obj)) {}
    ~Selection() {
        if (old_) qv::gdi::SelectObject(dc_, old_);
        qv::gdi::DeleteObject(obj_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ obj_;
    HGDIOBJ old_;
};

// Sets a binary raster operation for the life of the scope.
class RasterOp {
public:
    RasterOp(HDC dc, int rop) : dc_(dc), old_(qv::gdi::SetROP2(dc, rop)) {}
    ~RasterOp() {
        if (old_) qv::gdi::SetROP2(dc_, old_);
    }
    RasterOp(const RasterOp&) = delete;
    RasterOp& operator=(const RasterOp&) = delete;

private:
    HDC dc_;
    int old_;
};

inline void line(HDC dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    qv::gdi::MoveToEx(dc, x1, y1);
    qv::gdi::LineTo(dc, x2, y2);
}

}  // namespace trelm
