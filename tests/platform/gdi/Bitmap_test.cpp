// DIB sections, BitBlt, StretchDIBits and BMP files.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "GdiTestSupport.h"
#include "platform/gdi/Bmp.h"
#include "platform/kernel/ScreenMetrics.h"

using namespace qv::gdi;
using qv::gdi::test::Canvas;

namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
           (uint32_t(b[at + 3]) << 24);
}

std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string tempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

BITMAPINFO dibInfo(int w, int h, int bits) {
    BITMAPINFO bi;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biBitCount = uint16_t(bits);
    const auto& pal = systemPalette();
    for (int i = 0; i < 256; ++i)
        bi.bmiColors[i] = RGBQUAD{pal[size_t(i)].peBlue, pal[size_t(i)].peGreen, pal[size_t(i)].peRed, 0};
    return bi;
}

// The window-image capture: a client area copied with the rows above it, into a DIB section of
// the screen's depth, written as BMP.
std::vector<uint8_t> captureToBmp(int bits, const std::string& path) {
    qv::kernel::ScreenMetrics m = qv::kernel::screenMetrics();
    m.bitsPerPixel = bits;
    qv::kernel::setScreenMetrics(m);
    auto s = std::make_shared<Surface>(400, 300, 0xFFFFFF);
    WindowDesc d;
    d.client = RECT{4, 30, 404, 330};
    d.outer = RECT{0, 0, 408, 334};
    d.surface = s;
    HWND w = registerWindow(d);
    HDC src = GetDC(w);
    RECT client, outer;
    GetClientRect(w, &client);
    GetWindowRect(w, &outer);
    int cw = client.right, ch = client.bottom, wh = outer.bottom - outer.top;
    BITMAPINFO bi = dibInfo(cw, wh - 5, GetDeviceCaps(src, BITSPIXEL));
    void* bitsPtr = nullptr;
    HDC mem = CreateCompatibleDC(src);
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bitsPtr);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, cw, wh - 5, src, 0, ch - wh + 5, SRCCOPY);
    SelectObject(mem, old);
    EXPECT_TRUE(writeBmpFile(path, dib));
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(w, src);
    unregisterWindow(w);
    m.bitsPerPixel = 32;
    qv::kernel::setScreenMetrics(m);
    return fileBytes(path);
}

}  // namespace

TEST(GdiBmp, ThirtyTwoBitCaptureHasNoColourTable) {
    std::string path = tempPath("qv_gdi_capture32.bmp");
    auto b = captureToBmp(32, path);
    ASSERT_EQ(b.size(), 526454u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le32(b, 2), 526454u);
    EXPECT_EQ(le32(b, 6), 0u);
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ(le32(b, 14), 40u);
    EXPECT_EQ(le32(b, 18), 400u);
    EXPECT_EQ(le32(b, 22), 329u);
    EXPECT_EQ(le32(b, 26), 1u | (32u << 16));
    EXPECT_EQ(le32(b, 30), 0u);
    EXPECT_EQ(le32(b, 34), 400u * 4 * 329);
    for (size_t at = 38; at < 54; at += 4) EXPECT_EQ(le32(b, at), 0u);
    // Bottom-up: the file's first row is the client's bottom row (white); its last row lies
    // above the client area and reads black.
    EXPECT_EQ(le32(b, 54) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(le32(b, 54 + 328 * 1600) & 0xFFFFFF, 0u);
    EXPECT_EQ(le32(b, 54 + 29 * 1600) & 0xFFFFFF, 0xFFFFFFu);  // the client's top row
    EXPECT_EQ(le32(b, 54 + 28 * 1600) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(le32(b, 54 + 300 * 1600) & 0xFFFFFF, 0u);  // 29 rows above the client
    auto r = readBmpFile(path);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.image.pixels[0], 0u);
    EXPECT_EQ(r.image.pixels[size_t(29) * 400], 0xFFFFFFu);
    std::remove(path.c_str());
}

TEST(GdiBmp, EightBitCaptureCarriesTheSystemPalette) {
    std::string path = tempPath("qv_gdi_capture8.bmp");
    auto b = captureToBmp(8, path);
    ASSERT_EQ(b.size(), 1078u + 400u * 329u);
    EXPECT_EQ(le32(b, 10), 1078u);
    EXPECT_EQ(le32(b, 26), 1u | (8u << 16));
    const auto& pal = systemPalette();
    for (size_t i = 0; i < 256; ++i) {
        ASSERT_EQ(b[54 + 4 * i], pal[i].peBlue);
        ASSERT_EQ(b[54 + 4 * i + 1], pal[i].peGreen);
        ASSERT_EQ(b[54 + 4 * i + 2], pal[i].peRed);
        ASSERT_EQ(b[54 + 4 * i + 3], 0);
    }
    auto r = readBmp(b);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.image.pixels[0], 0u);                          // black above the client
    EXPECT_EQ(r.image.pixels[size_t(100) * 400 + 5], 0xFFFFFFu);  // white is in the palette
    std::remove(path.c_str());
}

