// The global view: mapping, traces (and their decimation, pixel for pixel), axis boxes.
#include "PlotTestSupport.h"

#include "library/GlobalView.h"
#include "library/trelm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using namespace plottest;

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kBlue = 0xFF0000;

class GlobalView : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setFontConfigFile(QV_SOURCE_DIR "/data/fonts.conf"); }
    void SetUp() override {
        VIEWSET(win.hwnd, win.dc);
        MARGINSET(50, 10, 10, 20);
        WINDOW(0, -1, 340, 1);
        LINETYPES2(0, static_cast<int32_t>(kRed), 1);
    }
    // Columns holding a pixel of colour c.
    std::vector<int> columns(COLORREF c) const {
        std::vector<int> xs;
        for (int x = 0; x < win.surface->width(); ++x)
            for (int y = 0; y < win.surface->height(); ++y)
                if (win.at(x, y) == c) {
                    xs.push_back(x);
                    break;
                }
        return xs;
    }
    TestWindow win{400, 300};
};

TEST_F(GlobalView, MarginsAndWorldMapToTruncatedPixels) {
    // xs = 340 / (400 - 60) = 1, ys = 2 / 270: x = 0 at pixel 50, value 1 at the top margin.
    EXPECT_DOUBLE_EQ(trelm::view().frame.xs, 1.0);
    EXPECT_DOUBLE_EQ(trelm::view().frame.ys, 2.0 / 270.0);
    const float y[1] = {1.0f};
    DISPS(y, 1, 3, 0, 0);  // bars at index 0 and 1, from value 0 (row 145) up to row 10
    EXPECT_EQ(win.at(50, 145), kRed);
    EXPECT_EQ(win.at(50, 11), kRed);
    EXPECT_EQ(win.at(50, 10), kWhite);  // a line omits its end pixel
    EXPECT_EQ(win.at(50, 146), kWhite);
    EXPECT_EQ(win.at(51, 100), kRed);
    EXPECT_EQ(win.at(49, 100), kWhite);
    EXPECT_EQ(win.at(52, 100), kWhite);
    MOVEDRAW(340, 1, 340, -1);  // form Q: trunc(340 / 1) + 50
    EXPECT_EQ(columns(kRed), (std::vector<int>{50, 51, 390}));
}

TEST_F(GlobalView, NothingIsDrawnWithoutAPositiveScale) {
    WINDOW(0, 0, 0, 1);
    const float y[3] = {1, 2, 3};
    const int32_t opts[32] = {0, 0, 0, 0, 0, 0};
    MOVEDRAW(0, 0, 1, 1);
    MOVEDRAWRECT(0, 0, 1, 1, 1);
    DISPS(y, 3, 0, 0, 0);
    DISPS2(y, 3, 4, 0, 0);
    DISPLSJ(y, y, 3, 2, 3);
    AXISBOX(1, 1, 0, 0, 0, 0, 1, 1, 0, opts);
    CPLOT(0, 0, "X");
    EXPECT_EQ(win.count(kWhite), 400 * 300);
}

TEST_F(GlobalView, StyleThreeDrawsOneMoreBarRepeatingTheLastValue) {
    const float y[3] = {0.5f, -0.5f, 1.0f};
    DISPS(y, 3, 3, 0, 0);
    EXPECT_EQ(columns(kRed), (std::vector<int>{50, 51, 52, 53}));
    EXPECT_EQ(win.at(53, 11), kRed);  // index 3 has the value of index 2
    EXPECT_EQ(win.at(51, 150), kRed);  // below the baseline
}

TEST_F(GlobalView, EnvelopeKeepsThePixelRangeAndTheWorld) {
    std::vector<float> y(20000);
    for (size_t i = 0; i < y.size(); ++i) y[i] = static_cast<float>(std::sin(0.01 * i));
    WINDOW(0, -1, 20000, 1);
    MARGINSET(0, 0, 0, 0);
    const trelm::PlotFrame before = trelm::view().frame;
    DISPS2(y.data(), 20000, 0, 0, 0);
    const trelm::PlotFrame after = trelm::view().frame;
    EXPECT_EQ(after.xmin, before.xmin);
    EXPECT_EQ(after.xmax, before.xmax);
    EXPECT_EQ(after.xs, before.xs);
    const std::vector<int> envelope = columns(kRed);
    win.surface->fill(kWhite);
    DISPS(y.data(), 20000, 0, 0, 0);
    const std::vector<int> full = columns(kRed);
    ASSERT_FALSE(envelope.empty());
    EXPECT_EQ(envelope.front(), full.front());
    EXPECT_EQ(envelope.back(), full.back());
}

