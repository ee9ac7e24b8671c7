// The whole-window image: what a capture of a window with its frame and title bar reads.
// Window decorations belong to the window manager and cannot be grabbed portably, so the
// model paints its own frame and title bar around the client area at the window's outer size.

#include <algorithm>
#include <cstring>

#include "platform/forms/Form.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Runtime.h"
#include "platform/forms/Util.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Encoding.h"

namespace qv::forms {

namespace {

constexpr gdi::COLORREF kFrameColour = 0xC0C0C0;
constexpr gdi::COLORREF kFrameEdge = 0x404040;
constexpr gdi::COLORREF kTitleColour = 0x800000;  // dark blue
constexpr gdi::COLORREF kTitleText = 0xFFFFFF;

void fill(gdi::Surface& s, const PixelRect& r, gdi::COLORREF c) {
    int x0 = std::max(0, r.left), y0 = std::max(0, r.top);
    int x1 = std::min(s.width(), r.right), y1 = std::min(s.height(), r.bottom);
    uint32_t p = gdi::colorToPixel(c);
    for (int y = y0; y < y1; ++y) std::fill(s.row(y) + x0, s.row(y) + std::max(x0, x1), p);
}

PixelRect intersect(const PixelRect& a, const PixelRect& b) {
    PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

// Copies src with its top-left corner at (x, y) of dst, inside clip only.
void blit(const gdi::Surface& src, gdi::Surface& dst, int x, int y, PixelRect clip) {
    clip = intersect(clip, PixelRect{0, 0, dst.width(), dst.height()});
    clip = intersect(clip, PixelRect{x, y, x + src.width(), y + src.height()});
    for (int dy = clip.top; dy < clip.bottom; ++dy) {
        if (clip.right <= clip.left) break;
        std::memcpy(dst.row(dy) + clip.left, src.row(dy - y) + (clip.left - x),
                    sizeof(uint32_t) * static_cast<size_t>(clip.right - clip.left));
    }
}

// The client area from the model's own images: the form's image, then every shown picture
// box's image, each clipped to the client areas of its containers.
void composeClient(const gdi::Surface& formImage, gdi::Surface& out,
                   const std::vector<Control*>& controls) {
    blit(formImage, out, 0, 0, PixelRect{0, 0, out.width(), out.height()});
    for (Control* c : controls) {
        auto* box = dynamic_cast<PictureBox*>(c);
        if (!box || !box->surface() || !box->isShown()) continue;
        PixelRect clip{0, 0, out.width(), out.height()};
        for (Widget* w = box->containerWidget(); w; w = w->containerWidget())
            clip = intersect(clip, w->clientRect());
        PixelRect outer = intersect(box->outerRect(), clip);
        fill(out, outer, static_cast<gdi::COLORREF>(box->BackColor()));
        PixelRect client = box->clientRect();
        blit(*box->surface(), out, client.left, client.top, intersect(client, clip));
    }
}

void drawTitle(gdi::Surface& s, const PixelRect& bar, const std::string& caption) {
    fill(s, bar, kTitleColour);
    if (caption.empty()) return;
    auto target = std::shared_ptr<gdi::Surface>(&s, [](gdi::Surface*) {});
    gdi::HDC dc = gdi::createSurfaceDC(target);
    Font f;
    f.Name = "ＭＳ Ｐゴシック";
    f.Size = 9;
    f.Bold = true;
    gdi::LOGFONTA lf = toLogFont(f);
    gdi::HFONT font = gdi::CreateFontIndirectA(&lf);
    gdi::HGDIOBJ old = gdi::SelectObject(dc, font);
    gdi::SetBkMode(dc, gdi::TRANSPARENT);
    gdi::SetTextColor(dc, kTitleText);
    std::string text = kernel::utf8ToCp932(caption);
    gdi::TEXTMETRICA tm{};
    gdi::GetTextMetricsA(dc, &tm);
    int y = bar.top + std::max(0, (bar.height() - static_cast<int>(tm.tmHeight)) / 2);
    gdi::TextOutA(dc, bar.left + 4, y, text.data(), static_cast<int>(text.size()));
    gdi::SelectObject(dc, old);
    gdi::DeleteObject(font);
    gdi::DeleteDC(dc);
}

}  // namespace

void Form::renderWindowImage() {
    if (!hwnd()) return;
    PixelRect outer = outerRect();
    PixelRect client = clientRect();
    int w = std::max(0, outer.width()), h = std::max(0, outer.height());
    auto image = std::make_shared<gdi::Surface>(w, h, kFrameColour);
    PixelRect local = offset(client, -outer.left, -outer.top);
    if (BorderStyle != 0) {
        // A one-pixel dark edge round the frame, the title bar above the client area.
        fill(*image, PixelRect{0, 0, w, 1}, kFrameEdge);
        fill(*image, PixelRect{0, h - 1, w, h}, kFrameEdge);
        fill(*image, PixelRect{0, 0, 1, h}, kFrameEdge);
        fill(*image, PixelRect{w - 1, 0, w, h}, kFrameEdge);
        drawTitle(*image, PixelRect{local.left, windowFrame(BorderStyle).border, local.right, local.top},
                  caption_);
    }
    auto clientImage = std::make_shared<gdi::Surface>(std::max(0, local.width()),
                                                      std::max(0, local.height()),
                                                      static_cast<gdi::COLORREF>(backColor_));
    FormsObserver* fe = Runtime::get().observer();
    if (!fe || !fe->renderClient(*this, *clientImage))
        composeClient(*surface_, *clientImage, Controls());
    blit(*clientImage, *image, local.left, local.top, local);
    gdi::setWindowFrameSurface(hwnd(), image);
}

}  // namespace qv::forms
