// Raster speed on a full-HD picture: 32 waveform polylines of 1920 points, 61,440 short
// vertical min/max lines (32 bands x 1920 columns) and an XOR cursor line, each timed alone and
// as the whole picture. Pixels per second counts the pixels the calls set.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/gdi/Gdi.h"

using namespace qv::gdi;

namespace {

constexpr int kW = 1920, kH = 1080, kTraces = 32;

struct Picture {
    std::shared_ptr<Surface> surface = std::make_shared<Surface>(kW, kH, 0xFFFFFF);
    HDC dc = createSurfaceDC(surface);
    std::vector<std::vector<POINT>> traces;
    std::vector<std::pair<int, int>> minmax;  // per band and column: top, bottom
    HPEN pen = CreatePen(PS_SOLID, 1, 0x0000C0);
    HPEN cursor = CreatePen(PS_SOLID, 1, 0x0000FF);

    Picture() {
        int band = kH / kTraces;
        for (int t = 0; t < kTraces; ++t) {
            std::vector<POINT> pts(kW);
            for (int x = 0; x < kW; ++x) {
                double v = std::sin(x * 0.05 + t) * 0.4 + std::sin(x * 0.37 + 2 * t) * 0.1;
                pts[size_t(x)] = {x, t * band + band / 2 + int(v * band)};
            }
            traces.push_back(std::move(pts));
            for (int x = 0; x < kW; ++x) {
                double a = std::sin(x * 0.11 + t) * 0.45, b = std::cos(x * 0.07 - t) * 0.45;
                int y0 = t * band + band / 2 + int(std::min(a, b) * band);
                int y1 = t * band + band / 2 + int(std::max(a, b) * band) + 1;
                minmax.emplace_back(y0, y1);
            }
        }
        SelectObject(dc, pen);
    }
    ~Picture() {
        DeleteDC(dc);
        DeleteObject(pen);
        DeleteObject(cursor);
    }

    int64_t polylines() {
        int64_t px = 0;
        for (const auto& t : traces) {
            Polyline(dc, t.data(), int(t.size()));
            for (size_t i = 1; i < t.size(); ++i)
                px += std::max(std::abs(t[i].x - t[i - 1].x), std::abs(t[i].y - t[i - 1].y));
        }
        return px;
    }
    int64_t verticals() {
        int64_t px = 0;
        for (size_t i = 0; i < minmax.size(); ++i) {
            int x = int(i % kW);
            MoveToEx(dc, x, minmax[i].first);
            LineTo(dc, x, minmax[i].second);
            px += minmax[i].second - minmax[i].first;
        }
        return px;
    }
    int64_t xorCursor(int x) {
        HGDIOBJ old = SelectObject(dc, cursor);
        int oldRop = SetROP2(dc, R2_NOTXORPEN);
        MoveToEx(dc, x, 0);
        LineTo(dc, x, kH);
        SetROP2(dc, oldRop);
        SelectObject(dc, old);
        return kH;
    }
};

void report(benchmark::State& state, int64_t pixels) {
    state.counters["pixels/s"] =
        benchmark::Counter(double(pixels), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Polylines32x1920(benchmark::State& state) {
    Picture p;
    int64_t px = 0;
    for (auto _ : state) px = p.polylines();
    report(state, px);
}
BENCHMARK(BM_Polylines32x1920)->Unit(benchmark::kMillisecond);

void BM_VerticalMinMax61440(benchmark::State& state) {
    Picture p;
    int64_t px = 0;
    for (auto _ : state) px = p.verticals();
    report(state, px);
}
BENCHMARK(BM_VerticalMinMax61440)->Unit(benchmark::kMillisecond);

void BM_XorCursorLine(benchmark::State& state) {
    Picture p;
    int x = 0;
    for (auto _ : state) p.xorCursor(100 + (x++ & 1023));
    report(state, kH);
}
BENCHMARK(BM_XorCursorLine)->Unit(benchmark::kMicrosecond);

void BM_WholePicture(benchmark::State& state) {
    Picture p;
    int64_t px = 0;
    for (auto _ : state) {
        p.surface->fill(0xFFFFFF);
        px = int64_t(kW) * kH + p.polylines() + p.verticals() + p.xorCursor(960);
    }
    report(state, px);
}
BENCHMARK(BM_WholePicture)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
