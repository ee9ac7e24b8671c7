// The rasteriser: lines, polylines, rectangles, ellipses and polygons straight into 32-bit
// surfaces, with the binary raster operations, cosmetic dash patterns and clipping that is done
// arithmetically before any pixel is visited (a line to 2^31 costs as much as its visible part).

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/gdi/GdiInternal.h"

namespace qv::gdi::detail {

namespace {

using i128 = __int128;

int64_t floorDiv(i128 a, i128 b) {
    i128 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return static_cast<int64_t>(q);
}
int64_t ceilDiv(i128 a, i128 b) { return -floorDiv(-a, b); }

// Clip rectangle, inclusive.
struct Clip {
    int64_t x0, y0, x1, y1;
};
Clip clipOf(const Surface& s) { return {0, 0, int64_t(s.width()) - 1, int64_t(s.height()) - 1}; }

template <int R>
inline uint32_t rop(uint32_t p, uint32_t d) {
    uint32_t r;
    if constexpr (R == R2_BLACK) r = 0;
    else if constexpr (R == R2_NOTMERGEPEN) r = ~(p | d);
    else if constexpr (R == R2_MASKNOTPEN) r = ~p & d;
    else if constexpr (R == R2_NOTCOPYPEN) r = ~p;
    else if constexpr (R == R2_MASKPENNOT) r = p & ~d;
    else if constexpr (R == R2_NOT) r = ~d;
    else if constexpr (R == R2_XORPEN) r = p ^ d;
    else if constexpr (R == R2_NOTMASKPEN) r = ~(p & d);
    else if constexpr (R == R2_MASKPEN) r = p & d;
    else if constexpr (R == R2_NOTXORPEN) r = ~(p ^ d);
    else if constexpr (R == R2_NOP) r = d;
    else if constexpr (R == R2_MERGENOTPEN) r = ~p | d;
    else if constexpr (R == R2_COPYPEN) r = p;
    else if constexpr (R == R2_MERGEPENNOT) r = p | ~d;
    else if constexpr (R == R2_MERGEPEN) r = p | d;
    else r = 0xFFFFFF;
    return r & 0xFFFFFF;
}

// Pixel sink writing to a surface through raster operation R.
template <int R>
struct SurfaceSink {
    Surface* s;
    uint32_t on, gap;
    bool paintGaps;
    void plot(int64_t x, int64_t y) {
        uint32_t* p = s->row(static_cast<int>(y)) + x;
        *p = rop<R>(on, *p);
    }
    void plotGap(int64_t x, int64_t y) {
        if (!paintGaps) return;
        uint32_t* p = s->row(static_cast<int>(y)) + x;
        *p = rop<R>(gap, *p);
    }
};

// Coverage mask over a clipped box: 0 untouched, 1 brush, 2 pen, 3 pen gap (background).
struct Mask {
    int64_t x0 = 0, y0 = 0;
    int w = 0, h = 0;
    std::vector<uint8_t> m;
    uint8_t& at(int64_t x, int64_t y) {
        return m[static_cast<size_t>(y - y0) * static_cast<size_t>(w) + static_cast<size_t>(x - x0)];
    }
};
struct MaskSink {
    Mask* mask;
    bool paintGaps;
    void plot(int64_t x, int64_t y) { mask->at(x, y) = 2; }
    void plotGap(int64_t x, int64_t y) {
        if (paintGaps) mask->at(x, y) = 3;
    }
};

// The pixel loop of rasterLine, with the axis and the pattern fixed at compile time.
template <bool Styled, bool XMajor, class Sink>
inline void lineLoop(int64_t lo, int64_t hi, int64_t n, int64_t r, int64_t twoDm, int64_t twoDn,
                     int ph, bool forward, const uint8_t* pat, int period, Sink& sink) {
    if (!Styled && twoDn == 0) {  // horizontal or vertical solid line
        for (int64_t m = lo; m <= hi; ++m) sink.plot(XMajor ? m : n, XMajor ? n : m);
        return;
    }
    int step = forward ? 1 : -1;
    for (int64_t m = lo; m <= hi; ++m) {
        int64_t x = XMajor ? m : n, y = XMajor ? n : m;
        if constexpr (Styled) {
            if (pat[ph]) sink.plot(x, y);
            else sink.plotGap(x, y);
            ph += step;
            if (ph == period) ph = 0;
            else if (ph < 0) ph = period - 1;
        } else {
            sink.plot(x, y);
        }
        r += twoDn;
        if (r >= twoDm) {
            r -= twoDm;
            ++n;
        } else if (r < 0) {
            r += twoDm;
            --n;
        }
    }
}

// One line from (x0, y0) to (x1, y1) without its end pixel. The pixels are those of the line
// taken from the end with the smaller major coordinate, so both directions set the same pixels;
// where the true line passes exactly half-way between two pixels the smaller minor coordinate
// wins (n = na + floor((2 t dn + dm - 1) / 2dm)), as the platform draws it.
// The dash phase counts along the major axis from the true start, so clipping keeps it.
// Returns the number of pixels the whole line has (its major length).
template <bool Styled, class Sink>
int64_t rasterLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t phase0,
                   const uint8_t* pat, int period, const Clip& c, Sink& sink) {
    int64_t dx = x1 - x0, dy = y1 - y0;
    if (dx == 0 && dy == 0) return 0;
    bool xMajor = std::llabs(dx) >= std::llabs(dy);
    int64_t m0 = xMajor ? x0 : y0, n0 = xMajor ? y0 : x0;
    int64_t m1 = xMajor ? x1 : y1, n1 = xMajor ? y1 : x1;
    int64_t mLo = xMajor ? c.x0 : c.y0, mHi = xMajor ? c.x1 : c.y1;
    int64_t nLo = xMajor ? c.y0 : c.x0, nHi = xMajor ? c.y1 : c.x1;
    bool forward = m0 < m1;
    int64_t ma = forward ? m0 : m1, na = forward ? n0 : n1;
    int64_t mb = forward ? m1 : m0, nb = forward ? n1 : n0;
    int64_t dm = mb - ma, dn = nb - na;
    int64_t len = dm;
    int64_t lo = std::max(forward ? ma : ma + 1, mLo);
    int64_t hi = std::min(forward ? mb - 1 : mb, mHi);
    if (lo > hi) return len;
    bool inside = na >= nLo && na <= nHi && nb >= nLo && nb <= nHi;
    if (!inside) {
        if (dn == 0) return len;  // (na outside the clip)
        // Keep t = m - ma where nLo <= n(m) <= nHi.
        i128 c1 = i128(2) * dm * (nLo - na) - dm + 1;
        i128 c2 = i128(2) * dm * (nHi - na + 1) - dm;
        i128 d2 = i128(2) * dn;
        int64_t tlo, thi;
        if (dn > 0) {
            tlo = ceilDiv(c1, d2);
            thi = floorDiv(c2, d2);
        } else {
            tlo = ceilDiv(c2, d2);
            thi = floorDiv(c1, d2);
        }
        lo = std::max(lo, ma + tlo);
        hi = std::min(hi, ma + thi);
        if (lo > hi) return len;
    }
    int64_t t = lo - ma;
    int64_t twoDm = 2 * dm, twoDn = 2 * dn;
    int64_t q, r;
    if (t == 0) {
        q = 0;
        r = dm - 1;
    } else if (dm < (int64_t(1) << 30)) {
        // 2 t dn + dm stays far below 2^63: plain 64-bit division.
        int64_t a = 2 * t * dn + dm - 1;
        q = a / twoDm;
        r = a % twoDm;
        if (r < 0) {
            r += twoDm;
            --q;
        }
    } else {
        i128 a = i128(2) * t * dn + dm - 1;
        q = floorDiv(a, twoDm);
        r = static_cast<int64_t>(a - i128(twoDm) * q);
    }
    int64_t n = na + q;
    int ph = 0;
    if constexpr (Styled) {
        int64_t k = forward ? lo - ma : mb - lo;
        ph = static_cast<int>((phase0 + k) % period);
    }
    if (xMajor) lineLoop<Styled, true>(lo, hi, n, r, twoDm, twoDn, ph, forward, pat, period, sink);
    else lineLoop<Styled, false>(lo, hi, n, r, twoDm, twoDn, ph, forward, pat, period, sink);
    return len;
}

template <class Sink>
void thinPolyline(const PenSpec& pen, const int64_t* xy, int count, bool closed, const Clip& c,
                  Sink& sink) {
    int64_t phase = 0;
    int segs = closed ? count : count - 1;
    for (int i = 0; i < segs; ++i) {
        int j = (i + 1) % count;
        if (pen.pattern) {
            phase += rasterLine<true>(xy[2 * i], xy[2 * i + 1], xy[2 * j], xy[2 * j + 1], phase,
                                      pen.pattern, pen.period, c, sink);
            phase %= pen.period;
        } else {
            rasterLine<false>(xy[2 * i], xy[2 * i + 1], xy[2 * j], xy[2 * j + 1], 0, nullptr, 1,
                              c, sink);
        }
    }
}

template <int R>
void thinPolylineOnSurface(Surface& s, const PenSpec& pen, const int64_t* xy, int count,
                           bool closed) {
    SurfaceSink<R> sink{&s, pen.onPixel, pen.gapPixel, pen.paintGaps};
    thinPolyline(pen, xy, count, closed, clipOf(s), sink);
}

using PolyFn = void (*)(Surface&, const PenSpec&, const int64_t*, int, bool);
template <size_t... I>
constexpr std::array<PolyFn, 17> polyTable(std::index_sequence<I...>) {
    return {{&thinPolylineOnSurface<int(I)>...}};
}
constexpr auto kPolyFns = polyTable(std::make_index_sequence<17>{});

template <int R>
void spanOp(uint32_t* p, int n, uint32_t c) {
    if constexpr (R == R2_COPYPEN) {
        std::fill_n(p, n, c & 0xFFFFFF);
    } else {
        for (int i = 0; i < n; ++i) p[i] = rop<R>(c, p[i]);
    }
}
using SpanFn = void (*)(uint32_t*, int, uint32_t);
template <size_t... I>
constexpr std::array<SpanFn, 17> spanTable(std::index_sequence<I...>) {
    return {{&spanOp<int(I)>...}};
}
constexpr auto kSpanFns = spanTable(std::make_index_sequence<17>{});

int validRop(int r) { return (r >= 1 && r <= 16) ? r : R2_COPYPEN; }

// ---- Wide (geometric) strokes: the union of round-capped capsules, each pixel once. ----------
struct Interval {
    int64_t y, x0, x1;  // inclusive
};

// Intersection of the row y with the stroke of segment a-b, as pixel columns: the band of
// `halfRun` pixels either side of the segment along its minor axis and the round nibs of radius
// `end` at its ends. The band holds the pixel centres on its edge of greater x and not those on
// the other, so it is a whole number of pixels across wherever it is cut.
bool capsuleRow(double ax, double ay, double bx, double by, double halfRun, double end, double y,
                int64_t* x0, int64_t* x1) {
    constexpr double eps = 1e-9;
    double lo = INFINITY, hi = -INFINITY;
    auto disk = [&](double cx, double cy) {
        double dy = y - cy, h2 = end * end - dy * dy;
        if (h2 < 0) return;
        double h = std::sqrt(h2);
        double l = std::ceil(cx - h - eps), r = std::floor(cx + h + eps);
        if (l > r) return;
        lo = std::min(lo, l);
        hi = std::max(hi, r);
    };
    disk(ax, ay);
    disk(bx, by);
    double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    if (len2 > 0) {
        // 0 <= (x-ax)dx + (y-ay)dy <= len^2 and |(x-ax)dy - (y-ay)dx| <= halfRun*major
        double reach = halfRun * std::max(std::fabs(dx), std::fabs(dy));
        // Each constraint as an interval of x: inclusive along the segment, half-open across.
        auto solve = [&](double coef, double constant, double mn, double mx, double& p, double& q) {
            // mn <= coef*x + constant <= mx
            if (coef == 0) {
                bool in = constant >= mn && constant <= mx;
                p = in ? -INFINITY : INFINITY;
                q = in ? INFINITY : -INFINITY;
                return;
            }
            p = (mn - constant) / coef;
            q = (mx - constant) / coef;
            if (p > q) std::swap(p, q);
        };
        double plo, phi, qlo, qhi;
        solve(dx, -ax * dx + (y - ay) * dy, 0, len2, plo, phi);
        solve(dy, -ax * dy - (y - ay) * dx, -reach, reach, qlo, qhi);
        double l = std::max(std::ceil(plo - eps), std::floor(qlo + eps) + 1);
        double r = std::min(std::floor(phi + eps), std::floor(qhi + eps));
        if (l <= r) {
            lo = std::min(lo, l);
            hi = std::max(hi, r);
        }
    }
    if (!(lo <= hi)) return false;
    *x0 = static_cast<int64_t>(std::max(lo, -9.0e18));
    *x1 = static_cast<int64_t>(std::min(hi, 9.0e18));
    return true;
}

// A pen `width` pixels wide covers, along a segment's minor axis, a run of width x len^2 / major^2
// pixels rounded to a whole number (the pen's width for an axis-aligned segment, twice it at 45
// degrees), and the pixel centres within nibRadius of its ends and joins, all half a pixel towards
// the smaller coordinates for even widths. The round nib of width 3 is the plus of five pixels, of
// width 4 a 4 x 4 square without its corners.
double nibRadius(int width) { return (width - 1) / 2.0 + 0.25; }
double nibShift(int width) { return width % 2 == 0 ? -0.5 : 0.0; }
double bodyHalfRun(int width, double dx, double dy) {
    double major = std::max(std::fabs(dx), std::fabs(dy));
    if (major == 0) return width / 2.0;
    double minor = std::min(std::fabs(dx), std::fabs(dy)) / major;
    return std::floor(width * (1 + minor * minor) + 0.5) / 2;
}

void wideIntervals(const int64_t* xy, int count, bool closed, int width, const Clip& c,
                   std::vector<Interval>& out) {
    double end = nibRadius(width), shift = nibShift(width);
    int segs = closed ? count : count - 1;
    if (count == 1) segs = 1;
    for (int i = 0; i < segs; ++i) {
        int j = (i + 1) % count;
        double ax = double(xy[2 * i]) + shift, ay = double(xy[2 * i + 1]) + shift;
        double bx = double(xy[2 * j]) + shift, by = double(xy[2 * j + 1]) + shift;
        double halfRun = bodyHalfRun(width, bx - ax, by - ay);
        // The band reaches no further than halfRun beyond the ends' rows, the nibs less far.
        double rad = std::max(halfRun, end);
        double ylo = std::max(double(c.y0), std::ceil(std::min(ay, by) - rad));
        double yhi = std::min(double(c.y1), std::floor(std::max(ay, by) + rad));
        for (double y = ylo; y <= yhi; y += 1) {
            int64_t x0, x1;
            if (!capsuleRow(ax, ay, bx, by, halfRun, end, y, &x0, &x1)) continue;
            x0 = std::max(x0, c.x0);
            x1 = std::min(x1, c.x1);
            if (x0 <= x1) out.push_back({int64_t(y), x0, x1});
        }
    }
    std::sort(out.begin(), out.end(), [](const Interval& a, const Interval& b) {
        return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
    });
    // Merge overlapping or touching intervals of a row so no pixel is visited twice.
    size_t w = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        if (w > 0 && out[w - 1].y == out[i].y && out[i].x0 <= out[w - 1].x1 + 1) {
            out[w - 1].x1 = std::max(out[w - 1].x1, out[i].x1);
        } else {
            out[w++] = out[i];
        }
    }
    out.resize(w);
}

