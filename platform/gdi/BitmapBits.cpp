// Bitmap objects read and written as raw rows: the picture of a BMP file with its own depth,
// and the GetBitmapBits / SetBitmapBits pair over word-aligned top-down rows.

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/gdi/Bmp.h"
#include "platform/gdi/GdiInternal.h"

namespace qv::gdi {

using namespace detail;

namespace {

int64_t wordStride(int64_t width, int bits) { return (width * bits + 15) / 16 * 2; }

// The row y (0 = top) of a bitmap object's own storage, and its word-aligned length.
struct RowAccess {
    uint8_t* base = nullptr;
    int64_t storeStride = 0;
    int64_t rowBytes = 0;
    int height = 0;
    bool bottomUp = false;
    uint8_t* row(int y) const { return base + (bottomUp ? height - 1 - y : y) * storeStride; }
};

bool rowAccess(GdiObject& o, RowAccess& a) {
    if (o.type != OBJ_BITMAP || !o.surface) return false;
    if (o.dib) {
        a.base = o.dib->bits();
        a.storeStride = o.dib->stride();
        a.rowBytes = wordStride(o.dib->hdr.biWidth, o.dib->hdr.biBitCount);
        a.height = o.dib->height();
        a.bottomUp = o.dib->bottomUp();
        return true;
    }
    // A plain 32-bit bitmap: its surface rows are the bits.
    a.height = o.surface->height();
    a.rowBytes = int64_t(o.surface->width()) * 4;
    return true;
}

}  // namespace

std::vector<uint8_t> encodeBmp24(const Surface& s) {
    BITMAPINFOHEADER h{};
    h.biWidth = s.width();
    h.biHeight = s.height();
    h.biBitCount = 24;
    size_t stride = size_t(dibStride(s.width(), 24));
    h.biSizeImage = uint32_t(stride * size_t(s.height()));
    std::vector<uint8_t> bits(stride * size_t(s.height()), 0);
    for (int y = 0; y < s.height(); ++y) {
        // Bottom-up rows of B, G, R.
        uint8_t* out = bits.data() + size_t(s.height() - 1 - y) * stride;
        const uint32_t* in = s.row(y);
        for (int x = 0; x < s.width(); ++x) {
            out[3 * x] = uint8_t(in[x]);
            out[3 * x + 1] = uint8_t(in[x] >> 8);
            out[3 * x + 2] = uint8_t(in[x] >> 16);
        }
    }
    return encodeBmp(h, nullptr, bits.data());
}

HBITMAP createPictureBitmap(const BmpImage& image) {
    const BITMAPINFOHEADER& h = image.header;
    int H = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (image.bits.size() != size_t(dibStride(h.biWidth, h.biBitCount)) * size_t(H)) return 0;
    if (image.colours.size() > 256) return 0;
    BITMAPINFO bi;
    bi.bmiHeader = h;
    bi.bmiHeader.biClrUsed = uint32_t(image.colours.size());
    std::copy(image.colours.begin(), image.colours.end(), bi.bmiColors);
    if (h.biCompression == BI_BITFIELDS) std::memcpy(bi.bmiColors, image.masks, sizeof image.masks);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(0, &bi, DIB_RGB_COLORS, &bits);
    ObjPtr o = findObject(bmp);
    if (!o || !bits) return 0;
    std::memcpy(bits, image.bits.data(), image.bits.size());
    o->deviceRows = true;
    if (o->dib->hdr.biBitCount == 32 && h.biCompression == BI_RGB)  // no longer drawn in place
        o->surface = std::make_shared<Surface>(o->surface->width(), o->surface->height(), 0x000000);
    loadDibSurface(*o);
    return bmp;
}

int32_t GetBitmapBits(HBITMAP bmp, int32_t cb, void* out) {
    ObjPtr o = findObject(bmp);
    RowAccess a;
    if (!o || !out || cb <= 0 || !rowAccess(*o, a) || a.rowBytes <= 0) return 0;
    int rows = int(std::min<int64_t>(a.height, cb / a.rowBytes));
    auto* dst = static_cast<uint8_t*>(out);
    for (int y = 0; y < rows; ++y) {
        if (a.base) std::memcpy(dst + y * a.rowBytes, a.row(y), size_t(a.rowBytes));
        else std::memcpy(dst + y * a.rowBytes, o->surface->row(y), size_t(a.rowBytes));
    }
    return int32_t(rows * a.rowBytes);
}

int32_t SetBitmapBits(HBITMAP bmp, uint32_t cb, const void* in) {
    ObjPtr o = findObject(bmp);
    RowAccess a;
    if (!o || !in || !rowAccess(*o, a) || a.rowBytes <= 0) return 0;
    int rows = int(std::min<int64_t>(a.height, int64_t(cb) / a.rowBytes));
    const auto* src = static_cast<const uint8_t*>(in);
    for (int y = 0; y < rows; ++y) {
        if (a.base) std::memcpy(a.row(y), src + y * a.rowBytes, size_t(a.rowBytes));
        else std::memcpy(o->surface->row(y), src + y * a.rowBytes, size_t(a.rowBytes));
    }
    loadDibSurface(*o);
    o->surface->markChanged(RECT{0, 0, o->surface->width(), o->surface->height()});
    return int32_t(rows * a.rowBytes);
}

}  // namespace qv::gdi
