#pragma once
// Motion-JPEG videos for the player's tests and bench: every frame one solid colour, each
// chunk a baseline JPEG (the coding libavcodec decodes as MJPEG).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/media/ImageFiles.h"
#include "tests/platform/media/MediaTestFiles.h"

namespace qv::apptest {

// Frame k's colour, 0x00RRGGBB.
inline uint32_t videoFrameColour(int k) {
    return uint32_t(k % 256) << 16 | uint32_t(255 - k % 256) << 8 | uint32_t(7 * k % 256);
}

inline std::vector<uint8_t> mjpegAvi(int width, int height, int frames, uint32_t microSecPerFrame) {
    mediatest::TestStream s;
    s.twoCC = "dc";
    s.format = mediatest::bitmapFormat(width, height, 24, "MJPG");
    for (int k = 0; k < frames; ++k) {
        gdi::Surface picture(width, height, gdi::pixelToColor(videoFrameColour(k)));
        s.chunks.push_back(media::encodeJpeg(picture, 95));
    }
    mediatest::AviLayout layout;
    layout.microSecPerFrame = microSecPerFrame;
    layout.width = uint32_t(width);
    layout.height = uint32_t(height);
    return mediatest::buildAvi({s}, layout);
}

}  // namespace qv::apptest
