// AVI exports: the file information record, and one frame of the preferred video stream drawn
// stretched over a window.
//
// Status codes of CAM_DISPBITMAP: 0 success (and, as before, "no streams" and "no decoder for
// the stream"), the stream count when the file has no video stream, and
//   -1  the file cannot be opened or is not a readable AVI file,
//   -2  frame k does not exist or cannot be decoded (nothing is drawn).
#include "library/trelm.h"

#include "library/ExportGuard.h"

#include "platform/gdi/Gdi.h"
#include "platform/kernel/Encoding.h"
#include "platform/media/AviFile.h"
#include "platform/media/AviFrameDecoder.h"

#include <cstring>

namespace {

constexpr int32_t kStatusCannotOpen = -1;
constexpr int32_t kStatusNoFrame = -2;

std::optional<qv::media::AviFile> openAvi(const char* path) {
    if (!path) return std::nullopt;
    qv::media::MediaError error;
    return qv::media::AviFile::open(qv::kernel::cp932ToUtf8(path), error);
}

int32_t dispBitmap(int32_t window, const char* path, int32_t frame);

}  // namespace

using namespace qv::gdi;

extern "C" {

void CAM_GETAVIINFO(const char* path, void* info) {
    trelm::guardedExport([&] {
        const auto avi = openAvi(path);
        if (!avi || !info) return;  // an unreadable file leaves the caller's record as it was
        const qv::media::AviFileInfo record = avi->fileInfo();
        std::memcpy(info, &record, sizeof record);
    });
}

int32_t CAM_DISPBITMAP(int32_t window, const char* path, int32_t frame) {
    return trelm::guardedExport(kStatusCannotOpen, [&] { return dispBitmap(window, path, frame); });
}

}  // extern "C"

namespace {

int32_t dispBitmap(int32_t window, const char* path, int32_t frame) {
    const auto avi = openAvi(path);
    if (!avi) return kStatusCannotOpen;
    if (avi->streams().empty()) return 0;
    const int stream = avi->preferredVideoStream();
    if (stream < 0) return static_cast<int32_t>(avi->streams().size());
    qv::media::MediaError error;
    auto decoder = qv::media::AviFrameDecoder::open(*avi, stream, error);
    if (!decoder) return 0;
    if (frame > 0) decoder->frame(frame - 1, error);  // the frame before, decoded and dropped
    const auto dib = decoder->frame(frame, error);
    if (!dib) return kStatusNoFrame;

    BITMAPINFO bmi{};
    bmi.bmiHeader = dib->header();
    std::memcpy(bmi.bmiColors, dib->data() + qv::media::kBitmapInfoHeaderSize,
                4 * dib->colourCount());
    RECT outer{};
    GetWindowRect(window, &outer);
    const HDC dc = GetDC(window);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, outer.right - outer.left, outer.bottom - outer.top, 0, 0,
                  dib->width(), dib->height(), dib->pixels(), &bmi, DIB_RGB_COLORS, SRCCOPY,
                  dib->size() - dib->pixelOffset());
    ReleaseDC(window, dc);
    return 0;
}

}  // namespace

extern "C" {

void CAM_GETMEDIACONTROL(int32_t* out) { *out = 0; }

void CAM_TEST(int32_t) {}

}  // extern "C"
