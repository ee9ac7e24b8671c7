// Traces and point sets of the global view: DISPS (n values against their index, six styles),
// DISPS2 (the same after a min/max envelope of long traces) and the DISPLSJ family.
//
// A trace of millions of points puts thousands of consecutive points into one pixel column.
// With a thin solid pen and a raster operation that gives the same pixel when applied twice
// (the copy pen), the polyline through such a run sets exactly the pixels of the column's
// vertical extent plus the segments that enter and leave the column, so each run is drawn as at
// most four points. Any other pen or raster operation (XOR cursors) draws every segment.
#include "library/ArrayScan.h"
#include "library/GlobalView.h"
#include "library/trelm.h"
#include "library/ExportGuard.h"
#include "platform/kernel/Workers.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include <immintrin.h>


namespace trelm {
namespace {

using namespace qv::gdi;

constexpr int32_t kEnvelopePoints = 10000;
// Runs shorter than this are walked point by point.
constexpr int64_t kMinScannedRun = 8;

// Raster operations for which drawing a pixel twice equals drawing it once.
bool idempotent(int rop) {
    switch (rop) {
    case R2_BLACK: case R2_MASKNOTPEN: case R2_NOTCOPYPEN: case R2_MASKPEN: case R2_NOP:
    case R2_MERGENOTPEN: case R2_COPYPEN: case R2_MERGEPEN: case R2_WHITE:
        return true;
    default:
        return false;
    }
}

// Feeds a polyline to the drawing layer in pieces that share their end points. With a thin
// solid pen every segment is drawn on its own, so the pieces set exactly the pixels of one
// polyline, and no call needs a buffer of the trace's size. Repeats of the last point are
// dropped (a segment of no length draws nothing).
class PolylineSink {
public:
    explicit PolylineSink(HDC dc) : dc_(dc) {}
    void add(int32_t x, int32_t y) {
        if (n_ > 0 && pts_[n_ - 1].x == x && pts_[n_ - 1].y == y) return;
        if (n_ == kCapacity) {
            Polyline(dc_, pts_, n_);
            pts_[0] = pts_[n_ - 1];
            n_ = 1;
        }
        pts_[n_++] = POINT{x, y};
    }
    void add(POINT p) { add(p.x, p.y); }
    void finish() {
        if (n_ >= 2) Polyline(dc_, pts_, n_);
        n_ = 0;
    }

private:
    static constexpr int kCapacity = 1024;
    HDC dc_;
    POINT pts_[kCapacity];
    int n_ = 0;
};

// The trace's point i in pixels (form P); i may run to n + 1, repeating the last value.
struct Trace {
    const PlotFrame& f;
    const float* y;
    int32_t n;
    double xoffset, yoffset;

