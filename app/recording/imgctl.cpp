#include "app/recording/imgctl.h"

#include <map>
#include <memory>

#include "platform/gdi/Bmp.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Paths.h"
#include "platform/media/ImageFiles.h"

namespace qv {

namespace {

constexpr int64_t kMaxDibPixels = int64_t(1) << 28;

struct State {
    std::map<int32_t, std::unique_ptr<gdi::Surface>> dibs;
    int32_t next = 1;
    int32_t error = imgctlOK;
};

State& state() {
    static State s;
    return s;
}

int32_t fail(ImgctlErrorCode code) {
    state().error = code;
    return 0;
}

// The DIB and target path of a writer call, or null with the error code set.
template <class Write>
int32_t writeDib(const std::string& fileName, int32_t dib, Write write) {
    auto it = state().dibs.find(dib);
    if (it == state().dibs.end()) return fail(imgctlBadHandle);
    if (fileName.empty()) return fail(imgctlNoFileName);
    if (!write(kernel::toLinuxPath(fileName), *it->second)) return fail(imgctlWriteFailed);
    state().error = imgctlOK;
    return 1;
}

}  // namespace

int32_t DCtoDIB(int32_t hdc, int32_t x, int32_t y, int32_t width, int32_t height) {
    std::shared_ptr<gdi::Surface> src = gdi::dcSurface(hdc);
    if (!src || width <= 0 || height <= 0 || int64_t(width) * height > kMaxDibPixels)
        return fail(imgctlBadSource);
    auto dib = std::make_unique<gdi::Surface>(width, height, 0x000000);
    for (int yy = 0; yy < height; ++yy) {
        int64_t sy = int64_t(y) + yy;
        if (sy < 0 || sy >= src->height()) continue;
        const uint32_t* in = src->row(int(sy));
        uint32_t* out = dib->row(yy);
        for (int xx = 0; xx < width; ++xx) {
            int64_t sx = int64_t(x) + xx;
            if (sx >= 0 && sx < src->width()) out[xx] = in[sx] & 0xFFFFFF;  // 24 bits
        }
    }
    State& s = state();
    int32_t h = s.next++;
    s.dibs[h] = std::move(dib);
    return h;
}

int32_t DIBtoBMP(const std::string& fileName, int32_t dib) {
    return writeDib(fileName, dib, [](const std::string& path, const gdi::Surface& im) {
        return gdi::writeFileReplacing(path, gdi::encodeBmp24(im));
    });
}

int32_t DIBtoJPG(const std::string& fileName, int32_t dib, int32_t quality, int32_t /*flags*/) {
    return writeDib(fileName, dib, [quality](const std::string& path, const gdi::Surface& im) {
        return media::writeJpegFile(path, im, quality);
    });
}

int32_t DIBtoPNG(const std::string& fileName, int32_t dib, int32_t /*flags*/) {
    return writeDib(fileName, dib, [](const std::string& path, const gdi::Surface& im) {
        return media::writePngFile(path, im);
    });
}

int32_t ImgctlError() { return state().error; }

int32_t DeleteDIB(int32_t dib) {
    if (state().dibs.erase(dib) == 0) return fail(imgctlBadHandle);
    return 1;
}

}  // namespace qv