void touchBox(RECT* touched, int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Clip& c) {
    if (!touched) return;
    x0 = std::max(x0, c.x0);
    y0 = std::max(y0, c.y0);
    x1 = std::min(x1, c.x1);
    y1 = std::min(y1, c.y1);
    if (x0 > x1 || y0 > y1) return;
    unionRect(touched, RECT{int32_t(x0), int32_t(y0), int32_t(x1 + 1), int32_t(y1 + 1)});
}

// The smallest box holding `count` (x, y) points; count must be at least 1.
void boundsOf(const int64_t* xy, int count, int64_t& x0, int64_t& y0, int64_t& x1, int64_t& y1) {
    x0 = x1 = xy[0];
    y0 = y1 = xy[1];
    for (int i = 1; i < count; ++i) {
        x0 = std::min(x0, xy[2 * i]);
        x1 = std::max(x1, xy[2 * i]);
        y0 = std::min(y0, xy[2 * i + 1]);
        y1 = std::max(y1, xy[2 * i + 1]);
    }
}

void pointsBox(const int64_t* xy, int count, int64_t grow, const Clip& c, RECT* touched) {
    if (!touched || count <= 0) return;
    int64_t x0, y0, x1, y1;
    boundsOf(xy, count, x0, y0, x1, y1);
    touchBox(touched, x0 - grow, y0 - grow, x1 + grow, y1 + grow, c);
}

