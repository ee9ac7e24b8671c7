#pragma once
// One player of a camera video (AVI) inside a picture box: shows single frames by index,
// plays at a fixed rate for debugging, and saves the shown frame as a BMP file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/forms/Event.h"
#include "platform/media/AviPlayer.h"

namespace qv {

class CAVI {
public:
    CAVI();
    ~CAVI();
    CAVI(const CAVI&) = delete;
    CAVI& operator=(const CAVI&) = delete;

    // Plays from frame 23 at a fixed rate until paused or the end of the stream.
    void Run();
    int32_t FlameNum() const;
    bool IsAVIOK() const { return isAVIOK_; }
    const std::string& Name() const { return name_; }
    void setName(const std::string& v) { name_ = v; }
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool v) { autoSize_ = v; }
    // Binds the picture box: twips, its border, and its size when AutoSize is set.
    void setPictureBox(forms::PictureBox& box);
    forms::PictureBox* PictureBox() const { return box_; }
    int32_t Duration() const;         // whole seconds; 91 before a load
    float CurrentPosition() const;    // seconds; 91 before a load
    int32_t VideoWidth() const { return videoWidth_; }
    int32_t VideoHeight() const { return videoHeight_; }
    const std::string& AVIFileName() const { return aviFileName_; }
    void setAVIFileName(const std::string& v) { aviFileName_ = v; }

    // Opens AVIFileName; the video at its native size in the box's top-left corner (Init) or
    // scaled to the box's inner area (Stretch).
    void Init();
    void Stretch();
    // Shows frame `frame` (clamped to the video, written back); the second argument is unused.
    void DispFlame(int32_t& frame, int32_t unused = 0);
    // The library draws frame 0 of AVIFileName over `window`; the first argument is unused.
    int32_t DispFlame2(int32_t unused, int32_t window);
    // Shows the frame and saves it as a 24-bit BMP file.
    void SaveBMP(int32_t& frame, const std::string& path);
    // The library saves the picture box's window as a BMP file; the first argument is unused.
    void SaveBMPDispPicture(int32_t unused, const std::string& path);

    // The check and save of SaveBMP for a given current image (a packed DIB as 32-bit words):
    // only 32-bit images are drawn and saved, any other shows "未サポートの形式です。".
    void SaveImage(const std::vector<int32_t>& image, const std::string& path);
    // Frames decoded so far (0 without a file).
    int decodes() const { return player_ ? player_->decodes() : 0; }
    // The video window in the box's pixels.
    forms::PixelRect videoWindow() const { return window_; }

private:
    void render(bool stretch);
    void sizeBox();
    void drawFrame();
    void blacken();
    void DispImageArray(const std::vector<int32_t>& image, int width, int height);

    std::unique_ptr<media::AviPlayer> player_;
    float frameTime_ = 0;
    double duration_ = 0;   // seconds, exact from the header
    forms::PictureBox* box_ = nullptr;
    forms::ScopedConnection repaint_;
    std::string aviFileName_;
    int32_t videoWidth_ = 0;
    int32_t videoHeight_ = 0;
    bool autoSize_ = false;
    std::string name_;
    int32_t lastFrame_ = -1;
    bool isAVIOK_ = false;
    int32_t borderWidth_ = 0;
    int32_t borderHeight_ = 0;
    forms::PixelRect window_;
};

}  // namespace qv
