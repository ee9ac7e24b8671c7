#include "platform/forms/Clipboard.h"

#include "platform/gdi/Surface.h"
#include "platform/media/ImageFiles.h"

namespace qv::forms {

ClipboardObject Clipboard;

void ClipboardObject::Clear() {
    emf_.clear();
    picture_.reset();
    publish();
}

void ClipboardObject::SetMetafile(std::vector<uint8_t> emf,
                                  std::shared_ptr<const gdi::Surface> picture) {
    emf_ = std::move(emf);
    picture_ = std::move(picture);
    publish();
}

bool ClipboardObject::GetFormat(int format) const {
    switch (format) {
        case vbCFMetafile:
        case vbCFEMetafile: return !emf_.empty();
        case vbCFBitmap:
        case vbCFDIB: return picture_ && picture_->width() > 0 && picture_->height() > 0;
        default: return false;
    }
}

std::vector<uint8_t> ClipboardObject::pngBytes() const {
    return picture_ ? media::encodePng(*picture_) : std::vector<uint8_t>{};
}

void ClipboardObject::setPublisher(std::function<void(const ClipboardObject&)> publisher) {
    publisher_ = std::move(publisher);
}

void ClipboardObject::publish() {
    if (publisher_) publisher_(*this);
}

}  // namespace qv::forms
