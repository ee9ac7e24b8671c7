// Bitmaps and DIB sections, bit-block and DIB transfers, BMP files.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/gdi/Bmp.h"
#include "platform/gdi/Emf.h"
#include "platform/gdi/GdiInternal.h"

namespace qv::gdi {

using namespace detail;

namespace {

// Largest DIB we accept: 2^28 pixels (1 GiB at 32 bits), far above any screen.
constexpr int64_t kMaxPixels = int64_t(1) << 28;

bool validDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

uint32_t quadPixel(const RGBQUAD& q) {
    return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

// One colour channel of a bit-field format. A mask's bits need not be contiguous: the channel's
// value is its mask's bits taken in order, low to high, whatever lies between them.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;
    bool contiguous = true;
};
Channel channel(uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask) {
        c.shift = std::countr_zero(mask);
        c.width = std::popcount(mask);
        uint32_t run = mask >> c.shift;
        c.contiguous = (run & (run + 1)) == 0;
    }
    return c;
}
uint32_t channelMax(const Channel& c) { return c.width >= 32 ? 0xFFFFFFFFu : (1u << c.width) - 1; }
// The channel's bits of pixel v packed into one number of c.width bits.
uint32_t gather(uint32_t v, const Channel& c) {
    if (c.contiguous) return (v & c.mask) >> c.shift;
    uint32_t out = 0;
    int at = 0;
    for (uint32_t m = c.mask; m; m &= m - 1, ++at)
        if (v & m & -m) out |= 1u << at;
    return out;
}
// The reverse of gather: a packed value spread over the mask's bits.
uint32_t scatter(uint32_t value, const Channel& c) {
    if (c.contiguous) return (value << c.shift) & c.mask;
    uint32_t out = 0;
    int at = 0;
    for (uint32_t m = c.mask; m; m &= m - 1, ++at)
        if (value & (1u << at)) out |= m & -m;
    return out;
}
// The channel of pixel v scaled to 0..255, so it always fits its own byte.
uint32_t expand(uint32_t v, const Channel& c) {
    if (c.width == 0) return 0;
    uint32_t bits = gather(v, c);
    if (c.width == 8) return bits;
    uint32_t max = channelMax(c);
    return uint32_t((uint64_t(bits) * 255 + max / 2) / max);
}
uint32_t reduce(uint32_t c8, const Channel& c) {
    if (c.width == 0) return 0;
    if (c.width == 8) return scatter(c8, c);
    return scatter(uint32_t((uint64_t(c8) * channelMax(c) + 127) / 255), c);
}

// How the pixels of one DIB format are read and written.
struct Format {
    int bits = 32;
    std::vector<uint32_t> table;  // 0x00RRGGBB per index
    Channel r, g, b;

    void defaultMasks() {
        if (bits == 16) {
            r = channel(0x7C00);
            g = channel(0x03E0);
            b = channel(0x001F);
        } else {
            r = channel(0xFF0000);
            g = channel(0xFF00);
            b = channel(0xFF);
        }
    }