// Mask over the box [x0, x1] x [y0, y1] clipped to the surface; false when empty.
bool makeMask(Mask& mask, int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Clip& c) {
    x0 = std::max(x0, c.x0);
    y0 = std::max(y0, c.y0);
    x1 = std::min(x1, c.x1);
    y1 = std::min(y1, c.y1);
    if (x0 > x1 || y0 > y1) return false;
    mask.x0 = x0;
    mask.y0 = y0;
    mask.w = int(x1 - x0 + 1);
    mask.h = int(y1 - y0 + 1);
    mask.m.assign(size_t(mask.w) * size_t(mask.h), 0);
    return true;
}

void applyMask(Surface& s, Mask& mask, const PenSpec& pen, const BrushSpec& brush,
               RECT* touched) {
    int pr = validRop(pen.rop2), br = validRop(brush.rop2);
    for (int yy = 0; yy < mask.h; ++yy) {
        uint32_t* row = s.row(int(mask.y0 + yy)) + mask.x0;
        const uint8_t* mrow = mask.m.data() + size_t(yy) * size_t(mask.w);
        for (int xx = 0; xx < mask.w; ++xx) {
            switch (mrow[xx]) {
                case 1: row[xx] = applyRop2(br, brush.pixel, row[xx]); break;
                case 2: row[xx] = applyRop2(pr, pen.onPixel, row[xx]); break;
                case 3: row[xx] = applyRop2(pr, pen.gapPixel, row[xx]); break;
                default: break;
            }
        }
    }
    if (touched)
        unionRect(touched, RECT{int32_t(mask.x0), int32_t(mask.y0), int32_t(mask.x0 + mask.w),
                                int32_t(mask.y0 + mask.h)});
}

