// Enhanced-metafile recording: a device context that writes each call as an EMF record and also
// renders it, so the same drawing code serves the screen and a metafile file (with a picture of
// it for the clipboard).

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "platform/gdi/Bmp.h"
#include "platform/gdi/Emf.h"
#include "platform/kernel/Encoding.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/ScreenMetrics.h"

namespace qv::gdi {

namespace detail {

namespace {

std::set<HDC>& recordingDcs() {
    static std::set<HDC> s;
    return s;
}

RECT inclusive(const RECT& r) { return RECT{r.left, r.top, r.right - 1, r.bottom - 1}; }

}  // namespace

EmfRecorder::EmfRecorder(std::string path, const RECT* frame, std::u16string description)
    : path_(std::move(path)), hasFrame_(frame != nullptr), description_(std::move(description)) {
    if (frame) frame_ = *frame;
}

void EmfRecorder::put32(uint32_t v) {
    for (int i = 0; i < 4; ++i) body_.push_back(uint8_t(v >> (8 * i)));
}
void EmfRecorder::putRect(const RECT& r) {
    put32(uint32_t(r.left));
    put32(uint32_t(r.top));
    put32(uint32_t(r.right));
    put32(uint32_t(r.bottom));
}
void EmfRecorder::begin(uint32_t type) {
    recStart_ = body_.size();
    put32(type);
    put32(0);
}
void EmfRecorder::end() {
    while (body_.size() % 4) body_.push_back(0);
    auto size = uint32_t(body_.size() - recStart_);
    std::memcpy(&body_[recStart_ + 4], &size, 4);
    ++records_;
}
void EmfRecorder::simple(uint32_t type, uint32_t value) {
    begin(type);
    put32(value);
    end();
}

void EmfRecorder::moveTo(int32_t x, int32_t y) {
    begin(kMoveToEx);
    put32(uint32_t(x));
    put32(uint32_t(y));
    end();
}

void EmfRecorder::lineTo(int32_t x, int32_t y) {
    begin(kLineTo);
    put32(uint32_t(x));
    put32(uint32_t(y));
    end();
}

void EmfRecorder::poly(bool polygon, const POINT* pts, int count) {
    RECT b{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (int i = 1; i < count; ++i) {
        b.left = std::min(b.left, pts[i].x);
        b.top = std::min(b.top, pts[i].y);
        b.right = std::max(b.right, pts[i].x);
        b.bottom = std::max(b.bottom, pts[i].y);
    }
    begin(polygon ? kPolygon : kPolyline);
    putRect(b);
    put32(uint32_t(count));
    for (int i = 0; i < count; ++i) {
        put32(uint32_t(pts[i].x));
        put32(uint32_t(pts[i].y));
    }
    end();
}

void EmfRecorder::box(bool ellipse, const RECT& r) {
    begin(ellipse ? kEllipse : kRectangle);
    putRect(r);
    end();
}

void EmfRecorder::setPixel(int32_t x, int32_t y, COLORREF c) {
    begin(kSetPixelV);
    put32(uint32_t(x));
    put32(uint32_t(y));
    put32(c);
    end();
}

uint32_t EmfRecorder::slotFor(HGDIOBJ id, const GdiObject& obj) {
    auto it = slots_.find(id);
    if (it != slots_.end()) return it->second;
    if (obj.type != OBJ_PEN && obj.type != OBJ_BRUSH && obj.type != OBJ_FONT) return 0;
    uint32_t slot = 1;
    while (slot < slotUsed_.size() && slotUsed_[slot]) ++slot;
    if (slot == slotUsed_.size()) slotUsed_.push_back(true);
    else slotUsed_[slot] = true;
    slots_[id] = slot;
    if (obj.type == OBJ_PEN) {
        begin(kCreatePen);
        put32(slot);
        put32(uint32_t(obj.penStyle));
        put32(uint32_t(obj.penWidth));
        put32(0);
        put32(obj.color);
    } else if (obj.type == OBJ_BRUSH) {
        begin(kCreateBrushIndirect);
        put32(slot);
        put32(uint32_t(obj.brushStyle));
        put32(obj.color);
        put32(0);
    } else {
        const LOGFONTA& lf = obj.font;
        begin(kExtCreateFontIndirectW);
        put32(slot);
        put32(uint32_t(lf.lfHeight));
        put32(uint32_t(lf.lfWidth));
        put32(uint32_t(lf.lfEscapement));
        put32(uint32_t(lf.lfOrientation));
        put32(uint32_t(lf.lfWeight));
        for (uint8_t v : {lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet,
                          lf.lfOutPrecision, lf.lfClipPrecision, lf.lfQuality,
                          lf.lfPitchAndFamily})
            body_.push_back(v);
        std::string face = kernel::cp932FieldToUtf8(lf.lfFaceName, LF_FACESIZE);
        std::u16string w = toUtf16(face);
        w.resize(LF_FACESIZE, u'\0');
        w[LF_FACESIZE - 1] = u'\0';
        for (char16_t ch : w) {
            body_.push_back(uint8_t(ch));
            body_.push_back(uint8_t(ch >> 8));
        }
    }
    end();
    return slot;
}

void EmfRecorder::select(HGDIOBJ id, const GdiObject& obj) {
    uint32_t ref;
    int stock = stockIndexOf(id);
    if (stock >= 0) {
        ref = 0x80000000u | uint32_t(stock);
    } else {
        ref = slotFor(id, obj);
        if (ref == 0) return;
    }
    simple(kSelectObject, ref);
}

void EmfRecorder::deleteObject(HGDIOBJ id) {
    auto it = slots_.find(id);
    if (it == slots_.end()) return;
    simple(kDeleteObject, it->second);
    slotUsed_[it->second] = false;
    slots_.erase(it);
}

void EmfRecorder::fillRect(const RECT& r, HGDIOBJ brushId, const GdiObject& brush,
                           HGDIOBJ restoreBrush, const GdiObject* restore) {
    if (r.right <= r.left || r.bottom <= r.top || brush.brushStyle == BS_NULL) return;
    select(brushId, brush);
    begin(kBitBlt);
    putRect(inclusive(r));
    put32(uint32_t(r.left));
    put32(uint32_t(r.top));
    put32(uint32_t(r.right - r.left));
    put32(uint32_t(r.bottom - r.top));
    put32(PATCOPY);
    put32(0);
    put32(0);
    const float xf[6] = {1, 0, 0, 1, 0, 0};
    for (float f : xf) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        put32(v);
    }
    for (int i = 0; i < 6; ++i) put32(0);  // bk colour, usage, no source bitmap
    end();
    if (restore && restoreBrush) select(restoreBrush, *restore);
}

void EmfRecorder::textOut(int32_t x, int32_t y, const std::u16string& text,
                          const std::vector<int32_t>& dx, const RECT& box) {
    begin(kExtTextOutW);
    putRect(inclusive(box));
    put32(1);  // compatible graphics mode
    float scale = 100.0f * 25.4f / 96.0f;
    uint32_t sv;
    std::memcpy(&sv, &scale, 4);
    put32(sv);
    put32(sv);
    put32(uint32_t(x));
    put32(uint32_t(y));
    auto n = uint32_t(text.size());
    put32(n);
    uint32_t offString = 76, strBytes = (2 * n + 3) / 4 * 4;
    put32(offString);
    put32(0);                      // options
    putRect(RECT{0, 0, -1, -1});   // no clip/opaque rectangle
    put32(offString + strBytes);   // offDx
    for (char16_t c : text) {
        body_.push_back(uint8_t(c));
        body_.push_back(uint8_t(c >> 8));
    }
    while ((body_.size() - recStart_) % 4) body_.push_back(0);
    for (int32_t d : dx) put32(uint32_t(d));
    end();
}

void EmfRecorder::stretchPixels(const RECT& dest, int srcW, int srcH,
                                const std::vector<uint32_t>& px, uint32_t rop) {
    begin(kStretchDIBits);
    putRect(inclusive(dest));
    put32(uint32_t(dest.left));
    put32(uint32_t(dest.top));
    put32(0);
    put32(0);
    put32(uint32_t(srcW));
    put32(uint32_t(srcH));
    put32(80);
    put32(40);
    put32(120);
    put32(uint32_t(4 * size_t(srcW) * size_t(srcH)));
    put32(DIB_RGB_COLORS);
    put32(rop);
    put32(uint32_t(dest.right - dest.left));
    put32(uint32_t(dest.bottom - dest.top));
    // BITMAPINFOHEADER, bottom-up 32-bit rows.
    put32(40);
    put32(uint32_t(srcW));
    put32(uint32_t(srcH));
    put32(1u | (32u << 16));
    put32(BI_RGB);
    put32(uint32_t(4 * size_t(srcW) * size_t(srcH)));
    for (int i = 0; i < 4; ++i) put32(0);
    for (int y = srcH - 1; y >= 0; --y)
        for (int x = 0; x < srcW; ++x) put32(px[size_t(y) * size_t(srcW) + size_t(x)]);
    end();
}

void EmfRecorder::addBounds(const RECT& r) { unionRect(&bounds_, r); }

RECT EmfRecorder::frameOrDefault() const {
    if (hasFrame_) return frame_;
    kernel::ScreenMetrics m = kernel::screenMetrics();
    auto mm100 = [](int32_t px, int mm, int res) {
        return int32_t(std::lround(double(px) * mm * 100.0 / std::max(res, 1)));
    };
    if (bounds_.left >= bounds_.right) return RECT{0, 0, 0, 0};
    return RECT{mm100(bounds_.left, m.widthMm(), m.widthPx),
                mm100(bounds_.top, m.heightMm(), m.heightPx),
                mm100(bounds_.right, m.widthMm(), m.widthPx),
                mm100(bounds_.bottom, m.heightMm(), m.heightPx)};
}

std::vector<uint8_t> EmfRecorder::finish() {
    kernel::ScreenMetrics m = kernel::screenMetrics();
    std::vector<uint8_t> out;
    auto put = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
    };
    auto putR = [&](const RECT& r) {
        put(uint32_t(r.left));
        put(uint32_t(r.top));
        put(uint32_t(r.right));
        put(uint32_t(r.bottom));
    };
    uint32_t descBytes = (uint32_t(description_.size()) * 2 + 3) / 4 * 4;
    uint32_t headerSize = 108 + descBytes;
    uint32_t total = headerSize + uint32_t(body_.size()) + 20;
    put(kHeader);
    put(headerSize);
    putR(bounds_.left < bounds_.right ? inclusive(bounds_) : RECT{0, 0, -1, -1});
    putR(frameOrDefault());
    put(0x464D4520);  // " EMF"
    put(0x10000);
    put(total);
    put(records_ + 2);
    put(uint32_t(slotUsed_.size()));  // handles: 16 bits, reserved 16 bits 0
    put(uint32_t(description_.size()));
    put(description_.empty() ? 0 : 108);
    put(0);  // palette entries
    put(uint32_t(m.widthPx));
    put(uint32_t(m.heightPx));
    put(uint32_t(m.widthMm()));
    put(uint32_t(m.heightMm()));
    put(0);  // pixel format size, offset, OpenGL
    put(0);
    put(0);
    put(uint32_t(m.widthMm() * 1000));
    put(uint32_t(m.heightMm() * 1000));
    for (char16_t c : description_) {
        out.push_back(uint8_t(c));
        out.push_back(uint8_t(c >> 8));
    }
    while (out.size() % 4) out.push_back(0);
    out.insert(out.end(), body_.begin(), body_.end());
    put(kEof);
    put(20);
    put(0);
    put(16);
    put(20);
    return out;
}

void emfOnDeleteObject(HGDIOBJ obj) {
    auto& dcs = recordingDcs();
    for (auto it = dcs.begin(); it != dcs.end();) {
        Dc* dc = findDc(*it);
        if (!dc || !dc->emf) {
            it = dcs.erase(it);
            continue;
        }
        dc->emf->deleteObject(obj);
        ++it;
    }
}

void emfOnSelect(Dc& dc, HGDIOBJ obj, const GdiObject& o) {
    if (dc.emf) dc.emf->select(obj, o);
}

}  // namespace detail