TEST(GdiBmp, EveryDepthRoundTripsThroughDibSectionsAndFiles) {
    const COLORREF colours[4] = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00};
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (int height : {5, -5}) {
            BITMAPINFO bi = dibInfo(13, height, bits);
            if (bits == 1) {
                bi.bmiColors[0] = RGBQUAD{0, 0, 0, 0};
                bi.bmiColors[1] = RGBQUAD{255, 255, 255, 0};
            }
            if (bits == 4)
                for (int i = 0; i < 4; ++i)
                    bi.bmiColors[i] = RGBQUAD{uint8_t(GetBValue(colours[i])),
                                              uint8_t(GetGValue(colours[i])),
                                              uint8_t(GetRValue(colours[i])), 0};
            void* p = nullptr;
            HBITMAP dib = CreateDIBSection(0, &bi, DIB_RGB_COLORS, &p);
            ASSERT_NE(dib, 0) << bits;
            ASSERT_NE(p, nullptr);
            HDC mem = CreateCompatibleDC(0);
            SelectObject(mem, dib);
            int n = bits == 1 ? 2 : 4;
            for (int x = 0; x < 13; ++x)
                for (int y = 0; y < 5; ++y) SetPixel(mem, x, y, colours[(x + y) % n]);
            for (int x = 0; x < 13; ++x)
                for (int y = 0; y < 5; ++y)
                    ASSERT_EQ(GetPixel(mem, x, y), colours[(x + y) % n]) << bits << " " << x << "," << y;
            std::string path = tempPath("qv_gdi_depth.bmp");
            ASSERT_TRUE(writeBmpFile(path, dib));
            auto r = readBmpFile(path);
            ASSERT_TRUE(r.ok) << r.error;
            EXPECT_EQ(r.image.bitCount, bits);
            ASSERT_EQ(r.image.width, 13);
            ASSERT_EQ(r.image.height, 5);
            for (int x = 0; x < 13; ++x)
                for (int y = 0; y < 5; ++y)
                    ASSERT_EQ(pixelToColor(r.image.pixels[size_t(y) * 13 + size_t(x)]),
                              colours[(x + y) % n]) << bits << " " << height;
            std::remove(path.c_str());
            DeleteDC(mem);
            DeleteObject(dib);
        }
    }
}

TEST(GdiBmp, SixteenBitDibsStoreFiveFiveFive) {
    BITMAPINFO bi = dibInfo(2, 1, 16);
    void* p = nullptr;
    HBITMAP dib = CreateDIBSection(0, &bi, DIB_RGB_COLORS, &p);
    HDC mem = CreateCompatibleDC(0);
    SelectObject(mem, dib);
    SetPixel(mem, 0, 0, 0x0000FF);  // red
    SetPixel(mem, 1, 0, 0xFF0000);  // blue
    const auto* w = static_cast<const uint16_t*>(p);
    EXPECT_EQ(w[0], 0x7C00);
    EXPECT_EQ(w[1], 0x001F);
    DeleteDC(mem);
    DeleteObject(dib);
}