    void decodeRow(const uint8_t* row, int width, uint32_t* out) const {
        switch (bits) {
            case 1:
            case 4:
            case 8: {
                int per = 8 / bits;
                uint32_t m = (1u << bits) - 1;
                for (int x = 0; x < width; ++x) {
                    uint32_t v = (row[x / per] >> ((per - 1 - x % per) * bits)) & m;
                    out[x] = v < table.size() ? table[v] : 0;
                }
                break;
            }
            case 16:
            case 32:
                for (int x = 0; x < width; ++x) {
                    uint32_t v = bits == 16 ? uint32_t(row[2 * x] | (row[2 * x + 1] << 8))
                                            : uint32_t(row[4 * x] | (row[4 * x + 1] << 8) |
                                                       (row[4 * x + 2] << 16) |
                                                       (uint32_t(row[4 * x + 3]) << 24));
                    out[x] = (expand(v, r) << 16) | (expand(v, g) << 8) | expand(v, b);
                }
                break;
            case 24:
                for (int x = 0; x < width; ++x)
                    out[x] = uint32_t(row[3 * x]) | (uint32_t(row[3 * x + 1]) << 8) |
                             (uint32_t(row[3 * x + 2]) << 16);
                break;
            default: break;
        }
    }
};

// Nearest colour-table index, cached per 5-5-5 cell after an exact-match test.
struct Quantiser {
    const std::vector<uint32_t>* table;
    std::vector<int16_t> cache = std::vector<int16_t>(32768, -1);
    uint8_t index(uint32_t px) {
        for (size_t i = 0; i < table->size(); ++i)
            if ((*table)[i] == px) return uint8_t(i);
        size_t key = ((px >> 9) & 0x7C00) | ((px >> 6) & 0x3E0) | ((px >> 3) & 0x1F);
        if (cache[key] < 0) {
            int best = 0;
            int64_t bestD = INT64_MAX;
            for (size_t i = 0; i < table->size(); ++i) {
                uint32_t t = (*table)[i];
                int64_t dr = int64_t((t >> 16) & 0xFF) - int64_t((px >> 16) & 0xFF);
                int64_t dg = int64_t((t >> 8) & 0xFF) - int64_t((px >> 8) & 0xFF);
                int64_t db = int64_t(t & 0xFF) - int64_t(px & 0xFF);
                int64_t d = dr * dr + dg * dg + db * db;
                if (d < bestD) {
                    bestD = d;
                    best = int(i);
                }
            }
            cache[key] = int16_t(best);
        }
        return uint8_t(cache[key]);
    }
};

Format formatOf(const BITMAPINFOHEADER& h, const RGBQUAD* colours, uint32_t usage,
                const uint32_t* masks) {
    Format f;
    f.bits = h.biBitCount;
    f.defaultMasks();
    if (f.bits <= 8) {
        uint32_t n = 1u << f.bits;
        if (h.biClrUsed != 0 && h.biClrUsed < n) n = h.biClrUsed;
        for (uint32_t i = 0; i < n; ++i) {
            if (usage == DIB_PAL_COLORS) {
                uint16_t idx;
                std::memcpy(&idx, reinterpret_cast<const uint8_t*>(colours) + 2 * i, 2);
                const PALETTEENTRY& e = systemPalette()[idx & 0xFF];
                f.table.push_back((uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) |
                                  e.peBlue);
            } else {
                f.table.push_back(quadPixel(colours[i]));
            }
        }
    } else if (h.biCompression == BI_BITFIELDS && masks) {
        f.r = channel(masks[0]);
        f.g = channel(masks[1]);
        f.b = channel(masks[2]);
    }
    return f;
}

bool validHeader(const BITMAPINFOHEADER& h) {
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return false;
    if (!validDepth(h.biBitCount)) return false;
    if (h.biCompression == BI_BITFIELDS) {
        if (h.biBitCount != 16 && h.biBitCount != 32) return false;
    } else if (h.biCompression != BI_RGB) {
        return false;
    }
    int64_t hh = h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight;
    return int64_t(h.biWidth) * hh <= kMaxPixels;
}

Format dibFormat(const DibInfo& d) {
    Format f;
    f.bits = d.hdr.biBitCount;
    f.defaultMasks();
    for (const RGBQUAD& q : d.colours) f.table.push_back(quadPixel(q));
    if (d.hdr.biCompression == BI_BITFIELDS) {
        f.r = channel(d.masks[0]);
        f.g = channel(d.masks[1]);
        f.b = channel(d.masks[2]);
    }
    return f;
}

// A 32-bit section is drawn on in place, except a picture's bitmap: its bits keep the file's
// fourth byte, which must not reach a surface, so its surface is a working copy like the others.
bool isView(const GdiObject& bmp) {
    return bmp.dib && !bmp.deviceRows && bmp.dib->hdr.biBitCount == 32 &&
           bmp.dib->hdr.biCompression == BI_RGB;
}

// Ternary raster operation: bit i of the code's middle byte is the result for pattern, source
// and destination bits (i = P*4 + S*2 + D).
uint32_t rop3(uint32_t code, uint32_t p, uint32_t s, uint32_t d) {
    uint32_t op = (code >> 16) & 0xFF, res = 0;
    for (int i = 0; i < 8; ++i) {
        if (!((op >> i) & 1)) continue;
        res |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return res & 0xFFFFFF;
}

// Writes a block of source pixels (w x h, top-down) to the context at (x, y) through rop.
void blockToDc(Dc& dc, int64_t x, int64_t y, int w, int h, const std::vector<uint32_t>& px,
               uint32_t rop, RECT* touched) {
    Surface& s = *dc.surface;
    uint32_t pat = dc.brush && dc.brush->brushStyle != BS_NULL ? colorToPixel(dc.brush->color)
                                                               : 0;
    int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    int64_t x1 = std::min<int64_t>(x + w, s.width()), y1 = std::min<int64_t>(y + h, s.height());
    if (x0 >= x1 || y0 >= y1) return;
    for (int64_t yy = y0; yy < y1; ++yy) {
        uint32_t* row = s.row(int(yy));
        const uint32_t* src = px.data() + size_t(yy - y) * size_t(w) + size_t(x0 - x);
        if (rop == SRCCOPY) {
            std::copy(src, src + (x1 - x0), row + x0);
        } else {
            for (int64_t xx = x0; xx < x1; ++xx)
                row[xx] = rop3(rop, pat, src[xx - x0], row[xx]);
        }
    }
    unionRect(touched, RECT{int32_t(x0), int32_t(y0), int32_t(x1), int32_t(y1)});
}

bool usesSource(uint32_t rop) {
    uint32_t op = (rop >> 16) & 0xFF;
    return ((op >> 2) & 0x33) != (op & 0x33);
}

void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}
uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
           (uint32_t(p[3]) << 24);
}

}  // namespace

