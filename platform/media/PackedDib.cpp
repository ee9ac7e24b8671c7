#include "platform/media/PackedDib.h"

#include "platform/media/RiffFile.h"

#include <cstring>

namespace qv::media {

BITMAPINFOHEADER readBitmapInfoHeader(const uint8_t* p)
{
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, sizeof h);
    return h;
}

PackedDib::PackedDib(int width, int height, int bitCount, std::span<const uint32_t> colourTable)
    : width_(width), height_(height), bitCount_(bitCount), colours_(bitCount <= 8 ? colourTable.size() : 0)
{
    size_t image = stride() * static_cast<size_t>(height);
    bytes_.assign(pixelOffset() + image, 0);
    BITMAPINFOHEADER h;
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = static_cast<uint16_t>(bitCount);
    h.biSizeImage = static_cast<uint32_t>(image);
    h.biClrUsed = static_cast<uint32_t>(colours_);
    std::memcpy(bytes_.data(), &h, sizeof h);
    for (size_t i = 0; i < colours_; ++i)
        put32(bytes_.data() + kBitmapInfoHeaderSize + 4 * i, colourTable[i] & 0xFFFFFFu);
}

uint32_t PackedDib::rgbAt(int x, int y) const
{
    const uint8_t* r = row(y);
    auto fromTable = [&](size_t i) {
        return i < colours_ ? le32(bytes_.data() + kBitmapInfoHeaderSize + 4 * i) & 0xFFFFFFu : 0u;
    };
    switch (bitCount_) {
    case 1:
        return fromTable((r[x >> 3] >> (7 - (x & 7))) & 1u);
    case 4:
        return fromTable((r[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u);
    case 8:
        return fromTable(r[x]);
    case 16: {
        // 5-5-5: each five-bit channel spread over eight bits.
        uint32_t w = le16(r + 2 * x);
        auto c = [](uint32_t v) { return (v << 3) | (v >> 2); };
        return c((w >> 10) & 31u) << 16 | c((w >> 5) & 31u) << 8 | c(w & 31u);
    }
    case 24:
        return static_cast<uint32_t>(r[3 * x + 2]) << 16 | static_cast<uint32_t>(r[3 * x + 1]) << 8 | r[3 * x];
    case 32:
        return le32(r + 4 * x) & 0xFFFFFFu;
    default:
        return 0;
    }
}

PackedDib toBgrx32(const PackedDib& dib)
{
    PackedDib out(dib.width(), dib.height(), 32);
    if (dib.bitCount() == 32) {
        std::memcpy(out.pixels(), dib.pixels(), dib.stride() * static_cast<size_t>(dib.height()));
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x)
                out.row(y)[4 * x + 3] = 0;
        return out;
    }
    for (int y = 0; y < dib.height(); ++y) {
        uint8_t* o = out.row(y);
        for (int x = 0; x < dib.width(); ++x)
            put32(o + 4 * x, dib.rgbAt(x, y));
    }
    return out;
}

} // namespace qv::media
