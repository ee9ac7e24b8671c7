#include <algorithm>
#include <cstring>

#include "platform/basic/Basic.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Runtime.h"
#include "platform/forms/Util.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Encoding.h"

namespace qv::forms {

using basic::raiseError;

gdi::LOGFONTA toLogFont(const Font& f) {
    gdi::LOGFONTA lf{};
    // Point size at the logical 96 DPI, as an em height.
    lf.lfHeight = -pixelRound(f.Size * 96.0 / 72.0);
    lf.lfWeight = f.Bold ? gdi::FW_BOLD : gdi::FW_NORMAL;
    lf.lfItalic = f.Italic ? 1 : 0;
    lf.lfUnderline = f.Underline ? 1 : 0;
    lf.lfCharSet = gdi::SHIFTJIS_CHARSET;
    kernel::writeCp932Field(f.Name, lf.lfFaceName, sizeof lf.lfFaceName);
    return lf;
}

gdi::RECT toRect(const PixelRect& r) { return gdi::RECT{r.left, r.top, r.right, r.bottom}; }

PictureBox::PictureBox(std::string name) : Control(std::move(name)) {}

PictureBox::~PictureBox() = default;

unsigned PictureBox::features() const {
    return HasGeometry | HasVisible | HasEnabled | HasColors | HasFont | Windowed | CanFocus |
           IsContainer;
}

int PictureBox::borderPixels() const {
    if (borderStyle_ == 0) return 0;
    return appearance_ == 1 ? 2 : 1;
}

void PictureBox::setBorderStyle(int v) {
    if (v < 0 || v > 1) raiseError(basic::errInvalidProperty);
    if (v == borderStyle_) return;
    borderStyle_ = v;
    notify("BorderStyle");
    geometryChanged(true);
}

void PictureBox::setAppearance(int v) {
    if (v < 0 || v > 1) raiseError(basic::errInvalidProperty);
    if (v == appearance_) return;
    appearance_ = v;
    notify("Appearance");
    geometryChanged(true);
}

PixelRect PictureBox::clientRect() const {
    int b = borderPixels();
    return inset(outerRect(), b, b, b, b);
}

void PictureBox::created() {
    erasedBackColor_ = backColor_;
    PixelRect c = clientRect();
    surface_ = std::make_shared<gdi::Surface>(std::max(0, c.width()), std::max(0, c.height()),
                                              static_cast<gdi::COLORREF>(backColor_));
    gdi::WindowDesc d;
    Form& f = parentForm();
    PixelRect origin = f.clientRect();
    Widget* w = containerWidget();
    while (w && !w->hwnd()) w = w->containerWidget();
    d.parent = w ? w->hwnd() : 0;
    d.outer = toRect(offset(outerRect(), origin.left, origin.top));
    d.client = toRect(offset(c, origin.left, origin.top));
    d.surface = surface_;
    d.defaults = gdi::pictureBoxDefaults(static_cast<gdi::COLORREF>(foreColor_),
                                         static_cast<gdi::COLORREF>(backColor_), toLogFont(font_));
    setHwnd(gdi::registerWindow(d));
}

void PictureBox::destroying() {
    if (hdc_) gdi::DeleteDC(hdc_);
    hdc_ = 0;
    if (hwnd()) gdi::unregisterWindow(hwnd());
    setHwnd(0);
}

void PictureBox::applyDcDefaults() {
    if (!hwnd()) return;
    gdi::setWindowDefaults(hwnd(), gdi::pictureBoxDefaults(static_cast<gdi::COLORREF>(foreColor_),
                                                           static_cast<gdi::COLORREF>(backColor_),
                                                           toLogFont(font_)));
}

void PictureBox::colorsChanged() {
    applyDcDefaults();
    // A new background colour erases the drawing, as the original's picture box did; a new
    // text colour does not.
    if (backColor_ == erasedBackColor_) return;
    erasedBackColor_ = backColor_;
    if (surface_ && !quiet()) Cls();
    else if (surface_) surface_->fill(static_cast<gdi::COLORREF>(backColor_));
}

int32_t PictureBox::hDC() {
    if (!hdc_ && hwnd()) hdc_ = gdi::createControlDC(hwnd());
    return hdc_;
}

void PictureBox::Cls() {
    if (!surface_) return;
    surface_->fill(static_cast<gdi::COLORREF>(backColor_));
    drawPicture();
    CurrentX = 0;
    CurrentY = 0;
    surface_->markChanged(gdi::RECT{0, 0, surface_->width(), surface_->height()});
    invalidate();
}

void PictureBox::drawPicture() {
    if (picture_.empty() || !surface_) return;
    stretchCopy(*picture_.surface(), *surface_, 0, 0, picture_.widthPixels(), picture_.heightPixels());
    pictureVersion_ = picture_.surface()->version();
}

void PictureBox::Refresh() {
    if (!picture_.empty() && picture_.surface()->version() != pictureVersion_) drawPicture();
    Paint.raise();
    invalidate();
}

void PictureBox::invalidate() {
    if (quiet()) return;
    if (auto* o = Runtime::get().observer()) o->surfaceInvalidated(*this);
}

void PictureBox::setPicture(const Picture& p) {
    picture_ = p;
    Cls();
    notify("Picture");
}

Picture PictureBox::Image() const {
    if (!surface_) return Picture();
    auto copy = std::make_shared<gdi::Surface>(surface_->width(), surface_->height());
    for (int y = 0; y < surface_->height(); ++y)
        std::memcpy(copy->row(y), surface_->row(y), sizeof(uint32_t) * static_cast<size_t>(surface_->width()));
    return Picture(copy);
}

void PictureBox::PaintPicture(const Picture& p, double x, double y, double w, double h) {
    if (p.empty()) raiseError(basic::errObjectNotSet);
    if (!surface_) return;
    double tx = twipsPerUnitX() / Screen.TwipsPerPixelX(), ty = twipsPerUnitY() / Screen.TwipsPerPixelY();
    int px = pixelRound(x * tx), py = pixelRound(y * ty);
    int pw = w < 0 ? p.widthPixels() : pixelRound(w * tx);
    int ph = h < 0 ? p.heightPixels() : pixelRound(h * ty);
    stretchCopy(*p.surface(), *surface_, px, py, pw, ph);
    invalidate();
}

void PictureBox::Print(const std::string& text) {
    if (!surface_) return;
    int32_t dc = hDC();
    double tx = twipsPerUnitX() / Screen.TwipsPerPixelX(), ty = twipsPerUnitY() / Screen.TwipsPerPixelY();
    gdi::SetTextColor(dc, static_cast<gdi::COLORREF>(foreColor_));
    gdi::SetBkMode(dc, gdi::TRANSPARENT);
    std::string bytes = kernel::utf8ToCp932(text);
    gdi::TextOutA(dc, pixelRound(CurrentX * tx), pixelRound(CurrentY * ty), bytes.data(),
                  static_cast<int>(bytes.size()));
    gdi::TEXTMETRICA tm;
    gdi::GetTextMetricsA(dc, &tm);
    CurrentX = 0;
    CurrentY += tm.tmHeight / ty;
    invalidate();
}

void PictureBox::geometryChanged(bool sized) {
    if (sized && surface_) {
        PixelRect c = clientRect();
        surface_->resize(std::max(0, c.width()), std::max(0, c.height()),
                         static_cast<gdi::COLORREF>(backColor_));
    }
    Control::geometryChanged(sized);
}

void PictureBox::sizeChanged() {
    if (!quiet()) Resize.raise();
}

void PictureBox::copyFrom(const Control& src) {
    Control::copyFrom(src);
    auto& s = static_cast<const PictureBox&>(src);
    borderStyle_ = s.borderStyle_;
    appearance_ = s.appearance_;
    AutoRedraw = s.AutoRedraw;
    MousePointer = s.MousePointer;
    OLEDropMode = s.OLEDropMode;
}

bool PictureBox::isReadOnlyProp(std::string_view n) const {
    return iequals(n, "hDC") || iequals(n, "Image") || Control::isReadOnlyProp(n);
}

bool PictureBox::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "ScaleMode")) out = scaleMode_;
    else if (iequals(n, "ScaleWidth")) out = ScaleWidth();
    else if (iequals(n, "ScaleHeight")) out = ScaleHeight();
    else if (iequals(n, "BorderStyle")) out = borderStyle_;
    else if (iequals(n, "Appearance")) out = appearance_;
    else if (iequals(n, "AutoRedraw")) out = AutoRedraw;
    else if (iequals(n, "MousePointer")) out = MousePointer;
    else if (iequals(n, "OLEDropMode")) out = OLEDropMode;
    else if (iequals(n, "CurrentX")) out = CurrentX;
    else if (iequals(n, "CurrentY")) out = CurrentY;
    else if (iequals(n, "hDC")) out = const_cast<PictureBox*>(this)->hDC();
    else return Control::getProp(n, out);
    return true;
}

bool PictureBox::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "ScaleMode")) setScaleMode(v.toInt());
    else if (iequals(n, "BorderStyle")) setBorderStyle(v.toInt());
    else if (iequals(n, "Appearance")) setAppearance(v.toInt());
    else if (iequals(n, "AutoRedraw")) AutoRedraw = v.toBool();
    else if (iequals(n, "MousePointer")) {
        int m = v.toInt();
        if (m < 0 || (m > 15 && m != 99)) raiseError(basic::errInvalidProperty);
        MousePointer = m;
        notify(n);
    } else if (iequals(n, "OLEDropMode")) OLEDropMode = v.toInt() ? 1 : 0;
    else if (iequals(n, "CurrentX")) CurrentX = v.toDouble();
    else if (iequals(n, "CurrentY")) CurrentY = v.toDouble();
    else return Control::setProp(n, v);
    return true;
}

}  // namespace qv::forms