namespace detail {

void loadDibSurface(GdiObject& bmp) {
    if (!bmp.dib || isView(bmp)) return;
    DibInfo& d = *bmp.dib;
    Format f = dibFormat(d);
    int h = d.height();
    for (int y = 0; y < h; ++y) {
        int srcRow = d.bottomUp() ? h - 1 - y : y;
        f.decodeRow(d.bits() + srcRow * d.stride(), d.hdr.biWidth, bmp.surface->row(y));
    }
}

void storeDibSurface(GdiObject& bmp) {
    if (!bmp.dib || isView(bmp)) return;
    DibInfo& d = *bmp.dib;
    Format f = dibFormat(d);
    int h = d.height(), w = d.hdr.biWidth;
    Quantiser q{&f.table};
    for (int y = 0; y < h; ++y) {
        int dstRow = d.bottomUp() ? h - 1 - y : y;
        uint8_t* row = d.bits() + dstRow * d.stride();
        const uint32_t* in = bmp.surface->row(y);
        switch (f.bits) {
            case 1:
            case 4:
            case 8: {
                int per = 8 / f.bits;
                std::fill_n(row, d.stride(), 0);
                for (int x = 0; x < w; ++x)
                    row[x / per] |= uint8_t(q.index(in[x]) << ((per - 1 - x % per) * f.bits));
                break;
            }
            case 16:
            case 32: {
                // 32-bit pixels keep the bits no mask names (a picture's fourth byte).
                const uint32_t unused = ~(f.r.mask | f.g.mask | f.b.mask);
                for (int x = 0; x < w; ++x) {
                    uint32_t p = in[x];
                    uint32_t v = reduce((p >> 16) & 0xFF, f.r) | reduce((p >> 8) & 0xFF, f.g) |
                                 reduce(p & 0xFF, f.b);
                    if (f.bits == 16) {
                        row[2 * x] = uint8_t(v);
                        row[2 * x + 1] = uint8_t(v >> 8);
                    } else {
                        uint32_t old;
                        std::memcpy(&old, row + 4 * x, 4);
                        v |= old & unused;
                        std::memcpy(row + 4 * x, &v, 4);
                    }
                }
                break;
            }
            case 24:
                for (int x = 0; x < w; ++x) {
                    row[3 * x] = uint8_t(in[x]);
                    row[3 * x + 1] = uint8_t(in[x] >> 8);
                    row[3 * x + 2] = uint8_t(in[x] >> 16);
                }
                break;
            default: break;
        }
    }
}

}  // namespace detail

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    if (!findDc(hdc) || width <= 0 || height <= 0 || int64_t(width) * height > kMaxPixels)
        return 0;
    auto o = std::make_shared<GdiObject>();
    o->type = OBJ_BITMAP;
    o->surface = std::make_shared<Surface>(width, height, 0x000000);
    return addObject(std::move(o));
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, uint32_t usage, void** bits) {
    if (bits) *bits = nullptr;
    if (hdc != 0 && !findDc(hdc)) return 0;
    if (!bmi || !validHeader(bmi->bmiHeader)) return 0;
    auto d = std::make_unique<DibInfo>();
    d->hdr = bmi->bmiHeader;
    d->hdr.biSize = 40;
    int h = d->height();
    d->hdr.biSizeImage = uint32_t(d->stride() * h);
    d->storage.assign(size_t((d->stride() * h + 3) / 4), 0);
    uint32_t masks[3];
    std::memcpy(masks, bmi->bmiColors, sizeof masks);
    Format f = formatOf(bmi->bmiHeader, bmi->bmiColors, usage, masks);
    for (uint32_t px : f.table) {
        RGBQUAD q;
        q.rgbRed = uint8_t(px >> 16);
        q.rgbGreen = uint8_t(px >> 8);
        q.rgbBlue = uint8_t(px);
        d->colours.push_back(q);
    }
    if (d->hdr.biBitCount <= 8) d->colours.resize(size_t(1) << d->hdr.biBitCount);
    d->hdr.biClrUsed = 0;
    d->masks[0] = f.r.mask;
    d->masks[1] = f.g.mask;
    d->masks[2] = f.b.mask;
    auto o = std::make_shared<GdiObject>();
    o->type = OBJ_BITMAP;
    int w = d->hdr.biWidth;
    if (d->hdr.biBitCount == 32 && d->hdr.biCompression == BI_RGB) {
        ptrdiff_t stride = w;
        uint32_t* first = d->storage.data();
        if (d->bottomUp()) {
            first += ptrdiff_t(h - 1) * w;
            stride = -stride;
        }
        o->surface = std::make_shared<Surface>(w, h, first, stride);
    } else {
        o->surface = std::make_shared<Surface>(w, h, 0x000000);
    }
    o->dib = std::move(d);
    if (bits) *bits = o->dib->bits();
    loadDibSurface(*o);
    return addObject(std::move(o));
}

