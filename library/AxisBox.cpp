// The axis procedure of the global view and of the graph handles: background, plot area, frame,
// grid, axes with 4-pixel ticks and "%g" labels.
//
// Grid, tick and label positions are values origin + k x step. The range of k is computed from
// the world rectangle, so a negative, tiny or huge step never loops for long: only values inside
// the world rectangle are visited, and when there are more of them than pixels can tell apart,
// one per pixel position is drawn (the same pixels for the copy pen).
#include "library/PlotFrame.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace trelm {
namespace {

using namespace qv::gdi;

// Lattices longer than this are drawn one value per pixel position.
constexpr int64_t kDenseLimit = int64_t{1} << 16;
// |k| beyond this cannot be told apart in a float anyway.
constexpr double kMaxK = 1e15;
constexpr int64_t kNoMinimum = INT64_MIN;

// Option colours: -1 skips the element, anything above 0xFFFFFF draws white.
COLORREF optionColour(int32_t v) {
    const auto c = static_cast<uint32_t>(v);
    return c > 0xFFFFFFu ? 0xFFFFFFu : c;
}

// The k range [a, b] of all k >= kMin whose value(k) lies in [lo, hi]; value is monotone in k
// and close to origin + k x step. False when there is none or the step is unusable.
template <class Value>
bool latticeRange(double origin, double step, float lo, float hi, int64_t kMin, Value value,
                  int64_t& a, int64_t& b) {
    if (!(step != 0.0) || !std::isfinite(step) || !std::isfinite(origin) || !(lo <= hi))
        return false;
    const double t1 = (lo - origin) / step;
    const double t2 = (hi - origin) / step;
    double tmin = std::min(t1, t2), tmax = std::max(t1, t2);
    if (!std::isfinite(tmin) || !std::isfinite(tmax) || tmax < -kMaxK || tmin > kMaxK) return false;
    tmin = std::max(tmin, -kMaxK);
    tmax = std::min(tmax, kMaxK);
    // The estimate is off by rounding only: widen by two and trim on the exact float values.
    a = std::max(static_cast<int64_t>(std::floor(tmin)) - 2, kMin);
    b = static_cast<int64_t>(std::ceil(tmax)) + 2;
    auto inside = [&](int64_t k) {
        const float v = value(k);
        return v >= lo && v <= hi;
    };
    while (a <= b && !inside(a)) ++a;
    while (b >= a && !inside(b)) --b;
    return a <= b;
}

// Calls fn(value(k)) for k = a..b, or, for a lattice denser than the pixels, once for the first
// k of each pixel position (pixel(value(k)) is monotone in k).
template <class Value, class Pixel, class Fn>
void forEachValue(int64_t a, int64_t b, Value value, Pixel pixel, Fn fn) {
    if (b - a < kDenseLimit) {
        for (int64_t k = a; k <= b; ++k) fn(value(k));
        return;
    }
    int64_t k = a;
    while (k <= b) {
        const float v = value(k);
        fn(v);
        const int32_t p = pixel(v);
        // Gallop, then bisect, to the first k whose pixel differs.
        int64_t step = 1;
        while (k + step <= b && pixel(value(k + step)) == p) step *= 2;
        int64_t same = k + step / 2, differs = std::min(k + step, b + 1);
        while (differs - same > 1) {
            const int64_t mid = same + (differs - same) / 2;
            if (pixel(value(mid)) == p) same = mid;
            else differs = mid;
        }
        k = differs;
    }
}

// Calls fn(pixel) for the values in [lo, hi] with k >= kMin (see forEachValue); returns the
// first such k, or kMin when there is none.
template <class Value, class Pixel, class Fn>
int64_t forEachGridPixel(double origin, double step, float lo, float hi, int64_t kMin,
                         Value value, Pixel pixel, Fn fn) {
    int64_t a, b;
    if (!latticeRange(origin, step, lo, hi, kMin, value, a, b)) return kMin;
    forEachValue(a, b, value, pixel, [&](float v) { fn(pixel(v)); });
    return a;
}

struct Label {
    char text[32];
    int length;
};

// "%g" of the value, locale-free.
Label formatLabel(float v) {
    Label l{};
    auto r = std::to_chars(l.text, l.text + sizeof l.text - 1, static_cast<double>(v),
                           std::chars_format::general, 6);
    l.length = static_cast<int>(r.ptr - l.text);
    return l;
}

void fillBox(HDC dc, int32_t l, int32_t t, int32_t r, int32_t b, COLORREF c) {
    const RECT rect{l, t, r, b};
    const HBRUSH brush = CreateSolidBrush(c);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

}  // namespace

void drawAxes(const PlotFrame& f, const LOGFONTA& labelFont, const AxisSpec& s, bool full) {
    if (!f.drawable()) return;
    const HDC dc = f.dc;
    int32_t opts[32];
    std::memcpy(opts, s.options, sizeof opts);
    const int32_t plotRight = saturate32(int64_t{f.width} - f.right);
    const int32_t plotBottom = saturate32(int64_t{f.height} - f.bottom);

    if (full) {
        if (opts[0] != -1) fillBox(dc, 0, 0, f.width, f.height, optionColour(opts[0]));
        if (opts[1] != -1) fillBox(dc, f.left, f.top, plotRight, plotBottom, optionColour(opts[1]));
        if (opts[4] != -1) {
            Selection pen(dc, CreatePen(PS_SOLID, 1, optionColour(opts[4])));
            Selection brush(dc, GetStockObject(NULL_BRUSH));
            Rectangle(dc, f.left, f.top, plotRight, plotBottom);
        }
    }

    auto xPixel = [&](float v) { return pixelX(f, v); };
    auto yPixel = [&](float v) { return pixelY(f, v); };
    auto gridXValue = [&](int64_t k) {
        return static_cast<float>(double{s.originX} + static_cast<double>(k) * s.gridX);
    };
    auto gridYValue = [&](int64_t k) {
        return static_cast<float>(double{s.originY} + static_cast<double>(k) * s.gridY);
    };
    // Grid lines start at k = 1 when the origin lies below the world rectangle; ticks start at
    // the grid's first k, or at the origin when no grid was drawn.
    int64_t tickKx = 0, tickKy = 0;
    if (opts[2] != -1) {
        Selection pen(dc, CreatePen(s.gridPenStyle, 1, optionColour(opts[2])));
        if (s.gridX != 0) {
            const int32_t bottomY = pixelY(f, f.ymin);
            tickKx = forEachGridPixel(s.originX, s.gridX, f.xmin, f.xmax,
                                      s.originX < f.xmin ? 1 : kNoMinimum, gridXValue, xPixel,
                                      [&](int32_t px) { line(dc, px, bottomY, px, f.top); });
        }
        if (s.gridY != 0) {
            const int32_t rightX = pixelX(f, f.xmax);
            tickKy = forEachGridPixel(s.originY, s.gridY, f.ymin, f.ymax,
                                      s.originY < f.ymin ? 1 : kNoMinimum, gridYValue, yPixel,
                                      [&](int32_t py) { line(dc, f.left, py, rightX, py); });
        }
    }

    const int32_t ax = pixelX(f, s.originX);
    const int32_t ay = pixelY(f, s.originY);

    if (opts[3] != -1) {
        Selection pen(dc, CreatePen(PS_SOLID, 1, optionColour(opts[3])));
        if (ax >= f.left) line(dc, ax, f.top, ax, plotBottom);
        if (s.gridY != 0) {
            const int32_t x0 = saturate32(int64_t{ax} - 4), x1 = saturate32(int64_t{ax} + 4);
            forEachGridPixel(s.originY, s.gridY, f.ymin, f.ymax, tickKy, gridYValue, yPixel,
                             [&](int32_t py) { line(dc, x0, py, x1, py); });
        }
        if (ay >= f.top) line(dc, f.left, ay, plotRight, ay);
        if (s.gridX != 0) {
            const int32_t y0 = saturate32(int64_t{ay} - 4), y1 = saturate32(int64_t{ay} + 4);
            forEachGridPixel(s.originX, s.gridX, f.xmin, f.xmax, tickKx, gridXValue, xPixel,
                             [&](int32_t px) { line(dc, px, y0, px, y1); });
        }
    }

    int64_t a, b;
    if (opts[5] != -1) {
        SetTextColor(dc, optionColour(opts[5]));
        Selection font(dc, CreateFontIndirectA(&labelFont));
        if (s.gridX != 0 && s.labelStepX != 0) {
            auto value = [&](int64_t j) {
                return static_cast<float>(double{s.originX} +
                                          double{s.gridX} * (static_cast<double>(j) * s.labelStepX));
            };
            const int64_t kMin = s.originX < f.xmin ? 1 : kNoMinimum;
            if (latticeRange(s.originX, double{s.gridX} * s.labelStepX, f.xmin, f.xmax, kMin,
                             value, a, b)) {
                const int32_t top = saturate32(int64_t{ay} + s.labelOffsetY);
                forEachValue(a, b, value, xPixel, [&](float v) {
                    const Label l = formatLabel(v);
                    SIZE size;
                    GetTextExtentPoint32A(dc, l.text, l.length, &size);
                    TextOutA(dc, saturate32(int64_t{pixelX(f, v)} - size.cx / 2), top, l.text,
                             l.length);
                });
            }
        }
        if (s.gridY != 0 && s.labelStepY != 0) {
            // Counted down from the top of the world rectangle.
            auto value = [&](int64_t j) {
                return static_cast<float>(double{s.originY} + double{f.ymax} -
                                          double{s.gridY} * (static_cast<double>(j) * s.labelStepY));
            };
            if (latticeRange(double{s.originY} + f.ymax, -double{s.gridY} * s.labelStepY, f.ymin,
                             f.ymax, kNoMinimum, value, a, b)) {
                forEachValue(a, b, value, yPixel, [&](float v) {
                    const Label l = formatLabel(v);
                    SIZE size;
                    GetTextExtentPoint32A(dc, l.text, l.length, &size);
                    int64_t x = int64_t{ax} + s.labelOffsetX;
                    if (s.labelOffsetX < 0) x -= size.cx;  // right-aligned against the position
                    TextOutA(dc, saturate32(x), saturate32(int64_t{pixelY(f, v)} - size.cy / 2),
                             l.text, l.length);
                });
            }
        }
    }
}

}  // namespace trelm