void strokeIntoMask(Mask& mask, const PenSpec& pen, const int64_t* xy, int count, bool closed) {
    Clip mc{mask.x0, mask.y0, mask.x0 + mask.w - 1, mask.y0 + mask.h - 1};
    if (pen.width > 1) {
        std::vector<Interval> iv;
        wideIntervals(xy, count, closed, pen.width, mc, iv);
        for (const Interval& i : iv)
            for (int64_t x = i.x0; x <= i.x1; ++x) mask.at(x, i.y) = 2;
    } else {
        MaskSink sink{&mask, pen.paintGaps};
        thinPolyline(pen, xy, count, closed, mc, sink);
    }
}

}  // namespace

uint32_t applyRop2(int r, uint32_t p, uint32_t d) {
    unsigned n = unsigned(validRop(r) - 1);
    uint32_t res = 0;
    if (n & 8) res |= p & d;
    if (n & 4) res |= p & ~d;
    if (n & 2) res |= ~p & d;
    if (n & 1) res |= ~p & ~d;
    return res & 0xFFFFFF;
}

void unionRect(RECT* acc, const RECT& r) {
    if (r.left >= r.right || r.top >= r.bottom) return;
    if (acc->left >= acc->right || acc->top >= acc->bottom) {
        *acc = r;
        return;
    }
    acc->left = std::min(acc->left, r.left);
    acc->top = std::min(acc->top, r.top);
    acc->right = std::max(acc->right, r.right);
    acc->bottom = std::max(acc->bottom, r.bottom);
}

