// SAVEIMAGE: the picture of a window as a BMP file of the screen's colour depth.
#include "library/trelm.h"

#include "library/ExportGuard.h"

#include "platform/gdi/Bmp.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Encoding.h"
#include "platform/kernel/Paths.h"

#include <algorithm>

using namespace qv::gdi;

namespace {

// The device contexts and the picture go back to the drawing layer however the call ends.
template <class Release>
struct AtScopeEnd {
    Release release;
    ~AtScopeEnd() { release(); }
};
template <class Release>
AtScopeEnd(Release) -> AtScopeEnd<Release>;  // older compilers deduce no aggregate's arguments

}  // namespace

extern "C" {

void SAVEIMAGE(int32_t window, const char* path, int32_t /*ignored*/) {
    trelm::guardedExport([&] {
        if (!path) return;
        RECT client{}, outer{};
        if (!GetClientRect(window, &client) || !GetWindowRect(window, &outer)) return;
        // The client width, and the outer height less 5 rows, ending at the bottom of the client
        // area: the rows above it come from over the frame (black where there is no picture).
        const int32_t width = client.right;
        const int64_t outerHeight = int64_t{outer.bottom} - outer.top;
        const int64_t height = outerHeight - 5;
        if (width <= 0 || height <= 0 || height > INT32_MAX) return;  // minimised or hidden
        const HDC source = GetDC(window);
        const AtScopeEnd releaseSource{[&] { ReleaseDC(window, source); }};
        const int bits = GetDeviceCaps(source, BITSPIXEL);
        BITMAPINFO bmi{};
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = static_cast<int32_t>(height);
        bmi.bmiHeader.biBitCount = static_cast<uint16_t>(bits);
        if (bits >= 1 && bits <= 8) {
            const auto& palette = systemPalette();
            for (size_t i = 0; i < (size_t{1} << bits); ++i)
                bmi.bmiColors[i] = RGBQUAD{palette[i].peBlue, palette[i].peGreen, palette[i].peRed, 0};
        }
        void* pixels = nullptr;
        const HBITMAP dib = CreateDIBSection(source, &bmi, DIB_RGB_COLORS, &pixels);
        const HDC memory = CreateCompatibleDC(source);
        const AtScopeEnd freeBoth{[&] {
            if (memory) DeleteDC(memory);
            if (dib) DeleteObject(dib);
        }};
        if (dib && memory) {
            const HGDIOBJ old = SelectObject(memory, dib);
            BitBlt(memory, 0, 0, width, static_cast<int>(height), source, 0,
                   static_cast<int>(client.bottom - outerHeight + 5), SRCCOPY);
            SelectObject(memory, old);
            // Written whole or not at all; a file that cannot be created is simply not written.
            writeBmpFile(qv::kernel::toLinuxPath(qv::kernel::cp932ToUtf8(path)), dib);
        }
    });
}

}  // extern "C"