TEST_F(GlobalView, RectangleOutlineOrFill) {
    MOVEDRAWRECT(10, 0.5f, 20, -0.5f, 0);
    const int outline = win.count(kRed);
    win.surface->fill(kWhite);
    MOVEDRAWRECT(20, -0.5f, 10, 0.5f, 1);  // corners in either order
    EXPECT_GT(win.count(kRed), outline);
    EXPECT_EQ(win.at(65, 145), kRed);  // inside
}

// Filled boxes hand their corners to the drawing layer as given: reversed corners cover the box
// taken from the other corner (right + 1 .. left), one column and row further than normalised.
TEST_F(GlobalView, FilledBoxesAndBarsBelowTheBaselineKeepTheirCornersAsGiven) {
    MOVEDRAWRECT(10, 0.5f, 20, -0.5f, 1);
    const std::vector<int> given = columns(kRed);
    win.surface->fill(kWhite);
    MOVEDRAWRECT(20, -0.5f, 10, 0.5f, 1);
    const std::vector<int> reversed = columns(kRed);
    ASSERT_FALSE(given.empty());
    ASSERT_FALSE(reversed.empty());
    EXPECT_EQ(reversed.front(), given.front());
    EXPECT_EQ(reversed.back(), given.back() + 1);

    // A filled bar below the baseline covers baseline + 1 .. its value's row.
    win.surface->fill(kWhite);
    const float y[2] = {-0.5f, -0.5f};
    DISPS(y, 2, 4, 0, 0);
    const trelm::PlotFrame& f = trelm::view().frame;
    const int32_t x = trelm::pixelX(f, 0), yb = trelm::pixelY(f, 0), yv = trelm::pixelY(f, -0.5);
    ASSERT_GT(yv, yb + 2);
    EXPECT_EQ(win.at(x, yv), kRed);   // the value's own row, beyond the outline's last row
    EXPECT_EQ(win.at(x, yv + 1), kWhite);
}

// ---- Decimation ------------------------------------------------------------------------------

// The plain polyline through every point, drawn by the drawing layer itself.
void plainTrace(const TestWindow& w, const std::vector<float>& y, float xoff, float yoff) {
    const trelm::PlotFrame& f = trelm::view().frame;
    std::vector<POINT> pts(y.size());
    for (size_t i = 0; i < y.size(); ++i) {
        pts[i].x = qv::basic::truncToInt32((double{xoff} + i - f.xmin) / f.xs + f.left);
        pts[i].y = qv::basic::truncToInt32((f.ymax - (double{yoff} + y[i])) / f.ys + f.top);
    }
    const HPEN pen = CreatePen(trelm::view().penStyle, trelm::view().penWidth,
                               static_cast<COLORREF>(trelm::view().penColour));
    const HGDIOBJ old = SelectObject(w.dc, pen);
    Polyline(w.dc, pts.data(), static_cast<int>(pts.size()));
    SelectObject(w.dc, old);
    DeleteObject(pen);
}

struct TraceCase {
    const char* name;
    std::vector<float> y;
    float xmax;
    float xoffset = 0;
    float yoffset = 0;
};