void fillSpan(Surface& s, int y, int x0, int x1, uint32_t pixel, int rop2) {
    if (y < 0 || y >= s.height()) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, s.width());
    if (x0 >= x1) return;
    kSpanFns[size_t(validRop(rop2))](s.row(y) + x0, x1 - x0, pixel);
}

void drawPolyline(const Target& t, const PenSpec& pen, const int64_t* xy, int count, bool closed,
                  RECT* touched) {
    if (pen.null || count < 2 || !t.s) return;
    Surface& s = *t.s;
    Clip c = clipOf(s);
    if (c.x1 < 0 || c.y1 < 0) return;
    if (pen.width > 1) {
        std::vector<Interval> iv;
        wideIntervals(xy, count, closed, pen.width, c, iv);
        for (const Interval& i : iv)
            fillSpan(s, int(i.y), int(i.x0), int(i.x1 + 1), pen.onPixel, pen.rop2);
        pointsBox(xy, count, pen.width, c, touched);
        return;
    }
    kPolyFns[size_t(validRop(pen.rop2))](s, pen, xy, count, closed);
    pointsBox(xy, count, 0, c, touched);
}

void drawRectangle(const Target& t, const PenSpec& pen, const BrushSpec& brush, int64_t l,
                   int64_t tp, int64_t r, int64_t b, RECT* touched) {
    if (!t.s) return;
    if (l > r) std::swap(l, r);
    if (tp > b) std::swap(tp, b);
    if (l == r || tp == b) return;
    Surface& s = *t.s;
    Clip c = clipOf(s);
    auto fillBox = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t px, int rop2) {
        // [x0, x1) x [y0, y1)
        y0 = std::max(y0, c.y0);
        y1 = std::min(y1, c.y1 + 1);
        x0 = std::max(x0, c.x0);
        x1 = std::min(x1, c.x1 + 1);
        for (int64_t y = y0; y < y1; ++y) fillSpan(s, int(y), int(x0), int(x1), px, rop2);
    };
    int64_t w = r - l, h = b - tp;
    if (pen.null) {
        // Without a pen the platform fills one column and one row less than the box.
        if (!brush.null) fillBox(l, tp, r - 1, b - 1, brush.pixel, brush.rop2);
        touchBox(touched, l, tp, r - 2, b - 2, c);
        return;
    }
    if (pen.width > 1 && pen.insideFrame) {
        int64_t pw = pen.width;
        if (2 * pw >= w || 2 * pw >= h) {
            fillBox(l, tp, r, b, pen.onPixel, pen.rop2);
        } else {
            fillBox(l, tp, r, tp + pw, pen.onPixel, pen.rop2);
            fillBox(l, b - pw, r, b, pen.onPixel, pen.rop2);
            fillBox(l, tp + pw, l + pw, b - pw, pen.onPixel, pen.rop2);
            fillBox(r - pw, tp + pw, r, b - pw, pen.onPixel, pen.rop2);
            if (!brush.null) fillBox(l + pw, tp + pw, r - pw, b - pw, brush.pixel, brush.rop2);
        }
    } else if (pen.width > 1) {
        // Centred on the outline the thin pen draws, with round joins; each pixel once.
        int64_t path[8] = {l, tp, r - 1, tp, r - 1, b - 1, l, b - 1};
        Mask mask;
        int64_t g = pen.width;
        if (!makeMask(mask, l - g, tp - g, r - 1 + g, b - 1 + g, c)) return;
        if (!brush.null)
            for (int64_t y = std::max(tp + 1, mask.y0); y <= std::min(b - 2, mask.y0 + mask.h - 1); ++y)
                for (int64_t x = std::max(l + 1, mask.x0); x <= std::min(r - 2, mask.x0 + mask.w - 1); ++x)
                    mask.at(x, y) = 1;
        strokeIntoMask(mask, pen, path, 4, true);
        applyMask(s, mask, pen, brush, touched);
        return;
    } else {
        if (w == 1 && h == 1) return;   // the platform draws no outline of a single pixel
        if (w == 1 || h == 1) {
            int64_t line[4] = {l, tp, w == 1 ? l : r, w == 1 ? b : tp};
            drawPolyline(t, pen, line, 2, false, nullptr);
        } else {
            int64_t path[8] = {l, tp, r - 1, tp, r - 1, b - 1, l, b - 1};
            drawPolyline(t, pen, path, 4, true, nullptr);
            if (!brush.null) fillBox(l + 1, tp + 1, r - 1, b - 1, brush.pixel, brush.rop2);
        }
    }
    touchBox(touched, l, tp, r - 1, b - 1, c);
}

