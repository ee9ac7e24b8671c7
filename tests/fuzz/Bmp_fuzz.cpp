// The BMP reader: any bytes as a file. Every pixel it gives back is 0x00RRGGBB and the image
// holds exactly width x height of them.
#include <cstdlib>

#include "FuzzTarget.h"
#include "platform/gdi/Bmp.h"

QV_FUZZ_TARGET(Bmp) {
    const auto r = qv::gdi::readBmp({data, size});
    if (!r.ok) return 0;
    if (r.image.pixels.size() != size_t(r.image.width) * size_t(r.image.height)) std::abort();
    for (uint32_t p : r.image.pixels)
        if (p >> 24) std::abort();
    return 0;
}

QV_FUZZ_SEEDS(Bmp) {
    using namespace qv::gdi;
    std::vector<qv::fuzz::Bytes> seeds;
    const uint8_t pixels[64] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 12, 34, 56, 0xFF, 0xFF, 0x00, 0x20};
    for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
        BITMAPINFOHEADER h;
        h.biWidth = 3;
        h.biHeight = bits == 8 ? -2 : 2;
        h.biBitCount = bits;
        RGBQUAD table[256] = {};
        for (int i = 0; i < 256; ++i) table[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
        seeds.push_back(encodeBmp(h, bits <= 8 ? table : nullptr, pixels));
    }
    for (uint16_t bits : {16, 32}) {  // bit fields, one of them with a gap
        BITMAPINFOHEADER h;
        h.biWidth = 2;
        h.biHeight = 2;
        h.biBitCount = bits;
        h.biCompression = BI_BITFIELDS;
        const RGBQUAD masks[3] = {{0, 0, 0xFF, 0}, {0, 0xFF, 0, 0}, {0xFF, 0, 0, 0x3E}};
        const RGBQUAD masks16[3] = {{0x0F, 0xF0, 0, 0}, {0, 0x0F, 0, 0}, {0xF0, 0, 0, 0}};
        seeds.push_back(encodeBmp(h, bits == 32 ? masks : masks16, pixels));
    }
    return seeds;
}