TEST(GdiBmp, ReaderHonoursTheOffsetAndRefusesBrokenFiles) {
    // A 2 x 2 24-bit file with 6 spare bytes between the headers and the pixels.
    BITMAPINFOHEADER h;
    h.biWidth = 2;
    h.biHeight = 2;
    h.biBitCount = 24;
    uint8_t px[16] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    auto good = encodeBmp(h, nullptr, px);
    ASSERT_EQ(good.size(), 54u + 16u);
    std::vector<uint8_t> gap(good.begin(), good.begin() + 54);
    gap.insert(gap.end(), 6, 0xEE);
    gap.insert(gap.end(), good.begin() + 54, good.end());
    gap[10] = 60;
    auto r = readBmp(gap);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(pixelToColor(r.image.pixels[2]), 0x0000FFu);  // bottom-left (first file row)
    EXPECT_EQ(pixelToColor(r.image.pixels[0]), 0xFF0000u);  // top-left

    auto broken = [&](auto edit) {
        std::vector<uint8_t> b = good;
        edit(b);
        return readBmp(b);
    };
    auto expectRefused = [](const BmpReadResult& res, const char* why) {
        EXPECT_FALSE(res.ok) << why;
        EXPECT_FALSE(res.error.empty()) << why;
        EXPECT_TRUE(res.image.pixels.empty()) << why;
    };
    expectRefused(broken([](auto& b) { b.resize(b.size() - 1); }), "truncated pixels");
    expectRefused(broken([](auto& b) { b.resize(30); }), "truncated header");
    expectRefused(broken([](auto& b) { b[0] = 'X'; }), "signature");
    expectRefused(broken([](auto& b) { b[10] = 20; }), "offset inside headers");
    expectRefused(broken([](auto& b) { b[10] = 0xFF; b[11] = 0xFF; }), "offset past the end");
    expectRefused(broken([](auto& b) { b[22] = 0; }), "height 0");
    expectRefused(broken([](auto& b) { b[28] = 7; }), "bit count");
    expectRefused(broken([](auto& b) { b[30] = 1; }), "compressed");
    expectRefused(broken([](auto& b) { b[14] = 200; }), "header size");
    expectRefused(broken([](auto& b) { b[18] = 0xFF; b[19] = 0xFF; b[20] = 0xFF; b[21] = 0x7F; }),
                  "absurd width");
    // An 8-bit file whose colour table claims more than 256 entries.
    BITMAPINFOHEADER h8;
    h8.biWidth = 4;
    h8.biHeight = 1;
    h8.biBitCount = 8;
    RGBQUAD table[256] = {};
    uint8_t idx[4] = {0, 1, 2, 3};
    auto b8 = encodeBmp(h8, table, idx);
    ASSERT_TRUE(readBmp(b8).ok);
    b8[46] = 0x01;
    b8[47] = 0x01;  // biClrUsed = 257
    expectRefused(readBmp(b8), "colour table too large");
    EXPECT_FALSE(readBmpFile("/nonexistent/x.bmp").ok);
}

// Bit-field masks are the file's own: a channel may be wider than 8 bits or have gaps, yet each
// decoded channel stays in its own byte, and writing through the same masks gives the bits back.
TEST(GdiBmp, BitFieldChannelsStayInTheirOwnByte) {
    BITMAPINFOHEADER h;
    h.biWidth = 3;
    h.biHeight = -1;
    h.biBitCount = 32;
    h.biCompression = BI_BITFIELDS;
    auto masksAsQuads = [](uint32_t r, uint32_t g, uint32_t b) {
        std::vector<RGBQUAD> q;
        for (uint32_t m : {r, g, b}) q.push_back({uint8_t(m), uint8_t(m >> 8), uint8_t(m >> 16), uint8_t(m >> 24)});
        return q;
    };
    // Blue has 13 bits: the low byte and bits 25-29. Only bit 29 of the high part is set in pixel 0.
    uint32_t px[3] = {0x2000FFFF, 0x3E0000FF, 0xC0FF0000};
    auto file = encodeBmp(h, masksAsQuads(0x00FF0000, 0x0000FF00, 0x3E0000FF).data(), px);
    auto r = readBmp(file);
    ASSERT_TRUE(r.ok) << r.error;
    const uint32_t blue0 = (0x10FFu * 255 + 8191 / 2) / 8191;  // 13-bit value 0x10FF scaled to 0..255
    EXPECT_EQ(r.image.pixels[0], 0x0000FF00u | blue0);
    EXPECT_EQ(r.image.pixels[1], 0x000000FFu);
    EXPECT_EQ(r.image.pixels[2], 0x00FF0000u);  // bits outside every mask are ignored
    for (uint32_t p : r.image.pixels) EXPECT_EQ(p >> 24, 0u);

    // Gapped 16-bit masks: red 0xF00F (4+4 bits), green 0x0F00, blue 0x00F0.
    BITMAPINFOHEADER h16 = h;
    h16.biWidth = 2;
    h16.biBitCount = 16;
    uint16_t px16[2] = {0xF00F, 0x0FF0};
    auto f16 = encodeBmp(h16, masksAsQuads(0xF00F, 0x0F00, 0x00F0).data(), px16);
    r = readBmp(f16);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.image.pixels[0], 0x00FF0000u);
    EXPECT_EQ(r.image.pixels[1], 0x0000FFFFu);

    // A DIB section with those masks: written colours land on the masks' bits.
    BITMAPINFO info;
    info.bmiHeader = h16;
    auto q = masksAsQuads(0xF00F, 0x0F00, 0x00F0);
    std::copy(q.begin(), q.end(), info.bmiColors);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits);
    ASSERT_NE(dib, HBITMAP{});
    HDC mem = CreateCompatibleDC(0);
    SelectObject(mem, dib);
    SetPixel(mem, 0, 0, 0x0000FF);  // red
    SetPixel(mem, 1, 0, 0xFFFF00);  // green and blue
    const auto* w = static_cast<const uint16_t*>(bits);
    EXPECT_EQ(w[0], 0xF00F);
    EXPECT_EQ(w[1], 0x0FF0);
    DeleteDC(mem);
    DeleteObject(dib);
}

