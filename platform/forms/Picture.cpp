#include "platform/forms/Picture.h"

#include <algorithm>
#include <cstring>

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Types.h"
#include "platform/gdi/Bmp.h"
#include "platform/kernel/Paths.h"

namespace qv::forms {

using basic::raiseError;

double Picture::Width() const {
    return convertScale(widthPixels(), vbPixels, vbHimetric, screenPixelsPerInchX());
}

double Picture::Height() const {
    return convertScale(heightPixels(), vbPixels, vbHimetric, screenPixelsPerInchY());
}

Picture LoadPicture(const std::string& path) {
    std::string file = kernel::toLinuxPath(path);
    if (!kernel::isRegularFile(file)) raiseError(basic::errFileNotFound);
    gdi::BmpReadResult r = gdi::readBmpFile(file);
    if (!r.ok) raiseError(481, "Invalid picture");
    auto s = std::make_shared<gdi::Surface>(r.image.width, r.image.height);
    for (int y = 0; y < r.image.height; ++y)
        std::memcpy(s->row(y), r.image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(r.image.width),
                    sizeof(uint32_t) * static_cast<size_t>(r.image.width));
    return Picture(s);
}

void SavePicture(const Picture& picture, const std::string& path) {
    if (picture.empty()) raiseError(basic::errObjectNotSet);
    const gdi::Surface& s = *picture.surface();
    gdi::BITMAPINFOHEADER h{};
    h.biWidth = s.width();
    h.biHeight = s.height();
    h.biBitCount = 24;
    size_t stride = (static_cast<size_t>(s.width()) * 3 + 3) & ~size_t{3};
    h.biSizeImage = static_cast<uint32_t>(stride * static_cast<size_t>(s.height()));
    std::vector<uint8_t> bits(stride * static_cast<size_t>(s.height()), 0);
    for (int y = 0; y < s.height(); ++y) {
        // Bottom-up rows of B, G, R.
        uint8_t* out = bits.data() + static_cast<size_t>(s.height() - 1 - y) * stride;
        const uint32_t* in = s.row(y);
        for (int x = 0; x < s.width(); ++x) {
            out[3 * x] = static_cast<uint8_t>(in[x] & 0xFF);
            out[3 * x + 1] = static_cast<uint8_t>((in[x] >> 8) & 0xFF);
            out[3 * x + 2] = static_cast<uint8_t>((in[x] >> 16) & 0xFF);
        }
    }
    std::vector<uint8_t> file = gdi::encodeBmp(h, nullptr, bits.data());
    if (!gdi::writeFileReplacing(kernel::toLinuxPath(path), file)) raiseError(75);
}

void stretchCopy(const gdi::Surface& src, gdi::Surface& dst, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0 || src.width() <= 0 || src.height() <= 0) return;
    int x0 = std::max(0, x), y0 = std::max(0, y);
    int x1 = static_cast<int>(std::min<int64_t>(dst.width(), int64_t{x} + w));
    int y1 = static_cast<int>(std::min<int64_t>(dst.height(), int64_t{y} + h));
    for (int dy = y0; dy < y1; ++dy) {
        int sy = static_cast<int>((int64_t{dy - y} * src.height()) / h);
        const uint32_t* in = src.row(sy);
        uint32_t* out = dst.row(dy);
        for (int dx = x0; dx < x1; ++dx) out[dx] = in[(int64_t{dx - x} * src.width()) / w];
    }
    if (x1 > x0 && y1 > y0) dst.markChanged(gdi::RECT{x0, y0, x1, y1});
}

}  // namespace qv::forms
