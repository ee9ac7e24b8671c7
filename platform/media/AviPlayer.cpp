#include "platform/media/AviPlayer.h"

#include <algorithm>

namespace qv::media {

AviPlayer::AviPlayer(AviFile file, int stream, std::unique_ptr<AviFrameDecoder> decoder)
    : file_(std::move(file)), stream_(stream), decoder_(std::move(decoder)) {}

std::unique_ptr<AviPlayer> AviPlayer::render(const std::string& path, MediaError& error) {
    std::optional<AviFile> file = AviFile::open(path, error);
    if (!file) return nullptr;
    int stream = file->preferredVideoStream();
    std::unique_ptr<AviFrameDecoder> decoder;
    if (stream >= 0) {
        decoder = AviFrameDecoder::open(*file, stream, error);
        if (!decoder) return nullptr;
    }
    return std::unique_ptr<AviPlayer>(new AviPlayer(std::move(*file), stream, std::move(decoder)));
}

int AviPlayer::width() const { return decoder_ ? decoder_->width() : 0; }
int AviPlayer::height() const { return decoder_ ? decoder_->height() : 0; }

double AviPlayer::avgTimePerFrame() const { return file_.mainHeader().dwMicroSecPerFrame / 1e6; }

int64_t AviPlayer::frameCount() const { return decoder_ ? int64_t(decoder_->frameCount()) : 0; }

void AviPlayer::seek(int64_t frame) {
    position_ = std::clamp<int64_t>(frame, 0, std::max<int64_t>(0, frameCount() - 1));
}

void AviPlayer::pause() {
    state_ = State::Paused;
    present();
}

void AviPlayer::present() {
    if (!decoder_ || position_ == shownIndex_) return;
    MediaError error;
    ++decodes_;
    shown_ = decoder_->frame(position_, error);
    shownIndex_ = shown_ ? position_ : -1;
}

PackedDib AviPlayer::currentImage() const {
    if (shown_) return toBgrx32(*shown_);
    return PackedDib(std::max(1, width()), std::max(1, height()), 32);
}

}  // namespace qv::media
