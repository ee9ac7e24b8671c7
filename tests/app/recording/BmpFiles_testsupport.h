#pragma once
// BMP files the bitmap tests write themselves, and decoders of the PNG and JPEG files the
// converter writes (libpng, libjpeg), so the tests look at pixels rather than bytes.
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace qv::apptest {

struct BmpSpec {
    BmpSpec(int w, int h, int b, bool td = false, uint32_t g = 0, std::vector<uint32_t> c = {})
        : width(w), height(h), bits(b), topDown(td), gap(g), colours(std::move(c)) {}
    int width = 1;
    int height = 1;
    int bits = 24;
    bool topDown = false;
    uint32_t gap = 0;                 // bytes between the colour table and the pixels
    std::vector<uint32_t> colours;    // 0x00RRGGBB, for 1, 4 and 8 bits
    uint32_t compression = 0;
};

inline void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

inline int bmpStride(int width, int bits) { return (width * bits + 31) / 32 * 4; }

// value(x, y) is a colour index (1, 4, 8 bits) or 0x00RRGGBB (24, 32 bits); y = 0 is the top.
inline std::vector<uint8_t> makeBmp(const BmpSpec& s, const std::function<uint32_t(int, int)>& value) {
    int stride = bmpStride(s.width, s.bits);
    uint32_t table = 4 * uint32_t(s.colours.size());
    uint32_t off = 14 + 40 + table + s.gap;
    uint32_t image = uint32_t(stride) * uint32_t(s.height);
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, off + image);
    put32(b, 0);
    put32(b, off);
    put32(b, 40);
    put32(b, uint32_t(s.width));
    put32(b, uint32_t(s.topDown ? -s.height : s.height));
    put16(b, 1);
    put16(b, uint32_t(s.bits));
    put32(b, s.compression);
    put32(b, image);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, uint32_t(s.colours.size()));
    put32(b, 0);
    for (uint32_t c : s.colours) put32(b, c);
    b.resize(b.size() + s.gap, 0xEE);
    for (int r = 0; r < s.height; ++r) {
        int y = s.topDown ? r : s.height - 1 - r;
        std::vector<uint8_t> row(size_t(stride), 0);
        for (int x = 0; x < s.width; ++x) {
            uint32_t v = value(x, y);
            if (s.bits <= 8) {
                int per = 8 / s.bits;
                row[size_t(x / per)] |= uint8_t(v << ((per - 1 - x % per) * s.bits));
            } else {
                int n = s.bits / 8;
                for (int k = 0; k < n; ++k) row[size_t(x * n + k)] = uint8_t(k < 3 ? v >> (8 * k) : 0);
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
}

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

inline DecodedImage readPng(const std::string& path) {
    DecodedImage im;
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) return im;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return DecodedImage{};
    }
    png_init_io(png, f.get());
    png_read_info(png, info);
    if (png_get_bit_depth(png, info) != 8 || png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB ||
        png_get_interlace_type(png, info) != PNG_INTERLACE_NONE)
        png_error(png, "not 8-bit RGB non-interlaced");
    int width = int(png_get_image_width(png, info));
    int height = int(png_get_image_height(png, info));
    std::vector<uint8_t> row(size_t(width) * 3);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (int x = 0; x < width; ++x)
            pixels.push_back((uint32_t(row[3 * x]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x + 2]);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    im.width = width;
    im.height = height;
    im.pixels = std::move(pixels);
    return im;
}

inline DecodedImage readJpeg(const std::string& path) {
    DecodedImage im;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return im;
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    im.width = int(cinfo.output_width);
    im.height = int(cinfo.output_height);
    std::vector<uint8_t> row(size_t(im.width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (int x = 0; x < im.width; ++x)
            im.pixels.push_back((uint32_t(row[3 * x]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x + 2]);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return im;
}

}  // namespace qv::apptest