    int32_t column(int64_t i) const { return pixelX(f, xoffset + static_cast<double>(i)); }
    int32_t row(float v) const { return pixelY(f, yoffset + static_cast<double>(v)); }
    POINT at(int64_t i) const { return {column(i), row(y[std::min<int64_t>(i, n - 1)])}; }
};

// Vertical segments through the rows of consecutive points in one column cover a closed
// interval [lo, hi], except for the last point when the path only reached it at the end.
struct ColumnCover {
    int32_t first, lo, hi, last;
    bool lastUncovered;
};

ColumnCover walkColumn(const Trace& t, int64_t begin, int64_t end) {
    ColumnCover c{};
    c.first = c.lo = c.hi = c.last = t.row(t.y[begin]);
    c.lastUncovered = true;
    for (int64_t i = begin + 1; i < end; ++i) {
        const int32_t r = t.row(t.y[i]);
        if (r == c.last) continue;
        if (r >= c.lo && r <= c.hi) {
            c.lastUncovered = false;
        } else {
            c.lo = std::min(c.lo, r);
            c.hi = std::max(c.hi, r);
            c.lastUncovered = true;
        }
        c.last = r;
    }
    return c;
}

// The first point after i that lies in another column than col, the column of point i (n when
// none does). Columns never decrease, so the end is where the pixel rule puts the next column's
// left edge, give or take the rounding of that estimate; it is checked against the rule itself,
// and found by galloping and bisecting when the estimate is not within a step of it.
int64_t endOfColumn(const Trace& t, int64_t i, int32_t col) {
    const int64_t n = t.n;
    const double edge = (static_cast<double>(col) + 1.0 - t.f.left) * t.f.xs + t.f.xmin - t.xoffset;
    if (std::isfinite(edge) && edge > static_cast<double>(i) && edge < static_cast<double>(n)) {
        const int64_t e = static_cast<int64_t>(std::ceil(edge));
        for (int64_t guess : {e, e + 1, e - 1})
            if (guess > i && guess < n && t.column(guess) != col && t.column(guess - 1) == col) return guess;
    }
    int64_t step = 1;
    while (i + step < n && t.column(i + step) == col) step *= 2;
    int64_t same = i + step / 2, differs = std::min(i + step, n);
    while (differs - same > 1) {
        const int64_t mid = same + (differs - same) / 2;
        if (t.column(mid) == col) same = mid;
        else differs = mid;
    }
    return differs;
}

// One pixel column's run of points [begin, end) and, for a run long enough to be scanned, the
// rows of its first point, its extremes and its last point, when they are usable (`direct`).
// The thread that scans the run finds them, so the path is written without reading the trace.
struct ColumnRun {
    int64_t begin, end;
    int32_t col;
    bool scanned, direct;
    int32_t first, top, bottom, last;
};

// Columns are summarised in batches: the runs' ends are found in order, then their values are
// scanned in turns of a few runs, long traces by several threads (the scan reads every point,
// the rest is per column), while this thread writes the path of each turn in order as soon as it
// is scanned, scanning the next turn itself when no helper has taken it.
constexpr size_t kRunsPerTurn = 16;
constexpr size_t kBatchColumns = 256 * kRunsPerTurn;
// Writing the path takes this thread about as long as three others take to scan the points.
constexpr unsigned kScanHelpers = 3;

class BatchScan {
public:
    BatchScan(const Trace& t, std::vector<ColumnRun>& runs)
        : t_(t), runs_(runs), turns_((runs.size() + kRunsPerTurn - 1) / kRunsPerTurn) {
        for (size_t k = 0; k < turns_; ++k) done_[k].store(false, std::memory_order_relaxed);
    }

    // A helper's part: scans turns until none is left.
    void scanAll() {
        while (scanNext()) {
        }
    }

    // The caller's part: each turn's path once it is scanned.
    void emitAll(PolylineSink& out) {
        for (size_t k = 0; k < turns_; ++k) {
            for (int spins = 0; !done_[k].load(std::memory_order_acquire);) {
                if (scanNext()) continue;
                // A helper has the turn: it is a few microseconds of reading away.
                if (++spins < 4096) _mm_pause();
                else std::this_thread::yield();
            }
            for (size_t r = k * kRunsPerTurn; r < std::min(runs_.size(), (k + 1) * kRunsPerTurn); ++r)
                emitColumn(t_, runs_[r], out);
        }
    }

    size_t turns() const { return turns_; }

private:
    bool scanNext() {
        const size_t k = next_.fetch_add(1, std::memory_order_relaxed);
        if (k >= turns_) return false;
        for (size_t i = k * kRunsPerTurn; i < std::min(runs_.size(), (k + 1) * kRunsPerTurn); ++i) {
            ColumnRun& r = runs_[i];
            if (!r.scanned) continue;
            float lo, hi;
            bool nan;
            minMaxNan(t_.y + r.begin, r.end - r.begin, lo, hi, nan);
            // Rows fall as values rise, so the extremes of the values give the row interval;
            // NaN or rows beyond the 32-bit range break that order and are walked instead.
            r.top = t_.row(hi);
            r.bottom = t_.row(lo);
            r.direct = !nan && r.top != INT32_MIN && r.bottom != INT32_MIN;
            r.first = t_.row(t_.y[r.begin]);
            r.last = t_.row(t_.y[r.end - 1]);
        }
        done_[k].store(true, std::memory_order_release);
        return true;
    }

