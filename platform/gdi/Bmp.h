#pragma once
// BMP files: a writer with the standard layout (14-byte file header, 40-byte info header,
// colour table of 2^bits entries for bits <= 8, bottom-up rows padded to 4 bytes) and a reader
// of the common depths that refuses truncated or inconsistent files.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Surface.h"

namespace qv::gdi {

// Bytes of a BMP file for the DIB described by hdr (biHeight > 0: bits hold bottom-up rows,
// dibStride bytes each). colours: 2^bits entries when bits <= 8, ignored otherwise.
std::vector<uint8_t> encodeBmp(const BITMAPINFOHEADER& hdr, const RGBQUAD* colours,
                               const void* bits);
// A 24-bit BMP file of a surface's pixels.
std::vector<uint8_t> encodeBmp24(const Surface& s);
// Writes a DIB section (CreateDIBSection) as a BMP file, replacing the file whole.
bool writeBmpFile(const std::string& path, HBITMAP dib);
// Writes bytes to path through a temporary file in the same folder renamed over it.
bool writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

struct BmpImage {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 0;          // depth stored in the file
    std::vector<uint32_t> pixels;   // top row first, 0x00RRGGBB
    // The DIB as stored: its info header (biSize 40), colour table, bit-field masks and the
    // rows in the file's order, dibStride bytes each.
    BITMAPINFOHEADER header;
    std::vector<RGBQUAD> colours;
    uint32_t masks[3] = {0, 0, 0};
    std::vector<uint8_t> bits;
};
struct BmpReadResult {
    bool ok = false;
    std::string error;  // what was wrong with the file, when !ok
    BmpImage image;
};
// 1, 4, 8 (with colour table), 16 (5-5-5 or bit fields), 24 and 32 bits, uncompressed,
// bottom-up or top-down; the pixel-data offset of the file header is honoured.
BmpReadResult readBmp(std::span<const uint8_t> bytes);
BmpReadResult readBmpFile(const std::string& path);

// A bitmap object holding the file's own depth, colour table and bits, as a picture loaded
// from a BMP file keeps them. GetObjectA reports it as a device bitmap: bmWidthBytes in whole
// 16-bit words, no bits pointer. Null when the image carries no valid DIB.
HBITMAP createPictureBitmap(const BmpImage& image);
// The bits of a bitmap object as top-down rows of GetObjectA's bmWidthBytes; at most cb bytes,
// whole rows. Returns the bytes copied, 0 for a handle that is not a bitmap.
int32_t GetBitmapBits(HBITMAP bmp, int32_t cb, void* out);
// Writes such rows back (at most cb bytes); the bitmap's pixels follow at once.
int32_t SetBitmapBits(HBITMAP bmp, uint32_t cb, const void* in);

}  // namespace qv::gdi
