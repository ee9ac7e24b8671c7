#pragma once
// Picture objects: an image with its size, as picture boxes and the printer take them.
// Width and Height are in HIMETRIC (0.01 mm), as the original's picture objects reported.

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"

namespace qv::forms {

class Picture {
public:
    Picture() = default;  // no picture
    explicit Picture(std::shared_ptr<const gdi::Surface> pixels) : pixels_(std::move(pixels)) {}
    // A picture that carries the palette it was taken with (a capture on a 256-colour screen).
    Picture(std::shared_ptr<const gdi::Surface> pixels, std::vector<gdi::PALETTEENTRY> palette)
        : pixels_(std::move(pixels)), palette_(std::move(palette)) {}
    bool empty() const { return !pixels_ || pixels_->width() <= 0 || pixels_->height() <= 0; }
    int widthPixels() const { return pixels_ ? pixels_->width() : 0; }
    int heightPixels() const { return pixels_ ? pixels_->height() : 0; }
    double Width() const;   // HIMETRIC
    double Height() const;  // HIMETRIC
    const std::shared_ptr<const gdi::Surface>& surface() const { return pixels_; }
    // The palette's entries; empty for a picture without one.
    const std::vector<gdi::PALETTEENTRY>& palette() const { return palette_; }
    // Takes a bitmap object (freed with the last copy of the picture); its pixels are shown.
    static Picture fromBitmap(gdi::HBITMAP bmp);
    // The bitmap object behind a picture loaded from a file (GetObjectA, GetBitmapBits,
    // SetBitmapBits work on it), or 0.
    gdi::HBITMAP Handle() const { return handle_ ? *handle_ : 0; }

private:
    std::shared_ptr<const gdi::Surface> pixels_;
    std::vector<gdi::PALETTEENTRY> palette_;
    std::shared_ptr<const gdi::HBITMAP> handle_;
};

// Reads a BMP file (a Windows-style path); 53 when missing, 481 when it is not a picture.
// The picture keeps the file's depth, colour table and bits in its bitmap object.
Picture LoadPicture(const std::string& path);
// Writes the picture as a 24-bit BMP file, replacing it whole; 75 when it cannot be
// written, 91 for no picture.
void SavePicture(const Picture& picture, const std::string& path);

// Copies src scaled (nearest pixel) into the rectangle (x, y, w, h) of dst, clipped.
void stretchCopy(const gdi::Surface& src, gdi::Surface& dst, int x, int y, int w, int h);

}  // namespace qv::forms