void drawEllipse(const Target& t, const PenSpec& pen, const BrushSpec& brush, int64_t l,
                 int64_t tp, int64_t r, int64_t b, RECT* touched) {
    if (!t.s) return;
    if (l > r) std::swap(l, r);
    if (tp > b) std::swap(tp, b);
    if (l == r || tp == b || (pen.null && brush.null)) return;
    Clip c = clipOf(*t.s);
    int pw = pen.null ? 0 : pen.width;
    if (pw > 1 && !pen.insideFrame) {
        // A wide outline is centred on the thin one: the shape grows by half the pen outward.
        int64_t g = pw / 2;
        l -= g;
        tp -= g;
        r += g;
        b += g;
    }
    Mask mask;
    if (!makeMask(mask, l, tp, r - 1, b - 1, c)) return;
    // The ellipse runs through the centres of the box's edge pixels; a pixel belongs to the shape
    // when its centre lies within half a pixel of the ellipse's inside along its row or along its
    // column, the choice a line makes between two pixels (a 3 x 3 ellipse is a plus).
    double cx = (double(l) + double(r) - 1) / 2, cy = (double(tp) + double(b) - 1) / 2;
    double ra = (double(r) - double(l) - 1) / 2, rb = (double(b) - double(tp) - 1) / 2;
    // Row spans of the shape (and of the inner shape for wide pens), rows y0-1 .. y1+1.
    auto span = [&](double rx, double ry, int64_t y, int64_t* x0, int64_t* x1) {
        if (rx < 0 || ry < 0) return false;
        constexpr double eps = 1e-9;
        // Half the width of the ellipse's inside at height h above or below its centre.
        auto across = [&](double h) {
            double v = ry > 0 ? h / ry : 0;
            return rx * std::sqrt(std::max(0.0, 1 - v * v));
        };
        double dy = std::fabs(double(y) - cy), hw = -1;
        if (dy <= ry + eps) hw = 0.5 + across(dy);   // within half a pixel along the row
        if (dy - 0.5 <= ry + eps) hw = std::max(hw, across(std::max(0.0, dy - 0.5)));   // along a column
        if (hw < 0) return false;
        double a = std::ceil(cx - hw - eps), z = std::floor(cx + hw + eps);
        if (a > z) return false;
        *x0 = int64_t(a);
        *x1 = int64_t(z);
        return true;
    };
    int64_t my0 = mask.y0, my1 = mask.y0 + mask.h - 1;
    size_t rows = size_t(my1 - my0 + 3);
    std::vector<int64_t> sl(rows), sr(rows);
    std::vector<char> has(rows);
    for (int64_t y = my0 - 1; y <= my1 + 1; ++y) {
        size_t i = size_t(y - (my0 - 1));
        has[i] = span(ra, rb, y, &sl[i], &sr[i]);
    }
    for (int64_t y = my0; y <= my1; ++y) {
        size_t i = size_t(y - (my0 - 1));
        if (!has[i]) continue;
        int64_t il = 0, ir = -1;
        bool inner = pw > 1 && span(ra - pw, rb - pw, y, &il, &ir);
        int64_t x0 = std::max(sl[i], mask.x0), x1 = std::min(sr[i], mask.x0 + mask.w - 1);
        for (int64_t x = x0; x <= x1; ++x) {
            bool edge = x == sl[i] || x == sr[i] || !has[i - 1] || x < sl[i - 1] ||
                        x > sr[i - 1] || !has[i + 1] || x < sl[i + 1] || x > sr[i + 1];
            if (pw > 1 && !(inner && x >= il && x <= ir)) edge = true;
            if (pw > 0 && edge) mask.at(x, y) = 2;
            else if (!brush.null) mask.at(x, y) = 1;
        }
    }
    applyMask(*t.s, mask, pen, brush, touched);
}