// A 32-bit file's fourth byte stays in the picture's bits (GetBitmapBits gives the file's rows)
// but never reaches a surface: not on loading, not after new bits, not through drawing or a copy.
TEST(GdiBmp, PictureOfThirtyTwoBitsShowsNoFourthByte) {
    BITMAPINFOHEADER h;
    h.biWidth = 3;
    h.biHeight = 2;  // bottom-up: the first row in the file is the bottom one
    h.biBitCount = 32;
    const uint32_t file[6] = {0xFF102030, 0x80405060, 0x01708090, 0x7FA0B0C0, 0xEED0E0F0, 0x00010203};
    auto r = readBmp(encodeBmp(h, nullptr, file));
    ASSERT_TRUE(r.ok) << r.error;
    HBITMAP pic = createPictureBitmap(r.image);
    ASSERT_NE(pic, HBITMAP{});
    auto surface = bitmapSurface(pic);
    ASSERT_TRUE(surface);
    auto expectShown = [&](const uint32_t* rows) {  // rows top-down
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(surface->pixel(x, y), rows[y * 3 + x] & 0xFFFFFF) << x << "," << y;
    };
    const uint32_t topDown[6] = {file[3], file[4], file[5], file[0], file[1], file[2]};
    expectShown(topDown);
    uint32_t bits[6] = {};
    ASSERT_EQ(GetBitmapBits(pic, sizeof bits, bits), 24);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(bits[i], topDown[i]) << i;

    for (uint32_t& v : bits) v = ~v;
    ASSERT_EQ(SetBitmapBits(pic, sizeof bits, bits), 24);
    expectShown(bits);

    // Drawing on it changes the colour bytes only; a copy onto a screen surface stays clean.
    HDC mem = CreateCompatibleDC(0);
    HGDIOBJ old = SelectObject(mem, pic);
    SetPixel(mem, 1, 0, 0x0000FF);
    EXPECT_EQ(surface->pixel(1, 0), 0xFF0000u);
    uint32_t after[6] = {};
    ASSERT_EQ(GetBitmapBits(pic, sizeof after, after), 24);
    EXPECT_EQ(after[1], (bits[1] & 0xFF000000u) | 0xFF0000u);
    for (int i : {0, 2, 3, 4, 5}) EXPECT_EQ(after[i], bits[i]) << i;
    Canvas screen(3, 2, 0x777777);
    ASSERT_TRUE(BitBlt(screen.dc, 0, 0, 3, 2, mem, 0, 0, SRCCOPY));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(screen.surface->pixel(x, y) >> 24, 0u) << x << "," << y;
    EXPECT_EQ(screen.surface->pixel(1, 0), 0xFF0000u);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(pic);
}