using namespace detail;

HDC CreateEnhMetaFileA(HDC reference, const char* file, const RECT* frame,
                       const char* description) {
    if (reference != 0 && !findDc(reference)) return 0;
    std::string path;
    if (file && *file) {
        path = kernel::toLinuxPath(kernel::cp932ToUtf8(file));
        // The file must be creatable now, as the platform creates it here.
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) return 0;
        ::close(fd);
    }
    std::u16string desc;
    if (description) {
        desc = toUtf16(kernel::cp932ToUtf8(description));
        // The description ends with two NULs (application and picture names end with one each).
        desc.push_back(u'\0');
        desc.push_back(u'\0');
    }
    kernel::ScreenMetrics m = kernel::screenMetrics();
    int w = m.widthPx, h = m.heightPx;
    if (frame) {
        w = int(std::lround((frame->right - frame->left) / 100.0 * m.widthPx /
                            std::max(m.widthMm(), 1)));
        h = int(std::lround((frame->bottom - frame->top) / 100.0 * m.heightPx /
                            std::max(m.heightMm(), 1)));
    }
    w = std::clamp(w, 1, 16384);
    h = std::clamp(h, 1, 16384);
    auto dc = std::make_unique<Dc>();
    dc->kind = DcKind::Metafile;
    dc->surface = std::make_shared<Surface>(w, h, 0xFFFFFF);
    applyDefaults(*dc, DcDefaults{});
    dc->emf = std::make_unique<EmfRecorder>(path, frame, std::move(desc));
    HDC id = addDc(std::move(dc));
    recordingDcs().insert(id);
    return id;
}

