#pragma once
// Motion-JPEG videos for the player's tests, the benches and the sample recording: each chunk a
// baseline JPEG (the coding libavcodec decodes as MJPEG), drawn frame by frame or one solid
// colour a frame.
#include <cstdint>
#include <functional>
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

// A Motion-JPEG video whose frame k is what draw(picture, k) paints into a width x height
// picture, at the given quality.
inline std::vector<uint8_t> mjpegAvi(int width, int height, int frames, uint32_t microSecPerFrame,
                                     const std::function<void(gdi::Surface&, int)>& draw, int quality = 95) {
    mediatest::TestStream s;
    s.twoCC = "dc";
    s.rate = microSecPerFrame > 0 ? (1000000 + microSecPerFrame / 2) / microSecPerFrame : 25;
    s.format = mediatest::bitmapFormat(width, height, 24, "MJPG");
    gdi::Surface picture(width, height);
    for (int k = 0; k < frames; ++k) {
        draw(picture, k);
        s.chunks.push_back(media::encodeJpeg(picture, quality));
    }
    mediatest::AviLayout layout;
    layout.microSecPerFrame = microSecPerFrame;
    layout.width = uint32_t(width);
    layout.height = uint32_t(height);
    return mediatest::buildAvi({s}, layout);
}

// Every frame one solid colour, videoFrameColour(k).
inline std::vector<uint8_t> mjpegAvi(int width, int height, int frames, uint32_t microSecPerFrame) {
    return mjpegAvi(width, height, frames, microSecPerFrame,
                    [](gdi::Surface& p, int k) { p.fill(gdi::pixelToColor(videoFrameColour(k))); });
}

}  // namespace qv::apptest