    static void emitColumn(const Trace& t, const ColumnRun& r, PolylineSink& out);

    const Trace& t_;
    std::vector<ColumnRun>& runs_;
    const size_t turns_;
    std::atomic<size_t> next_{0};
    std::array<std::atomic<bool>, kBatchColumns / kRunsPerTurn> done_;
};

// The path of one column's run.
void BatchScan::emitColumn(const Trace& t, const ColumnRun& r, PolylineSink& out) {
    const bool lastRun = r.end == t.n;
    if (r.direct) {
        out.add(r.col, r.first);
        out.add(r.col, r.top);
        out.add(r.col, r.bottom);
        out.add(r.col, r.last);
        return;
    }
    const ColumnCover c = walkColumn(t, r.begin, r.end);
    out.add(r.col, c.first);
    if (!lastRun) {
        // The segment that leaves the column sets the last point's pixel.
        out.add(r.col, c.lo);
        out.add(r.col, c.hi);
        out.add(r.col, c.last);
    } else if (c.lo != c.hi) {
        // The final point of a polyline is not drawn: end on it only when it is uncovered.
        if (c.lastUncovered) {
            out.add(r.col, c.last == c.hi ? c.lo : c.hi);
            out.add(r.col, c.last);
        } else {
            out.add(r.col, c.lo);
            out.add(r.col, c.hi);
            out.add(r.col, c.lo);
        }
    }
}

// The polyline through points 0..n-1 as a short path with the same pixels (see the top of the
// file). Returns false when the columns are not monotone (points beyond the 32-bit range).
bool compressedPath(const Trace& t, PolylineSink& out) {
    const int64_t n = t.n;
    if (t.column(0) == INT32_MIN || t.column(n - 1) == INT32_MIN) return false;
    // Kept from call to call: a redraw draws dozens of traces.
    thread_local std::vector<ColumnRun> runs;
    runs.reserve(std::min<size_t>(kBatchColumns, static_cast<size_t>(n)));
    int64_t i = 0;
    int32_t col = t.column(0);
    while (i < n) {
        runs.clear();
        while (i < n && runs.size() < kBatchColumns) {
            const int64_t end = endOfColumn(t, i, col);
            const bool scanned = end != n && end - i >= kMinScannedRun;
            runs.push_back(ColumnRun{i, end, col, scanned, false, 0, 0, 0, 0});
            i = end;
            if (i < n) col = t.column(i);
        }
        BatchScan scan(t, runs);
        auto helpers = [&scan] { scan.scanAll(); };
        auto own = [&scan, &out] { scan.emitAll(out); };
        const int64_t points = runs.back().end - runs.front().begin;
        qv::kernel::shareWork(
            static_cast<unsigned>(std::min<int64_t>({scanHelpers(points), kScanHelpers, static_cast<int64_t>(scan.turns()) - 1})),
            helpers, own);
    }
    return true;
}

void drawPolyline(HDC dc, const Trace& t) {
    LOGPEN pen;
    if (GetObjectA(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen) == 0 ||
        pen.lopnStyle == PS_NULL)
        return;
    const bool thinSolid = (pen.lopnStyle == PS_SOLID || pen.lopnStyle == PS_INSIDEFRAME) &&
                           pen.lopnWidth.x <= 1;
    if (thinSolid) {
        PolylineSink sink(dc);
        if (!(idempotent(GetROP2(dc)) && compressedPath(t, sink)))
            for (int32_t i = 0; i < t.n; ++i) sink.add(t.at(i));
        sink.finish();
        return;
    }
    // Dash patterns run on along one polyline, and wide pens cover each pixel once per call.
    std::vector<POINT> pts(static_cast<size_t>(t.n));
    for (int32_t i = 0; i < t.n; ++i) pts[static_cast<size_t>(i)] = t.at(i);
    Polyline(dc, pts.data(), t.n);
}


void drawTrace(const float* y, int32_t n, int32_t style, float xoffset, float yoffset) {
    const ViewState& v = view();
    const PlotFrame& f = v.frame;
    if (!f.drawable() || n <= 0 || !y || style < 0 || style > 5) return;
    const HDC dc = f.dc;
    const Trace t{f, y, n, xoffset, yoffset};
    Selection pen(dc, viewPen());
    Selection background(dc, CreateSolidBrush(GetBkColor(dc)));
    const int32_t yb = pixelY(f, yoffset);  // the baseline: value 0
    if (style == 0) {
        drawPolyline(dc, t);
        return;
    }
    if (style == 2) {
        const POINT p0 = t.at(0);
        MoveToEx(dc, p0.x, p0.y);
        for (int32_t i = 0; i < n; ++i) {
            const POINT p = t.at(i);
            LineTo(dc, p.x, p.y);
            LineTo(dc, t.column(i + 1), p.y);
        }
        return;
    }
    if (style == 3) {
        for (int64_t i = 0; i <= n; ++i) {
            const POINT p = t.at(i);
            line(dc, p.x, yb, p.x, p.y);
        }
        return;
    }
    // Bars from the baseline: outlined with the pen over the background brush; styles 4 and 5
    // fill them with the pen colour, style 5 outlines them again in black.
    const HBRUSH penBrush = style >= 4 ? CreateSolidBrush(static_cast<COLORREF>(v.penColour)) : 0;
    for (int32_t i = 0; i < n; ++i) {
        const POINT p = t.at(i);
        const int32_t next = t.column(i + 1);
        Rectangle(dc, saturate32(int64_t{p.x} - 1), yb, next, p.y);
        // The corners as they are: a bar below the baseline is a box with bottom < top, whose
        // cover the drawing layer decides.
        const RECT bar{p.x, p.y, next, yb};
        if (penBrush) FillRect(dc, &bar, penBrush);
    }
    if (penBrush) DeleteObject(penBrush);
    if (style == 5) {
        Selection black(dc, CreatePen(v.penStyle, 1, 0x000000));
        Selection hollow(dc, GetStockObject(NULL_BRUSH));
        for (int32_t i = 0; i < n; ++i) {
            const POINT p = t.at(i);
            Rectangle(dc, p.x, yb, t.column(i + 1), p.y);
        }
    }
}

POINT worldPoint(const PlotFrame& f, float x, float y) { return {pixelX(f, x), pixelY(f, y)}; }

// A marker of the DISPLSJ styles 1 to 4 at p.
void marker(HDC dc, POINT p, int32_t style, int32_t size) {
    const int64_t x = p.x, y = p.y, s = size;
    switch (style) {
    case 1:
        Ellipse(dc, saturate32(x - s), saturate32(y - s), saturate32(x + s), saturate32(y + s));
        break;
    case 2:
        Rectangle(dc, saturate32(x - s), saturate32(y - s), saturate32(x + s), saturate32(y + s));
        break;
    case 3: {
        const double half = 0.8660254 * size;
        const int32_t base = qv::basic::truncToInt32(static_cast<double>(y) - size + 1.5 * size);
        const POINT tri[3] = {{p.x, saturate32(y - s)},
                              {qv::basic::truncToInt32(x - half), base},
                              {qv::basic::truncToInt32(x + half), base}};
        Polygon(dc, tri, 3);
        break;
    }
    case 4: {
        const int64_t c = qv::basic::truncToInt32(size / std::sqrt(2.0));
        line(dc, saturate32(x - c), saturate32(y - c), saturate32(x + c), saturate32(y + c));
        line(dc, saturate32(x - c), saturate32(y + c), saturate32(x + c), saturate32(y - c));
        break;
    }
    default:
        break;
    }
}

}  // namespace
}  // namespace trelm

