#include "app/camera/CAVI.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/common/TrelmImports.h"
#include "app/common/modFile.h"
#include "platform/basic/Convert.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Picture.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Encoding.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/Time.h"

namespace qv {

using basic::raiseError;

namespace {

// The interface error a filter graph gives when the file it rendered has no video.
constexpr int kErrNoInterface = int32_t(0x80004002u);
constexpr double kRunRate = 0.811543836646667;
constexpr int64_t kRunStartFrame = 23;
constexpr float kRunStopPosition = 244.2333334f;

}  // namespace

CAVI::CAVI() = default;
CAVI::~CAVI() = default;

void CAVI::sizeBox() {
    forms::PictureBox& b = *box_;
    b.setScaleMode(forms::vbTwips);
    borderWidth_ = basic::roundToInt32(b.Width() - b.ScaleWidth());
    borderHeight_ = basic::roundToInt32(b.Height() - b.ScaleHeight());
    if (autoSize_)
        b.Move(b.Left(), b.Top(), forms::Screen.TwipsPerPixelX() * videoWidth_ + borderWidth_,
               forms::Screen.TwipsPerPixelY() * videoHeight_ + borderHeight_);
}

void CAVI::setPictureBox(forms::PictureBox& box) {
    box_ = &box;
    repaint_ = box.Paint.connect([this] { drawFrame(); });
    sizeBox();
}

void CAVI::Init() { render(false); }
void CAVI::Stretch() { render(true); }

void CAVI::render(bool stretch) {
    // A new graph every time: what was loaded before is released first.
    player_.reset();
    isAVIOK_ = false;
    std::string found = FindFile(aviFileName_, true);
    if (found.empty()) return;
    media::MediaError error;
    std::unique_ptr<media::AviPlayer> player = media::AviPlayer::render(kernel::toLinuxPath(found), error);
    if (!player) return;  // refused, or no decoder for its coding: silently not OK
    if (!player->hasVideo()) raiseError(kErrNoInterface, "ビデオストリームがありません。");
    // The frame time comes from the header, else from the stream's rate; a time of 0 or one
    // that is not finite would divide by zero later, so such a file is not OK. The duration is
    // the frames times the exact time of the same source, not the 32-bit frame time (25 frames
    // of 0.1 s last 2.5 s, not 2.50000004 s, and round to 2).
    const double frames = double(player->frameCount());
    float frameTime = float(player->avgTimePerFrame());
    double duration = frames * player->file().mainHeader().dwMicroSecPerFrame / 1e6;
    if (frameTime == 0) {
        media::AviFileInfo info{};
        Trelm::CAM_GETAVIINFO(kernel::utf8ToCp932(aviFileName_).c_str(), &info);
        frameTime = float(info.dwScale) / float(info.dwRate);
        duration = frames * info.dwScale / info.dwRate;
    }
    if (!std::isfinite(frameTime) || frameTime <= 0) return;
    if (!box_) raiseError(basic::errObjectNotSet);

    videoWidth_ = player->width();
    videoHeight_ = player->height();
    frameTime_ = frameTime;
    duration_ = duration;
    player_ = std::move(player);
    sizeBox();
    if (stretch)
        window_ = {0, 0, basic::roundToInt32(box_->ScaleWidth() / forms::Screen.TwipsPerPixelX()),
                   basic::roundToInt32(box_->ScaleHeight() / forms::Screen.TwipsPerPixelY())};
    else
        window_ = {0, 0, videoWidth_, videoHeight_};
    isAVIOK_ = true;
    // Run, then pause: the player stands on its first frame.
    player_->run();
    player_->seek(0);
    player_->pause();
    drawFrame();
    lastFrame_ = -1;
}

void CAVI::blacken() {
    if (!box_) return;
    box_->setBackColor(forms::rgb(0, 0, 0));
    box_->setForeColor(forms::rgb(0, 0, 0));
    box_->Cls();
}

void CAVI::drawFrame() {
    if (!box_ || !player_ || !isAVIOK_) return;
    const media::PackedDib* frame = player_->shown();
    auto target = box_->surface();
    if (!target) return;
    if (!frame) {  // the frame could not be read or decoded
        blacken();
        return;
    }
    media::PackedDib bgrx = media::toBgrx32(*frame);
    gdi::Surface pixels(bgrx.width(), bgrx.height());
    for (int y = 0; y < bgrx.height(); ++y)
        std::memcpy(pixels.row(y), bgrx.row(y), 4 * size_t(bgrx.width()));
    forms::stretchCopy(pixels, *target, window_.left, window_.top, window_.width(), window_.height());
    box_->invalidate();
}

int32_t CAVI::FlameNum() const {
    if (!player_) return 0;
    return basic::roundToInt32(duration_ / frameTime_);
}

int32_t CAVI::Duration() const {
    if (!player_) raiseError(basic::errObjectNotSet);
    return basic::roundToInt32(duration_);
}

float CAVI::CurrentPosition() const {
    if (!player_) raiseError(basic::errObjectNotSet);
    return float(double(player_->position()) * double(frameTime_));
}

void CAVI::DispFlame(int32_t& frame, int32_t /*unused*/) {
    if (!isAVIOK_ || !player_) {
        blacken();
        return;
    }
    if (frame == lastFrame_) return;
    if (frame < 0) frame = 0;
    double last = duration_ / frameTime_ - 1;
    if (frame > last) frame = basic::roundToInt32(last);
    // By index, so float rounding of the time can never show the frame before.
    frame = int32_t(std::clamp<int64_t>(frame, 0, std::max<int64_t>(0, player_->frameCount() - 1)));
    player_->seek(frame);
    player_->pause();
    drawFrame();
    lastFrame_ = frame;
}

void CAVI::Run() {
    if (!player_) raiseError(basic::errObjectNotSet);
    media::AviPlayer* player = player_.get();
    const int64_t frames = player->frameCount();
    const uint32_t t0 = kernel::tickCount();
    lastFrame_ = -1;
    player->seek(kRunStartFrame);
    player->run();
    for (;;) {
        double elapsed = double(kernel::tickCount() - t0) / 1000.0;
        int64_t n = kRunStartFrame + int64_t(std::floor(kRunRate * elapsed / frameTime_));
        bool atEnd = n >= frames - 1;
        player->seek(n);
        player->present();
        drawFrame();
        if (atEnd) {
            player->pause();
            return;
        }
        forms::DoEvents();
        // A handler may have paused the player (DispFlame) or replaced it (Init).
        if (player_.get() != player || player->state() == media::AviPlayer::State::Paused) return;
        if (CurrentPosition() == kRunStopPosition) return;
        // Wait for the next frame's time, never longer.
        double next = double(n + 1 - kRunStartFrame) * frameTime_ / kRunRate;
        int64_t waitMs = int64_t(std::ceil(next * 1000.0)) - int64_t(kernel::tickCount() - t0);
        kernel::sleepMs(uint32_t(std::clamp<int64_t>(waitMs, 1, 60000)));
    }
}

void CAVI::SaveBMP(int32_t& frame, const std::string& path) {
    DispFlame(frame);
    if (!player_ || !isAVIOK_) raiseError(basic::errObjectNotSet);
    media::PackedDib image = player_->currentImage();
    std::vector<int32_t> words(size_t(videoWidth_) * size_t(videoHeight_) + 10, 0);
    std::memcpy(words.data(), image.data(), std::min(image.size(), 4 * words.size()));
    SaveImage(words, path);
}

void CAVI::SaveImage(const std::vector<int32_t>& image, const std::string& path) {
    if (!box_) raiseError(basic::errObjectNotSet);
    bool supported = image.size() >= 10 + size_t(videoWidth_) * size_t(videoHeight_) &&
                     image[0] == 40 && uint32_t(image[3]) == 0x00200001u;
    if (!supported) {
        forms::MsgBox("未サポートの形式です。", forms::vbOKOnly);
        return;
    }
    DispImageArray(image, videoWidth_, videoHeight_);
    forms::SavePicture(box_->Image(), path);
}

void CAVI::DispImageArray(const std::vector<int32_t>& image, int width, int height) {
    forms::PictureBox& b = *box_;
    b.AutoRedraw = true;
    b.setScaleMode(forms::vbTwips);
    int32_t bw = basic::roundToInt32(b.Width() - b.ScaleWidth());
    int32_t bh = basic::roundToInt32(b.Height() - b.ScaleHeight());
    b.Move(b.Left(), b.Top(), forms::Screen.TwipsPerPixelX() * width + bw,
           forms::Screen.TwipsPerPixelY() * height + bh);
    b.setScaleMode(forms::vbPixels);
    auto s = b.surface();
    if (!s) return;
    // Rows run bottom-up; red, green and blue are the pixel word's bytes, taken unsigned.
    size_t at = 10;
    for (int y = 0; y < height; ++y) {
        int row = height - 1 - y;
        for (int x = 0; x < width; ++x, ++at) {
            uint32_t c = uint32_t(image[at]);
            if (row < s->height() && x < s->width()) s->row(row)[x] = c & 0xFFFFFFu;
        }
    }
    s->markChanged(gdi::RECT{0, 0, s->width(), s->height()});
    b.invalidate();
}

void CAVI::SaveBMPDispPicture(int32_t /*unused*/, const std::string& path) {
    if (!box_) raiseError(basic::errObjectNotSet);
    Trelm::SAVEIMAGE(box_->hWnd(), kernel::utf8ToCp932(path).c_str(), 0);
}

int32_t CAVI::DispFlame2(int32_t /*unused*/, int32_t window) {
    return Trelm::CAM_DISPBITMAP(window, kernel::utf8ToCp932(aviFileName_).c_str(), 0);
}

}  // namespace qv