HENHMETAFILE CloseEnhMetaFile(HDC hdc) {
    Dc* dc = findDc(hdc);
    if (!dc || !dc->emf) return 0;
    auto o = std::make_shared<GdiObject>();
    o->type = OBJ_ENHMETAFILE;
    o->emfBytes = dc->emf->finish();
    o->surface = dc->surface;
    std::string path = dc->emf->path();
    recordingDcs().erase(hdc);
    removeDc(hdc);
    if (!path.empty() && !writeFileReplacing(path, o->emfBytes)) return 0;
    return addObject(std::move(o));
}

bool DeleteEnhMetaFile(HENHMETAFILE emf) {
    ObjPtr o = findObject(emf);
    if (!o || o->type != OBJ_ENHMETAFILE) return false;
    return DeleteObject(emf);
}

uint32_t GetEnhMetaFileBits(HENHMETAFILE emf, uint32_t size, uint8_t* buf) {
    ObjPtr o = findObject(emf);
    if (!o || o->type != OBJ_ENHMETAFILE) return 0;
    auto n = uint32_t(o->emfBytes.size());
    if (!buf) return n;
    if (size < n) return 0;
    std::memcpy(buf, o->emfBytes.data(), n);
    return n;
}

std::shared_ptr<Surface> enhMetaFileSurface(HENHMETAFILE emf) {
    ObjPtr o = findObject(emf);
    return (o && o->type == OBJ_ENHMETAFILE) ? o->surface : nullptr;
}

}  // namespace qv::gdi
