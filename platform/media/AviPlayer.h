#pragma once
// The synchronous player that stands in for a filter graph: one AVI file, its preferred video
// stream and that stream's decoder. Positions are frame indexes, so a seek never lands on the
// frame before the one asked for; a pause shows the frame at the position at once, and
// nothing waits or polls.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/media/AviFile.h"
#include "platform/media/AviFrameDecoder.h"
#include "platform/media/MediaError.h"
#include "platform/media/PackedDib.h"

namespace qv::media {

class AviPlayer {
public:
    enum class State { Stopped = 0, Paused = 1, Running = 2 };

    // Opens the file and the decoder of its preferred video stream. Null (with the error) when
    // the file is refused or its coding has no decoder. A file without a video stream opens,
    // but hasVideo() is false.
    static std::unique_ptr<AviPlayer> render(const std::string& path, MediaError& error);

    bool hasVideo() const { return decoder_ != nullptr; }
    int width() const;
    int height() const;
    // The main header's time per frame in seconds; 0 when it gives none.
    double avgTimePerFrame() const;
    // Frames of the video stream, dropped ones included.
    int64_t frameCount() const;
    const AviFile& file() const { return file_; }

    State state() const { return state_; }
    int64_t position() const { return position_; }
    // Moves to a frame (clamped to the stream); shows nothing until the next pause.
    void seek(int64_t frame);
    // Shows the frame at the position: the picture, or nothing when it cannot be read or
    // decoded. The frame shown last is not decoded again.
    void pause();
    void run() { state_ = State::Running; }
    // Shows the frame at the position without changing the state (a running player).
    void present();
    // The frame on show, as decoded (null when none).
    const PackedDib* shown() const { return shown_ ? &*shown_ : nullptr; }
    // The frame on show as a 32-bit packed DIB; a black picture when none is shown.
    PackedDib currentImage() const;
    // Frames decoded so far.
    int decodes() const { return decodes_; }

private:
    AviPlayer(AviFile file, int stream, std::unique_ptr<AviFrameDecoder> decoder);
    AviFile file_;
    int stream_ = -1;
    std::unique_ptr<AviFrameDecoder> decoder_;
    State state_ = State::Stopped;
    int64_t position_ = 0;
    int64_t shownIndex_ = -1;
    std::optional<PackedDib> shown_;
    int decodes_ = 0;
};

}  // namespace qv::media
