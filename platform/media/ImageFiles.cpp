#include "platform/media/ImageFiles.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <png.h>

#include "platform/gdi/Bmp.h"

namespace qv::media {

namespace {

bool valid(const gdi::Surface& im) {
    return im.width() > 0 && im.height() > 0;
}

// One row as R, G, B bytes.
void rgbRow(const gdi::Surface& im, int y, std::vector<uint8_t>& out) {
    const uint32_t* in = im.row(y);
    for (int x = 0; x < im.width(); ++x) {
        out[3 * size_t(x)] = uint8_t(in[x] >> 16);
        out[3 * size_t(x) + 1] = uint8_t(in[x] >> 8);
        out[3 * size_t(x) + 2] = uint8_t(in[x]);
    }
}

// libjpeg reports fatal errors through error_exit; it must not return, so it jumps back.
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void jpegErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void pngFlush(png_structp) {}

}  // namespace

std::vector<uint8_t> encodeJpeg(const gdi::Surface& image, int quality) {
    if (!valid(image)) return {};
    jpeg_compress_struct cinfo{};
    JpegError err{};
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpegErrorExit;
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    std::vector<uint8_t> row(size_t(image.width()) * 3);
    // Nothing with a destructor is created between setjmp and the calls that may jump.
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(mem);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &mem, &memSize);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        rgbRow(image, int(cinfo.next_scanline), row);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out(mem, mem + memSize);
    jpeg_destroy_compress(&cinfo);
    std::free(mem);
    return out;
}

std::vector<uint8_t> encodePng(const gdi::Surface& image) {
    if (!valid(image)) return {};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return {};
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> out;
    std::vector<uint8_t> row(size_t(image.width()) * 3);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return {};
    }
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y) {
        rgbRow(image, y, row);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool writeJpegFile(const std::string& path, const gdi::Surface& image, int quality) {
    std::vector<uint8_t> bytes = encodeJpeg(image, quality);
    return !bytes.empty() && gdi::writeFileReplacing(path, bytes);
}

bool writePngFile(const std::string& path, const gdi::Surface& image) {
    std::vector<uint8_t> bytes = encodePng(image);
    return !bytes.empty() && gdi::writeFileReplacing(path, bytes);
}

}  // namespace qv::media
