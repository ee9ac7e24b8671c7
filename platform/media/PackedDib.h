#pragma once

#include "platform/gdi/GdiTypes.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qv::media {

static_assert(std::endian::native == std::endian::little, "packed DIBs are handled as in-memory structures");

using gdi::BITMAPINFOHEADER;
constexpr size_t kBitmapInfoHeaderSize = sizeof(BITMAPINFOHEADER);

// The header as it lies in little-endian bytes (files, packed DIBs).
BITMAPINFOHEADER readBitmapInfoHeader(const uint8_t* p);

inline size_t dibStride(int width, int bitCount)
{
    return static_cast<size_t>(gdi::dibStride(width, bitCount));
}

// Largest picture side and pixel buffer accepted from a file, so a corrupt header cannot ask
// for an absurd allocation.
constexpr int kMaxDibSide = 32768;
constexpr size_t kMaxDibPixelBytes = size_t{1} << 30;

// A packed device-independent bitmap in one buffer: the 40-byte header, the colour table
// (only for 1, 4 and 8 bits per pixel) and the rows, bottom row first, each padded to 4 bytes.
class PackedDib {
public:
    PackedDib() = default;
    // A black picture; the colour table is copied as 0x00RRGGBB values.
    PackedDib(int width, int height, int bitCount, std::span<const uint32_t> colourTable = {});

    bool empty() const { return bytes_.empty(); }
    int width() const { return width_; }
    int height() const { return height_; }
    int bitCount() const { return bitCount_; }
    size_t stride() const { return dibStride(width_, bitCount_); }
    size_t colourCount() const { return colours_; }
    size_t pixelOffset() const { return kBitmapInfoHeaderSize + 4 * colours_; }

    // The whole packed DIB as one block, ready for a stretch-to-device call or a BMP file body.
    const uint8_t* data() const { return bytes_.data(); }
    size_t size() const { return bytes_.size(); }
    BITMAPINFOHEADER header() const { return readBitmapInfoHeader(bytes_.data()); }

    uint8_t* pixels() { return bytes_.data() + pixelOffset(); }
    const uint8_t* pixels() const { return bytes_.data() + pixelOffset(); }
    // Row y counted from the top of the picture.
    uint8_t* row(int y) { return pixels() + stride() * static_cast<size_t>(height_ - 1 - y); }
    const uint8_t* row(int y) const { return pixels() + stride() * static_cast<size_t>(height_ - 1 - y); }

    // Colour of the pixel at (x, y), y from the top, as 0x00RRGGBB.
    uint32_t rgbAt(int x, int y) const;

private:
    std::vector<uint8_t> bytes_;
    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 0;
    size_t colours_ = 0;
};

// The same picture as 32 bits per pixel (blue, green, red, 0 in each pixel word).
PackedDib toBgrx32(const PackedDib& dib);

} // namespace qv::media
