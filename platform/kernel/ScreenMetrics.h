#pragma once
// The screen as the program sees it: 96 DPI logical, 15 twips a pixel. The front end sets the real
// size; tests may set anything.
namespace qv::kernel {

struct ScreenMetrics {
    int widthPx = 1920;
    int heightPx = 1080;
    int bitsPerPixel = 32;
    int twipsPerPixelX = 15;
    int twipsPerPixelY = 15;
    int widthMm() const noexcept { return (widthPx * 254 + 480) / 960; }    // 96 DPI: 1920 -> 508
    int heightMm() const noexcept { return (heightPx * 254 + 480) / 960; }
    int widthTwips() const noexcept { return widthPx * twipsPerPixelX; }
    int heightTwips() const noexcept { return heightPx * twipsPerPixelY; }
};

ScreenMetrics screenMetrics();
void setScreenMetrics(const ScreenMetrics& metrics);
void resetScreenMetrics();

} // namespace qv::kernel
