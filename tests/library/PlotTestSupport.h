#pragma once
// Windows with a surface for the plotting tests, and libTrelm.so loaded by file name.
#include "platform/gdi/Gdi.h"

#include <dlfcn.h>

#include <memory>
#include <string>

namespace plottest {

using namespace qv::gdi;

// A window of the drawing layer: the client surface, and its outer rectangle grown by `frame`
// on the left/right/bottom and by `caption` more on top.
struct TestWindow {
    std::shared_ptr<Surface> surface;
    HWND hwnd = 0;
    HDC dc = 0;

    TestWindow(int width, int height, COLORREF fill = 0xFFFFFF, int frame = 0, int caption = 0)
        : surface(std::make_shared<Surface>(width, height, fill)) {
        WindowDesc d;
        d.outer = RECT{0, 0, width + 2 * frame, height + 2 * frame + caption};
        d.client = RECT{frame, frame + caption, frame + width, frame + caption + height};
        d.surface = surface;
        d.defaults = pictureBoxDefaults(0x000000, fill, LOGFONTA{});
        hwnd = registerWindow(d);
        dc = createControlDC(hwnd);
    }
    ~TestWindow() {
        DeleteDC(dc);
        unregisterWindow(hwnd);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    COLORREF at(int x, int y) const { return surface->colorAt(x, y); }
    bool same(const Surface& other) const {
        for (int y = 0; y < surface->height(); ++y)
            for (int x = 0; x < surface->width(); ++x)
                if (surface->pixel(x, y) != other.pixel(x, y)) return false;
        return true;
    }
    int count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < surface->height(); ++y)
            for (int x = 0; x < surface->width(); ++x) n += at(x, y) == c;
        return n;
    }
};

// A private copy of libTrelm.so from the program folder: its tables start empty.
class LoadedTrelm {
public:
    LoadedTrelm() : lib_(dlopen((std::string(QV_BIN_DIR) + "/libTrelm.so").c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedTrelm() { close(); }
    LoadedTrelm(const LoadedTrelm&) = delete;
    LoadedTrelm& operator=(const LoadedTrelm&) = delete;
    bool ok() const { return lib_ != nullptr; }
    int close() {
        int rc = lib_ ? dlclose(lib_) : 0;
        lib_ = nullptr;
        return rc;
    }
    template <class F>
    F* get(const char* name) const { return reinterpret_cast<F*>(lib_ ? dlsym(lib_, name) : nullptr); }

private:
    void* lib_;
};

}  // namespace plottest
