// The global view: one window and context at a time, pixel margins, a world rectangle, the pen
// and the text settings; lines, rectangles, axis boxes and free text in world coordinates.
#include "library/GlobalView.h"
#include "library/trelm.h"
#include "library/ExportGuard.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace trelm {
namespace {

using namespace qv::gdi;

// Constant-initialised: a reload of the library starts from these values again.
constinit ViewState gView{};
constinit bool gReleaseArmed = false;

// "ＭＳ ゴシック" in CP932.
constexpr char kGothicFace[] = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";

void recomputeScales(PlotFrame& f) {
    const int64_t plotWidth = int64_t{f.width} - f.right - f.left;
    const int64_t plotHeight = int64_t{f.height} - f.bottom - f.top;
    if (plotWidth != 0) f.xs = (double{f.xmax} - f.xmin) / static_cast<double>(plotWidth);
    if (plotHeight != 0) f.ys = (double{f.ymax} - f.ymin) / static_cast<double>(plotHeight);
}

// Runs when the library is unloaded (dlclose) or the process ends. It is registered after the
// drawing layer's tables exist, so it runs before they are torn down at exit.
void releaseViewDc() {
    if (gView.frame.dc != 0) ReleaseDC(gView.window, gView.frame.dc);
    gView.frame.dc = 0;
}

// The axis procedure on the global view; AXISBOX2 leaves out background, fill and frame.
void axisBox(AxisSpec axes, const int32_t* options, bool full) {
    if (!options) return;
    std::memcpy(axes.options, options, sizeof axes.options);
    drawAxes(gView.frame, gView.labelFont, axes, full);
}

}  // namespace

ViewState& view() { return gView; }

HPEN viewPen() { return CreatePen(gView.penStyle, gView.penWidth, static_cast<COLORREF>(gView.penColour)); }

LOGFONTA baseFontRecord() {
    LOGFONTA f{};
    f.lfCharSet = SHIFTJIS_CHARSET;
    f.lfOutPrecision = 2;
    f.lfClipPrecision = 1;
    return f;
}

void setGothicFace(LOGFONTA& font) {
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::memcpy(font.lfFaceName, kGothicFace, sizeof kGothicFace);
}

LOGFONTA gothicFont(const LOGFONTA& base, int32_t height) {
    LOGFONTA f = base;
    f.lfHeight = height;
    setGothicFace(f);
    return f;
}

const LOGFONTA& viewBaseFont() { return gView.baseFont; }

}  // namespace trelm

using namespace trelm;
using namespace qv::gdi;

extern "C" {

void VIEWSET(int32_t window, int32_t dc) {
    ViewState& v = gView;
    v.window = window;
    v.frame.dc = dc;
    RECT outer{};
    GetWindowRect(window, &outer);
    v.frame.width = saturate32(int64_t{outer.right} - outer.left);
    v.frame.height = saturate32(int64_t{outer.bottom} - outer.top);
    v.baseFont = baseFontRecord();
    v.labelFont = gothicFont(v.baseFont, 12);
    v.textFont = gothicFont(v.baseFont, 18);
    recomputeScales(v.frame);
    if (!gReleaseArmed) gReleaseArmed = std::atexit(releaseViewDc) == 0;
}

void MARGINSET(int32_t left, int32_t right, int32_t top, int32_t bottom) {
    PlotFrame& f = gView.frame;
    f.left = left;
    f.right = right;
    f.top = top;
    f.bottom = bottom;
    recomputeScales(f);
}

void WINDOW(float xmin, float ymin, float xmax, float ymax) {
    PlotFrame& f = gView.frame;
    f.xmin = xmin;
    f.ymin = ymin;
    f.xmax = xmax;
    f.ymax = ymax;
    recomputeScales(f);
}

void LINETYPES(int32_t style, int32_t colour) {
    gView.penStyle = style;
    gView.penColour = colour;
}

void LINETYPES2(int32_t style, int32_t colour, int32_t width) {
    LINETYPES(style, colour);
    gView.penWidth = width;
}

void MOVEDRAW(float x1, float y1, float x2, float y2) {
    trelm::guardedExport([&] {
        const PlotFrame& f = gView.frame;
        if (!f.drawable()) return;
        Selection pen(f.dc, viewPen());
        line(f.dc, pixelXQ(f, x1), pixelYQ(f, y1), pixelXQ(f, x2), pixelYQ(f, y2));
    });
}

void MOVEDRAWRECT(float x1, float y1, float x2, float y2, int32_t fill) {
    trelm::guardedExport([&] {
        const PlotFrame& f = gView.frame;
        if (!f.drawable()) return;
        const int32_t l = pixelXQ(f, x1), t = pixelYQ(f, y1), r = pixelXQ(f, x2), b = pixelYQ(f, y2);
        Selection pen(f.dc, viewPen());
        if (fill == 1) {
            Rectangle(f.dc, l, t, r, b);
            // Corners as given: the drawing layer decides what reversed corners cover.
            const RECT box{l, t, r, b};
            const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(gView.penColour));
            FillRect(f.dc, &box, brush);
            DeleteObject(brush);
        } else {
            const POINT sides[5] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
            Polyline(f.dc, sides, 5);
        }
    });
}

void AXISBOX(float gridX, float gridY, float originX, float originY, int32_t labelOffsetX,
             int32_t labelOffsetY, float labelStepX, float labelStepY, int32_t gridPenStyle,
             const int32_t* options) {
    trelm::guardedExport([&] {
        axisBox(AxisSpec{gridX, gridY, originX, originY, labelOffsetX, labelOffsetY, labelStepX,
                         labelStepY, gridPenStyle, {}},
                options, true);
    });
}

void AXISBOX2(float gridX, float gridY, float originX, float originY, int32_t labelOffsetX,
              int32_t labelOffsetY, float labelStepX, float labelStepY, int32_t gridPenStyle,
              const int32_t* options) {
    trelm::guardedExport([&] {
        axisBox(AxisSpec{gridX, gridY, originX, originY, labelOffsetX, labelOffsetY, labelStepX,
                         labelStepY, gridPenStyle, {}},
                options, false);
    });
}

void CPLOT(float x, float y, const char* text) {
    trelm::guardedExport([&] {
        const PlotFrame& f = gView.frame;
        if (!f.drawable() || !text) return;
        LOGFONTA& font = gView.textFont;
        font = gothicFont(gView.baseFont, 18);
        if (gView.textWidth != 0) {
            if (gView.textHeight != 0) font.lfHeight = gView.textHeight;
            font.lfWidth = gView.textWidth;
        } else {
            font.lfHeight = gView.textHeight;
        }
        font.lfEscapement = qv::basic::truncToInt32(double{gView.textAngle} * 10.0);
        Selection selected(f.dc, CreateFontIndirectA(&font));
        TextOutA(f.dc, pixelXQ(f, x), pixelYQ(f, y), text, static_cast<int>(std::strlen(text)));
    });
}

void CTYPEM(int32_t width, int32_t height) {
    gView.textWidth = width;
    gView.textHeight = height;
}

void CTYPEA(float degrees) { gView.textAngle = degrees; }

void DISPS3(int32_t, int32_t, int32_t, int32_t, int32_t) {}

}  // extern "C"
