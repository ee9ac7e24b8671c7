// The library's frame export: any bytes as an AVI file, frames 0, 2, 0 again and -1 drawn over
// a small window. A refusal draws nothing; the same frame draws the same picture whatever was
// drawn before it; a drawn window holds 0x00RRGGBB pixels only.
#include <cstdlib>
#include <memory>
#include <vector>

#include "FuzzFile.h"
#include "FuzzTarget.h"
#include "library/trelm.h"
#include "platform/gdi/Gdi.h"
#include "platform/media/MediaTestFiles.h"

namespace {

constexpr qv::gdi::COLORREF kBackground = 0x5A3C1E;
constexpr int kW = 7, kH = 5;

struct Window {
    std::shared_ptr<qv::gdi::Surface> surface = std::make_shared<qv::gdi::Surface>(kW, kH, kBackground);
    qv::gdi::HWND hwnd = 0;
    Window() {
        qv::gdi::WindowDesc d;
        d.outer = d.client = qv::gdi::RECT{0, 0, kW, kH};
        d.surface = surface;
        d.defaults = qv::gdi::pictureBoxDefaults(0x000000, kBackground, qv::gdi::LOGFONTA{});
        hwnd = qv::gdi::registerWindow(d);
    }
    std::vector<uint32_t> pixels() const {
        std::vector<uint32_t> p;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) p.push_back(surface->pixel(x, y));
        return p;
    }
};

Window& window() {
    static Window w;
    return w;
}

// Draws frame k on a freshly filled window; the pixels it leaves.
std::vector<uint32_t> draw(const std::string& path, int32_t k, int32_t& status) {
    Window& w = window();
    w.surface->fill(kBackground);
    status = CAM_DISPBITMAP(w.hwnd, path.c_str(), k);
    return w.pixels();
}

}  // namespace

QV_FUZZ_TARGET(CAM_DISPBITMAP) {
    const std::string path = qv::fuzz::writeInput("in.avi", data, size);
    const std::vector<uint32_t> untouched(size_t{kW} * kH, qv::gdi::colorToPixel(kBackground));
    std::vector<uint32_t> first;
    int32_t firstStatus = 0;
    for (int32_t k : {0, 2, 0, -1}) {
        int32_t status = 0;
        const std::vector<uint32_t> shown = draw(path, k, status);
        if (status < -2 || (status > 0 && static_cast<size_t>(status) > size / 8)) std::abort();
        if (status != 0 && shown != untouched) std::abort();
        for (uint32_t p : shown)
            if (p >> 24) std::abort();
        if (k == -1 && status == 0 && shown != untouched) std::abort();
        if (k != 0) continue;
        if (first.empty()) {
            first = shown;
            firstStatus = status;
        } else if (status != firstStatus || shown != first) {
            std::abort();
        }
    }
    return 0;
}

QV_FUZZ_SEEDS(CAM_DISPBITMAP) {
    using namespace mediatest;
    std::vector<qv::fuzz::Bytes> seeds;
    for (IndexKind kind : {IndexKind::Idx1Relative, IndexKind::OpenDml, IndexKind::None}) {
        TestStream video;
        video.format = bitmapFormat(4, 3, 24);
        for (int i = 0; i < 3; ++i) video.chunks.push_back(rawFrame(4, 3, 24, i));
        AviLayout layout;
        layout.index = kind;
        seeds.push_back(buildAvi({video}, layout));
    }
    TestStream paletted;
    paletted.twoCC = "dc";
    paletted.format = bitmapFormat(4, 2, 8, nullptr, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF});
    paletted.chunks.assign(3, std::vector<uint8_t>(8, 2));
    TestStream audio;
    audio.type = "auds";
    audio.twoCC = "wb";
    audio.format = pcmFormat(1, 8000, 16);
    audio.chunks.assign(2, std::vector<uint8_t>(16, 1));
    seeds.push_back(buildAvi({audio, paletted}, AviLayout{}));
    seeds.push_back(buildAvi({audio}, AviLayout{}));
    return seeds;
}
