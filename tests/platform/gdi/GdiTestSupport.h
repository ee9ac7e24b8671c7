#pragma once
// Helpers for the drawing-layer tests: a context on a fresh surface and pixel queries.

#include <memory>
#include <set>
#include <utility>

#include "platform/gdi/Gdi.h"

namespace qv::gdi::test {

struct Canvas {
    std::shared_ptr<Surface> surface;
    HDC dc = 0;
    Canvas(int w, int h, COLORREF fill = 0x000000)
        : surface(std::make_shared<Surface>(w, h, fill)), dc(createSurfaceDC(surface)) {}
    ~Canvas() { DeleteDC(dc); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    COLORREF at(int x, int y) const { return surface->colorAt(x, y); }
    // Coordinates of pixels that differ from c.
    std::set<std::pair<int, int>> notColor(COLORREF c) const {
        std::set<std::pair<int, int>> s;
        for (int y = 0; y < surface->height(); ++y)
            for (int x = 0; x < surface->width(); ++x)
                if (at(x, y) != c) s.insert({x, y});
        return s;
    }
    void usePen(int style, int width, COLORREF c) {
        HGDIOBJ old = SelectObject(dc, CreatePen(style, width, c));
        DeleteObject(old);  // a stock pen is never deleted
    }
};

}  // namespace qv::gdi::test