TEST(GdiBlt, BitBltCopiesAndReadsBlackOutsideTheSource) {
    Canvas src(10, 10, 0x123456), dst(20, 20, 0xFFFFFF);
    SetPixel(src.dc, 0, 0, 0x0000FF);
    ASSERT_TRUE(BitBlt(dst.dc, 5, 5, 12, 12, src.dc, -2, -2, SRCCOPY));
    EXPECT_EQ(dst.at(5, 5), 0u);           // outside the source: black
    EXPECT_EQ(dst.at(7, 7), 0x0000FFu);    // source (0, 0)
    EXPECT_EQ(dst.at(8, 8), 0x123456u);
    EXPECT_EQ(dst.at(16, 16), 0x123456u);  // source (9, 9)
    EXPECT_EQ(dst.at(17, 17), 0xFFFFFFu);  // past the block
    BitBlt(dst.dc, 0, 18, 5, 1, src.dc, 8, 3, SRCCOPY);
    EXPECT_EQ(dst.at(1, 18), 0x123456u);   // source x 9
    EXPECT_EQ(dst.at(2, 18), 0u);          // source x 10: past its right edge
    EXPECT_EQ(dst.at(4, 4), 0xFFFFFFu);    // outside the destination block
    // SRCINVERT twice restores; DSTINVERT, BLACKNESS and WHITENESS need no source.
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 10, 10, src.dc, 0, 0, SRCINVERT));
    EXPECT_EQ(dst.at(1, 1), 0xFFFFFFu ^ 0x123456u);
    BitBlt(dst.dc, 0, 0, 10, 10, src.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(dst.at(1, 1), 0xFFFFFFu);
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 2, 2, 0, 0, 0, DSTINVERT));
    EXPECT_EQ(dst.at(1, 1), 0u);
    BitBlt(dst.dc, 0, 0, 2, 2, 0, 0, 0, WHITENESS);
    EXPECT_EQ(dst.at(1, 1), 0xFFFFFFu);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, 0, 0, 0, SRCCOPY));  // a source is needed
    // Overlapping copy within one surface.
    Canvas one(8, 1);
    for (int x = 0; x < 8; ++x) SetPixel(one.dc, x, 0, COLORREF(x + 1));
    BitBlt(one.dc, 2, 0, 6, 1, one.dc, 0, 0, SRCCOPY);
    for (int x = 2; x < 8; ++x) EXPECT_EQ(one.at(x, 0), COLORREF(x - 1));
}

TEST(GdiBlt, StretchDIBitsIsNearestNeighbourAndBottomUp) {
    // 2 x 2, bottom-up: the first row in memory is the picture's bottom row.
    BITMAPINFO bi = dibInfo(2, 2, 32);
    const uint32_t bits[4] = {0x0000FF, 0x00FF00,   // bottom: blue, green (0x00RRGGBB)
                              0xFF0000, 0xFFFFFF};  // top: red, white
    Canvas c(8, 8, 0x808080);
    EXPECT_EQ(SetStretchBltMode(c.dc, COLORONCOLOR), BLACKONWHITE);
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 4, 4, 0, 0, 2, 2, bits, &bi, DIB_RGB_COLORS, SRCCOPY,
                            sizeof bits),
              2);
    EXPECT_EQ(c.at(0, 0), 0x0000FFu);  // red at the top left
    EXPECT_EQ(c.at(1, 1), 0x0000FFu);
    EXPECT_EQ(c.at(3, 0), 0xFFFFFFu);
    EXPECT_EQ(c.at(0, 3), 0xFF0000u);  // blue
    EXPECT_EQ(c.at(3, 3), 0x00FF00u);
    EXPECT_EQ(c.at(4, 4), 0x808080u);
    // ySrc counts from the bottom row: the bottom row alone.
    Canvas b(4, 4, 0x808080);
    StretchDIBits(b.dc, 0, 0, 4, 4, 0, 0, 2, 1, bits, &bi, DIB_RGB_COLORS, SRCCOPY, sizeof bits);
    EXPECT_EQ(b.at(0, 0), 0xFF0000u);
    EXPECT_EQ(b.at(3, 3), 0x00FF00u);
    // Shrinking drops pixels; a buffer shorter than the header says is refused.
    Canvas s(4, 4, 0x808080);
    StretchDIBits(s.dc, 0, 0, 1, 1, 0, 0, 2, 2, bits, &bi, DIB_RGB_COLORS, SRCCOPY, sizeof bits);
    EXPECT_NE(s.at(0, 0), 0x808080u);
    EXPECT_EQ(StretchDIBits(s.dc, 0, 0, 4, 4, 0, 0, 2, 2, bits, &bi, DIB_RGB_COLORS, SRCCOPY, 15),
              0);
    EXPECT_EQ(s.at(3, 3), 0x808080u);
    // An 8-bit DIB through its colour table.
    BITMAPINFO b8 = dibInfo(4, 1, 8);
    b8.bmiColors[7] = RGBQUAD{0x11, 0x22, 0x33, 0};
    const uint8_t idx[4] = {7, 7, 7, 7};
    Canvas e(4, 1);
    StretchDIBits(e.dc, 0, 0, 4, 1, 0, 0, 4, 1, idx, &b8, DIB_RGB_COLORS, SRCCOPY, 4);
    EXPECT_EQ(e.at(2, 0), 0x112233u);
}

