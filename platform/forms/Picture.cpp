#include "platform/forms/Picture.h"

#include <algorithm>
#include <cstring>

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Types.h"
#include "platform/gdi/Bmp.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Paths.h"

namespace qv::forms {

using basic::raiseError;

double Picture::Width() const {
    return convertScale(widthPixels(), vbPixels, vbHimetric, screenPixelsPerInchX());
}

double Picture::Height() const {
    return convertScale(heightPixels(), vbPixels, vbHimetric, screenPixelsPerInchY());
}

Picture Picture::fromBitmap(gdi::HBITMAP bmp) {
    Picture p;
    p.pixels_ = gdi::bitmapSurface(bmp);
    if (!p.pixels_) return Picture();
    p.handle_ = std::shared_ptr<const gdi::HBITMAP>(new gdi::HBITMAP(bmp), [](const gdi::HBITMAP* h) {
        gdi::DeleteObject(*h);
        delete h;
    });
    return p;
}

Picture LoadPicture(const std::string& path) {
    std::string file = kernel::toLinuxPath(path);
    if (!kernel::isRegularFile(file)) raiseError(basic::errFileNotFound);
    gdi::BmpReadResult r = gdi::readBmpFile(file);
    if (!r.ok) raiseError(481, "Invalid picture");
    Picture p = Picture::fromBitmap(gdi::createPictureBitmap(r.image));
    if (p.empty()) raiseError(481, "Invalid picture");
    return p;
}

void SavePicture(const Picture& picture, const std::string& path) {
    if (picture.empty()) raiseError(basic::errObjectNotSet);
    std::vector<uint8_t> file = gdi::encodeBmp24(*picture.surface());
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