std::shared_ptr<Surface> bitmapSurface(HBITMAP bmp) {
    ObjPtr o = findObject(bmp);
    if (!o || o->type != OBJ_BITMAP) return nullptr;
    loadDibSurface(*o);
    return o->surface;
}

bool BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
            uint32_t rop) {
    Dc* d = findDc(dst);
    if (!d || !d->surface) return false;
    bool needSrc = usesSource(rop);
    Dc* s = needSrc ? findDc(src) : nullptr;
    if (needSrc && (!s || !s->surface)) return false;
    if (width <= 0 || height <= 0) return true;
    if (int64_t(width) * height > kMaxPixels) return false;
    // The source block first (the same surface may be both ends); outside it reads black.
    std::vector<uint32_t> block(size_t(width) * size_t(height), 0);
    if (needSrc) {
        if (s->bitmap) loadDibSurface(*s->bitmap);
        const Surface& ss = *s->surface;
        int64_t sx = int64_t(xSrc) + s->orgX, sy = int64_t(ySrc) + s->orgY;
        for (int yy = 0; yy < height; ++yy) {
            int64_t row = sy + yy;
            if (row < 0 || row >= ss.height()) continue;
            int64_t a = std::max<int64_t>(sx, 0), z = std::min<int64_t>(sx + width, ss.width());
            if (a < z)
                std::copy(ss.row(int(row)) + a, ss.row(int(row)) + z,
                          block.data() + size_t(yy) * size_t(width) + size_t(a - sx));
        }
    }
    DrawScope scope(*d);
    RECT touched{};
    blockToDc(*d, int64_t(x) + d->orgX, int64_t(y) + d->orgY, width, height, block, rop,
              &touched);
    d->surface->markChanged(touched);
    if (d->emf) {
        d->emf->stretchPixels(RECT{x, y, x + width, y + height}, width, height, block, rop);
        d->emf->addBounds(touched);
    }
    return true;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                  int ySrc, int srcWidth, int srcHeight, const void* bits,
                  const BITMAPINFO* bmi, uint32_t usage, uint32_t rop, size_t bitsSize) {
    Dc* d = findDc(hdc);
    if (!d || !d->surface || !bits || !bmi || !validHeader(bmi->bmiHeader)) return 0;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    int64_t stride = dibStride(h.biWidth, h.biBitCount);
    int H = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (size_t(stride) * size_t(H) > bitsSize) return 0;
    if (srcWidth <= 0 || srcHeight <= 0 || destWidth == 0 || destHeight == 0) return 0;
    int dw = destWidth < 0 ? -destWidth : destWidth, dh = destHeight < 0 ? -destHeight : destHeight;
    if (int64_t(dw) * dh > kMaxPixels) return 0;
    uint32_t masks[3];
    std::memcpy(masks, bmi->bmiColors, sizeof masks);
    Format f = formatOf(h, bmi->bmiColors, usage, masks);
    // Source rectangle in top-down rows: a bottom-up DIB counts ySrc from its bottom row.
    int64_t top = h.biHeight > 0 ? int64_t(H) - ySrc - srcHeight : ySrc;
    const auto* base = static_cast<const uint8_t*>(bits);
    std::vector<uint32_t> rowPx(size_t(h.biWidth));
    int64_t decoded = -1;
    std::vector<uint32_t> block(size_t(dw) * size_t(dh), 0);
    for (int i = 0; i < dh; ++i) {
        int di = destHeight < 0 ? dh - 1 - i : i;
        // The source pixel under the destination pixel's centre; a centre exactly on the
        // border of two source pixels takes the lower one.
        int64_t sy = top + (int64_t(2 * i + 1) * srcHeight - 1) / (2 * int64_t(dh));
        if (sy < 0 || sy >= H) continue;
        if (sy != decoded) {
            int64_t fileRow = h.biHeight > 0 ? H - 1 - sy : sy;
            f.decodeRow(base + fileRow * stride, h.biWidth, rowPx.data());
            decoded = sy;
        }
        uint32_t* out = block.data() + size_t(di) * size_t(dw);
        for (int j = 0; j < dw; ++j) {
            int dj = destWidth < 0 ? dw - 1 - j : j;
            int64_t sx = xSrc + (int64_t(2 * j + 1) * srcWidth - 1) / (2 * int64_t(dw));
            out[dj] = (sx >= 0 && sx < h.biWidth) ? rowPx[size_t(sx)] : 0;
        }
    }
    int64_t x0 = destWidth < 0 ? int64_t(xDest) + destWidth + 1 : xDest;
    int64_t y0 = destHeight < 0 ? int64_t(yDest) + destHeight + 1 : yDest;
    DrawScope scope(*d);
    RECT touched{};
    blockToDc(*d, x0 + d->orgX, y0 + d->orgY, dw, dh, block, rop, &touched);
    d->surface->markChanged(touched);
    if (d->emf) {
        d->emf->stretchPixels(RECT{int32_t(x0), int32_t(y0), int32_t(x0 + dw), int32_t(y0 + dh)},
                              dw, dh, block, rop);
        d->emf->addBounds(touched);
    }
    return srcHeight;
}

