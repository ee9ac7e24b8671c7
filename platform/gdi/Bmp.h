#pragma once
// BMP files: a writer with the standard layout (14-byte file header, 40-byte info header,
// colour table of 2^bits entries for bits <= 8, bottom-up rows padded to 4 bytes) and a reader
// of the common depths that refuses truncated or inconsistent files.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/GdiTypes.h"

namespace qv::gdi {

// Bytes of a BMP file for the DIB described by hdr (biHeight > 0: bits hold bottom-up rows,
// dibStride bytes each). colours: 2^bits entries when bits <= 8, ignored otherwise.
std::vector<uint8_t> encodeBmp(const BITMAPINFOHEADER& hdr, const RGBQUAD* colours,
                               const void* bits);
// Writes a DIB section (CreateDIBSection) as a BMP file, replacing the file whole.
bool writeBmpFile(const std::string& path, HBITMAP dib);
// Writes bytes to path through a temporary file in the same folder renamed over it.
bool writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

struct BmpImage {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 0;          // depth stored in the file
    std::vector<uint32_t> pixels;   // top row first, 0x00RRGGBB
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

}  // namespace qv::gdi
