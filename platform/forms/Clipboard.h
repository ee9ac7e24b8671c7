#pragma once
// The language's Clipboard object, for the one use the program has: a picture put on it as an
// enhanced metafile. Headless it keeps what was put on it; the Qt front end installs a
// publisher that hands both formats to the system clipboard.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace qv::gdi {
class Surface;
}

namespace qv::forms {

// Clipboard format numbers as the language names them.
inline constexpr int vbCFBitmap = 2;
inline constexpr int vbCFMetafile = 3;
inline constexpr int vbCFDIB = 8;
inline constexpr int vbCFEMetafile = 14;

class ClipboardObject {
public:
    void Clear();
    // A metafile: its file bytes, with the same picture rendered to pixels so that programs
    // without metafile support get it as a PNG.
    void SetMetafile(std::vector<uint8_t> emf, std::shared_ptr<const gdi::Surface> picture);
    // True for vbCFMetafile and vbCFEMetafile while a metafile is held, and for vbCFBitmap and
    // vbCFDIB while its picture is.
    bool GetFormat(int format) const;
    const std::vector<uint8_t>& metafileBytes() const { return emf_; }
    const std::shared_ptr<const gdi::Surface>& picture() const { return picture_; }
    // The picture as PNG bytes; empty when there is none.
    std::vector<uint8_t> pngBytes() const;

    // Called after every change with the new content; an empty function removes it.
    void setPublisher(std::function<void(const ClipboardObject&)> publisher);

private:
    void publish();
    std::vector<uint8_t> emf_;
    std::shared_ptr<const gdi::Surface> picture_;
    std::function<void(const ClipboardObject&)> publisher_;
};

extern ClipboardObject Clipboard;

}  // namespace qv::forms