std::vector<TraceCase> traceCases() {
    std::mt19937 rng(7);
    std::normal_distribution<float> noise(0.0f, 0.3f);
    std::vector<TraceCase> cases;
    auto add = [&](const char* name, size_t n, float xmax, auto gen, float xoff = 0, float yoff = 0) {
        TraceCase c{name, std::vector<float>(n), xmax, xoff, yoff};
        for (size_t i = 0; i < n; ++i) c.y[i] = gen(i);
        cases.push_back(std::move(c));
    };
    float walk = 0;
    add("random walk", 40000, 40000, [&](size_t) { return walk = std::clamp(walk + noise(rng), -1.5f, 1.5f); });
    add("noise", 30000, 30000, [&](size_t) { return noise(rng); });
    add("spikes", 30000, 30000, [](size_t i) { return i % 197 == 0 ? 50.0f : i % 299 == 0 ? -50.0f : 0.0f; });
    add("steps", 30000, 30000, [](size_t i) { return static_cast<float>((i / 700) % 4) * 0.4f - 0.6f; });
    add("off the surface", 30000, 30000, [](size_t i) { return 1e30f * static_cast<float>(std::sin(0.003 * i)); });
    add("not numbers", 30000, 30000, [&](size_t i) {
        if (i % 1503 == 0) return std::numeric_limits<float>::quiet_NaN();
        if (i % 2001 == 0) return std::numeric_limits<float>::infinity();
        return noise(rng);
    });
    add("zoomed in", 300, 150, [&](size_t) { return noise(rng); });
    add("offset and shifted", 30000, 15000, [&](size_t) { return noise(rng); }, -6000.5f, 0.25f);
    add("one column", 5000, 1, [&](size_t) { return noise(rng); });
    add("ends on an extreme", 30011, 30011, [](size_t i) { return i + 1 == 30011 ? 0.9f : 0.0f; });
    // Column edges that fall between points at uneven places, and far from the origin.
    add("fractional scale", 37013, 36999.7f, [&](size_t) { return noise(rng); }, 0.37f);
    add("far from the origin", 30000, 1.0e7f, [&](size_t) { return noise(rng); }, 9.98e6f);
    return cases;
}

TEST_F(GlobalView, LongTracesDrawExactlyThePixelsOfThePlainPolyline) {
    TestWindow reference{400, 300};
    for (const TraceCase& c : traceCases()) {
        for (int rop : {R2_COPYPEN, R2_NOTXORPEN}) {
            // Wide pens always take the plain path; one short case each keeps the test fast.
            for (int width : {1, 2}) {
                if (width > 1 && c.y.size() > 5000) continue;
                SCOPED_TRACE(std::string(c.name) + " rop " + std::to_string(rop) + " width " +
                             std::to_string(width));
                win.surface->fill(kWhite);
                reference.surface->fill(kWhite);
                SetROP2(win.dc, rop);
                SetROP2(reference.dc, rop);
                WINDOW(0, -1, c.xmax, 1);
                LINETYPES2(0, static_cast<int32_t>(kBlue), width);
                DISPS(c.y.data(), static_cast<int32_t>(c.y.size()), 0, c.xoffset, c.yoffset);
                plainTrace(reference, c.y, c.xoffset, c.yoffset);
                EXPECT_TRUE(win.same(*reference.surface));
                EXPECT_GT(win.count(kBlue) + win.count(kBlue ^ 0xFFFFFF), 0);
            }
        }
    }
    SetROP2(win.dc, R2_COPYPEN);
}

// Traces of millions of points, thousands to a column, with every pen and raster operation that
// takes the column reduction: the pixels of the plain polyline through every point.
TEST_F(GlobalView, MillionPointTracesInEveryReducedPenDrawThePlainPolyline) {
    TestWindow reference{400, 300};
    std::mt19937 rng(18);
    std::normal_distribution<float> noise(0.0f, 0.2f);
    for (int32_t n : {2000000, 1000003}) {
        std::vector<float> y(static_cast<size_t>(n));
        float walk = 0;
        for (int32_t i = 0; i < n; ++i) {
            walk = std::clamp(walk + 0.01f * noise(rng), -0.8f, 0.8f);
            y[static_cast<size_t>(i)] = walk + noise(rng);
            if (i % 400009 == 7) y[static_cast<size_t>(i)] = std::numeric_limits<float>::quiet_NaN();
            if (i % 300007 == 11) y[static_cast<size_t>(i)] = -std::numeric_limits<float>::infinity();
            if (i % 250013 == 5) y[static_cast<size_t>(i)] = 3e38f;
        }
        // Zoomed in twenty times, the trace crosses 8,000 columns (most beyond the picture),
        // summarised in several batches.
        for (int pen : {PS_SOLID, PS_INSIDEFRAME})
            for (int width : {0, 1})
                for (int rop : {R2_COPYPEN, R2_MASKPEN})
                    for (float zoom : {1.0f, 20.0f}) {
                        if (zoom > 1.0f && (pen != PS_SOLID || rop != R2_COPYPEN)) continue;
                        SCOPED_TRACE(std::to_string(n) + " points, pen " + std::to_string(pen) + " width " +
                                     std::to_string(width) + " rop " + std::to_string(rop) + " zoom " +
                                     std::to_string(zoom));
                        win.surface->fill(kWhite);
                        reference.surface->fill(kWhite);
                        SetROP2(win.dc, rop);
                        SetROP2(reference.dc, rop);
                        WINDOW(0, -1, static_cast<float>(n) / zoom, 1);
                        LINETYPES2(pen, static_cast<int32_t>(kBlue), width);
                        DISPS(y.data(), n, 0, 0.5f, 0);
                        plainTrace(reference, y, 0.5f, 0);
                        EXPECT_TRUE(win.same(*reference.surface));
                        EXPECT_GT(win.count(kBlue), 1000);
                    }
    }
    SetROP2(win.dc, R2_COPYPEN);
}