using namespace trelm;
using namespace qv::gdi;

extern "C" {

void DISPS(const float* y, int32_t n, int32_t style, float xoffset, float yoffset) {
    trelm::guardedExport([&] {
        drawTrace(y, n, style, xoffset, yoffset);
    });
}

void DISPS2(const float* y, int32_t n, int32_t style, float xoffset, float yoffset) {
    trelm::guardedExport([&] {
        if (n <= kEnvelopePoints) {
            drawTrace(y, n, style, xoffset, yoffset);
            return;
        }
        if (!y) return;
        // The envelope's 10000 values span the pixels the n points would: the x range shrinks by
        // the same factor for the drawing, and is restored after it.
        std::vector<float> envelope(kEnvelopePoints);
        S_TRANS(envelope.data(), y, 0, n, kEnvelopePoints);
        const double g = static_cast<double>(kEnvelopePoints) / n;
        PlotFrame& f = view().frame;
        // Put back also when the drawing ends early (out of memory half-way).
        struct Restore {
            PlotFrame& frame;
            const PlotFrame saved;
            ~Restore() { frame = saved; }
        } restore{f, f};
        WINDOW(static_cast<float>(g * f.xmin), f.ymin, static_cast<float>(g * f.xmax), f.ymax);
        drawTrace(envelope.data(), kEnvelopePoints, style, static_cast<float>(g * xoffset), yoffset);
    });
}

void DISPLSJ(const float* x, const float* y, int32_t n, int32_t style, int32_t size) {
    DISPLSJ3(x, y, nullptr, n, style, size);
}

void DISPLSJ3(const float* x, const float* y, const int32_t* flags, int32_t n, int32_t style,
              int32_t size) {
    trelm::guardedExport([&] {
        const PlotFrame& f = view().frame;
        if (!f.drawable() || n <= 0 || !x || !y || style < 0 || style > 4) return;
        Selection pen(f.dc, viewPen());
        if (style == 0) {
            if (!flags) {
                std::vector<POINT> pts(static_cast<size_t>(n));
                for (int32_t i = 0; i < n; ++i) pts[static_cast<size_t>(i)] = worldPoint(f, x[i], y[i]);
                Polyline(f.dc, pts.data(), n);
                return;
            }
            // A gap wherever either end of a segment is not flagged.
            for (int32_t i = 0; i < n; ++i) {
                const POINT p = worldPoint(f, x[i], y[i]);
                if (i > 0 && flags[i - 1] != 0 && flags[i] != 0) LineTo(f.dc, p.x, p.y);
                else MoveToEx(f.dc, p.x, p.y);
            }
            return;
        }
        for (int32_t i = 0; i < n; ++i)
            if (!flags || flags[i] == 1) marker(f.dc, worldPoint(f, x[i], y[i]), style, size);
    });
}

void DISPLSJ2(const float* x, const float* y, int32_t n, int32_t connect, const char* label,
              int32_t fontHeight) {
    trelm::guardedExport([&] {
        ViewState& v = view();
        const PlotFrame& f = v.frame;
        if (!f.drawable() || n <= 0 || !x || !y) return;
        const HDC dc = f.dc;
        Selection pen(dc, viewPen());
        const int length = label ? static_cast<int>(std::strlen(label)) : 0;
        TEXTMETRICA tm{};
        HFONT font = 0;
        if (length > 0) {
            v.baseFont.lfHeight = fontHeight;  // the base record keeps the height and face
            setGothicFace(v.baseFont);
            font = CreateFontIndirectA(&v.baseFont);
        }
        Selection selected(dc, font);
        if (font) GetTextMetricsA(dc, &tm);
        const POINT p0 = worldPoint(f, x[0], y[0]);
        MoveToEx(dc, p0.x, p0.y);
        for (int32_t i = 0; i < n; ++i) {
            const POINT p = worldPoint(f, x[i], y[i]);
            if (connect == 1) LineTo(dc, p.x, p.y);
            if (length > 0) {
                // Centred by the byte count: a double-byte character is two average widths.
                const int64_t left = p.x - int64_t{tm.tmAveCharWidth} * length / 2;
                const int64_t top = p.y - int64_t{tm.tmHeight} / 2;
                TextOutA(dc, saturate32(left), saturate32(top), label, length);
            }
        }
    });
}

}  // extern "C"