// Widths of the runs of equal colour along row 0 of a stretch of `sw` distinct source columns.
std::vector<int> stretchedRuns(int sw, int dw) {
    BITMAPINFO bi = dibInfo(sw, 1, 32);
    std::vector<uint32_t> bits(static_cast<size_t>(sw));
    for (int i = 0; i < sw; ++i) bits[size_t(i)] = uint32_t(0x010101 * (i + 1));
    Canvas c(dw, 1);
    StretchDIBits(c.dc, 0, 0, dw, 1, 0, 0, sw, 1, bits.data(), &bi, DIB_RGB_COLORS, SRCCOPY,
                  bits.size() * 4);
    std::vector<int> runs;
    for (int x = 0; x < dw; ++x) {
        if (x == 0 || c.at(x, 0) != c.at(x - 1, 0)) runs.push_back(0);
        ++runs.back();
    }
    return runs;
}

TEST(GdiBlt, StretchDIBitsTiesOfPixelCentresGoToTheLowerSourcePixel) {
    // 13 / 4: the centre of column 6 lies exactly on the border of source pixels 1 and 2.
    EXPECT_EQ(stretchedRuns(4, 13), (std::vector<int>{3, 4, 3, 3}));
    std::vector<int> alternating;
    for (int i = 0; i < 16; ++i) alternating.push_back(i % 2 ? 2 : 3);
    EXPECT_EQ(stretchedRuns(16, 40), alternating);
    // Shrinking samples the same centres: 8 -> 3 takes source columns 1, 3|4 (tie: 3), 6.
    BITMAPINFO bi = dibInfo(8, 1, 32);
    uint32_t bits[8];
    for (int i = 0; i < 8; ++i) bits[i] = uint32_t(i + 1);
    Canvas c(3, 1);
    StretchDIBits(c.dc, 0, 0, 3, 1, 0, 0, 8, 1, bits, &bi, DIB_RGB_COLORS, SRCCOPY, sizeof bits);
    EXPECT_EQ(c.at(0, 0), 0x020000u);   // 0x00RRGGBB 2 read back as a COLORREF
    EXPECT_EQ(c.at(1, 0), 0x040000u);
    EXPECT_EQ(c.at(2, 0), 0x070000u);
    // Rows follow the same rule: 2 -> 5, the centre of row 2 lies on the border: rows 0..2 top.
    BITMAPINFO tall = dibInfo(1, -2, 32);
    const uint32_t two[2] = {0x000001, 0x000002};
    Canvas v(1, 5);
    StretchDIBits(v.dc, 0, 0, 1, 5, 0, 0, 1, 2, two, &tall, DIB_RGB_COLORS, SRCCOPY, sizeof two);
    for (int y = 0; y < 5; ++y) EXPECT_EQ(v.at(0, y), y < 3 ? 0x010000u : 0x020000u) << y;
}

TEST(GdiBlt, DibSectionsOfEightBitsQuantiseToTheirTable) {
    BITMAPINFO bi = dibInfo(4, 4, 8);
    void* p = nullptr;
    HBITMAP dib = CreateDIBSection(0, &bi, DIB_RGB_COLORS, &p);
    HDC mem = CreateCompatibleDC(0);
    EXPECT_NE(SelectObject(mem, dib), 0);
    HDC other = CreateCompatibleDC(0);
    EXPECT_EQ(SelectObject(other, dib), 0);  // a bitmap is in one context at a time
    Canvas src(4, 4, 0xFE0101);              // near blue, not in the table
    BitBlt(mem, 0, 0, 4, 4, src.dc, 0, 0, SRCCOPY);
    const auto* b = static_cast<const uint8_t*>(p);
    const auto& pal = systemPalette();
    const PALETTEENTRY& e = pal[b[0]];
    EXPECT_EQ(e.peBlue, 255);
    EXPECT_EQ(e.peRed, 0);
    EXPECT_EQ(GetPixel(mem, 0, 0), 0xFF0000u);
    DeleteDC(other);
    DeleteDC(mem);
    DeleteObject(dib);
    BITMAPINFO bad = dibInfo(0, 4, 8);
    EXPECT_EQ(CreateDIBSection(0, &bad, DIB_RGB_COLORS, &p), 0);
    EXPECT_EQ(p, nullptr);
}
