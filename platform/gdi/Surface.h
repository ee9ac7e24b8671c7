#pragma once
// A 32-bit pixel buffer that device contexts draw on: a control's persistent image, an
// off-screen bitmap or the pixels of a 32-bit DIB section. Pixels are 0x00RRGGBB in memory
// (bytes B, G, R, 0), the layout of a 32-bit DIB row and of Qt's RGB32 images, so a front end
// can show a surface without converting it.
//
// A front end learns of changes in two ways: a process-wide listener called when a clean
// surface first becomes dirty (cheap: once per batch of drawing, not per call), and
// takeChanges(), which hands over the accumulated dirty rectangle and marks the surface clean.
// The drawing layer runs on the user-interface thread only; surfaces are not locked.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gdi/GdiTypes.h"

namespace qv::gdi {

// 0x00BBGGRR <-> 0x00RRGGBB.
constexpr uint32_t colorToPixel(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF pixelToColor(uint32_t p) {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

class Surface {
public:
    // An owned buffer filled with one colour.
    Surface(int width, int height, COLORREF fill = 0xFFFFFF);
    // A view of memory owned elsewhere (a DIB section's bits); stride in pixels, negative for
    // bottom-up storage where firstRow is the top row's address.
    Surface(int width, int height, uint32_t* firstRow, ptrdiff_t stride);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    uint32_t* row(int y) { return base_ + y * stride_; }
    const uint32_t* row(int y) const { return base_ + y * stride_; }
    ptrdiff_t stride() const { return stride_; }
    bool ownsMemory() const { return !own_.empty() || (width_ == 0 || height_ == 0); }

    // 0x00RRGGBB, or 0 outside the surface.
    uint32_t pixel(int x, int y) const;
    COLORREF colorAt(int x, int y) const { return pixelToColor(pixel(x, y)); }

    // New size; the overlapping top-left part keeps its pixels, new area gets the fill colour.
    // Only for owned buffers (a view cannot grow); returns false otherwise.
    bool resize(int width, int height, COLORREF fill);
    void fill(COLORREF c);

    // Change tracking.
    void markChanged(const RECT& r);  // r clipped to the surface; an empty r is ignored
    bool hasChanges() const { return dirty_; }
    bool takeChanges(RECT* changed);  // false when nothing changed since the last call
    uint64_t version() const { return version_; }

    // Called with the surface each time it goes from clean to dirty. One listener per process
    // (the front end); an empty function removes it.
    static void setChangeListener(std::function<void(Surface&)> listener);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> own_;
    uint32_t* base_ = nullptr;
    ptrdiff_t stride_ = 0;
    bool dirty_ = false;
    RECT dirtyRect_{};
    uint64_t version_ = 0;
};

}  // namespace qv::gdi