void drawPolygon(const Target& t, const PenSpec& pen, const BrushSpec& brush, const int64_t* xy,
                 int count, bool winding, RECT* touched) {
    if (!t.s || count < 2 || (pen.null && brush.null)) return;
    Clip c = clipOf(*t.s);
    int64_t x0, y0, x1, y1;
    boundsOf(xy, count, x0, y0, x1, y1);
    int64_t grow = pen.null ? 0 : pen.width;
    Mask mask;
    if (!makeMask(mask, x0 - grow, y0 - grow, x1 + grow, y1 + grow, c)) return;
    if (!brush.null && count >= 3) {
        // Pixel centres on the scan line y; an edge covers y0 <= y < y1; a pixel is inside when
        // xa <= x < xb between crossings.
        std::vector<std::pair<double, int>> xs;
        for (int64_t y = std::max(y0, mask.y0); y <= std::min(y1, mask.y0 + mask.h - 1); ++y) {
            xs.clear();
            for (int i = 0; i < count; ++i) {
                int j = (i + 1) % count;
                double ax = double(xy[2 * i]), ay = double(xy[2 * i + 1]);
                double bx = double(xy[2 * j]), by = double(xy[2 * j + 1]);
                if (ay == by) continue;
                int dir = ay < by ? 1 : -1;
                if (ay > by) {
                    std::swap(ax, bx);
                    std::swap(ay, by);
                }
                double fy = double(y);
                if (fy < ay || fy >= by) continue;
                xs.emplace_back(ax + (fy - ay) * (bx - ax) / (by - ay), dir);
            }
            std::sort(xs.begin(), xs.end());
            int wind = 0;
            for (size_t k = 0; k + 1 < xs.size(); ++k) {
                wind += xs[k].second;
                bool in = winding ? wind != 0 : (k % 2 == 0);
                if (!in) continue;
                double a = std::max(std::ceil(xs[k].first), double(mask.x0));
                double z = std::min(std::ceil(xs[k + 1].first) - 1, double(mask.x0 + mask.w - 1));
                for (double x = a; x <= z; x += 1) mask.at(int64_t(x), y) = 1;
            }
        }
    }
    if (!pen.null) strokeIntoMask(mask, pen, xy, count, true);
    applyMask(*t.s, mask, pen, brush, touched);
}

}  // namespace qv::gdi::detail
