#include "platform/basic/Basic.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Util.h"

namespace qv::forms {

unsigned Image::features() const { return HasGeometry | HasVisible | HasEnabled; }

void Image::setPicture(const Picture& p) {
    picture_ = p;
    notify("Picture");
}

void Image::setStretch(bool v) {
    if (v == stretch_) return;
    stretch_ = v;
    notify("Stretch");
}

std::shared_ptr<gdi::Surface> Image::render() const {
    PixelRect r = outerRect();
    if (r.width() <= 0 || r.height() <= 0) return nullptr;
    // The form's background shows where the picture does not reach.
    Color back = owningForm() ? owningForm()->BackColor() : backColor_;
    auto s = std::make_shared<gdi::Surface>(r.width(), r.height(), static_cast<gdi::COLORREF>(back));
    if (!picture_.empty()) {
        if (stretch_) stretchCopy(*picture_.surface(), *s, 0, 0, r.width(), r.height());
        else stretchCopy(*picture_.surface(), *s, 0, 0, picture_.widthPixels(), picture_.heightPixels());
    }
    return s;
}

void Image::copyFrom(const Control& src) {
    Control::copyFrom(src);
    auto& s = static_cast<const Image&>(src);
    picture_ = s.picture_;
    stretch_ = s.stretch_;
}

bool Image::getProp(std::string_view n, PropValue& out) const {
    if (iequals(n, "Stretch")) out = stretch_;
    else return Control::getProp(n, out);
    return true;
}

bool Image::setProp(std::string_view n, const PropValue& v) {
    if (iequals(n, "Stretch")) setStretch(v.toBool());
    else return Control::setProp(n, v);
    return true;
}

}  // namespace qv::forms
