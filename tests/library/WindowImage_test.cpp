// SAVEIMAGE: the capture rectangle and the bytes of the BMP file.
#include "PlotTestSupport.h"

#include "library/trelm.h"

#include "platform/kernel/ScreenMetrics.h"
#include "tests/platform/media/MediaTestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using namespace plottest;

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

class WindowImage : public ::testing::Test {
protected:
    void TearDown() override { qv::kernel::resetScreenMetrics(); }
    mediatest::TempDir dir;
    // A 400 x 300 client area inside a 408 x 334 window: a 4-pixel frame and a 26-pixel caption.
    TestWindow win{400, 300, 0x00FF00, 4, 26};
};

TEST_F(WindowImage, SavesClientWidthByOuterHeightLessFiveEndingAtTheClientBottom) {
    win.surface->row(0)[10] = 0xFF0000;  // red at client (10, 0)
    const std::string path = dir.file("shot.bmp");
    SAVEIMAGE(win.hwnd, path.c_str(), 0);
    const std::vector<uint8_t> b = readFile(path);
    const uint32_t image = 400 * 4 * 329;
    ASSERT_EQ(b.size(), 54 + image);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), 54 + image);
    EXPECT_EQ(u32(b, 10), 54u);
    EXPECT_EQ(u32(b, 14), 40u);
    EXPECT_EQ(u32(b, 18), 400u);
    EXPECT_EQ(u32(b, 22), 329u);
    EXPECT_EQ(b[28], 32);
    EXPECT_EQ(u32(b, 34), image);
    // Image row 29 (file row 299 from the bottom) is client row 0; rows above it are black.
    auto pixel = [&](int x, int row) { return u32(b, 54 + (static_cast<size_t>(328 - row) * 400 + x) * 4) & 0xFFFFFF; };
    EXPECT_EQ(pixel(10, 29), 0xFF0000u);
    EXPECT_EQ(pixel(11, 29), 0x00FF00u);
    EXPECT_EQ(pixel(10, 28), 0u);
    EXPECT_EQ(pixel(399, 328), 0x00FF00u);
}

TEST_F(WindowImage, EightBitScreenWritesThePaletteFirst) {
    qv::kernel::ScreenMetrics m = qv::kernel::screenMetrics();
    m.bitsPerPixel = 8;
    qv::kernel::setScreenMetrics(m);
    const std::string path = dir.file("pal.bmp");
    SAVEIMAGE(win.hwnd, path.c_str(), 0);
    const std::vector<uint8_t> b = readFile(path);
    ASSERT_EQ(b.size(), 1078u + 400 * 329);
    EXPECT_EQ(u32(b, 10), 1078u);
    EXPECT_EQ(b[28], 8);
    const PALETTEENTRY p = systemPalette()[5];
    EXPECT_EQ(b[54 + 4 * 5], p.peBlue);
    EXPECT_EQ(b[54 + 4 * 5 + 1], p.peGreen);
    EXPECT_EQ(b[54 + 4 * 5 + 2], p.peRed);
}

TEST(WindowImageEdge, NoImageForAWindowFiveRowsHighOrLess) {
    mediatest::TempDir dir;
    TestWindow flat{100, 5};
    const std::string path = dir.file("flat.bmp");
    SAVEIMAGE(flat.hwnd, path.c_str(), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    SAVEIMAGE(flat.hwnd, nullptr, 0);
}

}  // namespace
