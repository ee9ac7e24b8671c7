#pragma once
// The image library the bitmap converter writes its files with: captures a rectangle of a
// device context as an in-memory 24-bit DIB and writes it as a BMP, JPEG or PNG file. Every
// writer returns non-zero on success and keeps its error code for ImgctlError; files are
// written whole (a temporary file renamed over the target).
#include <cstdint>
#include <string>

namespace qv {

// The codes ImgctlError gives back: a failure of any call, or 0 after a successful write.
enum ImgctlErrorCode : int32_t {
    imgctlOK = 0,
    imgctlBadHandle = 1,     // not a DIB of this library
    imgctlBadSource = 2,     // no such device context, or an empty or oversized rectangle
    imgctlNoFileName = 3,
    imgctlWriteFailed = 4,   // the file could not be encoded or written
};

// A new DIB copied from (x, y, width, height) of the context's surface; pixels outside the
// surface are black. 0 on failure.
int32_t DCtoDIB(int32_t hdc, int32_t x, int32_t y, int32_t width, int32_t height);
int32_t DIBtoBMP(const std::string& fileName, int32_t dib);
// Baseline JPEG at quality clamp(quality, 1, 100); the last argument is not used.
int32_t DIBtoJPG(const std::string& fileName, int32_t dib, int32_t quality, int32_t flags);
// 8-bit RGB, non-interlaced PNG; the last argument is not used.
int32_t DIBtoPNG(const std::string& fileName, int32_t dib, int32_t flags);
int32_t ImgctlError();
// Releases the DIB; non-zero when it existed.
int32_t DeleteDIB(int32_t dib);

}  // namespace qv
