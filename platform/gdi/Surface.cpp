#include "platform/gdi/Surface.h"

#include <algorithm>
#include <utility>

namespace qv::gdi {

namespace {
std::function<void(Surface&)>& listener() {
    static std::function<void(Surface&)> l;
    return l;
}
}  // namespace

Surface::Surface(int width, int height, COLORREF fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    own_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), colorToPixel(fill));
    base_ = own_.data();
    stride_ = width_;
}

Surface::Surface(int width, int height, uint32_t* firstRow, ptrdiff_t stride)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), base_(firstRow), stride_(stride) {}

uint32_t Surface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return row(y)[x];
}

bool Surface::resize(int width, int height, COLORREF fill) {
    if (!ownsMemory()) return false;
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return true;
    std::vector<uint32_t> next(static_cast<size_t>(width) * static_cast<size_t>(height),
                               colorToPixel(fill));
    int w = std::min(width, width_), h = std::min(height, height_);
    for (int y = 0; y < h; ++y)
        std::copy_n(row(y), w, next.data() + static_cast<size_t>(y) * static_cast<size_t>(width));
    own_ = std::move(next);
    width_ = width;
    height_ = height;
    base_ = own_.data();
    stride_ = width_;
    markChanged({0, 0, width_, height_});
    return true;
}

void Surface::fill(COLORREF c) {
    uint32_t p = colorToPixel(c);
    for (int y = 0; y < height_; ++y) std::fill_n(row(y), width_, p);
    markChanged({0, 0, width_, height_});
}

void Surface::markChanged(const RECT& r) {
    RECT c{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width_),
           std::min(r.bottom, height_)};
    if (c.left >= c.right || c.top >= c.bottom) return;
    ++version_;
    if (!dirty_) {
        dirty_ = true;
        dirtyRect_ = c;
        if (listener()) listener()(*this);
        return;
    }
    dirtyRect_.left = std::min(dirtyRect_.left, c.left);
    dirtyRect_.top = std::min(dirtyRect_.top, c.top);
    dirtyRect_.right = std::max(dirtyRect_.right, c.right);
    dirtyRect_.bottom = std::max(dirtyRect_.bottom, c.bottom);
}

bool Surface::takeChanges(RECT* changed) {
    if (!dirty_) return false;
    if (changed) *changed = dirtyRect_;
    dirty_ = false;
    return true;
}

void Surface::setChangeListener(std::function<void(Surface&)> l) { listener() = std::move(l); }

}  // namespace qv::gdi