// ---- BMP files -----------------------------------------------------------------------------

std::vector<uint8_t> encodeBmp(const BITMAPINFOHEADER& hdr, const RGBQUAD* colours,
                               const void* bits) {
    std::vector<uint8_t> out;
    if (!validHeader(hdr) || !bits) return out;
    int H = hdr.biHeight < 0 ? -hdr.biHeight : hdr.biHeight;
    uint32_t image = uint32_t(dibStride(hdr.biWidth, hdr.biBitCount) * H);
    uint32_t table = hdr.biBitCount <= 8 ? 4u << hdr.biBitCount : 0;
    uint32_t masks = hdr.biCompression == BI_BITFIELDS ? 12 : 0;
    uint32_t offset = 14 + 40 + masks + table;
    out.reserve(offset + image);
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + image);
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, uint32_t(hdr.biWidth));
    put32(out, uint32_t(hdr.biHeight));
    put16(out, 1);
    put16(out, hdr.biBitCount);
    put32(out, hdr.biCompression);
    put32(out, image);
    for (int i = 0; i < 4; ++i) put32(out, 0);
    if (masks && colours)
        for (int i = 0; i < 3; ++i) put32(out, get32(&colours[i].rgbBlue));
    else if (masks)
        for (int i = 0; i < 3; ++i) put32(out, 0);
    for (uint32_t i = 0; i < table / 4; ++i) {
        RGBQUAD q = colours ? colours[i] : RGBQUAD{};
        out.insert(out.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, 0});
    }
    const auto* p = static_cast<const uint8_t*>(bits);
    out.insert(out.end(), p, p + image);
    return out;
}

bool writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
    static std::atomic<unsigned> counter{0};
    std::string tmp = path + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    bool ok = done == bytes.size();
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

bool writeBmpFile(const std::string& path, HBITMAP dib) {
    ObjPtr o = findObject(dib);
    if (!o || !o->dib) return false;
    loadDibSurface(*o);
    DibInfo& d = *o->dib;
    std::vector<RGBQUAD> colours = d.colours;
    if (d.hdr.biCompression == BI_BITFIELDS) {
        colours.resize(3);
        for (size_t i = 0; i < 3; ++i) {
            uint32_t m = d.masks[i];
            colours[i] = RGBQUAD{uint8_t(m), uint8_t(m >> 8), uint8_t(m >> 16), uint8_t(m >> 24)};
        }
    }
    std::vector<uint8_t> bytes = encodeBmp(d.hdr, colours.empty() ? nullptr : colours.data(),
                                           d.bits());
    return !bytes.empty() && writeFileReplacing(path, bytes);
}