// ---- Axis boxes ------------------------------------------------------------------------------

class AxisBox : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setFontConfigFile(QV_SOURCE_DIR "/data/fonts.conf"); }
    void SetUp() override {
        VIEWSET(win.hwnd, win.dc);
        MARGINSET(0, 0, 0, 0);
        WINDOW(0, 0, 10, 10);  // 20 pixels per unit on 200 x 200
    }
    TestWindow win{200, 200};
    int32_t opts[32] = {-1, -1, -1, -1, -1, -1};
};

TEST_F(AxisBox, TicksStartAtTheOriginWithoutAGrid) {
    opts[3] = static_cast<int32_t>(kRed);
    AXISBOX(1, 0, 5, 5, 0, 0, 0, 0, 0, opts);
    const int ay = 100;  // pixel of origin y 5
    for (int v = 5; v <= 9; ++v) EXPECT_EQ(win.at(20 * v, ay - 4), kRed) << v;
    for (int v = 1; v <= 4; ++v) EXPECT_EQ(win.at(20 * v, ay - 4), kWhite) << v;
    // With the grid drawn the ticks start where the grid starts.
    opts[2] = static_cast<int32_t>(kBlue);
    AXISBOX(1, 0, 5, 5, 0, 0, 0, 0, 0, opts);
    EXPECT_EQ(win.at(20, ay - 4), kRed);
    EXPECT_EQ(win.at(20, 50), kBlue);
}

TEST_F(AxisBox, OptionColoursAboveWhiteDrawWhite) {
    win.surface->fill(0x000000);
    opts[0] = 0x1000000;
    opts[1] = static_cast<int32_t>(kBlue);
    MARGINSET(10, 10, 10, 10);
    AXISBOX(0, 0, 0, 0, 0, 0, 0, 0, 0, opts);
    EXPECT_EQ(win.at(0, 0), kWhite);
    EXPECT_EQ(win.at(100, 100), kBlue);
}

TEST_F(AxisBox, NegativeTinyAndInvalidStepsEnd) {
    opts[2] = static_cast<int32_t>(kBlue);
    AXISBOX(-1, 0, 5, 5, 0, 0, 0, 0, 0, opts);  // the same lines as a step of 1
    for (int v = 0; v <= 9; ++v) EXPECT_EQ(win.at(20 * v, 50), kBlue) << v;
    EXPECT_EQ(win.at(30, 50), kWhite);
    win.surface->fill(kWhite);
    AXISBOX(1e-9f, 0, 5, 5, 0, 0, 0, 0, 0, opts);  // 10^10 lines: every column once
    for (int x = 0; x < 200; ++x) ASSERT_EQ(win.at(x, 50), kBlue) << x;
    win.surface->fill(kWhite);
    AXISBOX(std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 5, 5,
            0, 0, 1, 1, 0, opts);
    EXPECT_EQ(win.count(kWhite), 200 * 200);
}

TEST_F(AxisBox, NegativeLabelOffsetRightAlignsTheLabels) {
    opts[5] = static_cast<int32_t>(kRed);
    const int ax = 100;  // pixel of origin x 5
    AXISBOX(0, 2, 5, 0, -3, 0, 0, 1, 0, opts);
    int right = -1, left = 1000;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (win.at(x, y) == kRed) right = std::max(right, x), left = std::min(left, x);
    ASSERT_GE(right, 0) << "labels drawn";
    EXPECT_LT(right, ax - 3 + 1);
    win.surface->fill(kWhite);
    AXISBOX(0, 2, 5, 0, 3, 0, 0, 1, 0, opts);
    left = 1000;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (win.at(x, y) == kRed) left = std::min(left, x);
    EXPECT_GE(left, ax + 3);
}

}  // namespace
