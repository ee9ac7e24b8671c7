#pragma once

#include "platform/media/AviFile.h"
#include "platform/media/MediaError.h"
#include "platform/media/PackedDib.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace qv::media {

// Decodes the frames of one video stream of an AVI file by frame index.
//
// Frames come as packed bottom-up DIBs in the format the stream suggests when nothing is
// requested: uncompressed pictures keep their bit depth and colour table, pictures of every
// other coding (MJPEG, MPEG-4, ...) are decoded through libavcodec into 24 bits per pixel.
// A zero-length chunk (a dropped frame) shows the picture before it. Decoding the next frame
// after the last one continues from the decoder's state; any other frame starts again from the
// nearest key frame at or before it with a decoder as new, so each index always gives the
// same picture, also in a damaged file.
class AviFrameDecoder {
public:
    // Fails with NotFound when the stream is not a video stream, with Unsupported when its
    // coding has no decoder here, with Inconsistent when its picture format is impossible.
    static std::unique_ptr<AviFrameDecoder> open(const AviFile& file, int stream, MediaError& error);
    ~AviFrameDecoder();
    AviFrameDecoder(const AviFrameDecoder&) = delete;
    AviFrameDecoder& operator=(const AviFrameDecoder&) = delete;

    size_t frameCount() const;
    int width() const;
    int height() const;

    // Frame `index`, or no frame for an index outside 0..frameCount()-1, for a frame that
    // cannot be read or decoded, and for dropped frames before the first picture; error says
    // which.
    std::optional<PackedDib> frame(int64_t index, MediaError& error);

    class Impl;

private:
    explicit AviFrameDecoder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace qv::media