BmpReadResult readBmp(std::span<const uint8_t> b) {
    BmpReadResult r;
    auto fail = [&](std::string why) {
        r.ok = false;
        r.error = std::move(why);
        r.image = {};
        return r;
    };
    if (b.size() < 14 + 40) return fail("file too short for the BMP headers");
    if (b[0] != 'B' || b[1] != 'M') return fail("no \"BM\" signature");
    uint32_t offBits = get32(&b[10]);
    uint32_t hsize = get32(&b[14]);
    if (hsize != 40 && hsize != 52 && hsize != 56 && hsize != 108 && hsize != 124)
        return fail("unsupported info header size " + std::to_string(hsize));
    if (uint64_t(14) + hsize > b.size()) return fail("info header runs past the end of the file");
    BITMAPINFOHEADER h;
    h.biWidth = int32_t(get32(&b[18]));
    h.biHeight = int32_t(get32(&b[22]));
    h.biPlanes = get16(&b[26]);
    h.biBitCount = get16(&b[28]);
    h.biCompression = get32(&b[30]);
    h.biClrUsed = get32(&b[46]);
    if (h.biPlanes != 1) return fail("planes must be 1");
    if (!validDepth(h.biBitCount)) return fail("unsupported bit count " + std::to_string(h.biBitCount));
    if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)
        return fail("compressed BMP files are not supported");
    if (!validHeader(h)) return fail("invalid width, height or compression");
    uint64_t pos = 14 + uint64_t(hsize);
    uint32_t masks[3] = {0, 0, 0};
    if (h.biCompression == BI_BITFIELDS) {
        uint64_t at = hsize >= 52 ? 14 + 40 : pos;
        if (at + 12 > b.size()) return fail("bit-field masks run past the end of the file");
        for (int i = 0; i < 3; ++i) masks[i] = get32(&b[size_t(at) + 4 * size_t(i)]);
        if (hsize < 52) pos += 12;
        if (!masks[0] || !masks[1] || !masks[2]) return fail("empty bit-field mask");
    }
    std::vector<RGBQUAD> table;
    if (h.biBitCount <= 8) {
        uint32_t n = h.biClrUsed ? h.biClrUsed : (1u << h.biBitCount);
        if (n > (1u << h.biBitCount)) return fail("colour table larger than the bit count allows");
        if (pos + 4ull * n > b.size() || pos + 4ull * n > offBits)
            return fail("colour table overlaps the pixel data or the end of the file");
        table.resize(n);
        std::memcpy(table.data(), &b[size_t(pos)], 4 * size_t(n));
    }
    int H = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    uint64_t stride = uint64_t(dibStride(h.biWidth, h.biBitCount));
    if (offBits < pos) return fail("pixel data offset inside the headers");
    if (uint64_t(offBits) + stride * uint64_t(H) > b.size())
        return fail("pixel data truncated: " + std::to_string(b.size()) + " bytes, " +
                    std::to_string(uint64_t(offBits) + stride * uint64_t(H)) + " needed");
    Format f = formatOf(h, table.data(), DIB_RGB_COLORS, masks);
    r.image.width = h.biWidth;
    r.image.height = H;
    r.image.bitCount = h.biBitCount;
    r.image.header = h;
    r.image.header.biSize = 40;
    r.image.header.biSizeImage = uint32_t(stride * uint64_t(H));
    r.image.header.biXPelsPerMeter = int32_t(get32(&b[38]));
    r.image.header.biYPelsPerMeter = int32_t(get32(&b[42]));
    r.image.header.biClrImportant = get32(&b[50]);
    r.image.colours = table;
    std::memcpy(r.image.masks, masks, sizeof masks);
    r.image.bits.assign(b.begin() + ptrdiff_t(offBits), b.begin() + ptrdiff_t(offBits + stride * uint64_t(H)));
    r.image.pixels.resize(size_t(h.biWidth) * size_t(H));
    for (int y = 0; y < H; ++y) {
        int fileRow = h.biHeight > 0 ? H - 1 - y : y;
        f.decodeRow(&b[size_t(offBits + uint64_t(fileRow) * stride)], h.biWidth,
                    r.image.pixels.data() + size_t(y) * size_t(h.biWidth));
    }
    r.ok = true;
    return r;
}

BmpReadResult readBmpFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        BmpReadResult r;
        r.error = "cannot open " + path;
        return r;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    return readBmp(bytes);
}

}  // namespace qv::gdi
